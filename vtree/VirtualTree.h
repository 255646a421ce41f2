// The virtual tree: a tree control that allocates its nodes itself and asks
// its owner for their contents through events. Node storage, structure
// operations, navigation, expansion, the position cache, selection, focus,
// check states, the header and its columns all work without a window; the
// window adds timers, painting and input.
#pragma once

#include "platform/Control.h"
#include "platform/Event.h"
#include "platform/Graphics.h"
#include "platform/Picture.h"
#include "platform/StdCtrls.h"
#include "platform/StringList.h"
#include "vtree/ClipboardFormats.h"
#include "vtree/EditLink.h"
#include "vtree/NodeAllocator.h"
#include "vtree/TreeColors.h"
#include "vtree/TreeGlobals.h"
#include "vtree/VirtualNode.h"
#include "vtree/VirtualTreeHeader.h"
#include "vtree/VirtualTreeOptions.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <vector>

class TBaseVirtualTree;
class TCustomImageList;
class TChangeLink;
class TStream;
class TTreeStreamReader;
class TVTDragManager;
class TVTDragImage;
struct IDataObject;
struct IAccessible;

// The one place naming the tree's base class.
using TVirtualTreeBase = TCustomControl;

// The timers of the tree's window.
constexpr UINT_PTR ExpandTimer = 1;     // a drag rests over a collapsed node
constexpr UINT_PTR EditTimer = 2;       // a click's edit waits for EditDelay
constexpr UINT_PTR HeaderTimer = 3;     // the header's hover
constexpr UINT_PTR ScrollTimer = 4;     // scrolling at the edges and panning
constexpr UINT_PTR SearchTimer = 7;     // the incremental search's pause

using TNodeArray = std::vector<PVirtualNode>;

// One frame of an animation: the step number (the distance covered so far),
// the step size (0 for the closing call) and the caller's data; answering
// false ends the animation.
using TVTAnimationCallback = std::function<bool(uint32_t Step, uint32_t StepSize, void* Data)>;

// What a tree's hint is about, handed to its hint window as the hint data.
struct TVTHintData {
  TBaseVirtualTree* OwnerTree = nullptr;
  PVirtualNode TargetNode = nullptr;  // nil: the control as a whole
  TColumnIndex TargetColumn = -1;
  RECT Area{};
  std::wstring PresetText;  // shown unchanged when not empty
  std::wstring ShownText;   // filled while measuring
  TBiDiMode ReadingMode = TBiDiMode::bdLeftToRight;
  TAlignment TextAlignment = TAlignment::taLeftJustify;
  TVTTooltipLineBreakStyle BreakStyle = TVTTooltipLineBreakStyle::hlbDefault;
};

// Paces animations: the time in milliseconds and the wait between frames.
// The tree's own pacer reads the system time and waits busily; a test hands
// in a pacer whose time moves only when it is asked to wait.
class TVTAnimationPacer {
public:
  virtual ~TVTAnimationPacer() = default;
  virtual uint32_t Now() = 0;
  // Returns once Interval milliseconds have passed since Start.
  virtual void WaitFrom(uint32_t Start, uint32_t Interval) = 0;
};

// One entry of the position cache: a visible node and the pixel distance of
// its top from the top of the first visible node.
struct TCacheEntry {
  PVirtualNode Node;
  uint32_t AbsoluteTop;
};
using TCache = std::vector<TCacheEntry>;
// Every 2000th visible node has an entry; smaller trees have no cache.
constexpr uint32_t CacheThreshold = 2000;

// What ApplyScrollOffset updates besides the offsets.
enum class TScrollUpdateOption { suoRepaintHeader, suoRepaintScrollBars, suoScrollClientArea, suoUpdateNCArea };
using TScrollUpdateOptions = TSet<TScrollUpdateOption, 8>;

enum class TVTImageKind { ikNormal, ikSelected, ikState, ikOverlay };
enum class TVTCellPaintMode { cpmPaint, cpmGetContentMargin };
enum class TVTCellContentMarginType { ccmtAllSides, ccmtTopLeftOnly, ccmtBottomRightOnly };

using TVTInitNodeEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode ParentNode, PVirtualNode Node,
                                     TVirtualNodeInitStates& InitialStates)>;
using TVTInitChildrenEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, uint32_t& ChildCount)>;
using TVTFreeNodeEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node)>;
using TVTChangeEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node)>;
using TVTStructureChangeEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, TChangeReason Reason)>;
using TVTUpdatingEvent = TEvent<void(TBaseVirtualTree* Sender, TVTUpdateState State)>;
using TVTStateChangeEvent = TEvent<void(TBaseVirtualTree* Sender, TVirtualTreeStates& Enter, TVirtualTreeStates& Leave)>;
using TVTGetNodeDataSizeEvent = TEvent<void(TBaseVirtualTree* Sender, int32_t& NodeDataSize)>;
using TVTCompareEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node1, PVirtualNode Node2,
                                    TColumnIndex Column, int32_t& Result)>;
using TVTNodeMovingEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, PVirtualNode Target, bool& Allowed)>;
using TVTNodeMovedEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node)>;
using TVTNodeCopyingEvent = TVTNodeMovingEvent;
using TVTNodeCopiedEvent = TVTNodeMovedEvent;
using TVTChangingEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, bool& Allowed)>;
using TVTScrollEvent = TEvent<void(TBaseVirtualTree* Sender, int DeltaX, int DeltaY)>;
using TVTFocusChangingEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode OldNode, PVirtualNode NewNode,
                                          TColumnIndex OldColumn, TColumnIndex NewColumn, bool& Allowed)>;
using TVTFocusChangeEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column)>;
using TVTCheckChangingEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, TCheckState& NewState, bool& Allowed)>;
using TVTGetImageEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, TVTImageKind Kind, TColumnIndex Column,
                                     bool& Ghosted, int32_t& ImageIndex)>;
using TVTGetImageExEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, TVTImageKind Kind, TColumnIndex Column,
                                       bool& Ghosted, int32_t& ImageIndex, TCustomImageList*& ImageList)>;
using TVTBeforeCellPaintEvent = TEvent<void(TBaseVirtualTree* Sender, TCanvas* TargetCanvas, PVirtualNode Node,
                                            TColumnIndex Column, TVTCellPaintMode CellPaintMode, RECT CellRect,
                                            RECT& ContentRect)>;
using TVTMeasureItemEvent = TEvent<void(TBaseVirtualTree* Sender, TCanvas* TargetCanvas, PVirtualNode Node, int32_t& NodeHeight)>;
using TVTHotNodeChangeEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode OldNode, PVirtualNode NewNode)>;
using TVTPaintEvent = TEvent<void(TBaseVirtualTree* Sender, TCanvas* TargetCanvas)>;
using TVTBeforeItemPaintEvent = TEvent<void(TBaseVirtualTree* Sender, TCanvas* TargetCanvas, PVirtualNode Node, RECT ItemRect,
                                            bool& CustomDraw)>;
using TVTBeforeItemEraseEvent = TEvent<void(TBaseVirtualTree* Sender, TCanvas* TargetCanvas, PVirtualNode Node, RECT ItemRect,
                                            TColor& ItemColor, TItemEraseAction& EraseAction)>;
using TVTAfterItemEraseEvent = TEvent<void(TBaseVirtualTree* Sender, TCanvas* TargetCanvas, PVirtualNode Node, RECT ItemRect)>;
using TVTAfterItemPaintEvent = TVTAfterItemEraseEvent;
using TVTAfterCellPaintEvent = TEvent<void(TBaseVirtualTree* Sender, TCanvas* TargetCanvas, PVirtualNode Node,
                                           TColumnIndex Column, RECT CellRect)>;
using TVTBackgroundPaintEvent = TEvent<void(TBaseVirtualTree* Sender, TCanvas* TargetCanvas, RECT R, bool& Handled)>;
// Bits points to eight 16-bit rows of the line pattern.
using TVTGetLineStyleEvent = TEvent<void(TBaseVirtualTree* Sender, const void*& Bits)>;
using TVTPopupEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column, POINT P,
                                  bool& AskParent, TPopupMenu*& PopupMenu)>;
// Header events: the header is the sender.
// In-place editing: OnEditing may refuse an edit, OnCreateEditor supplies the editor.
using TVTEditChangingEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column, bool& Allowed)>;
using TVTEditChangeEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column)>;
using TVTEditCancelEvent = TEvent<void(TBaseVirtualTree* Sender, TColumnIndex Column)>;
using TVTCreateEditorEvent =
    TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column, IVTEditLink*& EditLink)>;
using TVTGetCellIsEmptyEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column, bool& IsEmpty)>;
// Result 0 means Node matches SearchText.
using TVTIncrementalSearchEvent =
    TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, const std::wstring& SearchText, int32_t& Result)>;
// Every key press, before the tree acts on it: the handler may change the
// key and the shift state or keep the tree from acting.
using TVTKeyActionEvent = TEvent<void(TBaseVirtualTree* Sender, WORD& CharCode, TShiftState& Shift, bool& DoDefault)>;
using TVTColumnClickEvent = TEvent<void(TBaseVirtualTree* Sender, TColumnIndex Column, TShiftState Shift)>;
// F1 on a node: a non-zero HelpContext opens the application's help for it.
using TVTHelpContextEvent =
    TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column, int& HelpContext)>;
// The cursor the tree shows (a cursor of the program's screen).
using TVTGetCursorEvent = TEvent<void(TBaseVirtualTree* Sender, TCursor& Cursor)>;
using TVTGetHeaderCursorEvent = TEvent<void(TVTHeader* Sender, HCURSOR& Cursor)>;
// Whether a press on a node may start a drag (DragMode dmManual).
using TVTDragAllowedEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column, bool& Allowed)>;
// A node's height dragged by its lower edge: TrackPoint is the cell's
// top-left, P the mouse (client co-ordinates).
using TVTNodeHeightTrackingEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column,
                                               TShiftState Shift, POINT& TrackPoint, POINT P, bool& Allowed)>;
using TVTNodeHeightDblClickResizeEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, TColumnIndex Column,
                                                     TShiftState Shift, POINT P, bool& Allowed)>;
using TVTHeaderMouseEvent =
    TEvent<void(TVTHeader* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TVTHeaderMouseMoveEvent = TEvent<void(TVTHeader* Sender, TShiftState Shift, int X, int Y)>;
// Whether the column's splitter at P (header co-ordinates) may resize it.
using TVTCanSplitterResizeColumnEvent =
    TEvent<void(TVTHeader* Sender, POINT P, TColumnIndex Column, bool& Allowed)>;
// The text an image of a cell stands for (read by accessibility tools).
using TVTGetImageTextEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, TVTImageKind Kind,
                                         TColumnIndex Column, std::wstring& ImageText)>;
using TVTHeaderClickEvent = TEvent<void(TVTHeader* Sender, TVTHeaderHitInfo& HitInfo)>;
// Column dragging in the header: whether a column may go, where it went,
// and a drop outside the tree's window.
using TVTHeaderDraggingEvent = TEvent<void(TVTHeader* Sender, TColumnIndex Column, bool& Allowed)>;
using TVTHeaderDraggedEvent = TEvent<void(TVTHeader* Sender, TColumnIndex Column, TColumnPosition OldPosition)>;
using TVTHeaderDraggedOutEvent = TEvent<void(TVTHeader* Sender, TColumnIndex Column, POINT DropPosition)>;
using TVTHeaderNotifyEvent = TEvent<void(TVTHeader* Sender, TColumnIndex Column)>;
using TVTBeforeAutoFitColumnEvent = TEvent<void(TVTHeader* Sender, TColumnIndex Column, TSmartAutoFitType& SmartAutoFitType,
                                                bool& Allowed)>;
using TVTBeforeAutoFitColumnsEvent = TEvent<void(TVTHeader* Sender, TSmartAutoFitType& SmartAutoFitType)>;
using TVTAfterAutoFitColumnsEvent = TEvent<void(TVTHeader* Sender)>;
using TVTBeforeColumnWidthTrackingEvent = TEvent<void(TVTHeader* Sender, TColumnIndex Column, TShiftState Shift)>;
using TVTColumnWidthTrackingEvent = TEvent<void(TVTHeader* Sender, TColumnIndex Column, TShiftState Shift,
                                                POINT& TrackPoint, POINT P, bool& Allowed)>;
