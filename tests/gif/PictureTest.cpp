// The GIF picture class: registration, loading from form data, still
// frames, conversion from bitmaps, copying, the clipboard, the corpus round
// trip and the committed busy picture.
#include "gif/GIFImage.h"
#include "platform/Exceptions.h"
#include "platform/FileStream.h"
#include "platform/Icon.h"
#include "platform/Metafile.h"
#include "platform/StringList.h"
#include "tests/gif/GIFTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tools/gif/BusyPicture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using namespace giftest;

class GIFPicture : public ::testing::Test {
protected:
  void SetUp() override { GIFImageInit(); }
  void TearDown() override { GIFImageFinal(); }
};

std::string ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// RGB of a bitmap pixel through its canvas.
COLORREF PixelOf(TBitmap& b, int x, int y) { return GetPixel(b.Canvas()->Handle(), x, y); }

TEST_F(GIFPicture, RegistersForFilesAndFormDataAndLoadsTheBusyPicture) {
  EXPECT_EQ(TPicture::FindGraphicClassByExtension("gif"), &TGIFImage::ClassInfo);
  EXPECT_EQ(TPicture::FindGraphicClassByName("TGIFImage"), &TGIFImage::ClassInfo);
  EXPECT_NE(GIFClipboardFormat, 0u);
  EXPECT_TRUE(TPicture::SupportsClipboardFormat(GIFClipboardFormat));

  const std::string file = BusyPictureBytes();
  TMemoryStream data;
  const char name[] = "\x09TGIFImage";
  data.WriteBuffer(name, 10);
  data.WriteBuffer(file.data(), static_cast<int32_t>(file.size()));
  data.SetPosition(0);
  TPicture picture;
  picture.ReadData(data);
  auto* image = ObjectAs<TGIFImage>(picture.Graphic());
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->Images().Count(), 8);
  EXPECT_EQ(image->GetWidth(), 24);
  EXPECT_EQ(image->Header().ColorMap().Count(), 8);
}

TEST_F(GIFPicture, CommittedBusyPictureIsWhatTheToolMakes) {
  const std::string committed = ReadFileBytes(MEVRA_BUSY_GIF_FILE);
  ASSERT_FALSE(committed.empty());
  // On a difference, regenerate with: giftool busy gif/data/busy.gif
  EXPECT_TRUE(committed == BusyPictureBytes()) << "gif/data/busy.gif differs from the generator's output";
  TGIFImage image;
  LoadFromBytes(image, committed);
  ASSERT_EQ(image.Images().Count(), 8);
  for (int i = 0; i < 8; ++i) {
    TGIFSubImage* f = image.Images().Frames(i);
    ASSERT_NE(f->GraphicControl(), nullptr);
    EXPECT_EQ(f->GraphicControl()->Delay(), 10);
    EXPECT_TRUE(f->IsTransparent());
    EXPECT_EQ(f->GraphicControl()->Disposal(), i < 7 ? 2 : 1);
  }
}

TEST_F(GIFPicture, SingleFrameOrStillPictureDrawsAFrameAndStartsNoPainter) {
  TGIFImage image;
  // Two frames: left half colour 1, right half colour 2, on a 4-colour table.
  image.Header().SetWidth(4);
  image.Header().SetHeight(2);
  for (TGIFColor c : {TGIFColor{0, 0, 0}, TGIFColor{255, 0, 0}, TGIFColor{0, 0, 255}, TGIFColor{0, 255, 0}})
    image.Header().ColorMap().AppendColor(c);
  AddFrame(image, 4, 2, {1, 1, 1, 1, 1, 1, 1, 1});
  TBitmap target;
  target.SetSize(4, 2);
  image.Draw(target.Canvas(), RECT{0, 0, 4, 2});
  image.Draw(target.Canvas(), RECT{0, 0, 4, 2});
  EXPECT_EQ(image.PainterCount(), 0);
  EXPECT_EQ(PixelOf(target, 0, 0), RGB(255, 0, 0));

  AddFrame(image, 4, 2, {2, 2, 2, 2, 2, 2, 2, 2});
  image.PaintOptions.Exclude(paAnimate);
  image.StillFrame = 3;  // out of range: frame 0
  image.Draw(target.Canvas(), RECT{0, 0, 4, 2});
  EXPECT_EQ(PixelOf(target, 3, 1), RGB(255, 0, 0));
  image.StillFrame = 1;
  image.Draw(target.Canvas(), RECT{0, 0, 4, 2});
  EXPECT_EQ(PixelOf(target, 3, 1), RGB(0, 0, 255));
  EXPECT_EQ(image.PainterCount(), 0);
}

