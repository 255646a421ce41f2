// The tree stream on the tree's side: writing records (without recursion, so
// deep trees cannot exhaust the stack), reading them through the portable
// reader into linked nodes, and the counters, flags and selection that follow.
#include "platform/FileStream.h"
#include "vtree/StringTree.h"
#include "vtree/TreeStreamFormat.h"
#include "vtree/VirtualTree.h"

using NS = TVirtualNodeState;

// Builds the nodes the reader hands over: each linked as its parent's last
// child at once (so every block in use is linked, also after an error); the
// counters are repaired once reading ends.
class TTreeStreamReader : public TTreeStreamSink {
public:
  TTreeStreamReader(TBaseVirtualTree& Tree, int Version) : FTree(Tree), FVersion(Version) {}

  void* AddChild(void* Parent) override {
    auto parent = static_cast<PVirtualNode>(Parent);
    PVirtualNode node = FTree.AllocateNodeRecord();
    node->Parent = parent;
    node->IndexInParent = parent->LastChild ? parent->LastChild->IndexInParent + 1 : 0;
    node->PreviousSibling = parent->LastChild;
    if (parent->LastChild) parent->LastChild->NextSibling = node;
    else parent->FirstChild = node;
    parent->LastChild = node;
    ++parent->ChildCount;
    parent->StateBits.Include(NS::nsHasChildren);
    return node;
  }

  void SetBase(void* Node, const TNodeBaseRecord& Base, int) override {
    auto node = static_cast<PVirtualNode>(Node);
    TVirtualNodeStates states{Base.States};
    // Passing states of the writer mean nothing here.
    for (NS state : {NS::nsToggling, NS::nsClearingChildren, NS::nsAllChildrenHidden}) states.Exclude(state);
    // What the node is already keeps: its data's release and its place in the selection.
    states.Set(NS::nsFreeNotifyRequired, node->StateBits.Contains(NS::nsFreeNotifyRequired));
    const bool arrivedSelected = states.Contains(NS::nsSelected);
    const bool wasSelected = node->StateBits.Contains(NS::nsSelected);
    states.Set(NS::nsSelected, wasSelected);
    if (arrivedSelected && !wasSelected) FSelected.push_back(node);
    if (node->ChildCount > 0) states.Include(NS::nsHasChildren);
    node->StateBits = states;
    node->NodeHeight = static_cast<uint16_t>(Base.NodeHeight);
    node->SubtreeHeight = node->NodeHeight;
    node->VerticalAlign = Base.VerticalAlign;
    node->CheckState = Base.CheckState <= static_cast<uint8_t>(TCheckState::csMixedPressed)
                           ? static_cast<TCheckState>(Base.CheckState)
                           : TCheckState::csUncheckedNormal;
    node->CheckType =
        Base.CheckType <= static_cast<uint8_t>(TCheckType::ctButton) ? static_cast<TCheckType>(Base.CheckType) : TCheckType::ctNone;
  }

  void ReadChunk(void* Node, int32_t Type, TStream& Stream, int32_t Size) override {
    FTree.ReadChunk(&Stream, FVersion, static_cast<PVirtualNode>(Node), Type, Size);
  }

  // The nodes that arrived selected join the selection with multi-selection;
  // otherwise they arrive unselected.
  void TakeSelection() {
    if (FSelected.empty()) return;
    if (FTree.TreeOptions()->SelectionOptions().Contains(TVTSelectionOption::toMultiSelect))
      FTree.AddNodesToSelection(FSelected.data(), FSelected.size(), true);
    FSelected.clear();
  }

private:
  TBaseVirtualTree& FTree;
  int FVersion;
  std::vector<PVirtualNode> FSelected;
};

// --- writing ---------------------------------------------------------------------------

void TBaseVirtualTree::SaveTreeToStream(TStream* Stream, PVirtualNode Node) {
  WriteTreeStreamHeader(*Stream);
  if (Node && Node != FRoot) {
    Stream->WriteDWord(1);
    WriteNodeChunk(Stream, Node);
  } else {
    Stream->WriteDWord(FRoot->ChildCount);
    for (PVirtualNode run = FRoot->FirstChild; run; run = run->NextSibling) WriteNodeChunk(Stream, run);
  }
}

