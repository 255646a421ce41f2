// Check states: the next state of a click, the pressed look while a button
// or the space key is held, the events that may refuse or change a state,
// tri-state propagation to children and parents, and radio exclusivity.
#include "vtree/VirtualTree.h"

namespace {
using NS = TVirtualNodeState;
using TS = TVirtualTreeState;
using CS = TCheckState;
using CT = TCheckType;

bool Counts(PVirtualNode Node) {
  return Node->CheckType == CT::ctTriStateCheckBox || Node->CheckType == CT::ctCheckBox;
}

bool IsChecked(CS State) { return State == CS::csCheckedNormal || State == CS::csCheckedPressed; }

CS Pressed(CS State) {
  switch (State) {
    case CS::csUncheckedNormal: case CS::csUncheckedPressed: return CS::csUncheckedPressed;
    case CS::csCheckedNormal: case CS::csCheckedPressed: return CS::csCheckedPressed;
    default: return CS::csMixedPressed;
  }
}

CS Released(CS State) {
  switch (State) {
    case CS::csUncheckedNormal: case CS::csUncheckedPressed: return CS::csUncheckedNormal;
    case CS::csCheckedNormal: case CS::csCheckedPressed: return CS::csCheckedNormal;
    default: return CS::csMixedNormal;
  }
}
}  // namespace

TCheckState TBaseVirtualTree::NextCheckState(TCheckType Type, TCheckState State) const {
  switch (Type) {
    case CT::ctTriStateCheckBox:
    case CT::ctCheckBox: return State == CS::csCheckedNormal ? CS::csUncheckedNormal : CS::csCheckedNormal;
    case CT::ctRadioButton: return CS::csCheckedNormal;
    case CT::ctButton: return CS::csUncheckedNormal;
    default: return State;
  }
}

bool TBaseVirtualTree::FireChecking(PVirtualNode Node, TCheckState& NewState) {
  if (ReadOnly()) return false;
  bool allowed = true;
  FireEvent(OnChecking, this, Node, NewState, allowed);
  return allowed;
}

void TBaseVirtualTree::FireChecked(PVirtualNode Node) { FireEvent(OnChecked, this, Node); }

void TBaseVirtualTree::ChangeCheckState(PVirtualNode Node, TCheckState Value) {
  if (ApplyCheckState(Node, Value)) FireChecked(Node);
}

void TBaseVirtualTree::RequestCheckState(PVirtualNode Node, TCheckState Value) {
  if (!Node || Node == FRoot || Node->CheckState == Value || Node->StateBits.Contains(NS::nsDisabled)) return;
  if (FireChecking(Node, Value)) ChangeCheckState(Node, Value);
}

void TBaseVirtualTree::SetCheckState(PVirtualNode Node, TCheckState Value) { RequestCheckState(Node, Value); }

void TBaseVirtualTree::SetCheckType(PVirtualNode Node, TCheckType Value) {
  if (!Node || Node == FRoot || Node->CheckType == Value) return;
  Node->CheckType = Value;
  InvalidateNode(Node);
}

