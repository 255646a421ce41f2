// Control skinners on real windows: the walk attaches them to a form's
// controls, they paint the skin's frames by state (read back from the
// screen), switch off and on, and give the controls back when undone.
#include "platform/Buttons.h"
#include "platform/ComCtrls.h"
#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"
#include "skin/SkinControls.h"
#include "skin/SkinDraw.h"
#include "tests/skin/SkinFormTest.h"

#include <commctrl.h>

using namespace skin_tests;
using testing_support::Image;
using testing_support::ReadClientPixels;
using testing_support::Rgb;
using testing_support::RunMessagesUntil;
using testing_support::RunMessagesUntilIdle;
using testing_support::SaveScreenshot;

namespace {

// -- Pure rules.

struct TLayoutCase {
  TGlyphLayoutKind Layout;
  int Margin, Spacing;
  POINT Glyph, Text;
  int WantMargin, WantSpacing;
};

TEST(SkinControlRules, GlyphLayoutPlacesGlyphAndTextOnEachSide) {
  // A 16 x 16 glyph and a 30 x 14 text on a 100 x 40 face.
  const TLayoutCase cases[] = {
      {TGlyphLayoutKind::glLeft, -1, -1, {18, 12}, {52, 13}, 18, 18},
      {TGlyphLayoutKind::glRight, -1, -1, {66, 12}, {18, 13}, 18, 18},
      {TGlyphLayoutKind::glLeft, 4, -1, {4, 12}, {45, 13}, 4, 25},
      {TGlyphLayoutKind::glLeft, -1, 4, {25, 12}, {45, 13}, 25, 4},
      {TGlyphLayoutKind::glTop, -1, -1, {42, 3}, {35, 22}, 3, 3},
      {TGlyphLayoutKind::glBottom, -1, -1, {42, 21}, {35, 4}, 3, 3},
  };
  for (const TLayoutCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Layout));
    const TGlyphLayoutResult r = GlyphLayout({100, 40}, {16, 16}, {30, 14}, c.Layout, c.Margin, c.Spacing, false, false);
    EXPECT_EQ(r.Margin, c.WantMargin);
    EXPECT_EQ(r.Spacing, c.WantSpacing);
    EXPECT_EQ(r.Glyph.x, c.Glyph.x);
    EXPECT_EQ(r.Glyph.y, c.Glyph.y);
    EXPECT_EQ(r.Text.x, c.Text.x);
    EXPECT_EQ(r.Text.y, c.Text.y);
  }
  // Without a text there is no spacing; a speed button's computed margin is
  // one pixel more.
  EXPECT_EQ(GlyphLayout({100, 40}, {16, 16}, {0, 0}, TGlyphLayoutKind::glLeft, -1, 4, false, false).Spacing, 0);
  EXPECT_EQ(GlyphLayout({100, 40}, {16, 16}, {30, 14}, TGlyphLayoutKind::glLeft, -1, 4, false, true).Margin, 26);
  EXPECT_EQ(GlyphLayoutOf("blGlyphBottom"), TGlyphLayoutKind::glBottom);
  EXPECT_EQ(GlyphLayoutOf("whatever"), TGlyphLayoutKind::glLeft);
}

TEST(SkinControlRules, CheckAndRadioFramesForTwelveAndEightFrameStrips) {
  struct {
    int State;
    bool Disabled, Indeterminate;
    int Frames, Want;
  } checks[] = {
      {1, false, false, 12, 1}, {2, false, false, 12, 5}, {1, true, false, 12, 4}, {2, true, false, 12, 8},
      {1, false, true, 12, 9},  {1, true, true, 12, 12},  {2, false, false, 4, 2}, {2, true, false, 4, 4},
      {1, true, false, 4, 3},   {1, false, true, 4, 4},
  };
  for (const auto& c : checks)
    EXPECT_EQ(CheckFrameOf(c.State, c.Disabled, c.Indeterminate, c.Frames), c.Want)
        << c.State << " " << c.Disabled << " " << c.Indeterminate << " " << c.Frames;
  struct {
    int State;
    bool Disabled;
    int Frames, Want;
  } radios[] = {{1, false, 8, 1}, {2, false, 8, 5}, {1, true, 8, 4}, {2, true, 8, 8}, {2, true, 4, 4}, {1, true, 4, 3}};
  for (const auto& c : radios) EXPECT_EQ(RadioFrameOf(c.State, c.Disabled, c.Frames), c.Want);
}

