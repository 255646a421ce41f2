// The INI side of a skin: key tables, defaults and limits, caption-button
// sections and ParseRGB; and the skin engine's committed bitmaps. Portable:
// built for the target (under Wine) and natively (under the sanitizers).
#include "skin/SkinSections.h"
#include "skin/package/SkinReader.h"
#include "tools/skin/HouseSkin.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

// An INI read from text.
struct TIni : TQuickIni {
  explicit TIni(const AnsiString& text) { LoadFromText(text); }
};

const AnsiString& HouseIni() {
  static const AnsiString text = HouseSkinEntries().back().Data;
  return text;
}

TEST(SkinSectionsTest, ParseRGB) {
  struct Case {
    const char* Text;
    TColor Expected;
  };
  const Case cases[] = {
      {"237 176 120", 0x78B0ED},   // red 237, green 176, blue 120
      {"255 128", 0x0000FF},       // the open run at the end is dropped
      {"  1,2,3  ", 0x030201},     // trimmed; any other character ends a run
      {"1 2 3 4", 0x030201},       // further numbers are ignored
      {"1 2 3,", 0x030201},
      {"256 513 -7", 0x070100},    // modulo 256; "-" only ends nothing
      {"99999999999999999999 0 0", 0x0000FF},  // 10^20 - 1 modulo 256 is 255
      {"12", 0x000000},            // one open run: nothing completed
      {"12;", 0x00000C},
      {"", 0x000000},
      {"red", 0x000000},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseRGB(c.Text), c.Expected) << '"' << c.Text << '"';
}

TEST(SkinSectionsTest, ImageKeysTakeTheirDefaultsAndLimits) {
  const TIni ini(
      "[MenuItem]\nImage=a.bmp\nTile=2\nLeftWidth=-4\nNormalColour2=1 2 3\n"
      "[Progress]\nBitmap=p.bmp\nTile=2\nImage=x.bmp\n"
      "[Tabs]\nImage=t.bmp\nBorder=s.bmp\nFrame=3\n"
      "[GroupBox]\nImage=g.bmp\nBackgroundLeftShift=4\nFrame=2\n"
      "[Buttons]\nBitmap=b.bmp\nRadioButtonFrame=-3\nCheckButtonFrame=0\nStyle=5\n");
  const TSkinImageKeys item = ReadSkinImageKeys(ini, "MenuItem", skImage);
  EXPECT_EQ(item.Image, "a.bmp");
  EXPECT_EQ(item.Tile, 0) << "above 1 becomes 0";
  EXPECT_EQ(item.LeftWidth, 0) << "margins are at least 0";
  EXPECT_EQ(item.NormalColour, -1);
  EXPECT_TRUE(item.HasNormalColour2);
  EXPECT_EQ(item.NormalColour2, 0x030201u);
  EXPECT_FALSE(item.HasPressedColour2);

  const TSkinImageKeys progress = ReadSkinImageKeys(ini, "Progress", skProgress);
  EXPECT_EQ(progress.Image, "p.bmp") << "the progress bar's image is its Bitmap key";
  EXPECT_EQ(progress.Tile, 1) << "above 1 becomes 1";

  const TSkinImageKeys tabs = ReadSkinImageKeys(ini, "Tabs", skBorder, "Border");
  EXPECT_EQ(tabs.SecondImage, "s.bmp");
  EXPECT_EQ(tabs.Frame, 0) << "border objects read no Frame key";
  const TSkinImageKeys box = ReadSkinImageKeys(ini, "GroupBox", skBoxLabel);
  EXPECT_EQ(box.BackgroundLeftShift, 4);
  EXPECT_EQ(box.Frame, 0);

  const TSkinImageKeys buttons = ReadSkinImageKeys(ini, "Buttons", skButtons);
  EXPECT_EQ(buttons.Image, "b.bmp");
  EXPECT_EQ(buttons.Style, 0) << "the Buttons section reads no Style";
  EXPECT_EQ(buttons.RadioButtonFrame, 1) << "a negative count is one frame";
  EXPECT_EQ(buttons.CheckButtonFrame, 0) << "0: derived from the image";

  const TSkinImageKeys absent = ReadSkinImageKeys(ini, "SunkEdge", skImage);
  EXPECT_TRUE(absent.Image.empty());
}

