#include "platform/ComCtrls.h"

#include "platform/ControlsProperties.h"
#include "platform/Exceptions.h"

#include <commctrl.h>

#include <algorithm>

const TClassInfo TTabSheet::ClassInfo{"TTabSheet", &TWinControl::ClassInfo, [](TObject* owner) -> TObject* {
                                        return new TTabSheet(static_cast<TComponent*>(owner));
                                      }};
const TClassInfo TPageControl::ClassInfo{"TPageControl", &TWinControl::ClassInfo, [](TObject* owner) -> TObject* {
                                           return new TPageControl(static_cast<TComponent*>(owner));
                                         }};
const TClassInfo TTabControl::ClassInfo{"TTabControl", &TWinControl::ClassInfo, [](TObject* owner) -> TObject* {
                                          return new TTabControl(static_cast<TComponent*>(owner));
                                        }};
const TClassInfo TStatusPanel::ClassInfo{"TStatusPanel", &TCollectionItem::ClassInfo, [](TObject* owner) -> TObject* {
                                           return new TStatusPanel(static_cast<TCollection*>(owner));
                                         }};
const TClassInfo TStatusPanels::ClassInfo{"TStatusPanels", &TCollection::ClassInfo, nullptr};
const TClassInfo TUpDown::ClassInfo{"TUpDown", &TWinControl::ClassInfo, [](TObject* owner) -> TObject* {
                                      return new TUpDown(static_cast<TComponent*>(owner));
                                    }};
const TClassInfo TTrackBar::ClassInfo{"TTrackBar", &TWinControl::ClassInfo, [](TObject* owner) -> TObject* {
                                        return new TTrackBar(static_cast<TComponent*>(owner));
                                      }};
const TClassInfo TProgressBar::ClassInfo{"TProgressBar", &TWinControl::ClassInfo, [](TObject* owner) -> TObject* {
                                           return new TProgressBar(static_cast<TComponent*>(owner));
                                         }};
const TClassInfo TStatusBar::ClassInfo{"TStatusBar", &TWinControl::ClassInfo, [](TObject* owner) -> TObject* {
                                         return new TStatusBar(static_cast<TComponent*>(owner));
                                       }};

namespace {

void InitCommonControlClasses() {
  static bool done = false;
  if (done) return;
  INITCOMMONCONTROLSEX init{sizeof init, ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&init);
  done = true;
}

// The tab window's style bits; tabs on the left or right always come in rows.
DWORD TabWindowStyle(TTabPosition position, bool multiLine, TTabStyle tabStyle) {
  DWORD style = multiLine ? TCS_MULTILINE : 0;
  if (position == tpBottom) style |= TCS_BOTTOM;
  if (position == tpLeft) style |= TCS_VERTICAL | TCS_MULTILINE;
  if (position == tpRight) style |= TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE;
  if (tabStyle == tsButtons) style |= TCS_BUTTONS;
  if (tabStyle == tsFlatButtons) style |= TCS_BUTTONS | TCS_FLATBUTTONS;
  return style;
}

}  // namespace

// -- TTabSheet ------------------------------------------------------------------------

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle.Include(csParentBackground);
  FVisible = false;
  FParentColor = true;
  SetAlign(alClient);
}

TTabSheet::~TTabSheet() { SetPageControl(nullptr); }

void TTabSheet::SetPageControl(TPageControl* value) {
  if (FPageControl == value) return;
  if (FPageControl) FPageControl->RemovePage(this);
  SetParent(value);
  if (value) value->InsertPage(this);
}

void TTabSheet::SetParentComponent(TComponent* parent) {
  if (auto* pageControl = ObjectAs<TPageControl>(parent)) SetPageControl(pageControl);
  else TWinControl::SetParentComponent(parent);
}

int TTabSheet::PageIndex() const {
  if (!FPageControl) return -1;
  const auto& pages = FPageControl->FPages;
  return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int value) {
  if (!FPageControl) return;
  auto& pages = FPageControl->FPages;
  pages.erase(std::find(pages.begin(), pages.end(), this));
  value = std::clamp(value, 0, static_cast<int>(pages.size()));
  pages.insert(pages.begin() + value, this);
  FPageControl->UpdateTabs();
}

void TTabSheet::SetTabVisible(bool value) {
  if (FTabVisible == value) return;
  FTabVisible = value;
  if (FPageControl) FPageControl->UpdateTabs();
}

int TTabSheet::TabIndex() const {
  if (!FTabVisible || !FPageControl) return -1;
  int index = 0;
  for (TTabSheet* page : FPageControl->FPages) {
    if (page == this) return index;
    if (page->FTabVisible) ++index;
  }
  return -1;
}

void TTabSheet::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_TEXTCHANGED) {
    if (FPageControl) FPageControl->UpdateTabs();
    return;
  }
  TWinControl::Dispatch(Message);
}

// -- TPageControl ----------------------------------------------------------------------

TPageControl::TPageControl(TComponent* AOwner) : TWinControl(AOwner) {
  FTabStop = true;
  FColor = clBtnFace;
  FWidth = 289;
  FHeight = 193;
}

TPageControl::~TPageControl() {
  for (TTabSheet* page : FPages) page->FPageControl = nullptr;
  FPages.clear();
  FActivePage = nullptr;
}

