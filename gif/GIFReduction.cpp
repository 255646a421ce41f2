#include "gif/GIFReduction.h"

#include "gif/GIFTypes.h"
#include "platform/Exceptions.h"

#include <algorithm>
#include <cstring>
#include <functional>

// ---------------------------------------------------------------------------
// Row access.

TDIBReader::TDIBReader(TBitmap* bitmap, TPixelFormat format) : TDIB(bitmap, format) {
  if (bitmap->PixelFormat() != format) bitmap->SetPixelFormat(format);
  FWidth = bitmap->Width();
  FHeight = bitmap->Height();
}

uint8_t* TDIBReader::RowAt(int row) { return static_cast<uint8_t*>(FBitmap->ScanLine(row)); }

TDIBWriter::TDIBWriter(TBitmap* bitmap, HPALETTE palette, int height, int width, TPixelFormat format)
    : TDIB(bitmap, format), FPalette(palette), FWidth(width), FHeight(height) {
  if (format != pf8bit && format != pf24bit) RaiseGIFError("Unsupported PixelFormat");
  if (width <= 0 || height <= 0) RaiseGIFError("Invalid image dimensions");
}

void TDIBWriter::Build() {
  FBuilt = true;
  const int bits = FPixelFormat == pf8bit ? 8 : 24;
  FHeader.assign(sizeof(BITMAPINFOHEADER) + (bits == 8 ? 256 * sizeof(RGBQUAD) : 0), 0);
  auto* h = reinterpret_cast<BITMAPINFOHEADER*>(FHeader.data());
  h->biSize = sizeof(BITMAPINFOHEADER);
  h->biWidth = FWidth;
  h->biHeight = FHeight;
  h->biPlanes = 1;
  h->biBitCount = static_cast<WORD>(bits);
  h->biCompression = BI_RGB;
  if (bits == 8) {
    PALETTEENTRY entries[256] = {};
    const UINT count = FPalette ? GetPaletteEntries(FPalette, 0, 256, entries) : 0;
    auto* quads = reinterpret_cast<RGBQUAD*>(FHeader.data() + sizeof(BITMAPINFOHEADER));
    for (UINT i = 0; i < count; ++i) quads[i] = RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    h->biClrUsed = 256;
    h->biClrImportant = count;
  }
  FRowSize = ((FWidth * bits + 31) / 32) * 4;
  try {
    FPixels.assign(static_cast<size_t>(FRowSize) * FHeight, 0);
  } catch (const std::bad_alloc&) {
    throw EOutOfMemory("Failed to allocate memory for GIF DIB");
  }
}

uint8_t* TDIBWriter::RowAt(int row) {
  if (!FBuilt) Build();
  if (FPixels.empty()) RaiseGIFError("Image has no DIB");
  if (row < 0 || row >= FHeight) throw EInvalidGraphicOperation("Scan line index out of range");
  return FPixels.data() + static_cast<size_t>(FHeight - 1 - row) * FRowSize;
}

TDIBWriter::~TDIBWriter() {
  if (!FBuilt || FPixels.empty()) return;
  try {
    TMemoryStream file;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = static_cast<DWORD>(sizeof(fh) + FHeader.size());
    fh.bfSize = static_cast<DWORD>(fh.bfOffBits + FPixels.size());
    file.WriteBuffer(&fh, sizeof(fh));
    file.WriteBuffer(FHeader.data(), static_cast<int32_t>(FHeader.size()));
    file.WriteBuffer(FPixels.data(), static_cast<int32_t>(FPixels.size()));
    file.SetPosition(0);
    FBitmap->LoadFromStream(file);
  } catch (...) {
    // A destructor cannot raise; the bitmap stays as it was.
  }
}

// ---------------------------------------------------------------------------
// Palettes.

