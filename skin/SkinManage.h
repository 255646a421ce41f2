// The window-creation manager: the one object of the process that decides
// which windows are skinned. A thread CBT hook of the GUI thread shows it
// every window being created, activated and destroyed; it attaches a form
// skinner (TWinSkinForm) to each accepted top-level window (forms, dialogs,
// message boxes, MDI children) and a popup-menu skinner to each menu
// window, and carries out the skin data components' requests (1 skin every
// window, 2 unskin every window, 3 repaint with a new skin) through a timer,
// so that a request made while forms are still loading acts once they exist.
//
// The first TSkinData that finishes loading makes the manager; the skin
// engine's unit frees it. GUI thread only.
#pragma once

#include "platform/Bitmap.h"
#include "platform/Component.h"
#include "platform/ThreadHook.h"
#include "platform/UtilWindow.h"
#include "platform/WindowSubclass.h"

#include <memory>
#include <vector>

class TCustomForm;
class TSkinData;
class TTimer;
class TWinControl;
class TWinSkinForm;

// Private messages of the skin engine.
constexpr UINT SM_PAINTFRAME = 0x3502;      // repaint the skinned non-client area
constexpr UINT SM_INITSKIN = 0x3503;        // posted after attaching (wParam 0, lParam 1000)
constexpr UINT SM_SKINCONTROL = 0x3506;     // a control skinner on (1) or off (0)
constexpr UINT SM_TABCLOSE = 0x3507;        // a tab's close cross was clicked
constexpr UINT SM_CAPTIONACTION = 0x3514;   // a caption button with an action of the application's
constexpr UINT SM_CAPTIONVISIBLE = 0x3515;  // is a caption button visible? (> 0: yes)
constexpr UINT SM_MDIREDRAW = 0x3516;       // to the MDI client: redraw the frame and children
constexpr UINT SM_RESKINSCROLL = 0x3517;    // replace a control's scroll-bar skinner
constexpr UINT SM_OPENMENUAT = 0x3518;      // open the menu-bar item at a screen point
constexpr UINT SM_ISSKINNED = 0x3523;       // a skinned window answers 1
constexpr UINT SM_SKINCHANGED = 0x3401;     // to a form: re-apply the skin
constexpr UINT SM_PAINTFRAMEDC = 0xBC4B;    // to a form, lParam 16802: paint the frame into wParam's DC
constexpr UINT SM_SKINQUERY = 0xBC4D;       // to a form: 16802 when lParam is 16802, else 1
constexpr UINT SM_SKINNOTICE = 0xBC4E;      // sent to a window just skinned (wParam 0, lParam 16802)
constexpr LPARAM SkinMagic = 16802;

// Requests of the skin data components.
constexpr int srSkinAll = 1, srUnskinAll = 2, srReskin = 3;

// Subclasses one popup-menu window ("#32768") for the manager and gives it
// the skin's "MenuBackground" as frame (WM_NCPAINT) and background
// (WM_PRINT); the items are drawn over it by the owner-drawn menu items or
// by the system. Answers 0x3523 with 1.
class TWinSkinPopMenu : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  ~TWinSkinPopMenu() override;

  void Attach(HWND window, TSkinData* skinData, HMENU menu);
  void Detach();
  bool Attached() const { return FSubclass.Attached(); }
  HWND Window() const { return FWindow; }
  TSkinData* SkinData() const { return FSkinData; }
  HMENU MenuHandle() const { return FMenuHandle; }
  void SetMenuHandle(HMENU value) { FMenuHandle = value; }
  bool Marked() const { return FMarked; }
  void SetMarked(bool value) { FMarked = value; }
  bool MenuBarPopup() const { return FMenuBarPopup; }
  void SetMenuBarPopup(bool value) { FMenuBarPopup = value; }
  // The last composed background, handed out by menu handle.
  TBitmap* Background() { return &FBackground; }

private:
  void WindowProc(TMessage& Message);
  // The skinned frame: the background built at the window's size, its
  // 3-pixel borders and then the whole of it copied onto the window.
  void PaintFrame(TMessage& Message);
  // The skinned background under the items the menu prints.
  void PaintBackground(TMessage& Message);
  // Builds Background at the window's size; false without a skin image.
  bool BuildBackground();

  TWindowSubclass FSubclass;
  HWND FWindow = nullptr;
  TSkinData* FSkinData = nullptr;
  TBitmap FBackground;
  HMENU FMenuHandle = nullptr;
  bool FMarked = false;
  bool FMenuBarPopup = false;
};

