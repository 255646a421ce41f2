#include "platform/ResourceString.h"


#include <map>
#include <mutex>

namespace {

struct TReplacements {
  std::mutex Lock;
  std::map<const TResourceString*, AnsiString> Texts;
  TResStringHook Hook;
};

TReplacements& Replacements() {
  static TReplacements r;
  return r;
}

}  // namespace

AnsiString LoadResString(const TResourceString& rs) {
  TReplacements& r = Replacements();
  TResStringHook hook;
  {
    std::lock_guard<std::mutex> lock(r.Lock);
    hook = r.Hook;
    if (!hook) {
      const auto it = r.Texts.find(&rs);
      if (it != r.Texts.end()) return it->second;
    }
  }
  if (hook) {
    AnsiString text;
    if (hook(rs, text)) return text;
    std::lock_guard<std::mutex> lock(r.Lock);
    const auto it = r.Texts.find(&rs);
    if (it != r.Texts.end()) return it->second;
  }
  AnsiString text;
  if (ReadStringTableText(rs.Id, text)) return text;
  return rs.Default ? AnsiString(rs.Default) : AnsiString();
}

void ReplaceResString(const TResourceString& rs, const AnsiString& text) {
  TReplacements& r = Replacements();
  std::lock_guard<std::mutex> lock(r.Lock);
  r.Texts[&rs] = text;
}

void RestoreResString(const TResourceString& rs) {
  TReplacements& r = Replacements();
  std::lock_guard<std::mutex> lock(r.Lock);
  r.Texts.erase(&rs);
}

TResStringHook SetResStringHook(const TResStringHook& hook) {
  TReplacements& r = Replacements();
  std::lock_guard<std::mutex> lock(r.Lock);
  TResStringHook old = r.Hook;
  r.Hook = hook;
  return old;
}
