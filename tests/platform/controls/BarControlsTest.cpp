// One form resource with the tool bar family of controls: it is
// read, shown, painted (the screenshot platform-bar-controls.png) and freed,
// and every handle it took comes back.
#include "platform/Buttons.h"
#include "platform/ComCtrls.h"
#include "platform/ImageList.h"
#include "platform/Menus.h"
#include "platform/Properties.h"
#include "platform/ToolBar.h"
#include "tests/platform/controls/ControlTestUtil.h"

#include <gtest/gtest.h>

namespace {

using namespace testing_support;
using namespace control_tests;

class TBarControlsForm : public TForm {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TForm::TForm;
};

const TClassInfo TBarControlsForm::ClassInfo{"TBarControlsForm", &TForm::ClassInfo,
                                             [](TObject* owner) -> TObject* {
                                               return new TBarControlsForm(static_cast<TComponent*>(owner));
                                             }};

const TPublishedRegistration barControlsFormRegistration(&TBarControlsForm::ClassInfo, {});

// The tool bar's images: red, green and blue squares.
void FillImages(TForm* form) {
  auto* images = ObjectAs<TCustomImageList>(form->FindComponent("ImageList1"));
  ASSERT_NE(images, nullptr);
  for (TColor colour : {clRed, clLime, clBlue}) {
    TBitmap image;
    image.SetSize(16, 16);
    image.Canvas()->Brush()->SetColor(colour);
    image.Canvas()->FillRect(RECT{0, 0, 16, 16});
    images->Add(&image, nullptr);
  }
}

TBarControlsForm* ShowForm() {
  auto* form = New<TBarControlsForm>(nullptr);
  FillImages(form);
  form->Show();
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RunMessagesUntilIdle();
  return form;
}

TEST(BarControlsForm, IsReadPaintedAndGivesEveryHandleBack) {
  SendMouseMove(1000, 900);  // away from the flat buttons
  // The first form registers window classes and what lives for the process.
  Free(ShowForm());
  RunMessagesUntilIdle();
  const THandleCounts before = HandleCounts();
  TBarControlsForm* form = ShowForm();
  for (const char* name : {"ToolBar1", "ToolButton5", "SpeedButton4", "BitBtn1", "UpDown1", "TrackBar1",
                           "ProgressBar1", "ComboBox1"})
    EXPECT_NE(form->FindComponent(name), nullptr) << name;
  auto* bar = static_cast<TToolBar*>(form->FindComponent("ToolBar1"));
  EXPECT_EQ(bar->ButtonCount(), 6);
  const Image pixels = ReadClientPixels(bar->Handle());
  TControl* first = bar->Buttons(0);
  EXPECT_EQ(pixels.At(first->Left() + first->Width() / 2, first->Top() + first->Height() / 2), Rgb(RGB(255, 0, 0)));
  SaveScreenshot(form->Handle(), "platform-bar-controls");
  const THandleCounts alive = HandleCounts();
  Free(form);
  RunMessagesUntilIdle();
  EXPECT_EQ(HandleCounts(), before) << "while alive: " << HandleCountsText(alive);
}

}  // namespace
