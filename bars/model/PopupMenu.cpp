#include "bars/model/PopupMenu.h"

#include "bars/model/BarClassFactory.h"
#include "bars/model/BarGlobals.h"
#include "bars/model/BarItem.h"
#include "bars/model/BarManager.h"
#include "bars/model/BarRoutines.h"
#include "bars/model/BarStrings.h"
#include "foundation/Classes.h"
#include "platform/Exceptions.h"
#include "platform/Messages.h"

#include <vector>

const TClassInfo TdxBarCustomPopupMenu::ClassInfo{"TdxBarCustomPopupMenu", &TdxBarComponent::ClassInfo, &dxBarMakeComponent<TdxBarCustomPopupMenu>};
const TClassInfo TdxBarPopupMenu::ClassInfo{"TdxBarPopupMenu", &TdxBarCustomPopupMenu::ClassInfo, &dxBarMakeComponent<TdxBarPopupMenu>};

void TdxBarCustomPopupMenu::Popup(int x, int y) {
  if (FItemLinks && FItemLinks->BarControl()) return;
  CancelModeOfActiveForm();
  if (FBarManager && !FBarManager->InCustomizingOrDesign())
    if (HWND capture = GetCapture()) {
      SendMessageA(capture, CM_CANCELMODE, 0, 0);
      ReleaseCapture();
    }
  ++FPopupCount;
  FLastPopupPoint = POINT{x, y};
  HandleShown();
  HandleCloseUp();
}

void TdxBarCustomPopupMenu::ShowForOwner(int x, int y, int ownerWidth, int ownerHeight, bool showAnimation,
                                         const RECT* ownerBounds, bool useOwnMessageLoop, TWinControl* ownerControl) {
  FOwnerWidth = ownerWidth;
  FOwnerHeight = ownerHeight;
  FShowAnimation = showAnimation;
  FOwnerBounds = ownerBounds;
  FUseOwnMessageLoop = useOwnMessageLoop;
  FOwnerControl = ownerControl;
  auto restore = [this] {
    FUseOwnMessageLoop = true;
    FOwnerControl = nullptr;
    FOwnerBounds = nullptr;
    FOwnerWidth = FOwnerHeight = 0;
    FShowAnimation = true;
  };
  try {
    ShowAt(x, y);
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

void TdxBarCustomPopupMenu::ShowAtCursor() {
  POINT p{0, 0};
  GetCursorPos(&p);
  ShowAt(p.x, p.y);
}

void TdxBarCustomPopupMenu::HandleShown() {
  FPopupVisible = true;
  FireEvent(OnPopup, this);
}

void TdxBarCustomPopupMenu::HandleCloseUp() {
  FPopupVisible = false;
  FireEvent(OnCloseUp, this);
}

bool TdxBarCustomPopupMenu::IsShortCutKey(WORD key, LPARAM keyData) {
  const TShortCut shortCut = KeyToShortCut(static_cast<BYTE>(key), keyData);
  return shortCut != 0 && FItemLinks && FItemLinks->ExecuteShortCut(shortCut);
}

void TdxBarCustomPopupMenu::SetUseOwnFont(bool value) {
  if (value == FUseOwnFont) return;
  FUseOwnFont = value;
  ManagerFontChanged();  // the font to show follows the new choice
}

void TdxBarCustomPopupMenu::FontChanged(TObject*) {
  if (!FInternalFontChange) FUseOwnFont = true;
  if (FUseOwnFont) FEditFont->SetHandle(CopyFontHandle(FFont->Handle()));
}

void TdxBarCustomPopupMenu::ManagerFontChanged() {
  const bool saved = FInternalFontChange;
  FInternalFontChange = true;
  try {
    if (FUseOwnFont)
      FontChanged(FFont);
    else if (FBarManager)
      FFont->Assign(FBarManager->Font());
  } catch (...) {
    FInternalFontChange = saved;
    throw;
  }
  FInternalFontChange = saved;
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
  FEditFont = new TFont;
  FFont = new TFont;
  FInternalFontChange = true;
  FFont->Assign(FBarManager->Font());
  FInternalFontChange = false;
  FFont->OnChange = TNotifyEvent::Bind<&TdxBarCustomPopupMenu::FontChanged>(this);
  FItemLinks = new TdxBarSubMenuControlItemLinks(FBarManager, this);
  FItemLinks->SetUseRecentItems(false);
  FBarManager->AddPopupMenu(this);
}

TdxBarCustomPopupMenu::~TdxBarCustomPopupMenu() {
  if (FBarManager) FBarManager->RemovePopupMenu(this);
  FreeAndNil(FItemLinks);
  FreeAndNil(FFont);
  FreeAndNil(FEditFont);
}

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
