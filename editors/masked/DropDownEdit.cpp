#include "editors/masked/DropDownEdit.h"

#include "editors/framework/EditComposition.h"
#include "editors/framework/EditRepository.h"
#include "foundation/Controls.h"
#include "platform/Messages.h"

#include <algorithm>

namespace {

// Border and client-edge widths by popup border style.
constexpr int PopupBorderWidths[] = {0, 1, 4, 2};
constexpr int PopupClientEdgeWidths[] = {0, 2, 2, 1};
// The shadow's width on the right and bottom, pixels.
constexpr int PopupShadowWidth = 3;

int SysPanelMetricHeight() { return std::max(GetSystemMetrics(SM_CYHSCROLL), GetSystemMetrics(SM_CYSIZE)); }

int RectWidth(const RECT& r) { return r.right - r.left; }
int RectHeight(const RECT& r) { return r.bottom - r.top; }

bool TakesSelection(TcxEditCloseUpReason reason) { return reason == crTab || reason == crClose || reason == crEnter; }

}  // namespace

// -- TcxCustomDropDownEditProperties --------------------------------------------------------------

const TClassInfo TcxCustomDropDownEditProperties::ClassInfo{
    "TcxCustomDropDownEditProperties", &TcxCustomMaskEditProperties::ClassInfo, [](TObject* owner) -> TObject* {
      return new TcxCustomDropDownEditProperties(static_cast<TPersistent*>(owner));
    }};

const TClassInfo TcxDropDownEditProperties::ClassInfo{
    "TcxDropDownEditProperties", &TcxCustomDropDownEditProperties::ClassInfo,
    [](TObject* owner) -> TObject* { return new TcxDropDownEditProperties(static_cast<TPersistent*>(owner)); }};

TcxCustomDropDownEditProperties::TcxCustomDropDownEditProperties(TPersistent* owner)
    : TcxCustomMaskEditProperties(owner) {
  LockChanges();
  Buttons()->AddButton()->SetKind(bkDown);
  UnlockChanges(false);
}

void TcxCustomDropDownEditProperties::CopyFrom(TPersistent* source) {
  LockChanges();
  try {
    TcxCustomMaskEditProperties::CopyFrom(source);
    if (auto* other = ObjectAs<TcxCustomDropDownEditProperties>(source)) {
      FImmediateDropDown = other->FImmediateDropDown;
      FImmediatePopup = other->FImmediatePopup;
      FPopupAutoSize = other->FPopupAutoSize;
      FPopupClientEdge = other->FPopupClientEdge;
      FPopupDirection = other->FPopupDirection;
      FKeepArrowPressed = other->FKeepArrowPressed;
      FPopupHorzAlignment = other->FPopupHorzAlignment;
      FPopupVertAlignment = other->FPopupVertAlignment;
      FPopupMinHeight = other->FPopupMinHeight;
      FPopupMinWidth = other->FPopupMinWidth;
      FPopupHeight = other->FPopupHeight;
      FPopupWidth = other->FPopupWidth;
      FPopupSizeable = other->FPopupSizeable;
      FPopupSysPanelStyle = other->FPopupSysPanelStyle;
      FPostPopupValueOnTab = other->FPostPopupValueOnTab;
      OnCloseQuery = other->OnCloseQuery;
      OnCloseUp = other->OnCloseUp;
      OnFinalizePopup = other->OnFinalizePopup;
      OnInitPopup = other->OnInitPopup;
      OnPopup = other->OnPopup;
      NotifyChanged();
    }
  } catch (...) {
    UnlockChanges();
    throw;
  }
  UnlockChanges();
}

void TcxCustomDropDownEditProperties::SetPopupHeight(int value) { FPopupHeight = std::max(value, FPopupMinHeight); }

void TcxCustomDropDownEditProperties::SetPopupMinHeight(int value) {
  FPopupMinHeight = std::max(value, 0);
  SetPopupHeight(FPopupHeight);
}

void TcxCustomDropDownEditProperties::SetPopupMinWidth(int value) {
  FPopupMinWidth = std::max(value, 0);
  SetPopupWidth(FPopupWidth);
}

void TcxCustomDropDownEditProperties::SetPopupWidth(int value) {
  if (value < 0) value = 0;
  if (value > 0 && value < FPopupMinWidth) value = FPopupMinWidth;
  FPopupWidth = value;
}

TAlignment TcxCustomDropDownEditProperties::PopupAlignment() const {
  switch (FPopupHorzAlignment) {
    case cxpaCenter:
      return taCenter;
    case cxpaFar:
      return taRightJustify;
    default:
      return taLeftJustify;
  }
}

void TcxCustomDropDownEditProperties::SetPopupAlignment(TAlignment value) {
  SetPopupHorzAlignment(value == taCenter ? cxpaCenter : value == taRightJustify ? cxpaFar : cxpaNear);
}

TBitmap* TcxCustomDropDownEditProperties::ButtonGlyph() {
  const int index = DropDownButtonIndex();
  if (index < 0 || index >= Buttons()->Count()) return nullptr;
  return Buttons()->GetButton(index)->Glyph();
}

void TcxCustomDropDownEditProperties::SetButtonGlyph(TBitmap* value) {
  const int index = DropDownButtonIndex();
  if (index < 0 || index >= Buttons()->Count()) return;
  Buttons()->GetButton(index)->SetGlyph(value);
  NotifyChanged();
}

void TcxCustomDropDownEditProperties::SyncGlyphKind() {
  const int index = DropDownButtonIndex();
  if (FSyncingGlyph || index < 0 || index >= Buttons()->Count()) return;
  TcxFlagGuard guard(FSyncingGlyph, true);
  TcxEditButton* button = Buttons()->GetButton(index);
  TBitmap* glyph = button->HasGlyph() ? button->Glyph() : nullptr;
  const bool usable = glyph && glyph->Width() > 0 && glyph->Height() > 0;
  if (usable) button->SetKind(bkGlyph);
  else if (button->Kind() == bkGlyph) button->SetKind(bkDown);
}

