// File drop lists, file names, name maps, ID-list arrays and the shell
// helpers, over real blocks and the real shell namespace.
#include "dragdrop/DragDropFile.h"
#include "dragdrop/DropBlocks.h"
#include "tests/dragdrop/FakeDataObject.h"

#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

namespace {

using namespace std::string_literals;

CLIPFORMAT Registered(const char* name) { return static_cast<CLIPFORMAT>(RegisterClipboardFormatA(name)); }

std::vector<std::string> LinesOf(const TStrings& strings) {
  std::vector<std::string> lines;
  for (int i = 0; i < strings.Count(); ++i) lines.push_back(strings.Get(i));
  return lines;
}

void SetLinesOf(TStrings& strings, const std::vector<std::string>& lines) {
  strings.Clear();
  for (const std::string& line : lines) strings.Add(line);
}

// Writes `format` through a data object and reads the block back into `back`.
std::string RoundTrip(TClipboardFormat& format, TClipboardFormat& back, DWORD tymed = TYMED_HGLOBAL) {
  FakeDataObject target;
  FORMATETC fe = format.FormatEtc();
  fe.tymed = tymed;
  STGMEDIUM medium;
  EXPECT_TRUE(format.WriteTo(&target, fe, medium));
  const std::string block = target.ReceivedBytes(format.ClipboardFormat());
  FakeDataObject source;
  source.Offer(format.ClipboardFormat(), block);
  EXPECT_TRUE(back.ReadFrom(&source)) << back.LastError();
  return block;
}

// "日志" and "文件" in the system code page.
const std::string Log = "\xC8\xD5\xD6\xBE";
const std::string File = "\xCE\xC4\xBC\xFE";

TEST(FileDropLists, WrittenAndReadBack) {
  const std::vector<std::string> names{"C:\\" + Log + "\\a.txt", "C:\\" + File + ".doc", "D:\\b"};
  TFileClipboardFormat files, back;
  SetLinesOf(files.Files(), names);
  for (DWORD tymed : {TYMED_HGLOBAL, TYMED_ISTREAM}) {
    const std::string block = RoundTrip(files, back, tymed);
    EXPECT_EQ(LinesOf(back.Files()), names);
    // Names at 20, every flag 0, the list ended by an empty name.
    EXPECT_EQ(block.size(), files.ByteSize());
    EXPECT_EQ(block.substr(0, 4), "\x14\0\0\0"s);
    EXPECT_EQ(block.substr(4, 16), std::string(16, '\0'));
    EXPECT_EQ(block.substr(block.size() - 2), "\0\0"s);
  }
}

TEST(FileDropLists, TheShellReadsWhatWeWrite) {
  TFileClipboardFormat files;
  SetLinesOf(files.Files(), {"C:\\" + Log + ".txt", "D:\\b"});
  FakeDataObject target;
  STGMEDIUM medium;
  ASSERT_TRUE(files.WriteTo(&target, files.FormatEtc(), medium));
  const std::string block = target.ReceivedBytes(CF_HDROP);
  HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, block.size());
  std::memcpy(GlobalLock(handle), block.data(), block.size());
  GlobalUnlock(handle);
  auto drop = static_cast<HDROP>(handle);
  ASSERT_EQ(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 2u);
  char name[MAX_PATH];
  DragQueryFileA(drop, 0, name, MAX_PATH);
  EXPECT_EQ(std::string(name), "C:\\" + Log + ".txt");
  DragQueryFileA(drop, 1, name, MAX_PATH);
  EXPECT_EQ(std::string(name), "D:\\b");
  GlobalFree(handle);
}

