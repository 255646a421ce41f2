// Stand-in for the native build: items to and from named files through the
// C++ library (no sharing modes), so the same tests run under the sanitizers.
#include "gif/GIFItem.h"

#include <fstream>
#include <iterator>

void TGIFItem::SaveToFileNamed(const AnsiString& fileName) {
  TMemoryStream stream;
  SaveToStream(stream);
  std::ofstream file(fileName, std::ios::binary | std::ios::trunc);
  if (!file) throw EFCreateError("Cannot create file \"" + fileName + "\"");
  file.write(reinterpret_cast<const char*>(stream.Memory()), static_cast<std::streamsize>(stream.Size()));
  if (!file) throw EWriteError("Stream write error");
}

void TGIFItem::LoadFromFileNamed(const AnsiString& fileName) {
  std::ifstream file(fileName, std::ios::binary);
  if (!file) throw EFOpenError("Cannot open file \"" + fileName + "\"");
  const AnsiString bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  TStringStream stream(bytes);
  LoadFromStream(stream);
}
