// Dock sites: the four edges of a form and placed docks.
#pragma once

#include "bars/model/DockingStyles.h"
#include "platform/Control.h"

class TdxBar;

// A dock site that lays out toolbars in rows and columns.
class TdxDockControl : public TCustomControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomControl::TCustomControl;
  // The edge of one of a manager's four own docks; dsNone for a dock placed
  // on a form.
  TdxBarDockingStyle StoredDockingStyle() const { return FDockingStyle; }
  void SetStoredDockingStyle(TdxBarDockingStyle value) { FDockingStyle = value; }
  // One of a manager's own four docks.
  bool IsManagerDock() const { return FDockingStyle != dsNone; }
  bool AllowDocking() const { return FAllowDocking; }
  void SetAllowDocking(bool value) { FAllowDocking = value; }
  // The dock's own word on whether a dragged bar may dock here.
  virtual bool AllowsDocking(TdxBar* bar) const {
    (void)bar;
    return FAllowDocking;
  }
  // Lays its rows out again (the end of a manager-wide update).
  virtual void UpdateLayout() {}

private:
  TdxBarDockingStyle FDockingStyle = dsNone;
  bool FAllowDocking = true;
};

// A dock placed on a form by the program.
class TdxBarDockControl : public TdxDockControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxDockControl::TdxDockControl;
};
