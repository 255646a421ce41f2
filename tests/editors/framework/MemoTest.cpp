// The memo on a form like the sign-in window: a read-only memo with a
// vertical scroll bar, Enter and Tab with and without WantReturns/WantTabs,
// the one-line display form, replacement line breaks, the visible-line
// count, the form round trip and handle counts; the text edit's unfocused
// text painted by the shared text layout (pixels); the text-edits.png
// screenshot.
#include "editors/framework/FilterEditHelpers.h"
#include "editors/framework/Memo.h"
#include "platform/StdCtrls.h"
#include "platform/FormResource.h"
#include "platform/Forms.h"
#include "platform/HandleCounts.h"
#include "tests/editors/framework/EditorFixture.h"

#include <algorithm>
#include <memory>
#include <string>
#include <utility>

using namespace testing_support;

namespace {

const char kAgreement[] =
    "Service rules\r\n"
    "1. The account is yours alone; keep your password to yourself.\r\n"
    "2. Messages you send are delivered as written and kept for 30 days.\r\n"
    "3. Files sent through the service are checked before they are delivered.\r\n"
    "4. Do not send what you have no right to send.\r\n"
    "5. The service may be paused for maintenance; you will be told first.\r\n"
    "6. Breaking these rules closes the account.\r\n"
    "7. These rules may change; the new rules show here at the next sign-in.\r\n"
    "8. Questions go to the help desk from the Help menu.";

// Holds Ctrl down in this thread's key state while it lives.
class TCtrlHeld {
public:
  TCtrlHeld() {
    GetKeyboardState(FSaved);
    BYTE state[256];
    std::copy(std::begin(FSaved), std::end(FSaved), state);
    state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
    SetKeyboardState(state);
  }
  ~TCtrlHeld() { SetKeyboardState(FSaved); }

private:
  BYTE FSaved[256]{};
};

struct TClicks {
  int Count = 0;
  void Click(TObject*) { ++Count; }
};

class Memo : public ::testing::Test {
protected:
  void SetUp() override {
    editor_test::StartEditorUnits();
    cxTextEditInit();
    cxMemoInit();
    FForm = New<TForm>(nullptr);
    FForm->SetName("fmSignIn");
    FForm->SetBounds(60, 60, 460, 300);
    FForm->SetCaption("Sign in");
  }
  void TearDown() override {
    Free(FForm);
    cxMemoDone();
    cxTextEditDone();
    editor_test::FinishEditorUnits();
  }
  TcxMemo* PlaceMemo(const char* name, int left, int top, int width = 209, int height = 169) {
    auto* memo = New<TcxMemo>(FForm);
    memo->SetName(name);
    memo->SetParent(FForm);
    memo->SetBounds(left, top, width, height);
    memo->Style()->SetEditBorderStyle(ebsUltraFlat);
    memo->Style()->SetShadow(true);
    return memo;
  }
  TcxTextEdit* PlaceEdit(const char* name, int left, int top) {
    auto* edit = New<TcxTextEdit>(FForm);
    edit->SetName(name);
    edit->SetParent(FForm);
    edit->SetBounds(left, top, 209, 21);
    edit->Style()->SetEditBorderStyle(ebsUltraFlat);
    edit->Style()->SetShadow(true);
    return edit;
  }
  void ShowAndFocus(TWinControl* control) {
    FForm->Show();
    RunMessagesUntilIdle();
    control->SetFocus();
    RunMessagesUntilIdle();
  }
  static HWND InnerOf(TcxCustomTextEdit* edit) { return edit->InnerTextEdit()->Handle(); }
  static std::string WindowText(HWND wnd) {
    char buffer[4096] = "";
    const LRESULT n = SendMessageA(wnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return std::string(buffer, static_cast<size_t>(n));
  }
  static void Type(HWND wnd, const std::string& text) {
    for (char c : text) PostChar(wnd, c);
    RunMessagesUntilIdle();
  }

  TForm* FForm = nullptr;
};

// The memo unit files the memo's own filter helper; the text edit's stays
// with the text edit, and both go when their units finish.
TEST_F(Memo, TheMemoUnitRegistersTheMemosFilterHelper) {
  auto memo = FilterEditHelperOf(&TcxMemoProperties::ClassInfo);
  ASSERT_NE(memo, nullptr);
  EXPECT_EQ(memo->ClassType(), &TcxFilterMemoHelper::ClassInfo);
  auto text = FilterEditHelperOf(&TcxTextEditProperties::ClassInfo);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->ClassType(), &TcxFilterTextEditHelper::ClassInfo);
  cxMemoDone();
  auto fallback = FilterEditHelperOf(&TcxMemoProperties::ClassInfo);
  ASSERT_NE(fallback, nullptr) << "the memo's properties derive from the text edit's";
  EXPECT_EQ(fallback->ClassType(), &TcxFilterTextEditHelper::ClassInfo);
  cxMemoInit();
}

TEST_F(Memo, ANewMemoIsMultiLineWithItsDefaults) {
  auto* memo = New<TcxMemo>(FForm);
  memo->SetParent(FForm);
  EXPECT_EQ(memo->Width(), 185);
  EXPECT_EQ(memo->Height(), 89);
  TcxMemoProperties* p = memo->Properties();
  EXPECT_EQ(p->ScrollBars(), ssNone);
  EXPECT_TRUE(p->WantReturns());
  EXPECT_FALSE(p->WantTabs());
  EXPECT_TRUE(p->WordWrap());
  EXPECT_FALSE(p->AutoSelect());
  EXPECT_EQ(p->Alignment()->Vert(), taTopJustify);
  EXPECT_TRUE(p->IsMultiLine());
  p->SetVisibleLineCount(-4);
  EXPECT_EQ(p->VisibleLineCount(), 0) << "negative counts become 0";
  memo->HandleNeeded();
  const LONG style = GetWindowLongA(InnerOf(memo), GWL_STYLE);
  EXPECT_TRUE(style & ES_MULTILINE);
  EXPECT_FALSE(style & ES_AUTOHSCROLL) << "the lines wrap";
  EXPECT_FALSE(style & (WS_VSCROLL | WS_HSCROLL));
}

TEST_F(Memo, AReadOnlyMemoIgnoresTypingScrollsByWheelAndSelectsAllOnCtrlA) {
  auto* memo = PlaceMemo("cxMemo1", 230, 10);
  memo->Properties()->SetReadOnly(true);
  memo->Properties()->SetScrollBars(ssVertical);
  memo->Lines()->SetText(kAgreement);
  ShowAndFocus(memo);
  HWND inner = InnerOf(memo);
  EXPECT_TRUE(GetWindowLongA(inner, GWL_STYLE) & WS_VSCROLL);
  const std::string before = WindowText(memo->Handle());
  ASSERT_EQ(before, kAgreement);
  Type(inner, "xyz");
  PostKey(inner, VK_DELETE);
  RunMessagesUntilIdle();
  EXPECT_EQ(WindowText(memo->Handle()), before) << "typing changes nothing";

  EXPECT_EQ(GetScrollPos(inner, SB_VERT), 0);
  POINT centre{100, 80};
  ClientToScreen(inner, &centre);
  SendMessageA(inner, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(centre.x, centre.y));
  RunMessagesUntilIdle();
  EXPECT_GT(SendMessageA(inner, EM_GETFIRSTVISIBLELINE, 0, 0), 0) << "the wheel scrolls the lines";
  EXPECT_GT(GetScrollPos(inner, SB_VERT), 0) << "and moves the scroll bar";

  memo->SelectRange(0, 0);
  {
    TCtrlHeld ctrl;
    PostKey(inner, 'A');
    RunMessagesUntilIdle();
  }
  EXPECT_EQ(memo->SelStart(), 0);
  EXPECT_EQ(memo->SelLength(), static_cast<int>(before.size())) << "Ctrl+A selects every line";
  EXPECT_EQ(WindowText(memo->Handle()), before);
}

TEST_F(Memo, EnterAndTabFollowWantReturnsAndWantTabs) {
  auto* button = New<TButton>(FForm);
  button->SetParent(FForm);
  button->SetBounds(10, 200, 80, 25);
  button->SetCaption("OK");
  button->SetDefault(true);
  TClicks clicks;
  button->OnClick = TNotifyEvent::Bind<&TClicks::Click>(&clicks);
  auto* memo = PlaceMemo("cxMemo1", 10, 10, 209, 120);
  struct TCase {
    const char* Name;
    bool WantReturns, WantTabs, Ctrl;
    UINT Key;
    const char* Text;  // what the memo holds after "ab", the key, "c"
    int Clicks;
  };
  const TCase cases[] = {
      {"Enter typed", true, false, false, VK_RETURN, "ab\r\nc", 0},
      {"Enter to the form", false, false, false, VK_RETURN, "abc", 1},
      {"Ctrl+Enter typed without WantReturns", false, false, true, VK_RETURN, "ab\r\nc", 0},
      {"Tab typed", true, true, false, VK_TAB, "ab\tc", 0},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    memo->Properties()->SetWantReturns(c.WantReturns);
    memo->Properties()->SetWantTabs(c.WantTabs);
    memo->Lines()->Clear();
    clicks.Count = 0;
    ShowAndFocus(memo);
    HWND inner = InnerOf(memo);
    Type(inner, "ab");
    {
      std::unique_ptr<TCtrlHeld> ctrl(c.Ctrl ? new TCtrlHeld : nullptr);
      PostKey(inner, c.Key);
      RunMessagesUntilIdle();
    }
    Type(inner, "c");
    EXPECT_EQ(WindowText(memo->Handle()), c.Text);
    EXPECT_EQ(clicks.Count, c.Clicks);
  }
  // Without WantTabs, Tab moves the focus on.
  memo->Properties()->SetWantTabs(false);
  memo->Lines()->Clear();
  ShowAndFocus(memo);
  PostKey(InnerOf(memo), VK_TAB);
  RunMessagesUntilIdle();
  EXPECT_EQ(WindowText(memo->Handle()).find('\t'), std::string::npos);
  EXPECT_EQ(GetFocus(), button->Handle());
}

TEST_F(Memo, TheOneLineDisplayFormStopsAtTheFirstBreakAndAt250Characters) {
  auto* memo = PlaceMemo("cxMemo1", 10, 10);
  const std::string long300(300, 'a');
  struct TCase {
    std::string Value, Shown;
  };
  const TCase cases[] = {
      {"first\r\nsecond\r\nthird", "first"},
      {"one\ntwo", "one"},
      {"cr\ronly", "cr"},
      {long300, std::string(250, 'a')},
      {"short", "short"},
      {"", ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Value);
    EXPECT_EQ(memo->Properties()->DisplayTextOf(Variant(AnsiString(c.Value))), c.Shown);
    EXPECT_EQ(memo->Properties()->MemoDisplayText(Variant(AnsiString(c.Value)), true), c.Value) << "full text";
  }
}

TEST_F(Memo, ReplacementTextGetsWholeLineBreaks) {
  struct TCase {
    const char* Text;
    const char* Normalized;
  };
  const TCase cases[] = {
      {"a\n\rb", "a\r\n\r\nb"},
      {"a\r\nb", "a\r\nb"},
      {"end\n\r", "end\r\n\r\n"},
      {"\n\r\n\r", "\r\n\r\n\r\n\r\n"},
      {"lone\rcr", "lone\rcr"},
      {"lone\nlf", "lone\nlf"},
      {"", ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(NormalizeMemoLineBreaks(c.Text), c.Normalized);
  }
  auto* memo = PlaceMemo("cxMemo1", 10, 10);
  ShowAndFocus(memo);
  SendMessageA(InnerOf(memo), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("one\n\rtwo\n\r"));
  RunMessagesUntilIdle();
  ASSERT_EQ(memo->Lines()->Count(), 4);
  EXPECT_EQ(memo->Lines()->Get(0), "one");
  EXPECT_EQ(memo->Lines()->Get(1), "");
  EXPECT_EQ(memo->Lines()->Get(2), "two");
  EXPECT_EQ(memo->Lines()->Get(3), "");
  EXPECT_EQ(VarToStr(memo->EditValue()), "one\r\n\r\ntwo\r\n\r\n") << "the value follows the replaced text";
}

TEST_F(Memo, VisibleLineCountSizesTheMemoToWholeRows) {
  auto* memo = PlaceMemo("cxMemo1", 10, 10, 209, 169);
  FForm->Show();
  RunMessagesUntilIdle();
  memo->Properties()->SetVisibleLineCount(3);
  RunMessagesUntilIdle();
  const int three = memo->Height();
  memo->Properties()->SetVisibleLineCount(5);
  RunMessagesUntilIdle();
  const int five = memo->Height();
  TcxCanvas* canvas = SharedScreenCanvas();
  canvas->SetFont(memo->Style()->GetFont());
  const int row = canvas->HeightOfText("Zg");
  EXPECT_EQ(five - three, 2 * row);
  const RECT client = memo->EditViewInfo()->ClientRect;
  const RECT bounds = memo->EditViewInfo()->Bounds;
  const int borders = (client.top - bounds.top) + (bounds.bottom - client.bottom);
  EXPECT_EQ(three, borders + 1 + 3 + 3 * row) << "three rows plus the margins and borders";
  memo->Properties()->SetVisibleLineCount(0);
  memo->SetBounds(10, 10, 209, 169);
  RunMessagesUntilIdle();
  EXPECT_EQ(memo->Height(), 169) << "0 switches auto size off";
}

TEST_F(Memo, ScrollBarsFollowThePropertiesAndTheInnerMemoFillsTheClientArea) {
  auto* memo = PlaceMemo("cxMemo1", 10, 10);
  FForm->Show();
  RunMessagesUntilIdle();
  struct TCase {
    TScrollStyle Bars;
    bool Horz, Vert, AutoHScroll;
  };
  const TCase cases[] = {
      {ssBoth, true, true, true},
      {ssHorizontal, true, false, true},
      {ssVertical, false, true, false},
      {ssNone, false, false, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Bars));
    memo->Properties()->SetScrollBars(c.Bars);
    RunMessagesUntilIdle();
    const LONG style = GetWindowLongA(InnerOf(memo), GWL_STYLE);
    EXPECT_EQ((style & WS_HSCROLL) != 0, c.Horz);
    EXPECT_EQ((style & WS_VSCROLL) != 0, c.Vert);
    EXPECT_EQ((style & ES_AUTOHSCROLL) != 0, c.AutoHScroll);
  }
  RECT wanted = memo->EditViewInfo()->ClientRect;
  InflateRect(&wanted, 2, 2);
  const RECT inner = memo->InnerMemo()->BoundsRect();
  EXPECT_TRUE(EqualRect(&inner, &wanted));
}

TEST_F(Memo, TheFormWritesItsMemoAndReadsItBack) {
  auto* memo = PlaceMemo("cxMemo1", 10, 10);
  memo->Properties()->SetReadOnly(true);
  memo->Properties()->SetScrollBars(ssVertical);
  memo->Properties()->SetWantTabs(true);
  memo->Lines()->SetText("first\r\nsecond");
  const AnsiString text = WriteComponentText(FForm);
  for (const char* line : {"object cxMemo1: TcxMemo", "Properties.ReadOnly = True",
                           "Properties.ScrollBars = ssVertical", "Properties.WantTabs = True", "'first'", "'second'"})
    EXPECT_NE(text.find(line), AnsiString::npos) << line << " missing in\n" << text;
  Free(memo);
  auto* form = New<TForm>(nullptr);
  ReadComponentText(text, form, FForm->Name());
  auto* read = ObjectAs<TcxMemo>(form->FindComponent("cxMemo1"));
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->Properties()->ScrollBars(), ssVertical);
  EXPECT_TRUE(read->Properties()->WantTabs());
  EXPECT_EQ(read->Lines()->Count(), 2);
  EXPECT_EQ(read->Lines()->Get(1), "second");
  EXPECT_EQ(WriteComponentText(form), text) << "written back unchanged";
  Free(form);
}

