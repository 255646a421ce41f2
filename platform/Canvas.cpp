#include "platform/Canvas.h"

#include "platform/Bitmap.h"

const TClassInfo TCanvas::ClassInfo = {"TCanvas", &TPersistent::ClassInfo,
                                       [](TObject*) -> TObject* { return new TCanvas(); }};

TCanvas::TCanvas() {
  InitializeCriticalSection(&FLock);
  FFont.OnChange = TNotifyEvent::Bind<&TCanvas::FontChanged>(this);
  FPen.OnChange = TNotifyEvent::Bind<&TCanvas::PenChanged>(this);
  FBrush.OnChange = TNotifyEvent::Bind<&TCanvas::BrushChanged>(this);
}

TCanvas::~TCanvas() {
  DeselectHandles();
  DeleteCriticalSection(&FLock);
}

HDC TCanvas::Handle() {
  RequiredState({csHandleValid, csFontValid, csPenValid,
                 csBrushValid});
  return FHandle;
}

void TCanvas::SetHandle(HDC dc) {
  if (FHandle == dc) return;
  DeselectHandles();
  FHandle = dc;
  FState = dc ? TCanvasStates{csHandleValid} : TCanvasStates{};
  if (dc) {
    POINT p{};
    GetCurrentPositionEx(dc, &p);
    FPenPos = p;
  }
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::DeselectHandles() {
  FFontSelection.Restore();
  FPenSelection.Restore();
  FBrushSelection.Restore();
  FState -= TCanvasStates{csFontValid, csPenValid, csBrushValid};
}

void TCanvas::RequiredState(TCanvasStates required) {
  TCanvasStates missing = required - FState;
  if (missing.Empty()) return;
  if (missing.Contains(csHandleValid)) {
    CreateHandle();
    if (!FHandle) throw EInvalidOperation("Canvas does not allow drawing");
  }
  if (missing.Contains(csFontValid)) CreateFont();
  if (missing.Contains(csPenValid)) CreatePen();
  if (missing.Contains(csBrushValid)) CreateBrush();
}

void TCanvas::CreateFont() {
  FFontSelection.Select(FHandle, FFont.Handle());
  SetTextColor(FHandle, FFont.Color() == clNone ? 0 : ResolveColor(FFont.Color(), clWindowText));
  FState += csFontValid;
}

void TCanvas::CreatePen() {
  FPenSelection.Select(FHandle, FPen.Handle());
  SetROP2(FHandle, PenModes[static_cast<int>(FPen.Mode())]);
  FState += csPenValid;
}

void TCanvas::CreateBrush() {
  FBrushSelection.Select(FHandle, FBrush.Handle());
  // Only a solid brush paints the background of text and hatches: between
  // the lines of a hatched brush what was there shows through.
  if (FBrush.IsHollow() || (FBrush.Style() != bsSolid && !FBrush.Bitmap())) {
    SetBkMode(FHandle, TRANSPARENT);
  } else {
    SetBkColor(FHandle, ResolveColor(FBrush.Color(), clWindow));
    SetBkMode(FHandle, OPAQUE);
  }
  FState += csBrushValid;
}

void TCanvas::FontChanged(TObject*) {
  if (!FState.Contains(csFontValid)) return;
  FFontSelection.Restore();
  FState -= csFontValid;
}

void TCanvas::PenChanged(TObject*) {
  if (!FState.Contains(csPenValid)) return;
  FPenSelection.Restore();
  FState -= csPenValid;
}

void TCanvas::BrushChanged(TObject*) {
  if (!FState.Contains(csBrushValid)) return;
  FBrushSelection.Restore();
  FState -= csBrushValid;
}

void TCanvas::Lock() {
  EnterCriticalSection(&FLock);
  ++FLockCount;
}

void TCanvas::Unlock() {
  --FLockCount;
  LeaveCriticalSection(&FLock);
}

bool TCanvas::TryLock() {
  if (!TryEnterCriticalSection(&FLock)) return false;
  ++FLockCount;
  return true;
}

void TCanvas::Changing() { FireEvent(OnChanging, this); }
void TCanvas::Changed() { FireEvent(OnChange, this); }

POINT TCanvas::PenPos() {
  RequiredState({csHandleValid});
  POINT p{};
  GetCurrentPositionEx(FHandle, &p);
  return p;
}

RECT TCanvas::ClipRect() {
  RequiredState({csHandleValid});
  RECT r{};
  GetClipBox(FHandle, &r);
  return r;
}

void TCanvas::MoveTo(int x, int y) {
  RequiredState({csHandleValid});
  MoveToEx(FHandle, x, y, nullptr);
  FPenPos = {x, y};
}

void TCanvas::LineTo(int x, int y) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::LineTo(FHandle, x, y);
  FPenPos = {x, y};
  Changed();
}

