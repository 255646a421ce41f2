// TScreen: what the program knows about the display: resolution, work area
// and the table of cursors (system cursors by negative index, the program's
// own cursors by the indices it registers).
#pragma once

#include "platform/Object.h"
#include "platform/Text.h"
#include "platform/Win32.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

using TCursor = int;

constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

class TCustomForm;
class TFont;
class TWinControl;

// What the screen knows of one monitor: its full rectangle and its work area
// (without the task bar) in virtual-screen co-ordinates.
struct TMonitorFacts {
  HMONITOR Handle = nullptr;
  RECT Bounds{};
  RECT WorkArea{};
  bool Primary = false;
};

// What the screen reads from the system: the monitors in the system's order
// and the menu font. Tests replace it (TScreen::SetDisplaySource).
struct TDisplayFacts {
  std::vector<TMonitorFacts> Monitors;
  LOGFONTA MenuFont{};
};
using TDisplaySource = std::function<TDisplayFacts()>;
// The system's displays and menu font.
TDisplayFacts SystemDisplayFacts();

enum class TMonitorDefaultTo { mdNearest, mdNull, mdPrimary };
using enum TMonitorDefaultTo;

// One monitor of the screen (TScreen::Monitors).
class TMonitor : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TMonitor(const TMonitorFacts& facts, int number) : FFacts(facts), FNumber(number) {}

  HMONITOR Handle() const { return FFacts.Handle; }
  // The index in the screen's monitor list.
  int MonitorNum() const { return FNumber; }
  bool Primary() const { return FFacts.Primary; }
  RECT BoundsRect() const { return FFacts.Bounds; }
  RECT WorkareaRect() const { return FFacts.WorkArea; }
  int Left() const { return FFacts.Bounds.left; }
  int Top() const { return FFacts.Bounds.top; }
  int Width() const { return FFacts.Bounds.right - FFacts.Bounds.left; }
  int Height() const { return FFacts.Bounds.bottom - FFacts.Bounds.top; }

private:
  TMonitorFacts FFacts;
  int FNumber;
};

class TScreen : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TScreen() = default;
  ~TScreen() override;

  // Logical pixels per inch of the screen (vertical).
  int PixelsPerInch();
  int Width() const { return GetSystemMetrics(SM_CXSCREEN); }
  int Height() const { return GetSystemMetrics(SM_CYSCREEN); }
  // The primary monitor's area not covered by the task bar.
  RECT WorkAreaRect();
  int WorkAreaWidth() { RECT r = WorkAreaRect(); return r.right - r.left; }
  int WorkAreaHeight() { RECT r = WorkAreaRect(); return r.bottom - r.top; }

  // The monitors in the system's order; read once and again after
  // DisplayChanged. There is always at least one.
  int MonitorCount();
  TMonitor* Monitors(int index);
  TMonitor* PrimaryMonitor();
  // The monitor that holds the point (the first in order whose full
  // rectangle does), else by `defaultTo`: the nearest, none or the primary.
  TMonitor* MonitorFromPoint(POINT point, TMonitorDefaultTo defaultTo = mdNearest);
  // The monitor that shares the most area with the rectangle.
  TMonitor* MonitorFromRect(const RECT& rect, TMonitorDefaultTo defaultTo = mdNearest);
  TMonitor* MonitorFromWindow(HWND window, TMonitorDefaultTo defaultTo = mdNearest);
  // The rectangle around every monitor.
  RECT DesktopRect();
  // The font the system draws menus in (owned by the screen).
  TFont* MenuFont();
  // Forgets the monitors and the menu font read so far; the application
  // calls it when the display or the system's settings change.
  void DisplayChanged();
  // Replaces where monitors and the menu font come from (empty: the
  // system); answers the previous source.
  TDisplaySource SetDisplaySource(TDisplaySource source);

  // The cursor of an index; unknown indices give the arrow.
  HCURSOR Cursors(TCursor index);
  // Registers a cursor the program made (the screen destroys it later); a
  // null handle removes a registered cursor.
  void SetCursors(TCursor index, HCURSOR cursor);

  // The names of the fonts installed on the system, sorted.
  std::vector<AnsiString> Fonts();

  // A cursor for the whole program (crDefault: each control's own).
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor value);

  // The program's forms, newest first, and the one that is active.
  int FormCount() const { return static_cast<int>(FForms.size()); }
  TCustomForm* Forms(int index) const { return FForms.at(index); }
  TCustomForm* ActiveForm() const { return FActiveForm; }
  TWinControl* ActiveControl() const { return FActiveControl; }
  // Kept by the forms layer.
  void AddForm(TCustomForm* form);
  void RemoveForm(TCustomForm* form);
  void SetActiveForm(TCustomForm* form) { FActiveForm = form; }
  void SetActiveControl(TWinControl* control) { FActiveControl = control; }

private:
  struct TCursorEntry {
    HCURSOR Handle;
    bool Owned;
  };
  void ReadDisplay();

  std::mutex FLock;
  std::map<TCursor, TCursorEntry> FCursors;
  TDisplaySource FDisplaySource;
  bool FDisplayRead = false;
  std::vector<std::unique_ptr<TMonitor>> FMonitors;
  TFont* FMenuFont = nullptr;
  int FPixelsPerInch = 0;
  TCursor FCursor = crDefault;
  std::vector<TCustomForm*> FForms;
  TCustomForm* FActiveForm = nullptr;
  TWinControl* FActiveControl = nullptr;
};

// The one screen object of the process.
extern TScreen* const Screen;
