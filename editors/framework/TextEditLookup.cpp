// The text edit's lookup data: items, the current item, incremental search
// and stepping.
#include "editors/framework/TextEditLookup.h"

#include "editors/framework/TextEdit.h"
#include "platform/CodePage.h"

#include <algorithm>

// -- The edit list box ---------------------------------------------------------------------

const TClassInfo TcxCustomEditListBox::ClassInfo{
    "TcxCustomEditListBox", &TcxCustomInnerListBox::ClassInfo,
    [](TObject* owner) -> TObject* { return new TcxCustomEditListBox(static_cast<TComponent*>(owner)); }};

TcxCustomEditListBox::TcxCustomEditListBox(TComponent* owner) : TcxCustomInnerListBox(owner) {
  SetStyle(lbOwnerDrawFixed);
}

void TcxCustomEditListBox::SetItemCount(int value) {
  if (value < 0) value = 0;
  if (Count() == value) return;
  Items()->BeginUpdate();
  try {
    while (Count() < value) Items()->Add(AnsiString());
    while (Count() > value) Items()->Delete(Count() - 1);
  } catch (...) {
    Items()->EndUpdate();
    throw;
  }
  Items()->EndUpdate();
}

void TcxCustomEditListBox::SetItemIndex(int value) {
  TcxCustomInnerListBox::SetItemIndex(value);
  SelectionChanged();
}

void TcxCustomEditListBox::SelectionChanged() {
  RefreshOwnScrollBars();
  FireEvent(OnSelectionChanged, this);
}

bool TcxCustomEditListBox::DrawItemByOwner(int, const RECT&, TOwnerDrawState) { return false; }

AnsiString TcxCustomEditListBox::ItemTextAt(int index) { return Items()->Strings(index); }

namespace {

// The extent of a text in a font, measured on a screen device context.
SIZE ExtentInFont(TFont* font, const AnsiString& text) {
  SIZE size{};
  HDC dc = GetDC(nullptr);
  if (!dc) return size;
  HGDIOBJ old = SelectObject(dc, font->Handle());
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return size;
}

}  // namespace

int TcxCustomEditListBox::ItemHeightFromFont() { return ExtentInFont(Font(), "Wg").cy; }

int TcxCustomEditListBox::ItemTextWidth(int index) { return ExtentInFont(Font(), ItemTextAt(index)).cx; }

bool TcxCustomEditListBox::DrawsFocusRect() {
  return FEdit && (FEdit->EditingStyle() == tesFixedList || FEdit->EditingStyle() == tesNoEdit);
}

void TcxCustomEditListBox::Click() {
  TcxCustomInnerListBox::Click();
  SelectionChanged();
}

void TcxCustomEditListBox::MouseMove(TShiftState Shift, int X, int Y) {
  TcxCustomInnerListBox::MouseMove(Shift, X, Y);
  if (!FHotTrack || !HandleAllocated() || GetCapture() == Handle()) return;
  const int index = ItemAtPos(POINT{X, Y}, true);
  if (index >= 0 && index != ItemIndex()) SetItemIndex(index);
}

