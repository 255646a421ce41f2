// The gallery of check boxes and labels (checks-labels.png): check boxes in
// their three states in every border style and with a custom glyph strip;
// labels with every effect and style, turned and textured.
#include "editors/framework/CheckBox.h"
#include "editors/framework/Label.h"
#include "platform/Forms.h"
#include "tests/editors/framework/EditorFixture.h"

#include <gtest/gtest.h>

#include <vector>

using testing_support::RunMessagesUntil;
using testing_support::RunMessagesUntilIdle;

namespace {

TEST(ChecksLabelsGallery, Screenshot) {
  editor_test::StartEditorUnits();
  cxCheckBoxInit();
  cxLabelInit();
  auto* form = New<TForm>(nullptr);
  form->SetBounds(40, 40, 850, 520);
  form->SetCaption("Check boxes and labels");
  std::vector<TcxCustomEdit*> edits;
  const TcxEditBorderStyle borders[] = {ebsNone, ebsSingle, ebsThick, ebsFlat, ebs3D, ebsUltraFlat, ebsOffice11};
  const char* const borderNames[] = {"None", "Single", "Thick", "Flat", "3D", "UltraFlat", "Office11"};
  const Variant values[] = {Variant(false), Variant(true), Variant::Null()};
  const char* const stateNames[] = {"unchecked", "checked", "grayed"};
  TBitmap strip;
  strip.SetSize(13 * 6, 13);
  const TColor cells[6] = {clWhite, clLime, clSilver, clGray, clGreen, clBlack};
  for (int i = 0; i < 6; ++i) {
    strip.Canvas()->Brush()->SetColor(clNavy);
    strip.Canvas()->FillRect(RECT{13 * i, 0, 13 * i + 13, 13});
    strip.Canvas()->Brush()->SetColor(cells[i]);
    strip.Canvas()->FillRect(RECT{13 * i + 2, 2, 13 * i + 11, 11});
  }
  for (int b = 0; b < 8; ++b) {
    for (int s = 0; s < 3; ++s) {
      auto* box = New<TcxCheckBox>(form);
      box->SetParent(form);
      box->SetBounds(8 + s * 155, 8 + b * 28, 150, 24);
      box->Properties()->SetAllowGrayed(true);
      if (b < 7) {
        box->Style()->SetEditBorderStyle(borders[b]);
        box->SetCaption(AnsiString(borderNames[b]) + " " + stateNames[s]);
      } else {
        box->Properties()->SetGlyph(&strip);
        box->SetCaption(AnsiString("&Glyph ") + stateNames[s]);
      }
      box->SetEditValue(values[s]);
      edits.push_back(box);
    }
  }
  struct TLabelRow {
    const char* Caption;
    TcxLabelEffect Effect;
    TcxLabelStyle Style;
    TcxLabelOrientation Orientation;
    int Depth, Angle;
    bool Textured;
  };
  const TLabelRow rows[] = {
      {"Normal", cxleNormal, cxlsNormal, cxoRightBottom, 0, 0, false},
      {"Fun", cxleFun, cxlsNormal, cxoRightBottom, 4, 0, false},
      {"Extrude", cxleExtrude, cxlsNormal, cxoRightBottom, 5, 0, false},
      {"Cool", cxleCool, cxlsNormal, cxoLeftBottom, 4, 0, false},
      {"Raised", cxleNormal, cxlsRaised, cxoRightBottom, 0, 0, false},
      {"Lowered", cxleNormal, cxlsLowered, cxoRightBottom, 0, 0, false},
      {"Outline", cxleNormal, cxlsOutLine, cxoRightBottom, 0, 0, false},
      {"Textured", cxleNormal, cxlsNormal, cxoRightBottom, 0, 0, true},
  };
  TBitmap texture;
  texture.SetSize(6, 6);
  texture.Canvas()->Brush()->SetColor(clRed);
  texture.Canvas()->FillRect(RECT{0, 0, 6, 6});
  texture.Canvas()->Brush()->SetColor(clBlue);
  texture.Canvas()->FillRect(RECT{0, 0, 3, 3});
  texture.Canvas()->FillRect(RECT{3, 3, 6, 6});
  int y = 8;
  for (const TLabelRow& r : rows) {
    auto* label = New<TcxLabel>(form);
    label->SetParent(form);
    label->SetBounds(480, y, 180, 34);
    label->Style()->GetFont()->SetName("Tahoma");
    label->Style()->GetFont()->SetSize(16);
    label->Style()->GetFont()->SetColor(clNavy);
    label->Properties()->SetLabelEffect(r.Effect);
    label->Properties()->SetLabelStyle(r.Style);
    label->Properties()->SetOrientation(r.Orientation);
    label->Properties()->SetDepth(static_cast<uint16_t>(r.Depth));
    label->Properties()->SetShadowedColor(clSilver);
    label->Properties()->SetPenWidth(1);
    if (r.Textured) label->Properties()->SetGlyph(&texture);
    label->SetCaption(r.Caption);
    edits.push_back(label);
    y += 38;
  }
  for (int angle : {30, 90}) {
    auto* label = New<TcxLabel>(form);
    label->SetParent(form);
    label->SetBounds(angle == 30 ? 670 : 765, 8, angle == 30 ? 90 : 60, 200);
    label->Style()->GetFont()->SetName("Tahoma");
    label->Style()->GetFont()->SetSize(16);
    label->Properties()->SetAngle(angle);
    label->Properties()->SetLabelEffect(cxleExtrude);
    label->Properties()->SetDepth(3);
    label->Properties()->SetShadowedColor(clSilver);
    if (angle == 90) label->Properties()->SetGlyph(&texture);
    label->SetCaption(angle == 30 ? "Turned 30" : "Turned 90");
    edits.push_back(label);
  }
  form->Show();
  RunMessagesUntilIdle();
  for (TcxCustomEdit* edit : edits) edit->Invalidate();
  RunMessagesUntil([&] {
    for (TcxCustomEdit* edit : edits)
      if (GetUpdateRect(edit->Handle(), nullptr, FALSE)) return false;
    return true;
  });
  const std::string path = testing_support::SaveScreenshot(form->Handle(), "checks-labels");
  EXPECT_FALSE(path.empty());
  Free(form);
  cxLabelDone();
  cxCheckBoxDone();
  editor_test::FinishEditorUnits();
}

}  // namespace
