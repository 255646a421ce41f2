// Edit styles and their controller: the six editor values resolved through
// states and controllers, the values shared by all states, the default
// controller of the editor unit, and the unit's mouse-wheel cursor.
#include "editors/framework/EditStyle.h"
#include "editors/framework/EditUnit.h"
#include "platform/Screen.h"
#include "tests/foundation/LookAndFeelFixture.h"

#include <memory>

using namespace lookandfeel_test;

namespace {

class EditStyles : public ::testing::Test {
protected:
  void SetUp() override {
    StartContainerUnits();
    cxEditInit();
    FOwner = New<TComponent>(nullptr);
    FStyles = std::make_unique<TcxContainerStyles>(FOwner, &TcxEditStyle::ClassInfo);
  }
  void TearDown() override {
    FStyles.reset();
    Free(FOwner);
    cxEditDone();
    FinalizeUnits();
  }
  TcxEditStyle* Style(int state) { return static_cast<TcxEditStyle*>(FStyles->StyleForState(state)); }

  TComponent* FOwner = nullptr;
  std::unique_ptr<TcxContainerStyles> FStyles;
};

TEST_F(EditStyles, StateStylesAnswerTheNormalStylesValues) {
  TcxEditStyle* normal = Style(cxssNormal);
  TcxEditStyle* focused = Style(cxssFocused);
  EXPECT_EQ(focused->ButtonStyle(), btsDefault);
  EXPECT_EQ(focused->GradientDirection(), dirDown);
  normal->SetButtonStyle(bts3D);
  EXPECT_EQ(focused->ButtonStyle(), bts3D) << "unassigned: the normal style's";
  focused->SetButtonStyle(btsFlat);
  EXPECT_EQ(focused->ButtonStyle(), btsFlat);
  EXPECT_EQ(normal->ButtonStyle(), bts3D) << "the button style is per state";
  // Transparency is shared: set through a state style it lands on the root.
  focused->SetButtonTransparency(ebtAlways);
  EXPECT_TRUE(normal->GetAssignedValues().Contains(svButtonTransparency));
  EXPECT_FALSE(focused->GetAssignedValues().Contains(svButtonTransparency));
  EXPECT_EQ(normal->ButtonTransparency(), ebtAlways);
  EXPECT_EQ(Style(cxssHot)->ButtonTransparency(), ebtAlways);
  Style(cxssDisabled)->SetPopupBorderStyle(epbsFlat);
  EXPECT_EQ(normal->PopupBorderStyle(), epbsFlat);
  EXPECT_TRUE(normal->IsValueAssigned(12));
}

TEST_F(EditStyles, AStyleFollowsItsControllerThenTheDefaultOne) {
  TcxEditStyleController* byDefault = cxDefaultEditStyleController();
  ASSERT_NE(byDefault, nullptr);
  EXPECT_EQ(DefaultStyleController(), byDefault);
  TcxEditStyle* normal = Style(cxssNormal);
  EXPECT_EQ(normal->ActiveStyleController(), byDefault) << "a style without its own follows the default one";
  EXPECT_EQ(normal->GetStyleController(), nullptr);
  byDefault->Style()->SetButtonStyle(btsUltraFlat);
  EXPECT_EQ(normal->ButtonStyle(), btsUltraFlat);
  EXPECT_FALSE(normal->GetAssignedValues().Contains(svButtonStyle));
  auto* controller = New<TcxEditStyleController>(FOwner);
  controller->Style()->SetButtonStyle(btsFlat);
  controller->StyleFocused()->SetGradient(true);
  normal->SetStyleController(controller);
  EXPECT_EQ(normal->ButtonStyle(), btsFlat) << "its own bit clear, the controller's value";
  EXPECT_EQ(Style(cxssFocused)->ButtonStyle(), btsFlat);
  EXPECT_TRUE(normal->Gradient()) << "the controller's root took the shared value";
  normal->SetButtonStyle(btsSimple);
  EXPECT_EQ(normal->ButtonStyle(), btsSimple);
  Free(controller);
  EXPECT_EQ(normal->ActiveStyleController(), byDefault) << "a freed controller leaves the default one";
}

TEST_F(EditStyles, ValueNamesAndTheUnpublishedSet) {
  TcxEditStyle* normal = Style(cxssNormal);
  EXPECT_EQ(normal->StyleValueCount(), 16);
  const char* names[] = {"BorderColor", "BorderStyle", "Color", "Edges", "Font", "HotTrack", "Shadow", "TextColor",
                         "TextStyle", "TransparentBorder", "ButtonStyle", "ButtonTransparency", "PopupBorderStyle",
                         "GradientButtons", "Gradient", "GradientDirection"};
  for (int i = 0; i < 16; ++i) {
    AnsiString name;
    EXPECT_TRUE(normal->NameOfStyleValue(i, name)) << i;
    EXPECT_EQ(name, names[i]);
  }
  AnsiString none;
  EXPECT_FALSE(normal->NameOfStyleValue(16, none));
  EXPECT_EQ(normal->UnpublishedExtendedValues().Bits(), 0xFA78u);
  EXPECT_TRUE(normal->PopupOption());
  EXPECT_TRUE(RootStylePopupOption(Style(cxssHot)));
}

TEST_F(EditStyles, CopyingTakesTheEditorValues) {
  TcxContainerStyles other(FOwner, &TcxEditStyle::ClassInfo);
  auto* source = static_cast<TcxEditStyle*>(other.NormalStyle());
  source->SetButtonStyle(btsOffice11);
  source->SetGradientDirection(dirLeft);
  source->SetPopupOption(false);
  int changes = 0;
  Style(cxssNormal)->OnChanged = TcxStyleChangedEvent::Lambda([&](TcxContainerStyle*) { ++changes; });
  Style(cxssNormal)->CopyFrom(source);
  EXPECT_EQ(Style(cxssNormal)->ButtonStyle(), btsOffice11);
  EXPECT_EQ(Style(cxssNormal)->GradientDirection(), dirLeft);
  EXPECT_FALSE(Style(cxssNormal)->PopupOption());
  EXPECT_EQ(changes, 1);
}

TEST(EditUnit, TheDefaultControllerLivesWithTheUnit) {
  StartContainerUnits();
  EXPECT_EQ(DefaultStyleController(), nullptr);
  cxEditInit();
  EXPECT_NE(DefaultStyleController(), nullptr);
  // The mouse-wheel cursor from the program's resources.
  EXPECT_NE(Screen->Cursors(crcxEditMouseWheel), Screen->Cursors(crDefault));
  cxEditDone();
  EXPECT_EQ(DefaultStyleController(), nullptr);
  EXPECT_EQ(cxDefaultEditStyleController(), nullptr);
  FinalizeUnits();
}

}  // namespace
