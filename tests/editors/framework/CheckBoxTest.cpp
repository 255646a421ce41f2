// The check box on a real form: the state cycle by click, Space and hot key,
// values mapped to states, the glyph cells of a custom strip, the themed
// glyph's state ids, the check mark mask and the glyph's pixels.
#include "editors/framework/CheckBox.h"

#include "editors/framework/TextEdit.h"
#include "editors/framework/Variants.h"
#include "platform/ActnList.h"
#include "foundation/LookAndFeelPainter.h"
#include "platform/Forms.h"
#include "platform/Messages.h"
#include "tests/editors/framework/EditorFixture.h"

#include <gtest/gtest.h>

#include <vector>

using lookandfeel_test::AsProc;
using lookandfeel_test::TestSurface;
using testing_support::Image;

using testing_support::RunMessagesUntil;
using testing_support::RunMessagesUntilIdle;

namespace {

class CheckBoxTest : public ::testing::Test {
protected:
  void SetUp() override {
    editor_test::StartEditorUnits();
    cxCheckBoxInit();
    FForm = New<TForm>(nullptr);
    FForm->SetBounds(60, 60, 320, 200);
  }
  void TearDown() override {
    if (GetCapture()) ReleaseCapture();
    Free(FForm);
    cxCheckBoxDone();
    editor_test::FinishEditorUnits();
  }
  TcxCheckBox* Place(int left, int top, const char* caption = "Option") {
    auto* box = New<TcxCheckBox>(FForm);
    box->SetParent(FForm);
    box->SetBounds(left, top, 140, 22);
    box->SetCaption(caption);
    box->OnClick = TNotifyEvent::Lambda([this](TObject*) { ++FClicks; });
    return box;
  }
  void Show() {
    FForm->Show();
    RunMessagesUntilIdle();
  }
  // A left press and release at a client point, with the cursor there.
  void ClickAt(TcxCheckBox* box, int x, int y) {
    POINT screen{x, y};
    ClientToScreen(box->Handle(), &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageA(box->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    SendMessageA(box->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageA(box->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    RunMessagesUntilIdle();
  }
  TForm* FForm = nullptr;
  int FClicks = 0;
};

TEST_F(CheckBoxTest, ClicksAndSpaceCycleTheStates) {
  struct TCase {
    const char* Name;
    bool AllowGrayed, ByKey;
    std::vector<TcxCheckBoxState> Cycle;
  };
  const TCase cases[] = {
      {"click", false, false, {cbsChecked, cbsUnchecked, cbsChecked}},
      {"click with grayed", true, false, {cbsGrayed, cbsChecked, cbsUnchecked, cbsGrayed}},
      {"space", false, true, {cbsChecked, cbsUnchecked}},
      {"space with grayed", true, true, {cbsGrayed, cbsChecked, cbsUnchecked}},
  };
  Show();
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* box = Place(10, 10);
    box->Properties()->SetAllowGrayed(c.AllowGrayed);
    RunMessagesUntilIdle();
    box->SetFocus();
    RunMessagesUntilIdle();
    ASSERT_EQ(box->State(), cbsUnchecked);
    FClicks = 0;
    int step = 0;
    for (TcxCheckBoxState expected : c.Cycle) {
      if (c.ByKey) {
        SendMessageA(box->Handle(), WM_KEYDOWN, VK_SPACE, 0);
        EXPECT_EQ(box->ButtonState(), cxcbPressed) << "pressed while Space is down";
        SendMessageA(box->Handle(), WM_KEYUP, VK_SPACE, 0xC0000001);
      } else {
        ClickAt(box, 8, 11);
      }
      ++step;
      EXPECT_EQ(box->State(), expected) << "step " << step;
      EXPECT_TRUE(box->Modified());
    }
    EXPECT_EQ(FClicks, step) << "one click event per change";
    Free(box);
  }
}

TEST_F(CheckBoxTest, TheHotKeyFocusesAndAdvances) {
  auto* other = Place(10, 40, "Other");
  auto* box = Place(10, 10, "&Remember me");
  Show();
  other->SetFocus();
  RunMessagesUntilIdle();
  EXPECT_EQ(SendMessageA(box->Handle(), CM_DIALOGCHAR, 'r', 0), 1);
  RunMessagesUntilIdle();
  EXPECT_TRUE(box->Focused());
  EXPECT_EQ(box->State(), cbsChecked);
  EXPECT_EQ(SendMessageA(box->Handle(), CM_DIALOGCHAR, 'x', 0), 0) << "another letter";
  EXPECT_EQ(box->State(), cbsChecked);
  EXPECT_EQ(other->State(), cbsUnchecked);
}

TEST_F(CheckBoxTest, ValuesMapToStates) {
  auto* box = Place(10, 10);
  struct TCase {
    const char* Name;
    Variant Value;
    TcxCheckBoxState State;
  };
  const TCase cases[] = {
      {"Boolean true", Variant(true), cbsChecked},
      {"the text True", Variant(AnsiString("True")), cbsChecked},
      {"Boolean false", Variant(false), cbsUnchecked},
      {"five", Variant(5), cbsGrayed},
      {"Null", Variant::Null(), cbsGrayed},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    box->SetEditValue(c.Value);
    EXPECT_EQ(box->State(), c.State);
  }
  box->SetChecked(true);
  EXPECT_TRUE(box->Checked());
  EXPECT_TRUE(box->EditValue().AsBoolean());
  box->ResetToDefault();
  EXPECT_EQ(box->State(), cbsUnchecked);
}

TEST_F(CheckBoxTest, ADuplicateOrNullValueSettingIsIgnored) {
  auto* box = Place(10, 10);
  TcxCustomCheckBoxProperties* p = box->Properties();
  p->SetValueChecked(Variant(false));
  EXPECT_TRUE(VariantsIdentical(p->ValueChecked(), Variant(true))) << "equal to the unchecked value";
  p->SetValueChecked(Variant::Null());
  EXPECT_TRUE(VariantsIdentical(p->ValueChecked(), Variant(true))) << "Null";
  p->SetValueUnchecked(Variant::Null());
  EXPECT_TRUE(VariantsIdentical(p->ValueUnchecked(), Variant(false)));
  p->SetValueChecked(Variant(AnsiString("Y")));
  p->SetValueUnchecked(Variant(AnsiString("N")));
  p->SetValueGrayed(Variant(AnsiString("?")));
  EXPECT_EQ(p->ValueChecked().AsString(), "Y");
  EXPECT_EQ(p->ValueUnchecked().AsString(), "N");
  EXPECT_EQ(p->ValueGrayed().AsString(), "?");
  p->SetValueGrayed(Variant(AnsiString("Y")));
  EXPECT_EQ(p->ValueGrayed().AsString(), "?");
  EXPECT_EQ(p->DisplayTextOf(Variant(AnsiString("Y"))), "True");
  EXPECT_EQ(p->DisplayTextOf(Variant(AnsiString("N"))), "False");
  EXPECT_EQ(p->DisplayTextOf(Variant(AnsiString("?"))), "");
}

TEST(CheckBoxGlyph, CellsOfACustomStrip) {
  struct TCase {
    TcxCheckBoxState State;
    uint8_t Button;
    int Count, Cell;
  };
  const TCase cases[] = {
      {cbsUnchecked, cxcbNormal, 6, 0}, {cbsChecked, cxcbNormal, 6, 1}, {cbsGrayed, cxcbNormal, 6, 2},
      {cbsUnchecked, cxcbPressed, 6, 3}, {cbsChecked, cxcbPressed, 6, 4}, {cbsGrayed, cxcbPressed, 6, 5},
      {cbsGrayed, cxcbPressed, 3, 2}, {cbsChecked, cxcbPressed, 3, 1}, {cbsChecked, cxcbHot, 3, 1},
      {cbsGrayed, cxcbNormal, 2, 2},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.State << "/" << int(c.Button) << "/" << c.Count);
    EXPECT_EQ(CheckBoxGlyphCell(c.State, c.Button, c.Count), c.Cell);
  }
}

TEST(CheckBoxGlyph, ThemeStatesAreTheTwelveStandardOnes) {
  EXPECT_EQ(CheckBoxThemeState(cbsUnchecked, cxcbNormal), 1);
  EXPECT_EQ(CheckBoxThemeState(cbsUnchecked, cxcbDisabled), 4);
  EXPECT_EQ(CheckBoxThemeState(cbsChecked, cxcbHot), 6);
  EXPECT_EQ(CheckBoxThemeState(cbsGrayed, cxcbPressed), 11);
}

// A strip of six 13-pixel cells, each one colour.
const TColor kCellColors[6] = {clRed, clLime, clBlue, clYellow, clFuchsia, clAqua};

TEST_F(CheckBoxTest, ACustomGlyphShowsTheCellOfItsStateInPixels) {
  struct TCase {
    const char* Name;
    TcxCheckBoxState State;
    uint8_t Button;
    int Count;
    TColor Color;
  };
  const TCase cases[] = {
      {"checked", cbsChecked, cxcbNormal, 6, clLime},
      {"pressed grayed of six", cbsGrayed, cxcbPressed, 6, clAqua},
      {"pressed grayed of three", cbsGrayed, cxcbPressed, 3, clBlue},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    // A strip of GlyphCount cells of 13 pixels, each one colour.
    TBitmap strip;
    strip.SetSize(13 * c.Count, 13);
    for (int i = 0; i < c.Count; ++i) {
      strip.Canvas()->Brush()->SetColor(kCellColors[i]);
      strip.Canvas()->FillRect(RECT{13 * i, 0, 13 * i + 13, 13});
    }
    strip.SetTransparentMode(tmFixed);
    strip.SetTransparentColor(clBlack);
    TestSurface s(20, 20, clWhite);
    TcxCheckBoxGlyphParams p;
    p.State = c.State;
    p.ButtonState = c.Button;
    p.Glyph = &strip;
    p.GlyphCount = c.Count;
    DrawCheckBoxGlyph(s.Canvas(), RECT{2, 2, 15, 15}, p);
    EXPECT_EQ(s.Pixel(8, 8), ColorToRGB(c.Color));
    EXPECT_EQ(s.Pixel(17, 17), ColorToRGB(clWhite)) << "outside the cell";
  }
}

TEST_F(CheckBoxTest, GrayedWithTheUncheckedNullStyleIsDrawnUnchecked) {
  auto draw = [](TcxCheckBoxState state, TcxCheckBoxNullValueShowingStyle nullStyle, TcxEditBorderStyle border) {
    TestSurface s(20, 20, clWhite);
    TcxCheckBoxGlyphParams p;
    p.State = state;
    p.NullStyle = nullStyle;
    p.BorderStyle = border;
    DrawCheckBoxGlyph(s.Canvas(), RECT{2, 2, 15, 15}, p);
    return s.Read();
  };
  for (TcxEditBorderStyle border : {ebs3D, ebsFlat, ebsUltraFlat, ebsOffice11, ebsSingle}) {
    SCOPED_TRACE(int(border));
    const Image unchecked = draw(cbsUnchecked, nssGrayedChecked, border);
    EXPECT_EQ(draw(cbsGrayed, nssUnchecked, border), unchecked);
    EXPECT_NE(draw(cbsGrayed, nssGrayedChecked, border), unchecked) << "the grayed mark shows";
    EXPECT_NE(draw(cbsChecked, nssGrayedChecked, border), unchecked) << "the check mark shows";
  }
}

TEST_F(CheckBoxTest, TheValueFiveShowsGrayedOnTheForm) {
  auto* box = Place(10, 10);
  box->Style()->SetEditBorderStyle(ebsUltraFlat);
  Show();
  auto glyph = [&] {
    box->Repaint();
    RunMessagesUntilIdle();
    const Image all = testing_support::ReadWindowPixels(box->Handle());
    const RECT k = box->CheckRect();
    std::vector<uint32_t> pixels;
    for (int y = k.top; y < k.bottom; ++y)
      for (int x = k.left; x < k.right; ++x) pixels.push_back(all.At(x, y));
    return pixels;
  };
  box->SetEditValue(Variant(false));
  const auto unchecked = glyph();
  box->SetEditValue(Variant(true));
  const auto checked = glyph();
  box->SetEditValue(Variant(5));
  EXPECT_EQ(box->State(), cbsGrayed);
  const auto grayed = glyph();
  EXPECT_NE(grayed, unchecked);
  EXPECT_NE(grayed, checked) << "the grayed mark is drawn in the shadow colour";
  box->Properties()->SetNullStyle(nssUnchecked);
  EXPECT_EQ(glyph(), unchecked);
  // The check rectangle sits left with the caption right of it.
  EXPECT_EQ(box->CheckRect().left, 2);
  EXPECT_EQ(box->TextRect().left, box->CheckRect().right + 3);
}

TEST_F(CheckBoxTest, TheThemedGlyphIsDrawnWithTheStatesId) {
  using namespace lookandfeel_test;
  UxThemeEntries[uxeOpenThemeData] = AsProc(&fake::OpenThemeData);
  fake::RealOpenThemeData = GetProcAddress(GetModuleHandleA("uxtheme.dll"), "OpenThemeData");
  fake::Refused.clear();
  UxThemeEntries[uxeDrawThemeBackground] = AsProc(&fake::DrawThemeBackground);
  SetVisualStyles(true);
  SetCursorPos(2, 2);  // away from the box: no hot state
  auto* box = Place(10, 10);
  box->Style()->GetLookAndFeel()->SetNativeStyle(true);
  Show();
  struct TCase {
    const char* Name;
    Variant Value;
    bool Enabled;
    int State;
  };
  const TCase cases[] = {
      {"unchecked", Variant(false), true, 1},
      {"checked", Variant(true), true, 5},
      {"grayed", Variant::Null(), true, 9},
      {"checked disabled", Variant(true), false, 8},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    box->SetEditValue(c.Value);
    box->SetEnabled(c.Enabled);
    fake::Drawn.clear();
    box->Repaint();
    RunMessagesUntilIdle();
    bool found = false;
    for (const fake::TDrawn& d : fake::Drawn) found = found || (d.Part == 3 && d.State == c.State);
    EXPECT_TRUE(found);
  }
  box->SetEnabled(true);
  SetVisualStyles(false);
}

TEST_F(CheckBoxTest, TheCheckMarkMaskHasTheGlyphSize) {
  TBitmap* mask = CheckMarkMask();
  ASSERT_NE(mask, nullptr);
  const SIZE size = TcxCustomLookAndFeelPainter::Instance.CheckBoxGlyphSize();
  EXPECT_EQ(mask->Width(), size.cx);
  EXPECT_EQ(mask->Height(), size.cy);
  int black = 0;
  for (int y = 0; y < size.cy; ++y)
    for (int x = 0; x < size.cx; ++x) black += mask->Canvas()->Pixels(x, y) == 0 ? 1 : 0;
  EXPECT_GT(black, 4) << "the mark";
  EXPECT_LT(black, size.cx * size.cy / 2);
  // Stamped in a colour: that colour where the mask is black, else the canvas.
  TestSurface s(size.cx + 4, size.cy + 4, clWhite);
  StampCheckMark(s.Canvas(), 2, 2, clRed);
  for (int y = 0; y < size.cy; ++y)
    for (int x = 0; x < size.cx; ++x)
      EXPECT_EQ(s.Pixel(x + 2, y + 2), mask->Canvas()->Pixels(x, y) == 0 ? ColorToRGB(clRed) : ColorToRGB(clWhite));
}

// The action's Checked shows in the box without running the action; a click
// on the box runs it; a grayed box is not linked.
TEST_F(CheckBoxTest, TheActionLinkShowsTheActionsChecked) {
  auto* box = Place(10, 10);
  box->Properties()->SetAllowGrayed(true);
  Show();
  auto* actions = New<TActionList>(FForm);
  auto* action = New<TAction>(FForm);
  action->SetActionList(actions);
  action->SetCaption("Remember");
  action->SetChecked(true);
  int executed = 0;
  action->SetOnExecute(TNotifyEvent::Lambda([&](TObject*) { ++executed; }));
  int changes = 0;
  box->Properties()->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  box->SetAction(action);
  EXPECT_EQ(box->Caption(), "Remember");
  EXPECT_EQ(box->State(), cbsChecked) << "the action's Checked on linking";
  EXPECT_EQ(executed, 0);
  struct TCase {
    const char* Name;
    bool Checked;
    TcxCheckBoxState Expect;
  };
  const TCase cases[] = {{"unchecked", false, cbsUnchecked}, {"checked", true, cbsChecked},
                         {"unchecked again", false, cbsUnchecked}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const int changesBefore = changes;
    action->SetChecked(c.Checked);
    EXPECT_EQ(box->State(), c.Expect);
    EXPECT_EQ(executed, 0) << "showing the action's state runs nothing";
    EXPECT_EQ(changes, changesBefore + 1) << "the change event after the lock";
  }
  box->SetState(cbsGrayed);
  action->SetChecked(true);
  EXPECT_EQ(box->State(), cbsGrayed) << "a grayed box is not linked";
  box->SetState(cbsUnchecked);
  action->SetChecked(false);
  const RECT k = box->CheckRect();
  ClickAt(box, (k.left + k.right) / 2, (k.top + k.bottom) / 2);
  EXPECT_EQ(box->State(), cbsGrayed);
  EXPECT_EQ(executed, 1) << "a click on the box runs the action";
  box->SetAction(nullptr);
}

// The filter-row helper registered for the check box: operators, and values
// shown and read back through its value editor.
TEST_F(CheckBoxTest, TheFilterHelperShowsCheckedUncheckedOrNone) {
  std::unique_ptr<TcxCustomFilterEditHelper> helper = FilterEditHelperOf(&TcxCheckBoxProperties::ClassInfo);
  ASSERT_TRUE(helper);
  EXPECT_EQ(helper->ClassType(), &TcxFilterCheckBoxHelper::ClassInfo);
  EXPECT_TRUE(helper->AllowedOperators(nullptr, nullptr, true) == (TcxFilterOperators{1, 2, 9, 10}));
  EXPECT_TRUE(helper->FilterByDisplayValue());
  EXPECT_EQ(helper->FilterEditorClass(), &TcxTextEdit::ClassInfo);
  auto* box = Place(10, 10);
  TcxCustomCheckBoxProperties* properties = box->Properties();
  properties->SetDisplayChecked("Yes");
  properties->SetDisplayUnchecked("No");
  auto* edit = New<TcxTextEdit>(FForm);
  edit->SetParent(FForm);
  edit->SetBounds(10, 60, 120, 22);
  Show();
  struct TCase {
    const char* Name;
    Variant Put;
    AnsiString Shown;
    Variant Read;
  };
  const TCase cases[] = {
      {"checked", Variant(true), "Yes", Variant(true)},
      {"unchecked", Variant(false), "No", Variant(false)},
      {"grayed", Variant::Null(), "", Variant::Null()},
      {"another value is grayed", Variant(5), "", Variant::Null()},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    helper->PutFilterValue(edit, properties, c.Put);
    EXPECT_EQ(edit->Text(), c.Shown);
    AnsiString text = "stale";
    Variant value("stale");
    helper->FilterValueText(edit, properties, text, value);
    EXPECT_EQ(text, c.Shown);
    EXPECT_TRUE(VariantsIdentical(value, c.Read));
  }
  edit->SetEditValue(Variant(AnsiString("maybe")));
  AnsiString text;
  Variant value;
  helper->FilterValueText(edit, properties, text, value);
  EXPECT_TRUE(value.IsNull()) << "a text that is neither";
  EXPECT_EQ(text, "");
}

}  // namespace
