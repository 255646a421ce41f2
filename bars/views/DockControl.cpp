#include "bars/views/DockControl.h"

#include <algorithm>

#include "bars/model/BarClassFactory.h"
#include "bars/model/BarManager.h"
#include "bars/model/Bars.h"
#include "bars/views/BarControl.h"
#include "bars/views/BarPainter.h"

const TClassInfo TdxDockControl::ClassInfo{"TdxDockControl", &TCustomControl::ClassInfo, &dxBarMakeComponent<TdxDockControl>};
const TClassInfo TdxBarDockControl::ClassInfo{"TdxBarDockControl", &TdxDockControl::ClassInfo, &dxBarMakeComponent<TdxBarDockControl>};

// Width of the band around a dock where a dragged toolbar docks, and of the
// row band inside it that makes a new row.
namespace {
constexpr int kBandSize = 5;

int ZoneSize(TdxDockControl* dock) {
  TdxBarManager* manager = dock->BarManager();
  return manager && manager->Bars() ? manager->Bars()->DockingZoneSize() : 23;
}

bool Moving(TdxDockControl* dock) {
  TdxBarManager* manager = dock->BarManager();
  return manager && manager->Bars() && manager->Bars()->Moving();
}
}  // namespace

TdxBarDockingStyle dxBarDockingStyleOfAlign(TAlign align) {
  switch (align) {
    case alBottom: return dsBottom;
    case alLeft: return dsLeft;
    case alRight: return dsRight;
    default: return dsTop;
  }
}

// --- Columns and rows --------------------------------------------------------------

void TdxDockCol::UpdatePos() { Pos = POINT{FControl->Left(), FControl->Top()}; }

TdxDockCol* TdxDockRow::Column(int index) const {
  return index >= 0 && index < ColumnCount() ? FCols[static_cast<size_t>(index)].get() : nullptr;
}

TdxDockCol* TdxDockRow::AddColumn(TdxBarControl* control) { return InsertColumn(ColumnCount(), control); }

TdxDockCol* TdxDockRow::InsertColumn(int index, TdxBarControl* control) {
  index = std::clamp(index, 0, ColumnCount());
  auto* col = new TdxDockCol(this, control);
  FCols.insert(FCols.begin() + index, std::unique_ptr<TdxDockCol>(col));
  UpdateOneOnRow();
  return col;
}

void TdxDockRow::DeleteColumn(int index) {
  if (index < 0 || index >= ColumnCount()) return;
  FCols.erase(FCols.begin() + index);
  UpdateOneOnRow();
}

int TdxDockRow::IndexOfControl(const TdxBarControl* control) const {
  for (int i = 0; i < ColumnCount(); ++i)
    if (FCols[static_cast<size_t>(i)]->BarControl() == control) return i;
  return -1;
}

bool TdxDockRow::HasDockedControl() const {
  for (const auto& col : FCols)
    if (col->BarControl()->DockingStyle() != 0) return true;
  return false;
}

void TdxDockRow::UpdateOneOnRow() {
  for (const auto& col : FCols) col->BarControl()->SetOneOnRow(FCols.size() == 1);
}

// --- The dock -----------------------------------------------------------------------

TdxDockControl::TdxDockControl(TComponent* AOwner) : TCustomControl(AOwner) {
  SetParentColor(true);
  SetControlStyle(ControlStyle() + csDoubleClicks);
}

TdxDockControl::~TdxDockControl() {
  // Toolbar windows still placed forget this dock first.
  for (auto& row : FRows)
    for (int i = 0; i < row->ColumnCount(); ++i) row->Column(i)->BarControl()->ForgetDock(this);
  FRows.clear();
  SetBarManager(nullptr);
}

