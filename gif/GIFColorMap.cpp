#include "gif/GIFColorMap.h"

#include "gif/GIFContainer.h"
#include "gif/GIFExtension.h"
#include "gif/GIFSubImage.h"

const TClassInfo TGIFColorMap::ClassInfo{"TGIFColorMap", &TPersistent::ClassInfo, nullptr};
const TClassInfo TGIFGlobalColorMap::ClassInfo{"TGIFGlobalColorMap", &TGIFColorMap::ClassInfo, nullptr};
const TClassInfo TGIFLocalColorMap::ClassInfo{"TGIFLocalColorMap", &TGIFColorMap::ClassInfo, nullptr};

int BitsForColors(int count) {
  if (count <= 0) return 0;
  int bits = 1;
  while ((1 << bits) < count) ++bits;
  return bits;
}

TGIFColor TGIFColorMap::ColorAt(int index) {
  if (FCount == 0) RaiseGIFError("Color table is empty");
  if (index < 0 || index >= FCount) {
    ReportIssue("Invalid color index");
    index = 0;
  }
  return FColors[index];
}

void TGIFColorMap::SetColor(int index, const TGIFColor& color) {
  if (index < 0 || index >= FCount) RaiseGIFError("Invalid color index");
  FColors[index] = color;
  FIsSorted = false;
  TableChanged();
}

int TGIFColorMap::AppendColor(const TGIFColor& color) {
  if (FCount >= 256) RaiseGIFError("Color table overflow");
  FColors[FCount] = color;
  FIsSorted = false;
  TableChanged();
  return FCount++;
}

int TGIFColorMap::AppendUnique(const TGIFColor& color) {
  const int index = FindColor(color);
  return index >= 0 ? index : AppendColor(color);
}

void TGIFColorMap::RemoveColor(int index) {
  if (index < 0 || index >= FCount) RaiseGIFError("Invalid color index");
  for (int i = index; i + 1 < FCount; ++i) FColors[i] = FColors[i + 1];
  --FCount;
  FIsSorted = false;
  TableChanged();
}

int TGIFColorMap::FindColor(const TGIFColor& color) const {
  // A sorted table has its most used colours first, so the first match is
  // the one to prefer; otherwise the latest appended entry wins.
  if (FIsSorted) {
    for (int i = 0; i < FCount; ++i)
      if (FColors[i] == color) return i;
  } else {
    for (int i = FCount - 1; i >= 0; --i)
      if (FColors[i] == color) return i;
  }
  return -1;
}

void TGIFColorMap::Clear() {
  FCount = 0;
  FIsSorted = false;
}

void TGIFColorMap::ReadTable(TStream& stream, int count) {
  Clear();
  if (count < 0 || count > 256) RaiseGIFError("Color table overflow");
  uint8_t bytes[256 * 3];
  ReadChecked(stream, bytes, count * 3);
  for (int i = 0; i < count; ++i) FColors[i] = TGIFColor{bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2]};
  FCount = count;
}

void TGIFColorMap::WriteTable(TStream& stream) const {
  if (FCount == 0) return;
  uint8_t bytes[256 * 3] = {};
  for (int i = 0; i < FCount; ++i) {
    bytes[3 * i] = FColors[i].Red;
    bytes[3 * i + 1] = FColors[i].Green;
    bytes[3 * i + 2] = FColors[i].Blue;
  }
  stream.WriteBuffer(bytes, (1 << BitsNeeded()) * 3);
}

void TGIFColorMap::FromColorTable(const uint8_t* rgbQuads, int count) {
  if (count < 0 || count > 256) RaiseGIFError("Color table overflow");
  for (int i = 0; i < count; ++i) FColors[i] = TGIFColor{rgbQuads[4 * i + 2], rgbQuads[4 * i + 1], rgbQuads[4 * i]};
  FCount = count;
  FIsSorted = false;
  TableChanged();
}

int TGIFColorMap::BitsNeeded() const { return BitsForColors(FCount); }

void TGIFColorMap::Assign(TPersistent* source) {
  if (auto* map = ObjectAs<TGIFColorMap>(source)) {
    FColors = map->FColors;
    FCount = map->FCount;
    FIsSorted = map->FIsSorted;
    TableChanged();
    return;
  }
  TPersistent::Assign(source);
}

