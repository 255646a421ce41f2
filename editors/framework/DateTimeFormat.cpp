#include "editors/framework/DateTimeFormat.h"

#include "editors/framework/DateUtils.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <cctype>

namespace {

char Upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }
bool IsAsciiLetter(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }

class TFormatParser {
public:
  TFormatParser(TcxDateTimeFormatInfo& info, const TFormatSettings& settings) : FInfo(info), FSettings(settings) {}

  // One level of the format; false when it fails.
  bool Parse(const AnsiString& format, int depth) {
    bool designator = false;
    bool hourHere = false;
    const int n = static_cast<int>(format.size());
    int i = 0;
    while (i < n) {
      const char c = format[i];
      const char u = Upper(c);
      if (IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < n) {
        AddLiteral(format.substr(i, 2));
        i += 2;
        continue;
      }
      if (c == '\'' || c == '"') {
        const size_t close = format.find(c, i + 1);
        const size_t end = close == AnsiString::npos ? format.size() : close;
        AddLiteral(format.substr(i + 1, end - i - 1));
        i = static_cast<int>(close == AnsiString::npos ? end : close + 1);
        continue;
      }
      if (c == '/') {
        Add(fikDateSeparator, AnsiString());
        ++i;
        continue;
      }
      if (c == ':') {
        Add(fikTimeSeparator, AnsiString());
        ++i;
        continue;
      }
      if (!IsAsciiLetter(c)) {
        AddLiteral(AnsiString(1, c));
        ++i;
        continue;
      }
      int run = 1;
      while (i + run < n && format[i + run] == c) ++run;
      const char previousLetter = FLastLetter;
      FLastLetter = u;
      switch (u) {
        case 'Y':
        case 'E':
          Add(fikYear, run > 2 ? "YYYY" : "YY");
          break;
        case 'M':
          if (previousLetter == 'H') Add(fikMinute, AnsiString(std::min(run, 2), 'N'));
          else Add(fikMonth, AnsiString(std::min(run, 4), 'M'));
          break;
        case 'N':
          Add(fikMinute, AnsiString(std::min(run, 2), 'N'));
          break;
        case 'D':
          if (run <= 4) Add(fikDay, AnsiString(run, 'D'));
          else if (!Expand(run == 5 ? FSettings.ShortDateFormat : FSettings.LongDateFormat, depth)) return false;
          break;
        case 'H':
          if (Add(fikHour, AnsiString(std::min(run, 2), 'H'))) hourHere = true;
          break;
        case 'S':
          Add(fikSecond, AnsiString(std::min(run, 2), 'S'));
          break;
        case 'Z':
          Add(fikMillisecond, AnsiString(std::min(run, 3), 'Z'));
          break;
        case 'T':
          if (!Expand(run == 1 ? FSettings.ShortTimeFormat : FSettings.LongTimeFormat, depth)) return false;
          break;
        case 'C':
          if (!Expand(FSettings.ShortDateFormat + " " + FSettings.LongTimeFormat, depth)) return false;
          break;
        case 'G':
          return false;
        case 'A': {
          const AnsiString rest = format.substr(i);
          if (rest.size() >= 5 && SameText(rest.substr(0, 5), "AM/PM")) {
            Add(fikAmPm, rest.substr(0, 5));
            designator = true;
            i += 5;
          } else if (rest.size() >= 3 && SameText(rest.substr(0, 3), "A/P")) {
            Add(fikAmPm, rest.substr(0, 3));
            designator = true;
            i += 3;
          } else if (rest.size() >= 4 && SameText(rest.substr(0, 4), "AMPM")) {
            Add(fikAmPm, "AMPM");
            designator = true;
            i += 4;
          } else if (run >= 4) {
            Add(fikDay, "DDDD");
            i += 4;
          } else if (run == 3) {
            Add(fikDay, "DDD");
            i += 3;
          } else {
            AddLiteral(AnsiString(1, c));
            i += 1;
          }
          continue;
        }
        default:
          AddLiteral(format.substr(i, run));
          break;
      }
      i += run;
    }
    if (hourHere) FHour12 = designator;
    return true;
  }

