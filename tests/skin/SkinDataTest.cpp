// The skin data component: its stored package, loading all or nothing, and
// the skin objects, counts, colours and derived images the house skin and
// its variants yield.
#include "platform/FileStream.h"
#include "platform/Filer.h"
#include "platform/FormResource.h"
#include "platform/ImageList.h"
#include "skin/ImgUtil.h"
#include "skin/SkinDraw.h"
#include "skin/SkinManage.h"
#include "skin/package/SkinReader.h"
#include "tests/skin/SkinTestUtil.h"
#include "tests/support/TestSupport.h"
#include "tools/skin/LZHEncoder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace skin_tests;
using testing_support::Image;

constexpr COLORREF kFace = RGB(0xEC, 0xEF, 0xF3);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

class SkinDataTest : public ::testing::Test {
protected:
  void TearDown() override { FreeSkinManager(); }
};

AnsiString Hex(const AnsiString& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  AnsiString text;
  for (unsigned char c : bytes) {
    text += digits[c >> 4];
    text += digits[c & 15];
  }
  return text;
}

// A form text holding one skin data with `stream` as its SkinStream data.
AnsiString SkinDataText(const AnsiString& stream, bool active) {
  return "object SkinData1: TSkinData\n  Active = " + AnsiString(active ? "True" : "False") +
         "\n  SkinStream = {" + Hex(stream) + "}\nend\n";
}

AnsiString StreamProperty(const AnsiString& package) { return SkinStreamProperty(package); }

// A package of version 10000 (one this program cannot read).
AnsiString OldPackage() {
  AnsiString body = BuildSkinBody(20000, {{"a.ini", "[A]"}});
  body[0] = 0x10;  // 20000 (0x4E20) becomes 10000 (0x2710)
  body[1] = 0x27;
  AnsiString package;
  AppendInt32(package, static_cast<int32_t>(body.size()));
  return package + LZHCompress(body);
}

std::vector<AnsiString> gMessages;

TEST_F(SkinDataTest, SkinStreamRoundTripsByteForByteInBothForms) {
  const AnsiString package = HouseSkinFile();
  ASSERT_FALSE(package.empty());
  auto original = LoadedSkinData(package);
  original->SetName("SkinData1");

  // Binary form.
  TMemoryStream binary;
  WriteComponentToStream(binary, original.get());
  binary.SetPosition(0);
  TSkinData* readBack = New<TSkinData>(nullptr);
  ReadComponentFromStream(binary, readBack);
  EXPECT_TRUE(readBack->Package().DataString() == package);
  EXPECT_TRUE(readBack->SkinLoaded()) << readBack->LoadError();
  TMemoryStream again;
  WriteComponentToStream(again, readBack);
  EXPECT_TRUE(again.DataString() == binary.DataString());
  Free(readBack);

  // Text form.
  const AnsiString text = WriteComponentText(original.get());
  EXPECT_NE(text.find("SkinStream"), AnsiString::npos);
  TSkinData* fromText = New<TSkinData>(nullptr);
  ReadComponentText(text, fromText, "SkinDataTest");
  EXPECT_TRUE(fromText->Package().DataString() == package);
  EXPECT_EQ(fromText->SkinName(), "House");
  EXPECT_EQ(WriteComponentText(fromText), text);
  EXPECT_EQ(fromText->Version(), "5.40.07.15");
  EXPECT_EQ(fromText->SkinStore(), "(none)") << "at run time";
  Free(fromText);
}

