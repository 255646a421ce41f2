// The values every look-and-feel painter operation takes: the kinds of look,
// button and check-box states, arrow directions, scroll-bar parts, the
// neighbours of a header cell and text placement.
#pragma once

#include "foundation/Canvas.h"
#include "foundation/CheckBoxState.h"
#include "platform/Event.h"
#include "platform/Set.h"
#include "platform/StdCtrls.h"

#include <cstdint>

// The look a control asks for (its look and feel's Kind).
enum TcxLookAndFeelKind : uint8_t { lfFlat, lfStandard, lfUltraFlat, lfOffice11 };

// The byte a painter answers from StyleCode. Native (themed) painting is 3.
enum TcxPainterStyleCode : uint8_t {
  cxStyleCodeFlat = 0,
  cxStyleCodeStandard = 1,
  cxStyleCodeUltraFlat = 2,
  cxStyleCodeNative = 3,
  cxStyleCodeOffice11 = 4,
};
// 0 flat, 2 ultra-flat, 4 Office 2003, every other code standard.
TcxLookAndFeelKind StyleCodeToKind(uint8_t code);

enum TcxButtonState : uint8_t { cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled };

enum class TcxArrowDirection : uint8_t { adUp, adDown, adLeft, adRight };
using enum TcxArrowDirection;

// The parts of a scroll bar: the first arrow is up or left, the second down
// or right; the first page area lies before the thumb.
enum TcxScrollBarPart : uint8_t { sbpNone, sbpLineUp, sbpLineDown, sbpThumbnail, sbpPageUp, sbpPageDown };
// Up and down for a vertical bar's arrows, left and right for a horizontal one's.
TcxArrowDirection ArrowDirectionForPart(bool horizontal, TcxScrollBarPart part);

// The cells beside a header cell.
enum class TcxNeighbor : uint8_t { nLeft, nTop, nRight, nBottom };
using enum TcxNeighbor;
using TcxNeighbors = TSet<TcxNeighbor, 4>;

enum class TcxAlignmentVert : uint8_t { vaTop, vaBottom, vaCenter };
using enum TcxAlignmentVert;

// The library text flags of a placement: horizontal 1, 2, 4; vertical 8, 16,
// 32; single line 64 or word break 1024; end ellipsis 2048.
unsigned TextPlacementFlags(TAlignment alignHorz, TcxAlignmentVert alignVert, bool multiLine, bool showEndEllipsis);

// The text of a content area, header or footer cell: what it says, in which
// font and colours and where in its rectangle.
struct TcxContentText {
  AnsiString Text;
  TFont* Font = nullptr;  // not owned; the canvas's font when null
  TColor TextColor = clDefault;
  TColor FillColor = clDefault;
  TAlignment AlignHorz = TAlignment::taLeftJustify;
  TcxAlignmentVert AlignVert = vaCenter;
  bool MultiLine = false;
  bool ShowEndEllipsis = false;
};

// A custom drawing handler of a content area: answers true when it drew
// the background itself.
using TcxCustomDrawBackgroundEvent = TEvent<bool(TcxCanvas* canvas, const RECT& bounds)>;