void TPageControl::CreateParams(TCreateParams& Params) {
  InitCommonControlClasses();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_TABCONTROLA);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
  Params.Style |= WS_CLIPCHILDREN;
  Params.Style |= TabWindowStyle(FTabPosition, FMultiLine, FStyle);
}

void TPageControl::InitializeWnd() { UpdateTabs(); }

void TPageControl::AdjustClientRect(RECT& Rect) {
  if (HandleAllocated()) SendMessageA(FHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&Rect));
}

void TPageControl::InsertPage(TTabSheet* page) {
  FPages.push_back(page);
  page->FPageControl = this;
  UpdateTabs();
  if (!FActivePage) SetActivePage(page);
}

void TPageControl::RemovePage(TTabSheet* page) {
  TTabSheet* next = FActivePage == page ? FindNextPage(page, true, true) : FActivePage;
  if (next == page) next = nullptr;
  FPages.erase(std::remove(FPages.begin(), FPages.end(), page), FPages.end());
  page->FPageControl = nullptr;
  if (FActivePage == page) {
    FActivePage = nullptr;
    SetActivePage(next);
  }
  UpdateTabs();
}

void TPageControl::UpdateTabs() {
  if (!HandleAllocated()) return;
  SendMessageA(FHandle, TCM_DELETEALLITEMS, 0, 0);
  int index = 0;
  for (TTabSheet* page : FPages) {
    if (!page->FTabVisible) continue;
    AnsiString caption = page->Text();
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    SendMessageA(FHandle, TCM_INSERTITEMA, static_cast<WPARAM>(index++), reinterpret_cast<LPARAM>(&item));
  }
  if (FActivePage) SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(FActivePage->TabIndex()), 0);
  Realign();
}

void TPageControl::ShowActivePage() {
  for (TTabSheet* page : FPages) page->SetVisible(page == FActivePage);
  if (FActivePage) FActivePage->BringToFront();
  Realign();
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->FPageControl != this) return;
  FActivePage = page;
  if (HandleAllocated())
    SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(page ? page->TabIndex() : -1), 0);
  ShowActivePage();
}

int TPageControl::ActivePageIndex() const { return FActivePage ? FActivePage->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int value) {
  SetActivePage(value >= 0 && value < PageCount() ? FPages[value] : nullptr);
}

void TPageControl::SetMultiLine(bool value) {
  if (FMultiLine == value) return;
  FMultiLine = value;
  RecreateWnd();
}

void TPageControl::SetTabPosition(TTabPosition value) {
  if (FTabPosition == value) return;
  FTabPosition = value;
  RecreateWnd();
}

void TPageControl::SetStyle(TTabStyle value) {
  if (FStyle == value) return;
  FStyle = value;
  RecreateWnd();
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) {
  const int n = PageCount();
  if (n == 0) return nullptr;
  int index = static_cast<int>(std::find(FPages.begin(), FPages.end(), current) - FPages.begin());
  if (index == n) index = goForward ? -1 : n;
  for (int step = 0; step < n; ++step) {
    index = ((goForward ? index + 1 : index - 1) % n + n) % n;
    if (!checkTabVisible || FPages[index]->FTabVisible) return FPages[index];
  }
  return nullptr;
}

void TPageControl::SelectNextPage(bool goForward) {
  TTabSheet* page = FindNextPage(FActivePage, goForward, true);
  if (!page || page == FActivePage) return;
  bool allow = true;
  FireEvent(OnChanging, this, allow);
  if (!allow) return;
  SetActivePage(page);
  FireEvent(OnChange, this);
}

void TPageControl::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_NOTIFY) {
    // The skin engine sends this number with a marker in LParam.
    if (!IsReflectedNotify(Message.LParam)) {
      Message.Result = 0;
      return;
    }
    auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
    if (header->code == TCN_SELCHANGING) {
      bool allow = true;
      FireEvent(OnChanging, this, allow);
      Message.Result = allow ? 0 : 1;
      return;
    }
    if (header->code == TCN_SELCHANGE) {
      const int tab = static_cast<int>(SendMessageA(FHandle, TCM_GETCURSEL, 0, 0));
      for (TTabSheet* page : FPages)
        if (page->TabIndex() == tab) FActivePage = page;
      ShowActivePage();
      FireEvent(OnChange, this);
      return;
    }
  }
  if (Message.Msg == CM_DIALOGKEY && Message.WParam == VK_TAB && GetKeyState(VK_CONTROL) < 0 && FActivePage &&
      ContainsControl(FindControl(GetFocus()))) {
    SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
    Message.Result = 1;
    return;
  }
  TWinControl::Dispatch(Message);
}

// -- TTabControl ----------------------------------------------------------------------

TTabControl::TTabControl(TComponent* AOwner) : TWinControl(AOwner), FImages(this) {
  FTabStop = true;
  FColor = clBtnFace;
  FWidth = 289;
  FHeight = 193;
  FControlStyle.Include(csAcceptsControls);
  FTabs.OnChange = TNotifyEvent::Bind<&TTabControl::TabsChanged>(this);
  FImages.OnChange = TNotifyEvent::Bind<&TTabControl::ImagesChanged>(this);
}

