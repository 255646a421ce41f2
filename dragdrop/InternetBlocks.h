// Byte layouts and texts of internet data on the clipboard: browser bookmark
// and image blocks, vCards, internet shortcuts, CF_HTML and the wrapping of
// plain text as rich text. Bookmark and image blocks come from other
// programs: readers take the block's real size, check every offset and
// refuse a malformed block with EDropBlockError before reading past it.
// Portable: no Windows headers, so the readers also build natively.
#pragma once

#include "dragdrop/DropBlocks.h"
#include "platform/StringList.h"

#include <cstdint>

// "Netscape Bookmark": the URL as a NUL-terminated string at offset 0 and,
// in a block longer than 1024 bytes, the title at offset 1024.
constexpr uint32_t NetscapeBookmarkTitleOffset = 1024;
struct TNetscapeBookmark {
  AnsiString URL;
  AnsiString Title;
};
TNetscapeBookmark ReadNetscapeBookmarkBlock(const uint8_t* block, uint64_t size);
// 1024 bytes (URL only) or 2048 (URL and title); empty without a URL. A part
// too long for its half is cut so that its NUL still fits.
AnsiString MakeNetscapeBookmarkBlock(const TNetscapeBookmark& bookmark);

// "Netscape Image Format": eleven 32-bit values, then NUL-terminated
// strings. Values 2 and 3 are carried; values 7 to 10 hold the offsets of
// strings B to E (0: absent); string A starts right after the header. C is
// the title, D the URL.
constexpr uint32_t NetscapeImageHeaderSize = 44;
struct TNetscapeImage {
  uint32_t Value2 = 0;
  uint32_t Value3 = 0;
  AnsiString A, B, C, D, E;
};
TNetscapeImage ReadNetscapeImageBlock(const uint8_t* block, uint64_t size);
AnsiString MakeNetscapeImageBlock(const TNetscapeImage& image);

// vCard lines: reading drops the "begin:vcard" and "end:vcard" lines and
// turns the first ":" of every line into "="; writing does the reverse with
// CR line ends and a terminating NUL.
void ReadVCardText(const AnsiString& text, TStrings& lines);
AnsiString MakeVCardBlock(const TStrings& lines);

// The URL of an internet shortcut's "[InternetShortcut]" section; false
// when the text holds none.
bool ReadShortcutLines(const TStrings& lines, AnsiString& url);
// The text of a shortcut to `url` (what a ".url" file holds).
AnsiString MakeShortcutText(const AnsiString& url);

// True when the text holds "<HTML" in any case.
bool ContainsHTMLTag(const AnsiString& text);
// A CF_HTML block around `fragment` with its offset header; a text that
// already holds an HTML tag is returned unchanged.
AnsiString MakeCFHTML(const AnsiString& fragment);

// Plain text as a rich text document (unchanged when it already is one).
AnsiString TextToRTF(const AnsiString& text);
