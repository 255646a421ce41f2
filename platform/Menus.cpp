#include "platform/Menus.h"

#include "platform/ActnList.h"
#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/CallbackGuard.h"
#include "platform/Control.h"
#include "platform/Exceptions.h"
#include "platform/HandleCounts.h"
#include "platform/ImageList.h"
#include "platform/Properties.h"
#include "platform/Screen.h"
#include "platform/ShortCuts.h"
#include "platform/StdCtrls.h"

#include <algorithm>
#include <unordered_map>

const TClassInfo TMenuItem::ClassInfo{"TMenuItem", &TComponent::ClassInfo, [](TObject* owner) -> TObject* {
                                        return new TMenuItem(static_cast<TComponent*>(owner));
                                      }};
const TClassInfo TMenu::ClassInfo{"TMenu", &TComponent::ClassInfo, nullptr};
const TClassInfo TMainMenu::ClassInfo{"TMainMenu", &TMenu::ClassInfo, [](TObject* owner) -> TObject* {
                                        return new TMainMenu(static_cast<TComponent*>(owner));
                                      }};
const TClassInfo TPopupMenu::ClassInfo{"TPopupMenu", &TMenu::ClassInfo, [](TObject* owner) -> TObject* {
                                         return new TPopupMenu(static_cast<TComponent*>(owner));
                                       }};

namespace {
// Command numbers identify items in WM_COMMAND; 0 is never used.
UINT NextCommand = 1;

// Every living item by the serial number it puts in its menu item's data.
// Serials are never reused, so data of an item that is gone (or of another
// program's menu) finds nothing.
ULONG_PTR NextSerial = 0;
std::unordered_map<ULONG_PTR, TMenuItem*>& LiveItems() {
  static auto* items = new std::unordered_map<ULONG_PTR, TMenuItem*>;  // items may outlive static destruction
  return *items;
}

// Room around the parts of a drop-down item, in pixels.
constexpr int kGlyphLeft = 3;     // left edge to the image column
constexpr int kDefaultGlyph = 16;  // the image column without an image list
constexpr int kTextGap = 8;       // image column to the caption
constexpr int kRightMargin = 16;  // caption or shortcut to the right edge
constexpr int kShortCutGap = 24;  // caption to the shortcut
constexpr int kBarPadding = 8;    // around a menu-bar caption
constexpr int kSeparatorHeight = 9;

// The caption as shown: "&&" is "&", a single "&" marks the next character.
AnsiString StripAccelerator(const AnsiString& caption) {
  AnsiString text;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    text += caption[i];
  }
  return text;
}

const char* const PopupOwnerClass = "MevraPopupOwner";

// The window a popup menu reports to when no window of ours is active: it
// measures and draws owner-drawn items like any window of the class library.
LRESULT CALLBACK PopupOwnerProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  TMessage message{msg, wp, lp, 0};
  if (GuardCallback([&] { return DispatchMenuMessage(message); }, false)) return message.Result;
  return DefWindowProcA(wnd, msg, wp, lp);
}

HWND CreatePopupOwner() {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  if (!GetClassInfoA(instance, PopupOwnerClass, &wc)) {
    wc.lpfnWndProc = PopupOwnerProc;
    wc.hInstance = instance;
    wc.lpszClassName = PopupOwnerClass;
    RegisterClassA(&wc);
  }
  HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW, PopupOwnerClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                             nullptr);
  if (wnd) HandleCreated(hkWindow);
  return wnd;
}

}  // namespace

TShortCut ShortCut(WORD key, bool shift, bool ctrl, bool alt) {
  return static_cast<TShortCut>((key & 0xFF) | (shift ? scShift : 0) | (ctrl ? scCtrl : 0) | (alt ? scAlt : 0));
}

// -- TMenuItem ------------------------------------------------------------------

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(NextCommand++), FSerial(++NextSerial) {
  if (NextCommand > 0xFFFF) NextCommand = 1;
  LiveItems()[FSerial] = this;
}

