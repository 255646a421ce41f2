// Painting of the tree: the colours, RenderTree with its row bitmap, row
// erasing, cell backgrounds, selection and focus, grid lines, drop marks,
// the area below the last row; tree lines, expand buttons, check images and
// node images.
#include "vtree/VirtualTree.h"

#include "vtree/TreeDrawing.h"

#include "foundation/UxTheme.h"

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/ImageList.h"

#include <algorithm>
#include <commctrl.h>
#include <vssym32.h>

namespace {
using NS = TVirtualNodeState;
using TS = TVirtualTreeState;
using PO = TVTPaintOption;
using IPO = TVTInternalPaintOption;
using SO = TVTSelectionOption;
using MO = TVTMiscOption;

constexpr TColor DefaultColors[TVTColors::ColorCount] = {
    clBtnShadow, clHighlight, clHighlight, clHighlight, clBtnFace, clBtnShadow, clBtnFace, clBtnFace,
    clWindowText, clHighlight, clBtnFace, clHighlight, clHighlight, clHighlight, clBtnShadow};

constexpr COLORREF Magenta = RGB(255, 0, 255);

// Rounds halves to the even neighbour.
int32_t RoundHalfEven(int32_t Numerator, int32_t Denominator) {
  const int32_t q = Numerator / Denominator;
  const int32_t r = Numerator % Denominator;
  if (2 * r > Denominator || (2 * r == Denominator && (q & 1))) return q + 1;
  return q;
}

void FillSolid(HDC DC, const RECT& R, TColor Color) {
  TGdiObject brush(CheckGDI(CreateSolidBrush(ColorToRGB(Color))));
  FillRect(DC, &R, static_cast<HBRUSH>(brush.Get()));
}
}  // namespace

// --- colours -------------------------------------------------------------------------------------

const TClassInfo TVTColors::ClassInfo{"TVTColors", &TPersistent::ClassInfo, nullptr};

TVTColors::TVTColors(TBaseVirtualTree* AOwner) : FOwner(AOwner) {
  for (int i = 0; i < ColorCount; ++i) FColors[i] = DefaultColors[i];
}

TColor TVTColors::DefaultColor(int Index) { return DefaultColors[Index]; }

void TVTColors::SetColor(int Index, TColor Value) {
  if (FColors[Index] == Value) return;
  FColors[Index] = Value;
  if (!FOwner || FOwner->IsLoading() || !FOwner->HandleAllocated()) return;
  if (Index == TreeLineColorIndex) {
    FOwner->Invalidate();
    return;
  }
  if (Index == BorderColorIndex) {
    RedrawWindow(FOwner->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_NOERASE | RDW_NOCHILDREN | RDW_FRAME);
    return;
  }
  FOwner->Invalidate();
}

void TVTColors::Assign(TPersistent* Source) {
  auto* other = ObjectAs<TVTColors>(Source);
  if (!other) return TPersistent::Assign(Source);
  for (int i = 0; i < ColorCount; ++i) FColors[i] = other->FColors[i];
  if (FOwner && FOwner->UpdateCount() == 0 && FOwner->HandleAllocated()) FOwner->Invalidate();
}

// --- state the painting reads ----------------------------------------------------------------------

void TBaseVirtualTree::SetHotNode(PVirtualNode Node, bool OverButton) {
  if (FCurrentHotNode == Node && FHotOverButton == OverButton) return;
  PVirtualNode old = FCurrentHotNode;
  FCurrentHotNode = Node;
  FHotOverButton = OverButton;
  if (!HandleAllocated()) return;
  if (old) InvalidateNode(old);
  if (Node) InvalidateNode(Node);
}

void TBaseVirtualTree::SetDropTarget(PVirtualNode Node, TVTDropMode Mode) {
  PVirtualNode old = FDropTargetNode;
  FDropTargetNode = Node;
  FLastDropMode = Node ? Mode : TVTDropMode::dmNowhere;
  if (!HandleAllocated()) return;
  if (old) InvalidateNode(old);
  if (Node) InvalidateNode(Node);
}

void TBaseVirtualTree::SetLineStyle(TVTLineStyle Value) {
  if (FLineStyle == Value) return;
  FLineStyle = Value;
  FDottedBrush.Reset();
  Invalidate();
}

void TBaseVirtualTree::SetButtonStyle(TVTButtonStyle Value) {
  if (FButtonStyle == Value) return;
  FButtonStyle = Value;
  FButtonsValid = false;
  Invalidate();
}

void TBaseVirtualTree::SetButtonFillMode(TVTButtonFillMode Value) {
  if (FButtonFillMode == Value) return;
  FButtonFillMode = Value;
  FButtonsValid = false;
  Invalidate();
}

// --- line images, buttons, check and node images -------------------------------------------------

int32_t TBaseVirtualTree::BuildLineImage(PVirtualNode Node, TLineImage& LineImage) {
  const TVTPaintOptions paint = FOptions->PaintOptions();
  const bool showRoot = paint.Contains(PO::toShowRoot);
  const uint32_t level = NodeLevel(Node);
  const size_t count = level + (showRoot ? 1 : 0);
  LineImage.assign(std::max<size_t>(count, 1), TVTLineType::ltNone);
  LineImage.resize(count);
  int32_t selectionLevel = 0;
  for (PVirtualNode run = Node->Parent; run && run != FRoot; run = run->Parent)
    if (run->StateBits.Contains(NS::nsSelected)) ++selectionLevel;
  if (count == 0 || !paint.Contains(PO::toShowTreeLines)) return selectionLevel;

  const bool above = paint.Contains(PO::toChildrenAbove);
  const bool topLevel = Node->Parent == FRoot;
  size_t x = count - 1;
  if (!topLevel || showRoot) {
    const bool next = HasVisibleNextSibling(Node);
    const bool previous = HasVisiblePreviousSibling(Node);
    if (above) {
      if (previous) LineImage[x] = (!topLevel || next) ? TVTLineType::ltTopDownRight : TVTLineType::ltTopRight;
      else LineImage[x] = (!topLevel || next) ? TVTLineType::ltBottomRight : TVTLineType::ltRight;
    } else if (topLevel) {
      if (!previous && !next) LineImage[x] = TVTLineType::ltRight;
      else if (!next) LineImage[x] = TVTLineType::ltTopRight;
      else if (!previous) LineImage[x] = TVTLineType::ltBottomRight;
      else LineImage[x] = TVTLineType::ltTopDownRight;
    } else {
      LineImage[x] = next ? TVTLineType::ltTopDownRight : TVTLineType::ltTopRight;
    }
  }
  PVirtualNode run = Node->Parent;
  while (x > 0 && run && run != FRoot) {
    --x;
    const bool more = above ? HasVisiblePreviousSibling(run) : HasVisibleNextSibling(run);
    LineImage[x] = more ? TVTLineType::ltTopDown : TVTLineType::ltNone;
    run = run->Parent;
  }
  return selectionLevel;
}

void TBaseVirtualTree::FillPatternRect(TCanvas* Canvas, RECT R) {
  HDC dc = Canvas->Handle();
  if (!FDottedBrush) BuildButtonsAndLinePattern(false, true);
  const COLORREF text = SetTextColor(dc, ColorToRGB(Canvas->Font()->Color()));
  const COLORREF back = SetBkColor(dc, ColorToRGB(Color()));
  FillRect(dc, &R, static_cast<HBRUSH>(FDottedBrush.Get()));
  SetTextColor(dc, text);
  SetBkColor(dc, back);
}

void TBaseVirtualTree::FillLineH(TCanvas* Canvas, int32_t Left, int32_t Y, int32_t Right) {
  Canvas->Brush()->SetColor(Color());
  FillPatternRect(Canvas, RECT{std::min(Left, Right), Y, std::max(Left, Right) + 1, Y + 1});
}