TdxDockControl* TdxDockControl::CreateForStyle(TComponent* owner, TdxBarDockingStyle style, TdxBarManager* manager) {
  auto* dock = new TdxDockControl(owner);
  static const TAlign aligns[] = {alTop, alLeft, alTop, alRight, alBottom};
  dock->SetAlign(aligns[static_cast<int>(style)]);
  dock->SetStoredDockingStyle(style);
  dock->SetBarManager(manager);
  return dock;
}

void TdxDockControl::SetBarManager(TdxBarManager* value) {
  if (value == FBarManager) return;
  if (FBarManager) FBarManager->RemoveDockControl(this);
  FBarManager = value;
  if (FBarManager) FBarManager->AddDockControl(this);
}

TdxBarDockingStyle TdxDockControl::DockingStyle() const { return dxBarDockingStyleOfAlign(Align()); }

bool TdxDockControl::IsHorizontalDock() const {
  const TdxBarDockingStyle style = DockingStyle();
  return style == dsTop || style == dsBottom;
}

bool TdxDockControl::IsNearSideDock() const {
  const TdxBarDockingStyle style = DockingStyle();
  return style == dsLeft || style == dsTop;
}

TdxDockRow* TdxDockControl::Row(int index) const {
  return index >= 0 && index < RowCount() ? FRows[static_cast<size_t>(index)].get() : nullptr;
}

TdxDockRow* TdxDockControl::InsertRow(int index) {
  index = std::clamp(index, 0, RowCount());
  auto* row = new TdxDockRow(this);
  FRows.insert(FRows.begin() + index, std::unique_ptr<TdxDockRow>(row));
  return row;
}

TdxBarPainter* TdxDockControl::GetPainter() const { return dxBarManagerPainter(FBarManager); }

int TdxDockControl::RowExtent(int index) {
  TdxDockRow* row = Row(index);
  if (!row || !row->HasDockedControl()) return 0;
  int extent = 0;
  for (int i = 0; i < row->ColumnCount(); ++i) {
    TdxBarControl* control = row->Column(i)->BarControl();
    extent = std::max(extent, IsHorizontalDock() ? control->Height() : control->Width());
  }
  if (index < RowCount() - 1) extent += GetPainter()->GetDockEdgeSize();
  return extent;
}

int TdxDockControl::FarSide() { return IsVerticalDock() ? ClientWidth() : ClientHeight(); }

RECT TdxDockControl::RowRect(int index) {
  if (!Row(index)) return RECT{};
  int start = 0;
  if (Moving(this) && !IsNearSideDock()) {
    start = FarSide();
    for (int i = index; i < RowCount(); ++i) start -= RowExtent(i);
  } else {
    for (int i = 0; i < index; ++i) start += RowExtent(i);
  }
  const int extent = RowExtent(index);
  return IsVerticalDock() ? RECT{start, 0, start + extent, ClientHeight()} : RECT{0, start, ClientWidth(), start + extent};
}

int TdxDockControl::CalcRowsSize() {
  int size = 0;
  for (int i = 0; i < RowCount(); ++i) size += RowExtent(i);
  return size;
}

int TdxDockControl::RowsSizeWithBorder() {
  const int size = CalcRowsSize();
  return size > 0 && GetSunkenBorder() ? size + 2 : size;
}

bool TdxDockControl::GetSunkenBorder() const { return false; }

bool TdxDockControl::FindControl(const TdxBarControl* control, int& row, int& column) const {
  for (int r = 0; r < RowCount(); ++r) {
    const int c = Row(r)->IndexOfControl(control);
    if (c >= 0) {
      row = r;
      column = c;
      return true;
    }
  }
  return false;
}

// --- Placing ---------------------------------------------------------------------------