TEST_F(GIFPicture, TransparentFrameShowsTheBackdropThroughItsMask) {
  TGIFImage image;
  image.Header().SetWidth(2);
  image.Header().SetHeight(2);
  for (TGIFColor c : {TGIFColor{0, 0, 0}, TGIFColor{255, 0, 0}}) image.Header().ColorMap().AppendColor(c);
  TGIFSubImage* f = AddFrame(image, 2, 2, {0, 1, 1, 0});
  auto* gce = new TGIFGraphicControlExtension(f);
  f->Extensions().Add(gce);
  gce->SetTransparent(true);
  gce->SetTransparentColorIndex(0);
  for (const RECT r : {RECT{0, 0, 2, 2}, RECT{0, 0, 4, 4}}) {
    TBitmap target;
    target.SetSize(4, 4);
    target.Canvas()->Brush()->SetColor(static_cast<TColor>(RGB(0, 255, 0)));
    target.Canvas()->FillRect(RECT{0, 0, 4, 4});
    image.Draw(target.Canvas(), r);
    const int s = (r.right - r.left) / 2;
    EXPECT_EQ(PixelOf(target, 0, 0), RGB(0, 255, 0)) << s;
    EXPECT_EQ(PixelOf(target, s, 0), RGB(255, 0, 0)) << s;
    EXPECT_EQ(PixelOf(target, 0, s), RGB(255, 0, 0)) << s;
    EXPECT_EQ(PixelOf(target, s, s), RGB(0, 255, 0)) << s;
  }
  EXPECT_TRUE(image.HasFrameMask(f));
}

TEST_F(GIFPicture, LowColourDisplayRendersIntoTheColourCube) {
  const bool saved = LowColorDisplay;
  LowColorDisplay = true;
  TGIFImage image;
  image.Header().SetWidth(3);
  image.Header().SetHeight(1);
  for (TGIFColor c : {TGIFColor{0, 0, 0}, TGIFColor{255, 0, 0}, TGIFColor{0, 0, 255}})
    image.Header().ColorMap().AppendColor(c);
  TGIFSubImage* f = AddFrame(image, 3, 1, {1, 0, 2});
  auto* gce = new TGIFGraphicControlExtension(f);
  f->Extensions().Add(gce);
  gce->SetTransparent(true);
  gce->SetTransparentColorIndex(0);
  EXPECT_TRUE(image.DoDither());
  TBitmap* b = image.FrameBitmap(f);
  const auto* row = static_cast<uint8_t*>(b->ScanLine(0));
  // Pure colours sit on the cube: red 180, blue 5; no error is spread.
  EXPECT_EQ(row[0], 180);
  EXPECT_EQ(row[2], 5);
  EXPECT_TRUE(image.HasFrameMask(f));
  PALETTEENTRY e[256];
  ASSERT_GE(GetPaletteEntries(image.FramePalette(f), 0, 256, e), 216u);
  EXPECT_EQ(RGB(e[180].peRed, e[180].peGreen, e[180].peBlue), RGB(255, 0, 0));
  EXPECT_EQ(RGB(e[43].peRed, e[43].peGreen, e[43].peBlue), RGB(51, 51, 51));
  LowColorDisplay = saved;
  image.PaintOptions.Exclude(paDitherLowColor);
  EXPECT_TRUE(image.DoDither());
  image.PaintOptions.Exclude(paDither);
  EXPECT_FALSE(image.DoDither());
}

