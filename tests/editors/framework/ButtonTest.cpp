// The editors' push button: its glyph strip and the shared glyph lists, the
// layout of glyph and caption, the speed-button groups, the drop-down kinds,
// the colours of each state, the painter it draws with and its pixels.
#include "editors/framework/Button.h"
#include "foundation/Office11Painter.h"
#include "foundation/StandardPainter.h"
#include "foundation/WinXPPainter.h"
#include "platform/Forms.h"
#include "platform/HandleCounts.h"
#include "tests/foundation/LookAndFeelFixture.h"

#include <algorithm>
#include <memory>

using namespace lookandfeel_test;
using namespace testing_support;

namespace {

// A strip of `cells` cells of `cellWidth` x `height`, cell i filled with
// CellColors[i] on a transparent (bottom-left) clOlive corner.
const TColor CellColors[] = {clRed, clLime, clBlue, clYellow, clAqua};

std::unique_ptr<TBitmap> Strip(int width, int height, int cells) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(TPixelFormat::pf24bit);
  bitmap->SetSize(width, height);
  const int cell = cells > 0 ? width / cells : width;
  for (int i = 0; i < std::max(cells, 1); ++i) {
    bitmap->Canvas()->Brush()->SetColor(CellColors[i % 5]);
    bitmap->Canvas()->FillRect(RECT{i * cell, 0, (i + 1) * cell, height});
    bitmap->Canvas()->SetPixels(i * cell, height - 1, clOlive);
  }
  return bitmap;
}

// A popup menu that records where it was asked to open instead of opening.
class TRecordingMenu : public TPopupMenu {
public:
  using TPopupMenu::TPopupMenu;
  void Popup(int X, int Y) override {
    // A menu takes the mouse capture: the pressed button then never clicks.
    ReleaseCapture();
    Points.push_back(POINT{X, Y});
    // The user presses the button again while the menu shows.
    if (PressWhileOpen) {
      const POINT p = PressWhileOpen->ScreenToClient(POINT{X, Y - 5});
      PostMessageA(PressWhileOpen->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
      PostMessageA(PressWhileOpen->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
      PressWhileOpen = nullptr;
    }
    AlignmentAtPopup = Alignment();
  }
  std::vector<POINT> Points;
  TPopupAlignment AlignmentAtPopup = paLeft;
  TWinControl* PressWhileOpen = nullptr;
};

class ButtonTest : public PainterUnits {
protected:
  void SetUp() override {
    PainterUnits::SetUp();
    FForm = New<TForm>(nullptr);
    FForm->SetBounds(60, 60, 420, 300);
  }
  void TearDown() override {
    if (GetCapture()) ReleaseCapture();
    Free(FForm);
    PainterUnits::TearDown();
  }
  TcxButton* Place(int left, int top, int width = 90, int height = 28, const char* caption = "") {
    auto* button = New<TcxButton>(FForm);
    button->SetParent(FForm);
    button->SetBounds(left, top, width, height);
    button->SetCaption(caption);
    return button;
  }
  void Show() {
    FForm->Show();
    RunMessagesUntilIdle();
  }
  void Post(TcxButton* button, UINT msg, POINT p, WPARAM keys = 0) {
    PostMessageA(button->Handle(), msg, keys, MAKELPARAM(p.x, p.y));
    RunMessagesUntilIdle();
  }
  void Press(TcxButton* button, POINT p) {
    Post(button, WM_LBUTTONDOWN, p, MK_LBUTTON);
    Post(button, WM_LBUTTONUP, p);
  }
  // The colour of the glyph-list image of a state, at its middle.
  static TColor ImageColor(TcxButtonGlyph* glyph, TcxButtonState state) {
    const int index = glyph->StateImageIndex(state);
    if (index < 0 || !glyph->GlyphList()) return clNone;
    TBitmap target;
    target.SetPixelFormat(TPixelFormat::pf24bit);
    target.SetSize(glyph->GlyphList()->Width(), glyph->GlyphList()->Height());
    target.Canvas()->Brush()->SetColor(clWhite);
    target.Canvas()->FillRect(RECT{0, 0, target.GetWidth(), target.GetHeight()});
    glyph->GlyphList()->Draw(target.Canvas(), 0, 0, index, true);
    GdiFlush();
    return target.Canvas()->Pixels(target.GetWidth() / 2, target.GetHeight() / 2);
  }

  TForm* FForm = nullptr;
};

TEST_F(ButtonTest, TheCellCountFollowsTheStripsShape) {
  const struct {
    int Width, Height, NumGlyphs;
  } cases[] = {{64, 16, 4}, {80, 16, 1}, {30, 16, 1}, {32, 16, 2}, {48, 16, 3}, {16, 16, 1}, {16, 0, 1}};
  TcxButton* button = Place(10, 10);
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.Width) + "x" + std::to_string(c.Height));
    button->SetGlyph(Strip(c.Width, c.Height, c.NumGlyphs).get());
    EXPECT_EQ(button->NumGlyphs(), c.NumGlyphs);
  }
  button->SetNumGlyphs(9);
  EXPECT_EQ(button->NumGlyphs(), 4);
  button->SetNumGlyphs(0);
  EXPECT_EQ(button->NumGlyphs(), 1);
}

