// TBitmap: a picture held in a device-independent bitmap section, so its
// pixels are reachable row by row (ScanLine) and through a canvas at once.
#pragma once

#include "platform/BmpCodec.h"
#include "platform/Picture.h"

#include <memory>

enum class TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
using enum TPixelFormat;
enum class TTransparentMode { tmAuto, tmFixed };
using enum TTransparentMode;

class TBitmap;

// The canvas of a bitmap: a memory device context with the bitmap selected,
// made on first use and let go whenever the bitmap replaces its handle.
class TBitmapCanvas : public TCanvas {
public:
  explicit TBitmapCanvas(TBitmap* bitmap) : FBitmap(bitmap) {}
  ~TBitmapCanvas() override { FreeContext(); }
  void FreeContext();

protected:
  void CreateHandle() override;

private:
  TBitmap* FBitmap;
  std::unique_ptr<TMemoryDC> FMemoryDC;
  TSelectObjectGuard FBitmapSelection;
  HPALETTE FPreviousPalette = nullptr;
};

class TBitmap : public TGraphic {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TBitmap() = default;
  ~TBitmap() override;

  void Assign(TPersistent* source) override;
  void Draw(TCanvas* canvas, const RECT& r) override;

  bool GetEmpty() override { return FWidth == 0 || FHeight == 0; }
  int GetWidth() override { return FWidth; }
  int GetHeight() override { return FHeight; }
  void SetWidth(int value) override { SetSize(value, FHeight); }
  void SetHeight(int value) override { SetSize(FWidth, value); }
  // Resizes, keeping the pixels that still fit; new pixels are white.
  void SetSize(int width, int height);
  HPALETTE GetPalette() override;
  // Takes ownership of `palette` and uses its colours as the colour table.
  void SetPalette(HPALETTE palette) override;

  TCanvas* Canvas();
  // The bitmap section (null while the bitmap is empty).
  HBITMAP Handle();
  // Takes ownership of `bitmap`: a bitmap section is kept as it is, a
  // device-dependent bitmap is copied into one (and deleted).
  void SetHandle(HBITMAP bitmap);
  // Gives the handle away; the bitmap becomes empty.
  HBITMAP ReleaseHandle();
  bool HandleAllocated() const { return static_cast<bool>(FHandle); }

  TPixelFormat PixelFormat() const { return FPixelFormat; }
  // Converts the pixels to the format (through the colour table for 1, 4 and 8 bits).
  void SetPixelFormat(TPixelFormat value);
  bool Monochrome() const { return FBitCount == 1; }
  void SetMonochrome(bool value) { SetPixelFormat(value ? TPixelFormat::pf1bit : TPixelFormat::pfDevice); }
  int BitsPerPixel() const { return FBitCount; }

  // The first byte of a pixel row (0 = top). Raises EInvalidGraphicOperation
  // "Scan line index out of range" outside the bitmap.
  void* ScanLine(int row);

  // The colour drawn as transparent when Transparent is set: in tmAuto the
  // bottom-left pixel, in tmFixed the colour set (setting one chooses tmFixed;
  // clDefault goes back to tmAuto).
  TColor TransparentColor();
  void SetTransparentColor(TColor value);
  TTransparentMode TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(TTransparentMode value);

  // A monochrome mask of the bitmap's size, white where the pixels have the
  // transparent colour and black elsewhere; owned by the bitmap and made
  // again after every change.
  HBITMAP MaskHandle();
  void Changed(TObject* sender) override;

  // Releases the device resources and keeps the pixels in memory; the next
  // use of the handle or the canvas makes them again.
  void Dormant();
  // The pixels live only in the bitmap section, so there is no separate
  // memory copy to drop: kept for callers that release one.
  void FreeImage() {}

  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  // Form data: a 32-bit byte count, then the BMP file.
  void ReadData(TStream& stream) override;
  void WriteData(TStream& stream) override;
  void LoadFromResourceName(HINSTANCE instance, const AnsiString& name);
  void LoadFromResourceID(HINSTANCE instance, int id);
  // CF_BITMAP, and CF_DIB (a packed bitmap, read within its block's size).
  void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
  bool ReadsClipboardFormat(UINT format) override { return format == CF_BITMAP || format == CF_DIB; }
  void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) override;

  // A copy of the pixels in the BMP layout, and back.
  TBmpImage SaveToImage();
  void LoadFromImage(const TBmpImage& image);

  // Lets the canvas release its device context, so that the handle can be
  // selected elsewhere (image lists, other device contexts).
  void FreeContext();

private:
  friend class TBitmapCanvas;
  void HandleNeeded();
  // Replaces the image by a new bitmap section; `bits` (bottom-up rows) may be null.
  void NewImage(int width, int height, int bitCount, bool rgb565, const std::vector<uint32_t>& palette,
                const void* bits);
  void CopyImageFrom(HBITMAP source, int width, int height);
  static int FormatBits(TPixelFormat format);

  TGdiObject FHandle;
  void* FBits = nullptr;
  int FWidth = 0;
  int FHeight = 0;
  int FBitCount = 32;
  bool FRgb565 = false;
  bool FTopDown = false;
  TPixelFormat FPixelFormat = TPixelFormat::pfDevice;
  std::vector<uint32_t> FColorTable;  // 0x00RRGGBB, bit counts up to 8
  TGdiObject FPalette;
  TGdiObject FMask;
  std::unique_ptr<TBitmapCanvas> FCanvas;
  std::unique_ptr<TBmpImage> FDormantImage;
  TColor FTransparentColor = clDefault;
  TTransparentMode FTransparentMode = TTransparentMode::tmAuto;
};
