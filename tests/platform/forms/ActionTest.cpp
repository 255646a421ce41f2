// Actions: one action captions, enables and checks a button, a check box and
// a menu item, updates them when the application is idle, runs from each of
// them and from its shortcut; a client changed away keeps its own value;
// the hint action reaches a control that shows hints; actions and lists go
// away safely; forms store them.
#include "platform/ActnList.h"
#include "platform/FormResource.h"
#include "platform/Menus.h"
#include "platform/Properties.h"
#include "platform/StdCtrls.h"
#include "tests/platform/controls/ControlTestUtil.h"

#include <gtest/gtest.h>

namespace {

using namespace testing_support;
using namespace control_tests;

const auto* const kUnansweredDialogsFail = ::testing::AddGlobalTestEnvironment(new UnansweredDialogsFail);

// Lets the application go idle `passes` times (OnIdle keeps it from
// waiting for a message).
void RunIdle(int passes = 3) {
  const TIdleEvent old = Application->OnIdle;
  Application->OnIdle = TIdleEvent::Lambda([](TObject*, bool& done) { done = false; });
  for (int i = 0; i < passes; ++i) {
    while (PeekMessageA(nullptr, nullptr, 0, 0, PM_NOREMOVE)) Application->HandleMessage();
    Application->HandleMessage();
  }
  Application->OnIdle = old;
}

UINT MenuState(TCustomForm* form, TMenuItem* item) {
  return GetMenuState(GetMenu(form->Handle()), item->Command(), MF_BYCOMMAND);
}

// The item's text in the form's menu, without the shortcut after the tab.
AnsiString MenuText(TCustomForm* form, TMenuItem* item, bool withShortCut = false) {
  char text[64] = {};
  GetMenuStringA(GetMenu(form->Handle()), item->Command(), text, sizeof text, MF_BYCOMMAND);
  const AnsiString whole = text;
  return withShortCut ? whole : whole.substr(0, whole.find('\t'));
}

// A form with an action list, one action and its three clients.
struct ActionForm {
  ShownForm Form{40, 40, 320, 200, "Actions"};
  TActionList* List = New<TActionList>(Form.Form);
  TAction* Save = New<TAction>(Form.Form);
  TButton* Button = Place<TButton>(Form.Form, 10, 10, 90, 25);
  TCheckBox* Check = Place<TCheckBox>(Form.Form, 10, 50, 120, 20);
  TMainMenu* Menu = New<TMainMenu>(Form.Form);
  TMenuItem* File = New<TMenuItem>(Form.Form);
  TMenuItem* SaveItem = New<TMenuItem>(Form.Form);
  // The component each run came from (the action's ActionComponent).
  std::vector<TComponent*> Runs;
  bool AllowSave = true;

  ActionForm() {
    Save->SetActionList(List);
    Save->SetCaption("保存(&S)");
    Save->SetHint("Save|Saves the article");
    Save->SetShortCut(ShortCut('S', false, true, false));
    Save->SetOnExecute(TNotifyEvent::Lambda([this](TObject* sender) {
      auto* action = ObjectAs<TBasicAction>(sender);
      Runs.push_back(action ? action->ActionComponent() : static_cast<TComponent*>(sender));
    }));
    File->SetCaption("&File");
    Menu->Items()->Add(File);
    File->Add(SaveItem);
    Form->SetMenu(Menu);
    Button->SetAction(Save);
    Check->SetAction(Save);
    SaveItem->SetAction(Save);
    Form.Show();
  }
};

TEST(Actions, AnActionCaptionsEnablesAndChecksAButtonAndAMenuItem) {
  ActionForm f;
  EXPECT_EQ(f.Button->Caption(), "保存(&S)");
  EXPECT_EQ(f.Check->Caption(), "保存(&S)");
  EXPECT_EQ(MenuText(f.Form.Form, f.SaveItem), "保存(&S)");
  EXPECT_EQ(f.SaveItem->ShortCut(), f.Save->ShortCut());
  EXPECT_EQ(MenuText(f.Form.Form, f.SaveItem, true), "保存(&S)\tCtrl+S");
  EXPECT_EQ(f.Button->Hint(), "Save|Saves the article");

  f.Save->SetCaption("另存");
  EXPECT_EQ(f.Button->Caption(), "另存");
  EXPECT_EQ(MenuText(f.Form.Form, f.SaveItem), "另存");

  f.Save->SetEnabled(false);
  EXPECT_FALSE(IsWindowEnabled(f.Button->Handle()));
  EXPECT_TRUE(MenuState(f.Form.Form, f.SaveItem) & MF_GRAYED);
  f.Save->SetEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(f.Button->Handle()));
  EXPECT_FALSE(MenuState(f.Form.Form, f.SaveItem) & MF_GRAYED);

