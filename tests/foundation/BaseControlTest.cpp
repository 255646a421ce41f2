// The base control: its own scroll bars settled by the fixed-point loop,
// focus on click, the wheel, dialog codes, middle-button panning, the drag
// object's copy cursor and the popup menu it accepts.
#include "foundation/BaseControl.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Mouse.h"
#include "platform/StdCtrls.h"
#include "tests/foundation/LookAndFeelFixture.h"

#include <functional>
#include <vector>

using namespace lookandfeel_test;
using namespace testing_support;

namespace {

// A control whose scroll-bar hook and scroll handler the test decides.
class TTestControl : public TcxControl {
public:
  using TcxControl::TcxControl;
  std::function<void(TTestControl*)> Hook;
  std::function<void(TScrollBarKind, TScrollCode)> OnScrolled;
  std::vector<std::pair<TScrollBarKind, TScrollCode>> Scrolls;
  bool AcceptUnfocused = false;
  int HookRuns = 0;

  void InitScrollBarsHook() override {
    ++HookRuns;
    if (Hook) Hook(this);
  }
  void ScrollContent(TScrollBarKind kind, TScrollCode code, int&) override {
    Scrolls.push_back({kind, code});
    if (OnScrolled) OnScrolled(kind, code);
  }
  bool AcceptsMouseDownUnfocused() override { return AcceptUnfocused; }
};

// Content of `size` in the content rectangle: each bar shows where it does
// not fit.
void ContentOfSize(TTestControl* c, SIZE size) {
  const RECT r = c->GetContentRect();
  c->StoreScrollBarParams(sbHorizontal, 0, size.cx - 1, 1, r.right - r.left, 0, true, true);
  c->StoreScrollBarParams(sbVertical, 0, size.cy - 1, 1, r.bottom - r.top, 0, true, true);
}

class BaseControlTest : public PainterUnits {
protected:
  void SetUp() override {
    PainterUnits::SetUp();
    FForm = New<TForm>(nullptr);
    FForm->SetBounds(60, 60, 420, 320);
    FControl = New<TTestControl>(FForm);
    FControl->SetBounds(10, 10, 200, 150);
    FControl->SetParent(FForm);
  }
  void TearDown() override {
    if (GetCapture()) ReleaseCapture();
    Free(FForm);
    Mouse->SetFactsSource({});
    PainterUnits::TearDown();
  }
  void ShowForm() {
    FForm->Show();
    RunMessagesUntilIdle();
  }
  void Post(UINT msg, POINT p, WPARAM keys = 0) {
    PostMessageA(FControl->Handle(), msg, keys, MAKELPARAM(p.x, p.y));
  }
  void MoveCursorTo(POINT screen) {
    SetCursorPos(screen.x, screen.y);
    ASSERT_TRUE(RunMessagesUntil([&] {
      POINT p;
      return GetCursorPos(&p) && p.x == screen.x && p.y == screen.y;
    }));
  }

