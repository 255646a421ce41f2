#include "editors/framework/EditRepository.h"

#include "platform/Filer.h"
#include "platform/Properties.h"

#include <algorithm>

const TClassInfo TcxEditRepositoryItem::ClassInfo{"TcxEditRepositoryItem", &TComponent::ClassInfo,
                                                  [](TObject* owner) -> TObject* {
                                                    return new TcxEditRepositoryItem(static_cast<TComponent*>(owner));
                                                  }};
const TClassInfo TcxEditRepository::ClassInfo{"TcxEditRepository", &TComponent::ClassInfo, [](TObject* owner) -> TObject* {
                                                return new TcxEditRepository(static_cast<TComponent*>(owner));
                                              }};

TcxEditRepositoryItem::TcxEditRepositoryItem(TComponent* AOwner) : TComponent(AOwner) {}

void TcxEditRepositoryItem::AfterConstruction() {
  TComponent::AfterConstruction();
  // The most derived class names the properties class.
  FProperties = static_cast<TcxCustomEditProperties*>(CreateObject(PropertiesClass(), this));
  FProperties->ChangeHandler = TNotifyEvent::Bind<&TcxEditRepositoryItem::NotifyPropertiesChanged>(this);
}

void TcxEditRepositoryItem::BeforeDestruction() {
  // Every listener forgets the item, the last first; none calls back.
  const std::vector<IcxEditRepositoryItemListener*> listeners = FListeners;
  FListeners.clear();
  for (auto it = listeners.rbegin(); it != listeners.rend(); ++it) (*it)->RepositoryItemRemoved(this);
  SetRepository(nullptr);
  TComponent::BeforeDestruction();
}

TcxEditRepositoryItem::~TcxEditRepositoryItem() {
  if (FRepository) FRepository->RemoveItem(this);
  if (FProperties) FProperties->ChangeHandler = TNotifyEvent();
  Free(FProperties);
}

void TcxEditRepositoryItem::SetRepository(TcxEditRepository* value) {
  if (value == FRepository) return;
  if (FRepository) FRepository->RemoveItem(this);
  FRepository = value;
  if (value) value->AddItem(this);
}

TComponent* TcxEditRepositoryItem::GetParentComponent() const { return FRepository; }

void TcxEditRepositoryItem::SetParentComponent(TComponent* parent) {
  if (ComponentState().Contains(csLoading)) return;
  SetRepository(ObjectAs<TcxEditRepository>(parent));
}

void TcxEditRepositoryItem::ReadState(TReader* Reader) {
  TComponent::ReadState(Reader);
  if (auto* repository = ObjectAs<TcxEditRepository>(Reader->Parent())) SetRepository(repository);
}

void TcxEditRepositoryItem::NotifyPropertiesChanged(TObject*) {
  const std::vector<IcxEditRepositoryItemListener*> listeners = FListeners;
  for (auto it = listeners.rbegin(); it != listeners.rend(); ++it) (*it)->RepositoryItemPropertiesChanged(this);
}

void TcxEditRepositoryItem::AddListener(IcxEditRepositoryItemListener* listener) {
  if (listener && std::find(FListeners.begin(), FListeners.end(), listener) == FListeners.end())
    FListeners.push_back(listener);
}

void TcxEditRepositoryItem::RemoveListener(IcxEditRepositoryItemListener* listener) {
  FListeners.erase(std::remove(FListeners.begin(), FListeners.end(), listener), FListeners.end());
}

AnsiString TcxEditRepositoryItem::DefaultItemName() const {
  const AnsiString repository = FRepository ? FRepository->Name() : AnsiString();
  const AnsiString className = ClassName();
  const AnsiString marker = "TcxEditRepository";
  const size_t at = className.find(marker);
  if (at == AnsiString::npos) return repository;
  return repository + className.substr(at + marker.size());
}

TcxEditRepositoryItem* TcxEditRepository::CreateItemEx(TClass itemClass, TComponent* owner) {
  auto* item = static_cast<TcxEditRepositoryItem*>(CreateObject(itemClass, owner));
  item->SetRepository(this);
  return item;
}

void TcxEditRepository::AddItem(TcxEditRepositoryItem* item) {
  if (item && std::find(FItems.begin(), FItems.end(), item) == FItems.end()) FItems.push_back(item);
}

void TcxEditRepository::RemoveItem(TcxEditRepositoryItem* item) {
  FItems.erase(std::remove(FItems.begin(), FItems.end(), item), FItems.end());
}

void TcxEditRepository::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  const std::vector<TcxEditRepositoryItem*> items = FItems;
  for (TcxEditRepositoryItem* item : items)
    if (item->Owner() == Root) Proc(item);
}

void TcxEditRepository::BeforeDestruction() {
  // The items go first, the last one first; each leaves the list itself.
  while (!FItems.empty()) {
    TcxEditRepositoryItem* item = FItems.back();
    FItems.pop_back();
    item->SetRepository(nullptr);
    Free(item);
  }
  TComponent::BeforeDestruction();
}

TcxEditRepository::~TcxEditRepository() = default;

// ---------------------------------------------------------------------------
// The form tables.

namespace {

const TPublishedRegistration itemRegistration(&TcxEditRepositoryItem::ClassInfo, {
    Property<&TcxEditRepositoryItem::Properties>("Properties"),
});
const TPublishedRegistration repositoryRegistration(&TcxEditRepository::ClassInfo, {});

}  // namespace
