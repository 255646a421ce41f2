#include "tools/art/TextArt.h"

#include "platform/BmpCodec.h"

#include <algorithm>
#include <cctype>
#include <cstdint>

namespace {

// What a palette letter stands for.
enum class TInk { Colour, None, Invert };

struct TPaletteEntry {
  char Letter;
  TInk Ink;
  uint32_t Colour;  // 0x00RRGGBB for TInk::Colour
};

enum class TArtKind { Bitmap, Cursor, Icon };

// One picture: a bitmap (all its cells side by side), or one image of a
// cursor or icon. Pixels are palette indices, row 0 at the top.
struct TArtImage {
  int Width = 0;
  int Height = 0;
  int Depth = 0;
  int HotX = 0;
  int HotY = 0;
  std::vector<int> Pixels;
};

struct TArtResource {
  TArtKind Kind;
  AnsiString Name;
  std::vector<TPaletteEntry> Palette;  // the palette in force where it was written
  std::vector<TArtImage> Images;
};

constexpr int MaxCellSide = 256;
constexpr int MaxBitmapWidth = 8192;

struct TLine {
  int Number;
  std::vector<AnsiString> Tokens;
};

class TArtReader {
public:
  TArtReader(const AnsiString& source, const AnsiString& name) : FName(name) { SplitLines(source); }

  std::vector<TArtResource> Read() {
    std::vector<TArtResource> resources;
    while (FAt < FLines.size()) {
      const TLine& line = FLines[FAt++];
      const AnsiString& word = line.Tokens[0];
      if (word == "colors") {
        ReadPalette(line);
      } else if (word == "bitmap" || word == "cursor" || word == "icon") {
        TArtResource resource;
        resource.Kind = word == "bitmap" ? TArtKind::Bitmap : word == "cursor" ? TArtKind::Cursor : TArtKind::Icon;
        if (line.Tokens.size() < 2) Fail(line.Number, "a " + word + " needs a name");
        resource.Name = line.Tokens[1];
        CheckName(line.Number, resource.Name);
        for (const TArtResource& other : resources)
          if (other.Name == resource.Name) Fail(line.Number, "the name " + resource.Name + " is used twice");
        resource.Images.push_back(ReadImage(resource.Kind, line, 2));
        resource.Palette = FPalette;
        while (resource.Kind == TArtKind::Icon && FAt < FLines.size() && FLines[FAt].Tokens[0] == "image") {
          const TLine& more = FLines[FAt++];
          resource.Images.push_back(ReadImage(resource.Kind, more, 1));
        }
        resources.push_back(std::move(resource));
      } else if (word == "image") {
        Fail(line.Number, "\"image\" adds an image to the icon right before it");
      } else {
        Fail(line.Number, "expected colors, bitmap, cursor or icon, found \"" + word + "\"");
      }
    }
    if (resources.empty()) Fail(0, "no images");
    return resources;
  }

private:
  [[noreturn]] void Fail(int line, const AnsiString& what) const {
    if (line > 0) throw EArtError(FName + ":" + IntToStr(line) + ": " + what);
    throw EArtError(FName + ": " + what);
  }

  void SplitLines(const AnsiString& source) {
    size_t start = 0;
    int number = 0;
    while (start <= source.size()) {
      size_t end = source.find('\n', start);
      if (end == AnsiString::npos) end = source.size();
      ++number;
      TLine line{number, {}};
      size_t i = start;
      while (i < end) {
        while (i < end && (source[i] == ' ' || source[i] == '\t' || source[i] == '\r')) ++i;
        if (i >= end) break;
        if (line.Tokens.empty() && source[i] == '#') break;
        size_t j = i;
        while (j < end && source[j] != ' ' && source[j] != '\t' && source[j] != '\r') ++j;
        line.Tokens.push_back(source.substr(i, j - i));
        i = j;
      }
      if (!line.Tokens.empty()) FLines.push_back(std::move(line));
      start = end + 1;
    }
  }

  void CheckName(int line, const AnsiString& name) const {
    bool ok = !name.empty() && name.size() <= 64 && name[0] >= 'A' && name[0] <= 'Z';
    for (char c : name) ok = ok && ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_');
    if (!ok) Fail(line, "\"" + name + "\" is no resource name (capital letters, digits and _, a letter first)");
  }

