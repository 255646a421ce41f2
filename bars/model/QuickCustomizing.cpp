#include "bars/model/QuickCustomizing.h"

#include "bars/model/BarClassFactory.h"

const TClassInfo TdxBarQuickCustExtButton::ClassInfo{"TdxBarQuickCustExtButton", &TdxBarButton::ClassInfo, &dxBarMakeComponent<TdxBarQuickCustExtButton>};
const TClassInfo TdxBarQuickCustItem::ClassInfo{"TdxBarQuickCustItem", &TdxBarButton::ClassInfo, &dxBarMakeComponent<TdxBarQuickCustItem>};
const TClassInfo TdxBarManagerCategories::ClassInfo{"TdxBarManagerCategories", &TStringList::ClassInfo, &dxBarMakeObject<TdxBarManagerCategories>};
