// Where zlib's memory comes from: the process heap in the program, the C
// library's heap in the native build of the stream classes.
#pragma once

#include <zlib.h>

voidpf ZLibAlloc(voidpf opaque, uInt items, uInt size);
void ZLibFree(voidpf opaque, voidpf address);
