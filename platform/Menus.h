// Menus: a tree of menu items shown as a form's menu bar (TMainMenu) or at
// the mouse (TPopupMenu). The system menu handles are built from the items
// on demand and rebuilt after a change; a form's menu bar tells the form
// with CM_MENUCHANGED, and the form puts the new handle on its window.
//
// Owner-drawn items (a menu with OwnerDraw, an item with OnDrawItem or with
// an image) are measured and drawn by the item: the window that owns the
// menu hands WM_MEASUREITEM and WM_DRAWITEM to DispatchMenuMessage, which
// finds the item through the item data (a serial number checked against the
// living items, so another program's owner-drawn menu is left alone). The
// class library's windows do that themselves; a window procedure of
// another kind (a skinner's) calls DispatchMenuMessage.
#pragma once

#include "platform/Component.h"
#include "platform/Event.h"
#include "platform/UtilWindow.h"
#include "platform/Win32.h"

#include <vector>

// A shortcut: a virtual key in the low byte with scShift/scCtrl/scAlt.
using TShortCut = WORD;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
TShortCut ShortCut(WORD key, bool shift, bool ctrl, bool alt);

class TMenu;
class TBitmap;
class TCanvas;
class TCustomImageList;
class TChangeLink;
class TBasicAction;
class TMenuActionLink;

using TMenuDrawItemEvent = TEvent<void(TObject* Sender, TCanvas* ACanvas, const RECT& ARect, bool Selected)>;
// Width and Height come in as the item's own measure and may be changed.
using TMenuMeasureItemEvent = TEvent<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;

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
  // Shown after the caption ("Ctrl+S").
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut value);
  // Clicking toggles Checked.
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool value) { FAutoCheck = value; }
  const AnsiString& Hint() const { return FHint; }
  void SetHint(const AnsiString& value) { FHint = value; }
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int value) { FHelpContext = value; }
  // The image of the menu's image list drawn beside the caption (-1: none).
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int value);
  // A bitmap of the item's own, drawn when the menu has no image for it;
  // made on first use, owned by the item.
  TBitmap* Bitmap();
  void SetBitmap(TBitmap* value);
  bool HasBitmap() const;
  bool IsLine() const { return FCaption == "-"; }

  // The action the item shows and runs (see ActnList.h).
  TBasicAction* Action() const;
  void SetAction(TBasicAction* value);
  TMenuActionLink* ActionLink() const { return FActionLink; }
  // Lets the action update the item (idle time, before a popup opens).
  virtual void InitiateAction();

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
  // The drop-down menu built for the sub-items, while the menu's handle
  // exists (the menu's own handle for the root item).
  HMENU Handle() const { return FSubHandle; }

  // Runs the item: AutoCheck, then OnClick, or the action when OnClick is
  // the action's handler (or not assigned).
  virtual void Click();

  // Drawn by the item: its menu has OwnerDraw, it has OnDrawItem, or it
  // has an image.
  bool IsOwnerDraw() const;
  // The item's size: the caption in the canvas's font, the image column of
  // a drop-down item, the shortcut; then OnMeasureItem.
  virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);
  // OnDrawItem when assigned, else the item's own drawing (background,
  // image or check mark, caption, shortcut) in the system's menu colours.
  virtual void DrawItem(TCanvas* ACanvas, const RECT& ARect, bool Selected);
  // The item of our own whose menu item data is `data`, or null.
  static TMenuItem* FromItemData(ULONG_PTR data);

  // In a form an item sits in its parent item, or in its menu at the top.
  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return true; }
  void SetParentComponent(TComponent* parent) override;
  TNotifyEvent OnClick;
  TMenuDrawItemEvent OnDrawItem;
  TMenuMeasureItemEvent OnMeasureItem;

protected:
  void Notification(TComponent* component, TOperation operation) override;
  // Takes the action's values: all of them, or with CheckDefaults only
  // those the item still has at their defaults.
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  virtual TClass GetActionLinkClass() const;
  // The default drawing, for descendants that draw around it.
  void DoDrawText(TCanvas* ACanvas, const AnsiString& text, RECT& r, bool selected, UINT flags);

