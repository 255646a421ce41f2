// The editor control's input: focus, keys and characters, the mouse over
// its buttons, in-place activation, auto size, hints and painting.
#include "editors/framework/EditControl.h"

#include "editors/framework/EditPaintUtils.h"
#include "foundation/ContainerServices.h"
#include "foundation/Graphics.h"
#include "platform/Forms.h"
#include "foundation/Controls.h"
#include "platform/HintWindow.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"

#include <algorithm>
#include <climits>

namespace {
TShortCut ShortCutOf(WORD key, TShiftState shift) {
  return ShortCut(key, shift.Contains(ssShift), shift.Contains(ssCtrl), shift.Contains(ssAlt));
}

// Puts the canvas's clip region back at the end of a scope.
class TcxCanvasClipScope {
public:
  explicit TcxCanvasClipScope(TcxCanvas* canvas) : FCanvas(canvas) { canvas->PushClipRegion(); }
  ~TcxCanvasClipScope() { FCanvas->PopClipRegion(); }
  TcxCanvasClipScope(const TcxCanvasClipScope&) = delete;
  TcxCanvasClipScope& operator=(const TcxCanvasClipScope&) = delete;

private:
  TcxCanvas* FCanvas;
};

TcxEditMouseEvent EventOf(int button) {
  switch (button) {
    case 1: return emeLeft;
    case 2: return emeRight;
    case 3: return emeMiddle;
    default: return emeNone;
  }
}
}  // namespace

// -- View data and the view info ------------------------------------------------------------

TcxCustomEditViewData* TcxCustomEdit::NewViewData() {
  auto* viewData = CreateViewData(EffectiveProperties(), CurrentStyle(), FInPlace);
  if (FInPlace && FContentParamsCached) viewData->ContentParams = FContentParams;
  FillViewDataState(viewData);
  return viewData;
}

void TcxCustomEdit::FillViewDataState(TcxCustomEditViewData* viewData) {
  viewData->Edit = IsInnerControlPending() ? nullptr : this;
  viewData->WindowHandle = HandleAllocated() ? Handle() : nullptr;
  viewData->IsEnabled = Enabled();
  viewData->IsFocused = HandleAllocated() && Focused();
  viewData->Designing = IsDesigning();
  viewData->PressedButtonIndex = FPressedButtonIndex;
  viewData->HasCapture = HandleAllocated() && GetCapture() == Handle();
  viewData->Transparent = TransparentAllowed();
  if (TWinControl* inner = InnerControl()) {
    viewData->InnerControlVisible = inner->Visible();
    viewData->InnerControlBounds = inner->BoundsRect();
  }
}

void TcxCustomEdit::RecalcViewInfoAt(POINT p, TShiftState shift, TcxEditMouseEvent event, bool keepPressed) {
  std::unique_ptr<TcxCustomEditViewData> viewData(NewViewData());
  viewData->FillViewInfo(SharedScreenCanvas(), RECT{0, 0, Width(), Height()}, keepPressed, EditViewInfo(), shift, event,
                         p);
}

void TcxCustomEdit::RefreshStateBeforePaint() {
  if (!FViewInfoReady) RefreshContainer();
}

bool TcxCustomEdit::TrackMouseAt(POINT p, int button, TShiftState shift, bool) {
  if (!FInitialized || !HandleAllocated() || IsBeingDestroyed() ||
      ControlState().Contains(TControlStateItem::csDestroyingHandle))
    return true;
  FViewInfoReady = true;
  if (GetCapture() != Handle()) FPressedButtonIndex = -1;
  TcxCustomEditViewInfo* info = EditViewInfo();
  TcxCustomEditViewInfo old;
  old.TakeOverFrom(info);
  old.Bounds = info->Bounds;
  old.BorderRect = info->BorderRect;
  old.BorderColor = info->BorderColor;
  RecalcViewInfoAt(p, shift, EventOf(button), false);
  bool changed = false;
  if (!EqualRect(&old.Bounds, &info->Bounds)) {
    InvalidateRect(Handle(), nullptr, FALSE);
    changed = true;
  } else {
    changed = info->RepaintButtons(Handle(), &old);
  }
  if (!changed && old.PressedIndex == info->PressedIndex && old.HotIndex == info->HotIndex) return true;
  TWeakLink<TControl> self(this);
  AlignInnerControl();
  if (!self.Get()) return true;
  PassLookToInnerControl();
  {
    TcxFlagGuard region(FUpdatingRegion, true);
    ApplyWindowRegion();
  }
  TrackButtonState(&old);
  return true;
}

