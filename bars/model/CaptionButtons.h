// The caption buttons of a floating toolbar: small buttons its window draws
// on its caption beside the close button, each with a glyph, a hint, a key
// tip, an optional screen tip and a click handler. The collection lays no
// buttons out itself: the toolbar window gives each its rectangle and
// asks the collection for hit tests and hot and pressed states.
#pragma once

#include "platform/Collection.h"
#include "platform/Event.h"
#include "platform/Win32.h"

class IdxBarAccessibilityHelper;
class TBitmap;
class TcxFreeNotificator;
class TComponent;
class TdxBar;
class TdxBarCaptionButtons;
class TdxBarScreenTip;

// Caption-button states: 0 normal, 1 disabled, 2 hot, 4 pressed.
enum : int { cbsNormal = 0, cbsDisabled = 1, cbsHot = 2, cbsPressed = 4 };

class TdxBarCaptionButton : public TCollectionItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarCaptionButton(TCollection* collection);
  ~TdxBarCaptionButton() override;
  // Enabled, the glyph's picture, Hint, KeyTip, Rect and OnClick; not the
  // screen tip.
  void Assign(TPersistent* source) override;

  bool Enabled() const { return FEnabled; }
  // Sets the state to 0 or 1 even when the value stays.
  void SetEnabled(bool value);
  TBitmap* Glyph() const { return FGlyph; }
  void SetGlyph(TBitmap* value);
  const AnsiString& Hint() const { return FHint; }
  void SetHint(const AnsiString& value) { FHint = value; }
  const AnsiString& KeyTip() const { return FKeyTip; }
  void SetKeyTip(const AnsiString& value) { FKeyTip = value; }
  // Relative to the top-left corner of the toolbar's window; empty while
  // the button is not shown.
  const RECT& Rect() const { return FRect; }
  void SetRect(const RECT& value) { FRect = value; }
  TdxBarScreenTip* ScreenTip() const { return FScreenTip; }
  void SetScreenTip(TdxBarScreenTip* value);
  int State() const { return FState; }
  void SetState(int value);
  const TNotifyEvent& OnClick() const { return FOnClick; }
  // A full change of the collection.
  void SetOnClick(const TNotifyEvent& value);
  void FireClick();

  // What a tip asks: the hint while the button is hot.
  bool TipText(bool& flag, AnsiString& text, AnsiString& secondText) const;
  bool IsTipEnabled() const { return FState != cbsDisabled; }

  IdxBarAccessibilityHelper* AcquireAccessibilityHelper();
  // Null until acquired.
  IdxBarAccessibilityHelper* AccessibilityHelper() const { return FAccessibilityHelper; }
  virtual TClass AccessibilityHelperClass() const;

private:
  void GlyphChanged(TObject* Sender);
  void ScreenTipFreed(TComponent* component);
  bool FEnabled = true;
  TBitmap* FGlyph;
  AnsiString FHint;
  AnsiString FKeyTip;
  RECT FRect{0, 0, 0, 0};
  TdxBarScreenTip* FScreenTip = nullptr;
  TcxFreeNotificator* FNotificator;
  int FState = cbsNormal;
  TNotifyEvent FOnClick;
  IdxBarAccessibilityHelper* FAccessibilityHelper = nullptr;
};

using TdxBarCaptionButtonsChangedEvent = TEvent<void(TdxBarCaptionButtons* Sender, TCollectionItem* Item)>;

class TdxBarCaptionButtons : public TCollection {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarCaptionButtons(TdxBar* bar);
  ~TdxBarCaptionButtons() override;
  TPersistent* GetOwner() override;

  TdxBar* Bar() const { return FBar; }
  TdxBarCaptionButton* Add() { return static_cast<TdxBarCaptionButton*>(TCollection::Add()); }
  TdxBarCaptionButton* GetButton(int index) const { return static_cast<TdxBarCaptionButton*>(Items(index)); }
  // The first enabled button whose rectangle holds the point; -1 when none.
  int ButtonIndexAtPoint(POINT p) const;
  // Enabled buttons: normal outside their rectangle (unless the keyboard
  // has selected them), else pressed or hot.
  void UpdateButtonStates(POINT p, bool pressed);
  // The union of the non-empty rectangles.
  RECT BoundsOfButtons() const;

  IdxBarAccessibilityHelper* AcquireAccessibilityHelper();
  virtual TClass AccessibilityHelperClass() const;

  // Set by the bar to its change notification.
  TdxBarCaptionButtonsChangedEvent OnButtonsChanged;

protected:
  void Update(TCollectionItem* item) override;

private:
  TdxBar* FBar;
  IdxBarAccessibilityHelper* FAccessibilityHelper = nullptr;
};
