// GDI+ bound at run time, GDI+ images and the PNG picture, the desktop window
// manager binding, and the tool that writes the about box's emblem.
#include "foundation/FoundationUnits.h"
#include "platform/Exceptions.h"
#include "platform/FileStream.h"
#include "platform/SysUtils.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>

namespace {

using testing_support::SiblingProgram;

// The GDI+ units run for the whole program, as they do in the client: GDI+
// starts with the first, and is shut down when the last one ends.
class GdiPlusUnits : public ::testing::Environment {
public:
  void SetUp() override { InitializeUnits({dxGDIPlusAPIUnit, dxGDIPlusClassesUnit, cxClassesUnit, cxDWMApiUnit}); }
  void TearDown() override { FinalizeUnits(); }
};
const auto* const Units = ::testing::AddGlobalTestEnvironment(new GdiPlusUnits);

AnsiString ReadFileBytes(const AnsiString& path) {
  TFileStream file(path, fmOpenRead);
  AnsiString bytes(static_cast<size_t>(file.Size()), '\0');
  file.ReadBuffer(bytes.data(), file.Size());
  return bytes;
}

AnsiString Bytes(TMemoryStream& stream) {
  return AnsiString(reinterpret_cast<const char*>(stream.Memory()), static_cast<size_t>(stream.Size()));
}

std::unique_ptr<TdxPNGImage> LoadPng(const AnsiString& bytes) {
  auto png = std::make_unique<TdxPNGImage>();
  TStringStream stream(bytes);
  png->LoadFromStream(stream);
  return png;
}

// A BMP file of a 2 x 1 bitmap in the given format; pixel 0 carries the
// alpha byte `alpha` in 32-bit form.
AnsiString BmpBytes(TPixelFormat format, uint8_t alpha) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(format);
  bitmap.SetSize(2, 1);
  auto* row = static_cast<uint8_t*>(bitmap.ScanLine(0));
  const int bytes = format == TPixelFormat::pf32bit ? 4 : 3;
  const uint8_t pixel0[4] = {0x10, 0x20, 0x30, alpha};
  const uint8_t pixel1[4] = {0x40, 0x50, 0x60, 0xFF};
  std::memcpy(row, pixel0, bytes);
  std::memcpy(row + bytes, pixel1, bytes);
  TStringStream stream("");
  bitmap.SaveToStream(stream);
  return Bytes(stream);
}

TEST(GdiPlusBinding, IsAvailableAndStartedWithTwoTokens) {
  ASSERT_TRUE(IsGdiPlusAvailable());
  for (int i = 0; i < gpeCount; ++i) EXPECT_NE(GdiPlusEntries[i], nullptr) << GdiPlusEntryNames[i];
  EXPECT_NE(GdiPlusStartupToken(), 0u);
  // Shut-down hands each token to its own function: they must differ.
  EXPECT_NE(GdiPlusNotificationToken(), GdiPlusStartupToken());
  EXPECT_EQ(GPImageClass, &TdxGPImage::ClassInfo);
  EXPECT_EQ(TPicture::FindGraphicClassByExtension("png"), &TdxPNGImage::ClassInfo);
  EXPECT_EQ(TPicture::FindGraphicClassByName("TdxPNGImage"), &TdxPNGImage::ClassInfo);
  EXPECT_EQ(FindStreamableClass("TdxPNGImage"), &TdxPNGImage::ClassInfo);  // forms may name it
}

TEST(GdiPlusBinding, FindsEncodersByMimeTypeWithoutRegardToCase) {
  CLSID lower{}, upper{};
  ASSERT_EQ(FindEncoderClsid("image/png", lower), 0);
  ASSERT_EQ(FindEncoderClsid("IMAGE/PNG", upper), 0);
  EXPECT_TRUE(IsEqualGUID(lower, upper));
  EXPECT_FALSE(IsEqualGUID(lower, CLSID{}));
  EXPECT_TRUE(IsEqualGUID(PngEncoderClsid(), lower));  // cached at registration

  CLSID untouched;
  std::memset(&untouched, 0xAB, sizeof untouched);
  const CLSID before = untouched;
  EXPECT_EQ(FindEncoderClsid("image/x-no-such-type", untouched), 1);
  EXPECT_TRUE(IsEqualGUID(untouched, before));
}

