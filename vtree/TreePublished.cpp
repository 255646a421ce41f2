// What a form resource stores of a tree and reads back: the form tables of
// the tree, its options, colours and scroll bar options (the columns travel
// as the tree's own property "Columns"), and the two small option objects
// of the window, scroll bar options and the clipboard format names.
#include "vtree/VirtualTree.h"

#include "vtree/ClipboardFormats.h"
#include "vtree/StringTree.h"

#include "platform/ControlsProperties.h"
#include "platform/ImageList.h"

// --- scroll bar options -------------------------------------------------------------------------

const TClassInfo TScrollBarOptions::ClassInfo{"TScrollBarOptions", &TPersistent::ClassInfo, nullptr};

TPersistent* TScrollBarOptions::GetOwner() { return FOwner; }

void TScrollBarOptions::Assign(TPersistent* Source) {
  auto* other = ObjectAs<TScrollBarOptions>(Source);
  if (!other) return TPersistent::Assign(Source);
  SetAlwaysVisible(other->FAlwaysVisible);
  FIncrementX = other->FIncrementX;
  FIncrementY = other->FIncrementY;
  SetScrollBars(other->FScrollBars);
  FScrollBarStyle = other->FScrollBarStyle;
}

// Which bars a window has is a window style: the window is made anew.
void TScrollBarOptions::SetAlwaysVisible(bool Value) {
  if (FAlwaysVisible == Value) return;
  FAlwaysVisible = Value;
  if (FOwner && !FOwner->IsLoading() && FOwner->HandleAllocated()) FOwner->RecreateWnd();
}

void TScrollBarOptions::SetScrollBars(TScrollStyle Value) {
  if (FScrollBars == Value) return;
  FScrollBars = Value;
  if (FOwner && !FOwner->IsLoading() && FOwner->HandleAllocated()) FOwner->RecreateWnd();
}

// --- clipboard format names ------------------------------------------------------------------------

const TClassInfo TClipboardFormats::ClassInfo{"TClipboardFormats", &TStringList::ClassInfo, nullptr};

TClipboardFormats::TClipboardFormats(TBaseVirtualTree* AOwner) : FOwner(AOwner) {
  SetSorted(true);
  SetDuplicates(dupIgnore);
}

bool TClipboardFormats::Registered(const AnsiString& S) const {
  const TClipboardFormatList* list = ::ClipboardFormats();
  if (!list) return false;
  for (const TClipboardFormatListEntry& entry : list->Entries())
    if (SameText(entry.Description, S) && FOwner->InheritsFrom(entry.TreeClass)) return true;
  return false;
}

int TClipboardFormats::Add(const AnsiString& S) {
  if (!Registered(S)) return -1;
  return TStringList::Add(S);
}

void TClipboardFormats::Insert(int Index, const AnsiString& S) {
  if (Registered(S)) TStringList::Insert(Index, S);
}

void TBaseVirtualTree::SetClipboardFormats(TStrings* Value) {
  FClipboardFormats->Clear();
  if (!Value) return;
  for (int i = 0; i < Value->Count(); ++i) FClipboardFormats->Add(Value->Get(i));
}

// --- the form tables --------------------------------------------------------------------------------

