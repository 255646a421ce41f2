// The editors' computing and painting halves. A view data object, made for
// one properties object, one style and one mode, computes for given bounds,
// state and mouse position everything an editor looks like (border widths
// and colours, content margins, the client rectangle, the edit buttons'
// layout and states) and fills a view info with it. The view info keeps
// that between paints, paints the editor (border, background, shadow,
// buttons) and tells what must be repainted when a newer one replaces it.
#pragma once

#include "editors/framework/EditProperties.h"
#include "editors/framework/EditStyle.h"
#include "foundation/ContainerStyle.h"
#include "foundation/ThemeManager.h"

#include <memory>
#include <vector>

class TcxCustomEdit;
class TcxCustomEditViewInfo;

// The state of one edit button.
enum TcxEditButtonState : uint8_t { ebsDisabled, ebsNormal, ebsPressed, ebsSelected };

// The laid-out, paint-ready form of one visible edit button.
class TcxEditButtonViewInfo : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  // Theme state, background colour, bounds, style and state.
  void Assign(TPersistent* source) override;
  // Null when style, state, background colour and theme state equal the
  // old button's, else the button's bounds (the caller owns it).
  TcxRegion* RegionToRepaint(TcxEditButtonViewInfo* old) const;
  // Invalidates the bounds moved by the offset when any of those four
  // differs; answers whether it did.
  bool RepaintIfChanged(HWND wnd, TcxEditButtonViewInfo* old, POINT offset, bool erase) const;
  bool LooksLike(const TcxEditButtonViewInfo& other) const;
  // The theme kind the button is drawn through.
  TdxThemedObjectType ThemeKind() const { return IsSingleDownButton ? totComboBox : totButton; }

  RECT ButtonRect{};
  TColor BackColor = clWindow;
  AnsiString Caption;
  TAlignment ContentAlignment = taCenter;
  bool DefaultFlag = false;
  bool GradientButtons = false;
  bool InPlace = false;
  TcxEditButtonKind Kind = bkDown;
  bool AtLeftSide = false;
  bool AtLeftEnd = false, AtRightEnd = false;
  bool NativeStyle = false;  // asked for; MeasureEditButton clears it without a theme
  TcxEditButtonState ButtonState = ebsNormal;
  TcxEditButtonStyle PaintStyle = bts3D;
  TColor CaptionTextColor = clBtnText;
  bool Transparent = false;
  AnsiString DisplayCaption;
  bool ThemePartTransparent = false;
  bool IsSingleDownButton = false;
  int ThemePartId = 0, ThemeState = 0;  // 0: not themed
  TBitmap* Glyph = nullptr;             // the definition's, not owned
  int CollectionIndex = -1;
  bool Stretchable = true;
  RECT VisibleRect{};
  int Width = 0;
  bool Themed() const { return ThemeState != 0; }
};

using TcxEditButtonStateEvent = TEvent<void(TcxCustomEditViewInfo* sender, int index, TcxEditButtonState& state)>;
using TcxEditDrawButtonEvent = TEvent<void(TcxCustomEditViewInfo* sender, TcxCanvas* canvas, int index, bool& done)>;
using TcxEditPaintEvent = TEvent<void(TcxCustomEditViewInfo* sender, TcxCanvas* canvas)>;
// A button's border or content background drawn by the handler; the
// rectangle is the button's (border) or its content's (background), and a
// border handler leaves in it the content rectangle.
using TcxEditDrawButtonPartEvent =
    TEvent<void(TcxCustomEditViewInfo* sender, TcxCanvas* canvas, int index, RECT& r, bool& done)>;
using TcxEditDrawBackgroundEvent = TEvent<void(TcxCustomEditViewInfo* sender, TcxCanvas* canvas, bool& done)>;

class TcxCustomEditViewInfo : public TcxContainerViewInfo {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TcxCustomEditViewInfo() = default;
  ~TcxCustomEditViewInfo() override;

  int ButtonCount() const { return static_cast<int>(ButtonsInfo.size()); }
  TcxEditButtonViewInfo& Button(int i) { return *ButtonsInfo[i]; }
  void SetButtonCount(int count);

