#include "bars/model/BarComponents.h"

#include "bars/model/BarClassFactory.h"
#include "bars/model/BarManager.h"

const TClassInfo TdxObjectList::ClassInfo{"TdxObjectList", &TObjectList::ClassInfo, &dxBarMakeObject<TdxObjectList>};
const TClassInfo TdxBarPersistent::ClassInfo{"TdxBarPersistent", &TPersistent::ClassInfo, nullptr};
const TClassInfo TdxBarComponent::ClassInfo{"TdxBarComponent", &TComponent::ClassInfo, nullptr};
const TClassInfo TdxBarGroup::ClassInfo{"TdxBarGroup", &TdxBarComponent::ClassInfo, &dxBarMakeComponent<TdxBarGroup>};

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

TPersistent* TdxBarPersistent::GetOwner() { return FOwner; }

TdxBarComponent::TdxBarComponent(TComponent* AOwner) : TComponent(AOwner), FContainingLists(new TdxObjectList) {}

TdxBarComponent::~TdxBarComponent() { FreeAndNil(FContainingLists); }
