// The windowed base control of the library, TcxControl: it owns a library
// canvas and a look and feel; optionally a pair of painter-drawn scroll bars
// and a size grip whose parameters descendants give through one hook and
// whose visibility a fixed-point loop settles; takes the focus on click;
// scrolls with the wheel and by middle-button panning; starts the platform
// drag with a drag object of its own (the copy cursor while Ctrl is held);
// shows platform popup menus or components offering the popup-menu
// interface. Beside it: TcxControlScrollBar, TcxSizeGrip and
// TcxDragControlObject.
#pragma once

#include "foundation/Canvas.h"
#include "foundation/Controls.h"
#include "foundation/LookAndFeel.h"
#include "foundation/ScrollBar.h"
#include "platform/DragManager.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"

#include <memory>

class TcxControl;

// Answers a control's look and feel.
struct IcxLookAndFeelContainer : public IUnknown {
  virtual TcxLookAndFeel* STDMETHODCALLTYPE GetLookAndFeel() = 0;
};

// The keys a control wants from the dialog manager (WM_GETDLGCODE).
enum class TcxKey { kAll, kArrows, kChars, kTab };
using enum TcxKey;
using TcxKeys = TSet<TcxKey, 4>;

// A TcxControl's own frame: none, or the painter's frame.
enum class TcxControlBorderStyle : uint8_t { cxcbsNone, cxcbsSingle };
using enum TcxControlBorderStyle;

// Directions of ScrollByDirection (sdNone does nothing). Scoped: the
// panels' frame sides are also named sdLeft and sdRight.
enum class TcxScrollDirection : uint8_t { sdNone, sdLeft, sdRight, sdUp, sdDown };

// One of a control's own scroll bars, with the parameters the control's
// hook computed (applied once the visibility of both bars is settled).
class TcxControlScrollBar : public TcxScrollBar {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  struct TPendingParams {
    int Min = 0;
    int Max = 0;
    int Position = 0;
    int PageSize = 0;
    int16_t SmallChange = 1;
    int16_t LargeChange = 1;
    bool Enabled = true;
    bool Visible = false;
    bool AllowShow = true;
    bool AllowHide = true;
  };

  explicit TcxControlScrollBar(TComponent* AOwner);
  ~TcxControlScrollBar() override;

  TPendingParams Data;
  // Range, page, position and steps (when the record shows the bar), then
  // the enabled state and the visibility the record holds.
  void ApplyPendingParams();
  bool IsShown() const { return Visible(); }
  void WndProc(TMessage& Message) override;

protected:
  // A press gives the owner control the focus when it agrees.
  virtual void FocusOwnerOnClick();
  void Dispatch(TMessage& Message) override;
};

// The corner between a control's two own scroll bars.
class TcxSizeGrip : public TCustomControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxSizeGrip(TComponent* AOwner);
  ~TcxSizeGrip() override;
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }

protected:
  void Paint() override;
  void Dispatch(TMessage& Message) override;

private:
  void LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) { Invalidate(); }
  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
};

// The drag object of a TcxControl: the copy cursor (2100) while the drop
// would be accepted and the control's IsCopyDrag holds; frees itself when
// the drag ends.
class TcxDragControlObject : public TDragControlObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TDragControlObject::TDragControlObject;
  TCursor GetDragCursor(bool Accepted, int X, int Y) override;
  void Finished(TObject* Target, int X, int Y, bool Accepted) override;
};

using TcxControlFocusChangedEvent = TNotifyEvent;

class TcxControl : public TcxUncountedInterfaces<TCustomControl, IcxLookAndFeelContainer> {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxControl(TComponent* AOwner);
  ~TcxControl() override;
  // Makes the own scroll bars and sets TabStop from MayFocus, once the
  // descendant's answers count.
  void AfterConstruction() override;
  void BeforeDestruction() override;

