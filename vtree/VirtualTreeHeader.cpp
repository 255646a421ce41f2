// The header: its properties, the height rule, sharing width changes out over
// columns, springs, fitting columns to their content and the header stream.
#include "vtree/VirtualTreeHeader.h"
#include "vtree/DragImage.h"

#include "platform/CodePage.h"
#include "platform/Menus.h"
#include "platform/Properties.h"
#include "platform/ImageList.h"
#include "vtree/HeaderStream.h"
#include "vtree/VirtualTree.h"

#include <algorithm>
#include <cmath>

const TClassInfo TVTFixedAreaConstraints::ClassInfo{"TVTFixedAreaConstraints", &TPersistent::ClassInfo, nullptr};
const TClassInfo TVTHeader::ClassInfo{"TVTHeader", &TPersistent::ClassInfo, [](TObject* owner) -> TObject* {
                                        return new TVTHeader(static_cast<TBaseVirtualTree*>(owner));
                                      }};

namespace {
using CO = TVTColumnOption;
using HO = TVTHeaderOption;
using HS = THeaderState;

int32_t ClampPercent(int32_t Value) { return std::clamp(Value, 0, 100); }
}  // namespace

// --- fixed-area constraints ----------------------------------------------------------------

void TVTFixedAreaConstraints::Assign(TPersistent* Source) {
  auto* other = ObjectAs<TVTFixedAreaConstraints>(Source);
  if (!other) return TPersistent::Assign(Source);
  FMaxHeightPercent = other->FMaxHeightPercent;
  FMaxWidthPercent = other->FMaxWidthPercent;
  FMinHeightPercent = other->FMinHeightPercent;
  FMinWidthPercent = other->FMinWidthPercent;
  Change();
}

// A maximum below its minimum lowers the minimum; a minimum above a set
// maximum raises the maximum.
void TVTFixedAreaConstraints::SetLimit(int32_t& Max, int32_t& Min, int32_t Value, bool SettingMax) {
  Value = ClampPercent(Value);
  int32_t& target = SettingMax ? Max : Min;
  if (target == Value) return;
  target = Value;
  if (SettingMax && Max != 0 && Max < Min) Min = Max;
  if (!SettingMax && Max != 0 && Max < Min) Max = Min;
  Change();
}

void TVTFixedAreaConstraints::SetMaxHeightPercent(int32_t Value) { SetLimit(FMaxHeightPercent, FMinHeightPercent, Value, true); }
void TVTFixedAreaConstraints::SetMaxWidthPercent(int32_t Value) { SetLimit(FMaxWidthPercent, FMinWidthPercent, Value, true); }
void TVTFixedAreaConstraints::SetMinHeightPercent(int32_t Value) { SetLimit(FMaxHeightPercent, FMinHeightPercent, Value, false); }
void TVTFixedAreaConstraints::SetMinWidthPercent(int32_t Value) { SetLimit(FMaxWidthPercent, FMinWidthPercent, Value, false); }

void TVTFixedAreaConstraints::Change() {
  if (FHeader) FHeader->ConstraintsChanged();
}

// --- the header --------------------------------------------------------------------------------

TVTHeader::TVTHeader(TBaseVirtualTree* AOwner) : FOwner(AOwner) {
  // A virtual call cannot reach a descendant while it is being built: the
  // columns are made here as ColumnsClass answers for this class.
  FColumns = new TVirtualTreeColumns(this, AOwner->ColumnItemClass());
  FFont.OnChange = TNotifyEvent::Bind<&TVTHeader::FontChanged>(this);
  FImageChangeLink = new TChangeLink();
  FImageChangeLink->OnChange = TNotifyEvent::Bind<&TVTHeader::ImageListChange>(this);
}

TVTHeader::~TVTHeader() {
  delete FDragImage;
  FFixedAreaConstraints.FHeader = nullptr;
  delete FImageChangeLink;
  FColumns->ClearColumns();
  delete FColumns;
}

TClass TVTHeader::ColumnsClass() const { return &TVirtualTreeColumns::ClassInfo; }

TPersistent* TVTHeader::GetOwner() { return FOwner; }