TEST_F(Memo, ThirtyMemosMadeAndFreedKeepHandleCountsFlat) {
  FForm->Show();
  RunMessagesUntilIdle();
  auto makeAndFree = [&](int count) {
    for (int i = 0; i < count; ++i) {
      auto* memo = PlaceMemo("", 10, 10);
      memo->Properties()->SetScrollBars(ssVertical);
      memo->HandleNeeded();
      SendMessageA(memo->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("one\r\ntwo"));
      Free(memo);
    }
    RunMessagesUntilIdle();
  };
  makeAndFree(5);
  const THandleCounts before = HandleCounts();
  makeAndFree(30);
  EXPECT_EQ(HandleCounts(), before) << HandleCountsText(HandleCounts()) << " vs " << HandleCountsText(before);
}

// -- The text edit's own painting of its text ------------------------------------------------

class TNoEditProperties : public TcxTextEditProperties {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxTextEditProperties::TcxTextEditProperties;
  int EditingStyle() const override { return tesNoEdit; }
};
const TClassInfo TNoEditProperties::ClassInfo{
    "TNoEditProperties", &TcxTextEditProperties::ClassInfo,
    [](TObject* owner) -> TObject* { return new TNoEditProperties(static_cast<TPersistent*>(owner)); }};

class TNoEditEdit : public TcxTextEdit {
public:
  using TcxTextEdit::TcxTextEdit;
  TClass PropertiesClass() const override { return &TNoEditProperties::ClassInfo; }
};

