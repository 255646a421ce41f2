#include "foundation/Fading.h"

#include "foundation/Graphics.h"
#include "platform/ExtCtrls.h"

#include <algorithm>
#include <cmath>

bool (*dxFadingGdiPlusAvailable)() = [] { return IsGdiPlusAvailable(); };
int (*dxFadingScreenBitsPerPixel)() = [] { return GetDeviceCaps(SharedScreenCanvas()->GetDeviceContext(), BITSPIXEL); };

namespace {

TdxFader* TheFader = nullptr;

// A GDI+ image of the bitmap's pixels. A bitmap whose alpha bytes are all 0
// is made opaque except for its pure black pixels, which stay transparent.
TdxGPImage* ImageFromBitmap(TBitmap* bitmap) {
  auto pixels = std::make_shared<std::vector<uint32_t>>();
  GetBitmapBits32(bitmap, *pixels);
  if (std::none_of(pixels->begin(), pixels->end(), [](uint32_t p) { return (p >> 24) != 0; }))
    for (uint32_t& p : *pixels)
      if ((p & 0x00FFFFFF) != 0) p |= 0xFF000000u;
  TdxGPImage* image = CreateGPImage();
  try {
    image->ConstructFromPixels(bitmap->Width(), bitmap->Height(), pixels, bitmap->BitsPerPixel() == 32);
  } catch (...) {
    delete image;
    throw;
  }
  return image;
}

int FrameCountOrDefault(int count, int byDefault) { return count > 0 ? std::min(count, 32) : byDefault; }
int FrameDelayOrDefault(int delay, int byDefault) { return delay > 9 ? std::min(delay, 300) : byDefault; }

}  // namespace

// ---------------------------------------------------------------------------
// TdxFadingElement

const TClassInfo TdxFadingElement::ClassInfo{"TdxFadingElement", &TObject::ClassInfo, nullptr};

TdxFadingElement::TdxFadingElement(TdxFader* fader, TObject* object, IdxFadingObject* fadingObject,
                                   TdxFadingDirection direction, TdxGPImage* normal, TdxGPImage* highlighted,
                                   int fadeInCount, int fadeInDelay, int fadeOutCount, int fadeOutDelay)
    : FFader(fader),
      FObject(object),
      FFadingObject(fadingObject),
      FDirection(direction),
      FFadeInCount(FrameCountOrDefault(fadeInCount, dxFadeInFrameCount)),
      FFadeInDelay(FrameDelayOrDefault(fadeInDelay, dxFadeInFrameDelay)),
      FFadeOutCount(FrameCountOrDefault(fadeOutCount, dxFadeOutFrameCount)),
      FFadeOutDelay(FrameDelayOrDefault(fadeOutDelay, dxFadeOutFrameDelay)),
      FFadeInImage(highlighted),
      FFadeOutImage(normal) {
  RestartDelay();
}

TdxFadingElement::~TdxFadingElement() {
  if (FFader) FFader->RemoveElement(this);
  if (FFadingObject) FFadingObject->FadingFinished();
  FFadingObject = nullptr;
}

void TdxFadingElement::RestartDelay() {
  FDelayCount = std::max((FDirection == fdIn ? FFadeInDelay : FFadeOutDelay) / 10, 1);
  FDelayIndex = 0;
}

bool TdxFadingElement::DrawCurrentFrame(HDC dc, const RECT& r) {
  if (!FCurrentFrame) return false;
  FCurrentFrame->DrawOnDC(dc, r);
  return true;
}

bool TdxFadingElement::CurrentFrame(TdxGPImage*& image) {
  image = FCurrentFrame.get();
  return image != nullptr;
}

void TdxFadingElement::SetCurrentFrame(TdxGPImage* image) {
  FCurrentFrame.reset(image);
  FFadingObject->RepaintWithFade();
}

void TdxFadingElement::Start() {
  FFadingObject->FadingStarted(this);
  SetCurrentFrame((FDirection == fdIn ? FFadeOutImage : FFadeInImage)->Duplicate());
}

void TdxFadingElement::Step() {
  FDelayIndex = (FDelayIndex + 1) % FDelayCount;
  if (FDelayIndex != 0) return;
  if (FStage >= FrameCount(FDirection)) {
    Finish();
    return;
  }
  ++FStage;
  const int alpha = FDirection == fdIn ? std::min(255, (256 / FFadeInCount) * FStage)
                                       : std::max(0, 255 - (256 / FFadeOutCount) * FStage);
  SetCurrentFrame(FFadeOutImage->BlendWith(FFadeInImage.get(), static_cast<uint8_t>(alpha)));
}

void TdxFadingElement::Finish() {
  SetCurrentFrame((FDirection == fdIn ? FFadeInImage : FFadeOutImage)->Duplicate());
  delete this;
}

void TdxFadingElement::TurnTo(TdxFadingDirection direction) {
  if (direction == FDirection) return;
  // Rounded to the nearest, halves to even (the default rounding mode).
  if (FDirection == fdOut)
    FStage = static_cast<int>(std::nearbyint((1.0 - static_cast<double>(FStage) / (FFadeOutCount + 1)) * FFadeInCount));
  else
    FStage = static_cast<int>(std::nearbyint((1.0 - static_cast<double>(FStage) / (FFadeInCount + 1)) * FFadeOutCount));
  FDirection = direction;
  RestartDelay();
}

