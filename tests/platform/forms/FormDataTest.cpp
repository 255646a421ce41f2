// Forms that are data: a form class with a form resource is built from it
// as it is made (OnCreate already sees the controls), every standard
// control takes its properties and events by name, a form written back
// reads the same, and a resource that is wrong fails the construction with
// an error that names what is wrong.
#include "platform/Bitmap.h"
#include "platform/ComCtrls.h"
#include "platform/ExtCtrls.h"
#include "platform/Filer.h"
#include "platform/FormResource.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/Properties.h"
#include "platform/StdCtrls.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using namespace testing_support;

class TDataForm : public TForm {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TForm::TForm;

  void FormCreate(TObject*) {
    // What OnCreate sees: the controls of the resource, with their values.
    Log.push_back("create:" + (Edit1 ? Edit1->Text() : AnsiString("no edit")) + ":" +
                  (ComboBox1 ? std::to_string(ComboBox1->ItemIndex()) : "no combo"));
  }
  void FormClose(TObject*, TCloseAction& Action) {
    Log.push_back("close");
    Action = caHide;
  }
  void Button1Click(TObject*) { Log.push_back("button"); }
  void CheckBox1Click(TObject*) { Log.push_back("check"); }
  void Edit1Change(TObject*) { Log.push_back("edit"); }
  void Edit1KeyDown(TObject*, WORD& Key, TShiftState) { Log.push_back("key:" + std::to_string(Key)); }
  void ComboBox1Change(TObject*) { Log.push_back("combo"); }
  void Exit1Click(TObject*) { Log.push_back("exit"); }
  void Timer1Timer(TObject*) { Log.push_back("timer"); }

  TPanel* Panel1 = nullptr;
  TLabel* Label1 = nullptr;
  TEdit* Edit1 = nullptr;
  TButton* Button1 = nullptr;
  TCheckBox* CheckBox1 = nullptr;
  TStaticText* StaticText1 = nullptr;
  TComboBox* ComboBox1 = nullptr;
  TListBox* ListBox1 = nullptr;
  TPageControl* PageControl1 = nullptr;
  TTabSheet* TabSheet1 = nullptr;
  TTabSheet* TabSheet2 = nullptr;
  TImage* Image1 = nullptr;
  TStatusBar* StatusBar1 = nullptr;
  TMainMenu* MainMenu1 = nullptr;
  TMenuItem* File1 = nullptr;
  TMenuItem* Exit1 = nullptr;
  TPopupMenu* PopupMenu1 = nullptr;
  TMenuItem* Copy1 = nullptr;
  TTimer* Timer1 = nullptr;
  std::vector<std::string> Log;
};

const TClassInfo TDataForm::ClassInfo{"TDataForm", &TForm::ClassInfo, [](TObject* owner) -> TObject* {
                                        return new TDataForm(static_cast<TComponent*>(owner));
                                      }};

// The same form class without a resource: made empty, as code builds it.
class TDataFormCopy : public TDataForm {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TDataForm::TDataForm;
};

const TClassInfo TDataFormCopy::ClassInfo{"TDataFormCopy", &TDataForm::ClassInfo, [](TObject* owner) -> TObject* {
                                            return new TDataFormCopy(static_cast<TComponent*>(owner));
                                          }};

