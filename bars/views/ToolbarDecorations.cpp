// What a toolbar shows besides its items: the mark and its popup, the MDI
// buttons and close button of a main menu, the floating caption's close
// button, and toolbars shown as popups of other bar windows.
#include <algorithm>

#include "bars/model/BarGlobals.h"
#include "bars/model/BarManager.h"
#include "bars/model/BarRoutines.h"
#include "bars/model/Bars.h"
#include "bars/views/BarControl.h"
#include "bars/views/BarFading.h"
#include "bars/views/BarPainter.h"
#include "bars/views/ItemControl.h"
#include "foundation/Classes.h"

namespace {
// Tells whether the toolbar survived what a call did.
class TBarControlLink {
public:
  explicit TBarControlLink(TObject* control) : FLink(AttachObjectLink(control)) {}
  ~TBarControlLink() { ReleaseObjectLink(FLink); }
  bool Alive() const { return FLink && FLink->Ref != nullptr; }
  TBarControlLink(const TBarControlLink&) = delete;
  TBarControlLink& operator=(const TBarControlLink&) = delete;

private:
  TcxObjectLink* FLink;
};

constexpr UINT_PTR kMoreButtonsTimer = 1;
constexpr UINT kMoreButtonsInterval = 50;
constexpr WPARAM kMDICommands[3] = {SC_MINIMIZE, SC_RESTORE, SC_CLOSE};

// The client rectangle's top-left in window co-ordinates.
POINT NCOrigin(HWND wnd) {
  RECT w{};
  GetWindowRect(wnd, &w);
  POINT o{0, 0};
  ClientToScreen(wnd, &o);
  return POINT{o.x - w.left, o.y - w.top};
}
}  // namespace

TdxBarMDIStandIn& dxBarMDIState() {
  static TdxBarMDIStandIn state;
  return state;
}

TdxBarMDIButtonState& dxBarMDIButtons() {
  static TdxBarMDIButtonState state;
  return state;
}

POINT dxBarPopupPlace(const RECT& owner, SIZE size, bool besideVertical, int align, const RECT& work) {
  POINT p{};
  if (besideVertical) {
    p = POINT{owner.right, owner.top};
    if (p.x + size.cx > work.right) p.x = owner.left - size.cx;
    if (p.y + size.cy > work.bottom) p.y = work.bottom - size.cy;
    if (p.y < work.top) p.y = work.top;
  } else {
    p = POINT{align == 0 ? owner.right - size.cx : owner.left, owner.bottom};
    if (p.x + size.cx > work.right) p.x = work.right - size.cx;
    if (p.x < work.left) p.x = work.left;
    if (p.y + size.cy > work.bottom) p.y = owner.top - size.cy;
  }
  return p;
}

// --- The mark ----------------------------------------------------------------------------------

bool TdxBarControl::HasMark() const {
  if (!FBar || !FBar->ShowMark()) return false;
  if (FTruncated) return true;
  return GetPainter()->AllowsQuickCustomizing() && FBar->AllowQuickCustomizing();
}

bool TdxBarControl::IsMarkUsable() const { return GetPainter()->AllowsQuickCustomizing() && HasMark(); }

void TdxBarControl::GetMarkRect(RECT& r) {
  r = RECT{};
  if (!HasMark()) return;
  TdxBarPainter* painter = GetPainter();
  if (DockingStyle() != 0) {
    painter->CalcMarkRect(this, r);
    return;
  }
  if (!HandleAllocated()) return;
  // In the caption, before the close button.
  RECT w{};
  GetWindowRect(Handle(), &w);
  const RECT window{0, 0, w.right - w.left, w.bottom - w.top};
  RECT caption{};
  painter->CalcFloatingCaptionRect(window, caption);
  if (ShowsCloseButton()) caption.right -= painter->GetSmallCaptionHeight();
  r = caption;
  r.left = std::max<LONG>(r.left, r.right - (r.bottom - r.top));
  painter->CalcMarkRect(this, r);
  const POINT o = NCOrigin(Handle());
  OffsetRect(&r, -o.x, -o.y);
}

