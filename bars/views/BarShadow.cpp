#include "bars/views/BarShadow.h"

#include <algorithm>
#include <utility>

#include "platform/CallbackGuard.h"

namespace {
const char kPartClass[] = "MevraBarShadowPart";

bool Empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

void Add(std::vector<TdxBarShadowPartInfo>& parts, int kind, unsigned corners, RECT r) {
  if (!Empty(r)) parts.push_back({r, kind, corners});
}
}  // namespace

std::vector<TdxBarShadowPartInfo> dxBarShadowParts(RECT o, RECT c, int s) {
  std::vector<TdxBarShadowPartInfo> parts;
  const bool noOwner = Empty(o);
  const bool horizontal = noOwner || o.bottom == c.top || o.top == c.bottom;
  if ((horizontal && !noOwner && o.top == c.bottom) || (!horizontal && o.left == c.right)) std::swap(o, c);
  if (horizontal) {
    if (!noOwner) Add(parts, 1, dxShadowFadeTop, RECT{o.right, o.top + s, o.right + s, o.bottom});
    Add(parts, 0, dxShadowFadeLeft | dxShadowFadeRight, RECT{c.left + s, c.bottom, c.right + s, c.bottom + s});
    if (!noOwner) {
      if (o.left + s < c.left) Add(parts, 0, dxShadowFadeLeft, RECT{o.left + s, o.bottom, c.left, o.bottom + s});
      if (c.right < o.right) Add(parts, 0, dxShadowFadeRight, RECT{c.right, o.bottom, o.right + s, o.bottom + s});
    }
    if (noOwner || o.right < c.right)
      Add(parts, 1, dxShadowFadeTop, RECT{c.right, c.top + s, c.right + s, c.bottom});
    else
      Add(parts, 1, 0, RECT{c.right, c.top, c.right + s, c.bottom});
    return parts;
  }
  Add(parts, 1, dxShadowFadeTop, RECT{c.right, c.top + s, c.right + s, c.bottom});
  if (o.top + s < c.top) Add(parts, 1, dxShadowFadeTop, RECT{o.right, o.top + s, o.right + s, c.top});
  if (c.bottom < o.bottom) {
    Add(parts, 0, dxShadowFadeLeft | dxShadowFadeRight, RECT{o.left + s, o.bottom, o.right + s, o.bottom + s});
    Add(parts, 1, 0, RECT{o.right, c.bottom, o.right + s, o.bottom});
  } else {
    Add(parts, 0, dxShadowFadeLeft, RECT{o.left + s, o.bottom, o.right, o.bottom + s});
  }
  if (o.bottom < c.bottom)
    Add(parts, 0, dxShadowFadeLeft | dxShadowFadeRight, RECT{c.left + s, c.bottom, c.right + s, c.bottom + s});
  else
    Add(parts, 0, dxShadowFadeRight, RECT{c.left, c.bottom, c.right + s, c.bottom + s});
  return parts;
}

bool dxBarShadowPartBigEnough(const TdxBarShadowPartInfo& part, int size) {
  if (part.Corners == 0) return true;
  return part.Bounds.right - part.Bounds.left >= size && part.Bounds.bottom - part.Bounds.top >= size;
}

std::vector<uint8_t> dxBarShadowAlphas(int width, int height, int kind, unsigned corners, int size) {
  std::vector<uint8_t> alpha(static_cast<size_t>(std::max(width, 0)) * std::max(height, 0));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      int a = kind == 1 ? 15 * (width - x) : 15 * (height - y);
      // The k-th line from a fading end keeps (k + 1) / (size + 1) of it.
      if ((corners & dxShadowFadeLeft) && x < size && y < size) a = MulDiv(a, x + 1, size + 1);
      if ((corners & dxShadowFadeRight) && width - 1 - x < size && y < size) a = MulDiv(a, width - x, size + 1);
      if ((corners & dxShadowFadeTop) && y < size && x < size) a = MulDiv(a, y + 1, size + 1);
      alpha[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(std::clamp(a, 0, 255));
    }
  return alpha;
}

TdxBarShadow::TdxBarShadow(HWND ownerWindow) : FOwnerWindow(ownerWindow), FTransparent(SystemTransparent()) {}

