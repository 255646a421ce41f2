// Popup menus: links shown at a point.
#pragma once

#include "bars/model/BarComponents.h"

// The base of popup menus: links shown at a point with their own message
// loop.
class TdxBarCustomPopupMenu : public TdxBarComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarComponent::TdxBarComponent;

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
