// Item kinds: labels and separators, buttons, and the window items (edits
// and combos).
#pragma once

#include "bars/model/BarItem.h"
#include "platform/Control.h"
#include "platform/StringList.h"

class TdxBar;
class TdxBarPopupMenu;
class TdxBarItemLinks;

// A static text item.
class TdxBarLabel : public TdxBarItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  // Shows its caption.
  explicit TdxBarLabel(TComponent* AOwner);
};

// A separator, optionally with a caption. It goes into menus only.
class TdxBarSeparator : public TdxBarLabel {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarLabel::TdxBarLabel;
  // Kind 1 (a menu) takes it; a toolbar (kind 0) refuses with the message.
  bool CanBePlacedOn(int kind, TObject* owner, AnsiString& message) override;
  AnsiString NewItemCaption() const override;
};

enum class TdxBarButtonStyle { bsDefault, bsChecked, bsDropDown, bsCheckedDropDown };
using enum TdxBarButtonStyle;

// A command button: a check button of a group, or one with a drop-down.
class TdxBarButton : public TdxBarItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarItem::TdxBarItem;

  TdxBarButtonStyle ButtonStyle() const { return static_cast<TdxBarButtonStyle>(FStyleBits); }
  // Releases Down by the group's rules after the new style is stored.
  void SetButtonStyle(TdxBarButtonStyle value);
  bool IsCheckStyle() const { return (FStyleBits & 1) != 0; }
  // Whether a check button is down (an action's Checked follows it).
  bool Down() const { return FDown; }
  // A group of check buttons keeps one down unless AllowAllUp.
  virtual void SetDown(bool value);
  int GroupIndex() const { return FGroupIndex; }
  // Stays 0 for buttons that are no check buttons.
  void SetGroupIndex(int value);
  bool AllowAllUp() const { return FAllowAllUp; }
  // Reaches every button of the group.
  void SetAllowAllUp(bool value);
  bool CloseSubMenuOnClick() const { return FCloseSubMenuOnClick; }
  void SetCloseSubMenuOnClick(bool value) { FCloseSubMenuOnClick = value; }
  bool DropDownEnabled() const { return FDropDownEnabled; }
  void SetDropDownEnabled(bool value) { FDropDownEnabled = value; }
  bool Lowered() const { return FLowered; }
  void SetLowered(bool value) { FLowered = value; }
  TdxBarPopupMenu* DropDownMenu() const { return FDropDownMenu; }
  // A menu that holds this button anywhere in its tree raises "You cannot
  // create recursive menus" and the old menu stays.
  void SetDropDownMenu(TdxBarPopupMenu* value);
  // The drop-down menu's links, null without one.
  TdxBarItemLinks* GetItemLinks() const override;
  // An enabled check button toggles Down before the click runs.
  void Click() override;
  AnsiString NewItemCaption() const override;
  bool HasPaintStyle() const override { return true; }

protected:
  void Notification(TComponent* component, TOperation operation) override;
  bool FDown = false;

private:
  TdxBarPopupMenu* FDropDownMenu = nullptr;
  // The other buttons of the group (same manager and GroupIndex).
  template <class F>
  void ForEachOfGroup(F&& visit);

  int FStyleBits = 0;  // bit 0 check, bit 1 drop-down
  int FGroupIndex = 0;
  bool FAllowAllUp = false;
  bool FCloseSubMenuOnClick = true;
  bool FDropDownEnabled = true;
  bool FLowered = false;
};

// An item shown as an in-place window, with a text.
class TdxBarWindowItem : public TdxBarItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarItem::TdxBarItem;
  // Window items are no shortcut targets.
  bool HandlesShortCut() const override { return false; }
  AnsiString Text() const { return GetText(); }
  virtual AnsiString GetText() const { return FText; }
  // A changed text repaints the controls and fires OnChange.
  virtual void SetText(const AnsiString& value);
  bool ShowEditor() const { return !FEmptyWindow; }
  void SetShowEditor(bool value) { FEmptyWindow = !value; }
  // The first link, in link order, shown by an in-place window control on a
  // toolbar (with `visibleHostsOnly`, on one whose window shows); links in
  // menus are passed over. Null when there is none.
  TdxBarItemLink* WindowControlLink(bool visibleHostsOnly) const;

  TNotifyEvent OnChange;
  TNotifyEvent OnCurChange;

protected:
  // Fires OnChange (not while loading).
  virtual void DoChange();
  AnsiString FText;
  bool FEmptyWindow = false;
};

// The base of edits: a width and an optional caption.
class TdxCustomBarEdit : public TdxBarWindowItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  // 100 wide.
  explicit TdxCustomBarEdit(TComponent* AOwner);
  // Only values above 0 are taken.
  void SetWidth(int value) override;
  int StyleCount() const override { return 2; }
};

// An edit item.
class TdxBarEdit : public TdxCustomBarEdit {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxCustomBarEdit::TdxCustomBarEdit;
  int MaxLength() const { return FMaxLength; }
  // Values of 0 or less mean no limit (0).
  void SetMaxLength(int value) { FMaxLength = value > 0 ? value : 0; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value) { FReadOnly = value; }

private:
  int FMaxLength = 0;
  bool FReadOnly = false;
};

