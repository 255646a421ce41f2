// Columns and their collection: display order, left edges, limits, the
// auto-size column, header clicks and the column records of the header stream.
#include "vtree/VirtualTreeColumns.h"

#include "platform/ControlsProperties.h"
#include "platform/Filer.h"
#include "platform/Graphics.h"
#include "platform/Stream.h"
#include "vtree/HeaderStream.h"
#include "vtree/VirtualTree.h"

#include <algorithm>
#include <cmath>

const TClassInfo TVirtualTreeColumn::ClassInfo{"TVirtualTreeColumn", &TCollectionItem::ClassInfo,
                                               [](TObject* owner) -> TObject* {
                                                 return new TVirtualTreeColumn(static_cast<TCollection*>(owner));
                                               }};
const TClassInfo TVirtualTreeColumns::ClassInfo{"TVirtualTreeColumns", &TCollection::ClassInfo, nullptr};

namespace {
using CO = TVTColumnOption;
using HO = TVTHeaderOption;
using HS = THeaderState;
}  // namespace

// --- one column -----------------------------------------------------------------------

TVirtualTreeColumn::TVirtualTreeColumn(TCollection* Collection) : TCollectionItem(nullptr) {
  // Joining runs the collection's change hook, which reads every column:
  // this one must be complete by then.
  if (Collection) SetCollection(Collection);
}

TVirtualTreeColumns* TVirtualTreeColumn::Owner() const { return static_cast<TVirtualTreeColumns*>(Collection()); }

TBaseVirtualTree* TVirtualTreeColumn::Tree() const { return Owner() ? Owner()->Tree() : nullptr; }

bool TVirtualTreeColumn::IsFixed() const { return FOptions.Contains(CO::coVisible) && FOptions.Contains(CO::coFixed); }

void TVirtualTreeColumn::Assign(TPersistent* Source) {
  auto* other = ObjectAs<TVirtualTreeColumn>(Source);
  if (!other) return TCollectionItem::Assign(Source);
  const TVTColumnOptions old = FOptions;
  FOptions = TVTColumnOptions();
  SetBiDiMode(other->BiDiMode());
  SetImageIndex(other->ImageIndex());
  SetLayout(other->Layout());
  SetMargin(other->Margin());
  SetMaxWidth(other->MaxWidth());
  SetMinWidth(other->MinWidth());
  SetPosition(other->Position());
  SetSpacing(other->Spacing());
  SetStyle(other->Style());
  SetText(other->Text());
  SetHint(other->Hint());
  SetWidth(other->Width());
  SetAlignment(other->Alignment());
  SetCaptionAlignment(other->CaptionAlignment());
  SetColor(other->Color());
  SetTag(other->Tag());
  FOptions = old;
  SetOptions(other->Options());
}

bool TVirtualTreeColumn::SameAs(TPersistent* Other) const {
  auto* other = ObjectAs<TVirtualTreeColumn>(Other);
  return other && FBiDiMode == other->FBiDiMode && FImageIndex == other->FImageIndex && FLayout == other->FLayout &&
         FMargin == other->FMargin && FMaxWidth == other->FMaxWidth && FMinWidth == other->FMinWidth &&
         FPosition == other->FPosition && FSpacing == other->FSpacing && FStyle == other->FStyle &&
         FText == other->FText && FHint == other->FHint && FWidth == other->FWidth && FAlignment == other->FAlignment &&
         CaptionAlignment() == other->CaptionAlignment() && FColor == other->FColor && FTag == other->FTag &&
         FOptions == other->FOptions;
}

AnsiString TVirtualTreeColumn::DisplayName() const {
  bool narrow = true;
  for (wchar_t c : FText)
    if (c > 255) narrow = false;
  if (!narrow) return "Column " + std::to_string(Index());
  AnsiString result;
  for (wchar_t c : FText) result += static_cast<char>(c);
  return result;
}

// Captions and hints are wide text; older forms hold them as 8-bit strings.
void TVirtualTreeColumn::DefineProperties(TFiler* Filer) {
  TCollectionItem::DefineProperties(Filer);
  auto reader = [](std::wstring& into) {
    // The reader takes 8-bit strings (in the system code page) as well.
    return TReaderProc::Lambda([&into](TReader* Reader) { into = Reader->ReadWideString(); });
  };
  auto writer = [](const std::wstring& from) {
    return TWriterProc::Lambda([&from](TWriter* Writer) { Writer->WriteWideString(from); });
  };
  Filer->DefineProperty("WideText", reader(FText), writer(FText), !FText.empty());
  Filer->DefineProperty("WideHint", reader(FHint), writer(FHint), !FHint.empty());
}

RECT TVirtualTreeColumn::GetColumnRect() const {
  TBaseVirtualTree* tree = Tree();
  RECT r = tree ? tree->HeaderRect() : RECT{};
  r.left += FLeft;
  r.right = r.left + FWidth;
  return r;
}

void TVirtualTreeColumn::RestorePreviousWidth() {
  if (Owner()) Owner()->SlideToWidth(Index(), FPreviousWidth);
}

