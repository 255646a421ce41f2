#include "bars/model/BarRoutines.h"

#include "bars/model/BarGlobals.h"
#include "bars/model/BarManager.h"
#include "bars/views/BarControl.h"
#include "foundation/Canvas.h"
#include "foundation/Classes.h"
#include "foundation/Controls.h"
#include "foundation/Graphics.h"
#include "foundation/Office11.h"
#include "foundation/PopupWindow.h"
#include "foundation/ThemeManager.h"
#include "foundation/UxTheme.h"
#include "platform/Colors.h"
#include "platform/ImageList.h"
#include "platform/Screen.h"
#include "platform/ShortCuts.h"

#include <cmath>
#include <cstring>

bool FadedGlyphLooksEnabled = true;
bool ActiveAppFlag = true;
bool DeactivatedToOtherApp = false;
const UINT ActivateFlagTable[2] = {SWP_NOACTIVATE, 0};
const uint8_t BitmapGlyphModeTable[2] = {1, 0};
TParentlessFormHook ParentlessFormHook = nullptr;
TCustomdxBarControl* FocusedBarControlRef = nullptr;

namespace {

// The 340-byte record the framework reads the caption fonts with: the
// system's without the padded-border width newer headers add.
constexpr UINT NonClientMetricsSize = 340;
static_assert(offsetof(NONCLIENTMETRICSA, iPaddedBorderWidth) == NonClientMetricsSize);

// Raises a font's height to at least 11 pixels.
void RaiseToMinimumHeight(LOGFONTA& font) {
  if (font.lfHeight > -11) font.lfHeight = -11;
}

}  // namespace

// --- Component, form and window lookups ------------------------------------------

TdxBarManager* ManagerOfComponent(TComponent* component) {
  if (auto* manager = dynamic_cast<TdxBarManager*>(component)) return manager;
  auto* form = dynamic_cast<TCustomForm*>(component);
  if (form && !form->Parent() && ParentlessFormHook) component = ParentlessFormHook(form);
  TdxBarManagerList* list = BarManagerList();
  if (!list || !component) return nullptr;
  for (int i = 0; i < list->Count(); ++i)
    if (list->ManagerAt(i)->Owner() == component) return list->ManagerAt(i);
  return nullptr;
}

TdxBarManager* ManagerOfWindow(HWND wnd) { return ManagerOfComponent(TWinControl::FindControl(wnd)); }

TWinControl* WinControlOwnerOf(TComponent* component) {
  for (TComponent* c = component; c; c = c->Owner())
    if (auto* control = dynamic_cast<TWinControl*>(c)) return control;
  return nullptr;
}

TdxBarManager* ManagerForComponent(TComponent* component) {
  TWinControl* control = WinControlOwnerOf(component);
  if (!control || !control->HandleAllocated()) return nullptr;
  while (control) {
    if (TdxBarManager* manager = ManagerOfComponent(control)) return manager;
    control = ControlOwningChildWindow(control->Handle());
  }
  return nullptr;
}

TWinControl* ControlOwningChildWindow(HWND wnd) {
  TWinControl* control = nullptr;
  while (!control && wnd && HasChildStyle(wnd)) {
    wnd = GetParent(wnd);
    control = TWinControl::FindControl(wnd);
  }
  return control;
}

TWinControl* ControlOfWindowOrParent(HWND wnd) {
  for (; wnd; wnd = GetParent(wnd))
    if (TWinControl* control = TWinControl::FindControl(wnd)) return control;
  return nullptr;
}

TCustomForm* FindHostForm(TWinControl* control, int kind) {
  if (!control || !CanHaveHandle(control)) return nullptr;
  TCustomForm* candidate = nullptr;
  for (HWND wnd = control->Handle(); wnd; wnd = GetParent(wnd)) {
    if (auto* form = dynamic_cast<TCustomForm*>(TWinControl::FindControl(wnd))) {
      candidate = form;
      if (kind == 2 || (kind == 1 && IsRunTimeMdiChild(form))) break;
    }
    if (!HasChildStyle(wnd)) break;
  }
  return candidate;
}