void TVTHeader::Assign(TPersistent* Source) {
  auto* other = ObjectAs<TVTHeader>(Source);
  if (!other) return TPersistent::Assign(Source);
  SetAutoSizeIndex(other->AutoSizeIndex());
  SetBackground(other->Background());
  SetColumns(other->Columns());
  SetFont(other->Font());
  SetFixedAreaConstraints(other->FixedAreaConstraints());
  SetHeight(other->Height());
  SetImages(other->Images());
  SetMainColumn(other->MainColumn());
  SetOptions(other->Options());
  SetParentFont(other->ParentFont());
  SetPopupMenu(other->PopupMenu());
  SetSortColumn(other->SortColumn());
  SetSortDirection(other->SortDirection());
  SetStyle(other->Style());
  RecalcHeaderLayout();
}

bool TVTHeader::PointInHeader(POINT P) const {
  return FOptions.Contains(HO::hoVisible) && P.y < 0 && P.y >= -FHeight;
}

void TVTHeader::InvalidateHeader() {
  if (FOwner->HandleAllocated() && FOptions.Contains(HO::hoVisible))
    RedrawWindow(FOwner->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOERASE | RDW_NOCHILDREN);
}

void TVTHeader::FontChanged(TObject*) { InvalidateHeader(); }

void TVTHeader::ImageListChange(TObject*) {
  if (!FOwner->IsDestroying()) InvalidateHeader();
}

void TVTHeader::ConstraintsChanged() {
  FStates.Include(HS::hdsNeedScaling);
  if (FOwner->HandleAllocated()) RecalcHeaderLayout();
}

void TVTHeader::SetAutoSizeIndex(TColumnIndex Value) {
  if (FAutoSizeIndex == Value) return;
  FAutoSizeIndex = Value;
  if (FOptions.Contains(HO::hoAutoResize)) FColumns->FitAutoSizeColumn(false);
}

void TVTHeader::SetBackground(TColor Value) {
  if (FBackground == Value) return;
  FBackground = Value;
  InvalidateHeader();
}

void TVTHeader::SetDefaultHeight(int32_t Value) {
  Value = std::clamp(Value, FMinHeight, std::max(FMinHeight, FMaxHeight));
  if (FHeight == FDefaultHeight) SetHeight(Value);
  FDefaultHeight = Value;
}

void TVTHeader::SetMinHeight(int32_t Value) {
  if (Value < 0) Value = 0;
  if (Value > FMaxHeight) Value = FMaxHeight;
  FMinHeight = Value;
}

void TVTHeader::SetMaxHeight(int32_t Value) {
  if (Value < FMinHeight) Value = FMinHeight;
  FMaxHeight = Value;
}

int32_t TVTHeader::ClampHeight(int32_t Value) {
  const TVTFixedAreaConstraints& c = FFixedAreaConstraints;
  const int32_t total = FOwner->ClientHeight() + FHeight;
  const int32_t upper = total * c.MaxHeightPercent() / 100;
  const int32_t lower = total * c.MinHeightPercent() / 100;
  const int32_t lo = c.MaxHeightPercent() != 0 ? std::min(upper, FMinHeight) : FMinHeight;
  const int32_t hi = c.MinHeightPercent() != 0 ? std::max(lower, FMaxHeight) : FMaxHeight;
  int32_t h = std::min(std::max(Value, lo), hi);
  if (c.MinHeightPercent() != 0) h = std::max(lower, h);
  if (c.MaxHeightPercent() != 0) h = std::min(upper, h);
  return h;
}

// Without a window the height is only stored; the limits apply once the tree
// knows its size.
void TVTHeader::SetHeight(int32_t Value) {
  if (!FOwner->HandleAllocated()) {
    FHeight = Value;
    FStates.Include(HS::hdsNeedScaling);
    return;
  }
  const int32_t h = ClampHeight(Value);
  if (h == FHeight) return;
  FHeight = h;
  if (!FOwner->IsLoading() && !FStates.Contains(HS::hdsScaling)) UpdateTreeFrame();
  FOwner->Invalidate();
  ::UpdateWindow(FOwner->Handle());
}

void TVTHeader::ClampMainColumn() {
  if (FMainColumn >= FColumns->Count()) FMainColumn = FColumns->Count() - 1;
  if (FMainColumn < 0 && FColumns->Count() > 0) FMainColumn = 0;
}

