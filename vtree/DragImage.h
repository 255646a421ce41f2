// The tree's own drag image: a semi-transparent picture drawn straight onto
// the screen under the mouse while a column (or, later, nodes) is dragged.
// It keeps what lay under it and puts that back as it moves or ends.
#pragma once

#include "platform/Colors.h"
#include "platform/Graphics.h"
#include "platform/Object.h"
#include "platform/Win32.h"

#include <cstdint>

struct IDataObject;
class TBaseVirtualTree;

enum class TVTImageMoveRestriction { imrNone, imrHorizontalOnly, imrVerticalOnly };
enum class TVTDragImageState { disHidden, disInDrag, disPrepared, disSystemSupport };
using TVTDragImageStates = TSet<TVTDragImageState, 8>;

class TVTDragImage : public TObject {
public:
  explicit TVTDragImage(TBaseVirtualTree* AOwner);
  ~TVTDragImage() override;

  // Makes the image from Bitmap (any bitmap; its size is the image's) for
  // the screen position ImagePosition (top-left); Hotspot is the screen
  // point the mouse is at, from which later moves are measured. Nothing is
  // prepared without the processor's MMX unit (the blending needs it).
  void PrepareImage(HBITMAP Bitmap, POINT ImagePosition, IDataObject* DataObject, POINT Hotspot);
  // Shows a prepared, hidden image: saves the screen under it and draws it.
  void RevealImage();
  // Puts back what lay under a visible image.
  void HideImage();
  // Whether a move to P (screen) would move the visible image.
  bool ImageWillMove(POINT P) const;
  // Moves the image by the mouse's move to P (screen); a move as large as
  // the image, or Force, redraws it whole, a smaller one scrolls what it
  // saved. Answers whether anything moved.
  bool MoveImageTo(POINT P, bool Force);
  // The image's screen rectangle while it shows, else empty.
  RECT ImageRect() const;
  // Hides the image and frees its pictures.
  void EndImage();
  bool ImageVisible() const {
    return FStates.Contains(TVTDragImageState::disPrepared) && FStates.Contains(TVTDragImageState::disInDrag) &&
           !FStates.Contains(TVTDragImageState::disHidden) && !FStates.Contains(TVTDragImageState::disSystemSupport);
  }
  const TVTDragImageStates& States() const { return FStates; }
  bool Visible() const { return ImageVisible(); }
  POINT ImagePosition() const { return FImagePosition; }
  POINT LastPosition() const { return FLastPosition; }
  SIZE ImageSize() const { return FSize; }
  // How the last MoveImageTo went: True when it redrew the image whole.
  bool LastMoveWasFull() const { return FLastMoveFull; }

  uint8_t ImageTransparency() const { return FTransparency; }
  void SetImageTransparency(uint8_t Value) { FTransparency = Value; }
  uint8_t PreBlendBias() const { return FPreBlendBias; }
  void SetPreBlendBias(uint8_t Value) { FPreBlendBias = Value; }
  uint8_t PostBlendBias() const { return FPostBlendBias; }
  void SetPostBlendBias(uint8_t Value) { FPostBlendBias = Value; }
  bool FadeImage() const { return FFade; }
  void SetFadeImage(bool Value) { FFade = Value; }
  TVTImageMoveRestriction MoveRestriction() const { return FRestriction; }
  void SetMoveRestriction(TVTImageMoveRestriction Value) { FRestriction = Value; }
  // Pixels of this colour are left out of the image (clNone: no key).
  TColor ImageColorKey() const { return FColorKey; }
  void SetImageColorKey(TColor Value) { FColorKey = Value; }

  // Fills the alpha bytes of Image (a top-down 32-bit DIB section of
  // Width x Height) from Source's pixels: 0 for the colour key, else
  // falling off with the distance from the centre.
  static void BuildAlphaChannel(uint32_t* Source, uint32_t* Image, int32_t Width, int32_t Height, TColor ColorKey);

private:
  // The image drawn over the saved background onto the screen.
  void InternalShowDragImage(HDC ScreenDC);
  TGdiObject NewBitmap(uint32_t** Bits) const;

  TBaseVirtualTree* FOwner;
  uint8_t FTransparency = 128;
  uint8_t FPreBlendBias = 0;
  uint8_t FPostBlendBias = 0;
  bool FFade = false;
  TVTImageMoveRestriction FRestriction = TVTImageMoveRestriction::imrNone;
  TColor FColorKey = clNone;
  TVTDragImageStates FStates;
  POINT FLastPosition{};   // screen point of the mouse the image follows
  POINT FImagePosition{};  // screen top-left of the image
  SIZE FSize{};
  bool FLastMoveFull = false;
  // Top-down 32-bit pictures of the image's size.
  TGdiObject FDragImage, FAlphaImage, FBackImage;
  uint32_t* FDragBits = nullptr;
};
