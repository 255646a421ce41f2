#include "dragdrop/DropTarget.h"

#include "dragdrop/DragDropFormats.h"
#include "platform/Thread.h"

#include <commctrl.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>

const TClassInfo TWinControlProxy::ClassInfo{"TWinControlProxy", &TWinControl::ClassInfo, nullptr};
const TClassInfo TCustomDropTarget::ClassInfo{"TCustomDropTarget", &TDragDropComponent::ClassInfo, nullptr};
const TClassInfo TCustomDropMultiTarget::ClassInfo{"TCustomDropMultiTarget", &TCustomDropTarget::ClassInfo,
                                                   nullptr};

using enum TScrolDirection;

namespace {

const CLSID ClsidDragDropHelper = {0x4657278A, 0x411B, 0x11D2, {0x83, 0x9A, 0x00, 0xC0, 0x4F, 0xD9, 0x18, 0xD0}};
const IID IidDropTargetHelper = {0x4657278B, 0x411B, 0x11D2, {0x83, 0x9A, 0x00, 0xC0, 0x4F, 0xD9, 0x18, 0xD0}};
const IID IidAsyncOperation = {0x3D8B0590, 0xF691, 0x11D2, {0x8E, 0xA9, 0x00, 0x60, 0x97, 0xDF, 0x5B, 0xD4}};
constexpr UINT_PTR ScrollTimerId = 1;

POINT ToPoint(POINTL pt) { return POINT{pt.x, pt.y}; }

POINT ScreenToClientPoint(HWND window, POINT point) {
  if (window) ScreenToClient(window, &point);
  return point;
}

bool Inside(const RECT& r, const POINT& p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

// The window of an entry now, never creating a control's window.
HWND EntryWindow(const TControlList::TEntry& entry) {
  if (!entry.Control) return entry.Window;
  return entry.Control->HandleAllocated() ? entry.Control->Handle() : nullptr;
}

}  // namespace

TShiftState ShiftStateFromKeys(DWORD keyState) {
  TShiftState shift;
  if (keyState & MK_SHIFT) shift += ssShift;
  if (keyState & MK_CONTROL) shift += ssCtrl;
  if (keyState & MK_LBUTTON) shift += ssLeft;
  if (keyState & MK_RBUTTON) shift += ssRight;
  if (keyState & MK_MBUTTON) shift += ssMiddle;
  if (keyState & MK_ALT) shift += ssAlt;
  return shift;
}

DWORD DragTypesToEffects(TDragTypes dragTypes) {
  DWORD effects = DROPEFFECT_NONE;
  if (dragTypes.Contains(dtCopy)) effects |= DROPEFFECT_COPY;
  if (dragTypes.Contains(dtMove)) effects |= DROPEFFECT_MOVE;
  if (dragTypes.Contains(dtLink)) effects |= DROPEFFECT_LINK;
  return effects;
}

DWORD ChooseDropEffect(TShiftState shift, DWORD allowed, bool fallback) {
  DWORD wanted;
  if (shift.Contains(ssShift) && shift.Contains(ssCtrl)) wanted = DROPEFFECT_LINK;
  else if (shift.Contains(ssCtrl)) wanted = DROPEFFECT_COPY;
  else wanted = DROPEFFECT_MOVE;
  if (allowed & wanted) return wanted;
  if (fallback)
    for (DWORD effect : {DROPEFFECT_COPY, DROPEFFECT_MOVE, DROPEFFECT_LINK})
      if (allowed & effect) return effect;
  return DROPEFFECT_NONE;
}

POINT ClientToWindowPoint(HWND window, const POINT& clientPoint) {
  POINT point = clientPoint;
  ClientToScreen(window, &point);
  RECT r{};
  GetWindowRect(window, &r);
  return POINT{point.x - r.left, point.y - r.top};
}

// ---------------------------------------------------------------------------
// TControlList

int TControlList::Add(const TEntry& entry) {
  FList.push_back(entry);
  return Count() - 1;
}

void TControlList::Insert(int index, const TEntry& entry) {
  FList.insert(FList.begin() + std::clamp(index, 0, Count()), entry);
}

void TControlList::Delete(int index) { FList.erase(FList.begin() + index); }

int TControlList::IndexOf(TWinControl* control) const {
  if (!control) return -1;
  for (int i = 0; i < Count(); ++i)
    if (FList[static_cast<size_t>(i)].Control == control) return i;
  return -1;
}

int TControlList::IndexOf(HWND window) const {
  if (!window) return -1;
  for (int i = 0; i < Count(); ++i) {
    const TEntry& entry = FList[static_cast<size_t>(i)];
    if (!entry.Control && entry.Window == window) return i;
  }
  return -1;
}

int TControlList::IndexOfComponent(const TComponent* component) const {
  if (!component) return -1;
  for (int i = 0; i < Count(); ++i) {
    const TEntry& entry = FList[static_cast<size_t>(i)];
    if (entry.Control && static_cast<const TComponent*>(entry.Control) == component) return i;
  }
  return -1;
}

HWND TControlList::Items(int index) const { return EntryWindow(Entry(index)); }

// ---------------------------------------------------------------------------
// TWinControlProxy

TWinControlProxy::TWinControlProxy(TCustomDropTarget* AOwner) : TWinControl(AOwner), FDropTarget(AOwner) {
  FVisible = false;
  FControlStyle.Exclude(csAcceptsControls);
}

void TWinControlProxy::HookControl(TWinControl* control) {
  FTargetControl = control;
  SetParent(control);
}

void TWinControlProxy::HookWindow(HWND window) {
  FTargetWindow = window;
  SetParentWindow(window);
  HandleNeeded();
}

void TWinControlProxy::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.ExStyle |= WS_EX_TRANSPARENT;
  Params.X = Params.Y = Params.Width = Params.Height = 0;
}