TCustomForm* HostFormOfComponent(TComponent* component) {
  TWinControl* control = WinControlOwnerOf(component);
  return control ? FindHostForm(control, 2) : nullptr;
}

TCustomForm* HostFormOfManager(TdxBarManager* manager, int kind) {
  return manager ? FindHostForm(manager->OwnerControl(), kind) : nullptr;
}

bool IsManagerHostWindow(TdxBarManager* manager, HWND wnd) {
  TWinControl* owner = manager ? manager->OwnerControl() : nullptr;
  if (!owner || !owner->HandleAllocated()) return false;
  // The window is the owner's or one the owner is a child of.
  for (HWND w = owner->Handle(); w; w = HasChildStyle(w) ? GetParent(w) : nullptr)
    if (w == wnd) return true;
  return false;
}

TWinControl* WinControlOf(TControl* control) {
  if (!control) return nullptr;
  if (auto* windowed = dynamic_cast<TWinControl*>(control)) return windowed;
  return control->Parent();
}

bool IsWithinControl(TWinControl* container, TControl* control) {
  TWinControl* windowed = WinControlOf(control);
  if (!container || !windowed) return false;
  if (container->HandleAllocated() && windowed->HandleAllocated())
    return IsSameOrChildWindow(container->Handle(), windowed->Handle());
  for (TWinControl* c = windowed; c; c = c->Parent())
    if (c == container) return true;
  return false;
}

bool IsWithinManagerHost(TdxBarManager* manager, TControl* control) {
  return manager && IsWithinControl(manager->OwnerControl(), control);
}

TCustomForm* ActiveBarForm() {
  HWND active = GetActiveWindow();
  auto* form = dynamic_cast<TCustomForm*>(TWinControl::FindControl(active));
  if (!form || !IsWindowChainEnabled(active)) return nullptr;
  if (IsRunTimeMdiParent(form))
    if (TCustomForm* child = form->ActiveMDIChild()) return child;
  return form;
}

TCustomdxBarControl* FocusedBarControl() { return FocusedBarControlRef; }

TdxBarManager* FocusedBarManager() {
  return FocusedBarControlRef ? FocusedBarControlRef->OwnerBarManager() : nullptr;
}

bool IsFocusedBarEnabled() {
  TCustomdxBarControl* control = FocusedBarControlRef;
  return control && control->HandleAllocated() && IsWindowChainEnabled(control->Handle());
}

// --- Window and application state ------------------------------------------------

bool IsActiveWindow(HWND wnd) { return wnd && GetActiveWindow() == wnd; }

TFormStyle FormStyleOf(TCustomForm* form) { return form->FormStyle(); }

bool IsRunTimeMdiChild(TCustomForm* form) {
  return form && !form->ComponentState().Contains(csDesigning) && FormStyleOf(form) == fsMDIChild;
}

bool IsRunTimeMdiParent(TCustomForm* form) {
  return form && !form->ComponentState().Contains(csDesigning) && FormStyleOf(form) == fsMDIForm;
}

bool IsActiveMdiChild(TCustomForm* form) {
  if (!IsRunTimeMdiChild(form) || !Application) return false;
  TCustomForm* main = Application->MainForm();
  return main && main->ActiveMDIChild() == form && main->HandleAllocated() && IsActiveWindow(main->Handle());
}

bool HasActiveTopLevelParent(TCustomForm* form) {
  if (!form || IsRunTimeMdiChild(form) || !form->HandleAllocated()) return false;
  return IsActiveWindow(NearestTopLevelAncestor(form->Handle()));
}

bool IsFormActiveForBars(TCustomForm* form) {
  if (!form) return false;
  return (form->HandleAllocated() && IsActiveWindow(form->Handle())) || IsActiveMdiChild(form) ||
         HasActiveTopLevelParent(form);
}

