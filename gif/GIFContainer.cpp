#include "gif/GIFContainer.h"

#include "gif/GIFSubImage.h"

#include <algorithm>

TGIFContainer::TGIFContainer() : FHeader(this), FImages(this) {}

TGIFContainer::~TGIFContainer() { FImages.Clear(); }

void TGIFContainer::ReportIssue(TObject* sender, int severity, const AnsiString& message) {
  FireEvent(OnIssue, sender, severity, message);
}

int TGIFContainer::BitsPerPixel() {
  int bits = FHeader.ColorMap().BitsNeeded();
  for (int i = 0; i < FImages.Count(); ++i) bits = std::max(bits, FImages.Frames(i)->BitsPerPixel());
  return bits;
}

int TGIFContainer::FileVersion() {
  int version = 0;
  for (int i = 0; i < FImages.Count() && version < 2; ++i) version = std::max(version, FImages.Frames(i)->FormatVersion());
  return version;
}

void TGIFContainer::Clear() {
  FImages.Clear();
  FHeader.Clear();
  FHeader.PrepareScreenDescriptor();
}

void TGIFContainer::LoadFromStream(TStream& stream) {
  Clear();
  const int64_t start = stream.Position();
  try {
    FHeader.LoadFromStream(stream);
    FImages.ReadAll(stream, nullptr);
    TGIFTrailer trailer(this);
    trailer.LoadFromStream(stream);
  } catch (...) {
    stream.SetPosition(start);
    throw;
  }
}

void TGIFContainer::SaveToStream(TStream& stream) {
  FHeader.SaveToStream(stream);
  FImages.WriteAll(stream);
  TGIFTrailer trailer(this);
  trailer.SaveToStream(stream);
}
