#include "platform/ShortCuts.h"

#include "platform/Win32.h"

namespace {

struct TKeyName {
  WORD Key;
  const char* Name;
};

const TKeyName KeyNames[] = {
    {VK_BACK, "BkSp"},  {VK_TAB, "Tab"},     {VK_RETURN, "Enter"}, {VK_ESCAPE, "Esc"},  {VK_SPACE, "Space"},
    {VK_PRIOR, "PgUp"}, {VK_NEXT, "PgDn"},   {VK_END, "End"},      {VK_HOME, "Home"},   {VK_LEFT, "Left"},
    {VK_UP, "Up"},      {VK_RIGHT, "Right"}, {VK_DOWN, "Down"},    {VK_INSERT, "Ins"},  {VK_DELETE, "Del"},
};

const char* const Modifiers[] = {"Shift+", "Ctrl+", "Alt+"};
const TShortCut ModifierBits[] = {scShift, scCtrl, scAlt};

// The keyboard's name of a key that has no name of our own.
AnsiString KeyboardName(WORD key) {
  const UINT scan = MapVirtualKeyA(key, 0);
  if (scan == 0) return AnsiString();
  char name[64] = {};
  const int n = GetKeyNameTextA(static_cast<LONG>(scan << 16), name, sizeof name);
  return n > 0 ? AnsiString(name, static_cast<size_t>(n)) : AnsiString();
}

AnsiString KeyText(WORD key) {
  for (const TKeyName& k : KeyNames)
    if (k.Key == key) return k.Name;
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return AnsiString(1, static_cast<char>(key));
  if (key >= VK_F1 && key <= VK_F24) return "F" + IntToStr(key - VK_F1 + 1);
  return KeyboardName(key);
}

}  // namespace

AnsiString ShortCutToText(TShortCut shortCut) {
  const AnsiString name = KeyText(shortCut & 0xFF);
  if (name.empty()) return AnsiString();
  AnsiString text;
  for (int i = 0; i < 3; ++i)
    if (shortCut & ModifierBits[i]) text += Modifiers[i];
  return text + name;
}

TShortCut TextToShortCut(const AnsiString& text) {
  TShortCut modifiers = 0;
  size_t at = 0;
  for (bool found = true; found;) {
    found = false;
    for (int i = 0; i < 3; ++i) {
      const AnsiString prefix = Modifiers[i];
      if (text.size() - at > prefix.size() && SameText(text.substr(at, prefix.size()), prefix)) {
        modifiers |= ModifierBits[i];
        at += prefix.size();
        found = true;
      }
    }
  }
  const AnsiString key = text.substr(at);
  if (key.empty()) return 0;
  for (WORD k = 0x08; k <= 0xFF; ++k) {
    const AnsiString name = KeyText(k);
    if (!name.empty() && SameText(name, key)) return static_cast<TShortCut>(k | modifiers);
  }
  return 0;
}
