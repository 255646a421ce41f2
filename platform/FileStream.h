// Streams over Windows handles, files and resources.
#pragma once

#include "platform/Stream.h"
#include "platform/Win32.h"

// Open modes: one access mode combined with one share mode, or fmCreate
// (create or truncate, read and write, exclusive).
constexpr unsigned fmCreate = 0xFFFF;
constexpr unsigned fmOpenRead = 0x0000;
constexpr unsigned fmOpenWrite = 0x0001;
constexpr unsigned fmOpenReadWrite = 0x0002;
constexpr unsigned fmShareCompat = 0x0000;
constexpr unsigned fmShareExclusive = 0x0010;
constexpr unsigned fmShareDenyWrite = 0x0020;
constexpr unsigned fmShareDenyRead = 0x0030;
constexpr unsigned fmShareDenyNone = 0x0040;

// A stream over a handle it does not own.
class THandleStream : public TStream {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit THandleStream(HANDLE handle) : FHandle(handle) {}
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t size) override;
  HANDLE Handle() const { return FHandle; }

protected:
  HANDLE FHandle;
};

// A file opened (or created) by name in the system code page. Failures raise
// EFCreateError / EFOpenError naming the file and the system's reason.
class TFileStream : public THandleStream {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TFileStream(const AnsiString& fileName, unsigned mode);
  ~TFileStream() override;
  const AnsiString& FileName() const { return FFileName; }

private:
  AnsiString FFileName;
};

// A read-only stream over a resource of a module (RT_RCDATA by default).
// A missing resource raises EResNotFound; writing raises EStreamError.
class TResourceStream : public TStream {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TResourceStream(HINSTANCE instance, const AnsiString& name, const char* type = MAKEINTRESOURCEA(10));
  TResourceStream(HINSTANCE instance, int id, const char* type = MAKEINTRESOURCEA(10));
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override { return FSize; }
  const uint8_t* Memory() const { return FData; }

private:
  void Initialize(HINSTANCE instance, const char* name, const char* type, const AnsiString& shownName);
  const uint8_t* FData = nullptr;
  int64_t FSize = 0;
  int64_t FPosition = 0;
};


// The system's message for an error code ("" for 0).
AnsiString SysErrorMessage(DWORD code);
