#include "foundation/UxTheme.h"

#include "platform/CodePage.h"
#include "platform/Graphics.h"

#include <commctrl.h>

#include <algorithm>

const char* const UxThemeEntryNames[uxeCount] = {
    "CloseThemeData", "DrawThemeBackground", "DrawThemeEdge", "DrawThemeIcon", "DrawThemeParentBackground",
    "DrawThemeText", "DrawThemeTextEx", "EnableThemeDialogTexture", "GetCurrentThemeName",
    "GetThemeAppProperties", "GetThemeBackgroundContentRect", "GetThemeBackgroundRegion",
    "GetThemeBackgroundExtent", "GetThemeBool", "GetThemeColor", "GetThemeDocumentationProperty",
    "GetThemeEnumValue", "GetThemeFilename", "GetThemeFont", "GetThemeInt", "GetThemeIntList",
    "GetThemeMargins", "GetThemeMetric", "GetThemePartSize", "GetThemePosition", "GetThemePropertyOrigin",
    "GetThemeRect", "GetThemeString", "GetThemeSysBool", "GetThemeSysColor", "GetThemeSysColorBrush",
    "GetThemeSysFont", "GetThemeSysInt", "GetThemeSysSize", "GetThemeSysString", "GetThemeTextExtent",
    "GetThemeTextMetrics", "GetWindowTheme", "HitTestThemeBackground", "IsAppThemed", "IsThemeActive",
    "IsThemePartDefined", "IsThemeBackgroundPartiallyTransparent", "IsThemeDialogTextureEnabled",
    "OpenThemeData", "SetThemeAppProperties", "SetWindowTheme", "BufferedPaintInit", "BufferedPaintUnInit",
    "BeginBufferedPaint", "EndBufferedPaint", "BufferedPaintSetAlpha"};

FARPROC UxThemeEntries[uxeCount] = {};

namespace {
HMODULE ThemeLibrary = nullptr;
bool OSAtLeastXP = false;

template <class F>
F Ux(TdxUxEntry entry) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(UxThemeEntries[entry]));
}
}  // namespace

bool IsThemeLibraryBound() { return ThemeLibrary != nullptr; }
bool IsOSAtLeastXP() { return OSAtLeastXP; }

HTHEME UxOpenThemeData(HWND wnd, const wchar_t* classList) {
  return Ux<HTHEME(WINAPI*)(HWND, LPCWSTR)>(uxeOpenThemeData)(wnd, classList);
}

HRESULT UxCloseThemeData(HTHEME theme) { return Ux<HRESULT(WINAPI*)(HTHEME)>(uxeCloseThemeData)(theme); }

HRESULT UxDrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT& r, const RECT* clip) {
  return UxDrawThemeBackgroundRect(theme, dc, part, state, &r, clip);
}

HRESULT UxDrawThemeBackgroundRect(HTHEME theme, HDC dc, int part, int state, const RECT* r, const RECT* clip) {
  return Ux<HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, const RECT*)>(uxeDrawThemeBackground)(
      theme, dc, part, state, r, clip);
}

HRESULT UxDrawThemeText(HTHEME theme, HDC dc, int part, int state, const wchar_t* text, int charCount,
                        DWORD textFlags, DWORD textFlags2, const RECT& r) {
  return Ux<HRESULT(WINAPI*)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*)>(uxeDrawThemeText)(
      theme, dc, part, state, text, charCount, textFlags, textFlags2, &r);
}

HRESULT UxDrawThemeTextAnsi(HTHEME theme, HDC dc, int part, int state, const AnsiString& text, DWORD textFlags,
                            DWORD textFlags2, const RECT& r) {
  const std::wstring wide = AnsiToUtf16(text);
  return UxDrawThemeText(theme, dc, part, state, wide.c_str(), static_cast<int>(wide.size()), textFlags, textFlags2,
                         r);
}

HRESULT UxGetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT& bounds,
                                        RECT& content) {
  return Ux<HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, RECT*)>(uxeGetThemeBackgroundContentRect)(
      theme, dc, part, state, &bounds, &content);
}

HRESULT UxGetThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT* bounds, THEMESIZE kind,
                           SIZE& size) {
  return Ux<HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, THEMESIZE, SIZE*)>(uxeGetThemePartSize)(
      theme, dc, part, state, bounds, kind, &size);
}

