#include "bars/model/Bars.h"

#include <algorithm>

#include "bars/model/BarClassFactory.h"
#include "bars/model/BarItem.h"
#include "bars/model/BarManager.h"
#include "bars/model/BarModelStrings.h"
#include "bars/views/BarControl.h"
#include "foundation/Classes.h"
#include "platform/CallbackGuard.h"
#include "platform/Exceptions.h"
#include "platform/Forms.h"
#include "platform/Text.h"

const TClassInfo TdxBar::ClassInfo{"TdxBar", &TcxComponentCollectionItem::ClassInfo, &dxBarMakeComponent<TdxBar>};
const TClassInfo TdxBars::ClassInfo{"TdxBars", &TcxComponentCollection::ClassInfo, nullptr};

namespace {

// The text with each "%s" replaced by the next argument.
AnsiString FormatCaptions(const AnsiString& text, std::initializer_list<AnsiString> args) {
  AnsiString result;
  auto arg = args.begin();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's' && arg != args.end()) {
      result += *arg++;
      ++i;
    } else {
      result += text[i];
    }
  }
  return result;
}

// The bars whose move owns the docking timer (one move at a time).
TdxBars* TimerBars = nullptr;

}  // namespace

// -- bar ------------------------------------------------------------------------

TdxBar::TdxBar(TComponent* AOwner) : TcxComponentCollectionItem(AOwner) {}

TdxBar::~TdxBar() { FreeAndNil(FItemLinks); }

void TdxBar::SetParentComponent(TComponent* parent) {
  TcxComponentCollectionItem::SetParentComponent(parent);
  auto* manager = dynamic_cast<TdxBarManager*>(parent);
  if (manager && !FItemLinks) FItemLinks = new TdxBarControlItemLinks(manager, this);
}

bool TdxBar::CanContainItem(TdxBarItem* item, AnsiString& message) {
  message.clear();
  return item->CanBePlacedOn(0, this, message);
}

void TdxBar::BeforeDestruction() {
  // A bar merged into another leaves it; bars merged into this one return.
  if (FMerge.MergedWith) {
    try {
      FMerge.MergedWith->UnmergeBar(this, false);
    } catch (...) {
      FMerge.MergedWith = nullptr;
    }
  }
  for (TdxBar* bar : FMerge.MergedBars) bar->FMerge.MergedWith = nullptr;
  FMerge.MergedBars.clear();
  ForgetSavedMerges();
  if (TdxBars* bars = ManagerBars(); bars && bars->FMainMenuBar == this) bars->FMainMenuBar = nullptr;
  TcxComponentCollectionItem::BeforeDestruction();
}

TcxComponentCollection* TdxBar::CollectionOfParent(TComponent* parent) {
  auto* manager = dynamic_cast<TdxBarManager*>(parent);
  return manager ? manager->Bars() : nullptr;
}

TdxBars* TdxBar::ManagerBars() const { return dynamic_cast<TdxBars*>(Collection()); }

TdxBarManager* TdxBar::OwningManager() const {
  TdxBars* bars = ManagerBars();
  return bars ? bars->BarManager() : nullptr;
}

TdxBar* TdxBar::NextBar() const {
  TdxBars* bars = ManagerBars();
  if (!bars || bars->ItemCount() < 2) return nullptr;
  const int index = IndexInCollection();
  return bars->BarAt((index + 1) % bars->ItemCount());
}

void TdxBar::SetCaption(const AnsiString& value) {
  if (value == FCaption) return;
  if (TdxBars* bars = ManagerBars())
    for (int i = 0; i < bars->ItemCount(); ++i)
      if (bars->BarAt(i) != this && bars->BarAt(i)->Caption() == value) return;
  FCaption = value;
  SignalChanged(false);
}

void TdxBar::SetNotDocking(TdxBarDockingStyles value) {
  if (value == FNotDocking) return;
  FNotDocking = value;
  if (TCustomdxBarControl* control = FItemLinks ? FItemLinks->BarControl() : nullptr) control->RebuildItems();
}

bool TdxBar::IsDockable() const {
  TdxBarManager* manager = OwningManager();
  for (TdxBarDockingStyle style : {dsNone, dsLeft, dsTop, dsRight, dsBottom})
    if (!FNotDocking.Contains(style) && !(manager && manager->NotDocking().Contains(style))) return true;
  return false;
}

