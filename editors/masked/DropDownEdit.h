// The drop-down editors' shared frame: an edit (a mask edit with one
// drop-down button) that opens a popup window under or beside itself, the
// popup window with its borders, optional system panel (close button and
// size grip) and user resizing, and the properties that configure both.
// The keys and clicks that open and close the popup, and what each kind of
// closing does to the value, are decided here; a descendant only says what
// the popup shows (GetPopupContentSize, PositionPopupContent) and whether it
// can open (CanDropDown).
//
//   class TMyDropDown : public TcxCustomDropDownEdit { ...CanDropDown, GetPopupContentSize... };
//   edit->SetDroppedDown(true);   // opens once the posted show request arrives
#pragma once

#include "editors/masked/MaskEdit.h"
#include "foundation/CustomPopup.h"

#include <memory>

class TcxCustomDropDownEdit;
class TcxCustomEditPopupWindow;

// -- Properties -----------------------------------------------------------------------------------

class TcxCustomDropDownEditProperties : public TcxCustomMaskEditProperties {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  // One drop-down button; opens below, left-aligned, sized to its content.
  explicit TcxCustomDropDownEditProperties(TPersistent* owner);
  void CopyFrom(TPersistent* source) override;

  bool ImmediateDropDown() const { return FImmediateDropDown; }
  void SetImmediateDropDown(bool value) { FImmediateDropDown = value; }
  bool ImmediatePopup() const { return FImmediatePopup; }
  void SetImmediatePopup(bool value) { FImmediatePopup = value; }
  bool PopupAutoSize() const { return FPopupAutoSize; }
  void SetPopupAutoSize(bool value) { FPopupAutoSize = value; }
  bool PopupClientEdge() const { return FPopupClientEdge; }
  void SetPopupClientEdge(bool value) { Notify(FPopupClientEdge, value); }
  TcxPopupDirection PopupDirection() const { return FPopupDirection; }
  void SetPopupDirection(TcxPopupDirection value) { FPopupDirection = value; }
  // Draw the drop-down button pressed while the popup is open.
  bool KeepArrowPressed() const { return FKeepArrowPressed; }
  void SetKeepArrowPressed(bool value) { Notify(FKeepArrowPressed, value); }
  int PopupHeight() const { return FPopupHeight; }
  // Raised to PopupMinHeight.
  void SetPopupHeight(int value);
  TcxPopupAlignment PopupHorzAlignment() const { return FPopupHorzAlignment; }
  void SetPopupHorzAlignment(TcxPopupAlignment value) { Notify(FPopupHorzAlignment, value); }
  TcxPopupAlignment PopupVertAlignment() const { return FPopupVertAlignment; }
  void SetPopupVertAlignment(TcxPopupAlignment value) { FPopupVertAlignment = value; }
  // The published view of the horizontal alignment.
  TAlignment PopupAlignment() const;
  void SetPopupAlignment(TAlignment value);
  int PopupMinHeight() const { return FPopupMinHeight; }
  // Negative values become 0; the height is then applied again.
  void SetPopupMinHeight(int value);
  int PopupMinWidth() const { return FPopupMinWidth; }
  void SetPopupMinWidth(int value);
  bool PopupSizeable() const { return FPopupSizeable; }
  void SetPopupSizeable(bool value) { Notify(FPopupSizeable, value); }
  // True shows the system panel (close button and size grip).
  bool PopupSysPanelStyle() const { return FPopupSysPanelStyle; }
  void SetPopupSysPanelStyle(bool value) { Notify(FPopupSysPanelStyle, value); }
  int PopupWidth() const { return FPopupWidth; }
  // Below 0 becomes 0 (the edit's width); a positive width at least PopupMinWidth.
  void SetPopupWidth(int value);
  bool PostPopupValueOnTab() const { return FPostPopupValueOnTab; }
  void SetPostPopupValueOnTab(bool value) { FPostPopupValueOnTab = value; }
  // The drop-down button's glyph: a usable one makes the button a glyph
  // button, none makes a glyph button a drop-down arrow again.
  TBitmap* ButtonGlyph();
  void SetButtonGlyph(TBitmap* value);

