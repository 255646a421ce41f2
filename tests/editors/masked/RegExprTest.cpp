// The mask regular-expression engine: compile errors with their positions,
// what a pattern accepts character by character, auto-completion and undo.
// Portable: the same file runs under Wine and natively under the sanitizers.
#include "editors/masked/RegExpr.h"
#include "editors/masked/RegExprConsts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

void Compile(TcxRegExpr& engine, const AnsiString& pattern) {
  TStringStream source(pattern);
  engine.compilePatternStream(&source);
}

// Every error of a failing compilation as the user sees it; empty when it compiles.
std::vector<std::string> ErrorsOf(const AnsiString& pattern) {
  TcxRegExpr engine;
  try {
    Compile(engine, pattern);
  } catch (const EcxRegExprError& e) {
    EXPECT_FALSE(engine.isCompiled());
    EXPECT_EQ(&e.Errors(), &engine.errors());
    std::vector<std::string> texts;
    for (int i = 0; i < e.Errors().Count(); ++i) texts.push_back(TcxRegExpr::regExprErrorText(e.Errors().Item(i)));
    return texts;
  }
  return {};
}

// Feeds `input` one character at a time: "refused@N" at the first refusal
// (0-based), else "final" or "partial".
std::string Feed(TcxRegExpr& engine, const AnsiString& input) {
  engine.restartAutomaton();
  for (size_t i = 0; i < input.size(); ++i) {
    char ch = input[i];
    if (!engine.stepForward(ch)) return "refused@" + std::to_string(i);
  }
  return engine.atFinalState() ? "final" : "partial";
}

std::string Feed(const AnsiString& pattern, const AnsiString& input, bool caseInsensitive = false) {
  TcxRegExpr engine;
  engine.CaseInsensitive = caseInsensitive;
  Compile(engine, pattern);
  return Feed(engine, input);
}

TcxRegExprLocaleChars InvariantLocale() { return {'/', ':', '.'}; }
TcxRegExprLocaleChars DashLocale() { return {'-', '.', ','}; }

// Installs a locale source for one test.
class LocaleScope {
public:
  explicit LocaleScope(TcxRegExprLocaleSource source) { cxSetRegExprLocaleSource(source); }
  ~LocaleScope() { cxSetRegExprLocaleSource(nullptr); }
};

// Records the engine's notifications as text: "+c" per literal added, "-"
// per literal removed.
struct Recorder {
  std::string Log;
  void Attach(TcxRegExpr& engine) {
    engine.onLiteralAdded = TEvent<void(char)>::Lambda([this](char ch) { Log += std::string("+") + ch; });
    engine.onLiteralRemoved = TEvent<void()>::Lambda([this] { Log += "-"; });
  }
};

