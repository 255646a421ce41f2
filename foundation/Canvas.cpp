#include "foundation/Canvas.h"

#include "foundation/Geometry.h"

#include <algorithm>

// ---------------------------------------------------------------------------
// Regions.

int RegionOperationToCombineMode(TcxRegionOperation operation) {
  switch (operation) {
    case roSet: return RGN_COPY;
    case roAdd: return RGN_OR;
    case roSubtract: return RGN_DIFF;
    case roIntersect: return RGN_AND;
  }
  return RGN_COPY;
}

const TClassInfo TcxRegion::ClassInfo{"TcxRegion", &TObject::ClassInfo, nullptr};

TcxRegion::TcxRegion(HRGN handle) : FHandle(handle) {}
TcxRegion::TcxRegion(const RECT& r) : FHandle(CheckGDI(CreateRectRgnIndirect(&r))) {}
TcxRegion::TcxRegion(int left, int top, int right, int bottom)
    : FHandle(CheckGDI(CreateRectRgn(left, top, right, bottom))) {}
TcxRegion::TcxRegion() : TcxRegion(0, 0, 0, 0) {}

bool TcxRegion::IsEmpty() const {
  RECT box;
  return !Handle() || GetRgnBox(Handle(), &box) == NULLREGION;
}

void TcxRegion::CombineWith(TcxRegion* other, TcxRegionOperation operation, bool freeOther) {
  if (!other) return;
  if (Handle() && other->Handle()) {
    if (operation == roSet)
      CombineRgn(Handle(), other->Handle(), nullptr, RGN_COPY);
    else
      CombineRgn(Handle(), Handle(), other->Handle(), RegionOperationToCombineMode(operation));
  }
  if (freeOther) delete other;
}

bool TcxRegion::IsEqual(TcxRegion* other) const {
  if (!other) return false;
  if (IsEmpty() && other->IsEmpty()) return true;
  return IsEqualToHandle(other->Handle());
}

bool TcxRegion::IsEqualToHandle(HRGN handle) const { return Handle() && handle && EqualRgn(Handle(), handle); }

void TcxRegion::OffsetBy(int dx, int dy) {
  if (Handle()) OffsetRgn(Handle(), dx, dy);
}

TcxBorders BordersFromBits(unsigned bits) { return TcxBorders::FromBits(bits & 0xF); }

UINT TextFlagsToDrawTextFlags(unsigned flags) {
  UINT result = DT_NOPREFIX;
  if (flags & cxAlignLeft) result |= DT_LEFT;
  if (flags & cxAlignRight) result |= DT_RIGHT;
  if (flags & cxAlignHCenter) result |= DT_CENTER;
  if (flags & cxAlignTop) result |= DT_TOP;
  if (flags & cxAlignBottom) result |= DT_BOTTOM;
  if (flags & cxAlignVCenter) result |= DT_VCENTER;
  if (flags & cxSingleLine) result |= DT_SINGLELINE;
  if (flags & cxDontClip) result |= DT_NOCLIP;
  if (flags & cxExpandTabs) result |= DT_EXPANDTABS;
  if (flags & cxShowPrefix) result &= ~static_cast<UINT>(DT_NOPREFIX);
  if (flags & cxWordBreak) {
    result |= DT_WORDBREAK;
    if (!(flags & cxDontBreakChars)) result |= DT_EDITCONTROL;
  }
  if (flags & cxShowEndEllipsis) result |= DT_END_ELLIPSIS;
  if (flags & cxDontPrint) result |= DT_CALCRECT;
  if (flags & cxShowPathEllipsis) result |= DT_PATH_ELLIPSIS;
  return result;
}

// ---------------------------------------------------------------------------
// The canvas.

const TClassInfo TcxCanvas::ClassInfo{"TcxCanvas", &TObject::ClassInfo, nullptr};

TcxCanvas::TcxCanvas(TCanvas* canvas) : FCanvas(canvas) {}

TcxCanvas::~TcxCanvas() = default;

void TcxCanvas::SetBrushColor(TColor color) {
  if (FCanvas->Brush()->Color() != color) FCanvas->Brush()->SetColor(color);
}

POINT TcxCanvas::GetWindowOrigin() {
  POINT p{0, 0};
  GetWindowOrgEx(GetDeviceContext(), &p);
  return p;
}