TMenuItem::~TMenuItem() {
  LiveItems().erase(FSerial);
  ClearWeakLinks();
  FreeAndNil(FActionLink);
  for (TMenuItem* item : FItems) item->FParent = nullptr;
  // Sub-items nobody owns go with their parent item.
  std::vector<TMenuItem*> items;
  items.swap(FItems);
  for (TMenuItem* item : items)
    if (!item->Owner()) ::Free(item);
  if (FParent) FParent->Remove(this);
  FreeAndNil(FBitmap);
}

TMenuItem* TMenuItem::FromItemData(ULONG_PTR data) {
  auto& items = LiveItems();
  auto it = items.find(data);
  return it == items.end() ? nullptr : it->second;
}

TMenu* TMenuItem::Menu() const {
  const TMenuItem* item = this;
  while (item->FParent) item = item->FParent;
  return item->FMenu;
}

bool TMenuItem::IsTopLevel() const {
  TMenu* menu = Menu();
  return FParent && FParent->FMenu && menu && !menu->IsPopup();
}

void TMenuItem::Changed() {
  if (TMenu* menu = Menu()) menu->MenuChanged();
}

void TMenuItem::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  // An action going away has told its links already: a link without an
  // action goes too.
  if (operation == opRemove && FActionLink && (!FActionLink->Action() || component == FActionLink->Action()))
    FreeAndNil(FActionLink);
}

void TMenuItem::SetCaption(const AnsiString& value) {
  if (FCaption == value) return;
  FCaption = value;
  Changed();
}

void TMenuItem::SetChecked(bool value) {
  if (FChecked == value) return;
  FChecked = value;
  // A checked radio item unchecks the others of its group.
  if (value && FRadioItem && FParent)
    for (TMenuItem* sibling : FParent->FItems)
      if (sibling != this && sibling->FRadioItem && sibling->FGroupIndex == FGroupIndex) sibling->FChecked = false;
  Changed();
}

void TMenuItem::SetEnabled(bool value) {
  if (FEnabled == value) return;
  FEnabled = value;
  Changed();
}

void TMenuItem::SetVisible(bool value) {
  if (FVisible == value) return;
  FVisible = value;
  Changed();
}

void TMenuItem::SetDefault(bool value) {
  if (FDefault == value) return;
  FDefault = value;
  Changed();
}

void TMenuItem::SetRadioItem(bool value) {
  if (FRadioItem == value) return;
  FRadioItem = value;
  Changed();
}

void TMenuItem::SetShortCut(TShortCut value) {
  if (FShortCut == value) return;
  FShortCut = value;
  Changed();
}

void TMenuItem::SetImageIndex(int value) {
  if (FImageIndex == value) return;
  FImageIndex = value;
  Changed();
}

TBitmap* TMenuItem::Bitmap() {
  if (!FBitmap) {
    FBitmap = new TBitmap;
    FBitmap->OnChange = TNotifyEvent::Lambda([this](TObject*) { Changed(); });
  }
  return FBitmap;
}

void TMenuItem::SetBitmap(TBitmap* value) { Bitmap()->Assign(value); }

bool TMenuItem::HasBitmap() const { return FBitmap && !FBitmap->Empty(); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  if (item->FParent) throw EInvalidOperation("Menu inserted twice");
  if (index < 0 || index > Count()) throw EListError("Menu index out of bounds");
  FItems.insert(FItems.begin() + index, item);
  item->FParent = this;
  Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  if (it == FItems.end()) throw EListError("Menu item not found");
  FItems.erase(it);
  item->FParent = nullptr;
  Changed();
}

void TMenuItem::Clear() {
  while (!FItems.empty()) {
    TMenuItem* item = FItems.back();
    Remove(item);
    if (!item->Owner()) ::Free(item);
  }
}

