// A form resource of real controls: windows parented as the text nests
// them, a button whose click reaches the handler named in the text, a
// picture, and the same bytes when the form is written back and read again.
#include "platform/Bitmap.h"
#include "platform/ExtCtrls.h"
#include "platform/Filer.h"
#include "platform/FormResource.h"
#include "platform/Forms.h"
#include "platform/Properties.h"
#include "platform/StdCtrls.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

class TStreamForm : public TForm {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TForm::TForm;

  void Button1Click(TObject* Sender) { Clicks.push_back(ObjectAs<TComponent>(Sender)->Name()); }

  TPanel* Panel1 = nullptr;
  TEdit* Edit1 = nullptr;
  TButton* Button1 = nullptr;
  TImage* Image1 = nullptr;
  std::vector<std::string> Clicks;
};

const TClassInfo TStreamForm::ClassInfo{"TStreamForm", &TForm::ClassInfo,
                                        [](TObject* owner) -> TObject* { return new TStreamForm(static_cast<TComponent*>(owner)); }};

// The same form without a resource of its own: built empty, so a stream
// can be read into it.
class TStreamFormCopy : public TStreamForm {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TStreamForm::TStreamForm;
};

const TClassInfo TStreamFormCopy::ClassInfo{"TStreamFormCopy", &TStreamForm::ClassInfo, [](TObject* owner) -> TObject* {
                                              return new TStreamFormCopy(static_cast<TComponent*>(owner));
                                            }};

const TPublishedRegistration formRegistration(&TStreamForm::ClassInfo, {
    Method<&TStreamForm::Button1Click>("Button1Click"),
    Field<&TStreamForm::Panel1>("Panel1"),
    Field<&TStreamForm::Edit1>("Edit1"),
    Field<&TStreamForm::Button1>("Button1"),
    Field<&TStreamForm::Image1>("Image1"),
});

// What this form uses of the controls' published properties, for as long
// as the control classes do not publish their own (a class that registers
// the same name later replaces these in place).
void PublishWhatTheFormUses() {
  static const bool once = [] {
    if (!GetPropInfo(&TControl::ClassInfo, "Left"))
      RegisterPublished(&TControl::ClassInfo, {
          Property<&TControl::Left, &TControl::SetLeft>("Left"),
          Property<&TControl::Top, &TControl::SetTop>("Top"),
          Property<&TControl::Width, &TControl::SetWidth>("Width"),
          Property<&TControl::Height, &TControl::SetHeight>("Height"),
      });
    if (!GetPropInfo(&TButton::ClassInfo, "Caption")) {
      RegisterPublished(&TCustomForm::ClassInfo, {Property<&TControl::Caption, &TControl::SetCaption>("Caption")});
      RegisterPublished(&TButton::ClassInfo, {Property<&TControl::Caption, &TControl::SetCaption>("Caption")});
    }
    if (!GetPropInfo(&TButton::ClassInfo, "OnClick"))
      RegisterPublished(&TControl::ClassInfo, {Event<&TControl::OnClick>("OnClick")});
    if (!GetPropInfo(&TEdit::ClassInfo, "Text"))
      RegisterPublished(&TCustomEdit::ClassInfo, {Property<&TControl::Text, &TControl::SetText>("Text")});
    if (!GetPropInfo(&TImage::ClassInfo, "Picture"))
      RegisterPublished(&TImage::ClassInfo, {Property<&TImage::Picture>("Picture")});
    RegisterClasses({&TPanel::ClassInfo, &TEdit::ClassInfo, &TButton::ClassInfo, &TImage::ClassInfo});
    return true;
  }();
  (void)once;
}

struct TFormFree {
  void operator()(TStreamForm* f) const { Free(f); }
};
using StreamFormPtr = std::unique_ptr<TStreamForm, TFormFree>;

// The form class loads its resource as it is made.
template <class T = TStreamForm>
StreamFormPtr NewStreamForm() {
  PublishWhatTheFormUses();
  return StreamFormPtr(New<T>(nullptr));
}

// A binary form stream from the root's name on: signature, object marker,
// then the class name as a length byte and its bytes.
std::string AfterClassName(const std::string& stream) {
  const size_t at = 5;
  return stream.size() > at ? stream.substr(at + 1 + static_cast<unsigned char>(stream[at])) : std::string();
}

AnsiString WindowText(HWND wnd) {
  char buffer[256] = {};
  GetWindowTextA(wnd, buffer, sizeof buffer);
  return buffer;
}

}  // namespace

TEST(ControlForm, LoadsParentsWindowsAndHandlers) {
  StreamFormPtr form = NewStreamForm();
  ASSERT_NE(nullptr, form->Panel1);
  ASSERT_NE(nullptr, form->Edit1);
  ASSERT_NE(nullptr, form->Button1);
  ASSERT_NE(nullptr, form->Image1);
  EXPECT_EQ(form.get(), form->Panel1->Parent());
  EXPECT_EQ(form->Panel1, form->Edit1->Parent());
  EXPECT_EQ(form->Panel1, form->Button1->Parent());
  EXPECT_EQ(form.get(), form->Image1->Parent());
  EXPECT_EQ(170, form->Button1->Left());

  form->Show();
  testing_support::RunMessagesUntilIdle();
  // The windows sit in one another as the text nests them.
  EXPECT_EQ(form->Panel1->Handle(), GetParent(form->Button1->Handle()));
  EXPECT_EQ(form->Handle(), GetParent(form->Panel1->Handle()));
  EXPECT_EQ(AnsiString("确定"), WindowText(form->Button1->Handle()));
  EXPECT_EQ(AnsiString("你好"), WindowText(form->Edit1->Handle()));
  EXPECT_EQ(AnsiString("流式窗体"), WindowText(form->Handle()));

  // A click on the button's window reaches the handler named in the text.
  SendMessageA(form->Button1->Handle(), BM_CLICK, 0, 0);
  testing_support::RunMessagesUntilIdle();
  EXPECT_EQ(std::vector<std::string>{"Button1"}, form->Clicks);

  auto* bitmap = ObjectAs<TBitmap>(form->Image1->Picture()->Graphic());
  ASSERT_NE(nullptr, bitmap);
  EXPECT_EQ(clYellow, bitmap->Canvas()->Pixels(0, 0));
  EXPECT_EQ(clNavy, bitmap->Canvas()->Pixels(3, 3));
  testing_support::SaveScreenshot(form->Handle(), "streaming-control-form");
}

TEST(ControlForm, WritesBackTheSameTreeAndBytes) {
  StreamFormPtr form = NewStreamForm();
  ASSERT_NE(nullptr, form->Button1);
  TMemoryStream first;
  WriteComponentToStream(first, form.get());

  StreamFormPtr again = NewStreamForm<TStreamFormCopy>();
  ASSERT_EQ(nullptr, again->Button1);
  first.Seek(0, TSeekOrigin::soBeginning);
  ReadComponentFromStream(first, again.get());
  EXPECT_EQ(again->Panel1, again->Button1->Parent());
  TMemoryStream second;
  WriteComponentToStream(second, again.get());
  // The same bytes but for the class name the tree starts with.
  EXPECT_EQ(AfterClassName(first.DataString()), AfterClassName(second.DataString()));
  again->Button1->Click();
  EXPECT_EQ(std::vector<std::string>{"Button1"}, again->Clicks);
}