void TcxCanvas::SetWindowOrigin(POINT p) { SetWindowOrgEx(GetDeviceContext(), p.x, p.y, nullptr); }

POINT TcxCanvas::GetViewportOrigin() {
  POINT p{0, 0};
  GetViewportOrgEx(GetDeviceContext(), &p);
  return p;
}

void TcxCanvas::SetViewportOrigin(POINT p) { SetViewportOrgEx(GetDeviceContext(), p.x, p.y, nullptr); }

POINT TcxCanvas::GetDrawingOffset() {
  const POINT viewport = GetViewportOrigin();
  const POINT window = GetWindowOrigin();
  return POINT{viewport.x - window.x, viewport.y - window.y};
}

void TcxCanvas::InvertRect(const RECT& r) {
  FCanvas->SetCopyMode(DSTINVERT);
  FCanvas->CopyRect(r, FCanvas, r);
  FCanvas->SetCopyMode(SRCCOPY);
}

void TcxCanvas::ExcludeRectFromClip(const RECT& r) {
  ExcludeClipRect(GetDeviceContext(), r.left, r.top, r.right, r.bottom);
}

void TcxCanvas::IntersectClipWithRect(const RECT& r) {
  IntersectClipRect(GetDeviceContext(), r.left, r.top, r.right, r.bottom);
}

void TcxCanvas::PaintFocusRect(const RECT& r) {
  FCanvas->Brush()->SetColor(clWhite);
  FCanvas->Font()->SetColor(clBlack);
  FCanvas->DrawFocusRect(r);
}

int TcxCanvas::MeasureFontHeight(TFont* font) {
  FCanvas->Font()->Assign(font);
  return FCanvas->TextHeight("Qq");
}

void TcxCanvas::MeasureTextSize(const AnsiString& text, SIZE& size) { size = FCanvas->TextExtent(text); }

int TcxCanvas::WidthOfText(const AnsiString& text) {
  SIZE size;
  MeasureTextSize(text, size);
  return size.cx;
}

int TcxCanvas::HeightOfText(const AnsiString& text) {
  SIZE size;
  MeasureTextSize(text, size);
  return size.cy;
}

void TcxCanvas::CopyFontBrushPenFromDC(HDC dc) {
  LOGFONTA font{};
  if (GetObjectA(GetCurrentObject(dc, OBJ_FONT), sizeof font, &font) == sizeof font) {
    const TColor textColor = static_cast<TColor>(GetTextColor(dc));
    FCanvas->Font()->SetHandle(CreateFontIndirectA(&font));
    FCanvas->Font()->SetColor(textColor);
  }
  LOGBRUSH brush{};
  if (GetObjectA(GetCurrentObject(dc, OBJ_BRUSH), sizeof brush, &brush) == sizeof brush) {
    // The brush reads its colour and style (clear, the six hatches, else
    // solid) back from the new handle.
    FCanvas->Brush()->SetHandle(CreateBrushIndirect(&brush));
  }
  LOGPEN pen{};
  if (GetObjectA(GetCurrentObject(dc, OBJ_PEN), sizeof pen, &pen) == sizeof pen) {
    const int rop2 = GetROP2(dc);
    FCanvas->Pen()->SetHandle(CreatePenIndirect(&pen));
    TPenMode mode = pmCopy;
    for (int i = 0; i < 16; ++i) {
      if (PenModes[i] == rop2) {
        mode = static_cast<TPenMode>(i);
        break;
      }
    }
    FCanvas->Pen()->SetMode(mode);
  }
}

// -- clip regions ----------------------------------------------------------

TcxRegion* TcxCanvas::CopyClipRegion(bool considerOrigin) {
  auto* region = new TcxRegion();
  const int answer = GetClipRgn(GetDeviceContext(), region->Handle());
  if (answer == 0) {
    // No clip region: the whole drawable plane.
    SetRectRgn(region->Handle(), 0, 0, 30000, 30000);
  } else if (answer < 0) {
    return region;  // unreadable: the empty region it started with
  }
  if (considerOrigin) {
    const POINT d = GetDrawingOffset();
    region->OffsetBy(-d.x, -d.y);
  }
  return region;
}

