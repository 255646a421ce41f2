#include "bars/model/BarItem.h"

#include "bars/model/BarClassFactory.h"
#include "bars/model/BarGlobals.h"
#include "bars/model/BarManager.h"
#include "bars/model/BarRoutines.h"
#include "bars/model/BarStrings.h"
#include "bars/model/DesignController.h"
#include "bars/model/ItemKinds.h"
#include "bars/model/ItemLinks.h"
#include "bars/model/QuickCustomizing.h"
#include "bars/model/SubItems.h"
#include "bars/views/BarControl.h"
#include "bars/views/BarHint.h"
#include "bars/views/ItemActionLink.h"
#include "bars/views/ItemControl.h"
#include "bars/views/ItemStylesData.h"
#include "foundation/Canvas.h"
#include "foundation/Classes.h"
#include "platform/Bitmap.h"

const TClassInfo TdxBarItem::ClassInfo{"TdxBarItem", &TdxBarComponent::ClassInfo, nullptr};

namespace {

// The manager an item of this owner joins.
TdxBarManager* ManagerForNewItem(TComponent* owner) {
  if (TdxBarManager* manager = ManagerOfComponent(owner)) return manager;
  TdxBarManagerList* list = BarManagerList();
  return list && list->Count() ? list->ManagerAt(0) : nullptr;
}

// The locked update of the manager, released with its flag also on failure.
template <class F>
void UnderUpdateLock(TdxBarManager* manager, F&& f) {
  if (!manager) {
    f();
    return;
  }
  manager->LockUpdate();
  try {
    f();
  } catch (...) {
    manager->UnlockUpdate(true);
    throw;
  }
  manager->UnlockUpdate(true);
}

}  // namespace

TdxBarItem::TdxBarItem(TComponent* AOwner) : TdxBarComponent(AOwner) {
  FBarManager = ManagerForNewItem(AOwner);
  if (FBarManager) FBarManager->AddItem(this);
  FGlyph = NewBitmapWithChangeHandler(TNotifyEvent::Bind<&TdxBarItem::GlyphBitmapChanged>(this));
  FLargeGlyph = NewBitmapWithChangeHandler(TNotifyEvent::Bind<&TdxBarItem::LargeGlyphBitmapChanged>(this));
}

TdxBarItem::~TdxBarItem() {
  // Links left when BeforeDestruction did not run go too.
  while (!FLinks.empty()) Free(FLinks.back());
  FreeAndNil(FStylesData);
  FreeAndNil(FActionLink);
  FreeAndNil(FGlyph);
  FreeAndNil(FLargeGlyph);
  ClearObjectLinks(this);
}

void TdxBarItem::AfterConstruction() {
  TdxBarComponent::AfterConstruction();
  EnsureStylesData();
}

void TdxBarItem::EnsureStylesData() {
  if (FStylesData) return;
  // The slot count is the kind's, so the data is made once the kind is
  // complete.
  FStylesData = new TdxBarItemStylesData(this, StyleCount());
  FStylesData->OnChanged = TdxBarStylesChangedEvent::Bind<&TdxBarItem::StylesDataChanged>(this);
}

void TdxBarItem::BeforeDestruction() {
  TdxBarComponent::BeforeDestruction();
  FireEvent(OnDestroy, this);
  if (FLinks.empty()) return;
  TdxBarManager* manager = FBarManager;
  bool lock = false;
  if (manager && !manager->IsBeingDestroyed() && !manager->IsUpdateLocked())
    for (TdxBarItemLink* link : FLinks)
      if (link->Links() && !link->Links()->IsMenuLinks()) lock = true;
  auto freeLinks = [this] {
    while (!FLinks.empty()) Free(FLinks.back());
  };
  if (lock)
    UnderUpdateLock(manager, freeLinks);
  else
    freeLinks();
}

// --- Properties ----------------------------------------------------------------

TBasicAction* TdxBarItem::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

