// The text data format: what it takes from each text clipboard format, in
// which order a drop reads them, what it offers back, and rich text wrapping.
#include "dragdrop/DragDropInternet.h"
#include "platform/CodePage.h"
#include "tests/dragdrop/FakeDataObject.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;

CLIPFORMAT Registered(const char* name) { return static_cast<CLIPFORMAT>(RegisterClipboardFormatA(name)); }

// "中文" in the system code page and in UTF-8.
const std::string ChineseGbk = "\xD6\xD0\xCE\xC4";
const std::string ChineseUtf8 = "\xE4\xB8\xAD\xE6\x96\x87";

// Text with its terminating NUL, as text blocks travel.
std::string Nul(std::string text) {
  text.push_back('\0');
  return text;
}

std::string Utf16Bytes(const std::wstring& text) {
  return std::string(reinterpret_cast<const char*>(text.data()), 2 * text.size());
}

TEST(TextFormats, OnlyPlainTextGivesTextAndNothingElse) {
  FakeDataObject data;
  data.Offer(CF_TEXT, Nul("abc"));
  TTextDataFormat text(nullptr);
  ASSERT_TRUE(text.ReadFrom(&data));
  EXPECT_EQ(text.Text(), "abc");
  EXPECT_TRUE(text.HTML().empty());
  EXPECT_TRUE(text.RTF().empty());
  EXPECT_EQ(text.Locale(), 0u);
}

TEST(TextFormats, EveryTextFormatFillsItsField) {
  FakeDataObject data;
  const LCID chinese = 0x0804;
  data.Offer(CF_LOCALE, std::string(reinterpret_cast<const char*>(&chinese), 4));
  data.Offer(Registered("CSV"), Nul("a,b\r\nc,d\r\n"));
  data.Offer(CF_OEMTEXT, Nul("oem\x80"));
  data.Offer(Registered("Rich Text Format"), Nul("{\\rtf1 x}"));
  data.Offer(CF_UNICODETEXT, Utf16Bytes(L"wide\0"s));
  data.Offer(CF_TEXT, ChineseGbk + '\0');
  TTextDataFormat text(nullptr);
  ASSERT_TRUE(text.ReadFrom(&data));
  EXPECT_EQ(text.Locale(), chinese);
  EXPECT_EQ(text.CSV(), "a,b\r\nc,d\r\n");
  EXPECT_EQ(text.OEM(), "oem\x80");  // not converted
  EXPECT_EQ(text.RTF(), "{\\rtf1 x}");
  EXPECT_EQ(text.Unicode(), L"wide\0"s);  // taken as stored, terminator included
  EXPECT_EQ(text.Text(), ChineseGbk);
  EXPECT_TRUE(text.HasValue());
  EXPECT_TRUE(text.NeedsValue());  // HTML is still empty
}

