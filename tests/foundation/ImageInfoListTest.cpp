// The library's image list: cells and image-info items, insertion order,
// stored images with alpha, streaming (packed and plain item bitmaps, the
// older native-list form, an inherited form equal to its ancestor) and the
// looks its drawing chooses. Built with the graphics tests, whose
// environment starts the graphics unit.
#include "foundation/Graphics.h"
#include "foundation/ImageInfoList.h"
#include "platform/Filer.h"
#include "platform/FormResource.h"
#include "platform/Stream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class TImageForm : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TComponent::TComponent;
};
const TClassInfo TImageForm::ClassInfo{"TImageForm", &TComponent::ClassInfo, [](TObject* owner) -> TObject* {
                                         return new TImageForm(static_cast<TComponent*>(owner));
                                       }};

// Opaque colours of the cells, one per cell.
const TRGBQuad CellColors[] = {MakePixel(220, 30, 30, 255), MakePixel(30, 200, 40, 255), MakePixel(20, 40, 210, 255),
                               MakePixel(230, 220, 20, 255), MakePixel(120, 20, 160, 255), MakePixel(20, 180, 190, 255)};

// A 32-bit bitmap of whole 16 x 16 cells, each filled with the next colour
// row by row, left to right; the last pixel of each cell is half transparent.
std::unique_ptr<TcxBitmap> CellStrip(int columns, int rows, int firstColor = 0) {
  auto b = std::make_unique<TcxBitmap>(columns * 16, rows * 16);
  const int w = columns * 16;
  TRGBColors pixels(static_cast<size_t>(w) * rows * 16);
  for (int y = 0; y < rows * 16; ++y)
    for (int x = 0; x < w; ++x) {
      const int cell = firstColor + (y / 16) * columns + x / 16;
      TRGBQuad p = CellColors[cell % 6];
      if (x % 16 == 15 && y % 16 == 15) p = MakePixel(PixelRed(p) / 2, PixelGreen(p) / 2, PixelBlue(p) / 2, 128);
      pixels[static_cast<size_t>(y) * w + x] = p;
    }
  StoreBitmapColors(b.get(), pixels, true);
  return b;
}

std::unique_ptr<TcxBitmap> Plain(int w, int h, TRGBQuad color) {
  auto b = std::make_unique<TcxBitmap>(w, h);
  TRGBColors pixels(static_cast<size_t>(w) * h, color);
  StoreBitmapColors(b.get(), pixels, true);
  return b;
}

TRGBQuad PixelOf(TBitmap* b, int x, int y) {
  TRGBColors pixels;
  ReadBitmapPixels(b, true, pixels);
  return pixels[static_cast<size_t>(y) * b->Width() + x];
}

// The stored image of `index` as the list hands it out.
TRGBColors ImageOf(TcxImageList& list, int index) {
  TcxBitmap image(1, 1);
  list.GetImage(index, &image, nullptr);
  TRGBColors pixels;
  ReadBitmapPixels(&image, true, pixels);
  return pixels;
}

// The native list's image of `index`.
TRGBQuad NativePixel(TcxImageList& list, int index, int x, int y) {
  TBitmap image;
  image.SetPixelFormat(pf32bit);
  ExtractImageAndMask(list.Handle(), index, nullptr, &image);
  return PixelOf(&image, x, y);
}

bool Holds(const std::string& bytes, const char* text) { return bytes.find(text) != std::string::npos; }

TEST(ImageInfoList, ABitmapAddsOneItemPerWholeCell) {
  struct Case {
    const char* Name;
    int Width, Height;
    int Images, Items;
    int ItemWidth, ItemHeight;
  };
  const Case cases[] = {
      {"48 x 16", 48, 16, 3, 3, 16, 16}, {"20 x 16", 20, 16, 1, 1, 20, 16}, {"16 x 16", 16, 16, 1, 1, 16, 16},
      {"16 x 24", 16, 24, 1, 1, 16, 24},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TcxImageList list(nullptr);
    auto strip = CellStrip((c.Width + 15) / 16, (c.Height + 15) / 16);
    TcxBitmap bitmap(c.Width, c.Height);
    bitmap.CopyBitmap(strip.get());
    int changes = 0;
    list.OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
    EXPECT_EQ(list.AddBitmapPair(&bitmap, nullptr), 0);
    EXPECT_EQ(changes, 1) << "one change report per operation";
    EXPECT_EQ(list.Count(), c.Images);
    ASSERT_EQ(list.ImageInfo()->Count(), c.Items);
    for (int i = 0; i < c.Items; ++i) {
      TcxCustomBitmap* image = list.ImageInfo()->Item(i)->Image();
      EXPECT_EQ(image->Width(), c.ItemWidth);
      EXPECT_EQ(image->Height(), c.ItemHeight);
      EXPECT_EQ(PixelOf(image, 0, 0), CellColors[i]) << "cell " << i;
      EXPECT_EQ(list.ImageInfo()->Item(i)->MaskColor(), clNone);
    }
  }
}

