// The application object belongs to the forms unit: nothing makes it before
// the program's unit list starts, and stopping the unit frees it with its forms.
#include "platform/Forms.h"

#include <gtest/gtest.h>

namespace {

TEST(FormsUnit, MakesTheApplicationAndFreesItWithItsForms) {
  EXPECT_EQ(Application, nullptr) << "made before the unit list started";
  TWeakLink<TCustomForm> form;
  HWND window = nullptr;
  {
    TUnitScope units{FormsUnit};
    ASSERT_NE(Application, nullptr);
    window = Application->Handle();
    EXPECT_TRUE(IsWindow(window));
    TForm* made = nullptr;
    Application->CreateForm(made);
    form = made;
    EXPECT_EQ(Application->MainForm(), made);
    EXPECT_THROW(ApplicationInit(), EInvalidOperation);
  }
  EXPECT_EQ(Application, nullptr);
  EXPECT_EQ(form.Get(), nullptr) << "the forms go with the application";
  EXPECT_FALSE(IsWindow(window));
}

}  // namespace