bool IsLoadingAsAncestor(TComponent* component) {
  const TComponentState state = component->ComponentState();
  return state.Contains(csLoading) && state.Contains(csAncestor) && !state.Contains(csReading);
}

bool HasFocusWithin(HWND wnd) {
  for (; wnd; wnd = GetParent(wnd)) {
    if (GetFocus() == wnd) return true;
    if (!HasChildStyle(wnd)) return false;
  }
  return false;
}

bool IsWindowChainEnabled(HWND wnd) {
  for (; wnd; wnd = GetParent(wnd)) {
    if (!IsWindowEnabled(wnd)) return false;
    if (!HasChildStyle(wnd)) return true;
  }
  return false;
}

void CancelModeOfActiveForm() {
  auto* form = dynamic_cast<TCustomForm*>(TWinControl::FindControl(GetActiveWindow()));
  if (!form) return;
  // The form's cancel mode: the active control and the capture leave any
  // mode they are in.
  if (TWinControl* active = form->ActiveControl())
    if (active->HandleAllocated()) SendMessageA(active->Handle(), WM_CANCELMODE, 0, 0);
  if (HWND capture = GetCapture()) SendMessageA(capture, WM_CANCELMODE, 0, 0);
}

void ActivateTopLevelParent(HWND wnd) { SetActiveWindow(NearestTopLevelAncestor(wnd)); }

bool WindowOwnedBy(HWND wnd, HWND owner) { return IsAncestorWindow(owner, wnd); }

bool IsForeignWindow(HWND wnd) {
  if (!wnd) return true;
  DWORD process = 0;
  GetWindowThreadProcessId(wnd, &process);
  return process != GetCurrentProcessId();
}

HWND DeepestWindowAtPoint(POINT screenPoint) {
  HWND wnd = WindowFromPoint(screenPoint);
  while (wnd) {
    POINT p = screenPoint;
    ScreenToClient(wnd, &p);
    HWND child = ChildWindowFromPointEx(wnd, p, CWP_SKIPINVISIBLE);
    if (!child || child == wnd) break;
    wnd = child;
  }
  return wnd;
}

RECT WorkAreaAtPoint(POINT p) { return GetPointWorkArea(p); }

bool IsMouseButtonDown(int button, int swappedButton) {
  const int key = GetSystemMetrics(SM_SWAPBUTTON) ? swappedButton : button;
  return (GetAsyncKeyState(key) & 0x8000) != 0;
}

bool IsLeftButtonDown() { return IsMouseButtonDown(VK_LBUTTON, VK_RBUTTON); }
bool IsRightButtonDown() { return IsMouseButtonDown(VK_RBUTTON, VK_LBUTTON); }

bool AppHasActiveWindow() { return ActiveAppFlag && !DeactivatedToOtherApp && GetActiveWindow(); }

bool IsMouseDownMsg(UINT msg) {
  switch (msg) {
    case WM_NCLBUTTONDOWN: case WM_NCLBUTTONDBLCLK: case WM_NCRBUTTONDOWN: case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN: case WM_NCMBUTTONDBLCLK: case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN: case WM_RBUTTONDBLCLK: case WM_MBUTTONDOWN: case WM_MBUTTONDBLCLK:
      return true;
    default:
      return false;
  }
}

// --- Keys, captions and type names --------------------------------------------------

TShortCut KeyToShortCut(BYTE key, LPARAM keyFlags) {
  if (key == 0) return 0;
  unsigned result = key;
  if (GetKeyState(VK_SHIFT) < 0) result += 0x2000;
  if (GetKeyState(VK_CONTROL) < 0) result += 0x4000;
  if (keyFlags & 0x20000000) result += 0x8000;
  return static_cast<TShortCut>(result & 0xFFFF);
}

bool IsCharacterKey(UINT vk) {
  const UINT mapped = MapVirtualKeyA(vk, 2);
  if (mapped >= 0x10000) return false;
  const UINT ch = mapped & 0xFF;
  return ch != ' ' && ch >= 32;
}

