// A panel that lays its children out itself: in the order of its own
// control list, left to right in rows of RowHeight (top to bottom in columns
// when vertical), wrapping when a control does not fit, and sized to the rows
// it needs. It pushes button size, glyph layout, caption visibility and
// visual style to its tool buttons, keeps the order of its controls in the
// form ("ToolbarControls"), and, when wrapping is off and buttons stick out,
// shows a 14-pixel overflow button that pops up copies of them. Also the
// spacer placed between toolbar controls.
#pragma once

#include "panels/Panel.h"
#include "panels/ToolButton.h"
#include "platform/Bitmap.h"
#include "platform/Filer.h"
#include "platform/Persistent.h"

#include <memory>
#include <vector>

class TRzRegIniFile;
class TRzToolbar;
class TRzToolbarPopupButton;

enum class TRzToolbarTextOptions { ttoNoTextLabels, ttoShowTextLabels, ttoSelectiveTextOnRight, ttoCustom };
using enum TRzToolbarTextOptions;

// One entry of the list: the control, and its name (all that is known of
// it while a form loads).
class TRzToolbarControl : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  virtual void AssignFrom(TRzToolbarControl* source) { (void)source; }
  TControl* Control = nullptr;
  AnsiString ControlName;
};

// The toolbar's controls in layout order. It asks each listed control's
// free notification, so a control freed elsewhere leaves the list.
class TRzToolbarControlList : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TRzToolbarControlList(TRzToolbar* toolbar) : FToolbar(toolbar) {}
  ~TRzToolbarControlList() override;

  int Count() const { return static_cast<int>(FItems.size()); }
  TRzToolbarControl* Items(int index) const { return FItems.at(index).get(); }
  // Answers the control's index, appending it when absent.
  int AddControl(TControl* control);
  // Appends an entry with only the name, unless one has that name
  // (compared without regard to case).
  int AddControlName(const AnsiString& name);
  // Answer the removed index, or -1.
  int RemoveControl(TControl* control);
  int RemoveControlName(const AnsiString& name);
  // Drops the entry of a component being freed, without touching it.
  int ForgetComponent(TComponent* component);
  int IndexOf(TControl* control) const;
  void Clear();

  virtual void ReadItem(TReader* reader);
  virtual void WriteItem(int index, TWriter* writer);
  virtual std::unique_ptr<TRzToolbarControl> CreateItem();

  // The names read from a form, kept until the toolbar resolves them.
  TRzToolbarControlList* LoadNames() const { return FLoadNames.get(); }
  void ReadNames(TReader* reader);
  void WriteNames(TWriter* writer);
  void ResolveNames(TComponent* owner);

private:
  TRzToolbar* FToolbar;
  std::vector<std::unique_ptr<TRzToolbarControl>> FItems;
  std::unique_ptr<TRzToolbarControlList> FLoadNames;
  int FLastNameIndex = -1;
};

// The texts of the customizing dialog, kept for streaming only: nine
// strings stored once any of them was set.
class TRzCustomizeCaptions : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TRzCustomizeCaptions();

  enum TIndex { ciTitle, ciHint, ciClose, ciMoveUp, ciMoveDown, ciTextOptions, ciNoTextLabels, ciShowTextLabels,
                ciSelectiveTextOnRight, ciCount };
  const AnsiString& Caption(TIndex index) const { return FCaptions[index]; }
  void SetCaption(TIndex index, const AnsiString& value);
  const AnsiString& Title() const { return FCaptions[ciTitle]; }
  void SetTitle(const AnsiString& value) { SetCaption(ciTitle, value); }
  const AnsiString& Hint() const { return FCaptions[ciHint]; }
  void SetHint(const AnsiString& value) { SetCaption(ciHint, value); }
  const AnsiString& Close() const { return FCaptions[ciClose]; }
  void SetClose(const AnsiString& value) { SetCaption(ciClose, value); }
  const AnsiString& MoveUp() const { return FCaptions[ciMoveUp]; }
  void SetMoveUp(const AnsiString& value) { SetCaption(ciMoveUp, value); }
  const AnsiString& MoveDown() const { return FCaptions[ciMoveDown]; }
  void SetMoveDown(const AnsiString& value) { SetCaption(ciMoveDown, value); }
  const AnsiString& TextOptions() const { return FCaptions[ciTextOptions]; }
  void SetTextOptions(const AnsiString& value) { SetCaption(ciTextOptions, value); }
  const AnsiString& NoTextLabels() const { return FCaptions[ciNoTextLabels]; }
  void SetNoTextLabels(const AnsiString& value) { SetCaption(ciNoTextLabels, value); }
  const AnsiString& ShowTextLabels() const { return FCaptions[ciShowTextLabels]; }
  void SetShowTextLabels(const AnsiString& value) { SetCaption(ciShowTextLabels, value); }
  const AnsiString& SelectiveTextOnRight() const { return FCaptions[ciSelectiveTextOnRight]; }
  void SetSelectiveTextOnRight(const AnsiString& value) { SetCaption(ciSelectiveTextOnRight, value); }
  bool Stored() const { return FStored; }
  void Assign(TPersistent* source) override;

