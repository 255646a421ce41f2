// Times FillGradient in each direction on a 1920 x 1080 32-bit DIB against
// one BitBlt of the same area between two DIB sections (the floor every
// gradient pays once), and one marquee tick (render and draw) on a 222 x 24
// pane of a shown form. Targets: the linear and box kinds within 3 times the
// blit, a tick well under 1 ms; the diagonal kinds have none.
#include "bench/BenchTiming.h"
#include "foundation/FoundationUnits.h"
#include "panels/Gradients.h"
#include "panels/MarqueeStatus.h"
#include "panels/PanelsUnits.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/Win32.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

using bench::BestMilliseconds;
using bench::MillisecondsSince;
using bench::Now;

const char* const DirectionNames[] = {"DiagonalUp",   "DiagonalDown",   "HorizontalEnd", "HorizontalCenter",
                                      "HorizontalBox", "VerticalEnd",   "VerticalCenter", "VerticalBox",
                                      "SquareBox",     "BigSquareBox"};

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  TUnitScope units{cxClassesUnit, dxUxThemeUnit, dxThemeManagerUnit, RzCommonUnit};
  ApplicationInit();
  constexpr int W = 1920, H = 1080;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = W;
  info.bmiHeader.biHeight = -H;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  void* sourceBits = nullptr;
  TMemoryDC dc, source;
  TGdiObject target(CheckGDI(CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0)));
  TGdiObject other(CheckGDI(CreateDIBSection(source.Get(), &info, DIB_RGB_COLORS, &sourceBits, nullptr, 0)));
  const TSelectObjectGuard selected(dc.Get(), target.Get());
  const TSelectObjectGuard selectedSource(source.Get(), other.Get());
  TCanvas canvas;
  canvas.SetHandle(dc.Get());

  // Both bitmaps written once, so that no run pays for first touches.
  PatBlt(dc.Get(), 0, 0, W, H, WHITENESS);
  PatBlt(source.Get(), 0, 0, W, H, BLACKNESS);
  const double blit = BestMilliseconds(rounds, [&] { BitBlt(dc.Get(), 0, 0, W, H, source.Get(), 0, 0, SRCCOPY); });
  std::printf("BitBlt %dx%d: %.2f ms (best of %d)\n", W, H, blit, rounds);
  double worst = 0;
  for (int d = 0; d < 10; ++d) {
    const double ms = BestMilliseconds(rounds, [&] {
      FillGradient(&canvas, RECT{0, 0, W, H}, static_cast<TGradientDirection>(d), RGB(255, 255, 255),
                   RGB(60, 110, 200));
    });
    std::printf("gd%-17s %8.2f ms  %6.2fx the blit\n", DirectionNames[d], ms, ms / blit);
    if (d >= 2) worst = std::max(worst, ms / blit);
  }
  std::printf("linear and box kinds: at most %.2fx the blit (target 3x): %s\n", worst,
              worst <= 3 ? "met" : "MISSED");
  canvas.SetHandle(nullptr);

  {
    TForm* form = New<TForm>(nullptr);
    form->SetBounds(0, 0, 260, 80);
    auto* marquee = New<TRzMarqueeStatus>(form);
    marquee->SetParent(form);
    marquee->SetBounds(0, 0, 222, 24);
    marquee->SetCaption("增加信息1条");
    marquee->SetFrameStyle(fsGroove);
    marquee->ScrollTimer()->SetOnTimer(TNotifyEvent());
    form->Show();
    const int ticks = 322 * rounds;
    const LONGLONG start = Now();
    for (int i = 0; i < ticks; ++i) marquee->ScrollTick(nullptr);
    GdiFlush();
    const double tick = MillisecondsSince(start) / ticks;
    std::printf("marquee tick on a 222-px pane: %.3f ms (target well under 1 ms): %s\n", tick,
                tick < 0.5 ? "met" : "MISSED");
    Free(form);
  }
  ApplicationDone();
  return 0;
}