TComponent* TMenuItem::GetParentComponent() const {
  if (FParent && FParent->FMenu) return FParent->FMenu;
  return FParent;
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (FParent) FParent->Remove(this);
  if (auto* menu = ObjectAs<TMenu>(parent)) menu->Items()->Add(this);
  else if (auto* item = ObjectAs<TMenuItem>(parent)) item->Add(this);
  else if (parent) throw EInvalidOperation(AnsiString("A menu item belongs in a menu or a menu item, not in a ") + parent->ClassName());
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TMenuItem* TMenuItem::FindCommand(UINT command) {
  if (FCommand == command) return this;
  for (TMenuItem* item : FItems)
    if (TMenuItem* found = item->FindCommand(command)) return found;
  return nullptr;
}

TMenuItem* TMenuItem::FindShortCut(TShortCut shortCut) {
  if (!FVisible || !FEnabled) return nullptr;
  if (FShortCut != 0 && FShortCut == shortCut) return this;
  for (TMenuItem* item : FItems)
    if (TMenuItem* found = item->FindShortCut(shortCut)) return found;
  return nullptr;
}

// -- Actions ------------------------------------------------------------------------

TBasicAction* TMenuItem::Action() const { return FActionLink ? FActionLink->Action() : nullptr; }

TClass TMenuItem::GetActionLinkClass() const { return &TMenuActionLink::ClassInfo; }

void TMenuItem::SetAction(TBasicAction* value) {
  if (Action() == value) return;
  if (!value) {
    FreeAndNil(FActionLink);
    return;
  }
  if (!FActionLink) FActionLink = NewActionLink<TMenuActionLink>(GetActionLinkClass(), this);
  FActionLink->SetAction(value);
  FActionLink->OnChange = TNotifyEvent::Bind<&TMenuItem::DoActionChange>(this);
  ActionChange(value, value->ComponentState().Contains(csLoading));
  value->FreeNotification(this);
}

void TMenuItem::DoActionChange(TObject* Sender) {
  if (Sender && Sender == Action()) ActionChange(Sender, false);
}

void TMenuItem::ActionChange(TObject* Sender, bool CheckDefaults) {
  auto* action = ObjectAs<TCustomAction>(Sender);
  if (!action) return;
  if (!CheckDefaults || !FAutoCheck) SetAutoCheck(action->AutoCheck());
  if (!CheckDefaults || FCaption.empty()) SetCaption(action->Caption());
  if (!CheckDefaults || !FChecked) SetChecked(action->Checked());
  if (!CheckDefaults || FEnabled) SetEnabled(action->Enabled());
  if (!CheckDefaults || FGroupIndex == 0) SetGroupIndex(action->GroupIndex());
  if (!CheckDefaults || FHelpContext == 0) SetHelpContext(action->HelpContext());
  if (!CheckDefaults || FHint.empty()) SetHint(action->Hint());
  if (!CheckDefaults || FImageIndex == -1) SetImageIndex(action->ImageIndex());
  if (!CheckDefaults || FShortCut == 0) SetShortCut(action->ShortCut());
  if (!CheckDefaults || FVisible) SetVisible(action->Visible());
  if (!CheckDefaults || !OnClick) OnClick = action->OnExecute();
}

void TMenuItem::InitiateAction() {
  if (FActionLink) FActionLink->Update();
}

void TMenuItem::Click() {
  if (!FEnabled) return;
  TWeakLink<TMenuItem> self(this);
  TBasicAction* action = Action();
  auto* customAction = ObjectAs<TCustomAction>(action);
  // An item whose action checks itself follows the action.
  if (FAutoCheck && !(customAction && customAction->AutoCheck())) SetChecked(!FChecked);
  if (!self.Get()) return;
  if (OnClick && (!action || !(OnClick == action->OnExecute()))) {
    OnClick(this);
  } else if (action && !ComponentState().Contains(csDesigning)) {
    FActionLink->Execute(this);
  } else {
    FireEvent(OnClick, this);
  }
}

// -- Owner drawing ------------------------------------------------------------------

bool TMenuItem::IsOwnerDraw() const {
  TMenu* menu = Menu();
  if ((menu && menu->OwnerDraw()) || OnDrawItem) return true;
  if (HasBitmap()) return true;
  return menu && menu->Images() && FImageIndex >= 0 && FImageIndex < menu->Images()->Count();
}

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height) {
  if (IsLine()) {
    Width = kGlyphLeft * 2;
    Height = kSeparatorHeight;
  } else {
    TMenu* menu = Menu();
    TCustomImageList* images = menu ? menu->Images() : nullptr;
    const SIZE text = ACanvas->TextExtent(StripAccelerator(FCaption));
    int glyphWidth = images ? images->Width() : kDefaultGlyph;
    int glyphHeight = images ? images->Height() : kDefaultGlyph;
    if (HasBitmap()) {
      glyphWidth = std::max(glyphWidth, FBitmap->Width());
      glyphHeight = std::max(glyphHeight, FBitmap->Height());
    }
    if (IsTopLevel()) {
      const bool image = HasBitmap() || (images && FImageIndex >= 0);
      Width = text.cx + kBarPadding + (image ? glyphWidth + kGlyphLeft : 0);
      Height = std::max<int>(text.cy, GetSystemMetrics(SM_CYMENU) - 1);
    } else {
      Width = kGlyphLeft + glyphWidth + kTextGap + text.cx + kRightMargin;
      if (const AnsiString keys = ShortCutToText(FShortCut); !keys.empty())
        Width += kShortCutGap + ACanvas->TextWidth(keys);
      Height = std::max<int>(text.cy + 6, glyphHeight + 4);
    }
  }
  FireEvent(OnMeasureItem, this, ACanvas, Width, Height);
}

