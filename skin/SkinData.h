// TSkinData: the component an application places on a form to skin the
// whole process. It carries a skin package in the form ("SkinStream") or
// loads one from a file, turns the package's INI and bitmaps into skin
// objects and a colour table, holds the options that decide which windows
// and controls are skinned, and starts the window-creation manager
// (SkinManage.h) that attaches the skinners.
//
// A load is all or nothing: the objects of a new skin replace the old ones
// only when the package, every bitmap entry and the INI were read; a failed
// load keeps the previous skin and remembers why (LoadError).
#pragma once

#include "platform/Component.h"
#include "platform/Graphics.h"
#include "platform/Stream.h"
#include "platform/StringList.h"
#include "skin/SkinObjects.h"
#include "skin/SkinSections.h"

#include <array>
#include <memory>
#include <vector>

class TControl;
class TCustomImageList;
class THintWindow;
class TSkinData;
class TWinControl;

enum class TSkinControlType {
  xcMainMenu, xcPopupMenu, xcMenuItem, xcToolbar, xcControlbar, xcCombo, xcCheckBox, xcRadioButton, xcProgress,
  xcScrollbar, xcEdit, xcButton, xcBitBtn, xcSpeedButton, xcSpin, xcPanel, xcGroupBox, xcStatusBar, xcTab,
  xcTrackBar, xcSystemMenu, xcFastReport
};
using enum TSkinControlType;
using TSkinControlTypes = TSet<TSkinControlType, 22>;

enum class TSkinOption {
  xoMDIScrollbar, xoMenuMerge, xoTransparent, xoPreview, xoParentBackGround, xoNoFocusRect, xoToolbarBK,
  xoToolbarButton, xoMDIChildBorder, xoMenuBG, xoCaptionButtonHint, xoFormScrollbar
};
using enum TSkinOption;
using TSkinOptions = TSet<TSkinOption, 12>;

// Which windows a skin data serves: every window of the process, its owner
// form only, message boxes and dialogs, or another module's windows.
enum class TSkinFormType { sfMainform, sfOnlyThisForm, sfDialog, sfDLL };
using enum TSkinFormType;

using TOnFormSkin = TEvent<void(TObject* Sender, const AnsiString& aName, bool& DoSkin)>;
using TOnSkinControl = TEvent<void(TComponent* Sender, TSkinData* SkinData, TWinControl* Form, TControl* Control,
                                   const AnsiString& ControlClass, TComponent*& SkinnedControl)>;
using TOnSkinForm = TEvent<void(TObject* Sender, HWND ahwnd, const AnsiString& aName)>;

// Raised by SkinFile at run time when the file holds no readable skin.
class ESkinError : public Exception { public: using Exception::Exception; };

// The largest bitmap entry a skin may hold, and all its entries together,
// in pixels: a BMP header can claim a picture far larger than its file.
constexpr uint64_t MaxSkinBitmapPixels = 4u * 1024 * 1024;
constexpr uint64_t MaxSkinTotalPixels = 16u * 1024 * 1024;

// Everything one load makes.
struct TSkinContent {
  TSkinContent();
  ~TSkinContent();
  std::unique_ptr<TDataSkinButton> Buttons;
  std::unique_ptr<TDataSkinTitle> Title;
  std::array<std::unique_ptr<TDataSkinBorder>, 4> Borders;                     // by TSkinBorderSide
  std::array<std::unique_ptr<TDataSkinObject>, SkinObjectCount> Objects;     // null when absent
  std::vector<std::unique_ptr<TDataSkinSysButton>> CaptionButtons;
  std::array<TColor, SkinColourCount> Colors{};
  std::array<bool, SkinColourCount> ColorGiven{};
  std::vector<TColor> NumberedColors;
  std::array<TColor, 10> CustomColors{};
  AnsiString SkinName;
};