void TTabControl::CreateParams(TCreateParams& Params) {
  InitCommonControlClasses();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, WC_TABCONTROLA);
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
  Params.Style |= WS_CLIPCHILDREN;
  Params.Style |= TabWindowStyle(FTabPosition, FMultiLine, FStyle);
  if (FHotTrack) Params.Style |= TCS_HOTTRACK;
}

void TTabControl::InitializeWnd() {
  SendMessageA(FHandle, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages.Handle()));
  UpdateTabs();
}

void TTabControl::BeforeDestroyWnd() { FTabIndex = TabIndex(); }

void TTabControl::AdjustClientRect(RECT& Rect) {
  if (HandleAllocated()) SendMessageA(FHandle, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&Rect));
}

RECT TTabControl::DisplayRect() {
  RECT rect = ClientRect();
  AdjustClientRect(rect);
  return rect;
}

int TTabControl::GetImageIndex(int tabIndex) {
  int image = tabIndex;
  FireEvent(OnGetImageIndex, this, tabIndex, image);
  return image;
}

void TTabControl::UpdateTabs() {
  if (!HandleAllocated()) return;
  SendMessageA(FHandle, TCM_DELETEALLITEMS, 0, 0);
  for (int i = 0; i < FTabs.Count(); ++i) {
    AnsiString caption = FTabs.Get(i);
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = caption.data();
    item.iImage = FImages.Images() ? GetImageIndex(i) : -1;
    SendMessageA(FHandle, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(FTabIndex), 0);
  Realign();
}

void TTabControl::TabsChanged(TObject*) {
  if (HandleAllocated()) FTabIndex = TabIndex();
  if (FTabIndex >= FTabs.Count()) FTabIndex = FTabs.Count() - 1;
  if (FTabIndex < 0 && FTabs.Count() > 0) FTabIndex = 0;
  UpdateTabs();
}

void TTabControl::ImagesChanged(TObject*) {
  if (!HandleAllocated()) return;
  SendMessageA(FHandle, TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImages.Handle()));
  FTabIndex = TabIndex();
  UpdateTabs();
}

void TTabControl::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  FImages.Notification(component, operation);
}

int TTabControl::TabIndex() const {
  if (!FHandle) return FTabIndex;
  return static_cast<int>(SendMessageA(FHandle, TCM_GETCURSEL, 0, 0));
}

void TTabControl::SetTabIndex(int value) {
  if (value < -1 || value >= FTabs.Count()) value = -1;
  FTabIndex = value;
  if (HandleAllocated()) SendMessageA(FHandle, TCM_SETCURSEL, static_cast<WPARAM>(value), 0);
}

void TTabControl::SetMultiLine(bool value) {
  if (FMultiLine == value) return;
  FMultiLine = value;
  RecreateWnd();
}

void TTabControl::SetTabPosition(TTabPosition value) {
  if (FTabPosition == value) return;
  FTabPosition = value;
  RecreateWnd();
}

void TTabControl::SetStyle(TTabStyle value) {
  if (FStyle == value) return;
  FStyle = value;
  RecreateWnd();
}

void TTabControl::SetHotTrack(bool value) {
  if (FHotTrack == value) return;
  FHotTrack = value;
  RecreateWnd();
}

