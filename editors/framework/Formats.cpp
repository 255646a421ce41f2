#include "editors/framework/Formats.h"

#include "platform/Exceptions.h"
#include "platform/Forms.h"
#include "platform/HandleCounts.h"

#include <algorithm>
#include <cstring>

namespace {

// A top-level window that is never shown: message-only windows (such as the
// utility windows) are left out of broadcasts, and the locale change comes
// as a broadcast.
const char* const FormatWindowClass = "MevraFormatWatchWindow";

TcxFormatController* SharedController = nullptr;

}  // namespace

TcxFormatController::TcxFormatController() {
  if (!SharedController) SharedController = this;
  ReadLocaleFormats();
}

TcxFormatController::~TcxFormatController() {
  ReleaseWindow();
  delete FWindowMethod;
  if (SharedController == this) SharedController = nullptr;
}

void TcxFormatController::HandleLocaleChange(TMessage& message) {
  switch (message.Msg) {
    case WM_WININICHANGE: {
      const char* section = reinterpret_cast<const char*>(message.LParam);
      if (message.WParam == 0 && section && std::strcmp(section, "intl") == 0) {
        if (!Application || Application->UpdateFormatSettings()) {
          GetFormatSettings();
          ReadLocaleFormats();
          NotifyListeners();
        }
        message.Result = 0;
        return;
      }
      break;
    }
    case WM_TIMECHANGE:
      TimeChanged();
      message.Result = 0;
      return;
    default:
      break;
  }
  message.Result = DefWindowProcA(FWindow, message.Msg, message.WParam, message.LParam);
}

void TcxFormatController::AddListener(IcxLocaleFormatListener* listener) {
  if (!listener || std::find(FListeners.begin(), FListeners.end(), listener) != FListeners.end()) return;
  if (FListeners.empty() && !FWindow) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    if (!GetClassInfoA(instance, FormatWindowClass, &wc)) {
      wc.lpfnWndProc = MethodWindowProc;
      wc.hInstance = instance;
      wc.lpszClassName = FormatWindowClass;
      if (!RegisterClassA(&wc)) throw EOutOfResources("Cannot register the format watch window class");
    }
    FWindow = CreateWindowExA(0, FormatWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    if (!FWindow) throw EOutOfResources("Cannot create the format watch window");
    HandleCreated(hkWindow);
    if (!FWindowMethod) FWindowMethod = new TWndMethod(TWndMethod::Bind<&TcxFormatController::HandleLocaleChange>(this));
    SetWindowLongPtrA(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(FWindowMethod));
  }
  FListeners.push_back(listener);
}

void TcxFormatController::RemoveListener(IcxLocaleFormatListener* listener) {
  auto it = std::find(FListeners.begin(), FListeners.end(), listener);
  if (it == FListeners.end()) return;
  FListeners.erase(it);
  if (FListeners.empty()) ReleaseWindow();
}

void TcxFormatController::ReleaseWindow() {
  if (!FWindow) return;
  SetWindowLongPtrA(FWindow, GWLP_USERDATA, 0);
  DestroyWindow(FWindow);
  HandleDeleted(hkWindow);
  FWindow = nullptr;
}

AnsiString TcxFormatController::BuildStandardMask(const TcxDateTimeFormatInfo& info, int mode) {
  return ::BuildStandardMask(info, mode, FormatSettings());
}

AnsiString TcxFormatController::BuildRegExprMask(const TcxDateTimeFormatInfo& info, int mode) {
  return ::BuildRegExprMask(info, mode, FormatSettings());
}

AnsiString TcxFormatController::BuildMaskedDisplayFormat(const TcxDateTimeFormatInfo& info) {
  return ::BuildMaskedDisplayFormat(info);
}

int TcxFormatController::FormatTextLength(const TcxDateTimeFormatInfo& info) {
  return ::FormatTextLength(info, FormatSettings());
}

uint8_t TcxFormatController::LocaleStartOfWeek() {
  char buffer[8] = {};
  // LOCALE_IFIRSTDAYOFWEEK: 0 Monday .. 6 Sunday.
  if (GetLocaleInfoA(GetThreadLocale(), LOCALE_IFIRSTDAYOFWEEK, buffer, sizeof buffer) <= 0) return 0;
  const int monday0 = buffer[0] >= '0' && buffer[0] <= '6' ? buffer[0] - '0' : 6;
  return static_cast<uint8_t>((monday0 + 1) % 7);
}