TEST(GdiPlusBinding, FailedStatusRaisesTheGdiPlusError) {
  CheckGdiPlusStatus(GpOk);
  try {
    CheckGdiPlusStatus(2);
    FAIL() << "no exception";
  } catch (const EAssertionFailed& e) {
    EXPECT_EQ(e.Message().rfind("Invalid operation in GDI+ (dxGDIPlusAPI, line ", 0), 0u) << e.Message();
    EXPECT_EQ(e.Unit(), "dxGDIPlusAPI");
  }
}

TEST(UnitsLoader, RunsInitializationsAtOnceAndFinalizationsLastFirst) {
  static std::vector<std::string> log;
  log.clear();
  TdxUnitsLoader loader;
  EXPECT_FALSE(IsPlainLibrary());
  loader.RegisterUnitProcs([] { log.push_back("init a"); }, [] { log.push_back("done a"); });
  loader.RegisterUnitProcs(nullptr, [] { log.push_back("done b"); });
  auto doneC = [] { log.push_back("done c"); };
  loader.RegisterUnitProcs([] { log.push_back("init c"); }, doneC);
  loader.ReleaseUnitProc(doneC);
  loader.ReleaseUnitProc(doneC);  // no longer listed: not run again
  EXPECT_EQ(log, (std::vector<std::string>{"init a", "init c", "done c"}));
  loader.RunFinalizers();
  EXPECT_EQ(log, (std::vector<std::string>{"init a", "init c", "done c", "done b", "done a"}));
  EXPECT_EQ(loader.FinalizerCount(), 0);
}

TEST(PngPicture, TheAboutBoxEmblemLoadsAs80x80AndRoundTrips) {
  const AnsiString file = ReadFileBytes(MEVRA_LOGO_PNG);
  auto png = LoadPng(file);
  EXPECT_EQ(png->Width(), 80);
  EXPECT_EQ(png->Height(), 80);
  EXPECT_FALSE(png->Empty());
  EXPECT_TRUE(png->Transparent());

  TStringStream saved("");
  png->SaveToStream(saved);
  EXPECT_EQ(Bytes(saved).substr(0, 8), AnsiString("\x89PNG\r\n\x1A\n", 8));
  auto again = LoadPng(Bytes(saved));
  EXPECT_TRUE(again->SameImageAs(png.get()));

  // The corners are transparent, the centre of the disc is opaque.
  std::vector<uint32_t> pixels;
  png->ReadPixels32(pixels);
  ASSERT_EQ(pixels.size(), 6400u);
  EXPECT_EQ(pixels[0] >> 24, 0u);
  EXPECT_EQ(pixels[40 * 80 + 8] >> 24, 0xFFu);

  // A picture differs from one with a pixel changed.
  auto copy = std::make_unique<TdxPNGImage>();
  TBitmap bitmap;
  bitmap.Assign(png.get());
  EXPECT_EQ(bitmap.Width(), 80);
  EXPECT_EQ(bitmap.PixelFormat(), TPixelFormat::pf32bit);
  static_cast<uint32_t*>(bitmap.ScanLine(40))[8] ^= 0x00FFFFFF;
  copy->Assign(&bitmap);
  EXPECT_FALSE(copy->SameImageAs(png.get()));
}

TEST(PngPicture, DrawsWithAlphaThroughTheCanvasAndTheImage) {
  auto png = LoadPng(ReadFileBytes(MEVRA_LOGO_PNG));
  const struct {
    const char* Name;
    void (*Draw)(TdxPNGImage* png, TBitmap& target, const RECT& dest);
  } ways[] = {
      {"picture through the canvas",
       [](TdxPNGImage* p, TBitmap& t, const RECT& d) { t.Canvas()->StretchDraw(d, p); }},
      {"image on the device context",
       [](TdxPNGImage* p, TBitmap& t, const RECT& d) { p->Image()->DrawOnDC(t.Canvas()->Handle(), d); }},
  };
  for (const auto& way : ways) {
    TBitmap target;
    target.SetPixelFormat(TPixelFormat::pf32bit);
    target.SetSize(100, 100);
    target.Canvas()->Brush()->SetColor(clWhite);
    target.Canvas()->FillRect(RECT{0, 0, 100, 100});
    way.Draw(png.get(), target, RECT{10, 10, 90, 90});
    target.FreeContext();
    auto at = [&](int x, int y) { return static_cast<uint32_t*>(target.ScanLine(y))[x] & 0xFFFFFF; };
    EXPECT_EQ(at(11, 11), 0xFFFFFFu) << way.Name;  // transparent corner of the emblem: the white shows
    const uint32_t disc = at(18, 50);               // the blue disc left of the letter
    EXPECT_GT(disc & 0xFF, (disc >> 16) & 0xFF) << way.Name << " " << std::hex << disc;
    EXPECT_EQ(at(50, 95), 0xFFFFFFu) << way.Name;  // outside the destination
  }
}

