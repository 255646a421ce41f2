// Internet formats: CF_HTML writing, shortcut file names and texts, browser
// bookmark and image blocks, vCards and the URL data format.
#include "dragdrop/DragDropInternet.h"
#include "platform/CodePage.h"
#include "tests/dragdrop/FakeDataObject.h"
#include "tests/support/TestSupport.h"

#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

namespace {

using namespace std::string_literals;
using testing_support::WithNul;

CLIPFORMAT Registered(const char* name) { return static_cast<CLIPFORMAT>(RegisterClipboardFormatA(name)); }

TEST(CFHTML, OffsetsOfAOneCharacterFragment) {
  const std::string block = MakeCFHTML("x");
  EXPECT_EQ(block,
            "Version:0.9\r\nStartHTML:00000097\r\nEndHTML:00000170\r\nStartFragment:00000133\r\n"
            "EndFragment:00000134\r\n<HTML>\r\n<BODY>\r\n<!--StartFragment-->x<!--EndFragment-->\r\n</BODY>\r\n"
            "</HTML>");
  EXPECT_EQ(block.size(), 170u);
  EXPECT_EQ(block.substr(97, 6), "<HTML>");
  EXPECT_EQ(block.substr(133, 1), "x");
}

TEST(CFHTML, FragmentsAreCountedInBytesAsGivenAndTaggedTextStaysAsItIs) {
  const std::string gbk = "\xD6\xD0\xCE\xC4";  // two characters, four bytes
  const std::string block = MakeCFHTML(gbk);
  EXPECT_NE(block.find("EndFragment:00000137"), std::string::npos);
  EXPECT_EQ(block.substr(133, 4), gbk);
  EXPECT_EQ(MakeCFHTML("<html><b>x</b></html>"), "<html><b>x</b></html>");
  EXPECT_TRUE(ContainsHTMLTag("..<HtMl"));
  EXPECT_FALSE(ContainsHTMLTag("<HTM L>"));
}

// From 100 MB on the offsets take nine digits; the header grows by them and
// every offset still points where it says.
TEST(CFHTML, NineDigitOffsetsStillMatchTheBlock) {
  const std::string fragment(100000000, 'x');
  const std::string block = MakeCFHTML(fragment);
  const std::string header = "Version:0.9\r\nStartHTML:00000099\r\nEndHTML:100000171\r\n"
                             "StartFragment:00000135\r\nEndFragment:100000135\r\n";
  ASSERT_EQ(block.compare(0, header.size(), header), 0) << block.substr(0, 120);
  EXPECT_EQ(block.size(), 100000171u);
  EXPECT_EQ(block.compare(99, 6, "<HTML>"), 0);
  EXPECT_EQ(block.compare(135 - 20, 20, "<!--StartFragment-->"), 0);
  EXPECT_EQ(block.compare(100000135, 18, "<!--EndFragment-->"), 0);
}

TEST(Shortcuts, FileNamesForAddressesAndTitles) {
  const std::pair<std::string, std::string> cases[] = {
      {"http://www.example.com/path/page.html", "www.example.com.url"},
      {"HTTP://Host:8080/x", "Host 8080.url"},
      {"ftp://files.example.org", "files.example.org.url"},
      {"mailto:someone@example.com", "someone@example.com.url"},
      {"file:c:\\docs\\a.txt", "c docs a.txt.url"},
      {"http://", "untitled.url"},
      {"", "untitled.url"},
      {"a?<b>|c", "a b c.url"},
      {"say \"hi\"", "say  hi.url"},
      {"trailing??**", "trailing.url"},
      {"::lead", " lead.url"},
      {"\xC8\xD5\xD6\xBE title", "\xC8\xD5\xD6\xBE title.url"},
      {std::string(130, 'a'), std::string(120, 'a') + ".url"},
      // Second bytes of double-byte characters that look like "\\" or "|" stay.
      {"\x81\x5C\x81\x7C", "\x81\x5C\x81\x7C.url"},
      {std::string(119, 'a') + "\xD6\xD0", std::string(119, 'a') + ".url"},
  };
  for (const auto& [text, name] : cases) EXPECT_EQ(MakeUrlFileName(text), name) << text;
}

TEST(Shortcuts, UrlOfTheShortcutSection) {
  struct Case {
    std::string Text;
    bool Found;
    std::string Url;
  };
  const Case cases[] = {
      {"[InternetShortcut]\r\nURL=http://a/\r\n", true, "http://a/"},
      {"[other]\nURL=http://no/\n[internetshortcut]\nIconIndex=0\nurl=http://yes/\n", true, "http://yes/"},
      {"[InternetShortcut]\r\nIconIndex=1\r\n[Next]\r\nURL=http://late/\r\n", false, ""},
      {"URL=http://nosection/\r\n", false, ""},
      {"[InternetShortcut]", false, ""},  // the last line never starts the section
      {"", false, ""},
  };
  for (const Case& c : cases) {
    AnsiString url;
    EXPECT_EQ(ReadShortcutText(c.Text, url), c.Found) << c.Text;
    if (c.Found) {
      EXPECT_EQ(url, c.Url);
    }
  }
  // Written shortcuts read back.
  AnsiString url;
  ASSERT_TRUE(ReadShortcutText(MakeShortcutText("http://back/"), url));
  EXPECT_EQ(url, "http://back/");
  EXPECT_EQ(MakeShortcutText("u").size(), 1u + 26u);
}

TEST(Bookmarks, BlocksOfOneAndTwoHalves) {
  const AnsiString both = MakeNetscapeBookmarkBlock({"http://a/", "Title"});
  ASSERT_EQ(both.size(), 2048u);
  EXPECT_EQ(both.substr(0, 10), WithNul("http://a/"));
  EXPECT_EQ(both.substr(1024, 6), WithNul("Title"));
  const AnsiString urlOnly = MakeNetscapeBookmarkBlock({"http://a/", ""});
  EXPECT_EQ(urlOnly.size(), 1024u);
  EXPECT_TRUE(MakeNetscapeBookmarkBlock({"", "Title"}).empty());

  auto read = [](const AnsiString& block) {
    return ReadNetscapeBookmarkBlock(reinterpret_cast<const uint8_t*>(block.data()), block.size());
  };
  const TNetscapeBookmark back = read(both);
  EXPECT_EQ(back.URL, "http://a/");
  EXPECT_EQ(back.Title, "Title");
  // Only a block longer than 1024 bytes has a title; strings end at the block.
  EXPECT_EQ(read(urlOnly).Title, "");
  EXPECT_EQ(read("short").URL, "short");
  EXPECT_EQ(read(std::string(1024, 'u') + "tt").Title, "tt");
  EXPECT_EQ(read(std::string(1024, 'u') + "tt").URL, std::string(1024, 'u'));
  // A URL too long for its half keeps its terminator and leaves the title alone.
  const TNetscapeBookmark cut = read(MakeNetscapeBookmarkBlock({std::string(2000, 'v'), "T"}));
  EXPECT_EQ(cut.URL, std::string(1023, 'v'));
  EXPECT_EQ(cut.Title, "T");
}

TEST(ImageLinks, WrittenAndReadBackAndMalformedBlocksRefused) {
  TNetscapeImage image;
  image.Value2 = 7;
  image.Value3 = 9;
  image.A = "src";
  image.C = "Title";
  image.D = "http://img/";
  const AnsiString block = MakeNetscapeImageBlock(image);
  EXPECT_EQ(block.size(), 44u + 4 + 6 + 12);
  auto value = [&](int i) { return *reinterpret_cast<const uint32_t*>(block.data() + 4 * i); };
  EXPECT_EQ(value(7), 0u);   // no B
  EXPECT_EQ(value(8), 48u);  // C right after A
  EXPECT_EQ(value(9), 54u);
  EXPECT_EQ(value(10), 0u);
  const auto* bytes = reinterpret_cast<const uint8_t*>(block.data());
  const TNetscapeImage back = ReadNetscapeImageBlock(bytes, block.size());
  EXPECT_EQ(back.Value2, 7u);
  EXPECT_EQ(back.Value3, 9u);
  EXPECT_EQ(back.A, "src");
  EXPECT_EQ(back.C, "Title");
  EXPECT_EQ(back.D, "http://img/");
  EXPECT_TRUE(back.B.empty());

  std::string exactHeader(44, '\0');
  EXPECT_THROW(ReadNetscapeImageBlock(reinterpret_cast<const uint8_t*>(exactHeader.data()), 44), EDropBlockError);
  for (uint32_t badOffset : {uint32_t(20), uint32_t(block.size()), 0xFFFFFFF0u}) {
    std::string bad = block;
    std::memcpy(bad.data() + 36, &badOffset, 4);
    EXPECT_THROW(ReadNetscapeImageBlock(reinterpret_cast<const uint8_t*>(bad.data()), bad.size()), EDropBlockError)
        << badOffset;
  }
}

TEST(VCards, LinesWithoutTheEnvelopeAndBack) {
  TStringList lines;
  ReadVCardText("BEGIN:VCARD\r\nFN:Li Lei\r\nTEL;WORK:1:2\r\nnocolon\r\nEnd:vCard\r\n", lines);
  ASSERT_EQ(lines.Count(), 3);
  EXPECT_EQ(lines.Get(0), "FN=Li Lei");
  EXPECT_EQ(lines.Get(1), "TEL;WORK=1:2");
  EXPECT_EQ(lines.Get(2), "nocolon");
  EXPECT_EQ(MakeVCardBlock(lines), WithNul("begin:vcard\rFN=Li Lei\rTEL;WORK=1:2\rnocolon\rend:vcard"));

  TVCardClipboardFormat vcard;
  FakeDataObject data;
  data.Offer(vcard.ClipboardFormat(), WithNul("begin:vcard\nN:x\nend:vcard"));
  ASSERT_TRUE(vcard.ReadFrom(&data));
  ASSERT_EQ(vcard.Lines().Count(), 1);
  EXPECT_EQ(vcard.Lines().Get(0), "N=x");
}

// A file group block with one 8-bit descriptor named `name`.
std::string GroupBlock(const std::string& name) {
  std::string block(4 + FileDescriptorASize, '\0');
  block[0] = 1;
  std::memcpy(block.data() + 4 + FileDescriptorNameOffset, name.data(), name.size());
  return block;
}

TEST(URLFormat, WhatEachOfferedFormatGives) {
  struct Case {
    const char* Name;
    std::vector<std::pair<CLIPFORMAT, std::string>> Offers;
    std::string Url;
    std::string Title;
  };
  const CLIPFORMAT url = Registered("UniformResourceLocator");
  const CLIPFORMAT bookmark = Registered("Netscape Bookmark");
  const CLIPFORMAT group = Registered("FileGroupDescriptor");
  const CLIPFORMAT contents = Registered("FileContents");
  TNetscapeImage image;
  image.A = "a";
  image.C = "Image title";
  image.D = "http://image/";
  const Case cases[] = {
      {"a URL", {{url, WithNul("http://u/")}}, "http://u/", ""},
      {"text with a scheme", {{CF_TEXT, WithNul("https://t/")}}, "https://t/", ""},
      {"text without a scheme", {{CF_TEXT, WithNul("plain words")}}, "", ""},
      {"text starting with the separator", {{CF_TEXT, WithNul("://x")}}, "", ""},
      {"the URL wins over the text", {{url, WithNul("http://u/")}, {CF_TEXT, WithNul("http://t/")}}, "http://u/", ""},
      {"a bookmark", {{bookmark, MakeNetscapeBookmarkBlock({"http://b/", "Bm"})}}, "http://b/", "Bm"},
      {"an image link", {{Registered("Netscape Image Format"), MakeNetscapeImageBlock(image)}}, "http://image/",
       "Image title"},
      {"a shortcut as a virtual file",
       {{group, GroupBlock("Page.url")}, {contents, MakeShortcutText("http://file/") + '\0'}},
       "http://file/",
       "Page"},
      {"contents without a title are no shortcut", {{contents, MakeShortcutText("http://file/") + '\0'}}, "", ""},
      {"a group of another file", {{group, GroupBlock("Page.txt")}}, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    FakeDataObject data;
    // File contents are asked for the first file.
    for (const auto& [format, bytes] : c.Offers)
      data.Offer(format, bytes, FakeMedium::Global, format == contents ? 0 : -1);
    TURLDataFormat format(nullptr);
    format.ReadFrom(&data);
    EXPECT_EQ(format.URL(), c.Url);
    EXPECT_EQ(format.Title(), c.Title);
  }
}

TEST(URLFormat, ADroppedShortcutFileGivesItsUrlAndName) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  const std::string path = std::string(folder) + "Mevra link.URL";
  FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_TRUE(f);
  const std::string text = MakeShortcutText("http://dropped/");
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  FakeDataObject data;
  std::string drop(20, '\0');
  drop[0] = 20;
  drop += path + '\0' + '\0';
  data.Offer(CF_HDROP, drop);
  TURLDataFormat format(nullptr);
  EXPECT_TRUE(format.ReadFrom(&data));
  EXPECT_EQ(format.URL(), "http://dropped/");
  EXPECT_EQ(format.Title(), "Mevra link");
  std::remove(path.c_str());
  // A shortcut that is gone holds no URL.
  TURLDataFormat missing(nullptr);
  EXPECT_FALSE(missing.ReadFrom(&data));
  EXPECT_TRUE(missing.URL().empty());
}

TEST(URLFormat, OfferedAsAShortcutFile) {
  TURLDataFormat format(nullptr);
  format.SetURL("http://www.example.com/a");
  TFileGroupDescritorClipboardFormat group;
  ASSERT_TRUE(format.GiveToClipboardFormat(&group));
  ASSERT_EQ(group.Count(), 1u);
  EXPECT_EQ(group.FileName(0), "www.example.com.url");
  EXPECT_EQ(group.Descriptor(0)->dwFlags, DWORD(FD_FILESIZE | FD_LINKUI));
  EXPECT_EQ(group.Descriptor(0)->nFileSizeLow, DWORD(24 + 26));
  format.SetTitle("My page");
  TFileGroupDescritorWClipboardFormat wide;
  ASSERT_TRUE(format.GiveToClipboardFormat(&wide));
  EXPECT_EQ(wide.FileName(0), L"My page.url");
  TFileContentsClipboardFormat contents;
  ASSERT_TRUE(format.GiveToClipboardFormat(&contents));
  EXPECT_EQ(contents.Text(), "[InternetShortcut]\r\nURL=http://www.example.com/a\r\n");
  TNetscapeBookmarkClipboardFormat bookmark;
  ASSERT_TRUE(format.GiveToClipboardFormat(&bookmark));
  EXPECT_EQ(bookmark.URL(), "http://www.example.com/a");
  EXPECT_EQ(bookmark.Title(), "My page");
}

TEST(HTMLFormat, LinesThroughHtmlFormatOnly) {
  FakeDataObject data;
  data.Offer(Registered("HTML Format"), std::string("Version:0.9\r\n<HTML>x</HTML>", 28));
  THTMLDataFormat html(nullptr);
  ASSERT_TRUE(html.ReadFrom(&data));
  ASSERT_EQ(html.HTML().Count(), 2);
  EXPECT_EQ(html.HTML().Get(1), "<HTML>x</HTML>");
  html.ResetValue();
  EXPECT_FALSE(html.HasValue());
}

}  // namespace
