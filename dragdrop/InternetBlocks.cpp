#include "dragdrop/InternetBlocks.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

// The NUL-terminated string at `offset`, ending at the block's end at the latest.
AnsiString StringAt(const uint8_t* block, uint64_t size, uint64_t offset) {
  if (offset >= size) return AnsiString();
  const char* start = reinterpret_cast<const char*>(block + offset);
  const size_t room = static_cast<size_t>(size - offset);
  const void* nul = std::memchr(start, 0, room);
  return AnsiString(start, nul ? static_cast<size_t>(static_cast<const char*>(nul) - start) : room);
}

uint32_t ValueAt(const uint8_t* block, uint32_t index) {
  const uint8_t* p = block + 4 * index;
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void PutValue(AnsiString& block, uint32_t index, uint32_t value) {
  for (int i = 0; i < 4; ++i) block[4 * index + static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i));
}

bool StartsWithText(const AnsiString& s, const char* prefix) {
  const size_t n = std::strlen(prefix);
  return s.size() >= n && SameText(s.substr(0, n), prefix);
}

}  // namespace

TNetscapeBookmark ReadNetscapeBookmarkBlock(const uint8_t* block, uint64_t size) {
  TNetscapeBookmark result;
  result.URL = StringAt(block, std::min<uint64_t>(size, NetscapeBookmarkTitleOffset), 0);
  if (size > NetscapeBookmarkTitleOffset) result.Title = StringAt(block, size, NetscapeBookmarkTitleOffset);
  return result;
}

AnsiString MakeNetscapeBookmarkBlock(const TNetscapeBookmark& bookmark) {
  if (bookmark.URL.empty()) return AnsiString();
  const size_t half = NetscapeBookmarkTitleOffset;
  AnsiString block(bookmark.Title.empty() ? half : 2 * half, '\0');
  // Each part keeps its terminating NUL: a long URL never runs into the title.
  block.replace(0, std::min(bookmark.URL.size(), half - 1), bookmark.URL, 0, half - 1);
  if (!bookmark.Title.empty())
    block.replace(half, std::min(bookmark.Title.size(), half - 1), bookmark.Title, 0, half - 1);
  return block;
}

TNetscapeImage ReadNetscapeImageBlock(const uint8_t* block, uint64_t size) {
  if (size <= NetscapeImageHeaderSize)
    throw EDropBlockError(Format("Malformed image link block: %llu bytes, no room past its 44-byte header",
                                 static_cast<unsigned long long>(size)));
  TNetscapeImage result;
  result.Value2 = ValueAt(block, 2);
  result.Value3 = ValueAt(block, 3);
  result.A = StringAt(block, size, NetscapeImageHeaderSize);
  AnsiString* strings[] = {&result.B, &result.C, &result.D, &result.E};
  for (uint32_t i = 0; i < 4; ++i) {
    const uint32_t offset = ValueAt(block, 7 + i);
    if (offset == 0) continue;
    if (offset < NetscapeImageHeaderSize || offset >= size)
      throw EDropBlockError(Format("Malformed image link block: string %u at offset %u outside %llu bytes", 2 + i,
                                   offset, static_cast<unsigned long long>(size)));
    *strings[i] = StringAt(block, size, offset);
  }
  return result;
}

AnsiString MakeNetscapeImageBlock(const TNetscapeImage& image) {
  AnsiString block(NetscapeImageHeaderSize, '\0');
  PutValue(block, 2, image.Value2);
  PutValue(block, 3, image.Value3);
  block += image.A;
  block += '\0';
  const AnsiString* strings[] = {&image.B, &image.C, &image.D, &image.E};
  for (uint32_t i = 0; i < 4; ++i) {
    if (strings[i]->empty()) continue;
    PutValue(block, 7 + i, static_cast<uint32_t>(block.size()));
    block += *strings[i];
    block += '\0';
  }
  return block;
}

void ReadVCardText(const AnsiString& text, TStrings& lines) {
  lines.SetText(text);
  if (lines.Count() > 0 && SameText(lines.Get(0), "begin:vcard")) lines.Delete(0);
  if (lines.Count() > 0 && SameText(lines.Get(lines.Count() - 1), "end:vcard")) lines.Delete(lines.Count() - 1);
  for (int i = 0; i < lines.Count(); ++i) {
    AnsiString line = lines.Get(i);
    const size_t colon = line.find(':');
    if (colon == AnsiString::npos) continue;
    line[colon] = '=';
    lines.Put(i, line);
  }
}

AnsiString MakeVCardBlock(const TStrings& lines) {
  AnsiString body = lines.Text();
  body.erase(std::remove(body.begin(), body.end(), '\n'), body.end());
  AnsiString block = "begin:vcard\r" + body + "end:vcard";
  block += '\0';
  return block;
}

bool ReadShortcutLines(const TStrings& lines, AnsiString& url) {
  for (int i = 0; i + 1 < lines.Count(); ++i) {
    if (!SameText(lines.Get(i), "[InternetShortcut]")) continue;
    for (int j = i + 1; j < lines.Count(); ++j) {
      const AnsiString line = lines.Get(j);
      if (!line.empty() && line[0] == '[') break;
      if (StartsWithText(line, "URL=")) {
        url = line.substr(4);
        return true;
      }
    }
    return false;
  }
  return false;
}

AnsiString MakeShortcutText(const AnsiString& url) { return "[InternetShortcut]\r\nURL=" + url + "\r\n"; }

bool ContainsHTMLTag(const AnsiString& text) { return UpperCase(text).find("<HTML") != AnsiString::npos; }

AnsiString MakeCFHTML(const AnsiString& fragment) {
  if (ContainsHTMLTag(fragment)) return fragment;
  static const char prefix[] = "<HTML>\r\n<BODY>\r\n<!--StartFragment-->";
  static const char suffix[] = "<!--EndFragment-->\r\n</BODY>\r\n</HTML>";
  const int64_t prefixLength = sizeof(prefix) - 1;  // 36
  const int64_t suffixLength = sizeof(suffix) - 1;  // 36
  const int64_t fragmentLength = static_cast<int64_t>(fragment.size());
  // Offsets take at least 8 digits (a 97-byte header). A block of 100 MB or
  // more needs wider ones, which lengthen the header and so move every
  // offset: settle the header's length before writing it.
  AnsiString header;
  int64_t headerLength = 97;
  for (;;) {
    const int64_t startFragment = headerLength + prefixLength;
    const int64_t endFragment = startFragment + fragmentLength;
    const int64_t endHTML = endFragment + suffixLength;
    char text[160];
    std::snprintf(text, sizeof(text),
                  "Version:0.9\r\nStartHTML:%.8lld\r\nEndHTML:%.8lld\r\nStartFragment:%.8lld\r\n"
                  "EndFragment:%.8lld\r\n",
                  static_cast<long long>(headerLength), static_cast<long long>(endHTML),
                  static_cast<long long>(startFragment), static_cast<long long>(endFragment));
    header = text;
    if (static_cast<int64_t>(header.size()) == headerLength) break;
    headerLength = static_cast<int64_t>(header.size());
  }
  AnsiString block;
  block.reserve(header.size() + static_cast<size_t>(prefixLength + fragmentLength + suffixLength));
  block.append(header).append(prefix).append(fragment).append(suffix);
  return block;
}

AnsiString TextToRTF(const AnsiString& text) {
  if (StartsWithText(text, "{\\rtf")) return text;
  return "{\\rtf1\\ansi " + text + "}";
}
