#include "bars/views/ItemControl.h"

#include "bars/model/BarClassFactory.h"
#include "bars/model/ItemLinks.h"

const TClassInfo TdxBarItemControl::ClassInfo{"TdxBarItemControl", &TObject::ClassInfo, &dxBarMakeObject<TdxBarItemControl>};
const TClassInfo TdxBarButtonLikeControl::ClassInfo{"TdxBarButtonLikeControl", &TdxBarItemControl::ClassInfo, &dxBarMakeObject<TdxBarButtonLikeControl>};
const TClassInfo TdxBarButtonControl::ClassInfo{"TdxBarButtonControl", &TdxBarButtonLikeControl::ClassInfo, &dxBarMakeObject<TdxBarButtonControl>};
const TClassInfo TdxBarSubItemControl::ClassInfo{"TdxBarSubItemControl", &TdxBarButtonLikeControl::ClassInfo, &dxBarMakeObject<TdxBarSubItemControl>};
const TClassInfo TSystemMenuSubItemControl::ClassInfo{"TSystemMenuSubItemControl", &TdxBarSubItemControl::ClassInfo, &dxBarMakeObject<TSystemMenuSubItemControl>};
const TClassInfo TdxBarApplicationMenuButtonControl::ClassInfo{"TdxBarApplicationMenuButtonControl", &TdxBarButtonControl::ClassInfo, &dxBarMakeObject<TdxBarApplicationMenuButtonControl>};
const TClassInfo TdxBarQuickCustExtButtonControl::ClassInfo{"TdxBarQuickCustExtButtonControl", &TdxBarButtonControl::ClassInfo, &dxBarMakeObject<TdxBarQuickCustExtButtonControl>};
const TClassInfo TdxBarQuickCustItemControl::ClassInfo{"TdxBarQuickCustItemControl", &TdxBarButtonControl::ClassInfo, &dxBarMakeObject<TdxBarQuickCustItemControl>};
const TClassInfo TdxBarWinControl::ClassInfo{"TdxBarWinControl", &TdxBarItemControl::ClassInfo, &dxBarMakeObject<TdxBarWinControl>};
const TClassInfo TdxBarEditControl::ClassInfo{"TdxBarEditControl", &TdxBarWinControl::ClassInfo, &dxBarMakeObject<TdxBarEditControl>};
const TClassInfo TCustomdxBarComboControl::ClassInfo{"TCustomdxBarComboControl", &TdxBarEditControl::ClassInfo, &dxBarMakeObject<TCustomdxBarComboControl>};
const TClassInfo TdxBarComboControl::ClassInfo{"TdxBarComboControl", &TCustomdxBarComboControl::ClassInfo, &dxBarMakeObject<TdxBarComboControl>};
const TClassInfo TdxBarContainerItemControl::ClassInfo{"TdxBarContainerItemControl", &TdxBarItemControl::ClassInfo, &dxBarMakeObject<TdxBarContainerItemControl>};
const TClassInfo TdxBarCustomStaticControl::ClassInfo{"TdxBarCustomStaticControl", &TdxBarItemControl::ClassInfo, &dxBarMakeObject<TdxBarCustomStaticControl>};
const TClassInfo TdxBarSeparatorControl::ClassInfo{"TdxBarSeparatorControl", &TdxBarItemControl::ClassInfo, &dxBarMakeObject<TdxBarSeparatorControl>};

TCustomdxBarControl* TdxBarItemControl::Parent() const { return FItemLink ? FItemLink->HostBarControl() : nullptr; }