void TcxCustomDropDownEditProperties::NotifyChanged() {
  SyncGlyphKind();
  TcxCustomMaskEditProperties::NotifyChanged();
}

TcxCustomEditPopupWindow* TcxCustomDropDownEditProperties::NewPopupWindow(TcxCustomDropDownEdit* edit) const {
  return New<TcxCustomEditPopupWindow>(edit);
}

// -- TcxCustomEditPopupWindowViewInfo -------------------------------------------------------------

const TClassInfo TcxCustomEditPopupWindowViewInfo::ClassInfo{"TcxCustomEditPopupWindowViewInfo",
                                                             &TcxContainerViewInfo::ClassInfo, nullptr};

int TcxCustomEditPopupWindowViewInfo::CustomBorderWidth() {
  int width = 0;
  if (OnCustomDrawBorder && OnCustomDrawBorder(this, nullptr, Bounds, width)) return width;
  return -1;
}

int TcxCustomEditPopupWindowViewInfo::BorderWidthOf() const {
  if (FCustomBorderWidth >= 0) return FCustomBorderWidth;
  if (NativeStyle || Painter) return 1;
  return PopupBorderWidths[static_cast<int>(PopupBorderStyle)];
}

int TcxCustomEditPopupWindowViewInfo::ClientEdgeWidthOf() const {
  if (NativeStyle || Painter) return 2;
  return PopupClientEdgeWidths[static_cast<int>(PopupBorderStyle)];
}

int TcxCustomEditPopupWindowViewInfo::GetClientExtent() {
  return BorderWidthOf() + (ClientEdge ? ClientEdgeWidthOf() : 0);
}

int TcxCustomEditPopupWindowViewInfo::GetSysPanelHeight() { return SysPanelMetricHeight(); }

RECT TcxCustomEditPopupWindowViewInfo::GetBorderExtents() {
  const int e = GetClientExtent();
  RECT r{e, e, e, e};
  if (Shadow) {
    r.right += PopupShadowWidth;
    r.bottom += PopupShadowWidth;
  }
  if (SysPanelStyle) (GripAtTop() ? r.top : r.bottom) += SysPanelHeight;
  return r;
}

void TcxCustomEditPopupWindowViewInfo::Calculate() {
  FCustomBorderWidth = CustomBorderWidth();
  SysPanelHeight = 0;
  if (SysPanelStyle) {
    int h = GetSysPanelHeight();
    if (MinSysPanelHeight > 0) h = std::max(h, MinSysPanelHeight);
    if (NativeStyle || Painter || PopupBorderStyle == epbsSingle) ++h;  // the separator line
    SysPanelHeight = h;
  }
  SizingEdgeWidth = SysPanelMetricHeight();
  const RECT e = GetBorderExtents();
  ClientRect = RECT{Bounds.left + e.left, Bounds.top + e.top, Bounds.right - e.right, Bounds.bottom - e.bottom};
  const int bw = BorderWidthOf();
  const int inset = bw + (ClientEdge && !SysPanelStyle ? ClientEdgeWidthOf() : 0);
  InnerRect = RECT{Bounds.left + inset, Bounds.top + inset, Bounds.right - inset, Bounds.bottom - inset};
  if (Shadow) {
    InnerRect.right -= PopupShadowWidth;
    InnerRect.bottom -= PopupShadowWidth;
  }
  SizeGripRect = SizeGripSizingRect = CloseButtonRect = RECT{};
  if (!SysPanelStyle) return;
  const int metric = GetSysPanelHeight();
  const RECT panel = GripAtTop() ? RECT{InnerRect.left, InnerRect.top, InnerRect.right, InnerRect.top + SysPanelHeight}
                                 : RECT{InnerRect.left, InnerRect.bottom - SysPanelHeight, InnerRect.right,
                                        InnerRect.bottom};
  if (Sizeable) {
    const int size = metric - 2;
    RECT g;
    g.left = GripAtLeft() ? InnerRect.left : InnerRect.right - size;
    g.top = GripAtTop() ? InnerRect.top : InnerRect.bottom - size;
    g.right = g.left + size;
    g.bottom = g.top + size;
    SizeGripSizingRect = g;
    // Drawn two pixels in from the two outer sides.
    OffsetRect(&g, GripAtLeft() ? 2 : -2, GripAtTop() ? 2 : -2);
    SizeGripRect = g;
  }
  if (CloseButton) {
    const int size = metric - 4;
    RECT b;
    b.top = panel.top + (RectHeight(panel) - size) / 2;
    b.bottom = b.top + size;
    if (GripAtLeft() && Sizeable) {
      b.right = panel.right - 2 + 1;
      b.left = b.right - size;
    } else {
      b.left = panel.left + 2 - 1;
      b.right = b.left + size;
    }
    CloseButtonRect = b;
  }
}

bool TcxCustomEditPopupWindowViewInfo::HitTestSizing(int x, int y, TcxSizingDirections& d) {
  d = TcxSizingDirections{};
  if (!Sizeable) return false;
  const POINT p{x, y};
  if (!PtInRect(&Bounds, p)) return false;
  if (SysPanelStyle && PtInRect(&SizeGripSizingRect, p)) {
    d.Left = GripAtLeft();
    d.Right = !GripAtLeft();
    d.Top = GripAtTop();
    d.Bottom = !GripAtTop();
    return true;
  }
  if (PtInRect(&InnerRect, p)) return false;
  const int w = RectWidth(Bounds), h = RectHeight(Bounds);
  d.Left = x < SizingEdgeWidth && GripAtLeft();
  d.Right = x >= w - SizingEdgeWidth && !GripAtLeft();
  d.Top = y < SizingEdgeWidth && GripAtTop();
  d.Bottom = y >= h - SizingEdgeWidth && !GripAtTop();
  return d.Any();
}

