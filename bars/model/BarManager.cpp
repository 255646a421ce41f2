#include "bars/model/BarManager.h"

#include "bars/model/BarClassFactory.h"
#include "bars/model/BarComponents.h"
#include "bars/model/BarGlobals.h"
#include "bars/model/BarItem.h"
#include "bars/model/Bars.h"
#include "bars/model/ItemLinks.h"
#include "bars/model/QuickCustomizing.h"
#include "bars/views/BarControl.h"
#include "bars/views/DockControl.h"
#include "foundation/Controls.h"
#include "foundation/Graphics.h"
#include "foundation/Office11.h"
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
#include "platform/List.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <functional>

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
      FImageOptions(new TdxBarImageOptions(this)),
      FItems(New<TdxBarComponentList>()),
      FCategories(new TdxBarManagerCategories),
      FFont(new TFont),
      FEditFont(new TFont),
      FBarCaptionFont(new TFont) {
  UpdateRecentUseCount();
  AddBarManager(this);
  FFont->OnChange = TNotifyEvent::Bind<&TdxBarManager::FontChanged>(this);
  // The image lists' change links, in the image options' order.
  FImageOptions->ChangeLink(0)->OnChange = TNotifyEvent::Bind<&TdxBarManager::DisabledImagesChanged>(this);
  FImageOptions->ChangeLink(1)->OnChange = TNotifyEvent::Bind<&TdxBarManager::DisabledLargeImagesChanged>(this);
  FImageOptions->ChangeLink(2)->OnChange = TNotifyEvent::Bind<&TdxBarManager::HotImagesChanged>(this);
  FImageOptions->ChangeLink(3)->OnChange = TNotifyEvent::Bind<&TdxBarManager::ImagesChanged>(this);
  FImageOptions->ChangeLink(4)->OnChange = TNotifyEvent::Bind<&TdxBarManager::LargeImagesChanged>(this);
  FImageOptions->OnOptionsChanged = TNotifyEvent::Bind<&TdxBarManager::ImageOptionsChanged>(this);
  FImageOptions->OnLargeIconsChanged = TNotifyEvent::Bind<&TdxBarManager::LargeIconsChanged>(this);
  FInternalFontChange = true;
  LoadSystemFont();
  FontChanged(FFont);
  FInternalFontChange = false;
  CreateDrawingResources();
}

TdxBarManager::~TdxBarManager() {
  RemoveBarManager(this);
  SetCustomizingMode(false);
  DeleteDrawingResources();
  // The popup menus still listed go with the manager, then the groups.
  while (!FPopupMenus.empty()) Free(FPopupMenus.back());
  // The items list now owns its items: they go with the manager.
  while (FItems && FItems->Count() > 0) Free(FItems->Items(FItems->Count() - 1));
  FreeAndNil(FItems);
  FreeAndNil(FCategories);
  FreeAndNil(FFont);
  FreeAndNil(FEditFont);
  FreeAndNil(FBarCaptionFont);
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
  const AnsiString caption = UniqueBarCaption(LoadOverridableResString(dxSBAR_CUSTOMTOOLBAR));
  // Floating beside the owner: to its left, or to its right when that leaves
  // the work area of the owner's monitor; never above the work area.
  int left = 0;
  int top = 0;
  if (TWinControl* owner = OwnerControl()) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromPoint(POINT{owner->Left(), owner->Top()}, MONITOR_DEFAULTTONEAREST), &monitor);
    left = owner->Left() - 50;
    if (left < monitor.rcWork.left) left = owner->Left() + owner->Width() + 10;
    top = owner->Top();
    if (top < monitor.rcWork.top) top = monitor.rcWork.top + 10;
  }
  // FIXME: a new toolbar takes a new last row of the top dock once docks
  // keep rows; until then the row after the last row of the bars docked at
  // the top.
  int row = 0;
  for (int i = 0; i < FBars->ItemCount(); ++i)
    if (FBars->BarAt(i)->DockingStyle() == dsTop && FBars->BarAt(i)->Visible())
      row = std::max(row, FBars->BarAt(i)->Row() + 1);
  LockUpdate();
  TdxBar* bar = nullptr;
  try {
    bar = static_cast<TdxBar*>(FBars->AppendNewItem());
    bar->SetCaption(caption);
    bar->SetFloatLeft(left);
    bar->SetFloatTop(top);
    bar->SetDockingStyle(dsTop);
    if (asMainMenu) {
      bar->SetRow(0);
      bar->SetIsMainMenu(true);
    } else {
      bar->SetRow(row);
    }
    bar->SetVisible(true);
  } catch (...) {
    UnlockUpdate();
    throw;
  }
  UnlockUpdate();
  return bar;
}

