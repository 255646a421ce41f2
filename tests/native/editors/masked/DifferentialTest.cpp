// The mask engine against PCRE2 on generated patterns and inputs. Patterns
// are generated as trees and written twice: in the mask language and as the
// equivalent PCRE2 pattern. An input the engine accepts character by character
// must be a partial (or complete) anchored match for PCRE2, and the engine's
// final state must be exactly PCRE2's complete anchored match.
//
// The generator stays inside what the two languages mean alike: a group whose
// content can match the empty text always carries "?" (the mask language does
// not let the end of a match fall through an unquantified group), "*" and "+"
// never follow an item that can match empty (refused by the mask compiler),
// and references are written out in PCRE2 as the group they copy.
#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include "editors/masked/RegExpr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

const char Alphabet[] = "ab0A_ -/:\n'.";

struct Generated {
  std::string Mask;       // the mask language
  std::string Pcre;       // the same as PCRE2
  bool AllowsAbsence = false;
  bool CanBeEmpty = false;
  // A sample member of the item's language, drawn by Sample.
  std::function<std::string(std::mt19937&)> Sample;
};

std::string Hex(char ch) {
  static const char digits[] = "0123456789ABCDEF";
  const auto code = static_cast<unsigned char>(ch);
  return std::string("\\x") + digits[code >> 4] + digits[code & 15];
}

