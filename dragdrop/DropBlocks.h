// Byte layouts of the shell's drag-and-drop blocks: file drop lists, name
// maps, ID-list arrays and file group descriptors. Dropped and pasted blocks
// come from other programs, so every reader takes the block's real size,
// checks every count and offset in 64-bit arithmetic and refuses a malformed
// block with EDropBlockError before reading past it.
// Portable: no Windows headers, so the readers also build natively.
#pragma once

#include "platform/Exceptions.h"
#include "platform/Text.h"

#include <cstdint>
#include <string>
#include <vector>

// A dropped or pasted block that does not have the layout its format promises.
class EDropBlockError : public Exception { public: using Exception::Exception; };

// Wide text as it travels in blocks: UTF-16 code units.
using TWideBlockText = std::u16string;

// A file drop list (CF_HDROP): a 20-byte header (offset of the names, a
// point, a non-client flag, a wide flag), then NUL-terminated names ended by
// an empty name.
struct TDropFilesBlock {
  bool Wide = false;
  std::vector<AnsiString> Names;          // when not Wide
  std::vector<TWideBlockText> WideNames;  // when Wide
};
constexpr uint32_t DropFilesHeaderSize = 20;
TDropFilesBlock ReadDropFilesBlock(const uint8_t* block, uint64_t size);
// The 8-bit form with the names at offset 20 and every flag 0.
AnsiString MakeDropFilesBlock(const std::vector<AnsiString>& names);

// Name maps ("FileNameMap" and its wide form): names back to back, each
// NUL-terminated, then one more NUL.
std::vector<AnsiString> ReadNameListBlock(const uint8_t* block, uint64_t size);
std::vector<TWideBlockText> ReadWideNameListBlock(const uint8_t* block, uint64_t size);
AnsiString MakeNameListBlock(const std::vector<AnsiString>& names);
AnsiString MakeWideNameListBlock(const std::vector<TWideBlockText>& names);

// Shell ID lists: items each starting with their 16-bit size (size
// included), ended by a 16-bit zero. Answers the list's size with its
// terminator, or 0 when `available` bytes hold no complete, well-formed list.
uint64_t CheckedIDListSize(const uint8_t* idl, uint64_t available);

// The ID-list array ("Shell IDList Array"): a 32-bit count n, n + 1 offsets,
// the lists (first the parent folder, then one per item relative to it).
// Answers the n + 1 lists, each with its terminator. Lists that overlap so
// much that copying them would take more than MaxIDListCopyFactor times the
// block's size are refused (n offsets at one list of nearly the block's size
// would otherwise demand n times the block).
constexpr uint64_t MaxIDListCopyFactor = 2;
std::vector<AnsiString> ReadIDListArrayBlock(const uint8_t* block, uint64_t size);
// Writes lists[0] as the parent and the rest as items; `lists` must not be empty.
AnsiString MakeIDListArrayBlock(const std::vector<AnsiString>& lists);

// File group descriptors: a 32-bit count, then fixed-size records
// (FILEDESCRIPTORA 332 bytes, FILEDESCRIPTORW 592 bytes), the file name at
// record offset 72.
constexpr uint32_t FileDescriptorASize = 332;
constexpr uint32_t FileDescriptorWSize = 592;
constexpr uint32_t FileDescriptorNameOffset = 72;
constexpr uint32_t FileDescriptorNameChars = 260;
// The record count of a group block. `exact`: the block holds exactly the
// records (trailing bytes short of one record allowed); otherwise at least
// the records. Raises on a block under 4 bytes or records past its end.
uint32_t CheckFileGroupBlock(const uint8_t* block, uint64_t size, uint32_t recordSize, bool exact);
