// Simple, stream and feedback formats over real global memory, streams and
// storages.
#include "dragdrop/DragDropFormats.h"
#include "tests/dragdrop/FakeDataObject.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace std::string_literals;

CLIPFORMAT Registered(const char* name) { return static_cast<CLIPFORMAT>(RegisterClipboardFormatA(name)); }

class WideFormat : public TCustomWideTextClipboardFormat {
public:
  CLIPFORMAT GetClipboardFormat() override { return CF_UNICODETEXT; }
};

class LinesFormat : public TCustomStringListClipboardFormat {
public:
  CLIPFORMAT GetClipboardFormat() override { return CF_TEXT; }
};

class ValueFormat : public TCustomDWORDClipboardFormat {
public:
  CLIPFORMAT GetClipboardFormat() override { return CF_LOCALE; }
};

struct TextCase {
  const char* Name;
  FakeMedium Medium;
  std::string Block;
  bool HasValue;
  std::string Text;
};

TEST(SimpleFormats, TextReadsFromEveryMediumAndStopsAtItsNul) {
  const TextCase cases[] = {
      {"global", FakeMedium::Global, "abc\0def"s, true, "abc"},
      {"stream left at its end", FakeMedium::Stream, "abc\0def"s, true, "abc"},
      {"no terminator", FakeMedium::Global, "abcd", true, "abcd"},
      {"empty global block", FakeMedium::Global, "", false, ""},
      {"empty stream", FakeMedium::Stream, "", false, ""},
  };
  for (const TextCase& c : cases) {
    SCOPED_TRACE(c.Name);
    FakeDataObject data;
    data.Offer(CF_TEXT, c.Block, c.Medium);
    TTextClipboardFormat text;
    EXPECT_TRUE(text.ReadFrom(&data));
    EXPECT_EQ(text.HasValue(), c.HasValue);
    EXPECT_EQ(text.Text(), c.Text);
    EXPECT_EQ(data.RefCount, 1);
  }
}

