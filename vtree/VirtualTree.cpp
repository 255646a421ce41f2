// Construction, node storage and its counters, properties and the change
// reports of the tree.
#include "vtree/VirtualTree.h"

#include "vtree/DragImage.h"
#include "vtree/NodeWalk.h"
#include "vtree/TreeHintWindow.h"
#include "vtree/TreeGlobals.h"
#include "vtree/TreeAccessibility.h"
#include "vtree/TreeDragManager.h"
#include "vtree/WorkerThread.h"

#include "foundation/UxTheme.h"
#include "platform/CallbackGuard.h"
#include "platform/Filer.h"
#include "platform/ImageList.h"
#include "platform/Menus.h"

#include <climits>
#include <commctrl.h>
#include <windowsx.h>
#include <cstdlib>
#include <cstring>
#include <new>

const TClassInfo TBaseVirtualTree::ClassInfo{"TBaseVirtualTree", &TVirtualTreeBase::ClassInfo,
                                             [](TObject* owner) -> TObject* {
                                               return new TBaseVirtualTree(static_cast<TComponent*>(owner));
                                             }};

namespace {
using NS = TVirtualNodeState;
using TS = TVirtualTreeState;
}  // namespace

TBaseVirtualTree* TreeFromNode(PVirtualNode Node) {
  MevraAssert(Node != nullptr, "Node must not be nil.");
  while (Node->NextSibling != Node) Node = Node->Parent;
  return reinterpret_cast<TBaseVirtualTree*>(Node->Parent);
}

TBaseVirtualTree::TBaseVirtualTree(TComponent* AOwner) : TBaseVirtualTree(AOwner, &TCustomVirtualTreeOptions::ClassInfo) {}

TBaseVirtualTree::TBaseVirtualTree(TComponent* AOwner, TClass AOptionsClass, TClass AHeaderClass)
    : TVirtualTreeBase(AOwner) {
  InitializeTreeGlobals();
  TrackLiveTree(this, true);
  FControlStyle = {csCaptureMouse, csOpaque, csReplicatable, csDisplayDragImage, csReflector, csDoubleClicks};
  FWidth = 200;
  FHeight = 100;
  SetTabStop(true);
  SetParentColor(false);
  FBorderStyle = bsSingle;
  FScrollBarOptions = new TScrollBarOptions(this);
  FClipboardFormats = new TClipboardFormats(this);
  FOptions = static_cast<TCustomVirtualTreeOptions*>(CreateObject(AOptionsClass, this));
  FHeader = static_cast<TVTHeader*>(CreateObject(AHeaderClass, this));
  FColors = new TVTColors(this);
  FBackground = new TPicture();
  FBackground->OnChange = TNotifyEvent::Lambda([this](TObject*) {
    if (!FDestroying && HandleAllocated()) Invalidate();
  });
  FImageChangeLink = new TChangeLink();
  FImageChangeLink->OnChange = TNotifyEvent::Lambda([this](TObject*) {
    if (!FDestroying) Invalidate();
  });
  FStateChangeLink = new TChangeLink();
  FStateChangeLink->OnChange = FImageChangeLink->OnChange;
  AllocateRoot();
  AddTreeReference(this);
}

TBaseVirtualTree::~TBaseVirtualTree() {
  TrackLiveTree(this, false);
  // A data object of this tree on the clipboard would render nothing more.
  if (FStates.Contains(TS::tsCopyPending) || FStates.Contains(TS::tsCutPending)) {
    FStates.Include(TS::tsClipboardFlushing);
    OleSetClipboard(nullptr);
  }
  ReleaseAllNodes();  // a plain delete skips BeforeDestruction
  // The window's messages read the header and the options: it goes first.
  if (HandleAllocated()) DestroyHandle();
  FDragManager.Clear();
  delete FNodeDragImage;
  FNodeDragImage = nullptr;
  FAccessibleItem.Clear();
  FAccessibleObject.Clear();
  delete FClipboardFormats;
  FClipboardFormats = nullptr;
  delete FImageChangeLink;
  delete FStateChangeLink;
  delete FScrollBarOptions;
  FScrollBarOptions = nullptr;
  delete FHeader;
  delete FColors;
  delete FBackground;
  delete FOptions;
  std::free(FRoot);
}

void TBaseVirtualTree::BeforeDestruction() {
  TVirtualTreeBase::BeforeDestruction();
  ReleaseAllNodes();
}

// The tree is going: no report is made any more, and read-only cannot keep
// the nodes (and their OnFreeNode) alive. Nothing may leave a destructor: a
// failing handler is reported to the application instead.
void TBaseVirtualTree::ReleaseAllNodes() {
  if (FDestroying) return;
  FDestroying = true;
  // The worker lets go of this tree before any node goes.
  ReleaseTreeReference(this);
  try {
    // A running edit ends without a word: its node is about to go.
    if (FEditLink) {
      TComPtr<IVTEditLink> link = FEditLink;
      FEditLink.Clear();
      FStates.Exclude(TS::tsEditing);
      link->AbortEditing();
    }
    FOptions->SetMiscOptions(FOptions->MiscOptions() - TVTMiscOption::toReadOnly);
    ClearAllNodes();
  } catch (...) {
    HandleCallbackException(this);
  }
}

TClass TBaseVirtualTree::OptionsClass() const { return &TCustomVirtualTreeOptions::ClassInfo; }
TClass TBaseVirtualTree::ColumnItemClass() const { return &TVirtualTreeColumn::ClassInfo; }
TClass TBaseVirtualTree::HeaderClass() const { return &TVTHeader::ClassInfo; }

// --- node storage ---------------------------------------------------------

