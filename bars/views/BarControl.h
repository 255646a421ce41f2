// The bar windows: the base, toolbars, submenus and the application menu.
#pragma once

#include "platform/Control.h"

// The base of bar windows: item controls built from links, laid out, tracked and drawn.
class TCustomdxBarControl : public TCustomControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomControl::TCustomControl;
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