TEST(SimpleFormats, StorageIsReadAsTheStreamOfItsCompoundFile) {
  FakeDataObject data;
  data.Offer(CF_TEXT, "inside", FakeMedium::Storage);
  TCustomStringClipboardFormat* bytes = new TTextClipboardFormat;
  std::unique_ptr<TCustomStringClipboardFormat> owner(bytes);
  bytes->SetTrimAtNul(false);
  // The text format does not ask for storages; a copy of its FORMATETC does.
  FORMATETC fe = bytes->FormatEtc();
  fe.tymed = TYMED_ISTORAGE;
  STGMEDIUM medium{};
  ASSERT_EQ(data.GetData(&fe, &medium), S_OK);
  ASSERT_TRUE(bytes->ReadFromMedium(&data, medium));
  ReleaseStgMedium(&medium);
  EXPECT_EQ(bytes->Data().substr(0, 8), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1"s);
  EXPECT_EQ(ContentsOfCompoundFile(bytes->Data()), "inside");
}

TEST(SimpleFormats, WideTextOfSevenBytesIsThreeCharacters) {
  FakeDataObject data;
  data.Offer(CF_UNICODETEXT, "a\0b\0c\0d"s);
  WideFormat wide;
  ASSERT_TRUE(wide.ReadFrom(&data));
  EXPECT_EQ(wide.Text(), L"abc");
}

TEST(SimpleFormats, LinesStopAtTheFirstNulAndTheLastByteIsATerminator) {
  struct Case {
    std::string Block;
    std::vector<std::string> Lines;
  } cases[] = {
      {"one\r\ntwo\0three"s, {"one", "two"}},
      {"a\rb\nc\r\nd!", {"a", "b", "c", "d"}},
      {"x", {}},
  };
  for (const Case& c : cases) {
    FakeDataObject data;
    data.Offer(CF_TEXT, c.Block);
    LinesFormat lines;
    ASSERT_TRUE(lines.ReadFrom(&data));
    std::vector<std::string> got;
    for (int i = 0; i < lines.Lines().Count(); ++i) got.push_back(lines.Lines().Get(i));
    EXPECT_EQ(got, c.Lines) << c.Block;
  }
}

TEST(SimpleFormats, AStreamIsReadUpToWhatItDeliversNotWhatItClaims) {
  FakeDataObject data;
  // Stat claims a gigabyte; the stream holds five bytes.
  data.Offer(CF_TEXT, "hello", FakeMedium::Stream, -1, 1ull << 30);
  TTextClipboardFormat text;
  ASSERT_TRUE(text.ReadFrom(&data));
  EXPECT_EQ(text.Text(), "hello");
}

TEST(SimpleFormats, OfferIsAskedForStreamsBeforeGlobalMemory) {
  FakeDataObject data;
  TTextClipboardFormat text;
  EXPECT_FALSE(text.IsOfferedBy(&data));
  EXPECT_EQ(data.QueriedMedia, (std::vector<DWORD>{TYMED_ISTREAM, TYMED_HGLOBAL}));
  data.Offer(CF_TEXT, "x");
  EXPECT_TRUE(text.IsOfferedBy(&data));
}

TEST(SimpleFormats, WrittenBlocksInGlobalMemoryAndStreams) {
  struct Case {
    const char* Name;
    DWORD Tymed;
  } cases[] = {{"global", TYMED_HGLOBAL}, {"stream", TYMED_ISTREAM}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    FakeDataObject data;
    TTextClipboardFormat text;
    text.SetText("abc");
    FORMATETC fe = text.FormatEtc();
    fe.tymed = c.Tymed;
    STGMEDIUM medium;
    ASSERT_TRUE(text.WriteTo(&data, fe, medium));
    EXPECT_EQ(data.ReceivedBytes(CF_TEXT), "abc\0"s);
    // Nothing to write: nothing is handed over.
    TTextClipboardFormat empty;
    EXPECT_FALSE(empty.WriteTo(&data, fe, medium));
    EXPECT_EQ(data.ReceivedData.size(), 1u);
  }
}

TEST(SimpleFormats, SizesOfWrittenValues) {
  TTextClipboardFormat text;
  EXPECT_EQ(text.ByteSize(), 0u);
  text.SetText("ab");
  EXPECT_EQ(text.ByteSize(), 3u);
  text.SetText("ab\0"s);
  EXPECT_EQ(text.ByteSize(), 3u);
  WideFormat wide;
  EXPECT_EQ(wide.ByteSize(), 0u);
  wide.SetText(L"ab");
  EXPECT_EQ(wide.ByteSize(), 6u);
  LinesFormat lines;
  lines.Lines().Add("a");
  lines.Lines().Add("b");
  EXPECT_EQ(lines.ByteSize(), 7u);
}

TEST(SimpleFormats, ShortValueBlocksAreRefused) {
  FakeDataObject data;
  data.Offer(CF_LOCALE, "\x04\x08"s);
  ValueFormat value;
  EXPECT_FALSE(value.ReadFrom(&data));
  EXPECT_NE(value.LastError(), "");
  FakeDataObject good;
  good.Offer(CF_LOCALE, "\x04\x08\x00\x00\xFF"s);
  ASSERT_TRUE(value.ReadFrom(&good));
  EXPECT_EQ(value.Value(), 0x0804u);
  EXPECT_EQ(value.LastError(), "");
}

TEST(StreamAdapter, ReadBeforeAnySeekStartsAtTheBeginning) {
  auto* stream = new TStringStream("content");
  stream->Seek(0, TSeekOrigin::soEnd);
  IStream* adapter = new TFixedStreamAdapter(stream, soOwned);
  adapter->AddRef();
  char buffer[16] = {};
  ULONG got = 0;
  ASSERT_EQ(adapter->Read(buffer, 4, &got), S_OK);
  EXPECT_EQ(std::string(buffer, got), "cont");
  ASSERT_TRUE(SUCCEEDED(adapter->Read(buffer, 16, &got)));
  EXPECT_EQ(std::string(buffer, got), "ent");
  adapter->Release();
}

// A destination that takes at most `Limit` bytes per write.
class ShortWriter : public TFixedStreamAdapter {
public:
  explicit ShortWriter(ULONG limit) : TFixedStreamAdapter(new TMemoryStream, soOwned), Limit(limit) {}
  HRESULT STDMETHODCALLTYPE Write(const void* buffer, ULONG count, ULONG* written) override {
    return TFixedStreamAdapter::Write(buffer, std::min(count, Limit), written);
  }
  ULONG Limit;
};

TEST(StreamAdapter, CopyToCopiesEverythingFromTheStartWhenAtTheEnd) {
  auto* stream = new TStringStream("0123456789");
  stream->Seek(0, TSeekOrigin::soEnd);
  IStream* adapter = new TFixedStreamAdapter(stream, soOwned);
  adapter->AddRef();
  ShortWriter* all = new ShortWriter(1000);
  all->AddRef();
  ULARGE_INTEGER everything, read, written;
  everything.QuadPart = ~0ull;
  ASSERT_EQ(adapter->CopyTo(all, everything, &read, &written), S_OK);
  EXPECT_EQ(read.QuadPart, 10u);
  EXPECT_EQ(written.QuadPart, 10u);
  EXPECT_EQ(ReadAllOfStream(all), "0123456789");
  all->Release();

  ShortWriter* shortWriter = new ShortWriter(3);
  shortWriter->AddRef();
  adapter->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr);
  EXPECT_EQ(adapter->CopyTo(shortWriter, everything, &read, &written), E_FAIL);
  EXPECT_EQ(written.QuadPart, 3u);
  shortWriter->Release();
  adapter->Release();
}

