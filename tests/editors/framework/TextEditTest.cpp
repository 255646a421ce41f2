// The text edit on a form like the sign-in window: typing and the text
// messages, OnKeyPress, OnEnter/OnExit, the maximum length in characters
// typed and pasted, completion in a fixed list, the lookup data's search
// and steps, handle counts, and a screenshot (text-edits-lookup.png).
#include "editors/framework/TextEdit.h"
#include "editors/framework/EditRepository.h"
#include "editors/framework/Formats.h"
#include "platform/Clipboard.h"
#include "platform/ExtCtrls.h"
#include "platform/FormResource.h"
#include "platform/Forms.h"
#include "platform/HandleCounts.h"
#include "tests/editors/framework/EditorFixture.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

class TListProperties : public TcxTextEditProperties {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxTextEditProperties::TcxTextEditProperties;
  int EditingStyle() const override { return Style; }
  int Style = 2;
};
const TClassInfo TListProperties::ClassInfo{
    "TListProperties", &TcxTextEditProperties::ClassInfo,
    [](TObject* owner) -> TObject* { return new TListProperties(static_cast<TPersistent*>(owner)); }};

class TListEdit : public TcxTextEdit {
public:
  using TcxTextEdit::TcxTextEdit;
  TClass PropertiesClass() const override { return &TListProperties::ClassInfo; }
  TListProperties* List() const { return static_cast<TListProperties*>(TcxCustomEdit::Properties()); }
};

// A list box whose item texts come from the lookup data.
class TLookupListBox : public TcxCustomEditListBox {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomEditListBox::TcxCustomEditListBox;
  AnsiString ItemTextAt(int index) override { return Edit()->LookupData()->TextOfKey(index); }
};
const TClassInfo TLookupListBox::ClassInfo{
    "TLookupListBox", &TcxCustomEditListBox::ClassInfo,
    [](TObject* owner) -> TObject* { return new TLookupListBox(static_cast<TComponent*>(owner)); }};

// Lookup data that shows its items in a list, as a drop-down's does.
class TShownLookupData : public TcxCustomTextEditLookupData {
public:
  using TcxCustomTextEditLookupData::TcxCustomTextEditLookupData;
  TClass ListClass() const override { return &TLookupListBox::ClassInfo; }
};

class TListingEdit : public TListEdit {
public:
  using TListEdit::TListEdit;
  TcxCustomTextEditLookupData* NewLookupData() override { return new TShownLookupData(this); }
};

class TTextRepositoryItem : public TcxEditRepositoryItem {
public:
  using TcxEditRepositoryItem::TcxEditRepositoryItem;
  TClass PropertiesClass() const override { return &TcxTextEditProperties::ClassInfo; }
};

struct TRecorder {
  std::vector<int> Chars;
  int Enters = 0, Exits = 0, Changes = 0;
  void KeyPress(TObject*, char& key) { Chars.push_back(static_cast<unsigned char>(key)); }
  void Enter(TObject*) { ++Enters; }
  void Exit(TObject*) { ++Exits; }
  void Change(TObject*) { ++Changes; }
};