void TcxCustomEdit::TrackButtonState(TcxCustomEditViewInfo* old) {
  TcxCustomEditViewInfo* now = EditViewInfo();
  if (old->PressedIndex == now->PressedIndex && old->HotIndex == now->HotIndex) return;
  TWeakLink<TControl> self(this);
  if (old->PressedIndex >= 0) {
    const int released = old->PressedIndex;
    EditButtonReleased(released);
    // A click is a release over the button that was pressed.
    if (self.Get() && released == now->HotIndex && released < now->ButtonCount())
      FireButtonClick(now->Button(released).CollectionIndex);
  }
  if (self.Get() && now->PressedIndex >= 0 && old->PressedIndex < 0) EditButtonPressed(now->PressedIndex);
}

void TcxCustomEdit::RecheckMouseAtCursor() {
  if (!HandleAllocated()) return;
  TrackMouseAt(ScreenToClient(ReadCursorPos()), 0, CurrentShiftState(), false);
}

RECT TcxCustomEdit::BorderMargins() {
  TcxCustomEditViewInfo* info = EditViewInfo();
  return RECT{info->ClientRect.left - info->Bounds.left, info->ClientRect.top - info->Bounds.top,
              info->Bounds.right - info->ClientRect.right, info->Bounds.bottom - info->ClientRect.bottom};
}

RECT TcxCustomEdit::CalcInnerClientRect() {
  TcxCustomEditViewInfo* info = EditViewInfo();
  RECT r = info->InsideBorderRect;
  const int w = BorderWidthOfStyle(static_cast<int>(info->EditBorderStyle));
  if (info->Edges.Contains(bLeft)) r.left -= w;
  if (info->Edges.Contains(bTop)) r.top -= w;
  if (info->Edges.Contains(bRight)) r.right += w;
  if (info->Edges.Contains(bBottom)) r.bottom += w;
  return r;
}

// -- Focus ---------------------------------------------------------------------------------------

void TcxCustomEdit::DoEnter() {
  if (IsBeingDestroyed()) return;
  TWeakLink<TControl> self(this);
  if (!FFocusSuppressed) SaveValueOnEnter();
  if (self.Get()) RefreshHotStateAtCursor();
}

void TcxCustomEdit::SaveValueOnEnter() {
  PushModifiedState();
  TWeakLink<TControl> self(this);
  try {
    TcxContainer::DoEnter();
    if (!self.Get()) return;
    if (ResyncOnExit()) FDataBinding->RefreshEditDisplay();
    if (EffectiveProperties()->CanRevertValue()) FValueOnEnter = FEditValue;
    if (ResyncOnExit()) RefreshDisplayText();
  } catch (...) {
    if (self.Get()) PopModifiedState();
    throw;
  }
  if (!self.Get()) return;
  PopModifiedState();
  SetModifiedFlag(false);
}

void TcxCustomEdit::DoExit() {
  TcxFlagGuard userAction(FUserAction, false);
  ValidateOnExit();
}

void TcxCustomEdit::ValidateOnExit() {
  if (IsBeingDestroyed() || FFocusSuppressed) return;
  TWeakLink<TControl> self(this);
  PushModifiedState();
  LockChangeEvents(true);
  try {
    if (CheckEditValue(true) && !FInPlace && CanStoreToData()) StoreEditValue(false);
  } catch (...) {
    if (self.Get()) {
      LockChangeEvents(false);
      PopModifiedState();
    }
    throw;
  }
  if (!self.Get()) return;
  LockChangeEvents(false);
  if (!self.Get()) return;
  if (ResyncOnExit()) FDataBinding->RefreshEditDisplay();
  RefreshView();
  RefreshHotStateAtCursor();
  if (!self.Get()) return;
  PopModifiedState();
  TcxContainer::DoExit();
  if (self.Get()) MarkModified(false);
}

void TcxCustomEdit::FocusChanged() {
  if (IsBeingDestroyed() || FFocusSuppressed) return;
  const bool shown = HandleAllocated() && Focused() && (!Application || Application->Active());
  if (shown == FShownFocused) return;
  FShownFocused = shown;
  TWeakLink<TControl> self(this);
  TcxContainer::FocusChanged();
  if (self.Get()) FocusLookChanged();
}

