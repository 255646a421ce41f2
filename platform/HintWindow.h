// The small window that shows a control's hint near the mouse.
#pragma once

#include "platform/Control.h"

class THintWindow : public TCustomControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit THintWindow(TComponent* AOwner);

  // The size the text needs (at most `maxWidth` wide), at the origin.
  virtual RECT CalcHintRect(int maxWidth, const AnsiString& hint);
  // Shows the hint in `rect` (screen co-ordinates), without taking the focus.
  virtual void ActivateHint(const RECT& rect, const AnsiString& hint);
  // The same for a hint whose control handed data of its own; the base
  // class shows the text.
  virtual RECT CalcHintRectData(int maxWidth, const AnsiString& hint, void* /*data*/) {
    return CalcHintRect(maxWidth, hint);
  }
  virtual void ActivateHintData(const RECT& rect, const AnsiString& hint, void* /*data*/) { ActivateHint(rect, hint); }
  // Hides the hint and lets its window go.
  void ReleaseHandle();
  // Whether a message the application takes from its queue ends the hint
  // (IsStandardHintCancelMessage); a descendant may keep its hint up
  // through some of them.
  virtual bool IsHintCancelMessage(const TMessage& Message) { return IsStandardHintCancelMessage(Message.Msg); }
  // Keys, activation changes, the application's key-down and system
  // commands, commands, mouse buttons (client and frame) and the wheel, and
  // moves over a window's frame.
  static bool IsStandardHintCancelMessage(UINT Msg);

protected:
  // A descendant may change the window it is shown in (styles, class).
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;
};

// The part of a hint before "|" (the whole hint when there is none), and the
// part after it.
AnsiString GetShortHint(const AnsiString& hint);
AnsiString GetLongHint(const AnsiString& hint);
