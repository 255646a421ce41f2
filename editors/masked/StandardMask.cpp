#include "editors/masked/StandardMask.h"

#include "editors/masked/RegExprConsts.h"

#include <algorithm>

namespace {

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }
bool IsAsciiLetter(char ch) { return (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z'); }

}  // namespace

bool TcxStandardMaskManyItem::Check(char& ch) const {
  const bool passes = Passes(ch);
  if (FCaseConversion == ccUpperCase && ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  else if (FCaseConversion == ccLowerCase && ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
  return passes;
}

bool TcxStandardMaskNumericItem::Passes(char ch) const { return IsDigit(ch); }
bool TcxStandardMaskNumericSymbolItem::Passes(char ch) const { return IsDigit(ch) || ch == '+' || ch == '-'; }
bool TcxStandardMaskAlphaItem::Passes(char ch) const { return IsAsciiLetter(ch); }
bool TcxStandardMaskAlphaNumericItem::Passes(char ch) const { return IsDigit(ch) || IsAsciiLetter(ch); }

void TcxStandardMask::Compile(const AnsiString& mask) {
  FItems.clear();
  FLeading = false;
  FSaveLiteralCharacters = true;
  FBlankChar = '_';
  FMask = mask;
  if (!mask.empty() && mask[0] == '!') {
    FLeading = true;
    parseStandardMask(mask.substr(1));
  } else {
    parseStandardMask(mask);
  }
}

void TcxStandardMask::addLiteral(char ch) { FItems.push_back(std::make_unique<TcxStandardMaskLiteralItem>(ch)); }

void TcxStandardMask::addMany(char kind, TcxStandardMaskCaseConversion caseConversion) {
  // Upper-case mask letters are required positions, lower-case ones and "9"
  // and "#" optional ones.
  const bool optional = kind == '9' || kind == '#' || (kind >= 'a' && kind <= 'z');
  std::unique_ptr<TcxStandardMaskCustomItem> item;
  switch (kind) {
    case '0': case '9': item = std::make_unique<TcxStandardMaskNumericItem>(caseConversion, optional); break;
    case '#': item = std::make_unique<TcxStandardMaskNumericSymbolItem>(caseConversion, optional); break;
    case 'L': case 'l': item = std::make_unique<TcxStandardMaskAlphaItem>(caseConversion, optional); break;
    case 'A': case 'a': item = std::make_unique<TcxStandardMaskAlphaNumericItem>(caseConversion, optional); break;
    default: item = std::make_unique<TcxStandardMaskASCIIItem>(caseConversion, optional); break;
  }
  FItems.push_back(std::move(item));
}

void TcxStandardMask::parseStandardMask(const AnsiString& mask) {
  TcxStandardMaskCaseConversion caseConversion = ccNone;
  const size_t length = mask.size();
  for (size_t i = 0; i < length; ++i) {
    const char ch = mask[i];
    const size_t following = length - i - 1;
    switch (ch) {
      case '0': case '9': case '#': case 'L': case 'l': case 'A': case 'a': case 'C': case 'c':
        addMany(ch, caseConversion);
        break;
      case '>':
        caseConversion = ccUpperCase;
        break;
      case '<':
        if (following > 0 && mask[i + 1] == '>') {
          caseConversion = ccNone;
          ++i;
        } else {
          caseConversion = ccLowerCase;
        }
        break;
      case '\\':
        // A backslash at the very end escapes nothing and is dropped.
        if (following > 0) addLiteral(mask[++i]);
        break;
      case '/':
      case ':': {
        // The separator as the locale has it now; a locale that leaves it
        // empty gets no position.
        const TcxRegExprLocaleChars locale = cxRegExprLocale();
        const char separator = ch == '/' ? locale.DateSeparator : locale.TimeSeparator;
        if (separator != 0) addLiteral(separator);
        break;
      }
      case ';': {
        const bool flag = following > 0 && (mask[i + 1] == '0' || mask[i + 1] == '1');
        if (flag && (following == 1 || (following == 3 && mask[i + 2] == ';'))) {
          FSaveLiteralCharacters = mask[i + 1] == '1';
          if (following == 3) FBlankChar = mask[i + 3];
          return;
        }
        addLiteral(ch);
        break;
      }
      default:
        addLiteral(ch);
        break;
    }
  }
}

int TcxStandardMask::fitChar(char ch, int from, int step, bool useConverted, bool textHasLiterals,
                             AnsiString& result) const {
  for (int position = from; position >= 0 && position < Count(); position += step) {
    const TcxStandardMaskCustomItem& item = *FItems[position];
    if (item.IsLiteral() && !FSaveLiteralCharacters && !textHasLiterals) continue;
    char converted = ch;
    if (item.Check(converted)) {
      result[position] = useConverted ? converted : ch;
      return position;
    }
    // A blank or a space takes an editable position and leaves it blank.
    if ((ch == FBlankChar || ch == ' ') && !item.IsLiteral()) return position;
  }
  return -1;
}

AnsiString TcxStandardMask::FitText(const AnsiString& text, bool useConverted, bool textHasLiterals) const {
  AnsiString result = EmptyShownText();
  const int length = static_cast<int>(text.size());
  if (FLeading) {
    int position = Count() - 1;
    for (int i = length - 1; i >= 0 && position >= 0; --i) {
      const int taken = fitChar(text[i], position, -1, useConverted, textHasLiterals, result);
      if (taken >= 0) position = taken - 1;
    }
  } else {
    int position = 0;
    for (int i = 0; i < length && position < Count(); ++i) {
      const int taken = fitChar(text[i], position, 1, useConverted, textHasLiterals, result);
      if (taken >= 0) position = taken + 1;
    }
  }
  return result;
}

AnsiString TcxStandardMask::TextToValue(const AnsiString& text) const {
  AnsiString value;
  const size_t count = std::min(text.size(), FItems.size());
  for (size_t i = 0; i < count; ++i) {
    if (FItems[i]->IsLiteral()) {
      if (FSaveLiteralCharacters) value += static_cast<const TcxStandardMaskLiteralItem&>(*FItems[i]).Literal();
    } else {
      value += text[i] == FBlankChar ? ' ' : text[i];
    }
  }
  return value;
}

bool TcxStandardMask::IsComplete(const AnsiString& text) const {
  if (text.size() != FItems.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    char ch = text[i];
    const TcxStandardMaskCustomItem& item = *FItems[i];
    if (item.Check(ch)) continue;
    const bool blank = text[i] == FBlankChar || text[i] == ' ';
    if (blank && !item.IsLiteral() && static_cast<const TcxStandardMaskManyItem&>(item).Optional()) continue;
    return false;
  }
  return true;
}

AnsiString TcxStandardMask::EmptyValue() const {
  AnsiString value;
  for (const auto& item : FItems) {
    if (!item->IsLiteral()) value += ' ';
    else if (FSaveLiteralCharacters) value += static_cast<const TcxStandardMaskLiteralItem&>(*item).Literal();
  }
  return value;
}

AnsiString TcxStandardMask::EmptyShownText() const {
  AnsiString text;
  text.reserve(FItems.size());
  for (const auto& item : FItems)
    text += item->IsLiteral() ? static_cast<const TcxStandardMaskLiteralItem&>(*item).Literal() : FBlankChar;
  return text;
}
