// Answers accessibility clients (screen readers, automation) for objects
// that are not windows of their own, such as toolbar items. The helper
// implements IAccessible (with its IDispatch part) and IOleWindow for one
// owner object and turns each request into a few virtual questions that
// descendants answer for their owner. A child is either a simple element
// the helper answers for, or an object with a helper of its own. The unit
// binds "oleacc.dll" at start for the parent-window fallback.
#pragma once

#include "platform/Interfaced.h"
#include "platform/Menus.h"
#include "platform/Text.h"

#include <oleacc.h>

class TcxAccessibilityHelper;

// The helper behind an interface, and the owner's farewell.
struct IcxAccessibilityHelper : public IUnknown {
  virtual TcxAccessibilityHelper* STDMETHODCALLTYPE GetHelper() = 0;
  virtual void STDMETHODCALLTYPE OwnerObjectDestroyed() = 0;
};

// Features a helper supports for the object (child 0) or a child.
enum : int {
  cxAccFeatureDefaultAction = 1,
  cxAccFeatureDescription = 2,
  cxAccFeatureFocus = 4,
  cxAccFeatureChildren = 8,  // navigation, hit testing, location
  cxAccFeatureKeyboardShortcut = 16,
  cxAccFeatureValue = 32,
};

// What ChildAtPoint found.
enum : int { cxAccHitNothing = 0, cxAccHitSelf = 1, cxAccHitChild = 2 };

// Navigation directions of NavigateChild.
enum : int { cxAccNavLeft, cxAccNavUp, cxAccNavRight, cxAccNavDown, cxAccNavPrevious, cxAccNavNext };

// Every method answers a result code and lets no exception out (one that
// occurs answers E_FAIL). Once the owner is gone every call answers S_OK
// with empty results and touches nothing. Child ids below 0 or above the
// child count answer E_INVALIDARG; the virtual operations get the child's
// index (id - 1), and 0 for the object itself too: AskingAboutSelf tells
// the two apart while a call runs.
class TcxAccessibilityHelper : public TInterfacedObject<IAccessible, IcxAccessibilityHelper, IOleWindow> {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxAccessibilityHelper(TObject* owner) : FOwnerObject(owner) {}
  // The class's own constructor through its reference.
  static TcxAccessibilityHelper* CreateForOwner(TClass helperClass, TObject* owner);

  TObject* OwnerObject() const { return FOwnerObject; }
  bool OwnerAlive() const { return FOwnerAlive; }
  // The topmost helper through the parents (this one without a parent).
  TcxAccessibilityHelper* RootHelper();
  // StateOf(0) lacks STATE_SYSTEM_INVISIBLE.
  bool IsVisibleToClients();

  // The questions, with the base answers.
  virtual void MarkOwnerGone() { FOwnerAlive = false; }
  virtual bool ChildIsSimpleElement(int index);  // raises
  virtual void DoDefaultAction(int child) { (void)child; }
  virtual bool FocusedChildId(bool& hasFocusedChild, int& index);
  virtual TcxAccessibilityHelper* ChildAt(int index) { (void)index; return nullptr; }
  virtual int ChildCount() { return 0; }
  virtual int IndexOfChild(TObject* childOwner);  // raises
  virtual AnsiString DefaultActionText(int child) { (void)child; return {}; }
  virtual AnsiString DescriptionText(int child) { (void)child; return {}; }
  // cxAccHitNothing, cxAccHitSelf or cxAccHitChild with `index`.
  virtual int ChildAtPoint(int x, int y, int& index);
  virtual void KeyboardShortcutText(int child, TShortCut& shortcut, AnsiString& text);
  virtual AnsiString NameText(int child) { (void)child; return {}; }
  virtual HWND OwnerObjectWindow() { return nullptr; }
  virtual TcxAccessibilityHelper* ParentHelper() { return nullptr; }
  virtual int Role(int child) { (void)child; return 0; }
  virtual RECT ScreenBounds(int child) { (void)child; return RECT{}; }
  virtual bool IsShowing() { return false; }
  // Whether keyboard navigation may select the object.
  virtual bool IsSelectable() { return false; }
  virtual int StateOf(int child) { (void)child; return 0; }
  virtual int SupportedFeatures(int child) { (void)child; return 0; }
  virtual AnsiString ValueText(int child);  // raises
  // The index reached from `start` in `direction` (cxAccNav...).
  virtual int NavigateChild(int start, int direction);  // raises
  virtual void SetValueText(int child, const AnsiString& text) { (void)child; (void)text; }

