#include "foundation/Accessibility.h"

#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "platform/ShortCuts.h"

TAccessibleObjectFromWindowProc cxAccessibleObjectFromWindow = nullptr;
TLresultFromObjectProc cxLresultFromObject = nullptr;

namespace {

HMODULE OleAccLibrary = nullptr;

// A new BSTR of the text (null for an empty text).
BSTR NewBstr(const AnsiString& text) {
  if (text.empty()) return nullptr;
  const std::wstring wide = AnsiToUtf16(text);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

// The integer a child-id variant holds; false for other kinds.
bool VariantInteger(const VARIANT& v, long& value) {
  switch (v.vt) {
    case VT_I4: value = v.lVal; return true;
    case VT_INT: value = v.intVal; return true;
    case VT_I2: value = v.iVal; return true;
    default: return false;
  }
}

void SetInteger(VARIANT* out, long value) {
  VariantInit(out);
  out->vt = VT_I4;
  out->lVal = value;
}

// The accelerator character of a caption ("&Open" gives "O"), upper-cased;
// empty when it has none ("&&" is a plain ampersand).
AnsiString AcceleratorOf(const AnsiString& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    char c[2] = {text[i + 1], 0};
    CharUpperBuffA(c, 1);
    return AnsiString(c, 1);
  }
  return {};
}

[[noreturn]] void RaiseNotAnswered(const char* question) {
  throw Exception(AnsiString("The accessibility helper does not answer ") + question);
}

}  // namespace

const TClassInfo TcxAccessibilityHelper::ClassInfo{"TcxAccessibilityHelper", &TObject::ClassInfo,
                                                   [](TObject* owner) -> TObject* {
                                                     return new TcxAccessibilityHelper(owner);
                                                   }};

TcxAccessibilityHelper* TcxAccessibilityHelper::CreateForOwner(TClass helperClass, TObject* owner) {
  return static_cast<TcxAccessibilityHelper*>(CreateObject(helperClass, owner));
}

TcxAccessibilityHelper* TcxAccessibilityHelper::RootHelper() {
  TcxAccessibilityHelper* helper = this;
  // A chain that loops ends where it would come back.
  for (int guard = 0; guard < 1000; ++guard) {
    TcxAccessibilityHelper* parent = helper->ParentHelper();
    if (!parent || parent == this) break;
    helper = parent;
  }
  return helper;
}

bool TcxAccessibilityHelper::IsVisibleToClients() { return (StateOf(0) & STATE_SYSTEM_INVISIBLE) == 0; }

bool TcxAccessibilityHelper::ChildIsSimpleElement(int) { RaiseNotAnswered("whether a child is simple"); }
int TcxAccessibilityHelper::IndexOfChild(TObject*) { RaiseNotAnswered("the index of a child"); }
AnsiString TcxAccessibilityHelper::ValueText(int) { RaiseNotAnswered("a value"); }
int TcxAccessibilityHelper::NavigateChild(int, int) { RaiseNotAnswered("navigation"); }

bool TcxAccessibilityHelper::FocusedChildId(bool& hasFocusedChild, int& index) {
  hasFocusedChild = false;
  index = -1;
  return false;
}

int TcxAccessibilityHelper::ChildAtPoint(int, int, int& index) {
  index = -1;
  return cxAccHitNothing;
}

void TcxAccessibilityHelper::KeyboardShortcutText(int, TShortCut& shortcut, AnsiString& text) {
  shortcut = 0;
  text.clear();
}

