// The container control, base of every editor: it hosts an optional inner
// control (a platform edit, memo or list box that does the editing), draws
// the frame around it in one of seven border styles, lights the frame up
// under the mouse (hot tracking), keeps one style per state and switches
// among them as it becomes focused, disabled or hot, can show a 3-pixel
// drop shadow, shapes its window so that a transparent border lets the
// parent show through, and gives the inner control painter-drawn scroll
// bars in place of the system's. It and its inner control act as one
// control for keyboard and focus.
#pragma once

#include "foundation/BaseControl.h"
#include "foundation/ContainerStyle.h"

#include <memory>

class TcxContainer : public TcxControl {
  // The inner list box hands its keys, clicks and drags on to the container.
  friend class TcxCustomInnerListBox;

public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxContainer(TComponent* AOwner);
  static TcxContainer* CreateWithOwner(TComponent* owner) { return New<TcxContainer>(owner); }
  // Stops hover tracking and frees the view info and the styles.
  ~TcxContainer() override;
  void AfterConstruction() override;

  TWinControl* InnerControl() const { return FInnerControl; }
  // The control becomes the inner control; the free notification moves to it.
  void AssignInnerControl(TWinControl* control);
  TcxContainerStyles* Styles() const { return FStyles.get(); }
  TcxContainerStyle* Style() const { return FStyles->NormalStyle(); }
  TcxContainerViewInfo* ViewInfo() const { return FViewInfo.get(); }
  // The normal style's controller; writing does nothing.
  TcxStyleController* FakeStyleController() const { return Style()->GetStyleController(); }
  void SetFakeStyleController(TcxStyleController*) {}

  // Re-evaluates the hot state from the cursor (outside: (-1, -1)) and the
  // shift state; answers false when it skipped (no window, being destroyed,
  // re-entered).
  bool RefreshHotStateAtCursor(bool forced = false);
  // Posts CM_LAYOUTSCROLLBARS when there is a window and an inner control.
  void PostScrollBarsUpdate();
  // Raises, or lowers (never below 0), the align lock; while raised the
  // children are not aligned.
  void AdjustAlignLock(bool raise);
  // Whether a style property of that name is stored for this container
  // (published-only: the normal style must publish it).
  bool SupportsStyleProperty(const AnsiString& name, bool onlyPublished);
  bool IsBeingDestroyed() const;
  // The container paints on glass under desktop composition (nothing sets
  // it here; the inner edits read it).
  bool OnGlass() const { return FOnGlass; }
  void SetOnGlass(bool value) { FOnGlass = value; }
  // Set by the inner edits while a press they forward runs.
  bool MouseWentDownOnInnerControl() const { return FMouseWentDownOnInnerControl; }
  void SetMouseWentDownOnInnerControl(bool value) { FMouseWentDownOnInnerControl = value; }
  // True while the container or its inner control has the focus.
  bool Focused();
  void SetFocus() override;
  // The painted look for a point.
  void Invalidate() override;
  void Update() override;

  // -- The virtual operations, in their order.
  virtual bool IsFocusedNow();
  virtual void PassLookToInnerControl();
  virtual void CalcViewInfo(POINT p, bool hotAllowed);
  virtual bool HandlesTabNavigation() { return true; }
  virtual bool NeedsOwnBorderPainting();
  virtual bool AllowsContextPopupAt(POINT p) { (void)p; return true; }
  virtual void HandleStyleChange(TcxContainerStyle* style);
  virtual void StyleChangedHook() {}
  virtual void RefreshContainer();
  virtual bool DefaultParentColor() { return false; }
  virtual void HandleTrackedMouseLeave();
  // The style of the view info's state (cached for that state).
  virtual TcxContainerStyle* ActiveStyle();
  // The widths taken around the border rectangle (left, top, right, bottom).
  virtual RECT BorderMargins();
  // The part of a child inside the client rectangle, in the child's
  // co-ordinates; `whole` when none of it is cut.
  virtual void ClipInnerControlArea(TWinControl* child, RECT& r, bool& whole);
  virtual RECT CalcInnerClientRect();
  virtual TClass StyleClass() { return &TcxContainerStyle::ClassInfo; }
  virtual TClass StylesClass() { return &TcxContainerStyles::ClassInfo; }
  // A new view info of the container's class of them.
  virtual TcxContainerViewInfo* ViewInfoClass() { return TcxContainerViewInfo::CreateInNormalState(); }
  virtual bool WantsShadow();
  virtual void CallInnerWindowProc(TMessage& message);
  virtual TcxContainerStyle* PickStateStyle();
  virtual TcxContainerStyleValues UnusedStyleValues() { return {}; }
  virtual bool BypassesInnerControlHandling() { return false; }
  virtual bool IsShownReadOnly() { return false; }
  virtual bool RepaintsOnParentColor() { return false; }
  // The refresh every change funnels into.
  virtual bool TrackMouseAt(POINT p, int button, TShiftState shift, bool flag);
  virtual void ApplyWindowRegion();
  virtual void AlignInnerControl();
  virtual void ClipToWindowShape(TcxCanvas* canvas);
  virtual void ScrollBarsHook() {}
  virtual void SyncOwnScrollBar(TScrollBarKind kind);
  virtual TdxThemedObjectType ThemedObjectKind() { return totEdit; }
  virtual int ThemePart();
  virtual int ThemeState();
  virtual RECT ScrollBarRectInClient(const RECT& screen);
  virtual bool ScrollBarNeeded(const SCROLLBARINFO& info);
  virtual bool ReadInnerScrollInfo(TScrollBarKind kind, SCROLLBARINFO& info);
  virtual bool ScrollBarIsVisible(const SCROLLBARINFO& info);
  virtual bool UsesNativeStyle();
  virtual void FocusInnerControl();
  virtual void SetDragKind(TDragKind value);
  virtual void ShowOwnScrollBar(TScrollBarKind kind, bool show);
  virtual void ResetInnerControlBounds();
  // The area that counts as over the control.
  virtual RECT BodyRect();
  virtual bool HasPopupOpen() { return false; }
  // Offered every message of the inner control before its own handling.
  virtual bool InnerControlMessage(TMessage& message);
  virtual bool ForwardKeyToInner(TMessage& message);
  // In-place editors: never the parent's colour; the whole bounds is the body.
  virtual bool IgnoresParentColor() { return false; }
  virtual void LayoutScrollBars();
  // Paint's refresh of a view info not computed yet.
  virtual void RefreshStateBeforePaint();