void TBaseVirtualTree::FillLineV(TCanvas* Canvas, int32_t Top, int32_t X, int32_t Bottom) {
  Canvas->Brush()->SetColor(Color());
  FillPatternRect(Canvas, RECT{X, std::min(Top, Bottom), X + 1, std::max(Top, Bottom) + 1});
}

void TBaseVirtualTree::RenderTreeLines(TVTPaintInfo& PaintInfo, int32_t VAlignment, int32_t IndentSize,
                                       const TLineImage& LineImage) {
  TCanvas* canvas = PaintInfo.Canvas;
  const bool rtl = PaintInfo.BidiMode != TBiDiMode::bdLeftToRight;
  const RECT& cell = PaintInfo.CellRect;
  const int32_t top = cell.top;
  int32_t height = PaintInfo.Node->NodeHeight;
  const size_t count = std::min(LineImage.size(), static_cast<size_t>(std::max(0, IndentSize)));
  TLineImage image(LineImage.begin(), LineImage.begin() + static_cast<ptrdiff_t>(count));
  if (FLineMode == TVTLineMode::lmBands) {
    if (!PaintInfo.PaintOptions.Contains(IPO::ppGridLines)) return;
    // Bands: each entry closes the level's band where the node's subtree ends.
    TLineImage bands(image.size(), TVTLineType::ltNone);
    const bool open = PaintInfo.Node->StateBits.Contains(NS::nsExpanded) &&
                      !PaintInfo.Node->StateBits.Contains(NS::nsAllChildrenHidden);
    for (size_t i = image.size(); i-- > 0;) {
      if (open) {
        bands[i] = TVTLineType::ltLeft;
        continue;
      }
      switch (image[i]) {
        case TVTLineType::ltNone:
        case TVTLineType::ltTopDown:
          if (i + 1 < image.size() &&
              (image[i + 1] == TVTLineType::ltNone || image[i + 1] == TVTLineType::ltTopRight))
            bands[i] = bands[i + 1];
          else
            bands[i] = TVTLineType::ltLeft;
          break;
        case TVTLineType::ltBottomRight:
        case TVTLineType::ltTopDownRight:
        case TVTLineType::ltRight:
        case TVTLineType::ltTopRight:
          bands[i] = TVTLineType::ltLeftBottom;
          break;
        default:
          bands[i] = image[i];
      }
    }
    image = bands;
    canvas->Font()->SetColor(FColors->GridLineColor());
    --height;
  } else {
    canvas->Font()->SetColor(FColors->TreeLineColor());
  }
  const int32_t indent = static_cast<int32_t>(FIndent);
  for (size_t i = 0; i < image.size(); ++i) {
    const int32_t x = rtl ? cell.right - indent * static_cast<int32_t>(i + 1) : cell.left + indent * static_cast<int32_t>(i);
    const int32_t mid = x + indent / 2;
    const int32_t end = rtl ? x : x + indent;
    const int32_t edge = rtl ? x + indent : x;
    const int32_t a = top + VAlignment;
    switch (image[i]) {
      case TVTLineType::ltNone: break;
      case TVTLineType::ltBottomRight:
        FillLineV(canvas, a, mid, top + height);
        FillLineH(canvas, mid, a, end);
        break;
      case TVTLineType::ltTopDown: FillLineV(canvas, top, mid, top + height); break;
      case TVTLineType::ltTopDownRight:
        FillLineV(canvas, top, mid, top + height);
        FillLineH(canvas, mid, a, end);
        break;
      case TVTLineType::ltRight: FillLineH(canvas, mid, a, end); break;
      case TVTLineType::ltTopRight:
        FillLineV(canvas, top, mid, a);
        FillLineH(canvas, mid, a, end);
        break;
      case TVTLineType::ltLeft: FillLineV(canvas, top, edge, top + height); break;
      case TVTLineType::ltLeftBottom:
        FillLineV(canvas, top, edge, top + height);
        FillLineH(canvas, x, top + height, x + indent);
        break;
    }
  }
}

