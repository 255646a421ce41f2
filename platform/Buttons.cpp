#include "platform/Buttons.h"

#include "platform/ControlsProperties.h"
#include "platform/ImageList.h"

#include <algorithm>

const TClassInfo TBitBtn::ClassInfo{"TBitBtn", &TButton::ClassInfo, [](TObject* owner) -> TObject* {
                                      return new TBitBtn(static_cast<TComponent*>(owner));
                                    }};
const TClassInfo TSpeedButton::ClassInfo{"TSpeedButton", &TGraphicControl::ClassInfo, [](TObject* owner) -> TObject* {
                                           return new TSpeedButton(static_cast<TComponent*>(owner));
                                         }};

// -- Layout -----------------------------------------------------------------------

TButtonGlyphPlacement CalcButtonLayout(const RECT& client, SIZE glyph, SIZE text, TButtonLayout layout, int margin,
                                       int spacing) {
  const int width = client.right - client.left, height = client.bottom - client.top;
  const bool across = layout == blGlyphLeft || layout == blGlyphRight;
  POINT glyphPos{}, textPos{};
  // Centred across the layout's direction.
  if (across) {
    glyphPos.y = (height - glyph.cy + 1) / 2;
    textPos.y = (height - text.cy + 1) / 2;
  } else {
    glyphPos.x = (width - glyph.cx + 1) / 2;
    textPos.x = (width - text.cx + 1) / 2;
  }
  const int extent = across ? width : height;
  const int glyphSize = across ? glyph.cx : glyph.cy;
  const int textSize = across ? text.cx : text.cy;
  if (glyphSize == 0 || textSize == 0) spacing = 0;
  if (margin == -1) {
    if (spacing == -1) {
      margin = (extent - (glyphSize + textSize)) / 3;
      spacing = margin;
    } else {
      margin = (extent - (glyphSize + spacing + textSize) + 1) / 2;
    }
  } else if (spacing == -1) {
    spacing = (extent - (margin + glyphSize) - textSize) / 2;
  }
  int glyphAt = 0, textAt = 0;
  switch (layout) {
    case blGlyphLeft:
    case blGlyphTop:
      glyphAt = margin;
      textAt = glyphAt + glyphSize + spacing;
      break;
    case blGlyphRight:
    case blGlyphBottom:
      glyphAt = extent - margin - glyphSize;
      textAt = glyphAt - spacing - textSize;
      break;
  }
  (across ? glyphPos.x : glyphPos.y) = glyphAt;
  (across ? textPos.x : textPos.y) = textAt;
  TButtonGlyphPlacement placement;
  placement.GlyphPos = POINT{client.left + glyphPos.x, client.top + glyphPos.y};
  placement.TextBounds = RECT{client.left + textPos.x, client.top + textPos.y, client.left + textPos.x + text.cx,
                              client.top + textPos.y + text.cy};
  return placement;
}

// -- TButtonGlyph -----------------------------------------------------------------

TButtonGlyph::TButtonGlyph() { FOriginal.OnChange = TNotifyEvent::Bind<&TButtonGlyph::GlyphChanged>(this); }

TButtonGlyph::~TButtonGlyph() {
  FOriginal.OnChange = TNotifyEvent();
  ReleaseCells();
}

void TButtonGlyph::ReleaseCells() { FreeAndNil(FCells); }

void TButtonGlyph::GlyphChanged(TObject*) {
  ReleaseCells();
  FireEvent(OnChange, nullptr);
}

void TButtonGlyph::SetGlyph(TBitmap* value) {
  if (value && !value->Empty()) {
    FOriginal.Assign(value);
  } else {
    FOriginal.SetSize(0, 0);
  }
  const int width = FOriginal.Width(), height = FOriginal.Height();
  if (height > 0 && width % height == 0) {
    const int cells = width / height;
    SetNumGlyphs(cells <= 4 ? cells : 1);
  }
  GlyphChanged(nullptr);
}

void TButtonGlyph::SetNumGlyphs(int value) {
  value = std::clamp(value, 1, 4);
  if (FNumGlyphs == value) return;
  FNumGlyphs = value;
  GlyphChanged(nullptr);
}

SIZE TButtonGlyph::CellSize() {
  if (FOriginal.Empty()) return SIZE{0, 0};
  return SIZE{FOriginal.Width() / FNumGlyphs, FOriginal.Height()};
}