bool IsAlnum(char ch) { return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9'); }

bool IsLetter(char ch) { return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z'); }

char OtherCase(char ch) { return static_cast<char>(ch ^ 0x20); }

class Generator {
public:
  Generator(uint32_t seed, bool caseInsensitive) : FRandom(seed), FCaseInsensitive(caseInsensitive) {}

  Generated Pattern() {
    Generated result = Alternatives(0);
    return result;
  }

private:
  int Below(int n) { return static_cast<int>(FRandom() % static_cast<uint32_t>(n)); }
  bool Chance(int percent) { return Below(100) < percent; }
  char AnyChar() { return Alphabet[Below(static_cast<int>(sizeof Alphabet) - 1)]; }
  std::string Blank() { return Chance(15) ? " " : ""; }

  // The PCRE2 form of one literal, folded when the run is case-insensitive.
  std::string PcreChar(char ch) const {
    if (FCaseInsensitive && IsLetter(ch)) return "[" + Hex(ch) + Hex(OtherCase(ch)) + "]";
    return Hex(ch);
  }

  Generated Literal() {
    const char ch = AnyChar();
    Generated g;
    // A quoted literal ends with a blank: two quoted strings side by side
    // would read as one holding a doubled quote.
    if (IsAlnum(ch) && Chance(70)) g.Mask = std::string(1, ch);
    else if (ch == '\'') g.Mask = Chance(50) ? "'''' " : Hex(ch);
    else g.Mask = Chance(50) ? "'" + std::string(1, ch) + "' " : Hex(ch);
    g.Pcre = PcreChar(ch);
    g.Sample = [ch](std::mt19937&) { return std::string(1, ch); };
    return g;
  }

  // One of the classes, as written in the mask language, its PCRE2 set
  // body and the characters of the alphabet it takes.
  struct ClassForm {
    const char* Mask;
    const char* PcreBody;
    bool Inverse;
  };
  static const ClassForm& ClassAt(int index) {
    static const ClassForm forms[] = {
        {"\\d", "0-9", false},          {"\\D", "0-9", true},          {"\\w", "A-Za-z0-9_", false},
        {"\\W", "A-Za-z0-9_", true},    {"\\s", " \\x00\\t\\n\\f\\r", false}, {"\\S", " \\x00\\t\\n\\f\\r", true}};
    return forms[index];
  }

  std::string MembersOf(const std::string& pcreClass) {
    std::string members;
    for (const char* c = Alphabet; *c; ++c) {
      pcre2_code* code = Compile(pcreClass);
      if (Matches(code, std::string(1, *c), PCRE2_ANCHORED | PCRE2_ENDANCHORED) >= 0) members += *c;
      pcre2_code_free(code);
    }
    return members;
  }

  Generated FromPcreClass(std::string mask, std::string pcre) {
    Generated g;
    g.Mask = std::move(mask);
    g.Pcre = pcre;
    std::string members = MembersOf(pcre);
    if (members.empty()) members = "\x01";  // nothing of the alphabet: sample a stranger
    g.Sample = [members](std::mt19937& random) { return std::string(1, members[random() % members.size()]); };
    return g;
  }

  Generated Class() {
    switch (Below(4)) {
      case 0: return FromPcreClass(".", "[\\x00-\\xFF]");
      case 1: return Separator();
      default: {
        const ClassForm& form = ClassAt(Below(6));
        return FromPcreClass(form.Mask, std::string(form.Inverse ? "[^" : "[") + form.PcreBody + "]");
      }
    }
  }

  Generated Separator() {
    const bool date = Chance(50);
    return FromPcreClass(date ? "/" : ":", Hex(date ? '/' : ':'));
  }

  Generated Enumeration() {
    const bool inverse = Chance(25);
    std::string mask = inverse ? "[^" : "[";
    std::string pcre = inverse ? "[^" : "[";
    const int count = 1 + Below(3);
    for (int i = 0; i < count; ++i) {
      switch (Below(4)) {
        case 0: {  // a range, never case-folded
          char first = AnyChar(), last = AnyChar();
          if (static_cast<unsigned char>(first) > static_cast<unsigned char>(last)) std::swap(first, last);
          if (first == last) {
            last = static_cast<char>(first + 1 + Below(3));
          }
          mask += Hex(first) + "-" + Hex(last);
          pcre += Hex(first) + "-" + Hex(last);
          break;
        }
        case 1: {  // \D and \W inside a set are spelt as POSIX classes in PCRE2
          static const char* const masks[] = {"\\d", "\\w", "\\s", "\\D", "\\W"};
          static const char* const pcres[] = {"0-9", "A-Za-z0-9_", " \\x00\\t\\n\\f\\r", "[:^digit:]", "[:^word:]"};
          const int which = Below(5);
          mask += masks[which];
          pcre += pcres[which];
          break;
        }
        default: {
          const char ch = AnyChar();
          if (ch == '/' || ch == ':') mask += ch;  // the locale's separators: "/" and ":" natively
          else mask += Hex(ch);
          pcre += FCaseInsensitive && IsLetter(ch) ? Hex(ch) + Hex(OtherCase(ch)) : Hex(ch);
          break;
        }
      }
      if (Chance(20)) mask += " ";
    }
    mask += "]";
    pcre += "]";
    return FromPcreClass(mask, pcre);
  }

  // Applies one quantifier when the mask compiler allows it there; answers
  // it ("{" for a count, 0 for none).
  char Quantify(Generated& g) {
    const int kind = Below(10);
    const std::string pcre = "(?:" + g.Pcre + ")";
    auto sample = g.Sample;
    auto repeat = [sample](int low, int high) {
      return [sample, low, high](std::mt19937& random) {
        const int times = low + static_cast<int>(random() % static_cast<uint32_t>(high - low + 1));
        std::string s;
        for (int i = 0; i < times; ++i) s += sample(random);
        return s;
      };
    };
    if (kind == 0 || kind == 1) {
      g.Mask += "?";
      g.Pcre = pcre + "?";
      g.Sample = repeat(0, 1);
      g.AllowsAbsence = g.CanBeEmpty = true;
      return '?';
    } else if ((kind == 2 || kind == 3) && !g.CanBeEmpty) {
      const bool star = kind == 2;
      g.Mask += star ? "*" : "+";
      g.Pcre = pcre + (star ? "*" : "+");
      g.Sample = repeat(star ? 0 : 1, 3);
      g.AllowsAbsence = g.CanBeEmpty = star;
      return star ? '*' : '+';
    } else if (kind >= 4 && kind <= 6 && !g.AllowsAbsence && !g.CanBeEmpty) {
      const int low = Below(3);
      const int form = Below(3);
      const int high = low + Below(3);
      std::string count, pcreCount;
      if (form == 0) count = "{" + Blank() + std::to_string(low) + "}";
      else if (form == 1) count = "{" + std::to_string(low) + "," + Blank() + "}";
      else count = "{" + std::to_string(low) + "," + std::to_string(high) + Blank() + "}";
      if (form == 0) pcreCount = "{" + std::to_string(low) + "}";
      else if (form == 1) pcreCount = "{" + std::to_string(low) + ",}";
      else pcreCount = "{" + std::to_string(low) + "," + std::to_string(high) + "}";
      g.Mask += count;
      g.Pcre = pcre + pcreCount;
      g.Sample = repeat(low, form == 0 ? low : form == 1 ? low + 3 : high);
      g.AllowsAbsence = g.CanBeEmpty = low == 0;
      return '{';
    }
    return 0;
  }

  Generated Item(int depth) {
    Generated g;
    const int kind = Below(depth < 3 ? 10 : 8);
    size_t group = SIZE_MAX;
    if (std::find(FGroupReady.begin(), FGroupReady.end(), true) != FGroupReady.end() && Chance(8)) g = Reference();
    else if (kind < 3) g = Literal();
    else if (kind < 5) g = Class();
    else if (kind < 6) g = Separator();
    else if (kind < 8) g = Enumeration();
    else {
      group = FGroups.size();
      g = Group(depth);
    }
    for (int percent : {45, 10}) {
      if (!Chance(percent)) continue;
      // A second quantifier nests (a+? is (a+)?); the first one on a group is
      // the group's own and part of what a reference copies, while a count
      // replaces the group and leaves the copy bare.
      const bool bare = group != SIZE_MAX && !g.AllowsAbsence && g.Mask.back() == ')';
      const char applied = Quantify(g);
      if (bare && applied != 0 && applied != '{') {
        const bool ready = FGroupReady[group];
        FGroups[group] = g;
        FGroupReady[group] = ready;
      }
      if (applied != 0) group = SIZE_MAX;
    }
    return g;
  }

  Generated Group(int depth) {
    const size_t number = FGroups.size();
    FGroups.push_back({});
    FGroupReady.push_back(false);
    Generated inner = Alternatives(depth + 1);
    Generated g;
    g.Mask = "(" + inner.Mask + ")";
    g.Pcre = "(?:" + inner.Pcre + ")";
    g.Sample = inner.Sample;
    g.CanBeEmpty = inner.CanBeEmpty;
    if (g.CanBeEmpty) {  // only "?" keeps such a group meaning the same in both languages
      g.Mask += "?";
      g.Pcre += "?";
      auto sample = g.Sample;
      g.Sample = [sample](std::mt19937& random) { return random() % 2 ? sample(random) : std::string(); };
      g.AllowsAbsence = true;
    } else if (Chance(40)) {
      const int kind = Below(3);
      g.Mask += "?*+"[kind];
      g.Pcre += "?*+"[kind];
      auto sample = g.Sample;
      const int low = kind == 2 ? 1 : 0, high = kind == 0 ? 1 : 3;
      g.Sample = [sample, low, high](std::mt19937& random) {
        const int times = low + static_cast<int>(random() % static_cast<uint32_t>(high - low + 1));
        std::string s;
        for (int i = 0; i < times; ++i) s += sample(random);
        return s;
      };
      g.AllowsAbsence = g.CanBeEmpty = kind != 2;
    }
    // What a reference copies: the group with the one quantifier it carries now.
    FGroups[number] = g;
    FGroupReady[number] = number < 9;
    return g;
  }

  Generated Reference() {
    std::vector<size_t> ready;
    for (size_t i = 0; i < FGroupReady.size(); ++i)
      if (FGroupReady[i]) ready.push_back(i);
    const size_t number = ready[static_cast<size_t>(Below(static_cast<int>(ready.size())))];
    Generated g = FGroups[number];
    g.Mask = "\\" + std::to_string(number + 1);
    return g;
  }

  Generated Sequence(int depth) {
    Generated g;
    g.AllowsAbsence = g.CanBeEmpty = true;
    std::vector<std::function<std::string(std::mt19937&)>> parts;
    const int count = 1 + Below(4);
    for (int i = 0; i < count; ++i) {
      Generated item = Item(depth);
      g.Mask += Blank() + item.Mask;
      g.Pcre += item.Pcre;
      g.CanBeEmpty = g.CanBeEmpty && item.CanBeEmpty;
      parts.push_back(item.Sample);
    }
    g.Sample = [parts](std::mt19937& random) {
      std::string s;
      for (const auto& part : parts) s += part(random);
      return s;
    };
    return g;
  }

  Generated Alternatives(int depth) {
    Generated g = Sequence(depth);
    std::vector<std::function<std::string(std::mt19937&)>> choices{g.Sample};
    while (Chance(25)) {
      Generated next = Sequence(depth);
      g.Mask += Blank() + "|" + Blank() + next.Mask;
      g.Pcre += "|" + next.Pcre;
      g.CanBeEmpty = g.CanBeEmpty || next.CanBeEmpty;
      choices.push_back(next.Sample);
    }
    g.Sample = [choices](std::mt19937& random) { return choices[random() % choices.size()](random); };
    return g;
  }

public:
  static pcre2_code* Compile(const std::string& pattern, uint32_t extra = 0) {
    int error = 0;
    PCRE2_SIZE offset = 0;
    return pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(), PCRE2_DOTALL | extra, &error,
                         &offset, nullptr);
  }
  static int Matches(pcre2_code* code, const std::string& subject, uint32_t options) {
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    const int rc = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(subject.data()), subject.size(), 0, options, data, nullptr);
    pcre2_match_data_free(data);
    return rc;
  }

private:
  std::mt19937 FRandom;
  bool FCaseInsensitive;
  std::vector<Generated> FGroups;
  std::vector<bool> FGroupReady;
};

