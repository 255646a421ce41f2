// What the dock and toolbar tests share: a shown form with a manager and
// its four docks, toolbars of fixed sizes and toolbars of buttons.
#pragma once

#include "bars/model/BarManager.h"
#include "bars/model/Bars.h"
#include "bars/model/ItemKinds.h"
#include "bars/views/BarPainter.h"
#include "bars/views/DockControl.h"
#include "tests/bars/views/ViewsTestSupport.h"
#include "tests/support/TestSupport.h"

#include <string>

// A toolbar whose sizes are fixed numbers, so the layout's arithmetic can
// be read back exactly.
class TFixedToolbar : public TdxBarControl {
public:
  TFixedToolbar(TdxBarManager* manager, TdxBar* bar, int minSize, int maxSize, int cross)
      : TdxBarControl(manager), Min(minSize), Max(maxSize), Cross(cross) {
    SetBar(bar);
  }
  int Min, Max, Cross;
  int CalcMinWidth(int style) override { return style == 1 || style == 3 ? Cross : Min; }
  int CalcMinHeight(int style) override { return style == 1 || style == 3 ? Min : Cross; }
  int CalcMaxWidth(int style) override { return style == 1 || style == 3 ? Cross : Max; }
  int CalcMaxHeight(int style) override { return style == 1 || style == 3 ? Max : Cross; }
  void CalcSizeForWidth(int, int width, SIZE& size) override { size = SIZE{width, Cross}; }
  TdxBarBorders BorderSizes() override { return {}; }
  bool IsMultiLineLayout() const override { return false; }
};

// A shown form with a manager and its four docks.
struct TDockFixture {
  TDockFixture() {
    RegisterTestItemClasses();
    SetCursorPos(0, 0);
    Host.Form->SetBounds(40, 40, 640, 420);
    Top = TdxDockControl::CreateForStyle(Host.Form, dsTop, Host.Manager);
    Left = TdxDockControl::CreateForStyle(Host.Form, dsLeft, Host.Manager);
    Right = TdxDockControl::CreateForStyle(Host.Form, dsRight, Host.Manager);
    Bottom = TdxDockControl::CreateForStyle(Host.Form, dsBottom, Host.Manager);
    for (TdxDockControl* dock : {Top, Left, Right, Bottom}) dock->SetParent(Host.Form);
    Host.Form->Show();
    testing_support::RunMessagesUntilIdle();
  }
  TdxBar* NewBar(const char* caption) {
    TdxBar* bar = Host.Manager->Bars()->AddBar();
    bar->SetCaption(caption);
    return bar;
  }
  TFixedToolbar* Fixed(int minSize, int maxSize, int cross = 26) {
    return new TFixedToolbar(Host.Manager, NewBar("Fixed"), minSize, maxSize, cross);
  }
  // A real toolbar with buttons.
  TdxBarControl* Toolbar(const char* caption, int buttons, int groupEvery = 0) {
    TdxBar* bar = NewBar(caption);
    for (int i = 0; i < buttons; ++i) {
      auto* button = New<TdxBarButton>(Host.Form);
      button->SetCaption("Item" + std::to_string(i + 1));
      TdxBarItemLink* link = bar->ItemLinks()->AddItem(button);
      if (groupEvery && i > 0 && i % groupEvery == 0) link->SetBeginGroup(true);
    }
    return TdxBarControl::ForBar(bar);
  }
  // A screen point at a client point of the dock.
  static POINT At(TdxDockControl* dock, int x, int y) {
    POINT p{x, y};
    ClientToScreen(dock->Handle(), &p);
    return p;
  }
  static int RowOf(TdxDockControl* dock, TdxBarControl* control) {
    int row = -1, column = -1;
    return dock->FindControl(control, row, column) ? row : -1;
  }
  THostedManager Host;
  TdxDockControl* Top = nullptr;
  TdxDockControl* Left = nullptr;
  TdxDockControl* Right = nullptr;
  TdxDockControl* Bottom = nullptr;
};

