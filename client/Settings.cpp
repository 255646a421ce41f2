#include "client/Settings.h"

#include "client/SharedState.h"
#include "client/ZLibStream.h"
#include "platform/FileStream.h"
#include "platform/SysUtils.h"
#include "platform/Win32.h"
#include "platform/XmlDocument.h"

AnsiString SettingsFileName() { return SettingsFolder + "\\qz.dat"; }

void PrepareSettingsFolder() {
  if (!FileExists(SettingsFileName()) && !DirectoryExists(SettingsFolder)) ForceDirectories(SettingsFolder);
}

void CompressStringToFile(const AnsiString& text, const AnsiString& path) {
  TFileStream file(path, fmCreate);
  TStringStream source(text);
  TZCompressionStream compressor(file, TZCompressionLevel::zcFastest);
  compressor.CopyFrom(source, 0);
  // The compressor finishes the zlib stream as it goes, before the file closes.
}

AnsiString DecompressFileToString(const AnsiString& path) {
  std::unique_ptr<TFileStream> file;
  try {
    file = std::make_unique<TFileStream>(path, fmOpenRead | fmShareDenyWrite);
  } catch (const EFOpenError&) {
    return "-1";
  }
  AnsiString result;
  try {
    TZDecompressionStream inflater(*file);
    char chunk[8192];
    for (;;) {
      const int32_t got = inflater.Read(chunk, sizeof chunk);
      if (got <= 0) break;
      if (static_cast<int64_t>(result.size()) + got > MaxSettingsSize)
        throw EZDecompressionError(Z_MEM_ERROR, "Settings file too large");
      result.append(chunk, static_cast<size_t>(got));
    }
  } catch (const EZDecompressionError&) {
    return "-2";
  } catch (const Exception& e) {
    MessageBoxA(nullptr, e.Message().c_str(), "解压文件错误！", MB_OK);
    return AnsiString();
  }
  return result;
}

void SaveSignInReply(const TXmlDocument& reply, const AnsiString& path) {
  TXmlDocument copy;
  copy.LoadXML(reply.XmlW());
  if (Trim(copy.SelectSingleNode("con/z") ? copy.SelectSingleNode("con/z").Text() : AnsiString()) != "True") {
    if (TXmlNode con = copy.SelectSingleNode("con")) {
      for (const char* secret : {"pwd", "dm"})
        for (TXmlNode& node : con.SelectNodes(secret)) con.RemoveChild(node);
    }
  }
  CompressStringToFile(copy.Xml(), path);
}
