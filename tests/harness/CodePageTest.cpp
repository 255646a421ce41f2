// The tests run in the code page of the users' systems: GBK (936).
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

const char kGbkDaily[] = "\xBD\xF1\xC8\xD5\xC8\xD5\xD6\xBE";  // 今日日志 in GBK

TEST(CodePage, AnsiCodePageIsGbk) {
  EXPECT_EQ(GetACP(), 936u);
}

TEST(CodePage, ChineseRoundTripsThroughGbk) {
  const wchar_t wide[] = L"今日日志";
  char narrow[32] = {};
  const int n = WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow, nullptr, nullptr);
  ASSERT_EQ(n, 9);
  EXPECT_STREQ(narrow, kGbkDaily);
  wchar_t back[16] = {};
  ASSERT_EQ(MultiByteToWideChar(CP_ACP, 0, narrow, -1, back, 16), 5);
  EXPECT_STREQ(back, wide);
}

TEST(CodePage, NarrowLiteralsAreCompiledToGbk) {
  EXPECT_STREQ("今日日志", kGbkDaily);
}

}  // namespace
