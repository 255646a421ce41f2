#include "client/ZLibHeap.h"

#include "platform/Win32.h"

voidpf ZLibAlloc(voidpf, uInt items, uInt size) {
  if (size != 0 && items > 0xFFFFFFFFu / size) return nullptr;
  return HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(items) * size);
}

void ZLibFree(voidpf, voidpf address) { HeapFree(GetProcessHeap(), 0, address); }
