// The fading helpers of a toolbar's mark and MDI buttons.
#include "bars/views/BarFading.h"

#include "bars/views/BarControl.h"
#include "bars/views/BarPainter.h"
#include "foundation/Bitmaps.h"

#include <memory>

const TClassInfo TdxBarControlMarkFadingHelper::ClassInfo{"TdxBarControlMarkFadingHelper",
                                                          &TdxFadingObjectHelper::ClassInfo, nullptr};
const TClassInfo TdxBarControlMDIButtonFadingHelper::ClassInfo{"TdxBarControlMDIButtonFadingHelper",
                                                               &TdxFadingObjectHelper::ClassInfo, nullptr};

namespace {
// Two 32-bit images of the rectangle's size with `draw` run on each: the
// normal look first, then the hot one.
template <class Draw>
void MakeImages(const RECT& r, bool opaque, TBitmap*& normal, TBitmap*& highlighted, Draw draw) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return;
  std::unique_ptr<TcxBitmap> images[2] = {std::make_unique<TcxBitmap>(w, h), std::make_unique<TcxBitmap>(w, h)};
  const RECT local{0, 0, w, h};
  for (int i = 0; i < 2; ++i) {
    draw(images[i]->Canvas()->Handle(), local, i == 1);
    if (opaque) images[i]->MakeOpaque();
  }
  normal = images[0].release();
  highlighted = images[1].release();
}
}  // namespace

bool TdxBarControlMarkFadingHelper::AllowsFading() {
  return FControl->CanFade() && FControl->HasMark() && FControl->MarkState() != 2;
}

void TdxBarControlMarkFadingHelper::RepaintWithFade() { FControl->RepaintMark(); }

void TdxBarControlMarkFadingHelper::ProvideFadeImages(TBitmap*& normal, TBitmap*& highlighted, int&, int&, int&,
                                                      int&) {
  auto* painter = dynamic_cast<const IdxBarFadingPainter*>(FControl->Painter());
  if (!painter) return;
  RECT r{};
  FControl->GetMarkRect(r);
  MakeImages(r, painter->FadingImagesOpaque(), normal, highlighted, [&](HDC dc, const RECT& local, bool hot) {
    painter->DrawFadingMark(FControl, dc, local, hot ? 1 : 0);
  });
}

bool TdxBarControlMDIButtonFadingHelper::AllowsFading() { return FControl->CanFade() && FControl->HasMDIOrClose(); }

void TdxBarControlMDIButtonFadingHelper::RepaintWithFade() {
  if (!FControl->HandleAllocated()) return;
  const RECT r = FControl->MDIButtonRect(FIndex);
  InvalidateRect(FControl->Handle(), &r, TRUE);
}

void TdxBarControlMDIButtonFadingHelper::ProvideFadeImages(TBitmap*& normal, TBitmap*& highlighted, int&, int&,
                                                           int&, int&) {
  auto* painter = dynamic_cast<const IdxBarFadingPainter*>(FControl->Painter());
  if (!painter) return;
  const RECT r = FControl->MDIButtonRect(FIndex);
  MakeImages(r, painter->FadingImagesOpaque(), normal, highlighted, [&](HDC dc, const RECT& local, bool hot) {
    FControl->Painter()->DrawMDIButton(FControl, FIndex, hot ? 2 : 0, dc, local);
  });
}
