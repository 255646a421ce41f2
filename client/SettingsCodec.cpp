#include "client/SettingsCodec.h"

#include "client/ZLibStream.h"

void DeflateSettings(const AnsiString& text, TStream& dest) {
  TZCompressionStream compressor(dest, TZCompressionLevel::zcFastest);
  compressor.WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
  compressor.Finish();
}

AnsiString InflateSettings(TStream& source) {
  TZDecompressionStream inflater(source);
  AnsiString result;
  char chunk[8192];
  for (;;) {
    const int32_t got = inflater.Read(chunk, sizeof chunk);
    if (got <= 0) break;
    if (static_cast<int64_t>(result.size()) + got > MaxSettingsSize)
      throw EZDecompressionError(Z_MEM_ERROR, "Settings data larger than 1 MB");
    result.append(chunk, static_cast<size_t>(got));
  }
  return result;
}
