// Text layout for the editors: lays 8-bit text (system code page, double-byte
// aware under a far-east code page) out into rows inside a rectangle and
// draws those rows with alignment, justification, the selection highlight
// and an end ellipsis. The text edit lays its display text out once per size
// change and keeps the rows, so painting, the selection and the "does it
// fit" answer all work on the same rows. Rows point into the caller's text:
// the text must outlive them.
//   InitLayoutParams(dc, flags, params); LayoutRows(dc, text, IndentRect(r, 2, 2), params, rows, count);
//   PlaceRows(dc, r, params, count, rows); ... DrawRows(dc, r, params, false, ..., count, rows);
#pragma once

#include "foundation/Canvas.h"
#include "platform/Text.h"
#include "platform/Win32.h"

#include <cstdint>
#include <vector>

// Layout flags. Horizontal alignment is the value of bits 0-2, vertical
// placement the value of bits 4-5.
constexpr uint32_t cxtfCenterHorz = 0x1;
constexpr uint32_t cxtfRight = 0x2;
constexpr uint32_t cxtfJustify = 0x3;          // spread rows to both edges (not a paragraph's last)
constexpr uint32_t cxtfDistribute = 0x4;       // spread every row, the last of a paragraph too
constexpr uint32_t cxtfCenterVert = 0x10;
constexpr uint32_t cxtfBottom = 0x20;
constexpr uint32_t cxtfDistributeVert = 0x30;  // rows spread over the rectangle's height
constexpr uint32_t cxtfLeftBound = 0x40;       // a row's x is never left of the rectangle
constexpr uint32_t cxtfTopBound = 0x80;        // the block's top is never above the rectangle
constexpr uint32_t cxtfWordBreak = 0x100;
constexpr uint32_t cxtfSingleLine = 0x200;     // one row; CR and LF are ordinary characters
constexpr uint32_t cxtfExpandTabs = 0x400;
constexpr uint32_t cxtfEndEllipsis = 0x800;
constexpr uint32_t cxtfExternalLeading = 0x2000;
constexpr uint32_t cxtfWholeRows = 0x4000;     // no partly visible last row (and no end ellipsis)
constexpr uint32_t cxtfNoClip = 0x8000;
constexpr uint32_t cxtfRecordedFlag = 0x10000; // kept in the parameters; nothing acts on it
constexpr uint32_t cxtfCharBreak = 0x20000;    // a word wider than the row breaks between characters
constexpr uint32_t cxtfMeasure = 0x100000;     // rows limited by the row-count limit, not the height
constexpr uint32_t cxtfRowCount = 0x200000;    // kept in the parameters for callers that count rows

// Horizontal alignments (params.HorzAlignment) and vertical placements
// (params.VertAlignment).
enum : uint8_t { cxtaLeft, cxtaCenterHorz, cxtaRight, cxtaJustify, cxtaDistribute };
enum : uint8_t { cxtaTop, cxtaCenterVert, cxtaBottom, cxtaDistributeVert };

// What a layout needs of the font and the flags; filled by InitLayoutParams.
struct TcxTextLayoutParams {
  int32_t TextHeight = 0;     // tmHeight, pixels
  int32_t Leading = 0;        // tmExternalLeading with cxtfExternalLeading, else 0
  int32_t RowHeight = 0;      // row pitch: TextHeight + Leading (PlaceRows may widen it)
  int32_t EllipsisWidth = 0;  // extent of "..." with cxtfEndEllipsis, else 0
  char BreakChar = ' ';       // tmBreakChar (breaking itself tests space and tab)
  uint8_t HorzAlignment = cxtaLeft;
  uint8_t VertAlignment = cxtaTop;
  bool WordBreak = false;
  bool SingleLine = false;
  bool ExpandTabs = false;
  bool EndEllipsis = false;
  bool ExternalLeading = false;
  bool WholeRows = false;
  bool NoClip = false;
  bool RecordedFlag = false;
  bool LeftBound = false;
  bool TopBound = false;
  bool CharBreak = false;     // also on whenever the code page is a far-east one
  bool RowCountMode = false;
  bool Measure = false;
  int32_t MaxCharWidth = 0;   // tmMaxCharWidth, pixels
  uint8_t CharSet = 0;        // tmCharSet
};