using TVTColumnWidthDblClickResizeEvent = TEvent<void(TVTHeader* Sender, TColumnIndex Column, TShiftState Shift, POINT P,
                                                      bool& Allowed)>;
using TVTBeforeHeaderHeightTrackingEvent = TEvent<void(TVTHeader* Sender, TShiftState Shift)>;
using TVTAfterHeaderHeightTrackingEvent = TEvent<void(TVTHeader* Sender)>;
using TVTHeaderHeightTrackingEvent = TEvent<void(TVTHeader* Sender, POINT& P, TShiftState Shift, bool& Allowed)>;
using TVTBeforeGetMaxColumnWidthEvent = TEvent<void(TVTHeader* Sender, TColumnIndex Column, bool& UseSmartColumnWidth)>;
using TVTAfterGetMaxColumnWidthEvent = TEvent<void(TVTHeader* Sender, TColumnIndex Column, int32_t& MaxWidth)>;

enum class TScrollBarStyle { sbmRegular, sbmFlat, sbm3D };
enum class TVTScrollBarKind { sbHorizontal, sbVertical };

// Which scroll bars the tree shows and by how much a line scrolls.
class TScrollBarOptions : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TScrollBarOptions(TBaseVirtualTree* AOwner) : FOwner(AOwner) {}
  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  bool AlwaysVisible() const { return FAlwaysVisible; }
  void SetAlwaysVisible(bool Value);
  int32_t HorizontalIncrement() const { return FIncrementX; }
  void SetHorizontalIncrement(int32_t Value) { FIncrementX = std::clamp(Value, 1, 10000); }
  int32_t VerticalIncrement() const { return FIncrementY; }
  void SetVerticalIncrement(int32_t Value) { FIncrementY = std::clamp(Value, 1, 10000); }
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  TScrollBarStyle ScrollBarStyle() const { return FScrollBarStyle; }
  void SetScrollBarStyle(TScrollBarStyle Value) { FScrollBarStyle = Value; }
  bool Shows(TVTScrollBarKind Bar) const {
    return FScrollBars == TScrollStyle::ssBoth ||
           FScrollBars == (Bar == TVTScrollBarKind::sbVertical ? TScrollStyle::ssVertical : TScrollStyle::ssHorizontal);
  }

private:
  TBaseVirtualTree* FOwner;
  bool FAlwaysVisible = false;
  int32_t FIncrementX = 20;
  int32_t FIncrementY = 20;
  TScrollStyle FScrollBars = TScrollStyle::ssBoth;
  TScrollBarStyle FScrollBarStyle = TScrollBarStyle::sbmRegular;
};

// The names of the clipboard formats a tree offers: sorted, no duplicates,
// and only names registered for the tree's class or one of its ancestors.
class TClipboardFormats : public TStringList {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TClipboardFormats(TBaseVirtualTree* AOwner);
  // -1 (and nothing added) for a name no format of the tree is registered under.
  int Add(const AnsiString& S) override;
  void Insert(int Index, const AnsiString& S) override;
  TBaseVirtualTree* Owner() const { return FOwner; }

private:
  bool Registered(const AnsiString& S) const;
  TBaseVirtualTree* FOwner;
};

using TVTScrollBarShowEvent = TEvent<void(TBaseVirtualTree* Sender, int Bar, bool Show)>;
using TVTHeaderPaintEvent = TEvent<void(TVTHeader* Sender, TCanvas* HeaderCanvas, TVirtualTreeColumn* Column, RECT R,
                                        bool Hover, bool Pressed, TVTDropMarkMode DropMark)>;
using TVTHeaderPaintQueryElementsEvent =
    TEvent<void(TVTHeader* Sender, THeaderPaintInfo& PaintInfo, THeaderPaintElements& Elements)>;
using TVTAdvancedHeaderPaintEvent =
    TEvent<void(TVTHeader* Sender, THeaderPaintInfo& PaintInfo, const THeaderPaintElements& Elements)>;

// The application's data of a node in the tree stream: written into and
// read from a chunk of its own.
using TVTSaveNodeEvent = TEvent<void(TBaseVirtualTree* Sender, PVirtualNode Node, TStream* Stream)>;
// A format of the tree's data objects that the application renders (Result
// E_FAIL by default) and the formats it adds to them.
using TVTRenderOLEDataEvent = TEvent<void(TBaseVirtualTree* Sender, const FORMATETC& FormatEtcIn, STGMEDIUM& Medium,
                                          bool ForClipboard, HRESULT& Result)>;
using TVTGetUserClipboardFormatsEvent = TEvent<void(TBaseVirtualTree* Sender, std::vector<FORMATETC>& Formats)>;

// Drag and drop onto a tree. Source: the source tree or control (nil for
// other programs); Pt in client co-ordinates; Effect the DROPEFFECT bits.
using TFormatArray = std::vector<CLIPFORMAT>;
using TVTDragOverEvent = TEvent<void(TBaseVirtualTree* Sender, TObject* Source, TShiftState Shift, TDragState State,
                                     POINT Pt, TVTDropMode Mode, DWORD& Effect, bool& Accept)>;
// DataObject is nil and Formats empty for a drag of the class library.
using TVTDragDropEvent = TEvent<void(TBaseVirtualTree* Sender, TObject* Source, IDataObject* DataObject,
                                     const TFormatArray& Formats, TShiftState Shift, POINT Pt, DWORD& Effect,
                                     TVTDropMode Mode)>;
// The application's own drag manager or drag data object (left nil: the tree's).
using TVTCreateDragManagerEvent = TEvent<void(TBaseVirtualTree* Sender, TComPtr<TVTDragManager>& DragManager)>;
using TVTCreateDataObjectEvent = TEvent<void(TBaseVirtualTree* Sender, TComPtr<IDataObject>& DataObject)>;

// The owning tree of a node: the parent of the one node (the hidden root)
// whose sibling links point to itself.
TBaseVirtualTree* TreeFromNode(PVirtualNode Node);

class TBaseVirtualTree : public TVirtualTreeBase {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TBaseVirtualTree(TComponent* AOwner = nullptr);
  ~TBaseVirtualTree() override;

  void Assign(TPersistent* Source) override;
  // Frees the nodes while the whole object still exists, so overrides of the
  // release operations run for every node.
  void BeforeDestruction() override;

  // --- node storage --------------------------------------------------------
  PVirtualNode RootNode() const { return FRoot; }
  // Address of the node's application data; nil for nil, the root or while
  // NodeDataSize is not positive (asserted). Handing the area out makes the
  // node's OnFreeNode due, so data written into it is always released.
  void* NodeUserData(PVirtualNode Node);
  template <class T>
  T* NodeData(PVirtualNode Node) { return static_cast<T*>(NodeUserData(Node)); }
  int32_t NodeDataSize() const { return FNodeDataSize; }
  void SetNodeDataSize(int32_t Value);
  int32_t InternalDataSize() const { return FInternalDataSize; }
  uint32_t RootNodeCount() const { return FRoot->ChildCount; }
  void SetRootNodeCount(uint32_t Value);
  uint32_t ChildCount(PVirtualNode Node) const { return Node ? Node->ChildCount : FRoot->ChildCount; }
  void SetChildCount(PVirtualNode Node, uint32_t NewCount) { SetNodeChildCount(Node, NewCount); }
  void SetNodeChildCount(PVirtualNode Node, uint32_t NewCount);
  // Fully and effectively visible nodes, the root excluded.
  uint32_t VisibleNodeCount() const { return FVisibleCount; }
  // Every node of the tree, the root excluded.
  uint32_t TotalCount() const { return FRoot->SubtreeCount - 1; }
  // Bytes the node blocks of this tree take (what the allocator holds).
  size_t NodeMemory() const { return FAllocator.ReservedBytes(); }
  // Node blocks in use: one per node, the root excluded.
  size_t NodeBlockCount() const { return FAllocator.LiveBlocks(); }
  uint32_t NodeHeightOf(PVirtualNode Node) const;
  void SetNodeHeight(PVirtualNode Node, uint32_t Value);

  // --- structure -----------------------------------------------------------
  virtual void BeginTreeUpdate();
  virtual void EndTreeUpdate();
  void BeginUpdate() { BeginTreeUpdate(); }
  void EndUpdate() { EndTreeUpdate(); }
  int32_t UpdateCount() const { return FUpdateCount; }
  // A new last child of Parent (nil: the root). A non-zero UserData goes into
  // the first 4 bytes of the node's data and makes its OnFreeNode due.
  virtual PVirtualNode AppendChildNode(PVirtualNode Parent, uint32_t UserData = 0);
  // A new node placed relative to Node as Mode says (nil Node: the root).
  PVirtualNode InsertNode(PVirtualNode Node, TVTNodeAttachMode Mode, uint32_t UserData = 0);
  void RemoveNode(PVirtualNode Node, bool Reindex = true);
  void RemoveChildNodes(PVirtualNode Node, bool ResetHasChildren = true);
  virtual void ClearAllNodes();
  void MoveNodeTo(PVirtualNode Source, PVirtualNode Target, TVTNodeAttachMode Mode, bool ChildrenOnly = false);
  // Copies a node (with its subtree), or only its children, of this tree to a
  // place in this or another tree; answers the (first) copy or nil.
  PVirtualNode CopyNodeTo(PVirtualNode Source, PVirtualNode Target, TVTNodeAttachMode Mode, bool ChildrenOnly = false);
  virtual void SortChildren(PVirtualNode Node, TColumnIndex Column, TSortDirection Direction, bool DoInit = true);
  virtual void SortWholeTree(TColumnIndex Column, TSortDirection Direction, bool DoInit = true);
  void ReinitializeNode(PVirtualNode Node, bool Recursive);
  void ReinitializeChildren(PVirtualNode Node, bool Recursive);
  void ResetNodeState(PVirtualNode Node);
  void InitializeSubtree(PVirtualNode Node, bool Recursive);
  // Initialises Node (nil: the root) and answers whether it has children.
  bool HasChildren(PVirtualNode Node);
  // Removes the selected nodes (descendants of a selected node go with it).
  virtual void RemoveSelectedNodes();
  // Sorts the whole tree as the header's sort column and direction say.
  void SortTree(TColumnIndex Column, TSortDirection Direction, bool DoInit = true) {
    SortWholeTree(Column, Direction, DoInit);
  }

  // --- expansion and scrolling ------------------------------------------------
  bool Expanded(PVirtualNode Node) const { return Node && Node->StateBits.Contains(TVirtualNodeState::nsExpanded); }
  // Expands or collapses through the toggle, with its events and scrolling.
  void SetExpanded(PVirtualNode Node, bool Value);
  virtual void ToggleNodeExpansion(PVirtualNode Node);
  // Runs Callback over Distance pixels in Duration milliseconds (nothing
  // while another animation runs or for a duration of 0), then once more
  // with step and size 0; leaves tsInAnimation and tsCancelHintAnimation.
  virtual void RunAnimation(uint32_t Distance, uint32_t Duration, const TVTAnimationCallback& Callback, void* Data);
  // nil puts the system's pacer back; the tree does not own the pacer.
  void SetAnimationPacer(TVTAnimationPacer* Value) { FAnimationPacer = Value; }
  // Expands every node of Node's subtree (nil: the whole tree), creating
  // children on the way; collapsing takes only what exists.
  virtual void ExpandAllNodes(PVirtualNode Node = nullptr);
  virtual void CollapseAllNodes(PVirtualNode Node = nullptr);
  // Opens the node's collapsed ancestors and scrolls its row (and with
  // Horizontally the focused column) into the client area; answers whether
  // the view moved.
  bool ScrollNodeIntoView(PVirtualNode Node, bool Center, bool Horizontally = false);
  // The content is drawn shifted by these (0 or negative) pixels.
  int32_t OffsetX() const { return FOffsetX; }
  int32_t OffsetY() const { return FOffsetY; }
  // The horizontal position as a scroll bar shows it (never negative).
  int32_t EffectiveOffsetX() const { return FEffectiveOffsetX; }
  void SetOffsetX(int32_t Value);
  void SetOffsetY(int32_t Value);
  void SetOffsetXY(POINT Value, const TScrollUpdateOptions& Options = AllScrollUpdates);
  // The content's width and height in pixels.
  int32_t RangeX() const { return FRangeX; }
  int32_t RangeY() const { return FRangeY; }
  static inline const TScrollUpdateOptions AllScrollUpdates{
      TScrollUpdateOption::suoRepaintHeader, TScrollUpdateOption::suoRepaintScrollBars,
      TScrollUpdateOption::suoScrollClientArea, TScrollUpdateOption::suoUpdateNCArea};