TEST(RegExprCompiler, ReportsEachErrorWithItsPosition) {
  const struct { const char* Pattern; std::vector<std::string> Errors; } cases[] = {
      {"", {"The source stream is empty"}},
      {" \t\r\n", {"The source stream is empty"}},
      {"(a", {"Missing ')'"}},
      {"a)", {"Unnecessary ')'"}},
      {"[ab", {"Line1, Char4: Missing ']'"}},
      {"[a-", {"Line1, Char4: Missing ']'"}},
      {"a{2", {"Line1, Char4: Missing '}'"}},
      {"'ab", {"Line1, Char4: Missing ' ' '"}},
      {"a\\ b", {"Line1, Char3: The space character is not allowed after '\\'"}},
      {"\\x4", {"Line1, Char4: Hexadecimal number expected"}},
      {"\\x4g", {"Line1, Char4: Hexadecimal number expected but 'g' found"}},
      {"a{x}", {"Line1, Char3: Illegal 'x'"}},
      {"a{'}", {"Line1, Char3: Illegal ' ' '"}},
      {"[a-c-e]", {"Line1, Char5: Illegal '-'"}},
      {")(", {"Line1, Char1: Illegal ')'", "The alternative should not be empty"}},
      {"a|", {"The alternative should not be empty"}},
      {"|a", {"Line1, Char1: The alternative should not be empty"}},
      {"()", {"Line1, Char2: The block should not be empty"}},
      {"(a|)", {"Line1, Char4: The block should not be empty"}},
      {"a|*", {"Line1, Char3: Illegal quantifier '*'"}},
      {"ab|*", {"Line1, Char4: Illegal quantifier '*'"}},
      {"(a?)*", {"Line1, Char5: The '*' quantifier cannot be applied here"}},
      {"a?+", {"Line1, Char3: The '+' quantifier cannot be applied here"}},
      {"{2}", {"Line1, Char1: Incorrect parameter quantifier", "Line1, Char2: Illegal integer value", "Line1, Char3: Illegal '}'"}},
      {"a{2,1}", {"Line1, Char5: Incorrect parameter quantifier"}},
      {"a{}", {"Line1, Char3: Incorrect parameter quantifier"}},
      {"a{,2}", {"Line1, Char3: Incorrect parameter quantifier"}},
      {"a?{2}", {"Line1, Char3: The parameter quantifier cannot be applied here"}},
      {"\\1", {"Line1, Char1: Too big reference number"}},
      {"(a)\\2", {"Line1, Char4: Too big reference number"}},
      {"[]", {"Line1, Char2: Can't create empty enumeration"}},
      {"[^]", {"Line1, Char3: Can't create empty enumeration"}},
      {"[c-a]", {"Line1, Char4: The starting character of the subrange must be less than the finishing one"}},
      {"[a-a]", {"Line1, Char4: The starting character of the subrange must be less than the finishing one"}},
      // A line break counts lines at CR and columns from the LF.
      {"a\r\n|*", {"Line2, Char2: Illegal quantifier '*'"}},
      // A lone CR counts a line and the column keeps counting; a lone LF only restarts the column.
      {"a\r|*", {"Line2, Char4: Illegal quantifier '*'"}},
      {"a\n|*", {"Line1, Char2: Illegal quantifier '*'"}},
      {"a\\\t", {"Line1, Char3: The space character is not allowed after '\\'"}},
      {"\\xg4", {"Line1, Char3: Hexadecimal number expected but 'g' found"}},
      {"'a''", {"Line1, Char5: Missing ' ' '"}},
      {"(|a)", {"Line1, Char2: The alternative should not be empty"}},
      {"a*{2}", {"Line1, Char3: The parameter quantifier cannot be applied here"}},
      {"a{2 3}", {"Line1, Char5: Incorrect parameter quantifier"}},
      // Without an item the count's lexemes are ordinary ones: the "," means nothing.
      {"{2,3}", {"Line1, Char1: Incorrect parameter quantifier", "Line1, Char2: Illegal integer value",
                 "Line1, Char4: Illegal integer value", "Line1, Char5: Illegal '}'"}},
      // Every error of the phase is reported, not just the first.
      {"[c-a]|*|+", {"Line1, Char4: The starting character of the subrange must be less than the finishing one",
                     "Line1, Char7: Illegal quantifier '*'", "Line1, Char9: Illegal quantifier '+'"}},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorsOf(c.Pattern), c.Errors) << c.Pattern;
}

TEST(RegExprCompiler, ErrorTextShowsOnlyThePositionItHas) {
  const struct { int Line, Column; const char* Text; } cases[] = {
      {0, 0, "m"}, {0, 5, "m"}, {1, 0, "Line1: m"}, {12, 34, "Line12, Char34: m"}};
  for (const auto& c : cases) EXPECT_EQ(TcxRegExpr::regExprErrorText(TcxRegExprError(c.Line, c.Column, "m")), c.Text);
}

