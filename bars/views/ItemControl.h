// Item controls: how a link shows on one bar window.
#pragma once

#include "platform/Object.h"

class TCustomdxBarControl;
class TdxBarItemLink;

// One link shown on one bar window, with its view levels, parts, hot
// tracking, clicks and hints. What its item and link tell it are the
// notifications below; the base takes them without drawing anything yet.
class TdxBarItemControl : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TdxBarItemLink* ItemLink() const { return FItemLink; }
  // The bar window that shows the control (the link's host).
  TCustomdxBarControl* Parent() const;
  void AttachToLink(TdxBarItemLink* link) { FItemLink = link; }

  // The item's and the link's changes.
  virtual void Changed() {}
  virtual void EnabledChanged() {}
  virtual void GlyphChanged() {}
  virtual void LargeGlyphChanged() {}
  virtual void WidthChanged() {}
  virtual void PaintStyleChanged() {}
  virtual void VisibilityChanged() {}
  virtual void AuxChanged() {}
  virtual void RefreshDrawState() {}
  virtual void RefreshStyleResourcesWithFont() {}
  virtual void UpdateDrawState() {}
  virtual void RebuildParent() {}
  virtual void Repaint() {}
  // Drops the cached image (and with `widths` the measured widths).
  virtual void ResetImageCache(bool widths) { (void)widths; }
  // The keyboard and the mouse may select it.
  virtual bool CanSelect() const { return true; }
  // Drawn as the selected one.
  virtual bool IsDrawnSelected() const { return false; }
  // An in-place edit being typed in, or a sub-item whose menu is open.
  virtual bool IsActive() const { return false; }

private:
  TdxBarItemLink* FItemLink = nullptr;
};

// The base of controls that click like buttons.
class TdxBarButtonLikeControl : public TdxBarItemControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

// A button.
class TdxBarButtonControl : public TdxBarButtonLikeControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

// A sub-item that opens its menu.
class TdxBarSubItemControl : public TdxBarButtonLikeControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

// The system menu of a maximized MDI child.
class TSystemMenuSubItemControl : public TdxBarSubItemControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

// A button of the application menu's button row.
class TdxBarApplicationMenuButtonControl : public TdxBarButtonControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

// The quick-customizing popup's button that opens the customizing window.
class TdxBarQuickCustExtButtonControl : public TdxBarButtonControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

// One link to show or hide in the quick-customizing popup.
class TdxBarQuickCustItemControl : public TdxBarButtonControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

// The base of controls that edit in place.
class TdxBarWinControl : public TdxBarItemControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

// An edit.
class TdxBarEditControl : public TdxBarWinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

// The base of combo controls.
class TCustomdxBarComboControl : public TdxBarEditControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

// A combo with its drop-down list.
class TdxBarComboControl : public TCustomdxBarComboControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

// A container or list item, shown as the links it generates.
class TdxBarContainerItemControl : public TdxBarItemControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

// A label.
class TdxBarCustomStaticControl : public TdxBarItemControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

// A separator.
class TdxBarSeparatorControl : public TdxBarItemControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};