void TdxBarItem::SetAction(TBasicAction* value) {
  if (value == Action()) return;
  if (!value) {
    FreeAndNil(FActionLink);
    return;
  }
  const bool loading = value->ComponentState().Contains(csLoading);
  if (loading && FBarManager) FBarManager->LockDesignerModified(true);
  try {
    if (!FActionLink) FActionLink = NewActionLink<TdxBarItemActionLink>(GetActionLinkClass(), this);
    FActionLink->SetAction(value);
    FActionLink->OnChange = TNotifyEvent::Bind<&TdxBarItem::DoActionChange>(this);
    ActionChange(value, loading);
    value->FreeNotification(this);
  } catch (...) {
    if (loading && FBarManager) FBarManager->LockDesignerModified(false);
    throw;
  }
  if (loading && FBarManager) FBarManager->LockDesignerModified(false);
}

void TdxBarItem::DoActionChange(TObject* Sender) {
  if (Sender == Action()) ActionChange(Sender, false);
}

void TdxBarItem::SetAlign(TdxBarItemAlign value) {
  if (value == FAlign) return;
  FAlign = value;
  RecalcHostControls(AllHostKinds);
}

AnsiString TdxBarItem::CaptionWithoutMarks() const {
  AnsiString s = GetCaption();
  if (size_t p = s.find('&'); p != AnsiString::npos) s.erase(p, 1);
  if (size_t p = s.find("..."); p != AnsiString::npos) s.erase(p, 3);
  return s;
}

namespace {
AnsiString ShortPart(const AnsiString& hint) {
  const size_t bar = hint.find('|');
  return bar == AnsiString::npos ? hint : hint.substr(0, bar);
}
}  // namespace

bool TdxBarItem::HintEqualsCaption() const { return ShortPart(FHint) == CaptionWithoutMarks(); }

void TdxBarItem::SetCaption(const AnsiString& value) {
  if (value == FCaption) return;
  const bool follows = !FCheckingDefaults && !dynamic_cast<TCustomdxBarSubItem*>(this) &&
                       (FHint.empty() || HintEqualsCaption());
  const size_t bar = FHint.find('|');
  const AnsiString longPart = bar == AnsiString::npos ? AnsiString() : FHint.substr(bar + 1);
  const bool hadLongPart = bar != AnsiString::npos;
  FCaption = value;
  if (IsLoading()) return;
  if (follows) {
    FHint = CaptionWithoutMarks();
    if (hadLongPart) FHint += "|" + longPart;
  }
  CaptionChanged();
}

void TdxBarItem::SetCaptionWithDefaults(const AnsiString& value) {
  const bool saved = FCheckingDefaults;
  FCheckingDefaults = true;
  try {
    SetCaption(value);
  } catch (...) {
    FCheckingDefaults = saved;
    throw;
  }
  FCheckingDefaults = saved;
}

void TdxBarItem::SetCategory(int value) {
  if (IsLoading()) {
    FCategory = value;
    return;
  }
  if (!FBarManager || value == FCategory) return;
  TdxBarManagerCategories* categories = FBarManager->Categories();
  if (!categories || value < 0 || value >= categories->Count()) return;
  // Beside the items that already have the category.
  int last = -1;
  for (int i = 0; i < FBarManager->ItemCount(); ++i)
    if (FBarManager->ItemAt(i) != this && FBarManager->ItemAt(i)->Category() == value) last = i;
  if (last >= 0) {
    const int own = FBarManager->IndexOfItem(this);
    FBarManager->MoveItem(own, last < own ? last + 1 : last);
  }
  FCategory = value;
  NotifyListsChanged(true);
}

void TdxBarItem::SetDescription(const AnsiString& value) {
  if (value == FDescription) return;
  FDescription = value;
  NotifyListsChanged(false);
}

bool TdxBarItem::GetEnabled() {
  if (FBarManager && FBarManager->IsCustomizing() && !FBarManager->IsDesigning() && FCategory >= 0) return true;
  return FEnabled;
}

void TdxBarItem::SetEnabled(bool value) {
  if (value == FEnabled) return;
  FEnabled = value;
  if (!IsLoading()) EnabledChanged();
}

TcxStyle* TdxBarItem::Style() const { return FStylesData ? FStylesData->GetStyle(0) : nullptr; }

void TdxBarItem::SetStyle(TcxStyle* value) {
  EnsureStylesData();
  FStylesData->SetStyle(0, value);
}

