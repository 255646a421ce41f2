#include "bars/views/DockControl.h"

#include "bars/model/BarClassFactory.h"

const TClassInfo TdxDockControl::ClassInfo{"TdxDockControl", &TCustomControl::ClassInfo, &dxBarMakeComponent<TdxDockControl>};
const TClassInfo TdxBarDockControl::ClassInfo{"TdxBarDockControl", &TdxDockControl::ClassInfo, &dxBarMakeComponent<TdxBarDockControl>};
