#include "platform/Stream.h"

#include "platform/Exceptions.h"

#include <algorithm>
#include <cstring>
#include <limits>

const TClassInfo TStream::ClassInfo{"TStream", &TObject::ClassInfo, nullptr};
const TClassInfo TMemoryStream::ClassInfo{"TMemoryStream", &TStream::ClassInfo,
                                          [](TObject*) -> TObject* { return new TMemoryStream; }};
const TClassInfo TStringStream::ClassInfo{"TStringStream", &TMemoryStream::ClassInfo,
                                          [](TObject*) -> TObject* { return new TStringStream; }};

int64_t SeekTarget(int64_t position, int64_t size, int64_t offset, TSeekOrigin origin) {
  const int64_t base = origin == TSeekOrigin::soBeginning ? 0 : origin == TSeekOrigin::soCurrent ? position : size;
  int64_t target;
  // Offsets may come from outside data: saturate instead of overflowing.
  if (__builtin_add_overflow(base, offset, &target)) target = offset < 0 ? 0 : std::numeric_limits<int64_t>::max();
  return target < 0 ? 0 : target;
}

int64_t TStream::Size() {
  const int64_t here = Seek(0, TSeekOrigin::soCurrent);
  const int64_t size = Seek(0, TSeekOrigin::soEnd);
  Seek(here, TSeekOrigin::soBeginning);
  return size;
}

void TStream::SetSize(int64_t) { throw EStreamError(Format("%s does not support changing its size", ClassName())); }

void TStream::ReadBuffer(void* buffer, int64_t count) {
  auto* p = static_cast<uint8_t*>(buffer);
  while (count > 0) {
    const int32_t chunk = static_cast<int32_t>(std::min<int64_t>(count, 0x40000000));
    const int32_t n = Read(p, chunk);
    if (n <= 0) throw EReadError("Stream read error");
    p += n;
    count -= n;
  }
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
  auto* p = static_cast<const uint8_t*>(buffer);
  while (count > 0) {
    const int32_t chunk = static_cast<int32_t>(std::min<int64_t>(count, 0x40000000));
    const int32_t n = Write(p, chunk);
    if (n <= 0) throw EWriteError("Stream write error");
    p += n;
    count -= n;
  }
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
  // A negative count (say a length field read from damaged data) asks for
  // nothing that can be copied: refuse it like any other short transfer.
  if (count < 0) throw EReadError("Stream read error");
  if (count == 0) {
    source.SetPosition(0);
    count = source.Size();
  }
  const int64_t total = count;
  std::vector<uint8_t> buffer(static_cast<size_t>(std::min<int64_t>(count, 0xF000)));
  while (count > 0) {
    const int32_t chunk = static_cast<int32_t>(std::min<int64_t>(count, static_cast<int64_t>(buffer.size())));
    source.ReadBuffer(buffer.data(), chunk);
    WriteBuffer(buffer.data(), chunk);
    count -= chunk;
  }
  return total;
}

uint8_t TStream::ReadByte() {
  uint8_t b;
  ReadBuffer(&b, 1);
  return b;
}

uint16_t TStream::ReadWord() {
  uint8_t b[2];
  ReadBuffer(b, 2);
  return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t TStream::ReadDWord() {
  uint8_t b[4];
  ReadBuffer(b, 4);
  return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

void TStream::WriteByte(uint8_t value) { WriteBuffer(&value, 1); }

void TStream::WriteWord(uint16_t value) {
  const uint8_t b[2] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
  WriteBuffer(b, 2);
}

void TStream::WriteDWord(uint32_t value) {
  const uint8_t b[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                        static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
  WriteBuffer(b, 4);
}

int32_t TMemoryStream::Read(void* buffer, int32_t count) {
  if (count <= 0 || FPosition >= Size()) return 0;
  const int64_t n = std::min<int64_t>(count, Size() - FPosition);
  std::memcpy(buffer, FData.data() + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return static_cast<int32_t>(n);
}

int32_t TMemoryStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  // Checked before adding: a position sought far out must not wrap round
  // into the block.
  const int64_t limit = static_cast<int64_t>(std::numeric_limits<size_t>::max() / 2);
  if (FPosition > limit - count) throw EOutOfMemory("Out of memory while expanding memory stream");
  const int64_t end = FPosition + count;
  if (end > Size()) FData.resize(static_cast<size_t>(end));
  std::memcpy(FData.data() + FPosition, buffer, static_cast<size_t>(count));
  FPosition = end;
  return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
  FPosition = SeekTarget(FPosition, Size(), offset, origin);
  return FPosition;
}

void TMemoryStream::SetSize(int64_t size) {
  if (size < 0) size = 0;
  if (size > static_cast<int64_t>(std::numeric_limits<size_t>::max() / 2)) throw EOutOfMemory("Out of memory while expanding memory stream");
  FData.resize(static_cast<size_t>(size));
  if (FPosition > size) FPosition = size;
}

void TMemoryStream::Clear() {
  FData.clear();
  FData.shrink_to_fit();
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
  source.SetPosition(0);
  const int64_t n = source.Size();
  SetSize(n);
  if (n > 0) source.ReadBuffer(FData.data(), n);
  FPosition = 0;
}

void TMemoryStream::SaveToStream(TStream& target) {
  if (!FData.empty()) target.WriteBuffer(FData.data(), static_cast<int64_t>(FData.size()));
}

TStringStream::TStringStream(const AnsiString& data) {
  if (!data.empty()) {
    WriteBuffer(data.data(), static_cast<int64_t>(data.size()));
    SetPosition(0);
  }
}