void TBaseVirtualTree::BuildButtonsAndLinePattern(bool Buttons, bool Lines) {
  if (Buttons) {
    const bool themed = FStates.Contains(TS::tsUseThemes) && HandleAllocated() && IsThemeLibraryBound();
    HTHEME theme = themed ? UxOpenThemeData(Handle(), L"TREEVIEW") : nullptr;
    struct CloseTheme {
      HTHEME Theme;
      ~CloseTheme() {
        if (Theme) UxCloseThemeData(Theme);
      }
    } closeTheme{theme};
    const bool explorer = theme && IsWinVistaOrAbove() && FOptions->PaintOptions().Contains(PO::toUseExplorerTheme);
    const SIZE size = ButtonSize();
    const int w = size.cx;
    TScreenDC screen;
    TMemoryDC dc(screen.Get());
    TGdiObject* bitmaps[4] = {&FMinusBM, &FPlusBM, &FHotMinusBM, &FHotPlusBM};
    for (int i = 0; i < 4; ++i) {
      const bool minus = (i % 2) == 0;
      TGdiObject bitmap(CheckGDI(CreateCompatibleBitmap(screen.Get(), w, size.cy)));
      {
        TSelectObjectGuard select(dc.Get(), bitmap.Get());
        const RECT all{0, 0, w, size.cy};
        {
          // The explorer look's glyphs sit on the main column's own ground;
          // every other button on magenta, drawn transparent.
          TGdiObject fill(CheckGDI(CreateSolidBrush(explorer ? ColorToRGB(ButtonGroundColor()) : Magenta)));
          FillRect(dc.Get(), &all, static_cast<HBRUSH>(fill.Get()));
        }
        if (theme) {
          // drawn below
        } else if (FButtonStyle == TVTButtonStyle::bsTriangle) {
          TGdiObject brush(CheckGDI(CreateSolidBrush(RGB(0, 0, 0))));
          TGdiObject pen(CheckGDI(CreatePen(PS_SOLID, 1, RGB(0, 0, 0))));
          TSelectObjectGuard b(dc.Get(), brush.Get());
          TSelectObjectGuard p(dc.Get(), pen.Get());
          const POINT minusPoints[3] = {{0, 2}, {8, 2}, {4, 6}};
          const POINT plusPoints[3] = {{2, 0}, {6, 4}, {2, 8}};
          Polygon(dc.Get(), minus ? minusPoints : plusPoints, 3);
        } else if (FButtonFillMode == TVTButtonFillMode::fmShaded) {
          // The shaded look is a picture of the program's resources, sign included.
          TGdiObject picture(
              LoadBitmapA(GetModuleHandleA(nullptr), minus ? "VT_XPBUTTONMINUS" : "VT_XPBUTTONPLUS"));
          if (picture) {
            TMemoryDC source(dc.Get());
            TSelectObjectGuard select(source.Get(), picture.Get());
            BitBlt(dc.Get(), 0, 0, w, size.cy, source.Get(), 0, 0, SRCCOPY);
          }
        } else {
          TGdiObject brush;
          if (FButtonFillMode == TVTButtonFillMode::fmTreeColor) brush.Reset(CheckGDI(CreateSolidBrush(ColorToRGB(Color()))));
          else if (FButtonFillMode == TVTButtonFillMode::fmWindowColor) brush.Reset(CheckGDI(CreateSolidBrush(ColorToRGB(clWindow))));
          TGdiObject pen(CheckGDI(CreatePen(PS_SOLID, 1, ColorToRGB(FColors->TreeLineColor()))));
          TSelectObjectGuard b(dc.Get(), brush ? brush.Get() : GetStockObject(NULL_BRUSH));
          TSelectObjectGuard p(dc.Get(), pen.Get());
          Rectangle(dc.Get(), 0, 0, w, size.cy);
        }
        if (theme) {
          // The system's tree glyph over the magenta ground; hot glyphs only in the explorer look.
          const bool hot = i >= 2 && explorer;
          UxDrawThemeBackground(theme, dc.Get(), hot ? TVP_HOTGLYPH : TVP_GLYPH, minus ? GLPS_OPENED : GLPS_CLOSED, all,
                                nullptr);
        } else if (FButtonStyle == TVTButtonStyle::bsRectangle && FButtonFillMode != TVTButtonFillMode::fmShaded) {
          TGdiObject pen(CheckGDI(CreatePen(PS_SOLID, 1, ColorToRGB(Font()->Color()))));
          TSelectObjectGuard p(dc.Get(), pen.Get());
          MoveToEx(dc.Get(), 2, w / 2, nullptr);
          LineTo(dc.Get(), w - 2, w / 2);
          if (!minus) {
            MoveToEx(dc.Get(), w / 2, 2, nullptr);
            LineTo(dc.Get(), w / 2, w - 2);
          }
        }
      }
      *bitmaps[i] = std::move(bitmap);
    }
    FButtonsValid = true;
    FButtonColors[0] = ButtonGroundColor();
    FButtonColors[1] = Font()->Color();
    FButtonColors[2] = FColors->TreeLineColor();
  }
  if (Lines) {
    static const uint16_t dotted[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    static const uint16_t solid[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    const void* bits = FLineStyle == TVTLineStyle::lsSolid ? solid : dotted;
    if (FLineStyle == TVTLineStyle::lsCustomStyle) FireEvent(OnGetLineStyle, this, bits);
    TGdiObject pattern(CheckGDI(CreateBitmap(8, 8, 1, 1, bits)));
    FDottedBrush.Reset(CheckGDI(CreatePatternBrush(static_cast<HBITMAP>(pattern.Get()))));
  }
}

// The colour the expand buttons are made on: the main column's, unless it
// takes the tree's (or there are no columns).
TColor TBaseVirtualTree::ButtonGroundColor() const {
  TVirtualTreeColumns* columns = FHeader->Columns();
  const TColumnIndex main = FHeader->MainColumn();
  if (main >= 0 && main < columns->Count()) {
    const TVirtualTreeColumn* column = columns->Items(main);
    if (!column->Options().Contains(TVTColumnOption::coParentColor)) return column->Color();
  }
  return Color();
}

void TBaseVirtualTree::RenderExpandButton(TCanvas* Canvas, PVirtualNode Node, bool RightToLeft, int32_t ButtonY,
                                          int32_t ButtonX, const RECT& CellRect) {
  if (!FButtonsValid || FButtonColors[0] != ButtonGroundColor() || FButtonColors[1] != Font()->Color() ||
      FButtonColors[2] != FColors->TreeLineColor())
    BuildButtonsAndLinePattern(true, false);
  const bool expanded = Node->StateBits.Contains(NS::nsExpanded);
  const bool hot = FOptions->PaintOptions().Contains(PO::toHotTrack) && Node == FCurrentHotNode && FHotOverButton;
  const TGdiObject& bitmap = expanded ? (hot ? FHotMinusBM : FMinusBM) : (hot ? FHotPlusBM : FPlusBM);
  const SIZE size = ButtonSize();
  const int32_t x = RightToLeft ? CellRect.right - ButtonX - size.cx : CellRect.left + ButtonX;
  TMemoryDC dc(Canvas->Handle());
  TSelectObjectGuard select(dc.Get(), bitmap.Get());
  TransparentBlt(Canvas->Handle(), x, CellRect.top + ButtonY, size.cx, size.cy, dc.Get(), 0, 0, size.cx, size.cy, Magenta);
}

int32_t TBaseVirtualTree::CheckImageIndexFor(TCheckType Type, TCheckState State, bool Enabled, bool Hot) {
  if (Type == TCheckType::ctNone) return -1;
  if (Type == TCheckType::ctTriStateCheckBox) Type = TCheckType::ctCheckBox;
  // Per state: enabled, hot, disabled.
  struct Row { int8_t Normal, Hot, Disabled; };
  Row row{};
  const bool pressed = State == TCheckState::csUncheckedPressed || State == TCheckState::csCheckedPressed ||
                       State == TCheckState::csMixedPressed;
  if (State == TCheckState::csMixedNormal) row = {17, 18, 20};
  else if (State == TCheckState::csMixedPressed) row = {19, 19, 20};
  else if (Type == TCheckType::ctCheckBox) {
    const bool checked = State == TCheckState::csCheckedNormal || State == TCheckState::csCheckedPressed;
    row = checked ? (pressed ? Row{15, 15, 16} : Row{13, 14, 16}) : (pressed ? Row{11, 11, 12} : Row{9, 10, 12});
  } else if (Type == TCheckType::ctRadioButton) {
    const bool checked = State == TCheckState::csCheckedNormal || State == TCheckState::csCheckedPressed;
    row = checked ? (pressed ? Row{7, 7, 8} : Row{5, 6, 8}) : (pressed ? Row{3, 3, 4} : Row{1, 2, 4});
  } else {
    row = pressed ? Row{23, 23, 24} : Row{21, 22, 24};
  }
  if (!Enabled) return row.Disabled;
  return Hot ? row.Hot : row.Normal;
}

int32_t TBaseVirtualTree::CheckImageIndexFor(PVirtualNode Node) {
  const bool enabled = Enabled() && !Node->StateBits.Contains(NS::nsDisabled);
  return CheckImageIndexFor(Node->CheckType, Node->CheckState, enabled, Node == FCurrentHotNode);
}

void TBaseVirtualTree::RenderCheckImage(TVTPaintInfo& PaintInfo) {
  const TVTImageInfo& info = PaintInfo.ImageInfo[iiCheck];
  if (!info.Images || info.Index < 0) return;
  if (FStates.Contains(TS::tsUseThemes) && FCheckImageKind == TCheckImageKind::ckSystemDefault && HandleAllocated() &&
      IsThemeLibraryBound()) {
    HTHEME theme = UxOpenThemeData(Handle(), L"BUTTON");
    if (theme) {
      int part = 0, state = 0;
      if (info.Index >= 1 && info.Index <= 8) part = BP_RADIOBUTTON, state = info.Index;
      else if (info.Index >= 9 && info.Index <= 20) part = BP_CHECKBOX, state = info.Index - 8;
      else if (info.Index >= 21 && info.Index <= 24) part = BP_PUSHBUTTON, state = info.Index - 20;
      const RECT r{info.XPos - 1, info.YPos, info.XPos - 1 + 17, info.YPos + 16};
      UxDrawThemeBackground(theme, PaintInfo.Canvas->Handle(), part, state, r, nullptr);
      UxCloseThemeData(theme);
      if (part == BP_PUSHBUTTON && UtilityImages())
        UtilityImages()->Draw(PaintInfo.Canvas, info.XPos - 1, info.YPos, 4, true);
      return;
    }
  }
  COLORREF blend = CLR_DEFAULT;
  if (PaintInfo.Node->StateBits.Contains(NS::nsSelected) && !info.Ghosted)
    blend = ColorToRGB(PaintsFocused() || FOptions->PaintOptions().Contains(PO::toPopupMode) ? FColors->FocusedSelectionColor()
                                                                                      : FColors->UnfocusedSelectionColor());
  ImageList_DrawEx(info.Images->Handle(), info.Index, PaintInfo.Canvas->Handle(), info.XPos, info.YPos, 0, 0, CLR_DEFAULT,
                   blend, ILD_TRANSPARENT);
}

void TBaseVirtualTree::FetchImageIndex(TVTPaintInfo& PaintInfo, TVTImageKind Kind, TCustomImageList* DefaultImages,
                                       TVTImageInfoIndex Slot) {
  TVTImageInfo& info = PaintInfo.ImageInfo[Slot];
  info.Index = -1;
  info.Ghosted = false;
  info.Images = DefaultImages;
  if (OnGetImageIndexEx)
    OnGetImageIndexEx(this, PaintInfo.Node, Kind, PaintInfo.Column, info.Ghosted, info.Index, info.Images);
  else
    FireEvent(OnGetImageIndex, this, PaintInfo.Node, Kind, PaintInfo.Column, info.Ghosted, info.Index);
}

void TBaseVirtualTree::RenderNodeImage(TVTPaintInfo& PaintInfo, TVTImageInfoIndex Slot, bool WithOverlay) {
  TVTImageInfo& info = PaintInfo.ImageInfo[Slot];
  if (!info.Images || info.Index < 0) return;
  PVirtualNode node = PaintInfo.Node;
  int32_t overlay = -1;
  if (WithOverlay && FImages) {
    FetchImageIndex(PaintInfo, TVTImageKind::ikOverlay, FImages, iiOverlay);
    overlay = PaintInfo.ImageInfo[iiOverlay].Index;
  }
  const bool enabled = Enabled() && !node->StateBits.Contains(NS::nsDisabled);
  const TVTPaintOptions paint = FOptions->PaintOptions();
  const bool selected = node->StateBits.Contains(NS::nsSelected);
  COLORREF blend = selected && !info.Ghosted ? CLR_DEFAULT : ColorToRGB(Color());
  UINT style = ILD_TRANSPARENT;
  if (overlay >= 0 && overlay < 15) style |= INDEXTOOVERLAYMASK(overlay + 1);
  if (info.Images->ImageType() == itMask) style |= ILD_MASK;
  const TVTMiscOptions misc = FOptions->MiscOptions();
  const bool fullRow = FOptions->SelectionOptions().Contains(SO::toFullRowSelect);
  if ((paint.Contains(PO::toUseBlendedImages) && (PaintsFocused() || paint.Contains(PO::toGhostedIfUnfocused)) && info.Ghosted) ||
      (selected && !fullRow && !misc.Contains(MO::toGridExtensions)) ||
      (node->StateBits.Contains(NS::nsClipboardMarked) && FStates.Contains(TS::tsCutPending)))
    style |= ILD_BLEND50;
  if (!enabled) {
    info.Images->Draw(PaintInfo.Canvas, info.XPos, info.YPos, info.Index, false);
  } else {
    ImageList_DrawEx(info.Images->Handle(), info.Index, PaintInfo.Canvas->Handle(), info.XPos, info.YPos, 0, 0, CLR_NONE,
                     blend, style);
  }
  if (overlay >= 15)
    ImageList_DrawEx(FImages->Handle(), overlay, PaintInfo.Canvas->Handle(), info.XPos, info.YPos, 0, 0, CLR_NONE,
                     CLR_DEFAULT, ILD_TRANSPARENT);
}

// --- rows and cells ----------------------------------------------------------------------------------

void TBaseVirtualTree::EraseRow(TVTPaintInfo& PaintInfo, const RECT& RowRect, int32_t RowWidth) {
  TCanvas* canvas = PaintInfo.Canvas;
  PVirtualNode node = PaintInfo.Node;
  TColor color = Color();
  TItemEraseAction action = TItemEraseAction::eaDefault;
  // RowRect lies on the target: the row bitmap starts at its left edge.
  RECT r{0, 0, RowWidth, RowRect.bottom - RowRect.top};
  // Tiles move sideways with the content and stay put when it scrolls up or down.
  const POINT backgroundOffset{-FOffsetX, RowRect.top};
  FireEvent(OnBeforeItemErase, this, canvas, node, r, color, action);
  HDC dc = canvas->Handle();
  switch (action) {
    case TItemEraseAction::eaNone: break;
    case TItemEraseAction::eaColor: FillSolid(dc, r, color); break;
    case TItemEraseAction::eaDefault: {
      const bool fullRow = FOptions->SelectionOptions().Contains(SO::toFullRowSelect);
      if (BackgroundShown(PaintInfo.PaintOptions)) {
        PaintBackground(dc, r, POINT{RowRect.left, RowRect.top}, backgroundOffset);
      } else if (PaintInfo.PaintOptions.Contains(IPO::ppSelection) && fullRow &&
                 node->StateBits.Contains(NS::nsSelected) &&
                 !FOptions->PaintOptions().Contains(PO::toUseBlendedSelection) && !UsesExplorerLook()) {
        FillSolid(dc, r, Color());
        const bool focused = PaintsFocused() || FOptions->PaintOptions().Contains(PO::toPopupMode);
        canvas->Brush()->SetColor(focused ? FColors->FocusedSelectionColor() : FColors->UnfocusedSelectionColor());
        canvas->Pen()->SetColor(focused ? FColors->FocusedSelectionBorderColor() : FColors->UnfocusedSelectionBorderColor());
        canvas->Pen()->SetStyle(TPenStyle::psSolid);
        const int32_t bottom = FOptions->PaintOptions().Contains(PO::toShowHorzGridLines) ? r.bottom - 1 : r.bottom;
        const int radius = static_cast<int>(FSelectionCurveRadius);
        canvas->RoundRect(r.left, r.top, r.right, bottom, radius, radius);
      } else {
        FillSolid(dc, r, Color());
      }
      break;
    }
  }
  FireEvent(OnAfterItemErase, this, canvas, node, r);
}

bool TBaseVirtualTree::PaintsFocused() const {
  return FStates.Contains(TS::tsPainting) ? FPaintFocused : Focused();
}

bool TBaseVirtualTree::UsesExplorerLook() const {
  return FStates.Contains(TS::tsUseThemes) && FOptions->PaintOptions().Contains(PO::toUseExplorerTheme) &&
         IsWinVistaOrAbove() && IsThemeLibraryBound();
}

bool TBaseVirtualTree::BackgroundShown(const TVTInternalPaintOptions& Options) {
  if (!Options.Contains(IPO::ppBackground) || !FOptions->PaintOptions().Contains(PO::toShowBackground)) return false;
  auto* bitmap = ObjectAs<TBitmap>(FBackground->Graphic());
  return bitmap && !bitmap->Empty();
}

// A static picture stays at the background offsets of the target; tiles
// repeat the picture from its point at R's top-left corner.
void TBaseVirtualTree::PaintBackground(HDC DC, const RECT& R, POINT Origin, POINT Offset) {
  auto* bitmap = static_cast<TBitmap*>(FBackground->Graphic());
  const int pw = bitmap->Width(), ph = bitmap->Height();
  TCanvas canvas;
  canvas.SetHandle(DC);
  TSavedDCGuard saved(DC);
  IntersectClipRect(DC, R.left, R.top, R.right, R.bottom);
  if (FOptions->PaintOptions().Contains(PO::toStaticBackground)) {
    FillSolid(DC, R, Color());
    canvas.Draw(FBackgroundOffset[0] - Origin.x, FBackgroundOffset[1] - Origin.y, bitmap);
  } else {
    const auto wrap = [](int64_t value, int size) { return static_cast<int>(((value % size) + size) % size); };
    // The picture's point at R's top-left corner.
    const int sx = wrap(int64_t{R.left} + Offset.x + FBackgroundOffset[0], pw);
    const int sy = wrap(int64_t{R.top} + Offset.y + FBackgroundOffset[1], ph);
    HDC source = bitmap->Canvas()->Handle();
    for (int y = R.top - sy; y < R.bottom; y += ph)
      for (int x = R.left - sx; x < R.right; x += pw) BitBlt(DC, x, y, pw, ph, source, 0, 0, SRCCOPY);
    bitmap->FreeContext();
  }
  canvas.SetHandle(nullptr);
}

namespace {
// Draws a part of the system's tree items ("TREEVIEW") when the theme has one.
void DrawTreeItem(HTHEME Theme, HDC DC, int State, const RECT& R) {
  if (Theme && !IsRectEmpty(&R)) UxDrawThemeBackground(Theme, DC, TVP_TREEITEM, State, R, nullptr);
}
}  // namespace

void TBaseVirtualTree::RenderCellBackground(TVTPaintInfo& PaintInfo, int32_t WindowLeft, int32_t RowWidth) {
  TCanvas* canvas = PaintInfo.Canvas;
  PVirtualNode node = PaintInfo.Node;
  TVirtualTreeColumns* columns = FHeader->Columns();
  if (PaintInfo.PaintOptions.Contains(IPO::ppColumnColors) && columns->IsColumnIndex(PaintInfo.Column))
    FillSolid(canvas->Handle(), PaintInfo.CellRect, columns->Items(PaintInfo.Column)->Color());
  RECT content = PaintInfo.ContentRect;
  FireBeforeCellPaint(canvas, node, PaintInfo.Column, TVTCellPaintMode::cpmPaint, PaintInfo.CellRect, content);
  PaintInfo.ContentRect = content;

  const TVTSelectionOptions selection = FOptions->SelectionOptions();
  const TVTMiscOptions misc = FOptions->MiscOptions();
  const TVTPaintOptions paint = FOptions->PaintOptions();
  const bool fullRow = selection.Contains(SO::toFullRowSelect);
  const bool gridExtensions = misc.Contains(MO::toGridExtensions);

  // The explorer look draws the system's tree items; with full-row
  // selection they span the whole row (each cell shows its part).
  HTHEME theme = UsesExplorerLook() && HandleAllocated() ? UxOpenThemeData(Handle(), L"TREEVIEW") : nullptr;
  struct CloseTheme {
    HTHEME Theme;
    ~CloseTheme() {
      if (Theme) UxCloseThemeData(Theme);
    }
  } closeTheme{theme};
  const bool explorer = theme != nullptr;
  RECT row{};
  if (explorer) {
    const int32_t total = columns->Count() > 0 ? columns->ShownWidth() : std::max(FRangeX, WindowLeft + RowWidth);
    row = RECT{-WindowLeft, PaintInfo.CellRect.top, total - WindowLeft, PaintInfo.CellRect.bottom};
    if (paint.Contains(PO::toShowVertGridLines)) --row.right;
  }

  RECT inner = content;
  if (!gridExtensions) {
    const int32_t width = PaintInfo.NodeWidth;
    switch (PaintInfo.Alignment) {
      case TAlignment::taLeftJustify: inner.right = std::min<LONG>(inner.right, inner.left + width); break;
      case TAlignment::taRightJustify: inner.left = std::max<LONG>(inner.left, inner.right - width); break;
      case TAlignment::taCenter: {
        const int32_t room = inner.right - inner.left;
        if (width < room) {
          inner.left += (room - width) / 2;
          inner.right = inner.left + width;
        }
        break;
      }
    }
  }
  const bool focused = PaintsFocused() || paint.Contains(PO::toPopupMode);
  const bool hotCell = explorer && paint.Contains(PO::toHotTrack) && node == FCurrentHotNode &&
                       (fullRow || PaintInfo.Column == FCurrentHotColumn);
  if ((PaintInfo.Column == FFocusedColumn || fullRow) && PaintInfo.PaintOptions.Contains(IPO::ppSelection)) {
    TColor fill = clNone, border = clNone;
    bool themed = false;
    if (node == FDropTargetNode && (FLastDropMode == TVTDropMode::dmOnNode || node->StateBits.Contains(NS::nsSelected))) {
      fill = FColors->DropTargetColor();
      border = FColors->DropTargetBorderColor();
    } else if (node != FDropTargetNode && node->StateBits.Contains(NS::nsSelected)) {
      fill = focused ? FColors->FocusedSelectionColor() : FColors->UnfocusedSelectionColor();
      border = focused ? FColors->FocusedSelectionBorderColor() : FColors->UnfocusedSelectionBorderColor();
      themed = explorer;
    }
    if (fill != clNone) {
      if (gridExtensions || fullRow) inner = PaintInfo.CellRect;
      if (!IsRectEmpty(&inner)) {
        if (themed) {
          if (!hotCell)
            DrawTreeItem(theme, canvas->Handle(), focused ? TREIS_SELECTED : TREIS_SELECTEDNOTFOCUS, fullRow ? row : inner);
        } else if (MMXAvailable() && paint.Contains(PO::toUseBlendedSelection)) {
          HDC dc = canvas->Handle();
          BlendRect(dc, dc, inner, POINT{inner.left, inner.top}, TBlendMode::bmConstantAlphaAndColor,
                    FSelectionBlendFactor, static_cast<int>(ColorToRGB(fill)));
          canvas->Brush()->SetColor(border);
          canvas->FrameRect(inner);
        } else {
          canvas->Brush()->SetColor(fill);
          canvas->Pen()->SetColor(border);
          canvas->Pen()->SetStyle(TPenStyle::psSolid);
          const int radius = static_cast<int>(FSelectionCurveRadius);
          canvas->RoundRect(inner.left, inner.top, inner.right, inner.bottom, radius, radius);
        }
      }
    }
  }
  if (hotCell) {
    const bool selected = node->StateBits.Contains(NS::nsSelected) && !paint.Contains(PO::toAlwaysHideSelection);
    DrawTreeItem(theme, canvas->Handle(), selected ? TREIS_HOTSELECTED : TREIS_HOT, fullRow ? row : inner);
  }
  const bool anyColumn = explorer && fullRow && !selection.Contains(SO::toExtendedFocus);
  if (node == FFocusedNode && (PaintInfo.Column == FFocusedColumn || anyColumn) &&
      PaintInfo.PaintOptions.Contains(IPO::ppFocusRect) && focused) {
    RECT focus = explorer && fullRow ? row : gridExtensions ? PaintInfo.CellRect : inner;
    if (explorer) InflateRect(&focus, -1, -1);
    if (!IsRectEmpty(&focus)) {
      HDC dc = canvas->Handle();
      const COLORREF text = SetTextColor(dc, RGB(255, 255, 255));
      const COLORREF back = SetBkColor(dc, RGB(0, 0, 0));
      DrawFocusRect(dc, &focus);
      SetTextColor(dc, text);
      SetBkColor(dc, back);
    }
  }
}

// Blended: the part inside Target mixed with the blend colour and framed;
// else a dotted focus frame.
void TBaseVirtualTree::RenderSelectionFrame(TCanvas* Canvas, int32_t WindowLeft, const RECT& SelectionRect,
                                            const RECT& Target) {
  (void)WindowLeft;
  HDC dc = Canvas->Handle();
  const bool blended = (FDrawSelectionMode == TVTDrawSelectionMode::smBlendedRectangle ||
                        FStates.Contains(TS::tsUseThemes)) &&
                       MMXAvailable();
  if (blended) {
    RECT part;
    if (IntersectRect(&part, &SelectionRect, &Target))
      BlendRect(dc, dc, part, POINT{part.left, part.top}, TBlendMode::bmConstantAlphaAndColor, FSelectionBlendFactor,
                static_cast<int>(ColorToRGB(FColors->SelectionRectangleBlendColor())));
    TGdiObject brush(CheckGDI(CreateSolidBrush(ColorToRGB(FColors->SelectionRectangleBorderColor()))));
    FrameRect(dc, &SelectionRect, static_cast<HBRUSH>(brush.Get()));
  } else {
    const COLORREF text = SetTextColor(dc, RGB(255, 255, 255));
    const COLORREF back = SetBkColor(dc, RGB(0, 0, 0));
    DrawFocusRect(dc, &SelectionRect);
    SetTextColor(dc, text);
    SetBkColor(dc, back);
  }
}

// The part of the selection frame over Height pixels of content from Top,
// on a canvas whose origin is the window's left edge at that top.
void TBaseVirtualTree::PaintSelectionFrame(TCanvas* Canvas, const RECT& Window, int32_t Top, int32_t Height) {
  if (!FStates.Contains(TS::tsDrawSelPending) && !FStates.Contains(TS::tsDrawSelecting)) return;
  RECT frame = OrderRect(FNewSelRect);
  if (IsRectEmpty(&frame)) return;
  OffsetRect(&frame, -Window.left, -Top);
  const RECT target{0, 0, Window.right - Window.left, Height};
  RECT overlap;
  if (!IntersectRect(&overlap, &frame, &target)) return;
  // The frame's edges outside the strip stay outside it.
  TSavedDCGuard saved(Canvas->Handle());
  IntersectClipRect(Canvas->Handle(), target.left, target.top, target.right, target.bottom);
  RenderSelectionFrame(Canvas, Window.left, frame, target);
}

void TBaseVirtualTree::RenderDropMark(TCanvas* Canvas, PVirtualNode Node, RECT R) {
  (void)Node;
  if (FLastDropMode != TVTDropMode::dmAbove && FLastDropMode != TVTDropMode::dmBelow) return;
  const LONG L = R.left, T = R.top, Rr = R.right, B = R.bottom;
  POINT points[6];
  if (FLastDropMode == TVTDropMode::dmAbove) {
    const POINT p[6] = {{L + 2, T}, {Rr - 2, T}, {Rr - 2, T + 6}, {Rr - 6, T + 2}, {L + 6, T + 2}, {L + 2, T + 6}};
    std::copy(p, p + 6, points);
  } else {
    const POINT p[6] = {{L + 2, B - 1}, {Rr - 2, B - 1}, {Rr - 2, B - 8}, {Rr - 7, B - 3}, {L + 7, B - 3}, {L + 2, B - 8}};
    std::copy(p, p + 6, points);
  }
  HDC dc = Canvas->Handle();
  TGdiObject brush(CheckGDI(CreateSolidBrush(ColorToRGB(FColors->DropMarkColor()))));
  TSelectObjectGuard b(dc, brush.Get());
  TSelectObjectGuard p(dc, GetStockObject(NULL_PEN));
  Polygon(dc, points, 6);
}

// --- the whole tree --------------------------------------------------------------------------------------

void TBaseVirtualTree::EnsureRowBitmap(int32_t Width, int32_t Height) {
  if (FRowBitmap && FRowBitmapWidth == Width && FRowBitmapHeight >= Height) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = std::max(Width, 1);
  info.bmiHeader.biHeight = -std::max(Height, 1);
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  FRowBitmap.Reset(CheckGDI(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0)));
  FRowBitmapWidth = Width;
  FRowBitmapHeight = std::max(Height, 1);
}

void TBaseVirtualTree::RenderTree(TCanvas* Target, RECT Window, POINT TargetPoint, TVTInternalPaintOptions Options,
                                  int BitsPerPixel) {
  (void)BitsPerPixel;  // rows are always drawn in 32 bits, which blending needs
  if (FStates.Contains(TS::tsPainting)) return;
  // Asked once: every cell shows the focus as it was when painting began.
  FPaintFocused = Focused();
  FStates.Include(TS::tsPainting);
  struct LeavePainting {
    TVirtualTreeStates& States;
    ~LeavePainting() { States.Exclude(TS::tsPainting); }
  } leave{FStates};
  FireEvent(OnBeforePaint, this, Target);

  const int32_t width = Window.right - Window.left;
  const int32_t height = Window.bottom - Window.top;
  if (width <= 0 || height <= 0) {
    FireEvent(OnAfterPaint, this, Target);
    return;
  }
  const TVTPaintOptions paint = FOptions->PaintOptions();
  const TVTSelectionOptions selection = FOptions->SelectionOptions();
  if (paint.Contains(PO::toAlwaysHideSelection) || (!FPaintFocused && paint.Contains(PO::toHideSelection)))
    Options.Exclude(IPO::ppSelection);
  if (paint.Contains(PO::toHideFocusRect)) Options.Exclude(IPO::ppFocusRect);
  TCustomImageList* checkImages = FOptions->MiscOptions().Contains(MO::toCheckSupport) ? CheckImages() : nullptr;
  TVirtualTreeColumns* columns = FHeader->Columns();
  const bool haveColumns = columns->Count() > 0;
  const TColumnIndex mainColumn = FHeader->MainColumn();
  const int32_t indent = static_cast<int32_t>(FIndent);
  const SIZE button = ButtonSize();

  // Through the position cache while it is valid: the first row is found
  // as fast at the end of a million rows as at the top.
  int32_t nodeTop = 0;
  PVirtualNode node = NodeAtPosition(0, std::max<int32_t>(Window.top, 0), false, &nodeTop);
  int32_t targetY = TargetPoint.y + static_cast<int32_t>(nodeTop) - Window.top;
  const int32_t targetBottom = TargetPoint.y + height;

  TMemoryDC rowDC(Target->Handle());
  TCanvas rowCanvas;
  TLineImage lineImage;
  if (node) {
    EnsureRowBitmap(width, node->NodeHeight);
    TSelectObjectGuard rowSelect(rowDC.Get(), FRowBitmap.Get());
    rowCanvas.SetHandle(rowDC.Get());
    rowCanvas.Font()->Assign(Font());
    SetBkMode(rowDC.Get(), TRANSPARENT);
    while (node && targetY < targetBottom) {
      InitNode(node);
      if (!node->StateBits.Contains(NS::nsHeightMeasured)) {
        node->StateBits.Include(NS::nsHeightMeasured);
        int32_t measured = node->NodeHeight;
        FireEvent(OnMeasureItem, this, &rowCanvas, node, measured);
        if (measured != node->NodeHeight) SetNodeHeight(node, static_cast<uint32_t>(std::max(measured, 0)));
      }
      const int32_t h = node->NodeHeight;
      bool paintIt = true;
      if (Options.Contains(IPO::ppSelectedOnly)) {
        paintIt = !ChildrenAbove() && node->StateBits.Contains(NS::nsSelected);
        for (PVirtualNode run = node->Parent; !paintIt && run && run != FRoot; run = run->Parent)
          paintIt = run->StateBits.Contains(NS::nsSelected);
      }
      if (paintIt && h > 0) {
        BuildLineImage(node, lineImage);
        const int32_t levelCount = static_cast<int32_t>(lineImage.size());
        int32_t buttonX = RoundHalfEven(indent - button.cx, 2);
        if (!paint.Contains(PO::toFixedIndent)) buttonX += std::max(levelCount - 1, 0) * indent;

        if (FRowBitmapHeight < h) {
          rowCanvas.SetHandle(nullptr);
          rowSelect.Restore();
          EnsureRowBitmap(width, h);
          rowSelect.Select(rowDC.Get(), FRowBitmap.Get());
          rowCanvas.SetHandle(rowDC.Get());
          SetBkMode(rowDC.Get(), TRANSPARENT);
        }
        SetBrushOrgEx(rowDC.Get(), Window.left & 1, static_cast<int>(nodeTop & 1), nullptr);

        int32_t imageHeight = 0;
        if (FImages) imageHeight = FImages->Height();
        else if (FStateImages) imageHeight = FStateImages->Height();
        else if (paint.Contains(PO::toShowButtons)) imageHeight = button.cy;
        int32_t vAlign = 0;
        const int32_t align = node->VerticalAlign;
        switch (FNodeAlignment) {
          case TVTNodeAlignment::naFromBottom: vAlign = h - align; break;
          case TVTNodeAlignment::naFromTop: vAlign = align; break;
          case TVTNodeAlignment::naProportional:
            vAlign = imageHeight ? MulDiv(h - imageHeight, align, 100) + imageHeight / 2 : MulDiv(h, align, 100);
            break;
        }
        TVTPaintInfo info;
        info.Canvas = &rowCanvas;
        info.Node = node;
        info.VAlign = vAlign;
        info.ButtonX = buttonX;
        info.ButtonY = vAlign - button.cy / 2;

        const RECT itemRect{0, 0, width, h};
        bool customDraw = false;
        FireEvent(OnBeforeItemPaint, this, &rowCanvas, node, itemRect, customDraw);
        if (!customDraw) {
          info.PaintOptions = Options;
          EraseRow(info, RECT{TargetPoint.x, targetY, TargetPoint.x + width, targetY + h}, width);
          TColumnIndex column = haveColumns ? columns->FirstShownColumn() : NoColumn;
          const bool anyColumn = !haveColumns || column != InvalidColumn;
          while (anyColumn) {
            TColumnIndex spanEnd = column;
            info.Column = column;
            info.PaintOptions = Options;
            const bool isMain = !haveColumns || column == mainColumn;
            TVirtualTreeColumn* item = haveColumns ? columns->Items(column) : nullptr;
            if (item) {
              info.Alignment = item->Alignment();
              info.BidiMode = item->BiDiMode();
              info.Position = item->Position();
              info.CellRect = RECT{item->Left() - Window.left, 0, item->Left() + item->Width() - Window.left, h};
              // A text runs on over the empty cells after it.
              int32_t left = info.CellRect.left, right = info.CellRect.right;
              SpanCell(node, column, left, right, false, &spanEnd);
              info.CellRect.right = right;
            } else {
              info.Alignment = FAlignment;
              info.BidiMode = BiDiMode();
              info.Position = 0;
              info.CellRect = RECT{-Window.left, 0, std::max<int32_t>(FRangeX, Window.right) - Window.left, h};
            }
            const bool rtl = info.BidiMode != TBiDiMode::bdLeftToRight;
            if (rtl) {
              if (info.Alignment == TAlignment::taLeftJustify) info.Alignment = TAlignment::taRightJustify;
              else if (info.Alignment == TAlignment::taRightJustify) info.Alignment = TAlignment::taLeftJustify;
            }
            if (FStates.Contains(TS::tsEditing) && node == FFocusedNode && column == FFocusedColumn)
              info.PaintOptions.Exclude(IPO::ppSelection);
            if (!haveColumns ||
                (node->StateBits.Contains(NS::nsSelected) && selection.Contains(SO::toFullRowSelect) &&
                 info.PaintOptions.Contains(IPO::ppSelection)) ||
                (item && item->Options().Contains(TVTColumnOption::coParentColor)))
              info.PaintOptions.Exclude(IPO::ppColumnColors);
            const bool skip = (item && !item->IsVisible()) || (Options.Contains(IPO::ppMainColumnOnly) && !isMain);
            if (!skip && info.CellRect.right > 0) {
              info.NodeWidth = NodeContentWidth(node, column, &rowCanvas);
              info.ContentRect = info.CellRect;
              if (rtl) info.ContentRect.right -= FMargin;
              else info.ContentRect.left += FMargin;
              for (TVTImageInfo& slot : info.ImageInfo) slot = TVTImageInfo{};
              int32_t x = rtl ? info.ContentRect.right : info.ContentRect.left;
              auto place = [&](TVTImageInfoIndex slot, TCustomImageList* list) {
                TVTImageInfo& image = info.ImageInfo[slot];
                image.Images = list;
                image.XPos = rtl ? x - list->Width() : x;
                image.YPos = vAlign - list->Height() / 2;
                x += rtl ? -(list->Width() + 2) : list->Width() + 2;
              };
              if (isMain && checkImages) {
                const int32_t index = CheckImageIndexFor(node);
                if (index >= 0) {
                  info.ImageInfo[iiCheck].Index = index;
                  place(iiCheck, checkImages);
                }
              }
              if (FStateImages) {
                FetchImageIndex(info, TVTImageKind::ikState, FStateImages, iiState);
                if (info.ImageInfo[iiState].Index >= 0 && info.ImageInfo[iiState].Images) place(iiState, info.ImageInfo[iiState].Images);
              }
              if (FImages) {
                FetchImageIndex(info, node->StateBits.Contains(NS::nsSelected) ? TVTImageKind::ikSelected : TVTImageKind::ikNormal,
                                FImages, iiNormal);
                if (info.ImageInfo[iiNormal].Index >= 0 && info.ImageInfo[iiNormal].Images) place(iiNormal, info.ImageInfo[iiNormal].Images);
              }
              if (rtl) info.ContentRect.right = x;
              else info.ContentRect.left = x;
              if (isMain) {
                const int32_t shift = paint.Contains(PO::toFixedIndent) ? indent : indent * levelCount;
                const int32_t move = rtl ? -shift : shift;
                if (rtl) info.ContentRect.right += move;
                else info.ContentRect.left += move;
                for (int slot = iiNormal; slot <= iiCheck; ++slot) info.ImageInfo[slot].XPos += move;
              }
              HRGN clip = nullptr;
              if (haveColumns) {
                clip = CreateRectRgnIndirect(&info.CellRect);
                SelectClipRgn(rowDC.Get(), clip);
                DeleteObject(clip);
              }
              // Grid lines take the cell's last row and column.
              if (info.PaintOptions.Contains(IPO::ppGridLines) && paint.Contains(PO::toShowHorzGridLines)) {
                rowCanvas.Font()->SetColor(FColors->GridLineColor());
                int32_t left = info.CellRect.left, right = info.CellRect.right - 1;
                if (isMain && FLineMode == TVTLineMode::lmBands) {
                  const int32_t bands = paint.Contains(PO::toFixedIndent) ? indent : levelCount * indent;
                  if (rtl) right -= bands;
                  else left += bands;
                }
                FillLineH(&rowCanvas, left, info.CellRect.bottom - 1, right);
                --info.CellRect.bottom;
                --info.ContentRect.bottom;
              }
              if (haveColumns && info.PaintOptions.Contains(IPO::ppGridLines) && paint.Contains(PO::toShowVertGridLines) &&
                  (!FHeader->Options().Contains(TVTHeaderOption::hoAutoResize) ||
                   item->Position() < static_cast<TColumnPosition>(columns->Count() - 1))) {
                rowCanvas.Font()->SetColor(FColors->GridLineColor());
                FillLineV(&rowCanvas, info.CellRect.top, info.CellRect.right - 1, info.CellRect.bottom - 1);
                --info.CellRect.right;
                --info.ContentRect.right;
              }
              RenderCellBackground(info, Window.left, width);
              if (isMain) {
                if (paint.Contains(PO::toShowTreeLines))
                  RenderTreeLines(info, vAlign, paint.Contains(PO::toFixedIndent) ? 1 : levelCount, lineImage);
                if (paint.Contains(PO::toShowButtons) && node->StateBits.Contains(NS::nsHasChildren) &&
                    !(FOptions->AutoOptions().Contains(TVTAutoOption::toAutoHideButtons) &&
                      node->StateBits.Contains(NS::nsAllChildrenHidden)))
                  RenderExpandButton(&rowCanvas, node, rtl, info.ButtonY, buttonX, info.CellRect);
                if (info.ImageInfo[iiCheck].Index >= 0) RenderCheckImage(info);
              }
              RenderNodeImage(info, iiState, false);
              RenderNodeImage(info, iiNormal, true);
              rowCanvas.Font()->Assign(Font());
              // The canvas makes the mode opaque whenever its brush changes.
              SetBkMode(rowDC.Get(), TRANSPARENT);
              if (!(FStates.Contains(TS::tsEditing) && node == FFocusedNode && column == FFocusedColumn))
                RenderNodeContent(info);
              FireEvent(OnAfterCellPaint, this, &rowCanvas, node, column, info.CellRect);
              if (haveColumns) SelectClipRgn(rowDC.Get(), nullptr);
            }
            if (!haveColumns || info.CellRect.right >= width) break;
            column = columns->ShownColumnAfter(spanEnd);
            if (column == InvalidColumn) break;
          }
          rowCanvas.Font()->Assign(Font());
          FireEvent(OnAfterItemPaint, this, &rowCanvas, node, itemRect);
          if (node == FDropTargetNode && paint.Contains(PO::toShowDropmark) && Options.Contains(IPO::ppDropMark))
            RenderDropMark(&rowCanvas, node, itemRect);
        }
        PaintSelectionFrame(&rowCanvas, Window, nodeTop, h);
        BitBlt(Target->Handle(), TargetPoint.x, targetY, width, h, rowDC.Get(), 0, 0, SRCCOPY);
      }
      targetY += h;
      nodeTop += h;
      node = NextVisibleNode(node, true);
    }
    rowCanvas.SetHandle(nullptr);
  }
  if (targetY < targetBottom) {
    const int32_t skipped = std::max<int32_t>(TargetPoint.y - targetY, 0);
    PaintAreaBelow(Target, Window, TargetPoint.x, targetY + skipped, targetBottom - targetY - skipped, Options,
                   nodeTop + skipped);
  }
  FireEvent(OnAfterPaint, this, Target);
}

void TBaseVirtualTree::PaintAreaBelow(TCanvas* Target, const RECT& Window, int32_t TargetX, int32_t TargetY,
                                      int32_t Height, const TVTInternalPaintOptions& Options, int32_t ContentTop) {
  const int32_t width = Window.right - Window.left;
  if (Height <= 0 || width <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -Height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  TGdiObject bitmap(CheckGDI(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0)));
  TMemoryDC dc(Target->Handle());
  TSelectObjectGuard select(dc.Get(), bitmap.Get());
  TCanvas canvas;
  canvas.SetHandle(dc.Get());
  const RECT area{0, 0, width, Height};
  bool handled = false;
  FireEvent(OnPaintBackground, this, &canvas, area, handled);
  if (!handled && BackgroundShown(Options)) {
    PaintBackground(dc.Get(), area, POINT{TargetX, TargetY}, POINT{-FOffsetX, TargetY});
  } else if (!handled) {
    TVirtualTreeColumns* columns = FHeader->Columns();
    FillSolid(dc.Get(), area, Color());
    if (columns->Count() > 0) {
      const TVTPaintOptions paint = FOptions->PaintOptions();
      const bool grid = Options.Contains(IPO::ppGridLines) && paint.Contains(PO::toShowVertGridLines) &&
                        paint.Contains(PO::toFullVertGridLines);
      // Content rows keep their parity, so dotted grid lines go on below them.
      SetBrushOrgEx(dc.Get(), Window.left & 1, ContentTop & 1, nullptr);
      for (TColumnIndex column : columns->ShownColumns()) {
        TVirtualTreeColumn* item = columns->Items(column);
        RECT r{item->Left() - Window.left, 0, item->Left() + item->Width() - Window.left, Height};
        if (r.right <= 0 || r.left >= width) continue;
        FillSolid(dc.Get(), r, item->Options().Contains(TVTColumnOption::coParentColor) ? Color() : item->Color());
        if (grid && (!FHeader->Options().Contains(TVTHeaderOption::hoAutoResize) ||
                     item->Position() < static_cast<TColumnPosition>(columns->Count() - 1))) {
          canvas.Font()->SetColor(FColors->GridLineColor());
          FillLineV(&canvas, 0, r.right - 1, Height - 1);
        }
      }
    }
  }
  PaintSelectionFrame(&canvas, Window, ContentTop, Height);
  canvas.SetHandle(nullptr);
  BitBlt(Target->Handle(), TargetX, TargetY, width, Height, dc.Get(), 0, 0, SRCCOPY);
}

void TBaseVirtualTree::Paint() {
  TCanvas* canvas = Canvas();
  const RECT update = canvas->ClipRect();
  if (IsRectEmpty(&update)) return;
  RenderClientArea(canvas, update, POINT{update.left, update.top}, 0);
}

void TBaseVirtualTree::RenderClientArea(TCanvas* Target, const RECT& Area, POINT TargetPoint, int32_t ShiftY) {
  TVirtualTreeColumns* columns = FHeader->Columns();
  const int32_t fixed = FHeader->Options().Contains(TVTHeaderOption::hoVisible) ? columns->FixedAreaWidth() : 0;
  const LONG top = Area.top - FOffsetY + ShiftY, bottom = Area.bottom - FOffsetY + ShiftY;
  if (fixed > 0) {
    // The fixed columns do not scroll sideways.
    if (Area.left < fixed) {
      RECT window{Area.left, top, std::min<LONG>(Area.right, fixed), bottom};
      RenderTree(Target, window, TargetPoint, WindowPaintOptions);
    }
    if (Area.right > fixed) {
      const LONG left = std::max<LONG>(Area.left, fixed);
      RECT window{left - FOffsetX, top, Area.right - FOffsetX, bottom};
      RenderTree(Target, window, POINT{TargetPoint.x + left - Area.left, TargetPoint.y}, WindowPaintOptions);
    }
  } else {
    RECT window{Area.left - FOffsetX, top, Area.right - FOffsetX, bottom};
    RenderTree(Target, window, TargetPoint, WindowPaintOptions);
  }
}

// --- the frame and the window's painting messages -------------------------------------------------------

void TBaseVirtualTree::RenderBorder(HDC DC) {
  RECT window, client;
  GetWindowRect(Handle(), &window);
  GetClientRect(Handle(), &client);
  MapWindowPoints(Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -window.left, -window.top);
  // The header lies between the frame and the client area.
  if (FHeader->Options().Contains(TVTHeaderOption::hoVisible)) client.top -= FHeader->Height();
  PaintFrame(DC, client, FColors->BorderColor());
}

bool TBaseVirtualTree::DispatchPaintMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCPAINT: {
      // The system's border and scroll bars, then the frame and the header.
      TVirtualTreeBase::DefaultHandler(Message);
      const TWindowDC dc(Handle(), TWindowDC::WholeWindow);
      RenderBorder(dc.Get());
      PaintHeader(dc.Get());
      return true;
    }
    case WM_PRINTCLIENT:
      if ((Message.LParam & PRF_CHECKVISIBLE) && !IsWindowVisible(Handle())) {
        Message.Result = 0;
        return true;
      }
      return false;
    case CM_BIDIMODECHANGED: {
      TVirtualTreeBase::Dispatch(Message);
      TVirtualTreeColumns* columns = FHeader->Columns();
      for (int i = 0; i < columns->Count(); ++i) columns->Items(i)->TakeParentBiDiMode();
      if (FOptions->AutoOptions().Contains(TVTAutoOption::toAutoBidiColumnOrdering)) {
        // The display order turns round: the last position becomes the first.
        const TIndexArray order = columns->PositionToIndex();
        for (size_t i = order.size(); i-- > 0;)
          columns->Items(order[i])->SetPosition(static_cast<TColumnPosition>(order.size() - 1 - i));
      }
      FHeader->RecalcHeaderLayout();
      // The same content position, counted from the other side.
      FEffectiveOffsetX = UseRightToLeftAlignment() ? std::max(0, FRangeX + FOffsetX - ClientWidth()) : -FOffsetX;
      if (HandleAllocated()) {
        UpdateScrollBars(true);
        RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOERASE | RDW_NOCHILDREN);
      }
      return true;
    }
    default:
      return false;
  }
}
