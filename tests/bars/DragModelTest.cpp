// The shared bar canvas lent device contexts and canvases in turn, the
// layout record of a bar window, and the drag model: states and cursors,
// when a drop changes nothing, and the inverted insertion mark.
#include "bars/model/BarCanvas.h"
#include "bars/model/BarGlobals.h"
#include "platform/Win32.h"
#include "tests/bars/BarsTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(BarCanvas, NestedPushesAndPopsRestoreTheDeviceContextsObjects) {
  TProbeDIB outer(40, 20, RGB(255, 255, 255));
  TProbeDIB inner(40, 20, RGB(255, 255, 255));
  TGdiObject outerPen(CreatePen(PS_SOLID, 1, RGB(200, 0, 0)));
  TGdiObject outerBrush(CreateSolidBrush(RGB(0, 0, 200)));
  HGDIOBJ oldPen = SelectObject(outer.DC(), outerPen.Get());
  HGDIOBJ oldBrush = SelectObject(outer.DC(), outerBrush.Get());
  const HGDIOBJ innerPen = GetCurrentObject(inner.DC(), OBJ_PEN);

  TdxBarCanvas canvas;
  canvas.PopDeviceContext();  // nothing at depth 0
  EXPECT_EQ(canvas.Depth(), 0);
  EXPECT_FALSE(canvas.OwnCanvas()->HandleAllocated());

  canvas.PushDeviceContext(outer.DC());
  EXPECT_EQ(canvas.Depth(), 1);
  // The canvas starts from what the device context had selected.
  EXPECT_EQ(ColorToRGB(canvas.GetPen()->Color()), RGB(200, 0, 0));
  EXPECT_EQ(ColorToRGB(canvas.GetBrush()->Color()), RGB(0, 0, 200));
  canvas.GetPen()->SetColor(static_cast<TColor>(RGB(0, 150, 0)));
  canvas.MovePenTo(0, 2);
  canvas.DrawLineTo(10, 2);
  EXPECT_EQ(outer.At(5, 2), RGB(0, 150, 0));

  canvas.PushDeviceContext(inner.DC());
  EXPECT_EQ(canvas.Depth(), 2);
  canvas.GetPen()->SetColor(static_cast<TColor>(RGB(0, 0, 90)));
  canvas.MovePenTo(0, 4);
  canvas.DrawLineTo(10, 4);
  EXPECT_EQ(inner.At(5, 4), RGB(0, 0, 90));

  TProbeDIB lent(40, 20, RGB(255, 255, 255));
  lent.Canvas()->Brush()->SetColor(static_cast<TColor>(RGB(10, 20, 30)));
  canvas.PushCanvas(lent.Canvas());
  EXPECT_EQ(canvas.Canvas(), lent.Canvas());
  canvas.SetBrushColor(static_cast<TColor>(RGB(90, 80, 70)));
  canvas.PopDeviceContext();
  EXPECT_EQ(canvas.Canvas(), canvas.OwnCanvas());
  EXPECT_EQ(ColorToRGB(lent.Canvas()->Brush()->Color()), RGB(10, 20, 30));

  canvas.PopDeviceContext();
  EXPECT_EQ(GetCurrentObject(inner.DC(), OBJ_PEN), innerPen);
  // Back on the outer device context with the outer state.
  EXPECT_EQ(ColorToRGB(canvas.GetPen()->Color()), RGB(0, 150, 0));
  canvas.MovePenTo(0, 6);
  canvas.DrawLineTo(10, 6);
  EXPECT_EQ(outer.At(5, 6), RGB(0, 150, 0));

  canvas.PopDeviceContext();
  EXPECT_EQ(canvas.Depth(), 0);
  EXPECT_FALSE(canvas.OwnCanvas()->HandleAllocated());
  EXPECT_EQ(GetCurrentObject(outer.DC(), OBJ_PEN), outerPen.Get());
  EXPECT_EQ(GetCurrentObject(outer.DC(), OBJ_BRUSH), outerBrush.Get());
  canvas.PopDeviceContext();
  EXPECT_EQ(canvas.Depth(), 0);
  SelectObject(outer.DC(), oldPen);
  SelectObject(outer.DC(), oldBrush);
}

TEST(BarCanvas, ADeviceContextPushedOverALentCanvasGoesToTheOwnCanvas) {
  TProbeDIB lent(20, 20);
  TProbeDIB dc(20, 20);
  TdxBarCanvas canvas;
  canvas.PushCanvas(lent.Canvas());
  canvas.PushDeviceContext(dc.DC());
  EXPECT_EQ(canvas.Canvas(), canvas.OwnCanvas());
  canvas.PopDeviceContext();
  EXPECT_EQ(canvas.Canvas(), lent.Canvas());
  canvas.PopDeviceContext();
  EXPECT_EQ(canvas.Canvas(), canvas.OwnCanvas());
}

