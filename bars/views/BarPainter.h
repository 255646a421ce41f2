// The bar painters: every bar window draws through the painter of its manager's style.
#pragma once

#include "platform/Object.h"

// The painters' base: the ordered drawing and metric operations of bar windows and item controls.
class TdxBarPainter : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

// The Standard style.
class TdxBarStandardPainter : public TdxBarPainter {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

// The Enhanced style, the default one.
class TdxBarEnhancedPainter : public TdxBarStandardPainter {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

// The Flat style; the XP style also draws check signs, floating frames and list entries with it.
class TdxBarFlatPainter : public TdxBarPainter {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

// The Office11 style, with its gradients and rounded toolbars.
class TdxBarOffice11Painter : public TdxBarFlatPainter {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

// The XP style, drawn through the visual-style theme parts.
class TdxBarXPPainter : public TdxBarFlatPainter {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};