TEST_F(GIFPicture, SizeChecksAgainstFrames) {
  TGIFImage image;
  image.Header().SetWidth(4);
  image.Header().SetHeight(4);
  image.Header().ColorMap().AppendColor(TGIFColor{});
  AddFrame(image, 4, 4, {});
  EXPECT_THROW(image.SetWidth(3), GIFException);
  EXPECT_THROW(image.SetHeight(2), GIFException);
  image.SetWidth(8);
  EXPECT_EQ(image.GetWidth(), 8);
  // The same size again keeps the cached bitmap (a mark in it survives) and
  // signals no change; another size drops it.
  int changes = 0;
  image.OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  SetPixel(image.CachedBitmap()->Canvas()->Handle(), 0, 0, RGB(1, 2, 3));
  image.SetWidth(8);
  image.SetHeight(4);
  EXPECT_EQ(GetPixel(image.CachedBitmap()->Canvas()->Handle(), 0, 0), RGB(1, 2, 3));
  EXPECT_EQ(changes, 0);
  image.SetHeight(5);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(image.CachedBitmap()->Height(), 5);
  // Sizes the logical screen cannot hold are refused, not cut to 16 bits.
  for (int bad : {-1, 0x10000, 0x10008}) {
    EXPECT_THROW(image.SetWidth(bad), GIFException) << bad;
    EXPECT_THROW(image.SetHeight(bad), GIFException) << bad;
  }
  EXPECT_EQ(image.GetWidth(), 8);
  EXPECT_EQ(image.GetHeight(), 5);
}

// A 24-bit bitmap of `colors` distinct colours, one per pixel in a row.
void FillDistinct(TBitmap& b, int colors) {
  b.SetPixelFormat(pf24bit);
  b.SetSize(colors, 1);
  auto* row = static_cast<uint8_t*>(b.ScanLine(0));
  for (int i = 0; i < colors; ++i) {
    row[3 * i] = static_cast<uint8_t>(i);          // blue
    row[3 * i + 1] = static_cast<uint8_t>(i >> 8);  // green
    row[3 * i + 2] = static_cast<uint8_t>(255 - (i & 0xFF));
  }
}

TEST_F(GIFPicture, BitmapConversion) {
  {
    // Defaults: the 216-colour cube, nearest colour.
    TBitmap b;
    FillDistinct(b, 16);
    TGIFImage image;
    image.Assign(&b);
    ASSERT_EQ(image.Images().Count(), 1);
    TGIFSubImage* f = image.Images().Frames(0);
    EXPECT_EQ(f->Width(), 16);
    TNetscapeColorLookup cube;
    uint8_t r, g, bl;
    for (int i = 0; i < 16; ++i) {
      const TGIFColor c = f->ColorMap().ColorAt(f->Data()[i]);
      cube.NearestIndex(static_cast<uint8_t>(255 - i), 0, static_cast<uint8_t>(i), r, g, bl);
      EXPECT_EQ(c, (TGIFColor{r, g, bl})) << i;
    }
  }
  {
    // No reduction: 256 colours kept in order of first appearance.
    TBitmap b;
    FillDistinct(b, 256);
    TGIFImage image;
    image.ReductionMethod = rdNone;
    image.Assign(&b);
    TGIFSubImage* f = image.Images().Frames(0);
    ASSERT_EQ(f->ColorMap().Count(), 256);
    for (int i = 0; i < 256; ++i) {
      EXPECT_EQ(f->Data()[i], i);
      EXPECT_EQ(f->ColorMap().ColorAt(i), (TGIFColor{static_cast<uint8_t>(255 - i), 0, static_cast<uint8_t>(i)}));
    }
  }
  {
    TBitmap b;
    FillDistinct(b, 300);
    TGIFImage image;
    image.ReductionMethod = rdNone;
    try {
      image.Assign(&b);
      FAIL() << "300 colours without reduction must raise";
    } catch (const GIFException& e) {
      EXPECT_STREQ(e.what(), "Color table overflow");
    }
  }
  {
    // An 8-bit bitmap keeps its palette and its indexes.
    TBitmap b;
    b.SetPixelFormat(pf24bit);
    b.SetSize(3, 1);
    auto* row = static_cast<uint8_t*>(b.ScanLine(0));
    const uint8_t px[9] = {0, 0, 255, 0, 255, 0, 255, 0, 0};
    std::copy(px, px + 9, row);
    std::unique_ptr<TBitmap> eight(ReduceBitmapColors(&b, rdCube216, dkNearest, nullptr, 8));
    TGIFImage image;
    image.Assign(eight.get());
    TGIFSubImage* f = image.Images().Frames(0);
    EXPECT_EQ(f->ColorMap().Count(), 256);
    EXPECT_EQ(f->Data()[0], 180);
    EXPECT_EQ(f->Data()[1], 30);
    EXPECT_EQ(f->Data()[2], 5);
    TBitmap back;
    back.Assign(&image);
    EXPECT_EQ(PixelOf(back, 0, 0), RGB(255, 0, 0));
  }
  // A transparent bitmap: its transparent colour (the bottom left pixel,
  // here the first) gets an index of its own, unless the table is full.
  for (int colors : {16, 255, 256}) {
    TBitmap b;
    FillDistinct(b, colors);
    b.SetTransparent(true);
    TGIFImage image;
    image.ReductionMethod = rdNone;
    image.Assign(&b);
    TGIFSubImage* f = image.Images().Frames(0);
    ASSERT_EQ(f->IsTransparent(), colors < 256) << colors;
    if (!f->IsTransparent()) continue;
    const int t = f->GraphicControl()->TransparentColorIndex();
    EXPECT_EQ(f->Data()[0], t) << colors;
    EXPECT_EQ(std::count(f->Data(), f->Data() + colors, t), 1) << colors;
    EXPECT_EQ(f->ColorMap().Count(), colors + 1) << colors;
  }
  TGIFImage image;
  TStringList notAGraphic;
  EXPECT_THROW(image.AddFrame(&notAGraphic), GIFException);
}

