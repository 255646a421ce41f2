// The panel base on a form: its borders and client area, the children's
// enabled states while it is disabled, transparency, the border strips a
// resize repaints, loading older forms, and docked clients' grabbers.
#include "panels/Panel.h"
#include "platform/FormResource.h"
#include "tests/panels/PanelsTestSupport.h"
#include "tests/platform/controls/ControlTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;
using namespace control_tests;

namespace {

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != 0; }

void Redraw(TWinControl* control) {
  RedrawWindow(control->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RunMessagesUntilIdle();
}

// The toolbars of the client: a groove along the bottom edge only.
TEST(Panel, AGrooveOnTheBottomTakesTwoPixelsThereOnly) {
  ShownForm form(40, 40, 300, 200, "Panel groove");
  auto* panel = Place<TRzCustomPanel>(form.Form, 10, 10, 200, 40);
  panel->SetBorderOuter(fsGroove);
  panel->SetBorderSides(TSides{sdBottom});
  panel->SetBorderWidth(0);
  panel->SetVisualStyle(vsClassic);
  panel->SetColor(clBtnFace);
  auto* child = Place<TRzCustomPanel>(panel, 0, 0, 20, 20);
  child->SetBorderOuter(fsNone);
  child->SetAlign(alClient);
  form.Show();
  EXPECT_PRED2(SameRect, panel->ClientRect(), (RECT{0, 0, 200, 38}));
  EXPECT_PRED2(SameRect, child->BoundsRect(), (RECT{0, 0, 200, 38}));
  child->SetVisible(false);
  Redraw(panel);
  const Image pixels = ReadClientPixels(panel->Handle());
  EXPECT_EQ(pixels.At(100, 38), Rgb(Sys(COLOR_BTNSHADOW)));
  EXPECT_EQ(pixels.At(100, 39), Rgb(Sys(COLOR_BTNHIGHLIGHT)));
  EXPECT_EQ(pixels.At(100, 0), Rgb(Sys(COLOR_BTNFACE))) << "no groove on top";
  EXPECT_EQ(pixels.At(0, 20), Rgb(Sys(COLOR_BTNFACE))) << "none at the left";
}

TEST(Panel, TheClientAreaLosesEachFrameOnItsSides) {
  auto* panel = New<TRzCustomPanel>(nullptr);
  panel->SetBounds(0, 0, 100, 60);
  const struct {
    const char* Name;
    TFrameStyle Outer, Inner;
    TSides Sides;
    int BorderWidth;
    RECT Client;  // what ClientRect answers (the border width stays in it)
  } cases[] = {
      {"raised all", fsRaised, fsNone, sdAllSides, 0, {2, 2, 98, 58}},
      {"flat and lowered", fsFlat, fsLowered, sdAllSides, 0, {3, 3, 97, 57}},
      {"status with bevel 1", fsStatus, fsNone, TSides{sdLeft, sdTop}, 0, {1, 1, 100, 60}},
      {"none with border 4", fsNone, fsNone, sdAllSides, 4, {0, 0, 100, 60}},
      {"bump right", fsBump, fsNone, TSides{sdRight}, 3, {0, 0, 98, 60}},
  };
  for (const auto& c : cases) {
    panel->SetBorderOuter(c.Outer);
    panel->SetBorderInner(c.Inner);
    panel->SetBorderSides(c.Sides);
    panel->SetBorderWidth(c.BorderWidth);
    EXPECT_PRED2(SameRect, panel->ClientRect(), c.Client) << c.Name;
    const RECT inside = panel->ShrinkForBorders(RECT{0, 0, 100, 60}, true);
    RECT expected = c.Client;
    InflateRect(&expected, -c.BorderWidth, -c.BorderWidth);
    EXPECT_PRED2(SameRect, inside, expected) << c.Name;
  }
  Free(panel);
}

TEST(Panel, AnAlignedPanelKeepsTheEdgeItIsDockedAt) {
  ShownForm form(40, 40, 300, 200, "Panel edges");
  auto* bottom = Place<TRzCustomPanel>(form.Form, 0, 0, 50, 40);
  bottom->SetAlign(alBottom);
  auto* right = Place<TRzCustomPanel>(form.Form, 0, 0, 50, 40);
  right->SetAlign(alRight);
  form.Show();
  const int bottomEdge = bottom->Top() + bottom->Height(), rightEdge = right->Left() + right->Width();
  bottom->SetHeight(60);
  right->SetWidth(80);
  EXPECT_EQ(bottom->Top() + bottom->Height(), bottomEdge);
  EXPECT_EQ(bottom->Height(), 60);
  EXPECT_EQ(right->Left() + right->Width(), rightEdge);
  EXPECT_EQ(right->Width(), 80);
}

// Each row: the child's state before, the change made while the panel is
// disabled, and the child's state once the panel is enabled again.
TEST(Panel, ChildrenGetTheirEnabledStatesBack) {
  ShownForm form(40, 40, 300, 200, "Panel states");
  auto* panel = Place<TRzCustomPanel>(form.Form, 10, 10, 200, 100);
  const struct {
    const char* Name;
    bool EnabledBefore;
    bool EnabledAfter;
  } cases[] = {{"enabled", true, true}, {"already disabled", false, false}};
  std::vector<TControl*> children;
  for (const auto& c : cases) {
    auto* child = Place<TRzCustomPanel>(panel, 0, 0, 20, 20);
    child->SetEnabled(c.EnabledBefore);
    children.push_back(child);
  }
  form.Show();
  panel->SetEnabled(false);
  EXPECT_EQ(panel->EnabledStateCount(), 2);
  for (TControl* child : children) EXPECT_FALSE(child->Enabled());
  // Added while disabled: enabled afterwards.
  auto* added = Place<TRzCustomPanel>(panel, 0, 30, 20, 20);
  added->SetEnabled(false);
  panel->SetEnabled(true);
  for (size_t i = 0; i < children.size(); ++i) EXPECT_EQ(children[i]->Enabled(), cases[i].EnabledAfter) << cases[i].Name;
  EXPECT_TRUE(added->Enabled());
  EXPECT_EQ(panel->EnabledStateCount(), 0);
}

// A child freed while the panel remembers it leaves the list: a control
// made later at the same address takes nothing of its state.
TEST(Panel, AChildFreedWhileDisabledIsForgotten) {
  ShownForm form(40, 40, 300, 200, "Panel freed child");
  auto* panel = Place<TRzCustomPanel>(form.Form, 10, 10, 200, 100);
  auto* keep = Place<TRzCustomPanel>(panel, 0, 0, 20, 20);
  auto* gone = Place<TRzCustomPanel>(panel, 30, 0, 20, 20);
  gone->SetEnabled(false);
  panel->SetEnabled(false);
  ASSERT_EQ(panel->EnabledStateCount(), 2);
  Free(gone);
  EXPECT_EQ(panel->EnabledStateCount(), 1);
  bool enabled = false;
  EXPECT_FALSE(panel->EnabledStateOf(gone, enabled));
  auto* fresh = Place<TRzCustomPanel>(panel, 30, 0, 20, 20);
  panel->SetEnabled(true);
  EXPECT_TRUE(keep->Enabled());
  EXPECT_TRUE(fresh->Enabled());
}

TEST(Panel, ATransparentPanelShowsItsParentsPixels) {
  ShownForm form(40, 40, 300, 200, "Panel transparent");
  const TColor green = RGB(20, 160, 40);
  auto* host = Place<TPanel>(form.Form, 10, 10, 260, 140);
  host->SetBevelOuter(bvNone);
  host->SetCaption("");
  host->SetColor(green);
  auto* panel = Place<TRzCustomPanel>(host, 20, 20, 120, 80);
  panel->SetColor(clBlue);
  panel->SetBorderOuter(fsNone);
  panel->SetTransparent(true);
  form.Show();
  Redraw(form.Form);
  const Image pixels = ReadClientPixels(panel->Handle());
  EXPECT_EQ(pixels.At(60, 40), Rgb(green));
  EXPECT_EQ(pixels.At(1, 1), Rgb(green));
  panel->SetTransparent(false);
  Redraw(form.Form);
  EXPECT_EQ(ReadClientPixels(panel->Handle()).At(60, 40), Rgb(RGB(0, 0, 255)));
}

TEST(Panel, AGradientPanelFillsFromTheStartColourOnTop) {
  ShownForm form(40, 40, 300, 200, "Panel gradient");
  auto* panel = Place<TRzCustomPanel>(form.Form, 10, 10, 200, 100);
  panel->SetBorderOuter(fsNone);
  panel->SetVisualStyle(vsGradient);
  panel->SetGradientColorStyle(gcsCustom);
  panel->SetGradientColorStart(RGB(255, 0, 0));
  panel->SetGradientColorStop(RGB(0, 0, 255));
  form.Show();
  Redraw(panel);
  const Image pixels = ReadClientPixels(panel->Handle());
  EXPECT_EQ(pixels.At(100, 0), Rgb(RGB(255, 0, 0)));
  EXPECT_EQ(pixels.At(100, 99), Rgb(RGB(0, 0, 255)));
}

TEST(Panel, TheCaptionWrapsAndAlignsVertically) {
  ShownForm form(40, 40, 300, 200, "Panel caption");
  auto* panel = Place<TRzCustomPanel>(form.Form, 10, 10, 200, 100);
  panel->SetBorderOuter(fsNone);
  panel->SetCaption("Mevra");
  panel->Font()->SetColor(clBlack);
  panel->SetColor(clWhite);
  form.Show();
  // Where the first dark row lies, for each vertical alignment.
  auto firstInkRow = [&] {
    Redraw(panel);
    const Image pixels = ReadClientPixels(panel->Handle());
    for (int y = 0; y < pixels.Height; ++y)
      for (int x = 0; x < pixels.Width; ++x)
        if (pixels.At(x, y) != 0xFFFFFF) return y;
    return -1;
  };
  panel->SetVerticalAlignment(vaTop);
  const int top = firstInkRow();
  panel->SetVerticalAlignment(vaCenter);
  const int centre = firstInkRow();
  panel->SetVerticalAlignment(vaBottom);
  const int bottom = firstInkRow();
  EXPECT_GE(top, 0);
  EXPECT_LT(top, 6);
  EXPECT_GT(centre, 30);
  EXPECT_LT(centre, 50);
  EXPECT_GT(bottom, 75);
}

TEST(Panel, OlderFormsLoad) {
  ShownForm form(40, 40, 300, 200, "Panel old form");
  ReadComponentText(
      "object Host: TForm\n"
      "  object Old: TRzCustomPanel\n"
      "    FrameSides = [sdLeft, sdTop]\n"
      "    ThemeAware = False\n"
      "    UseGradients = True\n"
      "  end\n"
      "end\n",
      form.Form, "Host");
  auto* old = ObjectAs<TRzCustomPanel>(form->FindComponent("Old"));
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(old->VisualStyle(), vsGradient);
  EXPECT_EQ(old->BorderSides(), sdAllSides);
}

// Clients of a site docked at the top have their grabber at the left;
// clients of a site docked at the left have it on top, with the caption.
TEST(Panel, DockedClientsGetCaptionGrabbers) {
  ShownForm form(40, 40, 420, 320, "Panel docking");
  auto* top = Place<TRzCustomPanel>(form.Form, 0, 0, 400, 80);
  top->SetAlign(alTop);
  auto* left = Place<TRzCustomPanel>(form.Form, 0, 0, 160, 200);
  left->SetAlign(alLeft);
  for (TRzCustomPanel* site : {top, left}) {
    site->SetBorderOuter(fsFlat);
    site->SetDockSite(true);
    ASSERT_NE(ObjectAs<TRzPanelDockManager>(site->DockManager()), nullptr);
    EXPECT_TRUE(site->DoubleBuffered());
  }
  auto* a = Place<TPanel>(form.Form, 0, 0, 80, 60);
  a->SetCaption("Alpha");
  auto* b = Place<TPanel>(form.Form, 0, 0, 80, 60);
  b->SetCaption("Beta");
  form.Show();
  ASSERT_TRUE(a->ManualDock(top));
  ASSERT_TRUE(b->ManualDock(left));
  // Inside the one-pixel frame, beside or below the 14-pixel grabber.
  RECT topClient{}, leftClient{};
  GetClientRect(top->Handle(), &topClient);
  GetClientRect(left->Handle(), &leftClient);
  EXPECT_PRED2(SameRect, a->BoundsRect(), (RECT{1 + 14, 1, topClient.right - 1, topClient.bottom - 1}));
  EXPECT_PRED2(SameRect, b->BoundsRect(), (RECT{1, 1 + 14, leftClient.right - 1, leftClient.bottom - 1}));
  Redraw(form.Form);
  const COLORREF inactive = Sys(COLOR_INACTIVECAPTION);
  const Image topPixels = ReadClientPixels(top->Handle());
  const Image leftPixels = ReadClientPixels(left->Handle());
  // The grabber's face away from text and glyph, and some caption ink.
  EXPECT_EQ(topPixels.At(2, 40), Rgb(inactive));
  EXPECT_EQ(leftPixels.At(80, 2), Rgb(inactive));
  auto inkIn = [&](const Image& image, const RECT& r) {
    int ink = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) ink += image.At(x, y) != Rgb(inactive);
    return ink;
  };
  EXPECT_GT(inkIn(topPixels, RECT{1, 20, 15, topClient.bottom - 1}), 0) << "the turned caption";
  EXPECT_GT(inkIn(leftPixels, RECT{3, 1, 60, 15}), 0) << "the caption";
  EXPECT_GT(inkIn(leftPixels, RECT{leftClient.right - 16, 2, leftClient.right - 3, 13}), 0) << "the close glyph";
  SaveScreenshot(form->Handle(), "panels-docking");
  // Without captions the platform's grabber bars.
  left->SetShowDockClientCaptions(false);
  Redraw(left);
  EXPECT_NE(ReadClientPixels(left->Handle()).At(80, 2), Rgb(inactive));
}