void TMenuItem::DoDrawText(TCanvas* ACanvas, const AnsiString& text, RECT& r, bool selected, UINT flags) {
  TColor color = selected ? clHighlightText : clMenuText;
  if (!FEnabled) color = clGrayText;
  ACanvas->Brush()->SetStyle(bsClear);
  ACanvas->Font()->SetColor(color);
  if (FDefault) ACanvas->Font()->SetStyle(ACanvas->Font()->Style() + TFontStyles{fsBold});
  if (FDrawState & ODS_NOACCEL) flags |= DT_HIDEPREFIX;
  ACanvas->TextRect(r, text, flags);
}

void TMenuItem::DrawItem(TCanvas* ACanvas, const RECT& ARect, bool Selected) {
  if (OnDrawItem) {
    OnDrawItem(this, ACanvas, ARect, Selected);
    return;
  }
  const bool top = IsTopLevel();
  ACanvas->Brush()->SetStyle(bsSolid);
  ACanvas->Brush()->SetColor(Selected ? clHighlight : clMenu);
  ACanvas->FillRect(ARect);
  HDC dc = ACanvas->Handle();
  if (IsLine()) {
    RECT line = ARect;
    line.left += kGlyphLeft;
    line.right -= kGlyphLeft;
    line.top += (ARect.bottom - ARect.top) / 2 - 1;
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  TMenu* menu = Menu();
  TCustomImageList* images = menu ? menu->Images() : nullptr;
  const bool hasImage = images && FImageIndex >= 0 && FImageIndex < images->Count();
  RECT text = ARect;
  if (top) {
    int left = ARect.left + kBarPadding / 2;
    if (hasImage || HasBitmap()) {
      const int w = hasImage ? images->Width() : FBitmap->Width();
      const int h = hasImage ? images->Height() : FBitmap->Height();
      const int y = ARect.top + (ARect.bottom - ARect.top - h) / 2;
      if (hasImage) {
        images->Draw(ACanvas, left, y, FImageIndex, FEnabled);
      } else {
        FBitmap->SetTransparent(true);
        ACanvas->Draw(left, y, FBitmap);
      }
      left += w + kGlyphLeft;
    }
    text.left = left;
    DoDrawText(ACanvas, FCaption, text, Selected, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    return;
  }
  const int glyphWidth = images ? images->Width() : kDefaultGlyph;
  const int glyphHeight = images ? images->Height() : kDefaultGlyph;
  RECT cell{ARect.left + kGlyphLeft, ARect.top + (ARect.bottom - ARect.top - glyphHeight) / 2, 0, 0};
  cell.right = cell.left + glyphWidth;
  cell.bottom = cell.top + glyphHeight;
  const TColor ink = !FEnabled ? clGrayText : Selected ? clHighlightText : clMenuText;
  if (hasImage || HasBitmap()) {
    if (FChecked) {
      RECT frame = cell;
      InflateRect(&frame, 1, 1);
      DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
    }
    if (hasImage) {
      images->Draw(ACanvas, cell.left, cell.top, FImageIndex, FEnabled);
    } else {
      FBitmap->SetTransparent(true);
      ACanvas->Draw(cell.left + (glyphWidth - FBitmap->Width()) / 2, cell.top + (glyphHeight - FBitmap->Height()) / 2,
                    FBitmap);
    }
  } else if (FChecked) {
    ACanvas->Pen()->SetColor(ink);
    ACanvas->Brush()->SetColor(ink);
    const int cx = (cell.left + cell.right) / 2, cy = (cell.top + cell.bottom) / 2;
    if (FRadioItem) {
      ACanvas->Ellipse(cx - 3, cy - 3, cx + 3, cy + 3);
    } else {
      // A tick, two pixels thick.
      for (int d = 0; d < 2; ++d) {
        const POINT tick[] = {{cx - 4, cy - 1 + d}, {cx - 1, cy + 2 + d}, {cx + 5, cy - 4 + d}};
        ACanvas->Polyline(tick, 3);
      }
    }
  }
  text.left = cell.right + kTextGap;
  text.right -= kRightMargin / 2;
  DoDrawText(ACanvas, FCaption, text, Selected, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  if (const AnsiString keys = ShortCutToText(FShortCut); !keys.empty())
    DoDrawText(ACanvas, keys, text, Selected, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
}

void TMenuItem::ForgetHandles() {
  FSubHandle = nullptr;
  for (TMenuItem* item : FItems) item->ForgetHandles();
}

void TMenuItem::AppendTo(HMENU menu) {
  if (!FVisible) return;
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA;
  info.wID = FCommand;
  info.dwItemData = FSerial;
  const bool ownerDraw = IsOwnerDraw();
  AnsiString caption = FCaption;
  if (IsLine()) {
    info.fType = MFT_SEPARATOR | (ownerDraw ? MFT_OWNERDRAW : 0);
  } else {
    info.fType = ownerDraw ? MFT_OWNERDRAW : MFT_STRING;
    if (FRadioItem) info.fType |= MFT_RADIOCHECK;
    // The system shows what follows a tab right-aligned: the shortcut.
    if (const AnsiString keys = ShortCutToText(FShortCut); !keys.empty() && !IsTopLevel()) caption += "\t" + keys;
    // Kept for owner-drawn items too: whoever reads the menu finds the text.
    info.fMask |= MIIM_STRING;
    info.dwTypeData = caption.data();
    info.cch = static_cast<UINT>(caption.size());
  }
  if (!FEnabled) info.fState |= MFS_GRAYED;
  if (FChecked) info.fState |= MFS_CHECKED;
  if (FDefault) info.fState |= MFS_DEFAULT;
  if (!FItems.empty()) {
    FSubHandle = CreatePopupMenu();
    for (TMenuItem* item : FItems) item->AppendTo(FSubHandle);
    info.fMask |= MIIM_SUBMENU;
    info.hSubMenu = FSubHandle;
  }
  InsertMenuItemA(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info);
}

// -- Menu messages -------------------------------------------------------------------

bool DispatchMenuMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
      if (!measure || measure->CtlType != ODT_MENU) return false;
      TMenuItem* item = TMenuItem::FromItemData(measure->itemData);
      if (!item) return false;
      TScreenDC screen;
      TCanvas canvas;
      canvas.Font()->Assign(Screen->MenuFont());
      int width = 0, height = 0;
      {
        TSavedDCGuard saved(screen.Get());
        TCanvasPaintScope scope(canvas, screen.Get());
        item->MeasureItem(&canvas, width, height);
      }
      measure->itemWidth = static_cast<UINT>(std::max(width, 0));
      measure->itemHeight = static_cast<UINT>(std::max(height, 0));
      Message.Result = TRUE;
      return true;
    }
    case WM_DRAWITEM: {
      auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
      if (!draw || draw->CtlType != ODT_MENU) return false;
      TMenuItem* item = TMenuItem::FromItemData(draw->itemData);
      if (!item) return false;
      TCanvas canvas;
      canvas.Font()->Assign(Screen->MenuFont());
      TSavedDCGuard saved(draw->hDC);
      TCanvasPaintScope scope(canvas, draw->hDC);
      item->FDrawState = draw->itemState;
      item->DrawItem(&canvas, draw->rcItem, (draw->itemState & ODS_SELECTED) != 0);
      Message.Result = TRUE;
      return true;
    }
    case WM_MENUCHAR: {
      // The system found no item with the typed accelerator: owner-drawn
      // items are ours to search.
      const auto menu = reinterpret_cast<HMENU>(Message.LParam);
      if (!menu) return false;
      for (const auto& [serial, parent] : LiveItems()) {
        if (parent->FSubHandle != menu) continue;
        int position = 0;
        for (TMenuItem* item : parent->FItems) {
          if (!item->FVisible) continue;
          if (item->FEnabled && !item->IsLine() && IsAccel(LOWORD(Message.WParam), item->FCaption)) {
            Message.Result = MAKELRESULT(position, MNC_EXECUTE);
            return true;
          }
          ++position;
        }
        return false;
      }
      return false;
    }
    default:
      return false;
  }
}

// -- TMenu ----------------------------------------------------------------------

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(nullptr) { FItems.FMenu = this; }

TMenu::~TMenu() {
  DestroyMenuHandle();
  delete FImageChangeLink;
  FImageChangeLink = nullptr;
  FItems.FMenu = nullptr;
}

void TMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == FImages) SetImages(nullptr);
}

