#include "bars/model/BarComponents.h"

#include "bars/model/BarClassFactory.h"
#include "bars/model/BarGlobals.h"
#include "bars/model/BarManager.h"
#include "bars/model/BarRoutines.h"
#include "bars/model/BarStrings.h"
#include "bars/model/DesignController.h"
#include "bars/model/PopupMenu.h"
#include "foundation/Classes.h"
#include "foundation/Graphics.h"
#include "platform/Bitmap.h"
#include "platform/Exceptions.h"
#include "platform/ImageList.h"

const TClassInfo TdxObjectList::ClassInfo{"TdxObjectList", &TObjectList::ClassInfo, &dxBarMakeObject<TdxObjectList>};
const TClassInfo TdxComponentList::ClassInfo{"TdxComponentList", &TList::ClassInfo, &dxBarMakeObject<TdxComponentList>};
const TClassInfo TdxBarComponentList::ClassInfo{"TdxBarComponentList", &TdxComponentList::ClassInfo,
                                                &dxBarMakeObject<TdxBarComponentList>};
const TClassInfo TdxBarPersistent::ClassInfo{"TdxBarPersistent", &TPersistent::ClassInfo, nullptr};
const TClassInfo TdxBarComponent::ClassInfo{"TdxBarComponent", &TComponent::ClassInfo, nullptr};
const TClassInfo TdxBarGroup::ClassInfo{"TdxBarGroup", &TdxBarComponent::ClassInfo, &dxBarMakeComponent<TdxBarGroup>};
const TClassInfo TdxBarPopupMenuLink::ClassInfo{
    "TdxBarPopupMenuLink", &TCollectionItem::ClassInfo,
    [](TObject* owner) -> TObject* { return new TdxBarPopupMenuLink(static_cast<TCollection*>(owner)); }};
const TClassInfo TdxBarPopupMenuLinks::ClassInfo{"TdxBarPopupMenuLinks", &TOwnedCollection::ClassInfo, nullptr};
const TClassInfo TdxBarBackgrounds::ClassInfo{"TdxBarBackgrounds", &TdxBarPersistent::ClassInfo, nullptr};
const TClassInfo TdxBarImageOptions::ClassInfo{"TdxBarImageOptions", &TdxBarPersistent::ClassInfo, nullptr};

// --- Object lists -------------------------------------------------------------

void TdxObjectList::AddUnique(TObject* object) {
  if (object && IndexOf(object) < 0) Add(object);
}

void TdxObjectList::AssignTo(TList* target) const {
  target->Clear();
  target->SetCapacity(Capacity());
  auto* unique = dynamic_cast<TdxObjectList*>(target);
  for (int i = 0; i < Count(); ++i) {
    if (unique)
      unique->AddUnique(Items(i));
    else
      target->Add(Items(i));
  }
}

// --- Component lists -----------------------------------------------------------

// Hears when a member is freed and drops it from the list.
class TdxComponentList::TNotifier : public TComponent {
public:
  explicit TNotifier(TdxComponentList* list) : TComponent(nullptr), FList(list) {}

protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove)
      while (FList->IndexOf(component) >= 0) FList->Remove(component);
  }

private:
  TdxComponentList* FList;
};

TdxComponentList::TdxComponentList() : FNotifier(new TNotifier(this)) {}

TdxComponentList::~TdxComponentList() {
  // Freeing the list reports nothing.
  FUpdateCount = 1;
  Clear();
  FreeAndNil(FNotifier);
}

void TdxComponentList::EndUpdate(bool report) {
  if (FUpdateCount > 0) --FUpdateCount;
  if (report) Changed(nullptr, clcChanged);
}

void TdxComponentList::Changed(TComponent* component, TdxComponentListChangeKind kind) {
  if (FUpdateCount == 0) FireEvent(OnComponentListChanged, this, component, kind);
}

void TdxComponentList::Notify(void* item, TListNotification action) {
  auto* component = static_cast<TComponent*>(item);
  if (!component) return;
  // Only members of the item class get in (others are taken out again at
  // once, without any event); a member leaving may already be half
  // destroyed, so its class is not asked again.
  if (FRejecting) return;
  if (action == lnAdded && !component->InheritsFrom(ItemClass())) {
    FRejecting = true;
    TList::Extract(item);
    FRejecting = false;
    return;
  }
  if (action != lnAdded && !FNotifier) return;
  ComponentNotify(component, action);
}

