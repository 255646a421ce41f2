#include "panels/Panel.h"

#include "panels/FrameController.h"
#include "platform/ControlsProperties.h"
#include "platform/Filer.h"
#include "platform/Graphics.h"
#include "platform/Properties.h"

#include <algorithm>

const TClassInfo TRzPanelDockManager::ClassInfo{"TRzPanelDockManager", &TDockTree::ClassInfo, nullptr};
const TClassInfo TRzCustomPanel::ClassInfo{"TRzCustomPanel", &TCustomPanel::ClassInfo,
                                           [](TObject* owner) -> TObject* {
                                             return new TRzCustomPanel(static_cast<TComponent*>(owner));
                                           }};

const TEnumInfo VisualStyleNames{"TRzVisualStyle", {"vsClassic", "vsWinXP", "vsGradient"}};
const TEnumInfo GradientColorStyleNames{"TRzGradientColorStyle", {"gcsSystem", "gcsMSOffice", "gcsCustom"}};
const TEnumInfo GradientDirectionNames{"TGradientDirection",
                                       {"gdDiagonalUp", "gdDiagonalDown", "gdHorizontalEnd", "gdHorizontalCenter",
                                        "gdHorizontalBox", "gdVerticalEnd", "gdVerticalCenter", "gdVerticalBox",
                                        "gdSquareBox", "gdBigSquareBox"}};
const TEnumInfo OrientationNames{"TOrientation", {"orHorizontal", "orVertical"}};

int FrameStyleThickness(TFrameStyle style, int bevelWidth) {
  switch (style) {
    case fsNone:
      return 0;
    case fsFlat:
      return 1;
    case fsStatus:
    case fsPopup:
      return bevelWidth;
    default:
      return 2;
  }
}

// -- TRzPanelDockManager ------------------------------------------------------------

TRzPanelDockManager::TRzPanelDockManager(TRzCustomPanel* DockSite) : TDockTree(DockSite), FPanel(DockSite) {
  SetGrabberSize(14);
  FFont.SetName("Verdana");
  FFont.SetSize(8);
  FCloseFont.SetName("Marlett");
  FCloseFont.SetSize(8);
  FCloseFont.SetCharset(SYMBOL_CHARSET);
  // Commands and clicks in a client change its caption's focus colours:
  // the site repaints its grabbers before it handles them.
  if (!DockSite->ComponentState().Contains(csDesigning)) {
    FOldWndProc = DockSite->WindowProc;
    DockSite->WindowProc = TWndMethod::Bind<&TRzPanelDockManager::SubclassedWndProc>(this);
    FSubclassed = true;
  }
}

TRzPanelDockManager::~TRzPanelDockManager() {
  if (FSubclassed && FPanel->WindowProc == TWndMethod::Bind<&TRzPanelDockManager::SubclassedWndProc>(this))
    FPanel->WindowProc = FOldWndProc;
}

void TRzPanelDockManager::SubclassedWndProc(TMessage& Message) {
  if (Message.Msg == WM_COMMAND || Message.Msg == WM_MOUSEACTIVATE) FPanel->Invalidate();
  FOldWndProc(Message);
}

void TRzPanelDockManager::AdjustDockRect(TControl*, RECT& ARect) {
  if (FPanel->Align() == alTop || FPanel->Align() == alBottom) {
    ARect.left += GrabberSize();
  } else {
    ARect.top += GrabberSize();
  }
}