void TVirtualTreeColumn::TakeParentBiDiMode() {
  TBaseVirtualTree* tree = Tree();
  if (tree && FOptions.Contains(CO::coParentBidiMode) && FBiDiMode != tree->BiDiMode()) {
    FBiDiMode = tree->BiDiMode();
    Changed(false);
  }
}

void TVirtualTreeColumn::TakeParentColor() {
  TBaseVirtualTree* tree = Tree();
  if (tree && FOptions.Contains(CO::coParentColor) && FColor != tree->Color()) {
    FColor = tree->Color();
    Changed(false);
  }
}

void TVirtualTreeColumn::InvalidateHeaderCell() {
  if (Owner()) Owner()->InvalidateColumn(Index());
}

void TVirtualTreeColumn::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  InvalidateHeaderCell();
  if (TBaseVirtualTree* tree = Tree(); tree && !tree->IsLoading()) tree->Invalidate();
}

void TVirtualTreeColumn::SetBiDiMode(TBiDiMode Value) {
  if (FBiDiMode == Value) return;
  FBiDiMode = Value;
  FOptions.Exclude(CO::coParentBidiMode);
  Changed(false);
  if (TBaseVirtualTree* tree = Tree(); tree && !tree->IsLoading()) tree->Invalidate();
}

TAlignment TVirtualTreeColumn::CaptionAlignment() const {
  return FOptions.Contains(CO::coUseCaptionAlignment) ? FCaptionAlignment : FAlignment;
}

// The value takes effect once coUseCaptionAlignment is set again (forms and
// Assign set the options after it).
void TVirtualTreeColumn::SetCaptionAlignment(TAlignment Value) {
  if (FCaptionAlignment == Value && !FOptions.Contains(CO::coUseCaptionAlignment)) return;
  FCaptionAlignment = Value;
  FOptions.Exclude(CO::coUseCaptionAlignment);
  InvalidateHeaderCell();
}

void TVirtualTreeColumn::SetCheckBox(bool Value) {
  if (FCheckBox == Value) return;
  FCheckBox = Value;
  Changed(false);
}

void TVirtualTreeColumn::SetCheckState(TCheckState Value) {
  if (FCheckState == Value) return;
  FCheckState = Value;
  Changed(false);
}

void TVirtualTreeColumn::SetCheckType(TCheckType Value) {
  if (FCheckType == Value) return;
  FCheckType = Value;
  Changed(false);
}

void TVirtualTreeColumn::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  FOptions.Exclude(CO::coParentColor);
  Changed(false);
  if (TBaseVirtualTree* tree = Tree(); tree && !tree->IsLoading()) tree->Invalidate();
}

void TVirtualTreeColumn::SetImageIndex(int32_t Value) {
  if (FImageIndex == Value) return;
  FImageIndex = Value;
  Changed(false);
}

void TVirtualTreeColumn::SetLayout(TVTHeaderColumnLayout Value) {
  if (FLayout == Value) return;
  FLayout = Value;
  Changed(false);
}

void TVirtualTreeColumn::SetMargin(int32_t Value) {
  if (Value < 0) Value = 4;
  if (FMargin == Value) return;
  FMargin = Value;
  Changed(false);
}

void TVirtualTreeColumn::SetMaxWidth(int32_t Value) {
  if (Value < FMinWidth) Value = FMinWidth;
  FMaxWidth = Value;
  SetWidth(FWidth);
}

void TVirtualTreeColumn::SetMinWidth(int32_t Value) {
  if (Value < 0) Value = 0;
  if (Value > FMaxWidth) Value = FMaxWidth;
  FMinWidth = Value;
  SetWidth(FWidth);
}

void TVirtualTreeColumn::SetOptions(const TVTColumnOptions& Value) {
  const TVTColumnOptions old = FOptions;
  if (old == Value) return;
  FOptions = Value;
  const TVTColumnOptions added = Value - old, changed = (Value - old) + (old - Value);
  if (added.Contains(CO::coParentBidiMode)) TakeParentBiDiMode();
  if (added.Contains(CO::coParentColor)) TakeParentColor();
  if (added.Contains(CO::coAutoSpring)) FSpringRest = 0;
  TVirtualTreeColumns* owner = Owner();
  if (changed.Contains(CO::coFixed) && FOptions.Contains(CO::coVisible) && owner) owner->Header()->RecalcHeaderLayout();
  Changed(false);
  TBaseVirtualTree* tree = Tree();
  if (!tree || tree->IsLoading()) return;
  const bool visibility = changed.Contains(CO::coVisible);
  if ((visibility || added.Contains(CO::coParentColor)) && !tree->TreeStates().Contains(TVirtualTreeState::tsUpdating) &&
      tree->HandleAllocated()) {
    tree->Invalidate();
    if (visibility) tree->UpdateHorizontalScrollBar(false);
  }
}

