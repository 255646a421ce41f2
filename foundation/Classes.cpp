#include "foundation/Classes.h"

#include "platform/Exceptions.h"

#include <algorithm>
#include <cstring>

// ---------------------------------------------------------------------------
// Bases

const TClassInfo TcxInterfacedPersistent::ClassInfo{"TcxInterfacedPersistent", &TPersistent::ClassInfo,
                                                    [](TObject* owner) -> TObject* {
                                                      return new TcxInterfacedPersistent(
                                                          dynamic_cast<TPersistent*>(owner));
                                                    }};

const TClassInfo TcxOwnedPersistent::ClassInfo{"TcxOwnedPersistent", &TPersistent::ClassInfo,
                                               [](TObject* owner) -> TObject* {
                                                 return new TcxOwnedPersistent(dynamic_cast<TPersistent*>(owner));
                                               }};

const TClassInfo TcxComponent::ClassInfo{"TcxComponent", &TComponent::ClassInfo, [](TObject* owner) -> TObject* {
                                           return new TcxComponent(static_cast<TComponent*>(owner));
                                         }};

void TcxComponent::BeforeDestruction() {
  if (!IsDestroying()) Destroying();
  // Handlers running while descendants tear down must already see the
  // component as gone.
  ClearObjectLinks(this);
  TComponent::BeforeDestruction();
}

TcxComponent::~TcxComponent() { ClearObjectLinks(this); }

void TcxComponent::Loaded() {
  TComponent::Loaded();
  UpdateLinkedComponents();
}

void TcxComponent::UpdateLinkedComponents() {
  if (!ComponentState().Contains(csDesigning) || IsDestroying() || !Owner()) return;
  TList list;
  CollectLinkedComponents(&list);
  for (int k = 0; k < 3; ++k) FLinkedComponents[k] = k < list.Count() ? static_cast<TComponent*>(list.Items(k)) : nullptr;
}

const TClassInfo TcxObjectList::ClassInfo{"TcxObjectList", &TObjectList::ClassInfo,
                                          [](TObject*) -> TObject* { return new TcxObjectList; }};

TcxObjectList::~TcxObjectList() { Clear(); }

void TcxObjectList::Clear() {
  // Freed in index order while still listed, then the list is emptied (the
  // plain object list would free them one by one as they leave).
  const bool owns = OwnsObjects();
  if (owns)
    for (int i = 0; i < Count(); ++i) Free(Items(i));
  SetOwnsObjects(false);
  TObjectList::Clear();
  SetOwnsObjects(owns);
}

// ---------------------------------------------------------------------------
// Multicast event

const TClassInfo TcxEventHandlerCollection::ClassInfo{"TcxEventHandlerCollection", &TObject::ClassInfo,
                                                      [](TObject*) -> TObject* { return new TcxEventHandlerCollection; }};

void TcxEventHandlerCollection::Add(const TcxEventHandler& handler) {
  if (handler) FHandlers.push_back(handler);
}

void TcxEventHandlerCollection::Remove(const TcxEventHandler& handler) {
  const auto it = std::find_if(FHandlers.begin(), FHandlers.end(),
                               [&](const TcxEventHandler& h) { return SameMethod(h, handler); });
  if (it != FHandlers.end()) FHandlers.erase(it);
}

void TcxEventHandlerCollection::InvokeAll(TObject* sender, const void* eventArgs) const {
  const std::vector<TcxEventHandler> handlers(FHandlers);
  for (const TcxEventHandler& h : handlers) h(sender, eventArgs);
}

// ---------------------------------------------------------------------------
// Class-pair registry

const TClassInfo TcxRegisteredClassListItemData::ClassInfo{"TcxRegisteredClassListItemData", &TObject::ClassInfo,
                                                           nullptr};
const TClassInfo TcxRegisteredClassList::ClassInfo{"TcxRegisteredClassList", &TObject::ClassInfo,
                                                   [](TObject*) -> TObject* { return new TcxRegisteredClassList; }};

TcxRegisteredClassList::~TcxRegisteredClassList() { Clear(); }

void TcxRegisteredClassList::Clear() {
  for (int i = 0; i < FItems.Count(); ++i) delete PairAt(i);
  FItems.Clear();
}

bool TcxRegisteredClassList::FindPairIndex(TClass itemClass, int& index) const {
  for (int i = FItems.Count() - 1; i >= 0; --i) {
    const TClass pairClass = PairAt(i)->ItemClass;
    if (TObject::ClassInheritsFrom(itemClass, pairClass)) {
      index = i;
      return true;
    }
    if (TObject::ClassInheritsFrom(pairClass, itemClass)) index = i;
  }
  return false;
}