HMENU TMenu::Handle() {
  if (!FHandle) {
    FHandle = IsPopup() ? CreatePopupMenu() : CreateMenu();
    if (!FHandle) throw EOutOfResources("Cannot create a menu");
    HandleCreated(hkMenu);
    FItems.FSubHandle = FHandle;
    for (TMenuItem* item : BarItems()) item->AppendTo(FHandle);
  }
  return FHandle;
}

void TMenu::DestroyMenuHandle() {
  if (FHandle) {
    DestroyMenu(FHandle);
    HandleDeleted(hkMenu);
  }
  FHandle = nullptr;
  FItems.ForgetHandles();
}

void TMenu::MenuChanged() { DestroyMenuHandle(); }

std::vector<TMenuItem*> TMenu::BarItems() { return FItems.FItems; }

void TMenu::ForgetHandles() { FItems.ForgetHandles(); }

void TMenu::SetOwnerDraw(bool value) {
  if (FOwnerDraw == value) return;
  FOwnerDraw = value;
  MenuChanged();
}

void TMenu::SetImages(TCustomImageList* value) {
  if (FImages == value) return;
  if (FImages) {
    FImages->RemoveFreeNotification(this);
    if (FImageChangeLink) FImages->UnRegisterChanges(FImageChangeLink);
  }
  FImages = value;
  if (FImages) {
    FImages->FreeNotification(this);
    if (!FImageChangeLink) {
      FImageChangeLink = new TChangeLink;
      FImageChangeLink->OnChange = TNotifyEvent::Bind<&TMenu::ImagesChanged>(this);
    }
    FImages->RegisterChanges(FImageChangeLink);
  }
  if (!IsDestroying()) MenuChanged();
}

