#include "platform/Screen.h"

#include "platform/Graphics.h"

#include <algorithm>

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

TScreen::~TScreen() {
  for (auto& [index, entry] : FCursors)
    if (entry.Owned) DestroyCursor(entry.Handle);
}

int TScreen::PixelsPerInch() {
  if (FPixelsPerInch == 0) {
    const TScreenDC dc;
    int value = dc.Get() ? GetDeviceCaps(dc.Get(), LOGPIXELSY) : 0;
    FPixelsPerInch = value > 0 ? value : 96;
  }
  return FPixelsPerInch;
}

RECT TScreen::WorkAreaRect() const {
  RECT r{0, 0, Width(), Height()};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

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
