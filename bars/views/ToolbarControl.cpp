// The toolbar window: sizes for the dock layout, docked and floating
// windows, the drag area and the interactive move.
#include <algorithm>
#include <climits>

#include "bars/model/BarCanvas.h"
#include "bars/model/BarGlobals.h"
#include "bars/model/BarManager.h"
#include "bars/model/Bars.h"
#include "bars/views/BarControl.h"
#include "bars/views/BarPainter.h"
#include "bars/views/DockControl.h"
#include "bars/views/BarFading.h"
#include "bars/views/ItemControl.h"

namespace {
bool VerticalStyle(int style) { return style == 1 || style == 3; }
bool DockedHorizontal(int style) { return style == 2 || style == 4; }
// The smallest floating toolbar.
constexpr int kMinFloatingWidth = 51;
// A floating toolbar's top edge never goes further above the screen.
constexpr int kTopLimit = -15;
}  // namespace

TdxBarControl::~TdxBarControl() {
  if (HandleAllocated() && FMoreButtonsTimer) KillTimer(Handle(), FMoreButtonsTimer);
  FMoreButtonsTimer = 0;
  if (FQuickPopup) {
    TdxBarControl* popup = FQuickPopup;
    FQuickPopup = nullptr;
    Free(popup->FPopupBar);
  }
  if (auto* parent = dynamic_cast<TdxBarControl*>(ParentBar()); parent && parent->FQuickPopup == this)
    parent->FQuickPopup = nullptr;
  delete FMarkFadingHelper;
  FMarkFadingHelper = nullptr;
  for (TdxFadingObjectHelper*& helper : FMDIFadingHelpers) {
    delete helper;
    helper = nullptr;
  }
  if (FDock) {
    TdxDockControl* dock = FDock;
    FDock = nullptr;
    dock->RemoveBarControl(this, !dock->IsDestroying());
  }
}

TdxBarControl* TdxBarControl::ForBar(TdxBar* bar) {
  if (!bar || !bar->ItemLinks()) return nullptr;
  TdxBarItemLinks* links = bar->ItemLinks();
  if (!links->BarControl()) links->AttachBarControl();
  return dynamic_cast<TdxBarControl*>(links->BarControl());
}

void TdxBarControl::ForgetDock(TdxDockControl* dock) {
  if (FDock != dock) return;
  FDock = nullptr;
  if (HandleAllocated() && !IsDestroying()) DestroyHandle();
  SetParent(nullptr);
}

bool TdxBarControl::IsMainMenu() const { return FBar && FBar->IsMainMenu(); }

bool TdxBarControl::CanDock() const { return FBar && FBar->IsDockable(); }

bool TdxBarControl::IsTextRotated() const { return IsVertical() && (!FBar || FBar->RotateWhenVertical()); }

void TdxBarControl::SetDockingStyle(int style) {
  if (style != DockingStyle()) FTruncated = false;
  TCustomdxBarControl::SetDockingStyle(style);
}

bool TdxBarControl::IsMultiLineLayout() const { return DockingStyle() == 0 || (FBar && FBar->MultiLine()); }

TdxBarBorders TdxBarControl::BorderSizes() {
  TdxBarBorders b;
  GetPainter()->GetBarBorderSizes(this, DockingStyle(), false, b);
  return b;
}

void TdxBarControl::ShowAllLinks() {
  if (ItemLinks() && ItemLinks()->ShownLimit() != -1) ItemLinks()->SetShownLimit(-1);
}

// --- Measuring -----------------------------------------------------------------------------

// An item's extent along the toolbar (`along`) or across it. A vertical
// toolbar's items are rotated: their height runs along it.
// The extent along stays along in every docking style.
int TdxBarControl::Along(int, TdxBarItemControl* control, bool along) {
  if (!control) return 0;
  if (IsVertical()) along = !along;
  return along ? control->CalcWidth() : control->CalcHeight();
}