void TdxDockControl::InsertBarAt(TdxBarControl* control, POINT point, bool layout) {
  if (!FBarManager || !control) return;
  TdxBar* bar = control->Bar();
  bool oneOnRow = false;
  int index = 0;
  const bool recreating = control->IsLocked();
  if (recreating) {
    index = bar ? bar->Row() : 0;
    oneOnRow = control->OneOnRow();
  } else {
    index = RowAtPoint(point, oneOnRow);
  }
  if (bar && bar->WholeRow()) oneOnRow = true;
  const bool restoring = recreating && FBarManager->LockUpdateCount() > 0;
  if (restoring && index >= RowCount()) {
    // A stored row past the last appends empty rows, but never more than
    // the manager has bars: a damaged row value cannot make millions.
    const int add = FBarManager->Bars() ? FBarManager->Bars()->RowsToAppend(RowCount(), index) : 1;
    for (int i = 0; i < add; ++i) InsertRow(RowCount());
    index = std::min(index, RowCount() - 1 + (oneOnRow ? 1 : 0));
  } else if (index >= RowCount() + (oneOnRow ? 1 : 0)) {
    index = oneOnRow ? RowCount() : RowCount() - 1;
  }
  index = std::max(index, 0);
  if (index >= RowCount()) oneOnRow = true;
  if (TdxDockRow* row = Row(index))
    for (int i = 0; i < row->ColumnCount(); ++i) {
      TdxBarControl* other = row->Column(i)->BarControl();
      if (other != control && other->Bar() && other->Bar()->WholeRow()) oneOnRow = true;
    }
  TdxDockCol* col = nullptr;
  if (oneOnRow) {
    TdxDockRow* row = restoring && Row(index) && Row(index)->ColumnCount() == 0 ? Row(index) : InsertRow(index);
    col = row->AddColumn(control);
  } else {
    col = Row(index)->InsertColumn(ColumnIndexAt(index, point), control);
  }
  if (bar) bar->SetRow(index);
  if (!recreating) {
    const POINT grip = control->GripOffsetFor(DockingStyle());
    point.x -= grip.x;
    point.y -= grip.y;
  }
  if (HandleAllocated()) ::ScreenToClient(Handle(), &point);
  if (IsHorizontalDock())
    point.x = std::max<LONG>(point.x, 0);
  else
    point.y = std::max<LONG>(point.y, 0);
  col->Pos = point;
  if (layout) {
    if (!control->Moving()) control->SetBounds(point.x, point.y, control->Width(), control->Height());
    UpdateLayout();
    if (!restoring) col->UpdatePos();
  }
}

void TdxDockControl::RemoveBarControl(TdxBarControl* control, bool update) {
  int row = 0, column = 0;
  if (!FindControl(control, row, column)) return;
  Row(row)->DeleteColumn(column);
  if (update) UpdateLayout();
}

void TdxDockControl::MoveBarTo(TdxBarControl* control, POINT point) {
  RemoveBarControl(control, false);
  InsertBarAt(control, point, true);
}

void TdxDockControl::UpdateAllColumns() {
  for (auto& row : FRows)
    for (int i = 0; i < row->ColumnCount(); ++i) row->Column(i)->UpdatePos();
}

void TdxDockControl::UpdateLayout() {
  if (!FBarManager || FBarManager->IsUpdateLocked() || FBarManager->IsBeingDestroyed()) return;
  ArrangeRows();
  FitToRows();
}

void TdxDockControl::ArrangeRows() {
  if (FRows.empty() || !FBarManager || FBarManager->IsBeingDestroyed() || FArranging) return;
  FArranging = true;
  DisableAlign();
  try {
    UpdateRowSizes();
  } catch (...) {
    FArranging = false;
    EnableAlign();
    throw;
  }
  FArranging = false;
  EnableAlign();
}

void TdxDockControl::UpdateRowSizes() {
  const int length = IsVerticalDock() ? ClientHeight() : ClientWidth();
  for (int i = 0; i < RowCount(); ++i)
    if (Row(i)->HasDockedControl()) LayOutRow(i, length);
}

