// Rectangle, point and size arithmetic for every layout and painting routine
// of the control library, and TcxRect, a rectangle that can be published as a
// property. The routines are pure: they neither validate nor normalise their
// arguments, and every halving rounds toward zero.
#pragma once

#include "platform/Event.h"
#include "platform/Persistent.h"
#include "platform/Win32.h"

// Rectangles: Right and Bottom are exclusive edges.
inline int WidthOfRect(const RECT& r) { return r.right - r.left; }
inline int HeightOfRect(const RECT& r) { return r.bottom - r.top; }
inline bool RectIsEmpty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }
inline bool SameRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline RECT BuildRect(int left, int top, int right, int bottom) { return RECT{left, top, right, bottom}; }
inline RECT BuildRectFromSize(int left, int top, int width, int height) {
  return RECT{left, top, left + width, top + height};
}
// Negative amounts shrink.
inline RECT GrowRect(const RECT& r, int dx, int dy) { return RECT{r.left - dx, r.top - dy, r.right + dx, r.bottom + dy}; }
inline RECT GrowRectSides(const RECT& r, int dl, int dt, int dr, int db) {
  return RECT{r.left - dl, r.top - dt, r.right + dr, r.bottom + db};
}
// The margins' four fields are the widths taken off each side.
inline RECT InnerRectByMargins(const RECT& r, const RECT& margins) {
  return RECT{r.left + margins.left, r.top + margins.top, r.right - margins.right, r.bottom - margins.bottom};
}
inline RECT ShiftRect(const RECT& r, int dx, int dy) { return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy}; }
inline RECT ShiftRectByPoint(const RECT& r, POINT p) { return ShiftRect(r, p.x, p.y); }
inline RECT ShiftRectHorz(const RECT& r, int dx) { return RECT{r.left + dx, r.top, r.right + dx, r.bottom}; }
inline bool RectContainsXY(const RECT& r, int x, int y) {
  return r.left <= x && x < r.right && r.top <= y && y < r.bottom;
}
inline bool RectContainsPoint(const RECT& r, POINT p) { return RectContainsXY(r, p.x, p.y); }
// Strips at one side: the other edge follows from the given extent.
inline RECT PlaceRectLeft(const RECT& r, int x, int w) { return RECT{x, r.top, x + w, r.bottom}; }
inline RECT MoveRectLeft(const RECT& r, int x) { return RECT{x, r.top, x + WidthOfRect(r), r.bottom}; }
inline RECT PlaceRectRight(const RECT& r, int x, int w) { return RECT{x - w, r.top, x, r.bottom}; }
inline RECT PlaceRectTop(const RECT& r, int y, int h) { return RECT{r.left, y, r.right, y + h}; }
inline RECT PlaceRectBottom(const RECT& r, int y, int h) { return RECT{r.left, y - h, r.right, y}; }
// The strip of `size` along one side, inside the rectangle.
inline RECT PlaceRectTop(const RECT& r, int size) { return RECT{r.left, r.top, r.right, r.top + size}; }
inline RECT PlaceRectBottom(const RECT& r, int size) { return RECT{r.left, r.bottom - size, r.right, r.bottom}; }
inline RECT PlaceRectLeft(const RECT& r, int size) { return RECT{r.left, r.top, r.left + size, r.bottom}; }
inline RECT SetRectWidth(const RECT& r, int w) { return RECT{r.left, r.top, r.left + w, r.bottom}; }
inline RECT SetRectHeight(const RECT& r, int h) { return RECT{r.left, r.top, r.right, r.top + h}; }
// `a` pushed out to `b`'s edges; a `b` without width or height adds nothing,
// while `a` contributes its edges even when empty.
RECT UniteRects(const RECT& a, const RECT& b);
inline POINT RectCenterPoint(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }
RECT CenterExtentInRect(const RECT& r, int w, int h);
inline RECT CenterSizeInRect(const RECT& r, SIZE size) { return CenterExtentInRect(r, size.cx, size.cy); }

// Points and sizes.
inline POINT BuildPoint(int x, int y) { return POINT{x, y}; }
inline bool SamePoint(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }
inline POINT NegatePoint(POINT p) { return POINT{-p.x, -p.y}; }
inline POINT ShiftPoint(POINT p, int dx, int dy) { return POINT{p.x + dx, p.y + dy}; }
inline POINT ShiftPointByPoint(POINT p, POINT q) { return POINT{p.x + q.x, p.y + q.y}; }
inline bool SameSize(SIZE a, SIZE b) { return a.cx == b.cx && a.cy == b.cy; }

// A rectangle property of a persistent owner: every change of an edge is
// reported once through OnChange; storing the same value reports nothing.
class TcxRect : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxRect(TPersistent* AOwner) : FOwner(AOwner) {}

  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() override { return FOwner; }

  const RECT& Rect() const { return FRect; }
  void SetRect(const RECT& value);
  bool IsEqual(const RECT& value) const { return SameRect(FRect, value); }

  // The published edges, one indexed getter and setter: 0 Left, 1 Top,
  // 2 Right, 3 Bottom.
  int GetValue(int index) const;
  void SetValue(int index, int value);
  int Left() const { return FRect.left; }
  int Top() const { return FRect.top; }
  int Right() const { return FRect.right; }
  int Bottom() const { return FRect.bottom; }
  void SetLeft(int value) { SetValue(0, value); }
  void SetTop(int value) { SetValue(1, value); }
  void SetRight(int value) { SetValue(2, value); }
  void SetBottom(int value) { SetValue(3, value); }

  TNotifyEvent OnChange;

private:
  TPersistent* FOwner;  // not owned
  RECT FRect{0, 0, 0, 0};
};

// Start-up and shut-down of this unit: TcxRect is streamable meanwhile.
void cxGeometryInit();
void cxGeometryDone();