bool TdxBar::HasVisibleLinks() const { return FItemLinks && FItemLinks->DisplayableLinkCount() > 0; }

void TdxBar::SetIsMainMenu(bool value) {
  if (value == FIsMainMenu) return;
  TdxBars* bars = ManagerBars();
  TdxBarManager* manager = OwningManager();
  if (manager) manager->LockUpdate();
  try {
    if (value && bars && bars->FMainMenuBar && bars->FMainMenuBar != this) bars->FMainMenuBar->SetIsMainMenu(false);
    FIsMainMenu = value;
    if (value) {
      if (bars) bars->FMainMenuBar = this;
      FWholeRow = true;
      FMultiLine = true;
    } else {
      if (bars && bars->FMainMenuBar == this) bars->FMainMenuBar = nullptr;
      FMultiLine = false;
      FWholeRow = false;
    }
  } catch (...) {
    if (manager) manager->UnlockUpdate();
    throw;
  }
  if (manager) manager->UnlockUpdate();
  SignalChanged(false);
}

void TdxBar::SetMultiLine(bool value) {
  if (value == FMultiLine || (!value && FIsMainMenu)) return;
  FMultiLine = value;
}

bool TdxBar::ManagerLoading() const {
  TdxBarManager* manager = OwningManager();
  return manager && manager->IsLoading();
}

void TdxBar::ApplyLoadedState() {
  FPredefined = true;
  SetDockingStyle(FLoadedDockingStyle);
  SetVisible(FLoadedVisible);
}

void TdxBar::SetDockingStyle(TdxBarDockingStyle value) {
  if (ManagerLoading()) {
    FLoadedDockingStyle = value;
    return;
  }
  if (value == FDockingStyle) return;
  FDockingStyle = value;
  SignalChanged(true);
}

void TdxBar::SetDockedValue(int& field, int value) {
  if (value < 0) value = 0;
  if (value == field) return;
  field = value;
  SignalChanged(false);
}

TCustomdxBarControl* TdxBar::CreateBarControl() {
  TdxBarManager* manager = OwningManager();
  if (!manager) return nullptr;
  auto* control = new TdxBarControl(manager);
  control->SetBar(this);
  return control;
}

void TdxBar::SetRow(int value) {
  if (value < 0) value = 0;
  if (value == FRow) return;
  FRow = value;
  SignalChanged(false);
}

void TdxBar::SetVisible(bool value) {
  if (ManagerLoading()) {
    if (value != FVisible) FInternallyHidden = false;
    FLoadedVisible = value;
    return;
  }
  if (value == FVisible) return;
  FInternallyHidden = false;
  FVisible = value;
  SignalChanged(false);
}

void TdxBar::SetVisibleKeepingOwnerBounds(bool value) {
  if (value == FVisible) return;
  // FIXME: an MDI child owner form keeps its bounds once bars show windows.
  SetVisible(value);
}

void TdxBar::MergeBar(TdxBar* bar, bool saveVisibility) {
  if (FMerge.MergedWith) throw Exception(LoadOverridableResString(dxSBAR_CANTMERGEBAR));
  if (!bar || bar == this) throw Exception(LoadOverridableResString(dxSBAR_CANTMERGETOOLBAR));
  if (bar->FMerge.MergedWith == this)
    throw Exception(
        FormatCaptions(LoadOverridableResString(dxSBAR_TOOLBARSALREADYMERGED), {bar->Caption(), Caption()}));
  if (!bar->FMerge.MergedBars.empty())
    throw Exception(FormatCaptions(LoadOverridableResString(dxSBAR_TOOLBARHASMERGEDTOOLBARS), {bar->Caption()}));
  const bool wasMerged = bar->FMerge.MergedWith != nullptr;
  if (wasMerged) bar->FMerge.MergedWith->UnmergeBar(bar, false);
  bar->FMerge.MergedWith = this;
  FMerge.MergedBars.push_back(bar);
  if (FItemLinks && bar->FItemLinks) {
    TdxBarManager* manager = OwningManager();
    if (manager) manager->LockUpdate();
    try {
      dxBarMergeItemLinks(FItemLinks, bar->FItemLinks, bar);
    } catch (...) {
      if (manager) manager->UnlockUpdate();
      throw;
    }
    if (manager) manager->UnlockUpdate();
  }
  if (!wasMerged && saveVisibility) bar->FMerge.VisibleBeforeMerge = bar->Visible();
  bar->SetVisibleKeepingOwnerBounds(false);
}

