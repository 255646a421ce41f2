#include "client/ZLibStream.h"

#include "client/ZLibHeap.h"

#include <algorithm>

const TClassInfo TCustomZStream::ClassInfo{"TCustomZStream", &TStream::ClassInfo, nullptr};
const TClassInfo TZCompressionStream::ClassInfo{"TZCompressionStream", &TCustomZStream::ClassInfo, nullptr};
const TClassInfo TZDecompressionStream::ClassInfo{"TZDecompressionStream", &TCustomZStream::ClassInfo, nullptr};

namespace {

constexpr size_t kBufferSize = 65536;
const char kInvalidOperation[] = "Invalid ZStream operation!";

template <class E>
int Checked(int code) {
  if (code < 0) throw E(code);
  return code;
}

}  // namespace

EZLibError::EZLibError(int code) : Exception(zError(code)), FErrorCode(code) {}

TCustomZStream::TCustomZStream(TStream& strm) : FStrm(strm), FStrmPos(strm.Position()), FZRec{}, FBuffer(kBufferSize) {
  FZRec.zalloc = ZLibAlloc;
  FZRec.zfree = ZLibFree;
}

void TCustomZStream::RestorePosition() {
  if (FStrm.Position() != FStrmPos) FStrm.SetPosition(FStrmPos);
}

// ---- compression ----

TZCompressionStream::TZCompressionStream(TStream& dest, TZCompressionLevel level) : TCustomZStream(dest) {
  static const int levels[] = {Z_NO_COMPRESSION, Z_BEST_SPEED, Z_DEFAULT_COMPRESSION, Z_BEST_COMPRESSION};
  FZRec.next_out = FBuffer.data();
  FZRec.avail_out = kBufferSize;
  Checked<EZCompressionError>(
      deflateInit2(&FZRec, levels[static_cast<int>(level)], Z_DEFLATED, 15, 8, Z_DEFAULT_STRATEGY));
}

void TZCompressionStream::Flush() {
  FStrm.WriteBuffer(FBuffer.data(), static_cast<int64_t>(kBufferSize - FZRec.avail_out));
  FZRec.next_out = FBuffer.data();
  FZRec.avail_out = kBufferSize;
  FStrmPos = FStrm.Position();
  Progress(this);
}

void TZCompressionStream::Finish() {
  if (FFinished) return;
  // Finished (or failed) once: a second attempt would write a broken tail.
  FFinished = true;
  FZRec.next_in = nullptr;
  FZRec.avail_in = 0;
  RestorePosition();
  while (Checked<EZCompressionError>(deflate(&FZRec, Z_FINISH)) != Z_STREAM_END) Flush();
  if (FZRec.avail_out < kBufferSize) Flush();
}

TZCompressionStream::~TZCompressionStream() {
  // A destructor must not throw: whoever must know that the data was written
  // calls Finish first.
  try {
    Finish();
  } catch (...) {
  }
  deflateEnd(&FZRec);
}

int32_t TZCompressionStream::Read(void*, int32_t) { throw EZCompressionError(Z_STREAM_ERROR, kInvalidOperation); }

int32_t TZCompressionStream::Write(const void* buffer, int32_t count) {
  if (FFinished) throw EZCompressionError(Z_STREAM_ERROR, kInvalidOperation);
  if (count <= 0) return 0;
  FZRec.next_in = static_cast<Bytef*>(const_cast<void*>(buffer));
  FZRec.avail_in = static_cast<uInt>(count);
  RestorePosition();
  while (FZRec.avail_in > 0) {
    Checked<EZCompressionError>(deflate(&FZRec, Z_NO_FLUSH));
    if (FZRec.avail_out == 0) Flush();
  }
  return count;
}

int64_t TZCompressionStream::Seek(int64_t offset, TSeekOrigin origin) {
  if (offset == 0 && origin == TSeekOrigin::soCurrent) return static_cast<int64_t>(FZRec.total_in);
  throw EZCompressionError(Z_STREAM_ERROR, kInvalidOperation);
}

