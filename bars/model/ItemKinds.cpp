#include "bars/model/ItemKinds.h"

#include <algorithm>
#include <cctype>

#include "bars/model/BarClassFactory.h"
#include "bars/model/BarManager.h"
#include "bars/model/DropDownListBox.h"
#include "bars/model/PopupMenu.h"
#include "bars/model/SubItems.h"
#include "bars/views/BarControl.h"
#include "bars/views/ItemControl.h"
#include "platform/Exceptions.h"
#include "bars/model/BarModelStrings.h"
#include "foundation/Classes.h"

const TClassInfo TdxBarLabel::ClassInfo{"TdxBarLabel", &TdxBarItem::ClassInfo, &dxBarMakeComponent<TdxBarLabel>};
const TClassInfo TdxBarSeparator::ClassInfo{"TdxBarSeparator", &TdxBarLabel::ClassInfo,
                                            &dxBarMakeComponent<TdxBarSeparator>};
const TClassInfo TdxBarButton::ClassInfo{"TdxBarButton", &TdxBarItem::ClassInfo, &dxBarMakeComponent<TdxBarButton>};
const TClassInfo TdxBarWindowItem::ClassInfo{"TdxBarWindowItem", &TdxBarItem::ClassInfo,
                                             &dxBarMakeComponent<TdxBarWindowItem>};
const TClassInfo TdxCustomBarEdit::ClassInfo{"TdxCustomBarEdit", &TdxBarWindowItem::ClassInfo,
                                             &dxBarMakeComponent<TdxCustomBarEdit>};
const TClassInfo TdxBarEdit::ClassInfo{"TdxBarEdit", &TdxCustomBarEdit::ClassInfo, &dxBarMakeComponent<TdxBarEdit>};
const TClassInfo TCustomdxBarCombo::ClassInfo{"TCustomdxBarCombo", &TdxBarEdit::ClassInfo,
                                              &dxBarMakeComponent<TCustomdxBarCombo>};
const TClassInfo TdxBarCustomCombo::ClassInfo{"TdxBarCustomCombo", &TCustomdxBarCombo::ClassInfo,
                                              &dxBarMakeComponent<TdxBarCustomCombo>};
const TClassInfo TdxBarCombo::ClassInfo{"TdxBarCombo", &TdxBarCustomCombo::ClassInfo, &dxBarMakeComponent<TdxBarCombo>};

namespace {

bool IsLoadingComponent(const TComponent* component) { return component->ComponentState().Contains(csLoading); }

}  // namespace

TdxBarLabel::TdxBarLabel(TComponent* AOwner) : TdxBarItem(AOwner) { SetShowCaption(true); }

// -- separator ------------------------------------------------------------------

bool TdxBarSeparator::CanBePlacedOn(int kind, TObject* owner, AnsiString& message) {
  (void)owner;
  if (kind == 1) return true;
  message = LoadOverridableResString(dxSBAR_CANTPLACESEPARATOR);
  return false;
}

AnsiString TdxBarSeparator::NewItemCaption() const { return LoadOverridableResString(dxSBAR_NEWSEPARATORCAPTION); }

// -- button ---------------------------------------------------------------------

template <class F>
void TdxBarButton::ForEachOfGroup(F&& visit) {
  TdxBarManager* manager = BarManager();
  if (!manager) return;
  for (int i = 0; i < manager->ItemCount(); ++i) {
    auto* button = dynamic_cast<TdxBarButton*>(manager->ItemAt(i));
    if (button && button != this && button->FGroupIndex == FGroupIndex) visit(button);
  }
}

void TdxBarButton::SetButtonStyle(TdxBarButtonStyle value) {
  if (value == ButtonStyle()) return;
  FStyleBits = static_cast<int>(value);
  SetDown(false);
  NotifyListsChanged(false);
}

void TdxBarButton::SetDown(bool value) {
  if (value == FDown || (value && !IsCheckStyle())) return;
  TdxBarButton* otherDown = nullptr;
  if (!IsLoadingComponent(this) && IsCheckStyle() && FGroupIndex != 0) {
    bool anotherDown = false;
    ForEachOfGroup([&](TdxBarButton* b) {
      if (b->IsCheckStyle() && b->FDown) {
        if (!otherDown) otherDown = b;
        anotherDown = true;
      }
    });
    if (!value && !FAllowAllUp && !anotherDown) return;
    if (!value) otherDown = nullptr;
  }
  FDown = value;
  if (IsLoadingComponent(this)) return;
  RepaintControls();
  if (otherDown) otherDown->SetDown(false);
}

void TdxBarButton::SetGroupIndex(int value) {
  if (value == FGroupIndex) return;
  FGroupIndex = IsCheckStyle() ? value : 0;
  SetDown(false);
}

void TdxBarButton::SetAllowAllUp(bool value) {
  if (value == FAllowAllUp) return;
  FAllowAllUp = value;
  if (FGroupIndex != 0) ForEachOfGroup([&](TdxBarButton* b) { b->FAllowAllUp = value; });
}

