// The keyboard navigation controller.
#pragma once

#include "platform/Object.h"

// Moves the keyboard selection through bars and menus and shows key tips.
class TdxBarNavigationController : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};