  bool Hour12() const { return FHour12; }

private:
  // Another format's items in place of a letter; inside an expansion a
  // further one adds nothing.
  bool Expand(const AnsiString& format, int depth) {
    if (depth > 0) return true;
    const char lastLetter = FLastLetter;
    FLastLetter = 0;
    const bool ok = Parse(format, depth + 1);
    FLastLetter = lastLetter;
    return ok;
  }

  // Adds an item unless its kind (1-8) is there already; true when added.
  bool Add(uint8_t kind, const AnsiString& data) {
    if (kind >= fikYear && kind <= fikAmPm && FInfo.DefinedItems[kind]) return false;
    FInfo.DefinedItems[kind] = true;
    FInfo.Items.push_back({kind, data});
    return true;
  }

  void AddLiteral(const AnsiString& text) {
    if (text.empty()) return;
    if (!FInfo.Items.empty() && FInfo.Items.back().Kind == fikLiteral) FInfo.Items.back().Data += text;
    else Add(fikLiteral, text);
  }

  TcxDateTimeFormatInfo& FInfo;
  const TFormatSettings& FSettings;
  char FLastLetter = 0;
  bool FHour12 = false;
};

AnsiString LongerDesignatorLength(const TFormatSettings& settings, char fill) {
  return AnsiString(std::max(settings.TimeAMString.size(), settings.TimePMString.size()), fill);
}

// A separator character in a regular expression.
AnsiString RegExprSeparator(char separator) {
  if (separator == 0) return AnsiString();
  if (separator == ' ') return "' '";
  return AnsiString{'\\', separator};
}

}  // namespace

bool ParseDateTimeFormat(const AnsiString& format, TcxDateTimeFormatInfo& info) {
  return ParseDateTimeFormat(format, info, FormatSettings());
}

bool ParseDateTimeFormat(const AnsiString& format, TcxDateTimeFormatInfo& info, const TFormatSettings& settings) {
  info = TcxDateTimeFormatInfo{};
  TFormatParser parser(info, settings);
  if (!parser.Parse(format.empty() ? AnsiString("C") : format, 0)) {
    info = TcxDateTimeFormatInfo{};
    return false;
  }
  auto item = std::find_if(info.Items.begin(), info.Items.end(),
                           [](const TcxDateTimeFormatItem& x) { return x.Kind == fikHour; });
  if (item != info.Items.end()) {
    item->Data = (parser.Hour12() ? "12" : "24") + item->Data;
  } else if (info.DefinedItems[fikAmPm]) {
    std::erase_if(info.Items, [](const TcxDateTimeFormatItem& x) { return x.Kind == fikAmPm; });
    info.DefinedItems[fikAmPm] = false;
  }
  return true;
}

int AmPmKind(const AnsiString& text) {
  if (SameText(text, "A/P")) return 0;
  if (SameText(text, "AM/PM")) return 1;
  return 2;
}

AnsiString BuildStandardMask(const TcxDateTimeFormatInfo& info, int mode, const TFormatSettings& settings) {
  if (info.Items.empty()) return AnsiString();
  AnsiString result = mode == cxMaskTime ? "" : "!";
  const char* number = mode == cxMaskTime ? "00" : "99";
  for (const TcxDateTimeFormatItem& item : info.Items) {
    switch (item.Kind) {
      case fikLiteral:
        for (char c : item.Data) result += AnsiString{'\\', c};
        break;
      case fikYear: result += item.Data == "YY" ? "99" : "9999"; break;
      case fikMonth:
      case fikDay: result += item.Data.size() > 2 ? "lll" : "99"; break;
      case fikHour:
      case fikMinute:
      case fikSecond: result += number; break;
      case fikAmPm:
        switch (AmPmKind(item.Data)) {
          case 0: result += "c"; break;
          case 1: result += "cc"; break;
          default: result += LongerDesignatorLength(settings, 'c'); break;
        }
        break;
      case fikDateSeparator: result += "/"; break;
      case fikTimeSeparator: result += ":"; break;
      default: break;
    }
  }
  result += mode == cxMaskTime ? ";1;0" : ";1; ";
  return result;
}