void DiscardPendingChars(HWND wnd) { DiscardPendingMessages(wnd, WM_CHAR, WM_CHAR, true); }

int FindAccelPosition(AnsiString& caption, bool remove) {
  int result = 0;
  // Positions are 1-based; the last character is never a prefix.
  int i = 1;
  while (i < static_cast<int>(caption.size())) {
    if (caption[static_cast<size_t>(i - 1)] == '&') {
      if (remove)
        caption.erase(static_cast<size_t>(i - 1), 1);
      else
        ++i;
      if (caption[static_cast<size_t>(i - 1)] != '&') result = i;
    }
    ++i;
  }
  return result;
}

AnsiString StripAccelerators(const AnsiString& caption) { return StripAccelChars(caption, false); }

AnsiString ShortCutHintSuffix(TShortCut shortCut) {
  const AnsiString text = ShortCutToText(shortCut);
  return text.empty() ? AnsiString() : " (" + text + ")";
}

std::vector<AnsiString> EnumNamesArray(const TEnumInfo& info) {
  return std::vector<AnsiString>(info.Names.begin(), info.Names.end());
}

int HighestViewLevel(unsigned levels) {
  for (int level = 3; level >= 0; --level)
    if (levels & (1u << level)) return level;
  return 255;
}

int ScaleToScreenDpi(int value, int baseDpi) {
  // nearbyint rounds halves to even in the default rounding mode.
  return static_cast<int>(std::nearbyint(static_cast<double>(value) * Screen->PixelsPerInch() / baseDpi));
}

// --- GDI wrappers -------------------------------------------------------------------

void FreeGdiObject(HGDIOBJ& handle) {
  if (handle) DeleteObject(handle);
  handle = nullptr;
}

void SelectBackAndDelete(HDC dc, HGDIOBJ previous) { DeleteObject(SelectObject(dc, previous)); }

void ClearWindowHandle(HWND& wnd, bool destroy) {
  if (!wnd) return;
  if (destroy) DestroyWindow(wnd);
  wnd = nullptr;
}

bool StopWindowTimer(HWND wnd, UINT_PTR& timerId) {
  if (timerId && KillTimer(wnd, timerId)) {
    timerId = 0;
    return true;
  }
  return false;
}

void PlaceWindowInZOrder(HWND wnd, HWND insertAfter, bool activate, UINT extraFlags) {
  SetWindowPos(wnd, insertAfter, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | ActivateFlagTable[activate ? 1 : 0] | extraFlags);
}