void TdxDockControl::CalcCrossSize(TdxBarControl* control, int width, int& height) {
  const TdxBarBorders b = control->BorderSizes();
  const bool vertical = IsVerticalDock();
  int value = width - (vertical ? b.Top + b.Bottom : b.Left + b.Right);
  if (!GetPainter()->AllowsQuickCustomizing() && control->HasMark()) value -= control->GetMarkSize();
  const int style = static_cast<int>(DockingStyle());
  if (!control->IsMultiLineLayout()) {
    height = vertical ? control->CalcMaxWidth(style) : control->CalcMaxHeight(style);
    return;
  }
  SIZE size{0, 0};
  if (vertical) {
    control->CalcSizeForHeight(style, value, size);
    height = size.cx;
  } else {
    control->CalcSizeForWidth(style, value, size);
    height = size.cy;
  }
}

void TdxDockControl::LayOutRow(int rowIndex, int length) {
  TdxDockRow* row = Row(rowIndex);
  if (!row || row->ColumnCount() == 0) return;
  const bool vertical = IsVerticalDock();
  const int style = static_cast<int>(DockingStyle());
  RECT rowRect = RowRect(rowIndex);
  if (vertical) rowRect = RECT{rowRect.top, rowRect.left, rowRect.bottom, rowRect.right};
  int rowHeight = 0;
  const int n = row->ColumnCount();
  int total = 0;
  auto alongBorder = [&](TdxBarControl* c) {
    const TdxBarBorders b = c->BorderSizes();
    return vertical ? b.Top + b.Bottom : b.Left + b.Right;
  };
  auto acrossBorder = [&](TdxBarControl* c) {
    const TdxBarBorders b = c->BorderSizes();
    return vertical ? b.Left + b.Right : b.Top + b.Bottom;
  };
  for (int i = 0; i < n; ++i) {
    TdxBarControl* c = row->Column(i)->BarControl();
    c->SetTruncated(false);
    c->ShowAllLinks();
    const int border = alongBorder(c);
    c->MinSize = (vertical ? c->CalcMinHeight(style) : c->CalcMinWidth(style)) + border;
    c->MaxSize = (vertical ? c->CalcMaxHeight(style) : c->CalcMaxWidth(style)) + border;
    if (!c->HasMark() && c->MinSize != c->MaxSize) c->MinSize += c->GetMarkSize();
    total += c->MaxSize;
  }
  TdxBarControl* first = row->Column(0)->BarControl();
  if (first->Bar() && first->Bar()->WholeRow()) {
    TdxBarControl* c = first;
    c->NewLeft = rowRect.left;
    c->NewTop = rowRect.top;
    c->NewWidth = std::max(length, c->MinSize);
    CalcCrossSize(c, c->NewWidth, c->NewHeight);
    c->NewHeight += acrossBorder(c);
    c->SetTruncated(!c->IsMultiLineLayout() && c->NewWidth < c->MaxSize);
    rowHeight = c->NewHeight;
    for (int i = 1; i < n; ++i) {
      // Nothing else shares a whole row: the others keep their sizes at its end.
      TdxBarControl* other = row->Column(i)->BarControl();
      other->NewLeft = length, other->NewTop = rowRect.top, other->NewWidth = other->MaxSize, other->NewHeight = rowHeight;
    }
  } else if (length < total) {
    int remaining = length;
    for (int i = n - 1; i >= 0; --i) {
      TdxDockCol* col = row->Column(i);
      TdxBarControl* c = col->BarControl();
      int pos = vertical ? col->Pos.y : col->Pos.x;
      int minBefore = 0, maxBefore = 0;
      for (int j = 0; j < i; ++j) {
        minBefore += row->Column(j)->BarControl()->MinSize;
        maxBefore += row->Column(j)->BarControl()->MaxSize;
      }
      pos = std::min(std::max(pos, minBefore), maxBefore);
      if (i > 0) {
        TdxDockCol* before = row->Column(i - 1);
        TdxBarControl* prev = before->BarControl();
        if (prev->Moving()) {
          const int prevPos = vertical ? before->Pos.y : before->Pos.x;
          const int f = std::max(prevPos, minBefore - prev->MinSize) + prev->MaxSize;
          if (f < pos) {
            (vertical ? col->Pos.y : col->Pos.x) = f;
            pos = f;
          }
        }
      }
      if (remaining - pos < c->MaxSize) {
        c->SetTruncated(!(c->IsMultiLineLayout() || c->MinSize == c->MaxSize));
        c->NewWidth = std::max(remaining - pos, c->MinSize);
        CalcCrossSize(c, c->NewWidth, c->NewHeight);
      } else {
        c->NewWidth = c->MaxSize;
        if (c->IsMultiLineLayout())
          CalcCrossSize(c, c->NewWidth, c->NewHeight);
        else
          c->NewHeight = vertical ? c->CalcMaxWidth(style) : c->CalcMaxHeight(style);
      }
      if (i == 0 && c->NewWidth < remaining) c->NewWidth = remaining;
      c->NewLeft = std::min(std::max(remaining - c->NewWidth, minBefore), maxBefore);
      c->NewTop = rowRect.top;
      c->NewHeight += acrossBorder(c);
      rowHeight = std::max(rowHeight, c->NewHeight);
      remaining -= c->NewWidth;
    }
  } else {
    int limit = length;
    for (int i = n - 1; i >= 0; --i) {
      TdxDockCol* col = row->Column(i);
      TdxBarControl* c = col->BarControl();
      c->NewTop = rowRect.top;
      c->NewWidth = c->MaxSize;
      if (c->IsMultiLineLayout())
        CalcCrossSize(c, c->NewWidth, c->NewHeight);
      else
        c->NewHeight = vertical ? c->CalcMaxWidth(style) : c->CalcMaxHeight(style);
      c->NewHeight += acrossBorder(c);
      rowHeight = std::max(rowHeight, c->NewHeight);
      int before = 0;
      for (int j = 0; j < i; ++j) before += row->Column(j)->BarControl()->MaxSize;
      int pos = vertical ? col->Pos.y : col->Pos.x;
      if (pos + c->NewWidth > limit) pos = limit - c->NewWidth;
      c->NewLeft = std::max(pos, before);
      limit = c->NewLeft;
    }
  }
  // Rest space: toolbars that use it are moved up to their predecessors and
  // stretch to the next one.
  for (int i = 0; i < n; ++i) {
    TdxBarControl* c = row->Column(i)->BarControl();
    const bool rest = c->Bar() && c->Bar()->UseRestSpace();
    if (!rest) continue;
    TdxBarControl* prev = i > 0 ? row->Column(i - 1)->BarControl() : nullptr;
    c->NewLeft = prev ? prev->NewLeft + prev->NewWidth : 0;
    const int end = i == n - 1 ? length : row->Column(i + 1)->BarControl()->NewLeft;
    c->NewWidth = std::max(end - c->NewLeft, c->MinSize);
  }
  for (int i = 0; i < n; ++i) {
    TdxBarControl* c = row->Column(i)->BarControl();
    if (i == n - 1 && c->Truncated()) c->NewWidth = std::max(length - c->NewLeft, c->MinSize);
    c->NewHeight = rowHeight;
    int cross = 0;
    CalcCrossSize(c, c->NewWidth, cross);
    if (vertical) {
      std::swap(c->NewLeft, c->NewTop);
      std::swap(c->NewWidth, c->NewHeight);
    }
    c->ApplyNewBounds();
  }
}

