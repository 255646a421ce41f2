// The framework's free routines: lookups from windows and components to the
// manager, form and bar window that serve them; window and application state;
// keyboard and caption helpers; small GDI wrappers; the drawing helpers the
// painters and controls share (drop-down arrows, double frames, dotted focus
// frames, tiled backgrounds, glyphs by state, the transparent size grip,
// themed drop-down corners); system fonts; message pumping; the message box.
#pragma once

#include "foundation/ContainerServices.h"
#include "foundation/UxTheme.h"
#include "platform/Bitmap.h"
#include "platform/Component.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/Menus.h"
#include "platform/Properties.h"
#include "platform/Win32.h"

#include <vector>

class TcxCanvas;
class TcxObjectLink;
class TControl;
class TCustomForm;
class TCustomImageList;
class TCustomdxBarControl;
class TdxBarItemControl;
class TdxBarManager;
class TFont;
class TWinControl;

// --- Unit state -----------------------------------------------------------

// Allows the dimmed glyph look.
extern bool FadedGlyphLooksEnabled;
// Set from every WM_ACTIVATEAPP the call-window hook sees.
extern bool ActiveAppFlag;
// Set when a window of ours is deactivated for another process's window;
// cleared on WM_ACTIVATEAPP.
extern bool DeactivatedToOtherApp;
// SetWindowPos flags for not activating (0) and activating (1).
extern const UINT ActivateFlagTable[2];
// The glyph look of DrawBitmapGlyph by its flag.
extern const uint8_t BitmapGlyphModeTable[2];
// May map a form without parent to the component whose manager serves it.
using TParentlessFormHook = TComponent* (*)(TCustomForm* form);
extern TParentlessFormHook ParentlessFormHook;
// The bar control holding the keyboard or menu focus.
extern TCustomdxBarControl* FocusedBarControlRef;

// --- Component, form and window lookups ---------------------------------------

TdxBarManager* ManagerOfComponent(TComponent* component);
TdxBarManager* ManagerOfWindow(HWND wnd);
TWinControl* WinControlOwnerOf(TComponent* component);
TdxBarManager* ManagerForComponent(TComponent* component);
TWinControl* ControlOwningChildWindow(HWND wnd);
TWinControl* ControlOfWindowOrParent(HWND wnd);
// kind 0: no form satisfies, 1: a run-time MDI child, 2: any form.
TCustomForm* FindHostForm(TWinControl* control, int kind);
TCustomForm* HostFormOfComponent(TComponent* component);
TCustomForm* HostFormOfManager(TdxBarManager* manager, int kind);
bool IsManagerHostWindow(TdxBarManager* manager, HWND wnd);
TWinControl* WinControlOf(TControl* control);
bool IsWithinControl(TWinControl* container, TControl* control);
bool IsWithinManagerHost(TdxBarManager* manager, TControl* control);
TCustomForm* ActiveBarForm();
TCustomdxBarControl* FocusedBarControl();
TdxBarManager* FocusedBarManager();
bool IsFocusedBarEnabled();

// --- Window and application state ---------------------------------------------

bool IsActiveWindow(HWND wnd);
TFormStyle FormStyleOf(TCustomForm* form);
bool IsRunTimeMdiChild(TCustomForm* form);
bool IsRunTimeMdiParent(TCustomForm* form);
bool IsActiveMdiChild(TCustomForm* form);
bool HasActiveTopLevelParent(TCustomForm* form);
bool IsFormActiveForBars(TCustomForm* form);
bool IsLoadingAsAncestor(TComponent* component);
bool HasFocusWithin(HWND wnd);
bool IsWindowChainEnabled(HWND wnd);
void CancelModeOfActiveForm();
void ActivateTopLevelParent(HWND wnd);
bool WindowOwnedBy(HWND wnd, HWND owner);
bool IsForeignWindow(HWND wnd);
HWND DeepestWindowAtPoint(POINT screenPoint);
RECT WorkAreaAtPoint(POINT p);
bool IsMouseButtonDown(int button, int swappedButton);
bool IsLeftButtonDown();
bool IsRightButtonDown();
bool AppHasActiveWindow();
bool IsMouseDownMsg(UINT msg);

// --- Keys, captions and type names ---------------------------------------------

// The shortcut of a key message: key code plus 0x2000 Shift, 0x4000 Ctrl and
// 0x8000 for the Alt context bit of the flags; 0 for key 0.
TShortCut KeyToShortCut(BYTE key, LPARAM keyFlags);
bool IsCharacterKey(UINT vk);
void DiscardPendingChars(HWND wnd);
// The 1-based position of the last accelerator character, 0 for none (a
// final "&" is none; "&&" is a literal "&"). With `remove` every single "&"
// is removed, "&&" becomes "&", and the position is in the stripped text.
int FindAccelPosition(AnsiString& caption, bool remove);
AnsiString StripAccelerators(const AnsiString& caption);
// " (Ctrl+S)", or empty without a shortcut.
AnsiString ShortCutHintSuffix(TShortCut shortCut);
std::vector<AnsiString> EnumNamesArray(const TEnumInfo& info);
inline std::vector<AnsiString> SetNamesArray(const TEnumInfo& elementInfo) { return EnumNamesArray(elementInfo); }
inline int CheckedToStateCode(bool checked) { return checked ? 2 : 0; }
// The highest member of a set of view levels (bits 0..3), 255 when empty.
int HighestViewLevel(unsigned levels);
int ScaleToScreenDpi(int value, int baseDpi);
inline void EnsureMinWidth(int& width, int minimum) {
  if (width < minimum) width = minimum;
}

// --- GDI wrappers ----------------------------------------------------------------