  // -- painting
  void PaintOn(TcxCanvas* canvas) override;
  void PaintContent(TcxCanvas* canvas) override;
  TcxContainerBorderStyle EffectiveBorderStyle() override { return static_cast<TcxContainerBorderStyle>(EditBorderStyle); }
  virtual void ResolveColors(TColor& borderColor, TColor& textColor);
  virtual bool RepaintsWholeOnStateChange() { return true; }
  // One button: clip, custom draw, buffered glyph, border, background, content.
  virtual void DrawButtonClipped(TcxCanvas* canvas, int index);
  virtual void PaintBuffered(TcxCanvas* canvas, int index);
  virtual void DrawButtonBorderByKind(TcxCanvas* canvas, int index, RECT& content, TColor& background,
                                      TColor& captionColor);
  virtual void DrawButtonContent(TcxCanvas* canvas, int index, const RECT& content, TColor captionColor);
  // The native frame and background; comboKind 0 plain, 1 editable combo, 2 fixed combo.
  virtual void DrawNativeFrame(TcxCanvas* canvas, bool fillAll, TColor fill, int comboKind = 0);
  // Whether a handler would draw the button (whole, border or background).
  bool IsButtonCustomDrawn(int index) const {
    (void)index;
    return DrawButtonEvent || DrawButtonBorderEvent || DrawButtonBackgroundEvent;
  }
  // How the background of an editor that paints its own content is drawn:
  // 0 custom drawn, 1 background and border, 2 nothing, 3 solid fill,
  // 4 the parent painted into it, 5 the parent's background.
  virtual int BackgroundMode();
  bool BackgroundNotSolid() { const int mode = BackgroundMode(); return mode != 1 && mode != 3; }
  // The background of `r` by mode; unless keepClip, `excluded` is kept out.
  void DrawBackgroundByMode(TcxCanvas* canvas, const RECT& r, bool keepClip, const RECT& excluded);
  // -- queries
  bool FindHotButton(int& index) const;
  bool ButtonAtPoint(POINT p) const;
  // The hint of the hot button (its definition's Hint).
  bool HintOfPartAt(POINT p, AnsiString& text) const;
  // Invalidates on the window what changed against `old` (null: the whole
  // inside); answers whether anything was invalidated.
  bool RepaintButtons(HWND wnd, TcxCustomEditViewInfo* old);
  TcxRegion* RegionToRepaint(TcxContainerViewInfo* other) override;
  void TakeOverFrom(TObject* other) override;
  void ShiftRects(int dx, int dy) override;

  TcxEditButtonStateEvent ButtonStateEvent;
  TcxEditDrawButtonEvent DrawButtonEvent;
  TcxEditDrawButtonPartEvent DrawButtonBorderEvent;
  TcxEditDrawButtonPartEvent DrawButtonBackgroundEvent;
  TcxEditDrawBackgroundEvent DrawBackgroundEvent;
  TcxEditPaintEvent PaintEvent;

  TcxCustomEdit* Edit = nullptr;
  bool PaintingButtons = false;
  RECT BorderWidths{};
  TcxEditBorderStyle EditBorderStyle = ebsNone;
  std::vector<std::unique_ptr<TcxEditButtonViewInfo>> ButtonsInfo;
  TcxCustomEditProperties* Properties = nullptr;
  bool IsEnabled = true, IsFocused = false;
  TFont* TextFont = nullptr;  // the style's, not owned
  bool InnerEditPresent = false;
  RECT InnerControlRect{};
  bool ReallyPressed = false;
  bool Designing = false, InPlace = false;
  int OffsetX = 0, OffsetY = 0;
  uint8_t PaintBits = 0;
  int PressedIndex = -1, HotIndex = -1;
  RECT InsideBorderRect{};
  TColor PaintTextColor = clWindowText;
  bool NoBackground = false;
  uint8_t HotTrackState = 0;
  // Whether a pressed button shifts its content (the content flags' bit 1).
  bool ShiftPressedContent = true;
  // The view info's edit is standalone and composition is on (native single down button).
  bool Composited = false;
  TcxEditPopupBorderStyle PopupBorderStyle = epbsDefault;
  HWND WindowHandle = nullptr;
};

// Content parameters: offsets of the text, a flags byte and what the
// borders leave over.
struct TcxEditContentParams {
  RECT ExternalBorder{};
  RECT Offsets{1, 1, 1, 3};
  uint8_t Flags = 2;
  int HorzRemainder = 1;
  int ExtraVert = 0;
};

// Per-button default widths (width stays 0 when the handler does not answer).
using TcxEditDefaultButtonWidthEvent = TEvent<void(TObject* sender, int index, int& width)>;

// The mouse button of the event being tracked.
enum TcxEditMouseEvent : uint8_t { emeNone, emeLeft, emeRight, emeMiddle };

