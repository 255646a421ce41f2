// Drops of 1 MB and 10 MB of HTML on the floating drop box, each timed from
// the drop until the stand-in service has received the whole in.php request
// it makes, with the process's peak private memory over the drop. The drop
// goes through the box's own OLE drop target, as a drag from another program
// does. The page is copied on its way (UTF-8, wide, GBK, form-encoded), so
// the peak is a multiple of its size; the figures show how large.
#include "bench/BenchSupport.h"
#include "client/DropBox.h"
#include "client/HttpThread.h"
#include "client/Protocol.h"
#include "client/SharedState.h"
#include "foundation/FoundationUnits.h"
#include "panels/PanelsUnits.h"
#include "platform/Forms.h"
#include "platform/Units.h"
#include "skin/SkinUnit.h"
#include "tests/client/FakeService.h"
#include "tests/dragdrop/FakeDataObject.h"

#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

using bench::MillisecondsSince;
using bench::Now;
using bench::PrivateBytes;

// CF_HTML of about `size` bytes: the header with its offsets, then a page
// whose fragment is paragraphs of Chinese and Latin text (UTF-8).
std::string HtmlOfSize(size_t size) {
  const std::string paragraph = "<p>\xE4\xBB\x8A\xE6\x97\xA5\xE7\x9A\x84\xE8\xAE\xB0\xE5\xBD\x95 notes of the day, "
                                "<b>kept</b> &amp; filed.</p>\r\n";
  std::string fragment;
  fragment.reserve(size + paragraph.size());
  while (fragment.size() < size) fragment += paragraph;
  const std::string before = "<html><body><!--StartFragment-->";
  const std::string after = "<!--EndFragment--></body></html>";
  char header[160];
  const int headerSize = std::snprintf(header, sizeof header,
                                       "Version:0.9\r\nStartHTML:%010d\r\nEndHTML:%010d\r\nStartFragment:%010d\r\n"
                                       "EndFragment:%010d\r\n",
                                       0, 0, 0, 0);
  const size_t start = headerSize, fragmentStart = start + before.size(),
               fragmentEnd = fragmentStart + fragment.size(), end = fragmentEnd + after.size();
  std::snprintf(header, sizeof header,
                "Version:0.9\r\nStartHTML:%010d\r\nEndHTML:%010d\r\nStartFragment:%010d\r\nEndFragment:%010d\r\n",
                int(start), int(end), int(fragmentStart), int(fragmentEnd));
  return header + before + fragment + after;
}

// Handles messages until `done`, sampling the private memory as it goes;
// false when `timeoutMs` passes first.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, size_t& peak) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    peak = std::max(peak, PrivateBytes());
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    } else {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
  }
  return true;
}

}  // namespace

int main() {
  OleInitialize(nullptr);
  int failures = 0;
  {
    TUnitScope units{dxGDIPlusAPIUnit, dxGDIPlusClassesUnit, cxClassesUnit, dxUxThemeUnit, dxThemeManagerUnit,
                     RzCommonUnit,     SkinUnit,             FormsUnit};
    TFakeService service;
    SetServiceHost(service.Host());
    UserInfo = Tuserinfo();
    UserInfo.UserId = service.DemoUser().Uid;
    UserInfo.SessionToken = service.SessionOf(UserInfo.UserId);
    UserInfo.NickName = service.DemoUser().NickName;
    CreateDocuments();
    ReplyDoc = NewDocument();
    Tmform* box = New<Tmform>(Application);
    if (!box->DropTextTarget1) {
      std::puts("the drop box was not built from its form");
      return 1;
    }
    box->Show();
    const CLIPFORMAT html = static_cast<CLIPFORMAT>(RegisterClipboardFormatA("HTML Format"));
    for (const size_t size : {size_t(1) << 20, size_t(10) << 20}) {
      FakeDataObject data;
      data.Offer(html, HtmlOfSize(size) + '\0');
      data.Offer(CF_TEXT, std::string("notes of the day") + '\0');
      service.ClearRequests();
      size_t peak = 0;
      const size_t before = PrivateBytes();
      const LONGLONG start = Now();
      IDropTarget* target = box->DropTextTarget1;
      POINTL at{box->Left() + box->Width() / 2, box->Top() + box->Height() / 2};
      DWORD effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
      target->DragEnter(&data, MK_LBUTTON, at, &effect);
      effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
      target->Drop(&data, 0, at, &effect);
      const bool posted = PumpUntil([&] { return service.RequestCount() >= 1; }, 120000, peak);
      const double ms = MillisecondsSince(start);
      // The reply comes back and the worker ends before the next drop.
      PumpUntil([] { return httpthread::Running() == 0; }, 60000, peak);
      if (!posted) {
        std::printf("%3u MB HTML drop: the POST never arrived\n", unsigned(size >> 20));
        ++failures;
        continue;
      }
      const size_t body = service.Requests().front().Body.size();
      std::printf("%3u MB HTML drop: POST of %8.2f MB received after %8.1f ms; peak private memory +%7.1f MB "
                  "(%.1f x the HTML)\n",
                  unsigned(size >> 20), double(body) / 1048576.0, ms, double(peak - std::min(peak, before)) / 1048576.0,
                  double(peak - std::min(peak, before)) / double(size));
    }
    Free(box);
    ReleaseSharedState();
    SetServiceHost("");
  }
  OleUninitialize();
  return failures ? 1 : 0;
}
