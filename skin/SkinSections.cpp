#include "skin/SkinSections.h"

#include "skin/package/SkinReader.h"

#include <algorithm>

const std::array<TSkinSectionInfo, 29> SkinImageSections = {{
    {soProgress, "Progress", skProgress, nullptr},
    {soProgressChunk, "Progress.Chunk", skImage, nullptr},
    {soGroupBoxEdge, "GroupBoxEdge", skImage, nullptr},
    {soGroupBox, "GroupBox", skBoxLabel, nullptr},
    {soTabs, "Tabs", skBorder, "Border"},
    {soStatusBarEdges, "StatusBarEdges", skImage, nullptr},
    {soTabPane, "Tab.Pane", skImage, nullptr},
    {soToolBars, "ToolBars", skImage, nullptr},
    // "****" names no key: the mirrored copy is made after reading.
    {soComboButton, "ComboButton", skBorder, "****"},
    {soSunkEdge, "SunkEdge", skImage, nullptr},
    {soExtraImages, "ExtraImages", skImage, nullptr},
    {soHeaderbar, "Headerbar", skImage, nullptr},
    {soMenuItem, "MenuItem", skImage, nullptr},
    {soMenuBackground, "MenuBackground", skImage, nullptr},
    {soScrollbar, "Scrollbar", skImage, nullptr},
    {soHorzScroll, "HorzScroll", skImage, nullptr},
    {soVertScroll, "VertScroll", skImage, nullptr},
    {soHorzScrollThumb, "HorzScrollThumb", skImage, nullptr},
    {soVertScrollThumb, "VertScrollThumb", skImage, nullptr},
    {soTrackThumbHorz, "Trackbar.ThumbHorz", skImage, nullptr},
    {soTrackThumbVert, "Trackbar.ThumbVert", skImage, nullptr},
    {soTrackThumbLeft, "Trackbar.ThumbLeft", skImage, nullptr},
    {soTrackThumbRight, "Trackbar.ThumbRight", skImage, nullptr},
    {soTrackThumbUp, "Trackbar.ThumbUp", skImage, nullptr},
    {soTrackThumbDown, "Trackbar.ThumbDown", skImage, nullptr},
    {soUpDownHorz, "UpDown.Horz", skBorder, "GlyphImage"},
    {soUpDownVert, "UpDown.Vert", skBorder, "GlyphImage"},
    {soTrack, "Track", skImage, nullptr},
    {soTrackVert, "TRACKVERT", skImage, nullptr},
}};

const char* SkinObjectName(TSkinObjectId id) {
  for (const TSkinSectionInfo& s : SkinImageSections)
    if (s.Id == id) return s.Section;
  switch (id) {
    case soMenuBar: return "menuBar";
    case soComboxArrow: return "ComboxArrow";
    case soToolbar: return "Toolbar";
    default: return "";
  }
}

TColor ParseRGB(const AnsiString& source) {
  const AnsiString text = Trim(source);
  unsigned parts[3] = {0, 0, 0};
  int completed = 0;
  bool inRun = false;
  unsigned run = 0;  // the current run modulo 256: only that part survives
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      run = (run * 10 + static_cast<unsigned>(c - '0')) & 0xFF;
      inRun = true;
      continue;
    }
    if (inRun && completed < 3) parts[completed] = run;
    if (inRun) ++completed;
    inRun = false;
    run = 0;
  }
  if (inRun && completed == 2) parts[2] = run;
  return parts[0] | (parts[1] << 8) | (parts[2] << 16);
}

