// The containers' gallery: the seven border styles in the four states
// (normal, focused, disabled, hot) and a scroll bar, for each look (flat,
// standard, ultra-flat, Office 2003, native), into
// build/artefacts/foundation-containers.png.
#include "foundation/Container.h"
#include "foundation/Office11.h"
#include "platform/Forms.h"
#include "tests/foundation/LookAndFeelFixture.h"

#include <algorithm>
#include <vector>

using namespace lookandfeel_test;
using namespace testing_support;

namespace {

// A container shown in a state it is told to take.
class TGalleryContainer : public TcxContainer {
public:
  using TcxContainer::TcxContainer;
  bool ForceFocused = false;
  bool ForceHot = false;
  bool IsFocusedNow() override { return ForceFocused || TcxContainer::IsFocusedNow(); }
  void CalcViewInfo(POINT p, bool hotAllowed) override {
    if (ForceHot) {
      const RECT body = BodyRect();
      p = POINT{(body.left + body.right) / 2, (body.top + body.bottom) / 2};
      hotAllowed = true;
    }
    TcxContainer::CalcViewInfo(p, hotAllowed);
  }
  void HandleTrackedMouseLeave() override {
    if (!ForceHot) TcxContainer::HandleTrackedMouseLeave();
  }
};

struct TLook {
  const char* Name;
  TcxLookAndFeelKind Kind;
  bool Native;
};

const TLook Looks[] = {
    {"flat", lfFlat, false},          {"standard", lfStandard, false}, {"ultra-flat", lfUltraFlat, false},
    {"Office 2003", lfOffice11, false}, {"native", lfStandard, true},
};
const TcxContainerBorderStyle BorderStyles[] = {cbsNone,  cbsSingle,    cbsThick,   cbsFlat,
                                                cbs3D,    cbsUltraFlat, cbsOffice11};
constexpr int CellWidth = 110, CellHeight = 26, Gap = 6;

class ContainerGallery : public ::testing::Test {
protected:
  void SetUp() override { StartContainerUnits(); }
  void TearDown() override { FinalizeUnits(); }
};

TEST_F(ContainerGallery, SevenBorderStylesInFourStatesAndAScrollBarPerLook) {
  std::vector<Image> sheets;
  for (const TLook& look : Looks) {
    TForm* form = New<TForm>(nullptr);
    form->SetBorderStyle(bsNone);
    form->SetBounds(0, 0, 4 * (CellWidth + Gap) + Gap, 7 * (CellHeight + Gap) + Gap + 24);
    TGalleryContainer* cells[7][4] = {};
    for (int row = 0; row < 7; ++row)
      for (int column = 0; column < 4; ++column) {
        auto* c = New<TGalleryContainer>(form);
        c->SetBounds(Gap + column * (CellWidth + Gap), Gap + row * (CellHeight + Gap), CellWidth, CellHeight);
        c->SetParent(form);
        c->Style()->GetLookAndFeel()->SetKind(look.Kind);
        c->Style()->GetLookAndFeel()->SetNativeStyle(look.Native);
        c->Style()->SetBorderStyle(BorderStyles[row]);
        c->ForceFocused = column == 1;
        if (column == 2) c->SetEnabled(false);
        c->ForceHot = column == 3;
        cells[row][column] = c;
      }
    auto* bar = New<TcxScrollBar>(form);
    bar->SetParent(form);
    bar->SetBounds(Gap, 7 * (CellHeight + Gap) + Gap, 2 * CellWidth, GetSystemMetrics(SM_CYHSCROLL));
    bar->LookAndFeel()->SetKind(look.Kind);
    bar->LookAndFeel()->SetNativeStyle(look.Native);
    bar->SetScrollParams(0, 99, 30, 20);
    form->Show();
    for (auto& row : cells)
      for (TGalleryContainer* c : row) c->RefreshContainer();
    RunMessagesUntilIdle();
    sheets.push_back(ReadWindowPixels(form->Handle()));
    if (look.Kind == lfOffice11 && !look.Native) {
      // The Office 2003 row: lit when focused or hot, shadow-grey otherwise.
      TGalleryContainer* const* office = cells[6];
      const Image frame = ReadClientPixels(office[3]->Handle());
      EXPECT_EQ(frame.At(1, CellHeight / 2), Rgb(ColorToRGB(Office11Color(41)))) << "hot";
      EXPECT_EQ(ReadClientPixels(office[1]->Handle()).At(1, CellHeight / 2), Rgb(ColorToRGB(Office11Color(41))))
          << "focused";
      EXPECT_EQ(ReadClientPixels(office[0]->Handle()).At(1, CellHeight / 2), Rgb(ColorToRGB(clBtnShadow)))
          << "normal";
      EXPECT_EQ(ReadClientPixels(office[2]->Handle()).At(1, CellHeight / 2), Rgb(ColorToRGB(clBtnShadow)))
          << "disabled";
      // The single-line row in the normal state: the frame colour.
      EXPECT_EQ(ReadClientPixels(cells[1][0]->Handle()).At(1, CellHeight / 2), Rgb(ColorToRGB(clWindowFrame)));
    }
    Free(form);
  }
  Image all;
  for (const Image& sheet : sheets) {
    all.Width = std::max(all.Width, sheet.Width);
    all.Height += sheet.Height + Gap;
  }
  all.Pixels.assign(static_cast<size_t>(all.Width) * all.Height, 0x808080u);
  int top = 0;
  for (const Image& sheet : sheets) {
    for (int y = 0; y < sheet.Height; ++y)
      std::copy_n(&sheet.Pixels[static_cast<size_t>(y) * sheet.Width], sheet.Width,
                  &all.Pixels[static_cast<size_t>(top + y) * all.Width]);
    top += sheet.Height + Gap;
  }
  SaveArtefact(all, "foundation-containers");
}

}  // namespace
