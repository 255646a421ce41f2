#include "editors/framework/DrawTextUtils.h"

#include "foundation/Graphics.h"
#include "platform/CodePage.h"
#include "platform/Colors.h"

#include <algorithm>

namespace {

constexpr int cxEllipsisLength = 3;
// GetTabbedTextExtentA answers the width in a 16-bit word: longer tabbed
// texts are measured by DrawTextA instead.
constexpr int cxMaxTabbedExtentCount = 4096;

bool IsBreak(unsigned char c) { return c == ' ' || c == '\t'; }

// Bytes of the character at text[i] (of count bytes): 2 for a lead byte with
// its trail byte present under a far-east code page, else 1.
int CharBytesAt(const char* text, int i, int count, bool multiByte) {
  return multiByte && i + 1 < count && IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1;
}

// The largest character boundary at or below `n`, walking from the start.
int CharBoundaryAtOrBelow(const char* text, int count, int n) {
  int i = 0;
  while (i < n) {
    const int next = i + CharBytesAt(text, i, count, true);
    if (next > n) break;
    i = next;
  }
  return i;
}

int MeasureWidth(HDC dc, const char* text, int count, bool expandTabs) {
  SIZE size;
  TextExtent(dc, text, count, size, expandTabs);
  return size.cx;
}

// The clip region as it is now, as a new region (null: none) for RestoreClip.
HRGN SaveClip(HDC dc) {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  if (GetClipRgn(dc, region) != 1) {
    DeleteObject(region);
    return nullptr;
  }
  return region;
}

void DrawRowText(HDC dc, const TcxTextLayoutParams& params, int x, int y, const char* text, int length) {
  if (params.ExpandTabs) TabbedTextOutA(dc, x, y, text, length, 0, nullptr, x);
  else TextOutA(dc, x, y, text, length);
}

// "..." at x inside the row rectangle; nothing at or past its right edge.
void DrawEllipsis(HDC dc, const TcxTextLayoutParams& params, const RECT& rowRect, int x, int y) {
  if (x >= rowRect.right) return;
  const UINT options = !params.NoClip && x + params.EllipsisWidth > rowRect.right ? ETO_CLIPPED : 0;
  ExtTextOutA(dc, x, y, options, &rowRect, cxEllipsisText, cxEllipsisLength, nullptr);
}

}  // namespace

bool cxIsFarEastCodePage() {
  switch (SystemCodePage()) {
    case 932: case 936: case 949: case 950: return true;
    default: return false;
  }
}

bool TextExtent(HDC dc, const char* text, int count, SIZE& size, bool expandTabs) {
  size = SIZE{0, 0};
  count = std::max(count, 0);
  if (!expandTabs) return GetTextExtentPoint32A(dc, text, count, &size) != FALSE;
  if (count <= cxMaxTabbedExtentCount) {
    const DWORD extent = GetTabbedTextExtentA(dc, text, count, 0, nullptr);
    size.cx = LOWORD(extent);
    size.cy = HIWORD(extent);
    return extent != 0 || count == 0;
  }
  RECT r{0, 0, 0, 0};
  size.cy = DrawTextA(dc, text, count, &r, DT_NOPREFIX | DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE);
  size.cx = r.right - r.left;
  return size.cy != 0;
}

int FitCharCount(HDC dc, const TcxTextLayoutParams& params, const char* text, int count, int maxWidth, int& width) {
  width = 0;
  if (!text || count <= 0) return 0;
  maxWidth = std::max(maxWidth, 1);
  const bool multiByte = cxIsFarEastCodePage();
  // Far too wide: answer the first character, measured, so that the caller
  // sees the overflow at once instead of summing widths from the second
  // character on.
  if (static_cast<double>(MeasureWidth(dc, text, count, false)) / maxWidth > 8.0) {
    const int first = CharBytesAt(text, 0, count, multiByte);
    width = MeasureWidth(dc, text, first, params.ExpandTabs);
    return first;
  }
  int n = count;
  int w = MeasureWidth(dc, text, n, params.ExpandTabs);
  while (n > 1 && w > maxWidth) {
    n /= 2;
    w = MeasureWidth(dc, text, n, params.ExpandTabs);
  }
  int lo = n, hi = count, mid = n;
  while (lo <= hi) {
    mid = (lo + hi) / 2;
    w = MeasureWidth(dc, text, mid, params.ExpandTabs);
    const int difference = lo == hi ? 0 : w - maxWidth;
    if (difference < 0) lo = mid + 1;
    else if (difference > 0) hi = mid - 1;
    else break;
  }
  if (w > maxWidth && mid > 1) w = MeasureWidth(dc, text, --mid, params.ExpandTabs);
  if (multiByte) {
    // Never half a double-byte character: back to its start, or the whole
    // first character when it is the only one.
    int boundary = CharBoundaryAtOrBelow(text, count, mid);
    if (boundary == 0) boundary = CharBytesAt(text, 0, count, true);
    if (boundary != mid) w = MeasureWidth(dc, text, mid = boundary, params.ExpandTabs);
  }
  width = w;
  return mid;
}