const TPublishedRegistration dataFormRegistration(&TDataForm::ClassInfo, {
    Method<&TDataForm::FormCreate>("FormCreate"),
    Method<&TDataForm::FormClose>("FormClose"),
    Method<&TDataForm::Button1Click>("Button1Click"),
    Method<&TDataForm::CheckBox1Click>("CheckBox1Click"),
    Method<&TDataForm::Edit1Change>("Edit1Change"),
    Method<&TDataForm::Edit1KeyDown>("Edit1KeyDown"),
    Method<&TDataForm::ComboBox1Change>("ComboBox1Change"),
    Method<&TDataForm::Exit1Click>("Exit1Click"),
    Method<&TDataForm::Timer1Timer>("Timer1Timer"),
    Field<&TDataForm::Panel1>("Panel1"),
    Field<&TDataForm::Label1>("Label1"),
    Field<&TDataForm::Edit1>("Edit1"),
    Field<&TDataForm::Button1>("Button1"),
    Field<&TDataForm::CheckBox1>("CheckBox1"),
    Field<&TDataForm::StaticText1>("StaticText1"),
    Field<&TDataForm::ComboBox1>("ComboBox1"),
    Field<&TDataForm::ListBox1>("ListBox1"),
    Field<&TDataForm::PageControl1>("PageControl1"),
    Field<&TDataForm::TabSheet1>("TabSheet1"),
    Field<&TDataForm::TabSheet2>("TabSheet2"),
    Field<&TDataForm::Image1>("Image1"),
    Field<&TDataForm::StatusBar1>("StatusBar1"),
    Field<&TDataForm::MainMenu1>("MainMenu1"),
    Field<&TDataForm::File1>("File1"),
    Field<&TDataForm::Exit1>("Exit1"),
    Field<&TDataForm::PopupMenu1>("PopupMenu1"),
    Field<&TDataForm::Copy1>("Copy1"),
    Field<&TDataForm::Timer1>("Timer1"),
});
const TPublishedRegistration dataFormCopyRegistration(&TDataFormCopy::ClassInfo, {});

struct TFormFree {
  void operator()(TCustomForm* f) const { Free(f); }
};
template <class T>
using FormPtr = std::unique_ptr<T, TFormFree>;

AnsiString WindowText(HWND wnd) {
  char buffer[256] = {};
  GetWindowTextA(wnd, buffer, sizeof buffer);
  return buffer;
}

}  // namespace

