#include "bars/model/BarGlobals.h"

#include "bars/model/ApplicationMenu.h"
#include "bars/model/BarCanvas.h"
#include "bars/model/BarClassFactory.h"
#include "bars/model/BarManager.h"
#include "bars/model/Bars.h"
#include "bars/model/DesignController.h"
#include "bars/model/ItemKinds.h"
#include "bars/model/MdiMerging.h"
#include "bars/model/NavigationController.h"
#include "bars/model/QuickCustomizing.h"
#include "bars/model/SubItems.h"
#include "bars/views/BarControl.h"
#include "bars/views/BarHint.h"
#include "bars/views/BarPainter.h"
#include "bars/views/ItemControl.h"
#include "platform/Forms.h"
#include "platform/Properties.h"
#include "platform/Screen.h"
#include "platform/Thread.h"

#include <mmsystem.h>

#include <algorithm>
#include <vector>

const TClassInfo TRegItemRecord::ClassInfo{"TRegItemRecord", &TObject::ClassInfo, nullptr};
const TClassInfo TdxBarItemList::ClassInfo{"TdxBarItemList", &TList::ClassInfo, &dxBarMakeObject<TdxBarItemList>};
const TClassInfo TdxBarManagerList::ClassInfo{"TdxBarManagerList", &TdxObjectList::ClassInfo,
                                              &dxBarMakeObject<TdxBarManagerList>};
const TClassInfo TdxBarSystemController::ClassInfo{"TdxBarSystemController", &TcxMessageWindow::ClassInfo,
                                                   &dxBarMakeObject<TdxBarSystemController>};

bool FinalizingFlag = false;
bool IsWin9xPlatform = false;
bool IsWin95 = false;
bool HasExtendedMenuItemInfo = false;
TUpdateLayeredWindowProc UpdateLayeredWindowProc = nullptr;
TAnimateWindowProc AnimateWindowProc = nullptr;
TSetLayeredWindowAttributesProc SetLayeredWindowAttributesProc = nullptr;
TClass HintWindowClass = &TdxBarHintWindow::ClassInfo;

namespace {

// What the start-up makes and the shut-down frees.
struct TBarUnitState {
  TdxBarManagerList* Managers = nullptr;
  TdxBarItemList* Registry = nullptr;
  TdxBarSystemController* SystemController = nullptr;
  TdxBarNavigationController* NavigationController = nullptr;
  TdxBarDesignController* DesignController = nullptr;
  TdxBarCanvas* Canvas = nullptr;
  TdxBarFlatPainter* FlatPainter = nullptr;
  std::vector<TCustomdxBarControl*>* LiveBarControls = nullptr;
  HBRUSH CheckerBrush = nullptr;
  int ScreenColorDepth = 0;
  HMODULE User32 = nullptr;
  char* ClassNameBuffer = nullptr;
  THintWindow* HintWindow = nullptr;
  HHOOK KeyboardHook = nullptr;
  HHOOK MouseHook = nullptr;
  HHOOK CallWndProcHook = nullptr;
  TInitProc PreviousInitProc = nullptr;
};

TBarUnitState State;

// The hooks chain on; the keyboard, mouse and host-window handling that
// uses them joins later.
LRESULT CALLBACK BarKeyboardHookProc(int code, WPARAM wp, LPARAM lp) {
  return CallNextHookEx(State.KeyboardHook, code, wp, lp);
}

LRESULT CALLBACK BarMouseHookProc(int code, WPARAM wp, LPARAM lp) {
  return CallNextHookEx(State.MouseHook, code, wp, lp);
}

LRESULT CALLBACK BarCallWndProcHookProc(int code, WPARAM wp, LPARAM lp) {
  return CallNextHookEx(State.CallWndProcHook, code, wp, lp);
}

void Unhook(HHOOK& hook) {
  if (hook) UnhookWindowsHookEx(hook);
  hook = nullptr;
}

// The menu-sound aliases; entry 2 has none.
const char* const MenuSoundAliases[3] = {"MenuPopup", "MenuCommand", nullptr};

// The classes forms can stream beside the items.
std::initializer_list<TClass> PersistentClasses() {
  static const std::initializer_list<TClass> classes{
      &TdxBar::ClassInfo, &TdxBarGroup::ClassInfo, &TdxBarScreenTip::ClassInfo, &TdxBarScreenTipBand::ClassInfo,
      &TdxBarScreenTipCollection::ClassInfo, &TdxBarApplicationMenuButtons::ClassInfo,
      &TdxBarApplicationMenuButton::ClassInfo};
  return classes;
}

}  // namespace

