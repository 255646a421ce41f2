#include "bars/model/QuickCustomizing.h"

#include "bars/model/BarClassFactory.h"

const TClassInfo TdxBarQuickCustExtButton::ClassInfo{"TdxBarQuickCustExtButton", &TdxBarButton::ClassInfo, &dxBarMakeComponent<TdxBarQuickCustExtButton>};
const TClassInfo TdxBarQuickCustItem::ClassInfo{"TdxBarQuickCustItem", &TdxBarButton::ClassInfo, &dxBarMakeComponent<TdxBarQuickCustItem>};
const TClassInfo TdxBarManagerCategories::ClassInfo{"TdxBarManagerCategories", &TStringList::ClassInfo, &dxBarMakeObject<TdxBarManagerCategories>};
const TClassInfo TdxBarCategoryData::ClassInfo{"TdxBarCategoryData", &TObject::ClassInfo, &dxBarMakeObject<TdxBarCategoryData>};

TdxBarCategoryData* TdxBarManagerCategories::Data(int index) const {
  return index >= 0 && index < Count() ? dynamic_cast<TdxBarCategoryData*>(Objects(index)) : nullptr;
}

TdxBarCategoryData* TdxBarManagerCategories::EnsureData(int index) {
  if (index < 0 || index >= Count()) return nullptr;
  if (TdxBarCategoryData* data = Data(index)) return data;
  auto* data = new TdxBarCategoryData;
  PutObject(index, data);
  return data;
}
