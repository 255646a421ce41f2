// TWinSkinForm: skins one top-level window (a form of the class library, a
// dialog box, a message box or an MDI child). The manager (SkinManage.h)
// makes one per accepted window. It puts its own procedure in front of the
// window's (and, for a form, in front of the form's WindowProc), takes over
// the non-client area's size from the skin's frame borders, keeps the
// client area's size across attaching and undoing, re-applies a new skin on
// request, and can give the window back its native look.
//
// The window procedure runs in three stages: the first for every window
// (the engine's private messages, erasing, destruction), the second for MDI
// children and windows without WS_CHILD (size, activation, system
// commands), the third once the window is initialised (non-client area).
//
// The non-client side (WinSkinFrame.cpp): the four frame borders, the
// caption with its text and icon, the caption buttons (TWinSysButton) with
// their hot and pressed looks, hints and actions, hit testing, and the
// window region cut from the borders' transparent pixels. The menu bar and
// the replacement system menu are in WinSkinMenu.h; the owner-drawn menu
// items in WinSkinMenuItems.cpp.
#pragma once

#include "platform/Component.h"
#include "platform/ExtCtrls.h"
#include "platform/Graphics.h"
#include "platform/WindowSubclass.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TBitmap;
class TCanvas;
class TCustomForm;
class TCustomImageList;
class TDataSkinSysButton;
class TMenuItem;
class TPopupMenu;
class TControl;
class TSkinControl;
class TSkinData;
class TWinControl;
class TWinSkinForm;
class TWinSkinMenu;

// A part of the non-client area that follows the mouse: a caption button or
// a menu-bar item. Bounds are in window coordinates (the frame's top-left
// is 0, 0).
class TNCObject : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TNCObject(TWinSkinForm* form) : FForm(form) {}

  TWinSkinForm* FormSkinner() const { return FForm; }
  RECT Bounds{};
  bool Visible = false;
  int State = 1;  // 1 normal, 2 pressed, 3 hot, 4 disabled or inactive
  bool Enabled = true;

  // The mouse went down on it: another hot object leaves, this one is hot
  // and pressed.
  virtual void MouseDown();
  virtual void MouseUp();
  // The mouse came over it: another hot object leaves first.
  virtual void MouseEnter();
  virtual void MouseLeave();
  // Repaints it in its state, straight into the window.
  virtual void Paint() = 0;

protected:
  TWinSkinForm* FForm;
};

// One caption button: the skin's caption-button object of that index.
class TWinSysButton : public TNCObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TWinSysButton(TWinSkinForm* form, int index) : TNCObject(form), FIndex(index) {}
  // The skin's object, or null once the skin has fewer buttons.
  TDataSkinSysButton* Data() const;
  int Index() const { return FIndex; }
  void Paint() override;

private:
  int FIndex;
};

// What drawing a menu item needs, from a class library item or from an item
// of a native menu.
struct TSkinMenuItemLook {
  AnsiString Caption;  // "-" for a separator
  bool Enabled = true;
  bool Checked = false;
  bool Default = false;
  bool RadioItem = false;
  int ImageIndex = -1;
  TCustomImageList* Images = nullptr;
  AnsiString ShortCut;  // as the class library shows it
  bool RightToLeft = false;
  bool IsLine() const { return Caption == "-"; }
};
TSkinMenuItemLook MenuItemLook(TMenuItem* item);
// An item's glyph cell (its image, or the check mark), caption and shortcut
// drawn into `r`, left to right or mirrored.
void DrawMenuItemContent(TWinSkinForm* form, const TSkinMenuItemLook& item, TCanvas* canvas, bool selected,
                         const RECT& r);
// One text of an item in its colours (a default item bold); "-" draws an
// etched line 4 pixels below the top.
void DrawMenuItemText(TWinSkinForm* form, const TSkinMenuItemLook& item, TCanvas* canvas, UINT format, bool selected,
                      RECT& r, const AnsiString& text);