SIZE TdxBarControl::Flow(int style, int length, bool multiLine, bool place, const RECT& area) {
  TdxBarItemLinks* links = ItemLinks();
  const int n = links ? links->ShownLinkCount() : 0;
  if (n == 0) {
    const int empty = std::max(TextSize(), 16) + 6;
    return SIZE{empty, empty};
  }
  struct TExtent {
    int AlongSize, AcrossSize, Separator;
    bool Group;
  };
  std::vector<TExtent> e(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) {
    TdxBarItemLink* link = links->GetShownLink(i);
    TdxBarItemControl* control = link->Control();
    e[static_cast<size_t>(i)] = {Along(style, control, true), Along(style, control, false), SeparatorBefore(link),
                                 i == 0 || link->BeginGroup()};
  }
  const bool vertical = VerticalStyle(style);
  int pos = 0, line = 0, thick = 0, longest = 0;
  std::vector<std::pair<int, int>> pending;  // index, place along
  auto flush = [&] {
    if (place)
      for (auto [i, at] : pending) {
        const TExtent& x = e[static_cast<size_t>(i)];
        RECT r = vertical ? RECT{line, at, line + thick, at + x.AlongSize} : RECT{at, line, at + x.AlongSize, line + thick};
        OffsetRect(&r, area.left, area.top);
        links->GetShownLink(i)->StoreItemBounds(r);
      }
    longest = std::max(longest, pos);
    line += thick;
    thick = 0;
    pos = 0;
    pending.clear();
  };
  bool longGroupBefore = false;
  bool cut = false;
  for (int i = 0; i < n; ++i) {
    const TExtent& x = e[static_cast<size_t>(i)];
    if (multiLine && x.Group && i > 0) {
      // A group goes whole to the next row when it does not fit at the end
      // of this one; the group after one that needed rows of its own starts
      // a row too.
      int group = x.AlongSize;
      for (int j = i + 1; j < n && !e[static_cast<size_t>(j)].Group; ++j) group += e[static_cast<size_t>(j)].AlongSize;
      if (pos > 0 && (longGroupBefore || pos + x.Separator + group > length)) flush();
      longGroupBefore = group > length;
    }
    int separator = pos > 0 ? x.Separator : 0;
    if (pos > 0 && pos + separator + x.AlongSize > length) {
      if (!multiLine) {
        cut = true;
        break;
      }
      flush();
      separator = 0;
    }
    pending.emplace_back(i, pos + separator);
    pos += separator + x.AlongSize;
    thick = std::max(thick, x.AcrossSize);
  }
  if (!pending.empty()) flush();
  if (place && !multiLine && DockingStyle() != 0 && cut) FTruncated = true;
  FFlowCut = cut;
  return SIZE{longest, line};
}

int TdxBarControl::CalcMinWidth(int style) {
  const RECT none{};
  int result = 0;
  if (VerticalStyle(style) || style == 0 || IsMultiLineLayout()) {
    TdxBarItemLinks* links = ItemLinks();
    const int n = links ? links->ShownLinkCount() : 0;
    for (int i = 0; i < n; ++i)
      result = std::max(result, Along(style, links->GetShownLink(i)->Control(), !VerticalStyle(style)));
    if (n == 0) result = Flow(style, INT_MAX, false, false, none).cx;
    if (style == 0) {
      const int close = FBar && FBar->CanClose() ? GetPainter()->GetCaptionButtonSize().cx : 0;
      result = std::max(result, std::max(GetMarkSize() + close, kMinFloatingWidth));
    }
  } else {
    TdxBarItemLinks* links = ItemLinks();
    result = links && links->ShownLinkCount() > 0 ? Along(style, links->GetShownLink(0)->Control(), true)
                                                  : Flow(style, INT_MAX, false, false, none).cx;
    if (DockedHorizontal(style)) result += GetMarkSize();
  }
  return result;
}

int TdxBarControl::CalcMinHeight(int style) {
  const RECT none{};
  int result = 0;
  TdxBarItemLinks* links = ItemLinks();
  const int n = links ? links->ShownLinkCount() : 0;
  if (DockedHorizontal(style) || style == 0 || IsMultiLineLayout()) {
    for (int i = 0; i < n; ++i) result = std::max(result, Along(style, links->GetShownLink(i)->Control(), false));
    if (n == 0) result = Flow(style, INT_MAX, false, false, none).cy;
  } else {
    result = n > 0 ? Along(style, links->GetShownLink(0)->Control(), true) : Flow(style, INT_MAX, false, false, none).cx;
    if (VerticalStyle(style)) result += GetMarkSize();
  }
  return result;
}

