// The edit repository: a component keeping named properties objects (items)
// that many edits share. An edit that uses an item listens to it: it hears
// each change of the item's properties and the item's end.
#pragma once

#include "editors/framework/EditProperties.h"
#include "platform/Component.h"

#include <vector>

class TcxEditRepository;
class TcxEditRepositoryItem;

// What an edit that uses a repository item hears from it.
class IcxEditRepositoryItemListener {
public:
  virtual ~IcxEditRepositoryItemListener() = default;
  virtual void RepositoryItemPropertiesChanged(TcxEditRepositoryItem* item) = 0;
  // The item is going: forget it without calling back.
  virtual void RepositoryItemRemoved(TcxEditRepositoryItem* item) = 0;
};

class TcxEditRepositoryItem : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxEditRepositoryItem(TComponent* AOwner);
  ~TcxEditRepositoryItem() override;

  TcxCustomEditProperties* Properties() const { return FProperties; }
  TcxEditRepository* Repository() const { return FRepository; }
  void SetRepository(TcxEditRepository* value);
  // Each listener, from the last to the first.
  virtual void NotifyPropertiesChanged(TObject* sender);
  virtual void AddListener(IcxEditRepositoryItemListener* listener);
  virtual void RemoveListener(IcxEditRepositoryItemListener* listener);
  int ListenerCount() const { return static_cast<int>(FListeners.size()); }
  // The class of the properties the item keeps.
  virtual TClass PropertiesClass() const { return &TcxCustomEditProperties::ClassInfo; }
  // The repository's name, followed by what the class name has after
  // "TcxEditRepository" (an item class "TcxEditRepositoryTextItem" in
  // repository "Repo": "RepoTextItem").
  virtual AnsiString DefaultItemName() const;

  TNotifyEvent PropertiesEvents;

  // Form streaming: the item sits in its repository (a parent only when it
  // has one); after its state is read it joins the repository it was read
  // into.
  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return FRepository != nullptr; }
  void SetParentComponent(TComponent* parent) override;
  void ReadState(TReader* Reader) override;

protected:
  void AfterConstruction() override;
  void BeforeDestruction() override;

private:
  std::vector<IcxEditRepositoryItemListener*> FListeners;  // not owned
  TcxCustomEditProperties* FProperties = nullptr;          // owned
  TcxEditRepository* FRepository = nullptr;
};

class TcxEditRepository : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxEditRepository(TComponent* AOwner) : TComponent(AOwner) {}
  ~TcxEditRepository() override;

  TcxEditRepositoryItem* CreateItem(TClass itemClass) { return CreateItemEx(itemClass, this); }
  TcxEditRepositoryItem* CreateItemEx(TClass itemClass, TComponent* owner);
  void AddItem(TcxEditRepositoryItem* item);
  void RemoveItem(TcxEditRepositoryItem* item);
  int Count() const { return static_cast<int>(FItems.size()); }
  TcxEditRepositoryItem* ItemAt(int index) const { return FItems.at(static_cast<size_t>(index)); }
  // A form writes as the repository's children its items that the form
  // owns, in list order.
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;

protected:
  void BeforeDestruction() override;

private:
  std::vector<TcxEditRepositoryItem*> FItems;  // in insertion order
};
