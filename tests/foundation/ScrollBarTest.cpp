// The painter-drawn scroll bar: where its parts lie for a range, page and
// position; refused parameters; auto-repeat on an arrow held down; thumb
// dragging with its tolerance zone; OnScroll's answer kept in range.
#include "foundation/ScrollBar.h"
#include "platform/Forms.h"
#include "tests/foundation/LookAndFeelFixture.h"

#include <vector>

using namespace lookandfeel_test;
using namespace testing_support;

namespace {

int ArrowSize() { return GetSystemMetrics(SM_CYHSCROLL); }

// A shown form holding one horizontal bar with a `track`-pixel track.
class ScrollBarTest : public PainterUnits {
protected:
  void SetUp() override {
    PainterUnits::SetUp();
    FForm = New<TForm>(nullptr);
    FForm->SetBounds(80, 80, 400, 300);
    FBar = New<TcxScrollBar>(FForm);
    FBar->SetParent(FForm);
    FBar->SetBounds(10, 10, 100 + 2 * ArrowSize(), ArrowSize());
  }
  void TearDown() override {
    if (GetCapture()) ReleaseCapture();
    Free(FForm);
    PainterUnits::TearDown();
  }
  void ShowForm() {
    FForm->Show();
    RunMessagesUntilIdle();
  }
  POINT ScreenOf(POINT client) { return FBar->ClientToScreen(client); }
  void Post(UINT msg, POINT p, WPARAM keys = 0) {
    PostMessageA(FBar->Handle(), msg, keys, MAKELPARAM(p.x, p.y));
    RunMessagesUntilIdle();
  }
  static POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