void TcxCustomEditPopupWindowViewInfo::DrawBorder(TcxCanvas* canvas, RECT& r) {
  int width = 0;
  if (OnCustomDrawBorder && OnCustomDrawBorder(this, canvas, r, width)) {
    InflateRect(&r, -width, -width);
    return;
  }
  if (NativeStyle) {
    canvas->DrawSideFrame(r, clBtnText, 1, cxBordersAll);
    InflateRect(&r, -1, -1);
    return;
  }
  switch (PopupBorderStyle) {
    case epbsSingle:
      canvas->DrawSideFrame(r, clBtnText, 1, cxBordersAll);
      InflateRect(&r, -1, -1);
      break;
    case epbsFlat:
      canvas->Draw3DEdge(r, false, false);
      InflateRect(&r, -1, -1);
      canvas->Draw3DEdge(r, false, true);
      InflateRect(&r, -1, -1);
      break;
    case epbsFrame3D:
      canvas->Draw3DEdge(r, false, false);
      InflateRect(&r, -1, -1);
      canvas->Draw3DEdge(r, false, true);
      InflateRect(&r, -1, -1);
      canvas->DrawSideFrame(r, ClientEdge ? clInactiveBorder : clBtnFace, 1, cxBordersAll);
      InflateRect(&r, -1, -1);
      if (ClientEdge) canvas->DrawSideFrame(r, clBtnFace, 1, cxBordersAll);
      else canvas->Draw3DEdge(r, true, false);
      InflateRect(&r, -1, -1);
      break;
    default:
      break;
  }
}

