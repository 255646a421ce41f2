#include "platform/List.h"

#include "platform/Exceptions.h"

#include <algorithm>
#include <string>

const TClassInfo TList::ClassInfo{"TList", &TObject::ClassInfo, [](TObject*) -> TObject* { return new TList; }};
const TClassInfo TObjectList::ClassInfo{"TObjectList", &TList::ClassInfo,
                                        [](TObject*) -> TObject* { return new TObjectList; }};

// Notify no longer reaches a descendant here: descendants that own their
// items empty the list in their own destructor.
TList::~TList() = default;

void TList::CheckIndex(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

int TList::Add(void* item) {
  FItems.push_back(item);
  if (item) Notify(item, lnAdded);
  return Count() - 1;
}

void TList::Insert(int index, void* item) {
  if (index < 0 || index > Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  FItems.insert(FItems.begin() + index, item);
  if (item) Notify(item, lnAdded);
}

void TList::Delete(int index) {
  CheckIndex(index);
  void* item = FItems[static_cast<size_t>(index)];
  FItems.erase(FItems.begin() + index);
  if (item) Notify(item, lnDeleted);
}

int TList::Remove(void* item) {
  const int index = IndexOf(item);
  if (index >= 0) Delete(index);
  return index;
}

void* TList::Extract(void* item) {
  const int index = IndexOf(item);
  if (index < 0) return nullptr;
  FItems.erase(FItems.begin() + index);
  Notify(item, lnExtracted);
  return item;
}

void TList::Clear() {
  // Items leave one by one from the end, so a notification that looks at the
  // list sees it consistent.
  while (!FItems.empty()) Delete(Count() - 1);
  FItems.shrink_to_fit();
}

int TList::IndexOf(const void* item) const {
  const auto it = std::find(FItems.begin(), FItems.end(), item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TList::Exchange(int index1, int index2) {
  CheckIndex(index1);
  CheckIndex(index2);
  std::swap(FItems[static_cast<size_t>(index1)], FItems[static_cast<size_t>(index2)]);
}

void TList::Move(int curIndex, int newIndex) {
  if (curIndex == newIndex) return;
  CheckIndex(curIndex);
  CheckIndex(newIndex);
  void* item = FItems[static_cast<size_t>(curIndex)];
  FItems.erase(FItems.begin() + curIndex);
  FItems.insert(FItems.begin() + newIndex, item);
}

void TList::Pack() { FItems.erase(std::remove(FItems.begin(), FItems.end(), nullptr), FItems.end()); }

void TList::Sort(TListSortCompare compare) {
  std::stable_sort(FItems.begin(), FItems.end(), [compare](void* a, void* b) { return compare(a, b) < 0; });
}

void TList::SetCount(int count) {
  if (count < 0) throw EListError("List count out of bounds (" + std::to_string(count) + ")");
  while (Count() > count) Delete(Count() - 1);
  FItems.resize(static_cast<size_t>(count), nullptr);
}

void TList::SetCapacity(int capacity) {
  if (capacity < Count()) throw EListError("List capacity out of bounds (" + std::to_string(capacity) + ")");
  FItems.reserve(static_cast<size_t>(capacity));
}

void* TList::Items(int index) const {
  CheckIndex(index);
  return FItems[static_cast<size_t>(index)];
}

void TList::SetItems(int index, void* item) {
  CheckIndex(index);
  void* old = FItems[static_cast<size_t>(index)];
  if (old == item) return;
  FItems[static_cast<size_t>(index)] = item;
  if (old) Notify(old, lnDeleted);
  if (item) Notify(item, lnAdded);
}

int TObjectList::FindInstanceOf(TClass cls, bool exact, int start) const {
  for (int i = std::max(start, 0); i < Count(); ++i) {
    TObject* o = Items(i);
    if (o && (exact ? o->ClassType() == cls : o->InheritsFrom(cls))) return i;
  }
  return -1;
}

TObjectList::~TObjectList() {
  // Index order, as the owner expects when objects refer to earlier ones.
  std::vector<TObject*> victims;
  if (OwnsObjects())
    for (int i = 0; i < Count(); ++i) victims.push_back(Items(i));
  SetOwnsObjects(false);
  Clear();
  for (TObject* o : victims) Free(o);
}

void TObjectList::Notify(void* item, TListNotification action) {
  if (FOwnsObjects && action == lnDeleted) Free(static_cast<TObject*>(item));
  TList::Notify(item, action);
}