RECT TdxBarControl::GetMarkScreenRect() {
  RECT r{};
  GetMarkRect(r);
  if (HandleAllocated() && !IsRectEmpty(&r)) {
    POINT o{0, 0};
    ::ClientToScreen(Handle(), &o);
    OffsetRect(&r, o.x, o.y);
  }
  return r;
}

RECT TdxBarControl::GetMarkRectInWindow() {
  RECT r{};
  GetMarkRect(r);
  if (HandleAllocated() && !IsRectEmpty(&r)) {
    const POINT o = NCOrigin(Handle());
    OffsetRect(&r, o.x, o.y);
  }
  return r;
}

void TdxBarControl::RepaintMark() {
  if (!HandleAllocated()) return;
  if (DockingStyle() == 0) {
    SendMessageA(Handle(), WM_NCPAINT, 1, 0);
    return;
  }
  GetPainter()->RepaintMark(this);
}

AnsiString TdxBarControl::GetMarkHint() { return "More Buttons"; }

void TdxBarControl::SetMarkState(int state) {
  if (IsCustomizing() || state == FMarkState) return;
  const int old = FMarkState;
  FMarkState = state;
  if (FMoreButtonsTimer) {
    if (HandleAllocated()) KillTimer(Handle(), FMoreButtonsTimer);
    FMoreButtonsTimer = 0;
  }
  if (state == 2) {
    // The links that did not fit, in a popup below or beside the mark.
    TdxBarControl* popup = CreateAsPopupBar(this);
    if (popup) {
      FQuickPopup = popup;
      FillHiddenLinksPopup(popup->ItemLinks());
      popup->ShowPopupAt(GetMarkScreenRect(), 1);
    }
  } else {
    if (FQuickPopup) {
      TdxBarControl* popup = FQuickPopup;
      FQuickPopup = nullptr;
      Free(popup->FPopupBar);
    }
    if (state == 1 && DockingStyle() == 0 && HandleAllocated())
      FMoreButtonsTimer = SetTimer(Handle(), kMoreButtonsTimer, kMoreButtonsInterval, nullptr);
  }
  EnsureFadingHelpers();
  if (CanFade() && FMarkFadingHelper && FMarkFadingHelper->AllowsFading()) {
    if (old == 1) GlobalFader()->StartFadeOut(FMarkFadingHelper);
    else if (old == 0) GlobalFader()->StartFadeIn(FMarkFadingHelper);
  }
  RepaintMark();
}

void TdxBarControl::StopMoreButtonsTimer() {
  if (!FMoreButtonsTimer) return;
  if (HandleAllocated()) KillTimer(Handle(), FMoreButtonsTimer);
  FMoreButtonsTimer = 0;
  if (FMarkState == 1) SetMarkState(0);
}

void TdxBarControl::ToggleMark(POINT client) {
  if (!IsMarkUsable()) return;
  RECT mark{};
  GetMarkRect(mark);
  if (!PtInRect(&mark, client)) return;
  SetMarkState(FMarkState == 2 ? 1 : 2);
}

void TdxBarControl::FillHiddenLinksPopup(TdxBarItemLinks* target) {
  TdxBarItemLinks* links = ItemLinks();
  if (!links || !target) return;
  std::vector<TdxBarItemLink*> hidden;
  for (int i = 0; i < links->DisplayableLinkCount(); ++i) {
    TdxBarItemLink* link = links->GetDisplayableLink(i);
    bool shown = false;
    for (int j = 0; j < links->ShownLinkCount() && !shown; ++j) shown = links->GetShownLink(j) == link;
    const RECT& r = link->ItemRect();
    if (!shown || (link->Control() && IsRectEmpty(&r))) hidden.push_back(link);
  }
  for (TdxBarItemLink* link : hidden)
    if (link->Item()) target->AddItem(link->Item());
}

// --- Popup bars -------------------------------------------------------------------------------

