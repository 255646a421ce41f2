// Thread hooks (CBT, call-window-procedure, get-message, mouse, message
// filter, keyboard) whose procedures are object methods.
//
// What it promises:
// - A hook serves the thread that installs it, and only that thread may
//   remove it. Hooks come and go in any order, also from inside a hook
//   procedure; a removed hook is not called again, not even by a dispatch
//   already in progress.
// - The hooks of one kind on a thread are called newest first, as the
//   system calls its own, then the system's chain (hooks other code
//   installed before ours) follows: every call always reaches the next
//   hook, also when a procedure raises or forgets to ask for it.
// - A call with a negative code never reaches a procedure (the system wants
//   those passed on untouched).
// - No exception crosses the hook: a raising procedure is handed to the
//   callback handler and the call answers what the next hook answered.
// - A procedure answers what the next hook answered unless it sets its own
//   answer (for example 1 to keep a window from being created or a mouse
//   click from its target). It may ask the next hook first (CallNext) and
//   look at its answer, or act first and let the chain follow.
//
// The hooks are installed through the ANSI entry: text that hook
// structures carry (the CBT creation parameters) is in the system code
// page.
//
//   FHook.Install(hkCBT, THookProc::Bind<&TSkinManage::CBTHook>(this));
//   void TSkinManage::CBTHook(THookCall& Call) {
//     if (Call.Code == HCBT_ACTIVATE) AttachWindow(reinterpret_cast<HWND>(Call.WParam));
//   }
#pragma once

#include "platform/Event.h"
#include "platform/Win32.h"

#include <memory>
#include <vector>

enum class THookKind { hkCBT, hkCallWndProc, hkGetMessage, hkMouse, hkMsgFilter, hkKeyboard };
using enum THookKind;

struct THookEntry;
struct THookDispatch;

// One call of a hook procedure: the system's code and parameters, the way
// on to the next hook and the answer.
class THookCall {
public:
  const int Code;
  const WPARAM WParam;
  const LPARAM LParam;

  // Calls the next hook (once; later calls answer the same) and answers its
  // result.
  LRESULT CallNext();
  bool NextCalled() const { return FNextCalled; }
  // This hook's own answer instead of the next hook's.
  void SetResult(LRESULT value) {
    FResult = value;
    FHasResult = true;
  }

private:
  friend struct THookDispatch;
  THookCall(int code, WPARAM wp, LPARAM lp, THookDispatch& dispatch, size_t next)
      : Code(code), WParam(wp), LParam(lp), FDispatch(dispatch), FNext(next) {}
  LRESULT Answer();

  THookDispatch& FDispatch;
  size_t FNext;
  bool FNextCalled = false;
  LRESULT FNextResult = 0;
  bool FHasResult = false;
  LRESULT FResult = 0;
};

using THookProc = TEvent<void(THookCall& Call)>;

class TThreadHook {
public:
  TThreadHook() = default;
  TThreadHook(THookKind kind, const THookProc& proc) { Install(kind, proc); }
  // Removes the hook; on another thread than the installing one it cannot
  // and stays until that thread ends.
  ~TThreadHook();
  TThreadHook(const TThreadHook&) = delete;
  TThreadHook& operator=(const TThreadHook&) = delete;

  // Installs `proc` for the calling thread. Raises EInvalidOperation when
  // already installed, EOSError when the system refuses.
  void Install(THookKind kind, const THookProc& proc);
  // Raises EInvalidOperation on another thread than the installing one.
  void Remove();
  bool Installed() const { return FEntry != nullptr; }
  THookKind Kind() const { return FKind; }

  // The thread's system hooks of a kind that hooks of ours hold (0 or 1:
  // our hooks of one kind share one): leak checks compare it.
  static int SystemHookCount(THookKind kind);

private:
  std::shared_ptr<THookEntry> FEntry;
  THookKind FKind = hkCBT;
  DWORD FThread = 0;
};
