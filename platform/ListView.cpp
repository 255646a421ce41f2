#include "platform/ListView.h"

#include "platform/CommonControls.h"
#include "platform/ControlsProperties.h"
#include "platform/Exceptions.h"

#include <commctrl.h>

#include <algorithm>

const TClassInfo TListColumn::ClassInfo{"TListColumn", &TCollectionItem::ClassInfo, [](TObject* owner) -> TObject* {
                                          return new TListColumn(static_cast<TCollection*>(owner));
                                        }};
const TClassInfo TListColumns::ClassInfo{"TListColumns", &TCollection::ClassInfo, nullptr};
const TClassInfo TListItem::ClassInfo{"TListItem", &TPersistent::ClassInfo, nullptr};
const TClassInfo TListItems::ClassInfo{"TListItems", &TPersistent::ClassInfo, nullptr};
const TClassInfo TCustomListView::ClassInfo{"TCustomListView", &TWinControl::ClassInfo, nullptr};
const TClassInfo TListView::ClassInfo{"TListView", &TCustomListView::ClassInfo, [](TObject* owner) -> TObject* {
                                        return new TListView(static_cast<TComponent*>(owner));
                                      }};
const TClassInfo THeaderSection::ClassInfo{"THeaderSection", &TCollectionItem::ClassInfo,
                                           [](TObject* owner) -> TObject* {
                                             return new THeaderSection(static_cast<TCollection*>(owner));
                                           }};
const TClassInfo THeaderSections::ClassInfo{"THeaderSections", &TCollection::ClassInfo, nullptr};
const TClassInfo THeaderControl::ClassInfo{"THeaderControl", &TWinControl::ClassInfo, [](TObject* owner) -> TObject* {
                                             return new THeaderControl(static_cast<TComponent*>(owner));
                                           }};

namespace {

int ColumnFormat(TAlignment alignment) {
  switch (alignment) {
    case taRightJustify:
      return LVCFMT_RIGHT;
    case taCenter:
      return LVCFMT_CENTER;
    default:
      return LVCFMT_LEFT;
  }
}

}  // namespace

// -- Columns ----------------------------------------------------------------------------

TListColumn::TListColumn(TCollection* Collection) : TCollectionItem(Collection) {}

TCustomListView* TListColumn::ListView() const {
  auto* columns = static_cast<TListColumns*>(Collection());
  return columns ? columns->Owner() : nullptr;
}

void TListColumn::SetCaption(const AnsiString& value) {
  if (FCaption == value) return;
  FCaption = value;
  Changed(false);
}

int TListColumn::Width() const {
  TCustomListView* list = ListView();
  if (list && list->HandleAllocated() && list->FViewStyle == vsReport)
    return static_cast<int>(SendMessageA(list->FHandle, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(Index()), 0));
  return FWidth;
}

void TListColumn::SetWidth(int value) {
  FWidth = value;
  Changed(false);
}

void TListColumn::SetAlignment(TAlignment value) {
  if (FAlignment == value) return;
  FAlignment = value;
  Changed(false);
}

void TListColumn::Assign(TPersistent* source) {
  if (auto* other = ObjectAs<TListColumn>(source)) {
    FCaption = other->FCaption;
    FWidth = other->FWidth;
    FAlignment = other->FAlignment;
    Changed(false);
    return;
  }
  TCollectionItem::Assign(source);
}

TListColumns::TListColumns(TCustomListView* listView) : TCollection(&TListColumn::ClassInfo), FListView(listView) {}

TPersistent* TListColumns::GetOwner() { return FListView; }

void TListColumns::Update(TCollectionItem*) { FListView->UpdateColumns(); }

// -- Items ------------------------------------------------------------------------------

TListItem::TListItem(TListItems* owner) : FOwner(owner) {
  FSubItems.OnChange = TNotifyEvent::Bind<&TListItem::SubItemsChanged>(this);
}

TCustomListView* TListItem::ListView() const { return FOwner->FOwner; }

int TListItem::Index() const { return FOwner->IndexOf(this); }

void TListItem::SetCaption(const AnsiString& value) {
  if (FCaption == value) return;
  FCaption = value;
  ListView()->UpdateWindowItem(this, false);
  if (FOwner->FUpdateCount == 0) ListView()->SortIfSorted();
}

void TListItem::SetImageIndex(int value) {
  FImageIndex = value;
  ListView()->UpdateWindowItem(this, false);
}

