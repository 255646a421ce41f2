// giftool: makes the project's GIF pictures.
//   giftool busy OUT    writes the client's animated busy picture
#include "platform/Exceptions.h"
#include "tools/gif/BusyPicture.h"

#include <cstdio>
#include <cstring>
#include <fstream>

int main(int argc, char** argv) {
  if (argc != 3 || std::strcmp(argv[1], "busy") != 0) {
    std::fputs("usage: giftool busy OUT\n", stderr);
    return 2;
  }
  try {
    const AnsiString bytes = BusyPictureBytes();
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw Exception(Format("Cannot write %s", argv[2]));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "giftool: %s\n", e.what());
    return 1;
  }
  return 0;
}
