#include "bars/views/BarControl.h"

#include "bars/model/BarClassFactory.h"
#include "bars/model/ItemLinks.h"

const TClassInfo TCustomdxBarControl::ClassInfo{"TCustomdxBarControl", &TCustomControl::ClassInfo, &dxBarMakeComponent<TCustomdxBarControl>};
const TClassInfo TdxBarControl::ClassInfo{"TdxBarControl", &TCustomdxBarControl::ClassInfo, &dxBarMakeComponent<TdxBarControl>};
const TClassInfo TdxBarSubMenuControl::ClassInfo{"TdxBarSubMenuControl", &TCustomdxBarControl::ClassInfo, &dxBarMakeComponent<TdxBarSubMenuControl>};
const TClassInfo TdxBarApplicationMenuControl::ClassInfo{"TdxBarApplicationMenuControl", &TdxBarSubMenuControl::ClassInfo, &dxBarMakeComponent<TdxBarApplicationMenuControl>};

TObject* TCustomdxBarControl::LinksOwnerObject() const { return FItemLinks ? FItemLinks->OwnerObject() : nullptr; }