bool TcxCustomEditListBox::DoMouseWheel(TShiftState Shift, int WheelDelta, POINT MousePos) {
  if (TcxCustomInnerListBox::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (!HandleAllocated()) return false;
  UINT lines = 3;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  LRESULT answer = 1;
  for (UINT i = 0; i < lines; ++i)
    answer = SendMessageA(Handle(), WM_VSCROLL, WheelDelta > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
  return answer == 0;
}

void TcxCustomEditListBox::WndProc(TMessage& Message) {
  TcxCustomInnerListBox::WndProc(Message);
  // Drawn as focused while its popup shows.
  if (Message.Msg == CM_SHOWINGCHANGED && Showing() && HandleAllocated()) {
    TMessage focus{};
    focus.Msg = WM_SETFOCUS;
    DefaultHandler(focus);
  }
}

void TcxCustomEditListBox::DrawItem(int Index, const RECT& Rect, TOwnerDrawState State) {
  if (DrawItemByOwner(Index, Rect, State)) return;
  TCanvas* canvas = Canvas();
  canvas->FillRect(Rect);
  if (Index < 0 || Index >= Count()) return;
  RECT r = Rect;
  const bool rightToLeft = UseRightToLeftReading();
  if (rightToLeft)
    r.right -= 2;
  else
    r.left += 2;
  UINT flags = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
  if (rightToLeft) flags |= DT_RIGHT | DT_RTLREADING;
  const AnsiString text = ItemTextAt(Index);
  SetBkMode(canvas->Handle(), TRANSPARENT);
  DrawTextA(canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &r, flags);
}

void TcxCustomEditListBox::MeasureItem(int, int& Height) { Height = ItemHeightFromFont(); }

// -- The lookup data -----------------------------------------------------------------------

const TClassInfo TcxCustomTextEditLookupData::ClassInfo{"TcxCustomTextEditLookupData",
                                                        &TcxInterfacedPersistent::ClassInfo, nullptr};

TcxCustomTextEditLookupData::TcxCustomTextEditLookupData(TcxCustomTextEdit* owner)
    : TcxInterfacedPersistent(owner), FOwner(owner) {}

AnsiString TcxCustomTextEditLookupData::ItemText(int index) const {
  return FOwner->ActiveProperties()->LookupItems()->Strings(index);
}

int TcxCustomTextEditLookupData::ItemCount() const { return FOwner->ActiveProperties()->LookupItems()->Count(); }

AnsiString TcxCustomTextEditLookupData::TextOfKey(int key) const {
  if (key < 0 || key >= ItemCount()) return AnsiString();
  return ItemText(key);
}

bool TcxCustomTextEditLookupData::CanFindText(const AnsiString& text) const {
  for (int i = 0; i < ItemCount(); ++i)
    if (AnsiUpperCase(ItemText(i)) == AnsiUpperCase(text)) return true;
  return false;
}

void TcxCustomTextEditLookupData::SetListIndex(int index) {
  if (index < -1 || index >= ItemCount()) return;
  if (index == FItemIndex && index != -1) return;
  if (TcxCustomEditListBox* list = FList.Get(); list && list->ItemCount() > 0) {
    if (index == -1) list->SetItemIndex(0);
    list->SetItemIndex(index);
  }
  FItemIndex = index;
}

void TcxCustomTextEditLookupData::TakeListIndex(TObject*) {
  if (TcxCustomEditListBox* list = FList.Get()) FItemIndex = list->ItemIndex();
}

void TcxCustomTextEditLookupData::ReloadListItems() {
  if (TcxCustomEditListBox* list = FList.Get()) list->SetItemCount(ItemCount());
}

void TcxCustomTextEditLookupData::PrepareList(TWinControl* parent) {
  if (!FList.Get()) {
    const TClass cls = ListClass();
    if (!cls) return;
    auto* list = static_cast<TcxCustomEditListBox*>(CreateObject(cls, parent));
    list->SetEdit(FOwner);
    FList = list;
  }
  TcxCustomEditListBox* list = FList.Get();
  TcxContainerStyle* style = FOwner->CurrentStyle();
  list->SetColor(style->GetColor());
  list->Font()->Assign(style->EffectiveFont());
  list->Canvas()->Font()->Assign(style->EffectiveFont());
  list->SetItemHeight(list->ItemHeightFromFont());
  list->SetParent(parent);
  list->OnSelectionChanged = TNotifyEvent::Bind<&TcxCustomTextEditLookupData::TakeListIndex>(this);
  list->SetItemCount(ItemCount());
  list->SetItemIndex(FItemIndex);
  list->AfterItemsLoaded();
  SyncListToText();
}

void TcxCustomTextEditLookupData::PlaceList(const RECT& bounds) {
  TcxCustomEditListBox* list = FList.Get();
  if (!list) return;
  list->SetBoundsRect(bounds);
  if (list->HandleAllocated()) {
    const WPARAM width = SendMessageA(list->Handle(), LB_GETHORIZONTALEXTENT, 0, 0);
    SendMessageA(list->Handle(), LB_SETHORIZONTALEXTENT, 0, 0);
    SendMessageA(list->Handle(), LB_SETHORIZONTALEXTENT, width, 0);
  }
}

bool TcxCustomTextEditLookupData::PointInList(POINT screen) const {
  TcxCustomEditListBox* list = FList.Get();
  if (!list || !list->HandleAllocated()) return false;
  RECT r{};
  GetWindowRect(list->Handle(), &r);
  return PtInRect(&r, screen) != FALSE;
}

void TcxCustomTextEditLookupData::ChooseListItem() {
  if (FItemIndex == -1) return;
  if (FItemIndex == FCurrentKey && !FOwner->StartEditing()) return;
  const int old = FCurrentKey;
  SetCurrentKey(FItemIndex);
  if (FCurrentKey == old) {
    const bool saved = FOwner->TypedLookup();
    FOwner->SetTypedLookup(true);
    FireEvent(OnSelectItem, this);
    FOwner->SetTypedLookup(saved);
  }
}

void TcxCustomTextEditLookupData::SyncListIndex() {
  if (FOwner->StartingEdit()) return;
  SetListIndex(FCurrentKey);
}

void TcxCustomTextEditLookupData::SelectIndex(int index) {
  if (index < -1 || index >= ItemCount()) return;
  FCurrentKey = index;
  SetListIndex(index);
}

void TcxCustomTextEditLookupData::ResetCurrentKey(bool exact, const AnsiString& text) {
  const int style = FOwner->EditingStyle();
  bool reset = true;
  if (style == tesEditList)
    reset = exact || text.empty();
  else if (style == tesFixedList)
    reset = exact;
  if (reset) SelectIndex(-1);
}

bool TcxCustomTextEditLookupData::LocateText(AnsiString& text, AnsiString& tail, bool startAfterCurrent, bool exact) {
  const int count = ItemCount();
  if (count == 0) {
    ResetCurrentKey(exact, text);
    return false;
  }
  if (exact && FOwner->ActiveProperties()->ExactLookup()) {
    for (int i = 0; i < count; ++i) {
      if (AnsiUpperCase(ItemText(i)) == AnsiUpperCase(text)) {
        SelectIndex(i);
        tail.clear();
        return true;
      }
    }
    SelectIndex(-1);
    return false;
  }
  const int start = startAfterCurrent ? FItemIndex : -1;
  const size_t n = text.size();
  const AnsiString wanted = AnsiUpperCase(text);
  for (int i = start + 1; n > 0 && i < count && i != start; ++i) {
    const AnsiString item = ItemText(i);
    if (item.size() < n) continue;
    // Whole characters only: the item's first n bytes must end on a
    // character boundary.
    if (n < item.size() && ByteType(item, static_cast<int>(n) + 1) == mbTrailByte) continue;
    if (AnsiUpperCase(item.substr(0, n)) != wanted) continue;
    text = item.substr(0, n);
    tail = item.substr(n);
    SelectIndex(i);
    return true;
  }
  ResetCurrentKey(exact, text);
  return false;
}

void TcxCustomTextEditLookupData::SyncListToText() {
  if (FOwner->StartingEdit()) return;
  const AnsiString text = FOwner->ReadShownText();
  if (FItemIndex >= 0 && FItemIndex < ItemCount() && AnsiUpperCase(ItemText(FItemIndex)) == AnsiUpperCase(text))
    return;
  AnsiString copy = text, tail;
  LocateText(copy, tail, false, true);
}

void TcxCustomTextEditLookupData::SetCurrentKey(int key) {
  const int old = FCurrentKey;
  SelectIndex(key);
  const bool saved = FOwner->TypedLookup();
  FOwner->SetTypedLookup(true);
  if (FCurrentKey != old) {
    FireEvent(OnSelectItem, this);
  } else if (key >= 0 && key < ItemCount() && FOwner->ReadShownText() != ItemText(key)) {
    FireEvent(OnSelectItem, this);
  }
  FOwner->SetTypedLookup(saved);
}

void TcxCustomTextEditLookupData::Step(TcxLookupStep direction, bool wrapAround) {
  const int count = ItemCount();
  if (count == 0) return;
  const int base = FItemIndex != -1 ? FItemIndex : FCurrentKey;
  const int rows = FOwner->ActiveProperties()->DefaultListRows();
  int index = base;
  switch (direction) {
    case lsFirst: index = 0; break;
    case lsLast: index = count - 1; break;
    case lsNext:
      if (base == count - 1)
        index = wrapAround ? 0 : base;
      else
        index = base + 1;
      break;
    case lsPrevious:
      if (base == 0)
        index = wrapAround ? count - 1 : 0;
      else if (base == -1)
        index = wrapAround ? count - 1 : -1;
      else
        index = base - 1;
      break;
    case lsPageUp:
      if (base == -1)
        index = wrapAround ? count - 1 : -1;
      else if (base == 0 && wrapAround)
        index = count - 1;
      else
        index = std::max(0, base - rows + 1);
      break;
    case lsPageDown:
      if (base == count - 1 && wrapAround)
        index = 0;
      else
        index = std::min(count - 1, base == -1 ? rows - 1 : base + rows - 1);
      break;
  }
  TcxCustomEditListBox* list = FList.Get();
  const bool listShown = list && list->HandleAllocated() && list->Visible();
  if (!listShown || (FOwner->ActiveProperties()->ImmediateUpdateText() && FOwner->StartEditing()))
    SetCurrentKey(index);
  else
    SetListIndex(index);
}