void TdxBarButton::SetDropDownMenu(TdxBarPopupMenu* value) {
  if (value == FDropDownMenu) return;
  if (value) {
    // The button's links would be the menu's: the menu may not reach it.
    if (dxBarLinksContainItem(value->ItemLinks(), this))
      throw EComponentError(LoadOverridableResString(dxSBAR_RECURSIVEMENUS));
  }
  if (FDropDownMenu) FDropDownMenu->RemoveFreeNotification(this);
  FDropDownMenu = value;
  if (value) value->FreeNotification(this);
}

TdxBarItemLinks* TdxBarButton::GetItemLinks() const { return FDropDownMenu ? FDropDownMenu->ItemLinks() : nullptr; }

void TdxBarButton::Notification(TComponent* component, TOperation operation) {
  TdxBarItem::Notification(component, operation);
  if (operation == opRemove && component == FDropDownMenu) FDropDownMenu = nullptr;
}

void TdxBarButton::Click() {
  if (GetEnabled() && IsCheckStyle()) SetDown(!FDown);
  TdxBarItem::Click();
}

AnsiString TdxBarButton::NewItemCaption() const { return LoadOverridableResString(dxSBAR_NEWBUTTONCAPTION); }

// -- window items -------------------------------------------------------------------

void TdxBarWindowItem::SetText(const AnsiString& value) {
  if (value == FText) return;
  FText = value;
  RepaintControls();
  DoChange();
  RepaintControls();
}

TdxBarItemLink* TdxBarWindowItem::WindowControlLink(bool visibleHostsOnly) const {
  // FIXME: the toolbar then enters focus at the control and clicks it, once
  // toolbars and edit controls have windows.
  for (int i = 0; i < LinkCount(); ++i) {
    TdxBarItemLink* link = LinkAt(i);
    if (!dynamic_cast<TdxBarWinControl*>(link->Control())) continue;
    // Only a toolbar can take the focus into an edit; a menu host is no
    // place for it (and no reason to fail).
    auto* toolbar = dynamic_cast<TdxBarControl*>(link->HostBarControl());
    if (!toolbar || (visibleHostsOnly && !toolbar->Showing())) continue;
    return link;
  }
  return nullptr;
}

void TdxBarWindowItem::DoChange() {
  if (!IsLoadingComponent(this)) FireEvent(OnChange, static_cast<TObject*>(this));
}

TdxCustomBarEdit::TdxCustomBarEdit(TComponent* AOwner) : TdxBarWindowItem(AOwner) { TdxBarItem::SetWidth(100); }

void TdxCustomBarEdit::SetWidth(int value) {
  if (value <= 0) return;
  TdxBarItem::SetWidth(value);
}

bool TCustomdxBarCombo::CheckKeyForDropDown(WORD key, TShiftState shift) {
  bool accept = key != VK_TAB && key != VK_RETURN && key != VK_ESCAPE;
  if (OnCheckKeyForDropDownWindow) OnCheckKeyForDropDownWindow(this, key, shift, accept);
  return accept;
}

HWND TCustomdxBarCombo::GetDropDownWindow() {
  HWND window = nullptr;
  if (OnGetDropDownWindow) OnGetDropDownWindow(this, window);
  return window;
}

POINT TCustomdxBarCombo::FitDropDownPosition(int x, int y, SIZE item, SIZE dropDown, const RECT& work, bool beside) {
  if (beside) {
    if (x + dropDown.cx > work.right && x - item.cx - work.left > work.right - x) x = x - dropDown.cx - item.cx;
    if (y + dropDown.cy > work.bottom) y = work.bottom - dropDown.cy;
  } else {
    if (x + dropDown.cx > work.right) x = work.right - dropDown.cx;
    if (y + dropDown.cy > work.bottom && y - item.cy - work.top > work.bottom - y) y = y - item.cy - dropDown.cy;
  }
  return POINT{std::max(x, static_cast<int>(work.left)), std::max(y, static_cast<int>(work.top))};
}

// -- combo with lines -------------------------------------------------------------

TdxBarCustomCombo::TdxBarCustomCombo(TComponent* AOwner) : TCustomdxBarCombo(AOwner), FItems(new TStringList) {
  FItems->OnChange = TNotifyEvent::Bind<&TdxBarCustomCombo::ItemsChanged>(this);
  FListBox = new TdxBarDropDownListBox(this, this);
}

HWND TdxBarCustomCombo::GetDropDownWindow() {
  if (HWND window = TCustomdxBarCombo::GetDropDownWindow()) return window;
  return FListBox ? FListBox->Handle() : nullptr;
}

