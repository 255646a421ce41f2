// Colour tables of a GIF: the global table of the logical screen and the
// local table of a frame. Portable: palette handles are built by the picture.
#pragma once

#include "gif/GIFTypes.h"
#include "platform/Persistent.h"

#include <array>
#include <vector>

class TGIFContainer;
class TGIFSubImage;

// An ordered table of at most 256 RGB entries. Warnings go to the owning
// picture; a change of the entries tells the owner (TableChanged) so that a
// palette built from the table is dropped.
class TGIFColorMap : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  int Count() const { return FCount; }
  bool IsSorted() const { return FIsSorted; }
  void SetIsSorted(bool value) { FIsSorted = value; }

  // The entry at `index`; outside the table warns "Invalid color index" and
  // answers entry 0; an empty table raises "Color table is empty".
  TGIFColor ColorAt(int index);
  void SetColor(int index, const TGIFColor& color);
  // Answers the new index; a full table raises "Color table overflow".
  int AppendColor(const TGIFColor& color);
  int AppendUnique(const TGIFColor& color);
  void RemoveColor(int index);
  // The index of an exact match, -1 when absent (the first match when the
  // table is sorted, else the last).
  int FindColor(const TGIFColor& color) const;
  // Empties the table (no change notification).
  void Clear();

  // Reads `count` triples (the file's sort bit is not carried over).
  void ReadTable(TStream& stream, int count);
  // Writes the entries and black up to 2^BitsNeeded entries; nothing when empty.
  void WriteTable(TStream& stream) const;
  // Fills the table from RGBQUAD entries (blue, green, red, reserved).
  void FromColorTable(const uint8_t* rgbQuads, int count);

  // Bits a pixel needs to index every entry: 0 for an empty table.
  int BitsNeeded() const;

  void Assign(TPersistent* source) override;

  // Drops whatever was built from the entries (the picture's or frame's palette).
  virtual void TableChanged() {}

  // Orders the entries by how many pixels use them, most used first, drops
  // the entries no pixel uses, rewrites the pixels of the frames that use
  // the table and marks it sorted. Answers whether the table was sorted
  // (tables of fewer than two entries are left alone).
  bool SortByUse();
  // Pixels per entry over every frame that uses this table.
  virtual std::vector<int> CountUses() { return std::vector<int>(FCount, 0); }
  // Rewrites every pixel p of the frames using the table as map[p], and the
  // transparent index of such frames that are transparent.
  virtual void RemapPixels(const std::array<uint8_t, 256>& map) { (void)map; }
  // Sorts the table when that makes sense for its owner.
  virtual bool SortUsage() { return SortByUse(); }

protected:
  virtual void ReportIssue(const AnsiString& message) { (void)message; }

private:
  std::array<TGIFColor, 256> FColors{};
  int FCount = 0;
  bool FIsSorted = false;
};

// Bits needed for `count` colours: 0 for none, else the smallest b >= 1 with 2^b >= count.
int BitsForColors(int count);

class TGIFGlobalColorMap : public TGIFColorMap {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TGIFGlobalColorMap(TGIFContainer* image) : FImage(image) {}
  TGIFContainer* Image() const { return FImage; }
  void TableChanged() override;
  // The frames without entries of their own use the global table.
  std::vector<int> CountUses() override;
  void RemapPixels(const std::array<uint8_t, 256>& map) override;
  // Nothing to sort by in a picture without frames.
  bool SortUsage() override;

protected:
  void ReportIssue(const AnsiString& message) override;

private:
  TGIFContainer* FImage;
};

class TGIFLocalColorMap : public TGIFColorMap {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TGIFLocalColorMap(TGIFSubImage* frame) : FFrame(frame) {}
  TGIFSubImage* Frame() const { return FFrame; }
  void TableChanged() override;
  std::vector<int> CountUses() override;
  void RemapPixels(const std::array<uint8_t, 256>& map) override;

protected:
  void ReportIssue(const AnsiString& message) override;

private:
  TGIFSubImage* FFrame;
};
