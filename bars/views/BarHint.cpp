#include "bars/views/BarHint.h"

#include "bars/model/BarClassFactory.h"

const TClassInfo TdxBarHintWindow::ClassInfo{"TdxBarHintWindow", &THintWindow::ClassInfo, &dxBarMakeComponent<TdxBarHintWindow>};
const TClassInfo TdxBarScreenTip::ClassInfo{"TdxBarScreenTip", &TcxComponentCollectionItem::ClassInfo, &dxBarMakeComponent<TdxBarScreenTip>};
const TClassInfo TdxBarScreenTipBand::ClassInfo{"TdxBarScreenTipBand", &TPersistent::ClassInfo, &dxBarMakeObject<TdxBarScreenTipBand>};
const TClassInfo TdxBarScreenTipCollection::ClassInfo{"TdxBarScreenTipCollection", &TcxComponentCollection::ClassInfo, nullptr};
