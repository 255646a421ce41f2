// In-place editing: starting an edit on a node, placing the editor, and
// ending it by taking or discarding its text. The editor itself is an edit
// link the tree asks for (OnCreateEditor, or a descendant's own).
#include "vtree/VirtualTree.h"

#include "platform/CodePage.h"

namespace {
using NS = TVirtualNodeState;
using TS = TVirtualTreeState;
using MO = TVTMiscOption;
}  // namespace

bool TBaseVirtualTree::FireEditing(PVirtualNode Node, TColumnIndex Column) {
  bool allowed = true;
  FireEvent(OnEditing, this, Node, Column, allowed);
  return allowed;
}

void TBaseVirtualTree::FireEdited(PVirtualNode Node, TColumnIndex Column) { FireEvent(OnEdited, this, Node, Column); }

void TBaseVirtualTree::FireEditCancelled(TColumnIndex Column) { FireEvent(OnEditCancelled, this, Column); }

TComPtr<IVTEditLink> TBaseVirtualTree::FireCreateEditor(PVirtualNode Node, TColumnIndex Column) {
  IVTEditLink* link = nullptr;
  FireEvent(OnCreateEditor, this, Node, Column, link);
  TComPtr<IVTEditLink> result(link);
  if (!result) ShowError("Edit link must not be nil.", ErrorEditLinkMissing);
  return result;
}

bool TBaseVirtualTree::CanEdit(PVirtualNode Node, TColumnIndex Column) {
  if (!FOptions->MiscOptions().Contains(MO::toEditable) || !Enabled() || ReadOnly() || !Node) return false;
  return FireEditing(Node, Column);
}

bool TBaseVirtualTree::EditNode(PVirtualNode Node, TColumnIndex Column) {
  MevraAssert(Node != nullptr, "Node must not be nil.");
  const int32_t count = FHeader->Columns()->Count();
  MevraAssert((Column > NoColumn && Column < count) || (Column == NoColumn && count == 0),
              "Column must be a valid column index (-1 if no header is shown).");
  if (IsEditing() || ReadOnly()) return IsEditing();
  SetFocusedNode(Node);
  if (FFocusedNode == Node && CanEdit(Node, Column)) {
    FEditColumn = Column;
    InitNode(Node);
    BeginNodeEdit();
  }
  return IsEditing();
}

void TBaseVirtualTree::BeginNodeEdit() {
  if (HandleAllocated()) {
    KillTimer(Handle(), ScrollTimer);
    KillTimer(Handle(), EditTimer);
  }
  ChangeStates({}, {TS::tsEditPending, TS::tsScrolling, TS::tsScrollPending});
  if (!FFocusedNode || FFocusedNode->StateBits.Contains(NS::nsDisabled) || ReadOnly() || FEditLink) return;
  TComPtr<IVTEditLink> link = FireCreateEditor(FFocusedNode, FEditColumn);
  if (!link) return;
  ChangeStates({TS::tsEditing}, {});
  FEditLink = link;
  bool begun = false;
  try {
    const TVTSelectionOptions selection = FOptions->SelectionOptions();
    ScrollNodeIntoView(FFocusedNode, selection.Contains(TVTSelectionOption::toCenterScrollIntoView),
                       !FOptions->AutoOptions().Contains(TVTAutoOption::toDisableAutoscrollOnEdit));
    if (link->PrepareEditor(this, FFocusedNode, FEditColumn)) {
      PlaceEditor();
      InvalidateNode(FFocusedNode);
      begun = link->BeginEditing();
    }
  } catch (...) {
    ChangeStates({}, {TS::tsEditing});
    FEditLink.Clear();
    throw;
  }
  if (!begun && FEditLink == link.Get()) {
    // A refusal: the editor lets go of its link as well, or the two would
    // keep each other alive.
    ChangeStates({}, {TS::tsEditing});
    FEditLink.Clear();
    link->AbortEditing();
  }
}

bool TBaseVirtualTree::FinishNodeEdit() {
  if (HandleAllocated()) KillTimer(Handle(), EditTimer);
  bool result = true;
  if (IsEditing() && FEditLink) {
    // Ending may release the tree's reference on the way (the editor ends
    // edits too): hold one for the call.
    TComPtr<IVTEditLink> link = FEditLink;
    result = link->FinishEditing();
    if (result && IsEditing()) {
      ChangeStates({}, {TS::tsEditing});
      FEditLink.Clear();
      FireEdited(FFocusedNode, FEditColumn);
    }
  }
  ChangeStates({}, {TS::tsEditPending});
  return result;
}

bool TBaseVirtualTree::CancelNodeEdit() {
  if (HandleAllocated()) KillTimer(Handle(), EditTimer);
  ChangeStates({}, {TS::tsEditPending});
  if (!IsEditing() || !FEditLink) return true;
  TComPtr<IVTEditLink> link = FEditLink;
  const bool result = link->AbortEditing();
  if (result && IsEditing()) {
    ChangeStates({}, {TS::tsEditing});
    FEditLink.Clear();
    FireEditCancelled(FEditColumn);
  }
  return result;
}

// The text rectangle of the edited cell; with grid extensions the editor
// spans the column on the side its alignment leaves free.
void TBaseVirtualTree::PlaceEditor() {
  if (!IsEditing() || !FEditLink || !FFocusedNode || !HandleAllocated()) return;
  RECT r = NodeDisplayRect(FFocusedNode, FEditColumn, true, true);
  TVirtualTreeColumns* columns = FHeader->Columns();
  if (FOptions->MiscOptions().Contains(MO::toGridExtensions) && columns->IsColumnIndex(FEditColumn)) {
    int32_t left, right;
    columns->ColumnExtent(FEditColumn, left, right);
    switch (columns->Items(FEditColumn)->Alignment()) {
      case TAlignment::taLeftJustify: r.right = right - 1; break;
      case TAlignment::taRightJustify: r.left = left; break;
      case TAlignment::taCenter:
        r.left = left;
        r.right = right - 1;
        break;
    }
  }
  if (FOptions->PaintOptions().Contains(TVTPaintOption::toShowHorzGridLines)) --r.bottom;
  FEditLink->ApplyEditorBounds(r);
}

std::wstring TBaseVirtualTree::DefaultHintText(PVirtualNode Node, TColumnIndex Column,
                                               TVTTooltipLineBreakStyle& LineBreakStyle) {
  (void)Node;
  (void)Column;
  LineBreakStyle = TVTTooltipLineBreakStyle::hlbDefault;
  return AnsiToUtf16(Hint());
}

std::wstring TBaseVirtualTree::DefaultTooltipText(PVirtualNode Node, TColumnIndex Column,
                                                  TVTTooltipLineBreakStyle& LineBreakStyle) {
  // The tree's own hint, not a descendant's: each adds its own word once.
  return TBaseVirtualTree::DefaultHintText(Node, Column, LineBreakStyle);
}

bool TBaseVirtualTree::CellIsEmpty(PVirtualNode Node, TColumnIndex Column) {
  bool empty = true;
  FireEvent(OnGetCellIsEmpty, this, Node, Column, empty);
  return empty;
}

int32_t TBaseVirtualTree::FireIncrementalSearch(PVirtualNode Node, const std::wstring& Text) {
  int32_t result = 0;
  FireEvent(OnIncrementalSearch, this, Node, Text, result);
  return result;
}
