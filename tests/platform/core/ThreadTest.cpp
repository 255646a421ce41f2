// Threads: start after construction, Synchronize and Queue onto the GUI
// thread, WaitFor that keeps serving them, self-freeing workers.
#include "platform/CallbackGuard.h"
#include "platform/Exceptions.h"
#include "platform/Thread.h"
#include "platform/UtilWindow.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

// A thread running a function given at construction.
class TFunctionThread : public TThread {
public:
  TFunctionThread(bool suspended, std::function<void(TFunctionThread&)> body)
      : TThread(suspended), FBody(std::move(body)) {}
  using TThread::Queue;
  using TThread::SetReturnValue;
  using TThread::Synchronize;

protected:
  void Execute() override { FBody(*this); }

private:
  std::function<void(TFunctionThread&)> FBody;
};

TEST(Thread, FourWorkersSynchronizingWhileTheGuiThreadWaits) {
  int calls = 0;  // touched only on the GUI thread
  bool elsewhere = false;
  TFunctionThread* workers[4];
  for (auto*& w : workers)
    w = New<TFunctionThread>(false, [&](TFunctionThread& self) {
      for (int i = 0; i < 50; ++i)
        self.Synchronize(TThreadMethod::Lambda([&] {
          ++calls;
          if (GetCurrentThreadId() != MainThreadID) elsewhere = true;
        }));
      self.SetReturnValue(7);
    });
  for (auto* w : workers) EXPECT_EQ(w->WaitFor(), 7u);
  for (auto* w : workers) Free(w);
  EXPECT_EQ(calls, 200);
  EXPECT_FALSE(elsewhere);
}

TEST(Thread, WaitForServesMessagesSentToTheGuiThread) {
  int received = 0;
  HWND wnd = AllocateHWnd(TWndMethod::Lambda([&](TMessage& m) {
    if (m.Msg == WM_USER + 3) m.Result = ++received;
  }));
  TFunctionThread* t = New<TFunctionThread>(false, [wnd](TFunctionThread& self) {
    self.SetReturnValue(static_cast<uint32_t>(SendMessageA(wnd, WM_USER + 3, 0, 0)));
  });
  EXPECT_EQ(t->WaitFor(), 1u);
  Free(t);
  DeallocateHWnd(wnd);
}

// Marks its end in a flag the test keeps.
class TReplyThread : public TThread {
public:
  TReplyThread(HWND reply, std::atomic<bool>& gone) : TThread(false), FReply(reply), FGone(gone) {
    SetFreeOnTerminate(true);
  }
  ~TReplyThread() override { FGone = true; }

protected:
  void Execute() override { PostMessageA(FReply, WM_USER + 2, 0, 0); }

private:
  HWND FReply;
  std::atomic<bool>& FGone;
};

TEST(Thread, FreeOnTerminateWorkerPostsToAMessageOnlyWindowAndIsGone) {
  int replies = 0;
  HWND wnd = AllocateHWnd(TWndMethod::Lambda([&](TMessage& m) {
    if (m.Msg == WM_USER + 2) ++replies;
  }));
  std::atomic<bool> gone{false};
  TThread* worker = New<TReplyThread>(wnd, gone);
  EXPECT_THROW(worker->WaitFor(), EThread);  // it may be gone at any moment
  EXPECT_TRUE(testing_support::RunMessagesUntil([&] { return replies == 1 && gone; }));
  DeallocateHWnd(wnd);
}

TEST(Thread, BodyStartsOnlyAfterConstructionAndSuspendedWaitsForStart) {
  // A derived constructor that is slow to finish: the body must still see it done.
  struct TLate : TThread {
    explicit TLate(bool suspended) : TThread(suspended) {
      Sleep(30);
      Ready = 42;
    }
    void Execute() override { Seen = Ready; }
    int Ready = 0;
    std::atomic<int> Seen{-1};
  };
  TLate* late = New<TLate>(false);
  late->WaitFor();
  EXPECT_EQ(late->Seen, 42);
  Free(late);

  TLate* suspended = New<TLate>(true);
  EXPECT_TRUE(suspended->Suspended());
  EXPECT_EQ(suspended->Seen, -1);
  EXPECT_THROW(suspended->WaitFor(), EThread);
  suspended->Start();
  suspended->WaitFor();
  EXPECT_EQ(suspended->Seen, 42);
  Free(suspended);

  // Freed without ever starting: it ends without running its body.
  TLate* never = New<TLate>(true);
  Free(never);
}

TEST(Thread, ExceptionsTravelBackOrEndTheThread) {
  std::string caught;
  TFunctionThread* t = New<TFunctionThread>(false, [&](TFunctionThread& self) {
    try {
      self.Synchronize(TThreadMethod::Lambda([] { throw EConvertError("bad value"); }));
    } catch (const EConvertError& e) {
      caught = e.Message();
    }
    throw EInvalidOperation("body failed");
  });
  bool terminated = false;
  t->OnTerminate = TNotifyEvent::Lambda([&](TObject*) { terminated = GetCurrentThreadId() == MainThreadID; });
  t->WaitFor();
  EXPECT_EQ(caught, "bad value");
  ASSERT_TRUE(t->FatalException());
  EXPECT_THROW(std::rethrow_exception(t->FatalException()), EInvalidOperation);
  EXPECT_TRUE(terminated);
  Free(t);
}

