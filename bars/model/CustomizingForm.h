// The customizing window and the design editors' entry points.
#pragma once

#include "platform/Object.h"

// The window in which users rearrange toolbars and commands at run time.
class TdxBarCustomizingForm : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};
