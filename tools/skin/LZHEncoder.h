// The compressor matching the skin package decoder (skin/package/LZH.h):
// greedy LZSS matching over the last 4095 bytes, the same adaptive Huffman
// tree as the decoder, the same prefix code for distances. Portable.
#pragma once

#include "platform/Text.h"

#include <cstddef>
#include <cstdint>

// The bit stream that decodes to `data` (without the 4-byte size the package
// puts in front of it).
AnsiString LZHCompress(const AnsiString& data);
