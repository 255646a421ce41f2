// The skin objects a skin data component builds from a skin: an image with
// its frame count, nine-part margins and drawing settings, and the extra
// settings of borders, push buttons, group box labels, caption buttons and
// the caption. The form skinner and the control skinners only read them.
#pragma once

#include "platform/Bitmap.h"

#include <memory>

class TDataSkinObject : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TDataSkinObject();
  ~TDataSkinObject() override;

  // The margins of the nine-part image: the borders that are not stretched.
  int LeftWidth = 0, TopHeight = 0, RightWidth = 0, BottomHeight = 0;
  // The image: frames side by side, or stacked for the images whose
  // consumer draws them so (Top and Bottom borders, caption text
  // background, menu bar). Never null; empty without an image.
  std::unique_ptr<TBitmap> Bitmap;
  int Trans = 0;  // non-zero: magenta is transparent
  int Tile = 0;   // how the middle is filled (each consumer says)
  AnsiString Name;
  int FrameCount = 1;  // at least 1
  int Style = 0;
  // Text colours (-1: not given) and the colours read as "R G B".
  int NormalColour = -1, MouseOverColour = -1, PressedColour = -1;
  TColor NormalColour2 = 0, MouseOverColour2 = 0, PressedColour2 = 0;

  RECT Margins() const { return {LeftWidth, TopHeight, RightWidth, BottomHeight}; }
  // Exchanges every setting and image with `other` (same class): a new
  // skin refills the objects that live as long as their skin data.
  virtual void Swap(TDataSkinObject& other);
};

// A frame border, the tab control and the combo and up-down buttons: a
// second image (the tab sheet, the mirrored combo button, the spin glyphs).
class TDataSkinBorder : public TDataSkinObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TDataSkinBorder();
  std::unique_ptr<TBitmap> Bitmap2;  // never null
  void Swap(TDataSkinObject& other) override;
};

// Push buttons, with the check-box and radio-button images.
class TDataSkinButton : public TDataSkinObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TDataSkinButton();
  std::unique_ptr<TBitmap> CheckBitmap;  // never null
  std::unique_ptr<TBitmap> RadioBitmap;  // never null
  int RadioButtonFrame = 0, CheckButtonFrame = 0;
  bool HasNormalColour2 = false, HasMouseOverColour2 = false, HasPressedColour2 = false;
  void Swap(TDataSkinObject& other) override;
};

// The group box caption's background.
class TDataSkinBoxLabel : public TDataSkinObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  int BackgroundLeftShift = 0, BackgroundRightShift = 0, BackgroundAlignment = 0;
  void Swap(TDataSkinObject& other) override;
};

// A caption button: what it does (Action), where it sits (Align, XCoord,
// YCoord) and when it shows (Visibility, Visibility1).
class TDataSkinSysButton : public TDataSkinObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  int Action = 0, Align = 0, XCoord = 0, YCoord = 0, CombineOp = -1, Visibility = 0, Visibility1 = 0;
  void Swap(TDataSkinObject& other) override;
};

// Caption text colour not given by the skin.
constexpr TColor SkinColorNotGiven = 0x1FFFFFFF;

// The caption settings. The margins hold TextShift (LeftWidth),
// TextShiftVert (TopHeight), TextRightClip (RightWidth) and 0; Bitmap is
// the text background (TextBack, two stacked frames).
class TDataSkinTitle : public TDataSkinObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  int TextAlignment = 0, Textbackground = 0, FontHeight = 14, TXTBackleft = 0, TXTBackRight = 0;
  TColor ActiveTextColor = SkinColorNotGiven, InactiveTextColor = SkinColorNotGiven;
  void Swap(TDataSkinObject& other) override;
};