TCustomImageList* TButtonGlyph::Cells() {
  const SIZE cell = CellSize();
  if (FCells || cell.cx <= 0 || cell.cy <= 0) return FCells;
  FCells = New<TCustomImageList>(nullptr);
  try {
    FCells->SetSize(cell.cx, cell.cy);
    // The strip's bottom-left colour is its background.
    FCells->AddMasked(&FOriginal, FOriginal.TransparentColor());
  } catch (...) {
    ReleaseCells();
    throw;
  }
  return FCells;
}

RECT TButtonGlyph::Draw(TCanvas* canvas, const RECT& client, POINT offset, const AnsiString& caption,
                        TButtonLayout layout, int margin, int spacing, TButtonState state) {
  HDC dc = canvas->Handle();
  SIZE text{0, 0};
  if (!caption.empty()) {
    RECT measure{0, 0, client.right - client.left, 0};
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &measure, DT_CALCRECT | DT_SINGLELINE);
    text = SIZE{measure.right - measure.left, measure.bottom - measure.top};
  }
  TButtonGlyphPlacement placement = CalcButtonLayout(client, CellSize(), text, layout, margin, spacing);
  OffsetRect(&placement.TextBounds, offset.x, offset.y);
  if (TCustomImageList* cells = Cells()) {
    int index = static_cast<int>(state);
    if (index >= FNumGlyphs) index = 0;
    // Without a disabled cell the up cell is drawn embossed.
    const bool embossed = state == bsDisabled && index == 0;
    cells->Draw(canvas, placement.GlyphPos.x + offset.x, placement.GlyphPos.y + offset.y, index, !embossed);
  }
  if (!caption.empty()) {
    const TSavedDCGuard saved(dc);
    SetBkMode(dc, TRANSPARENT);
    const UINT flags = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    RECT r = placement.TextBounds;
    if (state == bsDisabled) {
      OffsetRect(&r, 1, 1);
      SetTextColor(dc, ColorToRGB(clBtnHighlight));
      DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &r, flags);
      OffsetRect(&r, -1, -1);
      SetTextColor(dc, ColorToRGB(clBtnShadow));
    } else {
      SetTextColor(dc, ColorToRGB(canvas->Font()->Color()));
    }
    DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &r, flags);
  }
  return placement.TextBounds;
}

// -- TBitBtn ------------------------------------------------------------------------

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner) {
  FCanvas.SetControl(this);
  FGlyph.OnChange = TNotifyEvent::Bind<&TBitBtn::GlyphChanged>(this);
}

void TBitBtn::CreateParams(TCreateParams& Params) {
  TButton::CreateParams(Params);
  // The control draws the face; the system still presses, focuses and clicks.
  Params.Style = (Params.Style & ~static_cast<DWORD>(BS_TYPEMASK)) | BS_OWNERDRAW;
}

void TBitBtn::SetLayout(TButtonLayout value) {
  if (FLayout == value) return;
  FLayout = value;
  Invalidate();
}

void TBitBtn::SetMargin(int value) {
  if (value == FMargin || value < -1) return;
  FMargin = value;
  Invalidate();
}

void TBitBtn::SetSpacing(int value) {
  if (value == FSpacing) return;
  FSpacing = value;
  Invalidate();
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& item) {
  const TCanvasPaintScope scope(FCanvas, item.hDC);
  HDC dc = item.hDC;
  const bool down = item.itemState & ODS_SELECTED;
  const bool focused = item.itemState & ODS_FOCUS;
  const bool disabled = (item.itemState & ODS_DISABLED) || !IsControlEnabled();
  RECT r = item.rcItem;
  if (focused || Default()) {
    // The default button's dark outline.
    FCanvas.Brush()->SetColor(clWindowFrame);
    FCanvas.FrameRect(r);
    InflateRect(&r, -1, -1);
  }
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0));
  InflateRect(&r, -2, -2);
  FCanvas.Font()->Assign(Font());
  FCanvas.Brush()->SetColor(clBtnFace);
  const POINT offset = down ? POINT{1, 1} : POINT{0, 0};
  FGlyph.Draw(&FCanvas, r, offset, Caption(), FLayout, FMargin, FSpacing,
              disabled ? bsDisabled : down ? bsDown : bsUp);
  if (focused) {
    RECT focus = item.rcItem;
    InflateRect(&focus, -4, -4);
    const TSavedDCGuard saved(dc);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &focus);
  }
}

