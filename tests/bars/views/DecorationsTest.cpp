// What toolbars show besides their items, on real windows: the mark, the
// floating mark's poll, the main menu's MDI buttons and close button, the
// fading helpers (on a painter that offers fading), popup placement,
// rotated captions, and the docking wait of the move loop with real input.
#include "bars/views/BarFading.h"
#include "tests/bars/views/DockTestSupport.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// Sends the hit test the mouse would cause, then the message.
void MouseAt(TdxBarControl* bar, UINT msg, POINT client, WPARAM keys = 0) {
  POINT screen = client;
  ClientToScreen(bar->Handle(), &screen);
  SendMessageA(bar->Handle(), WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
  PostMouse(bar, msg, client, keys);
}

// The same without running the queue, so the fader's timer does not step
// between the mouse move and the checks.
void SendMouseAt(TdxBarControl* bar, UINT msg, POINT client) {
  POINT screen = client;
  ClientToScreen(bar->Handle(), &screen);
  SendMessageA(bar->Handle(), WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
  SendMessageA(bar->Handle(), msg, 0, MAKELPARAM(client.x, client.y));
}

// A stand-in MDI child that records the system commands it gets.
struct TRecordingChild {
  static inline WPARAM LastCommand = 0;
  static inline int Commands = 0;
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SYSCOMMAND) {
      LastCommand = wp & 0xFFF0;
      ++Commands;
      return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
  }
  TRecordingChild() {
    WNDCLASSA c{};
    c.lpfnWndProc = &Proc;
    c.hInstance = GetModuleHandleA(nullptr);
    c.lpszClassName = "MevraTestMdiChild";
    RegisterClassA(&c);
    Wnd = CreateWindowExA(0, "MevraTestMdiChild", "Child", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                          GetModuleHandleA(nullptr), nullptr);
    LastCommand = 0;
    Commands = 0;
    dxBarMDIState() = TdxBarMDIStandIn{Wnd, true};
  }
  ~TRecordingChild() {
    dxBarMDIState() = TdxBarMDIStandIn{};
    dxBarMDIButtons() = TdxBarMDIButtonState{};
    DestroyWindow(Wnd);
  }
  TRecordingChild(const TRecordingChild&) = delete;
  TRecordingChild& operator=(const TRecordingChild&) = delete;
  HWND Wnd;
};

TdxBarControl* MainMenu(TDockFixture& f, int buttons) {
  TdxBarControl* menu = f.Toolbar("Menu", buttons);
  menu->Bar()->SetIsMainMenu(true);
  menu->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 0, 0));
  RunMessagesUntilIdle();
  return menu;
}

TEST(Mark, ShownOnlyWhenAllowedOrTruncated) {
  struct Case {
    const char* Name;
    TdxBarManagerStyle Style;
    bool AllowQuick, ShowMark, Narrow, Mark;
  } cases[] = {
      {"standard, all fits, quick customizing off", bmsStandard, false, true, false, false},
      {"enhanced, all fits, quick customizing off", bmsEnhanced, false, true, false, false},
      {"enhanced, all fits, quick customizing on", bmsEnhanced, true, true, false, true},
      {"standard, all fits, quick customizing on (the painter offers none)", bmsStandard, true, true, false, false},
      {"standard, truncated", bmsStandard, false, true, true, true},
      {"enhanced, truncated", bmsEnhanced, false, true, true, true},
      {"enhanced, truncated, ShowMark off", bmsEnhanced, true, false, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TDockFixture f;
    f.Host.Manager->SetStyle(c.Style);
    TdxBarControl* bar = f.Toolbar("Wide", 10);
    bar->Bar()->SetAllowQuickCustomizing(c.AllowQuick);
    bar->Bar()->SetShowMark(c.ShowMark);
    bar->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 0, 0));
    if (c.Narrow) f.Host.Form->SetClientWidth(bar->Width() / 2);
    RunMessagesUntilIdle();
    EXPECT_EQ(bar->Truncated(), c.Narrow);
    EXPECT_EQ(bar->HasMark(), c.Mark);
    RECT mark{};
    bar->GetMarkRect(mark);
    EXPECT_EQ(IsRectEmpty(&mark) == FALSE, c.Mark);
  }
}

