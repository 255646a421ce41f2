// The bar painters: every bar window draws through the painter of its manager's style.
#pragma once

#include "platform/Graphics.h"
#include "platform/Object.h"
#include "platform/Win32.h"

class TcxCanvas;
class TCustomdxBarControl;
class TCustomImageList;
class TBitmap;
class TdxBar;
class TdxBarButtonLikeControlDrawParams;
class TdxBarItemControl;
class TdxBarItemControlDrawParams;
class TdxBarItem;
class TdxBarManager;
class TdxBarSubItemControl;
class TdxBarSubMenuControl;

// Four border or margin widths.
struct TdxBarBorders {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// The states a glyph is drawn in (checked-glyph flag and the four states).
struct TdxBarGlyphStates {
  bool Enabled = true;
  bool Selected = false;
  bool Pressed = false;
  bool Down = false;
  bool CheckMark = false;  // shown as a check mark (checked item without image)
};

// Button and part states passed to painters.
constexpr int dxBarStateNormal = 1, dxBarStateHot = 2, dxBarStatePressed = 3, dxBarStateDisabled = 4;

// The painters' base: the ordered drawing and metric operations of bar
// windows and item controls. Painters keep no state; every operation takes
// what it draws and reads the rest from the control and its manager. The base
// gives the rules all styles share; a style overrides what differs.
class TdxBarPainter : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // --- Whole bars and general questions -----------------------------------
  // Fills the client area with the control's background brush.
  virtual void PaintBar(TCustomdxBarControl* control, HDC dc) const;
  virtual void DrawWholeBarFrame(TCustomdxBarControl*, HDC) const {}
  virtual void CalcFloatingCaptionRect(const RECT& window, RECT& caption) const;
  virtual bool PaintsWholeBarFrame() const { return false; }
  virtual bool WantsDoubleBuffering() const { return false; }
  virtual bool AllowsLargeIcons() const { return true; }
  virtual void CalcGlyphCaptionSplit(TdxBarItemControlDrawParams* params, const RECT& glyph, int& alignment,
                                     RECT& caption) const;
  virtual void DrawGlyphFrame(TdxBarItemControl*, HDC, const TdxBarGlyphStates&, const RECT&) const {}
  virtual void DrawCheckSign(TdxBarItemControl*, HDC, int, int, int) const {}
  virtual void DrawCheckMark(TdxBarItemControl* control, HDC dc, const RECT& r, bool checkMark, bool checked) const;
  virtual void DrawArrow(HDC dc, const RECT& r, TColor color, bool flat, int state, bool selected, bool enabled,
                         int orientation) const;
  virtual void DrawSizedArrow(HDC dc, const RECT& r, TColor color, bool flat, int state, bool selected, bool enabled,
                              int size, int orientation) const;
  virtual void FrameSelection(HDC, const RECT&) const {}
  virtual TColor GetItemTextColor(TdxBarItemControl* control, bool selected, bool flat) const;
  virtual void GetGrayedTextColors(TdxBarItemControl* control, bool selected, bool flat, TColor& emboss,
                                   TColor& text) const;
  virtual TColor GetSelectedTextColor(TdxBarItemControl* control, bool selected, bool flat) const;
  virtual TColor GetPartTextColor(TdxBarItemControlDrawParams* params, int part) const;
  virtual bool UsesFadedImages(TCustomdxBarControl* control) const;
  virtual bool IsStandardLook() const { return false; }
  virtual bool PaintsNonRecentItems() const { return false; }
  // Whether the painter draws hot states through the fading interface
  // (none of the styles of this framework does).
  virtual bool SupportsFadingInterface() const { return false; }
  virtual bool SubItemHasOwnArrowPart(TdxBarItemControl*) const { return false; }
  virtual bool HasPartTextColor(TdxBarItemControlDrawParams*, int) const { return false; }
  virtual POINT CalcHintPlacement(TCustomdxBarControl* control, const RECT& itemRect, POINT start, int extra) const;
  virtual TObject* CreateHintViewInfo(TdxBarManager*, const AnsiString&, const AnsiString&) const { return nullptr; }
  // Short docked bars move the mark's triangle and chevrons one pixel down.
  virtual bool IsShortMarkArea(TCustomdxBarControl* control, const RECT& r) const;
  virtual TColor GetFloatingCaptionColor(TCustomdxBarControl* control, bool mainFormActive) const;
  virtual TColor GetFloatingCaptionTextColor(TCustomdxBarControl* control) const;
  virtual TColor GetCaptionButtonGlyphColor(TCustomdxBarControl* control, int state) const;
  virtual void DrawBarSizeGrip(TCustomdxBarControl* control, HDC dc, const RECT& r, HBRUSH brush) const;
  virtual void DrawSmallDownArrow(TCustomdxBarControl* control, HDC dc, const RECT& r, int state) const;
  virtual void DrawMarkChevron(TCustomdxBarControl* control, HDC dc, int state, int position) const;
  virtual void DrawMarkBackground(TCustomdxBarControl*, HDC, const RECT&, HBRUSH) const {}
  virtual void DrawMark(TCustomdxBarControl* control, HDC dc, const RECT& r) const;
  virtual void GetFloatingCaptionTextLeft(TCustomdxBarControl* control, int& x, const RECT& caption) const;
  // A system colour index.
  virtual int GetMarkElementColor(TCustomdxBarControl*) const { return COLOR_BTNTEXT; }

