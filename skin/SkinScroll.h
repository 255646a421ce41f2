// Scroll bars, track bars and foreign size grips drawn from the skin.
//
// Window scroll bars live in the non-client area, where a skinner cannot
// paint reliably: a small window of the engine's own (TWScrollbar) lies
// exactly over each visible bar, paints the skin's arrows, track and thumb,
// and hands the mouse to the real bar so that the system still scrolls.
// A scroll-bar control gets one such panel over itself. Track bars are drawn
// through their custom-draw notifications.
#pragma once

#include "platform/Control.h"
#include "skin/WinSubClass.h"

#include <commctrl.h>

#include <memory>
#include <vector>

// Parts of a bar; they equal the scroll requests of WM_HSCROLL/WM_VSCROLL,
// so a request shows as the part being pressed.
constexpr int spFirstArrow = 0, spSecondArrow = 1, spPageBefore = 2, spPageAfter = 3, spThumb = 5, spNone = -1;

// "Scrollbar" strip frames (23 frames): arrows normal, pressed, hot and the
// thumb grip, per direction.
int ScrollArrowFrame(bool vertical, bool second, bool pressed, bool hot);
int ScrollGripFrame(bool vertical, bool pressed, bool hot);

// The thumb of a scroll-bar control along a bar of `length` pixels with
// arrows of `button` pixels: first pixel and length. Max = Min counts as a
// range of 9999999; a thumb of 7 pixels or less becomes 8.
struct TThumbSpan {
  int Start = 0, Length = 0;
};
TThumbSpan ThumbOfScrollInfo(int length, int button, int min, int max, int page, int pos);
// The same from a control's Position, Min, Max and PageSize at a press
// (the same Max = Min guard).
TThumbSpan ThumbOfControl(int length, int button, int min, int max, int page, int pos);
// Thickness of the drawn bar: the "Scrollbar" image's height, or the
// system's bar width when the two differ by more than 2 pixels.
int ScrollThickness(int imageHeight, int systemWidth);

class TSkinScrollbar;

// The panel over one scroll bar. Kind 0 covers the target's horizontal
// window scroll bar, 1 its vertical one, 2 a scroll-bar control.
class TWScrollbar : public TCustomControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TWScrollbar(TComponent* AOwner);

  void AttachControl(TSkinControl* skinner, TWinControl* control, int kind);
  void AttachWindow(TSkinControl* skinner, HWND wnd, int kind);
  // Follows the bar: shown over it, or hidden when there is none.
  void Place();
  void HideBar();
  int HitTest(POINT p) const;
  void Repaint();

  bool Shown() const { return FShown; }
  bool Pressed() const { return FPressed; }
  int HotPart() const { return FHotPart; }
  void SetHotPart(int part) { FHotPart = part; }
  bool Vertical() const { return FVertical; }
  int Kind() const { return FKind; }
  const RECT& BarRect() const { return FBarRect; }
  int ThumbStart() const { return FThumbStart; }
  int ThumbEnd() const { return FThumbEnd; }
  // What the last paint drew: the first and second arrows' strip frames
  // (0 when not drawn), the thumb's frame and the bar's thickness.
  int FirstArrowFrame() const { return FFirstArrowFrame; }
  int SecondArrowFrame() const { return FSecondArrowFrame; }
  int ThumbFrame() const { return FThumbFrame; }
  int Thickness() const { return FThickness; }
  int PaintCount() const { return FPaintCount; }

protected:
  void CreateParams(TCreateParams& Params) override;
  void PaintWindow(HDC dc) override;
  void Dispatch(TMessage& Message) override;

private:
  bool BarInfo(SCROLLBARINFO& info);
  void TrackThumb();
  void MouseDown(TMessage& Message);
  void MouseUp(TMessage& Message);

  int FLength = 0;
  int FThumbStart = 0, FThumbEnd = 0;
  POINT FBarOrigin{};
  POINT FPressPoint{};
  int FPressThumbTop = 0;
  bool FVertical = false;
  int FHotPart = spNone;
  int FButtonSize = 0;
  HWND FTarget = nullptr;
  TWinControl* FTargetControl = nullptr;
  TSkinControl* FSkinner = nullptr;
  int FKind = 0;
  RECT FBarRect{};
  bool FShown = false;
  bool FPressed = false;
  int FFirstArrowFrame = 0, FSecondArrowFrame = 0, FThumbFrame = 0, FThickness = 0, FPaintCount = 0;
};

