// The tool bar, the glyph and speed buttons, the up-down, the track bar and
// the progress bar, made from a form resource on real windows: painted,
// clicked through the system windows, and freed with every handle back.
#include "platform/Buttons.h"
#include "platform/HintWindow.h"
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

const auto* const kUnansweredDialogsFail = ::testing::AddGlobalTestEnvironment(new UnansweredDialogsFail);

class TBarsForm : public TForm {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TForm::TForm;

  // Images 0, 1 and 2: red, green and blue squares.
  void FormCreate(TObject*) {
    AddSquares(ImageList1, {clRed, clLime, clBlue});
  }
  void ButtonClick(TObject* Sender) { Log.push_back("click " + static_cast<TComponent*>(Sender)->Name()); }
  void PopupMenu1Popup(TObject*) { Log.push_back("popup"); }
  void ToolBar1CustomDraw(TToolBar*, const RECT&, bool&) { ++BarDraws; }
  void ToolBar1CustomDrawButton(TToolBar*, TToolButton* Button, TCustomDrawState, bool& DefaultDraw) {
    DrawnButtons.push_back(Button->Name());
    if (Button != YellowButton) return;
    ToolBar1->Canvas()->Brush()->SetColor(clYellow);
    ToolBar1->Canvas()->FillRect(Button->BoundsRect());
    DefaultDraw = false;
  }
  void UpDown1Changing(TObject*, bool& AllowChange) {
    Log.push_back("changing");
    AllowChange = !RefuseSteps;
  }
  void UpDown1Click(TObject*, TUDBtnType Button) { Log.push_back(Button == btNext ? "next" : "prev"); }
  void TrackBar1Change(TObject*) { Log.push_back("track " + std::to_string(TrackBar1->Position())); }

  TToolBar* ToolBar1 = nullptr;
  TToolButton* ToolButton1 = nullptr;
  TToolButton* ToolButton2 = nullptr;
  TToolButton* ToolButton3 = nullptr;
  TToolButton* ToolButton4 = nullptr;
  TToolButton* ToolButton5 = nullptr;
  TToolButton* ToolButton6 = nullptr;
  TComboBox* ComboBox1 = nullptr;
  TSpeedButton* SpeedButton1 = nullptr;
  TSpeedButton* SpeedButton2 = nullptr;
  TSpeedButton* SpeedButton3 = nullptr;
  TSpeedButton* SpeedButton4 = nullptr;
  TBitBtn* BitBtn1 = nullptr;
  TEdit* Edit1 = nullptr;
  TUpDown* UpDown1 = nullptr;
  TTrackBar* TrackBar1 = nullptr;
  TProgressBar* ProgressBar1 = nullptr;
  TPopupMenu* PopupMenu1 = nullptr;
  TCustomImageList* ImageList1 = nullptr;

  std::vector<std::string> Log;
  int BarDraws = 0;
  std::vector<std::string> DrawnButtons;
  TToolButton* YellowButton = nullptr;
  bool RefuseSteps = false;
};

const TClassInfo TBarsForm::ClassInfo{"TBarsForm", &TForm::ClassInfo, [](TObject* owner) -> TObject* {
                                        return new TBarsForm(static_cast<TComponent*>(owner));
                                      }};

