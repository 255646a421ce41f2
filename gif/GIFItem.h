// The blocks of a GIF file as objects: every item reads and writes itself in
// file order, and a picture is read or written by running them in turn.
// Portable: no Windows headers.
#pragma once

#include "gif/GIFColorMap.h"

#include <vector>

class TGIFContainer;
class TGIFSubImage;
class TGIFExtension;

// A block of the file owned by a picture. Warnings go to the picture.
class TGIFItem : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TGIFItem(TGIFContainer* image) : FImage(image) {}
  TGIFContainer* Image() const { return FImage; }

  // 1 when the item fits a GIF87a file, 2 when it needs GIF89a.
  virtual int FormatVersion() { return 1; }
  virtual void ReportIssue(int severity, const AnsiString& message);
  virtual void SaveToStream(TStream& stream) = 0;
  virtual void LoadFromStream(TStream& stream) = 0;
  // Creates the file and writes the item into it.
  virtual void SaveToFileNamed(const AnsiString& fileName);
  // Reads the item from the file, which others may read but not write meanwhile.
  virtual void LoadFromFileNamed(const AnsiString& fileName);

private:
  TGIFContainer* FImage;
};

// An owning list of items: deleting an item frees it.
class TGIFList : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TGIFList(TGIFContainer* image) : FImage(image) {}
  ~TGIFList() override { Clear(); }
  TGIFContainer* Image() const { return FImage; }

  int Count() const { return static_cast<int>(FItems.size()); }
  TGIFItem* Items(int index) const;
  void Add(TGIFItem* item) { FItems.push_back(item); }
  int IndexOf(const TGIFItem* item) const;
  // Takes the item out of the list without freeing it.
  void Remove(const TGIFItem* item);
  void Delete(int index);
  // Deletes from the front until empty.
  void Clear();

  virtual void ReportIssue(int severity, const AnsiString& message);
  virtual void WriteAll(TStream& stream);
  virtual void ReadAll(TStream& stream, TPersistent* parent) = 0;

private:
  TGIFContainer* FImage;
  std::vector<TGIFItem*> FItems;
};

// The frames of a picture in file order.
class TGIFImageList : public TGIFList {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  using TGIFList::TGIFList;
  TGIFSubImage* Frames(int index) const;
  // Reads frames until the trailer, the end of the stream or a byte that
  // starts no block ("Unknown GIF block type"; the stream is left there).
  void ReadAll(TStream& stream, TPersistent* parent) override;
};

// The extensions that precede a frame's image, in file order.
class TGIFExtensionList : public TGIFList {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  using TGIFList::TGIFList;
  TGIFExtension* Extensions(int index) const;
  // Reads extensions for the frame `parent` until an image separator, the
  // trailer or the end of the stream.
  void ReadAll(TStream& stream, TPersistent* parent) override;
};

// The signature, the logical screen descriptor and the global colour table.
class TGIFHeader : public TGIFItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TGIFHeader(TGIFContainer* image);

  uint16_t Width() const { return FWidth; }
  uint16_t Height() const { return FHeight; }
  void SetWidth(uint16_t value) { FWidth = value; }
  void SetHeight(uint16_t value) { FHeight = value; }
  uint8_t Packed() const { return FPacked; }
  uint8_t BackgroundColorIndex() const { return FBackgroundColorIndex; }
  void SetBackgroundColorIndex(uint8_t value) { FBackgroundColorIndex = value; }
  uint8_t AspectRatio() const { return FAspectRatio; }
  void SetAspectRatio(uint8_t value) { FAspectRatio = value; }
  TGIFGlobalColorMap& ColorMap() { return FColorMap; }

  // Empties the global table and zeroes the descriptor.
  void Clear();
  // Recomputes the packed byte from the tables of the picture.
  void PrepareScreenDescriptor();

  void LoadFromStream(TStream& stream) override;
  // Writes the version the picture needs; a picture without frames raises
  // "Unsupported GIF version".
  void SaveToStream(TStream& stream) override;

private:
  uint16_t FWidth = 0;
  uint16_t FHeight = 0;
  uint8_t FPacked = 0;
  uint8_t FBackgroundColorIndex = 0;
  uint8_t FAspectRatio = 0;
  TGIFGlobalColorMap FColorMap;
};

// The closing ";". A stream that ends before it is accepted silently.
class TGIFTrailer : public TGIFItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  using TGIFItem::TGIFItem;
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
};
