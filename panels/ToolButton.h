// The toolbar's windowless button: an image from an image list, an optional
// caption, a flat or framed face that follows the mouse, radio-like groups
// and an optional drop-down menu on the whole button or on a 14-pixel arrow
// part (a split button). On a TRzToolbar it takes its size, glyph layout,
// caption visibility and visual style from the toolbar until told otherwise.
#pragma once

#include "panels/DrawingHelpers.h"
#include "platform/ActnList.h"
#include "platform/Buttons.h"
#include "platform/Control.h"
#include "platform/ImageList.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"

#include <cstdint>

class TRzToolbar;

enum class TRzToolStyle { tsButton, tsDropDown };
using enum TRzToolStyle;

// The face state: up, disabled, down (pressed while the mouse is held),
// exclusive (latched down) and dropped down (its menu is open).
enum class TRzToolButtonState { rbsUp, rbsDisabled, rbsDown, rbsExclusive, rbsDropDown };
using enum TRzToolButtonState;

// The arrow part of a drop-down button, in pixels.
constexpr int ToolButtonArrowWidth = 14;

class TRzToolButton : public TGraphicControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TRzToolButton(TComponent* AOwner);
  ~TRzToolButton() override;

  bool AllowAllUp() const { return FAllowAllUp; }
  virtual void SetAllowAllUp(bool value);
  bool Down() const { return FDown; }
  virtual void SetDown(bool value);
  bool Flat() const { return FFlat; }
  virtual void SetFlat(bool value);
  int GroupIndex() const { return FGroupIndex; }
  virtual void SetGroupIndex(int value);
  int ImageIndex() const { return FImageIndex; }
  virtual void SetImageIndex(int value);
  int DownIndex() const { return FDownIndex; }
  virtual void SetDownIndex(int value);
  int DisabledIndex() const { return FDisabledIndex; }
  virtual void SetDisabledIndex(int value);
  int HotIndex() const { return FHotIndex; }
  virtual void SetHotIndex(int value);
  TCustomImageList* Images() const { return FImages; }
  virtual void SetImages(TCustomImageList* value);
  TButtonLayout Layout() const { return FLayout; }
  virtual void SetLayout(TButtonLayout value);
  TPopupMenu* DropDownMenu() const { return FDropDownMenu; }
  virtual void SetDropDownMenu(TPopupMenu* value);
  TRzToolStyle ToolStyle() const { return FToolStyle; }
  virtual void SetToolStyle(TRzToolStyle value);
  bool ShowCaption() const { return FShowCaption; }
  virtual void SetShowCaption(bool value);
  bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool value);
  TAlignment Alignment() const { return FAlignment; }
  virtual void SetAlignment(TAlignment value);
  TRzVisualStyle VisualStyle() const { return FVisualStyle; }
  virtual void SetVisualStyle(TRzVisualStyle value);
  TRzGradientColorStyle GradientColorStyle() const { return FGradientColorStyle; }
  virtual void SetGradientColorStyle(TRzGradientColorStyle value);
  TColor SelectionColorStart() const { return FSelectionColorStart; }
  virtual void SetSelectionColorStart(TColor value);
  TColor SelectionColorStop() const { return FSelectionColorStop; }
  virtual void SetSelectionColorStop(TColor value);
  TColor SelectionFrameColor() const { return FSelectionFrameColor; }
  virtual void SetSelectionFrameColor(TColor value);
  bool UseToolbarButtonLayout() const { return FUseToolbarButtonLayout; }
  virtual void SetUseToolbarButtonLayout(bool value);
  bool UseToolbarButtonSize() const { return FUseToolbarButtonSize; }
  virtual void SetUseToolbarButtonSize(bool value);
  bool UseToolbarShowCaption() const { return FUseToolbarShowCaption; }
  virtual void SetUseToolbarShowCaption(bool value);
  bool UseToolbarVisualStyle() const { return FUseToolbarVisualStyle; }
  virtual void SetUseToolbarVisualStyle(bool value);
  // Setting the size from outside the toolbar ends UseToolbarButtonSize
  // (a toolbar sizes its buttons through SetBounds).
  void SetWidth(int value);
  void SetHeight(int value);

  TRzToolButtonState State() const { return FState; }
  bool MouseOverButton() const { return FMouseOverButton; }
  bool InDropDown() const { return FInDropDown; }
  // The list the button draws from: its own, else its toolbar's.
  TCustomImageList* EffectiveImages() const;
  // The toolbar it lies on, or null.
  TRzToolbar* Toolbar() const;

  // Sends itself the toolbar's four messages (caption, layout, size,
  // visual style) when it has a parent.
  virtual void SyncWithToolbar();
  virtual void DrawButtonFace(RECT& r);
  virtual void DrawGlyph(const RECT& glyphRect);
  virtual void DrawDropDownArea();
  virtual void DrawButtonText(const RECT& textRect);
  virtual void DoDropDown();
  virtual SIZE GetGlyphSize();
  virtual void CalcLayout(RECT& glyphRect, RECT& textRect);

  void Click() override;
  void Loaded() override;
  void SetParent(TWinControl* value) override;
  void DefineProperties(TFiler* filer) override;

  TNotifyEvent OnDropDown;