void TMenu::ImagesChanged(TObject*) { MenuChanged(); }

namespace {
void UpdateItemActions(TMenuItem* item) {
  for (int i = 0; i < item->Count(); ++i) {
    TMenuItem* child = item->Items(i);
    child->InitiateAction();
    UpdateItemActions(child);
  }
}
}  // namespace

void TMenu::UpdateItems() { UpdateItemActions(&FItems); }

bool TMenu::DispatchCommand(UINT command) {
  TMenuItem* item = FindCommand(command);
  if (!item || !item->ParentItem()) return false;  // a menu's root item is no command
  item->Click();
  return true;
}

bool TMenu::IsShortCut(TShortCut shortCut) {
  TMenuItem* item = FindShortCut(shortCut);
  if (!item) return false;
  item->Click();
  return true;
}

TMainMenu::~TMainMenu() {
  if (FMergedInto) FMergedInto->Unmerge(this);
  if (FMerged) Unmerge(FMerged);
}

void TMainMenu::Notification(TComponent* component, TOperation operation) {
  TMenu::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FMerged) Unmerge(FMerged);
  if (component == FMergedInto) FMergedInto = nullptr;
}

void TMainMenu::Merge(TMainMenu* Menu) {
  if (Menu == FMerged) return;
  if (Menu == this) throw EInvalidOperation("A menu cannot be merged into itself");
  if (FMerged) Unmerge(FMerged);
  if (!Menu) return;
  if (Menu->FMergedInto) Menu->FMergedInto->Unmerge(Menu);
  FMerged = Menu;
  Menu->FMergedInto = this;
  Menu->FreeNotification(this);
  // Its own handle (if any) is not shown anywhere; its items now live in ours.
  Menu->DestroyMenuHandle();
  MenuChanged();
}

