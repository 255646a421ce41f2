// The tree stream: writing and reading whole trees and single records, the
// application's data chunks, the string tree's captions, the older version
// and every refusal of a damaged stream, with the tree consistent after each.
#include "tests/vtree/TreeChecker.h"

#include "platform/FileStream.h"
#include "vtree/StringTree.h"
#include "vtree/TreeStreamFormat.h"

#include <cstring>
#include <filesystem>

namespace {
using NS = TVirtualNodeState;
using Bytes = std::string;

// Stream pieces built by hand.
Bytes Le32(uint32_t v) { return Bytes{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }
Bytes Chunk(int32_t type, const Bytes& body) { return Le32(uint32_t(type)) + Le32(uint32_t(body.size())) + body; }
const Bytes Header2("\x45\x20\x56\x00\x54\x00\x02\x00\x20\x00\x46\x20", 12);
const Bytes Header1("\x45\x20\x56\x00\x54\x00\x01\x00\x20\x00\x46\x20", 12);
Bytes Base2(const std::vector<Bytes>& children, uint16_t states = 0x80, uint32_t height = 18, uint32_t count = ~0u) {
  Bytes body = Le32(count == ~0u ? uint32_t(children.size()) : count) + Le32(height);
  body += Bytes{char(states), char(states >> 8), char(50), char(0), char(0)} + Le32(0);
  for (const Bytes& child : children) body += child;
  return Chunk(BaseChunk, body);
}
Bytes Record2(const std::vector<Bytes>& children = {}, const Bytes& extra = {}) {
  return Chunk(NodeChunk, Base2(children) + extra);
}
Bytes Record1(const std::vector<Bytes>& children, uint8_t states) {
  Bytes body = Le32(uint32_t(children.size())) + Le32(20) + Bytes{char(states), char(50), char(0), char(0)};
  for (const Bytes& child : children) body += child;
  return Chunk(NodeChunk, Chunk(BaseChunk, body));
}
Bytes Stream2(const std::vector<Bytes>& records) {
  Bytes s = Header2 + Le32(uint32_t(records.size()));
  for (const Bytes& r : records) s += r;
  return s;
}

Bytes Save(TBaseVirtualTree& tree, PVirtualNode node = nullptr) {
  TMemoryStream stream;
  tree.SaveTreeToStream(&stream, node);
  return stream.DataString();
}
void Load(TBaseVirtualTree& tree, const Bytes& bytes) {
  TStringStream stream(bytes);
  tree.LoadTreeFromStream(&stream);
}

// "path height states" per node in tree order (states without the passing ones).
std::vector<std::string> Shape(const TBaseVirtualTree& tree) {
  std::vector<std::string> lines;
  const uint16_t kept = StoredStateMask & ~TVirtualNodeStates::Mask(NS::nsAllChildrenHidden);
  for (PVirtualNode run = tree.FirstNodeRaw(false); run; run = tree.NextNodeRaw(run))
    lines.push_back(NodePath(run, tree) + " " + std::to_string(run->NodeHeight) + " " +
                    std::to_string(run->StateBits.Bits & kept) + " " + std::to_string(int(run->CheckState)));
  return lines;
}

// A tree of three top-level nodes; the first has two children, the second of
// which has one; heights and check states differ.
void Build(TBaseVirtualTree& tree) {
  tree.SetRootNodeCount(3);
  PVirtualNode first = NodeAt(tree, {0});
  tree.InitializeSubtree(first, false);
  tree.SetChildCount(first, 2);
  PVirtualNode second = NodeAt(tree, {0, 1});
  tree.InitializeSubtree(second, false);
  tree.SetChildCount(second, 1);
  tree.InitializeSubtree(NodeAt(tree, {0, 0}), false);
  tree.InitializeSubtree(NodeAt(tree, {0, 1, 0}), false);
  tree.InitializeSubtree(NodeAt(tree, {1}), false);
  tree.InitializeSubtree(NodeAt(tree, {2}), false);
  tree.SetNodeHeight(NodeAt(tree, {0, 1}), 30);
  tree.SetCheckType(NodeAt(tree, {1}), TCheckType::ctCheckBox);
  tree.SetCheckState(NodeAt(tree, {1}), TCheckState::csCheckedNormal);
  tree.ChangeNodeExpanded(first, true);
}

TEST(TreeStream, AnEmptyTreeIsSixteenBytesAndLoadsEmpty) {
  TBaseVirtualTree tree;
  const Bytes bytes = Save(tree);
  EXPECT_EQ(bytes, Header2 + Le32(0));
  TBaseVirtualTree other;
  other.SetRootNodeCount(4);
  Load(other, bytes);
  EXPECT_EQ(other.TotalCount(), 0u);
  EXPECT_TRUE(TreeIsConsistent(other));
}

TEST(TreeStream, ATreeComesBackAsItWasWritten) {
  TBaseVirtualTree tree;
  Build(tree);
  TBaseVirtualTree other;
  std::vector<PVirtualNode> copied;
  other.OnNodeCopied = TVTNodeCopiedEvent::Lambda([&](TBaseVirtualTree*, PVirtualNode n) { copied.push_back(n); });
  Load(other, Save(tree));
  EXPECT_EQ(Shape(other), Shape(tree));
  EXPECT_EQ(other.VisibleNodeCount(), tree.VisibleNodeCount());
  EXPECT_EQ(other.RootNode()->SubtreeHeight, tree.RootNode()->SubtreeHeight);
  EXPECT_EQ(copied, std::vector<PVirtualNode>{nullptr});
  EXPECT_TRUE(TreeIsConsistent(other));
}

TEST(TreeStream, ANodeWithoutDataIsAnAnchorAroundItsBaseChunk) {
  TBaseVirtualTree tree;
  tree.SetRootNodeCount(1);
  tree.InitializeSubtree(NodeAt(tree, {0}), false);
  const Bytes bytes = Save(tree);
  ASSERT_EQ(bytes.size(), 16u + 8 + 8 + BaseBodySizeV2);
  EXPECT_EQ(bytes.substr(16, 8), Le32(NodeChunk) + Le32(8 + BaseBodySizeV2));
  EXPECT_EQ(bytes.substr(24, 8), Le32(BaseChunk) + Le32(BaseBodySizeV2));
  // One node saved on its own: the count is 1.
  EXPECT_EQ(Save(tree, NodeAt(tree, {0})).substr(12, 4), Le32(1));
}

TEST(TreeStream, TheApplicationsDataTravelsInItsOwnChunk) {
  TBaseVirtualTree tree;
  tree.SetRootNodeCount(3);
  tree.OnSaveNode = TVTSaveNodeEvent::Lambda([&](TBaseVirtualTree*, PVirtualNode n, TStream* s) {
    if (n->IndexInParent != 1) s->WriteDWord(0xC0DE0000 + n->IndexInParent);
  });
  const Bytes bytes = Save(tree);
  TBaseVirtualTree other;
  std::vector<uint32_t> read;
  other.OnLoadNode = TVTSaveNodeEvent::Lambda([&](TBaseVirtualTree*, PVirtualNode, TStream* s) {
    read.push_back(s->ReadDWord());
  });
  Load(other, bytes);
  EXPECT_EQ(read, (std::vector<uint32_t>{0xC0DE0000, 0xC0DE0002}));
  EXPECT_EQ(other.TotalCount(), 3u);
}

TEST(TreeStream, AShortReadOfTheDataIsSkippedPast) {
  TBaseVirtualTree tree;
  tree.SetRootNodeCount(2);
  tree.OnSaveNode = TVTSaveNodeEvent::Lambda([](TBaseVirtualTree*, PVirtualNode n, TStream* s) {
    s->WriteDWord(n->IndexInParent);
    s->WriteDWord(0xFFFFFFFF);
  });
  TBaseVirtualTree other;
  std::vector<uint8_t> read;
  other.OnLoadNode = TVTSaveNodeEvent::Lambda([&](TBaseVirtualTree*, PVirtualNode, TStream* s) { read.push_back(s->ReadByte()); });
  Load(other, Save(tree));
  EXPECT_EQ(read, (std::vector<uint8_t>{0, 1}));
  EXPECT_EQ(other.TotalCount(), 2u);
  EXPECT_TRUE(TreeIsConsistent(other));
}

TEST(TreeStream, VersionOneLoadsUntilTheStreamEnds) {
  // The one state byte: bit 7 selects (and shows) the node.
  const Bytes bytes = Header1 + Record1({Record1({}, 0x80)}, 0x21) + Record1({}, 0x01);
  TBaseVirtualTree tree;
  tree.TreeOptions()->SetSelectionOptions({TVTSelectionOption::toMultiSelect});
  Load(tree, bytes);
  EXPECT_EQ(tree.TotalCount(), 3u);
  EXPECT_EQ(tree.SelectedCount(), 1u);
  EXPECT_TRUE(tree.Selected(NodeAt(tree, {0, 0})));
  EXPECT_EQ(NodeAt(tree, {1})->NodeHeight, 20);
  EXPECT_TRUE(NodeAt(tree, {1})->StateBits.Contains(NS::nsVisible));
  EXPECT_TRUE(NodeAt(tree, {0})->StateBits.Contains(NS::nsExpanded));
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeStream, WithoutMultiSelectionNodesArriveUnselected) {
  TBaseVirtualTree tree;
  Load(tree, Stream2({Chunk(NodeChunk, Base2({}, 0x180))}));
  EXPECT_EQ(tree.SelectedCount(), 0u);
  EXPECT_FALSE(NodeAt(tree, {0})->StateBits.Contains(NS::nsSelected));
  EXPECT_TRUE(TreeIsConsistent(tree));
}

// A damaged stream raises its code; what was read before stays, counted.
TEST(TreeStream, DamagedStreamsAreRefusedWithTheirCode) {
  Bytes changedWord = Stream2({Record2()});
  changedWord[2] = 0x57;
  Bytes version3 = Stream2({Record2()});
  version3[6] = 3;
  Bytes negative = Header2 + Le32(2) + Record2() + Le32(NodeChunk) + Le32(uint32_t(-8));
  // The base chunk claims more than its record holds.
  Bytes pastRecord = Record2();
  pastRecord.replace(12, 4, Le32(BaseBodySizeV2 + 40));
  // The record claims more than the stream holds.
  Bytes pastStream = Record2();
  pastStream.replace(4, 4, Le32(1000));
  // A user chunk runs past its record.
  Bytes pastChunk = Chunk(NodeChunk, Base2({}) + Le32(UserChunk) + Le32(100) + "abcd");
  struct Case {
    const char* name;
    Bytes bytes;
    int code;
    uint32_t kept;  // nodes that stay
  } cases[] = {
      {"eleven bytes", Header2.substr(0, 11), 2004, 0},
      {"no count", Header2, 2004, 0},
      {"changed word", changedWord, 2002, 0},
      {"version 3", version3, 2003, 0},
      {"no anchor", Stream2({Record2(), Base2({})}), 2005, 1},
      {"child without anchor", Stream2({Chunk(NodeChunk, Base2({Base2({}) + Chunk(9, "12345678")}))}), 2005, 1},
      {"negative size", negative, 2006, 1},
      {"chunk past its record", Stream2({pastRecord}), 2006, 1},
      {"record past the stream", Stream2({pastStream}), 2006, 0},
      {"user chunk past its record", Stream2({pastChunk}), 2006, 1},
      {"cut short", Stream2({Record2({Record2(), Record2()})}).substr(0, 80), 2006, 0},
      {"children the bytes cannot hold", Stream2({Chunk(NodeChunk, Base2({Record2()}, 0x80, 18, 100000))}), 2006, 1},
      {"children past the base chunk", Stream2({Chunk(NodeChunk, Base2({}, 0x80, 18, 1) + Record2())}), 2006, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBaseVirtualTree tree;
    tree.SetRootNodeCount(2);
    try {
      Load(tree, c.bytes);
      ADD_FAILURE() << "no error";
    } catch (const EVirtualTreeError& e) {
      EXPECT_EQ(e.Code(), c.code) << e.Message();
    }
    EXPECT_EQ(tree.RootNodeCount(), c.kept);
    EXPECT_LE(tree.NodeBlockCount(), 4u);
    EXPECT_EQ(tree.UpdateCount(), 0);
    EXPECT_TRUE(TreeIsConsistent(tree));
  }
}

TEST(TreeStream, TheUncheckedHeaderWordMayDiffer) {
  Bytes bytes = Stream2({Record2()});
  bytes[8] = 0x7F;
  TBaseVirtualTree tree;
  Load(tree, bytes);
  EXPECT_EQ(tree.TotalCount(), 1u);
}

TEST(TreeStream, DeepNestingIsReadWithoutRecursionAndRefusedBeyondItsLimit) {
  // A chain of Depth nodes, each the only child of the one before.
  auto nested = [](uint32_t depth) {
    const uint32_t level = 2 * 8 + BaseBodySizeV2;
    Bytes record;
    record.reserve(size_t{depth} * level);
    for (uint32_t k = depth; k > 0; --k) {
      record += Le32(NodeChunk) + Le32(k * level - 8) + Le32(BaseChunk) + Le32(k * level - 16);
      record += Le32(k > 1 ? 1 : 0) + Le32(18) + Bytes{char(0x80), 0, 50, 0, 0} + Le32(0);
    }
    return record;
  };
  // The invariant checker recurses, so these chains are checked by their counters.
  auto chainIsCounted = [](TBaseVirtualTree& tree, uint32_t depth) {
    EXPECT_EQ(tree.TotalCount(), depth);
    EXPECT_EQ(tree.NodeBlockCount(), depth);
    EXPECT_EQ(tree.VisibleNodeCount(), 1u);
    PVirtualNode deepest = tree.FirstNodeRaw(false);
    while (deepest->FirstChild) deepest = deepest->FirstChild;
    EXPECT_EQ(tree.NodeLevel(deepest), depth - 1);
    EXPECT_EQ(tree.RootNode()->SubtreeCount, depth + 1);
    EXPECT_EQ(NodeAt(tree, {0})->SubtreeHeight, 18u);
  };
  {
    TBaseVirtualTree tree;
    Load(tree, Stream2({nested(20000)}));
    chainIsCounted(tree, 20000);
  }
  TBaseVirtualTree tree;
  try {
    Load(tree, Stream2({nested(MaxStreamNesting + 1)}));
    ADD_FAILURE() << "no error";
  } catch (const EVirtualTreeError& e) {
    EXPECT_EQ(e.Code(), 2006);
  }
  chainIsCounted(tree, MaxStreamNesting);
}

TEST(TreeStream, ChildrenLeftOutAreCountedAsNone) {
  TBaseVirtualTree tree;
  tree.TreeOptions()->SetMiscOptions(tree.TreeOptions()->MiscOptions() - TVTMiscOption::toInitOnSave);
  tree.SetRootNodeCount(1);
  // Children made without initialising their parent are not written.
  tree.SetChildCount(NodeAt(tree, {0}), 3);
  ASSERT_FALSE(NodeAt(tree, {0})->StateBits.Contains(NS::nsInitialized));
  const Bytes bytes = Save(tree);
  EXPECT_EQ(bytes.substr(32, 4), Le32(0));
  TBaseVirtualTree other;
  Load(other, bytes);
  EXPECT_EQ(other.TotalCount(), 1u);
  EXPECT_TRUE(TreeIsConsistent(other));
  // With toInitOnSave the node is initialised, and its children go along.
  tree.TreeOptions()->SetMiscOptions(tree.TreeOptions()->MiscOptions() + TVTMiscOption::toInitOnSave);
  Load(other, Save(tree));
  EXPECT_EQ(other.TotalCount(), 4u);
  EXPECT_TRUE(TreeIsConsistent(other));
}

TEST(TreeStream, ARecordReadIntoALinkedNodeRepairsTheCounters) {
  TBaseVirtualTree source;
  Build(source);
  const Bytes record = Save(source, NodeAt(source, {0})).substr(16);
  TBaseVirtualTree tree;
  tree.TreeOptions()->SetSelectionOptions({TVTSelectionOption::toMultiSelect});
  tree.SetRootNodeCount(2);
  PVirtualNode parent = NodeAt(tree, {1});
  tree.InitializeSubtree(parent, false);
  tree.ChangeNodeExpanded(parent, true);
  PVirtualNode node = tree.AppendChildNode(parent);
  struct TProbe : TBaseVirtualTree {
    using TBaseVirtualTree::InsertFromStream;
  };
  TStringStream stream(record);
  static_cast<TProbe&>(tree).InsertFromStream(&stream, node);
  EXPECT_EQ(tree.TotalCount(), 2u + 4);
  EXPECT_EQ(node->ChildCount, 2u);
  // The record's third level stays collapsed.
  EXPECT_EQ(tree.VisibleNodeCount(), 2u + 3);
  EXPECT_TRUE(TreeIsConsistent(tree));
  // A damaged record leaves what it brought so far, counted.
  PVirtualNode other = tree.AppendChildNode(parent);
  TStringStream damaged(Chunk(NodeChunk, Base2({Record2(), Base2({}) + Chunk(9, Bytes(16, 'x'))}, 0x80, 18, 2)));
  EXPECT_THROW(static_cast<TProbe&>(tree).InsertFromStream(&damaged, other), EVirtualTreeError);
  EXPECT_EQ(other->ChildCount, 1u);
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeStream, TheStringTreeKeepsItsCaptions) {
  TVirtualStringTree tree;
  tree.TreeOptions()->SetStringOptions({TVTStringOption::toSaveCaptions});
  tree.SetRootNodeCount(2);
  tree.OnGetText = TVSTGetTextEvent::Lambda([](TBaseVirtualTree*, PVirtualNode n, TColumnIndex, TVSTTextType, std::wstring& t) {
    t = n->IndexInParent == 0 ? L"\x4E00 first" : L"";
  });
  const Bytes bytes = Save(tree);
  TVirtualStringTree other;
  std::vector<std::wstring> texts;
  other.OnNewText = TVSTNewTextEvent::Lambda(
      [&](TBaseVirtualTree*, PVirtualNode, TColumnIndex, const std::wstring& t) { texts.push_back(t); });
  Load(other, bytes);
  EXPECT_EQ(texts, std::vector<std::wstring>{L"\x4E00 first"});
  EXPECT_EQ(other.TotalCount(), 2u);
  EXPECT_TRUE(TreeIsConsistent(other));
}

TEST(TreeStream, AFileLoadsLikeAStream) {
  TBaseVirtualTree tree;
  Build(tree);
  const std::string name = (std::filesystem::temp_directory_path() / "vtree-stream-test.bin").string();
  tree.SaveTreeToFile(name);
  TBaseVirtualTree other;
  other.LoadTreeFromFile(name);
  std::filesystem::remove(name);
  EXPECT_EQ(Shape(other), Shape(tree));
}

TEST(TreeStream, AReadOnlyTreeLoadsNothing) {
  TBaseVirtualTree tree;
  tree.SetRootNodeCount(2);
  tree.TreeOptions()->SetMiscOptions(tree.TreeOptions()->MiscOptions() + TVTMiscOption::toReadOnly);
  Load(tree, Stream2({Record2()}));
  EXPECT_EQ(tree.TotalCount(), 2u);
}

TEST(TreeStream, TheDataBlockLengthMustFitItsBlock) {
  const uint8_t block[] = {5, 0, 0, 0, 1, 2, 3, 4, 5};
  EXPECT_EQ(CheckTreeDataBlock(block, sizeof block), 5u);
  for (uint64_t size : {uint64_t{0}, uint64_t{3}, uint64_t{8}}) {
    try {
      CheckTreeDataBlock(block, size);
      ADD_FAILURE() << size;
    } catch (const EVirtualTreeError& e) {
      EXPECT_EQ(e.Code(), 2004);
    }
  }
}
}  // namespace
