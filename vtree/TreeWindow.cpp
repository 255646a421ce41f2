// The tree's window: its styles and creation, the header in the window
// frame, scroll bars, scroll messages and the wheel, sizing.
#include "vtree/VirtualTree.h"

#include "foundation/UxTheme.h"
#include "platform/Canvas.h"
#include "platform/Filer.h"
#include "platform/Forms.h"

#include <algorithm>
#include <cmath>

namespace {
using TS = TVirtualTreeState;
using PO = TVTPaintOption;
using MO = TVTMiscOption;
using HO = TVTHeaderOption;
}  // namespace

// --- creation ----------------------------------------------------------------------------------------

void TBaseVirtualTree::CreateParams(TCreateParams& Params) {
  TVirtualTreeBase::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  if (FScrollBarOptions->Shows(TVTScrollBarKind::sbVertical)) Params.Style |= WS_VSCROLL;
  if (FScrollBarOptions->Shows(TVTScrollBarKind::sbHorizontal)) Params.Style |= WS_HSCROLL;
  if (FOptions->MiscOptions().Contains(MO::toFullRepaintOnResize))
    Params.WindowClass.style |= CS_HREDRAW | CS_VREDRAW;
  else
    Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TBaseVirtualTree::CreateWnd() {
  ChangeStates({TS::tsWindowCreating}, {});
  try {
    TVirtualTreeBase::CreateWnd();
  } catch (...) {
    ChangeStates({}, {TS::tsWindowCreating});
    throw;
  }
  ChangeStates({}, {TS::tsWindowCreating});
  const TVTPaintOptions paint = FOptions->PaintOptions();
  if (paint.Contains(PO::toThemeAware) && IsThemeLibraryBound() && UxIsThemeActive()) {
    ChangeStates({TS::tsUseThemes}, {});
    if (paint.Contains(PO::toUseExplorerTheme) && IsWinVistaOrAbove() && UxThemeEntries[uxeSetWindowTheme]) {
      using SetTheme = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
      reinterpret_cast<SetTheme>(reinterpret_cast<void*>(UxThemeEntries[uxeSetWindowTheme]))(Handle(), L"explorer", nullptr);
    }
  } else {
    ChangeStates({}, {TS::tsUseThemes});
  }
  if (FHeader->States().Contains(THeaderState::hdsNeedScaling)) FHeader->RecalcHeaderLayout();
  if (FHeader->Options().Contains(HO::hoAutoResize)) FHeader->Columns()->FitAutoSizeColumn(true);
  BuildButtonsAndLinePattern(true, true);
  FDropRegistered = false;
  if (FOptions->MiscOptions().Contains(MO::toAcceptOLEDrop)) UpdateDropRegistration(true);
  UpdateRanges();
  UpdateScrollBars(true);
}

// A tree without a parent form may take the focus; one on a form only while
// that form is enabled and visible.
bool TBaseVirtualTree::CanFocus() {
  if (!TVirtualTreeBase::CanFocus()) return false;
  if (ComponentState().Contains(csDesigning)) return true;
  TCustomForm* form = GetParentForm(this);
  return !form || (form->Enabled() && form->Visible());
}

void TBaseVirtualTree::ChangeScale(int M, int D) {
  TVirtualTreeBase::ChangeScale(M, D);
  if (M == D || !FOptions->AutoOptions().Contains(TVTAutoOption::toAutoChangeScale)) return;
  if (IsLoading() && !FStates.Contains(TS::tsNeedScale)) return;
  SetDefaultNodeHeight(static_cast<uint32_t>(MulDiv(static_cast<int>(FDefaultNodeHeight), M, D)));
  FHeader->ScaleFont(M, D);
}

// --- the frame and the header ------------------------------------------------------------------------

SIZE TBaseVirtualTree::BorderDimensions() {
  SIZE size{0, 0};
  if (!HandleAllocated()) return size;
  const LONG style = GetWindowLongA(Handle(), GWL_STYLE);
  const LONG ex = GetWindowLongA(Handle(), GWL_EXSTYLE);
  if (style & WS_BORDER) size = SIZE{1, 1};
  if (style & WS_THICKFRAME) {
    size.cx += GetSystemMetrics(SM_CXDLGFRAME);
    size.cy += GetSystemMetrics(SM_CYDLGFRAME);
  }
  if (ex & WS_EX_CLIENTEDGE) {
    size.cx += GetSystemMetrics(SM_CXEDGE);
    size.cy += GetSystemMetrics(SM_CYEDGE);
  }
  return size;
}

RECT TBaseVirtualTree::ComputeHeaderRect() {
  RECT r{0, 0, Width(), Height()};
  const SIZE border = BorderDimensions();
  InflateRect(&r, -border.cx, -border.cy);
  const RECT frame = FrameInsets();  // bevel and border width
  r.left += frame.left;
  r.top += frame.top;
  r.right -= frame.right;
  r.bottom = r.top + (FHeader->Options().Contains(HO::hoVisible) ? FHeader->Height() : 0);
  return r;
}

RECT TBaseVirtualTree::HeaderRect() { return ComputeHeaderRect(); }

// The header takes its height from the top of the client area.
void TBaseVirtualTree::HandleNCCalcSize(TMessage& Message) {
  TVirtualTreeBase::Dispatch(Message);
  if (!FHeader->Options().Contains(HO::hoVisible)) return;
  RECT& client = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0];
  client.top = std::min<LONG>(client.bottom, client.top + FHeader->Height());
}