TEST(SkinSectionsTest, BordersTitleAndMenuBar) {
  const TIni ini(
      "[Personality]\nLeft=l.bmp\nLeftTopHeight=5\nLeftBotHeight=-2\nLeftFrame=0\nLeftStretch=7\n"
      "Top=t.bmp\nTopFrame=-3\nTopTrans=0\n"
      "TextShift=26\nTextRightClip=72\nActiveTextR=300\nActiveTextG=1\nActiveTextB=2\nInActiveTextR=1\n"
      "menuBar=m.bmp\nTileMenu=4\nTileLeftMenu=-1\n");
  const TSkinBorderKeys left = ReadSkinBorderKeys(ini, TSkinBorderSide::bsLeftBorder);
  EXPECT_EQ(left.Image, "l.bmp");
  EXPECT_EQ(left.TopHeight, 5);
  EXPECT_EQ(left.BotHeight, 0);
  EXPECT_EQ(left.Frame, 1) << "a frame count of 0 is one frame";
  EXPECT_EQ(left.Stretch, 1);
  EXPECT_EQ(left.Trans, 1) << "borders are transparent by default";
  const TSkinBorderKeys top = ReadSkinBorderKeys(ini, TSkinBorderSide::bsTopBorder);
  EXPECT_EQ(top.Frame, 1) << "a negative frame count is one frame";
  EXPECT_EQ(top.Trans, 0);
  const TSkinBorderKeys bottom = ReadSkinBorderKeys(ini, TSkinBorderSide::bsBottomBorder);
  EXPECT_TRUE(bottom.Image.empty());
  EXPECT_EQ(bottom.Frame, 1);

  const TSkinTitleKeys title = ReadSkinTitleKeys(ini);
  EXPECT_EQ(title.TextShift, 26);
  EXPECT_EQ(title.TextRightClip, 72);
  EXPECT_EQ(title.FontHeight, 14);
  EXPECT_TRUE(title.HasActiveText);
  EXPECT_EQ(title.ActiveText, 0x02012Cu) << "each part kept within its byte";
  EXPECT_FALSE(title.HasInactiveText) << "all three parts are needed";

  const TSkinMenuBarKeys bar = ReadSkinMenuBarKeys(ini);
  EXPECT_EQ(bar.Image, "m.bmp");
  EXPECT_EQ(bar.Tile, 1);
  EXPECT_EQ(bar.LeftWidth, 0);
  EXPECT_EQ(bar.RightWidth, 1);
}

TEST(SkinSectionsTest, CaptionButtonSections) {
  const TIni ini(
      "[Buttons]\n[Button]\n[BUTTON.RADIO]\n[Button.CheckBox]\n"
      "[button1]\nButtonImage=max.bmp\nAction=1\nVisibility=2\nXcoord=44\nYcoord=7\nframe=-3\n"
      "[ButtonHelp]\nAction=4\nXcoord=99\n"
      "[ButtonGone]\nAction=-1\n"
      "[ButtonKept]\nAction=-1\nVisibility=0\n"
      "[Buttonx]\nAction=2\nframe=4\n"
      "[NotAButton]\n");
  std::vector<AnsiString> sections;
  ini.ReadSections(sections);
  const std::vector<TSkinCaptionButtonKeys> buttons = ReadSkinCaptionButtonKeys(ini, sections);
  ASSERT_EQ(buttons.size(), 4u);
  EXPECT_EQ(buttons[0].Name, "BUTTON1");
  EXPECT_EQ(buttons[0].Image, "max.bmp");
  EXPECT_EQ(buttons[0].Frame, 0) << "a negative frame key derives the count";
  EXPECT_EQ(buttons[0].CombineOp, -1);
  EXPECT_EQ(buttons[1].Name, "BUTTONHELP");
  EXPECT_EQ(buttons[1].XCoord, 44) << "a help button stands where the maximize button stood";
  EXPECT_EQ(buttons[1].YCoord, 7);
  EXPECT_EQ(buttons[2].Name, "BUTTONKEPT");
  EXPECT_EQ(buttons[2].Visibility1, -1);
  EXPECT_EQ(buttons[3].Frame, 4);

  // Frame counts of caption-button images.
  struct Case {
    int Key, Action, Width, Height, Expected;
  };
  const Case cases[] = {{4, 0, 72, 16, 4},  {0, 0, 54, 18, 3},  {0, 0, 68, 18, 3},  {0, 0, 69, 18, 6},
                        {0, -1, 54, 18, 6}, {0, 0, 0, 0, 6},    {0, 3, 10, 10, 3}};
  for (const Case& c : cases)
    EXPECT_EQ(SkinCaptionButtonFrames(c.Key, c.Action, c.Width, c.Height), c.Expected)
        << c.Key << " " << c.Action << " " << c.Width << "x" << c.Height;
}

TEST(SkinSectionsTest, MoreThan64CaptionButtonsRejectTheSkin) {
  AnsiString text;
  for (int i = 0; i < 64; ++i) text += Format("[Button%d]\nAction=2\n", i);
  std::vector<AnsiString> sections;
  TIni(text).ReadSections(sections);
  EXPECT_EQ(ReadSkinCaptionButtonKeys(TIni(text), sections).size(), 64u);
  text += "[Button64]\nAction=0\n";
  TIni(text).ReadSections(sections);
  EXPECT_THROW(ReadSkinCaptionButtonKeys(TIni(text), sections), ESkinPackageError);
}

