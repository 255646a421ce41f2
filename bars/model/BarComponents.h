// The small model classes around the bar manager: object lists, the base
// component of items, groups and popup menus, and the persistent base of
// the manager's option objects.
#pragma once

#include "platform/Component.h"
#include "platform/List.h"
#include "platform/Persistent.h"

class TdxBarManager;

// An object list that never owns its objects: add-unique and range-checked
// access.
class TdxObjectList : public TObjectList {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TdxObjectList() : TObjectList(false) {}

  // Ignores null and objects already present.
  void AddUnique(TObject* object);
  // Clears `target`, gives it this list's capacity and copies the items in
  // order (add-unique when the target is a TdxObjectList).
  void AssignTo(TList* target) const;
  TObject* Last() const { return Count() ? Items(Count() - 1) : nullptr; }
  // Null outside 0..Count-1.
  TObject* ItemAt(int index) const { return index >= 0 && index < Count() ? Items(index) : nullptr; }
};

// A persistent part of a bar manager: the manager is its owner.
class TdxBarPersistent : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarPersistent(TdxBarManager* owner) : FOwner(owner) {}
  TdxBarManager* BarManager() const { return FOwner; }
  TPersistent* GetOwner() override;

private:
  TdxBarManager* FOwner;
};

// The base of items, groups and popup menus: a manager reference and the
// component lists that hold the component.
class TdxBarComponent : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarComponent(TComponent* AOwner);
  ~TdxBarComponent() override;

  TdxBarManager* BarManager() const { return FBarManager; }

protected:
  TdxBarManager* FBarManager = nullptr;  // set by the descendants
  TdxObjectList* FContainingLists;       // not owning
};

// A group of items and groups switched on or off together.
class TdxBarGroup : public TdxBarComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarComponent::TdxBarComponent;
};