// --- Item-class registry ---------------------------------------------------

TdxBarItemList::~TdxBarItemList() {
  for (int i = Count() - 1; i >= 0; --i) RemovePairAt(i);
}

void TdxBarItemList::AddPair(TClass itemClass, TClass itemControlClass, bool visible) {
  Add(new TRegItemRecord(itemClass, itemControlClass, visible));
  RegisterClass(itemClass);
}

void TdxBarItemList::RemovePairAt(int index) {
  TRegItemRecord* entry = EntryAt(index);
  UnRegisterClass(entry->ItemClass);
  Delete(index);
  Free(entry);
}

int TdxBarItemList::VisibleCount() const {
  int n = 0;
  for (int i = 0; i < Count(); ++i)
    if (EntryAt(i)->Visible) ++n;
  return n;
}

TClass TdxBarItemList::VisibleItemClassAt(int n) const {
  if (n < 0) return nullptr;
  for (int i = 0; i < Count(); ++i)
    if (EntryAt(i)->Visible && n-- == 0) return EntryAt(i)->ItemClass;
  return nullptr;
}

TClass TdxBarItemList::ItemControlClassOf(TClass itemClass) const {
  for (int i = 0; i < Count(); ++i)
    if (EntryAt(i)->ItemClass == itemClass) return EntryAt(i)->ItemControlClass;
  return nullptr;
}

// --- Manager list -----------------------------------------------------------

TdxBarManagerList::~TdxBarManagerList() { RemoveHooksAndHintWindow(); }

TdxBarManager* TdxBarManagerList::ManagerAt(int index) const { return static_cast<TdxBarManager*>(ItemAt(index)); }

TdxBarManager* TdxBarManagerList::CustomizingManager() const {
  for (int i = 0; i < Count(); ++i)
    if (ManagerAt(i)->IsCustomizing()) return ManagerAt(i);
  return nullptr;
}

TdxBarManager* TdxBarManagerList::NeighbourManager(TdxBarManager* manager, bool forwards) const {
  const int start = IndexOf(manager);
  if (start < 0 || Count() == 0) return manager;
  TCustomForm* mainForm = Application ? Application->MainForm() : nullptr;
  int i = start;
  for (;;) {
    i = forwards ? (i + 1) % Count() : (i + Count() - 1) % Count();
    if (i == start) return manager;
    if (ManagerServesForm(ManagerAt(i), mainForm)) return ManagerAt(i);
  }
}

bool ManagerServesForm(TdxBarManager* manager, TCustomForm* form) {
  if (!manager || !form || !form->HandleAllocated()) return false;
  TWinControl* owner = manager->OwnerControl();
  if (!owner || !owner->HandleAllocated()) return false;
  if (!IsSameOrChildWindow(form->Handle(), owner->Handle())) return false;
  auto* ownForm = dynamic_cast<TCustomForm*>(owner);
  if (ownForm && ownForm->FormStyle() == fsMDIChild && !ownForm->ComponentState().Contains(csDesigning)) {
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    return main && main->ActiveMDIChild() == ownForm;
  }
  return true;
}

// --- System controller ------------------------------------------------------

bool dxBarModuleIsLibrary() {
  HMODULE own = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&dxBarModuleIsLibrary), &own);
  return own && own != GetModuleHandleA(nullptr);
}

TdxBarSystemController::TdxBarSystemController() {
  if (dxBarModuleIsLibrary()) HookThreadWakeUp();
}

TdxBarSystemController::~TdxBarSystemController() { UnhookThreadWakeUp(); }

void TdxBarSystemController::HookThreadWakeUp() {
  if (FHooked) return;
  FSavedWakeUp = SetWakeMainThread(TNotifyEvent::Bind<&TdxBarSystemController::PostSynchronizeWakeUp>(this));
  FHooked = true;
}

