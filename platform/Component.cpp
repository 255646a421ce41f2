#include "platform/Component.h"

#include "platform/Exceptions.h"

#include <algorithm>

const TClassInfo TComponent::ClassInfo{"TComponent", &TPersistent::ClassInfo, [](TObject* owner) -> TObject* {
                                         return new TComponent(static_cast<TComponent*>(owner));
                                       }};

bool IsValidIdent(const AnsiString& name) {
  if (name.empty()) return false;
  auto alpha = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; };
  if (!alpha(name[0])) return false;
  return std::all_of(name.begin() + 1, name.end(), [&](char c) { return alpha(c) || (c >= '0' && c <= '9'); });
}

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->InsertComponent(this);
}

void TComponent::BeforeDestruction() {
  if (!IsDestroying()) Destroying();
  ClearWeakLinks();
}

TComponent::~TComponent() {
  if (!IsDestroying()) Destroying();
  ClearWeakLinks();
  // Last asked, first told. A Notification may withdraw other requests, so
  // the index is clamped after every call.
  for (int i = static_cast<int>(FFreeNotifies.size()) - 1; i >= 0; --i) {
    if (i >= static_cast<int>(FFreeNotifies.size())) {
      i = static_cast<int>(FFreeNotifies.size());
      continue;
    }
    FFreeNotifies[static_cast<size_t>(i)]->Notification(this, opRemove);
  }
  // An override that did not pass the notification on would otherwise keep a
  // pointer to this component in its own list.
  for (TComponent* other : std::vector<TComponent*>(FFreeNotifies)) other->RemoveNotification(this);
  FFreeNotifies.clear();
  DestroyComponents();
  if (FOwner) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int index) const {
  if (index < 0 || index >= ComponentCount())
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return FComponents[static_cast<size_t>(index)];
}

int TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  const auto& list = FOwner->FComponents;
  const auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TComponent::SetComponentIndex(int index) {
  if (!FOwner) return;
  auto& list = FOwner->FComponents;
  const int current = ComponentIndex();
  if (current < 0) return;
  index = std::clamp(index, 0, static_cast<int>(list.size()) - 1);
  if (index == current) return;
  list.erase(list.begin() + current);
  list.insert(list.begin() + index, this);
}

TComponent* TComponent::FindComponent(const AnsiString& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (SameText(c->FName, name)) return c;
  return nullptr;
}

void TComponent::SetName(const AnsiString& value) {
  if (FName == value) return;
  if (!value.empty() && !IsValidIdent(value)) throw EComponentError("'" + value + "' is not a valid component name");
  if (FOwner) FOwner->ValidateRename(this, FName, value);
  else ValidateRename(nullptr, FName, value);
  ChangeName(value);
}

void TComponent::ValidateRename(TComponent* component, const AnsiString& curName, const AnsiString& newName) {
  if (component && !newName.empty() && !SameText(curName, newName)) {
    TComponent* other = FindComponent(newName);
    if (other && other != component) throw EComponentError("A component named " + newName + " already exists");
  }
  if (FComponentState.Contains(csDesigning) && FOwner) FOwner->ValidateRename(component, curName, newName);
}

void TComponent::Insert(TComponent* component) {
  FComponents.push_back(component);
  component->FOwner = this;
}

void TComponent::Remove(TComponent* component) {
  component->FOwner = nullptr;
  FComponents.erase(std::remove(FComponents.begin(), FComponents.end(), component), FComponents.end());
}

void TComponent::InsertComponent(TComponent* component) {
  if (!component || component->FOwner == this) return;
  ValidateInsert(component);
  ValidateRename(component, AnsiString(), component->FName);
  // A component has one owner: moving it takes it away from the old one.
  if (component->FOwner) component->FOwner->RemoveComponent(component);
  Insert(component);
  if (FComponentState.Contains(csDesigning)) component->SetDesigning(true);
  Notification(component, opInsert);
}

void TComponent::RemoveComponent(TComponent* component) {
  if (!component || component->FOwner != this) return;
  Notification(component, opRemove);
  Remove(component);
}

void TComponent::DestroyComponents() {
  while (!FComponents.empty()) {
    TComponent* victim = FComponents.back();
    // Only components somebody listens to are announced; the rest leave quietly.
    if (victim->FComponentState.Contains(csFreeNotification) || FComponentState.Contains(csDesigning) ||
        FComponentState.Contains(csInline))
      RemoveComponent(victim);
    else
      Remove(victim);
    Free(victim);
  }
}

void TComponent::Destroying() {
  if (IsDestroying()) return;
  FComponentState.Include(csDestroying);
  for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::Notification(TComponent* component, TOperation operation) {
  if (operation == opRemove && component) RemoveFreeNotification(component);
  // Children may free siblings while they hear about it: clamp the index.
  for (int i = ComponentCount() - 1; i >= 0; --i) {
    if (i >= ComponentCount()) {
      i = ComponentCount();
      continue;
    }
    FComponents[static_cast<size_t>(i)]->Notification(component, operation);
  }
}

void TComponent::FreeNotification(TComponent* component) {
  if (!component || component == this) return;
  if (!FOwner || component->FOwner != FOwner) {
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), component) == FFreeNotifies.end()) {
      FFreeNotifies.push_back(component);
      component->FreeNotification(this);
    }
  }
  FComponentState.Include(csFreeNotification);
}

void TComponent::RemoveNotification(TComponent* component) {
  FFreeNotifies.erase(std::remove(FFreeNotifies.begin(), FFreeNotifies.end(), component), FFreeNotifies.end());
}

void TComponent::RemoveFreeNotification(TComponent* component) {
  if (!component) return;
  RemoveNotification(component);
  component->RemoveNotification(this);
}

void TComponent::BeginLoading() {
  FComponentState.Include(csLoading);
  FComponentState.Include(csReading);
}

void TComponent::Loaded() {
  FComponentState.Exclude(csLoading);
  FComponentState.Exclude(csReading);
}

void TComponent::SetDesigning(bool value, bool setChildren) {
  if (value) FComponentState.Include(csDesigning);
  else FComponentState.Exclude(csDesigning);
  if (setChildren)
    for (TComponent* c : FComponents) c->SetDesigning(value, true);
}

std::string TComponent::GetNamePath() { return FName; }

void TComponent::GetChildren(const TGetChildProc& Proc, TComponent* Root) {
  if (!Root) return;
  for (int i = 0; i < Root->ComponentCount(); ++i) {
    TComponent* c = Root->Components(i);
    TComponent* parent = c->HasParent() ? c->GetParentComponent() : nullptr;
    if (this == Root ? (parent == nullptr || parent == Root) : parent == this) Proc(c);
  }
}
