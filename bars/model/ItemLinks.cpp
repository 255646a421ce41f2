#include "bars/model/ItemLinks.h"

#include "bars/model/BarClassFactory.h"
#include "bars/model/BarGlobals.h"
#include "bars/model/BarManager.h"
#include "bars/model/DesignController.h"
#include "bars/model/PopupMenu.h"
#include "bars/model/BarRoutines.h"
#include "bars/model/ItemKinds.h"
#include "bars/views/BarControl.h"
#include "bars/views/ItemActionLink.h"
#include "bars/views/ItemControl.h"
#include "platform/Bitmap.h"
#include "platform/Numbers.h"
#include "platform/Win32.h"

#include <algorithm>

namespace {

TObject* MakeItemLink(TObject* collection) { return new TdxBarItemLink(static_cast<TCollection*>(collection)); }

template <class T>
int IndexIn(const std::vector<T*>& list, const T* value) {
  auto it = std::find(list.begin(), list.end(), value);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

template <class T>
void EraseFrom(std::vector<T*>& list, const T* value) {
  auto it = std::find(list.begin(), list.end(), value);
  if (it != list.end()) list.erase(it);
}

}  // namespace

const TClassInfo TdxBarItemLink::ClassInfo{"TdxBarItemLink", &TCollectionItem::ClassInfo, &MakeItemLink};
const TClassInfo TdxBarItemOptions::ClassInfo{"TdxBarItemOptions", &TPersistent::ClassInfo, nullptr};
const TClassInfo TdxBarItemLinks::ClassInfo{"TdxBarItemLinks", &TCollection::ClassInfo, nullptr};
const TClassInfo TdxBarControlItemLinks::ClassInfo{"TdxBarControlItemLinks", &TdxBarItemLinks::ClassInfo, nullptr};
const TClassInfo TdxBarSubMenuControlItemLinks::ClassInfo{"TdxBarSubMenuControlItemLinks", &TdxBarItemLinks::ClassInfo,
                                                          nullptr};

// --- TdxBarItemLink ------------------------------------------------------

// Joins the collection once whole, so the collection hears of a complete
// link.
TdxBarItemLink::TdxBarItemLink(TCollection* collection)
    : TCollectionItem(nullptr),
      FUserGlyph(NewBitmapWithChangeHandler(TNotifyEvent::Bind<&TdxBarItemLink::UserGlyphChanged>(this))) {
  if (collection) SetCollection(collection);
}

void TdxBarItemLink::Joined() {
  TdxBarItemLinks* links = Links();
  if (!links) return;
  TdxBarManager* manager = OwningManager();
  FUseCount = manager ? manager->RecentUseCount() : 0;
  if (links->IndexOfUsage(this) < 0) links->FUsageOrder.push_back(this);
  if (manager && !manager->IsLoading()) FireEvent(manager->OnItemLinkAdd, manager, this);
}

// What a going link undoes happens while it is still in its collection.
void TdxBarItemLink::BeforeDestruction() {
  TdxBarManager* manager = OwningManager();
  if (manager && !manager->IsBeingDestroyed()) FireEvent(manager->OnItemLinkDelete, manager, this);
  if (FControl) {
    TCustomdxBarControl* host = HostBarControl();
    if (host && !host->IsDestroying()) {
      if (host->SelectedControl() == FControl) {
        if (manager) manager->SetSelectedItemControl(nullptr);
        host->SetSelectedControl(nullptr);
      }
    }
    FreeItemControl();
  }
  if (TdxBarDesignController* designer = BarDesignController()) designer->LinkFreed(this);
  DetachFromItem();
  TCollectionItem::BeforeDestruction();
}

TdxBarItemLink::~TdxBarItemLink() {
  DetachFromItem();
  FreeAndNil(FUserGlyph);
}

TdxBarItemLinks* TdxBarItemLink::Links() const { return static_cast<TdxBarItemLinks*>(Collection()); }

TdxBarManager* TdxBarItemLink::OwningManager() const { return Links() ? Links()->BarManager() : nullptr; }

TCustomdxBarControl* TdxBarItemLink::HostBarControl() const { return Links() ? Links()->BarControl() : nullptr; }

TdxBarItem* TdxBarItemLink::Item() const {
  if (!FLoadedItemName.empty() && Links()) {
    auto* owner = dynamic_cast<TComponent*>(Links()->OwnerObject());
    TdxBarManager* manager = OwningManager();
    if (owner && manager && IsLoadingAsAncestor(owner)) return manager->ItemByName(FLoadedItemName);
  }
  return FItem;
}

void TdxBarItemLink::ResolveLoadedItem() {
  if (FLoadedItemName.empty()) return;
  TdxBarManager* manager = OwningManager();
  TdxBarItem* item = manager ? manager->ItemByName(FLoadedItemName) : nullptr;
  FLoadedItemName.clear();
  if (item) SetItem(item);
}

void TdxBarItemLink::DetachFromItem() {
  if (!FItem) return;
  EraseFrom(FItem->FLinks, this);
  FItem = nullptr;
}

void TdxBarItemLink::SetItem(TdxBarItem* value) {
  if (value == FItem) return;
  TdxBarItemLinks* links = Links();
  if (!value) {
    // The link goes; the update begun here ends on the same collection.
    if (links) links->BeginUpdate();
    try {
      Free(this);
    } catch (...) {
      if (links) links->EndUpdate();
      throw;
    }
    if (links) links->EndUpdate();
    return;
  }
  if (links) links->BeginUpdate();
  try {
    FreeItemControl();
    DetachFromItem();
    AnsiString message;
    if (links && !links->CanContainItem(value, message)) throw EComponentError(message);
    FItem = value;
    FItem->FLinks.push_back(this);
    if (links) {
      links->RebuildLists();
      auto* ownerComponent = dynamic_cast<TComponent*>(links->OwnerObject());
      if (links->OwnerObject() && !(ownerComponent && ownerComponent->ComponentState().Contains(csLoading)))
        ApplyMostRecentlyUsed();
    }
  } catch (...) {
    if (links) links->EndUpdate();
    throw;
  }
  if (links) {
    const bool outermost = links->UpdateCount() == 1;
    links->EndUpdate();
    TdxBarManager* manager = OwningManager();
    if (outermost && manager && !manager->IsLoading()) FireEvent(manager->OnItemLinkChange, manager, this);
  }
}

bool TdxBarItemLink::BeginGroup() const {
  TdxBarItemLinks* links = Links();
  if (!links) return FBeginGroup;
  const int shown = links->IndexOfShown(this);
  if (FBeginGroup) return shown != 0;
  if (shown <= 0) return false;
  // A hidden link between the previous shown one and this passes its break
  // on.
  const int previous = links->GetShownLink(shown - 1)->Index();
  for (int i = Index() - 1; i > previous; --i) {
    auto* hidden = static_cast<TdxBarItemLink*>(links->Items(i));
    if (hidden->BeginGroup()) return true;
  }
  return false;
}

void TdxBarItemLink::SetBeginGroup(bool value) {
  if (value == FBeginGroup) return;
  FBeginGroup = value;
  if (FControl) FControl->RebuildParent();
  ReportChange();
}

void TdxBarItemLink::SetButtonGroup(TdxBarButtonGroupPosition value) {
  FButtonGroup = value;
  Changed(true);
}

void TdxBarItemLink::SetPosition(TdxBarItemPosition value) {
  FPosition = value;
  Changed(true);
}

void TdxBarItemLink::SetViewLevels(TdxBarItemViewLevels value) {
  FViewLevels = value;
  Changed(true);
}

void TdxBarItemLink::SetUserCaption(const AnsiString& value) {
  FUserCaption = value;
  SetUserDefine(FUserDefine - udCaption);
  SetUserDefine(FUserDefine + udCaption);
}

void TdxBarItemLink::SetUserGlyph(TBitmap* value) {
  if (value != FUserGlyph) FUserGlyph->Assign(value);
  SetUserDefine(FUserDefine - udGlyph);
  SetUserDefine(FUserDefine + udGlyph);
}

void TdxBarItemLink::SetUserPaintStyle(TdxBarPaintStyle value) {
  if (value == DisplayPaintStyle()) return;
  FUserPaintStyle = value;
  SetUserDefine(FUserDefine - udPaintStyle);
  SetUserDefine(FUserDefine + udPaintStyle);
}

void TdxBarItemLink::SetUserWidth(int value) {
  if (value == DisplayWidth()) return;
  FUserWidth = value;
  SetUserDefine(FUserDefine - udWidth);
  SetUserDefine(FUserDefine + udWidth);
}

void TdxBarItemLink::SetUserDefine(TdxBarUserDefines value) {
  if (value == FUserDefine) return;
  const TdxBarUserDefine order[] = {udCaption, udGlyph, udPaintStyle, udWidth};
  for (TdxBarUserDefine flag : order) {
    const bool had = FUserDefine.Contains(flag), has = value.Contains(flag);
    if (had == has) continue;
    if (had) {
      FUserDefine.Exclude(flag);
      switch (flag) {
        case udCaption: FUserCaption.clear(); break;
        case udGlyph: {
          TNotifyEvent saved = FUserGlyph->OnChange;
          FUserGlyph->OnChange.Clear();
          FUserGlyph->Assign(nullptr);
          FUserGlyph->OnChange = saved;
          break;
        }
        case udPaintStyle: FUserPaintStyle = psStandard; break;
        case udWidth: FUserWidth = 0; break;
      }
    } else {
      FUserDefine.Include(flag);
    }
    if (!FControl) continue;
    switch (flag) {
      case udCaption: FControl->Changed(); break;
      case udGlyph: FControl->GlyphChanged(); break;
      case udPaintStyle: FControl->PaintStyleChanged(); break;
      case udWidth: FControl->WidthChanged(); break;
    }
  }
  ReportChange();
}

void TdxBarItemLink::UserGlyphChanged(TObject*) { RefreshControl(); }

void TdxBarItemLink::RefreshControl() {
  if (FControl) FControl->GlyphChanged();
}

void TdxBarItemLink::SetVisible(bool value) {
  TdxBarManager* manager = OwningManager();
  TdxBarItemLinks* links = Links();
  if ((manager && manager->IsLoading()) || (links && links->IsAssigning())) {
    FLoadedVisible = value;
    return;
  }
  if (value == FVisible) return;
  FVisible = value;
  if (!(manager && manager->IsDesigning()) && links) {
    links->RebuildLists();
    if (value) {
      RecordUse(false);
      if (HostBarControl()) {
        CreateItemControl();
        if (FControl) FControl->VisibilityChanged();
      }
    } else {
      MakeLeastRecent();
      if (FControl) {
        FControl->VisibilityChanged();
        FreeItemControl();
      }
    }
  }
  ReportChange();
}

void TdxBarItemLink::SetMostRecentlyUsed(bool value) {
  if (value == FMostRecentlyUsed) return;
  FMostRecentlyUsed = value;
  ApplyMostRecentlyUsed();
  if (TCustomdxBarControl* host = HostBarControl()) host->RebuildItems();
  ReportChange();
}

AnsiString TdxBarItemLink::DisplayCaption() const {
  TdxBarItem* item = Item();
  return FUserDefine.Contains(udCaption) || !item ? FUserCaption : item->Caption();
}

TBitmap* TdxBarItemLink::DisplayGlyph() const {
  TdxBarItem* item = Item();
  return FUserDefine.Contains(udGlyph) || !item ? FUserGlyph : item->Glyph();
}

TdxBarPaintStyle TdxBarItemLink::DisplayPaintStyle() const {
  TdxBarItem* item = Item();
  return FUserDefine.Contains(udPaintStyle) || !item ? FUserPaintStyle : item->PaintStyle();
}

int TdxBarItemLink::DisplayWidth() const {
  if (FUserDefine.Contains(udWidth)) return FUserWidth;
  if (auto* edit = dynamic_cast<TdxBarEdit*>(Item())) return edit->GetWidth();
  return 0;
}

int TdxBarItemLink::ShownIndex() const { return Links() ? Links()->IndexOfShown(this) : -1; }
int TdxBarItemLink::DisplayableIndex() const { return Links() ? Links()->IndexOfDisplayable(this) : -1; }
int TdxBarItemLink::UsageOrderIndex() const { return Links() ? Links()->IndexOfUsage(this) : -1; }

TdxBarItemLink* TdxBarItemLink::NextShownLink() const {
  TdxBarItemLinks* links = Links();
  const int n = links ? links->ShownLinkCount() : 0;
  const int i = ShownIndex();
  if (n == 0) return nullptr;
  TdxBarItemLink* next = links->GetShownLink(i < 0 ? 0 : (i + 1) % n);
  return next == this ? nullptr : next;
}

bool TdxBarItemLink::IsDisplayable() const {
  TdxBarItem* item = Item();
  return item && item->CanBeShown() && FVisible;
}

void TdxBarItemLink::StoreItemBounds(const RECT& r) {
  FItemRect = r;
  if (FControl) FControl->UpdateDrawState();
}

POINT TdxBarItemLink::ScreenToItemPoint(POINT p) const {
  if (TCustomdxBarControl* host = HostBarControl(); host && host->HandleAllocated())
    ScreenToClient(host->Handle(), &p);
  return POINT{p.x - FItemRect.left, p.y - FItemRect.top};
}

void TdxBarItemLink::CreateItemControl() {
  TCustomdxBarControl* host = HostBarControl();
  TdxBarItem* item = Item();
  if (FControl || !item || !host || host->IsDestroying()) return;
  TClass cls = item->ItemControlClass(host->IsTextRotated());
  if (!cls) return;
  TObject* made = CreateObject(cls, nullptr);
  FControl = dynamic_cast<TdxBarItemControl*>(made);
  if (!FControl) {
    Free(made);
    return;
  }
  FControl->AttachToLink(this);
}

void TdxBarItemLink::FreeItemControl() {
  if (!FControl) return;
  TdxBarItemControl* control = FControl;
  FControl = nullptr;
  Free(control);
}

void TdxBarItemLink::RecreateItemControl() {
  TdxBarManager* manager = OwningManager();
  if (manager && manager->IsUpdateLocked()) return;
  FreeItemControl();
  CreateItemControl();
}

bool TdxBarItemLink::AccelMatches(WORD key, TShiftState shift) const {
  AnsiString caption = DisplayCaption();
  const int position = FindAccelPosition(caption, false);
  if (position <= 0 || position > static_cast<int>(caption.size())) return false;
  const char original = caption[static_cast<size_t>(position - 1)];
  char lower = original;
  CharLowerBuffA(&lower, 1);
  if (lower != original) shift.Exclude(TShiftStateItem::ssShift);
  shift.Exclude(TShiftStateItem::ssAlt);
  if (lower >= '0' && lower <= '9') return key == static_cast<BYTE>(lower) && shift.Empty();
  const SHORT scan = VkKeyScanA(lower);
  if (scan == -1) return false;
  if (key != LOBYTE(scan)) return false;
  TShiftState wanted;
  if (HIBYTE(scan) & 1) wanted.Include(TShiftStateItem::ssShift);
  if (HIBYTE(scan) & 2) wanted.Include(TShiftStateItem::ssCtrl);
  TShiftState compared = shift * TShiftState{TShiftStateItem::ssShift, TShiftStateItem::ssCtrl};
  return compared == wanted;
}

void TdxBarItemLink::PassBeginGroupOn() {
  TdxBarItemLinks* links = Links();
  if (!Item() || !links) return;
  const int i = links->IndexOfDisplayable(this);
  const int n = links->DisplayableLinkCount();
  if (i < 0 || i == n - 1) return;
  TdxBarItemLink* next = links->GetDisplayableLink(i + 1);
  if (i == 0) {
    if (next->BeginGroup()) next->SetBeginGroup(false);
  } else if (BeginGroup() && !next->BeginGroup()) {
    next->SetBeginGroup(true);
  }
}

// --- Usage -----------------------------------------------------------------

void TdxBarItemLink::MoveToFront(bool count) {
  TdxBarItemLinks* links = Links();
  if (links && !links->RecentTrackingOn()) return;
  if (links) {
    links->MoveInUsage(this, 0);
    links->RebuildLists();
  }
  if (count) ++FUseCount;
}

void TdxBarItemLink::RecordUse(bool count) {
  if (!IsDisplayable()) return;
  TdxBarItemLinks* links = Links();
  const bool wasShown = links && links->IndexOfShown(this) >= 0;
  MoveToFront(count);
  if (!links || links->IndexOfDisplayable(this) < 0) return;  // a pruned separator
  if (!wasShown)
    if (TCustomdxBarControl* host = links->BarControl()) host->ScheduleRebuild();
  // The link that opened this menu records the use too.
  TObject* owner = links->OwnerObject();
  TdxBarItemLink* opener = nullptr;
  if (auto* item = dynamic_cast<TdxBarItem*>(owner)) {
    if (TdxBarItemLink* active = item->LinkWithActiveControl()) opener = active->SourceLink();
  } else if (owner) {
    if (auto* popup = dynamic_cast<TdxBarCustomPopupMenu*>(owner))
      if (TdxBarItem* opened = popup->OpenedByItem())
        if (TdxBarItemLink* active = opened->LinkWithActiveControl()) opener = active->SourceLink();
  }
  if (opener && opener != this) opener->RecordUse(count);
}

void TdxBarItemLink::MakeLeastRecent() {
  TdxBarItemLinks* links = Links();
  if (!links) return;
  const bool wasShown = links->IndexOfShown(this) >= 0;
  links->MoveInUsage(this, links->UsageOrderCount() - 1);
  if (wasShown)
    if (TCustomdxBarControl* host = links->BarControl()) host->ScheduleRebuild();
}

void TdxBarItemLink::ApplyMostRecentlyUsed() {
  TdxBarManager* manager = OwningManager();
  if (FMostRecentlyUsed) {
    FUseCount = manager ? manager->RecentUseCount() : 0;
    RecordUse(false);
  } else {
    FUseCount = 0;
    MakeLeastRecent();
  }
}

void TdxBarItemLink::CopyUsage(TdxBarItemLink* from) {
  if (!from) return;
  FUseCount = from->FUseCount;
  if (Links() && from->Links() == Links()) Links()->MoveInUsage(this, from->UsageOrderIndex());
}

void TdxBarItemLink::KeepRecentIndex() { FKeptRecentIndex = UsageOrderIndex(); }

void TdxBarItemLink::RestoreRecentIndex() {
  if (FKeptRecentIndex >= 0 && Links()) Links()->MoveInUsage(this, FKeptRecentIndex);
  FKeptRecentIndex = -1;
}

void TdxBarItemLink::Assign(TPersistent* source) {
  auto* from = dynamic_cast<TdxBarItemLink*>(source);
  if (!from) {
    TCollectionItem::Assign(source);
    return;
  }
  FData = from->FData;
  FUserCaption = from->FUserCaption;
  FUserGlyph->Assign(from->FUserGlyph);
  FUserPaintStyle = from->FUserPaintStyle;
  FUserWidth = from->FUserWidth;
  TdxBarItem* item = from->Item();
  TdxBarManager* manager = OwningManager();
  if (item && manager) {
    auto* ownerComponent = dynamic_cast<TComponent*>(Links() ? Links()->OwnerObject() : nullptr);
    const bool updating = manager->ComponentState().Contains(csUpdating) ||
                          (ownerComponent && ownerComponent->ComponentState().Contains(csUpdating));
    if (updating) item = manager->ItemByName(item->Name());
  }
  if (!item) {
    SetItem(nullptr);  // frees this link
    return;
  }
  SetItem(item);
  FUserDefine = from->FUserDefine;
  SetBeginGroup(from->BeginGroup());
  FButtonGroup = from->FButtonGroup;
  FPosition = from->FPosition;
  FViewLevels = from->FViewLevels;
  SetVisible(from->FVisible);
  ReportChange();
}

// --- Design-time selection ---------------------------------------------------

bool TdxBarItemLink::CanBeDeleted(bool) { return true; }

void TdxBarItemLink::DeleteSelected(IdxBarSelectableItem*& self, bool) {
  self = nullptr;
  Free(this);
}

void TdxBarItemLink::CommandApplied(int command) {
  TdxBarDesignController* designer = BarDesignController();
  TdxBarItemLink* source = designer ? designer->CustomizedLink() : nullptr;
  if (!source || source == this) return;
  switch (command) {
    case 0: SetUserDefine(TdxBarUserDefines{}); break;
    case 4:
      if (Item()) Item()->SetCaption(source->DisplayCaption());
      break;
    case 5: SetUserPaintStyle(source->UserPaintStyle()); break;
    case 6: SetPosition(source->Position()); break;
    case 7: SetViewLevels(source->ViewLevels()); break;
    case 8: SetButtonGroup(source->ButtonGroup()); break;
    case 9: SetBeginGroup(source->BeginGroup()); break;
    case 10: SetVisible(source->Visible()); break;
    case 11: SetMostRecentlyUsed(source->MostRecentlyUsed()); break;
    default: break;
  }
}

void TdxBarItemLink::AddDependents(TdxObjectList* list) {
  if (TCustomdxBarControl* host = HostBarControl()) list->AddUnique(host->LinksOwnerObject());
  if (Item()) list->AddUnique(Item());
}

TPersistent* TdxBarItemLink::SelectableParent() {
  TCustomdxBarControl* host = HostBarControl();
  return host ? dynamic_cast<TPersistent*>(host->LinksOwnerObject()) : nullptr;
}

int TdxBarItemLink::SelectionStatus() {
  TdxBarManager* manager = OwningManager();
  IdxBarDesigner* designer = manager ? manager->Designer() : nullptr;
  return designer ? designer->SelectionStatusOf(this) : 0;
}

unsigned TdxBarItemLink::SupportedCommands() { return Item() ? Item()->SupportedCommands() : 0; }

void TdxBarItemLink::Repaint() {
  if (FControl) FControl->Repaint();
}

bool TdxBarItemLink::IsSelected() {
  TdxBarManager* manager = OwningManager();
  IdxBarDesigner* designer = manager ? manager->Designer() : nullptr;
  if (!designer) return false;
  return designer->SelectionStatusOf(this) == 1 || (Item() && designer->SelectionStatusOf(Item()) == 1);
}

void TdxBarItemLink::Select(int operation) {
  TdxBarManager* manager = OwningManager();
  IdxBarDesigner* designer = manager ? manager->Designer() : nullptr;
  if (!designer) return;
  if (operation == 1) designer->SelectObject(this, operation);
  if (Item()) designer->SelectObject(Item(), operation == 1 ? 0 : operation);
}

bool TdxBarItemLink::EnterAction() {
  TdxBarManager* manager = OwningManager();
  if (manager) manager->SetSelectedItemControl(nullptr);
  if (TCustomdxBarControl* host = HostBarControl()) {
    host->SetSelectedControl(nullptr);
    if (manager && manager->Designer())
      if (auto* parent = dynamic_cast<TPersistent*>(host->LinksOwnerObject())) manager->Designer()->SelectObject(parent, 2);
  }
  return true;
}

void TdxBarItemLink::SelectionChanged() {
  if (Item()) Item()->SelectionChanged();
}

// --- TdxBarItemOptions -------------------------------------------------------

TPersistent* TdxBarItemOptions::GetOwner() { return FOwner; }

void TdxBarItemOptions::Assign(TPersistent* source) {
  auto* from = dynamic_cast<TdxBarItemOptions*>(source);
  if (!from) {
    TPersistent::Assign(source);
    return;
  }
  FAssignedValues = from->FAssignedValues;
  FShowDescriptions = from->FShowDescriptions;
  FShowShortCuts = from->FShowShortCuts;
  FSize = from->FSize;
}

bool TdxBarItemOptions::ShowDescriptions() const {
  return FAssignedValues.Contains(ioShowDescriptions) ? FShowDescriptions
                                                       : FOwner->DefaultOptionValue(ioShowDescriptions);
}
void TdxBarItemOptions::SetShowDescriptions(bool value) {
  FShowDescriptions = value;
  FAssignedValues.Include(ioShowDescriptions);
}
bool TdxBarItemOptions::ShowShortCuts() const {
  return FAssignedValues.Contains(ioShowShortCuts) ? FShowShortCuts : FOwner->DefaultOptionValue(ioShowShortCuts);
}
void TdxBarItemOptions::SetShowShortCuts(bool value) {
  FShowShortCuts = value;
  FAssignedValues.Include(ioShowShortCuts);
}
TdxBarMenuItemSize TdxBarItemOptions::Size() const {
  return FAssignedValues.Contains(ioSize) ? FSize : misNormal;
}
void TdxBarItemOptions::SetSize(TdxBarMenuItemSize value) {
  FSize = value;
  FAssignedValues.Include(ioSize);
}
int TdxBarItemOptions::StoredValue(TdxBarItemOption option) const {
  switch (option) {
    case ioShowDescriptions: return ShowDescriptions() ? 1 : 0;
    case ioShowShortCuts: return ShowShortCuts() ? 1 : 0;
    default: return static_cast<int>(Size());
  }
}

// --- TdxBarItemLinks ---------------------------------------------------------

TdxBarItemLinks::TdxBarItemLinks(TdxBarManager* manager, IdxBarLinksOwner* owner)
    : TCollection(&TdxBarItemLink::ClassInfo),
      FBarManager(manager),
      FOwner(owner),
      FItemOptions(new TdxBarItemOptions(this)) {}

TdxBarItemLinks::~TdxBarItemLinks() {
  FDestroying = true;
  FreeAndNil(FItemOptions);
  if (FBarControl && !FBarControl->IsDestroying()) FreeBarControl();
  // The links leave while the collection is still whole.
  Clear();
}

TPersistent* TdxBarItemLinks::GetOwner() { return dynamic_cast<TPersistent*>(OwnerObject()); }

bool TdxBarItemLinks::IsMenuLinks() const { return FOwner ? FOwner->IsMenuOwner() : false; }

bool TdxBarItemLinks::CanContainItem(TdxBarItem* item, AnsiString& message) {
  message.clear();
  return !FOwner || FOwner->CanContainItem(item, message);
}

int TdxBarItemLinks::IndexOfDisplayable(const TdxBarItemLink* link) const { return IndexIn(FDisplayable, link); }
int TdxBarItemLinks::IndexOfShown(const TdxBarItemLink* link) const { return IndexIn(FShown, link); }
int TdxBarItemLinks::IndexOfUsage(const TdxBarItemLink* link) const { return IndexIn(FUsageOrder, link); }

TdxBarItemLink* TdxBarItemLinks::LinkAt(int i) const {
  return i >= 0 && i < Count() ? static_cast<TdxBarItemLink*>(Items(i)) : nullptr;
}

int TdxBarItemLinks::IndexOfOwnLink(const TdxBarItemLink* link) const {
  return link && link->Collection() == this ? link->Index() : -1;
}

bool TdxBarItemLinks::HasItemControl(TdxBarItemControl* control) const {
  for (int i = 0; i < Count(); ++i)
    if (LinkAt(i)->Control() == control) return true;
  return false;
}

int TdxBarItemLinks::IndexOfItemName(const AnsiString& name) const {
  for (int i = 0; i < Count(); ++i)
    if (TdxBarItem* item = LinkAt(i)->Item(); item && item->Name() == name) return i;
  return -1;
}

TdxBarItemLink* TdxBarItemLinks::AddItem(TdxBarItem* item) {
  BeginUpdate();
  TdxBarItemLink* link = nullptr;
  try {
    link = AppendLink();
    link->SetItem(item);
  } catch (...) {
    // A refused item leaves no empty link behind.
    Free(link);
    EndUpdate();
    throw;
  }
  EndUpdate();
  return link;
}

TdxBarItemLink* TdxBarItemLinks::AddLinkWithNewItem(TClass itemClass, TComponent* owner) {
  TdxBarItemLink* link = AppendLink();
  TdxBarItem* item = nullptr;
  try {
    item = dynamic_cast<TdxBarItem*>(CreateObject(itemClass, owner ? owner : FBarManager));
    link->SetItem(item);
  } catch (...) {
    Free(item);
    Free(link);
    throw;
  }
  return link;
}

void TdxBarItemLinks::MoveLink(int from, int to) {
  BeginUpdate();
  try {
    if (from != to && from >= 0 && from < Count() && to >= 0 && to < Count()) LinkAt(from)->SetIndex(to);
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
  if (FBarControl) FBarControl->RebuildItems();
}

TCustomdxBarControl* TdxBarItemLinks::AttachBarControl() {
  if (!FOwner) return nullptr;
  FBarControl = FOwner->CreateBarControl();
  if (FBarControl) FBarControl->SetItemLinks(this);
  return FBarControl;
}

void TdxBarItemLinks::FreeBarControl() {
  TCustomdxBarControl* control = FBarControl;
  FBarControl = nullptr;
  Free(control);
}

TdxBarItemLinks* TdxBarItemLinks::ParentLinks() const {
  TCustomdxBarControl* parent = FBarControl ? FBarControl->ParentBar() : nullptr;
  return parent ? parent->ItemLinks() : nullptr;
}

bool TdxBarItemLinks::DefaultOptionValue(TdxBarItemOption option) const { return option == ioShowShortCuts; }

int TdxBarItemLinks::GetOptionValue(TdxBarItemOption option) const {
  TdxBarItemLinks* parent = ParentLinks();
  if (FItemOptions->AssignedValues().Contains(option) || !parent) return FItemOptions->StoredValue(option);
  return parent->GetOptionValue(option);
}

void TdxBarItemLinks::UpdateItemActions() {
  for (int i = 0; i < Count(); ++i)
    if (TdxBarItem* item = LinkAt(i)->Item())
      if (TdxBarItemActionLink* action = item->ActionLink()) action->Update();
}

bool TdxBarItemLinks::ExecuteShortCut(TShortCut shortCut) {
  if (shortCut == 0) return false;
  UpdateItemActions();
  // A click may change the lists: walk a copy.
  const std::vector<TdxBarItemLink*> usable = FUsable;
  for (TdxBarItemLink* link : usable)
    if (IndexIn(FUsable, link) >= 0 && link->Item() && link->Item()->ExecuteShortCut(shortCut)) return true;
  return false;
}

TdxBarItemLink* TdxBarItemLinks::FindLinkForKey(WORD key, TShiftState shift, TdxBarItemLink* start) {
  return NextLinkForKey(key, shift - TShiftStateItem::ssAlt, start);
}

int TdxBarItemLinks::FittingLinkCount() const {
  if (IsMenuLinks() || !FBarControl) return ShownLinkCount();
  RECT client{0, 0, 0, 0};
  if (FBarControl->HandleAllocated()) GetClientRect(FBarControl->Handle(), &client);
  int n = 0;
  for (TdxBarItemLink* link : FShown) {
    const RECT& r = link->ItemRect();
    if (IsRectEmpty(&r) || r.left < client.left || r.top < client.top || r.right > client.right ||
        r.bottom > client.bottom)
      break;
    ++n;
  }
  return n;
}

namespace {
bool CanSelectLink(TdxBarItemLink* link) { return link->Control() && link->Control()->CanSelect(); }
}  // namespace

TdxBarItemLink* TdxBarItemLinks::FirstSelectableLink() const {
  const int n = FittingLinkCount();
  for (int i = 0; i < n; ++i)
    if (CanSelectLink(FShown[static_cast<size_t>(i)])) return FShown[static_cast<size_t>(i)];
  return nullptr;
}

TdxBarItemLink* TdxBarItemLinks::LastSelectableLink() const {
  for (int i = FittingLinkCount() - 1; i >= 0; --i)
    if (CanSelectLink(FShown[static_cast<size_t>(i)])) return FShown[static_cast<size_t>(i)];
  return nullptr;
}

TdxBarItemLink* TdxBarItemLinks::NextSelectableLink(TdxBarItemLink* link, bool any) const {
  const int n = FittingLinkCount();
  if (n == 0) return nullptr;
  const int start = link ? IndexOfShown(link) : -1;
  for (int step = 1; step <= n; ++step) {
    const int i = ((start < 0 ? -1 : start) + step) % n;
    if (start >= 0 && i == start) break;
    TdxBarItemLink* candidate = FShown[static_cast<size_t>(i)];
    if (any || CanSelectLink(candidate)) return candidate;
  }
  return nullptr;
}

TdxBarItemLink* TdxBarItemLinks::PrevSelectableLink(TdxBarItemLink* link, bool any) const {
  const int n = FittingLinkCount();
  if (n == 0) return nullptr;
  const int start = link ? IndexOfShown(link) : n;
  for (int step = 1; step <= n; ++step) {
    const int i = ((start - step) % n + n) % n;
    if (link && i == start) break;
    TdxBarItemLink* candidate = FShown[static_cast<size_t>(i)];
    if (any || CanSelectLink(candidate)) return candidate;
  }
  return nullptr;
}

void TdxBarItemLinks::ClearItemBounds() {
  for (int i = 0; i < Count(); ++i) LinkAt(i)->FItemRect = RECT{0, 0, 0, 0};
}

void TdxBarItemLinks::Loaded() {
  for (int i = 0; i < Count(); ++i) LinkAt(i)->ResolveLoadedItem();
  ApplyLoadedState(true);
}

void TdxBarItemLinks::RebuildLists() {
  FUsable.clear();
  FDisplayable.clear();
  FShown.clear();
  const bool design = FBarManager && FBarManager->IsDesigning();
  for (int i = 0; i < Count(); ++i) {
    TdxBarItemLink* link = LinkAt(i);
    TdxBarItem* item = link->Item();
    if (!item) continue;
    if (!design && !item->CanBeShown()) continue;
    FUsable.push_back(link);
    if (!design && !link->Visible()) continue;
    FDisplayable.push_back(link);
    if (design || FShownLimit == -1) FShown.push_back(link);
  }
  if (!design && FShownLimit > 0) {
    for (TdxBarItemLink* link : FUsageOrder) {
      if (static_cast<int>(FShown.size()) >= FShownLimit) break;
      if (IndexIn(FDisplayable, link) >= 0) FShown.push_back(link);
    }
    std::sort(FShown.begin(), FShown.end(), [this](TdxBarItemLink* a, TdxBarItemLink* b) {
      return IndexOfDisplayable(a) < IndexOfDisplayable(b);
    });
  }
  // Outside customizing, a separator before another or at the end goes.
  const bool customizing = FBarManager && (FBarManager->IsCustomizing() || design);
  if (customizing || UpdateCount() > 0) return;
  const std::vector<TdxBarItemLink*> before = FShown;
  for (int i = static_cast<int>(before.size()) - 1; i >= 0; --i) {
    TdxBarItemLink* link = before[static_cast<size_t>(i)];
    if (!dynamic_cast<TdxBarSeparator*>(link->Item())) continue;
    const bool last = i == static_cast<int>(before.size()) - 1;
    const bool beforeSeparator = !last && dynamic_cast<TdxBarSeparator*>(before[static_cast<size_t>(i + 1)]->Item());
    if (last || beforeSeparator) {
      EraseFrom(FDisplayable, link);
      EraseFrom(FShown, link);
    }
  }
}

bool TdxBarItemLinks::RecentTrackingOn() const {
  if (!FBarManager || FBarManager->EffectiveStyle() == bmsStandard || !FUseRecentItems) return false;
  TdxBarItemLinks* parent = ParentLinks();
  return !parent || parent->RecentTrackingOn();
}

void TdxBarItemLinks::SetUseRecentItems(bool value) {
  if (value == FUseRecentItems) return;
  FUseRecentItems = value;
  RebuildLists();
}

int TdxBarItemLinks::RecentLinkCount() const {
  if (!RecentTrackingOn()) return -1;
  const int n = DisplayableLinkCount();
  if (n == 0) return -1;
  int low = FDisplayable[0]->UseCount(), high = low;
  for (TdxBarItemLink* link : FDisplayable) {
    low = std::min(low, link->UseCount());
    high = std::max(high, link->UseCount());
  }
  const int p = FBarManager ? FBarManager->MostRecentItemsPercents() : 95;
  const int threshold = low + MulDiv(high - low, 100 - p, 100);
  int k = 0;
  for (int position = std::min(n, UsageOrderCount()) - 1; position >= 0; --position) {
    TdxBarItemLink* link = FUsageOrder[static_cast<size_t>(position)];
    if (link->Collection() == this && link->UseCount() >= threshold) {
      k = position + 1;
      break;
    }
  }
  return k == n ? -1 : k;
}

void TdxBarItemLinks::SetShownLimit(int n) {
  FPreviousShownLimit = FShownLimit;
  FShownLimit = RecentTrackingOn() ? n : -1;
  RebuildLists();
}

void TdxBarItemLinks::RestoreShownLimit() {
  FShownLimit = FPreviousShownLimit;
  RebuildLists();
}

void TdxBarItemLinks::MoveInUsage(TdxBarItemLink* link, int position) {
  const int from = IndexOfUsage(link);
  if (from < 0) return;
  FUsageOrder.erase(FUsageOrder.begin() + from);
  position = std::clamp(position, 0, static_cast<int>(FUsageOrder.size()));
  FUsageOrder.insert(FUsageOrder.begin() + position, link);
}

void TdxBarItemLinks::ApplyLoadedState(bool applyVisible) {
  for (int i = Count() - 1; i >= 0; --i)
    if (LinkAt(i)->Item()) LinkAt(i)->ApplyMostRecentlyUsed();
  if (applyVisible)
    for (int i = Count() - 1; i >= 0; --i) LinkAt(i)->SetVisible(LinkAt(i)->FLoadedVisible);
  for (int position = 0; position < Count(); ++position)
    for (int i = 0; i < Count(); ++i) {
      TdxBarItemLink* link = LinkAt(i);
      if (link->FLoadedRecentIndex != position) continue;
      link->FUseCount = link->FLoadedUseCount;
      MoveInUsage(link, position);
      link->FLoadedRecentIndex = -1;
    }
  if (FBarControl) FBarControl->BuildControls();
}

void TdxBarItemLinks::PackUsageOrder() {
  size_t first = 0;
  while (first < FUsageOrder.size() && FUsageOrder[first]->IsDisplayable()) ++first;
  size_t place = first;
  for (size_t i = first + 1; i < FUsageOrder.size(); ++i) {
    if (!FUsageOrder[i]->IsDisplayable()) continue;
    TdxBarItemLink* link = FUsageOrder[i];
    FUsageOrder.erase(FUsageOrder.begin() + static_cast<std::ptrdiff_t>(i));
    FUsageOrder.insert(FUsageOrder.begin() + static_cast<std::ptrdiff_t>(place), link);
    ++place;
  }
}

void TdxBarItemLinks::Assign(TPersistent* source) {
  FAssigning = true;
  try {
    TCollection::Assign(source);
  } catch (...) {
    FAssigning = false;
    throw;
  }
  FAssigning = false;
}

void TdxBarItemLinks::Update(TCollectionItem* item) {
  if (!item) RebuildLists();
  if (FDestroying) return;
  if (auto* owner = dynamic_cast<TComponent*>(OwnerObject()); owner && owner->IsDestroying()) return;
  TCollection::Update(item);
  if (!FInternal && FBarManager) FBarManager->NotifyDesignerModified();
  if (item) {
    if (FBarManager && !FBarManager->IsLoading())
      FireEvent(FBarManager->OnItemLinkChange, FBarManager, static_cast<TdxBarItemLink*>(item));
  } else {
    if (FBarControl && FBarControl->Enabled()) FBarControl->RebuildItems();
    FireEvent(OnChange, this);
  }
}

void TdxBarItemLinks::Notify(TCollectionItem* item, TCollectionNotification action) {
  TCollection::Notify(item, action);
  auto* link = static_cast<TdxBarItemLink*>(item);
  if (action == cnAdded) {
    link->Joined();
    return;
  }
  EraseFrom(FUsageOrder, link);
  EraseFrom(FUsable, link);
  EraseFrom(FDisplayable, link);
  EraseFrom(FShown, link);
}

// --- Keyboard ------------------------------------------------------------------

TdxBarItemLink* TdxBarControlItemLinks::NextLinkForKey(WORD key, TShiftState shift, TdxBarItemLink* start) {
  TCustomdxBarControl* bar = BarControl();
  if (!bar || !bar->HandleAllocated() || !IsWindowVisible(bar->Handle())) return nullptr;
  TdxBarItemLink* link = start;
  for (;;) {
    link = NextSelectableLink(link, false);
    if (!link) return nullptr;
    if (link->Item() && link->Item()->CanSelectByKey(link) && link->AccelMatches(key, shift)) return link;
    if (link == start || (!start && link == LastSelectableLink())) return nullptr;
  }
}

TdxBarItemLink* TdxBarSubMenuControlItemLinks::NextLinkForKey(WORD key, TShiftState shift, TdxBarItemLink* start) {
  const int n = DisplayableLinkCount();
  if (n == 0) return nullptr;
  const int from = start ? IndexOfDisplayable(start) : n - 1;  // from nil: the first, the start examined last
  for (int step = 1; step <= n; ++step) {
    TdxBarItemLink* link = GetDisplayableLink(((from < 0 ? -1 : from) + step) % n);
    if (link->Item() && link->Item()->CanSelectByKey(link) && link->AccelMatches(key, shift)) return link;
  }
  return nullptr;
}