  // --- Captions -------------------------------------------------------------
  virtual void DrawButtonCaption(TdxBarItemControlDrawParams* params, const RECT& r, int verticalAlignment,
                                 UINT format) const;
  virtual TdxBarBorders GetButtonCaptionOffsets() const { return {4, 0, 0, 0}; }
  virtual void CalcCaptionRect(TdxBarItemControlDrawParams* params, RECT& r) const;
  virtual void AddCaptionIndent(TdxBarItemControlDrawParams* params, int& width) const;
  virtual int GetEllipsisLift(int dotSize) const { return dotSize; }
  virtual void CalcDropDownPartRect(TdxBarItemControlDrawParams* params, const RECT& r, RECT& part) const;
  virtual int GetDropDownPartWidth(int paintType, const RECT& r) const;
  virtual void DrawEllipsisDot(TdxBarItemControlDrawParams* params, HDC dc, const RECT& r) const;
  virtual void DrawEllipsisGlyph(TdxBarItemControlDrawParams* params, HDC dc, const RECT& r) const;
  virtual void DrawLargeItemArrow(TdxBarItemControlDrawParams* params, HDC dc, const RECT& r, int size,
                                  TColor color) const;
  virtual void FillSolidRect(HDC dc, const RECT& r, TColor color) const;

  // --- Scroll and expand buttons of menus -----------------------------------
  // The arrow, filled through a triangle clip that later background
  // filling leaves alone.
  virtual void DrawScrollButton(TdxBarSubMenuControl* menu, TcxCanvas* canvas, const RECT& r, TColor color,
                                bool upper) const;
  // The upper or lower button: arrow, extra, separator, frame.
  virtual void DrawScrollButtons(TdxBarSubMenuControl* menu, TcxCanvas* canvas, bool upper) const;
  virtual void DrawScrollButtonFrame(TdxBarSubMenuControl* menu, TcxCanvas* canvas, bool upper) const;
  virtual void DrawScrollButtonSeparator(TdxBarSubMenuControl* menu, TcxCanvas* canvas, bool upper) const;
  virtual void CalcScrollButtonRect(TdxBarSubMenuControl* menu, bool upper, RECT& r) const;
  virtual int GetScrollButtonHeight(TdxBarSubMenuControl* menu) const;
  // The arrow size for a button width (cx) and the remainder (cy).
  virtual SIZE GetScrollArrowSize(int width) const { return {width / 3 - 1, width % 3}; }
  virtual void DrawExpandArrows(TdxBarSubMenuControl* menu, HDC dc, const RECT& r, bool hot) const;
  // Drawn through a memory bitmap, then excluded from the clip.
  virtual void DrawExpandButton(TdxBarSubMenuControl* menu, const RECT& r, bool hot) const;
  virtual void DrawExpandButtonFrame(TdxBarSubMenuControl* menu, HDC dc, const RECT& r) const;
  virtual bool UsesScrollButtonStrips() const { return false; }
  virtual void CalcEditTextRect(TdxBarItemControl* control, RECT& r) const;
  // A filled triangle from the point, up for button 3, down otherwise;
  // disabled: embossed.
  virtual void DrawSpinArrow(TdxBarItemControlDrawParams* params, HDC dc, POINT point, int button) const;
  virtual void DrawCenteredText(HDC dc, const RECT& r, int shift, const AnsiString& text, bool opaque) const;

  // --- Item parts -----------------------------------------------------------
  virtual void CalcButtonParts(TdxBarItemControlDrawParams* params, RECT* parts, int count, int, int) const;
  virtual void CalcDropDownEditParts(TdxBarItemControlDrawParams* params, RECT* parts, int count, int,
                                     const RECT& r) const;
  virtual void CalcComboParts(TdxBarItemControlDrawParams* params, RECT* parts, int count, int, const RECT& r) const;
  // parts: caption, edit, edit text.
  virtual void CalcEditParts(TdxBarItemControlDrawParams* params, RECT* parts, int count, int captionWidth,
                             const RECT& r) const;
  // parts: edit, upper button, lower button.
  virtual void CalcSpinEditParts(TdxBarItemControlDrawParams* params, RECT* parts, int count, int,
                                 const RECT& r) const;
  virtual void GetCaptionColors(TdxBarItemControl* control, bool enabled, bool selected, bool flat, TColor& emboss,
                                TColor& text) const;

  // --- Bar borders and metrics ----------------------------------------------
  virtual void GetBarBorderSizes(TCustomdxBarControl* control, int dockingStyle, bool withSizeGrip,
                                 TdxBarBorders& borders) const;
  virtual int GetBarControlExtraSize() const { return 0; }
  virtual int GetBarIndent() const { return 0; }
  virtual int GetIconAreaSize(TCustomdxBarControl* control) const;
  virtual int GetSubItemArrowIndent(TdxBarItemControl* control) const;
  virtual int GetSubMenuItemHeight(TcxCanvas* canvas) const;
  virtual int GetPopupBorderWidth() const { return 2; }
  virtual void CalcLargeGlyphRect(TdxBarItemControl* control, SIZE glyph, const RECT& r, int layout, bool caption,
                                  bool vertical, RECT& result) const;