void TBaseVirtualTree::PaintHeader(HDC DC, bool VisibleOnly) {
  if (!FHeader->Options().Contains(HO::hoVisible) || !HandleAllocated()) return;
  if (VisibleOnly && !IsWindowVisible(Handle())) return;
  RECT r = ComputeHeaderRect();
  if (IsRectEmpty(&r)) return;
  FHeader->Columns()->PaintColumnHeaders(DC, r, -FEffectiveOffsetX);
}

// --- sizing ------------------------------------------------------------------------------------------------

void TBaseVirtualTree::HandleSize(TMessage& Message) {
  TVirtualTreeBase::Dispatch(Message);
  if (FStates.Contains(TS::tsSizing) || FStates.Contains(TS::tsWindowCreating) || ClientHeight() < 1) return;
  ChangeStates({TS::tsSizing}, {});
  try {
    FHeader->RecalcHeaderLayout();
    FHeader->AdjustSprings();
    UpdateRanges();
    UpdateScrollBars(true);
    // Fitted once the bars have settled: a bar that came or went while they
    // were set changed the client width this size message reports.
    if (FHeader->Options().Contains(HO::hoAutoResize)) FHeader->Columns()->FitAutoSizeColumn(false);
    // The content may end above the new bottom: the offsets follow.
    ApplyScrollOffset(POINT{FOffsetX, FOffsetY}, AllScrollUpdates);
    if (IsEditing() && !FHeader->Options().Contains(HO::hoVisible)) PlaceEditor();
  } catch (...) {
    ChangeStates({}, {TS::tsSizing});
    throw;
  }
  ChangeStates({}, {TS::tsSizing});
}

// --- scroll bars -------------------------------------------------------------------------------------------

void TBaseVirtualTree::ShowScrollBarFor(int Bar, bool Show) {
  if (!HandleAllocated()) return;
  const LONG style = GetWindowLongA(Handle(), GWL_STYLE);
  const bool shown = (style & (Bar == SB_VERT ? WS_VSCROLL : WS_HSCROLL)) != 0;
  ShowScrollBar(Handle(), Bar, Show);
  if (shown != Show) FireEvent(OnShowScrollbar, this, Bar, Show);
}

// A bar that comes or goes changes the other's page: the pair is set again
// until the client area stays.
void TBaseVirtualTree::UpdateScrollBars(bool DoRepaint) {
  for (int pass = 0; pass < 3; ++pass) {
    const SIZE before{ClientWidth(), ClientHeight()};
    UpdateVerticalScrollBar(DoRepaint);
    UpdateHorizontalScrollBar(DoRepaint);
    if (!HandleAllocated() || (ClientWidth() == before.cx && ClientHeight() == before.cy)) break;
  }
}

void TBaseVirtualTree::UpdateVerticalScrollBar(bool DoRepaint) {
  FRangeY = static_cast<int32_t>(FRoot->SubtreeHeight) + static_cast<int32_t>(FBottomSpace) - FRoot->NodeHeight;
  if (!HandleAllocated() || FInScrollBarChange || !FScrollBarOptions->Shows(TVTScrollBarKind::sbVertical)) return;
  FInScrollBarChange = true;
  try {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    if (ClientHeight() < FRangeY || FScrollBarOptions->AlwaysVisible()) {
      if (FScrollBarOptions->AlwaysVisible()) info.fMask |= SIF_DISABLENOSCROLL;
      info.nMax = FRangeY;
      info.nPos = -FOffsetY;
      info.nPage = static_cast<UINT>(std::max(0, ClientHeight() + 1));
      ShowScrollBarFor(SB_VERT, true);
      SetScrollInfo(Handle(), SB_VERT, &info, DoRepaint);
    } else {
      SetScrollInfo(Handle(), SB_VERT, &info, DoRepaint);
      ShowScrollBarFor(SB_VERT, false);
    }
  } catch (...) {
    FInScrollBarChange = false;
    throw;
  }
  FInScrollBarChange = false;
  // The bar clamps its position to the new range: the offset follows it.
  const int32_t position = -GetScrollPos(Handle(), SB_VERT);
  if (position != FOffsetY) ApplyScrollOffset(POINT{FOffsetX, position}, AllScrollUpdates);
}