AnsiString BuildRegExprMask(const TcxDateTimeFormatInfo& info, int mode, const TFormatSettings& settings) {
  AnsiString result;
  if (mode == cxMaskDate) {
    for (const TcxDateTimeFormatItem& item : info.Items) {
      switch (item.Kind) {
        case fikLiteral: AppendQuotedKeyword(result, item.Data); break;
        case fikYear: result += item.Data == "YY" ? "\\d\\d" : "\\d\\d\\d\\d"; break;
        case fikMonth: {
          result += "((0?[1-9]|1[012])|(";
          const AnsiString* names = item.Data == "MMMM" ? settings.LongMonthNames : settings.ShortMonthNames;
          for (int m = 0; m < 12; ++m) {
            if (m > 0) result += "|";
            AppendQuotedKeyword(result, names[m]);
          }
          result += "))";
          break;
        }
        case fikDay: result += "([012]?[1-9]|[123]0|31)"; break;
        case fikDateSeparator: result += RegExprSeparator(settings.DateSeparator); break;
        default: break;
      }
    }
  } else if (mode == cxMaskTime) {
    for (const TcxDateTimeFormatItem& item : info.Items) {
      switch (item.Kind) {
        case fikLiteral: AppendQuotedKeyword(result, item.Data); break;
        case fikHour: result += item.Data.starts_with("12") ? "(0?[1-9]|1[012])" : "([01]?\\d|2[0-3])"; break;
        case fikMinute:
        case fikSecond: result += "[0-5]?\\d"; break;
        case fikAmPm:
          switch (AmPmKind(item.Data)) {
            case 0: result += "(A|P)?"; break;
            case 1: result += "(AM|PM)?"; break;
            default: {
              AnsiString am, pm;
              AppendQuotedKeyword(am, settings.TimeAMString);
              AppendQuotedKeyword(pm, settings.TimePMString);
              if (!am.empty() && !pm.empty()) result += "(" + am + "|" + pm + ")?";
              else if (!am.empty() || !pm.empty()) result += "(" + am + pm + ")?";
              break;
            }
          }
          break;
        case fikTimeSeparator: result += RegExprSeparator(settings.TimeSeparator); break;
        default: break;
      }
    }
  }
  return result;
}

AnsiString BuildMaskedDisplayFormat(const TcxDateTimeFormatInfo& info) {
  AnsiString result;
  for (const TcxDateTimeFormatItem& item : info.Items) {
    switch (item.Kind) {
      case fikLiteral: {
        // A literal holding an apostrophe goes in double quotes.
        const char quote = item.Data.find('\'') == AnsiString::npos ? '\'' : '"';
        result += quote + item.Data + quote;
        break;
      }
      case fikYear: result += LowerCase(item.Data); break;
      case fikMonth: result += item.Data.size() > 2 ? "mmm" : "mm"; break;
      case fikDay: result += item.Data.size() > 2 ? "ddd" : "dd"; break;
      case fikHour: result += "hh"; break;
      case fikMinute: result += "nn"; break;
      case fikSecond: result += "ss"; break;
      case fikAmPm: result += LowerCase(item.Data); break;
      case fikDateSeparator: result += "/"; break;
      case fikTimeSeparator: result += ":"; break;
      default: break;
    }
  }
  return result;
}