  // --- Item backgrounds, glyphs and faces ------------------------------------
  virtual void FillItemBackground(TdxBarItemControl* control, HDC dc, const RECT& r, HBRUSH brush,
                                  bool useBrush) const;
  virtual void FrameItemBackground(TdxBarItemControl* control, HDC dc, const RECT& r, HBRUSH brush,
                                   bool useBrush) const;
  virtual void DrawDisabledShadow(TdxBarItemControl* control, HDC dc, const RECT& r) const;
  virtual void FillParentBackground(TdxBarItemControlDrawParams* params, HDC dc, const RECT& r, HBRUSH brush) const;
  // Places the glyph in its part, records where, and draws it.
  virtual void DrawGlyph(TdxBarItemControl* control, HDC dc, bool glyphShown, const TdxBarGlyphStates& states,
                         TCustomImageList* images, int imageIndex, TBitmap* bitmap, bool hot, const RECT& area,
                         SIZE glyphSize) const;
  virtual void DrawGlyphImage(TdxBarItemControl* control, HDC dc, const TdxBarGlyphStates& states,
                              TCustomImageList* images, int imageIndex, TBitmap* bitmap, const RECT& area,
                              const RECT& glyph) const;
  virtual void DrawButtonFace(TdxBarItemControlDrawParams*, const RECT&) const {}
  // Draws a caption in its colours: a disabled caption twice (emboss copy
  // one pixel right and down, then the text).
  virtual void DrawItemCaption(TdxBarItemControl* control, HDC dc, const AnsiString& caption, const RECT& r,
                               int verticalAlignment, bool enabled, bool selected, bool vertical, bool clipped,
                               bool flat, UINT format) const;
  virtual void DrawSunkenEdge(HDC dc, RECT& r) const;
  // kind: 0 raised, 1 pressed.
  virtual void DrawItemEdge(TdxBarItemControl*, HDC, const RECT&, int, bool, int) const {}
  virtual TdxBarBorders GetEditTextMargins() const { return {2, 2, 2, 3}; }
  virtual HBRUSH GetGlyphBrush(TdxBarItemControl* control, const TdxBarGlyphStates& states) const;
  virtual int GetPressedGlyphShift(TdxBarItemControl*) const { return 0; }
  virtual int GetDownGlyphShift(TdxBarItemControl*, bool) const { return 0; }
  virtual bool DimsIdleGlyphs() const { return false; }
  virtual bool IsFlatLook() const { return false; }
  virtual bool IsFlatUnlessWhiteFace() const;
  virtual int GetArrowPartExtent(TdxBarItemControl*) const { return 0; }
  virtual bool ShowsSelection(TdxBarItemControl* control, bool down, bool pressed, bool selected,
                              bool checkedGlyph) const;
  virtual bool ShadowsHotGlyphs() const { return false; }
  virtual bool FillsGlyphBackground(TdxBarItemControl* control) const;
  virtual bool AllowsButtonFrame() const { return true; }
  virtual int GetButtonBorderWidth(TdxBarItemControl*) const { return 0; }
  virtual int GetGlyphColumnWidth(TdxBarItemControl* control) const;