void TcxCustomEdit::FocusLookChanged() {
  TWeakLink<TControl> self(this);
  RefreshView();
  if (self.Get() && FocusReallyLeft()) CheckEditValue(false);  // quietly
}

bool TcxCustomEdit::FocusReallyLeft() {
  // A modal form closed with an answer that keeps what was typed.
  TCustomForm* form = GetParentForm(this);
  if (form && form->Modal() && !form->Visible() && form->ModalResult() != mrNone && form->ModalResult() != mrCancel)
    return true;
  // The only control of a form lost the focus to a window of the same
  // top-level window that is no control of the form: no exit will come.
  if (FShownFocused || !HandleAllocated()) return false;
  auto* parentForm = ObjectAs<TCustomForm>(Parent());
  if (!parentForm || parentForm->ControlCount() != 1) return false;
  const HWND top = NearestTopLevelAncestor(Handle());
  return top && top == NearestTopLevelAncestor(GetFocus());
}

// -- Keys --------------------------------------------------------------------------------------

void TcxCustomEdit::KeyDown(WORD& Key, TShiftState Shift) {
  FEscapeUsed = false;
  TWeakLink<TControl> self(this);
  if (!IsClickShortcut(Key, Shift)) {
    TcxControl::KeyDown(Key, Shift);  // OnKeyDown
    if (!self.Get()) return;
  }
  if (Key != 0) ProcessKey(Key, Shift);
  if (self.Get() && Key != 0 && WantsKeyEvent()) FireKeyEvent(Key, Shift);
}

void TcxCustomEdit::ProcessKey(WORD& key, TShiftState shift) {
  if (key == 0) return;
  TcxCustomEditProperties* properties = EffectiveProperties();
  const TShortCut pressed = ShortCutOf(key, shift);
  TWeakLink<TControl> self(this);
  // The clear key (0: none).
  if (properties->ClearKey() != 0 && pressed == properties->ClearKey()) {
    LockChangeEvents(true);
    try {
      TcxFlagGuard userAction(FUserAction, true);
      AssignEditValue(DefaultEditValue());
      if (self.Get()) FValidated = true;
    } catch (...) {
      if (self.Get()) LockChangeEvents(false);
      throw;
    }
    if (self.Get()) LockChangeEvents(false);
    key = 0;
    return;
  }
  // The click key clicks only a default button.
  if (DefaultButtonIndex() >= 0 && properties->ButtonClickKey() != 0 && pressed == properties->ButtonClickKey()) {
    if (HandleAllocated()) DiscardPendingMessages(Handle(), WM_CHAR, WM_CHAR, true);
    ClickDefaultButton();
    key = 0;
    return;
  }
  if (!KeyMayProceed(key, shift)) {
    FireKeyEvent(key, shift);
    key = 0;
    return;
  }
  if (key == VK_TAB && Focused() && !shift.Contains(ssAlt) && !shift.Contains(ssCtrl) && !properties->WantsTab()) {
    BeforeKeyAction(shift);
    FireKeyEvent(key, shift);
    if (!self.Get() || key == 0) return;
    key = 0;
    if (TCustomForm* form = GetParentForm(this)) form->SelectNext(form->ActiveControl(), !shift.Contains(ssShift), true);
    if (self.Get() && HandleAllocated() && GetFocus() == Handle() && InnerControl()) FocusInnerControl();
    return;
  }
  if (key == VK_RETURN && properties->ValidateOnEnter()) {
    key = 0;
    LockChangeEvents(true);
    try {
      if (CheckEditValue(true) && CanStoreToData()) StoreEditValue(false);
    } catch (...) {
      if (self.Get()) LockChangeEvents(false);
      throw;
    }
    if (self.Get()) LockChangeEvents(false);
    return;
  }
  if (key == VK_ESCAPE && FModified && CanRevert()) {
    LockChangeEvents(true);
    try {
      FDataBinding->RevertValue();
      if (self.Get()) SetChangedSinceEnter(true);
    } catch (...) {
      if (self.Get()) LockChangeEvents(false);
      throw;
    }
    if (!self.Get()) return;
    LockChangeEvents(false);
    FEscapeUsed = true;
    key = 0;
    return;
  }
  if (!TextEditing() && key >= VK_PRIOR && key <= VK_DOWN) {
    FireKeyEvent(key, shift);
    key = 0;
  }
}

