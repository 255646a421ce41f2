// Quick customizing: the items of the mark's popup, and the manager's categories.
#pragma once

#include "bars/model/ItemKinds.h"
#include "platform/StringList.h"

// The button of the quick-customizing popup that opens the customizing window.
class TdxBarQuickCustExtButton : public TdxBarButton {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarButton::TdxBarButton;
};

// One item of the quick-customizing popup: a link of the bar to show or hide.
class TdxBarQuickCustItem : public TdxBarButton {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarButton::TdxBarButton;
};

// The names of a manager's categories with their visibility.
class TdxBarManagerCategories : public TStringList {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};