void TVirtualTreeColumn::SetPosition(TColumnPosition Value) {
  TVirtualTreeColumns* owner = Owner();
  if (!owner || owner->TreeLoading()) {
    // Read from a form: the display order is rebuilt once loading ends.
    FPosition = Value;
    return;
  }
  if (Value >= static_cast<TColumnPosition>(owner->Count())) Value = static_cast<TColumnPosition>(owner->Count() - 1);
  if (Value == FPosition) return;
  owner->FitPositions();
  owner->Tree()->CancelNodeEdit();
  owner->MoveColumn(Index(), Value);
  owner->RecomputePositions(true);
  Changed(false);
  TBaseVirtualTree* tree = owner->Tree();
  if (owner->UpdateCount() == 0 && tree->HandleAllocated()) {
    InvalidateHeaderCell();
    tree->Invalidate();
  }
  // A column takes its fixedness from the neighbour it lands beside.
  TColumnIndex neighbour = IsFixed() && FPosition > 0 ? owner->ColumnAtPosition(FPosition - 1)
                                                      : owner->ColumnAtPosition(FPosition + 1);
  TVTColumnOptions options = FOptions;
  if (owner->IsColumnIndex(neighbour) && owner->Items(neighbour)->IsFixed()) options.Include(CO::coFixed);
  else options.Exclude(CO::coFixed);
  SetOptions(options);
}

void TVirtualTreeColumn::SetSpacing(int32_t Value) {
  if (FSpacing == Value) return;
  FSpacing = Value;
  Changed(false);
}

void TVirtualTreeColumn::SetStyle(TVirtualTreeColumnStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Changed(false);
}

void TVirtualTreeColumn::SetText(const std::wstring& Value) {
  if (FText == Value) return;
  FText = Value;
  Changed(false);
}

void TVirtualTreeColumn::StoreWidth(int32_t Value) { FWidth = Value; }

void TVirtualTreeColumn::SetWidth(int32_t Value) {
  TVirtualTreeColumns* owner = Owner();
  TVTHeader* header = owner ? owner->Header() : nullptr;
  TBaseVirtualTree* tree = owner ? owner->Tree() : nullptr;
  if (header && !header->States().Contains(HS::hdsScaling) && IsFixed()) {
    // The fixed columns together stay within the fixed-area limits.
    TVTFixedAreaConstraints& c = *header->FixedAreaConstraints();
    const int32_t cw = tree->ClientWidth();
    int32_t sumMax = 0, sumMin = 0;
    for (int i = 0; i < owner->Count(); ++i) {
      TVirtualTreeColumn* column = owner->Items(i);
      if (!column->IsFixed()) continue;
      sumMax += column->FMaxWidth;
      sumMin += column->FMinWidth;
    }
    const int32_t f = owner->FixedAreaWidth();
    const int32_t lo = c.MaxWidthPercent() != 0 ? std::min(cw * c.MaxWidthPercent() / 100, sumMin) : sumMin;
    const int32_t hi = c.MinWidthPercent() != 0 ? std::max(cw * c.MinWidthPercent() / 100, sumMax) : sumMax;
    Value = std::min(std::max(Value, std::max(lo + FWidth - f, FMinWidth)), std::min(hi + FWidth - f, FMaxWidth));
    if (c.MinWidthPercent() != 0) Value = std::max(cw * c.MinWidthPercent() / 100 + FWidth - f, Value);
    if (c.MaxWidthPercent() != 0) Value = std::min(cw * c.MaxWidthPercent() / 100 + FWidth - f, Value);
  } else {
    Value = std::clamp(Value, FMinWidth, std::max(FMinWidth, FMaxWidth));
  }
  if (Value == FWidth) return;
  FPreviousWidth = FWidth;
  if (!header || !header->States().Contains(HS::hdsResizing)) FBonusPixel = false;
  const bool autoResized = header && header->Options().Contains(HO::hoAutoResize) &&
                           Index() == owner->FHeader->AutoSizeIndex();
  if (!autoResized) {
    FWidth = Value;
    if (owner) owner->RecomputePositions();
  }
  if (!owner || owner->TreeLoading() || owner->UpdateCount() > 0) return;
  if (header->Options().Contains(HO::hoAutoResize)) owner->FitAutoSizeColumn(false);
  tree->AfterColumnResize(Index());
}

// The record of the header stream; enumerations are checked before they are stored.
void TVirtualTreeColumn::LoadFromStream(TStream& Stream, int32_t Version) {
  THeaderStreamReader in(Stream);
  SetText(in.WideText());
  SetHint(in.WideText());
  const int32_t width = in.Integer();
  const int32_t minWidth = in.Integer();
  const int32_t maxWidth = in.Integer();
  SetMinWidth(0);
  SetMaxWidth(std::max(maxWidth, 0));
  SetMinWidth(minWidth);
  SetMaxWidth(maxWidth);
  SetStyle(in.Enumeration<TVirtualTreeColumnStyle>(1));
  SetImageIndex(in.Integer());
  SetLayout(in.Enumeration<TVTHeaderColumnLayout>(3));
  SetMargin(in.Integer());
  SetSpacing(in.Integer());
  SetBiDiMode(in.Enumeration<TBiDiMode>(3));
  uint32_t options = static_cast<uint32_t>(in.Integer());
  if (Version >= 3) options &= 0xFFFF;
  else if (Version == 2) options &= 0xFF;
  else options = ((options & 0x0F) | ((options & 0x70) << 1)) & 0xFF;
  const TVTColumnOptions loaded = TVTColumnOptions::FromBits(options & 0x7FFF);
  if (Version > 0) {
    SetTag(in.Integer());
    SetAlignment(in.Enumeration<TAlignment>(2));
  }
  if (Version > 1) SetColor(static_cast<TColor>(in.Integer()));
  if (Version > 5 && loaded.Contains(CO::coUseCaptionAlignment)) SetCaptionAlignment(in.Enumeration<TAlignment>(2));
  SetOptions(loaded);
  SetWidth(width);
}

