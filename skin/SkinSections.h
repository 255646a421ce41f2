// The INI side of a skin: which section and key gives which setting of the
// skin objects, with the defaults, the limits and the colour parsing. The
// skin data component (SkinData.h) turns these records into bitmaps and skin
// objects; everything here works on the text alone. Portable: no Windows
// headers, fuzzed natively with the package reader.
#pragma once

#include "platform/Colors.h"
#include "skin/package/QuickIni.h"

#include <array>
#include <cstdint>
#include <vector>

// The skin objects that exist only when their section gives an image, in
// the order a load reads them. The built objects (combo arrow, tool-bar
// background) come last.
enum class TSkinObjectId {
  soProgress, soProgressChunk, soGroupBoxEdge, soGroupBox, soTabs, soStatusBarEdges, soTabPane, soToolBars,
  soComboButton, soSunkEdge, soExtraImages, soHeaderbar, soMenuItem, soMenuBackground, soScrollbar, soHorzScroll,
  soVertScroll, soHorzScrollThumb, soVertScrollThumb, soTrackThumbHorz, soTrackThumbVert, soTrackThumbLeft,
  soTrackThumbRight, soTrackThumbUp, soTrackThumbDown, soUpDownHorz, soUpDownVert, soTrack, soTrackVert,
  soMenuBar, soComboxArrow, soToolbar,
  Count
};
using enum TSkinObjectId;
constexpr int SkinObjectCount = static_cast<int>(TSkinObjectId::Count);

// How a section is read: the plain image keys, a border object (a second
// image, no Frame key), the progress bar, the group box label, or the
// Buttons section.
enum class TSkinSectionKind { skImage, skBorder, skProgress, skBoxLabel, skButtons };
using enum TSkinSectionKind;

struct TSkinSectionInfo {
  TSkinObjectId Id;
  const char* Section;       // also the object's Name
  TSkinSectionKind Kind;
  const char* SecondImage;   // border objects: the key of the second image
};
// The sections read into optional objects, in reading order (the menu bar
// and the built objects are not among them).
extern const std::array<TSkinSectionInfo, 29> SkinImageSections;
// The section name of an object (the built ones: "ComboxArrow", "Toolbar").
const char* SkinObjectName(TSkinObjectId id);

// A caption-button section beyond this count rejects the skin: the form
// skinner keeps one object per button and walks them on every mouse move.
constexpr int MaxSkinCaptionButtons = 64;

// ParseRGB's colour from "R G B" text: runs of decimal digits, the first
// three completed runs red, green and blue; a run still open at the end of
// the text counts only as a third (blue) one; each part modulo 256.
TColor ParseRGB(const AnsiString& text);

// The keys of one image section, margins at least 0 and tile modes reduced
// as the section's kind says. An object exists only when Image is not empty.
struct TSkinImageKeys {
  AnsiString Image;         // bitmap entry ("Image", or "Bitmap" for Progress and Buttons)
  AnsiString SecondImage;   // border objects
  int32_t Style = 0;
  int32_t LeftWidth = 0, TopHeight = 0, RightWidth = 0, BottomHeight = 0;
  int32_t Frame = 0;        // the Frame key; 0 when not given
  int32_t Trans = 0;
  int32_t Tile = 0;
  int32_t NormalColour = -1, MouseOverColour = -1, PressedColour = -1;
  bool HasNormalColour2 = false, HasMouseOverColour2 = false, HasPressedColour2 = false;
  TColor NormalColour2 = 0, MouseOverColour2 = 0, PressedColour2 = 0;
  // The group box label.
  int32_t BackgroundAlignment = 0, BackgroundLeftShift = 0, BackgroundRightShift = 0;
  // The Buttons section: check-box and radio-button images and their frame
  // counts (0: derived from the image).
  AnsiString CheckButton, RadioButton;
  int32_t CheckButtonFrame = 0, RadioButtonFrame = 0;
};
TSkinImageKeys ReadSkinImageKeys(const TQuickIni& ini, const AnsiString& section, TSkinSectionKind kind,
                                 const AnsiString& secondImageKey = AnsiString());