namespace {

HPALETTE MakePalette(int count, BYTE flags, const std::function<void(int, PALETTEENTRY&)>& fill) {
  std::vector<uint8_t> memory(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * 256, 0);
  auto* lp = reinterpret_cast<LOGPALETTE*>(memory.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = static_cast<WORD>(count);
  for (int i = 0; i < count; ++i) {
    fill(i, lp->palPalEntry[i]);
    lp->palPalEntry[i].peFlags = flags;
  }
  return CheckGDI(CreatePalette(lp));
}

}  // namespace

HPALETTE Cube216Palette() {
  return MakePalette(216, 0, [](int n, PALETTEENTRY& e) {
    e.peRed = static_cast<BYTE>(51 * (n / 36));
    e.peGreen = static_cast<BYTE>(51 * (n / 6 % 6));
    e.peBlue = static_cast<BYTE>(51 * (n % 6));
  });
}

HPALETTE Gray256Palette() {
  return MakePalette(256, PC_NOCOLLAPSE, [](int n, PALETTEENTRY& e) { e.peRed = e.peGreen = e.peBlue = static_cast<BYTE>(n); });
}

HPALETTE BlackWhitePalette() {
  return MakePalette(2, PC_NOCOLLAPSE, [](int n, PALETTEENTRY& e) { e.peRed = e.peGreen = e.peBlue = n ? 255 : 0; });
}

HPALETTE Gray4Palette() {
  static const BYTE grays[4] = {0, 128, 192, 255};
  return MakePalette(4, PC_NOCOLLAPSE, [](int n, PALETTEENTRY& e) { e.peRed = e.peGreen = e.peBlue = grays[n]; });
}

HPALETTE HalftonePalette() {
  TScreenDC screen;
  return CheckGDI(CreateHalftonePalette(screen.Get()));
}

// ---------------------------------------------------------------------------
// Lookups.

TSlowColorLookup::TSlowColorLookup(HPALETTE palette) : TColorLookup(0), FPalette(palette) {
  if (!palette) return;
  FColors.resize(256);
  FEntries = static_cast<int>(GetPaletteEntries(palette, 0, 256, FColors.data()));
  FColors.resize(FEntries);
}

int TSlowColorLookup::NearestIndex(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) {
  UINT i = GetNearestPaletteIndex(FPalette, RGB(red, green, blue));
  if (i >= FColors.size()) i = 0;
  r = FColors[i].peRed;
  g = FColors[i].peGreen;
  b = FColors[i].peBlue;
  return static_cast<int>(i);
}

int TNetscapeColorLookup::NearestIndex(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g,
                                       uint8_t& b) {
  const int ri = (red + 3) / 51, gi = (green + 3) / 51, bi = (blue + 3) / 51;
  r = static_cast<uint8_t>(51 * ri);
  g = static_cast<uint8_t>(51 * gi);
  b = static_cast<uint8_t>(51 * bi);
  return bi + 6 * gi + 36 * ri;
}

int TGrayScaleLookup::NearestIndex(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) {
  const int gray = (29 * blue + 150 * green + 77 * red) >> 8;
  r = g = b = static_cast<uint8_t>(gray);
  return gray;
}

int TMonochromeLookup::NearestIndex(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) {
  const bool white = 29 * blue + 150 * green + 77 * red >= 32513;
  r = g = b = white ? 255 : 0;
  return white ? 1 : 0;
}

// ---------------------------------------------------------------------------
// Ditherers.

TDitherEngine::TDitherEngine(int width, TColorLookup* lookup) : FWidth(width), FLookup(lookup) {}

int TDitherEngine::DitherPixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) {
  FColumn += FDirection;
  return FLookup->NearestIndex(red, green, blue, r, g, b);
}

void TDitherEngine::NextRow() {
  FDirection = -FDirection;
  FColumn = FDirection > 0 ? 0 : FWidth - 1;
}

TFloydSteinbergDitherer::TFloydSteinbergDitherer(int width, TColorLookup* lookup) : TDitherEngine(width, lookup) {
  for (TChannel& c : FChannels) c.Errors.assign(static_cast<size_t>(width) + 2, 0);
}

int TFloydSteinbergDitherer::Diffuse(TChannel& c, int value) {
  const int v = value + (c.Errors[FPosition] + c.Current + 8) / 16;
  return std::clamp(v, 0, 255);
}

void TFloydSteinbergDitherer::Spread(TChannel& c, int e) {
  c.Current = e;
  if (e == 0) return;
  c.Errors[FPosition] = c.BelowPrevious + 3 * e;
  c.BelowPrevious = c.Below + 5 * e;
  c.Below = e;
  c.Current = 7 * e;
}

int TFloydSteinbergDitherer::DitherPixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g,
                                         uint8_t& b) {
  const int vr = Diffuse(FChannels[0], red), vg = Diffuse(FChannels[1], green), vb = Diffuse(FChannels[2], blue);
  const int index = FLookup->NearestIndex(static_cast<uint8_t>(vr), static_cast<uint8_t>(vg),
                                          static_cast<uint8_t>(vb), r, g, b);
  Spread(FChannels[0], vr - r);
  Spread(FChannels[1], vg - g);
  Spread(FChannels[2], vb - b);
  FPosition += FDirection;
  FColumn += FDirection;
  return index;
}