void TVTHeader::UpdateTreeFrame() {
  if (!FOwner->HandleAllocated()) return;
  SetWindowPos(FOwner->Handle(), nullptr, 0, 0, 0, 0,
               SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED | SWP_NOOWNERZORDER |
                   SWP_NOSENDCHANGING);
}

void TVTHeader::SetImages(TCustomImageList* Value) {
  if (FImages == Value) return;
  if (FImages) {
    FImages->UnRegisterChanges(FImageChangeLink);
    FImages->RemoveFreeNotification(FOwner);
  }
  FImages = Value;
  if (FImages) {
    FImages->RegisterChanges(FImageChangeLink);
    FImages->FreeNotification(FOwner);
  }
  if (!FOwner->IsLoading()) InvalidateHeader();
}

TColumnIndex TVTHeader::MainColumn() const { return FColumns->Count() > 0 ? FMainColumn : NoColumn; }

void TVTHeader::SetMainColumn(TColumnIndex Value) {
  if (FOwner->IsLoading() || FStates.Contains(HS::hdsLoading)) {
    FMainColumn = Value;
    return;
  }
  if (FColumns->Count() == 0) Value = NoColumn;
  else Value = std::clamp(Value, 0, FColumns->Count() - 1);
  if (Value == FMainColumn) return;
  FMainColumn = Value;
  FOwner->MainColumnChanged();
  if (!FOwner->TreeOptions()->SelectionOptions().Contains(TVTSelectionOption::toExtendedFocus))
    FOwner->SetFocusedColumn(FMainColumn);
  FOwner->Invalidate();
}

void TVTHeader::SetOptions(const TVTHeaderOptions& Value) {
  const TVTHeaderOptions old = FOptions;
  if (old == Value) return;
  FOptions = Value;
  const TVTHeaderOptions changed = (Value - old) + (old - Value);
  if (changed.Contains(HO::hoAutoResize) && FColumns->Count() > 0) {
    FColumns->FitAutoSizeColumn(false);
    if (FOwner->HandleAllocated()) {
      FOwner->UpdateHorizontalScrollBar(false);
      if (Value.Contains(HO::hoAutoResize)) FOwner->Invalidate();
    }
  }
  if (FOwner->IsLoading() || !FOwner->HandleAllocated()) return;
  if (changed.Contains(HO::hoVisible)) UpdateTreeFrame();
  InvalidateHeader();
  FOwner->Invalidate();
}

void TVTHeader::SetParentFont(bool Value) {
  if (FParentFont == Value) return;
  FParentFont = Value;
  if (FParentFont) FFont.Assign(FOwner->Font());
}

void TVTHeader::SetSortColumn(TColumnIndex Value) {
  if (FOwner->IsLoading() || FStates.Contains(HS::hdsLoading)) {
    FSortColumn = Value;
    return;
  }
  ApplySortColumn(Value);
}

void TVTHeader::ApplySortColumn(TColumnIndex Value) {
  Value = std::clamp(Value, NoColumn, FColumns->Count() - 1);
  if (Value == FSortColumn) return;
  if (FColumns->IsColumnIndex(FSortColumn)) FColumns->InvalidateColumn(FSortColumn);
  FSortColumn = Value;
  if (FColumns->IsColumnIndex(FSortColumn)) FColumns->InvalidateColumn(FSortColumn);
  if (FOwner->TreeOptions()->AutoOptions().Contains(TVTAutoOption::toAutoSort) && FOwner->UpdateCount() == 0)
    FOwner->SortTree(FSortColumn, FSortDirection, true);
}

void TVTHeader::SetSortDirection(TSortDirection Value) {
  if (FSortDirection == Value) return;
  FSortDirection = Value;
  InvalidateHeader();
  if (FOwner->TreeOptions()->AutoOptions().Contains(TVTAutoOption::toAutoSort) && FOwner->UpdateCount() == 0)
    FOwner->SortTree(FSortColumn, FSortDirection, true);
}

void TVTHeader::SetStyle(TVTHeaderStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  if (!FOwner->IsLoading()) InvalidateHeader();
}

bool TVTHeader::IsUsableColumn(TColumnIndex Column) const {
  return FColumns->IsColumnIndex(Column) && FColumns->Items(Column)->Options().Contains(CO::coAllowFocus);
}

