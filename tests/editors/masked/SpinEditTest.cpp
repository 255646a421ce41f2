// The spin edit: its step arithmetic in tables, then a real window stepped
// by posted keys, the wheel and typing, with the limits, the value types and
// CanEdit.
#include "editors/framework/DataStorage.h"
#include "editors/masked/SpinEdit.h"
#include "platform/FormatSettings.h"
#include "platform/Forms.h"
#include "platform/Seams.h"
#include "tests/editors/framework/EditorFixture.h"

#include <limits>
#include <vector>

using namespace testing_support;

namespace {

TEST(SpinStep, IntegerStepsClampWrapOrRefuse) {
  constexpr int64_t Lo = std::numeric_limits<int64_t>::min(), Hi = std::numeric_limits<int64_t>::max();
  struct TCase {
    const char* Name;
    int64_t Value, Step, Min, Max;
    TcxSpinLimitMode Mode;
    bool Done;
    int64_t Result;
  };
  const TCase cases[] = {
      {"inside", 5, 1, 0, 59, slmClamp, true, 6},
      {"59 up clamps", 59, 1, 0, 59, slmClamp, true, 59},
      {"59 up wraps to 0", 59, 1, 0, 59, slmWrap, true, 0},
      {"58 by 3 wraps to 1", 58, 3, 0, 59, slmWrap, true, 1},
      {"0 down wraps to 59", 0, -1, 0, 59, slmWrap, true, 59},
      {"refused past the limit", 59, 1, 0, 59, slmRefuse, false, 0},
      {"page up from 5 clamps at 10", 5, 10, 0, 10, slmClamp, true, 10},
      {"page up from 10 stays", 10, 10, 0, 10, slmClamp, true, 10},
      {"page up from 5 wraps to 4", 5, 10, 0, 10, slmWrap, true, 4},
      {"page up from 10 wraps to 9", 10, 10, 0, 10, slmWrap, true, 9},
      {"down from 0 wraps to 10", 0, -1, 0, 10, slmWrap, true, 10},
      {"a step larger than the range stays inside", 0, 20, 0, 5, slmWrap, true, 2},
      {"and downward", 5, -20, 0, 5, slmWrap, true, 3},
      {"the type's top clamps", Hi - 1, 5, Lo, Hi, slmClamp, true, Hi},
      {"the type's top wraps to its bottom", Hi, 1, Lo, Hi, slmWrap, true, Lo},
      {"the type's bottom wraps to its top", Lo, -1, Lo, Hi, slmWrap, true, Hi},
      {"a huge step from the bottom", Lo, Hi, Lo, Hi, slmClamp, true, -1},
      {"a huge step down from the top", Hi, Lo, Lo, Hi, slmClamp, true, -1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    int64_t result = 0;
    EXPECT_EQ(cxSpinApplyStep(c.Value, c.Step, c.Min, c.Max, c.Mode, result), c.Done);
    if (c.Done) {
      EXPECT_EQ(result, c.Result);
    }
  }
  EXPECT_EQ(cxSpinRoundToInt(2.5), 2);
  EXPECT_EQ(cxSpinRoundToInt(3.5), 4);
  EXPECT_EQ(cxSpinRoundToInt(1e30), Lo);
}

TEST(SpinStep, FloatStepsClampAndWrap) {
  double result = 0;
  EXPECT_TRUE(cxSpinApplyStep(1.5, 1.0, 0.0, 10.0, slmClamp, result));
  EXPECT_DOUBLE_EQ(result, 2.5);
  EXPECT_TRUE(cxSpinApplyStep(9.5, 1.0, 0.0, 10.0, slmClamp, result));
  EXPECT_DOUBLE_EQ(result, 10.0);
  EXPECT_TRUE(cxSpinApplyStep(0.0, 20.0, 0.0, 5.0, slmWrap, result));
  EXPECT_DOUBLE_EQ(result, 2.0);
  EXPECT_FALSE(cxSpinApplyStep(10.0, 1.0, 0.0, 10.0, slmRefuse, result));
}

class SpinEdit : public ::testing::Test {
protected:
  void SetUp() override {
    editor_test::StartEditorUnits();
    cxTextEditInit();
    cxMaskEditInit();
    cxSpinEditInit();
    FOldSink = SetBeepSink([this](unsigned) { ++Beeps; });
    FForm = New<TForm>(nullptr);
    FForm->SetBounds(60, 60, 420, 300);
    FForm->SetCaption("Spin");
  }
  void TearDown() override {
    Free(FForm);
    SetBeepSink(FOldSink);
    cxSpinEditDone();
    cxMaskEditDone();
    cxTextEditDone();
    editor_test::FinishEditorUnits();
  }
  TcxSpinEdit* Place(TcxSpinEditValueType type = vtInt) {
    auto* edit = New<TcxSpinEdit>(FForm);
    edit->SetParent(FForm);
    edit->SetBounds(10, 10 + 30 * FCount++, 209, 21);
    edit->Properties()->SetValueType(type);
    FForm->Show();
    RunMessagesUntilIdle();
    edit->SetFocus();
    RunMessagesUntilIdle();
    return edit;
  }
  static HWND InnerOf(TcxSpinEdit* edit) { return edit->InnerTextEdit()->Handle(); }
  static AnsiString Shown(TcxSpinEdit* edit) { return edit->InnerTextEdit()->Text(); }
  static void Key(TcxSpinEdit* edit, UINT vk) {
    PostKey(InnerOf(edit), vk);
    RunMessagesUntilIdle();
  }
  static void Type(TcxSpinEdit* edit, const AnsiString& text) {
    for (char c : text) PostChar(InnerOf(edit), c);
    RunMessagesUntilIdle();
  }

  int Beeps = 0;
  TForm* FForm = nullptr;
  int FCount = 0;
  TBeepSink FOldSink;
};

TEST_F(SpinEdit, DefaultsAndTheValueType) {
  TcxSpinEditProperties properties(nullptr);
  EXPECT_EQ(properties.Increment(), 1.0);
  EXPECT_EQ(properties.LargeIncrement(), 10.0);
  EXPECT_EQ(properties.SpinButtons()->Position(), sbpVert);
  EXPECT_TRUE(properties.CanEdit());
  EXPECT_EQ(properties.ValueType(), vtFloat) << "without a provider";
  EXPECT_EQ(properties.Buttons()->Count(), 2);
  properties.SpinButtons()->SetShowFastButtons(true);
  EXPECT_EQ(properties.Buttons()->Count(), 4);
  properties.SpinButtons()->SetVisible(false);
  EXPECT_EQ(properties.Buttons()->Count(), 0);
}

TEST_F(SpinEdit, KeysStepWithinTheLimits) {
  auto* edit = Place();
  edit->Properties()->SetMinValue(0);
  edit->Properties()->SetMaxValue(10);
  struct TCase {
    const char* Name;
    bool Circular;
    int64_t From;
    UINT Key;
    int64_t To;
  };
  const TCase cases[] = {
      {"Page Up from 5 clamps", false, 5, VK_PRIOR, 10},
      {"Page Up from 10 stays", false, 10, VK_PRIOR, 10},
      {"Down from 0 stays", false, 0, VK_DOWN, 0},
      {"Up", false, 3, VK_UP, 4},
      {"Page Down", false, 7, VK_NEXT, 0},
      {"Page Up from 5 wraps", true, 5, VK_PRIOR, 4},
      {"Page Up from 10 wraps", true, 10, VK_PRIOR, 9},
      {"Down from 0 wraps", true, 0, VK_DOWN, 10},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    edit->Properties()->SetCircular(c.Circular);
    edit->SetValue(Variant(c.From));
    RunMessagesUntilIdle();
    Key(edit, c.Key);
    EXPECT_EQ(edit->Value().AsInt64(), c.To);
    EXPECT_EQ(Shown(edit), IntToStr(c.To));
  }
}

TEST_F(SpinEdit, IntegerIncrementsRoundHalvesToEven) {
  auto* edit = Place();
  edit->Properties()->SetIncrement(2.5);
  Key(edit, VK_UP);
  EXPECT_EQ(edit->Value().AsInt64(), 2);
  edit->Properties()->SetIncrement(3.5);
  Key(edit, VK_UP);
  EXPECT_EQ(edit->Value().AsInt64(), 6);
  edit->Properties()->SetIncrement(0);
  Key(edit, VK_UP);
  EXPECT_EQ(edit->Value().AsInt64(), 6) << "a zero increment leaves the value";
}

TEST_F(SpinEdit, TheWheelSteps) {
  auto* edit = Place();
  SendMessageA(edit->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  SendMessageA(edit->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  RunMessagesUntilIdle();
  EXPECT_EQ(edit->Value().AsInt64(), 2);
  SendMessageA(edit->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  RunMessagesUntilIdle();
  EXPECT_EQ(edit->Value().AsInt64(), 1);
}

TEST_F(SpinEdit, TypingUnderTheValueTypes) {
  const char saved = FormatSettings().DecimalSeparator;
  FormatSettings().DecimalSeparator = '.';
  auto* edit = Place(vtFloat);
  edit->SelectRange(0, 100);
  Type(edit, "1,5");
  EXPECT_EQ(Shown(edit), "1.5") << "the comma types the locale's separator";
  EXPECT_DOUBLE_EQ(edit->Value().AsDouble(), 1.5);
  auto* integer = Place(vtInt);
  integer->SelectRange(0, 100);
  Type(integer, "4x");
  EXPECT_EQ(Shown(integer), "4");
  EXPECT_EQ(Beeps, 1) << "a refused character beeps";
  FormatSettings().DecimalSeparator = saved;
}

TEST_F(SpinEdit, WithoutCanEditTypingIsRefusedButStepsWork) {
  auto* edit = Place();
  edit->Properties()->SetCanEdit(false);
  edit->SelectRange(0, 100);
  Type(edit, "7");
  EXPECT_EQ(Shown(edit), "0");
  Key(edit, VK_UP);
  EXPECT_EQ(Shown(edit), "1");
  SendMessageA(edit->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
  RunMessagesUntilIdle();
  EXPECT_EQ(Shown(edit), "2");
}

TEST_F(SpinEdit, AHeldButtonRepeatsFirstSlowlyThenFast) {
  auto* edit = Place();
  ASSERT_GE(edit->EditViewInfo()->ButtonCount(), 2);
  int up = -1;
  for (int i = 0; i < edit->EditViewInfo()->ButtonCount(); ++i)
    if (edit->EditViewInfo()->Button(i).CollectionIndex == 1) up = i;
  ASSERT_GE(up, 0);
  const RECT r = edit->EditViewInfo()->Button(up).ButtonRect;
  const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SendMessageA(edit->Handle(), WM_MOUSEMOVE, 0, at);
  SendMessageA(edit->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
  EXPECT_EQ(edit->Value().AsInt64(), 1) << "the press steps once";
  ASSERT_NE(edit->RepeatTimer(), nullptr);
  EXPECT_EQ(edit->RepeatTimer()->Interval(), 400u);
  // Driven by hand: each tick steps again, and the pace becomes 100 ms.
  const int64_t before = edit->Value().AsInt64();
  edit->RepeatTimer()->TimeOut();
  EXPECT_GT(edit->Value().AsInt64(), before);
  ASSERT_NE(edit->RepeatTimer(), nullptr);
  EXPECT_EQ(edit->RepeatTimer()->Interval(), 100u);
  SendMessageA(edit->Handle(), WM_LBUTTONUP, 0, at);
  RunMessagesUntilIdle();
  EXPECT_EQ(edit->RepeatTimer(), nullptr) << "released: no more repeating";
}

TEST_F(SpinEdit, ButtonsFollowTheirPosition) {
  auto* edit = Place();
  struct TCase {
    const char* Name;
    TcxSpinEditButtonsPosition Position;
    bool Fast;
  };
  const TCase cases[] = {
      {"vertical", sbpVert, false},           {"vertical, fast", sbpVert, true},
      {"right", sbpHorzRight, false},         {"right, fast", sbpHorzRight, true},
      {"both ends", sbpHorzLeftRight, false}, {"both ends, fast", sbpHorzLeftRight, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    edit->Properties()->SpinButtons()->SetPosition(c.Position);
    edit->Properties()->SpinButtons()->SetShowFastButtons(c.Fast);
    RunMessagesUntilIdle();
    TcxCustomEditViewInfo* info = edit->EditViewInfo();
    ASSERT_EQ(info->ButtonCount(), c.Fast ? 4 : 2);
    RECT r[4]{};
    for (int i = 0; i < info->ButtonCount(); ++i) r[info->Button(i).CollectionIndex] = info->Button(i).ButtonRect;
    const int w = r[0].right - r[0].left;
    EXPECT_GT(w, 0);
    RECT client;
    GetClientRect(edit->Handle(), &client);
    if (c.Position == sbpVert) {
      EXPECT_EQ(r[1].left, r[0].left) << "one column";
      EXPECT_EQ(r[1].bottom, r[0].top) << "up over down";
    } else {
      EXPECT_EQ(r[1].top, r[0].top) << "side by side";
      EXPECT_EQ(r[1].right - r[1].left, w);
    }
    if (c.Position == sbpHorzRight) {
      EXPECT_EQ(r[0].right, r[1].left) << "down left of up";
    }
    if (c.Position == sbpHorzLeftRight) {
      EXPECT_LT(r[0].right, r[1].left) << "down at the left, up at the right";
    }
    if (c.Fast) {
      EXPECT_EQ(r[2].right - r[2].left, MulDiv(w, 3, 2)) << "a fast button is half as wide again";
      EXPECT_EQ(r[3].right - r[3].left, MulDiv(w, 3, 2));
      EXPECT_LT(r[2].left, r[0].left) << "fast down outside down";
      EXPECT_GT(r[3].right, r[1].right) << "fast up outside up";
    }
  }
}

// One row per look-and-feel kind, one column per position and fast-button
// setting; saved as spin-buttons.png.
TEST_F(SpinEdit, GalleryOfTheButtonLayouts) {
  const TcxLookAndFeelKind kinds[] = {lfFlat, lfStandard, lfUltraFlat, lfOffice11};
  const struct {
    TcxSpinEditButtonsPosition Position;
    bool Fast;
  } columns[] = {{sbpVert, false}, {sbpVert, true}, {sbpHorzRight, false},
                 {sbpHorzRight, true}, {sbpHorzLeftRight, false}, {sbpHorzLeftRight, true}};
  constexpr int width = 130, height = 24, gap = 6;
  FForm->SetBounds(20, 20, 6 * (width + gap) + 40, 4 * (height + gap) + 60);
  std::vector<TcxSpinEdit*> edits;
  for (int r = 0; r < 4; ++r) {
    for (int c = 0; c < 6; ++c) {
      auto* edit = New<TcxSpinEdit>(FForm);
      edit->SetParent(FForm);
      edit->SetAutoSize(false);
      edit->SetBounds(10 + c * (width + gap), 10 + r * (height + gap), width, height);
      edit->Style()->GetLookAndFeel()->SetKind(kinds[r]);
      edit->Properties()->SpinButtons()->SetPosition(columns[c].Position);
      edit->Properties()->SpinButtons()->SetShowFastButtons(columns[c].Fast);
      edit->SetValue(Variant(int64_t{10 * r + c}));
      edits.push_back(edit);
    }
  }
  FForm->Show();
  RunMessagesUntilIdle();
  for (TcxSpinEdit* edit : edits) edit->Invalidate();
  RunMessagesUntil([&] {
    for (TcxSpinEdit* edit : edits)
      if (GetUpdateRect(edit->Handle(), nullptr, FALSE)) return false;
    return true;
  });
  EXPECT_FALSE(SaveScreenshot(FForm->Handle(), "spin-buttons").empty());
}

TEST_F(SpinEdit, TheFilterHelpersOfBothEdits) {
  // The units put their helpers in the registry; a class derived from a
  // registered one finds its parent's helper.
  const struct {
    const char* Name;
    TClass Properties, Helper, Editor;
  } registered[] = {
      {"mask edit", &TcxMaskEditProperties::ClassInfo, &TcxFilterMaskEditHelper::ClassInfo, &TcxMaskEdit::ClassInfo},
      {"spin edit", &TcxSpinEditProperties::ClassInfo, &TcxFilterSpinEditHelper::ClassInfo, &TcxSpinEdit::ClassInfo},
  };
  for (const auto& r : registered) {
    SCOPED_TRACE(r.Name);
    auto helper = FilterEditHelperOf(r.Properties);
    ASSERT_NE(helper, nullptr);
    EXPECT_EQ(helper->ClassType(), r.Helper);
    EXPECT_EQ(helper->FilterEditorClass(), r.Editor);
  }
  EXPECT_EQ(TcxFilterSpinEditHelper().FilterKindOf(), 1);

  const auto set = [](std::initializer_list<int> items) {
    TcxFilterOperators s;
    for (int i : items) s.Include(i);
    return s;
  };
  const TcxValueType* text = cxValueType<TcxStringValueType>();
  TcxMaskEditProperties masked(nullptr), plain(nullptr);
  masked.SetEditMask("000");
  TcxFilterMaskEditHelper maskHelper;
  TcxFilterSpinEditHelper spinHelper;
  struct TCase {
    const char* Name;
    const TcxCustomFilterEditHelper* Helper;
    TObject* Context;
    const TcxValueType* Type;
    bool Extended;
    TcxFilterOperators Expected;
  };
  const TCase cases[] = {
      {"mask, no mask, text", &maskHelper, &plain, text, false, set({1, 2, 3, 4, 5, 6, 7, 8, 9, 10})},
      {"mask, a mask, text", &maskHelper, &masked, text, false, set({1, 2, 3, 4, 5, 6, 9, 10})},
      {"mask, no mask, no type", &maskHelper, &plain, nullptr, false, set({1, 2, 3, 4, 5, 6, 9, 10})},
      {"mask, extended", &maskHelper, &masked, text, true, set({1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14})},
      {"spin, text", &spinHelper, &plain, text, false, set({1, 2, 3, 4, 5, 6, 9, 10})},
      {"spin, extended", &spinHelper, nullptr, nullptr, true, set({1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14})},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_TRUE(c.Helper->AllowedOperators(c.Context, c.Type, c.Extended) == c.Expected);
  }

  // Setting a row's edit up.
  auto* maskEdit = New<TcxMaskEdit>(FForm);
  TcxMaskEditProperties regExpr(nullptr);
  regExpr.SetMaskKind(emkRegExpr);
  regExpr.SetEditMask("\\d\\d-\\d\\d");
  regExpr.SetAutoSelect(true);
  maskHelper.SetupEdit(maskEdit, &regExpr);
  EXPECT_EQ(maskEdit->Properties()->MaskKind(), emkRegExprEx) << "types its literals";
  EXPECT_EQ(maskEdit->Properties()->EditMask(), "\\d\\d-\\d\\d") << "the mask is kept";
  EXPECT_FALSE(maskEdit->Properties()->AutoSelect()) << "no select-all with a mask";
  plain.SetAutoSelect(false);
  maskHelper.SetupEdit(maskEdit, &plain);
  EXPECT_TRUE(maskEdit->Properties()->AutoSelect()) << "select-all without a mask";

  auto* spinEdit = New<TcxSpinEdit>(FForm);
  TcxSpinEditProperties spin(nullptr);
  spin.SetCanEdit(false);
  spin.SetIncrement(5);
  spinHelper.SetupEdit(spinEdit, &spin);
  EXPECT_TRUE(spinEdit->Properties()->CanEdit());
  EXPECT_EQ(spinEdit->Properties()->Increment(), 5.0) << "copied";
  EXPECT_EQ(spinEdit->Properties()->Buttons()->Count(), 2) << "filter kind 1 keeps the spin buttons";
}

TEST_F(SpinEdit, InvalidInputIsReportedOnlyWhenAsked) {
  auto* edit = Place();
  edit->Properties()->SetMinValue(0);
  edit->Properties()->SetMaxValue(10);
  struct TCase {
    const char* Name;
    bool Raise;
    AnsiString Text;
    bool Error;
    AnsiString ErrorText;
    AnsiString Display;
  };
  const TCase cases[] = {
      {"out of bounds, clamped", false, "20", false, "", "10"},
      {"out of bounds, reported", true, "20", true, "Value out of bounds", "20"},
      {"not a number, reported", true, "1e", true, "Invalid numeric value", "1e"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    edit->Properties()->SetExceptionOnInvalidInput(c.Raise);
    TcxEditValue display(c.Text);
    AnsiString errorText;
    bool error = false;
    edit->ActiveProperties()->ValidateDisplayValue(display, errorText, edit, error);
    EXPECT_EQ(error, c.Error);
    if (c.Error) {
      EXPECT_EQ(errorText, c.ErrorText);
    }
    EXPECT_EQ(VarToStr(display), c.Display);
  }
}

}  // namespace
