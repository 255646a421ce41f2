#include "platform/Control.h"

#include "platform/ActnList.h"
#include "platform/CallbackGuard.h"
#include "platform/ControlsProperties.h"
#include "platform/DockTree.h"
#include "platform/DragManager.h"
#include "platform/Exceptions.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/Mouse.h"

#include <algorithm>

const TClassInfo TControl::ClassInfo{"TControl", &TComponent::ClassInfo, [](TObject* owner) -> TObject* {
                                       return new TControl(static_cast<TComponent*>(owner));
                                     }};
const TClassInfo TSizeConstraints::ClassInfo{"TSizeConstraints", &TPersistent::ClassInfo,
                                             [](TObject*) -> TObject* { return new TSizeConstraints; }};
const TClassInfo TControlCanvas::ClassInfo{"TControlCanvas", &TCanvas::ClassInfo,
                                           [](TObject*) -> TObject* { return new TControlCanvas; }};

TShiftState KeyboardShiftState() {
  TShiftState s;
  if (GetKeyState(VK_SHIFT) < 0) s.Include(ssShift);
  if (GetKeyState(VK_CONTROL) < 0) s.Include(ssCtrl);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TShiftState KeysToShiftState(WPARAM keys) {
  TShiftState s;
  if (keys & MK_SHIFT) s.Include(ssShift);
  if (keys & MK_CONTROL) s.Include(ssCtrl);
  if (keys & MK_LBUTTON) s.Include(ssLeft);
  if (keys & MK_RBUTTON) s.Include(ssRight);
  if (keys & MK_MBUTTON) s.Include(ssMiddle);
  if (GetKeyState(VK_MENU) < 0) s.Include(ssAlt);
  return s;
}

TCustomForm* GetParentForm(TControl* control) {
  while (control && control->Parent()) control = control->Parent();
  return ObjectAs<TCustomForm>(control);
}

// ---------------------------------------------------------------------------
// TSizeConstraints

void TSizeConstraints::Assign(TPersistent* source) {
  if (auto* other = ObjectAs<TSizeConstraints>(source)) {
    FMinWidth = other->FMinWidth;
    FMinHeight = other->FMinHeight;
    FMaxWidth = other->FMaxWidth;
    FMaxHeight = other->FMaxHeight;
    Change();
    return;
  }
  TPersistent::Assign(source);
}

TPersistent* TSizeConstraints::GetOwner() { return FControl; }

void TSizeConstraints::Change() {
  if (FControl) FControl->ConstraintsChanged();
  FireEvent(OnChange, this);
}

// A maximum below the minimum raises the minimum, and the other way round,
// so the limits never contradict each other.
void TSizeConstraints::SetMinWidth(int value) {
  value = std::max(value, 0);
  if (FMinWidth == value) return;
  FMinWidth = value;
  if (FMaxWidth > 0 && FMaxWidth < value) FMaxWidth = value;
  Change();
}

void TSizeConstraints::SetMinHeight(int value) {
  value = std::max(value, 0);
  if (FMinHeight == value) return;
  FMinHeight = value;
  if (FMaxHeight > 0 && FMaxHeight < value) FMaxHeight = value;
  Change();
}

void TSizeConstraints::SetMaxWidth(int value) {
  value = std::max(value, 0);
  if (FMaxWidth == value) return;
  FMaxWidth = value;
  if (value > 0 && FMinWidth > value) FMinWidth = value;
  Change();
}

void TSizeConstraints::SetMaxHeight(int value) {
  value = std::max(value, 0);
  if (FMaxHeight == value) return;
  FMaxHeight = value;
  if (value > 0 && FMinHeight > value) FMinHeight = value;
  Change();
}

// ---------------------------------------------------------------------------
// TControlCanvas

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::SetControl(TControl* value) {
  if (FControl == value) return;
  FreeHandle();
  FControl = value;
}

void TControlCanvas::CreateHandle() {
  if (!FControl) return;
  auto* win = ObjectAs<TWinControl>(FControl);
  HWND wnd = win ? win->Handle() : (FControl->Parent() ? FControl->Parent()->Handle() : nullptr);
  if (!wnd) return;
  auto dc = std::make_unique<TWindowDC>(wnd);
  if (!dc->Get()) return;
  if (!win) {
    SetViewportOrgEx(dc->Get(), FControl->Left(), FControl->Top(), nullptr);
    IntersectClipRect(dc->Get(), 0, 0, FControl->Width(), FControl->Height());
  }
  FDeviceContext = std::move(dc);
  SetHandle(FDeviceContext->Get());
}

void TControlCanvas::FreeHandle() {
  if (!FDeviceContext) return;
  SetHandle(nullptr);
  FDeviceContext.reset();
}

// ---------------------------------------------------------------------------
// TControl

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  WindowProc = TWndMethod::Bind<&TControl::WndProc>(this);
  FControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
  FFont.OnChange = TNotifyEvent::Bind<&TControl::FontChanged>(this);
}