void TdxBarSystemController::UnhookThreadWakeUp() {
  if (!FHooked) return;
  SetWakeMainThread(FSavedWakeUp);
  FSavedWakeUp = TNotifyEvent{};
  FHooked = false;
}

void TdxBarSystemController::PostSynchronizeWakeUp(TObject*) { PostMessageA(Handle(), DXM_SYNCHRONIZE, 0, 0); }

void TdxBarSystemController::ProcessWindowMessage(TMessage& message) {
  if (message.Msg == DXM_SYNCHRONIZE) {
    CheckSynchronize();
    message.Result = 0;
    return;
  }
  TcxMessageWindow::ProcessWindowMessage(message);
}

// --- Shared objects -----------------------------------------------------------

void ProbeWindowsVersion(DWORD platformId, DWORD major, DWORD minor) {
  IsWin9xPlatform = platformId == VER_PLATFORM_WIN32_WINDOWS;
  IsWin95 = IsWin9xPlatform && minor == 0;
  HasExtendedMenuItemInfo = (IsWin9xPlatform && minor != 0) || (platformId == VER_PLATFORM_WIN32_NT && major == 5);
}

int ScreenColorDepth() { return State.ScreenColorDepth; }

void ReadScreenColorDepth() {
  HDC dc = GetDC(nullptr);
  if (!dc) return;
  State.ScreenColorDepth = GetDeviceCaps(dc, BITSPIXEL);
  ReleaseDC(nullptr, dc);
}

HBRUSH CheckerBrush() { return State.CheckerBrush; }

void RebuildCheckerBrush() {
  if (FinalizingFlag) return;
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 8, 8);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) SetPixel(dc, x, y, (x % 2) == (y % 2) ? face : light);
  SelectObject(dc, old);
  DeleteDC(dc);
  if (State.CheckerBrush) DeleteObject(State.CheckerBrush);
  State.CheckerBrush = CreatePatternBrush(bitmap);
  DeleteObject(bitmap);
}

char* ClassNameBuffer() { return State.ClassNameBuffer; }

TdxBarManagerList* BarManagerList() { return State.Managers; }

TdxBarItemList* ItemClassRegistry() {
  if (!State.Registry && !FinalizingFlag) State.Registry = new TdxBarItemList;
  return State.Registry;
}

TdxBarDesignController* BarDesignController() {
  if (!State.DesignController && !FinalizingFlag) State.DesignController = New<TdxBarDesignController>();
  return State.DesignController;
}

TdxBarCanvas* SharedBarCanvas() {
  if (!State.Canvas && !FinalizingFlag) State.Canvas = New<TdxBarCanvas>();
  return State.Canvas;
}

TdxBarFlatPainter* SharedFlatPainter() {
  if (!State.FlatPainter) State.FlatPainter = New<TdxBarFlatPainter>();
  return State.FlatPainter;
}

TdxBarNavigationController* NavigationControllerInstance() { return State.NavigationController; }
TdxBarSystemController* SystemControllerInstance() { return State.SystemController; }

void RegisterItemControlPair(TClass itemClass, TClass itemControlClass, bool visible) {
  if (TdxBarItemList* registry = ItemClassRegistry()) registry->AddPair(itemClass, itemControlClass, visible);
}

THintWindow* SharedHintWindow() { return State.HintWindow; }

// --- Managers and hooks ----------------------------------------------------------

void AddBarManager(TdxBarManager* manager) {
  TdxBarManagerList* list = State.Managers;
  if (list && list->IndexOf(manager) < 0) {
    if (list->Count() == 0) {
      const DWORD thread = GetCurrentThreadId();
      State.KeyboardHook = SetWindowsHookExA(WH_KEYBOARD, &BarKeyboardHookProc, nullptr, thread);
      State.MouseHook = SetWindowsHookExA(WH_MOUSE, &BarMouseHookProc, nullptr, thread);
      State.CallWndProcHook = SetWindowsHookExA(WH_CALLWNDPROC, &BarCallWndProcHookProc, nullptr, thread);
    }
    list->Add(manager);
  }
  // Without the list (after the shut-down) no hint window is made: nothing
  // would free it.
  if (list && !manager->IsDesigning() && !State.HintWindow && HintWindowClass)
    State.HintWindow = static_cast<THintWindow*>(CreateObject(HintWindowClass, nullptr));
}

