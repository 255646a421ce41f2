// The keyboard navigation controller.
#pragma once

#include "platform/Object.h"

class IdxBarAccessibilityHelper;

// Moves the keyboard selection through bars and menus and shows key tips.
class TdxBarNavigationController : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  // The helper of the object the keyboard has selected, or null.
  IdxBarAccessibilityHelper* SelectedObject() const { return FSelectedObject; }
  void SetSelectedObject(IdxBarAccessibilityHelper* value) { FSelectedObject = value; }

private:
  IdxBarAccessibilityHelper* FSelectedObject = nullptr;
};
