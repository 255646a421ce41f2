// Sub-menu, container and list items.
#pragma once

#include <vector>

#include "bars/model/BarItem.h"
#include "bars/model/ItemLinks.h"
#include "platform/StringList.h"

class TdxBarButton;

// Whether `links`, or the links of any item in them at any depth, are
// `target` (each collection looked at once).
bool dxBarLinksReach(TdxBarItemLinks* links, TdxBarItemLinks* target);
// Whether the item is linked in `links` or below them at any depth.
bool dxBarLinksContainItem(TdxBarItemLinks* links, TdxBarItem* item);

// The base of items that open links of their own.
class TCustomdxBarSubItem : public TdxBarItem, public IdxBarLinksOwner {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  // Shows its caption.
  explicit TCustomdxBarSubItem(TComponent* AOwner);
  ~TCustomdxBarSubItem() override;
  TdxBarItemLinks* ItemLinks() const { return FItemLinks; }
  TdxBarItemLinks* GetItemLinks() const override { return FItemLinks; }
  // An item the sub-menu takes: not one refusing menus, and not one whose
  // own links hold this sub-item anywhere below ("You cannot create
  // recursive menus").
  bool CheckRecursion(TdxBarItem* item, AnsiString& message);

  // IdxBarLinksOwner. FIXME: the submenu window joins with the bar windows.
  TCustomdxBarControl* CreateBarControl() override { return nullptr; }
  TObject* LinksOwnerObject() override { return this; }
  bool CanContainItem(TdxBarItem* item, AnsiString& message) override { return CheckRecursion(item, message); }
  bool IsMenuOwner() override { return true; }
  // A sub-menu is opened, not clicked.
  bool HandlesShortCut() const override { return false; }
  int BarSize() const { return FBarSize; }
  // Negative values become 0.
  void SetBarSize(int value) { FBarSize = value > 0 ? value : 0; }

private:
  TdxBarItemLinks* FItemLinks;
  int FBarSize = 0;
};

// A sub-menu item.
class TdxBarSubItem : public TCustomdxBarSubItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomdxBarSubItem::TCustomdxBarSubItem;
  bool IsSameKindAs(TdxBarItem* item) const override { return dynamic_cast<TdxBarSubItem*>(item) != nullptr; }
};

// An item that a menu expands into links it generates.
class TdxBarContainerItem : public TCustomdxBarSubItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomdxBarSubItem::TCustomdxBarSubItem;
  // The generated links stand in the container's own place.
  virtual bool ReplacesOwnLink() const { return true; }
  // OnGetData is set, or some link shows an item (links with no items yet count).
  bool HasContent() const override { return OnGetData.Assigned() || HasVisibleLinks(); }
  bool IsSameKindAs(TdxBarItem* item) const override { return dynamic_cast<TdxBarContainerItem*>(item) != nullptr; }
  bool HasVisibleLinks() const;
  // The generated items are rebuilt at the next expansion.
  void MarkLinksStale() { FNeedsClearing = true; }
  bool LinksStale() const { return FNeedsClearing; }
  // Clears the mark; descendants free what they generated.
  virtual void ClearGeneratedItems() { FNeedsClearing = false; }

  TNotifyEvent OnGetData;

protected:
  bool FNeedsClearing = false;
};

// One generated line of a list item.
struct TdxBarListLine {
  TdxBarButton* Button;
  AnsiString Caption;  // the accelerator prefix and the line's caption
  AnsiString Hint;
  bool BeginGroup;
};

// A list of text lines that a menu shows as generated buttons; "-" lines
// break groups.
class TdxBarListItem : public TdxBarContainerItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarListItem(TComponent* AOwner);
  ~TdxBarListItem() override;

  TStringList* Items() const { return FItems; }
  int ItemIndex() const { return FItemIndex; }
  void SetItemIndex(int value) { FItemIndex = value; }
  // ItemIndex counted among the lines that are not "-"; -1 outside.
  int DataIndex() const;
  // The line of that count; -1 when no line has it.
  void SetDataIndex(int value);
  bool ShowNumbers() const { return FShowNumbers; }
  void SetShowNumbers(bool value) { FShowNumbers = value; }
  bool ShowCheck() const { return FShowCheck; }
  void SetShowCheck(bool value) { FShowCheck = value; }
  // OnGetData is set or there is a line.
  bool HasContent() const override;

  // The accelerator prefix of the n-th generated line (from 0): "&1 " to
  // "&9 ", then "&A " to "&Z "; none after that.
  static AnsiString LinePrefix(int n);
  virtual AnsiString LineCaption(int index) const { return FItems->Strings(index); }
  virtual AnsiString LineHint(const AnsiString& text) const { (void)text; return AnsiString(); }

  // The generated buttons of the lines, made on the first expansion
  // (owned by this item's owner) and reused until cleared; a stale list is
  // cleared first.
  std::vector<TdxBarListLine> Expand();
  // Frees the generated buttons when the first has no links left (none is
  // shown any more), and clears the mark.
  void ClearGeneratedItems() override;
  // Frees them whatever links they have.
  void FreeGeneratedItems();
  int GeneratedCount() const { return static_cast<int>(FGenerated.size()); }
  // Runs only when no link of the item has an active control.
  void DoClick() override;

protected:
  // A generated button freed by its owner leaves the generated list.
  void Notification(TComponent* component, TOperation operation) override;

private:
  void LineClick(TObject* sender);
  TStringList* FItems;
  int FItemIndex = -1;
  bool FShowNumbers = true;
  bool FShowCheck = false;
  std::vector<TdxBarButton*> FGenerated;
};
