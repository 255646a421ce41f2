// A fake service on a free port, the client pointed at it, and the demo user
// signed in as far as the shared state is concerned.
#pragma once

#include "client/HttpThread.h"
#include "client/Protocol.h"
#include "client/SharedState.h"
#include "tests/client/FakeService.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>

class ClientFixture : public ::testing::Test {
protected:
  void SetUp() override {
    Service = std::make_unique<TFakeService>();
    SetServiceHost(Service->Host());
    UserInfo = Tuserinfo();
    UserInfo.UserId = Service->DemoUser().Uid;
    UserInfo.SessionToken = Service->SessionOf(UserInfo.UserId);
    UserInfo.Email = Service->DemoUser().Email;
    CreateDocuments();
    ReplyDoc = NewDocument();
    ActiveRequest = nullptr;
  }
  void TearDown() override {
    // Every worker ends before the service goes, and its reply is handed over.
    EXPECT_TRUE(WaitForWorkers());
    Service.reset();
    SetServiceHost("");
    // The documents are COM objects: released here, long before COM stops.
    ReleaseSharedState();
  }

  // Runs the message loop until every worker has ended and its reply has
  // reached its window: after this nothing more arrives.
  static bool WaitForWorkers(DWORD timeoutMs = 20000) {
    return testing_support::RunMessagesUntil([] { return httpthread::Running() == 0; }, timeoutMs) &&
           testing_support::RunMessagesUntilIdle();
  }

  std::unique_ptr<TFakeService> Service;
};

// A window that counts the 0x402 messages it receives and runs `OnReply`.
class ReplyCounter {
public:
  ReplyCounter()
      : Window(100, 100, [this](HWND, UINT msg, WPARAM w, LPARAM l, LRESULT&) {
          if (msg != WM_REPLYREADY) return false;
          EXPECT_EQ(w, 0u);
          EXPECT_EQ(l, 0);
          ++Count;
          if (OnReply) OnReply();
          return true;
        }, "replies", WS_OVERLAPPED) {}
  HWND Handle() const { return Window.Handle(); }
  bool WaitFor(int count, DWORD timeoutMs = 10000) {
    return testing_support::RunMessagesUntil([&] { return Count >= count; }, timeoutMs);
  }
  int Count = 0;
  std::function<void()> OnReply;

private:
  testing_support::TestWindow Window;
};
