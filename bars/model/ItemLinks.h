// Item links: the placements of items on bars and menus, their collections
// and the lists those derive for the bar windows, and personalized menus
// (each collection keeps its links in usage order, counts uses and can show
// only the recently used ones).
#pragma once

#include "bars/model/BarItem.h"
#include "platform/Collection.h"

class TCustomdxBarControl;
class TdxBarItemLinks;

enum class TdxBarItemPosition { ipBeginsNewRow, ipBeginsNewColumn, ipContinuesRow };
using enum TdxBarItemPosition;
enum class TdxBarButtonGroupPosition { bgpNone, bgpStart, bgpMember };
using enum TdxBarButtonGroupPosition;
enum class TdxBarUserDefine { udCaption, udGlyph, udPaintStyle, udWidth };
using enum TdxBarUserDefine;
using TdxBarUserDefines = TSet<TdxBarUserDefine, 8>;
enum class TdxBarItemViewLevel { ivlLargeIconWithText, ivlSmallIconWithText, ivlSmallIcon, ivlControlOnly };
using enum TdxBarItemViewLevel;
using TdxBarItemViewLevels = TSet<TdxBarItemViewLevel, 8>;
enum class TdxBarItemOption { ioShowDescriptions, ioShowShortCuts, ioSize };
using enum TdxBarItemOption;
using TdxBarItemOptionValues = TSet<TdxBarItemOption, 8>;
enum class TdxBarMenuItemSize { misNormal, misLarge };
using enum TdxBarMenuItemSize;

// What owns a links collection (a bar, a popup menu, a sub-item, a button's
// drop-down): it makes the bar window that shows the links.
class IdxBarLinksOwner {
public:
  virtual TCustomdxBarControl* CreateBarControl() = 0;
  virtual TObject* LinksOwnerObject() = 0;
  // Whether the item may join the owner's links; else the message says why.
  virtual bool CanContainItem(TdxBarItem* item, AnsiString& message) = 0;
  // The bar window's kind the links show in: true for a menu.
  virtual bool IsMenuOwner() = 0;

protected:
  ~IdxBarLinksOwner() = default;
};

