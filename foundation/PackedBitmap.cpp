#include "foundation/PackedBitmap.h"

#include <algorithm>

std::string PackBitmapRuns(const uint8_t* plain, size_t size) {
  std::string runs;
  size_t i = 0;
  while (i < size) {
    const uint8_t first = plain[i];
    if (i + 1 < size && plain[i + 1] == first) {
      size_t count = 1;
      while (count < cxPackedBitmapMaxRun && i + count < size && plain[i + count] == first) ++count;
      runs += static_cast<char>(count);
      runs += static_cast<char>(first);
      i += count;
      continue;
    }
    // A literal run: each byte differs from the one before it; an equal
    // pair ends it before its first byte, which starts the next repeat run.
    size_t count = 1;
    while (count < cxPackedBitmapMaxRun && i + count < size) {
      if (plain[i + count] == plain[i + count - 1]) {
        --count;
        break;
      }
      ++count;
    }
    runs += static_cast<char>(0x80 | count);
    runs.append(reinterpret_cast<const char*>(plain + i), count);
    i += count;
  }
  return runs;
}

void WritePackedBitmap(TStream& target, const std::string& plain) {
  const int64_t start = target.Position();
  uint8_t header[cxPackedBitmapHeaderSize] = {};
  target.WriteBuffer(header, sizeof header);
  const std::string runs = PackBitmapRuns(plain);
  target.WriteString(runs);
  const int64_t end = target.Position();
  const uint32_t length = static_cast<uint32_t>(runs.size());
  header[0] = static_cast<uint8_t>(length);
  header[1] = static_cast<uint8_t>(length >> 8);
  header[2] = static_cast<uint8_t>(length >> 16);
  header[3] = static_cast<uint8_t>(length >> 24);
  header[4] = 'X';
  header[5] = 'D';
  header[6] = 'B';
  header[7] = 'M';
  header[8] = 1;
  header[9] = 0;
  target.SetPosition(start);
  target.WriteBuffer(header, sizeof header);
  target.SetPosition(end);
}

std::string ReadPackedBitmap(TStream& source, bool& packed, size_t limit) {
  packed = false;
  const int64_t start = source.Position();
  uint8_t header[cxPackedBitmapHeaderSize];
  if (source.Read(header, sizeof header) != static_cast<int32_t>(sizeof header) || header[4] != 'X' ||
      header[5] != 'D' || header[6] != 'B' || header[7] != 'M') {
    source.SetPosition(start);
    return {};
  }
  packed = true;
  // The version (header[8..9]) is not compared with anything.
  const int32_t packedLength = static_cast<int32_t>(static_cast<uint32_t>(header[0]) | (uint32_t{header[1]} << 8) |
                                                    (uint32_t{header[2]} << 16) | (uint32_t{header[3]} << 24));
  std::string plain;
  if (packedLength <= 0) return plain;
  int64_t remaining = std::min<int64_t>(packedLength, source.Size() - source.Position());
  // The plain form declares its own length: four bytes of byte count, then
  // that many bytes. Until those four bytes are out the bound is `limit`.
  size_t wanted = limit;
  auto reached = [&] {
    if (wanted == limit && plain.size() >= 4) {
      const uint32_t count = static_cast<uint8_t>(plain[0]) | (uint32_t{static_cast<uint8_t>(plain[1])} << 8) |
                             (uint32_t{static_cast<uint8_t>(plain[2])} << 16) |
                             (uint32_t{static_cast<uint8_t>(plain[3])} << 24);
      wanted = std::min<uint64_t>(limit, uint64_t{count} + 4);
    }
    return plain.size() >= wanted;
  };
  uint8_t buffer[128];
  while (remaining > 0 && !reached()) {
    uint8_t control;
    if (source.Read(&control, 1) != 1) break;
    --remaining;
    const size_t count = control & 0x7F;
    if (control & 0x80) {
      const int32_t available = static_cast<int32_t>(std::min<int64_t>(static_cast<int64_t>(count), remaining));
      const int32_t got = source.Read(buffer, available);
      if (got <= 0) break;
      remaining -= got;
      plain.append(reinterpret_cast<const char*>(buffer),
                   std::min<size_t>(static_cast<size_t>(got), wanted - plain.size()));
    } else {
      if (remaining <= 0) break;  // a repeat run without its value byte
      uint8_t value;
      if (source.Read(&value, 1) != 1) break;
      --remaining;
      plain.append(std::min(count, wanted - plain.size()), static_cast<char>(value));
    }
  }
  reached();
  if (plain.size() > wanted) plain.resize(wanted);
  // Whatever was left unread of the runs is not the next reader's data.
  source.SetPosition(std::min<int64_t>(start + cxPackedBitmapHeaderSize + packedLength, source.Size()));
  return plain;
}