TEST(RegExprCompiler, MissingStreamIsReported) {
  TcxRegExpr engine;
  EXPECT_THROW(engine.compilePatternStream(nullptr), EcxRegExprError);
  ASSERT_EQ(engine.errors().Count(), 1);
  EXPECT_EQ(TcxRegExpr::regExprErrorText(engine.errors().Item(0)), "The source stream is not assigned");
  EXPECT_EQ(engine.compiledSource(), nullptr);
}

TEST(RegExprCompiler, RecompilingReplacesTheOutcome) {
  TcxRegExpr engine;
  Compile(engine, "ab");
  ASSERT_NE(engine.compiledSource(), nullptr);
  EXPECT_EQ(static_cast<TMemoryStream*>(engine.compiledSource())->DataString(), "ab");
  EXPECT_THROW(Compile(engine, "a|*"), EcxRegExprError);
  EXPECT_FALSE(engine.isCompiled());
  EXPECT_EQ(engine.compiledSource(), nullptr);
  EXPECT_EQ(engine.errors().Count(), 1);
  Compile(engine, "c");
  EXPECT_EQ(engine.errors().Count(), 0);
  EXPECT_EQ(Feed(engine, "c"), "final");
  engine.clearCompilation();
  EXPECT_FALSE(engine.isCompiled());
}

TEST(RegExprCompiler, LexemesCarryKindTextAndPosition) {
  struct Lexem { uint8_t Kind; const char* Text; uint32_t Column; };
  const struct { const char* Pattern; std::vector<Lexem> Lexems; } cases[] = {
      {"a\\d{12,}/:.\\1 x",  // \1 refers to no group: lexed, then refused
       {{lkLiteral, "a", 1}, {lkDigit, "d", 2}, {lkOperator, "{", 4}, {lkNumber, "12", 5}, {lkOperator, ",", 7},
        {lkOperator, "}", 8}, {lkDateSeparator, "/", 9}, {lkTimeSeparator, ":", 10}, {lkAny, ".", 11},
        {lkGroupReference, "1", 12}, {lkLiteral, "x", 15}}},
      // The doubled quote is one literal at its first quote; an escape sits at its backslash.
      {"'it''s' \\x41[\\d]",
       {{lkLiteral, "i", 2}, {lkLiteral, "t", 3}, {lkLiteral, "'", 4}, {lkLiteral, "s", 6}, {lkLiteral, "A", 9},
        {lkOperator, "[", 13}, {lkDigit, "d", 14}, {lkOperator, "]", 16}}},
  };
  for (const auto& c : cases) {
    TcxRegExpr lexed;
    try {
      Compile(lexed, c.Pattern);
    } catch (const EcxRegExprError&) {
    }
    ASSERT_EQ(lexed.lexems().Count(), static_cast<int>(c.Lexems.size())) << c.Pattern;
    for (int i = 0; i < lexed.lexems().Count(); ++i) {
      const TcxLexem& lexem = lexed.lexems().Item(i);
      EXPECT_EQ(lexem.Kind, c.Lexems[i].Kind) << c.Pattern << " " << i;
      EXPECT_EQ(lexem.Text, c.Lexems[i].Text) << c.Pattern << " " << i;
      EXPECT_EQ(lexem.Column, c.Lexems[i].Column) << c.Pattern << " " << i;
      EXPECT_EQ(lexem.Line, 1u) << c.Pattern << " " << i;
    }
  }
}

TEST(RegExprCompiler, HostilePatternsAreRefusedCleanly) {
  std::string deepGroups(200, '(');
  deepGroups += 'a';
  deepGroups.append(200, ')');
  std::string manyQuantifiers = "a";
  manyQuantifiers.append(2000, '?');
  const std::string doubling = "(a\\1\\1\\1\\1\\1\\1\\1\\1\\1\\1\\1\\1\\1\\1\\1\\1\\1\\1\\1\\1\\1\\1)";
  const char* patterns[] = {"x{1000000}", "x{99999999999999999999}", "(x{0,400}){0,400}", "((x{50}){50}){50}"};
  for (const char* pattern : patterns) EXPECT_FALSE(ErrorsOf(pattern).empty()) << pattern;
  EXPECT_FALSE(ErrorsOf(deepGroups).empty());
  EXPECT_FALSE(ErrorsOf(manyQuantifiers).empty());
  EXPECT_FALSE(ErrorsOf(doubling).empty());
}