void RemoveBarManager(TdxBarManager* manager) {
  TdxBarManagerList* list = State.Managers;
  if (!list) return;
  list->Remove(manager);
  if (list->Count() == 0) RemoveHooksAndHintWindow();
}

void RemoveHooksAndHintWindow() {
  Unhook(State.CallWndProcHook);
  Unhook(State.MouseHook);
  Unhook(State.KeyboardHook);
  FreeAndNil(State.HintWindow);
}

HHOOK BarKeyboardHook() { return State.KeyboardHook; }
HHOOK BarMouseHook() { return State.MouseHook; }
HHOOK BarCallWndProcHook() { return State.CallWndProcHook; }

// --- Live bar controls ---------------------------------------------------------

void RegisterBarControl(TCustomdxBarControl* control) {
  if (State.LiveBarControls && control) State.LiveBarControls->push_back(control);
}

void UnregisterBarControl(TCustomdxBarControl* control) {
  if (!State.LiveBarControls) return;
  auto& list = *State.LiveBarControls;
  auto it = std::find(list.begin(), list.end(), control);
  if (it != list.end()) list.erase(it);
}

bool IsLiveBarControl(TCustomdxBarControl* control) {
  if (!control || !State.LiveBarControls) return false;
  const auto& list = *State.LiveBarControls;
  return std::find(list.begin(), list.end(), control) != list.end();
}

// --- Sounds and the start-up chain ------------------------------------------------

void PlayMenuSound(int index) {
  if (index < 0 || index > 2) return;
  PlaySoundA(MenuSoundAliases[index], nullptr, SND_ASYNC | SND_NODEFAULT | SND_NOWAIT | SND_ALIAS);
}

void WarmUpSound() { PlayMenuSound(2); }

void InitProcHook() {
  if (State.PreviousInitProc) State.PreviousInitProc();
  WarmUpSound();
}

// --- Start-up and shut-down ---------------------------------------------------------