void TRzPanelDockManager::PaintDockFrame(TCanvas* Canvas, TControl* Control, const RECT& ARect) {
  if (!FPanel->ShowDockClientCaptions()) {
    TDockTree::PaintDockFrame(Canvas, Control, ARect);
    return;
  }
  bool active = true;
  if (auto* win = ObjectAs<TWinControl>(Control)) {
    const HWND focus = GetFocus();
    active = win->HandleAllocated() && focus && (focus == win->Handle() || IsChild(win->Handle(), focus));
  }
  const TColor face = active ? clActiveCaption : clInactiveCaption;
  const TColor text = active ? clCaptionText : clInactiveCaptionText;
  const AnsiString caption = Control->Text();
  HDC dc = Canvas->Handle();
  const TGdiObject brush(CheckGDI(CreateSolidBrush(ColorToRGB(face))));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(text));
  const int g = GrabberSize();
  RECT grabber, close;
  if (FPanel->Align() == alTop || FPanel->Align() == alBottom) {
    grabber = RECT{ARect.left, ARect.top, ARect.left + g, ARect.bottom};
    FillRect(dc, &grabber, static_cast<HBRUSH>(brush.Get()));
    const TGdiObject turned(CheckGDI(CreateAngledFont(&FFont, 90)));
    const TSelectObjectGuard font(dc, turned.Get());
    SetTextAlign(dc, TA_BASELINE | TA_LEFT);
    TextOutA(dc, grabber.right - 2, grabber.bottom - 3, caption.c_str(), static_cast<int>(caption.size()));
    SetTextAlign(dc, TA_TOP | TA_LEFT);
    close = RECT{ARect.left + 1, ARect.top + 1, ARect.left + 12, ARect.top + 12};
  } else {
    grabber = RECT{ARect.left, ARect.top, ARect.right, ARect.top + g};
    FillRect(dc, &grabber, static_cast<HBRUSH>(brush.Get()));
    const TSelectObjectGuard font(dc, FFont.Handle());
    TextOutA(dc, ARect.left + 2, ARect.top, caption.c_str(), static_cast<int>(caption.size()));
    close = RECT{ARect.right - 15, ARect.top + 1, ARect.right - 2, ARect.top + 12};
  }
  const TSelectObjectGuard font(dc, FCloseFont.Handle());
  DrawTextA(dc, "r", 1, &close, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

// -- TRzCustomPanel -------------------------------------------------------------------

TRzCustomPanel::TRzCustomPanel(TComponent* AOwner) : TCustomPanel(AOwner) {
  SetBevelOuter(bvNone);
  FControlStyle.Exclude(csSetCaption);
  FControlStyle.Exclude(csParentBackground);
  FControlStyle.Include(csOpaque);
}

TRzCustomPanel::~TRzCustomPanel() {
  SetFrameController(nullptr);
  ForgetEnabledStates();
}

void TRzCustomPanel::BordersChanged() {
  Realign();
  Invalidate();
}

void TRzCustomPanel::SetBorderInner(TFrameStyleEx value) {
  if (FBorderInner == value) return;
  FBorderInner = value;
  BordersChanged();
}

void TRzCustomPanel::SetBorderOuter(TFrameStyleEx value) {
  if (FBorderOuter == value) return;
  FBorderOuter = value;
  BordersChanged();
}

void TRzCustomPanel::SetBorderSides(TSides value) {
  if (FBorderSides == value) return;
  FBorderSides = value;
  BordersChanged();
}

#define MEVRA_PANEL_SETTER(Name, Type, Field) \
  void TRzCustomPanel::Set##Name(Type value) { \
    if (Field == value) return;                \
    Field = value;                             \
    Invalidate();                              \
  }

MEVRA_PANEL_SETTER(BorderColor, TColor, FBorderColor)
MEVRA_PANEL_SETTER(BorderHighlight, TColor, FBorderHighlight)
MEVRA_PANEL_SETTER(BorderShadow, TColor, FBorderShadow)
MEVRA_PANEL_SETTER(FlatColor, TColor, FFlatColor)
MEVRA_PANEL_SETTER(FlatColorAdjustment, int, FFlatColorAdjustment)
MEVRA_PANEL_SETTER(VisualStyle, TRzVisualStyle, FVisualStyle)
MEVRA_PANEL_SETTER(GradientColorStyle, TRzGradientColorStyle, FGradientColorStyle)
MEVRA_PANEL_SETTER(VerticalAlignment, TRzVerticalAlignment, FVerticalAlignment)
MEVRA_PANEL_SETTER(PaintClientArea, bool, FPaintClientArea)
MEVRA_PANEL_SETTER(ShowGrid, bool, FShowGrid)
MEVRA_PANEL_SETTER(GridColor, TColor, FGridColor)
MEVRA_PANEL_SETTER(GridStyle, TRzGridStyle, FGridStyle)
MEVRA_PANEL_SETTER(GridXSize, uint16_t, FGridXSize)
MEVRA_PANEL_SETTER(GridYSize, uint16_t, FGridYSize)
MEVRA_PANEL_SETTER(TextMargin, int, FTextMargin)
MEVRA_PANEL_SETTER(TextMarginVertical, int, FTextMarginVertical)
MEVRA_PANEL_SETTER(WordWrap, bool, FWordWrap)

#undef MEVRA_PANEL_SETTER

void TRzCustomPanel::SetShowDockClientCaptions(bool value) {
  if (FShowDockClientCaptions == value) return;
  FShowDockClientCaptions = value;
  Invalidate();
}