void TdxBar::UnmergeBar(TdxBar* bar, bool restoreVisibility) {
  if (bar == this) throw Exception(LoadOverridableResString(dxSBAR_CANTUNMERGETOOLBAR));
  if (bar && !bar->FMerge.MergedWith) return;
  if (bar && bar->FMerge.MergedWith != this)
    throw Exception(
        FormatCaptions(LoadOverridableResString(dxSBAR_TOOLBARSARENOTMERGED), {bar->Caption(), Caption()}));
  if (FMerge.MergedBars.empty()) return;
  if (FItemLinks) {
    TdxBarManager* manager = OwningManager();
    if (manager) manager->LockUpdate();
    try {
      dxBarUnmergeItemLinks(FItemLinks, bar);
    } catch (...) {
      if (manager) manager->UnlockUpdate();
      throw;
    }
    if (manager) manager->UnlockUpdate();
  }
  std::vector<TdxBar*> leaving;
  if (bar)
    leaving.push_back(bar);
  else
    leaving.assign(FMerge.MergedBars.rbegin(), FMerge.MergedBars.rend());
  for (TdxBar* b : leaving) {
    b->FMerge.MergedWith = nullptr;
    FMerge.MergedBars.erase(std::find(FMerge.MergedBars.begin(), FMerge.MergedBars.end(), b));
    if (restoreVisibility) b->SetVisibleKeepingOwnerBounds(b->FMerge.VisibleBeforeMerge);
  }
}

void TdxBar::UnmergeBarsOf(TdxBarManager* manager, bool restoreVisibility) {
  for (int i = MergedBarCount() - 1; i >= 0; --i) {
    if (i >= MergedBarCount()) continue;
    TdxBar* bar = FMerge.MergedBars[static_cast<size_t>(i)];
    if (!manager || bar->OwningManager() == manager) UnmergeBar(bar, restoreVisibility);
  }
}

void TdxBar::SaveMerges() {
  for (TdxBar* bar : FMerge.MergedBars) {
    if (std::find(FMerge.SavedBars.begin(), FMerge.SavedBars.end(), bar) != FMerge.SavedBars.end()) continue;
    FMerge.SavedBars.push_back(bar);
    bar->FMerge.SavedIn.push_back(this);
  }
}

void TdxBar::RemergeSaved() {
  const std::vector<TdxBar*> saved = FMerge.SavedBars;
  for (TdxBar* bar : saved) std::erase(bar->FMerge.SavedIn, this);
  FMerge.SavedBars.clear();
  TdxBarManager* manager = OwningManager();
  for (TdxBar* bar : saved)
    if (bar->FMerge.MergedWith != this) MergeBar(bar, bar->OwningManager() == manager);
}

void TdxBar::ForgetSavedMerges() {
  for (TdxBar* host : FMerge.SavedIn) std::erase(host->FMerge.SavedBars, this);
  FMerge.SavedIn.clear();
  for (TdxBar* bar : FMerge.SavedBars) std::erase(bar->FMerge.SavedIn, this);
  FMerge.SavedBars.clear();
}

int dxBarMergeAddPosition(const std::vector<int>& orders, int sourceOrder) {
  int position = 0;
  int best = 0;
  bool found = false;
  for (size_t i = 0; i < orders.size(); ++i)
    if (orders[i] <= sourceOrder && (!found || orders[i] >= best)) {
      found = true;
      best = orders[i];
      position = static_cast<int>(i) + 1;
    }
  return position;
}

namespace {

bool SameKinds(TdxBarItem* a, TdxBarItem* b) { return a && b && a->IsSameKindAs(b) && b->IsSameKindAs(a); }

}  // namespace