  // --- Docked and floating bar frames -----------------------------------------
  virtual int GetDragHandleOffset() const { return 0; }
  virtual int GetFloatingFrameWidth() const;
  virtual int GetFloatingFrameHeight() const;
  virtual int GetNoDragHandleIndent() const { return 0; }
  virtual int GetDragHandleSize(TCustomdxBarControl*) const { return 0; }
  virtual int GetDragHandleGripWidth(TCustomdxBarControl*) const { return 3; }
  virtual int GetButtonArrowWidth(TdxBarManager* manager) const;
  virtual int GetLargeButtonArrowWidth(TdxBarManager* manager) const;
  virtual int GetBeginGroupIndent() const { return 0; }
  virtual void DrawDockBackground(TObject* dock, HDC dc, const RECT& r, const RECT& reference, const RECT& client,
                                  HBRUSH brush, TColor color) const;
  virtual bool HasNativeBackground() const { return false; }
  virtual bool IsFlatBarControl(TCustomdxBarControl*) const { return false; }
  virtual bool HasOwnerLink(TCustomdxBarControl* control) const;
  virtual bool HasOwnerLinkFor(TCustomdxBarControl* control) const { return HasOwnerLink(control); }
  virtual HBRUSH GetOwnerBrush(TdxBarManager* manager) const;
  virtual int GetDockEdgeSize() const { return 0; }
  virtual void DrawBarBackgroundFromDock(TCustomdxBarControl*, HDC, const RECT&, const RECT&, HBRUSH, TColor) const {}
  virtual void DrawBarBackground(TCustomdxBarControl* control, HDC dc, const RECT& r, const RECT& reference,
                                 HBRUSH brush, TColor color) const;
  virtual void DrawOwnerLinkArea(TCustomdxBarControl*, HDC) const {}
  virtual HBRUSH GetToolbarBrush(TCustomdxBarControl* control) const;
  virtual HBRUSH GetBarBrush(TCustomdxBarControl* control) const { return GetToolbarBrush(control); }
  virtual HBRUSH GetDownedBrush(TCustomdxBarControl* control) const;
  virtual HBRUSH GetDownedSelectedBrush(TCustomdxBarControl* control) const;
  virtual HBRUSH GetSelectedBrush(TCustomdxBarControl* control) const;
  virtual int GetComboArrowWidth(TCustomdxBarControl* control, int digitWidth) const;
  virtual int GetEditHeight(TCustomdxBarControl* control, int textHeight) const;
  virtual void GetEditTextVertMargins(int& top, int& bottom) const { top = 2, bottom = 2; }
  virtual void PopupResized(HWND, const RECT&, bool) const {}
  virtual bool UsesMenuItemBrush() const { return true; }
  virtual bool AllowsQuickCustomizing() const { return true; }
  virtual int GetBarSeparatorMargin() const { return (GetBarSeparatorSize() - 2) / 2; }
  virtual int GetBarSeparatorSize() const { return 6; }
  virtual void GetDockedFrameSizes(TCustomdxBarControl* control, TdxBarBorders& borders) const;
  virtual int GetDockedFrameWidth() const { return 1; }
  virtual void GetSingleBorderSizes(TdxBar* bar, int dockingStyle, TdxBarBorders& borders) const;
  virtual int GetSmallCaptionHeightPlus() const { return GetSmallCaptionHeight() + 1; }
  virtual void FillBarCaption(TCustomdxBarControl*, HDC dc, const RECT& r, HBRUSH brush) const;
  virtual int GetSmallCaptionHeight() const;
  virtual bool HasThemedCaption() const { return false; }
  virtual SIZE GetCaptionButtonSize() const;
  virtual void DrawBarControlBackground(TCustomdxBarControl* control, HDC dc, const RECT& r, const RECT& reference,
                                        HBRUSH brush, TColor color) const;
  virtual void DrawBarSeparator(TCustomdxBarControl* control, HDC dc, const RECT& r, HBRUSH brush,
                                bool horizontal) const;
  virtual void DrawCaptionButtonBackground(TCustomdxBarControl* control, HDC dc, const RECT& r, int state) const;
  virtual void DrawCloseButton(TCustomdxBarControl*, HDC, const RECT&) const {}
  virtual void DrawDockedBarFrame(TCustomdxBarControl*, HDC, const RECT&, HBRUSH) const {}
  virtual void DrawFloatingBarFrame(TCustomdxBarControl*, HDC, RECT& inner, const RECT& window, HBRUSH) const {
    (void)window;
    (void)inner;
  }
  virtual void DrawFloatingBarCaption(TCustomdxBarControl*, HDC, const RECT&, const RECT&, HBRUSH) const {}
  virtual void DrawCaptionMarkButton(TCustomdxBarControl* control, HDC dc, const RECT& r) const;
  virtual void DrawMarkArea(TCustomdxBarControl* control, HDC dc, const RECT& r, HBRUSH brush) const;
  // button: 0 minimize, 1 restore, 2 close.
  virtual void DrawMDIButton(TCustomdxBarControl*, int, int, HDC, const RECT&) const {}
  virtual void DrawBarSizeGripArea(TCustomdxBarControl* control, HDC dc, const RECT& r, HBRUSH brush) const;
  virtual void DrawStatusBarTopEdge(TCustomdxBarControl* control, HDC dc, const RECT& r, HBRUSH brush) const;
  virtual int GetFloatingPaddingX() const { return 0; }
  virtual void GetMarkBounds(TCustomdxBarControl* control, RECT& r) const { CalcMarkRect(control, r); }
  virtual void CalcMarkRect(TCustomdxBarControl* control, RECT& r) const;
  virtual void RepaintMark(TCustomdxBarControl* control) const;
  virtual int GetFloatingPaddingTop() const { return 0; }
  virtual int GetFloatingPaddingBottom() const { return 0; }
  virtual bool UsesSystemCloseButton() const { return false; }
  virtual bool IsClassicFrame() const { return false; }
  virtual int GetMarkSize(TCustomdxBarControl*) const { return 11; }
  virtual void DrawBarNativeBackground(TCustomdxBarControl* control, HDC dc, const RECT& r, const RECT& reference,
                                       const RECT& controlRect, HBRUSH brush, TColor color) const;
  virtual TdxBarBorders GetSizeGripMargins() const { return {}; }
  virtual int GetStatusBarTopEdge() const { return 2; }
  virtual SIZE GetSizeGripSize(TdxBarManager* manager) const;
  virtual HBRUSH GetQuickCustomizingBrush(TCustomdxBarControl* control) const { return GetBarBrush(control); }
  virtual void SplitQuickCustCheckArea(TdxBarItemControl*, HDC, RECT& check, RECT& item, bool) const;
  virtual void DrawQuickCustCheckMark(TdxBarItemControl*, HDC, const RECT&, const RECT&, bool) const {}
  virtual bool QuickCustFloatingFlag() const { return false; }
  virtual int GetItemHeightInBar(TdxBarItemControl* control) const;
  virtual TdxBarBorders GetTextMargins() const { return {3, 0, 3, 0}; }
  virtual HBRUSH GetItemBrush(TdxBarItemControlDrawParams* params) const;
  virtual bool ShowsButtonFrame(TdxBarItemControlDrawParams* params) const;
  virtual bool DrawsPressedFrame(TdxBarItemControlDrawParams* params) const;
  virtual bool DrawsFlatItems() const { return IsFlatLook(); }
  virtual bool DrawsFlatItemsFor(TdxBarItemControl*) const { return IsFlatLook(); }

  // --- Arrows ---------------------------------------------------------------
  virtual int GetLargeArrowWidth() const { return 6; }
  virtual int GetLargeArrowHeight() const { return 7; }
  virtual int GetArrowPartWidth(int size) const { return size + GetLargeArrowWidth(); }
  virtual int GetArrowPartHeight(int size) const { return size + GetLargeArrowHeight(); }
  // The glyph area of an item for the manager's glyph size and the text
  // size: x grows from the glyph size, y from the text size.
  virtual SIZE GetArrowPartSize(int glyphSize, int textSize) const;
  virtual SIZE GetSmallArrowSize() const { return {5, 3}; }
  virtual void AdjustIconAreaSize(int&) const {}
  virtual void AdjustMenuItemWidth(int&) const {}
  virtual void ShiftPressedContent(bool pressed, bool down, RECT& r) const;
  virtual void ShiftPressedArrow(bool pressed, RECT& r) const;
  virtual void DrawButtonControl(TdxBarItemControlDrawParams* params, const RECT& r) const;
  virtual void DrawButtonCaptionOnly(TdxBarItemControlDrawParams* params, const RECT& r,
                                     int verticalAlignment) const;
  virtual void DrawButtonArrow(TdxBarItemControlDrawParams* params, const RECT& r) const;
  virtual void DrawArrowPartBackground(TdxBarItemControlDrawParams* params, const RECT& r, HBRUSH brush) const;
  virtual void DrawSplitArrowPart(TdxBarItemControlDrawParams* params, const RECT& r) const;
  virtual void DrawSubItemArrow(TdxBarItemControlDrawParams* params, const RECT& r) const;

