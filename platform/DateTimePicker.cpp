#include "platform/DateTimePicker.h"

#include "platform/CommonControls.h"
#include "platform/ControlsProperties.h"

#include <commctrl.h>

#include <cmath>

const TClassInfo TDateTimePicker::ClassInfo{"TDateTimePicker", &TWinControl::ClassInfo, [](TObject* owner) -> TObject* {
                                              return new TDateTimePicker(static_cast<TComponent*>(owner));
                                            }};

namespace {

SYSTEMTIME ToSystemTime(TDateTime value) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, minute, second, msec);
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(year);
  st.wMonth = static_cast<WORD>(month);
  st.wDay = static_cast<WORD>(day);
  st.wDayOfWeek = static_cast<WORD>(DayOfWeek(value) - 1);
  st.wHour = static_cast<WORD>(hour);
  st.wMinute = static_cast<WORD>(minute);
  st.wSecond = static_cast<WORD>(second);
  st.wMilliseconds = static_cast<WORD>(msec);
  return st;
}

// False for a time the picker should never report (out of the calendar).
bool FromSystemTime(const SYSTEMTIME& st, TDateTime& value) {
  TDateTime date = 0, time = 0;
  if (!TryEncodeDate(st.wYear, st.wMonth, st.wDay, date)) return false;
  if (!TryEncodeTime(st.wHour, st.wMinute, st.wSecond, st.wMilliseconds, time)) return false;
  value = date >= 0 ? date + time : date - time;
  return true;
}

}  // namespace

TDateTimePicker::TDateTimePicker(TComponent* AOwner) : TWinControl(AOwner), FDateTime(Now()) {
  FTabStop = true;
  FParentColor = false;
  FColor = clWindow;
  FBrush.SetColor(FColor);
  FWidth = 186;
  FHeight = 21;
}

void TDateTimePicker::CreateParams(TCreateParams& Params) {
  InitCommonControlClasses(ICC_DATE_CLASSES);
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, DATETIMEPICK_CLASSA);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
  Params.ExStyle |= WS_EX_CLIENTEDGE;
  if (FKind == dtkTime) Params.Style |= DTS_TIMEFORMAT;
  else {
    if (FDateFormat == dfLong) Params.Style |= DTS_LONGDATEFORMAT;
    if (FDateMode == dmUpDown) Params.Style |= DTS_UPDOWN;
  }
  if (FShowCheckbox) Params.Style |= DTS_SHOWNONE;
}

void TDateTimePicker::InitializeWnd() {
  if (!FFormat.empty()) SendMessageA(FHandle, DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>(FFormat.c_str()));
  ApplyRange();
  ApplyValue();
}