void SetWindowAlpha(HWND wnd, BYTE alpha) {
  if (!SetLayeredWindowAttributesProc) return;
  const LONG_PTR exStyle = GetWindowLongPtrA(wnd, GWL_EXSTYLE);
  if (alpha < 255) {
    if (!(exStyle & WS_EX_LAYERED)) SetWindowLongPtrA(wnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    SetLayeredWindowAttributesProc(wnd, 0, alpha, LWA_ALPHA);
  } else if (exStyle & WS_EX_LAYERED) {
    SetWindowLongPtrA(wnd, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_ALLCHILDREN | RDW_ERASE | RDW_INVALIDATE);
  }
}

void KeepClipRegion(HDC dc, HRGN& region, bool& existed) {
  region = CreateRectRgn(0, 0, 0, 0);
  existed = GetClipRgn(dc, region) == 1;
}

void PutBackClipRegion(HDC dc, HRGN region, bool existed) {
  SelectClipRgn(dc, existed ? region : nullptr);
  DeleteObject(region);
}

void ExtendClipRegion(HDC dc, const RECT& r) {
  HRGN region = CreateRectRgnIndirect(&r);
  ExtSelectClipRgn(dc, region, RGN_OR);
  DeleteObject(region);
}

void ClipOutFrameBand(TcxCanvas* canvas, const RECT& frame, const RECT& content) {
  auto* band = new TcxRegion(frame);
  band->CombineWith(new TcxRegion(content), roSubtract);
  canvas->ApplyClipRegion(band, roSubtract);
}

TBitmap* NewBitmapWithChangeHandler(const TNotifyEvent& handler) {
  auto* bitmap = new TBitmap;
  bitmap->OnChange = handler;
  return bitmap;
}

void ReleaseObjectLink(TcxObjectLink*& link) {
  TcxObjectLink* old = link;
  link = nullptr;
  DetachObjectLink(old);
}

void DrawFilledPolygon(HDC dc, const POINT* points, int lastIndex, TColor penColor, TColor brushColor) {
  HGDIOBJ oldPen = SelectObject(dc, CreatePen(PS_SOLID, 1, ColorToRGB(penColor)));
  HGDIOBJ oldBrush = SelectObject(dc, CreateSolidBrush(ColorToRGB(brushColor)));
  Polygon(dc, points, lastIndex + 1);
  SelectBackAndDelete(dc, oldBrush);
  SelectBackAndDelete(dc, oldPen);
}

// --- Drawing helpers ------------------------------------------------------------------

void DrawArrowGlyph(HDC dc, const RECT& r, bool horizontal, int size, bool selected, bool enabled, bool flat,
                    TColor color) {
  if (color == clDefault) {
    if (!enabled)
      color = clBtnShadow;
    else if (!selected)
      color = clBtnText;
    else
      color = ButtonFaceIsWhite() ? clBtnFace : clHighlightText;
  }
  const TColor rgb = static_cast<TColor>(ColorToRGB(color));
  const int s = size;
  int x, y;
  POINT points[3];
  if (horizontal) {
    x = (r.left + r.right - (2 * s - 1)) / 2;
    y = (r.top + r.bottom - s) / 2;
    points[0] = {x, y};
    points[1] = {x + 2 * s - 2, y};
    points[2] = {x + s - 1, y + s - 1};
  } else {
    x = (r.left + r.right - s) / 2;
    y = (r.top + r.bottom - (2 * s - 1)) / 2;
    points[0] = {x, y};
    points[1] = {x, y + 2 * s - 2};
    points[2] = {x + s - 1, y + s - 1};
  }
  DrawFilledPolygon(dc, points, 2, rgb, rgb);
  if (!enabled && !flat) {
    HGDIOBJ old = SelectObject(dc, CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT)));
    if (horizontal) {
      MoveToEx(dc, x + s, y + s - 1, nullptr);
      LineTo(dc, x + 2 * s - 1, y);
      MoveToEx(dc, x + s, y + s, nullptr);
      LineTo(dc, x + 2 * s, y);
    } else {
      MoveToEx(dc, x + s - 1, y + s, nullptr);
      LineTo(dc, x, y + 2 * s - 1);
      MoveToEx(dc, x + s, y + s, nullptr);
      LineTo(dc, x, y + 2 * s);
    }
    SelectBackAndDelete(dc, old);
  }
}

int AutoArrowSize(const RECT& r, bool horizontal) {
  const int f = horizontal ? r.right - r.left - 8 : r.bottom - r.top - 6;
  const int size = (f % 2 != 0) ? (f - 1) / 2 + 1 : (f - 1) / 2;
  return size > 3 ? size : 3;
}

void DrawArrowAutoSized(HDC dc, const RECT& r, bool horizontal, bool enabled, bool selected, bool flat,
                        TColor color) {
  DrawArrowGlyph(dc, r, horizontal, AutoArrowSize(r, horizontal), selected, enabled, flat, color);
}

void DrawArrowForOrientation(HDC dc, const RECT& r, int orientation, bool enabled, bool selected, bool flat,
                             TColor color) {
  DrawArrowAutoSized(dc, r, orientation == 1, enabled, selected, flat, color);
}

