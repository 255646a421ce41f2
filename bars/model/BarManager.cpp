#include "bars/model/BarManager.h"

#include "bars/model/BarClassFactory.h"
#include "bars/model/BarComponents.h"
#include "bars/model/BarGlobals.h"
#include "bars/model/Bars.h"
#include "bars/model/PopupMenu.h"
#include "platform/Control.h"

const TClassInfo TdxBarManager::ClassInfo{"TdxBarManager", &TComponent::ClassInfo,
                                          &dxBarMakeComponent<TdxBarManager>};

TdxBarManager::TdxBarManager(TComponent* AOwner)
    : TComponent(AOwner),
      FBars(new TdxBars(this, &TdxBar::ClassInfo)),
      FGroups(New<TdxBarComponentList>()),
      FPopupMenuLinks(new TdxBarPopupMenuLinks(this)),
      FBackgrounds(new TdxBarBackgrounds(this)),
      FImageOptions(new TdxBarImageOptions(this)) {
  AddBarManager(this);
}

TdxBarManager::~TdxBarManager() {
  RemoveBarManager(this);
  FreeAndNil(FPopupMenuLinks);
  FreeAndNil(FImageOptions);
  FreeAndNil(FBackgrounds);
  FreeAndNil(FGroups);
  FreeAndNil(FBars);
}

TWinControl* TdxBarManager::OwnerControl() const { return dynamic_cast<TWinControl*>(Owner()); }

void TdxBarManager::LockUpdate() { ++FLockUpdate; }

void TdxBarManager::UnlockUpdate() {
  if (FLockUpdate > 0) --FLockUpdate;
}

void TdxBarManager::ApplyStyle() { ++FApplyStyleCount; }

void TdxBarManager::AddGroup(TdxBarGroup* group) {
  if (group && FGroups->IndexOf(group) < 0) FGroups->Add(group);
}

void TdxBarManager::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove || !FPopupMenuLinks) return;
  for (int i = 0; i < FPopupMenuLinks->Count(); ++i) {
    TdxBarPopupMenuLink* link = FPopupMenuLinks->Items(i);
    if (link->Control() == component) link->SetControl(nullptr);
    if (static_cast<TComponent*>(link->PopupMenu()) == component) link->SetPopupMenu(nullptr);
  }
}
