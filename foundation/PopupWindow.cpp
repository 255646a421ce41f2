#include "foundation/PopupWindow.h"

#include "foundation/Controls.h"
#include "platform/Screen.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// TcxPopupWindow

const TClassInfo TcxPopupWindow::ClassInfo{"TcxPopupWindow", &TForm::ClassInfo, [](TObject* owner) -> TObject* {
                                             return new TcxPopupWindow(static_cast<TComponent*>(owner));
                                           }};

TcxPopupWindow::TcxPopupWindow(TComponent* AOwner) : TForm(AOwner) {
  SetBorderStyle(bsNone);
  SetFormStyle(fsStayOnTop);
  FcxCanvas = std::make_unique<TcxCanvas>(&FFormCanvas);
}

TcxPopupWindow::~TcxPopupWindow() {
  // The window goes first, while everything its messages may reach is whole.
  DestroyHandle();
}

int TcxPopupWindow::BorderWidth(TcxPopupSide) {
  switch (FPopupBorderStyle) {
    case pbsSingle:
    case pbsRaised: return 1;
    case pbsDoubleRaised: return 2;
    default: return 0;
  }
}

int TcxPopupWindow::BorderOffset(TcxPopupSide side) { return BorderWidth(side) + FBorderSpace; }

RECT TcxPopupWindow::GetContentBounds() {
  RECT r = ClientRect();
  r.left += BorderOffset(psLeft);
  r.top += BorderOffset(psTop);
  r.right -= BorderOffset(psRight);
  r.bottom -= BorderOffset(psBottom);
  return r;
}

RECT TcxPopupWindow::GetOwnerScreenBounds() {
  auto* parent = ObjectAs<TWinControl>(FOwnerParent);
  if (!parent && FOwnerParent) {
    // A graphic control: its bounds lie in its parent's client area.
    const POINT topLeft = FOwnerParent->ClientToScreen(POINT{FOwnerBounds.left, FOwnerBounds.top});
    const POINT bottomRight = FOwnerParent->ClientToScreen(POINT{FOwnerBounds.right, FOwnerBounds.bottom});
    return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
  }
  if (!parent || !parent->HandleAllocated()) return FOwnerBounds;
  const POINT topLeft = parent->ClientToScreen(POINT{FOwnerBounds.left, FOwnerBounds.top});
  const POINT bottomRight = parent->ClientToScreen(POINT{FOwnerBounds.right, FOwnerBounds.bottom});
  return RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y};
}

void TcxPopupWindow::ApplyOwnerFont() {
  if (FOwnerParent) Font()->Assign(FOwnerParent->Font());
}

void TcxPopupWindow::ChangeBorderStyle(TcxPopupBorderStyle value) {
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* child = Controls(i);
    child->SetBounds(child->Left() - FChildOffset.x, child->Top() - FChildOffset.y, child->Width(), child->Height());
  }
  FChildOffset = POINT{0, 0};
  FPopupBorderStyle = value;
}

void TcxPopupWindow::FitToContents() {
  if (!FAdjustable) return;
  // Children stand in the content area's co-ordinates, moved by the border
  // offsets; they move only by what the offsets changed since, so showing
  // twice does not move them twice.
  const POINT offset{BorderOffset(psLeft), BorderOffset(psTop)};
  const int dx = offset.x - FChildOffset.x, dy = offset.y - FChildOffset.y;
  int right = 0, bottom = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* child = Controls(i);
    right = std::max<int>(right, child->Left() - FChildOffset.x + child->Width());
    bottom = std::max<int>(bottom, child->Top() - FChildOffset.y + child->Height());
    if (dx || dy) child->SetBounds(child->Left() + dx, child->Top() + dy, child->Width(), child->Height());
  }
  FChildOffset = offset;
  if (ControlCount() == 0 && right <= 0 && bottom <= 0) return;
  SetBounds(Left(), Top(), offset.x + right + BorderOffset(psRight), offset.y + bottom + BorderOffset(psBottom));
}