namespace {

int32_t NotNegative(int32_t v) { return std::max<int32_t>(v, 0); }

// A colour key read with ParseRGB; false (and `out` untouched) when the key
// is missing or empty.
bool ReadRGB(const TQuickIni& ini, const AnsiString& section, const AnsiString& key, TColor& out) {
  const AnsiString value = ini.ReadString(section, key, AnsiString());
  if (value.empty()) return false;
  out = ParseRGB(value);
  return true;
}

// <name>R, <name>G, <name>B: a colour only when all three are 0 or more;
// each part is kept within its byte.
bool ReadRGBTriple(const TQuickIni& ini, const AnsiString& section, const AnsiString& name, TColor& out) {
  const int32_t r = ini.ReadInteger(section, name + "R", -1);
  const int32_t g = ini.ReadInteger(section, name + "G", -1);
  const int32_t b = ini.ReadInteger(section, name + "B", -1);
  if (r < 0 || g < 0 || b < 0) return false;
  out = static_cast<TColor>(r & 0xFF) | static_cast<TColor>(g & 0xFF) << 8 | static_cast<TColor>(b & 0xFF) << 16;
  return true;
}

void ReadMargins(const TQuickIni& ini, const AnsiString& section, TSkinImageKeys& k) {
  k.LeftWidth = NotNegative(ini.ReadInteger(section, "LeftWidth", 0));
  k.RightWidth = NotNegative(ini.ReadInteger(section, "RightWidth", 0));
  k.TopHeight = NotNegative(ini.ReadInteger(section, "TopHeight", 0));
  k.BottomHeight = NotNegative(ini.ReadInteger(section, "BottomHeight", 0));
}

void ReadTextColours(const TQuickIni& ini, const AnsiString& section, TSkinImageKeys& k) {
  k.NormalColour = ini.ReadInteger(section, "NormalColour", -1);
  k.MouseOverColour = ini.ReadInteger(section, "MouseOverColour", -1);
  k.PressedColour = ini.ReadInteger(section, "PressedColour", -1);
  k.HasNormalColour2 = ReadRGB(ini, section, "NormalColour2", k.NormalColour2);
  k.HasMouseOverColour2 = ReadRGB(ini, section, "MouseOverColour2", k.MouseOverColour2);
  k.HasPressedColour2 = ReadRGB(ini, section, "PressedColour2", k.PressedColour2);
}

bool StartsWith(const AnsiString& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

}  // namespace

TSkinImageKeys ReadSkinImageKeys(const TQuickIni& ini, const AnsiString& section, TSkinSectionKind kind,
                                 const AnsiString& secondImageKey) {
  TSkinImageKeys k;
  const bool bitmapKey = kind == skProgress || kind == skButtons;
  k.Image = ini.ReadString(section, bitmapKey ? "Bitmap" : "Image", AnsiString());
  if (kind != skButtons) k.Style = ini.ReadInteger(section, "Style", 0);
  ReadMargins(ini, section, k);
  if (kind == skImage) k.Frame = ini.ReadInteger(section, "Frame", 0);
  k.Trans = ini.ReadInteger(section, "Trans", 0);
  k.Tile = ini.ReadInteger(section, "Tile", 0);
  // The progress bar stretches or tiles; other images fill their middle
  // with a mode 0 or 1 and read a larger value as stretching.
  if (k.Tile > 1) k.Tile = kind == skProgress ? 1 : 0;
  if (kind != skProgress) ReadTextColours(ini, section, k);
  if (kind == skBorder && !secondImageKey.empty()) k.SecondImage = ini.ReadString(section, secondImageKey, AnsiString());
  if (kind == skBoxLabel) {
    k.BackgroundAlignment = ini.ReadInteger(section, "BackgroundAlignment", 0);
    k.BackgroundLeftShift = ini.ReadInteger(section, "BackgroundLeftShift", 0);
    k.BackgroundRightShift = ini.ReadInteger(section, "BackgroundRightShift", 0);
  }
  if (kind == skButtons) {
    k.CheckButton = ini.ReadString(section, "CheckButton", AnsiString());
    k.RadioButton = ini.ReadString(section, "RadioButton", AnsiString());
    // 0 derives the count from the image; a negative count is one frame.
    const auto count = [](int32_t v) { return v < 0 ? 1 : v; };
    k.RadioButtonFrame = count(ini.ReadInteger(section, "RadioButtonFrame", 0));
    k.CheckButtonFrame = count(ini.ReadInteger(section, "CheckButtonFrame", 0));
  }
  return k;
}

const char* SkinBorderName(TSkinBorderSide side) {
  static const char* const names[4] = {"Left", "Right", "Top", "Bottom"};
  return names[static_cast<int>(side)];
}

TSkinBorderKeys ReadSkinBorderKeys(const TQuickIni& ini, TSkinBorderSide side) {
  const AnsiString name = SkinBorderName(side);
  TSkinBorderKeys k;
  k.Image = ini.ReadString("Personality", name, AnsiString());
  k.TopHeight = NotNegative(ini.ReadInteger("Personality", name + "TopHeight", 0));
  k.BotHeight = NotNegative(ini.ReadInteger("Personality", name + "BotHeight", 0));
  // The frame metrics divide the image by its frame count.
  k.Frame = std::max<int32_t>(ini.ReadInteger("Personality", name + "Frame", 1), 1);
  k.Stretch = std::min<int32_t>(ini.ReadInteger("Personality", name + "Stretch", 1), 1);
  k.Trans = ini.ReadInteger("Personality", name + "Trans", 1);
  return k;
}

TSkinTitleKeys ReadSkinTitleKeys(const TQuickIni& ini) {
  TSkinTitleKeys k;
  const char* p = "Personality";
  k.TextBack = ini.ReadString(p, "TextBack", AnsiString());
  k.TextShift = ini.ReadInteger(p, "TextShift", 0);
  k.TextShiftVert = ini.ReadInteger(p, "TextShiftVert", 0);
  k.TextRightClip = ini.ReadInteger(p, "TextRightClip", 0);
  k.TextAlignment = ini.ReadInteger(p, "TextAlignment", 0);
  k.Textbackground = ini.ReadInteger(p, "Textbackground", 0);
  k.TXTBackleft = ini.ReadInteger(p, "TXTBackleft", 0);
  k.TXTBackRight = ini.ReadInteger(p, "TXTBackRight", 0);
  k.FontHeight = ini.ReadInteger("Fonts", "FontHeight", 14);
  k.HasActiveText = ReadRGBTriple(ini, p, "ActiveText", k.ActiveText);
  k.HasInactiveText = ReadRGBTriple(ini, p, "InActiveText", k.InactiveText);
  return k;
}

TSkinMenuBarKeys ReadSkinMenuBarKeys(const TQuickIni& ini) {
  TSkinMenuBarKeys k;
  k.Image = ini.ReadString("Personality", "menuBar", AnsiString());
  k.Tile = std::min<int32_t>(ini.ReadInteger("Personality", "TileMenu", 1), 1);
  k.LeftWidth = NotNegative(ini.ReadInteger("Personality", "TileLeftMenu", 1));
  k.RightWidth = NotNegative(ini.ReadInteger("Personality", "TileRightMenu", 1));
  return k;
}

std::vector<TSkinCaptionButtonKeys> ReadSkinCaptionButtonKeys(const TQuickIni& ini,
                                                              const std::vector<AnsiString>& sections) {
  std::vector<AnsiString> kept;
  for (const AnsiString& section : sections) {
    const AnsiString upper = UpperCase(section);
    if (!StartsWith(upper, "BUTTON") || upper == "BUTTON" || upper == "BUTTONS" || upper == "BUTTON.RADIO" ||
        upper == "BUTTON.CHECKBOX")
      continue;
    if (ini.ReadInteger(section, "Action", 0) == -1 && ini.ReadInteger(section, "Visibility", -1) != 0) continue;
    kept.push_back(section);
    if (static_cast<int>(kept.size()) > MaxSkinCaptionButtons)
      throw ESkinPackageError(Format("The skin has more than %d caption buttons", MaxSkinCaptionButtons));
  }
  std::vector<TSkinCaptionButtonKeys> buttons;
  bool remembered = false;
  int32_t rememberedX = 0, rememberedY = 0;
  for (const AnsiString& section : kept) {
    TSkinCaptionButtonKeys b;
    b.Name = UpperCase(section);
    b.Image = ini.ReadString(section, "ButtonImage", AnsiString());
    b.Action = ini.ReadInteger(section, "Action", 0);
    b.Align = ini.ReadInteger(section, "Align", 0);
    b.XCoord = ini.ReadInteger(section, "Xcoord", 0);
    b.YCoord = ini.ReadInteger(section, "Ycoord", 0);
    b.Visibility = ini.ReadInteger(section, "Visibility", 0);
    b.Visibility1 = ini.ReadInteger(section, "Visibility1", b.Action == -1 ? -1 : 0);
    b.CombineOp = ini.ReadInteger(section, "CombineOp", -1);
    b.Frame = NotNegative(ini.ReadInteger(section, "frame", 0));
    // A help button stands where a maximize button shown only while the
    // window is not maximized stood.
    if (b.Action == 1 && b.Visibility == 2) {
      remembered = true;
      rememberedX = b.XCoord;
      rememberedY = b.YCoord;
    } else if (b.Action == 4 && remembered) {
      b.XCoord = rememberedX;
      b.YCoord = rememberedY;
    }
    buttons.push_back(b);
  }
  return buttons;
}

int32_t SkinCaptionButtonFrames(int32_t frameKey, int32_t action, int32_t width, int32_t height) {
  if (frameKey > 0) return frameKey;
  if (width <= 0 || height <= 0 || action < 0) return 6;
  // Up to 3.8 times as wide as high: three frames, else six.
  return static_cast<int64_t>(width) * 10 <= static_cast<int64_t>(height) * 38 ? 3 : 6;
}

TSkinColourKeys ReadSkinColourKeys(const TQuickIni& ini, const std::vector<AnsiString>& sections) {
  TSkinColourKeys k;
  struct Slot {
    int Index;
    const char* Key;
    TColor Default;
  };
  // In the order the slots are read: Menubar takes ButtonFace as read.
  const Slot slots[] = {
      {ccWindowText, "WindowText", clWindowText},       {ccButtonFace, "ButtonFace", clBtnFace},
      {ccScrollbar, "Scrollbar", clScrollBar},          {ccHilightText, "HilightText", clHighlightText},
      {ccHilight, "Hilight", clHighlight},              {ccMenubar, "Menubar", 0},
      {ccMenu, "Menu", clMenu},                         {ccMenuText, "MenuText", clMenuText},
      {ccButtonText, "ButtonText", clBtnText},          {ccButtonHilight, "ButtonHilight", clBtnHighlight},
      {ccButtonlight, "Buttonlight", clBtnHighlight},   {ccButtonShadow, "ButtonShadow", clBtnShadow},
      {ccButtonDkShadow, "ButtonDkShadow", cl3DDkShadow}, {ccMenuBarText, "MenuBarText", clMenuText},
      {ccTitleTextActive, "TitleTextActive", clCaptionText},
      {ccTitleTextNoActive, "TitleTextNoActive", clInactiveCaptionText},
  };
  for (const Slot& s : slots) {
    const TColor fallback = s.Index == ccMenubar ? k.Colours[ccButtonFace] : s.Default;
    k.Given[s.Index] = ReadRGB(ini, "Colours", s.Key, k.Colours[s.Index]);
    if (!k.Given[s.Index]) k.Colours[s.Index] = fallback;
  }
  k.Colours[ccBaseColour] = k.Colours[ccButtonFace];  // replaced once the images are read
  for (const AnsiString& section : sections) {
    const AnsiString upper = UpperCase(section);
    if (!StartsWith(upper, "COLOUR") || upper == "COLOURS") continue;
    TColor c = clWindowText;
    ReadRGB(ini, section, "color", c);
    k.Numbered.push_back(c);
  }
  for (int i = 0; i < 10; ++i) {
    k.Custom[i] = clWhite;
    ReadRGB(ini, "Customcolors", Format("Color%d", i), k.Custom[i]);
  }
  return k;
}

TSkinIniKeys ReadSkinIniKeys(const TQuickIni& ini) {
  TSkinIniKeys k;
  ini.ReadSections(k.Sections);
  k.SkinName = ini.ReadString("TitlebarSkin", "SkinName", AnsiString());
  for (int side = 0; side < 4; ++side) k.Borders[side] = ReadSkinBorderKeys(ini, static_cast<TSkinBorderSide>(side));
  k.Colours = ReadSkinColourKeys(ini, k.Sections);
  k.CaptionButtons = ReadSkinCaptionButtonKeys(ini, k.Sections);
  k.MDIControlsImage = ini.ReadString("MDICONTROLS", "Image", AnsiString());
  k.Buttons = ReadSkinImageKeys(ini, "Buttons", skButtons);
  k.Title = ReadSkinTitleKeys(ini);
  k.MenuBar = ReadSkinMenuBarKeys(ini);
  for (const TSkinSectionInfo& s : SkinImageSections) {
    TSkinImageKeys& keys = k.Images[static_cast<size_t>(s.Id)];
    keys = ReadSkinImageKeys(ini, s.Section, s.Kind, s.SecondImage ? s.SecondImage : "");
    if (s.Id == soTabPane) {
      keys.LeftWidth = std::min<int32_t>(keys.LeftWidth, 4);
      keys.TopHeight = std::min<int32_t>(keys.TopHeight, 4);
      keys.RightWidth = std::min<int32_t>(keys.RightWidth, 4);
      keys.BottomHeight = std::min<int32_t>(keys.BottomHeight, 4);
    }
  }
  k.HorzThumbFrames = std::max<int32_t>(ini.ReadInteger("HorzScrollThumb", "FrameCount", 3), 1);
  k.VertThumbFrames = std::max<int32_t>(ini.ReadInteger("VertScrollThumb", "FrameCount", 3), 1);
  return k;
}
