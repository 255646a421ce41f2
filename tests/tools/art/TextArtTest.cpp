// The text-art converter: the committed cursors, bitmaps and icons are what
// their art makes, the files have the layouts Windows reads, and malformed
// art is refused with the file, the line and the reason. Portable: the same
// source runs under Wine and natively.
#include "platform/BmpCodec.h"
#include "tools/art/TextArt.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

namespace {

AnsiString ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// Every art file of the source tree, outside the build folders.
std::vector<fs::path> ArtFiles() {
  std::vector<fs::path> files;
  const fs::path root = MEVRA_SOURCE_ROOT;
  for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator(); ++it) {
    const std::string name = it->path().filename().string();
    if (it->is_directory() && (name.rfind("build", 0) == 0 || name.rfind(".", 0) == 0)) {
      it.disable_recursion_pending();
      continue;
    }
    if (it->is_regular_file() && it->path().extension() == ".art") files.push_back(it->path());
  }
  return files;
}

const TArtOutput& OutputNamed(const std::vector<TArtOutput>& outputs, const AnsiString& name) {
  for (const TArtOutput& o : outputs)
    if (o.FileName == name) return o;
  throw Exception("no output " + name);
}

std::vector<TArtOutput> Sample() {
  return ConvertTextArt(ReadFile(fs::path(MEVRA_SOURCE_ROOT) / "tests/tools/art/res/Sample.art"), "Sample.art");
}

const uint8_t* Bytes(const AnsiString& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

// The palette index (bit counts up to 8) or colour of a pixel, row 0 at the top.
uint32_t PixelAt(const TBmpImage& image, int x, int y) {
  const uint8_t* row = image.Bits.data() + static_cast<size_t>(image.Height - 1 - y) * image.Stride();
  switch (image.BitCount) {
    case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4: return (row[x / 2] >> (x % 2 ? 0 : 4)) & 15;
    case 8: return row[x];
    case 24: return static_cast<uint32_t>(row[x * 3] | row[x * 3 + 1] << 8 | row[x * 3 + 2] << 16);
    default: return LittleDWord(row + x * 4);
  }
}

}  // namespace

TEST(TextArtTest, CommittedFilesAreWhatTheArtMakes) {
  const std::vector<fs::path> files = ArtFiles();
  ASSERT_FALSE(files.empty()) << "no art under " << MEVRA_SOURCE_ROOT;
  std::set<fs::path> made;
  std::set<fs::path> folders;
  for (const fs::path& art : files) {
    folders.insert(art.parent_path());
    std::vector<TArtOutput> outputs;
    ASSERT_NO_THROW(outputs = ConvertTextArt(ReadFile(art), art.filename().string())) << art;
    for (const TArtOutput& output : outputs) {
      const fs::path file = art.parent_path() / output.FileName;
      EXPECT_TRUE(made.insert(file).second) << file << " is made twice";
      // On a difference, regenerate with: arttool <the art file>
      EXPECT_TRUE(ReadFile(file) == output.Bytes) << file << " differs from what " << art << " makes";
    }
  }
  for (const fs::path& folder : folders)
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
      if (IsArtOutputExtension(entry.path().extension().string())) {
        EXPECT_TRUE(made.count(entry.path())) << "no art makes " << entry.path();
      }
    }
}

TEST(TextArtTest, BitmapCellsLieSideBySideWithTheColoursTheyUse) {
  const std::vector<TArtOutput> outputs = Sample();
  const AnsiString& strip = OutputNamed(outputs, "ART_SAMPLE_STRIP.bmp").Bytes;
  const TBmpImage image = DecodeBmp(Bytes(strip), strip.size());
  EXPECT_EQ(image.Width, 8);
  EXPECT_EQ(image.Height, 3);
  EXPECT_EQ(image.BitCount, 4);
  ASSERT_EQ(image.Palette.size(), 16u);
  // Red, green, blue, yellow: the colours used, in palette order.
  EXPECT_EQ(image.Palette[0], 0xFF0000u);
  EXPECT_EQ(image.Palette[1], 0x00FF00u);
  EXPECT_EQ(image.Palette[2], 0x0000FFu);
  EXPECT_EQ(image.Palette[3], 0xFFFF00u);
  EXPECT_EQ(PixelAt(image, 0, 0), 0u);
  EXPECT_EQ(PixelAt(image, 3, 2), 1u);
  EXPECT_EQ(PixelAt(image, 4, 0), 2u);
  EXPECT_EQ(PixelAt(image, 7, 2), 3u);

  const AnsiString& trueColour = OutputNamed(outputs, "ART_SAMPLE_TRUE.bmp").Bytes;
  const TBmpImage rgb = DecodeBmp(Bytes(trueColour), trueColour.size());
  EXPECT_EQ(rgb.BitCount, 24);
  EXPECT_EQ(PixelAt(rgb, 0, 0), 0xFF0000u);
  EXPECT_EQ(PixelAt(rgb, 2, 0), 0x0000FFu);
  EXPECT_EQ(PixelAt(rgb, 1, 1), 0xFFFFFFu);
}