bool TcxCustomEdit::KeyMayProceed(WORD key, TShiftState shift) {
  return FDataBinding->HasValueToStore() || !IsEditingKey(key, shift) || StartEditing();
}

void TcxCustomEdit::KeyPress(char& Key) {
  if (Key == 0x1B && FEscapeUsed) {
    FEscapeUsed = false;
    Key = 0;
    return;
  }
  TWeakLink<TControl> self(this);
  TcxContainer::KeyPress(Key);
  if (self.Get() && Key != 0) ProcessChar(Key);
}

void TcxCustomEdit::FilterChar(char& key) {
  if (static_cast<unsigned char>(key) >= 32 && !KeyAllowedByProvider(key)) {
    key = 0;
    MessageBeep(0);
    return;
  }
  if (!FDataBinding->HasValueToStore() && IsEditingChar(key) && !StartEditing()) key = 0;
}

void TcxCustomEdit::KeyUp(WORD& Key, TShiftState Shift) {
  TWeakLink<TControl> self(this);
  TcxContainer::KeyUp(Key, Shift);
  if (self.Get() && Key != 0) AfterKeyUp(Key, Shift);
}

// -- Mouse ---------------------------------------------------------------------------------------

void TcxCustomEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TWeakLink<TControl> self(this);
  if (Button == mbLeft && FDblClickTimer && FDblClickTimer->Enabled()) {
    // The second click of an activation by mouse counts as a double click.
    FDblClickTimer->SetEnabled(false);
    if (ButtonIndexAt(POINT{X, Y}) < 0) TcxContainer::DblClick();
    if (!self.Get()) return;
  }
  TcxContainer::MouseDown(Button, Shift, X, Y);
  if (!self.Get()) return;
  if (Button == mbLeft && HandleAllocated() && GetCapture() == Handle()) {
    const int index = ButtonIndexAt(POINT{X, Y});
    if (index >= 0 && EditViewInfo()->Button(index).ButtonState == ebsPressed) FPressedButtonIndex = index;
  }
}

void TcxCustomEdit::MouseMove(TShiftState Shift, int X, int Y) { TcxContainer::MouseMove(Shift, X, Y); }

void TcxCustomEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TcxContainer::MouseUp(Button, Shift, X, Y);
}

void TcxCustomEdit::DblClick() {
  if (!HandleAllocated()) {
    TcxContainer::DblClick();
    return;
  }
  const POINT p = ScreenToClient(ReadCursorPos());
  if (ButtonIndexAt(p) < 0) {
    TcxContainer::DblClick();
    return;
  }
  // On a button: one more press, then Click.
  TWeakLink<TControl> self(this);
  TShiftState shift = CurrentShiftState();
  shift.Include(ssLeft);
  MouseDown(mbLeft, shift, p.x, p.y);
  if (self.Get()) Click();
}

void TcxCustomEdit::Click() {
  if (IsBeingDestroyed() || FClickLockCount > 0 || IsBeingLoaded()) return;
  TcxContainer::Click();
}

void TcxCustomEdit::DblClickTimerTick(TObject*) { FDblClickTimer->SetEnabled(false); }

// -- In-place activation ------------------------------------------------------------------------

void TcxCustomEdit::ActivateInPlace(TcxCustomEditData*& editData) {
  if (!editData) editData = NewEditData();
  FInPlaceEditData = editData;
  if (editData && editData->Cleared) {
    FillEditData(editData);
    editData->Cleared = false;
  }
  SetVisible(true);
  if (HandleAllocated() && CanFocus()) {
    SetFocus();
    if (EffectiveProperties()->AutoSelect()) SelectAllText();
  }
  RefreshDisplayText();
  SetChangedSinceEnter(false);
}

void TcxCustomEdit::ActivateByKey(char key, TcxCustomEditData*& editData) {
  HookInnerWindow();
  TWeakLink<TControl> self(this);
  try {
    ActivateInPlace(editData);
    if (self.Get() && KeyStartsEditing(key) && HandleAllocated())
      SendMessageA(Handle(), WM_CHAR, static_cast<unsigned char>(key), 0);
  } catch (...) {
    if (self.Get()) UnhookInnerWindow();
    throw;
  }
  if (self.Get()) UnhookInnerWindow();
}

