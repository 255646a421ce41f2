// The mask edit on a form: posted typing and keys in the standard mask and
// both regular-expression kinds, pastes over the template, refusals counted
// through the beep seam, validation texts, the password box without a mask
// and the properties' rules (maximum length, case, kind changes).
#include "editors/masked/MaskEdit.h"
#include "platform/Clipboard.h"
#include "platform/Forms.h"
#include "platform/Seams.h"
#include "tests/editors/framework/EditorFixture.h"

#include <string>

using namespace testing_support;

namespace {

class MaskEdit : public ::testing::Test {
protected:
  void SetUp() override {
    editor_test::StartEditorUnits();
    cxTextEditInit();
    cxMaskEditInit();
    FOldSink = SetBeepSink([this](unsigned) { ++Beeps; });
    FForm = New<TForm>(nullptr);
    FForm->SetBounds(60, 60, 420, 300);
    FForm->SetCaption("Masks");
  }
  void TearDown() override {
    Free(FForm);
    SetBeepSink(FOldSink);
    cxMaskEditDone();
    cxTextEditDone();
    editor_test::FinishEditorUnits();
  }
  TcxMaskEdit* Place(const AnsiString& mask, TcxEditMaskKind kind = emkStandard) {
    auto* edit = New<TcxMaskEdit>(FForm);
    edit->SetParent(FForm);
    edit->SetBounds(10, 10 + 30 * FCount++, 209, 21);
    edit->Properties()->SetBeepOnError(true);
    edit->Properties()->SetMaskKind(kind);
    edit->Properties()->SetEditMask(mask);
    return edit;
  }
  void ShowAndFocus(TcxMaskEdit* edit) {
    FForm->Show();
    RunMessagesUntilIdle();
    edit->SetFocus();
    RunMessagesUntilIdle();
  }
  static HWND InnerOf(TcxMaskEdit* edit) { return edit->InnerTextEdit()->Handle(); }
  static AnsiString Shown(TcxMaskEdit* edit) { return edit->InnerTextEdit()->Text(); }
  static void Type(TcxMaskEdit* edit, const AnsiString& text) {
    for (char c : text) PostChar(InnerOf(edit), c);
    RunMessagesUntilIdle();
  }
  static void Key(TcxMaskEdit* edit, UINT vk) {
    PostKey(InnerOf(edit), vk);
    RunMessagesUntilIdle();
  }
  static std::string GetText(TcxMaskEdit* edit) {
    char buffer[256] = "";
    const LRESULT n = SendMessageA(edit->Handle(), WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return std::string(buffer, static_cast<size_t>(n));
  }
  static bool Valid(TcxMaskEdit* edit, AnsiString* errorText = nullptr) {
    TcxEditValue display(Shown(edit));
    AnsiString text;
    bool error = false;
    edit->ActiveProperties()->ValidateDisplayValue(display, text, edit, error);
    if (errorText) *errorText = text;
    return !error;
  }

  int Beeps = 0;
  TForm* FForm = nullptr;
  int FCount = 0;
  TBeepSink FOldSink;
};

const char* const Phone = "(000)000-0000;0";

TEST_F(MaskEdit, TypedDigitsSkipTheLiteralsAndTheValueKeepsTheDigits) {
  auto* edit = Place(Phone);
  ShowAndFocus(edit);
  EXPECT_EQ(Shown(edit), "(___)___-____") << "the empty template while focused";
  Type(edit, "555");
  EXPECT_EQ(Shown(edit), "(555)___-____");
  EXPECT_EQ(edit->SelStart(), 5) << "the caret jumped over the closing bracket";
  Type(edit, "1234567");
  EXPECT_EQ(Shown(edit), "(555)123-4567");
  EXPECT_EQ(GetText(edit), "5551234567") << "without saved literals the text is the ten digits";
  EXPECT_TRUE(Valid(edit));
  EXPECT_EQ(Beeps, 0);
}

TEST_F(MaskEdit, ALetterIsIgnoredWithoutABeep) {
  auto* edit = Place(Phone);
  ShowAndFocus(edit);
  Type(edit, "5x");
  EXPECT_EQ(Shown(edit), "(5__)___-____");
  EXPECT_EQ(edit->SelStart(), 2);
  EXPECT_EQ(Beeps, 0);
}

TEST_F(MaskEdit, DeleteAndBackspaceBlankAndTheCaretKeysFollowTheTemplate) {
  auto* edit = Place(Phone);
  ShowAndFocus(edit);
  Type(edit, "5551234567");
  struct TStep {
    const char* Name;
    UINT Key;
    int Start;  // caret before the key (-1: as left by the last step)
    AnsiString Text;
    int Caret;
  };
  const TStep steps[] = {
      {"Home lands on the first digit", VK_HOME, -1, "(555)123-4567", 1},
      {"End goes after the last position", VK_END, -1, "(555)123-4567", 13},
      {"Left steps onto the last digit", VK_LEFT, 13, "(555)123-4567", 12},
      {"Left over the hyphen", VK_LEFT, 9, "(555)123-4567", 7},
      {"Right over the hyphen", VK_RIGHT, 7, "(555)123-4567", 9},
      {"Right over the bracket", VK_RIGHT, 3, "(555)123-4567", 5},
      {"Delete blanks the digit under the caret", VK_DELETE, 5, "(555)_23-4567", 5},
      {"Delete on a literal keeps it", VK_DELETE, 4, "(555)_23-4567", 4},
      {"Left at the first digit stays", VK_LEFT, 1, "(555)_23-4567", 1},
  };
  for (const TStep& s : steps) {
    SCOPED_TRACE(s.Name);
    if (s.Start >= 0) edit->SelectRange(s.Start, 0);
    Key(edit, s.Key);
    EXPECT_EQ(Shown(edit), s.Text);
    EXPECT_EQ(edit->SelStart(), s.Caret);
  }
  edit->SelectRange(9, 0);
  Type(edit, "\b");
  EXPECT_EQ(Shown(edit), "(555)_2_-4567") << "Backspace steps over the hyphen and blanks the digit before it";
  EXPECT_EQ(edit->SelStart(), 7);
  AnsiString error;
  EXPECT_FALSE(Valid(edit, &error)) << "a required position is blank";
  EXPECT_EQ(error, "The edit value is invalid");
}

TEST_F(MaskEdit, APasteOverwritesTheTemplate) {
  auto* edit = Place(Phone);
  ShowAndFocus(edit);
  edit->SelectRange(0, 0);
  Clipboard()->SetAsText("5551234567");
  SendMessageA(InnerOf(edit), WM_PASTE, 0, 0);
  RunMessagesUntilIdle();
  EXPECT_EQ(Shown(edit), "(555)123-4567");
  EXPECT_EQ(GetText(edit), "5551234567");
  Clipboard()->SetAsText("99");
  edit->SelectRange(5, 0);
  SendMessageA(InnerOf(edit), WM_PASTE, 0, 0);
  RunMessagesUntilIdle();
  EXPECT_EQ(Shown(edit), "(555)993-4567") << "the pasted digits overwrite from the caret";
  Clipboard()->SetAsText("(123)456-7890");
  edit->SelectRange(0, 0);
  SendMessageA(InnerOf(edit), WM_PASTE, 0, 0);
  RunMessagesUntilIdle();
  EXPECT_EQ(Shown(edit), "(123)456-7890") << "a text with the literals fits as well";
  EXPECT_EQ(GetText(edit), "1234567890");
}

TEST_F(MaskEdit, CaseConversionAndIgnoreMaskBlank) {
  auto* upper = Place(">LL");
  ShowAndFocus(upper);
  Type(upper, "ab");
  EXPECT_EQ(Shown(upper), "AB");
  struct TCase {
    const char* Name;
    bool Ignore;
    AnsiString Typed;
    bool Valid;
  };
  const TCase cases[] = {
      {"untouched, strict", false, "", false},
      {"untouched, blanks ignored", true, "", true},
      {"partly typed, blanks ignored", true, "55", false},
      {"complete", false, "5551234567", true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* edit = Place(Phone);
    edit->Properties()->SetIgnoreMaskBlank(c.Ignore);
    ShowAndFocus(edit);
    Type(edit, c.Typed);
    EXPECT_EQ(Valid(edit), c.Valid);
  }
  auto* optional = Place("999;0");
  ShowAndFocus(optional);
  EXPECT_TRUE(Valid(optional)) << "a blank optional position is complete";
}

TEST_F(MaskEdit, ExtendedModeTypesTheForcedLiterals) {
  auto* edit = Place("\\d\\d-\\d\\d", emkRegExprEx);
  ShowAndFocus(edit);
  Type(edit, "12");
  EXPECT_EQ(Shown(edit), "12-");
  EXPECT_EQ(edit->SelStart(), 3);
  Type(edit, "\b");
  EXPECT_EQ(Shown(edit), "1");
  Type(edit, "23");
  EXPECT_EQ(Shown(edit), "12-3");
  Key(edit, VK_LEFT);
  EXPECT_EQ(edit->SelStart(), 3);
  Key(edit, VK_LEFT);
  EXPECT_EQ(edit->SelStart(), 1);
  Type(edit, "x");
  EXPECT_EQ(Shown(edit), "12-3") << "a refused character changes nothing";
  EXPECT_EQ(Beeps, 1);
}

TEST_F(MaskEdit, ExtendedModeKeepsTheLeadingLiterals) {
  auto* edit = Place("\\(\\d\\d\\d\\)", emkRegExprEx);
  ShowAndFocus(edit);
  EXPECT_EQ(Shown(edit), "(");
  EXPECT_EQ(edit->ActiveProperties()->EmptyMaskText(), "(");
  Key(edit, VK_HOME);
  Type(edit, "\b");
  Key(edit, VK_DELETE);
  EXPECT_EQ(Shown(edit), "(");
  Key(edit, VK_END);
  Type(edit, "123");
  EXPECT_EQ(Shown(edit), "(123)");
  EXPECT_TRUE(Valid(edit));
}

TEST_F(MaskEdit, CaseInsensitivePatternStoresThePatternsCase) {
  auto* edit = Place("x+", emkRegExpr);
  ShowAndFocus(edit);
  Type(edit, "X");
  EXPECT_EQ(Shown(edit), "x");
  EXPECT_EQ(GetText(edit), "x");
}

TEST_F(MaskEdit, PlainRegularExpressionRefusesAndValidates) {
  auto* edit = Place("\\d\\d-\\d\\d", emkRegExpr);
  ShowAndFocus(edit);
  Type(edit, "1a2");
  EXPECT_EQ(Shown(edit), "12");
  EXPECT_EQ(Beeps, 1);
  EXPECT_FALSE(Valid(edit)) << "a beginning of a match is not a match";
  edit->Properties()->SetIgnoreMaskBlank(true);
  EXPECT_TRUE(Valid(edit));
  Type(edit, "-34");
  EXPECT_EQ(Shown(edit), "12-34");
  edit->SelectRange(0, 0);
  Key(edit, VK_DELETE);
  EXPECT_EQ(Shown(edit), "") << "a tail that can no longer follow is cut";
}

TEST_F(MaskEdit, AMaskThatDoesNotCompileRaisesAndIsNotStored) {
  auto* edit = Place("\\d+", emkRegExpr);
  try {
    edit->Properties()->SetEditMask("a|*");
    FAIL() << "no error raised";
  } catch (const EcxMaskEditError& e) {
    EXPECT_EQ(e.Message(), "Regular expression errors:\r\nLine1, Char3: Illegal quantifier '*'");
  }
  EXPECT_EQ(edit->Properties()->EditMask(), "\\d+");
}

TEST_F(MaskEdit, ThePasswordBoxIsAPlainTextEdit) {
  auto* edpw = Place("");
  edpw->Properties()->SetEchoMode(eemPassword);
  edpw->Properties()->SetPasswordChar('*');
  edpw->Properties()->SetMaxLength(0);
  ShowAndFocus(edpw);
  Type(edpw, "pa55 w!");
  const AnsiString word = "中";
  SendMessageA(InnerOf(edpw), WM_IME_CHAR,
               (static_cast<unsigned char>(word[0]) << 8) | static_cast<unsigned char>(word[1]), 1);
  RunMessagesUntilIdle();
  EXPECT_EQ(GetText(edpw), std::string("pa55 w!") + word);
  EXPECT_EQ(SendMessageA(InnerOf(edpw), EM_GETPASSWORDCHAR, 0, 0), '*');
  EXPECT_EQ(Beeps, 0);
}

TEST_F(MaskEdit, PropertiesRules) {
  auto* edit = Place("");
  edit->Properties()->SetMaxLength(8);
  EXPECT_EQ(edit->Properties()->MaxLength(), 8);
  edit->Properties()->SetEditMask(Phone);
  EXPECT_EQ(edit->Properties()->MaxLength(), 0) << "a mask has no maximum length";
  edit->Properties()->SetMaxLength(5);
  EXPECT_EQ(edit->Properties()->MaxLength(), 0);

  edit->Properties()->SetCaseInsensitive(false);
  EXPECT_FALSE(edit->Properties()->CaseInsensitive());
  edit->Properties()->SetCharCase(ecUpperCase);
  EXPECT_TRUE(edit->Properties()->CaseInsensitive());
  edit->Properties()->SetCaseInsensitive(false);
  EXPECT_TRUE(edit->Properties()->CaseInsensitive()) << "pinned while the case is converted";
  edit->Properties()->SetCharCase(ecNormal);

  edit->Properties()->SetMaskKind(emkRegExpr);
  EXPECT_EQ(edit->Properties()->EditMask(), "") << "a standard mask is not read as a regular expression";
  edit->Properties()->SetEditMask("\\d+");
  edit->Properties()->SetMaskKind(emkRegExprEx);
  EXPECT_EQ(edit->Properties()->EditMask(), "\\d+") << "kept between the two regular-expression kinds";

  auto* loaded = Place(Phone);
  loaded->Properties()->LockChanges();
  loaded->Properties()->SetMaskKind(emkRegExpr);
  loaded->Properties()->SetEditMask("[a-z]+");
  loaded->Properties()->UnlockChanges();
  EXPECT_EQ(loaded->Properties()->EditMask(), "[a-z]+") << "both set together keep the new mask";
}

}  // namespace