void InitLayoutParams(HDC dc, uint32_t flags, TcxTextLayoutParams& params) {
  params = TcxTextLayoutParams{};
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  params.ExternalLeading = (flags & cxtfExternalLeading) != 0;
  params.TextHeight = tm.tmHeight;
  params.Leading = params.ExternalLeading ? tm.tmExternalLeading : 0;
  params.RowHeight = params.TextHeight + params.Leading;
  params.EndEllipsis = (flags & cxtfEndEllipsis) != 0;
  params.EllipsisWidth = params.EndEllipsis ? MeasureWidth(dc, cxEllipsisText, cxEllipsisLength, false) : 0;
  params.BreakChar = static_cast<char>(tm.tmBreakChar);
  params.HorzAlignment = static_cast<uint8_t>(flags & 7);
  params.VertAlignment = static_cast<uint8_t>((flags >> 4) & 3);
  params.WordBreak = (flags & cxtfWordBreak) != 0;
  params.SingleLine = (flags & cxtfSingleLine) != 0;
  params.ExpandTabs = (flags & cxtfExpandTabs) != 0;
  params.WholeRows = (flags & cxtfWholeRows) != 0;
  params.NoClip = (flags & cxtfNoClip) != 0;
  params.RecordedFlag = (flags & cxtfRecordedFlag) != 0;
  params.LeftBound = (flags & cxtfLeftBound) != 0;
  params.TopBound = (flags & cxtfTopBound) != 0;
  params.CharBreak = (flags & cxtfCharBreak) != 0 || cxIsFarEastCodePage();
  params.RowCountMode = (flags & cxtfRowCount) != 0;
  params.Measure = (flags & cxtfMeasure) != 0;
  params.MaxCharWidth = tm.tmMaxCharWidth;
  params.CharSet = tm.tmCharSet;
}

void InitLayoutParamsForCanvas(TCanvas* canvas, uint32_t flags, TcxTextLayoutParams& params) {
  // Handle() answers the context with the canvas's font selected.
  InitLayoutParams(canvas->Handle(), flags, params);
}

void InitLayoutParamsForCanvas(TcxCanvas* canvas, uint32_t flags, TcxTextLayoutParams& params) {
  InitLayoutParamsForCanvas(canvas->Canvas(), flags, params);
}

void MeasureRow(HDC dc, TcxTextRow& row, const TcxTextLayoutParams& params) {
  SIZE size;
  TextExtent(dc, row.Text, row.TextLength, size, params.ExpandTabs);
  row.Width = size.cx;
  row.Height = size.cy;
}

