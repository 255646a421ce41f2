#include "vtree/WorkerThread.h"

#include "platform/Exceptions.h"
#include "platform/FileStream.h"
#include "platform/Messages.h"
#include "vtree/VirtualTree.h"

#include <algorithm>
#include <mutex>

const TClassInfo TWorkerThread::ClassInfo{"TWorkerThread", &TThread::ClassInfo, nullptr};

namespace {
// GUI thread only, except the two events, which the worker waits on and sets.
TWorkerThread* gWorker = nullptr;
int gReferences = 0;
HANDLE gWorkEvent = nullptr;  // auto-reset: there is a tree to validate
HANDLE gDoneEvent = nullptr;  // auto-reset: the worker has let go of a tree

// The state bits of WM_TREEVALIDATED.
constexpr WPARAM StopValidationBit = 1;
constexpr WPARAM UseCacheBit = 2;
constexpr WPARAM ValidatingBit = 4;
constexpr WPARAM ValidationNeededBit = 8;

HANDLE NewEvent() {
  HANDLE event = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!event) {
    const DWORD code = GetLastError();
    throw EOSError("System Error. Code: " + std::to_string(code) + ". " + SysErrorMessage(code));
  }
  return event;
}
}  // namespace

TWorkerThread* ValidationWorker() { return gWorker; }

TBaseVirtualTree* TWorkerThread::CurrentTree() {
  std::lock_guard<TCriticalSection> lock(FLock);
  return FCurrentTree;
}

void TWorkerThread::Execute() {
  while (!Terminated()) {
    WaitForSingleObject(gWorkEvent, INFINITE);
    if (Terminated()) break;
    TWaiter current{nullptr, nullptr};
    {
      std::lock_guard<TCriticalSection> lock(FLock);
      if (!FWaiters.empty()) {
        current = FWaiters.front();
        FWaiters.erase(FWaiters.begin());
        // Claimed before it stops counting as queued: the GUI thread never
        // sees it as neither.
        current.Tree->FClaimed = true;
        current.Tree->FQueued = false;
        FCurrentTree = current.Tree;
      }
      if (!FWaiters.empty()) SetEvent(gWorkEvent);
    }
    if (!current.Tree) continue;
    bool built = false;
    try {
      SendMessageA(current.Window, WM_TREEVALIDATED, ValidatingBit, UseCacheBit);
      if (!current.Tree->ValidationStopRequested()) built = current.Tree->BuildPositionCache();
    } catch (...) {
      built = false;
    }
    SendMessageA(current.Window, WM_TREEVALIDATED, built ? UseCacheBit : 0,
                 StopValidationBit | ValidatingBit | (built ? ValidationNeededBit : 0));
    {
      std::lock_guard<TCriticalSection> lock(FLock);
      FCurrentTree = nullptr;
      current.Tree->FClaimed = false;
    }
    SetEvent(gDoneEvent);
  }
}

void AddTreeReference(TBaseVirtualTree* Tree) {
  MevraAssert(Tree != nullptr, "Tree must not be nil.");
  if (!gWorker) {
    gWorkEvent = NewEvent();
    try {
      gDoneEvent = NewEvent();
      gWorker = New<TWorkerThread>();
    } catch (...) {
      if (gDoneEvent) CloseHandle(gDoneEvent);
      CloseHandle(gWorkEvent);
      gWorkEvent = gDoneEvent = nullptr;
      throw;
    }
  }
  ++gReferences;
}

void ReleaseTreeReference(TBaseVirtualTree* Tree) {
  MevraAssert(Tree != nullptr, "Tree must not be nil.");
  if (gReferences == 0) return;
  StopTreeValidation(Tree);
  if (--gReferences > 0) return;
  TWorkerThread* worker = gWorker;
  worker->Terminate();
  SetEvent(gWorkEvent);
  Free(worker);  // waits for its end
  gWorker = nullptr;
  CloseHandle(gWorkEvent);
  CloseHandle(gDoneEvent);
  gWorkEvent = gDoneEvent = nullptr;
}

void AddToWaitingList(TBaseVirtualTree* Tree) {
  MevraAssert(Tree != nullptr, "Tree must not be nil.");
  if (!gWorker) return;
  Tree->ChangeStates({}, {TVirtualTreeState::tsStopValidation});
  Tree->FStopValidation = false;
  {
    std::lock_guard<TCriticalSection> lock(gWorker->FLock);
    const bool listed = std::any_of(gWorker->FWaiters.begin(), gWorker->FWaiters.end(),
                                    [Tree](const TWorkerThread::TWaiter& w) { return w.Tree == Tree; });
    if (!listed) {
      gWorker->FWaiters.push_back({Tree, Tree->Handle()});
      Tree->FQueued = true;
    }
  }
  SetEvent(gWorkEvent);
}

void StopTreeValidation(TBaseVirtualTree* Tree) {
  if (!gWorker) return;
  {
    std::lock_guard<TCriticalSection> lock(gWorker->FLock);
    auto& waiters = gWorker->FWaiters;
    waiters.erase(std::remove_if(waiters.begin(), waiters.end(),
                                 [Tree](const TWorkerThread::TWaiter& w) { return w.Tree == Tree; }),
                  waiters.end());
    Tree->FQueued = false;
  }
  // The worker may hold the tree before its first report has arrived: what
  // counts is that it took the tree, not the tree's states. Only sent
  // messages are served while waiting (the worker's reports among them).
  while (Tree->FClaimed) {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    if (!Tree->FClaimed) break;
    MsgWaitForMultipleObjectsEx(1, &gDoneEvent, INFINITE, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
  }
}