void DrawSizedArrowForOrientation(HDC dc, const RECT& r, int orientation, int size, bool selected, bool enabled,
                                  bool flat, TColor color) {
  DrawArrowGlyph(dc, r, orientation == 1, size, selected, enabled, flat, color);
}

void FrameWithHighlight(HDC dc, const RECT& r) { FrameRect(dc, &r, GetSysColorBrush(COLOR_HIGHLIGHT)); }

void DrawDoubleFrame(HDC dc, const RECT& r, int sysColorIndex) {
  HBRUSH brush = GetSysColorBrush(sysColorIndex);
  FrameRect(dc, &r, brush);
  RECT inner = r;
  InflateRect(&inner, -1, -1);
  FrameRect(dc, &inner, brush);
}

void DrawDoubleFocusRect(HDC dc, const RECT& r) {
  const COLORREF color = GetSysColor(COLOR_BTNTEXT);
  auto dot = [&](int x, int y) {
    if ((x + y) % 2 == 0) SetPixel(dc, x, y, color);
  };
  RECT frame = r;
  for (int pass = 0; pass < 2; ++pass) {
    for (int x = frame.left; x < frame.right; ++x) {
      dot(x, frame.top);
      dot(x, frame.bottom - 1);
    }
    for (int y = frame.top; y < frame.bottom; ++y) {
      dot(frame.left, y);
      dot(frame.right - 1, y);
    }
    InflateRect(&frame, -1, -1);
  }
}

void FillRectBrushOrBitmap(HDC dc, const RECT& r, const RECT& tiling, HBRUSH brush, TColor color, TBitmap* bitmap) {
  if (!bitmap || bitmap->GetEmpty()) {
    if (brush) {
      FillRect(dc, &r, brush);
    } else {
      HBRUSH own = CreateSolidBrush(ColorToRGB(color));
      FillRect(dc, &r, own);
      DeleteObject(own);
    }
    return;
  }
  TileBitmap(dc, r, tiling, bitmap);
}

void TileBitmap(HDC dc, const RECT& dest, const RECT& tiling, TBitmap* bitmap) {
  if (!bitmap) return;
  const int w = bitmap->GetWidth(), h = bitmap->GetHeight();
  if (w == 0 || h == 0 || tiling.right == tiling.left || tiling.bottom == tiling.top) return;
  HRGN kept;
  bool existed;
  KeepClipRegion(dc, kept, existed);
  IntersectClipRect(dc, dest.left, dest.top, dest.right, dest.bottom);
  // Integer division that rounds toward minus infinity, so tiling
  // rectangles left of or above the origin line up as well.
  auto floorDiv = [](int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); };
  HDC source = bitmap->Canvas()->Handle();
  for (int row = floorDiv(tiling.top, h); row <= floorDiv(tiling.bottom - 1, h); ++row)
    for (int col = floorDiv(tiling.left, w); col <= floorDiv(tiling.right - 1, w); ++col)
      BitBlt(dc, col * w + dest.left - tiling.left, row * h + dest.top - tiling.top, w, h, source, 0, 0, SRCCOPY);
  PutBackClipRegion(dc, kept, existed);
}

void FadeDCArea(HDC dc, const RECT& area) { OverlayCheckerPattern(dc, area, clBlack, clBtnFace, 2, 170, 20); }

void DrawBitmapGlyph(HDC dc, const RECT& r, TBitmap* bitmap, bool flag) {
  DrawImageOverBackground(dc, r, r, bitmap, nullptr, -1, BitmapGlyphModeTable[flag ? 1 : 0], false, nullptr, clNone,
                          true);
}

int GlyphDrawMode(const TdxBarGlyphState& s) {
  if (!s.Usable && !s.Faded) return 1;
  if (!s.Usable) return 2;
  if (s.Look3) return 3;
  if (!s.DimsIdle) return 0;
  if (!s.Selected && !s.Down && FadedGlyphLooksEnabled && ScreenColorDepth() > 8) return 4;
  if (s.ShadowsHot && s.Selected && !s.Pressed) return 5;
  return 0;
}