// A bitmap receives the picture's bitmap (frame 0) as it is; an animation
// is not drawn into it, which would start a painter that keeps running.
TEST_F(GIFPicture, AnimationAssignedToABitmapGivesFrameZeroWithoutAPainter) {
  TGIFImage image;
  BuildBusyPicture(image);
  TBitmap bitmap;
  bitmap.Assign(&image);
  EXPECT_EQ(image.PainterCount(), 0);
  ASSERT_EQ(bitmap.Width(), 24);
  ASSERT_EQ(bitmap.Height(), 24);
  TBitmap* first = image.FrameBitmap(image.Images().Frames(0));
  for (const POINT p : {POINT{12, 4}, POINT{18, 6}, POINT{0, 0}, POINT{6, 18}})
    EXPECT_EQ(PixelOf(bitmap, p.x, p.y), PixelOf(*first, p.x, p.y)) << p.x << "," << p.y;
  // An empty picture empties the bitmap; other destinations are refused.
  TGIFImage empty;
  bitmap.Assign(&empty);
  EXPECT_TRUE(bitmap.Empty());
  TStringList list;
  EXPECT_THROW(list.Assign(&image), EConvertError);
  EXPECT_EQ(image.PainterCount(), 0);
}

// A frame palette of its own replaces the colours the frame bitmap was made
// with; the same palette again changes nothing.
TEST_F(GIFPicture, FramePaletteSetterRebuildsTheFrameBitmap) {
  TGIFImage image;
  image.Header().SetWidth(2);
  image.Header().SetHeight(1);
  for (TGIFColor c : {TGIFColor{255, 0, 0}, TGIFColor{0, 0, 255}}) image.Header().ColorMap().AppendColor(c);
  TGIFSubImage* f = AddFrame(image, 2, 1, {0, 1});
  ASSERT_EQ(PixelOf(*image.FrameBitmap(f), 0, 0), RGB(255, 0, 0));
  int changes = 0;
  image.OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });

  std::vector<uint8_t> memory(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY), 0);
  auto* lp = reinterpret_cast<LOGPALETTE*>(memory.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = 2;
  lp->palPalEntry[0] = PALETTEENTRY{0, 255, 0, 0};
  lp->palPalEntry[1] = PALETTEENTRY{255, 255, 255, 0};
  HPALETTE green = CreatePalette(lp);
  image.SetFramePalette(f, green);
  EXPECT_EQ(image.FramePalette(f), green);
  EXPECT_TRUE(image.PaletteModified());
  EXPECT_GE(changes, 1);
  EXPECT_EQ(PixelOf(*image.FrameBitmap(f), 0, 0), RGB(0, 255, 0));
  EXPECT_EQ(PixelOf(*image.FrameBitmap(f), 1, 0), RGB(255, 255, 255));
  TBitmap* rebuilt = image.FrameBitmap(f);
  changes = 0;
  image.SetFramePalette(f, green);
  EXPECT_EQ(image.FrameBitmap(f), rebuilt);
  EXPECT_EQ(changes, 0);
}

