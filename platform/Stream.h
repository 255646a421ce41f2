// Byte streams with 64-bit positions: the base class, memory and string
// streams. Portable: no Windows headers (file, resource and COM streams live
// in FileStream.h and ComStream.h).
#pragma once

#include "platform/Object.h"
#include "platform/Text.h"

#include <cstdint>
#include <vector>

enum class TSeekOrigin { soBeginning, soCurrent, soEnd };

// Where a seek lands in a stream held in memory: never before the start, and
// saturated rather than wrapped when the offset is out of range.
int64_t SeekTarget(int64_t position, int64_t size, int64_t offset, TSeekOrigin origin);

class TStream : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // Transfers up to `count` bytes; answers how many were transferred.
  virtual int32_t Read(void* buffer, int32_t count) = 0;
  virtual int32_t Write(const void* buffer, int32_t count) = 0;
  virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

  int64_t Position() { return Seek(0, TSeekOrigin::soCurrent); }
  void SetPosition(int64_t position) { Seek(position, TSeekOrigin::soBeginning); }
  virtual int64_t Size();
  virtual void SetSize(int64_t size);

  // Exact transfers: a short read raises EReadError "Stream read error", a
  // short write EWriteError "Stream write error".
  void ReadBuffer(void* buffer, int64_t count);
  void WriteBuffer(const void* buffer, int64_t count);
  // Copies `count` bytes from `source`; a count of 0 copies the whole source
  // from its beginning. Answers the bytes copied.
  int64_t CopyFrom(TStream& source, int64_t count);

  // Little-endian helpers over ReadBuffer/WriteBuffer.
  uint8_t ReadByte();
  uint16_t ReadWord();
  uint32_t ReadDWord();
  void WriteByte(uint8_t value);
  void WriteWord(uint16_t value);
  void WriteDWord(uint32_t value);
  void WriteString(const AnsiString& bytes) { WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size())); }
};

// A stream over a growable block of memory.
class TMemoryStream : public TStream {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return static_cast<int64_t>(FData.size()); }
  void SetSize(int64_t size) override;

  void Clear();
  uint8_t* Memory() { return FData.data(); }
  const uint8_t* Memory() const { return FData.data(); }
  void LoadFromStream(TStream& source);
  void SaveToStream(TStream& target);
  // The whole content as bytes.
  AnsiString DataString() const { return AnsiString(reinterpret_cast<const char*>(FData.data()), FData.size()); }

private:
  std::vector<uint8_t> FData;
  int64_t FPosition = 0;
};

// A memory stream initialised from, and readable as, a string of bytes.
class TStringStream : public TMemoryStream {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TStringStream(const AnsiString& data = AnsiString());
};
