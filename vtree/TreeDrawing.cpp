#include "vtree/TreeDrawing.h"

#include "platform/Exceptions.h"
#include "vtree/TreeGlobals.h"

#include <algorithm>
#include <vector>

namespace {
// A 32-bit DIB selected into a device context.
struct TDibView {
  uint8_t* Bits = nullptr;
  int Width = 0, Height = 0;
  bool BottomUp = true;
  uint8_t* Pixel(int x, int y) const {
    const int row = BottomUp ? Height - 1 - y : y;
    return Bits + (size_t(row) * size_t(Width) + size_t(x)) * 4;
  }
};

TDibView DibOf(HDC DC) {
  HGDIOBJ bitmap = DC ? GetCurrentObject(DC, OBJ_BITMAP) : nullptr;
  DIBSECTION section{};
  const int size = bitmap ? GetObjectA(bitmap, sizeof(section), &section) : 0;
  MevraAssert(size != 0, "Alpha blending DC error: no bitmap available.");
  MevraAssert(section.dsBm.bmBitsPixel == 32, "Alpha blending error: bitmap must use 32 bpp.");
  MevraAssert(size == sizeof(DIBSECTION) && section.dsBm.bmBits, "Alpha blending DC error: no bitmap available.");
  TDibView view;
  view.Bits = static_cast<uint8_t*>(section.dsBm.bmBits);
  view.Width = section.dsBm.bmWidth;
  view.Height = std::abs(section.dsBmih.biHeight);
  // The section's description does not tell reliably which way its rows run
  // (a top-down section may report a positive height): GDI's top row shows.
  // The first pixel in memory briefly differs from the last row's first pixel.
  if (view.Height > 1) {
    GdiFlush();
    auto* first = reinterpret_cast<uint32_t*>(view.Bits);
    const uint32_t last = *reinterpret_cast<uint32_t*>(view.Bits + size_t(view.Height - 1) * size_t(view.Width) * 4);
    const uint32_t saved = *first;
    *first = last ^ 1;
    uint32_t top = last;
    GetBitmapBits(static_cast<HBITMAP>(bitmap), sizeof top, &top);
    view.BottomUp = top != (last ^ 1);
    *first = saved;
  }
  return view;
}

// One 16-bit lane of the blend, with the wrap-arounds and saturations of
// packed 16-bit arithmetic.
uint8_t BlendLane(int S, int D, int A, int16_t Bias) {
  const uint16_t difference = static_cast<uint16_t>(S - D);
  const uint16_t product = static_cast<uint16_t>(difference * static_cast<uint16_t>(A));
  const uint16_t sum = static_cast<uint16_t>(product + 256 * D);
  const uint16_t t = static_cast<uint16_t>(sum >> 8);
  const int centred = static_cast<int16_t>(static_cast<uint16_t>(t - 128));
  const int16_t biased = static_cast<int16_t>(std::clamp(centred + Bias, -32768, 32767));
  const int16_t result = static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint16_t>(biased) + 128));
  return static_cast<uint8_t>(std::clamp<int>(result, 0, 255));
}
}  // namespace

uint32_t ColorForBlending(TColor Color) {
  if (Color == clNone) return 0xFFFFFFFF;
  if (Color == clDefault) return 0xFF000000;
  return static_cast<uint32_t>(ColorToRGB(Color)) & 0xFFFFFF;
}

RECT OrderRect(const RECT& R) {
  return RECT{std::min(R.left, R.right), std::min(R.top, R.bottom), std::max(R.left, R.right), std::max(R.top, R.bottom)};
}

void BlendRect(HDC Source, HDC Destination, RECT R, POINT Target, TBlendMode Mode, int ConstantAlpha, int Bias) {
  if (!MMXAvailable() || IsRectEmpty(&R)) return;
  const TDibView destination = DibOf(Destination);
  const TDibView source = Mode == TBlendMode::bmConstantAlphaAndColor ? destination : DibOf(Source);
  // Only what lies inside both bitmaps is touched.
  int width = R.right - R.left, height = R.bottom - R.top;
  if (R.left < 0) { Target.x -= R.left; width += R.left; R.left = 0; }
  if (R.top < 0) { Target.y -= R.top; height += R.top; R.top = 0; }
  if (Target.x < 0) { R.left -= Target.x; width += Target.x; Target.x = 0; }
  if (Target.y < 0) { R.top -= Target.y; height += Target.y; Target.y = 0; }
  if (Mode != TBlendMode::bmConstantAlphaAndColor) {
    width = std::min(width, source.Width - static_cast<int>(R.left));
    height = std::min(height, source.Height - static_cast<int>(R.top));
  }
  width = std::min(width, destination.Width - static_cast<int>(Target.x));
  height = std::min(height, destination.Height - static_cast<int>(Target.y));
  if (width <= 0 || height <= 0) return;
  GdiFlush();
  const int alpha = std::clamp(ConstantAlpha, 0, 255);
  const int16_t bias = static_cast<int16_t>(Bias);
  const uint32_t color = static_cast<uint32_t>(Bias);
  const uint8_t colorChannels[4] = {static_cast<uint8_t>(color >> 16), static_cast<uint8_t>(color >> 8),
                                    static_cast<uint8_t>(color), static_cast<uint8_t>(color >> 24)};
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* d = destination.Pixel(Target.x + x, Target.y + y);
      if (Mode == TBlendMode::bmConstantAlphaAndColor) {
        for (int c = 0; c < 4; ++c) d[c] = static_cast<uint8_t>((alpha * colorChannels[c] + (256 - alpha) * d[c]) >> 8);
        continue;
      }
      const uint8_t* s = source.Pixel(R.left + x, R.top + y);
      int a = alpha;
      if (Mode == TBlendMode::bmPerPixelAlpha) a = s[3];
      else if (Mode == TBlendMode::bmMasterAlpha) a = (alpha * s[3]) >> 8;
      for (int c = 0; c < 4; ++c) d[c] = BlendLane(s[c], d[c], a, bias);
    }
  }
}

