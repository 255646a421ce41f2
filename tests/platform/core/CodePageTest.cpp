// Code-page conversions, double-byte walking and case mapping, with the code
// page chosen per case.
#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

namespace {

class TCodePageScope {
public:
  explicit TCodePageScope(unsigned codePage) { SetSystemCodePage(codePage); }
  ~TCodePageScope() { SetSystemCodePage(0); }
};

TEST(CodePage, TheTestSystemRunsInGbk) {
  EXPECT_EQ(SystemCodePage(), 936u);
  // Narrow literals are compiled to GBK: the same bytes the system shows.
  EXPECT_EQ(AnsiString("中文"), "\xD6\xD0\xCE\xC4");
}

TEST(CodePage, ConversionTable) {
  const struct { unsigned CodePage; const char* Ansi; const wchar_t* Wide; const char* Utf8; } cases[] = {
      {936, "", L"", ""},
      {936, "abc", L"abc", "abc"},
      {936, "\xD6\xD0\xCE\xC4", L"\u4E2D\u6587", "\xE4\xB8\xAD\xE6\x96\x87"},
      {936, "Mevra-主页面", L"Mevra-\u4E3B\u9875\u9762", "Mevra-\xE4\xB8\xBB\xE9\xA1\xB5\xE9\x9D\xA2"},
      {936, "\xA3\xC1", L"\uFF21", "\xEF\xBC\xA1"},
      {936, "\x95\x5C", L"\u661E", "\xE6\x98\x9E"},  // trail byte 0x5C, the backslash
      {1252, "\xE9t\xE9", L"\u00E9t\u00E9", "\xC3\xA9t\xC3\xA9"},
      {65001, "\xC3\xA9", L"\u00E9", "\xC3\xA9"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AnsiToUtf16(c.Ansi, c.CodePage), c.Wide) << c.Ansi;
    EXPECT_EQ(Utf16ToAnsi(c.Wide, c.CodePage), c.Ansi) << c.Ansi;
    EXPECT_EQ(Utf16ToUtf8(c.Wide), c.Utf8) << c.Ansi;
    EXPECT_EQ(Utf8ToAnsi(c.Utf8, c.CodePage), c.Ansi) << c.Ansi;
    TCodePageScope scope(c.CodePage);
    EXPECT_EQ(AnsiToUtf8(c.Ansi), c.Utf8) << c.Ansi;
  }
}

TEST(CodePage, BadInputIsRefusedWhenStrictAndReplacedOtherwise) {
  EXPECT_THROW(Utf8ToUtf16("a\xC3(", true), EConvertError);
  EXPECT_THROW(Utf8ToUtf16("\xED\xA0\x80", true), EConvertError);  // an encoded surrogate
  EXPECT_THROW(Utf16ToAnsi(L"\u0E01", 936, true), EConvertError);  // no Thai in GBK
  EXPECT_EQ(Utf16ToAnsi(L"a\u0E01", 936), "a?");
  const std::wstring lenient = Utf8ToUtf16("a\xC3(");
  EXPECT_EQ(lenient.front(), L'a');
  EXPECT_EQ(lenient.back(), L'(');
  EXPECT_THROW(AnsiToUtf16("\x81", 936, true), EConvertError);  // a lead byte alone
}

TEST(CodePage, DoubleByteWalking) {
  TCodePageScope gbk(936);
  const AnsiString s = "a\xD6\xD0" "b\xCE\xC4";
  const TMbcsByteType types[] = {mbSingleByte, mbLeadByte, mbTrailByte, mbSingleByte, mbLeadByte, mbTrailByte};
  for (int i = 1; i <= 6; ++i) EXPECT_EQ(ByteType(s, i), types[i - 1]) << i;
  const struct { int Index, Bytes, Next, Prev; } steps[] = {
      {1, 1, 2, 1}, {2, 2, 4, 1}, {4, 1, 5, 2}, {5, 2, 7, 4}, {7, 0, 8, 5}};
  for (const auto& c : steps) {
    EXPECT_EQ(CharByteCount(s, c.Index), c.Bytes) << c.Index;
    EXPECT_EQ(NextCharPos(s, c.Index), c.Next) << c.Index;
    EXPECT_EQ(PrevCharPos(s, c.Index), c.Prev) << c.Index;
  }
  EXPECT_EQ(CharCount(s), 4);
  EXPECT_EQ(CharByteCount("a\xD6", 2), 1);  // a lead byte cut off at the end
  EXPECT_EQ(ExtractFileName("c:\\dir\\\x95\x5C.txt"), "\x95\x5C.txt");
  EXPECT_EQ(ExtractFilePath("c:\\dir\\\x95\x5C"), "c:\\dir\\");

  TCodePageScope western(1252);
  EXPECT_FALSE(IsLeadByte(0xD6));
  EXPECT_EQ(CharCount(s), 6);
}

TEST(CodePage, CaseMappingTable) {
  const struct { unsigned CodePage; const char* In; const char* Upper; const char* Lower; } cases[] = {
      {936, "abc中XYZ", "ABC中XYZ", "abc中xyz"},
      {936, "\xA3\xE1\xA3\xC2", "\xA3\xC1\xA3\xC2", "\xA3\xE1\xA3\xE2"},  // full-width a and B
      {936, "a\x81", "A\x81", "a\x81"},  // undecodable: ASCII only
      {1252, "\xE9t\xC9", "\xC9T\xC9", "\xE9t\xE9"},
  };
  for (const auto& c : cases) {
    TCodePageScope scope(c.CodePage);
    EXPECT_EQ(AnsiUpperCase(c.In), c.Upper) << c.In;
    EXPECT_EQ(AnsiLowerCase(c.In), c.Lower) << c.In;
  }
  EXPECT_EQ(AnsiCompareText("apple", "APPLE"), 0);
  EXPECT_LT(AnsiCompareText("apple", "Banana"), 0);
  EXPECT_NE(AnsiCompareStr("apple", "APPLE"), 0);
}

}  // namespace
