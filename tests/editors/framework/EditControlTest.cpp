// The editor control with real windows and messages: change events under a
// lock, the editing switch, clicks, the repository item, in-place styles,
// validation on Enter, revert on Escape against a dialog's Cancel button,
// the clear and click keys, the mouse over edit buttons, double clicks,
// auto size, in-place activation and posting failures.
#include "editors/framework/EditConsts.h"
#include "editors/framework/EditPaintUtils.h"
#include "editors/framework/EditUnit.h"
#include "editors/framework/EditUtils.h"
#include "platform/CallbackGuard.h"
#include "platform/FormResource.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/HintWindow.h"
#include "platform/Menus.h"
#include "tests/editors/framework/TestEditors.h"
#include "tests/editors/framework/EditorFixture.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace lookandfeel_test;
using namespace test_editors;
using namespace testing_support;

namespace {

class TTestItem : public TcxEditRepositoryItem {
public:
  using TcxEditRepositoryItem::TcxEditRepositoryItem;
  TClass PropertiesClass() const override { return &TTestEditProperties::ClassInfo; }
};

class TTextItem : public TcxEditRepositoryItem {
public:
  using TcxEditRepositoryItem::TcxEditRepositoryItem;
  TClass PropertiesClass() const override { return &TTestTextProperties::ClassInfo; }
};

class TFailingBinding : public TcxEditDataBinding {
public:
  using TcxEditDataBinding::TcxEditDataBinding;
  void WriteStoredValue(const Variant&) override { throw Exception("The store is full"); }
};

class TFailingPostEdit : public TTestPlainEdit {
public:
  using TTestPlainEdit::TTestPlainEdit;
  TcxEditDataBinding* NewDataBinding() override { return new TFailingBinding(this); }
};

// Data that may only be read, aligned to the right.
class TReadOnlyProvider : public TcxCustomEditDefaultValuesProvider {
public:
  using TcxCustomEditDefaultValuesProvider::TcxCustomEditDefaultValuesProvider;
  bool ProvidedReadOnly() override { return true; }
  TAlignment ProvidedAlignment() override { return taRightJustify; }
};

class TReadOnlyDataBinding : public TcxEditDataBinding {
public:
  explicit TReadOnlyDataBinding(TcxCustomEdit* edit) : TcxEditDataBinding(edit, new TReadOnlyProvider(nullptr)) {}
};

class TReadOnlyDataEdit : public TTestInnerEdit {
public:
  using TTestInnerEdit::TTestInnerEdit;
  TcxEditDataBinding* NewDataBinding() override { return new TReadOnlyDataBinding(this); }
};

// Data behind a storage: its value is "stored".
class TStorageProvider : public TcxCustomEditDefaultValuesProvider {
public:
  using TcxCustomEditDefaultValuesProvider::TcxCustomEditDefaultValuesProvider;
  bool BoundToStorage() override { return true; }
};

class TStorageBinding : public TcxEditDataBinding {
public:
  explicit TStorageBinding(TcxCustomEdit* edit) : TcxEditDataBinding(edit, new TStorageProvider(nullptr)) {}
  void ReadEditValue(Variant& value) override { value = Variant("stored"); }
};

class TStorageEdit : public TTestPlainEdit {
public:
  using TTestPlainEdit::TTestPlainEdit;
  TcxEditDataBinding* NewDataBinding() override { return new TStorageBinding(this); }
};

// Counts how often the properties are applied.
class TCountingEdit : public TTestPlainEdit {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TTestPlainEdit::TTestPlainEdit;
  void ApplyProperties(TcxCustomEditProperties* properties) override {
    ++Applied;
    TTestPlainEdit::ApplyProperties(properties);
  }
  int Applied = 0;
};
const TClassInfo TCountingEdit::ClassInfo{"TCountingEdit", &TTestPlainEdit::ClassInfo, [](TObject* owner) -> TObject* {
                                            return new TCountingEdit(static_cast<TComponent*>(owner));
                                          }};
const TPublishedRegistration countingEditRegistration(&TCountingEdit::ClassInfo, {});

struct TRecorder {
  std::vector<std::string> Events;
  std::vector<int> ButtonClicks;
  int Clicks = 0, DblClicks = 0, Exits = 0, CancelClicks = 0;
  std::vector<std::string> Errors;
  void Change(TObject*) { Events.push_back("change"); }
  void ValueChanged(TObject*) { Events.push_back("value"); }
  void Click(TObject*) { ++Clicks; }
  void DblClick(TObject*) { ++DblClicks; }
  void Exit(TObject*) { ++Exits; }
  void Cancel(TObject*) { ++CancelClicks; }
  void Button(TObject*, int index) { ButtonClicks.push_back(index); }
  void Error(TObject*, Exception& e) { Errors.push_back(e.Message()); }
};

class EditControl : public ::testing::Test {
protected:
  void SetUp() override {
    editor_test::StartEditorUnits();
    FSavedHandler = SetCallbackExceptionHandler(TExceptionEvent::Bind<&TRecorder::Error>(&R));
    FForm = New<TForm>(nullptr);
    FForm->SetBounds(80, 80, 360, 240);
  }
  void TearDown() override {
    if (GetCapture()) ReleaseCapture();
    Free(FForm);
    SetCallbackExceptionHandler(FSavedHandler);
    editor_test::FinishEditorUnits();
  }
  template <class T = TTestPlainEdit>
  T* Place(int left, int top, int width = 160, bool inPlace = false) {
    auto* edit = New<T>(FForm, inPlace);
    edit->SetParent(FForm);
    edit->SetBounds(left, top, width, 24);
    edit->Style()->SetEditBorderStyle(ebsSingle);
    edit->Style()->SetTransparentBorder(false);
    return edit;
  }
  void Wire(TcxCustomEdit* edit) {
    edit->Properties()->OnChange = TNotifyEvent::Bind<&TRecorder::Change>(&R);
    edit->Properties()->OnEditValueChanged = TNotifyEvent::Bind<&TRecorder::ValueChanged>(&R);
    edit->OnClick = TNotifyEvent::Bind<&TRecorder::Click>(&R);
    edit->OnDblClick = TNotifyEvent::Bind<&TRecorder::DblClick>(&R);
    edit->OnExit = TNotifyEvent::Bind<&TRecorder::Exit>(&R);
    edit->Properties()->OnEditButtonClick = TcxEditButtonClickEvent::Bind<&TRecorder::Button>(&R);
  }
  void ShowAndFocus(TWinControl* control) {
    FForm->Show();
    RunMessagesUntilIdle();
    control->SetFocus();
    RunMessagesUntilIdle();
  }
  static POINT ButtonCentre(TcxCustomEdit* edit, int index) {
    const RECT r = edit->EditViewInfo()->Button(index).ButtonRect;
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  static LPARAM At(POINT p) { return MAKELPARAM(p.x, p.y); }

  TRecorder R;
  TForm* FForm = nullptr;
  TExceptionEvent FSavedHandler;
};

TEST_F(EditControl, ChangesInOneLockFireEachEventOnceChangeFirst) {
  struct TCase {
    const char* Name;
    bool Fire;
    std::vector<std::string> Expected;
  };
  const TCase cases[] = {{"unlock firing", true, {"change", "value"}}, {"unlock without firing", false, {}}};
  int value = 0;
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* edit = Place(10, 10);
    Wire(edit);
    R.Events.clear();
    edit->LockChangeEvents(true);
    edit->SetEditValue(++value);
    edit->SetEditValue(++value);
    EXPECT_TRUE(R.Events.empty()) << "nothing while locked";
    edit->LockChangeEvents(false, c.Fire);
    EXPECT_EQ(R.Events, c.Expected);
    Free(edit);
  }
  // Outside a lock an assignment that changes the value reports the value first.
  auto* edit = Place(10, 10);
  Wire(edit);
  R.Events.clear();
  edit->SetEditValue(5);
  edit->SetEditValue(5.0);  // equal by value: no change
  EXPECT_EQ(R.Events, (std::vector<std::string>{"value", "change"}));
  // Without handlers nothing is recorded for a later unlock.
  edit->Properties()->OnChange = nullptr;
  edit->Properties()->OnEditValueChanged = nullptr;
  edit->LockChangeEvents(true);
  edit->SetEditValue(6);
  EXPECT_FALSE(edit->ChangeEventsCatcher()->ChangeCaught);
  edit->LockChangeEvents(false);
}

TEST_F(EditControl, ALockedEditingSwitchIgnoresAssignments) {
  auto* edit = Place(10, 10);
  edit->LockEditingSwitch(true);
  edit->SetEditValue(7);
  EXPECT_TRUE(edit->EditValue().IsEmpty());
  edit->LockEditingSwitch(false);
  edit->LockEditingSwitch(false);  // never below 0
  edit->SetEditValue(7);
  EXPECT_EQ(edit->EditValue().AsInteger(), 7);
  // In place, OnEditing runs with the switch locked: its assignment is lost.
  auto* inPlace = Place(10, 40, 160, true);
  inPlace->OnEditing = TcxEditEditingEvent::Lambda([inPlace](TObject*, bool&) { inPlace->SetEditValue("from the handler"); });
  inPlace->SetUserAction(true);
  inPlace->SetEditValue("typed");
  inPlace->SetUserAction(false);
  EXPECT_EQ(inPlace->EditValue().AsString(), "typed");
}

TEST_F(EditControl, EditValueNeverClicks) {
  struct TCase {
    const char* Name;
    void (*Act)(TTestPlainEdit*);
    int Clicks;
  };
  const TCase cases[] = {
      {"EditValue", [](TTestPlainEdit* e) { e->SetEditValue("a"); }, 0},
      {"internal assignment", [](TTestPlainEdit* e) { e->AssignEditValue("b"); }, 1},
      {"modify and click", [](TTestPlainEdit* e) { e->ModifyAndClick(); }, 1},
      {"modify with clicks locked", [](TTestPlainEdit* e) {
         e->LockClick(true);
         e->ModifyAndClick();
         e->LockClick(false);
       }, 0},
  };
  for (const TCase& c : cases) {
    auto* edit = Place(10, 10);
    Wire(edit);
    R.Clicks = 0;
    c.Act(edit);
    EXPECT_EQ(R.Clicks, c.Clicks) << c.Name;
    Free(edit);
  }
}

TEST_F(EditControl, AWrongRepositoryItemIsRefused) {
  auto* repository = New<TcxEditRepository>(FForm);
  auto* wrong = New<TcxEditRepositoryItem>(FForm);
  wrong->SetRepository(repository);
  auto* right = New<TTestItem>(FForm);
  right->SetRepository(repository);
  auto* edit = Place(10, 10);
  try {
    edit->SetRepositoryItem(wrong);
    ADD_FAILURE() << "accepted";
  } catch (const EcxEditError& e) {
    EXPECT_EQ(e.Message(), "The repository item is not acceptable");
  }
  EXPECT_EQ(edit->RepositoryItem(), nullptr);
  EXPECT_EQ(wrong->ListenerCount(), 0);
  edit->SetRepositoryItem(right);
  EXPECT_EQ(edit->RepositoryItem(), right);
  EXPECT_EQ(edit->EffectiveProperties(), right->Properties());
  EXPECT_EQ(right->ListenerCount(), 1);
  // Events fire on the edit's own properties, then on the item's.
  Wire(edit);
  right->Properties()->OnChange = TNotifyEvent::Lambda([this](TObject*) { R.Events.push_back("item change"); });
  edit->SetEditValue(1);
  EXPECT_EQ(R.Events, (std::vector<std::string>{"value", "change", "item change"}));
  Free(right);
  EXPECT_EQ(edit->RepositoryItem(), nullptr) << "a freed item is let go";
  EXPECT_EQ(edit->EffectiveProperties(), edit->Properties());
}

TEST_F(EditControl, SharedItemPropertiesAnswerThroughTheProviderOfTheEditAsking) {
  auto* repository = New<TcxEditRepository>(FForm);
  auto* item = New<TTextItem>(FForm);
  item->SetRepository(repository);
  auto* readOnlyData = Place<TReadOnlyDataEdit>(10, 10);
  auto* plainData = Place<TTestInnerEdit>(10, 50);
  FForm->Show();
  RunMessagesUntilIdle();
  readOnlyData->SetRepositoryItem(item);
  plainData->SetRepositoryItem(item);
  struct TCase {
    const char* Name;
    TcxCustomEdit* Edit;
    bool ReadOnly;
    TAlignment Alignment;
  };
  const TCase cases[] = {{"the read-only data's edit", readOnlyData, true, taRightJustify},
                         {"an edit of plain data sharing the item", plainData, false, taLeftJustify},
                         {"the first edit asking again", readOnlyData, true, taRightJustify}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TcxCustomEditProperties* properties = c.Edit->EffectiveProperties();
    EXPECT_EQ(properties, item->Properties());
    EXPECT_EQ(properties->ValuesProvider(), c.Edit->DataBinding()->ValuesProvider());
    EXPECT_EQ(properties->GetReadOnly(), c.ReadOnly);
    EXPECT_EQ(properties->EffectiveHorzAlignment(), c.Alignment);
    // The inner window took the state when the item was applied.
    const HWND inner = static_cast<TTestInnerEdit*>(c.Edit)->Inner()->Handle();
    EXPECT_EQ((GetWindowLongA(inner, GWL_STYLE) & ES_READONLY) != 0, c.ReadOnly);
  }
  // The edit's own properties consult its provider again once the item goes.
  readOnlyData->SetRepositoryItem(nullptr);
  EXPECT_EQ(readOnlyData->Properties()->ValuesProvider(), readOnlyData->DataBinding()->ValuesProvider());
  EXPECT_TRUE(readOnlyData->Properties()->GetReadOnly());
}

TEST_F(EditControl, AnInPlaceEditsStyleHasNoDefaultController) {
  auto* standalone = Place(10, 10);
  auto* inPlace = Place(10, 40, 160, true);
  ASSERT_NE(cxDefaultEditStyleController(), nullptr);
  EXPECT_EQ(standalone->Style()->ActiveStyleController(), cxDefaultEditStyleController());
  EXPECT_EQ(inPlace->Style()->ActiveStyleController(), nullptr);
  EXPECT_FALSE(inPlace->AutoSize()) << "no auto size in place";
  inPlace->SetAutoSize(true);
  EXPECT_FALSE(inPlace->AutoSize());
  EXPECT_TRUE(standalone->AutoSize());
}

TEST_F(EditControl, EnterValidatesWhenAskedAndKeepsTheText) {
  struct TCase {
    const char* Name;
    bool ValidateOnEnter;
    std::vector<std::string> Errors;
    bool Validated;
  };
  const TCase cases[] = {
      {"off", false, {}, false},
      {"on", true, {"Invalid input value. Use escape key to abandon changes"}, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* other = Place(10, 80);
    auto* edit = Place(10, 10);
    Wire(edit);
    edit->Properties()->SetValidateOnEnter(c.ValidateOnEnter);
    edit->Properties()->OnValidate = TcxEditValidateEvent::Lambda([](TObject*, TcxEditValue&, AnsiString&, bool& error) { error = true; });
    ShowAndFocus(edit);
    R.Errors.clear();
    R.Exits = 0;
    PostChar(edit->Handle(), 'a');
    PostChar(edit->Handle(), 'b');
    RunMessagesUntilIdle();
    ASSERT_EQ(edit->Text, "ab");
    EXPECT_TRUE(edit->Modified());
    const int selections = edit->SelectAllCount;
    PostKey(edit->Handle(), VK_RETURN);
    RunMessagesUntilIdle();
    EXPECT_EQ(R.Errors, c.Errors);
    EXPECT_EQ(edit->Text, "ab") << "nothing typed is lost";
    EXPECT_EQ(edit->Validated(), c.Validated);
    EXPECT_EQ(GetFocus(), edit->Handle()) << "the focus stays";
    EXPECT_EQ(R.Exits, 0);
    if (c.ValidateOnEnter) {
      EXPECT_GT(edit->SelectAllCount, selections) << "the text is selected";
    }
    Free(edit);
    Free(other);
  }
}

TEST_F(EditControl, AHiddenEditIsValidatedAfterItsFirstFailure) {
  auto* edit = Place(10, 10);
  edit->SetVisible(false);
  edit->Properties()->OnValidate = TcxEditValidateEvent::Lambda([](TObject*, TcxEditValue&, AnsiString&, bool& error) { error = true; });
  edit->MarkModified(true);
  EXPECT_THROW(edit->CheckEditValue(true), EcxEditValidationError);
  EXPECT_TRUE(edit->Validated());
  EXPECT_TRUE(edit->CheckEditValue(true)) << "not rejected again";
  edit->MarkModified(true);
  EXPECT_FALSE(edit->Validated()) << "a new change validates again";
  EXPECT_FALSE(edit->CheckEditValue(false));
}

TEST_F(EditControl, EscapeRevertsAModifiedEditAndKeepsTheDialogOpen) {
  struct TCase {
    const char* Name;
    const char* Typed;
    const char* Text;
    int CancelClicks;
  };
  const TCase cases[] = {{"modified", "xy", "start", 0}, {"not modified", "", "start", 1}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* cancel = New<TButton>(FForm);
    cancel->SetParent(FForm);
    cancel->SetBounds(200, 150, 80, 25);
    cancel->SetCancel(true);
    cancel->OnClick = TNotifyEvent::Bind<&TRecorder::Cancel>(&R);
    auto* edit = Place(10, 10);
    edit->SetEditValue("start");
    ShowAndFocus(edit);
    R.CancelClicks = 0;
    for (const char* p = c.Typed; *p; ++p) PostChar(edit->Handle(), *p);
    RunMessagesUntilIdle();
    EXPECT_EQ(edit->Modified(), *c.Typed != 0);
    PostKey(edit->Handle(), VK_ESCAPE);
    PostChar(edit->Handle(), 0x1B);
    RunMessagesUntilIdle();
    EXPECT_EQ(edit->Text, c.Text);
    EXPECT_EQ(edit->EditValue().AsString(), "start");
    EXPECT_FALSE(edit->Modified());
    EXPECT_EQ(R.CancelClicks, c.CancelClicks);
    Free(edit);
    Free(cancel);
  }
}

TEST_F(EditControl, TheClearKeyAndTheClickKey) {
  const TShortCut ctrlDelete = ShortCut(VK_DELETE, false, true, false);
  struct TCase {
    const char* Name;
    TShortCut ClearKey;
    bool DefaultButton;
    WORD Key;
    TShiftState Shift;
    bool Cleared;
    std::vector<int> Clicks;
    bool Consumed;
  };
  const TCase cases[] = {
      {"clear key 0 never clears", 0, false, 0, {}, false, {}, false},
      {"clear key", ctrlDelete, false, VK_DELETE, {ssCtrl}, true, {}, true},
      {"another key", ctrlDelete, false, VK_DELETE, {}, false, {}, false},
      {"Ctrl+Enter with a default button", 0, true, VK_RETURN, {ssCtrl}, false, {1}, true},
      {"Ctrl+Enter without one", 0, false, VK_RETURN, {ssCtrl}, false, {}, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* edit = Place(10, 10);
    Wire(edit);
    edit->Properties()->SetClearKey(c.ClearKey);
    edit->Properties()->Buttons()->AddButton()->SetKind(bkEllipsis);
    edit->Properties()->Buttons()->AddButton()->SetDefault(c.DefaultButton);
    ShowAndFocus(edit);
    edit->SetEditValue("value");
    R.ButtonClicks.clear();
    WORD key = c.Key;
    edit->ProcessKey(key, c.Shift);
    EXPECT_EQ(edit->EditValue().AsString(), c.Cleared ? "" : "value");
    EXPECT_EQ(R.ButtonClicks, c.Clicks);
    if (c.Key != 0) {
      EXPECT_EQ(key == 0, c.Consumed);
    }
    if (c.Cleared) {
      EXPECT_TRUE(edit->Validated());
    }
    Free(edit);
  }
}

TEST_F(EditControl, PressMoveOutReturnAndReleaseClickOnce) {
  struct TCase {
    const char* Name;
    bool ReleaseOver;
    std::vector<int> Clicks;
  };
  const TCase cases[] = {{"released over the button", true, {0}}, {"released outside", false, {}}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* edit = Place(10, 10);
    Wire(edit);
    edit->Properties()->Buttons()->AddButton()->SetKind(bkEllipsis);
    ShowAndFocus(edit);
    const HWND h = edit->Handle();
    const POINT over = ButtonCentre(edit, 0), outside{20, 12};
    R.ButtonClicks.clear();
    SendMessageA(h, WM_MOUSEMOVE, 0, At(over));
    EXPECT_EQ(edit->EditViewInfo()->Button(0).ButtonState, ebsSelected);
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(over));
    EXPECT_EQ(edit->EditViewInfo()->Button(0).ButtonState, ebsPressed);
    EXPECT_EQ(edit->PressedButtonIndex(), 0);
    SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, At(outside));
    EXPECT_EQ(edit->EditViewInfo()->Button(0).ButtonState, ebsNormal);
    SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, At(over));
    EXPECT_EQ(edit->EditViewInfo()->Button(0).ButtonState, ebsPressed) << "back over the pressed button";
    const POINT release = c.ReleaseOver ? over : outside;
    if (!c.ReleaseOver) SendMessageA(h, WM_MOUSEMOVE, MK_LBUTTON, At(outside));
    SendMessageA(h, WM_LBUTTONUP, 0, At(release));
    EXPECT_EQ(R.ButtonClicks, c.Clicks);
    Free(edit);
  }
}

