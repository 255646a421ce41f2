// TScreen: what the program knows about the display: resolution, work area
// and the table of cursors (system cursors by negative index, the program's
// own cursors by the indices it registers).
#pragma once

#include "platform/Object.h"
#include "platform/Text.h"
#include "platform/Win32.h"

#include <map>
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
class TWinControl;

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
  RECT WorkAreaRect() const;
  int WorkAreaWidth() const { RECT r = WorkAreaRect(); return r.right - r.left; }
  int WorkAreaHeight() const { RECT r = WorkAreaRect(); return r.bottom - r.top; }

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
  std::mutex FLock;
  std::map<TCursor, TCursorEntry> FCursors;
  int FPixelsPerInch = 0;
  TCursor FCursor = crDefault;
  std::vector<TCustomForm*> FForms;
  TCustomForm* FActiveForm = nullptr;
  TWinControl* FActiveControl = nullptr;
};

// The one screen object of the process.
extern TScreen* const Screen;