void TVTHeader::ScaleFont(int M, int D) {
  if (D != 0) FFont.SetSize(MulDiv(FFont.Size(), M, D));
}

// --- layout ----------------------------------------------------------------------------------

void TVTHeader::RecalcHeaderLayout() {
  const TComponentState state = FOwner->ComponentState();
  if (state.Contains(csLoading) || state.Contains(csReading) || state.Contains(csWriting) ||
      state.Contains(csDestroying) || FStates.Contains(HS::hdsLoading) || !FOwner->HandleAllocated())
    return;
  FStates.Include(HS::hdsScaling);
  struct TScalingEnd {
    THeaderStates& States;
    ~TScalingEnd() {
      States.Exclude(HS::hdsScaling);
      States.Exclude(HS::hdsNeedScaling);
    }
  } scalingEnd{FStates};
  const int32_t height = ClampHeight(FHeight);
  if (height != FHeight) FHeight = height;
  UpdateTreeFrame();
  const TVTFixedAreaConstraints& c = FFixedAreaConstraints;
  if (c.MinWidthPercent() == 0 && c.MaxWidthPercent() == 0) return;
  for (int i = 0; i < FColumns->Count(); ++i) {
    TVirtualTreeColumn* column = FColumns->Items(i);
    if (column->IsFixed() && column->Width() < column->MinWidth()) column->StoreWidth(column->MinWidth());
  }
  FColumns->RecomputePositions(true);
  const int32_t fixed = FColumns->FixedAreaWidth();
  const int32_t cw = FOwner->ClientWidth();
  const TVTColumnOptions mask{CO::coVisible, CO::coFixed};
  if (c.MaxWidthPercent() != 0 && cw * c.MaxWidthPercent() / 100 < fixed)
    ShareWidthChange(cw * c.MaxWidthPercent() / 100 - fixed, 0, FColumns->Count() - 1, mask);
  else if (c.MinWidthPercent() != 0 && fixed < cw * c.MinWidthPercent() / 100)
    ShareWidthChange(cw * c.MinWidthPercent() / 100 - fixed, 0, FColumns->Count() - 1, mask);
  FColumns->RecomputePositions(true);
}

