#include "skin/WinSkinMenu.h"

#include "platform/Forms.h"
#include "platform/ImageList.h"
#include "platform/Menus.h"
#include "platform/Screen.h"
#include "platform/ShortCuts.h"
#include "platform/ThreadHook.h"
#include "skin/SkinData.h"
#include "skin/SkinDraw.h"
#include "skin/SkinManage.h"
#include "skin/SkinVersion.h"

#include <algorithm>

const TClassInfo TMenuBtn::ClassInfo{"TMenuBtn", &TNCObject::ClassInfo, nullptr};
const TClassInfo TWinSkinMenu::ClassInfo{"TWinSkinMenu", &TComponent::ClassInfo, nullptr};

namespace {




bool WindowsNT4() {
  const TSkinWindowsVersion v = SkinWindowsVersion();
  return v.NT && v.Major == 4;
}

// The character after the caption's single "&", upper-cased; 0 without one.
wchar_t AccelOf(const std::wstring& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != L'&') continue;
    if (caption[i + 1] == L'&') {
      ++i;
      continue;
    }
    wchar_t c[2] = {caption[i + 1], 0};
    CharUpperBuffW(c, 1);
    return c[0];
  }
  return 0;
}

// -- The menu loop's state: one drop-down is open at a time.
TWeakLink<TWinSkinForm> LoopForm;
int LoopIndex = -1;
bool LoopFirstMessageSeen = false;
bool LoopSwitching = false;
std::unique_ptr<TThreadHook> LoopHook;

// The highlighted item of an open menu, following open submenus down:
// `owner` is the menu holding it; `children` tells whether it opens a
// submenu. False when nothing is highlighted.
bool HighlightedItem(HMENU menu, HMENU& owner, bool& children) {
  for (int depth = 0; menu && depth < 16; ++depth) {
    const int count = GetMenuItemCount(menu);
    int found = -1;
    MENUITEMINFOA info{};
    for (int i = 0; i < count; ++i) {
      info = MENUITEMINFOA{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_STATE | MIIM_SUBMENU;
      if (GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info) && (info.fState & MFS_HILITE)) {
        found = i;
        break;
      }
    }
    if (found < 0) return depth > 0;
    owner = menu;
    children = info.hSubMenu != nullptr;
    if (!info.hSubMenu) return true;
    // Deeper when its submenu has a highlighted item of its own.
    HMENU deeper = info.hSubMenu;
    HMENU deeperOwner = nullptr;
    bool deeperChildren = false;
    if (!HighlightedItem(deeper, deeperOwner, deeperChildren)) return true;
    owner = deeperOwner;
    children = deeperChildren;
    return true;
  }
  return false;
}

void MenuLoopHook(THookCall& Call) {
  auto* msg = reinterpret_cast<MSG*>(Call.LParam);
  TWinSkinForm* form = LoopForm.Get();
  // A right-to-left bar runs the other way.
  if (form && msg && form->LeftScrollBar() && msg->message == WM_KEYDOWN &&
      (msg->wParam == VK_LEFT || msg->wParam == VK_RIGHT))
    msg->wParam = msg->wParam == VK_LEFT ? VK_RIGHT : VK_LEFT;
  const LRESULT next = Call.CallNext();
  if (next != 0 || Call.Code != MSGF_MENU || !form || !msg) return;
  if (!LoopFirstMessageSeen) {
    LoopFirstMessageSeen = true;
    // The drop-down opens with its first item selected.
    PostMessageA(msg->hwnd, WM_KEYDOWN, VK_DOWN, 0);
  }
  TWinSkinMenu* bar = form->MenuBar();
  if (!bar) return;
  TMenuBtn* target = nullptr;
  switch (msg->message) {
    case WM_KEYDOWN: {
      if (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE) LoopSwitching = false;
      HMENU owner = nullptr;
      bool children = false;
      const bool selected = HighlightedItem(form->TrackedMenu(), owner, children);
      // Left from the drop-down's own items, Right from an item that opens
      // nothing: the neighbouring bar item.
      if (msg->wParam == VK_LEFT && (!selected || owner == form->TrackedMenu())) target = NeighbourMenuItem(false);
      if (msg->wParam == VK_RIGHT && (!selected || !children)) target = NeighbourMenuItem(true);
      break;
    }
    case WM_SYSKEYDOWN:
      if (msg->wParam == VK_MENU) form->SetMenuLoop(false);
      break;
    case WM_MOUSEMOVE: target = bar->ItemAt(form->ScreenToFrame(msg->pt.x, msg->pt.y)); break;
    default: break;
  }
  if (target && target->Index != LoopIndex && target->Enabled) {
    LoopSwitching = true;
    // The open drop-down ends; the posted click opens the other item.
    EndMenu();
    form->ClickMenuItem(target);
  }
}

}  // namespace