  // --- Combos and drop-down lists ---------------------------------------------
  virtual TColor GetComboArrowColor(TdxBarItemControlDrawParams*) const { return clBtnText; }
  virtual HBRUSH GetComboButtonBrush(TdxBarItemControlDrawParams* params) const { return GetItemBrush(params); }
  virtual int GetComboButtonGap(TdxBarItemControl*, const RECT*) const { return 1; }
  virtual TdxBarBorders GetComboFrameMargins(int paintType) const { return GetEditMargins(paintType); }
  virtual void DrawComboButton(TdxBarItemControlDrawParams* params, const RECT& r) const;
  virtual void DrawComboButtonFace(TdxBarItemControlDrawParams*, const RECT&, HBRUSH) const {}
  virtual int GetDropDownListBorderSize() const { return 2; }
  virtual void DrawDropDownListBorder(HDC, const RECT&) const {}

  // --- Submenus -----------------------------------------------------------------
  virtual bool HasSubMenuSideBand() const { return false; }
  virtual bool OffsetsNonRecentGroups() const { return false; }
  virtual int GetSubMenuArrowsOffset() const { return 2; }
  virtual int GetSubMenuArrowWidth(int textSize) const { return textSize / 4 * 3 + 1; }
  virtual int GetSubMenuSeparatorSize() const { return 10; }
  virtual int GetSubMenuBorderTotal(TdxBarSubMenuControl* menu) const {
    return GetSubMenuOuterBorder() + GetSubMenuInnerBorder(menu);
  }
  virtual int GetSubMenuOuterBorder() const { return 1; }
  virtual int GetSubMenuInnerBorder(TdxBarSubMenuControl*) const { return 1; }
  // The arrow width for the text size and the expand button's height.
  virtual void CalcSubMenuItemMetrics(TcxCanvas* canvas, int textSize, int& arrowWidth,
                                      int& expandButtonHeight) const;
  virtual void GetSubMenuBorderRect(TdxBarSubMenuControl* menu, TdxBarBorders& widths) const;
  virtual int GetDetachCaptionHeight(TdxBarSubMenuControl* menu) const;
  virtual int GetSubMenuIconColumnWidth(TdxBarSubMenuControl* menu) const;
  virtual int GetSubMenuSideWidth(TdxBarSubMenuControl* menu) const;
  virtual int GetMenuCaptionInflate(TdxBarItemControlDrawParams*, const RECT&) const { return 0; }
  virtual int GetSubMenuExtraExtent() const { return 0; }
  virtual int GetSubMenuCheckSize(int textSize) const { return (textSize - 6) / 2; }
  virtual int GetReferenceTextSize() const { return 19; }
  virtual void CalcSubMenuIconRect(const RECT& item, int iconAreaSize, RECT& r) const;
  virtual void CalcSubMenuTextRect(TdxBarItemControlDrawParams* params, const RECT& item, RECT& r) const;
  virtual int GetSubMenuTextIndent(TdxBarItemControlDrawParams* params) const;
  virtual void CalcSubMenuSeparatorRect(TdxBarSubMenuControl* menu, TdxBarItemControl* control, const RECT& item,
                                        RECT& r) const;
  virtual void DeflateSubMenuContent(TdxBarSubMenuControl*, RECT& r) const { InflateRect(&r, -3, -3); }
  virtual void DrawScrollButtonsExtra(TdxBarSubMenuControl*, TcxCanvas*, bool) const {}
  // Tiles the menu's background bitmap, else fills with the brush.
  virtual void FillSubMenuBackground(TdxBarSubMenuControl* menu, TcxCanvas* canvas, const RECT& r, POINT origin,
                                     HBRUSH brush) const;
  virtual void DrawSubMenuBorder(TdxBarSubMenuControl* menu, HDC dc, const RECT& r) const;
  virtual void DrawSubMenuClientBorder(TdxBarSubMenuControl* menu, HDC dc, const RECT& r, HBRUSH brush) const;
  virtual void FillDetachCaption(TdxBarSubMenuControl* menu, HDC dc, const RECT& r) const;
  virtual void DrawSubMenuSeparator(TdxBarSubMenuControl* menu, TdxBarItemControl* control, TcxCanvas* canvas,
                                    const RECT& r) const;
  // position: where the item stands among the recent groups (bit 0 begins
  // a new group, bit 1 first item, bit 2 last item).
  virtual void DrawSubMenuItemFrame(TdxBarSubMenuControl*, TdxBarItemControl*, HDC, const RECT&, int) const {}
  virtual void DrawSeparatorLine(HDC dc, const RECT& r) const;
  virtual bool GetSubMenuItemBrush(TdxBarSubMenuControl* menu, HBRUSH& brush) const;
  virtual int GetSubMenuTextHeight(TcxCanvas* canvas) const { return GetSubMenuItemHeight(canvas); }
  virtual HBRUSH GetMenuItemBrush(TdxBarSubMenuControl*) const {
    return reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  }

