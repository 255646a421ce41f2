// The bar windows: the base, toolbars, submenus and the application menu.
#pragma once

#include "platform/Control.h"

class TdxBarManager;

// The base of bar windows: item controls built from links, laid out, tracked and drawn.
class TCustomdxBarControl : public TCustomControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomControl::TCustomControl;
  // The manager whose bars this window shows.
  TdxBarManager* OwnerBarManager() const { return FOwnerBarManager; }
  // The bar window that opened this one, null for a root.
  TCustomdxBarControl* ParentBar() const { return FParentBar; }
  // A detached submenu keeps no chain to the bar that opened it.
  virtual bool IsDetachedKind() const { return false; }

protected:
  TdxBarManager* FOwnerBarManager = nullptr;
  TCustomdxBarControl* FParentBar = nullptr;
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
};

// The popup window of the application menu.
class TdxBarApplicationMenuControl : public TdxBarSubMenuControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarSubMenuControl::TdxBarSubMenuControl;
};