void TakeRow(HDC dc, const char*& text, int& remaining, TcxTextRow& row, const TcxTextLayoutParams& params,
             bool isLastRow, int width) {
  row = TcxTextRow{};
  if (!text || remaining <= 0) return;
  row.Text = text;
  int runWidth = 0;
  const int fit = FitCharCount(dc, params, text, remaining, std::max(width, 1), runWidth);
  const bool justified = params.HorzAlignment == cxtaJustify || params.HorzAlignment == cxtaDistribute;
  const bool wrap = !params.SingleLine && (params.WordBreak || justified);
  const bool charBreak = wrap && params.CharBreak;
  const bool ellipsisRow = isLastRow && params.EndEllipsis && !params.WholeRows && !params.NoClip && !justified;
  const bool multiByte = cxIsFarEastCodePage();

  int length = 0, breaks = 0, lastBreak = -1, breaksBeforeLast = 0;
  for (int i = 0; i < remaining;) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    const int bytes = CharBytesAt(text, i, remaining, multiByte);
    length = i + bytes;
    if (bytes == 1 && IsBreak(c)) {
      breaksBeforeLast = breaks++;
      lastBreak = i;
    }
    if (bytes == 1 && (c == '\r' || c == '\n') && !ellipsisRow && !params.SingleLine) {
      length = i;
      if (params.HorzAlignment == cxtaJustify) breaks = 0;
      break;
    }
    if (!wrap && !ellipsisRow && !params.SingleLine) {
      i += bytes;
      continue;
    }
    if (i >= fit) {
      runWidth = params.ExpandTabs ? MeasureWidth(dc, text, length, true)
                                   : runWidth + MeasureWidth(dc, text + i, bytes, false);
    }
    if (runWidth > width) {
      if (ellipsisRow || params.SingleLine) break;  // the crossing character stays
      if (lastBreak >= 0) {
        // A soft break: the row ends before its last space or tab, which
        // the separator skip below drops.
        length = lastBreak;
        breaks = breaksBeforeLast;
        break;
      }
      if (charBreak) {
        if (i > 0) length = i;  // a row always keeps its first character
        break;
      }
      // No break yet and no character break: the word stays whole.
    }
    i += bytes;
  }
  if (justified) {
    while (length > 0 && IsBreak(static_cast<unsigned char>(text[length - 1]))) {
      --length;
      if (breaks > 0) --breaks;
    }
  }
  row.TextLength = length;
  row.BreakCount = breaks;
  MeasureRow(dc, row, params);
  text += length;
  remaining -= length;

  // Separators after the row: spaces, then one tab, one CR, one LF.
  while (remaining > 0 && *text == ' ') ++text, --remaining;
  if (remaining > 0 && *text == '\t') ++text, --remaining;
  bool crSkipped = false;
  if (remaining > 0 && *text == '\r') ++text, --remaining, crSkipped = true;
  if (remaining > 0 && *text == '\n') ++text, --remaining;
  // The last row of a paragraph is not justified (distributed rows are).
  if ((crSkipped || remaining == 0) && params.HorzAlignment == cxtaJustify) row.BreakCount = 0;
}

bool LayoutRows(HDC dc, const AnsiString& text, const RECT& r, TcxTextLayoutParams& params, TcxTextRows& rows,
                int& rowCount, int maxRows) {
  rows.clear();
  rowCount = 0;
  if (text.empty()) return true;
  const char* start = text.data();
  const char* current = start;
  int remaining = static_cast<int>(std::min<size_t>(text.size(), 0x7FFFFFFF));
  if (params.Measure && params.SingleLine) {
    TcxTextRow row;
    row.Text = start;
    row.TextLength = remaining;
    MeasureRow(dc, row, params);
    rows.push_back(row);
    rowCount = 1;
    return true;
  }
  const int64_t height = static_cast<int64_t>(r.bottom) - r.top;
  const int width = static_cast<int>(std::min<int64_t>(static_cast<int64_t>(r.right) - r.left, 0x7FFFFFFF));
  int64_t totalHeight = 0;
  bool last = false;
  while ((maxRows <= 0 || rowCount < maxRows) && remaining > 0 && !last) {
    rows.emplace_back();
    ++rowCount;
    totalHeight += params.RowHeight;
    bool isLastRow;
    if (params.SingleLine) isLastRow = true;
    else if (params.Measure || params.VertAlignment != cxtaTop) isLastRow = maxRows > 0 && rowCount == maxRows;
    else if (params.WholeRows && !params.NoClip) isLastRow = height < totalHeight + params.RowHeight;
    else isLastRow = height < totalHeight;
    const int offset = static_cast<int>(current - start);
    const int before = remaining;
    TakeRow(dc, current, remaining, rows.back(), params, isLastRow, width);
    rows.back().TextOffset = offset;
    if (remaining == before) {
      // Cannot happen (a row keeps at least one character or skips a
      // separator); never loop on it.
      remaining = 0;
    }
    last = isLastRow || remaining == 0;
  }
  rows.shrink_to_fit();
  return !(!params.SingleLine && !params.Measure && maxRows > 0 && rowCount == maxRows && remaining > 0);
}

bool LayoutRowsOnCanvas(TCanvas* canvas, const AnsiString& text, const RECT& r, TcxTextLayoutParams& params,
                        TcxTextRows& rows, int& rowCount, int maxRows) {
  return LayoutRows(canvas->Handle(), text, r, params, rows, rowCount, maxRows);
}