void TdxComponentList::ComponentNotify(TComponent* component, TListNotification action) {
  // The class library's own handling: watch members for their freeing.
  if (FNotifier) {
    if (action == lnAdded)
      component->FreeNotification(FNotifier);
    else if (!component->IsDestroying() && IndexOf(component) < 0)
      component->RemoveFreeNotification(FNotifier);
  }
  FireEvent(OnComponentListNotify, this, component, action);
  Changed(component, action == lnAdded ? clcAdded : action == lnExtracted ? clcExtracted : clcDeleted);
}

TdxBarComponentList::~TdxBarComponentList() {
  // Emptied here, while the members still hear which list they leave.
  BeginUpdate();
  Clear();
}

TClass TdxBarComponentList::ItemClass() const { return &TdxBarComponent::ClassInfo; }

void TdxBarComponentList::ComponentNotify(TComponent* component, TListNotification action) {
  auto* bar = static_cast<TdxBarComponent*>(component);
  if (action == lnAdded) {
    if (bar->FContainingLists) bar->FContainingLists->Add(this);
  } else if (!bar->IsDestroying() && bar->FContainingLists) {
    bar->FContainingLists->Remove(this);
  }
  TdxComponentList::ComponentNotify(component, action);
}

// --- Components -------------------------------------------------------------------

TPersistent* TdxBarPersistent::GetOwner() { return FOwner; }

TdxBarComponent::TdxBarComponent(TComponent* AOwner) : TComponent(AOwner), FContainingLists(new TdxObjectList) {}

TdxBarComponent::~TdxBarComponent() {
  // The lists still holding the component hear of its freeing through
  // their free notification; none of them touches the containing lists
  // any more.
  FreeAndNil(FContainingLists);
}

void TdxBarComponent::NotifyListsChanged(bool wholeList) {
  if (IsDestroying()) return;
  for (int i = 0; i < FContainingLists->Count(); ++i)
    static_cast<TdxComponentList*>(FContainingLists->Items(i))->Changed(wholeList ? nullptr : this, clcChanged);
}

bool TdxBarComponent::DoCanBeDeleted(bool) {
  IdxBarDesigner* designer = FBarManager ? FBarManager->Designer() : nullptr;
  return !designer || designer->CanDeleteComponent(this);
}

void TdxBarComponent::DoDeleteSelected(IdxBarSelectableItem*& self, bool withItem) {
  if (!CanBeDeleted(withItem)) return;
  self = nullptr;
  Free(this);
}

void TdxBarComponent::DoAddDependents(TdxObjectList* list) { list->AddUnique(Owner()); }

int TdxBarComponent::DoSelectionStatus() {
  IdxBarDesigner* designer = FBarManager ? FBarManager->Designer() : nullptr;
  return designer ? designer->SelectionStatus(this) : 0;
}

bool TdxBarComponent::DoIsSelected() {
  IdxBarDesigner* designer = FBarManager ? FBarManager->Designer() : nullptr;
  return designer && designer->IsComponentSelected(this);
}

void TdxBarComponent::DoSelect(int operation) {
  if (IdxBarDesigner* designer = FBarManager ? FBarManager->Designer() : nullptr)
    designer->SelectComponent(this, operation);
}

// --- Groups -------------------------------------------------------------------------

TdxBarGroup::TdxBarGroup(TComponent* AOwner) : TdxBarComponent(AOwner), FItems(New<TdxBarComponentList>()) {}

TdxBarGroup::~TdxBarGroup() {
  if (FBarManager && FBarManager->Groups()) FBarManager->Groups()->Remove(this);
  FreeAndNil(FItems);
}

bool TdxBarGroup::Contains(TdxBarComponent* component) const {
  if (component == this) return true;
  for (int i = 0; i < MemberCount(); ++i) {
    if (MemberAt(i) == component) return true;
    if (auto* group = dynamic_cast<TdxBarGroup*>(MemberAt(i)))
      if (group->Contains(component)) return true;
  }
  return false;
}

void TdxBarGroup::Add(TdxBarComponent* component) {
  if (!component || IndexOf(component) >= 0) return;
  auto* group = dynamic_cast<TdxBarGroup*>(component);
  if (component == this || (group && group->Contains(this)))
    throw EComponentError(LoadOverridableResString(dxSBAR_RECURSIVEGROUPS));
  FItems->Add(component);
}

