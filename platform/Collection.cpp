#include "platform/Collection.h"

#include "platform/Exceptions.h"

#include <algorithm>

const TClassInfo TCollectionItem::ClassInfo{"TCollectionItem", &TPersistent::ClassInfo, [](TObject* owner) -> TObject* {
                                              return new TCollectionItem(static_cast<TCollection*>(owner));
                                            }};
const TClassInfo TCollection::ClassInfo{"TCollection", &TPersistent::ClassInfo, nullptr};
const TClassInfo TOwnedCollection::ClassInfo{"TOwnedCollection", &TCollection::ClassInfo, nullptr};

TCollectionItem::TCollectionItem(TCollection* Collection) {
  if (Collection) Collection->InsertItem(this, false);
}

void TCollectionItem::BeforeDestruction() { SetCollection(nullptr); }

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* value) {
  if (FCollection == value) return;
  if (FCollection) FCollection->RemoveItem(this);
  if (value) value->InsertItem(this, true);
}

int TCollectionItem::Index() const {
  if (!FCollection) return -1;
  const auto& items = FCollection->FItems;
  const auto it = std::find(items.begin(), items.end(), this);
  return it == items.end() ? -1 : static_cast<int>(it - items.begin());
}

void TCollectionItem::SetIndex(int value) {
  const int current = Index();
  if (current < 0 || current == value) return;
  auto& items = FCollection->FItems;
  if (value < 0 || value >= static_cast<int>(items.size()))
    throw EListError("List index out of bounds (" + std::to_string(value) + ")");
  items.erase(items.begin() + current);
  items.insert(items.begin() + value, this);
  Changed(true);
}

TPersistent* TCollectionItem::GetOwner() { return FCollection; }

std::string TCollectionItem::GetNamePath() {
  if (!FCollection) return ClassName();
  return FCollection->GetNamePath() + "[" + std::to_string(Index()) + "]";
}

void TCollectionItem::Changed(bool allItems) {
  if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(allItems ? nullptr : this);
}

TCollection::TCollection(TClass itemClass) : FItemClass(itemClass) {}

TCollection::~TCollection() {
  // No change reports while the items go.
  FUpdateCount = 1;
  Clear();
}

void TCollection::InsertItem(TCollectionItem* item, bool checkClass) {
  if (checkClass && !item->InheritsFrom(FItemClass))
    throw EInvalidOperation(std::string("Cannot add a ") + item->ClassName() + " to a collection of " + FItemClass->Name);
  FItems.push_back(item);
  item->FCollection = this;
  item->FID = FNextID++;
  Notify(item, cnAdded);
  Changed();
}

void TCollection::RemoveItem(TCollectionItem* item) {
  Notify(item, cnExtracting);
  FItems.erase(std::remove(FItems.begin(), FItems.end(), item), FItems.end());
  item->FCollection = nullptr;
  Changed();
}

TCollectionItem* TCollection::Add() {
  auto* item = static_cast<TCollectionItem*>(CreateObject(FItemClass, nullptr));
  try {
    item->SetCollection(this);
  } catch (...) {
    Free(item);
    throw;
  }
  return item;
}

TCollectionItem* TCollection::Insert(int index) {
  TCollectionItem* item = Add();
  item->SetIndex(std::clamp(index, 0, Count() - 1));
  return item;
}

void TCollection::Delete(int index) {
  TCollectionItem* item = Items(index);
  Notify(item, cnDeleting);
  Free(item);
}

void TCollection::Clear() {
  if (FItems.empty()) return;
  BeginUpdate();
  try {
    while (!FItems.empty()) Free(FItems.back());
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

TCollectionItem* TCollection::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return FItems[static_cast<size_t>(index)];
}

void TCollection::SetItems(int index, TCollectionItem* value) { Items(index)->Assign(value); }

TCollectionItem* TCollection::FindItemID(int id) const {
  for (TCollectionItem* item : FItems)
    if (item->FID == id) return item;
  return nullptr;
}

void TCollection::EndUpdate() {
  if (FUpdateCount > 0) --FUpdateCount;
  Changed();
}

void TCollection::Changed() {
  if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::Assign(TPersistent* source) {
  if (auto* other = ObjectAs<TCollection>(source)) {
    if (other == this) return;
    BeginUpdate();
    try {
      Clear();
      for (TCollectionItem* item : other->FItems) Add()->Assign(item);
    } catch (...) {
      EndUpdate();
      throw;
    }
    EndUpdate();
    return;
  }
  TPersistent::Assign(source);
}

std::string TCollection::GetNamePath() {
  TPersistent* owner = GetOwner();
  if (!owner) return ClassName();
  const std::string path = owner->GetNamePath();
  return path.empty() ? ClassName() : path;
}
