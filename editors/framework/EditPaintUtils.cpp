#include "editors/framework/EditPaintUtils.h"

#include "foundation/LookAndFeel.h"
#include "platform/HandleCounts.h"

#include <algorithm>

const TClassInfo TcxSolidBrushCache::ClassInfo{"TcxSolidBrushCache", &TObject::ClassInfo, nullptr};

namespace {
TcxSolidBrushCache* SharedCache = nullptr;
HBRUSH SystemBrushes[31] = {};
bool SystemBrushesReady = false;

COLORREF RgbOf(TColor color) { return ResolveColor(color, clBlack); }

// The cache's brushes are counted with the class library's handles.
HBRUSH NewBrush(TColor color) {
  HBRUSH brush = CreateSolidBrush(RgbOf(color));
  if (brush) HandleCreated(hkGdiObject);
  return brush;
}
void DeleteBrush(HBRUSH brush) {
  if (brush && DeleteObject(brush)) HandleDeleted(hkGdiObject);
}
}  // namespace

TcxSolidBrushCache::TcxSolidBrushCache(int capacity) : FCapacity(std::max(1, capacity)) {
  FColors.reserve(FCapacity);
  FBrushes.reserve(FCapacity);
  FUseCounts.reserve(FCapacity);
  FNotifier = std::make_unique<TcxSystemPaletteChangedNotifier>();
  FNotifier->OnSystemPaletteChanged = TNotifyEvent::Lambda([this](TObject*) { PaletteChanged(); });
}

TcxSolidBrushCache::~TcxSolidBrushCache() {
  FNotifier.reset();
  FPaintDepth = 0;
  Clear();
  DeleteEvicted();
}

int TcxSolidBrushCache::IndexOf(TColor color, bool& found) const {
  const auto it = std::lower_bound(FColors.begin(), FColors.end(), color);
  found = it != FColors.end() && *it == color;
  return static_cast<int>(it - FColors.begin());
}

int TcxSolidBrushCache::UseCountOf(TColor color) const {
  bool found = false;
  const int i = IndexOf(color, found);
  return found ? static_cast<int>(FUseCounts[i]) : -1;
}

void TcxSolidBrushCache::EvictLeastUsed(int& insertAt) {
  const auto least = std::min_element(FUseCounts.begin(), FUseCounts.end());
  const int victim = static_cast<int>(least - FUseCounts.begin());
  // The brush may still be in a caller's hands for the rest of this paint.
  FEvicted.push_back(FBrushes[victim]);
  FColors.erase(FColors.begin() + victim);
  FBrushes.erase(FBrushes.begin() + victim);
  FUseCounts.erase(FUseCounts.begin() + victim);
  if (victim < insertAt) --insertAt;
  // Outside any paint the waiting brushes are bounded by the capacity.
  if (FPaintDepth == 0 && static_cast<int>(FEvicted.size()) > FCapacity) DeleteEvicted();
}

HBRUSH TcxSolidBrushCache::GetBrush(TColor color) {
  if (SystemBrushesReady && color >= clSystemColor && color <= (clSystemColor | 30))
    return SystemBrushes[color & 0xFF];
  bool found = false;
  int i = IndexOf(color, found);
  if (found) {
    ++FUseCounts[i];
    return FBrushes[i];
  }
  if (Count() >= FCapacity) EvictLeastUsed(i);
  HBRUSH brush = NewBrush(color);
  FColors.insert(FColors.begin() + i, color);
  FBrushes.insert(FBrushes.begin() + i, brush);
  FUseCounts.insert(FUseCounts.begin() + i, 0);
  return brush;
}

void TcxSolidBrushCache::Clear() {
  // Brushes of an open paint wait for it; the others go now.
  if (FPaintDepth > 0)
    FEvicted.insert(FEvicted.end(), FBrushes.begin(), FBrushes.end());
  else
    for (HBRUSH brush : FBrushes) DeleteBrush(brush);
  FColors.clear();
  FBrushes.clear();
  FUseCounts.clear();
  if (FPaintDepth == 0) DeleteEvicted();
}

void TcxSolidBrushCache::PaletteChanged() { Clear(); }

void TcxSolidBrushCache::EndPaint() {
  if (FPaintDepth > 0 && --FPaintDepth == 0) DeleteEvicted();
}

void TcxSolidBrushCache::DeleteEvicted() {
  for (HBRUSH brush : FEvicted) DeleteBrush(brush);
  FEvicted.clear();
}

TcxSolidBrushCache* cxSolidBrushCache() { return SharedCache; }

HBRUSH SolidBrushFor(TColor color) {
  if (SharedCache) return SharedCache->GetBrush(color);
  return nullptr;
}
HBRUSH SolidBrushForCanvas(TCanvas*, TColor color) { return SolidBrushFor(color); }
HBRUSH SolidBrushForCxCanvas(TcxCanvas*, TColor color) { return SolidBrushFor(color); }

HBRUSH SystemBrushOf(int index) {
  if (!SystemBrushesReady || index < 0 || index > 30) return nullptr;
  return SystemBrushes[index];
}

TcxBrushCachePaintScope::TcxBrushCachePaintScope() : FCache(SharedCache) {
  if (FCache) FCache->BeginPaint();
}
TcxBrushCachePaintScope::~TcxBrushCachePaintScope() {
  // The unit may have ended meanwhile (then the cache is gone).
  if (FCache && FCache == SharedCache) FCache->EndPaint();
}

void cxEditPaintUtilsInit() {
  for (int i = 0; i <= 30; ++i) SystemBrushes[i] = GetSysColorBrush(i);
  SystemBrushesReady = true;
  if (!SharedCache) SharedCache = new TcxSolidBrushCache();
}

void cxEditPaintUtilsDone() {
  delete SharedCache;
  SharedCache = nullptr;
  SystemBrushesReady = false;
  std::fill(std::begin(SystemBrushes), std::end(SystemBrushes), nullptr);
}
