// The clipboard: text, pictures and registered formats round trip; blocks
// another program put there are read within their size, and a malformed
// picture block is refused with the destination left as it was. The
// program holds the CTest lock "clipboard".
#include "platform/Bitmap.h"
#include "platform/Clipboard.h"
#include "platform/Metafile.h"
#include "platform/Picture.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using namespace testing_support;

// Puts a raw block on the clipboard as another program would.
void PutForeignBlock(UINT format, const std::string& bytes) {
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  ASSERT_TRUE(block);
  std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  EXPECT_TRUE(SetClipboardData(format, block));
  CloseClipboard();
}

TEST(Clipboard, TextRoundTrips) {
  const char* const texts[] = {"plain text", "中文的文字 and more", ""};
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    Clipboard()->SetAsText(text);
    EXPECT_TRUE(Clipboard()->HasFormat(CF_TEXT));
    EXPECT_EQ(Clipboard()->AsText(), text);
  }
  Clipboard()->SetAsText("abcdef");
  char buffer[4];
  EXPECT_EQ(Clipboard()->GetTextBuf(buffer, sizeof buffer), 3u);
  EXPECT_STREQ(buffer, "abc");
  Clipboard()->Clear();
  EXPECT_FALSE(Clipboard()->HasFormat(CF_TEXT));
  EXPECT_EQ(Clipboard()->AsText(), "");
}

// The text is what the block holds up to its first zero byte, and never
// more than the block. (Wine puts a zero into the last byte of a CF_TEXT
// block that lacks one: "abc" in a 3-byte block reads back as "ab". So the
// expectation follows the block as the system hands it out.)
TEST(Clipboard, TextIsReadWithinItsBlockWhateverTheTerminator) {
  struct Case {
    const char* Name;
    std::string Block;
  };
  const Case cases[] = {
      {"no terminator", std::string("abc", 3)},
      {"stops at the first zero", std::string("ab\0cd", 5)},
      {"a double-byte character at the end", std::string("x\xD6\xD0", 3)},
      {"a long text without terminator", std::string(5000, 'q')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    PutForeignBlock(CF_TEXT, c.Block);
    const std::vector<uint8_t> block = Clipboard()->GetBuffer(CF_TEXT);
    ASSERT_FALSE(block.empty());
    std::string expected(block.begin(), block.end());
    expected = expected.substr(0, expected.find('\0'));
    EXPECT_EQ(Clipboard()->AsText(), expected);
    EXPECT_EQ(expected.substr(0, 2), c.Block.substr(0, 2));
  }
}

TEST(Clipboard, RegisteredFormatsRoundTripAsBlocks) {
  const UINT format = RegisterClipboardFormatA("Mevra Test Block");
  ASSERT_NE(format, 0u);
  const UINT other = RegisterClipboardFormatA("Mevra Other Block");
  const std::string bytes("\x01\x00\xFF zero\0inside", 16);
  const std::string second = "second";
  Clipboard()->Open();
  Clipboard()->Clear();
  Clipboard()->SetBuffer(format, bytes.data(), bytes.size());
  Clipboard()->SetBuffer(other, second.data(), second.size());
  Clipboard()->Close();

  EXPECT_TRUE(Clipboard()->HasFormat(format));
  const std::vector<uint8_t> read = Clipboard()->GetBuffer(format);
  ASSERT_GE(read.size(), bytes.size());
  EXPECT_EQ(std::string(read.begin(), read.begin() + static_cast<std::ptrdiff_t>(bytes.size())), bytes);
  const std::vector<uint8_t> readSecond = Clipboard()->GetBuffer(other);
  ASSERT_GE(readSecond.size(), second.size());
  EXPECT_EQ(std::string(readSecond.begin(), readSecond.begin() + 6), second);
  const std::vector<UINT> formats = Clipboard()->Formats();
  EXPECT_NE(std::find(formats.begin(), formats.end(), format), formats.end());
  EXPECT_NE(std::find(formats.begin(), formats.end(), other), formats.end());
  EXPECT_TRUE(Clipboard()->GetBuffer(RegisterClipboardFormatA("Mevra Absent Block")).empty());
}

// A 12 x 7 bitmap with a pixel of its own at every place.
void Paint(TBitmap& bitmap) {
  bitmap.SetPixelFormat(TPixelFormat::pf32bit);
  bitmap.SetSize(12, 7);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 12; ++x) bitmap.Canvas()->SetPixels(x, y, static_cast<TColor>(RGB(x * 20, y * 30, 100)));
}

