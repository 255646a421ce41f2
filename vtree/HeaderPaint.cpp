// Painting of the header: every cell is drawn into the columns' 32-bit
// bitmap (edges by style, the XP cell look, themed parts, image or check box,
// caption, sort glyph and drop mark, or the application's own drawing), then
// the asked part is copied to the target in one block.
#include "vtree/VirtualTree.h"
#include "vtree/VirtualTreeColumns.h"

#include "vtree/TreeDrawing.h"

#include "foundation/UxTheme.h"
#include "platform/Canvas.h"
#include "platform/ImageList.h"

#include <algorithm>
#include <vssym32.h>

namespace {
using CO = TVTColumnOption;
using HO = TVTHeaderOption;
using HPE = THeaderPaintElement;
using Layout = TVTHeaderColumnLayout;

struct EdgeStyle {
  UINT Edge;
  UINT Flags;
};
// Per header style: normal, pressed, hot (plates only; Edge 0: none).
struct StyleEdges {
  EdgeStyle Normal, Pressed, Hot;
};
constexpr StyleEdges EdgesFor(TVTHeaderStyle Style) {
  switch (Style) {
    case TVTHeaderStyle::hsThickButtons:
      return {{EDGE_RAISED, BF_LEFT | BF_TOP | BF_BOTTOM | BF_MIDDLE | BF_SOFT | BF_ADJUST},
              {EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_SOFT | BF_ADJUST | BF_FLAT},
              {0, 0}};
    case TVTHeaderStyle::hsFlatButtons:
      return {{BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_BOTTOM | BF_MIDDLE | BF_ADJUST},
              {BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE | BF_ADJUST},
              {0, 0}};
    default:
      return {{BDR_RAISEDINNER, BF_RECT | BF_MIDDLE | BF_SOFT | BF_ADJUST},
              {BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE | BF_ADJUST},
              {BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_BOTTOM | BF_MIDDLE | BF_ADJUST}};
  }
}

void Fill(HDC DC, const RECT& R, COLORREF Color) {
  TGdiObject brush(CheckGDI(CreateSolidBrush(Color)));
  FillRect(DC, &R, static_cast<HBRUSH>(brush.Get()));
}

void Line(HDC DC, COLORREF Color, std::initializer_list<POINT> Points) {
  TGdiObject pen(CheckGDI(CreatePen(PS_SOLID, 1, Color)));
  TSelectObjectGuard select(DC, pen.Get());
  auto it = Points.begin();
  MoveToEx(DC, it->x, it->y, nullptr);
  for (++it; it != Points.end(); ++it) LineTo(DC, it->x, it->y);
}

// The look of an XP header cell for trees that paint without visual styles.
void PaintXPCell(HDC DC, RECT R, bool Pressed, bool Hot, bool RightBorder) {
  const COLORREF fill = Pressed ? RGB(0xDE, 0xDF, 0xD8) : Hot ? RGB(0xFA, 0xF8, 0xF3) : RGB(0xEB, 0xEA, 0xDB);
  Fill(DC, R, fill);
  if (Pressed) {
    Line(DC, RGB(0xA5, 0xA5, 0x97), {{R.left, R.top}, {R.left, R.bottom - 1}, {R.right - 1, R.bottom - 1},
                                     {R.right - 1, R.top - 1}});
    Line(DC, RGB(0xC1, 0xC2, 0xB8), {{R.left + 1, R.bottom - 2}, {R.left + 1, R.top}, {R.right - 1, R.top}});
    Line(DC, RGB(0xD0, 0xD1, 0xC9), {{R.left + 2, R.bottom - 2}, {R.left + 2, R.top + 1}, {R.right - 1, R.top + 1}});
    return;
  }
  if (Hot) {
    TCustomImageList* utilities = UtilityImages();
    if (!utilities) return;
    const int width = R.right - R.left;
    auto draw = [&](int index, int x, int w) {
      ImageList_DrawEx(utilities->Handle(), index, DC, x, R.bottom - 3, w, 3, CLR_NONE, CLR_NONE, ILD_NORMAL);
    };
    if (width > 32) {
      draw(6, R.left, 16);
      int x = R.left + 16;
      do {
        draw(7, x, 16);
        x += 16;
      } while (x + 16 < R.right - 16);
      draw(8, R.right - 16, 16);
    } else {
      draw(8, R.right - 16, 16);
      draw(6, R.left, width / 2);
    }
    return;
  }
  if (RightBorder) {
    Line(DC, RGB(0xC7, 0xC5, 0xB2), {{R.right - 2, R.top + 3}, {R.right - 2, R.bottom - 5}});
    Line(DC, RGB(0xFF, 0xFF, 0xFF), {{R.right - 1, R.top + 3}, {R.right - 1, R.bottom - 5}});
  }
  // Three bottom lines fading from the fill towards the final colour.
  const int diff[3] = {32, 35, 35};  // red, green, blue
  const int base[3] = {GetRValue(fill), GetGValue(fill), GetBValue(fill)};
  auto shade = [&](int steps) {
    int c[3];
    for (int i = 0; i < 3; ++i) c[i] = base[i] - steps * ((diff[i] + 1) / 3);
    return RGB(c[0], c[1], c[2]);
  };
  Line(DC, shade(1), {{R.left, R.bottom - 3}, {R.right, R.bottom - 3}});
  Line(DC, shade(2), {{R.left, R.bottom - 2}, {R.right, R.bottom - 2}});
  Line(DC, RGB(0xCB, 0xC7, 0xB8), {{R.left, R.bottom - 1}, {R.right, R.bottom - 1}});
}

struct CellLayout {
  RECT TextBounds{};
  POINT Image{};
  POINT SortGlyph{};
};

// Lays out image, caption and sort glyph inside a content area of W x H
// (co-ordinates relative to it).
CellLayout LayoutCell(HDC DC, TVirtualTreeColumn* Column, std::wstring& CaptionText, int W, int H, SIZE ImageSize,
                      SIZE GlyphSize, UINT Format) {
  CellLayout out;
  const bool rtl = Column->ReadsRightToLeft();
  const bool wrap = Column->Options().Contains(CO::coWrapCaption);
  const int margin = Column->Margin(), spacing = Column->Spacing();
  const Layout layout = Column->Layout();
  const bool image = ImageSize.cx > 0 || ImageSize.cy > 0;
  const bool glyph = GlyphSize.cx > 0 || GlyphSize.cy > 0;
  TAlignment alignment = Column->CaptionAlignment();
  if (rtl && alignment != TAlignment::taCenter)
    alignment = alignment == TAlignment::taLeftJustify ? TAlignment::taRightJustify : TAlignment::taLeftJustify;

  SIZE text{0, 0};
  if (!Column->Text().empty()) {
    if (wrap) {
      if (CaptionText.empty()) CaptionText = Column->Text();
      RECT r{0, 0, W, 0};
      DrawTextW(DC, CaptionText.c_str(), static_cast<int>(CaptionText.size()), &r, Format | DT_CALCRECT | DT_WORDBREAK);
      text = SIZE{W, r.bottom - r.top};
    } else {
      CaptionText = Column->Text();
      GetTextExtentPoint32W(DC, CaptionText.c_str(), static_cast<int>(CaptionText.size()), &text);
      text.cx += 2;
    }
  } else {
    CaptionText.clear();
  }
  const int textSpacing = text.cx > 0 ? spacing : 0;
  POINT textAt{0, 0};
  out.SortGlyph.y = (H - GlyphSize.cy) / 2;
  if (glyph && !image && text.cx == 0) {
    out.SortGlyph.x = (W - GlyphSize.cx) / 2;
    out.TextBounds = RECT{0, 0, 0, 0};
    return out;
  }
  // Vertical.
  if (layout == Layout::blGlyphLeft || layout == Layout::blGlyphRight || !image) {
    out.Image.y = (H - ImageSize.cy) / 2;
    textAt.y = text.cy < H ? (H - text.cy) / 2 : 0;
  } else {
    const int t = (H - ImageSize.cy - text.cy - textSpacing) / 2;
    if (layout == Layout::blGlyphTop) {
      out.Image.y = t;
      textAt.y = t + ImageSize.cy + textSpacing;
    } else {
      textAt.y = t;
      out.Image.y = t + text.cy + textSpacing;
    }
  }
  const bool sideBySide = layout == Layout::blGlyphLeft || layout == Layout::blGlyphRight;
  // Horizontal.
  if (alignment == TAlignment::taLeftJustify) {
    int x = margin;
    if (rtl && glyph) {
      out.SortGlyph.x = x;
      x += GlyphSize.cx + spacing;
    }
    if (sideBySide) {
      if (image && layout == Layout::blGlyphLeft) {
        out.Image.x = x;
        x += ImageSize.cx + spacing;
      }
      textAt.x = x;
      x += text.cx + textSpacing;
      if (image && layout == Layout::blGlyphRight) {
        out.Image.x = x;
        x += ImageSize.cx + spacing;
      }
    } else {
      textAt.x = x;
      if (image) {
        out.Image.x = std::max<int>(x, (W - ImageSize.cx) / 2);
        x = std::max<int>(textAt.x + text.cx + textSpacing, out.Image.x + ImageSize.cx + spacing);
      } else {
        x += text.cx + textSpacing;
      }
    }
    if (!rtl && glyph) out.SortGlyph.x = x;
  } else if (alignment == TAlignment::taCenter) {
    if (sideBySide) {
      int x = (W - ImageSize.cx - textSpacing - text.cx) / 2;
      if (image && layout == Layout::blGlyphLeft) {
        out.Image.x = x;
        x += ImageSize.cx + textSpacing;
      }
      textAt.x = x;
      if (image && layout == Layout::blGlyphRight) out.Image.x = x + textSpacing + text.cx;
    } else {
      out.Image.x = (W - ImageSize.cx) / 2;
      textAt.x = (W - text.cx) / 2;
      if (glyph) {
        out.Image.x -= GlyphSize.cx / 2;
        textAt.x -= GlyphSize.cx / 2;
      }
    }
    if (glyph) {
      const int leftmost = image ? std::min<int>(out.Image.x, textAt.x) : textAt.x;
      const int rightmost = image ? std::max<int>(out.Image.x + ImageSize.cx, textAt.x + text.cx) : textAt.x + text.cx;
      out.SortGlyph.x = rtl ? leftmost - spacing - GlyphSize.cx : rightmost + spacing;
    }
  } else {
    int r = W - margin;
    if (!rtl && glyph) {
      r -= GlyphSize.cx;
      out.SortGlyph.x = r;
      r -= spacing;
    }
    if (sideBySide) {
      if (image && layout == Layout::blGlyphRight) {
        out.Image.x = r - ImageSize.cx;
        r = out.Image.x - spacing;
      }
      textAt.x = r - text.cx;
      r -= text.cx + textSpacing;
      if (image && layout == Layout::blGlyphLeft) {
        out.Image.x = r - ImageSize.cx;
        r = out.Image.x - spacing;
      }
    } else {
      textAt.x = r - text.cx;
      if (image) {
        out.Image.x = (W - ImageSize.cx) / 2;
        if (out.Image.x + ImageSize.cx > r - spacing) out.Image.x = r - ImageSize.cx - spacing;
        r = std::min<int>(textAt.x - textSpacing, out.Image.x - spacing);
      } else {
        r -= text.cx + textSpacing;
      }
    }
    if (rtl && glyph) out.SortGlyph.x = r - GlyphSize.cx;
  }
  // Fitting into the content area.
  int minLeft = margin, maxRight = W - margin;
  if (glyph) {
    if (!rtl) {
      if (out.SortGlyph.x + GlyphSize.cx > maxRight) out.SortGlyph.x = maxRight - GlyphSize.cx;
      maxRight = out.SortGlyph.x - spacing;
    }
    if (out.SortGlyph.x < margin) out.SortGlyph.x = margin;
    if (rtl) minLeft = out.SortGlyph.x + GlyphSize.cx + spacing;
  }
  if (image) {
    if (out.Image.x + ImageSize.cx > maxRight) out.Image.x = maxRight - ImageSize.cx;
    if (layout == Layout::blGlyphRight) maxRight = out.Image.x - spacing;
    if (out.Image.x < minLeft) out.Image.x = minLeft;
    if (layout == Layout::blGlyphLeft) minLeft = out.Image.x + ImageSize.cx + spacing;
  }
  textAt.x = std::max<int>(textAt.x, minLeft);
  out.TextBounds = RECT{textAt.x, textAt.y, std::min<int>(textAt.x + text.cx, maxRight), textAt.y + text.cy};
  if (wrap) {
    CaptionText = WrapString(DC, Column->Text(), out.TextBounds, Format, rtl);
  }
  return out;
}
}  // namespace

