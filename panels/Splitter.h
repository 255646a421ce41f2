// A panel with two panes, upper/left and lower/right, and a bar between
// them that the user drags. The position is held in pixels (or as a
// percentage), limited by margins, remembered as the user's choice across
// resizes, and may belong to either pane as its fixed size. An optional hot
// spot in the middle of the bar collapses one pane with a click and brings
// it back with a second. The controls of both panes are stored in the form
// as the splitter's own, with the names of each pane's controls.
#pragma once

#include "panels/Panel.h"
#include "platform/Filer.h"
#include "platform/Persistent.h"

#include <vector>

class TRzSplitter;

enum class TFixedPane { fpUpperLeft, fpLowerRight };
using enum TFixedPane;
enum class TSelectedPane { spUpperLeft, spLowerRight };
using enum TSelectedPane;
enum class TSplitterStyle { ssStandard, ssGroove, ssBump, ssGroupBar };
using enum TSplitterStyle;
enum class THotSpotDirection { hsdMin, hsdMax, hsdBoth };
using enum THotSpotDirection;

using TPositionChangingEvent = TEvent<void(TObject* Sender, int NewPos, bool& AllowChange)>;

// Suspends the alignment of every splitter while one of them loads.
extern int SplitterLoadingCount;

class TRzSplitterPane : public TRzCustomPanel {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TRzSplitterPane(TComponent* AOwner);

  TRzSplitter* Splitter() const { return FSplitter; }

protected:
  friend class TRzSplitter;
  void Dispatch(TMessage& Message) override;
  void DoEnter() override;
  void DoExit() override;

  TRzSplitter* FSplitter = nullptr;
};

// One pane's settings as the splitter publishes them.
class TRzPaneData : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TRzPaneData(TRzSplitterPane* pane) : FPane(pane) {}

  TRzSplitterPane* Pane() const { return FPane; }
  TColor BorderColor() const { return FPane->BorderColor(); }
  void SetBorderColor(TColor value) { FPane->SetBorderColor(value); }
  TFrameStyleEx BorderInner() const { return FPane->BorderInner(); }
  void SetBorderInner(TFrameStyleEx value) { FPane->SetBorderInner(value); }
  TFrameStyleEx BorderOuter() const { return FPane->BorderOuter(); }
  void SetBorderOuter(TFrameStyleEx value) { FPane->SetBorderOuter(value); }
  int BorderWidth() const { return FPane->BorderWidth(); }
  void SetBorderWidth(int value) { FPane->SetBorderWidth(value); }
  TColor Color() const { return FPane->Color(); }
  void SetColor(TColor value) { FPane->SetColor(value); }
  TColor FlatColor() const { return FPane->FlatColor(); }
  void SetFlatColor(TColor value) { FPane->SetFlatColor(value); }
  int FlatColorAdjustment() const { return FPane->FlatColorAdjustment(); }
  void SetFlatColorAdjustment(int value) { FPane->SetFlatColorAdjustment(value); }
  bool DockSite() const { return FPane->DockSite(); }
  void SetDockSite(bool value) { FPane->SetDockSite(value); }
  bool ShowDockClientCaptions() const { return FPane->ShowDockClientCaptions(); }
  void SetShowDockClientCaptions(bool value) { FPane->SetShowDockClientCaptions(value); }
  bool Visible() const { return FPane->Visible(); }
  void SetVisible(bool value) { FPane->SetVisible(value); }

private:
  TRzSplitterPane* FPane;
};

class TRzSplitter : public TRzCustomPanel {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TRzSplitter(TComponent* AOwner);
  ~TRzSplitter() override;

  TRzSplitterPane* UpperLeftPane() const { return FPanes[0]; }
  TRzSplitterPane* LowerRightPane() const { return FPanes[1]; }
  TRzPaneData* UpperLeft() const { return FPaneData[0]; }
  TRzPaneData* LowerRight() const { return FPaneData[1]; }
  // The property setters of the pane data (index 1 upper/left, 2 lower/right).
  TRzPaneData* GetPaneData(int index) const { return FPaneData[index - 1]; }
  void SetPaneData(int index, TRzPaneData* value);