TEST(SkinControlRules, ReplaceFirstAndPropertiesByName) {
  EXPECT_EQ(ReplaceFirst(L"One||Two||Three", L"||", L"\r\n"), L"One\r\nTwo||Three");
  EXPECT_EQ(ReplaceFirst(L"Plain", L"||", L"\r\n"), L"Plain");
  TButton button(nullptr);
  button.SetCaption("Go");
  button.SetTag(12);
  EXPECT_EQ(PropWide(&button, "Caption"), L"Go");
  EXPECT_EQ(LowerCase(PropText(&button, "Default")), "false");
  SetPropText(&button, "Default", "True");
  EXPECT_TRUE(button.Default());
  EXPECT_EQ(PropInt(&button, "NoSuchProperty"), -1);
  EXPECT_EQ(PropText(nullptr, "Caption"), "");
  EXPECT_EQ(PropObject(&button, "Caption", nullptr), nullptr);
  SetPropText(&button, "NoSuchProperty", "1");  // nothing happens
  EXPECT_EQ(TSkinProgress::FilledExtent(200, 30, 0, 100), 60);
  EXPECT_EQ(TSkinProgress::FilledExtent(200, 30, 0, 0), 0);
  EXPECT_EQ(TSkinProgress::FilledExtent(200, 0, 0, 100), 0);
  EXPECT_EQ(TSkinProgress::FilledExtent(200, 5, 5, 5), 0);  // no range: nothing, no division by zero
}

// -- Real windows.

class SkinControlTest : public SkinFormTest {
protected:
  struct TGallery {
    TForm* Form = nullptr;
    TEdit* Edit = nullptr;
    TButton* Button = nullptr;
    TBitBtn* BitBtn = nullptr;
    TCheckBox* Check = nullptr;
    TCheckBox* Checked = nullptr;
    TRadioButton* Radio = nullptr;
    TRadioButton* RadioOn = nullptr;
    TGroupBox* Group = nullptr;
    TPanel* Panel = nullptr;
    TProgressBar* Progress = nullptr;
    TButton* Untouched = nullptr;
    TUpDown* UpDown = nullptr;
    TStatusBar* Status = nullptr;
  };

  template <class T>
  static T* Add(TWinControl* parent, int x, int y, int w, int h, const char* caption = nullptr) {
    T* c = new T(parent->Owner() ? parent->Owner() : parent);
    c->SetParent(parent);
    c->SetBounds(x, y, w, h);
    if (caption) c->SetCaption(caption);
    return c;
  }

  TGallery MakeGallery() {
    TGallery g;
    g.Form = MakeForm("Skinned controls", 40, 40, 460, 330);
    g.Edit = Add<TEdit>(g.Form, 12, 12, 140, 22);
    g.Button = Add<TButton>(g.Form, 12, 44, 100, 30, "Push me");
    g.BitBtn = Add<TBitBtn>(g.Form, 120, 44, 110, 30, "Glyph||button");
    auto glyph = MakeBitmap(16, 16, [](int x, int y) {
      return (x == 0 && y == 15) ? RGB(255, 0, 255) : (x + y < 16 ? RGB(0, 128, 0) : RGB(255, 0, 255));
    });
    g.BitBtn->SetGlyph(glyph.get());
    g.Check = Add<TCheckBox>(g.Form, 12, 84, 130, 20, "Check box");
    g.Checked = Add<TCheckBox>(g.Form, 12, 108, 130, 20, "Checked box");
    g.Checked->SetChecked(true);
    g.Group = Add<TGroupBox>(g.Form, 240, 12, 200, 120, "Group box");
    g.Radio = Add<TRadioButton>(g.Group, 12, 24, 150, 20, "First choice");
    g.RadioOn = Add<TRadioButton>(g.Group, 12, 50, 150, 20, "Second choice");
    g.RadioOn->SetChecked(true);
    g.Panel = Add<TPanel>(g.Form, 12, 140, 428, 60, "");
    g.Progress = Add<TProgressBar>(g.Panel, 10, 10, 200, 18);
    g.Progress->SetPosition(30);
    g.Untouched = Add<TButton>(g.Panel, 220, 8, 120, 26, "Native (Tag 99)");
    g.Untouched->SetTag(99);
    g.UpDown = Add<TUpDown>(g.Form, 160, 12, 20, 40);
    g.Status = new TStatusBar(g.Form);
    g.Status->SetParent(g.Form);
    for (const char* text : {"Ready", "Line 1", "Last"}) {
      TStatusPanel* panel = g.Status->Panels()->Add();
      panel->SetText(text);
      panel->SetWidth(90);
    }
    return g;
  }