void TBaseVirtualTree::AllocateRoot() {
  const size_t size = NodeHeaderSize + FInternalDataSize;
  void* block = std::calloc(1, size);
  if (!block) throw std::bad_alloc();
  FRoot = static_cast<PVirtualNode>(block);
  FRoot->Parent = reinterpret_cast<PVirtualNode>(this);
  FRoot->PreviousSibling = FRoot->NextSibling = FRoot;
  FRoot->StateBits.Bits = 0x00E1;  // initialised, expanded, has children, visible
  FRoot->SubtreeCount = 1;
  FRoot->NodeHeight = static_cast<uint16_t>(FDefaultNodeHeight);
  FRoot->SubtreeHeight = FRoot->NodeHeight;
  FRoot->VerticalAlign = 50;
}

// Data areas are found by 32-bit offsets, so a whole block stays below 2 GiB;
// checked in 64 bits, so no sum can wrap on the 32-bit program.
void TBaseVirtualTree::CheckNodeLayout(int64_t InternalDataSize, int64_t NodeDataSize) {
  const int64_t total = NodeHeaderSize + InternalDataSize + (NodeDataSize > 0 ? NodeDataSize : 0);
  if (total > INT32_MAX)
    throw EVirtualTreeError(ErrorNodeLayout, "Node data does not fit in a node: " + std::to_string(InternalDataSize) +
                                                 " bytes of internal and " + std::to_string(NodeDataSize) +
                                                 " bytes of user data.");
}

void TBaseVirtualTree::EnsureNodeDataSize() {
  if (FNodeDataSize != -1) return;
  int32_t size = 0;
  FireGetNodeDataSize(size);
  // A negative answer would make blocks smaller than their header.
  if (size < 0) size = 0;
  CheckNodeLayout(FInternalDataSize, size);
  FNodeDataSize = size;
}

PVirtualNode TBaseVirtualTree::AllocateNodeRecord() {
  EnsureNodeDataSize();
  const size_t size = static_cast<size_t>(NodeHeaderSize) + FInternalDataSize + FNodeDataSize;
  FAllocator.SetBlockSize(size);
  auto node = static_cast<PVirtualNode>(FAllocator.Allocate());
  node->SubtreeCount = 1;
  node->NodeHeight = static_cast<uint16_t>(FDefaultNodeHeight);
  node->SubtreeHeight = node->NodeHeight;
  node->StateBits.Include(NS::nsVisible);
  node->VerticalAlign = 50;
  return node;
}

void* TBaseVirtualTree::NodeUserData(PVirtualNode Node) {
  MevraAssert(FNodeDataSize > 0, "NodeDataSize not initialized.");
  if (!Node || Node == FRoot) return nullptr;
  // Whoever asks for the area may store something that needs freeing, so the
  // node's OnFreeNode becomes due even if it is never initialised.
  Node->StateBits.Include(NS::nsFreeNotifyRequired);
  return reinterpret_cast<unsigned char*>(Node) + NodeHeaderSize + FInternalDataSize;
}

int32_t TBaseVirtualTree::ReserveInternalData(int32_t Size) {
  MevraAssert(FRoot->FirstChild == nullptr && FAllocator.LiveBlocks() == 0,
              "Internal data allocation must be done before any node is created.");
  const int32_t offset = NodeHeaderSize + FInternalDataSize;
  // A negative count would shrink the area under nodes' feet: it reserves nothing.
  const int64_t rounded = Size > 0 ? (int64_t{Size} + 3) & ~int64_t{3} : 0;
  CheckNodeLayout(FInternalDataSize + rounded, FNodeDataSize);
  const int32_t added = static_cast<int32_t>(rounded);
  const uint32_t children = FRoot->ChildCount;
  void* block = std::realloc(FRoot, static_cast<size_t>(offset) + added);
  if (!block) throw std::bad_alloc();
  FRoot = static_cast<PVirtualNode>(block);
  FRoot->PreviousSibling = FRoot->NextSibling = FRoot;  // the links point at the old block
  FRoot->ChildCount = children;
  std::memset(reinterpret_cast<unsigned char*>(FRoot) + offset, 0, added);
  FInternalDataSize += added;
  return offset;
}

void TBaseVirtualTree::SetNodeDataSize(int32_t Value) {
  if (Value < -1) Value = -1;
  if (Value == FNodeDataSize) return;
  CheckNodeLayout(FInternalDataSize, Value);
  FNodeDataSize = Value;
  // Blocks of the old size cannot stay: their data area would not match
  // what NodeUserData hands out. A loading tree normally has none yet.
  if (FAllocator.LiveBlocks() == 0) return;
  const uint32_t count = FRoot->FirstChild ? FRoot->ChildCount : 0;
  Removing([&] {
    InBracket([&] {
      FLastChangedNode = nullptr;
      DoRemoveChildNodes(FRoot, true);
      if (IsLoading()) {
        // Loaded creates them anew, as it does for a count read from the form.
        FRoot->ChildCount = count;
        ChangeStates({TS::tsNeedRootCountUpdate}, {});
      } else {
        DoSetNodeChildCount(FRoot, count);
      }
    });
  });
}

void TBaseVirtualTree::SetRootNodeCount(uint32_t Value) {
  if (IsLoading() && !FRoot->FirstChild) {
    // Loaded creates the nodes once the whole form has been read.
    FRoot->ChildCount = Value;
    ChangeStates({TS::tsNeedRootCountUpdate}, {});
    return;
  }
  if (Value == FRoot->ChildCount) return;
  Removing([&] {
    InBracket([&] {
      InvalidatePositionCache();
      SetNodeChildCount(FRoot, Value);
    });
  });
}