void TListItem::SubItemsChanged(TObject*) { ListView()->UpdateWindowItem(this, true); }

bool TListItem::GetState(UINT mask, bool kept) const {
  TCustomListView* list = ListView();
  if (!list->HandleAllocated()) return kept;
  return (SendMessageA(list->FHandle, LVM_GETITEMSTATE, static_cast<WPARAM>(Index()), mask) & mask) != 0;
}

void TListItem::SetState(UINT mask, bool value, bool& kept) {
  kept = value;
  TCustomListView* list = ListView();
  if (!list->HandleAllocated()) return;
  LVITEMA item{};
  item.stateMask = mask;
  item.state = value ? mask : 0;
  SendMessageA(list->FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(Index()), reinterpret_cast<LPARAM>(&item));
}

bool TListItem::Selected() const { return GetState(LVIS_SELECTED, FSelected); }
void TListItem::SetSelected(bool value) {
  TCustomListView* list = ListView();
  // Without a window the list reports the change itself; the window reports its own.
  const bool report = !list->HandleAllocated() && FSelected != value;
  SetState(LVIS_SELECTED, value, FSelected);
  if (report) list->SelectItem(this, value);
}
bool TListItem::Focused() const { return GetState(LVIS_FOCUSED, FFocused); }
void TListItem::SetFocused(bool value) { SetState(LVIS_FOCUSED, value, FFocused); }