void TdxDockControl::FitToRows() {
  const int size = RowsSizeWithBorder();
  TWinControl* parent = Parent();
  if (parent) parent->DisableAlign();
  try {
    if (IsVerticalDock()) {
      if (DockingStyle() == dsRight) SetBounds(Left() + Width() - size, Top(), size, Height());
      else SetBounds(Left(), Top(), size, Height());
    } else {
      if (DockingStyle() == dsBottom) SetBounds(Left(), Top() + Height() - size, Width(), size);
      else SetBounds(Left(), Top(), Width(), size);
    }
  } catch (...) {
    if (parent) parent->EnableAlign();
    throw;
  }
  if (parent) parent->EnableAlign();
}

void TdxDockControl::RefreshFrames() {
  if (!HandleAllocated()) return;
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, 0x37);
  for (auto& row : FRows)
    for (int i = 0; i < row->ColumnCount(); ++i) row->Column(i)->BarControl()->RecalcFrame();
  UpdateLayout();
}

void TdxDockControl::RepaintBars() {
  for (auto& row : FRows)
    for (int i = 0; i < row->ColumnCount(); ++i) {
      TdxBarControl* c = row->Column(i)->BarControl();
      if (c->HandleAllocated()) {
        SendMessageA(c->Handle(), WM_NCPAINT, 1, 0);
        c->Repaint();
      }
    }
}

