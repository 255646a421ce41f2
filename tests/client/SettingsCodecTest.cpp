// The settings data: what the decoder makes of damaged and hostile data, and
// a compression that must not pass a failed write off as saved. Portable:
// built into the client's test program and natively under the sanitizers.
#include "client/SettingsCodec.h"
#include "client/ZLibStream.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <string>

namespace {

const char kReply[] = "<con><result>1</result><uid>7</uid><em>demo@mevra.test</em><z>False</z></con>";

std::string Deflate(const std::string& text, int level = 1, const std::string& dictionary = std::string()) {
  z_stream z{};
  EXPECT_EQ(deflateInit(&z, level), Z_OK);
  if (!dictionary.empty())
    deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(dictionary.data()), static_cast<uInt>(dictionary.size()));
  std::string out(deflateBound(&z, static_cast<uLong>(text.size())) + 16, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

TEST(SettingsCodec, DamagedAndHostileDataIsRefused) {
  const std::string reply = kReply;
  const std::string packed = Deflate(reply);
  std::string badSum = packed;
  badSum.back() = static_cast<char>(badSum.back() ^ 0x55);
  const std::string three = reply + reply + reply;
  const struct {
    const char* name;
    std::string data;
    int error;         // 0: decodes; else the zlib code of the error raised
    std::string text;  // what it decodes to (a truncated stream: a start of it)
  } cases[] = {
      {"a sign-in reply", packed, 0, reply},
      {"the empty text", Deflate(""), 0, ""},
      {"stored blocks", Deflate(reply, 0), 0, reply},
      {"data after the stream", packed + "TRAILER", 0, reply},
      {"a truncated stream", Deflate(three).substr(0, 30), 0, three},
      {"nothing at all", "", 0, ""},
      {"plain XML", reply, Z_DATA_ERROR, ""},
      {"a damaged check sum", badSum, Z_DATA_ERROR, ""},
      // inflate answers "need dictionary" without taking a byte, for ever.
      {"a preset dictionary", Deflate(reply, 1, "<con><result>"), Z_NEED_DICT, ""},
      {"more than 1 MB of text", Deflate(std::string(MaxSettingsSize + 1, ' ')), Z_MEM_ERROR, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TStringStream source(c.data);
    if (c.error != 0) {
      try {
        InflateSettings(source);
        ADD_FAILURE() << "no error";
      } catch (const EZDecompressionError& e) {
        EXPECT_EQ(e.ErrorCode(), c.error);
        EXPECT_FALSE(e.Message().empty());
      }
      continue;
    }
    const AnsiString text = InflateSettings(source);
    EXPECT_EQ(c.text.substr(0, text.size()), text);
    if (c.text == three) EXPECT_GT(text.size(), 0u);
    else EXPECT_EQ(text.size(), c.text.size());
  }
}

TEST(SettingsCodec, TheDecoderLeavesTheSourceRightAfterTheStream) {
  TStringStream source(Deflate(kReply) + "TRAILER");
  EXPECT_EQ(InflateSettings(source), kReply);
  char rest[8] = {};
  EXPECT_EQ(source.Read(rest, 7), 7);
  EXPECT_STREQ(rest, "TRAILER");
}

// A destination with room for `Room` bytes: further writes take nothing.
class TShortStream : public TMemoryStream {
public:
  explicit TShortStream(int64_t room) : FRoom(room) {}
  int32_t Write(const void* buffer, int32_t count) override {
    const int64_t left = FRoom - Position();
    if (left <= 0) return 0;
    return TMemoryStream::Write(buffer, static_cast<int32_t>(std::min<int64_t>(count, left)));
  }

private:
  int64_t FRoom;
};

TEST(SettingsCodec, AWriteThatFailsIsNeverTakenForASave) {
  const std::string text(5000, 'x');
  {
    TShortStream dest(10);
    EXPECT_THROW(DeflateSettings(text, dest), EWriteError);
  }
  {
    TShortStream dest(1 << 20);
    DeflateSettings(text, dest);
    dest.SetPosition(0);
    EXPECT_EQ(InflateSettings(dest), text);
  }
  // The finishing call raises; the destructor, the fallback, swallows.
  TShortStream dest(10);
  auto* z = new TZCompressionStream(dest, TZCompressionLevel::zcFastest);
  z->WriteString(text);
  EXPECT_THROW(z->Finish(), EWriteError);
  EXPECT_THROW(z->WriteString("more"), EZCompressionError);
  EXPECT_NO_THROW(delete z);
  TShortStream quiet(10);
  {
    TZCompressionStream unfinished(quiet, TZCompressionLevel::zcFastest);
    unfinished.WriteString(text);
  }
  EXPECT_EQ(quiet.Size(), 10);
}

}  // namespace