// Icons and metafiles become one frame whose uncovered pixels are transparent.
TEST_F(GIFPicture, IconAndMetafileKeepTheirTransparency) {
  {
    // A 16 x 16 icon: red left half, transparent right half.
    std::vector<uint32_t> colors(16 * 16);
    std::vector<uint8_t> mask(16 * 2, 0);
    for (int y = 0; y < 16; ++y) {
      mask[y * 2 + 1] = 0xFF;  // right 8 columns transparent
      for (int x = 0; x < 8; ++x) colors[y * 16 + x] = 0x00FF0000;
    }
    ICONINFO info{TRUE, 0, 0, CreateBitmap(16, 16, 1, 1, mask.data()), CreateBitmap(16, 16, 1, 32, colors.data())};
    TIcon icon;
    icon.SetHandle(CreateIconIndirect(&info));
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);
    TGIFImage image;
    image.Assign(&icon);
    ASSERT_EQ(image.Images().Count(), 1);
    TGIFSubImage* f = image.Images().Frames(0);
    ASSERT_TRUE(f->IsTransparent());
    const int t = f->GraphicControl()->TransparentColorIndex();
    EXPECT_NE(f->Data()[0], t);
    EXPECT_EQ(f->Data()[15], t);
    EXPECT_EQ(f->ColorMap().ColorAt(f->Data()[0]), (TGIFColor{255, 0, 0}));
  }
  {
    TMetafile metafile;
    metafile.SetWidth(10);
    metafile.SetHeight(10);
    {
      TMetafileCanvas canvas(&metafile, nullptr);
      // Two bars with a gap between them that nothing covers.
      canvas.Brush()->SetColor(clBlue);
      canvas.FillRect(RECT{0, 0, 4, 10});
      canvas.FillRect(RECT{8, 0, 12, 10});
    }
    TGIFImage image;
    image.Assign(&metafile);
    ASSERT_EQ(image.Images().Count(), 1);
    TGIFSubImage* f = image.Images().Frames(0);
    ASSERT_TRUE(f->IsTransparent());
    const int t = f->GraphicControl()->TransparentColorIndex();
    EXPECT_NE(f->Data()[0], t);
    EXPECT_EQ(f->Data()[f->Width() / 2], t);
  }
}

TEST_F(GIFPicture, CopyTakesFramesAndHandlersButNotSpeed) {
  TGIFImage source;
  BuildBusyPicture(source);
  source.PlaybackSpeed = 50;
  source.StillFrame = 2;
  int issues = 0;
  source.OnIssue = TGIFIssueEvent::Lambda([&](TObject*, int, const AnsiString&) { ++issues; });
  source.OnPlayEnd = TNotifyEvent::Lambda([](TObject*) {});
  TGIFImage copy;
  copy.Assign(&source);
  EXPECT_EQ(SaveToBytes(copy), SaveToBytes(source));
  EXPECT_EQ(copy.PlaybackSpeed, 100);
  EXPECT_EQ(copy.StillFrame, 2);
  EXPECT_TRUE(static_cast<bool>(copy.OnPlayEnd));
  EXPECT_FALSE(static_cast<bool>(copy.OnIssue));
  EXPECT_FALSE(static_cast<bool>(copy.OnProgress));
  // Extensions are the copy's own.
  EXPECT_NE(copy.Images().Frames(0)->GraphicControl(), source.Images().Frames(0)->GraphicControl());
  EXPECT_EQ(copy.Images().Frames(0)->GraphicControl()->SubImage(), copy.Images().Frames(0));
}

