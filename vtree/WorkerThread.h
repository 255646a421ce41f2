// The validation thread all trees of the process share: it builds each
// queued tree's position cache and reports to the tree only by sending
// WM_TREEVALIDATED to the tree's window, so every state change happens on the
// GUI thread. A tree about to change stops the build and waits for the
// worker to let go of it, serving only sent messages meanwhile: input posted
// to the GUI thread cannot re-enter a half-done change.
#pragma once

#include "platform/Thread.h"

#include <vector>

class TBaseVirtualTree;

class TWorkerThread : public TThread {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TWorkerThread() : TThread(false) {}

  // The tree being validated (read under the list lock), or null.
  TBaseVirtualTree* CurrentTree();

protected:
  void Execute() override;

private:
  friend void AddToWaitingList(TBaseVirtualTree* Tree);
  friend void StopTreeValidation(TBaseVirtualTree* Tree);
  struct TWaiter {
    TBaseVirtualTree* Tree;
    HWND Window;  // the window the reports go to, known when queued
  };
  TCriticalSection FLock;
  std::vector<TWaiter> FWaiters;
  TBaseVirtualTree* FCurrentTree = nullptr;
};

// Every tree constructor takes a reference: the first starts the worker.
void AddTreeReference(TBaseVirtualTree* Tree);
// Every tree's destruction gives it back: the tree's validation stops, and the
// last reference ends the worker.
void ReleaseTreeReference(TBaseVirtualTree* Tree);
// Queues a tree that has a window (asserts "Tree must not be nil.").
void AddToWaitingList(TBaseVirtualTree* Tree);
// Takes the tree off the waiting list, or, when the worker is building its
// cache, waits for the worker to let go of it.
void StopTreeValidation(TBaseVirtualTree* Tree);
// The running worker, or null when no tree exists.
TWorkerThread* ValidationWorker();
