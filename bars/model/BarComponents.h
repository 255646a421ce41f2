// The small model classes around the bar manager: object and component
// lists, the base component of items, groups and popup menus with its
// design-selection interface, groups, popup-menu links that make a bar
// popup menu any control's context menu, the background bitmaps and the
// manager's image options.
#pragma once

#include "platform/Collection.h"
#include "platform/Component.h"
#include "platform/Control.h"
#include "platform/Event.h"
#include "platform/List.h"
#include "platform/Menus.h"
#include "platform/Persistent.h"

#include <vector>

class TBitmap;
class TChangeLink;
class TCustomImageList;
class TcxFreeNotificator;
class TdxBarManager;
class TdxBarPopupMenu;

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

// What a component list reports: 0 added, 1 changed (by the components
// themselves; null for the whole list), 3 extracted, 4 deleted.
enum TdxComponentListChangeKind { clcAdded = 0, clcChanged = 1, clcExtracted = 3, clcDeleted = 4 };

class TdxComponentList;
using TdxComponentListNotifyEvent =
    TEvent<void(TdxComponentList* Sender, TComponent* AComponent, TListNotification Action)>;
using TdxComponentListChangeEvent =
    TEvent<void(TdxComponentList* Sender, TComponent* AComponent, TdxComponentListChangeKind Kind)>;

// A list of components that does not own them and drops a component that is
// freed. It takes only components of its item class (others are taken out
// again at once, silently) and reports every change unless updates are
// locked.
class TdxComponentList : public TList {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TdxComponentList();
  ~TdxComponentList() override;

  int Add(TComponent* component) { return TList::Add(component); }
  int Remove(TComponent* component) { return TList::Remove(component); }
  TComponent* Extract(TComponent* component) { return static_cast<TComponent*>(TList::Extract(component)); }
  int IndexOf(const TComponent* component) const { return TList::IndexOf(component); }
  TComponent* Items(int index) const { return static_cast<TComponent*>(TList::Items(index)); }

  void BeginUpdate() { ++FUpdateCount; }
  // With `report`, a change of kind 1 with null once the count is back.
  void EndUpdate(bool report = true);
  int UpdateCount() const { return FUpdateCount; }
  virtual TClass ItemClass() const { return &TComponent::ClassInfo; }
  // Reports a change unless updates are locked.
  void Changed(TComponent* component, TdxComponentListChangeKind kind);

  TdxComponentListNotifyEvent OnComponentListNotify;
  TdxComponentListChangeEvent OnComponentListChanged;

protected:
  void Notify(void* item, TListNotification action) override;
  // The class library's handling, the notify event, then the change report.
  virtual void ComponentNotify(TComponent* component, TListNotification action);

private:
  class TNotifier;
  TNotifier* FNotifier;  // told when a member is freed
  int FUpdateCount = 0;
  bool FRejecting = false;  // taking out a component of another class
};

// A component list of bar components: each member knows the lists that
// contain it.
class TdxBarComponentList : public TdxComponentList {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  ~TdxBarComponentList() override;
  TClass ItemClass() const override;

protected:
  void ComponentNotify(TComponent* component, TListNotification action) override;
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

// What the design controller asks of a selectable object.
class IdxBarSelectableItem {
public:
  virtual bool CanBeDeleted(bool withItem) = 0;
  // Frees the object when it may be deleted and clears the caller's
  // reference to it first.
  virtual void DeleteSelected(IdxBarSelectableItem*& self, bool withItem) = 0;
  virtual void CommandApplied(int command) = 0;
  virtual TdxBarManager* OwnerManager() = 0;
  virtual void AddDependents(TdxObjectList* list) = 0;
  virtual void NextSelectable(IdxBarSelectableItem*& next) = 0;
  virtual TPersistent* SelectableParent() = 0;
  virtual int SelectionStatus() = 0;
  virtual unsigned SupportedCommands() = 0;
  virtual void Repaint() = 0;
  virtual bool IsComplex() = 0;
  virtual bool IsSelected() = 0;
  virtual void Select(int operation) = 0;
  virtual bool EnterAction() = 0;
  virtual void SelectionChanged() = 0;
  virtual TObject* Instance() = 0;

protected:
  ~IdxBarSelectableItem() = default;
};

// The base of items, groups and popup menus: a manager reference and the
// component lists that hold the component. Its selectable-item operations
// each call a virtual operation descendants override.
class TdxBarComponent : public TComponent, public IdxBarSelectableItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarComponent(TComponent* AOwner);
  ~TdxBarComponent() override;

  TdxBarManager* BarManager() const { return FBarManager; }
  TdxObjectList* ContainingLists() const { return FContainingLists; }

  // Unless destroying, every containing list reports the component (null
  // with `wholeList`) as changed.
  virtual void NotifyListsChanged(bool wholeList);
  virtual bool GetEnabled() = 0;
  virtual void SetEnabled(bool value) = 0;
  virtual void SetVisible(int value) = 0;

