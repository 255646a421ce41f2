#include "panels/Splitter.h"

#include "panels/FrameController.h"
#include "platform/ControlsProperties.h"
#include "platform/Filer.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/Properties.h"

#include <algorithm>
#include <climits>
#include <cmath>

const TClassInfo TRzSplitterPane::ClassInfo{"TRzSplitterPane", &TRzCustomPanel::ClassInfo,
                                            [](TObject* owner) -> TObject* {
                                              return new TRzSplitterPane(static_cast<TComponent*>(owner));
                                            }};
const TClassInfo TRzPaneData::ClassInfo{"TRzPaneData", &TPersistent::ClassInfo, nullptr};
const TClassInfo TRzSplitter::ClassInfo{"TRzSplitter", &TRzCustomPanel::ClassInfo, [](TObject* owner) -> TObject* {
                                          return new TRzSplitter(static_cast<TComponent*>(owner));
                                        }};

int SplitterLoadingCount = 0;

namespace {

int Nearest(double x) { return static_cast<int>(std::lround(x)); }

// The thickness a style takes at one edge for the bar's clamping.
int EdgeThickness(TFrameStyle style, int bevelWidth) {
  switch (style) {
    case fsFlat:
      return 1;
    case fsStatus:
    case fsPopup:
      return bevelWidth;
    case fsGroove:
    case fsBump:
    case fsLowered:
    case fsButtonDown:
    case fsRaised:
    case fsButtonUp:
      return 2;
    default:
      return 0;
  }
}

}  // namespace

// -- TRzSplitterPane ---------------------------------------------------------------------

TRzSplitterPane::TRzSplitterPane(TComponent* AOwner) : TRzCustomPanel(AOwner) {
  FBorderOuter = fsNone;
  SetTabStop(false);
  FParentColor = true;
}

void TRzSplitterPane::DoEnter() {
  Invalidate();
  TRzCustomPanel::DoEnter();
}

void TRzSplitterPane::DoExit() {
  Invalidate();
  TRzCustomPanel::DoExit();
}

void TRzSplitterPane::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCHITTEST:
      // Empty parts of a pane belong to the splitter's mouse handling.
      if (!ComponentState().Contains(csDesigning) && !DockSite()) {
        Message.Result = HTTRANSPARENT;
        return;
      }
      break;
    case CM_VISIBLECHANGED:
      TRzCustomPanel::Dispatch(Message);
      if (FSplitter) FSplitter->UpdateLayout();
      return;
    default:
      break;
  }
  TRzCustomPanel::Dispatch(Message);
}

// -- TRzSplitter ---------------------------------------------------------------------------

TRzSplitter::TRzSplitter(TComponent* AOwner) : TRzCustomPanel(AOwner) {
  FControlStyle.Include(csCaptureMouse);
  FControlStyle.Include(csOpaque);
  FControlStyle.Include(csDisplayDragImage);
  FBorderOuter = fsNone;
  FWidth = 200;
  FHeight = 100;
  SetFullRepaint(true);
  for (int i = 0; i < 2; ++i) {
    FPanes[i] = New<TRzSplitterPane>(this);
    FPanes[i]->FSplitter = this;
    FPanes[i]->SetParent(this);
    FPaneData[i] = New<TRzPaneData>(FPanes[i]);
  }
  FPanes[0]->OnDockDrop = TDockDropEvent::Lambda([this](TObject*, TDragDockObject* source, int x, int y) {
    FireEvent(OnULDockDrop, this, source, x, y);
  });
  FPanes[1]->OnDockDrop = TDockDropEvent::Lambda([this](TObject*, TDragDockObject* source, int x, int y) {
    FireEvent(OnLRDockDrop, this, source, x, y);
  });
  FPanes[0]->OnUnDock = TUnDockEvent::Lambda([this](TObject*, TControl* client, TWinControl* target, bool& allow) {
    FireEvent(OnULUnDock, this, client, target, allow);
  });
  FPanes[1]->OnUnDock = TUnDockEvent::Lambda([this](TObject*, TControl* client, TWinControl* target, bool& allow) {
    FireEvent(OnLRUnDock, this, client, target, allow);
  });
  const HINSTANCE instance = GetModuleHandleA(nullptr);
  const char* names[4] = {"RZSPLIT_HORZ", "RZSPLIT_HORZHOTSPOT", "RZSPLIT_VERT", "RZSPLIT_VERTHOTSPOT"};
  for (int i = 0; i < 4; ++i)
    FCursors[i] = static_cast<HCURSOR>(LoadImageA(instance, names[i], IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE));
  RegisterClass(&TRzSplitterPane::ClassInfo);
  UpdateLayout();
}

TRzSplitter::~TRzSplitter() {
  EndBarDrawing();
  for (HCURSOR& cursor : FCursors)
    if (cursor) DestroyCursor(cursor);
  for (TRzPaneData*& data : FPaneData) FreeAndNil(data);
}

void TRzSplitter::SetPaneData(int index, TRzPaneData* value) {
  TRzPaneData* data = FPaneData[index - 1];
  if (!value || value == data) return;
  TRzSplitterPane* pane = data->Pane();
  pane->SetBorderColor(value->BorderColor());
  pane->SetBorderInner(value->BorderInner());
  pane->SetBorderOuter(value->BorderOuter());
  pane->SetBorderWidth(value->BorderWidth());
  pane->SetColor(value->Color());
  pane->SetFlatColor(value->FlatColor());
  pane->SetFlatColorAdjustment(value->FlatColorAdjustment());
  pane->SetDockSite(value->DockSite());
  pane->SetShowDockClientCaptions(value->ShowDockClientCaptions());
  pane->SetVisible(value->Visible());
}