int ItemTextLength(const TcxDateTimeFormatItem& item, const TFormatSettings& settings) {
  switch (item.Kind) {
    case fikLiteral: return static_cast<int>(item.Data.size());
    case fikYear: return item.Data == "YY" ? 2 : 4;
    case fikMonth:
    case fikDay: return item.Data.size() > 2 ? 3 : 2;
    case fikHour:
    case fikMinute:
    case fikSecond: return 2;
    case fikAmPm:
      switch (AmPmKind(item.Data)) {
        case 0: return 1;
        case 1: return 2;
        default: return static_cast<int>(LongerDesignatorLength(settings, ' ').size());
      }
    case fikDateSeparator:
    case fikTimeSeparator: return 1;
    default: return 0;
  }
}

int FormatTextLength(const TcxDateTimeFormatInfo& info, const TFormatSettings& settings) {
  int result = 0;
  for (const TcxDateTimeFormatItem& item : info.Items) result += ItemTextLength(item, settings);
  return result;
}

bool FindFormatPartAt(const TcxDateTimeFormatInfo& info, int position, TcxFormatPart& part,
                      const TFormatSettings& settings) {
  part = TcxFormatPart{};
  if (position <= 0) return false;
  int start = 1;
  for (const TcxDateTimeFormatItem& item : info.Items) {
    const int length = ItemTextLength(item, settings);
    if (position >= start && position < start + length) {
      part.Kind = item.Kind;
      part.Start = start;
      part.Length = length;
      part.AmPmKind = item.Kind == fikAmPm ? AmPmKind(item.Data) : 0;
      return true;
    }
    start += length;
  }
  return false;
}

AnsiString BuildDateEditPattern(const TFormatSettings& settings, bool limitMonthRun) {
  const AnsiString& format = settings.ShortDateFormat;
  AnsiString result;
  const size_t n = format.size();
  for (size_t i = 0; i < n; ++i) {
    const char c = format[i];
    const bool lone = (c == 'd' || c == 'M') && (i == 0 || format[i - 1] != c) && (i + 1 >= n || format[i + 1] != c);
    result += lone ? AnsiString(2, c) : AnsiString(1, c);
  }
  return limitMonthRun ? LimitMonthRun(result) : result;
}

AnsiString LimitMonthRun(const AnsiString& pattern) {
  const size_t first = pattern.find('M');
  if (first == AnsiString::npos) return pattern;
  size_t end = first;
  while (end < pattern.size() && pattern[end] == 'M') ++end;
  if (end - first <= 3) return pattern;
  return pattern.substr(0, first + 3) + pattern.substr(end);
}

AnsiString BuildCurrencyFormat(const TFormatSettings& settings) {
  const AnsiString number = ",0." + AnsiString(settings.CurrencyDecimals, '0');
  AnsiString symbol;
  for (char c : settings.CurrencyString) symbol += c == ',' || c == '.' ? AnsiString{'\'', c, '\''} : AnsiString(1, c);
  const AnsiString& s = symbol;
  const AnsiString& n = number;
  AnsiString positive;
  switch (settings.CurrencyFormat) {
    case 0: positive = s + n; break;
    case 1: positive = n + s; break;
    case 2: positive = s + " " + n; break;
    default: positive = n + " " + s; break;
  }
  AnsiString negative;
  switch (settings.NegCurrFormat) {
    case 0: negative = "(" + s + n + ")"; break;
    case 1: negative = "-" + s + n; break;
    case 2: negative = s + "-" + n; break;
    case 3: negative = s + n + "-"; break;
    case 4: negative = "(" + n + s + ")"; break;
    case 5: negative = "-" + n + s; break;
    case 6: negative = n + "-" + s; break;
    case 7: negative = n + s + "-"; break;
    case 8: negative = "-" + n + " " + s; break;
    case 9: negative = "-" + s + " " + n; break;
    case 10: negative = n + " " + s + "-"; break;
    case 11: negative = s + " " + n + "-"; break;
    case 12: negative = s + " -" + n; break;
    case 13: negative = n + "- " + s; break;
    case 14: negative = "(" + s + " " + n + ")"; break;
    default: negative = "(" + n + " " + s + ")"; break;
  }
  return positive + ";" + negative;
}
