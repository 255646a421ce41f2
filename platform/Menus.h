// Menus: a tree of menu items shown as a form's menu bar (TMainMenu) or at
// the mouse (TPopupMenu). The system menu handles are built from the items
// on demand and rebuilt after a change.
#pragma once

#include "platform/Component.h"
#include "platform/Event.h"
#include "platform/Win32.h"

#include <vector>

// A shortcut: a virtual key in the low byte with scShift/scCtrl/scAlt.
using TShortCut = WORD;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
TShortCut ShortCut(WORD key, bool shift, bool ctrl, bool alt);

class TMenu;

class TMenuItem : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  const AnsiString& Caption() const { return FCaption; }
  void SetCaption(const AnsiString& value);
  bool Checked() const { return FChecked; }
  void SetChecked(bool value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);
  bool Default() const { return FDefault; }
  void SetDefault(bool value);
  bool RadioItem() const { return FRadioItem; }
  void SetRadioItem(bool value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int value) { FGroupIndex = value; }
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut value) { FShortCut = value; }
  bool IsLine() const { return FCaption == "-"; }

  // Sub-items. The item owns its sub-items' place in the tree; freeing an
  // item frees nothing else unless it owns it as a component.
  int Count() const { return static_cast<int>(FItems.size()); }
  TMenuItem* Items(int index) const { return FItems.at(index); }
  void Add(TMenuItem* item) { Insert(Count(), item); }
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);
  void Delete(int index) { Remove(Items(index)); }
  void Clear();
  int IndexOf(const TMenuItem* item) const;
  TMenuItem* ParentItem() const { return FParent; }
  TMenu* Menu() const;
  // The item (here or below) with a command number, or null.
  TMenuItem* FindCommand(UINT command);
  // The enabled, visible item (here or below) with a shortcut, or null.
  TMenuItem* FindShortCut(TShortCut shortCut);
  UINT Command() const { return FCommand; }

  virtual void Click();

  // In a form an item sits in its parent item, or in its menu at the top.
  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return true; }
  void SetParentComponent(TComponent* parent) override;
  TNotifyEvent OnClick;

private:
  friend class TMenu;
  void Changed();
  void AppendTo(HMENU menu);

  AnsiString FCaption;
  bool FChecked = false;
  bool FEnabled = true;
  bool FVisible = true;
  bool FDefault = false;
  bool FRadioItem = false;
  int FGroupIndex = 0;
  TShortCut FShortCut = 0;
  UINT FCommand;
  TMenuItem* FParent = nullptr;
  TMenu* FMenu = nullptr;  // set on the root item
  std::vector<TMenuItem*> FItems;
};

class TMenu : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;

  TMenuItem* Items() { return &FItems; }
  // The system menu, built on first use and rebuilt after a change.
  HMENU Handle();
  bool DispatchCommand(UINT command);
  bool IsShortCut(TShortCut shortCut);

protected:
  friend class TMenuItem;
  virtual bool IsPopup() const { return false; }
  virtual void MenuChanged();
  void DestroyMenuHandle();

  TMenuItem FItems;
  HMENU FHandle = nullptr;
};

class TMainMenu : public TMenu {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TMenu::TMenu;
  // The window whose menu bar this is (set by the form).
  void SetWindowHandle(HWND wnd);

protected:
  void MenuChanged() override;

private:
  HWND FWindowHandle = nullptr;
};

class TPopupMenu : public TMenu {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TMenu::TMenu;

  // Shows the menu at a screen point and runs the chosen item's Click.
  virtual void Popup(int X, int Y);
  TComponent* PopupComponent() const { return FPopupComponent; }
  void SetPopupComponent(TComponent* value) { FPopupComponent = value; }
  bool AutoPopup() const { return FAutoPopup; }
  void SetAutoPopup(bool value) { FAutoPopup = value; }

  TNotifyEvent OnPopup;

protected:
  bool IsPopup() const override { return true; }

private:
  TComponent* FPopupComponent = nullptr;
  bool FAutoPopup = true;
};
