// A collection of components of one item class that belong to a parent
// component (the bars of a bar manager, the tips of a screen-tip repository):
// the items are owned by the parent's owner like any component on a form,
// join and leave the collection by their parent, and the collection reports
// every change unless updates are locked.
#pragma once

#include "platform/Component.h"
#include "platform/Event.h"

#include <vector>

class TcxComponentCollection;
class TcxComponentCollectionItem;

// The action codes passed to the hook and to OnChange.
enum TcxComponentCollectionNotification {
  ccnAdded = 0,       // the item joined
  ccnChanged = 1,     // the item (or, with null, every item) changed
  ccnExtracting = 2,  // the item is about to leave
  ccnExtracted = 3,   // the item has left
};

using TcxComponentCollectionChangeEvent =
    TEvent<void(TObject* Sender, TcxComponentCollectionItem* AItem, TcxComponentCollectionNotification AAction)>;

class TcxComponentCollection : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // `itemClass` is a TcxComponentCollectionItem descendant.
  TcxComponentCollection(TComponent* parentComponent, TClass itemClass);
  ~TcxComponentCollection() override;

  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() override { return FParentComponent; }

  // Creates an item of the item class, owned by the parent component's owner,
  // and gives it the parent component (so it joins this collection).
  TcxComponentCollectionItem* AppendNewItem();
  int ItemCount() const { return static_cast<int>(FItems.size()); }
  TcxComponentCollectionItem* ItemByIndex(int index) const;
  TComponent* ParentComponent() const { return FParentComponent; }
  TClass ItemClass() const { return FItemClass; }

  void LockUpdates() { ++FUpdateCount; }
  // With `report`, reports a change of every item (when no other lock holds).
  void UnlockUpdates(bool report);
  int UpdateCount() const { return FUpdateCount; }

  TcxComponentCollectionChangeEvent OnChange;

protected:
  // Told of every join and leave (empty here).
  virtual void EmptyHook3(TcxComponentCollectionItem* item, TcxComponentCollectionNotification action) {
    (void)item;
    (void)action;
  }
  // Told of each item AppendNewItem made (empty here).
  virtual void ItemAddedHook(TcxComponentCollectionItem* item) { (void)item; }
  // Calls OnChange; reached only while no update lock is held.
  virtual void ReportItemChange(TcxComponentCollectionItem* item, TcxComponentCollectionNotification action);

private:
  friend class TcxComponentCollectionItem;
  void Report(TcxComponentCollectionItem* item, TcxComponentCollectionNotification action);
  void InsertItem(TcxComponentCollectionItem* item);
  void RemoveItem(TcxComponentCollectionItem* item);
  void ClearItems();

  TComponent* FParentComponent;  // not owned
  TClass FItemClass;
  std::vector<TcxComponentCollectionItem*> FItems;  // owned
  int FNextID = 0;
  int FUpdateCount = 0;
};

// A component that is free-standing or in exactly one collection.
class TcxComponentCollectionItem : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxComponentCollectionItem(TComponent* AOwner) : TComponent(AOwner) {}
  ~TcxComponentCollectionItem() override;
  void BeforeDestruction() override;

  TcxComponentCollection* Collection() const { return FCollection; }
  // Identity given by the collection when the item joined.
  int ID() const { return FID; }
  int IndexInCollection() const;

  // The collection a parent component holds for this kind of item.
  virtual TcxComponentCollection* CollectionOfParent(TComponent* parent) = 0;
  virtual AnsiString DisplayedName() const { return Name(); }
  // Leaves the current collection (if any) and joins `collection` (if any).
  virtual void MoveToCollection(TcxComponentCollection* collection);
  virtual void MoveToIndex(int index);
  // Reports a change of this item, or of every item with `allItems`.
  void SignalChanged(bool allItems);

  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return GetParentComponent() != nullptr; }
  void SetParentComponent(TComponent* parent) override;
  void AdoptParentComponent(TComponent* parent) { SetParentComponent(parent); }

private:
  friend class TcxComponentCollection;
  TcxComponentCollection* FCollection = nullptr;  // not owned
  int FID = 0;
};