// One laid-out row: a view into the caller's text.
struct TcxTextRow {
  const char* Text = nullptr;  // first character of the row inside the caller's text
  int32_t TextLength = 0;      // bytes, without the line-break characters
  int32_t Width = 0;           // extent, pixels (tabs expanded with cxtfExpandTabs)
  int32_t Height = 0;
  int32_t BreakCount = 0;      // spaces and tabs inside the row, for justification (0: not justified)
  int32_t X = 0;               // drawing position, set by PlaceRows
  int32_t Y = 0;
  int32_t TextOffset = 0;      // index of the row's first byte in the whole text (for the selection)
};

using TcxTextRows = std::vector<TcxTextRow>;

// The end ellipsis.
inline constexpr char cxEllipsisText[] = "...";

// True when 8-bit text is double-byte text: the code page is a far-east one.
bool cxIsFarEastCodePage();

// Extent of `count` bytes of `text`. With tab expansion tabs step to the
// default stops; over 4096 bytes with tabs the system's DrawText measures.
bool TextExtent(HDC dc, const char* text, int count, SIZE& size, bool expandTabs);
// How many leading bytes of `text` fit `maxWidth` (at least 1 is asked);
// `width` gets the extent of that prefix. A text more than 8 times too wide
// answers its first character alone, with that character's width, so the
// caller sees that the row overflows. Never splits a double-byte character
// except when the first one alone is asked for.
int FitCharCount(HDC dc, const TcxTextLayoutParams& params, const char* text, int count, int maxWidth, int& width);

void InitLayoutParams(HDC dc, uint32_t flags, TcxTextLayoutParams& params);
// The same with the canvas's handle and font made valid first.
void InitLayoutParamsForCanvas(TcxCanvas* canvas, uint32_t flags, TcxTextLayoutParams& params);
void InitLayoutParamsForCanvas(TCanvas* canvas, uint32_t flags, TcxTextLayoutParams& params);

// Lays `text` out in `r`; maxRows 0 or less means no limit. False only when
// the row-count limit cut the text. The rows point into `text`.
bool LayoutRows(HDC dc, const AnsiString& text, const RECT& r, TcxTextLayoutParams& params, TcxTextRows& rows,
                int& rowCount, int maxRows = 0);
bool LayoutRowsOnCanvas(TCanvas* canvas, const AnsiString& text, const RECT& r, TcxTextLayoutParams& params,
                        TcxTextRows& rows, int& rowCount, int maxRows = 0);
// Takes one row off the front of text[0..remaining) into `row` (its
// TextOffset is left to the caller) and advances past it and the separators
// after it. `width` is the rectangle's width.
void TakeRow(HDC dc, const char*& text, int& remaining, TcxTextRow& row, const TcxTextLayoutParams& params,
             bool isLastRow, int width);
// Fills the row's Width and Height from its text.
void MeasureRow(HDC dc, TcxTextRow& row, const TcxTextLayoutParams& params);
// Sets X and Y of the first rowCount rows.
void PlaceRows(HDC dc, const RECT& r, TcxTextLayoutParams& params, int rowCount, TcxTextRows& rows);
// `r` with Left + leftIndent and Right - rightIndent.
RECT IndentRect(const RECT& r, int leftIndent, int rightIndent);
// Draws the first rowCount placed rows; the selection is a byte range of the
// whole text drawn in its own colours (selBkColor clNone: no fill).
void DrawRows(HDC dc, const RECT& r, const TcxTextLayoutParams& params, bool forceEndEllipsis, TColor selTextColor,
              TColor selBkColor, int selLength, int selStart, int rowCount, TcxTextRows& rows);
// The widest of the first min(n, rows) rows; 0 for none.
int MaxRowWidth(const TcxTextRows& rows, int n);

// Intersects the clip region with `r` and answers the previous one (a new
// region, or null when the context had none) for RestoreClip.
HRGN IntersectClip(HDC dc, const RECT& r);
// Selects `region` back (null removes clipping), deletes it and nulls it.
void RestoreClip(HDC dc, HRGN& region);

// Between layout flags and the canvas's text flags (cxAlignHCenter,
// cxSingleLine, ...): alignment, single line and word break cross; nothing
// else does.
unsigned TextFlagsToCanvasFlags(uint32_t flags);
uint32_t CanvasFlagsToTextFlags(unsigned flags);