POINT TcxPopupWindow::ComputePopupPosition() {
  const RECT o = GetOwnerScreenBounds();
  const int w = Width(), h = Height();
  TcxPopupAlignment horz = FAlignHorz, vert = FAlignVert;
  POINT p{Left(), Top()};
  POINT reference{o.left, o.bottom};
  if (horz == cxpaCenter) p.x = reference.x = (o.left + o.right - w) / 2;
  if (vert == cxpaCenter) p.y = reference.y = (o.top + o.bottom - h) / 2;
  auto place = [&] {
    if (FDirection == pdVertical) {
      if (horz == cxpaNear) p.x = reference.x = o.left;
      if (horz == cxpaFar) {
        p.x = o.right - w;
        reference.x = o.right;
      }
      if (vert == cxpaNear) {
        p.y = o.top - h;
        reference.y = o.top;
      }
      if (vert == cxpaFar) p.y = reference.y = o.bottom;
    } else {
      if (horz == cxpaNear) {
        p.x = o.left - w;
        reference.x = o.left;
      }
      if (horz == cxpaFar) p.x = reference.x = o.right;
      if (vert == cxpaNear) p.y = reference.y = o.top;
      if (vert == cxpaFar) {
        p.y = o.bottom - h;
        reference.y = o.bottom;
      }
    }
  };
  place();
  const RECT work = GetPointWorkArea(reference);
  // Flip to the side with more room when the popup does not fit.
  if (FDirection == pdVertical) {
    const bool moreRoomAbove = work.bottom - o.bottom < o.top - work.top;
    if (vert == cxpaFar && p.y + h > work.bottom && moreRoomAbove) vert = cxpaNear;
    else if (vert == cxpaNear && p.y < work.top && !moreRoomAbove) vert = cxpaFar;
  } else {
    const bool moreRoomLeft = work.right - o.right < o.left - work.left;
    if (horz == cxpaFar && p.x + w > work.right && moreRoomLeft) horz = cxpaNear;
    else if (horz == cxpaNear && p.x < work.left && !moreRoomLeft) horz = cxpaFar;
  }
  place();
  // Shift across the opening direction only (the axis it opens along is
  // flipped, never shifted), and along both axes when centred.
  if (FDirection == pdVertical || horz == cxpaCenter) {
    if (p.x + w > work.right) p.x = work.right - w;
    if (p.x < work.left) p.x = work.left;
  }
  if (FDirection == pdHorizontal || vert == cxpaCenter) {
    if (p.y + h > work.bottom) p.y = work.bottom - h;
    if (p.y < work.top) p.y = work.top;
  }
  return p;
}

void TcxPopupWindow::ShowPopup() {
  ApplyOwnerFont();
  FitToContents();
  const int left = ComputePopupPosition().x;
  const int top = ComputePopupPosition().y;
  SetBounds(left, top, Width(), Height());
  Show();
}

void TcxPopupWindow::ClosePopup() { Hide(); }

void TcxPopupWindow::DrawPopupBorder() {
  const RECT r{0, 0, Width(), Height()};
  switch (FPopupBorderStyle) {
    case pbsSingle:
      FcxCanvas->DrawSideFrame(r, FFrameColor, 1, cxBordersAll);
      break;
    case pbsRaised:
      FcxCanvas->DrawTwoToneFrame(r, clBtnHighlight, clBtnShadow, cxBordersAll, 1);
      break;
    case pbsDoubleRaised: {
      FcxCanvas->DrawTwoToneFrame(r, cl3DLight, cl3DDkShadow, cxBordersAll, 1);
      RECT inner = r;
      InflateRect(&inner, -1, -1);
      FcxCanvas->DrawTwoToneFrame(inner, clBtnHighlight, clBtnShadow, cxBordersAll, 1);
      break;
    }
    default:
      break;
  }
}

void TcxPopupWindow::PaintWindow(HDC dc) {
  TForm::PaintWindow(dc);
  TCanvasPaintScope scope(FFormCanvas, dc);
  DrawPopupBorder();
}

void TcxPopupWindow::Deactivate() {
  TForm::Deactivate();
  ClosePopup();
}