int32_t TVTHeader::ShareWidthChange(int32_t ChangeBy, TColumnIndex RangeStart, TColumnIndex RangeEnd,
                                    const TVTColumnOptions& Mask) {
  if (ChangeBy == 0) return 0;
  RangeStart = std::max(RangeStart, 0);
  RangeEnd = std::min(RangeEnd, FColumns->Count() - 1);
  if (RangeStart > RangeEnd) return 0;
  const bool growing = ChangeBy > 0;
  const int step = growing ? 1 : -1;
  const TColumnIndex walkStart = growing ? RangeStart : RangeEnd;
  const int32_t asked = std::abs(ChangeBy);
  int32_t remaining = asked;
  const size_t count = static_cast<size_t>(FColumns->Count());
  std::vector<int32_t> widths(count), limits(count);
  std::vector<bool> matches(count);
  for (size_t i = 0; i < count; ++i) {
    TVirtualTreeColumn* column = FColumns->Items(static_cast<int>(i));
    widths[i] = column->Width();
    limits[i] = growing ? column->MaxWidth() : column->MinWidth();
    matches[i] = static_cast<TColumnIndex>(i) >= RangeStart && static_cast<TColumnIndex>(i) <= RangeEnd &&
                 Mask.SubsetOf(column->Options());
  }
  auto distance = [&](size_t i) { return growing ? limits[i] - widths[i] : widths[i] - limits[i]; };
  auto eligible = [&](size_t i) { return matches[i] && distance(i) > 0; };
  auto bonus = [&](size_t i) -> bool& { return FColumns->Items(static_cast<int>(i))->FBonusPixel; };

  while (remaining >= 1) {
    int32_t room = 0, k = 0;
    auto measure = [&] {
      room = 0;
      k = 0;
      for (size_t i = 0; i < count; ++i)
        if (eligible(i)) {
          room += distance(i);
          ++k;
        }
    };
    measure();
    // While scaling down, the widest matching column gives up a tenth of its
    // limit at a time until the whole change fits.
    while (FStates.Contains(HS::hdsScaling) && !growing && room < asked) {
      size_t widest = count;
      for (size_t i = 0; i < count; ++i)
        if (matches[i] && (widest == count || widths[i] > widths[widest])) widest = i;
      if (widest == count || limits[widest] <= 10) break;
      limits[widest] -= limits[widest] / 10;
      measure();
    }
    if (k == 0) break;
    remaining = std::min(remaining, room);
    const int32_t rest = remaining % k;
    if (remaining / k > 0) {
      const int32_t share = remaining / k;
      for (size_t i = 0; i < count; ++i) {
        if (!eligible(i)) continue;
        const int32_t moved = std::min(share, distance(i));
        widths[i] += growing ? moved : -moved;
        remaining -= moved;
      }
    }
    // The odd pixels go one at a time to the columns that did not have one
    // the last time, walking from the start of the range.
    int32_t toHandOut = std::min(rest, remaining);
    TColumnIndex run = walkStart;
    bool gaveThisPass = false;
    int emptyPasses = 0;
    while (toHandOut > 0 && emptyPasses < 2) {
      if (run < RangeStart || run > RangeEnd) {
        for (size_t i = 0; i < count; ++i)
          if (matches[i]) bonus(i) = !bonus(i);
        emptyPasses = gaveThisPass ? 0 : emptyPasses + 1;
        gaveThisPass = false;
        run = walkStart;
        continue;
      }
      const size_t i = static_cast<size_t>(run);
      if (eligible(i) && bonus(i) != growing) {
        bonus(i) = growing;
        widths[i] += step;
        --remaining;
        --toHandOut;
        gaveThisPass = true;
      }
      run += step;
    }
    if (toHandOut > 0) break;
  }

  FStates.Include(HS::hdsResizing);
  int32_t applied = 0;
  try {
    for (size_t i = 0; i < count; ++i) {
      if (!matches[i]) continue;
      TVirtualTreeColumn* column = FColumns->Items(static_cast<int>(i));
      applied += column->Width() - widths[i];
      column->SetWidth(widths[i]);
    }
  } catch (...) {
    FStates.Exclude(HS::hdsResizing);
    throw;
  }
  FStates.Exclude(HS::hdsResizing);
  return applied;
}

void TVTHeader::AdjustSprings() {
  const int32_t width = FOwner->ClientWidth();
  if (FOptions.Contains(HO::hoAutoSpring) && FLastWidth >= 0) {
    const int32_t delta = width - FLastWidth;
    std::vector<TVirtualTreeColumn*> springs;
    for (int i = 0; i < FColumns->Count(); ++i) {
      TVirtualTreeColumn* column = FColumns->Items(i);
      if (column->IsVisible() && column->Options().Contains(CO::coAutoSpring)) springs.push_back(column);
    }
    if (delta != 0 && !springs.empty()) {
      const float share = float(std::abs(delta)) / float(springs.size());
      float undistributed = float(std::abs(delta));
      for (TVirtualTreeColumn* column : springs) {
        const float r = column->FSpringRest + share;
        if (r >= 1) {
          const int32_t whole = static_cast<int32_t>(std::trunc(r));
          column->SetWidth(column->Width() + (delta > 0 ? whole : -whole));
        }
        column->FSpringRest = r - std::trunc(r);
        undistributed -= share;
        if (undistributed < 0) break;
      }
    }
  }
  FLastWidth = width;
}

void TVTHeader::RestorePreviousWidths() {
  const TIndexArray order = FColumns->PositionToIndex();
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    if (!FColumns->IsColumnIndex(*it)) continue;
    TVirtualTreeColumn* column = FColumns->Items(*it);
    if (column->IsVisible() && column->Options().Contains(CO::coResizable)) column->RestorePreviousWidth();
  }
}

