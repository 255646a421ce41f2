#include "bars/model/BarCanvas.h"

#include <algorithm>

#include "bars/model/BarClassFactory.h"
#include "bars/model/BarGlobals.h"
#include "platform/Screen.h"

const TClassInfo TdxBarDragInfo::ClassInfo{"TdxBarDragInfo", &TObject::ClassInfo, &dxBarMakeObject<TdxBarDragInfo>};
const TClassInfo TdxBarCanvas::ClassInfo{"TdxBarCanvas", &TcxCanvas::ClassInfo, nullptr};
const TClassInfo TCustomdxBarControlViewInfo::ClassInfo{"TCustomdxBarControlViewInfo", &TObject::ClassInfo, nullptr};

// -- the shared canvas ------------------------------------------------------

TdxBarCanvas::TdxBarCanvas() : TcxCanvas(new TCanvas), FOwnCanvas(Canvas()) {}

TdxBarCanvas::~TdxBarCanvas() {
  while (Depth() > 0) PopDeviceContext();
  Free(FOwnCanvas);
}

void TdxBarCanvas::PushDeviceContext(HDC dc) {
  TEntry entry;
  // A device context always goes to the own canvas; a canvas pushed before
  // is current again at the matching pop.
  if (Canvas() != FOwnCanvas) {
    entry.CanvasBefore = Canvas();
    SetCurrentCanvas(FOwnCanvas);
  }
  if (FOwnCanvas->HandleAllocated()) {
    PushState();
    entry.SavedHandle = FOwnCanvas->Handle();
  }
  entry.DC = dc;
  entry.SavedIndex = SaveDC(dc);
  CopyFontBrushPenFromDC(dc);
  FOwnCanvas->SetHandle(dc);
  FStack.push_back(entry);
}

void TdxBarCanvas::PushCanvas(TCanvas* canvas) {
  TEntry entry;
  entry.SavedCanvas = Canvas();
  FStack.push_back(entry);
  SetCurrentCanvas(canvas);
  PushClipRegion();
  PushState();
}

void TdxBarCanvas::PopDeviceContext() {
  if (FStack.empty()) return;
  const TEntry entry = FStack.back();
  FStack.pop_back();
  if (entry.SavedCanvas) {
    PopState();
    PopClipRegion();
    SetCurrentCanvas(entry.SavedCanvas);
    return;
  }
  // The own canvas lets go of dc (its objects leave it) before the device
  // context's own state comes back.
  FOwnCanvas->SetHandle(entry.SavedHandle);
  RestoreDC(entry.DC, entry.SavedIndex);
  if (FOwnCanvas->HandleAllocated()) PopState();
  if (entry.CanvasBefore) SetCurrentCanvas(entry.CanvasBefore);
}

// -- view info ----------------------------------------------------------------

void TCustomdxBarControlViewInfo::ClearViewInfos() {
  FItemViewInfos.clear();
  FSeparators.clear();
}

void TCustomdxBarControlViewInfo::AddItemViewInfo(TdxBarItemControl* viewInfo) { FItemViewInfos.push_back(viewInfo); }

void TCustomdxBarControlViewInfo::RemoveItemViewInfo(TdxBarItemControl* viewInfo) {
  const auto it = std::find(FItemViewInfos.begin(), FItemViewInfos.end(), viewInfo);
  if (it != FItemViewInfos.end()) FItemViewInfos.erase(it);
}

bool TCustomdxBarControlViewInfo::HasViewInfoOfItemControl(TdxBarItemControl* control) const {
  return std::find(FItemViewInfos.begin(), FItemViewInfos.end(), control) != FItemViewInfos.end();
}

void TCustomdxBarControlViewInfo::AddSeparatorInfo(const RECT& bounds, bool kind, TdxBarItemControl* control) {
  FSeparators.push_back(TdxBarSeparatorInfo{control, bounds, kind});
}

bool TCustomdxBarControlViewInfo::GetSeparatorInfo(int index, RECT& bounds) const {
  const TdxBarSeparatorInfo& info = FSeparators.at(static_cast<size_t>(index));
  bounds = info.Bounds;
  return info.Kind;
}

bool TCustomdxBarControlViewInfo::FindSeparatorOfItemControl(TdxBarItemControl* control, int& index) const {
  for (size_t i = 0; i < FSeparators.size(); ++i)
    if (FSeparators[i].ItemControl == control) {
      index = static_cast<int>(i);
      return true;
    }
  return false;
}

// -- drag ---------------------------------------------------------------------

TCursor TdxBarDragInfo::CursorOfState(TdxBarDragState state) const {
  switch (state) {
    case TdxBarDragState::dsNoDrop: return crdxBarDragNoDrop;
    case TdxBarDragState::dsCopy: return crdxBarDragCopy;
    case TdxBarDragState::dsOwnPlace:
    case TdxBarDragState::dsOverCategory:
    case TdxBarDragState::dsMove: return crdxBarDrag;
    default: return FStartCursor;
  }
}

