// A scroll bar drawn entirely by the look-and-feel painter: two arrow
// buttons, two page areas and a thumb, with hot tracking, auto-repeat on a
// library timer (400 ms to the first repeat, then every 60 ms), thumb
// dragging inside a tolerance zone, and the platform scroll bar's
// properties and events. TcxScrollBarViewInfo computes where the parts lie;
// the bar paints through an off-screen bitmap.
#pragma once

#include "foundation/Canvas.h"
#include "foundation/Classes.h"
#include "foundation/Controls.h"
#include "foundation/LookAndFeel.h"
#include "platform/StdCtrls.h"

#include <memory>

class TcxScrollBar;

// "Scrollbar property out of range": SetScrollParams refuses a maximum
// below the minimum or below the page size.
inline constexpr TResourceString scxScrollBarPropertyOutOfRange{0xE101, "Scrollbar property out of range"};

// The system's scroll-bar breadths: the vertical bar's width (SM_CXVSCROLL)
// and the horizontal bar's height (SM_CYHSCROLL).
SIZE SystemScrollBarSize();

// The rectangles of a bar's parts, in its client co-ordinates.
class TcxScrollBarViewInfo : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxScrollBarViewInfo(TcxScrollBar* scrollBar);
  static TcxScrollBarViewInfo* Create(TcxScrollBar* scrollBar) { return new TcxScrollBarViewInfo(scrollBar); }

  // The minimal thumb length, then the rectangles.
  virtual void Calculate();
  // Arrows, thumb (empty while the bar is disabled or the track is too
  // short) and page areas, from the bar's size, range, page and position.
  virtual void CalculateRects();
  // The page areas around the thumb where it is now.
  void CalculatePageAreas();
  void CalculateMinThumbLength();

  // The position the thumb stands for: Min + range x (thumb start - track
  // start) / (track length - thumb length); Min when the thumb fills the track.
  int PositionFromThumb() const;
  // Moves the thumb to start at `start` along the bar (kept inside the
  // track) and lays the page areas out around it.
  void MoveThumbTo(int start);
  // The thumb's start along the bar, and the track's ends.
  int ThumbStart() const;
  int TrackStart() const;
  int TrackEnd() const;
  int ThumbLength() const;

  TcxScrollBar* ScrollBar() const { return FScrollBar; }
  const RECT& FirstArrowRect() const { return FFirstArrowRect; }
  const RECT& LastArrowRect() const { return FLastArrowRect; }
  const RECT& ThumbRect() const { return FThumbRect; }
  const RECT& PageBeforeRect() const { return FPageBeforeRect; }
  const RECT& PageAfterRect() const { return FPageAfterRect; }
  int MinThumbLength() const { return FMinThumbLength; }

private:
  bool Horizontal() const;

  RECT FLastArrowRect{};
  RECT FPageAfterRect{};
  RECT FPageBeforeRect{};
  TcxScrollBar* FScrollBar;  // not owned
  RECT FThumbRect{};
  int FMinThumbLength = 0;
  RECT FFirstArrowRect{};
};

class TcxScrollBar : public TcxUncountedInterfaces<TCustomControl, IcxMarker> {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxScrollBar(TComponent* AOwner);
  ~TcxScrollBar() override;

  // Raises EInvalidOperation (scxScrollBarPropertyOutOfRange) and changes
  // nothing when max < min or max < page size; the position is kept inside
  // min..max. A changed position enables the bar and fires OnChange.
  void SetScrollParams(int min, int max, int position, int pageSize, bool redraw = true);

  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind value);
  int Min() const { return FMin; }
  void SetMin(int value) { SetScrollParams(value, FMax, FPosition, FPageSize); }
  int Max() const { return FMax; }
  void SetMax(int value) { SetScrollParams(FMin, value, FPosition, FPageSize); }
  int PageSize() const { return FPageSize; }
  void SetPageSize(int value) { SetScrollParams(FMin, FMax, FPosition, value); }
  int Position() const { return FPosition; }
  void SetPosition(int value) { SetScrollParams(FMin, FMax, value, FPageSize); }
  // The platform's scroll increment: 1 to 32767.
  int SmallChange() const { return FSmallChange; }
  void SetSmallChange(int value);
  int LargeChange() const { return FLargeChange; }
  void SetLargeChange(int value);
  // Thumb dragging follows the mouse however far it goes.
  bool UnlimitedTracking() const { return FUnlimitedTracking; }
  void SetUnlimitedTracking(bool value) { FUnlimitedTracking = value; }
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
  void SetLookAndFeel(TcxLookAndFeel* value) { FLookAndFeel->Assign(value); }

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  // The part under a client point: 0 none, 1 first arrow, 2 last arrow,
  // 3 thumb, 4 page before, 5 page after.
  TcxScrollBarPart HitTest(POINT p) const;
  // A scroll by code (TScrollCode); OnScroll may change where it goes.
  void Scroll(TScrollCode code);
  void ScrollByPart(TcxScrollBarPart part);
  void CancelScroll();

  TcxScrollBarViewInfo* ViewInfo() const { return FViewInfo.get(); }
  TcxScrollBarPart PressedPart() const { return FPressedPart; }
  TcxScrollBarPart HotPart() const { return FHotPart; }
  // The auto-repeat timer.
  TcxTimer* Timer() const { return FTimer.get(); }
  // The painter the bar draws with.
  TcxLookAndFeelPainterClass Painter() const;

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

  // Virtual operations descendants override.
  virtual void NotifyChange();
  virtual TClass ViewInfoClass() const { return &TcxScrollBarViewInfo::ClassInfo; }
  virtual void PaintParts(TcxCanvas* canvas);
  virtual void PaintPart(TcxCanvas* canvas, const RECT& r, TcxScrollBarPart part, TcxButtonState state);
  virtual bool ButtonsHotTrack() const;
  virtual void NotifyScroll(TScrollCode code, int& position);
  virtual int MinThumbLength() const;

protected:
  // Makes the view info of ViewInfoClass (a descendant class answers its own).
  virtual TcxScrollBarViewInfo* CreateViewInfo();
  void Dispatch(TMessage& Message) override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  // The view info again (for a change of size, range or look).
  void RecalculateViewInfo();
  TcxButtonState StateOfPart(TcxScrollBarPart part) const;

private:
  void LookAndFeelChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changed);
  void ThemeChanged(TObject* sender);
  void TimerTick(TObject* sender);
  void UpdateBitmapSize();
  void ApplyCtl3D();
  void MouseEnterLeave(bool enter);
  void DragThumb(POINT p);

  TBitmap FBitmap;
  std::unique_ptr<TcxCanvas> FBitmapCanvas;
  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
  std::unique_ptr<TcxScrollBarViewInfo> FViewInfo;
  std::unique_ptr<TdxThemeChangedNotificator> FThemeNotificator;
  std::unique_ptr<TcxTimer> FTimer;
  TScrollBarKind FKind = sbHorizontal;
  int FMin = 0;
  int FMax = 100;
  int FPageSize = 0;
  int FPosition = 0;
  int FSmallChange = 1;
  int FLargeChange = 1;
  TcxScrollBarPart FPressedPart = sbpNone;
  TcxScrollBarPart FHotPart = sbpNone;
  POINT FPressPoint{};        // client point of the press on the thumb
  int FPressPosition = 0;     // Position at that press
  POINT FPressThumbTopLeft{}; // the thumb's top-left at that press
  bool FUnlimitedTracking = false;
  bool FRealCtl3D = true;
  bool FApplyingCtl3D = false;
};