void TWinControlProxy::CreateWnd() {
  TWinControl::CreateWnd();
  HWND parent = GetParent(FHandle);
  const HRESULT hr = RegisterDragDrop(parent, static_cast<IDropTarget*>(FDropTarget));
  if (FAILED(hr)) {
    // No window without its registration: the next creation tries again.
    TWinControl::DestroyWnd();
    throw EOleSysError(Format("RegisterDragDrop failed (0x%08lX)", static_cast<unsigned long>(hr)), hr);
  }
  FRegistered = parent;
}

void TWinControlProxy::DestroyWnd() {
  Revoke();
  TWinControl::DestroyWnd();
}

void TWinControlProxy::WndProc(TMessage& Message) {
  // A plain parent window destroyed by its program takes this window along
  // without DestroyWnd; the parent still exists while its children hear it.
  if (Message.Msg == WM_DESTROY) Revoke();
  TWinControl::WndProc(Message);
}

void TWinControlProxy::Revoke() {
  if (!FRegistered) return;
  if (IsWindow(FRegistered)) RevokeDragDrop(FRegistered);
  FRegistered = nullptr;
}

// ---------------------------------------------------------------------------
// The transfer thread

// Reads the dropped data on its own thread, then fires the drop on the GUI
// thread. It frees itself when done. The target that started it may go first:
// it then detaches the thread (Detach), which waits until the thread no
// longer reads through the target, and the thread calls nothing of it
// afterwards.
class TDropTargetTransferThread : public TThread {
public:
  TDropTargetTransferThread(TCustomDropTarget* target, int32_t effect, IDataObject* dataObject)
      : TThread(true), FTarget(target), FEffect(effect) {
    FReadDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HRESULT hr = FReadDone ? S_OK : HRESULT_FROM_WIN32(GetLastError());
    if (SUCCEEDED(hr)) hr = CoMarshalInterThreadInterfaceInStream(IidAsyncOperation, dataObject, &FAsyncStream);
    if (SUCCEEDED(hr)) hr = CoMarshalInterThreadInterfaceInStream(IID_IDataObject, dataObject, &FDataStream);
    if (FAILED(hr)) {
      ReleaseStreams();
      if (FReadDone) CloseHandle(FReadDone);
      throw EOleSysError(Format("Cannot hand the drop to the transfer thread (0x%08lX)",
                                static_cast<unsigned long>(hr)), hr);
    }
    SetFreeOnTerminate(true);
  }
  ~TDropTargetTransferThread() override {
    ReleaseStreams();
    CloseHandle(FReadDone);
  }

  // On the GUI thread, by a target that goes away: nothing of the target is
  // called any more, and the wait lasts until the thread no longer reads
  // through it. COM calls into this apartment are served meanwhile (the data
  // object may be a proxy whose calls come here). Within one of the thread's
  // own calls into the target (its drop or its end) the reading is over
  // already, so a handler may free the target.
  void Detach() {
    FTargetGone = true;
    DWORD index = 0;
    if (FAILED(CoWaitForMultipleHandles(0, INFINITE, 1, &FReadDone, &index))) WaitForSingleObject(FReadDone, INFINITE);
  }

protected:
  void Execute() override {
    const bool com = SUCCEEDED(CoInitialize(nullptr));
    IDataObjectAsyncCapability* async = nullptr;
    IDataObject* data = nullptr;
    CoGetInterfaceAndReleaseStream(std::exchange(FAsyncStream, nullptr), IidAsyncOperation,
                                   reinterpret_cast<void**>(&async));
    CoGetInterfaceAndReleaseStream(std::exchange(FDataStream, nullptr), IID_IDataObject,
                                   reinterpret_cast<void**>(&data));
    HRESULT result = S_OK;
    bool dropped = false;
    try {
      if (!data) throw EOleSysError("The dropped data object did not reach the transfer thread", E_UNEXPECTED);
      {
        // Told last, once the target's reference is back in its slot.
        struct TDone {
          HANDLE Event;
          ~TDone() { SetEvent(Event); }
        } done{FReadDone};
        // The target's own reference belongs to the GUI thread's apartment:
        // set it aside while the formats are read through this thread's, and
        // give it back before the drop fires there. Each reference is then
        // used and released only in the apartment that made it.
        struct TSwap {
          TComPtr<IDataObject>& Slot;
          IDataObject* Kept;
          TSwap(TComPtr<IDataObject>& slot, IDataObject* own) : Slot(slot), Kept(slot.Detach()) { Slot.Attach(own); }
          ~TSwap() {
            Slot.Detach();
            Slot.Attach(Kept);
          }
        } swap(FTarget->FDataObject, data);
        FTarget->ReadFormats();
      }
      Synchronize(TThreadMethod::Lambda([this, &dropped] {
        if (FTargetGone) return;
        dropped = true;
        FTarget->FireDrop(TShiftState(), POINT{0, 0}, FEffect);
      }));
      if (!dropped) {
        // The target went before the drop could fire: nothing was dropped.
        result = E_ABORT;
        FEffect = DROPEFFECT_NONE;
      }
    } catch (const EOleSysError& e) {
      result = static_cast<HRESULT>(e.ErrorCode());
    } catch (...) {
      result = E_UNEXPECTED;
    }
    SetEvent(FReadDone);
    if (async) async->EndOperation(result, nullptr, static_cast<DWORD>(FEffect));
    if (async) async->Release();
    if (data) data->Release();
    if (com) CoUninitialize();
  }

