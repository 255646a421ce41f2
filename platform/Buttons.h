// Buttons with glyphs: the glyph button (a push button that draws a picture
// beside its caption) and the speed button (a windowless button that can
// stay down and group with others). Both take their glyph from a bitmap
// strip of up to four cells: up, disabled, down and stay-down.
#pragma once

#include "platform/Bitmap.h"
#include "platform/StdCtrls.h"

#include <memory>

class TCustomImageList;

enum class TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
using enum TButtonLayout;
// The cells of a glyph strip, in their order.
enum class TButtonState { bsUp, bsDisabled, bsDown, bsExclusive };
using enum TButtonState;

// Where a button's glyph and caption go, worked out from the face, the
// glyph and text sizes, the layout, the margin (-1: centred) and the spacing
// (-1: spread evenly).
struct TButtonGlyphPlacement {
  POINT GlyphPos{};
  RECT TextBounds{};
};
TButtonGlyphPlacement CalcButtonLayout(const RECT& client, SIZE glyph, SIZE text, TButtonLayout layout, int margin,
                                       int spacing);

// The glyph of a button: the bitmap strip it was given, cut into cells of
// an image list masked by the strip's bottom-left colour, and drawn with
// the caption.
class TButtonGlyph {
public:
  TButtonGlyph();
  ~TButtonGlyph();
  TButtonGlyph(const TButtonGlyph&) = delete;
  TButtonGlyph& operator=(const TButtonGlyph&) = delete;

  TBitmap* Glyph() { return &FOriginal; }
  // A copy of `value`; a strip whose width is 2 to 4 times its height gives
  // as many cells.
  void SetGlyph(TBitmap* value);
  int NumGlyphs() const { return FNumGlyphs; }
  // Clamped to 1..4.
  void SetNumGlyphs(int value);
  // Size of one cell; nothing when there is no glyph.
  SIZE CellSize();

  // Draws glyph and caption into `client` moved by `offset` and answers the
  // caption's rectangle. A state without a cell of its own shows the up
  // cell, the disabled state an embossed up cell.
  RECT Draw(TCanvas* canvas, const RECT& client, POINT offset, const AnsiString& caption, TButtonLayout layout,
            int margin, int spacing, TButtonState state);

  TNotifyEvent OnChange;

private:
  void GlyphChanged(TObject* Sender);
  void ReleaseCells();
  TCustomImageList* Cells();

  TBitmap FOriginal;
  int FNumGlyphs = 1;
  TCustomImageList* FCells = nullptr;  // made on first drawing
};

// A push button that draws a glyph beside its caption (the system button,
// drawn by the control).
class TBitBtn : public TButton {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TBitBtn(TComponent* AOwner);

  TBitmap* Glyph() { return FGlyph.Glyph(); }
  void SetGlyph(TBitmap* value) { FGlyph.SetGlyph(value); }
  int NumGlyphs() const { return FGlyph.NumGlyphs(); }
  void SetNumGlyphs(int value) { FGlyph.SetNumGlyphs(value); }
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout value);
  int Margin() const { return FMargin; }
  // -1 centres glyph and caption; below -1 is ignored.
  void SetMargin(int value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int value);
  TCanvas* Canvas() { return &FCanvas; }

protected:
  void CreateParams(TCreateParams& Params) override;
  void Dispatch(TMessage& Message) override;

private:
  void DrawItem(const DRAWITEMSTRUCT& item);
  void GlyphChanged(TObject*) { Invalidate(); }

  TButtonGlyph FGlyph;
  TButtonLayout FLayout = blGlyphLeft;
  int FMargin = -1;
  int FSpacing = 4;
  TControlCanvas FCanvas;
};

// A windowless button. With a GroupIndex it stays down when clicked; of
// the buttons of one group and parent only one is down (AllowAllUp lets the
// last one come up again).
class TSpeedButton : public TGraphicControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TSpeedButton(TComponent* AOwner);

  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int value);
  bool Down() const { return FDown; }
  // Only a grouped button stays down; pressing one raises the others of its
  // group, and the last one of a group stays down unless AllowAllUp.
  void SetDown(bool value);
  // A flat button shows its face only while the mouse is over it or it is down.
  bool Flat() const { return FFlat; }
  void SetFlat(bool value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  TBitmap* Glyph() { return FGlyph.Glyph(); }
  void SetGlyph(TBitmap* value) { FGlyph.SetGlyph(value); }
  int NumGlyphs() const { return FGlyph.NumGlyphs(); }
  void SetNumGlyphs(int value) { FGlyph.SetNumGlyphs(value); }
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout value);
  int Margin() const { return FMargin; }
  void SetMargin(int value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int value);
  // The face as drawn now.
  TButtonState State() const { return FState; }
  bool MouseInControl() const { return FMouseInControl; }

protected:
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

private:
  void UpdateExclusive();
  void ButtonPressed(int group, TSpeedButton* sender);
  void GlyphChanged(TObject*) { Invalidate(); }

  TButtonGlyph FGlyph;
  TButtonState FState = bsUp;
  TButtonLayout FLayout = blGlyphLeft;
  int FGroupIndex = 0;
  int FMargin = -1;
  int FSpacing = 4;
  bool FAllowAllUp = false;
  bool FDown = false;
  bool FDragging = false;
  bool FFlat = false;
  bool FTransparent = true;
};