// Transparent children show the gradient behind them: they repaint too.
void TRzCustomPanel::SetGradientColorStart(TColor value) {
  if (FGradientColorStart == value) return;
  FGradientColorStart = value;
  Invalidate();
  InvalidateTransparentChildren(this);
}

void TRzCustomPanel::SetGradientColorStop(TColor value) {
  if (FGradientColorStop == value) return;
  FGradientColorStop = value;
  Invalidate();
  InvalidateTransparentChildren(this);
}

void TRzCustomPanel::SetGradientDirection(TGradientDirection value) {
  if (FGradientDirection == value) return;
  FGradientDirection = value;
  Invalidate();
  InvalidateTransparentChildren(this);
}

void TRzCustomPanel::SetTransparent(bool value) {
  if (FTransparent == value) return;
  FTransparent = value;
  if (value) {
    FControlStyle.Exclude(csOpaque);
  } else {
    FControlStyle.Include(csOpaque);
  }
  Invalidate();
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->Invalidate();
}

void TRzCustomPanel::SetFrameController(TRzFrameController* value) {
  LinkFrameController(this, FFrameController, value);
}

void TRzCustomPanel::Notification(TComponent* component, TOperation operation) {
  TCustomPanel::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FFrameController) FFrameController = nullptr;
  // A remembered child that goes is forgotten, so that no later control
  // at its address takes its state.
  FEnabledStates.erase(std::remove_if(FEnabledStates.begin(), FEnabledStates.end(),
                                      [component](const TEnabledState& s) { return s.Control == component; }),
                       FEnabledStates.end());
}

bool TRzCustomPanel::EnabledStateOf(TControl* child, bool& enabled) const {
  for (const TEnabledState& s : FEnabledStates) {
    if (s.Control != child) continue;
    enabled = s.Enabled;
    return true;
  }
  return false;
}

void TRzCustomPanel::ForgetEnabledStates() {
  for (const TEnabledState& s : FEnabledStates) s.Control->RemoveFreeNotification(this);
  FEnabledStates.clear();
}

void TRzCustomPanel::RememberEnabledStates() {
  ForgetEnabledStates();
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* child = Controls(i);
    FEnabledStates.push_back({child, child->Enabled()});
    child->FreeNotification(this);
  }
  for (int i = 0; i < ControlCount(); ++i) Controls(i)->SetEnabled(false);
}

void TRzCustomPanel::RestoreEnabledStates() {
  // A copy of the children: enabling one may run its handlers.
  std::vector<TControl*> children;
  for (int i = 0; i < ControlCount(); ++i) children.push_back(Controls(i));
  for (TControl* child : children) {
    bool enabled = true;
    EnabledStateOf(child, enabled);  // a child added meanwhile is enabled
    if (enabled) child->SetEnabled(true);
  }
  ForgetEnabledStates();
}

POINT TRzCustomPanel::MousePosInClient() {
  POINT p{};
  GetCursorPos(&p);
  return ScreenToClient(p);
}

RECT TRzCustomPanel::ShrinkForBorders(RECT r, bool includeBorderWidth) {
  if (includeBorderWidth) InflateRect(&r, -BorderWidth(), -BorderWidth());
  const int outer = FrameStyleThickness(FBorderOuter, BevelWidth());
  const int inner = FrameStyleThickness(FBorderInner, BevelWidth());
  const int k = outer + inner;
  if (FBorderSides.Contains(sdLeft)) r.left += k;
  if (FBorderSides.Contains(sdTop)) r.top += k;
  if (FBorderSides.Contains(sdRight)) r.right -= k;
  if (FBorderSides.Contains(sdBottom)) r.bottom -= k;
  return r;
}

RECT TRzCustomPanel::GetBorderRect() { return WindowClientRect(); }

POINT TRzCustomPanel::GetResizeInvalidateMargin() { return POINT{1, 1}; }

TRzGradientPair TRzCustomPanel::GetGradientColors() {
  if (FGradientColorStyle == gcsCustom) return TRzGradientPair{FGradientColorStart, FGradientColorStop};
  return SchemePanelColors(FGradientColorStyle);
}

void TRzCustomPanel::GetFlatFrameColors(TColor& color, int& adjustment) {
  if (FVisualStyle != vsGradient || FGradientColorStyle == gcsCustom) {
    color = FFlatColor;
    adjustment = FFlatColorAdjustment;
  } else {
    color = SchemePanelFrameColor(FGradientColorStyle);
    adjustment = 0;
  }
}