TEST_F(GIFPicture, CorpusSurvivesLoadSaveLoad) {
  int checked = 0;
  for (const auto& entry : std::filesystem::directory_iterator(MEVRA_GIF_CORPUS_DIR)) {
    const std::string bytes = ReadFileBytes(entry.path().string());
    SCOPED_TRACE(entry.path().string());
    TGIFImage first;
    try {
      LoadFromBytes(first, bytes);
    } catch (const Exception&) {
      continue;  // files that are meant to fail
    }
    if (first.Images().Count() == 0) continue;
    std::string saved;
    TGIFImage second;
    try {
      saved = SaveToBytes(first);
      LoadFromBytes(second, saved);
    } catch (const Exception& e) {
      ADD_FAILURE() << e.what();
      continue;
    }
    if (second.Images().Count() == 0) {
      // Frames of size 0 without extensions have nothing to write.
      for (int i = 0; i < first.Images().Count(); ++i) {
        EXPECT_TRUE(first.Images().Frames(i)->IsEmpty());
        EXPECT_EQ(first.Images().Frames(i)->Extensions().Count(), 0);
      }
      continue;
    }
    EXPECT_EQ(SaveToBytes(second), saved) << entry.path();
    ASSERT_EQ(second.Images().Count(), first.Images().Count()) << entry.path();
    for (int i = 0; i < first.Images().Count(); ++i) {
      TGIFSubImage* a = first.Images().Frames(i);
      TGIFSubImage* b = second.Images().Frames(i);
      EXPECT_EQ(std::vector<uint8_t>(a->Data(), a->Data() + a->DataSize()),
                std::vector<uint8_t>(b->Data(), b->Data() + b->DataSize()))
          << entry.path() << " frame " << i;
    }
    ++checked;
  }
  EXPECT_GT(checked, 5);
}

TEST_F(GIFPicture, ClipboardRoundTripOffersGIFAndBitmap) {
  testing_support::TestWindow owner(50, 50);
  TGIFImage image;
  BuildBusyPicture(image);
  ASSERT_TRUE(OpenClipboard(owner.Handle()));
  EmptyClipboard();
  UINT format = 0;
  HANDLE data = nullptr;
  HPALETTE palette = nullptr;
  image.SaveToClipboardFormat(format, data, palette);
  EXPECT_EQ(format, static_cast<UINT>(CF_BITMAP));
  SetClipboardData(format, data);
  CloseClipboard();

  EXPECT_TRUE(IsClipboardFormatAvailable(GIFClipboardFormat));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
  ASSERT_TRUE(OpenClipboard(owner.Handle()));
  TGIFImage pasted;
  pasted.LoadFromClipboardFormat(GIFClipboardFormat, nullptr, nullptr);
  TGIFImage fromBitmap;
  fromBitmap.LoadFromClipboardFormat(CF_BITMAP, nullptr, nullptr);
  EXPECT_THROW(pasted.LoadFromClipboardFormat(CF_TEXT, nullptr, nullptr), GIFException);
  CloseClipboard();
  EXPECT_EQ(SaveToBytes(pasted), SaveToBytes(image));
  EXPECT_EQ(fromBitmap.GetWidth(), 24);
  EXPECT_EQ(fromBitmap.Images().Count(), 1);
}

// A GIF block the clipboard refuses takes the bitmap made for it along:
// the caller gets neither, so nothing is left without an owner.
TEST_F(GIFPicture, ClipboardFailureLeavesNoBitmapBehind) {
  TGIFImage image;
  BuildBusyPicture(image);
  UINT format = 0;
  HANDLE data = nullptr;
  HPALETTE palette = nullptr;
  // The clipboard is not open: SetClipboardData refuses the block.
  try {
    image.SaveToClipboardFormat(format, data, palette);
    ADD_FAILURE() << "storing on a closed clipboard must fail";
  } catch (const GIFException& e) {
    EXPECT_STREQ(e.what(), "Failed to store GIF on clipboard");
  }
  EXPECT_EQ(format, 0u);
  EXPECT_EQ(data, nullptr);
  if (data) {
    EXPECT_EQ(GetObjectType(data), 0u) << "the bitmap handed out is still alive";
  }
  EXPECT_EQ(palette, nullptr);
}