TEST_F(SkinDataTest, ANewSkinDatasProperties) {
  TSkinData data(nullptr);
  EXPECT_FALSE(data.Active());
  EXPECT_FALSE(data.SkinLoaded());
  EXPECT_EQ(data.DisableTag(), 99);
  EXPECT_EQ(data.SkinFormtype(), sfMainform);
  EXPECT_TRUE(data.MenuUpdate());
  EXPECT_FALSE(data.MenuMerge());
  EXPECT_EQ(data.Options(), (TSkinOptions{xoPreview, xoToolbarBK, xoCaptionButtonHint}));
  TSkinControlTypes controls;
  for (int i = 0; i < 22; ++i) controls.Include(static_cast<TSkinControlType>(i));
  EXPECT_EQ(data.SkinControls(), controls - xcMenuItem - xcFastReport);
  TStringList* lines = data.Skin3rd();
  ASSERT_EQ(lines->Count(), 118);
  EXPECT_EQ(lines->Strings(0), "TCategoryButtons=scrollbar");
  EXPECT_EQ(lines->Strings(117), "TLMDDBCHECKBOX=Checkbox");
  EXPECT_NE(lines->IndexOf("TcxButton=bitbtn"), -1);
  int twice = 0;
  for (int i = 0; i < lines->Count(); ++i) twice += lines->Strings(i) == "TWWDBCombobox=combobox";
  EXPECT_EQ(twice, 2);
  // The stored-package indicator shows only at design time.
  data.SetPackage("package");
  EXPECT_EQ(data.SkinStore(), "(none)");
  data.SetDesigning(true);
  EXPECT_EQ(data.SkinStore(), "(Good)");
  EXPECT_FALSE(data.LoadSkin()) << "nothing is loaded while designing";
}

TEST_F(SkinDataTest, NoPackageOrAnOldOneLeavesActiveOff) {
  gMessages.clear();
  SkinMessageHook = [](const AnsiString& text) { gMessages.push_back(text); };
  struct Case {
    const char* Name;
    AnsiString Stream;
    size_t Messages;
  };
  const Case cases[] = {
      {"length 0", AnsiString(4, '\0'), 0},
      {"version 10000", StreamProperty(OldPackage()), 1},
  };
  for (const Case& c : cases) {
    gMessages.clear();
    TSkinData* data = New<TSkinData>(nullptr);
    ReadComponentText(SkinDataText(c.Stream, true), data, "SkinDataTest");
    EXPECT_FALSE(data->Active()) << c.Name;
    EXPECT_FALSE(data->SkinLoaded()) << c.Name;
    ASSERT_EQ(gMessages.size(), c.Messages) << c.Name;
    if (c.Messages) {
      EXPECT_EQ(gMessages[0], "This is Older Skin File\rPlease update to new version !");
    }
    EXPECT_EQ(data->Package().DataString(), c.Stream.substr(4)) << "the form keeps what it stored";
    Free(data);
  }
  SkinMessageHook = nullptr;
}