TEST(Mark, TheFloatingHotMarkFallsBackAtTheNextPollOnceTheCursorLeft) {
  TDockFixture f;
  f.Host.Manager->SetStyle(bmsEnhanced);
  TdxBarControl* bar = f.Toolbar("Floating", 4);
  bar->MoveToDock(0, nullptr, POINT{300, 260});
  RunMessagesUntilIdle();
  ASSERT_TRUE(bar->HasMark());
  RECT mark{};
  bar->GetMarkRect(mark);
  ASSERT_FALSE(IsRectEmpty(&mark));
  // The mark lies in the caption, above the client area.
  EXPECT_LT(mark.top, 0);
  const RECT screenMark = bar->GetMarkScreenRect();
  SetCursorPos((screenMark.left + screenMark.right) / 2, (screenMark.top + screenMark.bottom) / 2);
  MouseAt(bar, WM_MOUSEMOVE, Centre(mark));
  EXPECT_EQ(bar->MarkState(), 1);
  EXPECT_TRUE(bar->MoreButtonsTimerRunning());
  // While the cursor stays on it the poll keeps it hot.
  ASSERT_TRUE(RunMessagesUntilIdle());
  EXPECT_EQ(bar->MarkState(), 1);
  // The cursor goes without a message to the toolbar.
  SetCursorPos(5, 5);
  EXPECT_TRUE(RunMessagesUntil([&] { return bar->MarkState() == 0; }));
  EXPECT_FALSE(bar->MoreButtonsTimerRunning());
  SetCursorPos(0, 0);
}

TEST(Mark, APressOpensThePopupOfHiddenLinksAndAnotherClosesIt) {
  TDockFixture f;
  f.Host.Manager->SetStyle(bmsEnhanced);
  TdxBarControl* bar = f.Toolbar("Wide", 10);
  bar->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 0, 0));
  f.Host.Form->SetClientWidth(bar->Width() / 2);
  RunMessagesUntilIdle();
  ASSERT_TRUE(bar->IsMarkUsable());
  int placed = 0;
  for (int i = 0; i < bar->ItemLinks()->ShownLinkCount(); ++i) {
    const RECT r = ItemRect(bar->ItemLinks()->GetShownLink(i));
    if (!IsRectEmpty(&r)) ++placed;
  }
  RECT mark{};
  bar->GetMarkRect(mark);
  MouseAt(bar, WM_LBUTTONDOWN, Centre(mark), MK_LBUTTON);
  MouseAt(bar, WM_LBUTTONUP, Centre(mark));
  ASSERT_NE(bar->QuickPopup(), nullptr);
  EXPECT_EQ(bar->MarkState(), 2);
  TdxBarControl* popup = bar->QuickPopup();
  EXPECT_TRUE(popup->IsPopup());
  EXPECT_EQ(popup->ItemLinks()->Count(), 10 - placed);
  EXPECT_TRUE(IsWindowVisible(popup->Handle()));
  // Below the mark, left-aligned to it.
  RECT pw{};
  GetWindowRect(popup->Handle(), &pw);
  const RECT sm = bar->GetMarkScreenRect();
  EXPECT_EQ(pw.top, sm.bottom);
  MouseAt(bar, WM_LBUTTONDOWN, Centre(mark), MK_LBUTTON);
  MouseAt(bar, WM_LBUTTONUP, Centre(mark));
  EXPECT_EQ(bar->QuickPopup(), nullptr);
  EXPECT_EQ(bar->MarkState(), 1);
}