TEST(FormData, FormClassLoadsItsResourceBeforeOnCreate) {
  FormPtr<TDataForm> form(New<TDataForm>(nullptr));
  // OnCreate was bound by the resource and saw what the resource made; the
  // check box's state, read after its handler, clicked nothing.
  EXPECT_EQ(std::vector<std::string>{"create:你好:1"}, form->Log);

  // The tree as the text nests it; the form's own properties.
  EXPECT_EQ(AnsiString("数据窗体"), form->Caption());
  EXPECT_EQ(bsSingle, form->BorderStyle());
  EXPECT_EQ((TBorderIcons{biSystemMenu, biMinimize}), form->BorderIcons());
  EXPECT_TRUE(form->KeyPreview());
  EXPECT_EQ(form->MainMenu1, form->Menu());
  EXPECT_EQ(form.get(), form->Panel1->Parent());
  EXPECT_EQ(form->Panel1, form->Edit1->Parent());
  EXPECT_EQ(form->TabSheet2, form->Image1->Parent());

  // Control properties by name.
  EXPECT_EQ(alTop, form->Panel1->Align());
  EXPECT_EQ(bvLowered, form->Panel1->BevelOuter());
  EXPECT_EQ(clYellow, form->Panel1->Color());
  EXPECT_FALSE(form->Panel1->ParentColor());
  EXPECT_EQ(form->PopupMenu1, form->Panel1->PopupMenu());
  EXPECT_EQ(form->Edit1, form->Label1->FocusControl());
  EXPECT_TRUE(form->Label1->Font()->Style().Contains(fsBold));
  EXPECT_EQ(20, form->Edit1->MaxLength());
  EXPECT_EQ(ecUpperCase, form->Edit1->CharCase());
  EXPECT_TRUE(form->Button1->Default());
  EXPECT_EQ(mrOk, form->Button1->ModalResult());
  EXPECT_TRUE(form->CheckBox1->Checked());
  EXPECT_EQ(sbsSunken, form->StaticText1->BorderStyle());
  EXPECT_EQ(csDropDownList, form->ComboBox1->Style());
  ASSERT_EQ(3, form->ComboBox1->Items()->Count());
  EXPECT_EQ(AnsiString("three"), form->ComboBox1->Items()->Strings(2));
  EXPECT_EQ(1, form->ComboBox1->ItemIndex());
  EXPECT_TRUE(form->ListBox1->Sorted());
  // Strings apart are separate lines; touching parts and + join.
  ASSERT_EQ(2, form->ListBox1->Items()->Count());
  EXPECT_EQ(AnsiString("alpha"), form->ListBox1->Items()->Strings(0));
  EXPECT_EQ(AnsiString("be'ta"), form->ListBox1->Items()->Strings(1));
  ASSERT_EQ(2, form->PageControl1->PageCount());
  EXPECT_EQ(form->TabSheet1, form->PageControl1->Pages(0));
  EXPECT_EQ(form->TabSheet2, form->PageControl1->ActivePage());
  EXPECT_EQ(tpLeft, form->PageControl1->TabPosition());
  EXPECT_TRUE(form->PageControl1->MultiLine());
  EXPECT_TRUE(form->Image1->Stretch());
  ASSERT_NE(nullptr, ObjectAs<TBitmap>(form->Image1->Picture()->Graphic()));
  ASSERT_EQ(2, form->StatusBar1->Panels()->Count());
  EXPECT_EQ(AnsiString("ready"), form->StatusBar1->Panels()->Items(0)->Text());
  EXPECT_EQ(80, form->StatusBar1->Panels()->Items(0)->Width());
  EXPECT_EQ(pbRaised, form->StatusBar1->Panels()->Items(1)->Bevel());
  EXPECT_EQ(taCenter, form->StatusBar1->Panels()->Items(1)->Alignment());
  ASSERT_EQ(1, form->MainMenu1->Items()->Count());
  EXPECT_EQ(form->File1, form->MainMenu1->Items()->Items(0));
  EXPECT_EQ(form->Exit1, form->File1->Items(0));
  EXPECT_EQ(ShortCut('Q', false, true, false), form->Exit1->ShortCut());
  EXPECT_EQ(form->Copy1, form->PopupMenu1->Items()->Items(0));
  EXPECT_TRUE(form->Copy1->Checked());
  EXPECT_FALSE(form->PopupMenu1->AutoPopup());
  EXPECT_FALSE(form->Timer1->Enabled());
  EXPECT_EQ(250u, form->Timer1->Interval());
  EXPECT_EQ(AnsiString("Timer1Timer"), GetMethodName(form->Timer1, GetPropInfo(&TTimer::ClassInfo, "OnTimer"),
                                                     form.get()));

  // The windows show what the data says.
  form->Show();
  RunMessagesUntilIdle();
  EXPECT_EQ(AnsiString("数据窗体"), WindowText(form->Handle()));
  EXPECT_EQ(AnsiString("你好"), WindowText(form->Edit1->Handle()));
  EXPECT_EQ(1, SendMessageA(form->ComboBox1->Handle(), CB_GETCURSEL, 0, 0));
  EXPECT_EQ(form->MainMenu1->Handle(), GetMenu(form->Handle()));
  SaveScreenshot(form->Handle(), "forms-data-form");
}

TEST(FormData, EventsBoundByNameFire) {
  FormPtr<TDataForm> form(New<TDataForm>(nullptr));
  form->Show();
  RunMessagesUntilIdle();
  form->Log.clear();

  SendMessageA(form->Button1->Handle(), BM_CLICK, 0, 0);
  form->CheckBox1->SetChecked(false);
  form->Edit1->SetText("ab");
  form->Edit1->Perform(WM_KEYDOWN, 'X', 0);
  form->MainMenu1->DispatchCommand(form->Exit1->Command());
  form->Close();
  RunMessagesUntilIdle();
  const std::vector<std::string> expected{"button", "check", "edit", "key:88", "exit", "close"};
  EXPECT_EQ(expected, form->Log);
  EXPECT_FALSE(form->Visible()) << "FormClose answered caHide";
}

