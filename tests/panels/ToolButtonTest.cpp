// Tool buttons on a toolbar: where glyph and caption go, split buttons and
// their menu, groups, the toolbar's sizes and a real menu.
#include "panels/Toolbar.h"
#include "platform/Seams.h"
#include "tests/panels/PanelsTestSupport.h"
#include "tests/platform/controls/ControlTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;
using namespace control_tests;

namespace {

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != 0; }

// A drop-down menu that records each popup instead of showing it.
class TRecordingMenu : public TPopupMenu {
public:
  using TPopupMenu::TPopupMenu;
  void Popup(int X, int Y) override {
    Points.push_back(POINT{X, Y});
    Components.push_back(PopupComponent());
  }
  std::vector<POINT> Points;
  std::vector<TComponent*> Components;
};

// The tick count the buttons read, stepped by the test.
class FakeTicks {
public:
  FakeTicks() {
    FOld = SetTickSource([this] { return Now; });
  }
  ~FakeTicks() { SetTickSource(FOld); }
  FakeTicks(const FakeTicks&) = delete;
  FakeTicks& operator=(const FakeTicks&) = delete;
  uint32_t Now = 1000;

private:
  TTickSource FOld;
};

class ButtonBar : public ::testing::Test {
protected:
  void SetUp() override {
    Form = std::make_unique<ShownForm>(40, 40, 400, 200, "Tool buttons");
    Bar = Place<TRzToolbar>(Form->Form, 0, 0, 400, 32);
    Bar->SetAlign(alTop);
    Images = New<TCustomImageList>(Form->Form);
    AddSquares(Images, {clRed, clLime, clBlue, clYellow});
    Bar->SetImages(Images);
  }
  void TearDown() override { Form.reset(); }
  TRzToolButton* AddButton(int imageIndex = 0) {
    auto* button = New<TRzToolButton>(Form->Form);
    button->SetImageIndex(imageIndex);
    button->SetParent(Bar);
    return button;
  }
  void Click(TRzToolButton* button, int x, int y) {
    PostClick(Bar->Handle(), button->Left() + x, button->Top() + y);
    RunMessagesUntilIdle();
  }
  std::unique_ptr<ShownForm> Form;
  TRzToolbar* Bar = nullptr;
  TCustomImageList* Images = nullptr;
};

SIZE TextSize(TFont* font, const AnsiString& text, RECT limit) {
  const TScreenDC dc;
  const TSelectObjectGuard selected(dc.Get(), font->Handle());
  DrawTextA(dc.Get(), text.c_str(), -1, &limit, DT_CALCRECT | DT_EXPANDTABS | DT_WORDBREAK | DT_VCENTER | DT_CENTER);
  return SIZE{limit.right - limit.left, limit.bottom - limit.top};
}

