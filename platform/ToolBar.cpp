#include "platform/ToolBar.h"

#include "platform/ControlsProperties.h"
#include "platform/Menus.h"

#include <algorithm>

const TClassInfo TToolButton::ClassInfo{"TToolButton", &TGraphicControl::ClassInfo, [](TObject* owner) -> TObject* {
                                          return new TToolButton(static_cast<TComponent*>(owner));
                                        }};
const TClassInfo TToolBar::ClassInfo{"TToolBar", &TWinControl::ClassInfo, [](TObject* owner) -> TObject* {
                                       return new TToolBar(static_cast<TComponent*>(owner));
                                     }};

namespace {

bool IsSeparator(TToolButtonStyle style) { return style == tbsSeparator || style == tbsDivider; }

bool IsMouseMessage(UINT msg) {
  return (msg >= WM_LBUTTONDOWN && msg <= WM_MBUTTONDBLCLK) || msg == WM_MOUSEMOVE;
}

BYTE ButtonState(TToolButton* button) {
  BYTE state = 0;
  if (button->Enabled()) state |= TBSTATE_ENABLED;
  if (button->Down()) state |= TBSTATE_CHECKED;
  if (!button->Visible()) state |= TBSTATE_HIDDEN;
  if (button->Wrap()) state |= TBSTATE_WRAP;
  if (button->Indeterminate()) state |= TBSTATE_INDETERMINATE;
  if (button->Marked()) state |= TBSTATE_MARKED;
  return state;
}

TCustomDrawState DrawStateOf(UINT itemState) {
  static const struct {
    UINT Flag;
    TCustomDrawStateItem Item;
  } map[] = {{CDIS_SELECTED, cdsSelected}, {CDIS_GRAYED, cdsGrayed},   {CDIS_DISABLED, cdsDisabled},
             {CDIS_CHECKED, cdsChecked},   {CDIS_FOCUS, cdsFocused},   {CDIS_DEFAULT, cdsDefault},
             {CDIS_HOT, cdsHot},           {CDIS_MARKED, cdsMarked},   {CDIS_INDETERMINATE, cdsIndeterminate}};
  TCustomDrawState state;
  for (const auto& m : map)
    if (itemState & m.Flag) state.Include(m.Item);
  return state;
}

}  // namespace

// -- TToolButton -------------------------------------------------------------------

TToolButton::TToolButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  // The system window presses and clicks the button: no capture, no click
  // of the class library's own.
  FControlStyle = {csSetCaption};
  FWidth = 23;
  FHeight = 22;
}

TToolButton::~TToolButton() { SetDropdownMenu(nullptr); }

void TToolButton::SetParent(TWinControl* value) {
  FToolBar = ObjectAs<TToolBar>(value);
  TGraphicControl::SetParent(value);
}

int TToolButton::Index() const {
  if (!FToolBar) return -1;
  const auto& list = FToolBar->FButtons;
  const auto it = std::find(list.begin(), list.end(), this);
  return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TToolButton::Changed(bool layout) {
  if (!FToolBar || !FToolBar->HandleAllocated() || ComponentState().Contains(csLoading)) return;
  if (layout) {
    FToolBar->RecreateButtons();
  } else {
    FToolBar->UpdateButtonState(this);
  }
}

void TToolButton::SetStyle(TToolButtonStyle value) {
  if (FStyle == value) return;
  if (IsSeparator(value) && !IsSeparator(FStyle) && !ComponentState().Contains(csLoading)) FWidth = 8;
  FStyle = value;
  Changed(true);
}

void TToolButton::SetImageIndex(int value) {
  if (FImageIndex == value) return;
  FImageIndex = value;
  Changed(true);
}

void TToolButton::SetDown(bool value) {
  if (FDown == value) return;
  FDown = value;
  // One button of a group is down: the neighbours of the group come up.
  if (value && FGrouped && FToolBar) {
    const int index = Index();
    const auto& list = FToolBar->FButtons;
    for (int step : {-1, 1})
      for (int i = index + step; i >= 0 && i < static_cast<int>(list.size()); i += step) {
        TToolButton* other = list[i];
        if (!other->FGrouped || other->FStyle != tbsCheck) break;
        if (other->FDown) {
          other->FDown = false;
          other->Changed(false);
        }
      }
  }
  Changed(false);
}

void TToolButton::SetGrouped(bool value) {
  if (FGrouped == value) return;
  FGrouped = value;
  Changed(true);
}

void TToolButton::SetIndeterminate(bool value) {
  if (FIndeterminate == value) return;
  FIndeterminate = value;
  Changed(false);
}

void TToolButton::SetMarked(bool value) {
  if (FMarked == value) return;
  FMarked = value;
  Changed(false);
}

void TToolButton::SetWrap(bool value) {
  if (FWrap == value) return;
  FWrap = value;
  Changed(false);
}

void TToolButton::SetAutoSize(bool value) {
  if (FAutoSize == value) return;
  FAutoSize = value;
  Changed(true);
}

void TToolButton::SetDropdownMenu(TPopupMenu* value) {
  if (FDropdownMenu == value) return;
  if (FDropdownMenu) FDropdownMenu->RemoveFreeNotification(this);
  FDropdownMenu = value;
  if (value) value->FreeNotification(this);
}

void TToolButton::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == FDropdownMenu) FDropdownMenu = nullptr;
}