struct Outcome {
  bool Viable;  // every character accepted
  bool Final;
};

Outcome RunMask(TcxRegExpr& engine, const std::string& input) {
  engine.restartAutomaton();
  for (char ch : input)
    if (!engine.stepForward(ch)) return {false, false};
  return {true, engine.atFinalState()};
}

std::string Printable(const std::string& s) {
  std::string out;
  for (char ch : s) out += IsAlnum(ch) ? std::string(1, ch) : Hex(ch);
  return out;
}

TEST(RegExprDifferential, AgreesWithPcre2OnAnchoredFullAndPartialMatches) {
  constexpr int Patterns = 2000;
  constexpr int InputsPerPattern = 5;
  std::mt19937 inputs(20261210);
  int pairs = 0, finals = 0, partials = 0, refusals = 0, undecided = 0;
  std::vector<std::string> mismatches;
  for (int n = 0; n < Patterns; ++n) {
    const bool caseInsensitive = n % 4 == 3;
    Generator generator(static_cast<uint32_t>(n) * 7919u + 17u, caseInsensitive);
    const Generated pattern = generator.Pattern();

    TcxRegExpr engine;
    engine.CaseInsensitive = caseInsensitive;
    try {
      TStringStream source(pattern.Mask);
      engine.compilePatternStream(&source);
    } catch (const EcxRegExprError& e) {
      ADD_FAILURE() << "mask refused: " << pattern.Mask << ": " << TcxRegExpr::regExprErrorText(e.Errors().Item(0));
      continue;
    }
    pcre2_code* code = Generator::Compile(pattern.Pcre);
    ASSERT_NE(code, nullptr) << pattern.Pcre;
    // End-anchored through the pattern: PCRE2_ENDANCHORED would stop partial
    // matching, while "\z" reached at the end of the subject gives a partial match.
    pcre2_code* prefix = Generator::Compile("(?:" + pattern.Pcre + ")\\z");
    ASSERT_NE(prefix, nullptr) << pattern.Pcre;

    for (int k = 0; k < InputsPerPattern; ++k) {
      std::string input = pattern.Sample(inputs);
      switch (k) {
        case 0: break;                                               // a member
        case 1: input = input.substr(0, input.size() / 2); break;   // a beginning
        case 2: input += Alphabet[inputs() % (sizeof Alphabet - 1)]; break;
        case 3:
          if (!input.empty()) input[inputs() % input.size()] = Alphabet[inputs() % (sizeof Alphabet - 1)];
          break;
        default: input = pattern.Sample(inputs) + pattern.Sample(inputs); break;
      }
      const Outcome mask = RunMask(engine, input);
      const int fullRc = Generator::Matches(code, input, PCRE2_ANCHORED | PCRE2_ENDANCHORED);
      const int partialRc = Generator::Matches(prefix, input, PCRE2_ANCHORED | PCRE2_PARTIAL_HARD);
      // PCRE2 backtracks and may give up (match limit) on long inputs against
      // nested repeats; those pairs say nothing.
      auto decided = [](int rc) { return rc >= 0 || rc == PCRE2_ERROR_NOMATCH || rc == PCRE2_ERROR_PARTIAL; };
      if (!decided(fullRc) || !decided(partialRc)) {
        ++undecided;
        continue;
      }
      const bool full = fullRc >= 0;
      const bool canGrow = full || partialRc >= 0 || partialRc == PCRE2_ERROR_PARTIAL;
      ++pairs;
      finals += mask.Final;
      partials += mask.Viable && !mask.Final;
      refusals += !mask.Viable;
      // An empty subject is never a partial match for PCRE2; the engine at its
      // start can always still grow.
      const bool viableAgrees = input.empty() || mask.Viable == canGrow;
      if ((mask.Final != full || !viableAgrees) && mismatches.size() < 10)
        mismatches.push_back("mask «" + pattern.Mask + "» pcre «" + pattern.Pcre + "» input «" + Printable(input) +
                             "»: engine " + (mask.Viable ? mask.Final ? "final" : "partial" : "refused") +
                             ", pcre2 " + (full ? "full" : canGrow ? "partial" : "no match"));
    }
    pcre2_code_free(prefix);
    pcre2_code_free(code);
  }
  for (const std::string& mismatch : mismatches) ADD_FAILURE() << mismatch;
  // The generated inputs must exercise all three outcomes.
  EXPECT_GE(pairs, 9900);
  EXPECT_LT(undecided, 100);
  EXPECT_GT(finals, pairs / 10);
  EXPECT_GT(partials, pairs / 20);
  EXPECT_GT(refusals, pairs / 10);
  std::printf("pairs %d: final %d, can still grow %d, refused %d; %d left undecided by PCRE2\n", pairs, finals,
              partials, refusals, undecided);
}

}  // namespace