TEST(Clipboard, APictureRoundTripsThroughThePictureRegistry) {
  TBitmap original;
  Paint(original);
  Clipboard()->Assign(&original);
  EXPECT_TRUE(Clipboard()->HasFormat(CF_BITMAP));

  TPicture picture;
  picture.Assign(Clipboard());
  auto* bitmap = ObjectAs<TBitmap>(picture.Graphic());
  ASSERT_TRUE(bitmap);
  ASSERT_EQ(bitmap->Width(), 12);
  ASSERT_EQ(bitmap->Height(), 7);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 12; ++x)
      EXPECT_EQ(bitmap->Canvas()->Pixels(x, y), original.Canvas()->Pixels(x, y)) << x << "," << y;

  // Into a graphic of a class that reads the clipboard's format.
  TBitmap copy;
  copy.Assign(Clipboard());
  EXPECT_EQ(copy.Width(), 12);
  EXPECT_EQ(copy.Canvas()->Pixels(5, 3), original.Canvas()->Pixels(5, 3));

  // A picture onto the clipboard goes as its graphic.
  picture.Bitmap()->Canvas()->SetPixels(0, 0, static_cast<TColor>(RGB(1, 2, 3)));
  Clipboard()->Assign(&picture);
  TBitmap again;
  again.Assign(Clipboard());
  EXPECT_EQ(again.Canvas()->Pixels(0, 0), static_cast<TColor>(RGB(1, 2, 3)));
}

TEST(Clipboard, AMetafileRoundTrips) {
  TMetafile metafile;
  {
    TMetafileCanvas canvas(&metafile, nullptr);
    canvas.Rectangle(0, 0, 40, 20);
  }
  ASSERT_FALSE(metafile.Empty());
  Clipboard()->Assign(&metafile);
  TPicture picture;
  picture.Assign(Clipboard());
  EXPECT_TRUE(ObjectAs<TMetafile>(picture.Graphic()));
}

TEST(Clipboard, AMalformedPictureBlockIsRefusedAndTheDestinationKept) {
  // A packed bitmap whose header claims 100 x 100 pixels of 32 bits, with
  // none of them in the block.
  std::string dib(40, '\0');
  const int32_t header[] = {40, 100, 100};
  std::memcpy(dib.data(), header, sizeof header);
  const uint16_t planesAndBits[] = {1, 32};
  std::memcpy(dib.data() + 12, planesAndBits, sizeof planesAndBits);
  PutForeignBlock(CF_DIB, dib);

  TPicture picture;
  picture.Bitmap()->SetSize(3, 2);
  EXPECT_THROW(picture.Assign(Clipboard()), EInvalidGraphic);
  ASSERT_TRUE(ObjectAs<TBitmap>(picture.Graphic()));
  EXPECT_EQ(picture.Width(), 3) << "the picture is as it was";

  TBitmap bitmap;
  bitmap.SetSize(4, 4);
  EXPECT_THROW(bitmap.Assign(Clipboard()), EInvalidGraphic);
  EXPECT_EQ(bitmap.Width(), 4);

  // A sound packed bitmap in the same place is read.
  TBitmap source;
  Paint(source);
  const TBmpImage image = source.SaveToImage();
  std::vector<uint8_t> file = EncodeBmp(image);
  PutForeignBlock(CF_DIB, std::string(file.begin() + 14, file.end()));
  picture.Assign(Clipboard());
  EXPECT_EQ(picture.Width(), 12);
  EXPECT_EQ(picture.Bitmap()->Canvas()->Pixels(11, 6), source.Canvas()->Pixels(11, 6));
}

TEST(Clipboard, WithoutAPictureAssigningOneRaises) {
  Clipboard()->SetAsText("no picture");
  TPicture picture;
  EXPECT_THROW(picture.Assign(Clipboard()), EInvalidGraphic);
  EXPECT_FALSE(picture.Graphic());
}

}  // namespace