void TcxCanvas::ApplyClipRegion(TcxRegion* region, TcxRegionOperation operation, bool freeRegion,
                                bool considerOrigin) {
  if (!region) return;
  if (operation != roSet) {
    TcxRegion* clip = CopyClipRegion(considerOrigin);
    clip->CombineWith(region, operation, freeRegion);
    ApplyClipRegion(clip, roSet, true, considerOrigin);
    return;
  }
  POINT d{0, 0};
  if (considerOrigin) {
    d = GetDrawingOffset();
    region->OffsetBy(d.x, d.y);
  }
  SelectClipRgn(GetDeviceContext(), region->Handle());
  if (freeRegion)
    delete region;
  else if (considerOrigin)
    region->OffsetBy(-d.x, -d.y);
}

void TcxCanvas::PushClipRegion() { FSavedRegions.emplace_back(CopyClipRegion(true)); }

void TcxCanvas::PopClipRegion() {
  if (FSavedRegions.empty()) return;
  TcxRegion* region = FSavedRegions.back().release();
  FSavedRegions.pop_back();
  ApplyClipRegion(region, roSet, true, true);
}

void TcxCanvas::PushSavedDC() { FSavedDCs.push_back(SaveDC(GetDeviceContext())); }

void TcxCanvas::PopSavedDC() {
  if (FSavedDCs.empty()) return;
  const int saved = FSavedDCs.back();
  FSavedDCs.pop_back();
  RestoreDC(GetDeviceContext(), saved);
}

void TcxCanvas::PushState() {
  PushSavedDC();
  TSavedState state{std::make_unique<TFont>(), std::make_unique<TBrush>(), std::make_unique<TPen>()};
  state.Font->Assign(FCanvas->Font());
  state.Brush->Assign(FCanvas->Brush());
  state.Pen->Assign(FCanvas->Pen());
  FSavedStates.push_back(std::move(state));
}

void TcxCanvas::PopState() {
  if (FSavedStates.empty()) return;
  TSavedState state = std::move(FSavedStates.back());
  FSavedStates.pop_back();
  FCanvas->Font()->Assign(state.Font.get());
  FCanvas->Brush()->Assign(state.Brush.get());
  FCanvas->Pen()->Assign(state.Pen.get());
  PopSavedDC();
}

// -- fills, frames and edges ------------------------------------------------

void TcxCanvas::FillWithColor(const RECT& r, TColor color) {
  if (color == clNone) return;
  if (color != clDefault) SetBrushColor(color);
  FCanvas->FillRect(r);
}

void TcxCanvas::TileRect(const RECT& r, TBitmap* bitmap) {
  const int w = bitmap->GetWidth();
  const int h = bitmap->GetHeight();
  // The grid is anchored at the origin; floor division keeps the cells
  // left of or above 0 (moved origins) on the same grid.
  const int firstColumn = FloorDiv(r.left, w);
  const int lastColumn = FloorDiv(r.right - 1, w);
  const int firstRow = FloorDiv(r.top, h);
  const int lastRow = FloorDiv(r.bottom - 1, h);
  TCanvas* source = bitmap->Canvas();
  for (int j = firstRow; j <= lastRow; ++j) {
    for (int i = firstColumn; i <= lastColumn; ++i) {
      const RECT cell{i * w, j * h, (i + 1) * w, (j + 1) * h};
      RECT part;
      if (!IntersectRect(&part, &cell, &r)) continue;
      const RECT sourceRect = ShiftRect(part, -cell.left, -cell.top);
      BitBlt(GetDeviceContext(), part.left, part.top, WidthOfRect(part), HeightOfRect(part), source->Handle(),
             sourceRect.left, sourceRect.top, SRCCOPY);
    }
  }
}

void TcxCanvas::FillRectOrTile(const RECT& r, TBitmap* bitmap, bool excludeRect) {
  if (RectIsEmpty(r)) return;
  if (bitmap && !bitmap->GetEmpty())
    TileRect(r, bitmap);
  else
    FCanvas->FillRect(r);
  if (excludeRect) ApplyClipRegion(TcxRegion::CreateFromRect(r), roSubtract, true, true);
}

