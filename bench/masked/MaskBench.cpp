// Cost of the mask engine per keystroke. Built natively (bench_masked, from
// tests/native/editors/masked) and run by hand:
//     build-native/editors/masked/bench_masked
// 1. A date mask as the date edit builds it, fed ten-character dates with
//    auto-completion on, as the extended regular-expression mode drives it.
// 2. Pathological patterns whose live state sets would grow without bound if
//    states were not de-duplicated: the time per character must stay flat as
//    the input grows.
#include "editors/masked/RegExpr.h"

#include <chrono>
#include <cstdio>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

void Compile(TcxRegExpr& engine, const std::string& pattern) {
  TStringStream source(pattern);
  engine.compilePatternStream(&source);
}

double NanosecondsSince(Clock::time_point start) {
  return std::chrono::duration<double, std::nano>(Clock::now() - start).count();
}

void DateMask() {
  const std::string mask =
      "\\d\\d\\d\\d\\-((0?[1-9]|1[012])|('Jan'|'Feb'|'Mar'|'Apr'|'May'|'Jun'|'Jul'|'Aug'|'Sep'|'Oct'|'Nov'|'Dec'))"
      "\\-([012]?[1-9]|[123]0|31)";
  const char* const dates[] = {"2026-12-10", "1999-01-31", "2000-02-29", "1970-07-04"};
  TcxRegExpr engine;
  Compile(engine, mask);
  engine.setAutoComplete(true);
  const int rounds = 200000;
  long keystrokes = 0;
  int finals = 0;
  const auto start = Clock::now();
  for (int round = 0; round < rounds; ++round) {
    engine.restartAutomaton();
    for (const char* p = dates[round % 4]; *p; ++p) {
      // A "-" the engine already typed after the year or a two-digit month
      // is refused, as the mask edit refuses it: still a keystroke.
      char ch = *p;
      engine.stepForward(ch);
      ++keystrokes;
    }
    finals += engine.atFinalState();
  }
  const double ns = NanosecondsSince(start);
  std::printf("date mask, 10-character input: %.0f ns per keystroke (%ld keystrokes, %d complete dates)\n",
              ns / keystrokes, keystrokes, finals);
}

void Pathological(const char* pattern, char typed) {
  TcxRegExpr engine;
  Compile(engine, pattern);
  std::printf("pathological %s:\n", pattern);
  double first = 0;
  for (int length = 1000; length <= 16000; length *= 2) {
    const int repeats = 64000 / length;
    const auto start = Clock::now();
    int states = 0;
    for (int r = 0; r < repeats; ++r) {
      engine.restartAutomaton();
      for (int i = 0; i < length; ++i) {
        char ch = typed;
        if (!engine.stepForward(ch)) {
          std::printf("  refused at %d\n", i);
          return;
        }
      }
      states = engine.automat()->Current().Count();
    }
    const double perChar = NanosecondsSince(start) / (static_cast<double>(repeats) * length);
    if (first == 0) first = perChar;
    std::printf("  %6d characters: %7.1f ns per character (x%.2f of the shortest), %d live states\n", length,
                perChar, perChar / first, states);
  }
}

}  // namespace

int main() {
  DateMask();
  Pathological("(a|a|aa)+(a|aa)*(a?){8}a{0,8}b?", 'a');
  Pathological("(x?){30}x{30,}", 'x');
  return 0;
}
