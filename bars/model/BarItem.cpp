#include "bars/model/BarItem.h"

#include "bars/model/BarClassFactory.h"
#include "bars/model/BarGlobals.h"

const TClassInfo TdxBarItem::ClassInfo{"TdxBarItem", &TdxBarComponent::ClassInfo, nullptr};

TdxBarItem::TdxBarItem(TComponent* AOwner) : TdxBarComponent(AOwner) {}

TClass TdxBarItem::ItemControlClass() const {
  TdxBarItemList* registry = ItemClassRegistry();
  return registry ? registry->ItemControlClassOf(ClassType()) : nullptr;
}
