// The window a tree's hints and tooltips appear in: it measures the hint from
// the tree's hint record, draws it once into a bitmap and shows it topmost
// without the focus, at once, fading in or sliding down into place.
#pragma once

#include "platform/HintWindow.h"
#include "vtree/VirtualTree.h"

class TVirtualTreeHintWindow : public THintWindow {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TVirtualTreeHintWindow(TComponent* AOwner);
  ~TVirtualTreeHintWindow() override;

  RECT CalcHintRectData(int maxWidth, const AnsiString&, void* data) override {
    return MeasureHint(maxWidth, static_cast<const TVTHintData*>(data));
  }
  void ActivateHintData(const RECT& rect, const AnsiString&, void*) override { PresentHint(rect); }
  // Typing and moves over window frames leave a shown hint alone.
  bool IsHintCancelMessage(const TMessage& Message) override;

  // The hint's rectangle at the origin (empty when there is nothing to show).
  RECT MeasureHint(int MaxWidth, const TVTHintData* HintData);
  // Places the window at Rect, kept on the desktop, and shows it; an empty
  // Rect cancels the application's hint.
  void PresentHint(RECT Rect);
  // Draws animation frame Step (StepSize 0: the finished hint) into the
  // window, or into DC when given.
  void RenderHint(uint32_t Step, uint32_t StepSize, HDC DC = nullptr);
  bool AnimationStep(uint32_t Step, uint32_t StepSize);

  const TVTHintData& HintInfo() const { return FHintInfo; }
  int LineHeight() const { return FLineHeight; }
  // The finished hint and the screen captured under it (32-bit DIBs).
  HDC ContentDC() const { return FContent.DC; }
  HDC ScreenDC() const { return FScreen.DC; }

protected:
  void CreateParams(TCreateParams& Params) override;
  void Dispatch(TMessage& Message) override;

private:
  // A 32-bit DIB with a memory device context of its own.
  struct TSurface {
    HDC DC = nullptr;
    HBITMAP Bitmap = nullptr;
    HGDIOBJ Old = nullptr;
    int Width = 0, Height = 0;
    void Resize(int width, int height);
    ~TSurface();
  };
  bool TooltipMode() const;
  HFONT HintFont();

  TVTHintData FHintInfo;
  TSurface FContent, FScreen, FBlend;
  int FLineHeight = 0;
  HFONT FHintFont = nullptr;
  TFont FCellFont;
};

// False while hint windows live and after each hide, true once one is
// destroyed: a running hint animation stops when it reads true.
bool HintWindowDestroyed();
void SetHintWindowDestroyed(bool Value);