  // May veto a close by the popup's close button.
  TCloseQueryEvent OnCloseQuery;
  TNotifyEvent OnCloseUp;
  // Not published: told when a popup cycle ends.
  TNotifyEvent OnFinalizePopup;
  TNotifyEvent OnInitPopup;
  TNotifyEvent OnPopup;

  // -- The virtual operations, in their order.
  virtual int DropDownButtonIndex() const { return 0; }
  // A left click in the text area opens the popup.
  virtual bool DropsDownOnTextClick() const { return false; }
  // ImmediatePost posts after the popup has closed rather than at close-up.
  virtual bool PostsAfterClose() const { return false; }
  // The popup window of the editor kind (the window class).
  virtual TcxCustomEditPopupWindow* NewPopupWindow(TcxCustomDropDownEdit* edit) const;
  virtual bool PopupFitsWorkArea() const { return true; }
  // The popup takes the keyboard focus (and runs its own loop).
  virtual bool PopupTakesFocus() const { return false; }

  bool IsDropDownKind() const override { return true; }
  void NotifyChanged() override;

private:
  template <class T>
  void Notify(T& field, const T& value) {
    if (field == value) return;
    field = value;
    NotifyChanged();
  }
  void SyncGlyphKind();

  bool FImmediateDropDown = true;
  bool FImmediatePopup = false;
  bool FPopupAutoSize = true;
  bool FPopupClientEdge = false;
  TcxPopupDirection FPopupDirection = pdVertical;
  bool FKeepArrowPressed = false;
  int FPopupHeight = 0;            // pixels, 0: from the content
  TcxPopupAlignment FPopupHorzAlignment = cxpaNear;
  int FPopupMinHeight = 0;         // pixels
  int FPopupMinWidth = 0;          // pixels
  bool FPopupSizeable = false;
  bool FPopupSysPanelStyle = false;
  TcxPopupAlignment FPopupVertAlignment = cxpaFar;
  int FPopupWidth = 0;             // pixels, 0: the edit's width
  bool FPostPopupValueOnTab = false;
  bool FSyncingGlyph = false;
};

// -- The popup window -----------------------------------------------------------------------------

// Sides a resize drags.
struct TcxSizingDirections {
  bool Left = false, Top = false, Right = false, Bottom = false;
  bool Any() const { return Left || Top || Right || Bottom; }
};

// Lays out and paints the popup's frame: border, client edge, system panel
// with its close button and size grip.
class TcxCustomEditPopupWindowViewInfo : public TcxContainerViewInfo {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // A border drawn by the owner: answers the width and whether it drew.
  using TCustomDrawBorderEvent = TEvent<bool(TcxCustomEditPopupWindowViewInfo* Sender, TcxCanvas* Canvas,
                                             const RECT& Bounds, int& Width)>;
  TCustomDrawBorderEvent OnCustomDrawBorder;
  TcxEditPopupBorderStyle PopupBorderStyle = epbsDefault;
  bool ClientEdge = false;
  bool CloseButton = false;
  RECT CloseButtonRect{};
  // 1 normal, 2 hot, 3 pressed.
  int CloseButtonState = 1;
  int MinSysPanelHeight = 0;  // pixels, 0: none
  bool Sizeable = false;
  // 0 top-left, 1 top-right, 2 bottom-left, 3 bottom-right.
  int SizeGripCorner = 3;
  RECT SizeGripRect{};        // as drawn
  RECT SizeGripSizingRect{};  // where a press starts a resize
  RECT InnerRect{};
  int SizingEdgeWidth = 0;    // pixels
  int SysPanelHeight = 0;     // pixels, 0 without the panel
  bool SysPanelStyle = false;

  // -- The virtual operations, in their order.
  virtual void Calculate();
  virtual void DrawBorder(TcxCanvas* canvas, RECT& r);
  // Left, top, right and bottom widths around the client area.
  virtual RECT GetBorderExtents();
  // The width of border and client edge on each side.
  virtual int GetClientExtent();
  virtual int GetSysPanelHeight();
  // Whether (x, y) starts a resize, and which sides it drags.
  virtual bool HitTestSizing(int x, int y, TcxSizingDirections& directions);

  void PaintContent(TcxCanvas* canvas) override;
  int BorderWidthOf() const;
  int ClientEdgeWidthOf() const;
  bool GripAtTop() const { return SizeGripCorner == 0 || SizeGripCorner == 1; }
  bool GripAtLeft() const { return SizeGripCorner == 0 || SizeGripCorner == 2; }

private:
  int CustomBorderWidth();
  int FCustomBorderWidth = -1;
};

