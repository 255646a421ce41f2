// The drawing helpers that work on controls: the parent's background behind
// a transparent control, invalidating transparent children, redrawing part
// of a visible window, and the designer's modified signal.
#include "foundation/Controls.h"
#include "panels/DrawingHelpers.h"
#include "panels/StatusPane.h"
#include "platform/Forms.h"
#include "tests/panels/PanelsTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <vector>

using namespace testing_support;

namespace {

// A windowless control that paints nothing itself.
class TBlankControl : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;
};

class HelperForm : public ::testing::Test {
protected:
  void SetUp() override {
    Form = New<TForm>(nullptr);
    Form->SetBounds(40, 40, 300, 160);
    Form->SetColor(clRed);
  }
  void TearDown() override { Free(Form); }
  template <class T>
  T* Add(int left, int top, int width, int height) {
    T* control = New<T>(Form);
    control->SetParent(Form);
    control->SetBounds(left, top, width, height);
    return control;
  }
  // Shown, painted, and with nothing left to paint.
  void ShowValidated() {
    Form->Show();
    RunMessagesUntilIdle();
    ValidateRect(Form->Handle(), nullptr);
  }
  void ExpectUpdateRect(const RECT& expected) {
    RECT update{};
    ASSERT_TRUE(GetUpdateRect(Form->Handle(), &update, FALSE));
    EXPECT_EQ(update.left, expected.left);
    EXPECT_EQ(update.top, expected.top);
    EXPECT_EQ(update.right, expected.right);
    EXPECT_EQ(update.bottom, expected.bottom);
  }
  TForm* Form = nullptr;
};

// The parent erases and paints its client area into the control's DC,
// shifted to the control's place: its colour, and a sibling where the
// sibling lies; the DC's origin and clipping are put back.
TEST_F(HelperForm, ParentBackgroundIsThePartOfTheParentBehindTheControl) {
  auto* control = Add<TBlankControl>(30, 10, 50, 40);
  auto* sibling = Add<TRzStatusPane>(40, 20, 20, 20);
  sibling->SetFrameStyle(fsNone);
  sibling->SetTransparent(false);
  sibling->SetColor(clBlue);
  Form->HandleNeeded();
  TProbeDIB dib(50, 40);
  PaintParentBackground(control, dib.DC(), false);
  EXPECT_EQ(dib.At(0, 0), RGB(255, 0, 0));
  EXPECT_EQ(dib.At(49, 39), RGB(255, 0, 0));
  EXPECT_EQ(dib.At(9, 10), RGB(255, 0, 0));
  EXPECT_EQ(dib.At(10, 10), RGB(0, 0, 255)) << "the sibling at (40, 20) is at (10, 10) of the control";
  EXPECT_EQ(dib.At(29, 29), RGB(0, 0, 255));
  EXPECT_EQ(dib.At(30, 30), RGB(255, 0, 0));
  POINT origin{-1, -1};
  GetViewportOrgEx(dib.DC(), &origin);
  EXPECT_EQ(origin.x, 0);
  EXPECT_EQ(origin.y, 0);
  HRGN clip = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(dib.DC(), clip), 0) << "no clipping left behind";
  DeleteObject(clip);

  // A control without a parent paints nothing.
  auto* orphan = New<TBlankControl>(nullptr);
  TProbeDIB untouched(10, 10, RGB(1, 2, 3));
  PaintParentBackground(orphan, untouched.DC(), true);
  EXPECT_EQ(untouched.At(5, 5), RGB(1, 2, 3));
  Free(orphan);
}

TEST_F(HelperForm, OnlyTransparentChildrenAreInvalidated) {
  auto* clear = Add<TRzStatusPane>(10, 10, 60, 20);
  auto* opaque = Add<TRzStatusPane>(100, 10, 60, 20);
  opaque->SetTransparent(false);
  Add<TBlankControl>(200, 10, 40, 20);  // publishes no Transparent
  ASSERT_TRUE(clear->Transparent());
  ShowValidated();
  InvalidateTransparentChildren(Form);
  ExpectUpdateRect(RECT{10, 10, 70, 30});
}

TEST_F(HelperForm, AVisibleWindowRedrawsTheRectangle) {
  ShowValidated();
  RedrawFrameIfVisible(Form->Handle(), RECT{5, 6, 50, 40});
  ExpectUpdateRect(RECT{5, 6, 50, 40});
}

TEST_F(HelperForm, TheDesignerHearsOfChangesOnlyAtDesignTimeAndAtRest) {
  auto* control = Add<TBlankControl>(10, 10, 20, 20);
  std::vector<TComponent*> signalled;
  const TDesignerModifiedHook old = SetDesignerModifiedHook([&](TComponent* form) { signalled.push_back(form); });
  NotifyDesignerModified(control);
  EXPECT_TRUE(signalled.empty()) << "at run time";
  Form->SetDesigning(true);
  NotifyDesignerModified(control);
  EXPECT_EQ(signalled, std::vector<TComponent*>{Form});
  control->BeginLoading();
  NotifyDesignerModified(control);
  EXPECT_EQ(signalled.size(), 1u) << "while loading";
  control->Loaded();
  NotifyDesignerModified(control);
  EXPECT_EQ(signalled.size(), 2u);
  SetDesignerModifiedHook(old);
  Form->SetDesigning(false);
}

}  // namespace
