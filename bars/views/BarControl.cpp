#include "bars/views/BarControl.h"

#include "bars/model/BarClassFactory.h"
#include "bars/model/Accessibility.h"
#include "bars/model/ItemLinks.h"

const TClassInfo TCustomdxBarControl::ClassInfo{"TCustomdxBarControl", &TCustomControl::ClassInfo, &dxBarMakeComponent<TCustomdxBarControl>};
const TClassInfo TdxBarControl::ClassInfo{"TdxBarControl", &TCustomdxBarControl::ClassInfo, &dxBarMakeComponent<TdxBarControl>};
const TClassInfo TdxBarSubMenuControl::ClassInfo{"TdxBarSubMenuControl", &TCustomdxBarControl::ClassInfo, &dxBarMakeComponent<TdxBarSubMenuControl>};
const TClassInfo TdxBarApplicationMenuControl::ClassInfo{"TdxBarApplicationMenuControl", &TdxBarSubMenuControl::ClassInfo, &dxBarMakeComponent<TdxBarApplicationMenuControl>};

TObject* TCustomdxBarControl::LinksOwnerObject() const { return FItemLinks ? FItemLinks->OwnerObject() : nullptr; }

TCustomdxBarControl::~TCustomdxBarControl() { ReleaseAccessibilityHelper(FAccessibilityHelper); }

TClass TCustomdxBarControl::AccessibilityHelperClass() const { return &TdxBarAccessibilityHelper::ClassInfo; }

IdxBarAccessibilityHelper* TCustomdxBarControl::AcquireAccessibilityHelper() {
  if (!FAccessibilityHelper) {
    TcxAccessibilityHelper* helper = TcxAccessibilityHelper::CreateForOwner(AccessibilityHelperClass(), this);
    helper->AddRef();
    FAccessibilityHelper = QueryAccessibilityHelper(helper);
    if (!FAccessibilityHelper) helper->Release();
  }
  return FAccessibilityHelper;
}
