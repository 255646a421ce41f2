// The text edit's lookup data: items, the current item, incremental search
// and stepping.
#include "editors/framework/TextEditLookup.h"

#include "editors/framework/TextEdit.h"
#include "platform/CodePage.h"

const TClassInfo TcxCustomTextEditLookupData::ClassInfo{"TcxCustomTextEditLookupData",
                                                        &TcxInterfacedPersistent::ClassInfo, nullptr};

TcxCustomTextEditLookupData::TcxCustomTextEditLookupData(TcxCustomTextEdit* owner)
    : TcxInterfacedPersistent(owner), FOwner(owner) {}

AnsiString TcxCustomTextEditLookupData::ItemText(int index) const {
  return FOwner->ActiveProperties()->LookupItems()->Strings(index);
}

int TcxCustomTextEditLookupData::ItemCount() const { return FOwner->ActiveProperties()->LookupItems()->Count(); }

AnsiString TcxCustomTextEditLookupData::TextOfKey(int key) const {
  if (key < 0 || key >= ItemCount()) return AnsiString();
  return ItemText(key);
}

bool TcxCustomTextEditLookupData::CanFindText(const AnsiString& text) const {
  for (int i = 0; i < ItemCount(); ++i)
    if (AnsiUpperCase(ItemText(i)) == AnsiUpperCase(text)) return true;
  return false;
}

void TcxCustomTextEditLookupData::SetListIndex(int index) {
  if (index < -1 || index >= ItemCount()) return;
  FItemIndex = index;
}

void TcxCustomTextEditLookupData::SelectIndex(int index) {
  if (index < -1 || index >= ItemCount()) return;
  FCurrentKey = index;
  SetListIndex(index);
}

void TcxCustomTextEditLookupData::ResetCurrentKey(bool exact, const AnsiString& text) {
  const int style = FOwner->EditingStyle();
  bool reset = true;
  if (style == tesEditList)
    reset = exact || text.empty();
  else if (style == tesFixedList)
    reset = exact;
  if (reset) SelectIndex(-1);
}

bool TcxCustomTextEditLookupData::LocateText(AnsiString& text, AnsiString& tail, bool startAfterCurrent, bool exact) {
  const int count = ItemCount();
  if (count == 0) {
    ResetCurrentKey(exact, text);
    return false;
  }
  if (exact && FOwner->ActiveProperties()->ExactLookup()) {
    for (int i = 0; i < count; ++i) {
      if (AnsiUpperCase(ItemText(i)) == AnsiUpperCase(text)) {
        SelectIndex(i);
        tail.clear();
        return true;
      }
    }
    SelectIndex(-1);
    return false;
  }
  const int start = startAfterCurrent ? FItemIndex : -1;
  const size_t n = text.size();
  const AnsiString wanted = AnsiUpperCase(text);
  for (int i = start + 1; n > 0 && i < count && i != start; ++i) {
    const AnsiString item = ItemText(i);
    if (item.size() < n) continue;
    // Whole characters only: the item's first n bytes must end on a
    // character boundary.
    if (n < item.size() && ByteType(item, static_cast<int>(n) + 1) == mbTrailByte) continue;
    if (AnsiUpperCase(item.substr(0, n)) != wanted) continue;
    text = item.substr(0, n);
    tail = item.substr(n);
    SelectIndex(i);
    return true;
  }
  ResetCurrentKey(exact, text);
  return false;
}

void TcxCustomTextEditLookupData::SyncListToText() {
  const AnsiString text = FOwner->ReadShownText();
  if (FItemIndex >= 0 && FItemIndex < ItemCount() && AnsiUpperCase(ItemText(FItemIndex)) == AnsiUpperCase(text))
    return;
  AnsiString copy = text, tail;
  LocateText(copy, tail, false, true);
}

void TcxCustomTextEditLookupData::SetCurrentKey(int key) {
  const int old = FCurrentKey;
  SelectIndex(key);
  const bool saved = FOwner->TypedLookup();
  FOwner->SetTypedLookup(true);
  if (FCurrentKey != old) {
    FireEvent(OnSelectItem, this);
  } else if (key >= 0 && key < ItemCount() && FOwner->ReadShownText() != ItemText(key)) {
    FireEvent(OnSelectItem, this);
  }
  FOwner->SetTypedLookup(saved);
}

void TcxCustomTextEditLookupData::Step(TcxLookupStep direction, bool wrapAround) {
  const int count = ItemCount();
  if (count == 0) return;
  const int base = FItemIndex != -1 ? FItemIndex : FCurrentKey;
  const int rows = FOwner->ActiveProperties()->DefaultListRows();
  int index = base;
  switch (direction) {
    case lsFirst: index = 0; break;
    case lsLast: index = count - 1; break;
    case lsNext:
      if (base == count - 1)
        index = wrapAround ? 0 : base;
      else
        index = base + 1;
      break;
    case lsPrevious:
      if (base == 0)
        index = wrapAround ? count - 1 : 0;
      else if (base == -1)
        index = wrapAround ? count - 1 : -1;
      else
        index = base - 1;
      break;
    case lsPageUp:
      if (base == -1)
        index = wrapAround ? count - 1 : -1;
      else if (base == 0 && wrapAround)
        index = count - 1;
      else
        index = std::max(0, base - rows + 1);
      break;
    case lsPageDown:
      if (base == count - 1 && wrapAround)
        index = 0;
      else
        index = std::min(count - 1, base == -1 ? rows - 1 : base + rows - 1);
      break;
  }
  SetCurrentKey(index);
}
