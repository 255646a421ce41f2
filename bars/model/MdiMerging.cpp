#include "bars/model/MdiMerging.h"

#include "bars/model/BarClassFactory.h"

const TClassInfo TSystemMenuSubItem::ClassInfo{"TSystemMenuSubItem", &TCustomdxBarSubItem::ClassInfo, &dxBarMakeComponent<TSystemMenuSubItem>};
