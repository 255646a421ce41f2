#include "platform/FileStream.h"

#include "platform/Exceptions.h"
#include "platform/StringList.h"

#include <algorithm>
#include <cstring>

const TClassInfo THandleStream::ClassInfo{"THandleStream", &TStream::ClassInfo, nullptr};
const TClassInfo TFileStream::ClassInfo{"TFileStream", &THandleStream::ClassInfo, nullptr};
const TClassInfo TResourceStream::ClassInfo{"TResourceStream", &TStream::ClassInfo, nullptr};

AnsiString SysErrorMessage(DWORD code) {
  if (code == 0) return AnsiString();
  char* text = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                 code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  AnsiString r = text ? TrimRight(text) : "System error " + std::to_string(code);
  if (text) LocalFree(text);
  return r;
}

int32_t THandleStream::Read(void* buffer, int32_t count) {
  DWORD done = 0;
  if (count <= 0 || !ReadFile(FHandle, buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
  return static_cast<int32_t>(done);
}

int32_t THandleStream::Write(const void* buffer, int32_t count) {
  DWORD done = 0;
  if (count <= 0 || !WriteFile(FHandle, buffer, static_cast<DWORD>(count), &done, nullptr)) return 0;
  return static_cast<int32_t>(done);
}

int64_t THandleStream::Seek(int64_t offset, TSeekOrigin origin) {
  LARGE_INTEGER distance, result;
  distance.QuadPart = offset;
  const DWORD method = origin == TSeekOrigin::soBeginning ? FILE_BEGIN
                       : origin == TSeekOrigin::soCurrent ? FILE_CURRENT
                                                          : FILE_END;
  if (!SetFilePointerEx(FHandle, distance, &result, method)) return -1;
  return result.QuadPart;
}

void THandleStream::SetSize(int64_t size) {
  const int64_t here = Position();
  Seek(size, TSeekOrigin::soBeginning);
  if (!SetEndOfFile(FHandle)) throw EStreamError("Stream size error: " + SysErrorMessage(GetLastError()));
  if (here < size) Seek(here, TSeekOrigin::soBeginning);
}

TFileStream::TFileStream(const AnsiString& fileName, unsigned mode) : THandleStream(INVALID_HANDLE_VALUE), FFileName(fileName) {
  if (mode == fmCreate) {
    FHandle = CreateFileA(fileName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                          nullptr);
    if (FHandle == INVALID_HANDLE_VALUE)
      throw EFCreateError("Cannot create file \"" + fileName + "\". " + SysErrorMessage(GetLastError()));
    return;
  }
  static const DWORD access[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
  // Compatibility mode shares like "deny none" plus nothing stricter.
  static const DWORD share[] = {FILE_SHARE_READ | FILE_SHARE_WRITE, 0, FILE_SHARE_READ, FILE_SHARE_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE};
  const unsigned a = mode & 3, s = (mode & 0xF0) >> 4;
  if (a > 2 || s > 4) throw EFOpenError("Cannot open file \"" + fileName + "\". Invalid open mode");
  FHandle = CreateFileA(fileName.c_str(), access[a], share[s], nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (FHandle == INVALID_HANDLE_VALUE)
    throw EFOpenError("Cannot open file \"" + fileName + "\". " + SysErrorMessage(GetLastError()));
}

TFileStream::~TFileStream() {
  if (FHandle != INVALID_HANDLE_VALUE) CloseHandle(FHandle);
}

TResourceStream::TResourceStream(HINSTANCE instance, const AnsiString& name, const char* type) {
  Initialize(instance, name.c_str(), type, name);
}

TResourceStream::TResourceStream(HINSTANCE instance, int id, const char* type) {
  Initialize(instance, MAKEINTRESOURCEA(id), type, std::to_string(id));
}

void TResourceStream::Initialize(HINSTANCE instance, const char* name, const char* type, const AnsiString& shownName) {
  HRSRC info = FindResourceA(instance, name, type);
  HGLOBAL global = info ? LoadResource(instance, info) : nullptr;
  if (!global) throw EResNotFound("Resource " + shownName + " not found");
  FData = static_cast<const uint8_t*>(LockResource(global));
  FSize = SizeofResource(instance, info);
}

int32_t TResourceStream::Read(void* buffer, int32_t count) {
  if (count <= 0 || FPosition >= FSize) return 0;
  const int64_t n = std::min<int64_t>(count, FSize - FPosition);
  std::memcpy(buffer, FData + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return static_cast<int32_t>(n);
}

int32_t TResourceStream::Write(const void*, int32_t) { throw EStreamError("Can't write to a read-only resource stream"); }

int64_t TResourceStream::Seek(int64_t offset, TSeekOrigin origin) {
  FPosition = SeekTarget(FPosition, FSize, offset, origin);
  return FPosition;
}

// Line lists from and to files: defined here, beside the file streams.
void TStrings::LoadFromFile(const AnsiString& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream);
}

void TStrings::SaveToFile(const AnsiString& fileName) const {
  TFileStream stream(fileName, fmCreate);
  SaveToStream(stream);
}
