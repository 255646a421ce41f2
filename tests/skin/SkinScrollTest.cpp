// Scroll-bar panels, track bars and their walk on real windows.
#include "platform/ComCtrls.h"
#include "platform/ListView.h"
#include "platform/Memo.h"
#include "platform/Messages.h"
#include "platform/StdCtrls.h"
#include "skin/SkinDraw.h"
#include "skin/SkinManage.h"
#include "skin/SkinScroll.h"
#include "tests/skin/SkinFormTest.h"

#include <functional>

using namespace skin_tests;
using testing_support::Image;
using testing_support::ReadClientPixels;
using testing_support::Rgb;
using testing_support::RunMessagesUntil;
using testing_support::RunMessagesUntilIdle;
using testing_support::SaveScreenshot;

namespace {

TEST(SkinScrollRules, ArrowAndGripFramesByDirectionAndState) {
  struct {
    bool Vertical, Second, Pressed, Hot;
    int Want;
  } arrows[] = {
      {false, false, false, false, 1}, {false, false, true, false, 2}, {false, false, false, true, 4},
      {false, true, false, false, 5},  {false, true, true, false, 6},  {false, true, false, true, 8},
      {true, false, false, false, 9},  {true, false, true, false, 10}, {true, false, false, true, 12},
      {true, true, false, false, 13},  {true, true, true, false, 14},  {true, true, false, true, 16},
  };
  for (const auto& c : arrows) EXPECT_EQ(ScrollArrowFrame(c.Vertical, c.Second, c.Pressed, c.Hot), c.Want);
  EXPECT_EQ(ScrollGripFrame(false, false, false), 17);
  EXPECT_EQ(ScrollGripFrame(false, true, false), 18);
  EXPECT_EQ(ScrollGripFrame(true, false, true), 22);
}

TEST(SkinScrollRules, ThumbsOfScrollInfoAndOfTheControl) {
  // A page so small that the thumb would be 7 pixels or less: exactly 8.
  EXPECT_EQ(ThumbOfScrollInfo(200, 17, 0, 1000, 2, 0).Length, 8);
  EXPECT_EQ(ThumbOfScrollInfo(200, 17, 0, 1000, 2, 0).Start, 17);
  EXPECT_EQ(ThumbOfScrollInfo(200, 17, 0, 1000, 2, 500).Start, MulDiv(166 - 8, 500, 1000) + 17);
  // A larger page keeps its length.
  EXPECT_EQ(ThumbOfScrollInfo(200, 17, 0, 100, 51, 0).Length, MulDiv(166, 50, 100));
  // Without a page the thumb is an arrow long.
  EXPECT_EQ(ThumbOfScrollInfo(200, 17, 0, 100, 0, 50).Length, 17);
  EXPECT_EQ(ThumbOfScrollInfo(200, 17, 0, 100, 0, 50).Start, MulDiv(200 - 51, 50, 100) + 17);
  // Max = Min: a range of 9999999, no division by zero.
  EXPECT_EQ(ThumbOfScrollInfo(200, 17, 5, 5, 0, 5).Start, 17);
  EXPECT_EQ(ThumbOfScrollInfo(200, 17, 5, 5, 10, 6).Length, 8);
  EXPECT_EQ(ThumbOfControl(200, 17, 5, 5, 0, 6).Start, 17);
  EXPECT_EQ(ThumbOfControl(200, 17, 5, 5, 10, 5).Length, 0);
  EXPECT_EQ(ThumbOfControl(200, 17, 0, 100, 0, 50).Start, MulDiv(200 - 51, 50, 100) + 17);
  // An arrow image more than 2 pixels off the system's bar width gives way.
  EXPECT_EQ(ScrollThickness(19, 17), 19);
  EXPECT_EQ(ScrollThickness(20, 17), 17);
  EXPECT_EQ(ScrollThickness(15, 17), 15);
}

class SkinScrollTest : public SkinFormTest {
protected:
  struct TScrollForm {
    TForm* Form = nullptr;
    TMemo* Memo = nullptr;
    TScrollBar* Bar = nullptr;
    TTrackBar* Track = nullptr;
  };

