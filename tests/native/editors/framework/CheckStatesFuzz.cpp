// Check-state values come from forms and data others wrote: any value must
// read as states or be refused with every item unchecked, and states that
// were read must write out and read back the same. Input: one byte picking
// the format and the value's kind, one byte the item count (0-69), then the
// value's text (or, for a number, its first 8 bytes).
#include "editors/framework/CheckStates.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

class Items : public IcxCheckItemsSource {
public:
  Items(int count, bool repeated) {
    // Distinct captions (in any case) unless asked to repeat a few.
    for (int i = 0; i < count; ++i) FCaptions.push_back(repeated ? AnsiString(1, char('a' + i % 3)) : "c" + std::to_string(i));
  }
  AnsiString GetCaption(int index) const override { return FCaptions.at(size_t(index)); }
  int GetCount() const override { return int(FCaptions.size()); }

private:
  std::vector<AnsiString> FCaptions;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2 || size > 4096) return 0;
  const auto format = TcxCheckStatesValueFormat(data[0] & 3);
  const int kind = (data[0] >> 2) & 3;
  const bool repeated = (data[0] & 0x10) != 0;
  const Items items(data[1] % 70, repeated);
  const std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
  Variant value;
  if (kind == 0) value = Variant(AnsiString(text));
  else if (kind == 1) value = Variant::Null();
  else {
    int64_t number = 0;
    std::memcpy(&number, text.data(), text.size() < 8 ? text.size() : 8);
    value = kind == 2 ? Variant(number) : Variant(double(number) / 3);
  }
  TcxCheckStates states;
  const bool read = ValueToCheckStates(value, items, format, states);
  if (states.size() != size_t(items.GetCount())) std::abort();
  if (!read) {
    for (const TcxCheckBoxState state : states)
      if (state != cbsUnchecked) std::abort();
    return 0;
  }
  Variant written;
  CheckStatesToValue(states, items, format, written);
  TcxCheckStates again;
  if (!ValueToCheckStates(written, items, format, again)) std::abort();
  // Repeated captions may trade states between equal items.
  if (!repeated && again != states) std::abort();
  return 0;
}