void TVTHeader::FitColumnsToContent(bool Animated, TSmartAutoFitType SmartAutoFitType, TColumnPosition RangeStart,
                                    int32_t RangeEnd) {
  const int32_t last = RangeEnd < 0 ? FColumns->Count() - 1 : std::min(RangeEnd, FColumns->Count() - 1);
  if (static_cast<int32_t>(RangeStart) > last) return;
  FOwner->BeginUpdate();
  try {
    FOwner->FireBeforeAutoFitColumns(SmartAutoFitType);
    for (int32_t position = static_cast<int32_t>(RangeStart); position <= last; ++position) {
      const TColumnIndex index = FColumns->ColumnAtPosition(static_cast<TColumnPosition>(position));
      if (!FColumns->IsColumnIndex(index)) continue;
      TVirtualTreeColumn* column = FColumns->Items(index);
      if (!column->IsVisible() || !column->Options().Contains(CO::coResizable)) continue;
      if (!FireBeforeAutoFitColumn(index, SmartAutoFitType) || FOwner->OperationCanceled()) continue;
      const bool smart = SmartAutoFitType == TSmartAutoFitType::smaAllColumns ||
                         (SmartAutoFitType == TSmartAutoFitType::smaUseColumnOption &&
                          column->Options().Contains(CO::coSmartResize));
      const int32_t width = FOwner->GetMaxColumnWidth(index, smart);
      if (Animated) FColumns->SlideToWidth(index, width);
      else column->SetWidth(width);
      FireAfterAutoFitColumn(index);
    }
    FOwner->FireAfterAutoFitColumns();
  } catch (...) {
    FOwner->EndUpdate();
    throw;
  }
  FOwner->EndUpdate();
}

// --- the header stream -------------------------------------------------------------------------

void TVTHeader::SaveToStream(TStream& Stream) {
  THeaderStreamWriter out(Stream);
  out.Integer(-1);
  out.Integer(6);
  FColumns->SaveToStream(Stream);
  out.Integer(FAutoSizeIndex);
  out.Integer(static_cast<int32_t>(FBackground));
  out.Integer(FHeight);
  out.Integer(static_cast<int32_t>(FOptions.Bits()));
  out.Integer(static_cast<int32_t>(FStyle));
  out.Integer(static_cast<int32_t>(FFont.Color()));
  out.Integer(FFont.Height());
  out.Bytes(AnsiToUtf8(FFont.Name()));
  out.Integer(static_cast<int32_t>(FFont.Pitch()));
  out.Integer(static_cast<int32_t>(FFont.Style().Bits()));
  out.Integer(FMainColumn);
  out.Integer(FSortColumn);
  out.Integer(static_cast<int32_t>(FSortDirection));
  out.Integer(FParentFont ? 1 : 0);
  out.Integer(FMaxHeight);
  out.Integer(FMinHeight);
  out.Integer(FDefaultHeight);
  out.Integer(FFixedAreaConstraints.FMaxHeightPercent);
  out.Integer(FFixedAreaConstraints.FMaxWidthPercent);
  out.Integer(FFixedAreaConstraints.FMinHeightPercent);
  out.Integer(FFixedAreaConstraints.FMinWidthPercent);
}