// One placement of an item with its own settings and usage data.
class TdxBarItemLink : public TCollectionItem, public IdxBarSelectableItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarItemLink(TCollection* collection);
  ~TdxBarItemLink() override;
  void BeforeDestruction() override;
  void Assign(TPersistent* source) override;

  TdxBarItemLinks* Links() const;
  TdxBarManager* OwningManager() const;
  TCustomdxBarControl* HostBarControl() const;

  TdxBarItem* Item() const;
  // Null frees the link; an item the owner refuses raises with the
  // owner's message and leaves the link without item.
  void SetItem(TdxBarItem* value);
  // Takes the item named by loading (the collection's Loaded does it).
  void ResolveLoadedItem();
  void SetLoadedItemName(const AnsiString& name) { FLoadedItemName = name; }

  bool BeginGroup() const;
  void SetBeginGroup(bool value);
  bool StoredBeginGroup() const { return FBeginGroup; }
  TdxBarButtonGroupPosition ButtonGroup() const { return FButtonGroup; }
  void SetButtonGroup(TdxBarButtonGroupPosition value);
  bool MostRecentlyUsed() const { return FMostRecentlyUsed; }
  void SetMostRecentlyUsed(bool value);
  TdxBarItemPosition Position() const { return FPosition; }
  void SetPosition(TdxBarItemPosition value);
  const AnsiString& UserCaption() const { return FUserCaption; }
  void SetUserCaption(const AnsiString& value);
  TdxBarUserDefines UserDefine() const { return FUserDefine; }
  void SetUserDefine(TdxBarUserDefines value);
  TBitmap* UserGlyph() const { return FUserGlyph; }
  void SetUserGlyph(TBitmap* value);
  TdxBarPaintStyle UserPaintStyle() const { return FUserPaintStyle; }
  void SetUserPaintStyle(TdxBarPaintStyle value);
  int UserWidth() const { return FUserWidth; }
  void SetUserWidth(int value);
  TdxBarItemViewLevels ViewLevels() const { return FViewLevels; }
  void SetViewLevels(TdxBarItemViewLevels value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);
  TObject* Data() const { return FData; }
  void SetData(TObject* value) { FData = value; }

  AnsiString DisplayCaption() const;
  TBitmap* DisplayGlyph() const;
  TdxBarPaintStyle DisplayPaintStyle() const;
  int DisplayWidth() const;

  int ShownIndex() const;
  int DisplayableIndex() const;
  int UsageOrderIndex() const;
  TdxBarItemLink* NextShownLink() const;
  bool IsDisplayable() const;

  TdxBarItemControl* Control() const { return FControl; }
  void SetControl(TdxBarItemControl* control) { FControl = control; }
  const RECT& ItemRect() const { return FItemRect; }
  void StoreItemBounds(const RECT& r);
  POINT ScreenToItemPoint(POINT p) const;
  void CreateItemControl();
  void FreeItemControl();
  void RecreateItemControl();
  virtual void RefreshControl();
  // Whether the key with the shift state is the accelerator of the
  // display caption.
  bool AccelMatches(WORD key, TShiftState shift) const;
  void PassBeginGroupOn();

  // --- Usage of personalized menus ---------------------------------------
  int UseCount() const { return FUseCount; }
  void SetUseCount(int value) { FUseCount = value; }
  // To the front of the usage order (with `count` the use is counted).
  void MoveToFront(bool count);
  // A click or a choice: counted or not, and passed on to the link that
  // opened this menu.
  void RecordUse(bool count);
  void MakeLeastRecent();
  void ApplyMostRecentlyUsed();
  void CopyUsage(TdxBarItemLink* from);
  // The link a generated link stands for, or itself.
  TdxBarItemLink* SourceLink() const { return FSourceLink ? FSourceLink : const_cast<TdxBarItemLink*>(this); }
  void SetSourceLink(TdxBarItemLink* value) { FSourceLink = value; }
  // The bar whose merge made this link (a TdxBar), null for the link's own.
  TObject* MergedBy() const { return FMergedBy; }
  void SetMergedBy(TObject* bar) { FMergedBy = bar; }
  void KeepRecentIndex();
  void RestoreRecentIndex();
  void SetLoadedState(int useCount, int recentIndex) { FLoadedUseCount = useCount; FLoadedRecentIndex = recentIndex; }
  void SetLoadedVisible(bool value) { FLoadedVisible = value; }
  void SetStoredMostRecentlyUsed(bool value) { FMostRecentlyUsed = value; }

  // IdxBarSelectableItem
  bool CanBeDeleted(bool withItem) override;
  void DeleteSelected(IdxBarSelectableItem*& self, bool withItem) override;
  void CommandApplied(int command) override;
  TdxBarManager* OwnerManager() override { return OwningManager(); }
  void AddDependents(TdxObjectList* list) override;
  void NextSelectable(IdxBarSelectableItem*& next) override { next = NextShownLink(); }
  TPersistent* SelectableParent() override;
  int SelectionStatus() override;
  unsigned SupportedCommands() override;
  void Repaint() override;
  bool IsComplex() override { return false; }
  bool IsSelected() override;
  void Select(int operation) override;
  bool EnterAction() override;
  void SelectionChanged() override;
  TObject* Instance() override { return this; }

private:
  friend class TdxBarItemLinks;
  void ReportChange() { Changed(false); }
  // Takes the initial use count and the last usage place.
  void Joined();
  void DetachFromItem();
  void UserGlyphChanged(TObject* Sender);

  TdxBarItem* FItem = nullptr;
  bool FBeginGroup = false;
  TdxBarButtonGroupPosition FButtonGroup = bgpNone;
  bool FMostRecentlyUsed = true;
  TdxBarItemPosition FPosition = ipBeginsNewRow;
  AnsiString FUserCaption;
  TdxBarUserDefines FUserDefine;
  TBitmap* FUserGlyph = nullptr;
  TdxBarPaintStyle FUserPaintStyle = psStandard;
  int FUserWidth = 0;
  TdxBarItemViewLevels FViewLevels{ivlLargeIconWithText, ivlSmallIconWithText, ivlSmallIcon, ivlControlOnly};
  bool FVisible = true;
  TObject* FData = nullptr;
  TdxBarItemControl* FControl = nullptr;
  RECT FItemRect{0, 0, 0, 0};
  int FUseCount = 0;
  TdxBarItemLink* FSourceLink = nullptr;
  TObject* FMergedBy = nullptr;
  AnsiString FLoadedItemName;
  bool FLoadedVisible = true;
  int FLoadedUseCount = 0;
  int FLoadedRecentIndex = -1;
  int FKeptRecentIndex = -1;
};