TEST(TextFormats, LaterFormatsReplaceTheTextAndHtmlNeedsItsTag) {
  struct Case {
    const char* Name;
    std::string Html;         // the offered "HTML Format" block, empty: none
    std::string Message;      // the offered mail message, empty: none
    std::string ExpectedText;
    std::string ExpectedHtml;
  };
  const std::string cfhtml = "Version:0.9\r\nStartHTML:00000097\r\n<HTML><BODY>" + ChineseUtf8 + "</BODY></HTML>";
  const Case cases[] = {
      {"HTML with its tag is kept whole, lines re-joined", cfhtml + '\0', "", "plain", cfhtml + "\r\n"},
      {"a lower-case tag counts", Nul("<html>x\n</html>"), "", "plain", "<html>x\r\n</html>\r\n"},
      {"no tag: not taken", Nul("<BODY>x</BODY>"), "", "plain", ""},
      {"the mail message replaces the text", "", Nul("Subject: s\r\nbody"), "Subject: s\r\nbody\r\n", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    FakeDataObject data;
    data.Offer(CF_TEXT, Nul("plain"));
    if (!c.Html.empty()) data.Offer(Registered("HTML Format"), c.Html);
    if (!c.Message.empty()) data.Offer(Registered("Internet Message (rfc822/rfc1522)"), c.Message);
    TTextDataFormat text(nullptr);
    ASSERT_TRUE(text.ReadFrom(&data));
    EXPECT_EQ(text.Text(), c.ExpectedText);
    EXPECT_EQ(text.HTML(), c.ExpectedHtml);
    // Mail text sets the locale when it had none.
    EXPECT_EQ(text.Locale() != 0, !c.Message.empty());
  }
}

TEST(TextFormats, TextWithoutNulIsTakenWhole) {
  FakeDataObject data;
  data.Offer(CF_TEXT, "no terminator");
  TTextDataFormat text(nullptr);
  ASSERT_TRUE(text.ReadFrom(&data));
  EXPECT_EQ(text.Text(), "no terminator");
}

TEST(TextFormats, OnlyUnicodeLeavesTextEmpty) {
  FakeDataObject data;
  data.Offer(CF_UNICODETEXT, Utf16Bytes(L"only\0"s));
  TTextDataFormat text(nullptr);
  ASSERT_TRUE(text.ReadFrom(&data));
  EXPECT_TRUE(text.Text().empty());
}

TEST(TextFormats, ResetEmptiesEveryFieldAndNotifies) {
  FakeDataObject data;
  data.Offer(CF_TEXT, Nul("x"));
  data.Offer(CF_LOCALE, "\x04\x08\0\0"s);
  TTextDataFormat text(nullptr);
  int notified = 0;
  text.OnValueChanging = TNotifyEvent::Lambda([&](TObject*) { ++notified; });
  ASSERT_TRUE(text.ReadFrom(&data));
  notified = 0;
  text.ResetValue();
  EXPECT_EQ(notified, 1);
  EXPECT_FALSE(text.HasValue());
  EXPECT_EQ(text.Locale(), 0u);
}

// What the data format offers through each clipboard format.
std::string Offered(TTextDataFormat& text, TClipboardFormat& format) {
  format.ResetValue();
  EXPECT_TRUE(text.GiveToClipboardFormat(&format));
  FakeDataObject target;
  FORMATETC fe = format.FormatEtc();
  fe.tymed = TYMED_HGLOBAL;
  STGMEDIUM medium;
  if (!format.WriteTo(&target, fe, medium)) return "<nothing>";
  return target.ReceivedBytes(format.ClipboardFormat());
}

TEST(TextFormats, OfferedValuesFallBackOnTheText) {
  TTextDataFormat text(nullptr);
  text.SetText("a{b}\\c");
  TRichTextClipboardFormat rtf;
  TUnicodeTextClipboardFormat unicode;
  TOEMTextClipboardFormat oem;
  TCSVClipboardFormat csv;
  TFileContentsClipboardFormat contents;
  EXPECT_EQ(Offered(text, rtf), Nul("{\\rtf1\\ansi a{b}\\c}"));
  EXPECT_EQ(Offered(text, unicode), Utf16Bytes(L"a{b}\\c\0"s));
  EXPECT_EQ(Offered(text, oem), Nul("a{b}\\c"));
  EXPECT_EQ(Offered(text, csv), Nul("a{b}\\c\r\n"));
  EXPECT_EQ(Offered(text, contents), Nul("a{b}\\c"));

  // Plain text from the wide text, then from the OEM text.
  TTextDataFormat wide(nullptr);
  wide.SetUnicode(AnsiToUtf16(ChineseGbk));
  TTextClipboardFormat plain;
  EXPECT_EQ(Offered(wide, plain), ChineseGbk + '\0');
  TTextDataFormat fromOem(nullptr);
  fromOem.SetOEM("dos");
  EXPECT_EQ(Offered(fromOem, plain), Nul("dos"));
  // A wide text that is only its terminator counts as empty.
  fromOem.SetUnicode(L"\0"s);
  EXPECT_EQ(Offered(fromOem, plain), Nul("dos"));

  // Empty text gives empty OEM text: nothing to write.
  TTextDataFormat empty(nullptr);
  EXPECT_EQ(Offered(empty, oem), "<nothing>");
}

TEST(TextFormats, OfferedAsAFileItIsATextScrap) {
  TTextDataFormat text(nullptr);
  text.SetText("x");
  TFileGroupDescritorClipboardFormat group;
  ASSERT_TRUE(text.GiveToClipboardFormat(&group));
  ASSERT_EQ(group.Count(), 1u);
  EXPECT_EQ(group.FileName(0), "Text scrap.txt");
  TFileGroupDescritorWClipboardFormat wide;
  ASSERT_TRUE(text.GiveToClipboardFormat(&wide));
  EXPECT_EQ(wide.FileName(0), L"Text scrap.txt");
  // The name is the program's to reword, cut to what a descriptor holds.
  ReplaceResString(sTextScrapName, "\xD6\xD0" + std::string(300, 'n'));
  ASSERT_TRUE(text.GiveToClipboardFormat(&group));
  ASSERT_TRUE(text.GiveToClipboardFormat(&wide));
  RestoreResString(sTextScrapName);
  EXPECT_EQ(group.FileName(0), "\xD6\xD0" + std::string(257, 'n'));
  EXPECT_EQ(wide.FileName(0), L"\x4E2D" + std::wstring(258, L'n'));
}

TEST(TextFormats, OfferedHtmlIsTheReceivedBlockOrTheTextWrapped) {
  THTMLClipboardFormat html;
  TTextDataFormat text(nullptr);
  text.SetText("x");
  ASSERT_TRUE(text.GiveToClipboardFormat(&html));
  EXPECT_EQ(html.Lines().Text(), MakeCFHTML("x") + "\r\n");
  text.AssignHTML("<html>kept</html>");
  ASSERT_TRUE(text.GiveToClipboardFormat(&html));
  EXPECT_EQ(html.Lines().Text(), "<html>kept</html>\r\n");
}

TEST(TextFormats, TextToRtf) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain", "{\\rtf1\\ansi plain}"},
      {"{\\RTF1 upper}", "{\\RTF1 upper}"},
      {"{\\rtf", "{\\rtf"},
      {"{\\rt", "{\\rtf1\\ansi {\\rt}"},
      {"", "{\\rtf1\\ansi }"},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(TextToRTF(in), out) << in;
}

}  // namespace
