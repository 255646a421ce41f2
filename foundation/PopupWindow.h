// The library's popup windows: TcxPopupWindow, a borderless stay-on-top
// form placed against an owner rectangle that flips to the side with more
// room when it does not fit the monitor's work area, sizes itself to its
// children and draws one of three borders; TcxBaseHintWindow, a top-most
// hint that shows without activation and inside the work area; and the
// drag images, TcxCustomDragImage (translucent, the mouse passes through)
// and TcxSizeFrame (a hollow patterned frame shown while a popup is resized).
#pragma once

#include "foundation/Canvas.h"
#include "platform/Forms.h"
#include "platform/HintWindow.h"

#include <memory>

// The border a popup draws: none, a line in the frame colour, a raised
// edge, a double raised edge.
enum TcxPopupBorderStyle : uint8_t { pbsNone, pbsSingle, pbsRaised, pbsDoubleRaised };
// Where a popup opens: beside the owner (0) or above or below it (1).
enum TcxPopupDirection : uint8_t { pdHorizontal, pdVertical };
// An edge of the owner to align with: the near one, the centre, the far one.
enum TcxPopupAlignment : uint8_t { cxpaNear, cxpaCenter, cxpaFar };
// Sides of BorderWidth and BorderOffset.
enum TcxPopupSide : uint8_t { psLeft, psTop, psRight, psBottom };

class TcxPopupWindow : public TForm {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // A borderless stay-on-top form; vertical alignment far (below), direction
  // vertical, frame colour clWindowFrame, sized to its children.
  explicit TcxPopupWindow(TComponent* AOwner = nullptr);
  ~TcxPopupWindow() override;

  bool Adjustable() const { return FAdjustable; }
  void SetAdjustable(bool value) { FAdjustable = value; }
  TcxPopupAlignment AlignHorz() const { return FAlignHorz; }
  void SetAlignHorz(TcxPopupAlignment value) { FAlignHorz = value; }
  TcxPopupAlignment AlignVert() const { return FAlignVert; }
  void SetAlignVert(TcxPopupAlignment value) { FAlignVert = value; }
  // Pixels added inside the border.
  int BorderSpace() const { return FBorderSpace; }
  void SetBorderSpace(int value) { FBorderSpace = value; }
  TcxPopupBorderStyle PopupBorderStyle() const { return FPopupBorderStyle; }
  // Moves the children back out of the old border's offsets, then stores
  // the style (the next FitToContents places them for the new one).
  void ChangeBorderStyle(TcxPopupBorderStyle value);
  TcxPopupDirection Direction() const { return FDirection; }
  void SetDirection(TcxPopupDirection value) { FDirection = value; }
  TColor FrameColor() const { return FFrameColor; }
  void SetFrameColor(TColor value) { FFrameColor = value; }
  // The owner's rectangle, in the owner parent's client co-ordinates (screen
  // co-ordinates without an owner parent).
  const RECT& OwnerBounds() const { return FOwnerBounds; }
  void SetOwnerBounds(const RECT& value) { FOwnerBounds = value; }
  TControl* OwnerParent() const { return FOwnerParent; }
  void SetOwnerParent(TControl* value) { FOwnerParent = value; }
  HWND PreviousActiveWindow() const { return FPrevActiveWindow; }
  TcxCanvas* cxCanvas() const { return FcxCanvas.get(); }

  // The virtual operations, in their order.
  // The top-left corner that keeps the popup on its monitor's work area.
  virtual POINT ComputePopupPosition();
  virtual void FitToContents();
  virtual int BorderOffset(TcxPopupSide side);
  virtual RECT GetContentBounds();
  virtual int BorderWidth(TcxPopupSide side);
  virtual RECT GetOwnerScreenBounds();
  virtual void ApplyOwnerFont();
  virtual void DrawPopupBorder();
  virtual void ClosePopup();
  virtual void ShowPopup();

protected:
  void PaintWindow(HDC dc) override;
  void Dispatch(TMessage& Message) override;
  void Deactivate() override;
  // Told after every change of visibility.
  virtual void VisibilityChanged() {}

private:
  bool FAdjustable = true;
  TcxPopupAlignment FAlignHorz = cxpaNear;
  TcxPopupAlignment FAlignVert = cxpaFar;
  int FBorderSpace = 0;
  TcxPopupBorderStyle FPopupBorderStyle = pbsNone;
  TCanvas FFormCanvas;
  std::unique_ptr<TcxCanvas> FcxCanvas;
  TcxPopupDirection FDirection = pdVertical;
  TColor FFrameColor = clWindowFrame;
  RECT FOwnerBounds{};
  TControl* FOwnerParent = nullptr;  // not owned
  HWND FPrevActiveWindow = nullptr;
  // The offsets the children were last moved by (left, top).
  POINT FChildOffset{0, 0};
};

