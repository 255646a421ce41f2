// The toolbar's arrangement: rows and wrapping, its own size, its automatic
// style, the stored order of its controls, the spacer and the overflow
// button with its popup of copies.
#include "panels/Popups.h"
#include "panels/StatusPane.h"
#include "panels/Toolbar.h"
#include "platform/FormResource.h"
#include "tests/panels/PanelsTestSupport.h"
#include "tests/platform/controls/ControlTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;
using namespace control_tests;

namespace {

// A parent that sizes its child itself, as the system's page scroller does.
class TPageScrollerStandIn : public TCustomControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomControl::TCustomControl;
};
const TClassInfo TPageScrollerStandIn::ClassInfo{"TPageScroller", &TCustomControl::ClassInfo, nullptr};

TRzToolButton* AddButton(TRzToolbar* bar, int width = 25) {
  auto* button = New<TRzToolButton>(bar->Owner());
  button->SetParent(bar);
  if (width != 25) button->SetWidth(width);
  return button;
}

TEST(Toolbar, AnEmptyToolbarIsOneRowHigh) {
  ShownForm form(40, 40, 300, 200, "Toolbar empty");
  auto* bar = Place<TRzToolbar>(form.Form, 0, 0, 300, 32);
  bar->SetAlign(alTop);
  form.Show();
  EXPECT_EQ(bar->Height(), bar->RowHeight() + 2 * bar->TopMargin());
  EXPECT_EQ(bar->Height(), 29);
  EXPECT_EQ(bar->BorderSides(), TSides{sdTop});
  EXPECT_EQ(bar->BorderOuter(), fsGroove);
}

// Controls touch; one that does not fit starts a new row, unless it is
// the first.
TEST(Toolbar, ControlsWrapIntoRowsButTheFirstNever) {
  ShownForm form(40, 40, 300, 200, "Toolbar rows");
  auto* bar = Place<TRzToolbar>(form.Form, 0, 0, 100, 32);
  bar->SetAlign(alNone);
  bar->SetBounds(0, 0, 100, 32);
  auto* wide = AddButton(bar, 150);
  auto* a = AddButton(bar);
  auto* b = AddButton(bar);
  auto* c = AddButton(bar, 60);
  form.Show();
  const struct {
    TRzToolButton* Button;
    int Left, Row;
  } places[] = {{wide, 4, 1}, {a, 4, 2}, {b, 29, 2}, {c, 4, 3}};
  for (const auto& p : places) {
    EXPECT_EQ(p.Button->Left(), p.Left);
    EXPECT_EQ(p.Button->Top(), (p.Row - 1) * 25 + 2 + 25 / 2 - p.Button->Height() / 2);
  }
  EXPECT_EQ(bar->Height(), 3 * 25 + 4);
  // Without wrapping everything stays on one row.
  bar->SetWrapControls(false);
  EXPECT_EQ(b->Top(), wide->Top());
  EXPECT_EQ(b->Left(), 4 + 150 + 25);
  EXPECT_EQ(bar->Height(), 29);
}

TEST(Toolbar, AVerticalToolbarStacksItsControls) {
  ShownForm form(40, 40, 300, 300, "Toolbar columns");
  auto* bar = Place<TRzToolbar>(form.Form, 0, 0, 32, 200);
  bar->SetAlign(alLeft);
  bar->SetOrientation(orVertical);
  auto* a = AddButton(bar);
  auto* spacer = New<TRzSpacer>(form.Form);
  spacer->SetParent(bar);
  auto* b = AddButton(bar);
  form.Show();
  EXPECT_EQ(a->Top(), 4);
  EXPECT_EQ(spacer->Top(), 4 + 25);
  EXPECT_EQ(b->Top(), 4 + 25 + spacer->Height());
  EXPECT_EQ(a->Left(), 4 + 25 / 2 - 25 / 2);
  EXPECT_EQ(bar->Width(), 25 + 2 + 2);
  // The spacer turns with the toolbar.
  bar->SetOrientation(orHorizontal);
  EXPECT_EQ(spacer->Orientation(), orHorizontal);
  bar->SetOrientation(orVertical);
  EXPECT_EQ(spacer->Width(), 25);
  EXPECT_EQ(spacer->Height(), 8);
}

