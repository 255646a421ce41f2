#include "editors/masked/RegExprConsts.h"

#include "platform/FormatSettings.h"

namespace {

TcxRegExprLocaleSource LocaleSource = nullptr;

}  // namespace

TcxRegExprLocaleChars cxRegExprSystemLocale() {
  const TFormatSettings& settings = FormatSettings();
  return {settings.DateSeparator, settings.TimeSeparator, settings.DecimalSeparator};
}

TcxRegExprLocaleChars cxRegExprLocale() { return LocaleSource ? LocaleSource() : cxRegExprSystemLocale(); }

void cxSetRegExprLocaleSource(TcxRegExprLocaleSource source) { LocaleSource = source; }