TEST(Thread, QueuedCallsRunLaterAndThoseOfAFreedThreadAreDropped) {
  struct TQueuing : TThread {
    TQueuing(int& own, int& other) : TThread(false), Own(own), Other(other) {}
    void Execute() override {
      Queue(TThreadMethod::Bind<&TQueuing::Mine>(this));
      // Captures what outlives the thread, never the thread itself.
      Queue(TThreadMethod::Lambda([&other = Other] { ++other; }));
    }
    void Mine() { ++Own; }
    int& Own;
    int& Other;
  };
  int own = 0, other = 0;
  TQueuing* t = New<TQueuing>(own, other);
  WaitForSingleObject(t->Handle(), INFINITE);  // not serving: the calls stay queued
  EXPECT_EQ(own + other, 0);
  Free(t);
  EXPECT_TRUE(testing_support::RunMessagesUntil([&] { return other == 1; }));
  CheckSynchronize();
  EXPECT_EQ(own, 0);
}

TEST(Thread, AReplacedWakeUpIsCalledInsteadOfThePostAndGivesItBack) {
  // The replacement posts to a window of its own, as a library's does.
  std::atomic<int> wakes{0};
  TThread* waker = nullptr;
  HWND own = AllocateHWnd(TWndMethod::Lambda([](TMessage& m) { m.Result = 0; }));
  const TNotifyEvent previous = SetWakeMainThread(TNotifyEvent::Lambda([&](TObject* sender) {
    waker = static_cast<TThread*>(sender);
    ++wakes;
    PostMessageW(own, WM_USER, 0, 0);
  }));
  EXPECT_FALSE(previous);
  int ran = 0;
  TFunctionThread* t = New<TFunctionThread>(false, [&](TFunctionThread& self) {
    self.Queue(TThreadMethod::Lambda([&ran] { ++ran; }));
  });
  WaitForSingleObject(t->Handle(), INFINITE);
  EXPECT_EQ(wakes.load(), 1);
  EXPECT_EQ(waker, t);
  EXPECT_TRUE(testing_support::RunMessagesUntilIdle());
  EXPECT_EQ(ran, 0);  // the thread layer's own window was not told
  EXPECT_TRUE(CheckSynchronize());
  EXPECT_EQ(ran, 1);
  Free(t);
  EXPECT_TRUE(SetWakeMainThread(TNotifyEvent{}));
  EXPECT_FALSE(WakeMainThread());
  DeallocateHWnd(own);
  // The own wake-up again: a queued call runs from the message loop.
  TFunctionThread* u = New<TFunctionThread>(false, [&](TFunctionThread& self) {
    self.Queue(TThreadMethod::Lambda([&ran] { ++ran; }));
  });
  EXPECT_TRUE(testing_support::RunMessagesUntil([&] { return ran == 2; }));
  Free(u);
}

TEST(Thread, FreeingARunningThreadTerminatesAndWaits) {
  std::atomic<int> loops{0};
  TFunctionThread* t = New<TFunctionThread>(false, [&](TFunctionThread& self) {
    while (!self.Terminated()) {
      ++loops;
      Sleep(1);
    }
  });
  while (loops == 0) Sleep(1);
  Free(t);
  const int after = loops;
  Sleep(10);
  EXPECT_EQ(loops, after);
}

TEST(Thread, AFailingTerminationHandlerIsReportedOnTheGuiThread) {
  // The application's handler shows a message box, which belongs on the GUI
  // thread, not on the worker that is ending.
  std::vector<std::pair<std::string, DWORD>> reports;
  const TExceptionEvent old = SetCallbackExceptionHandler(TExceptionEvent::Lambda([&](TObject*, Exception& e) {
    reports.emplace_back(e.Message(), GetCurrentThreadId());
  }));
  auto* worker = New<TFunctionThread>(true, [](TFunctionThread&) {});
  worker->OnTerminate = TNotifyEvent::Lambda([](TObject*) { throw EConvertError("cannot finish"); });
  worker->SetFreeOnTerminate(true);
  worker->Start();
  EXPECT_TRUE(testing_support::RunMessagesUntil([&] { return !reports.empty(); }, 5000));
  SetCallbackExceptionHandler(old);
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].first, "cannot finish");
  EXPECT_EQ(reports[0].second, MainThreadID);
}

TEST(Thread, CriticalSectionAndEvent) {
  TCriticalSection lock;
  int total = 0;
  TFunctionThread* workers[4];
  for (auto*& w : workers)
    w = New<TFunctionThread>(false, [&](TFunctionThread&) {
      for (int i = 0; i < 10000; ++i) {
        std::lock_guard<TCriticalSection> guard(lock);
        ++total;
      }
    });
  for (auto* w : workers) {
    w->WaitFor();
    Free(w);
  }
  EXPECT_EQ(total, 40000);

  TSimpleEvent event(true, false);
  EXPECT_EQ(event.WaitFor(0), wrTimeout);
  event.SetEvent();
  EXPECT_EQ(event.WaitFor(0), wrSignaled);
  event.ResetEvent();
  EXPECT_EQ(event.WaitFor(0), wrTimeout);
}

}  // namespace
