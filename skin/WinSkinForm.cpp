#include "skin/WinSkinForm.h"
#include "skin/WinSubClass.h"

#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/Messages.h"
#include "platform/Properties.h"
#include "skin/SkinData.h"
#include "skin/SkinManage.h"
#include "skin/SkinVersion.h"
#include "skin/WinSkinMenu.h"

#include <algorithm>

const TClassInfo TWinSkinForm::ClassInfo{"TWinSkinForm", &TComponent::ClassInfo, nullptr};

namespace {

constexpr UINT WM_NCUAHDRAWCAPTION = 0x00AE;  // the system's own caption drawing

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

bool IsSystemCommand(WPARAM command) {
  switch (command & 0xFFF0) {
    case SC_SIZE:
    case SC_MOVE:
    case SC_MINIMIZE:
    case SC_MAXIMIZE:
    case SC_NEXTWINDOW:
    case SC_PREVWINDOW:
    case SC_CLOSE:
    case SC_RESTORE: return true;
    default: return false;
  }
}

}  // namespace

TWinSkinForm::TWinSkinForm(TComponent* AOwner) : TComponent(AOwner) {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  FCaptionFont = std::make_unique<TFont>();
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
    FCaptionFont->SetHandle(CheckGDI(CreateFontIndirectA(&metrics.lfCaptionFont)));
  FHoverTimer = std::make_unique<TTimer>(nullptr);
  FHoverTimer->SetEnabled(false);
  FHoverTimer->SetInterval(250);
  FHoverTimer->SetOnTimer(TNotifyEvent::Bind<&TWinSkinForm::HoverTimerEvent>(this));
}

TWinSkinForm::~TWinSkinForm() {
  // The bar and the buttons point back here: they go first.
  FSystemMenu.reset();
  FreeMenuBar();
  FreeSysButtons();
  FreeSkinControls();
  if (FWindowProcHooked && FForm && !FForm->IsDestroying()) GiveBackWindowProc();
  FSubclass.Remove();
  FMDIClientSubclass.Remove();
  if (TSkinManage* manager = SkinManager()) manager->RemoveSkinner(this);
}

void TWinSkinForm::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
}

void TWinSkinForm::SetWindow(HWND window, HINSTANCE instance, const AnsiString& className) {
  FWindow = window;
  FInstance = instance;
  FClassName = className;
}

void TWinSkinForm::InitForm(TSkinData* skinData, TCustomForm* form) {
  FForm = form;
  if (skinData->OnBeforeSkinForm) skinData->OnBeforeSkinForm(form, FWindow, FClassName);
  if (skinData->SkinControls().Contains(xcMenuItem) && GetPropInfo(form->ClassType(), "AutoScroll"))
    SetPropValue(form, "AutoScroll", "False");
  Subclass(skinData);
  if (FFrameSkinning) {
    FSavedWindowProc = form->WindowProc;
    form->WindowProc = TWndMethod::Bind<&TWinSkinForm::FormWindowProc>(this);
    FWindowProcHooked = true;
  }
  FPreviousColor = form->Color();
  form->SetColor(skinData->Colors(ccButtonFace));
  if (skinData->SkinControls().Contains(xcMenuItem)) SetMainMenusOwnerDraw(form, true);
}

void TWinSkinForm::InitForeign(TSkinData* skinData) { Subclass(skinData); }