// --- The interactive move's questions -------------------------------------------------------

RECT TdxDockControl::GetDockingZoneRect() {
  RECT r = BoundsRect();
  const int zone = ZoneSize(this);
  InflateRect(&r, zone, IsHorizontalDock() ? zone : 0);
  if (Parent() && Parent()->HandleAllocated()) MapWindowPoints(Parent()->Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void TdxDockControl::ZoneRange(int row, int part, int& low, int& high) {
  const int zone = ZoneSize(this);
  const bool nearSide = IsNearSideDock();
  const int rows = CalcRowsSize();
  const int farSide = FarSide();
  if (row < 0) {
    low = nearSide ? -zone : farSide - rows - zone;
    high = low + zone;
  } else if (row >= RowCount()) {
    low = nearSide ? rows : farSide;
    high = low + zone;
  } else {
    const RECT r = RowRect(row);
    low = IsVerticalDock() ? r.left : r.top;
    high = IsVerticalDock() ? r.right : r.bottom;
  }
  const int offset = (zone - kBandSize) / 2;
  const int bandLow = nearSide ? low + offset : high - offset - kBandSize;
  const int bandHigh = bandLow + kBandSize;
  if (part == 0) {
    high = bandLow;
  } else if (part == 1) {
    low = bandLow;
    high = bandHigh;
  } else {
    low = bandHigh;
  }
}

int TdxDockControl::RowAtPoint(POINT point, bool& fresh) {
  if (FRows.empty()) {
    fresh = true;
    return 0;
  }
  if (HandleAllocated()) ::ScreenToClient(Handle(), &point);
  const int c = CrossCoord(point);
  for (int b = -1; b < RowCount(); ++b)
    for (int part = 0; part < 3; ++part) {
      int low = 0, high = 0;
      ZoneRange(b, part, low, high);
      if (c >= low && c < high) {
        const int index = part == 0 ? b : b + 1;
        fresh = part == 1 || index >= RowCount();
        return index;
      }
    }
  fresh = true;
  return c < CalcRowsSize() ? 0 : RowCount();
}

int TdxDockControl::ColumnIndexAt(int rowIndex, POINT point) {
  TdxDockRow* row = Row(rowIndex);
  if (!row || row->ColumnCount() == 0) return 0;
  if (HandleAllocated()) ::ScreenToClient(Handle(), &point);
  const int along = AlongCoord(point);
  for (int i = 0; i < row->ColumnCount(); ++i) {
    TdxBar* bar = row->Column(i)->BarControl()->Bar();
    const int at = bar ? (IsVerticalDock() ? bar->DockedTop() : bar->DockedLeft()) : 0;
    if (at >= along) return i;
  }
  return row->ColumnCount();
}

void TdxDockControl::RowInsertPoint(int row, bool keep, POINT& point) {
  if (HandleAllocated()) ::ScreenToClient(Handle(), &point);
  int across = 0;
  int low = 0, high = 0;
  if (keep && row != RowCount()) {
    ZoneRange(row - 1, 1, low, high);
    across = (low + high) / 2;
  } else {
    int start = 0, endLow = 0, end = 0;
    ZoneRange(row - 1, 2, start, high);
    ZoneRange(row, 0, endLow, end);
    const int half = end - endLow;
    start = std::max(start, end - 2 * half);
    across = (start + end) / 2;
  }
  if (IsVerticalDock())
    point.x = across;
  else
    point.y = across;
  if (HandleAllocated()) ::ClientToScreen(Handle(), &point);
}

// --- Painting and messages ------------------------------------------------------------

void TdxDockControl::DrawBackground(HDC dc, const RECT& r) {
  if (IsRectEmpty(&r)) return;
  HBRUSH brush = CreateSolidBrush(ColorToRGB(Color()));
  GetPainter()->DrawDockBackground(this, dc, r, r, r, brush, Color());
  DeleteObject(brush);
}

void TdxDockControl::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  Params.ExStyle = 0;
  Params.WindowClass.style |= CS_DBLCLKS;
}

void TdxDockControl::AlignControls(TControl*, RECT&) {
  // The dock places its toolbars itself.
  if (FBarManager && !FBarManager->IsLoading()) UpdateLayout();
}

void TdxDockControl::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND: {
      RECT r{};
      GetClientRect(Handle(), &r);
      DrawBackground(reinterpret_cast<HDC>(Message.WParam), r);
      Message.Result = 1;
      return;
    }
    case WM_NCCALCSIZE:
      TCustomControl::WndProc(Message);
      if (GetSunkenBorder() && Message.WParam) {
        auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam);
        InflateRect(&p->rgrc[0], -1, -1);
      }
      return;
    case WM_NCPAINT:
      if (GetSunkenBorder()) {
        HDC dc = GetWindowDC(Handle());
        RECT r{0, 0, Width(), Height()};
        DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
        ReleaseDC(Handle(), dc);
        Message.Result = 0;
        return;
      }
      break;
    case WM_MOUSEACTIVATE:
      if (FBarManager) {
        Message.Result = MA_NOACTIVATE;
        return;
      }
      break;
    default: break;
  }
  TCustomControl::WndProc(Message);
}

