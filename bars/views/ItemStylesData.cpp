#include "bars/views/ItemStylesData.h"

#include "platform/Colors.h"

const TClassInfo TdxBarItemStylesData::ClassInfo{"TdxBarItemStylesData", &TcxInterfacedPersistent::ClassInfo,
                                                 nullptr};

void GetFontData(TFont* font, TdxBarFontData& data) {
  data.Height = font->Height();
  data.Pitch = font->Pitch();
  data.Style = font->Style();
  data.Charset = font->Charset();
  data.Name = font->Name().substr(0, 31);
}

bool FontDataDiffers(const TdxBarFontData& data, TFont* font) {
  return data.Height != font->Height() || data.Pitch != font->Pitch() || !(data.Style == font->Style()) ||
         data.Charset != font->Charset() || data.Name != font->Name().substr(0, 31);
}

TdxBarItemStylesData::TdxBarItemStylesData(TPersistent* owner, int slotCount)
    : TcxInterfacedPersistent(owner), FSlots(static_cast<size_t>(slotCount)) {}

TdxBarItemStylesData::~TdxBarItemStylesData() {
  FDestroying = true;
  for (int i = 0; i < SlotCount(); ++i) SetStyle(i, nullptr);
}

int TdxBarItemStylesData::StyleUseCount(TcxCustomStyle* style) const {
  int n = 0;
  for (const TSlot& slot : FSlots)
    if (slot.Style && slot.Style == style) ++n;
  return n;
}

void TdxBarItemStylesData::SetStyle(int index, TcxStyle* style) {
  TSlot& slot = FSlots[static_cast<size_t>(index)];
  if (slot.Style == style) return;
  TcxStyle* old = slot.Style;
  slot.Style = style;
  if (old && StyleUseCount(old) == 0) old->RemoveListener(this);
  if (style && StyleUseCount(style) == 1) style->AddListener(this);
  UpdateSlot(slot);
}

void TdxBarItemStylesData::UpdateSlot(TSlot& slot) {
  if (FDestroying) return;
  const TcxStyleValues old = slot.Assigned;
  const TcxStyleValues now = slot.Style ? slot.Style->AssignedValues() : TcxStyleValues{};
  auto changed = [&](TcxStyleValue value, auto differs) {
    if (!old.Contains(value) && !now.Contains(value)) return false;
    if (old.Contains(value) && now.Contains(value)) return differs();
    return true;
  };
  const bool colorChanged = changed(svColor, [&] { return ColorToRGB(slot.Color) != ColorToRGB(slot.Style->Color()); });
  const bool textColorChanged =
      changed(svTextColor, [&] { return ColorToRGB(slot.TextColor) != ColorToRGB(slot.Style->TextColor()); });
  const bool fontChanged = changed(svFont, [&] { return FontDataDiffers(slot.Font, slot.Style->Font()); });
  slot.Assigned = now;
  if (now.Contains(svColor)) slot.Color = slot.Style->Color();
  if (now.Contains(svFont)) GetFontData(slot.Style->Font(), slot.Font);
  if (now.Contains(svTextColor)) slot.TextColor = slot.Style->TextColor();
  if (fontChanged)
    Signal(bsckFont);
  else if (colorChanged || textColorChanged)
    Signal(bsckColors);
}

void TdxBarItemStylesData::Signal(int kind) {
  if (FLockCount > 0) {
    if (FPendingKind == bsckNone || (FPendingKind == bsckColors && kind == bsckFont)) FPendingKind = kind;
    return;
  }
  FireEvent(OnChanged, kind);
}

void TdxBarItemStylesData::LockChanges(bool begin) {
  if (begin) {
    if (FLockCount == 0) FPendingKind = bsckNone;
    ++FLockCount;
    return;
  }
  if (FLockCount == 0) return;
  --FLockCount;
  if (FLockCount == 0 && FPendingKind != bsckNone) Signal(FPendingKind);
}

void TdxBarItemStylesData::StyleChanged(TcxCustomStyle* style) {
  LockChanges(true);
  try {
    for (TSlot& slot : FSlots)
      if (slot.Style && slot.Style == style) UpdateSlot(slot);
  } catch (...) {
    LockChanges(false);
    throw;
  }
  LockChanges(false);
}

void TdxBarItemStylesData::StyleRemoved(TcxCustomStyle* style) {
  LockChanges(true);
  try {
    for (int i = 0; i < SlotCount(); ++i)
      if (FSlots[static_cast<size_t>(i)].Style && FSlots[static_cast<size_t>(i)].Style == style) SetStyle(i, nullptr);
  } catch (...) {
    LockChanges(false);
    throw;
  }
  LockChanges(false);
}