class TextEdit : public ::testing::Test {
protected:
  void SetUp() override {
    editor_test::StartEditorUnits();
    cxTextEditInit();
    FForm = New<TForm>(nullptr);
    FForm->SetBounds(60, 60, 420, 300);
    FForm->SetCaption("Sign in");
  }
  void TearDown() override {
    Free(FForm);
    cxTextEditDone();
    editor_test::FinishEditorUnits();
  }
  template <class T = TcxTextEdit>
  T* Place(const char* name, int left, int top, bool styled = true) {
    auto* edit = New<T>(FForm);
    edit->SetName(name);
    edit->SetParent(FForm);
    edit->SetBounds(left, top, 209, 21);
    if (styled) {
      edit->Style()->SetEditBorderStyle(ebsUltraFlat);
      edit->Style()->SetShadow(true);
    }
    return edit;
  }
  void ShowAndFocus(TWinControl* control) {
    FForm->Show();
    RunMessagesUntilIdle();
    control->SetFocus();
    RunMessagesUntilIdle();
  }
  // A fixed list of Alpha, Beta and Gamma whose list is prepared in a panel
  // of the shown form.
  TListingEdit* ShowListOfThree() {
    auto* edit = Place<TListingEdit>("edlist", 10, 10);
    edit->List()->Style = 2;
    for (const char* item : {"Alpha", "Beta", "Gamma"}) edit->List()->LookupItems()->Add(item);
    FForm->Show();
    RunMessagesUntilIdle();
    auto* panel = New<TPanel>(FForm);
    panel->SetParent(FForm);
    panel->SetBounds(10, 60, 200, 120);
    edit->LookupData()->PrepareList(panel);
    return edit;
  }
  static HWND InnerOf(TcxTextEdit* edit) { return edit->InnerTextEdit()->Handle(); }
  static void Type(HWND wnd, const AnsiString& text) {
    for (char c : text) PostChar(wnd, c);
    RunMessagesUntilIdle();
  }
  // Double-byte characters come as the input method delivers them.
  static void TypeIme(HWND wnd, const AnsiString& text) {
    for (size_t i = 0; i < text.size(); ++i) {
      const auto lead = static_cast<unsigned char>(text[i]);
      WPARAM code = lead;
      if (IsDBCSLeadByte(lead) && i + 1 < text.size()) code = (code << 8) | static_cast<unsigned char>(text[++i]);
      SendMessageA(wnd, WM_IME_CHAR, code, 1);
    }
    RunMessagesUntilIdle();
  }
  static std::string GetText(TcxTextEdit* edit, WPARAM size = 256) {
    char buffer[256] = "untouched";
    const LRESULT n = SendMessageA(edit->Handle(), WM_GETTEXT, size, reinterpret_cast<LPARAM>(buffer));
    return size == 0 ? std::to_string(n) : std::string(buffer, static_cast<size_t>(n));
  }

  TRecorder R;
  TForm* FForm = nullptr;
};

