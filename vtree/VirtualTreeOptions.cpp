#include "vtree/VirtualTreeOptions.h"

#include "vtree/VirtualTree.h"

#include <cstring>

const TClassInfo TCustomVirtualTreeOptions::ClassInfo{
    "TCustomVirtualTreeOptions", &TPersistent::ClassInfo,
    [](TObject* owner) -> TObject* { return new TCustomVirtualTreeOptions(static_cast<TBaseVirtualTree*>(owner)); }};
const TClassInfo TCustomStringTreeOptions::ClassInfo{
    "TCustomStringTreeOptions", &TCustomVirtualTreeOptions::ClassInfo,
    [](TObject* owner) -> TObject* { return new TCustomStringTreeOptions(static_cast<TBaseVirtualTree*>(owner)); }};
const TClassInfo TStringTreeOptions::ClassInfo{
    "TStringTreeOptions", &TCustomStringTreeOptions::ClassInfo,
    [](TObject* owner) -> TObject* { return new TStringTreeOptions(static_cast<TBaseVirtualTree*>(owner)); }};

TCustomVirtualTreeOptions::TCustomVirtualTreeOptions(TBaseVirtualTree* AOwner)
    : FOwner(AOwner),
      FPaintOptions(TVTPaintOptions::FromBits(DefaultPaintOptions)),
      FAutoOptions(TVTAutoOptions::FromBits(DefaultAutoOptions)),
      FMiscOptions(TVTMiscOptions::FromBits(DefaultMiscOptions)) {}

void TCustomVirtualTreeOptions::SetAnimationOptions(const TVTAnimationOptions& Value) { FAnimationOptions = Value; }

// Repainting for toAutoSpanColumns, toCheckSupport and the paint switches
// belongs to the tree's window.
void TCustomVirtualTreeOptions::SetAutoOptions(const TVTAutoOptions& Value) { FAutoOptions = Value; }
void TCustomVirtualTreeOptions::SetMiscOptions(const TVTMiscOptions& Value) {
  const bool dropChanged = FMiscOptions.Contains(TVTMiscOption::toAcceptOLEDrop) !=
                           Value.Contains(TVTMiscOption::toAcceptOLEDrop);
  FMiscOptions = Value;
  if (dropChanged && FOwner && !FOwner->IsLoading())
    FOwner->UpdateDropRegistration(Value.Contains(TVTMiscOption::toAcceptOLEDrop));
}

void TCustomVirtualTreeOptions::SetPaintOptions(const TVTPaintOptions& Value) {
  if (FPaintOptions == Value) return;
  const bool hiddenChanged = FPaintOptions.Contains(TVTPaintOption::toShowHiddenNodes) !=
                             Value.Contains(TVTPaintOption::toShowHiddenNodes);
  FPaintOptions = Value;
  // Filtered nodes count as shown or hidden by this switch: heights and the
  // visible count are recomputed from the nodes, whatever nesting of filtered
  // nodes and collapsed parents there is.
  if (hiddenChanged && FOwner && !FOwner->IsLoading()) FOwner->OptionsChanged();
}

void TCustomVirtualTreeOptions::SetSelectionOptions(const TVTSelectionOptions& Value) {
  // FIXME: clearing the selection on a change of toMultiSelect or the select
  // constraints comes with the selection.
  FSelectionOptions = Value;
}

void TCustomVirtualTreeOptions::AssignTo(TPersistent* Dest) {
  auto* other = ObjectAs<TCustomVirtualTreeOptions>(Dest);
  if (!other) return TPersistent::AssignTo(Dest);
  other->SetPaintOptions(FPaintOptions);
  other->SetAnimationOptions(FAnimationOptions);
  other->SetAutoOptions(FAutoOptions);
  other->SetSelectionOptions(FSelectionOptions);
  other->SetMiscOptions(FMiscOptions);
}

