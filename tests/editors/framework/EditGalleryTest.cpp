// The edit-button gallery: test editors with an ellipsis, a down, a glyph
// and a text button, one row per button style (and the native look), one
// column per state (normal, hot, pressed, disabled), saved as
// edit-buttons.png; a few pixels of each state are checked.
#include "editors/framework/EditPaintUtils.h"
#include "editors/framework/EditUnit.h"
#include "editors/framework/EditUtils.h"
#include "platform/Forms.h"
#include "tests/editors/framework/TestEditors.h"
#include "tests/editors/framework/EditorFixture.h"

using namespace lookandfeel_test;
using namespace test_editors;
using namespace testing_support;

namespace {

class EditGallery : public ::testing::Test {
protected:
  void SetUp() override {
    editor_test::StartEditorUnits();
  }
  void TearDown() override {
    editor_test::FinishEditorUnits();
  }
};

// A 16 x 16 glyph: a green square with a white centre on an olive
// (transparent) corner.
void PaintGlyph(TBitmap& glyph) {
  glyph.SetPixelFormat(TPixelFormat::pf24bit);
  glyph.SetSize(16, 16);
  glyph.Canvas()->Brush()->SetColor(clOlive);
  glyph.Canvas()->FillRect(RECT{0, 0, 16, 16});
  glyph.Canvas()->Brush()->SetColor(clGreen);
  glyph.Canvas()->FillRect(RECT{3, 3, 13, 13});
  glyph.Canvas()->Brush()->SetColor(clWhite);
  glyph.Canvas()->FillRect(RECT{6, 6, 10, 10});
}

TEST_F(EditGallery, EditButtonsInEveryStyleAndState) {
  struct TRow {
    const char* Name;
    TcxEditButtonStyle Style;
    TcxEditBorderStyle Border;
    bool Native;
  };
  const TRow rows[] = {
      {"default", btsDefault, ebs3D, false},   {"3D", bts3D, ebs3D, false},
      {"flat", btsFlat, ebsFlat, false},        {"simple", btsSimple, ebsSingle, false},
      {"hot flat", btsHotFlat, ebsSingle, false}, {"ultra flat", btsUltraFlat, ebsUltraFlat, false},
      {"office", btsOffice11, ebsOffice11, false}, {"native", btsDefault, ebs3D, true},
  };
  enum TColumn { cNormal, cHot, cPressed, cDisabled };
  constexpr int columns = 4, width = 200, height = 24, gap = 6;
  TBitmap glyph;
  PaintGlyph(glyph);
  auto* form = New<TForm>(nullptr);
  form->SetBounds(20, 20, columns * (width + gap) + 40, 8 * (height + gap) + 60);
  form->SetCaption("Edit buttons");
  std::vector<std::vector<TTestPlainEdit*>> edits;
  for (int r = 0; r < 8; ++r) {
    edits.emplace_back();
    for (int c = 0; c < columns; ++c) {
      auto* edit = New<TTestPlainEdit>(form);
      edit->SetParent(form);
      edit->SetAutoSize(false);
      edit->SetBounds(10 + c * (width + gap), 10 + r * (height + gap), width, height);
      TcxEditStyle* style = edit->Style();
      style->SetTransparentBorder(false);
      style->SetHotTrack(false);
      style->SetEditBorderStyle(rows[r].Border);
      style->SetButtonStyle(rows[r].Style);
      style->GetLookAndFeel()->SetNativeStyle(rows[r].Native);
      TcxEditButtons* buttons = edit->Properties()->Buttons();
      buttons->AddButton()->SetKind(bkEllipsis);
      buttons->AddButton()->SetKind(bkDown);
      TcxEditButton* g = buttons->AddButton();
      g->SetKind(bkGlyph);
      g->SetGlyph(&glyph);
      TcxEditButton* t = buttons->AddButton();
      t->SetKind(bkText);
      t->SetCaption("Go");
      edit->SetEditValue(rows[r].Name);
      if (c == cDisabled) edit->SetEnabled(false);
      if (c == cHot || c == cPressed) {
        const TcxEditButtonState forced = c == cHot ? ebsSelected : ebsPressed;
        edit->EditViewInfo()->ButtonStateEvent =
            TcxEditButtonStateEvent::Lambda([forced](TcxCustomEditViewInfo*, int, TcxEditButtonState& state) {
              state = forced;
            });
      }
      edits.back().push_back(edit);
    }
  }
  form->Show();
  RunMessagesUntilIdle();
  for (auto& row : edits)
    for (TTestPlainEdit* edit : row) {
      edit->RecheckMouseAtCursor();
      edit->Invalidate();
    }
  RunMessagesUntil([&] {
    for (auto& row : edits)
      for (TTestPlainEdit* edit : row)
        if (GetUpdateRect(edit->Handle(), nullptr, FALSE)) return false;
    return true;
  });
  const std::string path = SaveScreenshot(form->Handle(), "edit-buttons");
  EXPECT_FALSE(path.empty());

  // The 3-D row: the ellipsis button's outer corner is light when up and
  // shadowed when pressed.
  struct TCheck {
    const char* Name;
    int Column;
    TColor Corner;
  };
  for (const TCheck& check : {TCheck{"normal", cNormal, cl3DLight}, TCheck{"hot", cHot, cl3DLight},
                              TCheck{"pressed", cPressed, clBtnShadow}, TCheck{"disabled", cDisabled, cl3DLight}}) {
    SCOPED_TRACE(check.Name);
    TTestPlainEdit* edit = edits[1][check.Column];
    const Image image = ReadClientPixels(edit->Handle());
    const RECT b = edit->EditViewInfo()->Button(0).ButtonRect;
    EXPECT_EQ(image.At(b.left, b.top + 4), Rgb(ColorToRGB(check.Corner)));
    EXPECT_EQ(edit->EditViewInfo()->Button(0).ButtonState,
              check.Column == cPressed ? ebsPressed : check.Column == cHot ? ebsSelected
                                                    : check.Column == cDisabled ? ebsDisabled : ebsNormal);
  }
  // The hot-flat row: pressed buttons are filled with the button text colour.
  {
    TTestPlainEdit* edit = edits[4][cPressed];
    const Image image = ReadClientPixels(edit->Handle());
    const RECT b = edit->EditViewInfo()->Button(0).ButtonRect;
    EXPECT_EQ(image.At(b.left + 3, b.top + 3), Rgb(ColorToRGB(clBtnText)));
  }
  // The glyph shows in every enabled state: its white centre.
  for (int c : {cNormal, cHot}) {
    TTestPlainEdit* edit = edits[1][c];
    const Image image = ReadClientPixels(edit->Handle());
    const RECT b = edit->EditViewInfo()->Button(2).ButtonRect;
    const int cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2;
    EXPECT_EQ(image.At(cx, cy), Rgb(RGB(255, 255, 255))) << c;
  }
  Free(form);
}

}  // namespace