int TdxBarControl::CalcMaxWidth(int style) {
  const RECT none{};
  int result = 0;
  if (DockedHorizontal(style) || style == 0 || IsMultiLineLayout()) {
    ShowAllLinks();
    result = Flow(style, INT_MAX, false, false, none).cx;
    if (DockedHorizontal(style)) result += GetMarkSize();
  } else {
    result = Flow(style, INT_MAX, false, false, none).cy;
  }
  return std::max(result, CalcMinWidth(style));
}

int TdxBarControl::CalcMaxHeight(int style) {
  const RECT none{};
  int result = 0;
  if (VerticalStyle(style)) {
    ShowAllLinks();
    result = Flow(style, INT_MAX, false, false, none).cx + GetMarkSize();
  } else if (style == 0 || IsMultiLineLayout()) {
    // One link on every row.
    result = Flow(style, 0, true, false, none).cy;
  } else {
    result = Flow(style, INT_MAX, false, false, none).cy;
  }
  return std::max(result, CalcMinHeight(style));
}

void TdxBarControl::CalcSizeForWidth(int style, int width, SIZE& size) {
  const RECT none{};
  if (VerticalStyle(style)) {
    size = SIZE{CalcMinWidth(style), CalcMaxHeight(style)};
    return;
  }
  if (style == 0 || IsMultiLineLayout()) {
    const int minWidth = CalcMinWidth(style);
    const SIZE flow = Flow(style, std::max(width, minWidth), true, false, none);
    size = SIZE{std::max<LONG>(flow.cx, minWidth), std::max<LONG>(flow.cy, CalcMinHeight(style))};
    return;
  }
  size = SIZE{CalcMinWidth(style), CalcMinHeight(style)};
  const int mdi = MDIExtentAlong();
  const int mark = GetMarkSize();
  ShowAllLinks();
  TdxBarItemLinks* links = ItemLinks();
  const int available = std::max<int>(width, size.cx) - mdi - mark;
  if (links && links->ShownLinkCount() > 0 && links->RecentTrackingOn() && !ComponentState().Contains(csDesigning)) {
    // The most recently used links that fit.
    const int n = links->ShownLinkCount();
    int fitted = 1;
    for (int k = 1; k <= n; ++k) {
      links->SetShownLimit(k);
      Flow(style, available, false, false, none);
      if (FFlowCut) break;
      fitted = k;
    }
    links->SetShownLimit(fitted >= n ? -1 : fitted);
  }
  const SIZE flow = Flow(style, available, false, false, none);
  size.cx = std::max<LONG>(size.cx, flow.cx + mark) + mdi;
  size.cy = std::max<LONG>(flow.cy, MDIExtentAcross());
}

void TdxBarControl::CalcSizeForHeight(int style, int height, SIZE& size) {
  const RECT none{};
  if (VerticalStyle(style)) {
    const SIZE flow = Flow(style, height, IsMultiLineLayout(), false, none);
    size = SIZE{flow.cy, std::max<LONG>(flow.cx, CalcMinHeight(style))};
    return;
  }
  // The narrowest wrapping whose height fits.
  const int low = CalcMinWidth(style), high = CalcMaxWidth(style);
  CalcSizeForWidth(style, high, size);
  for (int w = low; w <= high; ++w) {
    SIZE s{};
    CalcSizeForWidth(style, w, s);
    if (s.cy <= height) {
      size = s;
      return;
    }
  }
}

// --- Layout in the window --------------------------------------------------------------------

void TdxBarControl::CalcLayout() {
  CalcItemsRect();
  if (DockingStyle() != 0 && HasMark()) {
    RECT mark{};
    GetMarkRect(mark);
    if (IsVertical())
      FItemsRect.bottom = std::max(FItemsRect.top, mark.top);
    else
      FItemsRect.right = std::max(FItemsRect.left, mark.left);
  }
  CalcVisibleArea(IsVertical() ? 2 : 0, 0);
  RebuildViewInfo();
}