// How a hint window appears: the system's hint animation or none.
enum TcxHintAnimationStyle : uint8_t { cxhaSystem = 8, cxhaNone = 9 };

class TcxBaseHintWindow : public THintWindow {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxBaseHintWindow(TComponent* AOwner);

  TcxHintAnimationStyle AnimationStyle() const { return FAnimationStyle; }
  void SetAnimationStyle(TcxHintAnimationStyle value) { FAnimationStyle = value; }
  // Milliseconds the animation takes.
  int AnimationDelay() const { return FAnimationDelay; }
  void SetAnimationDelay(int value) { FAnimationDelay = value; }
  // Off: the window has no WS_BORDER.
  bool HasBorder() const { return FBorder; }
  void SetHasBorder(bool value);
  bool NeedEraseBackground() const { return FNeedEraseBackground; }
  void SetNeedEraseBackground(bool value) { FNeedEraseBackground = value; }
  bool StandardHint() const { return FStandardHint; }
  void SetStandardHint(bool value) { FStandardHint = value; }
  // The bounds last set through ActivateHint or ShowHintText.
  const RECT& ShownBounds() const { return FShownBounds; }
  // Whether the last ShowHintText animated the window.
  bool LastShowAnimated() const { return FLastShowAnimated; }

  void ActivateHint(const RECT& rect, const AnsiString& hint) override;
  // Text, bounds and show: with the system's hint animation when the style
  // asks for it, the system has it on and the text is under 100 characters.
  void ShowHintText(const RECT& rect, const AnsiString& text);
  // Keeps the top-left corner in the work area of the monitor at that corner.
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  virtual void ResetWindowShape();
  virtual void BeforeShowHook() {}
  virtual void ShowNoActivate();

protected:
  void CreateParams(TCreateParams& Params) override;
  void Dispatch(TMessage& Message) override;

private:
  bool FNeedEraseBackground = false;
  TcxHintAnimationStyle FAnimationStyle = cxhaSystem;
  int FAnimationDelay = 100;
  bool FBorder = false;
  bool FStandardHint = false;
  bool FLastShowAnimated = false;
  RECT FShownBounds{};
};

// A translucent popup (alpha 180) the mouse passes through, owned by the
// popup parent's window, else the active form's.
class TcxCustomDragImage : public TcxPopupWindow {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxCustomDragImage(TComponent* AOwner = nullptr);
  // Shows without taking the activation, and paints at once.
  void ShowWithoutActivation();

protected:
  void CreateParams(TCreateParams& Params) override;
  void Dispatch(TMessage& Message) override;
};

// A hollow frame of FrameWidth pixels, painted in a black and white
// checker, shown while a popup is resized.
class TcxSizeFrame : public TcxCustomDragImage {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxSizeFrame(int frameWidth, TComponent* AOwner = nullptr);
  ~TcxSizeFrame() override;

  int FrameWidth() const { return FFrameWidth; }
  TcxRegion* Region() const { return FRegion.get(); }
  // The region becomes the rectangle's size at (0, 0); then the bounds.
  void MoveFrameTo(const RECT& r);
  // With a window and room for a hole (twice the width below both sides):
  // the region hollowed to a ring, applied when the window's differs.
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
  void PaintWindow(HDC dc) override;

private:
  int FFrameWidth;
  std::unique_ptr<TcxRegion> FRegion;
  bool FHollowed = false;
  TBitmap FPattern;
};