  TWinSkinForm* ShowSkinned(TForm* form) {
    ShowAndActivate(form);
    TWinSkinForm* skinner = WaitForSkinner(form->Handle());
    RunMessagesUntilIdle();
    return skinner;
  }

  // The face of `state` as the skin draws it on a button of that size.
  static Image ExpectedFace(TSkinData* data, int width, int height, int state) {
    auto bitmap = NewSkinBitmap(width, height);
    HDC dc = bitmap->Canvas()->Handle();
    RECT r{0, 0, width, height};
    FillRectColor(dc, r, data->Colors(ccButtonFace));
    DrawSkinObjectFrame(dc, r, data->Buttons()->FrameCount, state, data->Buttons());
    return testing_support::ReadPixels(dc, r);
  }

  // Points of a button's face away from its caption.
  static std::vector<POINT> FacePoints(int w, int h) {
    return {{1, 1}, {2, h / 2}, {5, 5}, {w - 3, h / 2}, {w / 2, 2}, {w / 2, h - 3}, {w - 6, h - 6}};
  }

  static void ExpectFace(HWND button, TSkinData* data, int state, const char* what) {
    SCOPED_TRACE(what);
    const Image shown = ReadClientPixels(button);
    const Image want = ExpectedFace(data, shown.Width, shown.Height, state);
    for (POINT p : FacePoints(shown.Width, shown.Height))
      EXPECT_EQ(shown.At(p.x, p.y), want.At(p.x, p.y)) << p.x << "," << p.y;
  }
};

TEST_F(SkinControlTest, TheWalkAttachesTheSkinnersOfEachFamily) {
  TSkinData* data = MakeSkinData();
  TGallery g = MakeGallery();
  TWinSkinForm* skinner = ShowSkinned(g.Form);
  ASSERT_NE(skinner, nullptr);
  struct {
    TControl* Control;
    TClass Want;
  } cases[] = {
      {g.Button, &TSkinButton::ClassInfo},     {g.BitBtn, &TSkinBitButton::ClassInfo},
      {g.Check, &TSkinCheckBox::ClassInfo},    {g.Radio, &TSkinRadioButton::ClassInfo},
      {g.Group, &TSkinGroupBox::ClassInfo},    {g.Panel, &TSkinBox::ClassInfo},
      {g.Progress, &TSkinProgress::ClassInfo}, {g.Untouched, nullptr},
      {g.Edit, nullptr},                       {g.UpDown, &TSkinUpDown::ClassInfo},
      {g.Status, &TSkinStatusBar::ClassInfo},
  };
  for (const auto& c : cases) {
    TSkinControl* s = skinner->FindSkinControlOf(c.Control);
    SCOPED_TRACE(c.Control->ClassName());
    if (!c.Want) {
      EXPECT_EQ(s, nullptr);
      continue;
    }
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->ClassType(), c.Want);
  }
  // Skinned windows say so; the Tag 99 button does not.
  EXPECT_EQ(SendMessageA(g.Button->Handle(), SM_ISSKINNED, 0, 0), 1);
  EXPECT_NE(SendMessageA(g.Untouched->Handle(), SM_ISSKINNED, 0, 0), 1);
  // The panel wears the skin colour.
  EXPECT_EQ(g.Panel->Color(), data->Colors(ccButtonFace));
  SaveScreenshot(g.Form->Handle(), "skin-controls-active");
}

