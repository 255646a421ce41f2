// Item controls: how a link shows on one bar window.
#pragma once

#include "bars/model/ItemLinks.h"
#include "platform/Control.h"
#include "platform/Graphics.h"
#include "platform/Object.h"
#include "platform/Win32.h"

#include <cstdint>
#include <vector>

class TBitmap;
class TcxBitmap;
class TcxCanvas;
class TCustomImageList;
class TCustomdxBarControl;
class TdxBarItemControl;
class TdxBarPainter;

// The levels of the view-level layout; ivlDefault is the level of bars
// that assign none.
constexpr int ivlDefault = 4;
// View structure bits.
constexpr unsigned dxBarViewIcon = 0x01, dxBarViewText = 0x02;
// Paint types.
constexpr int dxBarPaintBar = 0, dxBarPaintMenu = 1, dxBarPaintVertical = 2;

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

// What one drawing pass of an item control hands its painter; refilled
// before each measure or draw.
class TdxBarItemControlDrawParams : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarItemControlDrawParams(TdxBarItemControl* control) : BarItemControl(control) {}
  int ViewSize() const { return FViewSize; }
  // A change drops the control's cached image (not its widths).
  void SetViewSize(int value);

  TdxBarItemControl* BarItemControl;
  TcxCanvas* Canvas = nullptr;
  AnsiString Caption, Description, ShortCutText;
  int PaintType = dxBarPaintBar;
  unsigned ViewStructure = 0;
  bool Enabled = true, CanSelect = true, DrawSelected = false, DroppedDown = false, IsDropDown = false;
  int HotPartIndex = -1;
  bool IsCustomizing = false, IsPressed = false, SelectedByKey = false;
  SIZE GlyphAreaSize{0, 0};

private:
  int FViewSize = 0;  // 0 small, 1 large icons, 2 large
};

// The drawing values of buttons and sub-items.
class TdxBarButtonLikeControlDrawParams : public TdxBarItemControlDrawParams {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarItemControlDrawParams::TdxBarItemControlDrawParams;
  bool Down = false, PressedCopy = false, FlatDroppedDown = false, ButtonKind = false, DropDownEnabled = false;
  bool DrawsFrame = false, UsesPartTextColor = false, ExtraState = false, Lowered = false, OnMainMenu = false;
  SIZE ArrowSize{0, 0};
  TdxBarButtonGroupPosition RealPositionInButtonGroup = bgpNone;
};

// The application-menu button adds its width.
class TdxBarApplicationMenuButtonControlDrawParams : public TdxBarButtonLikeControlDrawParams {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarButtonLikeControlDrawParams::TdxBarButtonLikeControlDrawParams;
  int Width = 0;
};

// The layout record of an item control: its levels, bounds and the
// widths measured per level.
class TdxBarItemControlViewInfo : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarItemControlViewInfo(TdxBarItemControl* control);
  ~TdxBarItemControlViewInfo() override;
  TdxBarItemControl* Control() const { return FControl; }
  // Computes the allowed set, the minimal level and the button-group level.
  void Initialize();
  TdxBarItemViewLevels AllowedViewLevels() const { return FAllowedViewLevels; }
  int MinPossibleViewLevel() const { return FMinPossibleViewLevel; }
  int ViewLevelForButtonGroup() const { return FViewLevelForButtonGroup; }
  int ViewLevel() const { return FViewLevel; }
  void SetViewLevel(int value) { FViewLevel = value; }
  const RECT& Bounds() const { return FBounds; }
  void SetBounds(const RECT& r) { FBounds = r; }
  const RECT& ImageBounds() const { return FImageBounds; }
  void SetImageBounds(const RECT& r) { FImageBounds = r; }
  TdxBarButtonGroupPosition RealPositionInButtonGroup() const { return FRealPosition; }
  void SetRealPositionInButtonGroup(TdxBarButtonGroupPosition value) { FRealPosition = value; }
  bool GetButtonGroupFlag() const;
  // The width at a level of the allowed set, measured once and cached.
  int GetWidthForLevel(int level);
  bool WidthCached(int level) const { return level >= 0 && level < 4 && FWidthCache[level].Valid; }
  virtual void ResetWidthCache();

private:
  struct TWidthEntry {
    bool Valid = false;
    int Width = 0;
  };
  TdxBarItemControl* FControl;
  TdxBarItemViewLevels FAllowedViewLevels;
  RECT FBounds{0, 0, 0, 0};
  RECT FImageBounds{0, 0, 0, 0};
  int FMinPossibleViewLevel = 0;
  TdxBarButtonGroupPosition FRealPosition = bgpNone;
  int FViewLevel = ivlDefault;
  int FViewLevelForButtonGroup = 0;
  TWidthEntry FWidthCache[4];
};

