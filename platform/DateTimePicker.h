// The date-time picker over the system's control: a date (with a drop-down
// calendar or up-down arrows) or a time, as a TDateTime, within optional
// limits, with an optional check box that says whether there is a value.
#pragma once

#include "platform/Control.h"
#include "platform/DateTime.h"

class EDateTimeError : public Exception { public: using Exception::Exception; };

enum class TDateTimeKind { dtkDate, dtkTime };
using enum TDateTimeKind;
enum class TDTDateFormat { dfShort, dfLong };
using enum TDTDateFormat;
enum class TDTDateMode { dmComboBox, dmUpDown };
using enum TDTDateMode;

class TDateTimePicker : public TWinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TDateTimePicker(TComponent* AOwner);

  // The whole value; the date keeps the time of day and the time the date.
  TDateTime DateTime() const { return FDateTime; }
  void SetDateTime(TDateTime value);
  TDateTime Date() const;
  void SetDate(TDateTime value);
  TDateTime Time() const;
  void SetTime(TDateTime value);
  // Limits (0: none). A value outside them raises EDateTimeError.
  TDateTime MinDate() const { return FMinDate; }
  void SetMinDate(TDateTime value);
  TDateTime MaxDate() const { return FMaxDate; }
  void SetMaxDate(TDateTime value);
  TDateTimeKind Kind() const { return FKind; }
  void SetKind(TDateTimeKind value);
  TDTDateFormat DateFormat() const { return FDateFormat; }
  void SetDateFormat(TDTDateFormat value);
  TDTDateMode DateMode() const { return FDateMode; }
  void SetDateMode(TDTDateMode value);
  // A picture of the system's picker ("yyyy'-'MM'-'dd"); empty: the kind's
  // locale format.
  const AnsiString& Format() const { return FFormat; }
  void SetFormat(const AnsiString& value);
  // The check box, and whether it is ticked (the value counts).
  bool ShowCheckbox() const { return FShowCheckbox; }
  void SetShowCheckbox(bool value);
  bool Checked() const { return FChecked; }
  void SetChecked(bool value);
  // True while the calendar is open.
  bool DroppedDown() const { return FDroppedDown; }

  TNotifyEvent OnChange;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWnd() override;
  void Dispatch(TMessage& Message) override;
  virtual void Change() { FireEvent(OnChange, this); }

private:
  void CheckRange(TDateTime value) const;
  void ApplyValue();
  void ApplyRange();

  TDateTime FDateTime;
  TDateTime FMinDate = 0;
  TDateTime FMaxDate = 0;
  TDateTimeKind FKind = dtkDate;
  TDTDateFormat FDateFormat = dfShort;
  TDTDateMode FDateMode = dmComboBox;
  AnsiString FFormat;
  bool FShowCheckbox = false;
  bool FChecked = true;
  bool FDroppedDown = false;
  int FQuiet = 0;
};