TdxBarControl* TdxBarControl::CreateAsPopupBar(TCustomdxBarControl* parent) {
  TdxBarManager* manager = parent ? parent->OwnerBarManager() : nullptr;
  if (!manager || !manager->Bars()) return nullptr;
  TdxBars* bars = manager->Bars();
  TdxBar* bar = bars->AddBar();
  bar->SetAllowQuickCustomizing(false);
  bar->SetShowMark(false);
  TdxBarControl* control = ForBar(bar);
  if (!control) {
    Free(bar);
    return nullptr;
  }
  control->FPopupBar = bar;
  control->SetParentBar(parent);
  return control;
}

void TdxBarControl::ShowPopupAt(const RECT& owner, int align) {
  FClosedByEscape = false;
  HandleNeeded();
  SIZE s{};
  CalcSizeForWidth(0, CalcMaxWidth(0), s);
  const TdxBarBorders b = BorderSizes();
  const SIZE size{s.cx + b.Left + b.Right, s.cy + b.Top + b.Bottom};
  MONITORINFO info{};
  info.cbSize = sizeof info;
  const POINT at{owner.left, owner.bottom};
  GetMonitorInfoA(MonitorFromPoint(at, MONITOR_DEFAULTTONEAREST), &info);
  const bool beside = ParentBar() && ParentBar()->IsVertical();
  const POINT p = dxBarPopupPlace(owner, size, beside, align, info.rcWork);
  SetWindowPos(Handle(), HWND_TOPMOST, p.x, p.y, size.cx, size.cy, SWP_NOACTIVATE | SWP_FRAMECHANGED);
  ShowWindow(Handle(), SW_SHOWNOACTIVATE);
  CalcLayout();
}

void TdxBarControl::CloseParentMark() {
  if (auto* parent = dynamic_cast<TdxBarControl*>(ParentBar())) {
    if (parent->FQuickPopup == this) parent->SetMarkState(0);
  }
}

void TdxBarControl::CloseUp() {
  DropFocusIfFocused();
  TCustomdxBarControl::CloseUp();
}

// --- MDI buttons and the close button ----------------------------------------------------------

bool TdxBarControl::HasMDIButtons() const {
  if (!IsMainMenu()) return false;
  const TdxBarMDIStandIn& mdi = dxBarMDIState();
  return mdi.ChildMaximized && mdi.ActiveChild && IsWindow(mdi.ActiveChild) &&
         (GetWindowLongA(mdi.ActiveChild, GWL_STYLE) & WS_SYSMENU);
}

bool TdxBarControl::HasMDIOrClose() const {
  if (HasMDIButtons()) return true;
  TdxBarManager* manager = OwnerBarManager();
  return IsMainMenu() && manager && manager->ShowCloseButton();
}

int TdxBarControl::MDIExtentAlong() {
  if (!HasMDIOrClose()) return 0;
  const int w = GetSystemMetrics(SM_CXMENUSIZE) - 2, h = GetSystemMetrics(SM_CYMENUSIZE) - 4;
  const int one = IsVertical() ? h : w;
  return HasMDIButtons() ? 3 * one + 2 : one;
}

int TdxBarControl::MDIExtentAcross() {
  if (!HasMDIOrClose()) return 0;
  return IsVertical() ? GetSystemMetrics(SM_CXMENUSIZE) - 2 : GetSystemMetrics(SM_CYMENUSIZE) - 4;
}

