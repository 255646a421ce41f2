#include "tools/skin/HouseSkin.h"

#include "tools/skin/PixelCanvas.h"

#include <functional>

namespace {

// The house palette: slate edges, a pale face and a teal accent.
constexpr uint32_t M = kSkinMagenta;
constexpr uint32_t kFace = 0xECEFF3;
constexpr uint32_t kFaceLow = 0xDCE1E8;
constexpr uint32_t kEdge = 0x5A6B80;
constexpr uint32_t kLight = 0xFFFFFF;
constexpr uint32_t kShadow = 0xA7B2C0;
constexpr uint32_t kText = 0x1E2833;
constexpr uint32_t kAccent = 0x2F7F9F;
constexpr uint32_t kAccentLight = 0x8CC4D8;
constexpr uint32_t kHot = 0xD9ECF4;
constexpr uint32_t kPressed = 0xB5D3E2;
constexpr uint32_t kDisabledFace = 0xE6E8EB;
constexpr uint32_t kDisabledEdge = 0xB8BEC6;
constexpr uint32_t kDisabledText = 0x9AA3AE;
constexpr uint32_t kCaptionTop = 0x3F8FAF;
constexpr uint32_t kCaptionBottom = 0x2A6C8A;
constexpr uint32_t kInactiveTop = 0xA9B6C3;
constexpr uint32_t kInactiveBottom = 0x8E9CAB;

// The looks a control part takes, in the order most strips use.
enum class Look { Normal, Hot, Pressed, Disabled, Focused };

struct Shade {
  uint32_t Top, Bottom, Edge, Glyph;
};

Shade ShadeOf(Look look) {
  switch (look) {
    case Look::Hot: return {0xF4FAFD, kHot, kAccent, kText};
    case Look::Pressed: return {kPressed, 0xC9DFEA, kEdge, kText};
    case Look::Disabled: return {kDisabledFace, kDisabledFace, kDisabledEdge, kDisabledText};
    case Look::Focused: return {0xFBFCFD, kFaceLow, kAccent, kText};
    case Look::Normal: break;
  }
  return {0xFBFCFD, kFaceLow, kEdge, kText};
}

// A raised face with a one-pixel edge; `round` leaves the corner pixels magenta.
void Face(TPixelCanvas& c, int x, int y, int w, int h, Look look, bool round) {
  const Shade s = ShadeOf(look);
  c.Gradient(x + 1, y + 1, w - 2, h - 2, s.Top, s.Bottom);
  c.FrameRect(x, y, w, h, s.Edge);
  if (look == Look::Focused) c.FrameRect(x + 1, y + 1, w - 2, h - 2, kAccentLight);
  if (round) {
    for (int px : {x, x + w - 1})
      for (int py : {y, y + h - 1}) c.SetPixel(px, py, M);
  }
}

// A sunken well: dark top-left, light bottom-right.
void Well(TPixelCanvas& c, int x, int y, int w, int h, uint32_t fill) {
  c.FillRect(x, y, w, h, fill);
  c.HLine(x, y, w, kShadow);
  c.VLine(x, y, h, kShadow);
  c.HLine(x, y + h - 1, w, kLight);
  c.VLine(x + w - 1, y, h, kLight);
}

enum class Dir { Left, Right, Up, Down };

// A solid triangle of `size` rows pointing `dir`, centred on (cx, cy).
void Arrow(TPixelCanvas& c, int cx, int cy, Dir dir, int size, uint32_t colour) {
  for (int i = 0; i < size; ++i) {
    const int half = size - 1 - i;  // row i is 2*half+1 long
    switch (dir) {
      case Dir::Down: c.HLine(cx - half, cy - size / 2 + i, 2 * half + 1, colour); break;
      case Dir::Up: c.HLine(cx - half, cy + size / 2 - i, 2 * half + 1, colour); break;
      case Dir::Right: c.VLine(cx - size / 2 + i, cy - half, 2 * half + 1, colour); break;
      case Dir::Left: c.VLine(cx + size / 2 - i, cy - half, 2 * half + 1, colour); break;
    }
  }
}

void CheckMark(TPixelCanvas& c, int x, int y, uint32_t colour) {
  // A two-pixel-thick tick in a 7x7 box.
  const int ys[7] = {3, 4, 5, 4, 3, 2, 1};
  for (int i = 0; i < 7; ++i) c.VLine(x + i, y + ys[i], 2, colour);
}

// `frames` cells of w x h side by side, each drawn by `cell`(canvas, x0, frame index from 0).
TPixelCanvas Strip(int frames, int w, int h, const std::function<void(TPixelCanvas&, int, int)>& cell) {
  TPixelCanvas c(frames * w, h);
  for (int i = 0; i < frames; ++i) cell(c, i * w, i);
  return c;
}

// `frames` cells stacked top to bottom.
TPixelCanvas Stack(int frames, int w, int h, const std::function<void(TPixelCanvas&, int, int)>& cell) {
  TPixelCanvas c(w, frames * h);
  for (int i = 0; i < frames; ++i) cell(c, i * h, i);
  return c;
}

// Looks of the four-state strips: normal, pressed, disabled, hot.
constexpr Look kFourStates[4] = {Look::Normal, Look::Pressed, Look::Disabled, Look::Hot};

TPixelCanvas Buttons() {
  const Look looks[5] = {Look::Normal, Look::Pressed, Look::Disabled, Look::Hot, Look::Focused};
  return Strip(5, 24, 22, [&](TPixelCanvas& c, int x, int i) { Face(c, x, 0, 24, 22, looks[i], true); });
}

// Unchecked, checked and mixed boxes, each normal, hot, pressed, disabled.
TPixelCanvas CheckBoxes() {
  const Look looks[4] = {Look::Normal, Look::Hot, Look::Pressed, Look::Disabled};
  return Strip(12, 13, 13, [&](TPixelCanvas& c, int x, int i) {
    const Shade s = ShadeOf(looks[i % 4]);
    c.FillRect(x, 0, 13, 13, looks[i % 4] == Look::Disabled ? kDisabledFace : kLight);
    if (looks[i % 4] != Look::Normal && looks[i % 4] != Look::Disabled) c.FillRect(x + 1, 1, 11, 11, s.Top);
    c.FrameRect(x, 0, 13, 13, s.Edge);
    const uint32_t mark = looks[i % 4] == Look::Disabled ? kDisabledText : kAccent;
    if (i / 4 == 1) CheckMark(c, x + 3, 2, mark);
    if (i / 4 == 2) c.FillRect(x + 3, 3, 7, 7, mark);
  });
}

// Unchecked and checked, each normal, hot, pressed, disabled.
TPixelCanvas RadioButtons() {
  const Look looks[4] = {Look::Normal, Look::Hot, Look::Pressed, Look::Disabled};
  return Strip(8, 13, 13, [&](TPixelCanvas& c, int x, int i) {
    const Shade s = ShadeOf(looks[i % 4]);
    c.FillEllipse(x, 0, 13, 13, s.Edge);
    c.FillEllipse(x + 1, 1, 11, 11, looks[i % 4] == Look::Disabled ? kDisabledFace : (looks[i % 4] == Look::Normal ? kLight : s.Top));
    if (i >= 4) c.FillEllipse(x + 4, 4, 5, 5, looks[i % 4] == Look::Disabled ? kDisabledText : kAccent);
  });
}

TPixelCanvas Progress() {
  return Strip(2, 24, 16, [](TPixelCanvas& c, int x, int i) {
    if (i == 0) {
      Well(c, x, 0, 24, 16, kLight);
    } else {
      c.Gradient(x, 0, 24, 16, kAccentLight, kAccent);
      c.FrameRect(x, 0, 24, 16, kCaptionBottom);
    }
  });
}

TPixelCanvas ProgressChunk() {
  TPixelCanvas c(8, 10, kLight);
  c.Gradient(1, 0, 6, 10, kAccentLight, kAccent);
  return c;
}

// Normal, current, disabled, hot and focused tabs; rounded top corners.
TPixelCanvas Tabs() {
  const Look looks[5] = {Look::Normal, Look::Focused, Look::Disabled, Look::Hot, Look::Focused};
  return Strip(5, 32, 22, [&](TPixelCanvas& c, int x, int i) {
    Face(c, x, 0, 32, 23, looks[i], true);  // the bottom edge falls outside: tabs open onto the pane
    if (i == 1 || i == 4) c.HLine(x + 1, 1, 30, kAccent);
  });
}

TPixelCanvas Pane() {
  TPixelCanvas c(40, 40, kFace);
  c.FrameRect(0, 0, 40, 40, kEdge);
  c.FrameRect(1, 1, 38, 38, kLight);
  return c;
}

// Normal, pressed, disabled and hot drop-down buttons with their arrow.
TPixelCanvas ComboButton() {
  return Strip(4, 18, 20, [](TPixelCanvas& c, int x, int i) {
    Face(c, x, 0, 18, 20, kFourStates[i], true);
    Arrow(c, x + 9, 10 + (i == 1 ? 1 : 0), Dir::Down, 4, ShadeOf(kFourStates[i]).Glyph);
  });
}

// The edge of an edit box, its inside left transparent.
TPixelCanvas SunkEdge() {
  return Strip(4, 20, 20, [](TPixelCanvas& c, int x, int i) {
    const uint32_t edge = i == 2 ? kDisabledEdge : (i == 3 || i == 1 ? kAccent : kShadow);
    c.FrameRect(x, 0, 20, 20, edge);
    c.FrameRect(x + 1, 1, 18, 18, i == 2 ? kDisabledFace : kLight);
  });
}

// Lowered, raised and plain status-bar panels.
TPixelCanvas StatusBarEdges() {
  return Strip(3, 12, 12, [](TPixelCanvas& c, int x, int i) {
    c.FillRect(x, 0, 12, 12, kFace);
    if (i == 0) Well(c, x, 0, 12, 12, kFace);
    if (i == 1) {
      c.HLine(x, 0, 12, kLight);
      c.VLine(x, 0, 12, kLight);
      c.HLine(x, 11, 12, kShadow);
      c.VLine(x + 11, 0, 12, kShadow);
    }
  });
}

TPixelCanvas Header() {
  const Look looks[5] = {Look::Normal, Look::Hot, Look::Pressed, Look::Disabled, Look::Focused};
  return Strip(5, 24, 20, [&](TPixelCanvas& c, int x, int i) {
    const Shade s = ShadeOf(looks[i]);
    c.Gradient(x, 0, 24, 20, s.Top, s.Bottom);
    c.HLine(x, 19, 24, kShadow);
    c.VLine(x + 23, 3, 14, kShadow);
    if (looks[i] == Look::Hot) c.HLine(x, 18, 23, kAccent);
  });
}

// Arrows left, right, up, down (each normal, pressed, disabled, hot), the
// horizontal and vertical thumb grips (normal, pressed, hot) and a blank.
TPixelCanvas ScrollArrows() {
  const Dir dirs[4] = {Dir::Left, Dir::Right, Dir::Up, Dir::Down};
  return Strip(23, 17, 17, [&](TPixelCanvas& c, int x, int i) {
    if (i < 16) {
      const Look look = kFourStates[i % 4];
      Face(c, x, 0, 17, 17, look, false);
      const int shift = look == Look::Pressed ? 1 : 0;
      Arrow(c, x + 8 + shift, 8 + shift, dirs[i / 4], 4, ShadeOf(look).Glyph);
    } else if (i < 22) {
      const bool vertical = i >= 19;
      const uint32_t ink = (i - 16) % 3 == 0 ? kShadow : kAccent;
      for (int k = -2; k <= 2; k += 2) {
        if (vertical) {
          c.HLine(x + 5, 8 + k, 7, ink);
        } else {
          c.VLine(x + 8 + k, 5, 7, ink);
        }
      }
    }
  });
}

// Thumbs: normal, pressed, hot.
TPixelCanvas Thumb(bool vertical) {
  const Look looks[3] = {Look::Normal, Look::Pressed, Look::Hot};
  const int w = vertical ? 17 : 24, h = vertical ? 24 : 17;
  return Strip(3, w, h, [&](TPixelCanvas& c, int x, int i) { Face(c, x, 0, w, h, looks[i], true); });
}

// Tracks: enabled, pressed, disabled, hot.
TPixelCanvas Track(bool vertical) {
  const int w = vertical ? 17 : 20, h = vertical ? 20 : 17;
  return Strip(4, w, h, [&](TPixelCanvas& c, int x, int i) {
    c.FillRect(x, 0, w, h, i == 2 ? kDisabledFace : (i == 1 ? kPressed : 0xE2E7ED));
    if (vertical) {
      c.VLine(x, 0, h, kShadow);
    } else {
      c.HLine(x, 0, w, kShadow);
    }
  });
}

TPixelCanvas MenuBackground() {
  TPixelCanvas c(32, 32, kLight);
  c.FillRect(0, 0, 24, 32, 0xF1F3F6);  // the glyph gutter
  c.FrameRect(0, 0, 32, 32, kShadow);
  return c;
}

// Normal, separator, disabled, selected and a spare selected look. A
// separator item is shorter than the image and shows its bottom rows: the
// line lies where the last 8 or 9 rows have it in their middle.
TPixelCanvas MenuItems() {
  return Strip(5, 24, 20, [](TPixelCanvas& c, int x, int i) {
    c.FillRect(x, 0, 24, 20, kLight);
    if (i == 1) c.HLine(x + 3, 15, 18, kShadow);
    if (i >= 3) {
      c.FillRect(x + 1, 1, 22, 18, kHot);
      c.FrameRect(x, 0, 24, 20, kAccentLight);
    }
  });
}

// Drop-down glyphs (normal, pressed, disabled, hot) and a size grip.
TPixelCanvas ExtraImages() {
  return Strip(5, 12, 12, [](TPixelCanvas& c, int x, int i) {
    if (i < 4) {
      Arrow(c, x + 6, 6, Dir::Down, 4, ShadeOf(kFourStates[i]).Glyph);
    } else {
      for (int k = 0; k < 3; ++k)
        for (int j = 0; j <= k; ++j) {
          c.FillRect(x + 9 - 3 * j, 9 - 3 * (k - j), 2, 2, kShadow);
          c.SetPixel(x + 9 - 3 * j, 9 - 3 * (k - j), kLight);
        }
    }
  });
}

// A track-bar thumb pointing `dir`, five looks (frame 2 is the one shown).
TPixelCanvas TrackThumb(Dir dir) {
  const bool across = dir == Dir::Left || dir == Dir::Right;
  const int w = across ? 19 : 11, h = across ? 11 : 19;
  const Look looks[5] = {Look::Normal, Look::Normal, Look::Pressed, Look::Disabled, Look::Hot};
  return Strip(5, w, h, [&](TPixelCanvas& c, int x, int i) {
    const Shade s = ShadeOf(looks[i]);
    // Body, then the point: a triangle of edge colour with a face-coloured inside.
    const int body = 13;
    int bx = x, by = 0, bw = w, bh = h;
    switch (dir) {
      case Dir::Down: bh = body; break;
      case Dir::Up: by = h - body; bh = body; break;
      case Dir::Right: bw = body; break;
      case Dir::Left: bx = x + w - body; bw = body; break;
    }
    Face(c, bx, by, bw, bh, looks[i], false);
    const int cx = x + w / 2, cy = h / 2;
    switch (dir) {
      case Dir::Down: Arrow(c, cx, h - 4, Dir::Down, 6, s.Edge); break;
      case Dir::Up: Arrow(c, cx, 3, Dir::Up, 6, s.Edge); break;
      case Dir::Right: Arrow(c, x + w - 4, cy, Dir::Right, 6, s.Edge); break;
      case Dir::Left: Arrow(c, x + 3, cy, Dir::Left, 6, s.Edge); break;
    }
  });
}

TPixelCanvas TrackChannel(bool vertical) {
  const int w = vertical ? 6 : 16, h = vertical ? 16 : 6;
  TPixelCanvas c(w, h, kLight);
  Well(c, 0, 0, w, h, kLight);
  return c;
}

// Minimize, restore and close for a maximized MDI child: four looks each
// (normal, pressed, disabled, hot).
TPixelCanvas MdiButtons() {
  return Strip(12, 16, 14, [](TPixelCanvas& c, int x, int i) {
    const Look look = kFourStates[i % 4];
    const uint32_t ink = ShadeOf(look).Glyph;
    Face(c, x, 0, 16, 14, look, true);
    switch (i / 4) {
      case 0: c.FillRect(x + 4, 9, 7, 2, ink); break;
      case 1:
        c.FrameRect(x + 6, 3, 6, 5, ink);
        c.FillRect(x + 4, 5, 6, 6, ShadeOf(look).Top);
        c.FrameRect(x + 4, 5, 6, 5, ink);
        break;
      default:
        for (int k = 0; k < 6; ++k) {
          c.FillRect(x + 5 + k, 4 + k, 2, 1, ink);
          c.FillRect(x + 10 - k, 4 + k, 2, 1, ink);
        }
    }
  });
}

// Spin buttons: two four-look buttons (up then down, or left then right).
TPixelCanvas SpinButtons(bool horizontal) {
  const int w = horizontal ? 10 : 15, h = horizontal ? 15 : 10;
  return Strip(8, w, h, [&](TPixelCanvas& c, int x, int i) { Face(c, x, 0, w, h, kFourStates[i % 4], false); });
}

TPixelCanvas SpinArrows(bool horizontal) {
  const int w = horizontal ? 4 : 7, h = horizontal ? 7 : 4;
  return Strip(8, w, h, [&](TPixelCanvas& c, int x, int i) {
    const uint32_t ink = ShadeOf(kFourStates[i % 4]).Glyph;
    const Dir dir = horizontal ? (i < 4 ? Dir::Left : Dir::Right) : (i < 4 ? Dir::Up : Dir::Down);
    Arrow(c, x + w / 2, h / 2, dir, 4, ink);
  });
}

enum class Caption { Close, Maximize, Minimize, Restore };

// Caption buttons: normal, pressed, hot, and the inactive/disabled look.
TPixelCanvas CaptionButton(Caption kind) {
  const Look looks[4] = {Look::Normal, Look::Pressed, Look::Hot, Look::Disabled};
  return Strip(4, 18, 16, [&](TPixelCanvas& c, int x, int i) {
    const Shade s = ShadeOf(looks[i]);
    uint32_t top = s.Top, bottom = s.Bottom;
    if (kind == Caption::Close && looks[i] == Look::Hot) top = 0xE8837A, bottom = 0xC8483C;
    c.Gradient(x + 1, 1, 16, 14, top, bottom);
    c.FrameRect(x, 0, 18, 16, looks[i] == Look::Disabled ? kDisabledEdge : kCaptionBottom);
    for (int px : {x, x + 17})
      for (int py : {0, 15}) c.SetPixel(px, py, M);
    const uint32_t ink = looks[i] == Look::Hot && kind == Caption::Close ? kLight : s.Glyph;
    switch (kind) {
      case Caption::Close:
        for (int k = 0; k < 7; ++k) {
          c.FillRect(x + 5 + k, 4 + k, 2, 1, ink);
          c.FillRect(x + 11 - k, 4 + k, 2, 1, ink);
        }
        break;
      case Caption::Maximize:
        c.FrameRect(x + 5, 4, 8, 8, ink);
        c.HLine(x + 5, 5, 8, ink);
        break;
      case Caption::Minimize: c.FillRect(x + 5, 10, 8, 2, ink); break;
      case Caption::Restore:
        c.FrameRect(x + 7, 3, 7, 6, ink);
        c.FillRect(x + 4, 6, 7, 6, top);
        c.FrameRect(x + 4, 6, 7, 6, ink);
        c.HLine(x + 4, 7, 7, ink);
        break;
    }
  });
}

// Window borders: frame 1 active, frame 2 inactive. The sides lie side by
// side; the caption and the bottom are stacked.
TPixelCanvas SideBorder(bool right) {
  return Strip(2, 4, 40, [&](TPixelCanvas& c, int x, int i) {
    const uint32_t band = i == 0 ? kCaptionBottom : kInactiveBottom;
    c.FillRect(x, 0, 4, 40, band);
    c.VLine(right ? x + 3 : x, 0, 40, kEdge);
    c.VLine(right ? x : x + 3, 0, 40, MixRgb(band, kFace, 128));
  });
}

TPixelCanvas TopBorder() {
  return Stack(2, 64, 30, [](TPixelCanvas& c, int y, int i) {
    c.Gradient(0, y, 64, 30, i == 0 ? kCaptionTop : kInactiveTop, i == 0 ? kCaptionBottom : kInactiveBottom);
    c.HLine(0, y, 64, kEdge);
    c.VLine(0, y, 30, kEdge);
    c.VLine(63, y, 30, kEdge);
    c.HLine(1, y + 1, 62, MixRgb(kLight, i == 0 ? kCaptionTop : kInactiveTop, 96));
    // Rounded top corners: the window region leaves magenta out.
    for (int k = 0; k < 3; ++k) {
      c.HLine(0, y + k, 3 - k, M);
      c.HLine(61 + k, y + k, 3 - k, M);
    }
  });
}

TPixelCanvas BottomBorder() {
  return Stack(2, 64, 4, [](TPixelCanvas& c, int y, int i) {
    c.FillRect(0, y, 64, 4, i == 0 ? kCaptionBottom : kInactiveBottom);
    c.HLine(0, y + 3, 64, kEdge);
    c.VLine(0, y, 4, kEdge);
    c.VLine(63, y, 4, kEdge);
  });
}

// The band behind the caption text: active and inactive, stacked.
TPixelCanvas TextBack() {
  return Stack(2, 40, 20, [](TPixelCanvas& c, int y, int i) {
    c.FillRect(0, y, 40, 20, M);
    c.FillRect(2, y + 2, 36, 16, i == 0 ? MixRgb(kCaptionBottom, 0x000000, 200) : MixRgb(kInactiveBottom, 0x000000, 220));
    for (int k : {2, 37}) {
      c.SetPixel(k, y + 2, M);
      c.SetPixel(k, y + 17, M);
    }
  });
}

// The menu bar: active and inactive, stacked.
TPixelCanvas MenuBar() {
  return Stack(2, 32, 20, [](TPixelCanvas& c, int y, int i) {
    c.Gradient(0, y, 32, 20, i == 0 ? 0xF6F8FA : 0xF0F1F3, i == 0 ? kFace : 0xE4E6E9);
    c.HLine(0, y + 19, 32, kShadow);
  });
}

// Group box edge (normal, disabled) and the caption's label background.
TPixelCanvas GroupBoxEdge() {
  return Strip(2, 12, 12, [](TPixelCanvas& c, int x, int i) {
    c.FillRect(x, 0, 12, 12, M);
    c.FrameRect(x, 0, 12, 12, i == 0 ? kShadow : kDisabledEdge);
    c.FrameRect(x + 1, 1, 10, 10, kLight);
    for (int px : {x, x + 11})
      for (int py : {0, 11}) c.SetPixel(px, py, M);
  });
}

TPixelCanvas GroupBoxLabel() {
  TPixelCanvas c(30, 18, M);
  c.Gradient(0, 0, 30, 18, kFace, kFaceLow);
  c.HLine(0, 17, 30, kAccent);
  return c;
}

// Tool-bar button faces: normal, pressed, disabled, hot, checked.
TPixelCanvas ToolBarButtons() {
  const Look looks[5] = {Look::Normal, Look::Pressed, Look::Disabled, Look::Hot, Look::Focused};
  return Strip(5, 22, 22, [&](TPixelCanvas& c, int x, int i) {
    if (i == 0) return;  // a flat button shows no face until the mouse is over it
    Face(c, x, 0, 22, 22, looks[i], true);
  });
}

TPixelCanvas MinCaption() {
  return Strip(2, 60, 22, [](TPixelCanvas& c, int x, int i) {
    c.Gradient(x, 0, 60, 22, i == 0 ? kCaptionTop : kInactiveTop, i == 0 ? kCaptionBottom : kInactiveBottom);
    c.FrameRect(x, 0, 60, 22, kEdge);
  });
}

// Builds the INI text section by section.
class TIniText {
public:
  TIniText& Section(const char* name) {
    if (!FText.empty()) FText += "\r\n";
    FText += "[" + AnsiString(name) + "]\r\n";
    return *this;
  }
  TIniText& Key(const char* key, const AnsiString& value) {
    FText += AnsiString(key) + "=" + value + "\r\n";
    return *this;
  }
  TIniText& Key(const char* key, int value) { return Key(key, IntToStr(value)); }
  // The margins of a nine-part image.
  TIniText& Margins(int left, int top, int right, int bottom) {
    return Key("LeftWidth", left).Key("TopHeight", top).Key("RightWidth", right).Key("BottomHeight", bottom);
  }
  const AnsiString& Text() const { return FText; }

private:
  AnsiString FText;
};

AnsiString Rgb(uint32_t c) { return Format("%u %u %u", (c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF); }
// A colour as the integer keys take it: 0x00BBGGRR.
AnsiString ColorRef(uint32_t c) { return Format("0x%06X", ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF)); }

AnsiString HouseIni() {
  TIniText ini;
  ini.Section("TitlebarSkin").Key("SkinName", "House").Key("SkinAuthor", "Mevra");
  ini.Section("Skins").Key("Version", 1);
  ini.Section("Buttons")
      .Key("Bitmap", "buttons.bmp")
      .Margins(4, 4, 4, 4)
      .Key("Trans", 1)
      .Key("Tile", 0)
      .Key("CheckButton", "checkbox.bmp")
      .Key("RadioButton", "radiobutton.bmp")
      .Key("CheckButtonFrame", 12)
      .Key("RadioButtonFrame", 8)
      .Key("NormalColour", ColorRef(kText))
      .Key("MouseOverColour", ColorRef(kText))
      .Key("PressedColour", ColorRef(kText))
      .Key("NormalColour2", Rgb(kText))
      .Key("MouseOverColour2", Rgb(kCaptionBottom))
      .Key("PressedColour2", Rgb(kText));
  ini.Section("Progress").Key("Bitmap", "progress.bmp").Key("Style", 0).Margins(3, 3, 3, 3).Key("Trans", 0).Key("Tile", 0);
  ini.Section("Progress.Chunk").Key("Image", "progresschunk.bmp").Margins(1, 1, 1, 1).Key("Frame", 1).Key("Tile", 1);
  ini.Section("Tabs")
      .Key("Image", "tab.bmp")
      .Key("Border", "tabsheet.bmp")
      .Key("Style", 1)
      .Margins(4, 4, 4, 2)
      .Key("Trans", 1)
      .Key("Tile", 0)
      .Key("NormalColour", ColorRef(kText))
      .Key("MouseOverColour", ColorRef(kCaptionBottom))
      .Key("PressedColour", ColorRef(kText));
  ini.Section("Tab.Pane").Key("Image", "tabsheet.bmp").Margins(4, 4, 4, 4).Key("Frame", 1);
  ini.Section("ComboButton").Key("Image", "comboboxbtn.bmp").Margins(2, 2, 2, 2).Key("Trans", 1);
  ini.Section("SunkEdge").Key("Image", "sunkedge.bmp").Margins(3, 3, 3, 3).Key("Trans", 1);
  ini.Section("StatusBarEdges").Key("Image", "statusbar.bmp").Margins(2, 2, 2, 2).Key("Frame", 3);
  ini.Section("Headerbar").Key("Image", "header.bmp").Margins(3, 3, 3, 3).Key("Frame", 5);
  ini.Section("Scrollbar").Key("Image", "scrollbararrow.bmp").Key("Trans", 1);
  ini.Section("HorzScrollThumb").Key("Image", "scrollbarhthumb.bmp").Margins(4, 2, 4, 2).Key("Trans", 1).Key("FrameCount", 3);
  ini.Section("VertScrollThumb").Key("Image", "scrollbarvthumb.bmp").Margins(2, 4, 2, 4).Key("Trans", 1).Key("FrameCount", 3);
  ini.Section("HorzScroll").Key("Image", "scrollbarhbar.bmp").Margins(2, 2, 2, 2).Key("Tile", 1);
  ini.Section("VertScroll").Key("Image", "scrollbarvbar.bmp").Margins(2, 2, 2, 2).Key("Tile", 1);
  ini.Section("MenuBackground").Key("Image", "menubackground.bmp").Margins(25, 2, 2, 2).Key("Frame", 1);
  ini.Section("MenuItem").Key("Image", "menuitem.bmp").Margins(3, 3, 3, 3).Key("Tile", 0).Key("Frame", 5);
  ini.Section("ExtraImages").Key("Image", "extraimages.bmp").Key("Trans", 1).Key("Frame", 5);
  ini.Section("Trackbar.ThumbHorz").Key("Image", "trackthumbh.bmp").Key("Trans", 1);
  ini.Section("Trackbar.ThumbVert").Key("Image", "trackthumbv.bmp").Key("Trans", 1);
  ini.Section("Trackbar.ThumbDown").Key("Image", "trackthumbh.bmp").Key("Trans", 1);
  ini.Section("Trackbar.ThumbUp").Key("Image", "trackthumbu.bmp").Key("Trans", 1);
  ini.Section("Trackbar.ThumbRight").Key("Image", "trackthumbv.bmp").Key("Trans", 1);
  ini.Section("Trackbar.ThumbLeft").Key("Image", "trackthumbl.bmp").Key("Trans", 1);
  ini.Section("Track").Key("Image", "track.bmp").Margins(3, 2, 3, 2).Key("Frame", 1);
  ini.Section("TRACKVERT").Key("Image", "trackvert.bmp").Margins(2, 3, 2, 3).Key("Frame", 1);
  ini.Section("MDICONTROLS").Key("Image", "mdibutton.bmp");
  ini.Section("UpDown.Vert").Key("Image", "spin.bmp").Key("GlyphImage", "spinarrow.bmp").Margins(2, 2, 2, 2).Key("Trans", 1);
  ini.Section("UpDown.Horz").Key("Image", "spinh.bmp").Key("GlyphImage", "spinharrow.bmp").Margins(2, 2, 2, 2).Key("Trans", 1);
  ini.Section("GroupBoxEdge").Key("Image", "groupboxedge.bmp").Margins(4, 4, 4, 4).Key("Trans", 1);
  ini.Section("GroupBox")
      .Key("Image", "groupbox.bmp")
      .Margins(4, 2, 4, 2)
      .Key("BackgroundAlignment", 0)
      .Key("BackgroundLeftShift", 4)
      .Key("BackgroundRightShift", 4);
  ini.Section("ToolBars").Key("Image", "toolbar.bmp").Margins(3, 3, 3, 3).Key("Trans", 1);

  // Caption buttons, right-aligned: close, maximize or restore, minimize;
  // the window icon at the left.
  struct CaptionKeys {
    const char* Section;
    const char* Image;
    int Action, Align, X, Y, Visibility, Visibility1;
  };
  const CaptionKeys captions[] = {
      {"Button0", "closebutton.bmp", 0, 1, 24, 7, 0, 0},
      {"Button1", "maxbutton.bmp", 1, 1, 44, 7, 2, 6},
      {"Button2", "restorebutton.bmp", 1, 1, 44, 7, 1, 6},
      {"Button3", "minbutton.bmp", 2, 1, 64, 7, 6, 6},
      {"Button4", nullptr, 3, 0, 6, 7, 0, 0},
  };
  for (const CaptionKeys& b : captions) {
    ini.Section(b.Section);
    if (b.Image) ini.Key("ButtonImage", b.Image).Key("frame", 4);
    ini.Key("Action", b.Action)
        .Key("Align", b.Align)
        .Key("Xcoord", b.X)
        .Key("Ycoord", b.Y)
        .Key("Visibility", b.Visibility)
        .Key("Visibility1", b.Visibility1)
        .Key("CombineOp", -1);
  }

  ini.Section("Personality");
  for (const char* side : {"Left", "Right", "Top", "Bottom"}) {
    const AnsiString s = side;
    const bool band = s == "Top";
    ini.Key(side, "frame" + LowerCase(s) + ".bmp")
        .Key((s + "TopHeight").c_str(), band ? 12 : (s == "Bottom" ? 4 : 8))
        .Key((s + "BotHeight").c_str(), band ? 12 : (s == "Bottom" ? 4 : 8))
        .Key((s + "Frame").c_str(), 2)
        .Key((s + "Stretch").c_str(), band ? 1 : 0)
        .Key((s + "Trans").c_str(), band ? 1 : 0);
  }
  ini.Key("TextBack", "textback.bmp")
      .Key("TextShift", 26)
      .Key("TextShiftVert", 0)
      .Key("TextRightClip", 72)
      .Key("TextAlignment", 0)
      .Key("Textbackground", 1)
      .Key("TXTBackleft", 4)
      .Key("TXTBackRight", 4)
      .Key("menuBar", "menubar.bmp")
      .Key("TileMenu", 1)
      .Key("TileLeftMenu", 2)
      .Key("TileRightMenu", 2)
      .Key("ActiveTextR", 255)
      .Key("ActiveTextG", 255)
      .Key("ActiveTextB", 255)
      .Key("InActiveTextR", 236)
      .Key("InActiveTextG", 240)
      .Key("InActiveTextB", 244);
  ini.Section("Fonts").Key("FontHeight", 14);
  ini.Section("MinCaption").Key("Image", "mincaption.bmp");

  ini.Section("Colours")
      .Key("WindowText", Rgb(kText))
      .Key("TitleTextActive", Rgb(kLight))
      .Key("TitleTextNoActive", Rgb(0xECF0F4))
      .Key("ButtonFace", Rgb(kFace))
      .Key("ButtonText", Rgb(kText))
      .Key("ButtonHilight", Rgb(kLight))
      .Key("Buttonlight", Rgb(0xF6F8FA))
      .Key("ButtonShadow", Rgb(kShadow))
      .Key("ButtonDkShadow", Rgb(kEdge))
      .Key("HilightText", Rgb(kLight))
      .Key("Hilight", Rgb(kAccent))
      .Key("Menubar", Rgb(kFace))
      .Key("MenuBarText", Rgb(kText))
      .Key("MenuText", Rgb(kText))
      .Key("Menu", Rgb(kLight))
      .Key("Scrollbar", Rgb(0xE2E7ED));
  const uint32_t numbered[] = {kAccent, kAccentLight, kEdge};
  for (int i = 0; i < 3; ++i) ini.Section(Format("Colour%d", i + 1).c_str()).Key("color", Rgb(numbered[i]));
  ini.Section("Customcolors");
  const uint32_t custom[10] = {kFace, kFaceLow, kEdge, kShadow, kText, kAccent, kAccentLight, kHot, kPressed, kLight};
  for (int i = 0; i < 10; ++i) ini.Key(Format("Color%d", i).c_str(), Rgb(custom[i]));
  return ini.Text();
}

}  // namespace

