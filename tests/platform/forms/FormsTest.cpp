// Forms and the application: close actions, deferred release, modal
// loops, the dialog service, menus, timers and the standard controls that
// live on forms.
#include "platform/Bitmap.h"
#include "platform/ComCtrls.h"
#include "platform/ExtCtrls.h"
#include "platform/HintWindow.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "tests/platform/controls/ControlTestUtil.h"

#include <commctrl.h>
#include <gtest/gtest.h>

namespace {

using namespace testing_support;
using namespace control_tests;

const auto* const kUnansweredDialogsFail = ::testing::AddGlobalTestEnvironment(new UnansweredDialogsFail);

// An owner that clears its reference when its form goes (the client's
// windows that free themselves clear the global that pointed at them).
class FormKeeper : public TComponent {
public:
  using TComponent::TComponent;
  TForm* Kept = nullptr;

protected:
  void Notification(TComponent* component, TOperation operation) override {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == Kept) Kept = nullptr;
  }
};

struct LifeLog {
  std::vector<std::string> Events;
  void Watch(TForm* form, TCloseAction action) {
    form->OnClose = TCloseEvent::Lambda([this, action](TObject*, TCloseAction& a) {
      Events.push_back("close");
      a = action;
    });
    form->OnDestroy = TNotifyEvent::Lambda([this](TObject*) { Events.push_back("destroy"); });
  }
};

TEST(Forms, ReleaseFreesAfterTheHandlerAndFiresNoClose) {
  LifeLog log;
  TForm* form = New<TForm>(nullptr);
  form->SetBounds(40, 40, 200, 150);
  log.Watch(form, caHide);
  auto* button = Place<TButton>(form, 10, 10, 80, 25);
  TWeakLink<TForm> link(form);
  bool aliveAfterRelease = false;
  button->OnClick = TNotifyEvent::Lambda([&](TObject*) {
    form->Release();
    aliveAfterRelease = link.Get() != nullptr;
  });
  form->Show();
  RunMessagesUntilIdle();
  SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(aliveAfterRelease);
  EXPECT_TRUE(link.Get() != nullptr) << "still there until the posted release arrives";
  EXPECT_TRUE(RunMessagesUntil([&] { return link.Get() == nullptr; }, 2000));
  EXPECT_EQ(log.Events, (std::vector<std::string>{"destroy"}));
}

TEST(Forms, CloseActions) {
  struct Case {
    TCloseAction Action;
    bool CanClose;
    bool Visible;
    bool Freed;
  } cases[] = {
      {caHide, true, false, false},
      {caNone, true, true, false},
      {caHide, false, true, false},
      {caMinimize, true, true, false},
      {caFree, true, false, true},
  };
  for (const Case& c : cases) {
    LifeLog log;  // outlives the form, whose handlers write to it
    FormKeeper keeper(nullptr);
    keeper.Kept = New<TForm>(&keeper);
    TForm* form = keeper.Kept;
    form->SetBounds(40, 40, 200, 150);
    log.Watch(form, c.Action);
    form->OnCloseQuery = TCloseQueryEvent::Lambda([&](TObject*, bool& can) { can = c.CanClose; });
    form->Show();
    RunMessagesUntilIdle();
    PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
    RunMessagesUntilIdle();
    const int index = static_cast<int>(&c - cases);
    if (c.Freed) {
      EXPECT_EQ(keeper.Kept, nullptr) << index;
      EXPECT_EQ(keeper.ComponentCount(), 0) << index;
      EXPECT_EQ(log.Events, (std::vector<std::string>{"close", "destroy"})) << index;
      continue;
    }
    ASSERT_EQ(keeper.Kept, form) << index;
    EXPECT_EQ(form->Visible(), c.Visible) << index;
    if (c.Action == caMinimize) {
      EXPECT_EQ(form->WindowState(), wsMinimized);
    }
    EXPECT_EQ(log.Events.size(), c.CanClose ? 1u : 0u) << index;
  }
}

