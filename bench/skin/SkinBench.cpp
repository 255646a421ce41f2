// Times loading the house skin (unpacking, the INI, every bitmap, the
// derived images), then, on a skinned 800 x 600 form with a menu bar,
// painting its whole non-client area (borders, caption, caption buttons,
// menu bar) and cutting its window region from the frame borders' opaque
// pixels; then a skinned memo's scroll-bar panels repainted per
// WM_VSCROLL.
#include "bench/BenchSupport.h"
#include "platform/Forms.h"
#include "platform/Memo.h"
#include "platform/Menus.h"
#include "skin/SkinData.h"
#include "skin/SkinManage.h"
#include "skin/SkinScroll.h"
#include "skin/SkinUnit.h"
#include "skin/WinSkinForm.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

using bench::MillisecondsSince;
using bench::Now;

// Handles what is waiting, until `done` or nothing is left to do.
template <class F>
void PumpUntil(F done) {
  MSG msg;
  for (int idle = 0; !done() && idle < 1000;) {
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ++idle;
      Sleep(1);
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  TUnitScope units{SkinUnit, FormsUnit};
  std::ifstream in(argc > 2 ? argv[2] : MEVRA_HOUSE_SKIN_FILE, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  auto* data = New<TSkinData>(nullptr);
  data->BeginLoading();
  data->SetActive(true);
  data->SetPackage(bytes.str());

  LONGLONG start = Now();
  for (int i = 0; i < rounds; ++i)
    if (!data->LoadSkin()) {
      std::fprintf(stderr, "the skin cannot be read: %s\n", data->LoadError().c_str());
      return 1;
    }
  std::printf("load the house skin:                  %8.3f ms\n", MillisecondsSince(start) / rounds);
  data->Loaded();

  auto* form = New<TForm>(nullptr);
  form->SetCaption("An 800 x 600 form");
  form->SetBounds(20, 20, 800, 600);
  auto* menu = new TMainMenu(form);
  for (const char* caption : {"&File", "&Edit", "&View", "&Help"}) {
    auto* item = new TMenuItem(form);
    item->SetCaption(caption);
    auto* child = new TMenuItem(form);
    child->SetCaption("&Open");
    item->Add(child);
    menu->Items()->Add(item);
  }
  form->SetMenu(menu);
  form->Show();
  SkinManager()->AttachForm(form);
  TWinSkinForm* skinner = nullptr;
  PumpUntil([&] {
    skinner = SkinManager()->FindFormSkinner(form->Handle());
    return skinner && skinner->Initialised();
  });
  if (!skinner || !skinner->Initialised()) {
    std::fprintf(stderr, "the form was not skinned\n");
    return 1;
  }
  RECT window{};
  GetWindowRect(form->Handle(), &window);

  start = Now();
  for (int i = 0; i < rounds; ++i) skinner->PaintFrame(nullptr);
  std::printf("paint the non-client area (%ld x %ld): %8.3f ms\n", window.right - window.left,
              window.bottom - window.top, MillisecondsSince(start) / rounds);

  start = Now();
  for (int i = 0; i < rounds; ++i) {
    skinner->ClearRegion();
    skinner->UpdateRegion();
  }
  const double regionTime = MillisecondsSince(start) / rounds;
  TGdiObject region(CreateRectRgn(0, 0, 0, 0));
  GetWindowRgn(form->Handle(), static_cast<HRGN>(region.Get()));
  std::printf("region of the form:                   %8.3f ms (%lu bytes of region data)\n", regionTime,
              static_cast<unsigned long>(GetRegionData(static_cast<HRGN>(region.Get()), 0, nullptr)));

  // A memo with both scroll bars: each WM_VSCROLL repaints its panel.
  auto* memo = new TMemo(form);
  memo->SetParent(form);
  memo->SetBounds(10, 10, 300, 300);
  memo->SetScrollBars(ssBoth);
  memo->SetWordWrap(false);
  AnsiString text;
  for (int i = 0; i < 2000; ++i) text += "A line of the memo, long enough to scroll it sideways too\r\n";
  memo->SetText(text);
  skinner->SkinFormControls(form);
  auto* scroll = ObjectAs<TSkinScrollbar>(skinner->FindSkinControlOf(memo));
  if (!scroll || !scroll->VertBar()) {
    std::fprintf(stderr, "the memo's scroll bars were not skinned\n");
    return 1;
  }
  const int scrolls = rounds * 50;
  const int paintsBefore = scroll->VertBar()->PaintCount();
  start = Now();
  for (int i = 0; i < scrolls; ++i) SendMessageA(memo->Handle(), WM_VSCROLL, i % 100 < 50 ? SB_LINEDOWN : SB_LINEUP, 0);
  const double scrollTime = MillisecondsSince(start) / scrolls;
  std::printf("memo WM_VSCROLL with its panel repaint: %8.3f ms (%d panel paints for %d scrolls)\n", scrollTime,
              scroll->VertBar()->PaintCount() - paintsBefore, scrolls);
  Free(form);
  Free(data);
  return 0;
}