TEST_F(EditControl, ADoubleClickOnAButtonPressesIt) {
  auto* edit = Place(10, 10);
  Wire(edit);
  edit->Properties()->Buttons()->AddButton()->SetKind(bkEllipsis);
  ShowAndFocus(edit);
  const HWND h = edit->Handle();
  struct TCase {
    const char* Name;
    POINT At;
    size_t ButtonClicks;
    int DblClicks;
  };
  const TCase cases[] = {{"on the button", ButtonCentre(edit, 0), 2, 0}, {"elsewhere", POINT{20, 12}, 0, 1}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    R.ButtonClicks.clear();
    R.DblClicks = 0;
    POINT screen = edit->ClientToScreen(c.At);
    SetCursorPos(screen.x, screen.y);
    SendMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, At(c.At));
    SendMessageA(h, WM_LBUTTONUP, 0, At(c.At));
    SendMessageA(h, WM_LBUTTONDBLCLK, MK_LBUTTON, At(c.At));
    SendMessageA(h, WM_LBUTTONUP, 0, At(c.At));
    EXPECT_EQ(R.ButtonClicks.size(), c.ButtonClicks);
    EXPECT_EQ(R.DblClicks, c.DblClicks);
  }
}

TEST_F(EditControl, MouseMovesThatChangeNothingInvalidateNothing) {
  auto* edit = Place(10, 10);
  edit->Properties()->Buttons()->AddButton()->SetKind(bkEllipsis);
  ShowAndFocus(edit);
  const HWND h = edit->Handle();
  SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(20, 12));
  UpdateWindow(h);
  ASSERT_FALSE(GetUpdateRect(h, nullptr, FALSE));
  SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(25, 12));
  SendMessageA(h, WM_MOUSEMOVE, 0, MAKELPARAM(30, 14));
  EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE)) << "nothing changed";
  SendMessageA(h, WM_MOUSEMOVE, 0, At(ButtonCentre(edit, 0)));
  RECT dirty{};
  EXPECT_TRUE(GetUpdateRect(h, &dirty, FALSE)) << "the button became hot";
  const RECT button = edit->EditViewInfo()->Button(0).ButtonRect;
  EXPECT_TRUE(EqualRect(&dirty, &button));
}

