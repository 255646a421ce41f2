// A text edit's lookup data: the items its text is completed from or
// chosen among (the properties' LookupItems in the base), the current item,
// the incremental search and stepping through the items by keys and wheel.
// The drop-down editors add the list control shown in their popup.
#pragma once

#include "foundation/Classes.h"
#include "platform/Event.h"
#include "platform/Text.h"

class TcxCustomTextEdit;

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
  int FCurrentKey = -1;
  int FItemIndex = -1;
};