void TcxCustomEditPopupWindowViewInfo::PaintContent(TcxCanvas* canvas) {
  RECT r = Bounds;
  if (Shadow) {
    canvas->FillWithColor(RECT{r.right - PopupShadowWidth, r.top + PopupShadowWidth, r.right, r.bottom}, clBtnShadow);
    canvas->FillWithColor(RECT{r.left + PopupShadowWidth, r.bottom - PopupShadowWidth, r.right, r.bottom},
                          clBtnShadow);
    r.right -= PopupShadowWidth;
    r.bottom -= PopupShadowWidth;
  }
  DrawBorder(canvas, r);
  if (SysPanelStyle) {
    RECT panel = r;
    if (GripAtTop()) panel.bottom = panel.top + SysPanelHeight;
    else panel.top = panel.bottom - SysPanelHeight;
    canvas->FillWithColor(panel, clBtnFace);
    if (PopupBorderStyle == epbsSingle || NativeStyle) {
      const RECT line = GripAtTop() ? RECT{panel.left, panel.bottom - 1, panel.right, panel.bottom}
                                    : RECT{panel.left, panel.top, panel.right, panel.top + 1};
      canvas->FillWithColor(line, clBtnText);
    }
  }
  if (ClientEdge) {
    RECT edge = ClientRect;
    InflateRect(&edge, 2, 2);
    canvas->Draw3DEdge(edge, true, false);
    if (PopupBorderStyle != epbsFlat || NativeStyle) {
      InflateRect(&edge, -1, -1);
      canvas->Draw3DEdge(edge, true, true);
    }
  }
  const HDC dc = canvas->GetDeviceContext();
  if (!IsRectEmpty(&SizeGripRect)) {
    // The system grip points to the bottom-right; mirror it into the corner.
    const int w = RectWidth(SizeGripRect), h = RectHeight(SizeGripRect);
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bmp = CreateCompatibleBitmap(dc, w, h);
    HGDIOBJ old = SelectObject(mem, bmp);
    RECT local{0, 0, w, h};
    FillRect(mem, &local, GetSysColorBrush(COLOR_BTNFACE));
    DrawFrameControl(mem, &local, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    const bool flipX = GripAtLeft(), flipY = GripAtTop();
    StretchBlt(dc, flipX ? SizeGripRect.right - 1 : SizeGripRect.left, flipY ? SizeGripRect.bottom - 1 : SizeGripRect.top,
               flipX ? -w : w, flipY ? -h : h, mem, 0, 0, w, h, SRCCOPY);
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
  }
  if (!IsRectEmpty(&CloseButtonRect)) {
    RECT b = CloseButtonRect;
    UINT state = DFCS_CAPTIONCLOSE;
    if (CloseButtonState == 3) state |= DFCS_PUSHED;
    if (CloseButtonState == 2) state |= DFCS_HOT;
    DrawFrameControl(dc, &b, DFC_CAPTION, state);
  }
}

// -- TcxCustomEditPopupWindow ---------------------------------------------------------------------

const TClassInfo TcxCustomEditPopupWindow::ClassInfo{"TcxCustomEditPopupWindow", &TcxCustomPopupWindow::ClassInfo,
                                                     nullptr};

TcxCustomEditPopupWindow::TcxCustomEditPopupWindow(TcxCustomDropDownEdit* edit)
    : TcxCustomPopupWindow(edit), FEdit(edit) {}

TcxCustomEditPopupWindow::~TcxCustomEditPopupWindow() = default;

TcxContainerViewInfo* TcxCustomEditPopupWindow::ViewInfoClass() { return new TcxCustomEditPopupWindowViewInfo(); }

void TcxCustomEditPopupWindow::SetBorderStyle(TcxEditPopupBorderStyle value) {
  FBorderStyle = value;
  EditViewInfo()->PopupBorderStyle = value;
}

void TcxCustomEditPopupWindow::SetClientEdge(bool value) {
  FClientEdge = value;
  EditViewInfo()->ClientEdge = value;
}

void TcxCustomEditPopupWindow::SetCloseButton(bool value) {
  FCloseButton = value;
  EditViewInfo()->CloseButton = value;
}

void TcxCustomEditPopupWindow::SetNativeStyle(bool value) {
  FNativeStyle = value;
  EditViewInfo()->NativeStyle = value;
}

void TcxCustomEditPopupWindow::SetShadow(bool value) {
  FShadow = value;
  EditViewInfo()->Shadow = value;
}

void TcxCustomEditPopupWindow::SetSizeable(bool value) {
  FSizeable = value;
  EditViewInfo()->Sizeable = value;
}

void TcxCustomEditPopupWindow::SetSysPanelStyle(bool value) {
  FSysPanelStyle = value;
  EditViewInfo()->SysPanelStyle = value;
}

void TcxCustomEditPopupWindow::CalculateViewInfo() {
  TcxCustomEditPopupWindowViewInfo* vi = EditViewInfo();
  vi->Bounds = RECT{0, 0, Width(), Height()};
  vi->Calculate();
}

void TcxCustomEditPopupWindow::SendCharToFocus(char ch) {
  if (HWND focus = GetFocus()) SendMessageA(focus, WM_CHAR, static_cast<unsigned char>(ch), 0);
}

SIZE TcxCustomEditPopupWindow::GetMinSize() {
  TcxCustomEditPopupWindowViewInfo* vi = EditViewInfo();
  const RECT e = vi->GetBorderExtents();
  SIZE s{e.left + e.right, e.top + e.bottom};
  if (FSizeable && FSysPanelStyle) {
    const int metric = vi->GetSysPanelHeight();
    const int closeWidth = FCloseButton ? metric - 4 : 0;
    const int gripWidth = metric - 2;
    s.cx += closeWidth + gripWidth + 10;
  }
  return s;
}

void TcxCustomEditPopupWindow::FitToContents() {
  TcxFlagGuard calculating(FCalculating, true);
  EditViewInfo()->SizeGripCorner = 3;
  CalculateViewInfo();
  const RECT e = EditViewInfo()->GetBorderExtents();
  const SIZE minSize = GetMinSize();
  const SIZE content = FEdit->GetPopupContentSize();
  const RECT owner = GetOwnerScreenBounds();
  int w, h;
  if (FPopupAutoSize) w = e.left + e.right + content.cx;
  else w = FPopupWidth > 0 ? FPopupWidth : RectWidth(owner);
  if (FSizeable && FMinWidth > 0) w = std::max(w, FMinWidth);
  if (FPopupAutoSize) h = e.top + e.bottom + content.cy;
  else h = FPopupHeight > 0 ? FPopupHeight : std::max<int>(FMinHeight, minSize.cy);
  if (FSizeable && FMinHeight > 0) h = std::max(h, FMinHeight);
  w = std::max<int>(w, minSize.cx);
  h = std::max<int>(h, minSize.cy);
  SetBounds(Left(), Top(), w, h);
}

POINT TcxCustomEditPopupWindow::ComputePopupPosition() {
  POINT p = TcxCustomPopupWindow::ComputePopupPosition();
  const RECT o = GetOwnerScreenBounds();
  const RECT work = GetPointWorkArea(p);
  const int right = p.x + Width(), bottom = p.y + Height();
  const bool h = (AlignHorz() == cxpaFar && right == o.right && p.x > work.left) || right == o.left ||
                 (right == work.right && p.x < o.right);
  const bool v = (AlignVert() == cxpaFar && bottom == o.bottom && p.y > work.top) || bottom == o.top ||
                 (bottom == work.bottom && p.y < o.bottom);
  EditViewInfo()->SizeGripCorner = h && v ? 0 : h ? 2 : v ? 1 : 3;
  FOpenedAgainst = Direction() == pdVertical ? v : h;
  if (v && FShadow) p.y += PopupShadowWidth;
  CalculateViewInfo();
  return p;
}

bool TcxCustomEditPopupWindow::FitsToWorkArea() { return FEdit->ActiveProperties()->PopupFitsWorkArea(); }

SIZE TcxCustomEditPopupWindow::MaxClientSize() {
  const RECT o = GetOwnerScreenBounds();
  const RECT work = GetPointWorkArea(POINT{o.left, o.top});
  SIZE s;
  if (Direction() == pdVertical) {
    s.cx = RectWidth(work);
    s.cy = std::max(work.bottom - o.bottom, o.top - work.top) + (FShadow ? PopupShadowWidth : 0);
  } else {
    s.cx = std::max(work.right - o.right, o.left - work.left) + 1;
    s.cy = RectHeight(work);
  }
  const RECT e = EditViewInfo()->GetBorderExtents();
  s.cx -= e.left + e.right;
  s.cy -= e.top + e.bottom;
  return s;
}

bool TcxCustomEditPopupWindow::CanResizeTo(int& width, int& height) {
  if (!FSizeable || FCalculating) return false;
  const SIZE minSize = GetMinSize();
  width = std::max(width, std::max<int>(minSize.cx, FMinWidth));
  height = std::max(height, std::max<int>(minSize.cy, FMinHeight));
  TcxCustomDropDownEditProperties* props = FEdit->ActiveProperties();
  TcxCustomTextEditLookupData* lookup = FEdit->LookupData();
  if (props->HasLookupDataClass() && props->IsDropDownKind() && lookup && lookup->ListControl()) {
    const RECT e = EditViewInfo()->GetBorderExtents();
    SIZE client{width - e.left - e.right, height - e.top - e.bottom};
    if (!lookup->AcceptsPopupResize(client, MaxClientSize())) return false;
    width = client.cx + e.left + e.right;
    height = client.cy + e.top + e.bottom;
  }
  return true;
}

void TcxCustomEditPopupWindow::NotifyClosing(int reason) {
  if (FSizeFrame) FSizeFrame->Hide();
  TcxCustomPopupWindow::NotifyClosing(reason);
}

void TcxCustomEditPopupWindow::NotifyClosed(int reason) {
  FSizing = false;
  FSizingCursorSet = false;
  FCursor = nullptr;
  TcxCustomPopupWindow::NotifyClosed(reason);
}

void TcxCustomEditPopupWindow::CloseFromModalResult() {
  const TModalResult result = ModalResult();
  FEdit->CloseUp(result == mrOk ? crEnter : result == mrCancel ? crCancel : crUnknown);
}

bool TcxCustomEditPopupWindow::SwallowsClosingClick(HWND wnd, UINT message, POINT p, TShiftState shift) {
  (void)shift;
  // A press on the drop-down button of the open popup only closes it.
  if (message != WM_LBUTTONDOWN && message != WM_LBUTTONDBLCLK) return false;
  if (!FEdit->HandleAllocated() || wnd != FEdit->Handle()) return false;
  POINT local = p;
  ::ScreenToClient(FEdit->Handle(), &local);
  return FEdit->ButtonIndexAt(local) == FEdit->ActiveProperties()->DropDownButtonIndex();
}

void TcxCustomEditPopupWindow::CreateParams(TCreateParams& Params) {
  TcxCustomPopupWindow::CreateParams(Params);
  if (FNativeStyle && EditCompositionActive()) Params.WindowClass.style |= CS_DROPSHADOW;
}

void TcxCustomEditPopupWindow::Resize() {
  TcxCustomPopupWindow::Resize();
  if (FCalculating) return;
  CalculateViewInfo();
  FEdit->PositionPopupContent(EditViewInfo()->ClientRect);
}

void TcxCustomEditPopupWindow::CloseButtonStateTo(int state) {
  TcxCustomEditPopupWindowViewInfo* vi = EditViewInfo();
  if (vi->CloseButtonState == state) return;
  vi->CloseButtonState = state;
  if (HandleAllocated()) InvalidateRect(Handle(), &vi->CloseButtonRect, FALSE);
}

void TcxCustomEditPopupWindow::SetSizingCursor(const TcxSizingDirections& d) {
  LPCSTR id = nullptr;
  if ((d.Left && d.Top) || (d.Right && d.Bottom)) id = IDC_SIZENWSE;
  else if ((d.Right && d.Top) || (d.Left && d.Bottom)) id = IDC_SIZENESW;
  else if (d.Left || d.Right) id = IDC_SIZEWE;
  else if (d.Top || d.Bottom) id = IDC_SIZENS;
  if (!id) {
    if (FSizingCursorSet) {
      FSizingCursorSet = false;
      FCursor = nullptr;
      ::SetCursor(LoadCursorA(nullptr, IDC_ARROW));
    }
    return;
  }
  FSizingCursorSet = true;
  FCursor = LoadCursorA(nullptr, id);
  ::SetCursor(FCursor);
}

void TcxCustomEditPopupWindow::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TcxCustomPopupWindow::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !HandleAllocated()) return;
  TcxCustomEditPopupWindowViewInfo* vi = EditViewInfo();
  const POINT p{X, Y};
  if (!IsRectEmpty(&vi->CloseButtonRect) && PtInRect(&vi->CloseButtonRect, p)) {
    SetCapture(Handle());
    CloseButtonStateTo(3);
    return;
  }
  TcxSizingDirections d;
  if (!vi->HitTestSizing(X, Y, d)) return;
  SetCapture(Handle());
  FSizingDirections = d;
  FSizingOffset = POINT{d.Left ? X : d.Right ? Width() - X : 0, d.Top ? Y : d.Bottom ? Height() - Y : 0};
  FSizing = true;
  SetSizingCursor(d);
  GetWindowRect(Handle(), &FSizingBounds);
  if (!FSizeFrame) FSizeFrame = New<TcxSizeFrame>(std::max(2, vi->BorderWidthOf()), this);
  FSizeFrame->MoveFrameTo(FSizingBounds);
  FSizeFrame->ShowWithoutActivation();
}