bool TToolButton::CheckMenuDropdown() {
  if (!FDropdownMenu || !FToolBar || !FToolBar->HandleAllocated()) return false;
  const POINT at = FToolBar->ClientToScreen(POINT{FLeft, FTop + FHeight});
  FDropdownMenu->SetPopupComponent(this);
  // The menu's items may free this button: nothing of it is touched after.
  FDropdownMenu->Popup(at.x, at.y);
  return true;
}

void TToolButton::Dispatch(TMessage& Message) {
  if (IsMouseMessage(Message.Msg)) {
    // The mouse events of the class library, then the system window, which
    // presses the button, opens its arrow and clicks.
    TWeakLink<TToolBar> bar(FToolBar);
    const POINT p = MessagePoint(Message.LParam);
    const LPARAM onBar = MAKELPARAM(p.x + FLeft, p.y + FTop);
    TGraphicControl::Dispatch(Message);
    if (TToolBar* toolBar = bar.Get(); toolBar && toolBar->HandleAllocated()) {
      TMessage forwarded{Message.Msg, Message.WParam, onBar, 0};
      toolBar->DefaultHandler(forwarded);
      Message.Result = forwarded.Result;
    }
    return;
  }
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
      Changed(true);
      return;
    case CM_VISIBLECHANGED:
    case CM_ENABLEDCHANGED:
      Changed(false);
      return;
    default:
      break;
  }
  TGraphicControl::Dispatch(Message);
}

// -- TToolBar ------------------------------------------------------------------------

TToolBar::TToolBar(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = {csAcceptsControls, csDoubleClicks};
  FColor = clBtnFace;
  FWidth = 150;
  FHeight = 29;
  FCanvas.SetControl(this);
  for (TChangeLink* link : {&FImageChangeLink, &FDisabledImageChangeLink, &FHotImageChangeLink})
    link->OnChange = TNotifyEvent::Bind<&TToolBar::ImageListChange>(this);
  SetAlign(alTop);
}

TToolBar::~TToolBar() {
  FButtons.clear();
  FBuilt.clear();
}