namespace {
const TEnumInfo BorderStyleNames{"TBorderStyle", {"bsNone", "bsSingle"}};
const TEnumInfo ButtonFillModeNames{"TVTButtonFillMode", {"fmTreeColor", "fmWindowColor", "fmShaded", "fmTransparent"}};
const TEnumInfo ButtonStyleNames{"TVTButtonStyle", {"bsRectangle", "bsTriangle"}};
const TEnumInfo CheckImageKindNames{"TCheckImageKind",
                                    {"ckLightCheck", "ckDarkCheck", "ckLightTick", "ckDarkTick", "ckFlat", "ckXP",
                                     "ckCustom", "ckSystemFlat", "ckSystemDefault"}};
const TEnumInfo AttachModeNames{"TVTNodeAttachMode",
                                {"amNoWhere", "amInsertBefore", "amInsertAfter", "amAddChildFirst", "amAddChildLast"}};
const TEnumInfo DragImageKindNames{"TVTDragImageKind", {"diComplete", "diMainColumnOnly", "diNoImage"}};
const TEnumInfo DragOperationNames{"TDragOperation", {"doCopy", "doMove", "doLink"}};
const TEnumInfo DragTypeNames{"TVTDragType", {"dtOLE", "dtVCL"}};
const TEnumInfo DrawSelectionModeNames{"TVTDrawSelectionMode", {"smDottedRectangle", "smBlendedRectangle"}};
const TEnumInfo HintAnimationNames{"THintAnimationType", {"hatNone", "hatFade", "hatSlide", "hatSystemDefault"}};
const TEnumInfo HintModeNames{"TVTHintMode", {"hmDefault", "hmHint", "hmHintAndDefault", "hmTooltip"}};
const TEnumInfo LineModeNames{"TVTLineMode", {"lmNormal", "lmBands"}};
const TEnumInfo LineStyleNames{"TVTLineStyle", {"lsCustomStyle", "lsDotted", "lsSolid"}};
const TEnumInfo NodeAlignmentNames{"TVTNodeAlignment", {"naFromBottom", "naFromTop", "naProportional"}};
const TEnumInfo ScrollStyleNames{"TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}};
const TEnumInfo ScrollBarStyleNames{"TScrollBarStyle", {"sbmRegular", "sbmFlat", "sbm3D"}};

const TEnumInfo PaintOptionNames{
    "TVTPaintOption",
    {"toHideFocusRect", "toHideSelection", "toHotTrack", "toPopupMode", "toShowBackground", "toShowButtons",
     "toShowDropmark", "toShowHorzGridLines", "toShowRoot", "toShowTreeLines", "toShowVertGridLines", "toThemeAware",
     "toUseBlendedImages", "toGhostedIfUnfocused", "toFullVertGridLines", "toAlwaysHideSelection",
     "toUseBlendedSelection", "toStaticBackground", "toChildrenAbove", "toFixedIndent", "toUseExplorerTheme",
     "toHideTreeLinesIfThemed", "toShowHiddenNodes"}};
const TEnumInfo AnimationOptionNames{"TVTAnimationOption", {"toAnimatedToggle", "toAdvancedAnimatedToggle"}};
const TEnumInfo AutoOptionNames{
    "TVTAutoOption",
    {"toAutoDropExpand", "toAutoExpand", "toAutoScroll", "toAutoScrollOnExpand", "toAutoSort", "toAutoSpanColumns",
     "toAutoTristateTracking", "toAutoHideButtons", "toAutoDeleteMovedNodes", "toDisableAutoscrollOnFocus",
     "toAutoChangeScale", "toAutoFreeOnCollapse", "toDisableAutoscrollOnEdit", "toAutoBidiColumnOrdering"}};
const TEnumInfo SelectionOptionNames{
    "TVTSelectionOption",
    {"toDisableDrawSelection", "toExtendedFocus", "toFullRowSelect", "toLevelSelectConstraint", "toMiddleClickSelect",
     "toMultiSelect", "toRightClickSelect", "toSiblingSelectConstraint", "toCenterScrollIntoView",
     "toSimpleDrawSelection"}};
const TEnumInfo MiscOptionNames{
    "TVTMiscOption",
    {"toAcceptOLEDrop", "toCheckSupport", "toEditable", "toFullRepaintOnResize", "toGridExtensions", "toInitOnSave",
     "toReportMode", "toToggleOnDblClick", "toWheelPanning", "toReadOnly", "toVariableNodeHeight", "toFullRowDrag",
     "toNodeHeightResize", "toNodeHeightDblClickResize", "toEditOnClick", "toEditOnDblClick"}};

using O = TCustomVirtualTreeOptions;
const TPublishedRegistration optionsRegistration(&TCustomVirtualTreeOptions::ClassInfo, {
    Property<&O::AnimationOptions, &O::SetAnimationOptions>("AnimationOptions", AnimationOptionNames)
        .Default(TVTAnimationOptions{}),
    Property<&O::AutoOptions, &O::SetAutoOptions>("AutoOptions", AutoOptionNames)
        .Default(TVTAutoOptions::FromBits(DefaultAutoOptions)),
    Property<&O::MiscOptions, &O::SetMiscOptions>("MiscOptions", MiscOptionNames)
        .Default(TVTMiscOptions::FromBits(DefaultMiscOptions)),
    Property<&O::PaintOptions, &O::SetPaintOptions>("PaintOptions", PaintOptionNames)
        .Default(TVTPaintOptions::FromBits(DefaultPaintOptions)),
    Property<&O::SelectionOptions, &O::SetSelectionOptions>("SelectionOptions", SelectionOptionNames)
        .Default(TVTSelectionOptions{}),
});

template <int I>
TPropInfo ColorProperty(const char* Name) {
  return Property<&TVTColors::IndexedColor<I>, &TVTColors::SetIndexedColor<I>>(Name, pkColor)
      .Default(TVTColors::DefaultColor(I));
}

const TPublishedRegistration colorsRegistration(&TVTColors::ClassInfo, {
    ColorProperty<TVTColors::BorderColorIndex>("BorderColor"),
    ColorProperty<TVTColors::DisabledColorIndex>("DisabledColor"),
    ColorProperty<TVTColors::DropMarkColorIndex>("DropMarkColor"),
    ColorProperty<TVTColors::DropTargetColorIndex>("DropTargetColor"),
    ColorProperty<TVTColors::DropTargetBorderColorIndex>("DropTargetBorderColor"),
    ColorProperty<TVTColors::FocusedSelectionColorIndex>("FocusedSelectionColor"),
    ColorProperty<TVTColors::FocusedSelectionBorderColorIndex>("FocusedSelectionBorderColor"),
    ColorProperty<TVTColors::GridLineColorIndex>("GridLineColor"),
    ColorProperty<TVTColors::HeaderHotColorIndex>("HeaderHotColor"),
    ColorProperty<TVTColors::HotColorIndex>("HotColor"),
    ColorProperty<TVTColors::SelectionRectangleBlendColorIndex>("SelectionRectangleBlendColor"),
    ColorProperty<TVTColors::SelectionRectangleBorderColorIndex>("SelectionRectangleBorderColor"),
    ColorProperty<TVTColors::TreeLineColorIndex>("TreeLineColor"),
    ColorProperty<TVTColors::UnfocusedSelectionColorIndex>("UnfocusedSelectionColor"),
    ColorProperty<TVTColors::UnfocusedSelectionBorderColorIndex>("UnfocusedSelectionBorderColor"),
});

using S = TScrollBarOptions;
const TPublishedRegistration scrollBarOptionsRegistration(&TScrollBarOptions::ClassInfo, {
    Property<&S::AlwaysVisible, &S::SetAlwaysVisible>("AlwaysVisible").Default(false),
    Property<&S::HorizontalIncrement, &S::SetHorizontalIncrement>("HorizontalIncrement").Default(20),
    Property<&S::ScrollBars, &S::SetScrollBars>("ScrollBars", ScrollStyleNames).Default(TScrollStyle::ssBoth),
    Property<&S::ScrollBarStyle, &S::SetScrollBarStyle>("ScrollBarStyle", ScrollBarStyleNames)
        .Default(TScrollBarStyle::sbmRegular),
    Property<&S::VerticalIncrement, &S::SetVerticalIncrement>("VerticalIncrement").Default(20),
});

using T = TBaseVirtualTree;
bool BorderStyleStored(TObject* o) { return static_cast<T*>(o)->BorderStyle() != bsSingle; }

const TPublishedRegistration treeRegistration(&TBaseVirtualTree::ClassInfo, {
    Property<&T::AccessibleName, &T::SetAccessibleName>("AccessibleName"),
    Property<&T::Alignment, &T::SetAlignment>("Alignment", AlignmentNames).Default(TAlignment::taLeftJustify),
    Property<&T::AnimationDuration, &T::SetAnimationDuration>("AnimationDuration").Default(200),
    Property<&T::AutoExpandDelay, &T::SetAutoExpandDelay>("AutoExpandDelay").Default(1000),
    Property<&T::AutoScrollDelay, &T::SetAutoScrollDelay>("AutoScrollDelay").Default(1000),
    Property<&T::AutoScrollInterval, &T::SetAutoScrollInterval>("AutoScrollInterval").Default(1),
    StoredWhen(Property<&T::BorderStyle, &T::SetBorderStyle>("BorderStyle", BorderStyleNames), BorderStyleStored),
    Property<&T::Background>("Background"),
    Property<&T::BackgroundOffsetX, &T::SetBackgroundOffsetX>("BackgroundOffsetX").Default(0),
    Property<&T::BackgroundOffsetY, &T::SetBackgroundOffsetY>("BackgroundOffsetY").Default(0),
    Property<&T::BottomSpace, &T::SetBottomSpace>("BottomSpace").Default(0),
    Property<&T::ButtonFillMode, &T::SetButtonFillMode>("ButtonFillMode", ButtonFillModeNames)
        .Default(TVTButtonFillMode::fmTreeColor),
    Property<&T::ButtonStyle, &T::SetButtonStyle>("ButtonStyle", ButtonStyleNames).Default(TVTButtonStyle::bsRectangle),
    Property<&T::ChangeDelay, &T::SetChangeDelay>("ChangeDelay").Default(0),
    Property<&T::CheckImageKind, &T::SetCheckImageKind>("CheckImageKind", CheckImageKindNames)
        .Default(TCheckImageKind::ckSystemDefault),
    Property<&T::ClipboardFormats>("ClipboardFormats"),
    Property<&T::Colors>("Colors"),
    Property<&T::DefaultNodeHeight, &T::SetDefaultNodeHeight>("DefaultNodeHeight").Default(18),
    Property<&T::DefaultPasteMode, &T::SetDefaultPasteMode>("DefaultPasteMode", AttachModeNames)
        .Default(TVTNodeAttachMode::amAddChildLast),
    Property<&T::DragHeight, &T::SetDragHeight>("DragHeight").Default(350),
    Property<&T::DragImageKind, &T::SetDragImageKind>("DragImageKind", DragImageKindNames)
        .Default(TVTDragImageKind::diComplete),
    Property<&T::DragOperations, &T::SetDragOperations>("DragOperations", DragOperationNames)
        .Default(TDragOperations{TDragOperation::doCopy, TDragOperation::doMove}),
    Property<&T::DragType, &T::SetDragType>("DragType", DragTypeNames).Default(TVTDragType::dtOLE),
    Property<&T::DragWidth, &T::SetDragWidth>("DragWidth").Default(200),
    Property<&T::DrawSelectionMode, &T::SetDrawSelectionMode>("DrawSelectionMode", DrawSelectionModeNames)
        .Default(TVTDrawSelectionMode::smDottedRectangle),
    Property<&T::EditDelay, &T::SetEditDelay>("EditDelay").Default(1000),
    Property<&T::Header>("Header"),
    Property<&T::HintAnimation, &T::SetHintAnimation>("HintAnimation", HintAnimationNames)
        .Default(THintAnimationType::hatSystemDefault),
    Property<&T::HintMode, &T::SetHintMode>("HintMode", HintModeNames).Default(TVTHintMode::hmDefault),
    Property<&T::HotCursor, &T::SetHotCursor>("HotCursor", pkCursor).Default(0),
    Property<&T::Images, &T::SetImages>("Images"),
    Property<&T::Indent, &T::SetIndent>("Indent").Default(18),
    Property<&T::LineMode, &T::SetLineMode>("LineMode", LineModeNames).Default(TVTLineMode::lmNormal),
    Property<&T::LineStyle, &T::SetLineStyle>("LineStyle", LineStyleNames).Default(TVTLineStyle::lsDotted),
    Property<&T::Margin, &T::SetMargin>("Margin").Default(4),
    Property<&T::NodeAlignment, &T::SetNodeAlignment>("NodeAlignment", NodeAlignmentNames)
        .Default(TVTNodeAlignment::naProportional),
    Property<&T::NodeDataSize, &T::SetNodeDataSize>("NodeDataSize").Default(-1),
    Property<&T::RootNodeCount, &T::SetRootNodeCount>("RootNodeCount").Default(0),
    Property<&T::ScrollBarOptions>("ScrollBarOptions"),
    Property<&T::SelectionBlendFactor, &T::SetSelectionBlendFactor>("SelectionBlendFactor").Default(128),
    Property<&T::SelectionCurveRadius, &T::SetSelectionCurveRadius>("SelectionCurveRadius").Default(0),
    Property<&T::StateImages, &T::SetStateImages>("StateImages"),
    Property<&T::TextMargin, &T::SetTextMargin>("TextMargin").Default(4),
    Property<&T::TreeOptions>("TreeOptions"),
});

const TEnumInfo StringOptionNames{"TVTStringOption", {"toSaveCaptions", "toShowStaticText", "toAutoAcceptEditChange"}};

using SO = TCustomStringTreeOptions;
const TPublishedRegistration stringOptionsRegistration(&TCustomStringTreeOptions::ClassInfo, {
    Property<&SO::StringOptions, &SO::SetStringOptions>("StringOptions", StringOptionNames)
        .Default(TVTStringOptions::FromBits(DefaultStringOptions)),
});
const TPublishedRegistration stringTreeOptionsRegistration(&TStringTreeOptions::ClassInfo, {});

// DefaultText travels as the defined property "WideDefaultText".
using ST = TCustomVirtualStringTree;
const TPublishedRegistration stringTreeRegistration(&TCustomVirtualStringTree::ClassInfo, {
    Event<&ST::OnGetText>("OnGetText"),
    Event<&ST::OnNewText>("OnNewText"),
    Event<&ST::OnPaintText>("OnPaintText"),
    Event<&ST::OnGetHint>("OnGetHint"),
    Event<&ST::OnShortenString>("OnShortenString"),
    Event<&ST::OnMeasureTextWidth>("OnMeasureTextWidth"),
    Event<&ST::OnDrawText>("OnDrawText"),
});
const TPublishedRegistration virtualStringTreeRegistration(&TVirtualStringTree::ClassInfo, {});
const TPublishedRegistration drawTreeRegistration(&TCustomVirtualDrawTree::ClassInfo, {});
}  // namespace
