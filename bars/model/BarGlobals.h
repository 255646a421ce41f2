// What the toolbar framework shares across the process: the list of bar
// managers and the three thread hooks the first one installs, the item-class
// registry (which item-control class shows which item class), the system
// window that serves a library's worker threads, the shared canvas, flat
// painter, hint window and checkered brush, the operating-system flags, the
// layered-window functions bound from user32, the drag cursors and the menu
// sounds. `dxBarUnit` (in the program's unit list after the control
// foundation's) makes them at start and frees them at the end; the objects
// made on first use answer null once the shut-down has begun.
#pragma once

#include "bars/model/BarComponents.h"
#include "foundation/Controls.h"
#include "platform/List.h"
#include "platform/Units.h"

class TCustomdxBarControl;
class TCustomForm;
class TdxBarCanvas;
class TdxBarDesignController;
class TdxBarFlatPainter;
class TdxBarManager;
class TdxBarNavigationController;
class THintWindow;

// The cursors the start-up puts in the screen's table: dragging an item or a
// link, dragging a copy, a place where nothing can be dropped, and sizing an
// edit item.
constexpr int crdxBarDrag = 1041;
constexpr int crdxBarDragCopy = 1042;
constexpr int crdxBarDragNoDrop = 1043;
constexpr int crdxBarEditSizing = 1044;

// One entry of the item-class registry.
class TRegItemRecord : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TRegItemRecord(TClass itemClass, TClass itemControlClass, bool visible)
      : ItemClass(itemClass), ItemControlClass(itemControlClass), Visible(visible) {}

  TClass ItemClass;         // a TdxBarItem descendant
  TClass ItemControlClass;  // a TdxBarItemControl descendant
  bool Visible;             // offered to the user by the commands that add items
};

// The item-class registry: owns its entries; every item class it holds is
// registered for streaming while it is in the list.
class TdxBarItemList : public TList {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  ~TdxBarItemList() override;

  void AddPair(TClass itemClass, TClass itemControlClass, bool visible);
  void RemovePairAt(int index);
  TRegItemRecord* EntryAt(int index) const { return static_cast<TRegItemRecord*>(Items(index)); }
  TClass ItemClassAt(int index) const { return EntryAt(index)->ItemClass; }
  int VisibleCount() const;
  // The item class of the n-th visible entry (from 0), null out of range.
  TClass VisibleItemClassAt(int n) const;
  // The control class of the first entry whose item class is exactly
  // `itemClass` (a descendant needs an entry of its own); null when none.
  TClass ItemControlClassOf(TClass itemClass) const;
};

// Every living bar manager, in creation order.
class TdxBarManagerList : public TdxObjectList {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  ~TdxBarManagerList() override;

  TdxBarManager* ManagerAt(int index) const;
  // The first manager in customizing mode, else null.
  TdxBarManager* CustomizingManager() const;
  // From `manager`, one step at a time forwards or backwards (wrapping),
  // the next manager serving the start manager's main form; the start
  // manager when no other does.
  TdxBarManager* NeighbourManager(TdxBarManager* manager, bool forwards) const;
};

// The framework's hidden message window. In a library, whose host runs the
// message loop, it takes over the wake-up of the GUI thread: workers post
// it 0x8066 and it runs their synchronized calls.
class TdxBarSystemController : public TcxMessageWindow {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TdxBarSystemController();
  ~TdxBarSystemController() override;

  // Installs PostSynchronizeWakeUp as the thread layer's wake-up, keeping
  // the one it replaces; UnhookThreadWakeUp puts that back.
  void HookThreadWakeUp();
  void UnhookThreadWakeUp();
  bool HooksThreadWakeUp() const { return FHooked; }
  void PostSynchronizeWakeUp(TObject* Sender);

protected:
  void ProcessWindowMessage(TMessage& message) override;

private:
  TNotifyEvent FSavedWakeUp;
  bool FHooked = false;
};

// The framework's private message of its system window: run the calls
// workers queued.
constexpr UINT DXM_SYNCHRONIZE = 0x8066;

// Whether this code runs inside a library rather than the program itself.
bool dxBarModuleIsLibrary();

// --- Process-wide objects -------------------------------------------------

// Set first by the shut-down: the getters of objects made on first use
// answer null from then on.
extern bool FinalizingFlag;
// Operating-system flags read at start.
extern bool IsWin9xPlatform;
extern bool IsWin95;
extern bool HasExtendedMenuItemInfo;
// Reads the flags from the given version record values.
void ProbeWindowsVersion(DWORD platformId, DWORD major, DWORD minor);

// Layered-window and window-animation functions of user32; null when
// missing, and every caller tests them.
using TUpdateLayeredWindowProc = BOOL(WINAPI*)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*,
                                               DWORD);
using TAnimateWindowProc = BOOL(WINAPI*)(HWND, DWORD, DWORD);
using TSetLayeredWindowAttributesProc = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
extern TUpdateLayeredWindowProc UpdateLayeredWindowProc;
extern TAnimateWindowProc AnimateWindowProc;
extern TSetLayeredWindowAttributesProc SetLayeredWindowAttributesProc;

// Bits per pixel of the screen, read at start and on system colour changes.
int ScreenColorDepth();
void ReadScreenColorDepth();
// The 8 x 8 checkered brush of down buttons (button face and highlight).
HBRUSH CheckerBrush();
void RebuildCheckerBrush();
// The 256-byte buffer the call-window hook reads class names into.
char* ClassNameBuffer();

TdxBarManagerList* BarManagerList();
TdxBarItemList* ItemClassRegistry();
TdxBarDesignController* BarDesignController();
TdxBarCanvas* SharedBarCanvas();
TdxBarFlatPainter* SharedFlatPainter();
TdxBarNavigationController* NavigationControllerInstance();
TdxBarSystemController* SystemControllerInstance();
void RegisterItemControlPair(TClass itemClass, TClass itemControlClass, bool visible);

// The class of the one hint window (a THintWindow descendant), made by the
// first manager outside design mode.
extern TClass HintWindowClass;
THintWindow* SharedHintWindow();

// Called by each manager's constructor and destructor: the first manager
// installs the keyboard, mouse and call-window hooks of the thread, the last
// removes them and frees the shared hint window.
void AddBarManager(TdxBarManager* manager);
void RemoveBarManager(TdxBarManager* manager);
void RemoveHooksAndHintWindow();
// The hook handles (null while not installed).
HHOOK BarKeyboardHook();
HHOOK BarMouseHook();
HHOOK BarCallWndProcHook();

// True when the manager's owner window is the form's or inside it and, for
// a run-time MDI child's manager, that child is the active one.
bool ManagerServesForm(TdxBarManager* manager, TCustomForm* form);

// The bar controls between their construction and destruction.
void RegisterBarControl(TCustomdxBarControl* control);
void UnregisterBarControl(TCustomdxBarControl* control);
bool IsLiveBarControl(TCustomdxBarControl* control);

// The start-up chain's link: the kept link first, then the sound warm-up.
void InitProcHook();
// Plays the menu sound of an index: 0 "MenuPopup", 1 "MenuCommand", 2
// nothing (which only loads the sound system).
void PlayMenuSound(int index);
void WarmUpSound();

// The published properties of the manager, bars, items and links, and the
// item name a link stores (once; the start-up runs it).
void dxBarRegisterStoredProperties();

void dxBarInit();
void dxBarDone();
inline constexpr TUnitEntry dxBarUnit{"dxBar", &dxBarInit, &dxBarDone};
