// What this Wine on a virtual display without a window manager does with the
// windows the base control, the popups and the drag images rely on:
// activation messages between a borderless stay-on-top form and its owner,
// the owner's caption after a sent WM_NCACTIVATE, mouse enter and leave from
// real input, the mouse capture across a nested message loop, clicks through
// a translucent window that answers HTTRANSPARENT, and window regions on the
// screen. ARCHITECTURE.md records the answers.
#include "platform/Forms.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

void MoveCursorTo(int x, int y) {
  SendMouseMove(x, y);
  ASSERT_TRUE(RunMessagesUntil([x, y] {
    POINT p;
    return GetCursorPos(&p) && p.x == x && p.y == y;
  }));
}

// The messages of interest a window's control receives, in order.
struct TMessageLog {
  std::vector<UINT> Messages;
  std::vector<WPARAM> Params;
  int Count(UINT msg) const {
    int n = 0;
    for (UINT m : Messages) n += m == msg;
    return n;
  }
  WPARAM LastParam(UINT msg) const {
    for (size_t i = Messages.size(); i-- > 0;)
      if (Messages[i] == msg) return Params[i];
    return static_cast<WPARAM>(-1);
  }
};

void LogActivation(TControl* control, TMessageLog& log) {
  const TWndMethod inherited = control->WindowProc;
  control->WindowProc = TWndMethod::Lambda([&log, inherited](TMessage& m) {
    if (m.Msg == WM_ACTIVATE || m.Msg == WM_NCACTIVATE || m.Msg == WM_ACTIVATEAPP) {
      log.Messages.push_back(m.Msg);
      log.Params.push_back(m.WParam);
    }
    inherited(m);
  });
}

// A pixel of the caption bar, away from the icon, the text and the buttons.
uint32_t CaptionPixel(HWND wnd) {
  const Image image = ReadWindowPixels(wnd);
  const int frame = GetSystemMetrics(SM_CYFRAME);
  return image.At(image.Width / 2, frame + GetSystemMetrics(SM_CYCAPTION) / 2);
}

TEST(Activation, ABorderlessStayOnTopFormAndItsOwner) {
  TForm* owner = New<TForm>(nullptr);
  owner->SetBounds(60, 60, 400, 240);
  owner->Show();
  ASSERT_TRUE(RunMessagesUntil([&] { return GetActiveWindow() == owner->Handle(); }));
  RunMessagesUntilIdle();
  const uint32_t activeCaption = CaptionPixel(owner->Handle());

  TForm* popup = New<TForm>(owner);
  popup->SetBorderStyle(bsNone);
  popup->SetFormStyle(fsStayOnTop);
  popup->SetBounds(100, 200, 120, 80);
  TMessageLog log;
  LogActivation(owner, log);
  popup->Show();
  ASSERT_TRUE(RunMessagesUntil([&] { return GetActiveWindow() == popup->Handle(); }));
  RunMessagesUntilIdle();
  EXPECT_EQ(GetWindow(popup->Handle(), GW_OWNER), owner->Handle());
  // Fact: the owner hears WM_NCACTIVATE(FALSE) and WM_ACTIVATE(WA_INACTIVE)
  // naming the popup, and no WM_ACTIVATEAPP: the program stays active.
  EXPECT_EQ(log.Count(WM_NCACTIVATE), 1);
  EXPECT_EQ(log.LastParam(WM_NCACTIVATE), 0u);
  EXPECT_EQ(log.Count(WM_ACTIVATE), 1);
  EXPECT_EQ(LOWORD(log.LastParam(WM_ACTIVATE)), WA_INACTIVE);
  EXPECT_EQ(log.Count(WM_ACTIVATEAPP), 0);
  const uint32_t inactiveCaption = CaptionPixel(owner->Handle());
  EXPECT_NE(inactiveCaption, activeCaption) << "the caption is drawn inactive";

  // A sent WM_NCACTIVATE(TRUE) draws the owner's caption active again while
  // the popup keeps the activation.
  SendMessageA(owner->Handle(), WM_NCACTIVATE, TRUE, 0);
  RunMessagesUntilIdle();
  EXPECT_EQ(GetActiveWindow(), popup->Handle());
  EXPECT_EQ(CaptionPixel(owner->Handle()), activeCaption);
  SaveScreenshot(owner->Handle(), "window-facts-owner-caption-kept-active");
  // And it stays so when the frame is painted again.
  RedrawWindow(owner->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  RunMessagesUntilIdle();
  EXPECT_EQ(CaptionPixel(owner->Handle()), activeCaption) << "after the frame is painted again";

  // Hiding the popup activates the owner again.
  log = {};
  popup->Hide();
  ASSERT_TRUE(RunMessagesUntil([&] { return GetActiveWindow() == owner->Handle(); }));
  RunMessagesUntilIdle();
  EXPECT_EQ(log.Count(WM_ACTIVATEAPP), 0);
  EXPECT_GE(log.Count(WM_ACTIVATE), 1);
  Free(owner);
}

// A windowed control that counts the enter and leave notifications it hears.
class TCountingControl : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  int Enters = 0;
  int Leaves = 0;

protected:
  void Dispatch(TMessage& m) override {
    if ((m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE) && m.LParam == reinterpret_cast<LPARAM>(this))
      ++(m.Msg == CM_MOUSEENTER ? Enters : Leaves);
    TCustomControl::Dispatch(m);
  }
};