void TBaseVirtualTree::Loaded() {
  TVirtualTreeBase::Loaded();
  TVirtualTreeColumns* columns = FHeader->Columns();
  // The main column read from the form names one of the columns read.
  FHeader->ClampMainColumn();
  if (columns->FNeedPositionsFix) columns->FixPositions();
  if (FOptions->AutoOptions().Contains(TVTAutoOption::toAutoBidiColumnOrdering))
    columns->ResetDisplayOrder(UseRightToLeftAlignment());
  FHeader->UpdateTreeFrame();
  if (FHeader->Options().Contains(TVTHeaderOption::hoAutoResize)) columns->FitAutoSizeColumn(true);
  if (!FStates.Contains(TS::tsNeedRootCountUpdate)) return;
  ChangeStates({}, {TS::tsNeedRootCountUpdate});
  if (FRoot->FirstChild) return;
  const uint32_t count = FRoot->ChildCount;
  FRoot->ChildCount = 0;
  if (count == 0) return;
  InBracket([&] { DoSetNodeChildCount(FRoot, count); });  // regardless of toReadOnly
}

uint32_t TBaseVirtualTree::NodeHeightOf(PVirtualNode Node) const {
  return !Node || Node == FRoot ? 0 : Node->NodeHeight;
}

// A running build reads the heights: it is stopped first, as for every change.
void TBaseVirtualTree::SetNodeHeight(PVirtualNode Node, uint32_t Value) {
  if (!Node || Node == FRoot || ReadOnly()) return;
  if (Value > 0xFFFF) Value = 0xFFFF;
  if (Value == Node->NodeHeight) return;
  InvalidatePositionCache();
  const int32_t delta = static_cast<int32_t>(Value) - Node->NodeHeight;
  Node->NodeHeight = static_cast<uint16_t>(Value);
  AdjustSubtreeHeight(Node, delta, true);
  if (FUpdateCount == 0 && IsFullyVisible(Node) && IsEffectivelyVisible(Node)) {
    RequestCacheValidation();
    InvalidateToBottom(Node);
    UpdateRanges();
    UpdateScrollBars(true);
  }
}

void TBaseVirtualTree::SetDefaultNodeHeight(uint32_t Value) {
  if (Value == 0) Value = 18;
  if (Value > 0xFFFF) Value = 0xFFFF;
  if (Value == FDefaultNodeHeight) return;
  const int32_t delta = static_cast<int32_t>(Value) - static_cast<int32_t>(FDefaultNodeHeight);
  FDefaultNodeHeight = Value;
  ChangeStates({TS::tsNeedScale}, {});
  FRoot->NodeHeight = static_cast<uint16_t>(FRoot->NodeHeight + delta);
  FRoot->SubtreeHeight += delta;
  InvalidatePositionCache();
  if (HandleAllocated() && FUpdateCount == 0 && !IsLoading()) {
    RequestCacheValidation();
    UpdateRanges();
    UpdateScrollBars(true);
    ScrollNodeIntoView(FFocusedNode, FOptions->SelectionOptions().Contains(TVTSelectionOption::toCenterScrollIntoView));
    Invalidate();
  }
}

void TBaseVirtualTree::SetCheckImageKind(TCheckImageKind Value) {
  if (FCheckImageKind == Value) return;
  FCheckImageKind = Value;
  if (HandleAllocated() && FUpdateCount == 0 && !IsLoading()) InvalidateRect(Handle(), nullptr, FALSE);
}

TCustomImageList* TBaseVirtualTree::CheckImages() const { return CheckImageList(FCheckImageKind); }

void TBaseVirtualTree::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  if (!IsLoading()) Invalidate();
}

void TBaseVirtualTree::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages) {
    FImages->UnRegisterChanges(FImageChangeLink);
    FImages->RemoveFreeNotification(this);
  }
  FImages = Value;
  if (FImages) {
    FImages->RegisterChanges(FImageChangeLink);
    FImages->FreeNotification(this);
  }
  if (!IsLoading()) Invalidate();
}

void TBaseVirtualTree::SetStateImages(TCustomImageList* Value) {
  if (FStateImages == Value) return;
  if (FStateImages) {
    FStateImages->UnRegisterChanges(FStateChangeLink);
    FStateImages->RemoveFreeNotification(this);
  }
  FStateImages = Value;
  if (FStateImages) {
    FStateImages->RegisterChanges(FStateChangeLink);
    FStateImages->FreeNotification(this);
  }
  if (!IsLoading() && HandleAllocated()) Invalidate();
}

void TBaseVirtualTree::Notification(TComponent* Component, TOperation Operation) {
  TVirtualTreeBase::Notification(Component, Operation);
  if (Operation != TOperation::opRemove) return;
  if (Component == FImages) FImages = nullptr;
  if (Component == FStateImages) FStateImages = nullptr;
  if (FHeader && Component == FHeader->Images()) FHeader->ImagesFreed();
  if (FHeader && Component == FHeader->PopupMenu()) FHeader->PopupMenuFreed();
}

// The columns travel in forms as the collection "Columns", read with the
// header in its loading state.
void TBaseVirtualTree::DefineProperties(TFiler* Filer) {
  TVirtualTreeBase::DefineProperties(Filer);
  TVirtualTreeColumns* columns = FHeader->Columns();
  bool hasData = FHeader->StoresColumns();
  if (hasData) {
    auto* ancestor = ObjectAs<TBaseVirtualTree>(Filer->Ancestor());
    hasData = ancestor ? !columns->SameAs(ancestor->Header()->Columns()) : columns->Count() > 0;
  }
  Filer->DefineProperty(
      "Columns",
      TReaderProc::Lambda([this, columns](TReader* Reader) {
        // Loading already: clearing keeps the header's column indexes read before.
        FHeader->BeginLoading();
        try {
          columns->ClearColumns();
          Reader->ReadCollection(columns);
        } catch (...) {
          FHeader->EndLoading();
          throw;
        }
        FHeader->EndLoading();
      }),
      TWriterProc::Lambda([columns](TWriter* Writer) { Writer->WriteCollection(columns); }), hasData);
  // Forms of earlier versions hold one option set; it is read, never written.
  Filer->DefineProperty("Options", TReaderProc::Lambda([this](TReader* Reader) { ReadLegacyOptions(Reader); }),
                        TWriterProc{}, false);
}