class TCustomdxBarCombo;
using TdxBarCheckKeyForDropDownWindowEvent =
    TEvent<void(TCustomdxBarCombo* Sender, WORD Key, TShiftState Shift, bool& AcceptKey)>;
using TdxBarGetDropDownWindowEvent = TEvent<void(TCustomdxBarCombo* Sender, HWND& Window)>;

// The base of combos: an edit with a drop-down window.
class TCustomdxBarCombo : public TdxBarEdit {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarEdit::TdxBarEdit;
  // Whether a key opens the drop-down: every key but Tab, Enter and Esc;
  // OnCheckKeyForDropDownWindow may change the answer.
  virtual bool CheckKeyForDropDown(WORD key, TShiftState shift);
  // OnGetDropDownWindow's window, 0 without it.
  virtual HWND GetDropDownWindow();
  // Where a drop-down of size `dropDown` goes for an item of size `item`
  // whose list opens at (x, y), kept inside the work area: beside the item
  // (submenus and vertical toolbars) or below it.
  static POINT FitDropDownPosition(int x, int y, SIZE item, SIZE dropDown, const RECT& workArea, bool beside);

  TdxBarCheckKeyForDropDownWindowEvent OnCheckKeyForDropDownWindow;
  TdxBarGetDropDownWindowEvent OnGetDropDownWindow;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;
};

class TdxBarDropDownListBox;
class TdxBarCustomCombo;
enum class TOwnerDrawStateItem;
using TdxBarDrawItemEvent =
    TEvent<void(TdxBarCustomCombo* Sender, int AIndex, const RECT& ARect, TSet<TOwnerDrawStateItem, 16> AState)>;

// A combo with a list of lines: the text selects its line.
class TdxBarCustomCombo : public TCustomdxBarCombo {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarCustomCombo(TComponent* AOwner);
  ~TdxBarCustomCombo() override;

  TStringList* Items() const { return FItems; }
  int ItemIndex() const { return FItemIndex; }
  // Out of range means -1; the text follows the line.
  void SetItemIndex(int value);
  bool Sorted() const { return FItems->Sorted(); }
  void SetSorted(bool value);
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int value) { FItemHeight = value; }
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int value) { FDropDownCount = value; }
  int DropDownWidth() const { return FDropDownWidth; }
  void SetDropDownWidth(int value) { FDropDownWidth = value; }
  // A text equal to the selected line (case-sensitive) keeps it; else the
  // line equal ignoring case is selected.
  void SetText(const AnsiString& value) override;
  // The first line having the text as its prefix, else the one that first
  // reached the longest common prefix; -1 when no line shares the first
  // character (case ignored).
  int FindBestPrefixMatch(const AnsiString& text) const;
  // Only the four navigation keys with no shift key open the list; the
  // event is not asked.
  bool CheckKeyForDropDown(WORD key, TShiftState shift) override;
  // The width of the drop-down: DropDownWidth, else from the edit's width
  // (`editWidth`, 0 with no active control) raised to the widest line; plus
  // the frame, and the scroll bar with more lines than DropDownCount.
  int DropDownWidthInEffect(int editWidth = 0);
  // ItemHeight when above 0, else the height of "Qq"; OnMeasureItem may change it.
  void MeasureItemHeight(int index, int& height);
  // The line's text width plus 2.
  void MeasureItemWidth(int index, int& width);

  TEvent<void(TdxBarCustomCombo* Sender, int AIndex, int& AHeight)> OnMeasureItem;
  // Draws a line of the list instead of the painter.
  TdxBarDrawItemEvent OnDrawItem;

  // The list the combo drops down (owned by the combo).
  TdxBarDropDownListBox* ListBox() const { return FListBox; }
  // OnGetDropDownWindow's window, else the list's.
  HWND GetDropDownWindow() override;
  // The list takes the lines and, when given, the edit's font; it is
  // sized DropDownWidthInEffect(editWidth) wide and 4 plus the heights of
  // the first DropDownCount lines high, without moving or activating.
  void PrepareDropDown(int editWidth, TFont* editFont = nullptr);
  // The line an edit text stands for: the remembered one when it is valid
  // and its line equals the text, else the best prefix match. While the list
  // shows, it selects that line when the line equals the text ignoring
  // case, else it has no selection and scrolls to it.
  int SyncListWithText(const AnsiString& text, int rememberedIndex);

protected:
  void ItemsChanged(TObject* sender);

private:
  int TextExtent(const AnsiString& text, bool height);
  TStringList* FItems;
  TdxBarDropDownListBox* FListBox = nullptr;
  int FItemIndex = -1;
  int FItemHeight = 0;
  int FDropDownCount = 8;
  int FDropDownWidth = 0;
};

// A combo item with its list of texts.
class TdxBarCombo : public TdxBarCustomCombo {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarCustomCombo::TdxBarCustomCombo;
};
