// Dock sites: the four edges of a form and placed docks.
#pragma once

#include "platform/Control.h"

// A dock site that lays out toolbars in rows and columns.
class TdxDockControl : public TCustomControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomControl::TCustomControl;
};

// A dock placed on a form by the program.
class TdxBarDockControl : public TdxDockControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxDockControl::TdxDockControl;
};