void TcxPopupWindow::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ACTIVATE:
      TForm::Dispatch(Message);
      if (LOWORD(Message.WParam) != WA_INACTIVE) {
        // The window that lost the activation keeps its caption drawn active.
        FPrevActiveWindow = reinterpret_cast<HWND>(Message.LParam);
        if (FPrevActiveWindow && IsWindow(FPrevActiveWindow)) SendMessageA(FPrevActiveWindow, WM_NCACTIVATE, TRUE, 0);
      }
      return;
    case WM_ACTIVATEAPP:
      TForm::Dispatch(Message);
      if (Message.WParam == 0) {
        if (FPrevActiveWindow && IsWindow(FPrevActiveWindow)) SendMessageA(FPrevActiveWindow, WM_NCACTIVATE, FALSE, 0);
        ClosePopup();
      }
      return;
    case CM_VISIBLECHANGED:
      TForm::Dispatch(Message);
      VisibilityChanged();
      return;
    default:
      break;
  }
  TForm::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TcxBaseHintWindow

const TClassInfo TcxBaseHintWindow::ClassInfo{"TcxBaseHintWindow", &THintWindow::ClassInfo,
                                              [](TObject* owner) -> TObject* {
                                                return new TcxBaseHintWindow(static_cast<TComponent*>(owner));
                                              }};

TcxBaseHintWindow::TcxBaseHintWindow(TComponent* AOwner) : THintWindow(AOwner) {}

void TcxBaseHintWindow::SetHasBorder(bool value) {
  if (FBorder == value) return;
  FBorder = value;
  if (HandleAllocated()) RecreateWnd();
}

void TcxBaseHintWindow::CreateParams(TCreateParams& Params) {
  THintWindow::CreateParams(Params);
  if (!FBorder) Params.Style &= ~static_cast<DWORD>(WS_BORDER);
  Params.ExStyle |= WS_EX_TOPMOST;
}

void TcxBaseHintWindow::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const RECT work = GetPointWorkArea(POINT{ALeft, ATop});
  ALeft = std::max<int>(std::min<int>(ALeft, work.right - AWidth), work.left);
  ATop = std::max<int>(std::min<int>(ATop, work.bottom - AHeight), work.top);
  THintWindow::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TcxBaseHintWindow::ResetWindowShape() {
  if (HandleAllocated()) SetWindowRgn(Handle(), nullptr, TRUE);
}

void TcxBaseHintWindow::ShowNoActivate() {
  ShowWindow(Handle(), SW_SHOWNOACTIVATE);
  FVisible = true;
}

void TcxBaseHintWindow::ActivateHint(const RECT& rect, const AnsiString& hint) {
  SetText(hint);
  HandleNeeded();
  SetBounds(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  FShownBounds = BoundsRect();
  BeforeShowHook();
  ShowNoActivate();
  Invalidate();
}

void TcxBaseHintWindow::ShowHintText(const RECT& rect, const AnsiString& text) {
  SetText(text);
  HandleNeeded();
  SetBounds(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  FShownBounds = BoundsRect();
  BOOL animation = FALSE;
  SystemParametersInfoA(SPI_GETTOOLTIPANIMATION, 0, &animation, 0);
  FLastShowAnimated = FAnimationStyle == cxhaSystem && animation && text.size() < 100;
  if (FLastShowAnimated) {
    BOOL fade = FALSE;
    SystemParametersInfoA(SPI_GETTOOLTIPFADE, 0, &fade, 0);
    SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (!AnimateWindow(Handle(), static_cast<DWORD>(FAnimationDelay), fade ? AW_BLEND : AW_SLIDE | AW_VER_POSITIVE))
      ShowWindow(Handle(), SW_SHOWNOACTIVATE);
    FVisible = true;
  } else {
    ShowNoActivate();
  }
  Invalidate();
  Update();
}

void TcxBaseHintWindow::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_ERASEBKGND && !FNeedEraseBackground) {
    Message.Result = 1;
    return;
  }
  THintWindow::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// Drag images

const TClassInfo TcxCustomDragImage::ClassInfo{"TcxCustomDragImage", &TcxPopupWindow::ClassInfo,
                                               [](TObject* owner) -> TObject* {
                                                 return new TcxCustomDragImage(static_cast<TComponent*>(owner));
                                               }};

TcxCustomDragImage::TcxCustomDragImage(TComponent* AOwner) : TcxPopupWindow(AOwner) {
  SetBounds(0, 0, 0, 0);
  SetAlphaBlendValue(180);
  SetAlphaBlend(true);
}

void TcxCustomDragImage::CreateParams(TCreateParams& Params) {
  TcxPopupWindow::CreateParams(Params);
  if (PopupParent() && PopupParent()->HandleAllocated()) {
    Params.WndParent = PopupParent()->Handle();
  } else if (TCustomForm* active = Screen->ActiveForm(); active && active != this && active->HandleAllocated()) {
    Params.WndParent = active->Handle();
  }
  Params.WindowClass.style |= CS_SAVEBITS;
  // Under Wine a top-level window answering HTTRANSPARENT swallows a click;
  // a layered one with WS_EX_TRANSPARENT lets it through (as HTTRANSPARENT
  // does on Windows). Alpha blending makes the window layered.
  Params.ExStyle |= WS_EX_TRANSPARENT;
}

void TcxCustomDragImage::ShowWithoutActivation() {
  HandleNeeded();
  ShowWindow(Handle(), SW_SHOWNA);
  FVisible = true;
  UpdateWindow(Handle());
}

void TcxCustomDragImage::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_NCHITTEST:
      Message.Result = HTTRANSPARENT;
      return;
    default:
      break;
  }
  TcxPopupWindow::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TcxSizeFrame

