#include "bars/model/SubItems.h"

#include <algorithm>

#include "bars/model/BarClassFactory.h"
#include "bars/model/BarStrings.h"
#include "bars/model/ItemKinds.h"
#include "foundation/Classes.h"

const TClassInfo TCustomdxBarSubItem::ClassInfo{"TCustomdxBarSubItem", &TdxBarItem::ClassInfo,
                                                &dxBarMakeComponent<TCustomdxBarSubItem>};
const TClassInfo TdxBarSubItem::ClassInfo{"TdxBarSubItem", &TCustomdxBarSubItem::ClassInfo,
                                          &dxBarMakeComponent<TdxBarSubItem>};
const TClassInfo TdxBarContainerItem::ClassInfo{"TdxBarContainerItem", &TCustomdxBarSubItem::ClassInfo,
                                                &dxBarMakeComponent<TdxBarContainerItem>};
const TClassInfo TdxBarListItem::ClassInfo{"TdxBarListItem", &TdxBarContainerItem::ClassInfo,
                                           &dxBarMakeComponent<TdxBarListItem>};

namespace {

bool LinksReach(TdxBarItemLinks* links, TdxBarItemLinks* target, std::vector<TdxBarItemLinks*>& seen) {
  if (!links) return false;
  if (links == target) return true;
  if (std::find(seen.begin(), seen.end(), links) != seen.end()) return false;
  seen.push_back(links);
  for (int i = 0; i < links->Count(); ++i)
    if (TdxBarItem* item = links->LinkAt(i)->Item())
      if (LinksReach(item->GetItemLinks(), target, seen)) return true;
  return false;
}

bool LinksHold(TdxBarItemLinks* links, TdxBarItem* target, std::vector<TdxBarItemLinks*>& seen) {
  if (!links || std::find(seen.begin(), seen.end(), links) != seen.end()) return false;
  seen.push_back(links);
  for (int i = 0; i < links->Count(); ++i)
    if (TdxBarItem* item = links->LinkAt(i)->Item())
      if (item == target || LinksHold(item->GetItemLinks(), target, seen)) return true;
  return false;
}

}  // namespace

bool dxBarLinksContainItem(TdxBarItemLinks* links, TdxBarItem* item) {
  std::vector<TdxBarItemLinks*> seen;
  return LinksHold(links, item, seen);
}

bool dxBarLinksReach(TdxBarItemLinks* links, TdxBarItemLinks* target) {
  std::vector<TdxBarItemLinks*> seen;
  return LinksReach(links, target, seen);
}

TCustomdxBarSubItem::TCustomdxBarSubItem(TComponent* AOwner)
    : TdxBarItem(AOwner), FItemLinks(new TdxBarSubMenuControlItemLinks(BarManager(), this)) {
  SetShowCaption(true);
}

TCustomdxBarSubItem::~TCustomdxBarSubItem() { FreeAndNil(FItemLinks); }

bool TCustomdxBarSubItem::CheckRecursion(TdxBarItem* item, AnsiString& message) {
  message.clear();
  if (!item->CanBePlacedOn(1, nullptr, message)) return false;
  if (dxBarLinksReach(item->GetItemLinks(), FItemLinks)) {
    message = LoadOverridableResString(dxSBAR_RECURSIVEMENUS);
    return false;
  }
  return true;
}

TdxBarListItem::TdxBarListItem(TComponent* AOwner) : TdxBarContainerItem(AOwner), FItems(new TStringList) {}

bool TdxBarContainerItem::HasVisibleLinks() const {
  TdxBarItemLinks* links = ItemLinks();
  if (!links || links->Count() == 0) return false;
  bool anyItem = false;
  for (int i = 0; i < links->Count(); ++i)
    if (TdxBarItem* item = links->LinkAt(i)->Item()) {
      anyItem = true;
      if (item->CanBeShown()) return true;
    }
  return !anyItem;
}