TWinControl* TdxBarManager::OwnerControl() const { return dynamic_cast<TWinControl*>(Owner()); }

void TdxBarManager::LockUpdate() {
  if (FLockUpdate++ == 0 && !IsBeingDestroyed()) SetBarsUpdating(true, false);
}

void TdxBarManager::UnlockUpdate(bool repaint) {
  if (FLockUpdate == 0) return;
  if (--FLockUpdate == 0 && !IsBeingDestroyed()) SetBarsUpdating(false, repaint);
}

void TdxBarManager::SetBarsUpdating(bool on, bool all) {
  const std::vector<TdxDockControl*> docks = FDockControls;
  for (TdxDockControl* dock : docks)
    if (dock->Visible() && dock->HandleAllocated()) SendMessageA(dock->Handle(), WM_SETREDRAW, on ? FALSE : TRUE, 0);
  if (!on && FBars) {
    ++FBarsUpdatedCount;
    // FIXME: the changed submenu window rebuilds here once submenus have
    // windows; docks drop their empty rows once they keep rows.
    for (int i = 0; i < FBars->ItemCount(); ++i) {
      TdxBar* bar = FBars->BarAt(i);
      TCustomdxBarControl* control = bar->ItemLinks() ? bar->ItemLinks()->BarControl() : nullptr;
      if (control && (bar->DockingStyle() == dsNone || (all && bar->ChangedMark()))) control->RebuildItems();
    }
    for (TdxDockControl* dock : docks)
      if (dock->Visible() && dock->HandleAllocated()) {
        dock->UpdateLayout();
        SendMessageA(dock->Handle(), WM_NCPAINT, 1, 0);
      }
    for (int i = 0; i < FBars->ItemCount(); ++i) {
      TdxBar* bar = FBars->BarAt(i);
      TCustomdxBarControl* control = bar->ItemLinks() ? bar->ItemLinks()->BarControl() : nullptr;
      if (control && bar->DockingStyle() != dsNone) control->Invalidate();
    }
  }
  if (FBars)
    for (int i = 0; i < FBars->ItemCount(); ++i) FBars->BarAt(i)->SetChangedMark(false);
}

// --- Streaming ------------------------------------------------------------------

void TdxBarManager::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  for (int i = 0; i < FBars->ItemCount(); ++i)
    if (FBars->BarAt(i)->Owner() == Root) Proc(FBars->BarAt(i));
  for (int i = 0; i < ItemCount(); ++i)
    if (ItemAt(i)->Owner() == Root && ItemAt(i)->Category() >= 0) Proc(ItemAt(i));
  for (int i = 0; i < FGroups->Count(); ++i)
    if (FGroups->Items(i)->Owner() == Root) Proc(FGroups->Items(i));
}

void TdxBarManager::ReadState(TReader* Reader) {
  ++FReadStateCount;
  TComponent::ReadState(Reader);
}