bool TBaseVirtualTree::ApplyCheckState(PVirtualNode Node, TCheckState Value) {
  if (Node->StateBits.Contains(NS::nsCheckChanging)) return false;
  Node->StateBits.Include(NS::nsCheckChanging);
  InitNode(Node);
  if (FCheckPropagationDepth++ == 0) ChangeStates({TS::tsCheckPropagation}, {});
  struct TChangeEnd {
    TBaseVirtualTree& Tree;
    PVirtualNode Node;
    ~TChangeEnd() {
      Node->StateBits.Exclude(NS::nsCheckChanging);
      if (--Tree.FCheckPropagationDepth == 0) Tree.ChangeStates({}, {TS::tsCheckPropagation});
    }
  } changeEnd{*this, Node};
  const bool tracking = FOptions->AutoOptions().Contains(TVTAutoOption::toAutoTristateTracking);

  // Down: the children follow a checked or unchecked tri-state box, as far as
  // they may; the box then shows what they became.
  if (Node->CheckType == CT::ctTriStateCheckBox && tracking && (Value == CS::csCheckedNormal || Value == CS::csUncheckedNormal) &&
      Node->FirstChild) {
    for (PVirtualNode child = Node->FirstChild; child; child = child->NextSibling)
      if (Counts(child)) RequestCheckState(child, Value);
    bool counted = false, mixed = false, checked = false, unchecked = false;
    for (PVirtualNode child = Node->FirstChild; child; child = child->NextSibling) {
      if (!Counts(child)) continue;
      counted = true;
      if (child->CheckState == CS::csMixedNormal) mixed = true;
      else if (IsChecked(child->CheckState)) checked = true;
      else unchecked = true;
    }
    if (counted) {
      if (mixed) Value = CS::csMixedNormal;
      else if (checked) Value = unchecked ? CS::csMixedNormal : CS::csCheckedNormal;
    }
  }

  // Radio buttons among siblings exclude each other, without events.
  if (Node->CheckType == CT::ctRadioButton && Value == CS::csCheckedNormal) {
    for (PVirtualNode sibling = Node->Parent->FirstChild; sibling; sibling = sibling->NextSibling)
      if (sibling->CheckType == CT::ctRadioButton) sibling->CheckState = CS::csUncheckedNormal;
    Invalidate();
  }

  Node->CheckState = Value;

  bool result = true;
  PVirtualNode parent = Node->Parent;
  if (parent != FRoot) {
    InitNode(parent);
    if (tracking && !parent->StateBits.Contains(NS::nsCheckChanging) && !parent->StateBits.Contains(NS::nsDisabled) &&
        Counts(Node) && parent->CheckType == CT::ctTriStateCheckBox)
      result = PropagateCheckToParent(Node, Value);
  }
  InvalidateNode(Node);
  return result;
}

// The parent shows what its counting children show; its own change carries
// the propagation further up, so every ancestor is asked once per change.
bool TBaseVirtualTree::PropagateCheckToParent(PVirtualNode Node, TCheckState NewState) {
  PVirtualNode parent = Node->Parent;
  uint32_t counted = 0, checked = 0;
  bool mixed = false;
  for (PVirtualNode child = parent->FirstChild; child; child = child->NextSibling) {
    if (!Counts(child)) continue;
    const CS state = child == Node ? NewState : child->CheckState;
    ++counted;
    if (IsChecked(state)) ++checked;
    if (state == CS::csMixedNormal) mixed = true;
  }
  CS state;
  if (checked == 0 && !mixed) state = CS::csUncheckedNormal;
  else if (checked < counted) state = CS::csMixedNormal;
  else state = CS::csCheckedNormal;
  if (!FireChecking(parent, state)) return false;
  if (parent->CheckState != state) ChangeCheckState(parent, state);
  return true;
}

bool TBaseVirtualTree::PressCheckBox(PVirtualNode Node, bool Keyboard) {
  if (!Node || Node == FRoot || Node->CheckType == CT::ctNone) return false;
  if (FStates.Contains(TS::tsMouseCheckPending) || FStates.Contains(TS::tsKeyCheckPending) ||
      Node->StateBits.Contains(NS::nsDisabled))
    return false;
  TCheckState next = NextCheckState(Node->CheckType, Node->CheckState);
  if (!FireChecking(Node, next)) return false;
  ChangeStates({Keyboard ? TS::tsKeyCheckPending : TS::tsMouseCheckPending}, {});
  FPendingCheckNode = Node;
  FPendingCheckState = next;
  Node->CheckState = Pressed(Node->CheckState);
  if (Keyboard) RepaintNode(Node);
  else InvalidateNode(Node);
  return true;
}

void TBaseVirtualTree::ReleaseCheckBox(bool Apply) {
  if (!FStates.Contains(TS::tsMouseCheckPending) && !FStates.Contains(TS::tsKeyCheckPending)) return;
  ChangeStates({}, {TS::tsMouseCheckPending, TS::tsKeyCheckPending});
  PVirtualNode node = FPendingCheckNode;
  FPendingCheckNode = nullptr;
  if (!node) return;
  if (Apply) ChangeCheckState(node, FPendingCheckState);
  else node->CheckState = Released(node->CheckState);
  InvalidateNode(node);
}
