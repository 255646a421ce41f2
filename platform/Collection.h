// Collections: an owned, ordered list of items of one item class, created
// through the class reference, with update brackets that hold back change
// reports until the outermost EndUpdate.
#pragma once

#include "platform/Persistent.h"
#include "platform/Text.h"

#include <vector>

class TCollection;

enum class TCollectionNotification { cnAdded, cnExtracting, cnDeleting };
using enum TCollectionNotification;

// One item. An item made with a collection joins it at once (its class is
// not yet complete while the collection hears of it); items made by
// TCollection::Add join once fully built. Freed through Free() or its
// collection, it leaves while still whole.
class TCollectionItem : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TCollectionItem(TCollection* Collection);
  ~TCollectionItem() override;
  void BeforeDestruction() override;

  TCollection* Collection() const { return FCollection; }
  // Leaves the old collection and joins the new one (null: free-standing).
  void SetCollection(TCollection* value);
  // Identity given by the collection when the item joined (never reused).
  int ID() const { return FID; }
  // Position in the collection, -1 when free-standing.
  int Index() const;
  void SetIndex(int value);
  virtual AnsiString DisplayName() const { return ClassName(); }
  TPersistent* GetOwner() override;
  std::string GetNamePath() override;

protected:
  // Reports a change of this item (or of every item) unless updates are held.
  void Changed(bool allItems);

private:
  friend class TCollection;
  TCollection* FCollection = nullptr;
  int FID = 0;
};

class TCollection : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TCollection(TClass itemClass);
  ~TCollection() override;

  // Creates an item of the item class through its class reference and adds it.
  TCollectionItem* Add();
  TCollectionItem* Insert(int index);
  void Delete(int index);
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  TCollectionItem* Items(int index) const;
  // Assigns `value` onto the item at `index`.
  void SetItems(int index, TCollectionItem* value);
  TCollectionItem* FindItemID(int id) const;
  TClass ItemClass() const { return FItemClass; }

  virtual void BeginUpdate() { ++FUpdateCount; }
  virtual void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  void Assign(TPersistent* source) override;
  std::string GetNamePath() override;

protected:
  // A change of `item`, or of every item with null, once no update is held.
  virtual void Update(TCollectionItem* item) { (void)item; }
  virtual void Notify(TCollectionItem* item, TCollectionNotification action) {
    (void)item;
    (void)action;
  }
  void Changed();

private:
  friend class TCollectionItem;
  // `checkClass` is off while an item's own constructor joins (its class is
  // not complete yet).
  void InsertItem(TCollectionItem* item, bool checkClass);
  void RemoveItem(TCollectionItem* item);

  TClass FItemClass;
  std::vector<TCollectionItem*> FItems;
  int FUpdateCount = 0;
  int FNextID = 0;
};

// A collection that knows the object it belongs to (GetOwner).
class TOwnedCollection : public TCollection {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TOwnedCollection(TPersistent* AOwner, TClass itemClass) : TCollection(itemClass), FOwner(AOwner) {}
  TPersistent* GetOwner() override { return FOwner; }

private:
  TPersistent* FOwner;
};