void TWinSkinForm::Subclass(TSkinData* skinData) {
  if (FSubclass.Attached()) return;
  TSkinManage* manager = SkinManager();
  if (manager) manager->SetActivationCount(1);
  FSkinData = skinData;
  FFrameSkinning = skinData->SkinControls().Contains(xcMainMenu);
  FStyle = static_cast<DWORD>(GetWindowLongA(FWindow, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongA(FWindow, GWL_EXSTYLE));
  FLeftScrollBar = (exStyle & WS_EX_LEFTSCROLLBAR) != 0;
  FChild = (FStyle & WS_CHILD) != 0;
  if (FClassName.empty()) FClassName = GetClassNameStr(FWindow);
  FOwnerWindow = GetWindow(FWindow, GW_OWNER);

  FCapabilities = 0;
  if (FStyle & WS_SYSMENU) FCapabilities |= cfSystemMenu;
  if (FStyle & WS_MINIMIZEBOX) FCapabilities |= cfMinimize;
  if (FStyle & WS_MAXIMIZEBOX) FCapabilities |= cfMaximize;
  if (exStyle & WS_EX_CONTEXTHELP) FCapabilities |= cfHelp;
  ReadShowState();
  FThickFrame = (FStyle & WS_THICKFRAME) != 0;

  FindMDIClient();
  if (exStyle & WS_EX_MDICHILD) {
    FMDIRole = mrChild;
    if (skinData->Options().Contains(xoMDIChildBorder)) FFrameSkinning = false;
  }

  if ((FStyle & WS_CAPTION) != WS_CAPTION) {
    FBorderKind = bkNone;
  } else if (FStyle & WS_THICKFRAME) {
    FBorderKind = bkSizeable;
  } else if (FStyle & 0x80) {
    FBorderKind = bkDialog;
  } else {
    FBorderKind = bkSingle;
  }
  if (exStyle & WS_EX_DLGMODALFRAME) FBorderKind = bkDialog;
  if (FClassName == "#32770" || FClassName == "TMessageForm") {
    FBorderKind = bkDialog;
    FDialog = true;
  }

  // Windows 2000 and Vista draw caption elements over the frame unless
  // WS_SYSMENU stays in the style while the frame is painted.
  const TSkinWindowsVersion version = SkinWindowsVersion();
  if (version.Major > 4 && version.Minor == 0) {
    if ((exStyle & WS_EX_APPWINDOW) && version.NT) FCapabilities |= cfKeepSysMenu;
    if (!FOwnerWindow && FMDIRole != mrChild) FCapabilities |= cfKeepSysMenu;
  }
  FUnicode = IsWindowUnicode(FWindow) != FALSE;
  if (!version.NT) skinData->SetSkinControls(skinData->SkinControls() - xcSystemMenu);

  if (FMDIRole == mrFrame) {
    FSavedMenuUpdate = skinData->MenuUpdate();
    SubclassMDIClient();
  }
  // The subclass calls the window in its own character set.
  FSubclass.Attach(FWindow, TWndMethod::Bind<&TWinSkinForm::WndProc>(this));

  if (FFrameSkinning) {
    FMenu = GetMenu(FWindow);
    // The menu bar's room is the system's menu height.
    if (FMenu && FMDIRole != mrChild) CreateMenuBar();
    const bool maximizedMDI = FMDIRole == mrChild && manager && manager->MDIMaximized();
    if (!maximizedMDI && FShowState != ssMinimized) SetCaptionButtonStyles(false);
    ApplySkinMetrics();
  } else {
    FState = stNormal;
  }
  if (FMDIRole == mrChild) {
    const int native = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    if (FTop < native) FMenuBarHeight = native - FTop;
    if (FShowState == ssMaximized && manager && !manager->MDIMaximized()) manager->SetMDIMaximized(1);
  }
}

void TWinSkinForm::ReadShowState() {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  GetWindowPlacement(FWindow, &placement);
  switch (placement.showCmd) {
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE: FShowState = ssMinimized; break;
    case SW_SHOWMAXIMIZED: FShowState = ssMaximized; break;
    default: FShowState = ssNormal; break;
  }
}

void TWinSkinForm::FindMDIClient() {
  for (HWND child = GetWindow(FWindow, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!SameText(GetClassNameStr(child), "MDIClient")) continue;
    FMDIRole = mrFrame;
    FMDIClient = child;
    if (TSkinManage* manager = SkinManager()) manager->SetMDIClient(child, FForm);
    return;
  }
}

void TWinSkinForm::SubclassMDIClient() {
  if (!FMDIClient || FMDIClientSubclass.Attached()) return;
  FMDIClientSubclass.Attach(FMDIClient, TWndMethod::Bind<&TWinSkinForm::MDIClientWndProc>(this));
}

void TWinSkinForm::CallOldProc(TMessage& Message) { FSubclass.CallPrevious(Message); }

void TWinSkinForm::WndProc(TMessage& Message) {
  // Stage 1: every window.
  switch (Message.Msg) {
    case WM_NCPAINT:
      if (FState == stAttached) {
        Message.Result = 0;
        return;
      }
      break;
    case WM_ERASEBKGND:
      CallOldProc(Message);
      if (!FForm && FSkinData) {
        RECT r{};
        GetClientRect(FWindow, &r);
        FillRect(reinterpret_cast<HDC>(Message.WParam), &r, FSkinData->ButtonFaceBrush());
        Message.Result = 1;
      }
      return;
    case WM_NCDESTROY:
      FState = stDestroying;
      ReleaseOnDestroy();
      CallOldProc(Message);
      FState = stClosed;
      return;
    case WM_NCACTIVATE:
      if (FState == stAttached && FMDIRole != mrChild) {
        Message.Result = 0;
        return;
      }
      break;
    case WM_NCUAHDRAWCAPTION: Message.Result = 0; return;
    case WM_INITMENUPOPUP:
      if (TSkinManage* manager = SkinManager())
        manager->SetMenuMode(reinterpret_cast<HMENU>(Message.WParam) == FSysMenu ? 2 : 1);
      CallOldProc(Message);
      return;
    case WM_CTLCOLORBTN:
      CallOldProc(Message);
      if (!FForm) SetBkMode(reinterpret_cast<HDC>(Message.WParam), TRANSPARENT);
      return;
    case WM_CTLCOLORSTATIC:
      CallOldProc(Message);
      if (!FForm && FSkinData) {
        SetBkMode(reinterpret_cast<HDC>(Message.WParam), TRANSPARENT);
        Message.Result = reinterpret_cast<LRESULT>(FSkinData->ButtonFaceBrush());
      }
      return;
    case SM_INITSKIN: Initialise(); return;
    case SM_RESKINSCROLL: ReskinScrollbars(reinterpret_cast<HWND>(Message.WParam)); return;
    case SM_ISSKINNED:
      Message.Result = 1;
      PostMessageA(FWindow, SM_SKINNOTICE, 0, SkinMagic);
      return;
    default: break;
  }
  if (!FFrameSkinning) {
    CallOldProc(Message);
    return;
  }

  // Stage 2: MDI children and windows without WS_CHILD.
  if (FChild && FMDIRole != mrChild) {
    CallOldProc(Message);
    return;
  }
  switch (Message.Msg) {
    case WM_SIZE: WMSize(Message); return;
    case WM_ACTIVATE: FActive = LOWORD(Message.WParam) != WA_INACTIVE; break;
    case WM_NCACTIVATE: FActive = Message.WParam != 0; break;
    case WM_GETMINMAXINFO: {
      CallOldProc(Message);
      ReadShowState();
      const bool keep = FShowState == ssMinimized || (FMDIRole == mrChild && FShowState == ssMaximized);
      SetCaptionButtonStyles(keep);
      return;
    }
    case WM_WINDOWPOSCHANGED:
      ReadShowState();
      CallOldProc(Message);
      return;
    case WM_SETICON:
      CallOldProc(Message);
      BuildIcon();
      // The system drew its own caption with the new icon.
      if (FState != stAttached) PaintFrame(nullptr);
      return;
    case WM_COMMAND:
      // The replacement system menu sends its commands as WM_COMMAND.
      if (Message.LParam == 0 && HIWORD(Message.WParam) == 0 && IsSystemCommand(LOWORD(Message.WParam))) {
        PostMessageA(FWindow, WM_SYSCOMMAND, LOWORD(Message.WParam), 0);
        return;
      }
      CallOldProc(Message);
      return;
    case WM_SYSCOMMAND: WMSysCommand(Message); return;
    case SM_OPENMENUAT: OpenMenuAt(Message); return;
    case CM_MENUCHANGED:
      if (FSkinData) FSkinData->SetNCPainting(false);
      CallOldProc(Message);
      if (FSkinData) FSkinData->SetNCPainting(true);
      MenuChanged();
      return;
    default: break;
  }

  // Stage 3: initialised windows other than a maximized MDI child.
  if (FState == stAttached || (FMDIRole == mrChild && FShowState == ssMaximized)) {
    CallOldProc(Message);
    return;
  }
  switch (Message.Msg) {
    case WM_SIZE: WMSize(Message); return;
    case WM_MEASUREITEM: WMMeasureItem(Message); return;
    case WM_DRAWITEM: WMDrawItem(Message); return;
    case WM_NCCALCSIZE: WMNCCalcSize(Message); return;
    case WM_NCHITTEST: WMNCHitTest(Message); return;
    case WM_NCPAINT: WMNCPaint(Message); return;
    case WM_NCACTIVATE: WMNCActivate(Message); return;
    case WM_NCMOUSEMOVE: WMNCMouseMove(Message); return;
    case WM_NCLBUTTONDOWN: WMNCLButtonDown(Message); return;
    case WM_NCLBUTTONUP: WMNCLButtonUp(Message); return;
    case WM_NCLBUTTONDBLCLK: WMNCLButtonDblClk(Message); return;
    case WM_NCRBUTTONDOWN: WMNCRButtonDown(Message); return;
    case SM_PAINTFRAME: PaintFrame(nullptr); return;
    case WM_SETTEXT:
      // The system draws the caption with the new text itself; a form
      // repaints through its WindowProc (frame changed).
      CallOldProc(Message);
      if (!FForm && IsWindowVisible(FWindow)) PaintFrame(nullptr);
      return;
    default: CallOldProc(Message); return;
  }
}

void TWinSkinForm::Initialise() {
  // Measured once, while the window still has its own frame: a later 0x3503
  // would take the skin's frame for the native one, and Restore would then
  // change the client area's size.
  if (!FInitialised) {
    if (!FSysMenu) FSysMenu = GetSystemMenu(FWindow, FALSE);
    BuildIcon();
    MeasureFrame();
  }
  FInitialised = true;
  if (FForm) SkinFormControls(FForm);
  else SkinChildWindows(FWindow);
  if (FForm && FSkinData && FSkinData->SkinControls().Contains(xcPopupMenu)) SetPopupMenusOwnerDraw(FForm, true);
  if (FState == stAttached) {
    if (FMDIRole == mrChild) {
      TSkinManage* manager = SkinManager();
      if (FShowState == ssMaximized) {
        if (manager && manager->MDIClient()) PostMessageA(manager->MDIClient(), SM_MDIREDRAW, reinterpret_cast<WPARAM>(FWindow), 0);
      } else if (FShowState == ssMinimized) {
        SetCaptionButtonStyles(true);
      } else {
        FState = stFirstLayout;
        ResizeToSkin(false);
        FState = stNormal;
        UpdateRegion();
      }
    } else if (!FChild && FBorderKind != bkNone && FShowState != ssMinimized) {
      FState = stFirstLayout;
      ResizeToSkin(false);
      FState = stNormal;
      if (FShowState == ssMaximized) {
        FrameChanged();
      } else {
        UpdateRegion();
      }
    }
  }
  AfterSkin();
  FState = stNormal;
  FHoverTimer->SetEnabled(true);
}

void TWinSkinForm::MeasureFrame() {
  RECT window{};
  GetClientRect(FWindow, &FClientRect);
  GetWindowRect(FWindow, &window);
  FNativeFrame = {Width(window) - Width(FClientRect), Height(window) - Height(FClientRect)};
}

void TWinSkinForm::ResizeToSkin(bool keepClient) {
  if (FShowState == ssMaximized) {
    FrameChanged();
    return;
  }
  if (FDialog || FState == stApplying) GetClientRect(FWindow, &FClientRect);
  int width = Width(FClientRect) + FLeft + FRight;
  int clientHeight = Height(FClientRect);
  if (keepClient) {
    RECT now{};
    GetClientRect(FWindow, &now);
    clientHeight = Height(now);
  } else if (FForm) {
    width = FForm->ClientWidth() + FLeft + FRight;
    clientHeight = FForm->ClientHeight() - (FMDIRole == mrChild ? 0 : FMenuBarHeight);
  }
  const int height = clientHeight + FTop + FBottom + FMenuBarHeight;
  if (FDialog && !keepClient && FSkinData) {
    // A dialog grows until its caption fits; its controls move right by
    // half the growth, so that they stay centred.
    const std::wstring caption = GetWindowTextWide(FWindow);
    SIZE text{};
    {
      TScreenDC screen;
      TSelectObjectGuard font(screen.Get(), FCaptionFont->Handle());
      GetTextExtentPoint32W(screen.Get(), caption.c_str(), static_cast<int>(caption.size()), &text);
    }
    const int wanted = FSkinData->Title()->LeftWidth + text.cx + FSkinData->Title()->RightWidth;
    if (width < wanted) {
      const int shift = (wanted - width) / 2;
      width = wanted;
      for (HWND child = GetWindow(FWindow, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        GetWindowRect(child, &r);
        MapWindowPoints(nullptr, FWindow, reinterpret_cast<POINT*>(&r), 2);
        SetWindowPos(child, nullptr, r.left + shift, r.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
    }
  }
  SetWindowPos(FWindow, nullptr, 0, 0, width, height, SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE);
}

void TWinSkinForm::FrameChanged() {
  SetWindowPos(FWindow, nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TWinSkinForm::SetCaptionButtonStyles(bool on) {
  TSkinManage* manager = SkinManager();
  if (!on && manager && manager->MDIMaximized()) return;
  FCaptionButtonStyles = on;
  LONG style = GetWindowLongA(FWindow, GWL_STYLE);
  const LONG old = style;
  if (on) {
    if (FCapabilities & cfSystemMenu) style |= WS_SYSMENU;
    if (FCapabilities & cfMinimize) style |= WS_MINIMIZEBOX;
    if (FCapabilities & cfMaximize) style |= WS_MAXIMIZEBOX;
  } else {
    style &= ~(WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
  }
  if (style != old) SetWindowLongA(FWindow, GWL_STYLE, style);
}

void TWinSkinForm::SetSysMenuStyle(bool remove) {
  LONG style = GetWindowLongA(FWindow, GWL_STYLE);
  const LONG old = style;
  if (remove && !(FCapabilities & cfKeepSysMenu)) style &= ~WS_SYSMENU;
  if (!remove && (FCapabilities & cfSystemMenu)) style |= WS_SYSMENU;
  if (style != old) SetWindowLongA(FWindow, GWL_STYLE, style);
}

void TWinSkinForm::AfterSkin() {
  SendMessageA(FWindow, SM_SKINNOTICE, 0, SkinMagic);
  if (FSkinData && FSkinData->OnAfterSkinForm) FSkinData->OnAfterSkinForm(FForm, FWindow, FClassName);
}

void TWinSkinForm::MDIMaximizedChanged(bool maximized) {
  if (maximized) {
    ClearRegion();
    SetCaptionButtonStyles(true);
    return;
  }
  if (FShowState == ssMinimized) {
    SetCaptionButtonStyles(true);
    return;
  }
  FShowState = ssNormal;
  UpdateRegion();
  SetCaptionButtonStyles(false);
  if (!FRegionSet) FrameChanged();
}

void TWinSkinForm::WMSize(TMessage& Message) {
  CallOldProc(Message);
  switch (Message.WParam) {
    case SIZE_RESTORED: FShowState = ssNormal; break;
    case SIZE_MINIMIZED: FShowState = ssMinimized; break;
    case SIZE_MAXIMIZED: FShowState = ssMaximized; break;
    default: break;
  }
  if (FShowState == ssMinimized) return;
  if (FMDIRole == mrChild) {
    TSkinManage* manager = SkinManager();
    if ((manager && manager->MDIMaximized()) || FShowState != ssNormal) return;
  }
  if (FState == stNormal || FState == stApplying) UpdateRegion();
}

void TWinSkinForm::WMSysCommand(TMessage& Message) {
  if (KeyMenu(Message)) return;
  switch (Message.WParam & 0xFFF0) {
    case SC_MINIMIZE:
      FShowState = ssMinimized;
      if (FMDIRole == mrChild) SetCaptionButtonStyles(true);
      break;
    case SC_MAXIMIZE: FShowState = ssMaximized; break;
    case SC_RESTORE:
      FShowState = ssNormal;
      if (FMDIRole == mrChild) {
        TSkinManage* manager = SkinManager();
        if (manager && manager->MDIMaximized()) manager->SetMDIMaximized(0);
        SetCaptionButtonStyles(false);
      }
      break;
    default: break;
  }
  CallOldProc(Message);
}

void TWinSkinForm::WMNCCalcSize(TMessage& Message) {
  const bool valid = Message.WParam != 0;
  RECT proposed{};
  if (valid) proposed = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0];
  CallOldProc(Message);
  if (!valid) {
    Message.Result = 0;
    return;
  }
  auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam);
  if ((FMDIRole == mrChild && FShowState != ssNormal) || FBorderKind == bkNone) {
    params->rgrc[1] = params->rgrc[0];
    Message.Result = WVR_VALIDRECTS;
    return;
  }
  // The client area lies inside the skin's frame and the menu bar's room.
  RECT client{proposed.left + FLeft, proposed.top + FTop + FMenuBarHeight, proposed.right - FRight,
              proposed.bottom - FBottom};
  client.right = std::max(client.right, client.left);
  client.bottom = std::max(client.bottom, client.top);
  params->rgrc[0] = client;
  params->rgrc[1] = client;
  Message.Result = WVR_VALIDRECTS;
}

void TWinSkinForm::FormWindowProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETTEXT:
      if (!IsWindowVisible(FWindow)) break;
      FSavedWindowProc(Message);
      if (FShowState == ssMaximized) {
        if (TSkinManage* manager = SkinManager(); manager && manager->MDIClient())
          PostMessageA(manager->MDIClient(), SM_MDIREDRAW, reinterpret_cast<WPARAM>(FWindow), 0);
      } else if (FShowState == ssMinimized) {
        PaintFrame(nullptr);
      } else {
        FrameChanged();
      }
      return;
    case SM_SKINCHANGED: SkinChanged(); return;
    case CM_DIALOGCHAR: DialogChar(Message); return;
    case SM_PAINTFRAMEDC:
      if (Message.LParam != SkinMagic) break;
      if (Message.WParam) PaintFrame(reinterpret_cast<HDC>(Message.WParam));
      Message.Result = SkinMagic;
      return;
    case SM_SKINQUERY: Message.Result = Message.LParam == SkinMagic ? SkinMagic : 1; return;
    default: break;
  }
  if (FSavedWindowProc) FSavedWindowProc(Message);
}

void TWinSkinForm::MDIClientWndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCDESTROY:
      FMDIClientSubclass.CallPrevious(Message);
      FMDIClientSubclass.Remove();
      return;
    case WM_NCCALCSIZE:
      if (FFrameSkinning && FSkinData && !FSkinData->Options().Contains(xoMDIScrollbar)) {
        const LONG style = GetWindowLongA(FMDIClient, GWL_STYLE);
        if (style & (WS_HSCROLL | WS_VSCROLL)) SetWindowLongA(FMDIClient, GWL_STYLE, style & ~(WS_HSCROLL | WS_VSCROLL));
      }
      break;
    case WM_MDICREATE:
      if (FSkinData) FSkinData->SetMenuUpdate(false);
      break;
    case WM_MDIDESTROY:
      FMDIClientSubclass.CallPrevious(Message);
      if (FFrameSkinning) {
        BOOL maximized = FALSE;
        SendMessageA(FMDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized));
        if (TSkinManage* manager = SkinManager()) manager->SetMDIMaximized(maximized ? 1 : 0);
        if (FMenuBar && !SendMessageA(FMDIClient, WM_MDIGETACTIVE, 0, 0)) {
          if (FSkinData) FSkinData->SetMenuUpdate(FSavedMenuUpdate);
          FMenuBar->RebuildItems(FMenuBar->Handle());
          PaintFrame(nullptr);
        }
      }
      return;
    case WM_MDISETMENU:
      FMDIClientSubclass.CallPrevious(Message);
      if (FFrameSkinning) {
        if (Message.WParam && FMenuBar) {
          FMenuBar->RebuildItems(reinterpret_cast<HMENU>(Message.WParam));
        } else if (HMENU native = GetMenu(FWindow); native && FMenuBar) {
          FMenuBar->RebuildItems(native);
        }
        if (GetMenu(FWindow)) SetMenu(FWindow, nullptr);
        PaintFrame(nullptr);
      }
      return;
    case WM_MDITILE:
    case WM_MDICASCADE:
      if (TSkinManage* manager = SkinManager(); FFrameSkinning && manager && manager->MDIMaximized())
        manager->SetMDIMaximized(0);
      break;
    case SM_MDIREDRAW:
      RedrawWindow(FWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
      return;
    default: break;
  }
  FMDIClientSubclass.CallPrevious(Message);
}

bool TWinSkinForm::BeingDestroyed() const {
  return FState == stDestroying || FState == stClosed || (FForm && FForm->IsDestroying());
}

void TWinSkinForm::GiveBackWindowProc() {
  if (!FWindowProcHooked) return;
  FWindowProcHooked = false;
  if (!FForm) return;
  // Only while ours is still the form's: a later hook keeps its place.
  if (FForm->WindowProc == TWndMethod::Bind<&TWinSkinForm::FormWindowProc>(this)) FForm->WindowProc = FSavedWindowProc;
}

void TWinSkinForm::SkinChanged() {
  if (FForm && FSkinData) {
    const TColor face = FSkinData->Colors(ccButtonFace);
    FForm->SetColor(face);
    for (int i = 0; i < FForm->ComponentCount(); ++i)
      if (auto* owned = ObjectAs<TCustomForm>(FForm->Components(i))) owned->SetColor(face);
  }
  for (TSkinControl* skinner : std::vector<TSkinControl*>(FSkinControls)) skinner->SkinChanged();
  FState = stApplying;
  if (FFrameSkinning && FForm && FSkinData->SkinControls().Contains(xcPopupMenu)) SetPopupMenusOwnerDraw(FForm, true);
  if (FFrameSkinning && (!FChild || FMDIRole == mrChild)) {
    // A foreign window too: its frame would otherwise keep the old skin's
    // thickness until it is resized.
    ResizeToSkin(true);
    if (FForm) {
      const int height = FForm->Height();
      FForm->SetHeight(height + 1);
      FForm->SetHeight(height);
    }
  }
  AfterSkin();
  FState = stNormal;
}

void TWinSkinForm::RestorePlain() {
  FHoverTimer->SetEnabled(false);
  FreeSkinControls();
  if (FForm && !BeingDestroyed()) {
    SetPopupMenusOwnerDraw(FForm, false);
    SetMainMenusOwnerDraw(FForm, false);
  }
  if (FForm && !BeingDestroyed()) FForm->SetColor(FPreviousColor);
  FSubclass.Remove();
  FMDIClientSubclass.Remove();
  if (FForm && !BeingDestroyed())
    for (int i = 0; i < FForm->ComponentCount(); ++i)
      if (auto* control = ObjectAs<TControl>(FForm->Components(i))) control->Invalidate();
}

void TWinSkinForm::Restore() {
  if (!FFrameSkinning) {
    RestorePlain();
    return;
  }
  FSystemMenu.reset();
  FHoverTimer->SetEnabled(false);
  HideHint();
  if (!FSubclass.Attached()) return;
  FreeSkinControls();
  GiveBackWindowProc();
  FSubclass.Remove();
  const bool destroying = BeingDestroyed();
  if (FForm && !destroying) {
    SetPopupMenusOwnerDraw(FForm, false);
    if (FSkinData && FSkinData->SkinControls().Contains(xcMenuItem)) SetMainMenusOwnerDraw(FForm, false);
    FForm->SetColor(FPreviousColor);
  }
  SetSysMenuStyle(false);
  SetCaptionButtonStyles(true);
  // The window shows its own menu bar again, which takes its room from the
  // client area unless the window grows by it.
  int nativeMenu = 0;
  if (FMenuBar) {
    if (!destroying && IsWindow(FWindow) && FMenuBar->Handle() && IsMenu(FMenuBar->Handle())) {
      SetMenu(FWindow, FMenuBar->Handle());
      nativeMenu = GetSystemMetrics(SM_CYMENU);
    }
    FreeMenuBar();
  }
  FMDIClientSubclass.Remove();
  if (!destroying && (FMDIRole == mrChild || !FChild) && IsWindow(FWindow)) {
    // The native frame again around a client area of the same size.
    RECT r{};
    GetWindowRect(FWindow, &r);
    if (FMDIRole == mrChild) MapWindowPoints(nullptr, GetParent(FWindow), reinterpret_cast<POINT*>(&r), 2);
    const int width = Width(r) + FNativeFrame.cx - FLeft - FRight;
    const int height = Height(r) + FNativeFrame.cy - FTop - FBottom - FMenuBarHeight + nativeMenu;
    SetWindowPos(FWindow, nullptr, r.left, r.top, width, height, SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER);
  }
  if (FRegionSet) {
    SetWindowRgn(FWindow, nullptr, TRUE);
    FRegionSet = false;
    FRegionSize = {};
  }
}

void TWinSkinForm::ReleaseOnDestroy() {
  if (!FFrameSkinning) {
    RestorePlain();
    return;
  }
  FSystemMenu.reset();
  FHoverTimer->SetEnabled(false);
  HideHint();
  GiveBackWindowProc();
  FSubclass.Remove();
  FMDIClientSubclass.Remove();
  FreeSkinControls();
  FreeMenuBar();
}

// -- Unit routines.

AnsiString GetClassNameStr(HWND wnd) {
  char name[101] = {};
  GetClassNameA(wnd, name, sizeof name);
  return name;
}

std::wstring GetWindowTextWide(HWND wnd) {
  if (SkinIsNT()) {
    const int length = GetWindowTextLengthW(wnd);
    std::wstring text(static_cast<size_t>(std::max(length, 0)) + 1, L'\0');
    const int got = GetWindowTextW(wnd, text.data(), length + 1);
    text.resize(static_cast<size_t>(std::max(got, 0)));
    return text;
  }
  return AnsiToWide(GetWindowTextAnsi(wnd));
}

AnsiString GetWindowTextAnsi(HWND wnd) {
  char text[1001] = {};
  const LRESULT got = SendMessageA(wnd, WM_GETTEXT, 1001, reinterpret_cast<LPARAM>(text));
  return AnsiString(text, static_cast<size_t>(std::clamp<LRESULT>(got, 0, 1000)));
}

void RepaintWindow(HWND wnd) {
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}