void TMainMenu::Unmerge(TMainMenu* Menu) {
  if (!Menu || Menu != FMerged) return;
  FMerged = nullptr;
  Menu->FMergedInto = nullptr;
  Menu->RemoveFreeNotification(this);
  // Our handle holds its items' drop-downs: they go with ours.
  Menu->ForgetHandles();
  if (!IsDestroying()) MenuChanged();
}

std::vector<TMenuItem*> TMainMenu::BarItems() {
  std::vector<TMenuItem*> items = TMenu::BarItems();
  if (!FMerged) return items;
  // An item of the merged menu replaces this menu's items of its group
  // and goes before the first item of a higher group.
  const std::vector<TMenuItem*> merged = FMerged->TMenu::BarItems();
  for (TMenuItem* item : merged) {
    const int group = item->GroupIndex();
    items.erase(std::remove_if(items.begin(), items.end(),
                               [&](TMenuItem* own) { return own->Menu() == this && own->GroupIndex() == group; }),
                items.end());
  }
  for (TMenuItem* item : merged) {
    auto at = std::find_if(items.begin(), items.end(),
                           [&](TMenuItem* other) { return other->GroupIndex() > item->GroupIndex(); });
    items.insert(at, item);
  }
  return items;
}

TMenuItem* TMainMenu::FindCommand(UINT command) {
  if (TMenuItem* item = TMenu::FindCommand(command)) return item;
  return FMerged ? FMerged->FindCommand(command) : nullptr;
}

TMenuItem* TMainMenu::FindShortCut(TShortCut shortCut) {
  if (TMenuItem* item = TMenu::FindShortCut(shortCut)) return item;
  return FMerged ? FMerged->FindShortCut(shortCut) : nullptr;
}

void TMainMenu::SetWindowHandle(HWND wnd) {
  FWindowHandle = wnd;
  if (wnd) SetMenu(wnd, Handle());
}

void TMainMenu::MenuChanged() {
  // A merged menu's items are shown in the other menu's bar.
  if (FMergedInto) {
    FMergedInto->MenuChanged();
    return;
  }
  if (!FWindowHandle || !IsWindow(FWindowHandle)) {
    TMenu::MenuChanged();
    if (FMerged) FMerged->ForgetHandles();
    return;
  }
  HMENU old = FHandle;
  FHandle = nullptr;
  ForgetHandles();
  if (FMerged) FMerged->ForgetHandles();
  SendMessageA(FWindowHandle, CM_MENUCHANGED, 0, 0);
  // A window that does not take the notice gets the new bar here.
  if (old && GetMenu(FWindowHandle) == old) {
    SetMenu(FWindowHandle, Handle());
    DrawMenuBar(FWindowHandle);
  }
  if (old && GetMenu(FWindowHandle) != old) {
    DestroyMenu(old);
    HandleDeleted(hkMenu);
  }
}