// Masks beyond the engine's limits name the limit, not a syntax error.
TEST(RegExprCompiler, LimitsReportTheirOwnMessages) {
  std::string deepGroups(65, '(');
  deepGroups += 'a';
  deepGroups.append(65, ')');
  const struct { std::string Pattern; std::vector<std::string> Errors; } cases[] = {
      {deepGroups, {"Line1, Char65: Groups are nested more than 64 deep"}},
      {"a+?????", {"Line1, Char7: More than 5 quantifiers follow one item"}},
      {"x{1000001}", {"Line1, Char2: The repeat count is above 1000000"}},
      {"x{99999999999999999999}", {"Line1, Char2: The repeat count is above 1000000"}},
      {"x{1000000}", {"Line1, Char2: The expression is too complex"}},
      {"(x{0,400}){0,400}", {"Line1, Char11: The expression is too complex"}},
      {"(x{19990})\\1", {"Line1, Char11: The expression is too complex"}},
  };
  for (const auto& c : cases) EXPECT_EQ(ErrorsOf(c.Pattern), c.Errors) << c.Pattern;
  // Just inside the limits, the same shapes compile.
  std::string deepest(64, '(');
  deepest += 'a';
  deepest.append(64, ')');
  for (const std::string& pattern : {deepest, std::string("a+????"), std::string("(x{19990})")})
    EXPECT_EQ(ErrorsOf(pattern), std::vector<std::string>{}) << pattern;
}

TEST(RegExprMatching, PatternsAcceptWhatTheyDescribe) {
  const struct { const char* Pattern; const char* Input; const char* Outcome; } cases[] = {
      {"ab|cd", "ab", "final"},         {"ab|cd", "cd", "final"},        {"ab|cd", "ac", "refused@1"},
      {"a b", "ab", "final"},           {"' '", " ", "final"},           {"\\x20", " ", "final"},
      {"'it''s'", "it's", "final"},     {"'a b'", "a b", "final"},       {"[a-]", "-", "final"},
      {"[a-]", "a", "final"},           {"[-a]", "-", "final"},          {"[-a]", "b", "refused@0"},
      {".", "\n", "final"},             {"[.]", ".", "final"},           {"[.]", "x", "refused@0"},
      {"(ab)\\1", "abab", "final"},     {"(ab)\\1", "ab", "partial"},    {"x{2,4}", "x", "partial"},
      {"x{2,4}", "xx", "final"},        {"x{2,4}", "xxxx", "final"},     {"x{2,4}", "xxxxx", "refused@4"},
      {"x{3}", "xxx", "final"},         {"x{2,}", "xxxxxxx", "final"},   {"x+{1,}", "xxx", "final"},
      {"a?b?", "a", "final"},           {"a?b?", "", "final"},           {"a(b?)", "a", "partial"},
      {"a(b?)", "ab", "final"},         {"(a?)", "", "partial"},         {"a+?", "aaa", "final"},
      {"a\\", "a", "final"},            {"\\d\\D", "1x", "final"},       {"\\d", "x", "refused@0"},
      {"\\w\\W", "_-", "final"},        {"\\w", "-", "refused@0"},       {"\\s\\S", "\tx", "final"},
      {"\\s", "x", "refused@0"},        {"\\t\\n\\r\\f\\a\\e", "\t\n\r\f\a\x1B", "final"},
      {"[^a-c]", "d", "final"},         {"[^a-c]", "b", "refused@0"},    {"[\\d_]+", "1_2", "final"},
      {"[a-c][x-z]", "cz", "final"},    {"\\(", "(", "final"},           {"a*b", "aaab", "final"},
      {"(a|b)+c", "abbac", "final"},    {"(a|b)+c", "abba", "partial"},  {"a|b?", "", "final"},
      // Open counts and counts that allow none end matches as x* does.
      {"ax{0,}", "a", "final"},         {"ax{0,2}", "a", "final"},       {"ax{0,2}", "axx", "final"},
      {"ax{0,2}", "axxx", "refused@3"}, {"ax{0}", "a", "final"},         {"x{0,}", "", "final"},
      // The optional copy of a repeating item keeps repeating: x+{0,1} is (x+)?.
      {"ax+{0,1}b", "axxxb", "final"},  {"ax+{0,1}b", "ab", "final"},    {"(ab)+{0,1}", "abab", "final"},
      // An open count on a group that can match nothing must not loop.
      {"(a?){2,}", "aaaa", "final"},    {"(a?){2,}b", "b", "final"},     {"(a?){2,}b", "aaab", "final"},
      // A reference to a counted group copies the group, not its count.
      {"(ab){2}\\1", "ababab", "final"}, {"(ab){2}\\1", "abababab", "refused@6"},
      // A reference to an open group copies what was read of it.
      {"(a\\1)", "aa", "final"},
      // Inside brackets blanks are skipped, a later "^" is a member and a
      // leading "-" after "^" is one too; references and quotes give members.
      {"[a b]", "b", "final"},          {"[a b]", " ", "refused@0"},     {"[a^]", "^", "final"},
      {"[^-a]", "-", "refused@0"},      {"[^-a]", "b", "final"},         {"[\\1]", "1", "final"},
      {"['a]']", "]", "final"},         {"\\0", "0", "final"},           {"^a$]}", "^a$]}", "final"},
  };
  for (const auto& c : cases) EXPECT_EQ(Feed(c.Pattern, c.Input), c.Outcome) << c.Pattern << " on " << c.Input;
}

