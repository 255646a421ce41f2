#include "client/Settings.h"

#include "client/SharedState.h"
#include "client/ZLibStream.h"
#include "platform/Dialogs.h"
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
  DeflateSettings(text, file);
}

AnsiString DecompressFileToString(const AnsiString& path) {
  std::unique_ptr<TFileStream> file;
  try {
    file = std::make_unique<TFileStream>(path, fmOpenRead | fmShareDenyWrite);
  } catch (const EFOpenError&) {
    return "-1";
  }
  return DecompressStreamToString(*file);
}

AnsiString DecompressStreamToString(TStream& source) {
  try {
    return InflateSettings(source);
  } catch (const EZDecompressionError&) {
    return "-2";
  } catch (const Exception& e) {
    TDialogRequest box;
    box.Kind = dkMessageBox;
    box.Text = e.Message();
    box.Caption = "解压文件错误！";
    box.Flags = MB_OK;
    ExecuteDialog(box);
    return AnsiString();
  }
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
