#include "gif/GIFTypes.h"

void RaiseGIFError(const AnsiString& message) { throw GIFException(message); }

void ReadChecked(TStream& stream, void* buffer, int32_t count) {
  auto* p = static_cast<uint8_t*>(buffer);
  while (count > 0) {
    const int32_t n = stream.Read(p, count);
    if (n <= 0) RaiseGIFError("Premature end of data");
    p += n;
    count -= n;
  }
}

bool ReadOptionalByte(TStream& stream, uint8_t& value) { return stream.Read(&value, 1) == 1; }

int64_t BytesLeft(TStream& stream) {
  const int64_t left = stream.Size() - stream.Position();
  return left > 0 ? left : 0;
}

void SkipBytes(TStream& stream, int64_t count) {
  if (count <= 0) return;
  const int64_t left = BytesLeft(stream);
  stream.Seek(count < left ? count : left, TSeekOrigin::soCurrent);
}

void WriteSubBlocks(TStream& stream, const void* data, size_t count) {
  const auto* p = static_cast<const uint8_t*>(data);
  for (size_t offset = 0; offset < count; offset += 255) {
    const uint8_t n = static_cast<uint8_t>(count - offset < 255 ? count - offset : 255);
    stream.WriteByte(n);
    stream.WriteBuffer(p + offset, n);
  }
}
