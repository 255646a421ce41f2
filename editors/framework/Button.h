// The push button of the editor family: a system button the control draws
// itself (owner-drawn) through the painter of its own look and feel, with a
// face and text colour per state, a glyph strip or an action's image beside
// the caption, two drop-down kinds that open a popup menu below (or above)
// the button, a speed-button mode with groups, hot tracking and a context
// menu of any popup-menu component.
#pragma once

#include "foundation/BaseControl.h"
#include "foundation/Canvas.h"
#include "foundation/Classes.h"
#include "foundation/Controls.h"
#include "foundation/ImageInfoList.h"
#include "foundation/LookAndFeel.h"
#include "platform/ActnList.h"
#include "platform/Buttons.h"
#include "platform/ImageList.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"

#include <memory>
#include <vector>

enum class TcxButtonKind : uint8_t { cxbkStandard, cxbkDropDown, cxbkDropDownButton };
using enum TcxButtonKind;
enum class TcxButtonAssignedColor : uint8_t {
  cxbcDefault, cxbcDefaultText, cxbcDisabled, cxbcDisabledText, cxbcHot, cxbcHotText, cxbcNormal, cxbcNormalText,
  cxbcPressed, cxbcPressedText
};
using enum TcxButtonAssignedColor;
using TcxButtonAssignedColors = TSet<TcxButtonAssignedColor, 16>;

class TcxCustomButton;
using TcxButtonDropDownMenuPopupEvent = TEvent<void(TObject* Sender, TPopupMenu*& APopupMenu, bool& AHandled)>;
using TcxButtonGetDrawParamsEvent =
    TEvent<void(TcxCustomButton* Sender, TcxButtonState AState, TColor& AColor, TFont* AFont)>;

// The width of a drop-down button's arrow part, and how far the main part
// overlaps it.
inline constexpr int cxDropDownButtonWidth = 15;
inline constexpr int cxDropDownButtonOverlap = 2;

// The ten colours of a button; an unassigned one holds clDefault.
class TcxButtonColors : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxButtonColors(TcxCustomButton* owner);
  void Assign(TPersistent* source) override;

  TcxButtonAssignedColors AssignedColors() const { return FAssignedColors; }
  // Takes effect only while the button is being designed.
  void SetAssignedColors(TcxButtonAssignedColors value);
  TColor Color(TcxButtonAssignedColor index) const { return FColors[static_cast<int>(index)]; }
  // clNone and clDefault unassign the colour.
  void SetColor(TcxButtonAssignedColor index, TColor value);
  bool IsColorStored(TcxButtonAssignedColor index) const { return FAssignedColors.Contains(index); }
  // One colour as a form stores it.
  template <TcxButtonAssignedColor I>
  TColor ColorOf() const { return Color(I); }
  template <TcxButtonAssignedColor I>
  void SetColorOf(TColor value) { SetColor(I, value); }
  template <TcxButtonAssignedColor I>
  bool ColorOfStored() const { return IsColorStored(I); }

private:
  TcxCustomButton* FButton;
  TcxButtonAssignedColors FAssignedColors;
  TColor FColors[10];
};

// A glyph list of one cell size: used slots are marked, a freed slot is
// taken again first.
class TcxGlyphList : public TcxImageList {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TcxGlyphList(int width, int height);

  int UsedCount() const { return FUsedCount; }
  int AddGlyph(TBitmap* image, TBitmap* mask);
  void ReleaseGlyph(int index);

private:
  std::vector<bool> FUsed;
  int FUsedCount = 0;
};

// The glyph lists of the process, one per cell size. Exists while a glyph
// exists.
class TcxGlyphCache : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  ~TcxGlyphCache() override;

  TcxGlyphList* GetList(int width, int height);
  // Frees the list when no glyph uses it any more.
  void ReturnList(TcxGlyphList* list);
  int ListCount() const { return static_cast<int>(FLists.size()); }

private:
  std::vector<TcxGlyphList*> FLists;  // owned
};
// The process's glyph cache, or null.
TcxGlyphCache* cxGlyphCache();