void TCanvas::Rectangle(int left, int top, int right, int bottom) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Rectangle(FHandle, left, top, right, bottom);
  Changed();
}

void TCanvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::RoundRect(FHandle, left, top, right, bottom, cornerWidth, cornerHeight);
  Changed();
}

void TCanvas::Ellipse(int left, int top, int right, int bottom) {
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Ellipse(FHandle, left, top, right, bottom);
  Changed();
}

void TCanvas::Polygon(const POINT* points, int count) {
  if (!points || count <= 0) return;
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Polygon(FHandle, points, count);
  Changed();
}

void TCanvas::Polyline(const POINT* points, int count) {
  if (!points || count <= 0) return;
  Changing();
  RequiredState({csHandleValid, csPenValid, csBrushValid});
  ::Polyline(FHandle, points, count);
  Changed();
}

void TCanvas::FillRect(const RECT& r) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  if (!FBrush.IsHollow()) ::FillRect(FHandle, &r, FBrush.Handle());
  Changed();
}

void TCanvas::FrameRect(const RECT& r) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  if (!FBrush.IsHollow()) ::FrameRect(FHandle, &r, FBrush.Handle());
  Changed();
}

void TCanvas::DrawFocusRect(const RECT& r) {
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  ::DrawFocusRect(FHandle, &r);
  Changed();
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  RECT r{x, y, x + graphic->Width(), y + graphic->Height()};
  StretchDraw(r, graphic);
}

void TCanvas::StretchDraw(const RECT& r, TGraphic* graphic) {
  if (!graphic || graphic->Empty()) return;
  Changing();
  RequiredState({csHandleValid});
  graphic->Draw(this, r);
  Changed();
}

void TCanvas::CopyRect(const RECT& dest, TCanvas* source, const RECT& sourceRect) {
  if (!source) return;
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  HDC from = source->Handle();
  StretchBlt(FHandle, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, from, sourceRect.left,
             sourceRect.top, sourceRect.right - sourceRect.left, sourceRect.bottom - sourceRect.top, FCopyMode);
  Changed();
}