TEST(RegExprMatching, CaseInsensitiveLiteralsTakeThePatternsCase) {
  TcxRegExpr engine;
  engine.CaseInsensitive = true;
  Compile(engine, "x[a-z]");
  char typed = 'X';
  EXPECT_TRUE(engine.stepForward(typed));
  EXPECT_EQ(typed, 'x');
  char upper = 'A';
  EXPECT_FALSE(engine.stepForward(upper));  // ranges are never case-folded
  EXPECT_EQ(upper, 'A');
  engine.restartAutomaton();
  EXPECT_EQ(engine.filterThrough("XyZ"), "Xy");  // the text as typed
  EXPECT_EQ(Feed("a", "A", true), "final");
  EXPECT_EQ(Feed("a", "A", false), "refused@0");
  // A literal that accepts first does not hide the typed case from the tests after it.
  EXPECT_EQ(Feed("aX|[A]Y", "AY", true), "final");
  // Literal members of a bracket expression fold like literals.
  EXPECT_EQ(Feed("[a]", "A", true), "final");
  EXPECT_EQ(Feed("[^a]", "A", true), "refused@0");
}

TEST(RegExprMatching, SeparatorsFollowTheLocale) {
  LocaleScope invariant(InvariantLocale);
  EXPECT_EQ(Feed("\\d/\\d:\\d\\p\\d", "1/2:3.4"), "final");
  cxSetRegExprLocaleSource(DashLocale);
  EXPECT_EQ(Feed("\\d/\\d", "1-2"), "final");
  EXPECT_EQ(Feed("\\d/\\d", "1/2"), "refused@1");
  EXPECT_EQ(Feed("\\d:\\d", "1.2"), "final");
  EXPECT_EQ(Feed("\\d\\p\\d", "1,2"), "final");
  EXPECT_EQ(Feed("[/]", "-"), "final");
  EXPECT_EQ(Feed("\\x2F", "/"), "final");  // an escaped code is a plain literal
  // "/" is tested against the locale of the moment, "\p" against that of compiling.
  TcxRegExpr engine;
  Compile(engine, "/\\p");
  cxSetRegExprLocaleSource(InvariantLocale);
  EXPECT_EQ(Feed(engine, "/,"), "final");
}