void PlaceRows(HDC dc, const RECT& r, TcxTextLayoutParams& params, int rowCount, TcxTextRows& rows) {
  (void)dc;
  rowCount = std::min<int>(rowCount, static_cast<int>(rows.size()));
  if (rowCount <= 0) return;
  const int height = r.bottom - r.top;
  const int width = r.right - r.left;
  int spare = 0;
  if (params.VertAlignment == cxtaDistributeVert && rowCount > 1) {
    const int gap = height - params.TextHeight;
    if (static_cast<double>(params.TextHeight) < static_cast<double>(gap) / (rowCount - 1)) {
      params.RowHeight = gap / (rowCount - 1);
      spare = gap % (rowCount - 1);
    }
  }
  int top;
  switch (params.VertAlignment) {
    case cxtaCenterVert: top = r.top + (height - rowCount * params.RowHeight) / 2; break;
    case cxtaBottom: top = r.bottom - rowCount * params.RowHeight + params.Leading; break;
    default: top = r.top; break;
  }
  if (params.TopBound && top < r.top) top = r.top;
  for (int i = 0; i < rowCount; ++i) {
    TcxTextRow& row = rows[i];
    switch (params.HorzAlignment) {
      case cxtaCenterHorz: row.X = r.left + (width - row.Width) / 2; break;
      case cxtaRight: row.X = r.right - row.Width; break;
      default: row.X = r.left; break;
    }
    if (params.LeftBound && row.X < r.left) row.X = r.left;
    row.Y = top;
    top += params.RowHeight;
    if (spare > 0) {
      ++top;
      --spare;
    }
  }
}

RECT IndentRect(const RECT& r, int leftIndent, int rightIndent) {
  return RECT{r.left + leftIndent, r.top, r.right - rightIndent, r.bottom};
}

