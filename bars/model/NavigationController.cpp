#include "bars/model/NavigationController.h"

#include "bars/model/BarClassFactory.h"

const TClassInfo TdxBarNavigationController::ClassInfo{"TdxBarNavigationController", &TObject::ClassInfo, &dxBarMakeObject<TdxBarNavigationController>};