  // IcxAccessibilityHelper
  TcxAccessibilityHelper* STDMETHODCALLTYPE GetHelper() override { return this; }
  void STDMETHODCALLTYPE OwnerObjectDestroyed() override { MarkOwnerGone(); }

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argError) override;

  // IAccessible
  STDMETHODIMP get_accParent(IDispatch** parent) override;
  STDMETHODIMP get_accChildCount(long* count) override;
  STDMETHODIMP get_accChild(VARIANT childId, IDispatch** child) override;
  STDMETHODIMP get_accName(VARIANT childId, BSTR* name) override;
  STDMETHODIMP get_accValue(VARIANT childId, BSTR* value) override;
  STDMETHODIMP get_accDescription(VARIANT childId, BSTR* description) override;
  STDMETHODIMP get_accRole(VARIANT childId, VARIANT* role) override;
  STDMETHODIMP get_accState(VARIANT childId, VARIANT* state) override;
  STDMETHODIMP get_accHelp(VARIANT childId, BSTR* help) override;
  STDMETHODIMP get_accHelpTopic(BSTR* helpFile, VARIANT childId, long* topic) override;
  STDMETHODIMP get_accKeyboardShortcut(VARIANT childId, BSTR* shortcut) override;
  STDMETHODIMP get_accFocus(VARIANT* child) override;
  STDMETHODIMP get_accSelection(VARIANT* children) override;
  STDMETHODIMP get_accDefaultAction(VARIANT childId, BSTR* action) override;
  STDMETHODIMP accSelect(long flags, VARIANT childId) override;
  STDMETHODIMP accLocation(long* left, long* top, long* width, long* height, VARIANT childId) override;
  STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override;
  STDMETHODIMP accHitTest(long x, long y, VARIANT* child) override;
  STDMETHODIMP accDoDefaultAction(VARIANT childId) override;
  STDMETHODIMP put_accName(VARIANT childId, BSTR name) override;
  STDMETHODIMP put_accValue(VARIANT childId, BSTR value) override;

  // IOleWindow
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL enterMode) override;

protected:
  HRESULT QueryOther(REFIID riid, void** object) override;
  // True while a call about the object itself (child id 0) runs.
  bool AskingAboutSelf() const { return FAskingAboutSelf; }

private:
  // Checks a child id: 0 is the object itself; 1..count a simple element.
  HRESULT CheckChildId(const VARIANT& childId, int& index);
  // Runs `body` with the checked child index; the owner gone answers S_OK.
  template <class F>
  HRESULT ChildCall(const VARIANT& childId, F&& body);
  // Runs `body` guarded; the owner gone answers S_OK.
  template <class F>
  HRESULT Call(F&& body);
  bool HasFeature(int child, int feature) { return (SupportedFeatures(child) & feature) != 0; }
  // A child id for a client: the child's IDispatch when it is an object.
  void ChildIdToVariant(int id, VARIANT* out);

  TObject* FOwnerObject;  // not owned
  bool FOwnerAlive = true;
  bool FAskingAboutSelf = false;
};

// The entries bound from "oleacc.dll" at unit start (null without it).
using TAccessibleObjectFromWindowProc = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
using TLresultFromObjectProc = LRESULT(WINAPI*)(REFIID, WPARAM, IUnknown*);
extern TAccessibleObjectFromWindowProc cxAccessibleObjectFromWindow;
extern TLresultFromObjectProc cxLresultFromObject;

// Start-up and shut-down of the accessibility unit (see foundation/FoundationUnits.h).
void cxAccessibilityInit();
void cxAccessibilityDone();

__CRT_UUID_DECL(IcxAccessibilityHelper, 0x4C1D5E92, 0x7A3B, 0x4F60, 0x9D, 0x28, 0x61, 0xE4, 0x0B, 0x97, 0x3C, 0x55)