int TTabControl::IndexOfTabAt(int X, int Y) {
  if (!HandleAllocated()) return -1;
  TCHITTESTINFO hit{};
  hit.pt = POINT{X, Y};
  return static_cast<int>(SendMessageA(FHandle, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

RECT TTabControl::TabRect(int index) {
  RECT rect{};
  if (HandleAllocated()) SendMessageA(FHandle, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
  return rect;
}

bool TTabControl::CanChange() {
  bool allow = true;
  FireEvent(OnChanging, this, allow);
  return allow;
}

void TTabControl::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_NOTIFY) {
    Message.Result = 0;
    if (!IsReflectedNotify(Message.LParam)) return;
    auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
    if (header->code == TCN_SELCHANGING) Message.Result = CanChange() ? 0 : 1;
    if (header->code == TCN_SELCHANGE) {
      FTabIndex = TabIndex();
      Change();
    }
    return;
  }
  TWinControl::Dispatch(Message);
}

// -- Status bar ---------------------------------------------------------------------------

TStatusPanel::TStatusPanel(TCollection* Collection) : TCollectionItem(Collection) {}

void TStatusPanel::SetText(const AnsiString& value) {
  if (FText == value) return;
  FText = value;
  Changed(false);
}

void TStatusPanel::SetWidth(int value) {
  FWidth = value;
  Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment value) {
  FAlignment = value;
  Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle value) {
  FStyle = value;
  Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel value) {
  FBevel = value;
  Changed(false);
}

void TStatusPanel::Assign(TPersistent* source) {
  if (auto* other = ObjectAs<TStatusPanel>(source)) {
    FText = other->FText;
    FWidth = other->FWidth;
    FAlignment = other->FAlignment;
    FStyle = other->FStyle;
    FBevel = other->FBevel;
    Changed(true);
    return;
  }
  TCollectionItem::Assign(source);
}

TStatusPanels::TStatusPanels(TStatusBar* statusBar) : TCollection(&TStatusPanel::ClassInfo), FStatusBar(statusBar) {}

TPersistent* TStatusPanels::GetOwner() { return FStatusBar; }

void TStatusPanels::Update(TCollectionItem*) { FStatusBar->UpdatePanels(); }

TStatusBar::TStatusBar(TComponent* AOwner) : TWinControl(AOwner), FPanels(this) {
  FColor = clBtnFace;
  FHeight = 19;
  FWidth = 200;
  FCanvas.SetControl(this);
  SetAlign(alBottom);
}

void TStatusBar::CreateParams(TCreateParams& Params) {
  InitCommonControlClasses();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, STATUSCLASSNAMEA);
  // The bar is placed by the alignment of its parent, not by itself.
  Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NOMOVEY;
  if (FSizeGrip) Params.Style |= SBARS_SIZEGRIP;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TStatusBar::InitializeWnd() { UpdatePanels(); }

void TStatusBar::SetSimplePanel(bool value) {
  FSimplePanel = value;
  UpdatePanels();
}

void TStatusBar::SetSimpleText(const AnsiString& value) {
  FSimpleText = value;
  if (HandleAllocated() && FSimplePanel)
    SendMessageA(FHandle, SB_SETTEXTA, SB_SIMPLEID | 255, reinterpret_cast<LPARAM>(value.c_str()));
}

void TStatusBar::SetSizeGrip(bool value) {
  if (FSizeGrip == value) return;
  FSizeGrip = value;
  RecreateWnd();
}

void TStatusBar::UpdatePanels() {
  if (!HandleAllocated()) return;
  SendMessageA(FHandle, SB_SIMPLE, FSimplePanel, 0);
  if (FSimplePanel) {
    SendMessageA(FHandle, SB_SETTEXTA, 255, reinterpret_cast<LPARAM>(FSimpleText.c_str()));
    return;
  }
  const int count = std::min(FPanels.Count(), 255);
  std::vector<int> edges(static_cast<size_t>(std::max(count, 1)), -1);
  int right = 0;
  for (int i = 0; i < count; ++i) {
    right += FPanels.Items(i)->Width();
    edges[i] = i == count - 1 ? -1 : right;
  }
  SendMessageA(FHandle, SB_SETPARTS, static_cast<WPARAM>(std::max(count, 1)), reinterpret_cast<LPARAM>(edges.data()));
  for (int i = 0; i < count; ++i) {
    TStatusPanel* panel = FPanels.Items(i);
    WPARAM flags = static_cast<WPARAM>(i);
    if (panel->Bevel() == pbNone) flags |= SBT_NOBORDERS;
    if (panel->Bevel() == pbRaised) flags |= SBT_POPOUT;
    if (panel->Style() == psOwnerDraw) {
      SendMessageA(FHandle, SB_SETTEXTA, flags | SBT_OWNERDRAW, reinterpret_cast<LPARAM>(panel));
      continue;
    }
    AnsiString text = panel->Text();
    // The status window centres or right-aligns text after tabs.
    if (panel->Alignment() == taCenter) text = "\t" + text;
    if (panel->Alignment() == taRightJustify) text = "\t\t" + text;
    SendMessageA(FHandle, SB_SETTEXTA, flags, reinterpret_cast<LPARAM>(text.c_str()));
  }
}

void TStatusBar::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_DRAWITEM) {
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
    if (item->itemID < static_cast<UINT>(FPanels.Count())) {
      TCanvasPaintScope scope(FCanvas, item->hDC);
      FireEvent(OnDrawPanel, this, FPanels.Items(static_cast<int>(item->itemID)), item->rcItem);
    }
    Message.Result = 1;
    return;
  }
  TWinControl::Dispatch(Message);
}

// -- Up-down ----------------------------------------------------------------------------

namespace {

// `value` within the range of `low` and `high`, in whatever order they come.
int ClampToRange(int value, int low, int high) {
  if (low > high) std::swap(low, high);
  return std::clamp(value, low, high);
}

}  // namespace

TUpDown::TUpDown(TComponent* AOwner) : TWinControl(AOwner) {
  FWidth = 17;
  FHeight = 21;
  FColor = clBtnFace;
}

void TUpDown::CreateParams(TCreateParams& Params) {
  InitCommonControlClasses();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, UPDOWN_CLASSA);
  Params.Style |= UDS_SETBUDDYINT | (FAlignButton == udRight ? UDS_ALIGNRIGHT : UDS_ALIGNLEFT);
  if (FOrientation == udHorizontal) Params.Style |= UDS_HORZ;
  if (FArrowKeys) Params.Style |= UDS_ARROWKEYS;
  if (!FThousands) Params.Style |= UDS_NOTHOUSANDS;
  if (FWrap) Params.Style |= UDS_WRAP;
}

void TUpDown::InitializeWnd() {
  ApplyRange();
  UDACCEL accel{0, static_cast<UINT>(FIncrement)};
  SendMessageA(FHandle, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
  ApplyBuddy();
}

void TUpDown::ApplyRange() {
  if (!HandleAllocated()) return;
  SendMessageA(FHandle, UDM_SETRANGE32, static_cast<WPARAM>(FMin), static_cast<LPARAM>(FMax));
  SendMessageA(FHandle, UDM_SETPOS32, 0, static_cast<LPARAM>(FPosition));
}

// The system puts the up-down beside its buddy and writes the position into it.
void TUpDown::ApplyBuddy() {
  if (!HandleAllocated()) return;
  HWND buddy = FAssociate ? FAssociate->Handle() : nullptr;
  SendMessageA(FHandle, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
  SendMessageA(FHandle, UDM_SETPOS32, 0, static_cast<LPARAM>(FPosition));
}

void TUpDown::SetAssociate(TWinControl* value) {
  if (value == this) value = nullptr;
  if (FAssociate == value) return;
  if (FAssociate) FAssociate->RemoveFreeNotification(this);
  FAssociate = value;
  if (value) value->FreeNotification(this);
  ApplyBuddy();
}

void TUpDown::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == FAssociate) {
    FAssociate = nullptr;
    if (HandleAllocated() && !IsDestroying()) SendMessageA(FHandle, UDM_SETBUDDY, 0, 0);
  }
}