  void ReadPalette(const TLine& header) {
    if (header.Tokens.size() != 1) Fail(header.Number, "\"colors\" stands alone on its line");
    FPalette.clear();
    while (FAt < FLines.size() && FLines[FAt].Tokens[0].size() == 1) {
      const TLine& line = FLines[FAt++];
      if (line.Tokens.size() != 2) Fail(line.Number, "a palette entry is a letter and a colour");
      const char letter = line.Tokens[0][0];
      if (static_cast<unsigned char>(letter) < 0x21 || static_cast<unsigned char>(letter) > 0x7E)
        Fail(line.Number, "palette letters are printable ASCII");
      for (const TPaletteEntry& e : FPalette)
        if (e.Letter == letter) Fail(line.Number, AnsiString("the letter ") + letter + " is defined twice");
      const AnsiString& value = line.Tokens[1];
      TPaletteEntry entry{letter, TInk::Colour, 0};
      if (value == "none") {
        entry.Ink = TInk::None;
      } else if (value == "invert") {
        entry.Ink = TInk::Invert;
      } else {
        bool hex = value.size() == 6;
        for (char c : value) hex = hex && std::isxdigit(static_cast<unsigned char>(c));
        if (!hex) Fail(line.Number, "\"" + value + "\" is no colour (rrggbb, none or invert)");
        entry.Colour = static_cast<uint32_t>(std::stoul(value, nullptr, 16));
      }
      FPalette.push_back(entry);
    }
    if (FPalette.empty()) Fail(header.Number, "the palette is empty");
  }

  // Reads "key value" pairs from `first` on, then the rows.
  TArtImage ReadImage(TArtKind kind, const TLine& header, size_t first) {
    TArtImage image;
    int cells = 1;
    bool haveSize = false, haveDepth = false, haveHot = false;
    for (size_t i = first; i < header.Tokens.size(); i += 2) {
      const AnsiString& key = header.Tokens[i];
      if (i + 1 >= header.Tokens.size()) Fail(header.Number, "\"" + key + "\" needs a value");
      const AnsiString& value = header.Tokens[i + 1];
      if (key == "size") {
        if (!ParsePair(value, 'x', image.Width, image.Height) || image.Width < 1 || image.Height < 1 ||
            image.Width > MaxCellSide || image.Height > MaxCellSide)
          Fail(header.Number, "size is WxH, each from 1 to 256");
        haveSize = true;
      } else if (key == "depth") {
        if (!TryStrToInt(value, image.Depth) ||
            (image.Depth != 1 && image.Depth != 4 && image.Depth != 8 && image.Depth != 24 && image.Depth != 32))
          Fail(header.Number, "depth is 1, 4, 8, 24 or 32");
        haveDepth = true;
      } else if (key == "cells" && kind == TArtKind::Bitmap) {
        if (!TryStrToInt(value, cells) || cells < 1 || cells > MaxBitmapWidth) Fail(header.Number, "cells is a count");
      } else if (key == "hotspot" && kind == TArtKind::Cursor) {
        if (!ParsePair(value, ',', image.HotX, image.HotY)) Fail(header.Number, "hotspot is X,Y");
        haveHot = true;
      } else {
        Fail(header.Number, "unknown setting \"" + key + "\"");
      }
    }
    if (!haveSize) Fail(header.Number, "the size is missing");
    if (!haveDepth) Fail(header.Number, "the depth is missing");
    if (kind == TArtKind::Cursor && !haveHot) Fail(header.Number, "a cursor needs its hotspot");
    if (haveHot && (image.HotX < 0 || image.HotY < 0 || image.HotX >= image.Width || image.HotY >= image.Height))
      Fail(header.Number, "the hotspot lies outside the image");
    if (static_cast<int64_t>(image.Width) * cells > MaxBitmapWidth)
      Fail(header.Number, "the bitmap is wider than " + IntToStr(MaxBitmapWidth) + " pixels");
    if (FPalette.empty()) Fail(header.Number, "no palette before the first image");

    const int cellWidth = image.Width;
    image.Width *= cells;
    image.Pixels.assign(static_cast<size_t>(image.Width) * static_cast<size_t>(image.Height), 0);
    for (int cell = 0; cell < cells; ++cell)
      for (int y = 0; y < image.Height; ++y) {
        if (FAt >= FLines.size()) Fail(header.Number, "the image has fewer rows than its size says");
        const TLine& row = FLines[FAt++];
        if (row.Tokens.size() != 1) Fail(row.Number, "a row is one run of letters without spaces");
        const AnsiString& letters = row.Tokens[0];
        if (static_cast<int>(letters.size()) != cellWidth)
          Fail(row.Number, "the row has " + IntToStr(static_cast<int64_t>(letters.size())) + " letters, the image is " +
                               IntToStr(cellWidth) + " wide");
        for (int x = 0; x < cellWidth; ++x) {
          const int index = IndexOf(letters[static_cast<size_t>(x)]);
          if (index < 0) Fail(row.Number, AnsiString("the letter ") + letters[static_cast<size_t>(x)] + " is not in the palette");
          image.Pixels[static_cast<size_t>(y) * static_cast<size_t>(image.Width) +
                       static_cast<size_t>(cell * cellWidth + x)] = index;
        }
      }
    CheckInks(kind, image, header.Number);
    return image;
  }

