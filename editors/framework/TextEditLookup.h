// A text edit's lookup data: the items its text is completed from or
// chosen among (the properties' LookupItems in the base), the current item,
// the incremental search and stepping through the items by keys and wheel.
// The drop-down editors add the list control shown in their popup.
#pragma once

#include "foundation/Classes.h"
#include "foundation/InnerListBox.h"
#include "platform/Event.h"
#include "platform/Text.h"

class TcxCustomTextEdit;

// The list shown in a drop-down editor's popup: a hot-tracking list box
// without border whose items are placeholders; the item count mirrors the
// lookup data and each item's text is asked for when it is drawn.
class TcxCustomEditListBox : public TcxCustomInnerListBox {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxCustomEditListBox(TComponent* owner);

  // The text edit whose items the list shows (its editing style decides
  // the focus rectangle).
  TcxCustomTextEdit* Edit() const { return FEdit; }
  void SetEdit(TcxCustomTextEdit* value) { FEdit = value; }
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool value) { FHotTrack = value; }
  int ItemCount() const { return Count(); }
  // Adds or removes empty placeholder items at the end, under one update lock.
  void SetItemCount(int value);
  // The platform's setter, then the selection notification.
  void SetItemIndex(int value) override;
  // Told after a click and after every item-index change.
  TNotifyEvent OnSelectionChanged;

  // -- The virtual operations, in their order.
  // True when the owner drew the item (this class then draws nothing).
  virtual bool DrawItemByOwner(int index, const RECT& rect, TOwnerDrawState state);
  virtual AnsiString ItemTextAt(int index);
  virtual void AfterItemsLoaded() {}
  virtual int HeightForRows(int rows) { return rows * ItemHeightFromFont(); }
  // The height of "Wg" in the list's font.
  virtual int ItemHeightFromFont();
  virtual int ItemTextWidth(int index);

  bool DrawsFocusRect() override;
  void Click() override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, POINT MousePos) override;
  void WndProc(TMessage& Message) override;

protected:
  void DrawItem(int Index, const RECT& Rect, TOwnerDrawState State) override;
  void MeasureItem(int Index, int& Height) override;

private:
  void SelectionChanged();
  TcxCustomTextEdit* FEdit = nullptr;
  bool FHotTrack = true;
};

// Directions of a step through the items.
enum class TcxLookupStep : uint8_t { lsFirst, lsLast, lsNext, lsPrevious, lsPageUp, lsPageDown };
using enum TcxLookupStep;

class TcxCustomTextEditLookupData : public TcxInterfacedPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxCustomTextEditLookupData(TcxCustomTextEdit* owner);

  virtual AnsiString ItemText(int index) const;
  virtual int ItemCount() const;
  // Incremental search: the first item from the start (or after the item
  // index with startAfterCurrent) whose beginning equals `text`, compared
  // case-insensitively; `text` takes the item's spelling and `tail` the
  // rest. No wrap-around.
  virtual bool LocateText(AnsiString& text, AnsiString& tail, bool startAfterCurrent, bool exact);
  virtual bool CanFindText(const AnsiString& text) const;
  virtual void SyncListToText();
  // The class of the list shown in a popup (none in the base).
  virtual TClass ListClass() const { return nullptr; }
  // Item index := the list's item index.
  virtual void TakeListIndex(TObject* sender);
  // Gives the list the current item count.
  virtual void ReloadListItems();
  // Whether a popup resize of the list is accepted as asked.
  virtual bool AcceptsPopupResize(SIZE& newSize, SIZE largest) {
    (void)newSize, (void)largest;
    return true;
  }
  virtual void InitListHook() {}
  virtual void DoneListHook() {}
  virtual SIZE PreferredListSize() { return SIZE{0, 0}; }
  // Makes the list (first time), styles and parents it, and fills it.
  virtual void PrepareList(TWinControl* parent);
  virtual void PlaceList(const RECT& bounds);
  virtual void RefreshList() { ReloadListItems(); }

  TcxCustomEditListBox* ListControl() const { return FList.Get(); }
  // Whether a screen point lies in the list.
  bool PointInList(POINT screen) const;
  // Applies the list's item (again when it already is the current one).
  void ChooseListItem();
  // The list's item index follows the current key.
  void SyncListIndex();

  bool IsEmpty() const { return ItemCount() == 0; }
  int CurrentKey() const { return FCurrentKey; }
  // Makes `key` current; fires the select-item event when it changed, or
  // when the edit's text differs from the item's.
  void SetCurrentKey(int key);
  int ItemIndex() const { return FItemIndex; }
  // The text of a key: empty out of range.
  AnsiString TextOfKey(int key) const;
  void Step(TcxLookupStep direction, bool wrapAround);
  TcxCustomTextEdit* OwnerEdit() const { return FOwner; }

  TNotifyEvent OnCurrentKeyChanged;
  TNotifyEvent OnSelectItem;

protected:
  void SelectIndex(int index);
  void ResetCurrentKey(bool exact, const AnsiString& text);

private:
  void SetListIndex(int index);
  TcxCustomTextEdit* FOwner;
  TWeakLink<TcxCustomEditListBox> FList;  // belongs to its parent window
  int FCurrentKey = -1;
  int FItemIndex = -1;
};