// One frame border of the Personality section.
enum class TSkinBorderSide { bsLeftBorder, bsRightBorder, bsTopBorder, bsBottomBorder };
struct TSkinBorderKeys {
  AnsiString Image;
  int32_t TopHeight = 0, BotHeight = 0;  // margins along the border
  int32_t Frame = 1;                     // at least 1
  int32_t Stretch = 1;                   // 1 stretches the middle, else tiles
  int32_t Trans = 1;
};
TSkinBorderKeys ReadSkinBorderKeys(const TQuickIni& ini, TSkinBorderSide side);
const char* SkinBorderName(TSkinBorderSide side);  // "Left", "Right", "Top", "Bottom"

// The caption settings (Personality and Fonts).
struct TSkinTitleKeys {
  AnsiString TextBack;
  int32_t TextShift = 0, TextShiftVert = 0, TextRightClip = 0;
  int32_t TextAlignment = 0, Textbackground = 0, TXTBackleft = 0, TXTBackRight = 0;
  int32_t FontHeight = 14;
  bool HasActiveText = false, HasInactiveText = false;
  TColor ActiveText = 0, InactiveText = 0;
};
TSkinTitleKeys ReadSkinTitleKeys(const TQuickIni& ini);

// The menu bar image of the Personality section.
struct TSkinMenuBarKeys {
  AnsiString Image;
  int32_t Tile = 1;                       // TileMenu, reduced to 0 or 1
  int32_t LeftWidth = 1, RightWidth = 1;  // TileLeftMenu, TileRightMenu
};
TSkinMenuBarKeys ReadSkinMenuBarKeys(const TQuickIni& ini);

// One caption-button section.
struct TSkinCaptionButtonKeys {
  AnsiString Name;    // the section name in capitals
  AnsiString Image;   // ButtonImage
  int32_t Action = 0, Align = 0, XCoord = 0, YCoord = 0, Visibility = 0, Visibility1 = 0, CombineOp = -1;
  int32_t Frame = 0;  // the frame key; 0 when not given, never negative
};
// The caption-button sections among `sections`, in order, with the shared
// position of a maximize-or-restore pair handed to a help button. Raises
// ESkinPackageError for more than MaxSkinCaptionButtons of them.
std::vector<TSkinCaptionButtonKeys> ReadSkinCaptionButtonKeys(const TQuickIni& ini,
                                                              const std::vector<AnsiString>& sections);
// The frame count of a caption button's image of `width` x `height` (0 x 0:
// no image) from its frame key.
int32_t SkinCaptionButtonFrames(int32_t frameKey, int32_t action, int32_t width, int32_t height);

// Slots of the colour table.
constexpr int SkinColourCount = 19;
constexpr int ccWindowText = 0, ccTitleTextActive = 1, ccTitleTextNoActive = 2, ccButtonFace = 3,
              ccButtonText = 4, ccButtonHilight = 5, ccButtonlight = 6, ccButtonShadow = 7, ccButtonDkShadow = 8,
              ccHilightText = 11, ccHilight = 12, ccMenubar = 13, ccMenuBarText = 14, ccMenuText = 15, ccMenu = 16,
              ccBaseColour = 17, ccScrollbar = 18;
// The colour table as the skin gives it; slots the skin leaves out hold
// their system colour (slot 13 the ButtonFace slot's value).
struct TSkinColourKeys {
  std::array<TColor, SkinColourCount> Colours{};
  std::array<bool, SkinColourCount> Given{};
  std::vector<TColor> Numbered;          // the ColourN sections, in order
  std::array<TColor, 10> Custom{};       // Customcolors Color0..Color9
};
TSkinColourKeys ReadSkinColourKeys(const TQuickIni& ini, const std::vector<AnsiString>& sections);

// Everything a load reads from the INI, section by section.
struct TSkinIniKeys {
  std::vector<AnsiString> Sections;
  AnsiString SkinName;
  std::array<TSkinBorderKeys, 4> Borders;
  TSkinColourKeys Colours;
  std::vector<TSkinCaptionButtonKeys> CaptionButtons;
  AnsiString MDIControlsImage;
  TSkinImageKeys Buttons;
  TSkinTitleKeys Title;
  TSkinMenuBarKeys MenuBar;
  // Indexed by TSkinObjectId for the sections of SkinImageSections.
  std::array<TSkinImageKeys, SkinObjectCount> Images;
  int32_t HorzThumbFrames = 3, VertThumbFrames = 3;  // FrameCount keys, at least 1
};
TSkinIniKeys ReadSkinIniKeys(const TQuickIni& ini);