HRESULT UxGetThemePartSizeNoRect(HTHEME theme, HDC dc, int part, int state, THEMESIZE kind, SIZE& size) {
  return UxGetThemePartSize(theme, dc, part, state, nullptr, kind, size);
}

HRESULT UxGetThemeBackgroundRegion(HTHEME theme, HDC dc, int part, int state, const RECT& r, HRGN& region) {
  return Ux<HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, HRGN*)>(uxeGetThemeBackgroundRegion)(
      theme, dc, part, state, &r, &region);
}

HRESULT UxDrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT& r, UINT edge, UINT flags,
                        RECT* content) {
  return Ux<HRESULT(WINAPI*)(HTHEME, HDC, int, int, const RECT*, UINT, UINT, RECT*)>(uxeDrawThemeEdge)(
      theme, dc, part, state, &r, edge, flags, content);
}

bool UxIsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state) {
  return Ux<BOOL(WINAPI*)(HTHEME, int, int)>(uxeIsThemeBackgroundPartiallyTransparent)(theme, part, state) != FALSE;
}

HRESULT UxDrawThemeParentBackground(HWND wnd, HDC dc, const RECT* r) {
  const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
  const HRESULT result = Ux<HRESULT(WINAPI*)(HWND, HDC, const RECT*)>(uxeDrawThemeParentBackground)(wnd, dc, r);
  SelectObject(dc, font);
  return result;
}

HRESULT UxGetThemeColor(HTHEME theme, int part, int state, int property, COLORREF& color) {
  COLORREF value = color;
  const HRESULT result =
      Ux<HRESULT(WINAPI*)(HTHEME, int, int, int, COLORREF*)>(uxeGetThemeColor)(theme, part, state, property, &value);
  if (SUCCEEDED(result)) color = value;
  return result;
}

bool UxIsThemeActive() {
  if (!UxThemeEntries[uxeIsThemeActive]) return false;
  return Ux<BOOL(WINAPI*)()>(uxeIsThemeActive)() != FALSE;
}

HRESULT UxGetCurrentThemeName(wchar_t* fileName, int fileNameLength, wchar_t* colorName, int colorNameLength,
                              wchar_t* sizeName, int sizeNameLength) {
  return Ux<HRESULT(WINAPI*)(LPWSTR, int, LPWSTR, int, LPWSTR, int)>(uxeGetCurrentThemeName)(
      fileName, fileNameLength, colorName, colorNameLength, sizeName, sizeNameLength);
}

HPAINTBUFFER UxBeginBufferedPaint(HDC target, const RECT& r, BP_BUFFERFORMAT format, BP_PAINTPARAMS* params,
                                  HDC& bufferDC) {
  return Ux<HPAINTBUFFER(WINAPI*)(HDC, const RECT*, BP_BUFFERFORMAT, BP_PAINTPARAMS*, HDC*)>(uxeBeginBufferedPaint)(
      target, &r, format, params, &bufferDC);
}

HRESULT UxEndBufferedPaint(HPAINTBUFFER buffer, bool updateTarget) {
  return Ux<HRESULT(WINAPI*)(HPAINTBUFFER, BOOL)>(uxeEndBufferedPaint)(buffer, updateTarget ? TRUE : FALSE);
}

HRESULT UxBufferedPaintSetAlpha(HPAINTBUFFER buffer, const RECT* r, BYTE alpha) {
  return Ux<HRESULT(WINAPI*)(HPAINTBUFFER, const RECT*, BYTE)>(uxeBufferedPaintSetAlpha)(buffer, r, alpha);
}

void dxUxThemeInit() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExA(&version);
  OSAtLeastXP = version.dwMajorVersion > 5 || (version.dwMajorVersion == 5 && version.dwMinorVersion >= 1);
  InitCommonControls();
  if (!OSAtLeastXP) return;
  ThemeLibrary = LoadLibraryA("UxTheme.dll");
  if (!ThemeLibrary) return;
  for (int i = 0; i < uxeCount; ++i) UxThemeEntries[i] = GetProcAddress(ThemeLibrary, UxThemeEntryNames[i]);
}

void dxUxThemeDone() {
  std::fill(std::begin(UxThemeEntries), std::end(UxThemeEntries), nullptr);
  if (ThemeLibrary) FreeLibrary(ThemeLibrary);
  ThemeLibrary = nullptr;
}