  // --- selection and focus ---------------------------------------------------------
  bool Selected(PVirtualNode Node) const { return Node && Node->StateBits.Contains(TVirtualNodeState::nsSelected); }
  void SetSelected(PVirtualNode Node, bool Value);
  uint32_t SelectedCount() const { return FSelectionCount; }
  // The selected nodes by ascending address (entries marked for removal
  // inside an update bracket included until it closes).
  const TNodeArray& SelectionArray() const { return FSelection; }
  void ClearAllSelection();
  void SelectAllNodes(bool VisibleOnly);
  // The selected nodes in tree order; with Resolve, nodes below a selected
  // node are left out.
  TNodeArray GetSortedSelection(bool Resolve);
  // The same over the nodes marked for a pending cut or copy.
  TNodeArray GetSortedCutCopySet(bool Resolve);
  PVirtualNode FocusedNode() const { return FFocusedNode; }
  void SetFocusedNode(PVirtualNode Value);
  TColumnIndex FocusedColumn() const { return FFocusedColumn; }
  void SetFocusedColumn(TColumnIndex Value);
  PVirtualNode RangeAnchor() const { return FRangeAnchor; }
  int32_t LastSelectionLevel() const { return FLastSelectionLevel; }
  bool SelectionLocked() const { return FSelectionLocked; }
  void SetSelectionLocked(bool Value) { FSelectionLocked = Value; }

  // --- check states -------------------------------------------------------------------
  TCheckState CheckState(PVirtualNode Node) const { return Node ? Node->CheckState : TCheckState::csUncheckedNormal; }
  // Asks OnChecking and applies the state with its propagation.
  void SetCheckState(PVirtualNode Node, TCheckState Value);
  TCheckType CheckType(PVirtualNode Node) const { return Node ? Node->CheckType : TCheckType::ctNone; }
  void SetCheckType(PVirtualNode Node, TCheckType Value);
  virtual TCheckState NextCheckState(TCheckType Type, TCheckState State) const;
  // A press on a node's check box by the mouse or the space key: shows the
  // pressed state when OnChecking allows the next state. Answers whether the
  // press took.
  bool PressCheckBox(PVirtualNode Node, bool Keyboard);
  // Ends a press: Apply takes the pending state, otherwise the previous one
  // comes back.
  void ReleaseCheckBox(bool Apply);
  PVirtualNode PendingCheckNode() const { return FPendingCheckNode; }
  // Which shared check images the tree draws (the system's by default).
  TCheckImageKind CheckImageKind() const { return FCheckImageKind; }
  void SetCheckImageKind(TCheckImageKind Value);
  // The check images in use (null for ckCustom until custom images exist).
  TCustomImageList* CheckImages() const;

  // --- header and columns --------------------------------------------------------------
  TVTHeader* Header() const { return FHeader; }
  void SetHeader(TVTHeader* Value) { FHeader->Assign(Value); }
  // The header rectangle in window co-ordinates.
  virtual RECT HeaderRect();
  // The widest content of a column over the visible nodes (only those on
  // screen with UseSmartColumnWidth).
  int32_t GetMaxColumnWidth(TColumnIndex Column, bool UseSmartColumnWidth = false);
  // Alignment of the node content where no column gives one.
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  // How far right-to-left content is shifted.
  virtual int32_t RightToLeftOffset(bool Adjust = false);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  TCustomImageList* StateImages() const { return FStateImages; }
  void SetStateImages(TCustomImageList* Value);

  // State changes without events or animation: the counters follow at once.
  // The expansion, visibility and filter operations of the window build on them.
  void ChangeNodeExpanded(PVirtualNode Node, bool Expanded);
  void ChangeNodeVisible(PVirtualNode Node, bool Visible);
  void ChangeNodeFiltered(PVirtualNode Node, bool Filtered);

  // --- navigation ----------------------------------------------------------
  PVirtualNode FirstNode(bool ConsiderChildrenAbove = true);
  PVirtualNode FirstNodeRaw(bool ConsiderChildrenAbove = true) const;
  PVirtualNode NextNode(PVirtualNode Node, bool ConsiderChildrenAbove = false);
  PVirtualNode NextNodeRaw(PVirtualNode Node, bool ConsiderChildrenAbove = false) const;
  PVirtualNode PreviousNode(PVirtualNode Node, bool ConsiderChildrenAbove = false);
  PVirtualNode PreviousNodeRaw(PVirtualNode Node, bool ConsiderChildrenAbove = false) const;
  PVirtualNode LastNode(PVirtualNode Node = nullptr, bool ConsiderChildrenAbove = true);
  PVirtualNode LastNodeRaw(PVirtualNode Node = nullptr, bool ConsiderChildrenAbove = true) const;
  PVirtualNode FirstChildNode(PVirtualNode Node);
  PVirtualNode FirstChildNodeRaw(PVirtualNode Node) const;
  PVirtualNode LastChildNode(PVirtualNode Node);
  PVirtualNode LastChildNodeRaw(PVirtualNode Node) const;
  PVirtualNode NextSiblingNode(PVirtualNode Node);
  PVirtualNode PreviousSiblingNode(PVirtualNode Node);
  PVirtualNode FirstSelectedNode(bool ConsiderChildrenAbove = false);
  PVirtualNode NextSelectedNode(PVirtualNode Node, bool ConsiderChildrenAbove = false);
  PVirtualNode FirstInitializedNode() const;
  PVirtualNode NextInitializedNode(PVirtualNode Node) const;
  PVirtualNode FirstMarkedNode();
  PVirtualNode NextMarkedNode(PVirtualNode Node);

  PVirtualNode FirstVisibleNode(PVirtualNode Node = nullptr, bool ConsiderChildrenAbove = true, bool IncludeFiltered = false);
  PVirtualNode FirstVisibleNodeRaw(PVirtualNode Node = nullptr, bool ConsiderChildrenAbove = true, bool IncludeFiltered = false) const;
  PVirtualNode NextVisibleNode(PVirtualNode Node, bool ConsiderChildrenAbove = false);
  PVirtualNode NextVisibleNodeRaw(PVirtualNode Node, bool ConsiderChildrenAbove = false) const;
  PVirtualNode PreviousVisibleNode(PVirtualNode Node, bool ConsiderChildrenAbove = false);
  PVirtualNode PreviousVisibleNodeRaw(PVirtualNode Node, bool ConsiderChildrenAbove = false) const;
  PVirtualNode LastVisibleNode(PVirtualNode Node = nullptr, bool ConsiderChildrenAbove = true, bool IncludeFiltered = false);
  PVirtualNode LastVisibleNodeRaw(PVirtualNode Node = nullptr, bool ConsiderChildrenAbove = true, bool IncludeFiltered = false) const;
  PVirtualNode FirstVisibleChildNode(PVirtualNode Node, bool IncludeFiltered = false);
  PVirtualNode LastVisibleChildNode(PVirtualNode Node, bool IncludeFiltered = false);
  PVirtualNode LastVisibleChildNodeRaw(PVirtualNode Node, bool IncludeFiltered = false) const;
  PVirtualNode NextVisibleSiblingNode(PVirtualNode Node, bool IncludeFiltered = false);
  PVirtualNode PreviousVisibleSiblingNode(PVirtualNode Node, bool IncludeFiltered = false);
  PVirtualNode PreviousVisibleSiblingNodeRaw(PVirtualNode Node, bool IncludeFiltered = false) const;
  PVirtualNode VisibleAncestorNode(PVirtualNode Node, bool IncludeFiltered = false) const;

  uint32_t NodeLevel(PVirtualNode Node) const;
  // Position among all nodes in tree order (the first node is 0).
  uint32_t AbsoluteIndex(PVirtualNode Node) const;
  bool IsAncestorOf(PVirtualNode Node, PVirtualNode PotentialParent) const;
  int32_t CompareNodePositions(PVirtualNode Node1, PVirtualNode Node2, bool ConsiderChildrenAbove = false) const;
  bool IsFullyVisible(PVirtualNode Node) const;
  bool IsEffectivelyVisible(PVirtualNode Node) const;
  bool HasVisibleNextSibling(PVirtualNode Node) const;
  bool HasVisiblePreviousSibling(PVirtualNode Node) const;
  bool IsFirstVisibleChild(PVirtualNode Parent, PVirtualNode Node) const;
  bool IsLastVisibleChild(PVirtualNode Parent, PVirtualNode Node) const;
  // The visible node whose row covers pixel row Y of the content (Y below 0
  // counts as 0); NodeTop receives that row's top. Nil below the last row.
  PVirtualNode NodeAtPosition(int32_t Y, uint32_t* NodeTop = nullptr) const;
  // The pixel distance of a fully visible node's top from the first row.
  uint32_t NodeTopOf(PVirtualNode Node) const;
  // The node at a point of the client area (Relative: scrolled; else a
  // content position), starting from the position cache while it is valid.
  // NodeTop receives the row's top in the same co-ordinates.
  PVirtualNode NodeAtPosition(int32_t X, int32_t Y, bool Relative, int32_t* NodeTop);
  PVirtualNode NodeAtPosition(int32_t X, int32_t Y) { return NodeAtPosition(X, Y, true, nullptr); }
  // The node at client row 0 and at the client area's last row.
  PVirtualNode TopNode();
  PVirtualNode BottomNode();
  // Where a node is drawn in client co-ordinates: its row (Column < 0) or
  // cell, or only its content with TextOnly. Empty when not on display.
  RECT NodeDisplayRect(PVirtualNode Node, TColumnIndex Column, bool TextOnly, bool Unclipped = false,
                       bool ApplyCellContentMargin = false);
  // Repaint helpers; they do nothing without a window or inside a bracket.
  virtual RECT InvalidateNode(PVirtualNode Node);
  void InvalidateToBottom(PVirtualNode Node);
  void InvalidateColumn(TColumnIndex Column);
  void RepaintNode(PVirtualNode Node);
  // The position cache: every 2000th visible node with its top.
  const TCache& PositionCache() const { return FPositionCache; }
  // The shared worker has this tree's cache validation queued or running.
  bool ValidatingCache() const { return FQueued.load() || FClaimed.load(); }

  // --- in-place editing ---------------------------------------------------------
  // Focuses Node and, when it may be edited in Column (-1 only without
  // columns), starts the edit; answers whether an edit runs.
  bool EditNode(PVirtualNode Node, TColumnIndex Column);
  bool IsEditing() const { return FStates.Contains(TVirtualTreeState::tsEditing); }
  TColumnIndex EditColumn() const { return FEditColumn; }
  IVTEditLink* EditLink() const { return FEditLink.Get(); }
  // toEditable, an enabled tree, not read-only, and OnEditing allowing.
  bool CanEdit(PVirtualNode Node, TColumnIndex Column);
  // Ends the edit taking its text; answers False when the editor refuses to end.
  virtual bool FinishNodeEdit();
  // Starts editing the focused node in the edit column (the edit timer's end).
  virtual void BeginNodeEdit();
  // Places the editor over the focused node's text in the edit column.
  virtual void PlaceEditor();
  // The hint of a cell in the hint modes and in the tooltip mode: the tree's
  // Hint here; a descendant knows better.
  // The cell's text, its text rectangle and font; the base tree has no text
  // (an empty text and rectangle, the tree's font).
  virtual void GetCellTextInfo(PVirtualNode Node, TColumnIndex Column, TFont* Font, RECT& R, std::wstring& Text);
  // The hint window class the tree's hints are shown in.
  virtual TClass HintWindowClass() const;
  // HintAnimation with the system's choice resolved; fading needs the
  // blending routines, without them hints slide.
  THintAnimationType EffectiveHintAnimation() const;
  // The cursor area of the hint last shown (client co-ordinates).
  const RECT& LastHintRect() const { return FLastHintRect; }
  const TVTHintData& HintData() const { return FHintData; }
  virtual std::wstring DefaultHintText(PVirtualNode Node, TColumnIndex Column, TVTTooltipLineBreakStyle& LineBreakStyle);
  virtual std::wstring DefaultTooltipText(PVirtualNode Node, TColumnIndex Column,
                                          TVTTooltipLineBreakStyle& LineBreakStyle);
  // Whether a cell shows nothing (OnGetCellIsEmpty; empty by default).
  virtual bool CellIsEmpty(PVirtualNode Node, TColumnIndex Column);
  TVTGetCellIsEmptyEvent OnGetCellIsEmpty;
  TVTIncrementalSearchEvent OnIncrementalSearch;
  TVTEditChangingEvent OnEditing;
  TVTKeyActionEvent OnKeyAction;
  TVTColumnClickEvent OnColumnClick;
  TVTColumnClickEvent OnColumnDblClick;
  TVTHelpContextEvent OnGetHelpContext;
  TVTGetCursorEvent OnGetCursor;
  TVTGetHeaderCursorEvent OnGetHeaderCursor;
  TVTDragAllowedEvent OnDragAllowed;
  TVTNodeHeightTrackingEvent OnNodeHeightTracking;
  TVTNodeHeightDblClickResizeEvent OnNodeHeightDblClickResize;
  TVTHeaderMouseEvent OnHeaderMouseDown;
  TVTHeaderMouseEvent OnHeaderMouseUp;
  TVTHeaderMouseMoveEvent OnHeaderMouseMove;
  TVTCanSplitterResizeColumnEvent OnCanSplitterResizeColumn;
  TVTGetImageTextEvent OnGetImageText;
  // The text an image of a cell stands for (empty by default).
  virtual std::wstring FireGetImageText(PVirtualNode Node, TVTImageKind Kind, TColumnIndex Column);

