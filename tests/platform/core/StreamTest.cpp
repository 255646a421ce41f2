// File, resource and COM streams.
#include "platform/ComStream.h"
#include "platform/Exceptions.h"
#include "platform/FileStream.h"
#include "platform/StringList.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

AnsiString TempName(const char* name) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  return IncludeTrailingPathDelimiter(dir) + name;
}

// Collects what reaches the callback handler while a test runs.
class THandlerScope {
public:
  THandlerScope() {
    FOld = SetCallbackExceptionHandler(TExceptionEvent::Lambda([this](TObject*, Exception& e) { Messages.push_back(e.Message()); }));
  }
  ~THandlerScope() { SetCallbackExceptionHandler(FOld); }
  std::vector<std::string> Messages;

private:
  TExceptionEvent FOld;
};

TEST(FileStream, ShareModesSizesAndErrors) {
  const AnsiString name = TempName("mevra-core-stream.bin");
  {
    TFileStream out(name, fmCreate);
    out.WriteString("0123456789");
    EXPECT_EQ(out.Size(), 10);
  }
  {
    TFileStream in(name, fmOpenRead | fmShareDenyWrite);
    EXPECT_THROW(TFileStream(name, fmOpenWrite | fmShareDenyNone), EFOpenError);
    TFileStream reader(name, fmOpenRead | fmShareDenyNone);  // reading alongside is allowed
    EXPECT_EQ(reader.Size(), 10);
    // Positions are 64-bit all the way to the system.
    EXPECT_EQ(in.Seek(5000000000LL, TSeekOrigin::soBeginning), 5000000000LL);
  }
  {
    TFileStream exclusive(name, fmOpenReadWrite | fmShareExclusive);
    EXPECT_THROW(TFileStream(name, fmOpenRead | fmShareDenyNone), EFOpenError);
    exclusive.SetSize(4);
  }
  TStringList lines;
  lines.LoadFromFile(name);
  EXPECT_EQ(lines.Text(), "0123\r\n");
  DeleteFileA(name.c_str());
  try {
    TFileStream missing(name, fmOpenRead);
    FAIL() << "opened a missing file";
  } catch (const EFOpenError& e) {
    EXPECT_NE(e.Message().find(name), std::string::npos) << e.Message();
  }
}

TEST(ResourceStream, ReadsAModuleResourceAndRefusesMissingOnes) {
  HMODULE user32 = GetModuleHandleA("user32.dll");
  TResourceStream bitmap(user32, 32754, MAKEINTRESOURCEA(2));  // the close-box bitmap every user32 carries
  ASSERT_GT(bitmap.Size(), 40);
  EXPECT_EQ(bitmap.ReadDWord(), 40u);  // a BITMAPINFOHEADER
  EXPECT_THROW(bitmap.WriteByte(0), EStreamError);
  // Offsets far out saturate instead of wrapping back into the resource.
  EXPECT_EQ(bitmap.Seek(INT64_MAX, TSeekOrigin::soCurrent), INT64_MAX);
  EXPECT_THROW(bitmap.ReadByte(), EReadError);
  EXPECT_EQ(bitmap.Seek(INT64_MIN, TSeekOrigin::soCurrent), 0);
  EXPECT_THROW(TResourceStream(GetModuleHandleA(nullptr), "NOSUCHRESOURCE"), EResNotFound);
}

TEST(ComStream, RoundTripsBothWays) {
  // Our stream through IStream: write, seek, stat and read back.
  auto* memory = new TMemoryStream;
  TWeakLink<TMemoryStream> alive(memory);
  {
    TComPtr<IStream> stream(new TStreamAdapter(memory, soOwned));
    ULONG n = 0;
    ASSERT_EQ(stream->Write("hello world", 11, &n), S_OK);
    EXPECT_EQ(n, 11u);
    LARGE_INTEGER start{};
    ULARGE_INTEGER position{};
    ASSERT_EQ(stream->Seek(start, STREAM_SEEK_SET, &position), S_OK);
    STATSTG stat{};
    ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.cbSize.QuadPart, 11u);
    char buf[16] = {};
    EXPECT_EQ(stream->Read(buf, 16, &n), S_OK);  // short read: what was there
    EXPECT_EQ(std::string(buf, n), "hello world");

    // ...and the IStream seen as our stream again.
    TOleStream back(stream.Get());
    back.SetPosition(6);
    char word[5];
    back.ReadBuffer(word, 5);
    EXPECT_EQ(std::string(word, 5), "world");
    EXPECT_THROW(back.ReadBuffer(word, 1), EReadError);
    EXPECT_EQ(back.Size(), 11);
  }
  EXPECT_FALSE(alive);  // the owning adapter freed it with its last reference

  // A system IStream as our stream: write, then read through COM.
  TComPtr<IStream> global;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, global.Put()), S_OK);
  TOleStream ours(global.Get());
  TStringStream source("\xD6\xD0\xCE\xC4 text");
  EXPECT_EQ(ours.CopyFrom(source, 0), 9);
  ours.SetPosition(0);
  char buf[9];
  ULONG n = 0;
  ASSERT_EQ(global->Read(buf, 9, &n), S_OK);
  EXPECT_EQ(std::string(buf, n), "\xD6\xD0\xCE\xC4 text");
  ULARGE_INTEGER none{};
  EXPECT_EQ(global->SetSize(none), S_OK);
}

// A stream that fails every read.
class TFailingStream : public TMemoryStream {
public:
  int32_t Read(void*, int32_t) override { throw EReadError("Disk gone"); }
};

// A stream that claims more than a 32-bit process can hold.
class THugeStream : public TStream {
public:
  int32_t Read(void* buffer, int32_t count) override {
    std::memset(buffer, 'x', static_cast<size_t>(count));
    return count;
  }
  int32_t Write(const void*, int32_t) override { return 0; }
  int64_t Seek(int64_t offset, TSeekOrigin origin) override {
    return origin == TSeekOrigin::soEnd ? (int64_t{1} << 33) + offset : 0;
  }
};

TEST(StringList, AStreamTooLargeToHoldIsRefusedNotCutShort) {
  THugeStream huge;
  TStringList lines;
  EXPECT_THROW(lines.LoadFromStream(huge), EOutOfMemory);
  EXPECT_EQ(lines.Count(), 0);
}

TEST(ComStream, AnExceptionBecomesAnHResultAtTheComBoundary) {
  THandlerScope handler;
  TFailingStream failing;
  TComPtr<IStream> stream(new TStreamAdapter(&failing));
  char buf[4];
  ULONG n = 99;
  EXPECT_EQ(stream->Read(buf, 4, &n), E_UNEXPECTED);
  EXPECT_EQ(n, 0u);
  EXPECT_EQ(handler.Messages, (std::vector<std::string>{"Disk gone"}));
  EXPECT_EQ(stream->Read(nullptr, 4, &n), STG_E_INVALIDPOINTER);

  TComPtr<IDataObject> none = stream.As<IDataObject>();
  EXPECT_FALSE(none);
  TComPtr<IUnknown> unknown = stream.As<IUnknown>();
  EXPECT_TRUE(unknown);
}

}  // namespace