TEST(ImageInfoList, InsertedImagesTakeTheirPlaceInOrder) {
  TcxImageList list(nullptr);
  auto first = CellStrip(2, 1, 0);  // red, green
  list.AddBitmapPair(first.get(), nullptr);
  auto inserted = CellStrip(2, 1, 2);  // blue, yellow
  list.InsertImage(0, inserted.get(), nullptr);
  ASSERT_EQ(list.Count(), 4);
  ASSERT_EQ(list.ImageInfo()->Count(), 4);
  const int expected[] = {2, 3, 0, 1};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(NativePixel(list, i, 3, 3) & 0x00FFFFFF, CellColors[expected[i]] & 0x00FFFFFF);
    EXPECT_EQ(PixelOf(list.ImageInfo()->Item(i)->Image(), 3, 3), CellColors[expected[i]]);
  }
  // Outside 0..Count nothing is inserted.
  list.InsertImage(5, inserted.get(), nullptr);
  list.InsertImage(-1, inserted.get(), nullptr);
  EXPECT_EQ(list.Count(), 4);

  list.MoveImage(0, 3);
  EXPECT_EQ(PixelOf(list.ImageInfo()->Item(3)->Image(), 3, 3), CellColors[2]);
  EXPECT_EQ(NativePixel(list, 3, 3, 3) & 0x00FFFFFF, CellColors[2] & 0x00FFFFFF);
  list.DeleteImage(3);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(list.ImageInfo()->Count(), 3);
  auto replacement = Plain(16, 16, CellColors[4]);
  list.ReplaceAt(1, replacement.get(), nullptr);
  EXPECT_EQ(PixelOf(list.ImageInfo()->Item(1)->Image(), 3, 3), CellColors[4]);
  EXPECT_EQ(NativePixel(list, 1, 3, 3) & 0x00FFFFFF, CellColors[4] & 0x00FFFFFF);
  list.DeleteAll();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.ImageInfo()->Count(), 0);
}

TEST(ImageInfoList, AListNeverTakesASizeOfNothing) {
  // The cell arithmetic treats a size of 0 as one cell; the platform list
  // refuses such a size outright, so the list keeps cutting by its own.
  for (const SIZE size : {SIZE{0, 16}, SIZE{16, 0}}) {
    SCOPED_TRACE(std::to_string(size.cx) + " x " + std::to_string(size.cy));
    TcxImageList list(nullptr);
    EXPECT_THROW(list.SetSize(size.cx, size.cy), Exception);
    auto strip = CellStrip(3, 1);
    list.InsertImage(0, strip.get(), nullptr);
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.ImageInfo()->Count(), 3);
  }
}

TEST(ImageInfoList, MaskedImagesKeepTheirMaskColour) {
  TcxImageList list(nullptr);
  auto strip = CellStrip(2, 1);
  EXPECT_EQ(list.AddMasked(strip.get(), clFuchsia), 0);
  ASSERT_EQ(list.ImageInfo()->Count(), 2);
  EXPECT_EQ(list.ImageInfo()->Item(1)->MaskColor(), clFuchsia);
  EXPECT_EQ(list.Count(), 2);
}