  // --- context menus, help and panning -------------------------------------------
  // Shows the menu OnGetPopupMenu gives for the node and column at P
  // (client co-ordinates), with the tree as its popup component.
  virtual void PopupForNode(PVirtualNode Node, TColumnIndex Column, POINT P);
  // A PopupMenu is set or OnGetPopupMenu gives one for the node.
  virtual bool NodeHasPopup(PVirtualNode Node, TColumnIndex Column, POINT P);
  // The menu for a node: asked for the node, then its parents while the
  // handler lets the question go up; without a node once for column -1.
  virtual TPopupMenu* FireGetPopupMenu(PVirtualNode Node, TColumnIndex Column, POINT P);
  // The help context F1 opens: OnGetHelpContext for the focused node and
  // its parents, else the first HelpContext of the tree and its parents.
  int HelpContextForFocusedNode();
  // Panning with the middle button: a small window at the press point, the
  // view scrolling by the mouse's distance from it.
  virtual void BeginPanning();
  virtual void EndPanning();
  // The panning cursor for the mouse at (X, Y), client co-ordinates.
  virtual void UpdatePanningCursor(int32_t X, int32_t Y);
  POINT PanningStart() const { return FPanningStart; }
  HWND PanningWindow() const { return FPanningWindow; }
  // The names of the panning cursor and picture in use (empty while none).
  const char* PanningCursorName() const { return FPanningCursorName; }
  const char* PanningImageName() const { return FPanningImageName; }
  // The cursor the tree shows at a client point (WM_SETCURSOR's answer).
  virtual HCURSOR CursorAt(POINT P);
  // The node whose height a press at the hit would drag (on a row's edge
  // in a fixed column, or without columns, with toNodeHeightResize): the
  // hit node for its lower edge, the one above for its upper edge.
  PVirtualNode NodeEdgeAt(const THitInfo& Hit);
  // Starts a drag of the selected nodes: the class library's drag with
  // dtVCL, the OLE drag's pending state with dtOLE. Threshold -1: the
  // system's drag distance.
  virtual void BeginDrag(bool Immediate, int Threshold = -1);
  // Pixels the mouse must move from the press before an OLE drag starts.
  int32_t DragThreshold() const { return FDragThreshold; }
  // Whether dragging shows the tree's picture (DragImageKind not diNoImage).
  virtual bool ShowsDragImage() const { return FDragImageKind != TVTDragImageKind::diNoImage; }
  // The picture of the selected nodes an OLE drag from this tree carries
  // (made when the drag starts; nil before the first).
  TVTDragImage* NodeDragImage() const { return FNodeDragImage; }
  // Paints the selected nodes around Hotspot (client co-ordinates) into the
  // drag image, for the system's drag image when DataObject takes one, else
  // for the tree's own.
  void PrepareDragImage(POINT Hotspot, IDataObject* DataObject);
  virtual bool FireDragAllowed(PVirtualNode Node, TColumnIndex Column);

  // --- drag and drop ------------------------------------------------------------
  // Directions of scrolling at the edges (a set).
  static constexpr uint32_t ScrollLeft = 1, ScrollUp = 2, ScrollRight = 4, ScrollDown = 8;
  // The tree's drag manager (OnCreateDragManager's, else its own), made on
  // first use; the drop target registered with toAcceptOLEDrop.
  TVTDragManager* DragManager();
  // The manager tells its tree that it goes.
  void DragManagerGone(TVTDragManager* Manager);
  TComPtr<IDataObject> FireCreateDataObject();
  // The tree a data object's "Virtual Tree Reference" names: a live tree of
  // this process, else nil.
  static TBaseVirtualTree* SourceTreeOf(IDataObject* DataObject);
  // The effect a drop would have: move within this tree, copy from
  // elsewhere, changed by Ctrl, Shift and Alt, always one that is allowed.
  DWORD ProposeDropEffect(TObject* Source, TShiftState Shift, DWORD Allowed);
  // Runs an OLE drag of the selected nodes from the client point P.
  virtual void StartOleDrag(POINT P);
  // The system's drag loop; answers its final effect (a test may stand in).
  virtual DWORD RunDoDragDrop(IDataObject* DataObject, DWORD AllowedEffects);
  // The drop target's calls, from the drag manager (P in screen co-ordinates).
  virtual HRESULT OleDragEnter(DWORD KeyState, POINT P, DWORD& Effect);
  virtual HRESULT OleDragOver(TObject* Source, DWORD KeyState, DWORD& Effect, POINT P, TDragState State);
  virtual void OleDragLeave();
  virtual HRESULT OleDrop(IDataObject* DataObject, DWORD KeyState, DWORD& Effect, POINT P);
  // The nodes an OLE drag of this tree carries, in tree order, while it runs.
  const TNodeArray& DragSelection() const { return FDragSelection; }
  // The drag target node is expanded (the auto-expand timer's end).
  void AutoExpandDropTarget();
  // Ends the class library's drag on this tree: its drag states go and the
  // button that held it is released.
  void FinishDragging();
  TVTDragOverEvent OnDragOver;
  TVTDragDropEvent OnDragDrop;
  TVTCreateDragManagerEvent OnCreateDragManager;
  TVTCreateDataObjectEvent OnCreateDataObject;
  // Moves the focus to the next (Shift: previous) focusable cell.
  void TabToNextCell(bool Back);

