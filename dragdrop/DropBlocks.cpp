#include "dragdrop/DropBlocks.h"

#include <cstring>

namespace {

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

uint16_t ReadU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

void PutU32(AnsiString& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

void PutU16(AnsiString& out, uint16_t v) {
  out.push_back(static_cast<char>(v & 0xFF));
  out.push_back(static_cast<char>(v >> 8));
}

[[noreturn]] void Refuse(const char* what, const char* why) { throw EDropBlockError(Format("Malformed %s block: %s", what, why)); }

// Reads NUL-terminated 8-bit names from `pos` until an empty name. Every name
// and the closing empty name must end inside the block.
std::vector<AnsiString> ReadNames8(const uint8_t* block, uint64_t size, uint64_t pos, const char* what) {
  std::vector<AnsiString> names;
  for (;;) {
    if (pos >= size) Refuse(what, "the name list is not terminated");
    const void* nul = std::memchr(block + pos, 0, static_cast<size_t>(size - pos));
    if (!nul) Refuse(what, "a name is not terminated");
    const uint64_t end = static_cast<const uint8_t*>(nul) - block;
    if (end == pos) return names;
    names.emplace_back(reinterpret_cast<const char*>(block + pos), static_cast<size_t>(end - pos));
    pos = end + 1;
  }
}

// The same for 16-bit names; `pos` need not be even.
std::vector<TWideBlockText> ReadNames16(const uint8_t* block, uint64_t size, uint64_t pos, const char* what) {
  std::vector<TWideBlockText> names;
  TWideBlockText name;
  for (;;) {
    if (pos > size || size - pos < 2) Refuse(what, name.empty() ? "the name list is not terminated" : "a name is not terminated");
    const char16_t ch = static_cast<char16_t>(ReadU16(block + pos));
    pos += 2;
    if (ch != 0) {
      name.push_back(ch);
      continue;
    }
    if (name.empty()) return names;
    names.push_back(std::move(name));
    name.clear();
  }
}

}  // namespace

TDropFilesBlock ReadDropFilesBlock(const uint8_t* block, uint64_t size) {
  static const char* const what = "file drop";
  // The smallest useful block is the header and the closing NUL.
  if (size <= DropFilesHeaderSize) Refuse(what, "shorter than its header");
  const uint64_t names = ReadU32(block);
  if (names < DropFilesHeaderSize || names >= size) Refuse(what, "the name list offset is out of range");
  TDropFilesBlock result;
  result.Wide = ReadU32(block + 16) != 0;
  if (result.Wide)
    result.WideNames = ReadNames16(block, size, names, what);
  else
    result.Names = ReadNames8(block, size, names, what);
  return result;
}

AnsiString MakeDropFilesBlock(const std::vector<AnsiString>& names) {
  AnsiString out;
  PutU32(out, DropFilesHeaderSize);
  out.append(16, '\0');  // point, non-client flag, wide flag
  for (const AnsiString& name : names) {
    out += name;
    out.push_back('\0');
  }
  out.push_back('\0');
  return out;
}

std::vector<AnsiString> ReadNameListBlock(const uint8_t* block, uint64_t size) {
  return ReadNames8(block, size, 0, "file name map");
}

std::vector<TWideBlockText> ReadWideNameListBlock(const uint8_t* block, uint64_t size) {
  return ReadNames16(block, size, 0, "wide file name map");
}

AnsiString MakeNameListBlock(const std::vector<AnsiString>& names) {
  AnsiString out;
  for (const AnsiString& name : names) {
    out += name;
    out.push_back('\0');
  }
  out.push_back('\0');
  return out;
}

AnsiString MakeWideNameListBlock(const std::vector<TWideBlockText>& names) {
  AnsiString out;
  for (const TWideBlockText& name : names) {
    for (char16_t ch : name) PutU16(out, static_cast<uint16_t>(ch));
    PutU16(out, 0);
  }
  PutU16(out, 0);
  return out;
}

uint64_t CheckedIDListSize(const uint8_t* idl, uint64_t available) {
  uint64_t pos = 0;
  for (;;) {
    if (available - pos < 2) return 0;
    const uint16_t item = ReadU16(idl + pos);
    if (item == 0) return pos + 2;
    // An item holds at least its own size field.
    if (item < 2 || item > available - pos) return 0;
    pos += item;
  }
}

std::vector<AnsiString> ReadIDListArrayBlock(const uint8_t* block, uint64_t size) {
  static const char* const what = "ID list array";
  if (size < 4) Refuse(what, "shorter than its count");
  const uint64_t count = ReadU32(block);
  // The count and the n + 1 offsets must fit before any list is looked at.
  if (4 * count + 8 > size) Refuse(what, "the count does not fit the block");
  std::vector<AnsiString> lists;
  lists.reserve(static_cast<size_t>(count + 1));
  // Offsets may point into one another's lists, or all at one list: what is
  // copied is bounded by the block, not by the count times the block.
  const uint64_t copyLimit = MaxIDListCopyFactor * size;
  uint64_t copied = 0;
  for (uint64_t i = 0; i <= count; ++i) {
    const uint64_t offset = ReadU32(block + 4 + 4 * i);
    if (offset >= size) Refuse(what, "an offset is out of range");
    const uint64_t length = CheckedIDListSize(block + offset, size - offset);
    if (length == 0) Refuse(what, "an ID list runs past the block");
    copied += length;
    if (copied > copyLimit) Refuse(what, "its ID lists overlap more than the block can hold");
    lists.emplace_back(reinterpret_cast<const char*>(block + offset), static_cast<size_t>(length));
  }
  return lists;
}

AnsiString MakeIDListArrayBlock(const std::vector<AnsiString>& lists) {
  if (lists.empty()) throw EDropBlockError("An ID list array needs at least the parent folder");
  AnsiString out;
  PutU32(out, static_cast<uint32_t>(lists.size() - 1));
  uint64_t offset = 4 * (lists.size() + 1);
  for (const AnsiString& list : lists) {
    PutU32(out, static_cast<uint32_t>(offset));
    offset += list.size();
  }
  for (const AnsiString& list : lists) out += list;
  return out;
}

uint32_t CheckFileGroupBlock(const uint8_t* block, uint64_t size, uint32_t recordSize, bool exact) {
  static const char* const what = "file group descriptor";
  if (size < 4) Refuse(what, "shorter than its count");
  const uint32_t count = ReadU32(block);
  const uint64_t records = (size - 4) / recordSize;
  if (exact ? records != count : records < count) Refuse(what, "the count does not match the block size");
  return count;
}
