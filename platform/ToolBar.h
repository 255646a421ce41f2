// The tool bar over the system's tool bar window: its buttons are
// windowless controls (TToolButton) whose place, state and drawing the
// system window keeps; other controls placed on the bar (a combo box) sit
// in a gap of their width.
#pragma once

#include "platform/Control.h"
#include "platform/ImageList.h"
#include "platform/Set.h"

#include <vector>

class TToolBar;
class TPopupMenu;

enum class TToolButtonStyle { tbsButton, tbsCheck, tbsDropDown, tbsSeparator, tbsDivider };
using enum TToolButtonStyle;

// What custom drawing is told of a button.
enum class TCustomDrawStateItem {
  cdsSelected, cdsGrayed, cdsDisabled, cdsChecked, cdsFocused, cdsDefault, cdsHot, cdsMarked, cdsIndeterminate
};
using enum TCustomDrawStateItem;
using TCustomDrawState = TSet<TCustomDrawStateItem, 16>;

// One button of a tool bar. Its bounds follow the system's layout.
class TToolButton : public TGraphicControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TToolButton(TComponent* AOwner);
  ~TToolButton() override;

  TToolBar* ToolBar() const { return FToolBar; }
  void SetParent(TWinControl* value) override;

  TToolButtonStyle Style() const { return FStyle; }
  // A separator or divider made in code starts 8 pixels wide.
  void SetStyle(TToolButtonStyle value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int value);
  // A check button that is down, or a pressed button of a group.
  bool Down() const { return FDown; }
  void SetDown(bool value);
  // Check buttons next to each other with Grouped set are down one at a
  // time; AllowAllUp lets the down one come up again.
  bool Grouped() const { return FGrouped; }
  void SetGrouped(bool value);
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool value) { FAllowAllUp = value; }
  bool Indeterminate() const { return FIndeterminate; }
  void SetIndeterminate(bool value);
  bool Marked() const { return FMarked; }
  void SetMarked(bool value);
  // The row ends after this button.
  bool Wrap() const { return FWrap; }
  void SetWrap(bool value);
  // As wide as its caption and image need.
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  // Shown under a tbsDropDown button when its arrow is pressed.
  TPopupMenu* DropdownMenu() const { return FDropdownMenu; }
  void SetDropdownMenu(TPopupMenu* value);
  // Opens the drop-down menu under the button (answers whether there was one).
  bool CheckMenuDropdown();
  // Position on the bar, -1 when on none.
  int Index() const;

protected:
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  friend class TToolBar;
  void Changed(bool layout);

  TToolBar* FToolBar = nullptr;
  TToolButtonStyle FStyle = tbsButton;
  int FImageIndex = -1;
  bool FDown = false;
  bool FGrouped = false;
  bool FAllowAllUp = false;
  bool FIndeterminate = false;
  bool FMarked = false;
  bool FWrap = false;
  bool FAutoSize = false;
  TPopupMenu* FDropdownMenu = nullptr;
};

using TTBCustomDrawEvent = TEvent<void(TToolBar* Sender, const RECT& ARect, bool& DefaultDraw)>;
using TTBCustomDrawBtnEvent =
    TEvent<void(TToolBar* Sender, TToolButton* Button, TCustomDrawState State, bool& DefaultDraw)>;

class TToolBar : public TWinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TToolBar(TComponent* AOwner);
  ~TToolBar() override;

  // The tool buttons in their order on the bar.
  int ButtonCount() const { return static_cast<int>(FButtons.size()); }
  TToolButton* Buttons(int index) const { return FButtons.at(index); }

  int ButtonWidth() const { return FButtonWidth; }
  void SetButtonWidth(int value);
  int ButtonHeight() const { return FButtonHeight; }
  void SetButtonHeight(int value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* value);
  TCustomImageList* DisabledImages() const { return FDisabledImages; }
  void SetDisabledImages(TCustomImageList* value);
  TCustomImageList* HotImages() const { return FHotImages; }
  void SetHotImages(TCustomImageList* value);
  // Buttons without a face until the mouse is over them.
  bool Flat() const { return FFlat; }
  void SetFlat(bool value);
  bool ShowCaptions() const { return FShowCaptions; }
  void SetShowCaptions(bool value);
  // Captions right of the images instead of under them.
  bool List() const { return FList; }
  void SetList(bool value);
  bool Wrapable() const { return FWrapable; }
  void SetWrapable(bool value);
  int Indent() const { return FIndent; }
  void SetIndent(int value);
  TCanvas* Canvas() { return &FCanvas; }

  // Before the bar's background and buttons are drawn (the system draws
  // what DefaultDraw leaves on).
  TTBCustomDrawEvent OnCustomDraw;
  // Before each button is drawn.
  TTBCustomDrawBtnEvent OnCustomDrawButton;

protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWnd() override;
  void AlignControls(TControl* AControl, RECT& Rect) override;
  void Notification(TComponent* component, TOperation operation) override;
  void Dispatch(TMessage& Message) override;
  void Loaded() override;

private:
  friend class TToolButton;
  // Gives the system window every button again (structure changed).
  void RecreateButtons();
  // Places the controls where the system's layout put their buttons.
  void UpdateBounds();
  void UpdateButtonState(TToolButton* button);
  // Reads the down state of every check button from the system window.
  void ReadDownStates();
  void ApplyImages();
  void ImageListChange(TObject* Sender);
  void SetImageList(TCustomImageList*& field, TChangeLink& link, TCustomImageList* value);
  TToolButton* ButtonOfCommand(WPARAM command) const;
  LRESULT CustomDraw(NMTBCUSTOMDRAW& draw);
  // The controls the system window holds a button for, in order.
  std::vector<TControl*> ItemControls() const;

  std::vector<TToolButton*> FButtons;
  std::vector<TControl*> FBuilt;  // what the system window holds now
  bool FRebuilding = false;
  int FButtonWidth = 23;
  int FButtonHeight = 22;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FDisabledImages = nullptr;
  TCustomImageList* FHotImages = nullptr;
  TChangeLink FImageChangeLink;
  TChangeLink FDisabledImageChangeLink;
  TChangeLink FHotImageChangeLink;
  bool FFlat = false;
  bool FShowCaptions = false;
  bool FList = false;
  bool FWrapable = true;
  int FIndent = 0;
  TControlCanvas FCanvas;
};