void TUpDown::SetAlignButton(TUDAlignButton value) {
  if (FAlignButton == value) return;
  FAlignButton = value;
  RecreateWnd();
}

void TUpDown::SetArrowKeys(bool value) {
  if (FArrowKeys == value) return;
  FArrowKeys = value;
  RecreateWnd();
}

void TUpDown::SetIncrement(int value) {
  if (FIncrement == value) return;
  FIncrement = value;
  if (!HandleAllocated()) return;
  UDACCEL accel{0, static_cast<UINT>(value)};
  SendMessageA(FHandle, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
}

void TUpDown::SetMin(int value) {
  if (FMin == value) return;
  FMin = value;
  FPosition = ClampToRange(FPosition, FMin, FMax);
  ApplyRange();
}

void TUpDown::SetMax(int value) {
  if (FMax == value) return;
  FMax = value;
  FPosition = ClampToRange(FPosition, FMin, FMax);
  ApplyRange();
}

int TUpDown::Position() {
  if (HandleAllocated()) {
    BOOL failed = FALSE;
    const int value = static_cast<int>(SendMessageA(FHandle, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
    if (!failed) FPosition = value;
  }
  return FPosition;
}

void TUpDown::SetPosition(int value) {
  FPosition = ClampToRange(value, FMin, FMax);
  if (HandleAllocated()) SendMessageA(FHandle, UDM_SETPOS32, 0, static_cast<LPARAM>(FPosition));
}

void TUpDown::SetOrientation(TUDOrientation value) {
  if (FOrientation == value) return;
  FOrientation = value;
  RecreateWnd();
}

void TUpDown::SetThousands(bool value) {
  if (FThousands == value) return;
  FThousands = value;
  RecreateWnd();
}

void TUpDown::SetWrap(bool value) {
  if (FWrap == value) return;
  FWrap = value;
  RecreateWnd();
}

bool TUpDown::CanChange() {
  bool allow = true;
  FireEvent(OnChanging, this, allow);
  return allow;
}

void TUpDown::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_NOTIFY:
      if (IsReflectedNotify(Message.LParam) && reinterpret_cast<NMHDR*>(Message.LParam)->code == UDN_DELTAPOS) {
        // Non-zero refuses the step.
        Message.Result = CanChange() ? 0 : 1;
        return;
      }
      Message.Result = 0;
      return;
    case CN_HSCROLL:
    case CN_VSCROLL:
      if (LOWORD(Message.WParam) == SB_THUMBPOSITION) {
        const int old = FPosition;
        const int now = Position();
        if (now != old) Click(now > old ? btNext : btPrev);
      }
      Message.Result = 0;
      return;
    default:
      break;
  }
  TWinControl::Dispatch(Message);
}

// -- Track bar ----------------------------------------------------------------------------

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner) {
  FWidth = 150;
  FHeight = 45;
  FTabStop = true;
  FColor = clBtnFace;
}

void TTrackBar::CreateParams(TCreateParams& Params) {
  InitCommonControlClasses();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, TRACKBAR_CLASSA);
  Params.Style |= TBS_FIXEDLENGTH | TBS_ENABLESELRANGE;
  Params.Style |= FOrientation == trVertical ? TBS_VERT : TBS_HORZ;
  if (FTickStyle == tsNone) {
    Params.Style |= TBS_NOTICKS;
  } else if (FTickStyle == tsAuto) {
    Params.Style |= TBS_AUTOTICKS;
  }
  if (FTickMarks == tmTopLeft) Params.Style |= TBS_TOP;
  if (FTickMarks == tmBoth) Params.Style |= TBS_BOTH;
  if (!FSliderVisible) Params.Style |= TBS_NOTHUMB;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TTrackBar::InitializeWnd() {
  SendMessageA(FHandle, TBM_SETRANGEMIN, FALSE, FMin);
  SendMessageA(FHandle, TBM_SETRANGEMAX, FALSE, FMax);
  SendMessageA(FHandle, TBM_SETTICFREQ, static_cast<WPARAM>(FFrequency), 0);
  SendMessageA(FHandle, TBM_SETLINESIZE, 0, FLineSize);
  SendMessageA(FHandle, TBM_SETPAGESIZE, 0, FPageSize);
  SendMessageA(FHandle, TBM_SETTHUMBLENGTH, static_cast<WPARAM>(FThumbLength), 0);
  ApplySelection();
  SendMessageA(FHandle, TBM_SETPOS, TRUE, FPosition);
}

