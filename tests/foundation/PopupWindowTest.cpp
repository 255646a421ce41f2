// The popup windows: where a popup opens on an injected work area, how it
// fits its children and draws its border, what activation does to its
// owner; the hint window's place on the monitor; the drag image's
// translucency and click-through; the size frame's ring.
#include "foundation/Controls.h"
#include "foundation/PopupWindow.h"
#include "platform/ExtCtrls.h"
#include "tests/foundation/LookAndFeelFixture.h"

#include <string>

using namespace lookandfeel_test;
using namespace testing_support;

namespace {

// One monitor whose work area is (0, 0)-(1000, 700).
HMONITOR WINAPI OneMonitorFromPoint(POINT, DWORD) { return reinterpret_cast<HMONITOR>(static_cast<INT_PTR>(1)); }
BOOL WINAPI OneMonitorInfo(HMONITOR, LPMONITORINFO info) {
  if (info->cbSize != sizeof(MONITORINFO)) return FALSE;
  info->rcMonitor = RECT{0, 0, 1000, 740};
  info->rcWork = RECT{0, 0, 1000, 700};
  return TRUE;
}

class PopupTest : public PainterUnits {
protected:
  void SetUp() override {
    PainterUnits::SetUp();
    FFromPoint = cxMonitorFromPoint;
    FInfo = cxGetMonitorInfo;
  }
  void TearDown() override {
    cxMonitorFromPoint = FFromPoint;
    cxGetMonitorInfo = FInfo;
    PainterUnits::TearDown();
  }
  void InjectWorkArea() {
    cxMonitorFromPoint = OneMonitorFromPoint;
    cxGetMonitorInfo = OneMonitorInfo;
  }

private:
  TMonitorFromPointProc FFromPoint = nullptr;
  TGetMonitorInfoProc FInfo = nullptr;
};

TEST_F(PopupTest, PositionsOnTheWorkArea) {
  InjectWorkArea();
  TcxPopupWindow* popup = New<TcxPopupWindow>(nullptr);
  popup->SetBounds(0, 0, 200, 150);
  const struct {
    const char* Name;
    TcxPopupDirection Direction;
    TcxPopupAlignment Horz, Vert;
    RECT Owner;
    POINT Expected;
  } cases[] = {
      {"below, left edges aligned", pdVertical, cxpaNear, cxpaFar, {100, 100, 300, 120}, {100, 120}},
      {"right edges aligned", pdVertical, cxpaFar, cxpaFar, {300, 100, 500, 120}, {300, 120}},
      {"above", pdVertical, cxpaNear, cxpaNear, {100, 400, 300, 420}, {100, 250}},
      {"no room below, more above: flips above", pdVertical, cxpaNear, cxpaFar, {100, 600, 300, 620}, {100, 450}},
      {"no room below, less above: stays below, runs off", pdVertical, cxpaNear, cxpaFar, {100, 60, 300, 600},
       {100, 600}},
      {"no room above, less above: flips below", pdVertical, cxpaNear, cxpaNear, {100, 100, 300, 120}, {100, 120}},
      {"wider than the room right of the owner: shifted left", pdVertical, cxpaNear, cxpaFar, {900, 100, 950, 120},
       {800, 120}},
      {"centred: clamped on both axes", pdVertical, cxpaCenter, cxpaCenter, {950, 680, 1000, 700}, {800, 550}},
      {"centred, near the top left", pdVertical, cxpaCenter, cxpaCenter, {0, 0, 20, 20}, {0, 0}},
      {"beside, to the right", pdHorizontal, cxpaFar, cxpaNear, {300, 100, 350, 120}, {350, 100}},
      {"beside, no room right, more left: flips left, shifted down", pdHorizontal, cxpaFar, cxpaFar,
       {850, 100, 900, 120}, {650, 0}},
      {"beside, the right edge not shifted", pdHorizontal, cxpaFar, cxpaNear, {100, 100, 900, 120}, {900, 100}},
  };
  for (const auto& c : cases) {
    popup->SetDirection(c.Direction);
    popup->SetAlignHorz(c.Horz);
    popup->SetAlignVert(c.Vert);
    popup->SetOwnerBounds(c.Owner);
    const POINT p = popup->ComputePopupPosition();
    EXPECT_EQ(p.x, c.Expected.x) << c.Name;
    EXPECT_EQ(p.y, c.Expected.y) << c.Name;
  }
  Free(popup);
}

TEST_F(PopupTest, OwnerBoundsAreInTheOwnerParentsClientArea) {
  TForm* form = New<TForm>(nullptr);
  form->SetBounds(100, 100, 300, 200);
  form->Show();
  TcxPopupWindow* popup = New<TcxPopupWindow>(form);
  popup->SetOwnerParent(form);
  popup->SetOwnerBounds(RECT{10, 20, 110, 40});
  const POINT origin = form->ClientToScreen(POINT{0, 0});
  const RECT r = popup->GetOwnerScreenBounds();
  EXPECT_EQ(r.left, origin.x + 10);
  EXPECT_EQ(r.bottom, origin.y + 40);
  Free(form);
}

TEST_F(PopupTest, FitsItsChildrenInsideItsBorderAndDrawsIt) {
  TForm* owner = New<TForm>(nullptr);
  owner->SetBounds(60, 60, 400, 300);
  owner->Show();
  RunMessagesUntilIdle();
  TcxPopupWindow* popup = New<TcxPopupWindow>(owner);
  auto* child = New<TPanel>(popup);
  child->SetBounds(0, 0, 50, 30);
  child->SetParent(popup);
  popup->SetOwnerParent(owner);
  popup->SetOwnerBounds(RECT{10, 10, 100, 30});
  popup->ChangeBorderStyle(pbsSingle);
  popup->SetBorderSpace(2);
  popup->SetFrameColor(clRed);
  const struct { const char* Name; TcxPopupBorderStyle Style; int Offset; } cases[] = {
      {"single line and 2 pixels of space", pbsSingle, 3},
      {"shown again: nothing moves twice", pbsSingle, 3},
      {"double raised", pbsDoubleRaised, 4},
      {"none", pbsNone, 2},
  };
  for (const auto& c : cases) {
    popup->ChangeBorderStyle(c.Style);
    popup->ShowPopup();
    RunMessagesUntilIdle();
    EXPECT_EQ(child->Left(), c.Offset) << c.Name;
    EXPECT_EQ(child->Top(), c.Offset) << c.Name;
    EXPECT_EQ(popup->Width(), 2 * c.Offset + 50) << c.Name;
    EXPECT_EQ(popup->Height(), 2 * c.Offset + 30) << c.Name;
    const RECT content = popup->GetContentBounds();
    EXPECT_EQ(content.left, c.Offset) << c.Name;
    EXPECT_EQ(content.right, c.Offset + 50) << c.Name;
    const POINT below = owner->ClientToScreen(POINT{10, 30});
    EXPECT_EQ(popup->Left(), below.x) << c.Name;
    EXPECT_EQ(popup->Top(), below.y) << c.Name;
    const Image image = ReadWindowPixels(popup->Handle());
    if (c.Style == pbsSingle) {
      EXPECT_EQ(image.At(0, 0), Rgb(RGB(255, 0, 0))) << c.Name;
      EXPECT_EQ(image.At(image.Width - 1, 10), Rgb(RGB(255, 0, 0))) << c.Name;
    }
    if (c.Style == pbsDoubleRaised) {
      EXPECT_EQ(image.At(0, 10), Rgb(ColorToRGB(cl3DLight))) << c.Name;
      EXPECT_EQ(image.At(1, 10), Rgb(ColorToRGB(clBtnHighlight))) << c.Name;
      EXPECT_EQ(image.At(image.Width - 1, 10), Rgb(ColorToRGB(cl3DDkShadow))) << c.Name;
      EXPECT_EQ(image.At(image.Width - 2, 10), Rgb(ColorToRGB(clBtnShadow))) << c.Name;
      SaveArtefact(image, "popup-double-raised-border");
    }
    popup->ClosePopup();
    RunMessagesUntilIdle();
  }
  Free(owner);
}

// The caption pixel of a form, away from icon, text and buttons.
uint32_t CaptionPixel(HWND wnd) {
  const Image image = ReadWindowPixels(wnd);
  return image.At(image.Width / 2, GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2);
}

TEST_F(PopupTest, KeepsItsOwnersCaptionActiveAndClosesWhenLeft) {
  TForm* owner = New<TForm>(nullptr);
  owner->SetBounds(60, 60, 400, 260);
  owner->Show();
  ASSERT_TRUE(RunMessagesUntil([&] { return GetActiveWindow() == owner->Handle(); }));
  RunMessagesUntilIdle();
  const uint32_t active = CaptionPixel(owner->Handle());
  TcxPopupWindow* popup = New<TcxPopupWindow>(owner);
  popup->SetBounds(0, 0, 120, 80);
  popup->SetOwnerParent(owner);
  popup->SetOwnerBounds(RECT{10, 10, 100, 30});
  popup->ShowPopup();
  ASSERT_TRUE(RunMessagesUntil([&] { return GetActiveWindow() == popup->Handle(); }));
  RunMessagesUntilIdle();
  EXPECT_EQ(popup->PreviousActiveWindow(), owner->Handle());
  EXPECT_EQ(CaptionPixel(owner->Handle()), active) << "the owner's caption stays active";
  EXPECT_NE(GetWindowLongPtrA(popup->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  EXPECT_EQ(GetWindowLongPtrA(popup->Handle(), GWL_STYLE) & WS_CAPTION, 0);

  // Another window taking the activation closes the popup.
  SetForegroundWindow(owner->Handle());
  SetActiveWindow(owner->Handle());
  ASSERT_TRUE(RunMessagesUntil([&] { return !IsWindowVisible(popup->Handle()); }));
  EXPECT_FALSE(popup->Visible());

  // The program losing the activation closes it and draws the caption inactive.
  popup->ShowPopup();
  ASSERT_TRUE(RunMessagesUntil([&] { return GetActiveWindow() == popup->Handle(); }));
  SendMessageA(popup->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  RunMessagesUntilIdle();
  EXPECT_FALSE(popup->Visible());
  Free(owner);
}

TEST_F(PopupTest, AHintBeyondTheRightEdgeEndsAtIt) {
  InjectWorkArea();
  auto* hint = New<TcxBaseHintWindow>(nullptr);
  const struct { const char* Name; RECT Asked; RECT Shown; } cases[] = {
      {"beyond the right edge", {1100, 100, 1200, 120}, {900, 100, 1000, 120}},
      {"beyond the bottom and left", {-50, 690, 50, 710}, {0, 680, 100, 700}},
      {"inside", {10, 10, 60, 30}, {10, 10, 60, 30}},
  };
  for (const auto& c : cases) {
    hint->ActivateHint(c.Asked, "Hint");
    RunMessagesUntilIdle();
    RECT r;
    GetWindowRect(hint->Handle(), &r);
    EXPECT_TRUE(EqualRect(&r, &c.Shown)) << c.Name << ": " << r.left << "," << r.top << "," << r.right << ","
                                         << r.bottom;
    EXPECT_TRUE(EqualRect(&hint->ShownBounds(), &c.Shown)) << c.Name;
    EXPECT_TRUE(IsWindowVisible(hint->Handle())) << c.Name;
  }
  EXPECT_EQ(GetWindowLongPtrA(hint->Handle(), GWL_STYLE) & WS_BORDER, 0) << "no border unless asked for";
  EXPECT_NE(GetWindowLongPtrA(hint->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  hint->SetHasBorder(true);
  hint->ActivateHint(RECT{10, 10, 60, 30}, "Hint");
  EXPECT_NE(GetWindowLongPtrA(hint->Handle(), GWL_STYLE) & WS_BORDER, 0);

  const std::string longText(120, 'x');
  const struct { const char* Name; TcxHintAnimationStyle Style; std::string Text; } shows[] = {
      {"no animation asked for", cxhaNone, "Short"},
      {"a text of 100 characters or more", cxhaSystem, longText},
  };
  for (const auto& s : shows) {
    hint->SetAnimationStyle(s.Style);
    hint->ShowHintText(RECT{20, 20, 120, 40}, s.Text);
    EXPECT_FALSE(hint->LastShowAnimated()) << s.Name;
    EXPECT_TRUE(IsWindowVisible(hint->Handle())) << s.Name;
    EXPECT_EQ(hint->Text(), s.Text) << s.Name;
  }
  EXPECT_EQ(hint->AnimationDelay(), 100);
  Free(hint);
}

TEST_F(PopupTest, ADragImageIsTranslucentAndLetsClicksThrough) {
  TForm* form = New<TForm>(nullptr);
  form->SetBounds(60, 60, 300, 200);
  int clicks = 0;
  form->OnMouseDown = TMouseEvent::Lambda([&](TObject*, TMouseButton, TShiftState, int, int) { ++clicks; });
  form->Show();
  ASSERT_TRUE(RunMessagesUntil([&] { return GetActiveWindow() == form->Handle(); }));
  TcxCustomDragImage* image = New<TcxCustomDragImage>(nullptr);
  image->SetPopupParent(form);
  const POINT origin = form->ClientToScreen(POINT{0, 0});
  image->SetBounds(origin.x + 20, origin.y + 20, 80, 60);
  image->ShowWithoutActivation();
  RunMessagesUntilIdle();
  EXPECT_TRUE(IsWindowVisible(image->Handle()));
  EXPECT_EQ(GetActiveWindow(), form->Handle()) << "shown without activation";
  EXPECT_EQ(GetWindow(image->Handle(), GW_OWNER), form->Handle());
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(image->Handle(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 180);
  EXPECT_EQ(SendMessageA(image->Handle(), WM_NCHITTEST, 0, MAKELPARAM(origin.x + 30, origin.y + 30)), HTTRANSPARENT);
  SendClick(origin.x + 40, origin.y + 40);
  EXPECT_TRUE(RunMessagesUntil([&] { return clicks == 1; })) << "the click reaches the form below";
  Free(image);
  Free(form);
}

TEST_F(PopupTest, ASizeFrameIsARingAndKeepsItWhenTooSmall) {
  TcxSizeFrame* frame = New<TcxSizeFrame>(4);
  EXPECT_FALSE(frame->AlphaBlend());
  frame->HandleNeeded();
  frame->MoveFrameTo(RECT{100, 100, 200, 160});
  frame->ShowWithoutActivation();
  RunMessagesUntilIdle();
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(frame->Handle(), region), ERROR);
  const struct { POINT P; bool Inside; } ring[] = {
      {{0, 0}, true}, {{3, 30}, true}, {{4, 30}, false}, {{50, 30}, false},
      {{96, 30}, true}, {{95, 30}, false}, {{50, 56}, true}, {{50, 55}, false},
  };
  for (const auto& p : ring) EXPECT_EQ(PtInRegion(region, p.P.x, p.P.y) != FALSE, p.Inside) << p.P.x << "," << p.P.y;
  // Width 4 on 6 x 6: no hole fits, the window keeps the ring it had.
  frame->MoveFrameTo(RECT{300, 300, 306, 306});
  EXPECT_EQ(frame->Width(), 6);
  HRGN after = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(frame->Handle(), after), ERROR);
  EXPECT_TRUE(EqualRgn(region, after));
  RECT box;
  GetRgnBox(frame->Region()->Handle(), &box);
  EXPECT_EQ(box.right, 6) << "the frame's own region is the small rectangle";
  DeleteObject(after);
  // Bounds set again hollow nothing twice.
  frame->MoveFrameTo(RECT{100, 100, 200, 160});
  frame->SetBounds(100, 100, 100, 60);
  HRGN again = CreateRectRgn(0, 0, 0, 0);
  GetWindowRgn(frame->Handle(), again);
  EXPECT_TRUE(EqualRgn(region, again));
  DeleteObject(again);
  DeleteObject(region);
  // The frame is painted in the black and white checker (once its paint
  // message has been handled).
  Image pixels;
  EXPECT_TRUE(RunMessagesUntil([&] {
    HDC screen = GetDC(nullptr);
    pixels = ReadPixels(screen, RECT{100, 100, 102, 101});
    ReleaseDC(nullptr, screen);
    return pixels.At(0, 0) != pixels.At(1, 0);
  }));
  EXPECT_TRUE((pixels.At(0, 0) == 0 && pixels.At(1, 0) == 0xFFFFFFu) ||
              (pixels.At(0, 0) == 0xFFFFFFu && pixels.At(1, 0) == 0));
  Free(frame);
}

}  // namespace