TControl::~TControl() {
  FreeAndNil(FActionLink);
  if (Dragging()) CancelDrag();
  if (FParent) FParent->RemoveControl(this);
}

void TControl::BeforeDestruction() {
  TComponent::BeforeDestruction();
  if (Dragging()) CancelDrag();
}

void TControl::SetParent(TWinControl* value) {
  if (FParent == value) return;
  if (value == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (FParent) FParent->RemoveControl(this);
  if (value) value->InsertControl(this);
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* parent) {
  if (auto* win = ObjectAs<TWinControl>(parent)) SetParent(win);
}

void TControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == FPopupMenu) FPopupMenu = nullptr;
  // An action going away has told its links already: a link without an
  // action goes too.
  if (operation == opRemove && FActionLink && (!FActionLink->Action() || component == FActionLink->Action()))
    FreeAndNil(FActionLink);
}

// -- Actions ----------------------------------------------------------------------

TBasicAction* TControl::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

TClass TControl::GetActionLinkClass() const { return &TControlActionLink::ClassInfo; }

void TControl::SetAction(TBasicAction* value) {
  if (Action() == value) return;
  if (!value) {
    FreeAndNil(FActionLink);
    return;
  }
  if (!FActionLink) FActionLink = NewActionLink<TControlActionLink>(GetActionLinkClass(), this);
  FActionLink->SetAction(value);
  FActionLink->OnChange = TNotifyEvent::Bind<&TControl::DoActionChange>(this);
  ActionChange(value, value->ComponentState().Contains(csLoading));
  value->FreeNotification(this);
  FControlStyle.Include(csActionClient);
}

void TControl::DoActionChange(TObject* Sender) {
  if (Sender && Sender == Action()) ActionChange(Sender, false);
}

void TControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* action = ObjectAs<TCustomAction>(Sender);
  if (!action) return;
  if (!CheckDefaults || Caption().empty() || Caption() == Name()) SetCaption(action->Caption());
  if (!CheckDefaults || FEnabled) SetEnabled(action->Enabled());
  if (!CheckDefaults || FHint.empty()) SetHint(action->Hint());
  if (!CheckDefaults || FVisible) SetVisible(action->Visible());
  if (!CheckDefaults || !OnClick) OnClick = action->OnExecute();
}

void TControl::InitiateAction() {
  if (FActionLink) FActionLink->Update();
}

bool TControl::ExecuteAction(TBasicAction* Action) {
  if (!Action || !Action->HandlesTarget(this)) return false;
  Action->ExecuteTarget(this);
  return true;
}

bool TControl::UpdateAction(TBasicAction* Action) {
  if (!Action || !Action->HandlesTarget(this)) return false;
  Action->UpdateTarget(this);
  return true;
}

void TControl::ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight) {
  FireEvent(OnConstrainedResize, this, MinWidth, MinHeight, MaxWidth, MaxHeight);
}

void TControl::ConstrainSize(int& width, int& height) {
  int minW = FConstraints.FMinWidth, minH = FConstraints.FMinHeight;
  int maxW = FConstraints.FMaxWidth, maxH = FConstraints.FMaxHeight;
  ConstrainedResize(minW, minH, maxW, maxH);
  if (maxW > 0 && width > maxW) width = maxW;
  if (minW > 0 && width < minW) width = minW;
  if (maxH > 0 && height > maxH) height = maxH;
  if (minH > 0 && height < minH) height = minH;
}