  f.Save->SetChecked(true);
  EXPECT_EQ(SendMessageA(f.Check->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(MenuState(f.Form.Form, f.SaveItem) & MF_CHECKED);
  EXPECT_TRUE(f.Runs.empty()) << "showing the action's state runs nothing";

  f.Save->SetVisible(false);
  EXPECT_FALSE(IsWindowVisible(f.Button->Handle()));
  EXPECT_EQ(GetMenuItemCount(GetSubMenu(GetMenu(f.Form->Handle()), 0)), 0);
}

TEST(Actions, TheClientsUpdateWhenTheApplicationIsIdle) {
  ActionForm f;
  int updates = 0;
  f.Save->OnUpdate = TNotifyEvent::Lambda([&](TObject*) {
    ++updates;
    f.Save->SetEnabled(f.AllowSave);
  });
  f.AllowSave = false;
  RunIdle();
  EXPECT_GT(updates, 0);
  EXPECT_FALSE(IsWindowEnabled(f.Button->Handle()));
  EXPECT_TRUE(MenuState(f.Form.Form, f.SaveItem) & MF_GRAYED);
  f.AllowSave = true;
  RunIdle();
  EXPECT_TRUE(IsWindowEnabled(f.Button->Handle()));
  EXPECT_FALSE(MenuState(f.Form.Form, f.SaveItem) & MF_GRAYED);

  // A hidden form's clients are left alone.
  f.Form->Hide();
  const int seen = updates;
  RunIdle();
  EXPECT_EQ(updates, seen);
}

TEST(Actions, EachClientRunsTheAction) {
  ActionForm f;
  SendMessageA(f.Button->Handle(), BM_CLICK, 0, 0);
  SendMessageA(f.Form->Handle(), WM_COMMAND, f.SaveItem->Command(), 0);
  EXPECT_TRUE(f.Form->IsShortCut('S', TShiftState{ssCtrl}));
  ASSERT_EQ(f.Runs.size(), 3u);
  EXPECT_EQ(f.Runs[0], f.Button);
  EXPECT_EQ(f.Runs[1], f.SaveItem);
  EXPECT_EQ(f.Runs[2], f.SaveItem) << "the menu item with the action's shortcut takes it";
  EXPECT_EQ(f.Save->ActionComponent(), nullptr);
  // Without it the action list takes the shortcut and runs the action itself.
  f.SaveItem->SetShortCut(0);
  EXPECT_TRUE(f.Form->IsShortCut('S', TShiftState{ssCtrl}));
  ASSERT_EQ(f.Runs.size(), 4u);
  EXPECT_EQ(f.Runs[3], nullptr);

  // A disabled action runs from nowhere, and its shortcut is not taken.
  f.Save->SetEnabled(false);
  f.Button->Click();
  f.SaveItem->Click();
  EXPECT_FALSE(f.Form->IsShortCut('S', TShiftState{ssCtrl}));
  EXPECT_EQ(f.Runs.size(), 4u);

  // A client with a click handler of its own runs that instead.
  f.Save->SetEnabled(true);
  int own = 0;
  f.Button->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++own; });
  SendMessageA(f.Button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(own, 1);
  EXPECT_EQ(f.Runs.size(), 4u);
}

TEST(Actions, AutoCheckTogglesOnceThroughEveryClient) {
  ActionForm f;
  f.Save->SetAutoCheck(true);
  SendMessageA(f.Check->Handle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(f.Save->Checked());
  EXPECT_TRUE(f.Check->Checked());
  EXPECT_TRUE(f.SaveItem->Checked());
  EXPECT_EQ(f.Runs.size(), 1u) << "the check box's new state did not click it again";
  f.SaveItem->Click();
  EXPECT_FALSE(f.Save->Checked());
  EXPECT_FALSE(f.Check->Checked());
  EXPECT_EQ(f.Runs.size(), 2u);
}

// A client follows a property while its value equals the action's; one
// changed away keeps its own, also through changes of other properties.
TEST(Actions, AClientChangedAwayKeepsItsOwnValue) {
  ActionForm f;
  f.Button->SetCaption("Own caption");
  f.SaveItem->SetHint("Own hint");
  f.SaveItem->SetEnabled(false);
  f.Save->SetCaption("New");
  f.Save->SetHint("New hint");
  f.Save->SetChecked(true);
  EXPECT_EQ(f.Button->Caption(), "Own caption");
  EXPECT_EQ(f.Check->Caption(), "New");
  EXPECT_EQ(MenuText(f.Form.Form, f.SaveItem), "New");
  EXPECT_EQ(f.SaveItem->Hint(), "Own hint");
  EXPECT_EQ(f.Button->Hint(), "New hint");
  EXPECT_FALSE(f.SaveItem->Enabled()) << "disabled on its own, it stays so";
  EXPECT_TRUE(f.Button->Enabled());
}

TEST(Actions, GroupedActionsCheckOneAtATime) {
  auto* list = New<TActionList>(nullptr);
  TAction* actions[3];
  for (TAction*& action : actions) {
    action = New<TAction>(nullptr);
    action->SetActionList(list);
    action->SetGroupIndex(1);
    action->SetAutoCheck(true);
    action->SetOnExecute(TNotifyEvent::Lambda([](TObject*) {}));
  }
  actions[0]->SetChecked(true);
  actions[2]->Execute();
  EXPECT_FALSE(actions[0]->Checked());
  EXPECT_TRUE(actions[2]->Checked());
  actions[2]->Execute();
  EXPECT_TRUE(actions[2]->Checked()) << "a checked action of a group stays checked";
  // The list's actions go with it.
  TWeakLink<TAction> first(actions[0]);
  Free(list);
  EXPECT_FALSE(first.Get());
}

TEST(Actions, AnActionWithoutHandlersDisablesItselfAndTheListCanHandleIt) {
  auto* list = New<TActionList>(nullptr);
  auto* action = New<TAction>(nullptr);
  action->SetActionList(list);
  action->Update();
  EXPECT_FALSE(action->Enabled());
  action->SetEnabled(true);
  int listed = 0;
  list->OnExecute = TActionEvent::Lambda([&](TBasicAction* a, bool& handled) {
    EXPECT_EQ(a, action);
    ++listed;
    handled = true;
  });
  action->Update();
  EXPECT_TRUE(action->Enabled()) << "the list's handler counts";
  EXPECT_TRUE(action->Execute());
  EXPECT_EQ(listed, 1);
  list->SetState(asSuspended);
  EXPECT_FALSE(action->Execute());
  EXPECT_EQ(listed, 1);
  Free(list);
}

// A pane that shows hints, as a status pane with AutoHint does.
class THintPane : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  AnsiString Shown;
  bool ExecuteAction(TBasicAction* action) override {
    if (auto* hint = ObjectAs<THintAction>(action)) {
      Shown = hint->Hint();
      return true;
    }
    return TCustomControl::ExecuteAction(action);
  }
};

TEST(Actions, TheHintActionReachesAControlThatShowsHints) {
  ActionForm f;
  auto* pane = Place<THintPane>(f.Form.Form, 10, 100, 200, 20);
  int hints = 0;
  Application->OnHint = TNotifyEvent::Lambda([&](TObject*) { ++hints; });
  f.Button->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(f.Button));
  EXPECT_EQ(Application->Hint(), "Saves the article");
  EXPECT_EQ(pane->Shown, "Saves the article");
  f.Button->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(f.Button));
  EXPECT_EQ(pane->Shown, "");
  EXPECT_EQ(hints, 2);
  Application->OnHint = nullptr;
}

