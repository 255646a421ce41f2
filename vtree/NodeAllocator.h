// Fixed-size, zero-filled blocks for the tree's node records, carved from
// growing chunks. A million nodes cost a few dozen chunk allocations instead of
// a million heap calls, and no per-block heap header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class TNodeAllocator {
public:
  TNodeAllocator() = default;
  ~TNodeAllocator() { ReleaseAll(); }
  TNodeAllocator(const TNodeAllocator&) = delete;
  TNodeAllocator& operator=(const TNodeAllocator&) = delete;

  // The size of every block; changeable only while no block is in use. A size
  // that cannot be rounded to pointer alignment raises EOutOfMemory.
  void SetBlockSize(size_t Size);
  size_t BlockSize() const { return FBlockSize; }
  // A zero-filled block of BlockSize bytes; std::bad_alloc when the heap
  // refuses a chunk (nothing changes then).
  void* Allocate();
  // Gives a block back; when the last one returns, the chunks go too.
  void Free(void* Block);
  size_t LiveBlocks() const { return FLive; }
  // Whether Block is the start of a block this allocator has handed out
  // (in use or freed); any pointer may be asked, none is read.
  bool Contains(const void* Block) const;
  // Bytes held from the heap.
  size_t ReservedBytes() const { return FReserved; }

  // For tests of failure paths: after Count more successful allocations every
  // further one raises std::bad_alloc, until called again with SIZE_MAX.
  void FailAllocationsAfter(size_t Count) { FFailAfter = Count; }

private:
  void ReleaseAll();
  void AddChunk();

  size_t FBlockSize = 0;
  size_t FLive = 0;
  size_t FReserved = 0;
  size_t FNextChunkBlocks = 16;
  size_t FFailAfter = SIZE_MAX;
  std::vector<void*> FChunks;
  std::vector<size_t> FChunkBytes;  // the size of each chunk, in FChunks' order
  void* FFreeList = nullptr;      // freed blocks, linked through their first bytes
  unsigned char* FCursor = nullptr;
  unsigned char* FEnd = nullptr;
};
