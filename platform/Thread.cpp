#include "platform/Thread.h"

#include "platform/CallbackGuard.h"
#include "platform/Exceptions.h"
#include "platform/HandleCounts.h"
#include "platform/Text.h"

#include <process.h>

#include <algorithm>
#include <deque>
#include <mutex>

DWORD MainThreadID = GetCurrentThreadId();

const TClassInfo TThread::ClassInfo{"TThread", &TObject::ClassInfo, nullptr};

namespace {

constexpr UINT WM_SYNCHRONIZE = WM_USER + 1;

// One call waiting to run on the GUI thread.
struct TSyncRecord {
  TThread* Thread;
  TThreadMethod Method;
  HANDLE Done;  // set when a synchronous call has run; null for queued calls
  std::exception_ptr Error;
};

// The calls waiting for the GUI thread. SyncEvent is signalled whenever one
// is added, so that WaitFor wakes; the message-only window gets a message so
// that any message loop (modal ones included) serves them too.
struct TSyncState {
  std::mutex Lock;
  std::deque<TSyncRecord*> Pending;
  HANDLE SyncEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HWND Window = nullptr;
  TNotifyEvent Wake;  // replaces the post to Window when assigned
};

TSyncState& Sync() {
  static TSyncState state;
  return state;
}

LRESULT CALLBACK SyncWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SYNCHRONIZE) {
    GuardCallback([] { CheckSynchronize(); });
    return 0;
  }
  return DefWindowProcW(wnd, msg, wp, lp);
}

// Made on the GUI thread the first time it creates a thread or serves calls.
void EnsureSyncWindow() {
  if (GetCurrentThreadId() != MainThreadID) return;
  TSyncState& s = Sync();
  if (s.Window) return;
  WNDCLASSW wc{};
  wc.lpfnWndProc = SyncWindowProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"MevraThreadSync";
  RegisterClassW(&wc);
  s.Window = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  if (s.Window) HandleCreated(hkWindow);  // lives as long as the process
}

void AddSyncRecord(TSyncRecord* record) {
  TSyncState& s = Sync();
  HWND window;
  TNotifyEvent wake;
  TThread* const thread = record->Thread;  // the GUI thread may free a queued record at once
  {
    std::lock_guard<std::mutex> lock(s.Lock);
    s.Pending.push_back(record);
    window = s.Window;
    wake = s.Wake;
  }
  SetEvent(s.SyncEvent);
  if (wake)
    GuardCallback([&] { wake(thread); });
  else if (window)
    PostMessageW(window, WM_SYNCHRONIZE, 0, 0);
}

std::string LastErrorText() {
  const DWORD code = GetLastError();
  char* text = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string r = text ? TrimRight(text) : "System error " + std::to_string(code);
  if (text) LocalFree(text);
  return r;
}

// Waits for `handle`; on the GUI thread it keeps serving synchronized calls
// and messages sent to it, which is what a waiting worker may need.
void WaitServing(HANDLE handle) {
  if (GetCurrentThreadId() != MainThreadID) {
    WaitForSingleObject(handle, INFINITE);
    return;
  }
  const HANDLE handles[2] = {handle, Sync().SyncEvent};
  for (;;) {
    const DWORD r = MsgWaitForMultipleObjects(2, handles, FALSE, INFINITE, QS_SENDMESSAGE);
    if (r == WAIT_OBJECT_0) return;
    if (r == WAIT_OBJECT_0 + 1) {
      CheckSynchronize();
    } else if (r == WAIT_OBJECT_0 + 2) {
      MSG msg;
      PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // delivers the sent messages
    } else if (r == WAIT_FAILED) {
      throw EOSError("Wait failed: " + LastErrorText());
    }
  }
}

}  // namespace

TNotifyEvent WakeMainThread() {
  TSyncState& s = Sync();
  std::lock_guard<std::mutex> lock(s.Lock);
  return s.Wake;
}

TNotifyEvent SetWakeMainThread(const TNotifyEvent& handler) {
  TSyncState& s = Sync();
  std::lock_guard<std::mutex> lock(s.Lock);
  TNotifyEvent previous = s.Wake;
  s.Wake = handler;
  return previous;
}

bool CheckSynchronize() {
  if (GetCurrentThreadId() != MainThreadID) return false;
  EnsureSyncWindow();
  TSyncState& s = Sync();
  // Reset before taking the list: a record added after this point sets the
  // event again, so no wake-up is lost.
  ResetEvent(s.SyncEvent);
  std::deque<TSyncRecord*> batch;
  {
    std::lock_guard<std::mutex> lock(s.Lock);
    batch.swap(s.Pending);
  }
  for (TSyncRecord* record : batch) {
    if (record->Done) {
      try {
        record->Method();
      } catch (...) {
        record->Error = std::current_exception();
      }
      SetEvent(record->Done);
    } else {
      GuardCallback([&] { record->Method(); });
      delete record;
    }
  }
  return !batch.empty();
}

TThread::TThread(bool CreateSuspended) : FCreateSuspended(CreateSuspended) {
  EnsureSyncWindow();
  unsigned id = 0;
  // Always made suspended: the body may only start once the most derived
  // constructor has finished (AfterConstruction).
  FHandle = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, &TThread::ThreadProc, this, CREATE_SUSPENDED, &id));
  if (!FHandle) throw EThread("Thread creation error: " + LastErrorText());
  FThreadID = id;
  FSuspended = true;
}

void TThread::AfterConstruction() {
  if (!FCreateSuspended) Start();
}