const TPublishedRegistration barsFormRegistration(&TBarsForm::ClassInfo, {
    Method<&TBarsForm::FormCreate>("FormCreate"),
    Method<&TBarsForm::ButtonClick>("ButtonClick"),
    Method<&TBarsForm::PopupMenu1Popup>("PopupMenu1Popup"),
    Method<&TBarsForm::ToolBar1CustomDraw>("ToolBar1CustomDraw"),
    Method<&TBarsForm::ToolBar1CustomDrawButton>("ToolBar1CustomDrawButton"),
    Method<&TBarsForm::UpDown1Changing>("UpDown1Changing"),
    Method<&TBarsForm::UpDown1Click>("UpDown1Click"),
    Method<&TBarsForm::TrackBar1Change>("TrackBar1Change"),
    Field<&TBarsForm::ToolBar1>("ToolBar1"),
    Field<&TBarsForm::ToolButton1>("ToolButton1"),
    Field<&TBarsForm::ToolButton2>("ToolButton2"),
    Field<&TBarsForm::ToolButton3>("ToolButton3"),
    Field<&TBarsForm::ToolButton4>("ToolButton4"),
    Field<&TBarsForm::ToolButton5>("ToolButton5"),
    Field<&TBarsForm::ToolButton6>("ToolButton6"),
    Field<&TBarsForm::ComboBox1>("ComboBox1"),
    Field<&TBarsForm::SpeedButton1>("SpeedButton1"),
    Field<&TBarsForm::SpeedButton2>("SpeedButton2"),
    Field<&TBarsForm::SpeedButton3>("SpeedButton3"),
    Field<&TBarsForm::SpeedButton4>("SpeedButton4"),
    Field<&TBarsForm::BitBtn1>("BitBtn1"),
    Field<&TBarsForm::Edit1>("Edit1"),
    Field<&TBarsForm::UpDown1>("UpDown1"),
    Field<&TBarsForm::TrackBar1>("TrackBar1"),
    Field<&TBarsForm::ProgressBar1>("ProgressBar1"),
    Field<&TBarsForm::PopupMenu1>("PopupMenu1"),
    Field<&TBarsForm::ImageList1>("ImageList1"),
});

// The form, shown and active, freed at the end.
struct BarsForm {
  BarsForm() {
    Form = New<TBarsForm>(nullptr);
    Form->Show();
    SetForegroundWindow(Form->Handle());
    RunMessagesUntil([&] { return Form->Active(); }, 2000);
    RunMessagesUntilIdle();
  }
  ~BarsForm() {
    Free(Form);
    RunMessagesUntilIdle();
  }
  BarsForm(const BarsForm&) = delete;
  BarsForm& operator=(const BarsForm&) = delete;
  TBarsForm* operator->() const { return Form; }
  TBarsForm* Form;
};

POINT Centre(TControl* c) { return POINT{c->Left() + c->Width() / 2, c->Top() + c->Height() / 2}; }

void ClickAt(HWND wnd, POINT p) {
  PostClick(wnd, p.x, p.y);
  RunMessagesUntilIdle();
}

int CountPixels(const Image& image, COLORREF colour) {
  int n = 0;
  for (int y = 0; y < image.Height; ++y)
    for (int x = 0; x < image.Width; ++x)
      if (image.At(x, y) == Rgb(colour)) ++n;
  return n;
}

TEST(Bars, TheFormIsReadPaintedAndGivesEveryHandleBack) {
  SendMouseMove(1000, 900);  // away from the flat buttons
  // The first form registers window classes and what lives for the process.
  { BarsForm first; }
  const THandleCounts before = HandleCounts();
  THandleCounts alive;
  {
    BarsForm form;
    // One system button per tool button, one gap for the combo box.
    EXPECT_EQ(SendMessageA(form->ToolBar1->Handle(), TB_BUTTONCOUNT, 0, 0), 7);
    EXPECT_EQ(form->ToolBar1->ButtonCount(), 6);
    EXPECT_EQ(form->ToolButton4->Index(), 3);
    EXPECT_EQ(form->ComboBox1->Parent(), form->ToolBar1);
    EXPECT_GT(form->ComboBox1->Left(), form->ToolButton6->Left()) << "the combo box sits after the buttons";
    EXPECT_EQ(form->UpDown1->Associate(), form->Edit1);
    EXPECT_EQ(form->SpeedButton4->NumGlyphs(), 2);
    form->Repaint();
    RunMessagesUntilIdle();
    SaveScreenshot(form->Handle(), "platform-bars");
    alive = HandleCounts();
  }
  EXPECT_EQ(HandleCounts(), before) << "while alive: " << HandleCountsText(alive);
}