TEST_F(ButtonTest, EachStateShowsItsCell) {
  const struct {
    int Cells;
    TcxButtonState State;
    TColor Expected;  // clNone: a generated image, neither cell colour
  } cases[] = {
      {2, cxbsPressed, clRed},   {3, cxbsPressed, clBlue},   {4, cxbsPressed, clBlue},
      {2, cxbsDisabled, clLime}, {4, cxbsHot, clRed},        {1, cxbsNormal, clRed},
      {1, cxbsPressed, clRed},   {1, cxbsDisabled, clNone},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.Cells) + " cells, state " + std::to_string(c.State));
    TcxButtonGlyph glyph;
    glyph.SetGlyph(Strip(16 * c.Cells, 16, c.Cells).get());
    ASSERT_EQ(glyph.NumGlyphs(), c.Cells);
    const TColor color = ImageColor(&glyph, c.State);
    if (c.Expected != clNone) {
      EXPECT_EQ(color, ColorToRGB(c.Expected));
    } else {
      EXPECT_NE(color, ColorToRGB(clRed));
      EXPECT_NE(color, ColorToRGB(clWhite)) << "the disabled image shows something";
    }
  }
}

TEST_F(ButtonTest, GlyphsOfOneSizeShareAListFreedWithTheLast) {
  const THandleCounts before = HandleCounts();
  {
    ASSERT_EQ(cxGlyphCache(), nullptr);
    auto first = std::make_unique<TcxButtonGlyph>();
    auto second = std::make_unique<TcxButtonGlyph>();
    auto other = std::make_unique<TcxButtonGlyph>();
    ASSERT_NE(cxGlyphCache(), nullptr);
    first->SetGlyph(Strip(16, 16, 1).get());
    second->SetGlyph(Strip(32, 16, 2).get());
    other->SetGlyph(Strip(20, 20, 1).get());
    first->StateImageIndex(cxbsNormal);
    second->StateImageIndex(cxbsNormal);
    second->StateImageIndex(cxbsDisabled);
    other->StateImageIndex(cxbsNormal);
    ASSERT_NE(first->GlyphList(), nullptr);
    EXPECT_EQ(first->GlyphList(), second->GlyphList());
    EXPECT_NE(first->GlyphList(), other->GlyphList());
    EXPECT_EQ(first->GlyphList()->UsedCount(), 3);
    EXPECT_EQ(cxGlyphCache()->ListCount(), 2);
    // A freed slot is taken again.
    const int freed = first->StateImageIndex(cxbsNormal);
    first->ReleaseImages();
    EXPECT_EQ(second->GlyphList()->UsedCount(), 2);
    EXPECT_EQ(first->StateImageIndex(cxbsNormal), freed);
    first.reset();
    EXPECT_EQ(cxGlyphCache()->ListCount(), 2);
    second.reset();
    EXPECT_EQ(cxGlyphCache()->ListCount(), 1) << "the emptied list is freed";
    other.reset();
    EXPECT_EQ(cxGlyphCache(), nullptr) << "the cache goes with the last glyph";
  }
  EXPECT_EQ(HandleCounts(), before);
}

