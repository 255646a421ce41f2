// The packed bitmap stream's run coder: runs as written, round trips, and
// unpacking that trusts no length. Portable: also runs natively under the
// sanitizers (tests/native/foundation).
#include "foundation/PackedBitmap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v);
  return s;
}

std::string Hex(const std::string& s) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : s) {
    if (!out.empty()) out += ' ';
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

// A plain form: a 32-bit byte count, then that many bytes.
std::string PlainForm(const std::string& body) {
  const uint32_t n = static_cast<uint32_t>(body.size());
  return Bytes({static_cast<int>(n & 0xFF), static_cast<int>((n >> 8) & 0xFF), static_cast<int>((n >> 16) & 0xFF),
                static_cast<int>(n >> 24)}) +
         body;
}

// The header with a packed length, then the runs.
std::string PackedStream(int32_t packedLength, const std::string& runs) {
  const uint32_t n = static_cast<uint32_t>(packedLength);
  return Bytes({static_cast<int>(n & 0xFF), static_cast<int>((n >> 8) & 0xFF), static_cast<int>((n >> 16) & 0xFF),
                static_cast<int>(n >> 24), 'X', 'D', 'B', 'M', 1, 0}) +
         runs;
}

TEST(PackedBitmap, PacksRuns) {
  const struct { const char* Name; std::string Plain; std::string Runs; } cases[] = {
      {"an equal pair is never swallowed by a literal run", Bytes({1, 1, 1, 2, 3, 4, 4, 4, 4, 5}),
       Bytes({0x03, 0x01, 0x82, 0x02, 0x03, 0x04, 0x04, 0x81, 0x05})},
      {"one byte", Bytes({7}), Bytes({0x81, 0x07})},
      {"nothing", "", ""},
      {"300 equal bytes", std::string(300, 'a'), Bytes({125, 'a', 125, 'a', 50, 'a'})},
  };
  for (const auto& c : cases) EXPECT_EQ(Hex(PackBitmapRuns(c.Plain)), Hex(c.Runs)) << c.Name;

  std::string literal;
  for (int i = 0; i < 130; ++i) literal += static_cast<char>(i);
  const std::string runs = PackBitmapRuns(literal);
  EXPECT_EQ(static_cast<uint8_t>(runs[0]), 0xFD) << "literal runs stop at 125";
  EXPECT_EQ(static_cast<uint8_t>(runs[126]), 0x85);
}

TEST(PackedBitmap, RoundTripsAndLeavesTheStreamAfterItself) {
  std::string body;
  for (int i = 0; i < 1000; ++i) body += static_cast<char>((i / 7) % 5);
  const std::string plain = PlainForm(body);
  TMemoryStream stream;
  stream.WriteString("ab");
  WritePackedBitmap(stream, plain);
  const int64_t end = stream.Position();
  stream.WriteString("next");
  stream.SetPosition(2);
  bool packed = false;
  EXPECT_EQ(ReadPackedBitmap(stream, packed), plain);
  EXPECT_TRUE(packed);
  EXPECT_EQ(stream.Position(), end);

  // Without the magic the stream is left where it was.
  TMemoryStream unpacked;
  unpacked.WriteString(plain);
  unpacked.SetPosition(0);
  EXPECT_EQ(ReadPackedBitmap(unpacked, packed), "");
  EXPECT_FALSE(packed);
  EXPECT_EQ(unpacked.Position(), 0);
}

TEST(PackedBitmap, UnpackingTrustsNoLength) {
  const std::string fourBytes = PlainForm("wxyz");
  const struct { const char* Name; std::string Stream; std::string Plain; int64_t End; } cases[] = {
      {"a negative packed length reads as nothing", PackedStream(-5, Bytes({0x81, 9})), "", 10},
      {"runs stop at the packed length", PackedStream(2, Bytes({0x02, 'a', 0x81, 'b'})), "aa", 12},
      {"runs stop at the stream's end", PackedStream(1000, Bytes({0x85, 'a', 'b'})), "ab", 13},
      {"a repeat run without its value byte ends", PackedStream(1, Bytes({0x05, 'a'})), "", 11},
      {"expansion stops at the plain form's length",
       PackedStream(10, Bytes({0x81, 4, 0x03, 0, 0x7D, 'q', 0x7D, 'q', 0x7D, 'q'})), Bytes({4, 0, 0, 0, 'q', 'q', 'q', 'q'}),
       20},
      {"a declared length of 0 ends after the count", PackedStream(4, Bytes({0x04, 0, 0x02, 'x'})), Bytes({0, 0, 0, 0}),
       14},
      {"the round trip of a short form", [&] {
         TMemoryStream s;
         WritePackedBitmap(s, fourBytes);
         return std::string(reinterpret_cast<const char*>(s.Memory()), static_cast<size_t>(s.Size()));
       }(), fourBytes, -1},
  };
  for (const auto& c : cases) {
    TMemoryStream stream;
    stream.WriteString(c.Stream);
    stream.SetPosition(0);
    bool packed = false;
    EXPECT_EQ(Hex(ReadPackedBitmap(stream, packed)), Hex(c.Plain)) << c.Name;
    EXPECT_TRUE(packed) << c.Name;
    if (c.End >= 0) {
      EXPECT_EQ(stream.Position(), c.End) << c.Name;
    }
  }
}

TEST(PackedBitmap, GrowsOnlyWithWhatItReads) {
  // A huge declared count with a few runs: the answer is what the runs
  // hold, and the caller's limit bounds it too.
  const std::string stream = PackedStream(4, Bytes({0x04, 0xFF, 0x7D, 'z'}));
  TMemoryStream s;
  s.WriteString(stream + std::string(100, 'x'));
  s.SetPosition(0);
  bool packed = false;
  EXPECT_EQ(ReadPackedBitmap(s, packed).size(), 129u);
  s.SetPosition(0);
  EXPECT_EQ(ReadPackedBitmap(s, packed, 50).size(), 50u);
}

}  // namespace
