#include "bars/model/BarManager.h"

#include "bars/model/BarClassFactory.h"
#include "bars/model/BarComponents.h"
#include "bars/model/BarGlobals.h"
#include "bars/model/Bars.h"
#include "bars/model/PopupMenu.h"
#include "bars/model/BarRoutines.h"
#include "bars/model/BarStrings.h"
#include "bars/views/BarPainter.h"
#include "foundation/Classes.h"
#include "foundation/LookAndFeel.h"
#include "foundation/ThemeManager.h"
#include "platform/Control.h"
#include "platform/Exceptions.h"
#include "platform/Forms.h"

const TClassInfo TdxBarManager::ClassInfo{"TdxBarManager", &TComponent::ClassInfo,
                                          &dxBarMakeComponent<TdxBarManager>};

TClass SkinPainterClass = &TdxBarStandardPainter::ClassInfo;

namespace {

// The owner a manager may have; raises before anything is made.
TComponent* CheckedOwner(TComponent* owner) {
  if (!owner && Application) owner = Application->MainForm();
  if (!dynamic_cast<TWinControl*>(owner)) throw EComponentError(LoadOverridableResString(dxSBAR_OWNERNOTWINCONTROL));
  if (ManagerOfComponent(owner)) throw EComponentError(LoadOverridableResString(dxSBAR_ONEMANAGER));
  return owner;
}

}  // namespace

TdxBarManager::TdxBarManager(TComponent* AOwner)
    : TComponent(CheckedOwner(AOwner)),
      FLookAndFeel(new TcxLookAndFeel(this)),
      FBars(new TdxBars(this, &TdxBar::ClassInfo)),
      FGroups(New<TdxBarComponentList>()),
      FPopupMenuLinks(new TdxBarPopupMenuLinks(this)),
      FBackgrounds(new TdxBarBackgrounds(this)),
      FImageOptions(new TdxBarImageOptions(this)) {
  UpdateRecentUseCount();
  AddBarManager(this);
}

TdxBarManager::~TdxBarManager() {
  RemoveBarManager(this);
  FreeAndNil(FPopupMenuLinks);
  FreeAndNil(FImageOptions);
  FreeAndNil(FBackgrounds);
  FreeAndNil(FGroups);
  FreeAndNil(FBars);
  FreeAndNil(FLookAndFeel);
}

void TdxBarManager::SetStyle(TdxBarManagerStyle value) {
  if (value == FStyle) return;
  FStyle = value;
  ApplyStyle();
}

bool TdxBarManager::IsThemeAvailable() {
  return CanUseVisualStyles(TdxThemedObjectTypes{totComboBox, totEdit, totProgress, totRebar, totScrollBar, totSpin,
                                                 totStatus, totToolBar, totWindow});
}

TdxBarManagerStyle TdxBarManager::EffectiveStyle() const {
  if (FStyle != bmsUseLookAndFeel) return FStyle;
  if (FLookAndFeel->NativeStyle() && IsThemeAvailable()) return bmsXP;
  switch (FLookAndFeel->Kind()) {
    case lfFlat: return bmsEnhanced;
    case lfUltraFlat: return bmsFlat;
    case lfOffice11: return bmsOffice11;
    default: return bmsStandard;
  }
}

int TdxBarManager::PainterStyle() const {
  if (FStyle == bmsXP) return static_cast<int>(IsThemeAvailable() ? bmsXP : bmsEnhanced);
  if (FStyle == bmsUseLookAndFeel && !(FLookAndFeel->NativeStyle() && IsThemeAvailable()) &&
      FLookAndFeel->SkinPainter())
    return dxBarSkinPainterStyle;
  return static_cast<int>(EffectiveStyle());
}

TClass TdxBarManager::PainterClass() const {
  switch (PainterStyle()) {
    case static_cast<int>(bmsEnhanced): return &TdxBarEnhancedPainter::ClassInfo;
    case static_cast<int>(bmsFlat): return &TdxBarFlatPainter::ClassInfo;
    case static_cast<int>(bmsXP): return &TdxBarXPPainter::ClassInfo;
    case static_cast<int>(bmsOffice11): return &TdxBarOffice11Painter::ClassInfo;
    case dxBarSkinPainterStyle: return SkinPainterClass;
    default: return &TdxBarStandardPainter::ClassInfo;
  }
}

void TdxBarManager::SetMostRecentItemsPercents(int value) {
  if (value < 0) value = 0;
  if (value > 100) value = 100;
  FMostRecentItemsPercents = value;
  UpdateRecentUseCount();
}

void TdxBarManager::UpdateRecentUseCount() {
  const int p = FMostRecentItemsPercents;
  if (p == 100) {
    FRecentUseCount = 0;
    return;
  }
  int i = 1;
  while (i * (100 - p) / 100 <= 0) ++i;
  FRecentUseCount = i;
}

AnsiString TdxBarManager::UniqueBarCaption(const AnsiString& base) const {
  for (int n = 1;; ++n) {
    const AnsiString caption = base + std::to_string(n);
    bool taken = false;
    for (int i = 0; i < FBars->ItemCount() && !taken; ++i)
      taken = static_cast<TdxBar*>(FBars->ItemByIndex(i))->Caption() == caption;
    if (!taken) return caption;
  }
}

TdxBar* TdxBarManager::AddToolbar(bool asMainMenu) {
  // FIXME: the floating place, docking and showing join with the bars.
  (void)asMainMenu;
  const AnsiString caption = UniqueBarCaption(LoadOverridableResString(dxSBAR_CUSTOMTOOLBAR));
  LockUpdate();
  TdxBar* bar = nullptr;
  try {
    bar = static_cast<TdxBar*>(FBars->AppendNewItem());
    bar->SetCaption(caption);
  } catch (...) {
    UnlockUpdate();
    throw;
  }
  UnlockUpdate();
  return bar;
}

TWinControl* TdxBarManager::OwnerControl() const { return dynamic_cast<TWinControl*>(Owner()); }

void TdxBarManager::LockUpdate() { ++FLockUpdate; }

void TdxBarManager::UnlockUpdate() {
  if (FLockUpdate > 0) --FLockUpdate;
}

void TdxBarManager::ApplyStyle() { ++FApplyStyleCount; }

void TdxBarManager::AddGroup(TdxBarGroup* group) {
  if (group && FGroups->IndexOf(group) < 0) FGroups->Add(group);
}

void TdxBarManager::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove || !FPopupMenuLinks) return;
  for (int i = 0; i < FPopupMenuLinks->Count(); ++i) {
    TdxBarPopupMenuLink* link = FPopupMenuLinks->Items(i);
    if (link->Control() == component) link->SetControl(nullptr);
    if (static_cast<TComponent*>(link->PopupMenu()) == component) link->SetPopupMenu(nullptr);
  }
}
