// Threads, and the GUI thread's service to them: Synchronize (run a method on
// the GUI thread and wait), Queue (run it there later) and WaitFor (which
// keeps serving both, and messages sent to the GUI thread, so it cannot
// deadlock against a worker that synchronizes). Events and critical sections.
#pragma once

#include "platform/Event.h"
#include "platform/Object.h"
#include "platform/Win32.h"

#include <atomic>
#include <cstdint>
#include <exception>

using TThreadMethod = TEvent<void()>;

enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };
using enum TThreadPriority;

// The thread that ran the process start-up: the GUI thread.
extern DWORD MainThreadID;

// A thread whose body is Execute. Create it with New<T>(...) (or through a
// class reference): a thread not created suspended starts in
// AfterConstruction, after every constructor has finished. Exceptions leaving
// Execute end the thread and are kept in FatalException.
class TThread : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TThread(bool CreateSuspended);
  // Terminates and waits for a running thread (a suspended one is released
  // and ends without running its body).
  ~TThread() override;
  void AfterConstruction() override;
  // Free()/FreeAndNil() stop a running thread here, while the object whose
  // Execute it runs is still whole.
  void BeforeDestruction() override;

  // Starts a suspended thread (Resume is the older name).
  void Start();
  void Resume() { Start(); }
  void Suspend();
  // Asks the body to end: it checks Terminated().
  void Terminate() { FTerminated = true; }
  bool Terminated() const { return FTerminated; }
  // Waits for the end and answers ReturnValue. On the GUI thread it serves
  // synchronized calls and sent messages meanwhile. A FreeOnTerminate thread
  // (it may be gone) and one never started (it would never end) raise EThread.
  uint32_t WaitFor();

  bool FreeOnTerminate() const { return FFreeOnTerminate; }
  void SetFreeOnTerminate(bool value) { FFreeOnTerminate = value; }
  bool Suspended() const { return FSuspended; }
  bool Finished() const { return FFinished; }
  HANDLE Handle() const { return FHandle; }
  DWORD ThreadID() const { return FThreadID; }
  TThreadPriority Priority() const;
  void SetPriority(TThreadPriority value);
  uint32_t ReturnValue() const { return FReturnValue; }
  // The exception that ended Execute, or null.
  std::exception_ptr FatalException() const { return FFatalException; }

  // Called on the GUI thread when the body has ended.
  TNotifyEvent OnTerminate;

  // Runs `method` on the GUI thread and waits; an exception it raises is
  // raised again in the caller. On the GUI thread it simply calls.
  static void Synchronize(TThread* thread, const TThreadMethod& method);
  // Runs `method` on the GUI thread later, without waiting. Queued calls bound
  // to a thread object are dropped when that thread is freed.
  static void Queue(TThread* thread, const TThreadMethod& method);
  // Drops queued calls bound to `thread` that have not run yet.
  static void RemoveQueuedEvents(TThread* thread);

protected:
  virtual void Execute() = 0;
  virtual void DoTerminate();
  void Synchronize(const TThreadMethod& method) { Synchronize(this, method); }
  void Queue(const TThreadMethod& method) { Queue(this, method); }
  void SetReturnValue(uint32_t value) { FReturnValue = value; }

private:
  static unsigned __stdcall ThreadProc(void* self);

  HANDLE FHandle = nullptr;
  DWORD FThreadID = 0;
  bool FCreateSuspended;
  // Read by both threads.
  std::atomic<bool> FTerminated{false};
  std::atomic<bool> FSuspended{false};
  std::atomic<bool> FFinished{false};
  std::atomic<bool> FFreeOnTerminate{false};
  bool FStarted = false;
  uint32_t FReturnValue = 0;
  std::exception_ptr FFatalException;
};

// Runs every pending synchronized and queued call; answers whether any ran.
// Called by the GUI thread's message handling and by WaitFor; harmless
// elsewhere (does nothing off the GUI thread).
bool CheckSynchronize();

// How a worker that queued a call wakes the GUI thread. Unassigned (the
// program's case), the thread layer posts to its own message-only window;
// a library whose host runs the message loop installs a handler that posts
// to a window of its own, which then calls CheckSynchronize. The handler is
// called on the worker's thread with the worker (or null) as Sender. Set it
// on the GUI thread while no worker synchronizes.
TNotifyEvent WakeMainThread();
// Installs a wake-up handler and answers the one it replaces; an unassigned
// handler gives the thread layer's own wake-up back.
TNotifyEvent SetWakeMainThread(const TNotifyEvent& handler);

enum class TWaitResult { wrSignaled, wrTimeout, wrAbandoned, wrError };
using enum TWaitResult;

// A Win32 event object.
class TSimpleEvent : public TObject {
public:
  explicit TSimpleEvent(bool manualReset = true, bool initialState = false);
  ~TSimpleEvent() override;
  void SetEvent();
  void ResetEvent();
  TWaitResult WaitFor(DWORD timeoutMs = INFINITE);
  HANDLE Handle() const { return FHandle; }

private:
  HANDLE FHandle;
};

// A Win32 critical section; lock()/unlock() let std::lock_guard hold it.
class TCriticalSection : public TObject {
public:
  TCriticalSection() { InitializeCriticalSection(&FSection); }
  ~TCriticalSection() override { DeleteCriticalSection(&FSection); }
  void Enter() { EnterCriticalSection(&FSection); }
  void Leave() { LeaveCriticalSection(&FSection); }
  bool TryEnter() { return TryEnterCriticalSection(&FSection) != 0; }
  void Acquire() { Enter(); }
  void Release() { Leave(); }
  void lock() { Enter(); }
  void unlock() { Leave(); }

private:
  CRITICAL_SECTION FSection;
};