  // -- TcxControl's answers.
  bool FocusOnClickAllowed() override;
  bool FocusOnScrollBarClick(TcxControlScrollBar*) override { return false; }
  bool MayFocus() override;
  RECT GetContentRect() override { return FViewInfo->ClientRect; }
  TcxLookAndFeel* GetLookAndFeelObject() override { return Style()->GetLookAndFeel(); }
  bool UsesOwnScrollBars() override { return false; }
  bool AllowsDragAt(int, int) override { return false; }
  void FireMouseEnter(TControl* control) override;
  void FireMouseLeave(TControl* control) override;
  void FocusChanged() override;
  void CursorChangedHook() override;
  void WndProc(TMessage& Message) override;
  void SetDragMode(TDragMode value);

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* component, TOperation operation) override;
  void AlignControls(TControl* AControl, RECT& Rect) override;
  void AdjustClientRect(RECT& Rect) override;
  void Paint() override;
  void Resize() override;
  void Loaded() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void DoContextPopup(POINT MousePos, bool& Handled) override;
  void ChangeScale(int M, int D) override;

  // The container's own handling of a key (CN_KEYDOWN from the inner control).
  bool HandleOwnKey(TMessage& message);
  // The window procedure descendants put in front of the inner control
  // (set by them, called by CallInnerWindowProc).
  TWndMethod FInnerWindowProc;

private:
  void ApplyStyleToControl();
  void ColorSetFromOutside();
  void FontSetFromOutside();
  void ParentColorChanged();
  void ParentFontChanged();
  void SetInternal(bool value) { FInternalSetting = value; }
  void PaintOpaqueInner();

  TcxContainerState FActiveStyleState;
  TcxContainerStyle* FActiveStyle = nullptr;
  TWinControl* FInnerControl = nullptr;
  bool FInnerClipEmpty = true;
  RECT FInnerClip{};
  bool FMouseWentDownOnInnerControl = false;
  bool FIsDestroying = false;
  bool FRefreshLocked = false;
  bool FViewInfoCalculated = false;
  int FAlignLockCount = 0;
  int FPopupMenuLockCount = 0;
  bool FRefreshingHotState = false;
  bool FCalculatingScrollBars = false;
  RECT FSizeGripRect{};
  bool FSizeGripVisible = false;
  bool FInternalSetting = false;
  bool FCreating = false;
  bool FOnGlass = false;
  bool FBufferedPaintPending = false;
  std::unique_ptr<TcxContainerStyles> FStyles;
  std::unique_ptr<TcxContainerViewInfo> FViewInfo;
  // Hears from hover tracking when the mouse leaves the body rectangle.
  class TTrackingCaller : public TcxIUnknownObject<IcxMouseTrackingCaller> {
  public:
    explicit TTrackingCaller(TcxContainer* owner) : FOwner(owner) {}
    void STDMETHODCALLTYPE MouseLeave() override { FOwner->HandleTrackedMouseLeave(); }

  private:
    TcxContainer* FOwner;
  };
  TTrackingCaller FTrackingCaller{this};
};