RECT TcxCustomEditPopupWindow::SizingBoundsAt(POINT screen) {
  const TcxSizingDirections& d = FSizingDirections;
  RECT r = FSizingBounds;
  if (d.Left) r.left = screen.x - FSizingOffset.x;
  if (d.Right) r.right = screen.x + FSizingOffset.x;
  if (d.Top) r.top = screen.y - FSizingOffset.y;
  if (d.Bottom) r.bottom = screen.y + FSizingOffset.y;
  int w = RectWidth(r), h = RectHeight(r);
  if (!CanResizeTo(w, h)) return FSizingBounds;
  if (d.Left) r.left = r.right - w;
  else r.right = r.left + w;
  if (d.Top) r.top = r.bottom - h;
  else r.bottom = r.top + h;
  const RECT o = GetOwnerScreenBounds();
  if (d.Left && r.left > o.right - 1) r.left = o.right - 1;
  if (d.Right && r.right < o.left + 1) r.right = o.left + 1;
  const RECT work = GetPointWorkArea(screen);
  RECT clipped;
  if (IntersectRect(&clipped, &r, &work)) r = clipped;
  return r;
}

void TcxCustomEditPopupWindow::MouseMove(TShiftState Shift, int X, int Y) {
  TcxCustomPopupWindow::MouseMove(Shift, X, Y);
  if (!HandleAllocated()) return;
  if (!FMouseTracked) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, Handle(), 0};
    FMouseTracked = TrackMouseEvent(&track) != FALSE;
  }
  TcxCustomEditPopupWindowViewInfo* vi = EditViewInfo();
  const POINT p{X, Y};
  if (FSizing) {
    POINT screen = p;
    ::ClientToScreen(Handle(), &screen);
    const RECT r = SizingBoundsAt(screen);
    if (!EqualRect(&r, &FSizingBounds)) {
      FSizingBounds = r;
      FEdit->SetPopupResized();
      if (FSizeFrame) FSizeFrame->MoveFrameTo(r);
    }
    return;
  }
  if (!IsRectEmpty(&vi->CloseButtonRect)) {
    const bool over = PtInRect(&vi->CloseButtonRect, p) != FALSE;
    const bool held = Shift.Contains(ssLeft);
    if (!over) CloseButtonStateTo(1);
    else if (!held) CloseButtonStateTo(2);
    else if (GetCapture() == Handle()) CloseButtonStateTo(3);
  }
  TcxSizingDirections d;
  vi->HitTestSizing(X, Y, d);
  SetSizingCursor(d);
}

void TcxCustomEditPopupWindow::EndSizing() {
  FSizing = false;
  if (FSizeFrame) FSizeFrame->Hide();
  const RECT r = FSizingBounds;
  SetBounds(r.left, r.top, RectWidth(r), RectHeight(r));
  CalculateViewInfo();
  FEdit->PositionPopupContent(EditViewInfo()->ClientRect);
  Invalidate();
}

