// Popup menus.
#pragma once

#include "bars/model/BarComponents.h"

// The base of popup menus: links shown at a point with their own message loop.
class TdxBarCustomPopupMenu : public TdxBarComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarComponent::TdxBarComponent;
};

// A context or drop-down menu of a manager.
class TdxBarPopupMenu : public TdxBarCustomPopupMenu {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarCustomPopupMenu::TdxBarCustomPopupMenu;
};
