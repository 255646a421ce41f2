// The skinned menu bar: a skinned window with a menu does not let the system
// draw its bar. The form skinner takes the native menu off the window and
// paints a bar of its own between the caption and the client area
// (TWinSkinMenu, one TMenuBtn per item). It opens the drop-downs itself with
// TrackPopupMenu and, while one is open, follows the keyboard and the mouse
// through a message-filter hook, so that the arrow keys and the mouse pass
// from one bar item to the next as in a native bar. Only one drop-down is
// open at a time (TrackPopupMenu is modal), so the loop's state is the
// process's. GUI thread only.
#pragma once

#include "skin/WinSkinForm.h"

#include <memory>
#include <string>
#include <vector>

class TMainMenu;

// Texts of native menus are read up to this many characters.
constexpr int MaxMenuText = 80;
// The item with a command of a bar's menu (or of the menu merged into it),
// not the menu's root; null when there is none.
TMenuItem* FindBarMenuItem(TMainMenu* menu, UINT command);

// One item of the bar.
class TMenuBtn : public TNCObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TMenuBtn(TWinSkinForm* form, int index) : TNCObject(form), Index(index) {}

  TMenuItem* Item = nullptr;  // the class library item it stands for, or null
  int Index;
  std::wstring Caption;
  HMENU DropDown = nullptr;   // its drop-down menu, or null
  UINT Command = 0;
  // Copies its part of the bar's background back, frames it when hot or
  // pressed and draws the caption again.
  void Paint() override;
};

class TWinSkinMenu : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TWinSkinMenu(TWinSkinForm* form, TMainMenu* menu, HMENU handle);
  ~TWinSkinMenu() override;

  // Builds the items from the window's menu (with the class library items'
  // captions, states and drop-downs) and takes the menu off the window.
  void BuildItems();
  // Builds again from a new menu handle and lays the items out.
  void RebuildItems(HMENU handle);
  // The items' rectangles within the bar, without painting.
  void LayoutItems();
  // Paints the bar at `bar` (window coordinates) into `dc`.
  void Paint(HDC dc, const RECT& bar);
  // The first item with a caption whose bounds hold the frame point, or null.
  TMenuBtn* ItemAt(POINT p);

  int ItemCount() const { return static_cast<int>(FItems.size()); }
  TMenuBtn* Items(int index) const { return FItems.at(static_cast<size_t>(index)).get(); }
  TMainMenu* MenuComponent() const { return FMenu; }
  HMENU Handle() const { return FHandle; }
  RECT BarRect() const { return FBarRect; }
  // The bar's background as last painted (bar size), for repainting items.
  TBitmap* Background() { return FBackground.get(); }
  TWinSkinForm* FormSkinner() const { return FForm; }
  // The system's menu font.
  HFONT MenuFont() const;

private:
  void Build(HMENU handle, bool nativeTextFirst);

  TWinSkinForm* FForm;
  TMainMenu* FMenu;
  HMENU FHandle;
  std::vector<std::unique_ptr<TMenuBtn>> FItems;
  RECT FBarRect{};
  std::unique_ptr<TBitmap> FBackground;
  TGdiObject FMenuFont;
  bool FPainting = false;
};

// -- The menu loop of an open drop-down (one per process).
void InstallMenuLoopHook();
void RemoveMenuLoopHook();
bool MenuLoopHookInstalled();
// The next or previous bar item after the open one, wrapping around.
TMenuBtn* NeighbourMenuItem(bool next);
// The form skinner whose drop-down is open, and the open item's index (-1).
TWinSkinForm* MenuLoopForm();
int MenuLoopIndex();
// Adds MFT_OWNERDRAW to every item of a native menu, recursing
// into drop-downs.
void SetMenuOwnerDraw(HMENU menu);