TEST(FileDropLists, WideNamesAreReadAs8BitText) {
  std::string block = "\x14\0\0\0"s + std::string(12, '\0') + "\x01\0\0\0"s;
  for (const char16_t* name : {u"C:\\\u65e5\u5fd7.txt", u"C:\\x"}) {
    for (const char16_t* p = name; *p; ++p) block += std::string{static_cast<char>(*p & 0xFF), static_cast<char>(*p >> 8)};
    block += "\0\0"s;
  }
  block += "\0\0"s;
  FakeDataObject data;
  data.Offer(CF_HDROP, block);
  TFileClipboardFormat files;
  ASSERT_TRUE(files.ReadFrom(&data)) << files.LastError();
  EXPECT_EQ(LinesOf(files.Files()), (std::vector<std::string>{"C:\\" + Log + ".txt", "C:\\x"}));
}

TEST(FileNameMaps, WrittenAndReadBackInBothForms) {
  const std::vector<std::string> names{"Copy of " + Log + ".txt", "b"};
  TFilenameMapClipboardFormat narrow, narrowBack;
  SetLinesOf(narrow.FileMaps(), names);
  EXPECT_EQ(RoundTrip(narrow, narrowBack), "Copy of " + Log + ".txt\0b\0\0"s);
  EXPECT_EQ(LinesOf(narrowBack.FileMaps()), names);

  TFilenameMapWClipboardFormat wide, wideBack;
  SetLinesOf(wide.FileMaps(), names);
  const std::string block = RoundTrip(wide, wideBack);
  // "Copy of " + 2 characters + ".txt", "b", each with a terminator, then one more.
  EXPECT_EQ(block.size(), 2u * (14 + 1 + 1 + 1 + 1));
  EXPECT_EQ(LinesOf(wideBack.FileMaps()), names);
}

TEST(FileNames, SingleNamesFromBothFormsJoinTheFileList) {
  FakeDataObject data;
  data.Offer(Registered("FileName"), "C:\\" + Log + ".txt\0"s);
  data.Offer(Registered("FileNameW"), "C\0:\0\\\0w\0\0\0"s);
  TFileDataFormat files(nullptr);
  // Without a drop list the two names are read in map order, wide first.
  ASSERT_TRUE(files.ReadFrom(&data));
  EXPECT_EQ(LinesOf(files.Files()), (std::vector<std::string>{"C:\\w"}));
  files.Files().Clear();
  for (int i = 0; i < files.CompatibleFormats().Count(); ++i) {
    TClipboardFormat* format = files.CompatibleFormats().Items(i);
    if (format->ReadFrom(&data) && format->HasValue()) files.TakeFromClipboardFormat(format);
  }
  EXPECT_EQ(LinesOf(files.Files()), (std::vector<std::string>{"C:\\w", "C:\\" + Log + ".txt"}));
}

TEST(FileNames, OfferingANameFromNoFilesFails) {
  TFileDataFormat files(nullptr);
  TFilenameClipboardFormat name;
  TFilenameWClipboardFormat wide;
  EXPECT_FALSE(files.GiveToClipboardFormat(&name));
  EXPECT_FALSE(files.GiveToClipboardFormat(&wide));
  files.Files().Add("C:\\" + Log);
  ASSERT_TRUE(files.GiveToClipboardFormat(&wide));
  EXPECT_EQ(wide.Filename(), L"C:\\\u65e5\u5fd7");
}

TEST(FileDataFormat, ReadingStopsAtTheFirstFormatThatGivesAValue) {
  FakeDataObject data;
  TFileClipboardFormat drop;
  drop.Files().Add("C:\\a.txt");
  FORMATETC fe = drop.FormatEtc();
  STGMEDIUM medium;
  ASSERT_TRUE(drop.WriteTo(&data, fe, medium));
  data.Offer(CF_HDROP, data.ReceivedBytes(CF_HDROP));
  data.Offer(Registered("FileName"), "C:\\other.txt");
  TFileDataFormat files(nullptr);
  int changes = 0;
  files.OnValueChanging = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  ASSERT_TRUE(files.ReadFrom(&data));
  EXPECT_EQ(LinesOf(files.Files()), (std::vector<std::string>{"C:\\a.txt"}));
  EXPECT_EQ(data.RequestedIndexes.size(), 1u);
  EXPECT_GT(changes, 0);
}

