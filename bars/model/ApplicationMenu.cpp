#include "bars/model/ApplicationMenu.h"

#include "bars/model/BarClassFactory.h"

const TClassInfo TdxBarExtraPaneListItem::ClassInfo{"TdxBarExtraPaneListItem", &TdxBarListItem::ClassInfo, &dxBarMakeComponent<TdxBarExtraPaneListItem>};
const TClassInfo TdxBarApplicationMenuButtonItem::ClassInfo{"TdxBarApplicationMenuButtonItem", &TdxBarButton::ClassInfo, &dxBarMakeComponent<TdxBarApplicationMenuButtonItem>};
const TClassInfo TdxBarQuickAccessItem::ClassInfo{"TdxBarQuickAccessItem", &TCustomdxBarSubItem::ClassInfo, &dxBarMakeComponent<TdxBarQuickAccessItem>};
const TClassInfo TdxBarApplicationMenuButtons::ClassInfo{"TdxBarApplicationMenuButtons", &TCollection::ClassInfo, nullptr};
const TClassInfo TdxBarApplicationMenuButton::ClassInfo{"TdxBarApplicationMenuButton", &TCollectionItem::ClassInfo, [](TObject* owner) -> TObject* { return new TdxBarApplicationMenuButton(static_cast<TCollection*>(owner)); }};

TdxBarApplicationMenuButtons::TdxBarApplicationMenuButtons() : TCollection(&TdxBarApplicationMenuButton::ClassInfo) {}