TEST(PopupPlace, BesideOrBelowItsOwnerOnTheWorkArea) {
  const RECT work{0, 0, 800, 600};
  struct Case {
    const char* Name;
    RECT Owner;
    SIZE Size;
    bool Beside;
    int Align;
    POINT At;
  } cases[] = {
      {"below, left-aligned", {100, 20, 120, 40}, {200, 100}, false, 1, {100, 40}},
      {"below, right-aligned", {300, 20, 320, 40}, {200, 100}, false, 0, {120, 40}},
      {"below, kept on the left edge", {10, 20, 30, 40}, {200, 100}, false, 0, {0, 40}},
      {"below, kept on the right edge", {700, 20, 720, 40}, {200, 100}, false, 1, {600, 40}},
      {"above when the bottom passes", {100, 550, 120, 570}, {200, 100}, false, 1, {100, 450}},
      {"beside a vertical bar", {0, 100, 26, 120}, {200, 100}, true, 1, {26, 100}},
      {"beside, flipped left", {700, 100, 726, 120}, {200, 100}, true, 1, {500, 100}},
      {"beside, top kept on the work area", {0, 560, 26, 580}, {200, 100}, true, 1, {26, 500}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const POINT p = dxBarPopupPlace(c.Owner, c.Size, c.Beside, c.Align, work);
    EXPECT_EQ(p.x, c.At.x);
    EXPECT_EQ(p.y, c.At.y);
  }
}

TEST(MainMenu, ShowCloseButtonWithoutAnMdiChildShowsOnlyTheCloseButton) {
  TDockFixture f;
  f.Host.Manager->SetShowCloseButton(true);
  int closes = 0;
  f.Host.Manager->OnMainMenuClose = TNotifyEvent::Lambda([&](TObject*) { ++closes; });
  TdxBarControl* menu = MainMenu(f, 4);
  EXPECT_FALSE(menu->HasMDIButtons());
  EXPECT_TRUE(menu->HasMDIOrClose());
  const RECT close = menu->MDIButtonRect(2);
  ASSERT_FALSE(IsRectEmpty(&close));
  EXPECT_EQ(close.right - close.left, GetSystemMetrics(SM_CXMENUSIZE) - 2);
  // No item reaches under it.
  for (int i = 0; i < 4; ++i) {
    const RECT r = ItemRect(menu->ItemLinks()->GetShownLink(i));
    EXPECT_LE(r.right, close.left);
  }
  MouseAt(menu, WM_LBUTTONDOWN, Centre(close), MK_LBUTTON);
  EXPECT_TRUE(dxBarMDIButtons().Pressed);
  MouseAt(menu, WM_LBUTTONUP, Centre(close));
  EXPECT_EQ(closes, 1);
  EXPECT_FALSE(dxBarMDIButtons().Pressed);
  EXPECT_EQ(GetCapture(), nullptr);
  f.Host.Manager->SetShowCloseButton(false);
  RunMessagesUntilIdle();
  EXPECT_FALSE(menu->HasMDIOrClose());
}

TEST(MainMenu, MdiButtonsSendTheirCommandOnlyWhenReleasedOnThem) {
  TDockFixture f;
  TRecordingChild child;
  TdxBarControl* menu = MainMenu(f, 3);
  ASSERT_TRUE(menu->HasMDIButtons());
  RECT r[3];
  for (int i = 0; i < 3; ++i) r[i] = menu->MDIButtonRect(i);
  EXPECT_EQ(r[1].left, r[0].right);
  EXPECT_EQ(r[2].left, r[1].right + 2);
  struct Case {
    const char* Name;
    int Button;
    bool ReleaseOnIt, CancelMode;
    WPARAM Command;
  } cases[] = {
      {"minimize", 0, true, false, SC_MINIMIZE},
      {"restore", 1, true, false, SC_RESTORE},
      {"close", 2, true, false, SC_CLOSE},
      {"released elsewhere", 1, false, false, 0},
      {"cancel mode", 0, true, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TRecordingChild::Commands = 0;
    TRecordingChild::LastCommand = 0;
    MouseAt(menu, WM_LBUTTONDOWN, Centre(r[c.Button]), MK_LBUTTON);
    EXPECT_TRUE(dxBarMDIButtons().Pressed);
    EXPECT_EQ(dxBarMDIButtons().PressedIndex, c.Button);
    EXPECT_EQ(GetCapture(), menu->Handle());
    if (c.CancelMode) {
      SendMessageA(menu->Handle(), WM_CANCELMODE, 0, 0);
      EXPECT_FALSE(dxBarMDIButtons().Pressed);
      EXPECT_FALSE(dxBarMDIButtons().Hot);
      EXPECT_EQ(GetCapture(), nullptr);
    }
    const POINT away{r[0].left - 30, r[0].top};
    PostMouse(menu, WM_LBUTTONUP, c.ReleaseOnIt ? Centre(r[c.Button]) : away);
    EXPECT_EQ(TRecordingChild::Commands, c.Command ? 1 : 0);
    EXPECT_EQ(TRecordingChild::LastCommand, c.Command);
    EXPECT_FALSE(dxBarMDIButtons().Pressed);
    EXPECT_EQ(GetCapture(), nullptr);
  }
}

TEST(MainMenu, AGreyedMinimizeCannotBePressedRestoreAlwaysCan) {
  TDockFixture f;
  TRecordingChild child;
  EnableMenuItem(GetSystemMenu(child.Wnd, FALSE), SC_MINIMIZE, MF_BYCOMMAND | MF_GRAYED);
  TdxBarControl* menu = MainMenu(f, 2);
  EXPECT_FALSE(menu->IsMDIButtonEnabled(0, MF_GRAYED));
  EXPECT_TRUE(menu->IsMDIButtonEnabled(1, MF_GRAYED));
  MouseAt(menu, WM_LBUTTONDOWN, Centre(menu->MDIButtonRect(0)), MK_LBUTTON);
  EXPECT_FALSE(dxBarMDIButtons().Pressed);
  PostMouse(menu, WM_LBUTTONUP, Centre(menu->MDIButtonRect(0)));
  EXPECT_EQ(TRecordingChild::Commands, 0);
  // A child without a system menu gets no buttons.
  SetWindowLongA(child.Wnd, GWL_STYLE, GetWindowLongA(child.Wnd, GWL_STYLE) & ~WS_SYSMENU);
  EXPECT_FALSE(menu->HasMDIButtons());
}

// An Enhanced painter that draws its hot looks for fading.
class TFadingPainter : public TdxBarEnhancedPainter, public IdxBarFadingPainter {
public:
  bool SupportsFadingInterface() const override { return true; }
  bool FadingImagesOpaque() const override { return true; }
  void DrawFadingMark(TCustomdxBarControl*, HDC dc, const RECT& r, int state) const override {
    ++Draws[state & 1];
    HBRUSH brush = CreateSolidBrush(state ? RGB(255, 0, 0) : RGB(0, 0, 255));
    FillRect(dc, &r, brush);
    DeleteObject(brush);
  }
  mutable int Draws[2] = {0, 0};
};

struct TFadingOn {
  TFadingOn()
      : Started(GlobalFader() == nullptr), Gdi(dxFadingGdiPlusAvailable), Bits(dxFadingScreenBitsPerPixel) {
    if (Started) dxFadingInit();
    Mode = GlobalFader()->Mode();
    dxFadingGdiPlusAvailable = [] { return true; };
    dxFadingScreenBitsPerPixel = [] { return 32; };
    GlobalFader()->SetMode(1);
  }
  ~TFadingOn() {
    GlobalFader()->Clear();
    GlobalFader()->SetMode(Mode);
    dxFadingGdiPlusAvailable = Gdi;
    dxFadingScreenBitsPerPixel = Bits;
    if (Started) dxFadingDone();
  }
  TFadingOn(const TFadingOn&) = delete;
  TFadingOn& operator=(const TFadingOn&) = delete;
  bool Started;
  bool (*Gdi)();
  int (*Bits)();
  uint8_t Mode = 0;
};

TEST(Fading, TheMarkFadesInWhenHotAndOutWhenLeftButNotWhilePressed) {
  TFadingOn fading;
  TDockFixture f;
  f.Host.Manager->SetStyle(bmsEnhanced);
  TFadingPainter painter;
  TdxBarControl* bar = f.Toolbar("Faded", 3);
  bar->SetPainter(&painter);
  bar->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 0, 0));
  RunMessagesUntilIdle();
  ASSERT_TRUE(bar->HasMark());
  ASSERT_TRUE(bar->CanFade());
  bar->SetMarkState(1);
  TdxFadingObjectHelper* helper = bar->MarkFadingHelper();
  ASSERT_NE(helper, nullptr);
  TdxFadingElement* element = GlobalFader()->FindElement(helper);
  ASSERT_NE(element, nullptr);
  EXPECT_EQ(element->Direction(), fdIn);
  EXPECT_EQ(painter.Draws[0], 1);
  EXPECT_EQ(painter.Draws[1], 1);
  RECT mark{};
  bar->GetMarkRect(mark);
  EXPECT_EQ(static_cast<int>(element->FadeInImage()->Width()), mark.right - mark.left);
  bar->SetMarkState(0);
  element = GlobalFader()->FindElement(helper);
  ASSERT_NE(element, nullptr);
  EXPECT_EQ(element->Direction(), fdOut);
  GlobalFader()->Clear();
  bar->SetMarkState(2);
  EXPECT_FALSE(helper->AllowsFading());
  EXPECT_EQ(GlobalFader()->FindElement(helper), nullptr);
  bar->SetMarkState(0);
  bar->SetPainter(nullptr);
}