void TdxBarItem::SetScreenTip(TdxBarScreenTip* value) {
  if (value == FScreenTip) return;
  if (FScreenTip) FScreenTip->RemoveFreeNotification(this);
  FScreenTip = value;
  if (FScreenTip) FScreenTip->FreeNotification(this);
}

void TdxBarItem::SetVisible(int value) {
  const auto visible = static_cast<TdxBarItemVisible>(value);
  if (IsLoading()) {
    FLoadedVisible = visible;
    return;
  }
  if (visible == FVisible) return;
  FVisible = visible;
  VisibilityChanged();
}

void TdxBarItem::SetGlyph(TBitmap* value) { FGlyph->Assign(value); }
void TdxBarItem::SetLargeGlyph(TBitmap* value) { FLargeGlyph->Assign(value); }
void TdxBarItem::GlyphBitmapChanged(TObject*) { GlyphChanged(); }
void TdxBarItem::LargeGlyphBitmapChanged(TObject*) { LargeGlyphChanged(); }

void TdxBarItem::SetImageIndex(int value) {
  if (value == FImageIndex) return;
  FImageIndex = value;
  GlyphChanged();
}

void TdxBarItem::SetLargeImageIndex(int value) {
  if (value == FLargeImageIndex) return;
  FLargeImageIndex = value;
  LargeGlyphChanged();
}

void TdxBarItem::SetPaintStyle(TdxBarPaintStyle value) {
  if (value == FPaintStyle) return;
  FPaintStyle = value;
  PaintStyleChanged();
}

void TdxBarItem::SetShortCut(TShortCut value) {
  if (value == FShortCut) return;
  FShortCut = value;
  ContentChanged();
}

void TdxBarItem::SetWidth(int value) {
  if (value < 0 || value == FWidth) return;
  FWidth = value;
  WidthChanged();
}

// --- Kinds' operations -----------------------------------------------------------

bool TdxBarItem::CanBePlacedOn(int, TObject*, AnsiString& message) {
  message.clear();
  return true;
}

void TdxBarItem::PaintCustomizingBackground(TcxCanvas* canvas, const RECT& r) {
  canvas->FillWithColor(r, clWindow);
}

TClass TdxBarItem::ItemControlClass(bool) const {
  TdxBarItemList* registry = ItemClassRegistry();
  return registry ? registry->ItemControlClassOf(ClassType()) : nullptr;
}

bool TdxBarItem::ExecuteShortCut(TShortCut shortCut) {
  // A zero shortcut is no key at all: an item without a shortcut must not
  // click for it.
  if (!GetEnabled() || shortCut == 0) return false;
  if (HandlesShortCut() && shortCut == FShortCut) {
    Click();
    return true;
  }
  TdxBarItemLinks* links = GetItemLinks();
  return links && links->ExecuteShortCut(shortCut);
}

bool TdxBarItem::CaptionNeedsStoring() const { return !FActionLink || !FActionLink->IsCaptionLinked(); }

AnsiString TdxBarItem::NewItemCaption() const { return LoadOverridableResString(dxSBAR_NEWITEMCAPTION); }

TCustomImageList* TdxBarItem::ImageList() const {
  return FBarManager && FBarManager->ImageOptions() ? FBarManager->ImageOptions()->Images() : nullptr;
}

bool TdxBarItem::CanBeShown() const {
  const bool customizing = FBarManager && FBarManager->InCustomizingOrDesign();
  switch (FVisible) {
    case ivAlways: return HasContent() || customizing;
    case ivInCustomizing: return customizing;
    default: return false;
  }
}

// --- Change notification -------------------------------------------------------

template <class F>
void TdxBarItem::ForEachControl(F&& f) const {
  // A notification may free links: walk a copy and skip the gone.
  const std::vector<TdxBarItemLink*> links = FLinks;
  for (TdxBarItemLink* link : links) {
    if (std::find(FLinks.begin(), FLinks.end(), link) == FLinks.end()) continue;
    if (TdxBarItemControl* control = link->Control()) f(link, control);
  }
}

void TdxBarItem::CaptionChanged() {
  ForEachControl([](TdxBarItemLink* link, TdxBarItemControl* control) {
    if (!link->UserDefine().Contains(udCaption)) control->Changed();
  });
  NotifyListsChanged(false);
}

