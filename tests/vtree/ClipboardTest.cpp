// The tree on the clipboard: copy, cut and paste within a tree and between
// trees, the "Virtual Tree Data" the clipboard carries, the data object's
// answers, and the refusals of forged blocks and references.
#include "tests/vtree/TreeChecker.h"

#include "tests/support/BlockDataObject.h"

#include "vtree/TreeDataObject.h"
#include "vtree/TreeStreamFormat.h"

#include <cstring>
#include <map>

namespace {
using NS = TVirtualNodeState;
using TS = TVirtualTreeState;
using AM = TVTNodeAttachMode;

using testing_support::GlobalBytes;
using testing_support::TBlockDataObject;

// Opens the protected insertion for tests.
class TProbeTree : public TBaseVirtualTree {
public:
  using TBaseVirtualTree::InsertFromDataObject;
};

std::string Le32(uint32_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }

// Three top-level nodes, the first with two children, all initialised.
void Build(TBaseVirtualTree& tree) {
  tree.TreeOptions()->SetSelectionOptions({TVTSelectionOption::toMultiSelect});
  tree.SetRootNodeCount(3);
  tree.SetChildCount(NodeAt(tree, {0}), 2);
  tree.InitializeSubtree(nullptr, true);
  ExpandAll(tree);
}

class TreeClipboard : public ::testing::Test {
protected:
  void TearDown() override { OleSetClipboard(nullptr); }
};

TEST_F(TreeClipboard, CopyAndPasteInsertsCopiesReportedAsCopied) {
  TBaseVirtualTree tree;
  Build(tree);
  tree.SetSelected(NodeAt(tree, {1}), true);
  tree.CopySelectionToClipboard();
  EXPECT_TRUE(tree.TreeStates().Contains(TS::tsCopyPending));
  EXPECT_TRUE(NodeAt(tree, {1})->StateBits.Contains(NS::nsClipboardMarked));
  tree.SetFocusedNode(NodeAt(tree, {2}));
  std::vector<TChangeReason> reasons;
  tree.OnStructureChange = TVTStructureChangeEvent::Lambda(
      [&](TBaseVirtualTree*, PVirtualNode, TChangeReason r) { reasons.push_back(r); });
  std::vector<PVirtualNode> copied;
  tree.OnNodeCopied = TVTNodeCopiedEvent::Lambda([&](TBaseVirtualTree*, PVirtualNode n) { copied.push_back(n); });
  EXPECT_TRUE(tree.PasteClipboardIntoTree());
  EXPECT_EQ(tree.TotalCount(), 6u);
  EXPECT_EQ(NodeAt(tree, {2})->ChildCount, 1u);
  EXPECT_EQ(copied, std::vector<PVirtualNode>{NodeAt(tree, {2, 0})});
  EXPECT_NE(std::find(reasons.begin(), reasons.end(), TChangeReason::crNodeCopied), reasons.end());
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST_F(TreeClipboard, CutAndPasteMovesWithinTheTree) {
  TBaseVirtualTree tree;
  Build(tree);
  PVirtualNode moved = NodeAt(tree, {0, 1});
  tree.SetSelected(moved, true);
  tree.CutSelectionToClipboard();
  EXPECT_TRUE(tree.TreeStates().Contains(TS::tsCutPending));
  tree.SetFocusedNode(NodeAt(tree, {2}));
  EXPECT_TRUE(tree.PasteClipboardIntoTree());
  EXPECT_EQ(tree.TotalCount(), 5u);
  EXPECT_EQ(NodeAt(tree, {2, 0}), moved);
  EXPECT_FALSE(tree.TreeStates().Contains(TS::tsCutPending));
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST_F(TreeClipboard, CutAndPasteMovesBetweenTrees) {
  TBaseVirtualTree source, target;
  Build(source);
  target.SetRootNodeCount(1);
  source.SetSelected(NodeAt(source, {0}), true);
  source.SetSelected(NodeAt(source, {2}), true);
  source.CutSelectionToClipboard();
  EXPECT_TRUE(target.PasteClipboardIntoTree());
  EXPECT_EQ(source.TotalCount(), 1u);
  EXPECT_EQ(target.TotalCount(), 1u + 4);
  EXPECT_EQ(target.RootNodeCount(), 3u);
  EXPECT_EQ(NodeAt(target, {1})->ChildCount, 2u);
  EXPECT_FALSE(source.TreeStates().Contains(TS::tsCutPending));
  EXPECT_TRUE(TreeIsConsistent(source));
  EXPECT_TRUE(TreeIsConsistent(target));
}

TEST_F(TreeClipboard, ASelectedParentAndChildGiveOneRecordWithoutHeader) {
  TBaseVirtualTree tree;
  Build(tree);
  tree.SetSelected(NodeAt(tree, {0}), true);
  tree.SetSelected(NodeAt(tree, {0, 1}), true);
  tree.CopySelectionToClipboard();
  TMemoryStream expected;
  tree.SaveTreeToStream(&expected, NodeAt(tree, {0}));
  const std::string record = expected.DataString().substr(16);
  TComPtr<IDataObject> data;
  ASSERT_EQ(OleGetClipboard(data.Put()), S_OK);
  FORMATETC format{VirtualTreeDataFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  ASSERT_EQ(data->GetData(&format, &medium), S_OK);
  const std::string block = GlobalBytes(medium.hGlobal);
  ReleaseStgMedium(&medium);
  ASSERT_GE(block.size(), 4 + record.size());
  EXPECT_EQ(block.substr(0, 4), Le32(uint32_t(record.size())));
  EXPECT_EQ(block.substr(4, record.size()), record);
}

TEST_F(TreeClipboard, ClearingTheTreeEmptiesTheClipboard) {
  TBaseVirtualTree tree;
  Build(tree);
  tree.SetSelected(NodeAt(tree, {1}), true);
  tree.CopySelectionToClipboard();
  tree.ClearAllNodes();
  EXPECT_FALSE(tree.TreeStates().Contains(TS::tsCopyPending));
  TComPtr<IDataObject> data;
  if (OleGetClipboard(data.Put()) == S_OK && data) {
    FORMATETC format{VirtualTreeDataFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    EXPECT_NE(data->QueryGetData(&format), S_OK);
  }
}

TEST_F(TreeClipboard, AnotherCopyFlushesTheMarksOfTheFirst) {
  TBaseVirtualTree first, second;
  Build(first);
  Build(second);
  first.SetSelected(NodeAt(first, {1}), true);
  first.CutSelectionToClipboard();
  second.SetSelected(NodeAt(second, {1}), true);
  second.CopySelectionToClipboard();
  EXPECT_FALSE(first.TreeStates().Contains(TS::tsCutPending));
  EXPECT_FALSE(NodeAt(first, {1})->StateBits.Contains(NS::nsClipboardMarked));
  EXPECT_TRUE(second.TreeStates().Contains(TS::tsCopyPending));
}

// A block whose length runs past it is refused before anything is read.
TEST_F(TreeClipboard, ADataBlockLongerThanItsMemoryIsRefused) {
  TProbeTree tree;
  tree.SetRootNodeCount(1);
  TBaseVirtualTree source;
  source.SetRootNodeCount(1);
  TMemoryStream records;
  source.WriteNodeChunk(&records, NodeAt(source, {0}));
  struct Case {
    const char* name;
    std::string block;
    int code;  // 0: inserted
  } cases[] = {
      {"whole", Le32(uint32_t(records.Size())) + records.DataString(), 0},
      {"length past the block", Le32(uint32_t(records.Size()) + 100) + records.DataString(), 2004},
      {"no length", std::string("\x01\x00", 2), 2004},
      {"record without anchor", Le32(8) + Le32(2) + Le32(0), 2005},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TComPtr<TBlockDataObject> data(new TBlockDataObject);
    data->Blocks[VirtualTreeDataFormat()] = c.block;
    const uint32_t before = tree.TotalCount();
    try {
      EXPECT_TRUE(tree.InsertFromDataObject(nullptr, data.Get(), false, AM::amAddChildLast, nullptr));
      EXPECT_EQ(c.code, 0);
      EXPECT_EQ(tree.TotalCount(), before + 1);
    } catch (const EVirtualTreeError& e) {
      EXPECT_EQ(e.Code(), c.code);
      EXPECT_EQ(tree.TotalCount(), before);
    }
    EXPECT_EQ(tree.UpdateCount(), 0);
    EXPECT_TRUE(TreeIsConsistent(tree));
  }
}

// A reference names a source tree only when it is a live tree of this process.
TEST_F(TreeClipboard, AReferenceIsTakenOnlyForALiveTreeOfThisProcess) {
  auto* gone = new TBaseVirtualTree;
  const uint64_t goneAddress = reinterpret_cast<uintptr_t>(gone);
  EXPECT_EQ(TBaseVirtualTree::LiveTreeAt(goneAddress), gone);
  delete gone;
  EXPECT_EQ(TBaseVirtualTree::LiveTreeAt(goneAddress), nullptr);

  TBaseVirtualTree source;
  Build(source);
  source.SetSelected(NodeAt(source, {1}), true);
  source.CutSelectionToClipboard();
  // The clipboard's data, offered with forged references.
  TMemoryStream records;
  source.WriteNodeChunk(&records, NodeAt(source, {1}));
  const std::string data = Le32(uint32_t(records.Size())) + records.DataString();
  auto reference = [](uint32_t pid, uint64_t tree) {
    std::vector<uint8_t> block = MakeTreeReferenceBlock(pid, reinterpret_cast<void*>(static_cast<uintptr_t>(tree)));
    return std::string(block.begin(), block.end());
  };
  struct Case {
    const char* name;
    std::string reference;
  } cases[] = {
      {"a destroyed tree", reference(GetCurrentProcessId(), goneAddress)},
      {"another process", reference(GetCurrentProcessId() + 4, reinterpret_cast<uintptr_t>(&source))},
      {"an address inside the tree", reference(GetCurrentProcessId(), reinterpret_cast<uintptr_t>(&source) + 8)},
      {"too short", "\x01\x02"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TComPtr<TBlockDataObject> offer(new TBlockDataObject);
    offer->Blocks[VirtualTreeDataFormat()] = data;
    offer->Blocks[VirtualTreeReferenceFormat()] = c.reference;
    ASSERT_EQ(OleSetClipboard(offer.Get()), S_OK);
    TBaseVirtualTree target;
    // Not the source's cut: a copy.
    EXPECT_TRUE(target.PasteClipboardIntoTree());
    EXPECT_EQ(target.TotalCount(), 1u);
    EXPECT_EQ(source.TotalCount(), 5u);
    EXPECT_TRUE(TreeIsConsistent(target));
  }
}

TEST_F(TreeClipboard, PasteIntoAReadOnlyTreeDoesNothing) {
  TBaseVirtualTree tree;
  Build(tree);
  tree.SetSelected(NodeAt(tree, {1}), true);
  tree.CopySelectionToClipboard();
  tree.TreeOptions()->SetMiscOptions(tree.TreeOptions()->MiscOptions() + TVTMiscOption::toReadOnly);
  EXPECT_FALSE(tree.PasteClipboardIntoTree());
  EXPECT_EQ(tree.TotalCount(), 5u);
}

TEST(TreeDataObject, QueryGetDataAnswersTheFirstMismatch) {
  TBaseVirtualTree tree;
  TComPtr<IDataObject> data(new TVTDataObject(&tree, false));
  const CLIPFORMAT vt = VirtualTreeDataFormat();
  struct Case {
    const char* name;
    FORMATETC format;
    HRESULT result;
  } cases[] = {
      {"listed", {vt, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}, S_OK},
      {"wrong medium", {vt, nullptr, DVASPECT_CONTENT, -1, TYMED_GDI}, DV_E_TYMED},
      {"wrong aspect", {vt, nullptr, DVASPECT_ICON, -1, TYMED_HGLOBAL}, DV_E_DVASPECT},
      {"wrong index", {vt, nullptr, DVASPECT_CONTENT, 3, TYMED_HGLOBAL}, DV_E_LINDEX},
      {"unlisted", {CF_BITMAP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}, DV_E_CLIPFORMAT},
      {"reference", {VirtualTreeReferenceFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}, DV_E_CLIPFORMAT},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(data->QueryGetData(&c.format), c.result);
  }
  // The reference is served all the same.
  FORMATETC reference{VirtualTreeReferenceFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  ASSERT_EQ(data->GetData(&reference, &medium), S_OK);
  const std::string block = GlobalBytes(medium.hGlobal);
  ReleaseStgMedium(&medium);
  TTreeReference ref;
  ASSERT_TRUE(ReadTreeReferenceBlock(reinterpret_cast<const uint8_t*>(block.data()), block.size(), ref));
  EXPECT_EQ(ref.ProcessId, GetCurrentProcessId());
  EXPECT_EQ(TBaseVirtualTree::LiveTreeAt(ref.Tree), &tree);
}

TEST(TreeDataObject, AStoredBlockIsServedAndOutlivesItsReader) {
  TBaseVirtualTree tree;
  TComPtr<IDataObject> data(new TVTDataObject(&tree, false));
  FORMATETC effect{static_cast<CLIPFORMAT>(RegisterClipboardFormatA("Performed DropEffect")), nullptr, DVASPECT_CONTENT, -1,
                   TYMED_HGLOBAL};
  STGMEDIUM stored{};
  stored.tymed = TYMED_HGLOBAL;
  stored.hGlobal = GlobalAlloc(GMEM_MOVEABLE, 4);
  *static_cast<DWORD*>(GlobalLock(stored.hGlobal)) = DROPEFFECT_MOVE;
  GlobalUnlock(stored.hGlobal);
  ASSERT_EQ(data->SetData(&effect, &stored, TRUE), S_OK);
  for (int round = 0; round < 2; ++round) {
    STGMEDIUM medium{};
    ASSERT_EQ(data->GetData(&effect, &medium), S_OK);
    EXPECT_EQ(GlobalBytes(medium.hGlobal), Le32(DROPEFFECT_MOVE));
    ReleaseStgMedium(&medium);
  }
  TComPtr<IEnumFORMATETC> formats;
  ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, formats.Put()), S_OK);
  size_t count = 0;
  FORMATETC one;
  while (formats->Next(1, &one, nullptr) == S_OK) ++count;
  formats->Reset();
  EXPECT_EQ(formats->Skip(ULONG(count)), S_OK);
  EXPECT_EQ(formats->Skip(1), S_FALSE);
  EXPECT_EQ(formats->Next(1, &one, nullptr), S_FALSE);
}
}  // namespace
