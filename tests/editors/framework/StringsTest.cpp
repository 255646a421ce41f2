// The editors' resource strings: every id and its text, replacements, the
// "%s" filling. Portable: under Wine the string table is read back too.
#include "editors/framework/DataConsts.h"
#include "editors/framework/EditConsts.h"
#include "editors/framework/EditStrings.h"
#include "editors/framework/FilterConsts.h"

#include <gtest/gtest.h>

#include <set>

#ifdef _WIN32
#include "platform/Win32.h"
#endif

namespace {

struct IdText {
  unsigned Id;
  const char* Text;
};

// Written out here, independently of the declarations.
const IdText Expected[] = {
    {65089, "Stream read error"}, {65090, "Stream write error"},
    {65091, "today"}, {65092, "yesterday"}, {65093, "tomorrow"}, {65094, "Sunday"}, {65095, "Monday"},
    {65096, "Tuesday"}, {65097, "Wednesday"}, {65098, "Thursday"}, {65099, "Friday"}, {65100, "Saturday"},
    {65101, "first"}, {65102, "second"}, {65103, "third"}, {65072, "fourth"}, {65073, "fifth"},
    {65074, "sixth"}, {65075, "seventh"}, {65076, "bom"}, {65077, "eom"}, {65078, "now"},
    {65079, "Could not convert to date"},
    {65080, "The repository item is not acceptable"},
    {65081, "Could not convert to numeric value"},
    {65082, "Circular referencing is not allowed"},
    {65083, "Could not convert to time"},
    {65084, "Invalid input value. Use escape key to abandon changes"},
    {65085, "Value out of bounds"},
    {65086, "True"}, {65056, "False"},
    {65057, "Cu&t"}, {65058, "&Copy"}, {65059, "&Paste"}, {65060, "&Delete"}, {65061, "&Load..."},
    {65062, "Save &As..."},
    {65063, "Clear"}, {65064, "Now"}, {65065, "OK"}, {65066, "Today"}, {65067, "Invalid Date"},
    {65068, "CheckBox|Represents a check box control that allows selecting an option"},
    {65069, "ComboBox|Represents the combo box editor"},
    {65070, "DateEdit|Represents an edit control with a dropdown calendar"},
    {65071, "ImageComboBox|Represents an editor displaying the list of images and text strings within the dropdown window"},
    {65040, "Image|Represents an image editor"},
    {65041, "MaskEdit|Represents a generic masked edit control."},
    {65042, "Memo|Represents an edit control that allows editing memo data"},
    {65043, "PopupEdit|Represents an edit control with a dropdown list"},
    {65044, "SpinEdit|Represents a spin editor"},
    {65045, "TextEdit|Represents a single line text editor"},
    {65046, "TimeEdit|Represents an editor displaying time values"},
    {65047, "Line"}, {65048, "Char"},
    {65049, "The source stream is not assigned"},
    {65050, "The source stream is empty"},
    {65051, "The '+' quantifier cannot be applied here"},
    {65052, "The '*' quantifier cannot be applied here"},
    {65053, "The alternative should not be empty"},
    {65054, "The block should not be empty"},
    {65055, "Illegal '%s'"},
    {65024, "Illegal quantifier '%s'"},
    {65025, "Illegal integer value"},
    {65026, "Too big reference number"},
    {65027, "Can't create empty enumeration"},
    {65028, "The starting character of the subrange must be less than the finishing one"},
    {65029, "Hexadecimal number expected"},
    {65030, "Hexadecimal number expected but '%s' found"},
    {65031, "Missing '%s'"},
    {65032, "Unnecessary '%s'"},
    {65033, "The space character is not allowed after '\\'"},
    {65034, "Regular expression is not compiled"},
    {65035, "Incorrect parameter quantifier"},
    {65036, "The parameter quantifier cannot be applied here"},
    {65037, "Regular expression errors:"},
    {65038, "The edit value is invalid"},
    {65039, "Invalid numeric value"},
    {65008, "Label|Represents a Label"},
};

}  // namespace

TEST(EditStrings, EveryIdYieldsItsText) {
  std::set<unsigned> ids;
  for (const IdText& e : Expected) {
    SCOPED_TRACE(e.Id);
    ids.insert(e.Id);
    const TResourceString* rs = cxFindEditResString(e.Id);
    ASSERT_NE(rs, nullptr);
    EXPECT_EQ(LoadResString(*rs), e.Text);
    EXPECT_STREQ(rs->Default, e.Text);
#ifdef _WIN32
    char buffer[256] = {};
    const int n = LoadStringA(GetModuleHandleA(nullptr), e.Id, buffer, sizeof buffer);
    EXPECT_EQ(std::string(buffer, n > 0 ? static_cast<size_t>(n) : 0), e.Text) << "the string table agrees";
#endif
  }
  EXPECT_EQ(ids.size(), std::size(Expected));
  EXPECT_EQ(cxEditResStrings().size(), std::size(Expected)) << "no other text in the three units";
  for (const TResourceString* rs : cxEditResStrings()) EXPECT_TRUE(ids.count(rs->Id)) << rs->Id;
  EXPECT_EQ(cxFindEditResString(65104), nullptr);
}

TEST(EditStrings, AReplacementShowsAtTheNextRead) {
  EXPECT_EQ(LoadResString(cxSDateEditInvalidDate), "Invalid Date");
  ReplaceResString(cxSDateEditInvalidDate, "Datum ungueltig");
  EXPECT_EQ(LoadResString(cxSDateEditInvalidDate), "Datum ungueltig");
  RestoreResString(cxSDateEditInvalidDate);
  EXPECT_EQ(LoadResString(cxSDateEditInvalidDate), "Invalid Date");
  // Through the hook too, which sees the record.
  const TResStringHook old = SetResStringHook(TResStringHook::Lambda([](const TResourceString& rs, AnsiString& text) {
    if (rs.Id != cxSDataReadError.Id) return false;
    text = "Lesefehler";
    return true;
  }));
  EXPECT_EQ(LoadResString(cxSDataReadError), "Lesefehler");
  EXPECT_EQ(LoadResString(cxSDataWriteError), "Stream write error");
  SetResStringHook(old);
  EXPECT_EQ(LoadResString(cxSDataReadError), "Stream read error");
}

TEST(EditStrings, PercentSIsFilledAndNothingElseIsAFormat) {
  const struct {
    const char* Replacement;  // null: the built-in text
    const char* Argument;
    const char* Result;
  } cases[] = {
      {nullptr, "x", "Illegal 'x'"},
      {"%n%s", "x", "%nx"},
      {"%s and %s", "%s", "%s and %s"},
      {"%d%x%p%%", "a", "%d%x%p%%"},
      {"no argument", "a", "no argument"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Result);
    if (c.Replacement) ReplaceResString(cxSRegExprIllegalSymbol, c.Replacement);
    EXPECT_EQ(cxFormatResString(cxSRegExprIllegalSymbol, c.Argument), c.Result);
    RestoreResString(cxSRegExprIllegalSymbol);
  }
}
