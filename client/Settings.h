// The settings file: the last successful sign-in (or registration) reply,
// zlib-compressed, in "qz.dat" under the settings folder.
#pragma once

#include "platform/Text.h"

class TXmlDocument;

// Inflated settings files larger than this are refused as damaged, so a
// hostile file cannot exhaust memory.
constexpr int64_t MaxSettingsSize = 1024 * 1024;  // bytes

// SettingsFolder + "\qz.dat".
AnsiString SettingsFileName();
// Creates SettingsFolder with every missing parent when neither it nor the
// settings file exists yet.
void PrepareSettingsFolder();
// Writes `text` compressed (level fastest) to `path`, replacing the file; a
// file that cannot be created raises EFCreateError.
void CompressStringToFile(const AnsiString& text, const AnsiString& path);
// The decompressed content of `path`; "-1" when the file cannot be opened,
// "-2" when it is not a zlib stream (or inflates beyond MaxSettingsSize). A
// truncated stream yields what can be decompressed.
AnsiString DecompressFileToString(const AnsiString& path);
// Stores a sign-in or registration reply. The password hash ("pwd") and the
// session token ("dm") are kept only when the password is remembered
// ("z" = "True"); the reply document itself is left as it was.
void SaveSignInReply(const TXmlDocument& reply, const AnsiString& path);
