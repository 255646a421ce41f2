// The edit view without a window: the buttons' layout (sides, cutting,
// stretching), their states under the mouse, border widths and colours,
// content margins, the native paths under a stand-in theme and
// composition, sizing, and painting read back from a bitmap.
#include "editors/framework/EditComposition.h"
#include "editors/framework/EditPaintUtils.h"
#include "editors/framework/EditUnit.h"
#include "editors/framework/EditUtils.h"
#include "editors/framework/EditViewInfo.h"
#include "foundation/ContainerServices.h"
#include "foundation/UxTheme.h"
#include "tests/editors/framework/EditorFixture.h"

#include <memory>

using namespace lookandfeel_test;

namespace {

bool CompositionOn() { return true; }
COLORREF FakeFill = RGB(0x12, 0x34, 0x56);
HRESULT WINAPI FakeGetThemeColor(HTHEME, int, int state, int property, COLORREF* color) {
  if (property != cxThemeFillColorProperty || state != 4) return E_FAIL;
  *color = FakeFill;
  return S_OK;
}

class EditView : public ::testing::Test {
protected:
  void SetUp() override {
    editor_test::StartEditorUnits();
    FOwner = New<TComponent>(nullptr);
    FStyles = std::make_unique<TcxContainerStyles>(FOwner, &TcxEditStyle::ClassInfo);
    FProperties = std::make_unique<TcxCustomEditProperties>(nullptr);
    Style()->SetTransparentBorder(false);
    Style()->SetHotTrack(false);
  }
  void TearDown() override {
    cxEditCompositionQuery = FSavedComposition;
    FProperties.reset();
    FStyles.reset();
    Free(FOwner);
    editor_test::FinishEditorUnits();
  }
  TcxEditStyle* Style() { return static_cast<TcxEditStyle*>(FStyles->StyleForState(cxssNormal)); }
  TcxEditButton* AddButton(int width = 0, TcxEditButtonKind kind = bkEllipsis, bool left = false) {
    TcxEditButton* b = FProperties->Buttons()->AddButton();
    b->SetWidth(width);
    b->SetKind(kind);
    b->SetLeftAlignment(left);
    return b;
  }
  std::unique_ptr<TcxCustomEditViewData> NewViewData(bool inPlace = false) {
    return std::make_unique<TcxCustomEditViewData>(FProperties.get(), Style(), inPlace);
  }
  // Fills the view info for bounds with the mouse at `p`.
  void Fill(TcxCustomEditViewData& vd, const RECT& bounds, POINT p = {-1, -1}, TShiftState shift = {},
            TcxEditMouseEvent event = emeNone, bool keep = false) {
    vd.FillViewInfo(&FScreen, bounds, keep, &FInfo, shift, event, p);
  }