void TControl::ConstraintsChanged() {
  if (!ComponentState().Contains(csLoading)) SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::ChangeScale(int M, int D) {
  if (M == D || D == 0) return;
  // Edges are scaled, not sizes, so neighbours stay neighbours.
  const int left = MulDiv(FLeft, M, D), top = MulDiv(FTop, M, D);
  const int right = MulDiv(FLeft + FWidth, M, D), bottom = MulDiv(FTop + FHeight, M, D);
  auto scale = [&](int v) { return v > 0 ? MulDiv(v, M, D) : v; };
  FConstraints.FMinWidth = scale(FConstraints.FMinWidth);
  FConstraints.FMinHeight = scale(FConstraints.FMinHeight);
  FConstraints.FMaxWidth = scale(FConstraints.FMaxWidth);
  FConstraints.FMaxHeight = scale(FConstraints.FMaxHeight);
  if (!FParentFont) FFont.SetSize(MulDiv(FFont.Size(), M, D));
  SetBounds(left, top, right - left, bottom - top);
}

void TControl::SetBiDiMode(TBiDiMode value) {
  FParentBiDiMode = false;
  if (FBiDiMode == value) return;
  FBiDiMode = value;
  Perform(CM_BIDIMODECHANGED);
}

void TControl::SetParentBiDiMode(bool value) {
  if (FParentBiDiMode == value) return;
  FParentBiDiMode = value;
  if (value && FParent) Perform(CM_PARENTBIDIMODECHANGED);
}

void TControl::SetCtl3D(bool value) {
  FParentCtl3D = false;
  if (FCtl3D == value) return;
  FCtl3D = value;
  Perform(CM_CTL3DCHANGED);
}

void TControl::SetParentCtl3D(bool value) {
  if (FParentCtl3D == value) return;
  FParentCtl3D = value;
  if (value && FParent) Perform(CM_PARENTCTL3DCHANGED);
}

bool TControl::ManualDock(TWinControl* NewDockSite, TControl* DropControl, TAlign ControlSide) {
  TWeakLink<TControl> self(this);
  if (FHostDockSite && !FHostDockSite->DoUnDock(NewDockSite, this)) return false;
  if (!self.Get()) return false;
  if (!NewDockSite) {
    SetParent(nullptr);
    DoEndDock(nullptr, FLeft, FTop);
    return true;
  }
  TDragDockObject dock(this);
  dock.DropAlign = ControlSide;
  dock.DropOnControl = DropControl;
  const POINT origin = NewDockSite->ClientToScreen(POINT{0, 0});
  dock.DockRect = RECT{origin.x, origin.y, origin.x + FWidth, origin.y + FHeight};
  NewDockSite->DockDrop(&dock, 0, 0);
  if (self.Get()) DoEndDock(NewDockSite, 0, 0);
  return true;
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (AWidth < 0) AWidth = 0;
  if (AHeight < 0) AHeight = 0;
  ConstrainSize(AWidth, AHeight);
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  Invalidate();
  ApplyBounds(ALeft, ATop, AWidth, AHeight);
  Invalidate();
}

void TControl::ApplyBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const bool resized = AWidth != FWidth || AHeight != FHeight;
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  UpdateAnchorRules();
  RequestAlign();
  if (resized) BoundsResized();
}

RECT TControl::ClientRect() { return RECT{0, 0, FWidth, FHeight}; }

void TControl::SetClientSize(int width, int height) { SetBounds(FLeft, FTop, width, height); }

POINT TControl::ClientOrigin() {
  if (!FParent) return POINT{FLeft, FTop};
  POINT p = FParent->ClientOrigin();
  return POINT{p.x + FLeft, p.y + FTop};
}

POINT TControl::ClientToScreen(POINT p) {
  POINT o = ClientOrigin();
  return POINT{p.x + o.x, p.y + o.y};
}

POINT TControl::ScreenToClient(POINT p) {
  POINT o = ClientOrigin();
  return POINT{p.x - o.x, p.y - o.y};
}

void TControl::SetAlign(TAlign value) {
  if (FAlign == value) return;
  FAlign = value;
  if (value != alNone && value != alCustom) FAnchors = {akLeft, akTop};
  RequestAlign();
}

void TControl::SetAnchors(TAnchors value) {
  FAnchors = value;
  UpdateAnchorRules();
}

void TControl::RequestAlign() {
  if (FParent) FParent->Realign();
}

