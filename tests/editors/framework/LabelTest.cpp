// The label: its effects drawn against the same text drawn plainly at the
// measured places, rotation and measuring, the accelerator that focuses the
// linked control and the cache that renders again only when needed.
#include "editors/framework/Label.h"

#include "editors/framework/CheckBox.h"
#include "platform/Forms.h"
#include "platform/Messages.h"
#include "tests/editors/framework/EditorFixture.h"

#include <gtest/gtest.h>

#include <vector>

using lookandfeel_test::TestSurface;
using testing_support::Image;

using testing_support::RunMessagesUntil;
using testing_support::RunMessagesUntilIdle;

namespace {

struct TLayer {
  POINT At;
  TColor Color;
};

constexpr int kW = 120, kH = 50;

// The text drawn plainly, layer by layer, as the label must draw it.
Image Expected(TFont* font, const AnsiString& text, const std::vector<TLayer>& layers, TColor background) {
  TestSurface s(kW, kH, background);
  HDC dc = s.Canvas()->GetDeviceContext();
  LOGFONTA lf{};
  GetObjectA(font->Handle(), sizeof lf, &lf);
  HFONT f = CreateFontIndirectA(&lf);
  HGDIOBJ old = SelectObject(dc, f);
  SetBkMode(dc, TRANSPARENT);
  for (const TLayer& layer : layers) {
    SetTextColor(dc, ColorToRGB(layer.Color));
    RECT r{layer.At.x, layer.At.y, layer.At.x + kW, layer.At.y + kH};
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_NOCLIP | DT_TOP | DT_LEFT);
  }
  SelectObject(dc, old);
  DeleteObject(f);
  return s.Read();
}

class LabelDrawing : public ::testing::Test {
protected:
  void SetUp() override {
    editor_test::StartEditorUnits();
    FProperties = std::make_unique<TcxLabelProperties>(nullptr);
    FFont.SetName("Tahoma");
    FFont.SetSize(14);
  }
  void TearDown() override {
    FProperties.reset();
    editor_test::FinishEditorUnits();
  }
  Image Draw() {
    TestSurface s(kW, kH, clRed);
    TcxLabelDrawParams p;
    p.Properties = FProperties.get();
    p.Text = "Hex";
    p.Font = &FFont;
    p.TextColor = clBlack;
    p.BackgroundColor = clWhite;
    DrawLabel(s.Canvas(), RECT{0, 0, kW, kH}, p);
    return s.Read();
  }
  SIZE Measure(int width = -1) {
    TestSurface s(4, 4);
    TcxLabelDrawParams p;
    p.Properties = FProperties.get();
    p.Text = "Hex";
    p.Font = &FFont;
    return MeasureLabelText(s.Canvas(), width, p);
  }
  std::unique_ptr<TcxLabelProperties> FProperties;
  TFont FFont;
};