std::string Descriptors(std::vector<std::string> names, size_t recordSize, bool wide, size_t spare = 0) {
  std::string block(4 + names.size() * recordSize + spare, '\0');
  const uint32_t count = static_cast<uint32_t>(names.size());
  std::memcpy(block.data(), &count, 4);
  for (size_t i = 0; i < names.size(); ++i)
    for (size_t k = 0; k < names[i].size(); ++k)
      block[4 + i * recordSize + 72 + k * (wide ? 2 : 1)] = names[i][k];
  return block;
}

TEST(FileGroupDescriptors, ASpareRecordIsAcceptedOnlyInThe8BitForm) {
  FakeDataObject data;
  data.Offer(Registered("FileGroupDescriptor"), Descriptors({"a.txt", "b.txt"}, 332, false, 332));
  data.Offer(Registered("FileGroupDescriptorW"), Descriptors({"a.txt", "b.txt"}, 592, true, 592));
  TFileGroupDescritorClipboardFormat group;
  ASSERT_TRUE(group.ReadFrom(&data));
  EXPECT_EQ(group.Count(), 2u);
  EXPECT_EQ(group.FileName(1), "b.txt");
  EXPECT_EQ(group.ByteSize(), 4u + 2 * 332);
  TFileGroupDescritorWClipboardFormat wide;
  EXPECT_FALSE(wide.ReadFrom(&data));
  EXPECT_FALSE(wide.HasValue());

  FakeDataObject exact;
  exact.Offer(Registered("FileGroupDescriptorW"), Descriptors({"c.txt"}, 592, true));
  ASSERT_TRUE(wide.ReadFrom(&exact));
  EXPECT_EQ(wide.FileName(0), L"c.txt");
}