TEST_F(SkinDataTest, TheHouseSkinsObjectsCountsAndColours) {
  auto data = LoadedSkinData(HouseSkinFile());
  ASSERT_TRUE(data->SkinLoaded()) << data->LoadError();
  EXPECT_EQ(data->SkinName(), "House");

  // Caption buttons: Button0..Button4, then the three MDI buttons.
  const auto& buttons = data->CaptionButtons();
  ASSERT_EQ(buttons.size(), 8u);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(buttons[i]->Name, Format("BUTTON%d", i));
  EXPECT_EQ(buttons[0]->Action, 0);
  EXPECT_EQ(buttons[0]->Align, 1);
  EXPECT_EQ(buttons[0]->XCoord, 24);
  EXPECT_EQ(buttons[0]->FrameCount, 4);
  EXPECT_EQ(buttons[0]->Bitmap->Width(), 72);
  EXPECT_EQ(buttons[2]->Visibility, 1);
  EXPECT_EQ(buttons[2]->XCoord, 44) << "a restore button keeps its own place";
  EXPECT_TRUE(buttons[4]->Bitmap->Empty()) << "the window icon has no image";
  EXPECT_EQ(buttons[4]->Action, 3);

  // MDICONTROLS: 12 cells of 16 x 14 cut into three buttons of four frames.
  TBitmap mdi;
  {
    TMemoryStream entry;
    for (const TSkinPackageEntry& e : HouseSkinEntries())
      if (e.Name == "mdibutton.bmp") entry.WriteString(e.Data);
    entry.SetPosition(0);
    mdi.LoadFromStream(entry);
  }
  for (int i = 0; i < 3; ++i) {
    const TDataSkinSysButton& b = *buttons[5 + i];
    EXPECT_EQ(b.Action, 7 + i);
    EXPECT_EQ(b.Align, 100);
    EXPECT_EQ(b.Visibility, 100);
    EXPECT_EQ(b.Visibility1, 100);
    EXPECT_EQ(b.FrameCount, 4);
    EXPECT_EQ(b.XCoord, 20 * (3 - i));
    ASSERT_EQ(b.Bitmap->Width(), 64);
    ASSERT_EQ(b.Bitmap->Height(), 14);
    for (int x : {0, 9, 40, 63}) EXPECT_EQ(PixelOf(b.Bitmap.get(), x, 7), PixelOf(&mdi, 64 * i + x, 7)) << i << " " << x;
  }

  // Fixed and keyed frame counts.
  struct Count {
    TSkinObjectId Id;
    int Frames;
  };
  const Count counts[] = {{soHeaderbar, 5}, {soMenuItem, 5},  {soTabs, 5},           {soTabPane, 1},
                          {soProgress, 2},  {soSunkEdge, 4},  {soComboButton, 4},    {soExtraImages, 5},
                          {soScrollbar, 23}, {soHorzScroll, 4}, {soUpDownVert, 8},    {soTrackThumbHorz, 5},
                          {soHorzScrollThumb, 3}, {soStatusBarEdges, 3}, {soMenuBar, 2}, {soGroupBoxEdge, 2},
                          {soGroupBox, 1},  {soMenuBackground, 1}, {soToolbar, 1},   {soToolBars, 5},
                          {soProgressChunk, 1}, {soTrack, 1}};
  for (const Count& c : counts) {
    ASSERT_NE(data->Object(c.Id), nullptr) << SkinObjectName(c.Id);
    EXPECT_EQ(data->Object(c.Id)->FrameCount, c.Frames) << SkinObjectName(c.Id);
  }
  EXPECT_EQ(data->Buttons()->FrameCount, 5);
  EXPECT_EQ(data->Buttons()->CheckButtonFrame, 12);
  EXPECT_EQ(data->Buttons()->RadioButtonFrame, 8);
  EXPECT_EQ(data->Title()->FrameCount, 2);
  EXPECT_EQ(data->Object(soMenuBar)->LeftWidth, 2);

  // Borders: the sides' margins run along them, the bands' across.
  TDataSkinBorder* left = data->Border(TSkinBorderSide::bsLeftBorder);
  EXPECT_EQ(left->FrameCount, 2);
  EXPECT_EQ(left->TopHeight, 8);
  EXPECT_EQ(left->LeftWidth, 0);
  EXPECT_EQ(left->Tile, 0);
  TDataSkinBorder* top = data->Border(TSkinBorderSide::bsTopBorder);
  EXPECT_EQ(top->LeftWidth, 12);
  EXPECT_EQ(top->RightWidth, 12);
  EXPECT_EQ(top->TopHeight, 0);
  EXPECT_EQ(top->Trans, 1);
  EXPECT_EQ(top->Bitmap->Height(), 60);

  // Colours.
  EXPECT_EQ(data->Colors(ccButtonFace), kFace);
  EXPECT_TRUE(data->ColorGiven(ccButtonFace));
  EXPECT_EQ(data->Colors(ccHilight), RGB(0x2F, 0x7F, 0x9F));
  EXPECT_EQ(data->Colors(ccBaseColour), data->BaseColour());
  EXPECT_EQ(data->BaseColour(), PixelOf(top->Bitmap.get(), 21, 10));
  EXPECT_EQ(data->NumberedColors().size(), 3u);
  EXPECT_EQ(data->CustomColors(0), kFace);
  EXPECT_EQ(data->Title()->ActiveTextColor, RGB(255, 255, 255));
  EXPECT_EQ(data->Title()->InactiveTextColor, RGB(236, 240, 244));
  EXPECT_EQ(data->Title()->LeftWidth, 26) << "TextShift";
  EXPECT_EQ(data->Buttons()->NormalColour2, RGB(0x1E, 0x28, 0x33));
  EXPECT_TRUE(data->Buttons()->HasMouseOverColour2);

  // The sunken combo strip: four 50 x 21 cells, the edit's inside magenta.
  const int w = GetSystemMetrics(SM_CXHSCROLL) + 2;
  TDataSkinBorder* combo = data->ComboButton();
  TDataSkinObject* sunk = data->Object(soSunkEdge);
  ASSERT_EQ(combo->Bitmap->Width(), 200);
  ASSERT_EQ(combo->Bitmap->Height(), 21);
  EXPECT_EQ(combo->Style, 2);
  EXPECT_EQ(combo->LeftWidth, 2);
  EXPECT_EQ(combo->RightWidth, w + 2);
  EXPECT_EQ(combo->TopHeight, 3);
  EXPECT_EQ(PixelOf(combo->Bitmap.get(), 60, 10), kMagenta);
  EXPECT_NE(PixelOf(combo->Bitmap.get(), 99 - w / 2, 10), kMagenta) << "the button in each cell's right part";
  EXPECT_EQ(combo->Bitmap2->Width(), 72) << "the mirrored copy of the original button";
  ASSERT_EQ(sunk->Bitmap->Width(), 200);
  EXPECT_EQ(sunk->LeftWidth, w + 2);
  EXPECT_EQ(sunk->RightWidth, 2);
  for (int x : {0, 17, 48, 150, 199}) EXPECT_EQ(PixelOf(sunk->Bitmap.get(), x, 5), PixelOf(combo->Bitmap.get(), 199 - x, 5)) << x;

  // The combo arrow: 17 x 17 cells cut from the strip.
  TDataSkinObject* arrow = data->Object(soComboxArrow);
  ASSERT_NE(arrow, nullptr);
  EXPECT_EQ(arrow->FrameCount, 4);
  ASSERT_EQ(arrow->Bitmap->Width(), 68);
  for (int i = 0; i < 4; ++i)
    for (int x : {0, 8, 16}) EXPECT_EQ(PixelOf(arrow->Bitmap.get(), 17 * i + x, 9), PixelOf(combo->Bitmap.get(), 50 * (i + 1) - 19 + x, 11));

  // The tool-bar background: a vertical gradient from a light face.
  TDataSkinObject* toolbar = data->Object(soToolbar);
  ASSERT_EQ(toolbar->Bitmap->Width(), 10);
  ASSERT_EQ(toolbar->Bitmap->Height(), 40);
  const TColor base = data->BaseColour();
  const int measure = ColorSaturation(base);
  const TColor from = MixColor(kFace, clWhite, 150);
  const TColor to = measure > 110 ? MixColor(base, clWhite, (5625 - 25 * measure) / 140 + 50) : MixColor(0x808080, base, 150);
  const std::vector<TColor> gradient = GradientColors(GetGradient(40, from, to));
  EXPECT_EQ(PixelOf(toolbar->Bitmap.get(), 5, 0), from);
  EXPECT_EQ(PixelOf(toolbar->Bitmap.get(), 5, 20), gradient[20]);
  EXPECT_EQ(PixelOf(toolbar->Bitmap.get(), 5, 39), gradient[39]);
  EXPECT_NE(gradient[0], gradient[39]);

  EXPECT_EQ(data->MenuGlyphs()->Count(), 4) << "SKARVOMENU: four 16 x 16 glyphs";
}

