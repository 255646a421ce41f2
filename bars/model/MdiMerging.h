// MDI merging: the sub-item that shows a maximized child's system menu.
#pragma once

#include "bars/model/SubItems.h"

// The system menu of a maximized MDI child in the main menu bar.
class TSystemMenuSubItem : public TCustomdxBarSubItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomdxBarSubItem::TCustomdxBarSubItem;
};