// Glyph 16 x 16 and the caption "Ab" in a 60 x 40 button (inner area
// 2..58 x 2..38), placed by the layout and moved by the alignment.
TEST_F(ButtonBar, TheLayoutPlacesGlyphAndCaption) {
  auto* button = AddButton();
  button->SetVisualStyle(vsClassic);
  button->SetUseToolbarButtonSize(false);
  button->SetBounds(0, 0, 60, 40);
  button->SetCaption("Ab");
  button->SetShowCaption(true);
  const int rw = 56, rh = 36;
  const struct {
    const char* Name;
    TButtonLayout Layout;
    TAlignment Alignment;
    bool Caption;
  } cases[] = {
      {"left centred", blGlyphLeft, taCenter, true},     {"right centred", blGlyphRight, taCenter, true},
      {"top centred", blGlyphTop, taCenter, true},       {"bottom centred", blGlyphBottom, taCenter, true},
      {"left aligned left", blGlyphLeft, taLeftJustify, true},
      {"left aligned right", blGlyphLeft, taRightJustify, true},
      {"no caption", blGlyphLeft, taCenter, false},      {"no caption aligned left", blGlyphTop, taLeftJustify, false},
  };
  for (const auto& c : cases) {
    button->SetLayout(c.Layout);
    button->SetAlignment(c.Alignment);
    button->SetShowCaption(c.Caption);
    RECT limit{2, 2, 58, 38};
    if (c.Layout == blGlyphLeft) limit.left += 16;
    if (c.Layout == blGlyphRight) limit.right -= 16;
    if (c.Layout == blGlyphTop) limit.top += 16;
    if (c.Layout == blGlyphBottom) limit.bottom -= 16;
    const SIZE t = TextSize(button->Font(), "Ab", limit);
    RECT glyph{}, text{};
    int d = 0;
    if (!c.Caption) {
      glyph = RECT{2 + (rw - 16) / 2, 2 + (rh - 16) / 2, 0, 0};
      d = glyph.left - 4;
    } else if (c.Layout == blGlyphLeft || c.Layout == blGlyphRight) {
      const int free = rw - 16 - t.cx - 4;
      const int gx = c.Layout == blGlyphLeft ? 2 + free / 2 : 58 - 16 - free / 2;
      const int tx = c.Layout == blGlyphLeft ? gx + 20 : gx - t.cx - 4;
      glyph = RECT{gx, 2 + (rh - 16) / 2, 0, 0};
      text = RECT{tx, 2 + (rh - t.cy) / 2, 0, 0};
      d = gx - 4;
    } else {
      const int free = rh - 16 - t.cy - 4;
      const int gy = c.Layout == blGlyphTop ? 2 + free / 2 : 38 - 16 - free / 2;
      const int ty = c.Layout == blGlyphTop ? gy + 20 : gy - t.cy - 4;
      glyph = RECT{2 + (rw - 16) / 2, gy, 0, 0};
      text = RECT{2 + (rw - t.cx) / 2, ty, 0, 0};
      d = std::min(glyph.left, text.left) - 4;
    }
    const int shift = c.Alignment == taLeftJustify ? -d : c.Alignment == taRightJustify ? d : 0;
    glyph = RECT{glyph.left + shift, glyph.top, glyph.left + shift + 16, glyph.top + 16};
    if (c.Caption) {
      text = RECT{text.left + shift, text.top, text.left + shift + t.cx, text.top + t.cy};
    } else {
      text = RECT{shift, 0, shift, 0};
    }
    RECT gotGlyph{}, gotText{};
    button->CalcLayout(gotGlyph, gotText);
    EXPECT_PRED2(SameRect, gotGlyph, glyph) << c.Name;
    EXPECT_PRED2(SameRect, gotText, text) << c.Name;
  }
  // A latched button shows its face pressed: one pixel right and down,
  // one right only when themed, none with gradients.
  button->SetShowCaption(false);
  button->SetAlignment(taCenter);
  button->SetGroupIndex(3);
  RECT up{}, none{};
  button->CalcLayout(up, none);
  button->SetDown(true);
  const struct {
    TRzVisualStyle Style;
    POINT Offset;
  } looks[] = {{vsClassic, {1, 1}}, {vsGradient, {0, 0}}};
  for (const auto& look : looks) {
    button->SetVisualStyle(look.Style);
    RECT glyph{}, text{};
    button->CalcLayout(glyph, text);
    EXPECT_EQ(glyph.left - up.left, look.Offset.x) << static_cast<int>(look.Style);
    EXPECT_EQ(glyph.top - up.top, look.Offset.y) << static_cast<int>(look.Style);
  }
  if (PanelVisualStylesEnabled()) {
    button->SetVisualStyle(vsWinXP);
    RECT glyph{}, text{};
    button->CalcLayout(glyph, text);
    EXPECT_EQ(glyph.left - up.left, 1);
    EXPECT_EQ(glyph.top - up.top, 0);
  }
}

TEST_F(ButtonBar, ASplitButtonClicksOnItsBodyAndDropsDownOnItsArrow) {
  FakeTicks ticks;
  auto* menu = New<TRecordingMenu>(Form->Form);
  menu->Items()->Add(New<TMenuItem>(menu));
  auto* button = AddButton();
  button->SetToolStyle(tsDropDown);
  button->SetDropDownMenu(menu);
  int clicks = 0;
  button->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
  TObject* dropSender = nullptr;
  button->OnDropDown = TNotifyEvent::Lambda([&](TObject* sender) { dropSender = sender; });
  Form->Show();
  ASSERT_EQ(button->Width(), 25 + ToolButtonArrowWidth);
  Click(button, 5, 10);
  EXPECT_EQ(clicks, 1) << "the body clicks";
  EXPECT_TRUE(menu->Points.empty());
  Click(button, button->Width() - 5, 10);
  EXPECT_EQ(clicks, 1);
  ASSERT_EQ(menu->Points.size(), 1u) << "the arrow drops down";
  EXPECT_EQ(dropSender, menu) << "OnDropDown hears from the menu";
  EXPECT_EQ(menu->Components[0], button);
  const POINT under = button->ClientToScreen(POINT{0, button->Height()});
  EXPECT_EQ(menu->Points[0].x, under.x);
  EXPECT_EQ(menu->Points[0].y, under.y);
  // The press that closes the menu comes within 100 ms: no second menu.
  ticks.Now += 60;
  Click(button, button->Width() - 5, 10);
  EXPECT_EQ(menu->Points.size(), 1u);
  ticks.Now += 500;
  Click(button, button->Width() - 5, 10);
  EXPECT_EQ(menu->Points.size(), 2u);
  EXPECT_EQ(clicks, 1);
}