TEST(ImageInfoList, StoredImagesComeBackWithTheirAlpha) {
  TcxImageList list(nullptr);
  auto strip = CellStrip(2, 1);
  list.AddBitmapPair(strip.get(), nullptr);
  const TRGBColors second = ImageOf(list, 1);
  ASSERT_EQ(second.size(), 256u);
  EXPECT_EQ(second[0], CellColors[1]);
  EXPECT_EQ(PixelAlpha(second[255]), 128);
  // A 24-bit stored image comes from the native list.
  TBitmap plain;
  plain.SetPixelFormat(pf24bit);
  plain.SetSize(16, 16);
  plain.Canvas()->Brush()->SetColor(clTeal);
  plain.Canvas()->FillRect(RECT{0, 0, 16, 16});
  list.AddBitmapPair(&plain, nullptr);
  EXPECT_EQ(ImageOf(list, 2)[0] & 0x00FFFFFF, 0x008080u);
  // Nothing for an index outside the list.
  TcxBitmap untouched(3, 3);
  list.GetImage(3, &untouched, nullptr);
  EXPECT_EQ(untouched.Width(), 3);
}

// Writes a form holding one image list named Images.
std::string WriteForm(TImageForm& form, TImageForm* ancestor = nullptr) {
  TMemoryStream stream;
  TWriter writer(&stream);
  writer.WriteDescendent(&form, ancestor);
  return stream.DataString();
}

TcxImageList* ReadForm(const std::string& bytes, TImageForm& form) {
  TMemoryStream stream;
  stream.WriteString(bytes);
  stream.SetPosition(0);
  ReadComponentFromStream(stream, &form);
  return static_cast<TcxImageList*>(form.FindComponent("Images"));
}

TcxImageList* NewList(TImageForm& form) {
  auto* list = new TcxImageList(&form);
  list->SetName("Images");
  return list;
}

TEST(ImageInfoList, PackedAndPlainItemBitmapsReadBackTheSame) {
  for (const bool packed : {true, false}) {
    SCOPED_TRACE(packed ? "packed" : "plain");
    std::string bytes;
    {
      TImageForm form(nullptr);
      TcxImageList* list = NewList(form);
      list->SetCompressData(packed);
      auto strip = CellStrip(3, 1);
      list->AddBitmapPair(strip.get(), nullptr);
      EXPECT_EQ(list->ImageInfo()->Item(2)->CompressData(), packed);
      bytes = WriteForm(form);
    }
    EXPECT_EQ(Holds(bytes, "XDBM"), packed);
    EXPECT_TRUE(Holds(bytes, "ImageInfo"));
    EXPECT_TRUE(Holds(bytes, "FormatVersion"));
    EXPECT_FALSE(Holds(bytes, "Bitmap")) << "the native list itself is never written";
    TImageForm form(nullptr);
    TcxImageList* list = ReadForm(bytes, form);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->FormatVersion(), 1);
    EXPECT_EQ(list->CompressData(), packed);
    ASSERT_EQ(list->Count(), 3);
    ASSERT_EQ(list->ImageInfo()->Count(), 3);
    for (int i = 0; i < 3; ++i) {
      const TRGBColors image = ImageOf(*list, i);
      ASSERT_EQ(image.size(), 256u);
      EXPECT_EQ(image[0], CellColors[i]);
      EXPECT_EQ(PixelAlpha(image[255]), 128);
      EXPECT_EQ(NativePixel(*list, i, 0, 0) & 0x00FFFFFF, CellColors[i] & 0x00FFFFFF);
    }
  }
}

TEST(ImageInfoList, AnOlderFormsNativeListIsReadIntoItems) {
  // The platform's own list writes its native list as "Bitmap".
  TImageForm source(nullptr);
  auto* old = new TDragImageList(&source);
  old->SetName("Images");
  auto strip = CellStrip(2, 1);
  strip->FreeContext();
  ImageList_Add(old->Handle(), strip->Handle(), nullptr);
  AnsiString text = WriteComponentText(&source);
  ASSERT_TRUE(Holds(text, "Bitmap"));
  const size_t at = text.find("TDragImageList");
  ASSERT_NE(at, std::string::npos);
  text.replace(at, 14, "TcxImageList");

  TImageForm form(nullptr);
  ReadComponentText(text, &form, "older form");
  auto* list = static_cast<TcxImageList*>(form.FindComponent("Images"));
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->Count(), 2);
  ASSERT_EQ(list->ImageInfo()->Count(), 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(PixelOf(list->ImageInfo()->Item(i)->Image(), 0, 0) & 0x00FFFFFF, CellColors[i] & 0x00FFFFFF);
    EXPECT_EQ(list->ImageInfo()->Item(i)->Image()->Width(), 16);
  }
  // Written again, it stores items.
  const std::string bytes = WriteForm(form);
  EXPECT_TRUE(Holds(bytes, "ImageInfo"));
  EXPECT_FALSE(Holds(bytes, "Bitmap"));
}