void TTrackBar::ApplySelection() {
  if (!HandleAllocated()) return;
  if (FSelStart == 0 && FSelEnd == 0) {
    SendMessageA(FHandle, TBM_CLEARSEL, TRUE, 0);
    return;
  }
  SendMessageA(FHandle, TBM_SETSELSTART, FALSE, FSelStart);
  SendMessageA(FHandle, TBM_SETSELEND, TRUE, FSelEnd);
}

void TTrackBar::SetMin(int value) {
  if (FMin == value) return;
  FMin = value;
  FPosition = ClampToRange(FPosition, FMin, FMax);
  if (HandleAllocated()) SendMessageA(FHandle, TBM_SETRANGEMIN, TRUE, value);
}

void TTrackBar::SetMax(int value) {
  if (FMax == value) return;
  FMax = value;
  FPosition = ClampToRange(FPosition, FMin, FMax);
  if (HandleAllocated()) SendMessageA(FHandle, TBM_SETRANGEMAX, TRUE, value);
}

int TTrackBar::Position() {
  if (HandleAllocated()) FPosition = static_cast<int>(SendMessageA(FHandle, TBM_GETPOS, 0, 0));
  return FPosition;
}

void TTrackBar::SetPosition(int value) {
  FPosition = ClampToRange(value, FMin, FMax);
  if (HandleAllocated()) SendMessageA(FHandle, TBM_SETPOS, TRUE, FPosition);
}

void TTrackBar::SetFrequency(int value) {
  if (FFrequency == value) return;
  FFrequency = value;
  if (HandleAllocated()) SendMessageA(FHandle, TBM_SETTICFREQ, static_cast<WPARAM>(value), 0);
}

void TTrackBar::SetLineSize(int value) {
  if (FLineSize == value) return;
  FLineSize = value;
  if (HandleAllocated()) SendMessageA(FHandle, TBM_SETLINESIZE, 0, value);
}

void TTrackBar::SetPageSize(int value) {
  if (FPageSize == value) return;
  FPageSize = value;
  if (HandleAllocated()) SendMessageA(FHandle, TBM_SETPAGESIZE, 0, value);
}

void TTrackBar::SetSelStart(int value) {
  if (FSelStart == value) return;
  FSelStart = value;
  ApplySelection();
}

void TTrackBar::SetSelEnd(int value) {
  if (FSelEnd == value) return;
  FSelEnd = value;
  ApplySelection();
}

void TTrackBar::SetOrientation(TTrackBarOrientation value) {
  if (FOrientation == value) return;
  FOrientation = value;
  // The bar turns with its orientation.
  if (!ComponentState().Contains(csLoading)) SetBounds(FLeft, FTop, FHeight, FWidth);
  RecreateWnd();
}

void TTrackBar::SetTickMarks(TTickMark value) {
  if (FTickMarks == value) return;
  FTickMarks = value;
  RecreateWnd();
}

void TTrackBar::SetTickStyle(TTickStyle value) {
  if (FTickStyle == value) return;
  FTickStyle = value;
  RecreateWnd();
}

void TTrackBar::SetTick(int value) {
  if (HandleAllocated()) SendMessageA(FHandle, TBM_SETTIC, 0, value);
}

void TTrackBar::SetThumbLength(int value) {
  if (FThumbLength == value) return;
  FThumbLength = value;
  if (HandleAllocated()) SendMessageA(FHandle, TBM_SETTHUMBLENGTH, static_cast<WPARAM>(value), 0);
}

void TTrackBar::SetSliderVisible(bool value) {
  if (FSliderVisible == value) return;
  FSliderVisible = value;
  RecreateWnd();
}

void TTrackBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL: {
      const int old = FPosition;
      if (Position() != old) Changed();
      Message.Result = 0;
      return;
    }
    default:
      break;
  }
  TWinControl::Dispatch(Message);
}

// -- Progress bar --------------------------------------------------------------------------

TProgressBar::TProgressBar(TComponent* AOwner) : TWinControl(AOwner) {
  FWidth = 150;
  FHeight = 16;
  FColor = clBtnFace;
}

void TProgressBar::CreateParams(TCreateParams& Params) {
  InitCommonControlClasses();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, PROGRESS_CLASSA);
  if (FSmooth) Params.Style |= PBS_SMOOTH;
  if (FOrientation == pbVertical) Params.Style |= PBS_VERTICAL;
}