class TcxCustomEditPopupWindow : public TcxCustomPopupWindow {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxCustomEditPopupWindow(TcxCustomDropDownEdit* edit);
  ~TcxCustomEditPopupWindow() override;

  TcxCustomDropDownEdit* Edit() const { return FEdit; }
  TcxCustomEditPopupWindowViewInfo* EditViewInfo() const {
    return static_cast<TcxCustomEditPopupWindowViewInfo*>(ViewInfo());
  }
  bool PopupAutoSize() const { return FPopupAutoSize; }
  void SetPopupAutoSize(bool value) { FPopupAutoSize = value; }
  TcxEditPopupBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TcxEditPopupBorderStyle value);
  bool ClientEdge() const { return FClientEdge; }
  void SetClientEdge(bool value);
  bool CloseButton() const { return FCloseButton; }
  void SetCloseButton(bool value);
  int MinHeight() const { return FMinHeight; }
  void SetMinHeight(int value) { FMinHeight = value; }
  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int value) { FMinWidth = value; }
  bool NativeStyle() const { return FNativeStyle; }
  void SetNativeStyle(bool value);
  int PopupHeight() const { return FPopupHeight; }
  void SetPopupHeight(int value) { FPopupHeight = value; }
  int PopupWidth() const { return FPopupWidth; }
  void SetPopupWidth(int value) { FPopupWidth = value; }
  bool Shadow() const { return FShadow; }
  void SetShadow(bool value);
  bool Sizeable() const { return FSizeable; }
  void SetSizeable(bool value);
  bool SysPanelStyle() const { return FSysPanelStyle; }
  void SetSysPanelStyle(bool value);
  int SizeGripCorner() const { return EditViewInfo()->SizeGripCorner; }
  // Between a press in a sizing zone and its release.
  bool IsSizing() const { return FSizing; }
  TcxSizeFrame* SizeFrame() const { return FSizeFrame; }
  // The largest client size the work area leaves beside the owner.
  SIZE MaxClientSize();
  // Whether a resize to (width, height) is allowed; both may be adjusted.
  bool CanResizeTo(int& width, int& height);
  // Opened above (vertically) or left (horizontally) of the owner.
  bool OpenedAgainstDirection() const { return FOpenedAgainst; }

  // -- The virtual operations, in their order.
  virtual void CalculateViewInfo();
  // Sends WM_CHAR with `ch` to the window that has the focus.
  virtual void SendCharToFocus(char ch);
  virtual SIZE GetMinSize();

  // -- Overrides
  void FitToContents() override;
  POINT ComputePopupPosition() override;
  bool FitsToWorkArea() override;
  void NotifyClosed(int reason = 0) override;
  void NotifyClosing(int reason = 0) override;
  void CloseFromModalResult() override;
  bool SwallowsClosingClick(HWND wnd, UINT message, POINT p, TShiftState shift) override;
  TcxContainerViewInfo* ViewInfoClass() override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void Dispatch(TMessage& Message) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void Resize() override;

private:
  void SetSizingCursor(const TcxSizingDirections& d);
  void MouseLeft();
  void CloseButtonStateTo(int state);
  void EndSizing();
  // The popup's bounds as the pointer drags the edges of FSizingDirections.
  RECT SizingBoundsAt(POINT screen);

  TcxCustomDropDownEdit* FEdit;  // owns this window
  HCURSOR FCursor = nullptr;     // the sizing cursor shown, none: the default
  bool FCalculating = false;
  bool FPopupAutoSize = true;
  TcxEditPopupBorderStyle FBorderStyle = epbsDefault;
  bool FClientEdge = false;
  bool FCloseButton = false;
  int FMinHeight = 0, FMinWidth = 0;  // pixels
  bool FNativeStyle = false;
  int FPopupHeight = 0, FPopupWidth = 0;  // pixels
  bool FShadow = false;
  bool FSizeable = false;
  TcxSizeFrame* FSizeFrame = nullptr;  // a component of this window
  bool FSysPanelStyle = false;
  bool FSizing = false;
  bool FSizingCursorSet = false;
  bool FOpenedAgainst = false;
  TcxSizingDirections FSizingDirections;
  POINT FSizingOffset{};  // pointer to the dragged edges, pixels
  RECT FSizingBounds{};
  bool FMouseTracked = false;
};

