#include "platform/Screen.h"

#include "platform/Graphics.h"

#include <algorithm>
#include <cstring>

namespace {

// Never destroyed: forms and controls still use it while the program's
// static objects go away.
TScreen& TheScreen = *new TScreen;

struct TSystemCursor {
  TCursor Index;
  LPCSTR Name;
};

const TSystemCursor SystemCursors[] = {
    {crArrow, IDC_ARROW},     {crCross, IDC_CROSS},       {crIBeam, IDC_IBEAM},     {crSizeNESW, IDC_SIZENESW},
    {crSizeNS, IDC_SIZENS},   {crSizeNWSE, IDC_SIZENWSE}, {crSizeWE, IDC_SIZEWE},   {crUpArrow, IDC_UPARROW},
    {crHourGlass, IDC_WAIT},  {crDrag, IDC_ARROW},        {crNoDrop, IDC_NO},       {crHSplit, IDC_SIZEWE},
    {crVSplit, IDC_SIZENS},   {crMultiDrag, IDC_ARROW},   {crSQLWait, IDC_WAIT},    {crNo, IDC_NO},
    {crAppStart, IDC_APPSTARTING}, {crHelp, IDC_HELP},    {crHandPoint, IDC_HAND},  {crSizeAll, IDC_SIZEALL},
    {crDefault, IDC_ARROW},
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!GetMonitorInfoA(monitor, &info)) return TRUE;
  reinterpret_cast<std::vector<TMonitorFacts>*>(data)->push_back(
      {monitor, info.rcMonitor, info.rcWork, (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
  return TRUE;
}

// Squared distance from a point to a rectangle (0 inside).
int64_t DistanceSquared(POINT p, const RECT& r) {
  const int64_t dx = p.x < r.left ? r.left - p.x : p.x >= r.right ? p.x - r.right + 1 : 0;
  const int64_t dy = p.y < r.top ? r.top - p.y : p.y >= r.bottom ? p.y - r.bottom + 1 : 0;
  return dx * dx + dy * dy;
}

int CALLBACK AddFontName(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM data) {
  auto* list = reinterpret_cast<std::vector<AnsiString>*>(data);
  AnsiString name = font->lfFaceName;
  // Vertical-writing faces ("@name") are not offered.
  if (!name.empty() && name[0] != '@' && std::find(list->begin(), list->end(), name) == list->end())
    list->push_back(name);
  return 1;
}

}  // namespace

TScreen* const Screen = &TheScreen;

const TClassInfo TScreen::ClassInfo = {"TScreen", &TObject::ClassInfo, nullptr};
const TClassInfo TMonitor::ClassInfo = {"TMonitor", &TObject::ClassInfo, nullptr};

TDisplayFacts SystemDisplayFacts() {
  TDisplayFacts facts;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&facts.Monitors));
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    facts.MenuFont = metrics.lfMenuFont;
  } else {
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof facts.MenuFont, &facts.MenuFont);
  }
  return facts;
}

TScreen::~TScreen() {
  for (auto& [index, entry] : FCursors)
    if (entry.Owned) DestroyCursor(entry.Handle);
}

void TScreen::ReadDisplay() {
  if (FDisplayRead) return;
  TDisplayFacts facts = FDisplaySource ? FDisplaySource() : SystemDisplayFacts();
  if (facts.Monitors.empty()) {
    // Without monitor information: the primary screen alone.
    TMonitorFacts whole;
    whole.Bounds = {0, 0, Width(), Height()};
    whole.WorkArea = whole.Bounds;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &whole.WorkArea, 0);
    whole.Primary = true;
    facts.Monitors.push_back(whole);
  }
  FMonitors.clear();
  for (const TMonitorFacts& m : facts.Monitors)
    FMonitors.push_back(std::make_unique<TMonitor>(m, static_cast<int>(FMonitors.size())));
  if (!FMenuFont) FMenuFont = new TFont;
  // The description only: the font makes its handle when it is drawn with.
  const LOGFONTA& font = facts.MenuFont;
  if (font.lfFaceName[0]) {
    TFontStyles style;
    if (font.lfWeight >= FW_BOLD) style += TFontStyle::fsBold;
    if (font.lfItalic) style += TFontStyle::fsItalic;
    if (font.lfUnderline) style += TFontStyle::fsUnderline;
    if (font.lfStrikeOut) style += TFontStyle::fsStrikeOut;
    FMenuFont->SetName(AnsiString(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE)));
    FMenuFont->SetHeight(font.lfHeight);
    FMenuFont->SetStyle(style);
    FMenuFont->SetCharset(font.lfCharSet);
  }
  FDisplayRead = true;
}

int TScreen::MonitorCount() {
  ReadDisplay();
  return static_cast<int>(FMonitors.size());
}

TMonitor* TScreen::Monitors(int index) {
  ReadDisplay();
  return FMonitors.at(static_cast<size_t>(index)).get();
}

TMonitor* TScreen::PrimaryMonitor() {
  ReadDisplay();
  for (const auto& m : FMonitors)
    if (m->Primary()) return m.get();
  return FMonitors.front().get();
}