void TcxCustomEditPopupWindow::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TcxCustomPopupWindow::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft || !HandleAllocated()) return;
  const POINT p{X, Y};
  if (FSizing) {
    if (GetCapture() == Handle()) ReleaseCapture();
    EndSizing();
    TcxSizingDirections d;
    EditViewInfo()->HitTestSizing(X, Y, d);
    SetSizingCursor(d);
    return;
  }
  TcxCustomEditPopupWindowViewInfo* vi = EditViewInfo();
  if (vi->CloseButtonState != 3) return;
  if (GetCapture() == Handle()) ReleaseCapture();
  if (!PtInRect(&vi->CloseButtonRect, p)) {
    CloseButtonStateTo(1);
    return;
  }
  TWeakLink<TcxCustomEditPopupWindow> alive(this);
  if (CloseQuery()) FEdit->CloseUp(crUnknown);
  if (alive && HandleAllocated() && IsWindowVisible(Handle())) CloseButtonStateTo(2);
}

void TcxCustomEditPopupWindow::MouseLeft() {
  FMouseTracked = false;
  CloseButtonStateTo(1);
  if (!FSizing && FSizingCursorSet) {
    FSizingCursorSet = false;
    FCursor = nullptr;
  }
}

void TcxCustomEditPopupWindow::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_DROPDOWNCHAR:
      SendCharToFocus(static_cast<char>(Message.WParam));
      return;
    case CM_POPUPSHOW:
      // The edit names the control to focus at each opening.
      ShowPopupFor(FEdit->PopupFocusedControl());
      return;
    case WM_MOUSELEAVE:
      MouseLeft();
      break;
    case WM_SETCURSOR:
      if (FCursor && LOWORD(Message.LParam) == HTCLIENT) {
        ::SetCursor(FCursor);
        Message.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TcxCustomPopupWindow::Dispatch(Message);
}

// -- TcxCustomDropDownEdit ------------------------------------------------------------------------

const TClassInfo TcxCustomDropDownEdit::ClassInfo{"TcxCustomDropDownEdit", &TcxCustomMaskEdit::ClassInfo, nullptr};

TcxCustomDropDownEdit::TcxCustomDropDownEdit(TComponent* owner, bool inPlace) : TcxCustomMaskEdit(owner, inPlace) {}

TcxCustomDropDownEdit::~TcxCustomDropDownEdit() { FreeAndNil(FPopupWindow); }

void TcxCustomDropDownEdit::AfterConstruction() {
  TcxCustomMaskEdit::AfterConstruction();
  if (!ComponentState().Contains(csDesigning)) CreatePopupWindow();
}

void TcxCustomDropDownEdit::BeforeDestruction() {
  if (FPopupWindow) {
    if (FPopupWindow->HandleAllocated()) {
      MSG msg;
      while (PeekMessageA(&msg, FPopupWindow->Handle(), CM_POPUPSHOW, CM_POPUPSHOW, PM_REMOVE)) {
      }
    }
    // No event reaches an edit that is going away.
    FPopupWindow->OnClosed = nullptr;
    FPopupWindow->OnShown = nullptr;
    FPopupWindow->OnCloseQuery = nullptr;
    FPopupWindow->ClosePopup();
    FInitPopupDone = false;
  }
  TcxCustomMaskEdit::BeforeDestruction();
}

void TcxCustomDropDownEdit::CreatePopupWindow() {
  FPopupWindow = ActiveProperties()->NewPopupWindow(this);
  FPopupWindow->ChangeCaptureFocus(ActiveProperties()->PopupTakesFocus());
  if (InPlace()) FPopupWindow->ChangeStayOnTop(false);
  FPopupWindow->OnCloseQuery = TCloseQueryEvent::Bind<&TcxCustomDropDownEdit::PopupCloseQuery>(this);
  FPopupWindow->OnClosed = TcxPopupCloseEvent::Bind<&TcxCustomDropDownEdit::PopupClosed>(this);
  FPopupWindow->OnShown = TNotifyEvent::Bind<&TcxCustomDropDownEdit::PopupShown>(this);
}

bool TcxCustomDropDownEdit::DroppedDown() const {
  return FPopupWindow && FPopupWindow->HandleAllocated() && IsWindowVisible(FPopupWindow->Handle());
}

bool TcxCustomDropDownEdit::ShowRequestQueued() {
  if (!FPopupWindow || !FPopupWindow->HandleAllocated()) return false;
  MSG msg;
  return PeekMessageA(&msg, FPopupWindow->Handle(), CM_POPUPSHOW, CM_POPUPSHOW, PM_NOREMOVE) != FALSE;
}

void TcxCustomDropDownEdit::SetDroppedDown(bool value) {
  if (value == DroppedDown()) return;
  if (!value) CloseUp(crUnknown);
  else if (!ShowRequestQueued()) DropDown();
}

void TcxCustomDropDownEdit::DropDown() {
  if (!FPopupWindow || !HandleAllocated() || !IsWindowVisible(Handle())) return;
  DoInitPopup();
  if (!CanDropDown()) {
    DoFinalizePopup();
    return;
  }
  PreparePopup();
  FPopupWindow->HandleNeeded();
  PostShowRequest();
}

void TcxCustomDropDownEdit::PostShowRequest() { PostMessageA(FPopupWindow->Handle(), CM_POPUPSHOW, 0, 0); }

void TcxCustomDropDownEdit::DoInitPopup() {
  if (FInitPopupDone) return;
  FInitPopupDone = true;
  TWeakLink<TControl> self(this);
  try {
    FireEvent(Properties()->OnInitPopup, this);
    if (self && RepositoryItem()) FireEvent(ActiveProperties()->OnInitPopup, this);
  } catch (...) {
    if (self) FInitPopupDone = false;
    throw;
  }
  if (self && ActiveProperties()->HasLookupDataClass() && LookupData()) LookupData()->InitListHook();
}

void TcxCustomDropDownEdit::DoFinalizePopup() {
  if (!FInitPopupDone) return;
  FInitPopupDone = false;
  if (ActiveProperties()->HasLookupDataClass() && LookupData()) LookupData()->DoneListHook();
  TWeakLink<TControl> self(this);
  FireEvent(Properties()->OnFinalizePopup, this);
  if (self && RepositoryItem()) FireEvent(ActiveProperties()->OnFinalizePopup, this);
}

