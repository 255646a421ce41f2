// Services of the container unit that containers, editors and the toolbar
// framework call: the border styles and their widths, window regions with
// the drop shadow, painting the frame band and the shadow, invalidating a
// frame, theme availability, the run-time binding of GetScrollBarInfo and
// a few window helpers.
#pragma once

#include "foundation/Canvas.h"
#include "foundation/ThemeManager.h"
#include "platform/Control.h"

#include <vector>

// The frames a container draws, with the width each takes (BorderWidthOfStyle).
enum TcxContainerBorderStyle : uint8_t { cbsNone, cbsSingle, cbsThick, cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11 };

// The width in pixels of a border style: 0, 1, 2, 2, 2, 1, 1; the style is
// taken modulo 128 and anything outside the table is 0.
int BorderWidthOfStyle(int borderStyle);

// The colour of the 3-pixel drop shadow.
constexpr TColor cxContainerShadowColor = clBtnShadow;
constexpr int cxContainerShadowWidth = 3;

// The region of `r` (joined with a copy 3 pixels right and down when
// `shadow`), less `excluded` when it is not empty; null when `noRegion`.
// The caller owns the region.
TcxRegion* BuildWindowRegion(const RECT& r, bool noRegion, const RECT& excluded, bool shadow);
// Sets that region as the window's (redrawing) only when it differs from
// the window's current one; null removes a region the window has. Answers
// whether the window's region was set.
bool UpdateWindowRegion(HWND wnd, const RECT& r, bool noRegion, const RECT& excluded, bool shadow);
// The system's SetWindowRgn, which UpdateWindowRegion calls; tests count
// the calls through their own.
using TSetWindowRgnProc = int(WINAPI*)(HWND, HRGN, BOOL);
extern TSetWindowRgnProc cxSetWindowRgn;
// The control's window region becomes `r`, or none when `whole`.
void SetChildClipRegion(TWinControl* control, bool whole, const RECT& r);

// The shadow strips below and right of `r` (offset by 3), each excluded
// from the clip area once filled.
void DrawBoxShadow(TcxCanvas* canvas, const RECT& r);
// Fills the band of `outer` around `inner` (all of `outer` when `inner` is
// empty; nothing when `outer` is empty or equal to `inner`).
void FillBandBetween(TcxCanvas* canvas, const RECT& outer, const RECT& inner, TColor color);
// Invalidates the same band of a window.
void InvalidateFrameArea(HWND wnd, const RECT& outer, const RECT& inner, bool erase);

// The theme colour properties a container reads (border and fill colour).
constexpr int cxThemeBorderColorProperty = 3801;
constexpr int cxThemeFillColorProperty = 3802;

// Theming asked for and a theme of `kind` opens.
bool ThemeAvailableFor(bool nativeWanted, TdxThemedObjectType kind);

// GetScrollBarInfo, bound from "User32" at unit start.
bool ScrollBarInfoAvailable();
bool QueryScrollBarInfo(HWND wnd, LONG objectId, SCROLLBARINFO& info);

POINT ReadCursorPos();
// Shift, Alt, Ctrl and the mouse buttons from the keyboard state.
TShiftState CurrentShiftState();
inline RECT ControlBoundsAtOrigin(TControl* control) { return RECT{0, 0, control->Width(), control->Height()}; }

// The first window up the parent chain (the window itself first) without
// WS_CHILD; null when none.
HWND NearestTopLevelAncestor(HWND wnd);
// The control's window exists and is visible.
bool IsControlWindowVisible(TWinControl* control);
// When the window is enabled: lists it and disables it.
void DisableAndRememberWindow(std::vector<HWND>& list, HWND wnd);
// Enables every listed window that still exists (null: nothing).
void ReenableWindows(const std::vector<HWND>* list);
// Removes queued messages of the window in [first, last] (one, or all);
// a WM_QUIT taken out is posted again and ends the removal. True when any
// other message was removed.
bool DiscardPendingMessages(HWND wnd, UINT first, UINT last, bool all);
// Equal by the locale's case-sensitive comparison, or, without it, both
// upper-cased by the locale and compared character by character.
bool StringsEqual(const AnsiString& a, const AnsiString& b, bool caseSensitive);
inline void CopyFont(TFont* destination, TFont* source) { destination->Assign(source); }
// A unit flag that stays false.
inline bool GetUnitFlag() { return false; }

// WM_PAINT handling through an opaque buffered paint of the update
// rectangle, for controls painted on glass: the window erases and prints
// its client area into a top-down DIB buffer whose alpha is then set to
// 255. RepaintClientOpaque does the same for the whole client area on a
// window device context. Without buffered painting they paint plainly.
void PaintClientOpaque(HWND wnd);
void RepaintClientOpaque(HWND wnd);

// The container unit's start and end.
void cxContainerInit();
void cxContainerDone();