TEST(Mouse, RealMovesGiveEnterAndLeave) {
  TForm* form = New<TForm>(nullptr);
  form->SetBounds(60, 60, 300, 200);
  auto* control = New<TCountingControl>(form);
  control->SetBounds(20, 20, 100, 60);
  control->SetParent(form);
  form->Show();
  RunMessagesUntilIdle();
  const POINT inside = control->ClientToScreen(POINT{50, 30});
  const POINT outside = control->ClientToScreen(POINT{200, 30});
  MoveCursorTo(outside.x, outside.y);
  RunMessagesUntilIdle();
  control->Enters = control->Leaves = 0;
  MoveCursorTo(inside.x, inside.y);
  EXPECT_TRUE(RunMessagesUntil([&] { return control->Enters == 1; }));
  MoveCursorTo(outside.x, outside.y);
  EXPECT_TRUE(RunMessagesUntil([&] { return control->Leaves == 1; }));
  EXPECT_EQ(control->Enters, 1);
  Free(form);
}

TEST(Mouse, TheCaptureSurvivesANestedMessageLoop) {
  std::vector<POINT> moves;
  TestWindow window(200, 150, [&](HWND, UINT msg, WPARAM, LPARAM lp, LRESULT&) {
    if (msg == WM_MOUSEMOVE) moves.push_back(MessagePoint(lp));
    return false;
  });
  RunMessagesUntilIdle();
  POINT origin{0, 0};
  ClientToScreen(window.Handle(), &origin);
  MoveCursorTo(origin.x + 100, origin.y + 75);
  SetCapture(window.Handle());
  // A loop of its own, as panning runs: moves far outside the window still
  // reach it, with client co-ordinates beyond its edges.
  moves.clear();
  SendMouseMove(origin.x + 500, origin.y + 400);
  MSG msg;
  bool seen = false;
  const DWORD start = GetTickCount();
  while (!seen && GetTickCount() - start < 5000) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
      continue;
    }
    DispatchMessageA(&msg);
    seen = !moves.empty() && moves.back().x == 500;
  }
  EXPECT_TRUE(seen);
  EXPECT_EQ(GetCapture(), window.Handle());
  ReleaseCapture();
}

int TransparentClicks = 0;