void TRzSplitter::CreateParams(TCreateParams& Params) {
  TRzCustomPanel::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
}

RECT TRzSplitter::ClientRect() {
  // The panel leaves the frames out; the border width goes too.
  RECT r = TRzCustomPanel::ClientRect();
  if (!DockSite()) InflateRect(&r, -BorderWidth(), -BorderWidth());
  return r;
}

void TRzSplitter::AlignControls(TControl* AControl, RECT& Rect) {
  if (SplitterLoadingCount > 0 || ComponentState().Contains(csLoading)) return;
  TRzCustomPanel::AlignControls(AControl, Rect);
}

// -- Position --------------------------------------------------------------------------------

int TRzSplitter::GetBorderThickness() {
  int thickness = BorderWidth();
  for (TFrameStyle style : {FBorderOuter, FBorderInner}) {
    const int t = EdgeThickness(style, BevelWidth());
    if (FBorderSides.Contains(sdLeft)) thickness += t;
    if (FBorderSides.Contains(sdTop)) thickness += t;
  }
  return thickness;
}

// Never below 0: a splitter smaller than its margins keeps both panes at
// zero or more.
void TRzSplitter::ClampPosition(int& position) {
  if (!FPanes[0]->Visible() || !FPanes[1]->Visible()) return;
  int low = FMarginMin, high = FMarginMax;
  if (FHotSpotClosed && FHotSpotIgnoreMargins) low = high = 0;
  position = std::max(position, low);
  const int bound = AxisSize() - high - FSplitterWidth - 2 * GetBorderThickness();
  if (position > bound) position = bound;
  position = std::max(position, 0);
}

bool TRzSplitter::DoChanging(int newPosition) {
  bool allow = true;
  FireEvent(OnChanging, this, newPosition, allow);
  return allow;
}

void TRzSplitter::SetPosition(int value) {
  if (value == FPosition && !FResizing) return;
  ClampPosition(value);
  if (!DoChanging(value)) return;
  const bool changed = value != FPosition;
  FPosition = value;
  const int span = AxisSize() - HalfBar();
  FPercent = span == 0 ? 0 : Nearest(static_cast<double>(value) / span * 100.0);
  UpdateLayout();
  UpdateFixedSize();
  DoChange();
  if (changed && !ComponentState().Contains(csLoading)) NotifyDesignerModified(this);
}

void TRzSplitter::SetPositionByUser(int value) {
  if (value == FPosition) return;
  SetPosition(value);
  SetManualPosition(FPosition);
}

void TRzSplitter::SetManualPosition(int position) {
  FManualPosition = FFixedPane == fpLowerRight ? AxisSize() - position : position;
}

void TRzSplitter::UpdateFixedSize() {
  FFixedSize = FFixedPane == fpLowerRight ? AxisSize() - FPosition : FPosition;
}

// Each margin at least 0; together at most the size: the one set gives
// way, never below 0.
void TRzSplitter::SetMarginMin(int value) {
  value = std::max(value, 0);
  if (value + FMarginMax > AxisSize()) value = std::max(AxisSize() - FMarginMax, 0);
  FMarginMin = value;
}

void TRzSplitter::SetMarginMax(int value) {
  value = std::max(value, 0);
  if (value + FMarginMin > AxisSize()) value = std::max(AxisSize() - FMarginMin, 0);
  FMarginMax = value;
}

void TRzSplitter::ApplyPercentMargins() {
  const int span = AxisSize() - HalfBar();
  FMarginMin = Nearest(FPercentMin / 100.0 * span);
  FMarginMax = span - Nearest(FPercentMax / 100.0 * span);
}

void TRzSplitter::SetUsePercent(bool value) {
  FUsePercent = value;
  if (value) {
    FFixedPane = fpUpperLeft;
    ApplyPercentMargins();
  }
  const bool resizing = FResizing;
  FResizing = true;
  SetPosition(FPosition);
  FResizing = resizing;
}

void TRzSplitter::SetPercent(int value) {
  FPercent = value;
  if (ComponentState().Contains(csLoading)) return;
  FUsePercent = true;
  SetPosition(Nearest(value / 100.0 * (AxisSize() - HalfBar())));
}

void TRzSplitter::SetPercentMin(int value) {
  FPercentMin = std::max(value, 0);
  if (!ComponentState().Contains(csLoading) && FUsePercent) ApplyPercentMargins();
}

void TRzSplitter::SetPercentMax(int value) {
  FPercentMax = std::min(value, 100);
  if (!ComponentState().Contains(csLoading) && FUsePercent) ApplyPercentMargins();
}

void TRzSplitter::SetFixedPane(TFixedPane value) {
  FFixedPane = value;
  if (value == fpLowerRight) FUsePercent = false;
  SetManualPosition(FPosition);
  UpdateFixedSize();
}

void TRzSplitter::SetOrientation(TOrientation value) {
  if (FOrientation == value) return;
  FOrientation = value;
  if (FUsePercent) {
    ApplyPercentMargins();
    const bool resizing = FResizing;
    FResizing = true;
    SetPosition(Nearest(FPercent / 100.0 * (AxisSize() - HalfBar())));
    FResizing = resizing;
  } else {
    UpdateLayout();
  }
  DrawSplitterBar();
}

