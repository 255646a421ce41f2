#include "tests/support/TestSupport.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace testing_support {

bool RunMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (done()) return true;
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(10, timeoutMs - elapsed), QS_ALLINPUT);
  }
}

bool RunMessagesUntilIdle(DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    if (GetTickCount() - start >= timeoutMs) return false;
  }
  return true;
}

namespace {

thread_local int TimerTicks = 0;

void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++TimerTicks; }

}  // namespace

bool RunTimerTicks(UINT intervalMs, int ticks) {
  TimerTicks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, intervalMs, &CountTick);
  if (!timer) return false;
  const bool done = RunMessagesUntil([&] { return TimerTicks >= ticks; }, 10000);
  KillTimer(nullptr, timer);
  return done;
}

namespace {

// Owns a memory DC with a 32-bit top-down DIB section selected into it.
struct DibSurface {
  HDC Dc = nullptr;
  HBITMAP Bitmap = nullptr;
  HGDIOBJ Old = nullptr;
  uint32_t* Bits = nullptr;
  DibSurface(int w, int h) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    Dc = CreateCompatibleDC(nullptr);
    Bitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    Bits = static_cast<uint32_t*>(bits);
    Old = SelectObject(Dc, Bitmap);
  }
  ~DibSurface() {
    SelectObject(Dc, Old);
    DeleteObject(Bitmap);
    DeleteDC(Dc);
  }
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;
};

struct WindowDc {
  HWND Wnd;
  HDC Dc;
  explicit WindowDc(HWND w, bool whole) : Wnd(w), Dc(whole ? GetWindowDC(w) : GetDC(w)) {}
  ~WindowDc() { ReleaseDC(Wnd, Dc); }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
};

}  // namespace

Image ReadPixels(HDC dc, const RECT& r) {
  Image img;
  img.Width = std::max<LONG>(0, r.right - r.left);
  img.Height = std::max<LONG>(0, r.bottom - r.top);
  if (img.Width == 0 || img.Height == 0) return img;
  DibSurface surface(img.Width, img.Height);
  GdiFlush();
  BitBlt(surface.Dc, 0, 0, img.Width, img.Height, dc, r.left, r.top, SRCCOPY);
  GdiFlush();
  img.Pixels.resize(static_cast<size_t>(img.Width) * img.Height);
  for (size_t i = 0; i < img.Pixels.size(); ++i) img.Pixels[i] = surface.Bits[i] & 0x00FFFFFFu;
  return img;
}

Image ReadClientPixels(HWND wnd) {
  RECT r;
  GetClientRect(wnd, &r);
  WindowDc dc(wnd, false);
  return ReadPixels(dc.Dc, r);
}

Image ReadWindowPixels(HWND wnd) {
  // From the window's own device context, not from the screen, where the
  // windows of test programs running beside this one may cover it. Wine
  // draws each top-level window, frame and children included, into a surface
  // of its own, so what other windows cover is still there to read. (Its
  // PrintWindow is no help: under Wine 8 it paints neither the frame nor the
  // children, and the client area at the frame's corner.) A window of another
  // process is read from the display, where what covers it reads black.
  RECT r;
  GetWindowRect(wnd, &r);
  WindowDc dc(wnd, true);
  return ReadPixels(dc.Dc, RECT{0, 0, r.right - r.left, r.bottom - r.top});
}