void TdxBarControl::PlaceItems() {
  const RECT& v = VisibleItemsRect();
  const int length = (IsVertical() ? v.bottom - v.top : v.right - v.left) - MDIExtentAlong();
  Flow(DockingStyle(), length, IsMultiLineLayout(), true, v);
}

void TdxBarControl::ApplyNewBounds() {
  if (NewLeft != Left() || NewTop != Top() || NewWidth != Width() || NewHeight != Height()) {
    if (HandleAllocated())
      SetWindowPos(Handle(), nullptr, NewLeft, NewTop, NewWidth, NewHeight, SWP_NOACTIVATE | SWP_NOZORDER);
    else
      SetBounds(NewLeft, NewTop, NewWidth, NewHeight);
  }
  if (HandleAllocated()) {
    CalcLayout();
    Invalidate();
  }
}

void TdxBarControl::RecalcFrame() {
  if (HandleAllocated()) SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, 0x37);
}

// --- Docking and floating ----------------------------------------------------------------------

void TdxBarControl::CreateParams(TCreateParams& Params) {
  TCustomdxBarControl::CreateParams(Params);
  Params.WindowClass.style |= CS_DBLCLKS;
  if (DockingStyle() != 0 && FDock) {
    Params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    Params.ExStyle = 0;
  } else {
    Params.Style = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    Params.ExStyle = WS_EX_TOOLWINDOW;
    TdxBarManager* manager = OwnerBarManager();
    TWinControl* owner = manager ? manager->OwnerControl() : nullptr;
    Params.WndParent = owner && owner->HandleAllocated() ? owner->Handle() : nullptr;
  }
}

POINT TdxBarControl::GripOffsetFor(TdxBarDockingStyle target) {
  if (!FMoving || FGripX.y <= 0 || FGripY.y <= 0) return POINT{0, 0};
  const int style = static_cast<int>(target);
  int w = 0, h = 0;
  if (style == 0) {
    SIZE s{};
    CalcSizeForWidth(0, CalcMaxWidth(0), s);
    TdxBarBorders b;
    GetPainter()->GetBarBorderSizes(this, 0, false, b);
    w = s.cx + b.Left + b.Right;
    h = s.cy + b.Top + b.Bottom;
  } else {
    TdxBarBorders b;
    GetPainter()->GetBarBorderSizes(this, style, false, b);
    w = CalcMaxWidth(style) + b.Left + b.Right;
    h = CalcMaxHeight(style) + b.Top + b.Bottom;
  }
  // The mouse keeps its relative place along and across the toolbar, also
  // when it turns to the other orientation.
  const bool wasVertical = VerticalStyle(FMoveStartStyle);
  const bool nowVertical = VerticalStyle(style);
  POINT along = wasVertical ? FGripY : FGripX, across = wasVertical ? FGripX : FGripY;
  const int alongNow = nowVertical ? h : w, acrossNow = nowVertical ? w : h;
  const int a = MulDiv(along.x, alongNow, along.y), c = MulDiv(across.x, acrossNow, across.y);
  return nowVertical ? POINT{c, a} : POINT{a, c};
}

void TdxBarControl::MoveToDock(int style, TdxDockControl* dock, POINT point) {
  if (!dock) style = 0;
  if (style != 0 && dock == FDock && style == DockingStyle() && HandleAllocated()) {
    dock->MoveBarTo(this, point);
    StorePositionInBar();
    return;
  }
  if (FDock) {
    // Where a double click docks it again.
    FLastDock = FDock;
    FLastDockedStyle = DockingStyle();
    TdxDockControl* old = FDock;
    FDock = nullptr;
    old->RemoveBarControl(this, true);
  }
  if (HandleAllocated()) DestroyHandle();
  SetDockingStyle(style);
  FDock = style != 0 ? dock : nullptr;
  if (FDock) {
    SetParent(FDock);
    HandleNeeded();
    FDock->InsertBarAt(this, point, true);
    ShowWindow(Handle(), SW_SHOWNA);
  } else {
    SetParent(nullptr);
    const POINT grip = GripOffsetFor(dsNone);
    HandleNeeded();
    SIZE s{};
    CalcSizeForWidth(0, CalcMaxWidth(0), s);
    const TdxBarBorders b = BorderSizes();
    SetWindowPos(Handle(), HWND_TOP, point.x - grip.x, point.y - grip.y, s.cx + b.Left + b.Right,
                 s.cy + b.Top + b.Bottom, SWP_NOACTIVATE | SWP_SHOWWINDOW | SWP_FRAMECHANGED);
    CalcLayout();
  }
  StorePositionInBar();
}