void TdxBarManager::Loaded() {
  TComponent::Loaded();
  if (IsUpdateLocked()) return;
  FAfterLoading = true;
  try {
    for (int i = 0; i < ItemCount(); ++i)
      if (TdxBarItemLinks* links = ItemAt(i)->GetItemLinks()) links->Loaded();
    for (int i = 0; i < FBars->ItemCount(); ++i)
      if (TdxBarItemLinks* links = FBars->BarAt(i)->ItemLinks()) links->Loaded();
    if (IsDesigning()) {
      // Items of one category together, keeping their order (neighbour swaps).
      for (bool swapped = true; swapped;) {
        swapped = false;
        for (int i = 0; i + 1 < ItemCount(); ++i)
          if (ItemAt(i)->Category() > ItemAt(i + 1)->Category()) {
            MoveItem(i + 1, i);
            NotifyDesignerModified();
            swapped = true;
          }
      }
    }
    for (int i = 0; i < ItemCount(); ++i) ItemAt(i)->ApplyLoadedVisible();
    for (int i = 0; i < FBars->ItemCount(); ++i) FBars->BarAt(i)->ApplyLoadedState();
    // FIXME: the layout store keeps the state read here and loads the layout
    // saved in the registry or an INI file once it exists.
    for (int i = 0; i < FCategories->Count(); ++i)
      if (TdxBarCategoryData* data = FCategories->Data(i)) SetCategoryItemsVisible(i, data->LoadedItemsVisible);
    const std::vector<TdxDockControl*> docks = FDockControls;
    for (TdxDockControl* dock : docks) dock->UpdateLayout();
  } catch (...) {
    FAfterLoading = false;
    throw;
  }
  FAfterLoading = false;
}

TdxBar* TdxBarManager::MainMenuBar() const { return FBars ? FBars->MainMenuBar() : nullptr; }

TCustomdxBarControl* TdxBarManager::MainMenuBarControl() const {
  TdxBar* bar = MainMenuBar();
  return bar && bar->ItemLinks() ? bar->ItemLinks()->BarControl() : nullptr;
}

void TdxBarManager::SetNotDocking(TdxBarDockingStyles value) {
  if (value == FNotDocking) return;
  FNotDocking = value;
  ApplyStyle();
}

bool TdxBarManager::DoDocking(TdxBar* bar, TdxBarDockingStyle style, TdxDockControl* dock) {
  if (bar && bar->NotDocking().Contains(style)) return false;
  bool result;
  if (dock && !dock->IsManagerDock())
    result = dock->AllowsDocking(bar);
  else
    result = !FNotDocking.Contains(style);
  if (OnDocking) OnDocking(bar, style, dock, result);
  return result;
}