TEST(SkinSectionsTest, ColourTable) {
  const TIni ini(
      "[Colours]\nButtonFace=237 176 120\nHilight=255 128\nWindowText=\n"
      "[Colour7]\ncolor=1 2 3\n[Colours2]\n[ColourX]\n[Customcolors]\nColor3=9 9 9\n");
  std::vector<AnsiString> sections;
  ini.ReadSections(sections);
  const TSkinColourKeys k = ReadSkinColourKeys(ini, sections);
  EXPECT_TRUE(k.Given[ccButtonFace]);
  EXPECT_EQ(k.Colours[ccButtonFace], 0x78B0EDu);
  EXPECT_EQ(k.Colours[ccHilight], 0x0000FFu);
  EXPECT_FALSE(k.Given[ccWindowText]) << "an empty value takes the default";
  EXPECT_EQ(k.Colours[ccWindowText], clWindowText);
  EXPECT_EQ(k.Colours[ccScrollbar], clScrollBar);
  EXPECT_EQ(k.Colours[ccButtonlight], clBtnHighlight);
  EXPECT_EQ(k.Colours[ccTitleTextNoActive], clInactiveCaptionText);
  EXPECT_FALSE(k.Given[ccMenubar]);
  EXPECT_EQ(k.Colours[ccMenubar], 0x78B0EDu) << "the menu bar takes ButtonFace as read";
  ASSERT_EQ(k.Numbered.size(), 3u) << "Colour7, Colours2 and ColourX; not Colours";
  EXPECT_EQ(k.Numbered[0], 0x030201u);
  EXPECT_EQ(k.Numbered[1], clWindowText);
  EXPECT_EQ(k.Custom[3], 0x090909u);
  EXPECT_EQ(k.Custom[0], clWhite);
}

TEST(SkinSectionsTest, TheHouseSkinsKeys) {
  const TSkinIniKeys k = ReadSkinIniKeys(TIni(HouseIni()));
  EXPECT_EQ(k.SkinName, "House");
  ASSERT_EQ(k.CaptionButtons.size(), 5u);
  EXPECT_EQ(k.CaptionButtons[4].Name, "BUTTON4");
  EXPECT_TRUE(k.CaptionButtons[4].Image.empty());
  EXPECT_EQ(k.CaptionButtons[4].Action, 3);
  EXPECT_EQ(k.CaptionButtons[0].XCoord, 24);
  EXPECT_EQ(k.MDIControlsImage, "mdibutton.bmp");
  EXPECT_EQ(k.Images[static_cast<size_t>(soHeaderbar)].Frame, 5);
  EXPECT_EQ(k.Images[static_cast<size_t>(soSunkEdge)].Image, "sunkedge.bmp");
  EXPECT_EQ(k.Images[static_cast<size_t>(soUpDownVert)].SecondImage, "spinarrow.bmp");
  EXPECT_EQ(k.Images[static_cast<size_t>(soComboButton)].SecondImage, "") << "its second image key names nothing";
  EXPECT_EQ(k.Borders[2].Frame, 2);
  EXPECT_EQ(k.Borders[2].TopHeight, 12);
  EXPECT_EQ(k.Title.TXTBackleft, 4);
  EXPECT_EQ(k.HorzThumbFrames, 3);
  EXPECT_TRUE(k.Colours.Given[ccButtonFace]);
  EXPECT_EQ(k.Colours.Numbered.size(), 3u);
}

TEST(SkinSectionsTest, TabPaneMarginsAreCappedAt4) {
  const TSkinIniKeys k = ReadSkinIniKeys(TIni("[Tab.Pane]\nImage=p.bmp\nLeftWidth=9\nTopHeight=3\nRightWidth=5\nBottomHeight=4\n"));
  const TSkinImageKeys& pane = k.Images[static_cast<size_t>(soTabPane)];
  EXPECT_EQ(pane.LeftWidth, 4);
  EXPECT_EQ(pane.TopHeight, 3);
  EXPECT_EQ(pane.RightWidth, 4);
  EXPECT_EQ(pane.BottomHeight, 4);
}

// The bitmaps skin/res holds are what the skin tool makes.
TEST(SkinSectionsTest, CommittedEngineBitmapsAreWhatTheToolMakes) {
  for (const TSkinPackageEntry& e : SkinEngineBitmaps()) {
    std::string path = MEVRA_SKIN_RES_DIR;
    path += '/';
    path += e.Name;
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    // On a difference, regenerate with: skintool resources skin/res
    EXPECT_TRUE(s.str() == e.Data) << e.Name << " differs from the tool's output";
  }
}

}  // namespace
