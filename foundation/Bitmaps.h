// The library's bitmaps. TcxCustomBitmap is a platform bitmap with its own
// TcxCanvas, batched change notifications, rotation and mirroring, and an
// optional packed stream form ("XDBM", foundation/PackedBitmap.h).
// TcxBitmap is the 32-bit working bitmap of glyph effects: its pixels as an
// array of BGRA values, the colours that count as transparent, and per-pixel
// filters chosen by a code. Also pixel arrays of any bitmap and a Lanczos-3
// resampler.
#pragma once

#include "foundation/Canvas.h"
#include "platform/Bitmap.h"

#include <cstdint>
#include <memory>
#include <vector>

// A pixel value: 0xAARRGGBB, in memory blue, green, red, alpha.
using TRGBQuad = uint32_t;
using TRGBColors = std::vector<TRGBQuad>;

inline uint8_t PixelAlpha(TRGBQuad p) { return static_cast<uint8_t>(p >> 24); }
inline uint8_t PixelRed(TRGBQuad p) { return static_cast<uint8_t>(p >> 16); }
inline uint8_t PixelGreen(TRGBQuad p) { return static_cast<uint8_t>(p >> 8); }
inline uint8_t PixelBlue(TRGBQuad p) { return static_cast<uint8_t>(p); }
inline TRGBQuad MakePixel(int r, int g, int b, int a) {
  return (static_cast<uint32_t>(a) << 24) | (static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) |
         static_cast<uint32_t>(b);
}
// A platform colour (system colours resolved) as a pixel with `alpha`.
TRGBQuad ColorToPixel(TColor color, uint8_t alpha);
int ClampByte(int value);
// Rounded to the nearest (halves to even), then clamped.
int RoundToByte(double value);
// Blends colour `c` over `p` in place at opacity `opacity` (0-255), with
// c's own alpha.
void BlendColorOverPixel(TRGBQuad c, TRGBQuad& p, uint8_t opacity);
// A BITMAPINFOHEADER for 32-bit pixel access.
BITMAPINFOHEADER InitPixelHeader(int width, int height, bool topDown);

// The pixels of any bitmap, row 0 the top row when `topDown`, else the
// bottom row.
void ReadBitmapPixels(TBitmap* bitmap, bool topDown, TRGBColors& colors);
// Writes them back into the bitmap (of the array's size) and clears the array.
void StoreBitmapColors(TBitmap* bitmap, TRGBColors& colors, bool topDown);

class TcxCustomBitmap : public TBitmap {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // 0 x 0, 24 bits per pixel.
  TcxCustomBitmap();
  TcxCustomBitmap(int width, int height, TPixelFormat format = pf24bit);
  ~TcxCustomBitmap() override;
  static TcxCustomBitmap* CreateOfSize(int width, int height) { return new TcxCustomBitmap(width, height); }
  static TcxCustomBitmap* CreateForRect(const RECT& r) { return new TcxCustomBitmap(r.right - r.left, r.bottom - r.top); }
  static TcxCustomBitmap* CreateForRectWithFormat(const RECT& r, TPixelFormat format) {
    return new TcxCustomBitmap(r.right - r.left, r.bottom - r.top, format);
  }

  TcxCanvas* cxCanvas() const { return FcxCanvas.get(); }
  bool CompressData() const { return FCompressData; }
  void SetCompressData(bool value) { FCompressData = value; }

  // Held while locked; reported at unlocking when forced or pending.
  void LockChanges() { ++FChangeLockCount; }
  void UnlockChanges(bool force = false);
  bool IsChangeLocked() const { return FChangeLockCount > 0; }
  void Changed(TObject* sender) override;

  virtual void ClearToBlack();
  virtual void SetDimensions(int width, int height);
  RECT FullRect() { return RECT{0, 0, GetWidth(), GetHeight()}; }
  void CopyBitmap(TBitmap* source, DWORD rop = SRCCOPY);
  void CopyBitmapRect(TBitmap* source, const RECT& dest, POINT sourcePoint, DWORD rop = SRCCOPY);
  // Code 0 none, 1 a quarter counter-clockwise, 2 a quarter clockwise, 3 half
  // way; `mirror` mirrors as well (see the table in the implementation).
  void RotateOrFlip(int rotation, bool mirror);