void TControl::BringToFront() {
  if (!FParent) return;
  auto& list = FParent->FControls;
  list.erase(std::find(list.begin(), list.end(), this));
  list.push_back(this);
  if (auto* win = ObjectAs<TWinControl>(this); win && win->FHandle)
    SetWindowPos(win->FHandle, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Invalidate();
}

void TControl::SendToBack() {
  if (!FParent) return;
  auto& list = FParent->FControls;
  list.erase(std::find(list.begin(), list.end(), this));
  list.insert(list.begin(), this);
  if (auto* win = ObjectAs<TWinControl>(this); win && win->FHandle)
    SetWindowPos(win->FHandle, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Invalidate();
}

void TControl::SetVisible(bool value) {
  if (FVisible == value) return;
  FVisible = value;
  if (!value) Invalidate();
  Perform(CM_VISIBLECHANGED, value);
  if (value) Invalidate();
  RequestAlign();
}

bool TControl::IsControlVisible() const {
  for (const TControl* c = this; c; c = c->FParent)
    if (!c->FVisible) return false;
  return true;
}

void TControl::SetEnabled(bool value) {
  if (FEnabled == value) return;
  FEnabled = value;
  Perform(CM_ENABLEDCHANGED);
}

bool TControl::IsControlEnabled() const {
  for (const TControl* c = this; c; c = c->FParent)
    if (!c->FEnabled) return false;
  return true;
}

void TControl::SetColor(TColor value) {
  if (FColor == value && !FParentColor) return;
  FColor = value;
  FParentColor = false;
  Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
  if (FParentColor == value) return;
  FParentColor = value;
  if (value && FParent) Perform(CM_PARENTCOLORCHANGED);
}

void TControl::FontChanged(TObject*) {
  if (!FUpdatingParentFont) FParentFont = false;
  Perform(CM_FONTCHANGED);
}

void TControl::SetParentFont(bool value) {
  if (FParentFont == value) return;
  FParentFont = value;
  if (value && FParent) Perform(CM_PARENTFONTCHANGED);
}

void TControl::SetCursor(TCursor value) {
  if (FCursor == value) return;
  FCursor = value;
  Perform(CM_CURSORCHANGED);
}

void TControl::SetShowHint(bool value) {
  FShowHint = value;
  FParentShowHint = false;
  Perform(CM_SHOWHINTCHANGED);
}

void TControl::SetParentShowHint(bool value) {
  FParentShowHint = value;
  if (value && FParent) Perform(CM_PARENTSHOWHINTCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* value) {
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = value;
  if (value) value->FreeNotification(this);
}

void TControl::SetText(const AnsiString& value) {
  if (value == Text()) return;
  SetTextBuf(value);
  Perform(CM_TEXTCHANGED);
}

TCustomForm* TControl::ParentForm() const { return GetParentForm(const_cast<TControl*>(this)); }

LRESULT TControl::Perform(UINT msg, WPARAM wp, LPARAM lp) {
  TMessage message{msg, wp, lp, 0};
  WindowProc(message);
  return message.Result;
}

void TControl::WndProc(TMessage& Message) {
  if (DragFilterMessage(this, Message)) return;
  Dispatch(Message);
}

void TControl::HandleMouseDown(TMessage& Message, TMouseButton Button, TShiftState Extra) {
  const POINT p = MessagePoint(Message.LParam);
  if (FControlStyle.Contains(csCaptureMouse) && Button == mbLeft) {
    auto* win = ObjectAs<TWinControl>(this);
    if (win) {
      SetCapture(win->Handle());
    } else if (FParent) {
      SetCapture(FParent->Handle());
      FParent->FCaptureControl = this;
    }
  }
  if (Button == mbLeft) FControlState += TControlState{csLButtonDown, csClicked};
  if (Button == mbLeft && FDragMode == dmAutomatic) BeginDrag(false);
  MouseDown(Button, KeysToShiftState(Message.WParam) + Extra, p.x, p.y);
}

void TControl::HandleMouseUp(TMessage& Message, TMouseButton Button) {
  const POINT p = MessagePoint(Message.LParam);
  bool clicked = false;
  if (Button == mbLeft) {
    clicked = FControlState.Contains(csClicked);
    FControlState -= TControlState{csLButtonDown, csClicked};
    if (FControlStyle.Contains(csCaptureMouse)) {
      if (FParent && FParent->FCaptureControl == this) FParent->FCaptureControl = nullptr;
      if (GetCapture()) ReleaseCapture();
    }
  }
  TWeakLink<TControl> self(this);
  if (clicked && FControlStyle.Contains(csClickEvents)) {
    const RECT r = ClientRect();
    if (PtInRect(&r, p)) Click();
  }
  if (self.Get()) MouseUp(Button, KeysToShiftState(Message.WParam), p.x, p.y);
}

void TControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
      HandleMouseDown(Message, mbLeft, {});
      break;
    case WM_LBUTTONDBLCLK:
      // Without csDoubleClicks the second click is an ordinary press.
      if (FControlStyle.Contains(csDoubleClicks)) {
        DblClick();
        HandleMouseDown(Message, mbLeft, {ssDouble});
      } else {
        HandleMouseDown(Message, mbLeft, {});
      }
      break;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      HandleMouseDown(Message, mbRight, {});
      break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
      HandleMouseDown(Message, mbMiddle, {});
      break;
    case WM_LBUTTONUP:
      HandleMouseUp(Message, mbLeft);
      break;
    case WM_RBUTTONUP:
      HandleMouseUp(Message, mbRight);
      break;
    case WM_MBUTTONUP:
      HandleMouseUp(Message, mbMiddle);
      break;
    case WM_MOUSEMOVE: {
      const POINT p = MessagePoint(Message.LParam);
      MouseMove(KeysToShiftState(Message.WParam), p.x, p.y);
      break;
    }
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      if (Message.LParam == 0 || Message.LParam == reinterpret_cast<LPARAM>(this)) {
        const bool enter = Message.Msg == CM_MOUSEENTER;
        FMouseInControl = enter;
        if (Application) Application->ControlMouseChanged(this, enter);
        FireEvent(enter ? OnMouseEnter : OnMouseLeave, this);
      }
      return;
    case CM_ENABLEDCHANGED:
    case CM_PARENTENABLEDCHANGED:
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
    case CM_TEXTCHANGED:
      Invalidate();
      return;
    case CM_VISIBLECHANGED:
      return;
    case CM_PARENTCOLORCHANGED:
      if (FParentColor && FParent) {
        FColor = FParent->Color();
        Perform(CM_COLORCHANGED);
      }
      return;
    case CM_PARENTFONTCHANGED:
      if (FParentFont && FParent) {
        FUpdatingParentFont = true;
        try {
          FFont.Assign(FParent->Font());
        } catch (...) {
          FUpdatingParentFont = false;
          throw;
        }
        FUpdatingParentFont = false;
      }
      return;
    case CM_PARENTSHOWHINTCHANGED:
      if (FParentShowHint && FParent) FShowHint = FParent->ShowHint();
      return;
    case CM_PARENTBIDIMODECHANGED:
      if (FParentBiDiMode && FParent && FBiDiMode != FParent->BiDiMode()) {
        FBiDiMode = FParent->BiDiMode();
        Perform(CM_BIDIMODECHANGED);
      }
      return;
    case CM_PARENTCTL3DCHANGED:
      if (FParentCtl3D && FParent && FCtl3D != FParent->Ctl3D()) {
        FCtl3D = FParent->Ctl3D();
        Perform(CM_CTL3DCHANGED);
      }
      return;
    case CM_BIDIMODECHANGED:
    case CM_CTL3DCHANGED:
      Invalidate();
      return;
    case CM_HITTEST:
      Message.Result = HTCLIENT;
      return;
    case CM_HINTSHOW:
      Message.Result = 0;
      return;
    case CM_DRAG:
      HandleDragMessage(this, Message);
      return;
    default:
      break;
  }
  DefaultHandler(Message);
}

void TControl::DefaultHandler(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETTEXTLENGTH:
      Message.Result = static_cast<LRESULT>(FText.size());
      break;
    case WM_GETTEXT: {
      if (Message.WParam == 0) break;
      const size_t n = std::min<size_t>(FText.size(), Message.WParam - 1);
      std::copy_n(FText.data(), n, reinterpret_cast<char*>(Message.LParam));
      reinterpret_cast<char*>(Message.LParam)[n] = 0;
      Message.Result = static_cast<LRESULT>(n);
      break;
    }
    default:
      break;
  }
}