TEST(Bars, ToolButtonsShowTheirImagesAndHints) {
  BarsForm form;
  TToolBar* bar = form->ToolBar1;
  TBBUTTON info{};
  SendMessageA(bar->Handle(), TB_GETBUTTON, 2, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.iBitmap, 1);
  EXPECT_EQ(info.fsStyle & (BTNS_CHECK | BTNS_GROUP), BTNS_CHECK | BTNS_GROUP);
  const Image pixels = ReadClientPixels(bar->Handle());
  const POINT red = Centre(form->ToolButton1), blue = Centre(form->ToolButton4);
  EXPECT_EQ(pixels.At(red.x, red.y), Rgb(RGB(255, 0, 0)));
  EXPECT_EQ(pixels.At(blue.x, blue.y), Rgb(RGB(0, 0, 255)));

  // The mouse over a button makes it the hint control of the application.
  Application->SetHintPause(1);
  const POINT over = bar->ClientToScreen(red);
  SendMouseMove(over.x, over.y);
  EXPECT_TRUE(RunMessagesUntil(
      [] { return Application->HintWindow() && IsWindowVisible(Application->HintWindow()->Handle()); }, 10000));
  EXPECT_EQ(Application->Hint(), "Makes a new article");
  if (Application->HintWindow()) {
    EXPECT_EQ(Application->HintWindow()->Caption(), "New");
  }
  Application->CancelHint();
  Application->SetHintPause(500);
  SendMouseMove(1000, 900);
  RunMessagesUntilIdle();
}

TEST(Bars, CheckButtonsToggleAndGroupedOnesAreDownOneAtATime) {
  BarsForm form;
  HWND bar = form->ToolBar1->Handle();
  EXPECT_TRUE(form->ToolButton3->Down());
  EXPECT_TRUE(SendMessageA(bar, TB_ISBUTTONCHECKED, 2, 0));
  ClickAt(bar, Centre(form->ToolButton4));
  EXPECT_FALSE(form->ToolButton3->Down());
  EXPECT_TRUE(form->ToolButton4->Down());
  // The down button of a group stays down when clicked again.
  ClickAt(bar, Centre(form->ToolButton4));
  EXPECT_TRUE(form->ToolButton4->Down());
  // A check button on its own toggles.
  ClickAt(bar, Centre(form->ToolButton6));
  EXPECT_TRUE(form->ToolButton6->Down());
  ClickAt(bar, Centre(form->ToolButton6));
  EXPECT_FALSE(form->ToolButton6->Down());
  EXPECT_EQ(form->Log, (std::vector<std::string>{"click ToolButton4", "click ToolButton4", "click ToolButton6",
                                                 "click ToolButton6"}));
  // Down from code raises the group's other button in the window too.
  form->ToolButton3->SetDown(true);
  EXPECT_FALSE(form->ToolButton4->Down());
  EXPECT_TRUE(SendMessageA(bar, TB_ISBUTTONCHECKED, 2, 0));
  EXPECT_FALSE(SendMessageA(bar, TB_ISBUTTONCHECKED, 3, 0));
  // With AllowAllUp the last one comes up.
  form->ToolButton3->SetAllowAllUp(true);
  ClickAt(bar, Centre(form->ToolButton3));
  EXPECT_FALSE(form->ToolButton3->Down());
  EXPECT_FALSE(SendMessageA(bar, TB_ISBUTTONCHECKED, 2, 0));
}

// Sees the drop-down menu open (from a timer its own loop serves) and
// closes it.
struct OpenMenuProbe {
  static inline bool Seen = false;
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    HWND menu = FindWindowA("#32768", nullptr);
    if (Seen || !menu || !IsWindowVisible(menu)) return;
    Seen = true;
    EndMenu();
  }
};

TEST(Bars, TheArrowOfADropDownButtonOpensItsMenuAndTheRestClicks) {
  BarsForm form;
  HWND bar = form->ToolBar1->Handle();
  TToolButton* button = form->ToolButton5;
  ClickAt(bar, POINT{button->Left() + 6, button->Top() + button->Height() / 2});
  EXPECT_EQ(form->Log, (std::vector<std::string>{"click ToolButton5"}));
  form->Log.clear();
  OpenMenuProbe::Seen = false;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, OpenMenuProbe::Tick);
  const POINT arrow{button->Left() + button->Width() - 4, button->Top() + button->Height() / 2};
  PostMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(arrow.x, arrow.y));
  EXPECT_TRUE(RunMessagesUntil([] { return OpenMenuProbe::Seen; }, 10000));
  PostMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(arrow.x, arrow.y));
  RunMessagesUntilIdle();
  KillTimer(nullptr, timer);
  EXPECT_EQ(form->Log, (std::vector<std::string>{"popup"})) << "the arrow opens the menu and clicks nothing";
  EXPECT_EQ(form->PopupMenu1->PopupComponent(), button);
}