TEST(FileGroupDescriptors, WrittenAndReadBack) {
  TFileGroupDescritorWClipboardFormat wide;
  wide.SetCount(2);
  wide.SetFileName(0, L"\u65e5\u5fd7.txt");
  wide.SetFileName(1, std::wstring(300, L'x'));
  FakeDataObject data;
  STGMEDIUM medium;
  ASSERT_TRUE(wide.WriteTo(&data, wide.FormatEtc(), medium));
  FakeDataObject back;
  back.Offer(wide.ClipboardFormat(), data.ReceivedBytes(wide.ClipboardFormat()));
  TFileGroupDescritorWClipboardFormat read;
  ASSERT_TRUE(read.ReadFrom(&back));
  EXPECT_EQ(read.FileName(0), L"\u65e5\u5fd7.txt");
  EXPECT_EQ(read.FileName(1), std::wstring(259, L'x'));
}

TEST(FileContents, StreamsOfEveryDescribedFileFromStreamsAndStorages) {
  FakeDataObject data;
  const CLIPFORMAT contents = Registered("FileContents");
  data.Offer(Registered("FileGroupDescriptor"), Descriptors({"one.txt", "two.bin"}, 332, false));
  data.Offer(contents, "first file", FakeMedium::Stream, 0);
  data.Offer(contents, "second file", FakeMedium::Storage, 1);
  TDataStreamDataFormat streams(nullptr);
  int changes = 0;
  streams.OnValueChanging = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  ASSERT_TRUE(streams.ReadFrom(&data));
  ASSERT_EQ(streams.Streams().Count(), 2);
  EXPECT_EQ(streams.Streams().Get(0), "one.txt");
  EXPECT_EQ(streams.Streams().Streams(0)->DataString(), "first file");
  EXPECT_EQ(streams.Streams().Get(1), "two.bin");
  EXPECT_EQ(ContentsOfCompoundFile(streams.Streams().Streams(1)->DataString()), "second file");
  EXPECT_EQ(data.RequestedIndexes, (std::vector<LONG>{-1, 0, 1}));  // the group, then each file
  EXPECT_GT(changes, 0);
  streams.ResetValue();
  EXPECT_FALSE(streams.HasValue());
}

TEST(FileContents, WithoutDescriptorsOneUnnamedStreamIsAsked) {
  FakeDataObject data;
  data.Offer(Registered("FileContents"), "only", FakeMedium::Stream, -1);
  TFileContentsStreamClipboardFormat format;
  ASSERT_TRUE(format.ReadFrom(&data));
  ASSERT_EQ(format.Streams().Count(), 1);
  EXPECT_EQ(format.Streams().Get(0), "");
  EXPECT_EQ(format.Streams().Streams(0)->DataString(), "only");
}

TEST(FileContents, TextOfTheFirstFile) {
  FakeDataObject data;
  data.Offer(Registered("FileContents"), "[InternetShortcut]\r\n", FakeMedium::Global, 0);
  TFileContentsClipboardFormat text;
  ASSERT_TRUE(text.ReadFrom(&data));
  EXPECT_EQ(text.Text(), "[InternetShortcut]\r\n");
}

TEST(VirtualFiles, DescriptorsAndContentsOnDemand) {
  TVirtualFileStreamDataFormat files(nullptr);
  files.FileNames().Add("report.txt");
  files.FileNames().Add(std::string(300, 'n'));
  files.FileNames().Insert(0, "ignored");
  ASSERT_EQ(files.FileNames().Count(), 2);
  EXPECT_EQ(files.FileNames().Get(1), std::string(259, 'n'));
  EXPECT_FALSE(files.HasValue());  // no contents yet

  TFileContentsStreamOnDemandClipboardFormat& contents = files.FileContentsFormat();
  std::vector<int> asked;
  contents.OnGetStream = TGetStreamEvent::Lambda([&](TObject*, int index, IStream*& stream) {
    asked.push_back(index);
    stream = new TFixedStreamAdapter(new TStringStream("body"), soOwned);
    stream->AddRef();
  });
  EXPECT_TRUE(files.HasValue());

  // Offering: the descriptors, and each file's contents when asked.
  TFileGroupDescritorClipboardFormat group;
  ASSERT_TRUE(files.GiveToClipboardFormat(&group));
  EXPECT_EQ(group.Count(), 2u);
  EXPECT_EQ(group.FileName(0), "report.txt");
  FakeDataObject target;
  FORMATETC fe = contents.FormatEtc();
  STGMEDIUM medium;
  ASSERT_TRUE(contents.WriteTo(&target, fe, medium));
  fe.lindex = 1;
  ASSERT_TRUE(contents.WriteTo(&target, fe, medium));
  EXPECT_EQ(asked, (std::vector<int>{0, 1}));
  EXPECT_EQ(target.ReceivedBytes(contents.ClipboardFormat()), "body");

  // Receiving: descriptors replace the list; contents stay with the source.
  FakeDataObject source;
  source.Offer(group.ClipboardFormat(), Descriptors({"x.dat"}, 332, false));
  source.Offer(contents.ClipboardFormat(), "unused", FakeMedium::Stream, 0);
  TVirtualFileStreamDataFormat received(nullptr);
  ASSERT_TRUE(received.ReadFrom(&source));
  EXPECT_TRUE(received.HasContents());
  ASSERT_EQ(received.FileNames().Count(), 1);
  EXPECT_EQ(received.FileNames().Get(0), "x.dat");
  EXPECT_FALSE(received.NeedsValue());
}

