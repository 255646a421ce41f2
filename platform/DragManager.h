// Drag and drop between controls of the class library (not OLE): a drag
// object travels with the mouse, the control under it is asked through
// CM_DRAG whether it accepts, and the source hears how it ended.
#pragma once

#include "platform/Control.h"

// What is being dragged. The drag manager makes a TDragControlObject for
// the source control unless OnStartDrag hands it one of its own.
class TDragObject : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // The cursor while over a target that accepts (or not).
  virtual TCursor GetDragCursor(bool Accepted, int X, int Y);
  // The drag is over: `Target` is the control that took the drop, or null.
  virtual void Finished(TObject* Target, int X, int Y, bool Accepted);
  // What a target's OnDragOver/OnDragDrop receive as Source.
  virtual TObject* SourceObject() { return this; }

  TControl* DragTarget() const { return FDragTarget; }
  POINT DragPos() const { return FDragPos; }
  bool Cancelling() const { return FCancelling; }
  bool Dropped() const { return FDropped; }

private:
  friend class TDragManager;
  TControl* FDragTarget = nullptr;
  POINT FDragPos{};
  bool FCancelling = false;
  bool FDropped = false;
};

class TDragControlObject : public TDragObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TDragControlObject(TControl* control) : FControl(control) {}
  TControl* Control() const { return FControl.Get(); }
  TCursor GetDragCursor(bool Accepted, int X, int Y) override;
  void Finished(TObject* Target, int X, int Y, bool Accepted) override;
  TObject* SourceObject() override { return FControl.Get(); }

private:
  TWeakLink<TControl> FControl;
};

// The LParam of CM_DRAG.
struct TDragRec {
  POINT Pos;            // screen co-ordinates
  TDragObject* Source;
  TControl* Target;
};

// The control a drop at a screen point would go to (a graphic control when
// one lies there), or null.
TControl* FindDragTarget(POINT screenPos, bool allowDisabled);
// The drag in progress (started or waiting for the threshold), or null.
TDragObject* CurrentDragObject();
TControl* DragSourceControl();
void CancelDrag();

// Used by the controls.
void DragInitControl(TControl* control, bool immediate, int threshold);
void DragDone(bool drop);
// Takes the mouse and key messages of a drag in progress; true when used.
bool DragFilterMessage(TControl* receiver, TMessage& Message);
void HandleDragMessage(TControl* control, TMessage& Message);
