#include "bars/views/BarPainter.h"

#include "bars/model/BarClassFactory.h"

const TClassInfo TdxBarPainter::ClassInfo{"TdxBarPainter", &TObject::ClassInfo, &dxBarMakeObject<TdxBarPainter>};
const TClassInfo TdxBarStandardPainter::ClassInfo{"TdxBarStandardPainter", &TdxBarPainter::ClassInfo, &dxBarMakeObject<TdxBarStandardPainter>};
const TClassInfo TdxBarEnhancedPainter::ClassInfo{"TdxBarEnhancedPainter", &TdxBarStandardPainter::ClassInfo, &dxBarMakeObject<TdxBarEnhancedPainter>};
const TClassInfo TdxBarFlatPainter::ClassInfo{"TdxBarFlatPainter", &TdxBarPainter::ClassInfo, &dxBarMakeObject<TdxBarFlatPainter>};
const TClassInfo TdxBarOffice11Painter::ClassInfo{"TdxBarOffice11Painter", &TdxBarFlatPainter::ClassInfo, &dxBarMakeObject<TdxBarOffice11Painter>};
const TClassInfo TdxBarXPPainter::ClassInfo{"TdxBarXPPainter", &TdxBarFlatPainter::ClassInfo, &dxBarMakeObject<TdxBarXPPainter>};