TEST(Actions, FreeingAnActionLeavesItsClientsWhole) {
  const THandleCounts before = HandleCounts();
  {
    ActionForm f;
    Free(f.Save);
    f.Save = nullptr;
    EXPECT_EQ(f.Button->Action(), nullptr);
    EXPECT_EQ(f.SaveItem->Action(), nullptr);
    EXPECT_EQ(f.Button->Caption(), "保存(&S)") << "the client keeps what it showed";
    // ... and the handler it took from the action, now called for itself.
    SendMessageA(f.Button->Handle(), BM_CLICK, 0, 0);
    f.SaveItem->Click();
    RunIdle();
    EXPECT_EQ(f.Runs, (std::vector<TComponent*>{f.Button, f.SaveItem}));
  }
  RunIdle(1);
  EXPECT_EQ(HandleCounts(), before);
}

class TActionTestForm : public TForm {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TForm::TForm;
  void Save1Execute(TObject*) { ++Saved; }
  TActionList* ActionList1 = nullptr;
  TAction* Save1 = nullptr;
  TButton* Button1 = nullptr;
  TMenuItem* SaveItem = nullptr;
  int Saved = 0;
};

const TClassInfo TActionTestForm::ClassInfo{"TActionTestForm", &TForm::ClassInfo, [](TObject* owner) -> TObject* {
                                              return new TActionTestForm(static_cast<TComponent*>(owner));
                                            }};