void TcxCanvas::DrawSideFrame(const RECT& r, TColor color, int width, TcxBorders sides, bool excludeRect) {
  if (RectIsEmpty(r)) return;
  if (color != clDefault) SetBrushColor(color);
  if (sides.Contains(bLeft))
    FillRectOrTile(RECT{r.left, r.top, std::min(r.left + width, r.right), r.bottom}, nullptr, excludeRect);
  if (sides.Contains(bRight))
    FillRectOrTile(RECT{std::max(r.right - width, r.left), r.top, r.right, r.bottom}, nullptr, excludeRect);
  if (sides.Contains(bTop))
    FillRectOrTile(RECT{r.left, r.top, r.right, std::min(r.top + width, r.bottom)}, nullptr, excludeRect);
  if (sides.Contains(bBottom))
    FillRectOrTile(RECT{r.left, std::max(r.bottom - width, r.top), r.right, r.bottom}, nullptr, excludeRect);
}

void TcxCanvas::FrameAndFillWithParams(const RECT& r, const TcxViewParams& params, TcxBorders sides,
                                       TColor frameColor, int width, bool excludeRect) {
  DrawSideFrame(r, frameColor, width, sides, excludeRect);
  RECT inner = r;
  if (sides.Contains(bLeft)) inner.left += width;
  if (sides.Contains(bTop)) inner.top += width;
  if (sides.Contains(bRight)) inner.right -= width;
  if (sides.Contains(bBottom)) inner.bottom -= width;
  SetBrushColor(params.Color);
  FillRectOrTile(inner, params.Bitmap, excludeRect);
}

void TcxCanvas::DrawTwoToneFrame(const RECT& r, TColor leftTopColor, TColor rightBottomColor, TcxBorders sides,
                                 int width) {
  if (sides.Contains(bLeft)) {
    SetBrushColor(leftTopColor);
    FillRectOrTile(RECT{r.left, r.top, r.left + width, r.bottom});
  }
  if (sides.Contains(bTop)) {
    SetBrushColor(leftTopColor);
    FillRectOrTile(RECT{r.left, r.top, r.right, r.top + width});
  }
  if (sides.Contains(bRight)) {
    SetBrushColor(rightBottomColor);
    FillRectOrTile(RECT{r.right - width, r.top, r.right, r.bottom});
  }
  if (sides.Contains(bBottom)) {
    SetBrushColor(rightBottomColor);
    FillRectOrTile(RECT{r.left, r.bottom - width, r.right, r.bottom});
  }
}

void TcxCanvas::Draw3DEdge(const RECT& r, bool sunken, bool secondPair, TcxBorders sides) {
  TColor leftTop, rightBottom;
  if (!sunken) {
    leftTop = secondPair ? cl3DLight : clBtnHighlight;
    rightBottom = secondPair ? cl3DDkShadow : clBtnShadow;
  } else {
    leftTop = secondPair ? clBtnShadow : cl3DDkShadow;
    rightBottom = secondPair ? clBtnHighlight : cl3DLight;
  }
  DrawTwoToneFrame(r, leftTop, rightBottom, sides, 1);
}

// -- text ----------------------------------------------------------------------

void TcxCanvas::MeasureTextRect(const AnsiString& text, RECT& r, unsigned flags) {
  const int w0 = WidthOfRect(r);
  const int h0 = HeightOfRect(r);
  const UINT system = TextFlagsToDrawTextFlags(flags);
  if (w0 <= 0 && !text.empty()) r.right = r.left + 1;
  const int height = FCanvas->TextRect(r, text, (system & ~static_cast<UINT>(DT_VCENTER)) | DT_CALCRECT);
  if (height == 0) {
    r.right = r.left;
    r.bottom = r.top;
  }
  const int w1 = WidthOfRect(r);
  const int h1 = HeightOfRect(r);
  if (system & DT_CENTER)
    r = ShiftRect(r, (w0 - w1) / 2, 0);
  else if (system & DT_RIGHT)
    r = ShiftRect(r, w0 - w1, 0);
  if (system & DT_VCENTER)
    r = ShiftRect(r, 0, (h0 - h1) / 2);
  else if (system & DT_BOTTOM)
    r = ShiftRect(r, 0, h0 - h1);
}

void TcxCanvas::AlignMultiLineText(RECT& r, const AnsiString& text, bool dontBreakChars, bool enabled,
                                   bool showPrefix, bool wordBreak, int verticalAlign) {
  const int k = enabled ? 0 : 1;
  RECT measured{0, 0, WidthOfRect(r) - k, 0};
  unsigned flags = cxAlignLeft | cxAlignTop;
  if (wordBreak) flags |= cxWordBreak;
  if (showPrefix) flags |= cxShowPrefix;
  if (dontBreakChars) flags |= cxDontBreakChars;
  MeasureTextRect(text, measured, flags);
  const int height = HeightOfRect(measured);
  if (verticalAlign == 1)
    r.top = r.bottom - height - k;
  else if (verticalAlign == 2)
    r.top = (r.top + r.bottom - height) / 2;
}