// Reading runs with the options cleared (nothing reacts to them meanwhile);
// the loaded ones then go through the setter. The tree hears of the new
// widths even when reading fails.
void TVTHeader::LoadFromStream(TStream& Stream) {
  THeaderStreamReader in(Stream);
  const TVTHeaderOptions saved = FOptions;
  FStates.Include(HS::hdsLoading);
  FOptions = TVTHeaderOptions();
  auto endLoading = [&] {
    FOptions = saved;
    FStates.Exclude(HS::hdsLoading);
  };
  try {
    const int32_t first = in.Integer();
    int32_t version = -1;
    if (first < 0) {
      version = in.Integer();
      if (version < 0 || version > 6)
        throw EVirtualTreeError(ErrorHeaderVersion, "Unable to load the header, the version is unknown.");
    } else {
      // No marker: the first word is already the column count.
      Stream.Seek(-4, TSeekOrigin::soCurrent);
    }
    FColumns->LoadFromStream(Stream, version);
    SetAutoSizeIndex(in.Integer());
    SetBackground(static_cast<TColor>(in.Integer()));
    const int32_t height = in.Integer();
    const TVTHeaderOptions options = TVTHeaderOptions::FromBits(static_cast<uint32_t>(in.Integer()) & 0xFFFF);
    const int32_t style = in.Integer() & 0xFF;
    if (style > 3) in.Corrupt("a header style of " + std::to_string(style));
    FStyle = static_cast<TVTHeaderStyle>(style);
    FFont.SetColor(static_cast<TColor>(in.Integer()));
    FFont.SetHeight(in.Integer());
    FFont.SetName(Utf8ToAnsi(in.Bytes()));
    const int32_t pitch = in.Integer() & 0x7F;
    if (pitch > 2) in.Corrupt("a font pitch of " + std::to_string(pitch));
    FFont.SetPitch(static_cast<TFontPitch>(pitch));
    FFont.SetStyle(TFontStyles::FromBits(static_cast<uint32_t>(in.Integer()) & 0x0F));
    if (version > 0) {
      FMainColumn = in.Integer();
      FSortColumn = in.Integer();
      FSortDirection = in.Enumeration<TSortDirection>(1);
    }
    if (version > 4) {
      SetParentFont(in.Integer() != 0);
      FMaxHeight = in.Integer();
      FMinHeight = in.Integer();
      FDefaultHeight = in.Integer();
      FFixedAreaConstraints.FMaxHeightPercent = ClampPercent(in.Integer());
      FFixedAreaConstraints.FMaxWidthPercent = ClampPercent(in.Integer());
      FFixedAreaConstraints.FMinHeightPercent = ClampPercent(in.Integer());
      FFixedAreaConstraints.FMinWidthPercent = ClampPercent(in.Integer());
    }
    SetHeight(height);
    // Indexes read from the stream name columns of this stream only.
    if (!FColumns->IsColumnIndex(FMainColumn)) FMainColumn = FColumns->Count() > 0 ? 0 : NoColumn;
    if (!FColumns->IsColumnIndex(FSortColumn)) FSortColumn = NoColumn;
    endLoading();
    SetOptions(options);
  } catch (...) {
    if (FStates.Contains(HS::hdsLoading)) endLoading();
    FOwner->AfterColumnResize(NoColumn);
    throw;
  }
  FOwner->AfterColumnResize(NoColumn);
}

// --- events ----------------------------------------------------------------------------------------

void TVTHeader::FireAfterAutoFitColumn(TColumnIndex Column) { FireEvent(FOwner->OnAfterAutoFitColumn, this, Column); }

void TVTHeader::FireAfterColumnWidthTracking(TColumnIndex Column) {
  FireEvent(FOwner->OnAfterColumnWidthTracking, this, Column);
}

void TVTHeader::FireAfterHeaderHeightTracking() { FireEvent(FOwner->OnAfterHeaderHeightTracking, this); }

bool TVTHeader::FireBeforeAutoFitColumn(TColumnIndex Column, TSmartAutoFitType SmartAutoFitType) {
  bool allowed = true;
  FireEvent(FOwner->OnBeforeAutoFitColumn, this, Column, SmartAutoFitType, allowed);
  return allowed;
}

void TVTHeader::FireBeforeColumnWidthTracking(TColumnIndex Column, TShiftState Shift) {
  FireEvent(FOwner->OnBeforeColumnWidthTracking, this, Column, Shift);
}

void TVTHeader::FireBeforeHeaderHeightTracking(TShiftState Shift) {
  FireEvent(FOwner->OnBeforeHeaderHeightTracking, this, Shift);
}

bool TVTHeader::FireColumnWidthDblClickResize(TColumnIndex Column, TShiftState Shift, POINT P) {
  bool allowed = true;
  FireEvent(FOwner->OnColumnWidthDblClickResize, this, Column, Shift, P, allowed);
  return allowed;
}

bool TVTHeader::FireColumnWidthTracking(TColumnIndex Column, TShiftState Shift, POINT& TrackPoint, POINT P) {
  bool allowed = true;
  FireEvent(FOwner->OnColumnWidthTracking, this, Column, Shift, TrackPoint, P, allowed);
  return allowed;
}

TPopupMenu* TVTHeader::FireGetHeaderPopupMenu(TColumnIndex Column, POINT P) {
  TPopupMenu* menu = nullptr;
  bool askParent = true;
  FireEvent(FOwner->OnGetPopupMenu, FOwner, static_cast<PVirtualNode>(nullptr), Column, P, askParent, menu);
  return menu;
}

bool TVTHeader::FireHeaderHeightTracking(POINT& P, TShiftState Shift) {
  bool allowed = true;
  FireEvent(FOwner->OnHeaderHeightTracking, this, P, Shift, allowed);
  return allowed;
}

