#include "bars/model/SubItems.h"

#include "bars/model/BarClassFactory.h"

const TClassInfo TCustomdxBarSubItem::ClassInfo{"TCustomdxBarSubItem", &TdxBarItem::ClassInfo, &dxBarMakeComponent<TCustomdxBarSubItem>};
const TClassInfo TdxBarSubItem::ClassInfo{"TdxBarSubItem", &TCustomdxBarSubItem::ClassInfo, &dxBarMakeComponent<TdxBarSubItem>};
const TClassInfo TdxBarContainerItem::ClassInfo{"TdxBarContainerItem", &TCustomdxBarSubItem::ClassInfo, &dxBarMakeComponent<TdxBarContainerItem>};
const TClassInfo TdxBarListItem::ClassInfo{"TdxBarListItem", &TdxBarContainerItem::ClassInfo, &dxBarMakeComponent<TdxBarListItem>};
