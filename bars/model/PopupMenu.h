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

  // Opens the menu at a screen point: nothing while it is shown; the
  // active form leaves its mode and a mouse capture is cancelled (outside
  // customizing). FIXME: the submenu window and its message loop join
  // with the submenu control; until then the request is counted and the
  // menu reports itself shown and closed at once.
  virtual void Popup(int x, int y);
  void ShowAt(int x, int y) { Popup(x, y); }
  // ShowAt with the owner's place for one call; afterwards the own-loop and
  // animation flags are on again and the owner values cleared.
  void ShowForOwner(int x, int y, int ownerWidth, int ownerHeight, bool showAnimation, const RECT* ownerBounds,
                    bool useOwnMessageLoop, TWinControl* ownerControl);
  void ShowAtCursor();
  int PopupCount() const { return FPopupCount; }
  POINT LastPopupPoint() const { return FLastPopupPoint; }
  // The owner values of the call in progress (what ShowForOwner passed).
  int OwnerWidth() const { return FOwnerWidth; }
  int OwnerHeight() const { return FOwnerHeight; }
  const RECT* OwnerBounds() const { return FOwnerBounds; }
  TWinControl* OwnerControl() const { return FOwnerControl; }
  bool ShowAnimation() const { return FShowAnimation; }
  bool UseOwnMessageLoop() const { return FUseOwnMessageLoop; }
  bool PopupVisible() const { return FPopupVisible; }
  // What the submenu window reports: shown (OnPopup) and closed (OnCloseUp).
  void HandleShown();
  void HandleCloseUp();
  TNotifyEvent OnPopup;
  TNotifyEvent OnCloseUp;
  // Whether one of the menu's links runs the shortcut.
  virtual bool ExecuteShortCut(TShortCut shortCut);
  // A key message's shortcut offered to the links (key 0: none).
  bool IsShortCutKey(WORD key, LPARAM keyData);

  // The width of the side band; negative values become 0.
  int BarSize() const { return FBarSize; }
  void SetBarSize(int value) { FBarSize = value < 0 ? 0 : value; }
  // The menu's font: the manager's until set (then UseOwnFont is on).
  TFont* Font() const { return FFont; }
  TFont* EditFont() const { return FEditFont; }
  bool UseOwnFont() const { return FUseOwnFont; }
  void SetUseOwnFont(bool value);
  // The manager's font changed.
  void ManagerFontChanged();

private:
  void FontChanged(TObject* Sender);
  TdxBarItemLinks* FItemLinks = nullptr;
  TdxBarItem* FOpenedByItem = nullptr;
  int FBarSize = 0;
  TFont* FFont = nullptr;
  TFont* FEditFont = nullptr;
  bool FUseOwnFont = false;
  bool FInternalFontChange = false;
  int FOwnerWidth = 0;
  int FOwnerHeight = 0;
  const RECT* FOwnerBounds = nullptr;
  TWinControl* FOwnerControl = nullptr;
  bool FShowAnimation = true;
  bool FUseOwnMessageLoop = true;
  bool FPopupVisible = false;
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
