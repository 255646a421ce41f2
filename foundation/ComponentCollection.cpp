#include "foundation/ComponentCollection.h"

#include "platform/Exceptions.h"

#include <algorithm>
#include <string>

const TClassInfo TcxComponentCollection::ClassInfo{"TcxComponentCollection", &TPersistent::ClassInfo, nullptr};

TcxComponentCollection::TcxComponentCollection(TComponent* parentComponent, TClass itemClass)
    : FParentComponent(parentComponent), FItemClass(itemClass) {}

TcxComponentCollection::~TcxComponentCollection() {
  // Nothing is reported any more while the items go.
  FUpdateCount = 1;
  while (!FItems.empty()) Free(FItems.back());
}

TcxComponentCollectionItem* TcxComponentCollection::ItemByIndex(int index) const {
  if (index < 0 || index >= ItemCount())
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return FItems[static_cast<size_t>(index)];
}

TcxComponentCollectionItem* TcxComponentCollection::AppendNewItem() {
  TObject* object = CreateObject(FItemClass, FParentComponent ? FParentComponent->Owner() : nullptr);
  auto* item = ObjectAs<TcxComponentCollectionItem>(object);
  if (!item) {
    Free(object);
    throw EInvalidOperation(std::string("Cannot add an item of class ") + FItemClass->Name);
  }
  item->SetParentComponent(FParentComponent);
  ItemAddedHook(item);
  return item;
}

void TcxComponentCollection::UnlockUpdates(bool report) {
  if (FUpdateCount > 0) --FUpdateCount;
  if (report) Report(nullptr, ccnChanged);
}

void TcxComponentCollection::ReportItemChange(TcxComponentCollectionItem* item,
                                              TcxComponentCollectionNotification action) {
  FireEvent(OnChange, static_cast<TObject*>(this), item, action);
}

void TcxComponentCollection::Report(TcxComponentCollectionItem* item, TcxComponentCollectionNotification action) {
  if (FUpdateCount == 0) ReportItemChange(item, action);
}

void TcxComponentCollection::InsertItem(TcxComponentCollectionItem* item) {
  if (!item->InheritsFrom(FItemClass)) return;
  FItems.push_back(item);
  item->FCollection = this;
  item->FID = FNextID++;
  EmptyHook3(item, ccnAdded);
  Report(item, ccnAdded);
}

void TcxComponentCollection::RemoveItem(TcxComponentCollectionItem* item) {
  EmptyHook3(item, ccnExtracting);
  FItems.erase(std::remove(FItems.begin(), FItems.end(), item), FItems.end());
  item->FCollection = nullptr;
  EmptyHook3(item, ccnExtracted);
  Report(item, ccnExtracted);
}

void TcxComponentCollection::ClearItems() {
  if (FItems.empty()) return;
  LockUpdates();
  try {
    while (!FItems.empty()) Free(FItems.back());
  } catch (...) {
    UnlockUpdates(true);
    throw;
  }
  UnlockUpdates(true);
}

void TcxComponentCollection::Assign(TPersistent* source) {
  auto* other = ObjectAs<TcxComponentCollection>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  LockUpdates();
  try {
    ClearItems();
    for (int i = 0; i < other->ItemCount(); ++i) AppendNewItem()->Assign(other->ItemByIndex(i));
  } catch (...) {
    UnlockUpdates(true);
    throw;
  }
  UnlockUpdates(true);
}

const TClassInfo TcxComponentCollectionItem::ClassInfo{"TcxComponentCollectionItem", &TComponent::ClassInfo, nullptr};

void TcxComponentCollectionItem::BeforeDestruction() {
  TComponent::BeforeDestruction();
  // Leave while the whole object still exists, so the collection's hooks see it.
  MoveToCollection(nullptr);
}

TcxComponentCollectionItem::~TcxComponentCollectionItem() {
  if (FCollection) FCollection->RemoveItem(this);
}

int TcxComponentCollectionItem::IndexInCollection() const {
  if (!FCollection) return -1;
  const auto& items = FCollection->FItems;
  const auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TcxComponentCollectionItem::MoveToCollection(TcxComponentCollection* collection) {
  if (collection == FCollection) return;
  if (FCollection) FCollection->RemoveItem(this);
  if (collection) collection->InsertItem(this);
}

void TcxComponentCollectionItem::MoveToIndex(int index) {
  if (!FCollection) return;
  const int current = IndexInCollection();
  auto& items = FCollection->FItems;
  if (index < 0 || index >= static_cast<int>(items.size()))
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  if (index == current) return;
  items.erase(items.begin() + current);
  items.insert(items.begin() + index, this);
  SignalChanged(true);
}

void TcxComponentCollectionItem::SignalChanged(bool allItems) {
  if (IsDestroying() || !FCollection) return;
  FCollection->Report(allItems ? nullptr : this, ccnChanged);
}

TComponent* TcxComponentCollectionItem::GetParentComponent() const {
  if (FCollection) return FCollection->ParentComponent();
  return TComponent::GetParentComponent();
}

void TcxComponentCollectionItem::SetParentComponent(TComponent* parent) {
  MoveToCollection(parent ? CollectionOfParent(parent) : nullptr);
}
