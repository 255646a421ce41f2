#include "vtree/TreeStreamFormat.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t HeaderBytes[StreamHeaderSize] = {0x45, 0x20, 0x56, 0x00, 0x54, 0x00,
                                                   0x02, 0x00, 0x20, 0x00, 0x46, 0x20};

[[noreturn]] void Fail(int Code) {
  switch (Code) {
    case ErrorStreamFormat:
      throw EVirtualTreeError(Code, "Unable to load tree structure, the format is wrong.");
    case ErrorStreamVersion:
      throw EVirtualTreeError(Code, "Unable to load tree structure, the version is unknown.");
    case ErrorStreamShort:
      throw EVirtualTreeError(Code, "Unable to load tree structure, not enough data available.");
    case ErrorAnchorMissing:
      throw EVirtualTreeError(Code, "Stream data corrupt. A node's anchor chunk is missing.");
    default:
      throw EVirtualTreeError(ErrorStreamCorrupt, "Stream data corrupt. Unexpected data after node's end position.");
  }
}

uint32_t Le32(const uint8_t* p) {
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

int32_t BodySize(int Version) { return Version == 1 ? BaseBodySizeV1 : BaseBodySizeV2; }
// The fewest bytes a child record takes: its anchor and a base chunk.
int64_t MinimalRecord(int Version) { return 2 * ChunkHeaderSize + BodySize(Version); }

struct TChunkHeader {
  int32_t Type;
  int64_t BodyStart;
  int64_t End;
};

// Reads the chunk header at Pos, which must end, with its body, by Limit.
TChunkHeader ReadChunkHeader(TStream& Stream, int64_t& Pos, int64_t Limit) {
  if (Limit - Pos < ChunkHeaderSize) Fail(ErrorStreamCorrupt);
  uint8_t bytes[ChunkHeaderSize];
  Stream.ReadBuffer(bytes, ChunkHeaderSize);
  Pos += ChunkHeaderSize;
  const auto type = static_cast<int32_t>(Le32(bytes));
  const auto size = static_cast<int32_t>(Le32(bytes + 4));
  if (size < 0 || size > Limit - Pos) Fail(ErrorStreamCorrupt);
  return {type, Pos, Pos + size};
}

TChunkHeader ReadAnchor(TStream& Stream, int64_t& Pos, int64_t Limit) {
  if (Limit - Pos < ChunkHeaderSize) Fail(ErrorStreamCorrupt);
  uint8_t bytes[ChunkHeaderSize];
  Stream.ReadBuffer(bytes, ChunkHeaderSize);
  if (static_cast<int32_t>(Le32(bytes)) != NodeChunk) Fail(ErrorAnchorMissing);
  Pos += ChunkHeaderSize;
  const auto size = static_cast<int32_t>(Le32(bytes + 4));
  if (size < 0 || size > Limit - Pos) Fail(ErrorStreamCorrupt);
  return {NodeChunk, Pos, Pos + size};
}

TNodeBaseRecord ParseBase(const uint8_t* Body, int Version) {
  TNodeBaseRecord base;
  base.ChildCount = Le32(Body);
  base.NodeHeight = Le32(Body + 4);
  if (Version == 1) {
    // Bit 7 of the one state byte means selected; every such node is visible.
    uint16_t states = Body[8];
    states |= TVirtualNodeStates::Mask(TVirtualNodeState::nsVisible);
    if (Body[8] & 0x80) states |= TVirtualNodeStates::Mask(TVirtualNodeState::nsSelected);
    base.States = states;
    base.VerticalAlign = Body[9];
    base.CheckState = Body[10];
    base.CheckType = Body[11];
  } else {
    base.States = static_cast<uint16_t>(Body[8] | Body[9] << 8);
    base.VerticalAlign = Body[10];
    base.CheckState = Body[11];
    base.CheckType = Body[12];
  }
  base.States &= StoredStateMask;
  return base;
}

int64_t StreamLimit(TStream& Stream, int64_t Limit) {
  const int64_t size = Stream.Size();
  return Limit < 0 ? size : std::min(Limit, size);
}

// One node whose record is being read.
struct TFrame {
  void* Node;
  int64_t End;          // the record's end
  int64_t BaseEnd;      // while its children are read: the base chunk's end, else -1
  uint32_t ChildrenLeft;
};

// Reads the chunks of the record whose anchor header ends at Pos and whose
// body ends at End, into Node; children are pushed instead of recursed into.
void ReadRecordBody(TStream& Stream, int Version, void* Node, TTreeStreamSink& Sink, int64_t Pos, int64_t End) {
  std::vector<TFrame> stack;
  stack.push_back({Node, End, -1, 0});
  const int32_t bodySize = BodySize(Version);
  while (!stack.empty()) {
    TFrame& top = stack.back();
    if (top.ChildrenLeft > 0) {
      // The child's anchor is checked before the child is made.
      const TChunkHeader anchor = ReadAnchor(Stream, Pos, top.BaseEnd);
      --top.ChildrenLeft;
      void* child = Sink.AddChild(top.Node);
      stack.push_back({child, anchor.End, -1, 0});
      continue;
    }
    if (top.BaseEnd >= 0) {
      // Bytes the children left in the base chunk are passed like an unknown chunk.
      if (Pos != top.BaseEnd) Stream.Seek(Pos = top.BaseEnd, TSeekOrigin::soBeginning);
      top.BaseEnd = -1;
      continue;
    }
    if (Pos >= top.End) {
      stack.pop_back();
      continue;
    }
    const TChunkHeader chunk = ReadChunkHeader(Stream, Pos, top.End);
    if (chunk.Type == BaseChunk) {
      if (chunk.End - chunk.BodyStart < bodySize) Fail(ErrorStreamCorrupt);
      uint8_t body[BaseBodySizeV2];
      Stream.ReadBuffer(body, bodySize);
      Pos += bodySize;
      const TNodeBaseRecord base = ParseBase(body, Version);
      if (base.ChildCount > 0) {
        if (static_cast<int64_t>(base.ChildCount) > (chunk.End - Pos) / MinimalRecord(Version))
          Fail(ErrorStreamCorrupt);
        if (stack.size() >= MaxStreamNesting) Fail(ErrorStreamCorrupt);
      }
      Sink.SetBase(top.Node, base, Version);
      top.ChildrenLeft = base.ChildCount;
      top.BaseEnd = chunk.End;
    } else {
      if (chunk.End > chunk.BodyStart)
        Sink.ReadChunk(top.Node, chunk.Type, Stream, static_cast<int32_t>(chunk.End - chunk.BodyStart));
      Stream.Seek(Pos = chunk.End, TSeekOrigin::soBeginning);
    }
  }
}

}  // namespace

