// The native build has no message box: messages go to the test's hook, or to
// standard error.
#include "skin/package/SkinReader.h"

#include <cstdio>

void ShowSkinMessage(const AnsiString& text) {
  if (SkinMessageHook) {
    SkinMessageHook(text);
    return;
  }
  std::fprintf(stderr, "%s\n", text.c_str());
}