TEST_F(LabelDrawing, EffectsDrawTheirCopiesAtTheDepthOffsets) {
  const TColor shadow = clBlue;
  struct TCase {
    const char* Name;
    TcxLabelEffect Effect;
    TcxLabelOrientation Orientation;
    int Depth;
    std::vector<TLayer> Layers;
  };
  const TCase cases[] = {
      {"normal", cxleNormal, cxoRightBottom, 5, {{{0, 0}, clBlack}}},
      {"extrude 5 right-bottom", cxleExtrude, cxoRightBottom, 5,
       {{{5, 5}, shadow}, {{4, 4}, shadow}, {{3, 3}, shadow}, {{2, 2}, shadow}, {{1, 1}, shadow}, {{0, 0}, clBlack}}},
      {"cool 4 left", cxleCool, cxoLeft, 4, {{{0, 0}, shadow}, {{4, 0}, clBlack}}},
      {"cool 3 bottom", cxleCool, cxoBottom, 3, {{{0, 3}, shadow}, {{0, 0}, clBlack}}},
      {"fun 3 right-bottom", cxleFun, cxoRightBottom, 3,
       {{{3, 3}, BlendColor(clWhite, shadow, 1, 3)},
        {{2, 2}, BlendColor(clWhite, shadow, 2, 3)},
        {{1, 1}, BlendColor(clWhite, shadow, 3, 3)},
        {{0, 0}, clBlack}}},
      {"extrude 2 left-top", cxleExtrude, cxoLeftTop, 2, {{{0, 0}, shadow}, {{1, 1}, shadow}, {{2, 2}, clBlack}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    FProperties->SetLabelEffect(c.Effect);
    FProperties->SetOrientation(c.Orientation);
    FProperties->SetDepth(static_cast<uint16_t>(c.Depth));
    FProperties->SetShadowedColor(shadow);
    EXPECT_EQ(Draw(), Expected(&FFont, "Hex", c.Layers, clWhite));
  }
}

TEST_F(LabelDrawing, FunBlendsFromTheBackgroundToTheShadow) {
  EXPECT_EQ(BlendColor(RGB(0, 0, 0), RGB(90, 30, 255), 1, 3), static_cast<TColor>(RGB(30, 10, 85)));
  EXPECT_EQ(BlendColor(RGB(0, 0, 0), RGB(90, 30, 255), 2, 3), static_cast<TColor>(RGB(60, 20, 170)));
  EXPECT_EQ(BlendColor(RGB(255, 255, 255), RGB(0, 0, 0), 1, 3), static_cast<TColor>(RGB(170, 170, 170)));
  EXPECT_EQ(BlendColor(RGB(10, 10, 10), RGB(40, 40, 40), 3, 3), static_cast<TColor>(RGB(40, 40, 40)));
}

TEST_F(LabelDrawing, RaisedAndLoweredDependOnTheFontSize) {
  struct TCase {
    const char* Name;
    TcxLabelStyle Style;
    int Points;
    std::vector<TLayer> Layers;
  };
  const TCase cases[] = {
      {"raised 10", cxlsRaised, 10, {{{1, 1}, clBtnHighlight}, {{2, 2}, clBlack}}},
      {"raised 14", cxlsRaised, 14, {{{2, 2}, clBtnHighlight}, {{4, 4}, clBtnShadow}, {{3, 3}, clBlack}}},
      {"lowered 14", cxlsLowered, 14, {{{2, 2}, clBtnShadow}, {{4, 4}, clBtnHighlight}, {{3, 3}, clBlack}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    FProperties->SetLabelStyle(c.Style);
    FFont.SetSize(c.Points);
    EXPECT_EQ(Draw(), Expected(&FFont, "Hex", c.Layers, clWhite));
  }
}

TEST_F(LabelDrawing, MeasuringAddsTheDepthAndTheStyleOffset) {
  const SIZE plain = Measure();
  ASSERT_GT(plain.cx, 0);
  FProperties->SetLabelEffect(cxleExtrude);
  FProperties->SetDepth(5);
  FProperties->SetOrientation(cxoRight);
  EXPECT_EQ(Measure().cx, plain.cx + 5);
  EXPECT_EQ(Measure().cy, plain.cy);
  FProperties->SetLabelStyle(cxlsRaised);
  EXPECT_EQ(Measure().cx, plain.cx + 5 + 2);
  EXPECT_EQ(Measure().cy, plain.cy + 2);
}

TEST_F(LabelDrawing, ATrueTypeFontTurnsARasterFontDoesNot) {
  const SIZE flat = Measure();
  FProperties->SetAngle(90);
  const SIZE turned = Measure();
  EXPECT_NEAR(turned.cx, flat.cy, 1);
  EXPECT_NEAR(turned.cy, flat.cx, 1);
  EXPECT_NE(Draw(), Expected(&FFont, "Hex", {{{0, 0}, clBlack}}, clWhite));

  // Any raster (not TrueType) family the system has; where the locale
  // loads none, the sans-serif raster font file of the system's font folder
  // is added for this program.
  static uint8_t rasterCharset = ANSI_CHARSET;
  auto findRaster = [] {
    AnsiString raster;
    TestSurface s(4, 4);
    LOGFONTA query{};
    query.lfCharSet = DEFAULT_CHARSET;
    EnumFontFamiliesExA(
        s.Canvas()->GetDeviceContext(), &query,
        [](const LOGFONTA* lf, const TEXTMETRICA*, DWORD type, LPARAM data) -> int {
          if ((type & RASTER_FONTTYPE) == 0 || lf->lfFaceName[0] == '@') return 1;
          *reinterpret_cast<AnsiString*>(data) = lf->lfFaceName;
          rasterCharset = lf->lfCharSet;
          return 0;
        },
        reinterpret_cast<LPARAM>(&raster), 0);
    return raster;
  };
  AnsiString raster = findRaster();
  if (raster.empty()) {
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, MAX_PATH);
    const AnsiString candidates[] = {AnsiString(folder) + "\\Fonts\\sserife.fon",
                                     "Z:\\usr\\share\\wine\\fonts\\sserife.fon"};
    for (const AnsiString& file : candidates)
      if (AddFontResourceExA(file.c_str(), FR_PRIVATE, nullptr) > 0) break;
    raster = findRaster();
  }
  ASSERT_FALSE(raster.empty()) << "a raster font";
  FFont.SetName(raster);
  FFont.SetCharset(rasterCharset);
  FFont.SetSize(10);
  FProperties->SetAngle(0);
  {
    TestSurface s(4, 4);
    HDC dc = s.Canvas()->GetDeviceContext();
    HGDIOBJ old = SelectObject(dc, FFont.Handle());
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ASSERT_EQ(tm.tmPitchAndFamily & TMPF_TRUETYPE, 0) << "a raster font";
    EXPECT_EQ(EffectiveLabelAngle(s.Canvas(), &FFont, 45), 0);
  }
  const Image unrotated = Draw();
  const SIZE unrotatedSize = Measure();
  FProperties->SetAngle(45);
  EXPECT_EQ(Draw(), unrotated);
  EXPECT_EQ(Measure().cx, unrotatedSize.cx);
  EXPECT_EQ(Measure().cy, unrotatedSize.cy);
}

TEST_F(LabelDrawing, AGlyphTexturesTheLetters) {
  TBitmap glyph;
  glyph.SetSize(4, 4);
  glyph.Canvas()->Brush()->SetColor(clLime);
  glyph.Canvas()->FillRect(RECT{0, 0, 4, 4});
  FFont.SetSize(24);
  const Image plain = Draw();
  FProperties->SetGlyph(&glyph);
  const Image textured = Draw();
  int lime = 0, black = 0;
  for (uint32_t px : textured.Pixels) {
    lime += px == testing_support::Rgb(RGB(0, 255, 0)) ? 1 : 0;
    black += px == 0 ? 1 : 0;
  }
  EXPECT_GT(lime, 20) << "the letters are filled with the glyph";
  EXPECT_EQ(black, 0);
  int plainBlack = 0;
  for (uint32_t px : plain.Pixels) plainBlack += px == 0 ? 1 : 0;
  EXPECT_GT(plainBlack, 20);
  FProperties->SetGlyph(nullptr);
  EXPECT_FALSE(FProperties->HasGlyph());
}

TEST_F(LabelDrawing, DepthOffsetsFollowTheOrientation) {
  struct TCase {
    TcxLabelEffect Effect;
    TcxLabelOrientation Orientation;
    int Dx, Dy;
  };
  const TCase cases[] = {{cxleNormal, cxoRight, 0, 0}, {cxleCool, cxoLeft, 7, 0}, {cxleCool, cxoTop, 0, 7},
                         {cxleFun, cxoRightTop, 7, 7}, {cxleExtrude, cxoBottom, 0, 7}};
  FProperties->SetDepth(7);
  for (const TCase& c : cases) {
    FProperties->SetLabelEffect(c.Effect);
    FProperties->SetOrientation(c.Orientation);
    int dx = -1, dy = -1;
    FProperties->DepthOffsets(dx, dy);
    EXPECT_EQ(dx, c.Dx);
    EXPECT_EQ(dy, c.Dy);
  }
}

class LabelOnForm : public ::testing::Test {
protected:
  void SetUp() override {
    editor_test::StartEditorUnits();
    cxCheckBoxInit();
    cxLabelInit();
    FForm = New<TForm>(nullptr);
    FForm->SetBounds(60, 60, 320, 200);
  }
  void TearDown() override {
    Free(FForm);
    cxLabelDone();
    cxCheckBoxDone();
    editor_test::FinishEditorUnits();
  }
  TForm* FForm = nullptr;
};

TEST_F(LabelOnForm, TheAcceleratorFocusesTheLinkedControlOnlyWithShowAccelChar) {
  auto* label = New<TcxLabel>(FForm);
  label->SetParent(FForm);
  label->SetBounds(10, 10, 100, 20);
  label->SetCaption("&Name");
  auto* box = New<TcxCheckBox>(FForm);
  box->SetParent(FForm);
  box->SetBounds(10, 40, 120, 22);
  auto* other = New<TcxCheckBox>(FForm);
  other->SetParent(FForm);
  other->SetBounds(10, 70, 120, 22);
  label->SetFocusControl(label);
  EXPECT_EQ(label->FocusControl(), nullptr) << "the label refuses itself";
  label->SetFocusControl(box);
  FForm->Show();
  RunMessagesUntilIdle();
  struct TCase {
    const char* Name;
    bool ShowAccelChar;
    char Key;
    LRESULT Result;
    bool Focuses;
  };
  const TCase cases[] = {
      {"accelerator", true, 'n', 1, true},
      {"another letter", true, 'x', 0, false},
      {"without ShowAccelChar", false, 'n', 0, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    label->Properties()->SetShowAccelChar(c.ShowAccelChar);
    other->SetFocus();
    RunMessagesUntilIdle();
    EXPECT_EQ(SendMessageA(label->Handle(), CM_DIALOGCHAR, c.Key, 0), c.Result);
    RunMessagesUntilIdle();
    EXPECT_EQ(box->Focused(), c.Focuses);
  }
  EXPECT_EQ(box->State(), cbsUnchecked) << "the label only moves the focus";
  Free(box);
  EXPECT_EQ(label->FocusControl(), nullptr) << "forgotten when freed";
}

TEST_F(LabelOnForm, TheCacheRendersAgainOnlyOnAMoveOrAColourChange) {
  auto* label = New<TcxLabel>(FForm);
  label->SetParent(FForm);
  label->SetBounds(10, 10, 120, 24);
  label->SetCaption("Cached");
  FForm->Show();
  RunMessagesUntilIdle();
  label->Repaint();
  const int first = label->RenderCount();
  ASSERT_GT(first, 0);
  label->Invalidate();
  label->Repaint();
  RunMessagesUntilIdle();
  EXPECT_EQ(label->RenderCount(), first) << "a plain repaint copies the cache";
  label->SetBounds(30, 10, 120, 24);
  label->Repaint();
  RunMessagesUntilIdle();
  EXPECT_EQ(label->RenderCount(), first + 1) << "moved";
  label->Style()->SetColor(clYellow);
  label->Repaint();
  RunMessagesUntilIdle();
  EXPECT_EQ(label->RenderCount(), first + 2) << "a new colour";
  label->Repaint();
  RunMessagesUntilIdle();
  EXPECT_EQ(label->RenderCount(), first + 2);
  // The pixels show the new background.
  const Image shown = testing_support::ReadWindowPixels(label->Handle());
  EXPECT_EQ(shown.At(shown.Width - 2, shown.Height - 2), testing_support::Rgb(RGB(255, 255, 0)));
}

TEST_F(LabelOnForm, CaptionAndValueFollowEachOther) {
  auto* label = New<TcxLabel>(FForm);
  label->SetParent(FForm);
  label->SetCaption("One");
  EXPECT_EQ(label->EditValue().AsString(), "One");
  label->SetEditValue(Variant(AnsiString("Two")));
  EXPECT_EQ(label->Caption(), "Two");
  label->SetEditValue(Variant(42));
  EXPECT_EQ(label->Caption(), "42");
}

}  // namespace