int TdxBarGroup::IndexOf(TdxBarComponent* component) const { return FItems->IndexOf(component); }

void TdxBarGroup::Remove(TdxBarComponent* component) { FItems->Remove(component); }

void TdxBarGroup::SetEnabled(bool value) {
  FEnabled = value;
  TdxBarDesignController* design = BarDesignController();
  const bool locked = FBarManager && !(design && design->IsQuickCustomizing()) &&
                      !ComponentState().Contains(csLoading) && !IsDestroying();
  if (locked) FBarManager->LockUpdate();
  try {
    for (int i = 0; i < MemberCount(); ++i) MemberAt(i)->SetEnabled(value);
  } catch (...) {
    if (locked) FBarManager->UnlockUpdate();
    throw;
  }
  if (locked) FBarManager->UnlockUpdate();
}

void TdxBarGroup::SetVisible(int value) {
  FVisible = static_cast<TdxBarItemVisible>(value);
  if (ComponentState().Contains(csLoading) || IsDestroying()) return;
  if (FBarManager) FBarManager->LockUpdate();
  try {
    for (int i = 0; i < MemberCount(); ++i) MemberAt(i)->SetVisible(value);
  } catch (...) {
    if (FBarManager) FBarManager->UnlockUpdate();
    throw;
  }
  if (FBarManager) FBarManager->UnlockUpdate();
}

void TdxBarGroup::ReadItemNames(const std::vector<AnsiString>& names) {
  if (ComponentState().Contains(csLoading)) {
    FLoadedNames = names;
    return;
  }
  FItems->Clear();
  ResolveNames(names);
}

std::vector<AnsiString> TdxBarGroup::ItemNames() const {
  if (IsLoadingAsAncestor(const_cast<TdxBarGroup*>(this))) return FLoadedNames;
  std::vector<AnsiString> names;
  for (int i = 0; i < MemberCount(); ++i) names.push_back(MemberName(i));
  return names;
}

void TdxBarGroup::ResolveNames(const std::vector<AnsiString>& names) {
  TComponent* root = FBarManager ? FBarManager->Owner() : nullptr;
  if (!root) return;
  for (const AnsiString& name : names)
    if (auto* component = dynamic_cast<TdxBarComponent*>(root->FindComponent(name))) Add(component);
}

void TdxBarGroup::Loaded() {
  TdxBarComponent::Loaded();
  ResolveNames(FLoadedNames);
  FLoadedNames.clear();
}

void TdxBarGroup::SetName(const AnsiString& value) {
  TdxBarComponent::SetName(value);
  NotifyListsChanged(false);
}

TComponent* TdxBarGroup::GetParentComponent() const { return FBarManager; }

void TdxBarGroup::SetParentComponent(TComponent* parent) {
  if (auto* manager = dynamic_cast<TdxBarManager*>(parent)) {
    FBarManager = manager;
    manager->AddGroup(this);
  }
}

// --- Popup-menu links -------------------------------------------------------------------

// The link's window procedure in front of the control's. It outlives its
// link when another procedure was put in front of it later: then it only
// passes messages on, and steps out of the chain as soon as it is the
// current procedure again. Hooks whose link and control are both gone are
// freed later, never inside a notification or a message of their own.
class TdxBarPopupMenuLink::THook : public TComponent {
public:
  THook(TdxBarPopupMenuLink* link, TWinControl* control)
      : TComponent(nullptr), FLink(link), FControl(control), FSaved(control->WindowProc) {
    FreeDeadPopupMenuLinkHooks();
    control->WindowProc = Method();
    control->FreeNotification(this);
  }

  TWndMethod Method() { return TWndMethod::Bind<&THook::WndProc>(this); }

  // The link goes or drops its control: unhook when current, else stay as
  // a pass-through.
  void Release() {
    FLink = nullptr;
    if (FControl && FControl->WindowProc == Method()) {
      FControl->WindowProc = FSaved;
      FControl->RemoveFreeNotification(this);
      FControl = nullptr;
    }
    if (!FControl) Bury();
  }

  void CallSaved(TMessage& message) { FSaved(message); }

