// The accessibility helpers of the bar objects.
#pragma once

#include "platform/Object.h"

// Answers accessibility clients for a bar object and finds its keyboard targets.
class TdxBarAccessibilityHelper : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};
