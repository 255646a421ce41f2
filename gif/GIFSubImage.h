// One frame of a GIF: its extensions, image descriptor, local colour table
// and pixels (one colour index per byte, rows top to bottom).
// Portable: no Windows headers; bitmaps and masks belong to the picture class.
#pragma once

#include "gif/GIFItem.h"

class TGIFGraphicControlExtension;

class TGIFSubImage : public TGIFItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TGIFSubImage(TGIFContainer* image);
  ~TGIFSubImage() override;

  // 2 when the local table is sorted or the frame has extensions.
  int FormatVersion() override;
  // Reads the frame's extensions and, when one follows, its image.
  void LoadFromStream(TStream& stream) override;
  // Writes the extensions and, unless the frame is empty, its image.
  void SaveToStream(TStream& stream) override;

  // Deletes the extensions, empties the local table and the pixels.
  void Clear();

  // Another frame is copied deeply (descriptor, pixels, table, extensions);
  // other sources go to the picture class (bitmaps, icons, metafiles).
  void Assign(TPersistent* source) override;

  // What the picture class builds from the frame (bitmap, mask, palette):
  // owned by the frame and dropped whenever its size changes or it is
  // cleared, so nothing drawn from stale pixels survives.
  TObject* RenderCache() const { return FRenderCache; }
  void SetRenderCache(TObject* value);
  void DropRenderCache() { SetRenderCache(nullptr); }

  // Cuts the transparent rows and columns around a transparent frame; a
  // frame with no opaque pixel is cleared. True when the frame changed.
  bool TrimTransparentEdges();
  // Makes transparent every pixel of this frame that shows the same colour
  // as the (opaque) pixel of `previous` under it, so less is redrawn. True
  // when a pixel changed.
  bool MergeWithPrevious(TGIFSubImage* previous);

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // Places the frame; a new size reallocates the pixels (zeroed). A frame
  // reaching beyond the logical screen grows the screen, with warnings.
  void SetFrameBounds(int left, int top, int width, int height);
  uint8_t Packed() const { return FPacked; }
  void SetPacked(uint8_t value) { FPacked = value; }
  bool IsInterlaced() const { return (FPacked & 0x40) != 0; }
  void SetInterlaced(bool value);
  // No pixels, or a width or height of 0.
  bool IsEmpty() const;

  TGIFLocalColorMap& ColorMap() { return FColorMap; }
  // The local table when it has entries, else the global table when that
  // has entries, else the (empty) local table.
  TGIFColorMap& EffectiveColorMap();
  // Bits per pixel of the local table.
  int BitsPerPixel() const { return FColorMap.BitsNeeded(); }

  TGIFExtensionList& Extensions() { return FExtensions; }
  // The first graphic control extension created for the frame, or none.
  TGIFGraphicControlExtension* GraphicControl() const { return FGraphicControl; }
  void SetGraphicControl(TGIFGraphicControlExtension* value) { FGraphicControl = value; }
  bool IsTransparent() const { return FIsTransparent; }
  void SetIsTransparent(bool value) { FIsTransparent = value; }

  // Pixels: width x height colour indexes. Allocating frees the old buffer
  // and zero-fills a new one; a frame too large for the codec's limits
  // raises "Image exceeds maximum size".
  void AllocatePixels();
  void ReleasePixels();
  // Allocates the pixels when missing; a frame of size 0 raises "Image is
  // empty".
  void EnsurePixels();
  // The start of row `y` and the pixel at `x`, `y`: outside the frame they
  // raise "Invalid pixel coordinates"; the pixels are allocated on demand.
  uint8_t* RowPointer(int y);
  uint8_t PixelAt(int x, int y);
  uint8_t* Data() { return FData.data(); }
  const uint8_t* Data() const { return FData.data(); }
  size_t DataSize() const { return FData.size(); }

  // Turns the image data at the stream's position into pixels.
  void DecodePixels(TStream& stream);
  // Writes the pixels as image data.
  void EncodePixels(TStream& stream);
  // Sets the packed byte as it is written: local table bits, interlace and
  // reserved bits.
  void PrepareDescriptor();

protected:
  void AssignTo(TPersistent* dest) override;

private:
  void SetSize(int width, int height);

  int FLeft = 0;
  int FTop = 0;
  int FWidth = 0;
  int FHeight = 0;
  uint8_t FPacked = 0;
  TGIFLocalColorMap FColorMap;
  TGIFExtensionList FExtensions;
  std::vector<uint8_t> FData;
  TGIFGraphicControlExtension* FGraphicControl = nullptr;
  bool FIsTransparent = false;
  TObject* FRenderCache = nullptr;
};