  // --- Application menu and its extra pane -------------------------------------------
  virtual void DrawApplicationMenuBorder(TdxBarSubMenuControl* menu, HDC dc, const RECT& r) const {
    DrawSubMenuBorder(menu, dc, r);
  }
  virtual void DrawApplicationMenuExtra(TdxBarItemControlDrawParams*, const RECT&) const {}
  virtual void DrawExtraPaneBackground(TObject* pane, TcxCanvas* canvas, POINT origin, const RECT& r,
                                       HBRUSH brush) const;
  virtual TdxBarBorders GetExtraPaneMargins() const { return {}; }
  virtual void FillExtraPaneBackground(TObject* pane, TcxCanvas* canvas, const RECT& r, POINT origin,
                                       HBRUSH brush) const;
  virtual void DrawApplicationMenuSeparator(TdxBarSubMenuControl* menu, TcxCanvas* canvas, const RECT& r,
                                            HBRUSH brush, bool horizontal) const;
  // Fills with the canvas brush and writes the entry text (no prefixes).
  virtual void DrawWindowListItem(TdxBarItem* item, const AnsiString& entry, TcxCanvas* canvas, const RECT& r,
                                  HDC dc) const;
  // Hands the look-and-feel to the manager.
  virtual void ApplyLookAndFeel(TdxBarManager* manager, TObject* lookAndFeel) const;

  // --- Edits ------------------------------------------------------------------------
  virtual TColor GetEditBackgroundColor(TdxBarItemControl*) const { return clWindow; }
  virtual TColor GetDisabledEditBackgroundColor(TdxBarItemControl* control) const;
  virtual TColor GetEditControlBackColor(TdxBarItemControlDrawParams* params) const;
  virtual TColor GetEditTextColor(TdxBarItemControl*) const { return clWindowText; }
  virtual TColor GetDisabledEditTextColor() const { return clGrayText; }
  virtual TColor GetEditControlTextColor(TdxBarItemControl* control) const;
  virtual void GetEditControlColors(TdxBarItemControl* control, TColor& text, TColor& back) const;
  virtual bool EditHasFrame() const { return true; }
  virtual int EditFrameExtra() const { return 0; }
  virtual bool EditShowsSelected(TdxBarItemControlDrawParams* params) const;
  virtual int EditHasBorderWhenFlat() const { return 0; }
  virtual int GetEditButtonOffset(TdxBarItemControl*) const { return 0; }
  virtual void EditPaintHook(TdxBarItemControlDrawParams*, const RECT&) const {}
  virtual void FillEditBackground(TdxBarItemControlDrawParams*, HBRUSH, const RECT&) const {}
  virtual void EditAfterPaintHook(TdxBarItemControlDrawParams*, const RECT&) const {}
  // Fills with the canvas brush and writes the entry's text (-1: the
  // control's own text) two pixels in, top-aligned.
  virtual void DrawDropDownListEntry(TdxBarItemControl* control, TcxCanvas* canvas, int index, const RECT& r,
                                     int, int) const;
  // Frame, selection in menus, glyph and caption.
  virtual void DrawEditControl(TdxBarItemControlDrawParams* params, const RECT& r) const;
  virtual TdxBarBorders GetEditMargins(int) const { return {2, 2, 2, 2}; }
  virtual void DrawEditFrame(TdxBarItemControlDrawParams* params, bool selected) const;
  virtual void DrawEditFrameEdges(TdxBarItemControlDrawParams* params, RECT& r) const;
  virtual void DrawEditCaption(TdxBarItemControlDrawParams* params, const RECT& r) const;
  virtual void DrawEditSelection(TdxBarItemControlDrawParams* params, const RECT& r) const;
  virtual void DrawEditGlyph(TdxBarItemControlDrawParams* params, const RECT& r) const;
  virtual bool EditHighlightsInMenu(TdxBarItemControlDrawParams* params) const;
  virtual bool EditIsNonRecentInMenu(TdxBarItemControlDrawParams* params) const;
  // The edit's colours on the canvas, clipped to the rectangle; the item
  // draws its value.
  virtual void DrawEditValue(TdxBarItemControl* control, TcxCanvas* canvas, const RECT& r) const;
  // ES_MULTILINE | ES_AUTOHSCROLL: the formatting rectangle needs a
  // multi-line edit.
  virtual DWORD GetEditWindowStyle() const { return ES_MULTILINE | ES_AUTOHSCROLL; }
  virtual bool EditUsesGradient(TdxBarItemControl*) const { return false; }
  virtual void CalcEditCaptionRect(TdxBarItemControlDrawParams* params, bool captionOnly, RECT& r) const;
  virtual int GetEditCaptionGap(TdxBarItemControlDrawParams* params) const;
  virtual int GetMenuEditCaptionGap() const { return 2; }
  virtual int GetBarEditCaptionGap() const { return 2; }
  virtual int GetEditCaptionRightGap() const { return 4; }
  virtual TdxBarBorders GetMenuEditCaptionMargins() const { return {4, 0, 0, 0}; }
  virtual HBRUSH GetEditBrush(TdxBarItemControl* control) const;
  virtual bool EditGlyphSelected(TdxBarItemControl*) const { return false; }
  virtual void SetEditWindowRect(TdxBarItemControl* control, HWND window) const;
  // With `notify` first tells the window its text changed; then selects all.
  virtual void SelectEditText(TdxBarItemControl* control, HWND window, bool notify) const;
  virtual bool IsFlaggedMenuEdit(int, bool) const { return false; }
  virtual bool HasEditButtonSpacing() const { return false; }
  virtual bool HasDropDownPart(TdxBarItemControlDrawParams* params) const;
  virtual void CalcEditButtonIndent(TdxBarItemControlDrawParams* params, RECT& r) const;
  virtual TdxBarBorders GetEditFrameMargins(int) const { return {1, 2, 1, 2}; }
  virtual void DrawEllipsisButton(TdxBarItemControlDrawParams* params, HDC dc, const RECT& r) const;
  // The control's glyph for its view size, without check mark.
  void DrawControlGlyph(TdxBarItemControlDrawParams* params, HDC dc, const RECT& area, bool selected) const;