  TForm* FForm = nullptr;
  TcxScrollBar* FBar = nullptr;
};

TEST_F(ScrollBarTest, PartsForRangePageAndPosition) {
  const int a = ArrowSize();
  const int systemThumb = GetSystemMetrics(SM_CXHTHUMB);
  const struct {
    const char* Name;
    int Min, Max, Page, Position;
    int ThumbLeft, ThumbRight;  // along the track (0 = its start); -1: no thumb
    int FromThumb;              // the position the thumb stands for
  } cases[] = {
      {"0-99, page 10, at 0", 0, 99, 10, 0, 0, 10, 0},
      {"0-99, page 10, at 90: the thumb ends with the track", 0, 99, 10, 90, 90, 100, 90},
      {"0-99, page 10, at 99: no further", 0, 99, 10, 99, 90, 100, 90},
      {"a page as large as the range (D = 0): at the track's start, filling it", 1, 10, 10, 5, 0, 100, 1},
      {"a tiny page: the minimal thumb", 0, 999, 1, 0, 0, 8, 0},
      {"page 0 at the middle: the system's thumb", 0, 100, 0, 50, (100 - systemThumb) / 2,
       (100 - systemThumb) / 2 + systemThumb, 100 * ((100 - systemThumb) / 2) / (100 - systemThumb)},
      {"Min = Max without a page: the system's thumb at the start", 5, 5, 0, 5, 0, systemThumb, 5},
      {"Min = Max with a page: no thumb", 5, 5, 1, 5, -1, -1, 5},
  };
  for (const auto& c : cases) {
    FBar->SetScrollParams(c.Min, c.Max, c.Position, c.Page);
    const TcxScrollBarViewInfo* v = FBar->ViewInfo();
    EXPECT_EQ(v->FirstArrowRect().right, a) << c.Name;
    EXPECT_EQ(v->LastArrowRect().left, a + 100) << c.Name;
    if (c.ThumbLeft < 0) {
      EXPECT_TRUE(IsRectEmpty(&v->ThumbRect())) << c.Name;
      EXPECT_TRUE(IsRectEmpty(&v->PageBeforeRect())) << c.Name;
      continue;
    }
    EXPECT_EQ(v->ThumbRect().left, a + c.ThumbLeft) << c.Name;
    EXPECT_EQ(v->ThumbRect().right, a + c.ThumbRight) << c.Name;
    EXPECT_EQ(v->ThumbRect().bottom, a) << c.Name;
    EXPECT_EQ(v->PageBeforeRect().left, a) << c.Name;
    EXPECT_EQ(v->PageBeforeRect().right, a + c.ThumbLeft) << c.Name;
    EXPECT_EQ(v->PageAfterRect().left, a + c.ThumbRight) << c.Name;
    EXPECT_EQ(v->PageAfterRect().right, a + 100) << c.Name;
    EXPECT_EQ(v->PositionFromThumb(), c.FromThumb) << c.Name;
  }
}

TEST_F(ScrollBarTest, NarrowAndDisabledBarsHaveNoThumb) {
  FBar->SetScrollParams(0, 99, 0, 10);
  FBar->SetBounds(10, 10, 2 * ArrowSize() - 4, ArrowSize());
  const TcxScrollBarViewInfo* v = FBar->ViewInfo();
  EXPECT_EQ(v->FirstArrowRect().right, ArrowSize() - 2) << "half the width each";
  EXPECT_EQ(v->LastArrowRect().left, ArrowSize() - 2);
  EXPECT_TRUE(IsRectEmpty(&v->ThumbRect()));
  FBar->SetBounds(10, 10, 100 + 2 * ArrowSize(), ArrowSize());
  EXPECT_FALSE(IsRectEmpty(&v->ThumbRect()));
  FBar->SetEnabled(false);
  EXPECT_TRUE(IsRectEmpty(&v->ThumbRect()));
}

TEST_F(ScrollBarTest, AVerticalBarLaysItsPartsOutDownwards) {
  FBar->SetKind(sbVertical);
  EXPECT_EQ(FBar->Width(), ArrowSize()) << "turning the bar swaps its sides";
  EXPECT_EQ(FBar->Height(), 100 + 2 * ArrowSize());
  FBar->SetBounds(10, 10, GetSystemMetrics(SM_CXVSCROLL), 100 + 2 * GetSystemMetrics(SM_CXVSCROLL));
  FBar->SetScrollParams(0, 99, 90, 10);
  const int a = GetSystemMetrics(SM_CXVSCROLL);
  EXPECT_EQ(FBar->ViewInfo()->ThumbRect().top, a + 90);
  EXPECT_EQ(FBar->ViewInfo()->ThumbRect().bottom, a + 100);
  EXPECT_EQ(FBar->HitTest(POINT{2, a + 95}), sbpThumbnail);
  EXPECT_EQ(FBar->HitTest(POINT{2, 2}), sbpLineUp);
  EXPECT_EQ(FBar->HitTest(POINT{2, a + 50}), sbpPageUp);
}

TEST_F(ScrollBarTest, RefusedParametersChangeNothing) {
  FBar->SetScrollParams(0, 50, 20, 5);
  int changes = 0;
  FBar->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  const struct { const char* Name; int Min, Max, Position, Page; } cases[] = {
      {"maximum below the minimum", 10, 5, 7, 0},
      {"maximum below the page size", 0, 5, 2, 10},
  };
  for (const auto& c : cases) {
    try {
      FBar->SetScrollParams(c.Min, c.Max, c.Position, c.Page);
      ADD_FAILURE() << c.Name << ": no exception";
    } catch (const EInvalidOperation& e) {
      EXPECT_STREQ(e.what(), "Scrollbar property out of range") << c.Name;
    }
    EXPECT_EQ(FBar->Min(), 0) << c.Name;
    EXPECT_EQ(FBar->Max(), 50) << c.Name;
    EXPECT_EQ(FBar->Position(), 20) << c.Name;
    EXPECT_EQ(FBar->PageSize(), 5) << c.Name;
  }
  EXPECT_THROW(FBar->SetMax(-1), EInvalidOperation);
  EXPECT_EQ(changes, 0);
  FBar->SetPosition(500);
  EXPECT_EQ(FBar->Position(), 50) << "a position is kept in range";
  EXPECT_EQ(changes, 1);
}

TEST_F(ScrollBarTest, OnScrollIsKeptInRange) {
  FBar->SetScrollParams(0, 99, 50, 10);
  std::vector<TScrollCode> codes;
  int answer = 1000;
  FBar->OnScroll = TScrollEvent::Lambda([&](TObject*, TScrollCode code, int& pos) {
    codes.push_back(code);
    pos = answer;
  });
  FBar->Scroll(scLineDown);
  EXPECT_EQ(FBar->Position(), 99);
  answer = -5;
  FBar->Scroll(scPageUp);
  EXPECT_EQ(FBar->Position(), 0);
  ASSERT_EQ(codes.size(), 2u);
  EXPECT_EQ(codes[0], scLineDown);
  EXPECT_EQ(codes[1], scPageUp);
  FBar->OnScroll = {};
  const struct { TScrollCode Code; int Position; } steps[] = {
      {scBottom, 99}, {scLineUp, 98}, {scPageUp, 97}, {scTop, 0}, {scLineUp, 0},
  };
  for (const auto& s : steps) {
    FBar->Scroll(s.Code);
    EXPECT_EQ(FBar->Position(), s.Position) << static_cast<int>(s.Code);
  }
}

TEST_F(ScrollBarTest, HoldingAnArrowRepeatsAtOnceThenSlowlyThenFast) {
  ShowForm();
  FBar->SetScrollParams(0, 1000, 0, 10);
  std::vector<TScrollCode> codes;
  FBar->OnScroll = TScrollEvent::Lambda([&](TObject*, TScrollCode code, int&) { codes.push_back(code); });
  const POINT arrow = Centre(FBar->ViewInfo()->LastArrowRect());
  const POINT onArrow = ScreenOf(arrow);
  SetCursorPos(onArrow.x, onArrow.y);
  ASSERT_TRUE(RunMessagesUntil([&] {
    POINT p;
    return GetCursorPos(&p) && p.x == onArrow.x && p.y == onArrow.y;
  }));
  Post(WM_LBUTTONDOWN, arrow, MK_LBUTTON);
  EXPECT_EQ(GetCapture(), FBar->Handle());
  EXPECT_EQ(FBar->Position(), 1) << "one step at once";
  EXPECT_EQ(FBar->PressedPart(), sbpLineDown);
  EXPECT_TRUE(FBar->Timer()->Enabled());
  EXPECT_EQ(FBar->Timer()->Interval(), 400u) << "the first repeat waits";
  ASSERT_TRUE(RunMessagesUntil([&] { return FBar->Position() == 2; }));
  EXPECT_EQ(FBar->Timer()->Interval(), 60u) << "later repeats come fast";
  ASSERT_TRUE(RunMessagesUntil([&] { return FBar->Position() >= 5; }));
  // Each tick scrolled once.
  for (TScrollCode c : codes) EXPECT_EQ(c, scLineDown);

  // Off the arrow the repeat pauses...
  const POINT off = Centre(FBar->ViewInfo()->PageBeforeRect());
  const POINT offScreen = ScreenOf(off);
  SetCursorPos(offScreen.x, offScreen.y);
  Post(WM_MOUSEMOVE, off, MK_LBUTTON);
  EXPECT_FALSE(FBar->Timer()->Enabled());
  RunMessagesUntilIdle();
  const int paused = FBar->Position();
  EXPECT_TRUE(RunTimerTicks(60, 4));
  EXPECT_EQ(FBar->Position(), paused);
  // ... and goes on when the mouse comes back.
  SetCursorPos(onArrow.x, onArrow.y);
  Post(WM_MOUSEMOVE, arrow, MK_LBUTTON);
  EXPECT_TRUE(FBar->Timer()->Enabled());
  EXPECT_TRUE(RunMessagesUntil([&] { return FBar->Position() >= paused + 2; }));

  codes.clear();
  Post(WM_LBUTTONUP, arrow);
  EXPECT_FALSE(FBar->Timer()->Enabled());
  EXPECT_EQ(FBar->PressedPart(), sbpNone);
  EXPECT_EQ(GetCapture(), nullptr);
  ASSERT_FALSE(codes.empty());
  EXPECT_EQ(codes.back(), scEndScroll);
  const int released = FBar->Position();
  EXPECT_TRUE(RunTimerTicks(60, 4));
  EXPECT_EQ(FBar->Position(), released);
}

TEST_F(ScrollBarTest, AThumbDraggedFarAcrossSnapsBack) {
  ShowForm();
  FBar->SetScrollParams(0, 99, 0, 10);
  std::vector<std::pair<TScrollCode, int>> scrolls;
  FBar->OnScroll = TScrollEvent::Lambda([&](TObject*, TScrollCode code, int& pos) { scrolls.push_back({code, pos}); });
  const POINT thumb = Centre(FBar->ViewInfo()->ThumbRect());
  Post(WM_LBUTTONDOWN, thumb, MK_LBUTTON);
  EXPECT_EQ(FBar->PressedPart(), sbpThumbnail);
  Post(WM_MOUSEMOVE, POINT{thumb.x + 45, thumb.y}, MK_LBUTTON);
  EXPECT_EQ(FBar->ViewInfo()->ThumbRect().left, ArrowSize() + 45);
  EXPECT_EQ(FBar->Position(), 45);
  ASSERT_FALSE(scrolls.empty());
  EXPECT_EQ(scrolls.back().first, scTrack);
  EXPECT_EQ(scrolls.back().second, 45);
  // Inside the tolerance zone (136 pixels across) the thumb still follows.
  Post(WM_MOUSEMOVE, POINT{thumb.x + 30, thumb.y + 100}, MK_LBUTTON);
  EXPECT_EQ(FBar->Position(), 30);
  // 200 pixels across: back to where the press found it.
  Post(WM_MOUSEMOVE, POINT{thumb.x + 30, thumb.y + 200}, MK_LBUTTON);
  EXPECT_EQ(FBar->Position(), 0);
  EXPECT_EQ(FBar->ViewInfo()->ThumbRect().left, ArrowSize());
  // Back in the zone it follows again; the release ends the scroll there.
  Post(WM_MOUSEMOVE, POINT{thumb.x + 20, thumb.y}, MK_LBUTTON);
  EXPECT_EQ(FBar->Position(), 20);
  scrolls.clear();
  Post(WM_LBUTTONUP, POINT{thumb.x + 20, thumb.y});
  ASSERT_EQ(scrolls.size(), 2u);
  EXPECT_EQ(scrolls[0].first, scPosition);
  EXPECT_EQ(scrolls[0].second, 20);
  EXPECT_EQ(scrolls[1].first, scEndScroll);
  EXPECT_EQ(FBar->Position(), 20);

  // With unlimited tracking the thumb follows however far the mouse goes.
  FBar->SetUnlimitedTracking(true);
  const POINT again = Centre(FBar->ViewInfo()->ThumbRect());
  Post(WM_LBUTTONDOWN, again, MK_LBUTTON);
  Post(WM_MOUSEMOVE, POINT{again.x + 10, again.y + 300}, MK_LBUTTON);
  EXPECT_EQ(FBar->Position(), 30);
  Post(WM_LBUTTONUP, POINT{again.x + 10, again.y + 300});
}

TEST_F(ScrollBarTest, PaintsThroughThePainterAndGivesItsHandlesBack) {
  const THandleCounts before = HandleCounts();
  {
    TForm* form = New<TForm>(nullptr);
    auto* bar = New<TcxScrollBar>(form);
    bar->SetParent(form);
    bar->SetScrollParams(0, 99, 40, 10);
    form->Show();
    RunMessagesUntilIdle();
    const Image image = ReadClientPixels(bar->Handle());
    ASSERT_EQ(image.Width, bar->Width());
    // The arrow glyph is drawn dark on the first arrow's face.
    const RECT arrow = bar->ViewInfo()->FirstArrowRect();
    int dark = 0;
    for (int y = arrow.top; y < arrow.bottom; ++y)
      for (int x = arrow.left; x < arrow.right; ++x) dark += image.At(x, y) == 0;
    EXPECT_GT(dark, 3);
    EXPECT_EQ(SystemScrollBarSize().cx, GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(SystemScrollBarSize().cy, GetSystemMetrics(SM_CYHSCROLL));
    IUnknown* marker = nullptr;
    EXPECT_EQ(bar->QueryInterface(__uuidof(IcxMarker), reinterpret_cast<void**>(&marker)), S_OK);
    Free(form);
  }
  EXPECT_EQ(HandleCounts(), before);
}

}  // namespace