void TRzSplitter::SetSelectedPane(TSelectedPane value) {
  FSelectedPane = value;
  if (ComponentState().Contains(csDesigning) && !ComponentState().Contains(csLoading)) {
    SelectedPaneControl()->BringToFront();
    UpdateLayout();
  }
}

void TRzSplitter::SetSplitterWidth(uint16_t value) {
  if (FSplitterWidth == value) return;
  FSplitterWidth = value;
  UpdateLayout();
  Invalidate();
}

void TRzSplitter::SetSplitterStyle(TSplitterStyle value) {
  FSplitterStyle = value;
  if (value != ssStandard && FSplitterWidth < 6) SetSplitterWidth(6);
  Invalidate();
}

void TRzSplitter::SetHotSpotVisible(bool value) {
  FHotSpotVisible = value;
  if (value && FSplitterWidth < 7) SetSplitterWidth(7);
  Invalidate();
}

void TRzSplitter::SetHotSpotSizePercent(int value) {
  FHotSpotSizePercent = value;
  UpdateHotSpotRect();
  Invalidate();
}

#define MEVRA_SPLITTER_SETTER(Name, Type, Field) \
  void TRzSplitter::Set##Name(Type value) {      \
    if (Field == value) return;                  \
    Field = value;                               \
    Invalidate();                                \
  }

MEVRA_SPLITTER_SETTER(HotSpotHighlight, TColor, FHotSpotHighlight)
MEVRA_SPLITTER_SETTER(HotSpotColor, TColor, FHotSpotColor)
MEVRA_SPLITTER_SETTER(HotSpotDotColor, TColor, FHotSpotDotColor)
MEVRA_SPLITTER_SETTER(HotSpotFrameColor, TColor, FHotSpotFrameColor)
MEVRA_SPLITTER_SETTER(HotSpotDirection, THotSpotDirection, FHotSpotDirection)
MEVRA_SPLITTER_SETTER(GradientColorAdjustment, int, FGradientColorAdjustment)
MEVRA_SPLITTER_SETTER(GradientPath, TRzGroupBarGradientPath, FGradientPath)

#undef MEVRA_SPLITTER_SETTER

void TRzSplitter::SetParentColor(bool value) {
  TControl::SetParentColor(value);
  for (TRzSplitterPane* pane : FPanes) pane->SetParentColor(value);
}

void TRzSplitter::SetBorderInner(TFrameStyleEx value) {
  TRzCustomPanel::SetBorderInner(value);
  UpdateLayout();
}

void TRzSplitter::SetBorderOuter(TFrameStyleEx value) {
  TRzCustomPanel::SetBorderOuter(value);
  UpdateLayout();
}

void TRzSplitter::SetBorderSides(TSides value) {
  TRzCustomPanel::SetBorderSides(value);
  UpdateLayout();
}

void TRzSplitter::SetBorderWidth(int value) {
  TWinControl::SetBorderWidth(value);
  UpdateLayout();
}

void TRzSplitter::SetTransparent(bool value) {
  TRzCustomPanel::SetTransparent(value);
  for (TRzSplitterPane* pane : FPanes) pane->SetTransparent(value);
}

void TRzSplitter::ClearHotSpotClosed() {
  FHotSpotClosed = false;
  FHotSpotClosedToMin = false;
  FHotSpotClosedToMax = false;
}

// -- Layout ----------------------------------------------------------------------------------------

void TRzSplitter::UpdateLayout() {
  if (ComponentState().Contains(csLoading) || !FPanes[0] || !FPanes[1]) return;
  const RECT c = ClientRect();
  const int w = c.right - c.left, h = c.bottom - c.top;
  const bool show1 = FPanes[0]->Visible(), show2 = FPanes[1]->Visible();
  RECT pane1{}, bar{}, pane2{};
  if (FOrientation == orHorizontal) {
    pane1 = show1 ? RECT{c.left, c.top, c.left + FPosition, c.top + h} : RECT{c.left, c.top, c.left, c.top + h};
    if (show1 && !show2) pane1 = c;
    bar = show1 && show2 ? RECT{c.left + FPosition, c.top, c.left + FPosition + FSplitterWidth, c.top + h}
                         : RECT{c.left + FPosition, c.top, c.left + FPosition, c.top + h};
    const int left2 = c.left + FPosition + FSplitterWidth;
    pane2 = show2 ? RECT{left2, c.top, left2 + w - FPosition - FSplitterWidth, c.top + h} : RECT{left2, c.top, left2, c.top + h};
    if (show2 && !show1) pane2 = c;
  } else {
    pane1 = show1 ? RECT{c.left, c.top, c.left + w, c.top + FPosition} : RECT{c.left, c.top, c.left + w, c.top};
    if (show1 && !show2) pane1 = c;
    bar = show1 && show2 ? RECT{c.left, c.top + FPosition, c.left + w, c.top + FPosition + FSplitterWidth}
                         : RECT{c.left, c.top + FPosition, c.left + w, c.top + FPosition};
    const int top2 = c.top + FPosition + FSplitterWidth;
    pane2 = show2 ? RECT{c.left, top2, c.left + w, top2 + h - FPosition - FSplitterWidth} : RECT{c.left, top2, c.left + w, top2};
    if (show2 && !show1) pane2 = c;
  }
  DisableAlign();
  try {
    FPanes[0]->SetBoundsRect(pane1);
    FPanes[1]->SetBoundsRect(pane2);
  } catch (...) {
    EnableAlign();
    throw;
  }
  EnableAlign();
  FBarRect = bar;
  UpdateHotSpotRect();
  for (TRzSplitterPane* pane : FPanes)
    for (int i = 0; i < pane->ControlCount(); ++i)
      if (auto* nested = ObjectAs<TRzSplitter>(pane->Controls(i))) nested->UpdateLayout();
  if (FRealTimeDrag)
    for (TRzSplitterPane* pane : FPanes) pane->Repaint();
  DrawSplitterBar();
}

