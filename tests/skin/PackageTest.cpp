// The skin package reader, its decoder and INI reader, and the tools that
// write packages. Portable: built for the target (under Wine) and natively
// (under the sanitizers).
#include "skin/package/LZH.h"
#include "skin/package/QuickIni.h"
#include "skin/package/SkinReader.h"
#include "tools/skin/LZHEncoder.h"
#include "tools/skin/SkinPackageWriter.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

namespace {

// A memory stream holding `bytes`, rewound.
struct TBytesStream : TMemoryStream {
  explicit TBytesStream(const AnsiString& bytes) {
    WriteString(bytes);
    SetPosition(0);
  }
};

AnsiString Unpacked(const AnsiString& package) {
  TBytesStream in(package);
  TMemoryStream out;
  TSkinReader::Unpack(in, out);
  return out.DataString();
}

AnsiString PackageOf(const AnsiString& body) {
  AnsiString package;
  AppendInt32(package, static_cast<int32_t>(body.size()));
  return package + LZHCompress(body);
}

// Collects what the reader would have shown the user.
std::vector<AnsiString> gMessages;
struct MessageRecorder {
  MessageRecorder() {
    gMessages.clear();
    SkinMessageHook = [](const AnsiString& text) { gMessages.push_back(text); };
  }
  ~MessageRecorder() { SkinMessageHook = nullptr; }
};

AnsiString RandomBytes(size_t n, uint32_t seed) {
  std::mt19937 gen(seed);
  AnsiString s(n, '\0');
  for (char& c : s) c = static_cast<char>(gen() & 0xFF);
  return s;
}

// Text-like data with repeats near and far, as INI texts and bitmaps have.
AnsiString StructuredBytes(size_t n, uint32_t seed) {
  std::mt19937 gen(seed);
  AnsiString s;
  const char* words[] = {"LeftWidth=", "Image=", "bmp\r\n", "[Buttons]", "\xFF\x00\xFF", "\x10\x20\x30\x40"};
  while (s.size() < n) {
    const uint32_t pick = gen() % 8;
    if (pick < 6) {
      s += AnsiString(words[pick], pick == 4 ? 3 : std::char_traits<char>::length(words[pick]));
    } else if (pick == 6 && s.size() > 100) {
      const size_t from = gen() % (s.size() - 50);
      s += s.substr(from, 3 + gen() % 70);
    } else {
      s.push_back(static_cast<char>(gen() & 0xFF));
    }
  }
  s.resize(n);
  return s;
}

TEST(LZHTest, RoundTripsEverySizeAndKind) {
  struct Kind {
    const char* Name;
    std::function<AnsiString(size_t)> Make;
  };
  const Kind kinds[] = {
      {"zeros", [](size_t n) { return AnsiString(n, '\0'); }},
      {"spaces", [](size_t n) { return AnsiString(n, ' '); }},
      {"random", [](size_t n) { return RandomBytes(n, static_cast<uint32_t>(n)); }},
      {"structured", [](size_t n) { return StructuredBytes(n, static_cast<uint32_t>(n) + 7); }},
  };
  const size_t sizes[] = {0, 1, 2, 3, 4, 61, 100, 4035, 4036, 4095, 4096, 4097, 8193, 65536, 300 * 1024};
  for (const Kind& kind : kinds) {
    for (size_t n : sizes) {
      SCOPED_TRACE(Format("%s, %u bytes", kind.Name, static_cast<unsigned>(n)));
      const AnsiString data = kind.Make(n);
      const AnsiString package = PackageOf(data);
      ASSERT_EQ(Unpacked(package), data);
      if (kind.Name[0] == 'r' && n >= 4096) {
        EXPECT_LT(package.size(), n + n / 8 + 64) << "incompressible data grows little";
      }
      if (kind.Name[0] == 'z' && n >= 4096) {
        EXPECT_LT(package.size(), n / 20) << "runs compress";
      }
    }
  }
}

// Frequencies of the adaptive tree pass 0x8000 many times in a long stream
// of few symbols; the rebuilt tree must stay in step on both ends.
TEST(LZHTest, RoundTripsThroughManyTreeRebuilds) {
  AnsiString data;
  std::mt19937 gen(5);
  while (data.size() < 200000) data.push_back(static_cast<char>("ab"[gen() % 2] + (gen() % 97 == 0 ? 5 : 0)));
  EXPECT_EQ(Unpacked(PackageOf(data)), data);
}

// Decoded by hand from the initial tree: root, then always the first child,
// ends after eight bits at the leaf of 't' (0x74); always the second child
// ends after nine bits at 's' (0x73).
TEST(LZHTest, FirstSymbolsFollowTheInitialTree) {
  EXPECT_EQ(Unpacked(AnsiString("\x01\x00\x00\x00\x00", 5)), "t");
  EXPECT_EQ(Unpacked(AnsiString("\x01\x00\x00\x00\xFF\x80", 6)), "s");
}

// The last match is copied whole even past the unpacked size.
TEST(LZHTest, LastMatchIsCopiedWhole) {
  AnsiString package = PackageOf(AnsiString(61, 'a'));  // one literal, one 60-byte match
  package[0] = 5;
  EXPECT_EQ(Unpacked(package), AnsiString(61, 'a'));
}

TEST(LZHTest, DistanceCodeCoversEveryLeadByte) {
  int counts[64] = {};
  for (unsigned lead = 0; lead < 256; ++lead) {
    const int upper = lzh::LeadUpper(lead);
    ASSERT_GE(upper, 0);
    ASSERT_LT(upper, 64);
    // Each upper value owns 2^(8 - length) consecutive lead bytes.
    ++counts[upper];
    EXPECT_EQ(counts[upper] <= (1 << (8 - lzh::LeadLength(lead))), true) << lead;
  }
  for (int upper = 0; upper < 64; ++upper) EXPECT_GT(counts[upper], 0) << upper;
}

TEST(LZHTest, ExhaustedInputIsAnError) {
  const AnsiString data = StructuredBytes(20000, 3);
  AnsiString package = PackageOf(data);
  // Claiming more than the stream holds.
  AnsiString bigger = package;
  bigger[0] = 0;
  bigger[1] = 0;
  bigger[2] = 0x10;  // 1 MB
  EXPECT_THROW(Unpacked(bigger), ElzhException);
  // Cut off well before its end.
  EXPECT_THROW(Unpacked(package.substr(0, package.size() / 2)), ElzhException);
}

std::vector<TSkinPackageEntry> SampleEntries() {
  return {
      {"Buttons.bmp", "BM" + RandomBytes(300, 1)},
      {"checkbox.bmp", "BM" + AnsiString(5000, '\x7F')},
      {"empty.bmp", ""},
      {"house.ini", "[TitlebarSkin]\r\nSkinName=House\r\n"},
  };
}

TEST(SkinReaderTest, ReadsPackagesOfEveryVersion) {
  const struct {
    int32_t Version;
    int Block;
  } versions[] = {{20000, 0}, {30000, 256}, {40000, 80}, {50000, 48}, {60000, 117}, {70000, 69}};
  const std::vector<TSkinPackageEntry> entries = SampleEntries();
  for (const auto& v : versions) {
    SCOPED_TRACE(v.Version);
    TBytesStream package(BuildSkinPackage(v.Version, entries));
    TSkinReader reader;
    ASSERT_TRUE(reader.LoadPackage(package));
    EXPECT_EQ(reader.Version(), v.Version);
    ASSERT_EQ(reader.Count(), 4);
    // Names follow the header and the version's block; data follows names and sizes.
    EXPECT_EQ(reader.DataOffset(), 16 + v.Block + reader.NameListLength() + 4 * 4);
    for (int i = 0; i < reader.Count(); ++i) {
      EXPECT_EQ(reader.Names(i), LowerCase(entries[static_cast<size_t>(i)].Name));
      TMemoryStream entry;
      reader.GetEntry(entries[static_cast<size_t>(i)].Name, entry);
      EXPECT_EQ(entry.DataString(), entries[static_cast<size_t>(i)].Data);
      EXPECT_EQ(entry.Position(), 0);
    }
  }
}

TEST(SkinReaderTest, FindsEntriesByNameAndByPart) {
  TBytesStream package(BuildSkinPackage(70000, SampleEntries()));
  TSkinReader reader;
  ASSERT_TRUE(reader.LoadPackage(package));
  TMemoryStream entry;
  reader.GetEntry("BUTTONS.BMP", entry);
  EXPECT_EQ(entry.Size(), 302);
  reader.GetEntry("nothing.bmp", entry);
  EXPECT_EQ(entry.Size(), 0);

  AnsiString found = "unchanged";
  EXPECT_TRUE(reader.FindEntry(".ini", entry, found));
  EXPECT_EQ(found, "house.ini");
  EXPECT_EQ(entry.DataString(), SampleEntries()[3].Data);
  // The part is not lower-cased: names are, so capitals never match.
  found = "unchanged";
  EXPECT_FALSE(reader.FindEntry(".INI", entry, found));
  EXPECT_EQ(found, "unchanged");
  EXPECT_EQ(entry.Size(), 0);
  // The first entry in package order wins.
  EXPECT_TRUE(reader.FindEntry(".bmp", entry, found));
  EXPECT_EQ(found, "buttons.bmp");
}

TEST(SkinReaderTest, NameListLineEnds) {
  // CR LF, CR and LF all end a name; text after the last end is a name too.
  AnsiString body;
  AppendInt32(body, 20000);
  const AnsiString names = "a.bmp\r\nB.bmp\rc.bmp\nd.ini";
  AppendInt32(body, static_cast<int32_t>(names.size()));
  AppendInt32(body, 0);
  AppendInt32(body, 0);
  body += names;
  for (int32_t size : {1, 2, 3, 4}) AppendInt32(body, size);
  body += "abbcccdddd";
  TBytesStream package(PackageOf(body));
  TSkinReader reader;
  ASSERT_TRUE(reader.LoadPackage(package));
  ASSERT_EQ(reader.Count(), 4);
  EXPECT_EQ(reader.Names(1), "b.bmp");
  TMemoryStream entry;
  reader.GetEntry("d.ini", entry);
  EXPECT_EQ(entry.DataString(), "dddd");
}

// Directories that are odd but consistent load, and entries are served by
// offset from the sizes before them.
TEST(SkinReaderTest, OddButConsistentDirectories) {
  const struct {
    const char* Name;
    AnsiString Names;
    std::vector<int32_t> Sizes;
    AnsiString Data;
    const char* Lookup;
    const char* Expected;
    int Count;
  } cases[] = {
      // A blank line inside the list is an entry with an empty name.
      {"blank name in the middle", "a.bmp\r\n\r\nb.bmp\r\n", {1, 2, 3}, "abbccc", "b.bmp", "ccc", 3},
      // The first of two equal names wins.
      {"duplicate name", "a.bmp\r\nA.BMP\r\n", {1, 2}, "xyy", "a.bmp", "x", 2},
      // Bytes after the last entry belong to none.
      {"trailing bytes", "a.bmp\r\n", {2}, "xxjunk", "a.bmp", "xx", 1},
      {"no names", "", {}, "", "a.bmp", "", 0},
      {"empty entry between others", "a\nb\nc\n", {1, 0, 1}, "xz", "c", "z", 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    AnsiString body;
    AppendInt32(body, 20000);
    AppendInt32(body, static_cast<int32_t>(c.Names.size()));
    AppendInt32(body, 0);
    AppendInt32(body, 0);
    body += c.Names;
    for (int32_t size : c.Sizes) AppendInt32(body, size);
    body += c.Data;
    TBytesStream package(PackageOf(body));
    TSkinReader reader;
    ASSERT_TRUE(reader.LoadPackage(package));
    EXPECT_EQ(reader.Count(), c.Count);
    TMemoryStream entry;
    reader.GetEntry(c.Lookup, entry);
    EXPECT_EQ(entry.DataString(), c.Expected);
  }
}

TEST(SkinReaderTest, UnknownVersionsTellTheUserAndLoadNothing) {
  MessageRecorder recorder;
  for (int32_t version : {0, 10000, 25000, 80000, -1}) {
    SCOPED_TRACE(version);
    AnsiString body = BuildSkinBody(20000, SampleEntries());
    body[0] = static_cast<char>(version & 0xFF);
    body[1] = static_cast<char>((version >> 8) & 0xFF);
    body[2] = static_cast<char>((version >> 16) & 0xFF);
    body[3] = static_cast<char>((version >> 24) & 0xFF);
    TBytesStream package(PackageOf(body));
    TSkinReader reader;
    EXPECT_FALSE(reader.LoadPackage(package));
    EXPECT_EQ(reader.Count(), 0);
  }
  ASSERT_EQ(gMessages.size(), 5u);
  EXPECT_EQ(gMessages[0], "This is Older Skin File\rPlease update to new version !");
}

// A body made field by field, so that each case can break one of them.
struct BodyFields {
  int32_t Version = 70000;
  int32_t NameListLength = -1;  // -1: the true length
  AnsiString Names = "a.bmp\r\nb.ini\r\n";
  std::vector<int32_t> Sizes = {3, 2};
  AnsiString Data = "BMx;x";
  AnsiString Build() const {
    AnsiString body;
    AppendInt32(body, Version);
    AppendInt32(body, NameListLength < 0 && NameListLength != -2 ? static_cast<int32_t>(Names.size()) : NameListLength);
    AppendInt32(body, 0);
    AppendInt32(body, 0);
    body.append(static_cast<size_t>(std::max(0, SkinVersionBlockSize(Version))), '\0');
    body += Names;
    for (int32_t s : Sizes) AppendInt32(body, s);
    return body + Data;
  }
};

TEST(SkinReaderTest, MalformedPackagesAreRejected) {
  AnsiString manyNames;
  for (int i = 0; i < 1002; ++i) manyNames += Format("n%d.bmp\r\n", i);
  AnsiString hugeSize;
  AppendInt32(hugeSize, 0x7FFFFFFF);
  AnsiString negativeSize;
  AppendInt32(negativeSize, -5);
  const BodyFields good;

  const struct {
    const char* Name;
    AnsiString Package;
  } cases[] = {
      {"too many names", PackageOf([&] { BodyFields f; f.Names = manyNames; f.Sizes.assign(1002, 0); f.Data = ""; return f.Build(); }())},
      {"name length past the end", PackageOf([&] { BodyFields f; f.NameListLength = 100000; return f.Build(); }())},
      {"negative name length", PackageOf([&] { BodyFields f; f.NameListLength = -2; return f.Build(); }())},
      {"sizes past the data", PackageOf([&] { BodyFields f; f.Sizes = {3, 3}; return f.Build(); }())},
      {"sizes overflowing", PackageOf([&] { BodyFields f; f.Sizes = {0x7FFFFFFF, 0x7FFFFFFF}; return f.Build(); }())},
      {"negative size", PackageOf([&] { BodyFields f; f.Sizes = {-1, 6}; return f.Build(); }())},
      {"size table past the end", PackageOf([&] { BodyFields f; f.Sizes = {3}; f.Data = ""; return f.Build(); }())},
      {"huge unpacked size", hugeSize + LZHCompress(good.Build())},
      {"negative unpacked size", negativeSize + LZHCompress(good.Build())},
      {"no unpacked size", AnsiString("\x05\x00", 2)},
      {"empty package", AnsiString()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TBytesStream package(c.Package);
    TSkinReader reader;
    EXPECT_THROW(reader.LoadPackage(package), Exception);
    EXPECT_EQ(reader.Count(), 0);
  }
}

// A reader given a smaller budget refuses a package that unpacks to more,
// before decoding it.
TEST(SkinReaderTest, ABudgetBoundsTheUnpackedSize) {
  const AnsiString body = BodyFields().Build();
  TBytesStream package(PackageOf(body));
  TSkinReader reader;
  reader.MaxUnpackedSize = static_cast<int32_t>(body.size()) - 1;
  try {
    reader.LoadPackage(package);
    ADD_FAILURE() << "no error";
  } catch (const ESkinPackageError& e) {
    EXPECT_NE(std::string(e.what()).find(Format("above the limit of %d bytes", reader.MaxUnpackedSize)),
              std::string::npos)
        << e.what();
  }
  EXPECT_EQ(reader.Count(), 0);
  reader.MaxUnpackedSize = static_cast<int32_t>(body.size());
  EXPECT_TRUE(reader.LoadPackage(package));
  EXPECT_EQ(reader.Count(), 2);
}

// A reader that is loaded again forgets the previous package, also when the
// new one is refused.
TEST(SkinReaderTest, ReloadingReplacesTheDirectory) {
  MessageRecorder recorder;
  TSkinReader reader;
  TBytesStream good(BuildSkinPackage(70000, SampleEntries()));
  ASSERT_TRUE(reader.LoadPackage(good));
  TMemoryStream entry;
  BodyFields unknown;
  unknown.Version = 12345;
  BodyFields overlong;
  overlong.Sizes = {3, 3};
  for (const AnsiString& bad : {PackageOf(unknown.Build()), PackageOf(overlong.Build())}) {
    TBytesStream package(bad);
    try {
      EXPECT_FALSE(reader.LoadPackage(package));
    } catch (const ESkinPackageError&) {
    }
    EXPECT_EQ(reader.Count(), 0);
    reader.GetEntry("buttons.bmp", entry);
    EXPECT_EQ(entry.Size(), 0);
    ASSERT_TRUE(reader.LoadPackage(good));
  }
}

TEST(SkinReaderTest, TruncationAtEveryFieldIsRejected) {
  MessageRecorder recorder;
  const AnsiString body = BodyFields().Build();
  // Cut inside the header reads as an unknown version; any later cut breaks
  // the name list, the size table or the data.
  for (size_t cut = 0; cut < body.size(); ++cut) {
    SCOPED_TRACE(cut);
    TBytesStream package(PackageOf(body.substr(0, cut)));
    TSkinReader reader;
    if (cut < 16) {
      EXPECT_FALSE(reader.LoadPackage(package));
    } else {
      EXPECT_THROW(reader.LoadPackage(package), ESkinPackageError);
    }
  }
  // The compressed form cut anywhere before its last bytes fails to decode.
  const AnsiString package = BuildSkinPackage(70000, SampleEntries());
  for (size_t cut = 0; cut + 2 < package.size(); ++cut) {
    SCOPED_TRACE(cut);
    TBytesStream truncated(package.substr(0, cut));
    TSkinReader reader;
    EXPECT_THROW(reader.LoadPackage(truncated), Exception);
  }
}

// An INI read from `text` through a stream.
struct TIniOf : TQuickIni {
  explicit TIniOf(const AnsiString& text) {
    TBytesStream s(text);
    LoadFromStream(&s);
  }
};

TEST(QuickIniTest, LookupRules) {
  const TIniOf ini(
      "Orphan=1\r\n"
      "[buttons]\r\n"
      "; LeftWidth=9\r\n"
      "\r\n"
      "  Rightwidth = 7  \r\n"
      "Trans=\n"
      "Trans=1\r"
      "Name=a=b\r\n"
      "[ Spaced ]\r\n"
      "Key=1\r\n"
      "[Buttons]\r\n"
      "Tile=5\r\n"
      "[Numbers]\r\n"
      "Hex=0x1F\r\nDollar=$1F\r\nNegative=-5\r\nBare=0x\r\nWord=abc\r\nBig=99999999999\r\n"
      "AllBits=0xFFFFFFFF\r\nTopBit=$80000000\r\nNineDigits=0x100000000\r\nDollarOnly=$\r\nHexWord=$1G\r\n");
  const struct {
    const char* Section;
    const char* Key;
    const char* Expected;
  } strings[] = {
      {"Buttons", "RightWidth", "7"},    // keys and sections compare without case
      {"BUTTONS", "name", "a=b"},        // the value starts after the first "="
      {"Buttons", "Trans", "dflt"},      // the first line decides, empty means default
      {"Buttons", "LeftWidth", "dflt"},  // comments do not count
      {"Buttons", "Tile", "dflt"},       // only the first header of a name is searched
      {"Spaced", "Key", "dflt"},         // blanks inside brackets are part of the name
      {"", "Orphan", "dflt"},            // lines before the first header belong nowhere
      {"Missing", "Key", "dflt"},
      {"Buttons", "", "dflt"},
  };
  for (const auto& c : strings) EXPECT_EQ(ini.ReadString(c.Section, c.Key, "dflt"), c.Expected) << c.Section << "/" << c.Key;

  const struct {
    const char* Key;
    int32_t Expected;
  } integers[] = {{"Hex", 31}, {"Dollar", 31}, {"Negative", -5}, {"Bare", 77}, {"Word", 77}, {"Big", 77}, {"None", 77},
      // Hexadecimal is a 32-bit pattern: the top bit makes it negative.
      {"AllBits", -1}, {"TopBit", INT32_MIN}, {"NineDigits", 77}, {"DollarOnly", 77}, {"HexWord", 77}};
  for (const auto& c : integers) EXPECT_EQ(ini.ReadInteger("Numbers", c.Key, 77), c.Expected) << c.Key;

  std::vector<AnsiString> sections;
  ini.ReadSections(sections);
  EXPECT_EQ(sections, (std::vector<AnsiString>{"buttons", "Spaced", "Buttons", "Numbers"}));
}

TEST(QuickIniTest, TextEndsAtNulAndMissingStreamEmpties) {
  TIniOf ini(AnsiString("[A]\r\nK=1\r\n\0[B]\r\nK=2\r\n", 22));
  EXPECT_EQ(ini.ReadInteger("A", "K", 0), 1);
  EXPECT_EQ(ini.SectionLine("B"), -1);
  ini.LoadFromStream(nullptr);
  EXPECT_TRUE(ini.Lines().empty());
  EXPECT_EQ(ini.ReadString("A", "K", "x"), "x");
}

}  // namespace