TEST_F(EditControl, ReadingHeightCreatesTheWindowAndAutoSizes) {
  auto* edit = New<TTestPlainEdit>(FForm);
  edit->SetParent(FForm);
  edit->Style()->SetEditBorderStyle(ebs3D);
  edit->Style()->SetTransparentBorder(false);
  edit->Style()->SetButtonStyle(bts3D);
  TBitmap glyph;
  glyph.SetSize(16, 16);
  auto* button = edit->Properties()->Buttons()->AddButton();
  button->SetKind(bkGlyph);
  button->SetGlyph(&glyph);
  edit->SetBounds(10, 10, 120, 5);
  EXPECT_FALSE(edit->HandleAllocated());
  const int height = edit->Height();
  EXPECT_TRUE(edit->HandleAllocated()) << "reading Height made the window";
  EXPECT_GE(height, 16 + 4 + 2 + 2) << "the glyph, the 3-D style's padding and the border";
}

TEST_F(EditControl, ActivateByKeyReplaysTheCharacter) {
  FForm->Show();
  RunMessagesUntilIdle();
  {
    auto* edit = Place<TTestPlainEdit>(10, 10, 160, true);
    TcxCustomEditData* data = nullptr;
    edit->ActivateByKey('q', data);
    EXPECT_EQ(edit->Text, "q");
    EXPECT_EQ(GetFocus(), edit->Handle());
  }
  {
    auto* edit = Place<TTestInnerEdit>(10, 50, 160, true);
    TcxCustomEditData* data = nullptr;
    edit->ActivateByKey('q', data);
    EXPECT_EQ(edit->Inner()->Text(), "q");
    EXPECT_EQ(GetFocus(), edit->Inner()->Handle()) << "the inner window has the focus";
    EXPECT_EQ(edit->Inner()->WindowProc, edit->Inner()->WindowProc) << "unhooked after the replay";
  }
}