void TcxCustomEdit::ActivateByMouse(TShiftState shift, int x, int y, TcxCustomEditData*& editData) {
  TWeakLink<TControl> self(this);
  ActivateInPlace(editData);
  if (!self.Get() || !HandleAllocated()) return;
  POINT p{x, y};
  if (Parent()) p = ScreenToClient(Parent()->ClientToScreen(p));
  WPARAM keys = 0;
  if (shift.Contains(ssShift)) keys |= MK_SHIFT;
  if (shift.Contains(ssCtrl)) keys |= MK_CONTROL;
  if (shift.Contains(ssLeft)) {
    keys |= MK_LBUTTON;
    SendMessageA(Handle(), WM_LBUTTONDOWN, keys, MAKELPARAM(p.x, p.y));
    if (self.Get() && HandleAllocated() && GetCapture() == Handle() && GetKeyState(VK_LBUTTON) >= 0) ReleaseCapture();
  } else {
    SendMessageA(Handle(), WM_LBUTTONUP, keys, MAKELPARAM(p.x, p.y));
  }
  if (self.Get()) FDblClickTimer->SetEnabled(true);
}

// -- The inner window -------------------------------------------------------------------------

void TcxCustomEdit::WireInnerControl() {
  TWinControl* inner = InnerControl();
  if (!inner) return;
  if (FInnerEdit) {
    FInnerEdit->SetContainer(this);
    if (EffectiveProperties()->ChangeFiredByEditor())
      FInnerEdit->SetOnChange(TNotifyEvent::Bind<&TcxCustomEdit::ReloadFromData>(this));
  }
  inner->SetParentShowHint(false);
}

void TcxCustomEdit::HookInnerWindow() {
  TWinControl* inner = InnerControl();
  if (!inner || FInnerHooked) return;
  // The inner control's own window procedure is swapped, not patched.
  FInnerOldWindowProc = inner->WindowProc;
  inner->WindowProc = TWndMethod::Bind<&TcxCustomEdit::InnerWindowProc>(this);
  FInnerHooked = true;
}

void TcxCustomEdit::UnhookInnerWindow() {
  TWinControl* inner = InnerControl();
  if (!FInnerHooked) return;
  if (inner) inner->WindowProc = FInnerOldWindowProc;
  FInnerOldWindowProc = nullptr;
  FInnerHooked = false;
}

void TcxCustomEdit::InnerWindowProc(TMessage& message) {
  if (InnerControlMessage(message)) return;
  if (FInnerOldWindowProc) FInnerOldWindowProc(message);
}

void TcxCustomEdit::PlaceInnerControl() {
  TWinControl* inner = InnerControl();
  if (!inner) return;
  const RECT r = EditViewInfo()->ClientRect;
  const RECT current = inner->BoundsRect();
  if (!EqualRect(&current, &r)) inner->SetBoundsRect(r);
}

// -- Auto size --------------------------------------------------------------------------------

void TcxCustomEdit::SetAutoSize(bool value) {
  if (FInPlace || FAutoSize == value) return;
  FAutoSize = value;
  if (value) AlignInnerControl();
}

void TcxCustomEdit::CalcAutoSize(int& width, int& height) {
  if (!AutoSizeWanted()) return;
  std::unique_ptr<TcxCustomEditViewData> viewData(NewViewData());
  const SIZE size = viewData->EditSizeForValue(SharedScreenCanvas(), width);
  const TAlign align = Align();
  if (AutoWidthButtons() && (align == alNone || align == alLeft || align == alRight)) width = size.cx;
  if (align != alLeft && align != alRight && align != alClient && align != alCustom) height = size.cy;
}

void TcxCustomEdit::AlignInnerControl() {
  if (!FInitialized) return;
  if (AutoSizeWanted()) {
    int width = Width(), height = TcxContainer::Height();
    CalcAutoSize(width, height);
    if (width != Width() || height != TcxContainer::Height()) {
      int left = Left();
      if (UsesAlignedCaption() && !FFirstAutoSizePending) left = Left() + Width() - width;
      FFirstAutoSizePending = false;
      SetBounds(left, Top(), width, height);
    }
  }
  PlaceInnerControl();
}

void TcxCustomEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (FInitialized && !IsBeingLoaded() && !IsBeingDestroyed()) CalcAutoSize(AWidth, AHeight);
  TcxContainer::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TcxCustomEdit::EnsureHandleForAutoSize() {
  if (FHandleNeededBusy || !AutoSizeWanted() || HandleAllocated()) return;
  TcxFlagGuard busy(FHandleNeededBusy, true);
  if (CanHaveHandle(this)) HandleNeeded();
}