namespace {
enum class LegacySet { Animation, Auto, Selection, Paint, Misc };
struct LegacyOption {
  const char* Name;
  LegacySet Set;
  int Member;
};
const LegacyOption LegacyOptions[] = {
    {"voAnimatedToggle", LegacySet::Animation, static_cast<int>(TVTAnimationOption::toAnimatedToggle)},
    {"voAutoDropExpand", LegacySet::Auto, static_cast<int>(TVTAutoOption::toAutoDropExpand)},
    {"voAutoExpand", LegacySet::Auto, static_cast<int>(TVTAutoOption::toAutoExpand)},
    {"voAutoScroll", LegacySet::Auto, static_cast<int>(TVTAutoOption::toAutoScroll)},
    {"voAutoSort", LegacySet::Auto, static_cast<int>(TVTAutoOption::toAutoSort)},
    {"voAutoSpanColumns", LegacySet::Auto, static_cast<int>(TVTAutoOption::toAutoSpanColumns)},
    {"voAutoTristateTracking", LegacySet::Auto, static_cast<int>(TVTAutoOption::toAutoTristateTracking)},
    {"voDisableDrawSelection", LegacySet::Selection, static_cast<int>(TVTSelectionOption::toDisableDrawSelection)},
    {"voExtendedFocus", LegacySet::Selection, static_cast<int>(TVTSelectionOption::toExtendedFocus)},
    {"voFullRowSelect", LegacySet::Selection, static_cast<int>(TVTSelectionOption::toFullRowSelect)},
    {"voLevelSelectConstraint", LegacySet::Selection, static_cast<int>(TVTSelectionOption::toLevelSelectConstraint)},
    {"voMiddleClickSelect", LegacySet::Selection, static_cast<int>(TVTSelectionOption::toMiddleClickSelect)},
    {"voMultiSelect", LegacySet::Selection, static_cast<int>(TVTSelectionOption::toMultiSelect)},
    {"voRightClickSelect", LegacySet::Selection, static_cast<int>(TVTSelectionOption::toRightClickSelect)},
    {"voSiblingSelectConstraint", LegacySet::Selection, static_cast<int>(TVTSelectionOption::toSiblingSelectConstraint)},
    {"voHideFocusRect", LegacySet::Paint, static_cast<int>(TVTPaintOption::toHideFocusRect)},
    {"voHideSelection", LegacySet::Paint, static_cast<int>(TVTPaintOption::toHideSelection)},
    {"voHotTrack", LegacySet::Paint, static_cast<int>(TVTPaintOption::toHotTrack)},
    {"voPopupMode", LegacySet::Paint, static_cast<int>(TVTPaintOption::toPopupMode)},
    {"voShowBackground", LegacySet::Paint, static_cast<int>(TVTPaintOption::toShowBackground)},
    {"voShowButtons", LegacySet::Paint, static_cast<int>(TVTPaintOption::toShowButtons)},
    {"voShowDropmark", LegacySet::Paint, static_cast<int>(TVTPaintOption::toShowDropmark)},
    {"voShowHorzGridLines", LegacySet::Paint, static_cast<int>(TVTPaintOption::toShowHorzGridLines)},
    {"voShowRoot", LegacySet::Paint, static_cast<int>(TVTPaintOption::toShowRoot)},
    {"voShowTreeLines", LegacySet::Paint, static_cast<int>(TVTPaintOption::toShowTreeLines)},
    {"voShowVertGridLines", LegacySet::Paint, static_cast<int>(TVTPaintOption::toShowVertGridLines)},
    {"voAcceptOLEDrop", LegacySet::Misc, static_cast<int>(TVTMiscOption::toAcceptOLEDrop)},
    {"voCheckSupport", LegacySet::Misc, static_cast<int>(TVTMiscOption::toCheckSupport)},
    {"voEditable", LegacySet::Misc, static_cast<int>(TVTMiscOption::toEditable)},
    {"voGridExtensions", LegacySet::Misc, static_cast<int>(TVTMiscOption::toGridExtensions)},
    {"voInitOnSave", LegacySet::Misc, static_cast<int>(TVTMiscOption::toInitOnSave)},
    {"voToggleOnDblClick", LegacySet::Misc, static_cast<int>(TVTMiscOption::toToggleOnDblClick)},
};
}  // namespace

void TCustomVirtualTreeOptions::ReadLegacyOptions(const std::vector<std::string>& Names) {
  TVTAnimationOptions animation;
  TVTAutoOptions autoOptions;
  TVTSelectionOptions selection;
  TVTPaintOptions paint;
  TVTMiscOptions misc;
  for (const std::string& name : Names) {
    for (const LegacyOption& option : LegacyOptions) {
      if (name != option.Name) continue;
      switch (option.Set) {
        case LegacySet::Animation: animation.Include(static_cast<TVTAnimationOption>(option.Member)); break;
        case LegacySet::Auto: autoOptions.Include(static_cast<TVTAutoOption>(option.Member)); break;
        case LegacySet::Selection: selection.Include(static_cast<TVTSelectionOption>(option.Member)); break;
        case LegacySet::Paint: paint.Include(static_cast<TVTPaintOption>(option.Member)); break;
        case LegacySet::Misc: misc.Include(static_cast<TVTMiscOption>(option.Member)); break;
      }
    }
  }
  SetAnimationOptions(animation);
  SetAutoOptions(autoOptions);
  SetMiscOptions(misc);
  SetPaintOptions(paint);
  SetSelectionOptions(selection);
}

TCustomStringTreeOptions::TCustomStringTreeOptions(TBaseVirtualTree* AOwner)
    : TCustomVirtualTreeOptions(AOwner), FStringOptions(TVTStringOptions::FromBits(DefaultStringOptions)) {}

// Showing static text is a repaint, which belongs to the tree's window.
void TCustomStringTreeOptions::SetStringOptions(const TVTStringOptions& Value) { FStringOptions = Value; }

void TCustomStringTreeOptions::AssignTo(TPersistent* Dest) {
  if (auto* other = ObjectAs<TCustomStringTreeOptions>(Dest)) other->SetStringOptions(FStringOptions);
  TCustomVirtualTreeOptions::AssignTo(Dest);
}