void TBaseVirtualTree::FireHeaderDraw(TCanvas* Canvas, TVirtualTreeColumn* Column, RECT R, bool Hover, bool Pressed,
                                      TVTDropMarkMode DropMark) {
  FireEvent(OnHeaderDraw, FHeader, Canvas, Column, R, Hover, Pressed, DropMark);
}

void TBaseVirtualTree::FireHeaderDrawQueryElements(THeaderPaintInfo& PaintInfo, THeaderPaintElements& Elements) {
  FireEvent(OnHeaderDrawQueryElements, FHeader, PaintInfo, Elements);
}

void TBaseVirtualTree::FireAdvancedHeaderDraw(THeaderPaintInfo& PaintInfo, const THeaderPaintElements& Elements) {
  FireEvent(OnAdvancedHeaderDraw, FHeader, PaintInfo, Elements);
}

void TVirtualTreeColumns::PaintColumnHeaders(HDC DC, RECT R, int32_t HOffset) {
  TBaseVirtualTree* tree = Tree();
  const RECT header = tree->HeaderRect();
  const SIZE size{std::max<LONG>(header.right, R.right - R.left), header.bottom};
  if (size.cx <= 0 || size.cy <= 0) return;
  if (!FHeaderBitmap || FHeaderBitmapSize.cx < size.cx || FHeaderBitmapSize.cy < size.cy) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = size.cx;
    info.bmiHeader.biHeight = -size.cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    FHeaderBitmap.Reset(CheckGDI(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0)));
    FHeaderBitmapSize = size;
  }
  TMemoryDC memory(DC);
  TSelectObjectGuard select(memory.Get(), FHeaderBitmap.Get());
  HDC dc = memory.Get();
  TCanvas canvas;
  canvas.SetHandle(dc);
  canvas.Font()->Assign(FHeader->Font());
  SetBkMode(dc, TRANSPARENT);

  const bool designing = tree->ComponentState().Contains(csDesigning);
  const bool ownerDraw = FHeader->Options().Contains(HO::hoOwnerDraw) && !designing;
  const bool advanced = ownerDraw && tree->OnAdvancedHeaderDraw && tree->OnHeaderDrawQueryElements;
  const bool simple = ownerDraw && tree->OnHeaderDraw && !advanced;
  const TVTHeaderStyle style = FHeader->Style();
  const StyleEdges edges = EdgesFor(style);
  const bool themed = tree->TreeStates().Contains(TVirtualTreeState::tsUseThemes) && IsThemeLibraryBound();
  HTHEME theme = themed ? UxOpenThemeData(tree->Handle(), L"HEADER") : nullptr;
  struct CloseTheme {
    HTHEME Theme;
    ~CloseTheme() {
      if (Theme) UxCloseThemeData(Theme);
    }
  } closeTheme{theme};
  TCustomImageList* utilities = UtilityImages();

  // The background.
  THeaderPaintInfo info;
  info.TargetCanvas = &canvas;
  bool backgroundDone = false;
  if (advanced) {
    info.PaintRectangle = R;
    THeaderPaintElements elements;
    tree->FireHeaderDrawQueryElements(info, elements);
    if (elements.Contains(HPE::hpeBackground)) {
      tree->FireAdvancedHeaderDraw(info, THeaderPaintElements{HPE::hpeBackground});
      backgroundDone = true;
    }
  }
  if (!backgroundDone) {
    if (theme) UxDrawThemeBackground(theme, dc, HP_HEADERITEMRIGHT, HIS_NORMAL, R, nullptr);
    else if (style == TVTHeaderStyle::hsXPStyle) PaintXPCell(dc, header, false, false, false);
    else Fill(dc, R, ColorToRGB(FHeader->Background()));
  }

  int32_t running = header.left + (tree->UseRightToLeftAlignment() ? tree->RightToLeftOffset() : 0);
  int32_t previousRight = running;
  bool offsetApplied = false;
  const TColumnPosition lastPosition = FPositionToIndex.empty() ? 0 : static_cast<TColumnPosition>(FPositionToIndex.size() - 1);
  for (TColumnPosition position = 0; position < FPositionToIndex.size(); ++position) {
    const TColumnIndex index = FPositionToIndex[position];
    if (!IsColumnIndex(index)) continue;
    TVirtualTreeColumn* column = Items(index);
    if (!column->IsVisible()) continue;
    if (!offsetApplied && !column->IsFixed()) {
      running += HOffset;
      offsetApplied = true;
    }
    RECT cell{previousRight, header.top, std::max<LONG>(previousRight, running + column->Width()), header.bottom};
    running += column->Width();
    previousRight = cell.right;
    if (cell.right <= R.left) continue;
    if (cell.left >= R.right) break;
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, std::max(cell.left, R.left), cell.top, std::min(cell.right, R.right), cell.bottom);

    const TVTColumnOptions options = column->Options();
    info = THeaderPaintInfo{};
    info.TargetCanvas = &canvas;
    info.Column = column;
    info.PaintRectangle = cell;
    info.IsHoverIndex = index == FHoverIndex && FHeader->Options().Contains(HO::hoHotTrack) && options.Contains(CO::coEnabled);
    info.IsDownIndex = index == FDownIndex;
    info.IsEnabled = options.Contains(CO::coEnabled) && tree->Enabled();
    TCustomImageList* images = column->CheckBox() ? tree->CheckImages() : FHeader->Images();
    info.ShowHeaderGlyph = FHeader->Options().Contains(HO::hoShowImages) && images &&
                           (column->CheckBox() || column->ImageIndex() >= 0);
    info.ShowSortGlyph = index == FHeader->SortColumn() && FHeader->Options().Contains(HO::hoShowSortGlyphs) && utilities;
    info.ShowRightBorder = !(style != TVTHeaderStyle::hsThickButtons && FHeader->Options().Contains(HO::hoAutoResize) &&
                             tree->BevelKind() != bkNone && position == lastPosition);
    if (index == FDropTarget && FDragIndex >= 0 && index != FDragIndex && options.Contains(CO::coShowDropMark))
      info.DropMark = FDropBefore ? TVTDropMarkMode::dmmLeft : TVTDropMarkMode::dmmRight;

    // The cell's background.
    THeaderPaintElements requested;
    const bool ownerDrawn = simple && column->Style() == TVirtualTreeColumnStyle::vsOwnerDraw;
    if (advanced) tree->FireHeaderDrawQueryElements(info, requested);
    if (!ownerDrawn) {
      if (advanced && requested.Contains(HPE::hpeBackground)) {
        tree->FireAdvancedHeaderDraw(info, THeaderPaintElements{HPE::hpeBackground});
      } else if (theme) {
        const int state = info.IsDownIndex ? HIS_PRESSED : info.IsHoverIndex ? HIS_HOT : HIS_NORMAL;
        UxDrawThemeBackground(theme, dc, HP_HEADERITEM, state, cell, nullptr);
      } else if (style == TVTHeaderStyle::hsXPStyle) {
        PaintXPCell(dc, cell, info.IsDownIndex, info.IsHoverIndex, info.ShowRightBorder);
      } else {
        RECT r = cell;
        const bool hot = style == TVTHeaderStyle::hsPlates && info.IsHoverIndex && options.Contains(CO::coAllowClick);
        if (info.IsDownIndex) DrawEdge(dc, &r, edges.Pressed.Edge, edges.Pressed.Flags);
        else if (hot) DrawEdge(dc, &r, edges.Hot.Edge, edges.Hot.Flags | (info.ShowRightBorder ? BF_RIGHT : 0));
        else DrawEdge(dc, &r, edges.Normal.Edge, edges.Normal.Flags | (info.ShowRightBorder ? BF_RIGHT : 0));
      }
    }
    if (ownerDrawn) {
      tree->FireHeaderDraw(&canvas, column, cell, info.IsHoverIndex, info.IsDownIndex, info.DropMark);
      RestoreDC(dc, saved);
      continue;
    }

    // Content: image or check box, caption, sort glyph, drop mark.
    RECT content = cell;
    InflateRect(&content, -2, -2);
    UINT format = DT_NOPREFIX;
    const TAlignment captionAlignment = column->CaptionAlignment();
    if (captionAlignment == TAlignment::taRightJustify) format |= DT_RIGHT;
    else if (captionAlignment == TAlignment::taCenter) format |= DT_CENTER;
    if (column->ReadsRightToLeft()) format |= DT_RTLREADING;
    const SIZE imageSize = info.ShowHeaderGlyph ? SIZE{images->Width(), images->Height()} : SIZE{0, 0};
    const SIZE glyphSize = info.ShowSortGlyph ? SIZE{utilities->Width(), utilities->Height()} : SIZE{0, 0};
    std::wstring caption = column->FCaptionText;
    CellLayout layout = LayoutCell(dc, column, caption, content.right - content.left, content.bottom - content.top,
                                   imageSize, glyphSize, format);
    column->FCaptionText = caption;
    OffsetRect(&layout.TextBounds, content.left, content.top);
    layout.Image.x += content.left;
    layout.Image.y += content.top;
    layout.SortGlyph.x += content.left;
    layout.SortGlyph.y += content.top;
    if (info.IsDownIndex) {
      OffsetRect(&layout.TextBounds, 1, 1);
      ++layout.Image.x, ++layout.Image.y;
      ++layout.SortGlyph.x, ++layout.SortGlyph.y;
    }
    info.TextRectangle = layout.TextBounds;
    info.GlyphPos = layout.Image;
    info.SortGlyphPos = layout.SortGlyph;
    THeaderPaintElements own = requested;
    own.Exclude(HPE::hpeBackground);

    column->FHasImage = false;
    if (!own.Contains(HPE::hpeHeaderGlyph) && info.ShowHeaderGlyph &&
        (!info.ShowSortGlyph || column->ReadsRightToLeft() || layout.SortGlyph.x >= layout.Image.x + imageSize.cx)) {
      int32_t imageIndex = column->ImageIndex();
      if (column->CheckBox())
        imageIndex = TBaseVirtualTree::CheckImageIndexFor(column->CheckType(), column->CheckState(), info.IsEnabled, false);
      if (imageIndex >= 0) {
        images->Draw(&canvas, layout.Image.x, layout.Image.y, imageIndex, info.IsEnabled);
        column->FHasImage = true;
        column->FImageRect = RECT{layout.Image.x, layout.Image.y, layout.Image.x + imageSize.cx, layout.Image.y + imageSize.cy};
      }
    }
    if (!own.Contains(HPE::hpeText) && !column->Text().empty()) {
      std::wstring text = options.Contains(CO::coWrapCaption) ? column->FCaptionText : column->Text();
      RECT bounds = layout.TextBounds;
      if (!options.Contains(CO::coWrapCaption)) {
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        if (extent.cx > bounds.right - bounds.left) text = ShortenString(dc, text, bounds.right - bounds.left);
      }
      if (!text.empty()) {
        if (info.IsEnabled) {
          const bool hotText = info.IsHoverIndex && FHeader->Options().Contains(HO::hoHotTrack) && !theme;
          SetTextColor(dc, ColorToRGB(hotText ? tree->Colors()->HeaderHotColor() : FHeader->Font()->Color()));
          DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds, format);
        } else {
          RECT moved = bounds;
          OffsetRect(&moved, 1, 1);
          SetTextColor(dc, ColorToRGB(clBtnHighlight));
          DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &moved, format);
          SetTextColor(dc, ColorToRGB(clBtnShadow));
          DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds, format);
        }
      }
    }
    if (!own.Contains(HPE::hpeSortGlyph) && info.ShowSortGlyph) {
      const bool ascending = FHeader->SortDirection() == TSortDirection::sdAscending;
      const int glyph = theme ? (ascending ? 5 : 4) : (ascending ? 3 : 2);
      utilities->Draw(&canvas, layout.SortGlyph.x, layout.SortGlyph.y, glyph, true);
    }
    if (!own.Contains(HPE::hpeDropMark) && info.DropMark != TVTDropMarkMode::dmmNone && utilities) {
      const int y = (cell.top + cell.bottom - utilities->Height()) / 2;
      if (info.DropMark == TVTDropMarkMode::dmmLeft) utilities->Draw(&canvas, cell.left, y, 0, true);
      else utilities->Draw(&canvas, cell.right - 16, y, 1, true);
    }
    if (!own.Empty()) {
      const int inner = SaveDC(dc);
      tree->FireAdvancedHeaderDraw(info, own);
      RestoreDC(dc, inner);
    }
    RestoreDC(dc, saved);
  }
  canvas.SetHandle(nullptr);
  BitBlt(DC, R.left, R.top, R.right - R.left, R.bottom - R.top, dc, R.left, R.top, SRCCOPY);
}