void TFloydSteinbergDitherer::SkipPixel() { FColumn += FDirection; }

void TFloydSteinbergDitherer::NextRow() {
  for (TChannel& c : FChannels) {
    c.Errors[FPosition] = c.BelowPrevious;
    c.Current = c.BelowPrevious = c.Below = 0;
  }
  TDitherEngine::NextRow();
  FPosition = FDirection > 0 ? 0 : FWidth + 1;
}

TKernelDitherer::TKernelDitherer(int width, TColorLookup* lookup, int rows, int margin, int divisor,
                                 std::vector<TDitherWeight> kernel)
    : TDitherEngine(width, lookup), FRows(rows), FMargin(margin), FDivisor(divisor), FKernel(std::move(kernel)) {
  for (auto& channel : FErrors)
    channel.assign(rows, std::vector<int>(static_cast<size_t>(width) + 2 * margin, 0));
}

int TKernelDitherer::DitherPixel(uint8_t red, uint8_t green, uint8_t blue, uint8_t& r, uint8_t& g, uint8_t& b) {
  const int x = FColumn + FMargin;
  int v[3];
  const uint8_t in[3] = {red, green, blue};
  for (int c = 0; c < 3; ++c) v[c] = std::clamp(in[c] + (FErrors[c][0][x] + FDivisor / 2) / FDivisor, 0, 255);
  const int index = FLookup->NearestIndex(static_cast<uint8_t>(v[0]), static_cast<uint8_t>(v[1]),
                                          static_cast<uint8_t>(v[2]), r, g, b);
  const int chosen[3] = {r, g, b};
  for (int c = 0; c < 3; ++c) {
    const int e = v[c] - chosen[c];
    if (e == 0) continue;
    // Positions beyond the image fall into the margins and go with the row.
    for (const TDitherWeight& w : FKernel) FErrors[c][w.Row][x + w.Offset * FDirection] += w.Weight * e;
  }
  FColumn += FDirection;
  return index;
}

void TKernelDitherer::NextRow() {
  for (auto& channel : FErrors) {
    std::fill(channel[0].begin(), channel[0].end(), 0);
    std::rotate(channel.begin(), channel.begin() + 1, channel.end());
  }
  TDitherEngine::NextRow();
}

namespace {

std::vector<TDitherWeight> FiveByThree(const int w[12]) {
  std::vector<TDitherWeight> k = {{0, 1, w[0]}, {0, 2, w[1]}};
  for (int i = 0; i < 5; ++i) k.push_back({1, i - 2, w[2 + i]});
  for (int i = 0; i < 5; ++i) k.push_back({2, i - 2, w[7 + i]});
  return k;
}

const int StuckiWeights[12] = {8, 4, 2, 4, 8, 4, 2, 1, 2, 4, 2, 1};
const int SierraWeights[12] = {5, 3, 2, 4, 5, 4, 2, 0, 2, 3, 2, 0};
const int JaJuNiWeights[12] = {7, 5, 3, 5, 7, 5, 3, 1, 3, 5, 3, 1};

}  // namespace

T5by3Ditherer::T5by3Ditherer(int width, TColorLookup* lookup, int divisor, const int weights[12])
    : TKernelDitherer(width, lookup, 3, 2, divisor, FiveByThree(weights)) {}
TStuckiDitherer::TStuckiDitherer(int width, TColorLookup* lookup) : T5by3Ditherer(width, lookup, 42, StuckiWeights) {}
TSierraDitherer::TSierraDitherer(int width, TColorLookup* lookup) : T5by3Ditherer(width, lookup, 32, SierraWeights) {}
TJaJuNiDitherer::TJaJuNiDitherer(int width, TColorLookup* lookup) : T5by3Ditherer(width, lookup, 48, JaJuNiWeights) {}

TSteveArcheDitherer::TSteveArcheDitherer(int width, TColorLookup* lookup)
    : TKernelDitherer(width, lookup, 4, 3, 200,
                      {{0, 2, 32},
                       {1, -3, 12}, {1, -1, 26}, {1, 1, 30}, {1, 3, 16},
                       {2, -2, 12}, {2, 0, 26}, {2, 2, 12},
                       {3, -3, 5}, {3, -1, 12}, {3, 1, 12}, {3, 3, 5}}) {}

TBurkesDitherer::TBurkesDitherer(int width, TColorLookup* lookup)
    : TKernelDitherer(width, lookup, 2, 2, 32,
                      {{0, 1, 8}, {0, 2, 4}, {1, -2, 2}, {1, -1, 4}, {1, 0, 8}, {1, 1, 4}, {1, 2, 2}}) {}

