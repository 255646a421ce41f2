// The drawing resources the painters share: the row-indicator glyphs, the
// two checker bitmaps of scroll-bar page areas, the system check box's
// glyph size and the radio-button images, drawn once per look, state,
// check, focus and design flag from a pixel pattern measured on the
// system's own radio button. Also the painters unit's start-up and
// shut-down (cxLookAndFeelPainters).
#pragma once

#include "foundation/Canvas.h"
#include "foundation/LookAndFeelTypes.h"
#include "platform/ImageList.h"

#include <memory>
#include <vector>

// The indicator glyphs ("CX_ARROWBITMAP" to "CX_FILTERBITMAP", indices 0 to
// 5); null outside the unit's life.
TCustomImageList* IndicatorImages();
// The checker bitmap of a page area (8 x 8), normal or pressed; null outside
// the unit's life.
TBitmap* ScrollPageBitmap(bool pressed);
// Paints both checker bitmaps again from the current system colours
// (creating them first when missing).
void RefreshScrollPageBitmaps();
// The system check box's glyph: the check-box bitmap's width / 4 by height / 3.
SIZE SystemCheckBoxGlyphSize();

// The radio-button images of every look: 4 looks x 4 states x checked x
// designing x focused, 128 images of the measured glyph size, each with the
// button mask.
class TcxRadioButtonImageList : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TcxRadioButtonImageList();
  ~TcxRadioButtonImageList() override;

  // Draws image of the key at (x, y); with a brush colour other than
  // clDefault over a fill of that colour, else over the canvas's pixels.
  // cxbsDefault draws as normal.
  void Draw(TcxCanvas* canvas, int x, int y, TColor brushColor, TcxLookAndFeelKind kind, TcxButtonState state,
            bool checked, bool focused, bool designing);
  SIZE GetSize() const { return SIZE{FWidth, FHeight}; }
  // Forgets every image; the next Draw prepares them from the current colours.
  void Reset();
  // The index in the image list of a key (-1 when not prepared).
  int ImageIndexOf(TcxLookAndFeelKind kind, TcxButtonState state, bool checked, bool focused, bool designing);
  TCustomImageList* ImageList() const { return FImages.get(); }

  // The measured geometry: the glyph's place and size in the check-box cell,
  // the check dot's rectangle in the cell, and the pixel classes of the
  // pattern (0 outside, 1 and 2 the outer ring, 3 and 4 the inner ring, 5
  // the body, 6 the dot), row by row.
  RECT GlyphBounds() const { return FGlyphBounds; }
  RECT DotBounds() const { return FDotBounds; }
  int PixelClass(int x, int y) const { return FPattern[static_cast<size_t>(y) * FWidth + x]; }

private:
  void Measure();
  void BuildPattern();
  void Prepare();
  TColor ClassColor(int pixelClass, TcxLookAndFeelKind kind, TcxButtonState state, bool checked, bool focused,
                    bool designing) const;

  std::unique_ptr<TCustomImageList> FImages;
  std::unique_ptr<TBitmap> FButtonMask;
  int FWidth = 0;
  int FHeight = 0;
  RECT FGlyphBounds{};
  RECT FDotBounds{};
  std::vector<int> FPattern;
  std::vector<int> FIndexMap;  // by key
};

// The shared radio-button images (created and measured on first use).
TcxRadioButtonImageList* RadioButtonImageList();
// Whether the shared images exist (for tests).
bool RadioButtonImageListExists();

// The painters unit: the extended-style painter registry, the indicator
// images, the scroll page bitmaps, the primary palette notifier (which
// resets the radio images before any look and feel hears of a colour
// change) and the check-box glyph size; shut-down frees them in reverse.
void cxLookAndFeelPaintersInit();
void cxLookAndFeelPaintersDone();