// --- wide text --------------------------------------------------------------------------

namespace {
std::vector<std::wstring> SplitLines(const std::wstring& Text) {
  std::vector<std::wstring> lines(1);
  for (size_t i = 0; i < Text.size(); ++i) {
    const wchar_t c = Text[i];
    if (c == L'\r' || c == L'\n' || c == 0x2028) {
      if (c == L'\r' && i + 1 < Text.size() && Text[i + 1] == L'\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

int TextWidth(HDC DC, const std::wstring& Text) {
  SIZE size{};
  GetTextExtentPoint32W(DC, Text.c_str(), static_cast<int>(Text.size()), &size);
  return size.cx;
}
}  // namespace

int DrawTextWithoutDrawTextW(HDC DC, const std::wstring& Text, RECT& Bounds, UINT Flags, bool RightToLeft) {
  TEXTMETRICW metrics{};
  GetTextMetricsW(DC, &metrics);
  const int lineHeight = metrics.tmHeight;
  const std::vector<std::wstring> lines = Flags & DT_SINGLELINE ? std::vector<std::wstring>{Text} : SplitLines(Text);
  const int total = lineHeight * static_cast<int>(lines.size());
  if (Flags & DT_CALCRECT) {
    int widest = 0;
    for (const std::wstring& line : lines) widest = std::max(widest, TextWidth(DC, line));
    Bounds.right = Bounds.left + widest;
    Bounds.bottom = Bounds.top + total;
    return total;
  }
  int y = Bounds.top;
  if (Flags & DT_VCENTER) y += (Bounds.bottom - Bounds.top - total) / 2;
  UINT options = Flags & DT_NOCLIP ? 0 : ETO_CLIPPED;
  if (RightToLeft) options |= ETO_RTLREADING;
  for (const std::wstring& line : lines) {
    if (y >= Bounds.bottom) break;
    const int width = TextWidth(DC, line);
    int x = Bounds.left;
    if (Flags & DT_RIGHT) x = Bounds.right - width;
    else if (Flags & DT_CENTER) x = Bounds.left + (Bounds.right - Bounds.left - width) / 2;
    ExtTextOutW(DC, x, y, options, &Bounds, line.c_str(), static_cast<UINT>(line.size()), nullptr);
    y += lineHeight;
  }
  return total;
}

std::wstring ShortenString(HDC DC, const std::wstring& Text, int Width, int EllipsisWidth) {
  if (Text.empty() || Width <= 0) return std::wstring();
  if (EllipsisWidth == 0) EllipsisWidth = TextWidth(DC, L"...");
  if (EllipsisWidth >= Width) return std::wstring();
  size_t low = 0, high = Text.size();
  while (low < high) {
    const size_t middle = (low + high + 1) / 2;
    if (TextWidth(DC, Text.substr(0, middle)) + EllipsisWidth <= Width) low = middle;
    else high = middle - 1;
  }
  return Text.substr(0, low) + L"...";
}

std::wstring WrapString(HDC DC, const std::wstring& Text, const RECT& Bounds, UINT Flags, bool RightToLeft) {
  const int width = Bounds.right - Bounds.left;
  auto fits = [&](const std::wstring& line) {
    RECT r{0, 0, width, 0};
    DrawTextW(DC, line.c_str(), static_cast<int>(line.size()), &r, Flags | DT_CALCRECT | DT_SINGLELINE);
    return r.right - r.left <= width;
  };
  // The trimmed text's words.
  std::vector<std::wstring> words;
  std::wstring word;
  for (wchar_t c : Text) {
    if (c <= L' ') {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
  if (RightToLeft) std::reverse(words.begin(), words.end());
  std::vector<std::wstring> lines;
  std::wstring line;
  for (size_t i = 0; i < words.size(); ++i) {
    std::wstring next = words[i];
    const std::wstring candidate = line.empty() ? next : line + L" " + next;
    if (fits(candidate)) {
      line = candidate;
      continue;
    }
    if (!line.empty()) {
      lines.push_back(line);
      line.clear();
      --i;  // the word starts the next line
      continue;
    }
    // Too long for a line of its own: the part that fits, the rest after it.
    size_t keep = next.size();
    while (keep > 1 && !fits(next.substr(0, keep))) --keep;
    lines.push_back(next.substr(0, keep));
    if (keep < next.size()) words.insert(words.begin() + static_cast<std::ptrdiff_t>(i) + 1, next.substr(keep));
  }
  if (!line.empty()) lines.push_back(line);
  std::wstring result;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (i) result += L"\r\n";
    result += lines[i];
  }
  return result;
}
