#include "bars/model/BarCanvas.h"

#include "bars/model/BarClassFactory.h"

const TClassInfo TdxBarDragInfo::ClassInfo{"TdxBarDragInfo", &TObject::ClassInfo, &dxBarMakeObject<TdxBarDragInfo>};
const TClassInfo TdxBarCanvas::ClassInfo{"TdxBarCanvas", &TcxCanvas::ClassInfo, nullptr};

TdxBarCanvas::TdxBarCanvas() : TcxCanvas(new TCanvas) {}

TdxBarCanvas::~TdxBarCanvas() { Free(Canvas()); }