TMenuItem* FindBarMenuItem(TMainMenu* menu, UINT command) {
  for (TMainMenu* m = menu; m; m = m->Merged()) {
    TMenuItem* item = m->Items()->FindCommand(command);
    if (item && item->ParentItem()) return item;
  }
  return nullptr;
}

void InstallMenuLoopHook() {
  LoopSwitching = false;
  LoopFirstMessageSeen = false;
  if (LoopHook) return;
  LoopHook = std::make_unique<TThreadHook>();
  LoopHook->Install(hkMsgFilter, THookProc::Lambda([](THookCall& Call) { MenuLoopHook(Call); }));
}

void RemoveMenuLoopHook() {
  LoopHook.reset();
  LoopIndex = -1;
  LoopFirstMessageSeen = false;
}

bool MenuLoopHookInstalled() { return LoopHook != nullptr; }

TWinSkinForm* MenuLoopForm() { return LoopForm.Get(); }
int MenuLoopIndex() { return LoopIndex; }

TMenuBtn* NeighbourMenuItem(bool next) {
  TWinSkinForm* form = LoopForm.Get();
  TWinSkinMenu* bar = form ? form->MenuBar() : nullptr;
  if (!bar || bar->ItemCount() == 0) return nullptr;
  const int count = bar->ItemCount();
  int index = LoopIndex;
  for (int step = 0; step < count; ++step) {
    index = next ? (index + 1) % count : (index - 1 + count) % count;
    TMenuBtn* item = bar->Items(index);
    if (item->Visible && !item->Caption.empty()) return item;
  }
  return nullptr;
}

void SetMenuOwnerDraw(HMENU menu) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_SUBMENU;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) continue;
    if (!(info.fType & MFT_OWNERDRAW)) {
      MENUITEMINFOA type{};
      type.cbSize = sizeof type;
      type.fMask = MIIM_FTYPE;
      type.fType = info.fType | MFT_OWNERDRAW;
      SetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &type);
    }
    if (info.hSubMenu) SetMenuOwnerDraw(info.hSubMenu);
  }
}

// ---------------------------------------------------------------------------
// TMenuBtn