TEST(PngPicture, PictureFormDataNamesTheClass) {
  TPicture picture;
  picture.LoadFromFile(MEVRA_LOGO_PNG);
  ASSERT_NE(ObjectAs<TdxPNGImage>(picture.Graphic()), nullptr);
  TMemoryStream data;
  picture.WriteData(data);
  data.SetPosition(0);
  TPicture loaded;
  loaded.ReadData(data);
  auto* png = ObjectAs<TdxPNGImage>(loaded.Graphic());
  ASSERT_NE(png, nullptr);
  EXPECT_EQ(png->Width(), 80);
}

TEST(PngPicture, EmptyAndTooShortStreamsGiveAnEmptyPicture) {
  // Regression: 1 to 13 bytes used to leave an image object without a GDI+
  // image, whose size queries then failed.
  for (size_t size : {0u, 1u, 8u, 13u}) {
    auto png = LoadPng(AnsiString("\x89PNG\r\n\x1A\nabcdef", 14).substr(0, size));
    EXPECT_TRUE(png->Empty()) << size;
    EXPECT_EQ(png->Width(), 0) << size;
    EXPECT_EQ(png->Height(), 0) << size;
    TStringStream saved("");
    png->SaveToStream(saved);
    EXPECT_EQ(saved.Size(), 0) << size;
  }
}

TEST(PngPicture, UndecodableDataRaisesAndKeepsThePreviousImage) {
  auto png = LoadPng(ReadFileBytes(MEVRA_LOGO_PNG));
  TStringStream garbage(AnsiString(64, '\x5A'));
  EXPECT_THROW(png->LoadFromStream(garbage), EAssertionFailed);
  EXPECT_EQ(png->Width(), 80);
  // A truncated PNG is refused too.
  TStringStream truncated(ReadFileBytes(MEVRA_LOGO_PNG).substr(0, 40));
  EXPECT_ANY_THROW(png->LoadFromStream(truncated));
  EXPECT_EQ(png->Width(), 80);
}

TEST(PngPicture, BitmapStreamsAreHeldAsPixels) {
  const struct { const char* Name; TPixelFormat Format; uint8_t Alpha; uint32_t ExpectedAlpha; } cases[] = {
      {"24-bit becomes opaque", TPixelFormat::pf24bit, 0x00, 0xFF},
      {"32-bit keeps its alpha", TPixelFormat::pf32bit, 0x80, 0x80},
  };
  for (const auto& c : cases) {
    TStringStream stream(BmpBytes(c.Format, c.Alpha));
    std::unique_ptr<TdxGPImage> image(CreateGPImage());
    image->ConstructFromStream(stream);
    ASSERT_TRUE(image->Pixels()) << c.Name;
    EXPECT_EQ(image->Width(), 2) << c.Name;
    EXPECT_EQ((*image->Pixels())[0] >> 24, c.ExpectedAlpha) << c.Name;
    EXPECT_EQ((*image->Pixels())[0] & 0xFFFFFF, 0x302010u) << c.Name;
  }
}

TEST(PngPicture, AssignmentsBetweenPicturesAndBitmaps) {
  auto png = LoadPng(ReadFileBytes(MEVRA_LOGO_PNG));
  TdxPNGImage copy;
  copy.Assign(png.get());
  EXPECT_TRUE(copy.SameImageAs(png.get()));
  // An empty picture assigned over a full one empties it.
  TdxPNGImage empty;
  copy.Assign(&empty);
  EXPECT_TRUE(copy.Empty());
  TBitmap bitmap;
  bitmap.SetSize(3, 3);
  bitmap.Assign(&empty);
  EXPECT_TRUE(bitmap.Empty());
  std::unique_ptr<TBitmap> made(empty.MakeBitmap());
  EXPECT_TRUE(made->Empty());
  // Another picture class is refused with the assignment error.
  TdxPNGImage target;
  TPicture holder;
  EXPECT_THROW(target.Assign(&holder), EConvertError);
}