TEST(Forms, LifeEventsInOrder) {
  std::vector<std::string> log;
  class Logged : public TForm {
  public:
    explicit Logged(TComponent* owner, std::vector<std::string>* log) : TForm(owner) {
      OnCreate = TNotifyEvent::Lambda([log](TObject*) { log->push_back("create"); });
      OnShow = TNotifyEvent::Lambda([log](TObject*) { log->push_back("show"); });
      OnActivate = TNotifyEvent::Lambda([log](TObject*) { log->push_back("activate"); });
      OnDeactivate = TNotifyEvent::Lambda([log](TObject*) { log->push_back("deactivate"); });
      OnHide = TNotifyEvent::Lambda([log](TObject*) { log->push_back("hide"); });
      OnDestroy = TNotifyEvent::Lambda([log](TObject*) { log->push_back("destroy"); });
    }
  };
  Logged* form = New<Logged>(nullptr, &log);
  form->SetBounds(40, 40, 200, 150);
  form->Show();
  RunMessagesUntil([&] { return form->Active(); }, 2000);
  EXPECT_EQ(Screen->ActiveForm(), form);
  ShownForm other(300, 40, 200, 150);
  other.Show();
  form->Hide();
  Free(form);
  EXPECT_EQ(log, (std::vector<std::string>{"create", "show", "activate", "deactivate", "hide", "destroy"}));
}

