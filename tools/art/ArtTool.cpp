// arttool: turns text art into the cursors, bitmaps and icons beside it.
//   arttool FILE.art...   writes NAME.cur, NAME.bmp and NAME.ico for every
//                         image of each file into the file's own folder
// Portable: the same program builds for Windows and natively.
#include "tools/art/TextArt.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

AnsiString ReadFile(const AnsiString& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Exception("Cannot open " + path);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const AnsiString& path, const AnsiString& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw Exception("Cannot write " + path);
}

AnsiString FolderOf(const AnsiString& path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == AnsiString::npos ? AnsiString() : path.substr(0, slash + 1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: arttool FILE.art...\n", stderr);
    return 2;
  }
  try {
    for (int i = 1; i < argc; ++i) {
      const AnsiString path = argv[i];
      for (const TArtOutput& output : ConvertTextArt(ReadFile(path), path))
        WriteFile(FolderOf(path) + output.FileName, output.Bytes);
    }
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "arttool: %s\n", e.what());
    return 1;
  }
}