void DrawRows(HDC dc, const RECT& r, const TcxTextLayoutParams& params, bool forceEndEllipsis, TColor selTextColor,
              TColor selBkColor, int selLength, int selStart, int rowCount, TcxTextRows& rows) {
  rowCount = std::min<int>(rowCount, static_cast<int>(rows.size()));
  const int oldBkMode = SetBkMode(dc, TRANSPARENT);
  HBRUSH selBrush = selLength > 0 && selBkColor != clNone ? CreateSolidBrush(ColorToRGB(selBkColor)) : nullptr;
  const COLORREF textColor = GetTextColor(dc);
  const bool multiByte = cxIsFarEastCodePage();
  const int width = r.right - r.left;
  const bool justifies = params.HorzAlignment == cxtaJustify || params.HorzAlignment == cxtaDistribute;
  std::vector<int> extents;
  for (int i = 0; i < rowCount; ++i) {
    const TcxTextRow& row = rows[i];
    const RECT rowRect{r.left, row.Y, r.right, row.Y + params.RowHeight};
    const bool lastRow = i == rowCount - 1;
    if (row.TextLength == 0) {
      if (forceEndEllipsis && params.EndEllipsis && lastRow) DrawEllipsis(dc, params, rowRect, rowRect.left, row.Y);
      continue;
    }
    const bool ellipsisRow = params.EndEllipsis && lastRow && (forceEndEllipsis || row.Width > width);
    bool justified = false;
    if (justifies && !ellipsisRow) {
      const int extra = width - row.Width;
      if (row.BreakCount > 0 && extra > 0) {
        SetTextJustification(dc, extra, row.BreakCount);
        justified = true;
      }
    }
    // The clip as it was before this row, restored after it (also when only
    // the selection changed it).
    HRGN rowClip = nullptr;
    bool clipSaved = false;
    if (!params.NoClip && (row.Width > width || rowRect.top < r.top || rowRect.bottom > r.bottom)) {
      const RECT clip{rowRect.left, std::max(rowRect.top, r.top), rowRect.right, std::min(rowRect.bottom, r.bottom)};
      rowClip = IntersectClip(dc, clip);
      clipSaved = true;
    }
    int length = row.TextLength;
    int rowWidth = row.Width;
    if (ellipsisRow) {
      int fit = 0;
      SIZE size{};
      if (!GetTextExtentExPointA(dc, row.Text, length, std::max(width - params.EllipsisWidth, 0), &fit, nullptr,
                                 &size))
        fit = 0;
      fit = std::clamp(fit, 0, length);
      if (multiByte) fit = CharBoundaryAtOrBelow(row.Text, length, fit);
      if (fit < 1) fit = CharBytesAt(row.Text, 0, length, multiByte);
      length = fit;
      rowWidth = MeasureWidth(dc, row.Text, length, params.ExpandTabs);
    }
    bool ellipsisDrawn = false;
    if (selLength > 0 && selStart < row.TextOffset + length && row.TextOffset < selStart + selLength) {
      const int s = std::max(selStart - row.TextOffset, 0);
      const int e = std::min(selStart + selLength - row.TextOffset, length);
      extents.assign(length, 0);
      SIZE size{};
      if (!GetTextExtentExPointA(dc, row.Text, length, 0, nullptr, extents.data(), &size))
        std::fill(extents.begin(), extents.end(), 0);
      auto extent = [&](int k) { return k <= 0 ? 0 : extents[k - 1]; };
      RECT selRect{0, rowRect.top, 0, rowRect.bottom};
      if (IsSpecialCharsetText(params.CharSet, AnsiString(row.Text, length))) {
        selRect.left = row.X + rowWidth - extent(e);
        selRect.right = row.X + rowWidth - extent(s);
      } else {
        selRect.left = row.X + extent(s);
        selRect.right = row.X + extent(e);
      }
      if (selRect.left < selRect.right) {
        if (!clipSaved) {
          rowClip = SaveClip(dc);
          clipSaved = true;
        }
        HRGN beforeSelection = IntersectClip(dc, selRect);
        if (selBrush) FillRect(dc, &selRect, selBrush);
        SetTextColor(dc, ColorToRGB(selTextColor));
        DrawRowText(dc, params, row.X, row.Y, row.Text, length);
        RestoreClip(dc, beforeSelection);
        if (ellipsisRow && e >= length) {
          DrawEllipsis(dc, params, rowRect, rowRect.left + rowWidth, row.Y);
          ellipsisDrawn = true;
        }
        SetTextColor(dc, textColor);
        ExcludeClipRect(dc, selRect.left, selRect.top, selRect.right, selRect.bottom);
      }
    }
    DrawRowText(dc, params, row.X, row.Y, row.Text, length);
    if (ellipsisRow && !ellipsisDrawn) DrawEllipsis(dc, params, rowRect, rowRect.left + rowWidth, row.Y);
    if (justified) SetTextJustification(dc, 0, 0);
    if (clipSaved) RestoreClip(dc, rowClip);
  }
  if (selBrush) DeleteObject(selBrush);
  SetBkMode(dc, oldBkMode);
}

int MaxRowWidth(const TcxTextRows& rows, int n) {
  const int count = std::min<int>(n, static_cast<int>(rows.size()));
  int result = 0;
  for (int i = 0; i < count; ++i) result = std::max(result, rows[i].Width);
  return result;
}

HRGN IntersectClip(HDC dc, const RECT& r) {
  HRGN previous = SaveClip(dc);
  IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  return previous;
}

void RestoreClip(HDC dc, HRGN& region) {
  SelectClipRgn(dc, region);
  if (region) DeleteObject(region);
  region = nullptr;
}

unsigned TextFlagsToCanvasFlags(uint32_t flags) {
  unsigned result = 0;
  switch (flags & 7) {
    case cxtfCenterHorz: result |= cxAlignHCenter; break;
    case cxtfRight: result |= cxAlignRight; break;
    default: break;
  }
  switch (flags & 0x30) {
    case cxtfCenterVert: result |= cxAlignVCenter; break;
    case cxtfBottom: result |= cxAlignBottom; break;
    default: break;
  }
  if (flags & cxtfSingleLine) result |= cxSingleLine;
  if (flags & cxtfWordBreak) result |= cxWordBreak;
  return result;
}

uint32_t CanvasFlagsToTextFlags(unsigned flags) {
  uint32_t result = 0;
  if (flags & cxAlignHCenter) result |= cxtfCenterHorz;
  if (flags & cxAlignRight) result |= cxtfRight;
  if (flags & cxAlignVCenter) result |= cxtfCenterVert;
  if (flags & cxAlignBottom) result |= cxtfBottom;
  if (flags & cxSingleLine) result |= cxtfSingleLine;
  if (flags & cxWordBreak) result |= cxtfWordBreak;
  return result;
}
