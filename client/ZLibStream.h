// zlib behind the stream interface: a write-only compression stream and a
// read-only decompression stream over another stream, in the zlib format
// (two-byte header, deflate data, Adler-32 check). Portable: no Windows
// headers (zlib's memory comes through ZLibHeap.h).
#pragma once

#include "platform/Event.h"
#include "platform/Exceptions.h"
#include "platform/Stream.h"

#include <zlib.h>

#include <cstdint>
#include <vector>

// A zlib failure; the message is zlib's own text for the code.
class EZLibError : public Exception {
public:
  explicit EZLibError(int code);
  EZLibError(int code, std::string message) : Exception(std::move(message)), FErrorCode(code) {}
  int ErrorCode() const { return FErrorCode; }

private:
  int FErrorCode;
};
class EZCompressionError : public EZLibError { public: using EZLibError::EZLibError; };
class EZDecompressionError : public EZLibError { public: using EZLibError::EZLibError; };

enum class TZCompressionLevel { zcNone, zcFastest, zcDefault, zcMax };

class TCustomZStream : public TStream {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // Called after every refill or flush of the buffer.
  TNotifyEvent OnProgress;

protected:
  explicit TCustomZStream(TStream& strm);
  virtual void Progress(TObject* sender) { FireEvent(OnProgress, sender); }
  // Moves the underlying stream back to where this stream left it.
  void RestorePosition();

  TStream& FStrm;         // not owned
  int64_t FStrmPos;       // where this stream last left FStrm
  z_stream FZRec;
  std::vector<Bytef> FBuffer;  // 65536 bytes
};

class TZCompressionStream : public TCustomZStream {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TZCompressionStream(TStream& dest, TZCompressionLevel level);
  // Finishes the zlib stream and writes what is left; a failing write raises.
  // Writing afterwards raises "Invalid ZStream operation!".
  void Finish();
  // Finishes the stream unless Finish ran; errors are lost here, so a
  // caller that must know the data is whole calls Finish.
  ~TZCompressionStream() override;

  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  // Only Seek(0, soCurrent): the number of bytes taken in so far.
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

private:
  void Flush();
  bool FFinished = false;
};

class TZDecompressionStream : public TCustomZStream {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TZDecompressionStream(TStream& source);
  ~TZDecompressionStream() override;

  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  // Forward moves decompress and discard; back to 0 restarts from where the
  // compressed data began; from the end only with offset 0. Answers the bytes
  // delivered so far.
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;

private:
  void Discard(int64_t count);
  int64_t FStartPos;  // where the compressed data begins in the source
  bool FEnded = false;
};