  // With CompressData the packed form, else the platform's own.
  void ReadData(TStream& stream) override;
  void WriteData(TStream& stream) override;

protected:
  // For descendants that run their own InitializeBitmap.
  struct TDeferInit {};
  explicit TcxCustomBitmap(TDeferInit) {}
  // Construction steps of the hierarchy, called once by each constructor.
  virtual void InitializeBitmap(int width, int height, TPixelFormat format);
  virtual void AfterSizeHook() {}

private:
  bool FCompressData = false;
  std::unique_ptr<TcxCanvas> FcxCanvas;
  int FChangeLockCount = 0;
  bool FChangePending = false;
};

// Colours as 0x00RRGGBB.
using TcxColorList = std::vector<uint32_t>;
void AddColorToList(TcxColorList& list, TColor color);

enum TcxBitmapFilter {
  cxfLighten, cxfDisable, cxfGreyAverage, cxfOpaque, cxfMask, cxfGrey, cxfGreyGreen, cxfCompleteAlpha, cxfChecker,
  cxfFill, cxfClearAlpha
};

class TcxBitmap : public TcxCustomBitmap {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TcxBitmap();
  // Always 32 bits per pixel, cleared.
  TcxBitmap(int width, int height);
  // Transparent value `pixel`; cleared to it when its alpha is not 0, else black.
  TcxBitmap(int width, int height, TRGBQuad pixel);
  static TcxBitmap* CreateFilled(int width, int height, TRGBQuad pixel) { return new TcxBitmap(width, height, pixel); }

  // Row 0 is the bottom row.
  void GetPixels(TRGBColors& colors);
  void SetPixels(const TRGBColors& colors);
  // Codes outside 0-10 do nothing.
  void ApplyFilter(int code);
  void MakeOpaque() { ApplyFilter(cxfOpaque); }
  bool HasAlpha();
  void SetTransparentColor(TColor color);
  bool IsTransparentPixel(TRGBQuad pixel) const;
  TRGBQuad TransparentPixel() const { return FTransparentPixel; }
  void SetTransparentPixel(TRGBQuad value) { FTransparentPixel = value; }
  TcxColorList& TransparentColors() { return FTransparentColors; }
  void SetCheckerParams(TColor first, TColor second, int cellSize, uint8_t firstAlpha, uint8_t secondAlpha);

  void ClearToBlack() override;
  void SetDimensions(int width, int height) override;

protected:
  void InitializeBitmap(int width, int height, TPixelFormat format) override;

private:
  void FilterPixel(int code, TRGBQuad& p, int x, int y) const;

  TRGBQuad FTransparentPixel = 0;
  TcxColorList FTransparentColors;
  TRGBQuad FCheckerFirst = 0;
  uint8_t FCheckerFirstAlpha = 0;
  TRGBQuad FCheckerSecond = 0;
  uint8_t FCheckerSecondAlpha = 0;
  uint8_t FCheckerSize = 1;
};

// Lanczos-3 weights of one pass: for each destination index its source
// indices and weights (scaled by 256).
struct TcxContributor {
  int Index;
  int Weight;
};
using TcxContributors = std::vector<std::vector<TcxContributor>>;
TcxContributors BuildContributors(int sourceLength, int destLength);
// Fills `dest` (its size kept) with `source` scaled to it: the system's
// HALFTONE stretch without `smooth`, else two Lanczos-3 passes.
void ResampleBitmap(TBitmap* source, TBitmap* dest, bool smooth);
// The Lanczos-3 passes on pixel arrays (top-down rows).
void ResamplePixels(const TRGBColors& source, int sw, int sh, TRGBColors& dest, int dw, int dh);
