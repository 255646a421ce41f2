// The request worker: one thread per service request. It posts its own copy
// of the parameters as a form, up to five attempts, and hands the reply text
// to the GUI thread, which clears the busy guard if it names this worker,
// frees the worker, loads the reply into the caller's document and then sends
// message 0x402 to the caller's window. The document is therefore only ever
// touched by the GUI thread, and each 0x402 handler reads the reply that
// belongs to it even when several workers target the same document.
#pragma once

#include "client/SharedState.h"
#include "platform/HttpClient.h"
#include "platform/Thread.h"

#include <memory>

class httpthread : public TThread {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // Create with New<httpthread>(...) (or StartRequest): it starts running once
  // constructed and is freed when its reply has been handed over; never free
  // it yourself. Call on the GUI thread.
  // With `busyGuard` the worker becomes ActiveRequest before it starts, so a
  // worker that ends at once cannot leave the guard pointing at freed memory.
  // With `reportGiveUp` a worker whose every attempt failed sends
  // WM_REQUESTFAILED to its window instead of ending silently.
  httpthread(const AnsiString& url, HWND replyWnd, int32_t mode, const TStrings& params, TXmlDocumentRef doc,
             bool busyGuard = false, bool reportGiveUp = false);
  ~httpthread() override;

  // Attempts before a request is given up silently.
  static constexpr int MaxAttempts = 5;
  // Workers give up on a service that stops answering after this long, so a
  // hung request cannot hold the busy guard for ever.
  static constexpr uint32_t ReadTimeoutMs = 60000;
  // The time-out workers started from now on use (ReadTimeoutMs unless a
  // test shortens it; 0 restores the default).
  static void SetReadTimeout(uint32_t ms);
  static uint32_t ReadTimeout();
  // Replies larger than this fail the attempt ("The reply is larger than
  // 4194304 bytes"): every reply of the service is a few kilobytes, and a
  // larger one would cost several times its size on the GUI thread.
  static constexpr int64_t MaxReplySize = 4 * 1024 * 1024;  // bytes

  // Workers started and not yet at the end of their body. A worker has
  // handed its reply over by the time it leaves this count.
  static int Running();

  std::unique_ptr<THttpClient> Http;  // created by the thread body
  const AnsiString Url;
  const HWND ReplyWnd;
  const int32_t Mode;                 // 2: form POST; the client passes nothing else
  const bool ReportGiveUp;

protected:
  void Execute() override;

private:
  // This request's own copy, taken at construction: the shared list is
  // cleared and refilled by the next request while this one may still post.
  TStringList Params;
  TXmlDocumentRef Doc;                // handed back to the GUI thread, never used here
};

// Sent (by the GUI thread) to the window of a worker started with
// reportGiveUp when it gave up without a reply.
constexpr UINT WM_REQUESTFAILED = WM_USER + 3;  // 0x403

// Starts a worker for `url` with RequestParams, mode 2.
httpthread* StartRequest(const AnsiString& url, HWND replyWnd, TXmlDocumentRef doc, bool busyGuard = false,
                         bool reportGiveUp = false);