  // --- incremental search --------------------------------------------------------
  TVTIncrementalSearch IncrementalSearch() const { return FIncrementalSearch; }
  // isNone also ends a running search (its text and last hit).
  void SetIncrementalSearch(TVTIncrementalSearch Value);
  TVTSearchDirection IncrementalSearchDirection() const { return FIncrementalSearchDirection; }
  void SetIncrementalSearchDirection(TVTSearchDirection Value) { FIncrementalSearchDirection = Value; }
  TVTSearchStart IncrementalSearchStart() const { return FIncrementalSearchStart; }
  void SetIncrementalSearchStart(TVTSearchStart Value) { FIncrementalSearchStart = Value; }
  uint32_t IncrementalSearchTimeout() const { return FIncrementalSearchTimeout; }
  void SetIncrementalSearchTimeout(uint32_t Value) { FIncrementalSearchTimeout = Value; }
  const std::wstring& SearchBuffer() const { return FSearchBuffer; }
  // Tab moves between cells instead of to the next control.
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }
  TVTEditChangeEvent OnEdited;
  TVTEditCancelEvent OnEditCancelled;
  TVTCreateEditorEvent OnCreateEditor;

  // --- tree stream ------------------------------------------------------------------
  // Writes the stream header and the record of Node, or of every top-level
  // node without one.
  virtual void SaveTreeToStream(TStream* Stream, PVirtualNode Node = nullptr);
  // Clears the tree and reads a whole stream (nothing with toReadOnly). A
  // damaged stream raises EVirtualTreeError 2002-2006; the nodes read before
  // it stay, counted.
  virtual void LoadTreeFromStream(TStream* Stream);
  void LoadTreeFromFile(const AnsiString& FileName);
  void SaveTreeToFile(const AnsiString& FileName);
  // One node record (anchor, base chunk with the children's records, the
  // chunks WriteNode adds) at the stream's position.
  void WriteNodeChunk(TStream* Stream, PVirtualNode Node);
  TVTSaveNodeEvent OnSaveNode;
  TVTSaveNodeEvent OnLoadNode;

  // --- clipboard ------------------------------------------------------------------------
  // Copy and cut put a data object of the selected nodes on the clipboard
  // and mark the nodes; paste inserts what the clipboard holds at the focused
  // node (DefaultPasteMode), moving the nodes of a pending cut. Also on
  // WM_COPY, WM_CUT and WM_PASTE.
  virtual void CopySelectionToClipboard();
  virtual void CutSelectionToClipboard();
  virtual bool PasteClipboardIntoTree();
  // Clears the clipboard marks and leaves the pending copy or cut.
  void FlushClipboard();
  // The tree of this process at an address a "Virtual Tree Reference"
  // names; nil for any address that is not a live tree.
  static TBaseVirtualTree* LiveTreeAt(uint64_t Address);
  // The formats the tree's data objects offer: those registered for its
  // class and listed in ClipboardFormats (all without a list), then the
  // application's.
  void CollectClipboardFormats(std::vector<FORMATETC>& Formats);
  // Renders a format for a data object into a new medium (the string tree
  // adds its text formats).
  virtual HRESULT RenderOLEData(const FORMATETC& Format, STGMEDIUM& Medium, bool ForClipboard);
  TVTRenderOLEDataEvent OnRenderOLEData;
  TVTGetUserClipboardFormatsEvent OnGetUserClipboardFormats;

  // --- operation bracket and states -----------------------------------------
  void BeginOperation();
  void EndOperation();
  void CancelOperation() { if (FOperationCount > 0) FOperationCanceled = true; }
  bool OperationCanceled() const { return FOperationCanceled && FOperationCount > 0; }
  const TVirtualTreeStates& TreeStates() const { return FStates; }
  virtual void ChangeStates(const TVirtualTreeStates& Enter, const TVirtualTreeStates& Leave);

  // --- properties without a window --------------------------------------------
  TCustomVirtualTreeOptions* TreeOptions() const { return FOptions; }
  void SetTreeOptions(TCustomVirtualTreeOptions* Value) { FOptions->Assign(Value); }
  uint32_t AnimationDuration() const { return FAnimationDuration; }
  void SetAnimationDuration(uint32_t Value);
  uint32_t AutoExpandDelay() const { return FAutoExpandDelay; }
  void SetAutoExpandDelay(uint32_t Value) { FAutoExpandDelay = Value; }
  uint32_t AutoScrollDelay() const { return FAutoScrollDelay; }
  void SetAutoScrollDelay(uint32_t Value) { FAutoScrollDelay = Value; }
  uint32_t AutoScrollInterval() const { return FAutoScrollInterval; }
  void SetAutoScrollInterval(uint32_t Value) { FAutoScrollInterval = Value; }
  uint32_t ChangeDelay() const { return FChangeDelay; }
  void SetChangeDelay(uint32_t Value) { FChangeDelay = Value; }
  uint32_t DefaultNodeHeight() const { return FDefaultNodeHeight; }
  void SetDefaultNodeHeight(uint32_t Value);
  TVTNodeAttachMode DefaultPasteMode() const { return FDefaultPasteMode; }
  void SetDefaultPasteMode(TVTNodeAttachMode Value) { FDefaultPasteMode = Value; }
  uint32_t EditDelay() const { return FEditDelay; }
  void SetEditDelay(uint32_t Value) { FEditDelay = Value; }
  uint32_t Indent() const { return FIndent; }
  void SetIndent(uint32_t Value) { FIndent = Value; }
  int32_t Margin() const { return FMargin; }
  void SetMargin(int32_t Value) { FMargin = Value; }
  int32_t TextMargin() const { return FTextMargin; }
  void SetTextMargin(int32_t Value) { FTextMargin = Value; }
  TVTNodeAlignment NodeAlignment() const { return FNodeAlignment; }
  void SetNodeAlignment(TVTNodeAlignment Value) { FNodeAlignment = Value; }
  uint8_t SelectionBlendFactor() const { return FSelectionBlendFactor; }
  void SetSelectionBlendFactor(uint8_t Value) { FSelectionBlendFactor = Value; }
  uint32_t SelectionCurveRadius() const { return FSelectionCurveRadius; }
  void SetSelectionCurveRadius(uint32_t Value) { FSelectionCurveRadius = Value; }
  int32_t DragHeight() const { return FDragHeight; }
  void SetDragHeight(int32_t Value) { FDragHeight = Value; }
  int32_t DragWidth() const { return FDragWidth; }
  void SetDragWidth(int32_t Value) { FDragWidth = Value; }
  uint32_t BottomSpace() const { return FBottomSpace; }
  void SetBottomSpace(uint32_t Value) { FBottomSpace = Value; }
  // Settings the window's features read; setting them here only stores them.
  TDragOperations DragOperations() const { return FDragOperations; }
  void SetDragOperations(TDragOperations Value) { FDragOperations = Value; }
  TVTDragType DragType() const { return FDragType; }
  void SetDragType(TVTDragType Value) { FDragType = Value; }
  TVTDragImageKind DragImageKind() const { return FDragImageKind; }
  void SetDragImageKind(TVTDragImageKind Value) { FDragImageKind = Value; }
  THintAnimationType HintAnimation() const { return FHintAnimation; }
  void SetHintAnimation(THintAnimationType Value) { FHintAnimation = Value; }
  TVTDrawSelectionMode DrawSelectionMode() const { return FDrawSelectionMode; }
  void SetDrawSelectionMode(TVTDrawSelectionMode Value) { FDrawSelectionMode = Value; }
  // A cursor index of the program's screen (0: the default cursor).
  int32_t HotCursor() const { return FHotCursor; }
  void SetHotCursor(int32_t Value) { FHotCursor = Value; }
  TVTHintMode HintMode() const { return FHintMode; }
  void SetHintMode(TVTHintMode Value) { FHintMode = Value; }
  TVTLineMode LineMode() const { return FLineMode; }
  void SetLineMode(TVTLineMode Value) { FLineMode = Value; }
  TVTLineStyle LineStyle() const { return FLineStyle; }
  void SetLineStyle(TVTLineStyle Value);
  TVTButtonStyle ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TVTButtonStyle Value);
  TVTButtonFillMode ButtonFillMode() const { return FButtonFillMode; }
  void SetButtonFillMode(TVTButtonFillMode Value);
  int32_t BackgroundOffsetX() const { return FBackgroundOffset[0]; }
  int32_t BackgroundOffsetY() const { return FBackgroundOffset[1]; }
  // Index 0 is X, 1 is Y.
  void SetBackgroundOffset(int Index, int32_t Value) { FBackgroundOffset[Index & 1] = Value; }
  const AnsiString& AccessibleName() const { return FAccessibleName; }
  void SetAccessibleName(const AnsiString& Value) { FAccessibleName = Value; }
  // The objects accessibility clients were handed (nil until asked for).
  const TComPtr<IAccessible>& AccessibleObject() const { return FAccessibleObject; }
  const TComPtr<IAccessible>& AccessibleItem() const { return FAccessibleItem; }

  // --- painting ------------------------------------------------------------------------
  TVTColors* Colors() const { return FColors; }
  void SetColors(TVTColors* Value) { FColors->Assign(Value); }
  // Paints the part Window (content co-ordinates: 0 is the first row's top
  // and the first column's left) of the tree onto Target at TargetPoint, one
  // row at a time through a row bitmap, then the area below the last row.
  void RenderTree(TCanvas* Target, RECT Window, POINT TargetPoint, TVTInternalPaintOptions Options,
                  int BitsPerPixel = 32);
  // Paints the client area part Area (client co-ordinates) as the window
  // shows it onto Target at TargetPoint; ShiftY moves the content that
  // many pixels up first (the rows below Area's place).
  void RenderClientArea(TCanvas* Target, const RECT& Area, POINT TargetPoint, int32_t ShiftY);
  // The node under the mouse (nil: none) and whether the mouse is over its button.
  PVirtualNode HotNode() const { return FCurrentHotNode; }
  void SetHotNode(PVirtualNode Node, bool OverButton = false);
  // The node a drag shows as its target and where the drop would go.
  PVirtualNode DropTargetNode() const { return FDropTargetNode; }
  TVTDropMode LastDropMode() const { return FLastDropMode; }
  void SetDropTarget(PVirtualNode Node, TVTDropMode Mode);
  // One entry per level (one more with toShowRoot): the tree lines a node's
  // row shows. Answers the number of the node's selected ancestors.
  int32_t BuildLineImage(PVirtualNode Node, TLineImage& LineImage);
  // The check image of a check type and state (-1: none): 1-8 radio buttons,
  // 9-20 check boxes, 21-24 buttons.
  static int32_t CheckImageIndexFor(TCheckType Type, TCheckState State, bool Enabled, bool Hot);
  int32_t CheckImageIndexFor(PVirtualNode Node);
  // The expand buttons' width and height.
  SIZE ButtonSize() const { return SIZE{9, 9}; }
  // The picture behind the rows (with toShowBackground; bitmaps only):
  // tiled, or with toStaticBackground once at the background offsets.
  TPicture* Background() const { return FBackground; }
  void SetBackground(TPicture* Value) { FBackground->Assign(Value); }
  void SetBackgroundOffsetX(int32_t Value) { SetBackgroundOffset(0, Value); }
  void SetBackgroundOffsetY(int32_t Value) { SetBackgroundOffset(1, Value); }
  // The rectangle selection's frame in content co-ordinates (its corners in
  // any order), painted while tsDrawSelPending or tsDrawSelecting is set.
  RECT SelectionRect() const { return FNewSelRect; }
  void SetSelectionRect(const RECT& Value) { FNewSelRect = Value; }
  // Whether rows are painted in the system's explorer look (visual styles
  // on and toUseExplorerTheme).
  bool UsesExplorerLook() const;

  // --- the window: scroll bars, frame and header ------------------------------------
  TScrollBarOptions* ScrollBarOptions() const { return FScrollBarOptions; }
  void SetScrollBarOptions(TScrollBarOptions* Value) { FScrollBarOptions->Assign(Value); }
  TClipboardFormats* ClipboardFormats() const { return FClipboardFormats; }
  void SetClipboardFormats(TStrings* Value);
  // The header's place in window co-ordinates: inside the border and the
  // bevel, Header()->Height() high while the header is shown.
  RECT ComputeHeaderRect();
  // The window border's width on each side (x) and top and bottom (y).
  virtual SIZE BorderDimensions();
  // The header (visible-only: only while the window shows) painted onto DC,
  // whose origin is the window's top-left corner.
  void PaintHeader(HDC DC, bool VisibleOnly = false);
  // Scrolls the content horizontally so that its left edge is Position
  // pixels into it (as the horizontal scroll bar shows it).
  void SetEffectiveOffsetX(int32_t Position);
  bool CanFocus() override;

  // --- hit testing and the tree-view queries -------------------------------------------
  // Classifies a point of the client area (Relative: window co-ordinates,
  // moved by the scroll offsets; else content co-ordinates).
  void HitTestAt(int32_t X, int32_t Y, bool Relative, THitInfo& HitInfo);
  THitInfo HitTestAt(int32_t X, int32_t Y, bool Relative = true) {
    THitInfo info;
    HitTestAt(X, Y, Relative, info);
    return info;
  }
  // The column at P with its left and right edge in display co-ordinates;
  // -2 beyond the last column.
  TColumnIndex ColumnAndBoundsAt(POINT P, int32_t& Left, int32_t& Right, bool Relative = true);
  // With toAutoSpanColumns a cell reaches over the empty cells that follow it
  // in display order: Right grows by their widths. With Leftwards a column
  // whose cell is empty first gives way to the one before it (Left shrinks),
  // so a point in a spanned cell belongs to the cell that spans it. Without
  // the option, for a column that is none, or where text reads right to
  // left, nothing changes. Last (when given) receives the last column covered.
  TColumnIndex SpanCell(PVirtualNode Node, TColumnIndex Column, int32_t& Left, int32_t& Right, bool Leftwards,
                        TColumnIndex* Last = nullptr);
  // Hot tracking for a mouse move to (X, Y) in client co-ordinates.
  void TrackHotNode(int32_t X, int32_t Y);
  // Whether Node is a node of this tree: a block of its node storage linked
  // into its structure. Any value may be asked; nothing unsafe is read.
  bool IsNodeOfThisTree(PVirtualNode Node) const;
  TVTHotNodeChangeEvent OnHotChange;

  // --- events ----------------------------------------------------------------
  TVTPaintEvent OnBeforePaint;
  TVTPaintEvent OnAfterPaint;
  TVTBeforeItemPaintEvent OnBeforeItemPaint;
  TVTBeforeItemEraseEvent OnBeforeItemErase;
  TVTAfterItemEraseEvent OnAfterItemErase;
  TVTAfterCellPaintEvent OnAfterCellPaint;
  TVTAfterItemPaintEvent OnAfterItemPaint;
  TVTBackgroundPaintEvent OnPaintBackground;
  TVTGetLineStyleEvent OnGetLineStyle;
  TVTChangeEvent OnChange;
  TVTCompareEvent OnCompareNodes;
  TVTFreeNodeEvent OnFreeNode;
  TVTGetNodeDataSizeEvent OnGetNodeDataSize;
  TVTInitChildrenEvent OnInitChildren;
  TVTInitNodeEvent OnInitNode;
  TVTNodeCopiedEvent OnNodeCopied;
  TVTNodeCopyingEvent OnNodeCopying;
  TVTNodeMovedEvent OnNodeMoved;
  TVTNodeMovingEvent OnNodeMoving;
  TVTChangeEvent OnResetNode;
  TVTStateChangeEvent OnStateChange;
  TVTStructureChangeEvent OnStructureChange;
  TVTUpdatingEvent OnUpdating;
  TVTChangingEvent OnExpanding;
  TVTChangeEvent OnExpanded;
  TVTChangingEvent OnCollapsing;
  TVTChangeEvent OnCollapsed;
  TVTScrollEvent OnScroll;
  TVTFocusChangingEvent OnFocusChanging;
  TVTFocusChangeEvent OnFocusChanged;
  TVTCheckChangingEvent OnChecking;
  TVTChangeEvent OnChecked;
  TVTGetImageEvent OnGetImageIndex;
  TVTGetImageExEvent OnGetImageIndexEx;
  TVTBeforeCellPaintEvent OnBeforeCellPaint;
  TVTMeasureItemEvent OnMeasureItem;
  TVTPopupEvent OnGetPopupMenu;
  TVTHeaderClickEvent OnHeaderClick;
  TVTHeaderClickEvent OnHeaderDblClick;
  TVTHeaderDraggingEvent OnHeaderDragging;
  TVTHeaderDraggedEvent OnHeaderDragged;
  TVTHeaderDraggedOutEvent OnHeaderDraggedOut;
  TVTHeaderNotifyEvent OnColumnResize;
  TVTHeaderNotifyEvent OnAfterAutoFitColumn;
  TVTBeforeAutoFitColumnEvent OnBeforeAutoFitColumn;
  TVTBeforeAutoFitColumnsEvent OnBeforeAutoFitColumns;
  TVTAfterAutoFitColumnsEvent OnAfterAutoFitColumns;
  TVTHeaderNotifyEvent OnAfterColumnWidthTracking;
  TVTBeforeColumnWidthTrackingEvent OnBeforeColumnWidthTracking;
  TVTColumnWidthTrackingEvent OnColumnWidthTracking;
  TVTColumnWidthDblClickResizeEvent OnColumnWidthDblClickResize;
  TVTBeforeHeaderHeightTrackingEvent OnBeforeHeaderHeightTracking;
  TVTAfterHeaderHeightTrackingEvent OnAfterHeaderHeightTracking;
  TVTHeaderHeightTrackingEvent OnHeaderHeightTracking;
  TVTHeaderHeightTrackingEvent OnHeaderHeightDblClickResize;
  TVTBeforeGetMaxColumnWidthEvent OnBeforeGetMaxColumnWidth;
  TVTAfterGetMaxColumnWidthEvent OnAfterGetMaxColumnWidth;
  TVTScrollBarShowEvent OnShowScrollbar;
  TVTHeaderPaintEvent OnHeaderDraw;
  TVTHeaderPaintQueryElementsEvent OnHeaderDrawQueryElements;
  TVTAdvancedHeaderPaintEvent OnAdvancedHeaderDraw;

  // The window calls this when a delay timer (5 change, 6 structure change) is due.
  void DelayTimerExpired(int TimerId);
  // Ends loading from a form: creates the top-level nodes the form asked for
  // and puts the columns in their stored order.
  void Loaded() override;
  void DefineProperties(TFiler* Filer) override;
  bool IsLoading() const { return ComponentState().Contains(csLoading); }

  // Operations the header and its columns call.
  virtual TClass ColumnItemClass() const;
  virtual TClass HeaderClass() const;
  virtual void AfterColumnResize(TColumnIndex Column);
  virtual void MainColumnChanged();
  // Ends a pending or running edit without its text; answers False when an
  // edit refuses to end.
  virtual bool CancelNodeEdit();
  virtual void UpdateHorizontalScrollBar(bool DoRepaint);
  virtual void UpdateVerticalScrollBar(bool DoRepaint);
  // Both bars; again while showing or hiding one changes the client area.
  void UpdateScrollBars(bool DoRepaint);
  // Tells a form designer that the tree changed (design time only).
  void NotifyDesigner() {}
  virtual void FireHeaderClick(TVTHeaderHitInfo& HitInfo);
  virtual void FireHeaderDblClick(TVTHeaderHitInfo& HitInfo);
  virtual bool FireHeaderDragging(TColumnIndex Column);
  virtual void FireHeaderDragged(TColumnIndex Column, TColumnPosition OldPosition);
  virtual void FireHeaderDraggedOut(TColumnIndex Column, POINT DropPosition);
  void FireBeforeAutoFitColumns(TSmartAutoFitType& SmartAutoFitType);
  void FireAfterAutoFitColumns();

