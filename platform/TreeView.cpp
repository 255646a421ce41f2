#include "platform/TreeView.h"

#include "platform/CommonControls.h"
#include "platform/ControlsProperties.h"
#include "platform/Exceptions.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

const TClassInfo TTreeNode::ClassInfo{"TTreeNode", &TPersistent::ClassInfo, nullptr};
const TClassInfo TTreeNodes::ClassInfo{"TTreeNodes", &TPersistent::ClassInfo, nullptr};
const TClassInfo TCustomTreeView::ClassInfo{"TCustomTreeView", &TWinControl::ClassInfo, nullptr};
const TClassInfo TTreeView::ClassInfo{"TTreeView", &TCustomTreeView::ClassInfo, [](TObject* owner) -> TObject* {
                                        return new TTreeView(static_cast<TComponent*>(owner));
                                      }};

// -- TTreeNode ------------------------------------------------------------------------

TTreeNode::TTreeNode(TTreeNodes* owner) : FOwner(owner) {}

TTreeNode::~TTreeNode() {
  for (TTreeNode* child : FChildren) delete child;
}

TCustomTreeView* TTreeNode::TreeView() const { return FOwner->FOwner; }

std::vector<TTreeNode*>& TTreeNode::Siblings() const { return FParent ? FParent->FChildren : FOwner->FRoots; }

void TTreeNode::SetText(const AnsiString& value) {
  if (FText == value) return;
  FText = value;
  TreeView()->UpdateItem(this, TVIF_TEXT);
  if (FOwner->FUpdateCount == 0) TreeView()->SortIfSorted(FParent, false);
}

void TTreeNode::SetImageIndex(int value) {
  FImageIndex = value;
  TreeView()->UpdateItem(this, TVIF_IMAGE);
}

void TTreeNode::SetSelectedIndex(int value) {
  FSelectedIndex = value;
  TreeView()->UpdateItem(this, TVIF_SELECTEDIMAGE);
}

void TTreeNode::SetHasChildren(bool value) {
  FHasChildren = value;
  TreeView()->UpdateItem(this, TVIF_CHILDREN);
}

int TTreeNode::Index() const {
  const auto& siblings = Siblings();
  return static_cast<int>(std::find(siblings.begin(), siblings.end(), this) - siblings.begin());
}

int TTreeNode::Level() const {
  int level = 0;
  for (const TTreeNode* p = FParent; p; p = p->FParent) ++level;
  return level;
}

int TTreeNode::AbsoluteIndex() const {
  int index = 0;
  for (const TTreeNode* n = GetPrev(); n; n = n->GetPrev()) ++index;
  return index;
}

std::vector<TTreeNode*> TTreeNode::Subtree() const {
  std::vector<TTreeNode*> nodes{const_cast<TTreeNode*>(this)};
  for (TTreeNode* n = GetFirstChild(); n && n->HasAsParent(this); n = n->GetNext()) nodes.push_back(n);
  return nodes;
}

bool TTreeNode::HasAsParent(const TTreeNode* node) const {
  for (const TTreeNode* p = FParent; p; p = p->FParent)
    if (p == node) return true;
  return false;
}

TTreeNode* TTreeNode::GetNextSibling() const {
  const auto& siblings = Siblings();
  const size_t index = static_cast<size_t>(Index());
  return index + 1 < siblings.size() ? siblings[index + 1] : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
  const int index = Index();
  return index > 0 ? Siblings()[static_cast<size_t>(index - 1)] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
  if (!FChildren.empty()) return FChildren.front();
  for (const TTreeNode* n = this; n; n = n->FParent)
    if (TTreeNode* next = n->GetNextSibling()) return next;
  return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
  TTreeNode* prev = GetPrevSibling();
  if (!prev) return FParent;
  while (!prev->FChildren.empty()) prev = prev->FChildren.back();
  return prev;
}

bool TTreeNode::Expanded() const {
  TCustomTreeView* tree = TreeView();
  if (!FItemId || !tree->HandleAllocated()) return FExpanded;
  const LRESULT state = SendMessageA(tree->FHandle, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(FItemId), TVIS_EXPANDED);
  return (state & TVIS_EXPANDED) != 0;
}