LRESULT CALLBACK TransparentProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCHITTEST) return HTTRANSPARENT;
  if (msg == WM_LBUTTONDOWN || msg == WM_NCLBUTTONDOWN) ++TransparentClicks;
  if (msg == WM_ERASEBKGND) {
    RECT r;
    GetClientRect(wnd, &r);
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(reinterpret_cast<HDC>(wp), &r, brush);
    DeleteObject(brush);
    return 1;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

HWND CreatePlainPopup(const char* className, WNDPROC proc, DWORD exStyle, const RECT& r) {
  WNDCLASSA cls{};
  if (!GetClassInfoA(GetModuleHandleA(nullptr), className, &cls)) {
    cls.lpfnWndProc = proc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    cls.lpszClassName = className;
    RegisterClassA(&cls);
  }
  return CreateWindowExA(exStyle, className, "", WS_POPUP, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// Fact: a top-level window answering HTTRANSPARENT does not pass a click on
// to the window below it: the click reaches neither. Only a layered window
// with WS_EX_TRANSPARENT lets it through (WindowFromPoint, which asks
// WM_NCHITTEST, names the window below in every case).
TEST(Mouse, AClickPassesThroughOnlyALayeredTransparentWindow) {
  const struct { const char* Name; DWORD ExStyle; int Below; } cases[] = {
      {"layered", WS_EX_LAYERED, 0},
      {"layered and transparent", WS_EX_LAYERED | WS_EX_TRANSPARENT, 1},
      {"plain", 0, 0},
      {"plain and transparent", WS_EX_TRANSPARENT, 0},
  };
  for (const auto& c : cases) {
    int clicks = 0;
    TestWindow below(200, 150, [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
      if (msg == WM_LBUTTONDOWN) ++clicks;
      return false;
    });
    RunMessagesUntilIdle();
    POINT origin{0, 0};
    ClientToScreen(below.Handle(), &origin);
    HWND above = CreatePlainPopup("MevraFactsTransparent", TransparentProc, c.ExStyle | WS_EX_TOPMOST,
                                  RECT{origin.x + 20, origin.y + 20, origin.x + 120, origin.y + 100});
    ASSERT_NE(above, nullptr);
    if (c.ExStyle & WS_EX_LAYERED) {
      SetLayeredWindowAttributes(above, 0, 180, LWA_ALPHA);
      BYTE alpha = 0;
      DWORD flags = 0;
      ASSERT_TRUE(GetLayeredWindowAttributes(above, nullptr, &alpha, &flags));
      EXPECT_EQ(alpha, 180) << c.Name;
      EXPECT_EQ(flags, static_cast<DWORD>(LWA_ALPHA)) << c.Name;
    }
    ShowWindow(above, SW_SHOWNA);
    RunMessagesUntilIdle();
    TransparentClicks = 0;
    const POINT target{origin.x + 60, origin.y + 50};
    EXPECT_EQ(WindowFromPoint(target), below.Handle()) << c.Name;
    // A click on the window below, beside the other one, marks the end of
    // the input: whatever the first click did has happened by then.
    const int expected = c.Below + 1;
    SendClick(target.x, target.y);
    SendClick(origin.x + 150, origin.y + 120);
    EXPECT_TRUE(RunMessagesUntil([&] { return clicks == expected; })) << c.Name;
    EXPECT_EQ(clicks, expected) << c.Name;
    EXPECT_EQ(TransparentClicks, 0) << c.Name;
    DestroyWindow(above);
  }
}

LRESULT CALLBACK RedProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_ERASEBKGND) {
    RECT r;
    GetClientRect(wnd, &r);
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(reinterpret_cast<HDC>(wp), &r, brush);
    DeleteObject(brush);
    return 1;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

TEST(Regions, AWindowRegionShowsOnTheScreen) {
  // A blue window under a red ring: the screen shows blue in the ring's hole,
  // for a plain window and for a layered one at full opacity.
  const struct { const char* Name; DWORD ExStyle; } cases[] = {
      {"plain", 0},
      {"layered", WS_EX_LAYERED | WS_EX_TRANSPARENT},
  };
  TestWindow below(200, 200, [](HWND wnd, UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg != WM_ERASEBKGND) return false;
    RECT r;
    GetClientRect(wnd, &r);
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    FillRect(reinterpret_cast<HDC>(wp), &r, brush);
    DeleteObject(brush);
    result = 1;
    return true;
  });
  InvalidateRect(below.Handle(), nullptr, TRUE);
  UpdateWindow(below.Handle());
  POINT origin{0, 0};
  ClientToScreen(below.Handle(), &origin);
  const RECT ring{origin.x + 20, origin.y + 20, origin.x + 120, origin.y + 120};
  for (const auto& c : cases) {
    HWND above = CreatePlainPopup("MevraFactsRed", RedProc, WS_EX_TOPMOST | c.ExStyle, ring);
    if (c.ExStyle & WS_EX_LAYERED) SetLayeredWindowAttributes(above, 0, 255, LWA_ALPHA);
    HRGN outer = CreateRectRgn(0, 0, 100, 100);
    HRGN inner = CreateRectRgn(10, 10, 90, 90);
    CombineRgn(outer, outer, inner, RGN_DIFF);
    DeleteObject(inner);
    SetWindowRgn(above, outer, FALSE);  // the window owns the region now
    ShowWindow(above, SW_SHOWNA);
    UpdateWindow(above);
    RunMessagesUntilIdle();
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(above, copy), COMPLEXREGION) << c.Name;
    EXPECT_TRUE(PtInRegion(copy, 5, 5)) << c.Name;
    EXPECT_FALSE(PtInRegion(copy, 50, 50)) << c.Name;
    DeleteObject(copy);
    // Read from the display: the window region is the shape the X server shows.
    HDC screen = GetDC(nullptr);
    auto pixelAt = [&](int x, int y) { return ReadPixels(screen, RECT{x, y, x + 1, y + 1}).At(0, 0); };
    EXPECT_TRUE(RunMessagesUntil([&] { return pixelAt(ring.left + 5, ring.top + 5) == 0xFF0000u; }))
        << c.Name << std::hex << " " << pixelAt(ring.left + 5, ring.top + 5);
    EXPECT_EQ(pixelAt(ring.left + 50, ring.top + 50), 0x0000FFu) << c.Name << ": the hole shows the window below";
    ReleaseDC(nullptr, screen);
    DestroyWindow(above);
    RunMessagesUntilIdle();
  }
}

}  // namespace