bool TListItem::Checked() const {
  TCustomListView* list = ListView();
  if (!list->HandleAllocated() || !list->FCheckboxes) return FChecked;
  const auto state = SendMessageA(list->FHandle, LVM_GETITEMSTATE, static_cast<WPARAM>(Index()), LVIS_STATEIMAGEMASK);
  return ((state & LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void TListItem::SetChecked(bool value) {
  FChecked = value;
  TCustomListView* list = ListView();
  if (!list->HandleAllocated() || !list->FCheckboxes) return;
  LVITEMA item{};
  item.stateMask = LVIS_STATEIMAGEMASK;
  item.state = INDEXTOSTATEIMAGEMASK(value ? 2 : 1);
  SendMessageA(list->FHandle, LVM_SETITEMSTATE, static_cast<WPARAM>(Index()), reinterpret_cast<LPARAM>(&item));
}

RECT TListItem::DisplayRect() const {
  RECT rect{};
  TCustomListView* list = ListView();
  if (!list->HandleAllocated()) return rect;
  rect.left = LVIR_BOUNDS;
  if (!SendMessageA(list->FHandle, LVM_GETITEMRECT, static_cast<WPARAM>(Index()), reinterpret_cast<LPARAM>(&rect)))
    rect = RECT{};
  return rect;
}

void TListItem::MakeVisible() {
  TCustomListView* list = ListView();
  if (list->HandleAllocated()) SendMessageA(list->FHandle, LVM_ENSUREVISIBLE, static_cast<WPARAM>(Index()), FALSE);
}

void TListItem::Delete() { FOwner->Delete(Index()); }

void TListItem::Assign(TPersistent* source) {
  if (auto* other = ObjectAs<TListItem>(source)) {
    FCaption = other->FCaption;
    FImageIndex = other->FImageIndex;
    FData = other->FData;
    FChecked = other->FChecked;
    FSubItems.Assign(&other->FSubItems);  // reports the item to the window
    ListView()->UpdateWindowItem(this, false);
    return;
  }
  TPersistent::Assign(source);
}

TListItems::TListItems(TCustomListView* owner) : FOwner(owner) {}

TListItems::~TListItems() {
  for (TListItem* item : FItems) delete item;
}

TListItem* TListItems::Item(int index) const {
  if (index < 0 || index >= Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return FItems[static_cast<size_t>(index)];
}

int TListItems::IndexOf(const TListItem* item) const {
  auto it = std::find(FItems.begin(), FItems.end(), item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int index) {
  if (index < 0 || index > Count()) throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  auto* item = new TListItem(this);
  FItems.insert(FItems.begin() + index, item);
  FOwner->InsertWindowItem(index);
  return item;
}

void TListItems::Delete(int index) {
  TListItem* item = Item(index);
  FireEvent(FOwner->OnDeletion, FOwner, item);
  FOwner->DeleteWindowItem(index);
  FItems.erase(FItems.begin() + index);
  delete item;
}

void TListItems::Clear() {
  BeginUpdate();
  while (!FItems.empty()) Delete(Count() - 1);
  EndUpdate();
}

void TListItems::BeginUpdate() {
  if (FUpdateCount++ == 0 && FOwner->HandleAllocated()) SendMessageA(FOwner->FHandle, WM_SETREDRAW, FALSE, 0);
}

void TListItems::EndUpdate() {
  if (FUpdateCount == 0 || --FUpdateCount > 0) return;
  FOwner->SortIfSorted();
  if (FOwner->HandleAllocated()) {
    SendMessageA(FOwner->FHandle, WM_SETREDRAW, TRUE, 0);
    FOwner->Invalidate();
  }
}

void TListItems::Assign(TPersistent* source) {
  auto* other = ObjectAs<TListItems>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  if (other == this) return;
  BeginUpdate();
  Clear();
  for (TListItem* from : other->FItems) Add()->Assign(from);
  EndUpdate();
}

// -- TCustomListView --------------------------------------------------------------------

TCustomListView::TCustomListView(TComponent* AOwner)
    : TWinControl(AOwner), FColumns(this), FItems(this), FLargeImages(this), FSmallImages(this) {
  FTabStop = true;
  FParentColor = false;
  FColor = clWindow;
  FBrush.SetColor(FColor);
  FWidth = 250;
  FHeight = 150;
  FLargeImages.OnChange = TNotifyEvent::Bind<&TCustomListView::ImagesChanged>(this);
  FSmallImages.OnChange = TNotifyEvent::Bind<&TCustomListView::ImagesChanged>(this);
}

TCustomListView::~TCustomListView() = default;

void TCustomListView::CreateParams(TCreateParams& Params) {
  InitCommonControlClasses(ICC_LISTVIEW_CLASSES);
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_LISTVIEWA);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
  Params.ExStyle |= WS_EX_CLIENTEDGE;
  static const DWORD views[] = {LVS_ICON, LVS_SMALLICON, LVS_LIST, LVS_REPORT};
  Params.Style |= views[static_cast<int>(FViewStyle)] | LVS_SHAREIMAGELISTS;
  if (!FMultiSelect) Params.Style |= LVS_SINGLESEL;
  if (!FShowColumnHeaders) Params.Style |= LVS_NOCOLUMNHEADER;
  if (!FHideSelection) Params.Style |= LVS_SHOWSELALWAYS;
  if (!FReadOnly) Params.Style |= LVS_EDITLABELS;
}

DWORD TCustomListView::ExtendedStyle() const {
  DWORD style = 0;
  if (FRowSelect) style |= LVS_EX_FULLROWSELECT;
  if (FGridLines) style |= LVS_EX_GRIDLINES;
  if (FCheckboxes) style |= LVS_EX_CHECKBOXES;
  return style;
}

void TCustomListView::InitializeWnd() {
  TQuietScope quiet(FQuiet);
  SendMessageA(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(ExtendedStyle()));
  SendMessageA(FHandle, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
  SendMessageA(FHandle, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
  ImagesChanged(this);
  UpdateColumns();
  for (int i = 0; i < FItems.Count(); ++i) InsertWindowItem(i);
}

void TCustomListView::BeforeDestroyWnd() {
  // Width the user dragged, selection and checks go back to the objects.
  if (FViewStyle == vsReport)
    for (int i = 0; i < FColumns.Count(); ++i) FColumns.Items(i)->FWidth = FColumns.Items(i)->Width();
  for (TListItem* item : FItems.FItems) {
    item->FSelected = item->Selected();
    item->FFocused = item->Focused();
    item->FChecked = item->Checked();
  }
}

void TCustomListView::UpdateColumns() {
  if (!HandleAllocated()) return;
  TQuietScope quiet(FQuiet);
  while (SendMessageA(FHandle, LVM_DELETECOLUMN, 0, 0)) {
  }
  for (int i = 0; i < FColumns.Count(); ++i) {
    TListColumn* column = FColumns.Items(i);
    LVCOLUMNA lv{};
    lv.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    // The first column is always left-aligned by the system.
    lv.fmt = i == 0 ? LVCFMT_LEFT : ColumnFormat(column->FAlignment);
    lv.cx = column->FWidth;
    AnsiString caption = column->FCaption;
    lv.pszText = caption.data();
    lv.iSubItem = i;
    SendMessageA(FHandle, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&lv));
  }
  for (TListItem* item : FItems.FItems) UpdateWindowItem(item, true);
}

void TCustomListView::InsertWindowItem(int index) {
  if (!HandleAllocated()) return;
  TQuietScope quiet(FQuiet);
  TListItem* item = FItems.FItems[static_cast<size_t>(index)];
  LVITEMA lv{};
  lv.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
  lv.iItem = index;
  lv.pszText = item->FCaption.data();
  lv.iImage = item->FImageIndex;
  lv.lParam = reinterpret_cast<LPARAM>(item);
  lv.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  lv.state = (item->FSelected ? LVIS_SELECTED : 0) | (item->FFocused ? LVIS_FOCUSED : 0);
  if (SendMessageA(FHandle, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&lv)) < 0)
    throw EOutOfResources("The list view refused the item '" + item->FCaption + "'");
  if (FCheckboxes) item->SetChecked(item->FChecked);
  UpdateWindowItem(item, true);
}

void TCustomListView::UpdateWindowItem(TListItem* item, bool subItems) {
  if (!HandleAllocated()) return;
  const int index = item->Index();
  if (index < 0) return;
  LVITEMA lv{};
  lv.mask = LVIF_TEXT | LVIF_IMAGE;
  lv.iItem = index;
  lv.pszText = item->FCaption.data();
  lv.iImage = item->FImageIndex;
  SendMessageA(FHandle, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&lv));
  if (!subItems) return;
  // Every further column gets its text, empty where there is no sub-item.
  const int columns = std::max(FColumns.Count() - 1, item->FSubItems.Count());
  for (int i = 0; i < columns; ++i) {
    AnsiString text = i < item->FSubItems.Count() ? item->FSubItems.Get(i) : AnsiString();
    LVITEMA sub{};
    sub.iSubItem = i + 1;
    sub.pszText = text.data();
    SendMessageA(FHandle, LVM_SETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&sub));
  }
}

void TCustomListView::DeleteWindowItem(int index) {
  if (!HandleAllocated()) return;
  TListItem* before = Selected();
  {
    TQuietScope quiet(FQuiet);
    SendMessageA(FHandle, LVM_DELETEITEM, static_cast<WPARAM>(index), 0);
  }
  if (before && before == FItems.FItems[static_cast<size_t>(index)]) SelectItem(before, false);
}

int TCustomListView::CompareItems(TListItem* a, TListItem* b) {
  if (OnCompare && FSortType != stText) {
    int result = 0;
    OnCompare(this, a, b, 0, result);
    if (result != 0 || FSortType == stData) return result;
  }
  return AnsiCompareText(a->FCaption, b->FCaption);
}

int CALLBACK TCustomListView::CompareByPosition(LPARAM a, LPARAM b, LPARAM) {
  return reinterpret_cast<TListItem*>(a)->FPosition - reinterpret_cast<TListItem*>(b)->FPosition;
}

void TCustomListView::AlphaSort() {
  auto& items = FItems.FItems;
  std::stable_sort(items.begin(), items.end(), [this](TListItem* a, TListItem* b) { return CompareItems(a, b) < 0; });
  if (!HandleAllocated()) return;
  for (size_t i = 0; i < items.size(); ++i) items[i]->FPosition = static_cast<int>(i);
  SendMessageA(FHandle, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&CompareByPosition));
}

void TCustomListView::SortIfSorted() {
  if (FSortType == stNone || (FSortType == stData && !OnCompare)) return;
  AlphaSort();
}

void TCustomListView::SetSortType(TSortType value) {
  if (FSortType == value) return;
  FSortType = value;
  SortIfSorted();
}

TListItem* TCustomListView::Selected() const {
  if (!FHandle) {
    for (TListItem* item : FItems.FItems)
      if (item->FSelected) return item;
    return nullptr;
  }
  const auto index = SendMessageA(FHandle, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
  return index >= 0 && index < FItems.Count() ? FItems.FItems[static_cast<size_t>(index)] : nullptr;
}

void TCustomListView::SetSelected(TListItem* item) {
  if (item && item->FOwner != &FItems) throw EInvalidOperation("The item belongs to another list");
  for (TListItem* other : FItems.FItems)
    if (other != item && other->Selected()) other->SetSelected(false);
  if (item) item->SetSelected(true);
}

int TCustomListView::SelCount() const {
  if (FHandle) return static_cast<int>(SendMessageA(FHandle, LVM_GETSELECTEDCOUNT, 0, 0));
  return static_cast<int>(std::count_if(FItems.FItems.begin(), FItems.FItems.end(),
                                        [](TListItem* item) { return item->FSelected; }));
}

int TCustomListView::ItemIndex() const {
  TListItem* item = Selected();
  return item ? item->Index() : -1;
}

void TCustomListView::SetItemIndex(int value) {
  SetSelected(value >= 0 && value < FItems.Count() ? FItems.Item(value) : nullptr);
}

TListItem* TCustomListView::ItemFocused() const {
  for (TListItem* item : FItems.FItems)
    if (item->Focused()) return item;
  return nullptr;
}

void TCustomListView::SetItemFocused(TListItem* item) {
  for (TListItem* other : FItems.FItems)
    if (other != item && other->Focused()) other->SetFocused(false);
  if (item) item->SetFocused(true);
}

TListItem* TCustomListView::GetItemAt(int X, int Y) {
  if (!HandleAllocated()) return nullptr;
  LVHITTESTINFO hit{};
  hit.pt = POINT{X, Y};
  const auto index = SendMessageA(FHandle, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
  if (index < 0 || index >= FItems.Count() || !(hit.flags & LVHT_ONITEM)) return nullptr;
  return FItems.FItems[static_cast<size_t>(index)];
}

HWND TCustomListView::HeaderHandle() {
  if (!HandleAllocated()) return nullptr;
  return reinterpret_cast<HWND>(SendMessageA(FHandle, LVM_GETHEADER, 0, 0));
}

void TCustomListView::SetViewStyle(TViewStyle value) {
  if (FViewStyle == value) return;
  FViewStyle = value;
  RecreateWnd();
}

void TCustomListView::SetStyleFlag(bool& field, bool value) {
  if (field == value) return;
  field = value;
  RecreateWnd();
}

void TCustomListView::SetMultiSelect(bool value) { SetStyleFlag(FMultiSelect, value); }
void TCustomListView::SetShowColumnHeaders(bool value) { SetStyleFlag(FShowColumnHeaders, value); }
void TCustomListView::SetHideSelection(bool value) { SetStyleFlag(FHideSelection, value); }
void TCustomListView::SetReadOnly(bool value) { SetStyleFlag(FReadOnly, value); }

void TCustomListView::SetRowSelect(bool value) {
  FRowSelect = value;
  if (HandleAllocated()) SendMessageA(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, ExtendedStyle());
}

void TCustomListView::SetGridLines(bool value) {
  FGridLines = value;
  if (HandleAllocated()) SendMessageA(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, ExtendedStyle());
}

void TCustomListView::SetCheckboxes(bool value) {
  if (FCheckboxes == value) return;
  if (HandleAllocated())
    for (TListItem* item : FItems.FItems) item->FChecked = item->Checked();
  FCheckboxes = value;
  if (!HandleAllocated()) return;
  SendMessageA(FHandle, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, ExtendedStyle());
  if (value)
    for (TListItem* item : FItems.FItems) item->SetChecked(item->FChecked);
}

void TCustomListView::ImagesChanged(TObject*) {
  if (!HandleAllocated()) return;
  SendMessageA(FHandle, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(FLargeImages.Handle()));
  SendMessageA(FHandle, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(FSmallImages.Handle()));
}

void TCustomListView::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  FLargeImages.Notification(component, operation);
  FSmallImages.Notification(component, operation);
}

void TCustomListView::HandleNotify(TMessage& Message) {
  auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
  Message.Result = 0;
  switch (header->code) {
    case LVN_ITEMCHANGED: {
      auto* lv = reinterpret_cast<NMLISTVIEW*>(header);
      if (FQuiet > 0 || !(lv->uChanged & LVIF_STATE)) return;
      if (!((lv->uNewState ^ lv->uOldState) & LVIS_SELECTED)) return;
      TListItem* item = lv->iItem >= 0 && lv->iItem < FItems.Count() ? FItems.FItems[static_cast<size_t>(lv->iItem)]
                                                                    : nullptr;
      SelectItem(item, (lv->uNewState & LVIS_SELECTED) != 0);
      return;
    }
    case LVN_COLUMNCLICK: {
      auto* lv = reinterpret_cast<NMLISTVIEW*>(header);
      if (lv->iSubItem >= 0 && lv->iSubItem < FColumns.Count()) ColumnClick(FColumns.Items(lv->iSubItem));
      return;
    }
    case LVN_BEGINLABELEDITA:
    case LVN_BEGINLABELEDITW: {
      auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
      bool allow = !FReadOnly;
      if (allow && info->item.iItem >= 0 && info->item.iItem < FItems.Count())
        FireEvent(OnEditing, this, FItems.FItems[static_cast<size_t>(info->item.iItem)], allow);
      Message.Result = allow ? 0 : 1;
      return;
    }
    case LVN_ENDLABELEDITA: {
      auto* info = reinterpret_cast<NMLVDISPINFOA*>(header);
      if (!info->item.pszText || info->item.iItem < 0 || info->item.iItem >= FItems.Count()) return;
      TListItem* item = FItems.FItems[static_cast<size_t>(info->item.iItem)];
      AnsiString text = info->item.pszText;
      FireEvent(OnEdited, this, item, text);
      item->SetCaption(text);
      return;
    }
    default:
      return;
  }
}

void TCustomListView::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_NOTIFY) {
    if (IsReflectedNotify(Message.LParam)) HandleNotify(Message);
    else Message.Result = 0;
    return;
  }
  if (Message.Msg == CM_COLORCHANGED && HandleAllocated()) {
    SendMessageA(FHandle, LVM_SETBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
    SendMessageA(FHandle, LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(ColorToRGB(FColor)));
  }
  TWinControl::Dispatch(Message);
}

// -- Header control ----------------------------------------------------------------------

THeaderSection::THeaderSection(TCollection* Collection) : TCollectionItem(Collection) {}

void THeaderSection::SetText(const AnsiString& value) {
  if (FText == value) return;
  FText = value;
  Changed(false);
}

void THeaderSection::SetWidth(int value) {
  value = std::clamp(value, FMinWidth, std::max(FMinWidth, FMaxWidth));
  if (FWidth == value) return;
  FWidth = value;
  Changed(true);  // the sections to the right move
}

void THeaderSection::SetMinWidth(int value) {
  FMinWidth = std::max(value, 0);
  if (FWidth < FMinWidth) SetWidth(FMinWidth);
}

void THeaderSection::SetMaxWidth(int value) {
  FMaxWidth = std::max(value, FMinWidth);
  if (FWidth > FMaxWidth) SetWidth(FMaxWidth);
}

void THeaderSection::SetAlignment(TAlignment value) {
  FAlignment = value;
  Changed(false);
}

void THeaderSection::SetImageIndex(int value) {
  FImageIndex = value;
  Changed(false);
}

void THeaderSection::SetAllowClick(bool value) {
  FAllowClick = value;
  Changed(false);
}

void THeaderSection::SetStyle(THeaderSectionStyle value) {
  FStyle = value;
  Changed(false);
}

int THeaderSection::Left() const {
  int left = 0;
  auto* sections = static_cast<THeaderSections*>(Collection());
  if (!sections) return 0;
  for (int i = 0; i < Index(); ++i) left += sections->Items(i)->FWidth;
  return left;
}

void THeaderSection::Assign(TPersistent* source) {
  if (auto* other = ObjectAs<THeaderSection>(source)) {
    FText = other->FText;
    FWidth = other->FWidth;
    FMinWidth = other->FMinWidth;
    FMaxWidth = other->FMaxWidth;
    FAlignment = other->FAlignment;
    FImageIndex = other->FImageIndex;
    FAllowClick = other->FAllowClick;
    FStyle = other->FStyle;
    Changed(true);
    return;
  }
  TCollectionItem::Assign(source);
}

THeaderSections::THeaderSections(THeaderControl* header) : TCollection(&THeaderSection::ClassInfo), FHeader(header) {}

TPersistent* THeaderSections::GetOwner() { return FHeader; }

void THeaderSections::Update(TCollectionItem*) { FHeader->UpdateSections(); }

THeaderControl::THeaderControl(TComponent* AOwner) : TWinControl(AOwner), FSections(this), FImages(this) {
  FColor = clBtnFace;
  FWidth = 250;
  FHeight = 17;
  FCanvas.SetControl(this);
  FImages.OnChange = TNotifyEvent::Bind<&THeaderControl::ImagesChanged>(this);
  SetAlign(alTop);
}

void THeaderControl::CreateParams(TCreateParams& Params) {
  InitCommonControlClasses(ICC_LISTVIEW_CLASSES);
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_HEADERA);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
  Params.Style |= HDS_BUTTONS | HDS_FULLDRAG;
  if (FHotTrack) Params.Style |= HDS_HOTTRACK;
}

