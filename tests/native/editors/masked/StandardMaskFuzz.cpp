// Standard masks come from form streams and texts from the clipboard: any
// bytes must parse, and fitting any text must give one character per
// position. Input: flags byte (bit 0 use converted characters, bit 1 the
// text has literals), the mask, then after the first NUL the text.
#include "editors/masked/StandardMask.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const std::string rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  const size_t split = rest.find('\0');
  const std::string text = split == std::string::npos ? std::string() : rest.substr(split + 1);
  TcxStandardMask mask;
  mask.Compile(rest.substr(0, split));
  const std::string fitted = mask.FitText(text, (data[0] & 1) != 0, (data[0] & 2) != 0);
  if (fitted.size() != static_cast<size_t>(mask.Count())) abort();
  const std::string value = mask.TextToValue(fitted);
  if (value.size() != mask.EmptyValue().size()) abort();
  // A fitted text is made of what the items took and blanks, so fitting it
  // again changes nothing.
  if (mask.FitText(fitted, false, true) != fitted && mask.SaveLiteralCharacters()) abort();
  (void)mask.IsComplete(fitted);
  (void)mask.IsComplete(text);
  return 0;
}