TEST_F(SkinDataTest, VariantsOfTheHouseSkin) {
  // Without SunkEdge: the combo arrow is the button on the face colour.
  {
    auto data = LoadedSkinData(HouseVariant([](AnsiString& ini) { RemoveSection(ini, "SunkEdge"); }));
    ASSERT_TRUE(data->SkinLoaded()) << data->LoadError();
    EXPECT_EQ(data->Object(soSunkEdge), nullptr);
    EXPECT_EQ(data->ComboButton()->Style, 0);
    EXPECT_EQ(data->ComboButton()->Bitmap->Width(), 72);
    TDataSkinObject* arrow = data->Object(soComboxArrow);
    ASSERT_NE(arrow, nullptr);
    EXPECT_EQ(arrow->FrameCount, 4);
    ASSERT_EQ(arrow->Bitmap->Width(), 72);
    EXPECT_EQ(PixelOf(arrow->Bitmap.get(), 0, 0), kFace) << "the rounded corner's magenta";
    EXPECT_EQ(PixelOf(arrow->Bitmap.get(), 9, 10), PixelOf(data->ComboButton()->Bitmap.get(), 9, 10));
  }
  // ... and with a system colour as ButtonFace, that colour resolved.
  {
    auto data = LoadedSkinData(HouseVariant([](AnsiString& ini) {
      RemoveSection(ini, "SunkEdge");
      SetKey(ini, "Colours", "ButtonFace", "");
    }));
    ASSERT_TRUE(data->SkinLoaded()) << data->LoadError();
    EXPECT_EQ(data->Colors(ccButtonFace), clBtnFace);
    EXPECT_EQ(PixelOf(data->Object(soComboxArrow)->Bitmap.get(), 0, 0), ColorToRGB(clBtnFace));
  }
  // Without Track and TRACKVERT: the program's own channels.
  {
    auto data = LoadedSkinData(HouseVariant([](AnsiString& ini) {
      RemoveSection(ini, "Track");
      RemoveSection(ini, "TRACKVERT");
    }));
    ASSERT_TRUE(data->SkinLoaded()) << data->LoadError();
    struct Case {
      TSkinObjectId Id;
      int Width, Height;
    };
    for (const Case& c : {Case{soTrack, 16, 4}, Case{soTrackVert, 4, 16}}) {
      TDataSkinObject* track = data->Object(c.Id);
      ASSERT_NE(track, nullptr) << SkinObjectName(c.Id);
      EXPECT_EQ(track->Bitmap->Width(), c.Width);
      EXPECT_EQ(track->Bitmap->Height(), c.Height);
      EXPECT_EQ(track->LeftWidth, 3);
      EXPECT_EQ(track->BottomHeight, 3);
      EXPECT_EQ(track->Tile, 0);
      EXPECT_EQ(track->FrameCount, 1);
    }
  }
  // Tile 2: 1 in Progress, 0 in MenuItem; Headerbar's Frame key; colours.
  {
    auto data = LoadedSkinData(HouseVariant([](AnsiString& ini) {
      SetKey(ini, "Progress", "Tile", "2");
      SetKey(ini, "MenuItem", "Tile", "2");
      SetKey(ini, "Headerbar", "Frame", "4");
      SetKey(ini, "Colours", "ButtonFace", "237 176 120");
      SetKey(ini, "Colours", "Hilight", "255 128");
      SetKey(ini, "Progress", "Style", "1");
    }));
    ASSERT_TRUE(data->SkinLoaded()) << data->LoadError();
    EXPECT_EQ(data->Object(soProgress)->Tile, 1);
    EXPECT_EQ(data->Object(soProgress)->FrameCount, 1) << "a styled progress bar has one frame";
    EXPECT_EQ(data->Object(soMenuItem)->Tile, 0);
    EXPECT_EQ(data->Object(soHeaderbar)->FrameCount, 4);
    EXPECT_EQ(data->Colors(ccButtonFace), RGB(237, 176, 120));
    EXPECT_EQ(data->Colors(ccHilight), RGB(255, 0, 0));
  }
  // A section without its image leaves its object absent.
  {
    auto data = LoadedSkinData(HouseVariant([](AnsiString& ini) { SetKey(ini, "Headerbar", "Image", ""); }));
    ASSERT_TRUE(data->SkinLoaded()) << data->LoadError();
    EXPECT_EQ(data->Object(soHeaderbar), nullptr);
  }
}