  TOrientation Orientation() const { return FOrientation; }
  virtual void SetOrientation(TOrientation value);
  TSelectedPane SelectedPane() const { return FSelectedPane; }
  virtual void SetSelectedPane(TSelectedPane value);
  TRzSplitterPane* SelectedPaneControl() const { return FPanes[FSelectedPane == spUpperLeft ? 0 : 1]; }
  int Position() const { return FPosition; }  // pixels from the client area's edge to the bar
  virtual void SetPosition(int value);
  // Sets the position as the user's choice, which resizes restore.
  virtual void SetPositionByUser(int value);
  int MarginMin() const { return FMarginMin; }
  virtual void SetMarginMin(int value);
  int MarginMax() const { return FMarginMax; }
  virtual void SetMarginMax(int value);
  bool UsePercent() const { return FUsePercent; }
  virtual void SetUsePercent(bool value);
  int Percent() const { return FPercent; }
  virtual void SetPercent(int value);
  int PercentMin() const { return FPercentMin; }
  virtual void SetPercentMin(int value);
  int PercentMax() const { return FPercentMax; }
  virtual void SetPercentMax(int value);
  TFixedPane FixedPane() const { return FFixedPane; }
  virtual void SetFixedPane(TFixedPane value);
  int FixedSize() const { return FFixedSize; }
  int ManualPosition() const { return FManualPosition; }
  uint16_t SplitterWidth() const { return FSplitterWidth; }  // pixels
  virtual void SetSplitterWidth(uint16_t value);
  TSplitterStyle SplitterStyle() const { return FSplitterStyle; }
  virtual void SetSplitterStyle(TSplitterStyle value);
  bool RealTimeDrag() const { return FRealTimeDrag; }
  void SetRealTimeDrag(bool value) { FRealTimeDrag = value; }
  bool LockBar() const { return FLockBar; }
  void SetLockBar(bool value) { FLockBar = value; }
  RECT BarRect() const { return FBarRect; }
  bool Sliding() const { return FSliding; }
  bool HotSpotVisible() const { return FHotSpotVisible; }
  virtual void SetHotSpotVisible(bool value);
  TColor HotSpotHighlight() const { return FHotSpotHighlight; }
  virtual void SetHotSpotHighlight(TColor value);
  TColor HotSpotColor() const { return FHotSpotColor; }
  void SetHotSpotColor(TColor value);
  TColor HotSpotDotColor() const { return FHotSpotDotColor; }
  void SetHotSpotDotColor(TColor value);
  TColor HotSpotFrameColor() const { return FHotSpotFrameColor; }
  void SetHotSpotFrameColor(TColor value);
  THotSpotDirection HotSpotDirection() const { return FHotSpotDirection; }
  virtual void SetHotSpotDirection(THotSpotDirection value);
  bool HotSpotIgnoreMargins() const { return FHotSpotIgnoreMargins; }
  void SetHotSpotIgnoreMargins(bool value) { FHotSpotIgnoreMargins = value; }
  int HotSpotPosition() const { return FHotSpotPosition; }
  int HotSpotSizePercent() const { return FHotSpotSizePercent; }
  virtual void SetHotSpotSizePercent(int value);
  RECT HotSpotRect() const { return FHotSpotRect; }
  bool HotSpotClosed() const { return FHotSpotClosed; }
  bool HotSpotClosedToMin() const { return FHotSpotClosedToMin; }
  bool HotSpotClosedToMax() const { return FHotSpotClosedToMax; }
  int GradientColorAdjustment() const { return FGradientColorAdjustment; }
  virtual void SetGradientColorAdjustment(int value);
  TRzGroupBarGradientPath GradientPath() const { return FGradientPath; }
  virtual void SetGradientPath(TRzGroupBarGradientPath value);
  // Sets the panes' colour source too.
  void SetParentColor(bool value);

  void SetBorderInner(TFrameStyleEx value) override;
  void SetBorderOuter(TFrameStyleEx value) override;
  void SetBorderSides(TSides value) override;
  void SetBorderWidth(int value);
  void SetTransparent(bool value) override;

  virtual void UpdateFixedSize();
  virtual int GetBorderThickness();
  virtual void DrawDragBar(int position);
  virtual void UpdateHotSpotRect();
  virtual void UpdateHotSpotHighlight();
  virtual void DrawHotSpot(bool highlight, POINT point);
  // Repaints the bar (and its hot spot).
  virtual void DrawSplitterBar();
  virtual void ClampPosition(int& position);
  virtual void SetManualPosition(int position);
  virtual void UpdateLayout();
  void ClearHotSpotClosed();