  TForm* FForm = nullptr;
  TTestControl* FControl = nullptr;
};

TEST_F(BaseControlTest, AVerticalBarNeededOnceTheHorizontalShowsEndsWithBoth) {
  EXPECT_FALSE(FControl->IsHorzScrollBarShown());
  EXPECT_FALSE(FControl->IsVertScrollBarShown());
  // Too wide; as high as the control, so it fits until the horizontal bar
  // takes its height.
  FControl->Hook = [](TTestControl* c) { ContentOfSize(c, SIZE{300, 145}); };
  FControl->RecalcScrollBars();
  EXPECT_TRUE(FControl->IsHorzScrollBarShown());
  EXPECT_TRUE(FControl->IsVertScrollBarShown());
  EXPECT_TRUE(FControl->HScrollBar()->Enabled());
  EXPECT_TRUE(FControl->VScrollBar()->Enabled());
  EXPECT_TRUE(FControl->SizeGrip()->Visible());
  const int barHeight = FControl->HScrollBar()->Height(), barWidth = FControl->VScrollBar()->Width();
  const RECT h = FControl->HScrollBar()->BoundsRect(), v = FControl->VScrollBar()->BoundsRect();
  EXPECT_EQ(h.top, 150 - barHeight);
  EXPECT_EQ(h.right, 200 - barWidth);
  EXPECT_EQ(v.left, 200 - barWidth);
  EXPECT_EQ(v.bottom, 150 - barHeight);
  const RECT grip = FControl->SizeGrip()->BoundsRect();
  EXPECT_EQ(grip.left, v.left);
  EXPECT_EQ(grip.top, h.top);
  EXPECT_EQ(FControl->HScrollBar()->Max(), 299);
  EXPECT_EQ(FControl->HScrollBar()->PageSize(), 200 - barWidth);
  EXPECT_EQ(FControl->HScrollBar()->LargeChange(), 200 - barWidth);

  // Smaller content hides both again.
  FControl->Hook = [](TTestControl* c) { ContentOfSize(c, SIZE{100, 100}); };
  FControl->RecalcScrollBars();
  EXPECT_FALSE(FControl->IsHorzScrollBarShown());
  EXPECT_FALSE(FControl->IsVertScrollBarShown());
  EXPECT_FALSE(FControl->SizeGrip()->Visible());
}

TEST_F(BaseControlTest, AnOscillatingLayoutEndsShownButDisabled) {
  // The content needs the vertical bar exactly while it is hidden.
  FControl->Hook = [](TTestControl* c) {
    const bool need = !c->VScrollBar()->Visible();
    c->StoreScrollBarParams(sbVertical, 0, need ? 999 : 9, 1, 100, 0, true, true);
    c->StoreScrollBarParams(sbHorizontal, 0, 9, 1, 100, 0, true, true);
  };
  FControl->RecalcScrollBars();
  EXPECT_TRUE(FControl->VScrollBar()->Visible());
  EXPECT_FALSE(FControl->VScrollBar()->Enabled());
  EXPECT_FALSE(FControl->HScrollBar()->Visible());
  // And a second recalculation keeps it so.
  FControl->RecalcScrollBars();
  EXPECT_TRUE(FControl->VScrollBar()->Visible());
}

TEST_F(BaseControlTest, StoredParametersDecideVisibility) {
  const struct {
    const char* Name;
    TScrollStyle Style;
    int Min, Max, Page, Position;
    bool AllowHide;
    bool Visible, Enabled;
  } cases[] = {
      {"needed", ssBoth, 0, 99, 10, 0, true, true, true},
      {"a page as large as the range, may hide", ssBoth, 0, 9, 10, 0, true, false, true},
      {"a page as large as the range, may not hide", ssBoth, 0, 9, 10, 0, false, true, false},
      {"a position before the minimum", ssBoth, 5, 99, 10, 0, true, false, true},
      {"the setting leaves the bar out", ssHorizontal, 0, 99, 10, 0, false, false, true},
  };
  for (const auto& c : cases) {
    FControl->SetScrollBars(c.Style);
    FControl->VScrollBar()->Data.Enabled = true;
    FControl->Hook = [&](TTestControl* t) {
      t->StoreScrollBarParams(sbVertical, c.Min, c.Max, 1, c.Page, c.Position, true, c.AllowHide);
    };
    FControl->RecalcScrollBars();
    EXPECT_EQ(FControl->VScrollBar()->Visible(), c.Visible) << c.Name;
    if (c.Visible) {
      EXPECT_EQ(FControl->VScrollBar()->Enabled(), c.Enabled) << c.Name;
    }
  }
}

TEST_F(BaseControlTest, LockedUpdatesRunOnceAtTheLastUnlock) {
  FControl->Hook = [](TTestControl* c) { ContentOfSize(c, SIZE{300, 300}); };
  FControl->LockScrollBarsUpdate();
  FControl->LockScrollBarsUpdate();
  FControl->HookRuns = 0;
  FControl->RecalcScrollBars();
  FControl->SetBounds(10, 10, 210, 160);
  EXPECT_EQ(FControl->HookRuns, 0);
  EXPECT_TRUE(FControl->ScrollBarsUpdatePending());
  FControl->UnlockScrollBarsUpdate();
  EXPECT_EQ(FControl->HookRuns, 0);
  FControl->UnlockScrollBarsUpdate();
  EXPECT_GT(FControl->HookRuns, 0);
  EXPECT_FALSE(FControl->ScrollBarsUpdatePending());
  EXPECT_TRUE(FControl->IsVertScrollBarShown());
}

TEST_F(BaseControlTest, AFormRefusingTheFocusTakesTheCaptureBack) {
  auto* edit = New<TEdit>(FForm);
  edit->SetBounds(250, 10, 100, 24);
  edit->SetParent(FForm);
  ShowForm();
  edit->SetFocus();
  ASSERT_EQ(GetFocus(), edit->Handle());
  bool refuse = true;
  // The focused edit refuses to let the focus go, once per press.
  edit->OnExit = TNotifyEvent::Lambda([&](TObject*) {
    if (!refuse) return;
    refuse = false;
    edit->SetFocus();
  });
  int downs = 0;
  FControl->OnMouseDown = TMouseEvent::Lambda([&](TObject*, TMouseButton, TShiftState, int, int) { ++downs; });
  const struct { const char* Name; bool AcceptUnfocused; bool Captured; int Downs; } cases[] = {
      {"refused", false, false, 0},
      {"refused, but the control takes presses unfocused", true, true, 1},
  };
  for (const auto& c : cases) {
    refuse = true;
    downs = 0;
    FControl->AcceptUnfocused = c.AcceptUnfocused;
    Post(WM_LBUTTONDOWN, POINT{20, 20}, MK_LBUTTON);
    RunMessagesUntilIdle();
    EXPECT_EQ(GetFocus(), edit->Handle()) << c.Name;
    EXPECT_EQ(GetCapture() == FControl->Handle(), c.Captured) << c.Name;
    EXPECT_EQ(downs, c.Downs) << c.Name;
    EXPECT_EQ(FControl->MouseButtonPressed(), c.Captured) << c.Name;
    Post(WM_LBUTTONUP, POINT{20, 20});
    RunMessagesUntilIdle();
    EXPECT_FALSE(FControl->MouseButtonPressed()) << c.Name;
  }
  // Without the refusal the press focuses the control.
  refuse = false;
  FControl->AcceptUnfocused = false;
  Post(WM_LBUTTONDOWN, POINT{20, 20}, MK_LBUTTON);
  RunMessagesUntilIdle();
  EXPECT_EQ(GetFocus(), FControl->Handle());
  EXPECT_EQ(GetCapture(), FControl->Handle());
  Post(WM_LBUTTONUP, POINT{20, 20});
  RunMessagesUntilIdle();
}

TEST_F(BaseControlTest, TheWheelScrollsOnlyWithTheVerticalBarShown) {
  Mouse->SetFactsSource([] {
    TMouseFacts facts;
    facts.WheelScrollLines = 3;
    return facts;
  });
  ShowForm();
  FControl->Hook = [](TTestControl* c) { ContentOfSize(c, SIZE{300, 100}); };
  FControl->RecalcScrollBars();
  ASSERT_TRUE(FControl->IsHorzScrollBarShown());
  ASSERT_FALSE(FControl->IsVertScrollBarShown());
  const POINT screen = FControl->ClientToScreen(POINT{50, 50});
  FControl->Scrolls.clear();
  SendMessageA(FControl->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
  EXPECT_TRUE(FControl->Scrolls.empty()) << "the horizontal bar does not take the wheel";

  FControl->Hook = [](TTestControl* c) { ContentOfSize(c, SIZE{100, 300}); };
  FControl->RecalcScrollBars();
  ASSERT_TRUE(FControl->IsVertScrollBarShown());
  const struct { short Delta; TScrollCode Code; } turns[] = {{-WHEEL_DELTA, scLineDown}, {WHEEL_DELTA, scLineUp}};
  for (const auto& t : turns) {
    FControl->Scrolls.clear();
    SendMessageA(FControl->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, t.Delta), MAKELPARAM(screen.x, screen.y));
    ASSERT_EQ(FControl->Scrolls.size(), 3u) << "the system's wheel lines";
    for (const auto& s : FControl->Scrolls) {
      EXPECT_EQ(s.first, sbVertical);
      EXPECT_EQ(s.second, t.Code);
    }
  }
}

TEST_F(BaseControlTest, DialogCodesFollowTheKeysAndCtrl) {
  ShowForm();
  const struct { const char* Name; TcxKeys Keys; bool Ctrl; LRESULT Code; } cases[] = {
      {"none", {}, false, 0},
      {"all, arrows, characters and Tab", {kAll, kArrows, kChars, kTab}, false,
       DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTTAB},
      {"the same with Ctrl held: no Tab", {kAll, kArrows, kChars, kTab}, true,
       DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS},
      {"arrows", {kArrows}, false, DLGC_WANTARROWS},
      {"Tab with Ctrl held", {kTab}, true, 0},
  };
  BYTE keys[256];
  GetKeyboardState(keys);
  for (const auto& c : cases) {
    BYTE state[256];
    std::copy(keys, keys + 256, state);
    state[VK_CONTROL] = c.Ctrl ? 0x80 : 0;
    SetKeyboardState(state);
    FControl->AssignKeys(c.Keys);
    EXPECT_EQ(SendMessageA(FControl->Handle(), WM_GETDLGCODE, 0, 0), c.Code) << c.Name;
  }
  SetKeyboardState(keys);
}

// Moves the mouse (real input) once panning has begun.
TTestControl* PanningControl = nullptr;
POINT PanningTarget{};
void CALLBACK MoveWhilePanning(HWND, UINT, UINT_PTR id, DWORD) {
  if (!PanningControl->IsPanning()) return;
  KillTimer(nullptr, id);
  SendMouseMove(PanningTarget.x, PanningTarget.y);
}

TEST_F(BaseControlTest, AMiddleClickPansUntilTheNextClickAMiddleDragUntilRelease) {
  ShowForm();
  FControl->Hook = [](TTestControl* c) { ContentOfSize(c, SIZE{1000, 1000}); };
  FControl->RecalcScrollBars();
  const POINT centre{80, 60};
  const POINT below{centre.x, centre.y + 80};  // far beyond the indicator: the top speed
  PanningControl = FControl;
  PanningTarget = FControl->ClientToScreen(below);
  const struct { const char* Name; bool Drag; UINT EndMessage; } cases[] = {
      {"a click: the release goes on panning, the next click ends it", false, WM_LBUTTONDOWN},
      {"a drag: the release ends it", true, WM_MBUTTONUP},
  };
  for (const auto& c : cases) {
    MoveCursorTo(FControl->ClientToScreen(centre));
    FControl->Scrolls.clear();
    bool sawPanning = false;
    HCURSOR cursorWhilePanning = nullptr;
    FControl->OnScrolled = [&](TScrollBarKind, TScrollCode) {
      sawPanning = FControl->IsPanning() && GetCapture() == FControl->Handle();
      cursorWhilePanning = GetCursor();
      if (FControl->Scrolls.size() == 3) Post(c.EndMessage, below);
    };
    Post(WM_MBUTTONDOWN, centre, MK_MBUTTON);
    if (!c.Drag) Post(WM_MBUTTONUP, centre);
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, MoveWhilePanning);
    ASSERT_TRUE(RunMessagesUntil([&] { return FControl->Scrolls.size() >= 3 && !FControl->IsPanning(); }))
        << c.Name;
    KillTimer(nullptr, timer);
    RunMessagesUntilIdle();
    EXPECT_EQ(FControl->Scrolls.size(), 3u) << c.Name << ": nothing scrolls after the end";
    for (const auto& s : FControl->Scrolls) {
      EXPECT_EQ(s.first, sbVertical) << c.Name;
      EXPECT_EQ(s.second, scLineDown) << c.Name;
    }
    EXPECT_TRUE(sawPanning) << c.Name;
    EXPECT_EQ(cursorWhilePanning, Screen->Cursors(crcxDownScroll)) << c.Name;
    EXPECT_EQ(GetCapture(), nullptr) << c.Name;
    EXPECT_FALSE(FControl->IsPanning()) << c.Name;
  }
}

