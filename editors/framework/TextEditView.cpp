// The text editors' view: what the text looks like when the container
// paints it (the inner EDIT does not show it), the size a text needs and
// the selection colours.
//
// The text is laid out by the shared text layout routines (DrawTextUtils.h)
// once per view calculation; painting draws the kept rows with the selection.
#include "editors/framework/TextEdit.h"

#include "editors/framework/EditPaintUtils.h"
#include "editors/framework/EditUtils.h"
#include "foundation/Graphics.h"

#include <algorithm>

const TClassInfo TcxCustomTextEditViewInfo::ClassInfo{"TcxCustomTextEditViewInfo", &TcxCustomEditViewInfo::ClassInfo,
                                                      nullptr};
const TClassInfo TcxCustomTextEditViewData::ClassInfo{"TcxCustomTextEditViewData", &TcxCustomEditViewData::ClassInfo,
                                                      nullptr};

namespace {

// The inverse of a colour, taken after system colours and the default
// colour became RGB.
TColor InverseOf(TColor color) { return static_cast<TColor>(ColorToRGB(color) ^ 0xFFFFFF); }

}  // namespace

// -- View info ---------------------------------------------------------------------------------

void TcxCustomTextEditViewInfo::TakeOverFrom(TObject* other) {
  TcxCustomEditViewInfo::TakeOverFrom(other);
  auto* o = dynamic_cast<TcxCustomTextEditViewInfo*>(other);
  if (!o) return;
  ComboStyle = o->ComboStyle;
  SelectionBar = o->SelectionBar;
  TextFlags = o->TextFlags;
  EditingStyle = o->EditingStyle;
  PopupOpen = o->PopupOpen;
  EditShowsValue = o->EditShowsValue;
  MaxLineCount = o->MaxLineCount;
  SelStart = o->SelStart;
  SelLength = o->SelLength;
  SelTextColor = o->SelTextColor;
  SelBackgroundColor = o->SelBackgroundColor;
  Text = o->Text;
  TextRect = o->TextRect;
  // The other view's rows point into its own text: lay out again.
  TextRows.clear();
  TextRowCount = 0;
  TextOutInitialized = false;
}

void TcxCustomTextEditViewInfo::ShiftRects(int dx, int dy) {
  TcxCustomEditViewInfo::ShiftRects(dx, dy);
  OffsetRect(&TextRect, dx, dy);
  if (!TextOutInitialized) return;
  OffsetRect(&TextOutRect, dx, dy);
  for (TcxTextRow& row : TextRows) {
    row.X += dx;
    row.Y += dy;
  }
}

void TcxCustomTextEditViewInfo::PaintContent(TcxCanvas* canvas) {
  TcxCustomEditViewInfo::PaintContent(canvas);
  RECT r = ClientRect;
  if (!InPlace && EditingStyle != tesNoEdit && !NoBackground && (!NativeStyle || SelectionBar)) {
    FillRectWithColor(canvas, r, BackgroundColor);
    InflateRect(&r, -1, -1);
  } else if (!InPlace) {
    InflateRect(&r, -1, -1);
  }
  if (OwnerDrawEvent) {
    OwnerDrawEvent(this, canvas);
  } else {
    if (SelectionBar) FillRectWithColor(canvas, r, clHighlight);
    if (!InnerEditPresent || !EditShowsValue) PaintText(canvas);
  }
  if (!EditShowsValue && IsFocused && !InPlace && !PopupOpen) {
    canvas->GetFont()->SetColor(SelectionBar ? clHighlightText : clBtnText);
    HDC dc = canvas->GetDeviceContext();
    SetTextColor(dc, ColorToRGB(SelectionBar ? clHighlightText : clBtnText));
    SetBkColor(dc, ColorToRGB(SelectionBar ? clHighlight : BackgroundColor));
    DrawFocusRect(dc, &r);
  }
}

void TcxCustomTextEditViewInfo::LayoutTextOut(HDC dc) {
  InitLayoutParams(dc, TextFlags, TextParams);
  TextOutRect = TextRect;
  TextRows.clear();
  TextRowCount = 0;
  LayoutRows(dc, Text, TextOutRect, TextParams, TextRows, TextRowCount, std::max(MaxLineCount, 0));
  PlaceRows(dc, TextOutRect, TextParams, TextRowCount, TextRows);
  TextOutInitialized = true;
}

void TcxCustomTextEditViewInfo::PaintText(TcxCanvas* canvas) {
  if (Text.empty()) return;
  HDC dc = canvas->GetDeviceContext();
  if (TextFont) canvas->SetFont(TextFont);
  const TColor color = SelectionBar ? clHighlightText : PaintTextColor;
  canvas->GetFont()->SetColor(color);
  HGDIOBJ oldFont = SelectObject(dc, canvas->GetFont()->Handle());
  const COLORREF oldColor = SetTextColor(dc, ColorToRGB(color));
  if (!TextOutInitialized) LayoutTextOut(dc);
  const int length = static_cast<int>(Text.size());
  const int start = std::clamp(SelStart, 0, length);
  const int count = std::clamp(SelLength, 0, length - start);
  DrawRows(dc, TextOutRect, TextParams, ForceEndEllipsis, SelTextColor, count > 0 ? SelBackgroundColor : clNone,
           count, start, TextRowCount, TextRows);
  SetTextColor(dc, oldColor);
  SelectObject(dc, oldFont);
}