TEST(RegExprMatching, LiveStatesStayFewOnAmbiguousPatterns) {
  TcxRegExpr engine;
  Compile(engine, "(a|a|aa)+(a|a)*b");
  for (int i = 0; i < 60; ++i) {
    char ch = 'a';
    ASSERT_TRUE(engine.stepForward(ch));
    ASSERT_LE(engine.automat()->Current().Count(), 8);
  }
  char b = 'b';
  EXPECT_TRUE(engine.stepForward(b));
  EXPECT_TRUE(engine.atFinalState());
}

TEST(RegExprMatching, LongRunsOfOptionalItemsMatchAsShortOnes) {
  // 600 optional items: every one links past all the others that follow.
  std::string pattern;
  for (int i = 0; i < 600; ++i) pattern += i % 2 ? "b?" : "a?";
  pattern += "c";
  TcxRegExpr engine;
  Compile(engine, pattern);
  EXPECT_EQ(Feed(engine, "c"), "final");
  EXPECT_EQ(Feed(engine, "abac"), "final");
  EXPECT_EQ(Feed(engine, "bbc"), "final");
  EXPECT_EQ(Feed(engine, "aa"), "partial");  // the b? between them is skipped
  EXPECT_EQ(Feed(engine, std::string(300, 'a')), "partial");
  EXPECT_EQ(Feed(engine, std::string(301, 'a')), "refused@300");
  EXPECT_EQ(Feed(engine, "ab"), "partial");
}

TEST(RegExprAutomaton, StepsForwardAndBack) {
  TcxRegExpr engine;
  Compile(engine, "\\d\\d");
  EXPECT_TRUE(engine.atStartState());
  EXPECT_FALSE(engine.stepBack());  // nothing to undo at the start
  EXPECT_TRUE(engine.atStartState());
  char one = '1', letter = 'a', two = '2';
  EXPECT_TRUE(engine.stepForward(one));
  EXPECT_FALSE(engine.stepForward(letter));  // a refusal changes nothing
  EXPECT_FALSE(engine.atStartState());
  EXPECT_TRUE(engine.stepForward(two));
  EXPECT_TRUE(engine.atFinalState());
  EXPECT_TRUE(engine.stepBack());
  EXPECT_FALSE(engine.atFinalState());
  EXPECT_TRUE(engine.stepBack());
  EXPECT_TRUE(engine.atStartState());
  EXPECT_EQ(engine.filterThrough("1a2"), "12");
  EXPECT_TRUE(engine.atFinalState());
  EXPECT_EQ(engine.filterThrough("3"), "");  // it does not restart first
}

TEST(RegExprAutomaton, RunningUncompiledRaises) {
  TcxRegExpr engine;
  char ch = 'a';
  const std::string message = "Regular expression is not compiled";
  auto expectRaise = [&](auto operation) {
    try {
      operation();
      ADD_FAILURE() << "no exception";
    } catch (const EcxEditError& e) {
      EXPECT_EQ(e.Message(), message);
    }
  };
  expectRaise([&] { engine.stepForward(ch); });
  expectRaise([&] { engine.stepBack(); });
  expectRaise([&] { engine.atFinalState(); });
  expectRaise([&] { engine.atStartState(); });
  expectRaise([&] { engine.restartAutomaton(); });
  expectRaise([&] { engine.filterThrough("a"); });
  engine.setAutoComplete(true);  // only stored
  EXPECT_TRUE(engine.autoComplete());
}