// The highest member of a level set (the largest of 3 down to 0), -1 when
// empty.
int dxBarHighestViewLevel(TdxBarItemViewLevels levels);

// One link shown on one bar window: it measures itself per view level and
// paint type, draws through its bar's painter, follows the mouse (hot part)
// and turns a click into the item's click. It is not a window.
class TdxBarItemControl : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TdxBarItemControl();
  ~TdxBarItemControl() override;
  TdxBarItemLink* ItemLink() const { return FItemLink; }
  // The bar window that shows the control (the link's host).
  TCustomdxBarControl* Parent() const { return FParent; }
  // Construction with the link: the view info, the style resources and the
  // first drawing values.
  void AttachToLink(TdxBarItemLink* link);
  TdxBarItem* OwnItem() const { return FItemLink ? FItemLink->Item() : nullptr; }
  TdxBarManager* LinkBarManager() const { return FItemLink ? FItemLink->OwningManager() : nullptr; }
  TdxBarItemControlViewInfo* ViewInfo() const { return FViewInfo; }
  TdxBarItemControlDrawParams* DrawParams() const { return FDrawParams; }
  TdxBarPainter* Painter() const;
  int HotPartIndex() const { return FHotPartIndex; }
  int PartCount() const { return static_cast<int>(FParts.size()); }
  RECT Part(int i) const { return FParts.at(static_cast<size_t>(i)); }
  RECT GetItemRect() const { return FItemLink ? FItemLink->ItemRect() : RECT{0, 0, 0, 0}; }
  HBRUSH BackgroundBrush() const;
  int TextSizeValue() const { return FTextSize; }
  bool Pressed() const { return FPressed; }
  void SetPressed(bool value);
  bool SelectedByMouse() const { return FSelectedByMouse; }
  void SetSelectedByMouse(bool value) { FSelectedByMouse = value; }
  bool NonRecent() const { return FNonRecent; }
  void SetNonRecent(bool value) { FNonRecent = value; }
  // The line height a control asks of its menu (0: the menu's text size).
  virtual int LineHeight() const { return 0; }

  // --- Changes of the item and the link ----------------------------------
  virtual void Changed();
  virtual void EnabledChanged();
  virtual void GlyphChanged();
  virtual void LargeGlyphChanged();
  virtual void WidthChanged();
  virtual void PaintStyleChanged() {}
  virtual void VisibilityChanged();
  virtual void AuxChanged() {}
  virtual void RefreshDrawState();
  virtual void RefreshStyleResourcesWithFont();
  virtual void RefreshStyleResources();
  void UpdateDrawState();
  virtual void RebuildParent();
  virtual void Repaint();
  virtual void PressedChanged();
  // Drops the cached image (and with `widths` the measured widths).
  virtual void ResetImageCache(bool widths);
  TdxCachedImageOptions* CachedImage() const { return FCachedImage; }

  // --- Questions ------------------------------------------------------------
  virtual bool CanSelect() const;
  virtual bool CanSelectByMouse() const { return CanSelect(); }
  virtual bool FiresItemClick() const { return true; }
  virtual bool AllowsChainClose() const { return true; }
  virtual bool ClosesMenusOnClick() const { return true; }
  virtual bool IsDropDown() const { return false; }
  virtual bool IsDroppedDown() const { return false; }
  virtual bool HasOwnWindow() const { return false; }
  virtual bool NeedsCaptureMouse() const { return false; }
  virtual bool WantsKey(WORD) const { return false; }
  virtual bool HasDoubleClickAction() const { return false; }
  virtual bool HandlesDoubleClick() const;
  virtual bool KeepsSelectionOnLeave() const { return IsActive(); }
  virtual bool IsEnabled() const;
  bool WantsMouse() const { return CanSelect() || FiresItemClick(); }
  // Drawn as the selected one.
  bool IsDrawnSelected() const;
  virtual bool GetDrawSelected() const { return IsDrawnSelected(); }
  // An in-place edit being typed in, or a sub-item whose menu is open.
  bool IsActive() const { return FActive; }
  bool IsMouseDownInside() const;
  bool IsRotated() const;
  virtual bool UnclickAfterDoing() const { return true; }

  // --- Mouse and keys (the bar calls them) -----------------------------------
  virtual void DoubleClick() {}
  virtual void KeyDown(WORD& key, TShiftState shift);
  virtual void MouseDown(TMouseButton, TShiftState, int, int) {}
  virtual void MouseUp(TMouseButton, TShiftState, int, int) {}
  virtual void MouseEnter(int x, int y) { UpdateHotPart(POINT{x, y}); }
  virtual void MouseLeave() { UpdateHotPart(POINT{-1, -1}); }
  virtual void MouseMove(int x, int y) { UpdateHotPart(POINT{x, y}); }
  virtual void UpdateHotPart(POINT point);
  int PartAtPoint(POINT point) const;

  // --- Clicks and activation ---------------------------------------------------
  // When enabled: BeforeClick, then (the bar still showing the item) ControlClick.
  virtual void Click(bool byMouse);
  virtual void BeforeClick(bool) {}
  virtual void ControlClick(bool byMouse);
  virtual void ControlActivate(bool) { FActive = true; }
  virtual void ControlInactivate(bool) { FActive = false; }

  // --- Levels and measuring ---------------------------------------------------------
  virtual TdxBarItemViewLevels GetPossibleViewLevels() const;
  TdxBarItemViewLevels PossibleViewLevels() const;
  TdxBarItemViewLevels AllowedViewLevels() const;
  virtual unsigned GetViewStructure() const;
  virtual unsigned GetDefaultViewStructure() const { return 0; }
  virtual int GetDefaultViewSize() const;
  int ViewSizeForLevel(int level) const;
  virtual int GetPaintType() const;
  virtual int GetPartCount() const { return 1; }
  virtual AnsiString GetCaption() const;
  virtual TBitmap* GetGlyph() const;
  virtual int GetImageIndex() const;
  virtual TCustomImageList* GetSmallImageList() const;
  virtual TCustomImageList* GetLargeImageList() const;
  // Whether there is an image at the view size, and which.
  virtual bool GetImageParams(int viewSize, int& index, TCustomImageList*& images, TBitmap*& bitmap) const;
  virtual SIZE GetImageSize(int viewSize) const;
  virtual void PrepareDrawParams(bool withTexts);
  virtual void CalcParts();
  virtual void DrawInterior(const RECT&, int) {}
  virtual int GetCaptionWidth();
  virtual int GetCaptionAreaWidth();
  virtual int GetExtraWidth() { return 0; }
  virtual int GetGlyphAreaWidth();
  virtual int GetTextIndent();
  virtual int GetHeight();
  virtual int GetDefaultWidth();
  virtual int GetMenuWidth();
  virtual int GetMenuHeight();
  virtual int GetMinHeight() { return 1; }
  virtual int GetMinWidth() { return 1; }
  virtual int GetNormalHeight();
  virtual int GetLargeHeight();
  virtual int GetLargeWidth();
  virtual int GetHorizontalHeight();
  virtual int GetHorizontalWidth();
  int CalcWidth();
  int CalcHeight();
  int TextHeight();
  int TextWidth(const AnsiString& text);
  TcxCanvas* PaintCanvas() const;
  // Draws into the canvas (clipped by the caller) for the paint type.
  void DrawTo(TcxCanvas* canvas, const RECT& r, int paintType);