TEST(TextArtTest, CursorCarriesHotspotMaskAndInversion) {
  const AnsiString cur = OutputNamed(Sample(), "ART_SAMPLE_CURSOR.cur").Bytes;
  const uint8_t* p = Bytes(cur);
  ASSERT_EQ(cur.size(), 22u + 40 + 8 + 128 + 128);  // directory, header, two colours, colour and mask rows
  EXPECT_EQ(LittleWord(p + 2), 2);  // a cursor file
  EXPECT_EQ(LittleWord(p + 4), 1);  // one image
  EXPECT_EQ(p[6], 32);              // width
  EXPECT_EQ(p[7], 32);              // height
  EXPECT_EQ(LittleWord(p + 10), 3);  // hotspot x
  EXPECT_EQ(LittleWord(p + 12), 5);  // hotspot y
  EXPECT_EQ(LittleDWord(p + 14), cur.size() - 22);
  const uint8_t* header = p + LittleDWord(p + 18);
  EXPECT_EQ(LittleDWord(header + 8), 64u);  // colour rows and mask rows
  EXPECT_EQ(LittleWord(header + 14), 1);
  EXPECT_EQ(LittleDWord(header + 40), 0x000000u);  // black, then white
  EXPECT_EQ(LittleDWord(header + 44), 0xFFFFFFu);
  const uint8_t* colour = header + 48;
  const uint8_t* mask = colour + 128;
  // Bit of (x, y) in bottom-up rows of 4 bytes.
  auto bit = [](const uint8_t* rows, int x, int y) { return (rows[(31 - y) * 4 + x / 8] >> (7 - x % 8)) & 1; };
  struct Case { int X, Y, Mask, Colour; const char* What; };
  const Case cases[] = {{0, 0, 1, 0, "transparent"}, {3, 5, 0, 0, "black"}, {4, 4, 0, 1, "white"},
                        {28, 28, 1, 1, "inverted"}};
  for (const Case& c : cases) {
    EXPECT_EQ(bit(mask, c.X, c.Y), c.Mask) << c.What;
    EXPECT_EQ(bit(colour, c.X, c.Y), c.Colour) << c.What;
  }
}

TEST(TextArtTest, IconHoldsEveryImage) {
  const AnsiString ico = OutputNamed(Sample(), "ART_SAMPLE_ICON.ico").Bytes;
  const uint8_t* p = Bytes(ico);
  EXPECT_EQ(LittleWord(p + 2), 1);  // an icon file
  ASSERT_EQ(LittleWord(p + 4), 2);
  EXPECT_EQ(p[6], 16);
  EXPECT_EQ(p[8], 16);               // colours of the 4-bit image
  EXPECT_EQ(LittleWord(p + 12), 4);  // bits
  EXPECT_EQ(p[22], 32);
  EXPECT_EQ(p[24], 0);
  EXPECT_EQ(LittleWord(p + 28), 32);
  const uint8_t* second = p + LittleDWord(p + 22 + 12);
  EXPECT_EQ(LittleDWord(second + 4), 32u);
  // 32-bit pixels carry alpha: 0 outside the square, 255 inside.
  const uint8_t* pixels = second + 40;
  EXPECT_EQ(LittleDWord(pixels), 0u);                                 // bottom-left corner
  EXPECT_EQ(LittleDWord(pixels + ((31 - 10) * 32 + 10) * 4), 0xFF00FF00u);  // green at (10, 10)
  EXPECT_EQ(LittleDWord(pixels + ((31 - 10) * 32 + 20) * 4), 0xFFFFFF00u);  // yellow at (20, 10)
}

TEST(TextArtTest, LaterPaletteServesLaterImages) {
  const std::vector<TArtOutput> outputs = ConvertTextArt(
      "colors\n k 000000\nbitmap FIRST size 1x1 depth 24\n k\n\n# the same letter, another colour\n"
      "colors\n k ff0000\nbitmap SECOND size 1x1 depth 24\n k\n",
      "two.art");
  ASSERT_EQ(outputs.size(), 2u);
  const TBmpImage first = DecodeBmp(Bytes(outputs[0].Bytes), outputs[0].Bytes.size());
  const TBmpImage second = DecodeBmp(Bytes(outputs[1].Bytes), outputs[1].Bytes.size());
  EXPECT_EQ(PixelAt(first, 0, 0), 0x000000u);
  EXPECT_EQ(PixelAt(second, 0, 0), 0xFF0000u);
}

