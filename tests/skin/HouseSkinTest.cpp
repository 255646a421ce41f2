// The project's house skin: the committed package is what the tools make, and
// it carries every section and bitmap the skin engine reads. Portable.
#include "skin/package/QuickIni.h"
#include "skin/package/SkinReader.h"
#include "tools/skin/HouseSkin.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <utility>

namespace {

AnsiString CommittedPackage() {
  std::ifstream in(MEVRA_HOUSE_SKIN_FILE, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

int32_t Int32At(const AnsiString& bytes, size_t at) {
  return static_cast<int32_t>(static_cast<uint8_t>(bytes[at]) | static_cast<uint8_t>(bytes[at + 1]) << 8 |
                              static_cast<uint8_t>(bytes[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(bytes[at + 3])) << 24);
}

TEST(HouseSkinTest, CommittedPackageIsWhatTheToolsMake) {
  const AnsiString committed = CommittedPackage();
  ASSERT_FALSE(committed.empty()) << "missing " << MEVRA_HOUSE_SKIN_FILE;
  // On a difference, regenerate with: skintool house skin/data/house.skin
  EXPECT_TRUE(committed == HouseSkinPackage()) << "skin/data/house.skin differs from the generator's output";
}

class HouseSkinContentTest : public ::testing::Test {
protected:
  void SetUp() override {
    TMemoryStream package;
    package.WriteString(CommittedPackage());
    ASSERT_TRUE(FReader.LoadPackage(package));
    TMemoryStream ini;
    AnsiString name;
    ASSERT_TRUE(FReader.FindEntry(".ini", ini, name));
    EXPECT_EQ(name, "house.ini");
    FIni.LoadFromStream(&ini);
  }
  // Width and height of the BMP entry named by section/key; fails when absent.
  void BitmapSize(const char* section, const char* key, int& width, int& height) {
    const AnsiString file = FIni.ReadString(section, key, "");
    TMemoryStream entry;
    FReader.GetEntry(file, entry);
    const AnsiString bytes = entry.DataString();
    ASSERT_GE(bytes.size(), 54u) << section << "/" << key << " names \"" << file << "\"";
    ASSERT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(Int32At(bytes, 2), static_cast<int32_t>(bytes.size()));
    width = Int32At(bytes, 18);
    height = Int32At(bytes, 22);
  }
  TSkinReader FReader;
  TQuickIni FIni;
};

TEST_F(HouseSkinContentTest, CarriesEverySectionTheEngineReads) {
  std::vector<AnsiString> sections;
  FIni.ReadSections(sections);
  const char* wanted[] = {
      "TitlebarSkin", "Buttons", "Progress", "Progress.Chunk", "Tabs", "Tab.Pane", "ComboButton", "SunkEdge",
      "StatusBarEdges", "Headerbar", "Scrollbar", "HorzScrollThumb", "VertScrollThumb", "HorzScroll", "VertScroll",
      "MenuBackground", "MenuItem", "ExtraImages", "Trackbar.ThumbHorz", "Trackbar.ThumbVert", "Trackbar.ThumbLeft",
      "Trackbar.ThumbRight", "Trackbar.ThumbUp", "Trackbar.ThumbDown", "Track", "TRACKVERT", "MDICONTROLS",
      "UpDown.Vert", "UpDown.Horz", "GroupBoxEdge", "GroupBox", "ToolBars", "Button0", "Button1", "Button2",
      "Button3", "Button4", "Personality", "Fonts", "Colours", "Colour1", "Customcolors"};
  for (const char* name : wanted) {
    bool found = false;
    for (const AnsiString& s : sections) found = found || SameText(s, name);
    EXPECT_TRUE(found) << name;
  }
  EXPECT_EQ(FIni.ReadString("TitlebarSkin", "SkinName", ""), "House");
}

// The keys the skin data reads beyond images: a missing one would leave the
// engine on a system default and the house look incomplete.
TEST_F(HouseSkinContentTest, GivesEveryKeyTheEngineReads) {
  std::vector<std::pair<AnsiString, AnsiString>> keys = {
      {"TitlebarSkin", "SkinName"}, {"Fonts", "FontHeight"}, {"MDICONTROLS", "Image"},
      {"Buttons", "NormalColour"}, {"Buttons", "MouseOverColour"}, {"Buttons", "PressedColour"},
      {"Buttons", "NormalColour2"}, {"Buttons", "MouseOverColour2"}, {"Buttons", "PressedColour2"},
      {"GroupBox", "BackgroundAlignment"}, {"GroupBox", "BackgroundLeftShift"}, {"GroupBox", "BackgroundRightShift"},
      {"HorzScrollThumb", "FrameCount"}, {"VertScrollThumb", "FrameCount"}, {"Colour1", "color"}};
  for (const char* key : {"TextShift", "TextShiftVert", "TextRightClip", "TextAlignment", "Textbackground",
                          "TXTBackleft", "TXTBackRight", "TileMenu", "TileLeftMenu", "TileRightMenu", "ActiveTextR",
                          "ActiveTextG", "ActiveTextB", "InActiveTextR", "InActiveTextG", "InActiveTextB"})
    keys.emplace_back("Personality", key);
  for (const char* side : {"Left", "Right", "Top", "Bottom"})
    for (const char* part : {"TopHeight", "BotHeight", "Frame", "Stretch", "Trans"})
      keys.emplace_back("Personality", AnsiString(side) + part);
  for (const char* key : {"WindowText", "TitleTextActive", "TitleTextNoActive", "ButtonFace", "ButtonText",
                          "ButtonHilight", "Buttonlight", "ButtonShadow", "ButtonDkShadow", "HilightText", "Hilight",
                          "Menubar", "MenuBarText", "MenuText", "Menu", "Scrollbar"})
    keys.emplace_back("Colours", key);
  for (int i = 0; i < 10; ++i) keys.emplace_back("Customcolors", Format("Color%d", i));
  for (const char* button : {"Button0", "Button1", "Button2", "Button3", "Button4"})
    for (const char* key : {"Action", "Align", "Xcoord", "Ycoord", "Visibility", "Visibility1", "CombineOp"})
      keys.emplace_back(button, key);
  for (const auto& k : keys) EXPECT_NE(FIni.ReadString(k.first, k.second, ""), "") << k.first << "/" << k.second;
}

// Every bitmap the INI names exists, and its strip divides into the frames
// its consumer cuts it into (side by side, or stacked for the borders).
TEST_F(HouseSkinContentTest, BitmapsDivideIntoTheirFrames) {
  const struct {
    const char* Section;
    const char* Key;
    int Frames;
    bool Stacked;
  } strips[] = {
      {"Buttons", "Bitmap", 5, false}, {"Buttons", "CheckButton", 12, false}, {"Buttons", "RadioButton", 8, false},
      {"Progress", "Bitmap", 2, false}, {"Progress.Chunk", "Image", 1, false}, {"Tabs", "Image", 5, false},
      {"Tabs", "Border", 1, false}, {"Tab.Pane", "Image", 1, false}, {"ComboButton", "Image", 4, false},
      {"SunkEdge", "Image", 4, false}, {"StatusBarEdges", "Image", 3, false}, {"Headerbar", "Image", 5, false},
      {"Scrollbar", "Image", 23, false}, {"HorzScrollThumb", "Image", 3, false}, {"VertScrollThumb", "Image", 3, false},
      {"HorzScroll", "Image", 4, false}, {"VertScroll", "Image", 4, false}, {"MenuBackground", "Image", 1, false},
      {"MenuItem", "Image", 5, false}, {"ExtraImages", "Image", 5, false}, {"Trackbar.ThumbHorz", "Image", 5, false},
      {"Trackbar.ThumbVert", "Image", 5, false}, {"Trackbar.ThumbLeft", "Image", 5, false},
      {"Trackbar.ThumbRight", "Image", 5, false}, {"Trackbar.ThumbUp", "Image", 5, false},
      {"Trackbar.ThumbDown", "Image", 5, false}, {"Track", "Image", 1, false}, {"TRACKVERT", "Image", 1, false},
      {"MDICONTROLS", "Image", 12, false}, {"UpDown.Vert", "Image", 8, false}, {"UpDown.Vert", "GlyphImage", 8, false},
      {"UpDown.Horz", "Image", 8, false}, {"UpDown.Horz", "GlyphImage", 8, false}, {"GroupBoxEdge", "Image", 2, false},
      {"GroupBox", "Image", 1, false}, {"ToolBars", "Image", 5, false}, {"Button0", "ButtonImage", 4, false},
      {"Button1", "ButtonImage", 4, false}, {"Button2", "ButtonImage", 4, false}, {"Button3", "ButtonImage", 4, false},
      {"Personality", "Left", 2, false}, {"Personality", "Right", 2, false}, {"Personality", "Top", 2, true},
      {"Personality", "Bottom", 2, true}, {"Personality", "TextBack", 2, true}, {"Personality", "menuBar", 2, true},
      {"MinCaption", "Image", 2, false},
  };
  for (const auto& s : strips) {
    SCOPED_TRACE(::testing::Message() << s.Section << "/" << s.Key);
    int width = 0, height = 0;
    BitmapSize(s.Section, s.Key, width, height);
    EXPECT_EQ((s.Stacked ? height : width) % s.Frames, 0);
  }
  // The caption buttons give their frame count: a strip this wide would
  // otherwise be taken for six frames.
  EXPECT_EQ(FIni.ReadInteger("Button0", "frame", 0), 4);
  EXPECT_EQ(FIni.ReadString("Button4", "ButtonImage", ""), "");
  // The border margins fit inside one frame.
  int width = 0, height = 0;
  BitmapSize("Personality", "Top", width, height);
  EXPECT_LT(FIni.ReadInteger("Personality", "TopTopHeight", 0) + FIni.ReadInteger("Personality", "TopBotHeight", 0), width);
}

}  // namespace
