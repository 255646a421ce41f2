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

TEST(NativeStream, SeeksFromOutsideDataSaturateAndNeverWrap) {
  constexpr int64_t kMax = INT64_MAX;
  const struct {
    const char* Name;
    int64_t Start;
    int64_t Offset;
    TSeekOrigin Origin;
    int64_t Expected;
  } cases[] = {
      {"BeforeTheStartStopsAtZero", 2, -10, TSeekOrigin::soCurrent, 0},
      {"FromTheEnd", 0, -2, TSeekOrigin::soEnd, 3},
      {"PastTheEndIsAllowed", 0, 100, TSeekOrigin::soBeginning, 100},
      {"CurrentPlusHugeSaturates", 4, kMax, TSeekOrigin::soCurrent, kMax},
      {"EndPlusHugeSaturates", 0, kMax - 1, TSeekOrigin::soEnd, kMax},
      {"HugeNegativeStopsAtZero", 4, INT64_MIN, TSeekOrigin::soCurrent, 0},
  };
  for (const auto& c : cases) {
    TStringStream stream("hello");
    stream.SetPosition(c.Start);
    EXPECT_EQ(stream.Seek(c.Offset, c.Origin), c.Expected) << c.Name;
    char b;
    if (c.Expected >= 5) {
      EXPECT_EQ(stream.Read(&b, 1), 0) << c.Name;
    }
  }
}

TEST(NativeStream, WritesFarOutAndNegativeCopiesAreRefused) {
  TStringStream stream("hello");
  stream.Seek(INT64_MAX - 1, TSeekOrigin::soBeginning);
  EXPECT_THROW(stream.WriteString("xyz"), EOutOfMemory);
  EXPECT_EQ(stream.DataString(), "hello");
  TMemoryStream target;
  stream.SetPosition(0);
  EXPECT_THROW(target.CopyFrom(stream, -1), EReadError);
  EXPECT_EQ(target.Size(), 0);
}

}  // namespace