TdxBarShadow::~TdxBarShadow() { DestroyParts(); }

bool TdxBarShadow::SystemTransparent() {
  HDC screen = GetDC(nullptr);
  const int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
  ReleaseDC(nullptr, screen);
  return bits > 8;
}

void TdxBarShadow::SetBounds(const RECT& owner, const RECT& control) {
  FOwner = owner;
  FControl = control;
  Refresh();
}

void TdxBarShadow::SetVisible(bool value) {
  if (value == FVisible) return;
  FVisible = value;
  for (TPart& part : FParts) {
    if (value)
      ShowPart(part);
    else if (part.Window)
      ShowWindow(part.Window, SW_HIDE);
  }
}

LRESULT CALLBACK TdxBarShadow::PartProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return GuardCallback([&]() -> LRESULT {
    switch (msg) {
      case WM_NCHITTEST: return HTTRANSPARENT;
      case WM_ERASEBKGND: {
        RECT r{};
        GetClientRect(wnd, &r);
        FillRect(reinterpret_cast<HDC>(wParam), &r, GetSysColorBrush(COLOR_BTNSHADOW));
        return 1;
      }
      case WM_PAINT: {
        PAINTSTRUCT ps;
        BeginPaint(wnd, &ps);
        EndPaint(wnd, &ps);
        return 0;
      }
      default: return DefWindowProcA(wnd, msg, wParam, lParam);
    }
  }, LRESULT(0));
}

void TdxBarShadow::Refresh() {
  DestroyParts();
  static bool registered = false;
  if (!registered) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &PartProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kPartClass;
    registered = RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }
  const int s = ShadowSize();
  for (const TdxBarShadowPartInfo& info : dxBarShadowParts(FOwner, FControl, s)) {
    if (!dxBarShadowPartBigEnough(info, s)) continue;
    TPart part;
    part.Info = info;
    const int w = info.Bounds.right - info.Bounds.left, h = info.Bounds.bottom - info.Bounds.top;
    if (FTransparent) {
      BITMAPINFO bi{};
      bi.bmiHeader.biSize = sizeof bi.bmiHeader;
      bi.bmiHeader.biWidth = w;
      bi.bmiHeader.biHeight = -h;
      bi.bmiHeader.biPlanes = 1;
      bi.bmiHeader.biBitCount = 32;
      void* bits = nullptr;
      part.Image = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
      if (part.Image && bits) {
        const std::vector<uint8_t> alpha = dxBarShadowAlphas(w, h, info.Kind, info.Corners, s);
        auto* pixels = static_cast<uint32_t*>(bits);
        // Black, premultiplied: only the alpha byte is set.
        for (size_t i = 0; i < alpha.size(); ++i) pixels[i] = static_cast<uint32_t>(alpha[i]) << 24;
      }
    }
    DWORD ex = WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    if (FTransparent) ex |= WS_EX_LAYERED;
    if (FOwnerWindow && (GetWindowLongA(FOwnerWindow, GWL_EXSTYLE) & WS_EX_TOPMOST)) ex |= WS_EX_TOPMOST;
    part.Window = CreateWindowExA(ex, kPartClass, "", WS_POPUP, info.Bounds.left, info.Bounds.top, w, h, FOwnerWindow,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    FParts.push_back(part);
    if (FVisible) ShowPart(FParts.back());
  }
}

void TdxBarShadow::ShowPart(TPart& part) {
  if (!part.Window) return;
  const RECT& r = part.Info.Bounds;
  if (FTransparent && part.Image) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(memory, part.Image);
    SIZE size{r.right - r.left, r.bottom - r.top};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    UpdateLayeredWindow(part.Window, nullptr, nullptr, &size, memory, &source, 0, &blend, ULW_ALPHA);
    SelectObject(memory, old);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
  }
  // Directly behind the owner window.
  SetWindowPos(part.Window, FOwnerWindow ? FOwnerWindow : HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void TdxBarShadow::DestroyParts() {
  for (TPart& part : FParts) {
    if (part.Window) {
      ShowWindow(part.Window, SW_HIDE);
      DestroyWindow(part.Window);
    }
    if (part.Image) DeleteObject(part.Image);
  }
  FParts.clear();
}