TEST_F(EditControl, AFailedPostFocusesSelectsAndRaisesAgain) {
  auto* other = Place(10, 80);
  auto* edit = Place<TFailingPostEdit>(10, 10);
  ShowAndFocus(other);
  edit->Text = "typed";
  edit->MarkModified(true);
  try {
    edit->StoreEditValue(false);
    ADD_FAILURE() << "the failure was swallowed";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "The store is full");
  }
  RunMessagesUntilIdle();
  EXPECT_EQ(GetFocus(), edit->Handle());
  EXPECT_EQ(edit->SelectAllCount, 1);
  EXPECT_EQ(edit->Text, "typed");
  EXPECT_TRUE(edit->Modified()) << "still to be posted";
  // In place the host's failure ends the post quietly.
  auto* inPlace = Place(10, 120, 160, true);
  inPlace->PostEditValueHandler = TNotifyEvent::Lambda([](TObject*) { throw Exception("host refused"); });
  EXPECT_NO_THROW(inPlace->StoreEditValue(false));
}

TEST_F(EditControl, InnerWindowEditTypesThroughItsEdit) {
  auto* edit = Place<TTestInnerEdit>(10, 10);
  Wire(edit);
  ShowAndFocus(edit);
  EXPECT_EQ(GetFocus(), edit->Inner()->Handle()) << "the edit hands the focus to its inner window";
  R.Events.clear();
  PostChar(edit->Inner()->Handle(), 'h');
  PostChar(edit->Inner()->Handle(), 'i');
  RunMessagesUntilIdle();
  EXPECT_EQ(edit->Inner()->Text(), "hi");
  EXPECT_TRUE(edit->Modified());
  EXPECT_EQ(R.Events, (std::vector<std::string>{"change", "change"})) << "the inner window reports changes itself";
  EXPECT_TRUE(edit->ValidateNow());
  EXPECT_EQ(edit->EditValue().AsString(), "hi");
  // Inside the edit's frame, left of nothing: the client rectangle.
  const RECT inner = edit->Inner()->BoundsRect();
  const RECT client = edit->EditViewInfo()->ClientRect;
  EXPECT_TRUE(EqualRect(&inner, &client));
}