void TBaseVirtualTree::SaveTreeToFile(const AnsiString& FileName) {
  TFileStream stream(FileName, fmCreate);
  SaveTreeToStream(&stream);
}

void TBaseVirtualTree::WriteNodeChunk(TStream* Stream, PVirtualNode Node) {
  struct TFrame {
    PVirtualNode Node;
    int64_t Anchor, Base;
    PVirtualNode Next;  // the next child to write
  };
  const bool initOnSave = FOptions->MiscOptions().Contains(TVTMiscOption::toInitOnSave);
  auto open = [&](PVirtualNode node) {
    if (initOnSave) {
      InitNode(node);
      InitChildrenIfNeeded(node);
    }
    TFrame frame{node, BeginTreeChunk(*Stream, NodeChunk), 0, nullptr};
    frame.Base = BeginTreeChunk(*Stream, BaseChunk);
    // Children go out only with an initialised node, and the count says so:
    // a count of children that are not there would make the stream unreadable.
    const bool children = node->StateBits.Contains(NS::nsInitialized);
    TNodeBaseRecord base;
    base.ChildCount = children ? node->ChildCount : 0;
    base.NodeHeight = node->NodeHeight;
    base.States = node->StateBits.Bits;
    base.VerticalAlign = node->VerticalAlign;
    base.CheckState = static_cast<uint8_t>(node->CheckState);
    base.CheckType = static_cast<uint8_t>(node->CheckType);
    WriteNodeBase(*Stream, base);
    frame.Next = children ? node->FirstChild : nullptr;
    return frame;
  };
  std::vector<TFrame> stack;
  stack.push_back(open(Node));
  while (!stack.empty()) {
    TFrame& top = stack.back();
    if (PVirtualNode child = top.Next) {
      top.Next = child->NextSibling;
      stack.push_back(open(child));
      continue;
    }
    EndTreeChunk(*Stream, top.Base);
    WriteNode(Stream, top.Node);
    EndTreeChunk(*Stream, top.Anchor);
    stack.pop_back();
  }
}

void TBaseVirtualTree::WriteNode(TStream* Stream, PVirtualNode Node) {
  const int64_t start = BeginTreeChunk(*Stream, UserChunk);
  FireSaveNode(Node, Stream);
  if (Stream->Position() == start + ChunkHeaderSize) {
    // Nothing written: no chunk.
    Stream->Seek(start, TSeekOrigin::soBeginning);
    Stream->SetSize(start);
  } else {
    EndTreeChunk(*Stream, start);
  }
}

void TBaseVirtualTree::FireSaveNode(PVirtualNode Node, TStream* Stream) { FireEvent(OnSaveNode, this, Node, Stream); }

void TBaseVirtualTree::FireLoadNode(PVirtualNode Node, TStream* Stream) {
  FireEvent(OnLoadNode, this, Node == FRoot ? nullptr : Node, Stream);
}

// --- reading ---------------------------------------------------------------------------

bool TBaseVirtualTree::ReadChunk(TStream* Stream, int, PVirtualNode Node, int32_t ChunkType, int32_t) {
  if (ChunkType != UserChunk) return false;
  FireLoadNode(Node, Stream);
  return true;
}

void TBaseVirtualTree::LoadTreeFromStream(TStream* Stream) {
  if (ReadOnly()) return;
  ClearAllNodes();
  const uint16_t version = ReadTreeStreamHeader(*Stream);
  int64_t count = -1;
  if (version == TreeStreamVersion) {
    uint8_t bytes[4];
    if (Stream->Read(bytes, 4) != 4) RaiseTreeStreamError(ErrorStreamShort);
    count = static_cast<int32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24);
  }
  TTreeStreamReader reader(*this, version);
  InBracket([&] {
    InvalidatePositionCache();
    auto repair = [&] {
      RecomputeSubtreeCounts(FRoot);
      RecomputeCounters();
      reader.TakeSelection();
    };
    try {
      ReadTreeRecords(*Stream, version, count, FRoot, reader);
    } catch (...) {
      // What was read stays, counted.
      repair();
      throw;
    }
    repair();
  });
  FireNodeCopied(nullptr);
}

