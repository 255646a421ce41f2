#include "foundation/ContainerServices.h"

#include "foundation/Controls.h"
#include "foundation/CustomPopup.h"
#include "foundation/GdiPlusApi.h"
#include "foundation/UxTheme.h"

#include <memory>

namespace {

using TGetScrollBarInfoProc = BOOL(WINAPI*)(HWND, LONG, PSCROLLBARINFO);
TGetScrollBarInfoProc GetScrollBarInfoEntry = nullptr;
HMODULE User32 = nullptr;

const int BorderWidths[] = {0, 1, 2, 2, 2, 1, 1};

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

}  // namespace

TSetWindowRgnProc cxSetWindowRgn = &SetWindowRgn;

int BorderWidthOfStyle(int borderStyle) {
  const int index = borderStyle % 128;
  // The table has seven entries; anything beyond takes no room.
  return index >= 0 && index < static_cast<int>(std::size(BorderWidths)) ? BorderWidths[index] : 0;
}

TcxRegion* BuildWindowRegion(const RECT& r, bool noRegion, const RECT& excluded, bool shadow) {
  if (noRegion) return nullptr;
  auto* region = new TcxRegion(r);
  if (shadow) {
    RECT moved = r;
    OffsetRect(&moved, cxContainerShadowWidth, cxContainerShadowWidth);
    region->CombineWith(new TcxRegion(moved), roAdd);
  }
  if (!IsEmpty(excluded)) region->CombineWith(new TcxRegion(excluded), roSubtract);
  return region;
}

bool UpdateWindowRegion(HWND wnd, const RECT& r, bool noRegion, const RECT& excluded, bool shadow) {
  std::unique_ptr<TcxRegion> region(BuildWindowRegion(r, noRegion, excluded, shadow));
  HRGN current = CreateRectRgn(0, 0, 0, 0);
  const bool has = GetWindowRgn(wnd, current) != ERROR;
  const bool same = region ? has && region->IsEqualToHandle(current) : !has;
  DeleteObject(current);
  if (same) return false;
  HRGN handed = nullptr;
  if (region) {
    handed = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(handed, region->Handle(), nullptr, RGN_COPY);
  }
  cxSetWindowRgn(wnd, handed, TRUE);  // the window owns the region now
  return true;
}

void SetChildClipRegion(TWinControl* control, bool whole, const RECT& r) {
  if (!control || !control->HandleAllocated()) return;
  SetWindowRgn(control->Handle(), whole ? nullptr : CreateRectRgnIndirect(&r), TRUE);
}

void DrawBoxShadow(TcxCanvas* canvas, const RECT& r) {
  const int s = cxContainerShadowWidth;
  const RECT bottom{r.left + s, r.bottom, r.right, r.bottom + s};
  const RECT right{r.right, r.top + s, r.right + s, r.bottom + s};
  canvas->FillWithColor(bottom, cxContainerShadowColor);
  canvas->ExcludeRectFromClip(bottom);
  canvas->FillWithColor(right, cxContainerShadowColor);
  canvas->ExcludeRectFromClip(right);
}

namespace {

// The four parts of `outer` around `inner`: left and right full height,
// top and bottom between them.
int BandParts(const RECT& outer, const RECT& inner, RECT (&parts)[4]) {
  if (IsEmpty(outer) || EqualRect(&outer, &inner)) return 0;
  if (IsEmpty(inner)) {
    parts[0] = outer;
    return 1;
  }
  parts[0] = RECT{outer.left, outer.top, inner.left, outer.bottom};
  parts[1] = RECT{inner.left, outer.top, inner.right, inner.top};
  parts[2] = RECT{inner.right, outer.top, outer.right, outer.bottom};
  parts[3] = RECT{inner.left, inner.bottom, inner.right, outer.bottom};
  return 4;
}

}  // namespace

void FillBandBetween(TcxCanvas* canvas, const RECT& outer, const RECT& inner, TColor color) {
  RECT parts[4];
  const int n = BandParts(outer, inner, parts);
  for (int i = 0; i < n; ++i)
    if (!IsEmpty(parts[i])) canvas->FillWithColor(parts[i], color);
}

void InvalidateFrameArea(HWND wnd, const RECT& outer, const RECT& inner, bool erase) {
  RECT parts[4];
  const int n = BandParts(outer, inner, parts);
  for (int i = 0; i < n; ++i)
    if (!IsEmpty(parts[i])) InvalidateRect(wnd, &parts[i], erase);
}

bool ThemeAvailableFor(bool nativeWanted, TdxThemedObjectType kind) {
  return nativeWanted && AcquireThemeHandle(kind) != nullptr;
}

bool ScrollBarInfoAvailable() { return GetScrollBarInfoEntry != nullptr; }