void TThread::BeforeDestruction() {
  if (FHandle && !FFinished && GetCurrentThreadId() != FThreadID) {
    // Whoever frees the thread here owns its end: the body must not free it too.
    FFreeOnTerminate = false;
    Terminate();
    // A thread that never ran is let go; it skips its body because it is
    // terminated.
    if (FSuspended) Start();
    WaitServing(FHandle);
  }
}

TThread::~TThread() {
  BeforeDestruction();
  RemoveQueuedEvents(this);
  if (FHandle) CloseHandle(FHandle);
}

void TThread::Start() {
  if (!FSuspended) return;
  FStarted = true;
  FSuspended = false;
  if (ResumeThread(FHandle) == static_cast<DWORD>(-1)) throw EThread("Thread error: " + LastErrorText());
}

void TThread::Suspend() {
  FSuspended = true;
  SuspendThread(FHandle);
}

uint32_t TThread::WaitFor() {
  if (FFreeOnTerminate) throw EThread("Cannot call WaitFor on a FreeOnTerminate thread");
  if (GetCurrentThreadId() == FThreadID) throw EThread("A thread cannot wait for itself");
  // Waiting for a thread nobody has started would never end.
  if (!FStarted) throw EThread("Cannot wait for a thread that was never started");
  WaitServing(FHandle);
  DWORD code = 0;
  GetExitCodeThread(FHandle, &code);
  return code;
}

TThreadPriority TThread::Priority() const {
  switch (GetThreadPriority(FHandle)) {
    case THREAD_PRIORITY_IDLE: return tpIdle;
    case THREAD_PRIORITY_LOWEST: return tpLowest;
    case THREAD_PRIORITY_BELOW_NORMAL: return tpLower;
    case THREAD_PRIORITY_ABOVE_NORMAL: return tpHigher;
    case THREAD_PRIORITY_HIGHEST: return tpHighest;
    case THREAD_PRIORITY_TIME_CRITICAL: return tpTimeCritical;
    default: return tpNormal;
  }
}

void TThread::SetPriority(TThreadPriority value) {
  static const int map[] = {THREAD_PRIORITY_IDLE,         THREAD_PRIORITY_LOWEST,  THREAD_PRIORITY_BELOW_NORMAL,
                            THREAD_PRIORITY_NORMAL,       THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                            THREAD_PRIORITY_TIME_CRITICAL};
  SetThreadPriority(FHandle, map[static_cast<int>(value)]);
}

void TThread::DoTerminate() {
  if (OnTerminate) Synchronize(this, TThreadMethod::Lambda([this] { OnTerminate(this); }));
}

unsigned __stdcall TThread::ThreadProc(void* self) {
  auto* thread = static_cast<TThread*>(self);
  try {
    if (!thread->FTerminated) thread->Execute();
  } catch (...) {
    thread->FFatalException = std::current_exception();
  }
  const bool freeThread = thread->FFreeOnTerminate;
  const unsigned result = thread->FReturnValue;
  try {
    thread->DoTerminate();
  } catch (...) {
    // Reported on the GUI thread, where the handler may show a message box;
    // the thread object may be gone by then, so the call is bound to none.
    const std::exception_ptr error = std::current_exception();
    GuardCallback([&] { Queue(nullptr, TThreadMethod::Lambda([error] { std::rethrow_exception(error); })); });
  }
  thread->FFinished = true;
  if (freeThread) Free(thread);
  return result;
}

void TThread::Synchronize(TThread* thread, const TThreadMethod& method) {
  if (!method) return;
  if (GetCurrentThreadId() == MainThreadID) {
    method();
    return;
  }
  TSyncRecord record{thread, method, CreateEventW(nullptr, FALSE, FALSE, nullptr), nullptr};
  if (!record.Done) throw EThread("Thread error: " + LastErrorText());
  AddSyncRecord(&record);
  WaitForSingleObject(record.Done, INFINITE);
  CloseHandle(record.Done);
  if (record.Error) std::rethrow_exception(record.Error);
}

void TThread::Queue(TThread* thread, const TThreadMethod& method) {
  if (!method) return;
  if (GetCurrentThreadId() == MainThreadID) {
    method();
    return;
  }
  AddSyncRecord(new TSyncRecord{thread, method, nullptr, nullptr});
}

void TThread::RemoveQueuedEvents(TThread* thread) {
  if (!thread) return;
  // Only calls of the thread object's own methods would outlive what they
  // run on; calls on other objects still run.
  void* self = dynamic_cast<void*>(thread);
  TSyncState& s = Sync();
  std::lock_guard<std::mutex> lock(s.Lock);
  auto& pending = s.Pending;
  pending.erase(std::remove_if(pending.begin(), pending.end(),
                               [&](TSyncRecord* r) {
                                 if (r->Done || r->Thread != thread || r->Method.Object() != self) return false;
                                 delete r;
                                 return true;
                               }),
                pending.end());
}

TSimpleEvent::TSimpleEvent(bool manualReset, bool initialState)
    : FHandle(CreateEventW(nullptr, manualReset, initialState, nullptr)) {
  if (!FHandle) throw EOSError("Cannot create event: " + LastErrorText());
}

TSimpleEvent::~TSimpleEvent() { CloseHandle(FHandle); }

void TSimpleEvent::SetEvent() { ::SetEvent(FHandle); }

void TSimpleEvent::ResetEvent() { ::ResetEvent(FHandle); }

TWaitResult TSimpleEvent::WaitFor(DWORD timeoutMs) {
  switch (WaitForSingleObject(FHandle, timeoutMs)) {
    case WAIT_OBJECT_0: return wrSignaled;
    case WAIT_TIMEOUT: return wrTimeout;
    case WAIT_ABANDONED: return wrAbandoned;
    default: return wrError;
  }
}
