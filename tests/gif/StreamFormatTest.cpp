// The GIF block layout: reading and writing the header, frames, extensions
// and trailer, and how malformed files are refused.
#include "tests/gif/GIFTestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace giftest;

namespace {

// A 2 x 2 image with a 4-entry grey table, pixels 0 1 / 2 3.
Bytes SmallImage() { return Descriptor(0, 0, 2, 2) + LiteralImageData(2, {0, 1, 2, 3}); }

Bytes WithoutLastByte(const Bytes& b) { return b.substr(0, b.size() - 1); }

Bytes SmallFile() { return ScreenWithTable(2, 2, 2) + SmallImage() + ";"; }

std::string ErrorOf(const Bytes& file, IssueLog* log = nullptr) {
  TGIFContainer image;
  if (log) log->Attach(image);
  try {
    LoadFromBytes(image, file);
  } catch (const GIFException& e) {
    return e.Message();
  }
  return "";
}

TEST(GIFStreamFormat, SignatureIsFoundAtTheStartOrFourBytesOn) {
  const struct {
    const char* Name;
    Bytes File;
    const char* Error;
  } cases[] = {
      {"plain", SmallFile(), ""},
      {"four bytes before", Bytes("abcd") + SmallFile(), ""},
      {"five bytes before", Bytes("abcde") + SmallFile(), "Invalid GIF signature"},
      {"lower case", "gif89a" + SmallFile().substr(6), ""},
      {"any version bytes", "GIF1x!" + SmallFile().substr(6), ""},
      {"not a GIF", Bytes("PNG89a") + SmallFile().substr(6), "Invalid GIF signature"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ErrorOf(c.File), c.Error) << c.Name;
    if (*c.Error) continue;
    TGIFContainer image;
    LoadFromBytes(image, c.File);
    ASSERT_EQ(image.Images().Count(), 1) << c.Name;
    const uint8_t* p = image.Images().Frames(0)->Data();
    EXPECT_EQ(std::vector<uint8_t>(p, p + 4), (std::vector<uint8_t>{0, 1, 2, 3})) << c.Name;
  }
}

TEST(GIFStreamFormat, TrailerAndPaddingAreOptional) {
  const struct {
    const char* Name;
    Bytes File;
    int Frames;
    const char* Warning;
  } cases[] = {
      {"no trailer", ScreenWithTable(2, 2, 2) + SmallImage(), 1, nullptr},
      {"zero bytes between blocks", ScreenWithTable(2, 2, 2) + Bytes(3, '\0') + SmallImage() + Bytes(2, '\0') +
                                        SmallImage() + ";", 2, nullptr},
      {"unknown block", ScreenWithTable(2, 2, 2) + SmallImage() + "X" + SmallImage() + ";", 1,
       "Unknown GIF block type"},
      {"junk after the trailer", SmallFile() + "junk", 1, nullptr},
  };
  for (const auto& c : cases) {
    TGIFContainer image;
    IssueLog log;
    log.Attach(image);
    LoadFromBytes(image, c.File);
    EXPECT_EQ(image.Images().Count(), c.Frames) << c.Name;
    if (c.Warning) EXPECT_TRUE(log.Has(c.Warning)) << c.Name;
    else EXPECT_TRUE(log.Messages.empty()) << c.Name << ": " << (log.Messages.empty() ? "" : log.Messages[0]);
  }
}

TEST(GIFStreamFormat, AnyTransparentGraphicControlMakesTheFrameTransparent) {
  const Bytes opaque = Bytes("!\xF9\x04\x00\x0A\x00\x00\x00", 8);       // delay 10, no transparency
  const Bytes transparent = Bytes("!\xF9\x04\x01\x00\x00\x03\x00", 8);  // transparent index 3
  TGIFContainer image;
  LoadFromBytes(image, ScreenWithTable(2, 2, 2) + opaque + transparent + SmallImage() + ";");
  ASSERT_EQ(image.Images().Count(), 1);
  TGIFSubImage* frame = image.Images().Frames(0);
  EXPECT_TRUE(frame->IsTransparent());
  ASSERT_EQ(frame->Extensions().Count(), 2);
  EXPECT_EQ(frame->GraphicControl(), frame->Extensions().Extensions(0));
  EXPECT_EQ(frame->GraphicControl()->Delay(), 10);
  // Deleting the transparent one takes the transparency with it; the first
  // stays the frame's graphic control.
  frame->Extensions().Delete(1);
  EXPECT_FALSE(frame->IsTransparent());
  frame->Extensions().Delete(0);
  EXPECT_EQ(frame->GraphicControl(), nullptr);
}

TEST(GIFStreamFormat, ExtensionsAfterTheLastImageFormAFrameOfTheirOwn) {
  const Bytes comment = Bytes("!\xFE\x03" "end\x00", 7);
  const Bytes file = "GIF89a" + SmallFile().substr(6, SmallFile().size() - 7) + comment + ";";
  TGIFContainer image;
  LoadFromBytes(image, file);
  ASSERT_EQ(image.Images().Count(), 2);
  TGIFSubImage* tail = image.Images().Frames(1);
  EXPECT_TRUE(tail->IsEmpty());
  ASSERT_EQ(tail->Extensions().Count(), 1);
  EXPECT_EQ(static_cast<TGIFCommentExtension*>(tail->Extensions().Extensions(0))->Text,
            (TGIFStrings{"end"}));
  EXPECT_EQ(SaveToBytes(image), file);
}

TEST(GIFStreamFormat, LongCommentIsWrittenInSubBlocks) {
  TGIFContainer image;
  LoadFromBytes(image, SmallFile());
  auto* comment = new TGIFCommentExtension(image.Images().Frames(0));
  image.Images().Frames(0)->Extensions().Add(comment);
  comment->Text = {AnsiString(300, 'c')};
  const Bytes file = SaveToBytes(image);
  EXPECT_NE(file.find(Bytes("!\xFE\xFF", 3) + AnsiString(255, 'c') + "\x2D" + AnsiString(45, 'c') + Bytes(1, '\0')),
            Bytes::npos);
  TGIFContainer again;
  LoadFromBytes(again, file);
  auto* read = static_cast<TGIFCommentExtension*>(again.Images().Frames(0)->Extensions().Extensions(0));
  EXPECT_EQ(read->Text, (TGIFStrings{AnsiString(255, 'c'), AnsiString(45, 'c')}));
}

TEST(GIFStreamFormat, ApplicationExtensionsByIdentification) {
  const struct {
    const char* Name;
    Bytes Block;
    const char* Class;
    Bytes Written;  // empty: written back unchanged
  } cases[] = {
      {"loop count 0", Bytes("!\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00", 19), "TGIFAppExtNSLoop", ""},
      {"loop count and buffer size", Bytes("!\xFF\x0BNETSCAPE2.0\x03\x01\x05\x00\x05\x02\x10\x20\x00\x00\x00", 25),
       "TGIFAppExtNSLoop", ""},
      {"buffer size first", Bytes("!\xFF\x0B" "ANIMEXTS1.0\x05\x02\x10\x20\x00\x00\x03\x01\x05\x00\x00", 25),
       "TGIFAppExtNSLoop", Bytes("!\xFF\x0B" "ANIMEXTS1.0\x03\x01\x05\x00\x05\x02\x10\x20\x00\x00\x00", 25)},
      {"unknown sub-block id skipped", Bytes("!\xFF\x0BNETSCAPE2.0\x02\x07\x09\x03\x01\x02\x00\x00", 22),
       "TGIFAppExtNSLoop", Bytes("!\xFF\x0BNETSCAPE2.0\x03\x01\x02\x00\x00", 19)},
      {"other application", Bytes("!\xFF\x0BMEVRATST1.0\x02xy\x01z\x00", 20), "TGIFUnknownAppExtension", ""},
      {"ten-byte identification", Bytes("!\xFF\x0AMEVRATST1.\x01q\x00", 16), "TGIFUnknownAppExtension",
       Bytes("!\xFF\x0BMEVRATST1.\x00\x01q\x00", 17)},
  };
  for (const auto& c : cases) {
    const Bytes file = ScreenWithTable(2, 2, 2) + c.Block + SmallImage() + ";";
    TGIFContainer image;
    LoadFromBytes(image, file);
    ASSERT_EQ(image.Images().Count(), 1) << c.Name;
    TGIFSubImage* frame = image.Images().Frames(0);
    ASSERT_EQ(frame->Extensions().Count(), 1) << c.Name;
    EXPECT_STREQ(frame->Extensions().Extensions(0)->ClassName(), c.Class) << c.Name;
    const Bytes saved = SaveToBytes(image);
    const Bytes expected = c.Written.empty() ? c.Block : c.Written;
    EXPECT_EQ(saved.substr(13 + 12, expected.size()), expected) << c.Name;
  }
  TGIFContainer image;
  LoadFromBytes(image, ScreenWithTable(2, 2, 2) + cases[1].Block + SmallImage() + ";");
  auto* loop = static_cast<TGIFAppExtNSLoop*>(image.Images().Frames(0)->Extensions().Extensions(0));
  EXPECT_EQ(loop->Loops, 5);
  EXPECT_EQ(loop->BufferSize, 0x2010u);
}

TEST(GIFStreamFormat, VersionAndScreenDescriptorFollowTheContent) {
  TGIFContainer image;
  EXPECT_THROW(
      {
        try {
          SaveToBytes(image);
        } catch (const GIFException& e) {
          EXPECT_EQ(e.Message(), "Unsupported GIF version");
          throw;
        }
      },
      GIFException);

  image.Header().SetWidth(2);
  image.Header().SetHeight(2);
  for (int i = 0; i < 4; ++i) image.Header().ColorMap().AppendColor({uint8_t(i), 0, 0});
  TGIFSubImage* frame = AddFrame(image, 2, 2, {0, 1, 2, 3});
  EXPECT_EQ(SaveToBytes(image).substr(0, 6), "GIF87a");

  for (int i = 0; i < 256; ++i) frame->ColorMap().AppendColor({0, uint8_t(i), 0});
  Bytes file = SaveToBytes(image);
  EXPECT_EQ(static_cast<uint8_t>(file[10]), 0x80 | (7 << 4) | 1);  // global table, resolution 7, 4 entries
  EXPECT_EQ(static_cast<uint8_t>(file[13 + 12 + 9]), 0x87);        // local table of 256 entries

  new TGIFGraphicControlExtension(frame);
  frame->Extensions().Add(frame->GraphicControl());
  EXPECT_EQ(SaveToBytes(image).substr(0, 6), "GIF89a");
}

TEST(GIFStreamFormat, BusyPictureRoundTripsBlockForBlock) {
  TGIFContainer image;
  BuildBusyPicture(image);
  const Bytes file = SaveToBytes(image);
  TGIFContainer again;
  IssueLog log;
  log.Attach(again);
  LoadFromBytes(again, file);
  EXPECT_TRUE(log.Messages.empty());
  ASSERT_EQ(again.Images().Count(), 8);
  EXPECT_EQ(again.Width(), 24);
  EXPECT_EQ(again.Header().ColorMap().Count(), 8);
  for (int i = 0; i < 8; ++i) {
    TGIFSubImage* frame = again.Images().Frames(i);
    ASSERT_EQ(frame->DataSize(), 576u);
    EXPECT_TRUE(std::equal(frame->Data(), frame->Data() + 576, image.Images().Frames(i)->Data())) << i;
    ASSERT_NE(frame->GraphicControl(), nullptr);
    EXPECT_EQ(frame->GraphicControl()->Disposal(), i < 7 ? 2 : 1);
    EXPECT_EQ(frame->GraphicControl()->Delay(), 10);
    EXPECT_TRUE(frame->IsTransparent());
    EXPECT_EQ(frame->ColorMap().Count(), 0);
  }
  auto* loop = ObjectAs<TGIFAppExtNSLoop>(again.Images().Frames(0)->Extensions().Extensions(0));
  ASSERT_NE(loop, nullptr);
  EXPECT_EQ(loop->Loops, 0);

  const Bytes second = SaveToBytes(again);
  const std::vector<Bytes> blocks = SplitBlocks(file);
  EXPECT_EQ(SplitBlocks(second), blocks);
  // Header, loop block, eight graphic controls, eight images, trailer.
  ASSERT_EQ(blocks.size(), 19u);
  EXPECT_EQ(blocks[0].substr(0, 6), "GIF89a");
  EXPECT_EQ(blocks[0].size(), 13u + 24u);
  EXPECT_EQ(blocks[1].substr(0, 14), Bytes("!\xFF\x0BNETSCAPE2.0", 14));
  EXPECT_EQ(blocks[2], Bytes("!\xF9\x04\x09\x0A\x00\x00\x00", 8));   // disposal 2, transparent
  EXPECT_EQ(blocks[16], Bytes("!\xF9\x04\x05\x0A\x00\x00\x00", 8));  // last: disposal 1
  EXPECT_EQ(blocks[3][0], ',');
  EXPECT_EQ(blocks[3][10], '\x03');  // minimum code size 3
  EXPECT_EQ(blocks[18], ";");
}

TEST(GIFStreamFormat, MalformedFilesAreRefusedOrReadAsFarAsTheyGo) {
  const Bytes screen = ScreenWithTable(2, 2, 2);
  // Codes 4 (clear), 0, 7, 7 at 3 bits define entry 7 as its own prefix;
  // reading 7 again at 4 bits walks into it.
  CodeStream circular;
  for (int code : {4, 0, 7, 7}) circular.Put(code, 3);
  circular.Put(7, 4);
  const struct {
    const char* Name;
    Bytes File;
    const char* Error;    // "" when the file loads
    const char* Warning;  // expected warning when it loads, or null
  } cases[] = {
      {"empty", "", "Premature end of data", nullptr},
      {"signature only", "GIF89a", "Premature end of data", nullptr},
      {"global table cut short", screen.substr(0, 20), "Premature end of data", nullptr},
      {"descriptor cut short", screen + SmallImage().substr(0, 6), "Premature end of data", nullptr},
      {"local table cut short", screen + Bytes(",\0\0\0\0\x02\0\x02\0\x81", 10) + "abc", "Premature end of data",
       nullptr},
      {"comment sub-block cut short", screen + Bytes("!\xFE\x10" "abc", 6), "Premature end of data", nullptr},
      {"plain text header cut short", screen + Bytes("!\x01\x0C\x00\x00", 5), "Premature end of data", nullptr},
      {"unknown extension label", screen + Bytes("!\x42\x00", 3) + SmallImage(), "Unknown extension type", nullptr},
      {"application identification too short", screen + Bytes("!\xFF\x05" "abcde\x00", 9),
       "Unsupported Application Extension block size", nullptr},
      {"application identification of 12 bytes", screen + Bytes("!\xFF\x0C" "NETSCAPE2.0x\x00", 16),
       "Unsupported Application Extension block size", nullptr},
      {"loop sub-block too short", screen + Bytes("!\xFF\x0BNETSCAPE2.0\x02\x01\x00\x00", 18), "Invalid GIF data",
       nullptr},
      {"circular code table", screen + Descriptor(0, 0, 4, 4) + circular.ImageData(2), "Circular decoder table entry",
       nullptr},
      {"minimum code size 12", screen + Descriptor(0, 0, 2, 2) + Bytes("\x0C\x01\x00\x00", 4),
       "Invalid LZW code size", nullptr},
      {"huge frame", screen + Descriptor(0, 0, 65535, 65535) + LiteralImageData(2, {0}), "Image exceeds maximum size",
       nullptr},
      {"many large frames", screen + Descriptor(0, 0, 8192, 8192) + LiteralImageData(2, {0}) +
                                Descriptor(0, 0, 8192, 8192) + LiteralImageData(2, {0}) +
                                Descriptor(0, 0, 8192, 8192) + LiteralImageData(2, {0}),
       "Image exceeds maximum size", nullptr},
      {"zero-sized frame", screen + Descriptor(0, 0, 0, 2) + LiteralImageData(2, {0, 1, 2, 3}) + ";", "",
       "Image exceeds Logical Screen size"},
      {"graphic control cut short", screen + Bytes("!\xF9\x04\x01", 4), "", "Premature end of data"},
      {"image data cut short", screen + SmallImage().substr(0, 13), "", "Premature end of data"},
      {"image data without terminator", screen + Descriptor(0, 0, 2, 2) + WithoutLastByte(LiteralImageData(2, {0, 1, 2, 3})),
       "", nullptr},
      {"missing trailer", screen + SmallImage(), "", nullptr},
      {"garbage after image", screen + SmallImage() + "\x01", "", "Unknown GIF block type"},
  };
  for (const auto& c : cases) {
    IssueLog log;
    TGIFContainer image;
    log.Attach(image);
    TStringStream stream(c.File);
    std::string error;
    try {
      image.LoadFromStream(stream);
    } catch (const GIFException& e) {
      error = e.Message();
      EXPECT_EQ(stream.Position(), 0) << c.Name << ": a failed load goes back to where it began";
    }
    EXPECT_EQ(error, c.Error) << c.Name;
    if (c.Warning) {
      EXPECT_TRUE(log.Has(c.Warning)) << c.Name;
    }
  }
}

// A picture's own pixel budget bounds each frame and all frames together.
TEST(GIFStreamFormat, PixelBudgetIsThePicturesOwn) {
  const Bytes screen = ScreenWithTable(12, 12, 2);
  const Bytes frame10 = Descriptor(0, 0, 10, 10) + LiteralImageData(2, {0});
  const struct {
    const char* Name;
    Bytes File;
    const char* Error;
  } cases[] = {
      {"frame within the budget", screen + frame10 + ";", ""},
      {"frame above the frame budget", screen + Descriptor(0, 0, 11, 10) + LiteralImageData(2, {0}) + ";",
       "Image exceeds maximum size"},
      {"frames above the picture budget", screen + frame10 + frame10 + ";", "Image exceeds maximum size"},
  };
  for (const auto& c : cases) {
    TGIFContainer image;
    image.MaxFramePixels = 100;
    image.MaxPicturePixels = 150;
    std::string error;
    try {
      LoadFromBytes(image, c.File);
    } catch (const GIFException& e) {
      error = e.Message();
    }
    EXPECT_EQ(error, c.Error) << c.Name;
    EXPECT_LE(image.PixelsInUse(), 150u) << c.Name;
  }
}

// Pixel access by coordinates: allocated on demand, refused outside the
// frame and on a frame without pixels.
TEST(GIFFrame, PixelAccessChecksCoordinatesAndSize) {
  TGIFContainer image;
  TGIFSubImage* frame = AddFrame(image, 3, 2, {1, 2, 3, 4, 5, 6});
  EXPECT_EQ(frame->PixelAt(2, 1), 6);
  EXPECT_EQ(frame->RowPointer(1), frame->Data() + 3);
  frame->ReleasePixels();
  EXPECT_EQ(frame->PixelAt(1, 1), 0) << "released pixels come back, zeroed";
  EXPECT_EQ(frame->DataSize(), 6u);

  const struct {
    const char* Name;
    int Width, Height, X, Y;
    const char* Error;
  } cases[] = {
      {"left of the frame", 3, 2, -1, 0, "Invalid pixel coordinates"},
      {"right of the frame", 3, 2, 3, 0, "Invalid pixel coordinates"},
      {"above the frame", 3, 2, 0, -1, "Invalid pixel coordinates"},
      {"below the frame", 3, 2, 0, 2, "Invalid pixel coordinates"},
      {"frame without columns", 0, 2, 0, 0, "Invalid pixel coordinates"},
      {"frame without rows", 3, 0, 0, 0, "Invalid pixel coordinates"},
  };
  for (const auto& c : cases) {
    TGIFContainer picture;
    TGIFSubImage* f = AddFrame(picture, c.Width, c.Height, {});
    try {
      f->PixelAt(c.X, c.Y);
      ADD_FAILURE() << c.Name;
    } catch (const GIFException& e) {
      EXPECT_EQ(e.Message(), c.Error) << c.Name;
    }
  }
  // Rows of a frame without columns exist, but it has no pixels.
  TGIFContainer picture;
  TGIFSubImage* empty = AddFrame(picture, 0, 2, {});
  for (const auto& access : {std::function<void()>([&] { empty->RowPointer(1); }),
                             std::function<void()>([&] { empty->EnsurePixels(); })}) {
    try {
      access();
      ADD_FAILURE() << "a frame of size 0 has no pixels";
    } catch (const GIFException& e) {
      EXPECT_EQ(e.Message(), "Image is empty");
    }
  }
}

TEST(GIFStreamFormat, TruncationAnywhereIsAnErrorOrAShorterPicture) {
  TGIFContainer source;
  BuildBusyPicture(source);
  auto* comment = new TGIFCommentExtension(source.Images().Frames(3));
  source.Images().Frames(3)->Extensions().Add(comment);
  comment->Text = {"spinner"};
  const Bytes file = SaveToBytes(source);
  const std::vector<Bytes> blocks = SplitBlocks(file);
  std::vector<size_t> boundaries;
  size_t end = 0;
  for (const Bytes& block : blocks) boundaries.push_back(end += block.size());

  for (size_t length = 0; length < file.size(); ++length) {
    TGIFContainer image;
    std::string error;
    try {
      LoadFromBytes(image, file.substr(0, length));
    } catch (const GIFException& e) {
      error = e.Message();
    }
    const bool inHeader = length < blocks[0].size();
    const bool atBoundary = std::find(boundaries.begin(), boundaries.end(), length) != boundaries.end();
    if (inHeader) {
      EXPECT_EQ(error, "Premature end of data") << length;
    }
    if (atBoundary) {
      EXPECT_EQ(error, "") << "cut after a whole block at " << length;
      EXPECT_LE(image.Images().Count(), 8);
    }
  }
}

}  // namespace

namespace {

TEST(GIFStreamFormat, ItemsGoToAndFromNamedFiles) {
  const std::string path = (std::filesystem::temp_directory_path() / "mevra-gif-header-test.gif").string();
  TGIFContainer image;
  BuildBusyPicture(image);
  image.Header().SaveToFileNamed(path);
  TGIFContainer again;
  again.Header().LoadFromFileNamed(path);
  EXPECT_EQ(again.Width(), 24);
  EXPECT_EQ(again.Header().ColorMap().Count(), 8);
  EXPECT_EQ(again.Header().ColorMap().ColorAt(1), (TGIFColor{0, 0, 0}));
  std::filesystem::remove(path);
  EXPECT_THROW(again.Header().LoadFromFileNamed(path), EStreamError);
}

}  // namespace