  // --- Calendar drop-downs and sizable drop-down windows --------------------------------
  virtual void DrawCalendarBorder(TdxBarItemControlDrawParams* params, const RECT& r) const;
  // corner: the drop-down's corner away from the control.
  virtual void CalcDropDownContentRect(HWND dropDown, RECT& r, int& corner, TdxBarItem* item, bool sizable) const;
  virtual void DrawDropDownPanel(HDC dc, bool sizeGrip, bool closeButton, const RECT& panel, const RECT& grip,
                                 const RECT& close) const;
  virtual int GetDropDownPanelHeight() const;
  virtual bool IsCalendarFlat() const { return false; }
  virtual void DrawCalendarButton(TdxBarItem* item, HDC dc, const RECT& r, const AnsiString& text,
                                  bool pressed) const;
  virtual TColor GetCalendarHeaderColor() const { return clBtnFace; }

  // --- Spin edits (buttons 3 upper, 4 lower) ------------------------------------------------
  virtual void CalcSpinArrowPoint(TdxBarItemControlDrawParams* params, const RECT& button, int kind,
                                  POINT& point) const;
  virtual void CalcSpinEditTextRect(TdxBarItemControlDrawParams* params, RECT& r) const;
  // a: the half height; the arrow is 2a - 1 wide and a high.
  virtual void GetSpinArrowSize(int height, int& width, int& halfHeight) const;
  // type 1 the upper half, 2 the lower; empty when the spin part would take
  // half of the control or more.
  virtual void CalcSpinButtonRect(TdxBarItemControlDrawParams* params, const RECT& r, int type, RECT& part) const;
  virtual TdxBarBorders GetSpinButtonMargins(int) const { return {1, 0, 1, 0}; }
  virtual int GetSpinButtonWidth(int paintType, const RECT& r) const;
  virtual int GetSpinButtonState(TdxBarItemControlDrawParams* params, int button) const;
  virtual void DrawSpinButton(TdxBarItemControlDrawParams* params, const RECT& r, int button) const;
  virtual void FillSpinEditBackground(TdxBarItemControlDrawParams* params, const RECT& r) const;

  // --- Progress bars ------------------------------------------------------------------------
  virtual TColor GetProgressBarColor() const { return clHighlight; }
  virtual int GetProgressBarHeight() const { return 12; }
  // A maximum not above the minimum draws the frame only.
  virtual void DrawProgressBar(TdxBarItemControlDrawParams* params, const RECT& r, int position, int minimum,
                               int maximum, bool smooth, TColor color) const;
  virtual void DrawProgressBarFrame(TdxBarItemControlDrawParams* params, const RECT& r) const;
  virtual void FillProgressBlock(TdxBarItemControlDrawParams* params, const RECT& r, HBRUSH brush) const;
  virtual void DrawProgressBlock(TdxBarItemControlDrawParams* params, const RECT& r, HBRUSH brush) const {
    FillProgressBlock(params, r, brush);
  }

  // --- Labels, separators and in-place sub-items ---------------------------------------------
  virtual int GetStaticItemOffset() const { return 0; }
  virtual int GetStaticBorderExtra() const { return 0; }
  virtual HBRUSH GetStaticBorderBrush() const { return GetSysColorBrush(COLOR_BTNSHADOW); }
  virtual int GetStaticTextSize(TdxBarItemControlDrawParams* params) const;
  virtual int GetInPlaceCaptionIndent() const { return 5; }
  virtual bool InPlaceShowsSelected(TdxBarItemControlDrawParams* params) const;
  virtual bool InPlaceCaptionEnabled(TdxBarItemControlDrawParams*) const { return true; }
  // orientation 1 down, 3 right.
  virtual void DrawInPlaceExpandArrow(TdxBarItemControlDrawParams* params, int orientation, const RECT& r) const;
  virtual void DrawInPlaceItemBackground(TdxBarItemControlDrawParams* params, const RECT& r) const;
  virtual void DrawInPlaceSubItem(TdxBarItemControlDrawParams* params, const RECT& r, bool expanded) const;
  virtual void DrawStaticBackground(TdxBarItemControlDrawParams* params, const RECT& r) const;
  // style: 0 none, 1 single, 2 raised, 3 etched, 4 double; the rectangle
  // loses the style's widths.
  virtual void DrawStaticBorder(TdxBarItemControlDrawParams* params, RECT& r, int style) const;
  virtual void DrawStaticControl(TdxBarItemControlDrawParams* params, const RECT& r) const;
  virtual void DrawStaticFrame(TdxBarItemControlDrawParams* params, RECT& r, const RECT& indents, int style) const;
  virtual bool StaticIsCustomizing(TdxBarItemControlDrawParams* params) const;
  virtual TdxBarBorders GetStaticBorderWidths(TdxBarItemControl*, int style) const;
  virtual TdxBarBorders GetStaticTextMargins() const { return {6, 0, 0, 0}; }
  virtual int GetSeparatorThickness() const { return 2; }
  virtual void DrawSeparatorCaption(TdxBarItemControlDrawParams* params, const RECT& r) const {
    DrawStaticControl(params, r);
  }
  // captioned: a captioned separator in a menu; lines: the top line shows.
  virtual void DrawSeparatorControl(TdxBarItemControlDrawParams* params, const RECT& r, bool captioned,
                                    bool topLine) const;
  virtual TColor GetSeparatorTextColor() const { return clDefault; }
  virtual TColor GetSeparatorBackColor() const { return clDefault; }
  virtual int GetSeparatorTextIndent() const { return 3; }
  virtual void SeparatorHook1(TdxBarItemControlDrawParams*, const RECT&) const {}
  virtual void SeparatorHook2(TdxBarItemControlDrawParams*, const RECT&) const {}
};