bool TdxBarDragInfo::MarkShownInState(TdxBarDragState state, bool dropChangesNothing) const {
  switch (state) {
    case TdxBarDragState::dsOverCategory: return FMarkVisible;
    case TdxBarDragState::dsCopy: return true;
    case TdxBarDragState::dsMove: return !dropChangesNothing;
    default: return false;
  }
}

bool TdxBarDragInfo::DropChangesNothing(const TdxBarDropCase& d) {
  if (!d.HasDropTarget) return true;
  if (d.ItemDragged) return false;
  if (d.UnderMouseIsDragged && !d.BeginsGroup && !d.FirstPart) return true;
  if (d.UnderMouseIsPrevious && !d.DraggedBeginGroup && !d.BeginsGroup && !d.FirstPart) return true;
  if (d.DraggedIsLast) return false;
  return d.UnderMouseIsNext && d.FirstPart && (d.BeginsGroup || !d.UnderMouseBeginGroup);
}

void TdxBarDragInfo::SetState(TdxBarDragState value) {
  FState = value;
  Refresh();
}

void TdxBarDragInfo::UnlockRefresh() {
  if (FLockCount > 0 && --FLockCount == 0 && FRefreshPending) {
    FRefreshPending = false;
    Refresh();
  }
}

void TdxBarDragInfo::Refresh() {
  if (FLockCount > 0) {
    FRefreshPending = true;
    return;
  }
  if (FMarkVisible) {
    const bool shown = MarkShownInState(FState, FDropChangesNothing);
    if (!shown || FState == TdxBarDragState::dsCopy) {
      // The copy state hides the mark and shows it again.
      const HWND window = FMarkWindow;
      const RECT r = FMarkRect;
      const bool first = FMarkFirstPart, vertical = FMarkVertical;
      HideMark();
      if (shown) ShowMark(window, r, first, vertical);
    }
  }
  if (FState != TdxBarDragState::dsNoDrag || FStartCursor != 0) SetCursor(Screen->Cursors(CursorOfState(FState)));
}

std::vector<TdxBarMarkLine> TdxBarDragInfo::InsertionMarkLines(const RECT& r, bool firstPart, bool vertical) {
  if (vertical) {
    const int t = firstPart ? r.top : r.bottom - 6;
    const int L = r.left, R = r.right;
    return {{{L, t}, {L, t + 6}},
            {{L + 1, t + 1}, {L + 1, t + 5}},
            {{L + 2, t + 2}, {R - 2, t + 2}},
            {{L + 2, t + 3}, {R - 2, t + 3}},
            {{R - 2, t + 1}, {R - 2, t + 5}},
            {{R - 1, t}, {R - 1, t + 6}}};
  }
  const int l = firstPart ? r.left : r.right - 6;
  const int T = r.top, B = r.bottom;
  return {{{l, T}, {l + 6, T}},
          {{l + 1, T + 1}, {l + 5, T + 1}},
          {{l + 2, T + 2}, {l + 2, B - 2}},
          {{l + 3, T + 2}, {l + 3, B - 2}},
          {{l + 1, B - 2}, {l + 5, B - 2}},
          {{l, B - 1}, {l + 6, B - 1}}};
}

void TdxBarDragInfo::DrawInsertionMark(HDC dc, const RECT& r, bool firstPart, bool vertical) {
  const std::vector<TdxBarMarkLine> lines = InsertionMarkLines(r, firstPart, vertical);
  POINT points[12];
  DWORD counts[6];
  for (size_t i = 0; i < lines.size(); ++i) {
    points[2 * i] = lines[i].From;
    points[2 * i + 1] = lines[i].To;
    counts[i] = 2;
  }
  const int oldRop = SetROP2(dc, R2_NOT);
  PolyPolyline(dc, points, counts, 6);
  SetROP2(dc, oldRop == 0 ? R2_COPYPEN : oldRop);
}

void TdxBarDragInfo::ShowMark(HWND window, const RECT& r, bool firstPart, bool vertical) {
  HideMark();
  if (!window || !IsWindow(window)) return;
  HDC dc = GetDC(window);
  if (!dc) return;
  DrawInsertionMark(dc, r, firstPart, vertical);
  ReleaseDC(window, dc);
  FMarkWindow = window;
  FMarkRect = r;
  FMarkFirstPart = firstPart;
  FMarkVertical = vertical;
  FMarkVisible = true;
}

void TdxBarDragInfo::HideMark() {
  if (FMarkVisible && FMarkWindow && IsWindow(FMarkWindow)) {
    if (HDC dc = GetDC(FMarkWindow)) {
      DrawInsertionMark(dc, FMarkRect, FMarkFirstPart, FMarkVertical);
      ReleaseDC(FMarkWindow, dc);
    }
  }
  FMarkVisible = false;
  FMarkWindow = nullptr;
}

void TdxBarDragInfo::EndDrag() {
  if (FCaptureWindow && GetCapture() == FCaptureWindow) ReleaseCapture();
  FCaptureWindow = nullptr;
  FState = TdxBarDragState::dsNoDrag;
  HideMark();
  SetCursor(Screen->Cursors(FStartCursor));
}