void THeaderControl::InitializeWnd() {
  ImagesChanged(this);
  UpdateSections();
}

void THeaderControl::SetHotTrack(bool value) {
  if (FHotTrack == value) return;
  FHotTrack = value;
  RecreateWnd();
}

void THeaderControl::ImagesChanged(TObject*) {
  if (HandleAllocated()) SendMessageA(FHandle, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages.Handle()));
}

void THeaderControl::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  FImages.Notification(component, operation);
}

void THeaderControl::UpdateSections() {
  if (!HandleAllocated()) return;
  TQuietScope quiet(FQuiet);
  while (SendMessageA(FHandle, HDM_DELETEITEM, 0, 0)) {
  }
  for (int i = 0; i < FSections.Count(); ++i) {
    THeaderSection* section = FSections.Items(i);
    HDITEMA item{};
    item.mask = HDI_FORMAT | HDI_WIDTH | HDI_TEXT | HDI_LPARAM;
    item.cxy = section->FWidth;
    AnsiString text = section->FText;
    item.pszText = text.data();
    item.lParam = static_cast<LPARAM>(section->ID());
    item.fmt = section->FAlignment == taRightJustify ? HDF_RIGHT : section->FAlignment == taCenter ? HDF_CENTER : HDF_LEFT;
    item.fmt |= section->FStyle == hsOwnerDraw ? HDF_OWNERDRAW : HDF_STRING;
    if (section->FImageIndex >= 0) {
      item.mask |= HDI_IMAGE;
      item.iImage = section->FImageIndex;
      item.fmt |= HDF_IMAGE;
    }
    SendMessageA(FHandle, HDM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
}

THeaderSection* THeaderControl::SectionOf(int index) const {
  return index >= 0 && index < FSections.Count() ? FSections.Items(index) : nullptr;
}

void THeaderControl::HandleNotify(TMessage& Message) {
  auto* header = reinterpret_cast<NMHEADERA*>(Message.LParam);
  Message.Result = 0;
  THeaderSection* section = SectionOf(header->iItem);
  switch (header->hdr.code) {
    case HDN_ITEMCLICKA:
    case HDN_ITEMCLICKW:
      if (section && section->FAllowClick) SectionClick(section);
      return;
    case HDN_BEGINTRACKA:
    case HDN_BEGINTRACKW:
      if (section) FireEvent(OnSectionTrack, this, section, section->FWidth, tsTrackBegin);
      return;
    case HDN_TRACKA:
    case HDN_TRACKW:
      if (section && header->pitem && (header->pitem->mask & HDI_WIDTH))
        FireEvent(OnSectionTrack, this, section, header->pitem->cxy, tsTrackMove);
      return;
    case HDN_ENDTRACKA:
    case HDN_ENDTRACKW:
      if (section && header->pitem && (header->pitem->mask & HDI_WIDTH))
        FireEvent(OnSectionTrack, this, section, header->pitem->cxy, tsTrackEnd);
      return;
    case HDN_ITEMCHANGEDA:
    case HDN_ITEMCHANGEDW: {
      if (FQuiet > 0 || !section || !header->pitem || !(header->pitem->mask & HDI_WIDTH)) return;
      const int width = std::clamp(header->pitem->cxy, section->FMinWidth, std::max(section->FMinWidth, section->FMaxWidth));
      section->FWidth = width;
      if (width != header->pitem->cxy) {
        // Dragged past a limit: the section stays at it.
        TQuietScope quiet(FQuiet);
        HDITEMA item{};
        item.mask = HDI_WIDTH;
        item.cxy = width;
        SendMessageA(FHandle, HDM_SETITEMA, static_cast<WPARAM>(header->iItem), reinterpret_cast<LPARAM>(&item));
      }
      SectionResize(section);
      return;
    }
    default:
      return;
  }
}

void THeaderControl::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_NOTIFY) {
    if (IsReflectedNotify(Message.LParam)) HandleNotify(Message);
    else Message.Result = 0;
    return;
  }
  if (Message.Msg == CN_DRAWITEM) {
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    if (THeaderSection* section = SectionOf(static_cast<int>(item->itemID))) {
      TCanvasPaintScope scope(FCanvas, item->hDC);
      FireEvent(OnDrawSection, this, section, item->rcItem, (item->itemState & ODS_SELECTED) != 0);
    }
    Message.Result = 1;
    return;
  }
  TWinControl::Dispatch(Message);
}

