// How the package reader tells the user about a package it cannot read.
#include "platform/Win32.h"
#include "skin/package/SkinReader.h"

void ShowSkinMessage(const AnsiString& text) {
  if (SkinMessageHook) {
    SkinMessageHook(text);
    return;
  }
  // Captioned like every plain message of the program: with the program's name.
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  AnsiString title = path;
  title = title.substr(title.find_last_of("\\/") + 1);
  title = title.substr(0, title.rfind('.'));
  MessageBoxA(GetActiveWindow(), text.c_str(), title.c_str(), MB_OK | MB_TASKMODAL);
}
