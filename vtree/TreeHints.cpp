// The hints the tree shows for its nodes, its header columns and itself: the
// answer to the application's hint request, and the pause before it.
#include "vtree/TreeHintWindow.h"

#include "platform/Forms.h"
#include "vtree/TreeGlobals.h"

#include <algorithm>

namespace {
using TS = TVirtualTreeState;

std::wstring Widen(const AnsiString& text) {
  if (text.empty()) return {};
  const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
  if (length > 0)
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), wide.data(), length);
  return wide;
}
}  // namespace

void TBaseVirtualTree::GetCellTextInfo(PVirtualNode, TColumnIndex, TFont* Font, RECT& R, std::wstring& Text) {
  if (Font) Font->Assign(this->Font());
  R = RECT{};
  Text.clear();
}

TClass TBaseVirtualTree::HintWindowClass() const { return &TVirtualTreeHintWindow::ClassInfo; }

THintAnimationType TBaseVirtualTree::EffectiveHintAnimation() const {
  THintAnimationType result = FHintAnimation;
  if (result == THintAnimationType::hatSystemDefault) {
    BOOL animated = FALSE, fade = FALSE;
    SystemParametersInfoW(SPI_GETTOOLTIPANIMATION, 0, &animated, 0);
    SystemParametersInfoW(SPI_GETTOOLTIPFADE, 0, &fade, 0);
    result = !animated ? THintAnimationType::hatNone : fade ? THintAnimationType::hatFade : THintAnimationType::hatSlide;
  }
  if (result == THintAnimationType::hatFade && !MMXAvailable()) result = THintAnimationType::hatSlide;
  return result;
}