std::vector<TSkinPackageEntry> HouseSkinEntries() {
  const struct {
    const char* Name;
    TPixelCanvas Picture;
  } bitmaps[] = {
      {"buttons.bmp", Buttons()},
      {"checkbox.bmp", CheckBoxes()},
      {"radiobutton.bmp", RadioButtons()},
      {"progress.bmp", Progress()},
      {"progresschunk.bmp", ProgressChunk()},
      {"tab.bmp", Tabs()},
      {"tabsheet.bmp", Pane()},
      {"comboboxbtn.bmp", ComboButton()},
      {"sunkedge.bmp", SunkEdge()},
      {"statusbar.bmp", StatusBarEdges()},
      {"header.bmp", Header()},
      {"scrollbararrow.bmp", ScrollArrows()},
      {"scrollbarhthumb.bmp", Thumb(false)},
      {"scrollbarvthumb.bmp", Thumb(true)},
      {"scrollbarhbar.bmp", Track(false)},
      {"scrollbarvbar.bmp", Track(true)},
      {"menubackground.bmp", MenuBackground()},
      {"menuitem.bmp", MenuItems()},
      {"extraimages.bmp", ExtraImages()},
      {"trackthumbh.bmp", TrackThumb(Dir::Down)},
      {"trackthumbu.bmp", TrackThumb(Dir::Up)},
      {"trackthumbv.bmp", TrackThumb(Dir::Right)},
      {"trackthumbl.bmp", TrackThumb(Dir::Left)},
      {"track.bmp", TrackChannel(false)},
      {"trackvert.bmp", TrackChannel(true)},
      {"mdibutton.bmp", MdiButtons()},
      {"spin.bmp", SpinButtons(false)},
      {"spinarrow.bmp", SpinArrows(false)},
      {"spinh.bmp", SpinButtons(true)},
      {"spinharrow.bmp", SpinArrows(true)},
      {"closebutton.bmp", CaptionButton(Caption::Close)},
      {"maxbutton.bmp", CaptionButton(Caption::Maximize)},
      {"minbutton.bmp", CaptionButton(Caption::Minimize)},
      {"restorebutton.bmp", CaptionButton(Caption::Restore)},
      {"frameleft.bmp", SideBorder(false)},
      {"frameright.bmp", SideBorder(true)},
      {"frametop.bmp", TopBorder()},
      {"framebottom.bmp", BottomBorder()},
      {"textback.bmp", TextBack()},
      {"menubar.bmp", MenuBar()},
      {"groupboxedge.bmp", GroupBoxEdge()},
      {"groupbox.bmp", GroupBoxLabel()},
      {"toolbar.bmp", ToolBarButtons()},
      {"mincaption.bmp", MinCaption()},
  };
  std::vector<TSkinPackageEntry> entries;
  for (const auto& b : bitmaps) entries.push_back({b.Name, b.Picture.Bmp()});
  entries.push_back({"house.ini", HouseIni()});
  return entries;
}

