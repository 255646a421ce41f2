// hebrewtable OUT: writes the calendar tables' Hebrew year table (Gregorian
// years 1583-2240) to OUT (editors/framework/HebrewYears.inc).
#include "tools/calendar/HebrewYears.h"

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: hebrewtable OUT\n");
    return 2;
  }
  try {
    const std::string text = HebrewYearTableText(1583, 2240);
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out) {
      std::fprintf(stderr, "hebrewtable: cannot write %s\n", argv[1]);
      return 1;
    }
    const bool written = std::fwrite(text.data(), 1, text.size(), out) == text.size();
    if (std::fclose(out) != 0 || !written) {
      std::fprintf(stderr, "hebrewtable: cannot write %s\n", argv[1]);
      return 1;
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "hebrewtable: %s\n", e.what());
    return 1;
  }
  return 0;
}