private:
  friend class TMenu;
  friend bool DispatchMenuMessage(TMessage& Message);
  void Changed();
  void AppendTo(HMENU menu);
  void ForgetHandles();
  void DoActionChange(TObject* Sender);
  bool IsTopLevel() const;
  // Keyboard state of the WM_DRAWITEM being handled (accelerators hidden).
  UINT FDrawState = 0;

  AnsiString FCaption;
  bool FChecked = false;
  bool FEnabled = true;
  bool FVisible = true;
  bool FDefault = false;
  bool FRadioItem = false;
  bool FAutoCheck = false;
  int FGroupIndex = 0;
  TShortCut FShortCut = 0;
  AnsiString FHint;
  int FHelpContext = 0;
  int FImageIndex = -1;
  TBitmap* FBitmap = nullptr;
  TMenuActionLink* FActionLink = nullptr;
  UINT FCommand;
  ULONG_PTR FSerial;
  HMENU FSubHandle = nullptr;
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
  // Every item drawn by the class library.
  bool OwnerDraw() const { return FOwnerDraw; }
  void SetOwnerDraw(bool value);
  // The images items show by ImageIndex.
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* value);
  // Lets every item's action update it.
  void UpdateItems();

protected:
  friend class TMenuItem;
  virtual bool IsPopup() const { return false; }
  virtual void MenuChanged();
  // The items shown at the top of the menu (a merged menu bar mixes two
  // menus' items).
  virtual std::vector<TMenuItem*> BarItems();
  // The item (of the menu, or of a menu merged into it) with a command
  // number or an enabled shortcut.
  virtual TMenuItem* FindCommand(UINT command) { return FItems.FindCommand(command); }
  virtual TMenuItem* FindShortCut(TShortCut shortCut) { return FItems.FindShortCut(shortCut); }
  void DestroyMenuHandle();
  // The handle went elsewhere: the items forget theirs.
  void ForgetHandles();
  void Notification(TComponent* component, TOperation operation) override;

  TMenuItem FItems;
  HMENU FHandle = nullptr;

private:
  void ImagesChanged(TObject* Sender);
  bool FOwnerDraw = false;
  TCustomImageList* FImages = nullptr;
  TChangeLink* FImageChangeLink = nullptr;
};

class TMainMenu : public TMenu {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TMenu::TMenu;
  // The window whose menu bar this is (set by the form).
  ~TMainMenu() override;
  void SetWindowHandle(HWND wnd);
  HWND WindowHandle() const { return FWindowHandle; }
  // Shows the items of another menu bar in this one (an MDI child's in its
  // frame's): an item of Menu replaces this bar's items of its GroupIndex,
  // the others take their place in the order of the group indexes. One
  // menu is merged at a time; Unmerge takes it out again. The merged menu
  // keeps its items; its changes show here.
  void Merge(TMainMenu* Menu);
  void Unmerge(TMainMenu* Menu);
  TMainMenu* Merged() const { return FMerged; }

protected:
  // Builds the new handle and sends CM_MENUCHANGED to the window, which
  // puts it on (a subclass of the window sees the change there); the old
  // handle goes once the window no longer shows it.
  void MenuChanged() override;
  std::vector<TMenuItem*> BarItems() override;
  TMenuItem* FindCommand(UINT command) override;
  TMenuItem* FindShortCut(TShortCut shortCut) override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  HWND FWindowHandle = nullptr;
  TMainMenu* FMerged = nullptr;    // the menu shown in this one
  TMainMenu* FMergedInto = nullptr;  // the menu this one is shown in
};

enum class TPopupAlignment { paLeft, paRight, paCenter };
using enum TPopupAlignment;

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
  // Where the point lies on the menu: its left edge, right edge or middle.
  TPopupAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TPopupAlignment value) { FAlignment = value; }

  TNotifyEvent OnPopup;

protected:
  bool IsPopup() const override { return true; }

private:
  TComponent* FPopupComponent = nullptr;
  bool FAutoPopup = true;
  TPopupAlignment FAlignment = paLeft;
};

// Measures, draws or finds the accelerator of our own menu items for the
// window that owns the menu: WM_MEASUREITEM and WM_DRAWITEM of menu items
// whose item data names a living item of ours, and WM_MENUCHAR in menus we
// built. Answers whether it handled the message (Result is set).
bool DispatchMenuMessage(TMessage& Message);