void TdxBarItem::EnabledChanged() {
  ForEachControl([](TdxBarItemLink*, TdxBarItemControl* control) {
    control->ResetImageCache(false);
    control->EnabledChanged();
  });
}

void TdxBarItem::GlyphChanged() {
  ForEachControl([](TdxBarItemLink* link, TdxBarItemControl* control) {
    if (!link->UserDefine().Contains(udGlyph)) control->ResetImageCache(true);
  });
  ForEachControl([](TdxBarItemLink* link, TdxBarItemControl* control) {
    if (!link->UserDefine().Contains(udGlyph)) control->GlyphChanged();
  });
  NotifyListsChanged(false);
}

void TdxBarItem::LargeGlyphChanged() {
  ForEachControl([](TdxBarItemLink*, TdxBarItemControl* control) { control->ResetImageCache(true); });
  ForEachControl([](TdxBarItemLink*, TdxBarItemControl* control) { control->LargeGlyphChanged(); });
  NotifyListsChanged(false);
}

void TdxBarItem::WidthChanged() {
  ForEachControl([](TdxBarItemLink* link, TdxBarItemControl* control) {
    if (!link->UserDefine().Contains(udWidth)) control->WidthChanged();
  });
}

void TdxBarItem::RepaintControls() {
  ForEachControl([](TdxBarItemLink*, TdxBarItemControl* control) {
    TCustomdxBarControl* host = control->Parent();
    if (control->IsDrawnSelected() && host && host->IsActive()) return;
    control->Repaint();
  });
}

void TdxBarItem::RecalcHostControls(TdxBarHostKinds kinds) {
  ForEachControl([kinds](TdxBarItemLink*, TdxBarItemControl* control) {
    TCustomdxBarControl* host = control->Parent();
    if (!host || !kinds.Contains(static_cast<TdxBarHostKind>(host->ControlKind()))) return;
    if (control->IsDrawnSelected() && host->IsActive()) return;
    host->RebuildItems();
  });
}

void TdxBarItem::StylesChanged(bool full) {
  if (IsBeingDestroyed()) return;
  if (full) {
    const std::vector<TdxBarItemLink*> links = FLinks;
    for (TdxBarItemLink* link : links) link->RecreateItemControl();
    RecalcHostControls(AllHostKinds);
  } else {
    ForEachControl([](TdxBarItemLink*, TdxBarItemControl* control) { control->RefreshStyleResourcesWithFont(); });
    RepaintControls();
  }
}

void TdxBarItem::StylesDataChanged(int kind) { StylesChanged(kind == bsckFont); }

void TdxBarItem::VisibilityChanged() {
  if (IsDesigning()) return;
  auto apply = [this] {
    const std::vector<TdxBarItemLink*> links = FLinks;
    for (TdxBarItemLink* link : links) {
      if (link->Links()) link->Links()->RebuildLists();
      if (CanBeShown()) {
        link->RecordUse(false);
        link->CreateItemControl();
        if (link->Control()) link->Control()->VisibilityChanged();
      } else {
        link->MakeLeastRecent();
        if (TdxBarItemControl* control = link->Control()) {
          control->VisibilityChanged();
          link->FreeItemControl();
        }
      }
    }
  };
  try {
    UnderUpdateLock(FBarManager, apply);
  } catch (...) {
    NotifyListsChanged(false);
    throw;
  }
  NotifyListsChanged(false);
}

void TdxBarItem::RefreshAllControls() {
  ForEachControl([](TdxBarItemLink*, TdxBarItemControl* control) { control->RefreshDrawState(); });
}

void TdxBarItem::ControlsAuxChanged() {
  ForEachControl([](TdxBarItemLink*, TdxBarItemControl* control) {
    control->ResetImageCache(false);
    control->AuxChanged();
  });
}

void TdxBarItem::ContentChanged() {
  RecalcHostControls(TdxBarHostKinds{hkSubMenu});
  NotifyListsChanged(false);
}

// --- Clicks and actions ----------------------------------------------------------

void TdxBarItem::Click() {
  if (HandlesShortCut()) DoClick();
}

