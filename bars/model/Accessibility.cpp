#include "bars/model/Accessibility.h"

#include "bars/model/BarGlobals.h"
#include "bars/model/BarManager.h"
#include "bars/model/BarRoutines.h"
#include "bars/model/NavigationController.h"
#include "bars/views/BarControl.h"

namespace {
TObject* MakeBarAccessibilityHelper(TObject* owner) { return new TdxBarAccessibilityHelper(owner); }
}  // namespace

const TClassInfo TdxBarAccessibilityHelper::ClassInfo{"TdxBarAccessibilityHelper",
                                                      &TcxAccessibilityHelper::ClassInfo,
                                                      &MakeBarAccessibilityHelper};

TRootAccessibleHook RootAccessibleHook = nullptr;

bool TdxBarAccessibilityHelper::IsCurrentTarget() {
  TdxBarNavigationController* controller = NavigationControllerInstance();
  return controller && controller->SelectedObject() == static_cast<IdxBarAccessibilityHelper*>(this);
}

void ReleaseAccessibilityHelper(IdxBarAccessibilityHelper*& helper) {
  IdxBarAccessibilityHelper* held = helper;
  helper = nullptr;
  if (!held) return;
  held->ReleaseOwner();
  held->HelperObject()->Release();
}

IdxBarAccessibilityHelper* QueryAccessibilityHelper(TObject* object) {
  return dynamic_cast<IdxBarAccessibilityHelper*>(object);
}

IdxBarAccessibilityHelper* KeyTipContainerOf(IdxBarAccessibilityHelper* helper) {
  if (!helper) return nullptr;
  TdxBarAccessibilityHelper* step = helper->BarHelperObject()->KeyTipParent();
  if (!step) return nullptr;
  // A chain that loops ends where it would come back.
  for (int guard = 0; guard < 1000 && !step->IsKeyTipContainer(); ++guard) {
    TdxBarAccessibilityHelper* parent = step->KeyTipParent();
    if (!parent) break;
    step = parent;
  }
  return step;
}

void EscapeKeyTipLevel(IdxBarAccessibilityHelper* helper) {
  if (helper) helper->BarHelperObject()->LeaveKeyTipLevel();
}

IdxBarAccessibilityHelper* RootAccessibleOfWindow(HWND wnd) {
  IdxBarAccessibilityHelper* helper = nullptr;
  if (RootAccessibleHook) RootAccessibleHook(wnd, helper);
  if (helper) return helper;
  TdxBarManager* manager = ManagerOfWindow(wnd);
  TCustomdxBarControl* control = manager ? manager->MainMenuBarControl() : nullptr;
  return control ? control->AcquireAccessibilityHelper() : nullptr;
}
