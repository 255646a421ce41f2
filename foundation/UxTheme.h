// The visual-styles library bound at run time, so that the program starts and
// draws with its own painters where "UxTheme.dll" is missing or older than
// Windows XP. One entry point per function, and thin wrappers for the calls
// the control library makes. A wrapper may only be called while
// IsThemeLibraryBound() holds (the theme manager's tests guarantee it for
// its callers); the buffered-paint ones only under desktop composition.
#pragma once

#include "platform/Text.h"
#include "platform/Win32.h"

#include <uxtheme.h>

#include <string>

// The functions looked up, in binding order.
enum TdxUxEntry {
  uxeCloseThemeData, uxeDrawThemeBackground, uxeDrawThemeEdge, uxeDrawThemeIcon, uxeDrawThemeParentBackground,
  uxeDrawThemeText, uxeDrawThemeTextEx, uxeEnableThemeDialogTexture, uxeGetCurrentThemeName,
  uxeGetThemeAppProperties, uxeGetThemeBackgroundContentRect, uxeGetThemeBackgroundRegion,
  uxeGetThemeBackgroundExtent, uxeGetThemeBool, uxeGetThemeColor, uxeGetThemeDocumentationProperty,
  uxeGetThemeEnumValue, uxeGetThemeFilename, uxeGetThemeFont, uxeGetThemeInt, uxeGetThemeIntList,
  uxeGetThemeMargins, uxeGetThemeMetric, uxeGetThemePartSize, uxeGetThemePosition, uxeGetThemePropertyOrigin,
  uxeGetThemeRect, uxeGetThemeString, uxeGetThemeSysBool, uxeGetThemeSysColor, uxeGetThemeSysColorBrush,
  uxeGetThemeSysFont, uxeGetThemeSysInt, uxeGetThemeSysSize, uxeGetThemeSysString, uxeGetThemeTextExtent,
  uxeGetThemeTextMetrics, uxeGetWindowTheme, uxeHitTestThemeBackground, uxeIsAppThemed, uxeIsThemeActive,
  uxeIsThemePartDefined, uxeIsThemeBackgroundPartiallyTransparent, uxeIsThemeDialogTextureEnabled,
  uxeOpenThemeData, uxeSetThemeAppProperties, uxeSetWindowTheme, uxeBufferedPaintInit, uxeBufferedPaintUnInit,
  uxeBeginBufferedPaint, uxeEndBufferedPaint, uxeBufferedPaintSetAlpha,
  uxeCount
};

extern const char* const UxThemeEntryNames[uxeCount];
// The bound entry points (null where the library lacks one), indexed by
// TdxUxEntry. Tests may put their own functions here.
extern FARPROC UxThemeEntries[uxeCount];

bool IsThemeLibraryBound();
// The system is Windows 5.1 or later.
bool IsOSAtLeastXP();

HTHEME UxOpenThemeData(HWND wnd, const wchar_t* classList);
HRESULT UxCloseThemeData(HTHEME theme);
HRESULT UxDrawThemeBackground(HTHEME theme, HDC dc, int part, int state, const RECT& r, const RECT* clip);
HRESULT UxDrawThemeBackgroundRect(HTHEME theme, HDC dc, int part, int state, const RECT* r, const RECT* clip);
HRESULT UxDrawThemeText(HTHEME theme, HDC dc, int part, int state, const wchar_t* text, int charCount,
                        DWORD textFlags, DWORD textFlags2, const RECT& r);
// The same with 8-bit text in the system code page.
HRESULT UxDrawThemeTextAnsi(HTHEME theme, HDC dc, int part, int state, const AnsiString& text, DWORD textFlags,
                            DWORD textFlags2, const RECT& r);
HRESULT UxGetThemeBackgroundContentRect(HTHEME theme, HDC dc, int part, int state, const RECT& bounds,
                                        RECT& content);
HRESULT UxGetThemePartSize(HTHEME theme, HDC dc, int part, int state, const RECT* bounds, THEMESIZE kind,
                           SIZE& size);
HRESULT UxGetThemePartSizeNoRect(HTHEME theme, HDC dc, int part, int state, THEMESIZE kind, SIZE& size);
HRESULT UxGetThemeBackgroundRegion(HTHEME theme, HDC dc, int part, int state, const RECT& r, HRGN& region);
HRESULT UxDrawThemeEdge(HTHEME theme, HDC dc, int part, int state, const RECT& r, UINT edge, UINT flags,
                        RECT* content);
bool UxIsThemeBackgroundPartiallyTransparent(HTHEME theme, int part, int state);
// Puts the DC's font back afterwards: some themes' parents select their own.
HRESULT UxDrawThemeParentBackground(HWND wnd, HDC dc, const RECT* r);
// A failure leaves `color` as it was.
HRESULT UxGetThemeColor(HTHEME theme, int part, int state, int property, COLORREF& color);
// False also when the entry point is not bound.
bool UxIsThemeActive();
HRESULT UxGetCurrentThemeName(wchar_t* fileName, int fileNameLength, wchar_t* colorName, int colorNameLength,
                              wchar_t* sizeName, int sizeNameLength);
HPAINTBUFFER UxBeginBufferedPaint(HDC target, const RECT& r, BP_BUFFERFORMAT format, BP_PAINTPARAMS* params,
                                  HDC& bufferDC);
HRESULT UxEndBufferedPaint(HPAINTBUFFER buffer, bool updateTarget);
HRESULT UxBufferedPaintSetAlpha(HPAINTBUFFER buffer, const RECT* r, BYTE alpha);

void dxUxThemeInit();
void dxUxThemeDone();
