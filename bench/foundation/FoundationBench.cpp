// Glyphs drawn per second in each of the six looks, with the system's alpha
// blending and with the software path; Lanczos-3 resampling of a 256 x 256
// bitmap to 512 x 512; packing and unpacking of the packed bitmap stream.
// Messages per second through a window, sent and posted, without and with
// the container unit's three thread hooks. Each figure is the best of the
// repetitions.
#include "bench/BenchTiming.h"
#include "foundation/ContainerServices.h"
#include "foundation/Controls.h"
#include "foundation/CustomPopup.h"
#include "foundation/Graphics.h"
#include "foundation/PackedBitmap.h"
#include "platform/Win32.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// The best of the repetitions, in seconds.
template <class F>
double Best(int repetitions, F&& work) {
  return bench::BestMilliseconds(repetitions, work) / 1000.0;
}

std::unique_ptr<TcxBitmap> AlphaGlyph() {
  auto g = std::make_unique<TcxBitmap>(16, 16);
  TRGBColors pixels(16 * 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const double d = std::hypot(x - 7.5, y - 7.5);
      const int a = d > 8 ? 0 : static_cast<int>(255 * (1 - d / 8));
      pixels[static_cast<size_t>(y) * 16 + x] = MakePixel(a * 30 / 255, a * 160 / 255, a * 230 / 255, a);
    }
  StoreBitmapColors(g.get(), pixels, true);
  return g;
}

std::unique_ptr<TBitmap> KeyedGlyph() {
  auto g = std::make_unique<TBitmap>();
  g->SetPixelFormat(pf24bit);
  g->SetSize(16, 16);
  g->Canvas()->Brush()->SetColor(clFuchsia);
  g->Canvas()->FillRect(RECT{0, 0, 16, 16});
  g->Canvas()->Brush()->SetColor(clBlue);
  g->Canvas()->FillRect(RECT{4, 4, 12, 12});
  return g;
}

LRESULT CALLBACK CountingProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  static LONG_PTR count = 0;
  if (msg == WM_APP) return ++count;
  return DefWindowProcA(wnd, msg, wp, lp);
}

// Sent and posted messages per second to a plain window.
void MessageThroughput(int repetitions, const char* label) {
  WNDCLASSA cls{};
  cls.lpfnWndProc = CountingProc;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.lpszClassName = "MevraBenchCounter";
  RegisterClassA(&cls);
  HWND wnd = CreateWindowExA(0, cls.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, cls.hInstance, nullptr);
  const int messages = 20000;
  const double sent = Best(repetitions, [&] {
    for (int i = 0; i < messages; ++i) SendMessageA(wnd, WM_APP, 0, 0);
  });
  const double posted = Best(repetitions, [&] {
    for (int i = 0; i < messages; ++i) {
      PostMessageA(wnd, WM_APP, 0, 0);
      MSG msg;
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
  });
  std::printf("%-34s %12.0f sent/s %12.0f posted/s\n", label, messages / sent, messages / posted);
  DestroyWindow(wnd);
  UnregisterClassA(cls.lpszClassName, cls.hInstance);
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  cxControlsInit();
  cxGraphicsInit();
  {
    TBitmap surface;
    surface.SetPixelFormat(pf32bit);
    surface.SetSize(64, 64);
    HDC dc = surface.Canvas()->Handle();
    auto alpha = AlphaGlyph();
    auto keyed = KeyedGlyph();
    const int glyphs = 2000;
    std::printf("Glyphs per second (16 x 16, in a 24 x 24 rectangle), best of %d:\n", repetitions);
    std::printf("%-6s %-8s %14s %14s\n", "mode", "glyph", "alpha blend", "software");
    const TAlphaBlendProc system = cxAlphaBlend;
    for (int mode = 0; mode <= 5; ++mode)
      for (int kind = 0; kind < 2; ++kind) {
        double rate[2];
        for (int path = 0; path < 2; ++path) {
          cxAlphaBlend = path == 0 ? system : nullptr;
          const double s = Best(repetitions, [&] {
            for (int i = 0; i < glyphs; ++i)
              DrawImageOverBackground(dc, RECT{4, 4, 20, 20}, RECT{0, 0, 24, 24}, kind ? alpha.get() : keyed.get(),
                                      nullptr, -1, static_cast<uint8_t>(mode), false, nullptr, clFuchsia, false);
          });
          rate[path] = glyphs / s;
        }
        std::printf("%-6d %-8s %14.0f %14.0f\n", mode, kind ? "alpha" : "keyed", rate[0], rate[1]);
      }
    cxAlphaBlend = system;
  }
  {
    TcxBitmap source(256, 256), dest(512, 512);
    TRGBColors pixels(256 * 256);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint32_t>(i * 2654435761u);
    source.SetPixels(pixels);
    const double s = Best(repetitions, [&] { ResampleBitmap(&source, &dest, true); });
    std::printf("Lanczos-3 256 x 256 -> 512 x 512: %.1f ms (%.1f Mpixel/s out)\n", s * 1000, 512.0 * 512 / s / 1e6);
  }
  {
    // A bitmap's stream data of icon character: runs and noise.
    std::string plain(4 << 20, '\0');
    uint32_t seed = 7;
    for (size_t i = 0; i < plain.size(); ++i) {
      if ((i / 64) % 3 == 0) {
        seed = seed * 1103515245u + 12345u;
        plain[i] = static_cast<char>(seed >> 24);
      } else {
        plain[i] = static_cast<char>((i / 256) & 0xFF);
      }
    }
    const uint32_t count = static_cast<uint32_t>(plain.size() - 4);  // the plain form's own length
    for (int i = 0; i < 4; ++i) plain[static_cast<size_t>(i)] = static_cast<char>(count >> (8 * i));
    std::string runs;
    const double pack = Best(repetitions, [&] { runs = PackBitmapRuns(plain); });
    TMemoryStream stream;
    WritePackedBitmap(stream, plain);
    size_t out = 0;
    const double unpack = Best(repetitions, [&] {
      stream.SetPosition(0);
      bool packed;
      out = ReadPackedBitmap(stream, packed).size();
    });
    std::printf("XDBM: %zu bytes packed to %zu; pack %.0f MB/s, unpack %.0f MB/s (%zu bytes out)\n", plain.size(),
                runs.size(), plain.size() / pack / 1e6, plain.size() / unpack / 1e6, out);
  }
  {
    std::printf("Message throughput, best of %d:\n", repetitions);
    MessageThroughput(repetitions, "without the popup hooks");
    cxContainerInit();  // installs the three hooks
    MessageThroughput(repetitions, "with the popup hooks (none open)");
    cxContainerDone();
  }
  cxGraphicsDone();
  cxControlsDone();
  return 0;
}