void TBaseVirtualTree::UpdateHorizontalScrollBar(bool DoRepaint) {
  if (FHeader->Options().Contains(HO::hoVisible)) FRangeX = FHeader->Columns()->ShownWidth();
  else if (HandleAllocated()) FRangeX = VisibleContentWidth();
  if (!HandleAllocated() || FInScrollBarChange || !FScrollBarOptions->Shows(TVTScrollBarKind::sbHorizontal)) return;
  FInScrollBarChange = true;
  try {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_ALL;
    if (ClientWidth() < FRangeX || FScrollBarOptions->AlwaysVisible()) {
      if (FScrollBarOptions->AlwaysVisible()) info.fMask |= SIF_DISABLENOSCROLL;
      info.nMax = FRangeX;
      info.nPos = FEffectiveOffsetX;
      info.nPage = static_cast<UINT>(std::max(0, ClientWidth() + 1));
      ShowScrollBarFor(SB_HORZ, true);
      SetScrollInfo(Handle(), SB_HORZ, &info, DoRepaint);
    } else {
      SetScrollInfo(Handle(), SB_HORZ, &info, DoRepaint);
      ShowScrollBarFor(SB_HORZ, false);
    }
  } catch (...) {
    FInScrollBarChange = false;
    throw;
  }
  FInScrollBarChange = false;
  const int32_t position = GetScrollPos(Handle(), SB_HORZ);
  if (position != FEffectiveOffsetX) SetEffectiveOffsetX(position);
}

void TBaseVirtualTree::SetEffectiveOffsetX(int32_t Position) {
  const int32_t x = UseRightToLeftAlignment() ? Position - FRangeX + ClientWidth() : -Position;
  ApplyScrollOffset(POINT{x, FOffsetY}, AllScrollUpdates);
}

// --- scroll messages and the wheel ------------------------------------------------------------------------------

void TBaseVirtualTree::HandleScroll(bool Vertical, int Code) {
  const int bar = Vertical ? SB_VERT : SB_HORZ;
  if (Code == SB_ENDSCROLL) {
    ChangeStates({}, {TS::tsThumbTracking});
    UpdateScrollBars(true);
    return;
  }
  if (Code == SB_THUMBPOSITION || Code == SB_THUMBTRACK) {
    ChangeStates({TS::tsThumbTracking}, {});
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(Handle(), bar, &info);
    if (Vertical) SetOffsetY(-info.nTrackPos);
    else SetEffectiveOffsetX(info.nTrackPos);
    return;
  }
  if (Vertical) {
    const int32_t line = FScrollBarOptions->VerticalIncrement();
    switch (Code) {
      case SB_LINEUP: SetOffsetY(FOffsetY + line); break;
      case SB_LINEDOWN: SetOffsetY(FOffsetY - line); break;
      case SB_PAGEUP: SetOffsetY(FOffsetY + ClientHeight()); break;
      case SB_PAGEDOWN: SetOffsetY(FOffsetY - ClientHeight()); break;
      case SB_TOP: SetOffsetY(0); break;
      case SB_BOTTOM: SetOffsetY(-static_cast<int32_t>(FRoot->SubtreeHeight)); break;
      default: break;
    }
    return;
  }
  const int32_t line = FScrollBarOptions->HorizontalIncrement();
  const int32_t page = ClientWidth() - (FHeader->Options().Contains(HO::hoVisible) ? FHeader->Columns()->FixedAreaWidth() : 0);
  switch (Code) {
    case SB_LINELEFT: SetEffectiveOffsetX(FEffectiveOffsetX - line); break;
    case SB_LINERIGHT: SetEffectiveOffsetX(FEffectiveOffsetX + line); break;
    case SB_PAGELEFT: SetEffectiveOffsetX(FEffectiveOffsetX - page); break;
    case SB_PAGERIGHT: SetEffectiveOffsetX(FEffectiveOffsetX + page); break;
    case SB_LEFT: SetEffectiveOffsetX(0); break;
    case SB_RIGHT: SetEffectiveOffsetX(FRangeX); break;
    default: break;
  }
}

// The platform asked OnMouseWheel first; what it left scrolls the content.
void TBaseVirtualTree::HandleWheel(TMessage& Message) {
  EndPanning();
  const double steps = GET_WHEEL_DELTA_WPARAM(Message.WParam) / 120.0;
  const WORD keys = GET_KEYSTATE_WPARAM(Message.WParam);
  const bool ctrl = (keys & MK_CONTROL) != 0;
  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  if (ClientHeight() >= FRangeY || (keys & MK_SHIFT)) {
    TVirtualTreeColumns* columns = FHeader->Columns();
    const double amount = ctrl ? (ClientWidth() - columns->FixedAreaWidth()) * steps
                               : static_cast<double>(lines) * steps * columns->HorizontalScrollStep();
    int32_t delta = static_cast<int32_t>(std::lround(amount));
    if (UseRightToLeftAlignment()) delta = -delta;
    SetOffsetX(FOffsetX + delta);
  } else {
    double amount;
    if (ctrl || lines == WHEEL_PAGESCROLL) amount = ClientHeight() * steps;
    else amount = static_cast<double>(lines) * steps * FDefaultNodeHeight;
    SetOffsetY(FOffsetY + static_cast<int32_t>(std::lround(amount)));
  }
  Message.Result = 1;
}

// --- the legacy option set -------------------------------------------------------------------------------------

void TBaseVirtualTree::ReadLegacyOptions(TReader* Reader) {
  std::vector<std::string> names;
  for (const AnsiString& name : Reader->ReadSet()) names.emplace_back(name.c_str());
  FOptions->ReadLegacyOptions(names);
}