  TcxCanvas* cxCanvas() const { return FcxCanvas.get(); }
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
  void SetLookAndFeel(TcxLookAndFeel* value) { FLookAndFeel->Assign(value); }
  TcxControlBorderStyle ControlBorderStyle() const { return FBorderStyle; }
  void SetControlBorderStyle(TcxControlBorderStyle value);
  bool FocusOnClick() const { return FFocusOnClick; }
  void SetFocusOnClick(bool value) { FFocusOnClick = value; }
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle value);
  TcxKeys Keys() const { return FKeys; }
  void AssignKeys(TcxKeys keys) { FKeys = keys; }
  TCursor DefaultCursor() const { return FDefaultCursor; }
  bool MouseButtonPressed() const { return FMouseButtonPressed; }
  POINT MouseDownPos() const { return FMouseDownPos; }

  // The popup menu: a platform popup menu or a component offering
  // IcxShowablePopupMenu; any other component is taken as none.
  TComponent* PopupMenuComponent() const { return FPopupMenu; }
  void SetPopupMenu(TComponent* value);
  // The menu when it is a platform popup menu.
  TPopupMenu* GetPopupMenu() const;

  // -- Own scroll bars.
  TcxControlScrollBar* HScrollBar() const { return FHScrollBar; }
  TcxControlScrollBar* VScrollBar() const { return FVScrollBar; }
  TcxSizeGrip* SizeGrip() const { return FSizeGrip; }
  void CreateScrollBars();
  void DestroyScrollBars();
  // Creates the own bars (and parents them when the window exists) while
  // UsesOwnScrollBars answers true; destroys them otherwise.
  void RefreshScrollBars();
  // Called from InitScrollBarsHook: the parameters of one bar.
  void StoreScrollBarParams(TScrollBarKind kind, int min, int max, int smallChange, int pageSize, int position,
                            bool allowShow, bool allowHide);
  bool IsHorzScrollBarShown() const;
  bool IsVertScrollBarShown() const;
  // While locked, RecalcScrollBars only marks a recalculation pending; the
  // last unlock runs it.
  void LockScrollBarsUpdate() { ++FScrollBarsLockCount; }
  void UnlockScrollBarsUpdate();
  bool ScrollBarsUpdatePending() const { return FScrollBarsUpdatePending; }
  // Scrolls one line in a direction (through ScrollContent), then repaints.
  void ScrollByDirection(TcxScrollDirection direction);

  void InvalidateArea(const RECT& r, bool erase);
  bool IsBeingLoaded() const { return ComponentState().Contains(csLoading); }
  // Whether middle-button panning runs now (for tests).
  bool IsPanning() const { return FPanning; }

  // IcxLookAndFeelContainer
  TcxLookAndFeel* STDMETHODCALLTYPE GetLookAndFeel() override { return GetLookAndFeelObject(); }

  TcxControlFocusChangedEvent OnFocusChanged;

  // -- Virtual operations (the new ones, in their order).
  virtual bool ShowPopupMenuAt(TComponent* menu, int x, int y);
  virtual void SignalDesignerChange();
  virtual void CheckAutoDrag(TMouseButton button, int x, int y);
  virtual bool AllowsDragAt(int x, int y) { (void)x, (void)y; return true; }
  virtual void RaiseScrollBars();
  virtual bool FocusOnClickAllowed();
  virtual bool FocusOnMouseDown(int x, int y);
  virtual bool FocusOnScrollBarClick(TcxControlScrollBar* scrollBar);
  virtual int PainterFrameThickness();
  virtual RECT GetBoundsForClient();
  virtual RECT GetContentRect();
  virtual TCursor GetCurrentCursor(int x, int y);
  virtual bool IsDesigning() const { return ComponentState().Contains(csDesigning); }
  virtual bool HasFocusNow() { return Focused(); }
  // 2 (vertical) when the vertical bar shows, else 0: what the wheel scrolls.
  virtual int WheelScrollKind();
  virtual bool ErasesBackground() { return false; }
  virtual void AttachScrollBars();
  virtual bool IsOwnScrollPart(TControl* control) const;
  virtual TcxLookAndFeel* GetLookAndFeelObject() { return FLookAndFeel.get(); }
  virtual TcxLookAndFeelPainterClass GetPainterClass();
  // While the control does not use its own bars, whether a wheel or key
  // scroll in `direction` still runs.
  virtual bool ScrollsWithoutOwnBars(TcxScrollDirection direction) { (void)direction; return false; }
  virtual RECT GetHScrollBarRect();
  virtual RECT GetSizeGripRect();
  virtual RECT GetVScrollBarRect();
  virtual void InitScrollBarsHook() {}
  virtual bool UsesOwnScrollBars() { return true; }
  virtual bool KeepScrollBarsOnTop() { return true; }
  virtual void ScrollContent(TScrollBarKind kind, TScrollCode code, int& position) { (void)kind, (void)code, (void)position; }
  virtual void PlaceScrollBars();
  virtual void RefreshScrollBarStates();
  virtual void RecalcScrollBars();
  virtual bool IsCopyDrag() { return IsCtrlDown(); }
  virtual bool CanFocusNow();
  virtual bool StartDragAt(int x, int y);

  // -- The message-dispatched ones.
  virtual void ColorChangedHook() {}
  virtual bool AcceptsMouseDownUnfocused() { return false; }
  virtual void BoundsChanged() { RecalcScrollBars(); }
  virtual bool CanDragNow(int x, int y) { (void)x, (void)y; return true; }
  virtual void CursorChangedHook() { FDefaultCursor = Cursor(); }
  virtual void CancelMouseOperations() { FMouseButtonPressed = false; }
  virtual void FocusChanged() { FireEvent(OnFocusChanged, this); }
  virtual void BroadcastFontChange() { Invalidate(); }
  virtual bool GetDesignHitTest(int x, int y, TShiftState shift) { (void)x, (void)y, (void)shift; return FMouseButtonPressed; }
  virtual TClass GetDragObjectClass() { return &TcxDragControlObject::ClassInfo; }
  virtual bool MayFocus() { return true; }
  virtual void FireMouseEnter(TControl* control);
  virtual void FireMouseLeave(TControl* control);
  virtual void AfterTextChange() {}
  virtual bool AcceptsDragObject(TDragObject* object) { (void)object; return true; }

  void WndProc(TMessage& Message) override;
  void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
  void DoStartDrag(TDragObject*& DragObject) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Resize() override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* component, TOperation operation) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, POINT MousePos) override;
  void DoContextPopup(POINT MousePos, bool& Handled) override;

