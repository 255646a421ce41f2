// What the bar-window tests share: a small concrete bar window that stacks
// its items as a menu or places them in a row, an owner of links that makes
// such windows, and a sub-item whose menu is such a window.
#pragma once

#include "bars/model/ItemKinds.h"
#include "bars/model/ItemLinks.h"
#include "bars/model/PopupMenu.h"
#include "bars/model/SubItems.h"
#include "bars/views/BarControl.h"
#include "bars/views/ItemControl.h"
#include "tests/bars/BarsTestSupport.h"

// A popup window showing links: as a menu (stacked, submenu kind) or as a
// row (toolbar kind, optionally vertical).
class TTestBar : public TCustomdxBarControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TTestBar(TComponent* owner, bool menu) : TCustomdxBarControl(owner), Menu(menu) {}
  bool Menu;
  bool Vertical = false;
  bool Caption = false;
  int BorderStyleValue = 1;
  bool Dockable = false;
  bool StatusBar = false;

  int ControlKind() const override { return Menu ? 2 : 0; }
  int ItemPaintKind() const override { return Menu ? 1 : Vertical ? 2 : 0; }
  bool IsVertical() const override { return Vertical; }
  bool ShowsCaption() const override { return Caption; }
  int BarBorderStyle() const override { return BorderStyleValue; }
  bool CanDock() const override { return Dockable; }
  bool IsStatusBar() const override { return StatusBar; }
  void CalcLayout() override;
  void PlaceItems() override;
  // Lays out again and shows the window at the screen point.
  void ShowAt(int x, int y);
  void PrepareAndShow(POINT screenPoint, int ownerWidth, int ownerHeight) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
};

// Owns one links collection and makes a test bar for it.
class TTestLinksOwner : public IdxBarLinksOwner {
public:
  TTestLinksOwner(TdxBarManager* manager, bool menu);
  ~TTestLinksOwner();
  TTestLinksOwner(const TTestLinksOwner&) = delete;
  TTestLinksOwner& operator=(const TTestLinksOwner&) = delete;
  TCustomdxBarControl* CreateBarControl() override;
  TObject* LinksOwnerObject() override { return nullptr; }
  bool CanContainItem(TdxBarItem*, AnsiString&) override { return true; }
  bool IsMenuOwner() override { return FMenu; }
  TdxBarItemLinks* Links() const { return FLinks; }
  // The window, made on first demand.
  TTestBar* Bar();

private:
  TdxBarManager* FManager;
  bool FMenu;
  TdxBarItemLinks* FLinks;
};

// A sub-item whose menu is a test bar.
class TTestSubItem : public TdxBarSubItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarSubItem::TdxBarSubItem;
  TCustomdxBarControl* CreateBarControl() override;
};

// Registers the test item classes with their controls (once).
void RegisterTestItemClasses();

// The item control of a link's item on a bar.
TdxBarItemControl* ControlOf(TdxBarItemLink* link);
RECT ItemRect(TdxBarItemLink* link);
POINT Centre(const RECT& r);
// Posts a mouse message at a client point and runs the messages.
void PostMouse(TCustomdxBarControl* bar, UINT msg, POINT p, WPARAM keys = 0);
void PostKeyDown(TCustomdxBarControl* bar, UINT vk);
