#include "client/HttpThread.h"

#include "platform/UtilWindow.h"

const TClassInfo httpthread::ClassInfo{"httpthread", &TThread::ClassInfo, nullptr};

namespace {

std::atomic<int> RunningWorkers{0};

constexpr UINT WM_DELIVER = WM_APP + 0x102;

// What a worker hands to the GUI thread when it is done. With Deliver false
// it carries only the document reference, so that it is released on the
// thread that owns it.
struct TDelivery {
  httpthread* Worker = nullptr;
  TXmlDocumentRef Doc;
  AnsiString Body;
  HWND ReplyWnd = nullptr;
  bool Deliver = false;
  bool ReportGiveUp = false;
};

std::atomic<uint32_t> ReadTimeoutSetting{0};

HWND RouterWindow = nullptr;

// The GUI thread's half of every request, run by a utility window, whose
// procedure stops any exception (a reply too large to convert, say).
void RouteReply(TMessage& message) {
  if (message.Msg != WM_DELIVER) {
    message.Result = DefWindowProcA(RouterWindow, message.Msg, message.WParam, message.LParam);
    return;
  }
  std::unique_ptr<TDelivery> delivery(reinterpret_cast<TDelivery*>(message.LParam));
  // The request is over: the busy guard is cleared before anyone hears of
  // the reply, so a reply handler may start the next delete or move. The
  // worker is still alive here (it is freed just below), so the guard cannot
  // name a new worker that happens to sit at the same address.
  httpthread* worker = delivery->Worker;
  ActiveRequest.compare_exchange_strong(worker, nullptr);
  // All the worker has left to do is end.
  Free(delivery->Worker);
  if (!delivery->Deliver) {
    if (delivery->ReportGiveUp && IsWindow(delivery->ReplyWnd))
      SendMessageA(delivery->ReplyWnd, WM_REQUESTFAILED, 0, 0);
    return;
  }
  if (!delivery->Doc) return;
  // Not XML leaves the document empty; the window is told all the same.
  try {
    delivery->Doc->LoadXML(delivery->Body);
  } catch (const Exception&) {
    delivery->Doc->Clear();
  }
  delivery->Body = AnsiString();
  SendMessageA(delivery->ReplyWnd, WM_REPLYREADY, 0, 0);
}

// The message-only window on the GUI thread that receives replies; made on
// the GUI thread by the first request, kept for the process.
HWND Router() {
  if (!RouterWindow) RouterWindow = AllocateHWnd(TWndMethod::Lambda([](TMessage& m) { RouteReply(m); }));
  return RouterWindow;
}

}  // namespace

httpthread::httpthread(const AnsiString& url, HWND replyWnd, int32_t mode, const TStrings& params,
                       TXmlDocumentRef doc, bool busyGuard, bool reportGiveUp)
    : TThread(false), Url(url), ReplyWnd(replyWnd), Mode(mode), ReportGiveUp(reportGiveUp), Doc(std::move(doc)) {
  // Freed by the GUI thread once its reply is handed over (RouteReply).
  SetFreeOnTerminate(false);
  ++RunningWorkers;
  Params.AddStrings(params);
  Router();
  if (busyGuard) ActiveRequest = this;
}

httpthread::~httpthread() = default;

void httpthread::Execute() {
  auto delivery = std::make_unique<TDelivery>();
  delivery->Worker = this;
  delivery->Doc = std::move(Doc);
  delivery->ReplyWnd = ReplyWnd;
  delivery->ReportGiveUp = ReportGiveUp;
  Http = std::make_unique<THttpClient>();
  Http->ReadTimeout = ReadTimeout();
  Http->MaxResponseSize = MaxReplySize;
  for (int attempt = 0; attempt < MaxAttempts; ++attempt) {
    try {
      if (Mode == 2) {
        delivery->Body = Http->Post(Url, Params);
        delivery->Deliver = true;
      }
      break;
    } catch (const std::exception&) {
      // The next attempt starts at once; nobody is told.
    }
  }
  Http->Disconnect();
  Http.reset();
  if (PostMessageA(RouterWindow, WM_DELIVER, 0, reinterpret_cast<LPARAM>(delivery.get()))) {
    delivery.release();
  } else {
    // The GUI thread is gone (shut-down): the worker clears its own guard
    // and frees itself. Releasing the document here would touch it from the
    // wrong thread, so it is left to the end of the process.
    httpthread* self = this;
    ActiveRequest.compare_exchange_strong(self, nullptr);
    new TXmlDocumentRef(std::move(delivery->Doc));
    SetFreeOnTerminate(true);
  }
  --RunningWorkers;
}

int httpthread::Running() { return RunningWorkers.load(); }

void httpthread::SetReadTimeout(uint32_t ms) { ReadTimeoutSetting = ms; }

uint32_t httpthread::ReadTimeout() {
  const uint32_t ms = ReadTimeoutSetting.load();
  return ms ? ms : ReadTimeoutMs;
}

httpthread* StartRequest(const AnsiString& url, HWND replyWnd, TXmlDocumentRef doc, bool busyGuard,
                         bool reportGiveUp) {
  return New<httpthread>(url, replyWnd, 2, RequestParams, std::move(doc), busyGuard, reportGiveUp);
}