namespace {

struct TUse {
  int Index;
  int Count;
};

// Most used first. Ties end in whatever order the partitioning leaves them.
void SortUses(std::vector<TUse>& uses, int lo, int hi) {
  while (lo < hi) {
    int i = lo;
    int j = hi;
    const int pivot = uses[(lo + hi) / 2].Count;
    do {
      while (uses[i].Count > pivot) ++i;
      while (uses[j].Count < pivot) --j;
      if (i <= j) {
        std::swap(uses[i], uses[j]);
        ++i;
        --j;
      }
    } while (i <= j);
    if (lo < j) SortUses(uses, lo, j);
    lo = i;
  }
}

void CountFramePixels(TGIFSubImage* frame, std::vector<int>& counts) {
  const uint8_t* p = frame->Data();
  for (size_t i = 0; i < frame->DataSize(); ++i)
    if (p[i] < counts.size()) ++counts[p[i]];
}

void RemapFrame(TGIFSubImage* frame, const std::array<uint8_t, 256>& map) {
  uint8_t* p = frame->Data();
  for (size_t i = 0; i < frame->DataSize(); ++i) p[i] = map[p[i]];
  if (frame->IsTransparent() && frame->GraphicControl())
    frame->GraphicControl()->SetTransparentColorIndex(map[frame->GraphicControl()->TransparentColorIndex()]);
}

}  // namespace

bool TGIFColorMap::SortByUse() {
  if (FCount <= 1) return false;
  FIsSorted = true;
  const std::vector<int> counts = CountUses();
  std::vector<TUse> uses(FCount);
  for (int i = 0; i < FCount; ++i) uses[i] = TUse{i, i < static_cast<int>(counts.size()) ? counts[i] : 0};
  SortUses(uses, 0, FCount - 1);
  bool moved = false;
  for (int i = 0; i < FCount; ++i) moved |= uses[i].Index != i;
  if (!moved) return true;
  std::array<uint8_t, 256> map;
  for (int i = 0; i < 256; ++i) map[i] = static_cast<uint8_t>(i);
  for (int i = 0; i < FCount; ++i) map[uses[i].Index] = static_cast<uint8_t>(i);
  // Remapped while every entry is still there, so transparent indexes stay valid.
  RemapPixels(map);
  const std::array<TGIFColor, 256> old = FColors;
  int used = FCount;
  for (int i = FCount - 1; i >= 0; --i) {
    FColors[i] = old[uses[i].Index];
    if (uses[i].Count == 0) used = i;
  }
  FCount = used;
  TableChanged();
  return true;
}

std::vector<int> TGIFGlobalColorMap::CountUses() {
  std::vector<int> counts(Count(), 0);
  if (!FImage) return counts;
  for (int i = 0; i < FImage->Images().Count(); ++i) {
    TGIFSubImage* frame = FImage->Images().Frames(i);
    if (&frame->EffectiveColorMap() == this) CountFramePixels(frame, counts);
  }
  return counts;
}

void TGIFGlobalColorMap::RemapPixels(const std::array<uint8_t, 256>& map) {
  if (!FImage) return;
  for (int i = 0; i < FImage->Images().Count(); ++i) {
    TGIFSubImage* frame = FImage->Images().Frames(i);
    if (&frame->EffectiveColorMap() == this) RemapFrame(frame, map);
  }
}

bool TGIFGlobalColorMap::SortUsage() { return FImage && FImage->Images().Count() > 0 && SortByUse(); }

std::vector<int> TGIFLocalColorMap::CountUses() {
  std::vector<int> counts(Count(), 0);
  if (FFrame) CountFramePixels(FFrame, counts);
  return counts;
}

void TGIFLocalColorMap::RemapPixels(const std::array<uint8_t, 256>& map) {
  if (FFrame) RemapFrame(FFrame, map);
}

void TGIFGlobalColorMap::TableChanged() {
  if (FImage) FImage->GlobalTableChanged();
}

void TGIFGlobalColorMap::ReportIssue(const AnsiString& message) {
  if (FImage) FImage->ReportIssue(this, 1, message);
}

void TGIFLocalColorMap::TableChanged() {
  if (FFrame && FFrame->Image()) FFrame->Image()->LocalTableChanged(FFrame);
}

void TGIFLocalColorMap::ReportIssue(const AnsiString& message) {
  if (FFrame) FFrame->ReportIssue(1, message);
}