TEST(Fading, AHotMdiButtonFadesInAndTheOneLeftFadesOut) {
  TFadingOn fading;
  TDockFixture f;
  TRecordingChild child;
  TFadingPainter painter;
  TdxBarControl* menu = f.Toolbar("Menu", 2);
  menu->SetPainter(&painter);
  menu->Bar()->SetIsMainMenu(true);
  menu->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 0, 0));
  RunMessagesUntilIdle();
  SendMouseAt(menu, WM_MOUSEMOVE, Centre(menu->MDIButtonRect(1)));
  EXPECT_TRUE(dxBarMDIButtons().Hot);
  EXPECT_EQ(dxBarMDIButtons().HotIndex, 1);
  TdxFadingElement* in = GlobalFader()->FindElement(menu->MDIButtonFadingHelper(1));
  ASSERT_NE(in, nullptr);
  EXPECT_EQ(in->Direction(), fdIn);
  SendMouseAt(menu, WM_MOUSEMOVE, Centre(menu->MDIButtonRect(2)));
  EXPECT_EQ(dxBarMDIButtons().HotIndex, 2);
  TdxFadingElement* out = GlobalFader()->FindElement(menu->MDIButtonFadingHelper(1));
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(out->Direction(), fdOut);
  ASSERT_NE(GlobalFader()->FindElement(menu->MDIButtonFadingHelper(2)), nullptr);
  GlobalFader()->Clear();
  SendMessageA(menu->Handle(), WM_CANCELMODE, 0, 0);
  menu->SetPainter(nullptr);
}

