// The settings file and the zlib streams under it.
#include "client/Settings.h"
#include "client/ZLibStream.h"
#include "platform/Dialogs.h"
#include "platform/FileStream.h"
#include "tests/client/ClientFixture.h"

namespace {

// A scratch folder of its own for each test.
class SettingsTest : public ClientFixture {
protected:
  void SetUp() override {
    ClientFixture::SetUp();
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    Folder = AnsiString(temp) + "mevra-settings-" + IntToStr(GetCurrentProcessId());
    CreateDirectoryA(Folder.c_str(), nullptr);
    Path = Folder + "\\qz.dat";
  }
  void TearDown() override {
    DeleteFileA(Path.c_str());
    RemoveDirectoryA(Folder.c_str());
    ClientFixture::TearDown();
  }
  void WriteRaw(const AnsiString& bytes) {
    TFileStream file(Path, fmCreate);
    file.WriteString(bytes);
  }
  AnsiString ReadRaw() {
    TFileStream file(Path, fmOpenRead);
    AnsiString bytes(static_cast<size_t>(file.Size()), '\0');
    file.ReadBuffer(bytes.data(), file.Size());
    return bytes;
  }
  static AnsiString Compress(const AnsiString& text) {
    TMemoryStream target;
    {
      TZCompressionStream z(target, TZCompressionLevel::zcFastest);
      z.WriteString(text);
    }
    return target.DataString();
  }

  AnsiString Folder;
  AnsiString Path;
};

TEST_F(SettingsTest, TextRoundTripsThroughTheFile) {
  const AnsiString texts[] = {"", "<con><result>1</result><un>演示</un></con>", AnsiString(200000, 'x')};
  for (const AnsiString& text : texts) {
    CompressStringToFile(text, Path);
    const AnsiString raw = ReadRaw();
    // A zlib stream at the fastest level: header 78 01.
    ASSERT_GE(raw.size(), 8u);
    EXPECT_EQ(raw.substr(0, 2), "\x78\x01");
    EXPECT_EQ(DecompressFileToString(Path), text);
  }
}

TEST_F(SettingsTest, WritingReplacesALongerFile) {
  CompressStringToFile(AnsiString(100000, 'q') + "unique tail", Path);
  const size_t longer = ReadRaw().size();
  CompressStringToFile("", Path);
  EXPECT_LT(ReadRaw().size(), 16u);
  EXPECT_LT(ReadRaw().size(), longer);
  EXPECT_EQ(DecompressFileToString(Path), "");
}

TEST_F(SettingsTest, EachLevelWritesItsZlibHeader) {
  const AnsiString text = AnsiString(3000, 'a') + "知识与分享";
  const struct {
    TZCompressionLevel level;
    const char* header;  // level 0 and 1 share the "fastest" header
  } cases[] = {{TZCompressionLevel::zcNone, "\x78\x01"},
               {TZCompressionLevel::zcFastest, "\x78\x01"},
               {TZCompressionLevel::zcDefault, "\x78\x9C"},
               {TZCompressionLevel::zcMax, "\x78\xDA"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.level));
    TMemoryStream target;
    {
      TZCompressionStream z(target, c.level);
      z.WriteString(text);
    }
    const AnsiString packed = target.DataString();
    EXPECT_EQ(packed.substr(0, 2), c.header);
    // Stored blocks are larger than the text; every other level shrinks it.
    if (c.level == TZCompressionLevel::zcNone) EXPECT_GT(packed.size(), text.size());
    else EXPECT_LT(packed.size(), text.size() / 10);
    target.SetPosition(0);
    TZDecompressionStream back(target);
    AnsiString out(text.size(), '\0');
    back.ReadBuffer(out.data(), static_cast<int64_t>(out.size()));
    EXPECT_EQ(out, text);
  }
}