class TSkinManage : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TSkinManage();
  ~TSkinManage() override;

  // Installs the CBT hook of the calling thread (once: the process keeps one).
  void InstallHook();

  void AddSkinData(TSkinData* skinData);
  // Unregisters a skin data; the form skinners using it move to the next
  // registered skin data with a loaded skin and repaint, or, with none,
  // are restored and freed.
  void RemoveSkinData(TSkinData* skinData);
  const std::vector<TSkinData*>& SkinDatas() const { return FSkinDatas; }
  TSkinData* MainSkinData() const { return FMainSkinData; }

  // True when a form skinner was made. `control` is the class library
  // control the window is being created for, when the caller knows it.
  bool AttachWindow(HWND window, TWinControl* control = nullptr);
  // Skips a form that is hidden or a child (true, nothing attached).
  bool AttachForm(TCustomForm* form);
  TWinSkinForm* FindFormSkinner(HWND window) const;
  // The screen form of the window, else the class library control of it.
  TWinControl* FormOfWindow(HWND window) const;
  // WS_CHILD without WS_EX_MDICHILD, in a parent that is no MDI client.
  static bool IsPlainChild(HWND window);
  bool CanSkinWindow(HWND window, const AnsiString& className) const;
  TSkinData* FindSkinData(HWND window) const;

  bool AttachMenu(HWND window);
  bool DetachMenu(HWND window);
  bool IsMenuSkinned(HWND window) const;
  void MarkMenus();
  void AssignMenuData(HMENU menu);
  TBitmap* MenuBitmapOf(HMENU menu) const;
  int MenuSkinnerCount() const { return static_cast<int>(FMenus.size()); }

  // Schedules request `code` of `skinData` after `delay` ms; a second
  // request replaces a pending one.
  void Request(TSkinData* skinData, int code, unsigned delay);
  // Carries out the pending request now (the timer's event).
  void DoRequest();
  // Every form skinner of `skinData` re-reads the skin's metrics.
  void RefreshSkinners(TSkinData* skinData);
  void SetMDIMaximized(int state);

  void Purge();
  // Takes a form skinner out of the list without freeing it.
  void RemoveSkinner(TWinSkinForm* skinner);
  void DetachAll();
  void FreeMenus();

  // The form skinners alive now, first attached first.
  std::vector<TWinSkinForm*> FormSkinners() const;
  TTimer* RequestTimer() const { return FTimer; }
  bool SwitchedOn() const { return FSwitchedOn; }
  void SetSwitchedOn(bool value) { FSwitchedOn = value; }
  bool ForcedScan() const { return FForcedScan; }
  void SetForcedScan(bool value) { FForcedScan = value; }
  int ActivationCount() const { return FActivationCount; }
  void SetActivationCount(int value) { FActivationCount = value; }
  int MenuMode() const { return FMenuMode; }
  void SetMenuMode(int value) { FMenuMode = value; }
  bool MenuBarTracking() const { return FMenuBarTracking; }
  void SetMenuBarTracking(bool value) { FMenuBarTracking = value; }
  int MDIMaximized() const { return FMDIMaximized; }
  HWND MDIClient() const { return FMDIClient; }
  TCustomForm* MDIFrameForm() const { return FMDIFrameForm; }
  void SetMDIClient(HWND client, TCustomForm* frame) {
    FMDIClient = client;
    FMDIFrameForm = frame;
  }
  int PendingRequest() const { return FPendingRequest; }
  TSkinData* PendingSkinData() const { return FPendingSkinData; }

private:
  void TimerEvent(TObject* Sender);
  // Takes the skinner out of the list, restores it (its window repainted)
  // and frees it.
  void RestoreAndFree(TWinSkinForm* skinner);

  TTimer* FTimer = nullptr;
  // Skinners owned by their form free themselves with it: the list holds
  // weak links and skips those that are gone.
  std::vector<TWeakLink<TWinSkinForm>> FFormSkinners;
  std::vector<std::unique_ptr<TWinSkinPopMenu>> FMenus;
  std::vector<TSkinData*> FSkinDatas;
  bool FSwitchedOn = false;
  bool FForcedScan = false;
  int FActivationCount = 0;  // 4: being destroyed
  int FMenuMode = 0;         // 0 context menu, 1 menu-bar drop-down, 2 system menu
  bool FMenuBarTracking = false;
  int FMDIMaximized = 0;
  HWND FMDIClient = nullptr;
  TCustomForm* FMDIFrameForm = nullptr;
  int FPendingRequest = 0;
  TSkinData* FPendingSkinData = nullptr;
  TSkinData* FMainSkinData = nullptr;
};

// The process's manager, or null before the first skin data loaded.
TSkinManage* SkinManager();
// Makes the manager when there is none and answers it.
TSkinManage* CreateSkinManager();
// Frees the manager (all form skinners released, the hook removed; the
// hook procedure only passes events on from then on).
void FreeSkinManager();

// The CBT hook of the process: installed by the skin engine's unit and by
// the manager, removed by the manager's end.
bool SkinHookInstalled();
void InstallSkinHook();
void RemoveSkinHook();
// Set when the manager is destroyed: the hook then only passes events on.
bool SkinHookDisabled();