// The classic three-dimensional style.
class TdxBarStandardPainter : public TdxBarPainter {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  void DrawGlyphFrame(TdxBarItemControl* control, HDC dc, const TdxBarGlyphStates& states,
                      const RECT& r) const override;
  void DrawCheckSign(TdxBarItemControl* control, HDC dc, int y, int x, int size) const override;
  bool IsStandardLook() const override { return true; }
  bool IsShortMarkArea(TCustomdxBarControl*, const RECT&) const override { return false; }
  void DrawMarkChevron(TCustomdxBarControl* control, HDC dc, int state, int position) const override;
  void DrawMarkBackground(TCustomdxBarControl* control, HDC dc, const RECT& r, HBRUSH brush) const override;
  int GetBarIndent() const override { return 2; }
  void DrawDisabledShadow(TdxBarItemControl* control, HDC dc, const RECT& r) const override;
  void DrawButtonFace(TdxBarItemControlDrawParams* params, const RECT& r) const override;
  void DrawItemEdge(TdxBarItemControl* control, HDC dc, const RECT& r, int, bool withEdge,
                    int kind) const override;
  TdxBarBorders GetEditTextMargins() const override { return {2, 1, 2, 1}; }
  HBRUSH GetGlyphBrush(TdxBarItemControl* control, const TdxBarGlyphStates& states) const override;
  int GetPressedGlyphShift(TdxBarItemControl*) const override { return 1; }
  int GetDownGlyphShift(TdxBarItemControl*, bool) const override { return 1; }
  int GetButtonBorderWidth(TdxBarItemControl*) const override { return 1; }
  int GetDragHandleOffset() const override { return 2; }
  int GetDragHandleSize(TCustomdxBarControl* control) const override;
  int GetBeginGroupIndent() const override { return 2; }
  void GetEditTextVertMargins(int& top, int& bottom) const override { top = 0, bottom = 2; }
  bool UsesMenuItemBrush() const override { return false; }
  bool AllowsQuickCustomizing() const override { return false; }
  void DrawCloseButton(TCustomdxBarControl* control, HDC dc, const RECT& r) const override;
  void DrawDockedBarFrame(TCustomdxBarControl* control, HDC dc, const RECT& r, HBRUSH brush) const override;
  void DrawFloatingBarFrame(TCustomdxBarControl* control, HDC dc, RECT& inner, const RECT& window,
                            HBRUSH brush) const override;
  void DrawMDIButton(TCustomdxBarControl* control, int button, int state, HDC dc, const RECT& r) const override;
  int GetFloatingPaddingX() const override { return 4; }
  int GetFloatingPaddingTop() const override { return 2; }
  int GetFloatingPaddingBottom() const override { return 1; }
  bool UsesSystemCloseButton() const override { return true; }
  bool IsClassicFrame() const override { return true; }
  void CalcMarkRect(TCustomdxBarControl* control, RECT& r) const override;
  void DrawArrowPartBackground(TdxBarItemControlDrawParams* params, const RECT& r, HBRUSH brush) const override;
  void DrawComboButtonFace(TdxBarItemControlDrawParams* params, const RECT& r, HBRUSH brush) const override;
  void DrawDropDownListBorder(HDC dc, const RECT& r) const override;
  bool OffsetsNonRecentGroups() const override { return true; }
  int GetSubMenuInnerBorder(TdxBarSubMenuControl*) const override { return 2; }
  void GetSubMenuBorderRect(TdxBarSubMenuControl* menu, TdxBarBorders& widths) const override;

protected:
  // One stripe of a drag handle; `cornerPixel` sets the light corner pixel.
  void DrawFinger(HDC dc, const RECT& r, bool horizontal, bool cornerPixel) const;
  // The raised edge round a docked bar; answers the inner rectangle and
  // whether the bar lies along x.
  RECT DrawDockedEdge(TCustomdxBarControl* control, HDC dc, const RECT& r, bool& horizontal) const;
};

// The Enhanced style, the default one: one-finger handle, framed mark.
class TdxBarEnhancedPainter : public TdxBarStandardPainter {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  int GetDragHandleOffset() const override { return 1; }
  int GetDragHandleSize(TCustomdxBarControl* control) const override;
  int GetBeginGroupIndent() const override { return 12; }
  bool AllowsQuickCustomizing() const override { return true; }
  void DrawDockedBarFrame(TCustomdxBarControl* control, HDC dc, const RECT& r, HBRUSH brush) const override;
  void DrawMarkChevron(TCustomdxBarControl* control, HDC dc, int state, int position) const override;
  void DrawMarkBackground(TCustomdxBarControl* control, HDC dc, const RECT& r, HBRUSH brush) const override;
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

// The painter a manager's bars draw with: one object per manager, made from
// the manager's painter class and made again when that class changes.
TdxBarPainter* dxBarManagerPainter(TdxBarManager* manager);