void DrawItemGlyph(TdxBarItemControl* control, HDC dc, HBRUSH background, const TdxBarGlyphState& state,
                   TColor backgroundColor, int imageIndex, TCustomImageList* images, TBitmap* bitmap,
                   const RECT& dest, const RECT& glyphRect) {
  // FIXME: the item controls' glyph cache joins with the item controls; until
  // then every glyph is drawn directly.
  (void)control;
  const int look = GlyphDrawMode(state);
  if (IsBitmapUsable(bitmap)) backgroundColor = clNone;
  DrawImageOverBackground(dc, glyphRect, dest, bitmap, images, imageIndex, static_cast<uint8_t>(look), state.Smooth,
                          background, backgroundColor, state.LeftBottomTransparent);
}

void DrawGlyphNoCache(HDC dc, HBRUSH background, const TdxBarGlyphState& state, TColor backgroundColor,
                      int imageIndex, TCustomImageList* images, TBitmap* bitmap, const RECT& dest,
                      const RECT& glyphRect) {
  DrawItemGlyph(nullptr, dc, background, state, backgroundColor, imageIndex, images, bitmap, dest, glyphRect);
}

void DrawTransparentSizeGrip(HDC dc, const RECT& r) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return;
  // The system's grip drawn into a bitmap of its own, then copied over the
  // background with its face colour left out.
  HDC grip = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
  if (grip && bitmap) {
    HGDIOBJ old = SelectObject(grip, bitmap);
    RECT all{0, 0, w, h};
    FillRect(grip, &all, GetSysColorBrush(COLOR_BTNFACE));
    DrawFrameControl(grip, &all, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
    TransparentBlt(dc, r.left, r.top, w, h, grip, 0, 0, w, h, GetPixel(grip, 0, 0));
    SelectObject(grip, old);
  }
  if (bitmap) DeleteObject(bitmap);
  if (grip) DeleteDC(grip);
}

SIZE ThemedSmallCloseButtonSize() {
  SIZE size{0, 0};
  UxGetThemePartSizeNoRect(AcquireThemeHandle(totWindow), nullptr, 19, 1, TS_TRUE, size);
  return size;
}

void DrawThemedDropDownCloseButton(HDC dc, RECT& r, bool hot, int corner, bool pressed) {
  const int state = pressed ? 3 : hot ? 2 : 1;
  const SIZE part = ThemedSmallCloseButtonSize();
  const int height = r.bottom - r.top;
  const int b = part.cy < height ? (height - part.cy) / 2 : 0;
  RECT button;
  if (corner == 1 || corner == 3)
    button.left = r.left + b;
  else
    button.left = r.right - b - part.cx;
  button.right = button.left + part.cx;
  button.top = r.top + b;
  button.bottom = button.top + part.cy;
  r = button;
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  UxDrawThemeBackground(AcquireThemeHandle(totWindow), dc, 19, state, r, nullptr);
}

SIZE ThemedSizeGripSize() {
  SIZE size{0, 0};
  UxGetThemePartSizeNoRect(AcquireThemeHandle(totScrollBar), nullptr, 10, 1, TS_TRUE, size);
  size.cx += 2;
  size.cy += 2;
  return size;
}