// The columns of `image` inside `r` holding a pixel other than `background`.
std::pair<int, int> ColumnsOf(const Image& image, const RECT& r, uint32_t background) {
  int first = -1, last = -1;
  for (int x = std::max<int>(r.left, 0); x < std::min<int>(r.right, image.Width); ++x)
    for (int y = std::max<int>(r.top, 0); y < std::min<int>(r.bottom, image.Height); ++y)
      if (image.At(x, y) != background) {
        if (first < 0) first = x;
        last = x;
        break;
      }
  return {first, last};
}

TEST_F(Memo, TheContainerPaintsTheTextWhereTheLayoutPlacesIt) {
  struct TCase {
    const char* Name;
    TAlignment Horz;
  };
  const TCase cases[] = {{"left", taLeftJustify}, {"centre", taCenter}, {"right", taRightJustify}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* edit = New<TNoEditEdit>(FForm);
    edit->SetParent(FForm);
    edit->SetBounds(10, 10, 209, 21);
    edit->Style()->SetColor(static_cast<TColor>(0xFFFFFF));
    edit->Style()->GetFont()->SetColor(static_cast<TColor>(0x0000C0));
    edit->Properties()->Alignment()->SetHorz(c.Horz);
    edit->SetText("Mevra");
    FForm->Show();
    RunMessagesUntilIdle();
    ASSERT_FALSE(edit->InnerEditShowsValue());
    RedrawWindow(edit->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RunMessagesUntilIdle();
    auto* info = dynamic_cast<TcxCustomTextEditViewInfo*>(edit->EditViewInfo());
    ASSERT_NE(info, nullptr);
    ASSERT_TRUE(info->TextOutInitialized) << "painted from the laid-out rows";
    ASSERT_EQ(info->TextRowCount, 1);
    const TcxTextRow& row = info->TextRows[0];
    const Image image = ReadClientPixels(edit->Handle());
    RECT text = info->TextRect;
    // Up to just past the row: the edge of the client area is not text.
    text.right = std::min<LONG>(text.right, row.X + row.Width + 2);
    const auto [first, last] = ColumnsOf(image, text, 0xFFFFFF);
    ASSERT_GE(first, 0) << "the text is painted";
    EXPECT_GE(first, row.X);
    EXPECT_LE(first, row.X + 2);
    EXPECT_LE(last, row.X + row.Width);
    EXPECT_GE(last, row.X + row.Width - 3);
    switch (c.Horz) {
      case taLeftJustify: EXPECT_EQ(row.X, info->TextRect.left); break;
      case taRightJustify: EXPECT_EQ(row.X + row.Width, info->TextRect.right); break;
      default: EXPECT_NEAR(row.X - info->TextRect.left, info->TextRect.right - row.X - row.Width, 1); break;
    }
    Free(edit);
  }
}

TEST_F(Memo, Screenshot) {
  auto* edem = PlaceEdit("edem", 20, 20);
  auto* edyz = PlaceEdit("edyz", 20, 56);
  auto* edid = PlaceEdit("edid", 20, 92);
  edid->SetVisible(false);
  auto* memo = PlaceMemo("cxMemo1", 235, 20);
  memo->Properties()->SetReadOnly(true);
  memo->Properties()->SetScrollBars(ssVertical);
  edyz->Properties()->SetEchoMode(eemPassword);
  memo->Lines()->SetText(kAgreement);
  ShowAndFocus(edem);
  SendMessageA(edem->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("me@example.com"));
  SendMessageA(edyz->Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("secret"));
  RunMessagesUntilIdle();
  const Image focused = ReadWindowPixels(FForm->Handle());
  SaveArtefact(focused, "text-edits-focused");
  memo->SetFocus();
  RunMessagesUntilIdle();
  const Image unfocused = ReadWindowPixels(FForm->Handle());
  // Both states side by side.
  Image both;
  both.Width = focused.Width + unfocused.Width;
  both.Height = std::max(focused.Height, unfocused.Height);
  both.Pixels.assign(static_cast<size_t>(both.Width) * both.Height, 0xFFFFFF);
  for (int y = 0; y < focused.Height; ++y)
    for (int x = 0; x < focused.Width; ++x) both.Pixels[static_cast<size_t>(y) * both.Width + x] = focused.At(x, y);
  for (int y = 0; y < unfocused.Height; ++y)
    for (int x = 0; x < unfocused.Width; ++x)
      both.Pixels[static_cast<size_t>(y) * both.Width + focused.Width + x] = unfocused.At(x, y);
  SaveArtefact(both, "text-edits");
  EXPECT_NE(focused, unfocused);
  EXPECT_EQ(WindowText(edem->Handle()), "me@example.com");
  EXPECT_EQ(WindowText(memo->Handle()), kAgreement);
}

}  // namespace