// ---------------------------------------------------------------------------
// TdxFader

const TClassInfo TdxFader::ClassInfo{"TdxFader", &TObject::ClassInfo, nullptr};

TdxFader::TdxFader() : FTimer(new TTimer(nullptr)) {
  FTimer->SetEnabled(false);
  FTimer->SetInterval(10);
  FTimer->SetOnTimer(TNotifyEvent::Bind<&TdxFader::TimerTick>(this));
}

TdxFader::~TdxFader() {
  Clear();
  Free(FTimer);
}

void TdxFader::TimerTick(TObject*) { StepAll(); }

bool TdxFader::TimerRunning() const { return FTimer->Enabled(); }

bool TdxFader::CanFade() const {
  bool allowed = false;
  if (FMode == 0) {
    BOOL animation = FALSE;
    allowed = SystemParametersInfoA(SPI_GETMENUANIMATION, 0, &animation, 0) && animation;
  } else {
    allowed = FMode == 1;
  }
  return allowed && dxFadingGdiPlusAvailable() && dxFadingScreenBitsPerPixel() > 16;
}

TdxFadingElement* TdxFader::FindElement(TObject* object) const {
  for (TdxFadingElement* element : FElements)
    if (element->FadedObject() == object) return element;
  return nullptr;
}

void TdxFader::Fade(TObject* object, TdxFadingDirection direction) {
  if (!object || !CanFade()) return;
  auto* fadingObject = dynamic_cast<IdxFadingObject*>(object);
  if (!fadingObject || !fadingObject->AllowsFading()) return;
  if (TdxFadingElement* running = FindElement(object)) {
    running->TurnTo(direction);
    return;
  }
  TBitmap* normal = nullptr;
  TBitmap* highlighted = nullptr;
  int fadeInCount = dxFadeInFrameCount, fadeInDelay = dxFadeInFrameDelay;
  int fadeOutCount = dxFadeOutFrameCount, fadeOutDelay = dxFadeOutFrameDelay;
  std::unique_ptr<TBitmap> normalHolder, highlightedHolder;
  fadingObject->ProvideFadeImages(normal, highlighted, fadeInCount, fadeInDelay, fadeOutCount, fadeOutDelay);
  normalHolder.reset(normal);
  highlightedHolder.reset(highlighted);
  if (!normal || !highlighted || normal->Empty() || highlighted->Empty()) return;
  std::unique_ptr<TdxGPImage> normalImage(ImageFromBitmap(normal));
  std::unique_ptr<TdxGPImage> highlightedImage(ImageFromBitmap(highlighted));
  auto* element = new TdxFadingElement(this, object, fadingObject, direction, normalImage.release(),
                                       highlightedImage.release(), fadeInCount, fadeInDelay, fadeOutCount,
                                       fadeOutDelay);
  AddElement(element);
  element->Start();
}

void TdxFader::StopFading(TObject* object, bool discard) {
  TdxFadingElement* element = FindElement(object);
  if (!element) return;
  if (discard) delete element;
  else element->Finish();
}

void TdxFader::Clear() {
  while (!FElements.empty()) {
    TdxFadingElement* element = FElements.back();
    delete element;
    if (!FElements.empty() && FElements.back() == element) FElements.pop_back();
  }
}

void TdxFader::StepAll() {
  for (size_t i = FElements.size(); i-- > 0;)
    if (i < FElements.size()) FElements[i]->Step();
}

void TdxFader::AddElement(TdxFadingElement* element) {
  FElements.push_back(element);
  CheckElements();
}

void TdxFader::RemoveElement(TdxFadingElement* element) {
  auto it = std::find(FElements.begin(), FElements.end(), element);
  if (it == FElements.end()) return;
  FElements.erase(it);
  CheckElements();
}

void TdxFader::CheckElements() {
  while (static_cast<int>(FElements.size()) > dxMaxFadingElements) FElements.front()->Finish();
  FTimer->SetEnabled(!FElements.empty());
}

TdxFader* GlobalFader() { return TheFader; }

// ---------------------------------------------------------------------------
// TdxFadingObjectHelper

const TClassInfo TdxFadingObjectHelper::ClassInfo{"TdxFadingObjectHelper", &TObject::ClassInfo, nullptr};

TdxFadingObjectHelper::~TdxFadingObjectHelper() {
  if (TheFader) TheFader->StopFading(this, true);
}

void TdxFadingObjectHelper::ProvideFadeImages(TBitmap*&, TBitmap*&, int&, int&, int&, int&) {}

void TdxFadingObjectHelper::DrawFadingStep(HDC dc, const RECT& r) {
  if (FElementData) FElementData->DrawCurrentFrame(dc, r);
}

void dxFadingInit() {
  if (!TheFader) TheFader = new TdxFader;
}

void dxFadingDone() {
  TdxFader* fader = TheFader;
  TheFader = nullptr;
  delete fader;
}