void TcxFormatController::ReadLocaleFormats() {
  if (!FCurrencyDisplayFormatAssigned) FCurrencyDisplayFormat = BuildCurrencyFormat(FormatSettings());
  if (!FWeekStartDayAssigned) FWeekStartDay = LocaleStartOfWeek();
  RebuildMasks();
  FDateEditPattern = BuildDateEditPattern(FormatSettings());
}

void TcxFormatController::RebuildMasks() {
  const TFormatSettings& settings = FormatSettings();
  ParseDateTimeFormat(settings.ShortDateFormat, FDateInfo, settings);
  ParseDateTimeFormat(settings.LongTimeFormat, FTimeInfo, settings);
  ParseDateTimeFormat(settings.ShortDateFormat + " " + settings.LongTimeFormat, FDateTimeInfo, settings);
  FLocaleDateMask = ::BuildStandardMask(FDateInfo, cxMaskDate, settings);
  if (!FDateStandardMaskAssigned) FDateStandardMask = FLocaleDateMask;
  if (!FDateRegExprMaskAssigned) FDateRegExprMask = BuildDateRegExprMask(FDateInfo, settings);
  if (!FDateTimeRegExprMaskAssigned) FDateTimeRegExprMask = BuildDateTimeRegExprMask(FDateInfo, FTimeInfo, settings);
  if (!FDateTimeStandardMaskAssigned)
    FDateTimeStandardMask = ::BuildStandardMask(FDateTimeInfo, cxMaskDateTime, settings);
  FDateDisplayFormat = ::BuildMaskedDisplayFormat(FDateInfo);
  FDateTimeDisplayFormat = ::BuildMaskedDisplayFormat(FDateTimeInfo);
}

void TcxFormatController::BeginUpdate() { ++FUpdateLockCount; }

void TcxFormatController::EndUpdate() {
  if (FUpdateLockCount == 0) return;
  if (--FUpdateLockCount == 0 && FChangedWhileLocked) {
    FChangedWhileLocked = false;
    NotifyListeners();
  }
}

void TcxFormatController::FormatsChanged() {
  if (FUpdateLockCount > 0) FChangedWhileLocked = true;
  else NotifyListeners();
}

void TcxFormatController::NotifyListeners() {
  // A copy: a listener may remove itself (or another) while told.
  const std::vector<IcxLocaleFormatListener*> listeners = FListeners;
  for (IcxLocaleFormatListener* listener : listeners)
    if (std::find(FListeners.begin(), FListeners.end(), listener) != FListeners.end())
      listener->LocaleFormatsChanged();
}

void TcxFormatController::TimeChanged() {
  const std::vector<IcxLocaleFormatListener*> listeners = FListeners;
  for (IcxLocaleFormatListener* listener : listeners) {
    if (std::find(FListeners.begin(), FListeners.end(), listener) == FListeners.end()) continue;
    if (auto* time = dynamic_cast<IcxTimeChangeListener*>(listener)) time->SystemTimeChanged();
  }
}

void TcxFormatController::SetCurrencyDisplayFormat(const AnsiString& value) {
  FCurrencyDisplayFormatAssigned = true;
  if (FCurrencyDisplayFormat == value) return;
  FCurrencyDisplayFormat = value;
  FormatsChanged();
}

void TcxFormatController::SetDateRegExprMask(const AnsiString& value) {
  FDateRegExprMaskAssigned = true;
  if (FDateRegExprMask == value) return;
  FDateRegExprMask = value;
  FormatsChanged();
}

void TcxFormatController::SetDateTimeRegExprMask(const AnsiString& value) {
  FDateTimeRegExprMaskAssigned = true;
  if (FDateTimeRegExprMask == value) return;
  FDateTimeRegExprMask = value;
  FormatsChanged();
}

void TcxFormatController::SetDateStandardMask(const AnsiString& value) {
  FDateStandardMaskAssigned = true;
  if (FDateStandardMask == value) return;
  FDateStandardMask = value;
  FormatsChanged();
}

void TcxFormatController::SetDateTimeStandardMask(const AnsiString& value) {
  FDateTimeStandardMaskAssigned = true;
  if (FDateTimeStandardMask == value) return;
  FDateTimeStandardMask = value;
  FormatsChanged();
}

void TcxFormatController::SetWeekStartDay(uint8_t value) {
  FWeekStartDayAssigned = true;
  value = static_cast<uint8_t>(value % 7);
  if (FWeekStartDay == value) return;
  FWeekStartDay = value;
  FormatsChanged();
}

TcxFormatController* SharedFormatController() {
  if (!SharedController) New<TcxFormatController>();
  return SharedController;
}

TcxFormatController* ExistingFormatController() { return SharedController; }

void cxFormatsInit() {}

void cxFormatsDone() {
  if (SharedController) Free(SharedController);
}