void TToolBar::CreateParams(TCreateParams& Params) {
  static const bool registered = [] {
    INITCOMMONCONTROLSEX init{sizeof init, ICC_BAR_CLASSES};
    return InitCommonControlsEx(&init) != FALSE;
  }();
  (void)registered;
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, TOOLBARCLASSNAMEA);
  // The bar is placed by its parent's alignment, not by itself.
  Params.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER | WS_CLIPCHILDREN;
  if (FFlat) Params.Style |= TBSTYLE_FLAT;
  if (FList) Params.Style |= TBSTYLE_LIST;
  if (FWrapable) Params.Style |= TBSTYLE_WRAPABLE;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TToolBar::InitializeWnd() {
  SendMessageA(FHandle, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  // Drop-down buttons have an arrow of their own; the rest of them clicks.
  SendMessageA(FHandle, TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
  SendMessageA(FHandle, TB_SETINDENT, static_cast<WPARAM>(FIndent), 0);
  SendMessageA(FHandle, TB_SETMAXTEXTROWS, FShowCaptions ? 1 : 0, 0);
  FBuilt.clear();
  ApplyImages();
  RecreateButtons();
}

void TToolBar::Loaded() {
  TWinControl::Loaded();
  if (HandleAllocated()) RecreateButtons();
}

std::vector<TControl*> TToolBar::ItemControls() const {
  std::vector<TControl*> items;
  for (TControl* control : FControls)
    if (ObjectAs<TToolButton>(control) || ObjectAs<TWinControl>(control)) items.push_back(control);
  return items;
}

void TToolBar::AlignControls(TControl*, RECT&) {
  if (FRebuilding) return;
  const std::vector<TControl*> items = ItemControls();
  FButtons.clear();
  for (TControl* control : items)
    if (auto* button = ObjectAs<TToolButton>(control)) FButtons.push_back(button);
  if (!HandleAllocated()) return;
  if (items != FBuilt) {
    RecreateButtons();
  } else {
    UpdateBounds();
  }
}

void TToolBar::RecreateButtons() {
  if (!HandleAllocated() || FRebuilding || IsDestroying()) return;
  FRebuilding = true;
  try {
    for (int n = static_cast<int>(SendMessageA(FHandle, TB_BUTTONCOUNT, 0, 0)); n > 0; --n)
      SendMessageA(FHandle, TB_DELETEBUTTON, 0, 0);
    FBuilt = ItemControls();
    FButtons.clear();
    std::vector<AnsiString> captions(FBuilt.size());
    std::vector<TBBUTTON> buttons(FBuilt.size());
    for (size_t i = 0; i < FBuilt.size(); ++i) {
      TBBUTTON& b = buttons[i];
      b.idCommand = static_cast<int>(i);
      b.iString = -1;
      auto* button = ObjectAs<TToolButton>(FBuilt[i]);
      if (!button) {
        // Another control sits in a gap as wide as it is.
        b.fsStyle = BTNS_SEP;
        b.iBitmap = FBuilt[i]->Width();
        b.fsState = static_cast<BYTE>(FBuilt[i]->Visible() ? TBSTATE_ENABLED : TBSTATE_HIDDEN);
        continue;
      }
      FButtons.push_back(button);
      b.fsState = ButtonState(button);
      switch (button->Style()) {
        case tbsButton: b.fsStyle = BTNS_BUTTON; break;
        case tbsCheck: b.fsStyle = static_cast<BYTE>(BTNS_CHECK | (button->Grouped() ? BTNS_GROUP : 0)); break;
        case tbsDropDown: b.fsStyle = BTNS_DROPDOWN; break;
        case tbsSeparator:
        case tbsDivider: b.fsStyle = BTNS_SEP; break;
      }
      if (button->AutoSize()) b.fsStyle |= BTNS_AUTOSIZE;
      if (IsSeparator(button->Style())) {
        b.iBitmap = button->Width();
        continue;
      }
      b.iBitmap = FImages && button->ImageIndex() >= 0 ? button->ImageIndex() : I_IMAGENONE;
      captions[i] = button->Caption();
      // The system window copies the text.
      if (FShowCaptions && !captions[i].empty()) b.iString = reinterpret_cast<INT_PTR>(captions[i].c_str());
    }
    if (!buttons.empty())
      SendMessageA(FHandle, TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data()));
    SendMessageA(FHandle, TB_AUTOSIZE, 0, 0);
  } catch (...) {
    FRebuilding = false;
    throw;
  }
  FRebuilding = false;
  UpdateBounds();
}

void TToolBar::UpdateBounds() {
  if (!HandleAllocated() || FRebuilding) return;
  FRebuilding = true;
  try {
    for (size_t i = 0; i < FBuilt.size(); ++i) {
      RECT r{};
      if (!SendMessageA(FHandle, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r))) continue;
      TControl* control = FBuilt[i];
      if (ObjectAs<TToolButton>(control)) {
        control->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top);
      } else {
        control->SetBounds(r.left, r.top, control->Width(), control->Height());
      }
    }
  } catch (...) {
    FRebuilding = false;
    throw;
  }
  FRebuilding = false;
}

void TToolBar::UpdateButtonState(TToolButton* button) {
  const auto it = std::find(FBuilt.begin(), FBuilt.end(), button);
  if (it == FBuilt.end() || !HandleAllocated()) return;
  SendMessageA(FHandle, TB_SETSTATE, static_cast<WPARAM>(it - FBuilt.begin()), MAKELPARAM(ButtonState(button), 0));
  UpdateBounds();
}

void TToolBar::ReadDownStates() {
  for (size_t i = 0; i < FBuilt.size(); ++i)
    if (auto* button = ObjectAs<TToolButton>(FBuilt[i]); button && button->Style() == tbsCheck)
      button->FDown = SendMessageA(FHandle, TB_ISBUTTONCHECKED, i, 0) != 0;
}

TToolButton* TToolBar::ButtonOfCommand(WPARAM command) const {
  return command < FBuilt.size() ? ObjectAs<TToolButton>(FBuilt[command]) : nullptr;
}

