// The tree's node record and the small types every tree operation and event
// uses: node and tree states, attach modes, change reasons, the tree's error.
#pragma once

#include "platform/Exceptions.h"
#include "platform/Set.h"

#include <cstdint>
#include <string>

// Node states, stored as bit n of the node's 16-bit StateBits.
enum class TVirtualNodeState : uint8_t {
  nsInitialized, nsCheckChanging, nsClipboardMarked, nsDisabled, nsDeleting, nsExpanded,
  nsHasChildren, nsVisible, nsSelected, nsFreeNotifyRequired, nsAllChildrenHidden,
  nsClearingChildren, nsMultiline, nsHeightMeasured, nsToggling, nsFiltered
};

// The node's state set: exactly 16 bits, as the record's layout fixes.
struct TVirtualNodeStates {
  uint16_t Bits = 0;

  bool Contains(TVirtualNodeState s) const { return (Bits & Mask(s)) != 0; }
  void Include(TVirtualNodeState s) { Bits = static_cast<uint16_t>(Bits | Mask(s)); }
  void Exclude(TVirtualNodeState s) { Bits = static_cast<uint16_t>(Bits & ~Mask(s)); }
  void Set(TVirtualNodeState s, bool on) { on ? Include(s) : Exclude(s); }
  static constexpr uint16_t Mask(TVirtualNodeState s) { return static_cast<uint16_t>(1u << static_cast<unsigned>(s)); }
};

enum class TCheckState : uint8_t {
  csUncheckedNormal, csUncheckedPressed, csCheckedNormal, csCheckedPressed, csMixedNormal, csMixedPressed
};
enum class TCheckType : uint8_t { ctNone, ctTriStateCheckBox, ctCheckBox, ctRadioButton, ctButton };

// One node: this fixed header, then the internal data reserved by tree
// classes, then NodeDataSize bytes of the application's data, all in one
// zero-filled block the tree allocates. The layout is fixed so that the
// user-data area sits at the same offset in every node.
struct TNodeRecord {
  uint32_t IndexInParent;   // 0 for the first child; dense 0..n-1
  uint32_t ChildCount;      // children currently linked
  uint16_t NodeHeight;      // pixels of this node's own row
  TVirtualNodeStates StateBits;
  uint8_t VerticalAlign;    // percent of the row height (or pixels, per NodeAlignment)
  TCheckState CheckState;
  TCheckType CheckType;
  uint8_t Reserved;         // keeps the counters 4-byte aligned
  uint32_t SubtreeCount;    // nodes in the subtree, this one included
  uint32_t SubtreeHeight;   // pixels: own height + visible children's subtrees while expanded
  TNodeRecord* Parent;      // the root's parent is the tree itself
  TNodeRecord* PreviousSibling;  // the root points to itself
  TNodeRecord* NextSibling;      // the root points to itself
  TNodeRecord* FirstChild;
  TNodeRecord* LastChild;
};
using PVirtualNode = TNodeRecord*;

constexpr int NodeHeaderSize = static_cast<int>(sizeof(TNodeRecord));

// Tree states. OnStateChange receives sets of these.
enum class TVirtualTreeState {
  tsCancelHintAnimation, tsChangePending, tsCheckPropagation, tsCollapsing, tsToggleFocusedSelection,
  tsClearPending, tsClipboardFlushing, tsCopyPending, tsCutPending, tsDrawSelPending, tsDrawSelecting,
  tsEditing, tsEditPending, tsExpanding, tsNodeHeightTracking, tsNodeHeightTrackPending, tsHint,
  tsInAnimation, tsIncrementalSearching, tsIncrementalSearchPending, tsIterating, tsKeyCheckPending,
  tsLeftButtonDown, tsLeftDblClick, tsMouseCheckPending, tsMiddleButtonDown, tsMiddleDblClick,
  tsNeedScale, tsNeedRootCountUpdate, tsOLEDragging, tsOLEDragPending, tsPainting, tsRightButtonDown,
  tsRightDblClick, tsPopupMenuShown, tsScrolling, tsScrollPending, tsSizing, tsStopValidation,
  tsStructureChangePending, tsSynchMode, tsThumbTracking, tsToggling, tsUpdateHiddenChildrenNeeded,
  tsUpdating, tsUseCache, tsUserDragObject, tsUseThemes, tsValidating, tsValidationNeeded,
  tsVCLDragging, tsVCLDragPending, tsWheelPanning, tsWheelScrolling, tsWindowCreating
};
using TVirtualTreeStates = TSet<TVirtualTreeState, 64>;

// What the application answers in OnInitNode about a new node.
enum class TVirtualNodeInitState { ivsDisabled, ivsExpanded, ivsHasChildren, ivsMultiline, ivsSelected };
using TVirtualNodeInitStates = TSet<TVirtualNodeInitState, 8>;

enum class TVTNodeAttachMode { amNoWhere, amInsertBefore, amInsertAfter, amAddChildFirst, amAddChildLast };
enum class TChangeReason { crIgnore, crAccumulated, crChildAdded, crChildDeleted, crNodeAdded, crNodeCopied, crNodeMoved };
enum class TVTUpdateState { usBegin, usUpdate, usEnd };
enum class TSortDirection { sdAscending, sdDescending };
enum class TVTNodeAlignment { naFromBottom, naFromTop, naProportional };

// Stored settings of the window's features (dragging, hints, lines, buttons).
enum class TVTDragType { dtOLE, dtVCL };
enum class TDragOperation { doCopy, doMove, doLink };
using TDragOperations = TSet<TDragOperation, 8>;
enum class TVTDragImageKind { diComplete, diMainColumnOnly, diNoImage };
enum class TVTHintMode { hmDefault, hmHint, hmHintAndDefault, hmTooltip };
enum class TVTLineMode { lmNormal, lmBands };
enum class TVTLineStyle { lsCustomStyle, lsDotted, lsSolid };
enum class TVTButtonStyle { bsRectangle, bsTriangle };
enum class TVTButtonFillMode { fmTreeColor, fmWindowColor, fmShaded, fmTransparent };
enum class THintAnimationType { hatNone, hatFade, hatSlide, hatSystemDefault };
enum class TVTDrawSelectionMode { smDottedRectangle, smBlendedRectangle };
// How a hint text breaks into lines.
enum class TVTTooltipLineBreakStyle { hlbDefault, hlbForceSingleLine, hlbForceMultiLine };
// Which nodes typing searches, in which direction and from where.
enum class TVTIncrementalSearch { isAll, isNone, isInitializedOnly, isVisibleOnly };
enum class TVTSearchDirection { sdForward, sdBackward };
enum class TVTSearchStart { ssAlwaysStartOver, ssLastHit, ssFocusedNode };

using TColumnIndex = int32_t;
constexpr TColumnIndex NoColumn = -1;

// Errors of the tree carry a code besides their message.
class EVirtualTreeError : public Exception {
public:
  EVirtualTreeError(int Code, std::string Message) : Exception(std::move(Message)), FCode(Code) {}
  int Code() const { return FCode; }

private:
  int FCode;
};

// Codes of EVirtualTreeError.
// An editor was asked for and none came.
constexpr int ErrorEditLinkMissing = 2000;
constexpr int ErrorMoveIntoOwnSubtree = 2001;
constexpr int ErrorUserDataSpace = 2008;
// Raised when header, internal data and NodeDataSize would not fit a node block.
constexpr int ErrorNodeLayout = 2009;
