#include "bars/model/ItemKinds.h"

#include "bars/model/BarClassFactory.h"

const TClassInfo TdxBarButton::ClassInfo{"TdxBarButton", &TdxBarItem::ClassInfo, &dxBarMakeComponent<TdxBarButton>};
const TClassInfo TdxBarWindowItem::ClassInfo{"TdxBarWindowItem", &TdxBarItem::ClassInfo, &dxBarMakeComponent<TdxBarWindowItem>};
const TClassInfo TdxBarEdit::ClassInfo{"TdxBarEdit", &TdxBarWindowItem::ClassInfo, &dxBarMakeComponent<TdxBarEdit>};
const TClassInfo TCustomdxBarCombo::ClassInfo{"TCustomdxBarCombo", &TdxBarEdit::ClassInfo, &dxBarMakeComponent<TCustomdxBarCombo>};
const TClassInfo TdxBarCombo::ClassInfo{"TdxBarCombo", &TCustomdxBarCombo::ClassInfo, &dxBarMakeComponent<TdxBarCombo>};
const TClassInfo TdxBarLabel::ClassInfo{"TdxBarLabel", &TdxBarItem::ClassInfo, &dxBarMakeComponent<TdxBarLabel>};
const TClassInfo TdxBarSeparator::ClassInfo{"TdxBarSeparator", &TdxBarItem::ClassInfo, &dxBarMakeComponent<TdxBarSeparator>};