void TBaseVirtualTree::AfterColumnResize(TColumnIndex Column) {
  if (IsLoading() || !HandleAllocated()) return;
  for (PVirtualNode run = FirstNodeRaw(false); run; run = NextNodeRaw(run, false))
    if (run->StateBits.Contains(NS::nsMultiline)) run->StateBits.Exclude(NS::nsHeightMeasured);
  UpdateRanges();
  UpdateHorizontalScrollBar(false);
  TVirtualTreeColumns* columns = FHeader->Columns();
  if (columns->IsColumnIndex(Column) && !FOptions->AutoOptions().Contains(TVTAutoOption::toAutoSpanColumns)) {
    int32_t left, right;
    columns->ColumnExtent(Column, left, right);
    const RECT r = UseRightToLeftAlignment() ? RECT{0, 0, right, ClientHeight()} : RECT{left, 0, ClientWidth(), ClientHeight()};
    InvalidateRect(Handle(), &r, FALSE);
  } else {
    Invalidate();
  }
  FHeader->InvalidateHeader();
  if (!FHeader->States().Contains(THeaderState::hdsResizing)) FireEvent(OnColumnResize, FHeader, Column);
  if (IsEditing()) PlaceEditor();
}

void TBaseVirtualTree::FireHeaderClick(TVTHeaderHitInfo& HitInfo) { FireEvent(OnHeaderClick, FHeader, HitInfo); }

bool TBaseVirtualTree::FireHeaderDragging(TColumnIndex Column) {
  bool allowed = true;
  FireEvent(OnHeaderDragging, FHeader, Column, allowed);
  return allowed;
}

void TBaseVirtualTree::FireHeaderDragged(TColumnIndex Column, TColumnPosition OldPosition) {
  FireEvent(OnHeaderDragged, FHeader, Column, OldPosition);
}

void TBaseVirtualTree::FireHeaderDraggedOut(TColumnIndex Column, POINT DropPosition) {
  FireEvent(OnHeaderDraggedOut, FHeader, Column, DropPosition);
}

void TBaseVirtualTree::FireHeaderDblClick(TVTHeaderHitInfo& HitInfo) { FireEvent(OnHeaderDblClick, FHeader, HitInfo); }

void TBaseVirtualTree::FireBeforeAutoFitColumns(TSmartAutoFitType& SmartAutoFitType) {
  FireEvent(OnBeforeAutoFitColumns, FHeader, SmartAutoFitType);
}

void TBaseVirtualTree::FireAfterAutoFitColumns() { FireEvent(OnAfterAutoFitColumns, FHeader); }

// --- the window --------------------------------------------------------------------------------

void TBaseVirtualTree::Dispatch(TMessage& Message) {
  // The header sees every message first.
  if (FHeader->HandleHeaderMessage(Message)) return;
  if (DispatchPaintMessage(Message)) return;
  if (HandleClipboardMessage(Message)) return;
  if (HandleInputMessage(Message)) return;
  switch (Message.Msg) {
    case WM_TIMER:
      if (Message.WParam == 5 || Message.WParam == 6) {
        DelayTimerExpired(static_cast<int>(Message.WParam));
        return;
      }
      break;
    case CM_DRAG:
      HandleDragMessage(Message);
      return;
    case WM_GETOBJECT: {
      bool handled = false;
      const LRESULT result = HandleGetObject(Message.WParam, Message.LParam, handled);
      if (handled) {
        Message.Result = result;
        return;
      }
      break;
    }
    case TVM_GETNEXTITEM:
    case TVM_GETITEMRECT:
    case TVM_GETITEMA:
      Message.Result = TreeViewQuery(Message.Msg, Message.WParam, Message.LParam);
      return;
    case WM_ERASEBKGND:
      // Painting covers every pixel of the client area.
      Message.Result = 1;
      return;
    case WM_TREEVALIDATED:
      ChangeValidationStates(Message.WParam, Message.LParam);
      Message.Result = 0;
      return;
    case WM_NCDESTROY:
      UpdateDropRegistration(false);
      // The worker reports through this window: it lets go first.
      StopCacheValidation();
      StopDelayTimer(5);
      StopDelayTimer(6);
      FDottedBrush.Reset();
      // A hint animating for this tree stops at its next frame.
      if (FStates.Contains(TVirtualTreeState::tsInAnimation)) SetHintWindowDestroyed(true);
      break;
    case WM_NCCALCSIZE:
      HandleNCCalcSize(Message);
      return;
    case WM_NCHITTEST: {
      TVirtualTreeBase::Dispatch(Message);
      POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
      RECT window;
      GetWindowRect(Handle(), &window);
      p.x -= window.left;
      p.y -= window.top;
      const RECT header = ComputeHeaderRect();
      if (FHeader->Options().Contains(TVTHeaderOption::hoVisible) && PtInRect(&header, p)) Message.Result = HTBORDER;
      return;
    }
    case WM_PRINT:
      PaintHeader(reinterpret_cast<HDC>(Message.WParam), (Message.LParam & PRF_CHECKVISIBLE) != 0);
      break;
    case WM_SIZE:
      HandleSize(Message);
      return;
    case WM_VSCROLL:
    case WM_HSCROLL:
      HandleScroll(Message.Msg == WM_VSCROLL, LOWORD(Message.WParam));
      Message.Result = 0;
      return;
    case CM_MOUSEWHEEL:
      HandleWheel(Message);
      return;
    case 0xB7D0:
      Message.Result = 1;
      return;
    case WM_ENABLE:
      TVirtualTreeBase::Dispatch(Message);
      RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOERASE | RDW_NOCHILDREN);
      return;
    case WM_THEMECHANGED: {
      TVirtualTreeBase::Dispatch(Message);
      const bool themed = FOptions->PaintOptions().Contains(TVTPaintOption::toThemeAware) && IsThemeLibraryBound() &&
                          UxIsThemeActive();
      if (themed) ChangeStates({TS::tsUseThemes}, {});
      else ChangeStates({}, {TS::tsUseThemes});
      FButtonsValid = false;
      RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_NOCHILDREN);
      return;
    }
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
      TVirtualTreeBase::Dispatch(Message);
      if (Message.Msg == CM_FONTCHANGED && FHeader->ParentFont()) FHeader->Font()->Assign(Font());
      if (!IsLoading()) {
        FButtonsValid = false;
        if (HandleAllocated()) Invalidate();
      }
      return;
    case CM_SYSCOLORCHANGE:
      ReloadMappedImages();
      TVirtualTreeBase::Dispatch(Message);
      return;
    case CM_CTL3DCHANGED:
      TVirtualTreeBase::Dispatch(Message);
      if (BorderStyle() == bsSingle && HandleAllocated()) RecreateWnd();
      return;
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
      if (!Focused() && CanFocus()) SetFocus();
      break;
  }
  TVirtualTreeBase::Dispatch(Message);
}

