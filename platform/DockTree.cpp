// Dock sites, the dock drag object and the dock tree.
#include "platform/DockTree.h"

#include "platform/Exceptions.h"

#include <algorithm>

const TClassInfo TDragDockObject::ClassInfo{"TDragDockObject", &TDragObject::ClassInfo, nullptr};
const TClassInfo TDockTree::ClassInfo{"TDockTree", &TObject::ClassInfo, nullptr};

// A zone: a leaf holds one control; a row or column holds zones that share
// its space equally.
struct TDockTree::TZone {
  enum TKind { zkLeaf, zkRow, zkColumn };
  TKind Kind = zkLeaf;
  TControl* Control = nullptr;
  TZone* Parent = nullptr;
  std::vector<std::unique_ptr<TZone>> Children;
  RECT Bounds{};
};

TDockTree::TDockTree(TWinControl* DockSite) : FDockSite(DockSite) {}

TDockTree::~TDockTree() = default;

TDockTree::TZone* TDockTree::FindZone(TZone* zone, TControl* control) {
  if (!zone || !control) return nullptr;
  if (zone->Kind == TZone::zkLeaf) return zone->Control == control ? zone : nullptr;
  for (auto& child : zone->Children)
    if (TZone* found = FindZone(child.get(), control)) return found;
  return nullptr;
}

void TDockTree::Collect(TZone* zone, std::vector<TZone*>& leaves) {
  if (!zone) return;
  if (zone->Kind == TZone::zkLeaf) {
    leaves.push_back(zone);
    return;
  }
  for (auto& child : zone->Children) Collect(child.get(), leaves);
}

int TDockTree::ClientCount() const {
  std::vector<TZone*> leaves;
  const_cast<TDockTree*>(this)->Collect(FRoot.get(), leaves);
  return static_cast<int>(leaves.size());
}

void TDockTree::InsertControl(TControl* Control, TAlign InsertAt, TControl* DropCtl) {
  if (!Control || FindZone(FRoot.get(), Control)) return;
  auto leaf = std::make_unique<TZone>();
  leaf->Control = Control;
  if (!FRoot) {
    FRoot = std::move(leaf);
    ResetBounds(true);
    return;
  }
  const bool column = InsertAt == alTop || InsertAt == alBottom;
  const bool before = InsertAt == alLeft || InsertAt == alTop;
  const TZone::TKind kind = column ? TZone::zkColumn : TZone::zkRow;
  TZone* target = FindZone(FRoot.get(), DropCtl);
  if (!target) target = FRoot.get();
  TZone* parent = target->Parent;
  if (parent && parent->Kind == kind) {
    // Beside the target in its own row or column.
    auto at = std::find_if(parent->Children.begin(), parent->Children.end(),
                           [&](const std::unique_ptr<TZone>& z) { return z.get() == target; });
    if (!before) ++at;
    leaf->Parent = parent;
    parent->Children.insert(at, std::move(leaf));
  } else {
    // The target becomes a row or column of itself and the new zone.
    auto split = std::make_unique<TZone>();
    split->Kind = kind;
    split->Parent = parent;
    std::unique_ptr<TZone>* slot = &FRoot;
    if (parent)
      slot = &*std::find_if(parent->Children.begin(), parent->Children.end(),
                            [&](const std::unique_ptr<TZone>& z) { return z.get() == target; });
    std::unique_ptr<TZone> old = std::move(*slot);
    old->Parent = split.get();
    leaf->Parent = split.get();
    if (before) {
      split->Children.push_back(std::move(leaf));
      split->Children.push_back(std::move(old));
    } else {
      split->Children.push_back(std::move(old));
      split->Children.push_back(std::move(leaf));
    }
    *slot = std::move(split);
  }
  ResetBounds(true);
}

void TDockTree::RemoveControl(TControl* Control) {
  TZone* zone = FindZone(FRoot.get(), Control);
  if (!zone) return;
  TZone* parent = zone->Parent;
  if (!parent) {
    FRoot.reset();
    return;
  }
  auto& siblings = parent->Children;
  siblings.erase(std::find_if(siblings.begin(), siblings.end(),
                              [&](const std::unique_ptr<TZone>& z) { return z.get() == zone; }));
  if (siblings.size() == 1) {
    // A row or column of one is that one zone.
    std::unique_ptr<TZone> only = std::move(siblings.front());
    TZone* grand = parent->Parent;
    only->Parent = grand;
    std::unique_ptr<TZone>* slot = &FRoot;
    if (grand)
      slot = &*std::find_if(grand->Children.begin(), grand->Children.end(),
                            [&](const std::unique_ptr<TZone>& z) { return z.get() == parent; });
    *slot = std::move(only);  // frees the old row or column
  }
  ResetBounds(true);
}

void TDockTree::Layout(TZone* zone, const RECT& r) {
  zone->Bounds = r;
  if (zone->Kind == TZone::zkLeaf) return;
  const int n = static_cast<int>(zone->Children.size());
  const bool row = zone->Kind == TZone::zkRow;
  const int from = row ? r.left : r.top, length = row ? r.right - r.left : r.bottom - r.top;
  for (int i = 0; i < n; ++i) {
    const int a = from + length * i / n, b = from + length * (i + 1) / n;
    Layout(zone->Children[i].get(), row ? RECT{a, r.top, b, r.bottom} : RECT{r.left, a, r.right, b});
  }
}

