// Shared by the graphics tests: a 32-bit work bitmap filled with one colour.
#pragma once

#include "platform/Bitmap.h"

#include <memory>

namespace graphics_test {

inline std::unique_ptr<TBitmap> FilledBitmap(int width, int height, TColor color,
                                             TPixelFormat format = pf32bit) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(format);
  bitmap->SetSize(width, height);
  bitmap->Canvas()->Brush()->SetColor(color);
  RECT all{0, 0, width, height};
  bitmap->Canvas()->FillRect(all);
  return bitmap;
}

// Pixels differing from `background` inside `r`.
inline int CountNot(TCanvas* canvas, const RECT& r, TColor background) {
  int count = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (canvas->Pixels(x, y) != background) ++count;
  return count;
}

}  // namespace graphics_test