TEST_F(EditControl, HintsOfTheHotButtonAndTheBody) {
  auto* edit = Place(10, 10);
  edit->SetHint("The edit|long");
  edit->SetShowHint(true);
  auto* button = edit->Properties()->Buttons()->AddButton();
  button->SetKind(bkEllipsis);
  button->SetHint("Browse|Opens a file");
  ShowAndFocus(edit);
  const HWND h = edit->Handle();
  struct TCase {
    const char* Name;
    POINT At;
    LRESULT Result;
    const char* Text;
  };
  const TCase cases[] = {{"the hot button", ButtonCentre(edit, 0), 0, "Browse"},
                         {"the body", POINT{20, 12}, 0, "The edit"},
                         {"the border", POINT{0, 0}, 1, ""}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    const POINT screen = edit->ClientToScreen(c.At);
    SetCursorPos(screen.x, screen.y);
    SendMessageA(h, WM_MOUSEMOVE, 0, At(c.At));
    THintInfo info;
    info.CursorPos = c.At;
    const LRESULT result = SendMessageA(h, CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(result, c.Result);
    if (result == 0) {
      EXPECT_EQ(info.HintStr, c.Text);
    }
  }
}

TEST_F(EditControl, TheApplicationShowsThePartsHintSizedToItsText) {
  auto* edit = Place(10, 10);
  edit->SetHint("The edit|long");
  edit->SetShowHint(true);
  auto* button = edit->Properties()->Buttons()->AddButton();
  button->SetKind(bkEllipsis);
  button->SetHint("Browse for a file|Opens a file");
  ShowAndFocus(edit);
  const int pause = Application->HintPause();
  Application->SetHintPause(10);
  int asked = 0;
  TWndMethod inherited = edit->WindowProc;
  edit->WindowProc = TWndMethod::Lambda([&, inherited](TMessage& m) {
    inherited(m);
    if (m.Msg == CM_HINTSHOW) ++asked;
  });
  auto hintShown = [] { return Application->HintWindow() && Application->HintWindow()->Showing(); };
  struct TCase {
    const char* Name;
    POINT At;
    const char* Text;  // null: no hint
  };
  const TCase cases[] = {{"the button", ButtonCentre(edit, 0), "Browse for a file"},
                         {"the body", POINT{20, 12}, "The edit"},
                         {"the border", POINT{0, 0}, nullptr}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Application->CancelHint();
    const POINT screen = edit->ClientToScreen(c.At);
    SetCursorPos(screen.x, screen.y);
    SendMessageA(edit->Handle(), WM_MOUSEMOVE, 0, At(c.At));
    asked = 0;
    edit->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(edit));
    ASSERT_TRUE(RunMessagesUntil([&] { return asked > 0; }, 2000));
    RunMessagesUntilIdle();
    if (!c.Text) {
      EXPECT_FALSE(hintShown());
      continue;
    }
    ASSERT_TRUE(hintShown());
    THintWindow* window = Application->HintWindow();
    EXPECT_EQ(window->Text(), c.Text);
    const RECT needed = window->CalcHintRect(Screen->Width(), c.Text);
    EXPECT_EQ(window->Width(), needed.right - needed.left);
    EXPECT_EQ(window->Height(), needed.bottom - needed.top);
    // The hint stands under the cursor.
    EXPECT_EQ(window->Left(), screen.x);
  }
  edit->WindowProc = inherited;
  Application->CancelHint();
  Application->SetHintPause(pause);
  SetCursorPos(1000, 900);
}

TEST_F(EditControl, ActivationByMouseMakesTheNextPressADoubleClick) {
  FForm->Show();
  RunMessagesUntilIdle();
  auto* edit = Place(10, 10, 160, true);
  Wire(edit);
  TcxCustomEditData* data = nullptr;
  const POINT inParent{10 + 20, 10 + 12};
  edit->ActivateByMouse(TShiftState{ssLeft}, inParent.x, inParent.y, data);
  EXPECT_EQ(GetFocus(), edit->Handle());
  EXPECT_TRUE(edit->DblClickTimerRunning());
  EXPECT_NE(GetCapture(), edit->Handle()) << "no capture is left without the button down";
  R.DblClicks = 0;
  SendMessageA(edit->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 12));
  SendMessageA(edit->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(20, 12));
  EXPECT_EQ(R.DblClicks, 1);
  EXPECT_FALSE(edit->DblClickTimerRunning());
  // A key activation needs no data class; the data object, when there is one, is filled once.
  TcxCustomEditData own(edit);
  TcxCustomEditData* given = &own;
  edit->ActivateInPlace(given);
  EXPECT_EQ(edit->InPlaceEditData(), &own);
  EXPECT_FALSE(own.Cleared);
  own.Clear();
  EXPECT_FALSE(own.Cleared) << "the current data is refilled at once";
}

TEST_F(EditControl, AnAcceleratorOfAnEnabledTextButtonClicksIt) {
  auto* edit = Place(10, 10);
  Wire(edit);
  auto* ellipsis = edit->Properties()->Buttons()->AddButton();
  ellipsis->SetKind(bkEllipsis);
  auto* text = edit->Properties()->Buttons()->AddButton();
  text->SetKind(bkText);
  text->SetCaption("&Go");
  ShowAndFocus(edit);
  struct TCase {
    const char* Name;
    bool Enabled;
    char Key;
    LRESULT Result;
    std::vector<int> Clicks;
  };
  const TCase cases[] = {{"enabled", true, 'g', 1, {1}}, {"another letter", true, 'o', 0, {}},
                         {"disabled", false, 'g', 0, {}}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    text->SetEnabled(c.Enabled);
    R.ButtonClicks.clear();
    EXPECT_EQ(SendMessageA(edit->Handle(), CM_DIALOGCHAR, c.Key, 0), c.Result);
    EXPECT_EQ(R.ButtonClicks, c.Clicks);
  }
}