void TdxBarItem::DoClick() {
  if (!GetEnabled()) return;
  TcxObjectLink* alive = AttachObjectLink(this);
  try {
    if (FBarManager) FBarManager->DoClickItem(this);
    if (alive->Ref) FireClick();
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
  ReleaseObjectLink(alive);
}

void TdxBarItem::FireClick() {
  TBasicAction* action = Action();
  if (OnClick && (!action || !(action->OnExecute() == OnClick))) {
    OnClick(this);
  } else if (action && !IsDesigning()) {
    FActionLink->Execute(this);
  }
}

TClass TdxBarItem::GetActionLinkClass() const { return &TdxBarItemActionLink::ClassInfo; }

void TdxBarItem::ActionChange(TObject* sender, bool checkDefaults) {
  auto* action = dynamic_cast<TCustomAction*>(sender);
  if (!action) return;
  if (!checkDefaults || FCaption.empty()) {
    if (checkDefaults)
      SetCaptionWithDefaults(action->Caption());
    else
      SetCaption(action->Caption());
  }
  if (auto* button = dynamic_cast<TdxBarButton*>(this); button && (!checkDefaults || !button->Down()))
    button->SetDown(action->Checked());
  if (!checkDefaults || FEnabled) SetEnabled(action->Enabled());
  if (!checkDefaults || FHelpContext == 0) FHelpContext = action->HelpContext();
  if (!checkDefaults || FHint.empty()) FHint = action->Hint();
  if (!checkDefaults || CurrentImageIndex() == -1) ApplyImageIndex(action->ImageIndex());
  if (!checkDefaults || FShortCut == 0) SetShortCut(action->ShortCut());
  if (!checkDefaults || FVisible == ivAlways) SetVisible(action->Visible() ? ivAlways : ivNever);
  if (!checkDefaults || !OnClick) OnClick = action->OnExecute();
}

void TdxBarItem::AssignTo(TPersistent* dest) {
  auto* action = dynamic_cast<TCustomAction*>(dest);
  if (!action) {
    TdxBarComponent::AssignTo(dest);
    return;
  }
  action->SetCaption(FCaption);
  if (auto* button = dynamic_cast<TdxBarButton*>(this)) action->SetChecked(button->Down());
  action->SetEnabled(FEnabled);
  action->SetHelpContext(FHelpContext);
  action->SetHint(FHint);
  action->SetImageIndex(FImageIndex);
  action->SetShortCut(FShortCut);
  if (FVisible != ivInCustomizing) action->SetVisible(FVisible == ivAlways);
  action->SetOnExecute(OnClick);
}

void TdxBarItem::Assign(TPersistent* source) {
  auto* from = dynamic_cast<TdxBarItem*>(source);
  if (!from) {
    TdxBarComponent::Assign(source);
    return;
  }
  SetAction(from->Action());
  SetAlign(from->FAlign);
  SetCaption(from->FCaption);
  SetCategory(from->FCategory);
  SetDescription(from->FDescription);
  SetEnabled(from->FEnabled);
  FHelpContext = from->FHelpContext;
  FHint = from->FHint;
  FKeyTip = from->FKeyTip;
  FMergeKind = from->FMergeKind;
  SetMergeOrder(from->FMergeOrder);
  SetStyle(from->Style());
  SetScreenTip(from->FScreenTip);
  SetVisible(from->FVisible);
  FData = from->FData;
  SetGlyph(from->FGlyph);
  SetImageIndex(from->FImageIndex);
  SetLargeGlyph(from->FLargeGlyph);
  SetLargeImageIndex(from->FLargeImageIndex);
  SetShortCut(from->FShortCut);
  OnClick = from->OnClick;
}

void TdxBarItem::ApplyLoadedVisible() {
  if (FLoadedVisible == FVisible) return;
  FVisible = FLoadedVisible;
  VisibilityChanged();
}

void TdxBarItem::Loaded() {
  TdxBarComponent::Loaded();
  ApplyLoadedVisible();
  if (TBasicAction* action = Action()) ActionChange(action, true);
  FireEvent(OnCreate, this);
}

void TdxBarItem::Notification(TComponent* component, TOperation operation) {
  TdxBarComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component && component == Action()) SetAction(nullptr);
  if (component && component == static_cast<TComponent*>(FScreenTip)) FScreenTip = nullptr;
}