  static std::vector<THook*>& Dead() {
    static std::vector<THook*> dead;
    return dead;
  }

protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation != opRemove || component != FControl) return;
    FControl = nullptr;
    if (FLink) {
      FLink->FControl = nullptr;
      FLink->FHook = nullptr;
      FLink = nullptr;
    }
    Bury();
  }

private:
  void Bury() { Dead().push_back(this); }

  void WndProc(TMessage& message) {
    if (FLink) {
      FLink->HookedWndProc(message, this);
      return;
    }
    const TWndMethod saved = FSaved;
    if (FControl && FControl->WindowProc == Method()) {
      // Current again: step out of the chain.
      FControl->WindowProc = saved;
      FControl->RemoveFreeNotification(this);
      FControl = nullptr;
      Bury();
    }
    saved(message);
  }

  TdxBarPopupMenuLink* FLink;
  TWinControl* FControl;
  TWndMethod FSaved;
};

void FreeDeadPopupMenuLinkHooks() {
  std::vector<TdxBarPopupMenuLink::THook*> dead;
  dead.swap(TdxBarPopupMenuLink::THook::Dead());
  for (TdxBarPopupMenuLink::THook* hook : dead) Free(hook);
}

TdxBarPopupMenuLink::TdxBarPopupMenuLink(TCollection* collection) : TCollectionItem(collection) {}

TdxBarPopupMenuLink::~TdxBarPopupMenuLink() {
  if (FHook) FHook->Release();
  FHook = nullptr;
}

TdxBarManager* TdxBarPopupMenuLink::BarManager() const {
  auto* links = dynamic_cast<TdxBarPopupMenuLinks*>(Collection());
  return links ? links->BarManager() : nullptr;
}

void TdxBarPopupMenuLink::SetControl(TWinControl* value) {
  TdxBarManager* manager = BarManager();
  if (value && !IsWithinManagerHost(manager, value)) value = nullptr;
  if (value == FControl) return;
  if (FHook) FHook->Release();
  FHook = nullptr;
  FControl = value;
  if (!value) return;
  if (manager) value->FreeNotification(manager);
  FHook = new THook(this, value);
}

void TdxBarPopupMenuLink::SetPopupMenu(TdxBarPopupMenu* value) {
  FPopupMenu = value;
  if (value && BarManager()) value->FreeNotification(BarManager());
}

void TdxBarPopupMenuLink::HookedWndProc(TMessage& message, THook* hook) {
  if (message.Msg != WM_CONTEXTMENU || !FControl || FControl->ComponentState().Contains(csDesigning)) {
    hook->CallSaved(message);
    return;
  }
  const TContextPopupEvent own = TContextPopupEvent::Bind<&TdxBarPopupMenuLink::ContextPopup>(this);
  // A nested context menu request goes nowhere.
  if (FControl->OnContextPopup == own) return;
  TWinControl* control = FControl;
  FSavedContextPopup = control->OnContextPopup;
  control->OnContextPopup = own;
  const TContextPopupEvent saved = FSavedContextPopup;
  try {
    hook->CallSaved(message);
  } catch (...) {
    control->OnContextPopup = saved;
    throw;
  }
  control->OnContextPopup = saved;
}

void TdxBarPopupMenuLink::ContextPopup(TObject* Sender, POINT MousePos, bool& Handled) {
  FireEvent(FSavedContextPopup, Sender, MousePos, Handled);
  if (Handled || !FControl) return;
  if (FProcessChildren || !FControl->ControlAtPos(MousePos, true, true)) Handled = ShowPopupAt(MousePos);
}

bool TdxBarPopupMenuLink::ShowPopupAt(POINT position) {
  const bool clickedByMouse = !(position.x == -1 && position.y == -1);
  bool allowPopup = FPopupMenu != nullptr;
  int x = position.x, y = position.y;
  FireEvent(OnAction, this, x, y, clickedByMouse, allowPopup);
  if (allowPopup && FPopupMenu && FControl) {
    const POINT screen = FControl->ClientToScreen(POINT{x, y});
    FPopupMenu->Popup(screen.x, screen.y);
  }
  return allowPopup;
}

bool TdxBarPopupMenuLink::RunShortCut(TShortCut shortCut) {
  bool allowPopup = FPopupMenu != nullptr;
  int x = -1, y = -1;
  FireEvent(OnAction, this, x, y, false, allowPopup);
  return allowPopup && FPopupMenu && FPopupMenu->ExecuteShortCut(shortCut);
}

