#include "platform/NumberText.h"

#include "platform/Exceptions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

void TrimTrailingZeros(TDecimalDigits& number) {
  while (!number.Digits.empty() && number.Digits.back() == '0') number.Digits.pop_back();
  if (number.Digits.empty()) number.Exponent = 0;
}

// `count` digits of `number` from digit index `from` (0-based), with zeros
// where it has none.
AnsiString DigitRun(const TDecimalDigits& number, int from, int count) {
  AnsiString run;
  for (int i = from; i < from + count; ++i)
    run += i >= 0 && i < static_cast<int>(number.Digits.size()) ? number.Digits[static_cast<size_t>(i)] : '0';
  return run;
}

// The digits before the decimal point ("" for values below one).
AnsiString IntegerDigits(const TDecimalDigits& number) {
  return number.Exponent > 0 ? DigitRun(number, 0, number.Exponent) : AnsiString();
}

AnsiString GroupThousands(const AnsiString& digits, char separator) {
  AnsiString out;
  for (size_t i = 0; i < digits.size(); ++i) {
    out += digits[i];
    const size_t left = digits.size() - 1 - i;
    if (left > 0 && left % 3 == 0) out += separator;
  }
  return out;
}

AnsiString ExponentText(int exponent, bool plusSign, int minDigits) {
  AnsiString text = exponent < 0 ? "-" : plusSign ? "+" : "";
  AnsiString digits = std::to_string(exponent < 0 ? -static_cast<int64_t>(exponent) : exponent);
  if (static_cast<int>(digits.size()) < minDigits) digits.insert(0, static_cast<size_t>(minDigits) - digits.size(), '0');
  return text + digits;
}

// Fixed notation with `decimals` decimals (the number is rounded already).
AnsiString FixedText(const TDecimalDigits& number, int decimals, bool thousands, const TFormatSettings& settings) {
  AnsiString whole = IntegerDigits(number);
  if (whole.empty()) whole = "0";
  AnsiString text = thousands ? GroupThousands(whole, settings.ThousandSeparator) : whole;
  if (decimals > 0) text += settings.DecimalSeparator + DigitRun(number, number.Exponent, decimals);
  return text;
}

AnsiString CurrencyText(const AnsiString& amount, bool negative, const TFormatSettings& settings) {
  const AnsiString& s = settings.CurrencyString;
  if (!negative) {
    switch (settings.CurrencyFormat) {
      case 1: return amount + s;
      case 2: return s + " " + amount;
      case 3: return amount + " " + s;
      default: return s + amount;
    }
  }
  const AnsiString& n = amount;
  switch (settings.NegCurrFormat) {
    case 1: return "-" + s + n;
    case 2: return s + "-" + n;
    case 3: return s + n + "-";
    case 4: return "(" + n + s + ")";
    case 5: return "-" + n + s;
    case 6: return n + "-" + s;
    case 7: return n + s + "-";
    case 8: return "-" + n + " " + s;
    case 9: return "-" + s + " " + n;
    case 10: return n + " " + s + "-";
    case 11: return s + " " + n + "-";
    case 12: return s + " -" + n;
    case 13: return n + "- " + s;
    case 14: return "(" + s + " " + n + ")";
    case 15: return "(" + n + " " + s + ")";
    default: return "(" + s + n + ")";
  }
}

AnsiString GeneralText(TDecimalDigits number, int precision, int digits, const TFormatSettings& settings) {
  RoundDigits(number, precision);
  if (number.IsZero()) return "0";
  const AnsiString sign = number.Negative ? "-" : "";
  if (number.Exponent > precision || number.Exponent < -3) {
    AnsiString text = sign + number.Digits.substr(0, 1);
    if (number.Digits.size() > 1) text += settings.DecimalSeparator + number.Digits.substr(1);
    return text + "E" + ExponentText(number.Exponent - 1, false, digits);
  }
  const int decimals = std::max(0, static_cast<int>(number.Digits.size()) - number.Exponent);
  return sign + FixedText(number, decimals, false, settings);
}

// One section of a format picture, as read.
struct TPicture {
  AnsiString Text;
  int IntegerPlaces = 0;      // "0" and "#" before the decimal point
  int FirstIntegerZero = -1;  // 1-based place of the first integer "0"
  int FractionPlaces = 0;
  int LastFractionZero = 0;   // 1-based place of the last fraction "0"
  bool Thousands = false;
  bool Scientific = false;
  int ExponentDigits = 0;
};