TEST(Captions, VerticalToolbarsRotateOnlyWithRotateWhenVertical) {
  TDockFixture f;
  TdxBarControl* bar = f.Toolbar("Tools", 3);
  bar->MoveToDock(1, f.Left, TDockFixture::At(f.Left, 0, 0));
  RunMessagesUntilIdle();
  EXPECT_TRUE(bar->IsTextRotated());
  bar->Bar()->SetRotateWhenVertical(false);
  EXPECT_FALSE(bar->IsTextRotated());
  bar->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 0, 0));
  bar->Bar()->SetRotateWhenVertical(true);
  EXPECT_FALSE(bar->IsTextRotated());
}

// Presses the drag area of a floating toolbar and moves it over the top
// dock with real input; `release` says when the button goes up (the move
// loop runs inside the press, so the test's thread timer releases it).
struct TDragOverDock {
  static inline TdxBarControl* Bar = nullptr;
  static inline int Ticks = 0;
  static inline bool Released = false;
  static void Release() {
    INPUT up{};
    up.type = INPUT_MOUSE;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &up, sizeof up);
    Released = true;
  }
  // Releases once the toolbar docked, or after enough ticks that the
  // docking wait must have passed many times (so nothing can hang).
  static void CALLBACK WhenDocked(HWND, UINT, UINT_PTR id, DWORD) {
    ++Ticks;
    if (!Released && (Bar->DockingStyle() != 0 || Ticks > 100)) {
      KillTimer(nullptr, id);
      Release();
    }
  }
};