TEST_F(GIFPicture, SavesWithEitherEncoding) {
  for (TGIFEncoding encoding : {TGIFEncoding::enLZW, TGIFEncoding::enRunLength}) {
    TGIFImage image;
    BuildBusyPicture(image);
    image.Encoding = encoding;
    TGIFImage again;
    LoadFromBytes(again, SaveToBytes(image));
    ASSERT_EQ(again.Images().Count(), 8);
    for (int i = 0; i < 8; ++i)
      EXPECT_TRUE(std::equal(again.Images().Frames(i)->Data(), again.Images().Frames(i)->Data() + 576,
                             image.Images().Frames(i)->Data()));
  }
}

TEST_F(GIFPicture, OptimizerCropsAndSortsWithoutChangingWhatIsShown) {
  TGIFImage image;
  BuildBusyPicture(image);
  // A fully transparent frame after a transparent one: its delay moves back.
  TGIFSubImage* empty = AddFrame(image, 24, 24, std::vector<uint8_t>(576, 0));
  auto* gce = new TGIFGraphicControlExtension(empty);
  empty->Extensions().Add(gce);
  gce->SetTransparent(true);
  gce->SetDelay(5);
  image.OptimizeFrames(1 | 8, rdNone, 8, dkNearest);
  EXPECT_EQ(image.Images().Count(), 8);
  EXPECT_EQ(image.Images().Frames(7)->GraphicControl()->Delay(), 15);
  EXPECT_LT(image.Images().Frames(0)->Width(), 24);
  EXPECT_TRUE(image.Header().ColorMap().IsSorted());
  const std::string saved = SaveToBytes(image);
  TGIFImage again;
  LoadFromBytes(again, saved);
  EXPECT_EQ(again.Images().Count(), 8);
}

// Progress comes for every frame a step changed, rising; colour reduction
// comes last and refuses a custom palette only after the other steps.
TEST_F(GIFPicture, OptimizerReportsProgressAndRefusesACustomPaletteLast) {
  TGIFImage image;
  BuildBusyPicture(image);
  std::vector<std::pair<TProgressStage, int>> reports;
  image.OnProgress = TProgressEvent::Lambda(
      [&](TObject*, TProgressStage stage, uint8_t percent, bool, const RECT&, const AnsiString& message) {
        EXPECT_EQ(message, "Optimizing...");
        reports.emplace_back(stage, percent);
      });
  // Sorting marks every table; cropping cuts every frame of the spinner.
  image.OptimizeFrames(1 | 8, rdNone, 8, dkNearest);
  ASSERT_GE(reports.size(), 2u + 8u);
  EXPECT_EQ(reports.front(), std::make_pair(psStarting, 0));
  EXPECT_EQ(reports.back(), std::make_pair(psEnding, 100));
  int last = 0;
  for (size_t i = 1; i + 1 < reports.size(); ++i) {
    EXPECT_EQ(reports[i].first, psRunning) << i;
    EXPECT_GT(reports[i].second, 0) << i;
    EXPECT_LE(reports[i].second, 100) << i;
    EXPECT_GE(reports[i].second, last) << i;
    last = reports[i].second;
  }
  // 8 frames, six steps: sorting is the first sixth, cropping the fourth.
  EXPECT_EQ(reports[1].second, 1 * 100 / 48);
  EXPECT_EQ(reports[reports.size() - 2].second, 32 * 100 / 48);

  TGIFImage again;
  BuildBusyPicture(again);
  reports.clear();
  again.OnProgress = image.OnProgress;
  try {
    again.OptimizeFrames(8 | 16, rdCustomPalette, 8, dkNearest);
    ADD_FAILURE() << "a custom palette cannot be reduced to";
  } catch (const GIFException& e) {
    EXPECT_STREQ(e.what(), "Invalid reduction method");
  }
  EXPECT_TRUE(again.Header().ColorMap().IsSorted()) << "the steps before the reduction have run";
  ASSERT_FALSE(reports.empty());
  EXPECT_EQ(reports.back(), std::make_pair(psEnding, 0));
  // With simplifying asked for, no reduction is attempted.
  EXPECT_NO_THROW(again.OptimizeFrames(4 | 16, rdCustomPalette, 8, dkNearest));
}