TEST(Forms, ShowModalEndsWithTheButtonsModalResult) {
  TForm* form = New<TForm>(nullptr);
  form->SetBounds(40, 40, 220, 150);
  form->SetPosition(poScreenCenter);
  auto* ok = Place<TButton>(form, 10, 10, 80, 25);
  ok->SetModalResult(mrOk);
  ShownForm behind(300, 40, 200, 150);
  behind.Show();
  bool behindDisabled = false;
  form->OnShow = TNotifyEvent::Lambda([&](TObject*) { PostMessageA(ok->Handle(), BM_CLICK, 0, 0); });
  ok->OnClick = TNotifyEvent::Lambda([&](TObject*) { behindDisabled = !IsWindowEnabled(behind->Handle()); });
  EXPECT_EQ(form->ShowModal(), mrOk);
  EXPECT_TRUE(behindDisabled);
  EXPECT_TRUE(IsWindowEnabled(behind->Handle()));
  EXPECT_FALSE(form->Visible());
  const RECT work = Screen->WorkAreaRect();
  EXPECT_NEAR(form->Left(), work.left + (work.right - work.left - 220) / 2, 1);

  // Close inside the modal loop answers mrCancel; OnCloseQuery can refuse once.
  int asked = 0;
  form->OnCloseQuery = TCloseQueryEvent::Lambda([&](TObject*, bool& can) { can = ++asked > 1; });
  form->OnShow = TNotifyEvent::Lambda([&](TObject*) {
    PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
    PostMessageA(form->Handle(), WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_EQ(asked, 2);
  EXPECT_THROW({
    form->Show();
    form->ShowModal();
  }, EInvalidOperation);
  Free(form);
}

TEST(Forms, AModalFormIsStillModalWhileItHides) {
  TForm* form = New<TForm>(nullptr);
  form->SetBounds(40, 40, 220, 150);
  auto* edit = Place<TEdit>(form, 10, 10, 80, 25);
  form->SetActiveControl(edit);
  // What the focused control sees as the dialog's focus goes.
  std::vector<std::string> seen;
  TWndMethod inherited = edit->WindowProc;
  edit->WindowProc = TWndMethod::Lambda([&, inherited](TMessage& m) {
    if (m.Msg == WM_KILLFOCUS)
      seen.push_back(std::string(form->Modal() ? "modal" : "modeless") + (form->Visible() ? " shown " : " hidden ") +
                     std::to_string(form->ModalResult()));
    inherited(m);
  });
  form->OnShow = TNotifyEvent::Lambda([&](TObject*) { PostMessageA(form->Handle(), WM_CLOSE, 0, 0); });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  EXPECT_EQ(seen, (std::vector<std::string>{"modal hidden " + std::to_string(mrCancel)}));
  EXPECT_FALSE(form->Modal());
  edit->WindowProc = inherited;
  Free(form);
}

TEST(Forms, DialogServiceAnswersEveryDialog) {
  DialogCapture dialogs;
  dialogs.Answer = [](TDialogRequest& r) {
    if (r.Kind == dkInputQuery) {
      r.Value = "typed";
      return static_cast<int>(mrOk);
    }
    return r.Kind == dkMessageDlg ? static_cast<int>(mrYes) : IDOK;
  };
  EXPECT_EQ(MessageDlg("Delete?", mtConfirmation, {mbYes, mbNo}), mrYes);
  ShowMessage("Hello");
  AnsiString value = "old";
  EXPECT_TRUE(InputQuery("Name", "Your name:", value));
  EXPECT_EQ(value, "typed");
  EXPECT_EQ(Application->MessageBox("text", "caption", MB_OKCANCEL), IDOK);
  ASSERT_EQ(dialogs.Requests.size(), 4u);
  EXPECT_EQ(dialogs.Requests[0].DlgType, mtConfirmation);
  EXPECT_TRUE(dialogs.Requests[0].Buttons.Contains(mbNo));
  EXPECT_EQ(dialogs.Requests[1].Text, "Hello");
  EXPECT_EQ(dialogs.Requests[2].Value, "old");
  EXPECT_EQ(dialogs.Requests[2].Text, "Your name:");
  EXPECT_EQ(dialogs.Requests[3].Flags, static_cast<UINT>(MB_OKCANCEL));
  dialogs.Answer = [](TDialogRequest&) { return static_cast<int>(mrCancel); };
  value = "kept";
  EXPECT_FALSE(InputQuery("Name", "Your name:", value));
  EXPECT_EQ(value, "kept");
}

TEST(Forms, ApplicationLoopOnMessageAndCreateFormOrder) {
  TApplication app(nullptr);
  TForm* first = nullptr;
  TForm* second = nullptr;
  app.CreateForm(first);
  app.CreateForm(second);
  EXPECT_EQ(app.MainForm(), first);
  EXPECT_EQ(app.ComponentCount(), 2);

  int seen = 0, filtered = 0;
  first->SetBounds(40, 40, 200, 150);
  first->WindowProc = TWndMethod::Lambda([&, old = first->WindowProc](TMessage& m) {
    if (m.Msg == WM_APP + 5) ++seen;
    old(m);
  });
  app.OnMessage = TMessageEvent::Lambda([&](MSG& msg, bool& handled) {
    if (msg.message == WM_APP + 5 && msg.wParam == 1) {
      ++filtered;
      handled = true;
    }
  });
  PostMessageA(first->Handle(), WM_APP + 5, 1, 0);
  PostMessageA(first->Handle(), WM_APP + 5, 2, 0);
  app.ProcessMessages();
  EXPECT_EQ(filtered, 1);
  EXPECT_EQ(seen, 1);

  // The program's activation reaches the application and its event components.
  auto* events = New<TApplicationEvents>(first);
  std::vector<std::string> activation;
  events->OnDeactivate = TNotifyEvent::Lambda([&](TObject*) { activation.push_back("events deactivate"); });
  Application->OnDeactivate = TNotifyEvent::Lambda([&](TObject*) { activation.push_back("deactivate"); });
  Application->OnActivate = TNotifyEvent::Lambda([&](TObject*) { activation.push_back("activate"); });
  SendMessageA(first->Handle(), WM_ACTIVATEAPP, TRUE, 0);
  SendMessageA(first->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  SendMessageA(first->Handle(), WM_ACTIVATEAPP, FALSE, 0);
  Application->OnDeactivate.Clear();
  Application->OnActivate.Clear();
  const bool active = !activation.empty() && activation.front() == "activate";
  if (active) activation.erase(activation.begin());  // it may have been active already
  EXPECT_EQ(activation, (std::vector<std::string>{"deactivate", "events deactivate"}));

  // Closing the main form ends the loop.
  first->Show();
  PostMessageA(first->Handle(), WM_CLOSE, 0, 0);
  app.Run();
  EXPECT_TRUE(app.Terminated());
  MSG quit;
  PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);  // leave no quit for the next test
}

TEST(Forms, MenusDispatchCommandsAndShortcuts) {
  ShownForm form(40, 40, 300, 200);
  auto* menu = New<TMainMenu>(form.Form);
  auto* file = New<TMenuItem>(form.Form);
  file->SetCaption("&File");
  auto* open = New<TMenuItem>(form.Form);
  open->SetCaption("&Open");
  open->SetShortCut(ShortCut('O', false, true, false));
  int opened = 0;
  open->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++opened; });
  menu->Items()->Add(file);
  file->Add(open);
  form->SetMenu(menu);
  auto* edit = Place<TEdit>(form.Form, 10, 10, 100, 22);
  form.Show();
  ASSERT_NE(GetMenu(form->Handle()), nullptr);
  EXPECT_EQ(GetMenuItemCount(GetMenu(form->Handle())), 1);
  SendMessageA(form->Handle(), WM_COMMAND, open->Command(), 0);
  EXPECT_EQ(opened, 1);
  edit->SetFocus();
  RunMessagesUntilIdle();
  open->SetEnabled(false);
  EXPECT_EQ(GetMenuState(GetSubMenu(GetMenu(form->Handle()), 0), open->Command(), MF_BYCOMMAND) & MF_GRAYED,
            static_cast<UINT>(MF_GRAYED));
  open->SetEnabled(true);
  // Ctrl+O typed in the edit reaches the form's menu.
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  PostKey(edit->Handle(), 'O');
  RunMessagesUntilIdle();
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);
  EXPECT_EQ(opened, 2);
}