void RaiseTreeStreamError(int Code) { Fail(Code); }

uint16_t ReadTreeStreamHeader(TStream& Stream) {
  uint8_t header[StreamHeaderSize];
  if (Stream.Read(header, StreamHeaderSize) != StreamHeaderSize) Fail(ErrorStreamShort);
  for (int offset : {0, 2, 4, 10})
    if (header[offset] != HeaderBytes[offset] || header[offset + 1] != HeaderBytes[offset + 1]) Fail(ErrorStreamFormat);
  const auto version = static_cast<uint16_t>(header[6] | header[7] << 8);
  if (version == 0 || version > TreeStreamVersion) Fail(ErrorStreamVersion);
  return version;
}

void WriteTreeStreamHeader(TStream& Stream) { Stream.WriteBuffer(HeaderBytes, StreamHeaderSize); }

uint32_t ReadTreeRecords(TStream& Stream, int Version, int64_t Count, void* Parent, TTreeStreamSink& Sink) {
  const int64_t limit = Stream.Size();
  int64_t pos = Stream.Position();
  uint32_t made = 0;
  while (pos < limit && (Version == 1 || Count > 0)) {
    --Count;
    const TChunkHeader anchor = ReadAnchor(Stream, pos, limit);
    void* node = Sink.AddChild(Parent);
    ++made;
    ReadRecordBody(Stream, Version, node, Sink, pos, anchor.End);
    pos = anchor.End;
  }
  return made;
}

