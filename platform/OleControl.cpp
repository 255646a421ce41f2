#include "platform/OleControl.h"

#include "platform/FileStream.h"
#include "platform/Text.h"

#include <olectl.h>

#include <utility>

const TClassInfo TOleControl::ClassInfo{"TOleControl", &TWinControl::ClassInfo, nullptr};

// -- The class factory seam -----------------------------------------------------

namespace {

TOleClassSource& InstalledClassSource() {
  static TOleClassSource source;
  return source;
}

AnsiString ClassIDText(REFCLSID id) {
  wchar_t text[40] = {};
  StringFromGUID2(id, text, 40);
  AnsiString result;
  for (const wchar_t* p = text; *p; ++p) result += static_cast<char>(*p);
  return result;
}

// "OLE error 80004005: <the system's text>", for messages.
AnsiString OleErrorText(HRESULT code) {
  AnsiString text = Format("OLE error %08X", static_cast<unsigned>(code));
  const AnsiString system = Trim(SysErrorMessage(static_cast<DWORD>(code)));
  if (!system.empty()) text += ": " + system;
  return text;
}

}  // namespace

TOleClassSource SetOleClassSource(TOleClassSource source) { return std::exchange(InstalledClassSource(), std::move(source)); }

HRESULT OleClassFactory(REFCLSID ClassID, IClassFactory** Factory) {
  if (!Factory) return E_POINTER;
  *Factory = nullptr;
  if (const TOleClassSource& source = InstalledClassSource()) return source(ClassID, Factory);
  return CoGetClassObject(ClassID, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory, reinterpret_cast<void**>(Factory));
}

// -- The site ---------------------------------------------------------------------

// COM objects whose IDispatch is called by number only: no type
// information, no names.
template <class... I>
class TDispIdObject : public TInterfacedObject<I...> {
public:
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info) *info = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
};