void TVirtualTreeColumn::SaveToStream(TStream& Stream) const {
  THeaderStreamWriter out(Stream);
  out.WideText(FText);
  out.WideText(FHint);
  out.Integer(FWidth);
  out.Integer(FMinWidth);
  out.Integer(FMaxWidth);
  out.Integer(static_cast<int32_t>(FStyle));
  out.Integer(FImageIndex);
  out.Integer(static_cast<int32_t>(FLayout));
  out.Integer(FMargin);
  out.Integer(FSpacing);
  out.Integer(static_cast<int32_t>(FBiDiMode));
  out.Integer(static_cast<int32_t>(FOptions.Bits()));
  out.Integer(FTag);
  out.Integer(static_cast<int32_t>(FAlignment));
  out.Integer(static_cast<int32_t>(FColor));
  if (FOptions.Contains(CO::coUseCaptionAlignment)) out.Integer(static_cast<int32_t>(FCaptionAlignment));
}

// --- the collection ------------------------------------------------------------------------

TVirtualTreeColumns::TVirtualTreeColumns(TVTHeader* AOwner, TClass ItemClass) : TCollection(ItemClass), FHeader(AOwner) {}

TPersistent* TVirtualTreeColumns::GetOwner() { return FHeader; }

TBaseVirtualTree* TVirtualTreeColumns::Tree() const { return FHeader->Tree(); }

bool TVirtualTreeColumns::TreeLoading() const {
  return Tree()->IsLoading();
}

void TVirtualTreeColumns::Assign(TPersistent* Source) {
  auto* other = ObjectAs<TVirtualTreeColumns>(Source);
  TCollection::Assign(Source);
  if (!other) return;
  FPositionToIndex = other->FPositionToIndex;
  FitPositions();
  RecomputePositions(true);
}

void TVirtualTreeColumns::Notify(TCollectionItem* Item, TCollectionNotification Action) {
  if (Action == cnAdded) {
    auto* column = static_cast<TVirtualTreeColumn*>(Item);
    if (column->FFresh) {
      column->FFresh = false;
      column->FWidth = FDefaultWidth;
      column->FPosition = static_cast<TColumnPosition>(Count() - 1);
      if (column->FOptions.Contains(CO::coParentColor)) column->FColor = Tree()->Color();
      if (column->FOptions.Contains(CO::coParentBidiMode)) column->FBiDiMode = Tree()->BiDiMode();
    }
    return;
  }
  if (Action != cnExtracting || FClearing) return;
  // A column leaves: every index that named it or a later column follows.
  const TColumnIndex index = Item->Index();
  if (index < 0) return;
  RemoveIndex(index);
  auto adjust = [index](TColumnIndex& value) {
    if (value == index) value = NoColumn;
    else if (value > index) --value;
  };
  adjust(FHoverIndex);
  adjust(FDownIndex);
  adjust(FTrackIndex);
  adjust(FClickIndex);
  adjust(FHeader->FAutoSizeIndex);
  adjust(FHeader->FSortColumn);
  if (FHeader->FMainColumn == index) FHeader->FMainColumn = Count() > 1 ? 0 : NoColumn;
  else if (FHeader->FMainColumn > index) --FHeader->FMainColumn;
}

void TVirtualTreeColumns::Update(TCollectionItem* Item) {
  FitPositions();
  if (TreeLoading()) FNeedPositionsFix = true;
  else RecomputePositions();
  if (Count() > 0 && FHeader->FMainColumn < 0) FHeader->FMainColumn = 0;
  TBaseVirtualTree* tree = Tree();
  if (TreeLoading() || FHeader->States().Contains(HS::hdsLoading)) return;
  if (FHeader->Options().Contains(HO::hoAutoResize)) FitAutoSizeColumn(false);
  if (Item) {
    InvalidateColumn(Item->Index());
  } else if (tree->HandleAllocated()) {
    tree->UpdateHorizontalScrollBar(false);
    FHeader->InvalidateHeader();
    tree->Invalidate();
  }
  if (!tree->TreeStates().Contains(TVirtualTreeState::tsUpdating)) tree->NotifyDesigner();
}

void TVirtualTreeColumns::FitPositions() {
  const size_t count = static_cast<size_t>(Count());
  while (FPositionToIndex.size() < count) FPositionToIndex.push_back(static_cast<TColumnIndex>(FPositionToIndex.size()));
  if (FPositionToIndex.size() > count) {
    FPositionToIndex.resize(count);
    for (bool again = true; again;) {
      again = false;
      for (TColumnIndex& entry : FPositionToIndex)
        if (entry >= static_cast<TColumnIndex>(count)) {
          --entry;
          again = true;
        }
    }
  }
}