HRESULT TcxAccessibilityHelper::QueryOther(REFIID riid, void** object) {
  if (riid == __uuidof(IDispatch)) {
    *object = static_cast<IDispatch*>(static_cast<IAccessible*>(this));
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

template <class F>
HRESULT TcxAccessibilityHelper::Call(F&& body) {
  if (!FOwnerAlive) return S_OK;
  try {
    return body();
  } catch (...) {
    return E_FAIL;
  }
}

HRESULT TcxAccessibilityHelper::CheckChildId(const VARIANT& childId, int& index) {
  long id = 0;
  if (!VariantInteger(childId, id) || id < 0 || id > ChildCount()) return E_INVALIDARG;
  if (id == CHILDID_SELF) {
    index = 0;
    return S_OK;
  }
  index = static_cast<int>(id - 1);
  return ChildIsSimpleElement(index) ? S_OK : E_INVALIDARG;
}

template <class F>
HRESULT TcxAccessibilityHelper::ChildCall(const VARIANT& childId, F&& body) {
  return Call([&]() -> HRESULT {
    int index = 0;
    const HRESULT checked = CheckChildId(childId, index);
    if (checked != S_OK) return checked;
    long id = 0;
    VariantInteger(childId, id);
    const bool saved = FAskingAboutSelf;
    FAskingAboutSelf = id == CHILDID_SELF;
    try {
      const HRESULT result = body(index);
      FAskingAboutSelf = saved;
      return result;
    } catch (...) {
      FAskingAboutSelf = saved;
      throw;
    }
  });
}

void TcxAccessibilityHelper::ChildIdToVariant(int id, VARIANT* out) {
  if (id > 0 && !ChildIsSimpleElement(id - 1))
    if (TcxAccessibilityHelper* child = ChildAt(id - 1)) {
      VariantInit(out);
      out->vt = VT_DISPATCH;
      out->pdispVal = static_cast<IDispatch*>(static_cast<IAccessible*>(child));
      out->pdispVal->AddRef();
      return;
    }
  SetInteger(out, id);
}

// ---------------------------------------------------------------------------
// IDispatch

STDMETHODIMP TcxAccessibilityHelper::GetTypeInfoCount(UINT* count) {
  if (count) *count = 0;
  return E_NOTIMPL;
}

STDMETHODIMP TcxAccessibilityHelper::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP TcxAccessibilityHelper::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

STDMETHODIMP TcxAccessibilityHelper::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
  return E_NOTIMPL;
}

// ---------------------------------------------------------------------------
// IAccessible

STDMETHODIMP TcxAccessibilityHelper::get_accParent(IDispatch** parent) {
  if (!parent) return E_POINTER;
  *parent = nullptr;
  return Call([&]() -> HRESULT {
    if (TcxAccessibilityHelper* helper = ParentHelper()) {
      *parent = static_cast<IDispatch*>(static_cast<IAccessible*>(helper));
      (*parent)->AddRef();
      return S_OK;
    }
    HWND window = OwnerObjectWindow();
    if (!window || !cxAccessibleObjectFromWindow) return S_FALSE;
    HWND above = (GetWindowLongA(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : GetDesktopWindow();
    IAccessible* accessible = nullptr;
    if (SUCCEEDED(cxAccessibleObjectFromWindow(above, OBJID_WINDOW, __uuidof(IAccessible),
                                               reinterpret_cast<void**>(&accessible))) &&
        accessible) {
      *parent = accessible;
      return S_OK;
    }
    return S_FALSE;
  });
}

STDMETHODIMP TcxAccessibilityHelper::get_accChildCount(long* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return Call([&] {
    *count = ChildCount();
    return S_OK;
  });
}

STDMETHODIMP TcxAccessibilityHelper::get_accChild(VARIANT childId, IDispatch** child) {
  if (!child) return E_POINTER;
  *child = nullptr;
  return Call([&]() -> HRESULT {
    long id = 0;
    if (!VariantInteger(childId, id) || id < 1 || id > ChildCount()) return E_INVALIDARG;
    if (ChildIsSimpleElement(static_cast<int>(id - 1))) return S_FALSE;
    TcxAccessibilityHelper* helper = ChildAt(static_cast<int>(id - 1));
    if (!helper) return S_FALSE;
    *child = static_cast<IDispatch*>(static_cast<IAccessible*>(helper));
    (*child)->AddRef();
    return S_OK;
  });
}

STDMETHODIMP TcxAccessibilityHelper::get_accName(VARIANT childId, BSTR* name) {
  if (!name) return E_POINTER;
  *name = nullptr;
  return ChildCall(childId, [&](int child) {
    *name = NewBstr(NameText(child));
    return *name ? S_OK : S_FALSE;
  });
}

STDMETHODIMP TcxAccessibilityHelper::get_accValue(VARIANT childId, BSTR* value) {
  if (!value) return E_POINTER;
  *value = nullptr;
  return ChildCall(childId, [&](int child) -> HRESULT {
    if (!HasFeature(child, cxAccFeatureValue)) return DISP_E_MEMBERNOTFOUND;
    *value = NewBstr(ValueText(child));
    return S_OK;
  });
}

STDMETHODIMP TcxAccessibilityHelper::get_accDescription(VARIANT childId, BSTR* description) {
  if (!description) return E_POINTER;
  *description = nullptr;
  return ChildCall(childId, [&](int child) -> HRESULT {
    if (!HasFeature(child, cxAccFeatureDescription)) return DISP_E_MEMBERNOTFOUND;
    *description = NewBstr(DescriptionText(child));
    return *description ? S_OK : S_FALSE;
  });
}

STDMETHODIMP TcxAccessibilityHelper::get_accRole(VARIANT childId, VARIANT* role) {
  if (!role) return E_POINTER;
  VariantInit(role);
  return ChildCall(childId, [&](int child) {
    SetInteger(role, Role(child));
    return S_OK;
  });
}

STDMETHODIMP TcxAccessibilityHelper::get_accState(VARIANT childId, VARIANT* state) {
  if (!state) return E_POINTER;
  VariantInit(state);
  return ChildCall(childId, [&](int child) {
    SetInteger(state, StateOf(child));
    return S_OK;
  });
}

STDMETHODIMP TcxAccessibilityHelper::get_accHelp(VARIANT, BSTR* help) {
  if (help) *help = nullptr;
  return Call([] { return DISP_E_MEMBERNOTFOUND; });
}

STDMETHODIMP TcxAccessibilityHelper::get_accHelpTopic(BSTR* helpFile, VARIANT, long* topic) {
  if (helpFile) *helpFile = nullptr;
  if (topic) *topic = 0;
  return Call([] { return DISP_E_MEMBERNOTFOUND; });
}

STDMETHODIMP TcxAccessibilityHelper::get_accKeyboardShortcut(VARIANT childId, BSTR* shortcut) {
  if (!shortcut) return E_POINTER;
  *shortcut = nullptr;
  return ChildCall(childId, [&](int child) -> HRESULT {
    if (!HasFeature(child, cxAccFeatureKeyboardShortcut)) return DISP_E_MEMBERNOTFOUND;
    TShortCut key = 0;
    AnsiString text;
    KeyboardShortcutText(child, key, text);
    AnsiString answer = AcceleratorOf(text);
    if (answer.empty()) answer = ShortCutToText(key);
    *shortcut = NewBstr(answer);
    return *shortcut ? S_OK : S_FALSE;
  });
}

STDMETHODIMP TcxAccessibilityHelper::get_accFocus(VARIANT* child) {
  if (!child) return E_POINTER;
  VariantInit(child);
  return Call([&]() -> HRESULT {
    if (!HasFeature(0, cxAccFeatureFocus)) return DISP_E_MEMBERNOTFOUND;
    bool has = false;
    int index = -1;
    if (!FocusedChildId(has, index)) return S_FALSE;
    ChildIdToVariant(has ? index + 1 : CHILDID_SELF, child);
    return S_OK;
  });
}

STDMETHODIMP TcxAccessibilityHelper::get_accSelection(VARIANT* children) {
  if (children) VariantInit(children);
  return Call([] { return DISP_E_MEMBERNOTFOUND; });
}

STDMETHODIMP TcxAccessibilityHelper::get_accDefaultAction(VARIANT childId, BSTR* action) {
  if (!action) return E_POINTER;
  *action = nullptr;
  return ChildCall(childId, [&](int child) -> HRESULT {
    if (!HasFeature(child, cxAccFeatureDefaultAction)) return DISP_E_MEMBERNOTFOUND;
    *action = NewBstr(DefaultActionText(child));
    return S_OK;
  });
}

STDMETHODIMP TcxAccessibilityHelper::accSelect(long, VARIANT) {
  return Call([] { return DISP_E_MEMBERNOTFOUND; });
}

STDMETHODIMP TcxAccessibilityHelper::accLocation(long* left, long* top, long* width, long* height,
                                                 VARIANT childId) {
  if (!left || !top || !width || !height) return E_POINTER;
  *left = *top = *width = *height = 0;
  return ChildCall(childId, [&](int child) -> HRESULT {
    if (!HasFeature(0, cxAccFeatureChildren)) return DISP_E_MEMBERNOTFOUND;
    const RECT r = ScreenBounds(child);
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
  });
}

STDMETHODIMP TcxAccessibilityHelper::accNavigate(long direction, VARIANT start, VARIANT* end) {
  if (!end) return E_POINTER;
  VariantInit(end);
  return Call([&]() -> HRESULT {
    long from = 0;
    if (!VariantInteger(start, from) || from < 0) return E_INVALIDARG;
    if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD) {
      if (from != CHILDID_SELF) return E_INVALIDARG;
      if (!HasFeature(0, cxAccFeatureChildren)) return DISP_E_MEMBERNOTFOUND;
      const int count = ChildCount();
      if (count <= 0) return S_FALSE;
      ChildIdToVariant(direction == NAVDIR_FIRSTCHILD ? 1 : count, end);
      return S_OK;
    }
    if (from == CHILDID_SELF) {
      // From the object itself the parent navigates from this object's place.
      TcxAccessibilityHelper* parent = ParentHelper();
      if (!parent || !parent->OwnerAlive()) return parent ? S_OK : S_FALSE;
      if (!parent->HasFeature(0, cxAccFeatureChildren)) return S_FALSE;
      VARIANT place;
      SetInteger(&place, parent->IndexOfChild(FOwnerObject) + 1);
      return parent->accNavigate(direction, place, end) == S_OK ? S_OK : S_FALSE;
    }
    if (from > ChildCount()) return E_INVALIDARG;
    if (!HasFeature(0, cxAccFeatureChildren)) return DISP_E_MEMBERNOTFOUND;
    int mapped = cxAccNavUp;
    switch (direction) {
      case NAVDIR_UP: mapped = cxAccNavUp; break;
      case NAVDIR_DOWN: mapped = cxAccNavDown; break;
      case NAVDIR_LEFT: mapped = cxAccNavLeft; break;
      case NAVDIR_RIGHT: mapped = cxAccNavRight; break;
      case NAVDIR_NEXT: mapped = cxAccNavNext; break;
      case NAVDIR_PREVIOUS: mapped = cxAccNavPrevious; break;
      default: break;
    }
    const int index = static_cast<int>(from - 1);
    const int target = NavigateChild(index, mapped);
    if (target == index || target < 0 || target >= ChildCount()) return S_FALSE;
    ChildIdToVariant(target + 1, end);
    return S_OK;
  });
}

STDMETHODIMP TcxAccessibilityHelper::accHitTest(long x, long y, VARIANT* child) {
  if (!child) return E_POINTER;
  VariantInit(child);
  return Call([&]() -> HRESULT {
    if (!HasFeature(0, cxAccFeatureChildren)) return DISP_E_MEMBERNOTFOUND;
    const RECT bounds = ScreenBounds(0);
    const POINT point{x, y};
    if (!PtInRect(&bounds, point)) return S_FALSE;
    int index = -1;
    switch (ChildAtPoint(x, y, index)) {
      case cxAccHitSelf: SetInteger(child, CHILDID_SELF); return S_OK;
      case cxAccHitChild: ChildIdToVariant(index + 1, child); return S_OK;
      default: return S_FALSE;
    }
  });
}

STDMETHODIMP TcxAccessibilityHelper::accDoDefaultAction(VARIANT childId) {
  return ChildCall(childId, [&](int child) -> HRESULT {
    if (!HasFeature(child, cxAccFeatureDefaultAction)) return DISP_E_MEMBERNOTFOUND;
    DoDefaultAction(child);
    return S_OK;
  });
}

STDMETHODIMP TcxAccessibilityHelper::put_accName(VARIANT, BSTR) {
  return Call([] { return DISP_E_MEMBERNOTFOUND; });
}

STDMETHODIMP TcxAccessibilityHelper::put_accValue(VARIANT childId, BSTR value) {
  return ChildCall(childId, [&](int child) -> HRESULT {
    if (!HasFeature(child, cxAccFeatureValue)) return DISP_E_MEMBERNOTFOUND;
    SetValueText(child, value ? Utf16ToAnsi(std::wstring(value, SysStringLen(value))) : AnsiString());
    return S_OK;
  });
}

// ---------------------------------------------------------------------------
// IOleWindow

STDMETHODIMP TcxAccessibilityHelper::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = nullptr;
  return Call([&] {
    *window = OwnerObjectWindow();
    return S_OK;
  });
}

STDMETHODIMP TcxAccessibilityHelper::ContextSensitiveHelp(BOOL) { return S_OK; }

// ---------------------------------------------------------------------------
// The unit

void cxAccessibilityInit() {
  OleAccLibrary = LoadLibraryA("oleacc.dll");
  if (!OleAccLibrary) return;
  cxAccessibleObjectFromWindow = reinterpret_cast<TAccessibleObjectFromWindowProc>(
      reinterpret_cast<void*>(GetProcAddress(OleAccLibrary, "AccessibleObjectFromWindow")));
  cxLresultFromObject = reinterpret_cast<TLresultFromObjectProc>(
      reinterpret_cast<void*>(GetProcAddress(OleAccLibrary, "LresultFromObject")));
}

void cxAccessibilityDone() {
  cxAccessibleObjectFromWindow = nullptr;
  cxLresultFromObject = nullptr;
  if (OleAccLibrary) FreeLibrary(OleAccLibrary);
  OleAccLibrary = nullptr;
}