TEST_F(ButtonTest, GlyphAndCaptionLayout) {
  TcxButton* button = Place(10, 10, 120, 40);
  button->SetGlyph(Strip(16, 16, 1).get());
  TBitmap surface;
  surface.SetSize(10, 10);
  TCanvas* canvas = surface.Canvas();
  canvas->Font()->Assign(button->Font());
  const RECT content{2, 3, 102, 43};  // 100 x 40
  const POINT noOffset{0, 0};
  const struct {
    const char* Name;
    const char* Caption;
    TButtonLayout Layout;
    int Margin, Spacing;
    bool RightToLeft;
    POINT Offset;
    int GlyphX, GlyphY;  // relative to the content
  } cases[] = {
      // No caption: the spacing is 0, so an automatic margin halves the room.
      {"left, automatic", "", blGlyphLeft, -1, -1, false, noOffset, (100 - 16) / 2, 12},
      {"left, margin 5", "", blGlyphLeft, 5, 4, false, noOffset, 5, 12},
      {"right, margin 5", "", blGlyphRight, 5, 4, false, noOffset, 100 - 5 - 16, 12},
      {"right to left swaps left", "", blGlyphLeft, 5, 4, true, noOffset, 100 - 5 - 16, 12},
      {"top, margin 2", "", blGlyphTop, 2, 4, false, noOffset, 42, 2},
      {"bottom, margin 2", "", blGlyphBottom, 2, 4, false, noOffset, 42, 40 - 2 - 16},
      {"offset moves it", "", blGlyphLeft, 5, 4, false, POINT{1, 1}, 6, 13},
      {"automatic margin, spacing 4", "", blGlyphLeft, -1, 4, false, noOffset, (100 - 16) / 2, 12},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    button->SetCaption(c.Caption);
    button->SetLayout(c.Layout);
    button->SetMargin(c.Margin);
    button->SetSpacing(c.Spacing);
    const auto layout = button->CalculateLayout(canvas, content, c.Offset, c.RightToLeft);
    EXPECT_EQ(layout.GlyphPos.x - content.left, c.GlyphX);
    EXPECT_EQ(layout.GlyphPos.y - content.top, c.GlyphY);
  }
  // With a caption of width T: margin and spacing a third of the free width
  // each; the text follows the glyph.
  button->SetCaption("Abc");
  const int t = canvas->TextWidth("Abc");
  button->SetLayout(blGlyphLeft);
  button->SetMargin(-1);
  button->SetSpacing(-1);
  auto layout = button->CalculateLayout(canvas, content, noOffset, false);
  const int third = (100 - (16 + t)) / 3;
  EXPECT_EQ(layout.GlyphPos.x - content.left, third);
  EXPECT_EQ(layout.TextRect.left - content.left, third + 16 + third);
  EXPECT_EQ(layout.TextRect.right - layout.TextRect.left, t);
  // Margin given, spacing automatic: the rest halved.
  button->SetMargin(4);
  layout = button->CalculateLayout(canvas, content, noOffset, false);
  EXPECT_EQ(layout.TextRect.left - content.left, 4 + 16 + ((100 - (4 + 16)) - t) / 2);
  // Right layout: the text ends spacing before the glyph.
  button->SetLayout(blGlyphRight);
  button->SetSpacing(6);
  layout = button->CalculateLayout(canvas, content, noOffset, false);
  EXPECT_EQ(layout.GlyphPos.x - content.left, 100 - 4 - 16);
  EXPECT_EQ(layout.TextRect.right - content.left, 100 - 4 - 16 - 6);
  // Without a glyph the text takes margins of 1 and 2.
  button->SetGlyph(nullptr);
  button->SetLayout(blGlyphLeft);
  button->SetMargin(0);
  layout = button->CalculateLayout(canvas, content, noOffset, false);
  EXPECT_EQ(layout.TextRect.right - layout.TextRect.left, t + 3);
  // A margin below -1 is ignored.
  button->SetMargin(-5);
  EXPECT_EQ(button->Margin(), 0);
}