TEST(MoveLoop, AFloatingToolbarDocksOnlyAfterTheDockingWait) {
  struct Case {
    const char* Name;
    int Wait;
    bool Docks;
  } cases[] = {{"waits and docks", 21, true}, {"the wait never ends within the drag", 600000, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TDockFixture f;
    f.Host.Manager->SetWaitForDockingTime(c.Wait);
    TdxBarControl* bar = f.Toolbar("Float", 3);
    RECT fw{};
    GetWindowRect(f.Host.Form->Handle(), &fw);
    bar->MoveToDock(0, nullptr, POINT{fw.left + 200, fw.top + 200});
    SetForegroundWindow(f.Host.Form->Handle());
    RunMessagesUntilIdle();
    RECT w{};
    GetWindowRect(bar->Handle(), &w);
    // The caption is the drag area of a floating toolbar.
    const POINT grip{w.left + 8, w.top + 6};
    SendMouseMove(grip.x, grip.y);
    RunMessagesUntilIdle();
    SendMessageA(bar->Handle(), WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y));
    ASSERT_EQ(bar->HitTestCode(), HTCAPTION);
    TDragOverDock::Bar = bar;
    TDragOverDock::Ticks = 0;
    TDragOverDock::Released = false;
    INPUT down{};
    down.type = INPUT_MOUSE;
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &down, sizeof down);
    const POINT over = TDockFixture::At(f.Top, 40, 2);
    SendMouseMove(over.x, over.y);
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, &TDragOverDock::WhenDocked);
    EXPECT_TRUE(RunMessagesUntil([] { return TDragOverDock::Released; }, 30000));
    if (!TDragOverDock::Released) {
      KillTimer(nullptr, timer);
      TDragOverDock::Release();
    }
    RunMessagesUntilIdle();
    EXPECT_EQ(bar->DockingStyle() != 0, c.Docks);
    EXPECT_FALSE(bar->Moving());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(f.Host.Manager->Bars()->Moving());
    SetCursorPos(0, 0);
  }
}

}  // namespace

namespace {

// The fixture with its decorations: a main menu with MDI buttons, a
// truncated toolbar with its mark, a vertical toolbar with rotated
// captions and a floating toolbar with its caption's mark and close button.
TEST(Decorations, Screenshots) {
  for (TdxBarManagerStyle style : {bmsStandard, bmsEnhanced}) {
    TDockFixture f;
    TRecordingChild child;
    f.Host.Manager->SetStyle(style);
    TdxBarControl* menu = MainMenu(f, 5);
    f.Host.Form->SetClientWidth(420);
    TdxBarControl* wide = f.Toolbar("Wide", 14, 4);
    wide->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 0, menu->Height() + 11));
    TdxBarControl* tools = f.Toolbar("Tools", 4);
    tools->MoveToDock(1, f.Left, TDockFixture::At(f.Left, 0, 0));
    RECT fw{};
    GetWindowRect(f.Host.Form->Handle(), &fw);
    TdxBarControl* floating = f.Toolbar("Floating", 6, 3);
    floating->MoveToDock(0, nullptr, POINT{fw.left + 260, fw.top + 200});
    RunMessagesUntilIdle();
    EXPECT_TRUE(wide->Truncated() || wide->Width() < wide->CalcMaxWidth(2));
    EXPECT_TRUE(tools->IsTextRotated());
    RedrawWindow(f.Host.Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RedrawWindow(floating->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    RunMessagesUntilIdle();
    const std::string name = style == bmsStandard ? "toolbars-decorations-standard" : "toolbars-decorations-enhanced";
    SaveScreenshot(f.Host.Form->Handle(), name);
    SaveScreenshot(floating->Handle(), name + "-floating");
    // The MDI buttons are drawn where they are placed: not the bar's plain
    // background at the button's centre.
    const Image pixels = ReadClientPixels(menu->Handle());
    const RECT close = menu->MDIButtonRect(2);
    ASSERT_GT(pixels.Width, close.right - 1);
    bool drawn = false;
    const uint32_t background = pixels.At(2, 2);
    for (int y = close.top; y < close.bottom && !drawn; ++y)
      for (int x = close.left; x < close.right && !drawn; ++x) drawn = pixels.At(x, y) != background;
    EXPECT_TRUE(drawn);
  }
}

}  // namespace