void TToolBar::ApplyImages() {
  if (!HandleAllocated()) return;
  auto listOf = [](TCustomImageList* list) { return reinterpret_cast<LPARAM>(list ? list->Handle() : nullptr); };
  SendMessageA(FHandle, TB_SETIMAGELIST, 0, listOf(FImages));
  SendMessageA(FHandle, TB_SETDISABLEDIMAGELIST, 0, listOf(FDisabledImages));
  SendMessageA(FHandle, TB_SETHOTIMAGELIST, 0, listOf(FHotImages));
  const int width = FImages ? FImages->Width() : 16, height = FImages ? FImages->Height() : 15;
  SendMessageA(FHandle, TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height));
  SendMessageA(FHandle, TB_SETBUTTONSIZE, 0, MAKELPARAM(FButtonWidth, FButtonHeight));
}

void TToolBar::ImageListChange(TObject*) {
  if (!HandleAllocated()) return;
  ApplyImages();
  RecreateButtons();
}

void TToolBar::SetImageList(TCustomImageList*& field, TChangeLink& link, TCustomImageList* value) {
  if (field == value) return;
  if (field) {
    field->UnRegisterChanges(&link);
    field->RemoveFreeNotification(this);
  }
  field = value;
  if (value) {
    value->RegisterChanges(&link);
    value->FreeNotification(this);
  }
  ImageListChange(nullptr);
}

void TToolBar::SetImages(TCustomImageList* value) { SetImageList(FImages, FImageChangeLink, value); }

void TToolBar::SetDisabledImages(TCustomImageList* value) {
  SetImageList(FDisabledImages, FDisabledImageChangeLink, value);
}

void TToolBar::SetHotImages(TCustomImageList* value) { SetImageList(FHotImages, FHotImageChangeLink, value); }

void TToolBar::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FImages) SetImages(nullptr);
  if (component == FDisabledImages) SetDisabledImages(nullptr);
  if (component == FHotImages) SetHotImages(nullptr);
}

void TToolBar::SetButtonWidth(int value) {
  if (FButtonWidth == value) return;
  FButtonWidth = value;
  ImageListChange(nullptr);
}

void TToolBar::SetButtonHeight(int value) {
  if (FButtonHeight == value) return;
  FButtonHeight = value;
  ImageListChange(nullptr);
}

void TToolBar::SetFlat(bool value) {
  if (FFlat == value) return;
  FFlat = value;
  RecreateWnd();
}

void TToolBar::SetShowCaptions(bool value) {
  if (FShowCaptions == value) return;
  FShowCaptions = value;
  RecreateWnd();
}

void TToolBar::SetList(bool value) {
  if (FList == value) return;
  FList = value;
  RecreateWnd();
}

void TToolBar::SetWrapable(bool value) {
  if (FWrapable == value) return;
  FWrapable = value;
  RecreateWnd();
}

void TToolBar::SetIndent(int value) {
  if (FIndent == value) return;
  FIndent = value;
  if (!HandleAllocated()) return;
  SendMessageA(FHandle, TB_SETINDENT, static_cast<WPARAM>(value), 0);
  UpdateBounds();
}

LRESULT TToolBar::CustomDraw(NMTBCUSTOMDRAW& draw) {
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT: {
      if (OnCustomDraw) {
        bool defaultDraw = true;
        const TCanvasPaintScope scope(FCanvas, draw.nmcd.hdc);
        FCanvas.Font()->Assign(Font());
        const RECT client = ClientRect();
        FireEvent(OnCustomDraw, this, client, defaultDraw);
        if (!defaultDraw) return CDRF_SKIPDEFAULT;
      }
      return OnCustomDrawButton ? CDRF_NOTIFYITEMDRAW : CDRF_DODEFAULT;
    }
    case CDDS_ITEMPREPAINT: {
      TToolButton* button = ButtonOfCommand(draw.nmcd.dwItemSpec);
      if (!OnCustomDrawButton || !button) return CDRF_DODEFAULT;
      bool defaultDraw = true;
      const TCanvasPaintScope scope(FCanvas, draw.nmcd.hdc);
      FCanvas.Font()->Assign(Font());
      FireEvent(OnCustomDrawButton, this, button, DrawStateOf(draw.nmcd.uItemState), defaultDraw);
      return defaultDraw ? CDRF_DODEFAULT : CDRF_SKIPDEFAULT;
    }
    default:
      return CDRF_DODEFAULT;
  }
}

void TToolBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND: {
      TToolButton* button = ButtonOfCommand(LOWORD(Message.WParam));
      Message.Result = 0;
      if (!button) return;
      const bool wasDown = button->FDown;
      ReadDownStates();
      const int index = static_cast<int>(std::find(FBuilt.begin(), FBuilt.end(), button) - FBuilt.begin());
      if (button->FGrouped && button->FAllowAllUp && wasDown && button->FDown) {
        // The system keeps the pressed button of a group down.
        SendMessageA(FHandle, TB_CHECKBUTTON, static_cast<WPARAM>(index), FALSE);
        button->FDown = false;
      }
      button->Click();
      return;
    }
    case CN_NOTIFY: {
      Message.Result = 0;
      if (!IsReflectedNotify(Message.LParam)) return;
      auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
      if (header->code == TBN_DROPDOWN) {
        auto* notify = reinterpret_cast<NMTOOLBARA*>(Message.LParam);
        if (TToolButton* button = ButtonOfCommand(static_cast<WPARAM>(notify->iItem))) button->CheckMenuDropdown();
        Message.Result = TBDDRET_DEFAULT;
        return;
      }
      if (header->code == NM_CUSTOMDRAW) {
        Message.Result = CustomDraw(*reinterpret_cast<NMTBCUSTOMDRAW*>(Message.LParam));
        return;
      }
      return;
    }
    default:
      break;
  }
  TWinControl::Dispatch(Message);
}

// -- Published properties -------------------------------------------------------

namespace {

const TEnumInfo ToolButtonStyleNames{"TToolButtonStyle",
                                     {"tbsButton", "tbsCheck", "tbsDropDown", "tbsSeparator", "tbsDivider"}};

const TPublishedRegistration toolButtonRegistration(&TToolButton::ClassInfo, {
    Property<&TToolButton::AllowAllUp, &TToolButton::SetAllowAllUp>("AllowAllUp").Default(false),
    Property<&TToolButton::AutoSize, &TToolButton::SetAutoSize>("AutoSize").Default(false),
    Property<&TControl::Caption, &TControl::SetCaption>("Caption"),
    Property<&TToolButton::Style, &TToolButton::SetStyle>("Style", ToolButtonStyleNames).Default(tbsButton),
    Property<&TToolButton::Grouped, &TToolButton::SetGrouped>("Grouped").Default(false),
    Property<&TToolButton::Down, &TToolButton::SetDown>("Down").Default(false),
    Property<&TToolButton::DropdownMenu, &TToolButton::SetDropdownMenu>("DropdownMenu"),
    Property<&TToolButton::ImageIndex, &TToolButton::SetImageIndex>("ImageIndex").Default(-1),
    Property<&TToolButton::Indeterminate, &TToolButton::SetIndeterminate>("Indeterminate").Default(false),
    Property<&TToolButton::Marked, &TToolButton::SetMarked>("Marked").Default(false),
    Property<&TToolButton::Wrap, &TToolButton::SetWrap>("Wrap").Default(false),
});

const TPublishedRegistration toolBarRegistration(&TToolBar::ClassInfo, {
    Property<&TControl::Align, &TControl::SetAlign>("Align", AlignNames).Default(alTop),
    Property<&TToolBar::ButtonHeight, &TToolBar::SetButtonHeight>("ButtonHeight").Default(22),
    Property<&TToolBar::ButtonWidth, &TToolBar::SetButtonWidth>("ButtonWidth").Default(23),
    Property<&TToolBar::DisabledImages, &TToolBar::SetDisabledImages>("DisabledImages"),
    Property<&TToolBar::Flat, &TToolBar::SetFlat>("Flat").Default(false),
    Property<&TToolBar::HotImages, &TToolBar::SetHotImages>("HotImages"),
    Property<&TToolBar::Images, &TToolBar::SetImages>("Images"),
    Property<&TToolBar::Indent, &TToolBar::SetIndent>("Indent").Default(0),
    Property<&TToolBar::List, &TToolBar::SetList>("List").Default(false),
    Property<&TToolBar::ShowCaptions, &TToolBar::SetShowCaptions>("ShowCaptions").Default(false),
    Property<&TToolBar::Wrapable, &TToolBar::SetWrapable>("Wrapable").Default(true),
    Event<&TToolBar::OnCustomDraw>("OnCustomDraw"),
    Event<&TToolBar::OnCustomDrawButton>("OnCustomDrawButton"),
});

}  // namespace