void TRzSplitter::UpdateHotSpotRect() {
  const RECT& b = FBarRect;
  if (FOrientation == orHorizontal) {
    const int half = Nearest(FHotSpotSizePercent / 100.0 * (b.bottom - b.top)) / 2;
    const int mid = (b.top + b.bottom) / 2;
    FHotSpotRect = RECT{b.left, mid - half, b.right, mid + half};
  } else {
    const int half = Nearest(FHotSpotSizePercent / 100.0 * (b.right - b.left)) / 2;
    const int mid = (b.left + b.right) / 2;
    FHotSpotRect = RECT{mid - half, b.top, mid + half, b.bottom};
  }
}

void TRzSplitter::Resize() {
  const TComponentState state = ComponentState();
  if (state.Contains(csWriting) || state.Contains(csDestroying) || state.Contains(csLoading)) {
    TRzCustomPanel::Resize();
    return;
  }
  const bool resizing = FResizing;
  FResizing = true;
  try {
    const bool open = !FHotSpotClosed;
    if (FFixedPane == fpUpperLeft && FUsePercent) {
      ApplyPercentMargins();
      const int span = AxisSize() - HalfBar();
      if (open) {
        SetPosition(Nearest(FPercent / 100.0 * span));
      } else if (FHotSpotClosedToMin) {
        SetPosition(0);
      } else {
        SetPosition(span);
      }
    } else if (FFixedPane == fpUpperLeft) {
      if (open) {
        SetPosition(FPosition);
      } else if (FHotSpotClosedToMin) {
        SetPosition(0);
      } else {
        SetPosition(INT_MAX);
      }
      // The user's position comes back when there is room again.
      if (open && FPosition < FManualPosition) SetPosition(FManualPosition);
    } else {
      SetPosition(AxisSize() - FFixedSize);
      if (open && FPosition < FManualPosition) SetPosition(AxisSize() - FManualPosition);
      if (!open) FHotSpotPosition = AxisSize() - FManualPosition;
    }
  } catch (...) {
    FResizing = resizing;
    throw;
  }
  FResizing = resizing;
  TRzCustomPanel::Resize();
}

// -- Dragging -----------------------------------------------------------------------------------------

bool TRzSplitter::PointInHotSpot(POINT p) const { return FHotSpotVisible && PtInRect(&FHotSpotRect, p); }

void TRzSplitter::BeginBarDrawing() {
  EndBarDrawing();
  if (WindowsLevelReached(7) && Parent() && Parent()->HandleAllocated()) {
    FDragWindow = Parent()->Handle();
    FDragDC = GetDCEx(FDragWindow, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS | DCX_LOCKWINDOWUPDATE);
  } else {
    FDragWindow = nullptr;
    FDragDC = GetDC(nullptr);
  }
  if (FDragDC) HandleCreated(hkDeviceContext);
  if (!FRealTimeDrag && FDragDC) {
    FPatternBrush = CreateDotPatternBrush();
    FOldBrush = SelectObject(FDragDC, FPatternBrush.Get());
  }
}

void TRzSplitter::EndBarDrawing() {
  if (!FDragDC) return;
  if (FOldBrush) SelectObject(FDragDC, FOldBrush);
  FOldBrush = nullptr;
  ReleaseDC(FDragWindow, FDragDC);
  HandleDeleted(hkDeviceContext);
  FDragDC = nullptr;
  FDragWindow = nullptr;
  FPatternBrush.Reset();
}

// An inverted pattern the size of the bar; drawn twice at one place it is
// gone.
void TRzSplitter::DrawDragBar(int position) {
  if (FRealTimeDrag || !FDragDC) return;
  const int t = GetBorderThickness();
  POINT p{t, t};
  if (FOrientation == orHorizontal) {
    p.x += position;
  } else {
    p.y += position;
  }
  p = ClientToScreen(p);
  if (FDragWindow) ::ScreenToClient(FDragWindow, &p);
  PatBlt(FDragDC, p.x, p.y, FBarRect.right - FBarRect.left, FBarRect.bottom - FBarRect.top, PATINVERT);
}

void TRzSplitter::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TRzCustomPanel::MouseDown(Button, Shift, X, Y);
  const POINT p{X, Y};
  if (Button != mbLeft || !PtInRect(&FBarRect, p)) return;
  const bool inHotSpot = PointInHotSpot(p);
  if (!inHotSpot && FLockBar) return;
  if (!ComponentState().Contains(csDesigning) && !FRealTimeDrag && CanFocus()) SetFocus();
  SetCapture(Handle());
  FSliding = true;
  FHotSpotting = inHotSpot;
  FCenterOffset = (FOrientation == orHorizontal ? X : Y) - AxisSize() / 2;
  BeginBarDrawing();
  FStartPosition = FLastPosition = FPosition;
  DrawDragBar(FPosition);
}