void TTreeNode::Expand(bool recurse) {
  TCustomTreeView* tree = TreeView();
  if (HasChildren() && !Expanded() && tree->CanExpand(this)) {
    FExpanded = true;
    if (FItemId && tree->HandleAllocated()) {
      TQuietScope quiet(tree->FQuiet);
      SendMessageA(tree->FHandle, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(FItemId));
    }
    tree->Expand(this);
  }
  if (recurse)
    for (size_t i = 0; i < FChildren.size(); ++i) FChildren[i]->Expand(true);
}

void TTreeNode::Collapse(bool recurse) {
  TCustomTreeView* tree = TreeView();
  if (Expanded() && tree->CanCollapse(this)) {
    FExpanded = false;
    if (FItemId && tree->HandleAllocated()) {
      TQuietScope quiet(tree->FQuiet);
      SendMessageA(tree->FHandle, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(FItemId));
    }
    tree->Collapse(this);
  }
  if (recurse)
    for (size_t i = 0; i < FChildren.size(); ++i) FChildren[i]->Collapse(true);
}

bool TTreeNode::Selected() const { return TreeView()->Selected() == this; }

void TTreeNode::SetSelected(bool value) {
  TCustomTreeView* tree = TreeView();
  if (value) tree->SetSelected(this);
  else if (Selected()) tree->SetSelected(nullptr);
}

bool TTreeNode::IsVisible() const {
  for (const TTreeNode* p = FParent; p; p = p->FParent)
    if (!p->Expanded()) return false;
  return true;
}

void TTreeNode::MakeVisible() {
  for (TTreeNode* p = FParent; p; p = p->FParent) p->Expand(false);
  TCustomTreeView* tree = TreeView();
  if (FItemId && tree->HandleAllocated())
    SendMessageA(tree->FHandle, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(FItemId));
}

RECT TTreeNode::DisplayRect(bool textOnly) const {
  RECT rect{};
  TCustomTreeView* tree = TreeView();
  if (!FItemId || !tree->HandleAllocated()) return rect;
  // The message takes the item in the rectangle's first bytes.
  static_assert(sizeof(HTREEITEM) <= sizeof(RECT));
  std::memcpy(&rect, &FItemId, sizeof FItemId);
  if (!SendMessageA(tree->FHandle, TVM_GETITEMRECT, textOnly, reinterpret_cast<LPARAM>(&rect))) rect = RECT{};
  return rect;
}

void TTreeNode::MoveTo(TTreeNode* destination, TNodeAttachMode mode) {
  if (destination == this) return;
  if (destination && destination->FOwner != FOwner)
    throw EInvalidOperation("A tree node cannot move to another tree");
  if (destination && destination->HasAsParent(this))
    throw EInvalidOperation("A tree node cannot move into its own subtree");
  TCustomTreeView* tree = TreeView();
  TTreeNode* selected = tree->Selected();
  tree->RemoveItem(this);
  TTreeNode* oldParent = FParent;
  auto& siblings = Siblings();
  siblings.erase(std::find(siblings.begin(), siblings.end(), this));
  if (oldParent) tree->UpdateItem(oldParent, TVIF_CHILDREN);
  FOwner->FCount -= static_cast<int>(Subtree().size());
  FOwner->Attach(this, destination, mode);
  if (selected && (selected == this || selected->HasAsParent(this))) tree->SetSelected(selected);
}

void TTreeNode::Delete() { FOwner->FOwner->Delete(this); }

void TTreeNode::DeleteChildren() {
  while (!FChildren.empty()) FChildren.back()->Delete();
}

void TTreeNode::AlphaSort(bool recurse) {
  TreeView()->SortSiblings(FChildren, recurse);
  TreeView()->SyncOrder(this, recurse);
}

void TTreeNode::Assign(TPersistent* source) {
  if (auto* other = ObjectAs<TTreeNode>(source)) {
    SetText(other->FText);
    FData = other->FData;
    SetImageIndex(other->FImageIndex);
    SetSelectedIndex(other->FSelectedIndex);
    SetHasChildren(other->FHasChildren);
    return;
  }
  TPersistent::Assign(source);
}

// -- TTreeNodes -----------------------------------------------------------------------

TTreeNodes::TTreeNodes(TCustomTreeView* owner) : FOwner(owner) {}

TTreeNodes::~TTreeNodes() {
  for (TTreeNode* node : FRoots) delete node;
}

