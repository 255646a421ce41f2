// The library's image list: a drag image list whose native list is 32-bit
// with a mask, which keeps beside the native list one image-info item per
// image (its image bitmap, mask bitmap and mask colour) so that 32-bit
// images with alpha survive storing in a form, and which draws every image
// through the glyph drawing. With CompressData the item bitmaps are stored
// packed ("XDBM").
#pragma once

#include "foundation/Bitmaps.h"
#include "platform/Collection.h"
#include "platform/ImageList.h"

#include <memory>

class TcxImageList;

// One image's bitmaps as stored.
class TcxImageInfo : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TcxImageInfo();
  ~TcxImageInfo() override;
  void Assign(TPersistent* source) override;

  TcxCustomBitmap* Image() const { return FImage; }
  TcxCustomBitmap* Mask() const { return FMask; }
  TColor MaskColor() const { return FMaskColor; }
  void SetMaskColor(TColor value) { FMaskColor = value; }
  // The image (mask) takes a copy of `bitmap` (null: empties it); answers its handle.
  virtual HBITMAP SetImage(TBitmap* bitmap);
  virtual HBITMAP SetMask(TBitmap* bitmap);

private:
  TcxCustomBitmap* FImage;  // owned
  TcxCustomBitmap* FMask;   // owned
  TColor FMaskColor = clNone;
};

class TcxImageInfoItem : public TCollectionItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // Takes the collection's compress flag when it joins.
  explicit TcxImageInfoItem(TCollection* Collection);
  ~TcxImageInfoItem() override;
  void Assign(TPersistent* source) override;

  TcxImageInfo* ImageInfo() const { return FImageInfo.get(); }
  TcxCustomBitmap* Image() const { return FImageInfo->Image(); }
  TcxCustomBitmap* Mask() const { return FImageInfo->Mask(); }
  TColor MaskColor() const { return FImageInfo->MaskColor(); }
  void SetMaskColor(TColor value) { FImageInfo->SetMaskColor(value); }
  // True only when both bitmaps pack; setting sets both.
  bool CompressData() const { return Image()->CompressData() && Mask()->CompressData(); }
  void SetCompressData(bool value);

private:
  std::unique_ptr<TcxImageInfo> FImageInfo;
};

class TcxImageInfoCollection : public TCollection {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxImageInfoCollection(TcxImageList* imageList);
  TPersistent* GetOwner() override;

  TcxImageInfoItem* Item(int index) const { return static_cast<TcxImageInfoItem*>(Items(index)); }
  // An item with copies of the bitmaps (a null mask leaves its mask empty).
  TcxImageInfoItem* Add(TBitmap* image, TBitmap* mask, TColor maskColor);
  void Move(int currentIndex, int newIndex);
  // -1 clears the collection.
  void Delete(int index);
  bool CompressData() const { return FCompressData; }
  void SetCompressData(bool value);

protected:
  void Notify(TCollectionItem* item, TCollectionNotification action) override;

private:
  TcxImageList* FImageList;
  bool FCompressData = false;
};

class TcxImageList : public TDragImageList {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxImageList(TComponent* AOwner);
  ~TcxImageList() override;

  void Assign(TPersistent* source) override;
  void DefineProperties(TFiler* filer) override;

  void BeginUpdate() { ++FUpdateCount; }
  // Nothing at count 0; otherwise lowers it and, with `force`, reports a change.
  void EndUpdate(bool force = true);
  bool IsUpdating() const { return FUpdateCount > 0; }

  // Adds the images a bitmap holds with a mask (null: all pixels opaque);
  // answers the first index, -1 on failure.
  int AddBitmapPair(TBitmap* image, TBitmap* mask);
  // Adds with every pixel of `maskColor` transparent (clNone: none).
  int AddMasked(TBitmap* image, TColor maskColor);
  int AddImageInfo(TcxImageInfo* info);
  void MoveImage(int currentIndex, int newIndex);
  // -1 deletes every image.
  void DeleteImage(int index);
  void DeleteAll() { DeleteImage(-1); }
  // Only for 0 <= index <= Count.
  void InsertImage(int index, TBitmap* image, TBitmap* mask);
  void ReplaceAt(int index, TBitmap* image, TBitmap* mask);
  // The stored image and mask of `index` (a target may be null); a 32-bit
  // stored image comes as stored, alpha included, else from the native list.
  void GetImage(int index, TBitmap* image, TBitmap* mask);
  // Draws image `index` (centred at the list's size unless stretched).
  void DrawImage(int index, TCanvas* canvas, const RECT& r, UINT style, bool stretch, bool smooth, bool enabled);

  // The image and mask of a native list's entry (-1: the whole bitmaps).
  static void ExtractImageAndMask(HIMAGELIST list, int index, TBitmap* mask, TBitmap* image);
  static int NativePixelFormat(HIMAGELIST list);

  TcxImageInfoCollection* ImageInfo() const { return FImageInfo; }
  bool CompressData() const { return FImageInfo->CompressData(); }
  void SetCompressData(bool value) { FImageInfo->SetCompressData(value); }
  bool AlphaBlending() const { return FAlphaBlending; }
  int FormatVersion() const { return FFormatVersion; }
  int32_t DesignInfo() const { return FDesignInfo; }
  void SetDesignInfo(int32_t value) { FDesignInfo = value; }

protected:
  void Change() override;
  void DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled) override;

private:
  // One item per Width x Height cell when the image divides into more than
  // one; else one item with the whole image.
  void AddImageInfos(TBitmap* image, TBitmap* mask, TColor maskColor);
  // How many cells the native list cuts a bitmap into for one insertion
  // (a list size of 0 counts as one cell).
  int CellCount(TBitmap* image) const;
  void ReadImageInfo(TReader* reader);
  void ReadLegacyBitmap(TStream& stream);
  bool ImagesDifferFrom(TCustomImageList* ancestor);

  bool FAlphaBlending = false;
  TcxImageInfoCollection* FImageInfo;  // owned
  int FUpdateCount = 0;
  bool FSynchronizing = false;
  uint16_t FFormatVersion = 0;
  int32_t FDesignInfo = 0;
};