private:
  AnsiString FCaptions[ciCount];
  bool FStored = false;
};

class TRzToolbar : public TRzCustomPanel {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TRzToolbar(TComponent* AOwner);
  ~TRzToolbar() override;

  // Hides TControl::SetAlign: the automatic style and size follow the
  // alignment.
  virtual void SetAlign(TAlign value);
  bool AutoResize() const { return FAutoResize; }
  virtual void SetAutoResize(bool value);
  bool AutoStyle() const { return FAutoStyle; }
  void SetAutoStyle(bool value) { FAutoStyle = value; }
  TBitmap* Background() { return &FBackground; }
  virtual void SetBackground(TBitmap* value) { FBackground.Assign(value); }
  TCustomImageList* Images() const { return FImages; }
  virtual void SetImages(TCustomImageList* value);
  int Margin() const { return FMargin; }  // pixels
  virtual void SetMargin(int value);
  int TopMargin() const { return FTopMargin; }  // pixels
  virtual void SetTopMargin(int value);
  TOrientation Orientation() const { return FOrientation; }
  virtual void SetOrientation(TOrientation value);
  int RowHeight() const { return FRowHeight; }  // pixels
  virtual void SetRowHeight(int value);
  bool ShowButtonCaptions() const { return FShowButtonCaptions; }
  virtual void SetShowButtonCaptions(bool value);
  TButtonLayout ButtonLayout() const { return FButtonLayout; }
  virtual void SetButtonLayout(TButtonLayout value);
  int ButtonWidth() const { return FButtonWidth; }
  virtual void SetButtonWidth(int value);
  int ButtonHeight() const { return FButtonHeight; }
  virtual void SetButtonHeight(int value);
  bool ShowDivider() const { return FShowDivider; }
  virtual void SetShowDivider(bool value);
  TRzToolbarTextOptions TextOptions() const { return FTextOptions; }
  virtual void SetTextOptions(TRzToolbarTextOptions value);
  bool WrapControls() const { return FWrapControls; }
  virtual void SetWrapControls(bool value);
  TRzCustomizeCaptions* CustomizeCaptions() { return &FCustomizeCaptions; }
  virtual void SetCustomizeCaptions(TRzCustomizeCaptions* value) { FCustomizeCaptions.Assign(value); }
  TRzRegIniFile* RegIniFile() const { return FRegIniFile; }
  virtual void SetRegIniFile(TRzRegIniFile* value);

  void SetBorderInner(TFrameStyleEx value) override;
  void SetBorderOuter(TFrameStyleEx value) override;
  void SetBorderSides(TSides value) override;
  void SetVisualStyle(TRzVisualStyle value) override;
  void SetGradientColorStyle(TRzGradientColorStyle value) override;

  TRzToolbarControlList* ToolbarControls() { return &FToolbarControls; }
  int CalculatedRowHeight() const { return FCalculatedRowHeight; }
  bool ShowPopupButton() const { return FShowPopupButton; }
  TRzToolbarPopupButton* PopupButton() const { return FPopupButton; }

  virtual int GetRowHeight(int row);
  virtual void PositionControl(int index, int row, int& pos);
  virtual void ApplyAutoStyle(TAlign alignment);
  // The value AutoResize may take: never on a page scroller or a system
  // tool bar, which size their children themselves.
  virtual void CheckAutoResize(bool& value);
  virtual void ArrangeControls();
  virtual void ApplyButtonMetrics(int width, int height, bool showCaptions);
  POINT GetResizeInvalidateMargin() override;

