// The native build has no process heap of the system's: the C library's.
// (The program takes these from ZLibHeap.cpp instead.)
#include "client/ZLibHeap.h"

#include <cstdlib>

voidpf ZLibAlloc(voidpf, uInt items, uInt size) {
  if (size != 0 && items > 0xFFFFFFFFu / size) return nullptr;
  return std::malloc(static_cast<size_t>(items) * size);
}

void ZLibFree(voidpf, voidpf address) { std::free(address); }
