// Writes skin packages in the layout the package reader reads: a directory
// of named entries, compressed as a whole. Portable.
#pragma once

#include "platform/Text.h"

#include <cstdint>
#include <vector>

struct TSkinPackageEntry {
  AnsiString Name;  // file name with extension, stored in lower case
  AnsiString Data;  // the entry's bytes
};

// The unpacked body: header, the version's reserved block (zeros), the name
// list (CR LF after each name), the size table and the entries' bytes.
// Raises Exception for an unknown version or a name that cannot be listed.
AnsiString BuildSkinBody(int32_t version, const std::vector<TSkinPackageEntry>& entries);
// The package: the body's size followed by its compressed bit stream.
AnsiString BuildSkinPackage(int32_t version, const std::vector<TSkinPackageEntry>& entries);
// A package as a form stores it in its "SkinStream" property: length first.
AnsiString SkinStreamProperty(const AnsiString& package);
// Appends a little-endian int32.
void AppendInt32(AnsiString& out, int32_t value);
