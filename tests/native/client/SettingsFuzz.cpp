// Fuzzes the settings decoder: any bytes as a settings file. It must answer
// text within the size limit or raise a decompression error, and a stream
// that decodes must decode the same again after a restart.
#include "client/SettingsCodec.h"
#include "client/ZLibStream.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream file;
  if (size > 0) file.WriteBuffer(data, static_cast<int64_t>(size));
  file.SetPosition(0);
  AnsiString text;
  try {
    text = InflateSettings(file);
  } catch (const EZDecompressionError&) {
    return 0;
  }
  if (static_cast<int64_t>(text.size()) > MaxSettingsSize) std::abort();
  file.SetPosition(0);
  TZDecompressionStream again(file);
  if (again.Seek(0, TSeekOrigin::soEnd) != static_cast<int64_t>(text.size())) std::abort();
  again.Seek(0, TSeekOrigin::soBeginning);
  AnsiString back(text.size(), '\0');
  if (!back.empty() && again.Read(back.data(), static_cast<int32_t>(back.size())) != static_cast<int32_t>(back.size()))
    std::abort();
  if (back != text) std::abort();
  return 0;
}