RECT TRzCustomPanel::ClientRect() {
  RECT r = TCustomPanel::ClientRect();
  if (!DockSite()) r = ShrinkForBorders(r, false);
  return r;
}

void TRzCustomPanel::AdjustClientRect(RECT& Rect) {
  TCustomPanel::AdjustClientRect(Rect);
  if (DockSite()) Rect = ShrinkForBorders(Rect, false);
}

void TRzCustomPanel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  // A panel docked at the bottom or right keeps that edge where it is.
  if (Align() == alBottom && AHeight != Height()) ATop = Top() + Height() - AHeight;
  if (Align() == alRight && AWidth != Width()) ALeft = Left() + Width() - AWidth;
  TCustomPanel::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TRzCustomPanel::CreateParams(TCreateParams& Params) {
  TCustomPanel::CreateParams(Params);
  // A resize repaints what the panel invalidates itself, not everything.
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

TDockTree* TRzCustomPanel::CreateDockManager() {
  if (!DockManager() && DockSite() && UseDockManager()) return new TRzPanelDockManager(this);
  return DockManager();
}

void TRzCustomPanel::UpdateFromFrameController() {
  if (!FFrameController || !FFrameController->FrameVisible()) return;
  const TRzFrameControllerNotifications n = FFrameControllerNotifications;
  if (n.Contains(fcpFrameStyle)) FBorderOuter = FFrameController->FrameStyle();
  if (n.Contains(fcpFrameSides)) FBorderSides = FFrameController->FrameSides();
  if (n.Contains(fcpFrameColor)) {
    FFlatColor = FFrameController->FrameColor();
    FFlatColorAdjustment = 0;
  }
  if (n.Contains(fcpColor)) SetColor(FFrameController->Color());
  if (n.Contains(fcpParentColor)) SetParentColor(FFrameController->ParentColor());
  if (n.Contains(fcpColor)) {
    FBorderHighlight = ShadeLighter(Color(), 100);
    FBorderShadow = ShadeDarker(Color(), 50);
  }
  Invalidate();
}

void TRzCustomPanel::Paint() {
  TCanvas* canvas = Canvas();
  RECT r = GetBorderRect();
  TColor flat = FFlatColor;
  int adjustment = FFlatColorAdjustment;
  GetFlatFrameColors(flat, adjustment);
  TRzInnerOuterFrame frame;
  frame.Outer = FBorderOuter;
  frame.Inner = FBorderInner;
  frame.Sides = FBorderSides;
  frame.Transparent = FTransparent;
  frame.ParentColor = Parent() ? Parent()->Color() : Color();
  frame.Color = Color();
  frame.FlatColor = flat;
  frame.FlatColorAdjustment = adjustment;
  frame.BorderColor = FBorderColor;
  frame.BorderHighlight = FBorderHighlight;
  frame.BorderShadow = FBorderShadow;
  frame.BevelWidth = BevelWidth();
  frame.BorderWidth = BorderWidth();
  r = PaintInnerOuterFrames(canvas, r, frame);

  if (!FTransparent && FPaintClientArea) {
    const bool rounded =
        (FBorderOuter == fsFlatRounded && FBorderInner == fsNone && BorderWidth() == 0) || FBorderInner == fsFlatRounded;
    const RECT inside = r;
    if (rounded) {
      // The fill reaches under the rounded corners.
      if (FBorderSides.Contains(sdLeft)) --r.left;
      if (FBorderSides.Contains(sdTop)) --r.top;
      if (FBorderSides.Contains(sdRight)) ++r.right;
      if (FBorderSides.Contains(sdBottom)) ++r.bottom;
    }
    if (FVisualStyle == vsGradient) {
      const TRzGradientPair colors = GetGradientColors();
      FillGradient(canvas, r, FGradientDirection, colors.Start, colors.Stop);
    } else {
      canvas->Brush()->SetStyle(bsSolid);
      canvas->Brush()->SetColor(Color());
      canvas->FillRect(r);
    }
    if (rounded) {
      const TColor corner = ShadeByAmount(flat, adjustment);
      const bool left = FBorderSides.Contains(sdLeft), top = FBorderSides.Contains(sdTop),
                 right = FBorderSides.Contains(sdRight), bottom = FBorderSides.Contains(sdBottom);
      if (left && top) canvas->SetPixels(r.left, r.top, corner);
      if (right && top) canvas->SetPixels(r.right - 1, r.top, corner);
      if (right && bottom) canvas->SetPixels(r.right - 1, r.bottom - 1, corner);
      if (left && bottom) canvas->SetPixels(r.left, r.bottom - 1, corner);
      r = inside;
    }
  }
  if (FShowGrid) DrawGrid(r);
  canvas->Brush()->SetStyle(bsClear);
  DrawCaptionText(r);
  canvas->Brush()->SetStyle(bsSolid);
  FireEvent(OnPaint, this);
}

void TRzCustomPanel::DrawCaptionText(RECT r) {
  const AnsiString caption = Caption();
  if (caption.empty()) return;
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(Font());
  r.left += FTextMargin;
  r.right -= FTextMargin;
  r.top += FTextMarginVertical;
  r.bottom -= FTextMarginVertical;
  UINT flags = DT_EXPANDTABS | DT_VCENTER;
  if (FWordWrap) flags |= DT_WORDBREAK;
  switch (Alignment()) {
    case taLeftJustify: flags |= DT_LEFT; break;
    case taRightJustify: flags |= DT_RIGHT; break;
    case taCenter: flags |= DT_CENTER; break;
  }
  RECT measured = r;
  DrawTextOnCanvas(canvas, caption, measured, flags | DT_CALCRECT);
  const int textHeight = measured.bottom - measured.top;
  switch (FVerticalAlignment) {
    case vaTop:
      r.bottom = std::min(r.bottom, r.top + textHeight);
      break;
    case vaCenter:
      r.top = (r.bottom + r.top - textHeight) / 2;
      r.bottom = std::min(r.bottom, r.top + textHeight);
      break;
    case vaBottom:
      r.top = std::max(r.top, r.bottom - textHeight - 1);
      break;
  }
  canvas->Brush()->SetStyle(bsClear);
  if (!IsControlEnabled()) canvas->Font()->SetColor(clGrayText);
  DrawTextOnCanvas(canvas, caption, r, flags);
}

void TRzCustomPanel::DrawGrid(const RECT& r) {
  TCanvas* canvas = Canvas();
  const TColor color = FGridColor;
  const int width = r.right - r.left, height = r.bottom - r.top;
  std::vector<int> columns, rows;
  if (FGridXSize > 0)
    for (int i = 1; i <= width / FGridXSize; ++i) columns.push_back(r.left + i * FGridXSize - 1);
  if (FGridYSize > 0)
    for (int i = 1; i <= height / FGridYSize; ++i) rows.push_back(r.top + i * FGridYSize - 1);
  canvas->Pen()->SetColor(color);
  switch (FGridStyle) {
    case gsDots:
      for (int x : columns)
        for (int y : rows) canvas->SetPixels(x, y, color);
      break;
    case gsDottedLines:
      for (int x : columns)
        for (int y = r.top + 1; y < r.bottom; y += 2) canvas->SetPixels(x, y, color);
      for (int y : rows)
        for (int x = r.left + 1; x < r.right; x += 2) canvas->SetPixels(x, y, color);
      break;
    case gsSolidLines:
      for (int x : columns) {
        canvas->MoveTo(x, r.top);
        canvas->LineTo(x, r.bottom);
      }
      for (int y : rows) {
        canvas->MoveTo(r.left, y);
        canvas->LineTo(r.right, y);
      }
      break;
  }
}

// Without FullRepaint (and without a caption) a resize repaints only the
// border strips that move, at the old and at the new edge.
void TRzCustomPanel::HandleWindowPosChanged(TMessage& Message) {
  const auto* pos = reinterpret_cast<const WINDOWPOS*>(Message.LParam);
  if (!pos || (pos->flags & SWP_NOSIZE) || !HandleAllocated()) return;
  if (pos->cx == Width() && pos->cy == Height()) return;
  if (FullRepaint() || !Caption().empty()) {
    InvalidateRect(Handle(), nullptr, TRUE);
    return;
  }
  const RECT r = ShrinkForBorders(RECT{0, 0, Width(), Height()}, true);
  const POINT margin = GetResizeInvalidateMargin();
  if (pos->cx != Width()) {
    const int dx = pos->cx - Width();
    const RECT strip{std::min(r.right, r.right + dx) - margin.x, 0, std::max(Width(), pos->cx),
                     std::max(Height(), pos->cy)};
    InvalidateRect(Handle(), &strip, TRUE);
  }
  if (pos->cy != Height()) {
    const int dy = pos->cy - Height();
    const RECT strip{0, std::min(r.bottom, r.bottom + dy) - margin.y, std::max(Width(), pos->cx),
                     std::max(Height(), pos->cy)};
    InvalidateRect(Handle(), &strip, TRUE);
  }
}

void TRzCustomPanel::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_WINDOWPOSCHANGED:
      HandleWindowPosChanged(Message);
      break;
    case WM_ERASEBKGND:
      if (FTransparent && FPaintClientArea) {
        // Double buffering erases the memory bitmap only (WParam = LParam).
        if (!DoubleBuffered() || Message.WParam == static_cast<WPARAM>(Message.LParam))
          PaintParentBackground(this, reinterpret_cast<HDC>(Message.WParam), true);
        Message.Result = 1;
        return;
      }
      break;
    case WM_THEMECHANGED:
      TCustomPanel::Dispatch(Message);
      WindowsColorScheme = ReadWindowsColorScheme();
      return;
    case CM_MOUSEENTER:
      if (ComponentState().Contains(csDesigning)) return;
      break;
    case CM_ENABLEDCHANGED:
      TCustomPanel::Dispatch(Message);
      Repaint();
      if (Enabled()) {
        RestoreEnabledStates();
      } else {
        RememberEnabledStates();
      }
      return;
    default:
      break;
  }
  TCustomPanel::Dispatch(Message);
}