// A BMP entry of the house skin replaced.
AnsiString WithEntry(const AnsiString& name, const AnsiString& bytes) {
  std::vector<TSkinPackageEntry> entries = HouseSkinEntries();
  for (TSkinPackageEntry& e : entries)
    if (e.Name == name) e.Data = bytes;
  return BuildSkinPackage(kHouseSkinVersion, entries);
}

TEST_F(SkinDataTest, MalformedSkinsFailOrClampAndThePreviousSkinStays) {
  AnsiString oversized = HouseSkinEntries()[0].Data;  // buttons.bmp, 24-bit
  oversized[18] = oversized[19] = oversized[22] = oversized[23] = '\x7F';  // 32767 x 32767 pixels claimed
  oversized[20] = oversized[21] = oversized[24] = oversized[25] = '\0';
  AnsiString truncated = HouseSkinEntries()[0].Data.substr(0, 80);
  AnsiString manyButtons;
  for (int i = 5; i < 65; ++i) manyButtons += Format("[Button%d]\r\nAction=30\r\n", i);

  struct Case {
    const char* Name;
    AnsiString Package;
    bool Loads;
  };
  const Case cases[] = {
      {"a broken BMP entry", WithEntry("buttons.bmp", truncated), false},
      {"an oversized BMP entry", WithEntry("frametop.bmp", oversized), false},
      {"not a BMP", WithEntry("checkbox.bmp", "plain text"), false},
      {"65 caption-button sections", HouseVariant([&](AnsiString& ini) { Append(ini, manyButtons); }), false},
      {"version 10000", OldPackage(), false},
      {"no INI", BuildSkinPackage(kHouseSkinVersion, {{"buttons.bmp", HouseSkinEntries()[0].Data}}), false},
      {"no package", AnsiString(), false},
      {"frame counts 0 and -3", HouseVariant([](AnsiString& ini) {
         SetKey(ini, "Personality", "LeftFrame", "0");
         SetKey(ini, "Personality", "TopFrame", "-3");
         SetKey(ini, "HorzScrollThumb", "FrameCount", "0");
         SetKey(ini, "VertScrollThumb", "FrameCount", "-3");
         SetKey(ini, "Headerbar", "Frame", "-3");
         SetKey(ini, "Progress.Chunk", "Frame", "0");
         SetKey(ini, "Button0", "frame", "-3");
         SetKey(ini, "Buttons", "CheckButtonFrame", "-3");
         SetKey(ini, "Personality", "LeftTopHeight", "-5");
       }),
       true},
  };
  SkinMessageHook = [](const AnsiString&) {};
  for (const Case& c : cases) {
    auto data = LoadedSkinData(HouseSkinFile());
    ASSERT_TRUE(data->SkinLoaded());
    TDataSkinButton* buttons = data->Buttons();
    data->SetPackage(c.Package);
    EXPECT_EQ(data->LoadSkin(), c.Loads) << c.Name << ": " << data->LoadError();
    EXPECT_TRUE(data->SkinLoaded()) << c.Name;
    EXPECT_EQ(data->Buttons(), buttons) << c.Name << ": the Buttons object lives on";
    if (!c.Loads) {
      EXPECT_FALSE(data->LoadError().empty()) << c.Name;
      // The previous skin, whole.
      EXPECT_EQ(data->SkinName(), "House") << c.Name;
      EXPECT_EQ(data->CaptionButtons().size(), 8u) << c.Name;
      EXPECT_EQ(data->Buttons()->Bitmap->Width(), 120) << c.Name;
      EXPECT_EQ(data->Border(TSkinBorderSide::bsTopBorder)->Bitmap->Height(), 60) << c.Name;
      EXPECT_EQ(data->Colors(ccButtonFace), kFace) << c.Name;
      continue;
    }
    EXPECT_TRUE(data->LoadError().empty()) << c.Name;
    EXPECT_EQ(data->Border(TSkinBorderSide::bsLeftBorder)->FrameCount, 1);
    EXPECT_EQ(data->Border(TSkinBorderSide::bsTopBorder)->FrameCount, 1);
    EXPECT_EQ(data->Border(TSkinBorderSide::bsLeftBorder)->TopHeight, 0);
    EXPECT_EQ(data->Object(soHorzScrollThumb)->FrameCount, 1);
    EXPECT_EQ(data->Object(soVertScrollThumb)->FrameCount, 1);
    EXPECT_EQ(data->Object(soHeaderbar)->FrameCount, 5);
    EXPECT_EQ(data->Object(soProgressChunk)->FrameCount, 1);
    EXPECT_EQ(data->CaptionButtons()[0]->FrameCount, 6) << "72 x 16: more than 3.8 times as wide";
    EXPECT_EQ(data->Buttons()->CheckButtonFrame, 1);
  }
  SkinMessageHook = nullptr;
}