void TcxRegisteredClassList::AddPair(TClass itemClass, TClass registeredClass) {
  int index = -1;
  auto* pair = new TcxRegisteredClassListItemData(itemClass, registeredClass);
  try {
    if (FindPairIndex(itemClass, index)) FItems.Insert(index + 1, pair);
    else if (index < 0) FItems.Add(pair);
    else FItems.Insert(index, pair);
  } catch (...) {
    delete pair;
    throw;
  }
}

void TcxRegisteredClassList::RemovePair(TClass itemClass, TClass registeredClass) {
  for (int i = FItems.Count() - 1; i >= 0; --i) {
    TcxRegisteredClassListItemData* pair = PairAt(i);
    if (pair->ItemClass == itemClass && pair->RegisteredClass == registeredClass) {
      FItems.Delete(i);
      delete pair;
    }
  }
}

TClass TcxRegisteredClassList::LookupRegisteredClass(TClass itemClass) const {
  int index = -1;
  return FindPairIndex(itemClass, index) ? PairAt(index)->RegisteredClass : nullptr;
}

// ---------------------------------------------------------------------------
// Classes with descriptions

const TClassInfo TcxRegisteredClassesStringList::ClassInfo{"TcxRegisteredClassesStringList", &TStringList::ClassInfo,
                                                           nullptr};
const TClassInfo TcxRegisteredClasses::ClassInfo{"TcxRegisteredClasses", &TObject::ClassInfo,
                                                 [](TObject*) -> TObject* { return new TcxRegisteredClasses; }};

TcxRegisteredClasses::TcxRegisteredClasses(bool registerForStreaming) : FRegisterForStreaming(registerForStreaming) {}

TcxRegisteredClasses::~TcxRegisteredClasses() { Clear(); }

// The class references are stored in the list's object slots; they are
// metadata, never objects to free.
static TObject* ClassAsObject(TClass cls) { return reinterpret_cast<TObject*>(const_cast<TClassInfo*>(cls)); }

TClass TcxRegisteredClasses::ClassAt(int index) const {
  return reinterpret_cast<TClass>(FItems.GetObject(index));
}

void TcxRegisteredClasses::EnrolClass(TClass cls, const AnsiString& description) {
  if (IndexOfClass(cls) >= 0) return;
  FItems.AddObject(description, ClassAsObject(cls));
  if (FSorted) SortEntries();
  if (FRegisterForStreaming) RegisterStreamableClass(cls);
}

void TcxRegisteredClasses::WithdrawClass(TClass cls) {
  const int index = IndexOfClass(cls);
  if (index >= 0) FItems.Delete(index);
}

void TcxRegisteredClasses::Clear() { FItems.Clear(); }

AnsiString TcxRegisteredClasses::DescriptionAt(int index) const {
  const AnsiString s = FItems.Get(index);
  const size_t bar = s.find('|');
  return bar == AnsiString::npos ? s : s.substr(0, bar);
}

int TcxRegisteredClasses::IndexOfClass(TClass cls) const { return FItems.IndexOfObject(ClassAsObject(cls)); }

void TcxRegisteredClasses::SetSortedFlag(bool value) {
  if (FSorted == value) return;
  FSorted = value;
  if (FSorted) SortEntries();
}

int TcxRegisteredClasses::CompareEntries(int i, int j) const {
  return AnsiCompareText(DescriptionAt(i), DescriptionAt(j));
}

int TcxRegisteredClasses::SortCompare(TStringList* list, int i, int j) {
  return static_cast<TcxRegisteredClassesStringList*>(list)->Registry()->CompareEntries(i, j);
}

void TcxRegisteredClasses::SortEntries() { FItems.CustomSort(&SortCompare); }

// ---------------------------------------------------------------------------
// Streamable classes

namespace {
std::vector<TClass>& StreamableClasses() {
  static std::vector<TClass> classes;
  return classes;
}
}  // namespace

void RegisterStreamableClass(TClass cls) {
  auto& classes = StreamableClasses();
  if (cls && std::find(classes.begin(), classes.end(), cls) == classes.end()) classes.push_back(cls);
}

void UnregisterStreamableClass(TClass cls) {
  auto& classes = StreamableClasses();
  classes.erase(std::remove(classes.begin(), classes.end(), cls), classes.end());
}

TClass FindStreamableClass(const AnsiString& className) {
  for (TClass cls : StreamableClasses())
    if (SameText(cls->Name, className)) return cls;
  return nullptr;
}

// ---------------------------------------------------------------------------
// Weak object links

const TClassInfo TcxObjectLink::ClassInfo{"TcxObjectLink", &TObject::ClassInfo, nullptr};
const TClassInfo TcxObjectLinkController::ClassInfo{"TcxObjectLinkController", &TObject::ClassInfo, nullptr};

namespace {
TcxObjectLinkController* LinkController = nullptr;
int AttachedLinkCount = 0;
}  // namespace

TcxObjectLink* AttachObjectLink(TObject* object) {
  if (!object) return nullptr;
  if (!LinkController) LinkController = new TcxObjectLinkController;
  auto* link = new TcxObjectLink(object);
  LinkController->Links.Add(link);
  ++AttachedLinkCount;
  return link;
}