private:
  void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changed);
  void ScrollBarScroll(TObject* sender, TScrollCode code, int& position);
  void ComputeScrollBarParams();
  void ScrollBarMetricsChanged();
  void ContextMenu(TMessage& Message);
  void Pan();

  bool FCalculatingScrollBarParams = false;
  std::unique_ptr<TcxCanvas> FcxCanvas;
  TcxControlBorderStyle FBorderStyle = cxcbsNone;
  TCursor FDefaultCursor = crDefault;
  bool FFocusOnClick = true;
  TcxControlScrollBar* FHScrollBar = nullptr;  // owned
  bool FInitialHScrollBarVisible = false;
  bool FInitialVScrollBarVisible = false;
  bool FInitialParamsReached = false;
  TcxKeys FKeys;
  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
  bool FMouseButtonPressed = false;
  POINT FMouseDownPos{};
  TComponent* FPopupMenu = nullptr;  // watched for removal
  TScrollStyle FScrollBars = ssBoth;
  TcxSizeGrip* FSizeGrip = nullptr;  // owned
  bool FUpdatingScrollBars = false;
  TcxControlScrollBar* FVScrollBar = nullptr;  // owned
  int FScrollBarsLockCount = 0;
  bool FScrollBarsUpdatePending = false;
  bool FPanning = false;
  bool FCancelDragPending = false;
  TDragObject* FDragObject = nullptr;            // the platform drag over this control
  TWeakLink<TDragObject> FOwnDragObject;         // the last drag object this control made
};

__CRT_UUID_DECL(IcxLookAndFeelContainer, 0x6065B58B, 0xC557, 0x4464, 0xA6, 0x7D, 0x64, 0x18, 0x3F, 0xD1, 0x3F, 0x25)
