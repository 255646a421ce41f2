// The list box: the system's LISTBOX under the control's class name, with
// owner drawing, multiple selection and virtual (count-only) lists.
#include "platform/StdCtrls.h"

#include "platform/ControlsProperties.h"
#include "platform/Properties.h"
#include "platform/Text.h"

#include <algorithm>

const TClassInfo TCustomListBox::ClassInfo{"TCustomListBox", &TCustomListControl::ClassInfo, nullptr};
const TClassInfo TListBox::ClassInfo{"TListBox", &TCustomListBox::ClassInfo, [](TObject* owner) -> TObject* {
                                       return new TListBox(static_cast<TComponent*>(owner));
                                     }};

TCustomListBox::TCustomListBox(TComponent* AOwner) : TCustomListControl(AOwner) {
  FControlStyle = {csSetCaption, csDoubleClicks};
  FWidth = 121;
  FHeight = 97;
  FCanvas.SetControl(this);
}

void TCustomListBox::CreateParams(TCreateParams& Params) {
  TCustomListControl::CreateParams(Params);
  CreateSubClass(Params, "LISTBOX");
  Params.Style |= LBS_NOTIFY | WS_VSCROLL | LBS_NOINTEGRALHEIGHT;
  switch (FStyle) {
    case lbStandard:
      Params.Style |= LBS_HASSTRINGS;
      break;
    case lbOwnerDrawFixed:
      Params.Style |= LBS_HASSTRINGS | LBS_OWNERDRAWFIXED;
      break;
    case lbOwnerDrawVariable:
      Params.Style |= LBS_HASSTRINGS | LBS_OWNERDRAWVARIABLE;
      break;
    case lbVirtual:
    case lbVirtualOwnerDraw:
      Params.Style |= LBS_NODATA | LBS_OWNERDRAWFIXED;
      break;
  }
  if (FMultiSelect) Params.Style |= FExtendedSelect ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
  Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomListBox::InitializeWnd() {
  // The parent finds the list box by this id when the window asks for its
  // items' heights (WM_MEASUREITEM names no window): the handle itself,
  // which is unique and fits the message's 32 bits.
  // (A window without WS_CHILD keeps its menu in that place.)
  if (GetWindowLongPtrA(FHandle, GWL_STYLE) & WS_CHILD)
    SetWindowLongPtrA(FHandle, GWLP_ID, static_cast<LONG_PTR>(HandleToLong(FHandle)));
  if (FStyle != lbStandard && FStyle != lbOwnerDrawVariable)
    SendMessageA(FHandle, LB_SETITEMHEIGHT, 0, MAKELPARAM(FItemHeight, 0));
  if (IsVirtual()) {
    SendMessageA(FHandle, LB_SETCOUNT, static_cast<WPARAM>(FCount), 0);
    if (!FMultiSelect) SendMessageA(FHandle, LB_SETCURSEL, static_cast<WPARAM>(FItemIndex), 0);
  } else {
    TCustomListControl::InitializeWnd();
  }
  const int count = Count();
  for (int index : FSelection)
    if (index < count) SendMessageA(FHandle, LB_SETSEL, TRUE, index);
  FSelection.clear();
  if (FMultiSelect && FItemIndex >= 0) SendMessageA(FHandle, LB_SETCARETINDEX, static_cast<WPARAM>(FItemIndex), 0);
  SendMessageA(FHandle, LB_SETTOPINDEX, static_cast<WPARAM>(FTopIndex), 0);
}

void TCustomListBox::BeforeDestroyWnd() {
  TCustomListControl::BeforeDestroyWnd();
  FTopIndex = TopIndex();
  FSelection.clear();
  if (FMultiSelect) {
    const int count = Count();
    for (int i = 0; i < count; ++i)
      if (SendMessageA(FHandle, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0) FSelection.push_back(i);
  }
}

void TCustomListBox::SetStyle(TListBoxStyle value) {
  if (FStyle == value) return;
  FStyle = value;
  RecreateWnd();
}

int TCustomListBox::ItemHeight() const {
  if (FHandle && FStyle == lbStandard) return static_cast<int>(SendMessageA(FHandle, LB_GETITEMHEIGHT, 0, 0));
  return FItemHeight;
}

void TCustomListBox::SetItemHeight(int value) {
  if (value <= 0 || FItemHeight == value) return;
  FItemHeight = value;
  RecreateWnd();
}

void TCustomListBox::SetMultiSelect(bool value) {
  if (FMultiSelect == value) return;
  FMultiSelect = value;
  RecreateWnd();
}

void TCustomListBox::SetExtendedSelect(bool value) {
  if (FExtendedSelect == value) return;
  FExtendedSelect = value;
  RecreateWnd();
}

bool TCustomListBox::Selected(int index) {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  if (!FHandle) {
    if (!FMultiSelect) return index == FItemIndex;
    return std::find(FSelection.begin(), FSelection.end(), index) != FSelection.end();
  }
  return SendMessageA(FHandle, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

void TCustomListBox::SetSelected(int index, bool value) {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  if (!FMultiSelect) {
    if (value) {
      SetItemIndex(index);
    } else if (ItemIndex() == index) {
      SetItemIndex(-1);
    }
    return;
  }
  if (!FHandle) {
    auto at = std::find(FSelection.begin(), FSelection.end(), index);
    if (value && at == FSelection.end()) FSelection.push_back(index);
    if (!value && at != FSelection.end()) FSelection.erase(at);
    return;
  }
  SendMessageA(FHandle, LB_SETSEL, value, index);
}

int TCustomListBox::SelCount() {
  if (!FMultiSelect) return -1;
  if (!FHandle) return static_cast<int>(FSelection.size());
  return static_cast<int>(SendMessageA(FHandle, LB_GETSELCOUNT, 0, 0));
}

void TCustomListBox::ClearSelection() {
  if (!FMultiSelect) {
    SetItemIndex(-1);
    return;
  }
  FSelection.clear();
  if (FHandle) SendMessageA(FHandle, LB_SETSEL, FALSE, -1);
}

int TCustomListBox::TopIndex() {
  if (!FHandle) return FTopIndex;
  return static_cast<int>(SendMessageA(FHandle, LB_GETTOPINDEX, 0, 0));
}

void TCustomListBox::SetTopIndex(int value) {
  FTopIndex = std::max(value, 0);
  if (FHandle) SendMessageA(FHandle, LB_SETTOPINDEX, static_cast<WPARAM>(FTopIndex), 0);
}

int TCustomListBox::Count() const {
  if (IsVirtual()) return FCount;
  return FItems.Count();
}

void TCustomListBox::SetCount(int value) {
  if (!IsVirtual()) throw EInvalidOperation("Only a virtual list box takes a count");
  value = std::max(value, 0);
  FCount = value;
  if (FItemIndex >= value) FItemIndex = -1;
  std::erase_if(FSelection, [value](int index) { return index >= value; });
  if (FHandle) SendMessageA(FHandle, LB_SETCOUNT, static_cast<WPARAM>(value), 0);
}

int TCustomListBox::ItemIndex() {
  if (!FHandle) return FItemIndex;
  // The focused item: a list with several selected has no one current.
  if (FMultiSelect) return static_cast<int>(SendMessageA(FHandle, LB_GETCARETINDEX, 0, 0));
  return static_cast<int>(SendMessageA(FHandle, LB_GETCURSEL, 0, 0));
}

void TCustomListBox::SetItemIndex(int value) {
  if (!FMultiSelect) {
    if (!IsVirtual()) {
      TCustomListControl::SetItemIndex(value);
      return;
    }
    if (value < -1 || value >= FCount) value = -1;
    FItemIndex = value;
    if (FHandle) SendMessageA(FHandle, LB_SETCURSEL, static_cast<WPARAM>(value), 0);
    return;
  }
  if (value < -1 || value >= Count()) value = -1;
  FItemIndex = value;
  if (FHandle && value >= 0) SendMessageA(FHandle, LB_SETCARETINDEX, static_cast<WPARAM>(value), 0);
}

int TCustomListBox::ItemAtPos(POINT pos, bool existing) {
  const int count = Count();
  if (FHandle) {
    const LRESULT hit = SendMessageA(FHandle, LB_ITEMFROMPOINT, 0, MAKELPARAM(pos.x, pos.y));
    const int index = LOWORD(hit);
    if (HIWORD(hit) == 0 && index < count) {
      RECT r = ItemRect(index);
      if (PtInRect(&r, pos)) return index;
    }
  }
  return existing ? -1 : count;
}

RECT TCustomListBox::ItemRect(int index) {
  RECT r{};
  if (FHandle) SendMessageA(FHandle, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  return r;
}

AnsiString TCustomListBox::DoGetData(int Index) {
  AnsiString data;
  FireEvent(OnData, this, Index, data);
  return data;
}

int TCustomListBox::DoFindData(const AnsiString& FindString) {
  return OnDataFind ? OnDataFind(this, FindString) : -1;
}

int TCustomListBox::FindItemStartingWith(const AnsiString& prefix) {
  if (IsVirtual()) {
    const int found = DoFindData(prefix);
    return found >= 0 && found < Count() ? found : -1;
  }
  if (!FHandle) {
    for (int i = 0; i < FItems.Count(); ++i) {
      const AnsiString text = FItems.Get(i);
      if (text.size() >= prefix.size() && AnsiSameText(text.substr(0, prefix.size()), prefix)) return i;
    }
    return -1;
  }
  const LRESULT found = SendMessageA(FHandle, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(prefix.c_str()));
  return found == LB_ERR ? -1 : static_cast<int>(found);
}

AnsiString TCustomListBox::ItemText(int Index) {
  if (IsVirtual()) return DoGetData(Index);
  return Index >= 0 && Index < FItems.Count() ? FItems.Get(Index) : AnsiString();
}

void TCustomListBox::MeasureItem(int Index, int& Height) { FireEvent(OnMeasureItem, this, Index, Height); }

void TCustomListBox::DrawItem(int Index, const RECT& Rect, TOwnerDrawState State) {
  if (OnDrawItem) {
    OnDrawItem(this, Index, Rect, State);
    return;
  }
  FCanvas.FillRect(Rect);
  if (Index < 0) return;
  const AnsiString text = ItemText(Index);
  RECT r = Rect;
  r.left += 2;
  SetBkMode(FCanvas.Handle(), TRANSPARENT);
  DrawTextA(FCanvas.Handle(), text.c_str(), static_cast<int>(text.size()), &r,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
}

void TCustomListBox::HandleDrawItem(const DRAWITEMSTRUCT& item) {
  TOwnerDrawState state;
  if (item.itemState & ODS_SELECTED) state.Include(odSelected);
  if (item.itemState & ODS_GRAYED) state.Include(odGrayed);
  if (item.itemState & ODS_DISABLED) state.Include(odDisabled);
  if (item.itemState & ODS_CHECKED) state.Include(odChecked);
  if (item.itemState & ODS_FOCUS) state.Include(odFocused);
  if (item.itemState & ODS_DEFAULT) state.Include(odDefault);
  if (item.itemState & ODS_HOTLIGHT) state.Include(odHotLight);
  if (item.itemState & ODS_INACTIVE) state.Include(odInactive);
  if (item.itemState & ODS_NOACCEL) state.Include(odNoAccel);
  if (item.itemState & ODS_NOFOCUSRECT) state.Include(odNoFocusRect);
  const TSavedDCGuard saved(item.hDC);
  const TCanvasPaintScope scope(FCanvas, item.hDC);
  FCanvas.Font()->Assign(&FFont);
  FCanvas.Brush()->Assign(&FBrush);
  const int index = static_cast<int>(item.itemID);
  if (index >= 0 && state.Contains(odSelected)) {
    FCanvas.Brush()->SetColor(clHighlight);
    FCanvas.Font()->SetColor(clHighlightText);
  }
  if (state.Contains(odNoFocusRect)) {
    if (item.itemAction == ODA_FOCUS) return;
  } else if (item.itemAction == ODA_FOCUS) {
    // The focus rectangle is drawn inverted: drawing it again takes it away.
    DrawFocusRect(item.hDC, &item.rcItem);
    return;
  }
  if (index >= 0) {
    DrawItem(index, item.rcItem, state);
  } else {
    FCanvas.FillRect(item.rcItem);
  }
  if (state.Contains(odFocused) && !state.Contains(odNoFocusRect)) DrawFocusRect(item.hDC, &item.rcItem);
}

void TCustomListBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND:
      if (HIWORD(Message.WParam) == LBN_SELCHANGE) Click();
      if (HIWORD(Message.WParam) == LBN_DBLCLK) DblClick();
      return;
    case CN_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam);
      if (!item || item->hwndItem != FHandle) break;
      HandleDrawItem(*item);
      Message.Result = TRUE;
      return;
    }
    case CN_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
      if (!item || item->CtlType != ODT_LISTBOX) break;
      int height = FItemHeight;
      if (FStyle == lbOwnerDrawVariable) MeasureItem(static_cast<int>(item->itemID), height);
      item->itemHeight = static_cast<UINT>(std::clamp(height, 1, 255));
      Message.Result = TRUE;
      return;
    }
    default:
      break;
  }
  TCustomListControl::Dispatch(Message);
}

// -- Published properties -------------------------------------------------------

namespace {

const TEnumInfo ListBoxStyleNames{"TListBoxStyle",
                                  {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable", "lbVirtual",
                                   "lbVirtualOwnerDraw"}};

bool VirtualCountStored(TObject* o) { return static_cast<TCustomListBox*>(o)->IsVirtual(); }

// Style first: a virtual list's count and an owner-drawn list's heights
// are read for the kind of list it is.
const TPublishedRegistration customListBoxRegistration(&TCustomListBox::ClassInfo, {
    Property<&TCustomListBox::Style, &TCustomListBox::SetStyle>("Style", ListBoxStyleNames).Default(lbStandard),
    Property<&TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect>("MultiSelect").Default(false),
    Property<&TCustomListBox::ExtendedSelect, &TCustomListBox::SetExtendedSelect>("ExtendedSelect").Default(true),
    Property<&TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight>("ItemHeight").Default(16),
    StoredWhen(Property<&TCustomListBox::Count, &TCustomListBox::SetCount>("Count"), VirtualCountStored),
    Event<&TCustomListBox::OnDrawItem>("OnDrawItem"),
    Event<&TCustomListBox::OnMeasureItem>("OnMeasureItem"),
    Event<&TCustomListBox::OnData>("OnData"),
    Event<&TCustomListBox::OnDataFind>("OnDataFind"),
});
const TPublishedRegistration listBoxRegistration(&TListBox::ClassInfo, {});

}  // namespace