void TDockTree::ResetBounds(bool Force) {
  (void)Force;
  if (!FRoot) return;
  // The rectangle the site aligns its children in: its own frames left out.
  RECT r = FDockSite->ClientRect();
  FDockSite->AdjustClientRect(r);
  Layout(FRoot.get(), r);
  std::vector<TZone*> leaves;
  Collect(FRoot.get(), leaves);
  for (TZone* leaf : leaves) {
    RECT bounds = leaf->Bounds;
    AdjustDockRect(leaf->Control, bounds);
    leaf->Control->SetBoundsRect(bounds);
  }
  FDockSite->Invalidate();
}

bool TDockTree::GrabbersOnLeft() const { return FDockSite->Align() == alTop || FDockSite->Align() == alBottom; }

void TDockTree::AdjustDockRect(TControl*, RECT& ARect) {
  if (GrabbersOnLeft()) {
    ARect.left += FGrabberSize;
  } else {
    ARect.top += FGrabberSize;
  }
}

bool TDockTree::GetControlZone(TControl* Control, RECT& ARect) {
  TZone* zone = FindZone(FRoot.get(), Control);
  if (!zone) return false;
  ARect = zone->Bounds;
  return true;
}

void TDockTree::PaintDockFrame(TCanvas* Canvas, TControl*, const RECT& ARect) {
  // Two raised lines along the grabber strip.
  HDC dc = Canvas->Handle();
  for (int line = 0; line < 2; ++line) {
    RECT r;
    if (GrabbersOnLeft()) {
      r = RECT{ARect.left + 3 + line * 4, ARect.top + 2, ARect.left + 6 + line * 4, ARect.bottom - 2};
    } else {
      r = RECT{ARect.left + 2, ARect.top + 3 + line * 4, ARect.right - 2, ARect.top + 6 + line * 4};
    }
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
  }
}

void TDockTree::PaintSite(HDC DC) {
  std::vector<TZone*> leaves;
  Collect(FRoot.get(), leaves);
  if (leaves.empty()) return;
  TCanvas canvas;
  TCanvasPaintScope scope(canvas, DC);
  for (TZone* leaf : leaves)
    if (leaf->Control->Visible()) PaintDockFrame(&canvas, leaf->Control, leaf->Bounds);
}

// -- Dock sites -------------------------------------------------------------------

TDockTree* TWinControl::CreateDockManager() {
  if (!FDockManager && FDockSite && FUseDockManager) return new TDockTree(this);
  return FDockManager;
}

void TWinControl::UpdateDockManager() {
  if (FDockSite && FUseDockManager) {
    TDockTree* manager = CreateDockManager();
    if (manager != FDockManager) {
      delete FDockManager;
      FDockManager = manager;
      for (TControl* client : FDockClients) FDockManager->InsertControl(client, alNone, nullptr);
    }
    if (FDockManager) FDoubleBuffered = true;
  } else if (FDockManager) {
    delete FDockManager;
    FDockManager = nullptr;
  }
  Invalidate();
}

void TWinControl::SetDockSite(bool value) {
  if (FDockSite == value) return;
  FDockSite = value;
  UpdateDockManager();
}

void TWinControl::SetUseDockManager(bool value) {
  if (FUseDockManager == value) return;
  FUseDockManager = value;
  UpdateDockManager();
}

void TWinControl::DockDrop(TDragDockObject* Source, int X, int Y) {
  TControl* control = Source->Control();
  if (!control) return;
  if (control == this || (ObjectAs<TWinControl>(control) && static_cast<TWinControl*>(control)->ContainsControl(this)))
    throw EInvalidOperation("A control cannot be docked into itself");
  DisableAlign();
  try {
    control->SetParent(this);
    control->FHostDockSite = this;
    if (std::find(FDockClients.begin(), FDockClients.end(), control) == FDockClients.end())
      FDockClients.push_back(control);
    if (FDockManager && FUseDockManager) {
      FDockManager->InsertControl(control, Source->DropAlign, Source->DropOnControl);
    } else {
      const POINT origin = ScreenToClient(POINT{Source->DockRect.left, Source->DockRect.top});
      control->SetBounds(origin.x, origin.y, Source->DockRect.right - Source->DockRect.left,
                         Source->DockRect.bottom - Source->DockRect.top);
      control->SetAlign(Source->DropAlign);
    }
  } catch (...) {
    EnableAlign();
    throw;
  }
  EnableAlign();
  FireEvent(OnDockDrop, this, Source, X, Y);
}

bool TWinControl::DoUnDock(TWinControl* NewTarget, TControl* Client) {
  bool allow = true;
  FireEvent(OnUnDock, this, Client, NewTarget, allow);
  if (allow && Client->FHostDockSite == this) RemoveDockClient(Client);
  return allow;
}

void TWinControl::RemoveDockClient(TControl* control) {
  control->FHostDockSite = nullptr;
  FDockClients.erase(std::remove(FDockClients.begin(), FDockClients.end(), control), FDockClients.end());
  if (FDockManager && !IsDestroying()) FDockManager->RemoveControl(control);
}
