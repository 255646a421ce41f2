// TIcon: an icon picture. It keeps the icon file it was read from, so that
// saving writes the same bytes; an icon made from a handle is written as a
// one-image 32-bit icon file.
#pragma once

#include "platform/Picture.h"

class TIcon : public TGraphic {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TIcon() { FTransparent = true; }
  ~TIcon() override;

  void Assign(TPersistent* source) override;
  void Draw(TCanvas* canvas, const RECT& r) override;
  bool GetEmpty() override { return !FHandle && FData.empty(); }
  int GetWidth() override { return FWidth; }
  int GetHeight() override { return FHeight; }
  // An icon's size comes from its image: raises EInvalidGraphicOperation.
  void SetWidth(int value) override;
  void SetHeight(int value) override;
  bool GetTransparent() override { return true; }

  // Reads an icon file; of several images the one of the system's icon
  // size is used, else the largest.
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;

  HICON Handle();
  // Takes ownership of `icon`.
  void SetHandle(HICON icon);
  HICON ReleaseHandle();

private:
  void Clear();
  HICON FHandle = nullptr;
  std::vector<uint8_t> FData;
  int FWidth = 0;
  int FHeight = 0;
};