TEST(FormData, WrittenBackReadsTheSame) {
  FormPtr<TDataForm> form(New<TDataForm>(nullptr));
  const AnsiString text = WriteComponentText(form.get());
  // Defaults stay out; what differs is there.
  EXPECT_EQ(AnsiString::npos, text.find("TabVisible")) << text;
  EXPECT_NE(AnsiString::npos, text.find("Items.Strings")) << text;
  EXPECT_NE(AnsiString::npos, text.find("OnClick = Button1Click")) << text;

  FormPtr<TDataFormCopy> copy(New<TDataFormCopy>(nullptr));
  EXPECT_EQ(0, copy->ControlCount()) << "no resource: the form is left as built";
  ReadComponentText(text, copy.get(), "copy");
  ASSERT_NE(nullptr, copy->Exit1);
  EXPECT_EQ(copy->File1, copy->Exit1->ParentItem());
  EXPECT_EQ(copy->TabSheet2, copy->PageControl1->ActivePage());
  AnsiString again = WriteComponentText(copy.get());
  again.replace(again.find("TDataFormCopy"), 13, "TDataForm");
  EXPECT_EQ(text, again);

  // A form the reader makes from the text is read from the text alone, not
  // from its class's resource as well.
  auto* made = ObjectAs<TDataForm>(ReadComponentText(text, nullptr, "made"));
  ASSERT_NE(nullptr, made);
  FormPtr<TDataForm> madeForm(made);
  EXPECT_EQ(copy->ComponentCount(), made->ComponentCount());
  EXPECT_EQ(text, WriteComponentText(made));
}

TEST(FormData, PlainFormsStayAsBuilt) {
  FormPtr<TForm> form(New<TForm>(nullptr));
  EXPECT_EQ(0, form->ComponentCount());
  EXPECT_EQ(0, form->ControlCount());
}

// Resources that are wrong: the reader says where, and nothing is left
// half-made.
TEST(FormData, MalformedControlDataIsRefusedByName) {
  struct Case {
    const char* Body;
    const char* Expected;
  };
  const Case cases[] = {
      {"object Panel1: TPanel\n Align = alMiddle\nend", "Align"},
      {"object CheckBox1: TCheckBox\n Checked = 'yes'\nend", "Checked"},
      {"object Edit1: TEdit\n Colour = clRed\nend", "Colour"},
      {"object Timer1: TTimer\n OnTimer = NoSuchHandler\nend", "NoSuchHandler"},
      {"object Timer1: TTimer\n OnTimer = Edit1KeyDown\nend", "Edit1KeyDown"},
      {"object Panel1: TPanel\n PopupMenu = Nowhere1\nend", "Nowhere1"},
      {"object Button1: TButton\n object Item1: TMenuItem\n end\nend", "Item1"},
      {"object ComboBox1: TComboBox\n Items.Strings = ('a' 12)\nend", "Items"},
      {"object StatusBar1: TStatusBar\n Panels = <\n item\n Widht = 3\n end>\nend", "Widht"},
  };
  for (const Case& c : cases) {
    FormPtr<TDataFormCopy> form(New<TDataFormCopy>(nullptr));
    const AnsiString text = AnsiString("object Bad1: TDataFormCopy\n") + c.Body + "\nend\n";
    try {
      ReadComponentText(text, form.get(), "bad.mvf");
      ADD_FAILURE() << "accepted: " << c.Body;
    } catch (const EReadError& e) {
      EXPECT_NE(std::string::npos, e.Message().find(c.Expected)) << e.Message();
      EXPECT_NE(std::string::npos, e.Message().find("bad.mvf")) << e.Message();
    }
  }
}

namespace {

class TBrokenForm : public TForm {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TForm::TForm;
};

const TClassInfo TBrokenForm::ClassInfo{"TBrokenForm", &TForm::ClassInfo, [](TObject* owner) -> TObject* {
                                          return new TBrokenForm(static_cast<TComponent*>(owner));
                                        }};

}  // namespace

// A form whose resource is wrong is not made: the error names the resource,
// the control and the property, and the half-built form is gone.
TEST(FormData, BrokenResourceFailsTheConstruction) {
  const int forms = Screen->FormCount();
  try {
    New<TBrokenForm>(nullptr);
    ADD_FAILURE() << "a broken form was made";
  } catch (const EReadError& e) {
    for (const char* part : {"TBrokenForm", "Button1", "Colour"})
      EXPECT_NE(std::string::npos, e.Message().find(part)) << e.Message();
  }
  EXPECT_EQ(forms, Screen->FormCount());
}