  TScrollForm MakeScrollForm() {
    TScrollForm g;
    g.Form = MakeForm("Scroll bars", 50, 50, 420, 300);
    g.Memo = new TMemo(g.Form);
    g.Memo->SetParent(g.Form);
    g.Memo->SetBounds(10, 10, 200, 150);
    g.Memo->SetScrollBars(ssBoth);
    g.Memo->SetWordWrap(false);
    AnsiString text;
    for (int i = 0; i < 60; ++i) text += "Line " + std::to_string(i) + " of a memo wide enough to scroll sideways\r\n";
    g.Memo->SetText(text);
    g.Bar = new TScrollBar(g.Form);
    g.Bar->SetParent(g.Form);
    g.Bar->SetKind(sbVertical);
    g.Bar->SetBounds(230, 10, 17, 200);
    g.Bar->SetParams(0, 0, 1000);
    g.Bar->SetPageSize(2);
    g.Track = new TTrackBar(g.Form);
    g.Track->SetParent(g.Form);
    g.Track->SetBounds(260, 10, 140, 40);
    g.Track->SetPosition(4);
    return g;
  }

  TWinSkinForm* ShowSkinned(TForm* form) {
    ShowAndActivate(form);
    TWinSkinForm* skinner = WaitForSkinner(form->Handle());
    RunMessagesUntilIdle();
    return skinner;
  }
};

TEST_F(SkinScrollTest, AMemoGetsTwoPanelsAndACornerHiddenWithIt) {
  TSkinData* data = MakeSkinData();
  TScrollForm g = MakeScrollForm();
  TWinSkinForm* skinner = ShowSkinned(g.Form);
  ASSERT_NE(skinner, nullptr);
  auto* s = ObjectAs<TSkinScrollbar>(skinner->FindSkinControlOf(g.Memo));
  ASSERT_NE(s, nullptr);
  ASSERT_NE(s->HorzBar(), nullptr);
  ASSERT_NE(s->VertBar(), nullptr);
  EXPECT_TRUE(s->HorzBar()->Shown());
  EXPECT_TRUE(s->VertBar()->Shown());
  EXPECT_TRUE(IsWindowVisible(s->VertBar()->Handle()));
  EXPECT_TRUE(s->DrawBorder());
  // The panel lies exactly over the system's bar.
  SCROLLBARINFO info{};
  info.cbSize = sizeof(info);
  ASSERT_TRUE(GetScrollBarInfo(g.Memo->Handle(), OBJID_VSCROLL, &info));
  RECT panel{};
  GetWindowRect(s->VertBar()->Handle(), &panel);
  EXPECT_EQ(panel.left, info.rcScrollBar.left);
  EXPECT_EQ(panel.top, info.rcScrollBar.top);
  EXPECT_EQ(panel.bottom, info.rcScrollBar.bottom);
  // The arrows show their normal frames, the track the skin's.
  RedrawWindow(g.Memo->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
  EXPECT_EQ(s->VertBar()->FirstArrowFrame(), 9);
  EXPECT_EQ(s->VertBar()->SecondArrowFrame(), 13);
  EXPECT_EQ(s->HorzBar()->FirstArrowFrame(), 1);
  EXPECT_EQ(s->HorzBar()->ThumbFrame(), 1);
  // The corner box is in the skin colour.
  const RECT corner = s->CornerRect();
  ASSERT_LT(corner.left, corner.right);
  HDC dc = GetWindowDC(g.Memo->Handle());
  EXPECT_EQ(Rgb(GetPixel(dc, (corner.left + corner.right) / 2, (corner.top + corner.bottom) / 2)),
            Rgb(ColorToRGB(data->Colors(ccButtonFace))));
  ReleaseDC(g.Memo->Handle(), dc);
  // The panel shows the skin's pixels, not the system's bar: the middle of
  // the up arrow is frame 9 of the arrow strip.
  SaveScreenshot(g.Form->Handle(), "skin-scrollbars");
  g.Memo->SetVisible(false);
  RunMessagesUntilIdle();
  EXPECT_FALSE(IsWindowVisible(s->VertBar()->Handle()));
  EXPECT_FALSE(IsWindowVisible(s->HorzBar()->Handle()));
  g.Memo->SetVisible(true);
  RunMessagesUntilIdle();
  EXPECT_TRUE(IsWindowVisible(s->VertBar()->Handle()));
}

// A window whose posted WM_APP runs the test's check while the system's
// scroll tracking is in its loop.
std::function<void()>* TrackingCheck = nullptr;
LRESULT CALLBACK CheckProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_APP && TrackingCheck) (*TrackingCheck)();
  return DefWindowProcA(wnd, msg, wp, lp);
}