// The glyph of a button: the strip of up to four cells (up, disabled, down,
// exclusive) and the images built from it in the shared glyph list.
class TcxButtonGlyph : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // What a glyph shows: its bitmap, else an image of an image list. (The
  // button's own kind of image info, kept apart from the foundation's.)
  class TcxImageInfo : public TObject {
  public:
    static const TClassInfo ClassInfo;
    TClass ClassType() const override { return &ClassInfo; }
    explicit TcxImageInfo(TcxButtonGlyph* owner);
    ~TcxImageInfo() override;

    TBitmap* Glyph() const { return FGlyph; }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* value) { FImages = value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value) { FImageIndex = value; }
    bool IsImageAssigned() const;

  private:
    TBitmap* FGlyph;  // owned
    TCustomImageList* FImages = nullptr;
    int FImageIndex = -1;
  };

  TcxButtonGlyph();
  ~TcxButtonGlyph() override;

  TBitmap* Glyph() const { return FImageInfo->Glyph(); }
  // Copies the bitmap; the cell count follows its shape (a strip n times as
  // wide as high, n up to 4, has n cells; any other bitmap one).
  void SetGlyph(TBitmap* value);
  int NumGlyphs() const { return FNumGlyphs; }
  // Clamped to 1..4.
  void SetNumGlyphs(int value);
  TCustomImageList* Images() const { return FImageInfo->Images(); }
  int ImageIndex() const { return FImageInfo->ImageIndex(); }
  // The action's images: rebuilt only when the glyph bitmap is empty.
  void SetImageList(TCustomImageList* images, int index);
  bool IsImageAssigned() const { return FImageInfo->IsImageAssigned(); }
  SIZE GlyphSize() const;
  TcxGlyphList* GlyphList() const { return FGlyphList; }
  // The index in the glyph list of the state's image, built on first use.
  virtual int StateImageIndex(TcxButtonState state);
  virtual RECT TextMargins(TButtonLayout layout) const;
  // Frees the built images and hands the list back.
  void ReleaseImages();

  TNotifyEvent OnChange;

private:
  void GlyphChanged(TObject*);
  int BuildImage(int cell, TcxButtonState state);

  TcxGlyphList* FGlyphList = nullptr;
  int FImageIndices[4] = {-1, -1, -1, -1};
  int FNumGlyphs = 1;
  std::unique_ptr<TcxImageInfo> FImageInfo;
  bool FChanging = false;
};

class TcxButtonActionLink : public TButtonActionLink {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxButtonActionLink(TObject* client);
  ~TcxButtonActionLink() override;
  void SetImageIndex(int value) override;

private:
  TcxCustomButton* FButton;
};

class TcxCustomButton
    : public TcxUncountedInterfaces<TButton, IcxLookAndFeelContainer, IcxMouseTrackingCaller, IcxMarker> {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxCustomButton(TComponent* AOwner);
  ~TcxCustomButton() override;

  TcxButtonKind Kind() const { return FKind; }
  void SetKind(TcxButtonKind value);
  TcxButtonColors* Colors() const { return FColors.get(); }
  void SetColors(TcxButtonColors* value) { FColors->Assign(value); }
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
  void SetLookAndFeel(TcxLookAndFeel* value) { FLookAndFeel->Assign(value); }
  TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
  void SetDropDownMenu(TPopupMenu* value);
  // A TPopupMenu or a component offering the showable-popup-menu interface;
  // anything else is not kept.
  TComponent* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TComponent* value);
  TPopupAlignment PopupAlignment() const { return FPopupAlignment; }
  void SetPopupAlignment(TPopupAlignment value) { FPopupAlignment = value; }
  TBitmap* Glyph() const { return FGlyph->Glyph(); }
  void SetGlyph(TBitmap* value) { FGlyph->SetGlyph(value); }
  int NumGlyphs() const { return FGlyph->NumGlyphs(); }
  void SetNumGlyphs(int value) { FGlyph->SetNumGlyphs(value); }
  TcxButtonGlyph* ButtonGlyph() const { return FGlyph.get(); }
  TButtonLayout Layout() const { return FLayout; }
  void SetLayout(TButtonLayout value);
  // -1 is automatic; below -1 is ignored.
  int Margin() const { return FMargin; }
  void SetMargin(int value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int value);
  bool UseSystemPaint() const { return FUseSystemPaint; }
  void SetUseSystemPaint(bool value) { FUseSystemPaint = value; }
  bool CanBeFocused() const { return FCanBeFocused; }
  void SetCanBeFocused(bool value);
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int value);
  bool Down() const { return FDown; }
  void SetDown(bool value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);

  // What the button shows now.
  TcxButtonState State() const;
  bool IsHot() const { return FHot; }
  bool IsMenuOpen() const { return FMenuOpen; }
  bool SpeedButtonMode() const { return !FCanBeFocused || FGroupIndex != 0; }
  // The client rectangle's part that opens the menu (empty for standard).
  RECT DropDownPart() const;
  // The face and text colours of a state.
  TColor FaceColor(TcxButtonState state) const;
  TColor TextColor(TcxButtonState state) const;
  // Where glyph and caption go in the content rectangle `content` for a
  // caption of `textSize` (without the glyph's text margins).
  struct TLayout {
    POINT GlyphPos;
    RECT TextRect;
  };
  TLayout CalculateLayout(TCanvas* canvas, const RECT& content, POINT offset, bool rightToLeft) const;

  virtual bool FireDropDownMenuPopup(TPopupMenu*& menu);
  virtual bool ShowPopupMenu(TComponent* menu, int X, int Y);
  virtual TClass GlyphClass() const;
  virtual TcxLookAndFeelPainterClass CurrentPainter() const;
  virtual bool LeavesPaintingToSystem() const { return false; }
  virtual void MeasureOptimalSize(SIZE& size);

  void Click() override;
  bool CanFocus() override;

  TcxButtonDropDownMenuPopupEvent OnDropDownMenuPopup;
  TcxButtonGetDrawParamsEvent OnGetDrawParams;

  // IcxLookAndFeelContainer
  TcxLookAndFeel* STDMETHODCALLTYPE GetLookAndFeel() override { return FLookAndFeel.get(); }
  // IcxMouseTrackingCaller
  void STDMETHODCALLTYPE MouseLeave() override { Perform(CM_MOUSELEAVE); }

