#include "platform/DragManager.h"

#include <cstdlib>

const TClassInfo TDragObject::ClassInfo{"TDragObject", &TObject::ClassInfo, nullptr};
const TClassInfo TDragControlObject::ClassInfo{"TDragControlObject", &TDragObject::ClassInfo, nullptr};

TCursor TDragObject::GetDragCursor(bool Accepted, int, int) { return Accepted ? crDrag : crNoDrop; }
void TDragObject::Finished(TObject*, int, int, bool) {}

TCursor TDragControlObject::GetDragCursor(bool Accepted, int, int) {
  if (!Accepted) return crNoDrop;
  return FControl.Get() ? FControl->DragCursor() : crDrag;
}

void TDragControlObject::Finished(TObject* Target, int X, int Y, bool) {
  if (TControl* control = FControl.Get()) control->DoEndDrag(Target, X, Y);
}

// One drag at a time per process, on the GUI thread.
class TDragManager {
public:
  static TDragManager& Instance() {
    static TDragManager manager;
    return manager;
  }

  void Init(TControl* control, bool immediate, int threshold) {
    TDragObject* object = nullptr;
    control->DoStartDrag(object);
    FFreeObject = object == nullptr;
    if (!object) object = new TDragControlObject(control);
    FObject = object;
    FSource = control;
    FTarget = nullptr;
    FAccepted = false;
    FThreshold = threshold;
    GetCursorPos(&FStart);
    auto* win = ObjectAs<TWinControl>(control);
    FCaptureWindow = win ? win->Handle() : (control->Parent() ? control->Parent()->Handle() : nullptr);
    FStarted = false;
    if (FCaptureWindow) SetCapture(FCaptureWindow);
    if (immediate) {
      FStarted = true;
      MoveTo(FStart);
    }
  }

  bool Active() const { return FObject != nullptr; }
  TDragObject* Object() const { return FObject; }
  TControl* Source() const { return FObject ? FSource.Get() : nullptr; }

  bool Filter(TControl* receiver, TMessage& message) {
    switch (message.Msg) {
      case WM_MOUSEMOVE: {
        const POINT pos = ScreenPoint(receiver, message);
        if (!FStarted) {
          if (std::abs(pos.x - FStart.x) < FThreshold && std::abs(pos.y - FStart.y) < FThreshold) return false;
          FStarted = true;
        }
        MoveTo(pos);
        return true;
      }
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
        if (!FStarted) {
          // A click without a drag: the click goes on as usual.
          Done(false, false);
          return false;
        }
        MoveTo(ScreenPoint(receiver, message));
        Done(true, true);
        return true;
      case WM_KEYDOWN:
        if (message.WParam == VK_ESCAPE && FStarted) {
          Done(false, true);
          return true;
        }
        return FStarted;
      case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(message.LParam) != FCaptureWindow) Done(false, FStarted);
        return false;
      default:
        return false;
    }
  }

  void Done(bool drop, bool notify) {
    if (!FObject) return;
    TDragObject* object = FObject;
    TControl* target = FTarget.Get();
    const bool accepted = drop && target && FAccepted;
    FObject = nullptr;  // no re-entry from WM_CAPTURECHANGED below
    if (GetCapture() == FCaptureWindow) ReleaseCapture();
    object->FCancelling = !drop;
    object->FDropped = accepted;
    const POINT pos = object->FDragPos;
    if (notify) {
      if (target) {
        FObject = object;
        SendDragMessage(target, accepted ? dmDragDrop : dmDragLeave, pos);
        FObject = nullptr;
      }
      POINT client = pos;
      if (target) client = target->ScreenToClient(pos);
      object->Finished(accepted ? target : nullptr, client.x, client.y, accepted);
    }
    FTarget = nullptr;
    FSource = nullptr;
    if (FFreeObject) delete object;
    ::SetCursor(Screen->Cursors(crDefault));
  }

