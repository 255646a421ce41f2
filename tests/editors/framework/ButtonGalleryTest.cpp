// The buttons' gallery: the sign-in and recovery windows' buttons as their
// form stores them, and one button of each state and kind, read from a form
// resource and saved as buttons.png.
#include "editors/framework/Button.h"
#include "foundation/Office11.h"
#include "foundation/Office11Painter.h"
#include "foundation/StandardPainter.h"
#include "platform/Forms.h"
#include "platform/Properties.h"
#include "tests/foundation/LookAndFeelFixture.h"

using namespace lookandfeel_test;
using namespace testing_support;

class TButtonsForm : public TForm {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TForm::TForm;

  TcxButton* btjpg = nullptr;
  TcxButton* cxButton1 = nullptr;
  TcxButton* cxButton2 = nullptr;
  TcxButton* btfind = nullptr;
  TcxButton* btdefault = nullptr;
  TcxButton* btdisabled = nullptr;
  TcxButton* bthot = nullptr;
  TcxButton* btpressed = nullptr;
  TcxButton* btglyph = nullptr;
  TcxButton* btdropdown = nullptr;
  TcxButton* btmenu = nullptr;
  TcxButton* btright = nullptr;
};

const TClassInfo TButtonsForm::ClassInfo{"TButtonsForm", &TForm::ClassInfo, [](TObject* owner) -> TObject* {
                                           return new TButtonsForm(static_cast<TComponent*>(owner));
                                         }};

namespace {

using F = TButtonsForm;
const TPublishedRegistration buttonsFormRegistration(&F::ClassInfo, {
    Field<&F::btjpg>("btjpg"), Field<&F::cxButton1>("cxButton1"), Field<&F::cxButton2>("cxButton2"),
    Field<&F::btfind>("btfind"), Field<&F::btdefault>("btdefault"), Field<&F::btdisabled>("btdisabled"),
    Field<&F::bthot>("bthot"), Field<&F::btpressed>("btpressed"), Field<&F::btglyph>("btglyph"),
    Field<&F::btdropdown>("btdropdown"), Field<&F::btmenu>("btmenu"), Field<&F::btright>("btright"),
});

// A 16 x 16 glyph: a green disc on a transparent (bottom-left) magenta field.
void MakeGlyph(TBitmap& glyph) {
  glyph.SetPixelFormat(TPixelFormat::pf24bit);
  glyph.SetSize(16, 16);
  TCanvas* canvas = glyph.Canvas();
  canvas->Brush()->SetColor(clFuchsia);
  canvas->FillRect(RECT{0, 0, 16, 16});
  canvas->Brush()->SetColor(clGreen);
  canvas->Pen()->SetColor(clGreen);
  canvas->Ellipse(2, 2, 14, 14);
}

using ButtonGallery = PainterUnits;

TEST_F(ButtonGallery, TheSignInButtonsAndEveryStateFromAForm) {
  auto* form = New<TButtonsForm>(nullptr);
  ASSERT_NE(form->btjpg, nullptr);
  ASSERT_NE(form->btright, nullptr);
  TBitmap glyph;
  MakeGlyph(glyph);
  form->btglyph->SetGlyph(&glyph);
  form->btright->SetGlyph(&glyph);
  form->Show();
  SetForegroundWindow(form->Handle());
  RunMessagesUntilIdle();
  // What the form stored.
  EXPECT_EQ(form->btjpg->Caption(), "更换图片");
  EXPECT_EQ(form->cxButton1->LookAndFeel()->Kind(), lfStandard);
  EXPECT_EQ(form->cxButton1->CurrentPainter(), &TcxStandardLookAndFeelPainter::Instance);
  EXPECT_EQ(form->cxButton2->CurrentPainter(), &TcxOffice11LookAndFeelPainter::Instance);
  EXPECT_EQ(form->btfind->CurrentPainter(), &TcxOffice11LookAndFeelPainter::Instance);
  EXPECT_EQ(form->btdropdown->Kind(), cxbkDropDownButton);
  EXPECT_TRUE(form->btmenu->Colors()->AssignedColors().Contains(cxbcNormal));
  EXPECT_EQ(form->btmenu->Colors()->Color(cxbcNormalText), clNavy);
  // The states.
  EXPECT_EQ(form->btdisabled->State(), cxbsDisabled);
  EXPECT_EQ(form->btpressed->State(), cxbsPressed);
  form->btdropdown->SetFocus();
  RunMessagesUntilIdle();
  EXPECT_EQ(form->btdefault->State(), cxbsNormal) << "another button has the focus";
  form->btjpg->SetFocus();
  RunMessagesUntilIdle();
  // The mouse over one Office 2003 button makes it hot.
  const POINT over = form->bthot->ClientToScreen(POINT{45, 12});
  SendMouseMove(over.x, over.y);
  EXPECT_TRUE(RunMessagesUntil([&] { return form->bthot->IsHot(); }));
  EXPECT_EQ(form->bthot->State(), cxbsHot);
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RunMessagesUntilIdle();
  SaveScreenshot(form->Handle(), "buttons");
  // The Office 2003 face differs from the standard one.
  const Image standard = ReadClientPixels(form->cxButton1->Handle());
  const Image office = ReadClientPixels(form->cxButton2->Handle());
  EXPECT_NE(standard, office);
  // The Office 2003 look: a one-pixel frame in the button text colour around
  // the palette's face (normal), the palette's hot frame and face when hot;
  // the standard look: a raised two-tone edge.
  const struct {
    const char* Name;
    const Image& Picture;
    int X, Y;
    TColor Expected;
  } faces[] = {
      {"office frame", office, 0, 12, clBtnText},
      {"office face", office, 3, 3, Office11Color(0)},
      {"standard outer edge", standard, 0, 12, clBtnHighlight},
      {"standard inner shadow", standard, standard.Width - 2, 12, clBtnShadow},
  };
  for (const auto& f : faces) EXPECT_EQ(f.Picture.At(f.X, f.Y), Rgb(ColorToRGB(f.Expected))) << f.Name;
  const Image hot = ReadClientPixels(form->bthot->Handle());
  EXPECT_EQ(hot.At(0, 12), Rgb(ColorToRGB(Office11Color(41)))) << "hot frame";
  EXPECT_EQ(hot.At(3, 3), Rgb(ColorToRGB(Office11Color(42)))) << "hot face";
  Free(form);
}

}  // namespace