TEST_F(SkinDataTest, SkinFileAtRunTimeRaisesForAnUnreadableFileAndKeepsTheSkin) {
  char folder[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, folder);
  const AnsiString bad = AnsiString(folder) + "mevra-bad.skin";
  const AnsiString good = AnsiString(folder) + "mevra-good.skin";
  const auto write = [](const AnsiString& path, const AnsiString& bytes) {
    TFileStream file(path, fmCreate);
    file.WriteString(bytes);
  };
  write(bad, WithEntry("buttons.bmp", "BMxx"));
  write(good, HouseVariant([](AnsiString& ini) { SetKey(ini, "TitlebarSkin", "SkinName", "Other"); }));
  auto data = LoadedSkinData(HouseSkinFile());
  const AnsiString package = data->Package().DataString();
  EXPECT_THROW(data->SetSkinFile(bad), ESkinError);
  EXPECT_EQ(data->SkinName(), "House");
  EXPECT_TRUE(data->Package().DataString() == package) << "the stored package stays";
  EXPECT_FALSE(data->LoadError().empty());
  data->SetSkinFile(good);
  EXPECT_EQ(data->SkinName(), "Other");
  EXPECT_TRUE(data->LoadError().empty());
  DeleteFileA(bad.c_str());
  DeleteFileA(good.c_str());
}