void dxBarInit() {
  FinalizingFlag = false;
  RegisterClasses(PersistentClasses());
  dxBarRegisterStoredProperties();
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = 148;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExA(&version);
#pragma GCC diagnostic pop
  ProbeWindowsVersion(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
  State.User32 = LoadLibraryA("USER32");
  if (reinterpret_cast<UINT_PTR>(State.User32) > 32) {
    UpdateLayeredWindowProc =
        reinterpret_cast<TUpdateLayeredWindowProc>(reinterpret_cast<void*>(GetProcAddress(State.User32, "UpdateLayeredWindow")));
    AnimateWindowProc = reinterpret_cast<TAnimateWindowProc>(reinterpret_cast<void*>(GetProcAddress(State.User32, "AnimateWindow")));
    SetLayeredWindowAttributesProc =
        reinterpret_cast<TSetLayeredWindowAttributesProc>(
        reinterpret_cast<void*>(GetProcAddress(State.User32, "SetLayeredWindowAttributes")));
  }
  State.ClassNameBuffer = new char[256]();
  State.Managers = New<TdxBarManagerList>();
  ReadScreenColorDepth();
  RebuildCheckerBrush();
  State.LiveBarControls = new std::vector<TCustomdxBarControl*>;
  State.NavigationController = New<TdxBarNavigationController>();
  State.SystemController = New<TdxBarSystemController>();

  const struct {
    TClass Item, Control;
    bool Visible;
  } pairs[] = {
      {&TdxBarButton::ClassInfo, &TdxBarButtonControl::ClassInfo, true},
      {&TdxBarEdit::ClassInfo, &TdxBarEditControl::ClassInfo, true},
      {&TCustomdxBarCombo::ClassInfo, &TCustomdxBarComboControl::ClassInfo, true},
      {&TdxBarCombo::ClassInfo, &TdxBarComboControl::ClassInfo, true},
      {&TdxBarSubItem::ClassInfo, &TdxBarSubItemControl::ClassInfo, true},
      {&TdxBarListItem::ClassInfo, &TdxBarContainerItemControl::ClassInfo, true},
      {&TdxBarContainerItem::ClassInfo, &TdxBarContainerItemControl::ClassInfo, true},
      {&TdxBarExtraPaneListItem::ClassInfo, &TdxBarContainerItemControl::ClassInfo, false},
      {&TdxBarLabel::ClassInfo, &TdxBarCustomStaticControl::ClassInfo, false},
      {&TdxBarSeparator::ClassInfo, &TdxBarSeparatorControl::ClassInfo, true},
      {&TdxBarApplicationMenuButtonItem::ClassInfo, &TdxBarApplicationMenuButtonControl::ClassInfo, false},
      {&TdxBarQuickCustExtButton::ClassInfo, &TdxBarQuickCustExtButtonControl::ClassInfo, false},
      {&TdxBarQuickCustItem::ClassInfo, &TdxBarQuickCustItemControl::ClassInfo, false},
      {&TdxBarQuickAccessItem::ClassInfo, &TdxBarSubItemControl::ClassInfo, false},
      {&TSystemMenuSubItem::ClassInfo, &TSystemMenuSubItemControl::ClassInfo, false},
  };
  for (const auto& pair : pairs) RegisterItemControlPair(pair.Item, pair.Control, pair.Visible);

  TdxBarDesignController* design = BarDesignController();
  design->RegisterEditor(&TdxAddSubItemEditor::ClassInfo);
  design->RegisterEditor(&TdxAddButtonEditor::ClassInfo);
  design->RegisterEditor(&TdxItemsEditorEx::ClassInfo);
  design->RegisterDesignHelper(&TdxBarControl::ClassInfo, &TdxBarControlDesignHelper::ClassInfo);
  design->RegisterDesignHelper(&TdxBarSubMenuControl::ClassInfo, &TdxBarSubMenuControlDesignHelper::ClassInfo);
  design->RegisterDesignHelper(&TdxBarApplicationMenuControl::ClassInfo,
                               &TdxBarApplicationMenuControlDesignHelper::ClassInfo);

  const HINSTANCE instance = GetModuleHandleA(nullptr);
  Screen->SetCursors(crdxBarDrag, LoadCursorA(instance, "DXBARDRAGCURSOR"));
  Screen->SetCursors(crdxBarDragCopy, LoadCursorA(instance, "DXBARDRAGCOPYCURSOR"));
  Screen->SetCursors(crdxBarDragNoDrop, LoadCursorA(instance, "DXBARDRAGNODROPCURSOR"));
  Screen->SetCursors(crdxBarEditSizing, LoadCursorA(instance, "DXBAREDITSIZINGCURSOR"));

  if (!dxBarModuleIsLibrary()) {
    State.PreviousInitProc = InitProc;
    InitProc = &InitProcHook;
  }
}

void dxBarDone() {
  FinalizingFlag = true;
  FreeAndNil(State.SystemController);
  FreeAndNil(State.NavigationController);
  delete State.LiveBarControls;
  State.LiveBarControls = nullptr;
  FreeAndNil(State.Registry);
  FreeAndNil(State.DesignController);
  FreeAndNil(State.Canvas);
  FreeAndNil(State.FlatPainter);
  if (State.CheckerBrush) DeleteObject(State.CheckerBrush);
  State.CheckerBrush = nullptr;
  FreeDeadPopupMenuLinkHooks();
  // The list's reference is cleared too, so a manager made after this finds
  // no list.
  FreeAndNil(State.Managers);
  delete[] State.ClassNameBuffer;
  State.ClassNameBuffer = nullptr;
  if (reinterpret_cast<UINT_PTR>(State.User32) > 32) FreeLibrary(State.User32);
  State.User32 = nullptr;
  UpdateLayeredWindowProc = nullptr;
  AnimateWindowProc = nullptr;
  SetLayeredWindowAttributesProc = nullptr;
  if (InitProc == &InitProcHook) InitProc = State.PreviousInitProc;
  State.PreviousInitProc = nullptr;
  UnRegisterClasses(PersistentClasses());
}