TEST_F(BaseControlTest, NoPanningWithoutOwnBarsShown) {
  ShowForm();
  Post(WM_MBUTTONDOWN, POINT{20, 20}, MK_MBUTTON);
  RunMessagesUntilIdle();
  EXPECT_FALSE(FControl->IsPanning());
  EXPECT_EQ(GetCapture(), nullptr);
}

void SendCtrl(bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = VK_CONTROL;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof in);
}

TEST_F(BaseControlTest, CtrlOverAnAcceptingTargetShowsTheCopyCursor) {
  auto* target = New<TPanel>(FForm);
  target->SetBounds(250, 10, 120, 120);
  target->SetParent(FForm);
  target->OnDragOver = TDragOverEvent::Lambda(
      [](TObject*, TObject*, int, int, TDragState, bool& accept) { accept = true; });
  ShowForm();
  FControl->BeginDrag(true);
  TWeakLink<TDragObject> object(CurrentDragObject());
  ASSERT_NE(object.Get(), nullptr);
  EXPECT_NE(ObjectAs<TcxDragControlObject>(object.Get()), nullptr) << "the control's own drag object";
  // Over the target: the client point of the source that lies there.
  const POINT over = FControl->ScreenToClient(target->ClientToScreen(POINT{60, 60}));
  MoveCursorTo(target->ClientToScreen(POINT{60, 60}));
  SendCtrl(false);
  ASSERT_TRUE(RunMessagesUntil([] { return GetAsyncKeyState(VK_CONTROL) < 0; }));
  Post(WM_MOUSEMOVE, over);
  RunMessagesUntilIdle();
  EXPECT_EQ(GetCursor(), Screen->Cursors(crcxDragCopy));
  SendCtrl(true);
  ASSERT_TRUE(RunMessagesUntil([] { return GetAsyncKeyState(VK_CONTROL) >= 0; }));
  Post(WM_MOUSEMOVE, POINT{over.x + 1, over.y});
  RunMessagesUntilIdle();
  EXPECT_EQ(GetCursor(), Screen->Cursors(FControl->DragCursor())) << "without Ctrl, the control's own";
  Post(WM_LBUTTONUP, POINT{over.x + 1, over.y});
  RunMessagesUntilIdle();
  EXPECT_EQ(CurrentDragObject(), nullptr);
  EXPECT_EQ(object.Get(), nullptr) << "the drag object freed itself";
}