TEST_F(SkinControlTest, APushButtonShowsTheFaceFrameOfItsState) {
  TSkinData* data = MakeSkinData();
  TGallery g = MakeGallery();
  int clicks = 0;
  g.Button->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
  ASSERT_NE(ShowSkinned(g.Form), nullptr);
  const HWND button = g.Button->Handle();
  SetFocus(g.Edit->Handle());
  RunMessagesUntilIdle();
  auto* skinner = static_cast<TSkinButton*>(WaitForSkinner(g.Form->Handle())->FindSkinControlOf(g.Button));
  ASSERT_NE(skinner, nullptr);
  // Each face frame differs from the others where the test reads it.
  for (int a = 1; a <= 5; ++a)
    for (int b = a + 1; b <= 5; ++b) EXPECT_NE(ExpectedFace(data, 100, 30, a), ExpectedFace(data, 100, 30, b));

  EXPECT_EQ(skinner->ButtonState(), 1);
  ExpectFace(button, data, 1, "normal");
  RECT r{};
  GetWindowRect(button, &r);
  SetCursorPos(r.left + 50, r.top + 15);
  SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(50, 15));
  EXPECT_EQ(skinner->MouseState() & msHot, msHot);
  ExpectFace(button, data, 4, "hot");
  SaveScreenshot(g.Form->Handle(), "skin-controls-hot-button");
  SendMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 15));
  EXPECT_EQ(skinner->ButtonState(), 2);
  ExpectFace(button, data, 2, "pressed");
  SaveScreenshot(g.Form->Handle(), "skin-controls-pressed-button");
  EXPECT_EQ(clicks, 0);
  SendMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(50, 15));
  EXPECT_EQ(clicks, 1);
  // Focused after the click.
  SendMessageA(button, WM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(skinner->ButtonState(), 5);
  ExpectFace(button, data, 5, "focused");
  g.Button->SetEnabled(false);
  RunMessagesUntilIdle();
  ExpectFace(button, data, 3, "disabled");
  g.Button->SetEnabled(true);

  // Switched off it paints like the system button until switched on again.
  SetFocus(g.Edit->Handle());
  RunMessagesUntilIdle();
  SendMessageA(button, SM_SKINCONTROL, 0, 0);
  RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  const Image off = ReadClientPixels(button);
  const Image skinFace = ExpectedFace(data, off.Width, off.Height, 1);
  int same = 0;
  for (POINT p : FacePoints(off.Width, off.Height)) same += off.At(p.x, p.y) == skinFace.At(p.x, p.y);
  EXPECT_LT(same, 7);
  SendMessageA(button, SM_SKINCONTROL, 1, 0);
  ExpectFace(button, data, 1, "switched on again");
  EXPECT_EQ(SendMessageA(button, SM_ISSKINNED, 0, 0), 1);
}

TEST_F(SkinControlTest, AttachingTwiceChangesNothingAndFreeingGivesTheControlBack) {
  TSkinData* data = MakeSkinData(false);
  TForm* form = MakeForm("Plain");
  auto* button = new TButton(form);
  button->SetParent(form);
  button->SetBounds(10, 10, 90, 28);
  button->SetCaption("Twice");
  form->Show();
  const HWND wnd = button->Handle();
  EXPECT_NE(SendMessageA(wnd, SM_ISSKINNED, 0, 0), 1);
  auto* skinner = new TSkinButton(nullptr);
  skinner->Attach(button, nullptr, data, false, nullptr);
  const TWndMethod hooked = button->WindowProc;
  skinner->Attach(button, nullptr, data, false, nullptr);
  EXPECT_TRUE(button->WindowProc == hooked);
  EXPECT_EQ(SendMessageA(wnd, SM_ISSKINNED, 0, 0), 1);
  delete skinner;
  EXPECT_NE(SendMessageA(wnd, SM_ISSKINNED, 0, 0), 1);
  // A foreign window by handle, the same way.
  auto* byHandle = new TSkinButton(nullptr);
  byHandle->AttachHandle(wnd, data, nullptr, nullptr);
  EXPECT_EQ(SendMessageA(wnd, SM_ISSKINNED, 0, 0), 1);
  delete byHandle;
  EXPECT_NE(SendMessageA(wnd, SM_ISSKINNED, 0, 0), 1);
  // A skinner whose control is freed first lets go of it.
  auto* orphan = new TSkinButton(nullptr);
  orphan->Attach(button, nullptr, data, false, nullptr);
  delete button;
  EXPECT_EQ(orphan->Control(), nullptr);
  EXPECT_EQ(orphan->LifeState(), 6);
  delete orphan;
}

