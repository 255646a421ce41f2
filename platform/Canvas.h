// A drawing surface over a device context, with the font, pen and brush it
// draws with. The canvas selects its objects into the device context when an
// operation needs them and puts the device context's own objects back when
// it lets go of it.
#pragma once

#include "platform/Graphics.h"

class TBitmap;
class TGraphic;

enum class TCanvasState { csHandleValid, csFontValid, csPenValid, csBrushValid };
using enum TCanvasState;
using TCanvasStates = TSet<TCanvasState, 4>;

class TCanvas : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TCanvas();
  ~TCanvas() override;

  // The device context with the font, pen and brush selected; created on
  // demand by descendants (CreateHandle). Raises EInvalidOperation "Canvas
  // does not allow drawing" when there is none.
  HDC Handle();
  void SetHandle(HDC dc);
  bool HandleAllocated() const { return FHandle != nullptr; }
  // Deselects the objects so that the next operation selects them again.
  void Refresh();

  // Serialises drawing from several threads (a recursive lock).
  void Lock();
  void Unlock();
  bool TryLock();
  int LockCount() const { return FLockCount; }

  TFont* Font() { return &FFont; }
  void SetFont(TFont* value) { FFont.Assign(value); }
  TPen* Pen() { return &FPen; }
  void SetPen(TPen* value) { FPen.Assign(value); }
  TBrush* Brush() { return &FBrush; }
  void SetBrush(TBrush* value) { FBrush.Assign(value); }

  POINT PenPos();
  void SetPenPos(POINT value) { MoveTo(value.x, value.y); }
  // The raster operation of CopyRect and of drawing bitmaps (SRCCOPY at first).
  DWORD CopyMode() const { return FCopyMode; }
  void SetCopyMode(DWORD value) { FCopyMode = value; }
  // ExtTextOut options added to every text output (for example ETO_RTLREADING).
  UINT TextFlags() const { return FTextFlags; }
  void SetTextFlags(UINT value) { FTextFlags = value; }
  // The clip box in logical co-ordinates.
  RECT ClipRect();

  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Rectangle(int left, int top, int right, int bottom);
  void Rectangle(const RECT& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
  void RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
  void Ellipse(int left, int top, int right, int bottom);
  void Ellipse(const RECT& r) { Ellipse(r.left, r.top, r.right, r.bottom); }
  void Polygon(const POINT* points, int count);
  void Polyline(const POINT* points, int count);
  // Fills with the brush; a hollow brush (bsClear, clNone) leaves the pixels alone.
  void FillRect(const RECT& r);
  // A one-pixel frame in the brush.
  void FrameRect(const RECT& r);
  // The system's dotted focus rectangle (drawn by inverting, so a second call removes it).
  void DrawFocusRect(const RECT& r);

  // Draws a graphic at its own size, or stretched into a rectangle.
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const RECT& r, TGraphic* graphic);
  // Copies a rectangle of another canvas with CopyMode, stretching as needed.
  void CopyRect(const RECT& dest, TCanvas* source, const RECT& sourceRect);
  // Copies a rectangle of a bitmap with every pixel of `color` replaced by
  // the brush (left as it was when the brush is hollow).
  void BrushCopy(const RECT& dest, TBitmap* bitmap, const RECT& sourceRect, TColor color);

  TColor Pixels(int x, int y);
  void SetPixels(int x, int y, TColor color);

  // Text in the canvas's font; the brush paints the cell background unless hollow.
  void TextOut(int x, int y, const AnsiString& text);
  // Text clipped to `r` (and its background filled within `r`).
  void TextRect(const RECT& r, int x, int y, const AnsiString& text);
  // Text laid out in `r` by the system's DrawText `format` (DT_ flags);
  // with DT_CALCRECT `r` becomes the text's size. Answers the text height.
  int TextRect(RECT& r, const AnsiString& text, UINT format);
  SIZE TextExtent(const AnsiString& text);
  int TextWidth(const AnsiString& text) { return TextExtent(text).cx; }
  int TextHeight(const AnsiString& text) { return TextExtent(text).cy; }
  // Wide-text variants for Unicode drawing (the tree view, the skins).
  void TextOutW(int x, int y, const std::wstring& text);
  SIZE TextExtentW(const std::wstring& text);

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;
  virtual void Changing();
  virtual void Changed();

protected:
  // Called when Handle is asked for and there is none: descendants create
  // their device context here and hand it to SetHandle.
  virtual void CreateHandle() {}
  void RequiredState(TCanvasStates required);
  void DeselectHandles();

private:
  void CreateFont();
  void CreatePen();
  void CreateBrush();
  void FontChanged(TObject* sender);
  void PenChanged(TObject* sender);
  void BrushChanged(TObject* sender);

  HDC FHandle = nullptr;
  TCanvasStates FState;
  TFont FFont;
  TPen FPen;
  TBrush FBrush;
  TSelectObjectGuard FFontSelection;
  TSelectObjectGuard FPenSelection;
  TSelectObjectGuard FBrushSelection;
  POINT FPenPos{0, 0};
  DWORD FCopyMode = SRCCOPY;
  UINT FTextFlags = 0;
  CRITICAL_SECTION FLock;
  int FLockCount = 0;
};