void TdxBarControl::StorePositionInBar() {
  if (!FBar || IsLocked()) return;
  FBar->SetDockingStyle(static_cast<TdxBarDockingStyle>(DockingStyle()));
  if (DockingStyle() != 0) {
    FBar->SetDockedLeft(Left());
    FBar->SetDockedTop(Top());
    int row = 0, column = 0;
    if (FDock && FDock->FindControl(this, row, column)) FBar->SetRow(row);
  } else if (HandleAllocated()) {
    RECT r{};
    GetWindowRect(Handle(), &r);
    FBar->SetFloatLeft(r.left);
    FBar->SetFloatTop(r.top);
  }
}

void TdxBarControl::ToggleDocking() {
  TdxBarManager* manager = OwnerBarManager();
  if (!manager || !FBar) return;
  if (DockingStyle() != 0) {
    if (!manager->DoDocking(FBar, dsNone, nullptr)) return;
    RECT r{};
    GetWindowRect(Handle(), &r);
    const POINT at{FBar->FloatLeft() ? FBar->FloatLeft() : r.left, FBar->FloatTop() ? FBar->FloatTop() : r.top};
    MoveToDock(0, nullptr, at);
    return;
  }
  TdxDockControl* dock = nullptr;
  int style = FLastDockedStyle;
  for (int i = 0; i < manager->DockControlCount(); ++i)
    if (manager->DockControlAt(i) == FLastDock) dock = FLastDock;
  if (!dock) {
    // Never docked: a new last row of the top dock.
    for (int i = 0; i < manager->DockControlCount(); ++i)
      if (manager->DockControlAt(i)->StoredDockingStyle() == dsTop) dock = manager->DockControlAt(i);
    style = 2;
  }
  if (!dock || !manager->DoDocking(FBar, static_cast<TdxBarDockingStyle>(style), dock)) return;
  POINT at{0, 0};
  if (dock->HandleAllocated()) {
    at = POINT{FBar->DockedLeft(), 0};
    int low = 0, high = 0;
    dock->ZoneRange(dock->RowCount(), 0, low, high);
    if (dock->IsHorizontalDock()) at.y = low; else at = POINT{low, FBar->DockedTop()};
    ::ClientToScreen(dock->Handle(), &at);
  }
  MoveToDock(style, dock, at);
}