protected:
  virtual TClass DrawParamsClass() const { return &TdxBarItemControlDrawParams::ClassInfo; }
  TdxBarItemControlDrawParams* NewDrawParams() const;
  void ResetHotPart() { FHotPartIndex = -1; }

  TdxBarItemLink* FItemLink = nullptr;
  TCustomdxBarControl* FParent = nullptr;
  TdxCachedImageOptions* FCachedImage;
  TdxBarItemControlDrawParams* FDrawParams = nullptr;
  TdxBarItemControlViewInfo* FViewInfo = nullptr;
  TcxCanvas* FActiveCanvas = nullptr;
  HBRUSH FBackgroundBrush = nullptr;
  bool FActive = false;
  bool FNonRecent = false;
  bool FPressed = false;
  bool FSelectedByMouse = false;
  int FTextSize = 0;
  int FHotPartIndex = -1;
  std::vector<RECT> FParts;
};

// The base of controls that click like buttons; inside menus their
// drop-downs open and close 400 ms after the mouse comes and goes.
class TdxBarButtonLikeControl : public TdxBarItemControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  ~TdxBarButtonLikeControl() override;
  bool ShowAnimation() const { return FShowAnimation; }
  void SetShowAnimation(bool value) { FShowAnimation = value; }
  void ControlActivate(bool immediately) override;
  void ControlInactivate(bool immediately) override;
  bool WantsKey(WORD key) const override;
  void KeyDown(WORD& key, TShiftState shift) override;
  virtual int GetArrowWidth() const;
  virtual bool IsClickable() const;
  virtual void MarkParentPressed(bool byMouse);
  virtual TCustomdxBarControl* GetSubMenuControl() const { return nullptr; }
  virtual bool UsesPartTextColor();
  virtual bool DrawsFrame();
  virtual void CloseUp(bool closeSubMenu);
  virtual void DropDown(bool) {}
  void PrepareDrawParams(bool withTexts) override;
  void DrawInterior(const RECT& r, int paintType) override;

  // The pending open and close of the menus' drop-downs: at most one of
  // each, each a 400 ms thread timer.
  static TdxBarButtonLikeControl* PendingOpenControl();
  static TdxBarButtonLikeControl* PendingCloseControl();
  static void CALLBACK PendingOpenTimerProc(HWND, UINT, UINT_PTR, DWORD);
  static void CALLBACK PendingCloseTimerProc(HWND, UINT, UINT_PTR, DWORD);
  static constexpr UINT PendingDelay = 400;

