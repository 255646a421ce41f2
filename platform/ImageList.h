// The image list base class over the system image list: images of one size
// with masks, drawn in a style, with change links that tell every user of
// the list when its images change, and stored in form data in the system's
// own image-list stream form.
#pragma once

#include "platform/Bitmap.h"
#include "platform/Component.h"

#include <objidl.h>  // before commctrl.h, which declares the stream functions only then
#include <commctrl.h>
#include <vector>

class TCustomImageList;
class TIcon;

enum class TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
using enum TDrawingStyle;
enum class TImageType { itImage, itMask };
using enum TImageType;

// A user's link to an image list: OnChange fires whenever the list changes.
// A link unregisters itself when destroyed, and is cleared when the list goes.
class TChangeLink : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  ~TChangeLink() override;
  TCustomImageList* Sender() const { return FSender; }
  void SetSender(TCustomImageList* value) { FSender = value; }
  TNotifyEvent OnChange;
  virtual void Change();

private:
  TCustomImageList* FSender = nullptr;
};

class TCustomImageList : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TCustomImageList(TComponent* owner);
  ~TCustomImageList() override;

  void Assign(TPersistent* source) override;

  // The system list, made on first use by Initialize.
  HIMAGELIST Handle();
  // Takes the list (and owns it unless ShareImages is set).
  void SetHandle(HIMAGELIST list);
  bool HandleAllocated() const { return FHandle != nullptr; }
  // Gives the list away; a new empty one is made on next use.
  HIMAGELIST ReleaseHandle();

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  // A new size empties the list.
  void SetWidth(int value);
  void SetHeight(int value);
  void SetSize(int width, int height);
  int AllocBy() const { return FAllocBy; }
  void SetAllocBy(int value) { FAllocBy = value > 0 ? value : 1; }
  bool ShareImages() const { return FShareImages; }
  void SetShareImages(bool value) { FShareImages = value; }
  TColor BkColor() const { return FBkColor; }
  void SetBkColor(TColor value);
  TColor BlendColor() const { return FBlendColor; }
  void SetBlendColor(TColor value);
  TDrawingStyle DrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(TDrawingStyle value);
  TImageType ImageType() const { return FImageType; }
  void SetImageType(TImageType value);

  int Count();
  // Adds the images a bitmap holds (one per Width x Height cell); answers
  // the index of the first, -1 on failure. The bitmaps are copied.
  int Add(TBitmap* image, TBitmap* mask);
  // Adds with every pixel of `maskColor` transparent (clNone: none).
  int AddMasked(TBitmap* image, TColor maskColor);
  int AddIcon(TIcon* icon);
  void Insert(int index, TBitmap* image, TBitmap* mask);
  void Replace(int index, TBitmap* image, TBitmap* mask);
  // -1 deletes every image.
  void Delete(int index);
  void Clear();
  void Move(int currentIndex, int newIndex);
  // Draws image `index` at its size into `bitmap` (which is resized).
  void GetBitmap(int index, TBitmap* bitmap);
  bool GetIcon(int index, TIcon* icon);

  // Draws an image in the list's DrawingStyle and ImageType; disabled images
  // are drawn embossed in the button highlight and shadow colours.
  void Draw(TCanvas* canvas, int x, int y, int index, bool enabled = true);

  void RegisterChanges(TChangeLink* link);
  void UnRegisterChanges(TChangeLink* link);
  TNotifyEvent OnChange;

  // Form data: the system's image-list stream form.
  void ReadData(TStream& stream);
  void WriteData(TStream& stream);

protected:
  // Creates the system list (32-bit colour with a mask); descendants that
  // want other flags override it.
  virtual void Initialize();
  // Every change ends here: links first, then OnChange.
  virtual void Change();
  virtual void DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled);
  void SetNewDimensions(HIMAGELIST list);
  void FreeHandle();

  HIMAGELIST FHandle = nullptr;

private:
  UINT DrawStyle() const;
  int FWidth = 16;
  int FHeight = 16;
  int FAllocBy = 4;
  bool FShareImages = false;
  TColor FBkColor = clNone;
  TColor FBlendColor = clNone;
  TDrawingStyle FDrawingStyle = dsNormal;
  TImageType FImageType = itImage;
  std::vector<TChangeLink*> FLinks;
};

// An image list that can show one of its images following the mouse while
// something is dragged over a window (the system's drag image).
class TDragImageList : public TCustomImageList {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  using TCustomImageList::TCustomImageList;
  ~TDragImageList() override;

  // The image to drag and the point of it that sits under the mouse.
  bool SetDragImage(int index, int hotSpotX, int hotSpotY);
  int DragIndex() const { return FDragIndex; }
  POINT DragHotspot() const { return FDragHotspot; }
  // Starts showing the image over `window` at (x, y), window co-ordinates.
  bool BeginDrag(HWND window, int x, int y);
  bool DragMove(int x, int y);
  bool EndDrag();
  bool Dragging() const { return FDragWindow != nullptr; }
  // Hides the image while the window under it repaints, and shows it again.
  bool DragLock(HWND window, int x, int y);
  void DragUnlock();
  bool ShowDragImage();
  bool HideDragImage();

private:
  int FDragIndex = 0;
  POINT FDragHotspot{0, 0};
  HWND FDragWindow = nullptr;
};
