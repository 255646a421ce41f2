// Components: named objects that own other components, free them with
// themselves, and tell interested components when one of them goes away.
#pragma once

#include "platform/Persistent.h"
#include "platform/Set.h"
#include "platform/Text.h"

#include <cstdint>
#include <functional>
#include <vector>

enum class TComponentStateItem {
  csLoading, csReading, csWriting, csDestroying, csDesigning, csAncestor, csUpdating, csFixups,
  csFreeNotification, csInline, csDesignInstance
};
using enum TComponentStateItem;
using TComponentState = TSet<TComponentStateItem, 16>;

enum class TOperation { opInsert, opRemove };
using enum TOperation;

// The base of everything placed on a form. The owner frees its components
// when it is freed, last inserted first. A component that asked another for
// a free notification hears Notification(other, opRemove) before the other
// is gone; components with the same owner hear about each other through the
// owner without asking.
//
// Free components through Free()/FreeAndNil() or their owner: those mark
// csDestroying before any destructor runs. (A plain delete works too, but
// then descendants' destructors run before the mark is set.) Once an owner's
// destructor has reached this class, its own Notification overrides are gone:
// an owner that must act when its components leave frees them in its own
// destructor (DestroyComponents).
class TComponent;
class TReader;

// Called by GetChildren for each child a component writes.
using TGetChildProc = std::function<void(TComponent* Child)>;

class TComponent : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TComponent(TComponent* AOwner);
  ~TComponent() override;
  void BeforeDestruction() override;

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int index) const;
  // Position among the owner's components, -1 without an owner.
  int ComponentIndex() const;
  void SetComponentIndex(int index);
  // The owned component named `name` (case-insensitive), or null.
  TComponent* FindComponent(const AnsiString& name) const;

  const AnsiString& Name() const { return FName; }
  // Raises EComponentError for a name that is not an identifier or that
  // another component of the owner already has.
  virtual void SetName(const AnsiString& value);
  intptr_t Tag() const { return FTag; }
  void SetTag(intptr_t value) { FTag = value; }

  TComponentState ComponentState() const { return FComponentState; }
  bool IsDestroying() const { return FComponentState.Contains(csDestroying); }

  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);
  // Frees every owned component, last first.
  void DestroyComponents();
  // Marks this component and what it owns as being destroyed.
  void Destroying();

  // Asks `component` to call this one's Notification(component, opRemove)
  // before it is freed (mutual: either side hears of the other's end).
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // Form loading: BeginLoading marks csLoading (and csReading) on this
  // component; Loaded clears it once every property and child is read.
  void BeginLoading();
  virtual void Loaded();
  // Design mode for this component and (by default) everything it owns.
  void SetDesigning(bool value, bool setChildren = true);

  // The component a child sits in for streaming (the form for a control).
  virtual TComponent* GetParentComponent() const { return nullptr; }
  virtual bool HasParent() const { return false; }
  virtual void SetParentComponent(TComponent* parent) { (void)parent; }

  // Streaming hooks. GetChildren hands `Proc` the components this one writes
  // as its children in a form, in order: by default those of `Root` whose
  // parent component it is (for the root itself: those without one).
  // ReadState reads this component's properties and children
  // (Reader->ReadData(this)); a class that must act around its reading
  // overrides it and calls the inherited one.
  virtual void GetChildren(const TGetChildProc& Proc, TComponent* Root);
  virtual void ReadState(TReader* Reader);

  TPersistent* GetOwner() override { return FOwner; }
  std::string GetNamePath() override;

protected:
  virtual void Notification(TComponent* component, TOperation operation);
  virtual void ValidateRename(TComponent* component, const AnsiString& curName, const AnsiString& newName);
  virtual void ValidateInsert(TComponent* component) { (void)component; }
  void ChangeName(const AnsiString& newName) { FName = newName; }
  void IncludeState(TComponentStateItem item) { FComponentState.Include(item); }
  void ExcludeState(TComponentStateItem item) { FComponentState.Exclude(item); }

private:
  void Insert(TComponent* component);
  void Remove(TComponent* component);
  void RemoveNotification(TComponent* component);

  TComponent* FOwner = nullptr;
  AnsiString FName;
  intptr_t FTag = 0;
  std::vector<TComponent*> FComponents;     // owned, in insertion order
  std::vector<TComponent*> FFreeNotifies;   // not owned; told before this one goes
  TComponentState FComponentState;
};

// True for a valid component name: a letter or "_" followed by letters,
// digits and "_" (ASCII).
bool IsValidIdent(const AnsiString& name);