TEST_F(EditControl, LeavingWithAnInvalidValueKeepsTheFocus) {
  auto* other = Place(10, 80);
  auto* edit = Place(10, 10);
  Wire(edit);
  edit->Properties()->OnValidate = TcxEditValidateEvent::Lambda([](TObject*, TcxEditValue&, AnsiString& text, bool& error) {
    error = true;
    text = "Not a number";
  });
  ShowAndFocus(edit);
  PostChar(edit->Handle(), '7');
  RunMessagesUntilIdle();
  R.Errors.clear();
  R.Exits = 0;
  other->SetFocus();
  RunMessagesUntilIdle();
  EXPECT_EQ(R.Errors, (std::vector<std::string>{"Not a number"}));
  EXPECT_EQ(R.Exits, 0) << "OnExit does not fire";
  EXPECT_EQ(GetFocus(), edit->Handle()) << "the focus came back";
  EXPECT_EQ(edit->Text, "7");
  // A valid value leaves, is posted and the edit is no longer modified.
  edit->Properties()->OnValidate = nullptr;
  other->SetFocus();
  RunMessagesUntilIdle();
  EXPECT_EQ(GetFocus(), other->Handle());
  EXPECT_EQ(R.Exits, 1);
  EXPECT_FALSE(edit->Modified());
  EXPECT_EQ(edit->EditValue().AsString(), "7");
}

TEST_F(EditControl, LoadingFiresNoChangeEvents) {
  auto* edit = New<TTestPlainEdit>(FForm);
  Wire(edit);
  edit->BeginLoading();
  edit->SetEditValue(3);
  edit->LockChangeEvents(true);
  edit->FireChange();
  edit->LockChangeEvents(false);
  static_cast<TComponent*>(edit)->Loaded();
  EXPECT_TRUE(R.Events.empty());
  EXPECT_EQ(edit->EditValue().AsInteger(), 3);
  edit->SetParent(FForm);
  edit->SetEditValue(4);
  EXPECT_EQ(R.Events, (std::vector<std::string>{"value", "change"}));
}