TTreeNode* TTreeNodes::Item(int index) const {
  if (index < 0 || index >= FCount) throw EListError("Tree node index out of bounds (" + std::to_string(index) + ")");
  TTreeNode* node = GetFirstNode();
  for (int i = 0; i < index; ++i) node = node->GetNext();
  return node;
}

TTreeNode* TTreeNodes::Attach(TTreeNode* node, TTreeNode* relative, TNodeAttachMode mode) {
  TTreeNode* parent = nullptr;
  size_t position = 0;
  switch (mode) {
    case naAdd:
    case naAddFirst:
      parent = relative ? relative->FParent : nullptr;
      position = mode == naAddFirst ? 0 : (parent ? parent->FChildren.size() : FRoots.size());
      break;
    case naAddChild:
    case naAddChildFirst:
      parent = relative;
      position = mode == naAddChildFirst ? 0 : (parent ? parent->FChildren.size() : FRoots.size());
      break;
    case naInsert:
      parent = relative ? relative->FParent : nullptr;
      position = relative ? static_cast<size_t>(relative->Index()) : FRoots.size();
      break;
  }
  auto& siblings = parent ? parent->FChildren : FRoots;
  siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(position), node);
  node->FParent = parent;
  node->FOwner = this;
  FCount += static_cast<int>(node->Subtree().size());
  FOwner->InsertSubtree(node);
  if (parent) FOwner->UpdateItem(parent, TVIF_CHILDREN);
  if (FUpdateCount == 0) FOwner->SortIfSorted(parent, false);
  return node;
}

TTreeNode* TTreeNodes::AddObject(TTreeNode* sibling, const AnsiString& text, void* data) {
  auto* node = new TTreeNode(this);
  node->FText = text;
  node->FData = data;
  return Attach(node, sibling, naAdd);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const AnsiString& text) {
  auto* node = new TTreeNode(this);
  node->FText = text;
  return Attach(node, sibling, naAddFirst);
}

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const AnsiString& text, void* data) {
  auto* node = new TTreeNode(this);
  node->FText = text;
  node->FData = data;
  return Attach(node, parent, naAddChild);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const AnsiString& text) {
  auto* node = new TTreeNode(this);
  node->FText = text;
  return Attach(node, parent, naAddChildFirst);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const AnsiString& text) {
  auto* node = new TTreeNode(this);
  node->FText = text;
  return Attach(node, sibling, naInsert);
}

void TTreeNodes::Clear() {
  BeginUpdate();
  while (!FRoots.empty()) FRoots.back()->Delete();
  EndUpdate();
}

void TTreeNodes::BeginUpdate() {
  if (FUpdateCount++ == 0 && FOwner->HandleAllocated()) SendMessageA(FOwner->FHandle, WM_SETREDRAW, FALSE, 0);
}

void TTreeNodes::EndUpdate() {
  if (FUpdateCount == 0 || --FUpdateCount > 0) return;
  FOwner->SortIfSorted(nullptr, true);
  if (FOwner->HandleAllocated()) {
    SendMessageA(FOwner->FHandle, WM_SETREDRAW, TRUE, 0);
    FOwner->Invalidate();
  }
}

void TTreeNodes::Assign(TPersistent* source) {
  auto* other = ObjectAs<TTreeNodes>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  BeginUpdate();
  Clear();
  // Depth first: each node's copy goes under the copy of its parent.
  std::vector<std::pair<TTreeNode*, TTreeNode*>> work;  // source node, copy of its parent
  for (auto it = other->FRoots.rbegin(); it != other->FRoots.rend(); ++it) work.emplace_back(*it, nullptr);
  while (!work.empty()) {
    auto [from, parent] = work.back();
    work.pop_back();
    TTreeNode* copy = AddChild(parent, from->FText);
    copy->Assign(from);
    for (auto it = from->FChildren.rbegin(); it != from->FChildren.rend(); ++it) work.emplace_back(*it, copy);
  }
  EndUpdate();
}

// -- TCustomTreeView --------------------------------------------------------------------

TCustomTreeView::TCustomTreeView(TComponent* AOwner) : TWinControl(AOwner), FItems(this), FImages(this) {
  FTabStop = true;
  FParentColor = false;
  FColor = clWindow;
  FBrush.SetColor(FColor);
  FWidth = 121;
  FHeight = 97;
  FImages.OnChange = TNotifyEvent::Bind<&TCustomTreeView::ImagesChanged>(this);
}

