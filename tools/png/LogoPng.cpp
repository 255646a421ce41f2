// Draws the program's emblem, an 80 x 80 truecolour picture with alpha (a
// blue disc with a white rim and a white "M"), and writes it as a PNG file.
// Integer arithmetic only, so every build writes the same bytes.
//
//   mevra_logo_png <output.png>

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int Size = 80;
constexpr int Sub = 4;  // subsamples per pixel and axis
constexpr int Grid = Size * Sub;

struct Rgb {
  int R, G, B;
};

// Squared distance test of point p to segment ab, all in subsample units:
// true when the distance is at most `radius`.
bool NearSegment(long long px, long long py, long long ax, long long ay, long long bx, long long by,
                 long long radius) {
  const long long dx = bx - ax, dy = by - ay;
  const long long qx = px - ax, qy = py - ay;
  const long long len2 = dx * dx + dy * dy;
  const long long dot = qx * dx + qy * dy;
  const long long r2 = radius * radius;
  if (dot <= 0) return qx * qx + qy * qy <= r2;
  if (dot >= len2) {
    const long long ex = px - bx, ey = py - by;
    return ex * ex + ey * ey <= r2;
  }
  // |q|^2 - dot^2 / len2 <= r^2, multiplied through by len2.
  return (qx * qx + qy * qy) * len2 - dot * dot <= r2 * len2;
}

// The colour of one subsample, or false outside the emblem.
bool Sample(int sx, int sy, Rgb& c) {
  const long long cx = Grid / 2, cy = Grid / 2;
  const long long x = 2 * sx + 1, y = 2 * sy + 1;  // subsample centres, doubled
  const long long dx = x - 2 * cx, dy = y - 2 * cy;
  const long long d2 = dx * dx + dy * dy;
  const long long outer = 2LL * 38 * Sub, rim = 2LL * 35 * Sub;
  if (d2 > outer * outer) return false;
  if (d2 > rim * rim) {
    c = {236, 244, 252};
    return true;
  }
  // Letter strokes, in pixel co-ordinates of the 80 x 80 picture.
  static const int M[5][2] = {{23, 57}, {23, 25}, {40, 45}, {57, 25}, {57, 57}};
  for (int i = 0; i < 4; ++i) {
    if (NearSegment(x, y, 2LL * M[i][0] * Sub, 2LL * M[i][1] * Sub, 2LL * M[i + 1][0] * Sub,
                    2LL * M[i + 1][1] * Sub, 2LL * 4 * Sub)) {
      c = {255, 255, 255};
      return true;
    }
  }
  // Vertical gradient from a light to a deep blue.
  const int t = sy;  // 0 .. Grid - 1
  c = {40 + (20 - 40) * t / Grid, 150 + (80 - 150) * t / Grid, 225 + (160 - 225) * t / Grid};
  return true;
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v >> 24));
  out.push_back(static_cast<uint8_t>(v >> 16));
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}

void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
  PutU32(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32(crc, out.data() + start, static_cast<uInt>(out.size() - start));
  PutU32(out, static_cast<uint32_t>(crc));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mevra_logo_png <output.png>\n");
    return 2;
  }
  // Rows of filter byte 0 followed by RGBA pixels (straight alpha).
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<size_t>(Size) * (Size * 4 + 1));
  for (int py = 0; py < Size; ++py) {
    raw.push_back(0);
    for (int px = 0; px < Size; ++px) {
      int r = 0, g = 0, b = 0, n = 0;
      for (int j = 0; j < Sub; ++j)
        for (int i = 0; i < Sub; ++i) {
          Rgb c;
          if (Sample(px * Sub + i, py * Sub + j, c)) {
            r += c.R;
            g += c.G;
            b += c.B;
            ++n;
          }
        }
      raw.push_back(static_cast<uint8_t>(n ? r / n : 0));
      raw.push_back(static_cast<uint8_t>(n ? g / n : 0));
      raw.push_back(static_cast<uint8_t>(n ? b / n : 0));
      raw.push_back(static_cast<uint8_t>(n * 255 / (Sub * Sub)));
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) {
    std::fprintf(stderr, "compression failed\n");
    return 1;
  }
  packed.resize(packedSize);

  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  PutU32(header, Size);
  PutU32(header, Size);
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits per sample, RGBA, deflate, no filter variants, no interlace
  PutChunk(png, "IHDR", header);
  PutChunk(png, "IDAT", packed);
  PutChunk(png, "IEND", {});

  FILE* file = std::fopen(argv[1], "wb");
  if (!file) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  const bool written = std::fwrite(png.data(), 1, png.size(), file) == png.size();
  if (std::fclose(file) != 0 || !written) {
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
