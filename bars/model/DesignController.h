// The design controller: selection and editing of bars, links and items in
// design and customizing mode, the editors of the commands that add items
// and the design helpers of the bar windows.
#pragma once

#include "platform/Object.h"

#include <cstddef>
#include <utility>
#include <vector>

class TdxBarItemLink;

class TdxBarDesignController : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // The editor classes, in the order they were added (duplicates ignored).
  void RegisterEditor(TClass editorClass);
  int EditorCount() const { return static_cast<int>(FEditors.size()); }
  TClass EditorAt(int index) const { return FEditors[static_cast<size_t>(index)]; }
  // The design helper of a bar-window class; a later pair for the same
  // class replaces the earlier one.
  void RegisterDesignHelper(TClass controlClass, TClass helperClass);
  TClass DesignHelperOf(TClass controlClass) const;
  int DesignHelperCount() const { return static_cast<int>(FHelpers.size()); }
  // Whether a quick-customizing bar is shown.
  bool IsQuickCustomizing() const { return FQuickCustomizing; }

  // The link selected in a bar window, the link last selected, and the
  // link whose settings a link command copies onto others.
  TdxBarItemLink* SelectedLink() const { return FSelectedLink; }
  void SetSelectedLink(TdxBarItemLink* value) { FSelectedLink = value; }
  TdxBarItemLink* LastSelected() const { return FLastSelected; }
  void SyncLastSelected() { FLastSelected = FSelectedLink; }
  TdxBarItemLink* CustomizedLink() const { return FCustomizedLink; }
  void SetCustomizedLink(TdxBarItemLink* value) { FCustomizedLink = value; }
  bool IsLinkCustomized() const { return FCustomizedLink != nullptr; }
  // Forgets a link that goes.
  void LinkFreed(TdxBarItemLink* link);

protected:
  bool FQuickCustomizing = false;
  TdxBarItemLink* FSelectedLink = nullptr;
  TdxBarItemLink* FLastSelected = nullptr;
  TdxBarItemLink* FCustomizedLink = nullptr;

private:
  std::vector<TClass> FEditors;
  std::vector<std::pair<TClass, TClass>> FHelpers;
};

// The editor of the command that adds a sub-item.
class TdxAddSubItemEditor : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

// The editor of the command that adds a button.
class TdxAddButtonEditor : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

// The editor of the command that adds items of any registered class.
class TdxItemsEditorEx : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

// Design helpers: what selection and dragging in design mode ask of a
// toolbar, a submenu and the application menu.
class TdxBarControlDesignHelper : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

class TdxBarSubMenuControlDesignHelper : public TdxBarControlDesignHelper {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

class TdxBarApplicationMenuControlDesignHelper : public TdxBarSubMenuControlDesignHelper {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};