TEST_F(SkinControlTest, AButtonWithoutTheSkinsButtonsKeepsTheSystemLook) {
  AnsiString package = HouseVariant([](AnsiString& ini) { RemoveSection(ini, "Buttons"); });
  TSkinData* data = MakeSkinData(true, package);
  ASSERT_TRUE(data->Buttons() == nullptr || data->Buttons()->Bitmap->GetEmpty());
  TForm* form = MakeForm("No buttons", 60, 60, 300, 160);
  auto* skinned = new TButton(form);
  skinned->SetParent(form);
  skinned->SetBounds(10, 10, 100, 30);
  skinned->SetCaption("Same");
  auto* native = new TButton(form);
  native->SetParent(form);
  native->SetBounds(130, 10, 100, 30);
  native->SetCaption("Same");
  native->SetTag(99);
  auto* edit = new TEdit(form);
  edit->SetParent(form);
  edit->SetBounds(10, 60, 100, 22);
  ASSERT_NE(ShowSkinned(form), nullptr);
  SetFocus(edit->Handle());
  RunMessagesUntilIdle();
  SaveScreenshot(form->Handle(), "skin-controls-no-buttons");
  EXPECT_EQ(SendMessageA(skinned->Handle(), SM_ISSKINNED, 0, 0), 1);
  // The skinned button looks exactly like the native one: it did not vanish.
  EXPECT_EQ(ReadClientPixels(skinned->Handle()), ReadClientPixels(native->Handle()));
}

TEST_F(SkinControlTest, CheckBoxesAndRadioButtonsShowTheirStripFrames) {
  TSkinData* data = MakeSkinData();
  TGallery g = MakeGallery();
  TWinSkinForm* skinner = ShowSkinned(g.Form);
  ASSERT_NE(skinner, nullptr);
  ASSERT_EQ(data->Buttons()->CheckButtonFrame, 12);
  ASSERT_EQ(data->Buttons()->RadioButtonFrame, 8);
  auto frameOf = [&](TControl* c) {
    auto* s = static_cast<TSkinCheckBox*>(skinner->FindSkinControlOf(c));
    RedrawWindow(static_cast<TWinControl*>(c)->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    return s ? s->LastFrame() : -1;
  };
  EXPECT_EQ(frameOf(g.Check), 1);
  EXPECT_EQ(frameOf(g.Checked), 5);
  EXPECT_EQ(frameOf(g.Radio), 1);
  EXPECT_EQ(frameOf(g.RadioOn), 5);
  g.Checked->SetEnabled(false);
  g.Check->SetEnabled(false);
  g.RadioOn->SetEnabled(false);
  g.Radio->SetEnabled(false);
  RunMessagesUntilIdle();
  EXPECT_EQ(frameOf(g.Check), 4);
  EXPECT_EQ(frameOf(g.Checked), 8);
  EXPECT_EQ(frameOf(g.Radio), 4);
  EXPECT_EQ(frameOf(g.RadioOn), 8);
  g.Check->SetEnabled(true);
  g.Check->SetAllowGrayed(true);
  g.Check->SetState(cbGrayed);
  EXPECT_EQ(frameOf(g.Check), 9);

  // The box is drawn at the left edge from the strip's frame.
  g.Checked->SetEnabled(true);
  RunMessagesUntilIdle();
  const Image shown = ReadClientPixels(g.Checked->Handle());
  TBitmap* strip = data->Buttons()->CheckBitmap.get();
  const int w = strip->GetWidth() / 12, h = strip->GetHeight();
  const int top = (shown.Height - h) / 2;
  int matching = 0, opaque = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const COLORREF want = PixelOf(strip, 4 * w + x, y);
      if (want == RGB(255, 0, 255)) continue;
      ++opaque;
      matching += shown.At(x, top + y) == Rgb(want);
    }
  EXPECT_GT(opaque, 0);
  EXPECT_EQ(matching, opaque);
}

TEST_F(SkinControlTest, AGroupBoxCaptionStartsEightPixelsInOnTheSkinColour) {
  TSkinData* data = MakeSkinData();
  TGallery g = MakeGallery();
  ASSERT_NE(ShowSkinned(g.Form), nullptr);
  const Image shown = ReadClientPixels(g.Group->Handle());
  const uint32_t face = Rgb(ColorToRGB(data->Colors(ccButtonFace)));
  const uint32_t text = Rgb(ColorToRGB(g.Group->Font()->Color()));
  int firstText = -1;
  for (int x = 0; x < 60 && firstText < 0; ++x)
    for (int y = 0; y < 14; ++y)
      if (shown.At(x, y) == text) {
        firstText = x;
        break;
      }
  EXPECT_GE(firstText, 8);
  EXPECT_LE(firstText, 11);
  // Inside the frame the skin colour shows.
  EXPECT_EQ(shown.At(shown.Width / 2, shown.Height - 8), face);
}

