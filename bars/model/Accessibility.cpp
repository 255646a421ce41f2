#include "bars/model/Accessibility.h"

#include "bars/model/BarClassFactory.h"

const TClassInfo TdxBarAccessibilityHelper::ClassInfo{"TdxBarAccessibilityHelper", &TObject::ClassInfo, &dxBarMakeObject<TdxBarAccessibilityHelper>};