TEST(Bars, CustomDrawEventsFireAndMayDrawAButtonThemselves) {
  BarsForm form;
  form->BarDraws = 0;
  form->DrawnButtons.clear();
  form->YellowButton = form->ToolButton6;
  form->ToolBar1->Repaint();
  RunMessagesUntilIdle();
  EXPECT_GT(form->BarDraws, 0);
  for (const char* name : {"ToolButton1", "ToolButton4", "ToolButton6"})
    EXPECT_NE(std::find(form->DrawnButtons.begin(), form->DrawnButtons.end(), name), form->DrawnButtons.end())
        << name;
  const Image pixels = ReadClientPixels(form->ToolBar1->Handle());
  const POINT yellow = Centre(form->ToolButton6), red = Centre(form->ToolButton1);
  EXPECT_EQ(pixels.At(yellow.x, yellow.y), Rgb(RGB(255, 255, 0))) << "the handler drew this button";
  EXPECT_EQ(pixels.At(red.x, red.y), Rgb(RGB(255, 0, 0))) << "the system drew the others";
}

TEST(Bars, SpeedButtonsOfAGroupAreDownOneAtATime) {
  BarsForm form;
  HWND wnd = form->Handle();
  TSpeedButton* a = form->SpeedButton1;
  TSpeedButton* b = form->SpeedButton2;
  TSpeedButton* c = form->SpeedButton3;
  EXPECT_TRUE(a->Down());
  ClickAt(wnd, Centre(b));
  EXPECT_FALSE(a->Down());
  EXPECT_TRUE(b->Down());
  EXPECT_EQ(b->State(), bsExclusive);
  ClickAt(wnd, Centre(b));
  EXPECT_TRUE(b->Down()) << "the last one of a group stays down";
  // A button that stays down shows a dotted face beside its caption.
  const Image pixels = ReadClientPixels(wnd);
  const int x = b->Left() + 4, y = b->Top() + 4;
  EXPECT_NE(pixels.At(x, y), pixels.At(x + 1, y));
  EXPECT_EQ(pixels.At(x, y), pixels.At(x + 1, y + 1));
  // Code presses the others up too; AllowAllUp is the group's.
  c->SetDown(true);
  EXPECT_FALSE(b->Down());
  c->SetAllowAllUp(true);
  EXPECT_TRUE(a->AllowAllUp());
  ClickAt(wnd, Centre(c));
  EXPECT_FALSE(c->Down());
  EXPECT_FALSE(a->Down() || b->Down());
  EXPECT_EQ(form->Log, (std::vector<std::string>{"click SpeedButton2", "click SpeedButton2", "click SpeedButton3"}));
  // A button of no group never stays down; a release outside is no click.
  form->SpeedButton4->SetDown(true);
  EXPECT_FALSE(form->SpeedButton4->Down());
  form->Log.clear();
  PostMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(Centre(a).x, Centre(a).y));
  PostMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(300, 250));
  RunMessagesUntilIdle();
  EXPECT_TRUE(form->Log.empty());
  EXPECT_FALSE(a->Down());
}