std::unique_ptr<TDitherEngine> CreateDitherer(TGIFDitherKind kind, int width, TColorLookup* lookup) {
  switch (kind) {
    case dkNearest: return std::make_unique<TDitherEngine>(width, lookup);
    case dkFloydSteinberg: return std::make_unique<TFloydSteinbergDitherer>(width, lookup);
    case dkStucki: return std::make_unique<TStuckiDitherer>(width, lookup);
    case dkSierra: return std::make_unique<TSierraDitherer>(width, lookup);
    case dkJarvisJudiceNinke: return std::make_unique<TJaJuNiDitherer>(width, lookup);
    case dkStevensonArce: return std::make_unique<TSteveArcheDitherer>(width, lookup);
    case dkBurkes: return std::make_unique<TBurkesDitherer>(width, lookup);
  }
  return nullptr;
}

// ---------------------------------------------------------------------------
// Octree quantizer.

struct TColorQuantizer::TOctreeNode {
  bool IsLeaf = false;
  int PixelCount = 0;
  int64_t Red = 0, Green = 0, Blue = 0;
  TOctreeNode* Children[8] = {};
  TOctreeNode* Next = nullptr;
  ~TOctreeNode() {
    for (TOctreeNode* c : Children) delete c;
  }
};

TColorQuantizer::TColorQuantizer(int maxColors, int colorBits)
    : FMaxColors(std::max(1, maxColors)), FColorBits(std::clamp(colorBits, 1, 8)) {}

TColorQuantizer::~TColorQuantizer() { delete FRoot; }

void TColorQuantizer::Add(TOctreeNode*& node, int level, uint8_t red, uint8_t green, uint8_t blue) {
  if (!node) {
    node = new TOctreeNode;
    if (level == FColorBits) {
      node->IsLeaf = true;
      ++FLeafCount;
    } else {
      node->Next = FReducible[level];
      FReducible[level] = node;
    }
  }
  if (node->IsLeaf) {
    ++node->PixelCount;
    node->Red += red;
    node->Green += green;
    node->Blue += blue;
    return;
  }
  const int m = 0x80 >> level, s = 7 - level;
  const int child = (((red & m) >> s) << 2) | (((green & m) >> s) << 1) | ((blue & m) >> s);
  Add(node->Children[child], level + 1, red, green, blue);
}

void TColorQuantizer::AddColor(uint8_t red, uint8_t green, uint8_t blue) {
  Add(FRoot, 0, red, green, blue);
  while (FLeafCount > FMaxColors) FoldDeepest();
}

void TColorQuantizer::FoldDeepest() {
  int level = FColorBits - 1;
  while (level > 0 && !FReducible[level]) --level;
  TOctreeNode* node = FReducible[level];
  if (!node) return;
  FReducible[level] = node->Next;
  int children = 0;
  for (TOctreeNode*& c : node->Children) {
    if (!c) continue;
    node->PixelCount += c->PixelCount;
    node->Red += c->Red;
    node->Green += c->Green;
    node->Blue += c->Blue;
    delete c;
    c = nullptr;
    ++children;
  }
  node->IsLeaf = true;
  FLeafCount -= children - 1;
}

void TColorQuantizer::AddPixels(TDIBReader& reader) {
  for (int y = 0; y < reader.Height(); ++y) {
    const uint8_t* p = reader.RowAt(y);
    for (int x = 0; x < reader.Width(); ++x, p += 3) AddColor(p[2], p[1], p[0]);
  }
}

std::vector<RGBQUAD> TColorQuantizer::CollectColors() const {
  std::vector<RGBQUAD> colors;
  std::function<void(const TOctreeNode*)> visit = [&](const TOctreeNode* n) {
    if (!n) return;
    if (n->IsLeaf) {
      if (n->PixelCount == 0) {
        colors.push_back(RGBQUAD{0, 0, 0, 0});
      } else {
        colors.push_back(RGBQUAD{static_cast<BYTE>(n->Blue / n->PixelCount), static_cast<BYTE>(n->Green / n->PixelCount),
                                 static_cast<BYTE>(n->Red / n->PixelCount), 0});
      }
      return;
    }
    for (const TOctreeNode* c : n->Children) visit(c);
  };
  visit(FRoot);
  return colors;
}

