// The accessibility helper as a client sees it: child ids checked, the
// features that gate each request, navigation (first and last child, from a
// child, from the object through its parent), the owner gone, questions a
// helper does not answer, and the parent-window fallback through oleacc.
#include "foundation/Accessibility.h"
#include "foundation/FoundationUnits.h"
#include "platform/ShortCuts.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

class AccessibilityUnit : public ::testing::Environment {
public:
  void SetUp() override { InitializeUnits({cxAccessibilityUnit}); }
  void TearDown() override { FinalizeUnits(); }
};
const auto* const unitEnvironment = ::testing::AddGlobalTestEnvironment(new AccessibilityUnit);

VARIANT Id(long value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

std::string Text(BSTR text) {
  std::string result = text ? Utf16ToAnsi(std::wstring(text, SysStringLen(text))) : std::string();
  SysFreeString(text);
  return result;
}

// A helper whose object has a simple element (id 1) and an object child
// (id 2) with a helper of its own.
class TTestHelper : public TcxAccessibilityHelper {
public:
  using TcxAccessibilityHelper::TcxAccessibilityHelper;
  bool ChildIsSimpleElement(int index) override { return Simple.at(static_cast<size_t>(index)); }
  TcxAccessibilityHelper* ChildAt(int index) override { return Children.at(static_cast<size_t>(index)); }
  int ChildCount() override { return static_cast<int>(Simple.size()); }
  int IndexOfChild(TObject* owner) override {
    for (size_t i = 0; i < Children.size(); ++i)
      if (Children[i] && Children[i]->OwnerObject() == owner) return static_cast<int>(i);
    return -1;
  }
  AnsiString NameText(int child) override { return AskingAboutSelf() ? "self" : "element " + IntToStr(child); }
  AnsiString ValueText(int child) override { return "value " + IntToStr(child); }
  AnsiString DescriptionText(int) override { return Description; }
  AnsiString DefaultActionText(int) override { return "Press"; }
  void DoDefaultAction(int child) override { Actions.push_back(child); }
  void SetValueText(int, const AnsiString& text) override { Value = text; }
  void KeyboardShortcutText(int, TShortCut& shortcut, AnsiString& text) override {
    shortcut = Shortcut;
    text = Caption;
  }
  int SupportedFeatures(int) override { return Features; }
  int StateOf(int child) override { return child == 0 ? State : 0; }
  int Role(int) override { return ROLE_SYSTEM_PUSHBUTTON; }
  RECT ScreenBounds(int) override { return Bounds; }
  int ChildAtPoint(int x, int, int& index) override {
    index = x < 50 ? 0 : 1;
    return x < 10 ? cxAccHitSelf : cxAccHitChild;
  }
  bool FocusedChildId(bool& has, int& index) override {
    has = Focused >= 0;
    index = Focused;
    return true;
  }
  int NavigateChild(int start, int direction) override {
    if (direction == cxAccNavNext) return std::min(start + 1, ChildCount() - 1);
    if (direction == cxAccNavPrevious) return std::max(start - 1, 0);
    return start;
  }
  HWND OwnerObjectWindow() override { return Window; }
  TcxAccessibilityHelper* ParentHelper() override { return Parent; }

  std::vector<bool> Simple{true, false};
  std::vector<TcxAccessibilityHelper*> Children{nullptr, nullptr};
  int Features = 0;
  int State = 0;
  int Focused = -1;
  AnsiString Description;
  AnsiString Caption;
  AnsiString Value;
  TShortCut Shortcut = 0;
  RECT Bounds{0, 0, 100, 20};
  HWND Window = nullptr;
  TcxAccessibilityHelper* Parent = nullptr;
  std::vector<int> Actions;
};

// A helper that answers only how many children there are and which
// features it has: every other question is the base's.
class TBareHelper : public TcxAccessibilityHelper {
public:
  using TcxAccessibilityHelper::TcxAccessibilityHelper;
  int ChildCount() override { return Count; }
  int SupportedFeatures(int) override { return -1; }
  TcxAccessibilityHelper* ParentHelper() override { return Parent; }
  int Count = 2;
  TcxAccessibilityHelper* Parent = nullptr;
};

struct Fixture {
  TObject Owner, ChildOwner;
  TComPtr<TTestHelper> Helper{new TTestHelper(&Owner)};
  TComPtr<TTestHelper> Child{new TTestHelper(&ChildOwner)};
  Fixture() {
    Helper->Children[1] = Child.Get();
    Child->Parent = Helper.Get();
  }
};

TEST(AccessibilityHelper, ChildIdsAreChecked) {
  Fixture f;
  IAccessible* acc = f.Helper.Get();
  struct Case {
    const char* Name;
    VARIANT Child;
    HRESULT Result;
    std::string Answer;
  };
  VARIANT text;
  VariantInit(&text);
  text.vt = VT_BSTR;
  text.bstrVal = nullptr;
  const Case cases[] = {
      {"the object", Id(CHILDID_SELF), S_OK, "self"},
      {"a simple element", Id(1), S_OK, "element 0"},
      {"an object child", Id(2), E_INVALIDARG, ""},
      {"above the count", Id(3), E_INVALIDARG, ""},
      {"below 0", Id(-1), E_INVALIDARG, ""},
      {"far below 0", Id(-100000), E_INVALIDARG, ""},
      {"not a number", text, E_INVALIDARG, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    BSTR name = nullptr;
    EXPECT_EQ(acc->get_accName(c.Child, &name), c.Result);
    EXPECT_EQ(Text(name), c.Answer);
  }
}

TEST(AccessibilityHelper, ChildrenAreAnsweredByKind) {
  Fixture f;
  IAccessible* acc = f.Helper.Get();
  struct Case {
    const char* Name;
    long Child;
    HRESULT Result;
  };
  for (const Case c : {Case{"child 3 of 2", 3, E_INVALIDARG}, Case{"the object", 0, E_INVALIDARG},
                       Case{"below 0", -2, E_INVALIDARG}, Case{"a simple element", 1, S_FALSE},
                       Case{"an object child", 2, S_OK}}) {
    SCOPED_TRACE(c.Name);
    IDispatch* child = nullptr;
    EXPECT_EQ(acc->get_accChild(Id(c.Child), &child), c.Result);
    EXPECT_EQ(child != nullptr, c.Result == S_OK);
    if (child) {
      TComPtr<IcxAccessibilityHelper> helper;
      ASSERT_EQ(child->QueryInterface(__uuidof(IcxAccessibilityHelper), reinterpret_cast<void**>(helper.Put())),
                S_OK);
      EXPECT_EQ(helper->GetHelper(), f.Child.Get());
      child->Release();
    }
  }
  long count = 0;
  EXPECT_EQ(acc->get_accChildCount(&count), S_OK);
  EXPECT_EQ(count, 2);
}

TEST(AccessibilityHelper, FeaturesGateTheirRequests) {
  Fixture f;
  IAccessible* acc = f.Helper.Get();
  f.Helper->Description = "Opens a file";
  f.Helper->Caption = "&Open";
  struct Request {
    const char* Name;
    int Feature;
    std::function<HRESULT(std::string&)> Call;
    std::string Answer;
  };
  const Request requests[] = {
      {"value", cxAccFeatureValue, [&](std::string& s) { BSTR b = nullptr; HRESULT r = acc->get_accValue(Id(1), &b); s = Text(b); return r; }, "value 0"},
      {"description", cxAccFeatureDescription, [&](std::string& s) { BSTR b = nullptr; HRESULT r = acc->get_accDescription(Id(0), &b); s = Text(b); return r; }, "Opens a file"},
      {"default action", cxAccFeatureDefaultAction, [&](std::string& s) { BSTR b = nullptr; HRESULT r = acc->get_accDefaultAction(Id(1), &b); s = Text(b); return r; }, "Press"},
      {"keyboard shortcut", cxAccFeatureKeyboardShortcut, [&](std::string& s) { BSTR b = nullptr; HRESULT r = acc->get_accKeyboardShortcut(Id(0), &b); s = Text(b); return r; }, "O"},
      {"location", cxAccFeatureChildren, [&](std::string& s) { long l, t, w, h; HRESULT r = acc->accLocation(&l, &t, &w, &h, Id(0)); s = std::to_string(w) + "x" + std::to_string(h); return r; }, "100x20"},
      {"focus", cxAccFeatureFocus, [&](std::string& s) { VARIANT v; HRESULT r = acc->get_accFocus(&v); s = v.vt == VT_I4 ? std::to_string(v.lVal) : ""; return r; }, "0"},
  };
  for (const Request& request : requests) {
    SCOPED_TRACE(request.Name);
    std::string answer;
    f.Helper->Features = 0;
    EXPECT_EQ(request.Call(answer), DISP_E_MEMBERNOTFOUND);
    f.Helper->Features = request.Feature;
    EXPECT_EQ(request.Call(answer), S_OK);
    EXPECT_EQ(answer, request.Answer);
  }
  // Without an accelerator in the caption, the shortcut's own text.
  f.Helper->Features = cxAccFeatureKeyboardShortcut;
  f.Helper->Caption = "Save && close";
  f.Helper->Shortcut = TextToShortCut("Ctrl+S");
  BSTR shortcut = nullptr;
  EXPECT_EQ(acc->get_accKeyboardShortcut(Id(0), &shortcut), S_OK);
  EXPECT_EQ(Text(shortcut), "Ctrl+S");
  f.Helper->Shortcut = 0;
  EXPECT_EQ(acc->get_accKeyboardShortcut(Id(0), &shortcut), S_FALSE);

  f.Helper->Features = cxAccFeatureDefaultAction | cxAccFeatureValue;
  EXPECT_EQ(acc->accDoDefaultAction(Id(1)), S_OK);
  EXPECT_EQ(f.Helper->Actions, (std::vector<int>{0}));
  BSTR value = SysAllocString(L"typed");
  EXPECT_EQ(acc->put_accValue(Id(0), value), S_OK);
  SysFreeString(value);
  EXPECT_EQ(f.Helper->Value, "typed");
  // Requests nobody answers.
  BSTR help = nullptr;
  VARIANT none;
  EXPECT_EQ(acc->get_accHelp(Id(0), &help), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(acc->get_accSelection(&none), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(acc->put_accName(Id(0), nullptr), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(acc->accSelect(SELFLAG_TAKEFOCUS, Id(0)), DISP_E_MEMBERNOTFOUND);
  UINT count = 1;
  EXPECT_EQ(acc->GetTypeInfoCount(&count), E_NOTIMPL);
  EXPECT_EQ(acc->Invoke(0, IID_NULL, 0, 0, nullptr, nullptr, nullptr, nullptr), E_NOTIMPL);
}

TEST(AccessibilityHelper, FocusHitTestingAndStatesNameTheChildren) {
  Fixture f;
  IAccessible* acc = f.Helper.Get();
  f.Helper->Features = cxAccFeatureFocus | cxAccFeatureChildren;
  VARIANT v;
  f.Helper->Focused = 1;
  EXPECT_EQ(acc->get_accFocus(&v), S_OK);
  ASSERT_EQ(v.vt, VT_DISPATCH) << "an object child is handed out as its own accessible object";
  v.pdispVal->Release();
  f.Helper->Focused = 0;
  EXPECT_EQ(acc->get_accFocus(&v), S_OK);
  EXPECT_EQ(v.vt, VT_I4);
  EXPECT_EQ(v.lVal, 1);
  struct Case {
    long X;
    HRESULT Result;
    VARTYPE Type;
    long Id;
  };
  for (const Case c : {Case{5, S_OK, VT_I4, CHILDID_SELF}, Case{20, S_OK, VT_I4, 1}, Case{60, S_OK, VT_DISPATCH, 0},
                       Case{150, S_FALSE, VT_EMPTY, 0}}) {
    SCOPED_TRACE(c.X);
    EXPECT_EQ(acc->accHitTest(c.X, 10, &v), c.Result);
    EXPECT_EQ(v.vt, c.Type);
    if (v.vt == VT_I4) {
      EXPECT_EQ(v.lVal, c.Id);
    }
    VariantClear(&v);
  }
  f.Helper->State = STATE_SYSTEM_INVISIBLE;
  EXPECT_FALSE(f.Helper->IsVisibleToClients());
  EXPECT_EQ(acc->get_accState(Id(0), &v), S_OK);
  EXPECT_EQ(v.lVal, STATE_SYSTEM_INVISIBLE);
  f.Helper->State = 0;
  EXPECT_TRUE(f.Helper->IsVisibleToClients());
  EXPECT_EQ(acc->get_accRole(Id(1), &v), S_OK);
  EXPECT_EQ(v.lVal, ROLE_SYSTEM_PUSHBUTTON);
  EXPECT_FALSE(f.Helper->IsSelectable());
  EXPECT_FALSE(f.Helper->IsShowing());
  EXPECT_EQ(f.Child->RootHelper(), f.Helper.Get());
  EXPECT_EQ(f.Helper->RootHelper(), f.Helper.Get());
}

TEST(AccessibilityHelper, Navigation) {
  Fixture f;
  IAccessible* acc = f.Helper.Get();
  VARIANT end;
  // First and last child.
  EXPECT_EQ(acc->accNavigate(NAVDIR_FIRSTCHILD, Id(0), &end), DISP_E_MEMBERNOTFOUND);
  f.Helper->Features = cxAccFeatureChildren;
  EXPECT_EQ(acc->accNavigate(NAVDIR_FIRSTCHILD, Id(0), &end), S_OK);
  EXPECT_EQ(end.vt, VT_I4);
  EXPECT_EQ(end.lVal, 1);
  EXPECT_EQ(acc->accNavigate(NAVDIR_LASTCHILD, Id(0), &end), S_OK);
  EXPECT_EQ(end.vt, VT_DISPATCH);
  VariantClear(&end);
  EXPECT_EQ(acc->accNavigate(NAVDIR_FIRSTCHILD, Id(1), &end), E_INVALIDARG);
  f.Child->Simple.clear();
  f.Child->Children.clear();
  f.Child->Features = cxAccFeatureChildren;
  EXPECT_EQ(f.Child->accNavigate(NAVDIR_FIRSTCHILD, Id(0), &end), S_FALSE) << "no children";
  // From a child.
  EXPECT_EQ(acc->accNavigate(NAVDIR_NEXT, Id(1), &end), S_OK);
  EXPECT_EQ(end.vt, VT_DISPATCH);
  VariantClear(&end);
  EXPECT_EQ(acc->accNavigate(NAVDIR_PREVIOUS, Id(1), &end), S_FALSE) << "the same child";
  EXPECT_EQ(acc->accNavigate(NAVDIR_NEXT, Id(3), &end), E_INVALIDARG);
  EXPECT_EQ(acc->accNavigate(NAVDIR_NEXT, Id(-1), &end), E_INVALIDARG);
  // From the object itself: its parent navigates from the object's place.
  EXPECT_EQ(f.Child->accNavigate(NAVDIR_PREVIOUS, Id(0), &end), S_OK);
  EXPECT_EQ(end.vt, VT_I4);
  EXPECT_EQ(end.lVal, 1);
  EXPECT_EQ(f.Child->accNavigate(NAVDIR_NEXT, Id(0), &end), S_FALSE) << "nothing after the last";
  f.Helper->Features = 0;
  EXPECT_EQ(f.Child->accNavigate(NAVDIR_PREVIOUS, Id(0), &end), S_FALSE) << "a parent without children";
  f.Helper->Features = cxAccFeatureChildren;
  f.Helper->MarkOwnerGone();
  EXPECT_EQ(f.Child->accNavigate(NAVDIR_PREVIOUS, Id(0), &end), S_OK) << "a parent whose owner is gone";
  EXPECT_EQ(f.Helper->accNavigate(NAVDIR_PREVIOUS, Id(0), &end), S_OK);
  EXPECT_EQ(f.Helper->accNavigate(NAVDIR_PREVIOUS, Id(0), &end), S_OK);
  TComPtr<TTestHelper> orphan(new TTestHelper(&f.Owner));
  EXPECT_EQ(orphan->accNavigate(NAVDIR_NEXT, Id(0), &end), S_FALSE) << "no parent";
}

TEST(AccessibilityHelper, AHelperWhoseOwnerIsGoneAnswersOkWithNothing) {
  Fixture f;
  f.Helper->Features = -1;
  TComPtr<IcxAccessibilityHelper> helper = f.Helper.As<IcxAccessibilityHelper>();
  ASSERT_TRUE(helper);
  helper->OwnerObjectDestroyed();
  EXPECT_FALSE(f.Helper->OwnerAlive());
  IAccessible* acc = f.Helper.Get();
  BSTR text = nullptr;
  VARIANT v;
  IDispatch* dispatch = nullptr;
  long l = 1, t = 1, w = 1, h = 1, count = 1;
  HWND window = HWND(1);
  const std::pair<const char*, std::function<HRESULT()>> calls[] = {
      {"name", [&] { return acc->get_accName(Id(5), &text); }},
      {"value", [&] { return acc->get_accValue(Id(-3), &text); }},
      {"description", [&] { return acc->get_accDescription(Id(1), &text); }},
      {"role", [&] { return acc->get_accRole(Id(1), &v); }},
      {"state", [&] { return acc->get_accState(Id(1), &v); }},
      {"shortcut", [&] { return acc->get_accKeyboardShortcut(Id(1), &text); }},
      {"default action", [&] { return acc->get_accDefaultAction(Id(1), &text); }},
      {"do default action", [&] { return acc->accDoDefaultAction(Id(1)); }},
      {"child", [&] { return acc->get_accChild(Id(9), &dispatch); }},
      {"child count", [&] { return acc->get_accChildCount(&count); }},
      {"parent", [&] { return acc->get_accParent(&dispatch); }},
      {"focus", [&] { return acc->get_accFocus(&v); }},
      {"location", [&] { return acc->accLocation(&l, &t, &w, &h, Id(1)); }},
      {"navigate", [&] { return acc->accNavigate(NAVDIR_NEXT, Id(1), &v); }},
      {"hit test", [&] { return acc->accHitTest(1, 1, &v); }},
      {"value set", [&] { return acc->put_accValue(Id(1), nullptr); }},
      {"window", [&] { return f.Helper->GetWindow(&window); }},
  };
  for (const auto& [name, call] : calls) {
    SCOPED_TRACE(name);
    EXPECT_EQ(call(), S_OK);
  }
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(dispatch, nullptr);
  EXPECT_EQ(count, 0);
  EXPECT_EQ(w, 0);
  EXPECT_EQ(window, nullptr);
  EXPECT_TRUE(f.Helper->Actions.empty());
}

TEST(AccessibilityHelper, QuestionsNobodyAnsweredFailWithoutEscaping) {
  TObject owner, parentOwner;
  TComPtr<TBareHelper> bare(new TBareHelper(&owner));
  TComPtr<TBareHelper> parent(new TBareHelper(&parentOwner));
  VARIANT end;
  BSTR text = nullptr;
  struct Case {
    const char* Name;
    std::function<HRESULT()> Call;
  };
  const Case cases[] = {
      {"simple element", [&] { return bare->get_accName(Id(1), &text); }},
      {"child kind", [&] { IDispatch* d = nullptr; return bare->get_accChild(Id(2), &d); }},
      {"value", [&] { return bare->get_accValue(Id(0), &text); }},
      {"navigation", [&] { return bare->accNavigate(NAVDIR_NEXT, Id(2), &end); }},
      {"place in the parent", [&] { bare->Parent = parent.Get(); return bare->accNavigate(NAVDIR_NEXT, Id(0), &end); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(c.Call(), E_FAIL);
  }
  bare->Count = 0;
  EXPECT_EQ(bare->get_accName(Id(1), &text), E_INVALIDARG);
  EXPECT_EQ(bare->get_accName(Id(0), &text), S_FALSE) << "the object itself, no name";
}

TEST(AccessibilityHelper, TheParentOfAWindowedOwnerComesFromItsWindow) {
  ASSERT_NE(cxAccessibleObjectFromWindow, nullptr);
  HWND top = CreateWindowExA(0, "STATIC", "frame", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr, nullptr,
                             nullptr);
  HWND child = CreateWindowExA(0, "STATIC", "item", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, top, nullptr, nullptr,
                               nullptr);
  ASSERT_TRUE(top && child);
  Fixture f;
  IDispatch* parent = nullptr;
  EXPECT_EQ(f.Helper->get_accParent(&parent), S_FALSE) << "no window, no parent helper";
  for (HWND window : {child, top}) {
    f.Helper->Window = window;
    EXPECT_EQ(f.Helper->get_accParent(&parent), S_OK);
    ASSERT_NE(parent, nullptr);
    parent->Release();
    parent = nullptr;
    HWND answered = nullptr;
    EXPECT_EQ(f.Helper->GetWindow(&answered), S_OK);
    EXPECT_EQ(answered, window);
  }
  EXPECT_EQ(f.Child->get_accParent(&parent), S_OK) << "the parent helper";
  ASSERT_NE(parent, nullptr);
  TComPtr<IcxAccessibilityHelper> helper;
  ASSERT_EQ(parent->QueryInterface(__uuidof(IcxAccessibilityHelper), reinterpret_cast<void**>(helper.Put())), S_OK);
  EXPECT_EQ(helper->GetHelper(), f.Helper.Get());
  parent->Release();
  TComPtr<IOleWindow> oleWindow = f.Helper.As<IOleWindow>();
  ASSERT_TRUE(oleWindow);
  EXPECT_EQ(oleWindow->ContextSensitiveHelp(TRUE), S_OK);
  DestroyWindow(top);
}

}  // namespace
