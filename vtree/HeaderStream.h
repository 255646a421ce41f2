// Field access for the header stream: 32-bit little-endian words and
// UTF-16 texts with their length first. Every length is checked against the
// bytes the stream still holds before anything is allocated, and every
// enumeration against its range, so a damaged stream is refused with a clear
// error instead of being trusted. Internal to the tree's sources.
#pragma once

#include "platform/Stream.h"
#include "vtree/VirtualNode.h"

#include <string>

constexpr int ErrorHeaderFormat = 2002;
constexpr int ErrorHeaderVersion = 2003;
constexpr int ErrorHeaderData = 2004;

class THeaderStreamReader {
public:
  explicit THeaderStreamReader(TStream& Stream) : FStream(Stream) {}

  int32_t Integer() {
    unsigned char b[4];
    if (Remaining() < 4 || FStream.Read(b, 4) != 4) Truncated();
    return static_cast<int32_t>(uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24);
  }

  // A count of records that take at least RecordBytes each.
  int32_t Count(int64_t RecordBytes) {
    const int32_t count = Integer();
    if (count < 0) Corrupt("a negative count");
    if (count * RecordBytes > Remaining()) Truncated();
    return count;
  }

  std::wstring WideText() {
    const int32_t length = Count(2);
    std::wstring text(static_cast<size_t>(length), L'\0');
    for (wchar_t& c : text) {
      unsigned char b[2];
      if (FStream.Read(b, 2) != 2) Truncated();
      c = static_cast<wchar_t>(b[0] | b[1] << 8);
    }
    return text;
  }

  std::string Bytes() {
    const int32_t length = Count(1);
    std::string bytes(static_cast<size_t>(length), '\0');
    if (length > 0 && FStream.Read(bytes.data(), length) != length) Truncated();
    return bytes;
  }

  template <class E>
  E Enumeration(int32_t Max) {
    const int32_t value = Integer();
    if (value < 0 || value > Max) Corrupt("an enumeration value of " + std::to_string(value));
    return static_cast<E>(value);
  }

  [[noreturn]] void Corrupt(const std::string& What) {
    throw EVirtualTreeError(ErrorHeaderFormat, "Unable to load the header, the format is wrong: " + What + ".");
  }
  [[noreturn]] void Truncated() {
    throw EVirtualTreeError(ErrorHeaderData, "Unable to load the header, not enough data available.");
  }

private:
  int64_t Remaining() { return FStream.Size() - FStream.Position(); }
  TStream& FStream;
};

class THeaderStreamWriter {
public:
  explicit THeaderStreamWriter(TStream& Stream) : FStream(Stream) {}
  void Integer(int32_t Value) { FStream.WriteDWord(static_cast<uint32_t>(Value)); }
  void WideText(const std::wstring& Text) {
    Integer(static_cast<int32_t>(Text.size()));
    for (wchar_t c : Text) FStream.WriteWord(static_cast<uint16_t>(c));
  }
  void Bytes(const std::string& Bytes) {
    Integer(static_cast<int32_t>(Bytes.size()));
    FStream.WriteString(Bytes);
  }

private:
  TStream& FStream;
};