// What the hosted object talks to: its client site, in-place site, frame
// (there are no tool bars or menus to share), control site and the
// ambient properties. The control frees itself long before the object has
// to let go of the site, so the site keeps only a pointer the control
// clears (Detach); calls that come afterwards are refused.
class TOleControlSite
    : public TDispIdObject<IOleClientSite, IOleInPlaceSiteEx, IOleInPlaceFrame, IOleControlSite, IDispatch> {
public:
  explicit TOleControlSite(TOleControl* control) : FControl(control) {}
  void Detach() { FControl = nullptr; }

  // IOleClientSite
  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetContainer(IOleContainer** container) override {
    if (container) *container = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow (of the in-place site and of the frame)
  STDMETHODIMP GetWindow(HWND* wnd) override {
    if (!wnd) return E_POINTER;
    *wnd = FControl ? FControl->FHandle : nullptr;
    return *wnd ? S_OK : E_FAIL;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IOleInPlaceSite
  STDMETHODIMP CanInPlaceActivate() override { return FControl && FControl->FHandle ? S_OK : S_FALSE; }
  STDMETHODIMP OnInPlaceActivate() override {
    return GuardComCall([&] {
      if (!FControl) return E_UNEXPECTED;
      FControl->FInPlaceObject = FControl->FOleObject.As<IOleInPlaceObject>();
      return FControl->FInPlaceObject ? S_OK : E_NOINTERFACE;
    });
  }
  STDMETHODIMP OnUIActivate() override { return FControl ? S_OK : E_UNEXPECTED; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document, LPRECT posRect,
                                LPRECT clipRect, LPOLEINPLACEFRAMEINFO frameInfo) override {
    if (frame) *frame = nullptr;
    if (document) *document = nullptr;
    if (!frame || !document || !posRect || !clipRect || !frameInfo) return E_POINTER;
    if (!FControl || !FControl->FHandle) return E_UNEXPECTED;
    *frame = this;
    AddRef();
    *posRect = *clipRect = FControl->ObjectRect();
    // cb is the caller's: a smaller record than ours gets nothing beyond it.
    if (frameInfo->cb < sizeof(OLEINPLACEFRAMEINFO)) return S_OK;
    frameInfo->fMDIApp = FALSE;
    frameInfo->hwndFrame = GetAncestor(FControl->FHandle, GA_ROOT);
    frameInfo->haccel = nullptr;
    frameInfo->cAccelEntries = 0;
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) override { return S_FALSE; }
  STDMETHODIMP OnUIDeactivate(BOOL) override {
    if (FControl) FControl->FActiveObject.Clear();
    return S_OK;
  }
  STDMETHODIMP OnInPlaceDeactivate() override {
    if (FControl) {
      FControl->FActiveObject.Clear();
      FControl->FInPlaceObject.Clear();
    }
    return S_OK;
  }
  STDMETHODIMP DiscardUndoState() override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() override {
    if (FControl && FControl->FInPlaceObject) FControl->FInPlaceObject->UIDeactivate();
    return S_OK;
  }
  STDMETHODIMP OnPosRectChange(LPCRECT) override {
    // The control decides the object's place: it fills the client area.
    return GuardComCall([&] {
      if (FControl) FControl->UpdateObjectRects();
      return S_OK;
    });
  }

  // IOleInPlaceSiteEx
  STDMETHODIMP OnInPlaceActivateEx(BOOL* noRedraw, DWORD) override {
    if (noRedraw) *noRedraw = FALSE;
    return OnInPlaceActivate();
  }
  STDMETHODIMP OnInPlaceDeactivateEx(BOOL) override { return OnInPlaceDeactivate(); }
  STDMETHODIMP RequestUIActivate() override { return FControl ? S_OK : S_FALSE; }

  // IOleInPlaceUIWindow and IOleInPlaceFrame: no border space, no menus.
  STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS widths) override { return widths ? INPLACE_E_NOTOOLSPACE : S_OK; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override {
    if (FControl) FControl->FActiveObject = TComPtr<IOleInPlaceActiveObject>(object);
    return S_OK;
  }
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return S_OK; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

  // IOleControlSite
  STDMETHODIMP OnControlInfoChanged() override { return S_OK; }
  STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
  STDMETHODIMP GetExtendedControl(IDispatch** extended) override {
    if (extended) *extended = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
  STDMETHODIMP OnFocus(BOOL) override { return S_OK; }
  STDMETHODIMP ShowPropertyFrame() override { return E_NOTIMPL; }

  // IDispatch: the ambient properties.
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                      UINT*) override {
    if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    if (!result) return E_POINTER;
    VariantInit(result);
    return GuardComCall([&] {
      return FControl && FControl->GetAmbientProperty(id, *result) ? S_OK : DISP_E_MEMBERNOTFOUND;
    });
  }

protected:
  HRESULT QueryOther(REFIID riid, void** object) override {
    if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite) {
      *object = static_cast<IOleInPlaceSiteEx*>(this);
    } else if (riid == IID_IOleInPlaceUIWindow) {
      *object = static_cast<IOleInPlaceFrame*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }

private:
  TOleControl* FControl;
};

// The receiver of the object's events: an IDispatch answering as the
// events interface, handing each call to the control.
class TOleEventSink : public TDispIdObject<IDispatch> {
public:
  TOleEventSink(TOleControl* control, REFIID eventsIID) : FControl(control), FEventsIID(eventsIID) {}
  void Detach() { FControl = nullptr; }

  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                      UINT*) override {
    if (result) VariantInit(result);
    DISPPARAMS none{};
    TOleControl* control = FControl;
    if (!control) return S_OK;
    return GuardComCall(
        [&] {
          control->InvokeEvent(id, params ? *params : none);
          return S_OK;
        },
        control);
  }

protected:
  HRESULT QueryOther(REFIID riid, void** object) override {
    if (riid != FEventsIID) return E_NOINTERFACE;
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }

private:
  TOleControl* FControl;
  IID FEventsIID;
};

// -- TOleControl --------------------------------------------------------------------

TOleControl::TOleControl(TComponent* AOwner, REFCLSID classID, REFIID eventsIID)
    : TWinControl(AOwner), FClassID(classID), FEventsIID(eventsIID) {
  FTabStop = true;
  FWidth = 100;
  FHeight = 50;
  try {
    CreateControl();
  } catch (...) {
    DestroyControl();
    throw;
  }
}

TOleControl::~TOleControl() {
  // Only reached without BeforeDestruction when a constructor failed.
  DestroyHandle();
  DestroyControl();
}

void TOleControl::BeforeDestruction() {
  // The object's windows go with ours, while every override still runs.
  TWinControl::BeforeDestruction();
  DestroyControl();
}

void TOleControl::CreateControl() {
  TComPtr<IClassFactory> factory;
  HRESULT hr = OleClassFactory(FClassID, factory.Put());
  if (SUCCEEDED(hr) && factory)
    hr = factory->CreateInstance(nullptr, IID_IOleObject, reinterpret_cast<void**>(FOleObject.Put()));
  if (FAILED(hr) || !FOleObject) {
    if (SUCCEEDED(hr)) hr = E_NOINTERFACE;
    throw EOleSysError("Cannot create the control " + ClassIDText(FClassID) + " (" + OleErrorText(hr) + ")", hr);
  }
  FSite = TComPtr<TOleControlSite>(new TOleControlSite(this));
  if (FAILED(FOleObject->GetMiscStatus(DVASPECT_CONTENT, &FMiscStatus))) FMiscStatus = 0;
  auto setSite = [&] {
    hr = FOleObject->SetClientSite(FSite.Get());
    if (FAILED(hr))
      throw EOleSysError("The control " + ClassIDText(FClassID) + " refused its site (" + OleErrorText(hr) + ")", hr);
  };
  if (FMiscStatus & OLEMISC_SETCLIENTSITEFIRST) setSite();
  if (auto init = FOleObject.As<IPersistStreamInit>()) {
    hr = init->InitNew();
    if (FAILED(hr) && hr != E_NOTIMPL)
      throw EOleSysError("The control " + ClassIDText(FClassID) + " cannot start (" + OleErrorText(hr) + ")", hr);
  }
  if (!(FMiscStatus & OLEMISC_SETCLIENTSITEFIRST)) setSite();
  if (FEventsIID == IID_NULL) return;
  // A control without that connection point simply fires no events here.
  auto container = FOleObject.As<IConnectionPointContainer>();
  TComPtr<IConnectionPoint> point;
  if (!container || FAILED(container->FindConnectionPoint(FEventsIID, point.Put())) || !point) return;
  FEventSink = TComPtr<TOleEventSink>(new TOleEventSink(this, FEventsIID));
  DWORD cookie = 0;
  if (FAILED(point->Advise(static_cast<IDispatch*>(FEventSink.Get()), &cookie))) {
    FEventSink->Detach();
    FEventSink.Clear();
    return;
  }
  FEventsConnection = point;
  FEventsCookie = cookie;
}

void TOleControl::DestroyControl() {
  DeactivateInPlace();
  if (FEventsConnection) {
    TComPtr<IConnectionPoint> point = std::exchange(FEventsConnection, {});
    point->Unadvise(std::exchange(FEventsCookie, 0));
  }
  if (FEventSink) {
    FEventSink->Detach();
    FEventSink.Clear();
  }
  if (FOleObject) {
    TComPtr<IOleObject> object = std::exchange(FOleObject, {});
    object->Close(OLECLOSE_NOSAVE);
    if (FSite) object->SetClientSite(nullptr);
  }
  FInPlaceObject.Clear();
  FActiveObject.Clear();
  if (FSite) {
    FSite->Detach();
    FSite.Clear();
  }
}

void TOleControl::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  // The object's own window covers the client area and paints it.
  Params.Style |= WS_CLIPCHILDREN;
  Params.WindowClass.hbrBackground = nullptr;
}