// A replaced WindowProc of a windowless control sees its WM_PAINT with the
// parent's device context and may paint instead of the control.
TEST(Bars, AReplacedWindowProcPaintsASpeedButton) {
  BarsForm form;
  TSpeedButton* button = form->SpeedButton3;
  const TWndMethod old = button->WindowProc;
  int painted = 0;
  button->WindowProc = TWndMethod::Lambda([&](TMessage& m) {
    if (m.Msg != WM_PAINT || !m.WParam) {
      old(m);
      return;
    }
    ++painted;
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    const TGdiObject brush(CreateSolidBrush(RGB(255, 255, 0)));
    const RECT r{0, 0, button->Width(), button->Height()};
    FillRect(dc, &r, static_cast<HBRUSH>(brush.Get()));
  });
  button->Repaint();
  RunMessagesUntilIdle();
  const Image pixels = ReadClientPixels(form->Handle());
  const POINT c = Centre(button);
  EXPECT_GT(painted, 0);
  EXPECT_EQ(pixels.At(c.x, c.y), Rgb(RGB(255, 255, 0)));
  EXPECT_NE(pixels.At(button->Left() + button->Width() + 2, c.y), Rgb(RGB(255, 255, 0))) << "clipped to its bounds";
  button->WindowProc = old;
}

TEST(Bars, GlyphButtonsDrawTheirGlyphCells) {
  BarsForm form;
  constexpr COLORREF red = RGB(255, 0, 0), grey = RGB(128, 128, 128), fuchsia = RGB(255, 0, 255);
  Image pixels = ReadClientPixels(form->BitBtn1->Handle());
  EXPECT_EQ(CountPixels(pixels, red), 64) << "the up cell's square";
  EXPECT_EQ(CountPixels(pixels, fuchsia), 0) << "the strip's background is transparent";
  form->BitBtn1->SetEnabled(false);
  form->BitBtn1->Repaint();
  RunMessagesUntilIdle();
  pixels = ReadClientPixels(form->BitBtn1->Handle());
  EXPECT_EQ(CountPixels(pixels, red), 0);
  EXPECT_EQ(CountPixels(pixels, grey), 64) << "the disabled cell";
  // The speed button draws the same cells on its parent.
  const Image face = ReadClientPixels(form->Handle());
  int onButton = 0;
  const RECT r = form->SpeedButton4->BoundsRect();
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (face.At(x, y) == Rgb(red)) ++onButton;
  EXPECT_EQ(onButton, 64);
  // One cell alone: disabled draws it embossed, no red.
  TBitmap single;
  single.SetSize(16, 16);
  single.Canvas()->Brush()->SetColor(clFuchsia);
  single.Canvas()->FillRect(RECT{0, 0, 16, 16});
  single.Canvas()->Brush()->SetColor(clRed);
  single.Canvas()->FillRect(RECT{4, 4, 12, 12});
  form->SpeedButton4->SetGlyph(&single);
  EXPECT_EQ(form->SpeedButton4->NumGlyphs(), 1);
  form->SpeedButton4->SetEnabled(false);
  form->SpeedButton4->Repaint();
  RunMessagesUntilIdle();
  const Image embossed = ReadClientPixels(form->Handle());
  onButton = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (embossed.At(x, y) == Rgb(red)) ++onButton;
  EXPECT_EQ(onButton, 0);
}

