// The application menu's items and its row of buttons.
#pragma once

#include "bars/model/ItemKinds.h"
#include "bars/model/SubItems.h"
#include "platform/Collection.h"

// The recent-documents list of the application menu's extra pane.
class TdxBarExtraPaneListItem : public TdxBarListItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarListItem::TdxBarListItem;
};

// The item behind a button of the application menu's button row.
class TdxBarApplicationMenuButtonItem : public TdxBarButton {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarButton::TdxBarButton;
};

// The item that lists a bar's links for a quick-access toolbar.
class TdxBarQuickAccessItem : public TCustomdxBarSubItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomdxBarSubItem::TCustomdxBarSubItem;
};

// The buttons of the application menu's button row.
class TdxBarApplicationMenuButtons : public TCollection {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TdxBarApplicationMenuButtons();
};

// One button of the application menu's button row.
class TdxBarApplicationMenuButton : public TCollectionItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCollectionItem::TCollectionItem;
};