void TBaseVirtualTree::SetAnimationDuration(uint32_t Value) {
  FAnimationDuration = Value;
  TVTAnimationOptions options = FOptions->AnimationOptions();
  if (Value == 0) options.Exclude(TVTAnimationOption::toAnimatedToggle);
  else options.Include(TVTAnimationOption::toAnimatedToggle);
  FOptions->SetAnimationOptions(options);
}

void TBaseVirtualTree::Assign(TPersistent* Source) {
  auto* other = ObjectAs<TBaseVirtualTree>(Source);
  if (!other) return TVirtualTreeBase::Assign(Source);
  if (ReadOnly()) return;
  SetAlign(other->Align());
  SetAnchors(other->Anchors());
  SetAutoScrollDelay(other->AutoScrollDelay());
  SetAutoScrollInterval(other->AutoScrollInterval());
  SetBiDiMode(other->BiDiMode());
  SetChangeDelay(other->ChangeDelay());
  SetColor(other->Color());
  SetDefaultNodeHeight(other->DefaultNodeHeight());
  SetDefaultPasteMode(other->DefaultPasteMode());
  SetDragCursor(other->DragCursor());
  SetDragImageKind(other->DragImageKind());
  SetDragMode(other->DragMode());
  SetEnabled(other->Enabled());
  SetFont(other->Font());
  SetHeader(other->Header());
  SetHintAnimation(other->HintAnimation());
  SetHintMode(other->HintMode());
  SetHotCursor(other->HotCursor());
  SetImages(other->Images());
  SetIndent(other->Indent());
  SetMargin(other->Margin());
  SetNodeAlignment(other->NodeAlignment());
  SetNodeDataSize(other->NodeDataSize());
  SetTreeOptions(other->TreeOptions());
  SetParentColor(other->ParentColor());
  SetParentFont(other->ParentFont());
  SetParentShowHint(other->ParentShowHint());
  SetPopupMenu(other->PopupMenu());
  // The options just taken may make this tree read-only; the top-level count
  // is copied all the same, or a read-only source would give an empty copy.
  const uint32_t count = other->RootNodeCount();
  if (IsLoading() || !ReadOnly()) {
    SetRootNodeCount(count);
  } else if (count != RootNodeCount()) {
    Removing([&] { InBracket([&] { DoSetNodeChildCount(FRoot, count); }); });
  }
  SetShowHint(other->ShowHint());
  SetStateImages(other->StateImages());
  SetTabStop(other->TabStop());
  SetVisible(other->Visible());
  SetSelectionCurveRadius(other->SelectionCurveRadius());
  SetSelectionBlendFactor(other->SelectionBlendFactor());
}

// --- counters ---------------------------------------------------------------

bool TBaseVirtualTree::IsEffectivelyVisible(PVirtualNode Node) const {
  const uint16_t bits = Node->StateBits.Bits;
  if (!(bits & TVirtualNodeStates::Mask(NS::nsVisible))) return false;
  return !(bits & TVirtualNodeStates::Mask(NS::nsFiltered)) || ShowHiddenNodes();
}

bool TBaseVirtualTree::NodeCounts(PVirtualNode Node) const {
  if (Node == FRoot) return true;
  if (!IsEffectivelyVisible(Node)) return false;
  for (PVirtualNode parent = Node->Parent; parent != FRoot; parent = parent->Parent)
    if (!parent->StateBits.Contains(NS::nsExpanded) || !IsEffectivelyVisible(parent)) return false;
  return true;
}

void TBaseVirtualTree::AdjustSubtreeCount(PVirtualNode Node, int32_t Delta, bool Relative) {
  if (!Relative) Delta -= static_cast<int32_t>(Node->SubtreeCount);
  if (Delta == 0) return;
  for (;;) {
    Node->SubtreeCount += Delta;
    if (Node == FRoot) break;
    Node = Node->Parent;
  }
}

// The node's own subtree height always follows; the change travels upward only
// while it is part of what the parent shows. A hidden node thus keeps its own
// height current, and showing it later adds the right amount.
void TBaseVirtualTree::AdjustSubtreeHeight(PVirtualNode Node, int32_t Delta, bool Relative) {
  if (!Relative) Delta -= static_cast<int32_t>(Node->SubtreeHeight);
  if (Delta == 0) return;
  for (;;) {
    Node->SubtreeHeight += Delta;
    if (Node == FRoot || !IsEffectivelyVisible(Node)) break;
    Node = Node->Parent;
    if (!Node->StateBits.Contains(NS::nsExpanded)) break;
  }
}


void TBaseVirtualTree::RecomputeSubtreeCounts(PVirtualNode Node) {
  PostOrder(Node, false, [](PVirtualNode run) {
    uint32_t count = 1;
    for (PVirtualNode child = run->FirstChild; child; child = child->NextSibling) count += child->SubtreeCount;
    run->SubtreeCount = count;
  });
}

