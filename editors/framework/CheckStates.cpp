#include "editors/framework/CheckStates.h"

#include "platform/Exceptions.h"
#include "platform/Text.h"

#include <algorithm>
#include <cstdint>
#include <exception>

namespace {

TcxCheckBoxState StateAt(const TcxCheckStates& states, int index) {
  return index >= 0 && size_t(index) < states.size() ? states[size_t(index)] : cbsUnchecked;
}

// Reads a decimal number at `pos` (one digit at least) below 2^31.
bool ReadNumber(const AnsiString& text, size_t& pos, int& number) {
  const size_t start = pos;
  int64_t value = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
    value = value * 10 + (text[pos] - '0');
    if (value > 2147483647) return false;
    ++pos;
  }
  if (pos == start) return false;
  number = int(value);
  return true;
}

// Only Null and strings carry the text formats.
bool TextOf(const Variant& value, AnsiString& text) {
  if (value.IsNull()) {
    text.clear();
    return true;
  }
  if (!VarIsStr(value)) return false;
  text = value.AsString();
  return true;
}

struct TCaptionEntry {
  AnsiString Caption;
  TcxCheckBoxState State;
};

// Each item takes the first entry, in the text's order, whose caption equals
// its own in the locale's case-insensitive comparison and that no earlier
// item took. The entries are sorted by that comparison (stably, so equal
// captions keep the text's order) and each item finds its run of equal
// entries by binary search; a cursor per run hands out the run's entries in
// order, which is the first unused one every time.
bool ReadCaptions(const Variant& value, const IcxCheckItemsSource& items, TcxCheckStates& states) {
  AnsiString text;
  if (!TextOf(value, text)) return false;
  std::vector<TCaptionEntry> entries;
  TcxCheckBoxState part = cbsGrayed;
  size_t pos = 0;
  while (pos < text.size()) {
    if (text[pos] == ';' && part == cbsGrayed) {
      part = cbsChecked;
      ++pos;
    }
    int length = 0;
    if (!ReadNumber(text, pos, length)) return false;
    if (pos >= text.size() || text[pos] != ':') return false;
    ++pos;
    if (size_t(length) > text.size() - pos) return false;
    entries.push_back({text.substr(pos, size_t(length)), part});
    pos += size_t(length);
  }
  if (entries.empty()) return true;
  std::vector<size_t> order(entries.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  // A merge sort: it stays within the range whatever the comparison answers.
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return AnsiCompareText(entries[a].Caption, entries[b].Caption) < 0;
  });
  // next[k]: for the run starting at sorted position k, the position of its
  // next unused entry.
  std::vector<size_t> next(order.size());
  for (size_t i = 0; i < next.size(); ++i) next[i] = i;
  size_t used = 0;
  const int count = int(states.size());
  for (int i = 0; i < count && used < entries.size(); ++i) {
    const AnsiString caption = items.GetCaption(i);
    const auto run = std::lower_bound(order.begin(), order.end(), caption, [&](size_t entry, const AnsiString& key) {
      return AnsiCompareText(entries[entry].Caption, key) < 0;
    });
    if (run == order.end() || AnsiCompareText(entries[*run].Caption, caption) != 0) continue;
    const size_t start = size_t(run - order.begin());
    size_t& cursor = next[start];
    if (cursor >= order.size() || AnsiCompareText(entries[order[cursor]].Caption, caption) != 0) continue;
    states[size_t(i)] = entries[order[cursor]].State;
    ++cursor;
    ++used;
  }
  return used == entries.size();
}

bool ReadIndices(const Variant& value, TcxCheckStates& states) {
  AnsiString text;
  if (!TextOf(value, text)) return false;
  TcxCheckBoxState part = cbsGrayed;
  size_t pos = 0;
  while (pos < text.size()) {
    if (text[pos] == ';' && part == cbsGrayed) {
      part = cbsChecked;
      ++pos;
    }
    int index = 0;
    if (!ReadNumber(text, pos, index) || size_t(index) >= states.size()) return false;
    states[size_t(index)] = part;
    if (pos < text.size() && text[pos] == ',') ++pos;
  }
  return true;
}

bool ReadInteger(const Variant& value, TcxCheckStates& states) {
  uint64_t bits = 0;
  if (value.IsNull()) bits = 0;
  else if (VarIsStr(value)) bits = uint64_t(StrToInt64(value.AsString()));
  else if (VarIsNumeric(value) || value.VarType() == varDate) bits = uint64_t(value.AsInt64());
  else return false;
  // Items from 64 on have no bit and stay unchecked.
  for (size_t i = 0; i < states.size() && i < 64; ++i)
    states[i] = ((bits >> i) & 1) != 0 ? cbsChecked : cbsUnchecked;
  return true;
}

bool ReadStatesString(const Variant& value, TcxCheckStates& states) {
  AnsiString text;
  if (!TextOf(value, text)) return false;
  for (size_t i = 0; i < text.size() && i < states.size(); ++i) {
    switch (text[i]) {
      case '0': states[i] = cbsUnchecked; break;
      case '1': states[i] = cbsChecked; break;
      case '2': states[i] = cbsGrayed; break;
      default: return false;
    }
  }
  return true;
}

}  // namespace

void CheckStatesToValue(const TcxCheckStates& states, const IcxCheckItemsSource& items,
                        TcxCheckStatesValueFormat format, Variant& value) {
  value = Variant();
  const int count = items.GetCount();
  switch (format) {
    case cvfCaptions:
    case cvfIndices: {
      AnsiString grayed, checked;
      for (int i = 0; i < count; ++i) {
        const TcxCheckBoxState state = StateAt(states, i);
        if (state == cbsUnchecked) continue;
        AnsiString& list = state == cbsGrayed ? grayed : checked;
        if (format == cvfCaptions) {
          const AnsiString caption = items.GetCaption(i);
          list += IntToStr(int64_t(caption.size())) + ":" + caption;
        } else {
          if (!list.empty()) list += ",";
          list += IntToStr(i);
        }
      }
      value = checked.empty() ? grayed : grayed + ";" + checked;
      break;
    }
    case cvfInteger: {
      uint64_t bits = 0;
      // Shifting by 64 or more is undefined: items from 64 on add nothing.
      for (int i = 0; i < count && i < 64; ++i)
        if (StateAt(states, i) == cbsChecked) bits |= uint64_t(1) << i;
      value = Variant(int64_t(bits));
      break;
    }
    case cvfStatesString: {
      AnsiString text;
      for (int i = 0; i < count; ++i) {
        const TcxCheckBoxState state = StateAt(states, i);
        text += state == cbsChecked ? '1' : state == cbsGrayed ? '2' : '0';
      }
      value = text;
      break;
    }
  }
}

bool ValueToCheckStates(const Variant& value, const IcxCheckItemsSource& items, TcxCheckStatesValueFormat format,
                        TcxCheckStates& states) {
  const int count = items.GetCount();
  states.assign(size_t(count > 0 ? count : 0), cbsUnchecked);
  bool read = false;
  try {
    switch (format) {
      case cvfCaptions: read = ReadCaptions(value, items, states); break;
      case cvfIndices: read = ReadIndices(value, states); break;
      case cvfInteger: read = ReadInteger(value, states); break;
      case cvfStatesString: read = ReadStatesString(value, states); break;
    }
  } catch (const std::exception&) {
    // A string that is no integer, a number out of the 64-bit range.
    read = false;
  }
  if (!read) states.assign(states.size(), cbsUnchecked);
  return read;
}
