// Bitmap and colour helpers the skin engine prepares its images with:
// replacing the magenta key colour, mirroring, flipping and quarter turns,
// mixing colours, gradient fills through a small cache, and a colour's
// saturation. GUI thread only.
#pragma once

#include "platform/Bitmap.h"

#include <vector>

// Makes the bitmap 24-bit and replaces every pure magenta pixel by the
// colour's red, green and blue bytes as they stand (a system colour's raw
// bytes: 0xFF00000F gives red 15, green 0, blue 0).
void ReplaceColor(TBitmap* bitmap, TColor color);
// Left and right exchanged (the bitmap becomes 24-bit).
void MirrorBitmap(TBitmap* bitmap);
// Upside down (the bitmap becomes 24-bit).
void FlipBitmap(TBitmap* bitmap);
// A quarter turn counter-clockwise: column c, row y goes to column y, row
// width - 1 - c. The bitmap becomes height x width, 24-bit.
void RotateBitmapLeft(TBitmap* bitmap);
// A quarter turn clockwise: column c, row y goes to column height - 1 - y, row c.
void RotateBitmapRight(TBitmap* bitmap);

// The mix of two colours, system colours resolved first: weight `w` is a
// percentage of c1 below 100 and a per-mille value from 100 on.
TColor MixColor(TColor c1, TColor c2, int w);
// 0..255: 255 times (largest channel - smallest) / largest, rounded half to
// even; 200 when every channel is below 160.
int ColorSaturation(TColor color);

// The gradient cache: 16 slots written round-robin.
constexpr int GradientSlots = 16;
// The highest slot holding a gradient of `count` entries from `from` to
// `to` (first and last entry compared), or -1.
int FindGradient(int count, TColor from, TColor to);
// Computes the gradient into the next slot and answers the slot.
int MakeGradient(int count, TColor from, TColor to);
int GetGradient(int count, TColor from, TColor to);
// The colours of a slot (plain RGB values).
const std::vector<TColor>& GradientColors(int slot);
// Empties the cache and restarts the ring (the unit's finalization; tests).
void ClearGradientCache();

// Fills `r` line by line (rows when vertical, else columns) from `from` to
// `to`, drawing only the lines inside the device context's clip box, with
// the colours of a full fill.
void GradientFill(HDC dc, const RECT& r, TColor from, bool vertical, TColor to);