int TcxCustomEdit::Height() {
  EnsureHandleForAutoSize();
  return TcxContainer::Height();
}

void TcxCustomEdit::CreateWnd() {
  TcxContainer::CreateWnd();
  TWeakLink<TControl> self(this);
  RefreshContainer();
  if (self.Get() && AutoSizeWanted()) AlignInnerControl();
  if (self.Get() && Focused() && InnerControl() && InnerControl()->CanFocus()) FocusInnerControl();
}

// -- Painting --------------------------------------------------------------------------------

bool TcxCustomEdit::DesignDataLinked() {
  return FDataBinding && FDataBinding->BoundToDataStorage() && ControlState().Contains(csPaintCopy);
}

void TcxCustomEdit::PaintValue(TcxCanvas* canvas) {
  const RECT bounds{0, 0, Width(), Height()};
  {
    TcxCanvasClipScope clip(canvas);
    ClipToWindowShape(canvas);
    std::unique_ptr<TcxCustomEditViewInfo> info(static_cast<TcxCustomEditViewInfo*>(ViewInfoClass()));
    info->Edit = this;
    std::unique_ptr<TcxCustomEditViewData> viewData(NewViewData());
    Variant value;
    FDataBinding->ReadEditValue(value);
    viewData->FillViewInfo(canvas, bounds, false, info.get(), TShiftState{}, emeNone, POINT{-1, -1});
    viewData->FillTextInfo(canvas, value, info.get());
    info->PaintOn(canvas);
  }
  canvas->ExcludeRectFromClip(bounds);
}

void TcxCustomEdit::Paint() {
  if (DesignDataLinked())
    PaintValue(cxCanvas());
  else
    TcxContainer::Paint();
}

// -- Messages --------------------------------------------------------------------------------

void TcxCustomEdit::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCCALCSIZE:
      if (FUpdatingRegion) {
        Message.Result = 0;
        return;
      }
      break;
    case WM_CONTEXTMENU:
      if (FInPlace) return;
      break;
    case WM_CUT:
      if (FUserAction) {
        if (EffectiveProperties()->GetReadOnly() || !FDataBinding->IsDataAvailable())
          CopySelection();
        else
          CutSelection();
      }
      return;
    case WM_COPY:
      CopySelection();
      return;
    case WM_PASTE:
      if (!EffectiveProperties()->GetReadOnly() && FDataBinding->IsDataAvailable()) {
        TcxFlagGuard userAction(FUserAction, true);
        PasteText();
      }
      return;
    case CM_HINTSHOW: {
      auto* info = reinterpret_cast<THintInfo*>(Message.LParam);
      TcxCustomEditViewInfo* view = EditViewInfo();
      int hot = -1;
      int part = -2;
      if (view->FindHotButton(hot))
        part = view->Button(hot).CollectionIndex;
      else if (PtInRect(&view->BorderRect, info->CursorPos))
        part = -1;
      if (part == -2) {
        Message.Result = 1;  // refused
        return;
      }
      AnsiString text = part >= 0 ? EffectiveProperties()->Buttons()->GetButton(part)->Hint() : AnsiString();
      if (text.empty() && ShowHint()) text = Hint();
      info->HintStr = GetShortHint(text);
      info->CursorRect = part >= 0 ? view->Button(hot).ButtonRect : view->BorderRect;
      if (part < 0 && view->ButtonCount() > 0) info->CursorRect.right = std::min<LONG>(info->CursorRect.right, view->Button(0).ButtonRect.left);
      Message.Result = 0;
      return;
    }
    case CM_DIALOGCHAR: {
      TcxEditButtons* buttons = EffectiveProperties()->Buttons();
      for (int i = 0; i < buttons->Count(); ++i) {
        TcxEditButton* button = buttons->GetButton(i);
        if (button->Visible() && button->Enabled() && button->Kind() == bkText &&
            IsAccel(static_cast<WORD>(Message.WParam), button->Caption())) {
          FireButtonClick(i);
          Message.Result = 1;
          return;
        }
      }
      break;
    }
    case CM_SHOWINGCHANGED: {
      TWeakLink<TControl> self(this);
      TcxContainer::WndProc(Message);
      if (self.Get() && Showing()) AlignInnerControl();
      return;
    }
    default:
      break;
  }
  TcxContainer::WndProc(Message);
}