TEST(TextArtTest, MalformedArtIsRefusedWithLineAndReason) {
  // Lines 1-5 hold the palette; the image header is line 6.
  const AnsiString palette = "colors\n . none\n ~ invert\n k 000000\n r ff0000\n";
  struct Case {
    const char* Name;
    AnsiString Text;
    const char* Message;
  };
  const Case cases[] = {
      {"Empty", "", "t.art: no images"},
      {"NoPalette", "bitmap A size 1x1 depth 24\n k\n", "t.art:1: no palette before the first image"},
      {"UnknownWord", "picture A\n", "t.art:1: expected colors, bitmap, cursor or icon, found \"picture\""},
      {"StrayImage", palette + "image size 1x1 depth 4\n k\n", "t.art:6: \"image\" adds an image to the icon"},
      {"BadColour", "colors\n q 12345\n", "t.art:2: \"12345\" is no colour"},
      {"LetterTwice", "colors\n k 000000\n k ffffff\n", "t.art:3: the letter k is defined twice"},
      {"EmptyPalette", "colors\nbitmap A size 1x1 depth 24\n k\n", "t.art:1: the palette is empty"},
      {"LowerCaseName", palette + "bitmap vt_check size 1x1 depth 24\n k\n", "\"vt_check\" is no resource name"},
      {"NameTwice", palette + "bitmap A size 1x1 depth 24\n k\nbitmap A size 1x1 depth 24\n k\n",
       "t.art:8: the name A is used twice"},
      {"NoName", palette + "bitmap\n", "t.art:6: a bitmap needs a name"},
      {"NoSize", palette + "bitmap A depth 24\n k\n", "t.art:6: the size is missing"},
      {"NoDepth", palette + "bitmap A size 1x1\n k\n", "t.art:6: the depth is missing"},
      {"ZeroSize", palette + "bitmap A size 0x1 depth 24\n", "t.art:6: size is WxH, each from 1 to 256"},
      {"HugeSize", palette + "icon A size 300x1 depth 24\n", "t.art:6: size is WxH, each from 1 to 256"},
      {"OddDepth", palette + "bitmap A size 1x1 depth 16\n k\n", "t.art:6: depth is 1, 4, 8, 24 or 32"},
      {"SettingWithoutValue", palette + "bitmap A size\n", "t.art:6: \"size\" needs a value"},
      {"CellsOnCursor", palette + "cursor A size 1x1 depth 1 hotspot 0,0 cells 2\n k\n",
       "t.art:6: unknown setting \"cells\""},
      {"CursorWithoutHotspot", palette + "cursor A size 1x1 depth 1\n k\n", "t.art:6: a cursor needs its hotspot"},
      {"HotspotOutside", palette + "cursor A size 2x2 depth 1 hotspot 2,0\n kk\n kk\n",
       "t.art:6: the hotspot lies outside the image"},
      {"ShortRow", palette + "bitmap A size 2x1 depth 24\n k\n", "t.art:7: the row has 1 letters, the image is 2 wide"},
      {"RowWithSpace", palette + "bitmap A size 3x1 depth 24\n k k\n", "t.art:7: a row is one run of letters"},
      {"MissingRows", palette + "bitmap A size 1x2 depth 24\n k\n", "t.art:6: the image has fewer rows"},
      {"MissingCell", palette + "bitmap A size 1x1 depth 24 cells 2\n k\n", "t.art:6: the image has fewer rows"},
      {"UnknownLetter", palette + "bitmap A size 2x1 depth 24\n kz\n", "t.art:7: the letter z is not in the palette"},
      {"TransparentBitmap", palette + "bitmap A size 2x1 depth 24\n k.\n", "a bitmap has no transparent or inverted"},
      {"ColourIn1BitCursor", palette + "cursor A size 1x1 depth 1 hotspot 0,0\n r\n",
       "t.art:6: a 1-bit image is black and white"},
      {"InvertIn32BitIcon", palette + "icon A size 1x1 depth 32\n ~\n", "a 32-bit image cannot invert the screen"},
      {"TooManyColours",
       "colors\n a 000000\n b 111111\n c 222222\nbitmap A size 3x1 depth 1\n abc\n",
       "t.art: A: uses 3 colours; a 1-bit image holds 2"},
      {"TooWide", palette + "bitmap A size 256x1 depth 24 cells 33\n", "wider than 8192 pixels"},
  };
  for (const Case& c : cases) {
    try {
      ConvertTextArt(c.Text, "t.art");
      ADD_FAILURE() << c.Name << ": accepted";
    } catch (const EArtError& e) {
      EXPECT_NE(e.Message().find(c.Message), std::string::npos) << c.Name << ": " << e.Message();
    }
  }
}
