// Fuzz target: text read as numbers, currency, BCD, dates and variants, and
// pictures from forms applied to numbers and dates. The first byte chooses
// the reading; nothing may crash, and numbers read back as they were written.
#include "platform/Bcd.h"
#include "platform/DateTime.h"
#include "platform/NumberText.h"
#include "platform/Variant.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

TFormatSettings Settings(uint8_t selector) {
  TFormatSettings s = InvariantFormatSettings();
  if (selector & 1) {
    s.DecimalSeparator = ',';
    s.ThousandSeparator = '.';
    s.DateSeparator = '.';
    s.ShortDateFormat = "dd.MM.yyyy";
    s.LongTimeFormat = "hh:mm:ss";
  }
  return s;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t selector = data[0];
  const AnsiString text(reinterpret_cast<const char*>(data + 1), size - 1);
  const TFormatSettings settings = Settings(selector >> 4);
  switch (selector % 7) {
    case 0: {
      double value;
      if (TryStrToFloat(text, value, settings)) {
        Check(std::isfinite(value));
        double back;
        Check(TryStrToFloat(FloatToStrF(value, ffGeneral, 17, 0, settings), back, settings) && back == value);
      }
      break;
    }
    case 1: {
      Currency value;
      if (TryStrToCurr(text, value, settings)) {
        Currency back;
        Check(TryStrToCurr(CurrToStr(value, settings), back, settings) && back == value);
      }
      break;
    }
    case 2: {
      TBcd value;
      if (TryStrToBcd(text, value, settings)) {
        TBcd back;
        Check(TryStrToBcd(BcdToStr(value, settings), back, settings) && BcdCompare(back, value) == 0);
        (void)BcdToStrF(value, ffNumber, 64, 10, settings);
      }
      break;
    }
    case 3: {
      TDateTime value;
      // Years 1 to 9999.
      if (TryStrToDateTime(text, value, settings)) Check(value > -693595 && value < MaxDateTime + 1);
      break;
    }
    case 4:
      (void)FormatFloat(text, 1234.5678, settings);
      (void)FormatFloat(text, -0.001, settings);
      (void)FormatFloat(text, 0, settings);
      (void)FormatFloat(text, 1e300, settings);
      (void)FormatCurr(text, Currency::FromRaw(INT64_MIN), settings);
      break;
    case 5:
      (void)FormatDateTime(text, 45306.5, settings);
      (void)FormatDateTime(text, -1.75, settings);
      break;
    default: {
      const Variant v(text);
      for (TVarType type : {varInteger, varByte, varInt64, varDouble, varCurrency, varBoolean, varFMTBcd, varDate}) {
        try {
          (void)v.AsType(type);
        } catch (const EVariantError&) {
        } catch (const EBcdException&) {
        }
      }
      try {
        (void)VarCompare(v, Variant(5));
      } catch (const EVariantError&) {
      }
      break;
    }
  }
  return 0;
}