void TRzSplitter::MouseMove(TShiftState Shift, int X, int Y) {
  TRzCustomPanel::MouseMove(Shift, X, Y);
  if (!FSliding || (FHotSpotting && FLockBar)) {
    UpdateHotSpotHighlight();
    return;
  }
  int position = (FOrientation == orHorizontal ? X : Y) + FStartPosition - AxisSize() / 2 - FCenterOffset;
  ClampPosition(position);
  if (!DoChanging(position)) return;
  if (position == FLastPosition) return;
  ClearHotSpotClosed();
  FRefreshHotSpot = false;
  DrawDragBar(FLastPosition);
  DrawDragBar(position);
  if (FRealTimeDrag) {
    const bool resizing = FResizing;
    FResizing = true;
    SetPosition(position);
    FResizing = resizing;
    SetManualPosition(position);
  }
  FLastPosition = position;
}

void TRzSplitter::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TWeakLink<TControl> self(this);
  TRzCustomPanel::MouseUp(Button, Shift, X, Y);
  if (!self.Get() || Button != mbLeft || !(FSliding || FHotSpotting)) return;
  FSliding = false;
  if (GetCapture() == Handle()) ReleaseCapture();
  if (!FRealTimeDrag) {
    DrawDragBar(FLastPosition);
    SetPosition(FLastPosition);
    SetManualPosition(FPosition);
  }
  const POINT p{X, Y};
  if (FHotSpotting && PointInHotSpot(p)) {
    if (FHotSpotClosed) {
      ClearHotSpotClosed();
      SetPosition(FHotSpotPosition);
      SetManualPosition(FPosition);
    } else {
      FHotSpotPosition = FPosition;
      const bool firstHalf = FOrientation == orHorizontal ? Y < (FHotSpotRect.top + FHotSpotRect.bottom) / 2
                                                          : X < (FHotSpotRect.left + FHotSpotRect.right) / 2;
      FHotSpotClosed = true;
      if (FHotSpotDirection == hsdMin || (FHotSpotDirection == hsdBoth && firstHalf)) {
        FHotSpotClosedToMin = true;
        SetPosition(0);
      } else {
        FHotSpotClosedToMax = true;
        SetPosition(INT_MAX);
      }
    }
    DoHotSpotClick();
    if (!self.Get()) return;
  }
  FHotSpotting = false;
  EndBarDrawing();
  FRefreshHotSpot = true;
  DrawSplitterBar();
}

void TRzSplitter::KeyDown(WORD& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE && FSliding) {
    FSliding = false;
    FHotSpotting = false;
    if (GetCapture() == Handle()) ReleaseCapture();
    if (!FRealTimeDrag) {
      DrawDragBar(FLastPosition);
      SetManualPosition(FPosition);
      EndBarDrawing();
    }
    return;
  }
  TRzCustomPanel::KeyDown(Key, Shift);
}

// -- Painting -----------------------------------------------------------------------------------------

void TRzSplitter::DrawSplitterBar() {
  if (!HandleAllocated()) return;
  RECT r = FBarRect;
  InvalidateRect(Handle(), &r, FALSE);
}

void TRzSplitter::Paint() {
  TRzCustomPanel::Paint();
  PaintSplitterBar();
}

void TRzSplitter::PaintSplitterBar() {
  TCanvas* canvas = Canvas();
  const RECT& b = FBarRect;
  if (b.right <= b.left || b.bottom <= b.top) return;
  canvas->Brush()->SetStyle(bsSolid);
  if (FSplitterStyle == ssGroove || FSplitterStyle == ssBump) {
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(b);
    const TFrameStyle style = FSplitterStyle == ssGroove ? fsStatus : fsPopup;
    if (FOrientation == orHorizontal) {
      const int c = (b.left + b.right) / 2;
      PaintStyleFrame(canvas, RECT{c - 3, b.top, c, b.bottom}, style);
      PaintStyleFrame(canvas, RECT{c, b.top, c + 3, b.bottom}, style);
    } else {
      const int c = (b.top + b.bottom) / 2;
      PaintStyleFrame(canvas, RECT{b.left, c - 3, b.right, c}, style);
      PaintStyleFrame(canvas, RECT{b.left, c, b.right, c + 3}, style);
    }
  } else if (FSplitterStyle == ssGroupBar && FVisualStyle != vsClassic) {
    const TRzGradientPair colors = GetGradientColors();
    PaintGroupBarBackground(canvas, b, FVisualStyle, FGradientColorStyle, FGradientPath, colors.Start, colors.Stop);
  } else if (!FullRepaint()) {
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(b);
  }
  if (FHotSpotVisible) {
    POINT cursor{};
    GetCursorPos(&cursor);
    const POINT p = ScreenToClient(cursor);
    PaintHotSpot(FRefreshHotSpot && PointInHotSpot(p), p);
  }
}

void TRzSplitter::DrawHotSpot(bool highlight, POINT point) {
  if (!FHotSpotVisible || !HandleAllocated()) return;
  RECT r = FHotSpotRect;
  InvalidateRect(Handle(), &r, FALSE);
  FMouseInHotSpot = highlight;
  (void)point;
}