TEST_F(SkinControlTest, AProgressBarAtThirtyPercentFillsThirtyPercent) {
  TSkinData* data = MakeSkinData();
  TGallery g = MakeGallery();
  ASSERT_NE(ShowSkinned(g.Form), nullptr);
  const Image shown = ReadClientPixels(g.Progress->Handle());
  TDataSkinObject* progress = data->Object(soProgress);
  ASSERT_NE(progress, nullptr);
  const int frameWidth = progress->Bitmap->GetWidth() / 2;
  // The bar frame's middle colour and the track frame's.
  const uint32_t bar = Rgb(PixelOf(progress->Bitmap.get(), frameWidth + frameWidth / 2, progress->Bitmap->GetHeight() / 2));
  const uint32_t track = Rgb(PixelOf(progress->Bitmap.get(), frameWidth / 2, progress->Bitmap->GetHeight() / 2));
  ASSERT_NE(bar, track);
  const int y = shown.Height / 2;
  const int filled = shown.Width * 30 / 100;
  EXPECT_EQ(shown.At(filled / 2, y), bar);
  EXPECT_EQ(shown.At(filled + (shown.Width - filled) / 2, y), track);
}

TEST_F(SkinControlTest, AnUpDownPressedOnItsLowerHalfShowsTheDownButtonsPressedFrame) {
  TSkinData* data = MakeSkinData();
  TGallery g = MakeGallery();
  TWinSkinForm* skinner = ShowSkinned(g.Form);
  ASSERT_NE(skinner, nullptr);
  auto* s = static_cast<TSkinUpDown*>(skinner->FindSkinControlOf(g.UpDown));
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(TSkinUpDown::FrameOf(0, 1), 1);
  EXPECT_EQ(TSkinUpDown::FrameOf(1, 2), 6);
  EXPECT_EQ(TSkinUpDown::FrameOf(2, 4), 4);
  EXPECT_EQ(TSkinUpDown::FrameOf(3, 3), 7);
  const HWND wnd = g.UpDown->Handle();
  RECT r{};
  GetWindowRect(wnd, &r);
  SetCursorPos(r.left + 10, r.top + 30);
  SendMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 30));
  RunMessagesUntilIdle();
  EXPECT_EQ(s->FirstFrame(), 1);
  EXPECT_EQ(s->SecondFrame(), 6);
  // The down button shows frame 6 of the strip, stretched over the lower half.
  const Image shown = ReadClientPixels(wnd);
  auto* object = data->UpDownVert();
  ASSERT_NE(object, nullptr);
  auto want = NewSkinBitmap(shown.Width, shown.Height);
  HDC dc = want->Canvas()->Handle();
  FillRectColor(dc, {0, 0, shown.Width, shown.Height}, data->Colors(ccButtonFace));
  const RECT upper{0, 0, shown.Width, shown.Height / 2}, lower{0, shown.Height / 2, shown.Width, shown.Height};
  DrawSkinFrame(dc, upper, object->Bitmap.get(), true, 8, 1);
  DrawSkinGlyphCentered(dc, upper, object->Bitmap2.get(), true, 8, 1);
  DrawSkinFrame(dc, lower, object->Bitmap.get(), true, 8, 6);
  DrawSkinGlyphCentered(dc, lower, object->Bitmap2.get(), true, 8, 6);
  testing_support::SaveArtefact(shown, "skin-updown-pressed");
  for (POINT p : {POINT{shown.Width / 2, shown.Height * 3 / 4}})
    EXPECT_EQ(shown.At(p.x, p.y), Rgb(GetPixel(dc, p.x, p.y))) << p.x << "," << p.y;
  SendMessageA(wnd, WM_LBUTTONUP, 0, MAKELPARAM(10, 30));
  EXPECT_NE(s->SecondFrame(), 6);  // normal or hot once released
  g.UpDown->SetEnabled(false);
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(s->FirstFrame(), 3);
  EXPECT_EQ(s->SecondFrame(), 7);
}