TEST(ImageInfoList, AnInheritedFormEqualToItsAncestorWritesNoItems) {
  TImageForm ancestor(nullptr), equal(nullptr), different(nullptr);
  auto strip = CellStrip(2, 1);
  NewList(ancestor)->AddBitmapPair(strip.get(), nullptr);
  NewList(equal)->AddBitmapPair(strip.get(), nullptr);
  auto other = CellStrip(2, 1, 3);
  NewList(different)->AddBitmapPair(other.get(), nullptr);
  const std::string same = WriteForm(equal, &ancestor);
  EXPECT_FALSE(Holds(same, "ImageInfo"));
  EXPECT_FALSE(Holds(same, "DesignInfo"));
  EXPECT_TRUE(Holds(same, "FormatVersion"));
  EXPECT_TRUE(Holds(WriteForm(different, &ancestor), "ImageInfo"));
  // Two empty lists are equal; an empty list without ancestor writes no items.
  TImageForm emptyAncestor(nullptr), empty(nullptr);
  NewList(emptyAncestor);
  NewList(empty);
  EXPECT_FALSE(Holds(WriteForm(empty, &emptyAncestor), "ImageInfo"));
  EXPECT_FALSE(Holds(WriteForm(empty), "ImageInfo"));
}

TEST(ImageInfoList, AssignCopiesItemsFromEitherKindOfList) {
  TcxImageList source(nullptr);
  auto strip = CellStrip(2, 1);
  source.AddBitmapPair(strip.get(), nullptr);
  TcxImageList copy(nullptr);
  copy.Assign(&source);
  ASSERT_EQ(copy.Count(), 2);
  ASSERT_EQ(copy.ImageInfo()->Count(), 2);
  EXPECT_EQ(ImageOf(copy, 1)[0], CellColors[1]);

  TDragImageList platform(nullptr);
  ImageList_Add(platform.Handle(), strip->Handle(), nullptr);
  TcxImageList fromPlatform(nullptr);
  fromPlatform.Assign(&platform);
  ASSERT_EQ(fromPlatform.Count(), 2);
  ASSERT_EQ(fromPlatform.ImageInfo()->Count(), 2);
  EXPECT_EQ(PixelOf(fromPlatform.ImageInfo()->Item(0)->Image(), 0, 0) & 0x00FFFFFF, CellColors[0] & 0x00FFFFFF);
}

TEST(ImageInfoList, DrawingChoosesTheLookByTheEnabledState) {
  TcxImageList list(nullptr);
  auto strip = CellStrip(1, 1, 2);
  list.AddBitmapPair(strip.get(), nullptr);
  auto surface = [](TColor color) {
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(pf32bit);
    b->SetSize(24, 24);
    b->Canvas()->Brush()->SetColor(color);
    b->Canvas()->FillRect(RECT{0, 0, 24, 24});
    return b;
  };
  struct Case {
    bool Enabled;
    uint8_t Mode;
  };
  std::vector<TRGBColors> drawn;
  for (const Case c : {Case{true, idmNormal}, Case{false, idmDisabled}}) {
    SCOPED_TRACE(c.Enabled ? "enabled" : "disabled");
    auto byList = surface(clSilver);
    list.Draw(byList->Canvas(), 4, 4, 0, c.Enabled);
    auto byHand = surface(clSilver);
    DrawImageOverBackground(byHand->Canvas()->Handle(), RECT{4, 4, 20, 20}, RECT{4, 4, 20, 20}, nullptr, &list, 0,
                            c.Mode);
    TRGBColors a, b;
    ReadBitmapPixels(byList.get(), true, a);
    ReadBitmapPixels(byHand.get(), true, b);
    EXPECT_EQ(a, b);
    drawn.push_back(a);
  }
  EXPECT_NE(drawn[0], drawn[1]);
}

}  // namespace