TEST_F(ButtonBar, ADropDownButtonWithoutOnClickDropsDownAnywhere) {
  FakeTicks ticks;
  auto* menu = New<TRecordingMenu>(Form->Form);
  auto* button = AddButton();
  button->SetToolStyle(tsDropDown);
  button->SetDropDownMenu(menu);
  Form->Show();
  Click(button, 3, 10);
  ASSERT_EQ(menu->Points.size(), 1u);
  ticks.Now += 1000;
  Click(button, button->Width() - 3, 10);
  EXPECT_EQ(menu->Points.size(), 2u);
  // A right-aligned menu hangs from the right edge.
  menu->SetAlignment(paRight);
  ticks.Now += 1000;
  Click(button, 3, 10);
  ASSERT_EQ(menu->Points.size(), 3u);
  EXPECT_EQ(menu->Points[2].x, button->ClientToScreen(POINT{button->Width(), 0}).x);
}

// Pressing the second button of a group raises the first; a latched button
// pressed again stays down unless the group allows all up.
TEST_F(ButtonBar, GroupedButtonsLatchOneAtATime) {
  for (bool allowAllUp : {false, true}) {
    auto* a = AddButton();
    auto* b = AddButton(1);
    std::vector<std::string> log;
    for (TRzToolButton* button : {a, b}) {
      button->SetGroupIndex(1);
      button->OnClick = TNotifyEvent::Lambda([&log, a](TObject* sender) { log.push_back(sender == a ? "a" : "b"); });
    }
    a->SetAllowAllUp(allowAllUp);
    EXPECT_EQ(b->AllowAllUp(), allowAllUp) << "the group shares AllowAllUp";
    Form->Show();
    Click(a, 5, 5);
    EXPECT_TRUE(a->Down());
    EXPECT_EQ(a->State(), rbsExclusive);
    Click(b, 5, 5);
    EXPECT_FALSE(a->Down());
    EXPECT_TRUE(b->Down());
    Click(b, 5, 5);
    EXPECT_EQ(b->Down(), !allowAllUp) << allowAllUp;
    EXPECT_EQ(log, (allowAllUp ? std::vector<std::string>{"a", "b", "b"} : std::vector<std::string>{"a", "b"}));
    // Down False does not raise a latched button of a group without all up.
    a->SetDown(true);
    a->SetDown(false);
    EXPECT_EQ(a->Down(), !allowAllUp);
    Free(a);
    Free(b);
  }
}

TEST_F(ButtonBar, SettingTheWidthEndsTheToolbarsSize) {
  auto* a = AddButton();
  auto* b = AddButton();
  EXPECT_TRUE(a->UseToolbarButtonSize());
  a->SetWidth(64);
  EXPECT_FALSE(a->UseToolbarButtonSize());
  Bar->SetButtonWidth(40);
  EXPECT_EQ(a->Width(), 64);
  EXPECT_EQ(b->Width(), 40);
  EXPECT_EQ(Bar->TextOptions(), ttoCustom);
  a->SetUseToolbarButtonSize(true);
  EXPECT_EQ(a->Width(), 40) << "set again, the toolbar's size comes back at once";
  // A drop-down button is 14 wider; the toolbar keeps sizing it.
  b->SetToolStyle(tsDropDown);
  EXPECT_EQ(b->Width(), 54);
  EXPECT_TRUE(b->UseToolbarButtonSize());
  Bar->SetButtonHeight(30);
  EXPECT_EQ(b->Height(), 30);
  EXPECT_EQ(b->Width(), 54);
}

