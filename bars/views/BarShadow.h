// The drop shadow of a popup bar window (joined to the button that opened
// it): up to five borderless popup strips right of and below the shapes,
// alpha-blended on layered screens of more than 8 bits, solid otherwise.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Win32.h"

// Ends of a strip that fade out.
constexpr unsigned dxShadowFadeLeft = 1, dxShadowFadeRight = 2, dxShadowFadeTop = 4;

// One strip of a shadow: kind 0 lies below something, 1 right of it.
struct TdxBarShadowPartInfo {
  RECT Bounds{};
  int Kind = 0;
  unsigned Corners = 0;
};

// The strips round an owner rectangle (empty for none) and a control
// rectangle, screen co-ordinates, for shadow size `size`. The one above
// or left of the other is taken as the owner. Empty strips are left out.
std::vector<TdxBarShadowPartInfo> dxBarShadowParts(RECT owner, RECT control, int size);
// Whether a strip is drawn: one with fading ends needs size × size room.
bool dxBarShadowPartBigEnough(const TdxBarShadowPartInfo& part, int size);
// The alpha of every pixel of a strip, top-down rows: 15 per pixel of
// distance to the strip's outer edge, the fading ends scaled down over a
// size × size block.
std::vector<uint8_t> dxBarShadowAlphas(int width, int height, int kind, unsigned corners, int size);

// The shadow of one window. `layered` and the size come from the screen
// unless set for a test.
class TdxBarShadow {
public:
  explicit TdxBarShadow(HWND ownerWindow);
  ~TdxBarShadow();
  TdxBarShadow(const TdxBarShadow&) = delete;
  TdxBarShadow& operator=(const TdxBarShadow&) = delete;
  // Layered windows are available and the screen has more than 8 bits.
  static bool SystemTransparent();
  bool Transparent() const { return FTransparent; }
  // Pretends a screen depth (a test of the solid shadow).
  void SetTransparent(bool value) { FTransparent = value; }
  int ShadowSize() const { return FTransparent ? 4 : 2; }
  void SetBounds(const RECT& owner, const RECT& control);
  void SetVisible(bool value);
  bool Visible() const { return FVisible; }
  // Destroys the strips and makes them anew.
  void Refresh();
  int PartCount() const { return static_cast<int>(FParts.size()); }
  HWND PartWindow(int index) const { return FParts[static_cast<size_t>(index)].Window; }
  const TdxBarShadowPartInfo& PartInfo(int index) const { return FParts[static_cast<size_t>(index)].Info; }
  // The 32-bit premultiplied image of a layered strip (null when solid).
  HBITMAP PartImage(int index) const { return FParts[static_cast<size_t>(index)].Image; }

private:
  struct TPart {
    TdxBarShadowPartInfo Info;
    HWND Window = nullptr;
    HBITMAP Image = nullptr;
  };
  void DestroyParts();
  void ShowPart(TPart& part);
  static LRESULT CALLBACK PartProc(HWND, UINT, WPARAM, LPARAM);
  HWND FOwnerWindow;
  bool FTransparent;
  bool FVisible = false;
  RECT FOwner{}, FControl{};
  std::vector<TPart> FParts;
};
