// Lists of pointers and of owned objects. Portable: no Windows headers.
#pragma once

#include "platform/Object.h"

#include <vector>

enum class TListNotification { lnAdded, lnExtracted, lnDeleted };
using enum TListNotification;

// Compares two items for TList::Sort: negative, 0 or positive.
using TListSortCompare = int (*)(void* item1, void* item2);

// A list of untyped pointers. Indexes are 0-based; a bad index raises
// EListError "List index out of bounds (<index>)".
class TList : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  ~TList() override;

  int Add(void* item);
  void Insert(int index, void* item);
  void Delete(int index);
  // Removes the first occurrence; answers its former index or -1.
  int Remove(void* item);
  // Removes the first occurrence without the "deleted" notification; answers
  // the item or null.
  void* Extract(void* item);
  virtual void Clear();
  int IndexOf(const void* item) const;
  void Exchange(int index1, int index2);
  void Move(int curIndex, int newIndex);
  // Removes every null item.
  void Pack();
  void Sort(TListSortCompare compare);

  int Count() const { return static_cast<int>(FItems.size()); }
  // Growing fills with nulls; shrinking deletes the items past the end.
  void SetCount(int count);
  int Capacity() const { return static_cast<int>(FItems.capacity()); }
  void SetCapacity(int capacity);
  void* Items(int index) const;
  void SetItems(int index, void* item);
  void* operator[](int index) const { return Items(index); }
  void* First() const { return Items(0); }
  void* Last() const { return Items(Count() - 1); }
  // The items as an array (valid until the list changes).
  void* const* List() const { return FItems.data(); }

protected:
  // Told about every item that enters or leaves the list.
  virtual void Notify(void* item, TListNotification action) {
    (void)item;
    (void)action;
  }
  void CheckIndex(int index) const;

private:
  std::vector<void*> FItems;
};

// A list of objects that frees them when they leave it (unless extracted),
// while OwnsObjects is on (the default).
class TObjectList : public TList {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TObjectList(bool ownsObjects = true) : FOwnsObjects(ownsObjects) {}
  // Frees the owned objects in index order.
  ~TObjectList() override;

  int Add(TObject* object) { return TList::Add(object); }
  void Insert(int index, TObject* object) { TList::Insert(index, object); }
  int Remove(TObject* object) { return TList::Remove(object); }
  TObject* Extract(TObject* object) { return static_cast<TObject*>(TList::Extract(object)); }
  int IndexOf(const TObject* object) const { return TList::IndexOf(object); }
  TObject* Items(int index) const { return static_cast<TObject*>(TList::Items(index)); }
  void SetItems(int index, TObject* object) { TList::SetItems(index, object); }
  TObject* operator[](int index) const { return Items(index); }
  TObject* First() const { return Items(0); }
  TObject* Last() const { return Items(Count() - 1); }
  // Index of the first object of exactly `cls` (or a descendant when not
  // `exact`) at or after `start`, or -1.
  int FindInstanceOf(TClass cls, bool exact = true, int start = 0) const;

  bool OwnsObjects() const { return FOwnsObjects; }
  void SetOwnsObjects(bool value) { FOwnsObjects = value; }

protected:
  void Notify(void* item, TListNotification action) override;

private:
  bool FOwnsObjects;
};
