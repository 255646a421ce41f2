// The portable text helpers, natively under the sanitizers.
#include "platform/Exceptions.h"
#include "platform/Stream.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

namespace {

TEST(NativeText, TrimStripsControlBytesAtBothEnds) {
  const struct { const char* In; const char* Out; } cases[] = {
      {"", ""}, {" \t\r\n", ""}, {"\x01" "a b\x1f", "a b"}, {"\xBD\xF1 ", "\xBD\xF1"}, {"a", "a"}};
  for (const auto& c : cases) EXPECT_EQ(Trim(c.In), c.Out) << c.In;
}

TEST(NativeText, StrToIntIsStrict) {
  const struct { const char* In; bool Ok; int Value; } cases[] = {
      {"0", true, 0},           {"-2147483648", true, INT32_MIN}, {"2147483647", true, INT32_MAX},
      {"$FF", true, 255},       {"0x10", true, 16},               {"2147483648", false, 0},
      {"", false, 0},           {" 1", false, 0},                 {"1 ", false, 0},
      {"1a", false, 0},         {"-", false, 0},                  {"99999999999999999999", false, 0}};
  for (const auto& c : cases) {
    if (c.Ok) EXPECT_EQ(StrToInt(c.In), c.Value) << c.In;
    else EXPECT_THROW(StrToInt(c.In), EConvertError) << c.In;
  }
}

TEST(NativeText, PosAndCopyCountFromOne) {
  EXPECT_EQ(Pos("b", "abc"), 2);
  EXPECT_EQ(Pos("x", "abc"), 0);
  EXPECT_EQ(Pos("", "abc"), 0);
  EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Copy("abc", 3, 100), "c");
  EXPECT_EQ(Copy("abc", 4, 1), "");
  EXPECT_EQ(Copy("abc", 0, 2), "ab");
}

TEST(NativeStream, ShortReadRaisesAndCopyFromZeroCopiesAll) {
  TStringStream source("hello");
  char buf[8];
  source.SetPosition(3);
  EXPECT_THROW(source.ReadBuffer(buf, 3), EReadError);
  TMemoryStream target;
  EXPECT_EQ(target.CopyFrom(source, 0), 5);
  EXPECT_EQ(target.DataString(), "hello");
}

}  // namespace