TEST_F(SkinControlTest, AStatusBarsLastPanelReachesTheRightEdge) {
  MakeSkinData();
  TGallery g = MakeGallery();
  TWinSkinForm* skinner = ShowSkinned(g.Form);
  ASSERT_NE(skinner, nullptr);
  auto* s = static_cast<TSkinStatusBar*>(skinner->FindSkinControlOf(g.Status));
  ASSERT_NE(s, nullptr);
  RedrawWindow(g.Status->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_EQ(s->PanelRects().size(), 3u);
  RECT client{};
  GetClientRect(g.Status->Handle(), &client);
  EXPECT_EQ(s->PanelRects().back().right, client.right);
  EXPECT_LT(s->PanelRects()[0].right, s->PanelRects()[1].right);
}

TEST_F(SkinControlTest, RestoringTheFormGivesTheControlsTheirLookAndColourBack) {
  TSkinData* data = MakeSkinData();
  TGallery g = MakeGallery();
  const TColor panelColour = g.Panel->Color();
  TWinSkinForm* skinner = ShowSkinned(g.Form);
  ASSERT_NE(skinner, nullptr);
  EXPECT_EQ(g.Panel->Color(), data->Colors(ccButtonFace));
  EXPECT_FALSE(skinner->SkinControlList().empty());
  skinner->Restore();
  EXPECT_TRUE(skinner->SkinControlList().empty());
  EXPECT_EQ(g.Panel->Color(), panelColour);
  for (TWinControl* c : std::initializer_list<TWinControl*>{g.Button, g.Check, g.Radio, g.Group, g.Progress})
    EXPECT_NE(SendMessageA(c->Handle(), SM_ISSKINNED, 0, 0), 1) << c->ClassName();
}

TEST_F(SkinControlTest, AGlyphButtonWithoutBitBtnStaysNative) {
  TSkinData* data = MakeSkinData();
  data->SetSkinControls(data->SkinControls() - xcBitBtn);
  TGallery g = MakeGallery();
  TWinSkinForm* skinner = ShowSkinned(g.Form);
  ASSERT_NE(skinner, nullptr);
  EXPECT_EQ(skinner->FindSkinControlOf(g.BitBtn), nullptr);
  EXPECT_NE(skinner->FindSkinControlOf(g.Button), nullptr);
}

TEST_F(SkinControlTest, ADialogsPushButtonIsSkinnedAndPostsItsCommand) {
  MakeSkinData();
  TDialogTemplate t = TDialogTemplate::WithButton(L"Skinned dialog", 120, 60);
  UINT command = 0;
  LPARAM from = 0;
  static UINT* commandOut = nullptr;
  static LPARAM* fromOut = nullptr;
  commandOut = &command;
  fromOut = &from;
  HWND dialog = CreateDialogIndirectParamA(
      GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(t.Words.data()), nullptr,
      [](HWND, UINT msg, WPARAM wp, LPARAM lp) -> INT_PTR {
        if (msg == WM_COMMAND) {
          *commandOut = LOWORD(wp);
          *fromOut = lp;
          return TRUE;
        }
        return FALSE;
      },
      0);
  ASSERT_NE(dialog, nullptr);
  ShowWindow(dialog, SW_SHOW);
  TWinSkinForm* skinner = WaitForSkinner(dialog);
  ASSERT_NE(skinner, nullptr);
  HWND ok = GetDlgItem(dialog, IDOK);
  TSkinControl* s = skinner->FindSkinControlOfWindow(ok);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->ClassType(), &TSkinButton::ClassInfo);
  SendMessageA(ok, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  SendMessageA(ok, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  RunMessagesUntil([&] { return command != 0; });
  EXPECT_EQ(command, static_cast<UINT>(IDOK));
  EXPECT_EQ(from, reinterpret_cast<LPARAM>(ok));
  DestroyWindow(dialog);
  RunMessagesUntilIdle();
}

TEST_F(SkinControlTest, HandleCountsStayFlatOverSkinAndUnskinCycles) {
  TSkinData* data = MakeSkinData();
  TGallery g = MakeGallery();
  TWinSkinForm* skinner = ShowSkinned(g.Form);
  ASSERT_NE(skinner, nullptr);
  skinner->FreeSkinControls();
  skinner->SkinFormControls(g.Form);
  RedrawWindow(g.Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  skinner->FreeSkinControls();
  RunMessagesUntilIdle();
  const THandleCounts before = HandleCounts();
  for (int i = 0; i < 200; ++i) {
    skinner->SkinFormControls(g.Form);
    RedrawWindow(g.Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    skinner->FreeSkinControls();
  }
  RunMessagesUntilIdle();
  EXPECT_EQ(HandleCounts(), before);
  (void)data;
}

}  // namespace