// When a caption button shows: the window's state as the visibility codes
// read it.
struct TCaptionButtonContext {
  bool Maximized = false;
  bool Active = true;
  bool MinimizeBox = false;
  bool MaximizeBox = false;
  bool SystemMenu = false;
  bool HelpBox = false;
  bool Dialog = false;
  int BorderKind = 0;
  // An MDI frame whose active child is maximized, with a menu bar.
  bool MDIMaximizedWithMenu = false;
  // The window's answer to the visibility question (codes 1000 to 2000).
  std::function<bool(int code)> Ask;
};
// One visibility code of a caption button: `second` reads it as Visibility1.
bool CaptionButtonCondition(int code, bool second, const TCaptionButtonContext& c);
// The hint of a caption button's action ("Close", "Maximize", "Minimize",
// "Restore"), empty for the others.
AnsiString CaptionButtonHintText(int action);

class TWinSkinForm : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // Owned by the form it skins, or by nobody (the manager frees it).
  explicit TWinSkinForm(TComponent* AOwner);
  ~TWinSkinForm() override;

  // Border kinds, show states, MDI roles and skinner states.
  enum TBorderKind { bkSizeable = 0, bkSingle = 1, bkNone = 2, bkDialog = 3 };
  enum TShowState { ssNormal = 0, ssMaximized = 1, ssMinimized = 2 };
  enum TMDIRole { mrNone = 0, mrFrame = 1, mrChild = 2 };
  enum TSkinState { stAttached = 0, stNormal = 1, stApplying = 3, stDestroying = 4, stFirstLayout = 5, stClosed = 6 };
  // Capability flags.
  static constexpr int cfMaximize = 1, cfMinimize = 2, cfHelp = 4, cfSystemMenu = 8, cfKeepSysMenu = 0x10;

  // The window and the class name the manager found, before InitForm or
  // InitForeign.
  void SetWindow(HWND window, HINSTANCE instance, const AnsiString& className);
  // For a class library form: fires OnBeforeSkinForm, subclasses, hooks the
  // form's WindowProc and gives the form the skin's ButtonFace colour.
  void InitForm(TSkinData* skinData, TCustomForm* form);
  // For any other window: subclasses it.
  void InitForeign(TSkinData* skinData);
  // Reads the window and installs the procedure (once).
  void Subclass(TSkinData* skinData);

  void WndProc(TMessage& Message);
  void FormWindowProc(TMessage& Message);
  void MDIClientWndProc(TMessage& Message);
  void CallOldProc(TMessage& Message);

  // Re-applies a changed skin (after FreeSysButtons and ApplySkinMetrics).
  void SkinChanged();
  // Undoes everything: the window gets its procedure, styles, colour and
  // native frame back with the client area's size kept.
  void Restore();
  // Undoes the subclassing while the window is being destroyed.
  void ReleaseOnDestroy();
  void RestorePlain();
  void FreeSysButtons();
  // Frame thicknesses from the skin's border images.
  void ApplySkinMetrics();
  // Sizes the window so that the client area keeps its size inside the
  // skin's frame; a dialog grows to show its caption.
  void ResizeToSkin(bool keepClient);
  void UpdateRegion();
  void FrameChanged();
  void SetCaptionButtonStyles(bool on);
  void SetSysMenuStyle(bool remove);
  void AfterSkin();
  // The manager's MDI maximized state changed (MDI children only): the
  // caption-button styles follow, a child back to normal lays out again.
  void MDIMaximizedChanged(bool maximized);

  // -- The non-client area (WinSkinFrame.cpp).
  // Paints frame, caption, caption buttons and menu bar into `dc` (the
  // window's own device context when null).
  void PaintFrame(HDC dc = nullptr);
  // Border 1 Left, 2 Right, 3 Top, 4 Bottom, drawn at `r` (window
  // coordinates) in the active or inactive frame.
  void PaintBorder(int index, const RECT& r, HDC dc);
  void PaintCaption(HDC dc);
  void PaintCaptionText(HDC dc, const RECT& area);
  void PlaceSysButtons();
  void PaintSysButtons(HDC dc);
  bool SysButtonVisible(int index);
  void PaintSysButton(TWinSysButton* button, int state);
  void DrawAppIcon(HDC dc, const RECT& r);
  void BuildIcon();
  void ClearRegion();
  // A screen point in frame coordinates.
  POINT ScreenToFrame(int x, int y) const;
  TWinSysButton* SysButtonAt(POINT p);
  // The caption button or menu-bar item at a frame point, or null.
  TNCObject* ObjectAt(POINT p);
  void DoSysButton(int x, int y);
  void Maximize();
  void RestoreSize();
  void Minimize();
  void SendToActiveMDIChild(UINT command);
  bool HasCloseCommand();
  // One tick of the hover timer: hot objects the cursor left, hints.
  void HoverTimerTick();
  TNCObject* HotObject() const { return FHotObject; }
  void SetHotObject(TNCObject* value) { FHotObject = value; }
  const std::vector<std::unique_ptr<TWinSysButton>>& SysButtons() const { return FSysButtons; }
  bool RegionSet() const { return FRegionSet; }
  SIZE RegionSize() const { return FRegionSize; }
  RECT CaptionArea() const { return FCaptionArea; }
  RECT CaptionTextRect() const { return FCaptionTextRect; }
  TBitmap* CaptionIcon() const { return FCaptionIcon.get(); }
  // The hint shows after this many milliseconds over a caption button.
  int HintTime() const { return FHintTime; }
  void SetDoubleClickTime(UINT value) { FDoubleClickTime = value; }

  // -- Owner-drawn menu items (WinSkinMenuItems.cpp).
  void SetItemOwnerDraw(TMenuItem* item, bool on);
  void SetPopupMenusOwnerDraw(TComponent* component, bool on);
  void SetMainMenusOwnerDraw(TComponent* component, bool on);
  // Event handlers of class library menu items.
  void MeasureMainMenuItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
  void MeasurePopupItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
  void DrawMenuItem(TObject* Sender, TCanvas* ACanvas, const RECT& ARect, bool Selected);
  void DrawMenuItemOfHandle(HMENU menu, const TSkinMenuItemLook& item, bool selected, const RECT& r, TCanvas* canvas);
  void DrawPlainMenuItem(const TSkinMenuItemLook& item, TCanvas* canvas, bool selected, const RECT& r);
  void DrawMenuSeparator(TCanvas* canvas, const RECT& r);
  // A native menu's item as drawn: its text (at most 80 characters, "-"
  // for a separator), enabled and checked states.
  static TSkinMenuItemLook MenuItemFromHandle(HMENU menu, UINT item, bool byPosition);

  // -- The menu bar and the replacement system menu (WinSkinMenu.cpp).
  TWinSkinMenu* MenuBar() const { return FMenuBar.get(); }
  // Opens the item's drop-down; false without an item or a drop-down.
  bool DropMenu(class TMenuBtn* item);
  // Posts a non-client click at the item, which opens it.
  void ClickMenuItem(class TMenuBtn* item);
  TMenuBtn* FindAccelItem(char key);
  void OpenMenuAt(TMessage& Message);
  void DialogChar(TMessage& Message);
  void ShowSystemMenu(POINT p);
  void BuildSystemMenu();
  TPopupMenu* SystemMenu() const { return FSystemMenu.get(); }
  bool MenuLoop() const { return FMenuLoop; }
  void SetMenuLoop(bool value) { FMenuLoop = value; }
  HMENU TrackedMenu() const { return FTrackedMenu; }
  HMENU WindowMenu() const { return FMenu; }
  bool LeftScrollBar() const { return FLeftScrollBar; }

  // -- Control skinners (SkinWalk.cpp).
  // Every control skinner of this window registers here once; the list owns
  // them and frees them when the window is restored or goes away.
  void AddSkinControl(TSkinControl* skinner);
  void RemoveSkinControl(TSkinControl* skinner);
  const std::vector<TSkinControl*>& SkinControlList() const { return FSkinControls; }
  TSkinControl* FindSkinControlOfWindow(HWND wnd) const;
  TSkinControl* FindSkinControlOf(TControl* control) const;
  // Deactivates and frees every control skinner.
  void FreeSkinControls();
  // Frees the skinners whose windows were destroyed.
  void FreeClosedSkinControls();
  // The walk of a class library form's controls.
  void SkinFormControls(TWinControl* form);
  void SkinChildren(TWinControl* control);
  void SkinControl(TControl* control, TWinControl* parent);
  bool SkinBySkin3rd(const AnsiString& className, TControl* control);
  bool IsSkinned(TControl* control) const;
  // Each button of a radio group (radio) or check group gets its skinner.
  void SkinGroupButtons(TWinControl* group, bool radio);
  // The walk of any other window's child windows.
  void SkinChildWindows(HWND wnd);
  void SkinForeignWindow(HWND wnd);
  // A control's window was re-created: its scroll-bar skinner is replaced
  // by a fresh one.
  void ReskinScrollbars(HWND wnd);

  // -- State.
  HWND Window() const { return FWindow; }
  TCustomForm* Form() const { return FForm; }
  TSkinData* SkinData() const { return FSkinData; }
  void SetSkinData(TSkinData* value) { FSkinData = value; }
  const AnsiString& WindowClassName() const { return FClassName; }
  int State() const { return FState; }
  bool Initialised() const { return FInitialised; }
  bool FrameSkinning() const { return FFrameSkinning; }
  int BorderKind() const { return FBorderKind; }
  int ShowState() const { return FShowState; }
  int MDIRole() const { return FMDIRole; }
  int Capabilities() const { return FCapabilities; }
  bool IsDialog() const { return FDialog; }
  bool Active() const { return FActive; }
  bool Subclassed() const { return FSubclass.Attached(); }
  // Frame thicknesses in pixels and the room of the menu bar.
  RECT FrameSize() const { return {FLeft, FTop, FRight, FBottom}; }
  int MenuBarHeight() const { return FMenuBarHeight; }
  // The client rectangle and the native frame's total width and height
  // recorded at initialisation.
  RECT AttachedClientRect() const { return FClientRect; }
  SIZE NativeFrameSize() const { return FNativeFrame; }
  TTimer* HoverTimer() const { return FHoverTimer.get(); }
  TFont* CaptionFont() const { return FCaptionFont.get(); }
  int WindowWidth() const { return FWidth; }
  int WindowHeight() const { return FHeight; }

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  void Initialise();
  void ReadShowState();
  void FindMDIClient();
  void SubclassMDIClient();
  void MeasureFrame();
  void WMSize(TMessage& Message);
  void WMSysCommand(TMessage& Message);
  void WMNCCalcSize(TMessage& Message);
  void HoverTimerEvent(TObject* Sender);
  bool BeingDestroyed() const;
  void GiveBackWindowProc();
  // Non-client messages (WinSkinFrame.cpp).
  void WMNCHitTest(TMessage& Message);
  void WMNCPaint(TMessage& Message);
  void WMNCActivate(TMessage& Message);
  void WMNCMouseMove(TMessage& Message);
  void WMNCLButtonDown(TMessage& Message);
  void WMNCLButtonUp(TMessage& Message);
  void WMNCLButtonDblClk(TMessage& Message);
  void WMNCRButtonDown(TMessage& Message);
  void HideHint();
  void MakeSysButtons();
  // Menu messages (WinSkinMenuItems.cpp).
  void WMMeasureItem(TMessage& Message);
  void WMDrawItem(TMessage& Message);
  void MeasureMenuItemText(MEASUREITEMSTRUCT* measure, HDC dc);
  void DrawFormMenuItem(DRAWITEMSTRUCT* draw);
  void DrawForeignMenuItem(DRAWITEMSTRUCT* draw);
  void DrawMenuItemLook(HMENU parent, const TSkinMenuItemLook& item, TCanvas* canvas, const RECT& r, bool selected);
  // The menu bar (WinSkinMenu.cpp).
  void CreateMenuBar();
  void FreeMenuBar();
  void MenuChanged();
  bool KeyMenu(TMessage& Message);
  void SystemMenuClick(TObject* Sender);

  std::vector<TSkinControl*> FSkinControls;
  TWindowSubclass FSubclass;
  TWindowSubclass FMDIClientSubclass;
  TWndMethod FSavedWindowProc;   // the form's WindowProc before ours
  bool FWindowProcHooked = false;
  std::unique_ptr<TFont> FCaptionFont;
  bool FInitialised = false;
  std::unique_ptr<TTimer> FHoverTimer;
  std::wstring FCaptionPrefix{L"  "};
  std::wstring FCaptionSuffix{L" "};
  AnsiString FClassName;
  bool FCaptionButtonStyles = true;  // WS_SYSMENU, WS_MINIMIZEBOX, WS_MAXIMIZEBOX in the style
  bool FSavedMenuUpdate = true;
  bool FFrameSkinning = false;
  RECT FClientRect{};
  SIZE FNativeFrame{};
  HWND FOwnerWindow = nullptr;
  int FLeft = 0, FTop = 0, FRight = 0, FBottom = 0;
  int FMenuBarHeight = 0;
  bool FLeftScrollBar = false;
  bool FThickFrame = false;
  bool FUnicode = false;
  bool FDialog = false;
  bool FChild = false;
  HWND FMDIClient = nullptr;
  HMENU FMenu = nullptr;
  HMENU FSysMenu = nullptr;
  TColor FPreviousColor = 0;
  DWORD FStyle = 0;
  bool FRegionSet = false;
  TCustomForm* FForm = nullptr;
  HWND FWindow = nullptr;
  HINSTANCE FInstance = nullptr;
  TSkinData* FSkinData = nullptr;
  std::unique_ptr<TWinSkinMenu> FMenuBar;
  std::unique_ptr<TPopupMenu> FSystemMenu;
  std::vector<std::unique_ptr<TWinSysButton>> FSysButtons;
  std::unique_ptr<TBitmap> FCaptionIcon;
  std::unique_ptr<TBitmap> FCaptionWork;    // the caption band as painted
  std::unique_ptr<TBitmap> FCaptionBack;    // the band before the buttons
  TNCObject* FHotObject = nullptr;
  HRGN FRegion = nullptr;
  SIZE FRegionSize{};                       // the window size the region was cut for
  RECT FCaptionArea{};
  RECT FCaptionTextRect{};
  int FButtonRoom = 0;                      // room of the right-aligned caption buttons
  int FWidth = 0, FHeight = 0;
  int FHintTime = 0;                        // ms the cursor stayed over a caption button
  DWORD FLastSysMenuTime = 0;               // GetTickCount when the system menu last showed
  bool FSysMenuShown = false;
  UINT FDoubleClickTime = 500;
  bool FMenuLoop = false;
  HMENU FTrackedMenu = nullptr;
  bool FActive = true;
  int FMDIRole = mrNone;
  int FBorderKind = bkSizeable;
  int FCapabilities = 0;
  int FShowState = ssNormal;
  int FState = stAttached;
};

// Plain routines of the form skinner's unit.
AnsiString GetClassNameStr(HWND wnd);
std::wstring GetWindowTextWide(HWND wnd);
AnsiString GetWindowTextAnsi(HWND wnd);
// Invalidates the window with erasing, frame and children, and updates it.
void RepaintWindow(HWND wnd);