void TdxBarCustomCombo::PrepareDropDown(int editWidth, TFont* editFont) {
  if (editFont) FListBox->Font()->Assign(editFont);
  FListBox->Items()->Assign(FItems);
  const int width = DropDownWidthInEffect(editWidth);
  int height = 4;
  for (int i = 0; i < std::min(FItems->Count(), FDropDownCount); ++i) {
    int lineHeight = 0;
    MeasureItemHeight(i, lineHeight);
    height += lineHeight;
  }
  SetWindowPos(FListBox->Handle(), nullptr, 0, 0, width, height,
               SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOOWNERZORDER);
}

int TdxBarCustomCombo::SyncListWithText(const AnsiString& text, int rememberedIndex) {
  int index = rememberedIndex;
  if (index < 0 || index >= FItems->Count() || FItems->Strings(index) != text) index = FindBestPrefixMatch(text);
  if (FListBox && FListBox->HandleAllocated() && IsWindowVisible(FListBox->Handle())) {
    if (index >= 0 && index < FListBox->Count() && SameText(FItems->Strings(index), text)) {
      FListBox->SetItemIndex(index);
    } else {
      FListBox->SetItemIndex(-1);
      if (index >= 0) FListBox->SetTopIndex(index);
    }
  }
  return index;
}

TdxBarCustomCombo::~TdxBarCustomCombo() {
  FItems->OnChange.Clear();
  Free(FItems);
}

void TdxBarCustomCombo::SetText(const AnsiString& value) {
  if (FItemIndex == -1 || FItemIndex >= FItems->Count() || FItems->Strings(FItemIndex) != value)
    FItemIndex = FItems->IndexOf(value);
  TCustomdxBarCombo::SetText(value);
}

void TdxBarCustomCombo::SetItemIndex(int value) {
  if (value < 0 || value >= FItems->Count()) value = -1;
  if (value == FItemIndex) return;
  FItemIndex = value;
  const AnsiString text = value == -1 ? AnsiString() : FItems->Strings(value);
  if (text != Text()) {
    SetText(text);
  } else {
    RepaintControls();
    DoChange();
    RepaintControls();
  }
}

void TdxBarCustomCombo::SetSorted(bool value) {
  if (value == FItems->Sorted()) return;
  FItems->SetSorted(value);
  FItemIndex = FItems->IndexOf(Text());
}

void TdxBarCustomCombo::ItemsChanged(TObject* sender) {
  (void)sender;
  if (FItemIndex >= FItems->Count())
    SetItemIndex(-1);
  else
    RepaintControls();
}

int TdxBarCustomCombo::FindBestPrefixMatch(const AnsiString& text) const {
  auto upper = [](char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); };
  int result = -1;
  size_t matched = 0;
  for (int i = 0; i < FItems->Count(); ++i) {
    const AnsiString line = FItems->Strings(i);
    if (line.size() < matched) continue;
    bool samePrefix = true;
    for (size_t k = 0; k < matched && samePrefix; ++k) samePrefix = upper(line[k]) == upper(text[k]);
    if (!samePrefix) continue;
    while (matched < text.size() && matched < line.size() && upper(line[matched]) == upper(text[matched])) {
      ++matched;
      result = i;
    }
    if (matched == text.size() && result == i) break;
  }
  return result;
}

bool TdxBarCustomCombo::CheckKeyForDropDown(WORD key, TShiftState shift) {
  return shift.Empty() && (key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT);
}

int TdxBarCustomCombo::TextExtent(const AnsiString& text, bool height) {
  // The list's own font once it has a window, else the default GUI font.
  const HWND list = FListBox && FListBox->HandleAllocated() ? FListBox->Handle() : nullptr;
  HDC dc = GetDC(list);
  HGDIOBJ old = SelectObject(dc, list ? static_cast<HGDIOBJ>(FListBox->Font()->Handle()) : GetStockObject(DEFAULT_GUI_FONT));
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return height ? size.cy : size.cx;
}

void TdxBarCustomCombo::MeasureItemHeight(int index, int& height) {
  height = FItemHeight > 0 ? FItemHeight : TextExtent("Qq", true);
  if (OnMeasureItem) OnMeasureItem(this, index, height);
}

void TdxBarCustomCombo::MeasureItemWidth(int index, int& width) {
  width = TextExtent(FItems->Strings(index), false) + 2;
}

int TdxBarCustomCombo::DropDownWidthInEffect(int editWidth) {
  const bool scrolls = FItems->Count() > FDropDownCount;
  const int scrollWidth = GetSystemMetrics(SM_CXVSCROLL);
  int w;
  if (FDropDownWidth > 0) {
    w = FDropDownWidth;
  } else {
    w = std::max(0, editWidth - 4);
    if (scrolls) w -= scrollWidth;
    for (int i = 0; i < FItems->Count(); ++i) {
      int lineWidth = 0;
      MeasureItemWidth(i, lineWidth);
      w = std::max(w, lineWidth);
    }
  }
  return w + 4 + (scrolls ? scrollWidth : 0);
}