class TcxCustomEditViewData : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TcxCustomEditViewData(TcxCustomEditProperties* properties, TcxCustomEditStyle* style, bool inPlace);

  // -- the steps, in their order
  virtual void FillButtonThemeData(TcxEditButtonViewInfo& button);
  virtual bool CanPressButton(TcxCustomEditViewInfo* viewInfo, int index) { (void)viewInfo; (void)index; return true; }
  virtual TcxContainerState ContainerStateAt(POINT p, bool captureTest);
  virtual RECT TextOffsets() { return InPlace ? RECT{1, 1, 1, 1} : RECT{1, 1, 1, 3}; }
  virtual int ThemedEditState();
  virtual void InitFromProperties();
  virtual void FillBorderInfo(TcxEditContentParams& params);
  virtual void ResetState();
  virtual bool IsButtonHeldDown(TcxCustomEditViewInfo* viewInfo, int index) { (void)viewInfo; (void)index; return false; }
  virtual void FillViewInfo(TcxCanvas* canvas, const RECT& bounds, bool keepPressed, TcxCustomEditViewInfo* viewInfo,
                            TShiftState shift, TcxEditMouseEvent mouseEvent, POINT p);
  virtual void CalculateButtons(TcxCanvas* canvas, const RECT& bounds, bool keepPressed, TcxCustomEditViewInfo* viewInfo,
                                TShiftState shift, TcxEditMouseEvent mouseEvent, POINT p);
  virtual void FillButtonInfo(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, RECT& area, int index, int definition);
  virtual void ButtonRects(TcxCustomEditViewInfo* viewInfo, RECT& area, int index);
  virtual void PlaceButtons(TcxCustomEditViewInfo* viewInfo, int fullWidth, int spareWidth);
  virtual TColor BorderColorOf();
  virtual RECT BorderWidthsOf();
  virtual TcxEditBorderStyle BorderStyleOf();
  virtual RECT ThemedContentRect();
  virtual RECT ClientExtent(TcxCustomEditViewInfo* viewInfo);
  // The extent around the client and the minimum size buttons ask for.
  virtual void MeasureEditorSize(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, SIZE& extent, SIZE& minSize);
  virtual SIZE DefaultContentSize(TcxCanvas* canvas) { (void)canvas; return SIZE{0, 0}; }
  // Puts what a value shows into a filled view info (nothing in the base;
  // text editors lay out its display text).
  virtual void FillTextInfo(TcxCanvas* canvas, const Variant& value, TcxCustomEditViewInfo* viewInfo) {
    (void)canvas, (void)value, (void)viewInfo;
  }
  // The size of an editor for its value within a width limit (-1 none).
  SIZE EditSizeForValue(TcxCanvas* canvas, int widthLimit);
  virtual bool ShadowWanted();
  virtual bool ButtonKeepsWidth(int index) { (void)index; return false; }
  virtual bool NativeStyleOf(TcxLookAndFeel* lookAndFeel);

  TcxCustomEditStyle* StyleInUse() const { return Style; }
  TcxEditButtonStyle EffectiveButtonStyle();
  TcxLookAndFeelKind LookAndFeelKind();
  uint8_t GetPaintOptions() const;
  int DefaultButtonWidth(int index);

  bool InPlace;
  int LeftGroupFirst = -1, LeftGroupLast = -1, RightGroupFirst = -1, RightGroupLast = -1;
  TcxEditDefaultButtonWidthEvent DefaultButtonWidthEvent;
  TcxCustomEdit* Edit = nullptr;
  TcxCustomEditProperties* Properties;
  TcxCustomEditStyle* Style;
  RECT FillBounds{};
  bool StretchButtons = false;
  int VisibleButtonCount = 0;
  TcxContainerState StateFlags;
  RECT InPlaceMargins{};
  TcxEditContentParams ContentParams;
  bool IsEnabled = true, IsFocused = false;
  bool Designing = false;
  bool NativeStyle = false;
  uint8_t PaintFlags = 0;
  bool Active = false;
  HWND WindowHandle = nullptr;
  // The edit's hot state when there is no edit to ask (tests, measuring).
  bool IsHot = false;
  // The button pressed under the capture (the edit's PressedButtonIndex).
  int PressedButtonIndex = -1;
  // Desktop composition on (the foundation's entry, read at construction).
  bool Composited = false;
  // Whether the edit holds the mouse capture (for the capture test).
  bool HasCapture = false;
  // Whether the inner control exists and is visible, and its bounds.
  bool InnerControlVisible = false;
  RECT InnerControlBounds{};
  bool HorzScrollBarVisible = false, VertScrollBarVisible = false;
  int HorzScrollBarHeight = 0, VertScrollBarWidth = 0;
  bool Transparent = false;

private:
  void ComputeState(TcxCustomEditViewInfo* viewInfo, POINT p);
  // The canvas of the fill in progress (text buttons are measured on it).
  TcxCanvas* FMeasureCanvas = nullptr;
  bool FTextFontSet = false;
};