std::vector<AnsiString> SplitSections(const AnsiString& format) {
  std::vector<AnsiString> sections(1);
  char quote = 0;
  for (char c : format) {
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == ';') {
      if (sections.size() == 3) break;
      sections.emplace_back();
      continue;
    }
    sections.back() += c;
  }
  return sections;
}

bool IsExponentAt(const AnsiString& text, size_t i) {
  return (text[i] == 'E' || text[i] == 'e') && i + 1 < text.size() && (text[i + 1] == '+' || text[i + 1] == '-');
}

TPicture ReadPicture(const AnsiString& text) {
  TPicture p;
  p.Text = text;
  bool point = false;
  char quote = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == '0' || c == '#') {
      if (!point) {
        ++p.IntegerPlaces;
        if (c == '0' && p.FirstIntegerZero < 0) p.FirstIntegerZero = p.IntegerPlaces;
      } else {
        ++p.FractionPlaces;
        if (c == '0') p.LastFractionZero = p.FractionPlaces;
      }
    } else if (c == '.') {
      point = true;
    } else if (c == ',') {
      p.Thousands = true;
    } else if (IsExponentAt(text, i)) {
      p.Scientific = true;
      i += 2;
      while (i < text.size() && text[i] == '0' && p.ExponentDigits < 4) {
        ++p.ExponentDigits;
        ++i;
      }
      if (p.ExponentDigits == 0) p.ExponentDigits = 1;
      break;  // what follows the exponent is text
    }
  }
  return p;
}

// Writes `number` (rounded already) through picture `p`.
AnsiString ApplyPicture(const TPicture& p, const TDecimalDigits& number, int exponent10, bool showMinus,
                        const TFormatSettings& settings) {
  // The digits that fill the integer and fraction places.
  AnsiString whole, fraction;
  if (p.Scientific) {
    whole = DigitRun(number, 0, p.IntegerPlaces);
    fraction = DigitRun(number, p.IntegerPlaces, p.FractionPlaces);
    const size_t firstSignificant = whole.find_first_not_of('0');
    whole = firstSignificant == AnsiString::npos ? AnsiString() : whole.substr(firstSignificant);
  } else {
    whole = IntegerDigits(number);
    fraction = DigitRun(number, number.Exponent, p.FractionPlaces);
  }
  int shownFraction = p.LastFractionZero;
  for (int i = static_cast<int>(fraction.size()); i > shownFraction; --i)
    if (fraction[static_cast<size_t>(i - 1)] != '0') {
      shownFraction = i;
      break;
    }

  AnsiString out = showMinus ? "-" : "";
  const int wholeDigits = static_cast<int>(whole.size());
  auto thousandsAfter = [&](int place) {
    if (p.Thousands && !p.Scientific && place > 1 && (place - 1) % 3 == 0) out += settings.ThousandSeparator;
  };
  int integerSeen = 0, fractionSeen = 0;
  bool point = false, exponentDone = false;
  char quote = 0;
  const AnsiString& text = p.Text;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quote) {
      if (c == quote) quote = 0;
      else out += c;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if ((c == '0' || c == '#') && !exponentDone) {
      if (!point) {
        ++integerSeen;
        if (integerSeen == 1)
          for (int k = 0; k < wholeDigits - p.IntegerPlaces; ++k) {
            out += whole[static_cast<size_t>(k)];
            thousandsAfter(wholeDigits - k);
          }
        const int place = p.IntegerPlaces - integerSeen + 1;
        if (place <= wholeDigits) {
          out += whole[static_cast<size_t>(wholeDigits - place)];
          thousandsAfter(place);
        } else if (p.FirstIntegerZero > 0 && integerSeen >= p.FirstIntegerZero) {
          out += '0';
          thousandsAfter(place);
        }
      } else {
        ++fractionSeen;
        if (fractionSeen <= shownFraction) out += fraction[static_cast<size_t>(fractionSeen - 1)];
      }
    } else if (c == '.' && !point && !exponentDone) {
      point = true;
      if (integerSeen == 0)  // no integer places: the integer digits go before the point
        for (int k = 0; k < wholeDigits; ++k) {
          out += whole[static_cast<size_t>(k)];
          thousandsAfter(wholeDigits - k);
        }
      if (shownFraction > 0) out += settings.DecimalSeparator;
    } else if (c == ',' && !exponentDone) {
    } else if (p.Scientific && !exponentDone && IsExponentAt(text, i)) {
      out += c;
      out += ExponentText(exponent10, text[i + 1] == '+', p.ExponentDigits);
      i += 1;
      for (int zeros = 0; zeros < p.ExponentDigits && i + 1 < text.size() && text[i + 1] == '0'; ++zeros) ++i;
      exponentDone = true;
    } else {
      out += c;
    }
  }
  return out;
}