protected:
  friend class TRzToolButtonActionLink;
  void AssignTo(TPersistent* dest) override;
  void Notification(TComponent* component, TOperation operation) override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  TClass GetActionLinkClass() const override;
  virtual void FireDropDown();
  void Dispatch(TMessage& Message) override;

  void UpdateExclusive();
  void UpdateTracking();
  // Flat unless themed: a face drawn only while hovered, pressed or down.
  bool IsFlatLook() const;
  bool IsThemed() const;
  // A drop-down button that also clicks (OnClick or an action): the arrow
  // part drops down, the body clicks.
  bool IsSplitButton() const;
  void EnsureSizeForImages();
  void ImageListChange(TObject* Sender);
  int CaptionTextWidth();
  void ApplyToolbarSize();
  int EstimatePopupMenuWidth();

  bool FAllowAllUp = false;
  bool FDown = false;
  bool FDragging = false;
  bool FFlat = true;
  int FGroupIndex = 0;
  int FImageIndex = -1;
  int FDownIndex = -1;
  int FDisabledIndex = -1;
  int FHotIndex = -1;
  TCustomImageList* FImages = nullptr;
  TChangeLink FImageChangeLink;
  TButtonLayout FLayout = blGlyphLeft;
  TPopupMenu* FDropDownMenu = nullptr;
  bool FInDropDown = false;
  bool FMouseOverButton = false;
  TRzToolStyle FToolStyle = tsButton;
  bool FShowCaption = false;
  bool FTransparent = true;
  TAlignment FAlignment = taCenter;
  TRzVisualStyle FVisualStyle = vsWinXP;
  TRzGradientColorStyle FGradientColorStyle = gcsSystem;
  TColor FSelectionColorStart = clBtnFace;
  TColor FSelectionColorStop = clBtnShadow;
  TColor FSelectionFrameColor = cl3DDkShadow;
  bool FUseToolbarButtonLayout = true;
  bool FUseToolbarButtonSize = true;
  bool FUseToolbarShowCaption = true;
  bool FUseToolbarVisualStyle = true;
  TRzToolButtonState FState = rbsUp;
  DWORD FDropTime = 0;  // tick count when the menu closed
  bool FTreatAsNormal = true;
};

// Links Down to the action's Checked and ImageIndex to its ImageIndex
// while each pair agrees.
class TRzToolButtonActionLink : public TControlActionLink {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TRzToolButtonActionLink(TObject* AClient) : TControlActionLink(AClient) {}

  bool IsCheckedLinked() override;
  bool IsImageIndexLinked() override;
  void SetChecked(bool value) override;
  void SetImageIndex(int value) override;

private:
  TRzToolButton* Button() const;
};
