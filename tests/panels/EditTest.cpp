// The edit: colours by state, the focus colour following the colour, the
// custom frame and its hot form, older forms, the cue text and Enter as Tab;
// the viewer window's bars read from their form, with their screenshot.
#include "panels/Edit.h"
#include "panels/StatusPane.h"
#include "panels/Toolbar.h"
#include "platform/FormResource.h"
#include "tests/panels/PanelsTestSupport.h"
#include "tests/platform/controls/ControlTestUtil.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <string>

using namespace testing_support;
using namespace control_tests;

// The viewer window's bars (ViewerForm.mvf).
class TViewerForm : public TForm {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TForm::TForm;

  TRzToolbar* ttb = nullptr;
  TRzToolbar* ltb = nullptr;
  TRzEdit* ti = nullptr;
  TRzFieldStatus* lbtm = nullptr;
  TRzToolButton* btchg = nullptr;
  TRzToolButton* btdel = nullptr;
};

const TClassInfo TViewerForm::ClassInfo{"TViewerForm", &TForm::ClassInfo, [](TObject* owner) -> TObject* {
                                          return new TViewerForm(static_cast<TComponent*>(owner));
                                        }};

namespace {

using V = TViewerForm;
const TPublishedRegistration viewerFormRegistration(&V::ClassInfo, {
    Field<&V::ttb>("ttb"),
    Field<&V::ltb>("ltb"),
    Field<&V::ti>("ti"),
    Field<&V::lbtm>("lbtm"),
    Field<&V::btchg>("btchg"),
    Field<&V::btdel>("btdel"),
});

std::wstring CueBanner(HWND edit) {
  wchar_t text[64] = {};
  SendMessageW(edit, EM_GETCUEBANNER, reinterpret_cast<WPARAM>(text), 64);
  return text;
}

class EditForm : public ::testing::Test {
protected:
  void SetUp() override {
    Form = std::make_unique<ShownForm>(40, 40, 300, 200, "Edit");
    Edit = Place<TRzEdit>(Form->Form, 10, 10, 150, 21);
    Other = Place<TRzEdit>(Form->Form, 10, 50, 150, 21);
  }
  void TearDown() override { Form.reset(); }
  std::unique_ptr<ShownForm> Form;
  TRzEdit* Edit = nullptr;
  TRzEdit* Other = nullptr;
};

// Each row: the state, and the colour the edit shows.
TEST_F(EditForm, TheColourFollowsTheState) {
  const TColor disabled = RGB(200, 0, 0), readOnly = RGB(200, 200, 0), focus = RGB(0, 200, 200),
               normal = RGB(250, 250, 250);
  Edit->SetColor(normal);
  Edit->SetDisabledColor(disabled);
  Edit->SetReadOnlyColor(readOnly);
  Edit->SetFocusColor(focus);
  Form->Show();
  const struct {
    const char* Name;
    bool Enabled, ReadOnly, Focused, ReadOnlyColorOnFocus;
    TColor Expected;
  } cases[] = {
      {"normal", true, false, false, false, normal},
      {"focused", true, false, true, false, focus},
      {"read-only", true, true, false, false, readOnly},
      {"read-only, focused", true, true, true, false, focus},
      {"read-only, focused, its colour on focus", true, true, true, true, readOnly},
      {"disabled", false, false, false, false, disabled},
      {"disabled, read-only", false, true, false, false, disabled},
  };
  for (const auto& c : cases) {
    Other->SetFocus();
    RunMessagesUntilIdle();
    Edit->SetReadOnlyColorOnFocus(c.ReadOnlyColorOnFocus);
    Edit->SetReadOnly(c.ReadOnly);
    Edit->SetEnabled(c.Enabled);
    if (c.Focused) {
      Edit->SetFocus();
      RunMessagesUntilIdle();
      ASSERT_TRUE(Edit->InControl()) << c.Name;
    }
    EXPECT_EQ(Edit->Color(), c.Expected) << c.Name;
    RedrawWindow(Edit->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RunMessagesUntilIdle();
    EXPECT_EQ(ReadClientPixels(Edit->Handle()).At(100, 8), Rgb(c.Expected)) << c.Name;
    Edit->SetEnabled(true);
    Edit->SetReadOnly(false);
  }
  EXPECT_EQ(Edit->NormalColor(), normal) << "the state colours never become the normal one";
}

TEST_F(EditForm, TheFocusColourFollowsTheColourItEqualled) {
  EXPECT_EQ(Edit->FocusColor(), Edit->Color());
  Edit->SetColor(clYellow);
  EXPECT_EQ(Edit->FocusColor(), clYellow);
  EXPECT_EQ(Edit->NormalColor(), clYellow);
  Edit->SetFocusColor(clAqua);
  Edit->SetColor(clLime);
  EXPECT_EQ(Edit->FocusColor(), clAqua);
  EXPECT_EQ(Edit->NormalColor(), clLime);
}

// With visual styles the themed border stays; custom framing draws the
// frame in the non-client area, the hot one while the mouse is over it.
TEST_F(EditForm, TheCustomFrameReplacesTheBorder) {
  Edit->SetFrameColor(RGB(255, 0, 0));
  Edit->SetFrameHotColor(RGB(0, 0, 255));
  Edit->SetFrameHotStyle(fsFlat);
  Edit->SetFrameVisible(true);
  Form->Show();
  Other->SetFocus();
  RunMessagesUntilIdle();
  auto corner = [&] {
    RedrawWindow(Edit->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    RunMessagesUntilIdle();
    return ReadWindowPixels(Edit->Handle());
  };
  if (PanelVisualStylesEnabled()) {
    EXPECT_TRUE(Edit->UsesThemedFrame());
    EXPECT_NE(corner().At(0, 5), 0xFF0000u) << "the themed border stays";
  }
  Edit->SetFramingPreference(fpCustomFraming);
  EXPECT_TRUE(Edit->ShowsCustomFrame());
  Image pixels = corner();
  EXPECT_EQ(pixels.At(0, 5), 0xFF0000u);
  EXPECT_EQ(pixels.At(5, 0), 0xFF0000u);
  EXPECT_EQ(pixels.At(1, 5), Rgb(Sys(COLOR_WINDOW))) << "the system's border is covered";
  Edit->SetFrameHotTrack(true);
  Edit->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(Edit));
  EXPECT_TRUE(Edit->OverControl());
  pixels = corner();
  EXPECT_EQ(pixels.At(0, 5), 0x0000FFu) << "the hot frame";
  Edit->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(Edit));
  EXPECT_EQ(corner().At(0, 5), 0xFF0000u);
}

TEST_F(EditForm, AnOlderFormsFlatFrameBecomesHotTracking) {
  ReadComponentText(
      "object Host: TForm\n"
      "  object Old: TRzEdit\n"
      "    FrameFlat = True\n"
      "    FrameFocusStyle = fsButtonDown\n"
      "    FrameFlatStyle = fsFlat\n"
      "  end\n"
      "end\n",
      Form->Form, "Host");
  auto* old = ObjectAs<TRzEdit>(Form->Form->FindComponent("Old"));
  ASSERT_NE(old, nullptr);
  EXPECT_TRUE(old->FrameHotTrack());
  EXPECT_TRUE(old->FrameVisible());
  EXPECT_EQ(old->FrameStyle(), fsStatus);
  EXPECT_EQ(old->FrameHotStyle(), fsButtonDown) << "the focus style read after it";
}

TEST_F(EditForm, EnterMovesTheFocusOnWithTabOnEnter) {
  Edit->SetTabOnEnter(true);
  Form->Show();
  Edit->SetFocus();
  RunMessagesUntilIdle();
  PostMessageA(Edit->Handle(), WM_CHAR, '\r', 0);
  RunMessagesUntilIdle();
  EXPECT_TRUE(Other->Focused());
}

// The viewer's bars from their form: the title edit's cue text, set while
// the form loads, reaches the window; disabled, it shows button highlight.
TEST(ViewerWindow, TheBarsLoadWithTheTitleEdit) {
  RegisterClasses({&TRzToolbar::ClassInfo, &TRzToolButton::ClassInfo, &TRzEdit::ClassInfo,
                   &TRzFieldStatus::ClassInfo, &TLabel::ClassInfo, &TImage::ClassInfo, &TComboBox::ClassInfo,
                   &TPanel::ClassInfo});
  auto* form = New<TViewerForm>(nullptr);
  form->Show();
  SetForegroundWindow(form->Handle());
  RunMessagesUntilIdle();
  TRzEdit* ti = form->ti;
  ASSERT_NE(ti, nullptr);
  EXPECT_EQ(ti->TextHint(), "请输入标题");
  if (PanelVisualStylesEnabled()) {
    EXPECT_EQ(CueBanner(ti->Handle()), L"请输入标题");
  }
  // The buttons keep their own width and caption.
  for (TRzToolButton* b : {form->btchg, form->btdel}) {
    EXPECT_EQ(b->Width(), 64) << b->Name();
    EXPECT_TRUE(b->ShowCaption());
    EXPECT_FALSE(form->ltb->ShowButtonCaptions());
  }
  EXPECT_EQ(form->ttb->Height(), 29);
  EXPECT_EQ(form->ltb->Top(), 29);
  SaveScreenshot(form->Handle(), "panels-viewer");
  ti->SetEnabled(false);
  EXPECT_EQ(ti->Color(), clBtnHighlight);
  RedrawWindow(ti->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  RunMessagesUntilIdle();
  EXPECT_EQ(ReadClientPixels(ti->Handle()).At(ti->ClientWidth() - 10, 8), Rgb(Sys(COLOR_BTNHIGHLIGHT)));
  Free(form);
}

}  // namespace
