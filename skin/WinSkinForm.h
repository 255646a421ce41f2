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
#pragma once

#include "platform/Component.h"
#include "platform/ExtCtrls.h"
#include "platform/Graphics.h"
#include "platform/WindowSubclass.h"

#include <memory>

class TCustomForm;
class TSkinData;
class TWinControl;

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