void TRzSplitter::PaintHotSpot(bool highlight, POINT point) {
  TCanvas* canvas = Canvas();
  const RECT inside = PaintBox(canvas, FHotSpotRect, FHotSpotFrameColor);
  const bool horizontal = FOrientation == orHorizontal;  // a vertical bar
  canvas->Brush()->SetStyle(bsSolid);
  if (FHotSpotDirection == hsdBoth) {
    canvas->Brush()->SetColor(FHotSpotColor);
    canvas->FillRect(inside);
    if (highlight) {
      RECT half = inside;
      if (!FHotSpotClosed) {
        const bool first = horizontal ? point.y < (inside.top + inside.bottom) / 2
                                      : point.x < (inside.left + inside.right) / 2;
        if (horizontal) {
          (first ? half.bottom : half.top) = (inside.top + inside.bottom) / 2;
        } else {
          (first ? half.right : half.left) = (inside.left + inside.right) / 2;
        }
      }
      canvas->Brush()->SetColor(FHotSpotHighlight);
      canvas->FillRect(half);
    }
    if (!FHotSpotClosed) {
      canvas->Pen()->SetColor(FHotSpotFrameColor);
      if (horizontal) {
        const int y = (inside.top + inside.bottom) / 2;
        canvas->MoveTo(inside.left, y);
        canvas->LineTo(inside.right, y);
      } else {
        const int x = (inside.left + inside.right) / 2;
        canvas->MoveTo(x, inside.top);
        canvas->LineTo(x, inside.bottom);
      }
    }
  } else {
    canvas->Brush()->SetColor(highlight ? FHotSpotHighlight : FHotSpotColor);
    canvas->FillRect(inside);
  }
  // Two triangles 8 pixels from each end point where a click moves the bar
  // ("back" is up on a vertical bar, left on a horizontal one).
  auto triangle = [&](int along, bool back) {
    const TColor c = FHotSpotDotColor;
    for (int depth = 0; depth < 3; ++depth) {
      const int reach = 2 - depth;
      for (int k = -reach; k <= reach; ++k) {
        const int across = back ? depth : 2 - depth;
        if (horizontal) {
          canvas->SetPixels((inside.left + inside.right) / 2 - 1 + across, along + k, c);
        } else {
          canvas->SetPixels(along + k, (inside.top + inside.bottom) / 2 - 1 + across, c);
        }
      }
    }
  };
  const int start = horizontal ? FHotSpotRect.top : FHotSpotRect.left;
  const int end = horizontal ? FHotSpotRect.bottom : FHotSpotRect.right;
  bool firstBack = false, secondBack = false;
  switch (FHotSpotDirection) {
    case hsdMin: firstBack = secondBack = !FHotSpotClosed; break;
    case hsdMax: firstBack = secondBack = FHotSpotClosed; break;
    case hsdBoth:
      if (!FHotSpotClosed) {
        firstBack = true;
        secondBack = false;
      } else {
        firstBack = secondBack = FHotSpotClosedToMax;
      }
      break;
  }
  triangle(start + 8, firstBack);
  triangle(end - 9, secondBack);
  const int length = end - start;
  if (length > 32) {
    const int count = (length - 32) / 3 + 1;
    const int middle = (start + end) / 2;
    for (int i = 0; i < count; ++i) {
      const int at = start + 15 + 3 * i;
      if (FHotSpotDirection == hsdBoth && !FHotSpotClosed && std::abs(at - middle) <= 3) continue;
      if (horizontal) {
        canvas->SetPixels((inside.left + inside.right) / 2, at, FHotSpotDotColor);
      } else {
        canvas->SetPixels(at, (inside.top + inside.bottom) / 2, FHotSpotDotColor);
      }
    }
  }
}

void TRzSplitter::UpdateHotSpotHighlight() {
  if (!FHotSpotVisible || !HandleAllocated()) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  const POINT p = ScreenToClient(cursor);
  const bool inside = PointInHotSpot(p);
  if (inside != FMouseInHotSpot || (inside && FHotSpotDirection == hsdBoth)) {
    FRefreshHotSpot = inside;
    DrawHotSpot(inside, p);
  }
}

void TRzSplitter::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETCURSOR: {
      if (reinterpret_cast<HWND>(Message.WParam) != Handle() || LOWORD(Message.LParam) != HTCLIENT) break;
      UpdateHotSpotHighlight();
      POINT cursor{};
      GetCursorPos(&cursor);
      const POINT p = ScreenToClient(cursor);
      if (!FLockBar && PtInRect(&FBarRect, p)) {
        const int kind = (FOrientation == orVertical ? 2 : 0) + (PointInHotSpot(p) ? 1 : 0);
        if (FCursors[kind]) {
          ::SetCursor(FCursors[kind]);
          Message.Result = 1;
          return;
        }
      }
      break;
    }
    case CM_MOUSELEAVE:
      TRzCustomPanel::Dispatch(Message);
      UpdateHotSpotHighlight();
      return;
    case CM_DESIGNHITTEST: {
      const POINT p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
      const bool both = (GetKeyState(VK_SHIFT) < 0) && (GetKeyState(VK_CONTROL) < 0);
      Message.Result = (FSliding || PtInRect(&FBarRect, p)) && !both ? 1 : 0;
      return;
    }
    case WM_SHOWWINDOW:
      TRzCustomPanel::Dispatch(Message);
      if (!IsDestroying())
        for (TRzSplitterPane* pane : FPanes) pane->Invalidate();
      return;
    default:
      break;
  }
  TRzCustomPanel::Dispatch(Message);
}

// -- Streaming -------------------------------------------------------------------------------------------

void TRzSplitter::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (TRzSplitterPane* pane : FPanes)
    for (int i = 0; i < pane->ControlCount(); ++i)
      if (pane->Controls(i)->Owner() == Root) Proc(pane->Controls(i));
}

