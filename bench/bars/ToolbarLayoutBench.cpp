// The toolbar layout: a top dock of 20 toolbars of 30 buttons laid out
// again, and the width fit of a narrow single-row toolbar of 200 buttons
// that shows its most recently used ones. Prints the best of several
// rounds in milliseconds.
#include "bars/model/BarGlobals.h"
#include "bars/model/BarManager.h"
#include "bars/model/Bars.h"
#include "bars/model/ItemKinds.h"
#include "bars/model/ItemLinks.h"
#include "bars/views/BarControl.h"
#include "bars/views/DockControl.h"
#include "bench/BenchSupport.h"
#include "foundation/FoundationUnits.h"
#include "platform/Forms.h"
#include "platform/Units.h"
#include "platform/Win32.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

TdxBarControl* NewToolbar(TForm* form, TdxBarManager* manager, const std::string& caption, int buttons) {
  TdxBar* bar = manager->Bars()->AddBar();
  bar->SetCaption(caption.c_str());
  for (int i = 0; i < buttons; ++i) {
    auto* button = New<TdxBarButton>(form);
    button->SetCaption("Item " + std::to_string(i + 1));
    TdxBarItemLink* link = bar->ItemLinks()->AddItem(button);
    if (i > 0 && i % 6 == 0) link->SetBeginGroup(true);
  }
  return TdxBarControl::ForBar(bar);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 20;
  InitializeUnits({FormsUnit, cxClassesUnit, dxUxThemeUnit, dxThemeManagerUnit, dxOffice11Unit, cxGeometryUnit,
                   cxLookAndFeelsUnit, cxLookAndFeelPaintersUnit, cxControlsUnit, cxGraphicsUnit, cxStylesUnit,
                   dxBarUnit});
  auto* form = New<TForm>(nullptr);
  form->SetBounds(0, 0, 1200, 900);
  auto* manager = New<TdxBarManager>(form);
  manager->SetStyle(bmsEnhanced);
  TdxDockControl* top = TdxDockControl::CreateForStyle(form, dsTop, manager);
  top->SetParent(form);
  form->Show();
  for (int i = 0; i < 20; ++i) {
    TdxBarControl* bar = NewToolbar(form, manager, "Bar " + std::to_string(i + 1), 30);
    POINT at{(i % 2) * 500, 0};
    ClientToScreen(top->Handle(), &at);
    at.y += top->Height() + 12;
    bar->MoveToDock(2, top, at);
  }
  const double layout = bench::BestMilliseconds(rounds, [&] { top->UpdateLayout(); });
  std::printf("UpdateLayout, %d rows, 20 toolbars x 30 items: %.2f ms\n", top->RowCount(), layout);

  TdxBarControl* recent = NewToolbar(form, manager, "Recent", 200);
  TdxBarItemLinks* links = recent->ItemLinks();
  links->SetUseRecentItems(true);
  for (int i = 0; i < links->DisplayableLinkCount(); ++i) links->GetDisplayableLink(i)->SetUseCount((i * 37) % 23);
  recent->MoveToDock(2, top, POINT{0, 0});
  SIZE size{};
  const double fit = bench::BestMilliseconds(rounds, [&] { recent->CalcSizeForWidth(2, 600, size); });
  std::printf("CalcSizeForWidth with recent tracking, 200 links into 600 pixels: %.2f ms (%d shown, %ld wide)\n",
              fit, links->ShownLinkCount(), static_cast<long>(size.cx));
  Free(form);
  FinalizeUnits();
  return 0;
}