const TClassInfo TcxSizeFrame::ClassInfo{"TcxSizeFrame", &TcxCustomDragImage::ClassInfo,
                                         [](TObject* owner) -> TObject* {
                                           return new TcxSizeFrame(1, static_cast<TComponent*>(owner));
                                         }};

TcxSizeFrame::TcxSizeFrame(int frameWidth, TComponent* AOwner)
    : TcxCustomDragImage(AOwner), FFrameWidth(frameWidth), FRegion(std::make_unique<TcxRegion>()) {
  SetAlphaBlend(false);
  // The 8 x 8 two-colour checker of black and white.
  FPattern.SetPixelFormat(pf24bit);
  FPattern.SetSize(8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) FPattern.Canvas()->SetPixels(x, y, (x + y) % 2 ? clWhite : clBlack);
}

TcxSizeFrame::~TcxSizeFrame() { DestroyHandle(); }

void TcxSizeFrame::MoveFrameTo(const RECT& r) {
  FRegion = std::make_unique<TcxRegion>(RECT{0, 0, r.right - r.left, r.bottom - r.top});
  FHollowed = false;
  SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

void TcxSizeFrame::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TcxCustomDragImage::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (!FRegion || !HandleAllocated() || 2 * FFrameWidth >= Width() || 2 * FFrameWidth >= Height()) return;
  // A region hollowed once stays as it is until the next MoveFrameTo (a
  // ring hollowed again would lose its frame).
  if (FHollowed) return;
  FHollowed = true;
  // The inside: the region narrowed by the frame width from each side in turn.
  const int f = FFrameWidth;
  auto inner = std::make_unique<TcxRegion>(CreateRectRgn(0, 0, 0, 0));
  inner->CombineWith(FRegion.get(), roSet, false);
  const POINT moves[] = {{f, 0}, {0, f}, {-f, 0}, {0, -f}};
  for (const POINT& m : moves) {
    auto moved = new TcxRegion(CreateRectRgn(0, 0, 0, 0));
    moved->CombineWith(inner.get(), roSet, false);
    moved->OffsetBy(m.x, m.y);
    inner->CombineWith(moved, roIntersect);
  }
  FRegion->CombineWith(inner.release(), roSubtract);
  HRGN current = CreateRectRgn(0, 0, 0, 0);
  const bool has = GetWindowRgn(Handle(), current) != ERROR;
  const bool same = has && FRegion->IsEqualToHandle(current);
  DeleteObject(current);
  if (same) return;
  HRGN copy = CreateRectRgn(0, 0, 0, 0);
  CombineRgn(copy, FRegion->Handle(), nullptr, RGN_COPY);
  SetWindowRgn(Handle(), copy, TRUE);  // the window owns the copy
}

void TcxSizeFrame::PaintWindow(HDC dc) {
  TCanvas canvas;
  TCanvasPaintScope scope(canvas, dc);
  canvas.Brush()->SetBitmap(&FPattern);
  canvas.FillRect(ClientRect());
}