void dxBarMergeItemLinks(TdxBarItemLinks* dest, TdxBarItemLinks* source, TdxBar* mergingBar) {
  if (!dest || !source) return;
  TdxBarManager* manager = dest->BarManager();
  const int sourceCount = source->Count();
  for (int s = 0; s < sourceCount && s < source->Count(); ++s) {
    TdxBarItemLink* sourceLink = source->LinkAt(s);
    TdxBarItem* item = sourceLink->Item();
    if (!item) continue;
    TdxBarItemMergeKind kind = item->MergeKind();
    int position = -1;
    if (kind == mkMergeByCaption) {
      const AnsiString caption = sourceLink->DisplayCaption();
      for (int d = 0; d < dest->Count(); ++d) {
        TdxBarItem* destItem = dest->LinkAt(d)->Item();
        if (destItem && destItem->MergeKind() == mkMergeByCaption && dest->LinkAt(d)->DisplayCaption() == caption &&
            SameKinds(destItem, item))
          position = d;
      }
    }
    if (kind == mkAdd || (kind == mkMergeByCaption && position < 0)) {
      kind = mkAdd;
      std::vector<int> orders;
      for (int d = 0; d < dest->Count(); ++d) {
        TdxBarItem* destItem = dest->LinkAt(d)->Item();
        orders.push_back(destItem ? destItem->MergeOrder() : 0);
      }
      position = dxBarMergeAddPosition(orders, item->MergeOrder());
    }
    if (manager && manager->OnMergeItemLink)
      manager->OnMergeItemLink(manager, dest, source, sourceLink, kind, position);
    if (position < 0) kind = mkNone;
    if (kind == mkMergeByCaption &&
        (position >= dest->Count() || !SameKinds(dest->LinkAt(position)->Item(), item)))
      kind = mkNone;
    if (kind == mkAdd && !dxBarMergeAddPositionValid(position, dest->Count())) kind = mkNone;
    if (kind == mkMergeByCaption) {
      dxBarMergeItemLinks(dest->LinkAt(position)->Item()->GetItemLinks(), item->GetItemLinks(), mergingBar);
    } else if (kind == mkAdd) {
      TdxBarItemLink* link = dest->InsertLink(position);
      link->Assign(sourceLink);
      link->SetMergedBy(mergingBar);
    }
  }
}

void dxBarUnmergeItemLinks(TdxBarItemLinks* links, TdxBar* bar) {
  if (!links) return;
  for (int i = links->Count() - 1; i >= 0; --i) {
    if (i >= links->Count()) continue;
    TdxBarItemLink* link = links->LinkAt(i);
    if (link->MergedBy() && (!bar || link->MergedBy() == bar))
      Free(link);
    else if (TdxBarItem* item = link->Item())
      dxBarUnmergeItemLinks(item->GetItemLinks(), bar);
  }
}

// -- collection -------------------------------------------------------------------

TdxBars::TdxBars(TComponent* parentComponent, TClass itemClass) : TcxComponentCollection(parentComponent, itemClass) {}

TdxBarManager* TdxBars::BarManager() const { return dynamic_cast<TdxBarManager*>(ParentComponent()); }

AnsiString TdxBars::UniqueBarName() const {
  TdxBarManager* manager = BarManager();
  const AnsiString base = (manager ? manager->Name() : AnsiString()) + "Bar";
  TComponent* owner = manager ? manager->Owner() : nullptr;
  for (int n = 1;; ++n) {
    const AnsiString name = base + std::to_string(n);
    bool taken = owner && owner->FindComponent(name);
    for (int i = 0; i < ItemCount() && !taken; ++i) taken = SameText(BarAt(i)->Name(), name);
    if (!taken) return name;
  }
}

void TdxBars::ItemAddedHook(TcxComponentCollectionItem* item) {
  TcxComponentCollection::ItemAddedHook(item);
  // A bar read from a form keeps the name it was read with.
  if (!item->ComponentState().Contains(csLoading)) item->SetName(UniqueBarName());
}

int TdxBars::RowsToAppend(int rowCount, int row) const {
  if (row < rowCount) return 0;
  TdxBarManager* manager = BarManager();
  const bool loading = manager && manager->LockUpdateCount() > 0;
  const int wanted = loading ? row - rowCount + 1 : 1;
  return std::max(0, std::min(wanted, ItemCount() - rowCount));
}

