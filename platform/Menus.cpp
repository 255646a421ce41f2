#include "platform/Menus.h"

#include "platform/Exceptions.h"
#include "platform/HandleCounts.h"
#include "platform/Properties.h"

#include <algorithm>

const TClassInfo TMenuItem::ClassInfo{"TMenuItem", &TComponent::ClassInfo, [](TObject* owner) -> TObject* {
                                        return new TMenuItem(static_cast<TComponent*>(owner));
                                      }};
const TClassInfo TMenu::ClassInfo{"TMenu", &TComponent::ClassInfo, nullptr};
const TClassInfo TMainMenu::ClassInfo{"TMainMenu", &TMenu::ClassInfo, [](TObject* owner) -> TObject* {
                                        return new TMainMenu(static_cast<TComponent*>(owner));
                                      }};
const TClassInfo TPopupMenu::ClassInfo{"TPopupMenu", &TMenu::ClassInfo, [](TObject* owner) -> TObject* {
                                         return new TPopupMenu(static_cast<TComponent*>(owner));
                                       }};

namespace {
// Command numbers identify items in WM_COMMAND; 0 is never used.
UINT NextCommand = 1;
}  // namespace

TShortCut ShortCut(WORD key, bool shift, bool ctrl, bool alt) {
  return static_cast<TShortCut>((key & 0xFF) | (shift ? scShift : 0) | (ctrl ? scCtrl : 0) | (alt ? scAlt : 0));
}

// -- TMenuItem ------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(NextCommand++) {
  if (NextCommand > 0xFFFF) NextCommand = 1;
}

TMenuItem::~TMenuItem() {
  ClearWeakLinks();
  for (TMenuItem* item : FItems) item->FParent = nullptr;
  // Sub-items nobody owns go with their parent item.
  std::vector<TMenuItem*> items;
  items.swap(FItems);
  for (TMenuItem* item : items)
    if (!item->Owner()) Free(item);
  if (FParent) FParent->Remove(this);
}

TMenu* TMenuItem::Menu() const {
  const TMenuItem* item = this;
  while (item->FParent) item = item->FParent;
  return item->FMenu;
}

void TMenuItem::Changed() {
  if (TMenu* menu = Menu()) menu->MenuChanged();
}

void TMenuItem::SetCaption(const AnsiString& value) {
  if (FCaption == value) return;
  FCaption = value;
  Changed();
}

void TMenuItem::SetChecked(bool value) {
  if (FChecked == value) return;
  FChecked = value;
  // A checked radio item unchecks the others of its group.
  if (value && FRadioItem && FParent)
    for (TMenuItem* sibling : FParent->FItems)
      if (sibling != this && sibling->FRadioItem && sibling->FGroupIndex == FGroupIndex) sibling->FChecked = false;
  Changed();
}

void TMenuItem::SetEnabled(bool value) {
  if (FEnabled == value) return;
  FEnabled = value;
  Changed();
}

void TMenuItem::SetVisible(bool value) {
  if (FVisible == value) return;
  FVisible = value;
  Changed();
}

void TMenuItem::SetDefault(bool value) {
  if (FDefault == value) return;
  FDefault = value;
  Changed();
}

void TMenuItem::SetRadioItem(bool value) {
  if (FRadioItem == value) return;
  FRadioItem = value;
  Changed();
}

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  if (item->FParent) throw EInvalidOperation("Menu inserted twice");
  if (index < 0 || index > Count()) throw EListError("Menu index out of bounds");
  FItems.insert(FItems.begin() + index, item);
  item->FParent = this;
  Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  if (it == FItems.end()) throw EListError("Menu item not found");
  FItems.erase(it);
  item->FParent = nullptr;
  Changed();
}

void TMenuItem::Clear() {
  while (!FItems.empty()) {
    TMenuItem* item = FItems.back();
    Remove(item);
    if (!item->Owner()) Free(item);
  }
}