TEST(Forms, TimerFiresWhileEnabled) {
  auto* timer = New<TTimer>(nullptr);
  int ticks = 0;
  timer->SetInterval(10);
  timer->SetOnTimer(TNotifyEvent::Lambda([&](TObject*) { ++ticks; }));
  EXPECT_TRUE(RunMessagesUntil([&] { return ticks >= 2; }, 2000));
  timer->SetEnabled(false);
  const int stopped = ticks;
  // While a timer of the same interval ticks three times, the stopped one
  // stays still.
  EXPECT_TRUE(RunTimerTicks(10, 3));
  EXPECT_EQ(ticks, stopped);
  Free(timer);
}

TEST(Forms, StandardControlsKeepTheirStateInTheWindow) {
  ShownForm form(40, 40, 460, 320);
  auto* list = Place<TListBox>(form.Form, 10, 10, 120, 100);
  list->Items()->Add("one");
  list->Items()->Add("two");
  list->SetItemIndex(1);
  auto* combo = Place<TComboBox>(form.Form, 140, 10, 120, 22);
  combo->SetStyle(csDropDownList);
  combo->Items()->SetText("a\r\nb\r\nc\r\n");
  auto* check = Place<TCheckBox>(form.Form, 10, 120, 120, 20);
  check->SetCaption("Remember");
  int checkClicks = 0;
  check->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++checkClicks; });
  auto* statusBar = Place<TStatusBar>(form.Form, 0, 0, 100, 20);
  statusBar->Panels()->Add()->SetText("ready");
  statusBar->Panels()->Items(0)->SetWidth(120);
  statusBar->Panels()->Add()->SetText("second");
  auto* pages = Place<TPageControl>(form.Form, 270, 10, 180, 200);
  pages->SetTabPosition(tpLeft);
  TTabSheet* sheets[3];
  for (int i = 0; i < 3; ++i) {
    sheets[i] = New<TTabSheet>(form.Form);
    sheets[i]->SetCaption("Page " + std::to_string(i + 1));
    sheets[i]->SetPageControl(pages);
  }
  auto* label = Place<TStaticText>(form.Form, 10, 150, 120, 20);
  label->SetCaption("static");
  form.Show();

  EXPECT_EQ(SendMessageA(list->Handle(), LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageA(list->Handle(), LB_GETCURSEL, 0, 0), 1);
  list->Items()->Insert(0, "zero");
  EXPECT_EQ(SendMessageA(list->Handle(), LB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendMessageA(combo->Handle(), CB_GETCOUNT, 0, 0), 3);
  combo->SetItemIndex(2);
  EXPECT_EQ(combo->Text(), "c");

  SendMessageA(check->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(check->Checked());
  EXPECT_EQ(SendMessageA(check->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  check->SetChecked(false);
  EXPECT_EQ(SendMessageA(check->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(checkClicks, 2);

  EXPECT_EQ(statusBar->Align(), alBottom);
  EXPECT_EQ(statusBar->Top() + statusBar->Height(), form->ClientHeight());
  EXPECT_EQ(SendMessageA(statusBar->Handle(), SB_GETPARTS, 0, 0), 2);
  char text[64] = {};
  SendMessageA(statusBar->Handle(), SB_GETTEXTA, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "second");
  statusBar->Panels()->Items(0)->SetText("busy");
  SendMessageA(statusBar->Handle(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "busy");

  EXPECT_EQ(SendMessageA(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_TRUE(GetWindowLongA(pages->Handle(), GWL_STYLE) & TCS_VERTICAL);
  EXPECT_EQ(pages->ActivePage(), sheets[0]);
  pages->SetActivePageIndex(2);
  EXPECT_EQ(SendMessageA(pages->Handle(), TCM_GETCURSEL, 0, 0), 2);
  EXPECT_TRUE(IsWindowVisible(sheets[2]->Handle()));
  EXPECT_FALSE(IsWindowVisible(sheets[0]->Handle()));
  sheets[1]->SetTabVisible(false);
  EXPECT_EQ(SendMessageA(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(sheets[2]->TabIndex(), 1);
  RunMessagesUntilIdle();
  SaveScreenshot(form->Handle(), "forms-standard-controls");
}

// The page control hears its tab window's notifications reflected by its
// parent. The same message number sent straight to it (the skin engine
// sends it with a marker in LParam) is ignored, whatever LParam holds.
TEST(Forms, PageControlReadsOnlyNotificationsItsWindowSent) {
  ShownForm form(40, 40, 260, 200);
  auto* pages = Place<TPageControl>(form.Form, 10, 10, 220, 150);
  TTabSheet* sheets[2];
  for (int i = 0; i < 2; ++i) {
    sheets[i] = New<TTabSheet>(form.Form);
    sheets[i]->SetCaption("Page " + std::to_string(i + 1));
    sheets[i]->SetPageControl(pages);
  }
  int changes = 0;
  pages->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  form.Show();

  // A change of tab as the tab window reports it: through the parent.
  SendMessageA(pages->Handle(), TCM_SETCURSEL, 1, 0);
  NMHDR header{pages->Handle(), 0, static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageA(form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&header));
  EXPECT_EQ(pages->ActivePage(), sheets[1]);
  EXPECT_EQ(changes, 1);

  SendMessageA(pages->Handle(), TCM_SETCURSEL, 0, 0);
  EXPECT_EQ(SendMessageA(pages->Handle(), CN_NOTIFY, 0, 16802), 0);
  EXPECT_EQ(SendMessageA(pages->Handle(), CN_NOTIFY, 0, 0), 0);
  EXPECT_EQ(SendMessageA(pages->Handle(), CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&header)), 0)
      << "a header nobody reflected";
  NMHDR changing{pages->Handle(), 0, static_cast<UINT>(TCN_SELCHANGING)};
  pages->OnChanging = TTabChangingEvent::Lambda([](TObject*, bool& allow) { allow = false; });
  EXPECT_EQ(SendMessageA(pages->Handle(), CN_NOTIFY, 0, reinterpret_cast<LPARAM>(&changing)), 0);
  EXPECT_EQ(pages->ActivePage(), sheets[1]);
  EXPECT_EQ(changes, 1);
}

TEST(Forms, HintShowsAfterThePauseUnlessTheControlDeclines) {
  // The real cursor stays away: passing over the form, it would hand the
  // hint to another control while the test plays the mouse itself.
  SetCursorPos(1000, 900);
  ShownForm form(40, 40, 200, 120);
  auto* button = Place<TButton>(form.Form, 10, 10, 80, 25);
  button->SetHint("Save|Saves the article");
  button->SetShowHint(true);
  form.Show();
  const int pause = Application->HintPause();
  Application->SetHintPause(10);
  auto hintShown = [] { return Application->HintWindow() && Application->HintWindow()->Showing(); };
  button->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(button));
  ASSERT_TRUE(RunMessagesUntil(hintShown, 2000));
  EXPECT_EQ(Application->HintWindow()->Text(), "Save");
  button->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(button));
  EXPECT_FALSE(hintShown());

  // A control answering CM_HINTSHOW with 1 shows none.
  MessageRecorder declined(button, {CM_HINTSHOW});
  TWndMethod recording = button->WindowProc;
  button->WindowProc = TWndMethod::Lambda([recording](TMessage& m) {
    recording(m);
    if (m.Msg == CM_HINTSHOW) m.Result = 1;
  });
  button->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(button));
  // The pause is a timer: wait for the question itself, not for a time.
  EXPECT_TRUE(RunMessagesUntil([&] { return !declined.Log.empty(); }, 2000));
  RunMessagesUntilIdle();
  EXPECT_FALSE(hintShown());
  EXPECT_EQ(declined.Log.size(), 1u);
  button->WindowProc = recording;
  Application->CancelHint();
  Application->SetHintPause(pause);
}

TEST(Forms, AControlWithoutHintTextMayStillGiveAHint) {
  SetCursorPos(1000, 900);  // away from the form, as above
  ShownForm form(40, 40, 240, 120);
  const int pause = Application->HintPause();
  Application->SetHintPause(10);
  auto hintShown = [] { return Application->HintWindow() && Application->HintWindow()->Showing(); };
  struct Case {
    const char* Name;
    const char* Answer;  // the text the control puts into the request; null: none
  } cases[] = {
      {"the control fills the text in itself", "Cell text"},
      {"nothing to show", nullptr},
  };
  int left = 10;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* button = Place<TButton>(form.Form, left, 10, 80, 25);
    left += 90;
    button->SetShowHint(true);  // and no Hint
    int asked = 0;
    TWndMethod inherited = button->WindowProc;
    button->WindowProc = TWndMethod::Lambda([&asked, inherited, c](TMessage& m) {
      inherited(m);
      if (m.Msg != CM_HINTSHOW) return;
      ++asked;
      if (c.Answer) reinterpret_cast<THintInfo*>(m.LParam)->HintStr = c.Answer;
    });
    button->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(button));
    ASSERT_TRUE(RunMessagesUntil([&] { return asked > 0; }, 2000)) << "the control was never asked";
    RunMessagesUntilIdle();
    EXPECT_EQ(hintShown(), c.Answer != nullptr);
    if (c.Answer && hintShown()) {
      EXPECT_EQ(Application->HintWindow()->Text(), c.Answer);
    }
    Application->CancelHint();
    button->WindowProc = inherited;
  }
  Application->SetHintPause(pause);
}

TEST(Forms, AControlIsAskedForItsHintWithTheCursorInItsClientCoordinates) {
  ShownForm form(40, 40, 200, 120);
  auto* button = Place<TButton>(form.Form, 30, 20, 80, 25);
  button->SetHint("Save");
  button->SetShowHint(true);
  form.Show();
  const POINT over = button->ClientToScreen(POINT{7, 5});
  SetCursorPos(over.x, over.y);
  const int pause = Application->HintPause();
  Application->SetHintPause(10);
  POINT asked{-1, -1};
  TWndMethod inherited = button->WindowProc;
  button->WindowProc = TWndMethod::Lambda([&, inherited](TMessage& m) {
    inherited(m);
    if (m.Msg == CM_HINTSHOW) asked = reinterpret_cast<THintInfo*>(m.LParam)->CursorPos;
  });
  button->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(button));
  EXPECT_TRUE(RunMessagesUntil([&] { return asked.x != -1; }, 2000));
  EXPECT_EQ(asked.x, 7);
  EXPECT_EQ(asked.y, 5);
  button->WindowProc = inherited;
  Application->CancelHint();
  Application->SetHintPause(pause);
  SetCursorPos(1000, 900);
}

// A hint window of a control's own choosing: keeps the data it is shown with.
class DataHint : public THintWindow {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using THintWindow::THintWindow;
  void ActivateHintData(const RECT& rect, const AnsiString& hint, void* data) override {
    Data = data;
    THintWindow::ActivateHint(rect, hint);
  }
  void* Data = nullptr;
};
const TClassInfo DataHint::ClassInfo{"TDataHint", &THintWindow::ClassInfo, [](TObject* owner) -> TObject* {
                                       return new DataHint(static_cast<TComponent*>(owner));
                                     }};

TEST(Forms, AControlChoosesItsHintPauseWindowAndData) {
  SetCursorPos(1000, 900);  // away from the form, as above
  ShownForm form(40, 40, 240, 120);
  const int pause = Application->HintPause();
  Application->SetHintPause(60000);  // only the control's own pause can show a hint in time
  int marker = 0;
  struct Case {
    const char* Name;
    TClass WindowClass;
    void* Data;
  } cases[] = {
      {"the control's own window class gets its data", &DataHint::ClassInfo, &marker},
      {"no class named: the plain hint window", nullptr, nullptr},
  };
  auto hintShown = [] { return Application->HintWindow() && Application->HintWindow()->Showing(); };
  int left = 10;
  for (const Case& c : cases) {
    auto* button = Place<TButton>(form.Form, left, 10, 80, 25);
    left += 90;
    button->SetHint("Open");
    button->SetShowHint(true);
    TWndMethod inherited = button->WindowProc;
    button->WindowProc = TWndMethod::Lambda([inherited, c](TMessage& m) {
      inherited(m);
      if (m.Msg == CM_HINTSHOWPAUSE) *reinterpret_cast<int*>(m.LParam) = 0;
      if (m.Msg == CM_HINTSHOW && c.WindowClass) {
        auto* info = reinterpret_cast<THintInfo*>(m.LParam);
        info->HintWindowClass = c.WindowClass;
        info->HintData = c.Data;
      }
    });
    button->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(button));
    EXPECT_TRUE(RunMessagesUntil(hintShown, 2000)) << c.Name;
    THintWindow* window = Application->HintWindow();
    ASSERT_NE(window, nullptr) << c.Name;
    EXPECT_EQ(window->ClassType(), c.WindowClass ? c.WindowClass : &THintWindow::ClassInfo) << c.Name;
    if (auto* own = ObjectAs<DataHint>(window)) {
      EXPECT_EQ(own->Data, c.Data) << c.Name;
    }
    Application->CancelHint();
    button->WindowProc = inherited;
  }
  Application->SetHintPause(pause);
}

TEST(Forms, ImageShowsItsPicture) {
  ShownForm form(40, 40, 200, 160);
  auto* image = Place<TImage>(form.Form, 10, 10, 64, 64);
  TBitmap* bitmap = image->Picture()->Bitmap();
  bitmap->SetSize(32, 32);
  bitmap->Canvas()->Brush()->SetColor(clBlue);
  bitmap->Canvas()->FillRect(RECT{0, 0, 32, 32});
  image->Picture()->Changed(image->Picture());
  image->SetStretch(true);
  form.Show();
  image->Repaint();
  RunMessagesUntilIdle();
  const Image pixels = ReadClientPixels(form->Handle());
  EXPECT_EQ(pixels.At(10 + 60, 10 + 60), Rgb(RGB(0, 0, 255)));
  EXPECT_EQ(pixels.At(10 + 70, 10 + 10), Rgb(GetSysColor(COLOR_BTNFACE)));

  // A graphic that changes by itself (the next frame of an animation) is
  // shown again without anyone asking the image.
  bitmap->Canvas()->Brush()->SetColor(clRed);
  bitmap->Canvas()->FillRect(RECT{0, 0, 32, 32});
  EXPECT_TRUE(RunMessagesUntil([&] { return ReadClientPixels(form->Handle()).At(70, 70) == Rgb(RGB(255, 0, 0)); }, 2000));
}

}  // namespace
