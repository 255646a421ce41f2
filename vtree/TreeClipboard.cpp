// The tree on the clipboard: copy, cut and paste through the tree's data
// object, "Virtual Tree Data" rendered and inserted, and the registry of live
// trees that a "Virtual Tree Reference" is checked against.
#include "platform/ComStream.h"
#include "vtree/TreeDataObject.h"
#include "vtree/TreeStreamFormat.h"
#include "vtree/VirtualTree.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>

using NS = TVirtualNodeState;
using TS = TVirtualTreeState;
using AM = TVTNodeAttachMode;

namespace {

std::mutex gLiveTreesLock;
std::vector<TBaseVirtualTree*> gLiveTrees;

// Bytes of a locked global block, read only.
class TReadOnlyMemoryStream : public TStream {
public:
  TReadOnlyMemoryStream(const uint8_t* Data, int64_t Size) : FData(Data), FSize(Size) {}
  int32_t Read(void* Buffer, int32_t Count) override {
    const int64_t n = std::clamp<int64_t>(FSize - FPosition, 0, std::max(Count, 0));
    if (n > 0) std::memcpy(Buffer, FData + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return static_cast<int32_t>(n);
  }
  int32_t Write(const void*, int32_t) override { throw EStreamError("Can't write to a read-only resource stream"); }
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override { return FPosition = SeekTarget(FPosition, FSize, Offset, Origin); }
  int64_t Size() override { return FSize; }

private:
  const uint8_t* FData;
  int64_t FSize;
  int64_t FPosition = 0;
};

// Releases a medium (and unlocks its block) on every path.
struct TMediumGuard {
  STGMEDIUM Medium{};
  void* Locked = nullptr;
  ~TMediumGuard() {
    if (Locked) GlobalUnlock(Medium.hGlobal);
    if (Medium.tymed != TYMED_NULL) ReleaseStgMedium(&Medium);
  }
};

}  // namespace

void TBaseVirtualTree::TrackLiveTree(TBaseVirtualTree* Tree, bool Live) {
  std::lock_guard<std::mutex> lock(gLiveTreesLock);
  if (Live) {
    gLiveTrees.push_back(Tree);
  } else {
    gLiveTrees.erase(std::remove(gLiveTrees.begin(), gLiveTrees.end(), Tree), gLiveTrees.end());
  }
}

TBaseVirtualTree* TBaseVirtualTree::LiveTreeAt(uint64_t Address) {
  std::lock_guard<std::mutex> lock(gLiveTreesLock);
  for (TBaseVirtualTree* tree : gLiveTrees)
    if (static_cast<uint64_t>(reinterpret_cast<uintptr_t>(tree)) == Address) return tree;
  return nullptr;
}

// --- formats and rendering ---------------------------------------------------------------------

void TBaseVirtualTree::CollectClipboardFormats(std::vector<FORMATETC>& Formats) {
  Formats.clear();
  if (const TClipboardFormatList* list = ::ClipboardFormats()) {
    std::vector<AnsiString> names;
    for (int i = 0; i < FClipboardFormats->Count(); ++i) names.push_back(FClipboardFormats->Get(i));
    Formats = list->EnumerateFormats(ClassType(), names.empty() ? nullptr : &names);
  }
  FireGetUserClipboardFormats(Formats);
}

void TBaseVirtualTree::FireGetUserClipboardFormats(std::vector<FORMATETC>& Formats) {
  FireEvent(OnGetUserClipboardFormats, this, Formats);
}

HRESULT TBaseVirtualTree::FireRenderOLEData(const FORMATETC& Format, STGMEDIUM& Medium, bool ForClipboard) {
  HRESULT result = E_FAIL;
  FireEvent(OnRenderOLEData, this, Format, Medium, ForClipboard, result);
  return result;
}

HRESULT TBaseVirtualTree::RenderOLEData(const FORMATETC& Format, STGMEDIUM& Medium, bool ForClipboard) {
  return RenderTreeDataFormat(Format, Medium, ForClipboard);
}

HRESULT TBaseVirtualTree::RenderTreeDataFormat(const FORMATETC& Format, STGMEDIUM& Medium, bool ForClipboard) {
  if (Format.cfFormat != VirtualTreeDataFormat() || (Format.tymed & (TYMED_HGLOBAL | TYMED_ISTREAM)) == 0)
    return FireRenderOLEData(Format, Medium, ForClipboard);
  TMemoryStream records;
  for (PVirtualNode node : ForClipboard ? GetSortedCutCopySet(true) : GetSortedSelection(true))
    WriteNodeChunk(&records, node);
  const auto size = static_cast<size_t>(records.Size());
  if (Format.tymed & TYMED_ISTREAM) {
    TComPtr<IStream> stream;
    const HRESULT created = CreateStreamOnHGlobal(nullptr, TRUE, stream.Put());
    if (FAILED(created)) return created;
    ULONG written = 0;
    if (size) stream->Write(records.Memory(), static_cast<ULONG>(size), &written);
    if (written != size) return E_OUTOFMEMORY;
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    Medium.tymed = TYMED_ISTREAM;
    Medium.pstm = stream.Detach();
    Medium.pUnkForRelease = nullptr;
    return S_OK;
  }
  if (size == 0) return E_FAIL;
  HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, size + 4);
  if (!global) return E_OUTOFMEMORY;
  auto bytes = static_cast<uint8_t*>(GlobalLock(global));
  const auto length = static_cast<uint32_t>(size);
  std::memcpy(bytes, &length, 4);
  std::memcpy(bytes + 4, records.Memory(), size);
  GlobalUnlock(global);
  Medium.tymed = TYMED_HGLOBAL;
  Medium.hGlobal = global;
  Medium.pUnkForRelease = nullptr;
  return S_OK;
}