  void DoTerminate() override {
    SetEvent(FReadDone);
    Synchronize(TThreadMethod::Lambda([this] {
      if (FTargetGone) return;
      GuardCallback([&] { FTarget->TransferTerminated(); });
    }));
  }

private:
  void ReleaseStreams() {
    // A stream never unmarshalled still holds a marshalled reference.
    for (IStream** stream : {&FAsyncStream, &FDataStream}) {
      if (!*stream) continue;
      LARGE_INTEGER start{};
      (*stream)->Seek(start, STREAM_SEEK_SET, nullptr);
      CoReleaseMarshalData(*stream);
      std::exchange(*stream, nullptr)->Release();
    }
  }
  TCustomDropTarget* FTarget;
  int32_t FEffect;
  IStream* FAsyncStream = nullptr;
  IStream* FDataStream = nullptr;
  HANDLE FReadDone = nullptr;           // set once the thread no longer reads through the target
  std::atomic<bool> FTargetGone{false};  // the target has let go: call nothing of it
};

// ---------------------------------------------------------------------------
// TCustomDropTarget

TCustomDropTarget::TCustomDropTarget(TComponent* AOwner) : TDragDropComponent(AOwner) {
  DragDropCoreUnit.Start();
}

TCustomDropTarget::~TCustomDropTarget() {
  LetTransferGo();
  StopScrollTimer();
  FDataObject.Clear();
  FDragImageObject.Clear();
  try {
    UnregisterTarget(nullptr);
  } catch (...) {
  }
  if (FTimerWindow) DeallocateHWnd(FTimerWindow);
  if (FPlaceholderImages) ImageList_Destroy(FPlaceholderImages);
  DragDropCoreUnit.Stop();
}

void TCustomDropTarget::BeforeDestruction() {
  // While the whole object, data formats included, still exists.
  LetTransferGo();
  TDragDropComponent::BeforeDestruction();
}

void TCustomDropTarget::LetTransferGo() {
  if (!FTransferThread) return;
  std::exchange(FTransferThread, nullptr)->Detach();
  FTransferRunning = false;
  FDataObject.Clear();
  FTarget = nullptr;
}

bool TCustomDropTarget::GetInterface(REFIID riid, void** object) {
  if (IsEqualIID(riid, IID_IDropTarget)) {
    *object = static_cast<IDropTarget*>(this);
    AddRef();
    return true;
  }
  return TDragDropComponent::GetInterface(riid, object);
}

HRESULT STDMETHODCALLTYPE TCustomDropTarget::QueryInterface(REFIID riid, void** object) {
  return TInterfacedComponent::QueryInterface(riid, object);
}
ULONG STDMETHODCALLTYPE TCustomDropTarget::AddRef() { return TInterfacedComponent::AddRef(); }
ULONG STDMETHODCALLTYPE TCustomDropTarget::Release() { return TInterfacedComponent::Release(); }

HWND TCustomDropTarget::Target() const {
  if (FTarget) return FTarget;
  return FTargets.Count() > 0 ? FTargets.Items(0) : nullptr;
}

TWinControl* TCustomDropTarget::TargetControl() const {
  if (FTarget) return TWinControl::FindControl(FTarget);
  return FTargets.Count() > 0 ? FTargets.Controls(0) : nullptr;
}

void TCustomDropTarget::SetTarget(TWinControl* value) { SetTargetEntry(TControlList::TEntry{value, nullptr}); }

void TCustomDropTarget::SetTarget(HWND value) {
  if (TWinControl* control = TWinControl::FindControl(value)) SetTarget(control);
  else SetTargetEntry(TControlList::TEntry{nullptr, value});
}