TEST(Toolbar, SettingTheBordersEndsTheAutomaticStyle) {
  ShownForm form(40, 40, 300, 200, "Toolbar style");
  auto* bar = Place<TRzToolbar>(form.Form, 0, 0, 300, 32);
  bar->SetAlign(alBottom);
  EXPECT_EQ(bar->BorderSides(), TSides{sdBottom});
  bar->SetAlign(alLeft);
  EXPECT_EQ(bar->BorderSides(), TSides{sdLeft});
  EXPECT_TRUE(bar->AutoStyle());
  bar->SetBorderSides(TSides{sdBottom, sdTop});
  EXPECT_FALSE(bar->AutoStyle());
  bar->SetAlign(alTop);
  EXPECT_EQ(bar->BorderSides(), (TSides{sdBottom, sdTop}));
  bar->SetShowDivider(false);
  EXPECT_EQ(bar->BorderOuter(), fsNone);
}

TEST(Toolbar, APageScrollerParentStopsAutoResize) {
  ShownForm form(40, 40, 300, 200, "Toolbar scroller");
  auto* scroller = Place<TPageScrollerStandIn>(form.Form, 0, 0, 280, 60);
  auto* bar = New<TRzToolbar>(form.Form);
  bar->SetParent(scroller);
  EXPECT_FALSE(bar->AutoResize());
  bar->SetAutoResize(true);
  EXPECT_FALSE(bar->AutoResize());
  bar->SetAlign(alNone);
  bar->SetBounds(0, 0, 200, 50);
  AddButton(bar);
  form.Show();
  EXPECT_EQ(bar->Height(), 50);
}

TEST(Toolbar, TextOptionsSetTheButtonMetrics) {
  ShownForm form(40, 40, 400, 200, "Toolbar text options");
  auto* bar = Place<TRzToolbar>(form.Form, 0, 0, 400, 32);
  auto* button = AddButton(bar);
  button->SetCaption("Mevra");
  const struct {
    TRzToolbarTextOptions Options;
    TButtonLayout Layout;
    int Width, Height;
    bool Captions;
  } cases[] = {{ttoShowTextLabels, blGlyphTop, 60, 40, true},
               {ttoSelectiveTextOnRight, blGlyphLeft, 60, 25, true},
               {ttoNoTextLabels, blGlyphLeft, 25, 25, false}};
  for (const auto& c : cases) {
    bar->SetTextOptions(c.Options);
    EXPECT_EQ(bar->TextOptions(), c.Options);
    EXPECT_EQ(bar->ButtonLayout(), c.Layout);
    EXPECT_EQ(bar->ButtonWidth(), c.Width);
    EXPECT_EQ(bar->ButtonHeight(), c.Height);
    EXPECT_EQ(bar->RowHeight(), c.Height);
    EXPECT_EQ(bar->ShowButtonCaptions(), c.Captions);
    EXPECT_EQ(button->ShowCaption(), c.Captions);
    EXPECT_EQ(button->Height(), c.Height);
  }
}