// --- copy, cut, paste ---------------------------------------------------------------------------

void TBaseVirtualTree::MarkSelectedForClipboard() {
  for (PVirtualNode node : GetSortedSelection(false))
    if (!node->StateBits.Contains(NS::nsDisabled)) node->StateBits.Include(NS::nsClipboardMarked);
}

void TBaseVirtualTree::FlushClipboard() {
  if (!FStates.Contains(TS::tsCopyPending) && !FStates.Contains(TS::tsCutPending)) return;
  for (PVirtualNode run = FirstNodeRaw(false); run; run = NextNodeRaw(run)) run->StateBits.Exclude(NS::nsClipboardMarked);
  ChangeStates({}, {TS::tsCopyPending, TS::tsCutPending});
  if (HandleAllocated()) Invalidate();
}

void TBaseVirtualTree::CopySelectionToClipboard() {
  if (SelectedCount() == 0) return;
  TComPtr<IDataObject> data(new TVTDataObject(this, true));
  if (OleSetClipboard(data.Get()) != S_OK) return;
  MarkSelectedForClipboard();
  ChangeStates({TS::tsCopyPending}, {TS::tsCutPending});
  if (HandleAllocated()) Invalidate();
}

void TBaseVirtualTree::CutSelectionToClipboard() {
  if (ReadOnly()) return;
  CopySelectionToClipboard();
  if (FStates.Contains(TS::tsCopyPending)) ChangeStates({TS::tsCutPending}, {TS::tsCopyPending});
}