TEST_F(ButtonBar, TheToolbarsSettingsReachItsButtons) {
  auto* a = AddButton();
  a->SetCaption("Ab");
  Bar->SetShowButtonCaptions(true);
  EXPECT_TRUE(a->ShowCaption());
  Bar->SetButtonLayout(blGlyphTop);
  EXPECT_EQ(a->Layout(), blGlyphTop);
  Bar->SetVisualStyle(vsGradient);
  EXPECT_EQ(a->VisualStyle(), vsGradient);
  // A button's own value stays.
  a->SetLayout(blGlyphRight);
  EXPECT_FALSE(a->UseToolbarButtonLayout());
  Bar->SetButtonLayout(blGlyphBottom);
  EXPECT_EQ(a->Layout(), blGlyphRight);
  a->SetVisualStyle(vsClassic);
  Bar->SetVisualStyle(vsWinXP);
  EXPECT_EQ(a->VisualStyle(), vsClassic);
}

TEST_F(ButtonBar, AnActionDrivesDownAndTheImage) {
  auto* button = AddButton(-1);
  button->SetGroupIndex(2);
  button->SetAllowAllUp(true);
  auto* action = New<TAction>(Form->Form);
  action->SetImageIndex(2);
  action->SetChecked(true);
  button->SetAction(action);
  EXPECT_TRUE(button->Down());
  EXPECT_EQ(button->ImageIndex(), 2);
  action->SetChecked(false);
  EXPECT_FALSE(button->Down());
  action->SetImageIndex(3);
  EXPECT_EQ(button->ImageIndex(), 3);
}

// A real menu, closed from a timer while it runs its own loop.
TEST_F(ButtonBar, ARealMenuDropsDownAndClosesFromATimer) {
  auto* menu = New<TPopupMenu>(Form->Form);
  auto* item = New<TMenuItem>(menu);
  item->SetCaption("First");
  menu->Items()->Add(item);
  auto* button = AddButton();
  button->SetToolStyle(tsDropDown);
  button->SetDropDownMenu(menu);
  bool sawDropped = false;
  button->OnDropDown = TNotifyEvent::Lambda([&](TObject*) { sawDropped = button->InDropDown(); });
  Form->Show();
  TimerSteps closer([&] {
    if (!button->InDropDown()) return false;
    EndMenu();
    return true;
  });
  Click(button, 5, 10);
  EXPECT_TRUE(closer.Done) << "the menu ran until the timer closed it";
  EXPECT_TRUE(sawDropped);
  EXPECT_FALSE(button->InDropDown());
  EXPECT_EQ(button->State(), rbsUp);
}

TEST_F(ButtonBar, ThePaintedFaceFollowsTheState) {
  StylesOff off;
  auto* button = AddButton();
  button->SetVisualStyle(vsClassic);
  button->SetGroupIndex(4);
  Form->Show();
  RunMessagesUntilIdle();
  auto pixel = [&](int x, int y) {
    RedrawWindow(Bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RunMessagesUntilIdle();
    return ReadClientPixels(Bar->Handle()).At(button->Left() + x, button->Top() + y);
  };
  EXPECT_EQ(pixel(0, 0), Rgb(Sys(COLOR_BTNFACE))) << "a flat button shows no frame at rest";
  button->SetDown(true);
  EXPECT_EQ(pixel(0, 0), Rgb(Sys(COLOR_BTNSHADOW))) << "latched: the status frame";
  // Inside, the dotted face of face and highlight colours.
  const uint32_t a = pixel(5, 1), b = pixel(6, 1);
  EXPECT_NE(a, b);
  EXPECT_TRUE((a == Rgb(Sys(COLOR_BTNFACE)) && b == Rgb(Sys(COLOR_BTNHIGHLIGHT))) ||
              (b == Rgb(Sys(COLOR_BTNFACE)) && a == Rgb(Sys(COLOR_BTNHIGHLIGHT))));
  // The glyph, moved one pixel right and down.
  RECT glyph{}, text{};
  button->CalcLayout(glyph, text);
  EXPECT_EQ(pixel(glyph.left + 8, glyph.top + 8), 0xFF0000u);
  button->SetEnabled(false);
  pixel(0, 0);
  EXPECT_EQ(button->State(), rbsDisabled);
}

}  // namespace
