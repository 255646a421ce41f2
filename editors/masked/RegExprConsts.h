// Texts and locale characters the regular-expression engine shows and tests.
// Portable: the texts are the editors' resource strings, read at each use so a
// replacement applies; the locale's separators come from the program's format
// settings (platform/FormatSettings.h).
#pragma once

#include "editors/framework/EditConsts.h"
#include "platform/Text.h"

// The engine's texts are the editors' resource strings (EditConsts.h); these
// are the masks refused by the engine's own limits (see RegExpr.cpp).
inline constexpr TResourceString cxSRegExprTooDeepNesting{0xE300, "Groups are nested more than %s deep"};
inline constexpr TResourceString cxSRegExprTooComplex{0xE301, "The expression is too complex"};
inline constexpr TResourceString cxSRegExprTooManyQuantifiers{0xE302, "More than %s quantifiers follow one item"};
inline constexpr TResourceString cxSRegExprTooBigRepeatCount{0xE303, "The repeat count is above %s"};

// The locale characters the pattern language refers to; 0 stands for a
// separator the locale leaves empty (nothing then matches it).
struct TcxRegExprLocaleChars {
  char DateSeparator;
  char TimeSeparator;
  char DecimalSeparator;
};
// What the engine reads, at the moment of each test: the source installed with
// cxSetRegExprLocaleSource, else the program's format settings
// (cxRegExprSystemLocale).
TcxRegExprLocaleChars cxRegExprLocale();
using TcxRegExprLocaleSource = TcxRegExprLocaleChars (*)();
void cxSetRegExprLocaleSource(TcxRegExprLocaleSource source);
// The separators of the program's format settings.
TcxRegExprLocaleChars cxRegExprSystemLocale();
