#include "bars/model/BarManager.h"

#include "bars/model/BarClassFactory.h"
#include "bars/model/BarGlobals.h"
#include "bars/model/Bars.h"
#include "platform/Control.h"

const TClassInfo TdxBarManager::ClassInfo{"TdxBarManager", &TComponent::ClassInfo,
                                          &dxBarMakeComponent<TdxBarManager>};

TdxBarManager::TdxBarManager(TComponent* AOwner)
    : TComponent(AOwner), FBars(new TdxBars(this, &TdxBar::ClassInfo)) {
  AddBarManager(this);
}

TdxBarManager::~TdxBarManager() {
  RemoveBarManager(this);
  FreeAndNil(FBars);
}

TWinControl* TdxBarManager::OwnerControl() const { return dynamic_cast<TWinControl*>(Owner()); }