void DetachObjectLink(TcxObjectLink* link) {
  if (!link) return;
  // A cleared link already left the controller's list.
  if (link->Ref && LinkController) LinkController->Links.Remove(link);
  delete link;
  if (AttachedLinkCount > 0 && --AttachedLinkCount == 0) {
    delete LinkController;
    LinkController = nullptr;
  }
}

void ClearObjectLinks(TObject* object) {
  if (!LinkController) return;
  TList& links = LinkController->Links;
  for (int i = links.Count() - 1; i >= 0; --i) {
    auto* link = static_cast<TcxObjectLink*>(links.Items(i));
    if (link->Ref == object) {
      link->Ref = nullptr;
      links.Delete(i);
    }
  }
}

int AttachedObjectLinkCount() { return AttachedLinkCount; }
bool ObjectLinkControllerExists() { return LinkController != nullptr; }

// ---------------------------------------------------------------------------
// Free notificator

const TClassInfo TcxFreeNotificator::ClassInfo{"TcxFreeNotificator", &TComponent::ClassInfo,
                                               [](TObject* owner) -> TObject* {
                                                 return new TcxFreeNotificator(static_cast<TComponent*>(owner));
                                               }};

void TcxFreeNotificator::WatchFreeOf(TComponent* component) {
  if (component) component->FreeNotification(this);
}

void TcxFreeNotificator::UnwatchFreeOf(TComponent* component) {
  if (component) component->RemoveFreeNotification(this);
}

void TcxFreeNotificator::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove) FireEvent(OnFreeNotification, component);
}

// ---------------------------------------------------------------------------
// Shared routines

AnsiString ReadLocaleString(LCID locale, LCTYPE item, const AnsiString& defaultText) {
  char buffer[256];
  const int length = GetLocaleInfoA(locale, item, buffer, sizeof buffer);
  if (length <= 0) return defaultText;
  return AnsiString(buffer, static_cast<size_t>(length - 1));
}

int HalfSumFloor(int a, int b) {
  const long long sum = static_cast<long long>(a) + b;
  return static_cast<int>(sum > 0 ? sum / 2 : (sum - 1) / 2);
}

void ZeroFill(void* block, size_t length) {
  if (length) std::memset(block, 0, length);
}

void MoveBytes(const void* source, void* destination, size_t count) {
  if (count) std::memmove(destination, source, count);
}

namespace {
bool IsNameChar(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// `text` with everything but ASCII letters, digits and "_" taken out; a
// double-byte character goes whole, so its trail byte cannot pass as a letter.
AnsiString NameCharsOnly(const AnsiString& text) {
  AnsiString core;
  for (int i = 1; i <= static_cast<int>(text.size());) {
    const int n = std::max(1, CharByteCount(text, i));
    if (n == 1 && IsNameChar(static_cast<unsigned char>(text[static_cast<size_t>(i - 1)])))
      core += text[static_cast<size_t>(i - 1)];
    i += n;
  }
  return core;
}

bool NameIsFree(TComponent* owner, TComponent* component, const AnsiString& name) {
  if (!owner) return true;
  for (int i = 0; i < owner->ComponentCount(); ++i) {
    TComponent* other = owner->Components(i);
    if (other != component && SameText(other->Name(), name)) return false;
  }
  return true;
}
}  // namespace

AnsiString GenerateUniqueName(TComponent* owner, TComponent* prefixComponent, TComponent* component,
                              const AnsiString& classNamePrefix, const AnsiString& baseName) {
  AnsiString core = NameCharsOnly(baseName);
  if (core.empty() || (core[0] >= '0' && core[0] <= '9')) {
    AnsiString className = component ? component->ClassName() : "";
    if (!classNamePrefix.empty() && className.size() >= classNamePrefix.size() &&
        SameText(className.substr(0, classNamePrefix.size()), classNamePrefix))
      className.erase(0, classNamePrefix.size());
    else if (!className.empty() && className[0] == 'T')
      className.erase(0, 1);
    core = className + core;
  }
  const AnsiString stem = prefixComponent ? prefixComponent->Name() + core : core;
  for (int n = baseName.empty() ? 1 : 0; n < 2147483647; ++n) {
    const AnsiString candidate = n > 0 ? stem + IntToStr(n) : stem;
    if (NameIsFree(owner, component, candidate)) return candidate;
  }
  throw EComponentError("No free component name for " + stem);
}

// ---------------------------------------------------------------------------
// Unit

void cxClassesInit() {}

void cxClassesDone() {
  // Links still attached at shut-down belong to objects that outlived the
  // program's loop; their holders never detach them now.
  delete LinkController;
  LinkController = nullptr;
  AttachedLinkCount = 0;
  StreamableClasses().clear();
}
