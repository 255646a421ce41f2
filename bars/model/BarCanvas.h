// The bar windows' shared drawing canvas and the drag record.
#pragma once

#include "foundation/Canvas.h"

// The one canvas every bar window draws with: a device context is lent to
// it for each painting.
class TdxBarCanvas : public TcxCanvas {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TdxBarCanvas();
  ~TdxBarCanvas() override;  // frees the canvas it made
};

// What is being dragged between bars, one per manager.
class TdxBarDragInfo : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};