void TCustomDropTarget::SetTargetEntry(const TControlList::TEntry& entry) {
  if (entry.Control ? entry.Control == TargetControl() : entry.Window == Target()) return;
  if (MultiTarget && !ComponentState().Contains(csLoading)) UnregisterTarget(nullptr);
  RegisterEntry(entry);
}

void TCustomDropTarget::RegisterTarget(TWinControl* control) {
  RegisterEntry(TControlList::TEntry{control, nullptr});
}

void TCustomDropTarget::RegisterTarget(HWND control) {
  if (TWinControl* owner = TWinControl::FindControl(control)) RegisterTarget(owner);
  else RegisterEntry(TControlList::TEntry{nullptr, control});
}

bool TCustomDropTarget::Contains(const TControlList::TEntry& outer, const TControlList::TEntry& inner) const {
  if (outer.Control && inner.Control)
    return outer.Control != inner.Control && outer.Control->ContainsControl(inner.Control);
  HWND outerWindow = EntryWindow(outer);
  HWND innerWindow = EntryWindow(inner);
  return outerWindow && innerWindow && IsChild(outerWindow, innerWindow);
}

void TCustomDropTarget::RegisterEntry(const TControlList::TEntry& entry) {
  const bool given = entry.Control || entry.Window;
  if (given && (entry.Control ? FTargets.IndexOf(entry.Control) : FTargets.IndexOf(entry.Window)) >= 0) return;
  if (!MultiTarget && !ComponentState().Contains(csLoading)) UnregisterTarget(nullptr);
  if (!given) return;
  int index = -1;
  for (int i = FTargets.Count() - 1; i >= 0; --i)
    if (Contains(FTargets.Entry(i), entry)) {
      index = i + 1;
      break;
    }
  if (index < 0) index = FTargets.Count();
  FTargets.Insert(index, entry);
  try {
    Hook(entry);
  } catch (...) {
    FTargets.Delete(entry.Control ? FTargets.IndexOf(entry.Control) : FTargets.IndexOf(entry.Window));
    throw;
  }
  // Freeing the control must take it off the list.
  if (entry.Control) entry.Control->FreeNotification(this);
}

void TCustomDropTarget::UnregisterTarget(TWinControl* control) {
  if (!control) {
    UnregisterTarget(nullptr);
    return;
  }
  const int index = FTargets.IndexOf(control);
  if (index >= 0) UnregisterAt(index, true);
}

void TCustomDropTarget::UnregisterTarget(HWND control) {
  if (!control) {
    while (FTargets.Count() > 0) UnregisterAt(FTargets.Count() - 1, true);
    return;
  }
  if (TWinControl* owner = TWinControl::FindControl(control)) {
    UnregisterTarget(owner);
    return;
  }
  const int index = FTargets.IndexOf(control);
  if (index >= 0) UnregisterAt(index, true);
}

void TCustomDropTarget::UnregisterAt(int index, bool alive) {
  const TControlList::TEntry entry = FTargets.Entry(index);
  FTargets.Delete(index);
  // A control being destroyed has lost its window already.
  if (FTarget && (entry.Control ? !IsWindow(FTarget) || (alive && TWinControl::FindControl(FTarget) == entry.Control)
                                : FTarget == entry.Window))
    FTarget = nullptr;
  Unhook(entry, alive);
}

void TCustomDropTarget::Notification(TComponent* component, TOperation operation) {
  TDragDropComponent::Notification(component, operation);
  if (operation != opRemove) return;
  // The control is being destroyed: its window is gone, and it is compared
  // by address only.
  for (int index = FTargets.IndexOfComponent(component); index >= 0; index = FTargets.IndexOfComponent(component))
    UnregisterAt(index, false);
}

void TCustomDropTarget::Hook(const TControlList::TEntry& entry) {
  if (AutoRegister) {
    auto* proxy = New<TWinControlProxy>(this);
    try {
      if (entry.Control) proxy->HookControl(entry.Control);
      else proxy->HookWindow(entry.Window);
    } catch (...) {
      Free(proxy);
      throw;
    }
    return;
  }
  OleCheck(RegisterDragDrop(entry.Control ? entry.Control->Handle() : entry.Window, static_cast<IDropTarget*>(this)));
}

void TCustomDropTarget::Unhook(const TControlList::TEntry& entry, bool alive) {
  if (!AutoRegister) {
    HWND window = alive ? EntryWindow(entry) : nullptr;
    if (window && IsWindow(window)) RevokeDragDrop(window);
    return;
  }
  for (int i = ComponentCount() - 1; i >= 0; --i) {
    auto* proxy = ObjectAs<TWinControlProxy>(Components(i));
    if (proxy && proxy->TargetControl() == entry.Control && proxy->TargetWindow() == entry.Window) {
      Free(proxy);
      return;
    }
  }
}

HWND TCustomDropTarget::ControlAtPoint(const POINT& screenPoint) {
  for (HWND window = WindowFromPoint(screenPoint); window; window = GetAncestor(window, GA_PARENT)) {
    if (TWinControl* control = TWinControl::FindControl(window)) {
      if (FTargets.IndexOf(control) >= 0) return window;
    } else if (FTargets.IndexOf(window) >= 0) {
      return window;
    }
  }
  return nullptr;
}