std::vector<TSkinPackageEntry> SkinEngineBitmaps() {
  // White is the glyphs' transparent colour.
  TPixelCanvas menu(64, 16, kLight);
  const uint32_t ink = 0x000000;
  // Restore: two overlapping windows.
  menu.FrameRect(5, 3, 8, 7, ink);
  menu.HLine(5, 4, 8, ink);
  menu.FillRect(2, 6, 8, 7, kLight);
  menu.FrameRect(2, 6, 8, 7, ink);
  menu.HLine(2, 7, 8, ink);
  // Maximize: one window.
  menu.FrameRect(16 + 3, 3, 10, 9, ink);
  menu.HLine(16 + 3, 4, 10, ink);
  // Minimize: a bar at the bottom.
  menu.FillRect(32 + 4, 11, 8, 2, ink);
  // Close: a cross.
  for (int k = 0; k < 8; ++k) {
    menu.FillRect(48 + 4 + k, 4 + k, 2, 1, ink);
    menu.FillRect(48 + 10 - k, 4 + k, 2, 1, ink);
  }
  // The channels: a sunken well, 16x4 and 4x16.
  TPixelCanvas track(16, 4, kLight), trackVert(4, 16, kLight);
  Well(track, 0, 0, 16, 4, kLight);
  Well(trackVert, 0, 0, 4, 16, kLight);
  return {{"SKARVOMENU.bmp", menu.Bmp()}, {"TRACK.bmp", track.Bmp()}, {"TRACKVERT.bmp", trackVert.Bmp()}};
}

AnsiString HouseSkinPackage() { return BuildSkinPackage(kHouseSkinVersion, HouseSkinEntries()); }
