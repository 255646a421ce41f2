#include "client/HttpThread.h"


const TClassInfo httpthread::ClassInfo{"httpthread", &TThread::ClassInfo, nullptr};

namespace {

std::atomic<int> RunningWorkers{0};

constexpr UINT WM_DELIVER = WM_APP + 0x102;
const char kRouterClass[] = "MevraReplyRouter";

// What a worker hands to the GUI thread. With Deliver false it carries only
// the document reference, so that it is released on the thread that owns it.
struct TDelivery {
  TXmlDocumentRef Doc;
  AnsiString Body;
  HWND ReplyWnd = nullptr;
  bool Deliver = false;
};

LRESULT CALLBACK RouterProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_DELIVER) return DefWindowProcA(wnd, msg, wParam, lParam);
  std::unique_ptr<TDelivery> delivery(reinterpret_cast<TDelivery*>(lParam));
  if (delivery->Deliver && delivery->Doc) {
    // Not XML leaves the document empty; the window is told all the same.
    try {
      delivery->Doc->LoadXML(delivery->Body);
    } catch (const Exception&) {
      delivery->Doc->Clear();
    }
    SendMessageA(delivery->ReplyWnd, WM_REPLYREADY, 0, 0);
  }
  return 0;
}

// The message-only window on the GUI thread that receives replies.
HWND Router() {
  static HWND router = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = RouterProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kRouterClass;
    RegisterClassA(&wc);
    return CreateWindowExA(0, kRouterClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  }();
  return router;
}

void HandOver(std::unique_ptr<TDelivery> delivery) {
  if (PostMessageA(Router(), WM_DELIVER, 0, reinterpret_cast<LPARAM>(delivery.get()))) {
    delivery.release();
    return;
  }
  // The GUI thread is gone (shut-down): releasing the document here would
  // touch it from the wrong thread, so it is left to the end of the process.
  new TXmlDocumentRef(std::move(delivery->Doc));
}

}  // namespace

httpthread::httpthread(const AnsiString& url, HWND replyWnd, int32_t mode, const TStrings& params,
                       TXmlDocumentRef doc, bool busyGuard)
    : TThread(false), Url(url), ReplyWnd(replyWnd), Mode(mode), Doc(std::move(doc)) {
  SetFreeOnTerminate(true);
  ++RunningWorkers;
  Params.AddStrings(params);
  Router();  // created here, on the GUI thread
  if (busyGuard) ActiveRequest = this;
}

httpthread::~httpthread() = default;

void httpthread::Execute() {
  Http = std::make_unique<THttpClient>();
  Http->ReadTimeout = ReadTimeoutMs;
  auto delivery = std::make_unique<TDelivery>();
  delivery->Doc = std::move(Doc);
  delivery->ReplyWnd = ReplyWnd;
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
  HandOver(std::move(delivery));
  Http->Disconnect();
  Http.reset();
  // Only the busy guard's own worker clears it: an unrelated request that
  // ends first must not let a second delete or move start.
  httpthread* self = this;
  ActiveRequest.compare_exchange_strong(self, nullptr);
  --RunningWorkers;
}

int httpthread::Running() { return RunningWorkers.load(); }

httpthread* StartRequest(const AnsiString& url, HWND replyWnd, TXmlDocumentRef doc, bool busyGuard) {
  return New<httpthread>(url, replyWnd, 2, RequestParams, std::move(doc), busyGuard);
}
