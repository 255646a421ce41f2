// The picture layer: the registry of formats, TPicture's form data, files
// and assignment between graphic classes.
#include "platform/Icon.h"
#include "platform/Jpeg.h"
#include "platform/Metafile.h"
#include "platform/Picture.h"
#include "tests/platform/graphics/GraphicsTestUtil.h"

#include <gtest/gtest.h>

namespace {

using namespace graphics_test;

// A picture format of the tests' own: a solid colour stored as 4 bytes.
class TSwatch : public TGraphic {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  void Draw(TCanvas* canvas, const RECT& r) override {
    canvas->Brush()->SetColor(Color);
    canvas->FillRect(r);
  }
  bool GetEmpty() override { return false; }
  int GetWidth() override { return 4; }
  int GetHeight() override { return 4; }
  void SetWidth(int) override {}
  void SetHeight(int) override {}
  void LoadFromStream(TStream& stream) override { Color = stream.ReadDWord(); }
  void SaveToStream(TStream& stream) override { stream.WriteDWord(Color); }
  TColor Color = clRed;
};
const TClassInfo TSwatch::ClassInfo = {"TSwatch", &TGraphic::ClassInfo,
                                       [](TObject*) -> TObject* { return new TSwatch(); }};

void PictureData(TMemoryStream& data, const AnsiString& className, const std::vector<uint8_t>& payload) {
  data.WriteByte(static_cast<uint8_t>(className.size()));
  data.WriteString(className);
  if (!payload.empty()) data.WriteBuffer(payload.data(), static_cast<int64_t>(payload.size()));
  data.SetPosition(0);
}

TEST(Picture, FormDataNamingTBitmapLoadsThroughTheRegistry) {
  auto bitmap = FilledBitmap(3, 2, clTeal, pf24bit);
  TMemoryStream bitmapData;
  bitmap->WriteData(bitmapData);
  std::vector<uint8_t> payload(bitmapData.Memory(), bitmapData.Memory() + bitmapData.Size());
  TMemoryStream data;
  PictureData(data, "TBitmap", payload);

  TPicture picture;
  int changes = 0;
  picture.OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  picture.ReadData(data);
  ASSERT_NE(ObjectAs<TBitmap>(picture.Graphic()), nullptr);
  EXPECT_EQ(picture.Width(), 3);
  EXPECT_EQ(picture.Height(), 2);
  EXPECT_EQ(picture.Bitmap()->Canvas()->Pixels(2, 1), clTeal);
  EXPECT_EQ(data.Position(), data.Size());
  EXPECT_GT(changes, 0);

  // Written back it is the same bytes.
  TMemoryStream written;
  picture.WriteData(written);
  EXPECT_EQ(written.DataString(), data.DataString());
}

TEST(Picture, UnknownClassNameRaisesAndKeepsThePicture) {
  TPicture picture;
  picture.Bitmap()->SetSize(5, 5);
  TMemoryStream data;
  PictureData(data, "TNoSuchImage", {1, 2, 3});
  try {
    picture.ReadData(data);
    FAIL() << "no error";
  } catch (const EUnknownGraphicClass& e) {
    EXPECT_STREQ(e.what(), "Unknown picture class \"TNoSuchImage\"");
  }
  EXPECT_EQ(picture.Width(), 5);

  // A class that exists but is not a picture format is just as unknown.
  TMemoryStream canvasData;
  PictureData(canvasData, "TCanvas", {});
  EXPECT_THROW(picture.ReadData(canvasData), EUnknownGraphicClass);
  // Names that are not text are not echoed.
  TMemoryStream binary;
  PictureData(binary, AnsiString("\x01\xFF", 2), {});
  try {
    picture.ReadData(binary);
    FAIL() << "no error";
  } catch (const EUnknownGraphicClass& e) {
    EXPECT_STREQ(e.what(), "Unknown picture class (unreadable name)");
  }
  // A name longer than the data.
  TMemoryStream cut;
  cut.WriteByte(40);
  cut.WriteString("TBit");
  cut.SetPosition(0);
  EXPECT_THROW(picture.ReadData(cut), EReadError);
}

TEST(Picture, EmptyPictureStoresAnEmptyName) {
  TPicture picture;
  TMemoryStream data;
  picture.WriteData(data);
  EXPECT_EQ(data.Size(), 1);
  picture.Bitmap()->SetSize(2, 2);
  data.SetPosition(0);
  picture.ReadData(data);
  EXPECT_EQ(picture.Graphic(), nullptr);
}

TEST(Picture, RegistryRegistersAndUnregistersFormats) {
  EXPECT_EQ(TPicture::FindGraphicClassByExtension("bmp"), &TBitmap::ClassInfo);
  EXPECT_EQ(TPicture::FindGraphicClassByExtension(".JPG"), &TJPEGImage::ClassInfo);
  EXPECT_EQ(TPicture::FindGraphicClassByExtension("ico"), &TIcon::ClassInfo);
  EXPECT_EQ(TPicture::FindGraphicClassByExtension("emf"), &TMetafile::ClassInfo);
  EXPECT_EQ(TPicture::FindGraphicClassByExtension("swt"), nullptr);
  EXPECT_EQ(TPicture::GraphicExtension(&TJPEGImage::ClassInfo), "jpg");
  EXPECT_EQ(TPicture::GraphicExtension(&TSwatch::ClassInfo), "");

  UINT format = RegisterClipboardFormatA("Mevra Swatch");
  TPicture::RegisterFileFormat("swt", "Swatches", &TSwatch::ClassInfo);
  TPicture::RegisterClipboardFormat(format, &TSwatch::ClassInfo);
  EXPECT_EQ(TPicture::FindGraphicClassByExtension("SWT"), &TSwatch::ClassInfo);
  EXPECT_EQ(TPicture::FindGraphicClassByName("TSwatch"), &TSwatch::ClassInfo);
  EXPECT_TRUE(TPicture::SupportsClipboardFormat(format));
  EXPECT_NE(TPicture::GraphicFilter(nullptr).find("Swatches (*.swt)|*.swt"), AnsiString::npos);
  EXPECT_EQ(TPicture::GraphicFilter(&TBitmap::ClassInfo), "All (*.bmp)|*.bmp|Bitmaps (*.bmp)|*.bmp");

  TMemoryStream data;
  PictureData(data, "TSwatch", {0x56, 0x34, 0x12, 0x00});
  TPicture picture;
  picture.ReadData(data);
  ASSERT_NE(ObjectAs<TSwatch>(picture.Graphic()), nullptr);
  EXPECT_EQ(static_cast<TSwatch*>(picture.Graphic())->Color, 0x123456u);

  TPicture::UnregisterGraphicClass(&TSwatch::ClassInfo);
  EXPECT_EQ(TPicture::FindGraphicClassByExtension("swt"), nullptr);
  EXPECT_FALSE(TPicture::SupportsClipboardFormat(format));
  data.SetPosition(0);
  EXPECT_THROW(picture.ReadData(data), EUnknownGraphicClass);
}

TEST(Picture, FilesLoadByExtension) {
  char folder[MAX_PATH];
  GetTempPathA(MAX_PATH, folder);
  AnsiString path = AnsiString(folder) + "mevra-picture-test.bmp";
  auto bitmap = FilledBitmap(6, 4, clPurple, pf24bit);
  bitmap->SaveToFile(path);
  TPicture picture;
  picture.LoadFromFile(path);
  EXPECT_EQ(picture.Width(), 6);
  EXPECT_EQ(picture.Bitmap()->Canvas()->Pixels(5, 3), clPurple);
  DeleteFileA(path.c_str());
  try {
    picture.LoadFromFile("c:\\nowhere\\picture.xyz");
    FAIL() << "no error";
  } catch (const EInvalidGraphic& e) {
    EXPECT_STREQ(e.what(), "Unknown picture file extension (.xyz)");
  }
  EXPECT_THROW(picture.LoadFromFile("c:\\nowhere\\missing.bmp"), EStreamError);
}

TEST(Picture, AssignCopiesAndConvertsGraphics) {
  TPicture a, b;
  a.Bitmap()->Assign(FilledBitmap(2, 2, clGreen).get());
  b.Assign(&a);
  ASSERT_NE(b.Graphic(), nullptr);
  EXPECT_NE(b.Graphic(), a.Graphic());
  EXPECT_EQ(b.Bitmap()->Canvas()->Pixels(1, 1), clGreen);
  EXPECT_TRUE(b.Graphic()->Equals(a.Graphic()));

  // A graphic of another class converts into a bitmap by drawing itself.
  TSwatch swatch;
  swatch.Color = clNavy;
  TBitmap bitmap;
  bitmap.Assign(&swatch);
  EXPECT_EQ(bitmap.Width(), 4);
  EXPECT_EQ(bitmap.Canvas()->Pixels(3, 3), clNavy);
  // And a bitmap cannot become a swatch.
  EXPECT_THROW(swatch.Assign(&bitmap), EConvertError);

  b.Assign(nullptr);
  EXPECT_EQ(b.Graphic(), nullptr);
  // Asking for a bitmap of a picture that holds something else replaces it.
  TPicture c;
  c.SetGraphic(&swatch);
  EXPECT_NE(ObjectAs<TSwatch>(c.Graphic()), nullptr);
  EXPECT_TRUE(c.Bitmap()->Empty());
}

}  // namespace