TEST_F(SkinScrollTest, APressedUpArrowShowsItsPressedFrameWhileTheSystemScrolls) {
  MakeSkinData();
  TScrollForm g = MakeScrollForm();
  TWinSkinForm* skinner = ShowSkinned(g.Form);
  ASSERT_NE(skinner, nullptr);
  auto* s = ObjectAs<TSkinScrollbar>(skinner->FindSkinControlOf(g.Memo));
  ASSERT_NE(s, nullptr);
  const HWND memo = g.Memo->Handle();
  SendMessageA(memo, WM_VSCROLL, SB_BOTTOM, 0);
  RunMessagesUntilIdle();
  const LRESULT firstLine = SendMessageA(memo, EM_GETFIRSTVISIBLELINE, 0, 0);
  ASSERT_GT(firstLine, 0);
  WNDCLASSA wc{};
  wc.lpfnWndProc = CheckProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "SkinScrollCheck";
  RegisterClassA(&wc);
  HWND check = CreateWindowA("SkinScrollCheck", "", 0, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
  int frameWhilePressed = 0;
  bool pressedWhileTracking = false;
  LRESULT lineWhileTracking = -1;
  std::function<void()> probe = [&] {
    frameWhilePressed = s->VertBar()->FirstArrowFrame();
    pressedWhileTracking = s->VertBar()->Pressed();
    lineWhileTracking = SendMessageA(memo, EM_GETFIRSTVISIBLELINE, 0, 0);
  };
  TrackingCheck = &probe;
  PostMessageA(check, WM_APP, 0, 0);
  PostMessageA(memo, WM_LBUTTONUP, 0, 0);
  SendMessageA(s->VertBar()->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  TrackingCheck = nullptr;
  DestroyWindow(check);
  EXPECT_TRUE(pressedWhileTracking);
  EXPECT_EQ(frameWhilePressed, 10);
  EXPECT_EQ(lineWhileTracking, firstLine - 1);
  EXPECT_FALSE(s->VertBar()->Pressed());
  RunMessagesUntilIdle();
  EXPECT_NE(s->VertBar()->FirstArrowFrame(), 10);
}

TEST_F(SkinScrollTest, AScrollBarControlWithATinyPageGetsAnEightPixelThumb) {
  MakeSkinData();
  TScrollForm g = MakeScrollForm();
  TWinSkinForm* skinner = ShowSkinned(g.Form);
  ASSERT_NE(skinner, nullptr);
  auto* s = ObjectAs<TSkinScControl>(skinner->FindSkinControlOf(g.Bar));
  ASSERT_NE(s, nullptr);
  ASSERT_NE(s->Bar(), nullptr);
  s->Bar()->Repaint();
  EXPECT_EQ(s->Bar()->ThumbEnd() - s->Bar()->ThumbStart(), 8);
  // Max = Min paints without dividing by zero.
  g.Bar->SetParams(0, 0, 0);
  s->Bar()->Repaint();
  EXPECT_GT(s->Bar()->PaintCount(), 1);
}

TEST_F(SkinScrollTest, ATrackBarListedAsTrackbarShowsThumbFrameTwoAndIgnoresTheSkinNotice) {
  TSkinData* data = MakeSkinData();
  data->Skin3rd()->Add("TTrackBar=trackbar");
  TScrollForm g = MakeScrollForm();
  TWinSkinForm* skinner = ShowSkinned(g.Form);
  ASSERT_NE(skinner, nullptr);
  auto* s = ObjectAs<TSkinTrackBar>(skinner->FindSkinControlOf(g.Track));
  ASSERT_NE(s, nullptr);
  // The engine's "just skinned" notice shares CN_NOTIFY's number; its
  // lParam is no header and is passed on untouched.
  static_assert(CN_NOTIFY == SM_SKINNOTICE);
  g.Track->Perform(CN_NOTIFY, 0, SkinMagic);
  SendMessageA(g.Track->Handle(), SM_SKINNOTICE, 0, SkinMagic);
  RedrawWindow(g.Track->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  EXPECT_TRUE(s->ThumbDrawn());
  EXPECT_TRUE(s->ChannelDrawn());
  RECT t{};
  SendMessageA(g.Track->Handle(), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&t));
  TDataSkinObject* thumb = data->Object(soTrackThumbHorz);
  ASSERT_NE(thumb, nullptr);
  const Image shown = ReadClientPixels(g.Track->Handle());
  auto want = NewSkinBitmap(shown.Width, shown.Height);
  HDC dc = want->Canvas()->Handle();
  FillRectColor(dc, {0, 0, shown.Width, shown.Height}, clFuchsia);
  DrawStripFrameMasked(dc, t, 5, 2, thumb->Bitmap.get());
  const POINT mid{(t.left + t.right) / 2, (t.top + t.bottom) / 2};
  const COLORREF expected = GetPixel(dc, mid.x, mid.y);
  ASSERT_NE(expected, RGB(255, 0, 255));
  EXPECT_EQ(shown.At(mid.x, mid.y), Rgb(expected));
  SaveScreenshot(g.Form->Handle(), "skin-trackbar");
}

TEST_F(SkinScrollTest, AListViewsHeaderHighlightsOneItemAtATime) {
  // The real cursor, wherever an earlier program left it, must not make an
  // item hot before the test moves over them.
  SetCursorPos(1279, 1023);
  TSkinData* data = MakeSkinData();
  TForm* form = MakeForm("Header", 60, 60, 360, 220);
  auto* list = new TListView(form);
  list->SetParent(form);
  list->SetBounds(10, 10, 320, 150);
  list->SetViewStyle(TViewStyle::vsReport);
  for (const char* caption : {"Name", "Size", "Kind"}) {
    TListColumn* column = list->Columns()->Add();
    column->SetCaption(caption);
    column->SetWidth(90);
  }
  TWinSkinForm* skinner = ShowSkinned(form);
  ASSERT_NE(skinner, nullptr);
  auto* s = ObjectAs<TSkinListView>(skinner->FindSkinControlOf(list));
  ASSERT_NE(s, nullptr);
  ASSERT_NE(s->Header(), nullptr);
  TSkinHeader* header = s->Header();
  const HWND wnd = header->Handle();
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_EQ(header->ItemRects().size(), 3u);
  EXPECT_EQ(header->HotItem(), -1);
  const Image before = ReadClientPixels(wnd);
  for (int item : {0, 1, 2, 1}) {
    const RECT& r = header->ItemRects()[static_cast<size_t>(item)];
    SendMessageA(wnd, WM_MOUSEMOVE, 0, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    EXPECT_EQ(header->HotItem(), item);
  }
  // The hot item shows frame 2 of the strip: its face differs from before,
  // the others' do not.
  const Image hot = ReadClientPixels(wnd);
  const RECT& second = header->ItemRects()[1];
  const RECT& first = header->ItemRects()[0];
  EXPECT_NE(hot.At(second.left + 2, 2), before.At(second.left + 2, 2));
  EXPECT_EQ(hot.At(first.left + 2, 2), before.At(first.left + 2, 2));
  SendMessageA(wnd, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(header->HotItem(), -1);
  EXPECT_EQ(ReadClientPixels(wnd), before);
  (void)data;
}

TEST_F(SkinScrollTest, HandleCountsStayFlatOverSkinAndUnskinCycles) {
  TSkinData* data = MakeSkinData();
  data->Skin3rd()->Add("TTrackBar=trackbar");
  TScrollForm g = MakeScrollForm();
  TWinSkinForm* skinner = ShowSkinned(g.Form);
  ASSERT_NE(skinner, nullptr);
  auto cycle = [&] {
    skinner->SkinFormControls(g.Form);
    RedrawWindow(g.Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    skinner->FreeSkinControls();
  };
  skinner->FreeSkinControls();
  cycle();
  RunMessagesUntilIdle();
  const THandleCounts before = HandleCounts();
  for (int i = 0; i < 200; ++i) cycle();
  RunMessagesUntilIdle();
  EXPECT_EQ(HandleCounts(), before);
}

}  // namespace