protected:
  TClass DrawParamsClass() const override { return &TdxBarButtonLikeControlDrawParams::ClassInfo; }
  TdxBarButtonLikeControlDrawParams* ButtonParams() const {
    return static_cast<TdxBarButtonLikeControlDrawParams*>(FDrawParams);
  }
  void CancelPendingTimers();
  bool OnToolbar() const;
  bool FShowAnimation = false;
};

// A button: click, check toggling and a split part that opens its drop-down menu.
class TdxBarButtonControl : public TdxBarButtonLikeControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TdxBarPaintStyle GetPaintStyle() const;
  void PaintStyleChanged() override { RebuildParent(); }
  bool ClosesMenusOnClick() const override;
  bool IsDropDown() const override;
  bool IsDroppedDown() const override { return FDroppedDown; }
  bool NeedsCaptureMouse() const override;
  bool GetDrawSelected() const override;
  int GetPartCount() const override { return IsDropDown() ? 2 : 1; }
  unsigned GetViewStructure() const override;
  unsigned GetDefaultViewStructure() const override;
  bool UnclickAfterDoing() const override;
  void CalcParts() override;
  void BeforeClick(bool byMouse) override;
  void ControlClick(bool byMouse) override;
  void PrepareDrawParams(bool withTexts) override;
  void DropDown(bool byMouse) override;
  void CloseUp(bool closeSubMenu) override;
  void MarkParentPressed(bool byMouse) override;
  TCustomdxBarControl* GetSubMenuControl() const override;
  bool DrawsFrame() override;
  bool UsesPartTextColor() override;
  bool PressedNow() const;
  int GetHeight() override;
  int GetDefaultWidth() override;
  int GetNormalHeight() override;
  // Drop-down menus opened (for buttons whose menu is shown elsewhere).
  int DropDownCount() const { return FDropDownCount; }

private:
  bool FDroppedDown = false;
  int FDropDownCount = 0;
};

// A sub-item that opens its menu.
class TdxBarSubItemControl : public TdxBarButtonLikeControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  ~TdxBarSubItemControl() override;
  bool FiresItemClick() const override { return false; }
  bool ClosesMenusOnClick() const override { return false; }
  bool IsDropDown() const override { return true; }
  bool IsDroppedDown() const override;
  bool HasDoubleClickAction() const override { return true; }
  bool WantsKey(WORD key) const override;
  bool IsClickable() const override;
  TdxBarItemViewLevels GetPossibleViewLevels() const override;
  unsigned GetDefaultViewStructure() const override;
  int GetTextIndent() override;
  int GetCaptionAreaWidth() override;
  void ControlActivate(bool immediately) override;
  void ControlInactivate(bool immediately) override;
  void BeforeClick(bool byMouse) override;
  void MarkParentPressed(bool byMouse) override;
  void PrepareDrawParams(bool withTexts) override;
  void DropDown(bool byMouse) override;
  void CloseUp(bool closeSubMenu) override;
  TCustomdxBarControl* GetSubMenuControl() const override;
  bool DrawsFrame() override;
  bool UsesPartTextColor() override;
  virtual void AttachSubMenu();
  virtual void CalcSubMenuPosition(POINT& point, int& ownerWidth, int& ownerHeight);
  virtual bool CanOpen() const { return true; }
  bool IsOnMainMenu() const;
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
  unsigned GetDefaultViewStructure() const override;
  int GetPaintType() const override { return dxBarPaintBar; }
  void Changed() override;
  void GlyphChanged() override { Changed(); }
  void VisibilityChanged() override { Changed(); }
  void WidthChanged() override { Changed(); }
  int GetHorizontalWidth() override;
  void PrepareDrawParams(bool withTexts) override;
  void DrawInterior(const RECT& r, int paintType) override;

protected:
  TClass DrawParamsClass() const override { return &TdxBarApplicationMenuButtonControlDrawParams::ClassInfo; }
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