void TBaseVirtualTree::RecomputeSubtreeHeights(PVirtualNode Node) {
  PostOrder(Node, false, [this](PVirtualNode run) {
    uint32_t height = run->NodeHeight;
    if (run->StateBits.Contains(NS::nsExpanded))
      for (PVirtualNode child = run->FirstChild; child; child = child->NextSibling)
        if (IsEffectivelyVisible(child)) height += child->SubtreeHeight;
    run->SubtreeHeight = height;
  });
}

uint32_t TBaseVirtualTree::VisibleDescendantCount(PVirtualNode Node) const {
  if (!Node->StateBits.Contains(NS::nsExpanded)) return 0;
  uint32_t count = 0;
  PVirtualNode run = Node->FirstChild;
  while (run) {
    if (IsEffectivelyVisible(run)) {
      ++count;
      if (run->FirstChild && run->StateBits.Contains(NS::nsExpanded)) {
        run = run->FirstChild;
        continue;
      }
    }
    while (run != Node && !run->NextSibling) run = run->Parent;
    if (run == Node) break;
    run = run->NextSibling;
  }
  return count;
}

void TBaseVirtualTree::RecomputeCounters() {
  InvalidatePositionCache();
  RecomputeSubtreeHeights(FRoot);
  FVisibleCount = VisibleDescendantCount(FRoot);
  UpdateAllHiddenChildrenFlags();
}

void TBaseVirtualTree::OptionsChanged() {
  InBracket([this] { RecomputeCounters(); });
}

void TBaseVirtualTree::UpdateHiddenChildrenFlag(PVirtualNode Node) {
  if (!Node || Node == FRoot) return;
  bool hidden;
  if (Node->ChildCount == 0 || !Node->FirstChild) {
    hidden = !Node->StateBits.Contains(NS::nsHasChildren);
  } else {
    hidden = true;
    for (PVirtualNode child = Node->FirstChild; child && hidden; child = child->NextSibling)
      if (IsEffectivelyVisible(child)) hidden = false;
  }
  Node->StateBits.Set(NS::nsAllChildrenHidden, hidden);
}

void TBaseVirtualTree::UpdateAllHiddenChildrenFlags() {
  for (PVirtualNode run = FRoot->FirstChild; run; run = NextNodeRaw(run)) UpdateHiddenChildrenFlag(run);
}

int32_t TBaseVirtualTree::LevelDistance(PVirtualNode Node1, PVirtualNode Node2) const {
  MevraAssert(Node1 && Node2, "Both nodes must be Assigned.");
  return static_cast<int32_t>(NodeLevel(Node2)) - static_cast<int32_t>(NodeLevel(Node1));
}

// Expanding, showing and filtering change which rows exist below a node; the
// counters change by exactly what the node's subtree shows.
void TBaseVirtualTree::ChangeNodeExpanded(PVirtualNode Node, bool Expanded) {
  if (!Node || Node == FRoot || Node->StateBits.Contains(NS::nsExpanded) == Expanded) return;
  InvalidatePositionCache();
  const bool counts = NodeCounts(Node);
  if (Expanded) {
    Node->StateBits.Include(NS::nsExpanded);
    uint32_t added = 0;
    for (PVirtualNode child = Node->FirstChild; child; child = child->NextSibling)
      if (IsEffectivelyVisible(child)) added += child->SubtreeHeight;
    AdjustSubtreeHeight(Node, static_cast<int32_t>(added), true);
    if (counts) FVisibleCount += VisibleDescendantCount(Node);
  } else {
    if (counts) FVisibleCount -= VisibleDescendantCount(Node);
    Node->StateBits.Exclude(NS::nsExpanded);
    AdjustSubtreeHeight(Node, Node->NodeHeight, false);
  }
}

void TBaseVirtualTree::ChangeVisibility(PVirtualNode Node, TVirtualNodeState State, bool On) {
  if (!Node || Node == FRoot || Node->StateBits.Contains(State) == On) return;
  InvalidatePositionCache();
  const bool was = IsEffectivelyVisible(Node);
  const uint32_t before = NodeCounts(Node) ? VisibleDescendantCount(Node) + 1 : 0;
  Node->StateBits.Set(State, On);
  if (IsEffectivelyVisible(Node) == was) return;
  PVirtualNode parent = Node->Parent;
  if (parent->StateBits.Contains(NS::nsExpanded)) {
    const int32_t height = static_cast<int32_t>(Node->SubtreeHeight);
    AdjustSubtreeHeight(parent, was ? -height : height, true);
  }
  if (was) FVisibleCount -= before;
  else if (NodeCounts(Node)) FVisibleCount += VisibleDescendantCount(Node) + 1;
  if (FUpdateCount > 0) ChangeStates({TS::tsUpdateHiddenChildrenNeeded}, {});
  else UpdateHiddenChildrenFlag(parent);
  FinishChange(parent);
}

void TBaseVirtualTree::ChangeNodeVisible(PVirtualNode Node, bool Visible) {
  ChangeVisibility(Node, NS::nsVisible, Visible);
}

void TBaseVirtualTree::ChangeNodeFiltered(PVirtualNode Node, bool Filtered) {
  ChangeVisibility(Node, NS::nsFiltered, Filtered);
}

// --- brackets and reports ------------------------------------------------------

void TBaseVirtualTree::BeginTreeUpdate() {
  if (!FDestroying) FireUpdating(FUpdateCount > 0 ? TVTUpdateState::usUpdate : TVTUpdateState::usBegin);
  if (FUpdateCount == 0 && !FDestroying && HandleAllocated() && IsWindowVisible(Handle())) {
    SendMessageA(Handle(), WM_SETREDRAW, FALSE, 0);
    FRedrawStopped = true;
  }
  ++FUpdateCount;
  ChangeStates({TS::tsUpdating}, {});
}