const TPublishedRegistration actionTestFormRegistration(&TActionTestForm::ClassInfo, {
    Method<&TActionTestForm::Save1Execute>("Save1Execute"),
    Field<&TActionTestForm::ActionList1>("ActionList1"),
    Field<&TActionTestForm::Save1>("Save1"),
    Field<&TActionTestForm::Button1>("Button1"),
    Field<&TActionTestForm::SaveItem>("SaveItem"),
});

TEST(Actions, AFormStoresItsActionsAndTheirClients) {
  const char* const text =
      "object ActionTestForm1: TActionTestForm\n"
      "  object ActionList1: TActionList\n"
      "    object Save1: TAction\n"
      "      Caption = '\xE4\xBF\x9D\xE5\xAD\x98'\n"  // UTF-8, as form text is
      "      ShortCut = 16467\n"
      "      OnExecute = Save1Execute\n"
      "    end\n"
      "  end\n"
      "  object Button1: TButton\n"
      "    Action = Save1\n"
      "  end\n"
      "  object MainMenu1: TMainMenu\n"
      "    object File1: TMenuItem\n"
      "      Caption = 'File'\n"
      "      object SaveItem: TMenuItem\n"
      "        Action = Save1\n"
      "      end\n"
      "    end\n"
      "  end\n"
      "end\n";
  auto* form = New<TActionTestForm>(nullptr);
  ReadComponentText(text, form, "actions.mvf");
  ASSERT_TRUE(form->Save1);
  EXPECT_EQ(form->Save1->ActionList(), form->ActionList1);
  EXPECT_EQ(form->Button1->Action(), form->Save1);
  EXPECT_EQ(form->Button1->Caption(), "保存");
  EXPECT_EQ(form->SaveItem->Caption(), "保存");
  form->Button1->Click();
  form->SaveItem->Click();
  EXPECT_EQ(form->Saved, 2);
  const AnsiString written = WriteComponentText(form);
  EXPECT_NE(written.find("Action = Save1"), AnsiString::npos) << written;
  EXPECT_NE(written.find("object Save1: TAction"), AnsiString::npos) << written;
  Free(form);
}

}  // namespace