void TControl::Invalidate() {
  if (!FParent || !FParent->FHandle || !FVisible) return;
  const RECT r = BoundsRect();
  InvalidateRect(FParent->FHandle, &r, !FControlStyle.Contains(csOpaque));
}

void TControl::Update() {
  if (FParent) FParent->Update();
}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::Click() {
  TBasicAction* action = Action();
  if (OnClick && (!action || !(OnClick == action->OnExecute()))) {
    OnClick(this);
  } else if (action && !ComponentState().Contains(csDesigning)) {
    FActionLink->Execute(this);
  } else {
    FireEvent(OnClick, this);
  }
}
void TControl::DblClick() { FireEvent(OnDblClick, this); }

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FireEvent(OnMouseDown, this, Button, Shift, X, Y);
}
void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FireEvent(OnMouseUp, this, Button, Shift, X, Y);
}
void TControl::MouseMove(TShiftState Shift, int X, int Y) { FireEvent(OnMouseMove, this, Shift, X, Y); }

bool TControl::DoMouseWheel(TShiftState Shift, int WheelDelta, POINT MousePos) {
  bool handled = false;
  FireEvent(OnMouseWheel, this, Shift, WheelDelta, MousePos, handled);
  return handled;
}

void TControl::BeginDrag(bool immediate, int threshold) {
  if (Dragging()) return;
  DragInitControl(this, immediate, threshold < 0 ? Mouse->DragThreshold() : threshold);
}