TEST_F(EditControl, AFormStoresTheValueTheSizeAutoSizeLeavesAndTheProperties) {
  struct TCase {
    const char* Name;
    bool AutoSize;
    Variant Value;
    std::vector<std::string> Written;
    std::vector<std::string> NotWritten;
  };
  const TCase cases[] = {
      {"auto size, a number", true, Variant(int32_t(42)), {"EditValue = 42", "Width = 160"}, {"    Height =", "AutoSize ="}},
      {"fixed size, a text", false, Variant("it's"), {"EditValue = 'it''s'", "    Height = 24", "AutoSize = False"}, {}},
      {"a null value", true, Variant::Null(), {}, {"EditValue", "    Height ="}},
      // Dates and currency amounts come back with their own types.
      {"a date with a time", true, Variant::FromDate(45000.75), {"EditValue = 45000.75d"}, {}},
      {"a currency amount", true, Variant(Currency::FromRaw(-123456789)), {"EditValue = -12345.6789c"}, {}},
      {"a whole currency amount", true, Variant(Currency::FromInt(7)), {"EditValue = 7.0c"}, {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* form = New<TForm>(nullptr);
    auto* edit = New<TTestPlainEdit>(form);
    edit->SetName("Edit1");
    edit->SetParent(form);
    edit->SetAutoSize(c.AutoSize);
    edit->SetBounds(8, 8, 160, 24);
    edit->SetEditValue(c.Value);
    edit->Properties()->SetValidateOnEnter(true);
    edit->Style()->SetColor(clYellow);
    const AnsiString text = WriteComponentText(form);
    for (const std::string& part : c.Written) EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
    for (const std::string& part : c.NotWritten) EXPECT_EQ(text.find(part), std::string::npos) << part << "\n" << text;
    EXPECT_NE(text.find("Properties.ValidateOnEnter = True"), std::string::npos) << text;

    auto* back = New<TForm>(nullptr);
    ReadComponentText(text, back, "EditForm");
    auto* read = ObjectAs<TTestPlainEdit>(back->FindComponent("Edit1"));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->AutoSize(), c.AutoSize);
    EXPECT_EQ(read->EditValue().VarType(), c.Value.IsNull() ? varEmpty : c.Value.VarType());
    EXPECT_EQ(TextOf(read->EditValue()), TextOf(c.Value));
    if (c.Value.VarType() == varCurrency) {
      EXPECT_EQ(read->EditValue().AsCurrency().Raw, c.Value.AsCurrency().Raw);
    }
    if (c.Value.VarType() == varDate) {
      EXPECT_EQ(read->EditValue().AsDate(), c.Value.AsDate());
    }
    EXPECT_EQ(read->Text, TextOf(c.Value)) << "the value read is shown";
    EXPECT_TRUE(read->Properties()->ValidateOnEnter());
    EXPECT_EQ(read->Style()->GetColor(), clYellow);
    EXPECT_FALSE(read->Modified());
    EXPECT_EQ(WriteComponentText(back), text);
    Free(back);
    Free(form);
  }
}

TEST_F(EditControl, APaintedCopyOfAnEditBoundToStorageShowsTheStoredValue) {
  FForm->Show();
  RunMessagesUntilIdle();
  auto* stored = Place<TStorageEdit>(10, 10);
  auto* plain = Place(10, 50);
  for (TcxCustomEdit* edit : {static_cast<TcxCustomEdit*>(stored), static_cast<TcxCustomEdit*>(plain)}) {
    edit->Style()->SetColor(clYellow);
    edit->SetEditValue(Variant("live"));
  }
  RunMessagesUntilIdle();
  struct TCase {
    const char* Name;
    TcxCustomEdit* Edit;
    bool Copy;
    std::vector<std::string> Filled;  // the values the painting asked to show
  };
  const TCase cases[] = {{"a copy of the stored edit", stored, true, {"stored"}},
                         {"the stored edit on screen", stored, false, {}},
                         {"a copy of an edit without storage", plain, true, {}}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TcxCustomEditViewInfo* live = c.Edit->EditViewInfo();
    const RECT liveBounds = live->Bounds;
    TTestViewData::FilledValues().clear();
    const int w = c.Edit->Width(), h = c.Edit->TcxContainer::Height();
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    PatBlt(dc, 0, 0, w, h, BLACKNESS);
    if (c.Copy) c.Edit->SetControlState(c.Edit->ControlState() + csPaintCopy);
    SendMessageA(c.Edit->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    if (c.Copy) c.Edit->SetControlState(c.Edit->ControlState() - csPaintCopy);
    EXPECT_EQ(GetPixel(dc, w / 2, 3), static_cast<COLORREF>(RGB(255, 255, 0))) << "the background is painted";
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    std::vector<std::string> filled;
    for (const Variant& v : TTestViewData::FilledValues()) filled.push_back(TextOf(v));
    EXPECT_EQ(filled, c.Filled);
    EXPECT_EQ(c.Edit->EditViewInfo(), live) << "the edit's own view info stays";
    EXPECT_TRUE(EqualRect(&live->Bounds, &liveBounds));
    EXPECT_EQ(TextOf(c.Edit->EditValue()), "live");
  }
}

TEST_F(EditControl, TheFocusReallyLeavesOnlyWhenNoExitWillCome) {
  enum class TMove { kToForeignChild, kToOtherForm };
  struct TCase {
    const char* Name;
    bool WithSibling;
    TMove Move;
    int Validations;
  };
  const TCase cases[] = {
      {"alone, to a window of its form that is no control", false, TMove::kToForeignChild, 1},
      {"beside another control, to such a window", true, TMove::kToForeignChild, 0},
      {"alone, to another form", false, TMove::kToOtherForm, 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* form = New<TForm>(nullptr);
    form->SetBounds(60, 60, 300, 160);
    auto* edit = New<TTestPlainEdit>(form);
    edit->SetParent(form);
    edit->SetBounds(10, 10, 160, 24);
    if (c.WithSibling) {
      auto* sibling = New<TButton>(form);
      sibling->SetParent(form);
      sibling->SetBounds(10, 60, 80, 25);
    }
    int validations = 0;
    edit->Properties()->OnValidate =
        TcxEditValidateEvent::Lambda([&](TObject*, TcxEditValue&, AnsiString&, bool&) { ++validations; });
    auto* other = New<TForm>(nullptr);
    other->SetBounds(400, 60, 200, 120);
    other->Show();
    form->Show();
    RunMessagesUntilIdle();
    edit->SetFocus();
    PostChar(edit->Handle(), 'x');
    RunMessagesUntilIdle();
    ASSERT_TRUE(edit->Modified());
    HWND foreign = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 10, 100, 80, 20, form->Handle(), nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
    if (c.Move == TMove::kToForeignChild) {
      SetFocus(foreign);
    } else {
      SetForegroundWindow(other->Handle());
      SetFocus(other->Handle());
    }
    RunMessagesUntilIdle();
    ASSERT_NE(GetFocus(), edit->Handle());
    EXPECT_EQ(validations, c.Validations);
    EXPECT_EQ(edit->Validated(), c.Validations > 0);
    EXPECT_TRUE(R.Errors.empty());
    DestroyWindow(foreign);
    Free(other);
    Free(form);
  }
}

TEST_F(EditControl, AModalFormClosedWithAnAnswerValidatesItsEditQuietly) {
  struct TCase {
    const char* Name;
    TModalResult Result;
    int Validations;
  };
  const TCase cases[] = {{"OK", mrOk, 1}, {"Cancel", mrCancel, 0}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* form = New<TForm>(nullptr);
    form->SetBounds(60, 60, 300, 160);
    auto* edit = New<TTestPlainEdit>(form);
    edit->SetParent(form);
    edit->SetBounds(10, 10, 160, 24);
    int validations = 0;
    edit->Properties()->OnValidate = TcxEditValidateEvent::Lambda([&](TObject*, TcxEditValue&, AnsiString& text, bool& error) {
      ++validations;
      error = true;  // refused quietly: nothing is raised
      text = "Refused";
    });
    // The typed character ends the dialog with the case's answer.
    edit->Properties()->OnChange = TNotifyEvent::Lambda([&](TObject*) { form->SetModalResult(c.Result); });
    form->SetActiveControl(edit);
    form->OnShow = TNotifyEvent::Lambda([&](TObject*) { PostChar(edit->Handle(), 'x'); });
    EXPECT_EQ(form->ShowModal(), c.Result);
    RunMessagesUntilIdle();
    EXPECT_EQ(validations, c.Validations);
    EXPECT_TRUE(R.Errors.empty());
    EXPECT_EQ(edit->Text, "x") << "nothing typed is lost";
    Free(form);
  }
}

TEST_F(EditControl, PropertiesAreAppliedOnceAtTheFirstParentAndOnceAfterLoading) {
  // Made in code: the first parent applies them, a later one does not.
  auto* made = New<TCountingEdit>(FForm);
  const int atCreation = made->Applied;
  made->SetParent(FForm);
  EXPECT_EQ(made->Applied, atCreation + 1);
  auto* panel = New<TPanel>(FForm);
  panel->SetParent(FForm);
  made->SetParent(panel);
  EXPECT_EQ(made->Applied, atCreation + 1);

  // Read from a form: the properties read are applied together at the end.
  auto* form = New<TForm>(nullptr);
  ReadComponentText("object F: TForm\n"
                    "  object Edit1: TCountingEdit\n"
                    "    Properties.ClearKey = 46\n"
                    "    Properties.ReadOnly = True\n"
                    "    Properties.ValidateOnEnter = True\n"
                    "  end\n"
                    "end\n",
                    form, "CountingForm");
  auto* read = ObjectAs<TCountingEdit>(form->FindComponent("Edit1"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Applied, atCreation + 2) << "the first parent and the end of loading";
  EXPECT_TRUE(read->IsReadOnlyNow());
  // Changes after loading are applied as they come.
  read->Properties()->SetReadOnly(false);
  EXPECT_EQ(read->Applied, atCreation + 3);
  EXPECT_FALSE(read->IsReadOnlyNow());
  Free(form);
}

}  // namespace


TEST_F(EditControl, TheClosePopupEventFiresOnTheOwnPropertiesThenOnTheItems) {
  auto* repository = New<TcxEditRepository>(FForm);
  auto* item = New<TTestItem>(FForm);
  item->SetRepository(repository);
  auto* edit = Place(10, 10);
  std::vector<std::string> heard;
  edit->Properties()->OnPopupClosed = TcxEditClosePopupEvent::Lambda([&](TObject* sender, TcxEditCloseUpReason reason) {
    EXPECT_EQ(sender, edit);
    heard.push_back("own " + std::to_string(static_cast<int>(reason)));
  });
  item->Properties()->OnPopupClosed = TcxEditClosePopupEvent::Lambda([&](TObject* sender, TcxEditCloseUpReason reason) {
    EXPECT_EQ(sender, edit);
    heard.push_back("item " + std::to_string(static_cast<int>(reason)));
  });
  edit->FireClosePopupEvent(crEnter);
  EXPECT_EQ(heard, (std::vector<std::string>{"own 4"})) << "no item: the own properties only";
  heard.clear();
  edit->SetRepositoryItem(item);
  edit->FireClosePopupEvent(crCancel);
  EXPECT_EQ(heard, (std::vector<std::string>{"own 3", "item 3"}));
}

TEST_F(EditControl, TheWheelActsStandaloneAndInPlaceOnlyWhenAllowedOrForced) {
  struct TCase {
    const char* Name;
    bool InPlace;
    bool WheelEnabled;
    unsigned Flags;
    bool Allowed;
  };
  const TCase cases[] = {
      {"standalone, wheel off", false, false, 0, true},
      {"in place, wheel on", true, true, 0, true},
      {"in place, wheel off", true, false, 0, false},
      {"in place, wheel off, forced", true, false, 4, true},
      {"in place, wheel off, other flags", true, false, 3, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* edit = Place(10, 10, 160, c.InPlace);
    edit->Properties()->SetMouseWheelEnabled(c.WheelEnabled);
    EXPECT_EQ(edit->WheelAllowed(c.Flags), c.Allowed);
    Free(edit);
  }
}

TEST_F(EditControl, OwnWindowsAreTheEditsAndItsChildren) {
  auto* edit = Place<TTestInnerEdit>(10, 10);
  auto* other = Place(10, 50);
  FForm->Show();
  RunMessagesUntilIdle();
  const HWND inner = edit->Inner()->Handle();
  // A popup made over the edit is owned by the edit's top-level window: a
  // drop-down editor answers for the popup it keeps itself.
  const HWND stranger = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0, 10, 10, edit->Handle(),
                                        nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_TRUE(stranger);
  struct TCase {
    const char* Name;
    HWND Window;
    bool Own;
  };
  const TCase cases[] = {
      {"the edit", edit->Handle(), true},       {"its inner window", inner, true},
      {"another edit", other->Handle(), false}, {"the form", FForm->Handle(), false},
      {"a popup of the form", stranger, false}, {"no window", nullptr, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(edit->IsOwnWindow(c.Window), c.Own);
  }
  DestroyWindow(stranger);
}

TEST_F(EditControl, AnAutoSizedEditKeepsTheHeightItsValueNeedsWhateverItIsGiven) {
  auto* edit = Place(10, 10);
  FForm->Show();
  RunMessagesUntilIdle();
  const int natural = edit->Height();
  ASSERT_GT(natural, 0);
  struct TCase {
    const char* Name;
    int Height;
  };
  const TCase cases[] = {{"taller", natural + 40}, {"shorter", 3}, {"the same", natural}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    edit->SetBounds(10, 10, 150, c.Height);
    EXPECT_EQ(edit->Height(), natural);
    EXPECT_EQ(edit->Width(), 150) << "buttons that are not auto-width leave the width alone";
    RECT r{};
    GetWindowRect(edit->Handle(), &r);
    EXPECT_EQ(r.bottom - r.top, natural) << "the window too";
  }
  // Without auto size, and while loading, the size given is kept.
  edit->SetAutoSize(false);
  edit->SetBounds(10, 10, 150, natural + 40);
  EXPECT_EQ(edit->Height(), natural + 40);
  edit->SetAutoSize(true);
  EXPECT_EQ(edit->Height(), natural) << "switching auto size on sizes again";
  // A form being read sets the stored size as it is.
  auto* loading = New<TTestPlainEdit>(FForm);
  loading->BeginLoading();
  loading->SetBounds(10, 60, 150, natural + 7);
  const RECT r = loading->BoundsRect();
  EXPECT_EQ(r.bottom - r.top, natural + 7);
}

TEST_F(EditControl, AVisibleInPlaceEditStandsInForItsHostInTheTabOrder) {
  auto* before = Place(10, 10);
  auto* host = New<TPanel>(FForm);
  host->SetParent(FForm);
  host->SetBounds(10, 50, 200, 60);
  host->SetTabStop(true);
  auto* edit = New<TTestPlainEdit>(FForm, true);
  edit->SetParent(host);
  edit->SetBounds(4, 4, 150, 24);
  auto* standalone = New<TTestPlainEdit>(FForm);
  standalone->SetParent(host);
  standalone->SetBounds(4, 30, 150, 24);
  struct TCase {
    const char* Name;
    bool InPlaceVisible;
    bool HostListed;
  };
  const TCase cases[] = {{"the in-place edit showing", true, false}, {"the in-place edit hidden", false, true}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    edit->SetVisible(c.InPlaceVisible);
    std::vector<TWinControl*> list;
    FForm->GetTabOrderList(list);
    const auto has = [&](TWinControl* control) { return std::find(list.begin(), list.end(), control) != list.end(); };
    EXPECT_EQ(has(host), c.HostListed);
    EXPECT_TRUE(has(before));
    EXPECT_TRUE(has(edit));
    EXPECT_TRUE(has(standalone)) << "a standalone child leaves its parent listed only through the in-place edit's rule";
  }
}

// A form with one handler its edits' design-time grouping names.
class TEventsForm : public TForm {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TForm::TForm;
  void EditPropertiesEvents(TObject*) { ++Calls; }
  int Calls = 0;
};
const TClassInfo TEventsForm::ClassInfo{"TEventsForm", &TForm::ClassInfo, nullptr};
const TPublishedRegistration eventsFormRegistration(&TEventsForm::ClassInfo, {
    Method<&TEventsForm::EditPropertiesEvents>("EditPropertiesEvents"),
});

TEST_F(EditControl, PropertiesEventsIsReadAndWrittenButNeverCalled) {
  const AnsiString text =
      "object EventsForm: TEventsForm\n"
      "  object Edit1: TTestPlainEdit\n"
      "    Left = 8\n"
      "    Top = 8\n"
      "    Width = 160\n"
      "    PropertiesEvents = EditPropertiesEvents\n"
      "  end\n"
      "end\n";
  auto* form = New<TEventsForm>(nullptr);
  ReadComponentText(text, form, "EventsForm");
  auto* edit = ObjectAs<TTestPlainEdit>(form->FindComponent("Edit1"));
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(static_cast<bool>(edit->PropertiesEvents)) << "the handler is bound by name";
  edit->SetParent(form);
  edit->SetEditValue(5);
  edit->Properties()->SetReadOnly(true);
  edit->Properties()->SetValidateOnEnter(true);
  EXPECT_EQ(form->Calls, 0) << "no run-time use";
  const AnsiString written = WriteComponentText(form);
  EXPECT_NE(written.find("PropertiesEvents = EditPropertiesEvents"), std::string::npos) << written;
  Free(form);
}
