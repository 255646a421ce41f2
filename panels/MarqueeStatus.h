// A status pane whose caption scrolls through it like a ticker. Each timer
// tick moves the text by ScrollSize pixels, renders the visible part into a
// reused bitmap and draws it straight on the pane (no invalidation); when
// the text has left the pane, the pass ends, the offset starts again at 0
// and OnScrollComplete fires.
#pragma once

#include "panels/StatusPane.h"
#include "platform/Bitmap.h"

#include <cstdint>

enum class TRzScrollType { stNone, stRightToLeft, stLeftToRight };
using enum TRzScrollType;

using TRzScrollDisplayEvent = TEvent<void(TObject* Sender, int CurrentStep, int TotalSteps)>;

class TRzMarqueeStatus : public TRzStatusPane {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TRzMarqueeStatus(TComponent* AOwner);
  ~TRzMarqueeStatus() override;

  TRzScrollType ScrollType() const { return FScrollType; }
  void SetScrollType(TRzScrollType value);
  bool Scrolling() const { return FScrolling; }
  virtual void SetScrolling(bool value);
  uint16_t ScrollSize() const { return FScrollSize; }
  virtual void SetScrollSize(uint16_t value);
  uint16_t ScrollDelay() const { return FScrollDelay; }
  void SetScrollDelay(uint16_t value);
  // Caption width plus pane width, in pixels.
  int ScrollExtent() const { return FScrollExtent; }
  int ScrollOffset() const { return FScrollOffset; }
  TTimer* ScrollTimer() const { return FTimer; }
  // The last picture a tick or a paint rendered.
  TBitmap* RenderBitmap() const { return FBitmap; }

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void DrawCaption(const AnsiString& text) override;
  // The timer's event; tests call it to drive passes tick by tick.
  void ScrollTick(TObject* sender);

  TRzScrollDisplayEvent OnScrollDisplay;
  TNotifyEvent OnScrollComplete;

protected:
  void Dispatch(TMessage& Message) override;
  virtual void DoScrollDisplay(int currentStep, int totalSteps) {
    FireEvent(OnScrollDisplay, this, currentStep, totalSteps);
  }
  virtual void DoScrollComplete() { FireEvent(OnScrollComplete, this); }
  void UpdateScrollExtent();

private:
  TRzScrollType FScrollType = stRightToLeft;
  bool FScrolling = true;
  int FScrollExtent = 0;
  uint16_t FScrollDelay = 100;
  uint16_t FScrollSize = 1;
  TBitmap* FBitmap = nullptr;
  TTimer* FTimer = nullptr;
  int FScrollOffset = 0;
};