// Auto-completion: the literals typed for the user after each step, and the
// notifications of a step back. Steps are "c" to type c and "<" to step back;
// "!c" types c and expects it refused.
TEST(RegExprAutomaton, AutoCompletesAndUndoesForcedLiterals) {
  LocaleScope invariant(InvariantLocale);
  const struct { const char* Pattern; const char* Steps; const char* Log; bool Final; } cases[] = {
      {"a?", "", "", true},
      {"\\(\\d\\d\\d\\)", "", "+(", false},
      {"\\(\\d\\d\\d\\)", "123", "+(+)", true},
      {"\\(\\d\\d\\d\\)", "123<", "+(+)-", false},
      {"\\(\\d\\d\\d\\)", "<", "+(-", false},
      {"\\d\\d-\\d\\d", "12", "+-", false},
      {"\\d\\d-\\d\\d", "12<", "+--", false},
      {"\\d\\d-\\d\\d", "12!-", "+-", false},  // the "-" was inserted: typing it again is refused
      {"\\d\\d-\\d\\d", "1234", "+-", true},
      {"\\d\\d(-\\d\\d)?", "12", "", true},
      // Locale separators are completed as the locale has them.
      {"\\d\\d/\\d\\d/\\d\\d", "1231", "+/+/", false},
      {"\\d\\d:\\d\\d", "12<", "+:-", false},
      // A leading literal is typed at once; a bracket expression never is.
      {"x[-]", "", "+x", false},
      {"x(-|/)", "", "+x", false},  // "-" and the date separator "/" differ
      {"ab'cd'|abce", "", "+a+b+c", false},
      {"ab'cd'|abce", "d", "+a+b+c", true},
      {"ab'cd'|abce", "!b", "+a+b+c", false},
      {"ab'cd'|abce", "<", "+a+b+c---", false},
  };
  for (const auto& c : cases) {
    TcxRegExpr engine;
    Recorder recorder;
    recorder.Attach(engine);
    Compile(engine, c.Pattern);
    engine.setAutoComplete(true);
    std::string steps = c.Steps;
    for (size_t i = 0; i < steps.size(); ++i) {
      if (steps[i] == '<') {
        engine.stepBack();
        continue;
      }
      const bool refusal = steps[i] == '!';
      if (refusal) ++i;
      char ch = steps[i];
      EXPECT_EQ(engine.stepForward(ch), !refusal) << c.Pattern << " step " << i;
    }
    EXPECT_EQ(recorder.Log, c.Log) << c.Pattern << " / " << c.Steps;
    EXPECT_EQ(engine.atFinalState(), c.Final) << c.Pattern << " / " << c.Steps;
  }
}

// Each literal is told before the engine moves past it (or back over it), so
// a handler sees the engine as it was, and one that raises leaves the engine
// in step with the text it was to change.
TEST(RegExprAutomaton, LiteralsAreToldBeforeTheEngineMoves) {
  TcxRegExpr engine;
  std::vector<std::string> seen;  // literal and the history's depth when told
  engine.onLiteralAdded = TEvent<void(char)>::Lambda([&](char ch) {
    seen.push_back(std::string("+") + ch + std::to_string(engine.automat()->HistoryCount()) +
                   (engine.atStartState() ? " start" : ""));
  });
  engine.onLiteralRemoved = TEvent<void()>::Lambda([&] {
    seen.push_back("-" + std::to_string(engine.automat()->HistoryCount()));
  });
  Compile(engine, "\\(\\d\\d\\d\\)");
  engine.setAutoComplete(true);
  for (char ch : std::string("123")) EXPECT_TRUE(engine.stepForward(ch));
  EXPECT_EQ(engine.automat()->HistoryCount(), 5);
  EXPECT_TRUE(engine.stepBack());
  EXPECT_EQ(seen, (std::vector<std::string>{"+(0 start", "+)4", "-5"}));
  EXPECT_EQ(engine.automat()->HistoryCount(), 3);

  // A handler that refuses the literal: the engine stays before it.
  engine.onLiteralAdded = TEvent<void(char)>::Lambda([](char) { throw Exception("no room"); });
  char three = '3';
  EXPECT_THROW(engine.stepForward(three), Exception);
  EXPECT_EQ(engine.automat()->HistoryCount(), 4);
  EXPECT_FALSE(engine.atFinalState());
  engine.onLiteralAdded = TEvent<void(char)>();
  char close = ')';
  EXPECT_TRUE(engine.stepForward(close));
  EXPECT_TRUE(engine.atFinalState());
}

