// The native build carries no string table: every text is its default.
#include "platform/ResourceString.h"

bool ReadStringTableText(unsigned id, AnsiString& text) {
  (void)id;
  (void)text;
  return false;
}