// -- View data -----------------------------------------------------------------------------------

bool TcxCustomTextEditViewData::EditShowsValueItself() { return Edit ? Edit->InnerEditShowsValue() : false; }

uint32_t TcxCustomTextEditViewData::TextDrawFlags() {
  uint32_t flags = cxtfSingleLine | cxtfTopBound | cxtfLeftBound;
  TcxEditAlignment* alignment = Properties ? Properties->Alignment() : nullptr;
  if (alignment) {
    if (alignment->Horz() == taRightJustify) flags |= cxtfRight;
    else if (alignment->Horz() == taCenter) flags |= cxtfCenterHorz;
    if (alignment->Vert() == taBottomJustify) flags |= cxtfBottom;
    else if (alignment->Vert() == taVCenter) flags |= cxtfCenterVert;
  }
  return flags;
}

RECT TcxCustomTextEditViewData::TextMarginsRect() {
  RECT margins = TextOffsets();
  auto* p = TextProperties();
  const int style = p ? p->EditingStyle() : 0;
  if (!InPlace && (style == tesFixedList || style == tesNoEdit)) {
    if (p->Alignment()->Horz() == taRightJustify)
      ++margins.right;
    else
      ++margins.left;
    if (p->Alignment()->Vert() == taTopJustify) {
      ++margins.top;
      --margins.bottom;
    }
  }
  return margins;
}

void TcxCustomTextEditViewData::FillViewInfo(TcxCanvas* canvas, const RECT& bounds, bool keepPressed,
                                             TcxCustomEditViewInfo* viewInfo, TShiftState shift,
                                             TcxEditMouseEvent mouseEvent, POINT p) {
  TcxCustomEditViewData::FillViewInfo(canvas, bounds, keepPressed, viewInfo, shift, mouseEvent, p);
  auto* info = dynamic_cast<TcxCustomTextEditViewInfo*>(viewInfo);
  if (!info) return;
  info->SelectionBar = false;
  info->EditingStyle = TextProperties() ? TextProperties()->EditingStyle() : 0;
  info->EditShowsValue = EditShowsValueItself();
  info->PopupOpen = false;
  const RECT margins = TextMarginsRect();
  RECT text = info->ClientRect;
  text.left += margins.left;
  text.top += margins.top;
  text.right -= margins.right;
  text.bottom -= margins.bottom;
  if (!InPlace && canvas) {
    canvas->SetFont(Style->GetFont());
    const int row = canvas->HeightOfText("Zg");
    if (text.bottom - text.top < row) text.bottom = std::min<LONG>(text.top + row, info->ClientRect.bottom);
  }
  info->TextRect = text;
  info->MaxLineCount = MaxLineCount();
  info->TextFlags = TextDrawFlags();
  info->TextOutInitialized = false;
  info->ComboStyle = IsComboFamily();
  FillTextInfo(info);
}

void TcxCustomTextEditViewData::FillTextInfo(TcxCustomTextEditViewInfo* viewInfo) {
  AnsiString text = HideText || DisplayValue.IsEmpty() || DisplayValue.IsNull() ? AnsiString() : DisplayValue.AsString();
  if (!HideText && TextProperties()) TextProperties()->MaskPasswordText(text);
  viewInfo->Text = text;
  viewInfo->SelStart = SelStart;
  viewInfo->SelLength = SelLength;
  if (SelLength == 0) return;
  if (SelTextColor == clDefault && SelBackgroundColor == clDefault) {
    if (Style->GetColor() == clHighlight) {
      viewInfo->SelTextColor = static_cast<TColor>(0xFFFFFF);
      viewInfo->SelBackgroundColor = static_cast<TColor>(0);
    } else {
      viewInfo->SelTextColor = clHighlightText;
      viewInfo->SelBackgroundColor = clHighlight;
    }
  } else if (SelBackgroundColor == clDefault) {
    viewInfo->SelTextColor = SelTextColor;
    viewInfo->SelBackgroundColor = InverseOf(SelTextColor);
  } else {
    viewInfo->SelBackgroundColor = SelBackgroundColor;
    viewInfo->SelTextColor = SelTextColor == clDefault ? InverseOf(SelBackgroundColor) : SelTextColor;
  }
}

SIZE TcxCustomTextEditViewData::DefaultContentSize(TcxCanvas* canvas) {
  if (!canvas) return SIZE{0, 0};
  canvas->SetFont(Style->GetFont());
  const RECT offsets = TextOffsets();
  const AnsiString text = DisplayValue.IsEmpty() || DisplayValue.IsNull() ? AnsiString() : DisplayValue.AsString();
  const int width = text.empty() ? 0 : canvas->WidthOfText(text);
  return SIZE{width, offsets.top + offsets.bottom + canvas->HeightOfText("Zg")};
}