void TBitBtn::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam));
      Message.Result = 1;
      return;
    case BM_SETSTYLE:
      // Becoming the default button must not make the system draw the face.
      Message.WParam = BS_OWNERDRAW;
      DefaultHandler(Message);
      Invalidate();
      return;
    case WM_LBUTTONDBLCLK:
      // An owner-drawn system button reports a double click instead of a
      // second click: the second press is pressed as the first.
      Message.Msg = WM_LBUTTONDOWN;
      break;
    case CM_ENABLEDCHANGED:
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
      TButton::Dispatch(Message);
      Invalidate();
      return;
    default:
      break;
  }
  TButton::Dispatch(Message);
}

// -- TSpeedButton -------------------------------------------------------------------

TSpeedButton::TSpeedButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle = {csCaptureMouse, csDoubleClicks};
  FWidth = 23;
  FHeight = 22;
  FColor = clBtnFace;
  FGlyph.OnChange = TNotifyEvent::Bind<&TSpeedButton::GlyphChanged>(this);
}

void TSpeedButton::SetAllowAllUp(bool value) {
  if (FAllowAllUp == value) return;
  FAllowAllUp = value;
  UpdateExclusive();
}

void TSpeedButton::SetGroupIndex(int value) {
  if (FGroupIndex == value) return;
  FGroupIndex = value;
  UpdateExclusive();
}

void TSpeedButton::SetDown(bool value) {
  if (FGroupIndex == 0) value = false;
  if (value == FDown) return;
  // The last button of a group stays down unless all may be up.
  if (FDown && !FAllowAllUp) return;
  FDown = value;
  if (value) {
    FState = bsExclusive;
    Invalidate();
    UpdateExclusive();
  } else {
    FState = bsUp;
    Invalidate();
  }
}

void TSpeedButton::SetFlat(bool value) {
  if (FFlat == value) return;
  FFlat = value;
  Invalidate();
}

void TSpeedButton::SetTransparent(bool value) {
  if (FTransparent == value) return;
  FTransparent = value;
  if (value) {
    FControlStyle.Exclude(csOpaque);
  } else {
    FControlStyle.Include(csOpaque);
  }
  Invalidate();
}

void TSpeedButton::SetLayout(TButtonLayout value) {
  if (FLayout == value) return;
  FLayout = value;
  Invalidate();
}

void TSpeedButton::SetMargin(int value) {
  if (value == FMargin || value < -1) return;
  FMargin = value;
  Invalidate();
}

void TSpeedButton::SetSpacing(int value) {
  if (value == FSpacing) return;
  FSpacing = value;
  Invalidate();
}

// Tells the other buttons of the parent that this one is down (they come
// up) and what AllowAllUp the group has.
void TSpeedButton::UpdateExclusive() {
  if (FGroupIndex == 0 || !FParent) return;
  TMessage message{CM_BUTTONPRESSED, static_cast<WPARAM>(FGroupIndex), reinterpret_cast<LPARAM>(this), 0};
  FParent->Broadcast(message);
}

void TSpeedButton::ButtonPressed(int group, TSpeedButton* sender) {
  if (group != FGroupIndex || !sender || sender == this) return;
  if (sender->FDown && FDown) {
    FDown = false;
    FState = bsUp;
    Invalidate();
  }
  FAllowAllUp = sender->FAllowAllUp;
}

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !IsControlEnabled()) return;
  if (!FDown) {
    FState = bsDown;
    Invalidate();
  }
  FDragging = true;
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (!FDragging) return;
  const bool inside = X >= 0 && X < FWidth && Y >= 0 && Y < FHeight;
  const TButtonState state = FDown ? bsExclusive : inside ? bsDown : bsUp;
  if (state == FState) return;
  FState = state;
  Invalidate();
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!FDragging || Button != mbLeft) return;
  FDragging = false;
  const bool click = X >= 0 && X < FWidth && Y >= 0 && Y < FHeight;
  if (FGroupIndex == 0) {
    FState = bsUp;
    Invalidate();
  } else if (click) {
    SetDown(!FDown);
    FState = FDown ? bsExclusive : bsUp;
    Invalidate();
  } else {
    FState = FDown ? bsExclusive : bsUp;
    Invalidate();
  }
  if (click) Click();
}