void TcxCustomDropDownEdit::DoPopup() {
  FCloseUpReason = crUnknown;
  TWeakLink<TControl> self(this);
  FireEvent(Properties()->OnPopup, this);
  if (self && RepositoryItem()) FireEvent(ActiveProperties()->OnPopup, this);
}

void TcxCustomDropDownEdit::DoCloseUp() {
  TWeakLink<TControl> self(this);
  FireClosePopupEvent(FCloseUpReason);
  if (!self) return;
  FireEvent(Properties()->OnCloseUp, this);
  if (self && RepositoryItem()) FireEvent(ActiveProperties()->OnCloseUp, this);
}

TWinControl* TcxCustomDropDownEdit::PopupFocusedControl() {
  TcxCustomDropDownEditProperties* props = ActiveProperties();
  if (props->HasLookupDataClass() && props->IsDropDownKind() && props->PopupTakesFocus() && LookupData())
    if (TcxCustomEditListBox* list = LookupData()->ListControl()) return list;
  return InnerTextEdit();
}

void TcxCustomDropDownEdit::AttachLookupToPopup() {
  TcxCustomDropDownEditProperties* props = ActiveProperties();
  if (!LookupData() || !props->HasLookupDataClass() || !props->IsDropDownKind() ||
      ComponentState().Contains(csDesigning))
    return;
  LookupData()->PrepareList(FPopupWindow);
}

RECT TcxCustomDropDownEdit::PopupOwnerBounds() {
  RECT r = BoundsRect();
  if (Style()->GetShadow()) r.right += 3;
  if (InPlace() && InPlaceEditData() == nullptr) return r;
  return r;
}

void TcxCustomDropDownEdit::SetupPopupWindow() {
  TcxCustomDropDownEditProperties* props = ActiveProperties();
  TcxCustomEditPopupWindow* w = FPopupWindow;
  w->SetOwnerParent(Parent());
  w->SetOwnerBounds(PopupOwnerBounds());
  w->SetDirection(props->PopupDirection());
  w->SetAlignHorz(props->PopupHorzAlignment());
  w->SetAlignVert(props->PopupVertAlignment());
  w->SetClientEdge(props->PopupClientEdge());
  w->SetMinHeight(props->PopupMinHeight());
  w->SetMinWidth(props->PopupMinWidth());
  w->SetPopupAutoSize(props->PopupAutoSize());
  w->SetSizeable(props->PopupSizeable());
  w->SetSysPanelStyle(props->PopupSysPanelStyle());
  auto* data = dynamic_cast<TcxCustomDropDownEditData*>(InPlaceEditData());
  if (InPlace() && props->PopupSizeable() && data && data->Initialized) {
    w->SetPopupWidth(data->Width);
    w->SetPopupHeight(data->Height);
  } else {
    w->SetPopupWidth(props->PopupWidth());
    w->SetPopupHeight(props->PopupHeight());
  }
  TcxCustomEditStyle* style = CurrentStyle();
  w->SetCloseButton(RootStylePopupOption(style));
  w->SetBorderStyle(style->PopupBorderStyle());
  w->SetNativeStyle(UsesNativeStyle());
  w->SetShadow(style->GetShadow());
}

void TcxCustomDropDownEdit::PreparePopup() {
  FPopupWindow->ChangeCaptureFocus(ActiveProperties()->PopupTakesFocus());
  AttachLookupToPopup();
  SetupPopupWindow();
}

void TcxCustomDropDownEdit::CloseUp(TcxEditCloseUpReason reason) {
  if (!DroppedDown()) return;
  TWeakLink<TControl> self(this);
  TcxCustomDropDownEditProperties* props = ActiveProperties();
  LockChangeEvents(true);
  try {
    if (TakesSelection(reason)) {
      TcxCustomTextEditLookupData* lookup = LookupData();
      if (props->HasLookupDataClass() && lookup && lookup->ListControl()) {
        const int oldKey = lookup->CurrentKey();
        LockClick(true);
        try {
          lookup->ChooseListItem();
        } catch (...) {
          if (self) LockClick(false);
          throw;
        }
        if (self) LockClick(false);
        if (self && Modified() && lookup->CurrentKey() != oldKey) ModifyAndClick();
      }
      if (self && !props->PostsAfterClose() && props->ImmediatePost() && CanStoreToData()) StoreEditValue(true);
    }
  } catch (...) {
    if (self) LockChangeEvents(false);
    throw;
  }
  if (!self) return;
  LockChangeEvents(false);
  if (!self) return;
  FCloseUpReason = reason;
  if (FPopupWindow) FPopupWindow->ClosePopup();
}

void TcxCustomDropDownEdit::PopupCloseQuery(TObject*, bool& canClose) {
  TWeakLink<TControl> self(this);
  FireEvent(Properties()->OnCloseQuery, this, canClose);
  if (self && canClose && RepositoryItem()) FireEvent(ActiveProperties()->OnCloseQuery, this, canClose);
}

void TcxCustomDropDownEdit::PopupClosed(TcxCustomPopupWindow*, int) {
  TWeakLink<TControl> self(this);
  TcxCustomDropDownEditProperties* props = ActiveProperties();
  if (props->PopupSizeable() && FResizedInCycle) {
    auto* data = dynamic_cast<TcxCustomDropDownEditData*>(InPlaceEditData());
    if (InPlace() && data) {
      data->Initialized = true;
      data->Width = FPopupWindow->Width();
      data->Height = FPopupWindow->Height();
    } else {
      Properties()->SetPopupWidth(FPopupWindow->Width());
      Properties()->SetPopupHeight(FPopupWindow->Height());
    }
  }
  DoFinalizePopup();
  if (!self) return;
  DoCloseUp();
  if (!self) return;
  if (props->PostsAfterClose() && props->ImmediatePost() && CanStoreToData()) {
    LockChangeEvents(true);
    try {
      if (CheckEditValue(false)) StoreEditValue(false);
    } catch (...) {
      if (self) LockChangeEvents(false);
      throw;
    }
    if (self) LockChangeEvents(false);
  }
  if (self) RefreshHotAndDropped();
}