  void Loaded() override;
  void SetParent(TWinControl* value) override;
  void DefineProperties(TFiler* filer) override;

  TNotifyEvent OnVisibleChanged;

protected:
  friend class TRzToolbarControlList;
  friend class TRzToolbarPopupButton;
  void AlignControls(TControl* AControl, RECT& Rect) override;
  void ChangeScale(int M, int D) override;
  void Notification(TComponent* component, TOperation operation) override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  virtual void DoVisibleChanged() { FireEvent(OnVisibleChanged, this); }
  void SetShowPopupButton(bool value);
  void PositionPopupButton();
  void ImageListChange(TObject* Sender);
  void BackgroundChange(TObject* Sender);
  void ArrangeHorizontal();
  void ArrangeVertical();
  // Tells the parent to align again after the toolbar's size changed.
  void NotifyParentOfSize();

  bool FAutoResize = true;
  bool FAutoStyle = true;
  TBitmap FBackground;
  TCustomImageList* FImages = nullptr;
  TChangeLink FImageChangeLink;
  TOrientation FOrientation = orHorizontal;
  int FRowHeight = 25;
  bool FShowDivider = true;
  bool FShowButtonCaptions = false;
  TButtonLayout FButtonLayout = blGlyphLeft;
  int FButtonWidth = 25;
  int FButtonHeight = 25;
  TRzToolbarTextOptions FTextOptions = ttoNoTextLabels;
  bool FUpdatingTextOptions = false;
  bool FWrapControls = true;
  TRzCustomizeCaptions FCustomizeCaptions;
  TRzRegIniFile* FRegIniFile = nullptr;
  TRzToolbarControlList FToolbarControls{this};
  int FMargin = 4;
  int FTopMargin = 2;
  int FCalculatedRowHeight = 25;
  TRzToolbarPopupButton* FPopupButton = nullptr;
  bool FShowPopupButton = false;
  bool FArranging = false;
};

// The blank or grooved gap between toolbar controls.
class TRzSpacer : public TGraphicControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TRzSpacer(TComponent* AOwner);

  bool Grooved() const { return FGrooved; }
  virtual void SetGrooved(bool value);
  TOrientation Orientation() const { return FOrientation; }
  virtual void SetOrientation(TOrientation value);

protected:
  void Paint() override;

private:
  bool FGrooved = false;
  TOrientation FOrientation = orHorizontal;
};

// The 14-pixel button at the right end of a toolbar whose buttons do not
// all fit: it pops up copies of the hidden ones.
class TRzToolbarPopupButton : public TCustomControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TRzToolbarPopupButton(TComponent* AOwner);

  TRzToolbar* Toolbar() const { return FToolbar; }
  TColor FrameColor() const { return FFrameColor; }
  virtual void SetFrameColor(TColor value);
  bool IsDown() const { return FDown; }
  // The source toolbar's button whose copy was clicked last, or null.
  TRzToolButton* SelectedButton() const { return FSelectedButton; }
  void SetSelectedButton(TRzToolButton* value) { FSelectedButton = value; }
  // Pops the hidden buttons' copies up under the button; clicks the chosen
  // one's original once the popup has closed.
  void ShowOverflowMenu();
  // The overflow popup while it is open (null otherwise).
  class TRzPopupPanel* OverflowPanel() const { return FOverflowPanel; }

  virtual void DrawBackground(const RECT& r, bool down);
  virtual void DrawArrow(const RECT& r);

protected:
  friend class TRzToolbar;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Dispatch(TMessage& Message) override;

  TRzToolbar* FToolbar = nullptr;
  TColor FFrameColor = clBtnShadow;
  TPopupMenu* FPopupMenu = nullptr;  // kept, never shown
  bool FPressed = false;
  bool FDown = false;
  TRzToolButton* FSelectedButton = nullptr;
  class TRzPopupPanel* FOverflowPanel = nullptr;
};

// A copy of a toolbar button in the overflow popup: clicking it names the
// original to the overflow button and closes the popup.
class TRzPopupToolButton : public TRzToolButton {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TRzToolButton::TRzToolButton;

  void Assign(TPersistent* source) override;
  void Click() override;
  TRzToolButton* MappedButton() const { return FMappedButton; }
  TRzToolbar* PopupToolbar = nullptr;
  TRzToolbarPopupButton* PopupButton = nullptr;

private:
  TRzToolButton* FMappedButton = nullptr;
};