TEST(Bars, GlyphAndCaptionArePlacedByMarginAndSpacing) {
  const RECT face{0, 0, 100, 40};
  const SIZE glyph{16, 16}, text{30, 14};
  const struct {
    const char* name;
    TButtonLayout layout;
    int margin, spacing;
    POINT glyphAt;
    LONG textLeft, textTop;
  } cases[] = {
      {"centred, spread evenly", blGlyphLeft, -1, -1, {18, 12}, 52, 13},
      {"centred with spacing", blGlyphLeft, -1, 4, {25, 12}, 45, 13},
      {"margin, even spacing", blGlyphLeft, 10, -1, {10, 12}, 48, 13},
      {"right", blGlyphRight, 5, 4, {79, 12}, 45, 13},
      {"top", blGlyphTop, -1, 2, {42, 4}, 35, 22},
      {"bottom", blGlyphBottom, 2, 2, {42, 22}, 35, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TButtonGlyphPlacement p = CalcButtonLayout(face, glyph, text, c.layout, c.margin, c.spacing);
    EXPECT_EQ(p.GlyphPos.x, c.glyphAt.x);
    EXPECT_EQ(p.GlyphPos.y, c.glyphAt.y);
    EXPECT_EQ(p.TextBounds.left, c.textLeft);
    EXPECT_EQ(p.TextBounds.top, c.textTop);
  }
}

TEST(Bars, TheUpDownStepsItsAssociateAndStopsAtItsEnds) {
  BarsForm form;
  TUpDown* upDown = form->UpDown1;
  EXPECT_EQ(form->Edit1->Text(), "5") << "the associate shows the position";
  HWND wnd = upDown->Handle();
  RECT client;
  GetClientRect(wnd, &client);
  const POINT up{client.right / 2, 2}, down{client.right / 2, client.bottom - 3};
  ClickAt(wnd, up);
  EXPECT_EQ(form->Edit1->Text(), "6");
  EXPECT_EQ(upDown->Position(), 6);
  ClickAt(wnd, down);
  EXPECT_EQ(upDown->Position(), 5);
  EXPECT_EQ(form->Log, (std::vector<std::string>{"changing", "next", "changing", "prev"}));
  // At the end the position stays.
  upDown->SetPosition(10);
  EXPECT_EQ(form->Edit1->Text(), "10");
  ClickAt(wnd, up);
  EXPECT_EQ(upDown->Position(), 10);
  EXPECT_EQ(form->Edit1->Text(), "10");
  upDown->SetPosition(50);
  EXPECT_EQ(upDown->Position(), 10) << "kept within Max";
  // A refused step changes nothing.
  form->RefuseSteps = true;
  form->Log.clear();
  ClickAt(wnd, down);
  EXPECT_EQ(upDown->Position(), 10);
  EXPECT_EQ(form->Log, (std::vector<std::string>{"changing"}));
  // What is typed into the associate is the position.
  form->Edit1->SetText("3");
  EXPECT_EQ(upDown->Position(), 3);
}

TEST(Bars, TheTrackBarMovesByKeysAndReportsTheUsersMoves) {
  BarsForm form;
  TTrackBar* track = form->TrackBar1;
  HWND wnd = track->Handle();
  RECT before{}, after{};
  SendMessageA(wnd, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&before));
  SendMessageA(wnd, WM_KEYDOWN, VK_RIGHT, 0);
  SendMessageA(wnd, WM_KEYUP, VK_RIGHT, 0);
  EXPECT_EQ(track->Position(), 5);
  SendMessageA(wnd, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&after));
  EXPECT_GT(after.left, before.left);
  SendMessageA(wnd, WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(track->Position(), 20);
  ASSERT_FALSE(form->Log.empty());
  EXPECT_EQ(form->Log.front(), "track 5");
  EXPECT_EQ(form->Log.back(), "track 20");
  // Code moves the thumb within the range and tells nobody.
  form->Log.clear();
  track->SetPosition(99);
  EXPECT_EQ(track->Position(), 20);
  track->SetMax(8);
  EXPECT_EQ(track->Position(), 8);
  EXPECT_EQ(SendMessageA(wnd, TBM_GETPOS, 0, 0), 8);
  EXPECT_TRUE(form->Log.empty());
}

TEST(Bars, TheProgressBarShowsItsPositionWithinTheRange) {
  BarsForm form;
  TProgressBar* bar = form->ProgressBar1;
  HWND wnd = bar->Handle();
  EXPECT_EQ(SendMessageA(wnd, PBM_GETPOS, 0, 0), 30);
  const Image pixels = ReadClientPixels(wnd);
  const int y = pixels.Height / 2;
  EXPECT_EQ(pixels.At(pixels.Width / 10, y), Rgb(ColorToRGB(clHighlight))) << "filled to 30 %";
  EXPECT_NE(pixels.At(pixels.Width * 9 / 10, y), Rgb(ColorToRGB(clHighlight)));
  bar->SetPosition(150);
  EXPECT_EQ(bar->Position(), 100);
  bar->SetPosition(-5);
  EXPECT_EQ(bar->Position(), 0);
  bar->StepBy(25);
  EXPECT_EQ(bar->Position(), 25);
  bar->SetPosition(95);
  bar->StepIt();
  EXPECT_EQ(bar->Position(), 5) << "past Max it goes on from Min";
  bar->SetMax(50);
  bar->SetPosition(80);
  EXPECT_EQ(SendMessageA(wnd, PBM_GETPOS, 0, 0), 50);
}

}  // namespace
