// The style slots of a bar item: the styles it refers to (slot 0 `Style`,
// for edits also slot 1 `StyleEdit`), listened to once each however many
// slots hold them, with a copy of what each style assigns, so a change is
// reported as a font change (the item's controls are made again), a colour
// change (they repaint) or nothing.
#pragma once

#include "foundation/Classes.h"
#include "foundation/Styles.h"
#include "platform/Graphics.h"

#include <vector>

// A font's height, pitch, style, character set and name (at most 31
// characters), as the style slots keep it.
struct TdxBarFontData {
  int Height = 0;
  TFontPitch Pitch = TFontPitch::fpDefault;
  TFontStyles Style;
  TFontCharset Charset = 0;
  AnsiString Name;
};
void GetFontData(TFont* font, TdxBarFontData& data);
// Compares height, pitch, style, character set and name (case-sensitively).
bool FontDataDiffers(const TdxBarFontData& data, TFont* font);

// What a style change asks of the item.
enum TdxBarStyleChangeKind { bsckColors = 0, bsckFont = 1, bsckNone = 2 };
using TdxBarStylesChangedEvent = TEvent<void(int Kind)>;

class TdxBarItemStylesData : public TcxInterfacedPersistent, public IcxStyleChangeListener {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TdxBarItemStylesData(TPersistent* owner, int slotCount);
  ~TdxBarItemStylesData() override;

  int SlotCount() const { return static_cast<int>(FSlots.size()); }
  TcxStyle* GetStyle(int index) const { return FSlots[static_cast<size_t>(index)].Style; }
  // Takes the style into the slot; a style held by several slots is
  // listened to once.
  void SetStyle(int index, TcxStyle* style);
  int StyleUseCount(TcxCustomStyle* style) const;

  void StyleChanged(TcxCustomStyle* style) override;
  void StyleRemoved(TcxCustomStyle* style) override;

  // Collects the changes signalled meanwhile and signals the strongest once
  // the outermost lock ends.
  void LockChanges(bool begin);
  bool IsChangeLocked() const { return FLockCount > 0; }

  // The item's handler of a change kind (1 font, 0 colours).
  TdxBarStylesChangedEvent OnChanged;

private:
  struct TSlot {
    TcxStyleValues Assigned;
    TColor Color = clDefault;
    TdxBarFontData Font;
    TColor TextColor = clDefault;
    TcxStyle* Style = nullptr;
  };
  void UpdateSlot(TSlot& slot);
  void Signal(int kind);

  std::vector<TSlot> FSlots;
  int FLockCount = 0;
  int FPendingKind = bsckNone;
  bool FDestroying = false;
};