void TSpeedButton::Paint() {
  TCanvas* canvas = Canvas();
  HDC dc = canvas->Handle();
  RECT r{0, 0, FWidth, FHeight};
  const bool pushed = FState == bsDown || FState == bsExclusive;
  const bool enabled = IsControlEnabled();
  if (!FTransparent || !FFlat) {
    canvas->Brush()->SetColor(FColor);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(r);
  }
  if (!FFlat) {
    DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_ADJUSTRECT | (pushed ? DFCS_PUSHED : 0));
  } else {
    if (pushed || (FMouseInControl && enabled)) DrawEdge(dc, &r, pushed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    InflateRect(&r, -1, -1);
  }
  if (FState == bsExclusive && !(FFlat && FMouseInControl)) {
    // A button that stays down shows a dotted face of the face and
    // highlight colours.
    static const WORD dots[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    const TGdiObject pattern(CheckGDI(CreateBitmap(8, 8, 1, 1, dots)));
    const TGdiObject brush(CheckGDI(CreatePatternBrush(static_cast<HBITMAP>(pattern.Get()))));
    const TSavedDCGuard saved(dc);
    SetTextColor(dc, ColorToRGB(clBtnFace));
    SetBkColor(dc, ColorToRGB(clBtnHighlight));
    FillRect(dc, &r, static_cast<HBRUSH>(brush.Get()));
  }
  canvas->Font()->Assign(&FFont);
  const POINT offset = pushed ? POINT{1, 1} : POINT{0, 0};
  FGlyph.Draw(canvas, r, offset, Caption(), FLayout, FMargin, FSpacing, enabled ? FState : bsDisabled);
}

void TSpeedButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_BUTTONPRESSED:
      ButtonPressed(static_cast<int>(Message.WParam),
                    ObjectAs<TSpeedButton>(reinterpret_cast<TControl*>(Message.LParam)));
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      TGraphicControl::Dispatch(Message);
      if (FFlat && IsControlEnabled()) Invalidate();
      return;
    case CM_ENABLEDCHANGED:
      if (!FEnabled) {
        FState = FDown ? bsExclusive : bsUp;
        FDragging = false;
      }
      break;
    case CM_DIALOGCHAR:
      if (IsAccel(Message.WParam, Caption()) && IsControlEnabled() && IsControlVisible()) {
        Click();
        Message.Result = 1;
      }
      return;
    default:
      break;
  }
  TGraphicControl::Dispatch(Message);
}

// -- Published properties -------------------------------------------------------

namespace {

bool GlyphStored(TObject* instance) {
  if (auto* b = ObjectAs<TBitBtn>(instance)) return !b->Glyph()->Empty();
  return !static_cast<TSpeedButton*>(instance)->Glyph()->Empty();
}

const TPublishedRegistration bitBtnRegistration(&TBitBtn::ClassInfo, {
    StoredWhen(Property<&TBitBtn::Glyph>("Glyph"), GlyphStored),
    Property<&TBitBtn::Layout, &TBitBtn::SetLayout>("Layout", ButtonLayoutNames).Default(blGlyphLeft),
    Property<&TBitBtn::Margin, &TBitBtn::SetMargin>("Margin").Default(-1),
    Property<&TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs>("NumGlyphs").Default(1),
    Property<&TBitBtn::Spacing, &TBitBtn::SetSpacing>("Spacing").Default(4),
});

// GroupIndex comes before Down: a form sets the group first.
const TPublishedRegistration speedButtonRegistration(&TSpeedButton::ClassInfo, {
    Property<&TSpeedButton::AllowAllUp, &TSpeedButton::SetAllowAllUp>("AllowAllUp").Default(false),
    Property<&TSpeedButton::GroupIndex, &TSpeedButton::SetGroupIndex>("GroupIndex").Default(0),
    Property<&TSpeedButton::Down, &TSpeedButton::SetDown>("Down").Default(false),
    Property<&TControl::Caption, &TControl::SetCaption>("Caption"),
    Property<&TSpeedButton::Flat, &TSpeedButton::SetFlat>("Flat").Default(false),
    StoredWhen(Property<&TSpeedButton::Glyph>("Glyph"), GlyphStored),
    Property<&TSpeedButton::Layout, &TSpeedButton::SetLayout>("Layout", ButtonLayoutNames).Default(blGlyphLeft),
    Property<&TSpeedButton::Margin, &TSpeedButton::SetMargin>("Margin").Default(-1),
    Property<&TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs>("NumGlyphs").Default(1),
    Property<&TSpeedButton::Spacing, &TSpeedButton::SetSpacing>("Spacing").Default(4),
    Property<&TSpeedButton::Transparent, &TSpeedButton::SetTransparent>("Transparent").Default(true),
});

}  // namespace
