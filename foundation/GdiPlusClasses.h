// Pictures through GDI+: TdxGPImage wraps one GDI+ image (optionally over a
// 32-bit pixel array the program owns) and TdxPNGImage is the picture class
// that reads, writes and draws PNG data with alpha. "PNG" is registered with
// the picture layer only when GDI+ starts, so where GDI+ is missing a form's
// PNG picture loads empty.
#pragma once

#include "foundation/GdiPlusApi.h"
#include "platform/Bitmap.h"
#include "platform/Picture.h"

#include <cstdint>
#include <memory>
#include <vector>

// 32-bit pixels, rows top-down, bytes blue, green, red, alpha; shared
// between an image and its duplicates.
using TdxRGBColors = std::shared_ptr<std::vector<uint32_t>>;

// One GDI+ image, or nothing (no handle). Made from a stream (any format
// GDI+ decodes; a BMP is read through TBitmap), a bitmap or raw pixels.
class TdxGPImage : public TdxGPBase {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TdxGPImage() = default;
  ~TdxGPImage() override;

  // The ways an image is made, on a new object of GPImageClass.
  virtual void DecodeFromStream(TStream& stream);
  virtual void ConstructFromBitmap(TBitmap* bitmap);
  // Takes a reference to `pixels`; without `alpha` every pixel's alpha byte
  // in that array becomes 255 first.
  virtual void ConstructFromPixels(int width, int height, const TdxRGBColors& pixels, bool alpha);
  // Holds nothing when GDI+ is unavailable or fewer than 14 bytes remain.
  virtual void ConstructFromStream(TStream& stream);

  // A new image of GPImageClass: sharing the pixel array, or a GDI+ clone.
  TdxGPImage* Duplicate();
  void EncodeAsPngTo(TMemoryStream& stream);
  // A new image whose every byte is this one's and `other`'s mixed by
  // alpha / 255; null when this image has no pixel array or `other` has
  // fewer pixels.
  TdxGPImage* BlendWith(TdxGPImage* other, uint8_t alpha);
  // Draws the whole image stretched into `dest`; nothing when GDI+ cannot
  // draw on the device context.
  void DrawOnDC(HDC dc, const RECT& dest);

  bool HasImage() const { return FHandle != nullptr; }
  GpImage* Handle() const { return FHandle; }
  const TdxRGBColors& Pixels() const { return FPixels; }
  // The size in pixels; 0 x 0 for an image that holds nothing.
  int Width();
  int Height();

protected:
  void SizeOf(float& width, float& height);
  GpImage* FHandle = nullptr;
  TdxRGBColors FPixels;
};

// The same class in the ordinary heap, used while GDI+ is unavailable.
class TdxGPNullImage : public TdxGPImage {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  static void* operator new(size_t size) { return ::operator new(size); }
  static void operator delete(void* block) { ::operator delete(block); }
};

// The class every image is made of: TdxGPNullImage until GDI+ is available.
extern TClass GPImageClass;
TdxGPImage* CreateGPImage();

// Reads a bitmap as 32-bit top-down pixels (sized width x height).
void GetBitmapBits32(TBitmap* bitmap, std::vector<uint32_t>& pixels);
TdxGPImage* GPImageFromGraphic(TGraphic* graphic);

// A PNG picture (any format GDI+ reads loads too; it is always saved as PNG).
class TdxPNGImage : public TGraphic {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TdxPNGImage() = default;
  ~TdxPNGImage() override;

  void Assign(TPersistent* source) override;
  void Draw(TCanvas* canvas, const RECT& r) override;
  bool GetEmpty() override { return GetWidth() < 1 || GetHeight() < 1; }
  int GetWidth() override { return FImage ? FImage->Width() : 0; }
  int GetHeight() override { return FImage ? FImage->Height() : 0; }
  bool GetTransparent() override { return true; }
  void SetWidth(int) override {}
  void SetHeight(int) override {}
  // An empty stream, and one too short to hold a picture, give an empty
  // picture; data GDI+ cannot decode raises and keeps the previous image.
  void LoadFromStream(TStream& stream) override;
  // Writes nothing for an empty picture.
  void SaveToStream(TStream& stream) override;
  void LoadFromClipboardFormat(UINT, HANDLE, HPALETTE) override {}
  void SaveToClipboardFormat(UINT&, HANDLE&, HPALETTE&) override {}
  void Changed(TObject* sender) override { TGraphic::Changed(sender); }

  TdxGPImage* Image() const { return FImage; }
  // Same size and, unless either is empty, the same pixels.
  bool SameImageAs(TdxPNGImage* other);
  // A new 32-bit bitmap of the picture (empty for an empty picture); the
  // caller frees it.
  TBitmap* MakeBitmap();
  void TakeFromGraphic(TGraphic* graphic);
  void PaintWhole(HDC dc, const RECT& dest);
  void PaintOnDC(HDC dc, const RECT& dest, const RECT& source);
  void PaintScaled(GpGraphics* graphics, const RECT& dest, const RECT& source);
  // The source extent PaintScaled samples: one column (row) less when
  // stretching a source wider (taller) than 1, so the last one is never
  // sampled past; false when the source or the destination is below 1.
  static bool ScaledSourceExtent(const RECT& dest, const RECT& source, float& width, float& height);
  // Takes `image` over (no change notification).
  void ReplaceImage(TdxGPImage* image);
  void ReadPixels32(std::vector<uint32_t>& pixels);

protected:
  void AssignTo(TPersistent* dest) override;

private:
  TdxGPImage* FImage = nullptr;  // owned
};

void RegisterPngPictureFormat();
void UnregisterPngPictureFormat();

void dxGDIPlusClassesInit();
void dxGDIPlusClassesDone();