class TSkinData : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TSkinData(TComponent* AOwner);
  ~TSkinData() override;
  void BeforeDestruction() override;
  void Loaded() override;
  void DefineProperties(TFiler* filer) override;

  // -- Published properties.
  bool Active() const { return FActive; }
  void SetActive(bool value);
  int DisableTag() const { return FDisableTag; }
  void SetDisableTag(int value) { FDisableTag = value; }
  TSkinControlTypes SkinControls() const { return FSkinControls; }
  void SetSkinControls(TSkinControlTypes value) { FSkinControls = value; }
  TSkinOptions Options() const { return FOptions; }
  void SetOptions(TSkinOptions value) { FOptions = value; }
  // Lines "class name=skinner kind" for controls the engine does not know.
  TStringList* Skin3rd() const { return FSkin3rd.get(); }
  void SetSkin3rd(TStrings* value);
  const AnsiString& SkinFile() const { return FSkinFile; }
  // At run time an existing file replaces the package and is applied;
  // raises ESkinError (the skin stays) when it holds no readable skin.
  void SetSkinFile(const AnsiString& value);
  // "(Good)" at design time with a stored package, else "(none)".
  AnsiString SkinStore() const;
  void SetSkinStore(const AnsiString&) {}
  TSkinFormType SkinFormtype() const { return FSkinFormtype; }
  void SetSkinFormtype(TSkinFormType value) { FSkinFormtype = value; }
  AnsiString Version() const { return "5.40.07.15"; }
  void SetVersion(const AnsiString&) {}
  bool MenuUpdate() const { return FMenuUpdate; }
  void SetMenuUpdate(bool value) { FMenuUpdate = value; }
  bool MenuMerge() const { return FMenuMerge; }
  void SetMenuMerge(bool value) { FMenuMerge = value; }

  TOnFormSkin OnFormSkin;
  TNotifyEvent OnSkinChanged;
  TOnSkinControl OnSkinControl;
  TOnSkinForm OnBeforeSkinForm;
  TOnSkinForm OnAfterSkinForm;

  // -- Loading.
  // Reads the stored package; false (and LoadError set) when it holds no
  // readable skin, the previous skin then stays. Does nothing at design time.
  bool LoadSkin();
  // The reason the last load failed; empty after a successful one.
  const AnsiString& LoadError() const { return FLoadError; }
  // The stored package bytes ("SkinStream" without its length).
  const TMemoryStream& Package() const { return FPackage; }
  void SetPackage(const AnsiString& bytes);
  // A new skin at run time: the manager's skinners re-read it and repaint.
  void ApplySkin();
  // True once a package has been read completely.
  bool SkinLoaded() const { return !FNotLoaded; }
  // While false the form skinner paints no frames (the class library is
  // rebuilding a changed menu).
  bool NCPainting() const { return FNCPainting; }
  void SetNCPainting(bool value) { FNCPainting = value; }

  // -- What the manager and the skinners ask.
  void DoFormSkin(HWND window, const AnsiString& className, bool& DoSkin);
  HWND FormSkinWindow() const { return FFormSkinWindow; }
  void DoSkinChanged();
  void ShowCaptionHint(const RECT& r, const AnsiString& text);
  void HideCaptionHint();
  bool CaptionHintShown() const { return FHintShown; }

  // -- The skin.
  TDataSkinButton* Buttons() const { return FSkin->Buttons.get(); }
  TDataSkinTitle* Title() const { return FSkin->Title.get(); }
  TDataSkinBorder* Border(TSkinBorderSide side) const { return FSkin->Borders[static_cast<size_t>(side)].get(); }
  // An optional object, or null when the skin has none.
  TDataSkinObject* Object(TSkinObjectId id) const { return FSkin->Objects[static_cast<size_t>(id)].get(); }
  TDataSkinBorder* Tabs() const { return static_cast<TDataSkinBorder*>(Object(soTabs)); }
  TDataSkinBorder* ComboButton() const { return static_cast<TDataSkinBorder*>(Object(soComboButton)); }
  TDataSkinBorder* UpDownHorz() const { return static_cast<TDataSkinBorder*>(Object(soUpDownHorz)); }
  TDataSkinBorder* UpDownVert() const { return static_cast<TDataSkinBorder*>(Object(soUpDownVert)); }
  TDataSkinBoxLabel* GroupBox() const { return static_cast<TDataSkinBoxLabel*>(Object(soGroupBox)); }
  const std::vector<std::unique_ptr<TDataSkinSysButton>>& CaptionButtons() const { return FSkin->CaptionButtons; }
  // The colour table (slots in SkinSections.h) and whether the skin gave a slot.
  TColor Colors(int slot) const { return FSkin->Colors.at(static_cast<size_t>(slot)); }
  bool ColorGiven(int slot) const { return FSkin->ColorGiven.at(static_cast<size_t>(slot)); }
  const std::vector<TColor>& NumberedColors() const { return FSkin->NumberedColors; }
  TColor CustomColors(int index) const { return FSkin->CustomColors.at(static_cast<size_t>(index)); }
  const AnsiString& SkinName() const { return FSkin->SkinName; }
  // A solid brush of the ButtonFace colour (owned).
  HBRUSH ButtonFaceBrush() const { return static_cast<HBRUSH>(FButtonFaceBrush.Get()); }
  // The colour the tool-bar background is mixed from: a pixel of the Top
  // border's image, ButtonFace without one.
  TColor BaseColour() const;
  TBitmap* AppIcon() const { return FAppIcon.get(); }
  TBitmap* WorkBitmap() const { return FWorkBitmap.get(); }
  TFont* CaptionFont() const { return FCaptionFont.get(); }
  TCustomImageList* MenuGlyphs() const { return FMenuGlyphs.get(); }
  SIZE MaximizedSize() const { return FMaximizedSize; }
  // The application window's small icon on magenta, for caption icons.
  void BuildAppIcon();