void TdxBarPopupMenuLink::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TdxBarPopupMenuLink*>(source);
  if (!other) {
    TCollectionItem::Assign(source);
    return;
  }
  TdxBarManager* manager = BarManager();
  TComponent* root = manager ? manager->Owner() : nullptr;
  auto find = [&](TComponent* named) -> TComponent* {
    return named && root ? root->FindComponent(named->Name()) : nullptr;
  };
  TComponent* control = find(other->Control());
  TComponent* menu = find(other->PopupMenu());
  if ((control && !dynamic_cast<TWinControl*>(control)) || (menu && !dynamic_cast<TdxBarPopupMenu*>(menu)))
    throw EConvertError(LoadOverridableResString(dxSBAR_INVALIDCAST));
  SetControl(static_cast<TWinControl*>(control));
  SetPopupMenu(static_cast<TdxBarPopupMenu*>(menu));
  FProcessChildren = other->FProcessChildren;
}

TdxBarPopupMenuLinks::TdxBarPopupMenuLinks(TdxBarManager* manager)
    : TOwnedCollection(manager, &TdxBarPopupMenuLink::ClassInfo), FBarManager(manager) {}

bool TdxBarPopupMenuLinks::ExecuteShortCut(TControl* control, TShortCut shortCut) {
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->Control() == control && Items(i)->RunShortCut(shortCut)) return true;
  for (int i = 0; i < Count(); ++i) {
    TdxBarPopupMenuLink* link = Items(i);
    if (link->ProcessChildren() && link->Control() && link->Control() != control &&
        IsWithinControl(link->Control(), control) && link->RunShortCut(shortCut))
      return true;
  }
  TdxBarManager* parent = FBarManager ? FBarManager->ParentManager() : nullptr;
  return parent && parent->PopupMenuLinks()->ExecuteShortCut(control, shortCut);
}

// --- Backgrounds -------------------------------------------------------------------------

TdxBarBackgrounds::TdxBarBackgrounds(TdxBarManager* owner)
    : TdxBarPersistent(owner),
      FBar(NewBitmapWithChangeHandler(TNotifyEvent::Bind<&TdxBarBackgrounds::BarChanged>(this))),
      FSubMenu(new TBitmap) {}

TdxBarBackgrounds::~TdxBarBackgrounds() {
  FreeAndNil(FSubMenu);
  FreeAndNil(FBar);
}

void TdxBarBackgrounds::BarChanged(TObject*) {
  if (BarManager()) BarManager()->ApplyStyle();
}

void TdxBarBackgrounds::SetBar(TBitmap* value) {
  const bool wasEmpty = FBar->GetEmpty();
  const TNotifyEvent handler = FBar->OnChange;
  FBar->OnChange = TNotifyEvent{};
  if (value)
    FBar->Assign(value);
  else
    FBar->SetSize(0, 0);
  FBar->OnChange = handler;
  if ((value || !wasEmpty) && BarManager()) BarManager()->ApplyStyle();
}

void TdxBarBackgrounds::SetSubMenu(TBitmap* value) {
  if (value)
    FSubMenu->Assign(value);
  else
    FSubMenu->SetSize(0, 0);
}

void TdxBarBackgrounds::Assign(TPersistent* source) {
  if (auto* other = dynamic_cast<TdxBarBackgrounds*>(source)) {
    SetBar(other->Bar());
    SetSubMenu(other->SubMenu());
    return;
  }
  TdxBarPersistent::Assign(source);
}

// --- Image options ---------------------------------------------------------------------------

TdxBarImageOptions::TdxBarImageOptions(TdxBarManager* owner)
    : TdxBarPersistent(owner), FNotificator(New<TcxFreeNotificator>(nullptr)) {
  FNotificator->OnFreeNotification = TcxFreeNotificationEvent::Bind<&TdxBarImageOptions::ImageListFreed>(this);
  for (TChangeLink*& link : FChangeLinks) link = new TChangeLink;
  UpdateGlyphSize();
}

TdxBarImageOptions::~TdxBarImageOptions() {
  TCustomImageList** fields[5] = {&FDisabledImages, &FDisabledLargeImages, &FHotImages, &FImages, &FLargeImages};
  for (int i = 0; i < 5; ++i) {
    if (*fields[i]) {
      (*fields[i])->UnRegisterChanges(FChangeLinks[i]);
      (*fields[i])->RemoveFreeNotification(FNotificator);
    }
  }
  for (TChangeLink*& link : FChangeLinks) FreeAndNil(link);
  FreeAndNil(FNotificator);
}

