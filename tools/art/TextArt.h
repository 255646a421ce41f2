// Text art: the project's cursors, bitmaps and icons written as letters, one
// letter a pixel, and turned into the .cur, .bmp and .ico files that the
// resource scripts carry. Portable: no Windows headers.
//
// A text-art file (NAME.art) holds a palette and any number of images:
//
//     # comment
//     colors                  a palette for the images that follow
//       .  none               transparent (cursors and icons)
//       ~  invert             the screen inverted (cursors and icons)
//       k  000000             a colour as rrggbb
//       w  ffffff
//     cursor VT_HEADERSPLIT size 32x32 depth 1 hotspot 15,15
//       ................      one row of letters per pixel row
//     bitmap VT_CHECK_LIGHT size 16x16 depth 4 cells 2
//       ...                   cells x height rows, one cell after another;
//                             the cells are placed side by side
//     icon MEVRA size 16x16 depth 4
//       ...
//     image size 32x32 depth 32   another image of the same icon
//       ...
//
// Each image becomes NAME.cur, NAME.bmp or NAME.ico; NAME is also the name
// of the resource. Depths are 1, 4, 8, 24 and 32 bits; images of up to 8
// bits carry the colours they use in palette order. A 1-bit cursor or icon
// uses only black, white, none and invert.
#pragma once

#include "platform/Exceptions.h"
#include "platform/Text.h"

#include <vector>

// A text-art file that cannot be converted; the message names the file and
// the line.
class EArtError : public Exception { public: using Exception::Exception; };

// One file made from text art: its name (resource name plus extension) and
// its bytes.
struct TArtOutput {
  AnsiString FileName;
  AnsiString Bytes;
};

// Converts the text of one art file; `sourceName` names it in messages.
// Raises EArtError.
std::vector<TArtOutput> ConvertTextArt(const AnsiString& source, const AnsiString& sourceName);

// The extensions of the files text art makes: ".bmp", ".cur", ".ico".
bool IsArtOutputExtension(const AnsiString& extension);