void TdxBarControl::BeginMove(POINT cursor) {
  TdxBarManager* manager = OwnerBarManager();
  if (!manager || !FBar || !manager->Bars() || FInMove || !CanDock()) return;
  TWinControl* owner = manager->OwnerControl();
  if (!owner || !owner->HandleAllocated()) return;
  RECT w{};
  GetWindowRect(Handle(), &w);
  FGripX = POINT{cursor.x - w.left, w.right - w.left};
  FGripY = POINT{cursor.y - w.top, w.bottom - w.top};
  FMoveStartStyle = DockingStyle();
  FMoving = true;
  FInMove = true;
  TdxBars* bars = manager->Bars();
  bars->SetGrabOffset(POINT{0, 0});
  TEvent<void(POINT)> moveTo;
  moveTo = TEvent<void(POINT)>::Lambda([this, manager, bars, &moveTo](POINT p) {
    std::vector<TdxBarDockCandidate> candidates;
    std::vector<TdxDockControl*> docks;
    for (int i = 0; i < manager->DockControlCount(); ++i) {
      TdxDockControl* dock = manager->DockControlAt(i);
      if (!dock->HandleAllocated() || !dock->Showing()) continue;
      TdxBarDockCandidate c;
      c.Style = dock->DockingStyle();
      c.Window = dock->Handle();
      c.DockingZone = dock->GetDockingZoneRect();
      c.CanTakeIt = dock->AllowsDocking(FBar) && manager->DoDocking(FBar, c.Style, dock);
      candidates.push_back(c);
      docks.push_back(dock);
    }
    TdxBars::SetMovedWindow(DockingStyle() == 0 && HandleAllocated() ? Handle() : nullptr);
    const TdxBarDockCandidate* target = bars->FindDockTarget(candidates, p);
    TdxBars::SetMovedWindow(nullptr);
    if (target && DockingStyle() == 0 && !bars->DockingTimerFiring()) {
      // A floating toolbar docks once the mouse rested over the dock for
      // the docking wait; until then it floats on.
      bars->StartDockingTimer(static_cast<unsigned>(std::max(0, manager->WaitForDockingTime())), moveTo);
      target = nullptr;
    }
    if (target) {
      TdxDockControl* dock = docks[static_cast<size_t>(target - candidates.data())];
      MoveToDock(static_cast<int>(target->Style), dock, p);
    } else if (DockingStyle() != 0) {
      MoveToDock(0, nullptr, p);
    } else {
      const POINT grip = GripOffsetFor(dsNone);
      SetWindowPos(Handle(), nullptr, p.x - grip.x, p.y - grip.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
  });
  try {
    bars->TrackBarMove(FBar, owner->Handle(), moveTo);
  } catch (...) {
    FMoving = false;
    FInMove = false;
    throw;
  }
  FMoving = false;
  FInMove = false;
  if (FDock) FDock->UpdateLayout();
  StorePositionInBar();
}

// --- Non-client area, painting and messages ------------------------------------------------------

int TdxBarControl::HitTest(POINT screen, int windows) {
  POINT client = screen;
  ::ScreenToClient(Handle(), &client);
  TdxBarItemControl* control = ItemControlAtPoint(client);
  RECT mark{};
  GetMarkRect(mark);
  // On a shown MDI or close button.
  bool onButton = false;
  if (HasMDIOrClose())
    for (int i = HasMDIButtons() ? 0 : 2; i < 3 && !onButton; ++i) {
      const RECT r = MDIButtonRect(i);
      onButton = PtInRect(&r, client) != FALSE;
    }
  if (DockingStyle() != 0) {
    if (windows == HTCLIENT && control) {
      FHitTest = HTCLIENT;
      return HTCLIENT;
    }
    if (windows != HTCLIENT && windows != HTNOWHERE) {
      FHitTest = windows;
      return HTCLIENT;
    }
    const bool before = IsVertical() ? client.y < 0 : client.x < 0;
    if (!before && (onButton || (HasMark() && PtInRect(&mark, client)))) {
      FHitTest = 0;
      return windows;
    }
    FHitTest = HTCAPTION;
    return HTCLIENT;
  }
  RECT w{};
  GetWindowRect(Handle(), &w);
  TdxBarPainter* painter = GetPainter();
  const int fw = painter->GetFloatingFrameWidth(), fh = painter->GetFloatingFrameHeight();
  struct TStrip {
    RECT R;
    int Code;
  } strips[] = {{{w.left, w.top, w.right, w.top + fh}, HTTOP},
                {{w.right - fw, w.top, w.right, w.bottom}, HTRIGHT},
                {{w.left, w.bottom - fh, w.right, w.bottom}, HTBOTTOM},
                {{w.left, w.top, w.left + fw, w.bottom}, HTLEFT}};
  if (windows != HTCLIENT)
    for (const TStrip& s : strips)
      if (PtInRect(&s.R, screen)) {
        FHitTest = s.Code;
        return s.Code;
      }
  if (windows == HTCLIENT) {
    FHitTest = control || onButton ? HTCLIENT : HTCAPTION;
    return HTCLIENT;
  }
  if (!IsCustomizing() && HasMark() && PtInRect(&mark, client)) {
    FHitTest = HTCLIENT;
    return HTCLIENT;
  }
  const RECT close = GetCloseButtonRect();
  if (PtInRect(&close, client)) {
    if (painter->UsesSystemCloseButton()) {
      FHitTest = HTCLIENT;
      return HTCLOSE;
    }
    FHitTest = HTCLOSE;
    return HTCLIENT;
  }
  FHitTest = HTCAPTION;
  return HTCLIENT;
}

void TdxBarControl::PaintNonClient() {
  HDC dc = GetWindowDC(Handle());
  if (!dc) return;
  RECT w{};
  GetWindowRect(Handle(), &w);
  RECT r{0, 0, w.right - w.left, w.bottom - w.top};
  const TdxBarBorders b = BorderSizes();
  ExcludeClipRect(dc, b.Left, b.Top, r.right - b.Right, r.bottom - b.Bottom);
  TdxBarPainter* painter = GetPainter();
  HBRUSH brush = painter->GetBarBrush(this);
  FillRect(dc, &r, brush);
  if (DockingStyle() != 0) {
    painter->DrawDockedBarFrame(this, dc, r, brush);
  } else {
    RECT inner = r;
    painter->DrawFloatingBarFrame(this, dc, inner, r, brush);
    RECT caption{};
    painter->CalcFloatingCaptionRect(r, caption);
    painter->FillBarCaption(this, dc, caption, brush);
    if (FBar) {
      SetBkMode(dc, TRANSPARENT);
      SetTextColor(dc, ColorToRGB(painter->GetFloatingCaptionTextColor(this)));
      HGDIOBJ old = SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
      RECT text = caption;
      text.left += 3;
      const RECT mark = GetMarkRectInWindow();
      if (!IsRectEmpty(&mark)) text.right = std::min(text.right, mark.left);
      if (ShowsCloseButton()) text.right = std::min<LONG>(text.right, caption.right - painter->GetSmallCaptionHeight());
      DrawTextA(dc, FBar->Caption().c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
      SelectObject(dc, old);
    }
    const RECT mark = GetMarkRectInWindow();
    if (!IsRectEmpty(&mark)) painter->DrawCaptionMarkButton(this, dc, mark);
    if (ShowsCloseButton()) {
      RECT close = GetCloseButtonRect();
      const POINT o{b.Left, b.Top};
      OffsetRect(&close, o.x, o.y);
      painter->DrawCloseButton(this, dc, close);
    }
  }
  ReleaseDC(Handle(), dc);
}

void TdxBarControl::Paint() {
  TCustomdxBarControl::Paint();
  if (HasMDIOrClose()) DrawMDIButtons(Canvas()->Handle(), HasMDIButtons() ? 7 : 4, true);
  if (DockingStyle() != 0 && HasMark()) {
    RECT mark{};
    GetMarkRect(mark);
    GetPainter()->DrawMarkArea(this, Canvas()->Handle(), mark, GetPainter()->GetBarBrush(this));
  }
}

void TdxBarControl::WndProc(TMessage& Message) {
  try {
    if (MDIButtonMessage(Message)) return;
    switch (Message.Msg) {
      case WM_DESTROY:
        if (FMoreButtonsTimer) KillTimer(Handle(), FMoreButtonsTimer);
        FMoreButtonsTimer = 0;
        break;
      case WM_NCCALCSIZE: {
        const TdxBarBorders b = BorderSizes();
        RECT* r = Message.WParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0]
                                 : reinterpret_cast<RECT*>(Message.LParam);
        r->left += b.Left;
        r->top += b.Top;
        r->right = std::max(r->left, r->right - b.Right);
        r->bottom = std::max(r->top, r->bottom - b.Bottom);
        Message.Result = 0;
        return;
      }
      case WM_NCPAINT:
        PaintNonClient();
        Message.Result = 0;
        return;
      case WM_NCACTIVATE:
        PaintNonClient();
        Message.Result = 1;
        return;
      case WM_NCHITTEST: {
        TCustomdxBarControl::WndProc(Message);
        const POINT screen{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
        Message.Result = HitTest(screen, static_cast<int>(Message.Result));
        return;
      }
      case WM_LBUTTONDOWN:
        if (FHitTest == HTCLOSE && !IsCustomizing()) {
          TrackCloseButton();
          Message.Result = 0;
          return;
        }
        if (FHitTest == HTCAPTION && !IsCustomizing()) {
          // Where the press happened; the cursor may have gone on since.
          const DWORD at = GetMessagePos();
          BeginMove(POINT{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))});
          Message.Result = 0;
          return;
        }
        break;
      case WM_LBUTTONDBLCLK:
        if (FHitTest == HTCAPTION && !IsCustomizing()) {
          ToggleDocking();
          Message.Result = 0;
          return;
        }
        break;
      case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
        info->ptMinTrackSize = POINT{10, 10};
        info->ptMaxTrackSize = info->ptMaxSize = info->ptMaxPosition = POINT{30000, 30000};
        Message.Result = 0;
        return;
      }
      case WM_SIZING:
        if (DockingStyle() == 0) {
          auto* r = reinterpret_cast<RECT*>(Message.LParam);
          RECT now{};
          GetWindowRect(Handle(), &now);
          const TdxBarBorders b = BorderSizes();
          const int bw = b.Left + b.Right, bh = b.Top + b.Bottom;
          SIZE s{};
          switch (Message.WParam) {
            case WMSZ_LEFT:
            case WMSZ_RIGHT:
              CalcSizeForWidth(0, r->right - r->left - bw, s);
              if (Message.WParam == WMSZ_LEFT) r->left = r->right - (s.cx + bw); else r->right = r->left + s.cx + bw;
              r->bottom = r->top + s.cy + bh;
              break;
            case WMSZ_TOP:
            case WMSZ_BOTTOM:
              CalcSizeForHeight(0, r->bottom - r->top - bh, s);
              if (Message.WParam == WMSZ_TOP) r->top = r->bottom - (s.cy + bh); else r->bottom = r->top + s.cy + bh;
              r->right = r->left + s.cx + bw;
              break;
            default: *r = now; break;
          }
          if (r->top < kTopLimit) OffsetRect(r, 0, kTopLimit - r->top);
          Message.Result = 1;
          return;
        }
        break;
      case WM_WINDOWPOSCHANGING:
        if (DockingStyle() == 0) {
          auto* pos = reinterpret_cast<WINDOWPOS*>(Message.LParam);
          if ((pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) != (SWP_NOMOVE | SWP_NOSIZE)) KeepOnScreen(*pos);
        }
        break;
      case WM_SIZE:
        TCustomdxBarControl::WndProc(Message);
        if (!IsDestroying() && HandleAllocated()) CalcLayout();
        return;
      default: break;
    }
  } catch (...) {
    Message.Result = 0;
    return;
  }
  TCustomdxBarControl::WndProc(Message);
}

