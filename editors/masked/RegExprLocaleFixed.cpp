// The natively built engine has no Windows locale: it uses the invariant
// separators. Tests that need others install their own source.
#include "editors/masked/RegExprConsts.h"

TcxRegExprLocaleChars cxRegExprSystemLocale() { return {'/', ':', '.'}; }
