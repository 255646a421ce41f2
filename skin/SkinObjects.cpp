#include "skin/SkinObjects.h"

#include <utility>

const TClassInfo TDataSkinObject::ClassInfo{"TDataSkinObject", &TObject::ClassInfo, nullptr};
const TClassInfo TDataSkinBorder::ClassInfo{"TDataSkinBorder", &TDataSkinObject::ClassInfo, nullptr};
const TClassInfo TDataSkinButton::ClassInfo{"TDataSkinButton", &TDataSkinObject::ClassInfo, nullptr};
const TClassInfo TDataSkinBoxLabel::ClassInfo{"TDataSkinBoxLabel", &TDataSkinObject::ClassInfo, nullptr};
const TClassInfo TDataSkinSysButton::ClassInfo{"TDataSkinSysButton", &TDataSkinObject::ClassInfo, nullptr};
const TClassInfo TDataSkinTitle::ClassInfo{"TDataSkinTitle", &TDataSkinObject::ClassInfo, nullptr};

TDataSkinObject::TDataSkinObject() : Bitmap(std::make_unique<TBitmap>()) {}
TDataSkinObject::~TDataSkinObject() = default;

void TDataSkinObject::Swap(TDataSkinObject& o) {
  std::swap(LeftWidth, o.LeftWidth);
  std::swap(TopHeight, o.TopHeight);
  std::swap(RightWidth, o.RightWidth);
  std::swap(BottomHeight, o.BottomHeight);
  std::swap(Bitmap, o.Bitmap);
  std::swap(Trans, o.Trans);
  std::swap(Tile, o.Tile);
  std::swap(Name, o.Name);
  std::swap(FrameCount, o.FrameCount);
  std::swap(Style, o.Style);
  std::swap(NormalColour, o.NormalColour);
  std::swap(MouseOverColour, o.MouseOverColour);
  std::swap(PressedColour, o.PressedColour);
  std::swap(NormalColour2, o.NormalColour2);
  std::swap(MouseOverColour2, o.MouseOverColour2);
  std::swap(PressedColour2, o.PressedColour2);
}

TDataSkinBorder::TDataSkinBorder() : Bitmap2(std::make_unique<TBitmap>()) {}

void TDataSkinBorder::Swap(TDataSkinObject& other) {
  TDataSkinObject::Swap(other);
  auto& o = static_cast<TDataSkinBorder&>(other);
  std::swap(Bitmap2, o.Bitmap2);
}

TDataSkinButton::TDataSkinButton()
    : CheckBitmap(std::make_unique<TBitmap>()), RadioBitmap(std::make_unique<TBitmap>()) {}

void TDataSkinButton::Swap(TDataSkinObject& other) {
  TDataSkinObject::Swap(other);
  auto& o = static_cast<TDataSkinButton&>(other);
  std::swap(CheckBitmap, o.CheckBitmap);
  std::swap(RadioBitmap, o.RadioBitmap);
  std::swap(RadioButtonFrame, o.RadioButtonFrame);
  std::swap(CheckButtonFrame, o.CheckButtonFrame);
  std::swap(HasNormalColour2, o.HasNormalColour2);
  std::swap(HasMouseOverColour2, o.HasMouseOverColour2);
  std::swap(HasPressedColour2, o.HasPressedColour2);
}

void TDataSkinBoxLabel::Swap(TDataSkinObject& other) {
  TDataSkinObject::Swap(other);
  auto& o = static_cast<TDataSkinBoxLabel&>(other);
  std::swap(BackgroundLeftShift, o.BackgroundLeftShift);
  std::swap(BackgroundRightShift, o.BackgroundRightShift);
  std::swap(BackgroundAlignment, o.BackgroundAlignment);
}

void TDataSkinSysButton::Swap(TDataSkinObject& other) {
  TDataSkinObject::Swap(other);
  auto& o = static_cast<TDataSkinSysButton&>(other);
  std::swap(Action, o.Action);
  std::swap(Align, o.Align);
  std::swap(XCoord, o.XCoord);
  std::swap(YCoord, o.YCoord);
  std::swap(CombineOp, o.CombineOp);
  std::swap(Visibility, o.Visibility);
  std::swap(Visibility1, o.Visibility1);
}

void TDataSkinTitle::Swap(TDataSkinObject& other) {
  TDataSkinObject::Swap(other);
  auto& o = static_cast<TDataSkinTitle&>(other);
  std::swap(TextAlignment, o.TextAlignment);
  std::swap(Textbackground, o.Textbackground);
  std::swap(FontHeight, o.FontHeight);
  std::swap(TXTBackleft, o.TXTBackleft);
  std::swap(TXTBackRight, o.TXTBackRight);
  std::swap(ActiveTextColor, o.ActiveTextColor);
  std::swap(InactiveTextColor, o.InactiveTextColor);
}