// Rounds for picture `p`; answers the power of ten of scientific notation.
int RoundForPicture(const TPicture& p, TDecimalDigits& number) {
  if (p.Scientific) {
    RoundDigits(number, std::clamp(p.IntegerPlaces + p.FractionPlaces, 1, 18));
    return number.IsZero() ? 0 : number.Exponent - p.IntegerPlaces;
  }
  RoundDigits(number, number.Exponent + p.FractionPlaces);
  return 0;
}

bool ParseNumber(const AnsiString& text, char decimalSeparator, bool& negative, AnsiString& digits, int& pointAt,
                 int64_t& exponent) {
  size_t i = 0;
  const size_t n = text.size();
  auto blank = [&](size_t at) { return static_cast<unsigned char>(text[at]) <= 0x20; };
  while (i < n && blank(i)) ++i;
  negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  digits.clear();
  pointAt = -1;
  for (; i < n; ++i) {
    const char c = text[i];
    if (c >= '0' && c <= '9') {
      digits += c;
    } else if (c == decimalSeparator && pointAt < 0) {
      pointAt = static_cast<int>(digits.size());
    } else {
      break;
    }
  }
  if (digits.empty() || digits.size() > 100000) return false;
  if (pointAt < 0) pointAt = static_cast<int>(digits.size());
  exponent = 0;
  if (i < n && (text[i] == 'E' || text[i] == 'e')) {
    ++i;
    bool expNegative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) expNegative = text[i++] == '-';
    const size_t start = i;
    for (; i < n && text[i] >= '0' && text[i] <= '9'; ++i)
      if (exponent < 100000) exponent = exponent * 10 + (text[i] - '0');
    if (i == start) return false;
    if (expNegative) exponent = -exponent;
  }
  while (i < n && blank(i)) ++i;
  return i == n;
}

TDecimalDigits ParsedDigits(bool negative, const AnsiString& digits, int pointAt, int64_t exponent) {
  TDecimalDigits number;
  number.Negative = negative;
  const size_t first = digits.find_first_not_of('0');
  if (first == AnsiString::npos) return number;
  number.Digits = digits.substr(first);
  number.Exponent = static_cast<int>(pointAt - static_cast<int64_t>(first) + exponent);
  TrimTrailingZeros(number);
  return number;
}

}  // namespace

TDecimalDigits DoubleDigits(double value) {
  TDecimalDigits number;
  number.Negative = std::signbit(value);
  if (value == 0 || !std::isfinite(value)) return number;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.30e", std::fabs(value));
  // d.dddddde+XX
  const AnsiString text = buffer;
  const size_t e = text.find('e');
  number.Digits = text.substr(0, 1) + text.substr(2, e - 2);
  number.Exponent = std::atoi(text.c_str() + e + 1) + 1;
  TrimTrailingZeros(number);
  return number;
}

TDecimalDigits ScaledDigits(int64_t value, int scale) {
  TDecimalDigits number;
  number.Negative = value < 0;
  const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
  if (magnitude == 0) return number;
  number.Digits = std::to_string(magnitude);
  number.Exponent = static_cast<int>(number.Digits.size()) - scale;
  TrimTrailingZeros(number);
  return number;
}

void RoundDigits(TDecimalDigits& number, int count) {
  if (count >= static_cast<int>(number.Digits.size())) return;
  if (count < 0) {
    number.Digits.clear();
    number.Exponent = 0;
    return;
  }
  const bool up = number.Digits[static_cast<size_t>(count)] >= '5';
  number.Digits.resize(static_cast<size_t>(count));
  if (up) {
    int i = count - 1;
    while (i >= 0 && number.Digits[static_cast<size_t>(i)] == '9') number.Digits[static_cast<size_t>(i--)] = '0';
    if (i < 0) {
      number.Digits.insert(0, 1, '1');
      ++number.Exponent;
    } else {
      ++number.Digits[static_cast<size_t>(i)];
    }
  }
  TrimTrailingZeros(number);
}