TEST_F(ButtonTest, ASpeedGroupOfThree) {
  TcxButton* buttons[] = {Place(10, 10), Place(110, 10), Place(210, 10)};
  for (TcxButton* b : buttons) b->SetGroupIndex(1);
  Show();
  const POINT middle{45, 14};
  const auto downs = [&] {
    std::string s;
    for (TcxButton* b : buttons) s += b->Down() ? '1' : '0';
    return s;
  };
  Press(buttons[0], middle);
  EXPECT_EQ(downs(), "100");
  Press(buttons[2], middle);
  EXPECT_EQ(downs(), "001") << "pressing one raises the one that was down";
  Press(buttons[2], middle);
  EXPECT_EQ(downs(), "001") << "the last one down stays down";
  buttons[1]->SetAllowAllUp(true);
  for (TcxButton* b : buttons) EXPECT_TRUE(b->AllowAllUp()) << "the group shares AllowAllUp";
  Press(buttons[2], middle);
  EXPECT_EQ(downs(), "000");
  EXPECT_EQ(buttons[0]->State(), cxbsNormal);
  buttons[1]->SetDown(true);
  EXPECT_EQ(buttons[1]->State(), cxbsPressed);
  // Without a group a button never stays down.
  TcxButton* single = Place(10, 60);
  single->SetDown(true);
  EXPECT_FALSE(single->Down());
}

TEST_F(ButtonTest, DropDownKinds) {
  TcxButton* dropDown = Place(10, 10, 100, 28, "Menu");
  TcxButton* split = Place(10, 60, 100, 28, "Split");
  auto* menu = New<TRecordingMenu>(FForm);
  TMenuItem* item = New<TMenuItem>(menu);
  item->SetCaption("Item");
  menu->Items()->Add(item);
  dropDown->SetKind(cxbkDropDown);
  dropDown->SetDropDownMenu(menu);
  split->SetKind(cxbkDropDownButton);
  split->SetDropDownMenu(menu);
  int clicks = 0;
  dropDown->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
  split->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
  Show();
  // The drop-down kind: a press opens the menu, OnClick never fires.
  Press(dropDown, POINT{10, 10});
  EXPECT_EQ(clicks, 0);
  ASSERT_EQ(menu->Points.size(), 1u);
  const POINT below = dropDown->ClientToScreen(POINT{0, dropDown->Height()});
  EXPECT_EQ(menu->Points[0].x, below.x);
  EXPECT_EQ(menu->Points[0].y, below.y);
  EXPECT_EQ(menu->PopupComponent(), dropDown);
  EXPECT_FALSE(dropDown->IsMenuOpen()) << "closed once the menu returned";
  // A press while the menu is open closes it without opening it again.
  menu->PressWhileOpen = dropDown;
  Press(dropDown, POINT{10, 10});
  EXPECT_EQ(menu->Points.size(), 2u);
  EXPECT_EQ(clicks, 0);
  menu->Points.resize(1);
  // The split kind: its left part clicks, its right 15 pixels open.
  menu->Points.clear();
  Press(split, POINT{50, 14});
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(menu->Points.empty());
  Press(split, POINT{100 - 15, 14});
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(menu->Points.size(), 1u);
  Press(split, POINT{100 - 16, 14});
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(menu->Points.size(), 1u);
  // Alt+Down opens it from the keyboard.
  SetForegroundWindow(FForm->Handle());
  split->SetFocus();
  RunMessagesUntilIdle();
  ASSERT_EQ(GetFocus(), split->Handle());
  SendKey(VK_MENU);
  SendKey(VK_DOWN);
  SendKey(VK_DOWN, true);
  SendKey(VK_MENU, true);
  EXPECT_TRUE(RunMessagesUntil([&] { return menu->Points.size() == 2u; }));
  EXPECT_EQ(clicks, 2);
  // paRight: the point is the button's right edge.
  split->SetPopupAlignment(paRight);
  Press(split, POINT{95, 14});
  ASSERT_EQ(menu->Points.size(), 3u);
  EXPECT_EQ(menu->Points[2].x, split->ClientToScreen(POINT{split->Width(), 0}).x);
  EXPECT_EQ(menu->AlignmentAtPopup, paRight);
  EXPECT_EQ(menu->Alignment(), paLeft) << "the menu's own alignment comes back";
  // No menu: nothing happens.
  split->SetDropDownMenu(nullptr);
  Press(split, POINT{95, 14});
  EXPECT_EQ(menu->Points.size(), 3u);
  // A freed menu is forgotten.
  dropDown->SetDropDownMenu(menu);
  Free(menu);
  EXPECT_EQ(dropDown->DropDownMenu(), nullptr);
}

