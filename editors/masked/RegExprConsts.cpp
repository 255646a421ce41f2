#include "editors/masked/RegExprConsts.h"

#include "platform/FormatSettings.h"

namespace {

struct TextOfId {
  int Id;
  const char* Text;
};

const TextOfId EnglishTexts[] = {
    {cxSRegExprLine, "Line"},
    {cxSRegExprChar, "Char"},
    {cxSRegExprNotAssignedSourceStream, "The source stream is not assigned"},
    {cxSRegExprEmptySourceStream, "The source stream is empty"},
    {cxSRegExprCantUsePlusQuantifier, "The '+' quantifier cannot be applied here"},
    {cxSRegExprCantUseStarQuantifier, "The '*' quantifier cannot be applied here"},
    {cxSRegExprEmptyAlternative, "The alternative should not be empty"},
    {cxSRegExprEmptyBlock, "The block should not be empty"},
    {cxSRegExprIllegalSymbol, "Illegal '%s'"},
    {cxSRegExprIllegalQuantifier, "Illegal quantifier '%s'"},
    {cxSRegExprIllegalIntegerValue, "Illegal integer value"},
    {cxSRegExprTooBigReferenceNumber, "Too big reference number"},
    {cxSRegExprCantCreateEmptyEnum, "Can't create empty enumeration"},
    {cxSRegExprSubrangeOrder, "The starting character of the subrange must be less than the finishing one"},
    {cxSRegExprHexNumberExpected0, "Hexadecimal number expected"},
    {cxSRegExprHexNumberExpected, "Hexadecimal number expected but '%s' found"},
    {cxSRegExprMissing, "Missing '%s'"},
    {cxSRegExprUnnecessary, "Unnecessary '%s'"},
    {cxSRegExprIncorrectSpace, "The space character is not allowed after '\\'"},
    {cxSRegExprNotCompiled, "Regular expression is not compiled"},
    {cxSRegExprIncorrectParameterQuantifier, "Incorrect parameter quantifier"},
    {cxSRegExprCantUseParameterQuantifier, "The parameter quantifier cannot be applied here"},
    {cxSRegExprErrors, "Regular expression errors:"},
    {cxSRegExprTooDeepNesting, "Groups are nested more than %s deep"},
    {cxSRegExprTooComplex, "The expression is too complex"},
    {cxSRegExprTooManyQuantifiers, "More than %s quantifiers follow one item"},
    {cxSRegExprTooBigRepeatCount, "The repeat count is above %s"},
};

TcxRegExprResStringLoader Loader = nullptr;
TcxRegExprLocaleSource LocaleSource = nullptr;

}  // namespace

AnsiString cxRegExprResString(int id) {
  AnsiString text;
  if (Loader && Loader(id, text)) return text;
  for (const TextOfId& entry : EnglishTexts)
    if (entry.Id == id) return entry.Text;
  return AnsiString();
}

void cxSetRegExprResStringLoader(TcxRegExprResStringLoader loader) { Loader = loader; }

TcxRegExprLocaleChars cxRegExprSystemLocale() {
  const TFormatSettings& settings = FormatSettings();
  return {settings.DateSeparator, settings.TimeSeparator, settings.DecimalSeparator};
}

TcxRegExprLocaleChars cxRegExprLocale() { return LocaleSource ? LocaleSource() : cxRegExprSystemLocale(); }

void cxSetRegExprLocaleSource(TcxRegExprLocaleSource source) { LocaleSource = source; }