bool QueryScrollBarInfo(HWND wnd, LONG objectId, SCROLLBARINFO& info) {
  if (!GetScrollBarInfoEntry) return false;
  info.cbSize = sizeof(SCROLLBARINFO);
  return GetScrollBarInfoEntry(wnd, objectId, &info) != FALSE;
}

POINT ReadCursorPos() { return QueryCursorPos(); }

TShiftState CurrentShiftState() {
  TShiftState shift;
  if (GetKeyState(VK_SHIFT) < 0) shift.Include(ssShift);
  if (GetKeyState(VK_MENU) < 0) shift.Include(ssAlt);
  if (GetKeyState(VK_CONTROL) < 0) shift.Include(ssCtrl);
  if (GetKeyState(VK_LBUTTON) < 0) shift.Include(ssLeft);
  if (GetKeyState(VK_RBUTTON) < 0) shift.Include(ssRight);
  if (GetKeyState(VK_MBUTTON) < 0) shift.Include(ssMiddle);
  return shift;
}

HWND NearestTopLevelAncestor(HWND wnd) {
  while (wnd && (GetWindowLongA(wnd, GWL_STYLE) & WS_CHILD)) wnd = GetParent(wnd);
  return wnd;
}

bool IsControlWindowVisible(TWinControl* control) {
  return control && control->HandleAllocated() && IsWindowVisible(control->Handle());
}

void DisableAndRememberWindow(std::vector<HWND>& list, HWND wnd) {
  if (!wnd || !IsWindowEnabled(wnd)) return;
  list.push_back(wnd);
  EnableWindow(wnd, FALSE);
}

void ReenableWindows(const std::vector<HWND>* list) {
  if (!list) return;
  for (HWND wnd : *list)
    if (IsWindow(wnd)) EnableWindow(wnd, TRUE);
}

bool DiscardPendingMessages(HWND wnd, UINT first, UINT last, bool all) {
  bool removed = false;
  MSG msg;
  while (PeekMessageA(&msg, wnd, first, last, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    removed = true;
    if (!all) break;
  }
  return removed;
}

bool StringsEqual(const AnsiString& a, const AnsiString& b, bool caseSensitive) {
  if (caseSensitive)
    return CompareStringA(LOCALE_USER_DEFAULT, 0, a.c_str(), static_cast<int>(a.size()), b.c_str(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
  std::string ua(a.c_str(), a.size()), ub(b.c_str(), b.size());
  if (!ua.empty()) CharUpperBuffA(ua.data(), static_cast<DWORD>(ua.size()));
  if (!ub.empty()) CharUpperBuffA(ub.data(), static_cast<DWORD>(ub.size()));
  return ua == ub;
}

namespace {

bool BufferedPaintUsable() {
  return IsThemeLibraryBound() && UxThemeEntries[uxeBeginBufferedPaint] && DesktopCompositionActive();
}

// Erases and prints the client area of `wnd` into an opaque buffer over
// `r` of `dc`, then shows it.
void PaintOpaqueBuffer(HWND wnd, HDC dc, const RECT& r) {
  HDC bufferDC = nullptr;
  BP_PAINTPARAMS params{sizeof(BP_PAINTPARAMS), 0, nullptr, nullptr};
  if (HPAINTBUFFER buffer = UxBeginBufferedPaint(dc, r, BPBF_TOPDOWNDIB, &params, bufferDC)) {
    SendMessageA(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(bufferDC), 0);
    SendMessageA(wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(bufferDC), PRF_CLIENT);
    UxBufferedPaintSetAlpha(buffer, nullptr, 255);
    HideCaret(wnd);
    UxEndBufferedPaint(buffer, true);
    ShowCaret(wnd);
  }
}

}  // namespace

void PaintClientOpaque(HWND wnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(wnd, &ps);
  if (!dc) return;
  if (BufferedPaintUsable()) {
    PaintOpaqueBuffer(wnd, dc, ps.rcPaint);
  } else {
    SendMessageA(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SendMessageA(wnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  }
  EndPaint(wnd, &ps);
}

void RepaintClientOpaque(HWND wnd) {
  if (!BufferedPaintUsable()) {
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return;
  }
  RECT r;
  GetClientRect(wnd, &r);
  HDC dc = GetDC(wnd);
  if (!dc) return;
  PaintOpaqueBuffer(wnd, dc, r);
  ReleaseDC(wnd, dc);
}

void cxContainerInit() {
  User32 = LoadLibraryA("User32");
  if (User32)
    GetScrollBarInfoEntry = reinterpret_cast<TGetScrollBarInfoProc>(
        reinterpret_cast<void*>(GetProcAddress(User32, "GetScrollBarInfo")));
  cxContainerPopupsInit();
}

void cxContainerDone() {
  cxContainerPopupsDone();
  GetScrollBarInfoEntry = nullptr;
  if (User32) FreeLibrary(User32);
  User32 = nullptr;
}