// --- Placed docks ---------------------------------------------------------------------------

TdxBarDockControl::TdxBarDockControl(TComponent* AOwner) : TdxDockControl(AOwner) { SetAlign(alTop); }

void TdxBarDockControl::SetDockAlign(TdxBarDockAlign value) {
  if (value == FDockAlign) return;
  TdxBarManager* manager = BarManager();
  if (manager) manager->LockUpdate();
  static const TAlign aligns[] = {alNone, alTop, alBottom, alLeft, alRight};
  static const TdxBarDockingStyle styles[] = {dsTop, dsTop, dsBottom, dsLeft, dsRight};
  std::vector<TdxBarControl*> docked;
  for (int r = 0; r < RowCount(); ++r)
    for (int i = 0; i < Row(r)->ColumnCount(); ++i) docked.push_back(Row(r)->Column(i)->BarControl());
  try {
    for (TdxBarControl* control : docked) {
      control->SetDockingStyle(static_cast<int>(styles[static_cast<int>(value)]));
      if (control->Bar()) control->Bar()->SetDockingStyle(styles[static_cast<int>(value)]);
    }
    FDockAlign = value;
    SetAlign(aligns[static_cast<int>(value)]);
  } catch (...) {
    if (manager) manager->UnlockUpdate(true);
    throw;
  }
  if (manager) manager->UnlockUpdate(true);
  for (TdxBarControl* control : docked) control->RebuildItems();
  UpdateLayout();
  if (Parent()) Parent()->Invalidate();
}

int TdxBarDockControl::CalcRowsSize() {
  TdxBarManager* manager = BarManager();
  if (ComponentState().Contains(csLoading) || (manager && manager->IsLoading())) return IsHorizontalDock() ? ClientHeight() : ClientWidth();
  return TdxDockControl::CalcRowsSize();
}