private:
  static POINT ScreenPoint(TControl* receiver, const TMessage& message) {
    POINT p = MessagePoint(message.LParam);
    auto* win = ObjectAs<TWinControl>(receiver);
    HWND wnd = win && win->HandleAllocated() ? win->Handle() : nullptr;
    if (wnd) {
      ClientToScreen(wnd, &p);
    } else {
      GetCursorPos(&p);
    }
    return p;
  }

  LRESULT SendDragMessage(TControl* target, TDragMessage kind, POINT pos) {
    TDragRec rec{pos, FObject, target};
    return target->Perform(CM_DRAG, static_cast<WPARAM>(kind), reinterpret_cast<LPARAM>(&rec));
  }

  void MoveTo(POINT pos) {
    FObject->FDragPos = pos;
    TControl* target = FindDragTarget(pos, false);
    TWeakLink<TDragObject> alive(FObject);
    if (target != FTarget.Get()) {
      if (TControl* old = FTarget.Get()) SendDragMessage(old, dmDragLeave, pos);
      FTarget = target;
      FAccepted = target && SendDragMessage(target, dmDragEnter, pos) != 0;
    } else if (target) {
      FAccepted = SendDragMessage(target, dmDragMove, pos) != 0;
    }
    if (!alive.Get() || !FObject) return;
    FObject->FDragTarget = FTarget.Get();
    POINT client = target ? target->ScreenToClient(pos) : pos;
    ::SetCursor(Screen->Cursors(FObject->GetDragCursor(FAccepted, client.x, client.y)));
  }

  TDragObject* FObject = nullptr;
  bool FFreeObject = false;
  TWeakLink<TControl> FSource;
  TWeakLink<TControl> FTarget;
  bool FAccepted = false;
  bool FStarted = false;
  int FThreshold = 5;
  POINT FStart{};
  HWND FCaptureWindow = nullptr;
};

TControl* FindDragTarget(POINT screenPos, bool allowDisabled) {
  HWND wnd = WindowFromPoint(screenPos);
  TWinControl* control = nullptr;
  for (; wnd && !control; wnd = GetParent(wnd)) control = TWinControl::FindControl(wnd);
  if (!control) return nullptr;
  if (TControl* child = control->ControlAtPos(control->ScreenToClient(screenPos), allowDisabled)) return child;
  return control;
}

TDragObject* CurrentDragObject() { return TDragManager::Instance().Object(); }
TControl* DragSourceControl() { return TDragManager::Instance().Source(); }
void CancelDrag() { TDragManager::Instance().Done(false, true); }
void DragInitControl(TControl* control, bool immediate, int threshold) {
  TDragManager& manager = TDragManager::Instance();
  if (manager.Active()) manager.Done(false, true);
  manager.Init(control, immediate, threshold);
}
void DragDone(bool drop) { TDragManager::Instance().Done(drop, true); }

bool DragFilterMessage(TControl* receiver, TMessage& Message) {
  TDragManager& manager = TDragManager::Instance();
  return manager.Active() && manager.Filter(receiver, Message);
}

void HandleDragMessage(TControl* control, TMessage& Message) {
  auto* rec = reinterpret_cast<TDragRec*>(Message.LParam);
  TObject* source = rec->Source ? rec->Source->SourceObject() : nullptr;
  const POINT p = control->ScreenToClient(rec->Pos);
  bool accept = false;
  switch (static_cast<TDragMessage>(Message.WParam)) {
    case dmDragEnter:
      control->DragOver(source, p.x, p.y, dsDragEnter, accept);
      Message.Result = accept;
      break;
    case dmDragLeave:
      control->DragOver(source, p.x, p.y, dsDragLeave, accept);
      break;
    case dmDragMove:
      control->DragOver(source, p.x, p.y, dsDragMove, accept);
      Message.Result = accept;
      break;
    case dmDragDrop:
      control->DragDrop(source, p.x, p.y);
      break;
    default:
      break;
  }
}
