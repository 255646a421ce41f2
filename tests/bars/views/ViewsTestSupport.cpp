#include "tests/bars/views/ViewsTestSupport.h"

#include "bars/model/BarCanvas.h"
#include "bars/model/BarClassFactory.h"
#include "bars/model/BarGlobals.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

const TClassInfo TTestBar::ClassInfo{"TTestBar", &TCustomdxBarControl::ClassInfo, nullptr};
const TClassInfo TTestSubItem::ClassInfo{"TTestSubItem", &TdxBarSubItem::ClassInfo, &dxBarMakeComponent<TTestSubItem>};

void TTestBar::CreateParams(TCreateParams& Params) {
  TCustomdxBarControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_CLIPCHILDREN;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  Params.WndParent = nullptr;
}

void TTestBar::CreateWnd() {
  TCustomdxBarControl::CreateWnd();
  CalcLayout();
}

void TTestBar::CalcLayout() {
  CalcItemsRect();
  CalcVisibleArea(Menu ? 1 : Vertical ? 2 : 0, 0);
  RebuildViewInfo();
}

void TTestBar::PlaceItems() {
  if (!ItemLinks()) return;
  const RECT v = VisibleItemsRect();
  int at = Vertical ? v.top : v.left;
  for (int i = 0; i < ItemLinks()->ShownLinkCount(); ++i) {
    TdxBarItemLink* link = ItemLinks()->GetShownLink(i);
    at += SeparatorBefore(link);
    TdxBarItemControl* control = link->Control();
    const int extent = control ? control->CalcWidth() : 0;
    link->StoreItemBounds(Vertical ? RECT{v.left, at, v.right, at + extent} : RECT{at, v.top, at + extent, v.bottom});
    at += extent;
  }
}

void TTestBar::ShowAt(int x, int y) {
  // The real cursor stays off the test windows: a bar ignores a move while
  // the cursor stands where the last one left it, and a window appearing
  // under the cursor gets a move of its own.
  SetCursorPos(0, 0);
  SetBounds(x, y, Width(), Height());
  HandleNeeded();
  CalcLayout();
  ShowNoActivate();
  UpdateWindow(Handle());
}

void TTestBar::PrepareAndShow(POINT screenPoint, int, int) {
  SetBounds(screenPoint.x, screenPoint.y, 160, 120);
  ShowAt(screenPoint.x, screenPoint.y);
}

TTestLinksOwner::TTestLinksOwner(TdxBarManager* manager, bool menu) : FManager(manager), FMenu(menu) {
  if (menu)
    FLinks = new TdxBarSubMenuControlItemLinks(manager, this);
  else
    FLinks = new TdxBarControlItemLinks(manager, this);
}

TTestLinksOwner::~TTestLinksOwner() { Free(FLinks); }

TCustomdxBarControl* TTestLinksOwner::CreateBarControl() {
  auto* bar = new TTestBar(FManager, FMenu);
  bar->SetBounds(200, 200, FMenu ? 160 : 360, FMenu ? 160 : 28);
  return bar;
}

TTestBar* TTestLinksOwner::Bar() {
  if (!FLinks->BarControl()) FLinks->AttachBarControl();
  return static_cast<TTestBar*>(FLinks->BarControl());
}

TCustomdxBarControl* TTestSubItem::CreateBarControl() {
  auto* bar = new TTestBar(BarManager(), true);
  bar->SetBounds(0, 0, 160, 120);
  return bar;
}

void RegisterTestItemClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterItemControlPair(&TTestSubItem::ClassInfo, &TdxBarSubItemControl::ClassInfo, true);
}

TdxBarItemControl* ControlOf(TdxBarItemLink* link) { return link ? link->Control() : nullptr; }

RECT ItemRect(TdxBarItemLink* link) { return link->ItemRect(); }

POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

void PostMouse(TCustomdxBarControl* bar, UINT msg, POINT p, WPARAM keys) {
  PostMessageA(bar->Handle(), msg, keys, MAKELPARAM(p.x, p.y));
  RunMessagesUntilIdle();
}

void PostKeyDown(TCustomdxBarControl* bar, UINT vk) {
  PostMessageA(bar->Handle(), WM_KEYDOWN, vk, 1);
  RunMessagesUntilIdle();
}