TEST(Feedback, ValuesAreTakenAndAResetKeepsTheLogicalEffectAndTheClassId) {
  auto dword = [](uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
  GUID clsid;
  CLSIDFromString(L"{4657278A-411B-11D2-839A-00C04FD918D0}", &clsid);
  FakeDataObject data;
  data.Offer(Registered("Preferred DropEffect"), dword(DROPEFFECT_MOVE));
  data.Offer(Registered("Performed DropEffect"), dword(DROPEFFECT_COPY));
  data.Offer(Registered("Logical Performed DropEffect"), dword(DROPEFFECT_LINK));
  data.Offer(Registered("Paste Succeeded"), dword(DROPEFFECT_COPY));
  data.Offer(Registered("InShellDragLoop"), dword(7));
  data.Offer(Registered("TargetCLSID"), std::string(reinterpret_cast<const char*>(&clsid), 16));
  TFeedbackDataFormat feedback(nullptr);
  ASSERT_TRUE(feedback.ReadFrom(&data));
  EXPECT_EQ(feedback.PreferredDropEffect, static_cast<uint32_t>(DROPEFFECT_MOVE));
  EXPECT_EQ(feedback.PerformedDropEffect, static_cast<uint32_t>(DROPEFFECT_COPY));
  EXPECT_EQ(feedback.LogicalPerformedDropEffect, static_cast<uint32_t>(DROPEFFECT_LINK));
  EXPECT_EQ(feedback.PasteSucceeded, static_cast<uint32_t>(DROPEFFECT_COPY));
  EXPECT_TRUE(feedback.InShellDragLoop);
  EXPECT_TRUE(IsEqualGUID(feedback.TargetCLSID, clsid));
  EXPECT_FALSE(feedback.NeedsValue());

  feedback.ResetValue();
  EXPECT_FALSE(feedback.HasValue());
  EXPECT_EQ(feedback.LogicalPerformedDropEffect, static_cast<uint32_t>(DROPEFFECT_LINK));
  EXPECT_TRUE(IsEqualGUID(feedback.TargetCLSID, clsid));

  // The loop flag goes back as 0 or 1.
  feedback.InShellDragLoop = true;
  TInShellDragLoopClipboardFormat loop;
  ASSERT_TRUE(feedback.GiveToClipboardFormat(&loop));
  EXPECT_EQ(loop.Value(), 1u);
}

TEST(Feedback, TargetClassIdNeedsExactly16Bytes) {
  for (size_t size : {15u, 17u}) {
    FakeDataObject data;
    data.Offer(Registered("TargetCLSID"), std::string(size, '\x11'));
    TTargetCLSIDClipboardFormat target;
    EXPECT_FALSE(target.ReadFrom(&data)) << size;
    EXPECT_FALSE(target.HasValue());
  }
}

}  // namespace