TEST_F(BaseControlTest, APopupMenuMustBeAMenu) {
  TPopupMenu menu(nullptr);
  FControl->SetPopupMenu(&menu);
  EXPECT_EQ(FControl->GetPopupMenu(), &menu);
  TComponent plain(nullptr);
  FControl->SetPopupMenu(&plain);
  EXPECT_EQ(FControl->PopupMenuComponent(), nullptr) << "neither a popup menu nor one offering the interface";
  FControl->SetPopupMenu(&menu);
}

TEST_F(BaseControlTest, FreedWithItsPartsAndHandles) {
  const THandleCounts before = HandleCounts();
  {
    TForm* form = New<TForm>(nullptr);
    auto* control = New<TTestControl>(form);
    control->SetParent(form);
    control->SetBounds(0, 0, 100, 100);
    control->Hook = [](TTestControl* c) { ContentOfSize(c, SIZE{500, 500}); };
    form->Show();
    control->RecalcScrollBars();
    RunMessagesUntilIdle();
    EXPECT_TRUE(control->HScrollBar()->HandleAllocated());
    EXPECT_EQ(control->HScrollBar()->Parent(), control);
    Free(form);
  }
  RunMessagesUntilIdle();
  EXPECT_EQ(HandleCounts(), before);
}

}  // namespace