// The menu options of a links collection; an unassigned value reads as the
// collection's default (or, in a submenu, the menu's that opened it).
class TdxBarItemOptions : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarItemOptions(TdxBarItemLinks* owner) : FOwner(owner) {}
  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() override;

  TdxBarItemOptionValues AssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TdxBarItemOptionValues value) { FAssignedValues = value; }
  bool ShowDescriptions() const;
  void SetShowDescriptions(bool value);
  bool ShowShortCuts() const;
  void SetShowShortCuts(bool value);
  TdxBarMenuItemSize Size() const;
  void SetSize(TdxBarMenuItemSize value);
  // The stored value of an option (0/1 or the size), whether assigned or not.
  int StoredValue(TdxBarItemOption option) const;

private:
  TdxBarItemLinks* FOwner;
  TdxBarItemOptionValues FAssignedValues;
  bool FShowDescriptions = false;
  bool FShowShortCuts = true;
  TdxBarMenuItemSize FSize = misNormal;
};

// The links of one owner and the lists the bar windows show of them.
class TdxBarItemLinks : public TCollection {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TdxBarItemLinks(TdxBarManager* manager, IdxBarLinksOwner* owner);
  ~TdxBarItemLinks() override;
  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() override;

  TdxBarManager* BarManager() const { return FBarManager; }
  IdxBarLinksOwner* Owner() const { return FOwner; }
  TObject* OwnerObject() const { return FOwner ? FOwner->LinksOwnerObject() : nullptr; }
  virtual bool IsMenuLinks() const;
  virtual bool CanContainItem(TdxBarItem* item, AnsiString& message);

  int UsableLinkCount() const { return static_cast<int>(FUsable.size()); }
  TdxBarItemLink* GetUsableLink(int i) const { return FUsable[static_cast<size_t>(i)]; }
  int DisplayableLinkCount() const { return static_cast<int>(FDisplayable.size()); }
  TdxBarItemLink* GetDisplayableLink(int i) const { return FDisplayable[static_cast<size_t>(i)]; }
  int ShownLinkCount() const { return static_cast<int>(FShown.size()); }
  TdxBarItemLink* GetShownLink(int i) const { return FShown[static_cast<size_t>(i)]; }
  int IndexOfDisplayable(const TdxBarItemLink* link) const;
  int IndexOfShown(const TdxBarItemLink* link) const;
  int UsageOrderCount() const { return static_cast<int>(FUsageOrder.size()); }
  TdxBarItemLink* UsageOrderAt(int i) const { return FUsageOrder[static_cast<size_t>(i)]; }
  int IndexOfUsage(const TdxBarItemLink* link) const;
  TdxBarItemLink* LinkAt(int i) const;
  int IndexOfOwnLink(const TdxBarItemLink* link) const;
  bool HasItemControl(TdxBarItemControl* control) const;
  int IndexOfItemName(const AnsiString& name) const;

  TdxBarItemLink* AppendLink() { return static_cast<TdxBarItemLink*>(Add()); }
  TdxBarItemLink* InsertLink(int index) { return static_cast<TdxBarItemLink*>(Insert(index)); }
  TdxBarItemLink* AddItem(TdxBarItem* item);
  TdxBarItemLink* AddLinkWithNewItem(TClass itemClass, TComponent* owner);
  void MoveLink(int from, int to);