private:
  void ReadSkinStream(TStream& stream);
  void WriteSkinStream(TStream& stream);
  void AddDefaultSkin3rd();
  void CreateCaptionFont();
  // Reads the package into a new content; raises on a damaged skin.
  std::unique_ptr<TSkinContent> ReadSkin(const TMemoryStream& package) const;
  void Commit(std::unique_ptr<TSkinContent> content);
  bool Designing() const { return ComponentState().Contains(csDesigning); }
  bool Reading() const { return ComponentState().Contains(csReading) || ComponentState().Contains(csLoading); }

  mutable TMemoryStream FPackage;  // Size() is not const
  bool FNotLoaded = true;
  bool FNCPainting = true;
  AnsiString FLoadError;
  std::unique_ptr<TSkinContent> FSkin;
  TGdiObject FButtonFaceBrush;
  std::unique_ptr<TBitmap> FAppIcon;
  std::unique_ptr<TBitmap> FWorkBitmap;
  std::unique_ptr<TFont> FCaptionFont;
  std::unique_ptr<THintWindow> FHint;
  bool FHintShown = false;
  std::unique_ptr<TCustomImageList> FMenuGlyphs;
  SIZE FMaximizedSize{};
  HWND FFormSkinWindow = nullptr;

  bool FActive = false;
  int FDisableTag = 99;
  TSkinControlTypes FSkinControls;
  TSkinOptions FOptions{xoPreview, xoToolbarBK, xoCaptionButtonHint};
  std::unique_ptr<TStringList> FSkin3rd;
  AnsiString FSkinFile;
  TSkinFormType FSkinFormtype = sfMainform;
  bool FMenuUpdate = true;
  bool FMenuMerge = false;
};

// -- Routines of the skin data's unit that the other skin units use.

// 8-bit text in the system code page as wide text.
std::wstring AnsiToWide(const AnsiString& text);
// `count` characters from `text`, or up to its terminator when count is -1.
std::wstring WideCopy(const wchar_t* text, int count);
// DrawText of wide text on the NT family, of the text converted to 8-bit
// otherwise; answers DrawText's result.
int SkinDrawText(HDC dc, const std::wstring& text, RECT& r, UINT format);
// The class library control of a window of this process, or null.
TWinControl* FindControlOfWindow(HWND wnd);
// GetScrollBarInfo when the system has it; false otherwise.
bool GetScrollBarInfoIfAny(HWND wnd, LONG objectId, SCROLLBARINFO& info);
// Asks for a WM_MOUSELEAVE when the system has TrackMouseEvent.
void TrackMouseLeave(HWND wnd);

// The user32 entries the engine binds at run time; null where the system
// lacks one (tests clear them to see the engine do without).
struct TSkinUser32Entries {
  BOOL(WINAPI* GetScrollBarInfo)(HWND, LONG, PSCROLLBARINFO) = nullptr;
  BOOL(WINAPI* TrackMouseEvent)(LPTRACKMOUSEEVENT) = nullptr;
  BOOL(WINAPI* GetComboBoxInfo)(HWND, PCOMBOBOXINFO) = nullptr;
  void(WINAPI* DisableProcessWindowsGhosting)() = nullptr;
};
TSkinUser32Entries& SkinUser32();
// Binds the entries (the unit's initialization).
void BindSkinUser32();

// The control atom of this module and thread ("ControlOfs" with the module
// instance and the thread id in hexadecimal), registered as a window message
// and a global atom by the unit's initialization; 0 outside it.
ATOM SkinControlAtom();
const AnsiString& SkinControlAtomString();
void InitControlAtom();
void DoneControlAtom();
