// Masks come from form streams: any bytes must compile or be refused with
// errors, and a compiled mask must survive being driven like a mask edit.
// Input: one byte of flags (bit 0 case-insensitive, bit 1 auto-completion),
// the pattern, then after the first NUL the text to type ("<" steps back).
#include "editors/masked/RegExpr.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  const size_t split = rest.find('\0');
  const std::string pattern = rest.substr(0, split);
  const std::string typed = split == std::string::npos ? std::string() : rest.substr(split + 1);
  TcxRegExpr engine;
  engine.CaseInsensitive = (data[0] & 1) != 0;
  int added = 0, removed = 0;
  engine.onLiteralAdded = TEvent<void(char)>::Lambda([&](char) { ++added; });
  engine.onLiteralRemoved = TEvent<void()>::Lambda([&] { ++removed; });
  engine.setAutoComplete((data[0] & 2) != 0);
  try {
    TStringStream source(pattern);
    engine.compilePatternStream(&source);
  } catch (const EcxRegExprError& e) {
    for (int i = 0; i < e.Errors().Count(); ++i) (void)TcxRegExpr::regExprErrorText(e.Errors().Item(i));
    return 0;
  }
  for (char ch : typed) {
    if (ch == '<') engine.stepBack();
    else engine.stepForward(ch);
    (void)engine.atFinalState();
  }
  engine.restartAutomaton();
  (void)engine.filterThrough(typed);
  while (engine.stepBack()) {
  }
  return 0;
}