void TdxBarControl::KeepOnScreen(WINDOWPOS& pos) {
  RECT now{};
  GetWindowRect(Handle(), &now);
  RECT r{pos.x, pos.y, pos.x + pos.cx, pos.y + pos.cy};
  if (pos.flags & SWP_NOMOVE) OffsetRect(&r, now.left - r.left, now.top - r.top);
  if (pos.flags & SWP_NOSIZE) r.right = r.left + (now.right - now.left), r.bottom = r.top + (now.bottom - now.top);
  if (MonitorFromRect(&r, MONITOR_DEFAULTTONULL)) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    bool inWork = false;
    HMONITOR m = MonitorFromRect(&r, MONITOR_DEFAULTTONULL);
    if (GetMonitorInfoA(m, &info)) {
      RECT x{};
      inWork = IntersectRect(&x, &r, &info.rcWork) != FALSE;
    }
    if (inWork) return;
  }
  POINT cursor{};
  GetCursorPos(&cursor);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &info)) return;
  const RECT& work = info.rcWork;
  const int w = r.right - r.left, h = r.bottom - r.top;
  int x = r.left, y = r.top;
  if (r.right <= work.left) x = work.left;
  if (r.bottom <= work.top) y = work.top;
  if (r.left >= work.right) x = work.right - w;
  if (r.top >= work.bottom) y = work.bottom - h;
  pos.x = x;
  pos.y = y;
  pos.flags &= ~SWP_NOMOVE;
}
