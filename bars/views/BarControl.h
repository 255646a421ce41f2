// The bar windows: the base, toolbars, submenus and the application menu.
#pragma once

#include "platform/Control.h"

class IdxBarAccessibilityHelper;
class TdxBarItemControl;
class TdxBarItemLinks;
class TdxBarManager;

// The base of bar windows: item controls built from links, laid out, tracked and drawn.
class TCustomdxBarControl : public TCustomControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomControl::TCustomControl;
  ~TCustomdxBarControl() override;
  // The manager whose bars this window shows.
  TdxBarManager* OwnerBarManager() const { return FOwnerBarManager; }
  // The bar window that opened this one, null for a root.
  TCustomdxBarControl* ParentBar() const { return FParentBar; }
  // A detached submenu keeps no chain to the bar that opened it.
  virtual bool IsDetachedKind() const { return false; }

  // The links the window shows, and the object that owns them.
  TdxBarItemLinks* ItemLinks() const { return FItemLinks; }
  void SetItemLinks(TdxBarItemLinks* value) { FItemLinks = value; }
  TObject* LinksOwnerObject() const;
  // 0 a toolbar, 1 the quick-customizing popup, 2 a submenu.
  virtual int ControlKind() const { return 0; }
  // Holds the menu or keyboard mode.
  virtual bool IsActive() const { return false; }
  // Vertical toolbars draw their texts rotated.
  virtual bool IsTextRotated() const { return false; }
  // Makes the item controls again and lays them out (now, or at the next
  // chance).
  virtual void RebuildItems() { ++FRebuildCount; }
  virtual void ScheduleRebuild() { ++FRebuildCount; }
  virtual void BuildControls() { ++FRebuildCount; }
  virtual void SetSelectedControl(TdxBarItemControl* control) { FSelectedControl = control; }
  TdxBarItemControl* SelectedControl() const { return FSelectedControl; }
  int RebuildCount() const { return FRebuildCount; }
  // The window's helper, made on first demand of the class below.
  IdxBarAccessibilityHelper* AcquireAccessibilityHelper();
  virtual TClass AccessibilityHelperClass() const;

protected:
  IdxBarAccessibilityHelper* FAccessibilityHelper = nullptr;
  TdxBarManager* FOwnerBarManager = nullptr;
  TCustomdxBarControl* FParentBar = nullptr;
  TdxBarItemLinks* FItemLinks = nullptr;
  TdxBarItemControl* FSelectedControl = nullptr;
  int FRebuildCount = 0;
};

// The window of a toolbar or menu bar, docked or floating.
class TdxBarControl : public TCustomdxBarControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomdxBarControl::TCustomdxBarControl;
};

// The popup window of a submenu.
class TdxBarSubMenuControl : public TCustomdxBarControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomdxBarControl::TCustomdxBarControl;
  int ControlKind() const override { return 2; }
};

// The popup window of the application menu.
class TdxBarApplicationMenuControl : public TdxBarSubMenuControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarSubMenuControl::TdxBarSubMenuControl;
};
