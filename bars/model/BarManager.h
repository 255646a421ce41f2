// The bar manager: one per form, owning the form's bars, items and
// categories, with its options, fonts, images and painter style.
#pragma once

#include "platform/Component.h"

class TWinControl;
class TdxBars;

class TdxBarManager : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarManager(TComponent* AOwner);
  ~TdxBarManager() override;

  bool IsDesigning() const { return ComponentState().Contains(csDesigning); }
  // Whether the user is customizing the bars at run time.
  bool IsCustomizing() const { return FIsCustomizing; }
  // The windowed control the manager serves: its owner when that is one.
  TWinControl* OwnerControl() const;
  TdxBars* Bars() const { return FBars; }

protected:
  bool FIsCustomizing = false;
  TdxBars* FBars;
};