void TVirtualTreeColumns::MoveColumn(TColumnIndex Index, TColumnPosition Position) {
  auto it = std::find(FPositionToIndex.begin(), FPositionToIndex.end(), Index);
  if (it == FPositionToIndex.end() || Position >= FPositionToIndex.size()) return;
  FPositionToIndex.erase(it);
  FPositionToIndex.insert(FPositionToIndex.begin() + Position, Index);
}

void TVirtualTreeColumns::RemoveIndex(TColumnIndex Index) {
  auto it = std::find(FPositionToIndex.begin(), FPositionToIndex.end(), Index);
  if (it != FPositionToIndex.end()) FPositionToIndex.erase(it);
  for (TColumnIndex& entry : FPositionToIndex)
    if (entry > Index) --entry;
}

void TVirtualTreeColumns::RecomputePositions(bool Force) {
  if (FNeedPositionsFix || (UpdateCount() > 0 && !Force)) return;
  int32_t left = 0;
  for (size_t place = 0; place < FPositionToIndex.size(); ++place) {
    const TColumnIndex index = FPositionToIndex[place];
    if (!IsColumnIndex(index)) continue;
    TVirtualTreeColumn* column = Items(index);
    column->FPosition = static_cast<TColumnPosition>(place);
    column->FLeft = left;
    if (column->IsVisible()) left += column->FWidth;
  }
}

void TVirtualTreeColumns::FixPositions() {
  // Each column's stored position names its place; ties and gaps keep the
  // collection order.
  std::vector<TColumnIndex> order(static_cast<size_t>(Count()));
  for (int i = 0; i < Count(); ++i) order[static_cast<size_t>(i)] = i;
  std::stable_sort(order.begin(), order.end(),
                   [this](TColumnIndex a, TColumnIndex b) { return Items(a)->FPosition < Items(b)->FPosition; });
  FPositionToIndex = order;
  FNeedPositionsFix = false;
  RecomputePositions(true);
}

// The header lies in the window frame and is painted in one piece from
// its bitmap: a changed cell redraws the header row.
void TVirtualTreeColumns::InvalidateColumn(TColumnIndex Column) {
  (void)Column;
  FHeader->InvalidateHeader();
}

void TVirtualTreeColumns::ReleasePressedColumn() {
  if (FDownIndex == NoColumn) return;
  FDownIndex = NoColumn;
  FHeader->InvalidateHeader();
}

void TVirtualTreeColumns::ClearColumns() {
  FClearing = true;
  FHoverIndex = FDownIndex = FTrackIndex = FClickIndex = NoColumn;
  if (!FHeader->States().Contains(HS::hdsLoading)) {
    FHeader->FAutoSizeIndex = NoColumn;
    FHeader->FMainColumn = NoColumn;
    FHeader->FSortColumn = NoColumn;
  }
  try {
    Clear();
  } catch (...) {
    FClearing = false;
    throw;
  }
  FPositionToIndex.clear();
  FClearing = false;
}

TColumnIndex TVirtualTreeColumns::ColumnAtPoint(POINT P, bool Relative) {
  TBaseVirtualTree* tree = Tree();
  if (P.x < 0 || P.y < 0 || P.y > tree->Height()) return InvalidColumn;
  int32_t right = 0;
  if (Relative && P.x >= FixedAreaWidth()) right -= tree->EffectiveOffsetX();
  if (tree->UseRightToLeftAlignment()) right += tree->RightToLeftOffset();
  for (TColumnIndex index : FPositionToIndex) {
    if (!IsColumnIndex(index)) continue;
    TVirtualTreeColumn* column = Items(index);
    if (!column->IsVisible()) continue;
    right += column->FWidth;
    if (P.x < right) return index;
  }
  return InvalidColumn;
}

TColumnIndex TVirtualTreeColumns::ColumnAtPosition(TColumnPosition Position) const {
  return Position < FPositionToIndex.size() ? FPositionToIndex[Position] : NoColumn;
}

TColumnIndex TVirtualTreeColumns::FirstShownColumn(bool OnlyFocusable) const {
  for (TColumnIndex index : FPositionToIndex) {
    if (!IsColumnIndex(index)) continue;
    TVirtualTreeColumn* column = Items(index);
    if (column->IsVisible() && (!OnlyFocusable || column->FOptions.Contains(CO::coAllowFocus))) return index;
  }
  return InvalidColumn;
}

TColumnIndex TVirtualTreeColumns::LastShownColumn(bool OnlyFocusable) const {
  for (auto it = FPositionToIndex.rbegin(); it != FPositionToIndex.rend(); ++it) {
    if (!IsColumnIndex(*it)) continue;
    TVirtualTreeColumn* column = Items(*it);
    if (column->IsVisible() && (!OnlyFocusable || column->FOptions.Contains(CO::coAllowFocus))) return *it;
  }
  return InvalidColumn;
}

TColumnIndex TVirtualTreeColumns::ColumnAfter(TColumnIndex Column) const {
  if (!IsColumnIndex(Column)) return InvalidColumn;
  const TColumnPosition position = Items(Column)->FPosition + 1;
  return position < FPositionToIndex.size() ? FPositionToIndex[position] : InvalidColumn;
}

