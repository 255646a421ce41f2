// Colour reduction: row access to bitmaps in a fixed pixel format, fixed
// palettes and an octree quantizer, colour lookups and the ditherers, and
// ReduceBitmapColors, which turns any bitmap into an 8-bit one.
#pragma once

#include "platform/Bitmap.h"

#include <memory>
#include <vector>

// How a picture with more colours than a frame can hold is reduced.
enum class TGIFReductionMethod : uint8_t {
  rdNone, rdSystem20, rdHalftone, rdGray4, rdBlackWhite, rdGray256, rdCube216, rdOctree, rdOctreeReserved,
  rdCustomPalette
};
using enum TGIFReductionMethod;

enum class TGIFDitherKind : uint8_t {
  dkNearest, dkFloydSteinberg, dkStucki, dkSierra, dkJarvisJudiceNinke, dkStevensonArce, dkBurkes
};
using enum TGIFDitherKind;

// A bitmap seen row by row in one pixel format.
class TDIB : public TObject {
public:
  TDIB(TBitmap* bitmap, TPixelFormat format) : FBitmap(bitmap), FPixelFormat(format) {}
  virtual uint8_t* RowAt(int row) = 0;
  TBitmap* Bitmap() const { return FBitmap; }
  TPixelFormat PixelFormat() const { return FPixelFormat; }

protected:
  TBitmap* FBitmap;
  TPixelFormat FPixelFormat;
};

// Converts the bitmap to the format in place and answers its own rows.
class TDIBReader : public TDIB {
public:
  TDIBReader(TBitmap* bitmap, TPixelFormat format);
  uint8_t* RowAt(int row) override;
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }

private:
  int FWidth;
  int FHeight;
};

// Builds an 8-bit (with the palette's colours) or 24-bit image row by row
// (row 0 at the top); the bitmap receives it when the writer is freed.
class TDIBWriter : public TDIB {
public:
  TDIBWriter(TBitmap* bitmap, HPALETTE palette, int height, int width, TPixelFormat format);
  ~TDIBWriter() override;
  uint8_t* RowAt(int row) override;

private:
  void Build();
  HPALETTE FPalette;
  int FWidth;
  int FHeight;
  int FRowSize = 0;
  std::vector<uint8_t> FHeader;  // BITMAPINFOHEADER and the colour table
  std::vector<uint8_t> FPixels;  // bottom row first
  bool FBuilt = false;
};

// Fixed palettes (the caller owns the handle).
HPALETTE Cube216Palette();
HPALETTE Gray256Palette();
HPALETTE BlackWhitePalette();
HPALETTE Gray4Palette();
HPALETTE HalftonePalette();

// Maps a colour to a palette index and answers the colour the index stands for.
class TColorLookup : public TObject {
public:
  explicit TColorLookup(int entries) : FEntries(entries) {}
  virtual int NearestIndex(uint8_t red, uint8_t green, uint8_t blue, uint8_t& outRed, uint8_t& outGreen,
                           uint8_t& outBlue) = 0;
  int Entries() const { return FEntries; }

protected:
  int FEntries;
};

// Any palette, through the system's nearest-index search.
class TSlowColorLookup : public TColorLookup {
public:
  explicit TSlowColorLookup(HPALETTE palette);
  int NearestIndex(uint8_t red, uint8_t green, uint8_t blue, uint8_t& outRed, uint8_t& outGreen,
                   uint8_t& outBlue) override;

private:
  HPALETTE FPalette;
  std::vector<PALETTEENTRY> FColors;
};

// The 216-colour cube, by arithmetic.
class TNetscapeColorLookup : public TColorLookup {
public:
  TNetscapeColorLookup() : TColorLookup(216) {}
  int NearestIndex(uint8_t red, uint8_t green, uint8_t blue, uint8_t& outRed, uint8_t& outGreen,
                   uint8_t& outBlue) override;
};

class TGrayScaleLookup : public TColorLookup {
public:
  TGrayScaleLookup() : TColorLookup(256) {}
  int NearestIndex(uint8_t red, uint8_t green, uint8_t blue, uint8_t& outRed, uint8_t& outGreen,
                   uint8_t& outBlue) override;
};

class TMonochromeLookup : public TColorLookup {
public:
  TMonochromeLookup() : TColorLookup(2) {}
  int NearestIndex(uint8_t red, uint8_t green, uint8_t blue, uint8_t& outRed, uint8_t& outGreen,
                   uint8_t& outBlue) override;
};