TEST_F(ButtonTest, AtTheWorkAreasBottomTheMenuOpensAbove) {
  TcxButton* button = Place(10, 10, 100, 28, "Menu");
  auto* menu = New<TRecordingMenu>(FForm);
  for (int i = 0; i < 5; ++i) {
    TMenuItem* item = New<TMenuItem>(menu);
    item->SetCaption("Item");
    menu->Items()->Add(item);
  }
  button->SetKind(cxbkDropDown);
  button->SetDropDownMenu(menu);
  Show();
  const RECT work = GetPointWorkArea(button->ClientToScreen(POINT{0, 0}));
  // Move the form so that the button ends 5 pixels above the bottom.
  const POINT top = button->ClientToScreen(POINT{0, 0});
  FForm->SetTop(FForm->Top() + (work.bottom - 5 - button->Height()) - top.y);
  RunMessagesUntilIdle();
  Press(button, POINT{10, 10});
  ASSERT_EQ(menu->Points.size(), 1u);
  const POINT below = button->ClientToScreen(POINT{0, button->Height()});
  EXPECT_EQ(menu->Points[0].y, below.y - EstimatePopupMenuHeight(menu) - button->Height() - 2);
}

TEST_F(ButtonTest, ColourFallbacks) {
  TcxButton* button = Place(10, 10);
  TcxButtonColors* colors = button->Colors();
  const TColor standardText = button->TextColor(cxbsNormal);
  const struct {
    const char* Name;
    TColor Default, Normal, Hot;
    TcxButtonState State;
    TColor Face;
  } cases[] = {
      {"nothing assigned", clDefault, clDefault, clDefault, cxbsHot, clDefault},
      {"only Default: the normal state takes it", clRed, clDefault, clDefault, cxbsNormal, clRed},
      {"only Default: hot takes Normal", clRed, clDefault, clDefault, cxbsHot, clDefault},
      {"only Normal: every unassigned state", clDefault, clBlue, clDefault, cxbsHot, clBlue},
      {"only Normal: pressed", clDefault, clBlue, clDefault, cxbsPressed, clBlue},
      {"only Normal: the default state", clDefault, clBlue, clDefault, cxbsDefault, clBlue},
      {"Hot assigned", clDefault, clBlue, clLime, cxbsHot, clLime},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    colors->SetColor(cxbcDefault, c.Default);
    colors->SetColor(cxbcNormal, c.Normal);
    colors->SetColor(cxbcHot, c.Hot);
    EXPECT_EQ(button->FaceColor(c.State), c.Face);
  }
  colors->SetColor(cxbcHotText, clNone);
  EXPECT_FALSE(colors->AssignedColors().Contains(cxbcHotText));
  EXPECT_EQ(button->TextColor(cxbsHot), button->LookAndFeel()->ActivePainter()->ButtonSymbolColor(cxbsHot, button->Font()->Color()));
  colors->SetColor(cxbcNormalText, clMaroon);
  EXPECT_EQ(button->TextColor(cxbsNormal), clMaroon);
  EXPECT_NE(standardText, clMaroon);
  // Assigning the set at run time changes nothing.
  colors->SetAssignedColors({});
  EXPECT_TRUE(colors->AssignedColors().Contains(cxbcNormalText));
}

