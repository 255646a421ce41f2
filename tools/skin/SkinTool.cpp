// skintool: makes and inspects skin packages.
//   skintool house OUT             writes the project's house skin
//   skintool pack VERSION OUT FILE...  packs files (named by their base names)
//   skintool list PACKAGE          lists a package's entries
//   skintool resources DIR         writes the skin engine's bitmaps (skin/res)
//   skintool formtext PACKAGE      prints the SkinStream line a form's skin data
//                                  carries for the package
// Portable: the same program builds for Windows and natively.
#include "platform/Exceptions.h"
#include "skin/package/SkinReader.h"
#include "tools/skin/HouseSkin.h"
#include "tools/skin/SkinPackageWriter.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {
AnsiString ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Exception(Format("Cannot open %s", path));
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const char* path, const AnsiString& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw Exception(Format("Cannot write %s", path));
}

AnsiString BaseName(const AnsiString& path) { return path.substr(path.find_last_of("\\/") + 1); }

int Usage() {
  std::fputs("usage: skintool house OUT | pack VERSION OUT FILE... | list PACKAGE | resources DIR | formtext PACKAGE\n", stderr);
  return 2;
}
}  // namespace

int main(int argc, char** argv) {
  try {
    if (argc < 3) return Usage();
    const AnsiString command = argv[1];
    if (command == "house" && argc == 3) {
      WriteFile(argv[2], HouseSkinPackage());
    } else if (command == "pack" && argc >= 4) {
      std::vector<TSkinPackageEntry> entries;
      for (int i = 4; i < argc; ++i) entries.push_back({BaseName(argv[i]), ReadFile(argv[i])});
      WriteFile(argv[3], BuildSkinPackage(StrToInt(argv[2]), entries));
    } else if (command == "resources" && argc == 3) {
      for (const TSkinPackageEntry& e : SkinEngineBitmaps()) WriteFile((AnsiString(argv[2]) + "/" + e.Name).c_str(), e.Data);
    } else if (command == "formtext" && argc == 3) {
      // The form text's binary data: hexadecimal digits in braces, 64 bytes
      // a line, indented under the skin data's other properties.
      static const char digits[] = "0123456789ABCDEF";
      const AnsiString stream = SkinStreamProperty(ReadFile(argv[2]));
      std::fputs("    SkinStream = {", stdout);
      for (size_t i = 0; i < stream.size(); ++i) {
        if (i % 64 == 0) std::fputs("\n      ", stdout);
        const unsigned char c = static_cast<unsigned char>(stream[i]);
        std::putchar(digits[c >> 4]);
        std::putchar(digits[c & 15]);
      }
      std::fputs("}\n", stdout);
    } else if (command == "list" && argc == 3) {
      TMemoryStream package;
      package.WriteString(ReadFile(argv[2]));
      TSkinReader reader;
      if (!reader.LoadPackage(package)) return 1;
      std::printf("version %d, %d entries, data from offset %lld\n", reader.Version(), reader.Count(),
                  static_cast<long long>(reader.DataOffset()));
      for (int i = 0; i < reader.Count(); ++i) std::printf("%10d  %s\n", reader.Sizes(i), reader.Names(i).c_str());
    } else {
      return Usage();
    }
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skintool: %s\n", e.what());
    return 1;
  }
}
