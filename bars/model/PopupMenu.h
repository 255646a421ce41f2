// Popup menus: links shown at a point.
#pragma once

#include "bars/model/BarComponents.h"
#include "bars/model/ItemLinks.h"

class TdxBarItem;

// The base of popup menus: links shown at a point with their own message
// loop.
class TdxBarCustomPopupMenu : public TdxBarComponent, public IdxBarLinksOwner {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  // Joins the manager that serves the owner, else the first manager; with
  // no manager at all raises "There are no TdxBarManagers available".
  explicit TdxBarCustomPopupMenu(TComponent* AOwner);
  ~TdxBarCustomPopupMenu() override;

  TdxBarItemLinks* ItemLinks() const { return FItemLinks; }
  // The item whose control opened the menu (a drop-down button), or null.
  TdxBarItem* OpenedByItem() const { return FOpenedByItem; }
  void SetOpenedByItem(TdxBarItem* value) { FOpenedByItem = value; }

  // IdxBarLinksOwner
  TCustomdxBarControl* CreateBarControl() override { return nullptr; }
  TObject* LinksOwnerObject() override { return this; }
  // Refuses an item that would make the menu contain itself ("You cannot
  // create recursive menus") or that refuses menus.
  bool CanContainItem(TdxBarItem* item, AnsiString& message) override;
  bool IsMenuOwner() override { return true; }

  bool GetEnabled() override { return true; }
  void SetEnabled(bool value) override { (void)value; }
  void SetVisible(int value) override { (void)value; }

  // Opens the menu at a screen point. FIXME: the menu window joins with the
  // submenu control; until then the request is only counted and reported.
  virtual void Popup(int x, int y);
  int PopupCount() const { return FPopupCount; }
  POINT LastPopupPoint() const { return FLastPopupPoint; }
  TNotifyEvent OnPopup;
  // Whether one of the menu's links runs the shortcut.
  virtual bool ExecuteShortCut(TShortCut shortCut);

private:
  TdxBarItemLinks* FItemLinks = nullptr;
  TdxBarItem* FOpenedByItem = nullptr;
  int FPopupCount = 0;
  POINT FLastPopupPoint{0, 0};
};

// A context or drop-down menu of a manager.
class TdxBarPopupMenu : public TdxBarCustomPopupMenu {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarCustomPopupMenu::TdxBarCustomPopupMenu;
};