void DrawThemedSizeGrip(HDC dc, RECT& r, int corner) {
  const SIZE grip = ThemedSizeGripSize();
  const bool right = corner == 1 || corner == 3, bottom = corner == 2 || corner == 3;
  if (right)
    r.left = r.right - grip.cx - 1;
  else
    r.right = r.left + grip.cx + 1;
  if (bottom)
    r.top = r.bottom - grip.cy;
  else
    r.bottom = r.top + grip.cy;
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  RECT inner = r;
  if (right)
    inner.left += 2;
  else
    inner.right -= 2;
  if (bottom)
    inner.top += 2;
  else
    inner.bottom -= 2;
  const int w = inner.right - inner.left, h = inner.bottom - inner.top;
  if (w <= 0 || h <= 0) return;
  HDC memory = CreateCompatibleDC(dc);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  const RECT all{0, 0, w, h};
  FillRect(memory, &all, GetSysColorBrush(COLOR_BTNFACE));
  UxDrawThemeBackground(AcquireThemeHandle(totScrollBar), memory, 10, 1, all, nullptr);
  // Left corners mirror left to right, top corners top to bottom.
  const int sx = right ? 0 : w - 1, sy = bottom ? 0 : h - 1;
  const int sw = right ? w : -w, sh = bottom ? h : -h;
  StretchBlt(dc, inner.left, inner.top, w, h, memory, sx, sy, sw, sh, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
}

COLORREF ThemedEditFillColor(HTHEME theme, int state) {
  COLORREF color = GetSysColor(COLOR_WINDOW);
  if (state == 4) {
    COLORREF themed;
    if (SUCCEEDED(UxGetThemeColor(theme, 1, state, 3802, themed))) color = themed;
  }
  return color;
}

COLORREF ThemedEditTextColor(HTHEME theme, int state) {
  COLORREF themed;
  if (SUCCEEDED(UxGetThemeColor(theme, 1, state, 3803, themed))) return themed;
  return GetSysColor(state == 4 ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT);
}

COLORREF ThemedWindowFillColor() {
  COLORREF themed;
  if (SUCCEEDED(UxGetThemeColor(AcquireThemeHandle(totToolBar), 0, 0, 3802, themed))) return themed;
  return GetSysColor(COLOR_BTNFACE);
}

// --- Fonts ------------------------------------------------------------------------------

bool ReadNonClientMetrics(NONCLIENTMETRICSA& metrics) {
  metrics = NONCLIENTMETRICSA{};
  metrics.cbSize = NonClientMetricsSize;
  return SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, NonClientMetricsSize, &metrics, 0) != FALSE;
}

HFONT CreateSmallCaptionFont(TFont* font, bool keep) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = NonClientMetricsSize;
  SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, NonClientMetricsSize, &metrics, 0);
  LOGFONTA log = metrics.lfSmCaptionFont;
  if (!keep) {
    RaiseToMinimumHeight(log);
    std::memset(log.lfFaceName, 0, sizeof(log.lfFaceName));
    if (font) std::strncpy(log.lfFaceName, font->Name().c_str(), 31);
  }
  return CreateFontIndirectA(&log);
}

HFONT CopyFontHandle(HFONT font) {
  LOGFONTA log{};
  if (!GetObjectA(font, sizeof(log), &log)) return nullptr;
  return CreateFontIndirectA(&log);
}

void MakeBarFont(TFont* source, TFont* dest, bool iconTitle) {
  if (!iconTitle) {
    dest->SetHandle(CopyFontHandle(source->Handle()));
    return;
  }
  LOGFONTA log{};
  GetObjectA(source->Handle(), sizeof(log), &log);
  LOGFONTA iconFont{};
  if (SystemParametersInfoA(SPI_GETICONTITLELOGFONT, sizeof(iconFont), &iconFont, 0)) log.lfHeight = iconFont.lfHeight;
  RaiseToMinimumHeight(log);
  dest->SetHandle(CreateFontIndirectA(&log));
}

// --- Messages and dialogs ------------------------------------------------------------------

namespace {

void DispatchPending(UINT first, UINT last) {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, first, last, PM_NOREMOVE)) {
    const BOOL r = GetMessageA(&msg, nullptr, first, last);
    if (r == -1) return;
    if (r == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    DispatchMessageA(&msg);
  }
}

}  // namespace

void DispatchPendingMouseMessages() { DispatchPending(WM_MOUSEFIRST, 0x20A); }

void DispatchPendingPaints() { DispatchPending(WM_PAINT, WM_PAINT); }

int ShowMessageBox(const AnsiString& text, UINT flags) {
  return Application->MessageBox(text, Application->Title(), flags);
}