TColumnIndex TVirtualTreeColumns::ColumnBefore(TColumnIndex Column) const {
  if (!IsColumnIndex(Column)) return InvalidColumn;
  const TColumnPosition position = Items(Column)->FPosition;
  return position > 0 && position - 1 < FPositionToIndex.size() ? FPositionToIndex[position - 1] : InvalidColumn;
}

TColumnIndex TVirtualTreeColumns::ShownColumnAfter(TColumnIndex Column, bool OnlyFocusable) const {
  for (TColumnIndex run = ColumnAfter(Column); run != InvalidColumn; run = ColumnAfter(run)) {
    TVirtualTreeColumn* column = Items(run);
    if (column->IsVisible() && (!OnlyFocusable || column->FOptions.Contains(CO::coAllowFocus))) return run;
  }
  return InvalidColumn;
}

TColumnIndex TVirtualTreeColumns::ShownColumnBefore(TColumnIndex Column, bool OnlyFocusable) const {
  for (TColumnIndex run = ColumnBefore(Column); run != InvalidColumn; run = ColumnBefore(run)) {
    TVirtualTreeColumn* column = Items(run);
    if (column->IsVisible() && (!OnlyFocusable || column->FOptions.Contains(CO::coAllowFocus))) return run;
  }
  return InvalidColumn;
}

std::vector<TColumnIndex> TVirtualTreeColumns::ShownColumns() const {
  std::vector<TColumnIndex> shown;
  for (TColumnIndex index : FPositionToIndex)
    if (IsColumnIndex(index) && Items(index)->IsVisible()) shown.push_back(index);
  return shown;
}

void TVirtualTreeColumns::ColumnExtent(TColumnIndex Column, int32_t& Left, int32_t& Right) {
  TBaseVirtualTree* tree = Tree();
  if (!IsColumnIndex(Column)) {
    Left = 0;
    Right = tree->ClientWidth();
    return;
  }
  TVirtualTreeColumn* column = Items(Column);
  Left = column->FLeft;
  if (!column->IsFixed()) Left -= tree->EffectiveOffsetX();
  Right = Left + column->FWidth;
  if (tree->UseRightToLeftAlignment()) {
    Left += tree->RightToLeftOffset();
    Right += tree->RightToLeftOffset();
  }
}

int32_t TVirtualTreeColumns::FixedAreaWidth() const {
  int32_t width = 0;
  for (int i = 0; i < Count(); ++i)
    if (Items(i)->IsFixed()) width += Items(i)->FWidth;
  return width;
}

int32_t TVirtualTreeColumns::ShownWidth() const {
  const TColumnIndex last = LastShownColumn();
  return last == InvalidColumn ? 0 : Items(last)->FLeft + Items(last)->FWidth;
}

int32_t TVirtualTreeColumns::HorizontalScrollStep() const {
  int32_t sum = 0, count = 0;
  for (int i = 0; i < Count(); ++i) {
    TVirtualTreeColumn* column = Items(i);
    if (column->IsVisible() && !column->FOptions.Contains(CO::coFixed)) {
      sum += column->FWidth;
      ++count;
    }
  }
  if (count == 0) return static_cast<int32_t>(Tree()->Indent());
  return static_cast<int32_t>(std::lround(double(sum) / count));
}

void TVirtualTreeColumns::FitAutoSizeColumn(bool Force) {
  if (Count() == 0) return;
  TColumnIndex index = FHeader->AutoSizeIndex();
  if (!IsColumnIndex(index)) index = Count() - 1;
  TVirtualTreeColumn* target = Items(index);
  int32_t available = Tree()->ClientWidth();
  for (int i = 0; i < Count(); ++i)
    if (i != index && Items(i)->IsVisible()) available -= Items(i)->FWidth;
  const int32_t width = std::max(target->FMinWidth, std::min(target->FMaxWidth, available));
  if (!Force && width == target->FWidth) return;
  target->FWidth = width;
  RecomputePositions();
  Tree()->AfterColumnResize(index);
}

// Slides the area right of the column in steps before the width changes, so
// the eye follows the resize.
void TVirtualTreeColumns::SlideToWidth(TColumnIndex Column, int32_t NewWidth) {
  if (!IsColumnIndex(Column)) return;
  TVirtualTreeColumn* column = Items(Column);
  NewWidth = std::clamp(NewWidth, column->FMinWidth, std::max(column->FMinWidth, column->FMaxWidth));
  if (NewWidth == column->FWidth) return;
  TBaseVirtualTree* tree = Tree();
  if (!FHeader->Options().Contains(HO::hoDisableAnimatedResize) &&
      !column->FOptions.Contains(CO::coDisableAnimatedResize) && tree->HandleAllocated() &&
      IsWindowVisible(tree->Handle())) {
    const int32_t step = (NewWidth - column->FWidth) / 32;
    int32_t left, right;
    ColumnExtent(Column, left, right);
    RECT client = tree->ClientRect();
    RECT strip{right, 0, client.right, client.bottom};
    TWindowDC dc(tree->Handle());
    if (step > 0) {
      RECT fill{right, 0, right + step, client.bottom};
      TGdiObject brush(CreateSolidBrush(ColorToRGB(tree->Color())));
      FillRect(dc.Get(), &fill, static_cast<HBRUSH>(brush.Get()));
    } else {
      strip.left += step;
    }
    // FIXME: the header strip slides along once the header is painted in the window frame.
    for (int i = 0; i < 32; ++i) {
      ScrollDC(dc.Get(), step, 0, &strip, &strip, nullptr, nullptr);
      strip.left += step;
      Sleep(1);
    }
  }
  column->SetWidth(NewWidth);
}