TdxBarListItem::~TdxBarListItem() {
  FreeGeneratedItems();
  Free(FItems);
}

int TdxBarListItem::DataIndex() const {
  if (FItemIndex < 0 || FItemIndex >= FItems->Count()) return -1;
  int count = 0;
  for (int i = 0; i <= FItemIndex; ++i)
    if (FItems->Strings(i) != "-") ++count;
  return count - 1;
}

void TdxBarListItem::SetDataIndex(int value) {
  int count = -1;
  for (int i = 0; i < FItems->Count(); ++i) {
    if (FItems->Strings(i) != "-") ++count;
    if (count == value && FItems->Strings(i) != "-") {
      FItemIndex = i;
      return;
    }
  }
  // No line has that number: nothing is selected (not a place past the end).
  FItemIndex = -1;
}

bool TdxBarListItem::HasContent() const { return OnGetData.Assigned() || FItems->Count() > 0; }

AnsiString TdxBarListItem::LinePrefix(int n) {
  // The digits run out after nine lines and the letters after thirty-five;
  // later lines have no accelerator.
  if (n < 0) return AnsiString();
  if (n <= 8) return "&" + std::to_string(n + 1) + " ";
  if (n <= 34) return AnsiString("&") + static_cast<char>('A' + n - 9) + " ";
  return AnsiString();
}

std::vector<TdxBarListLine> TdxBarListItem::Expand() {
  if (FNeedsClearing) ClearGeneratedItems();
  const bool first = FGenerated.empty();
  std::vector<TdxBarListLine> lines;
  bool breakNext = true;
  int n = 0;
  for (int i = 0; i < FItems->Count(); ++i) {
    const AnsiString text = FItems->Strings(i);
    if (text == "-") {
      breakNext = true;
      continue;
    }
    if (first) {
      auto* button = New<TdxBarButton>(Owner());
      if (FShowCheck && i == FItemIndex) {
        button->SetButtonStyle(bsChecked);
        button->SetDown(true);
      }
      button->SetCaption((FShowNumbers ? LinePrefix(n) : AnsiString()) + LineCaption(i));
      button->SetHint(LineHint(text));
      button->SetTag(i);
      button->FreeNotification(this);
      button->OnClick = TNotifyEvent::Bind<&TdxBarListItem::LineClick>(this);
      button->SetEnabled(GetEnabled());
      FGenerated.push_back(button);
    }
    if (n < static_cast<int>(FGenerated.size()))
      lines.push_back(TdxBarListLine{FGenerated[static_cast<size_t>(n)],
                                     (FShowNumbers ? LinePrefix(n) : AnsiString()) + LineCaption(i), LineHint(text),
                                     breakNext});
    breakNext = false;
    ++n;
  }
  return lines;
}

void TdxBarListItem::ClearGeneratedItems() {
  if (!FGenerated.empty() && FGenerated.front()->LinkCount() == 0) FreeGeneratedItems();
  TdxBarContainerItem::ClearGeneratedItems();
}

void TdxBarListItem::FreeGeneratedItems() {
  std::vector<TdxBarButton*> generated;
  generated.swap(FGenerated);
  for (auto it = generated.rbegin(); it != generated.rend(); ++it) Free(*it);
}

void TdxBarListItem::Notification(TComponent* component, TOperation operation) {
  TdxBarContainerItem::Notification(component, operation);
  if (operation != opRemove) return;
  const auto it = std::find(FGenerated.begin(), FGenerated.end(), component);
  if (it != FGenerated.end()) FGenerated.erase(it);
}

void TdxBarListItem::LineClick(TObject* sender) {
  if (auto* component = dynamic_cast<TComponent*>(sender)) FItemIndex = static_cast<int>(component->Tag());
  DoClick();
}

void TdxBarListItem::DoClick() {
  if (LinkWithActiveControl()) return;
  TdxBarContainerItem::DoClick();
}