TEST(PngPicture, PaintScaledNeverSamplesPastTheLastSourceColumn) {
  const struct { RECT Dest; RECT Source; bool Draws; float W, H; } cases[] = {
      {{0, 0, 20, 20}, {0, 0, 10, 10}, true, 9, 9},
      {{0, 0, 5, 5}, {0, 0, 10, 10}, true, 10, 10},
      {{0, 0, 20, 5}, {0, 0, 10, 10}, true, 9, 10},
      {{0, 0, 20, 20}, {0, 0, 1, 1}, true, 1, 1},
      {{0, 0, 0, 20}, {0, 0, 10, 10}, false, 0, 0},
      {{0, 0, 20, 20}, {0, 0, 10, 0}, false, 0, 0},
  };
  for (const auto& c : cases) {
    float w = 0, h = 0;
    EXPECT_EQ(TdxPNGImage::ScaledSourceExtent(c.Dest, c.Source, w, h), c.Draws);
    if (c.Draws) {
      EXPECT_EQ(w, c.W);
      EXPECT_EQ(h, c.H);
    }
  }
}

TEST(GPImage, BlendWithMixesEveryByte) {
  auto pixelsA = std::make_shared<std::vector<uint32_t>>(std::vector<uint32_t>{0xFF000000, 0x80102030});
  auto pixelsB = std::make_shared<std::vector<uint32_t>>(std::vector<uint32_t>{0xFFFFFFFF, 0x00000000});
  std::unique_ptr<TdxGPImage> a(CreateGPImage()), b(CreateGPImage());
  a->ConstructFromPixels(2, 1, pixelsA, true);
  b->ConstructFromPixels(2, 1, pixelsB, true);
  const struct { uint8_t Alpha; uint32_t P0, P1; } cases[] = {
      {0, 0xFF000000, 0x80102030},
      {255, 0xFFFFFFFF, 0x00000000},
      {51, 0xFF333333, 0x660D1A26},  // 0.2: 255 * 0.2 = 51; 0x80 * 0.8 = 102.4
  };
  for (const auto& c : cases) {
    std::unique_ptr<TdxGPImage> mixed(a->BlendWith(b.get(), c.Alpha));
    ASSERT_NE(mixed, nullptr);
    EXPECT_EQ((*mixed->Pixels())[0], c.P0) << int(c.Alpha);
    EXPECT_EQ((*mixed->Pixels())[1], c.P1) << int(c.Alpha);
  }
  // A smaller other image, or one without pixels, is never read past its end.
  std::unique_ptr<TdxGPImage> small(CreateGPImage());
  small->ConstructFromPixels(1, 1, std::make_shared<std::vector<uint32_t>>(1, 0u), true);
  EXPECT_EQ(std::unique_ptr<TdxGPImage>(a->BlendWith(small.get(), 9)), nullptr);
  auto png = LoadPng(ReadFileBytes(MEVRA_LOGO_PNG));
  EXPECT_EQ(std::unique_ptr<TdxGPImage>(png->Image()->BlendWith(a.get(), 9)), nullptr);
  // Duplicates from pixels share them.
  std::unique_ptr<TdxGPImage> twin(a->Duplicate());
  EXPECT_EQ(twin->Pixels(), a->Pixels());
  std::unique_ptr<TdxGPImage> clone(png->Image()->Duplicate());
  EXPECT_EQ(clone->Width(), 80);
}

TEST(GPImage, WithoutPixelsRaisesInsteadOfReadingPastTheArray) {
  std::unique_ptr<TdxGPImage> image(CreateGPImage());
  EXPECT_THROW(image->ConstructFromPixels(4, 4, std::make_shared<std::vector<uint32_t>>(3, 0u), false),
               EInvalidGraphic);
  EXPECT_FALSE(image->HasImage());
  EXPECT_EQ(image->Width(), 0);
}

TEST(DesktopWindowManager, IsBoundOnWindows6AndAnswersTheCompositionState) {
  EXPECT_EQ(DwmAvailable(), Win32MajorVersion >= 6);
  // The answer is the system's (off under Wine); it is asked afresh each time.
  EXPECT_EQ(DesktopCompositionActive(), DesktopCompositionActive());
}

TEST(LogoTool, ReproducesTheCommittedEmblem) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string output = std::string(temp) + "mevra-logo-check.png";
  const std::string command = "\"" + SiblingProgram("mevra_logo_png.exe") + "\" \"" + output + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  std::string line = command;
  ASSERT_TRUE(CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
      << command;
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  ASSERT_EQ(code, 0u);
  EXPECT_EQ(ReadFileBytes(output), ReadFileBytes(MEVRA_LOGO_PNG));
  DeleteFileA(output.c_str());
}

}  // namespace