AnsiString DigitsToStrF(const TDecimalDigits& value, TFloatFormat format, int precision, int digits,
                        const TFormatSettings& settings) {
  precision = std::clamp(precision, 1, 64);
  digits = std::clamp(digits, 0, 64);
  TDecimalDigits number = value;
  switch (format) {
    case ffGeneral:
      return GeneralText(number, precision, std::min(digits, 4), settings);
    case ffExponent: {
      RoundDigits(number, precision);
      const int exponent = number.IsZero() ? 0 : number.Exponent - 1;
      AnsiString text = number.Negative && !number.IsZero() ? "-" : "";
      text += DigitRun(number, 0, 1);
      if (precision > 1) text += settings.DecimalSeparator + DigitRun(number, 1, precision - 1);
      return text + "E" + ExponentText(exponent, true, std::min(digits, 4));
    }
    case ffFixed:
    case ffNumber:
    case ffCurrency: {
      if (format != ffCurrency && number.Exponent > precision) return GeneralText(number, precision, 0, settings);
      RoundDigits(number, std::min(precision, number.Exponent + digits));
      const AnsiString amount = FixedText(number, digits, format != ffFixed, settings);
      const bool negative = number.Negative && !number.IsZero();
      if (format == ffCurrency) return CurrencyText(amount, negative, settings);
      return negative ? "-" + amount : amount;
    }
  }
  return AnsiString();
}

AnsiString FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& settings) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  return DigitsToStrF(DoubleDigits(value), format, std::min(precision, 18), std::min(digits, 18), settings);
}

AnsiString FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
  return FloatToStrF(value, format, precision, digits, FormatSettings());
}

AnsiString FloatToStr(double value, const TFormatSettings& settings) {
  return FloatToStrF(value, ffGeneral, 15, 0, settings);
}

AnsiString FloatToStr(double value) { return FloatToStr(value, FormatSettings()); }

AnsiString FormatDigits(const AnsiString& format, const TDecimalDigits& value, const TFormatSettings& settings) {
  if (format.empty()) return DigitsToStrF(value, ffGeneral, 15, 0, settings);
  const std::vector<AnsiString> sections = SplitSections(format);
  auto pick = [&](size_t index) { return index < sections.size() && !sections[index].empty(); };
  size_t section = 0;
  if (value.IsZero() && pick(2)) section = 2;
  else if (value.Negative && !value.IsZero() && pick(1)) section = 1;
  TPicture picture = ReadPicture(sections[section]);
  if (!picture.Scientific && value.Exponent > 18) return DigitsToStrF(value, ffGeneral, 15, 0, settings);
  TDecimalDigits number = value;
  int exponent10 = RoundForPicture(picture, number);
  if (number.IsZero() && section != 2 && pick(2)) {
    section = 2;
    picture = ReadPicture(sections[section]);
    exponent10 = RoundForPicture(picture, number);
  }
  const bool showMinus = section == 0 && number.Negative && !number.IsZero();
  return ApplyPicture(picture, number, exponent10, showMinus, settings);
}

AnsiString FormatFloat(const AnsiString& format, double value, const TFormatSettings& settings) {
  if (!std::isfinite(value)) return FloatToStr(value, settings);
  return FormatDigits(format, DoubleDigits(value), settings);
}

AnsiString FormatFloat(const AnsiString& format, double value) { return FormatFloat(format, value, FormatSettings()); }

bool TryStrToDigits(const AnsiString& text, TDecimalDigits& number, const TFormatSettings& settings) {
  bool negative;
  AnsiString digits;
  int pointAt;
  int64_t exponent;
  if (!ParseNumber(text, settings.DecimalSeparator, negative, digits, pointAt, exponent)) return false;
  number = ParsedDigits(negative, digits, pointAt, exponent);
  return true;
}

bool TryStrToFloat(const AnsiString& text, double& value, const TFormatSettings& settings) {
  TDecimalDigits number;
  if (!TryStrToDigits(text, number, settings)) return false;
  const bool negative = number.Negative;
  if (number.IsZero()) {
    value = negative ? -0.0 : 0.0;
    return true;
  }
  if (number.Exponent > 400) return false;
  if (number.Exponent < -400) {
    value = negative ? -0.0 : 0.0;
    return true;
  }
  const AnsiString plain = (negative ? "-0." : "0.") + number.Digits + "e" + std::to_string(number.Exponent);
  const double result = std::strtod(plain.c_str(), nullptr);
  if (!std::isfinite(result)) return false;
  value = result;
  return true;
}

