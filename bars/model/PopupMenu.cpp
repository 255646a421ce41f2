#include "bars/model/PopupMenu.h"

#include "bars/model/BarClassFactory.h"
#include "bars/model/BarGlobals.h"
#include "bars/model/BarItem.h"
#include "bars/model/BarManager.h"
#include "bars/model/BarRoutines.h"
#include "bars/model/BarStrings.h"
#include "foundation/Classes.h"
#include "platform/Exceptions.h"

#include <vector>

const TClassInfo TdxBarCustomPopupMenu::ClassInfo{"TdxBarCustomPopupMenu", &TdxBarComponent::ClassInfo, &dxBarMakeComponent<TdxBarCustomPopupMenu>};
const TClassInfo TdxBarPopupMenu::ClassInfo{"TdxBarPopupMenu", &TdxBarCustomPopupMenu::ClassInfo, &dxBarMakeComponent<TdxBarPopupMenu>};

void TdxBarCustomPopupMenu::Popup(int x, int y) {
  ++FPopupCount;
  FLastPopupPoint = POINT{x, y};
  FireEvent(OnPopup, this);
}

bool TdxBarCustomPopupMenu::ExecuteShortCut(TShortCut) { return false; }

namespace {
TdxBarManager* ManagerForMenu(TComponent* owner) {
  TdxBarManagerList* list = BarManagerList();
  if (!list || list->Count() == 0) throw EComponentError(LoadOverridableResString(dxSBAR_NOBARMANAGERS));
  if (TdxBarManager* manager = ManagerOfComponent(owner)) return manager;
  return list->ManagerAt(0);
}

// Whether the links are `target` or hold, at any depth, an item whose own
// links are.
bool LinksReach(TdxBarItemLinks* links, TdxBarItemLinks* target, std::vector<TdxBarItemLinks*>& seen) {
  if (!links) return false;
  if (links == target) return true;
  for (TdxBarItemLinks* s : seen)
    if (s == links) return false;
  seen.push_back(links);
  for (int i = 0; i < links->Count(); ++i)
    if (TdxBarItem* item = links->LinkAt(i)->Item())
      if (LinksReach(item->GetItemLinks(), target, seen)) return true;
  return false;
}
}  // namespace

TdxBarCustomPopupMenu::TdxBarCustomPopupMenu(TComponent* AOwner) : TdxBarComponent(AOwner) {
  FBarManager = ManagerForMenu(AOwner);
  FItemLinks = new TdxBarSubMenuControlItemLinks(FBarManager, this);
  FItemLinks->SetUseRecentItems(false);
}

TdxBarCustomPopupMenu::~TdxBarCustomPopupMenu() { FreeAndNil(FItemLinks); }

bool TdxBarCustomPopupMenu::CanContainItem(TdxBarItem* item, AnsiString& message) {
  message.clear();
  if (!item->CanBePlacedOn(1, nullptr, message)) return false;
  std::vector<TdxBarItemLinks*> seen;
  if (LinksReach(item->GetItemLinks(), FItemLinks, seen)) {
    message = LoadOverridableResString(dxSBAR_RECURSIVEMENUS);
    return false;
  }
  return true;
}