RECT TdxBarControl::MDIButtonRect(int index) {
  if (!HasMDIOrClose() || !HandleAllocated()) return RECT{};
  const bool vertical = IsVertical();
  const RECT client = ClientRect();
  int length = vertical ? client.bottom : client.right;
  if (DockingStyle() != 0 && HasMark()) length -= GetMarkSize();
  const int across = vertical ? client.right : client.bottom;
  const int mw = GetSystemMetrics(SM_CXMENUSIZE) - 2, mh = GetSystemMetrics(SM_CYMENUSIZE) - 4;
  const int bw = vertical ? mh : mw, bh = vertical ? mw : mh;
  const int total = MDIExtentAlong();
  int q = (across - bh) / 2;
  if (IsMultiLineLayout()) {
    // The band at the far side when no item of the last row reaches it,
    // else centred in the last row.
    TdxBarItemLinks* links = ItemLinks();
    const int n = links ? links->ShownLinkCount() : 0;
    bool free = true;
    int lastThickness = 0;
    for (int i = n - 1; i >= 0; --i) {
      const RECT& r = links->GetShownLink(i)->ItemRect();
      if (IsRectEmpty(&r)) continue;
      if (lastThickness == 0) lastThickness = vertical ? r.right - r.left : r.bottom - r.top;
      if (vertical ? r.left < bh : r.bottom > across - bh) free = false;
    }
    if (free) q = across - bh;
    else q = n > 0 ? across - (lastThickness - bh) / 2 - bh : (across - bh) / 2;
  }
  int p = 0;
  if (HasMDIButtons()) {
    p = length - total + index * bw;
    if (index == 2) p += 2;
  } else {
    p = length - bw;
  }
  if (!vertical) return RECT{p, q, p + bw, q + bh};
  return RECT{across - (q + bh), p, across - q, p + bw};
}

bool TdxBarControl::IsMDIButtonEnabled(int index, UINT mask) {
  if (index == 1) return true;
  if (index == 2 && !HasMDIButtons()) return true;
  HWND child = dxBarMDIState().ActiveChild;
  HMENU menu = child ? GetSystemMenu(child, FALSE) : nullptr;
  if (!menu) return false;
  const UINT state = GetMenuState(menu, static_cast<UINT>(kMDICommands[index]), MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & mask) == 0;
}

void TdxBarControl::DrawMDIButtons(HDC dc, int mask, bool exclude) {
  TdxBarPainter* painter = GetPainter();
  const TdxBarMDIButtonState& st = dxBarMDIButtons();
  for (int i = 0; i < 3; ++i) {
    if (!(mask & (1 << i))) continue;
    const RECT r = MDIButtonRect(i);
    TdxFadingObjectHelper* helper = FMDIFadingHelpers[i];
    if (helper && !helper->HasNoFadingElement()) {
      helper->DrawFadingStep(dc, r);
    } else {
      int state = 0;
      if (!IsMDIButtonEnabled(i, MF_GRAYED)) state = 1;
      else if (st.Pressed && st.PressedIndex == i) state = st.Hot && st.HotIndex == i ? 4 : 3;
      else if (st.Hot && st.HotIndex == i) state = 2;
      painter->DrawMDIButton(this, i, state, dc, r);
    }
    if (exclude) ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
  }
}

void TdxBarControl::RedrawMDIButtons() {
  if (!HandleAllocated() || !HasMDIOrClose()) return;
  HDC dc = GetDC(Handle());
  DrawMDIButtons(dc, HasMDIButtons() ? 7 : 4, false);
  ReleaseDC(Handle(), dc);
}

bool TdxBarControl::CanFade() const { return GetPainter()->SupportsFadingInterface() && GlobalFader(); }

void TdxBarControl::EnsureFadingHelpers() {
  if (!FMarkFadingHelper) FMarkFadingHelper = new TdxBarControlMarkFadingHelper(this);
  for (int i = 0; i < 3; ++i)
    if (!FMDIFadingHelpers[i]) FMDIFadingHelpers[i] = new TdxBarControlMDIButtonFadingHelper(this, i);
}

bool TdxBarControl::ShowsCloseButton() const { return DockingStyle() == 0 && FBar && FBar->CanClose(); }

