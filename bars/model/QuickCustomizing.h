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

// What a category keeps beside its name: how its items show, the value
// read while the form loads, and whether the customizing window lists it.
// A category without one shows its items always and is listed.
class TdxBarCategoryData : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TdxBarItemVisible ItemsVisible = ivAlways;
  TdxBarItemVisible LoadedItemsVisible = ivAlways;
  bool Visible = true;
};

// The names of a manager's categories with their data (owned).
class TdxBarManagerCategories : public TStringList {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TdxBarManagerCategories() : TStringList(true) {}
  // Null for a category without data or outside the range.
  TdxBarCategoryData* Data(int index) const;
  // Made when missing; null outside the range.
  TdxBarCategoryData* EnsureData(int index);
};
