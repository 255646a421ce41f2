// The settings file: the last successful sign-in (or registration) reply,
// zlib-compressed, in "qz.dat" under the settings folder.
#pragma once

#include "client/SettingsCodec.h"
#include "platform/Text.h"

class TXmlDocument;

// SettingsFolder + "\qz.dat".
AnsiString SettingsFileName();
// Creates SettingsFolder with every missing parent when neither it nor the
// settings file exists yet.
void PrepareSettingsFolder();
// Writes `text` compressed (level fastest) to `path`, replacing the file; a
// file that cannot be created raises EFCreateError, one that cannot be
// written whole raises too.
void CompressStringToFile(const AnsiString& text, const AnsiString& path);
// The decompressed content of `path`; "-1" when the file cannot be opened,
// otherwise as DecompressStreamToString.
AnsiString DecompressFileToString(const AnsiString& path);
// The decompressed content of `source`: "-2" when it is not a zlib stream
// (or needs a preset dictionary, or inflates beyond MaxSettingsSize); any
// other failure is shown in a message box (caption "解压文件错误！", through
// the dialog service) and answers "". A truncated stream yields what can be
// decompressed.
AnsiString DecompressStreamToString(TStream& source);
// Stores a sign-in or registration reply. The password hash ("pwd") and the
// session token ("dm") are kept only when the password is remembered
// ("z" = "True"); the reply document itself is left as it was.
void SaveSignInReply(const TXmlDocument& reply, const AnsiString& path);