void TdxBarManager::SetAutoHideEmptyBars(bool value) {
  if (value == FAutoHideEmptyBars) return;
  FAutoHideEmptyBars = value;
  if (!value && FBars)
    for (int i = 0; i < FBars->ItemCount(); ++i) FBars->BarAt(i)->SetInternallyHidden(false);
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

// --- Items -----------------------------------------------------------------------

int TdxBarManager::ItemCount() const { return FItems ? FItems->Count() : 0; }

TdxBarItem* TdxBarManager::ItemAt(int index) const {
  return index >= 0 && index < ItemCount() ? static_cast<TdxBarItem*>(FItems->Items(index)) : nullptr;
}

int TdxBarManager::IndexOfItem(TdxBarItem* item) const { return FItems ? FItems->IndexOf(item) : -1; }

TdxBarItem* TdxBarManager::ItemByName(const AnsiString& name) const {
  for (int i = 0; i < ItemCount(); ++i)
    if (SameText(ItemAt(i)->Name(), name)) return ItemAt(i);
  return nullptr;
}

void TdxBarManager::AddItem(TdxBarItem* item) {
  if (FItems && item && FItems->IndexOf(item) < 0) FItems->Add(item);
}

void TdxBarManager::MoveItem(int from, int to) {
  if (from < 0 || to < 0 || from >= ItemCount() || to >= ItemCount() || from == to) return;
  FItems->Move(from, to);
}

// --- Categories ------------------------------------------------------------------

void TdxBarManager::CategoryItems(int index, TList* list) const {
  list->Clear();
  if (index < 0 || index >= FCategories->Count()) return;
  for (int i = 0; i < ItemCount(); ++i)
    if (ItemAt(i)->Category() == index) list->Add(ItemAt(i));
}

void TdxBarManager::CategoryItemsForUser(int index, TList* list) const {
  CategoryItems(index, list);
  if (IsDesigning()) return;
  for (int i = list->Count() - 1; i >= 0; --i) {
    auto* item = static_cast<TdxBarItem*>(list->Items(i));
    if (item->Visible() == ivNever || item->HiddenFromCategories()) list->Delete(i);
  }
}

TdxBarItemVisible TdxBarManager::CategoryItemsVisible(int index) const {
  if (index < 0 || index >= FCategories->Count()) return ivNever;
  TdxBarCategoryData* data = FCategories->Data(index);
  return data ? data->ItemsVisible : ivAlways;
}

bool TdxBarManager::CategoryVisible(int index) const {
  if (index < 0 || index >= FCategories->Count()) return false;
  TdxBarCategoryData* data = FCategories->Data(index);
  return data ? data->Visible : true;
}

void TdxBarManager::SetCategoryVisible(int index, bool value) {
  if (index < 0 || index >= FCategories->Count() || CategoryVisible(index) == value) return;
  FCategories->EnsureData(index)->Visible = value;
  NotifyDesignerModified();
}

void TdxBarManager::SetCategoryItemsVisible(int index, TdxBarItemVisible value) {
  if (index < 0 || index >= FCategories->Count()) return;
  TdxBarCategoryData* data = FCategories->EnsureData(index);
  if (IsLoading()) {
    data->LoadedItemsVisible = value;
    return;
  }
  const TdxBarItemVisible old = data->ItemsVisible;
  data->ItemsVisible = value;
  if (!IsDesigning() && old != value) {
    // The bars already empty before the change are left alone.
    std::vector<TdxBar*> emptyBefore;
    if (FAutoHideEmptyBars)
      for (int i = 0; i < FBars->ItemCount(); ++i)
        if (!FBars->BarAt(i)->HasVisibleLinks()) emptyBefore.push_back(FBars->BarAt(i));
    LockUpdate();
    try {
      std::vector<TdxBarItem*> items;
      for (int i = 0; i < ItemCount(); ++i)
        if (ItemAt(i)->Category() == index && ItemAt(i)->Visible() == old) items.push_back(ItemAt(i));
      if (value == ivAlways) std::reverse(items.begin(), items.end());
      for (TdxBarItem* item : items) item->SetVisible(value);
    } catch (...) {
      UnlockUpdate(true);
      throw;
    }
    UnlockUpdate(true);
    if (FAutoHideEmptyBars) {
      std::vector<TdxBar*> bars;
      for (int i = 0; i < FBars->ItemCount(); ++i) bars.push_back(FBars->BarAt(i));
      for (TdxBar* bar : bars) {
        const bool hasLinks = bar->HasVisibleLinks();
        const bool noted = std::find(emptyBefore.begin(), emptyBefore.end(), bar) != emptyBefore.end();
        if ((value == ivNever && !hasLinks && !noted) || (value == ivAlways && hasLinks && bar->InternallyHidden())) {
          bar->SetVisible(value == ivAlways);
          bar->SetInternallyHidden(value == ivNever);
        }
      }
    }
  }
  if (old != value) NotifyDesignerModified();
}

int TdxBarManager::VisibleCategoryToIndex(int n) const {
  if (IsDesigning()) return n;
  for (int i = 0, seen = 0; i < FCategories->Count(); ++i)
    if (CategoryVisible(i) && seen++ == n) return i;
  return -1;
}

// --- Fonts -----------------------------------------------------------------------

void TdxBarManager::LoadSystemFont() {
  NONCLIENTMETRICSA metrics;
  if (!ReadNonClientMetrics(metrics)) return;
  const bool saved = FInternalFontChange;
  FInternalFontChange = true;
  try {
    if (FUseSystemFont) {
      FFont->SetHandle(CreateFontIndirectA(&metrics.lfMenuFont));
    } else if (FScaled) {
      FFont->SetHeight(metrics.lfMenuFont.lfHeight);
    }
  } catch (...) {
    FInternalFontChange = saved;
    throw;
  }
  FInternalFontChange = saved;
}

void TdxBarManager::FontChanged(TObject*) {
  if (!FInternalFontChange) FUseSystemFont = false;
  if (FScaled) {
    TNotifyEvent handler = FFont->OnChange;
    FFont->OnChange.Clear();
    try {
      LoadSystemFont();
    } catch (...) {
      FFont->OnChange = handler;
      throw;
    }
    FFont->OnChange = handler;
  }
  MakeBarFont(FFont, FEditFont, FScaled);
  HFONT caption = CreateSmallCaptionFont(FFont, FUseSystemFont);
  FBarCaptionFont->SetHandle(caption);
  FireEvent(OnSystemFontChanged, this);
  for (TdxBarCustomPopupMenu* menu : FPopupMenus) menu->ManagerFontChanged();
  // FIXME: bars without a font of their own follow it once they keep one.
}

TdxBarCustomPopupMenu* TdxBarManager::PopupMenuAt(int index) const {
  return index >= 0 && index < PopupMenuCount() ? FPopupMenus[static_cast<size_t>(index)] : nullptr;
}

void TdxBarManager::AddPopupMenu(TdxBarCustomPopupMenu* menu) {
  if (menu && std::find(FPopupMenus.begin(), FPopupMenus.end(), menu) == FPopupMenus.end())
    FPopupMenus.push_back(menu);
}

void TdxBarManager::RemovePopupMenu(TdxBarCustomPopupMenu* menu) {
  FPopupMenus.erase(std::remove(FPopupMenus.begin(), FPopupMenus.end(), menu), FPopupMenus.end());
}

void TdxBarManager::SetUseSystemFont(bool value) {
  if (value == FUseSystemFont) return;
  FUseSystemFont = value;
  if (value) SettingChanged(SPI_SETNONCLIENTMETRICS);
}

void TdxBarManager::SetScaled(bool value) {
  if (value == FScaled) return;
  FScaled = value;
  if (value && !FUseSystemFont) LoadSystemFont();
}

void TdxBarManager::SettingChanged(WPARAM action) {
  if (action != SPI_SETNONCLIENTMETRICS) return;
  if (FUseSystemFont) {
    LoadSystemFont();
    const bool saved = FInternalFontChange;
    FInternalFontChange = true;
    FontChanged(FFont);
    FInternalFontChange = saved;
  }
}

// --- Docks and options --------------------------------------------------------------

TdxDockControl* TdxBarManager::DockControlAt(int index) const {
  return index >= 0 && index < DockControlCount() ? FDockControls[static_cast<size_t>(index)] : nullptr;
}

void TdxBarManager::AddDockControl(TdxDockControl* dock) {
  if (dock && std::find(FDockControls.begin(), FDockControls.end(), dock) == FDockControls.end())
    FDockControls.push_back(dock);
}

void TdxBarManager::RemoveDockControl(TdxDockControl* dock) {
  FDockControls.erase(std::remove(FDockControls.begin(), FDockControls.end(), dock), FDockControls.end());
}

void TdxBarManager::SetAutoDockColor(bool value) {
  if (value == FAutoDockColor) return;
  FAutoDockColor = value;
  for (TdxDockControl* dock : FDockControls) dock->Invalidate();
}

TColor TdxBarManager::DockColor() const {
  if (FAutoDockColor)
    if (TWinControl* owner = OwnerControl()) return owner->Color();
  return FDockColor;
}

void TdxBarManager::SetDockColor(TColor value) {
  FDockColor = value;
  FAutoDockColor = false;
  for (TdxDockControl* dock : FDockControls) dock->Invalidate();
}

bool TdxBarManager::RecentFirstInEffect() const { return IsNonStandardStyle() && FMenusShowRecentItemsFirst; }

void TdxBarManager::SetButtonArrowWidth(int value) {
  if (value > 1) FButtonArrowWidth = value;
}

void TdxBarManager::SetLargeButtonArrowWidth(int value) {
  if (value >= 2) FLargeButtonArrowWidth = value;
}

void TdxBarManager::SetWaitForDockingTime(int value) {
  if (value >= 0) FWaitForDockingTime = value;
}

// --- Customizing and the designer ----------------------------------------------------

namespace {

// Every links collection of the manager's items (their own links and the
// collections their links lie in), once each.
std::vector<TdxBarItemLinks*> LinkCollectionsOf(const TdxBarManager* manager) {
  std::vector<TdxBarItemLinks*> all;
  auto add = [&all](TdxBarItemLinks* links) {
    if (links && std::find(all.begin(), all.end(), links) == all.end()) all.push_back(links);
  };
  for (int i = 0; i < manager->ItemCount(); ++i) {
    TdxBarItem* item = manager->ItemAt(i);
    add(item->GetItemLinks());
    for (int j = 0; j < item->LinkCount(); ++j) add(item->LinkAt(j)->Links());
  }
  return all;
}

}  // namespace

void TdxBarManager::SetCustomizingMode(bool value) {
  if (value == FIsCustomizing) return;
  if (value && BarManagerList() && BarManagerList()->CustomizingManager()) return;
  FIsCustomizing = value;
  for (TdxBarItemLinks* links : LinkCollectionsOf(this)) {
    links->RebuildLists();
    if (TCustomdxBarControl* control = links->BarControl()) control->RebuildItems();
  }
}

void TdxBarManager::NotifyDesignerModified() {
  if (IsLoading() || IsBeingDestroyed()) return;
  if (FDesignerLock > 0) {
    FDesignerPending = true;
    return;
  }
  FDesignerModified = true;
  if (IsDesigning() && !ComponentState().Contains(csUpdating) && !(FImageOptions && FImageOptions->AnyImageListLoading())) {
    static TcxDesignController controller;
    controller.SignalFormModified(Owner());
  }
}

void TdxBarManager::LockDesignerModified(bool lock, bool sendPending) {
  if (lock) {
    if (FDesignerLock++ == 0) FDesignerPending = false;
    return;
  }
  if (FDesignerLock == 0) return;
  if (--FDesignerLock == 0 && sendPending && FDesignerPending) {
    FDesignerPending = false;
    NotifyDesignerModified();
  }
}

void TdxBarManager::ResetUsageData() {
  if (ShowMessageBox(LoadOverridableResString(dxSBAR_RESETUSAGEDATA), MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) !=
      IDYES)
    return;
  // FIXME: the saved state of the layout store gives each link its usage
  // back; until it exists, each link takes its MostRecentlyUsed default.
  LockUpdate();
  try {
    for (TdxBarItemLinks* links : LinkCollectionsOf(this)) {
      links->ApplyLoadedState(false);
      links->PackUsageOrder();
    }
  } catch (...) {
    UnlockUpdate(true);
    throw;
  }
  UnlockUpdate(true);
}

void TdxBarManager::DoClickItem(TdxBarItem* item) { FireEvent(OnClickItem, this, item); }

void TdxBarManager::SetName(const AnsiString& value) {
  const AnsiString old = Name();
  const bool rename = IsDesigning() && !old.empty() && !SameText(old, value);
  TComponent::SetName(value);
  if (!rename || !Owner()) return;
  TComponent* owner = Owner();
  for (int i = 0; i < owner->ComponentCount(); ++i) {
    auto* item = dynamic_cast<TdxBarItem*>(owner->Components(i));
    if (!item) continue;
    const AnsiString name = item->Name();
    if (name.size() <= old.size() || !SameText(name.substr(0, old.size()), old)) continue;
    try {
      item->SetName(value + name.substr(old.size()));
    } catch (const EComponentError&) {
      // The new name is taken or invalid: the item keeps its old one.
    }
  }
}

// --- Image lists ----------------------------------------------------------------

template <class F>
void TdxBarManager::ForEachItemLocked(F&& f) {
  if (IsLoading() || IsBeingDestroyed()) return;
  LockUpdate();
  try {
    for (int i = 0; i < ItemCount(); ++i) f(ItemAt(i));
  } catch (...) {
    UnlockUpdate(true);
    throw;
  }
  UnlockUpdate(true);
}

void TdxBarManager::ImagesChanged(TObject*) {
  ForEachItemLocked([](TdxBarItem* item) {
    if (item->ImageIndex() >= 0) item->GlyphChanged();
  });
}

void TdxBarManager::DisabledImagesChanged(TObject* Sender) { ImagesChanged(Sender); }

void TdxBarManager::LargeImagesChanged(TObject*) {
  ForEachItemLocked([](TdxBarItem* item) {
    if (item->HasImageIndex()) item->LargeGlyphChanged();
  });
}

void TdxBarManager::DisabledLargeImagesChanged(TObject* Sender) { LargeImagesChanged(Sender); }

void TdxBarManager::HotImagesChanged(TObject*) {
  ForEachItemLocked([](TdxBarItem* item) {
    if (item->HasImageIndex()) item->ControlsAuxChanged();
  });
}

void TdxBarManager::ImageOptionsChanged(TObject*) {
  // FIXME: the bars refresh once they have windows.
}

void TdxBarManager::LargeIconsChanged(TObject*) {
  FImageOptions->UpdateGlyphSize();
  NotifyDesignerModified();
}

// --- Drawing resources ------------------------------------------------------------

namespace {
TColor ScaledChannels(TColor color, const std::function<int(int)>& f) {
  const COLORREF c = static_cast<COLORREF>(ColorToRGB(color));
  return static_cast<TColor>(RGB(f(GetRValue(c)), f(GetGValue(c)), f(GetBValue(c))));
}
}  // namespace

TColor TdxBarManager::FlatBorderColor() {
  return NearestScreenColor(ScaledChannels(clBtnShadow, [](int c) { return MulDiv(c, 8, 10); }));
}

TColor TdxBarManager::FlatToolbarColor() {
  return NearestScreenColor(ScaledChannels(clBtnFace, [](int c) { return c + MulDiv(255 - c, 16, 100); }));
}

TColor TdxBarManager::FlatDownedColor() { return NearestScreenColor(BlendSystemTint(11, 9, 73)); }
TColor TdxBarManager::FlatDownedSelColor() { return NearestScreenColor(BlendSystemTint(14, 44, 40)); }
TColor TdxBarManager::FlatSelColor() { return NearestScreenColor(BlendSystemTint(-2, 30, 72)); }

void TdxBarManager::MakeFlatBrushes() {
  const TColor colors[5] = {FlatBorderColor(), FlatToolbarColor(), FlatDownedColor(), FlatDownedSelColor(),
                            FlatSelColor()};
  for (int i = 0; i < 5; ++i) {
    FreeGdiObject(FFlatBrushes[i]);
    FFlatBrushes[i] = CreateSolidBrush(static_cast<COLORREF>(ColorToRGB(colors[i])));
  }
}

void TdxBarManager::MakeThemeBrush() {
  FreeGdiObject(FThemeToolbarBrush);
  if (IsThemeAvailable()) FThemeToolbarBrush = CreateSolidBrush(ThemedWindowFillColor());
}

void TdxBarManager::CreateDrawingResources() {
  MakeFlatBrushes();
  MakeThemeBrush();
  AddOffice11PaletteUser();
  FDrawingResources = true;
}

void TdxBarManager::RefreshDrawingResources() {
  MakeFlatBrushes();
  MakeThemeBrush();
  RecomputeOffice11Palette();
}

void TdxBarManager::DeleteDrawingResources() {
  FreeGdiObject(FThemeToolbarBrush);
  for (HBRUSH& brush : FFlatBrushes) FreeGdiObject(brush);
  if (FDrawingResources) RemoveOffice11PaletteUser();
  FDrawingResources = false;
}
