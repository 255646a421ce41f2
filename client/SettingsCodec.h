// The settings data itself: text compressed as one zlib stream (level
// fastest). Portable, so the decoder of this outside data is fuzzed natively;
// the file around it is Settings.h.
#pragma once

#include "platform/Stream.h"
#include "platform/Text.h"

// Inflated settings larger than this are refused as damaged, so a hostile
// file cannot exhaust memory.
constexpr int64_t MaxSettingsSize = 1024 * 1024;  // bytes

// Writes `text` compressed onto `dest` and finishes the zlib stream; a write
// that fails raises, so a short result is never taken for a saved one.
void DeflateSettings(const AnsiString& text, TStream& dest);
// The text held by the zlib stream at `source`'s position. Data that is not
// a zlib stream, needs a preset dictionary or inflates beyond MaxSettingsSize
// raises EZDecompressionError; a truncated stream yields what it holds.
AnsiString InflateSettings(TStream& source);