bool TdxBars::DockParentAtPoint(HWND dockWindow, POINT point) {
  const HWND parent = GetAncestor(dockWindow, GA_PARENT);
  if (!parent || parent == GetDesktopWindow()) return false;
  const HWND grand = GetAncestor(parent, GA_PARENT);
  if (grand && grand != GetDesktopWindow()) {
    POINT p = point;
    ScreenToClient(grand, &p);
    return ChildWindowFromPointEx(grand, p, CWP_SKIPINVISIBLE) == parent;
  }
  // A top-level parent: the visible top-level window under the point, in
  // z-order, leaving out the windows of the calling thread's popups that
  // follow the cursor (the floating bar being moved is not a place).
  for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (!IsWindowVisible(w) || w == MovedWindow) continue;
    RECT r{};
    GetWindowRect(w, &r);
    if (!PtInRect(&r, point)) continue;
    if (GetCapture() && (w == GetCapture() || GetAncestor(GetCapture(), GA_ROOT) == w) && w != parent) continue;
    return w == parent;
  }
  return false;
}

const TdxBarDockCandidate* TdxBars::FindDockTarget(const std::vector<TdxBarDockCandidate>& docks, POINT point) const {
  if (FMoving && (GetKeyState(VK_CONTROL) & 0x8000)) return nullptr;
  auto tryPoint = [&](POINT p) -> const TdxBarDockCandidate* {
    for (TdxBarDockingStyle style : {dsLeft, dsRight, dsTop, dsBottom})
      for (const TdxBarDockCandidate& dock : docks)
        if (dock.Style == style && dock.CanTakeIt && PtInRect(&dock.DockingZone, p) &&
            DockParentAtPoint(dock.Window, p))
          return &dock;
    return nullptr;
  };
  if (const TdxBarDockCandidate* dock = tryPoint(point)) return dock;
  if (FMoving) return tryPoint(POINT{point.x - FGrabOffset.x, point.y - FGrabOffset.y});
  return nullptr;
}

void TdxBars::TrackBarMove(TdxBar* bar, HWND captureWindow, const TEvent<void(POINT)>& moveTo) {
  if (!bar || !bar->IsDockable() || !captureWindow) return;
  FMoving = true;
  POINT last{-1, -1};
  SetCapture(captureWindow);
  try {
    MSG msg{};
    while (GetCapture() == captureWindow) {
      const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
      if (got == -1) break;
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        break;
      }
      if (msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) {
        if (msg.wParam == VK_CONTROL) {
          // Docking is looked at again at once.
          last = POINT{-1, -1};
          msg.message = WM_MOUSEMOVE;
        } else {
          if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE) break;
          continue;
        }
      } else if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
        continue;
      }
      if (msg.message == WM_MOUSEMOVE) {
        POINT cursor{};
        GetCursorPos(&cursor);
        if (cursor.x != last.x || cursor.y != last.y) {
          last = cursor;
          if (moveTo) moveTo(POINT{cursor.x + FGrabOffset.x, cursor.y + FGrabOffset.y});
        }
        continue;
      }
      if (msg.message == WM_LBUTTONUP) break;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  } catch (...) {
    KillDockingTimer();
    if (GetCapture() == captureWindow) ReleaseCapture();
    FMoving = false;
    throw;
  }
  KillDockingTimer();
  if (GetCapture() == captureWindow) ReleaseCapture();
  FMoving = false;
}

void TdxBars::StartDockingTimer(unsigned milliseconds, const TEvent<void(POINT)>& fire) {
  KillDockingTimer();
  FTimerEvent = fire;
  TimerBars = this;
  FDockingTimer = SetTimer(nullptr, 0, milliseconds, &TdxBars::DockingTimerProc);
}

void TdxBars::KillDockingTimer() {
  if (FDockingTimer) KillTimer(nullptr, FDockingTimer);
  FDockingTimer = 0;
  if (TimerBars == this) TimerBars = nullptr;
}

void CALLBACK TdxBars::DockingTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  TdxBars* bars = TimerBars;
  if (!bars) return;
  const TEvent<void(POINT)> fire = bars->FTimerEvent;
  bars->KillDockingTimer();
  POINT cursor{};
  GetCursorPos(&cursor);
  bars->FTimerFiring = true;
  GuardCallback([&] {
    if (fire) fire(POINT{cursor.x + bars->FGrabOffset.x, cursor.y + bars->FGrabOffset.y});
  });
  bars->FTimerFiring = false;
}