// ID lists built by hand: items are a 16-bit size and payload bytes.
std::string Item(const std::string& payload) {
  const uint16_t size = static_cast<uint16_t>(payload.size() + 2);
  return std::string(reinterpret_cast<const char*>(&size), 2) + payload;
}
const std::string End = "\0\0"s;

TEST(IDListArrays, WrittenAndReadBack) {
  const std::vector<std::string> lists{Item("root") + Item("dir") + End, Item("a") + End, Item("bb") + Item("c") + End};
  TPIDLClipboardFormat pidls, back;
  SetLinesOf(pidls.PIDLs(), lists);
  const std::string block = RoundTrip(pidls, back);
  EXPECT_EQ(block.size(), 4u * 4 + lists[0].size() + lists[1].size() + lists[2].size());
  EXPECT_EQ(block.substr(0, 8), "\x02\0\0\0\x10\0\0\0"s);
  EXPECT_EQ(LinesOf(back.PIDLs()), lists);
  EXPECT_EQ(IDListSize(lists[2]), lists[2].size());
  EXPECT_EQ(JoinIDLists(lists[0], lists[1]), Item("root") + Item("dir") + Item("a") + End);
}

TEST(IDListArrays, AParentWithoutItemsIsNoValue) {
  FakeDataObject data;
  data.Offer(Registered("Shell IDList Array"), "\0\0\0\0\x08\0\0\0\0\0"s);
  TPIDLClipboardFormat pidls;
  EXPECT_FALSE(pidls.ReadFrom(&data));
  EXPECT_EQ(pidls.LastError(), "");
}

struct MalformedCase {
  const char* Name;
  std::function<TClipboardFormat*()> Make;
  std::string Block;
};