// -- Published properties -------------------------------------------------------

namespace {

const TEnumInfo ViewStyleNames{"TViewStyle", {"vsIcon", "vsSmallIcon", "vsList", "vsReport"}};
const TEnumInfo HeaderSectionStyleNames{"THeaderSectionStyle", {"hsText", "hsOwnerDraw"}};

const TPublishedRegistration listColumnRegistration(&TListColumn::ClassInfo, {
    Property<&TListColumn::Alignment, &TListColumn::SetAlignment>("Alignment", AlignmentNames).Default(taLeftJustify),
    Property<&TListColumn::Caption, &TListColumn::SetCaption>("Caption"),
    Property<&TListColumn::Width, &TListColumn::SetWidth>("Width").Default(50),
});

const TPublishedRegistration listViewRegistration(&TListView::ClassInfo, {
    Property<&TWinControl::TabStop, &TWinControl::SetTabStop>("TabStop").Default(true),
    Property<&TCustomListView::Checkboxes, &TCustomListView::SetCheckboxes>("Checkboxes").Default(false),
    Property<&TCustomListView::Columns>("Columns"),
    Property<&TCustomListView::GridLines, &TCustomListView::SetGridLines>("GridLines").Default(false),
    Property<&TCustomListView::HideSelection, &TCustomListView::SetHideSelection>("HideSelection").Default(true),
    Property<&TCustomListView::LargeImages, &TCustomListView::SetLargeImages>("LargeImages"),
    Property<&TCustomListView::MultiSelect, &TCustomListView::SetMultiSelect>("MultiSelect").Default(false),
    Property<&TCustomListView::ReadOnly, &TCustomListView::SetReadOnly>("ReadOnly").Default(false),
    Property<&TCustomListView::RowSelect, &TCustomListView::SetRowSelect>("RowSelect").Default(false),
    Property<&TCustomListView::ShowColumnHeaders, &TCustomListView::SetShowColumnHeaders>("ShowColumnHeaders")
        .Default(true),
    Property<&TCustomListView::SmallImages, &TCustomListView::SetSmallImages>("SmallImages"),
    Property<&TCustomListView::SortType, &TCustomListView::SetSortType>("SortType", SortTypeNames)
        .Default(stNone),
    Property<&TCustomListView::ViewStyle, &TCustomListView::SetViewStyle>("ViewStyle", ViewStyleNames)
        .Default(vsIcon),
    Event<&TCustomListView::OnColumnClick>("OnColumnClick"),
    Event<&TCustomListView::OnCompare>("OnCompare"),
    Event<&TCustomListView::OnDeletion>("OnDeletion"),
    Event<&TCustomListView::OnEdited>("OnEdited"),
    Event<&TCustomListView::OnEditing>("OnEditing"),
    Event<&TCustomListView::OnSelectItem>("OnSelectItem"),
});

const TPublishedRegistration headerSectionRegistration(&THeaderSection::ClassInfo, {
    Property<&THeaderSection::Alignment, &THeaderSection::SetAlignment>("Alignment", AlignmentNames)
        .Default(taLeftJustify),
    Property<&THeaderSection::AllowClick, &THeaderSection::SetAllowClick>("AllowClick").Default(true),
    Property<&THeaderSection::ImageIndex, &THeaderSection::SetImageIndex>("ImageIndex").Default(-1),
    Property<&THeaderSection::MaxWidth, &THeaderSection::SetMaxWidth>("MaxWidth").Default(10000),
    Property<&THeaderSection::MinWidth, &THeaderSection::SetMinWidth>("MinWidth").Default(0),
    Property<&THeaderSection::Style, &THeaderSection::SetStyle>("Style", HeaderSectionStyleNames).Default(hsText),
    Property<&THeaderSection::Text, &THeaderSection::SetText>("Text"),
    Property<&THeaderSection::Width, &THeaderSection::SetWidth>("Width").Default(50),
});

const TPublishedRegistration headerControlRegistration(&THeaderControl::ClassInfo, {
    Property<&TControl::Align, &TControl::SetAlign>("Align", AlignNames).Default(alTop),
    Property<&THeaderControl::HotTrack, &THeaderControl::SetHotTrack>("HotTrack").Default(false),
    Property<&THeaderControl::Images, &THeaderControl::SetImages>("Images"),
    Property<&THeaderControl::Sections>("Sections"),
    Event<&THeaderControl::OnDrawSection>("OnDrawSection"),
    Event<&THeaderControl::OnSectionClick>("OnSectionClick"),
    Event<&THeaderControl::OnSectionResize>("OnSectionResize"),
    Event<&THeaderControl::OnSectionTrack>("OnSectionTrack"),
});

}  // namespace