void TCanvas::BrushCopy(const RECT& dest, TBitmap* bitmap, const RECT& sourceRect, TColor color) {
  if (!bitmap || bitmap->Empty()) return;
  Changing();
  RequiredState({csHandleValid, csBrushValid});
  int width = sourceRect.right - sourceRect.left, height = sourceRect.bottom - sourceRect.top;
  int destWidth = dest.right - dest.left, destHeight = dest.bottom - dest.top;
  HDC source = bitmap->Canvas()->Handle();
  COLORREF key = ResolveColor(color, clWhite);
  if (FBrush.IsHollow()) {
    TransparentBlt(FHandle, dest.left, dest.top, destWidth, destHeight, source, sourceRect.left, sourceRect.top,
                   width, height, key);
    Changed();
    return;
  }
  // A copy of the area, and a mask that is 1 where the copy has the key colour.
  TMemoryDC copyDC(FHandle), maskDC(FHandle);
  TGdiObject copy(CheckGDI(CreateCompatibleBitmap(FHandle, width, height)));
  TGdiObject mask(CheckGDI(CreateBitmap(width, height, 1, 1, nullptr)));
  TSelectObjectGuard copySelection(copyDC.Get(), copy.Get());
  TSelectObjectGuard maskSelection(maskDC.Get(), mask.Get());
  BitBlt(copyDC.Get(), 0, 0, width, height, source, sourceRect.left, sourceRect.top, SRCCOPY);
  ::SetBkColor(copyDC.Get(), key);
  BitBlt(maskDC.Get(), 0, 0, width, height, copyDC.Get(), 0, 0, SRCCOPY);
  // The brush where the mask is 1, the copy elsewhere: ((D xor P) and S) xor D.
  constexpr DWORD BrushWhereSourceSet = 0x00E20746;
  ::SetBkColor(copyDC.Get(), RGB(255, 255, 255));
  SetTextColor(copyDC.Get(), RGB(0, 0, 0));
  TSelectObjectGuard brushSelection(copyDC.Get(), FBrush.Handle());
  BitBlt(copyDC.Get(), 0, 0, width, height, maskDC.Get(), 0, 0, BrushWhereSourceSet);
  StretchBlt(FHandle, dest.left, dest.top, destWidth, destHeight, copyDC.Get(), 0, 0, width, height, SRCCOPY);
  Changed();
}

TColor TCanvas::Pixels(int x, int y) {
  RequiredState({csHandleValid});
  COLORREF c = GetPixel(FHandle, x, y);
  return c == CLR_INVALID ? clNone : c;
}

void TCanvas::SetPixels(int x, int y, TColor color) {
  if (color == clNone) return;
  Changing();
  RequiredState({csHandleValid, csPenValid});
  SetPixel(FHandle, x, y, ResolveColor(color, clWindowText));
  Changed();
}

void TCanvas::TextOut(int x, int y, const AnsiString& text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  if (FFont.Color() != clNone)
    ExtTextOutA(FHandle, x, y, FTextFlags, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
  MoveTo(x + TextWidth(text), y);
  Changed();
}

void TCanvas::TextOutW(int x, int y, const std::wstring& text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  if (FFont.Color() != clNone)
    ExtTextOutW(FHandle, x, y, FTextFlags, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
  MoveTo(x + TextExtentW(text).cx, y);
  Changed();
}

void TCanvas::TextRect(const RECT& r, int x, int y, const AnsiString& text) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  UINT options = FTextFlags | ETO_CLIPPED;
  if (!FBrush.IsHollow()) options |= ETO_OPAQUE;
  if (FFont.Color() != clNone) {
    ExtTextOutA(FHandle, x, y, options, &r, text.data(), static_cast<UINT>(text.size()), nullptr);
  } else if (options & ETO_OPAQUE) {
    ::FillRect(FHandle, &r, FBrush.Handle());
  }
  Changed();
}

int TCanvas::TextRect(RECT& r, const AnsiString& text, UINT format) {
  Changing();
  RequiredState({csHandleValid, csFontValid, csBrushValid});
  int height = 0;
  if (FFont.Color() != clNone || (format & DT_CALCRECT))
    height = DrawTextA(FHandle, text.data(), static_cast<int>(text.size()), &r, format);
  Changed();
  return height;
}

SIZE TCanvas::TextExtent(const AnsiString& text) {
  RequiredState({csHandleValid, csFontValid});
  SIZE size{0, 0};
  if (!GetTextExtentPoint32A(FHandle, text.data(), static_cast<int>(text.size()), &size)) size = {0, 0};
  return size;
}

SIZE TCanvas::TextExtentW(const std::wstring& text) {
  RequiredState({csHandleValid, csFontValid});
  SIZE size{0, 0};
  if (!GetTextExtentPoint32W(FHandle, text.data(), static_cast<int>(text.size()), &size)) size = {0, 0};
  return size;
}