  // IdxBarSelectableItem, through the virtual operations below.
  bool CanBeDeleted(bool withItem) override { return DoCanBeDeleted(withItem); }
  void DeleteSelected(IdxBarSelectableItem*& self, bool withItem) override { DoDeleteSelected(self, withItem); }
  void CommandApplied(int command) override { DoCommandApplied(command); }
  TdxBarManager* OwnerManager() override { return DoOwnerManager(); }
  void AddDependents(TdxObjectList* list) override { DoAddDependents(list); }
  void NextSelectable(IdxBarSelectableItem*& next) override { DoNextSelectable(next); }
  TPersistent* SelectableParent() override { return DoSelectableParent(); }
  int SelectionStatus() override { return DoSelectionStatus(); }
  unsigned SupportedCommands() override { return DoSupportedCommands(); }
  void Repaint() override { DoRepaint(); }
  bool IsComplex() override { return DoIsComplex(); }
  bool IsSelected() override { return DoIsSelected(); }
  void Select(int operation) override { DoSelect(operation); }
  bool EnterAction() override { return DoEnterAction(); }
  void SelectionChanged() override { DoSelectionChanged(); }
  TObject* Instance() override { return DoInstance(); }

protected:
  virtual bool DoCanBeDeleted(bool withItem);
  virtual void DoDeleteSelected(IdxBarSelectableItem*& self, bool withItem);
  virtual void DoCommandApplied(int command) { (void)command; }
  virtual TdxBarManager* DoOwnerManager() { return FBarManager; }
  virtual void DoAddDependents(TdxObjectList* list);
  virtual void DoNextSelectable(IdxBarSelectableItem*& next) { next = nullptr; }
  virtual TPersistent* DoSelectableParent() { return Owner(); }
  virtual int DoSelectionStatus();
  virtual unsigned DoSupportedCommands() { return 2; }
  virtual void DoRepaint() {}
  virtual bool DoIsComplex() { return false; }
  virtual bool DoIsSelected();
  virtual void DoSelect(int operation);
  virtual void DoSelectionChanged() {}
  virtual bool DoEnterAction() { return false; }
  virtual TObject* DoInstance() { return this; }
  // Reserved; nothing overrides it.
  virtual void ReservedHook() {}

  TdxBarManager* FBarManager = nullptr;  // set by the descendants
  TdxObjectList* FContainingLists;       // not owning

private:
  friend class TdxBarComponentList;
};

// Whether items are shown: never, only while customizing, or always.
enum class TdxBarItemVisible { ivNever, ivInCustomizing, ivAlways };
using enum TdxBarItemVisible;

// A group of items and groups switched on or off together.
class TdxBarGroup : public TdxBarComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarGroup(TComponent* AOwner);
  ~TdxBarGroup() override;

  // Ignores null and members present; a group that would contain itself
  // raises "You cannot create recursive groups".
  void Add(TdxBarComponent* component);
  int IndexOf(TdxBarComponent* component) const;
  void Remove(TdxBarComponent* component);
  int MemberCount() const { return FItems->Count(); }
  TdxBarComponent* MemberAt(int index) const { return static_cast<TdxBarComponent*>(FItems->Items(index)); }
  AnsiString MemberName(int index) const { return MemberAt(index)->Name(); }
  // Whether the component is this group or lies in it at any depth.
  bool Contains(TdxBarComponent* component) const;

  bool Enabled() { return GetEnabled(); }
  bool GetEnabled() override { return FEnabled; }
  void SetEnabled(bool value) override;
  TdxBarItemVisible Visible() const { return FVisible; }
  void SetVisible(int value) override;
  void SetVisible(TdxBarItemVisible value) { SetVisible(static_cast<int>(value)); }

  // The "Items" form property: member names kept while loading, resolved
  // among the manager's owner's components at Loaded (missing names are
  // skipped).
  void ReadItemNames(const std::vector<AnsiString>& names);
  std::vector<AnsiString> ItemNames() const;
  void Loaded() override;
  void SetName(const AnsiString& value) override;
  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return true; }
  void SetParentComponent(TComponent* parent) override;

private:
  void ResolveNames(const std::vector<AnsiString>& names);
  TdxBarComponentList* FItems;
  std::vector<AnsiString> FLoadedNames;
  bool FEnabled = true;
  TdxBarItemVisible FVisible = ivAlways;
};

class TdxBarPopupMenuLink;
using TdxBarPopupMenuLinkActionEvent = TEvent<void(TdxBarPopupMenuLink* Sender, int& X, int& Y,
                                                   bool ClickedByMouse, bool& AllowPopup)>;

// Makes a bar popup menu a control's context menu: the link puts its window
// procedure in front of the control's and answers WM_CONTEXTMENU.
class TdxBarPopupMenuLink : public TCollectionItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarPopupMenuLink(TCollection* collection);
  ~TdxBarPopupMenuLink() override;
  void Assign(TPersistent* source) override;

  TdxBarManager* BarManager() const;
  TWinControl* Control() const { return FControl; }
  // A control outside the manager's owner is taken as none.
  void SetControl(TWinControl* value);
  TdxBarPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TdxBarPopupMenu* value);
  bool ProcessChildren() const { return FProcessChildren; }
  void SetProcessChildren(bool value) { FProcessChildren = value; }
  TdxBarPopupMenuLinkActionEvent OnAction;

  // Asks OnAction and opens the menu at the client point; answers whether
  // it was allowed. (-1, -1) is the keyboard's context menu.
  bool ShowPopupAt(POINT position);
  bool RunShortCut(TShortCut shortCut);

  class THook;