void TVirtualTreeColumns::ResetDisplayOrder(bool RightToLeft) {
  FPositionToIndex.resize(static_cast<size_t>(Count()));
  for (int i = 0; i < Count(); ++i) FPositionToIndex[static_cast<size_t>(i)] = RightToLeft ? Count() - 1 - i : i;
  RecomputePositions(true);
}

bool TVirtualTreeColumns::SameAs(TVirtualTreeColumns* Other) const {
  if (!Other || Other->Count() != Count() || Other->FPositionToIndex != FPositionToIndex) return false;
  for (int i = 0; i < Count(); ++i)
    if (!Items(i)->SameAs(Other->Items(i))) return false;
  return true;
}

void TVirtualTreeColumns::HandleHeaderClick(POINT P, TMouseButton Button, bool Force, bool DblClick) {
  TBaseVirtualTree* tree = Tree();
  const TColumnIndex previous = FClickIndex;
  TVTHeaderHitInfo info;
  info.X = P.x;
  info.Y = P.y;
  info.Button = Button;
  info.Shift = KeyboardShiftState();
  if (DblClick) info.Shift.Include(ssDouble);
  info.Column = ColumnAtPoint(P, true);
  if (IsColumnIndex(info.Column) && Items(info.Column)->FOptions.Contains(CO::coAllowClick) &&
      (Force || info.Column == FDownIndex)) {
    TVirtualTreeColumn* column = Items(info.Column);
    FClickIndex = info.Column;
    info.HitPosition.Include(TVTHeaderHitPosition::hhiOnColumn);
    if (column->FHasImage && PtInRect(&column->FImageRect, P)) info.HitPosition.Include(TVTHeaderHitPosition::hhiOnIcon);
    if (column->FCheckBox) {
      column->SetCheckState(tree->NextCheckState(column->FCheckType, column->FCheckState));
      info.HitPosition.Include(TVTHeaderHitPosition::hhiOnCheckbox);
    }
  } else {
    FClickIndex = NoColumn;
    info.HitPosition.Include(TVTHeaderHitPosition::hhiNoWhere);
  }
  if (DblClick) tree->FireHeaderDblClick(info);
  else tree->FireHeaderClick(info);
  if (!info.HitPosition.Contains(TVTHeaderHitPosition::hhiNoWhere)) InvalidateColumn(info.Column);
  if (previous != NoColumn && previous != FClickIndex) InvalidateColumn(previous);
}

void TVirtualTreeColumns::TrackHoverColumn(POINT P) {
  const TColumnIndex column = ColumnAtPoint(P, true);
  if (column == FHoverIndex) return;
  if (IsColumnIndex(FHoverIndex)) InvalidateColumn(FHoverIndex);
  if (IsColumnIndex(column)) InvalidateColumn(column);
  FHoverIndex = column;
}

void TVirtualTreeColumns::TrackPressedColumn(POINT P) {
  const TColumnIndex column = ColumnAtPoint(P, true);
  if (!IsColumnIndex(column) || column == FDownIndex) return;
  const TVTColumnOptions& options = Items(column)->FOptions;
  if (!options.Contains(CO::coAllowClick) || !options.Contains(CO::coEnabled)) return;
  if (IsColumnIndex(FDownIndex)) InvalidateColumn(FDownIndex);
  FDownIndex = column;
  InvalidateColumn(column);
}

// The column records, then the display order and the default width. A stream
// that fails part-way leaves no columns rather than half of them.
void TVirtualTreeColumns::LoadFromStream(TStream& Stream, int32_t Version) {
  THeaderStreamReader in(Stream);
  ClearColumns();
  const int32_t count = in.Count(48);  // a column record is at least 48 bytes
  try {
    if (count > 0) {
      BeginUpdate();
      try {
        for (int32_t i = 0; i < count; ++i) Add()->LoadFromStream(Stream, Version);
      } catch (...) {
        EndUpdate();
        throw;
      }
      EndUpdate();
      TIndexArray positions(static_cast<size_t>(count));
      std::vector<bool> seen(static_cast<size_t>(count));
      for (TColumnIndex& entry : positions) {
        entry = in.Integer();
        if (entry < 0 || entry >= count || seen[static_cast<size_t>(entry)])
          in.Corrupt("the display order is not a permutation of the columns");
        seen[static_cast<size_t>(entry)] = true;
      }
      FPositionToIndex = positions;
      FNeedPositionsFix = false;
    }
    if (Version > 4) FDefaultWidth = in.Integer();
  } catch (...) {
    ClearColumns();
    throw;
  }
  RecomputePositions(true);
}