void TMenuBtn::Paint() {
  TWinSkinMenu* bar = FForm->MenuBar();
  if (!bar || bar->Background()->Empty() || !Visible) return;
  const RECT barRect = bar->BarRect();
  RECT r = Bounds;
  IntersectRect(&r, &r, &barRect);
  if (IsRectEmpty(&r)) return;
  TSkinData* data = FForm->SkinData();
  std::unique_ptr<TBitmap> image = NewSkinBitmap(RectWidth(r), RectHeight(r));
  HDC dc = image->Canvas()->Handle();
  BitBlt(dc, 0, 0, RectWidth(r), RectHeight(r), bar->Background()->Canvas()->Handle(), r.left - barRect.left,
         r.top - barRect.top, SRCCOPY);
  const RECT local{0, 0, RectWidth(r), RectHeight(r)};
  if (State == 2 || State == 3) {
    TGdiObject brush(CheckGDI(CreateSolidBrush(ColorToRGB(data->Colors(ccButtonHilight)))));
    FrameRect(dc, &local, static_cast<HBRUSH>(brush.Get()));
  }
  {
    TSelectObjectGuard font(dc, bar->MenuFont());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(data->Colors(Enabled ? ccMenuBarText : ccButtonShadow)));
    RECT text = local;
    SkinDrawText(dc, Caption, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  }
  TWindowDC window(FForm->Window(), TWindowDC::WholeWindow);
  if (window.Get()) BitBlt(window.Get(), r.left, r.top, RectWidth(r), RectHeight(r), dc, 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------
// TWinSkinMenu

TWinSkinMenu::TWinSkinMenu(TWinSkinForm* form, TMainMenu* menu, HMENU handle)
    : TComponent(nullptr), FForm(form), FMenu(menu), FHandle(handle), FBackground(NewSkinBitmap(0, 0)) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    FMenuFont.Reset(CheckGDI(CreateFontIndirectA(&metrics.lfMenuFont)));
}

TWinSkinMenu::~TWinSkinMenu() {
  if (dynamic_cast<TMenuBtn*>(FForm->HotObject())) FForm->SetHotObject(nullptr);
}

HFONT TWinSkinMenu::MenuFont() const {
  return FMenuFont ? static_cast<HFONT>(FMenuFont.Get()) : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void TWinSkinMenu::BuildItems() { Build(FHandle, false); }

void TWinSkinMenu::RebuildItems(HMENU handle) {
  Build(handle, true);
  LayoutItems();
}

void TWinSkinMenu::Build(HMENU handle, bool nativeTextFirst) {
  if (dynamic_cast<TMenuBtn*>(FForm->HotObject())) FForm->SetHotObject(nullptr);
  FItems.clear();
  FHandle = handle;
  if (FForm->Form() && !FMenu) return;
  const TSkinWindowsVersion version = SkinWindowsVersion();
  if (FMenu && version.Major == 4 && version.Minor == 0) {
    // Windows NT 4 and 95 read the class library's items.
    TMenuItem* root = FMenu->Items();
    for (int i = 0; i < root->Count(); ++i) {
      TMenuItem* item = root->Items(i);
      auto button = std::make_unique<TMenuBtn>(FForm, static_cast<int>(FItems.size()));
      button->Item = item;
      button->Visible = item->Visible();
      button->Enabled = item->Enabled();
      button->Command = item->Command();
      button->Caption = AnsiToWide(item->Caption());
      button->DropDown = item->Count() > 0 ? item->Handle() : nullptr;
      FItems.push_back(std::move(button));
    }
  } else if (handle) {
    const int count = GetMenuItemCount(handle);
    for (int i = 0; i < count; ++i) {
      char text[MaxMenuText + 1] = {};
      MENUITEMINFOA info{};
      info.cbSize = sizeof info;
      info.fMask = MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_FTYPE;
      info.dwTypeData = text;
      info.cch = MaxMenuText;
      if (!GetMenuItemInfoA(handle, static_cast<UINT>(i), TRUE, &info)) continue;
      auto button = std::make_unique<TMenuBtn>(FForm, static_cast<int>(FItems.size()));
      button->Visible = true;
      button->Enabled = !(info.fState & (MFS_GRAYED | MFS_DISABLED));
      button->Command = info.wID;
      button->DropDown = info.hSubMenu;
      button->Caption = AnsiToWide(text);
      if (TMenuItem* item = FindBarMenuItem(FMenu, info.wID)) {
        button->Item = item;
        item->InitiateAction();
        if (!nativeTextFirst || button->Caption.empty()) {
          button->Caption = AnsiToWide(item->Caption());
          button->Enabled = item->Enabled();
          if (item->Count() > 0) button->DropDown = item->Handle();
        }
      }
      FItems.push_back(std::move(button));
    }
  }
  // The system draws no menu bar of its own.
  if (GetMenu(FForm->Window())) SetMenu(FForm->Window(), nullptr);
}

void TWinSkinMenu::LayoutItems() {
  if (IsRectEmpty(&FBarRect)) {
    const RECT frame = FForm->FrameSize();
    RECT window{};
    GetWindowRect(FForm->Window(), &window);
    FBarRect = {frame.left, frame.top, RectWidth(window) - frame.right, frame.top + FForm->MenuBarHeight()};
  }
  TSkinData* data = FForm->SkinData();
  TDataSkinObject* object = data ? data->Object(soMenuBar) : nullptr;
  const int barWidth = RectWidth(FBarRect);
  const bool narrow = object && barWidth < object->LeftWidth + object->RightWidth;
  const bool rightToLeft = FForm->LeftScrollBar();
  int x = 6;
  if (object) {
    if (rightToLeft) {
      x = narrow ? 12 : object->RightWidth + 8;
    } else {
      x = narrow ? 12 : object->LeftWidth + 4;
    }
  }
  int right = FBarRect.right - x;  // right to left: the first item's right edge
  if (rightToLeft && FForm->MDIRole() == TWinSkinForm::mrFrame) {
    // Room for the buttons of a maximized MDI child.
    for (const auto& button : FForm->SysButtons()) {
      TDataSkinSysButton* b = button->Data();
      if (b && b->Align == 100 && button->Visible && !b->Bitmap->Empty() && !IsRectEmpty(&button->Bounds))
        right = std::min<int>(right, button->Bounds.left - 5);
    }
  }
  TScreenDC screen;
  TSelectObjectGuard font(screen.Get(), MenuFont());
  const int height = std::max(RectHeight(FBarRect) - 1, 0);
  int left = FBarRect.left + x;
  for (const auto& item : FItems) {
    if (!item->Visible) {
      item->Bounds = {};
      continue;
    }
    int width = 0;
    if (!item->Caption.empty()) {
      RECT r{0, 0, 0, 0};
      SkinDrawText(screen.Get(), item->Caption, r, DT_CALCRECT | DT_SINGLELINE);
      width = RectWidth(r) + 10;
    }
    if (rightToLeft) {
      item->Bounds = {right - width, FBarRect.top, right, FBarRect.top + height};
      right -= width;
    } else {
      item->Bounds = {left, FBarRect.top, left + width, FBarRect.top + height};
      left += width;
    }
  }
}

void TWinSkinMenu::Paint(HDC dc, const RECT& bar) {
  TSkinData* data = FForm->SkinData();
  const int W = RectWidth(bar), H = RectHeight(bar);
  if (!data || W <= 0 || H <= 0 || FPainting) return;
  FPainting = true;
  FBarRect = bar;
  LayoutItems();
  std::unique_ptr<TBitmap> image = NewSkinBitmap(W, H);
  HDC work = image->Canvas()->Handle();
  const RECT all{0, 0, W, H};
  TDataSkinObject* object = data->Object(soMenuBar);
  if (object && !object->Bitmap->Empty()) {
    const int frame = FForm->Active() ? 1 : 2;
    const RECT margins{object->LeftWidth, 0, object->RightWidth, 0};
    if (object->Tile == 1) {
      DrawSkinImage(work, all, object->Bitmap.get(), true, false, false, 2, frame, margins);
    } else {
      DrawSkinStrip(work, all, object->Bitmap.get(), true, false, 2, frame, margins);
    }
  } else {
    TGdiObject brush(CheckGDI(CreateSolidBrush(ColorToRGB(data->Colors(ccMenubar)))));
    FillRect(work, &all, static_cast<HBRUSH>(brush.Get()));
  }
  FBackground = NewSkinBitmap(W, H);
  BitBlt(FBackground->Canvas()->Handle(), 0, 0, W, H, work, 0, 0, SRCCOPY);
  {
    TSelectObjectGuard font(work, MenuFont());
    SetBkMode(work, TRANSPARENT);
    for (const auto& item : FItems) {
      if (!item->Visible || item->Caption.empty()) continue;
      SetTextColor(work, ColorToRGB(data->Colors(item->Enabled ? ccMenuBarText : ccButtonShadow)));
      RECT r = item->Bounds;
      OffsetRect(&r, -bar.left, -bar.top);
      SkinDrawText(work, item->Caption, r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
  }
  // The buttons of a maximized MDI child sit in the bar.
  if (FForm->MDIRole() == TWinSkinForm::mrFrame) {
    bool shown = false;
    for (const auto& button : FForm->SysButtons()) {
      TDataSkinSysButton* b = button->Data();
      if (!b || b->Align != 100 || !button->Visible || b->Bitmap->Empty() || IsRectEmpty(&button->Bounds)) continue;
      RECT r = button->Bounds;
      OffsetRect(&r, -bar.left, -bar.top);
      DrawSkinFrame(work, r, b->Bitmap.get(), true, b->FrameCount, 1);
      shown = true;
    }
    if (shown)
      if (TSkinManage* manager = SkinManager(); manager && !manager->MDIMaximized()) manager->SetMDIMaximized(1);
  }
  BitBlt(dc, bar.left, bar.top, W, H, work, 0, 0, SRCCOPY);
  FPainting = false;
}

TMenuBtn* TWinSkinMenu::ItemAt(POINT p) {
  for (const auto& item : FItems)
    if (item->Visible && !item->Caption.empty() && PtInRect(&item->Bounds, p)) return item.get();
  return nullptr;
}

// ---------------------------------------------------------------------------
// The form skinner's side of the bar

void TWinSkinForm::CreateMenuBar() {
  auto* menu = FForm ? FForm->Menu() : nullptr;
  FMenuBar = std::make_unique<TWinSkinMenu>(this, menu, FMenu);
  FMenuBarHeight = GetSystemMetrics(SM_CYMENU);
  FMenuBar->BuildItems();
}

void TWinSkinForm::FreeMenuBar() {
  if (MenuLoopForm() == this) EndMenu();
  FMenuBar.reset();
}

void TWinSkinForm::MenuChanged() {
  HMENU native = GetMenu(FWindow);
  if (!native) return;
  if (FMenuBar) {
    if (!FSkinData || FSkinData->MenuUpdate()) {
      FMenu = native;
      FMenuBar->RebuildItems(native);
    }
  } else if (FFrameSkinning && FMDIRole != mrChild && !FChild) {
    // A window that gets its first menu gets the bar.
    FMenu = native;
    CreateMenuBar();
    ResizeToSkin(true);
  }
  if (GetMenu(FWindow)) SetMenu(FWindow, nullptr);
  PaintFrame(nullptr);
}

bool TWinSkinForm::DropMenu(TMenuBtn* item) {
  // A disabled item does nothing: no command, no hook, no drop-down.
  if (!item || !item->Enabled) return false;
  PostMessageA(FWindow, WM_COMMAND, item->Command & 0xFFFF, 0);
  if (!item->DropDown) return false;
  HMENU dropDown = item->DropDown;
  LoopForm = this;
  LoopIndex = item->Index;
  if (!WindowsNT4()) SetMenuOwnerDraw(dropDown);
  FMenuLoop = true;
  TSkinManage* manager = SkinManager();
  if (manager) {
    manager->SetMenuMode(1);
    manager->SetMenuBarTracking(true);
  }
  FTrackedMenu = dropDown;
  InstallMenuLoopHook();
  RECT window{};
  GetWindowRect(FWindow, &window);
  UINT flags = TPM_RIGHTBUTTON | TPM_NONOTIFY;
  POINT at{window.left + item->Bounds.left, window.top + item->Bounds.bottom};
  if (FLeftScrollBar) {
    at.x = window.left + item->Bounds.right;
    flags |= TPM_RIGHTALIGN;
  }
  TWeakLink<TWinSkinForm> self(this);
  TrackPopupMenu(dropDown, flags, at.x, at.y, 0, FWindow, nullptr);
  RemoveMenuLoopHook();
  if (!self.Get()) return true;
  if (LoopForm.Get() == this) LoopForm = nullptr;
  FMenuLoop = false;
  FTrackedMenu = nullptr;
  return true;
}

void TWinSkinForm::ClickMenuItem(TMenuBtn* item) {
  if (!item) return;
  RECT window{};
  GetWindowRect(FWindow, &window);
  const int x = window.left + item->Bounds.left + 1, y = window.top + item->Bounds.top + 1;
  PostMessageA(FWindow, WM_NCLBUTTONDOWN, 1, MAKELPARAM(x, y));
}

TMenuBtn* TWinSkinForm::FindAccelItem(char key) {
  if (!FMenuBar || !key) return nullptr;
  const wchar_t wanted = AccelOf(L"&" + AnsiToWide(AnsiString(1, key)));
  for (int i = 0; i < FMenuBar->ItemCount(); ++i) {
    TMenuBtn* item = FMenuBar->Items(i);
    if (item->Enabled && item->Visible && wanted && AccelOf(item->Caption) == wanted) return item;
  }
  return nullptr;
}

void TWinSkinForm::OpenMenuAt(TMessage& Message) {
  Message.Result = 0;
  const POINT screen{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
  const POINT p = ScreenToFrame(screen.x, screen.y);
  if (SysButtonAt(p) || !FMenuBar) return;
  if (TMenuBtn* item = FMenuBar->ItemAt(p)) DropMenu(item);
}

void TWinSkinForm::DialogChar(TMessage& Message) {
  if (FSavedWindowProc) FSavedWindowProc(Message);
  if (Message.Result != 0) return;
  const bool alt = (HIWORD(Message.LParam) & KF_ALTDOWN) != 0 || GetKeyState(VK_MENU) < 0;
  const bool altAlone = alt && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0;
  if (altAlone) {
    if (TMenuBtn* item = FindAccelItem(static_cast<char>(Message.WParam))) {
      ClickMenuItem(item);
      Message.Result = 1;
      return;
    }
  }
  // The key may name an item of another form's bar.
  TCustomForm* target = nullptr;
  if (FMDIRole == mrChild) {
    if (TSkinManage* manager = SkinManager()) target = manager->MDIFrameForm();
  } else if (FForm && Application && Application->MainForm() != FForm && !FForm->Modal()) {
    target = Application->MainForm();
  }
  if (target && target != FForm && target->HandleAllocated())
    Message.Result = target->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam);
}

bool TWinSkinForm::KeyMenu(TMessage& Message) {
  if ((Message.WParam & 0xFFF0) != SC_KEYMENU || FMenuLoop) return false;
  const auto key = static_cast<char>(Message.LParam);
  if (key == ' ') {
    if (!(FCapabilities & cfSystemMenu)) return false;
    POINT origin{0, 0};
    ClientToScreen(FWindow, &origin);
    ShowSystemMenu(origin);
    Message.Result = 0;
    return true;
  }
  if (key == '-' || GetCapture()) return false;
  if (key == 0) {
    // Alt alone: the first item of the bar.
    if (FMenuBar)
      for (int i = 0; i < FMenuBar->ItemCount(); ++i)
        if (TMenuBtn* item = FMenuBar->Items(i); item->Visible && !item->Caption.empty()) {
          ClickMenuItem(item);
          break;
        }
    Message.Result = 1;
    return true;
  }
  if (TMenuBtn* item = FindAccelItem(key)) {
    ClickMenuItem(item);
    Message.Result = 1;
    return true;
  }
  return false;
}

// ---------------------------------------------------------------------------
// The replacement system menu

void TWinSkinForm::ShowSystemMenu(POINT p) {
  const DWORD now = GetTickCount();
  if (!FSysMenuShown || now - FLastSysMenuTime > FDoubleClickTime) {
    if (TSkinManage* manager = SkinManager()) manager->SetMenuMode(2);
    FLastSysMenuTime = now;
    FSysMenuShown = true;
    BuildSystemMenu();
    FSystemMenu->Popup(p.x, p.y);
    return;
  }
  // A second click within the double-click time: on the window icon it
  // closes the window.
  if (FHotObject) {
    FHoverTimer->SetEnabled(false);
    PostMessageA(FWindow, WM_CLOSE, 0, 0);
  }
}

void TWinSkinForm::SystemMenuClick(TObject* Sender) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!item) return;
  const intptr_t command = item->Tag();
  if (command > 0) {
    PostMessageA(FWindow, WM_SYSCOMMAND, static_cast<WPARAM>(command), 0);
    return;
  }
  // The fixed items of Windows NT 4.
  switch (command) {
    case -1: RestoreSize(); break;
    case -2: Maximize(); break;
    case -3: Minimize(); break;
    case -4:
      FHoverTimer->SetEnabled(false);
      PostMessageA(FWindow, WM_CLOSE, 0, 0);
      break;
    default: break;
  }
}

void TWinSkinForm::BuildSystemMenu() {
  FSystemMenu = std::make_unique<TPopupMenu>(nullptr);
  TPopupMenu* menu = FSystemMenu.get();
  menu->SetImages(FSkinData ? FSkinData->MenuGlyphs() : nullptr);
  menu->SetOwnerDraw(true);
  const auto add = [&](const AnsiString& caption, intptr_t tag, int image, bool enabled, bool checked) {
    auto* item = new TMenuItem(menu);
    item->SetCaption(caption);
    item->SetTag(tag);
    item->SetImageIndex(image);
    item->SetEnabled(enabled);
    item->SetChecked(checked);
    item->OnClick = TNotifyEvent::Bind<&TWinSkinForm::SystemMenuClick>(this);
    item->OnDrawItem = TMenuDrawItemEvent::Bind<&TWinSkinForm::DrawMenuItem>(this);
    item->OnMeasureItem = TMenuMeasureItemEvent::Bind<&TWinSkinForm::MeasurePopupItem>(this);
    menu->Items()->Add(item);
    return item;
  };
  if (WindowsNT4()) {
    add(" Restore ", -1, 0, true, false);
    if (FCapabilities & cfMaximize) add(" Maximize ", -2, 1, true, false);
    if (FCapabilities & cfMinimize) add(" Minimize ", -3, 2, true, false);
    add("-", 0, -1, true, false);
    add(" Close ", -4, 3, true, false)->SetShortCut(TextToShortCut("Alt+F4"));
    return;
  }
  if (!FSysMenu) FSysMenu = GetSystemMenu(FWindow, FALSE);
  const int count = FSysMenu ? GetMenuItemCount(FSysMenu) : 0;
  for (int i = 0; i < count; ++i) {
    char text[MaxMenuText + 1] = {};
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_FTYPE;
    info.dwTypeData = text;
    info.cch = MaxMenuText;
    if (!GetMenuItemInfoA(FSysMenu, static_cast<UINT>(i), TRUE, &info)) continue;
    if (info.fType & MFT_SEPARATOR) {
      add("-", 0, -1, true, false);
      continue;
    }
    AnsiString caption(text);
    TShortCut shortCut = 0;
    if (const size_t tab = caption.find('\t'); tab != AnsiString::npos) {
      shortCut = TextToShortCut(caption.substr(tab + 1));
      caption = caption.substr(0, tab);
    }
    bool enabled = !(info.fState & (MFS_GRAYED | MFS_DISABLED));
    int image = -1;
    switch (info.wID & 0xFFF0) {
      case SC_SIZE:
      case SC_MOVE: enabled = FShowState != ssMaximized; break;
      case SC_MINIMIZE:
        image = 2;
        enabled = FShowState != ssMinimized && (FCapabilities & cfMinimize);
        break;
      case SC_MAXIMIZE:
        image = 1;
        enabled = FShowState != ssMaximized && (FCapabilities & cfMaximize);
        break;
      case SC_CLOSE: image = 3; break;
      case SC_RESTORE:
        image = 0;
        enabled = FShowState != ssNormal;
        break;
      default: break;
    }
    TMenuItem* item = add(caption, static_cast<intptr_t>(info.wID), image, enabled, (info.fState & MFS_CHECKED) != 0);
    if (shortCut) item->SetShortCut(shortCut);
  }
}
