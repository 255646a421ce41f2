// The splitter: the management window's layout read from its form, the
// user's position across resizes, the hot spot, dragging (a refusal, Escape),
// a hidden pane, a splitter smaller than its margins and its cursors. Also
// the management window's screenshot, with its toolbars.
#include "panels/Splitter.h"
#include "panels/StatusPane.h"
#include "panels/Toolbar.h"
#include "platform/ComCtrls.h"
#include "platform/FormResource.h"
#include "tests/panels/PanelsTestSupport.h"
#include "tests/platform/controls/ControlTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace testing_support;
using namespace control_tests;

// The management window's layout (ManagementForm.mvf).
class TManagementForm : public TForm {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TForm::TForm;

  // The toolbars' images: four coloured squares.
  void FormCreate(TObject*) { AddSquares(ImageList1, {clRed, clLime, clBlue, clYellow}); }

  TStatusBar* sbsys = nullptr;
  TRzSplitter* RzSplitter1 = nullptr;
  TPageControl* PageControl1 = nullptr;
  TRzToolbar* tbt = nullptr;
  TRzToolbar* tbb = nullptr;
  TPanel* vst = nullptr;
  TRzToolButton* RzToolButton1 = nullptr;
  TRzToolButton* RzToolButton2 = nullptr;
  TRzToolButton* RzToolButton3 = nullptr;
  TRzToolButton* tbadd = nullptr;
  TRzStatusPane* spthstat = nullptr;
  TRzStatusPane* sppgnum = nullptr;
  TCustomImageList* ImageList1 = nullptr;
};

const TClassInfo TManagementForm::ClassInfo{"TManagementForm", &TForm::ClassInfo, [](TObject* owner) -> TObject* {
                                              return new TManagementForm(static_cast<TComponent*>(owner));
                                            }};

namespace {

using F = TManagementForm;
const TPublishedRegistration managementFormRegistration(&F::ClassInfo, {
    Method<&F::FormCreate>("FormCreate"),
    Field<&F::sbsys>("sbsys"),
    Field<&F::RzSplitter1>("RzSplitter1"),
    Field<&F::PageControl1>("PageControl1"),
    Field<&F::tbt>("tbt"),
    Field<&F::tbb>("tbb"),
    Field<&F::vst>("vst"),
    Field<&F::RzToolButton1>("RzToolButton1"),
    Field<&F::RzToolButton2>("RzToolButton2"),
    Field<&F::RzToolButton3>("RzToolButton3"),
    Field<&F::tbadd>("tbadd"),
    Field<&F::spthstat>("spthstat"),
    Field<&F::sppgnum>("sppgnum"),
    Field<&F::ImageList1>("ImageList1"),
});

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != 0; }