void TBaseVirtualTree::EndTreeUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  if (FDestroying) return;
  if (FUpdateCount == 0 && FStates.Contains(TS::tsUpdating)) {
    if (FStates.Contains(TS::tsUpdateHiddenChildrenNeeded)) {
      UpdateAllHiddenChildrenFlags();
      ChangeStates({}, {TS::tsUpdateHiddenChildrenNeeded});
    }
    // Sorting opens a bracket of its own: run it while this one still counts,
    // or closing that bracket would sort again, and again.
    if (FOptions->AutoOptions().Contains(TVTAutoOption::toAutoSort)) {
      ++FUpdateCount;
      try {
        SortWholeTree(AutoSortColumn(), AutoSortDirection(), true);
      } catch (...) {
        --FUpdateCount;
        ChangeStates({}, {TS::tsUpdating});
        throw;
      }
      --FUpdateCount;
    }
    ChangeStates({}, {TS::tsUpdating});
    PackSelection();
    InvalidatePositionCache();
    RequestCacheValidation();
    UpdateRanges();
    if (HandleAllocated()) UpdateScrollBars(false);
    if (FRedrawStopped) {
      FRedrawStopped = false;
      if (HandleAllocated()) SendMessageA(Handle(), WM_SETREDRAW, TRUE, 0);
    }
    if (HandleAllocated()) Invalidate();
    if (FStates.Contains(TS::tsStructureChangePending)) FireStructureChange(FPendingStructureNode, FPendingStructureReason);
    if (FStates.Contains(TS::tsChangePending)) FireChange(FLastChangedNode);
  }
  FireUpdating(FUpdateCount == 0 ? TVTUpdateState::usEnd : TVTUpdateState::usUpdate);
}

void TBaseVirtualTree::ChangeStates(const TVirtualTreeStates& Enter, const TVirtualTreeStates& Leave) {
  const TVirtualTreeStates next = (FStates + Enter) - Leave;
  if (next == FStates) return;
  if (OnStateChange) {
    TVirtualTreeStates enter = Enter, leave = Leave;
    OnStateChange(this, enter, leave);
  }
  FStates = (FStates + Enter) - Leave;
}

void TBaseVirtualTree::RecordPendingChange(bool Structure, PVirtualNode Node, TChangeReason Reason) {
  if (Structure) {
    if (FStates.Contains(TS::tsStructureChangePending)) StopDelayTimer(6);
    else ChangeStates({TS::tsStructureChangePending}, {});
    FPendingStructureNode = Node;
    if (FPendingStructureReason == TChangeReason::crIgnore) FPendingStructureReason = Reason;
    else if (Reason != TChangeReason::crIgnore) FPendingStructureReason = TChangeReason::crAccumulated;
  } else {
    if (FStates.Contains(TS::tsChangePending)) StopDelayTimer(5);
    else ChangeStates({TS::tsChangePending}, {});
    FLastChangedNode = Node;
  }
}

void TBaseVirtualTree::NotifyStructureChange(PVirtualNode Node, TChangeReason Reason) {
  RecordPendingChange(true, Node, Reason);
  if (FUpdateCount > 0) return;
  if (FChangeDelay == 0 || FStates.Contains(TS::tsSynchMode)) FireStructureChange(Node, Reason);
  else if (!StartDelayTimer(6, FChangeDelay)) FireStructureChange(FPendingStructureNode, FPendingStructureReason);
}

void TBaseVirtualTree::NotifyChange(PVirtualNode Node) {
  RecordPendingChange(false, Node, TChangeReason::crIgnore);
  if (FUpdateCount > 0) return;
  if (FChangeDelay == 0 || FStates.Contains(TS::tsSynchMode)) FireChange(Node);
  else if (!StartDelayTimer(5, FChangeDelay)) FireChange(FLastChangedNode);
}

// The pending record is cleared before the handler runs, so that changes the
// handler itself makes are reported rather than swallowed.
void TBaseVirtualTree::FireStructureChange(PVirtualNode Node, TChangeReason Reason) {
  StopDelayTimer(6);
  FPendingStructureNode = nullptr;
  FPendingStructureReason = TChangeReason::crIgnore;
  ChangeStates({}, {TS::tsStructureChangePending});
  FireEvent(OnStructureChange, this, Node, Reason);
}

void TBaseVirtualTree::FireChange(PVirtualNode Node) {
  StopDelayTimer(5);
  FLastChangedNode = nullptr;
  ChangeStates({}, {TS::tsChangePending});
  FireEvent(OnChange, this, Node);
}

void TBaseVirtualTree::DelayTimerExpired(int TimerId) {
  if (TimerId == 5 && FStates.Contains(TS::tsChangePending)) FireChange(FLastChangedNode);
  if (TimerId == 6 && FStates.Contains(TS::tsStructureChangePending))
    FireStructureChange(FPendingStructureNode, FPendingStructureReason);
}

// Without a window there is no timer: the caller reports at once.
bool TBaseVirtualTree::StartDelayTimer(int TimerId, uint32_t Interval) {
  if (!HandleAllocated()) return false;
  return SetTimer(Handle(), static_cast<UINT_PTR>(TimerId), Interval, nullptr) != 0;
}

void TBaseVirtualTree::StopDelayTimer(int TimerId) {
  if (HandleAllocated()) KillTimer(Handle(), static_cast<UINT_PTR>(TimerId));
}

void TBaseVirtualTree::BeginOperation() {
  if (FOperationCount++ == 0) FOperationCanceled = false;
}

void TBaseVirtualTree::EndOperation() {
  MevraAssert(FOperationCount > 0, "EndOperation must not be called when no operation in progress.");
  --FOperationCount;
}

// --- event dispatch: each supplies the default verdict when unassigned ---------

