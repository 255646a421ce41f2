// Hosting OLE controls in a windowed control: TOleControl creates the
// control's object, gives it a client site, activates it in place inside
// its own window (the object's window follows the control's size), answers
// its ambient properties and hands the events it fires through its
// connection point to the descendant that knows them (TWebBrowser).
//
// The object is made through a class factory the program asks of
// OleClassFactory: the system's (CoGetClassObject) unless a test installed
// a source of its own with SetOleClassSource, so a fake control can stand
// behind the same interfaces.
#pragma once

#include "platform/Control.h"
#include "platform/Interfaced.h"

#include <ocidl.h>
#include <oleidl.h>

#include <functional>

// Answers the class factory of a control class (S_OK and an AddRef'ed
// factory) or a failing code.
using TOleClassSource = std::function<HRESULT(REFCLSID ClassID, IClassFactory** Factory)>;
// Installs a replacement (empty: the system's own) and answers the one it
// replaces, so a test can put it back.
TOleClassSource SetOleClassSource(TOleClassSource source);
// The factory of a control class through the installed source.
HRESULT OleClassFactory(REFCLSID ClassID, IClassFactory** Factory);

class TOleControlSite;
class TOleEventSink;

class TOleControl : public TWinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  ~TOleControl() override;
  // Deactivates and closes the object while the whole control still exists.
  void BeforeDestruction() override;

  // The control's object (never null once constructed).
  IOleObject* OleObject() const { return FOleObject.Get(); }
  // The object's interface I, or null when it has none.
  template <class I>
  TComPtr<I> ControlInterface() const {
    return FOleObject.As<I>();
  }
  // True while the object is active in place in this control's window.
  bool InPlaceActive() const { return FInPlaceObject.operator bool(); }
  // True while the object is UI-active (it has the keyboard focus and told
  // its frame which active object it is).
  bool UIActive() const { return FActiveObject.operator bool(); }

protected:
  // Creates the object of `classID` and connects to its events of
  // `eventsIID` (IID_NULL: none). Raises EOleError naming the class when the
  // object cannot be made.
  TOleControl(TComponent* AOwner, REFCLSID classID, REFIID eventsIID);

  void CreateParams(TCreateParams& Params) override;
  // The window, then the object's in-place activation inside it.
  void CreateWnd() override;
  // The object's in-place deactivation (its windows go), then the window.
  void DestroyWnd() override;
  // Keeps the object's rectangle on the client area, UI-activates it when
  // the window takes the focus and offers it the keys first.
  void Dispatch(TMessage& Message) override;

  // An event the object fired through its connection point; Params as
  // IDispatch::Invoke has them (arguments last to first). A raising handler
  // is reported to the application and never reaches the object.
  virtual void InvokeEvent(DISPID DispID, DISPPARAMS& Params);
  // An ambient property the object asks for: fill Value and answer true,
  // or answer false for one the control does not know.
  virtual bool GetAmbientProperty(DISPID DispID, VARIANT& Value);

private:
  friend class TOleControlSite;
  friend class TOleEventSink;

  void CreateControl();
  void DestroyControl();
  void ActivateInPlace();
  void DeactivateInPlace();
  void UpdateObjectRects();
  RECT ObjectRect();

  CLSID FClassID;
  IID FEventsIID;
  DWORD FMiscStatus = 0;
  TComPtr<IOleObject> FOleObject;
  TComPtr<TOleControlSite> FSite;
  TComPtr<TOleEventSink> FEventSink;
  TComPtr<IConnectionPoint> FEventsConnection;
  DWORD FEventsCookie = 0;
  // Set by the object through the site while it is active in place and
  // UI-active.
  TComPtr<IOleInPlaceObject> FInPlaceObject;
  TComPtr<IOleInPlaceActiveObject> FActiveObject;
};
