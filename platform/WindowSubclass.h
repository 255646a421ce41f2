// Subclassing any window of this process (one of ours, a system control, a
// dialog, a window another library made; ANSI or wide) with an object
// method, and taking the method off again in any order.
//
// What it promises:
// - Every message of the window reaches the method first, in the window's
//   own character set (Unicode() tells which); the method passes on what it
//   leaves with CallPrevious, "inherited" style. Not calling it swallows the
//   message.
// - Removal works in any order. When the subclass is still the window's
//   current procedure, the procedure it replaced comes back. When a later
//   subclass sits above it (ours or another library's), it cannot be taken
//   out of the chain, so it stays behind as a pass-through that hands every
//   message on unchanged, and goes as soon as it can: when it becomes the
//   current procedure again, when a subclass of ours above it is removed, or
//   when the window is destroyed.
// - Removing it from inside its own method (or destroying the object that
//   holds it) is safe: the message in progress finishes, CallPrevious still
//   works until it returns.
// - No exception crosses the window procedure: a raising method is handed
//   to the callback handler, and when it had not passed the message on yet
//   the previous procedure gets it, so the window keeps working.
// - WM_NCDESTROY always reaches the previous procedure; after it the
//   subclass counts as removed.
//
// Each subclass is called through a small executable stub that carries its
// record, so no table is searched per message.
//
//   FSubclass.Attach(wnd, TWndMethod::Bind<&TSkinEdit::WindowProc>(this));
//   void TSkinEdit::WindowProc(TMessage& m) { ...; FSubclass.CallPrevious(m); }
#pragma once

#include "platform/UtilWindow.h"

struct TSubclassRecord;

class TWindowSubclass {
public:
  TWindowSubclass() = default;
  // Removes the subclass (see Remove).
  ~TWindowSubclass();
  TWindowSubclass(const TWindowSubclass&) = delete;
  TWindowSubclass& operator=(const TWindowSubclass&) = delete;

  // Puts `method` in front of the window's procedure. Raises
  // EInvalidOperation when already attached, for a window that does not
  // exist or belongs to another process, and EOSError when the system
  // refuses.
  void Attach(HWND wnd, const TWndMethod& method);
  // Takes the method off; the window's messages no longer reach it.
  void Remove();
  // Hands a message to the procedure this subclass replaced and keeps its
  // answer in Result. Without a window (never attached, or destroyed) the
  // answer is 0.
  void CallPrevious(TMessage& Message);

  // Attached and not removed; false once the window was destroyed.
  bool Attached() const;
  HWND Handle() const;
  // The window's character set when attached: text in messages is UTF-16.
  bool Unicode() const;

  // How many subclass records exist in the process (attached ones and
  // pass-throughs left behind): leak checks compare it before and after.
  static int RecordCount();

private:
  friend struct TSubclassRecord;
  TSubclassRecord* FRecord = nullptr;
};
