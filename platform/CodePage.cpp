#include "platform/CodePage.h"

#include "platform/Exceptions.h"
#include "platform/Win32.h"

#include <atomic>
#include <map>
#include <mutex>

namespace {

std::atomic<unsigned> ChosenCodePage{0};

unsigned Resolve(unsigned codePage) { return codePage ? codePage : SystemCodePage(); }

std::wstring ToWide(const char* data, size_t size, unsigned codePage, bool strict, const char* what) {
  if (size == 0) return std::wstring();
  if (size > 0x7FFFFFFF) throw EConvertError("Text too long to convert");
  const DWORD flags = strict ? MB_ERR_INVALID_CHARS : 0;
  const int n = MultiByteToWideChar(codePage, flags, data, static_cast<int>(size), nullptr, 0);
  if (n <= 0) {
    if (strict) throw EConvertError(std::string("Invalid ") + what + " text");
    return std::wstring();
  }
  std::wstring r(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, flags, data, static_cast<int>(size), r.data(), n);
  return r;
}

std::string ToNarrow(const std::wstring& text, unsigned codePage, bool strict) {
  if (text.empty()) return std::string();
  if (text.size() > 0x7FFFFFFF) throw EConvertError("Text too long to convert");
  BOOL usedDefault = FALSE;
  // UTF-8 takes no default character (and reports none).
  BOOL* used = codePage == CP_UTF8 ? nullptr : &usedDefault;
  const int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, used);
  if (n <= 0) return std::string();
  std::string r(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), r.data(), n, nullptr, used);
  if (strict && usedDefault) throw EConvertError("Text cannot be represented in code page " + std::to_string(codePage));
  return r;
}

// Lead-byte tables, one per code page asked for.
struct TLeadBytes {
  unsigned CodePage = 0;
  bool Lead[256] = {};
};

const TLeadBytes& LeadBytes(unsigned codePage) {
  static std::mutex lock;
  // Tables are never evicted: callers keep the reference after the lock is
  // released, while other threads may ask for other code pages.
  static std::map<unsigned, TLeadBytes> cache;
  std::lock_guard<std::mutex> guard(lock);
  const auto found = cache.find(codePage);
  if (found != cache.end()) return found->second;
  TLeadBytes& t = cache[codePage];
  t.CodePage = codePage;
  CPINFO info{};
  if (GetCPInfo(codePage, &info) && info.MaxCharSize > 1)
    for (int i = 0; i < MAX_LEADBYTES && (info.LeadByte[i] || info.LeadByte[i + 1]); i += 2)
      for (int b = info.LeadByte[i]; b <= info.LeadByte[i + 1]; ++b) t.Lead[b] = true;
  return t;
}

AnsiString MapCase(const AnsiString& s, bool upper) {
  const unsigned cp = SystemCodePage();
  std::wstring w = AnsiToUtf16(s, cp);
  // Bytes the code page cannot decode would not come back: map ASCII only.
  if (Utf16ToAnsi(w, cp) != s) return upper ? UpperCase(s) : LowerCase(s);
  if (!w.empty()) {
    if (upper) CharUpperBuffW(w.data(), static_cast<DWORD>(w.size()));
    else CharLowerBuffW(w.data(), static_cast<DWORD>(w.size()));
  }
  return Utf16ToAnsi(w, cp);
}

int Collate(const AnsiString& a, const AnsiString& b, DWORD flags) {
  const unsigned cp = SystemCodePage();
  const std::wstring wa = AnsiToUtf16(a, cp), wb = AnsiToUtf16(b, cp);
  const int r = CompareStringW(LOCALE_USER_DEFAULT, flags, wa.data(), static_cast<int>(wa.size()), wb.data(),
                               static_cast<int>(wb.size()));
  if (r == 0) return flags ? CompareText(a, b) : CompareStr(a, b);
  return r - CSTR_EQUAL;
}

}  // namespace

unsigned SystemCodePage() {
  const unsigned chosen = ChosenCodePage.load();
  return chosen ? chosen : GetACP();
}

void SetSystemCodePage(unsigned codePage) { ChosenCodePage.store(codePage); }

std::wstring Utf8ToUtf16(const std::string& utf8, bool strict) {
  return ToWide(utf8.data(), utf8.size(), CP_UTF8, strict, "UTF-8");
}

std::string Utf16ToUtf8(const std::wstring& text) { return ToNarrow(text, CP_UTF8, false); }

std::wstring AnsiToUtf16(const AnsiString& text, unsigned codePage, bool strict) {
  return ToWide(text.data(), text.size(), Resolve(codePage), strict, "multi-byte");
}

AnsiString Utf16ToAnsi(const std::wstring& text, unsigned codePage, bool strict) {
  return ToNarrow(text, Resolve(codePage), strict);
}

AnsiString Utf8ToAnsi(const std::string& utf8, unsigned codePage) { return Utf16ToAnsi(Utf8ToUtf16(utf8), codePage); }

std::string AnsiToUtf8(const AnsiString& text, unsigned codePage) { return Utf16ToUtf8(AnsiToUtf16(text, codePage)); }

bool IsLeadByte(unsigned char b, unsigned codePage) { return LeadBytes(Resolve(codePage)).Lead[b]; }

TMbcsByteType ByteType(const AnsiString& s, int index) {
  const TLeadBytes& t = LeadBytes(SystemCodePage());
  TMbcsByteType type = mbSingleByte;
  for (int i = 1; i <= index && i <= static_cast<int>(s.size()); ++i) {
    if (type == mbLeadByte) type = mbTrailByte;
    else type = t.Lead[static_cast<unsigned char>(s[static_cast<size_t>(i - 1)])] ? mbLeadByte : mbSingleByte;
  }
  return type;
}

int CharByteCount(const AnsiString& s, int index) {
  if (index < 1 || index > static_cast<int>(s.size())) return 0;
  if (IsLeadByte(static_cast<unsigned char>(s[static_cast<size_t>(index - 1)])) && index < static_cast<int>(s.size()))
    return 2;
  return 1;
}

int NextCharPos(const AnsiString& s, int index) {
  const int n = CharByteCount(s, index);
  return index + (n > 0 ? n : 1);
}

int PrevCharPos(const AnsiString& s, int index) {
  // A trail byte looks like a lead or single byte on its own: walk from the
  // start to find where characters begin.
  const TLeadBytes& t = LeadBytes(SystemCodePage());
  int previous = 1;
  for (int i = 1; i < index && i <= static_cast<int>(s.size());) {
    previous = i;
    i += (t.Lead[static_cast<unsigned char>(s[static_cast<size_t>(i - 1)])] && i < static_cast<int>(s.size())) ? 2 : 1;
  }
  return index <= 1 ? 1 : previous;
}

int CharCount(const AnsiString& s) {
  int count = 0;
  for (int i = 1; i <= static_cast<int>(s.size()); i = NextCharPos(s, i)) ++count;
  return count;
}

AnsiString AnsiUpperCase(const AnsiString& s) { return MapCase(s, true); }

AnsiString AnsiLowerCase(const AnsiString& s) { return MapCase(s, false); }

int AnsiCompareStr(const AnsiString& a, const AnsiString& b) { return Collate(a, b, 0); }

int AnsiCompareText(const AnsiString& a, const AnsiString& b) { return Collate(a, b, NORM_IGNORECASE); }
