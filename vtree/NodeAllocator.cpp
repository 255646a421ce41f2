#include "vtree/NodeAllocator.h"

#include "platform/Exceptions.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {
// Chunks grow by doubling up to this size, so small trees stay small and big
// ones need few heap calls.
constexpr size_t MaxChunkBytes = 1 << 20;
}

void TNodeAllocator::SetBlockSize(size_t Size) {
  // Blocks hold pointers: keep them pointer-aligned.
  Size = (Size + alignof(void*) - 1) & ~(alignof(void*) - 1);
  if (Size == FBlockSize) return;
  MevraAssert(FLive == 0, "Node block size cannot change while nodes exist.");
  ReleaseAll();
  FBlockSize = Size;
}

void TNodeAllocator::AddChunk() {
  size_t blocks = FNextChunkBlocks;
  size_t bytes = blocks * FBlockSize;
  if (bytes < MaxChunkBytes) FNextChunkBlocks *= 2;
  void* chunk = std::malloc(bytes);
  if (!chunk) throw std::bad_alloc();
  FChunks.push_back(chunk);
  FReserved += bytes;
  FCursor = static_cast<unsigned char*>(chunk);
  FEnd = FCursor + bytes;
}

void* TNodeAllocator::Allocate() {
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
  FReserved = 0;
  FNextChunkBlocks = 16;
  FFreeList = nullptr;
  FCursor = FEnd = nullptr;
}
