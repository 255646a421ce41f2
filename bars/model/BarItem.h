// Bar items: the commands of a bar manager, shown on bars and in menus
// through their links.
#pragma once

#include "bars/model/BarComponents.h"

class TdxBarItem : public TdxBarComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarItem(TComponent* AOwner);

  bool GetEnabled() override { return FEnabled; }
  void SetEnabled(bool value) override { FEnabled = value; }
  void SetVisible(int value) override { FVisible = static_cast<TdxBarItemVisible>(value); }
  TdxBarItemVisible Visible() const { return FVisible; }

  // The item-control class the registry gives this item's exact class,
  // null when it has no entry of its own.
  TClass ItemControlClass() const;

protected:
  bool FEnabled = true;
  TdxBarItemVisible FVisible = ivAlways;
};