  void CheckInks(TArtKind kind, const TArtImage& image, int line) const {
    for (int index : image.Pixels) {
      const TPaletteEntry& e = FPalette[static_cast<size_t>(index)];
      if (e.Ink != TInk::Colour && kind == TArtKind::Bitmap)
        Fail(line, AnsiString("a bitmap has no transparent or inverted pixels (letter ") + e.Letter + ")");
      if (e.Ink == TInk::Invert && image.Depth == 32) Fail(line, "a 32-bit image cannot invert the screen");
      if (e.Ink == TInk::Colour && image.Depth == 1 && kind != TArtKind::Bitmap && e.Colour != 0 && e.Colour != 0xFFFFFF)
        Fail(line, AnsiString("a 1-bit image is black and white (letter ") + e.Letter + ")");
    }
  }

  static bool ParsePair(const AnsiString& text, char separator, int& a, int& b) {
    const size_t at = text.find(separator);
    return at != AnsiString::npos && TryStrToInt(text.substr(0, at), a) && TryStrToInt(text.substr(at + 1), b);
  }

  int IndexOf(char letter) const {
    for (size_t i = 0; i < FPalette.size(); ++i)
      if (FPalette[i].Letter == letter) return static_cast<int>(i);
    return -1;
  }

  AnsiString FName;
  std::vector<TLine> FLines;
  size_t FAt = 0;
  std::vector<TPaletteEntry> FPalette;
};

// The pixels of one image as colours and a transparency mask, bottom row
// first, with the colour table for depths up to 8.
struct TEncodedImage {
  TBmpImage Colour;
  std::vector<uint8_t> Mask;  // 1 bit per pixel, rows padded to 32 bits
};

void PutPixel(TBmpImage& bmp, int x, int y, uint32_t value) {
  uint8_t* row = bmp.Bits.data() + static_cast<size_t>(bmp.Height - 1 - y) * bmp.Stride();
  switch (bmp.BitCount) {
    case 1: row[x / 8] = static_cast<uint8_t>(row[x / 8] | (value & 1) << (7 - x % 8)); break;
    case 4: row[x / 2] = static_cast<uint8_t>(row[x / 2] | (value & 15) << (x % 2 ? 0 : 4)); break;
    case 8: row[x] = static_cast<uint8_t>(value); break;
    case 24:
      for (int i = 0; i < 3; ++i) row[x * 3 + i] = static_cast<uint8_t>(value >> (8 * i));
      break;
    default:
      for (int i = 0; i < 4; ++i) row[x * 4 + i] = static_cast<uint8_t>(value >> (8 * i));
      break;
  }
}

TEncodedImage Encode(const TArtImage& art, const std::vector<TPaletteEntry>& palette, const AnsiString& name) {
  TEncodedImage out;
  TBmpImage& bmp = out.Colour;
  bmp.Width = art.Width;
  bmp.Height = art.Height;
  bmp.BitCount = static_cast<uint16_t>(art.Depth);
  bmp.Bits.assign(bmp.Stride() * static_cast<size_t>(bmp.Height), 0);
  const size_t maskStride = BmpStride(art.Width, 1);
  out.Mask.assign(maskStride * static_cast<size_t>(art.Height), 0);

  // The colour of each palette entry as the image writes it: a transparent
  // pixel is black under a set mask bit, an inverting one white.
  auto inkColour = [&](const TPaletteEntry& e) -> uint32_t {
    return e.Ink == TInk::Colour ? e.Colour : e.Ink == TInk::Invert ? 0xFFFFFFu : 0u;
  };
  std::vector<uint32_t> table;
  if (art.Depth == 1 && palette.size() > 0) {
    bool onlyBlackAndWhite = true;
    for (int index : art.Pixels) {
      const uint32_t c = inkColour(palette[static_cast<size_t>(index)]);
      onlyBlackAndWhite = onlyBlackAndWhite && (c == 0 || c == 0xFFFFFF);
    }
    if (onlyBlackAndWhite) table = {0x000000, 0xFFFFFF};
  }
  if (art.Depth <= 8 && table.empty()) {
    // The colours the image uses, in palette order.
    std::vector<bool> used(palette.size(), false);
    for (int index : art.Pixels) used[static_cast<size_t>(index)] = true;
    for (size_t i = 0; i < palette.size(); ++i) {
      const uint32_t c = inkColour(palette[i]);
      if (used[i] && std::find(table.begin(), table.end(), c) == table.end()) table.push_back(c);
    }
    if (table.size() > (1u << art.Depth))
      throw EArtError(name + ": uses " + IntToStr(static_cast<int64_t>(table.size())) + " colours; a " +
                      IntToStr(art.Depth) + "-bit image holds " + IntToStr(1 << art.Depth));
  }
  if (art.Depth <= 8) {
    bmp.Palette = table;
    bmp.Palette.resize(size_t{1} << art.Depth, 0);
  }

  for (int y = 0; y < art.Height; ++y)
    for (int x = 0; x < art.Width; ++x) {
      const TPaletteEntry& e = palette[static_cast<size_t>(art.Pixels[static_cast<size_t>(y) * art.Width + x])];
      const uint32_t colour = inkColour(e);
      uint32_t value;
      if (art.Depth <= 8) {
        value = static_cast<uint32_t>(std::find(table.begin(), table.end(), colour) - table.begin());
      } else if (art.Depth == 32) {
        value = e.Ink == TInk::None ? 0u : (colour | 0xFF000000u);
      } else {
        value = colour;
      }
      PutPixel(bmp, x, y, value);
      if (e.Ink != TInk::Colour) {
        uint8_t* row = out.Mask.data() + static_cast<size_t>(art.Height - 1 - y) * maskStride;
        row[x / 8] = static_cast<uint8_t>(row[x / 8] | 0x80 >> (x % 8));
      }
    }
  return out;
}

void AppendBytes(std::vector<uint8_t>& out, const std::vector<uint8_t>& bytes) {
  out.insert(out.end(), bytes.begin(), bytes.end());
}

// The image of a cursor or icon as its file holds it: an info header of
// twice the height, the colour table, the colour rows, the mask rows.
std::vector<uint8_t> IconImageBytes(const TEncodedImage& image) {
  const TBmpImage& bmp = image.Colour;
  std::vector<uint8_t> out;
  AppendDWord(out, 40);
  AppendDWord(out, static_cast<uint32_t>(bmp.Width));
  AppendDWord(out, static_cast<uint32_t>(bmp.Height * 2));
  AppendWord(out, 1);
  AppendWord(out, bmp.BitCount);
  AppendDWord(out, 0);
  AppendDWord(out, static_cast<uint32_t>(bmp.Bits.size() + image.Mask.size()));
  AppendDWord(out, 0);
  AppendDWord(out, 0);
  AppendDWord(out, 0);
  AppendDWord(out, 0);
  for (uint32_t c : bmp.Palette) AppendDWord(out, c);
  AppendBytes(out, bmp.Bits);
  AppendBytes(out, image.Mask);
  return out;
}

AnsiString ToString(const std::vector<uint8_t>& bytes) { return AnsiString(bytes.begin(), bytes.end()); }

AnsiString IconFile(const TArtResource& resource, const std::vector<TEncodedImage>& images) {
  const bool cursor = resource.Kind == TArtKind::Cursor;
  std::vector<std::vector<uint8_t>> bodies;
  for (const TEncodedImage& image : images) bodies.push_back(IconImageBytes(image));
  std::vector<uint8_t> out;
  AppendWord(out, 0);
  AppendWord(out, cursor ? 2 : 1);
  AppendWord(out, static_cast<uint16_t>(images.size()));
  uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
  for (size_t i = 0; i < images.size(); ++i) {
    const TArtImage& art = resource.Images[i];
    out.push_back(static_cast<uint8_t>(art.Width == 256 ? 0 : art.Width));
    out.push_back(static_cast<uint8_t>(art.Height == 256 ? 0 : art.Height));
    out.push_back(static_cast<uint8_t>(art.Depth < 8 ? 1 << art.Depth : 0));
    out.push_back(0);
    AppendWord(out, static_cast<uint16_t>(cursor ? art.HotX : 1));
    AppendWord(out, static_cast<uint16_t>(cursor ? art.HotY : art.Depth));
    AppendDWord(out, static_cast<uint32_t>(bodies[i].size()));
    AppendDWord(out, offset);
    offset += static_cast<uint32_t>(bodies[i].size());
  }
  for (const std::vector<uint8_t>& body : bodies) AppendBytes(out, body);
  return ToString(out);
}

}  // namespace

std::vector<TArtOutput> ConvertTextArt(const AnsiString& source, const AnsiString& sourceName) {
  std::vector<TArtOutput> outputs;
  for (const TArtResource& resource : TArtReader(source, sourceName).Read()) {
    const AnsiString where = sourceName + ": " + resource.Name;
    std::vector<TEncodedImage> images;
    for (const TArtImage& image : resource.Images) images.push_back(Encode(image, resource.Palette, where));
    switch (resource.Kind) {
      case TArtKind::Bitmap: outputs.push_back({resource.Name + ".bmp", ToString(EncodeBmp(images[0].Colour))}); break;
      case TArtKind::Cursor: outputs.push_back({resource.Name + ".cur", IconFile(resource, images)}); break;
      case TArtKind::Icon: outputs.push_back({resource.Name + ".ico", IconFile(resource, images)}); break;
    }
  }
  return outputs;
}

bool IsArtOutputExtension(const AnsiString& extension) {
  return extension == ".bmp" || extension == ".cur" || extension == ".ico";
}