void TDateTimePicker::ApplyValue() {
  if (!HandleAllocated()) return;
  TQuietScope quiet(FQuiet);
  SYSTEMTIME st = ToSystemTime(FDateTime);
  SendMessageA(FHandle, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
  if (FShowCheckbox && !FChecked) SendMessageA(FHandle, DTM_SETSYSTEMTIME, GDT_NONE, 0);
}

void TDateTimePicker::ApplyRange() {
  if (!HandleAllocated()) return;
  SYSTEMTIME range[2]{};
  WPARAM flags = 0;
  if (FMinDate != 0) {
    range[0] = ToSystemTime(std::trunc(FMinDate));
    flags |= GDTR_MIN;
  }
  if (FMaxDate != 0) {
    // The whole last day is allowed.
    const double day = std::trunc(FMaxDate);
    const double end = EncodeTime(23, 59, 59, 999);
    range[1] = ToSystemTime(day >= 0 ? day + end : day - end);
    flags |= GDTR_MAX;
  }
  TQuietScope quiet(FQuiet);
  SendMessageA(FHandle, DTM_SETRANGE, flags, reinterpret_cast<LPARAM>(range));
}

void TDateTimePicker::CheckRange(TDateTime value) const {
  if (!std::isfinite(value) || value < MinDateTime || value > MaxDateTime)
    throw EDateTimeError("Invalid date and time");
  if (FMinDate != 0 && std::trunc(value) < std::trunc(FMinDate))
    throw EDateTimeError("Date is less than minimum of " + DateToStr(FMinDate));
  if (FMaxDate != 0 && std::trunc(value) > std::trunc(FMaxDate))
    throw EDateTimeError("Date exceeds maximum of " + DateToStr(FMaxDate));
}

void TDateTimePicker::SetDateTime(TDateTime value) {
  CheckRange(value);
  FDateTime = value;
  ApplyValue();
}

TDateTime TDateTimePicker::Date() const { return std::trunc(FDateTime); }

void TDateTimePicker::SetDate(TDateTime value) {
  const double time = std::fabs(FDateTime - std::trunc(FDateTime));
  value = std::trunc(value);
  SetDateTime(value >= 0 ? value + time : value - time);
}

TDateTime TDateTimePicker::Time() const { return std::fabs(FDateTime - std::trunc(FDateTime)); }

void TDateTimePicker::SetTime(TDateTime value) {
  const double date = std::trunc(FDateTime);
  const double time = std::fabs(value - std::trunc(value));
  SetDateTime(date >= 0 ? date + time : date - time);
}

void TDateTimePicker::SetMinDate(TDateTime value) {
  if (value != 0 && FMaxDate != 0 && value > FMaxDate)
    throw EDateTimeError("Date exceeds maximum of " + DateToStr(FMaxDate));
  FMinDate = value;
  if (value != 0 && FDateTime < value) FDateTime = value;
  ApplyRange();
  ApplyValue();
}

void TDateTimePicker::SetMaxDate(TDateTime value) {
  if (value != 0 && FMinDate != 0 && value < FMinDate)
    throw EDateTimeError("Date is less than minimum of " + DateToStr(FMinDate));
  FMaxDate = value;
  if (value != 0 && std::trunc(FDateTime) > std::trunc(value)) FDateTime = std::trunc(value) + Time();
  ApplyRange();
  ApplyValue();
}

void TDateTimePicker::SetKind(TDateTimeKind value) {
  if (FKind == value) return;
  FKind = value;
  RecreateWnd();
}

void TDateTimePicker::SetDateFormat(TDTDateFormat value) {
  if (FDateFormat == value) return;
  FDateFormat = value;
  RecreateWnd();
}

void TDateTimePicker::SetDateMode(TDTDateMode value) {
  if (FDateMode == value) return;
  FDateMode = value;
  RecreateWnd();
}

void TDateTimePicker::SetFormat(const AnsiString& value) {
  FFormat = value;
  if (HandleAllocated())
    SendMessageA(FHandle, DTM_SETFORMATA, 0, reinterpret_cast<LPARAM>(FFormat.empty() ? nullptr : FFormat.c_str()));
}

void TDateTimePicker::SetShowCheckbox(bool value) {
  if (FShowCheckbox == value) return;
  FShowCheckbox = value;
  RecreateWnd();
}

void TDateTimePicker::SetChecked(bool value) {
  FChecked = value;
  ApplyValue();
}

void TDateTimePicker::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_NOTIFY) {
    Message.Result = 0;
    if (!IsReflectedNotify(Message.LParam)) return;
    auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
    switch (header->code) {
      case DTN_DATETIMECHANGE: {
        if (FQuiet > 0) return;
        auto* change = reinterpret_cast<NMDATETIMECHANGE*>(header);
        if (change->dwFlags == GDT_NONE) {
          FChecked = false;
        } else {
          TDateTime value = 0;
          if (!FromSystemTime(change->st, value)) return;
          FChecked = true;
          FDateTime = value;
        }
        Change();
        return;
      }
      case DTN_DROPDOWN:
        FDroppedDown = true;
        FireEvent(OnDropDown, this);
        return;
      case DTN_CLOSEUP:
        FDroppedDown = false;
        FireEvent(OnCloseUp, this);
        return;
      default:
        return;
    }
  }
  TWinControl::Dispatch(Message);
}

// -- Published properties -------------------------------------------------------

namespace {

const TEnumInfo DateTimeKindNames{"TDateTimeKind", {"dtkDate", "dtkTime"}};
const TEnumInfo DateFormatNames{"TDTDateFormat", {"dfShort", "dfLong"}};
const TEnumInfo DateModeNames{"TDTDateMode", {"dmComboBox", "dmUpDown"}};

// The limits before the value, so that a stored value within them is kept.
const TPublishedRegistration dateTimePickerRegistration(&TDateTimePicker::ClassInfo, {
    Property<&TWinControl::TabStop, &TWinControl::SetTabStop>("TabStop").Default(true),
    Property<&TDateTimePicker::Kind, &TDateTimePicker::SetKind>("Kind", DateTimeKindNames).Default(dtkDate),
    Property<&TDateTimePicker::DateFormat, &TDateTimePicker::SetDateFormat>("DateFormat", DateFormatNames)
        .Default(dfShort),
    Property<&TDateTimePicker::DateMode, &TDateTimePicker::SetDateMode>("DateMode", DateModeNames)
        .Default(dmComboBox),
    Property<&TDateTimePicker::Format, &TDateTimePicker::SetFormat>("Format"),
    Property<&TDateTimePicker::MinDate, &TDateTimePicker::SetMinDate>("MinDate"),
    Property<&TDateTimePicker::MaxDate, &TDateTimePicker::SetMaxDate>("MaxDate"),
    Property<&TDateTimePicker::DateTime, &TDateTimePicker::SetDateTime>("DateTime"),
    Property<&TDateTimePicker::ShowCheckbox, &TDateTimePicker::SetShowCheckbox>("ShowCheckbox").Default(false),
    Property<&TDateTimePicker::Checked, &TDateTimePicker::SetChecked>("Checked").Default(true),
    Event<&TDateTimePicker::OnChange>("OnChange"),
    Event<&TDateTimePicker::OnCloseUp>("OnCloseUp"),
    Event<&TDateTimePicker::OnDropDown>("OnDropDown"),
});

}  // namespace