TComponent* TMenuItem::GetParentComponent() const {
  if (FParent && FParent->FMenu) return FParent->FMenu;
  return FParent;
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (FParent) FParent->Remove(this);
  if (auto* menu = ObjectAs<TMenu>(parent)) menu->Items()->Add(this);
  else if (auto* item = ObjectAs<TMenuItem>(parent)) item->Add(this);
  else if (parent) throw EInvalidOperation(AnsiString("A menu item belongs in a menu or a menu item, not in a ") + parent->ClassName());
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TMenuItem* TMenuItem::FindCommand(UINT command) {
  if (FCommand == command) return this;
  for (TMenuItem* item : FItems)
    if (TMenuItem* found = item->FindCommand(command)) return found;
  return nullptr;
}

TMenuItem* TMenuItem::FindShortCut(TShortCut shortCut) {
  if (!FVisible || !FEnabled) return nullptr;
  if (FShortCut != 0 && FShortCut == shortCut) return this;
  for (TMenuItem* item : FItems)
    if (TMenuItem* found = item->FindShortCut(shortCut)) return found;
  return nullptr;
}

void TMenuItem::Click() { FireEvent(OnClick, this); }

void TMenuItem::AppendTo(HMENU menu) {
  if (!FVisible) return;
  if (IsLine()) {
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    return;
  }
  UINT flags = MF_STRING;
  if (!FEnabled) flags |= MF_GRAYED;
  if (FChecked) flags |= MF_CHECKED;
  UINT_PTR id = FCommand;
  if (!FItems.empty()) {
    HMENU sub = CreatePopupMenu();
    for (TMenuItem* item : FItems) item->AppendTo(sub);
    flags |= MF_POPUP;
    id = reinterpret_cast<UINT_PTR>(sub);
  }
  AppendMenuA(menu, flags, id, FCaption.c_str());
  const int position = GetMenuItemCount(menu) - 1;
  if (FRadioItem && FChecked) CheckMenuRadioItem(menu, position, position, position, MF_BYPOSITION);
  if (FDefault) SetMenuDefaultItem(menu, position, TRUE);
}

// -- TMenu ----------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(nullptr) { FItems.FMenu = this; }

TMenu::~TMenu() {
  DestroyMenuHandle();
  FItems.FMenu = nullptr;
}

HMENU TMenu::Handle() {
  if (!FHandle) {
    FHandle = IsPopup() ? CreatePopupMenu() : CreateMenu();
    if (!FHandle) throw EOutOfResources("Cannot create a menu");
    HandleCreated(hkMenu);
    for (TMenuItem* item : FItems.FItems) item->AppendTo(FHandle);
  }
  return FHandle;
}

void TMenu::DestroyMenuHandle() {
  if (!FHandle) return;
  DestroyMenu(FHandle);
  FHandle = nullptr;
  HandleDeleted(hkMenu);
}

void TMenu::MenuChanged() { DestroyMenuHandle(); }

bool TMenu::DispatchCommand(UINT command) {
  TMenuItem* item = FItems.FindCommand(command);
  if (!item || item == &FItems) return false;
  item->Click();
  return true;
}

bool TMenu::IsShortCut(TShortCut shortCut) {
  TMenuItem* item = FItems.FindShortCut(shortCut);
  if (!item) return false;
  item->Click();
  return true;
}

void TMainMenu::SetWindowHandle(HWND wnd) {
  FWindowHandle = wnd;
  if (wnd) SetMenu(wnd, Handle());
}

void TMainMenu::MenuChanged() {
  if (!FWindowHandle) {
    TMenu::MenuChanged();
    return;
  }
  HMENU old = FHandle;
  FHandle = nullptr;
  SetMenu(FWindowHandle, Handle());
  if (old) {
    DestroyMenu(old);
    HandleDeleted(hkMenu);
  }
  DrawMenuBar(FWindowHandle);
}

void TPopupMenu::Popup(int X, int Y) {
  FireEvent(OnPopup, this);
  // The menu needs a window of this thread to report to; the answer comes
  // back directly, so nothing is dispatched through it.
  HWND owner = GetActiveWindow();
  HWND made = nullptr;
  if (!owner) {
    made = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
    owner = made;
  }
  const UINT command = TrackPopupMenu(Handle(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, X, Y, 0, owner, nullptr);
  if (made) DestroyWindow(made);
  if (command) DispatchCommand(command);
}

// -- Published properties -------------------------------------------------------

namespace {

const TPublishedRegistration menuItemRegistration(&TMenuItem::ClassInfo, {
    Property<&TMenuItem::Caption, &TMenuItem::SetCaption>("Caption"),
    Property<&TMenuItem::Checked, &TMenuItem::SetChecked>("Checked").Default(false),
    Property<&TMenuItem::Default, &TMenuItem::SetDefault>("Default").Default(false),
    Property<&TMenuItem::Enabled, &TMenuItem::SetEnabled>("Enabled").Default(true),
    Property<&TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex>("GroupIndex").Default(0),
    Property<&TMenuItem::RadioItem, &TMenuItem::SetRadioItem>("RadioItem").Default(false),
    Property<&TMenuItem::ShortCut, &TMenuItem::SetShortCut>("ShortCut").Default(0),
    Property<&TMenuItem::Visible, &TMenuItem::SetVisible>("Visible").Default(true),
    Event<&TMenuItem::OnClick>("OnClick"),
});

const TPublishedRegistration mainMenuRegistration(&TMainMenu::ClassInfo, {});

const TPublishedRegistration popupMenuRegistration(&TPopupMenu::ClassInfo, {
    Property<&TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup>("AutoPopup").Default(true),
    Event<&TPopupMenu::OnPopup>("OnPopup"),
});

}  // namespace