TCustomTreeView::~TCustomTreeView() { FSelected = nullptr; }

void TCustomTreeView::CreateParams(TCreateParams& Params) {
  InitCommonControlClasses(ICC_TREEVIEW_CLASSES);
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_TREEVIEWA);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
  Params.ExStyle |= WS_EX_CLIENTEDGE;
  if (FShowButtons) Params.Style |= TVS_HASBUTTONS;
  if (FShowLines) Params.Style |= TVS_HASLINES;
  if (FShowRoot) Params.Style |= TVS_LINESATROOT;
  if (!FHideSelection) Params.Style |= TVS_SHOWSELALWAYS;
  if (FRowSelect) Params.Style |= TVS_FULLROWSELECT;
  if (!FReadOnly) Params.Style |= TVS_EDITLABELS;
}

void TCustomTreeView::InitializeWnd() {
  TQuietScope quiet(FQuiet);
  SendMessageA(FHandle, TVM_SETINDENT, static_cast<WPARAM>(FIndent), 0);
  SendMessageA(FHandle, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(FImages.Handle()));
  SendMessageA(FHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
  for (TTreeNode* root : FItems.FRoots) InsertSubtree(root);
  if (FSelected && FSelected->FItemId)
    SendMessageA(FHandle, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(FSelected->FItemId));
}

void TCustomTreeView::BeforeDestroyWnd() {
  // What only the window knows goes back to the nodes.
  FSelected = Selected();
  for (TTreeNode* n = FItems.GetFirstNode(); n; n = n->GetNext()) n->FExpanded = n->Expanded();
  for (TTreeNode* root : FItems.FRoots) ForgetItemIds(root);
}

void TCustomTreeView::ForgetItemIds(TTreeNode* node) {
  for (TTreeNode* n : node->Subtree()) n->FItemId = nullptr;
}

void TCustomTreeView::InsertItem(TTreeNode* node) {
  TVINSERTSTRUCTA insert{};
  insert.hParent = node->FParent ? node->FParent->FItemId : TVI_ROOT;
  TTreeNode* prev = node->GetPrevSibling();
  insert.hInsertAfter = prev ? prev->FItemId : TVI_FIRST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN;
  insert.item.pszText = node->FText.data();
  insert.item.lParam = reinterpret_cast<LPARAM>(node);
  insert.item.iImage = node->FImageIndex;
  insert.item.iSelectedImage = node->FSelectedIndex;
  insert.item.cChildren = node->HasChildren() ? 1 : 0;
  node->FItemId = reinterpret_cast<HTREEITEM>(
      SendMessageA(FHandle, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
  if (!node->FItemId) throw EOutOfResources("The tree view refused the node '" + node->FText + "'");
}

void TCustomTreeView::InsertSubtree(TTreeNode* node) {
  if (!HandleAllocated()) return;
  if (node->FParent && !node->FParent->FItemId) return;
  TQuietScope quiet(FQuiet);
  // Parents before children, so each finds its parent's item; expansion
  // once the children are there.
  const std::vector<TTreeNode*> subtree = node->Subtree();
  for (TTreeNode* n : subtree) InsertItem(n);
  for (TTreeNode* n : subtree)
    if (n->FExpanded && n->HasChildren())
      SendMessageA(FHandle, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(n->FItemId));
}

void TCustomTreeView::UpdateItem(TTreeNode* node, UINT mask) {
  if (!node->FItemId || !HandleAllocated()) return;
  TVITEMA item{};
  item.mask = mask | TVIF_HANDLE;
  item.hItem = node->FItemId;
  item.pszText = node->FText.data();
  item.iImage = node->FImageIndex;
  item.iSelectedImage = node->FSelectedIndex;
  item.cChildren = node->HasChildren() ? 1 : 0;
  SendMessageA(FHandle, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

void TCustomTreeView::RemoveItem(TTreeNode* node) {
  if (FSelected == node || (FSelected && FSelected->HasAsParent(node))) FSelected = nullptr;
  if (!node->FItemId || !HandleAllocated()) return;
  TTreeNode* before = Selected();
  for (TTreeNode* n : node->Subtree()) n->FExpanded = n->Expanded();
  {
    TQuietScope quiet(FQuiet);
    SendMessageA(FHandle, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(node->FItemId));
  }
  ForgetItemIds(node);
  // The window moved the selection off the subtree on its own.
  TTreeNode* after = Selected();
  if (after != before) Change(after);
}

void TCustomTreeView::Delete(TTreeNode* node) {
  // Children are reported before their parents.
  const std::vector<TTreeNode*> subtree = node->Subtree();
  for (auto it = subtree.rbegin(); it != subtree.rend(); ++it) FireEvent(OnDeletion, this, *it);
  RemoveItem(node);
  TTreeNode* parent = node->FParent;
  auto& siblings = node->Siblings();
  siblings.erase(std::find(siblings.begin(), siblings.end(), node));
  FItems.FCount -= static_cast<int>(subtree.size());
  node->FParent = nullptr;
  delete node;
  if (parent) UpdateItem(parent, TVIF_CHILDREN);
}

TTreeNode* TCustomTreeView::NodeFromItem(HTREEITEM item) const {
  if (!item || !FHandle) return nullptr;
  TVITEMA tv{};
  tv.mask = TVIF_PARAM | TVIF_HANDLE;
  tv.hItem = item;
  if (!SendMessageA(FHandle, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) return nullptr;
  return reinterpret_cast<TTreeNode*>(tv.lParam);
}

TTreeNode* TCustomTreeView::Selected() const {
  if (!FHandle) return FSelected;
  return NodeFromItem(reinterpret_cast<HTREEITEM>(SendMessageA(FHandle, TVM_GETNEXTITEM, TVGN_CARET, 0)));
}

void TCustomTreeView::SetSelected(TTreeNode* node) {
  if (node && node->FOwner != &FItems) throw EInvalidOperation("The node belongs to another tree");
  if (Selected() == node) return;
  if (!HandleAllocated()) {
    if (!CanChange(node)) return;
    FSelected = node;
    Change(node);
    return;
  }
  // The window reports the change (and asks OnChanging) itself.
  SendMessageA(FHandle, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node ? node->FItemId : nullptr));
}

bool TCustomTreeView::CanChange(TTreeNode* node) {
  bool allow = true;
  FireEvent(OnChanging, this, node, allow);
  return allow;
}

void TCustomTreeView::Change(TTreeNode* node) { FireEvent(OnChange, this, node); }

bool TCustomTreeView::CanExpand(TTreeNode* node) {
  bool allow = true;
  FireEvent(OnExpanding, this, node, allow);
  return allow;
}

void TCustomTreeView::Expand(TTreeNode* node) { FireEvent(OnExpanded, this, node); }

bool TCustomTreeView::CanCollapse(TTreeNode* node) {
  bool allow = true;
  FireEvent(OnCollapsing, this, node, allow);
  return allow;
}

void TCustomTreeView::Collapse(TTreeNode* node) { FireEvent(OnCollapsed, this, node); }

int TCustomTreeView::CompareNodes(TTreeNode* a, TTreeNode* b) {
  if (OnCompare && FSortType != stText) {
    int result = 0;
    OnCompare(this, a, b, 0, result);
    if (result != 0 || FSortType == stData) return result;
  }
  return AnsiCompareText(a->FText, b->FText);
}

void TCustomTreeView::SortSiblings(std::vector<TTreeNode*>& siblings, bool recurse) {
  std::stable_sort(siblings.begin(), siblings.end(),
                   [this](TTreeNode* a, TTreeNode* b) { return CompareNodes(a, b) < 0; });
  if (!recurse) return;
  for (TTreeNode* n : siblings) SortSiblings(n->FChildren, true);
}

int CALLBACK TCustomTreeView::CompareByPosition(LPARAM a, LPARAM b, LPARAM) {
  return reinterpret_cast<TTreeNode*>(a)->FPosition - reinterpret_cast<TTreeNode*>(b)->FPosition;
}

void TCustomTreeView::SyncOrder(TTreeNode* parent, bool recurse) {
  if (!HandleAllocated()) return;
  // The window's order follows the nodes' (the level under `parent`, and
  // the levels below it with `recurse`).
  std::vector<TTreeNode*> parents{parent};
  while (!parents.empty()) {
    TTreeNode* p = parents.back();
    parents.pop_back();
    auto& children = p ? p->FChildren : FItems.FRoots;
    for (size_t i = 0; i < children.size(); ++i) children[i]->FPosition = static_cast<int>(i);
    TVSORTCB sort{};
    sort.hParent = p ? p->FItemId : TVI_ROOT;
    sort.lpfnCompare = CompareByPosition;
    if (sort.hParent) SendMessageA(FHandle, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
    if (!recurse) continue;
    for (TTreeNode* child : children)
      if (!child->FChildren.empty()) parents.push_back(child);
  }
}

void TCustomTreeView::SortIfSorted(TTreeNode* parent, bool recurse) {
  if (FSortType == stNone || (FSortType == stData && !OnCompare)) return;
  SortSiblings(parent ? parent->FChildren : FItems.FRoots, recurse);
  SyncOrder(parent, recurse);
}

void TCustomTreeView::AlphaSort(bool recurse) {
  SortSiblings(FItems.FRoots, recurse);
  SyncOrder(nullptr, recurse);
}

void TCustomTreeView::SetSortType(TSortType value) {
  if (FSortType == value) return;
  FSortType = value;
  SortIfSorted(nullptr, true);
}

TTreeNode* TCustomTreeView::GetNodeAt(int X, int Y) {
  if (!HandleAllocated()) return nullptr;
  TVHITTESTINFO hit{};
  hit.pt = POINT{X, Y};
  HTREEITEM item = reinterpret_cast<HTREEITEM>(SendMessageA(FHandle, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (!(hit.flags & (TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMRIGHT | TVHT_ONITEMBUTTON))) return nullptr;
  return NodeFromItem(item);
}

void TCustomTreeView::FullExpand() {
  for (size_t i = 0; i < FItems.FRoots.size(); ++i) FItems.FRoots[i]->Expand(true);
}

void TCustomTreeView::FullCollapse() {
  for (size_t i = 0; i < FItems.FRoots.size(); ++i) FItems.FRoots[i]->Collapse(true);
}

void TCustomTreeView::SetStyleFlag(bool& field, bool value) {
  if (field == value) return;
  field = value;
  RecreateWnd();
}

void TCustomTreeView::SetShowButtons(bool value) { SetStyleFlag(FShowButtons, value); }
void TCustomTreeView::SetShowLines(bool value) { SetStyleFlag(FShowLines, value); }
void TCustomTreeView::SetShowRoot(bool value) { SetStyleFlag(FShowRoot, value); }
void TCustomTreeView::SetHideSelection(bool value) { SetStyleFlag(FHideSelection, value); }
void TCustomTreeView::SetRowSelect(bool value) { SetStyleFlag(FRowSelect, value); }
void TCustomTreeView::SetReadOnly(bool value) { SetStyleFlag(FReadOnly, value); }

int TCustomTreeView::Indent() const {
  return FHandle ? static_cast<int>(SendMessageA(FHandle, TVM_GETINDENT, 0, 0)) : FIndent;
}

void TCustomTreeView::SetIndent(int value) {
  FIndent = value;
  if (HandleAllocated()) SendMessageA(FHandle, TVM_SETINDENT, static_cast<WPARAM>(value), 0);
}

void TCustomTreeView::ImagesChanged(TObject*) {
  if (HandleAllocated()) SendMessageA(FHandle, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(FImages.Handle()));
}

void TCustomTreeView::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  FImages.Notification(component, operation);
}

void TCustomTreeView::HandleNotify(TMessage& Message) {
  auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
  Message.Result = 0;
  switch (header->code) {
    case TVN_SELCHANGINGA:
    case TVN_SELCHANGINGW:
      if (FQuiet == 0) {
        auto* tv = reinterpret_cast<NMTREEVIEWA*>(header);
        Message.Result = CanChange(reinterpret_cast<TTreeNode*>(tv->itemNew.lParam)) ? 0 : 1;
      }
      return;
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
      if (FQuiet == 0) Change(reinterpret_cast<TTreeNode*>(reinterpret_cast<NMTREEVIEWA*>(header)->itemNew.lParam));
      return;
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
      auto* tv = reinterpret_cast<NMTREEVIEWA*>(header);
      auto* node = reinterpret_cast<TTreeNode*>(tv->itemNew.lParam);
      if (FQuiet > 0 || !node) return;
      if (tv->action & TVE_EXPAND) Message.Result = CanExpand(node) ? 0 : 1;
      else if (tv->action & TVE_COLLAPSE) Message.Result = CanCollapse(node) ? 0 : 1;
      return;
    }
    case TVN_ITEMEXPANDEDA:
    case TVN_ITEMEXPANDEDW: {
      auto* tv = reinterpret_cast<NMTREEVIEWA*>(header);
      auto* node = reinterpret_cast<TTreeNode*>(tv->itemNew.lParam);
      if (FQuiet > 0 || !node) return;
      node->FExpanded = (tv->action & TVE_EXPAND) != 0;
      if (tv->action & TVE_EXPAND) Expand(node);
      else if (tv->action & TVE_COLLAPSE) Collapse(node);
      return;
    }
    case TVN_BEGINLABELEDITA:
    case TVN_BEGINLABELEDITW: {
      auto* node = reinterpret_cast<TTreeNode*>(reinterpret_cast<NMTVDISPINFOA*>(header)->item.lParam);
      bool allow = !FReadOnly;
      if (allow) FireEvent(OnEditing, this, node, allow);
      Message.Result = allow ? 0 : 1;
      return;
    }
    case TVN_ENDLABELEDITA: {
      auto* info = reinterpret_cast<NMTVDISPINFOA*>(header);
      auto* node = reinterpret_cast<TTreeNode*>(info->item.lParam);
      if (!info->item.pszText || !node) return;  // cancelled
      AnsiString text = info->item.pszText;
      FireEvent(OnEdited, this, node, text);
      node->SetText(text);
      return;
    }
    default:
      return;
  }
}

void TCustomTreeView::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_NOTIFY) {
    if (IsReflectedNotify(Message.LParam)) HandleNotify(Message);
    else Message.Result = 0;
    return;
  }
  if (Message.Msg == CM_COLORCHANGED && HandleAllocated())
    SendMessageA(FHandle, TVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
  TWinControl::Dispatch(Message);
}

// -- Published properties -------------------------------------------------------

const TEnumInfo SortTypeNames{"TSortType", {"stNone", "stData", "stText", "stBoth"}};

namespace {

const TPublishedRegistration treeViewRegistration(&TTreeView::ClassInfo, {
    Property<&TWinControl::TabStop, &TWinControl::SetTabStop>("TabStop").Default(true),
    Property<&TCustomTreeView::HideSelection, &TCustomTreeView::SetHideSelection>("HideSelection").Default(true),
    Property<&TCustomTreeView::Images, &TCustomTreeView::SetImages>("Images"),
    Property<&TCustomTreeView::Indent, &TCustomTreeView::SetIndent>("Indent").Default(19),
    Property<&TCustomTreeView::ReadOnly, &TCustomTreeView::SetReadOnly>("ReadOnly").Default(false),
    Property<&TCustomTreeView::RowSelect, &TCustomTreeView::SetRowSelect>("RowSelect").Default(false),
    Property<&TCustomTreeView::ShowButtons, &TCustomTreeView::SetShowButtons>("ShowButtons").Default(true),
    Property<&TCustomTreeView::ShowLines, &TCustomTreeView::SetShowLines>("ShowLines").Default(true),
    Property<&TCustomTreeView::ShowRoot, &TCustomTreeView::SetShowRoot>("ShowRoot").Default(true),
    Property<&TCustomTreeView::SortType, &TCustomTreeView::SetSortType>("SortType", SortTypeNames).Default(stNone),
    Event<&TCustomTreeView::OnChange>("OnChange"),
    Event<&TCustomTreeView::OnChanging>("OnChanging"),
    Event<&TCustomTreeView::OnCollapsed>("OnCollapsed"),
    Event<&TCustomTreeView::OnCollapsing>("OnCollapsing"),
    Event<&TCustomTreeView::OnCompare>("OnCompare"),
    Event<&TCustomTreeView::OnDeletion>("OnDeletion"),
    Event<&TCustomTreeView::OnEdited>("OnEdited"),
    Event<&TCustomTreeView::OnEditing>("OnEditing"),
    Event<&TCustomTreeView::OnExpanded>("OnExpanded"),
    Event<&TCustomTreeView::OnExpanding>("OnExpanding"),
});

}  // namespace
