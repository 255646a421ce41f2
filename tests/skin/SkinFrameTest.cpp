// The skinned non-client area: frame borders in both activation states,
// the caption with its text and buttons, hit testing, the caption buttons'
// visibility, looks and actions, hints, and the window region.
#include "platform/Menus.h"
#include "skin/SkinDraw.h"
#include "skin/WinSkinMenu.h"
#include "tests/skin/SkinFormTest.h"
#include "tools/skin/PixelCanvas.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using namespace skin_tests;
using namespace testing_support;

// The house skin's frame: Left, Right and Bottom 4 pixels, the caption 30.
constexpr int kSide = 4, kTop = 30;

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

RECT WindowRect(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return r;
}

// A pixel of one frame of a skin image: frames side by side, or stacked.
uint32_t FramePixel(TBitmap* bitmap, int frames, int frame, bool stacked, int x, int y) {
  const int w = stacked ? bitmap->Width() : bitmap->Width() / frames;
  const int h = stacked ? bitmap->Height() / frames : bitmap->Height();
  return Rgb(PixelOf(bitmap, stacked ? x : w * (frame - 1) + x, stacked ? h * (frame - 1) + y : y));
}

TDataSkinSysButton* ButtonData(TSkinData* data, int index) { return data->CaptionButtons().at(static_cast<size_t>(index)).get(); }

// The screen point at the middle of a caption button.
POINT ButtonCentre(HWND wnd, TWinSysButton* button) {
  const RECT w = WindowRect(wnd);
  return {w.left + (button->Bounds.left + button->Bounds.right) / 2, w.top + (button->Bounds.top + button->Bounds.bottom) / 2};
}

LPARAM ScreenPoint(POINT p) { return MAKELPARAM(p.x, p.y); }

// A form with a menu bar and a popup menu.
TForm* AddMenus(TForm* form) {
  AddMenuBar(form);
  auto* popup = new TPopupMenu(form);
  NewMenuItem(form, "Popup item", popup->Items());
  form->SetPopupMenu(popup);
  return form;
}

class SkinFrameTest : public SkinFormTest {
protected:
  // The form shown, active and skinned.
  TWinSkinForm* ShowSkinned(TForm* form) {
    ShowAndActivate(form);
    TWinSkinForm* skinner = WaitForSkinner(form->Handle());
    RunMessagesUntilIdle();
    return skinner;
  }
};

// The frame's four borders in frame 1 (active) or 2 (inactive), read back
// from the window where the image is plain: the sides and the bottom are
// the same along their length, the caption band is stretched across.
void ExpectBorders(HWND wnd, TSkinData* data, int frame, const char* what) {
  SCOPED_TRACE(what);
  const Image image = ReadWindowPixels(wnd);
  const int W = image.Width, H = image.Height;
  TBitmap* left = data->Border(TSkinBorderSide::bsLeftBorder)->Bitmap.get();
  TBitmap* right = data->Border(TSkinBorderSide::bsRightBorder)->Bitmap.get();
  TBitmap* top = data->Border(TSkinBorderSide::bsTopBorder)->Bitmap.get();
  TBitmap* bottom = data->Border(TSkinBorderSide::bsBottomBorder)->Bitmap.get();
  for (int x = 0; x < kSide; ++x) {
    EXPECT_EQ(image.At(x, H / 2), FramePixel(left, 2, frame, false, x, 20)) << "left " << x;
    EXPECT_EQ(image.At(W - kSide + x, H / 2), FramePixel(right, 2, frame, false, x, 20)) << "right " << x;
    EXPECT_EQ(image.At(W / 2, H - kSide + x), FramePixel(bottom, 2, frame, true, 32, x)) << "bottom " << x;
  }
  // Between the caption text (ending 72 pixels before the right border at
  // the latest) and the buttons (64 pixels from the right edge).
  for (int y : {2, 15, 28}) EXPECT_EQ(image.At(W - 70, y), FramePixel(top, 2, frame, true, 32, y)) << "top " << y;
}