TEST(BarControlViewInfo, ItemsAndSeparators) {
  TCustomdxBarControlViewInfo info(nullptr);
  auto* a = reinterpret_cast<TdxBarItemControl*>(0x10);
  auto* b = reinterpret_cast<TdxBarItemControl*>(0x20);
  info.AddItemViewInfo(a);
  info.AddItemViewInfo(b);
  info.RemoveItemViewInfo(a);
  EXPECT_EQ(info.ItemViewInfoCount(), 1);
  EXPECT_FALSE(info.HasViewInfoOfItemControl(a));
  EXPECT_TRUE(info.HasViewInfoOfItemControl(b));
  info.AddSeparatorInfo(RECT{1, 2, 3, 4}, false, a);
  info.AddSeparatorInfo(RECT{5, 6, 7, 8}, true, b);
  info.AddSeparatorInfo(RECT{9, 9, 9, 9}, false, b);
  int index = -1;
  EXPECT_TRUE(info.FindSeparatorOfItemControl(b, index));
  EXPECT_EQ(index, 1);
  RECT r{};
  EXPECT_TRUE(info.GetSeparatorInfo(index, r));
  EXPECT_EQ(r.left, 5);
  EXPECT_EQ(r.bottom, 8);
  info.Rebuild();
  EXPECT_EQ(info.ItemViewInfoCount(), 0);
  EXPECT_EQ(info.SeparatorCount(), 0);
  EXPECT_FALSE(info.FindSeparatorOfItemControl(a, index));
}

TEST(BarDragInfo, WhenADropChangesNothing) {
  struct Case {
    const char* Name;
    TdxBarDropCase Drop;
    bool Nothing;
  } cases[] = {
      {"no drop target", {.HasDropTarget = false}, true},
      {"an item from the customizing window", {.ItemDragged = true, .UnderMouseIsDragged = true}, false},
      {"onto itself, second part", {.UnderMouseIsDragged = true}, true},
      {"onto itself, first part", {.UnderMouseIsDragged = true, .FirstPart = true}, false},
      {"onto itself beginning a group", {.UnderMouseIsDragged = true, .BeginsGroup = true}, false},
      {"after the previous link", {.UnderMouseIsPrevious = true}, true},
      {"after the previous link, dragged begins a group",
       {.UnderMouseIsPrevious = true, .DraggedBeginGroup = true},
       false},
      {"after the previous link in its first part", {.UnderMouseIsPrevious = true, .FirstPart = true}, false},
      {"the last link before the next", {.UnderMouseIsNext = true, .DraggedIsLast = true, .FirstPart = true}, false},
      {"before the next link", {.UnderMouseIsNext = true, .FirstPart = true}, true},
      {"before the next link beginning a group",
       {.UnderMouseIsNext = true, .UnderMouseBeginGroup = true, .FirstPart = true},
       false},
      {"before the next link's group, beginning one",
       {.UnderMouseIsNext = true, .UnderMouseBeginGroup = true, .BeginsGroup = true, .FirstPart = true},
       true},
      {"after the next link", {.UnderMouseIsNext = true}, false},
      {"elsewhere", {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(TdxBarDragInfo::DropChangesNothing(c.Drop), c.Nothing);
  }
}

TEST(BarDragInfo, StatesCursorsAndTheMark) {
  TdxBarDragInfo drag;
  drag.SetStartCursor(crDefault);
  struct Case {
    TdxBarDragState State;
    TCursor Cursor;
    bool Mark, MarkWhenNothingChanges;
  } cases[] = {
      {TdxBarDragState::dsNoDrag, crDefault, false, false},
      {TdxBarDragState::dsNoDrop, crdxBarDragNoDrop, false, false},
      {TdxBarDragState::dsOwnPlace, crdxBarDrag, false, false},
      {TdxBarDragState::dsCopy, crdxBarDragCopy, true, true},
      {TdxBarDragState::dsMove, crdxBarDrag, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.State));
    EXPECT_EQ(drag.CursorOfState(c.State), c.Cursor);
    EXPECT_EQ(drag.MarkShownInState(c.State, false), c.Mark);
    EXPECT_EQ(drag.MarkShownInState(c.State, true), c.MarkWhenNothingChanges);
  }
  // Over a category the mark stays as it is.
  EXPECT_EQ(drag.CursorOfState(TdxBarDragState::dsOverCategory), crdxBarDrag);
  EXPECT_FALSE(drag.MarkShownInState(TdxBarDragState::dsOverCategory, false));
  // A refresh under the lock waits for the last unlock.
  drag.LockRefresh();
  drag.LockRefresh();
  drag.SetState(TdxBarDragState::dsMove);
  EXPECT_TRUE(drag.RefreshPending());
  drag.UnlockRefresh();
  EXPECT_TRUE(drag.RefreshPending());
  drag.UnlockRefresh();
  EXPECT_FALSE(drag.RefreshPending());
  drag.EndDrag();
  EXPECT_EQ(drag.State(), TdxBarDragState::dsNoDrag);
}

bool SameLines(const std::vector<TdxBarMarkLine>& a, const std::vector<TdxBarMarkLine>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].From.x != b[i].From.x || a[i].From.y != b[i].From.y || a[i].To.x != b[i].To.x ||
        a[i].To.y != b[i].To.y)
      return false;
  return true;
}