  // The pane controls' names that a form stores (UpperLeftControls,
  // LowerRightControls) while it loads.
  const std::vector<AnsiString>& LoadNames(int pane) const { return FLoadNames[pane]; }

  RECT ClientRect() override;
  void Loaded() override;
  void DefineProperties(TFiler* filer) override;
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

  TNotifyEvent OnChange;
  TPositionChangingEvent OnChanging;
  TNotifyEvent OnHotSpotClick;
  // The panes' docking events, with the splitter as Sender.
  TDockDropEvent OnULDockDrop;
  TUnDockEvent OnULUnDock;
  TDockDropEvent OnLRDockDrop;
  TUnDockEvent OnLRUnDock;

protected:
  friend class TRzSplitterPane;
  void AlignControls(TControl* AControl, RECT& Rect) override;
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void Resize() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void Dispatch(TMessage& Message) override;
  virtual void DoChange() { FireEvent(OnChange, this); }
  virtual bool DoChanging(int newPosition);
  virtual void DoHotSpotClick() { FireEvent(OnHotSpotClick, this); }

  // Size along the axis, and half the bar.
  int AxisSize() const { return FOrientation == orVertical ? Height() : Width(); }
  int HalfBar() const { return FSplitterWidth / 2; }
  void BeginBarDrawing();
  void EndBarDrawing();
  void PaintSplitterBar();
  void PaintHotSpot(bool highlight, POINT point);
  void ApplyPercentMargins();
  bool PointInHotSpot(POINT p) const;
  void ReadBarSize(TReader* reader);
  void WriteBarSize(TWriter* writer);
  void ReadPaneNames(TReader* reader, int pane);
  void WritePaneNames(TWriter* writer, int pane);

  TOrientation FOrientation = orHorizontal;
  TRzSplitterPane* FPanes[2] = {nullptr, nullptr};
  TRzPaneData* FPaneData[2] = {nullptr, nullptr};
  std::vector<AnsiString> FLoadNames[2];
  TSelectedPane FSelectedPane = spUpperLeft;
  int FPosition = 100;
  int FMarginMin = 0;
  int FMarginMax = 0;
  bool FUsePercent = false;
  int FPercent = 50;
  int FPercentMin = 0;
  int FPercentMax = 100;
  TFixedPane FFixedPane = fpUpperLeft;
  int FFixedSize = 100;
  int FManualPosition = 100;
  bool FResizing = false;
  uint16_t FSplitterWidth = 4;
  TSplitterStyle FSplitterStyle = ssStandard;
  bool FRealTimeDrag = false;
  bool FLockBar = false;
  RECT FBarRect{};
  bool FSliding = false;
  bool FHotSpotting = false;
  int FCenterOffset = 0;
  int FStartPosition = 0;
  int FLastPosition = 0;
  bool FHotSpotVisible = false;
  TColor FHotSpotHighlight = clWindow;
  TColor FHotSpotColor = clBtnFace;
  TColor FHotSpotDotColor = clHighlight;
  TColor FHotSpotFrameColor = clBtnShadow;
  RECT FHotSpotRect{};
  bool FHotSpotClosed = false;
  bool FHotSpotClosedToMin = false;
  bool FHotSpotClosedToMax = false;
  bool FRefreshHotSpot = false;
  bool FMouseInHotSpot = false;
  THotSpotDirection FHotSpotDirection = hsdMin;
  bool FHotSpotIgnoreMargins = true;
  int FHotSpotPosition = 100;
  int FHotSpotSizePercent = 40;
  int FGradientColorAdjustment = 30;
  TRzGroupBarGradientPath FGradientPath = gpTopToBottom;
  HCURSOR FCursors[4] = {nullptr, nullptr, nullptr, nullptr};  // HORZ, HORZHOTSPOT, VERT, VERTHOTSPOT
  HDC FDragDC = nullptr;
  HWND FDragWindow = nullptr;
  HGDIOBJ FOldBrush = nullptr;
  TGdiObject FPatternBrush;
};
