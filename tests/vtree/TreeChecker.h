// Test helpers for the virtual tree: an invariant checker that recomputes every
// counter from the links, and an event log.
#pragma once

#include "tests/support/TestSupport.h"
#include "vtree/VirtualTree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Recomputes indexes, child and subtree counts, subtree heights, the hidden-
// children flags and the visible count from the links, checks that every node
// block in use is linked, and walks the tree in tree and display order both
// ways; reports the first mismatches found.
::testing::AssertionResult TreeIsConsistent(const TBaseVirtualTree& tree);

// Rectangles compared and printed in tests.
inline bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline void PrintTo(const RECT& r, std::ostream* os) {
  *os << "{" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << "}";
}

// Assertions carry the source place after their fixed message.
#define EXPECT_THAT_MESSAGE(e, text) EXPECT_EQ((e).Message().substr(0, std::string(text).size()), std::string(text))

// Expands every node that has children, so every node is on display.
void ExpandAll(TBaseVirtualTree& tree);

// Records what a tree reports, one line per event, with nodes by a name the
// test gives them (or their position path like "0.2" when unnamed).
class EventLog {
public:
  explicit EventLog(TBaseVirtualTree& tree, bool withInit = true);
  // Takes its handlers off the tree: a tree that outlives the log (declared
  // before it) still reports when it frees its nodes.
  ~EventLog();
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;
  std::vector<std::string> Lines;
  std::string Name(PVirtualNode node) const;

private:
  TBaseVirtualTree& FTree;
};

// "2.0.1": the node's indexes from the top level down (empty for nil).
std::string NodePath(PVirtualNode node, const TBaseVirtualTree& tree);
// The node at an index path.
PVirtualNode NodeAt(const TBaseVirtualTree& tree, std::initializer_list<uint32_t> path);

// A top-level window (hidden unless asked) that trees can live in, so they
// have windows of their own. Declare it before the trees it hosts.
class TreeHost {
public:
  explicit TreeHost(bool visible = false);
  HWND Handle() const { return FWindow.Handle(); }
  // Gives the tree a window of the asked size inside the host.
  void Place(TBaseVirtualTree& tree, int width, int height);

private:
  testing_support::TestWindow FWindow;
};