TEST_F(SettingsTest, DecompressionSeeksForwardRestartsOrRefuses) {
  const AnsiString packed = Compress("0123456789");
  const struct {
    const char* name;
    TSeekOrigin origin;
    int64_t offset;
    int64_t result;  // -1: raises "Invalid ZStream operation!"
  } cases[] = {
      {"forward from here", TSeekOrigin::soCurrent, 2, 6},
      {"nowhere", TSeekOrigin::soCurrent, 0, 4},
      {"forward from the start", TSeekOrigin::soBeginning, 8, 8},
      {"to where it stands", TSeekOrigin::soBeginning, 4, 4},
      {"past the end", TSeekOrigin::soCurrent, 100, 10},
      {"to the end", TSeekOrigin::soEnd, 0, 10},
      {"back to the start", TSeekOrigin::soBeginning, 0, 0},
      {"backward from here", TSeekOrigin::soCurrent, -1, -1},
      {"backward from the start", TSeekOrigin::soBeginning, 3, -1},
      {"before the end", TSeekOrigin::soEnd, -1, -1},
      {"after the end", TSeekOrigin::soEnd, 1, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TStringStream source(packed);
    TZDecompressionStream z(source);
    char buffer[4];
    ASSERT_EQ(z.Read(buffer, 4), 4);
    if (c.result < 0) {
      try {
        z.Seek(c.offset, c.origin);
        ADD_FAILURE() << "no error";
      } catch (const EZDecompressionError& e) {
        EXPECT_EQ(e.Message(), "Invalid ZStream operation!");
      }
      continue;
    }
    EXPECT_EQ(z.Seek(c.offset, c.origin), c.result);
    char next = 0;
    EXPECT_EQ(z.Read(&next, 1), c.result < 10 ? 1 : 0);
    if (c.result < 10) {
      EXPECT_EQ(next, static_cast<char>('0' + c.result));
    }
  }
}

TEST_F(SettingsTest, StreamsWorkAtTheirOwnPlaceInASharedStream) {
  // A zlib stream that starts after other data, with someone else moving the
  // shared stream between calls.
  TMemoryStream shared;
  shared.WriteString("HEAD");
  {
    TZCompressionStream z(shared, TZCompressionLevel::zcFastest);
    z.WriteString("abcdefgh");
    shared.SetPosition(1);
  }
  EXPECT_EQ(shared.DataString().substr(0, 6), "HEAD\x78\x01");
  shared.SetPosition(4);
  TZDecompressionStream z(shared);
  char buffer[4] = {};
  ASSERT_EQ(z.Read(buffer, 2), 2);
  shared.SetPosition(0);
  ASSERT_EQ(z.Read(buffer + 2, 2), 2);
  EXPECT_EQ(AnsiString(buffer, 4), "abcd");
  // Restarting goes back to where the compressed data begins, not to 0.
  EXPECT_EQ(z.Seek(0, TSeekOrigin::soBeginning), 0);
  char all[9] = {};
  EXPECT_EQ(z.Read(all, 8), 8);
  EXPECT_STREQ(all, "abcdefgh");
}

TEST_F(SettingsTest, ReadingReportsMissingAndForeignFiles) {
  EXPECT_EQ(DecompressFileToString(Folder + "\\none.dat"), "-1");
  WriteRaw("<con><result>1</result></con>");
  EXPECT_EQ(DecompressFileToString(Path), "-2");
  // A bomb that would inflate far beyond any reply is refused the same way.
  WriteRaw(Compress(AnsiString(MaxSettingsSize + 1, ' ')));
  EXPECT_EQ(DecompressFileToString(Path), "-2");
  // So is a stream that needs a preset dictionary, which used to hang every
  // start: header 78 3F (a dictionary follows), the dictionary's check sum,
  // then deflate data.
  WriteRaw(AnsiString("\x78\x3F\x02\x4D\x01\x27\x4B\x04\x23\x00\x08\x0C\x02\x4D", 14));
  EXPECT_EQ(DecompressFileToString(Path), "-2");
}

// A source that fails in a way no zlib data can.
class TBrokenStream : public TMemoryStream {
public:
  int32_t Read(void*, int32_t) override { throw EReadError("The device is not ready"); }
};

TEST_F(SettingsTest, OtherReadFailuresAreShownThroughTheDialogService) {
  std::vector<TDialogRequest> shown;
  const TDialogHandler old = SetDialogHandler(TDialogHandler::Lambda([&](TDialogRequest& request) {
    shown.push_back(request);
    return IDOK;
  }));
  TBrokenStream broken;
  EXPECT_EQ(DecompressStreamToString(broken), "");
  SetDialogHandler(old);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].Kind, dkMessageBox);
  EXPECT_EQ(shown[0].Caption, "解压文件错误！");
  EXPECT_EQ(shown[0].Text, "The device is not ready");
  EXPECT_EQ(shown[0].Flags, static_cast<UINT>(MB_OK));
}