void ReadTreeRecord(TStream& Stream, int Version, void* Node, TTreeStreamSink& Sink, int64_t Limit) {
  int64_t pos = Stream.Position();
  const TChunkHeader anchor = ReadAnchor(Stream, pos, StreamLimit(Stream, Limit));
  ReadRecordBody(Stream, Version, Node, Sink, pos, anchor.End);
}

void CheckTreeRecordAnchor(TStream& Stream, int64_t Limit) {
  const int64_t start = Stream.Position();
  int64_t pos = start;
  try {
    ReadAnchor(Stream, pos, StreamLimit(Stream, Limit));
  } catch (...) {
    Stream.Seek(start, TSeekOrigin::soBeginning);
    throw;
  }
  Stream.Seek(start, TSeekOrigin::soBeginning);
}

void SkipTreeRecord(TStream& Stream) {
  int64_t pos = Stream.Position();
  const TChunkHeader anchor = ReadAnchor(Stream, pos, Stream.Size());
  Stream.Seek(anchor.End, TSeekOrigin::soBeginning);
}

int64_t BeginTreeChunk(TStream& Stream, int32_t Type) {
  const int64_t start = Stream.Position();
  Stream.WriteDWord(static_cast<uint32_t>(Type));
  Stream.WriteDWord(0);
  return start;
}

void EndTreeChunk(TStream& Stream, int64_t ChunkStart) {
  const int64_t end = Stream.Position();
  const int64_t size = end - ChunkStart - ChunkHeaderSize;
  if (size > INT32_MAX) throw EVirtualTreeError(ErrorStreamCorrupt, "A tree stream chunk cannot exceed 2 GiB.");
  Stream.Seek(ChunkStart + 4, TSeekOrigin::soBeginning);
  Stream.WriteDWord(static_cast<uint32_t>(size));
  Stream.Seek(end, TSeekOrigin::soBeginning);
}

void WriteNodeBase(TStream& Stream, const TNodeBaseRecord& Base) {
  Stream.WriteDWord(Base.ChildCount);
  Stream.WriteDWord(Base.NodeHeight);
  Stream.WriteWord(static_cast<uint16_t>(Base.States & StoredStateMask));
  Stream.WriteByte(Base.VerticalAlign);
  Stream.WriteByte(Base.CheckState);
  Stream.WriteByte(Base.CheckType);
  Stream.WriteDWord(0);
}

uint32_t CheckTreeDataBlock(const uint8_t* Block, uint64_t BlockSize) {
  if (!Block || BlockSize < 4) Fail(ErrorStreamShort);
  const uint32_t length = Le32(Block);
  if (length > BlockSize - 4) Fail(ErrorStreamShort);
  return length;
}

bool ReadTreeReferenceBlock(const uint8_t* Block, uint64_t BlockSize, TTreeReference& Reference) {
  if (!Block || BlockSize < 4 + sizeof(void*)) return false;
  Reference.ProcessId = Le32(Block);
  uint64_t tree = 0;
  for (size_t i = 0; i < sizeof(void*); ++i) tree |= uint64_t{Block[4 + i]} << (8 * i);
  Reference.Tree = tree;
  return true;
}

std::vector<uint8_t> MakeTreeReferenceBlock(uint32_t ProcessId, const void* Tree) {
  std::vector<uint8_t> block(4 + sizeof(void*));
  const auto tree = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(Tree));
  for (int i = 0; i < 4; ++i) block[i] = static_cast<uint8_t>(ProcessId >> (8 * i));
  for (size_t i = 0; i < sizeof(void*); ++i) block[4 + i] = static_cast<uint8_t>(tree >> (8 * i));
  return block;
}