LRESULT TBaseVirtualTree::HandleHintShow(THintInfo& Info) {
  const POINT cursor = Info.CursorPos;
  // The hint of this place is up already.
  if (!IsRectEmpty(&FLastHintRect) && PtInRect(&FLastHintRect, cursor)) return 1;
  LRESULT result = 1;
  const THitInfo hit = HitTestAt(cursor.x, cursor.y, true);
  // Hints are for the window the user works in: the tree's form when it is
  // focused or the application is active, or the tree itself when no form
  // holds it. While editing, the edited node gets none.
  bool allowed = false;
  if (IsEditing()) allowed = hit.HitNode != FocusedNode();
  else if (TCustomForm* form = GetParentForm(this)) allowed = form->Focused() || (Application && Application->Active());
  else allowed = Focused();
  if (GetCapture() || !ShowHint() || FStates.Contains(TS::tsScrolling) || FStates.Contains(TS::tsOLEDragging) ||
      FStates.Contains(TS::tsVCLDragging) || FStates.Contains(TS::tsDrawSelecting) ||
      FHeader->States() != THeaderStates{})
    allowed = false;
  FHintData = TVTHintData{};
  FHintData.OwnerTree = this;
  bool useOwnWindow = false;
  if (allowed) {
    result = 0;
    Info.HintStr = AnsiString(1, ' ');
    const RECT client = ClientRect();
    const int32_t headerHeight = FHeader->Height();
    const bool headerShown = FHeader->Options().Contains(TVTHeaderOption::hoVisible);
    if (headerShown && FHeader->Options().Contains(TVTHeaderOption::hoShowHint) && cursor.y < 0 &&
        cursor.y >= -headerHeight) {
      // The header lies above the client area.
      Info.CursorRect = RECT{0, -headerHeight, client.right, 0};
      const TColumnIndex column =
          FHeader->Columns()->ColumnAtPoint(POINT{cursor.x, cursor.y + headerHeight}, true);
      const POINT headerBottom = ClientToScreen(POINT{0, 0});
      Info.HintPos.y = std::max<LONG>(Info.HintPos.y, headerBottom.y);
      if (!FHeader->Columns()->IsColumnIndex(column) || (GetKeyState(VK_LBUTTON) & 0x8000) ||
          FHeader->Columns()->Items(column)->Hint().empty()) {
        result = 1;
      } else {
        FHintData.TargetColumn = column;
        FHintData.PresetText = FHeader->Columns()->Items(column)->Hint();
        useOwnWindow = true;
      }
    } else if (FHintMode == TVTHintMode::hmDefault) {
      // The platform shows the control's short hint; the tree records nothing.
    } else if (hit.HitNode && hit.HitColumn >= NoColumn) {
      const TColumnIndex column = hit.HitColumn;
      int32_t cellLeft = 0, cellRight = client.right;
      if (FHeader->Columns()->IsColumnIndex(column)) {
        FHeader->Columns()->ColumnExtent(column, cellLeft, cellRight);
        // A text running on over empty cells is cut off only at their end.
        SpanCell(hit.HitNode, column, cellLeft, cellRight, false);
      }
      FHintData.TargetNode = hit.HitNode;
      FHintData.TargetColumn = column;
      if (FHintMode == TVTHintMode::hmTooltip) {
        RECT text{};
        bool show = false;
        if (!hit.HitNode->StateBits.Contains(TVirtualNodeState::nsMultiline)) {
          text = NodeDisplayRect(hit.HitNode, column, true, true, true);
          const int32_t margin = FTextMargin;
          show = PtInRect(&text, cursor) && cursor.x >= cellLeft && cursor.x < cellRight &&
                 (text.right + margin > std::min<int32_t>(cellRight - 1, client.right) ||
                  text.left < std::max<int32_t>(cellLeft, 0) || text.bottom + margin > client.bottom || text.top < 0);
        } else {
          text = NodeDisplayRect(hit.HitNode, column, true, false);
          show = hit.HitPositions.Contains(THitPosition::hpOnLabel) && PtInRect(&text, cursor);
        }
        if (show) {
          Info.HintPos = ClientToScreen(POINT{text.left, text.top});
          Info.CursorRect = text;
          useOwnWindow = true;
        } else {
          result = 1;
        }
      } else {
        RECT row = NodeDisplayRect(hit.HitNode, NoColumn, false);
        row.left = std::max<LONG>(row.left, cellLeft);
        row.right = std::min<LONG>(row.right, cellRight);
        Info.CursorRect = row;
        const POINT rowBottom = ClientToScreen(POINT{0, row.bottom});
        Info.HintPos.y = std::max<LONG>(Info.HintPos.y, rowBottom.y) + 2;
        useOwnWindow = true;
      }
    } else if (FHintMode == TVTHintMode::hmHintAndDefault) {
      FHintData.PresetText = Widen(GetShortHint(Hint()));
      if (FHintData.PresetText.empty()) result = 1;
      else useOwnWindow = true;
    } else {
      result = 1;
    }
  }
  if (result == 0) {
    if (useOwnWindow) {
      Info.HintWindowClass = HintWindowClass();
      Info.HintData = &FHintData;
    }
    FLastHintRect = Info.CursorRect;
    ChangeStates({TS::tsHint}, {});
  } else {
    FLastHintRect = RECT{};
    ChangeStates({}, {TS::tsHint});
  }
  return result;
}

void TBaseVirtualTree::HandleHintShowPause(TMessage& Message) {
  auto* pause = reinterpret_cast<int*>(Message.LParam);
  if (!pause) return;
  bool inHeader = false;
  if (FHeader->Options().Contains(TVTHeaderOption::hoVisible) && FHeader->Options().Contains(TVTHeaderOption::hoShowHint) &&
      HandleAllocated()) {
    POINT p{};
    GetCursorPos(&p);
    p = ScreenToClient(p);
    inHeader = p.y < 0 && p.y >= -FHeader->Height();
  }
  if (FHintMode == TVTHintMode::hmTooltip || (HintWindowDestroyed() && inHeader)) *pause = 0;
}

void TBaseVirtualTree::TrackHintCell(POINT P) {
  if (FHintMode == TVTHintMode::hmDefault || !ShowHint() || !Application) return;
  if (!IsRectEmpty(&FLastHintRect) && PtInRect(&FLastHintRect, P)) return;
  const THitInfo hit = HitTestAt(P.x, P.y, true);
  if (hit.HitNode == FHintAskedNode && hit.HitColumn == FHintAskedColumn) return;
  FHintAskedNode = hit.HitNode;
  FHintAskedColumn = hit.HitColumn;
  FLastHintRect = RECT{};
  // Another cell: the application asks for its hint after the pause.
  Application->ControlMouseChanged(this, true);
}