  TComponent* FOwner = nullptr;
  std::unique_ptr<TcxContainerStyles> FStyles;
  std::unique_ptr<TcxCustomEditProperties> FProperties;
  TcxCustomEditViewInfo FInfo;
  TcxScreenCanvas FScreen;
  TcxCompositionQuery FSavedComposition = cxEditCompositionQuery;
};

int Width(const RECT& r) { return r.right - r.left; }

TEST_F(EditView, FiveRightButtonsInANarrowEditAreCutFromTheInside) {
  Style()->SetEditBorderStyle(ebsSingle);
  for (int i = 0; i < 5; ++i) AddButton(20);
  auto vd = NewViewData();
  Fill(*vd, RECT{0, 0, 50, 20});
  ASSERT_EQ(FInfo.ButtonCount(), 5);
  // Border 1: the area is 1..49 (48 wide): #4 and #3 whole, #2 cut to 8, #1 and #0 empty.
  const struct {
    int Index;
    int Visible;
    LONG Right;
  } expected[] = {{4, 20, 49}, {3, 20, 29}, {2, 8, 9}, {1, 0, -1}, {0, 0, -1}};
  for (const auto& e : expected) {
    SCOPED_TRACE(e.Index);
    const TcxEditButtonViewInfo& b = FInfo.Button(e.Index);
    EXPECT_EQ(Width(b.VisibleRect), e.Visible);
    if (e.Right >= 0) {
      EXPECT_EQ(b.VisibleRect.right, e.Right);
    }
    if (e.Visible > 0) {
      EXPECT_EQ(Width(b.ButtonRect), 20) << "the button keeps its width, clipped";
    }
  }
  EXPECT_EQ(FInfo.Button(2).ButtonRect.left, -11);
  EXPECT_EQ(FInfo.ClientRect.right - FInfo.ClientRect.left, 0) << "no room left for the content";
}

TEST_F(EditView, ButtonsOnBothSidesAndTheirGroupEnds) {
  Style()->SetEditBorderStyle(ebsSingle);
  AddButton(10, bkEllipsis, true);
  AddButton(12, bkEllipsis, true);
  AddButton(14);
  AddButton(16);
  auto vd = NewViewData();
  Fill(*vd, RECT{0, 0, 100, 20});
  ASSERT_EQ(FInfo.ButtonCount(), 4);
  // The last definition of each side sits outermost.
  EXPECT_EQ(FInfo.Button(1).ButtonRect.left, 1);
  EXPECT_EQ(FInfo.Button(0).ButtonRect.left, 13);
  EXPECT_EQ(FInfo.Button(3).ButtonRect.right, 99);
  EXPECT_EQ(FInfo.Button(2).ButtonRect.right, 83);
  EXPECT_TRUE(FInfo.Button(1).AtLeftEnd);
  EXPECT_TRUE(FInfo.Button(0).AtRightEnd);
  EXPECT_TRUE(FInfo.Button(2).AtLeftEnd);
  EXPECT_TRUE(FInfo.Button(3).AtRightEnd);
  EXPECT_FALSE(FInfo.Button(0).AtLeftEnd);
  EXPECT_EQ(vd->LeftGroupFirst, 1);
  EXPECT_EQ(vd->RightGroupLast, 3);
  // The client lies between the groups.
  EXPECT_EQ(FInfo.ClientRect.left, 23);
  EXPECT_EQ(FInfo.ClientRect.right, 69);
}

TEST_F(EditView, StretchingSharesTheSpareWidthByWidth) {
  Style()->SetEditBorderStyle(ebsSingle);
  FProperties->SetButtonLayout(TcxEditButtonsLayout::blButtonsOnly);
  struct TCase {
    const char* Name;
    int Widths[3];
    bool Stretchable[3];
    int Bounds;
    int Expected[3];
  };
  const TCase cases[] = {
      // area 99 - 1 = 98... spare 98 - 30 = 68: 10*68/30 = 22 each for #2 and #1, #0 the rest (24).
      {"equal", {10, 10, 10}, {true, true, true}, 100, {34, 32, 32}},
      // spare 98 - 40 = 58: #2 10*58/40 = 14, #1 20*58/40 = 29, #0 58 - 43 = 15.
      {"by width", {10, 20, 10}, {true, true, true}, 100, {25, 49, 24}},
      // Only #1 shares: it takes everything.
      {"one stretchable", {10, 20, 10}, {false, true, false}, 100, {10, 78, 10}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    FProperties->Buttons()->Clear();
    for (int i = 0; i < 3; ++i) AddButton(c.Widths[i])->SetStretchable(c.Stretchable[i]);
    auto vd = NewViewData();
    Fill(*vd, RECT{0, 0, c.Bounds, 20});
    ASSERT_EQ(FInfo.ButtonCount(), 3);
    int total = 0;
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(Width(FInfo.Button(i).ButtonRect), c.Expected[i]) << i;
      total += Width(FInfo.Button(i).ButtonRect);
    }
    EXPECT_EQ(total, c.Bounds - 2) << "the buttons fill the area";
    EXPECT_EQ(FInfo.Button(0).ButtonRect.left, 1);
    EXPECT_EQ(FInfo.Button(2).ButtonRect.right, c.Bounds - 1);
    EXPECT_EQ(FInfo.Button(0).ButtonRect.right, FInfo.Button(1).ButtonRect.left) << "no gaps";
  }
}

TEST_F(EditView, DefaultOnTheSecondOfThreeClearsTheOthers) {
  for (int i = 0; i < 3; ++i) AddButton()->SetDefault(true);
  FProperties->Buttons()->GetButton(1)->SetDefault(true);
  EXPECT_FALSE(FProperties->Buttons()->GetButton(0)->Default());
  EXPECT_TRUE(FProperties->Buttons()->GetButton(1)->Default());
  EXPECT_FALSE(FProperties->Buttons()->GetButton(2)->Default());
}

TEST_F(EditView, PressMoveOutReturnAndRelease) {
  Style()->SetEditBorderStyle(ebsSingle);
  AddButton(20);
  auto vd = NewViewData();
  const RECT bounds{0, 0, 100, 20};
  const POINT over{90, 10}, outside{40, 10};
  const TShiftState left{TShiftStateItem::ssLeft};
  struct TStep {
    const char* Name;
    POINT At;
    TShiftState Shift;
    TcxEditMouseEvent Event;
    int Captured;  // the edit's pressed button under the capture
    TcxEditButtonState State;
    int Pressed, Hot;
  };
  const TStep steps[] = {
      {"over", over, {}, emeNone, -1, ebsSelected, -1, 0},
      {"press", over, left, emeLeft, -1, ebsPressed, 0, -1},
      {"move out", outside, left, emeNone, 0, ebsNormal, -1, -1},
      {"return", over, left, emeNone, 0, ebsPressed, 0, -1},
      {"keyboard shift ignored", over, TShiftState{TShiftStateItem::ssLeft, TShiftStateItem::ssShift}, emeNone, 0,
       ebsPressed, 0, -1},
      {"release", over, {}, emeLeft, -1, ebsSelected, -1, 0},
      {"leave", outside, {}, emeNone, -1, ebsNormal, -1, -1},
      {"right press", over, TShiftState{TShiftStateItem::ssRight}, emeRight, -1, ebsNormal, -1, -1},
  };
  for (const TStep& s : steps) {
    SCOPED_TRACE(s.Name);
    vd->PressedButtonIndex = s.Captured;
    Fill(*vd, bounds, s.At, s.Shift, s.Event);
    EXPECT_EQ(FInfo.Button(0).ButtonState, s.State);
    EXPECT_EQ(FInfo.PressedIndex, s.Pressed);
    EXPECT_EQ(FInfo.HotIndex, s.Hot);
  }
  vd->IsEnabled = false;
  Fill(*vd, bounds, over);
  EXPECT_EQ(FInfo.Button(0).ButtonState, ebsDisabled);
  vd->IsEnabled = true;
  FProperties->Buttons()->GetButton(0)->SetEnabled(false);
  Fill(*vd, bounds, over);
  EXPECT_EQ(FInfo.Button(0).ButtonState, ebsDisabled);
}

TEST_F(EditView, HiddenUnlessSelectedButtonsShowOnlyHotOrFocused) {
  Style()->SetButtonTransparency(ebtHideUnselected);
  AddButton(20);
  auto vd = NewViewData();
  const RECT bounds{0, 0, 100, 20};
  struct TCase {
    const char* Name;
    bool Focused;
    POINT At;
    int Buttons;
  };
  const TCase cases[] = {{"idle", false, {-1, -1}, 0},
                         {"hot", false, {50, 10}, 1},
                         {"focused", true, {-1, -1}, 1},
                         {"left again", false, {200, 10}, 0}};
  for (const TCase& c : cases) {
    vd->IsFocused = c.Focused;
    Fill(*vd, bounds, c.At);
    EXPECT_EQ(FInfo.ButtonCount(), c.Buttons) << c.Name;
  }
  Style()->SetButtonTransparency(ebtHideInactive);
  auto inactive = NewViewData();
  Fill(*inactive, bounds, POINT{50, 10});
  EXPECT_EQ(FInfo.ButtonCount(), 0) << "hot is not enough when hidden while inactive";
}

TEST_F(EditView, BorderWidths) {
  struct TCase {
    const char* Name;
    TcxEditBorderStyle Border;
    bool Shadow, TransparentBorder, Native;
    TcxBorders Edges;
    RECT Expected;
  };
  const TcxBorders all = cxBordersAll;
  const TCase cases[] = {
      {"3D with shadow", ebs3D, true, false, false, all, {2, 2, 5, 5}},
      {"3D with shadow, native", ebs3D, true, false, true, all, {2, 2, 2, 2}},
      {"transparent border", ebsSingle, false, true, false, TcxBorders{bLeft}, {2, 2, 2, 2}},
      {"single, left and top", ebsSingle, false, false, false, TcxBorders{bLeft, bTop}, {1, 1, 0, 0}},
      {"ultra-flat counts as single", ebsUltraFlat, false, false, false, all, {1, 1, 1, 1}},
      {"thick", ebsThick, false, false, false, all, {2, 2, 2, 2}},
      {"none", ebsNone, false, false, false, all, {0, 0, 0, 0}},
      {"none, native", ebsNone, false, false, true, all, {0, 0, 0, 0}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Style()->SetEditBorderStyle(c.Border);
    Style()->SetShadow(c.Shadow);
    Style()->SetTransparentBorder(c.TransparentBorder);
    Style()->SetEdges(c.Edges);
    auto vd = NewViewData();
    vd->NativeStyle = c.Native;
    const RECT w = vd->BorderWidthsOf();
    EXPECT_EQ(w.left, c.Expected.left);
    EXPECT_EQ(w.top, c.Expected.top);
    EXPECT_EQ(w.right, c.Expected.right);
    EXPECT_EQ(w.bottom, c.Expected.bottom);
  }
  auto inPlace = NewViewData(true);
  inPlace->InPlaceMargins = RECT{3, 1, 4, 1};
  EXPECT_EQ(inPlace->BorderWidthsOf().left, 3) << "in place: the host's margins";
  EXPECT_EQ(inPlace->BorderStyleOf(), ebsNone);
}

TEST_F(EditView, AnUltraFlatBorderLightsUpWhenActive) {
  Style()->SetEditBorderStyle(ebsUltraFlat);
  const RECT bounds{0, 0, 100, 20};
  struct TCase {
    const char* Name;
    bool HotTrack, Focused;
    POINT At;
    TColor Expected;
  };
  const TCase cases[] = {
      {"idle", true, false, {-1, -1}, clBtnShadow},
      {"focused", false, true, {-1, -1}, clHighlight},
      {"hot with hot tracking", true, false, {50, 10}, clHighlight},
      {"hot without hot tracking", false, false, {50, 10}, clBtnShadow},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Style()->SetHotTrack(c.HotTrack);
    auto vd = NewViewData();
    vd->IsFocused = c.Focused;
    Fill(*vd, bounds, c.At);
    EXPECT_EQ(FInfo.BorderColor, c.Expected);
    EXPECT_EQ(FInfo.EditBorderStyle, ebsSingle) << "painted as a single frame";
  }
}

TEST_F(EditView, ANativeSingleDownButtonUnderCompositionKeepsTheFullBounds) {
  Style()->SetEditBorderStyle(ebs3D);
  AddButton(0, bkDown);
  const RECT bounds{0, 0, 100, 21};
  for (bool composited : {false, true}) {
    SCOPED_TRACE(composited);
    cxEditCompositionQuery = composited ? &CompositionOn : nullptr;
    auto vd = NewViewData();
    vd->NativeStyle = true;
    Fill(*vd, bounds);
    ASSERT_EQ(FInfo.ButtonCount(), 1);
    const RECT& r = FInfo.Button(0).ButtonRect;
    EXPECT_TRUE(FInfo.Button(0).IsSingleDownButton);
    // Without composition the theme's (or the default 2-pixel) content margins apply.
    if (composited) {
      EXPECT_EQ(r.right, 100);
      EXPECT_EQ(r.top, 0);
      EXPECT_EQ(r.bottom, 21);
    } else {
      EXPECT_LT(r.right, 100);
      EXPECT_GT(r.top, 0);
      EXPECT_LT(r.bottom, 21);
    }
  }
}

TEST_F(EditView, AGlyphButtonAsksForItsHeight) {
  Style()->SetEditBorderStyle(ebs3D);
  Style()->SetButtonStyle(bts3D);
  TBitmap glyph;
  glyph.SetSize(12, 16);
  AddButton(0, bkGlyph)->SetGlyph(&glyph);
  auto vd = NewViewData();
  const SIZE size = vd->EditSizeForValue(&FScreen, -1);
  // Glyph 16, the 3-D style's 4, the border's 2 + 2.
  EXPECT_GE(size.cy, 16 + 4 + 4);
  EXPECT_EQ(size.cy, 24);
  EXPECT_EQ(size.cx, 2 + 2 + 12 + 4) << "borders and the button";
  EXPECT_EQ(vd->EditSizeForValue(&FScreen, 5).cx, 5) << "no room within the limit";
}

TEST_F(EditView, ADisabledNativeEditWithoutColourTakesTheThemesFill) {
  UxThemeEntries[uxeOpenThemeData] = AsProc(&fake::OpenThemeData);
  fake::RealOpenThemeData = GetProcAddress(GetModuleHandleA("uxtheme.dll"), "OpenThemeData");
  fake::Refused.clear();
  UxThemeEntries[uxeGetThemeColor] = AsProc(&FakeGetThemeColor);
  SetVisualStyles(true);
  Style()->GetLookAndFeel()->SetNativeStyle(true);
  Style()->SetEditBorderStyle(ebs3D);
  auto vd = NewViewData();
  ASSERT_TRUE(vd->NativeStyle);
  vd->IsEnabled = false;
  Fill(*vd, RECT{0, 0, 80, 20});
  EXPECT_EQ(FInfo.NativeState, 4);
  EXPECT_EQ(FInfo.BackgroundColor, static_cast<TColor>(FakeFill));
  Style()->SetColor(clYellow);
  auto coloured = NewViewData();
  coloured->IsEnabled = false;
  Fill(*coloured, RECT{0, 0, 80, 20});
  EXPECT_EQ(FInfo.BackgroundColor, clYellow) << "an assigned colour wins";
  vd->IsEnabled = true;
  Fill(*vd, RECT{0, 0, 80, 20});
  EXPECT_NE(FInfo.BackgroundColor, static_cast<TColor>(FakeFill));
}

TEST_F(EditView, ThemeStatesOfTheEdit) {
  auto vd = NewViewData();
  struct TCase {
    const char* Name;
    bool Enabled, ReadOnly, Focused, Composited, Hot;
    int Expected;
  };
  const TCase cases[] = {{"disabled", false, false, false, false, false, 4},
                         {"read-only", true, true, true, false, false, 6},
                         {"focused", true, false, true, false, false, 5},
                         {"focused on glass", true, false, true, true, false, 3},
                         {"hot", true, false, false, false, true, 2},
                         {"normal", true, false, false, false, false, 1}};
  for (const TCase& c : cases) {
    vd->IsEnabled = c.Enabled;
    FProperties->SetReadOnly(c.ReadOnly);
    vd->IsFocused = c.Focused;
    vd->Composited = c.Composited;
    vd->IsHot = c.Hot;
    EXPECT_EQ(vd->ThemedEditState(), c.Expected) << c.Name;
  }
}

TEST_F(EditView, TheEffectiveButtonStyle) {
  struct TCase {
    const char* Name;
    TcxEditButtonStyle Own;
    TcxEditBorderStyle Border;
    bool HotTrack, InPlace;
    TcxLookAndFeelKind Kind;
    TcxEditButtonStyle Expected;
  };
  const TCase cases[] = {
      {"own", btsFlat, ebs3D, false, false, lfStandard, btsFlat},
      {"by border single", btsDefault, ebsSingle, false, false, lfStandard, btsHotFlat},
      {"by border none with hot tracking", btsDefault, ebsNone, true, false, lfStandard, btsSimple},
      {"by border office", btsDefault, ebsOffice11, false, false, lfFlat, btsOffice11},
      {"by kind without border", btsDefault, ebsNone, false, false, lfUltraFlat, btsUltraFlat},
      {"in place by kind", btsDefault, ebs3D, true, true, lfFlat, btsFlat},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Style()->SetButtonStyle(c.Own);
    Style()->SetEditBorderStyle(c.Border);
    Style()->SetHotTrack(c.HotTrack);
    Style()->GetLookAndFeel()->SetKind(c.Kind);
    auto vd = NewViewData(c.InPlace);
    EXPECT_EQ(vd->EffectiveButtonStyle(), c.Expected);
  }
}

TEST_F(EditView, MouseMovesThatChangeNothingRepaintNothing) {
  Style()->SetEditBorderStyle(ebsSingle);
  AddButton(20);
  auto vd = NewViewData();
  const RECT bounds{0, 0, 100, 20};
  TcxCustomEditViewInfo old;
  vd->FillViewInfo(&FScreen, bounds, false, &old, {}, emeNone, POINT{30, 10});
  Fill(*vd, bounds, POINT{40, 10});
  TcxRegion* region = FInfo.RegionToRepaint(&old);
  EXPECT_TRUE(region->IsEmpty());
  delete region;
  Fill(*vd, bounds, POINT{90, 10});
  region = FInfo.RegionToRepaint(&old);
  EXPECT_FALSE(region->IsEmpty()) << "the button became hot";
  RECT box{};
  GetRgnBox(region->Handle(), &box);
  EXPECT_TRUE(EqualRect(&box, &FInfo.Button(0).ButtonRect));
  delete region;
}

// Painting, read back: the 3-D border, the button face and the ellipsis.
TEST_F(EditView, PaintingA3DEditWithAnEllipsisButton) {
  Style()->SetEditBorderStyle(ebs3D);
  Style()->SetButtonStyle(bts3D);
  Style()->SetColor(clWhite);
  AddButton(20, bkEllipsis);
  auto vd = NewViewData();
  Fill(*vd, RECT{0, 0, 80, 22});
  TestSurface s(80, 22, clRed);
  FInfo.PaintOn(s.Canvas());
  EXPECT_EQ(s.Pixel(0, 10), ColorToRGB(clBtnShadow)) << "outer sunken edge";
  EXPECT_EQ(s.Pixel(1, 10), ColorToRGB(cl3DDkShadow)) << "inner edge";
  EXPECT_EQ(s.Pixel(10, 10), ColorToRGB(clWhite)) << "the background";
  const RECT b = FInfo.Button(0).ButtonRect;
  EXPECT_EQ(s.Pixel(b.left, b.top + 5), ColorToRGB(cl3DLight)) << "raised button";
  EXPECT_EQ(s.Pixel(b.left + 3, b.top + 3), ColorToRGB(clBtnFace)) << "face";
  // Three 2 x 2 dots centred: total 10 wide in a content of 16.
  const int cx = b.left + 2 + (16 - 10) / 2, cy = b.top + 2 + (b.bottom - b.top - 4 - 2) / 2;
  EXPECT_EQ(s.Pixel(cx, cy), ColorToRGB(clBtnText));
  EXPECT_EQ(s.Pixel(cx + 4, cy + 1), ColorToRGB(clBtnText));
  EXPECT_EQ(s.Pixel(cx + 2, cy), ColorToRGB(clBtnFace)) << "gap";
}

TEST_F(EditView, UltraFlatButtonFramesByState) {
  Style()->SetEditBorderStyle(ebsUltraFlat);
  Style()->SetButtonStyle(btsUltraFlat);
  Style()->SetColor(clWhite);
  AddButton(20, bkEllipsis);
  auto vd = NewViewData();
  const RECT bounds{0, 0, 80, 22};
  struct TCase {
    const char* Name;
    POINT At;
    TShiftState Shift;
    TcxEditMouseEvent Event;
    TColor Face;
  };
  const TCase cases[] = {{"idle", {-1, -1}, {}, emeNone, clBtnFace},
                         {"hot", {70, 10}, {}, emeNone, FlatButtonColor(true, false)},
                         {"pressed", {70, 10}, {TShiftStateItem::ssLeft}, emeLeft, FlatButtonColor(false, false)}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Fill(*vd, bounds, c.At, c.Shift, c.Event);
    TestSurface s(80, 22, clRed);
    FInfo.PaintOn(s.Canvas());
    const RECT b = FInfo.Button(0).ButtonRect;
    EXPECT_EQ(s.Pixel(b.left + 4, b.top + 3), ColorToRGB(c.Face));
  }
}

TEST_F(EditView, BackgroundModes) {
  struct TCase {
    const char* Name;
    bool InPlace, Transparent, Native, Custom;
    int Mode;
    bool NotSolid;
  };
  const TCase cases[] = {
      {"standalone", false, false, false, false, 1, false},
      {"standalone native", false, false, true, false, 3, false},
      {"standalone transparent", false, true, false, false, 4, true},
      {"in place", true, false, false, false, 3, false},
      {"in place transparent", true, true, false, false, 2, true},
      {"in place custom drawn", true, false, false, true, 0, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TcxCustomEditViewInfo info;
    info.InPlace = c.InPlace;
    info.NoBackground = c.Transparent;
    info.NativeStyle = c.Native;
    if (c.Custom)
      info.DrawBackgroundEvent = TcxEditDrawBackgroundEvent::Lambda([](TcxCustomEditViewInfo*, TcxCanvas* canvas, bool& done) {
        canvas->FillWithColor(RECT{0, 0, 100, 100}, clLime);
        done = true;
      });
    EXPECT_EQ(info.BackgroundMode(), c.Mode);
    EXPECT_EQ(info.BackgroundNotSolid(), c.NotSolid);
    info.BackgroundColor = clYellow;
    TestSurface s(20, 20, clRed);
    info.DrawBackgroundByMode(s.Canvas(), RECT{2, 2, 18, 18}, false, RECT{8, 8, 12, 12});
    const TColor expected = c.Mode == 3 ? clYellow : c.Mode == 0 ? clLime : clRed;
    EXPECT_EQ(s.Pixel(4, 4), ColorToRGB(expected));
    EXPECT_EQ(s.Pixel(10, 10), ColorToRGB(clRed)) << "the excluded rectangle";
    EXPECT_EQ(s.Pixel(0, 0), ColorToRGB(clRed)) << "outside";
  }
}

TEST_F(EditView, NativeButtonsAreDrawnByTheThemeInTheirState) {
  UxThemeEntries[uxeOpenThemeData] = AsProc(&fake::OpenThemeData);
  fake::RealOpenThemeData = GetProcAddress(GetModuleHandleA("uxtheme.dll"), "OpenThemeData");
  fake::Refused.clear();
  UxThemeEntries[uxeDrawThemeBackground] = AsProc(&fake::DrawThemeBackground);
  SetVisualStyles(true);
  Style()->GetLookAndFeel()->SetNativeStyle(true);
  Style()->SetEditBorderStyle(ebs3D);
  AddButton(0, bkDown);
  const RECT bounds{0, 0, 100, 22};
  const POINT over{90, 10};
  struct TCase {
    const char* Name;
    bool Composited, Enabled;
    POINT At;
    TShiftState Shift;
    TcxEditMouseEvent Event;
    int Part, State;
  };
  const TCase cases[] = {
      {"normal", false, true, {-1, -1}, {}, emeNone, 1, 1},
      {"hot", false, true, over, {}, emeNone, 1, 2},
      {"pressed", false, true, over, {TShiftStateItem::ssLeft}, emeLeft, 1, 3},
      {"disabled", false, false, {-1, -1}, {}, emeNone, 1, 4},
      {"right-side drop-down on glass", true, true, {-1, -1}, {}, emeNone, 6, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    cxEditCompositionQuery = c.Composited ? &CompositionOn : nullptr;
    auto vd = NewViewData();
    ASSERT_TRUE(vd->NativeStyle);
    vd->IsEnabled = c.Enabled;
    Fill(*vd, bounds, c.At, c.Shift, c.Event);
    const TcxEditButtonViewInfo& b = FInfo.Button(0);
    EXPECT_EQ(b.ThemePartId, c.Part);
    EXPECT_EQ(b.ThemeState, c.State);
    fake::Drawn.clear();
    TestSurface s(100, 22);
    FInfo.PaintOn(s.Canvas());
    ASSERT_FALSE(fake::Drawn.empty());
    EXPECT_EQ(fake::Drawn.back().Part, c.Part) << "the button is drawn last";
    EXPECT_EQ(fake::Drawn.back().State, c.State);
  }
}

TEST_F(EditView, ButtonHandlersDrawInsteadOfTheStyle) {
  Style()->SetEditBorderStyle(ebs3D);
  Style()->SetButtonStyle(bts3D);
  Style()->SetColor(clWhite);
  AddButton(20, bkEllipsis);
  auto vd = NewViewData();
  Fill(*vd, RECT{0, 0, 80, 22});
  const RECT b = FInfo.Button(0).ButtonRect;
  struct TCase {
    const char* Name;
    bool Whole, Border, Background;
    TColor Corner, Inside;
  };
  const TCase cases[] = {
      {"none", false, false, false, cl3DLight, clBtnFace},
      {"whole button", true, false, false, clLime, clLime},
      {"border", false, true, false, clBlue, clBtnFace},
      {"background", false, false, true, cl3DLight, clYellow},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    FInfo.DrawButtonEvent = nullptr;
    FInfo.DrawButtonBorderEvent = nullptr;
    FInfo.DrawButtonBackgroundEvent = nullptr;
    if (c.Whole)
      FInfo.DrawButtonEvent = TcxEditDrawButtonEvent::Lambda([&](TcxCustomEditViewInfo* v, TcxCanvas* canvas, int i, bool& done) {
        canvas->FillWithColor(v->Button(i).ButtonRect, clLime);
        done = true;
      });
    if (c.Border)
      FInfo.DrawButtonBorderEvent = TcxEditDrawButtonPartEvent::Lambda([](TcxCustomEditViewInfo*, TcxCanvas* canvas, int, RECT& r, bool& done) {
        canvas->DrawSideFrame(r, clBlue, 2, cxBordersAll);
        InflateRect(&r, -2, -2);
        done = true;
      });
    if (c.Background)
      FInfo.DrawButtonBackgroundEvent = TcxEditDrawButtonPartEvent::Lambda([](TcxCustomEditViewInfo*, TcxCanvas* canvas, int, RECT& r, bool& done) {
        canvas->FillWithColor(r, clYellow);
        done = true;
      });
    EXPECT_EQ(FInfo.IsButtonCustomDrawn(0), c.Whole || c.Border || c.Background);
    TestSurface s(80, 22, clRed);
    FInfo.PaintOn(s.Canvas());
    EXPECT_EQ(s.Pixel(b.left, b.top + 5), ColorToRGB(c.Corner));
    EXPECT_EQ(s.Pixel(b.left + 3, b.top + 3), ColorToRGB(c.Inside));
  }
}

TEST_F(EditView, TextButtonsAreMeasuredInTheStylesFont) {
  Style()->SetEditBorderStyle(ebsSingle);
  AddButton(0, bkText)->SetCaption("A wide caption");
  struct TCase {
    const char* Name;
    int Size;
  };
  for (const TCase& c : {TCase{"small", 8}, TCase{"large", 20}}) {
    SCOPED_TRACE(c.Name);
    TFont font;
    font.SetName("Arial");
    font.SetSize(c.Size);
    Style()->SetFont(&font);
    TcxScreenCanvas measure;
    measure.SetFont(&font);
    const int expected = std::max(GetSystemMetrics(SM_CYHSCROLL), measure.WidthOfText("A wide caption") + 3 + 4);
    auto vd = NewViewData();
    Fill(*vd, RECT{0, 0, 400, 40});
    EXPECT_EQ(Width(FInfo.Button(0).ButtonRect), expected);
  }
}

}  // namespace
