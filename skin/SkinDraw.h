// The drawing primitives every skin image goes through. A skin image is a
// strip of equal frames (normal, hot, pressed, disabled...) side by side, or
// stacked for the images whose consumer says so; frame numbers start at 1.
// Most images are drawn in nine parts: corners keep their size, edges
// stretch along one direction, the middle stretches or tiles. Every routine
// composes into a temporary bitmap and transfers it in one block, so a
// window never shows a half-drawn frame; stretching uses COLORONCOLOR.
//
// A frame count below 1 counts as 1 and a frame index is kept within
// 1..count, so a damaged skin can at worst show the wrong frame, never read
// outside its image. Margins are the unstretched widths (left, top, right,
// bottom) inside a frame, passed as a RECT.
#pragma once

#include "platform/Bitmap.h"

class TControl;

// Magenta: the transparent colour of skin images.
constexpr TColor SkinTransparentColor = 0xFF00FF;

// One frame of an image: its left-top corner and size within the bitmap.
struct TSkinFrame {
  int X = 0, Y = 0, Width = 0, Height = 0;
};
TSkinFrame SelectSkinFrame(TBitmap* bitmap, bool vertical, int frameCount, int frame);

// A new bitmap of the target's size holding the frame drawn nine-part (the
// caller owns it). A target narrower than left + right margins is drawn
// without left and right margins; the same holds vertically.
std::unique_ptr<TBitmap> BuildNinePart(const RECT& target, TBitmap* bitmap, const RECT& margins, bool vertical,
                                       bool tileMiddle, int frameCount, int frame);
// BuildNinePart drawn at the rectangle, opaque or leaving magenta out;
// nothing for an empty or inverted rectangle.
void DrawSkinImage(HDC dc, const RECT& r, TBitmap* bitmap, bool vertical, bool tileMiddle, bool transparent,
                   int frameCount, int frame, const RECT& margins);
// The frame drawn in three parts along its width (left margin column, the
// middle column repeated, right margin column), each stretched to the
// rectangle's height.
void DrawSkinStrip(HDC dc, const RECT& r, TBitmap* bitmap, bool vertical, bool transparent, int frameCount,
                   int frame, const RECT& margins);
// One frame (horizontal layout) stretched over the rectangle.
void DrawSkinFrame(HDC dc, const RECT& r, TBitmap* bitmap, bool transparent, int frameCount, int frame);
// One frame (horizontal layout) unstretched, centred in the rectangle.
void DrawSkinGlyphCentered(HDC dc, const RECT& r, TBitmap* bitmap, bool transparent, int frameCount, int frame);
// The frame stretched onto the rectangle keeping its left and right margins;
// a rectangle narrower than the frame gets the whole frame stretched.
void StretchThreePart(HDC dc, const RECT& r, TBitmap* bitmap, bool vertical, int frameCount, int frame,
                      const RECT& margins);
// Repeats the source part of the bitmap over the target from its top-left;
// the last tiles may run past the target's right and bottom.
void TileBitmapPart(HDC dc, const RECT& target, TBitmap* bitmap, const RECT& source);
// The whole bitmap at the rectangle's top-left, pixels of the transparent
// colour left out (one masked transfer on the NT family, the three-step
// XOR-AND-XOR method on Windows 9x).
void DrawTransparent(HDC dc, const RECT& r, TBitmap* bitmap, TColor transparent);
// A region of every pixel outside the transparent range (each channel from
// the colour's value up to value + tolerance), moved by the offsets; empty
// when no pixel qualifies. The rectangles of each row's runs are combined
// 2000 at a time.
TGdiObject RegionFromBitmap(TBitmap* bitmap, int dx, int dy, int blueTolerance, int greenTolerance,
                            int redTolerance, TColor transparent);
// Paints what the control's parent shows behind the control into `dc`
// (the parent's WM_ERASEBKGND and WM_PAINT with that device context,
// moved and clipped to the control); nothing without a parent.
void PaintControlInto(TControl* control, HDC dc);
inline int MinInt(int a, int b) { return a < b ? a : b; }
inline int RectWidth(const RECT& r) { return r.right - r.left; }
inline int RectHeight(const RECT& r) { return r.bottom - r.top; }
// A 24-bit bitmap of that size (nothing below 0), for composing.
std::unique_ptr<TBitmap> NewSkinBitmap(int width, int height);

// The shared work bitmap the menu bar and the control skinners compose into;
// made by the skin engine's unit (SkinUnit.h), null outside it.
TBitmap* SkinPaintBuffer();
void CreateSkinPaintBuffer();
void FreeSkinPaintBuffer();