protected:
  // Lets a descendant create its own options and header classes: a virtual
  // call cannot reach the descendant while this constructor runs, so the
  // classes are passed.
  TBaseVirtualTree(TComponent* AOwner, TClass AOptionsClass, TClass AHeaderClass = &TVTHeader::ClassInfo);

  void Dispatch(TMessage& Message) override;
  void Paint() override;
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void ChangeScale(int M, int D) override;
  // Shows or hides a scroll bar and reports a change of its visibility.
  virtual void ShowScrollBarFor(int Bar, bool Show);
  // Header painting: the events of the application's own header drawing.
  virtual void FireHeaderDraw(TCanvas* Canvas, TVirtualTreeColumn* Column, RECT R, bool Hover, bool Pressed,
                              TVTDropMarkMode DropMark);
  virtual void FireHeaderDrawQueryElements(THeaderPaintInfo& PaintInfo, THeaderPaintElements& Elements);
  virtual void FireAdvancedHeaderDraw(THeaderPaintInfo& PaintInfo, const THeaderPaintElements& Elements);
  // Painting operations, one per part of a cell; a descendant draws the
  // node's own content in RenderNodeContent.
  virtual void RenderNodeContent(TVTPaintInfo& PaintInfo) { (void)PaintInfo; }
  virtual void EraseRow(TVTPaintInfo& PaintInfo, const RECT& RowRect, int32_t RowWidth);
  virtual void RenderCellBackground(TVTPaintInfo& PaintInfo, int32_t WindowLeft, int32_t RowWidth);
  virtual void RenderDropMark(TCanvas* Canvas, PVirtualNode Node, RECT R);
  // The rectangle selection's frame (SelectionRect, in the coordinates of
  // the canvas) over Target, a part of the canvas.
  virtual void RenderSelectionFrame(TCanvas* Canvas, int32_t WindowLeft, const RECT& SelectionRect, const RECT& Target);
  // The frame inside the window border (DC: the whole window's): the bevel
  // and BorderWidth pixels in BorderColor.
  virtual void RenderBorder(HDC DC);
  virtual void RenderTreeLines(TVTPaintInfo& PaintInfo, int32_t VAlignment, int32_t IndentSize,
                               const TLineImage& LineImage);
  TColor ButtonGroundColor() const;
  virtual void RenderExpandButton(TCanvas* Canvas, PVirtualNode Node, bool RightToLeft, int32_t ButtonY,
                                  int32_t ButtonX, const RECT& CellRect);
  virtual void RenderCheckImage(TVTPaintInfo& PaintInfo);
  virtual void RenderNodeImage(TVTPaintInfo& PaintInfo, TVTImageInfoIndex Slot, bool WithOverlay);
  virtual void FetchImageIndex(TVTPaintInfo& PaintInfo, TVTImageKind Kind, TCustomImageList* DefaultImages,
                               TVTImageInfoIndex Slot);
  // A one-pixel line in the line pattern, both ends included, in the
  // canvas font's colour on the tree's colour.
  void FillLineH(TCanvas* Canvas, int32_t Left, int32_t Y, int32_t Right);
  void FillLineV(TCanvas* Canvas, int32_t Top, int32_t X, int32_t Bottom);
  // Makes the expand-button bitmaps and (with Lines) the line pattern anew.
  virtual void BuildButtonsAndLinePattern(bool Buttons, bool Lines);
  // The part of a node's cell at X (relative to the cell, of width Width).
  virtual void ClassifyHitLeftToRight(THitInfo& HitInfo, int32_t X, TAlignment Alignment, int32_t Width);
  virtual void ClassifyHitRightToLeft(THitInfo& HitInfo, int32_t X, TAlignment Alignment, int32_t Width);
  // Answers the tree-view messages accessibility tools send.
  LRESULT TreeViewQuery(UINT Msg, WPARAM WParam, LPARAM LParam);
  // The 8-bit text the tree-view query gives for a node (empty here).
  virtual std::string NodeTextForQuery(PVirtualNode Node) {
    (void)Node;
    return {};
  }
  void Notification(TComponent* Component, TOperation Operation) override;

  // Editing: the editor for a cell (a missing one raises error 2000), the
  // permission and the reports.
  virtual TComPtr<IVTEditLink> FireCreateEditor(PVirtualNode Node, TColumnIndex Column);
  virtual bool FireEditing(PVirtualNode Node, TColumnIndex Column);
  // Compares a node with the incremental search text: 0 for a match.
  virtual int32_t FireIncrementalSearch(PVirtualNode Node, const std::wstring& Text);
  virtual void FireEdited(PVirtualNode Node, TColumnIndex Column);
  virtual void FireEditCancelled(TColumnIndex Column);
  // Re-initialises one node (ReinitializeNode calls it for each).
  virtual void ReinitNode(PVirtualNode Node);

  // Mouse and keyboard: what a press, a release, a double click and a key
  // decide, and one typed character of the incremental search.
  virtual void HandleButtonDown(TMouseButton Button, WPARAM Keys, POINT P);
  virtual void HandleButtonUp(TMouseButton Button, WPARAM Keys, POINT P);
  virtual void HandleDoubleClick(TMouseButton Button, WPARAM Keys, POINT P);
  virtual void HandleKeyDown(WORD CharCode, TShiftState Shift);
  virtual void IncrementalSearchKey(char Key);
  void KeyDown(WORD& Key, TShiftState Shift) override;
  // The class library's drag ended: the tree's drag states go.
  void DoEndDrag(TObject* Target, int X, int Y) override;
  // Scrolling at the edges during rectangle selection and drags: the
  // directions at a client point (left 1, up 2, right 4, down 8), the timer
  // that starts them and one step of it.
  virtual uint32_t ScrollDirectionsAt(int32_t X, int32_t Y);
  void ScheduleAutoScroll(int32_t X, int32_t Y);
  void AutoScrollStep();

  // Expansion and scrolling.
  virtual bool FireExpanding(PVirtualNode Node);
  virtual void FireExpanded(PVirtualNode Node);
  virtual bool FireCollapsing(PVirtualNode Node);
  virtual void FireCollapsed(PVirtualNode Node);
  virtual void FireTreeScroll(int DeltaX, int DeltaY);
  // Clamps the offsets to the content, stores them and reports the move.
  virtual bool ApplyScrollOffset(POINT NewOffset, const TScrollUpdateOptions& Options, const RECT* ClipRect = nullptr);
  // Recomputes RangeX and RangeY from the heights and widths.
  void UpdateRanges();
  // The widest row end of the nodes from the top of the client area down.
  virtual int32_t VisibleContentWidth();

  // The position cache. Validation runs on the worker thread shared by all
  // trees; a change first stops it and waits.
  virtual void RequestCacheValidation();
  // Runs on the worker thread: fills the cache from the visible nodes.
  // Answers whether a complete cache was built.
  virtual bool BuildPositionCache();
  // True once the GUI thread asked a running build to stop.
  bool ValidationStopRequested() const { return FStopValidation.load(std::memory_order_acquire); }

  // Geometry.
  virtual int32_t NodeContentWidth(PVirtualNode Node, TColumnIndex Column, TCanvas* Canvas) {
    (void)Node;
    (void)Column;
    (void)Canvas;
    return 0;
  }
  // Margins a cell's content keeps (asked through OnBeforeCellPaint).
  virtual RECT CellContentMargin(PVirtualNode Node, TColumnIndex Column, TVTCellContentMarginType Type, TCanvas* Canvas);
  virtual bool NodeHasImage(PVirtualNode Node, TVTImageKind Kind, TColumnIndex Column);
  virtual TCustomImageList* FireGetImageIndex(PVirtualNode Node, TVTImageKind Kind, TColumnIndex Column, bool& Ghosted,
                                              int32_t& Index);
  virtual void FireBeforeCellPaint(TCanvas* Canvas, PVirtualNode Node, TColumnIndex Column, TVTCellPaintMode Mode,
                                   RECT CellRect, RECT& ContentRect);
  void CheckMeasuredHeight(PVirtualNode Node);
  // The width and height of the check images in use.
  int32_t CheckImageSize() const;

  // Selection and focus.
  virtual void AddNodeToSelection(PVirtualNode Node);
  virtual void AddNodesToSelection(PVirtualNode* Nodes, size_t Count, bool ForceInsert);
  virtual void RemoveNodeFromSelection(PVirtualNode Node);
  virtual void UnmarkSelected(PVirtualNode Node);
  // Binary search by address in [Low, High] (negative: the whole array);
  // Index receives the place or the insertion point.
  virtual bool FindSelectionIndex(PVirtualNode Node, int32_t& Index, int32_t Low = -1, int32_t High = -1) const;
  virtual void SelectNodeRange(PVirtualNode StartNode, PVirtualNode EndNode, bool AddOnly);
  // Flips the selection of every visible node between the two ends.
  virtual void AddRangeToSelection(PVirtualNode StartNode, PVirtualNode EndNode);
  virtual void ResetRangeAnchor();
  // Empties the selection without repainting.
  virtual void DropSelection();
  virtual void MoveFocusTo(PVirtualNode Node, bool Ask);
  virtual bool FireFocusChanging(PVirtualNode OldNode, PVirtualNode NewNode, TColumnIndex OldColumn,
                                 TColumnIndex NewColumn);
  virtual void FireFocusChanged(PVirtualNode Node, TColumnIndex Column);
  void AddToTempNodeCache(PVirtualNode Node);
  void ClearTempNodeCache();
  // A click on Node with the given keys (the mouse handlers' part of it).
  void HandleClickSelection(PVirtualNode Node, TShiftState Shift, bool DragPending);
  // Rectangle selection between two content rectangles.
  bool HandleDrawSelection(RECT OldRect, RECT NewRect);
  TShiftState FDrawSelShiftState;

  // Check states.
  virtual bool FireChecking(PVirtualNode Node, TCheckState& NewState);
  virtual void FireChecked(PVirtualNode Node);
  virtual void ChangeCheckState(PVirtualNode Node, TCheckState Value);
  bool ApplyCheckState(PVirtualNode Node, TCheckState Value);
  virtual bool PropagateCheckToParent(PVirtualNode Node, TCheckState NewState);
  void RequestCheckState(PVirtualNode Node, TCheckState Value);

  // The class of the options object this tree creates.
  virtual TClass OptionsClass() const;
  virtual int32_t ReserveInternalData(int32_t Size);
  virtual void RecordPendingChange(bool Structure, PVirtualNode Node, TChangeReason Reason);
  virtual void NotifyChange(PVirtualNode Node);
  virtual void NotifyStructureChange(PVirtualNode Node, TChangeReason Reason);
  virtual void FireChange(PVirtualNode Node);
  virtual void FireStructureChange(PVirtualNode Node, TChangeReason Reason);
  virtual void FireUpdating(TVTUpdateState State);
  virtual void FireGetNodeDataSize(int32_t& Size);
  virtual int32_t FireCompareNodes(PVirtualNode Node1, PVirtualNode Node2, TColumnIndex Column);
  virtual void FireInitChildren(PVirtualNode Node, uint32_t& ChildCount);
  virtual void FireInitNode(PVirtualNode Parent, PVirtualNode Node, TVirtualNodeInitStates& InitStates);
  virtual bool FireNodeCopying(PVirtualNode Node, PVirtualNode Target);
  virtual void FireNodeCopied(PVirtualNode Node);
  // The tree stream: the chunks of a record after its base chunk (here the
  // application's data), one chunk read (False: not one this class knows),
  // and one record read into a linked node, its counters repaired after.
  virtual void WriteNode(TStream* Stream, PVirtualNode Node);
  virtual bool ReadChunk(TStream* Stream, int Version, PVirtualNode Node, int32_t ChunkType, int32_t ChunkSize);
  virtual void InsertFromStream(TStream* Stream, PVirtualNode Node);
  virtual void FireSaveNode(PVirtualNode Node, TStream* Stream);
  virtual void FireLoadNode(PVirtualNode Node, TStream* Stream);
  // Passes the record at the stream's position.
  void SkipNode(TStream* Stream);
  // Inserts the nodes of a data object's "Virtual Tree Data" at Target (nil:
  // the root) as Mode says; with Move the marked nodes of Source (a tree of
  // this process) are moved instead. False when there is nothing to insert.
  virtual bool InsertFromDataObject(TBaseVirtualTree* Source, IDataObject* DataObject, bool Move,
                                    TVTNodeAttachMode Mode, PVirtualNode Target);
  // "Virtual Tree Data" of the marked (clipboard) or selected nodes; any
  // other format goes to FireRenderOLEData.
  virtual HRESULT RenderTreeDataFormat(const FORMATETC& Format, STGMEDIUM& Medium, bool ForClipboard);
  virtual HRESULT FireRenderOLEData(const FORMATETC& Format, STGMEDIUM& Medium, bool ForClipboard);
  virtual void FireGetUserClipboardFormats(std::vector<FORMATETC>& Formats);
  virtual void MarkSelectedForClipboard();
  // The clipboard messages; False: not one of them.
  bool HandleClipboardMessage(TMessage& Message);
  void DispatchWithoutAutomaticDrag(TMessage& Message);
  // WM_GETOBJECT: the client object from the accessibility factory.
  LRESULT HandleGetObject(WPARAM WParam, LPARAM LParam, bool& Handled);
  // CM_DRAG: the class library's drag over and onto the tree.
  void HandleDragMessage(TMessage& Message);
  // The drop target is registered for the window or revoked.
  void UpdateDropRegistration(bool Register);
  void DoStartDrag(TDragObject*& DragObject) override;
  virtual bool FireDragOver(TObject* Source, TShiftState Shift, TDragState State, POINT Pt, TVTDropMode Mode,
                            DWORD& Effect);
  virtual void FireDragDrop(TObject* Source, IDataObject* DataObject, const TFormatArray& Formats, TShiftState Shift,
                            POINT Pt, DWORD& Effect, TVTDropMode Mode);
  virtual bool FireNodeMoving(PVirtualNode Node, PVirtualNode Target);
  virtual void FireNodeMoved(PVirtualNode Node);
  virtual void FireResetNode(PVirtualNode Node);
  virtual void InitNodeChildren(PVirtualNode Node);
  virtual void InitNodeState(PVirtualNode Node);
  virtual void ReleaseNode(PVirtualNode Node);
  virtual void ConnectNode(PVirtualNode Node, PVirtualNode Target, TVTNodeAttachMode Mode);
  virtual void DisconnectNode(PVirtualNode Node, bool KeepFocus, bool Reindex);
  virtual uint32_t VisibleDescendantCount(PVirtualNode Node) const;
  virtual int32_t LevelDistance(PVirtualNode Node1, PVirtualNode Node2) const;
  virtual void UpdateHiddenChildrenFlag(PVirtualNode Node);
  virtual void UpdateAllHiddenChildrenFlags();
  // The sort column and direction automatic sorting uses: the header's.
  TColumnIndex AutoSortColumn() const { return FHeader->SortColumn(); }
  TSortDirection AutoSortDirection() const { return FHeader->SortDirection(); }
  // Delay timers need the window; without one a delayed report is made at once.
  virtual bool StartDelayTimer(int TimerId, uint32_t Interval);
  virtual void StopDelayTimer(int TimerId);
  void InvalidatePositionCache();
  // The node blocks' allocator (tests inject allocation failures through it).
  TNodeAllocator& NodeAllocator() { return FAllocator; }

  void InitNode(PVirtualNode Node) {
    if (!Node->StateBits.Contains(TVirtualNodeState::nsInitialized)) InitNodeState(Node);
  }
  bool ReadOnly() const { return FOptions->MiscOptions().Contains(TVTMiscOption::toReadOnly); }
  bool ShowHiddenNodes() const { return FOptions->PaintOptions().Contains(TVTPaintOption::toShowHiddenNodes); }
  bool ChildrenAbove() const { return FOptions->PaintOptions().Contains(TVTPaintOption::toChildrenAbove); }
  void RecomputeCounters();

  bool FDestroying = false;  // also for a plain delete, which sets no component state

