// Drawing helpers of the tree: alpha blending between 32-bit device
// contexts, wide text drawing for systems without DrawTextW, text shortening
// and wrapping.
#pragma once

#include "platform/Colors.h"
#include "platform/Win32.h"

#include <string>

// How BlendRect combines source and destination.
enum class TBlendMode {
  bmConstantAlpha,         // one alpha for every pixel
  bmPerPixelAlpha,         // each source pixel's own alpha
  bmMasterAlpha,           // the source alpha scaled by the constant alpha
  bmConstantAlphaAndColor  // the destination mixed with a colour (no source)
};

// Blends R of Source onto Destination at Target. Both must have a 32-bit
// DIB selected. Each of blue, green, red and alpha is a 16-bit lane:
// t = (((S - D) * A + 256 * D) mod 65536) >> 8, then t - 128 plus Bias
// (signed saturation), plus 128, saturated to a byte. bmConstantAlphaAndColor
// ignores the source: (A * C + (256 - A) * D) >> 8, C taken from Bias as a
// colour for blending. Does nothing without the processor's MMX unit (the
// tree's blended effects are then off) or for an empty rectangle.
void BlendRect(HDC Source, HDC Destination, RECT R, POINT Target, TBlendMode Mode, int ConstantAlpha, int Bias);

// clNone as 0xFFFFFFFF, clDefault as 0xFF000000, other colours as their RGB value.
uint32_t ColorForBlending(TColor Color);

// The rectangle with left <= right and top <= bottom.
RECT OrderRect(const RECT& R);

// Wide text drawing without DrawTextW: alignment (DT_CENTER, DT_RIGHT,
// DT_VCENTER), DT_SINGLELINE, DT_NOCLIP, DT_CALCRECT and right-to-left
// reading; lines end at CR, LF, CR LF and U+2028. DT_CALCRECT sets the
// rectangle to the widest line and the line count's height. Answers the
// text height drawn.
int DrawTextWithoutDrawTextW(HDC DC, const std::wstring& Text, RECT& Bounds, UINT Flags, bool RightToLeft);

// The longest prefix of Text that fits Width with "..." after it, followed
// by "..."; empty when not even the ellipsis fits. EllipsisWidth 0 measures it.
std::wstring ShortenString(HDC DC, const std::wstring& Text, int Width, int EllipsisWidth = 0);

// Text broken into lines (joined with CR LF) that fit Bounds' width, measured
// with Flags; a word too long for a line is cut. With RightToLeft the words
// are taken from the end.
std::wstring WrapString(HDC DC, const std::wstring& Text, const RECT& Bounds, UINT Flags, bool RightToLeft);