int32_t TCustomDropTarget::ComputeDropEffect(TShiftState shift, const POINT& point, int32_t sourceEffects) {
  const DWORD allowed = static_cast<DWORD>(sourceEffects) & DragTypesToEffects(DragTypes);
  int32_t effect = static_cast<int32_t>(ChooseDropEffect(shift, allowed, true));
  if (AutoScroll && FScrollBars != 0) {
    if (Inside(FNoScrollRect, point)) effect &= ~static_cast<int32_t>(DROPEFFECT_SCROLL);
    else effect |= static_cast<int32_t>(DROPEFFECT_SCROLL);
  }
  FireEvent(OnGetDropEffect, this, shift, point, effect);
  return effect;
}

void TCustomDropTarget::FireEnter(TShiftState shift, const POINT& point, int32_t& effect) {
  FireEvent(OnEnter, this, shift, point, effect);
}
void TCustomDropTarget::FireDragOver(TShiftState shift, const POINT& point, int32_t& effect) {
  FireEvent(OnDragOver, this, shift, point, effect);
}
void TCustomDropTarget::FireLeave() { FireEvent(OnLeave, this); }
void TCustomDropTarget::FireScroll(POINT& point, TScrolDirections& scroll, int32_t& interval) {
  FireEvent(OnScroll, this, point, scroll, interval);
}

void TCustomDropTarget::FireDrop(TShiftState shift, const POINT& point, int32_t& effect) {
  const TWeakLink<TCustomDropTarget> alive(this);
  FireEvent(OnDrop, this, shift, point, effect);
  if (!alive || effect == DROPEFFECT_NONE) return;  // the handler may free the target
  if (OptimizedMove && effect == DROPEFFECT_MOVE) effect = DROPEFFECT_COPY;
  ReportPerformedEffect(effect);
}

void TCustomDropTarget::FirePaste(int32_t& effect) {
  FireDrop(TShiftState(), POINT{0, 0}, effect);
  if (effect != DROPEFFECT_NONE) ReportPasteSucceeded(effect);
}

int32_t TCustomDropTarget::ReadPreferredEffect() {
  if (!FDataObject) return 0;
  TPreferredDropEffectClipboardFormat preferred;
  if (!preferred.ReadFrom(FDataObject.Get())) return 0;
  return static_cast<int32_t>(preferred.Value());
}

void TCustomDropTarget::WriteFeedback(TClipboardFormat& format) {
  if (!FDataObject) return;
  FORMATETC fe = format.FormatEtc();
  fe.tymed = TYMED_HGLOBAL;
  STGMEDIUM medium{};
  format.WriteTo(FDataObject.Get(), fe, medium);
}

void TCustomDropTarget::ReportPerformedEffect(int32_t effect) {
  TPerformedDropEffectClipboardFormat performed;
  performed.SetValue(static_cast<uint32_t>(effect));
  WriteFeedback(performed);
}

void TCustomDropTarget::ReportPasteSucceeded(int32_t effect) {
  TPasteSuccededClipboardFormat succeeded;
  succeeded.SetValue(static_cast<uint32_t>(effect));
  WriteFeedback(succeeded);
}

bool TCustomDropTarget::FetchData(int32_t effect) {
  ResetData();
  if (AllowAsyncTransfer && FDataObject) {
    TComPtr<IDataObjectAsyncCapability> async;
    BOOL asyncMode = FALSE;
    if (SUCCEEDED(FDataObject->QueryInterface(IidAsyncOperation, reinterpret_cast<void**>(async.Put()))) &&
        async && SUCCEEDED(async->GetAsyncMode(&asyncMode)) && asyncMode) {
      FireEvent(OnStartAsyncTransfer, this);
      if (SUCCEEDED(async->StartOperation(nullptr))) {
        FTransferRunning = true;
        try {
          FTransferThread = new TDropTargetTransferThread(this, effect, FDataObject.Get());
        } catch (...) {
          FTransferRunning = false;
          async->EndOperation(E_UNEXPECTED, nullptr, DROPEFFECT_NONE);
          throw;
        }
        FTransferThread->Start();
        return true;
      }
    }
  }
  return ReadFormats();
}

void TCustomDropTarget::TransferTerminated() {
  FTransferThread = nullptr;  // it frees itself
  FTransferRunning = false;
  ResetData();
  FDataObject.Clear();
  FTarget = nullptr;
  FireEvent(OnEndAsyncTransfer, this);
}

HIMAGELIST TCustomDropTarget::PlaceholderImages() {
  if (FPlaceholderImages) return FPlaceholderImages;
  // One fully transparent image: the cursor the image-list drag shows.
  FPlaceholderImages = ImageList_Create(32, 32, ILC_MASK | ILC_COLOR24, 1, 1);
  if (!FPlaceholderImages) return nullptr;
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT r{0, 0, 32, 32};
  FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  ImageList_AddMasked(FPlaceholderImages, bitmap, GetSysColor(COLOR_WINDOW));
  DeleteObject(bitmap);
  return FPlaceholderImages;
}