TEST_F(SettingsTest, ATruncatedFileYieldsWhatCanBeDecompressed) {
  AnsiString text;
  for (int i = 0; i < 4000; ++i) text += IntToStr(i * 7919 % 10007) + ",";
  const AnsiString packed = Compress(text);
  WriteRaw(packed.substr(0, packed.size() / 2));
  const AnsiString part = DecompressFileToString(Path);
  EXPECT_GT(part.size(), 0u);
  EXPECT_LT(part.size(), text.size());
  EXPECT_EQ(text.substr(0, part.size()), part);
}

TEST_F(SettingsTest, StreamsRefuseWhatTheyCannotDo) {
  TMemoryStream target;
  {
    TZCompressionStream z(target, TZCompressionLevel::zcFastest);
    z.WriteString("abc");
    EXPECT_EQ(z.Position(), 3);
    char c;
    try {
      z.Read(&c, 1);
      ADD_FAILURE();
    } catch (const EZCompressionError& e) {
      EXPECT_EQ(e.Message(), "Invalid ZStream operation!");
    }
    EXPECT_THROW(z.Seek(1, TSeekOrigin::soBeginning), EZCompressionError);
  }
  TStringStream source(Compress("0123456789"));
  TZDecompressionStream z(source);
  char buffer[4];
  ASSERT_EQ(z.Read(buffer, 4), 4);
  EXPECT_EQ(z.Seek(2, TSeekOrigin::soCurrent), 6);
  EXPECT_EQ(z.Read(buffer, 1), 1);
  EXPECT_EQ(buffer[0], '6');
  try {
    z.Seek(3, TSeekOrigin::soBeginning);
    ADD_FAILURE();
  } catch (const EZDecompressionError& e) {
    EXPECT_EQ(e.Message(), "Invalid ZStream operation!");
  }
  EXPECT_THROW(z.Write("x", 1), EZDecompressionError);
  EXPECT_EQ(z.Seek(0, TSeekOrigin::soEnd), 10);
  EXPECT_EQ(z.Seek(0, TSeekOrigin::soBeginning), 0);
  EXPECT_EQ(z.Size(), 10);  // decompresses to the end once, then rewinds
  ASSERT_EQ(z.Read(buffer, 2), 2);
  EXPECT_EQ(AnsiString(buffer, 2), "01");
}

TEST_F(SettingsTest, ProgressIsReportedPerBuffer) {
  AnsiString noise(300000, '\0');
  uint32_t seed = 1;
  for (char& c : noise) c = static_cast<char>((seed = seed * 1664525u + 1013904223u) >> 24);
  int flushes = 0;
  TMemoryStream target;
  {
    TZCompressionStream z(target, TZCompressionLevel::zcFastest);
    z.OnProgress = TNotifyEvent::Lambda([&](TObject*) { ++flushes; });
    z.WriteString(noise);
    EXPECT_GE(flushes, 4);  // 300000 incompressible bytes fill the 64 KB buffer four times
  }
  int refills = 0;
  target.SetPosition(0);
  TZDecompressionStream z(target);
  z.OnProgress = TNotifyEvent::Lambda([&](TObject*) { ++refills; });
  AnsiString back(noise.size(), '\0');
  z.ReadBuffer(back.data(), static_cast<int64_t>(back.size()));
  EXPECT_EQ(back, noise);
  EXPECT_GE(refills, 5);
}

TEST_F(SettingsTest, DecompressionStopsRightAfterTheCompressedData) {
  TStringStream source(Compress("payload") + "TRAILER");
  TZDecompressionStream z(source);
  char buffer[64];
  EXPECT_EQ(z.Read(buffer, sizeof buffer), 7);
  char rest[8] = {};
  EXPECT_EQ(source.Read(rest, 7), 7);
  EXPECT_STREQ(rest, "TRAILER");
}