void TVirtualTreeColumns::SaveToStream(TStream& Stream) const {
  THeaderStreamWriter out(Stream);
  out.Integer(Count());
  if (Count() > 0) {
    for (int i = 0; i < Count(); ++i) Items(i)->SaveToStream(Stream);
    for (TColumnIndex entry : FPositionToIndex) out.Integer(entry);
  }
  out.Integer(FDefaultWidth);
}

// --- the form table ------------------------------------------------------------------------

namespace {
const TEnumInfo BiDiModeNames{"TBiDiMode",
                              {"bdLeftToRight", "bdRightToLeft", "bdRightToLeftNoAlign", "bdRightToLeftReadingOnly"}};
const TEnumInfo CheckStateNames{"TCheckState",
                                {"csUncheckedNormal", "csUncheckedPressed", "csCheckedNormal", "csCheckedPressed",
                                 "csMixedNormal", "csMixedPressed"}};
const TEnumInfo CheckTypeNames{"TCheckType", {"ctNone", "ctTriStateCheckBox", "ctCheckBox", "ctRadioButton", "ctButton"}};
const TEnumInfo ColumnLayoutNames{"TVTHeaderColumnLayout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}};
const TEnumInfo ColumnStyleNames{"TVirtualTreeColumnStyle", {"vsText", "vsOwnerDraw"}};
const TEnumInfo ColumnOptionNames{"TVTColumnOption",
                                  {"coAllowClick", "coDraggable", "coEnabled", "coParentBidiMode", "coParentColor",
                                   "coResizable", "coShowDropMark", "coVisible", "coAutoSpring", "coFixed",
                                   "coSmartResize", "coAllowFocus", "coDisableAnimatedResize", "coWrapCaption",
                                   "coUseCaptionAlignment"}};

// Text and Hint travel as the defined properties "WideText" and "WideHint".
const TPublishedRegistration columnRegistration(&TVirtualTreeColumn::ClassInfo, {
    Property<&TVirtualTreeColumn::Alignment, &TVirtualTreeColumn::SetAlignment>("Alignment", AlignmentNames)
        .Default(TAlignment::taLeftJustify),
    Property<&TVirtualTreeColumn::BiDiMode, &TVirtualTreeColumn::SetBiDiMode>("BiDiMode", BiDiModeNames)
        .NoDefault()
        .Stored<&TVirtualTreeColumn::IsBiDiModeStored>(),
    Property<&TVirtualTreeColumn::CaptionAlignment, &TVirtualTreeColumn::SetCaptionAlignment>("CaptionAlignment",
                                                                                             AlignmentNames)
        .Stored<&TVirtualTreeColumn::IsCaptionAlignmentStored>(),
    Property<&TVirtualTreeColumn::CheckBox, &TVirtualTreeColumn::SetCheckBox>("CheckBox").Default(false),
    Property<&TVirtualTreeColumn::CheckState, &TVirtualTreeColumn::SetCheckState>("CheckState", CheckStateNames)
        .Default(TCheckState::csUncheckedNormal),
    Property<&TVirtualTreeColumn::CheckType, &TVirtualTreeColumn::SetCheckType>("CheckType", CheckTypeNames)
        .Default(TCheckType::ctCheckBox),
    Property<&TVirtualTreeColumn::Color, &TVirtualTreeColumn::SetColor>("Color", pkColor)
        .Stored<&TVirtualTreeColumn::IsColorStored>(),
    Property<&TVirtualTreeColumn::ImageIndex, &TVirtualTreeColumn::SetImageIndex>("ImageIndex").Default(-1),
    Property<&TVirtualTreeColumn::Layout, &TVirtualTreeColumn::SetLayout>("Layout", ColumnLayoutNames)
        .Default(TVTHeaderColumnLayout::blGlyphLeft),
    Property<&TVirtualTreeColumn::Margin, &TVirtualTreeColumn::SetMargin>("Margin").Default(4),
    Property<&TVirtualTreeColumn::MaxWidth, &TVirtualTreeColumn::SetMaxWidth>("MaxWidth").Default(10000),
    Property<&TVirtualTreeColumn::MinWidth, &TVirtualTreeColumn::SetMinWidth>("MinWidth").Default(10),
    Property<&TVirtualTreeColumn::Options, &TVirtualTreeColumn::SetOptions>("Options", ColumnOptionNames)
        .Default(TVTColumnOptions::FromBits(DefaultColumnOptions)),
    Property<&TVirtualTreeColumn::Position, &TVirtualTreeColumn::SetPosition>("Position"),
    Property<&TVirtualTreeColumn::Spacing, &TVirtualTreeColumn::SetSpacing>("Spacing").Default(4),
    Property<&TVirtualTreeColumn::Style, &TVirtualTreeColumn::SetStyle>("Style", ColumnStyleNames)
        .Default(TVirtualTreeColumnStyle::vsText),
    Property<&TVirtualTreeColumn::Tag, &TVirtualTreeColumn::SetTag>("Tag").Default(0),
    Property<&TVirtualTreeColumn::Width, &TVirtualTreeColumn::SetWidth>("Width").Default(50),
});
}  // namespace