// ---- decompression ----

TZDecompressionStream::TZDecompressionStream(TStream& source) : TCustomZStream(source), FStartPos(FStrmPos) {
  FZRec.next_in = FBuffer.data();
  FZRec.avail_in = 0;
  Checked<EZDecompressionError>(inflateInit(&FZRec));
}

TZDecompressionStream::~TZDecompressionStream() { inflateEnd(&FZRec); }

int32_t TZDecompressionStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  FZRec.next_out = static_cast<Bytef*>(buffer);
  FZRec.avail_out = static_cast<uInt>(count);
  RestorePosition();
  while (FZRec.avail_out > 0 && !FEnded) {
    if (FZRec.avail_in == 0) {
      const int32_t got = FStrm.Read(FBuffer.data(), static_cast<int32_t>(kBufferSize));
      if (got <= 0) break;  // a truncated stream yields what it holds
      FZRec.next_in = FBuffer.data();
      FZRec.avail_in = static_cast<uInt>(got);
      FStrmPos = FStrm.Position();
      Progress(this);
    }
    const uInt inBefore = FZRec.avail_in, outBefore = FZRec.avail_out;
    const int code = Checked<EZDecompressionError>(inflate(&FZRec, Z_NO_FLUSH));
    if (code == Z_STREAM_END) {
      FEnded = true;
    } else if (code == Z_NEED_DICT) {
      // A stream made with a preset dictionary: there is none to give, and
      // inflate would answer the same for ever without taking a byte.
      throw EZDecompressionError(Z_NEED_DICT);
    } else if (FZRec.avail_in == inBefore && FZRec.avail_out == outBefore) {
      throw EZDecompressionError(Z_BUF_ERROR);
    }
  }
  if (FEnded && FZRec.avail_in > 0) {
    // Leave the underlying stream right after the compressed data.
    FStrm.Seek(-static_cast<int64_t>(FZRec.avail_in), TSeekOrigin::soCurrent);
    FStrmPos = FStrm.Position();
    FZRec.avail_in = 0;
  }
  return static_cast<int32_t>(static_cast<uInt>(count) - FZRec.avail_out);
}

int32_t TZDecompressionStream::Write(const void*, int32_t) {
  throw EZDecompressionError(Z_STREAM_ERROR, kInvalidOperation);
}

void TZDecompressionStream::Discard(int64_t count) {
  char scrap[8192];
  while (count > 0) {
    const int32_t want = static_cast<int32_t>(std::min<int64_t>(count, sizeof scrap));
    const int32_t got = Read(scrap, want);
    if (got <= 0) break;
    count -= got;
  }
}

int64_t TZDecompressionStream::Seek(int64_t offset, TSeekOrigin origin) {
  const auto delivered = [this] { return static_cast<int64_t>(FZRec.total_out); };
  if (offset == 0 && origin == TSeekOrigin::soBeginning) {
    Checked<EZDecompressionError>(inflateReset(&FZRec));
    FZRec.next_in = FBuffer.data();
    FZRec.avail_in = 0;
    FEnded = false;
    // Back to the start of the compressed data, which need not be the start
    // of the source: restarting anywhere else would inflate foreign bytes.
    FStrm.SetPosition(FStartPos);
    FStrmPos = FStartPos;
  } else if (origin == TSeekOrigin::soCurrent && offset >= 0) {
    Discard(offset);
  } else if (origin == TSeekOrigin::soBeginning && offset >= delivered()) {
    Discard(offset - delivered());
  } else if (origin == TSeekOrigin::soEnd && offset == 0) {
    char scrap[8192];
    while (Read(scrap, sizeof scrap) > 0) {
    }
  } else {
    throw EZDecompressionError(Z_STREAM_ERROR, kInvalidOperation);
  }
  return delivered();
}