void TOleControl::CreateWnd() {
  TWinControl::CreateWnd();
  ActivateInPlace();
}

void TOleControl::DestroyWnd() {
  DeactivateInPlace();
  TWinControl::DestroyWnd();
}

RECT TOleControl::ObjectRect() {
  RECT r{};
  if (FHandle) GetClientRect(FHandle, &r);
  return r;
}

void TOleControl::ActivateInPlace() {
  if (!FOleObject || !FHandle || InPlaceActive()) return;
  RECT r = ObjectRect();
  const HRESULT hr = FOleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, FSite.Get(), 0, FHandle, &r);
  if (FAILED(hr))
    throw EOleSysError("The control " + ClassIDText(FClassID) + " cannot be activated (" + OleErrorText(hr) + ")", hr);
  // Some objects never tell their site; they are active all the same.
  if (!FInPlaceObject) FInPlaceObject = FOleObject.As<IOleInPlaceObject>();
}

void TOleControl::DeactivateInPlace() {
  if (!FInPlaceObject) return;
  // Inactive from here on: the focus coming back to this window while the
  // object's window goes must not activate it again.
  TComPtr<IOleInPlaceObject> object = std::exchange(FInPlaceObject, {});
  FActiveObject.Clear();
  object->InPlaceDeactivate();
}