bool TBaseVirtualTree::PasteClipboardIntoTree() {
  if (ReadOnly()) return false;
  TComPtr<IDataObject> data;
  if (FAILED(OleGetClipboard(data.Put())) || !data)
    throw EVirtualTreeError(ErrorClipboardFailed, "Clipboard operation failed.");
  // The source tree only when the reference names a live tree of this process.
  TBaseVirtualTree* source = nullptr;
  {
    FORMATETC reference{VirtualTreeReferenceFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    TMediumGuard guard;
    if (SUCCEEDED(data->GetData(&reference, &guard.Medium)) && guard.Medium.tymed == TYMED_HGLOBAL) {
      guard.Locked = GlobalLock(guard.Medium.hGlobal);
      TTreeReference ref;
      if (guard.Locked && ReadTreeReferenceBlock(static_cast<const uint8_t*>(guard.Locked), GlobalSize(guard.Medium.hGlobal), ref) &&
          ref.ProcessId == GetCurrentProcessId())
        source = LiveTreeAt(ref.Tree);
    }
  }
  const bool move = source && source->FStates.Contains(TS::tsCutPending);
  const bool result = InsertFromDataObject(source, data.Get(), move, FDefaultPasteMode, FFocusedNode);
  if (source == this) {
    ChangeStates({}, {TS::tsCutPending});
  } else if (source) {
    if (source->FStates.Contains(TS::tsCutPending)) {
      for (PVirtualNode node : source->GetSortedCutCopySet(true)) source->RemoveNode(node);
    }
    source->ChangeStates({}, {TS::tsCutPending});
  }
  return result;
}

bool TBaseVirtualTree::InsertFromDataObject(TBaseVirtualTree* Source, IDataObject* DataObject, bool Move, AM Mode,
                                            PVirtualNode Target) {
  FORMATETC format{VirtualTreeDataFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL | TYMED_ISTREAM};
  if (!DataObject || DataObject->QueryGetData(&format) != S_OK) return false;
  if (ReadOnly() || Mode == AM::amNoWhere) return false;
  if (!Target) Target = FRoot;
  if (Target == FRoot) {
    if (Mode == AM::amInsertBefore) Mode = AM::amAddChildFirst;
    if (Mode == AM::amInsertAfter) Mode = AM::amAddChildLast;
  }
  bool result = false;
  InBracket([&] {
    if (Move && Source) {
      // A drag moves what it carries, a cut what the clipboard marks.
      TNodeArray nodes = Source->FStates.Contains(TS::tsOLEDragging) ? Source->FDragSelection
                                                                        : Source->GetSortedCutCopySet(true);
      // Inserting before, or as last child, keeps the order going forward;
      // the other modes go backward.
      if (Mode != AM::amInsertBefore && Mode != AM::amAddChildLast) std::reverse(nodes.begin(), nodes.end());
      for (PVirtualNode node : nodes)
        if (node != Target && !(Source == this && IsAncestorOf(Target, node))) Source->MoveNodeTo(node, Target, Mode);
      result = true;
      return;
    }
    TMediumGuard guard;
    if (FAILED(DataObject->GetData(&format, &guard.Medium))) return;
    std::unique_ptr<TStream> stream;
    if (guard.Medium.tymed == TYMED_ISTREAM && guard.Medium.pstm) {
      stream = std::make_unique<TOleStream>(guard.Medium.pstm);
    } else if (guard.Medium.tymed == TYMED_HGLOBAL && guard.Medium.hGlobal) {
      guard.Locked = GlobalLock(guard.Medium.hGlobal);
      const auto block = static_cast<const uint8_t*>(guard.Locked);
      // The length must lie inside the block.
      const uint32_t length = CheckTreeDataBlock(block, block ? GlobalSize(guard.Medium.hGlobal) : 0);
      stream = std::make_unique<TReadOnlyMemoryStream>(block + 4, length);
    } else {
      return;
    }
    if (Target != FRoot) InitNode(Target);
    if (Mode == AM::amAddChildFirst || Mode == AM::amAddChildLast) InitChildrenIfNeeded(Target);
    const TChangeReason reason = Source == this ? TChangeReason::crNodeCopied : TChangeReason::crNodeAdded;
    while (stream->Position() < stream->Size()) {
      CheckTreeRecordAnchor(*stream);
      PVirtualNode node = AllocateNodeRecord();
      ConnectNode(node, Target, Mode);
      InsertFromStream(stream.get(), node);
      if (FireNodeCopying(node, Target == FRoot ? nullptr : Target)) {
        FireNodeCopied(node);
        NotifyStructureChange(node, reason);
        // The next node follows this one, so the records keep their order.
        if (Mode == AM::amInsertAfter || Mode == AM::amAddChildFirst) {
          Target = node;
          Mode = AM::amInsertAfter;
        }
      } else {
        RemoveNode(node);
      }
    }
    result = true;
  });
  return result;
}

bool TBaseVirtualTree::HandleClipboardMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_COPY:
      CopySelectionToClipboard();
      return true;
    case WM_CUT:
      CutSelectionToClipboard();
      return true;
    case WM_PASTE:
      PasteClipboardIntoTree();
      return true;
    default:
      return false;
  }
}