void TBaseVirtualTree::FireUpdating(TVTUpdateState State) { FireEvent(OnUpdating, this, State); }

void TBaseVirtualTree::FireGetNodeDataSize(int32_t& Size) { FireEvent(OnGetNodeDataSize, this, Size); }

int32_t TBaseVirtualTree::FireCompareNodes(PVirtualNode Node1, PVirtualNode Node2, TColumnIndex Column) {
  int32_t result = 0;
  FireEvent(OnCompareNodes, this, Node1, Node2, Column, result);
  return result;
}

void TBaseVirtualTree::FireInitChildren(PVirtualNode Node, uint32_t& ChildCount) {
  FireEvent(OnInitChildren, this, Node, ChildCount);
}

void TBaseVirtualTree::FireInitNode(PVirtualNode Parent, PVirtualNode Node, TVirtualNodeInitStates& InitStates) {
  FireEvent(OnInitNode, this, Parent, Node, InitStates);
}

bool TBaseVirtualTree::FireNodeCopying(PVirtualNode Node, PVirtualNode Target) {
  bool allowed = true;
  FireEvent(OnNodeCopying, this, Node, Target, allowed);
  return allowed;
}

void TBaseVirtualTree::FireNodeCopied(PVirtualNode Node) { FireEvent(OnNodeCopied, this, Node); }

bool TBaseVirtualTree::FireNodeMoving(PVirtualNode Node, PVirtualNode Target) {
  bool allowed = true;
  FireEvent(OnNodeMoving, this, Node, Target, allowed);
  return allowed;
}

void TBaseVirtualTree::FireNodeMoved(PVirtualNode Node) { FireEvent(OnNodeMoved, this, Node); }

void TBaseVirtualTree::FireResetNode(PVirtualNode Node) { FireEvent(OnResetNode, this, Node); }

void TBaseVirtualTree::InitNodeState(PVirtualNode Node) {
  TVirtualNodeInitStates states;
  const TVirtualNodeStates& bits = Node->StateBits;
  if (bits.Contains(NS::nsDisabled)) states.Include(TVirtualNodeInitState::ivsDisabled);
  if (bits.Contains(NS::nsExpanded)) states.Include(TVirtualNodeInitState::ivsExpanded);
  if (bits.Contains(NS::nsHasChildren)) states.Include(TVirtualNodeInitState::ivsHasChildren);
  if (bits.Contains(NS::nsMultiline)) states.Include(TVirtualNodeInitState::ivsMultiline);
  if (bits.Contains(NS::nsSelected)) states.Include(TVirtualNodeInitState::ivsSelected);
  Node->StateBits.Include(NS::nsInitialized);
  FireInitNode(Node->Parent == FRoot ? nullptr : Node->Parent, Node, states);
  Node->StateBits.Set(NS::nsDisabled, states.Contains(TVirtualNodeInitState::ivsDisabled));
  Node->StateBits.Set(NS::nsHasChildren, states.Contains(TVirtualNodeInitState::ivsHasChildren) || Node->FirstChild);
  Node->StateBits.Set(NS::nsMultiline, states.Contains(TVirtualNodeInitState::ivsMultiline));
  const bool select = states.Contains(TVirtualNodeInitState::ivsSelected);
  if (select && !Node->StateBits.Contains(NS::nsSelected)) {
    PVirtualNode nodes[1] = {Node};
    InternalAddToSelection(nodes, 1, false);
  } else if (!select && Node->StateBits.Contains(NS::nsSelected)) {
    RemoveNodeFromSelection(Node);
  }
  const bool expand = states.Contains(TVirtualNodeInitState::ivsExpanded);
  if (expand != Node->StateBits.Contains(NS::nsExpanded)) {
    if (expand) InitChildrenIfNeeded(Node);
    ChangeNodeExpanded(Node, expand);
  }
}

void TBaseVirtualTree::InitNodeChildren(PVirtualNode Node) {
  uint32_t count = Node->ChildCount;
  FireInitChildren(Node == FRoot ? nullptr : Node, count);
  if (count == 0) {
    DoRemoveChildNodes(Node, true);
    Node->StateBits.Exclude(NS::nsHasChildren);
  } else {
    DoSetNodeChildCount(Node, count);
  }
}

// The block is freed even when the handler raises; the error follows.
void TBaseVirtualTree::ReleaseNode(PVirtualNode Node) {
  if (FLastChangedNode == Node) FLastChangedNode = nullptr;
  if (FPendingStructureNode == Node) FPendingStructureNode = nullptr;
  // A drag keeps no pointer to a node that is gone (a target may move the
  // dragged nodes into another tree, which frees them here).
  if (!FDragSelection.empty()) std::erase(FDragSelection, Node);
  if (FDropTargetNode == Node) FDropTargetNode = nullptr;
  if (FVCLDropTarget == Node) FVCLDropTarget = nullptr;
  std::exception_ptr error;
  if (Node->StateBits.Contains(NS::nsInitialized) || Node->StateBits.Contains(NS::nsFreeNotifyRequired)) {
    try {
      FireEvent(OnFreeNode, this, Node);
    } catch (...) {
      error = std::current_exception();
    }
  }
  FAllocator.Free(Node);
  if (error) std::rethrow_exception(error);
}

void TBaseVirtualTree::ReleaseUnlinked(PVirtualNode Node) {
  auto keep = [this] {
    if (!FReleaseError) FReleaseError = std::current_exception();
  };
  try {
    ForgetNode(Node);
  } catch (...) {
    keep();
  }
  try {
    ReleaseNode(Node);
  } catch (...) {
    keep();
  }
  if (FRemovalDepth == 0 && FReleaseError) RaiseReleaseError();
}

void TBaseVirtualTree::RaiseReleaseError() {
  std::exception_ptr error = FReleaseError;
  FReleaseError = nullptr;
  std::rethrow_exception(error);
}