TEST(BarDragInfo, TheSixLinesOfTheIBeam) {
  const RECT r{10, 20, 40, 50};
  struct Case {
    const char* Name;
    bool FirstPart, Vertical;
    std::vector<TdxBarMarkLine> Lines;
  } cases[] = {
      {"horizontal, first part",
       true,
       false,
       {{{10, 20}, {16, 20}},
        {{11, 21}, {15, 21}},
        {{12, 22}, {12, 48}},
        {{13, 22}, {13, 48}},
        {{11, 48}, {15, 48}},
        {{10, 49}, {16, 49}}}},
      {"horizontal, second part",
       false,
       false,
       {{{34, 20}, {40, 20}},
        {{35, 21}, {39, 21}},
        {{36, 22}, {36, 48}},
        {{37, 22}, {37, 48}},
        {{35, 48}, {39, 48}},
        {{34, 49}, {40, 49}}}},
      {"vertical, first part",
       true,
       true,
       {{{10, 20}, {10, 26}},
        {{11, 21}, {11, 25}},
        {{12, 22}, {38, 22}},
        {{12, 23}, {38, 23}},
        {{38, 21}, {38, 25}},
        {{39, 20}, {39, 26}}}},
      {"vertical, second part",
       false,
       true,
       {{{10, 44}, {10, 50}},
        {{11, 45}, {11, 49}},
        {{12, 46}, {38, 46}},
        {{12, 47}, {38, 47}},
        {{38, 45}, {38, 49}},
        {{39, 44}, {39, 50}}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_TRUE(SameLines(TdxBarDragInfo::InsertionMarkLines(r, c.FirstPart, c.Vertical), c.Lines));
  }
}

// A pattern no two neighbours share, so an inverted pixel cannot pass as an
// untouched one.
void PaintPattern(TProbeDIB& dib) {
  for (int y = 0; y < dib.Height(); ++y)
    for (int x = 0; x < dib.Width(); ++x) SetPixel(dib.DC(), x, y, RGB(x * 5, y * 5, (x + y) * 3));
}

TEST(BarDragInfo, DrawingTheMarkTwiceRestoresEveryPixel) {
  const RECT r{10, 10, 40, 40};
  for (const bool vertical : {false, true})
    for (const bool first : {true, false}) {
      SCOPED_TRACE(std::to_string(vertical) + std::to_string(first));
      TProbeDIB dib(50, 50);
      PaintPattern(dib);
      std::vector<COLORREF> before;
      for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x) before.push_back(dib.At(x, y));
      TdxBarDragInfo::DrawInsertionMark(dib.DC(), r, first, vertical);
      EXPECT_EQ(GetROP2(dib.DC()), R2_COPYPEN);
      // The first line's start is inverted, its end left alone.
      const TdxBarMarkLine line = TdxBarDragInfo::InsertionMarkLines(r, first, vertical)[0];
      EXPECT_EQ(dib.At(line.From.x, line.From.y), before[line.From.y * 50 + line.From.x] ^ 0xFFFFFF);
      EXPECT_EQ(dib.At(line.To.x, line.To.y), before[line.To.y * 50 + line.To.x]);
      TdxBarDragInfo::DrawInsertionMark(dib.DC(), r, first, vertical);
      int differing = 0;
      for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x)
          if (dib.At(x, y) != before[y * 50 + x]) ++differing;
      EXPECT_EQ(differing, 0);
    }
}

TEST(BarDragInfo, HidingTheMarkOnAWindowErasesIt) {
  TForm* form = New<TForm>(nullptr);
  form->SetBounds(100, 100, 200, 120);
  form->Show();
  HWND window = form->Handle();
  UpdateWindow(window);
  HDC dc = GetDC(window);
  RECT client{};
  GetClientRect(window, &client);
  HBRUSH brush = CreateSolidBrush(RGB(40, 80, 120));
  FillRect(dc, &client, brush);
  DeleteObject(brush);
  const COLORREF background = GetPixel(dc, 20, 20);
  TdxBarDragInfo drag;
  const RECT r{20, 20, 60, 50};
  drag.ShowMark(window, r, true, false);
  EXPECT_TRUE(drag.MarkVisible());
  EXPECT_EQ(GetPixel(dc, 20, 20), background ^ 0xFFFFFF);
  drag.HideMark();
  EXPECT_FALSE(drag.MarkVisible());
  EXPECT_EQ(GetPixel(dc, 20, 20), background);
  ReleaseDC(window, dc);
  // A mark whose window went is forgotten quietly.
  drag.ShowMark(window, r, true, false);
  Free(form);
  drag.HideMark();
  EXPECT_FALSE(drag.MarkVisible());
}

}  // namespace