void TcxCustomDropDownEdit::PopupShown(TObject*) {
  FPopupWindow->CalculateViewInfo();
  PositionPopupContent(FPopupWindow->EditViewInfo()->ClientRect);
  TWeakLink<TControl> self(this);
  DoPopup();
  if (!self) return;
  RefreshHotAndDropped();
  FResizedInCycle = false;
}

void TcxCustomDropDownEdit::RefreshHotAndDropped() {
  bool hot = false;
  if (HandleAllocated()) {
    POINT p;
    GetCursorPos(&p);
    RECT r;
    GetWindowRect(Handle(), &r);
    hot = PtInRect(&r, p) != FALSE;
  }
  FHotAndDropped = DroppedDown() && hot;
}

bool TcxCustomDropDownEdit::IsOwnWindow(HWND window) {
  if (TcxCustomMaskEdit::IsOwnWindow(window)) return true;
  if (!window || !FPopupWindow || !FPopupWindow->HandleAllocated()) return false;
  const HWND popup = FPopupWindow->Handle();
  return window == popup || IsChild(popup, window);
}

void TcxCustomDropDownEdit::EditButtonPressed(int index) {
  TcxCustomMaskEdit::EditButtonPressed(index);
  if (index != ActiveProperties()->DropDownButtonIndex() || !FPopupWindow) return;
  if (FPopupWindow->ClosedByOwnerClick()) {
    // The press that closed the popup does not open it again.
    FPopupWindow->SetClosedByOwnerClick(false);
    return;
  }
  if (DroppedDown()) CloseUp(crUnknown);
  else SetDroppedDown(true);
}

void TcxCustomDropDownEdit::ApplyProperties(TcxCustomEditProperties* properties) {
  TcxCustomMaskEdit::ApplyProperties(properties);
  if (!ActiveProperties()->PopupSizeable()) FPopupSizeChanged = false;
  if (DroppedDown()) PreparePopup();
}

void TcxCustomDropDownEdit::KeyDown(WORD& Key, TShiftState Shift) {
  const bool alt = Shift.Contains(ssAlt);
  if (((Key == VK_UP || Key == VK_DOWN) && alt) || (Key == VK_F4 && !alt)) {
    if (DroppedDown()) CloseUp(crClose);
    else SetDroppedDown(true);
    Key = 0;
    return;
  }
  if (DroppedDown() && !alt) {
    switch (Key) {
      case VK_RETURN: {
        TWeakLink<TControl> self(this);
        const bool accept = StartEditing();
        if (!self) return;
        CloseUp(accept ? crEnter : crCancel);
        if (self && !DroppedDown()) Key = 0;
        return;
      }
      case VK_ESCAPE: {
        TWeakLink<TControl> self(this);
        CloseUp(crCancel);
        if (self && !DroppedDown()) {
          Key = 0;
          if (HandleAllocated() && IsOwnWindow(GetCapture())) ReleaseCapture();
        }
        return;
      }
      case VK_TAB:
        if (ActiveProperties()->PostPopupValueOnTab()) CloseUp(crTab);
        break;
      default:
        break;
    }
  }
  if (Key != 0) TcxCustomMaskEdit::KeyDown(Key, Shift);
}

void TcxCustomDropDownEdit::KeyPress(char& Key) {
  TcxCustomDropDownEditProperties* props = ActiveProperties();
  if (props->ImmediateDropDown() && !DroppedDown() && static_cast<unsigned char>(Key) >= 32) {
    TWeakLink<TControl> self(this);
    SetDroppedDown(true);
    if (!self) return;
    if (props->PopupTakesFocus() && Key != '\r' && CanDropDown() && PopupFocusedControl() && FPopupWindow &&
        FPopupWindow->HandleAllocated()) {
      PostMessageA(FPopupWindow->Handle(), CM_DROPDOWNCHAR, static_cast<unsigned char>(Key), 0);
      Key = 0;
      return;
    }
  }
  TcxCustomMaskEdit::KeyPress(Key);
}

void TcxCustomDropDownEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TWeakLink<TControl> self(this);
  const bool opens = Button == mbLeft && ActiveProperties()->DropsDownOnTextClick() && Focused() && !DroppedDown() &&
                     !FHotAndDropped && !FReplayingMouse && ButtonIndexAt(POINT{X, Y}) < 0;
  TcxCustomMaskEdit::MouseDown(Button, Shift, X, Y);
  if (self && opens) SetDroppedDown(true);
}

void TcxCustomDropDownEdit::DoExit() {
  if (DroppedDown() && !ActiveProperties()->PopupTakesFocus()) {
    TWeakLink<TControl> self(this);
    CloseUp(crUnknown);
    if (!self) return;
  }
  TcxCustomMaskEdit::DoExit();
}

void TcxCustomDropDownEdit::DestroyWnd() {
  if (FPopupWindow) {
    if (DroppedDown()) CloseUp(crUnknown);
    DoFinalizePopup();
    if (FPopupWindow->HandleAllocated()) FPopupWindow->DestroyHandle();
  }
  TcxCustomMaskEdit::DestroyWnd();
}

void TcxCustomDropDownEdit::WndProc(TMessage& Message) {
  if (Message.Msg == CM_DROPDOWNSYNCTEXT) {
    if (DroppedDown() && LookupData()) {
      TcxCustomTextEditLookupData* lookup = LookupData();
      const int oldKey = lookup->CurrentKey();
      LockClick(true);
      lookup->SyncListToText();
      LockClick(false);
      if (lookup->CurrentKey() != oldKey) Click();
      if (EditingStyle() == tesFixedList) SetCaretShown(true);
    }
    return;
  }
  TcxCustomMaskEdit::WndProc(Message);
}

// -- Unit -----------------------------------------------------------------------------------------

void cxDropDownEditInit() {}
void cxDropDownEditDone() {}