TEST_F(TextEdit, TypedTextComesBackThroughTheTextMessages) {
  auto* edem = Place("edem", 10, 10);
  ShowAndFocus(edem);
  Type(InnerOf(edem), "me@example");
  EXPECT_EQ(GetText(edem), "me@example");
  EXPECT_EQ(SendMessageA(edem->Handle(), WM_GETTEXTLENGTH, 0, 0), 10);
  EXPECT_TRUE(edem->Modified());
  struct TCase {
    const char* Name;
    WPARAM Size;
    bool NullBuffer;
    LRESULT Expected;
    std::string Text;
  };
  const TCase cases[] = {
      {"a one-byte buffer", 1, false, 0, ""},
      {"no buffer size", 0, false, 0, "untouched"},
      {"a null buffer", 64, true, 0, "untouched"},
      {"a short buffer", 4, false, 3, "me@"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    char buffer[64] = "untouched";
    const LRESULT n = SendMessageA(edem->Handle(), WM_GETTEXT, c.Size,
                                   c.NullBuffer ? 0 : reinterpret_cast<LPARAM>(buffer));
    EXPECT_EQ(n, c.Expected);
    EXPECT_EQ(std::string(buffer), c.Text);
  }
  EXPECT_EQ(SendMessageA(edem->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("")), 1);
  EXPECT_EQ(GetText(edem), "");
  EXPECT_EQ(edem->InnerTextEdit()->Text(), "") << "the inner edit shows it";
  EXPECT_EQ(SendMessageA(edem->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("nick")), 1);
  EXPECT_EQ(VarToStr(edem->EditValue()), "nick") << "a text set by code is the value at once";
}

TEST_F(TextEdit, KeyPressSeesEnterAndFocusEventsFire) {
  auto* edem = Place("edem", 10, 10);
  auto* edyz = Place("edyz", 10, 40);
  auto* edid = Place("edid", 10, 70);
  edid->SetVisible(false);
  edem->OnKeyPress = TKeyPressEvent::Bind<&TRecorder::KeyPress>(&R);
  edem->OnEnter = TNotifyEvent::Bind<&TRecorder::Enter>(&R);
  edem->OnExit = TNotifyEvent::Bind<&TRecorder::Exit>(&R);
  ShowAndFocus(edem);
  EXPECT_EQ(R.Enters, 1);
  PostChar(InnerOf(edem), '\r');
  RunMessagesUntilIdle();
  ASSERT_FALSE(R.Chars.empty());
  EXPECT_EQ(R.Chars.back(), 13);
  edyz->SetFocus();
  RunMessagesUntilIdle();
  EXPECT_EQ(R.Exits, 1);
  EXPECT_EQ(GetFocus(), InnerOf(edyz));
}

TEST_F(TextEdit, ARefusedTextLeavesTheValueAsItWas) {
  auto* edit = Place<TListEdit>("edlist", 10, 10);
  edit->List()->LookupItems()->Add("Alpha");
  edit->List()->LookupItems()->Add("Beta");
  FForm->Show();
  RunMessagesUntilIdle();
  EXPECT_EQ(SendMessageA(edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Beta")), 1);
  EXPECT_EQ(SendMessageA(edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Gamma")), 0);
  EXPECT_EQ(GetText(edit), "Beta");
  EXPECT_EQ(VarToStr(edit->EditValue()), "Beta");
}

TEST_F(TextEdit, MaxLengthCountsDoubleByteCharactersTypedOrPasted) {
  auto* edit = Place("edyz", 10, 10);
  edit->Properties()->SetMaxLength(3);
  ShowAndFocus(edit);
  const AnsiString three = "中文字";
  ASSERT_EQ(three.size(), 6u);
  TypeIme(InnerOf(edit), three);
  EXPECT_EQ(GetText(edit), three);
  TypeIme(InnerOf(edit), "符");
  EXPECT_EQ(GetText(edit), three) << "no fourth character typed";
  Clipboard()->SetAsText("ab");
  SendMessageA(InnerOf(edit), WM_PASTE, 0, 0);
  RunMessagesUntilIdle();
  EXPECT_EQ(GetText(edit), three) << "nor pasted at the end";
  // Into the middle: the characters before the caret stay, the excess at
  // the end goes.
  edit->SelectRange(2, 0);
  SendMessageA(InnerOf(edit), WM_PASTE, 0, 0);
  RunMessagesUntilIdle();
  EXPECT_EQ(GetText(edit), "中ab");
  EXPECT_EQ(edit->SelStart(), 4);
}

TEST_F(TextEdit, PastedTextLosesAHalfCharacterAtItsEnd) {
  auto* edit = Place("edyz", 10, 10);
  ShowAndFocus(edit);
  const AnsiString word = "中";
  Clipboard()->SetAsText(AnsiString("ab") + word[0]);
  SendMessageA(InnerOf(edit), WM_PASTE, 0, 0);
  RunMessagesUntilIdle();
  EXPECT_EQ(GetText(edit), "ab");
}

TEST_F(TextEdit, AFixedListCompletesTypedPrefixesAndDropsStrangers) {
  auto* edit = Place<TListEdit>("edlist", 10, 10);
  edit->List()->LookupItems()->Add("Alpha");
  edit->List()->LookupItems()->Add("Beta");
  ShowAndFocus(edit);
  Type(InnerOf(edit), "b");
  EXPECT_EQ(GetText(edit), "Beta");
  EXPECT_TRUE(edit->CaretShown());
  EXPECT_EQ(edit->SelStart(), 1);
  EXPECT_EQ(edit->SelLength(), 3) << "\"eta\" selected";
  EXPECT_EQ(edit->SelText(), "eta");
  EXPECT_EQ(edit->ItemIndex(), 1);
  Type(InnerOf(edit), "x");
  EXPECT_EQ(GetText(edit), "Beta") << "x is dropped";
  EXPECT_EQ(edit->ItemIndex(), 1);
}

TEST_F(TextEdit, AnEditableListCompletesAndKeepsStrangers) {
  auto* edit = Place<TListEdit>("edlist", 10, 10);
  edit->List()->Style = 1;
  edit->List()->LookupItems()->Add("Alpha");
  edit->List()->LookupItems()->Add("Beta");
  ShowAndFocus(edit);
  Type(InnerOf(edit), "al");
  EXPECT_EQ(GetText(edit), "Alpha");
  EXPECT_EQ(edit->SelText(), "pha");
}

TEST_F(TextEdit, TheFormWritesItsTextEditsAndReadsThemBack) {
  // The edit style is not written with the form: plain edits here.
  auto* edem = Place("edem", 10, 10, false);
  edem->Properties()->SetMaxLength(3);
  edem->Properties()->SetEchoMode(eemPassword);
  edem->Properties()->SetCharCase(ecUpperCase);
  edem->Properties()->LookupItems()->Add("Alpha");
  edem->SetBeepOnEnter(false);
  edem->SetText("NIC");
  auto* edid = Place("edid", 10, 40, false);
  edid->SetVisible(false);
  const AnsiString text = WriteComponentText(FForm);
  for (const char* line : {"object edem: TcxTextEdit", "Properties.MaxLength = 3", "Properties.EchoMode = eemPassword",
                           "Properties.CharCase = ecUpperCase", "BeepOnEnter = False", "Text = 'NIC'", "'Alpha'",
                           "object edid: TcxTextEdit"})
    EXPECT_NE(text.find(line), AnsiString::npos) << line << " missing in\n" << text;
  Free(edem);
  Free(edid);
  auto* form = New<TForm>(nullptr);
  ReadComponentText(text, form, FForm->Name());
  auto* read = ObjectAs<TcxTextEdit>(form->FindComponent("edem"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Properties()->MaxLength(), 3);
  EXPECT_EQ(read->Text(), "NIC");
  EXPECT_FALSE(read->BeepOnEnter());
  auto* readId = ObjectAs<TcxTextEdit>(form->FindComponent("edid"));
  ASSERT_NE(readId, nullptr);
  EXPECT_FALSE(readId->Properties()->TextValues()->MaxLength()) << "edid";
  EXPECT_FALSE(readId->Visible());
  const AnsiString again = WriteComponentText(form);
  for (const char* line : {"Properties.MaxLength = 3", "Properties.EchoMode = eemPassword",
                           "Properties.CharCase = ecUpperCase", "BeepOnEnter = False", "Text = 'NIC'", "'Alpha'"})
    EXPECT_NE(again.find(line), AnsiString::npos) << line << " missing in\n" << again;
  Free(form);
}

// -- The lookup data on its own ----------------------------------------------------------

TEST_F(TextEdit, IncrementalSearchFindsTheFirstItemInOrder) {
  auto* edit = Place<TListEdit>("edlist", 10, 10);
  edit->List()->Style = 1;
  for (const char* item : {"b", "ab", "Ba"}) edit->List()->LookupItems()->Add(item);
  struct TCase {
    AnsiString Typed;
    bool Found;
    AnsiString Text, Tail;
    int Key;  // a miss in an editable list keeps the current item
  };
  const TCase cases[] = {
      {"B", true, "b", "", 0}, {"a", true, "a", "b", 1}, {"BA", true, "Ba", "", 2}, {"c", false, "c", "", 2},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Typed);
    AnsiString text = c.Typed, tail;
    EXPECT_EQ(edit->LookupData()->LocateText(text, tail, false, false), c.Found);
    EXPECT_EQ(text, c.Text);
    EXPECT_EQ(tail, c.Tail);
    EXPECT_EQ(edit->LookupData()->CurrentKey(), c.Key);
  }
}

TEST_F(TextEdit, AnEmptyTextResetsTheCurrentItemOnlyInAnEditableList) {
  struct TCase {
    int Style;
    int KeyAfter;
  };
  const TCase cases[] = {{1, -1}, {2, 0}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Style);
    auto* edit = Place<TListEdit>("edlist", 10, 10);
    edit->List()->Style = c.Style;
    edit->List()->LookupItems()->Add("one");
    AnsiString text = "o", tail;
    ASSERT_TRUE(edit->LookupData()->LocateText(text, tail, false, false));
    text.clear();
    EXPECT_FALSE(edit->LookupData()->LocateText(text, tail, false, false));
    EXPECT_EQ(edit->LookupData()->CurrentKey(), c.KeyAfter);
    Free(edit);
  }
}

TEST_F(TextEdit, SteppingStopsAtTheEndsAndPagesByRows) {
  struct TCase {
    const char* Name;
    int Items;
    int From;
    TcxLookupStep Step;
    bool Wrap;
    int Expected;
  };
  const TCase cases[] = {
      {"next from the last stays", 5, 4, lsNext, false, 4},
      {"next from the last wraps", 5, 4, lsNext, true, 0},
      {"previous from the first stays", 5, 0, lsPrevious, false, 0},
      {"previous from none stays none", 5, -1, lsPrevious, false, -1},
      {"page down from 0, 8 rows", 20, 0, lsPageDown, false, 7},
      {"page down from 0, fewer items", 5, 0, lsPageDown, false, 4},
      {"page down from none", 20, -1, lsPageDown, false, 7},
      {"page up from 10", 20, 10, lsPageUp, false, 3},
      {"page up from 2", 20, 2, lsPageUp, false, 0},
      {"page up from 0 wraps", 20, 0, lsPageUp, true, 19},
      {"first", 5, 3, lsFirst, false, 0},
      {"last", 5, 1, lsLast, false, 4},
      {"no items", 0, -1, lsNext, false, -1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* edit = Place<TListEdit>("edlist", 10, 10);
    for (int i = 0; i < c.Items; ++i) edit->List()->LookupItems()->Add(AnsiString("item") + std::to_string(i));
    edit->LookupData()->SetCurrentKey(c.From);
    edit->LookupData()->Step(c.Step, c.Wrap);
    EXPECT_EQ(edit->LookupData()->CurrentKey(), c.Expected);
    if (c.Expected >= 0) {
      EXPECT_EQ(edit->Text(), AnsiString("item") + std::to_string(c.Expected));
    }
    Free(edit);
  }
}

// The properties an edit or a repository item makes are finished like any
// object made from a class reference: their assigned-values object is the
// text edit's, whose flags (such as "a maximum length was set") live past
// the base object. With the base object left in place, those flags were
// read from whatever memory followed it.
TEST_F(TextEdit, PropertiesMadeForAnEditOrAnItemCarryTheTextValues) {
  auto* edit = Place("edem", 10, 10, false);
  auto* item = New<TTextRepositoryItem>(FForm);
  for (TcxCustomEditProperties* properties : {static_cast<TcxCustomEditProperties*>(edit->Properties()), item->Properties()}) {
    ASSERT_NE(properties, nullptr);
    EXPECT_EQ(properties->AssignedValues()->ClassType(), &TcxTextEditPropertiesValues::ClassInfo);
    EXPECT_FALSE(static_cast<TcxTextEditProperties*>(properties)->IsMaxLengthStored());
  }
  Free(item);
  Free(edit);
}

TEST_F(TextEdit, AFormOfTextEditsWritesBackUnchanged) {
  auto* edem = Place("edem", 10, 10, false);
  edem->SetText("nick");
  auto* edyz = Place("edyz", 10, 40, false);
  edyz->Properties()->SetEchoMode(eemPassword);
  Place("edid", 10, 70, false)->SetVisible(false);
  const AnsiString text = WriteComponentText(FForm);
  EXPECT_EQ(text.find("MaxLength"), AnsiString::npos) << "no maximum length was set:\n" << text;
  auto* form = New<TForm>(nullptr);
  ReadComponentText(text, form, FForm->Name());
  const AnsiString again = WriteComponentText(form);
  EXPECT_EQ(again, text);
  Free(form);
}

TEST_F(TextEdit, TextPropertiesHearOfLocaleChangesWhileTheyLive) {
  TcxFormatController* controller = SharedFormatController();
  const int before = controller->ListenerCount();
  auto* edem = Place("edem", 10, 10);
  EXPECT_EQ(controller->ListenerCount(), before + 1) << "the edit's properties joined";
  int changes = 0;
  edem->Properties()->ChangeHandler = TNotifyEvent::Lambda([&](TObject*) {
    EXPECT_TRUE(edem->Properties()->FormatChanging());
    ++changes;
  });
  static char intl[] = "intl";
  ASSERT_NE(Application, nullptr);
  const bool saved = Application->UpdateFormatSettings();
  Application->SetUpdateFormatSettings(false);
  SendMessageA(controller->WindowHandle(), WM_WININICHANGE, 0, reinterpret_cast<LPARAM>(intl));
  EXPECT_EQ(changes, 0) << "the application keeps its formats";
  Application->SetUpdateFormatSettings(true);
  SendMessageA(controller->WindowHandle(), WM_WININICHANGE, 0, reinterpret_cast<LPARAM>(intl));
  EXPECT_EQ(changes, 1);
  Application->SetUpdateFormatSettings(saved);
  edem->Properties()->ChangeHandler = nullptr;
  Free(edem);
  EXPECT_EQ(controller->ListenerCount(), before) << "and left with them";
}

// -- The edit list box ---------------------------------------------------------------------

TEST_F(TextEdit, TheListMirrorsTheItemsAndDrawsTheirTexts) {
  TListingEdit* edit = ShowListOfThree();
  TcxCustomTextEditLookupData* data = edit->LookupData();
  TcxCustomEditListBox* list = data->ListControl();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->ItemCount(), 3) << "placeholders for the items";
  EXPECT_EQ(list->Items()->Strings(1), "") << "the texts are asked for when drawn";
  EXPECT_TRUE(list->DrawsFocusRect()) << "a fixed list";
  data->PlaceList(RECT{0, 0, 200, 120});
  list->SetColor(clWhite);
  list->Font()->SetColor(clBlack);
  RunMessagesUntilIdle();
  list->Repaint();
  // The second row shows "Beta" in dark pixels, 2 pixels in from the left.
  const RECT row = list->ItemRect(1);
  EXPECT_EQ(row.bottom - row.top, list->ItemHeightFromFont());
  HDC dc = GetDC(list->Handle());
  int dark = 0, leftmost = 1000;
  for (int y = row.top; y < row.bottom; ++y)
    for (int x = 0; x < 60; ++x) {
      const COLORREF c = GetPixel(dc, x, y);
      if (GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100) {
        ++dark;
        leftmost = std::min(leftmost, x);
      }
    }
  ReleaseDC(list->Handle(), dc);
  EXPECT_GT(dark, 10) << "text drawn";
  EXPECT_GE(leftmost, 2) << "two pixels of margin";
  // More items: the list follows when reloaded.
  edit->List()->LookupItems()->Add("Delta");
  data->RefreshList();
  EXPECT_EQ(list->ItemCount(), 4);
  edit->List()->LookupItems()->Clear();
  data->RefreshList();
  EXPECT_EQ(list->ItemCount(), 0);
}

TEST_F(TextEdit, WithTheListShownSteppingMovesOnlyTheListUntilAChoice) {
  TListingEdit* edit = ShowListOfThree();
  TcxCustomTextEditLookupData* data = edit->LookupData();
  data->PlaceList(RECT{0, 0, 200, 120});
  RunMessagesUntilIdle();
  TcxCustomEditListBox* list = data->ListControl();
  ASSERT_TRUE(list && list->HandleAllocated());
  data->Step(lsNext, false);
  EXPECT_EQ(data->CurrentKey(), -1) << "the text waits for a choice";
  EXPECT_EQ(data->ItemIndex(), 0);
  EXPECT_EQ(list->ItemIndex(), 0);
  data->Step(lsNext, false);
  EXPECT_EQ(list->ItemIndex(), 1);
  int selected = 0;
  const TNotifyEvent apply = data->OnSelectItem;
  data->OnSelectItem = TNotifyEvent::Lambda([&](TObject* sender) {
    ++selected;
    apply(sender);
  });
  data->ChooseListItem();
  EXPECT_EQ(data->CurrentKey(), 1);
  EXPECT_EQ(edit->Text(), "Beta");
  EXPECT_EQ(selected, 1);
  data->ChooseListItem();
  EXPECT_EQ(selected, 2) << "choosing the current item again applies it again";
  // A click in the list hands its item index to the lookup data.
  list->SetItemIndex(2);
  EXPECT_EQ(data->ItemIndex(), 2);
  // Hot tracking: the mouse over a row selects it.
  const RECT row = list->ItemRect(0);
  SendMessageA(list->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(row.left + 5, (row.top + row.bottom) / 2));
  EXPECT_EQ(list->ItemIndex(), 0);
  EXPECT_EQ(data->ItemIndex(), 0);
  // Hidden, the list no longer holds the text back.
  list->SetVisible(false);
  data->Step(lsLast, false);
  EXPECT_EQ(data->CurrentKey(), 2);
  EXPECT_EQ(edit->Text(), "Gamma");
  data->OnSelectItem = apply;
}

TEST_F(TextEdit, FiveHundredEditsMadeAndFreedKeepHandleCountsFlat) {
  FForm->Show();
  RunMessagesUntilIdle();
  auto makeAndFree = [&](int count) {
    for (int i = 0; i < count; ++i) {
      auto* edit = Place("", 10, 10);
      edit->HandleNeeded();
      SendMessageA(edit->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("text"));
      Free(edit);
    }
    RunMessagesUntilIdle();
  };
  makeAndFree(5);  // caches warm
  const THandleCounts before = HandleCounts();
  makeAndFree(500);
  EXPECT_EQ(HandleCounts(), before) << HandleCountsText(HandleCounts()) << " vs " << HandleCountsText(before);
}

TEST_F(TextEdit, Screenshot) {
  auto* edem = Place("edem", 20, 20);
  auto* edyz = Place("edyz", 20, 56);
  auto* edlist = Place<TListEdit>("edlist", 20, 92);
  edlist->List()->LookupItems()->Add("Alpha");
  edlist->List()->LookupItems()->Add("Beta");
  edyz->Properties()->SetEchoMode(eemPassword);
  SendMessageA(edem->HandleAllocated() ? edem->Handle() : (edem->HandleNeeded(), edem->Handle()), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>("me@example.com"));
  SendMessageA(edyz->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("secret"));
  ShowAndFocus(edlist);
  Type(InnerOf(edlist), "b");
  SaveScreenshot(FForm->Handle(), "text-edits-lookup");
  edem->SetFocus();
  RunMessagesUntilIdle();
  EXPECT_EQ(GetText(edlist), "Beta");
  EXPECT_EQ(GetText(edyz), "secret");
}

}  // namespace
