// The byte layout of the tree stream and of the tree's two clipboard blocks,
// with their reader. A tree stream is a 12-byte header, a node count and node
// records; a record is an anchor chunk (type 1) holding a base chunk (type 2,
// the node's structure with its children's records inside) and further
// chunks (type 4 the application's data, type 3 a string tree's caption).
// Streams and blocks come from files and other programs, so the reader
// checks every chunk against its record and the stream, and every child
// count against the bytes that could hold it, before anything is made, and
// reads nesting with a stack of its own instead of recursion.
// Portable: no Windows headers, so the reader also builds natively.
#pragma once

#include "platform/Stream.h"
#include "vtree/VirtualNode.h"

#include <cstdint>
#include <vector>

// Chunk types.
constexpr int32_t NodeChunk = 1;
constexpr int32_t BaseChunk = 2;
constexpr int32_t CaptionChunk = 3;
constexpr int32_t UserChunk = 4;

// Stream errors (EVirtualTreeError codes).
constexpr int ErrorStreamFormat = 2002;
constexpr int ErrorStreamVersion = 2003;
constexpr int ErrorStreamShort = 2004;
constexpr int ErrorAnchorMissing = 2005;
constexpr int ErrorStreamCorrupt = 2006;
constexpr int ErrorClipboardFailed = 2007;

constexpr int32_t ChunkHeaderSize = 8;
constexpr int32_t StreamHeaderSize = 12;
constexpr uint16_t TreeStreamVersion = 2;
// Base chunk bodies of the two versions.
constexpr int32_t BaseBodySizeV1 = 12;
constexpr int32_t BaseBodySizeV2 = 17;
// The states a record carries: the passing ones (check changing, clipboard
// mark, deleting, free notification, measured height) are left out.
constexpr uint16_t StoredStateMask = 0xDDE9;
// Deeper nesting is refused: painting and the level queries walk the
// ancestors of a node, so a forged stream of a million levels would make
// every row of it cost a million steps.
constexpr uint32_t MaxStreamNesting = 65536;

// The structure of one node as a base chunk carries it.
struct TNodeBaseRecord {
  uint32_t ChildCount = 0;
  uint32_t NodeHeight = 0;
  uint16_t States = 0;  // StoredStateMask applied
  uint8_t VerticalAlign = 0;
  uint8_t CheckState = 0;
  uint8_t CheckType = 0;
};

// What the reader hands its records to. Node handles are the sink's own.
class TTreeStreamSink {
public:
  virtual ~TTreeStreamSink() = default;
  // A new node linked as the last child of Parent.
  virtual void* AddChild(void* Parent) = 0;
  // The node's base record (children follow through AddChild).
  virtual void SetBase(void* Node, const TNodeBaseRecord& Base, int Version) = 0;
  // Any other chunk: the stream is at its body; the reader moves past the
  // chunk afterwards whatever the sink read.
  virtual void ReadChunk(void* Node, int32_t Type, TStream& Stream, int32_t Size) = 0;
};

// Raises the stream error of the code (2002-2006) with its text.
[[noreturn]] void RaiseTreeStreamError(int Code);

// The header's version; 2004 for fewer than 12 bytes, 2002 for a changed
// checked word, 2003 for an unknown version.
uint16_t ReadTreeStreamHeader(TStream& Stream);
void WriteTreeStreamHeader(TStream& Stream);

// Reads node records from the stream's position. Each record first has its
// anchor checked; then Parent gets a new child through the sink and the
// record goes into it. Version 2 reads Count records at most (while bytes
// remain), version 1 until the stream ends. Answers the top-level nodes
// made. Errors: 2005 a record without anchor, 2006 a chunk of negative size
// or running past its record, base chunk or stream, more children than the
// bytes can hold, or nesting deeper than MaxStreamNesting.
uint32_t ReadTreeRecords(TStream& Stream, int Version, int64_t Count, void* Parent, TTreeStreamSink& Sink);
// Reads one record into a node that exists already (its anchor is checked
// before anything is made below it). Limit: where the record must end at the
// latest (-1: the stream's end).
void ReadTreeRecord(TStream& Stream, int Version, void* Node, TTreeStreamSink& Sink, int64_t Limit = -1);
// Checks the anchor at the stream's position without moving it: 2005, 2006.
void CheckTreeRecordAnchor(TStream& Stream, int64_t Limit = -1);
// Passes the record at the stream's position (anchor checked).
void SkipTreeRecord(TStream& Stream);

// Writing: a chunk header whose size is patched once the body is written.
int64_t BeginTreeChunk(TStream& Stream, int32_t Type);
void EndTreeChunk(TStream& Stream, int64_t ChunkStart);
void WriteNodeBase(TStream& Stream, const TNodeBaseRecord& Base);

// "Virtual Tree Data" on global memory: a 32-bit length, then that many
// record bytes. Answers the length; 2004 when the block cannot hold it.
uint32_t CheckTreeDataBlock(const uint8_t* Block, uint64_t BlockSize);
// "Virtual Tree Reference": the 32-bit process id, then the tree's address
// (pointer-sized). Answers False for a block too short for both.
struct TTreeReference {
  uint32_t ProcessId = 0;
  uint64_t Tree = 0;
};
bool ReadTreeReferenceBlock(const uint8_t* Block, uint64_t BlockSize, TTreeReference& Reference);
std::vector<uint8_t> MakeTreeReferenceBlock(uint32_t ProcessId, const void* Tree);