bool TVTHeader::FireHeaderHeightDblClickResize(POINT& P, TShiftState Shift) {
  bool allowed = true;
  FireEvent(FOwner->OnHeaderHeightDblClickResize, this, P, Shift, allowed);
  return allowed;
}

// --- the form tables -------------------------------------------------------------------------------

namespace {
const TEnumInfo HeaderOptionNames{"TVTHeaderOption",
                                  {"hoAutoResize", "hoColumnResize", "hoDblClickResize", "hoDrag", "hoHotTrack",
                                   "hoOwnerDraw", "hoRestrictDrag", "hoShowHint", "hoShowImages", "hoShowSortGlyphs",
                                   "hoVisible", "hoAutoSpring", "hoFullRepaintOnResize", "hoDisableAnimatedResize",
                                   "hoHeightResize", "hoHeightDblClickResize"}};
const TEnumInfo HeaderStyleNames{"TVTHeaderStyle", {"hsThickButtons", "hsFlatButtons", "hsPlates", "hsXPStyle"}};
const TEnumInfo SortDirectionNames{"TSortDirection", {"sdAscending", "sdDescending"}};

const TPublishedRegistration constraintsRegistration(&TVTFixedAreaConstraints::ClassInfo, {
    Property<&TVTFixedAreaConstraints::MaxHeightPercent, &TVTFixedAreaConstraints::SetMaxHeightPercent>("MaxHeightPercent")
        .Default(0),
    Property<&TVTFixedAreaConstraints::MaxWidthPercent, &TVTFixedAreaConstraints::SetMaxWidthPercent>("MaxWidthPercent")
        .Default(0),
    Property<&TVTFixedAreaConstraints::MinHeightPercent, &TVTFixedAreaConstraints::SetMinHeightPercent>("MinHeightPercent")
        .Default(0),
    Property<&TVTFixedAreaConstraints::MinWidthPercent, &TVTFixedAreaConstraints::SetMinWidthPercent>("MinWidthPercent")
        .Default(0),
});

// The columns are not stored with the header: the tree stores them as "Columns".
const TPublishedRegistration headerRegistration(&TVTHeader::ClassInfo, {
    Property<&TVTHeader::AutoSizeIndex, &TVTHeader::SetAutoSizeIndex>("AutoSizeIndex"),
    Property<&TVTHeader::Background, &TVTHeader::SetBackground>("Background", pkColor).Default(clBtnFace),
    Property<&TVTHeader::Columns>("Columns").Stored(false),
    Property<&TVTHeader::DefaultHeight, &TVTHeader::SetDefaultHeight>("DefaultHeight").Default(17),
    Property<&TVTHeader::Font>("Font").Stored<&TVTHeader::IsFontStored>(),
    Property<&TVTHeader::FixedAreaConstraints>("FixedAreaConstraints"),
    Property<&TVTHeader::Height, &TVTHeader::SetHeight>("Height").Default(17),
    Property<&TVTHeader::Images, &TVTHeader::SetImages>("Images"),
    Property<&TVTHeader::MainColumn, &TVTHeader::SetMainColumn>("MainColumn").Default(0),
    Property<&TVTHeader::MaxHeight, &TVTHeader::SetMaxHeight>("MaxHeight").Default(10000),
    Property<&TVTHeader::MinHeight, &TVTHeader::SetMinHeight>("MinHeight").Default(10),
    Property<&TVTHeader::Options, &TVTHeader::SetOptions>("Options", HeaderOptionNames)
        .Default(TVTHeaderOptions::FromBits(DefaultHeaderOptions)),
    Property<&TVTHeader::ParentFont, &TVTHeader::SetParentFont>("ParentFont").Default(false),
    Property<&TVTHeader::PopupMenu, &TVTHeader::SetPopupMenu>("PopupMenu"),
    Property<&TVTHeader::SortColumn, &TVTHeader::SetSortColumn>("SortColumn").Default(NoColumn),
    Property<&TVTHeader::SortDirection, &TVTHeader::SetSortDirection>("SortDirection", SortDirectionNames)
        .Default(TSortDirection::sdAscending),
    Property<&TVTHeader::Style, &TVTHeader::SetStyle>("Style", HeaderStyleNames).Default(TVTHeaderStyle::hsThickButtons),
});
}  // namespace