void TOleControl::UpdateObjectRects() {
  if (!FInPlaceObject) return;
  RECT r = ObjectRect();
  FInPlaceObject->SetObjectRects(&r, &r);
}

void TOleControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SIZE:
      TWinControl::Dispatch(Message);
      UpdateObjectRects();
      return;
    case WM_SETFOCUS:
      TWinControl::Dispatch(Message);
      // The object takes the focus into its own window (once UI-active,
      // it is not told again, so the focus is passed on here).
      if (FOleObject && FInPlaceObject) {
        if (!UIActive()) {
          RECT r = ObjectRect();
          FOleObject->DoVerb(OLEIVERB_UIACTIVATE, nullptr, FSite.Get(), 0, FHandle, &r);
        }
        HWND objectWindow = nullptr;
        if (FInPlaceObject && GetFocus() == FHandle && SUCCEEDED(FInPlaceObject->GetWindow(&objectWindow)) &&
            objectWindow && IsChild(FHandle, objectWindow))
          ::SetFocus(objectWindow);
      }
      return;
    case WM_DESTROY:
      // Destroyed from outside (its parent went first): the object lets
      // go of its windows before they are destroyed under it.
      DeactivateInPlace();
      break;
    case CN_KEYDOWN:
    case CN_KEYUP:
    case CN_CHAR:
    case CN_SYSKEYDOWN:
    case CN_SYSKEYUP:
    case CN_SYSCHAR:
      if (FActiveObject) {
        MSG msg{GetFocus(), static_cast<UINT>(Message.Msg - CN_BASE), Message.WParam, Message.LParam,
                static_cast<DWORD>(GetMessageTime()), {}};
        const DWORD pos = GetMessagePos();
        msg.pt = POINT{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
        if (FActiveObject->TranslateAccelerator(&msg) == S_OK) {
          Message.Result = 1;
          return;
        }
      }
      break;
    default:
      break;
  }
  TWinControl::Dispatch(Message);
}

void TOleControl::InvokeEvent(DISPID DispID, DISPPARAMS& Params) {
  (void)DispID;
  (void)Params;
}

bool TOleControl::GetAmbientProperty(DISPID DispID, VARIANT& Value) {
  auto boolean = [&](bool b) {
    Value.vt = VT_BOOL;
    Value.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
    return true;
  };
  auto integer = [&](long n) {
    Value.vt = VT_I4;
    Value.lVal = n;
    return true;
  };
  switch (DispID) {
    case DISPID_AMBIENT_USERMODE:
    case DISPID_AMBIENT_SUPPORTSMNEMONICS:
    case DISPID_AMBIENT_AUTOCLIP:
      return boolean(true);
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_MESSAGEREFLECT:
    case DISPID_AMBIENT_DISPLAYASDEFAULT:
      return boolean(false);
    case DISPID_AMBIENT_LOCALEID:
      return integer(static_cast<long>(GetThreadLocale()));
    case DISPID_AMBIENT_BACKCOLOR:
      return integer(static_cast<long>(ColorToRGB(FColor)));
    case DISPID_AMBIENT_FORECOLOR:
      return integer(static_cast<long>(ColorToRGB(FFont.Color())));
    default:
      return false;
  }
}