// A control with window scroll bars (memos, lists, grids...): a panel per
// direction, the border in the skin's shadow and face colours, the corner
// box in the skin colour. Mode 1: no border.
class TSkinScrollbar : public TSkinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TSkinControl::TSkinControl;
  ~TSkinScrollbar() override;

  virtual void AttachScrollbars(TWinControl* control, TSkinData* skinData, TWinSkinForm* form, TCanvas* canvas);
  bool BeforeMessage(TMessage& Message) override;
  void AfterMessage(TMessage& Message) override;
  void Paint(HDC dc, const RECT& r) override;
  void SkinChanged() override;
  void Deactivate() override;

  TWScrollbar* HorzBar() const { return FHorzBar; }
  TWScrollbar* VertBar() const { return FVertBar; }
  bool DrawBorder() const { return FDrawBorder; }
  // The corner box filled at the last paint (window coordinates), empty
  // when none was.
  const RECT& CornerRect() const { return FCorner; }

protected:
  void PlaceBars();
  void FreeBars();
  void DrawFrame(HDC dc);

  TWScrollbar* FHorzBar = nullptr;
  TWScrollbar* FVertBar = nullptr;
  bool FDrawBorder = false;
  RECT FCorner{};
};

// Header controls: items from the "Headerbar" strip (frame 1, the hot item
// frame 2). Without that image the header keeps its own painting.
class TSkinHeader : public TSkinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TSkinControl::TSkinControl;
  void Attach(TWinControl* control, TWinSkinForm* form, TSkinData* skinData, bool useSkinColor,
              TCanvas* canvas) override;
  void AttachHandle(HWND wnd, TSkinData* skinData, TWinSkinForm* form, TCanvas* canvas) override;
  bool BeforeMessage(TMessage& Message) override;
  void AfterMessage(TMessage& Message) override;
  void Paint(HDC dc, const RECT& r) override;
  int HotItem() const { return FHotItem; }
  // The item rectangles of the last paint, narrowed by 3 pixels each side.
  const std::vector<RECT>& ItemRects() const { return FItemRects; }

private:
  bool HasImage() const;
  int FHotItem = -1;
  std::vector<RECT> FItemRects;
};

// A list view: its scroll bars, and its header skinned by handle.
class TSkinListView : public TSkinScrollbar {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TSkinScrollbar::TSkinScrollbar;
  ~TSkinListView() override;
  void AttachScrollbars(TWinControl* control, TSkinData* skinData, TWinSkinForm* form, TCanvas* canvas) override;
  TSkinHeader* Header() const { return FHeader; }

private:
  TSkinHeader* FHeader = nullptr;
};

// A scroll-bar control: one panel of kind 2 over it.
class TSkinScControl : public TSkinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TSkinControl::TSkinControl;
  ~TSkinScControl() override;

  void AttachBar(TWinControl* control, TSkinData* skinData, TWinSkinForm* form, TCanvas* canvas);
  void AfterMessage(TMessage& Message) override;
  void Paint(HDC dc, const RECT& r) override;
  void Deactivate() override;
  TWScrollbar* Bar() const { return FBar; }

private:
  TWScrollbar* FBar = nullptr;
};

// Track bars: channel and thumb drawn through custom draw, the thumb always
// from frame 2 of its five-frame image.
class TSkinTrackBar : public TSkinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TSkinControl::TSkinControl;
  bool BeforeMessage(TMessage& Message) override;
  void SkinChanged() override;
  // What the last custom-draw round drew.
  bool ThumbDrawn() const { return FThumbDrawn; }
  bool ChannelDrawn() const { return FChannelDrawn; }

private:
  LRESULT CustomDraw(const NMCUSTOMDRAW& draw, LRESULT incoming);
  void DrawChannel(HDC dc);
  void DrawThumb(HDC dc);
  bool FThumbDrawn = false, FChannelDrawn = false;
};

// Foreign size grips ("scrollbar" windows of the size-box kind): the skin
// colour over them after their own painting.
class TSkinSizer : public TSkinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TSkinControl::TSkinControl;
  void Paint(HDC dc, const RECT& r) override;
};