std::string ArtefactDir() {
  char buf[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("MEVRA_ARTEFACTS", buf, sizeof buf);
  std::string dir = (n > 0 && n < sizeof buf) ? std::string(buf, n) : std::string(".");
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}

namespace {

// The GDI+ flat API, bound at run time so tests do not depend on its import library.
struct GdiplusStartupInputRec {
  UINT32 Version = 1;
  void* DebugEventCallback = nullptr;
  BOOL SuppressBackgroundThread = FALSE;
  BOOL SuppressExternalCodecs = FALSE;
};

bool SavePng(const Image& image, const std::wstring& path) {
  HMODULE lib = LoadLibraryA("gdiplus.dll");
  if (!lib) return false;
  using StartupFn = int(WINAPI*)(ULONG_PTR*, const GdiplusStartupInputRec*, void*);
  using ShutdownFn = void(WINAPI*)(ULONG_PTR);
  using FromScan0Fn = int(WINAPI*)(INT, INT, INT, INT, BYTE*, void**);
  using SaveFn = int(WINAPI*)(void*, const WCHAR*, const CLSID*, const void*);
  using DisposeFn = int(WINAPI*)(void*);
  auto startup = reinterpret_cast<StartupFn>(reinterpret_cast<void*>(GetProcAddress(lib, "GdiplusStartup")));
  auto shutdown = reinterpret_cast<ShutdownFn>(reinterpret_cast<void*>(GetProcAddress(lib, "GdiplusShutdown")));
  auto fromScan0 = reinterpret_cast<FromScan0Fn>(reinterpret_cast<void*>(GetProcAddress(lib, "GdipCreateBitmapFromScan0")));
  auto save = reinterpret_cast<SaveFn>(reinterpret_cast<void*>(GetProcAddress(lib, "GdipSaveImageToFile")));
  auto dispose = reinterpret_cast<DisposeFn>(reinterpret_cast<void*>(GetProcAddress(lib, "GdipDisposeImage")));
  bool ok = false;
  ULONG_PTR token = 0;
  GdiplusStartupInputRec input;
  if (startup && shutdown && fromScan0 && save && dispose && startup(&token, &input, nullptr) == 0) {
    // The image encoder for PNG ("image/png").
    const CLSID pngEncoder = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
    std::vector<uint32_t> pixels(image.Pixels);
    for (auto& p : pixels) p |= 0xFF000000u;
    void* bitmap = nullptr;
    const int PixelFormat32bppARGB = 0x0026200A;
    if (fromScan0(image.Width, image.Height, image.Width * 4, PixelFormat32bppARGB,
                  reinterpret_cast<BYTE*>(pixels.data()), &bitmap) == 0) {
      ok = save(bitmap, path.c_str(), &pngEncoder, nullptr) == 0;
      dispose(bitmap);
    }
    shutdown(token);
  }
  FreeLibrary(lib);
  return ok;
}

bool SaveBmp(const Image& image, const std::string& path) {
  BITMAPFILEHEADER fh{};
  BITMAPINFOHEADER ih{};
  const DWORD dataSize = static_cast<DWORD>(image.Pixels.size() * 4);
  ih.biSize = sizeof ih;
  ih.biWidth = image.Width;
  ih.biHeight = -image.Height;
  ih.biPlanes = 1;
  ih.biBitCount = 32;
  ih.biCompression = BI_RGB;
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof fh + sizeof ih;
  fh.bfSize = fh.bfOffBits + dataSize;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(&fh, sizeof fh, 1, f) == 1 && std::fwrite(&ih, sizeof ih, 1, f) == 1 &&
            (dataSize == 0 || std::fwrite(image.Pixels.data(), dataSize, 1, f) == 1);
  return std::fclose(f) == 0 && ok;
}

}  // namespace

std::string SaveArtefact(const Image& image, const std::string& name) {
  const std::string base = ArtefactDir() + "\\" + name;
  if (image.Width > 0 && image.Height > 0) {
    const std::string png = base + ".png";
    std::wstring wide(png.begin(), png.end());
    if (SavePng(image, wide)) return png;
  }
  const std::string bmp = base + ".bmp";
  return SaveBmp(image, bmp) ? bmp : std::string();
}

std::string SaveScreenshot(HWND wnd, const std::string& name) {
  return SaveArtefact(ReadWindowPixels(wnd), name);
}

TestWindow::TestWindow(int width, int height, HandlerFn handler, const char* caption, DWORD style)
    : Handler(std::move(handler)) {
  static const char* const kClass = "MevraTestWindow";
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = &TestWindow::Proc;
    wc.cbWndExtra = sizeof(LONG_PTR);
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);
    registered = true;
  }
  RECT r{0, 0, width, height};
  AdjustWindowRect(&r, style, FALSE);
  FHandle = CreateWindowExA(0, kClass, caption, style, 40, 40, r.right - r.left, r.bottom - r.top, nullptr,
                            nullptr, GetModuleHandleA(nullptr), this);
  if (style & WS_VISIBLE) {
    UpdateWindow(FHandle);
    RunMessagesUntilIdle();
  }
}

TestWindow::~TestWindow() {
  if (FHandle && IsWindow(FHandle)) DestroyWindow(FHandle);
}

LRESULT CALLBACK TestWindow::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTA*>(lp);
    SetWindowLongPtrA(wnd, 0, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrA(wnd, 0));
  if (msg == WM_NCDESTROY && self) {
    SetWindowLongPtrA(wnd, 0, 0);
    self->FHandle = nullptr;
  }
  LRESULT result = 0;
  if (self && self->Handler && self->Handler(wnd, msg, wp, lp, result)) return result;
  return DefWindowProcA(wnd, msg, wp, lp);
}

void PostKey(HWND wnd, UINT vk) {
  const UINT scan = MapVirtualKeyA(vk, 0);
  PostMessageA(wnd, WM_KEYDOWN, vk, 1 | (scan << 16));
  PostMessageA(wnd, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000u);
}

void PostChar(HWND wnd, char ch) {
  PostMessageA(wnd, WM_CHAR, static_cast<unsigned char>(ch), 1);
}

void PostClick(HWND wnd, int x, int y) {
  const LPARAM pos = MAKELPARAM(x, y);
  PostMessageA(wnd, WM_MOUSEMOVE, 0, pos);
  PostMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, pos);
  PostMessageA(wnd, WM_LBUTTONUP, 0, pos);
}

void SendKey(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof in);
}

void SendText(const std::wstring& text) {
  for (wchar_t ch : text) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wScan = in[1].ki.wScan = ch;
    in[0].ki.dwFlags = KEYEVENTF_UNICODE;
    in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
  }
}

void SendMouseMove(int screenX, int screenY) {
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = MulDiv(screenX, 65535, w - 1);
  in.mi.dy = MulDiv(screenY, 65535, h - 1);
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

void SendClick(int screenX, int screenY) {
  SendMouseMove(screenX, screenY);
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(2, in, sizeof(INPUT));
}

std::string SiblingProgram(const char* fileName) {
  char buf[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
  std::string path(buf, n);
  const size_t slash = path.find_last_of("\\/");
  return path.substr(0, slash == std::string::npos ? 0 : slash + 1) + fileName;
}

}  // namespace testing_support