HPALETTE OctreePalette(TDIBReader& reader, int colors, int colorBits, bool reserve) {
  const int size = reserve ? 256 : std::clamp(colors, 1, 256);
  std::vector<PALETTEENTRY> entries(size, PALETTEENTRY{0, 0, 0, PC_NOCOLLAPSE});
  int first = 0;
  int count = size;
  if (reserve) {
    PALETTEENTRY system[20] = {};
    GetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 20, system);
    for (int i = 0; i < 10; ++i) {
      entries[i] = system[i];
      entries[246 + i] = system[10 + i];
    }
    first = 10;
    count = 236;
  }
  TColorQuantizer quantizer(count, colorBits);
  quantizer.AddPixels(reader);
  const std::vector<RGBQUAD> found = quantizer.CollectColors();
  for (size_t i = 0; i < found.size() && static_cast<int>(i) < count; ++i)
    entries[first + i] = PALETTEENTRY{found[i].rgbRed, found[i].rgbGreen, found[i].rgbBlue, 0};
  return MakePalette(size, 0, [&](int n, PALETTEENTRY& e) { e = entries[n]; });
}

HPALETTE OctreePaletteFromBitmap(TBitmap* bitmap, int colors, int colorBits, bool reserve) {
  TDIBReader reader(bitmap, pf24bit);
  return OctreePalette(reader, colors, colorBits, reserve);
}

// ---------------------------------------------------------------------------

TBitmap* ReduceBitmapColors(TBitmap* bitmap, TGIFReductionMethod method, TGIFDitherKind kind,
                            HPALETTE customPalette, int depth) {
  auto result = std::make_unique<TBitmap>();
  if (method == rdNone) {
    result->Assign(bitmap);
    result->SetPixelFormat(pf24bit);
    return result.release();
  }
  if (static_cast<int>(method) > static_cast<int>(rdCustomPalette)) return result.release();
  TDIBReader reader(bitmap, pf24bit);
  TGdiObject palette;
  bool stock = false;
  switch (method) {
    case rdSystem20:
      palette.Reset(GetStockObject(DEFAULT_PALETTE));
      stock = true;
      break;
    case rdHalftone: palette.Reset(HalftonePalette()); break;
    case rdGray4: palette.Reset(Gray4Palette()); break;
    case rdBlackWhite: palette.Reset(BlackWhitePalette()); break;
    case rdGray256: palette.Reset(Gray256Palette()); break;
    case rdCube216: palette.Reset(Cube216Palette()); break;
    case rdOctree: palette.Reset(OctreePalette(reader, 1 << std::clamp(depth, 1, 8), 8, false)); break;
    case rdOctreeReserved: palette.Reset(OctreePalette(reader, 256, 8, true)); break;
    case rdCustomPalette:
      if (customPalette) {
        PALETTEENTRY entries[256];
        const UINT n = GetPaletteEntries(customPalette, 0, 256, entries);
        if (n > 0) palette.Reset(MakePalette(static_cast<int>(n), 0, [&](int i, PALETTEENTRY& e) { e = entries[i]; }));
      }
      break;
    default: break;
  }
  // The stock palette is not ours to delete.
  struct TStockRelease {
    TGdiObject& P;
    bool Stock;
    ~TStockRelease() {
      if (Stock) P.Release();
    }
  } stockRelease{palette, stock};
  std::unique_ptr<TColorLookup> lookup;
  switch (method) {
    case rdBlackWhite: lookup = std::make_unique<TMonochromeLookup>(); break;
    case rdGray256: lookup = std::make_unique<TGrayScaleLookup>(); break;
    case rdCube216: lookup = std::make_unique<TNetscapeColorLookup>(); break;
    default: lookup = std::make_unique<TSlowColorLookup>(static_cast<HPALETTE>(palette.Get())); break;
  }
  if (lookup->Entries() == 0) return result.release();
  const int width = reader.Width(), height = reader.Height();
  std::unique_ptr<TDitherEngine> ditherer = CreateDitherer(kind, width, lookup.get());
  if (!ditherer || width <= 0 || height <= 0) return result.release();
  {
    TDIBWriter writer(result.get(), static_cast<HPALETTE>(palette.Get()), height, width, pf8bit);
    for (int y = 0; y < height; ++y) {
      const uint8_t* src = reader.RowAt(y);
      uint8_t* dst = writer.RowAt(y);
      uint8_t r, g, b;
      for (int x = ditherer->Column(); x >= 0 && x < width; x = ditherer->Column()) {
        const uint8_t* p = src + 3 * x;
        dst[x] = static_cast<uint8_t>(ditherer->DitherPixel(p[2], p[1], p[0], r, g, b));
      }
      ditherer->NextRow();
    }
  }
  return result.release();
}
