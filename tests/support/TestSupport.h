// Helpers every test program uses: message pumping with time-outs, windows on
// the virtual display, pixel read-back, screenshots and synthesized input.
#pragma once

#include "platform/HandleCounts.h"
#include "platform/Win32.h"

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

// Handle counts in test messages: EXPECT_EQ(HandleCounts(), before).
inline void PrintTo(const THandleCounts& counts, std::ostream* os) { *os << HandleCountsText(counts); }

namespace testing_support {

// Runs the calling thread's message loop until `done` answers true or
// `timeoutMs` passes; answers whether `done` became true.
bool RunMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);

// Runs the calling thread's message loop until no message is waiting: posted
// and sent messages, input, paint requests and timers that are due. Answers
// false when messages still keep coming after `timeoutMs`.
bool RunMessagesUntilIdle(DWORD timeoutMs = 5000);

// Runs the message loop until a timer of `intervalMs` has fired `ticks`
// times: every timer of that interval or a shorter one has had as many
// chances to fire meanwhile. For proving that something stopped ticking,
// without a fixed wait. Answers false when the ticks do not come in 10 s.
bool RunTimerTicks(UINT intervalMs, int ticks);

// A literal with its terminating zero, as clipboard and drag blocks carry it.
template <size_t N>
std::string WithNul(const char (&text)[N]) {
  return std::string(text, N);
}

// A 32-bit top-down picture: pixels are 0x00RRGGBB.
struct Image {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;
  uint32_t At(int x, int y) const { return Pixels[static_cast<size_t>(y) * Width + x]; }
  bool operator==(const Image&) const = default;
};

// RGB of a COLORREF in the Image pixel layout.
constexpr uint32_t Rgb(COLORREF c) {
  return (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}

// Copies `r` of a device context into an Image.
Image ReadPixels(HDC dc, const RECT& r);
// Copies a window's client area as shown on the screen.
Image ReadClientPixels(HWND wnd);
// Copies a whole window, frame and children included, as the window drew
// itself: windows in front of it do not show.
Image ReadWindowPixels(HWND wnd);

// The folder for test artefacts (screenshots), from MEVRA_ARTEFACTS; created on demand.
std::string ArtefactDir();
// Saves an Image as PNG (BMP when GDI+ cannot encode) under ArtefactDir();
// answers the full path written.
std::string SaveArtefact(const Image& image, const std::string& name);
// Saves a screenshot of a window, frame included, showing only that window
// (ReadWindowPixels).
std::string SaveScreenshot(HWND wnd, const std::string& name);

// A top-level window on the virtual display whose messages go to `Handler`
// first; anything it leaves (answers false) goes to DefWindowProc.
class TestWindow {
public:
  using HandlerFn = std::function<bool(HWND, UINT, WPARAM, LPARAM, LRESULT&)>;
  TestWindow(int width, int height, HandlerFn handler = {}, const char* caption = "Mevra test",
             DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  ~TestWindow();
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  HWND Handle() const { return FHandle; }
  HandlerFn Handler;

private:
  static LRESULT CALLBACK Proc(HWND, UINT, WPARAM, LPARAM);
  HWND FHandle = nullptr;
};

// Posted input: goes to one window's queue, independent of focus.
void PostKey(HWND wnd, UINT vk);
void PostChar(HWND wnd, char ch);
void PostClick(HWND wnd, int x, int y);
// Real input through SendInput: needs the window in the foreground, so tests
// using it hold the "input" lock.
void SendKey(WORD vk, bool up = false);
void SendText(const std::wstring& text);
void SendMouseMove(int screenX, int screenY);
void SendClick(int screenX, int screenY);

// Full path of a program that lives next to the running test program.
std::string SiblingProgram(const char* fileName);

}  // namespace testing_support