// The stored order decides the layout, whatever the children's order.
TEST(Toolbar, TheStoredControlOrderRoundTrips) {
  RegisterClasses({&TRzStatusPane::ClassInfo, &TImage::ClassInfo, &TRzSpacer::ClassInfo});
  ShownForm form(40, 40, 500, 200, "Toolbar order");
  ReadComponentText(
      "object Host: TForm\n"
      "  object tbt: TRzToolbar\n"
      "    ToolbarControls = (\n"
      "      RzToolButton1\n"
      "      RzToolButton2\n"
      "      RzToolButton3\n"
      "      tbadd\n"
      "      RzSpacer1\n"
      "      Image1\n"
      "      spthstat)\n"
      "    object spthstat: TRzStatusPane\n"
      "      Width = 100\n"
      "    end\n"
      "    object Image1: TImage\n"
      "      Width = 20\n"
      "      Height = 20\n"
      "    end\n"
      "    object RzSpacer1: TRzSpacer\n"
      "    end\n"
      "    object tbadd: TRzToolButton\n"
      "    end\n"
      "    object RzToolButton3: TRzToolButton\n"
      "    end\n"
      "    object RzToolButton2: TRzToolButton\n"
      "    end\n"
      "    object RzToolButton1: TRzToolButton\n"
      "    end\n"
      "  end\n"
      "end\n",
      form.Form, "Host");
  auto* bar = ObjectAs<TRzToolbar>(form->FindComponent("tbt"));
  ASSERT_NE(bar, nullptr);
  const std::vector<std::string> order{"RzToolButton1", "RzToolButton2", "RzToolButton3", "tbadd",
                                       "RzSpacer1",     "Image1",        "spthstat"};
  ASSERT_EQ(bar->ToolbarControls()->Count(), 7);
  int x = bar->Margin();
  for (int i = 0; i < 7; ++i) {
    TControl* control = bar->ToolbarControls()->Items(i)->Control;
    EXPECT_EQ(control->Name(), order[i]);
    EXPECT_EQ(control->Left(), x) << order[i];
    x += control->Width();
  }
  // Written back as it was read.
  const AnsiString text = WriteComponentText(form.Form);
  const size_t from = text.find("ToolbarControls = (");
  ASSERT_NE(from, std::string::npos) << text;
  std::string names = text.substr(from + 19, text.find(')', from) - from - 19);
  for (char& ch : names)
    if (ch == '\n' || ch == '\r') ch = ' ';
  std::string collapsed;
  for (char ch : names)
    if (ch != ' ' || (!collapsed.empty() && collapsed.back() != ' ')) collapsed += ch;
  while (!collapsed.empty() && collapsed.back() == ' ') collapsed.pop_back();
  EXPECT_EQ(collapsed, "RzToolButton1 RzToolButton2 RzToolButton3 tbadd RzSpacer1 Image1 spthstat");
  // A control added later joins at the end; one freed leaves the list.
  auto* late = AddButton(bar);
  EXPECT_EQ(bar->ToolbarControls()->Items(7)->Control, late);
  EXPECT_EQ(late->Left(), x);
  Free(form->FindComponent("tbadd"));
  EXPECT_EQ(bar->ToolbarControls()->Count(), 7);
  EXPECT_EQ(bar->ToolbarControls()->IndexOf(late), 6);
}

// A stored name of a control that sits elsewhere drops out; every child of
// the toolbar is then listed in child order.
TEST(Toolbar, AStoredNameOfAForeignControlListsTheChildrenInOrder) {
  ShownForm form(40, 40, 500, 200, "Toolbar foreign");
  ReadComponentText(
      "object Host: TForm\n"
      "  object Outside: TRzToolButton\n"
      "  end\n"
      "  object bar: TRzToolbar\n"
      "    ToolbarControls = (\n"
      "      B2\n"
      "      Outside\n"
      "      Missing)\n"
      "    object B1: TRzToolButton\n"
      "    end\n"
      "    object B2: TRzToolButton\n"
      "    end\n"
      "  end\n"
      "end\n",
      form.Form, "Host");
  auto* bar = ObjectAs<TRzToolbar>(form->FindComponent("bar"));
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->ToolbarControls()->Count(), 2);
  EXPECT_EQ(bar->ToolbarControls()->Items(0)->Control->Name(), "B2");
  EXPECT_EQ(bar->ToolbarControls()->Items(1)->Control->Name(), "B1");
}

TEST(Toolbar, CustomizeCaptionsAreStoredOnceSet) {
  ShownForm form(40, 40, 300, 200, "Toolbar captions");
  auto* bar = Place<TRzToolbar>(form.Form, 0, 0, 300, 32);
  bar->SetName("bar");
  EXPECT_EQ(bar->CustomizeCaptions()->Title(), "Customize Toolbar");
  EXPECT_EQ(WriteComponentText(form.Form).find("CustomizeCaptions"), std::string::npos);
  bar->CustomizeCaptions()->SetClose("Done");
  const AnsiString text = WriteComponentText(form.Form);
  EXPECT_NE(text.find("CustomizeCaptions.Close = 'Done'"), std::string::npos) << text;
  EXPECT_NE(text.find("CustomizeCaptions.Title = 'Customize Toolbar'"), std::string::npos) << text;
}

