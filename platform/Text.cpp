#include "platform/Text.h"

#include "platform/Exceptions.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>

int Pos(const AnsiString& sub, const AnsiString& s, int offset) {
  if (sub.empty() || offset < 1) return 0;
  const size_t at = s.find(sub, static_cast<size_t>(offset - 1));
  return at == AnsiString::npos ? 0 : static_cast<int>(at) + 1;
}

AnsiString Copy(const AnsiString& s, int index, int count) {
  if (index < 1) index = 1;
  if (count <= 0 || static_cast<size_t>(index) > s.size()) return AnsiString();
  return s.substr(static_cast<size_t>(index - 1), static_cast<size_t>(count));
}

static bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

AnsiString Trim(const AnsiString& s) { return TrimLeft(TrimRight(s)); }

AnsiString TrimLeft(const AnsiString& s) {
  size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  return s.substr(i);
}

AnsiString TrimRight(const AnsiString& s) {
  size_t n = s.size();
  while (n > 0 && IsBlank(s[n - 1])) --n;
  return s.substr(0, n);
}

AnsiString IntToStr(int64_t value) { return std::to_string(value); }

AnsiString IntToHex(uint64_t value, int digits) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%0*llX", digits < 0 ? 0 : (digits > 32 ? 32 : digits),
                static_cast<unsigned long long>(value));
  return buf;
}

static bool ParseInt64(const AnsiString& s, int64_t& out) {
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= s.size()) return false;
  uint64_t value = 0;
  const uint64_t limit = negative ? 0x8000000000000000ull : 0x7FFFFFFFFFFFFFFFull;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return false;
    if (value > (limit - static_cast<uint64_t>(digit)) / static_cast<uint64_t>(base)) return false;
    value = value * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
  }
  out = negative ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
  return true;
}

bool TryStrToInt(const AnsiString& s, int& value) {
  int64_t v;
  if (!ParseInt64(s, v) || v < INT32_MIN || v > INT32_MAX) return false;
  value = static_cast<int>(v);
  return true;
}

int StrToInt(const AnsiString& s) {
  int v;
  if (!TryStrToInt(s, v)) throw EConvertError("'" + s + "' is not a valid integer value");
  return v;
}

int64_t StrToInt64(const AnsiString& s) {
  int64_t v;
  if (!ParseInt64(s, v)) throw EConvertError("'" + s + "' is not a valid integer value");
  return v;
}

int StrToIntDef(const AnsiString& s, int fallback) {
  int v;
  return TryStrToInt(s, v) ? v : fallback;
}

AnsiString FormatV(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  const int n = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (n <= 0) return AnsiString();
  std::vector<char> buf(static_cast<size_t>(n) + 1);
  std::vsnprintf(buf.data(), buf.size(), format, args);
  return AnsiString(buf.data(), static_cast<size_t>(n));
}

AnsiString Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  AnsiString s = FormatV(format, args);
  va_end(args);
  return s;
}

AnsiString UpperCase(const AnsiString& s) {
  AnsiString r(s);
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return r;
}

AnsiString LowerCase(const AnsiString& s) {
  AnsiString r(s);
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return r;
}

int CompareStr(const AnsiString& a, const AnsiString& b) {
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int CompareText(const AnsiString& a, const AnsiString& b) { return CompareStr(UpperCase(a), UpperCase(b)); }

bool SameText(const AnsiString& a, const AnsiString& b) { return CompareText(a, b) == 0; }

AnsiString StringReplaceAll(const AnsiString& s, const AnsiString& from, const AnsiString& to) {
  if (from.empty()) return s;
  AnsiString r;
  size_t i = 0;
  for (;;) {
    const size_t at = s.find(from, i);
    if (at == AnsiString::npos) break;
    r.append(s, i, at - i).append(to);
    i = at + from.size();
  }
  return r.append(s, i, AnsiString::npos);
}