RECT TdxBarControl::GetCloseButtonRect() {
  if (!ShowsCloseButton() || !HandleAllocated()) return RECT{};
  TdxBarPainter* painter = GetPainter();
  RECT w{};
  GetWindowRect(Handle(), &w);
  const RECT window{0, 0, w.right - w.left, w.bottom - w.top};
  RECT caption{};
  painter->CalcFloatingCaptionRect(window, caption);
  const int cell = painter->GetSmallCaptionHeight();
  const SIZE button = painter->GetCaptionButtonSize();
  RECT r{caption.right - cell, caption.top, caption.right, caption.bottom};
  r.left += (r.right - r.left - button.cx) / 2;
  r.top += (r.bottom - r.top - button.cy) / 2;
  r.right = r.left + button.cx;
  r.bottom = r.top + button.cy;
  const POINT o = NCOrigin(Handle());
  OffsetRect(&r, -o.x, -o.y);
  return r;
}

void TdxBarControl::SetCloseButtonState(int state) {
  if (state == FCloseButtonState) return;
  FCloseButtonState = state;
  if (!HandleAllocated()) return;
  HDC dc = GetWindowDC(Handle());
  RECT r = GetCloseButtonRect();
  const POINT o = NCOrigin(Handle());
  OffsetRect(&r, o.x, o.y);
  GetPainter()->DrawCloseButton(this, dc, r);
  ReleaseDC(Handle(), dc);
}

// --- Mouse ---------------------------------------------------------------------------------------

void TdxBarControl::MouseDownOn(TMouseButton button, TShiftState shift, bool client, TdxBarItemControl* control,
                                POINT point) {
  if (button == mbLeft && !IsCustomizing() && HasMDIOrClose()) {
    for (int i = HasMDIButtons() ? 0 : 2; i < 3; ++i) {
      const RECT r = MDIButtonRect(i);
      if (IsMDIButtonEnabled(i, MF_GRAYED | MF_DISABLED) && PtInRect(&r, point)) {
        TdxBarMDIButtonState& st = dxBarMDIButtons();
        st.Pressed = st.Hot = true;
        st.PressedIndex = st.HotIndex = i;
        RedrawMDIButtons();
        SetCapture(Handle());
        return;
      }
    }
  }
  if (button == mbLeft && !IsCustomizing() && IsMarkUsable()) {
    RECT mark{};
    GetMarkRect(mark);
    if (PtInRect(&mark, point)) {
      ToggleMark(point);
      return;
    }
  }
  TCustomdxBarControl::MouseDownOn(button, shift, client, control, point);
}

void TdxBarControl::MouseMoveOn(TShiftState shift, POINT point, TdxBarItemControl* control) {
  TdxBarMDIButtonState& st = dxBarMDIButtons();
  if (HasMDIOrClose()) {
    if (st.Pressed) {
      const RECT r = MDIButtonRect(st.PressedIndex);
      const bool hot = PtInRect(&r, point) != FALSE;
      if (hot != st.Hot) {
        st.Hot = hot;
        RedrawMDIButtons();
      }
      return;
    }
    int hotIndex = -1;
    for (int i = HasMDIButtons() ? 0 : 2; i < 3 && hotIndex < 0; ++i) {
      const RECT r = MDIButtonRect(i);
      if (IsMDIButtonEnabled(i, MF_GRAYED) && PtInRect(&r, point)) hotIndex = i;
    }
    const bool hot = hotIndex >= 0;
    if (hot != st.Hot || (hot && hotIndex != st.HotIndex)) {
      EnsureFadingHelpers();
      if (st.Hot && st.HotIndex >= 0 && CanFade() && FMDIFadingHelpers[st.HotIndex]->AllowsFading())
        GlobalFader()->StartFadeOut(FMDIFadingHelpers[st.HotIndex]);
      if (hot && CanFade() && FMDIFadingHelpers[hotIndex]->AllowsFading())
        GlobalFader()->StartFadeIn(FMDIFadingHelpers[hotIndex]);
      st.Hot = hot;
      st.HotIndex = hotIndex;
      RedrawMDIButtons();
    }
  }
  const bool free = !FocusedBarControl() && !IsMouseIgnored(true);
  bool onMark = false;
  if (free && GetPainter()->AllowsQuickCustomizing() && HasMark() && FMarkState != 2) {
    RECT mark{};
    GetMarkRect(mark);
    onMark = PtInRect(&mark, point) != FALSE;
    if (onMark) SetMarkState(1);
  }
  if (free && ShowsCloseButton() && GetPainter()->UsesMenuItemBrush()) {
    const RECT close = GetCloseButtonRect();
    SetCloseButtonState(PtInRect(&close, point) ? 1 : 0);
  }
  TBarControlLink guard(this);
  TCustomdxBarControl::MouseMoveOn(shift, point, control);
  if (!guard.Alive()) return;
  if (free && !onMark && FMarkState == 1) SetMarkState(0);
}