TEST_F(SettingsTest, CorruptDataRaisesADecompressionError) {
  const AnsiString packed = Compress("some text that compresses");
  struct Case {
    const char* name;
    size_t at;  // the byte that is damaged
  } cases[] = {{"header", 0}, {"check sum", packed.size() - 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AnsiString damaged = packed;
    damaged[c.at] = static_cast<char>(damaged[c.at] ^ 0x55);
    TStringStream source(damaged);
    TZDecompressionStream z(source);
    char buffer[64];
    try {
      z.Read(buffer, sizeof buffer);
      ADD_FAILURE();
    } catch (const EZDecompressionError& e) {
      EXPECT_EQ(e.ErrorCode(), Z_DATA_ERROR);
      EXPECT_FALSE(e.Message().empty());
    }
  }
}

TEST_F(SettingsTest, AGbkSignInReplyRoundTripsByteForByte) {
  Service->SetPictureCode("1111");
  THttpClient signIn;
  ConfigureSignInConnection(signIn);
  signIn.Get(PictureCodeUrl());
  TXmlDocument reply;
  ASSERT_TRUE(reply.LoadXML(signIn.Get(SignInUrl("demo@mevra.test", "27cd5bcb0147c8b1ed590fa502ff36e3", true, "1111"))));
  ASSERT_EQ(ReplyText(reply, "con/un"), "演示用户");
  SaveSignInReply(reply, Path);
  const AnsiString stored = DecompressFileToString(Path);
  EXPECT_EQ(stored, reply.Xml());
  TXmlDocument back;
  ASSERT_TRUE(back.LoadXML(stored));
  EXPECT_EQ(ReplyText(back, "con/un"), "演示用户");
  EXPECT_EQ(ReplyText(back, "con/pwd"), "27cd5bcb0147c8b1ed590fa502ff36e3");
  EXPECT_EQ(ReplyText(back, "con/z"), "True");
}

TEST_F(SettingsTest, SecretsAreKeptOnlyWhenThePasswordIsRemembered) {
  TXmlDocument reply;
  ASSERT_TRUE(reply.LoadXML(AnsiString(
      "<con><result>1</result><uid>7</uid><pwd>abc</pwd><un>n</un><em>e@x</em><dm>tok</dm><z>False</z></con>")));
  SaveSignInReply(reply, Path);
  TXmlDocument back;
  ASSERT_TRUE(back.LoadXML(DecompressFileToString(Path)));
  EXPECT_EQ(ReplyText(back, "con/uid"), "7");
  EXPECT_EQ(ReplyText(back, "con/em"), "e@x");
  EXPECT_FALSE(back.SelectSingleNode("con/pwd"));
  EXPECT_FALSE(back.SelectSingleNode("con/dm"));
  // The reply itself is untouched.
  EXPECT_EQ(ReplyText(reply, "con/pwd"), "abc");
}

TEST_F(SettingsTest, TheFolderIsCreatedWithItsParentsOnce) {
  // A home path with a leading backslash, as HOMEPATH has it: the doubled
  // backslash after the drive is used as it is.
  const AnsiString home = Folder.substr(2) + "\\home\\li";  // Folder without "c:"
  ASSERT_EQ(CompareText(Folder.substr(0, 2), "c:"), 0) << Folder;
  SettingsFolder = SettingsFolderFor(home);
  EXPECT_EQ(SettingsFolder.substr(0, 4), "c:\\\\");
  PrepareSettingsFolder();
  EXPECT_NE(GetFileAttributesA(SettingsFolder.c_str()), INVALID_FILE_ATTRIBUTES);
  CompressStringToFile("<con/>", SettingsFileName());
  EXPECT_EQ(DecompressFileToString(SettingsFileName()), "<con/>");
  PrepareSettingsFolder();  // nothing to do
  DeleteFileA(SettingsFileName().c_str());
  RemoveDirectoryA(SettingsFolder.c_str());
  RemoveDirectoryA((Folder + "\\home\\li").c_str());
  RemoveDirectoryA((Folder + "\\home").c_str());
}

TEST_F(SettingsTest, ACreateFailureRaises) {
  EXPECT_THROW(CompressStringToFile("x", Folder + "\\missing\\qz.dat"), EFCreateError);
}

}  // namespace