void TRzCustomPanel::DefineProperties(TFiler* filer) {
  TCustomPanel::DefineProperties(filer);
  // Older forms: the frame sides and the theme switch are gone; gradients
  // became a visual style.
  filer->DefineProperty("FrameSides", TReaderProc::Lambda(&TRzOldPropReader::ReadOldSetProp), TWriterProc(), false);
  filer->DefineProperty("ThemeAware", TReaderProc::Lambda(&TRzOldPropReader::ReadOldBooleanProp), TWriterProc(),
                        false);
  filer->DefineProperty("UseGradients", TReaderProc::Lambda([this](TReader* reader) {
                          if (reader->ReadBoolean()) SetVisualStyle(vsGradient);
                        }),
                        TWriterProc(), false);
}

// -- Published properties --------------------------------------------------------------

namespace {

using P = TRzCustomPanel;
const TPublishedRegistration panelRegistration(&P::ClassInfo, {
    Property<&P::BorderInner, &P::SetBorderInner>("BorderInner", FrameStyleNames).Default(fsNone),
    Property<&P::BorderOuter, &P::SetBorderOuter>("BorderOuter", FrameStyleNames).Default(fsRaised),
    Property<&P::BorderSides, &P::SetBorderSides>("BorderSides", SideNames).Default(sdAllSides),
    Property<&P::BorderColor, &P::SetBorderColor>("BorderColor", pkColor).Default(clBtnFace),
    Property<&P::BorderHighlight, &P::SetBorderHighlight>("BorderHighlight", pkColor).Default(clBtnHighlight),
    Property<&P::BorderShadow, &P::SetBorderShadow>("BorderShadow", pkColor).Default(clBtnShadow),
    Property<&P::FlatColor, &P::SetFlatColor>("FlatColor", pkColor).Default(clBtnShadow),
    Property<&P::FlatColorAdjustment, &P::SetFlatColorAdjustment>("FlatColorAdjustment").Default(30),
    Property<&P::VisualStyle, &P::SetVisualStyle>("VisualStyle", VisualStyleNames).Default(vsWinXP),
    Property<&P::GradientColorStyle, &P::SetGradientColorStyle>("GradientColorStyle", GradientColorStyleNames)
        .Default(gcsSystem),
    Property<&P::GradientColorStart, &P::SetGradientColorStart>("GradientColorStart", pkColor).Default(clWhite),
    Property<&P::GradientColorStop, &P::SetGradientColorStop>("GradientColorStop", pkColor).Default(clBtnFace),
    Property<&P::GradientDirection, &P::SetGradientDirection>("GradientDirection", GradientDirectionNames)
        .Default(gdHorizontalEnd),
    Property<&P::Transparent, &P::SetTransparent>("Transparent").Default(false),
    Property<&P::ShowDockClientCaptions, &P::SetShowDockClientCaptions>("ShowDockClientCaptions").Default(true),
    Property<&P::FrameController, &P::SetFrameController>("FrameController"),
    Property<&P::FrameControllerNotifications, &P::SetFrameControllerNotifications>(
        "FrameControllerNotifications", FrameControllerNotificationNames)
        .Default(fcpAllNotifications),
    Event<&P::OnPaint>("OnPaint"),
});

}  // namespace