// The derived images side by side, three times their size, for a person
// to look at.
TEST_F(SkinDataTest, DerivedImagesSheet) {
  auto house = LoadedSkinData(HouseSkinFile());
  auto flat = LoadedSkinData(HouseVariant([](AnsiString& ini) {
    RemoveSection(ini, "SunkEdge");
    RemoveSection(ini, "Track");
  }));
  TBitmap* images[] = {
      house->ComboButton()->Bitmap.get(),       house->Object(soSunkEdge)->Bitmap.get(),
      house->Object(soComboxArrow)->Bitmap.get(), house->ComboButton()->Bitmap2.get(),
      house->Object(soToolbar)->Bitmap.get(),   flat->Object(soComboxArrow)->Bitmap.get(),
      flat->Object(soTrack)->Bitmap.get(),
  };
  constexpr int kZoom = 3, kGap = 6;
  int width = kGap, height = kGap;
  for (TBitmap* b : images) {
    width = std::max(width, kGap + b->Width() * kZoom + kGap);
    height += b->Height() * kZoom + kGap;
  }
  Image sheet{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height, 0x404040)};
  int y = kGap;
  for (TBitmap* b : images) {
    for (int py = 0; py < b->Height() * kZoom; ++py)
      for (int px = 0; px < b->Width() * kZoom; ++px)
        sheet.Pixels[static_cast<size_t>(y + py) * width + kGap + px] = testing_support::Rgb(PixelOf(b, px / kZoom, py / kZoom));
    y += b->Height() * kZoom + kGap;
  }
  const std::string path = testing_support::SaveArtefact(sheet, "skin-derived");
  EXPECT_FALSE(path.empty());
}

}  // namespace
