// What the floating box makes of a drop before posting it: the fragment cut
// from a CF_HTML block and the title taken from the plain text. Built for
// Windows and natively, so the texts are written as bytes.
#include "client/DropText.h"

#include <gtest/gtest.h>

namespace {

const AnsiString NoSubject = "\xCE\xDE\xD6\xF7\xCC\xE2!";

struct FragmentCase {
  const char* Name;
  AnsiString Html;
  AnsiString Fragment;
};

TEST(DropText, CutsTheFragmentBetweenItsMarkers) {
  const FragmentCase cases[] = {
      {"browser block", "Version:0.9\r\nStartHTML:00000097\r\n<html><body><!--StartFragment--><b>\xE4\xBB\x8A</b>"
                        "<!--EndFragment--></body></html>\r\n",
       "<b>\xE4\xBB\x8A</b>"},
      {"no start marker", "Version:0.9\r\nStartHTML:00000097\r\n<html><body>text</body></html>", ""},
      {"no end marker", "<html><!--StartFragment-->text</html>", ""},
      {"end marker closes the block", "<!--StartFragment-->text<!--EndFragment-->", ""},
      {"one byte after the end marker", "<!--StartFragment-->text<!--EndFragment-->\n", "text"},
      {"empty fragment", "<!--StartFragment--><!--EndFragment-->x", ""},
      {"start marker at the end", "<html><!--StartFragment-->", ""},
      {"first markers count", "<!--StartFragment-->a<!--EndFragment--><!--StartFragment-->b<!--EndFragment-->x", "a"},
      {"empty block", "", ""},
  };
  for (const FragmentCase& c : cases) EXPECT_EQ(CutHtmlFragment(c.Html), c.Fragment) << c.Name;
}

struct TitleCase {
  const char* Name;
  AnsiString Text;
  AnsiString Title;
};

TEST(DropText, TitlesByTheFirstNonBlankLineWithoutSpaces) {
  const TitleCase cases[] = {
      {"two lines", "Hello world\r\nsecond", "Helloworld"},
      {"one line", "  just one  line ", "justoneline"},
      {"Chinese", "\xBD\xF1\xC8\xD5", "\xBD\xF1\xC8\xD5"},
      {"empty", "", NoSubject},
      {"blank", "    ", NoSubject},
      {"only carriage returns", "\r\r\r", NoSubject},
      {"a later line keeps its line feed", "\r\n\r\nthird\r\nfourth", "\nthird"},
      {"blank first line with spaces", "   \r\nsecond", "\nsecond"},
      {"blank lines without a final carriage return", "\r\n\t\r\n\t", "\n\t"},
      {"tabs and line feeds only", "\t\n", "\t\n"},
      {"line feeds only", "a\nb\r\nc", "a\nb"},
  };
  for (const TitleCase& c : cases) EXPECT_EQ(TitleFromText(c.Text), c.Title) << c.Name;
}

}  // namespace