// The per-edit data an in-place host keeps between activations.
class TcxCustomDropDownEditData : public TcxCustomEditData {
public:
  using TcxCustomEditData::TcxCustomEditData;
  bool Initialized = false;
  int Width = 0, Height = 0;  // pixels
};

// -- The edit -------------------------------------------------------------------------------------

class TcxCustomDropDownEdit : public TcxCustomMaskEdit {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxCustomDropDownEdit(TComponent* owner, bool inPlace = false);
  ~TcxCustomDropDownEdit() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  TcxCustomDropDownEditProperties* ActiveProperties() const {
    return static_cast<TcxCustomDropDownEditProperties*>(EffectiveProperties());
  }
  TcxCustomDropDownEditProperties* Properties() const {
    return static_cast<TcxCustomDropDownEditProperties*>(TcxCustomEdit::Properties());
  }
  TcxCustomEditPopupWindow* PopupWindow() const { return FPopupWindow; }
  // The popup window exists and is visible.
  bool DroppedDown() const;
  // False closes with reason 0; True opens unless a show request is queued.
  void SetDroppedDown(bool value);
  TcxEditCloseUpReason CloseUpReason() const { return FCloseUpReason; }
  bool InitPopupDone() const { return FInitPopupDone; }
  // The user resized the popup (kept across drop-downs).
  bool PopupSizeChanged() const { return FPopupSizeChanged; }
  void SetPopupResized() { FPopupSizeChanged = FResizedInCycle = true; }
  bool HotAndDropped() const { return FHotAndDropped; }

  // -- The virtual operations, in their order.
  virtual bool CanDropDown() { return false; }
  virtual void CloseUp(TcxEditCloseUpReason reason);
  virtual void CreatePopupWindow();
  virtual void DoCloseUp();
  virtual void DoFinalizePopup();
  virtual void DoInitPopup();
  virtual void DoPopup();
  virtual void DropDown();
  virtual void PopupHook() {}
  // The control that gets the focus inside the popup.
  virtual TWinControl* PopupFocusedControl();
  // The preferred client size of what the popup shows.
  virtual SIZE GetPopupContentSize() { return SIZE{0, 0}; }
  virtual void AttachLookupToPopup();
  virtual void SetupPopupWindow();
  virtual void PopupLookAndFeelChanged(TObject* sender) { (void)sender; }
  virtual void PositionPopupContent(const RECT& clientRect) { (void)clientRect; }
  virtual void PreparePopup();
  // The owner rectangle of the popup, in the edit's parent's co-ordinates.
  virtual RECT PopupOwnerBounds();

  // The popup's close query, closed and shown handlers.
  void PopupCloseQuery(TObject* sender, bool& canClose);
  void PopupClosed(TcxCustomPopupWindow* sender, int reason);
  void PopupShown(TObject* sender);

  // -- Overrides
  TClass PropertiesClass() const override { return &TcxCustomDropDownEditProperties::ClassInfo; }
  bool HasPopupOpen() override { return DroppedDown(); }
  bool IsOwnWindow(HWND window) override;
  void EditButtonPressed(int index) override;
  void ApplyProperties(TcxCustomEditProperties* properties) override;
  void WndProc(TMessage& Message) override;

protected:
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DoExit() override;
  void DestroyWnd() override;

private:
  void RefreshHotAndDropped();
  void PostShowRequest();
  bool ShowRequestQueued();

  bool FReplayingMouse = false;
  bool FHotAndDropped = false;
  bool FInitPopupDone = false;
  bool FListMouseIgnore = false;
  bool FPopupSizeChanged = false;
  bool FResizedInCycle = false;
  TcxEditCloseUpReason FCloseUpReason = crUnknown;
  TcxCustomEditPopupWindow* FPopupWindow = nullptr;  // a component of the edit, freed with it
};

// A drop-down edit with the properties class of its own.
class TcxDropDownEditProperties : public TcxCustomDropDownEditProperties {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomDropDownEditProperties::TcxCustomDropDownEditProperties;
};

void cxDropDownEditInit();
void cxDropDownEditDone();
