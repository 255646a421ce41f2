// The tree's behaviour switches: six option sets and the export mode, held by
// one persistent object the tree owns and publishes as TreeOptions.
#pragma once

#include "platform/Persistent.h"
#include "platform/Set.h"

#include <cstdint>
#include <string>
#include <vector>

class TBaseVirtualTree;

// Each set is stored in member order: bit n is the n-th member, so the
// numbers forms hold and the defaults below read as written.
enum class TVTPaintOption {
  toHideFocusRect, toHideSelection, toHotTrack, toPopupMode, toShowBackground, toShowButtons,
  toShowDropmark, toShowHorzGridLines, toShowRoot, toShowTreeLines, toShowVertGridLines, toThemeAware,
  toUseBlendedImages, toGhostedIfUnfocused, toFullVertGridLines, toAlwaysHideSelection,
  toUseBlendedSelection, toStaticBackground, toChildrenAbove, toFixedIndent, toUseExplorerTheme,
  toHideTreeLinesIfThemed, toShowHiddenNodes
};
using TVTPaintOptions = TSet<TVTPaintOption, 32>;

enum class TVTAnimationOption { toAnimatedToggle, toAdvancedAnimatedToggle };
using TVTAnimationOptions = TSet<TVTAnimationOption, 32>;

enum class TVTAutoOption {
  toAutoDropExpand, toAutoExpand, toAutoScroll, toAutoScrollOnExpand, toAutoSort, toAutoSpanColumns,
  toAutoTristateTracking, toAutoHideButtons, toAutoDeleteMovedNodes, toDisableAutoscrollOnFocus,
  toAutoChangeScale, toAutoFreeOnCollapse, toDisableAutoscrollOnEdit, toAutoBidiColumnOrdering
};
using TVTAutoOptions = TSet<TVTAutoOption, 32>;

enum class TVTSelectionOption {
  toDisableDrawSelection, toExtendedFocus, toFullRowSelect, toLevelSelectConstraint,
  toMiddleClickSelect, toMultiSelect, toRightClickSelect, toSiblingSelectConstraint,
  toCenterScrollIntoView, toSimpleDrawSelection
};
using TVTSelectionOptions = TSet<TVTSelectionOption, 32>;

enum class TVTMiscOption {
  toAcceptOLEDrop, toCheckSupport, toEditable, toFullRepaintOnResize, toGridExtensions, toInitOnSave,
  toReportMode, toToggleOnDblClick, toWheelPanning, toReadOnly, toVariableNodeHeight, toFullRowDrag,
  toNodeHeightResize, toNodeHeightDblClickResize, toEditOnClick, toEditOnDblClick
};
using TVTMiscOptions = TSet<TVTMiscOption, 32>;

enum class TVTStringOption { toSaveCaptions, toShowStaticText, toAutoAcceptEditChange };
using TVTStringOptions = TSet<TVTStringOption, 32>;

enum class TVTExportMode { emAll, emChecked, emUnchecked };

// Defaults of a new options object, as bit patterns in member order.
constexpr unsigned DefaultPaintOptions = 0x1B60;
constexpr unsigned DefaultAutoOptions = 0x0149;
constexpr unsigned DefaultMiscOptions = 0x41A9;
constexpr unsigned DefaultStringOptions = 0x05;

// The options object of every tree. Setters react at once where a switch
// changes what the tree shows or holds; the tree asks it on every operation.
class TCustomVirtualTreeOptions : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TCustomVirtualTreeOptions(TBaseVirtualTree* AOwner);

  TBaseVirtualTree* Owner() const { return FOwner; }

  const TVTPaintOptions& PaintOptions() const { return FPaintOptions; }
  const TVTAnimationOptions& AnimationOptions() const { return FAnimationOptions; }
  const TVTAutoOptions& AutoOptions() const { return FAutoOptions; }
  const TVTSelectionOptions& SelectionOptions() const { return FSelectionOptions; }
  const TVTMiscOptions& MiscOptions() const { return FMiscOptions; }
  TVTExportMode ExportMode() const { return FExportMode; }

  void SetPaintOptions(const TVTPaintOptions& Value);
  void SetAnimationOptions(const TVTAnimationOptions& Value);
  void SetAutoOptions(const TVTAutoOptions& Value);
  void SetSelectionOptions(const TVTSelectionOptions& Value);
  void SetMiscOptions(const TVTMiscOptions& Value);
  void SetExportMode(TVTExportMode Value) { FExportMode = Value; }

  // Forms written before the options were split into sets hold one list of
  // "vo" names; each known name sets the "to" option of the same name in its
  // set, every set being cleared first. Unknown names are ignored.
  void ReadLegacyOptions(const std::vector<std::string>& Names);

protected:
  void AssignTo(TPersistent* Dest) override;

private:
  TBaseVirtualTree* FOwner;
  TVTPaintOptions FPaintOptions;
  TVTAnimationOptions FAnimationOptions;
  TVTAutoOptions FAutoOptions;
  TVTSelectionOptions FSelectionOptions;
  TVTMiscOptions FMiscOptions;
  TVTExportMode FExportMode = TVTExportMode::emAll;
};

// The options of a tree that shows text: one more set.
class TCustomStringTreeOptions : public TCustomVirtualTreeOptions {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TCustomStringTreeOptions(TBaseVirtualTree* AOwner);

  const TVTStringOptions& StringOptions() const { return FStringOptions; }
  void SetStringOptions(const TVTStringOptions& Value);

protected:
  void AssignTo(TPersistent* Dest) override;

private:
  TVTStringOptions FStringOptions;
};

// The published options of the string tree.
class TStringTreeOptions : public TCustomStringTreeOptions {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomStringTreeOptions::TCustomStringTreeOptions;
};
