#include "bars/model/CaptionButtons.h"

#include "bars/model/Accessibility.h"
#include "bars/model/BarRoutines.h"
#include "bars/model/Bars.h"
#include "bars/views/BarHint.h"
#include "foundation/Classes.h"
#include "platform/Bitmap.h"

namespace {
TObject* MakeCaptionButton(TObject* collection) { return new TdxBarCaptionButton(static_cast<TCollection*>(collection)); }

IdxBarAccessibilityHelper* AcquireHelper(IdxBarAccessibilityHelper*& field, TClass cls, TObject* owner) {
  if (!field) {
    TcxAccessibilityHelper* helper = TcxAccessibilityHelper::CreateForOwner(cls, owner);
    helper->AddRef();
    field = QueryAccessibilityHelper(helper);
    if (!field) helper->Release();
  }
  return field;
}
}  // namespace

const TClassInfo TdxBarCaptionButton::ClassInfo{"TdxBarCaptionButton", &TCollectionItem::ClassInfo, &MakeCaptionButton};
const TClassInfo TdxBarCaptionButtons::ClassInfo{"TdxBarCaptionButtons", &TCollection::ClassInfo, nullptr};

TdxBarCaptionButton::TdxBarCaptionButton(TCollection* collection)
    : TCollectionItem(nullptr),
      FGlyph(NewBitmapWithChangeHandler(TNotifyEvent::Bind<&TdxBarCaptionButton::GlyphChanged>(this))),
      FNotificator(new TcxFreeNotificator) {
  FNotificator->OnFreeNotification =
      TcxFreeNotificationEvent::Bind<&TdxBarCaptionButton::ScreenTipFreed>(this);
  if (collection) SetCollection(collection);
}

TdxBarCaptionButton::~TdxBarCaptionButton() {
  ReleaseAccessibilityHelper(FAccessibilityHelper);
  FreeAndNil(FNotificator);
  FreeAndNil(FGlyph);
}

void TdxBarCaptionButton::Assign(TPersistent* source) {
  auto* from = dynamic_cast<TdxBarCaptionButton*>(source);
  if (!from) {
    TCollectionItem::Assign(source);
    return;
  }
  SetEnabled(from->FEnabled);
  FGlyph->Assign(from->FGlyph);
  FHint = from->FHint;
  FKeyTip = from->FKeyTip;
  FRect = from->FRect;
  SetOnClick(from->FOnClick);
}

void TdxBarCaptionButton::SetEnabled(bool value) {
  FEnabled = value;
  SetState(value ? cbsNormal : cbsDisabled);
}

void TdxBarCaptionButton::SetGlyph(TBitmap* value) { FGlyph->Assign(value); }

void TdxBarCaptionButton::GlyphChanged(TObject*) { Changed(false); }

void TdxBarCaptionButton::SetScreenTip(TdxBarScreenTip* value) {
  if (value == FScreenTip) return;
  if (FScreenTip) FNotificator->UnwatchFreeOf(FScreenTip);
  FScreenTip = value;
  if (FScreenTip) FNotificator->WatchFreeOf(FScreenTip);
}

void TdxBarCaptionButton::ScreenTipFreed(TComponent* component) {
  if (component == static_cast<TComponent*>(FScreenTip)) FScreenTip = nullptr;
}

void TdxBarCaptionButton::SetState(int value) {
  if (value == FState) return;
  FState = value;
  // FIXME: the toolbar window shows or hides the hint of a hot button once
  // floating toolbars have windows.
  Changed(false);
}

void TdxBarCaptionButton::SetOnClick(const TNotifyEvent& value) {
  FOnClick = value;
  Changed(true);
}

void TdxBarCaptionButton::FireClick() { FireEvent(FOnClick, this); }

bool TdxBarCaptionButton::TipText(bool& flag, AnsiString& text, AnsiString& secondText) const {
  flag = false;
  text.clear();
  secondText.clear();
  if (FState != cbsHot) return false;
  text = FHint;
  return true;
}

TClass TdxBarCaptionButton::AccessibilityHelperClass() const { return &TdxBarAccessibilityHelper::ClassInfo; }

IdxBarAccessibilityHelper* TdxBarCaptionButton::AcquireAccessibilityHelper() {
  return AcquireHelper(FAccessibilityHelper, AccessibilityHelperClass(), this);
}

// --- The collection ------------------------------------------------------------

TdxBarCaptionButtons::TdxBarCaptionButtons(TdxBar* bar)
    : TCollection(&TdxBarCaptionButton::ClassInfo), FBar(bar) {}

TdxBarCaptionButtons::~TdxBarCaptionButtons() {
  ReleaseAccessibilityHelper(FAccessibilityHelper);
  Clear();
}

TPersistent* TdxBarCaptionButtons::GetOwner() { return FBar; }

void TdxBarCaptionButtons::Update(TCollectionItem* item) {
  TCollection::Update(item);
  FireEvent(OnButtonsChanged, this, item);
}

int TdxBarCaptionButtons::ButtonIndexAtPoint(POINT p) const {
  for (int i = 0; i < Count(); ++i) {
    TdxBarCaptionButton* button = GetButton(i);
    if (button->Enabled() && PtInRect(&button->Rect(), p)) return i;
  }
  return -1;
}

void TdxBarCaptionButtons::UpdateButtonStates(POINT p, bool pressed) {
  for (int i = 0; i < Count(); ++i) {
    TdxBarCaptionButton* button = GetButton(i);
    if (!button->Enabled()) continue;
    IdxBarAccessibilityHelper* helper = button->AccessibilityHelper();
    if (!PtInRect(&button->Rect(), p) && !(helper && helper->IsCurrentTarget()))
      button->SetState(cbsNormal);
    else
      button->SetState(pressed ? cbsPressed : cbsHot);
  }
}

RECT TdxBarCaptionButtons::BoundsOfButtons() const {
  RECT r{0, 0, 0, 0};
  for (int i = 0; i < Count(); ++i) {
    const RECT& b = GetButton(i)->Rect();
    if (!IsRectEmpty(&b)) UnionRect(&r, &r, &b);
  }
  return r;
}

TClass TdxBarCaptionButtons::AccessibilityHelperClass() const { return &TdxBarAccessibilityHelper::ClassInfo; }

IdxBarAccessibilityHelper* TdxBarCaptionButtons::AcquireAccessibilityHelper() {
  return AcquireHelper(FAccessibilityHelper, AccessibilityHelperClass(), this);
}