TEST_F(SkinFrameTest, AFormActiveInactiveMaximizedAndMinimizedBesideADialogAndAMessageBox) {
  TSkinData* data = MakeSkinData();
  TForm* form = AddMenus(MakeForm("Skinned form", 60, 60, 360, 240));
  TWinSkinForm* skinner = ShowSkinned(form);
  ASSERT_NE(skinner, nullptr);
  const HWND wnd = form->Handle();
  SaveScreenshot(wnd, "skin-form-active");
  ExpectBorders(wnd, data, 1, "active");
  // The close button's left edge is its XCoord from the window's right edge.
  const int W = Width(WindowRect(wnd));
  TWinSysButton* close = skinner->SysButtons().at(0).get();
  ASSERT_EQ(ButtonData(data, 0)->Action, 0);
  EXPECT_EQ(ButtonData(data, 0)->XCoord, 24);
  EXPECT_EQ(close->Bounds.left, W - 24);
  TBitmap* closeImage = ButtonData(data, 0)->Bitmap.get();
  EXPECT_EQ(ReadWindowPixels(wnd).At(W - 24 + 9, close->Bounds.top + 2), FramePixel(closeImage, 4, 1, false, 9, 2));

  // Another window active: frame 2 of every border, the buttons' frame 4.
  TForm* other = MakeForm("Other window", 520, 420, 220, 120);
  ShowAndActivate(other);
  ASSERT_TRUE(RunMessagesUntil([&] { return !skinner->Active(); }));
  RunMessagesUntilIdle();
  SaveScreenshot(wnd, "skin-form-inactive");
  ExpectBorders(wnd, data, 2, "inactive");
  EXPECT_EQ(ReadWindowPixels(wnd).At(W - 24 + 9, close->Bounds.top + 2), FramePixel(closeImage, 4, 4, false, 9, 2));

  ShowAndActivate(form);
  SendMessageA(wnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  ASSERT_TRUE(RunMessagesUntil([&] { return IsZoomed(wnd) && skinner->ShowState() == TWinSkinForm::ssMaximized; }));
  RunMessagesUntilIdle();
  SaveScreenshot(wnd, "skin-form-maximized");
  RECT client{};
  GetClientRect(wnd, &client);
  EXPECT_EQ(client.right, Width(WindowRect(wnd)) - 2 * kSide) << "the skin's frame around the maximized client";
  SendMessageA(wnd, WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_TRUE(RunMessagesUntil([&] { return !IsZoomed(wnd); }));

  SendMessageA(wnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(RunMessagesUntil([&] { return IsIconic(wnd) && skinner->ShowState() == TWinSkinForm::ssMinimized; }));
  RunMessagesUntilIdle();
  SaveScreenshot(wnd, "skin-form-minimized");
  SendMessageA(wnd, WM_SYSCOMMAND, SC_RESTORE, 0);
  ASSERT_TRUE(RunMessagesUntil([&] { return !IsIconic(wnd); }));

  // A dialog box and a message box.
  TDialogTemplate t = TDialogTemplate::WithButton(L"Skinned dialog", 120, 60);
  HWND dialog = CreateDialogIndirectParamW(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(t.Words.data()),
                                           nullptr, &PlainDialogProc, 0);
  ASSERT_NE(dialog, nullptr);
  ShowWindow(dialog, SW_SHOW);
  SetForegroundWindow(dialog);
  ASSERT_NE(WaitForSkinner(dialog), nullptr);
  RunMessagesUntilIdle();
  SaveScreenshot(dialog, "skin-dialog");
  DestroyWindow(dialog);

  bool shot = false;
  TModalStep step([&](bool last) {
    HWND box = FindWindowA("#32770", "Skinned message box");
    TWinSkinForm* boxSkinner = box ? SkinManager()->FindFormSkinner(box) : nullptr;
    if (boxSkinner && boxSkinner->Initialised()) {
      RedrawWindow(box, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
      SaveScreenshot(box, "skin-message-box");
      shot = true;
    }
    if ((shot || last) && box) PostMessageA(box, WM_COMMAND, IDOK, 0);
    return shot;
  });
  step.Post();
  MessageBoxA(wnd, "A message in a skinned box.", "Skinned message box", MB_OK);
  EXPECT_TRUE(shot);
}

TEST_F(SkinFrameTest, ATooLongCaptionEndsInAnEllipsis) {
  MakeSkinData();
  TForm* form = MakeForm("A caption far too long for this narrow window to show it whole", 60, 60, 300, 120);
  TWinSkinForm* skinner = ShowSkinned(form);
  ASSERT_NE(skinner, nullptr);
  const HWND wnd = form->Handle();
  SaveScreenshot(wnd, "skin-caption-ellipsis");
  const RECT text = skinner->CaptionTextRect();
  SIZE whole{}, dots{};
  {
    TScreenDC screen;
    TSelectObjectGuard font(screen.Get(), skinner->CaptionFont()->Handle());
    const std::string caption = "  " + std::string(form->Caption()) + " ";
    GetTextExtentPoint32A(screen.Get(), caption.c_str(), static_cast<int>(caption.size()), &whole);
    GetTextExtentPoint32A(screen.Get(), "...", 3, &dots);
  }
  ASSERT_GT(whole.cx, Width(text)) << "the caption does not fit";
  // The text is white on the dark text background: its pixels are light.
  const Image image = ReadWindowPixels(wnd);
  const auto light = [&](int x, int y) {
    const uint32_t c = image.At(x, y);
    return ((c >> 16) & 0xFF) > 160 && ((c >> 8) & 0xFF) > 160 && (c & 0xFF) > 160;
  };
  int rightmost = -1;
  for (int x = text.left; x < image.Width; ++x)
    for (int y = text.top; y < text.bottom; ++y)
      if (light(x, y) && x < text.right + 2) rightmost = std::max(rightmost, x);
  ASSERT_GT(rightmost, text.left);
  EXPECT_LE(rightmost, text.right) << "no text beyond its rectangle";
  // The last glyphs are the three dots: low in the line, nothing above the
  // middle of the text.
  const int middle = (text.top + text.bottom) / 2;
  int low = 0;
  for (int x = rightmost - dots.cx + 2; x <= rightmost; ++x)
    for (int y = text.top; y < text.bottom; ++y) {
      if (!light(x, y)) continue;
      EXPECT_GT(y, middle) << "a letter, not a dot, at column " << x;
      ++low;
    }
  EXPECT_GT(low, 0);
}

TEST_F(SkinFrameTest, HitTestsKeepTheSystemsAnswerInTheTopRowsAndGiveCaptionAndMenu) {
  MakeSkinData();
  TForm* withMenu = AddMenus(MakeForm("With a menu", 60, 60, 360, 240));
  TForm* plain = MakeForm("Without a menu", 460, 60, 300, 200);
  ASSERT_NE(ShowSkinned(plain), nullptr);
  TWinSkinForm* skinner = ShowSkinned(withMenu);
  ASSERT_NE(skinner, nullptr);
  ASSERT_GT(skinner->MenuBarHeight(), 0);
  struct Case {
    const char* Name;
    bool Menu;
    int X, Y;  // window coordinates; negative X counts from the right edge
    LRESULT Expected;
  };
  const int bar = kTop + 5;
  const Case cases[] = {
      {"top edge", true, 180, 1, HTTOP},
      {"top-left corner", true, 1, 1, HTTOPLEFT},
      {"caption below the top rows", true, 180, 4, HTCAPTION},
      {"caption", true, 180, 15, HTCAPTION},
      {"caption's last row", true, 180, kTop - 1, HTCAPTION},
      {"caption button", true, -20, 14, HTCAPTION},
      {"menu bar", true, 180, bar, HTMENU},
      {"client", true, 180, 120, HTCLIENT},
      {"left border", true, 1, 120, HTLEFT},
      {"below the caption without a menu", false, 150, bar, HTCLIENT},
      {"caption without a menu", false, 150, 15, HTCAPTION},
  };
  for (const Case& c : cases) {
    const HWND wnd = c.Menu ? withMenu->Handle() : plain->Handle();
    const RECT w = WindowRect(wnd);
    const int x = c.X < 0 ? w.right + c.X : w.left + c.X;
    EXPECT_EQ(SendMessageA(wnd, WM_NCHITTEST, 0, MAKELPARAM(x, w.top + c.Y)), c.Expected) << c.Name;
  }
}

// The visibility codes, as the first (Visibility) and second (Visibility1)
// condition read them.
TEST(CaptionButtonConditionTest, VisibilityCodes) {
  // Flags: X maximized, A active, n minimize box, x maximize box, S system
  // menu, H help box, D dialog, 3 border kind 3, M MDI frame with a
  // maximized child and a menu bar, Q the window answers yes.
  struct Case {
    int Code;
    const char* Flags;
    bool First, Second;
  };
  const Case cases[] = {
      {0, "", true, true},         {1, "X", true, true},        {1, "", false, false},
      {2, "", true, true},         {2, "X", false, false},      {3, "A", true, true},
      {3, "", false, false},       {4, "", true, true},         {4, "A", false, false},
      {5, "AXnxSHD3MQ", false, false},                          {6, "nS", true, true},
      {6, "x", false, true},       {6, "S", false, false},      {7, "", true, true},
      {7, "x", false, false},      {8, "xS", true, true},       {8, "n", false, true},
      {9, "", true, true},         {9, "n", false, false},      {10, "H", true, true},
      {10, "Hn", false, true},     {10, "", false, false},      {100, "M", true, true},
      {100, "", false, true},      {200, "3", true, true},      {200, "3D", false, false},
      {200, "", false, false},     {201, "", true, true},       {999, "", true, true},
      {1000, "Q", true, true},     {1000, "", false, true},     {1500, "Q", true, true},
      {2000, "", false, true},     {2001, "Q", false, false},   {-1, "AXQ", false, false},
      {-2, "", false, false},      {11, "", false, false},      {150, "AQ", false, false},
  };
  for (const Case& c : cases) {
    const std::string f = c.Flags;
    const auto has = [&](char flag) { return f.find(flag) != std::string::npos; };
    TCaptionButtonContext context;
    context.Maximized = has('X');
    context.Active = has('A');
    context.MinimizeBox = has('n');
    context.MaximizeBox = has('x');
    context.SystemMenu = has('S');
    context.HelpBox = has('H');
    context.Dialog = has('D');
    context.BorderKind = has('3') ? TWinSkinForm::bkDialog : TWinSkinForm::bkSizeable;
    context.MDIMaximizedWithMenu = has('M');
    int asked = 0;
    context.Ask = [&](int code) {
      asked = code;
      return has('Q');
    };
    EXPECT_EQ(CaptionButtonCondition(c.Code, false, context), c.First) << c.Code << " " << c.Flags;
    EXPECT_EQ(CaptionButtonCondition(c.Code, true, context), c.Second) << c.Code << " " << c.Flags << " (second)";
    if (c.Code >= 1000 && c.Code <= 2000) {
      EXPECT_EQ(asked, c.Code);
    }
  }
}

TEST(CaptionButtonConditionTest, HintTexts) {
  const struct {
    int Action;
    const char* Text;
  } cases[] = {{0, "Close"},    {9, "Close"},    {62, "Close"},    {1, "Maximize"}, {22, "Maximize"},
               {2, "Minimize"}, {7, "Minimize"}, {23, "Minimize"}, {60, "Minimize"}, {8, "Restore"},
               {61, "Restore"}, {3, ""},         {4, ""},          {30, ""}};
  for (const auto& c : cases) EXPECT_EQ(CaptionButtonHintText(c.Action), c.Text) << c.Action;
}

TEST_F(SkinFrameTest, TheWindowIsAskedAboutCodes1000To2000) {
  TSkinData* data = MakeSkinData();
  std::vector<std::pair<WPARAM, LPARAM>> questions;
  TestWindow window(240, 120, [&](HWND, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg != SM_CAPTIONVISIBLE) return false;
    questions.emplace_back(wp, lp);
    result = wp == 1500 ? 1 : 0;
    return true;
  }, "Asked", WS_OVERLAPPEDWINDOW);
  ASSERT_TRUE(SkinManager()->AttachWindow(window.Handle()));
  TWinSkinForm* skinner = WaitForSkinner(window.Handle());
  ASSERT_NE(skinner, nullptr);
  TDataSkinSysButton* close = ButtonData(data, 0);
  const struct {
    int Code;
    bool Visible;
    bool Asked;
  } cases[] = {{999, true, false}, {1000, false, true}, {1500, true, true}, {2000, false, true}, {2001, false, false}};
  for (const auto& c : cases) {
    close->Visibility = c.Code;
    questions.clear();
    EXPECT_EQ(skinner->SysButtonVisible(0), c.Visible) << c.Code;
    ASSERT_EQ(questions.size(), c.Asked ? 1u : 0u) << c.Code;
    if (c.Asked) {
      EXPECT_EQ(questions[0].first, static_cast<WPARAM>(c.Code));
      EXPECT_EQ(questions[0].second, close->Action);
    }
  }
}

TEST_F(SkinFrameTest, CaptionButtonsShowHotPressedAndDisabledFrames) {
  TSkinData* data = MakeSkinData();
  TForm* form = MakeForm("Buttons", 60, 60, 320, 160);
  form->SetBorderIcons({biSystemMenu, biMinimize});
  TWinSkinForm* skinner = ShowSkinned(form);
  ASSERT_NE(skinner, nullptr);
  const HWND wnd = form->Handle();
  TWinSysButton* close = skinner->SysButtons().at(0).get();
  TWinSysButton* maximize = skinner->SysButtons().at(1).get();
  ASSERT_TRUE(maximize->Visible) << "the maximize button shows, disabled";
  EXPECT_FALSE(maximize->Enabled);
  const auto pixel = [&](TWinSysButton* button) {
    return ReadWindowPixels(wnd).At(button->Bounds.left + 9, button->Bounds.top + 2);
  };
  const auto frame = [&](int index, int n) { return FramePixel(ButtonData(data, index)->Bitmap.get(), 4, n, false, 9, 2); };
  EXPECT_EQ(pixel(maximize), frame(1, 4)) << "disabled";
  EXPECT_EQ(pixel(close), frame(0, 1)) << "normal";
  const POINT at = ButtonCentre(wnd, close);
  SendMessageA(wnd, WM_NCMOUSEMOVE, HTCAPTION, ScreenPoint(at));
  EXPECT_EQ(skinner->HotObject(), close);
  EXPECT_EQ(pixel(close), frame(0, 3)) << "hot";
  SendMessageA(wnd, WM_NCLBUTTONDOWN, HTCAPTION, ScreenPoint(at));
  EXPECT_EQ(pixel(close), frame(0, 2)) << "pressed";
  // Off the button: it leaves, normal again.
  const RECT w = WindowRect(wnd);
  SendMessageA(wnd, WM_NCMOUSEMOVE, HTCAPTION, MAKELPARAM(w.left + 150, w.top + 15));
  EXPECT_EQ(skinner->HotObject(), nullptr);
  EXPECT_EQ(pixel(close), frame(0, 1)) << "left";
  // A disabled button stays disabled when the mouse comes.
  SendMessageA(wnd, WM_NCMOUSEMOVE, HTCAPTION, ScreenPoint(ButtonCentre(wnd, maximize)));
  EXPECT_EQ(pixel(maximize), frame(1, 4)) << "disabled and hot";
  // While the window is inactive the mouse is not followed.
  SendMessageA(wnd, WM_NCACTIVATE, FALSE, 0);
  SendMessageA(wnd, WM_NCMOUSEMOVE, HTCAPTION, ScreenPoint(at));
  EXPECT_EQ(skinner->HotObject(), nullptr);
  SendMessageA(wnd, WM_NCACTIVATE, TRUE, 0);
}

// A foreign window whose system commands and caption actions are recorded
// (and kept from the window's default handling when asked).
class TRecordingWindow {
public:
  explicit TRecordingWindow(const char* caption)
      : FWindow(260, 140, [this](HWND, UINT msg, WPARAM wp, LPARAM, LRESULT&) {
          if (msg == WM_SYSCOMMAND) Commands.push_back(wp & 0xFFF0);
          if (msg == SM_CAPTIONACTION) Actions.push_back(static_cast<int>(wp));
          return msg == WM_SYSCOMMAND && (wp & 0xFFF0) == SC_CLOSE;
        }, caption, WS_OVERLAPPEDWINDOW | WS_VISIBLE) {}
  HWND Handle() const { return FWindow.Handle(); }
  std::vector<WPARAM> Commands;
  std::vector<int> Actions;

private:
  TestWindow FWindow;
};

// A click on a caption button as the mouse makes it.
void ClickButton(HWND wnd, TWinSysButton* button) {
  const LPARAM at = ScreenPoint(ButtonCentre(wnd, button));
  SendMessageA(wnd, WM_NCMOUSEMOVE, HTCAPTION, at);
  SendMessageA(wnd, WM_NCLBUTTONDOWN, HTCAPTION, at);
  SendMessageA(wnd, WM_NCLBUTTONUP, HTCAPTION, at);
}

TEST_F(SkinFrameTest, CaptionButtonActions) {
  // Button0 acts as close in the house skin; in the variant it does what
  // only the application knows (action 30).
  MakeSkinData(true, HouseVariant([](AnsiString& ini) { SetKey(ini, "Button4", "Action", "30"); }));
  TDataSkinSysButton* icon = ButtonData(SkinManager()->MainSkinData(), 4);
  ASSERT_EQ(icon->Action, 30);
  // Action 30 has no image of its own: give it the close button's.
  icon->Bitmap->Assign(ButtonData(SkinManager()->MainSkinData(), 0)->Bitmap.get());
  icon->FrameCount = 4;
  TRecordingWindow window("Actions");
  SkinManager()->AttachWindow(window.Handle());  // unless its activation did
  SetForegroundWindow(window.Handle());
  TWinSkinForm* skinner = WaitForSkinner(window.Handle());
  ASSERT_NE(skinner, nullptr);
  RunMessagesUntilIdle();
  const HWND wnd = window.Handle();
  const auto button = [&](int index) { return skinner->SysButtons().at(static_cast<size_t>(index)).get(); };

  ClickButton(wnd, button(0));
  ASSERT_TRUE(RunMessagesUntil([&] { return !window.Commands.empty(); }));
  EXPECT_EQ(window.Commands.back(), static_cast<WPARAM>(SC_CLOSE)) << "close posts SC_CLOSE";
  EXPECT_TRUE(IsWindow(wnd));

  ClickButton(wnd, button(1));
  ASSERT_TRUE(RunMessagesUntil([&] { return IsZoomed(wnd) != FALSE; })) << "maximize";
  RunMessagesUntilIdle();
  ASSERT_TRUE(button(2)->Visible) << "the restore button in the maximize button's place";
  ClickButton(wnd, button(2));
  ASSERT_TRUE(RunMessagesUntil([&] { return !IsZoomed(wnd); })) << "and back";
  RunMessagesUntilIdle();

  ClickButton(wnd, button(3));
  ASSERT_TRUE(RunMessagesUntil([&] { return IsIconic(wnd) != FALSE; })) << "minimize";
  ShowWindow(wnd, SW_RESTORE);
  SetForegroundWindow(wnd);
  ASSERT_TRUE(RunMessagesUntil([&] { return !IsIconic(wnd) && skinner->Active(); }));
  RunMessagesUntilIdle();

  ASSERT_TRUE(button(4)->Visible);
  ClickButton(wnd, button(4));
  ASSERT_TRUE(RunMessagesUntil([&] { return !window.Actions.empty(); }));
  EXPECT_EQ(window.Actions, std::vector<int>{30}) << "0x3514 with the action";

  // A double click on the caption maximizes a window with a maximize box.
  const RECT w = WindowRect(wnd);
  SendMessageA(wnd, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(w.left + 120, w.top + 15));
  ASSERT_TRUE(RunMessagesUntil([&] { return IsZoomed(wnd) != FALSE; })) << "double click";
  SendMessageA(wnd, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(w.left + 120, w.top + 15));
  ASSERT_TRUE(RunMessagesUntil([&] { return !IsZoomed(wnd); })) << "and back";
}

TEST_F(SkinFrameTest, AHintShowsFromTwiceTheHintPauseUntilTheHidePause) {
  TSkinData* data = MakeSkinData();
  TForm* form = MakeForm("Hints", 60, 60, 320, 160);
  TWinSkinForm* skinner = ShowSkinned(form);
  ASSERT_NE(skinner, nullptr);
  // The test drives the hover timer.
  skinner->HoverTimer()->SetEnabled(false);
  Application->SetHintPause(500);
  Application->SetHintHidePause(1000);
  const HWND wnd = form->Handle();
  TWinSysButton* close = skinner->SysButtons().at(0).get();
  const POINT at = ButtonCentre(wnd, close);
  SetCursorPos(at.x, at.y);
  SendMessageA(wnd, WM_NCMOUSEMOVE, HTCAPTION, ScreenPoint(at));
  ASSERT_EQ(skinner->HotObject(), close);
  // 250 ms a tick: the hint shows from 1000 ms to 2000 ms over the button.
  for (int tick = 1; tick <= 9; ++tick) {
    skinner->HoverTimerTick();
    EXPECT_EQ(skinner->HintTime(), tick * 250);
    EXPECT_EQ(data->CaptionHintShown(), tick >= 4 && tick < 8) << "tick " << tick;
    if (tick == 4) {
      HWND hint = FindWindowA("THintWindow", nullptr);
      ASSERT_NE(hint, nullptr);
      char text[32] = {};
      GetWindowTextA(hint, text, sizeof text);
      EXPECT_STREQ(text, "Close");
      RECT r{};
      GetWindowRect(hint, &r);
      EXPECT_EQ(r.left, WindowRect(wnd).left + close->Bounds.left);
      EXPECT_EQ(r.top, at.y + 24);
    }
  }
  // The cursor leaves: the button is no longer hot and the time starts over.
  SetCursorPos(at.x, at.y + 200);
  skinner->HoverTimerTick();
  EXPECT_EQ(skinner->HotObject(), nullptr);
  EXPECT_EQ(skinner->HintTime(), 0);
  EXPECT_FALSE(data->CaptionHintShown());
  Application->SetHintPause(500);
  Application->SetHintHidePause(2500);
}

// -- The window region

// Side borders with rounded outer corners at both ends: magenta there.
AnsiString RoundedSide(bool right) {
  TPixelCanvas c(8, 40);
  for (int frame = 0; frame < 2; ++frame) {
    const int x = frame * 4;
    c.FillRect(x, 0, 4, 40, frame == 0 ? 0x2A6C8A : 0x8E9CAB);
    c.VLine(right ? x + 3 : x, 0, 40, 0x5A6B80);
    for (int k = 0; k < 3; ++k) {
      const int run = 3 - k;
      c.HLine(right ? x + 4 - run : x, k, run, kSkinMagenta);
      c.HLine(right ? x + 4 - run : x, 39 - k, run, kSkinMagenta);
    }
  }
  return c.Bmp();
}

// Every magenta pixel of a transparent border lies outside the window's
// region, every other one inside.
void ExpectRegionFollowsBorders(HWND wnd, TWinSkinForm* skinner, TSkinData* data) {
  TGdiObject region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(wnd, static_cast<HRGN>(region.Get())), ERROR);
  const RECT w = WindowRect(wnd);
  const int W = Width(w), H = Height(w);
  const RECT frame = skinner->FrameSize();
  const struct {
    TSkinBorderSide Side;
    RECT Place;
    bool Stacked;
  } borders[] = {
      {TSkinBorderSide::bsLeftBorder, {0, 0, frame.left, H}, false},
      {TSkinBorderSide::bsRightBorder, {W - frame.right, 0, W, H}, false},
      {TSkinBorderSide::bsTopBorder, {frame.left, 0, W - frame.right, frame.top}, true},
      {TSkinBorderSide::bsBottomBorder, {frame.left, H - frame.bottom, W - frame.right, H}, true},
  };
  int outside = 0;
  for (const auto& b : borders) {
    TDataSkinBorder* border = data->Border(b.Side);
    if (border->Trans != 1) continue;
    std::unique_ptr<TBitmap> image = BuildNinePart(b.Place, border->Bitmap.get(), border->Margins(), b.Stacked,
                                                   border->Tile != 1, border->FrameCount, skinner->Active() ? 1 : 2);
    for (int y = 0; y < image->Height(); ++y)
      for (int x = 0; x < image->Width(); ++x) {
        const bool magenta = PixelOf(image.get(), x, y) == RGB(255, 0, 255);
        const bool in = PtInRegion(static_cast<HRGN>(region.Get()), b.Place.left + x, b.Place.top + y) != FALSE;
        if (magenta) ++outside;
        if (magenta == in) {
          ADD_FAILURE() << SkinBorderName(b.Side) << " pixel " << x << ", " << y << (magenta ? " magenta inside" : " outside");
          return;
        }
      }
  }
  EXPECT_GT(outside, 0) << "the borders have transparent pixels";
}

TEST_F(SkinFrameTest, TheRegionLeavesOutTheMagentaOfTransparentBorders) {
  const struct {
    const char* Name;
    std::vector<TSkinPackageEntry> Entries;
    std::function<void(AnsiString&)> Edit;
  } skins[] = {
      {"house", {}, {}},
      {"transparent sides",
       {{"frameleft.bmp", RoundedSide(false)}, {"frameright.bmp", RoundedSide(true)}},
       [](AnsiString& ini) {
         SetKey(ini, "Personality", "LeftTrans", "1");
         SetKey(ini, "Personality", "RightTrans", "1");
       }},
  };
  for (const auto& skin : skins) {
    SCOPED_TRACE(skin.Name);
    TSkinData* data = MakeSkinData(true, HouseVariantWith(skin.Entries, skin.Edit));
    TForm* form = MakeForm(skin.Name, 60, 60, 300, 160);
    TWinSkinForm* skinner = ShowSkinned(form);
    ASSERT_NE(skinner, nullptr);
    EXPECT_TRUE(skinner->RegionSet());
    SaveScreenshot(form->Handle(), std::string("skin-region-") + (skin.Entries.empty() ? "house" : "sides"));
    ExpectRegionFollowsBorders(form->Handle(), skinner, data);
    TearDown();
  }
}

TEST_F(SkinFrameTest, WithoutTransparentBordersTheRegionIsTheWholeWindow) {
  MakeSkinData(true, HouseVariant([](AnsiString& ini) { SetKey(ini, "Personality", "TopTrans", "0"); }));
  TForm* form = MakeForm("Opaque frame", 60, 60, 300, 160);
  TWinSkinForm* skinner = ShowSkinned(form);
  ASSERT_NE(skinner, nullptr);
  const HWND wnd = form->Handle();
  TGdiObject region(CreateRectRgn(0, 0, 0, 0));
  ASSERT_EQ(GetWindowRgn(wnd, static_cast<HRGN>(region.Get())), SIMPLEREGION);
  RECT box{};
  GetRgnBox(static_cast<HRGN>(region.Get()), &box);
  const RECT w = WindowRect(wnd);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.top, 0);
  EXPECT_EQ(box.right, Width(w));
  EXPECT_EQ(box.bottom, Height(w));
}

TEST_F(SkinFrameTest, TheRegionIsRebuiltOnlyWhenTheSizeChanges) {
  TSkinData* data = MakeSkinData();
  TForm* form = MakeForm("Region cache", 60, 60, 300, 160);
  TWinSkinForm* skinner = ShowSkinned(form);
  ASSERT_NE(skinner, nullptr);
  const HWND wnd = form->Handle();
  // A region of our own in its place shows whether the skinner cut anew.
  const auto mark = [&] { SetWindowRgn(wnd, CreateRectRgn(0, 0, 10, 10), FALSE); };
  const auto marked = [&] {
    TGdiObject region(CreateRectRgn(0, 0, 0, 0));
    GetWindowRgn(wnd, static_cast<HRGN>(region.Get()));
    RECT box{};
    GetRgnBox(static_cast<HRGN>(region.Get()), &box);
    return box.right == 10 && box.bottom == 10;
  };
  mark();
  SendMessageA(wnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(292, 126));
  EXPECT_TRUE(marked()) << "same size: the region stays";
  SetWindowPos(wnd, nullptr, 0, 0, 340, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RunMessagesUntilIdle();
  EXPECT_FALSE(marked()) << "new size: the region is cut again";
  EXPECT_EQ(skinner->RegionSize().cx, 340);
  EXPECT_EQ(skinner->RegionSize().cy, 200);
  ExpectRegionFollowsBorders(wnd, skinner, data);
}

}  // namespace
