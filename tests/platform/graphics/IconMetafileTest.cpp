// Icons and metafiles: made from handles, stored, read back and drawn.
#include "platform/Icon.h"
#include "platform/Metafile.h"
#include "tests/platform/graphics/GraphicsTestUtil.h"

#include <gtest/gtest.h>

namespace {

using namespace graphics_test;

// A 16 x 16 icon: a red square on a transparent ground.
HICON MakeIcon() {
  auto color = FilledBitmap(16, 16, clBlack, pf32bit);
  color->Canvas()->Brush()->SetColor(clRed);
  color->Canvas()->FillRect(RECT{4, 4, 12, 12});
  auto mask = FilledBitmap(16, 16, clWhite, pf1bit);  // white: transparent
  mask->Canvas()->Brush()->SetColor(clBlack);
  mask->Canvas()->FillRect(RECT{4, 4, 12, 12});
  color->FreeContext();
  mask->FreeContext();
  ICONINFO info{TRUE, 0, 0, mask->Handle(), color->Handle()};
  return CreateIconIndirect(&info);
}

TEST(Icon, SavedAndReadBackDrawsTheSameShape) {
  TIcon icon;
  icon.SetHandle(MakeIcon());
  EXPECT_EQ(icon.Width(), 16);
  EXPECT_EQ(icon.Height(), 16);
  EXPECT_TRUE(icon.Transparent());
  TMemoryStream file;
  icon.SaveToStream(file);
  file.SetPosition(0);
  TIcon loaded;
  loaded.LoadFromStream(file);
  EXPECT_EQ(loaded.Width(), 16);
  auto target = FilledBitmap(16, 16, clGreen);
  target->Canvas()->Draw(0, 0, &loaded);
  EXPECT_EQ(target->Canvas()->Pixels(8, 8), clRed);
  EXPECT_EQ(target->Canvas()->Pixels(1, 1), clGreen);

  // Saving a loaded icon writes the file it came from.
  TMemoryStream again;
  loaded.SaveToStream(again);
  EXPECT_EQ(again.DataString(), file.DataString());
  EXPECT_THROW(loaded.SetWidth(32), EInvalidGraphicOperation);
}

TEST(Icon, HostileFilesRaise) {
  TIcon icon;
  TMemoryStream good;
  icon.SetHandle(MakeIcon());
  icon.SaveToStream(good);
  std::string bytes = good.DataString();
  struct Case {
    const char* Name;
    size_t At;
    uint8_t Value;
    size_t Length;
  } cases[] = {
      {"too short", 0, 0, 5},
      {"not an icon type", 2, 2, 0},
      {"no images", 4, 0, 0},
      {"directory longer than file", 4, 200, 0},
      {"image offset past the end", 21, 0x7F, 0},
      {"image size past the end", 17, 0x7F, 0},
      {"image cut short", 0, 0, 100},
      // The image's own header (from byte 22) against the bytes the directory gives it.
      {"image header size beyond the image", 23, 0x7F, 0},
      {"image header too small", 22, 12, 0},
      {"image width huge", 29, 0x7F, 0},
      {"image width negative", 29, 0xFF, 0},
      {"image height huge", 33, 0x7F, 0},
      {"image height zero", 30, 0, 0},
      {"image bit count 7", 36, 7, 0},
      {"image bytes fewer than its pixels", 15, 0, 0},
  };
  for (const Case& c : cases) {
    std::string spoiled = bytes;
    if (c.Length)
      spoiled.resize(c.Length);
    else
      spoiled[c.At] = static_cast<char>(c.Value);
    TStringStream stream(spoiled);
    TIcon target;
    EXPECT_THROW(target.LoadFromStream(stream), EInvalidGraphic) << c.Name;
  }
}

TEST(Metafile, RecordedDrawingPlaysBackScaled) {
  TMetafile metafile;
  {
    TMetafileCanvas canvas(&metafile, nullptr);
    canvas.Brush()->SetColor(clBlue);
    canvas.Pen()->SetColor(clBlue);
    canvas.Rectangle(0, 0, 50, 50);
  }
  ASSERT_FALSE(metafile.Empty());
  EXPECT_GT(metafile.Width(), 0);
  auto target = FilledBitmap(40, 40, clWhite);
  target->Canvas()->StretchDraw(RECT{10, 10, 30, 30}, &metafile);
  EXPECT_EQ(target->Canvas()->Pixels(20, 20), clBlue);
  EXPECT_EQ(target->Canvas()->Pixels(5, 5), clWhite);

  TMemoryStream file;
  metafile.SaveToStream(file);
  file.SetPosition(0);
  TMetafile loaded;
  loaded.LoadFromStream(file);
  EXPECT_EQ(loaded.Width(), metafile.Width());

  // Through the clipboard forms.
  UINT format = 0;
  HANDLE data = nullptr;
  HPALETTE palette = nullptr;
  metafile.SaveToClipboardFormat(format, data, palette);
  EXPECT_EQ(format, static_cast<UINT>(CF_ENHMETAFILE));
  TMetafile pasted;
  pasted.LoadFromClipboardFormat(format, data, palette);
  DeleteEnhMetaFile(static_cast<HENHMETAFILE>(data));
  EXPECT_EQ(pasted.Width(), metafile.Width());
  EXPECT_THROW(pasted.LoadFromClipboardFormat(CF_TEXT, data, nullptr), EInvalidGraphic);

  TStringStream garbage(std::string(200, 'x'));
  EXPECT_THROW(loaded.LoadFromStream(garbage), EInvalidGraphic);
  EXPECT_FALSE(loaded.Empty());
}

}  // namespace