int TextWidth(TFont* font, const AnsiString& text) {
  const TScreenDC dc;
  const TSelectObjectGuard selected(dc.Get(), font->Handle());
  RECT r{};
  DrawTextA(dc.Get(), text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
  return r.right - r.left;
}

void Redraw(TWinControl* control) {
  RedrawWindow(control->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RunMessagesUntilIdle();
}

TEST(ManagementWindow, TheFormLoadsTheSplitterAndTheToolbars) {
  RegisterClasses({&TRzSplitter::ClassInfo, &TRzToolbar::ClassInfo, &TRzToolButton::ClassInfo,
                   &TRzSpacer::ClassInfo, &TRzStatusPane::ClassInfo, &TImage::ClassInfo, &TPanel::ClassInfo,
                   &TPageControl::ClassInfo, &TTabSheet::ClassInfo, &TStatusBar::ClassInfo,
                   &TCustomImageList::ClassInfo});
  auto* form = New<TManagementForm>(nullptr);
  TRzSplitter* splitter = form->RzSplitter1;
  ASSERT_NE(splitter, nullptr);
  EXPECT_EQ(splitter->Position(), 258);
  // The window's client area as the client's: 726 x 504 above the status bar.
  form->SetClientSize(726, 504 + form->sbsys->Height());
  form->Show();
  RunMessagesUntilIdle();
  ASSERT_EQ(splitter->Width(), 726);
  ASSERT_EQ(splitter->Height(), 504);
  EXPECT_EQ(splitter->Position(), 258);
  EXPECT_PRED2(SameRect, splitter->BarRect(), (RECT{258, 0, 264, 504}));
  EXPECT_EQ(form->PageControl1->Parent(), splitter->UpperLeftPane());
  for (TControl* c : std::vector<TControl*>{form->tbt, form->tbb, form->vst})
    EXPECT_EQ(c->Parent(), splitter->LowerRightPane()) << c->Name();
  EXPECT_PRED2(SameRect, splitter->UpperLeftPane()->BoundsRect(), (RECT{0, 0, 258, 504}));
  EXPECT_PRED2(SameRect, splitter->LowerRightPane()->BoundsRect(), (RECT{264, 0, 726, 504}));
  EXPECT_EQ(splitter->ManualPosition(), 258);

  // The top toolbar: text options applied last, glyph-left 25-pixel buttons
  // at least 60 wide, captions shown, one row of 25 and 29 pixels high.
  TRzToolbar* tbt = form->tbt;
  EXPECT_EQ(tbt->TextOptions(), ttoSelectiveTextOnRight);
  EXPECT_EQ(tbt->RowHeight(), 25);
  EXPECT_EQ(tbt->Height(), 29);
  EXPECT_EQ(tbt->BorderSides(), TSides{sdBottom});
  int x = tbt->Margin();
  for (TRzToolButton* b : {form->RzToolButton1, form->RzToolButton2, form->RzToolButton3, form->tbadd}) {
    EXPECT_EQ(b->Width(), std::max(60, 16 + TextWidth(b->Font(), b->Caption()) + 12)) << b->Name();
    EXPECT_EQ(b->Height(), 25);
    EXPECT_TRUE(b->ShowCaption());
    EXPECT_EQ(b->Layout(), blGlyphLeft);
    EXPECT_EQ(b->Left(), x);
    x += b->Width();
  }
  EXPECT_EQ(form->tbb->Height(), 29);
  EXPECT_EQ(form->tbb->Top() + form->tbb->Height(), 504);
  EXPECT_EQ(form->vst->Top(), 29);
  EXPECT_EQ(form->vst->Height(), 504 - 58);

  form->spthstat->SetCaption("正在读取分类内容信息！");
  form->sppgnum->SetCaption("1/3");
  Redraw(form);
  SaveScreenshot(form->Handle(), "panels-management");
  // The gradient bar: its colours differ from top to bottom.
  const Image pixels = ReadClientPixels(splitter->Handle());
  EXPECT_NE(pixels.At(260, 2), pixels.At(260, 500));

  // Written back: the pane controls as the splitter's, with their names.
  const AnsiString text = WriteComponentText(form);
  EXPECT_NE(text.find("UpperLeftControls = ("), std::string::npos) << text;
  EXPECT_NE(text.find("LowerRightControls = ("), std::string::npos);
  EXPECT_NE(text.find("BarSize = ("), std::string::npos);
  Free(form);
}

class SplitterForm : public ::testing::Test {
protected:
  void SetUp() override {
    Form = std::make_unique<ShownForm>(40, 40, 460, 260, "Splitter");
    Splitter = Place<TRzSplitter>(Form->Form, 0, 0, 400, 200);
    Splitter->SetPosition(150);
    Splitter->UpperLeftPane()->SetColor(clWhite);
    Splitter->LowerRightPane()->SetColor(clSilver);
  }
  void TearDown() override { Form.reset(); }
  void Press(int x, int y) { PostMessageA(Splitter->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
  void Move(int x, int y) { PostMessageA(Splitter->Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, y)); }
  void Release(int x, int y) { PostMessageA(Splitter->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y)); }
  std::unique_ptr<ShownForm> Form;
  TRzSplitter* Splitter = nullptr;
};

TEST_F(SplitterForm, DraggingTheBarMovesIt) {
  Form->Show();
  Press(152, 100);
  Move(182, 100);
  RunMessagesUntilIdle();
  EXPECT_TRUE(Splitter->Sliding());
  EXPECT_EQ(Splitter->Position(), 150) << "without real-time dragging the bar moves on release";
  Release(182, 100);
  RunMessagesUntilIdle();
  EXPECT_EQ(Splitter->Position(), 180);
  EXPECT_EQ(Splitter->ManualPosition(), 180);
  EXPECT_EQ(Splitter->UpperLeftPane()->Width(), 180);
  EXPECT_EQ(Splitter->LowerRightPane()->Left(), 184);
  EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(SplitterForm, ShrinkingThenGrowingRestoresTheUsersPosition) {
  Form->Show();
  Splitter->SetPositionByUser(300);
  Splitter->SetWidth(200);
  EXPECT_EQ(Splitter->Position(), 200 - 4) << "clamped to the room left";
  Splitter->SetWidth(400);
  EXPECT_EQ(Splitter->Position(), 300);
  // A position belonging to the lower right pane keeps that pane's size.
  Splitter->SetFixedPane(fpLowerRight);
  Splitter->SetWidth(500);
  EXPECT_EQ(Splitter->Position(), 400);
  EXPECT_EQ(Splitter->FixedSize(), 100);
}

TEST_F(SplitterForm, AVetoFromOnChangingHolds) {
  int asked = 0;
  Splitter->OnChanging = TPositionChangingEvent::Lambda([&](TObject*, int, bool& allow) {
    ++asked;
    allow = false;
  });
  Form->Show();
  Press(152, 100);
  Move(200, 100);
  Release(200, 100);
  RunMessagesUntilIdle();
  EXPECT_GT(asked, 0);
  EXPECT_EQ(Splitter->Position(), 150);
  Splitter->SetPosition(90);
  EXPECT_EQ(Splitter->Position(), 150);
}

// Escape ends a drag where it began, and the inverted bar is gone.
TEST_F(SplitterForm, EscapeMidDragLeavesThePositionAndNoTrace) {
  Form->Show();
  Redraw(Form->Form);
  const Image before = ReadWindowPixels(Form->Form->Handle());
  Press(152, 100);
  Move(250, 100);
  RunMessagesUntilIdle();
  ASSERT_TRUE(Splitter->Sliding());
  const Image during = ReadWindowPixels(Form->Form->Handle());
  EXPECT_NE(during, before) << "the drag shows an inverted bar";
  PostMessageA(Splitter->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  RunMessagesUntilIdle();
  EXPECT_FALSE(Splitter->Sliding());
  EXPECT_EQ(Splitter->Position(), 150);
  EXPECT_EQ(GetCapture(), nullptr);
  const Image after = ReadWindowPixels(Form->Form->Handle());
  EXPECT_EQ(after, before) << "no trace of the inverted bar";
  Release(250, 100);
  RunMessagesUntilIdle();
  EXPECT_EQ(Splitter->Position(), 150);
}

// A click in the first half of a hot spot of both directions collapses the
// first pane, ignoring the margins; a second click brings it back.
TEST_F(SplitterForm, TheHotSpotCollapsesAndRestores) {
  Splitter->SetMarginMin(50);
  Splitter->SetHotSpotVisible(true);
  Splitter->SetHotSpotDirection(hsdBoth);
  int clicks = 0;
  Splitter->OnHotSpotClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
  EXPECT_EQ(Splitter->SplitterWidth(), 7);
  Form->Show();
  const RECT spot = Splitter->HotSpotRect();
  EXPECT_EQ(spot.bottom - spot.top, 2 * (80 / 2)) << "40 % of the bar";
  const int cx = (spot.left + spot.right) / 2;
  Press(cx, spot.top + 5);
  Release(cx, spot.top + 5);
  RunMessagesUntilIdle();
  EXPECT_EQ(Splitter->Position(), 0);
  EXPECT_TRUE(Splitter->HotSpotClosedToMin());
  EXPECT_EQ(clicks, 1);
  RunMessagesUntilIdle();
  SaveScreenshot(Form->Form->Handle(), "panels-splitter-hotspot");
  const RECT closed = Splitter->HotSpotRect();
  Press((closed.left + closed.right) / 2, closed.top + 5);
  Release((closed.left + closed.right) / 2, closed.top + 5);
  RunMessagesUntilIdle();
  EXPECT_EQ(Splitter->Position(), 150);
  EXPECT_FALSE(Splitter->HotSpotClosed());
  // The second half collapses the other pane.
  Press(cx, spot.bottom - 5);
  Release(cx, spot.bottom - 5);
  RunMessagesUntilIdle();
  EXPECT_TRUE(Splitter->HotSpotClosedToMax());
  EXPECT_EQ(Splitter->Position(), 400 - 7);
  EXPECT_EQ(clicks, 3);
}

TEST_F(SplitterForm, AHiddenPaneLeavesTheOtherTheWholeArea) {
  Form->Show();
  Splitter->LowerRight()->SetVisible(false);
  EXPECT_PRED2(SameRect, Splitter->UpperLeftPane()->BoundsRect(), (RECT{0, 0, 400, 200}));
  EXPECT_EQ(Splitter->BarRect().right - Splitter->BarRect().left, 0);
  Splitter->LowerRight()->SetVisible(true);
  Splitter->UpperLeft()->SetVisible(false);
  EXPECT_PRED2(SameRect, Splitter->LowerRightPane()->BoundsRect(), (RECT{0, 0, 400, 200}));
  Splitter->UpperLeft()->SetVisible(true);
  EXPECT_EQ(Splitter->LowerRightPane()->Left(), 154);
}

TEST_F(SplitterForm, StackedPanesSplitTheHeight) {
  Splitter->SetOrientation(orVertical);
  Splitter->SetPosition(80);
  EXPECT_PRED2(SameRect, Splitter->BarRect(), (RECT{0, 80, 400, 84}));
  EXPECT_PRED2(SameRect, Splitter->LowerRightPane()->BoundsRect(), (RECT{0, 84, 400, 200}));
  Splitter->SetUsePercent(true);
  Splitter->SetPercent(50);
  EXPECT_EQ(Splitter->Position(), (200 - 2) / 2);
}

// Margins larger than the splitter and a splitter narrower than its
// margins: no negative position, margin or pane.
TEST_F(SplitterForm, ASplitterSmallerThanItsMarginsStaysAtZero) {
  Form->Show();
  Splitter->SetMarginMin(100);
  Splitter->SetMarginMax(350);
  EXPECT_EQ(Splitter->MarginMax(), 300) << "the size minus the other";
  Splitter->SetWidth(60);
  EXPECT_GE(Splitter->Position(), 0);
  EXPECT_EQ(Splitter->Position(), 0);
  EXPECT_GE(Splitter->UpperLeftPane()->Width(), 0);
  EXPECT_GE(Splitter->LowerRightPane()->Width(), 0);
  Splitter->SetMarginMin(0);
  Splitter->SetMarginMax(0);
  Splitter->SetMarginMax(500);
  Splitter->SetMarginMin(500);
  EXPECT_EQ(Splitter->MarginMax(), 60);
  EXPECT_EQ(Splitter->MarginMin(), 0) << "never below 0";
}

TEST(SplitterCursors, TheProgramCarriesTheSplittersCursors) {
  for (const char* name : {"RZSPLIT_HORZ", "RZSPLIT_HORZHOTSPOT", "RZSPLIT_VERT", "RZSPLIT_VERTHOTSPOT"}) {
    const HCURSOR cursor = LoadCursorA(GetModuleHandleA(nullptr), name);
    EXPECT_NE(cursor, nullptr) << name;
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info)) << name;
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, std::string(name).find("VERT") != std::string::npos ? 15u : 16u) << name;
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
  }
}

}  // namespace
