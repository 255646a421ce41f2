// Item controls: how a link shows on one bar window.
#pragma once

#include "platform/Object.h"
#include "platform/Win32.h"
#include "platform/Graphics.h"

#include <cstdint>

class TBitmap;
class TcxBitmap;
class TCustomImageList;
class TCustomdxBarControl;
class TdxBarItemLink;

// The glyph an item control rendered last, kept while the state, the
// source bitmap and the image list it came from stay the same.
class TdxCachedImageOptions : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TdxCachedImageOptions();
  ~TdxCachedImageOptions() override;

  // Renders the bitmap (else the image list's entry) in the draw mode over
  // the background colour (clNone: left clear) into a bitmap the size of
  // the rectangle, and records where it came from.
  void StoreImage(const RECT& r, TBitmap* source, uint8_t mode, int imageIndex, int stateFlag,
                  TCustomImageList* images, TColor background);
  // Valid, made with the same state flag from the same bitmap (or, without
  // a bitmap, the same image list), and not empty.
  bool MatchesImage(int stateFlag, TBitmap* source, TCustomImageList* images) const;
  void Invalidate() { FValid = false; }
  bool Valid() const { return FValid; }
  TcxBitmap* Glyph() const { return FGlyph; }

private:
  bool FValid = false;
  TcxBitmap* FGlyph;
  int FStateFlag = 0;
  TCustomImageList* FImages = nullptr;
  TBitmap* FSource = nullptr;
};

// One link shown on one bar window, with its view levels, parts, hot
// tracking, clicks and hints. What its item and link tell it are the
// notifications below; the base takes them without drawing anything yet.
class TdxBarItemControl : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TdxBarItemControl();
  ~TdxBarItemControl() override;
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
  virtual void ResetImageCache(bool widths);
  TdxCachedImageOptions* CachedImage() const { return FCachedImage; }
  // The keyboard and the mouse may select it.
  virtual bool CanSelect() const { return true; }
  // Drawn as the selected one.
  virtual bool IsDrawnSelected() const { return false; }
  // An in-place edit being typed in, or a sub-item whose menu is open.
  virtual bool IsActive() const { return false; }

private:
  TdxBarItemLink* FItemLink = nullptr;
  TdxCachedImageOptions* FCachedImage;
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