TEST_F(ButtonTest, TheLooksPainter) {
  TcxButton* button = Place(10, 10);
  button->LookAndFeel()->SetKind(lfOffice11);
  EXPECT_EQ(button->CurrentPainter(), &TcxOffice11LookAndFeelPainter::Instance);
  button->LookAndFeel()->SetKind(lfStandard);
  EXPECT_EQ(button->CurrentPainter(), &TcxStandardLookAndFeelPainter::Instance);
  SetVisualStyles(true);
  button->LookAndFeel()->SetNativeStyle(true);
  EXPECT_EQ(button->CurrentPainter(), &TcxWinXPLookAndFeelPainter::Instance);
  SetVisualStyles(false);
  EXPECT_EQ(button->CurrentPainter(), &TcxStandardLookAndFeelPainter::Instance);
}

// The caption's ink inside the frame: pixels darker than the face (the text
// colour, smoothed) and pixels lighter than it (only the highlight copy of a
// disabled caption is lighter than the face).
struct TInk {
  int Dark = 0, Light = 0;
  RECT DarkBox{1000, 1000, -1, -1}, LightBox{1000, 1000, -1, -1};
};

TInk CaptionInk(const Image& image) {
  const uint32_t face = image.At(image.Width / 2, 4);
  const auto channel = [](uint32_t c, int shift) { return static_cast<int>((c >> shift) & 0xFF); };
  const auto grow = [](RECT& r, int x, int y) {
    r.left = std::min<LONG>(r.left, x);
    r.top = std::min<LONG>(r.top, y);
    r.right = std::max<LONG>(r.right, x + 1);
    r.bottom = std::max<LONG>(r.bottom, y + 1);
  };
  TInk ink;
  for (int y = 5; y < image.Height - 5; ++y)
    for (int x = 5; x < image.Width - 5; ++x) {
      const uint32_t p = image.At(x, y);
      bool darker = true, lighter = true;
      for (int shift : {0, 8, 16}) {
        darker = darker && channel(p, shift) < channel(face, shift) - 0x10;
        lighter = lighter && channel(p, shift) > channel(face, shift);
      }
      if (darker) {
        ++ink.Dark;
        grow(ink.DarkBox, x, y);
      }
      if (lighter) {
        ++ink.Light;
        grow(ink.LightBox, x, y);
      }
    }
  return ink;
}

TEST_F(ButtonTest, ADisabledCaptionIsDrawnTwice) {
  TcxButton* button = Place(10, 10, 120, 36, "MMMM");
  button->LookAndFeel()->SetKind(lfStandard);
  Show();
  const TInk enabled = CaptionInk(ReadClientPixels(button->Handle()));
  EXPECT_GT(enabled.Dark, 10);
  EXPECT_EQ(enabled.Light, 0);
  button->SetEnabled(false);
  RunMessagesUntilIdle();
  EXPECT_EQ(button->State(), cxbsDisabled);
  const Image image = ReadClientPixels(button->Handle());
  SaveArtefact(image, "button-disabled-caption");
  const TInk disabled = CaptionInk(image);
  EXPECT_GT(disabled.Dark, 10);
  EXPECT_GT(disabled.Light, 10) << "the highlight copy shows";
  // The highlight copy lies one pixel right and down of the text (smoothed
  // edges blur the exact boxes by a pixel).
  EXPECT_GT(disabled.LightBox.right, disabled.DarkBox.right);
  EXPECT_GT(disabled.LightBox.bottom, disabled.DarkBox.bottom);
  EXPECT_GT(disabled.LightBox.left, disabled.DarkBox.left);
  EXPECT_GT(disabled.LightBox.top, disabled.DarkBox.top);
}

TEST_F(ButtonTest, TheFocusedButtonLooksDefault) {
  auto* edit = New<TEdit>(FForm);
  edit->SetParent(FForm);
  edit->SetBounds(10, 100, 80, 22);
  TcxButton* first = Place(10, 10, 90, 28, "First");
  TcxButton* second = Place(110, 10, 90, 28, "Second");
  first->SetDefault(true);
  Show();
  edit->SetFocus();
  RunMessagesUntilIdle();
  EXPECT_EQ(first->State(), cxbsDefault);
  EXPECT_EQ(second->State(), cxbsNormal);
  EXPECT_EQ(GetWindowLongA(first->Handle(), GWL_STYLE) & 0xF, BS_OWNERDRAW) << "the system never draws it";
  second->SetFocus();
  RunMessagesUntilIdle();
  EXPECT_EQ(first->State(), cxbsNormal);
  EXPECT_EQ(second->State(), cxbsDefault);
  EXPECT_EQ(GetWindowLongA(second->Handle(), GWL_STYLE) & 0xF, BS_OWNERDRAW);
}

