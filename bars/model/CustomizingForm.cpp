#include "bars/model/CustomizingForm.h"

#include "bars/model/BarClassFactory.h"

const TClassInfo TdxBarCustomizingForm::ClassInfo{"TdxBarCustomizingForm", &TObject::ClassInfo, &dxBarMakeObject<TdxBarCustomizingForm>};