void TdxBarItem::SetName(const AnsiString& value) {
  TdxBarComponent::SetName(value);
  if (!(IsDesigning() && value.empty())) NotifyListsChanged(false);
}

TComponent* TdxBarItem::GetParentComponent() const { return HasParent() ? FBarManager : nullptr; }

void TdxBarItem::SetParentComponent(TComponent* parent) {
  if (IsLoading()) return;
  if (auto* manager = dynamic_cast<TdxBarManager*>(parent)) {
    FBarManager = manager;
    BarManagerChanged();
  }
}

// --- Links -------------------------------------------------------------------------

TdxBarItemLink* TdxBarItem::LinkAt(int index) const {
  return index >= 0 && index < LinkCount() ? FLinks[static_cast<size_t>(index)] : nullptr;
}

TdxBarItemLink* TdxBarItem::LinkWithActiveControl() const {
  for (TdxBarItemLink* link : FLinks)
    if (link->Control() && link->Control()->IsActive()) return link;
  return nullptr;
}

TdxBarItemLink* TdxBarItem::DesignLink() const {
  TdxBarDesignController* designer = BarDesignController();
  TdxBarItemLink* selected = designer ? designer->SelectedLink() : nullptr;
  if (selected && selected->Item() == this) return selected;
  return LinkAt(0);
}

void TdxBarItem::ShowDefaultEventHandler() {
  if (IdxBarDesigner* designer = FBarManager ? FBarManager->Designer() : nullptr)
    designer->ShowDefaultEventHandler(this);
}

// --- Design-time selection ----------------------------------------------------

bool TdxBarItem::DoCanBeDeleted(bool withItem) {
  if (LinkCount() > 0 && !withItem) return true;
  return TdxBarComponent::DoCanBeDeleted(withItem);
}

void TdxBarItem::DoDeleteSelected(IdxBarSelectableItem*& self, bool withItem) {
  if (withItem || FLinks.empty()) {
    TdxBarComponent::DoDeleteSelected(self, withItem);
    return;
  }
  while (!FLinks.empty()) Free(FLinks.back());
}

void TdxBarItem::DoCommandApplied(int command) {
  TdxBarDesignController* designer = BarDesignController();
  if (LinkCount() == 1 && (!designer || designer->LastSelected() != FLinks[0])) FLinks[0]->CommandApplied(command);
}

void TdxBarItem::DoAddDependents(TdxObjectList* list) {
  if (FBarManager) list->AddUnique(FBarManager->OwnerControl());
}

void TdxBarItem::DoNextSelectable(IdxBarSelectableItem*& next) {
  next = nullptr;
  TdxBarItemLink* start = DesignLink();
  if (!start) return;
  for (TdxBarItemLink* link = start->NextShownLink(); link && link != start; link = link->NextShownLink()) {
    if (link->Item() && link->Item() != this) {
      next = link->Item();
      return;
    }
  }
}

TPersistent* TdxBarItem::DoSelectableParent() {
  TdxBarItemLink* link = DesignLink();
  return link ? link->SelectableParent() : nullptr;
}

unsigned TdxBarItem::DoSupportedCommands() {
  const bool design = IsDesigning();
  TdxBarDesignController* designer = BarDesignController();
  unsigned commands;
  if (!design)
    commands = 537;
  else
    commands = designer && designer->IsLinkCustomized() ? 3807 : 2;
  if (dynamic_cast<TdxBarSeparator*>(this)) commands &= ~(1u << 11);
  if (dynamic_cast<TdxBarButton*>(this)) commands |= design ? (1u << 5) | (1u << 8) : (1u << 5);
  if (dynamic_cast<TCustomdxBarSubItem*>(this) && design) commands |= 1u << 8;
  return commands;
}

bool TdxBarItem::DoEnterAction() {
  TdxBarItemLink* link = DesignLink();
  return link && link->EnterAction();
}

void TdxBarItem::DoSelectionChanged() {
  if (TdxBarDesignController* designer = BarDesignController()) designer->SyncLastSelected();
  for (TdxBarItemLink* link : FLinks) link->Repaint();
}
