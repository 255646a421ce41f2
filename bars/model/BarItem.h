// Bar items: the commands of a bar manager, shown on bars and in menus
// through their links.
#pragma once

#include "bars/model/BarComponents.h"

class TdxBarItem : public TdxBarComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarItem(TComponent* AOwner);

  // The item-control class the registry gives this item's exact class,
  // null when it has no entry of its own.
  TClass ItemControlClass() const;
};