void TBaseVirtualTree::LoadTreeFromFile(const AnsiString& FileName) {
  TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
  LoadTreeFromStream(&stream);
}

TBaseVirtualTree::TStreamSnapshot TBaseVirtualTree::StreamSnapshot(PVirtualNode Node) {
  TStreamSnapshot snapshot;
  snapshot.Count = Node->SubtreeCount;
  snapshot.Height = Node->SubtreeHeight;
  snapshot.Shown = Node->Parent->StateBits.Contains(NS::nsExpanded) && IsEffectivelyVisible(Node);
  snapshot.Visible = NodeCounts(Node) ? VisibleDescendantCount(Node) + 1 : 0;
  return snapshot;
}

void TBaseVirtualTree::RepairAfterRead(PVirtualNode Node, const TStreamSnapshot& Before) {
  PVirtualNode parent = Node->Parent;
  RecomputeSubtreeCounts(Node);
  AdjustSubtreeCount(parent, static_cast<int32_t>(Node->SubtreeCount) - static_cast<int32_t>(Before.Count), true);
  RecomputeSubtreeHeights(Node);
  const bool shown = parent->StateBits.Contains(NS::nsExpanded) && IsEffectivelyVisible(Node);
  const int64_t delta = (shown ? int64_t{Node->SubtreeHeight} : 0) - (Before.Shown ? int64_t{Before.Height} : 0);
  if (delta != 0) AdjustSubtreeHeight(parent, static_cast<int32_t>(delta), true);
  const uint32_t visible = NodeCounts(Node) ? VisibleDescendantCount(Node) + 1 : 0;
  FVisibleCount = FVisibleCount - Before.Visible + visible;
  for (PVirtualNode run = Node; run; run = NextNodeInSubtree(run, Node)) UpdateHiddenChildrenFlag(run);
  UpdateHiddenChildrenFlag(parent);
}

void TBaseVirtualTree::InsertFromStream(TStream* Stream, PVirtualNode Node) {
  MevraAssert(Node && Node != FRoot, "The root node cannot be loaded from stream.");
  const TStreamSnapshot before = StreamSnapshot(Node);
  InvalidatePositionCache();
  TTreeStreamReader reader(*this, TreeStreamVersion);
  try {
    ReadTreeRecord(*Stream, TreeStreamVersion, Node, reader);
  } catch (...) {
    RepairAfterRead(Node, before);
    reader.TakeSelection();
    throw;
  }
  RepairAfterRead(Node, before);
  reader.TakeSelection();
}

void TBaseVirtualTree::SkipNode(TStream* Stream) { SkipTreeRecord(*Stream); }

// --- the string tree's caption chunk ----------------------------------------------------------

void TCustomVirtualStringTree::WriteNode(TStream* Stream, PVirtualNode Node) {
  TBaseVirtualTree::WriteNode(Stream, Node);
  if (Node == RootNode() || !Node->StateBits.Contains(NS::nsInitialized) ||
      !TreeOptions()->StringOptions().Contains(TVTStringOption::toSaveCaptions))
    return;
  const std::wstring text = TextOfCell(Node, Header()->MainColumn());
  if (text.empty()) return;
  const int64_t start = BeginTreeChunk(*Stream, CaptionChunk);
  Stream->WriteBuffer(text.data(), static_cast<int64_t>(text.size() * sizeof(wchar_t)));
  EndTreeChunk(*Stream, start);
}

bool TCustomVirtualStringTree::ReadChunk(TStream* Stream, int Version, PVirtualNode Node, int32_t ChunkType,
                                         int32_t ChunkSize) {
  if (ChunkType != CaptionChunk) return TBaseVirtualTree::ReadChunk(Stream, Version, Node, ChunkType, ChunkSize);
  // The reader has checked that the chunk lies inside the stream.
  std::wstring text(static_cast<size_t>(ChunkSize) / 2, L'\0');
  if (!text.empty()) Stream->ReadBuffer(text.data(), static_cast<int64_t>(text.size() * sizeof(wchar_t)));
  SetTextOfCell(Node, Header()->MainColumn(), text);
  return true;
}
