// What the floating box makes of a drop before it posts it: the fragment of
// a dropped "HTML Format" block and the title taken from the plain text.
// Plain byte strings only, so any program's drop can be fuzzed natively.
#pragma once

#include "platform/Text.h"

// The part of a CF_HTML block between "<!--StartFragment-->" and
// "<!--EndFragment-->", as the bytes stand (UTF-8 from browsers). The text
// after the start marker is searched without its last byte, so an end
// marker that closes the block gives the empty text, as does a missing end
// marker; a block without a start marker also gives the empty text (never a
// piece of its header).
AnsiString CutHtmlFragment(const AnsiString& html);

// The title of a dropped text: every space removed, then its first line that
// is not empty after trimming, without carriage returns. A later line keeps
// the line feed that followed the carriage return before it; text without a
// carriage return is taken whole. Nothing left: "无主题!" (GBK).
AnsiString TitleFromText(const AnsiString& text);
