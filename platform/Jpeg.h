// TJPEGImage: a JPEG picture over libjpeg. It keeps the compressed data as
// read (so saving writes the same bytes) and decodes it into a bitmap when it
// is first drawn or converted.
#pragma once

#include "platform/Bitmap.h"

// A libjpeg failure: the message is "JPEG error #<library message code>".
class EJPEG : public EInvalidGraphic { public: using EInvalidGraphic::EInvalidGraphic; };

class TJPEGImage : public TGraphic {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // The largest picture decoded, in pixels: bigger headers are refused
  // before anything is allocated. A few hundred bytes of JPEG may claim any
  // size; at 24 bits a pixel this is 48 MB, about what a 32-bit process can
  // be asked to find in one piece.
  static constexpr int64_t MaxPixels = 16 * 1024 * 1024;

  TJPEGImage() = default;

  void Assign(TPersistent* source) override;
  void Draw(TCanvas* canvas, const RECT& r) override;
  bool GetEmpty() override { return FData.empty() && !FBitmap; }
  int GetWidth() override { return FWidth; }
  int GetHeight() override { return FHeight; }
  // The size follows from the data: setting it is not possible.
  void SetWidth(int) override {}
  void SetHeight(int) override {}

  // Reads the rest of the stream as one JPEG file; the header is checked at once.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;

  // 1 to 100, used when a bitmap is compressed.
  int CompressionQuality() const { return FQuality; }
  void SetCompressionQuality(int value) { FQuality = value < 1 ? 1 : value > 100 ? 100 : value; }
  bool ProgressiveEncoding() const { return FProgressive; }
  void SetProgressiveEncoding(bool value) { FProgressive = value; }
  bool Grayscale() const { return FComponents == 1; }

  // The decoded picture (decodes on first use); owned by the JPEG image.
  TBitmap* Bitmap();
  // Makes the compressed data from the bitmap when only the bitmap exists.
  void JPEGNeeded();
  void DIBNeeded() { Bitmap(); }
  // Compresses `bitmap` (any format) with the current quality.
  void Compress(TBitmap* bitmap);

protected:
  void AssignTo(TPersistent* dest) override;

private:
  void ReadHeader();
  std::vector<uint8_t> FData;
  std::unique_ptr<TBitmap> FBitmap;
  int FWidth = 0;
  int FHeight = 0;
  int FComponents = 3;
  int FQuality = 90;
  bool FProgressive = false;
};