bool TryStrToFloat(const AnsiString& text, double& value) { return TryStrToFloat(text, value, FormatSettings()); }

double StrToFloat(const AnsiString& text, const TFormatSettings& settings) {
  double value;
  if (!TryStrToFloat(text, value, settings)) throw EConvertError("'" + text + "' is not a valid floating point value");
  return value;
}

double StrToFloat(const AnsiString& text) { return StrToFloat(text, FormatSettings()); }

double StrToFloatDef(const AnsiString& text, double fallback) {
  double value;
  return TryStrToFloat(text, value) ? value : fallback;
}

bool TryFloatToCurr(double value, Currency& amount) {
  if (!std::isfinite(value)) return false;
  const double scaled = std::nearbyint(value * static_cast<double>(CurrencyScale));
  // 2^63 is exactly representable; anything at or beyond it does not fit.
  if (scaled >= 9223372036854775808.0 || scaled < -9223372036854775808.0) return false;
  amount.Raw = static_cast<int64_t>(scaled);
  return true;
}

Currency FloatToCurr(double value) {
  Currency amount;
  if (!TryFloatToCurr(value, amount)) throw EConvertError(FloatToStr(value) + " is not within the valid range of currency values");
  return amount;
}

AnsiString CurrToStr(Currency value, const TFormatSettings& settings) {
  return DigitsToStrF(ScaledDigits(value.Raw, 4), ffGeneral, 19, 0, settings);
}

AnsiString CurrToStr(Currency value) { return CurrToStr(value, FormatSettings()); }

AnsiString CurrToStrF(Currency value, TFloatFormat format, int digits, const TFormatSettings& settings) {
  return DigitsToStrF(ScaledDigits(value.Raw, 4), format, 19, digits, settings);
}

AnsiString CurrToStrF(Currency value, TFloatFormat format, int digits) {
  return CurrToStrF(value, format, digits, FormatSettings());
}

AnsiString FormatCurr(const AnsiString& format, Currency value, const TFormatSettings& settings) {
  return FormatDigits(format, ScaledDigits(value.Raw, 4), settings);
}

AnsiString FormatCurr(const AnsiString& format, Currency value) { return FormatCurr(format, value, FormatSettings()); }

bool TryDigitsToCurr(const TDecimalDigits& number, Currency& value) {
  const bool negative = number.Negative;
  if (number.IsZero()) {
    value = Currency{};
    return true;
  }
  // Ten-thousandths as digits: the whole amount, then the rest for rounding.
  const int units = number.Exponent + 4;
  if (units > 19) return false;
  if (units < 0) {
    value = Currency{};
    return true;
  }
  const AnsiString kept = DigitRun(number, 0, units);
  const AnsiString rest = number.Digits.size() > static_cast<size_t>(units) ? number.Digits.substr(static_cast<size_t>(units)) : "";
  uint64_t magnitude = 0;
  for (char c : kept) {
    if (magnitude > (UINT64_MAX - 9) / 10) return false;
    magnitude = magnitude * 10 + static_cast<uint64_t>(c - '0');
  }
  if (!rest.empty()) {
    const bool above = rest[0] > '5' || (rest[0] == '5' && rest.find_first_not_of('0', 1) != AnsiString::npos);
    const bool half = rest[0] == '5' && rest.find_first_not_of('0', 1) == AnsiString::npos;
    if (above || (half && magnitude % 2 == 1)) ++magnitude;
  }
  const uint64_t limit = negative ? 0x8000000000000000ull : 0x7FFFFFFFFFFFFFFFull;
  if (magnitude > limit) return false;
  value.Raw = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
  return true;
}

bool TryStrToCurr(const AnsiString& text, Currency& value, const TFormatSettings& settings) {
  TDecimalDigits number;
  return TryStrToDigits(text, number, settings) && TryDigitsToCurr(number, value);
}

bool TryStrToCurr(const AnsiString& text, Currency& value) { return TryStrToCurr(text, value, FormatSettings()); }

Currency StrToCurr(const AnsiString& text, const TFormatSettings& settings) {
  Currency value;
  if (!TryStrToCurr(text, value, settings)) throw EConvertError("'" + text + "' is not a valid floating point value");
  return value;
}

Currency StrToCurr(const AnsiString& text) { return StrToCurr(text, FormatSettings()); }