void TControl::EndDrag(bool drop) {
  if (Dragging()) DragDone(drop);
}

bool TControl::Dragging() const { return DragSourceControl() == this; }

void TControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  Accept = false;
  if (OnDragOver) {
    Accept = true;
    OnDragOver(this, Source, X, Y, State, Accept);
  }
}

void TControl::DragDrop(TObject* Source, int X, int Y) { FireEvent(OnDragDrop, this, Source, X, Y); }
void TControl::DoEndDrag(TObject* Target, int X, int Y) { FireEvent(OnEndDrag, this, Target, X, Y); }
void TControl::DoStartDrag(TDragObject*& DragObject) { FireEvent(OnStartDrag, this, DragObject); }

// ---------------------------------------------------------------------------
// TGraphicControl and TCustomControl

const TClassInfo TGraphicControl::ClassInfo{"TGraphicControl", &TControl::ClassInfo, [](TObject* owner) -> TObject* {
                                              return new TGraphicControl(static_cast<TComponent*>(owner));
                                            }};

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner) { FCanvas.SetControl(this); }

void TGraphicControl::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_PAINT && Message.WParam) {
    const TCanvasPaintScope scope(FCanvas, reinterpret_cast<HDC>(Message.WParam));
    Paint();
    return;
  }
  TControl::Dispatch(Message);
}

const TClassInfo TCustomControl::ClassInfo{"TCustomControl", &TWinControl::ClassInfo, [](TObject* owner) -> TObject* {
                                             return new TCustomControl(static_cast<TComponent*>(owner));
                                           }};

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner) {
  FCanvas.SetControl(this);
  FControlState.Include(csCustomPaint);
}

void TCustomControl::PaintWindow(HDC dc) {
  TCanvasPaintScope scope(FCanvas, dc);
  Paint();
}

// -- Published properties -------------------------------------------------------

