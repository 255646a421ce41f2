#include "foundation/Geometry.h"

#include "foundation/Classes.h"
#include "platform/Exceptions.h"

RECT UniteRects(const RECT& a, const RECT& b) {
  if (WidthOfRect(b) <= 0 || HeightOfRect(b) <= 0) return a;
  RECT r = a;
  if (b.left < r.left) r.left = b.left;
  if (b.top < r.top) r.top = b.top;
  if (b.right > r.right) r.right = b.right;
  if (b.bottom > r.bottom) r.bottom = b.bottom;
  return r;
}

RECT CenterExtentInRect(const RECT& r, int w, int h) {
  RECT c;
  c.left = (r.left + r.right - w) / 2;
  c.top = (r.top + r.bottom - h) / 2;
  c.right = c.left + w;
  c.bottom = c.top + h;
  return c;
}

const TClassInfo TcxRect::ClassInfo{"TcxRect", &TPersistent::ClassInfo,
                                    [](TObject* owner) -> TObject* {
                                      return new TcxRect(dynamic_cast<TPersistent*>(owner));
                                    }};

void TcxRect::Assign(TPersistent* source) {
  // Anything but a rectangle is ignored rather than refused: forms may hold
  // a foreign value here and must still load.
  if (auto* other = ObjectAs<TcxRect>(source)) SetRect(other->FRect);
}

void TcxRect::SetRect(const RECT& value) {
  if (IsEqual(value)) return;
  FRect = value;
  FireEvent(OnChange, static_cast<TObject*>(this));
}

int TcxRect::GetValue(int index) const {
  switch (index) {
    case 0: return FRect.left;
    case 1: return FRect.top;
    case 2: return FRect.right;
    case 3: return FRect.bottom;
  }
  throw EInvalidOperation("TcxRect edge index out of range");
}

void TcxRect::SetValue(int index, int value) {
  RECT r = FRect;
  switch (index) {
    case 0: r.left = value; break;
    case 1: r.top = value; break;
    case 2: r.right = value; break;
    case 3: r.bottom = value; break;
    default: throw EInvalidOperation("TcxRect edge index out of range");
  }
  SetRect(r);
}

void cxGeometryInit() { RegisterStreamableClass(&TcxRect::ClassInfo); }
void cxGeometryDone() { UnregisterStreamableClass(&TcxRect::ClassInfo); }
