#include "foundation/ThemeManager.h"

#include "foundation/UxTheme.h"
#include "platform/CallbackGuard.h"
#include "platform/CodePage.h"

#include <algorithm>
#include <vector>

namespace {

const wchar_t* const DefaultClassLists[ThemedObjectTypeCount] = {
    L"Button", L"Clock", L"ComboBox", L"Edit", L"ExplorerBar", L"Header", L"ListBox", L"ListView", L"Menu",
    L"Page", L"Progress", L"Rebar", L"ScrollBar", L"Spin", L"StartPanel", L"Status", L"Tab", L"TaskBand",
    L"TaskBar", L"ToolBar", L"ToolTip", L"TrackBar", L"TrayNotify", L"TreeView", L"Window"};

bool StylesActive = false;
TdxThemeData Cache[ThemedObjectTypeCount];
std::vector<TdxThemeChangedNotificator*>* Notificators = nullptr;  // not owning

// Class lists are matched the way the system matches class names: without
// regard to case, in the program's code page.
bool SameTextUpper(const std::wstring& a, const std::wstring& b) {
  return AnsiUpperCase(Utf16ToAnsi(a)) == AnsiUpperCase(Utf16ToAnsi(b));
}

// The receiver of theme changes: a hidden top-level window, because the
// system broadcasts WM_THEMECHANGED to top-level windows only (a
// message-only window would never hear it).
class TdxThemeChangedEventReceiver : public TObject {
public:
  TdxThemeChangedEventReceiver();
  ~TdxThemeChangedEventReceiver() override;
  HWND Handle() const { return FHandle; }

private:
  static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
  HWND FHandle = nullptr;
};

const char ReceiverClassName[] = "TdxThemeChangedEventReceiver";
TdxThemeChangedEventReceiver* Receiver = nullptr;

TdxThemeChangedEventReceiver::TdxThemeChangedEventReceiver() {
  WNDCLASSA cls{};
  cls.lpfnWndProc = &WndProc;
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.lpszClassName = ReceiverClassName;
  WNDCLASSA existing{};
  if (!GetClassInfoA(cls.hInstance, ReceiverClassName, &existing)) RegisterClassA(&cls);
  FHandle = CreateWindowExA(WS_EX_TOOLWINDOW, ReceiverClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            cls.hInstance, nullptr);
}

TdxThemeChangedEventReceiver::~TdxThemeChangedEventReceiver() {
  StylesActive = false;
  if (FHandle) DestroyWindow(FHandle);
}

LRESULT CALLBACK TdxThemeChangedEventReceiver::WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_THEMECHANGED) return DefWindowProcA(wnd, msg, wParam, lParam);
  GuardCallback([&] {
    ReleaseAllThemeHandles();
    DefWindowProcA(wnd, msg, wParam, lParam);
    StylesActive = UxIsThemeActive();
    HandleThemeChanged();
  });
  return 0;
}

}  // namespace

bool VisualStylesActive() { return StylesActive; }

const wchar_t* DefaultThemeClassList(TdxThemedObjectType kind) { return DefaultClassLists[kind]; }

const TdxThemeData& ThemeDataOf(TdxThemedObjectType kind) { return Cache[kind]; }

bool CanUseVisualStyles(TdxThemedObjectTypes kinds) {
  bool result = StylesActive && IsThemeLibraryBound();
  if (result && !kinds.Empty()) {
    for (int i = 0; i < ThemedObjectTypeCount && result; ++i) {
      const auto kind = static_cast<TdxThemedObjectType>(i);
      if (kinds.Contains(kind) && !AcquireThemeHandle(kind)) result = false;
    }
  }
  return result;
}

bool CanUseVisualStyle(TdxThemedObjectType kind) {
  return StylesActive && IsThemeLibraryBound() && AcquireThemeHandle(kind) != nullptr;
}

HTHEME AcquireThemeHandle(TdxThemedObjectType kind, const wchar_t* classList) {
  if (!CanUseVisualStyles()) return nullptr;
  TdxThemeData& data = Cache[kind];
  if (data.Theme) {
    if (!classList || SameTextUpper(classList, data.ClassList)) return data.Theme;
    ReleaseThemeHandle(kind);
  }
  std::wstring list;
  if (classList) list = classList;
  else list = data.ClassList.empty() ? DefaultClassLists[kind] : data.ClassList;
  data.Theme = UxOpenThemeData(nullptr, list.c_str());
  if (data.Theme) data.ClassList = list;
  else data.ClassList.clear();
  return data.Theme;
}

HRESULT ReleaseThemeHandle(TdxThemedObjectType kind) {
  if (!CanUseVisualStyles()) return 1;
  TdxThemeData& data = Cache[kind];
  if (!data.Theme) return 0;
  const HRESULT result = UxCloseThemeData(data.Theme);
  data.Theme = nullptr;
  return result;
}

void ReleaseAllThemeHandles() {
  for (TdxThemeData& data : Cache) {
    // Handles are only ever open while the library is bound.
    if (data.Theme && IsThemeLibraryBound()) UxCloseThemeData(data.Theme);
    data.Theme = nullptr;
  }
}

void HandleThemeChanged() {
  if (!Notificators) return;
  // Counted before the loop: notificators created by a handler hear of the
  // next change; one freed by a handler is never read past the list's end.
  const size_t count = Notificators->size();
  for (size_t i = 0; i < count && i < Notificators->size(); ++i) {
    TdxThemeChangedNotificator* n = (*Notificators)[i];
    FireEvent(n->OnVisualStyleChange, static_cast<TObject*>(n));
  }
}

HWND ThemeChangeReceiverWindow() { return Receiver ? Receiver->Handle() : nullptr; }

const TClassInfo TdxThemeChangedNotificator::ClassInfo{"TdxThemeChangedNotificator", &TObject::ClassInfo,
                                                       [](TObject*) -> TObject* {
                                                         return new TdxThemeChangedNotificator;
                                                       }};

TdxThemeChangedNotificator::TdxThemeChangedNotificator() {
  if (IsThemeLibraryBound() && Notificators) Notificators->push_back(this);
}

TdxThemeChangedNotificator::~TdxThemeChangedNotificator() {
  if (Notificators) std::erase(*Notificators, this);
}

void dxThemeManagerInit() {
  if (!IsThemeLibraryBound()) return;
  StylesActive = UxIsThemeActive();
  Receiver = new TdxThemeChangedEventReceiver;
  Notificators = new std::vector<TdxThemeChangedNotificator*>;
}

void dxThemeManagerDone() {
  if (IsThemeLibraryBound() || Receiver) {
    delete Receiver;
    Receiver = nullptr;
    ReleaseAllThemeHandles();
    delete Notificators;
    Notificators = nullptr;
  }
  StylesActive = false;
  for (TdxThemeData& data : Cache) data = TdxThemeData{};
}