void TdxBarImageOptions::SetList(TCustomImageList*& field, int link, TCustomImageList* value) {
  SetImageListWithNotification(value, field, FChangeLinks[link], FNotificator);
}

void TdxBarImageOptions::SetDisabledImages(TCustomImageList* value) { SetList(FDisabledImages, 0, value); }
void TdxBarImageOptions::SetDisabledLargeImages(TCustomImageList* value) { SetList(FDisabledLargeImages, 1, value); }
void TdxBarImageOptions::SetHotImages(TCustomImageList* value) { SetList(FHotImages, 2, value); }
void TdxBarImageOptions::SetImages(TCustomImageList* value) { SetList(FImages, 3, value); }

void TdxBarImageOptions::SetLargeImages(TCustomImageList* value) {
  if (value == FLargeImages) return;
  SetList(FLargeImages, 4, value);
  if (FLargeIcons && FUseLargeImagesForLargeIcons) FireEvent(OnLargeIconsChanged, this);
}

void TdxBarImageOptions::SetImageListBkColor(TColor value) {
  if (value == FImageListBkColor) return;
  FImageListBkColor = value;
  FireEvent(OnOptionsChanged, this);
}

void TdxBarImageOptions::SetLargeIcons(bool value) {
  if (value == FLargeIcons) return;
  FLargeIcons = value;
  FireEvent(OnLargeIconsChanged, this);
}

void TdxBarImageOptions::SetMakeDisabledImagesFaded(bool value) {
  if (value == FMakeDisabledImagesFaded) return;
  FMakeDisabledImagesFaded = value;
  FireEvent(OnOptionsChanged, this);
}

void TdxBarImageOptions::SetUseLargeImagesForLargeIcons(bool value) {
  if (value == FUseLargeImagesForLargeIcons) return;
  FUseLargeImagesForLargeIcons = value;
  FireEvent(OnOptionsChanged, this);
}

void TdxBarImageOptions::SetUseLeftBottomPixelAsTransparent(bool value) {
  if (value == FUseLeftBottomPixelAsTransparent) return;
  FUseLeftBottomPixelAsTransparent = value;
  FireEvent(OnOptionsChanged, this);
}

void TdxBarImageOptions::UpdateGlyphSize() {
  if (!FLargeIcons)
    FGlyphSize = 16;
  else if (FUseLargeImagesForLargeIcons && FLargeImages)
    FGlyphSize = FLargeImages->Width();
  else
    FGlyphSize = 32;
}

void TdxBarImageOptions::ImageListFreed(TComponent* component) {
  if (component == FDisabledLargeImages) SetDisabledLargeImages(nullptr);
  if (component == FDisabledImages) SetDisabledImages(nullptr);
  if (component == FHotImages) SetHotImages(nullptr);
  if (component == FImages) SetImages(nullptr);
  if (component == FLargeImages) SetLargeImages(nullptr);
}

bool TdxBarImageOptions::AnyImageListLoading() const {
  for (TCustomImageList* list : {FDisabledImages, FDisabledLargeImages, FHotImages, FImages, FLargeImages})
    if (list && list->ComponentState().Contains(csLoading)) return true;
  return false;
}

void TdxBarImageOptions::Assign(TPersistent* source) {
  auto* other = dynamic_cast<TdxBarImageOptions*>(source);
  if (!other) {
    TdxBarPersistent::Assign(source);
    return;
  }
  SetDisabledImages(other->DisabledImages());
  SetDisabledLargeImages(other->DisabledLargeImages());
  SetHotImages(other->HotImages());
  SetImageListBkColor(other->ImageListBkColor());
  SetImages(other->Images());
  SetLargeImages(other->LargeImages());
  SetLargeIcons(other->LargeIcons());
  SetMakeDisabledImagesFaded(other->MakeDisabledImagesFaded());
  SmoothGlyphs = other->SmoothGlyphs;
  StretchGlyphs = other->StretchGlyphs;
  SetUseLargeImagesForLargeIcons(other->UseLargeImagesForLargeIcons());
  SetUseLeftBottomPixelAsTransparent(other->UseLeftBottomPixelAsTransparent());
}