void FreeGdiObject(HGDIOBJ& handle);
template <class H>
void FreeGdiObject(H& handle) {
  HGDIOBJ h = handle;
  FreeGdiObject(h);
  handle = nullptr;
}
void SelectBackAndDelete(HDC dc, HGDIOBJ previous);
void ClearWindowHandle(HWND& wnd, bool destroy);
bool StopWindowTimer(HWND wnd, UINT_PTR& timerId);
void PlaceWindowInZOrder(HWND wnd, HWND insertAfter, bool activate, UINT extraFlags);
void SetWindowAlpha(HWND wnd, BYTE alpha);
void KeepClipRegion(HDC dc, HRGN& region, bool& existed);
void PutBackClipRegion(HDC dc, HRGN region, bool existed);
void ExtendClipRegion(HDC dc, const RECT& r);
void ClipOutFrameBand(TcxCanvas* canvas, const RECT& frame, const RECT& content);
TBitmap* NewBitmapWithChangeHandler(const TNotifyEvent& handler);
void ReleaseObjectLink(TcxObjectLink*& link);
template <class T>
void FreeAndClear(T*& object) {
  T* o = object;
  object = nullptr;
  Free(o);
}
void DrawFilledPolygon(HDC dc, const POINT* points, int lastIndex, TColor penColor, TColor brushColor);

// --- Drawing helpers ----------------------------------------------------------------

// The drop-down arrow: a triangle pointing down (horizontal) or right, 2S-1
// by S; clDefault takes the state's colour; disabled and not flat adds an
// embossed edge.
void DrawArrowGlyph(HDC dc, const RECT& r, bool horizontal, int size, bool selected, bool enabled, bool flat,
                    TColor color);
// The arrow size DrawArrowAutoSized takes from a rectangle.
int AutoArrowSize(const RECT& r, bool horizontal);
void DrawArrowAutoSized(HDC dc, const RECT& r, bool horizontal, bool enabled, bool selected, bool flat,
                        TColor color);
void DrawArrowForOrientation(HDC dc, const RECT& r, int orientation, bool enabled, bool selected, bool flat,
                             TColor color);
void DrawSizedArrowForOrientation(HDC dc, const RECT& r, int orientation, int size, bool selected, bool enabled,
                                  bool flat, TColor color);
void FrameWithHighlight(HDC dc, const RECT& r);
void DrawDoubleFrame(HDC dc, const RECT& r, int sysColorIndex);
// A two-pixel dotted frame in COLOR_BTNTEXT on the pixels whose x + y is
// even, so the two nested frames interlock.
void DrawDoubleFocusRect(HDC dc, const RECT& r);
void FillRectBrushOrBitmap(HDC dc, const RECT& r, const RECT& tiling, HBRUSH brush, TColor color, TBitmap* bitmap);
// Shows in `dest` the part of an endless tiling of the bitmap that lies under
// `tiling`; neighbours passing consecutive tiling rectangles join.
void TileBitmap(HDC dc, const RECT& dest, const RECT& tiling, TBitmap* bitmap);
void FadeDCArea(HDC dc, const RECT& area);
void DrawBitmapGlyph(HDC dc, const RECT& r, TBitmap* bitmap, bool flag);

// What the painter passes for a glyph's state.
struct TdxBarGlyphState {
  bool Usable = true;  // enabled, or a disabled image list supplies the image
  bool Faded = false;  // the manager makes disabled images faded
  bool Look3 = false;
  bool DimsIdle = false;  // the painter dims idle glyphs
  bool Selected = false;
  bool Down = false;
  bool ShadowsHot = false;  // the painter shadows hot glyphs
  bool Pressed = false;
  bool LeftBottomTransparent = true;
  bool Smooth = false;
};
// The look (0..5) a glyph in this state is drawn in.
int GlyphDrawMode(const TdxBarGlyphState& state);
void DrawItemGlyph(TdxBarItemControl* control, HDC dc, HBRUSH background, const TdxBarGlyphState& state,
                   TColor backgroundColor, int imageIndex, TCustomImageList* images, TBitmap* bitmap,
                   const RECT& dest, const RECT& glyphRect);
void DrawGlyphNoCache(HDC dc, HBRUSH background, const TdxBarGlyphState& state, TColor backgroundColor,
                      int imageIndex, TCustomImageList* images, TBitmap* bitmap, const RECT& dest,
                      const RECT& glyphRect);
// The size grip's lines over the unchanged background.
void DrawTransparentSizeGrip(HDC dc, const RECT& r);
SIZE ThemedSmallCloseButtonSize();
// Corner codes: 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right (the
// grip's corner); the close button sits in the opposite one.
void DrawThemedDropDownCloseButton(HDC dc, RECT& r, bool hot, int corner, bool pressed);
SIZE ThemedSizeGripSize();
void DrawThemedSizeGrip(HDC dc, RECT& r, int corner);
COLORREF ThemedEditFillColor(HTHEME theme, int state);
COLORREF ThemedEditTextColor(HTHEME theme, int state);
COLORREF ThemedWindowFillColor();

// --- Fonts -------------------------------------------------------------------------

// Reads the non-client metrics as a 340-byte record (the size every system
// takes); false when the system refuses.
bool ReadNonClientMetrics(NONCLIENTMETRICSA& metrics);
HFONT CreateSmallCaptionFont(TFont* font, bool keep);
void MakeBarFont(TFont* source, TFont* dest, bool iconTitle);
HFONT CopyFontHandle(HFONT font);

// --- Messages and dialogs -------------------------------------------------------------

void DispatchPendingMouseMessages();
void DispatchPendingPaints();
int ShowMessageBox(const AnsiString& text, UINT flags);