void TdxBarControl::MouseLeaveBar() {
  if (!IsActive()) {
    SetCloseButtonState(0);
    TdxBarMDIButtonState& st = dxBarMDIButtons();
    if (HasMDIOrClose() && st.Hot && !st.Pressed) {
      st.Hot = false;
      RedrawMDIButtons();
    }
  }
  // A floating toolbar's hot mark waits for its poll.
  if (DockingStyle() == 0 && FMoreButtonsTimer && FMarkState == 1) {
    const int keep = FMarkState;
    FMarkState = 0;
    TCustomdxBarControl::MouseLeaveBar();
    FMarkState = keep;
    return;
  }
  TCustomdxBarControl::MouseLeaveBar();
}

bool TdxBarControl::MDIButtonMessage(TMessage& Message) {
  TdxBarMDIButtonState& st = dxBarMDIButtons();
  switch (Message.Msg) {
    case WM_TIMER:
      if (Message.WParam != kMoreButtonsTimer) return false;
      {
        POINT cursor{};
        GetCursorPos(&cursor);
        const RECT mark = GetMarkScreenRect();
        if (!(IsWindowVisible(Handle()) && PtInRect(&mark, cursor))) StopMoreButtonsTimer();
      }
      Message.Result = 0;
      return true;
    case WM_LBUTTONUP: {
      if (!st.Pressed || !HasMDIOrClose()) return false;
      const POINT point{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
      const int index = st.PressedIndex;
      const RECT r = MDIButtonRect(index);
      const bool on = PtInRect(&r, point) != FALSE;
      if (GetCapture() == Handle()) ReleaseCapture();
      st.Pressed = st.Hot = false;
      st.PressedIndex = st.HotIndex = -1;
      RedrawMDIButtons();
      if (on) {
        if (HasMDIButtons()) {
          SendMessageA(dxBarMDIState().ActiveChild, WM_SYSCOMMAND, kMDICommands[index], 0);
        } else if (TdxBarManager* manager = OwnerBarManager(); manager && manager->OnMainMenuClose) {
          manager->OnMainMenuClose(manager);
        }
      }
      Message.Result = 0;
      return true;
    }
    case WM_CANCELMODE:
      if (st.Pressed || st.Hot) {
        if (GetCapture() == Handle()) ReleaseCapture();
        st.Pressed = st.Hot = false;
        st.PressedIndex = st.HotIndex = -1;
        RedrawMDIButtons();
      }
      return false;
    default: return false;
  }
}

void TdxBarControl::TrackCloseButton() {
  if (!HandleAllocated() || !ShowsCloseButton()) return;
  TBarControlLink guard(this);
  const RECT close = GetCloseButtonRect();
  SetCloseButtonState(2);
  SetCapture(Handle());
  bool clicked = false;
  bool on = true;
  MSG msg{};
  while (GetCapture() == Handle()) {
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got == -1) break;
    if (msg.hwnd == Handle() && (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONUP)) {
      const POINT p{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
      on = PtInRect(&close, p) != FALSE;
      if (msg.message == WM_LBUTTONUP) {
        clicked = on;
        break;
      }
      SetCloseButtonState(on ? 2 : 1);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    if (!guard.Alive()) return;
  }
  if (!guard.Alive()) return;
  if (GetCapture() == Handle()) ReleaseCapture();
  SetCloseButtonState(clicked ? 1 : 0);
  if (!clicked || !FBar) return;
  FBar->SetVisible(false);
  if (guard.Alive() && HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
}