TEST_F(ButtonTest, OnlyPopupMenusAreKept) {
  TcxButton* button = Place(10, 10);
  auto* menu = New<TPopupMenu>(FForm);
  auto* other = New<TComponent>(FForm);
  button->SetPopupMenu(menu);
  EXPECT_EQ(button->PopupMenu(), menu);
  button->SetPopupMenu(other);
  EXPECT_EQ(button->PopupMenu(), nullptr);
  button->SetPopupMenu(menu);
  Free(menu);
  EXPECT_EQ(button->PopupMenu(), nullptr);
}

TEST_F(ButtonTest, TheContextMenuIsAnyPopupMenu) {
  TcxButton* button = Place(10, 10);
  auto* menu = New<TRecordingMenu>(FForm);
  button->SetPopupMenu(menu);
  Show();
  const struct {
    const char* Name;
    bool Keyboard;
    POINT Client;
    bool Shown;
    POINT Expected;  // client co-ordinates
  } cases[] = {
      {"inside", false, POINT{20, 5}, true, POINT{20, 5}},
      {"from the keyboard: the top left corner", true, POINT{0, 0}, true, POINT{0, 0}},
      {"outside: left to the platform", false, POINT{-30, 5}, false, POINT{0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    menu->Points.clear();
    const POINT screen = button->ClientToScreen(c.Client);
    const LPARAM where = c.Keyboard ? static_cast<LPARAM>(-1) : MAKELPARAM(screen.x, screen.y);
    SendMessageA(button->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(button->Handle()), where);
    ASSERT_EQ(menu->Points.size(), c.Shown ? 1u : 0u);
    if (c.Shown) {
      const POINT expected = button->ClientToScreen(c.Expected);
      EXPECT_EQ(menu->Points[0].x, expected.x);
      EXPECT_EQ(menu->Points[0].y, expected.y);
    }
  }
}

TEST_F(ButtonTest, AnActionsImageIsTheGlyph) {
  TcxButton* button = Place(10, 10, 90, 28, "Act");
  auto* images = New<TCustomImageList>(FForm);
  images->SetSize(16, 16);
  auto strip = Strip(16, 16, 1);
  images->AddMasked(strip.get(), clOlive);
  auto* actions = New<TActionList>(FForm);
  actions->SetImages(images);
  auto* action = New<TAction>(FForm);
  action->SetActionList(actions);
  action->SetImageIndex(0);
  button->SetAction(action);
  TcxButtonGlyph* glyph = button->ButtonGlyph();
  EXPECT_EQ(glyph->Images(), images);
  EXPECT_EQ(glyph->ImageIndex(), 0);
  EXPECT_TRUE(glyph->IsImageAssigned());
  EXPECT_EQ(ImageColor(glyph, cxbsNormal), ColorToRGB(clRed));
  action->SetImageIndex(-1);
  EXPECT_EQ(glyph->ImageIndex(), -1);
  EXPECT_FALSE(glyph->IsImageAssigned());
  action->SetImageIndex(0);
  button->SetAction(nullptr);
  EXPECT_EQ(glyph->Images(), nullptr) << "the link's end clears the images";
  EXPECT_EQ(glyph->ImageIndex(), -1);
}

TEST_F(ButtonTest, OptimalSize) {
  TcxButton* button = Place(10, 10, 90, 28, "&Go");
  SIZE size{};
  button->MeasureOptimalSize(size);
  TBitmap surface;
  surface.SetSize(4, 4);
  surface.Canvas()->Font()->Assign(button->Font());
  EXPECT_EQ(size.cx, surface.Canvas()->TextWidth("Go") + 3 * surface.Canvas()->TextWidth("R"));
  EXPECT_EQ(size.cy, MulDiv(surface.Canvas()->TextHeight("Wg"), 14, 8));
}

}  // namespace
