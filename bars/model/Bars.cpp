#include "bars/model/Bars.h"

#include "bars/model/BarClassFactory.h"
#include "bars/model/BarManager.h"

const TClassInfo TdxBar::ClassInfo{"TdxBar", &TcxComponentCollectionItem::ClassInfo, &dxBarMakeComponent<TdxBar>};
const TClassInfo TdxBars::ClassInfo{"TdxBars", &TcxComponentCollection::ClassInfo, nullptr};

TcxComponentCollection* TdxBar::CollectionOfParent(TComponent* parent) {
  auto* manager = dynamic_cast<TdxBarManager*>(parent);
  return manager ? manager->Bars() : nullptr;
}
