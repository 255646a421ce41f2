// The editors' solid brushes: one process-wide cache of brushes by colour,
// so that painting never creates and deletes a brush for a colour it has
// met before, and the 31 system-colour brushes, which bypass the cache.
//
// A brush handed out stays owned by the cache and is valid for the current
// paint. Painting code brackets a paint with TcxBrushCachePaintScope: a
// brush evicted while a scope is open (more colours in one paint than the
// cache holds) is kept alive until the outermost scope closes, so a caller
// that still holds it never draws with a deleted brush.
#pragma once

#include "foundation/Canvas.h"
#include "platform/Win32.h"

#include <memory>
#include <vector>

class TcxSystemPaletteChangedNotifier;

class TcxSolidBrushCache : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  static constexpr int DefaultCapacity = 128;
  explicit TcxSolidBrushCache(int capacity = DefaultCapacity);
  static TcxSolidBrushCache* CreateWithCapacity(int capacity) { return new TcxSolidBrushCache(capacity); }
  // Deletes every brush, the evicted ones too.
  ~TcxSolidBrushCache() override;

  // The brush of `color`: a system colour's system brush (not counted),
  // else the cached one (its use count raised), else a new one that may
  // evict the least used entry.
  HBRUSH GetBrush(TColor color);
  // Every cached brush deleted (evicted ones kept for an open paint).
  void Clear();
  virtual void PaletteChanged();

  int Capacity() const { return FCapacity; }
  int Count() const { return static_cast<int>(FColors.size()); }
  // The use count of a cached colour; -1 when it is not cached.
  int UseCountOf(TColor color) const;
  // Evicted brushes waiting for the paint that may hold them to end.
  int PendingDeleteCount() const { return static_cast<int>(FEvicted.size()); }

  // Paint scopes (TcxBrushCachePaintScope).
  void BeginPaint() { ++FPaintDepth; }
  void EndPaint();

private:
  int IndexOf(TColor color, bool& found) const;
  void EvictLeastUsed(int& insertAt);
  void DeleteEvicted();

  int FCapacity;
  std::vector<TColor> FColors;     // ascending unsigned
  std::vector<HBRUSH> FBrushes;    // parallel to the colours
  std::vector<uint32_t> FUseCounts;
  std::vector<HBRUSH> FEvicted;    // deleted when no paint is open
  int FPaintDepth = 0;
  std::unique_ptr<TcxSystemPaletteChangedNotifier> FNotifier;
};

// The shared cache, null outside the unit's life.
TcxSolidBrushCache* cxSolidBrushCache();
HBRUSH SolidBrushFor(TColor color);
HBRUSH SolidBrushForCanvas(TCanvas* canvas, TColor color);
HBRUSH SolidBrushForCxCanvas(TcxCanvas* canvas, TColor color);
// The system brush of index 0..30 (null outside the unit's life).
HBRUSH SystemBrushOf(int index);

// One paint of the shared cache: brushes evicted meanwhile live until the
// outermost scope ends.
class TcxBrushCachePaintScope {
public:
  TcxBrushCachePaintScope();
  ~TcxBrushCachePaintScope();
  TcxBrushCachePaintScope(const TcxBrushCachePaintScope&) = delete;
  TcxBrushCachePaintScope& operator=(const TcxBrushCachePaintScope&) = delete;

private:
  TcxSolidBrushCache* FCache;
};

void cxEditPaintUtilsInit();
void cxEditPaintUtilsDone();