  TCustomdxBarControl* BarControl() const { return FBarControl; }
  TCustomdxBarControl* AttachBarControl();
  void FreeBarControl();
  // A bar window that goes by itself lets its links forget it.
  void ForgetBarControl(TCustomdxBarControl* control) {
    if (FBarControl == control) FBarControl = nullptr;
  }
  // The links of the bar window that opened this one's window, or null.
  TdxBarItemLinks* ParentLinks() const;

  TdxBarItemOptions* ItemOptions() const { return FItemOptions; }
  virtual bool DefaultOptionValue(TdxBarItemOption option) const;
  int GetOptionValue(TdxBarItemOption option) const;
  bool ShowDescriptionsInEffect() const { return GetOptionValue(ioShowDescriptions) != 0; }
  bool ShowShortCutsInEffect() const { return GetOptionValue(ioShowShortCuts) != 0; }
  TdxBarMenuItemSize ItemSizeInEffect() const { return static_cast<TdxBarMenuItemSize>(GetOptionValue(ioSize)); }

  // False for 0; else each usable link's item in turn, after every item
  // updated from its action.
  bool ExecuteShortCut(TShortCut shortCut);
  void UpdateItemActions();

  // The first link after `start` (cyclically) whose accelerator is the key.
  virtual TdxBarItemLink* NextLinkForKey(WORD key, TShiftState shift, TdxBarItemLink* start) = 0;
  TdxBarItemLink* FindLinkForKey(WORD key, TShiftState shift, TdxBarItemLink* start);
  int FittingLinkCount() const;
  TdxBarItemLink* FirstSelectableLink() const;
  TdxBarItemLink* LastSelectableLink() const;
  TdxBarItemLink* NextSelectableLink(TdxBarItemLink* link, bool any) const;
  TdxBarItemLink* PrevSelectableLink(TdxBarItemLink* link, bool any) const;
  void ClearItemBounds();

  void Loaded();
  // Rebuilds the usable, displayable and shown lists.
  void RebuildLists();
  bool RecentTrackingOn() const;
  bool UseRecentItems() const { return FUseRecentItems; }
  void SetUseRecentItems(bool value);
  int RecentLinkCount() const;
  int ShownLimit() const { return FShownLimit; }
  void SetShownLimit(int n);
  void RestoreShownLimit();
  void ApplyLoadedState(bool applyVisible);
  void PackUsageOrder();
  bool IsInternal() const { return FInternal; }
  void SetInternal(bool value) { FInternal = value; }
  bool IsAssigning() const { return FAssigning; }

  TNotifyEvent OnChange;

protected:
  void Update(TCollectionItem* item) override;
  void Notify(TCollectionItem* item, TCollectionNotification action) override;

private:
  friend class TdxBarItemLink;
  void MoveInUsage(TdxBarItemLink* link, int position);

  TdxBarManager* FBarManager;
  IdxBarLinksOwner* FOwner;
  std::vector<TdxBarItemLink*> FUsable;
  std::vector<TdxBarItemLink*> FDisplayable;
  std::vector<TdxBarItemLink*> FShown;
  std::vector<TdxBarItemLink*> FUsageOrder;
  int FShownLimit = -1;
  int FPreviousShownLimit = -1;
  bool FUseRecentItems = true;
  bool FInternal = false;
  bool FAssigning = false;
  bool FDestroying = false;
  TdxBarItemOptions* FItemOptions;
  TCustomdxBarControl* FBarControl = nullptr;
};

// The links of a toolbar: the keyboard walks the selectable shown links
// while the bar's window is visible.
class TdxBarControlItemLinks : public TdxBarItemLinks {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarItemLinks::TdxBarItemLinks;
  TdxBarItemLink* NextLinkForKey(WORD key, TShiftState shift, TdxBarItemLink* start) override;
};

// The links of a sub-item or a popup menu: always menu links; the keyboard
// walks the displayable links.
class TdxBarSubMenuControlItemLinks : public TdxBarItemLinks {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarItemLinks::TdxBarItemLinks;
  bool IsMenuLinks() const override { return true; }
  TdxBarItemLink* NextLinkForKey(WORD key, TShiftState shift, TdxBarItemLink* start) override;
};
