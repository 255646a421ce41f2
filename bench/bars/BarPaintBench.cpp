// Paints a row bar of 50 buttons (every fifth a split button, every seventh
// checked and down) into a memory bitmap 1,000 times per style and prints
// the milliseconds per style and per paint.
#include "bars/model/BarGlobals.h"
#include "bars/model/BarManager.h"
#include "bars/model/ItemKinds.h"
#include "bars/model/ItemLinks.h"
#include "bars/model/PopupMenu.h"
#include "bars/views/BarControl.h"
#include "bars/views/BarPainter.h"
#include "bars/views/ItemControl.h"
#include "bench/BenchTiming.h"
#include "foundation/FoundationUnits.h"
#include "platform/Forms.h"
#include "platform/Units.h"
#include "platform/Win32.h"

#include <cstdio>
#include <cstdlib>

namespace {

using bench::MillisecondsSince;
using bench::Now;

// A row of items in a popup window.
class TRowBar : public TCustomdxBarControl {
public:
  using TCustomdxBarControl::TCustomdxBarControl;
  void CalcLayout() override {
    CalcItemsRect();
    CalcVisibleArea(0, 0);
    RebuildViewInfo();
  }
  void PlaceItems() override {
    const RECT v = VisibleItemsRect();
    int x = v.left;
    for (int i = 0; i < ItemLinks()->ShownLinkCount(); ++i) {
      TdxBarItemLink* link = ItemLinks()->GetShownLink(i);
      const int w = link->Control() ? link->Control()->CalcWidth() : 0;
      link->StoreItemBounds(RECT{x, v.top, x + w, v.bottom});
      x += w;
    }
  }
  // Paints the whole window into the DC the way its paint message does.
  void PaintInto(HDC dc) {
    TCanvasPaintScope scope(*Canvas(), dc);
    Paint();
  }

protected:
  void CreateParams(TCreateParams& Params) override {
    TCustomdxBarControl::CreateParams(Params);
    Params.Style = WS_POPUP;
    Params.ExStyle = WS_EX_TOOLWINDOW;
    Params.WndParent = nullptr;
  }
  void CreateWnd() override {
    TCustomdxBarControl::CreateWnd();
    CalcLayout();
  }
};

class TRowOwner : public IdxBarLinksOwner {
public:
  explicit TRowOwner(TdxBarManager* manager) : Manager(manager) {}
  TCustomdxBarControl* CreateBarControl() override {
    auto* bar = new TRowBar(Manager);
    bar->SetBounds(0, 0, 3200, 24);
    return bar;
  }
  TObject* LinksOwnerObject() override { return nullptr; }
  bool CanContainItem(TdxBarItem*, AnsiString&) override { return true; }
  bool IsMenuOwner() override { return false; }
  TdxBarManager* Manager;
};

}  // namespace

int main(int argc, char** argv) {
  const int paints = argc > 1 ? std::atoi(argv[1]) : 1000;
  InitializeUnits({FormsUnit, cxClassesUnit, dxUxThemeUnit, dxThemeManagerUnit, dxOffice11Unit, cxGeometryUnit,
                   cxLookAndFeelsUnit, cxLookAndFeelPaintersUnit, cxControlsUnit, cxGraphicsUnit, cxStylesUnit,
                   dxBarUnit});
  auto* form = New<TForm>(nullptr);
  auto* manager = New<TdxBarManager>(form);
  TRowOwner owner(manager);
  auto* links = new TdxBarControlItemLinks(manager, &owner);
  auto* menu = New<TdxBarPopupMenu>(form);
  for (int i = 0; i < 50; ++i) {
    auto* button = New<TdxBarButton>(form);
    button->SetCaption("Item " + std::to_string(i));
    if (i % 5 == 4) {
      button->SetButtonStyle(bsDropDown);
      button->SetDropDownMenu(menu);
    }
    if (i % 7 == 6) {
      button->SetButtonStyle(bsChecked);
      button->SetDown(true);
    }
    links->AddItem(button);
  }
  auto* bar = static_cast<TRowBar*>(links->AttachBarControl());
  bar->HandleNeeded();
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, bar->Width(), bar->Height());
  HGDIOBJ old = SelectObject(dc, bitmap);
  ReleaseDC(nullptr, screen);
  const struct {
    const char* Name;
    TdxBarManagerStyle Style;
  } styles[] = {{"Standard", bmsStandard}, {"Enhanced", bmsEnhanced}};
  for (const auto& style : styles) {
    manager->SetStyle(style.Style);
    bar->CalcMetrics();
    bar->CalcLayout();
    const LONGLONG start = Now();
    for (int i = 0; i < paints; ++i) bar->PaintInto(dc);
    const double ms = MillisecondsSince(start);
    std::printf("%-9s %d paints of 50 items: %.1f ms (%.3f ms per paint)\n", style.Name, paints, ms, ms / paints);
  }
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  delete links;
  Free(form);
  FinalizeUnits();
  return 0;
}
