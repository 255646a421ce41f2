// Items to and from named files, over the platform's file streams.
#include "gif/GIFItem.h"

#include "platform/FileStream.h"

void TGIFItem::SaveToFileNamed(const AnsiString& fileName) {
  TFileStream stream(fileName, fmCreate);
  SaveToStream(stream);
}

void TGIFItem::LoadFromFileNamed(const AnsiString& fileName) {
  TFileStream stream(fileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(stream);
}
