// Text flags and rotated fonts for the label.
#pragma once

#include "foundation/Canvas.h"
#include "platform/StdCtrls.h"

inline int RectWidthOrZero(const RECT& r) { return r.right > r.left ? r.right - r.left : 0; }
inline int RectHeightOrZero(const RECT& r) { return r.bottom > r.top ? r.bottom - r.top : 0; }
inline int VerticalCenterOffset(const RECT& r, int height) { return (r.bottom - r.top - height) / 2; }

enum TcxTextVertAlignment : uint8_t { tvaTop, tvaBottom, tvaCenter };

// The base flags with the alignment, ellipsis, word wrap, tab and
// accelerator bits added: DrawText flags in DrawText mode, else the
// library's canvas text flags.
unsigned TextFlagsFor(unsigned baseFlags, TAlignment horz, TcxTextVertAlignment vert, bool endEllipsis,
                      bool wordWrap, int tabSetting, bool drawTextMode, bool showAccel);
// The canvas takes the font; a TrueType font is rotated by `angle` degrees
// (unless a multiple of 360). Answers whether the font is TrueType.
bool SelectRotatedFont(TCanvas* canvas, TFont* font, int angle);