TEST(Toolbar, AGroovedSpacerDrawsItsLine) {
  StylesOff off;
  ShownForm form(40, 40, 300, 200, "Toolbar spacer");
  auto* bar = Place<TRzToolbar>(form.Form, 0, 0, 300, 32);
  bar->SetVisualStyle(vsClassic);
  bar->SetColor(clBtnFace);
  auto* spacer = New<TRzSpacer>(form.Form);
  spacer->SetParent(bar);
  spacer->SetGrooved(true);
  form.Show();
  RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  RunMessagesUntilIdle();
  const Image pixels = ReadClientPixels(bar->Handle());
  const int x = spacer->Left() + spacer->Width() / 2 - 1, y = spacer->Top() + 10;
  EXPECT_EQ(pixels.At(x, y), Rgb(Sys(COLOR_BTNSHADOW)));
  EXPECT_EQ(pixels.At(x + 1, y), Rgb(Sys(COLOR_BTNHIGHLIGHT)));
  EXPECT_EQ(pixels.At(x + 2, y), Rgb(Sys(COLOR_BTNFACE)));
}

// Buttons that stick out of a toolbar that does not wrap: the overflow
// button pops up copies; clicking one clicks its original once, after the
// popup has closed.
TEST(Toolbar, AnOverflowCopyClicksItsButtonOnce) {
  ShownForm form(40, 40, 300, 200, "Toolbar overflow");
  auto* bar = Place<TRzToolbar>(form.Form, 0, 0, 100, 32);
  bar->SetAlign(alNone);
  bar->SetBounds(0, 0, 100, 32);
  bar->SetWrapControls(false);
  std::vector<TRzToolButton*> buttons;
  std::vector<std::string> log;
  for (int i = 0; i < 6; ++i) {
    TRzToolButton* button = AddButton(bar);
    button->SetName("B" + std::to_string(i));
    button->SetCaption("B" + std::to_string(i));
    button->OnClick = TNotifyEvent::Lambda([&log](TObject* s) { log.push_back(static_cast<TComponent*>(s)->Name()); });
    buttons.push_back(button);
  }
  form.Show();
  bar->ArrangeControls();  // the button shows from the previous positions
  ASSERT_TRUE(bar->ShowPopupButton());
  TRzToolbarPopupButton* more = bar->PopupButton();
  ASSERT_NE(more, nullptr);
  EXPECT_TRUE(more->Visible());
  EXPECT_EQ(more->Left(), bar->Width() - 14);
  EXPECT_EQ(more->Width(), 14);
  EXPECT_EQ(bar->GetResizeInvalidateMargin().x, 15);

  // While the popup is open: it holds copies of B3, B4, B5 (those past
  // Width - Margin); a click on B4's copy chooses it.
  std::vector<std::string> copies;
  TimerSteps steps([&] {
    TRzPopupPanel* panel = more->OverflowPanel();
    if (!panel || !panel->IsPoppedUp()) return false;
    auto* copyBar = ObjectAs<TRzToolbar>(panel->PopupWindow()->Controls(0));
    if (!copyBar) {
      panel->ClosePopup();
      return true;
    }
    for (int i = 0; i < copyBar->ToolbarControls()->Count(); ++i) {
      auto* copy = ObjectAs<TRzPopupToolButton>(copyBar->ToolbarControls()->Items(i)->Control);
      copies.push_back(copy->MappedButton()->Name());
      if (copy->MappedButton()->Name() == "B4") PostClick(copyBar->Handle(), copy->Left() + 5, copy->Top() + 5);
    }
    return true;
  });
  PostClick(more->Handle(), 5, 10);
  RunMessagesUntilIdle();
  EXPECT_EQ(copies, (std::vector<std::string>{"B3", "B4", "B5"}));
  EXPECT_EQ(log, (std::vector<std::string>{"B4"}));
  EXPECT_EQ(more->OverflowPanel(), nullptr) << "the popup went";
  for (int i = 0; i < 6; ++i) EXPECT_EQ(buttons[i]->Parent(), bar);
}

}  // namespace
