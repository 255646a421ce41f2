#include "panels/MarqueeStatus.h"

#include "platform/Graphics.h"
#include "platform/Properties.h"

const TClassInfo TRzMarqueeStatus::ClassInfo{"TRzMarqueeStatus", &TRzStatusPane::ClassInfo,
                                             [](TObject* owner) -> TObject* {
                                               return new TRzMarqueeStatus(static_cast<TComponent*>(owner));
                                             }};

TRzMarqueeStatus::TRzMarqueeStatus(TComponent* AOwner) : TRzStatusPane(AOwner) {
  FControlStyle.Exclude(csOpaque);
  FScrollExtent = FWidth;
  FBitmap = New<TBitmap>();
  FTimer = New<TTimer>(this);
  FTimer->SetEnabled(FScrolling);
  FTimer->SetOnTimer(TNotifyEvent::Bind<&TRzMarqueeStatus::ScrollTick>(this));
  FTimer->SetInterval(FScrollDelay);
}

TRzMarqueeStatus::~TRzMarqueeStatus() {
  FreeAndNil(FTimer);
  FreeAndNil(FBitmap);
}

void TRzMarqueeStatus::SetScrollType(TRzScrollType value) {
  if (FScrollType == value) return;
  FScrollType = value;
  // Runs whatever Scrolling says: a type other than stNone starts the timer.
  FTimer->SetEnabled(value != stNone);
  Invalidate();
}

void TRzMarqueeStatus::SetScrolling(bool value) {
  if (FScrolling == value) return;
  FScrolling = value;
  FTimer->SetEnabled(value);
  if (!value) FScrollOffset = 0;
  Invalidate();
}

void TRzMarqueeStatus::SetScrollSize(uint16_t value) {
  if (FScrollSize == value) return;
  FScrollSize = value == 0 ? 1 : value;
}

void TRzMarqueeStatus::SetScrollDelay(uint16_t value) {
  if (FScrollDelay == value) return;
  FScrollDelay = value;
  if (FTimer) FTimer->SetInterval(value);
}

void TRzMarqueeStatus::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TRzStatusPane::SetBounds(ALeft, ATop, AWidth, AHeight);
  UpdateScrollExtent();
}

void TRzMarqueeStatus::UpdateScrollExtent() {
  if (!FBitmap) return;
  TCanvas* canvas = FBitmap->Canvas();
  canvas->Font()->Assign(&FFont);
  if (FScrollSize != 0) FScrollExtent = canvas->TextWidth(FCaption) + FWidth;
}

void TRzMarqueeStatus::ScrollTick(TObject*) {
  if (!FTimer->Enabled() || !Visible()) return;
  FScrollOffset += FScrollSize;
  // Straight on the pane: a tick repaints only the text rectangle.
  if (FParent && FParent->HandleAllocated()) {
    DrawCaption(FCaption);
    FCanvas.FreeHandle();
  }
  if (FScrollOffset < FScrollExtent) {
    DoScrollDisplay(FScrollOffset, FScrollExtent);
  } else {
    FScrollOffset = 0;
    DoScrollComplete();
  }
}

void TRzMarqueeStatus::DrawCaption(const AnsiString& text) {
  if (FScrollType == stNone) {
    TRzStatusPane::DrawCaption(text);
    return;
  }
  const RECT r = GetTextRect();
  const int width = std::max(0, static_cast<int>(r.right - r.left)), height = std::max(0, static_cast<int>(r.bottom - r.top));
  FBitmap->SetSize(width, height);
  if (width == 0 || height == 0) return;
  TCanvas* canvas = FBitmap->Canvas();
  canvas->Font()->Assign(&FFont);
  canvas->Font()->SetColor(FCurrentTextColor);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(FFillColor);
  canvas->FillRect(RECT{0, 0, width, height});
  const int y = r.top + (r.bottom - r.top - canvas->TextHeight("Pp")) / 2 - FBorderWidth - 1;
  const int x = FScrollType == stRightToLeft ? FWidth - FScrollOffset : FScrollOffset - canvas->TextWidth(text);
  // The clip rectangle is the pane's text rectangle unshifted: the bitmap's
  // first r.left columns and r.top rows keep the background.
  canvas->TextRect(r, x, y, text);
  Canvas()->Draw(FBorderWidth + 1, FBorderWidth + 1, FBitmap);
}

void TRzMarqueeStatus::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      TRzStatusPane::Dispatch(Message);
      UpdateScrollExtent();
      Invalidate();
      return;
    default:
      TRzStatusPane::Dispatch(Message);
  }
}

// -- Published properties ----------------------------------------------------------

namespace {

const TEnumInfo ScrollTypeNames{"TRzScrollType", {"stNone", "stRightToLeft", "stLeftToRight"}};

using M = TRzMarqueeStatus;
const TPublishedRegistration marqueeRegistration(&TRzMarqueeStatus::ClassInfo, {
    Property<&M::ScrollType, &M::SetScrollType>("ScrollType", ScrollTypeNames).Default(stRightToLeft),
    Property<&M::Scrolling, &M::SetScrolling>("Scrolling").Default(true),
    Property<&M::ScrollDelay, &M::SetScrollDelay>("ScrollDelay").Default(100),
    Property<&M::ScrollSize, &M::SetScrollSize>("ScrollSize").Default(1),
    Event<&M::OnScrollDisplay>("OnScrollDisplay"),
    Event<&M::OnScrollComplete>("OnScrollComplete"),
});

}  // namespace