TMonitor* TScreen::MonitorFromPoint(POINT point, TMonitorDefaultTo defaultTo) {
  ReadDisplay();
  for (const auto& m : FMonitors) {
    const RECT r = m->BoundsRect();
    if (PtInRect(&r, point)) return m.get();
  }
  if (defaultTo == mdNull) return nullptr;
  if (defaultTo == mdPrimary) return PrimaryMonitor();
  TMonitor* nearest = FMonitors.front().get();
  for (const auto& m : FMonitors)
    if (DistanceSquared(point, m->BoundsRect()) < DistanceSquared(point, nearest->BoundsRect())) nearest = m.get();
  return nearest;
}

TMonitor* TScreen::MonitorFromRect(const RECT& rect, TMonitorDefaultTo defaultTo) {
  ReadDisplay();
  TMonitor* best = nullptr;
  int64_t bestArea = 0;
  for (const auto& m : FMonitors) {
    RECT common;
    const RECT bounds = m->BoundsRect();
    if (!IntersectRect(&common, &bounds, &rect)) continue;
    const int64_t area = static_cast<int64_t>(common.right - common.left) * (common.bottom - common.top);
    if (area > bestArea) {
      best = m.get();
      bestArea = area;
    }
  }
  if (best) return best;
  const POINT centre{rect.left + (rect.right - rect.left) / 2, rect.top + (rect.bottom - rect.top) / 2};
  return MonitorFromPoint(centre, defaultTo);
}

TMonitor* TScreen::MonitorFromWindow(HWND window, TMonitorDefaultTo defaultTo) {
  RECT r;
  if (!window || !GetWindowRect(window, &r)) return defaultTo == mdNull ? nullptr : PrimaryMonitor();
  return MonitorFromRect(r, defaultTo);
}

RECT TScreen::DesktopRect() {
  ReadDisplay();
  RECT all = FMonitors.front()->BoundsRect();
  for (const auto& m : FMonitors) {
    const RECT r = m->BoundsRect();
    UnionRect(&all, &all, &r);
  }
  return all;
}

TFont* TScreen::MenuFont() {
  ReadDisplay();
  return FMenuFont;
}

void TScreen::DisplayChanged() { FDisplayRead = false; }

TDisplaySource TScreen::SetDisplaySource(TDisplaySource source) {
  TDisplaySource previous = std::move(FDisplaySource);
  FDisplaySource = std::move(source);
  FDisplayRead = false;
  return previous;
}

int TScreen::PixelsPerInch() {
  if (FPixelsPerInch == 0) {
    const TScreenDC dc;
    int value = dc.Get() ? GetDeviceCaps(dc.Get(), LOGPIXELSY) : 0;
    FPixelsPerInch = value > 0 ? value : 96;
  }
  return FPixelsPerInch;
}

RECT TScreen::WorkAreaRect() { return PrimaryMonitor()->WorkareaRect(); }

HCURSOR TScreen::Cursors(TCursor index) {
  std::lock_guard<std::mutex> guard(FLock);
  auto it = FCursors.find(index);
  if (it != FCursors.end()) return it->second.Handle;
  if (index == crNone) return nullptr;
  LPCSTR name = IDC_ARROW;
  for (const TSystemCursor& c : SystemCursors)
    if (c.Index == index) name = c.Name;
  HCURSOR cursor = LoadCursorA(nullptr, name);
  if (!cursor) cursor = LoadCursorA(nullptr, IDC_ARROW);
  FCursors[index] = {cursor, false};
  return cursor;
}

void TScreen::SetCursors(TCursor index, HCURSOR cursor) {
  std::lock_guard<std::mutex> guard(FLock);
  auto it = FCursors.find(index);
  if (it != FCursors.end()) {
    if (it->second.Owned && it->second.Handle != cursor) DestroyCursor(it->second.Handle);
    FCursors.erase(it);
  }
  if (cursor) FCursors[index] = {cursor, true};
}

std::vector<AnsiString> TScreen::Fonts() {
  std::vector<AnsiString> names;
  {
    const TScreenDC dc;
    LOGFONTA query{};
    query.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExA(dc.Get(), &query, AddFontName, reinterpret_cast<LPARAM>(&names), 0);
  }
  std::sort(names.begin(), names.end(), [](const AnsiString& a, const AnsiString& b) { return CompareText(a, b) < 0; });
  return names;
}

void TScreen::SetCursor(TCursor value) {
  if (FCursor == value) return;
  FCursor = value;
  // Let the window under the mouse choose its cursor again now.
  POINT p;
  GetCursorPos(&p);
  HWND wnd = WindowFromPoint(p);
  DWORD pid = 0;
  if (wnd) GetWindowThreadProcessId(wnd, &pid);
  if (value != crDefault) {
    ::SetCursor(Cursors(value));
  } else if (wnd && pid == GetCurrentProcessId()) {
    const LRESULT hit = SendMessageA(wnd, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    SendMessageA(wnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(wnd), MAKELPARAM(hit, WM_MOUSEMOVE));
  }
}

void TScreen::AddForm(TCustomForm* form) { FForms.insert(FForms.begin(), form); }

void TScreen::RemoveForm(TCustomForm* form) {
  FForms.erase(std::remove(FForms.begin(), FForms.end(), form), FForms.end());
  if (FActiveForm == form) {
    FActiveForm = nullptr;
    FActiveControl = nullptr;
  }
}