private:
  friend void FreeDeadPopupMenuLinkHooks();
  void HookedWndProc(TMessage& message, THook* hook);
  void ContextPopup(TObject* Sender, POINT MousePos, bool& Handled);
  TWinControl* FControl = nullptr;
  TdxBarPopupMenu* FPopupMenu = nullptr;
  bool FProcessChildren = true;
  THook* FHook = nullptr;
  TContextPopupEvent FSavedContextPopup;
};

// Frees the window-procedure hooks of popup-menu links whose link and
// control are both gone.
void FreeDeadPopupMenuLinkHooks();

// A manager's popup-menu links.
class TdxBarPopupMenuLinks : public TOwnedCollection {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarPopupMenuLinks(TdxBarManager* manager);
  TdxBarManager* BarManager() const { return FBarManager; }
  TdxBarPopupMenuLink* Add() { return static_cast<TdxBarPopupMenuLink*>(TCollection::Add()); }
  TdxBarPopupMenuLink* Items(int index) const { return static_cast<TdxBarPopupMenuLink*>(TCollection::Items(index)); }
  // The links of the control, then those processing children of a control
  // that contains it; the first that runs the shortcut ends the search,
  // which goes on in the parent manager's links.
  bool ExecuteShortCut(TControl* control, TShortCut shortCut);

private:
  TdxBarManager* FBarManager;
};

// The background bitmaps of bars and submenus.
class TdxBarBackgrounds : public TdxBarPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarBackgrounds(TdxBarManager* owner);
  ~TdxBarBackgrounds() override;
  void Assign(TPersistent* source) override;

  TBitmap* Bar() const { return FBar; }
  void SetBar(TBitmap* value);
  TBitmap* SubMenu() const { return FSubMenu; }
  void SetSubMenu(TBitmap* value);

private:
  void BarChanged(TObject* Sender);
  TBitmap* FBar;
  TBitmap* FSubMenu;
};

// The manager's image lists and glyph options.
class TdxBarImageOptions : public TdxBarPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarImageOptions(TdxBarManager* owner);
  ~TdxBarImageOptions() override;
  void Assign(TPersistent* source) override;

  bool CacheGlyphs = true;
  bool SmoothGlyphs = false;
  bool StretchGlyphs = true;

  TCustomImageList* DisabledImages() const { return FDisabledImages; }
  void SetDisabledImages(TCustomImageList* value);
  TCustomImageList* DisabledLargeImages() const { return FDisabledLargeImages; }
  void SetDisabledLargeImages(TCustomImageList* value);
  TCustomImageList* HotImages() const { return FHotImages; }
  void SetHotImages(TCustomImageList* value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* value);
  TCustomImageList* LargeImages() const { return FLargeImages; }
  void SetLargeImages(TCustomImageList* value);
  TColor ImageListBkColor() const { return FImageListBkColor; }
  void SetImageListBkColor(TColor value);
  bool LargeIcons() const { return FLargeIcons; }
  void SetLargeIcons(bool value);
  bool MakeDisabledImagesFaded() const { return FMakeDisabledImagesFaded; }
  void SetMakeDisabledImagesFaded(bool value);
  bool UseLargeImagesForLargeIcons() const { return FUseLargeImagesForLargeIcons; }
  void SetUseLargeImagesForLargeIcons(bool value);
  bool UseLeftBottomPixelAsTransparent() const { return FUseLeftBottomPixelAsTransparent; }
  void SetUseLeftBottomPixelAsTransparent(bool value);

  // 16, or with large icons the large list's width (when used) or 32.
  int GlyphSize() const { return FGlyphSize; }
  void UpdateGlyphSize();
  void ImageListFreed(TComponent* component);
  bool AnyImageListLoading() const;

  // The change links of the five lists (DisabledImages, DisabledLargeImages,
  // HotImages, Images, LargeImages); the manager connects their events.
  TChangeLink* ChangeLink(int index) const { return FChangeLinks[index]; }
  TNotifyEvent OnOptionsChanged;
  TNotifyEvent OnLargeIconsChanged;

private:
  void SetList(TCustomImageList*& field, int link, TCustomImageList* value);
  TcxFreeNotificator* FNotificator;
  TChangeLink* FChangeLinks[5];
  TCustomImageList* FDisabledImages = nullptr;
  TCustomImageList* FDisabledLargeImages = nullptr;
  TCustomImageList* FHotImages = nullptr;
  TCustomImageList* FImages = nullptr;
  TCustomImageList* FLargeImages = nullptr;
  TColor FImageListBkColor = static_cast<TColor>(0xFF00FF);
  bool FLargeIcons = false;
  bool FMakeDisabledImagesFaded = false;
  bool FUseLargeImagesForLargeIcons = false;
  bool FUseLeftBottomPixelAsTransparent = true;
  int FGlyphSize = 16;
};