void TPopupMenu::Popup(int X, int Y) {
  FireEvent(OnPopup, this);
  UpdateItems();
  // The menu reports to a window of ours (which measures and draws the
  // owner-drawn items); the answer comes back directly, so nothing is
  // dispatched through it.
  HWND owner = GetActiveWindow();
  HWND made = nullptr;
  if (!owner || !TWinControl::FindControl(owner)) {
    made = CreatePopupOwner();
    owner = made;
  }
  UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY;
  switch (FAlignment) {
    case paRight:
      flags |= TPM_RIGHTALIGN;
      break;
    case paCenter:
      flags |= TPM_CENTERALIGN;
      break;
    default:
      flags |= TPM_LEFTALIGN;
      break;
  }
  const UINT command = TrackPopupMenu(Handle(), flags, X, Y, 0, owner, nullptr);
  if (made) {
    DestroyWindow(made);
    HandleDeleted(hkWindow);
  }
  if (command) DispatchCommand(command);
}

// -- Published properties -------------------------------------------------------

namespace {

const TEnumInfo PopupAlignmentNames{"TPopupAlignment", {"paLeft", "paRight", "paCenter"}};

const TPublishedRegistration menuItemRegistration(&TMenuItem::ClassInfo, {
    Property<&TMenuItem::Action, &TMenuItem::SetAction>("Action"),
    Property<&TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck>("AutoCheck").Default(false),
    Property<&TMenuItem::Bitmap>("Bitmap").Stored<&TMenuItem::HasBitmap>(),
    Property<&TMenuItem::Caption, &TMenuItem::SetCaption>("Caption"),
    Property<&TMenuItem::Checked, &TMenuItem::SetChecked>("Checked").Default(false),
    Property<&TMenuItem::Default, &TMenuItem::SetDefault>("Default").Default(false),
    Property<&TMenuItem::Enabled, &TMenuItem::SetEnabled>("Enabled").Default(true),
    Property<&TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex>("GroupIndex").Default(0),
    Property<&TMenuItem::HelpContext, &TMenuItem::SetHelpContext>("HelpContext").Default(0),
    Property<&TMenuItem::Hint, &TMenuItem::SetHint>("Hint"),
    Property<&TMenuItem::ImageIndex, &TMenuItem::SetImageIndex>("ImageIndex").Default(-1),
    Property<&TMenuItem::RadioItem, &TMenuItem::SetRadioItem>("RadioItem").Default(false),
    Property<&TMenuItem::ShortCut, &TMenuItem::SetShortCut>("ShortCut").Default(0),
    Property<&TMenuItem::Visible, &TMenuItem::SetVisible>("Visible").Default(true),
    Event<&TMenuItem::OnClick>("OnClick"),
    Event<&TMenuItem::OnDrawItem>("OnDrawItem"),
    Event<&TMenuItem::OnMeasureItem>("OnMeasureItem"),
});

const TPublishedRegistration menuRegistration(&TMenu::ClassInfo, {
    Property<&TMenu::Images, &TMenu::SetImages>("Images"),
    Property<&TMenu::OwnerDraw, &TMenu::SetOwnerDraw>("OwnerDraw").Default(false),
});

const TPublishedRegistration mainMenuRegistration(&TMainMenu::ClassInfo, {});

const TPublishedRegistration popupMenuRegistration(&TPopupMenu::ClassInfo, {
    Property<&TPopupMenu::Alignment, &TPopupMenu::SetAlignment>("Alignment", PopupAlignmentNames).Default(paLeft),
    Property<&TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup>("AutoPopup").Default(true),
    Event<&TPopupMenu::OnPopup>("OnPopup"),
});

}  // namespace