HRESULT STDMETHODCALLTYPE TCustomDropTarget::DragEnter(IDataObject* dataObj, DWORD keyState, POINTL pt,
                                                       DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  // While a transfer runs, its data object and target control stay as they
  // are: another drag is turned away quietly, from its entry to its end.
  if (FTransferRunning) {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  try {
    return DoDragEnter(dataObj, keyState, pt, *effect);
  } catch (...) {
    *effect = DROPEFFECT_NONE;
    FDataObject.Clear();
    return HandleComException(this);
  }
}

HRESULT TCustomDropTarget::DoDragEnter(IDataObject* dataObj, DWORD keyState, POINTL pt, DWORD& effect) {
  ResetData();
  FDataObject = TComPtr<IDataObject>(dataObj);
  HRESULT result = S_OK;
  const POINT screenPoint = ToPoint(pt);
  FTarget = ControlAtPoint(screenPoint);
  POINT clientPoint = screenPoint;
  if (FTarget) {
    clientPoint = ScreenToClientPoint(FTarget, screenPoint);
    FLastPoint = clientPoint;
  } else {
    // Nowhere to show an image or to scroll.
    FShowImage = false;
    AutoScroll = false;
  }
  if (!dataObj || !OffersAcceptedFormat(dataObj)) {
    FDataObject.Clear();
    effect = DROPEFFECT_NONE;
  } else {
    FScrollBars = 0;
    if (AutoScroll && FTarget) {
      const LONG style = GetWindowLongA(FTarget, GWL_STYLE);
      if (style & WS_HSCROLL) FScrollBars |= 1;
      if (style & WS_VSCROLL) FScrollBars |= 2;
      if (FScrollBars) {
        GetClientRect(FTarget, &FNoScrollRect);
        if (FScrollBars & 2) InflateRect(&FNoScrollRect, 0, -GetSystemMetrics(SM_CYHSCROLL));
        if (FScrollBars & 1) InflateRect(&FNoScrollRect, -GetSystemMetrics(SM_CXHSCROLL), 0);
      }
    }
    if (GetDataOnEnter && !FetchData(static_cast<int32_t>(effect))) {
      FDataObject.Clear();
      effect = DROPEFFECT_NONE;
      return DV_E_CLIPFORMAT;
    }
    int32_t chosen = ComputeDropEffect(ShiftStateFromKeys(keyState), clientPoint, static_cast<int32_t>(effect));
    FireEnter(ShiftStateFromKeys(keyState), clientPoint, chosen);
    effect = static_cast<DWORD>(chosen);
    if (effect == DROPEFFECT_NONE) FDataObject.Clear();
  }
  FDragImageList = nullptr;
  if (!FShowImage) return result;
  IDropTargetHelper* helper = nullptr;
  if (SUCCEEDED(CoCreateInstance(ClsidDragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IidDropTargetHelper,
                                 reinterpret_cast<void**>(&helper))) &&
      helper) {
    FDragImageObject.Attach(helper);
    POINT p = screenPoint;
    if (FAILED(helper->DragEnter(FTarget, dataObj, &p, effect))) FDragImageObject.Clear();
  } else {
    FDragImageList = ImageList_GetDragImage(nullptr, &FHotspot);
    if (FDragImageList) {
      ImageList_SetDragCursorImage(PlaceholderImages(), 0, FHotspot.x, FHotspot.y);
      const POINT p = ClientToWindowPoint(FTarget, clientPoint);
      ImageList_DragEnter(FTarget, p.x, p.y);
    }
  }
  return result;
}

HRESULT STDMETHODCALLTYPE TCustomDropTarget::DragOver(DWORD keyState, POINTL pt, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  if (FTransferRunning) {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  try {
    return DoDragOver(keyState, pt, *effect);
  } catch (...) {
    HandleCallbackException(this);
    *effect = DROPEFFECT_NONE;
    return E_UNEXPECTED;
  }
}

HRESULT TCustomDropTarget::DoDragOver(DWORD keyState, POINTL pt, DWORD& effect) {
  if (!FTarget) {
    effect = DROPEFFECT_NONE;
    return E_UNEXPECTED;
  }
  const POINT screenPoint = ToPoint(pt);
  const POINT clientPoint = ScreenToClientPoint(FTarget, screenPoint);
  HRESULT result = DV_E_CLIPFORMAT;
  if (FDataObject) {
    const TShiftState shift = ShiftStateFromKeys(keyState);
    int32_t chosen = ComputeDropEffect(shift, clientPoint, static_cast<int32_t>(effect));
    FireDragOver(shift, clientPoint, chosen);
    effect = static_cast<DWORD>(chosen);
    if ((effect & DROPEFFECT_SCROLL) && !FScrollTimerRunning) StartScrollTimer(ScrollStartDelay);
    result = S_OK;
  }
  if (FDragImageObject) {
    POINT p = screenPoint;
    OleCheck(FDragImageObject->DragOver(&p, effect));
  } else if (FDragImageList && !FScrollTimerRunning &&
             (clientPoint.x != FLastPoint.x || clientPoint.y != FLastPoint.y)) {
    const POINT p = ClientToWindowPoint(FTarget, clientPoint);
    ImageList_DragMove(p.x, p.y);
  }
  FLastPoint = clientPoint;
  return result;
}

HRESULT STDMETHODCALLTYPE TCustomDropTarget::DragLeave() {
  if (FTransferRunning) return S_OK;
  return GuardComCall(
      [&] {
        try {
          ResetData();
          StopScrollTimer();
          FDataObject.Clear();
          if (FDragImageObject) FDragImageObject->DragLeave();
          else if (FDragImageList) ImageList_DragLeave(FTarget);
        } catch (...) {
          FTarget = nullptr;
          FDragImageObject.Clear();
          throw;
        }
        FTarget = nullptr;
        FDragImageObject.Clear();
        FireLeave();
        return S_OK;
      },
      this);
}

HRESULT STDMETHODCALLTYPE TCustomDropTarget::Drop(IDataObject* dataObj, DWORD keyState, POINTL pt, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  if (FTransferRunning) {
    *effect = DROPEFFECT_NONE;
    return S_OK;
  }
  const TWeakLink<TCustomDropTarget> alive(this);
  HRESULT result;
  try {
    result = DoDrop(dataObj, keyState, pt, *effect);
  } catch (...) {
    *effect = DROPEFFECT_NONE;
    result = alive ? HandleComException(this) : HandleComException(nullptr);
  }
  if (!alive) return result;  // its OnDrop handler freed the target
  // Whatever happened, the drag is over.
  try {
    if (!FTransferRunning) {
      ResetData();
      FDataObject.Clear();
      FTarget = nullptr;
    }
  } catch (...) {
    HandleCallbackException(this);
  }
  FDragImageObject.Clear();
  return result;
}

HRESULT TCustomDropTarget::DoDrop(IDataObject* dataObj, DWORD keyState, POINTL pt, DWORD& effect) {
  StopScrollTimer();
  HRESULT result = S_OK;
  const POINT screenPoint = ToPoint(pt);
  if (!FDataObject) {
    effect = DROPEFFECT_NONE;
    result = E_UNEXPECTED;
  } else {
    const TShiftState shift = ShiftStateFromKeys(keyState);
    const POINT clientPoint = FTarget ? ScreenToClientPoint(FTarget, screenPoint) : screenPoint;
    int32_t chosen = ComputeDropEffect(shift, clientPoint, static_cast<int32_t>(effect));
    if (GetDataOnEnter || FetchData(chosen)) {
      if (!FTransferRunning) {
        const TWeakLink<TCustomDropTarget> alive(this);
        FireDrop(shift, clientPoint, chosen);
        if (!alive) {
          effect = static_cast<DWORD>(chosen);
          return result;
        }
      }
    } else {
      chosen = DROPEFFECT_NONE;
    }
    effect = static_cast<DWORD>(chosen);
  }
  if (FDragImageObject) {
    POINT p = screenPoint;
    FDragImageObject->Drop(dataObj, &p, effect);
  } else if (FDragImageList && FTarget) {
    ImageList_DragLeave(FTarget);
  }
  return result;
}

void TCustomDropTarget::SetShowImage(bool value) {
  FShowImage = value;
  if (FDragImageObject) FDragImageObject->Show(value);
  else if (FDragImageList) ImageList_DragShowNolock(value);
}

void TCustomDropTarget::ScrollTimerMessage(TMessage& message) {
  if (message.Msg == WM_TIMER && message.WParam == ScrollTimerId) {
    ScrollTimerTick();
    message.Result = 0;
  } else {
    message.Result = DefWindowProcA(FTimerWindow, message.Msg, message.WParam, message.LParam);
  }
}

void TCustomDropTarget::StartScrollTimer(int32_t interval) {
  if (!FTimerWindow) FTimerWindow = AllocateHWnd(TWndMethod::Bind<&TCustomDropTarget::ScrollTimerMessage>(this));
  SetTimer(FTimerWindow, ScrollTimerId, static_cast<UINT>(std::max(interval, 1)), nullptr);
  FScrollTimerRunning = true;
}

void TCustomDropTarget::StopScrollTimer() {
  if (FTimerWindow && FScrollTimerRunning) KillTimer(FTimerWindow, ScrollTimerId);
  FScrollTimerRunning = false;
}

void TCustomDropTarget::ScrollTimerTick() {
  StopScrollTimer();
  int32_t interval = ScrollRepeatInterval;
  TScrolDirections scroll;
  if (!Inside(FNoScrollRect, FLastPoint)) {
    if (FLastPoint.y < FNoScrollRect.top) scroll += sdUp;
    else if (FLastPoint.y >= FNoScrollRect.bottom) scroll += sdDown;
    if (FLastPoint.x < FNoScrollRect.left) scroll += sdLeft;
    else if (FLastPoint.x >= FNoScrollRect.right) scroll += sdRight;
  }
  POINT point = FLastPoint;
  FireScroll(point, scroll, interval);
  if (scroll.Empty() || !FTarget) return;
  if (FDragImageList) ImageList_DragLeave(FTarget);
  try {
    if (scroll.Contains(sdUp)) SendMessageA(FTarget, WM_VSCROLL, SB_LINEUP, 0);
    else if (scroll.Contains(sdDown)) SendMessageA(FTarget, WM_VSCROLL, SB_LINEDOWN, 0);
    if (scroll.Contains(sdLeft)) SendMessageA(FTarget, WM_HSCROLL, SB_LINEUP, 0);
    else if (scroll.Contains(sdRight)) SendMessageA(FTarget, WM_HSCROLL, SB_LINEDOWN, 0);
  } catch (...) {
    if (FDragImageList && FTarget) {
      const POINT p = ClientToWindowPoint(FTarget, FLastPoint);
      ImageList_DragEnter(FTarget, p.x, p.y);
    }
    throw;
  }
  if (FDragImageList && FTarget) {
    const POINT p = ClientToWindowPoint(FTarget, FLastPoint);
    ImageList_DragEnter(FTarget, p.x, p.y);
  }
  StartScrollTimer(interval);
}

void TCustomDropTarget::PasteClipboard() {
  IDataObject* clipboard = nullptr;
  OleCheck(OleGetClipboard(&clipboard));
  FDataObject.Attach(clipboard);
  try {
    int32_t effect = ReadPreferredEffect();
    if (!FetchData(effect)) effect = DROPEFFECT_NONE;
    FirePaste(effect);
  } catch (...) {
    FDataObject.Clear();
    throw;
  }
  FDataObject.Clear();
}

void TCustomDropTarget::Assign(TPersistent* source) {
  auto* dataObject = dynamic_cast<IDataObject*>(source);
  if (!dataObject) {
    TDragDropComponent::Assign(source);
    return;
  }
  FDataObject = TComPtr<IDataObject>(dataObject);
  bool fetched = false;
  try {
    fetched = FetchData(DROPEFFECT_COPY);
  } catch (...) {
    FDataObject.Clear();
    throw;
  }
  FDataObject.Clear();
  if (!fetched) TDragDropComponent::Assign(source);
}

// ---------------------------------------------------------------------------
// TCustomDropMultiTarget

TCustomDropMultiTarget::TCustomDropMultiTarget(TComponent* AOwner) : TCustomDropTarget(AOwner) {
  DragTypes = TDragTypes{dtCopy, dtLink};
  GetDataOnEnter = false;
  CreateDataFormats();
}

TCustomDropMultiTarget::~TCustomDropMultiTarget() {
  LetTransferGo();
  // The data formats remove themselves from the list as they go.
  while (DataFormats()->Count() > 0) delete DataFormats()->Items(DataFormats()->Count() - 1);
}

void TCustomDropMultiTarget::FireConsiderFormat(TCustomDataFormat* dataFormat, bool& accept) {
  FireEvent(OnConsiderFormat, this, dataFormat, accept);
}

bool TCustomDropMultiTarget::OffersAcceptedFormat(IDataObject* dataObject) {
  TComPtr<IEnumFORMATETC> formats;
  if (FAILED(dataObject->EnumFormatEtc(DATADIR_GET, formats.Put())) || !formats) return false;
  if (FAILED(formats->Reset())) return false;
  for (;;) {
    FORMATETC fe{};
    ULONG fetched = 0;
    if (formats->Next(1, &fe, &fetched) != S_OK || fetched < 1) break;
    if (fe.ptd) CoTaskMemFree(fe.ptd);
    fe.ptd = nullptr;
    for (int i = 0; i < DataFormats()->Count(); ++i) {
      TCustomDataFormat* format = DataFormats()->Items(i);
      if (!format->AcceptsFormatEtc(fe) || !format->IsOfferedBy(dataObject)) continue;
      bool accept = true;
      FireConsiderFormat(format, accept);
      if (accept) return true;
    }
  }
  return false;
}

bool TCustomDropMultiTarget::ReadFormats() {
  IDataObject* dataObject = DataObject();
  if (!dataObject) return false;
  bool result = false;
  for (int i = 0; i < DataFormats()->Count(); ++i) {
    TCustomDataFormat* format = DataFormats()->Items(i);
    if (!format->IsOfferedBy(dataObject)) continue;
    bool accept = true;
    FireConsiderFormat(format, accept);
    if (accept && format->ReadFrom(dataObject)) result = true;
  }
  return result;
}

void TCustomDropMultiTarget::ResetData() {
  if (TransferRunning()) throw EDataFormatError("Can't clear data while async data transfer is in progress");
  for (int i = 0; i < DataFormats()->Count(); ++i) DataFormats()->Items(i)->ResetValue();
}
