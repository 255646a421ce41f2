#include "platform/ThreadHook.h"

#include "platform/CallbackGuard.h"
#include "platform/Exceptions.h"
#include "platform/Text.h"

#include <algorithm>
#include <array>

struct THookEntry {
  THookProc Proc;
  bool Removed = false;
};

namespace {

constexpr size_t kKinds = 6;

constexpr int SystemKind(THookKind kind) {
  switch (kind) {
    case hkCBT: return WH_CBT;
    case hkCallWndProc: return WH_CALLWNDPROC;
    case hkGetMessage: return WH_GETMESSAGE;
    case hkMouse: return WH_MOUSE;
    case hkMsgFilter: return WH_MSGFILTER;
    case hkKeyboard: return WH_KEYBOARD;
  }
  return WH_CBT;
}

// The hooks of one kind on one thread: one system hook serves them all.
struct TKindHooks {
  HHOOK Hook = nullptr;
  std::vector<std::shared_ptr<THookEntry>> Entries;  // oldest first
};

struct TThreadHooks {
  std::array<TKindHooks, kKinds> Kinds;
  ~TThreadHooks() {
    for (TKindHooks& kind : Kinds)
      if (kind.Hook) UnhookWindowsHookEx(kind.Hook);
  }
};

TThreadHooks& ThisThread() {
  thread_local TThreadHooks hooks;
  return hooks;
}

}  // namespace

// One call of the system hook, handed down our hooks newest first.
struct THookDispatch {
  HHOOK Hook;
  int Code;
  WPARAM WParam;
  LPARAM LParam;
  // A copy: hooks may come and go while the call runs.
  std::vector<std::shared_ptr<THookEntry>> Entries;  // newest first

  LRESULT From(size_t index) {
    for (; index < Entries.size(); ++index) {
      THookEntry& entry = *Entries[index];
      if (entry.Removed || !entry.Proc) continue;
      THookCall call(Code, WParam, LParam, *this, index + 1);
      const THookProc proc = entry.Proc;
      GuardCallback([&] { proc(call); });
      return call.Answer();
    }
    return CallNextHookEx(Hook, Code, WParam, LParam);
  }
};

LRESULT THookCall::CallNext() {
  if (!FNextCalled) {
    FNextCalled = true;
    FNextResult = FDispatch.From(FNext);
  }
  return FNextResult;
}

LRESULT THookCall::Answer() {
  const LRESULT next = CallNext();
  return FHasResult ? FResult : next;
}

namespace {

template <THookKind Kind>
LRESULT CALLBACK HookProc(int code, WPARAM wp, LPARAM lp) {
  TKindHooks& hooks = ThisThread().Kinds[static_cast<size_t>(Kind)];
  if (code < 0) return CallNextHookEx(hooks.Hook, code, wp, lp);
  THookDispatch dispatch{hooks.Hook, code, wp, lp, {hooks.Entries.rbegin(), hooks.Entries.rend()}};
  return dispatch.From(0);
}

HOOKPROC ProcOf(THookKind kind) {
  switch (kind) {
    case hkCBT: return HookProc<hkCBT>;
    case hkCallWndProc: return HookProc<hkCallWndProc>;
    case hkGetMessage: return HookProc<hkGetMessage>;
    case hkMouse: return HookProc<hkMouse>;
    case hkMsgFilter: return HookProc<hkMsgFilter>;
    case hkKeyboard: return HookProc<hkKeyboard>;
  }
  return nullptr;
}

}  // namespace

TThreadHook::~TThreadHook() {
  if (!FEntry) return;
  if (GetCurrentThreadId() == FThread) {
    Remove();
  } else {
    // Not this thread's to change: the hook goes silent and its thread
    // drops it with its other hooks.
    FEntry->Removed = true;
    FEntry->Proc.Clear();
  }
}

void TThreadHook::Install(THookKind kind, const THookProc& proc) {
  if (FEntry) throw EInvalidOperation("The hook is installed already");
  TKindHooks& hooks = ThisThread().Kinds[static_cast<size_t>(kind)];
  if (!hooks.Hook) {
    hooks.Hook = SetWindowsHookExA(SystemKind(kind), ProcOf(kind), nullptr, GetCurrentThreadId());
    if (!hooks.Hook)
      throw EOSError(Format("Cannot install a thread hook (system error %lu)", static_cast<unsigned long>(GetLastError())));
  }
  auto entry = std::make_shared<THookEntry>();
  entry->Proc = proc;
  hooks.Entries.push_back(entry);
  FEntry = std::move(entry);
  FKind = kind;
  FThread = GetCurrentThreadId();
}

void TThreadHook::Remove() {
  if (!FEntry) return;
  if (GetCurrentThreadId() != FThread) throw EInvalidOperation("A thread hook is removed by the thread that installed it");
  FEntry->Removed = true;
  FEntry->Proc.Clear();
  TKindHooks& hooks = ThisThread().Kinds[static_cast<size_t>(FKind)];
  std::erase(hooks.Entries, FEntry);
  FEntry.reset();
  if (hooks.Entries.empty() && hooks.Hook) {
    UnhookWindowsHookEx(hooks.Hook);
    hooks.Hook = nullptr;
  }
}

int TThreadHook::SystemHookCount(THookKind kind) {
  return ThisThread().Kinds[static_cast<size_t>(kind)].Hook ? 1 : 0;
}