namespace {

// A control that takes its parent's colour or font stores neither; one with
// its own stores it, and the Parent… flag then follows on reading.
bool ControlColorStored(TObject* o) { return !static_cast<TControl*>(o)->ParentColor(); }
bool ControlFontStored(TObject* o) { return !static_cast<TControl*>(o)->ParentFont(); }
bool ParentColorStored(TObject* o) { return static_cast<TControl*>(o)->ParentColor(); }
bool ParentFontStored(TObject* o) { return static_cast<TControl*>(o)->ParentFont(); }
// Reading order and the 3-D look likewise; constraints when there are any.
bool BiDiModeStored(TObject* o) { return !static_cast<TControl*>(o)->ParentBiDiMode(); }
bool Ctl3DStored(TObject* o) { return !static_cast<TControl*>(o)->ParentCtl3D(); }
bool ConstraintsStored(TObject* o) { return !static_cast<TControl*>(o)->Constraints()->IsEmpty(); }

const TEnumInfo BiDiModeNames{"TBiDiMode",
                              {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"}};
const TEnumInfo DragKindNames{"TDragKind", {"dkDrag", "dkDock"}};

const TPublishedRegistration sizeConstraintsRegistration(&TSizeConstraints::ClassInfo, {
    Property<&TSizeConstraints::MaxHeight, &TSizeConstraints::SetMaxHeight>("MaxHeight").Default(0),
    Property<&TSizeConstraints::MaxWidth, &TSizeConstraints::SetMaxWidth>("MaxWidth").Default(0),
    Property<&TSizeConstraints::MinHeight, &TSizeConstraints::SetMinHeight>("MinHeight").Default(0),
    Property<&TSizeConstraints::MinWidth, &TSizeConstraints::SetMinWidth>("MinWidth").Default(0),
});

const TPublishedRegistration controlRegistration(&TControl::ClassInfo, {
    Property<&TControl::Left, &TControl::SetLeft>("Left"),
    Property<&TControl::Top, &TControl::SetTop>("Top"),
    Property<&TControl::Width, &TControl::SetWidth>("Width"),
    Property<&TControl::Height, &TControl::SetHeight>("Height"),
    Property<&TControl::Align, &TControl::SetAlign>("Align", AlignNames).Default(alNone),
    Property<&TControl::Anchors, &TControl::SetAnchors>("Anchors", AnchorNames).Default(TAnchors{akLeft, akTop}),
    Property<&TControl::Visible, &TControl::SetVisible>("Visible").Default(true),
    Property<&TControl::Enabled, &TControl::SetEnabled>("Enabled").Default(true),
    StoredWhen(Property<&TControl::Color, &TControl::SetColor>("Color", pkColor), ControlColorStored),
    StoredWhen(Property<&TControl::ParentColor, &TControl::SetParentColor>("ParentColor"), ParentColorStored),
    StoredWhen(Property<&TControl::Font>("Font"), ControlFontStored),
    StoredWhen(Property<&TControl::ParentFont, &TControl::SetParentFont>("ParentFont"), ParentFontStored),
    Property<&TControl::Cursor, &TControl::SetCursor>("Cursor", pkCursor).Default(crDefault),
    Property<&TControl::Action, &TControl::SetAction>("Action"),
    Property<&TControl::Hint, &TControl::SetHint>("Hint"),
    Property<&TControl::ShowHint, &TControl::SetShowHint>("ShowHint").Default(false),
    Property<&TControl::ParentShowHint, &TControl::SetParentShowHint>("ParentShowHint").Default(true),
    Property<&TControl::PopupMenu, &TControl::SetPopupMenu>("PopupMenu"),
    Property<&TControl::DragMode, &TControl::SetDragMode>("DragMode", DragModeNames).Default(dmManual),
    Property<&TControl::DragCursor, &TControl::SetDragCursor>("DragCursor", pkCursor).Default(crDrag),
    Property<&TControl::DragKind, &TControl::SetDragKind>("DragKind", DragKindNames).Default(dkDrag),
    Property<&TControl::HelpContext, &TControl::SetHelpContext>("HelpContext").Default(0),
    StoredWhen(Property<&TControl::BiDiMode, &TControl::SetBiDiMode>("BiDiMode", BiDiModeNames), BiDiModeStored),
    Property<&TControl::ParentBiDiMode, &TControl::SetParentBiDiMode>("ParentBiDiMode").Default(true),
    StoredWhen(Property<&TControl::Ctl3D, &TControl::SetCtl3D>("Ctl3D"), Ctl3DStored),
    Property<&TControl::ParentCtl3D, &TControl::SetParentCtl3D>("ParentCtl3D").Default(true),
    StoredWhen(Property<&TControl::Constraints>("Constraints"), ConstraintsStored),
    Event<&TControl::OnConstrainedResize>("OnConstrainedResize"),
    Event<&TControl::OnEndDock>("OnEndDock"),
    Event<&TControl::OnClick>("OnClick"),
    Event<&TControl::OnDblClick>("OnDblClick"),
    Event<&TControl::OnResize>("OnResize"),
    Event<&TControl::OnMouseEnter>("OnMouseEnter"),
    Event<&TControl::OnMouseLeave>("OnMouseLeave"),
    Event<&TControl::OnMouseDown>("OnMouseDown"),
    Event<&TControl::OnMouseUp>("OnMouseUp"),
    Event<&TControl::OnMouseMove>("OnMouseMove"),
    Event<&TControl::OnMouseWheel>("OnMouseWheel"),
    Event<&TControl::OnDragOver>("OnDragOver"),
    Event<&TControl::OnDragDrop>("OnDragDrop"),
    Event<&TControl::OnEndDrag>("OnEndDrag"),
    Event<&TControl::OnStartDrag>("OnStartDrag"),
});

}  // namespace
