// Drawing objects over GDI: scoped guards for GDI state, and the font, pen
// and brush that a canvas draws with. The objects create their GDI handle on
// first use and share it with every other object of the same description
// (one handle per distinct font, pen or brush in the process).
#pragma once

#include "platform/Colors.h"
#include "platform/Event.h"
#include "platform/GraphicsErrors.h"
#include "platform/HandleCounts.h"
#include "platform/Persistent.h"
#include "platform/Set.h"
#include "platform/Win32.h"

#include <memory>

class TBitmap;

// ---------------------------------------------------------------------------
// Scoped guards: every GDI object, selection and saved state has an owner
// that undoes it, so an exception or early return leaks nothing.

// Owns one GDI object (pen, brush, font, bitmap, region, palette); deletes it
// when dropped. Move-only. Every handle it holds is counted (HandleCounts.h);
// Release hands the handle and its count back to the caller.
class TGdiObject {
public:
  TGdiObject() = default;
  explicit TGdiObject(HGDIOBJ handle) : FHandle(handle) {
    if (handle) HandleCreated(hkGdiObject);
  }
  ~TGdiObject() { Reset(); }
  // Release counts the handle gone from `other`: this guard counts it back.
  TGdiObject(TGdiObject&& other) noexcept : FHandle(other.Release()) {
    if (FHandle) HandleCreated(hkGdiObject);
  }
  TGdiObject& operator=(TGdiObject&& other) noexcept {
    if (this != &other) Reset(other.Release());
    return *this;
  }
  TGdiObject(const TGdiObject&) = delete;
  TGdiObject& operator=(const TGdiObject&) = delete;

  HGDIOBJ Get() const { return FHandle; }
  explicit operator bool() const { return FHandle != nullptr; }
  HGDIOBJ Release() {
    HGDIOBJ h = FHandle;
    FHandle = nullptr;
    if (h) HandleDeleted(hkGdiObject);
    return h;
  }
  void Reset(HGDIOBJ handle = nullptr) {
    if (FHandle == handle) return;
    if (FHandle) {
      DeleteObject(FHandle);
      HandleDeleted(hkGdiObject);
    }
    FHandle = handle;
    if (handle) HandleCreated(hkGdiObject);
  }

private:
  HGDIOBJ FHandle = nullptr;
};

// Selects an object into a device context and puts the previous object back
// when dropped (or at Restore). Select again on the same DC keeps the first
// previous object, so one guard can switch between several objects.
class TSelectObjectGuard {
public:
  TSelectObjectGuard() = default;
  TSelectObjectGuard(HDC dc, HGDIOBJ object) { Select(dc, object); }
  ~TSelectObjectGuard() { Restore(); }
  TSelectObjectGuard(const TSelectObjectGuard&) = delete;
  TSelectObjectGuard& operator=(const TSelectObjectGuard&) = delete;

  void Select(HDC dc, HGDIOBJ object);
  void Restore();
  bool Active() const { return FDC != nullptr; }

private:
  HDC FDC = nullptr;
  HGDIOBJ FPrevious = nullptr;
};

// SaveDC for a scope; RestoreDC when dropped.
class TSavedDCGuard {
public:
  explicit TSavedDCGuard(HDC dc) : FDC(dc), FSaved(SaveDC(dc)) {}
  ~TSavedDCGuard() {
    if (FSaved) RestoreDC(FDC, FSaved);
  }
  TSavedDCGuard(const TSavedDCGuard&) = delete;
  TSavedDCGuard& operator=(const TSavedDCGuard&) = delete;

private:
  HDC FDC;
  int FSaved;
};

// A memory device context compatible with `reference` (the screen when null);
// deleted when dropped. Raises EOutOfResources when the system has none left.
class TMemoryDC {
public:
  explicit TMemoryDC(HDC reference = nullptr);
  ~TMemoryDC() {
    if (!FDC) return;
    DeleteDC(FDC);
    HandleDeleted(hkDeviceContext);
  }
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  HDC Get() const { return FDC; }

private:
  HDC FDC;
};

// A window's device context (GetDC; the screen's when `wnd` is null) for a
// scope. Get() is null when the system has none to give.
class TWindowDC {
public:
  explicit TWindowDC(HWND wnd) : FWnd(wnd), FDC(GetDC(wnd)) {
    if (FDC) HandleCreated(hkDeviceContext);
  }
  // The whole window's DC (frame included), for non-client painting.
  enum TWholeWindow { WholeWindow };
  TWindowDC(HWND wnd, TWholeWindow) : FWnd(wnd), FDC(GetWindowDC(wnd)) {
    if (FDC) HandleCreated(hkDeviceContext);
  }
  ~TWindowDC() {
    if (!FDC) return;
    ReleaseDC(FWnd, FDC);
    HandleDeleted(hkDeviceContext);
  }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  HDC Get() const { return FDC; }
  HWND Window() const { return FWnd; }

private:
  HWND FWnd;
  HDC FDC;
};

// The screen's device context for a scope.
class TScreenDC : public TWindowDC {
public:
  TScreenDC() : TWindowDC(nullptr) {}
};

// BeginPaint for a scope; EndPaint when dropped.
class TPaintDC {
public:
  explicit TPaintDC(HWND wnd) : FWnd(wnd), FDC(BeginPaint(wnd, &FPaint)) {
    if (FDC) HandleCreated(hkDeviceContext);
  }
  ~TPaintDC() {
    EndPaint(FWnd, &FPaint);
    if (FDC) HandleDeleted(hkDeviceContext);
  }
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;
  HDC Get() const { return FDC; }
  const PAINTSTRUCT& Paint() const { return FPaint; }

private:
  HWND FWnd;
  PAINTSTRUCT FPaint{};
  HDC FDC;
};

