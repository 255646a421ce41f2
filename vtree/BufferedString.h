// Growable character buffers for building long texts (the tree's text
// exports): capacity grows in whole blocks of 4096 characters, so appending
// many short pieces costs few reallocations.
#pragma once

#include "platform/Object.h"

#include <string>
#include <vector>

template <class C>
class TBufferedStringOf : public TObject {
public:
  // Appends Text; when it reaches the free capacity, the capacity grows by
  // the text's length rounded up to 4096 characters.
  void Add(const std::basic_string<C>& Text) {
    if (Text.size() >= Free()) Grow(((Text.size() + 4095) / 4096) * 4096);
    std::copy(Text.begin(), Text.end(), FBuffer.begin() + static_cast<std::ptrdiff_t>(FLength));
    FLength += Text.size();
  }
  // Appends CR LF, growing by 4096 characters when little is free.
  void AddNewLine() {
    if (Free() <= NewLineReserve) Grow(4096);
    FBuffer[FLength++] = C('\r');
    FBuffer[FLength++] = C('\n');
  }
  std::basic_string<C> AsString() const { return std::basic_string<C>(FBuffer.begin(), FBuffer.begin() + static_cast<std::ptrdiff_t>(FLength)); }
  size_t Length() const { return FLength; }
  // Characters the buffer holds room for.
  size_t Capacity() const { return FBuffer.size(); }

private:
  // An 8-bit buffer keeps at least 2 bytes free for a line break, a wide one 4 characters.
  static constexpr size_t NewLineReserve = sizeof(C) == 1 ? 2 : 4;
  size_t Free() const { return FBuffer.size() - FLength; }
  void Grow(size_t By) { FBuffer.resize(FBuffer.size() + By); }

  std::vector<C> FBuffer;
  size_t FLength = 0;
};

using TBufferedAnsiString = TBufferedStringOf<char>;
using TWideBufferedString = TBufferedStringOf<wchar_t>;