void TProgressBar::InitializeWnd() {
  SendMessageA(FHandle, PBM_SETRANGE32, static_cast<WPARAM>(FMin), static_cast<LPARAM>(FMax));
  SendMessageA(FHandle, PBM_SETSTEP, static_cast<WPARAM>(FStep), 0);
  SendMessageA(FHandle, PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
}

void TProgressBar::SetMin(int value) {
  if (FMin == value) return;
  FMin = value;
  FPosition = ClampToRange(FPosition, FMin, FMax);
  if (HandleAllocated()) SendMessageA(FHandle, PBM_SETRANGE32, static_cast<WPARAM>(FMin), static_cast<LPARAM>(FMax));
}

void TProgressBar::SetMax(int value) {
  if (FMax == value) return;
  FMax = value;
  FPosition = ClampToRange(FPosition, FMin, FMax);
  if (HandleAllocated()) SendMessageA(FHandle, PBM_SETRANGE32, static_cast<WPARAM>(FMin), static_cast<LPARAM>(FMax));
}

int TProgressBar::Position() {
  if (HandleAllocated()) FPosition = static_cast<int>(SendMessageA(FHandle, PBM_GETPOS, 0, 0));
  return FPosition;
}

void TProgressBar::SetPosition(int value) {
  FPosition = ClampToRange(value, FMin, FMax);
  if (HandleAllocated()) SendMessageA(FHandle, PBM_SETPOS, static_cast<WPARAM>(FPosition), 0);
}

void TProgressBar::SetStep(int value) {
  if (FStep == value) return;
  FStep = value;
  if (HandleAllocated()) SendMessageA(FHandle, PBM_SETSTEP, static_cast<WPARAM>(value), 0);
}

void TProgressBar::StepIt() {
  if (HandleAllocated()) {
    SendMessageA(FHandle, PBM_STEPIT, 0, 0);
    Position();
    return;
  }
  // As the system bar: the step past Max goes on from Min.
  FPosition += FStep;
  if (FPosition > FMax && FMax > FMin) FPosition = FMin + (FPosition - FMin) % (FMax - FMin);
  FPosition = ClampToRange(FPosition, FMin, FMax);
}

void TProgressBar::StepBy(int delta) { SetPosition(Position() + delta); }

void TProgressBar::SetSmooth(bool value) {
  if (FSmooth == value) return;
  FSmooth = value;
  RecreateWnd();
}

void TProgressBar::SetOrientation(TProgressBarOrientation value) {
  if (FOrientation == value) return;
  FOrientation = value;
  RecreateWnd();
}

// -- Published properties -------------------------------------------------------

namespace {

const TEnumInfo TabPositionNames{"TTabPosition", {"tpTop", "tpBottom", "tpLeft", "tpRight"}};
const TEnumInfo TabStyleNames{"TTabStyle", {"tsTabs", "tsButtons", "tsFlatButtons"}};
const TEnumInfo StatusPanelStyleNames{"TStatusPanelStyle", {"psText", "psOwnerDraw"}};
const TEnumInfo StatusPanelBevelNames{"TStatusPanelBevel", {"pbNone", "pbLowered", "pbRaised"}};

// A sheet's place and visibility belong to its page control: the place
// follows the order the sheets are stored in, the visibility the active page.
const TPublishedRegistration tabSheetRegistration(&TTabSheet::ClassInfo, {
    Property<&TControl::Caption, &TControl::SetCaption>("Caption"),
    Property<&TControl::Visible, &TControl::SetVisible>("Visible").Stored(false),
    Property<&TControl::Align, &TControl::SetAlign>("Align", AlignNames).Default(alClient),
    Property<&TTabSheet::TabVisible, &TTabSheet::SetTabVisible>("TabVisible").Default(true),
});

const TPublishedRegistration pageControlRegistration(&TPageControl::ClassInfo, {
    Property<&TWinControl::TabStop, &TWinControl::SetTabStop>("TabStop").Default(true),
    Property<&TPageControl::ActivePage, &TPageControl::SetActivePage>("ActivePage"),
    Property<&TPageControl::MultiLine, &TPageControl::SetMultiLine>("MultiLine").Default(false),
    Property<&TPageControl::Style, &TPageControl::SetStyle>("Style", TabStyleNames).Default(tsTabs),
    Property<&TPageControl::TabPosition, &TPageControl::SetTabPosition>("TabPosition", TabPositionNames)
        .Default(tpTop),
    Event<&TPageControl::OnChange>("OnChange"),
    Event<&TPageControl::OnChanging>("OnChanging"),
});

// Tabs before TabIndex: the index is kept once there is a tab to select.
const TPublishedRegistration tabControlRegistration(&TTabControl::ClassInfo, {
    Property<&TWinControl::TabStop, &TWinControl::SetTabStop>("TabStop").Default(true),
    Property<&TTabControl::HotTrack, &TTabControl::SetHotTrack>("HotTrack").Default(false),
    Property<&TTabControl::Images, &TTabControl::SetImages>("Images"),
    Property<&TTabControl::MultiLine, &TTabControl::SetMultiLine>("MultiLine").Default(false),
    Property<&TTabControl::Style, &TTabControl::SetStyle>("Style", TabStyleNames).Default(tsTabs),
    Property<&TTabControl::TabPosition, &TTabControl::SetTabPosition>("TabPosition", TabPositionNames)
        .Default(tpTop),
    Property<&TTabControl::Tabs>("Tabs"),
    Property<&TTabControl::TabIndex, &TTabControl::SetTabIndex>("TabIndex").Default(-1),
    Event<&TTabControl::OnChange>("OnChange"),
    Event<&TTabControl::OnChanging>("OnChanging"),
    Event<&TTabControl::OnGetImageIndex>("OnGetImageIndex"),
});

const TPublishedRegistration statusPanelRegistration(&TStatusPanel::ClassInfo, {
    Property<&TStatusPanel::Alignment, &TStatusPanel::SetAlignment>("Alignment", AlignmentNames)
        .Default(taLeftJustify),
    Property<&TStatusPanel::Bevel, &TStatusPanel::SetBevel>("Bevel", StatusPanelBevelNames).Default(pbLowered),
    Property<&TStatusPanel::Style, &TStatusPanel::SetStyle>("Style", StatusPanelStyleNames).Default(psText),
    Property<&TStatusPanel::Text, &TStatusPanel::SetText>("Text"),
    Property<&TStatusPanel::Width, &TStatusPanel::SetWidth>("Width").Default(50),
});

const TPublishedRegistration statusBarRegistration(&TStatusBar::ClassInfo, {
    Property<&TStatusBar::Panels>("Panels"),
    Property<&TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel>("SimplePanel").Default(false),
    Property<&TStatusBar::SimpleText, &TStatusBar::SetSimpleText>("SimpleText"),
    Property<&TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip>("SizeGrip").Default(true),
    Event<&TStatusBar::OnDrawPanel>("OnDrawPanel"),
});

const TEnumInfo UDAlignButtonNames{"TUDAlignButton", {"udLeft", "udRight"}};
const TEnumInfo UDOrientationNames{"TUDOrientation", {"udHorizontal", "udVertical"}};
const TEnumInfo TrackBarOrientationNames{"TTrackBarOrientation", {"trHorizontal", "trVertical"}};
const TEnumInfo TickMarkNames{"TTickMark", {"tmBottomRight", "tmTopLeft", "tmBoth"}};
const TEnumInfo TickStyleNames{"TTickStyle", {"tsNone", "tsAuto", "tsManual"}};
const TEnumInfo ProgressBarOrientationNames{"TProgressBarOrientation", {"pbHorizontal", "pbVertical"}};

// The range comes before the position, which it bounds.
const TPublishedRegistration upDownRegistration(&TUpDown::ClassInfo, {
    Property<&TUpDown::AlignButton, &TUpDown::SetAlignButton>("AlignButton", UDAlignButtonNames).Default(udRight),
    Property<&TUpDown::ArrowKeys, &TUpDown::SetArrowKeys>("ArrowKeys").Default(true),
    Property<&TUpDown::Increment, &TUpDown::SetIncrement>("Increment").Default(1),
    Property<&TUpDown::Min, &TUpDown::SetMin>("Min").Default(0),
    Property<&TUpDown::Max, &TUpDown::SetMax>("Max").Default(100),
    Property<&TUpDown::Orientation, &TUpDown::SetOrientation>("Orientation", UDOrientationNames)
        .Default(udVertical),
    Property<&TUpDown::Position, &TUpDown::SetPosition>("Position").Default(0),
    Property<&TUpDown::Thousands, &TUpDown::SetThousands>("Thousands").Default(true),
    Property<&TUpDown::Wrap, &TUpDown::SetWrap>("Wrap").Default(false),
    Property<&TUpDown::Associate, &TUpDown::SetAssociate>("Associate"),
    Event<&TUpDown::OnChanging>("OnChanging"),
    Event<&TUpDown::OnClick>("OnClick"),
});

const TPublishedRegistration trackBarRegistration(&TTrackBar::ClassInfo, {
    Property<&TTrackBar::Orientation, &TTrackBar::SetOrientation>("Orientation", TrackBarOrientationNames)
        .Default(trHorizontal),
    Property<&TTrackBar::Min, &TTrackBar::SetMin>("Min").Default(0),
    Property<&TTrackBar::Max, &TTrackBar::SetMax>("Max").Default(10),
    Property<&TTrackBar::Frequency, &TTrackBar::SetFrequency>("Frequency").Default(1),
    Property<&TTrackBar::LineSize, &TTrackBar::SetLineSize>("LineSize").Default(1),
    Property<&TTrackBar::PageSize, &TTrackBar::SetPageSize>("PageSize").Default(2),
    Property<&TTrackBar::Position, &TTrackBar::SetPosition>("Position").Default(0),
    Property<&TTrackBar::SelStart, &TTrackBar::SetSelStart>("SelStart").Default(0),
    Property<&TTrackBar::SelEnd, &TTrackBar::SetSelEnd>("SelEnd").Default(0),
    Property<&TTrackBar::SliderVisible, &TTrackBar::SetSliderVisible>("SliderVisible").Default(true),
    Property<&TTrackBar::ThumbLength, &TTrackBar::SetThumbLength>("ThumbLength").Default(20),
    Property<&TTrackBar::TickMarks, &TTrackBar::SetTickMarks>("TickMarks", TickMarkNames).Default(tmBottomRight),
    Property<&TTrackBar::TickStyle, &TTrackBar::SetTickStyle>("TickStyle", TickStyleNames).Default(tsAuto),
    Property<&TWinControl::TabStop, &TWinControl::SetTabStop>("TabStop").Default(true),
    Event<&TTrackBar::OnChange>("OnChange"),
});

const TPublishedRegistration progressBarRegistration(&TProgressBar::ClassInfo, {
    Property<&TProgressBar::Min, &TProgressBar::SetMin>("Min").Default(0),
    Property<&TProgressBar::Max, &TProgressBar::SetMax>("Max").Default(100),
    Property<&TProgressBar::Orientation, &TProgressBar::SetOrientation>("Orientation", ProgressBarOrientationNames)
        .Default(pbHorizontal),
    Property<&TProgressBar::Position, &TProgressBar::SetPosition>("Position").Default(0),
    Property<&TProgressBar::Smooth, &TProgressBar::SetSmooth>("Smooth").Default(false),
    Property<&TProgressBar::Step, &TProgressBar::SetStep>("Step").Default(10),
});

}  // namespace
