// Sub-menu, container and list items.
#pragma once

#include "bars/model/BarItem.h"

// The base of items that open links of their own.
class TCustomdxBarSubItem : public TdxBarItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarItem::TdxBarItem;
};

// A sub-menu item.
class TdxBarSubItem : public TCustomdxBarSubItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomdxBarSubItem::TCustomdxBarSubItem;
};

// An item that expands into links it generates.
class TdxBarContainerItem : public TCustomdxBarSubItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomdxBarSubItem::TCustomdxBarSubItem;
};

// An item that expands into one link per text of its list.
class TdxBarListItem : public TdxBarContainerItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarContainerItem::TdxBarContainerItem;
};