void TRzSplitter::ReadBarSize(TReader* reader) {
  reader->ReadListBegin();
  int values[4] = {};
  for (int& v : values) {
    if (reader->EndOfList()) reader->Error("BarSize needs four numbers");
    v = reader->ReadInteger();
  }
  if (!reader->EndOfList()) reader->Error("BarSize needs four numbers");
  reader->ReadListEnd();
  FBarRect = RECT{values[0], values[1], values[2], values[3]};
  UpdateHotSpotRect();
}

void TRzSplitter::WriteBarSize(TWriter* writer) {
  writer->WriteListBegin();
  for (int v : {FBarRect.left, FBarRect.top, FBarRect.right, FBarRect.bottom}) writer->WriteInteger(v);
  writer->WriteListEnd();
}

void TRzSplitter::ReadPaneNames(TReader* reader, int pane) {
  FLoadNames[pane].clear();
  reader->ReadListBegin();
  while (!reader->EndOfList()) FLoadNames[pane].push_back(reader->ReadIdent());
  reader->ReadListEnd();
}

void TRzSplitter::WritePaneNames(TWriter* writer, int pane) {
  writer->WriteListBegin();
  for (int i = 0; i < FPanes[pane]->ControlCount(); ++i) writer->WriteIdent(FPanes[pane]->Controls(i)->Name());
  writer->WriteListEnd();
}

void TRzSplitter::DefineProperties(TFiler* filer) {
  TRzCustomPanel::DefineProperties(filer);
  filer->DefineProperty("BarSize", TReaderProc::Lambda([this](TReader* r) { ReadBarSize(r); }),
                        TWriterProc::Lambda([this](TWriter* w) { WriteBarSize(w); }), filer->Ancestor() == nullptr);
  filer->DefineProperty("HotSpotClosed", TReaderProc::Lambda([this](TReader* r) { FHotSpotClosed = r->ReadBoolean(); }),
                        TWriterProc::Lambda([this](TWriter* w) { w->WriteBoolean(FHotSpotClosed); }), FHotSpotClosed);
  filer->DefineProperty(
      "HotSpotClosedToMin", TReaderProc::Lambda([this](TReader* r) { FHotSpotClosedToMin = r->ReadBoolean(); }),
      TWriterProc::Lambda([this](TWriter* w) { w->WriteBoolean(FHotSpotClosedToMin); }), FHotSpotClosed);
  filer->DefineProperty(
      "HotSpotClosedToMax", TReaderProc::Lambda([this](TReader* r) { FHotSpotClosedToMax = r->ReadBoolean(); }),
      TWriterProc::Lambda([this](TWriter* w) { w->WriteBoolean(FHotSpotClosedToMax); }), FHotSpotClosed);
  filer->DefineProperty(
      "HotSpotPosition", TReaderProc::Lambda([this](TReader* r) { FHotSpotPosition = r->ReadInteger(); }),
      TWriterProc::Lambda([this](TWriter* w) { w->WriteInteger(FHotSpotPosition); }), FHotSpotClosed);
  filer->DefineProperty("UpperLeftControls", TReaderProc::Lambda([this](TReader* r) { ReadPaneNames(r, 0); }),
                        TWriterProc::Lambda([this](TWriter* w) { WritePaneNames(w, 0); }), true);
  filer->DefineProperty("LowerRightControls", TReaderProc::Lambda([this](TReader* r) { ReadPaneNames(r, 1); }),
                        TWriterProc::Lambda([this](TWriter* w) { WritePaneNames(w, 1); }), true);
  filer->DefineProperty("PositionMin", TReaderProc::Lambda(&TRzOldPropReader::ReadOldIntegerProp), TWriterProc(),
                        false);
  filer->DefineProperty("PositionMax", TReaderProc::Lambda(&TRzOldPropReader::ReadOldIntegerProp), TWriterProc(),
                        false);
}

// The controls stored as the splitter's go back into their panes.
void TRzSplitter::Loaded() {
  ++SplitterLoadingCount;
  try {
    TRzCustomPanel::Loaded();
    TCustomForm* form = ObjectAs<TCustomForm>(Owner());
    TWeakLink<TControl> active(form ? form->ActiveControl() : nullptr);
    SetManualPosition(FPosition);
    UpdateLayout();
    DisableAlign();
    for (int pane = 0; pane < 2; ++pane) {
      for (const AnsiString& name : FLoadNames[pane]) {
        auto* control = ObjectAs<TControl>(Owner() ? Owner()->FindComponent(name) : nullptr);
        if (control) control->SetParent(FPanes[pane]);
      }
      FLoadNames[pane].clear();
    }
    EnableAlign();
    if (form && active.Get()) form->SetActiveControl(ObjectAs<TWinControl>(active.Get()));
  } catch (...) {
    --SplitterLoadingCount;
    throw;
  }
  --SplitterLoadingCount;
  for (TRzSplitterPane* pane : FPanes) pane->Realign();
}

// -- Published properties --------------------------------------------------------------------------------