std::string U32(uint32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

TEST(MalformedBlocks, AreRefusedWithAReason) {
  auto drop = [] { return new TFileClipboardFormat; };
  auto cida = [] { return new TPIDLClipboardFormat; };
  auto group = [] { return new TFileGroupDescritorClipboardFormat; };
  auto groupW = [] { return new TFileGroupDescritorWClipboardFormat; };
  auto map = [] { return new TFilenameMapClipboardFormat; };
  auto mapW = [] { return new TFilenameMapWClipboardFormat; };
  const std::string header = U32(20) + std::string(16, '\0');
  const std::string wideHeader = U32(20) + std::string(12, '\0') + U32(1);
  // 200 items whose offsets, with the parent's, all point at one list that
  // fills most of the block: copying them whole would take 201 blocks.
  std::string aliased = U32(200);
  for (int i = 0; i <= 200; ++i) aliased += U32(4 + 4 * 201);
  aliased += Item(std::string(1000, 'x')) + End;
  const MalformedCase cases[] = {
      {"drop list of only a header", drop, header},
      {"drop list shorter than its header", drop, "\x14\0\0"s},
      {"drop list offset past the end", drop, U32(0x7FFFFFFF) + std::string(16, '\0') + "a\0\0"s},
      {"drop list offset inside the header", drop, U32(8) + std::string(16, '\0') + "a\0\0"s},
      {"drop list name not terminated", drop, header + "C:\\abc"},
      {"drop list not ended by an empty name", drop, header + "C:\\a\0"s},
      {"wide drop list name not terminated", drop, wideHeader + "C\0:\0x"s},
      {"wide drop list not ended", drop, wideHeader + "C\0\0\0"s},
      {"ID list array of 3 bytes", cida, "\x01\0\0"s},
      {"ID list array count without offsets", cida, U32(0)},
      {"ID list array huge count", cida, U32(0xFFFFFFFF) + U32(8) + U32(8) + End},
      {"ID list array count past the offsets", cida, U32(3) + U32(12) + U32(12) + End},
      {"ID list array offset past the end", cida, U32(1) + U32(12) + U32(400) + End},
      {"ID list array offset at the end", cida, U32(1) + U32(12) + U32(14) + End},
      {"ID list running past the block", cida, U32(1) + U32(12) + U32(12) + "\x40\0abc"s},
      {"ID list item of size 1", cida, U32(1) + U32(12) + U32(12) + "\x01\0\0\0"s},
      {"ID list without terminator", cida, U32(1) + U32(12) + U32(12) + Item("ab")},
      {"ID list array whose offsets all point at one long list", cida, aliased},
      {"group under 4 bytes", group, "\x01\0"s},
      {"group count past the block", group, U32(2) + std::string(332, '\0')},
      {"group huge count", group, U32(0xFFFFFFFF) + std::string(332, '\0')},
      {"wide group under 4 bytes", groupW, "\x01\0\0"s},
      {"wide group count short of the records", groupW, U32(1) + std::string(2 * 592, '\0')},
      {"name map not terminated", map, "a\0b"s},
      {"name map not ended", map, "a\0"s},
      {"wide name map odd", mapW, "a\0\0"s},
  };
  for (const MalformedCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::unique_ptr<TClipboardFormat> format(c.Make());
    FakeDataObject data;
    data.Offer(format->ClipboardFormat(), c.Block);
    EXPECT_FALSE(format->ReadFrom(&data));
    EXPECT_FALSE(format->HasValue());
    EXPECT_NE(format->LastError(), "");
  }
}

// Offsets may share a list; only sharing beyond the bound is refused.
TEST(MalformedBlocks, SharedIDListsAreReadUpToTwiceTheBlock) {
  const std::string shared = U32(2) + U32(16) + U32(21) + U32(21) + Item("p") + End + Item("x") + End;
  std::vector<AnsiString> lists = ReadIDListArrayBlock(reinterpret_cast<const uint8_t*>(shared.data()), shared.size());
  ASSERT_EQ(lists.size(), 3u);
  EXPECT_EQ(lists[1], Item("x") + End);
  EXPECT_EQ(lists[2], lists[1]);

  // Offsets at one list of 60 bytes in a block of 100: three copies (180
  // bytes) are read, a fourth (240) is refused.
  const std::string payload(56, 'y');
  const std::string three = U32(2) + U32(16) + U32(16) + U32(16) + Item(payload) + End + std::string(24, '\0');
  ASSERT_EQ(three.size(), 100u);
  EXPECT_EQ(ReadIDListArrayBlock(reinterpret_cast<const uint8_t*>(three.data()), three.size()).size(), 3u);
  const std::string four = U32(3) + U32(20) + U32(20) + U32(20) + U32(20) + Item(payload) + End + std::string(20, '\0');
  ASSERT_EQ(four.size(), 100u);
  try {
    ReadIDListArrayBlock(reinterpret_cast<const uint8_t*>(four.data()), four.size());
    ADD_FAILURE() << "no error";
  } catch (const EDropBlockError& e) {
    EXPECT_NE(std::string(e.what()).find("overlap"), std::string::npos) << e.what();
  }
}

TEST(MalformedBlocks, EveryTruncationOfAGoodBlockIsRefusedOrReadWithinIt) {
  const std::string drop = U32(20) + std::string(16, '\0') + "C:\\a\0D:\\bb\0\0"s;
  const std::string cida = MakeIDListArrayBlock({Item("p") + End, Item("x") + End, Item("yy") + Item("z") + End});
  const std::string map = "one\0two\0\0"s;
  for (size_t n = 0; n < drop.size(); ++n) {
    std::vector<uint8_t> block(drop.begin(), drop.begin() + n);
    EXPECT_THROW(ReadDropFilesBlock(block.data(), n), EDropBlockError) << n;
  }
  for (size_t n = 0; n < cida.size(); ++n) {
    std::vector<uint8_t> block(cida.begin(), cida.begin() + n);
    EXPECT_THROW(ReadIDListArrayBlock(block.data(), n), EDropBlockError) << n;
  }
  for (size_t n = 0; n < map.size(); ++n) {
    std::vector<uint8_t> block(map.begin(), map.begin() + n);
    EXPECT_THROW(ReadNameListBlock(block.data(), n), EDropBlockError) << n;
  }
}

// Two files in two folders of their own, removed afterwards.
class ShellFiles : public ::testing::Test {
protected:
  void SetUp() override {
    // ID-list items carry the folder's times, so the folders compared must
    // not change under the test: a folder of its own straight on the drive
    // (the temporary folder is shared with other programs).
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, MAX_PATH);
    Root = std::string(windows).substr(0, 3) + "mevra-dragdrop-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(Root.c_str(), nullptr);
    CreateDirectoryA((Root + "\\one").c_str(), nullptr);
    CreateDirectoryA((Root + "\\" + Log).c_str(), nullptr);
    A = Root + "\\one\\a.txt";
    B = Root + "\\" + Log + "\\" + File + ".txt";
    for (const std::string& f : {A, B}) {
      HANDLE h = CreateFileA(f.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      CloseHandle(h);
    }
  }
  void TearDown() override {
    DeleteFileA(A.c_str());
    DeleteFileA(B.c_str());
    RemoveDirectoryA((Root + "\\one").c_str());
    RemoveDirectoryA((Root + "\\" + Log).c_str());
    RemoveDirectoryA(Root.c_str());
  }
  std::string Root, A, B;
};

TEST_F(ShellFiles, FilesBecomeIDListsRelativeToTheirCommonParentAndBack) {
  TStringList files, lists;
  files.Add(A);
  files.Add(B);
  ASSERT_TRUE(IDListsFromFiles(files, lists));
  ASSERT_EQ(lists.Count(), 3);
  // The same item as the root folder's own list (compared by the shell: the
  // root's access time may have moved since).
  EXPECT_EQ(CommonIDListItems(lists.Get(0), IDListFromPath(Root + "\\")), lists.Get(0));
  EXPECT_TRUE(SameText(PathFromIDList(lists.Get(0)), Root));
  TPIDLsToFilenamesStrings names(lists);
  ASSERT_EQ(names.Count(), 2);
  EXPECT_TRUE(SameText(names.Get(0), A)) << names.Get(0);
  EXPECT_TRUE(SameText(names.Get(1), B)) << names.Get(1);
  EXPECT_THROW(names.Get(2), EStringListError);

  // Through an ID-list array dropped on a file format.
  TPIDLClipboardFormat pidls;
  pidls.PIDLs().Assign(&lists);
  FakeDataObject data;
  STGMEDIUM medium;
  ASSERT_TRUE(pidls.WriteTo(&data, pidls.FormatEtc(), medium));
  FakeDataObject source;
  source.Offer(pidls.ClipboardFormat(), data.ReceivedBytes(pidls.ClipboardFormat()));
  TFileDataFormat dropped(nullptr);
  ASSERT_TRUE(dropped.ReadFrom(&source));
  ASSERT_EQ(dropped.Files().Count(), 2);
  EXPECT_TRUE(SameText(dropped.Files().Get(1), B));
}

TEST_F(ShellFiles, ADropListGivesIDListsAndIDListsGiveADropList) {
  TFileClipboardFormat drop;
  drop.Files().Add(A);
  drop.Files().Add(B);
  TPIDLDataFormat pidls(nullptr);
  ASSERT_TRUE(pidls.TakeFromClipboardFormat(&drop));
  EXPECT_EQ(pidls.PIDLs().Count(), 3);
  TFileClipboardFormat back;
  ASSERT_TRUE(pidls.GiveToClipboardFormat(&back));
  ASSERT_EQ(back.Files().Count(), 2);
  EXPECT_TRUE(SameText(back.Files().Get(0), A));
}

TEST_F(ShellFiles, AFolderWhoseTimesChangeBetweenTwoListsIsStillTheirParent) {
  // Reading a folder can move its access time, and its item carries it: two
  // lists parsed a moment apart differ in the bytes of the folder they share.
  const std::string one = IDListFromPath(Root + "\\one");
  HANDLE root = CreateFileA(Root.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  ASSERT_NE(root, INVALID_HANDLE_VALUE);
  FILETIME earlier{};
  SYSTEMTIME day{2001, 2, 0, 3, 4, 5, 6, 0};
  SystemTimeToFileTime(&day, &earlier);
  ASSERT_TRUE(SetFileTime(root, &earlier, &earlier, &earlier));
  CloseHandle(root);
  const std::string log = IDListFromPath(Root + "\\" + Log);
  const std::string rootNow = IDListFromPath(Root + "\\");
  ASSERT_NE(one.substr(0, rootNow.size() - 2), rootNow.substr(0, rootNow.size() - 2));

  const std::string parent = CommonIDListItems(one, log);
  EXPECT_EQ(parent, one.substr(0, rootNow.size() - 2) + End);
  EXPECT_TRUE(SameText(PathFromIDList(parent), Root));
  // Lists of the drive and of another folder share only the drive.
  EXPECT_TRUE(SameText(PathFromIDList(CommonIDListItems(one, IDListFromPath("C:\\windows"))), "C:\\"));
}

TEST_F(ShellFiles, TheParentOfFoldersOnOneDriveIsTheDrive) {
  char windows[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  TStringList files;
  files.Add(A);
  files.Add(std::string(windows) + "\\win.ini");
  const std::string parent = CommonParentIDList(files);
  EXPECT_EQ(parent, IDListFromPath(std::string(windows).substr(0, 3)));
  EXPECT_TRUE(SameText(PathFromIDList(parent), std::string(windows).substr(0, 3)));
}

TEST_F(ShellFiles, FilesOnTwoDrivesShareTheComputerFolder) {
  // Drives are items of the computer folder, so that is what they share.
  TStringList files, lists;
  files.Add(A);
  files.Add("Z:\\etc\\passwd");
  const std::string drive = IDListFromPath("C:\\");
  const std::string parent = CommonParentIDList(files);
  ASSERT_GT(parent.size(), 2u);
  EXPECT_EQ(parent, drive.substr(0, parent.size() - 2) + End);
  EXPECT_EQ(PathFromIDList(parent), "");
  ASSERT_TRUE(IDListsFromFiles(files, lists));
  TPIDLsToFilenamesStrings names(lists);
  ASSERT_EQ(names.Count(), 2);
  EXPECT_TRUE(SameText(names.Get(0), A));
  EXPECT_TRUE(SameText(names.Get(1), "Z:\\etc\\passwd"));
}

TEST_F(ShellFiles, AParentThatIsTheDesktopFails) {
  // The recycle bin and the drives share nothing below the desktop.
  TStringList files, lists;
  files.Add("::{645FF040-5081-101B-9F08-00AA002F954E}\\x.txt");
  files.Add(A);
  EXPECT_EQ(CommonParentIDList(files), End);
  lists.Add("stale");
  EXPECT_FALSE(IDListsFromFiles(files, lists));
  EXPECT_EQ(lists.Count(), 0);
}

TEST(ShellHelpers, BadPathsAndShortLists) {
  TStringList files, lists;
  EXPECT_EQ(CommonParentIDList(files), "");
  EXPECT_FALSE(IDListsFromFiles(files, lists));
  files.Add("Q:\\no\\such\\folder\\x.txt");
  try {
    CommonParentIDList(files);
    ADD_FAILURE();
  } catch (const EDataFormatError& e) {
    EXPECT_EQ(e.Message(), "Invalid filename: Q:\\no\\such\\folder\\x.txt");
  }
  EXPECT_FALSE(IDListsFromFiles(files, lists));
  lists.Add(Item("only the parent") + End);
  TPIDLsToFilenamesStrings names(lists);
  EXPECT_EQ(names.Count(), 0);
  EXPECT_THROW(names.Get(0), EStringListError);
  EXPECT_EQ(PathFromIDList("\x05\0ab"s), "");
}

}  // namespace
