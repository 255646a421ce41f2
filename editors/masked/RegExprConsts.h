// Texts and locale characters the regular-expression engine shows and tests.
// Portable: the texts are the editors' resource strings (ids kept so a
// translation provider can replace them); the locale's separators come from
// the program's format settings (platform/FormatSettings.h).
#pragma once

#include "platform/Text.h"

// Resource-string ids of the engine's texts.
enum : int {
  cxSRegExprLine = 65047,
  cxSRegExprChar = 65048,
  cxSRegExprNotAssignedSourceStream = 65049,
  cxSRegExprEmptySourceStream = 65050,
  cxSRegExprCantUsePlusQuantifier = 65051,
  cxSRegExprCantUseStarQuantifier = 65052,
  cxSRegExprEmptyAlternative = 65053,
  cxSRegExprEmptyBlock = 65054,
  cxSRegExprIllegalSymbol = 65055,
  cxSRegExprIllegalQuantifier = 65024,
  cxSRegExprIllegalIntegerValue = 65025,
  cxSRegExprTooBigReferenceNumber = 65026,
  cxSRegExprCantCreateEmptyEnum = 65027,
  cxSRegExprSubrangeOrder = 65028,
  cxSRegExprHexNumberExpected0 = 65029,
  cxSRegExprHexNumberExpected = 65030,
  cxSRegExprMissing = 65031,
  cxSRegExprUnnecessary = 65032,
  cxSRegExprIncorrectSpace = 65033,
  cxSRegExprNotCompiled = 65034,
  cxSRegExprIncorrectParameterQuantifier = 65035,
  cxSRegExprCantUseParameterQuantifier = 65036,
  cxSRegExprErrors = 65037,
  // Masks refused by the engine's own limits (see RegExpr.cpp).
  cxSRegExprTooDeepNesting = 0xE300,
  cxSRegExprTooComplex = 0xE301,
  cxSRegExprTooManyQuantifiers = 0xE302,
  cxSRegExprTooBigRepeatCount = 0xE303,
};

// Answers the text of one of the ids above (an empty text for others). A
// loader installed with cxSetRegExprResStringLoader is asked first; it answers
// false to fall back to the built-in English text.
AnsiString cxRegExprResString(int id);
using TcxRegExprResStringLoader = bool (*)(int id, AnsiString& text);
void cxSetRegExprResStringLoader(TcxRegExprResStringLoader loader);

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
