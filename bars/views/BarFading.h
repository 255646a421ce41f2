// Cross-fading a toolbar's mark and its MDI buttons between their normal
// and hot looks through the module's fader.
#pragma once

#include "foundation/Fading.h"

class TCustomdxBarControl;
class TdxBarControl;

// What a painter offers when it draws the hot looks for fading. A painter
// that answers SupportsFadingInterface also derives from this.
class IdxBarFadingPainter {
public:
  // Both images are made opaque once drawn.
  virtual bool FadingImagesOpaque() const = 0;
  // Draws the mark in `state` (0 normal, 1 hot) into `r` of `dc`.
  virtual void DrawFadingMark(TCustomdxBarControl* control, HDC dc, const RECT& r, int state) const = 0;

protected:
  ~IdxBarFadingPainter() = default;
};

// The mark of a toolbar.
class TdxBarControlMarkFadingHelper : public TdxFadingObjectHelper {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarControlMarkFadingHelper(TdxBarControl* control) : FControl(control) {}
  // The toolbar fades, has its mark and the mark is not pressed.
  bool AllowsFading() override;
  void RepaintWithFade() override;
  void ProvideFadeImages(TBitmap*& normal, TBitmap*& highlighted, int& fadeInCount, int& fadeInDelay,
                         int& fadeOutCount, int& fadeOutDelay) override;

private:
  TdxBarControl* FControl;
};

// One MDI button of a main menu (0 minimize, 1 restore, 2 close).
class TdxBarControlMDIButtonFadingHelper : public TdxFadingObjectHelper {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TdxBarControlMDIButtonFadingHelper(TdxBarControl* control, int index) : FControl(control), FIndex(index) {}
  int Index() const { return FIndex; }
  bool AllowsFading() override;
  void RepaintWithFade() override;
  void ProvideFadeImages(TBitmap*& normal, TBitmap*& highlighted, int& fadeInCount, int& fadeInDelay,
                         int& fadeOutCount, int& fadeOutDelay) override;

private:
  TdxBarControl* FControl;
  int FIndex;
};