// Restoring after a frame is dropped only where its opaque successor covers
// the whole frame; otherwise part of it would stay on show.
TEST_F(GIFPicture, OptimizerDropsRestoringOnlyUnderACoveringSuccessor) {
  struct Frame {
    int Left, Top, Size;
    int Disposal;
    bool Transparent;
  };
  struct Case {
    const char* Name;
    Frame First, Second;
    int Disposal;  // of the first frame afterwards
  };
  const Case cases[] = {
      {"successor covers the frame", {1, 1, 2, 2, false}, {0, 0, 4, 1, false}, 0},
      {"same rectangle", {0, 0, 4, 3, false}, {0, 0, 4, 1, false}, 0},
      {"successor inside the frame", {0, 0, 4, 2, false}, {1, 1, 2, 1, false}, 2},
      {"successor beside the frame", {0, 0, 2, 3, false}, {2, 2, 2, 1, false}, 3},
      {"transparent successor", {1, 1, 2, 2, false}, {0, 0, 4, 1, true}, 2},
      {"left in place", {1, 1, 2, 1, false}, {0, 0, 4, 1, false}, 1},
  };
  for (const Case& c : cases) {
    TGIFImage image;
    image.Header().SetWidth(4);
    image.Header().SetHeight(4);
    for (int i = 0; i < 4; ++i) image.Header().ColorMap().AppendColor(TGIFColor{uint8_t(60 * i), 0, 0});
    for (const Frame& f : {c.First, c.Second}) {
      // Pixel 0 is transparent in a transparent frame, so it keeps its flag.
      std::vector<uint8_t> pixels(static_cast<size_t>(f.Size * f.Size), 1);
      pixels[0] = 0;
      TGIFSubImage* frame = AddFrame(image, f.Size, f.Size, pixels);
      frame->SetFrameBounds(f.Left, f.Top, f.Size, f.Size);
      auto* control = new TGIFGraphicControlExtension(frame);
      frame->Extensions().Add(control);
      control->SetDelay(10);
      control->SetDisposal(f.Disposal);
      control->SetTransparent(f.Transparent);
    }
    image.OptimizeFrames(4, rdNone, 8, dkNearest);
    ASSERT_EQ(image.Images().Count(), 2) << c.Name;
    ASSERT_NE(image.Images().Frames(0)->GraphicControl(), nullptr) << c.Name;
    EXPECT_EQ(image.Images().Frames(0)->GraphicControl()->Disposal(), c.Disposal) << c.Name;
  }
}

// Merging makes pixels that repeat the previous frame transparent. The
// index may be borrowed from another transparent frame on the global table,
// but not when this frame shows that colour: it would vanish.
TEST_F(GIFPicture, MergingKeepsTheFramesOwnColoursOpaque) {
  struct Case {
    const char* Name;
    std::vector<uint8_t> Pixels, Merged;
    int Transparent, TableSize;
  };
  const Case cases[] = {
      {"index borrowed", {1, 1}, {3, 1}, 3, 4},
      {"borrowed colour in use", {1, 3}, {4, 3}, 4, 5},
      {"nothing repeated", {2, 1}, {2, 1}, -1, 4},
  };
  for (const Case& c : cases) {
    TGIFImage image;
    image.Header().SetWidth(2);
    image.Header().SetHeight(1);
    for (int i = 0; i < 4; ++i) image.Header().ColorMap().AppendColor(TGIFColor{uint8_t(60 * i), 0, 0});
    // Blue (3) is the first frame's transparent colour.
    auto* control = new TGIFGraphicControlExtension(AddFrame(image, 2, 1, {1, 2}));
    image.Images().Frames(0)->Extensions().Add(control);
    control->SetDelay(10);
    control->SetDisposal(1);
    control->SetTransparent(true);
    control->SetTransparentColorIndex(3);
    AddFrame(image, 2, 1, c.Pixels);
    image.OptimizeFrames(2, rdNone, 8, dkNearest);
    TGIFSubImage* merged = image.Images().Frames(1);
    EXPECT_EQ(std::vector<uint8_t>(merged->Data(), merged->Data() + 2), c.Merged) << c.Name;
    EXPECT_EQ(merged->IsTransparent() ? merged->GraphicControl()->TransparentColorIndex() : -1, c.Transparent) << c.Name;
    EXPECT_EQ(image.Header().ColorMap().Count(), c.TableSize) << c.Name;
  }
}

}  // namespace
