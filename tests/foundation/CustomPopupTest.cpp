// The editors' drop-down window and the container unit's hooks, with real
// windows and real input: what a capturing popup keeps from the menus,
// which clicks close which popups, what deactivating the application and
// hiding an owner do, what Alt combinations reach the form beside a popup
// that does not capture; the unit's open list, swallowing and helpers.
#include "foundation/CustomPopup.h"
#include "foundation/InnerListBox.h"
#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"
#include "platform/ThreadHook.h"
#include "tests/foundation/LookAndFeelFixture.h"

#include <string>
#include <vector>

using namespace lookandfeel_test;
using namespace testing_support;

namespace {

class CustomPopupTest : public ::testing::Test {
protected:
  void SetUp() override { StartContainerUnits(); }
  void TearDown() override {
    if (GetCapture()) ReleaseCapture();
    FinalizeUnits();
  }

  // A form at (100, 100) with an edit, shown and active.
  TForm* MakeForm(TEdit*& edit, int left = 100, int top = 100) {
    TForm* form = New<TForm>(nullptr);
    form->SetBounds(left, top, 420, 300);
    edit = New<TEdit>(form);
    edit->SetParent(form);
    edit->SetBounds(20, 20, 160, 22);
    form->Show();
    SetForegroundWindow(form->Handle());
    EXPECT_TRUE(RunMessagesUntil([&] { return GetActiveWindow() == form->Handle(); }));
    RunMessagesUntilIdle();
    return form;
  }
  // A popup of 160 x 100 that opens below `owner`.
  TcxCustomPopupWindow* MakePopup(TControl* owner, bool capture, bool modalLoop = false) {
    auto* popup = TcxCustomPopupWindow::CreateForOwnerControl(owner);
    popup->ChangeCaptureFocus(capture);
    popup->SetModalLoop(modalLoop);
    popup->SetBounds(0, 0, 160, 100);
    popup->SetOwnerBounds(owner->BoundsRect());
    popup->SetColor(clInfoBk);
    return popup;
  }
};

// Every message of a control's window that reaches its handling.
struct TMessageLog {
  explicit TMessageLog(TWinControl* control) : FControl(control), FInherited(control->WindowProc) {
    control->WindowProc = TWndMethod::Lambda([this](TMessage& m) {
      Messages.push_back({m.Msg, m.WParam});
      FInherited(m);
    });
  }
  // A control freed first keeps nothing to restore.
  ~TMessageLog() {
    if (FControl) FControl->WindowProc = FInherited;
  }
  int Count(UINT msg, WPARAM wp) const {
    int n = 0;
    for (const auto& m : Messages) n += m.first == msg && m.second == wp;
    return n;
  }
  int Count(UINT msg) const {
    int n = 0;
    for (const auto& m : Messages) n += m.first == msg;
    return n;
  }
  std::vector<std::pair<UINT, WPARAM>> Messages;

private:
  TWeakLink<TWinControl> FControl;
  TWndMethod FInherited;
};

void AltWith(WORD vk) {
  SendKey(VK_MENU);
  SendKey(vk);
  SendKey(vk, true);
  SendKey(VK_MENU, true);
}

TEST_F(CustomPopupTest, TheUnitStartsWithItsHooksAndAnEmptyList) {
  EXPECT_TRUE(PopupHooksInstalled());
  EXPECT_EQ(OpenPopupCount(), 0);
  EXPECT_EQ(TThreadHook::SystemHookCount(hkCallWndProc), 1);
  EXPECT_EQ(TThreadHook::SystemHookCount(hkGetMessage), 1);
  EXPECT_EQ(TThreadHook::SystemHookCount(hkMouse), 1);
  EXPECT_THROW(InstallPopupHooks(), EAssertionFailed) << "installed twice";
  FinalizeUnits();
  EXPECT_EQ(TThreadHook::SystemHookCount(hkCallWndProc), 0);
  EXPECT_EQ(TThreadHook::SystemHookCount(hkMouse), 0);
  StartContainerUnits();
}

TEST_F(CustomPopupTest, TheOpenListRefusesNullAndTwins) {
  TEdit* edit = nullptr;
  TForm* form = MakeForm(edit);
  TcxCustomPopupWindow* popup = MakePopup(edit, false);
  EXPECT_THROW(AddOpenPopup(nullptr), EAssertionFailed);
  EXPECT_THROW(RemoveOpenPopup(popup), EAssertionFailed) << "not listed";
  AddOpenPopup(popup);
  EXPECT_TRUE(IsPopupOpen(popup));
  EXPECT_THROW(AddOpenPopup(popup), EAssertionFailed) << "listed twice";
  RemoveOpenPopup(popup);
  EXPECT_FALSE(IsPopupOpen(popup));
  // A popup freed while open leaves the list.
  popup->ShowPopupFor(nullptr);
  EXPECT_EQ(OpenPopupCount(), 1);
  Free(popup);
  EXPECT_EQ(OpenPopupCount(), 0);
  Free(form);
}

// Alt+Enter, Alt+Space and Alt alone never reach the system menu while a
// capturing popup runs its loop; Esc while the popup holds the mouse
// capture only releases the capture, Esc without it reaches the key event.
TEST_F(CustomPopupTest, ACapturingPopupKeepsAltKeysFromTheSystemMenuAndEscFromTheCapture) {
  TEdit* edit = nullptr;
  TForm* form = MakeForm(edit);
  TcxCustomPopupWindow* popup = MakePopup(edit, true, true);
  TMessageLog formLog(form);
  std::vector<WORD> keyEvents;
  HWND captureAtEscUp = reinterpret_cast<HWND>(1);
  bool openAtEscUp = false;
  int phase = 0;
  popup->OnKeyDown = TKeyEvent::Lambda([&](TObject*, WORD& key, TShiftState) {
    keyEvents.push_back(key);
    if (key == VK_F8) popup->SetModalResult(mrOk);
  });
  popup->OnKeyUp = TKeyEvent::Lambda([&](TObject*, WORD& key, TShiftState) {
    if (key != VK_ESCAPE || phase != 0) return;
    captureAtEscUp = GetCapture();
    openAtEscUp = popup->IsOpen();
  });
  std::unique_ptr<TMessageLog> popupLog;
  popup->OnShown = TNotifyEvent::Lambda([&](TObject*) {
    popupLog = std::make_unique<TMessageLog>(popup);
    EXPECT_EQ(GetFocus(), popup->Handle()) << "a capturing popup takes the focus";
    AltWith(VK_RETURN);
    AltWith(VK_SPACE);
    AltWith(VK_MENU);
    SetCapture(popup->Handle());
    SendKey(VK_ESCAPE);
    SendKey(VK_ESCAPE, true);
    SendKey(VK_F8);
    SendKey(VK_F8, true);
  });
  popup->ShowPopupFor(nullptr);  // runs until F8 closes it
  EXPECT_FALSE(popup->IsOpen());
  EXPECT_EQ(popupLog->Count(WM_SYSKEYDOWN), 0);
  EXPECT_EQ(popupLog->Count(WM_SYSCOMMAND) + formLog.Count(WM_SYSCOMMAND), 0) << "no system menu";
  EXPECT_EQ(popupLog->Count(WM_ENTERMENULOOP) + formLog.Count(WM_ENTERMENULOOP), 0);
  EXPECT_EQ(keyEvents, std::vector<WORD>{VK_F8}) << "Esc with the capture went no further";
  EXPECT_EQ(captureAtEscUp, nullptr) << "Esc released the capture";
  EXPECT_TRUE(openAtEscUp) << "and left the popup open";
  popupLog.reset();

  // Without the capture Esc reaches the key event.
  phase = 1;
  keyEvents.clear();
  popup->OnShown = TNotifyEvent::Lambda([&](TObject*) {
    SendKey(VK_ESCAPE);
    SendKey(VK_ESCAPE, true);
    SendKey(VK_F8);
    SendKey(VK_F8, true);
  });
  popup->ShowPopupFor(nullptr);
  EXPECT_EQ(keyEvents, (std::vector<WORD>{VK_ESCAPE, VK_F8}));
  Free(popup);
  Free(form);
}

// Opening a popup from inside another and clicking into the first closes
// only the second.
TEST_F(CustomPopupTest, AClickInTheFirstOfTwoNestedPopupsClosesTheSecond) {
  TEdit* edit = nullptr;
  TForm* form = MakeForm(edit);
  TcxCustomPopupWindow* first = MakePopup(edit, false);
  first->SetBounds(0, 0, 300, 200);
  auto* inner = New<TEdit>(first);
  inner->SetParent(first);
  inner->SetBounds(10, 10, 100, 22);
  first->ShowPopupFor(nullptr);
  TcxCustomPopupWindow* second = MakePopup(inner, false);
  second->SetBounds(0, 0, 80, 40);
  second->ShowPopupFor(nullptr);
  ASSERT_EQ(OpenPopupCount(), 2);
  RunMessagesUntilIdle();
  RECT r;
  GetWindowRect(first->Handle(), &r);
  SendClick(r.right - 20, r.bottom - 20);  // inside the first, away from the second
  EXPECT_TRUE(RunMessagesUntil([&] { return !second->IsOpen(); }));
  EXPECT_TRUE(first->IsOpen());
  Free(second);
  Free(first);
  Free(form);
}

// The application's deactivation closes every popup but the active
// capturing one; that one closes as its form loses the activation. Under
// Wine the form's deactivation comes first when another program's window
// is activated, so then all close; the owner's caption is drawn inactive.
TEST_F(CustomPopupTest, DeactivatingTheApplicationClosesThePopupsAndGreysTheOwnersCaption) {
  TEdit* edit = nullptr;
  TForm* form = MakeForm(edit);
  auto* edit2 = New<TEdit>(form);
  edit2->SetParent(form);
  edit2->SetBounds(200, 20, 160, 22);
  TcxCustomPopupWindow* toolPopup = MakePopup(edit2, false);
  TcxCustomPopupWindow* capturing = MakePopup(edit, true, false);
  auto open = [&] {
    toolPopup->ShowPopupFor(nullptr);
    capturing->ShowPopupFor(nullptr);
    ASSERT_TRUE(RunMessagesUntil([&] { return GetActiveWindow() == capturing->Handle(); }));
    RunMessagesUntilIdle();
  };
  // The deactivation alone (the hook's rule).
  open();
  SendMessageA(form->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  EXPECT_FALSE(toolPopup->IsOpen());
  EXPECT_TRUE(capturing->IsOpen()) << "the active capturing popup stays";
  capturing->ClosePopup();
  RunMessagesUntilIdle();

  // Another program's window activated.
  open();
  TMessageLog formLog(form);
  const std::string title = "Mevra sibling " + std::to_string(GetCurrentProcessId());
  std::string command = "\"" + SiblingProgram("foundation_sibling_window.exe") + "\" " + title;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  HWND sibling = nullptr;
  EXPECT_TRUE(RunMessagesUntil([&] {
    sibling = FindWindowA("MevraSiblingWindow", title.c_str());
    return sibling && GetForegroundWindow() == sibling && OpenPopupCount() == 0;
  }, 10000)) << "sibling " << (sibling != nullptr) << " foreground " << (GetForegroundWindow() == sibling)
             << " open " << OpenPopupCount() << " capturing " << capturing->IsOpen();
  EXPECT_TRUE(RunMessagesUntil([&] { return formLog.Count(WM_ACTIVATEAPP, FALSE) > 0; }));
  RunMessagesUntilIdle();
  // The last caption state the form was told is inactive.
  int last = -1;
  for (const auto& m : formLog.Messages)
    if (m.first == WM_NCACTIVATE) last = static_cast<int>(m.second);
  EXPECT_EQ(last, 0);
  if (sibling) PostMessageA(sibling, WM_CLOSE, 0, 0);
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  Free(capturing);
  Free(toolPopup);
  Free(form);
}

// Hiding an owner closes its popup and every popup opened after it.
TEST_F(CustomPopupTest, HidingTheOwnerClosesItsPopupAndLaterOnes) {
  TEdit* edits[4] = {};
  TForm* form = MakeForm(edits[0]);
  for (int i = 1; i < 4; ++i) {
    edits[i] = New<TEdit>(form);
    edits[i]->SetParent(form);
    edits[i]->SetBounds(20, 20 + 40 * i, 160, 22);
  }
  TcxCustomPopupWindow* popups[4];
  for (int i = 0; i < 4; ++i) {
    popups[i] = MakePopup(edits[i], false);
    popups[i]->ShowPopupFor(nullptr);
  }
  ASSERT_EQ(OpenPopupCount(), 4);
  std::vector<int> closedOrder;
  for (int i = 0; i < 4; ++i)
    popups[i]->OnClosed = TcxPopupCloseEvent::Lambda([&, i](TcxCustomPopupWindow*, int) { closedOrder.push_back(i); });
  edits[1]->Hide();
  EXPECT_EQ(closedOrder, (std::vector<int>{3, 2, 1})) << "the last opened first";
  EXPECT_TRUE(popups[0]->IsOpen());
  for (TcxCustomPopupWindow* p : popups) Free(p);
  Free(form);
}

// A click on the owner form's caption closes the popup and still reaches
// the form.
TEST_F(CustomPopupTest, AClickOnTheOwnersCaptionClosesThePopupAndReachesTheForm) {
  for (const bool capture : {true, false}) {
    SCOPED_TRACE(capture ? "capturing" : "not capturing");
    TEdit* edit = nullptr;
    TForm* form = MakeForm(edit);
    TcxCustomPopupWindow* popup = MakePopup(edit, capture, false);
    popup->ShowPopupFor(nullptr);
    RunMessagesUntilIdle();
    ASSERT_TRUE(popup->IsOpen());
    TMessageLog formLog(form);
    RECT w, c;
    GetWindowRect(form->Handle(), &w);
    POINT origin{0, 0};
    ClientToScreen(form->Handle(), &origin);
    GetClientRect(form->Handle(), &c);
    const int captionY = (w.top + origin.y) / 2;
    ASSERT_GT(origin.y - w.top, 4) << "the form has a caption";
    SendClick(w.left + 150, captionY);
    EXPECT_TRUE(RunMessagesUntil([&] { return formLog.Count(WM_NCLBUTTONDOWN) > 0; }));
    EXPECT_FALSE(popup->IsOpen());
    EXPECT_FALSE(popup->ClosedByOwnerClick());
    Free(popup);
    Free(form);
  }
}

// Beside a popup that does not capture, Alt+arrows and Alt+F4 reach the
// form and Alt+letter does not.
TEST_F(CustomPopupTest, BesideANonCapturingPopupAltArrowsAndAltF4WorkAndAltLettersDoNot) {
  TEdit* edit = nullptr;
  TForm* form = MakeForm(edit);
  edit->SetFocus();
  RunMessagesUntilIdle();
  TcxCustomPopupWindow* popup = MakePopup(edit, false);
  popup->ShowPopupFor(nullptr);
  RunMessagesUntilIdle();
  ASSERT_EQ(GetFocus(), edit->Handle()) << "the focus stays where it was";
  int closeQueries = 0;
  form->OnCloseQuery = TCloseQueryEvent::Lambda([&](TObject*, bool& canClose) {
    ++closeQueries;
    canClose = false;
  });
  TMessageLog editLog(edit);
  AltWith(VK_DOWN);
  AltWith('X');
  AltWith(VK_UP);
  AltWith(VK_F4);
  EXPECT_TRUE(RunMessagesUntil([&] { return closeQueries == 1; })) << "Alt+F4 asked the form to close";
  RunMessagesUntilIdle();
  EXPECT_EQ(editLog.Count(WM_SYSKEYDOWN, VK_DOWN), 1);
  EXPECT_EQ(editLog.Count(WM_SYSKEYDOWN, VK_UP), 1);
  EXPECT_EQ(editLog.Count(WM_SYSKEYDOWN, 'X'), 0) << "Alt+letter turned into nothing";
  EXPECT_FALSE(popup->IsOpen()) << "closing the owner's form closed the popup";
  Free(popup);
  Free(form);
}

// A non-capturing popup is a tool window made as a child and moved to the
// desktop; a capturing one is a popup owned by its owner's form.
TEST_F(CustomPopupTest, WindowKinds) {
  TEdit* edit = nullptr;
  TForm* form = MakeForm(edit);
  TcxCustomPopupWindow* tool = MakePopup(edit, false);
  tool->ShowPopupFor(nullptr);
  EXPECT_NE(GetWindowLongA(tool->Handle(), GWL_STYLE) & WS_CHILD, 0);
  EXPECT_NE(GetWindowLongA(tool->Handle(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
  EXPECT_EQ(GetParent(tool->Handle()), GetDesktopWindow());
  EXPECT_NE(GetWindowLongA(tool->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
  TcxCustomPopupWindow* capturing = MakePopup(edit, true);
  capturing->ShowPopupFor(nullptr);
  EXPECT_NE(GetWindowLongA(capturing->Handle(), GWL_STYLE) & WS_POPUP, 0);
  EXPECT_EQ(GetWindow(capturing->Handle(), GW_OWNER), form->Handle());
  // Placed below the owner.
  RECT e, p;
  GetWindowRect(edit->Handle(), &e);
  GetWindowRect(capturing->Handle(), &p);
  EXPECT_EQ(p.left, e.left);
  EXPECT_EQ(p.top, e.bottom);
  // The form that opened it keeps its caption active.
  EXPECT_EQ(GetActiveWindow(), capturing->Handle());
  Free(capturing);
  Free(tool);
  Free(form);
}

TEST_F(CustomPopupTest, PostedCloseRequestClosesAndFocusesTheOwner) {
  TEdit* edit = nullptr;
  TForm* form = MakeForm(edit);
  TcxCustomPopupWindow* popup = MakePopup(edit, true, false);
  popup->ShowPopupFor(nullptr);
  ASSERT_TRUE(popup->IsOpen());
  TMessageLog editLog(edit);
  PostPopupCloseRequest(popup);
  EXPECT_TRUE(RunMessagesUntil([&] { return !popup->IsOpen(); }));
  EXPECT_GE(editLog.Count(WM_SETFOCUS), 1);
  // A posted show request opens it again for its focus control.
  PostMessageA(popup->Handle(), CM_POPUPSHOW, 0, 0);
  EXPECT_TRUE(RunMessagesUntil([&] { return popup->IsOpen(); }));
  popup->ClosePopup();
  Free(popup);
  Free(form);
}

TEST_F(CustomPopupTest, SwallowingTakesOneMessageAndPutsTheProcedureBack) {
  int seen = 0;
  TestWindow window(100, 80, [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
    seen += msg == WM_APP + 7;
    return false;
  });
  const LONG_PTR proc = GetWindowLongPtrA(window.Handle(), GWLP_WNDPROC);
  SwallowNextMessage(window.Handle());
  EXPECT_TRUE(SwallowPending());
  EXPECT_EQ(SendMessageA(window.Handle(), WM_APP + 7, 0, 0), 1);
  EXPECT_EQ(seen, 0);
  EXPECT_FALSE(SwallowPending());
  EXPECT_EQ(GetWindowLongPtrA(window.Handle(), GWLP_WNDPROC), proc);
  SendMessageA(window.Handle(), WM_APP + 7, 0, 0);
  EXPECT_EQ(seen, 1);
  // A second request before delivery takes the first one's place; both
  // windows keep their own procedures.
  TestWindow other(100, 80);
  const LONG_PTR otherProc = GetWindowLongPtrA(other.Handle(), GWLP_WNDPROC);
  SwallowNextMessage(window.Handle());
  SwallowNextMessage(other.Handle());
  EXPECT_EQ(GetWindowLongPtrA(window.Handle(), GWLP_WNDPROC), proc);
  SendMessageA(window.Handle(), WM_APP + 7, 0, 0);
  EXPECT_EQ(seen, 2);
  SendMessageA(other.Handle(), WM_APP + 7, 0, 0);
  EXPECT_EQ(GetWindowLongPtrA(other.Handle(), GWLP_WNDPROC), otherProc);
}

// CM_ACTIVATE and CM_DEACTIVATE are swallowed while a popup closes.
TEST_F(CustomPopupTest, ActivationNoticesAreSwallowedWhileClosing) {
  TEdit* edit = nullptr;
  TForm* form = MakeForm(edit);
  int activations = 0;
  form->OnActivate = TNotifyEvent::Lambda([&](TObject*) { ++activations; });
  AdjustClosingCounter(true);
  SendMessageA(form->Handle(), CM_ACTIVATE, 0, 0);
  AdjustClosingCounter(false);
  EXPECT_EQ(activations, 0);
  SendMessageA(form->Handle(), CM_ACTIVATE, 0, 0);
  EXPECT_EQ(activations, 1);
  Free(form);
}

// Clicks of the MDI family, with a plain MDI frame of the system's own.
TEST_F(CustomPopupTest, TheMDIFamilyFromWindowRelationsAlone) {
  WNDCLASSA cls{};
  cls.lpfnWndProc = [](HWND wnd, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
    return DefFrameProcA(wnd, GetWindow(wnd, GW_CHILD), msg, wp, lp);
  };
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.lpszClassName = "MevraPlainMdiFrame";
  RegisterClassA(&cls);
  WNDCLASSA childCls{};
  childCls.lpfnWndProc = DefMDIChildProcA;
  childCls.hInstance = cls.hInstance;
  childCls.lpszClassName = "MevraPlainMdiChild";
  RegisterClassA(&childCls);
  HWND frame = CreateWindowExA(0, cls.lpszClassName, "Frame", WS_OVERLAPPEDWINDOW, 50, 50, 500, 400, nullptr, nullptr,
                               cls.hInstance, nullptr);
  CLIENTCREATESTRUCT ccs{nullptr, 1000};
  HWND client = CreateWindowExA(0, "MDICLIENT", nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 40, 480, 300,
                                frame, nullptr, cls.hInstance, &ccs);
  HWND bar = CreateWindowExA(0, "STATIC", "bar", WS_CHILD | WS_VISIBLE, 0, 0, 480, 40, frame, nullptr, cls.hInstance,
                             nullptr);
  auto makeChild = [&](const char* title) {
    MDICREATESTRUCTA mcs{childCls.lpszClassName, title, cls.hInstance, 0, 0, 200, 150, 0, 0};
    return reinterpret_cast<HWND>(SendMessageA(client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
  };
  HWND a = makeChild("A");
  HWND b = makeChild("B");
  ASSERT_TRUE(a && b);
  HWND inA = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, a, nullptr, cls.hInstance, nullptr);
  HWND inB = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, b, nullptr, cls.hInstance, nullptr);
  TestWindow outside(50, 50);
  const struct {
    const char* Name;
    HWND Wnd;
    bool Expected;
  } cases[] = {
      {"the MDI client", client, true},     {"the frame", frame, true},     {"a bar of the frame", bar, true},
      {"another child", b, true},           {"inside another child", inB, true},
      {"the child itself", a, false},       {"inside the child", inA, false},
      {"a window outside", outside.Handle(), false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsWindowInMDIFamily(a, c.Wnd), c.Expected) << c.Name;
  EXPECT_FALSE(IsWindowInMDIFamily(outside.Handle(), client)) << "not an MDI child";
  DestroyWindow(frame);
  UnregisterClassA(childCls.lpszClassName, cls.hInstance);
  UnregisterClassA(cls.lpszClassName, cls.hInstance);
}

// The same relations with the class library's own MDI forms: a popup owned
// by a control on one child closes for clicks in the frame, its client, its
// panels and the other children, not for clicks in its own child.
TEST_F(CustomPopupTest, TheMDIFamilyOfTheLibrarysMDIForms) {
  TForm* frame = New<TForm>(nullptr);
  frame->SetFormStyle(fsMDIForm);
  frame->SetBounds(40, 40, 560, 400);
  auto* status = New<TPanel>(frame);
  status->SetParent(frame);
  status->SetAlign(alBottom);
  frame->Show();
  auto makeChild = [](const char* caption) {
    TForm* child = New<TForm>(nullptr);
    child->SetFormStyle(fsMDIChild);
    child->SetCaption(caption);
    child->SetBounds(10, 10, 220, 150);
    return child;
  };
  TForm* a = makeChild("A");
  TForm* b = makeChild("B");
  auto* edit = New<TEdit>(a);
  edit->SetParent(a);
  edit->SetBounds(10, 10, 120, 22);
  auto* other = New<TEdit>(b);
  other->SetParent(b);
  other->SetBounds(10, 10, 120, 22);
  a->Show();
  b->Show();
  RunMessagesUntilIdle();
  ASSERT_TRUE(frame->ClientHandle());
  TcxCustomPopupWindow* popup = MakePopup(edit, true);
  ASSERT_EQ(popup->OwnerForm(), a);
  const struct {
    const char* Name;
    HWND Wnd;
    bool Expected;
  } cases[] = {
      {"the MDI client", frame->ClientHandle(), true},
      {"the frame", frame->Handle(), true},
      {"a panel of the frame", status->Handle(), true},
      {"another child", b->Handle(), true},
      {"a control of another child", other->Handle(), true},
      {"the owner's child", a->Handle(), false},
      {"the owner control", edit->Handle(), false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsClickInMDIFamily(popup, c.Wnd), c.Expected) << c.Name;
  Free(popup);
  Free(b);
  Free(a);
  Free(frame);
}

TEST_F(CustomPopupTest, DiscardingPendingMessagesPutsAQuitBack) {
  TestWindow window(100, 80);
  PostMessageA(window.Handle(), WM_CHAR, 'a', 0);
  PostMessageA(window.Handle(), WM_CHAR, 'b', 0);
  EXPECT_TRUE(DiscardPendingMessages(window.Handle(), WM_CHAR, WM_CHAR, false));
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, window.Handle(), WM_CHAR, WM_CHAR, PM_NOREMOVE));
  EXPECT_EQ(msg.wParam, WPARAM('b')) << "one removed";
  EXPECT_TRUE(DiscardPendingMessages(window.Handle(), WM_CHAR, WM_CHAR, true));
  EXPECT_FALSE(PeekMessageA(&msg, window.Handle(), WM_CHAR, WM_CHAR, PM_NOREMOVE));
  PostQuitMessage(7);
  EXPECT_FALSE(DiscardPendingMessages(nullptr, 0, 0, true));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit is back in the queue";
  EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(CustomPopupTest, Helpers) {
  EXPECT_TRUE(StringsEqual("abc", "ABC", false));
  EXPECT_FALSE(StringsEqual("abc", "ABC", true));
  EXPECT_TRUE(StringsEqual("abc", "abc", true));
  EXPECT_FALSE(StringsEqual("abc", "abcd", false));
  TestWindow top(100, 80);
  HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, top.Handle(), nullptr, nullptr, nullptr);
  EXPECT_EQ(NearestTopLevelAncestor(child), top.Handle());
  EXPECT_EQ(NearestTopLevelAncestor(top.Handle()), top.Handle());
  EXPECT_EQ(NearestTopLevelAncestor(nullptr), nullptr);
  std::vector<HWND> disabled;
  DisableAndRememberWindow(disabled, top.Handle());
  DisableAndRememberWindow(disabled, top.Handle());  // already disabled: not listed again
  EXPECT_EQ(disabled.size(), 1u);
  EXPECT_FALSE(IsWindowEnabled(top.Handle()));
  ReenableWindows(&disabled);
  ReenableWindows(nullptr);
  EXPECT_TRUE(IsWindowEnabled(top.Handle()));
  EXPECT_FALSE(GetUnitFlag());
}

// The opaque paints draw what the window prints (no composition under
// Wine: they paint plainly, which the tests call directly).
TEST_F(CustomPopupTest, OpaquePaintsDrawTheClientArea) {
  TestWindow window(120, 80, [](HWND wnd, UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg == WM_PRINTCLIENT) {
      RECT r;
      GetClientRect(wnd, &r);
      HBRUSH brush = CreateSolidBrush(RGB(0, 128, 255));
      FillRect(reinterpret_cast<HDC>(wp), &r, brush);
      DeleteObject(brush);
      result = 0;
      return true;
    }
    if (msg == WM_PAINT) {
      PaintClientOpaque(wnd);
      result = 0;
      return true;
    }
    return false;
  });
  ShowWindow(window.Handle(), SW_SHOW);
  InvalidateRect(window.Handle(), nullptr, TRUE);
  UpdateWindow(window.Handle());
  Image shown = ReadClientPixels(window.Handle());
  EXPECT_EQ(shown.At(60, 40), 0x0080FFu);
  RepaintClientOpaque(window.Handle());
  shown = ReadClientPixels(window.Handle());
  EXPECT_EQ(shown.At(10, 10), 0x0080FFu);
}

}  // namespace

namespace {

// The screenshot: a capturing popup holding an inner list box (its own
// painter scroll bar over the system's) over its owner form, whose caption
// stays drawn active.
TEST_F(CustomPopupTest, Screenshot) {
  TEdit* edit = nullptr;
  TForm* form = MakeForm(edit, 60, 60);
  form->SetCaption("Owner form");
  edit->SetText("Second item");
  TcxCustomPopupWindow* popup = MakePopup(edit, true, false);
  popup->ChangeBorderStyle(pbsSingle);
  auto* list = New<TcxCustomInnerListBox>(popup);
  list->SetParent(popup);
  list->SetBounds(0, 0, 160, 100);
  list->SetAutoComplete(true);
  for (const char* item : {"First item", "Second item", "Third item", "Fourth item", "Fifth item", "Sixth item",
                           "Seventh item", "Eighth item"})
    list->Items()->Add(item);
  list->SetItemIndex(1);
  popup->ShowPopupFor(list);
  ASSERT_TRUE(RunMessagesUntil([&] { return GetActiveWindow() == popup->Handle(); }));
  RunMessagesUntilIdle();
  EXPECT_EQ(GetFocus(), list->Handle());
  EXPECT_TRUE(list->VScrollBar()->Visible());
  EXPECT_EQ(list->VScrollBar()->Parent(), popup);
  RECT f;
  GetWindowRect(form->Handle(), &f);
  HDC screen = GetDC(nullptr);
  const std::string path = SaveArtefact(ReadPixels(screen, f), "foundation-popup");
  ReleaseDC(nullptr, screen);
  EXPECT_FALSE(path.empty());
  popup->ClosePopup();
  Free(popup);
  Free(form);
}

}  // namespace
