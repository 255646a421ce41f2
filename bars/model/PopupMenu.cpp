#include "bars/model/PopupMenu.h"

#include "bars/model/BarClassFactory.h"

const TClassInfo TdxBarCustomPopupMenu::ClassInfo{"TdxBarCustomPopupMenu", &TdxBarComponent::ClassInfo, &dxBarMakeComponent<TdxBarCustomPopupMenu>};
const TClassInfo TdxBarPopupMenu::ClassInfo{"TdxBarPopupMenu", &TdxBarCustomPopupMenu::ClassInfo, &dxBarMakeComponent<TdxBarPopupMenu>};

void TdxBarCustomPopupMenu::Popup(int x, int y) {
  ++FPopupCount;
  FLastPopupPoint = POINT{x, y};
  FireEvent(OnPopup, this);
}

bool TdxBarCustomPopupMenu::ExecuteShortCut(TShortCut) { return false; }
