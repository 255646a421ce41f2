// Times FillGradient in each direction on a 1920 x 1080 32-bit DIB against
// one BitBlt of the same area (the floor every gradient pays once), and one
// marquee tick (render and draw) on a 222 x 24 pane of a shown form.
#include "foundation/FoundationUnits.h"
#include "panels/Gradients.h"
#include "panels/MarqueeStatus.h"
#include "panels/PanelsUnits.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/Win32.h"

#include <cstdio>
#include <cstdlib>

namespace {

LONGLONG Now() {
  LARGE_INTEGER value;
  QueryPerformanceCounter(&value);
  return value.QuadPart;
}

double MillisecondsSince(LONGLONG since) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(Now() - since) * 1000.0 / double(frequency.QuadPart);
}

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

  LONGLONG start = Now();
  for (int i = 0; i < rounds; ++i) BitBlt(dc.Get(), 0, 0, W, H, source.Get(), 0, 0, SRCCOPY);
  GdiFlush();
  const double blit = MillisecondsSince(start) / rounds;
  std::printf("BitBlt %dx%d: %.2f ms\n", W, H, blit);
  for (int d = 0; d < 10; ++d) {
    start = Now();
    for (int i = 0; i < rounds; ++i)
      FillGradient(&canvas, RECT{0, 0, W, H}, static_cast<TGradientDirection>(d), RGB(255, 255, 255),
                   RGB(60, 110, 200));
    GdiFlush();
    const double ms = MillisecondsSince(start) / rounds;
    std::printf("gd%-17s %8.2f ms  %5.2fx the blit\n", DirectionNames[d], ms, ms / blit);
  }
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
    start = Now();
    for (int i = 0; i < ticks; ++i) marquee->ScrollTick(nullptr);
    GdiFlush();
    std::printf("marquee tick on a 222-px pane: %.3f ms\n", MillisecondsSince(start) / ticks);
    Free(form);
  }
  ApplicationDone();
  return 0;
}
