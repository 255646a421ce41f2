// TMetafile: an enhanced metafile picture (recorded GDI drawing), drawn
// scaled into the target rectangle.
#pragma once

#include "platform/Picture.h"

class TMetafile : public TGraphic {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TMetafile() { FTransparent = true; }
  ~TMetafile() override;

  void Assign(TPersistent* source) override;
  void Draw(TCanvas* canvas, const RECT& r) override;
  bool GetEmpty() override { return FHandle == nullptr; }
  // The display size in pixels (from the recorded frame unless set).
  int GetWidth() override { return FWidth; }
  int GetHeight() override { return FHeight; }
  void SetWidth(int value) override;
  void SetHeight(int value) override;

  // Reads an enhanced metafile (".emf"); other data raises EInvalidGraphic.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;

  // CF_ENHMETAFILE and CF_METAFILEPICT (converted to an enhanced metafile).
  void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
  bool ReadsClipboardFormat(UINT format) override { return format == CF_ENHMETAFILE || format == CF_METAFILEPICT; }
  void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) override;

  HENHMETAFILE Handle() const { return FHandle; }
  // Takes ownership of `metafile`.
  void SetHandle(HENHMETAFILE metafile);
  HENHMETAFILE ReleaseHandle();

private:
  void Clear();
  HENHMETAFILE FHandle = nullptr;
  int FWidth = 0;
  int FHeight = 0;
};

// A canvas that records into a metafile: what is drawn on it becomes the
// metafile's picture when the canvas is destroyed.
class TMetafileCanvas : public TCanvas {
public:
  // `reference` is the device whose resolution the recording uses (the screen when null).
  TMetafileCanvas(TMetafile* metafile, HDC reference);
  ~TMetafileCanvas() override;

private:
  TMetafile* FMetafile;
};