// A mask that forces thousands of literals (found by fuzzing: every A+ copy
// stays live, so each step keeps thousands of states) gets the first 256
// typed for the user, who types the rest.
TEST(RegExprAutomaton, AutoCompletionTypesALimitedRunOfLiterals) {
  TcxRegExpr engine;
  std::string typed;
  engine.onLiteralAdded = TEvent<void(char)>::Lambda([&](char ch) { typed += ch; });
  engine.CaseInsensitive = true;
  engine.setAutoComplete(true);
  Compile(engine, "A+{45}+{254}b*,?");
  EXPECT_EQ(typed, std::string(256, 'A'));
  EXPECT_EQ(engine.automat()->HistoryCount(), 256);
  EXPECT_FALSE(engine.atFinalState());
  char a = 'a';
  EXPECT_TRUE(engine.stepForward(a));
  EXPECT_EQ(a, 'A');
  EXPECT_EQ(typed.size(), 512u);  // and the next run after it
}

TEST(RegExprAutomaton, StepBackRemovesInsertedLiteralsWithTheTypedCharacter) {
  TcxRegExpr engine;
  Recorder recorder;
  recorder.Attach(engine);
  Compile(engine, "\\d\\d-\\d\\d");
  engine.setAutoComplete(true);
  char one = '1', two = '2';
  engine.stepForward(one);
  engine.stepForward(two);
  EXPECT_EQ(engine.automat()->HistoryCount(), 3);  // "1", "2" and the inserted "-"
  EXPECT_TRUE(engine.stepBack());
  EXPECT_EQ(engine.automat()->HistoryCount(), 1);  // only "1" remains
  EXPECT_EQ(engine.filterThrough("2-3"), "2-3");
}

TEST(RegExprAutomaton, DateSeparatorAlternativesCompleteWhenTheLocaleAgrees) {
  LocaleScope dashes(DashLocale);
  TcxRegExpr engine;
  Recorder recorder;
  recorder.Attach(engine);
  Compile(engine, "x(-|/)");
  engine.setAutoComplete(true);
  EXPECT_EQ(recorder.Log, "+x+-");
  EXPECT_TRUE(engine.atFinalState());
}

TEST(RegExprAutomaton, CompilingWithAutoCompletionOnInsertsLeadingLiterals) {
  TcxRegExpr engine;
  Recorder recorder;
  recorder.Attach(engine);
  engine.setAutoComplete(true);
  Compile(engine, "'ab'\\d");
  EXPECT_EQ(recorder.Log, "+a+b");
  engine.restartAutomaton();  // no auto-completion on restart
  EXPECT_TRUE(engine.atStartState());
  EXPECT_EQ(recorder.Log, "+a+b");
}

}  // namespace

TEST(RegExprCompiler, ErrorTextsAreReadThroughTheReplaceableStrings) {
  // A replacement shows at the next compile; "%s" is filled, nothing else in
  // the replacement is read as a format.
  ReplaceResString(cxSRegExprMissing, "%n%d fehlt: %s");
  ReplaceResString(cxSRegExprLine, "Zeile ");
  const std::vector<std::string> errors = ErrorsOf("[ab");
  RestoreResString(cxSRegExprMissing);
  RestoreResString(cxSRegExprLine);
  EXPECT_EQ(errors, std::vector<std::string>{"Zeile 1, Char4: %n%d fehlt: ]"});
  EXPECT_EQ(ErrorsOf("[ab"), std::vector<std::string>{"Line1, Char4: Missing ']'"});
}