void TcxCanvas::DrawTextInState(const AnsiString& text, RECT r, unsigned flags, bool enabled) {
  if (text.empty()) return;
  const bool useExtTextOut =
      (flags & cxSingleLine) && !(flags & (cxShowPrefix | cxShowEndEllipsis | cxShowPathEllipsis));
  SIZE size;
  MeasureTextSize(text, size);
  if (WidthOfRect(r) >= size.cx && HeightOfRect(r) >= size.cy) flags |= cxDontClip;
  const int k = enabled ? 0 : 1;
  UINT system = 0;
  UINT options = 0;
  if (!useExtTextOut) {
    if (!(flags & cxSingleLine) && (flags & (cxAlignBottom | cxAlignVCenter)))
      AlignMultiLineText(r, text, (flags & cxDontBreakChars) != 0, enabled, (flags & cxShowPrefix) != 0,
                         (flags & cxWordBreak) != 0, (flags & cxAlignBottom) ? 1 : 2);
    system = TextFlagsToDrawTextFlags(flags);
  } else {
    if (size.cx < WidthOfRect(r)) {
      if (flags & cxAlignRight)
        r.left = r.right - size.cx - k;
      else if (flags & cxAlignHCenter)
        r.left = (r.left + r.right - size.cx) / 2;
    }
    if (size.cy < HeightOfRect(r)) {
      if (flags & cxAlignBottom)
        r.top = r.bottom - size.cy - k;
      else if (flags & cxAlignVCenter)
        r.top = (r.top + r.bottom - size.cy) / 2;
    }
    options = (flags & cxDontClip) ? 0 : ETO_CLIPPED;
  }
  TBrush* brush = FCanvas->Brush();
  TFont* font = FCanvas->Font();
  const TBrushStyle brushStyle = brush->Style();
  const TColor fontColor = font->Color();
  auto draw = [&](RECT q) {
    HDC dc = GetDeviceContext();
    if (useExtTextOut) {
      (void)FCanvas->TextExtent("");  // selects the font and brush
      SetTextColor(dc, ResolveColor(font->Color(), clWindowText));
      if (brush->IsHollow()) {
        SetBkMode(dc, TRANSPARENT);
      } else {
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, ResolveColor(brush->Color(), clWhite));
      }
      ExtTextOutA(dc, q.left, q.top, options, &q, text.data(), static_cast<UINT>(text.size()), nullptr);
    } else {
      FCanvas->TextRect(q, text, system);
    }
  };
  if (!enabled) {
    brush->SetStyle(bsClear);
    font->SetColor(clBtnHighlight);
    draw(ShiftRect(r, 1, 1));
    font->SetColor(clBtnShadow);
  }
  draw(r);
  if (brush->Style() != brushStyle) brush->SetStyle(brushStyle);
  font->SetColor(fontColor);
}

// ---------------------------------------------------------------------------
// Screen canvases.

const TClassInfo TScreenCanvas::ClassInfo{"TScreenCanvas", &TCanvas::ClassInfo, nullptr};

void TScreenCanvas::CreateHandle() {
  FDC = GetDCEx(GetDesktopWindow(), nullptr, DCX_CACHE | DCX_LOCKWINDOWUPDATE);
  if (!FDC) return;
  HandleCreated(hkDeviceContext);
  SetHandle(FDC);
}

void TScreenCanvas::FreeHandle() {
  if (!FDC) return;
  SetHandle(nullptr);
  ReleaseDC(GetDesktopWindow(), FDC);
  HandleDeleted(hkDeviceContext);
  FDC = nullptr;
}

const TClassInfo TcxScreenCanvas::ClassInfo{"TcxScreenCanvas", &TcxCanvas::ClassInfo, nullptr};

TcxScreenCanvas::TcxScreenCanvas() : TcxCanvas(new TScreenCanvas()) {
  FScreenCanvas = static_cast<TScreenCanvas*>(Canvas());
}

TcxScreenCanvas::~TcxScreenCanvas() { delete FScreenCanvas; }
