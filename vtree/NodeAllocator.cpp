#include "vtree/NodeAllocator.h"

#include "platform/Exceptions.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {
// Chunks grow by doubling up to this size, so small trees stay small and big
// ones need few heap calls. A block larger than this gets a chunk of its own.
constexpr size_t MaxChunkBytes = 1 << 20;
constexpr size_t BlockAlign = alignof(void*);
}

void TNodeAllocator::SetBlockSize(size_t Size) {
  // Blocks hold pointers: keep them pointer-aligned.
  if (Size > SIZE_MAX - (BlockAlign - 1))
    throw EOutOfMemory("Node blocks of " + std::to_string(Size) + " bytes cannot be allocated.");
  Size = (Size + BlockAlign - 1) & ~(BlockAlign - 1);
  if (Size == FBlockSize) return;
  MevraAssert(FLive == 0, "Node block size cannot change while nodes exist.");
  ReleaseAll();
  FBlockSize = Size;
}

void TNodeAllocator::AddChunk() {
  // The chunk never holds more than MaxChunkBytes unless one block alone is
  // bigger, so blocks * FBlockSize cannot wrap.
  size_t blocks = FNextChunkBlocks;
  if (FBlockSize > MaxChunkBytes / blocks) blocks = std::max<size_t>(1, MaxChunkBytes / FBlockSize);
  const size_t bytes = blocks * FBlockSize;
  void* chunk = std::malloc(bytes);
  if (!chunk) throw std::bad_alloc();
  try {
    FChunkBytes.reserve(FChunks.size() + 1);
    FChunks.push_back(chunk);
    FChunkBytes.push_back(bytes);
  } catch (...) {
    if (FChunks.size() > FChunkBytes.size()) FChunks.pop_back();
    std::free(chunk);
    throw;
  }
  if (blocks == FNextChunkBlocks && bytes < MaxChunkBytes) FNextChunkBlocks *= 2;
  FReserved += bytes;
  FCursor = static_cast<unsigned char*>(chunk);
  FEnd = FCursor + bytes;
}

void* TNodeAllocator::Allocate() {
  if (FFailAfter == 0) throw std::bad_alloc();
  void* block;
  if (FFreeList) {
    block = FFreeList;
    FFreeList = *static_cast<void**>(block);
  } else {
    if (FCursor == FEnd) AddChunk();
    block = FCursor;
    FCursor += FBlockSize;
  }
  std::memset(block, 0, FBlockSize);
  ++FLive;
  if (FFailAfter != SIZE_MAX) --FFailAfter;
  return block;
}

void TNodeAllocator::Free(void* Block) {
  if (!Block) return;
  *static_cast<void**>(Block) = FFreeList;
  FFreeList = Block;
  if (--FLive == 0) ReleaseAll();
}

void TNodeAllocator::ReleaseAll() {
  for (void* chunk : FChunks) std::free(chunk);
  FChunks.clear();
  FChunkBytes.clear();
  FReserved = 0;
  FNextChunkBlocks = 16;
  FFreeList = nullptr;
  FCursor = FEnd = nullptr;
}

bool TNodeAllocator::Contains(const void* Block) const {
  if (!Block || FBlockSize == 0) return false;
  // Compared as integers: the pointer may belong to no object at all.
  const uintptr_t p = reinterpret_cast<uintptr_t>(Block);
  for (size_t i = 0; i < FChunks.size(); ++i) {
    const uintptr_t start = reinterpret_cast<uintptr_t>(FChunks[i]);
    uintptr_t end = start + FChunkBytes[i];
    // The newest chunk is handed out only up to the cursor.
    if (i + 1 == FChunks.size()) end = reinterpret_cast<uintptr_t>(FCursor);
    if (p >= start && p < end) return (p - start) % FBlockSize == 0;
  }
  return false;
}