protected:
  void Notification(TComponent* component, TOperation operation) override;
  void CreateParams(TCreateParams& Params) override;
  void CreateHandle() override;
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  void SetButtonStyle(bool ADefault) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void DoContextPopup(POINT MousePos, bool& Handled) override;
  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  TClass GetActionLinkClass() const override;
  bool UpdateAction(TBasicAction* Action) override;
  // Alt or Shift with Up or Down opens the menu of a drop-down-button.
  void KeyDown(WORD& Key, TShiftState Shift) override;

  bool FAutoSize = false;

private:
  friend class TcxButtonActionLink;
  void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changed);
  void GlyphChanged(TObject*) { Invalidate(); }
  void DrawItem(const DRAWITEMSTRUCT& item);
  void DrawContent(TcxCanvas* canvas, const RECT& content, TcxButtonState state, POINT offset, TColor textColor);
  void TakeActionImages();
  bool HotTrackingAllowed() const;
  bool MouseIsOver() const;
  void RequestDropDown();
  void OpenDropDownMenu();
  void DropDownMenuClosed();
  void NotifyGroup();
  void ButtonPressed(TMessage& Message);
  void MouseEnter();
  void MouseLeaveNow();
  bool IsDesigning() const { return ComponentState().Contains(csDesigning); }
  bool InDropDownPart(POINT p) const;
  void ApplyAutoSize();

  bool FPressedLook = false;
  bool FFocusLook = false;
  std::unique_ptr<TcxCanvas> FDrawCanvas;
  std::unique_ptr<TcxButtonColors> FColors;
  std::unique_ptr<TControlCanvas> FControlCanvas;
  bool FTrackingPress = false;
  TPopupMenu* FDropDownMenu = nullptr;
  bool FDefaultLook = false;
  bool FSuppressNextClick = false;
  TcxButtonKind FKind = cxbkStandard;
  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
  TPopupAlignment FPopupAlignment = paLeft;
  TComponent* FPopupMenu = nullptr;
  bool FUseSystemPaint = false;
  bool FAllowAllUp = false;
  bool FCanBeFocused = true;
  bool FDown = false;
  int FGroupIndex = 0;
  std::unique_ptr<TcxButtonGlyph> FGlyph;
  TButtonLayout FLayout = blGlyphLeft;
  int FMargin = -1;
  bool FMenuOpen = false;
  bool FHot = false;
  int FSpacing = 4;
  bool FWordWrap = false;
};

// The button as forms place it.
class TcxButton : public TcxCustomButton {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomButton::TcxCustomButton;
};
