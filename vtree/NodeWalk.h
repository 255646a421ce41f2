// Walks over a node's subtree without recursion, so deep chains of nodes
// cannot exhaust the stack. Internal to the tree's sources.
#pragma once

#include "vtree/VirtualNode.h"

// Post-order over Node's subtree, Node last; Reverse takes children from the
// last to the first. The next node is found before `visit` runs, so visit may
// free the node it is given.
template <class F>
void PostOrder(PVirtualNode Node, bool Reverse, F&& visit) {
  auto first = [Reverse](PVirtualNode n) { return Reverse ? n->LastChild : n->FirstChild; };
  auto following = [Reverse](PVirtualNode n) { return Reverse ? n->PreviousSibling : n->NextSibling; };
  PVirtualNode run = Node;
  while (first(run)) run = first(run);
  for (;;) {
    PVirtualNode next = nullptr;
    if (run != Node) {
      if ((next = following(run))) {
        while (first(next)) next = first(next);
      } else {
        next = run->Parent;
      }
    }
    visit(run);
    if (!next) break;
    run = next;
  }
}
