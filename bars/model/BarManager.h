// The bar manager: one per form, owning the form's bars, items and
// categories, with its options, fonts, images and painter style.
#pragma once

#include "platform/Component.h"

class TWinControl;
class TdxBarBackgrounds;
class TdxBarComponent;
class TdxBarComponentList;
class TdxBarGroup;
class TdxBarImageOptions;
class TdxBarPopupMenuLinks;
class TdxBars;

// What a form designer answers for the manager's components; at run time
// there is none and the defaults hold.
class IdxBarDesigner {
public:
  virtual bool CanDeleteComponent(TComponent* component) = 0;
  virtual int SelectionStatus(TComponent* component) = 0;
  virtual bool IsComponentSelected(TComponent* component) = 0;
  virtual void SelectComponent(TComponent* component, int operation) = 0;

protected:
  ~IdxBarDesigner() = default;
};

class TdxBarManager : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarManager(TComponent* AOwner);
  ~TdxBarManager() override;

  bool IsDesigning() const { return ComponentState().Contains(csDesigning); }
  bool IsLoading() const { return ComponentState().Contains(csLoading); }
  // Whether the user is customizing the bars at run time.
  bool IsCustomizing() const { return FIsCustomizing; }
  // The windowed control the manager serves: its owner when that is one.
  TWinControl* OwnerControl() const;
  TdxBars* Bars() const { return FBars; }
  TdxBarComponentList* Groups() const { return FGroups; }
  TdxBarPopupMenuLinks* PopupMenuLinks() const { return FPopupMenuLinks; }
  TdxBarBackgrounds* Backgrounds() const { return FBackgrounds; }
  TdxBarImageOptions* ImageOptions() const { return FImageOptions; }
  IdxBarDesigner* Designer() const { return FDesigner; }
  void SetDesigner(IdxBarDesigner* designer) { FDesigner = designer; }
  // The manager of the form that hosts this manager's form, or null.
  TdxBarManager* ParentManager() const { return FParentManager; }
  void SetParentManager(TdxBarManager* value) { FParentManager = value; }

  // Manager-wide changes run between these (nestable); the last unlock lays
  // out docks and bars again.
  void LockUpdate();
  void UnlockUpdate();
  int LockUpdateCount() const { return FLockUpdate; }
  // Restyles every bar window (the painter, backgrounds and fonts).
  void ApplyStyle();
  int ApplyStyleCount() const { return FApplyStyleCount; }

  // Adds a group (its parent is the manager).
  void AddGroup(TdxBarGroup* group);

protected:
  void Notification(TComponent* component, TOperation operation) override;

  bool FIsCustomizing = false;
  TdxBars* FBars;
  TdxBarComponentList* FGroups;
  TdxBarPopupMenuLinks* FPopupMenuLinks;
  TdxBarBackgrounds* FBackgrounds;
  TdxBarImageOptions* FImageOptions;
  IdxBarDesigner* FDesigner = nullptr;
  TdxBarManager* FParentManager = nullptr;
  int FLockUpdate = 0;
  int FApplyStyleCount = 0;
};
