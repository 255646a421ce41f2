#include "platform/Object.h"

const TClassInfo TObject::ClassInfo{"TObject", nullptr, [](TObject*) -> TObject* { return new TObject; }};