// Raises EOutOfResources with the system's last error text (or "Out of
// system resources") when `handle` is null; answers it otherwise.
[[noreturn]] void RaiseLastGDIError();
template <class H>
H CheckGDI(H handle) {
  if (!handle) RaiseLastGDIError();
  return handle;
}

// The COLORREF a drawing object uses for `color`: system colours resolved,
// clDefault replaced by `defaultColor`. clNone must be handled by the caller.
COLORREF ResolveColor(TColor color, TColor defaultColor);

// ---------------------------------------------------------------------------
// Fonts, pens and brushes.

// A shared GDI handle together with the description it was made from.
struct TGraphicsResource;

// The base of fonts, pens and brushes: a description, a lazily created
// shared handle, and a change event the canvas listens to so that it
// deselects the old handle before it is released.
class TGraphicsObject : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TNotifyEvent OnChange;
  bool HandleAllocated() const { return FResource != nullptr; }

protected:
  // Drops the current handle (kept alive until the listeners have let go of
  // it), then signals OnChange.
  void DataChanged();
  virtual void Changed();
  // The handle for the description `key`: shared with every other object of
  // the same kind and key; `create` makes it when none exists yet.
  HGDIOBJ SharedHandle(const std::string& key, HGDIOBJ (*create)(const void* data), const void* data);
  // The current handle, or null when none was made since the last change.
  HGDIOBJ CurrentHandle() const;
  // Takes ownership of a handle given from outside (not shared by key).
  void AdoptHandle(HGDIOBJ handle);
  std::shared_ptr<TGraphicsResource> FResource;
};

enum class TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using enum TFontStyle;
using TFontStyles = TSet<TFontStyle, 4>;
enum class TFontPitch { fpDefault, fpVariable, fpFixed };
using enum TFontPitch;
using TFontCharset = uint8_t;

// A font: name, height in pixels (negative: character height, as LOGFONT),
// size in points at PixelsPerInch, style, charset, pitch, orientation and a
// colour (not part of the handle). A new font takes the system's default GUI font.
class TFont : public TGraphicsObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TFont();
  void Assign(TPersistent* source) override;

  HFONT Handle();
  // Takes ownership of `font`; the description is read back from it.
  void SetHandle(HFONT font);

  TColor Color() const { return FColor; }
  void SetColor(TColor value);
  int Height() const { return FHeight; }
  void SetHeight(int value);
  int Size() const;
  void SetSize(int points);
  const AnsiString& Name() const { return FName; }
  void SetName(const AnsiString& value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles value);
  TFontCharset Charset() const { return FCharset; }
  void SetCharset(TFontCharset value);
  TFontPitch Pitch() const { return FPitch; }
  void SetPitch(TFontPitch value);
  int Orientation() const { return FOrientation; }
  void SetOrientation(int tenthsOfDegree);
  int PixelsPerInch() const { return FPixelsPerInch; }
  void SetPixelsPerInch(int value) { FPixelsPerInch = value; }

  // The description as the system's LOGFONTA.
  LOGFONTA LogFont() const;

private:
  void SetFromLogFont(const LOGFONTA& font);
  TColor FColor = clWindowText;
  int FHeight = 0;
  AnsiString FName;
  TFontStyles FStyle;
  TFontCharset FCharset = DEFAULT_CHARSET;
  TFontPitch FPitch = TFontPitch::fpDefault;
  int FOrientation = 0;
  int FPixelsPerInch = 96;
};

// The sixteen binary raster operations of a pen, in this order.
enum class TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
using enum TPenMode;
// The R2_ code of each pen mode (index = TPenMode).
extern const int PenModes[16];
// The values equal the system's PS_ styles.
enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
using enum TPenStyle;

// A pen: colour, width in pixels, style and raster mode. clNone draws no line.
class TPen : public TGraphicsObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  void Assign(TPersistent* source) override;
  HPEN Handle();
  void SetHandle(HPEN pen);

  TColor Color() const { return FColor; }
  void SetColor(TColor value);
  TPenMode Mode() const { return FMode; }
  void SetMode(TPenMode value);
  TPenStyle Style() const { return FStyle; }
  void SetStyle(TPenStyle value);
  int Width() const { return FWidth; }
  void SetWidth(int value);

private:
  TColor FColor = clBlack;
  TPenMode FMode = TPenMode::pmCopy;
  TPenStyle FStyle = TPenStyle::psSolid;
  int FWidth = 1;
};

enum class TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
using enum TBrushStyle;

// A brush: colour and style, or a pattern bitmap (not owned: the caller keeps
// it alive while the brush uses it). clNone or bsClear paints nothing.
class TBrush : public TGraphicsObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  void Assign(TPersistent* source) override;
  HBRUSH Handle();
  void SetHandle(HBRUSH brush);

  TColor Color() const { return FColor; }
  void SetColor(TColor value);
  TBrushStyle Style() const { return FStyle; }
  void SetStyle(TBrushStyle value);
  TBitmap* Bitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* value);
  // True when filling with this brush leaves the pixels as they were.
  bool IsHollow() const { return FStyle == TBrushStyle::bsClear || (FColor == clNone && !FBitmap); }

private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = TBrushStyle::bsSolid;
  TBitmap* FBitmap = nullptr;
};