namespace {

const TEnumInfo FixedPaneNames{"TFixedPane", {"fpUpperLeft", "fpLowerRight"}};
const TEnumInfo SplitterStyleNames{"TSplitterStyle", {"ssStandard", "ssGroove", "ssBump", "ssGroupBar"}};
const TEnumInfo HotSpotDirectionNames{"THotSpotDirection", {"hsdMin", "hsdMax", "hsdBoth"}};
const TEnumInfo GradientPathNames{"TRzGroupBarGradientPath", {"gpTopToBottom", "gpBottomToTop"}};

using D = TRzPaneData;
const TPublishedRegistration paneDataRegistration(&D::ClassInfo, {
    Property<&D::BorderColor, &D::SetBorderColor>("BorderColor", pkColor).Default(clBtnFace),
    Property<&D::BorderInner, &D::SetBorderInner>("BorderInner", FrameStyleNames).Default(fsNone),
    Property<&D::BorderOuter, &D::SetBorderOuter>("BorderOuter", FrameStyleNames).Default(fsNone),
    Property<&D::BorderWidth, &D::SetBorderWidth>("BorderWidth").Default(0),
    Property<&D::Color, &D::SetColor>("Color", pkColor).Default(clBtnFace),
    Property<&D::FlatColor, &D::SetFlatColor>("FlatColor", pkColor).Default(clBtnShadow),
    Property<&D::FlatColorAdjustment, &D::SetFlatColorAdjustment>("FlatColorAdjustment").Default(30),
    Property<&D::DockSite, &D::SetDockSite>("DockSite").Default(false),
    Property<&D::ShowDockClientCaptions, &D::SetShowDockClientCaptions>("ShowDockClientCaptions").Default(true),
    Property<&D::Visible, &D::SetVisible>("Visible").Default(true),
});

using S = TRzSplitter;
const TPublishedRegistration splitterRegistration(&S::ClassInfo, {
    Property<&S::BorderOuter, &S::SetBorderOuter>("BorderOuter", FrameStyleNames).Default(fsNone),
    Property<&S::BorderInner, &S::SetBorderInner>("BorderInner", FrameStyleNames).Default(fsNone),
    Property<&S::BorderSides, &S::SetBorderSides>("BorderSides", SideNames).Default(sdAllSides),
    Property<&TWinControl::BorderWidth, &S::SetBorderWidth>("BorderWidth").Default(0),
    Property<&S::Transparent, &S::SetTransparent>("Transparent").Default(false),
    Property<&TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint>("FullRepaint").Default(true),
    Property<&TControl::Width, &TControl::SetWidth>("Width").Default(200),
    Property<&TControl::Height, &TControl::SetHeight>("Height").Default(100),
    Property<&S::Orientation, &S::SetOrientation>("Orientation", OrientationNames).Default(orHorizontal),
    Property<&S::UpperLeft>("UpperLeft"),
    Property<&S::LowerRight>("LowerRight"),
    Property<&S::FixedPane, &S::SetFixedPane>("FixedPane", FixedPaneNames).Default(fpUpperLeft),
    Property<&S::MarginMin, &S::SetMarginMin>("MarginMin").Default(0),
    Property<&S::MarginMax, &S::SetMarginMax>("MarginMax").Default(0),
    Property<&S::SplitterWidth, &S::SetSplitterWidth>("SplitterWidth").Default(4),
    Property<&S::SplitterStyle, &S::SetSplitterStyle>("SplitterStyle", SplitterStyleNames).Default(ssStandard),
    Property<&S::Position, &S::SetPosition>("Position"),
    Property<&S::UsePercent, &S::SetUsePercent>("UsePercent").Default(false),
    Property<&S::Percent, &S::SetPercent>("Percent").Default(50),
    Property<&S::PercentMin, &S::SetPercentMin>("PercentMin").Default(0),
    Property<&S::PercentMax, &S::SetPercentMax>("PercentMax").Default(100),
    Property<&S::RealTimeDrag, &S::SetRealTimeDrag>("RealTimeDrag").Default(false),
    Property<&S::LockBar, &S::SetLockBar>("LockBar").Default(false),
    Property<&S::HotSpotVisible, &S::SetHotSpotVisible>("HotSpotVisible").Default(false),
    Property<&S::HotSpotHighlight, &S::SetHotSpotHighlight>("HotSpotHighlight", pkColor).Default(clWindow),
    Property<&S::HotSpotColor, &S::SetHotSpotColor>("HotSpotColor", pkColor).Default(clBtnFace),
    Property<&S::HotSpotDotColor, &S::SetHotSpotDotColor>("HotSpotDotColor", pkColor).Default(clHighlight),
    Property<&S::HotSpotFrameColor, &S::SetHotSpotFrameColor>("HotSpotFrameColor", pkColor).Default(clBtnShadow),
    Property<&S::HotSpotDirection, &S::SetHotSpotDirection>("HotSpotDirection", HotSpotDirectionNames)
        .Default(hsdMin),
    Property<&S::HotSpotIgnoreMargins, &S::SetHotSpotIgnoreMargins>("HotSpotIgnoreMargins").Default(true),
    Property<&S::HotSpotSizePercent, &S::SetHotSpotSizePercent>("HotSpotSizePercent").Default(40),
    Property<&S::GradientColorAdjustment, &S::SetGradientColorAdjustment>("GradientColorAdjustment").Default(30),
    Property<&S::GradientPath, &S::SetGradientPath>("GradientPath", GradientPathNames).Default(gpTopToBottom),
    Event<&S::OnChange>("OnChange"),
    Event<&S::OnChanging>("OnChanging"),
    Event<&S::OnHotSpotClick>("OnHotSpotClick"),
    Event<&S::OnULDockDrop>("OnULDockDrop"),
    Event<&S::OnULUnDock>("OnULUnDock"),
    Event<&S::OnLRDockDrop>("OnLRDockDrop"),
    Event<&S::OnLRUnDock>("OnLRUnDock"),
});

}  // namespace