// Nearest colour without diffusion; the base of every ditherer. Rows are
// walked in serpentine order: DitherPixel moves the column by the
// direction, NextRow turns round.
class TDitherEngine : public TObject {
public:
  TDitherEngine(int width, TColorLookup* lookup);
  virtual int DitherPixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t& outRed, uint8_t& outGreen,
                          uint8_t& outBlue);
  virtual void NextRow();
  int Column() const { return FColumn; }
  int Direction() const { return FDirection; }
  int Width() const { return FWidth; }

protected:
  int FWidth;
  TColorLookup* FLookup;
  int FDirection = 1;
  int FColumn = 0;
};

class TFloydSteinbergDitherer : public TDitherEngine {
public:
  TFloydSteinbergDitherer(int width, TColorLookup* lookup);
  int DitherPixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t& outRed, uint8_t& outGreen,
                  uint8_t& outBlue) override;
  void NextRow() override;
  // Moves on one column without spreading any error (transparent pixels).
  void SkipPixel();

private:
  struct TChannel {
    std::vector<int> Errors;
    int Current = 0, BelowPrevious = 0, Below = 0;
  };
  int Diffuse(TChannel& c, int value);
  void Spread(TChannel& c, int error);
  TChannel FChannels[3];
  int FPosition = 0;
};

// One weight of an error-diffusion kernel: row offset (0 = current), column
// offset along the scan direction, weight.
struct TDitherWeight {
  int Row;
  int Offset;
  int Weight;
};

// Error diffusion over a fixed kernel, with margins wide enough for it.
class TKernelDitherer : public TDitherEngine {
public:
  TKernelDitherer(int width, TColorLookup* lookup, int rows, int margin, int divisor,
                  std::vector<TDitherWeight> kernel);
  int DitherPixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t& outRed, uint8_t& outGreen,
                  uint8_t& outBlue) override;
  void NextRow() override;

private:
  int FRows, FMargin, FDivisor;
  std::vector<TDitherWeight> FKernel;
  // [channel][row] arrays of width + 2 * margin.
  std::vector<std::vector<int>> FErrors[3];
};

// The five-by-three kernels share their shape and differ in weights.
class T5by3Ditherer : public TKernelDitherer {
public:
  T5by3Ditherer(int width, TColorLookup* lookup, int divisor, const int weights[12]);
};
class TStuckiDitherer : public T5by3Ditherer {
public:
  TStuckiDitherer(int width, TColorLookup* lookup);
};
class TSierraDitherer : public T5by3Ditherer {
public:
  TSierraDitherer(int width, TColorLookup* lookup);
};
class TJaJuNiDitherer : public T5by3Ditherer {
public:
  TJaJuNiDitherer(int width, TColorLookup* lookup);
};
class TSteveArcheDitherer : public TKernelDitherer {
public:
  TSteveArcheDitherer(int width, TColorLookup* lookup);
};
class TBurkesDitherer : public TKernelDitherer {
public:
  TBurkesDitherer(int width, TColorLookup* lookup);
};

// The ditherer of a kind; null for an unknown kind.
std::unique_ptr<TDitherEngine> CreateDitherer(TGIFDitherKind kind, int width, TColorLookup* lookup);

// Octree colour quantizer: colours are added to a tree of depth ColorBits,
// folded from the deepest level whenever there are too many leaves.
class TColorQuantizer {
public:
  TColorQuantizer(int maxColors, int colorBits);
  ~TColorQuantizer();
  TColorQuantizer(const TColorQuantizer&) = delete;
  TColorQuantizer& operator=(const TColorQuantizer&) = delete;
  void AddPixels(TDIBReader& reader);
  void AddColor(uint8_t red, uint8_t green, uint8_t blue);
  // The leaves' average colours, depth first, children in index order.
  std::vector<RGBQUAD> CollectColors() const;
  int LeafCount() const { return FLeafCount; }

private:
  struct TOctreeNode;
  void Add(TOctreeNode*& node, int level, uint8_t red, uint8_t green, uint8_t blue);
  void FoldDeepest();
  TOctreeNode* FRoot = nullptr;
  int FLeafCount = 0;
  TOctreeNode* FReducible[8] = {};
  int FMaxColors;
  int FColorBits;
};

// A palette of `colors` entries from the reader's pixels; with `reserve`,
// 256 entries whose first and last ten are the system's static colours.
HPALETTE OctreePalette(TDIBReader& reader, int colors, int colorBits, bool reserve);
HPALETTE OctreePaletteFromBitmap(TBitmap* bitmap, int colors, int colorBits, bool reserve);

// A new 8-bit bitmap (24-bit for rdNone) with the colours reduced; empty
// for an unknown method or kind, or a lookup without colours. The source
// is converted to 24 bits in place.
TBitmap* ReduceBitmapColors(TBitmap* bitmap, TGIFReductionMethod method, TGIFDitherKind kind,
                            HPALETTE customPalette, int depth);
