#include "skin/SkinManage.h"

#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Screen.h"
#include "skin/SkinData.h"
#include "skin/SkinDraw.h"
#include "skin/SkinVersion.h"
#include "skin/WinSkinForm.h"

#include <algorithm>

const TClassInfo TWinSkinPopMenu::ClassInfo{"TWinSkinPopMenu", &TObject::ClassInfo, nullptr};
const TClassInfo TSkinManage::ClassInfo{"TSkinManage", &TObject::ClassInfo, nullptr};

namespace {

TSkinManage* Manager = nullptr;
std::unique_ptr<TThreadHook> Hook;
bool HookDisabled = false;

bool Contains(const AnsiString& text, const char* part) { return text.find(part) != AnsiString::npos; }

HINSTANCE ModuleInstance() { return GetModuleHandleA(nullptr); }

// The CBT hook: windows being created, destroyed and activated on the GUI
// thread. The hook always passes the event on (ThreadHook.h does).
void SkinCBTHook(THookCall& Call) {
  if (HookDisabled || !Manager) return;
  const HWND wnd = reinterpret_cast<HWND>(Call.WParam);
  switch (Call.Code) {
    case HCBT_CREATEWND: {
      const CREATESTRUCTA* create = reinterpret_cast<CBT_CREATEWNDA*>(Call.LParam)->lpcs;
      const AnsiString className = GetClassNameStr(wnd);
      // FIXME: a size grip ("ScrollBar" with SBS_SIZEGRIP) joins its parent's
      // form skinner as a foreign window once control skinners exist.
      if (!(create->style & WS_CHILD) && className == "#32768") Manager->AttachMenu(wnd);
      if (create->dwExStyle & WS_EX_MDICHILD) Manager->AttachWindow(wnd, TWinControl::FindCreatingControl(wnd, create));
      break;
    }
    case HCBT_DESTROYWND: Manager->DetachMenu(wnd); break;
    case HCBT_ACTIVATE:
      if (Manager->ActivationCount() == 0) Manager->SetActivationCount(1);
      Manager->AttachWindow(wnd);
      break;
    default: break;
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// TWinSkinPopMenu

TWinSkinPopMenu::~TWinSkinPopMenu() { Detach(); }

void TWinSkinPopMenu::Attach(HWND window, TSkinData* skinData, HMENU menu) {
  FWindow = window;
  FSkinData = skinData;
  FMenuHandle = menu;
  FMarked = false;
  FSubclass.Attach(window, TWndMethod::Bind<&TWinSkinPopMenu::WindowProc>(this));
}

void TWinSkinPopMenu::Detach() {
  if (!FSubclass.Attached()) return;
  FSubclass.Remove();
  FBackground.SetSize(0, 0);
}

void TWinSkinPopMenu::WindowProc(TMessage& Message) {
  if (Message.Msg == SM_ISSKINNED) {
    Message.Result = 1;
    return;
  }
  TSkinManage* manager = SkinManager();
  if (!manager || !manager->SwitchedOn() || !FSkinData) {
    FSubclass.CallPrevious(Message);
    return;
  }
  switch (Message.Msg) {
    case WM_DESTROY:
      Detach();
      FSubclass.CallPrevious(Message);
      return;
    case WM_ERASEBKGND:
      // The skinned background is there already with xoMenuBG.
      if (SkinIsNT()) {
        if (!FSkinData->Options().Contains(xoMenuBG)) FSubclass.CallPrevious(Message);
        Message.Result = 1;
      }
      return;
    case WM_NCPAINT: PaintFrame(Message); return;
    case WM_PRINT: PaintBackground(Message); return;
    default: FSubclass.CallPrevious(Message); return;
  }
}

bool TWinSkinPopMenu::BuildBackground() {
  TDataSkinObject* object = FSkinData->Object(soMenuBackground);
  if (!FSkinData->SkinLoaded() || !object || object->Bitmap->Empty()) return false;
  RECT r{};
  GetWindowRect(FWindow, &r);
  const RECT size{0, 0, r.right - r.left, r.bottom - r.top};
  std::unique_ptr<TBitmap> image =
      BuildNinePart(size, object->Bitmap.get(), object->Margins(), false, object->Tile != 0, 1, 1);
  FBackground.Assign(image.get());
  return true;
}

namespace {

// The menu window's whole device context for a scope: the one the frame
// region gives, else (when the system gives none for that region) the
// window's.
class TMenuFrameDC {
public:
  explicit TMenuFrameDC(HWND wnd) : FWnd(wnd) {
    const TSkinWindowsVersion v = SkinWindowsVersion();
    if (!(v.NT && v.Major > 4 && v.Minor > 1))
      FDC = GetDCEx(wnd, reinterpret_cast<HRGN>(1), DCX_WINDOW | DCX_INTERSECTRGN | 0x10000 /* DCX_USESTYLE */);
    if (!FDC) FDC = GetWindowDC(wnd);
    if (FDC) HandleCreated(hkDeviceContext);
  }
  ~TMenuFrameDC() {
    if (!FDC) return;
    ReleaseDC(FWnd, FDC);
    HandleDeleted(hkDeviceContext);
  }
  TMenuFrameDC(const TMenuFrameDC&) = delete;
  TMenuFrameDC& operator=(const TMenuFrameDC&) = delete;
  HDC Get() const { return FDC; }

private:
  HWND FWnd;
  HDC FDC = nullptr;
};

}  // namespace

void TWinSkinPopMenu::PaintFrame(TMessage& Message) {
  if (Message.WParam != 1 || !BuildBackground()) {
    FSubclass.CallPrevious(Message);
    return;
  }
  Message.Result = 0;
  TMenuFrameDC dc(FWindow);
  if (!dc.Get()) return;
  const int W = FBackground.Width(), H = FBackground.Height();
  HDC from = FBackground.Canvas()->Handle();
  const RECT borders[] = {{0, 0, W, 3}, {0, H - 3, W, H}, {0, 0, 3, H}, {W - 3, 0, W, H}};
  for (const RECT& b : borders)
    BitBlt(dc.Get(), b.left, b.top, b.right - b.left, b.bottom - b.top, from, b.left, b.top, SRCCOPY);
  BitBlt(dc.Get(), 0, 0, W, H, from, 0, 0, SRCCOPY);
}

void TWinSkinPopMenu::PaintBackground(TMessage& Message) {
  if (!BuildBackground()) {
    FSubclass.CallPrevious(Message);
    return;
  }
  const auto dc = reinterpret_cast<HDC>(Message.WParam);
  const int W = FBackground.Width(), H = FBackground.Height();
  BitBlt(dc, 0, 0, W, H, FBackground.Canvas()->Handle(), 0, 0, SRCCOPY);
  // The menu prints its items over the background, inside the frame.
  TGdiObject inner(CheckGDI(CreateRectRgn(3, 3, W - 3, H - 3)));
  const int mode = SetBkMode(dc, TRANSPARENT);
  SelectClipRgn(dc, static_cast<HRGN>(inner.Get()));
  FSubclass.CallPrevious(Message);
  SelectClipRgn(dc, nullptr);
  SetBkMode(dc, mode);
}

// ---------------------------------------------------------------------------
// TSkinManage

TSkinManage::TSkinManage() {
  HookDisabled = false;
  FTimer = new TTimer(nullptr);
  FTimer->SetEnabled(false);
  FTimer->SetInterval(100);
  FTimer->SetOnTimer(TNotifyEvent::Bind<&TSkinManage::TimerEvent>(this));
}

TSkinManage::~TSkinManage() {
  FActivationCount = 4;
  FSwitchedOn = false;
  Free(FTimer);
  FTimer = nullptr;
  if (!FFormSkinners.empty()) DetachAll();
  FFormSkinners.clear();
  FreeMenus();
  FSkinDatas.clear();
  RemoveSkinHook();
  HookDisabled = true;
}

void TSkinManage::InstallHook() { InstallSkinHook(); }

void TSkinManage::AddSkinData(TSkinData* skinData) {
  if (std::find(FSkinDatas.begin(), FSkinDatas.end(), skinData) != FSkinDatas.end()) return;
  FSkinDatas.push_back(skinData);
  if (!FMainSkinData && skinData->SkinFormtype() == sfMainform) FMainSkinData = skinData;
}

void TSkinManage::RemoveSkinData(TSkinData* skinData) {
  const auto at = std::find(FSkinDatas.begin(), FSkinDatas.end(), skinData);
  if (at == FSkinDatas.end()) return;
  FSkinDatas.erase(at);
  if (FPendingSkinData == skinData) {
    FPendingSkinData = nullptr;
    FPendingRequest = 0;
    if (FTimer) FTimer->SetEnabled(false);
  }
  // The windows it skins move to the next skin data that has a skin, so
  // that freeing one form's skin data leaves the other windows skinned.
  TSkinData* next = nullptr;
  for (TSkinData* s : FSkinDatas)
    if (s->SkinLoaded()) {
      next = s;
      break;
    }
  if (FMainSkinData == skinData) {
    FMainSkinData = nullptr;
    for (TSkinData* s : FSkinDatas)
      if (s->SkinFormtype() == sfMainform && (!FMainSkinData || (s->SkinLoaded() && !FMainSkinData->SkinLoaded())))
        FMainSkinData = s;
  }
  if (FActivationCount == 4) return;
  for (TWinSkinForm* skinner : FormSkinners()) {
    if (skinner->SkinData() != skinData) continue;
    if (!next) {
      RestoreAndFree(skinner);
      continue;
    }
    skinner->SetSkinData(next);
    if (skinner->State() == TWinSkinForm::stClosed) continue;
    skinner->FreeSysButtons();
    skinner->ApplySkinMetrics();
    skinner->SkinChanged();
    RepaintWindow(skinner->Window());
  }
  for (size_t i = FMenus.size(); i-- > 0;) {
    if (FMenus[i]->SkinData() != skinData) continue;
    FMenus.erase(FMenus.begin() + static_cast<std::ptrdiff_t>(i));
  }
}

std::vector<TWinSkinForm*> TSkinManage::FormSkinners() const {
  std::vector<TWinSkinForm*> result;
  for (const TWeakLink<TWinSkinForm>& link : FFormSkinners)
    if (TWinSkinForm* skinner = link.Get()) result.push_back(skinner);
  return result;
}

TWinSkinForm* TSkinManage::FindFormSkinner(HWND window) const {
  for (const TWeakLink<TWinSkinForm>& link : FFormSkinners)
    if (TWinSkinForm* skinner = link.Get(); skinner && skinner->Window() == window) return skinner;
  return nullptr;
}

TWinControl* TSkinManage::FormOfWindow(HWND window) const {
  for (int i = 0; i < Screen->FormCount(); ++i) {
    TCustomForm* form = Screen->Forms(i);
    if (form->HandleAllocated() && form->Handle() == window) return form;
  }
  return FindControlOfWindow(window);
}

bool TSkinManage::IsPlainChild(HWND window) {
  if (!(GetWindowLongA(window, GWL_STYLE) & WS_CHILD)) return false;
  if (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_MDICHILD) return false;
  return LowerCase(GetClassNameStr(GetParent(window))) != "mdiclient";
}

bool TSkinManage::CanSkinWindow(HWND window, const AnsiString& className) const {
  if (!FMainSkinData) return true;
  const AnsiString lower = LowerCase(className);
  if (!FMainSkinData->Options().Contains(xoPreview) && Contains(lower, "preview")) return false;
  if (className == "#32770" && (GetWindowLongA(window, GWL_STYLE) & 0x200)) return false;
  if (lower == "tpopupdbtreeview") return false;
  bool doSkin = true;
  FMainSkinData->DoFormSkin(window, className, doSkin);
  return doSkin;
}

TSkinData* TSkinManage::FindSkinData(HWND window) const {
  const auto last = [&](auto&& accept) -> TSkinData* {
    for (auto it = FSkinDatas.rbegin(); it != FSkinDatas.rend(); ++it)
      if (accept(*it)) return *it;
    return nullptr;
  };
  if (TSkinData* s = last([&](TSkinData* s) {
        auto* owner = ObjectAs<TWinControl>(s->Owner());
        return s->SkinFormtype() == sfOnlyThisForm && owner && owner->HandleAllocated() && owner->Handle() == window;
      }))
    return s;
  const AnsiString lower = LowerCase(GetClassNameStr(window));
  if (lower == "tmessageform" || lower == "#32770")
    if (TSkinData* s = last([](TSkinData* s) { return s->SkinFormtype() == sfDialog; })) return s;
  if (TSkinData* s = last([](TSkinData* s) { return s->SkinFormtype() == sfMainform; })) return s;
  return FSkinDatas.empty() ? nullptr : FSkinDatas.front();
}

bool TSkinManage::AttachWindow(HWND window, TWinControl* control) {
  if (!FSwitchedOn || !IsWindow(window)) return false;
  Purge();
  if (FindFormSkinner(window) || SendMessageA(window, SM_ISSKINNED, 0, 0) == 1) return false;
  TWinControl* form = control ? control : FormOfWindow(window);
  if (!FForcedScan && IsPlainChild(window)) return false;
  const AnsiString className = GetClassNameStr(window);
  const bool ours = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE)) == ModuleInstance();
  if (!form && !ours && className != "#32770") return false;
  RECT r{};
  GetWindowRect(window, &r);
  const bool mdiChild = (GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0;
  if ((r.right - r.left) * (r.bottom - r.top) == 0 && !mdiChild) return false;
  // 99, whatever DisableTag says: the tag that keeps a form native.
  if (form && form->Tag() == 99) return false;
  if (Contains(className, "TcxPopupEditPopupWindow") || Contains(className, "TTERenderWindow") ||
      className == "TApplication")
    return false;
  if (!CanSkinWindow(window, className)) return false;
  TSkinData* skinData = FindSkinData(window);
  if (!skinData || !skinData->SkinLoaded()) return false;
  auto* skinner = new TWinSkinForm(form);
  try {
    skinner->SetWindow(window, ModuleInstance(), className);
    if (auto* f = ObjectAs<TCustomForm>(form)) {
      skinner->InitForm(skinData, f);
    } else {
      skinner->InitForeign(skinData);
    }
  } catch (...) {
    Free(skinner);
    throw;
  }
  FFormSkinners.emplace_back(skinner);
  PostMessageA(window, SM_INITSKIN, 0, 1000);
  return true;
}

bool TSkinManage::AttachForm(TCustomForm* form) {
  if (!form->Visible() || !form->HandleAllocated() || (GetWindowLongA(form->Handle(), GWL_STYLE) & WS_CHILD))
    return true;
  return AttachWindow(form->Handle(), form);
}

bool TSkinManage::AttachMenu(HWND window) {
  if (!FSwitchedOn || IsMenuSkinned(window) || SendMessageA(window, SM_ISSKINNED, 0, 0) == 1) return false;
  TSkinData* skinData = FindSkinData(window);
  if (!skinData || !skinData->SkinLoaded()) return false;
  const TSkinControlTypes kinds = skinData->SkinControls();
  const bool allowed = FMenuMode == 0   ? kinds.Contains(xcPopupMenu)
                       : FMenuMode == 1 ? kinds.Contains(xcMainMenu) || kinds.Contains(xcMenuItem)
                                        : kinds.Contains(xcSystemMenu);
  if (!allowed) return false;
  auto menu = std::make_unique<TWinSkinPopMenu>();
  menu->Attach(window, skinData, nullptr);
  if (FMenuBarTracking) menu->SetMenuBarPopup(true);
  FMenus.push_back(std::move(menu));
  return true;
}

bool TSkinManage::DetachMenu(HWND window) {
  const auto at = std::find_if(FMenus.begin(), FMenus.end(), [&](const auto& m) { return m->Window() == window; });
  if (at == FMenus.end()) return false;
  std::unique_ptr<TWinSkinPopMenu> menu = std::move(*at);
  FMenus.erase(at);
  menu->Detach();
  if (FMenus.empty()) {
    FMenuBarTracking = false;
    FMenuMode = 0;
  }
  return true;
}

bool TSkinManage::IsMenuSkinned(HWND window) const {
  return std::any_of(FMenus.begin(), FMenus.end(), [&](const auto& m) { return m->Window() == window; });
}

void TSkinManage::MarkMenus() {
  for (const auto& m : FMenus) m->SetMarked(true);
}

void TSkinManage::AssignMenuData(HMENU menu) {
  for (auto it = FMenus.rbegin(); it != FMenus.rend(); ++it)
    if (!(*it)->MenuHandle()) {
      (*it)->SetMenuHandle(menu);
      return;
    }
}

TBitmap* TSkinManage::MenuBitmapOf(HMENU menu) const {
  for (const auto& m : FMenus)
    if (m->MenuHandle() == menu) return m->Background();
  return nullptr;
}

void TSkinManage::Request(TSkinData* skinData, int code, unsigned delay) {
  FPendingRequest = code;
  FPendingSkinData = skinData;
  FTimer->SetInterval(delay);
  if (FActivationCount != 0) {
    // A new request restarts the wait: one request pending at a time.
    FTimer->SetEnabled(false);
    FTimer->SetEnabled(true);
    return;
  }
  if (code == srSkinAll) FSwitchedOn = true;
  if (code == srUnskinAll) FSwitchedOn = false;
}

void TSkinManage::TimerEvent(TObject*) { DoRequest(); }

void TSkinManage::RestoreAndFree(TWinSkinForm* skinner) {
  RemoveSkinner(skinner);
  const HWND window = skinner->Window();
  const bool alive = skinner->State() != TWinSkinForm::stClosed && IsWindow(window);
  if (alive) skinner->Restore();
  Free(skinner);
  if (alive) RepaintWindow(window);
}

void TSkinManage::DoRequest() {
  FTimer->SetEnabled(false);
  TSkinData* skinData = FPendingSkinData;
  const int code = FPendingRequest;
  if (!skinData) return;
  const auto reskin = [](TWinSkinForm* skinner) {
    skinner->FreeSysButtons();
    skinner->ApplySkinMetrics();
    skinner->SkinChanged();
  };
  if (skinData->SkinFormtype() == sfOnlyThisForm) {
    TWinSkinForm* first = nullptr;
    if (code != srSkinAll) {
      Purge();
      for (TWinSkinForm* s : FormSkinners())
        if (s->SkinData() == skinData) {
          first = s;
          break;
        }
    }
    if (code == srSkinAll) {
      FSwitchedOn = true;
      FForcedScan = true;
      for (int i = Screen->FormCount() - 1; i >= 0; --i)
        if (Screen->Forms(i) == skinData->Owner()) {
          AttachForm(Screen->Forms(i));
          break;
        }
      FForcedScan = false;
    } else if (code == srUnskinAll) {
      FSwitchedOn = false;
      if (first) RestoreAndFree(first);
    } else if (code == srReskin && first) {
      reskin(first);
      RepaintWindow(first->Window());
    }
  } else if (code == srSkinAll) {
    FSwitchedOn = true;
    FForcedScan = true;
    Purge();
    for (int i = Screen->FormCount() - 1; i >= 0; --i) AttachForm(Screen->Forms(i));
    FForcedScan = false;
  } else if (code == srUnskinAll) {
    FSwitchedOn = false;
    Purge();
    for (TWinSkinForm* s : FormSkinners()) RestoreAndFree(s);
  } else if (code == srReskin) {
    Purge();
    std::vector<TWinSkinForm*> changed;
    for (TWinSkinForm* s : FormSkinners())
      if (s->SkinData() == skinData) {
        reskin(s);
        changed.push_back(s);
      }
    for (TWinSkinForm* s : changed) RepaintWindow(s->Window());
  }
  FPendingSkinData = nullptr;
  FPendingRequest = 0;
  skinData->DoSkinChanged();
}

void TSkinManage::RefreshSkinners(TSkinData* skinData) {
  for (TWinSkinForm* s : FormSkinners())
    if (s->SkinData() == skinData) {
      s->FreeSysButtons();
      s->ApplySkinMetrics();
    }
}

void TSkinManage::SetMDIMaximized(int state) {
  if (state == FMDIMaximized) return;
  FMDIMaximized = state;
  if (FMainSkinData && FMainSkinData->Options().Contains(xoMDIChildBorder)) return;
  for (TWinSkinForm* s : FormSkinners())
    if (s->MDIRole() == TWinSkinForm::mrChild) s->MDIMaximizedChanged(state != 0);
}

void TSkinManage::Purge() {
  if (FActivationCount == 4) return;
  for (size_t i = FFormSkinners.size(); i-- > 0;) {
    TWinSkinForm* skinner = FFormSkinners[i].Get();
    if (skinner && skinner->State() != TWinSkinForm::stClosed) continue;
    FFormSkinners.erase(FFormSkinners.begin() + static_cast<std::ptrdiff_t>(i));
    Free(skinner);
  }
}

void TSkinManage::RemoveSkinner(TWinSkinForm* skinner) {
  if (FActivationCount == 4) return;
  const auto at = std::find_if(FFormSkinners.begin(), FFormSkinners.end(),
                               [&](const TWeakLink<TWinSkinForm>& link) { return link.Get() == skinner; });
  if (at != FFormSkinners.end()) FFormSkinners.erase(at);
}

void TSkinManage::DetachAll() {
  FSwitchedOn = false;
  for (size_t i = FFormSkinners.size(); i-- > 0;) {
    TWinSkinForm* skinner = FFormSkinners[i].Get();
    FFormSkinners.erase(FFormSkinners.begin() + static_cast<std::ptrdiff_t>(i));
    if (!skinner) continue;
    skinner->ReleaseOnDestroy();
    Free(skinner);
  }
}

void TSkinManage::FreeMenus() {
  std::vector<std::unique_ptr<TWinSkinPopMenu>> menus = std::move(FMenus);
  FMenus.clear();
  menus.clear();
}

// ---------------------------------------------------------------------------

TSkinManage* SkinManager() { return Manager; }

TSkinManage* CreateSkinManager() {
  if (!Manager) Manager = new TSkinManage();
  return Manager;
}

void FreeSkinManager() {
  TSkinManage* manager = Manager;
  if (!manager) return;
  Free(manager);
  Manager = nullptr;
}

bool SkinHookInstalled() { return Hook && Hook->Installed(); }

void InstallSkinHook() {
  if (SkinHookInstalled()) return;
  Hook = std::make_unique<TThreadHook>();
  Hook->Install(hkCBT, THookProc::Lambda([](THookCall& Call) { SkinCBTHook(Call); }));
}

void RemoveSkinHook() { Hook.reset(); }

bool SkinHookDisabled() { return HookDisabled; }