private:
  friend class TCustomVirtualTreeOptions;
  friend class TVirtualTreeColumns;
  friend class TVirtualTreeColumn;
  friend class TVTHeader;
  friend class TScrollBarOptions;
  friend class TWorkerThread;
  friend void AddToWaitingList(TBaseVirtualTree* Tree);
  friend void StopTreeValidation(TBaseVirtualTree* Tree);
  friend class TTreeStreamReader;
  // The registry LiveTreeAt answers from: every tree from construction to destruction.
  static void TrackLiveTree(TBaseVirtualTree* Tree, bool Live);

  // The position cache and its validation.
  void StopCacheValidation();
  void ChangeValidationStates(WPARAM Enter, LPARAM Leave);
  size_t CacheEntryByNode(PVirtualNode Node) const;
  size_t CacheEntryByPosition(uint32_t Position) const;
  // The fully visible node's top from the first row, through the cache when valid.
  uint32_t CachedNodeTop(PVirtualNode Node);
  PVirtualNode RowFrom(PVirtualNode Run, uint32_t& Top, uint32_t Y) const;
  // The toggle's scroll adjustments.
  void ToggleScroll(PVirtualNode Node, bool Expanding, const RECT& Row, int32_t HeightDelta, bool TotalFit,
                    bool PosHoldable, bool ChildrenInView, bool NodeInView);
  // Slides the rows next to the toggled node (row R) by HeightDelta pixels
  // before the state changes: down for an expansion, up for a collapse.
  // With toAdvancedAnimatedToggle the node's state changes first and the
  // rows that come into view slide in with them.
  void AnimateToggle(PVirtualNode Node, const RECT& R, int32_t HeightDelta);
  // CM_HINTSHOW: fills the application's hint request; 0 shows a hint.
  LRESULT HandleHintShow(THintInfo& Info);
  void HandleHintShowPause(TMessage& Message);
  // A mouse move onto another cell starts the application's hint anew.
  void TrackHintCell(POINT P);
  // Packs the selection array after lazy removals; answers the new count.
  void PackSelection();
  bool InternalAddToSelection(PVirtualNode* Nodes, size_t Count, bool ForceInsert);
  // Forgets a node that is going: focus, anchor and pending references.
  void ForgetNode(PVirtualNode Node);
  // After a change outside update brackets: selection packed, cache
  // validation requested, ranges and scroll bars updated, rows repainted
  // from From down.
  void FinishChange(PVirtualNode From);
  bool NodeInRect(PVirtualNode Node, const RECT& Rect, int32_t Top);
  // After nodes were read into Node's subtree: counters, hidden-children
  // flags and the selection follow what arrived.
  struct TStreamSnapshot {
    uint32_t Count, Height, Visible;
    bool Shown;
  };
  TStreamSnapshot StreamSnapshot(PVirtualNode Node);
  void RepairAfterRead(PVirtualNode Node, const TStreamSnapshot& Before);

  PVirtualNode AllocateNodeRecord();
  void ReleaseAllNodes();
  // Refuses a node layout whose block would not fit the 32-bit offsets of
  // the data areas.
  static void CheckNodeLayout(int64_t InternalDataSize, int64_t NodeDataSize);
  // Releases a node that is already unlinked. An exception from its release
  // (an OnFreeNode handler) is kept, so the removal goes on freeing the rest.
  void ReleaseUnlinked(PVirtualNode Node);
  // Runs a removal; the first release error kept meanwhile is raised once the
  // outermost removal has finished and every counter is in step again (never
  // while the tree is being destroyed: the application's handler gets it).
  template <class F>
  void Removing(F&& Body);
  // Runs Body inside an update bracket that is closed also when Body raises.
  template <class F>
  void InBracket(F&& Body);
  void RaiseReleaseError();
  void AllocateRoot();
  void AdjustSubtreeCount(PVirtualNode Node, int32_t Delta, bool Relative);
  void AdjustSubtreeHeight(PVirtualNode Node, int32_t Delta, bool Relative);
  void RecomputeSubtreeCounts(PVirtualNode Node);
  void RecomputeSubtreeHeights(PVirtualNode Node);
  bool ReleaseSubtree(PVirtualNode Node);  // true when a selected node went
  bool ReleaseChildren(PVirtualNode Node, bool ResetHasChildren);
  bool NodeCounts(PVirtualNode Node) const;  // fully and effectively visible
  // The root's children are the RootNodeCount: it is never asked for them.
  void InitChildrenIfNeeded(PVirtualNode Node) {
    if (Node != FRoot && Node->ChildCount == 0 && Node->StateBits.Contains(TVirtualNodeState::nsHasChildren))
      InitNodeChildren(Node);
  }
  void EnsureNodeDataSize();
  void CheckUserDataSpace(uint32_t UserData);
  void StoreUserData(PVirtualNode Node, uint32_t UserData);
  // The structure operations without the read-only refusal, for the tree's own use.
  void DoSetNodeChildCount(PVirtualNode Node, uint32_t NewCount);
  void DoRemoveChildNodes(PVirtualNode Node, bool ResetHasChildren);
  void DoRemoveNode(PVirtualNode Node, bool Reindex);
  void ChangeVisibility(PVirtualNode Node, TVirtualNodeState State, bool On);
  PVirtualNode NextNodeInSubtree(PVirtualNode Node, PVirtualNode Top) const;
  PVirtualNode CopySubtree(PVirtualNode Source, TBaseVirtualTree* Into) const;
  void FreeDetached(PVirtualNode Top);
  PVirtualNode NormalizeTarget(PVirtualNode& Target, TVTNodeAttachMode& Mode);
  PVirtualNode TransferNodes(PVirtualNode Source, PVirtualNode Target, TVTNodeAttachMode Mode, bool ChildrenOnly,
                             TBaseVirtualTree* Into, bool Move);
  static int32_t CompareForSort(TBaseVirtualTree* Tree, PVirtualNode Node1, PVirtualNode Node2, TColumnIndex Column);
  void OptionsChanged();

  // Navigation building blocks; Init selects the initialising flavour.
  TBaseVirtualTree* Mutable() const;
  bool Shown(PVirtualNode Node, bool IncludeFiltered) const;
  bool FullyShown(PVirtualNode Node, bool IncludeFiltered) const;
  PVirtualNode Blocker(PVirtualNode Node, bool IncludeFiltered, bool& Collapsed) const;
  void Prepare(PVirtualNode Node, bool Init);
  void PrepareChildren(PVirtualNode Node, bool Init);
  PVirtualNode FindRaw(PVirtualNode Start, TVirtualNodeState State, bool ConsiderChildrenAbove) const;
  PVirtualNode Descend(PVirtualNode Node, bool Back, bool Init, bool All);
  PVirtualNode ChildNode(PVirtualNode Node, bool Back);
  PVirtualNode ShownChild(PVirtualNode Node, bool Back, bool Init, bool IncludeFiltered);
  PVirtualNode ShownSibling(PVirtualNode Node, bool Back, bool Init, bool IncludeFiltered);
  PVirtualNode ShownStep(PVirtualNode Node, bool Back, bool Climb, bool Init);
  PVirtualNode WalkFirst(bool Post, bool Init);
  PVirtualNode WalkStep(PVirtualNode Node, bool Back, bool ChildrenFirst, bool Init);
  PVirtualNode WalkLast(PVirtualNode Node, bool Post, bool Init);
  PVirtualNode WalkFirstVisible(PVirtualNode Node, bool Post, bool Init, bool IncludeFiltered);
  PVirtualNode WalkLastVisible(PVirtualNode Node, bool Post, bool Init, bool IncludeFiltered);
  PVirtualNode WalkVisible(PVirtualNode Node, bool Back, bool Post, bool Init);

  TCustomVirtualTreeOptions* FOptions = nullptr;
  TNodeAllocator FAllocator;
  PVirtualNode FRoot = nullptr;
  int32_t FInternalDataSize = 0;
  int32_t FNodeDataSize = -1;
  uint32_t FVisibleCount = 0;
  int32_t FUpdateCount = 0;
  TVirtualTreeStates FStates;
  PVirtualNode FPendingStructureNode = nullptr;
  TChangeReason FPendingStructureReason = TChangeReason::crIgnore;
  PVirtualNode FLastChangedNode = nullptr;
  int32_t FOperationCount = 0;
  bool FOperationCanceled = false;
  int32_t FRemovalDepth = 0;
  bool FRedrawStopped = false;  // WM_SETREDRAW was switched off by the outermost bracket
  std::exception_ptr FReleaseError;  // the first release error of the running removal

  TVTHeader* FHeader = nullptr;
  TAlignment FAlignment = TAlignment::taLeftJustify;
  TCheckImageKind FCheckImageKind = TCheckImageKind::ckSystemDefault;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FStateImages = nullptr;
  TChangeLink* FImageChangeLink = nullptr;
  TChangeLink* FStateChangeLink = nullptr;

  // Scrolling: pixels, 0 or negative offsets.
  int32_t FOffsetX = 0;
  int32_t FOffsetY = 0;
  int32_t FEffectiveOffsetX = 0;
  int32_t FRangeX = 0;
  int32_t FRangeY = 0;

  // The position cache and the worker's hand-shake. FQueued and FClaimed are
  // written under the worker's list lock; the GUI thread reads them to know
  // whether the worker has, or may take, this tree.
  TCache FPositionCache;
  uint32_t FCacheStartIndex = 0;
  std::atomic<bool> FStopValidation{false};
  std::atomic<bool> FQueued{false};
  std::atomic<bool> FClaimed{false};

  // Selection and focus.
  TNodeArray FSelection;         // by ascending address; marked entries have bit 0 set
  uint32_t FSelectionCount = 0;  // selected nodes (marked entries excluded)
  bool FSelectionLocked = false;
  TNodeArray FTempNodeCache;
  size_t FTempNodeCount = 0;
  PVirtualNode FRangeAnchor = nullptr;
  int32_t FLastSelectionLevel = -1;
  PVirtualNode FFocusedNode = nullptr;
  TColumnIndex FFocusedColumn = NoColumn;

  // In-place editing.
  TComPtr<IVTEditLink> FEditLink;
  TColumnIndex FEditColumn = NoColumn;

  // Input: the column pressed, the search and its settings.
  bool HandleInputMessage(TMessage& Message);
  void ResetInputStates(bool FocusLost);
  void CancelPendingEdit();
  void StopTimer(UINT_PTR Id);
  void StopSearch();
  PVirtualNode SearchStep(PVirtualNode Node, bool Forward);
  TColumnIndex FMouseDownColumn = NoColumn;
  void DrawSelectionTo(POINT P);
  bool HandleNodeHeightTracking(POINT P, WPARAM Keys);
  void HandleMouseMove(TMessage& Message, POINT P);
  void HandleContextMenuMessage(TMessage& Message);
  // Panning.
  POINT FPanningStart{};
  HWND FPanningWindow = nullptr;
  TGdiObject FPanningImage;
  HCURSOR FPanningCursor = nullptr;
  const char* FPanningCursorName = "";
  const char* FPanningImageName = "";
  // Node height tracking: the node, its column and its cell's top-left.
  PVirtualNode FHeightTrackNode = nullptr;
  TColumnIndex FHeightTrackColumn = NoColumn;
  POINT FHeightTrackPoint{};
  // Dragging.
  int32_t FDragThreshold = 0;
  TComPtr<TVTDragManager> FDragManager;
  bool FDropRegistered = false;
  TNodeArray FDragSelection;
  // The class library's drag: the target and effect between its drag-over
  // and drop messages.
  PVirtualNode FVCLDropTarget = nullptr;
  DWORD FVCLDragEffect = DROPEFFECT_NONE;
  uint64_t FDragScrollStart = 0;  // tick of the first held-back scroll over an OLE drag
  POINT FLastClickPos{};
  POINT FLastMousePoint{};  // client point of the last press or move while selecting
  uint32_t FScrollDirections = 0;
  std::wstring FSearchBuffer;
  PVirtualNode FLastSearchNode = nullptr;
  TVTIncrementalSearch FIncrementalSearch = TVTIncrementalSearch::isNone;
  TVTSearchDirection FIncrementalSearchDirection = TVTSearchDirection::sdForward;
  TVTSearchStart FIncrementalSearchStart = TVTSearchStart::ssFocusedNode;
  uint32_t FIncrementalSearchTimeout = 1000;
  bool FWantTabs = false;

  // Check states.
  PVirtualNode FPendingCheckNode = nullptr;
  TCheckState FPendingCheckState = TCheckState::csUncheckedNormal;
  int32_t FCheckPropagationDepth = 0;

  uint32_t FAnimationDuration = 200;
  TVTAnimationPacer* FAnimationPacer = nullptr;
  TVTHintData FHintData;
  TVTDragImage* FNodeDragImage = nullptr;
  RECT FLastHintRect{};
  // The cell the application was last asked to hint about; moving onto
  // another cell asks again.
  PVirtualNode FHintAskedNode = nullptr;
  TColumnIndex FHintAskedColumn = -2;
  uint32_t FAutoExpandDelay = 1000;
  uint32_t FAutoScrollDelay = 1000;
  uint32_t FAutoScrollInterval = 1;
  uint32_t FChangeDelay = 0;
  uint32_t FDefaultNodeHeight = 18;
  TVTNodeAttachMode FDefaultPasteMode = TVTNodeAttachMode::amAddChildLast;
  uint32_t FEditDelay = 1000;
  uint32_t FIndent = 18;
  int32_t FMargin = 4;
  int32_t FTextMargin = 4;
  TVTNodeAlignment FNodeAlignment = TVTNodeAlignment::naProportional;
  uint8_t FSelectionBlendFactor = 128;
  uint32_t FSelectionCurveRadius = 0;
  int32_t FDragHeight = 350;
  int32_t FDragWidth = 200;
  uint32_t FBottomSpace = 0;
  TDragOperations FDragOperations{TDragOperation::doCopy, TDragOperation::doMove};
  TVTDragType FDragType = TVTDragType::dtOLE;
  TVTDragImageKind FDragImageKind = TVTDragImageKind::diComplete;
  TVTHintMode FHintMode = TVTHintMode::hmDefault;
  THintAnimationType FHintAnimation = THintAnimationType::hatSystemDefault;
  TVTDrawSelectionMode FDrawSelectionMode = TVTDrawSelectionMode::smDottedRectangle;
  int32_t FHotCursor = 0;
  TVTLineMode FLineMode = TVTLineMode::lmNormal;
  TVTLineStyle FLineStyle = TVTLineStyle::lsDotted;
  TVTButtonStyle FButtonStyle = TVTButtonStyle::bsRectangle;
  TVTButtonFillMode FButtonFillMode = TVTButtonFillMode::fmTreeColor;
  int32_t FBackgroundOffset[2] = {0, 0};
  AnsiString FAccessibleName;
  TComPtr<IAccessible> FAccessibleObject;
  TComPtr<IAccessible> FAccessibleItem;
  bool FMakingAccessible = false;

  // The window.
  TScrollBarOptions* FScrollBarOptions = nullptr;
  TClipboardFormats* FClipboardFormats = nullptr;
  bool FInScrollBarChange = false;  // a scroll bar is being set: no nested update
  void HandleScroll(bool Vertical, int Code);
  void HandleWheel(TMessage& Message);
  void HandleNCCalcSize(TMessage& Message);
  void HandleSize(TMessage& Message);
  void ReadLegacyOptions(TReader* Reader);

  // Painting.
  TVTColors* FColors = nullptr;
  TGdiObject FPlusBM, FMinusBM, FHotPlusBM, FHotMinusBM;  // 9 x 9, magenta transparent
  TGdiObject FDottedBrush;                                // the 8 x 8 line pattern
  bool FButtonsValid = false;
  TColor FButtonColors[3] = {};  // ground, font and line colour the buttons were made with
  TGdiObject FRowBitmap;  // 32-bit, reused by every row of every paint
  int32_t FRowBitmapWidth = 0;
  int32_t FRowBitmapHeight = 0;
  PVirtualNode FCurrentHotNode = nullptr;
  bool FHotOverButton = false;
  PVirtualNode FDropTargetNode = nullptr;
  TVTDropMode FLastDropMode = TVTDropMode::dmNowhere;
  void EnsureRowBitmap(int32_t Width, int32_t Height);
  void PaintAreaBelow(TCanvas* Target, const RECT& Window, int32_t TargetX, int32_t TargetY, int32_t Height,
                      const TVTInternalPaintOptions& Options, int32_t ContentTop);
  void FillPatternRect(TCanvas* Canvas, RECT R);
  TPicture* FBackground = nullptr;
  RECT FNewSelRect{};                      // content co-ordinates
  TColumnIndex FCurrentHotColumn = NoColumn;
  // Whether the window had the focus when the running paint began: asking
  // the system once per paint instead of once per cell.
  bool FPaintFocused = false;
  bool PaintsFocused() const;
  bool BackgroundShown(const TVTInternalPaintOptions& Options);
  // Origin: where DC's (0, 0) lies on the target; Offset: added to DC's
  // co-ordinates to find the picture's point (before the background offsets).
  void PaintBackground(HDC DC, const RECT& R, POINT Origin, POINT Offset);
  void PaintSelectionFrame(TCanvas* Canvas, const RECT& Window, int32_t Top, int32_t Height);
  // The painting, frame and reading-order messages; False: not one of them.
  bool DispatchPaintMessage(TMessage& Message);
  // Moves the child windows (an editor) by the deltas, as a scroll would.
  void MoveChildWindows(int32_t DeltaX, int32_t DeltaY);
};

template <class F>
void TBaseVirtualTree::Removing(F&& Body) {
  ++FRemovalDepth;
  try {
    Body();
  } catch (...) {
    // The body's own failure wins over a kept release error.
    if (--FRemovalDepth == 0) FReleaseError = nullptr;
    throw;
  }
  if (--FRemovalDepth == 0 && FReleaseError) RaiseReleaseError();
}

template <class F>
void TBaseVirtualTree::InBracket(F&& Body) {
  BeginTreeUpdate();
  try {
    Body();
  } catch (...) {
    EndTreeUpdate();
    throw;
  }
  EndTreeUpdate();
}