// A command from a client repaints the site (its grabbers follow the focus).
TEST(Panel, TheDockManagerRepaintsTheSiteOnCommands) {
  ShownForm form(40, 40, 300, 200, "Panel commands");
  auto* site = Place<TRzCustomPanel>(form.Form, 0, 0, 200, 100);
  site->SetDockSite(true);
  form.Show();
  RunMessagesUntilIdle();
  ValidateRect(site->Handle(), nullptr);
  SendMessageA(site->Handle(), WM_COMMAND, 0, 0);
  RECT update{};
  EXPECT_TRUE(GetUpdateRect(site->Handle(), &update, FALSE));
  site->SetDockSite(false);
  SendMessageA(site->Handle(), WM_COMMAND, 0, 0);  // the old procedure is back
}

// Without FullRepaint a resize repaints the strips at the moving edges only.
TEST(Panel, AResizeRepaintsOnlyTheMovingBorderStrips) {
  ShownForm form(40, 40, 400, 300, "Panel resize");
  auto* panel = Place<TRzCustomPanel>(form.Form, 10, 10, 200, 100);
  panel->SetFullRepaint(false);
  form.Show();
  RunMessagesUntilIdle();
  ValidateRect(panel->Handle(), nullptr);
  panel->SetWidth(180);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(panel->Handle(), region, FALSE);
  EXPECT_TRUE(PtInRegion(region, 177, 50)) << "the new right border";
  EXPECT_FALSE(PtInRegion(region, 90, 50)) << "the middle";
  DeleteObject(region);
  panel->SetFullRepaint(true);
  RunMessagesUntilIdle();
  ValidateRect(panel->Handle(), nullptr);
  panel->SetWidth(170);
  RECT update{};
  ASSERT_TRUE(GetUpdateRect(panel->Handle(), &update, FALSE));
  EXPECT_PRED2(SameRect, update, (RECT{0, 0, 170, 100}));
}

}  // namespace
