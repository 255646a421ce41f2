// The editors' one holder of the locale's date, time and currency formats in
// the form they need: the currency display format, the first day of the
// week, the parsed date and time formats and, derived from them, the edit
// masks for date and date-time input (standard and regular-expression
// syntax) with display formats that match them. Values a program sets are
// kept over the locale's. While anyone listens, a hidden top-level window
// watches for locale changes ("intl") and clock changes and tells the
// listeners after the formats were read again.
//   SharedFormatController()->AddListener(this); ... RemoveListener(this) before going.
#pragma once

#include "editors/framework/DateTimeFormat.h"
#include "platform/Object.h"
#include "platform/UtilWindow.h"
#include "platform/Win32.h"

#include <vector>

// Told after the locale's formats were read again.
class IcxLocaleFormatListener {
public:
  virtual void LocaleFormatsChanged() = 0;

protected:
  ~IcxLocaleFormatListener() = default;
};

// Told when the system clock was set. A locale-format listener that also
// derives from this interface hears of both.
class IcxTimeChangeListener {
public:
  virtual void SystemTimeChanged() = 0;

protected:
  ~IcxTimeChangeListener() = default;
};

class TcxFormatController : public TObject {
public:
  // Reads the locale's formats; the first controller made becomes the shared one.
  TcxFormatController();
  ~TcxFormatController() override;

  // The hidden window's messages: "intl" setting changes and clock changes.
  virtual void HandleLocaleChange(TMessage& message);
  // Adds a listener unless present (the first makes the hidden window);
  // the controller does not own it.
  virtual void AddListener(IcxLocaleFormatListener* listener);
  // Removes a listener (the last releases the window).
  virtual void RemoveListener(IcxLocaleFormatListener* listener);

  // The masks and formats of the program's format settings.
  static AnsiString BuildStandardMask(const TcxDateTimeFormatInfo& info, int mode);
  static AnsiString BuildRegExprMask(const TcxDateTimeFormatInfo& info, int mode);
  static AnsiString BuildMaskedDisplayFormat(const TcxDateTimeFormatInfo& info);
  static int FormatTextLength(const TcxDateTimeFormatInfo& info);
  // The thread locale's first day of the week, 0 Sunday .. 6 Saturday.
  static uint8_t LocaleStartOfWeek();

  // Reads the currency format and week start (unless set), rebuilds the
  // masks and the date edit pattern from the program's format settings.
  void ReadLocaleFormats();
  // Holds listener notifications; the last EndUpdate sends one when
  // something changed meanwhile.
  void BeginUpdate();
  void EndUpdate();
  int UpdateLockCount() const { return FUpdateLockCount; }

  const AnsiString& CurrencyDisplayFormat() const { return FCurrencyDisplayFormat; }
  void SetCurrencyDisplayFormat(const AnsiString& value);
  const AnsiString& DateEditPattern() const { return FDateEditPattern; }
  // The standard mask of the locale's short date, whatever a program set.
  const AnsiString& LocaleDateMask() const { return FLocaleDateMask; }
  const TcxDateTimeFormatInfo& DateInfo() const { return FDateInfo; }
  const TcxDateTimeFormatInfo& DateTimeInfo() const { return FDateTimeInfo; }
  const TcxDateTimeFormatInfo& TimeInfo() const { return FTimeInfo; }
  // The week-numbering rule (0: the system's).
  uint8_t YearFirstWeekRule() const { return FYearFirstWeekRule; }
  void SetYearFirstWeekRule(uint8_t value) { FYearFirstWeekRule = value; }
  const AnsiString& DateDisplayFormat() const { return FDateDisplayFormat; }
  const AnsiString& DateTimeDisplayFormat() const { return FDateTimeDisplayFormat; }
  const AnsiString& DateRegExprMask() const { return FDateRegExprMask; }
  void SetDateRegExprMask(const AnsiString& value);
  const AnsiString& DateTimeRegExprMask() const { return FDateTimeRegExprMask; }
  void SetDateTimeRegExprMask(const AnsiString& value);
  const AnsiString& DateStandardMask() const { return FDateStandardMask; }
  void SetDateStandardMask(const AnsiString& value);
  const AnsiString& DateTimeStandardMask() const { return FDateTimeStandardMask; }
  void SetDateTimeStandardMask(const AnsiString& value);
  // 0 Sunday .. 6 Saturday.
  uint8_t WeekStartDay() const { return FWeekStartDay; }
  void SetWeekStartDay(uint8_t value);
  // The date editors use the program's format settings only (not the
  // system's date texts).
  bool RuntimeFormatsOnly() const { return FRuntimeFormatsOnly; }
  void SetRuntimeFormatsOnly(bool value) { FRuntimeFormatsOnly = value; }

  int ListenerCount() const { return static_cast<int>(FListeners.size()); }
  // The hidden window; null while nobody listens.
  HWND WindowHandle() const { return FWindow; }

private:
  void RebuildMasks();
  void ReleaseWindow();
  void FormatsChanged();
  void NotifyListeners();
  void TimeChanged();

  bool FCurrencyDisplayFormatAssigned = false;
  bool FDateRegExprMaskAssigned = false;
  bool FDateTimeRegExprMaskAssigned = false;
  bool FDateStandardMaskAssigned = false;
  bool FDateTimeStandardMaskAssigned = false;
  bool FWeekStartDayAssigned = false;
  AnsiString FCurrencyDisplayFormat;
  AnsiString FDateEditPattern;
  AnsiString FLocaleDateMask;
  TcxDateTimeFormatInfo FDateInfo;
  TcxDateTimeFormatInfo FDateTimeInfo;
  uint8_t FYearFirstWeekRule = 0;
  std::vector<IcxLocaleFormatListener*> FListeners;
  int FUpdateLockCount = 0;
  bool FChangedWhileLocked = false;
  AnsiString FDateDisplayFormat;
  AnsiString FDateTimeDisplayFormat;
  AnsiString FDateRegExprMask;
  AnsiString FDateTimeRegExprMask;
  AnsiString FDateStandardMask;
  AnsiString FDateTimeStandardMask;
  uint8_t FWeekStartDay = 0;
  TcxDateTimeFormatInfo FTimeInfo;
  bool FRuntimeFormatsOnly = false;
  HWND FWindow = nullptr;
  TWndMethod* FWindowMethod = nullptr;
};

// The shared controller, made at first use; freed by cxFormatsDone.
TcxFormatController* SharedFormatController();
// The shared controller when one exists (none is made).
TcxFormatController* ExistingFormatController();
// Unit start-up (nothing: the controller is made on demand) and shut-down.
void cxFormatsInit();
void cxFormatsDone();
