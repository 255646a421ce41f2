// The animation painter: timing through an injected clock (no real waits),
// loops and loop points, stopping, and what a destroyed picture leaves
// behind; and an animated picture in a window.
#include "gif/GIFImage.h"
#include "tests/gif/GIFTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tools/gif/BusyPicture.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <atomic>
#include <mutex>

namespace {

using namespace giftest;

// Time that moves only when the painter waits; every wait is recorded.
class StepClock : public TGIFPainterClock {
public:
  DWORD Now() override {
    std::lock_guard<std::mutex> lock(FLock);
    return FNow;
  }
  bool Wait(HANDLE wake, DWORD ms) override {
    {
      std::lock_guard<std::mutex> lock(FLock);
      Waits.push_back(ms == INFINITE ? -1 : static_cast<int>(ms));
      if (ms != INFINITE) {
        FNow += ms;
        return false;
      }
    }
    // Without a limit only a stop ends the wait.
    return wake && WaitForSingleObject(wake, INFINITE) == WAIT_OBJECT_0;
  }
  std::vector<int> Waits;

private:
  std::mutex FLock;
  DWORD FNow = 1000;
};

class GIFPainterTest : public ::testing::Test {
protected:
  void SetUp() override {
    GIFImageInit();
    GIFPainterClock = &FClock;
    BuildBusyPicture(FImage);
    FTarget.SetSize(24, 24);
  }
  void TearDown() override {
    FImage.StopAllPainters();
    GIFPainterClock = nullptr;
    GIFImageFinal();
  }
  // Plays until the painter ends or `frames` frames were shown; answers the
  // frames in the order shown.
  std::vector<int> Play(int frames, TGIFPaintOptions options = DefaultPaintOptions) {
    std::vector<int> shown;
    FImage.OnFrameShown = TNotifyEvent::Lambda([&](TObject* sender) {
      auto* painter = static_cast<TGIFPainter*>(sender);
      shown.push_back(painter->ActiveImage);
      if (static_cast<int>(shown.size()) >= frames) painter->StopPlaying();
    });
    FImage.OnPlayEnd = TNotifyEvent::Lambda([&](TObject*) { ++FEnds; });
    TGIFPainter* painter = FImage.StartPainter(&FPainter, FTarget.Canvas(), options, RECT{0, 0, 24, 24});
    if (painter) painter->StartPlaying();
    EXPECT_TRUE(testing_support::RunMessagesUntil([&] { return FImage.PainterCount() == 0; }, 10000));
    return shown;
  }
  void SetDelays(int delay) {
    for (int i = 0; i < FImage.Images().Count(); ++i) FImage.Images().Frames(i)->GraphicControl()->SetDelay(delay);
  }
  TGIFAppExtNSLoop* Loop() { return ObjectAs<TGIFAppExtNSLoop>(FImage.Images().Frames(0)->Extensions().Extensions(0)); }

  StepClock FClock;
  TGIFImage FImage;
  TBitmap FTarget;
  TGIFPainter* FPainter = nullptr;
  int FEnds = 0;
};

TEST_F(GIFPainterTest, SpeedScalesEveryWait) {
  struct Case {
    int Speed;
    int Wait;
  };
  for (const Case c : {Case{100, 120}, Case{200, 60}, Case{50, 240}}) {
    FClock.Waits.clear();
    FImage.PlaybackSpeed = c.Speed;
    const std::vector<int> shown = Play(10);
    ASSERT_EQ(shown.size(), 10u);
    // The first frame is shown at once; each later one after its delay.
    EXPECT_EQ(FClock.Waits, std::vector<int>(9, c.Wait)) << c.Speed;
    EXPECT_EQ(shown[8], 0) << "the busy picture loops forever";
  }
  FClock.Waits.clear();
  FImage.PlaybackSpeed = -1;
  EXPECT_EQ(Play(20).size(), 20u);
  EXPECT_TRUE(FClock.Waits.empty());
}

TEST_F(GIFPainterTest, SpeedZeroHoldsTheFirstFrameUntilStopped) {
  FImage.PlaybackSpeed = 0;
  std::vector<int> shown;
  FImage.OnFrameShown = TNotifyEvent::Lambda([&](TObject* s) { shown.push_back(static_cast<TGIFPainter*>(s)->ActiveImage); });
  FImage.OnPlayEnd = TNotifyEvent::Lambda([&](TObject*) { ++FEnds; });
  FImage.StartPainter(&FPainter, FTarget.Canvas(), DefaultPaintOptions, RECT{0, 0, 24, 24})->StartPlaying();
  ASSERT_TRUE(testing_support::RunMessagesUntil([&] { return shown.size() == 1 && FClock.Waits.size() == 1; }));
  EXPECT_EQ(FClock.Waits, std::vector<int>{-1});
  FImage.StopAllPainters();
  EXPECT_EQ(FImage.PainterCount(), 0);
  EXPECT_EQ(shown, std::vector<int>{0});
  EXPECT_EQ(FEnds, 0) << "a stopped painter fires no end event";
}

TEST_F(GIFPainterTest, DelaysAreHeldToTheirBounds) {
  SetDelays(1);
  Play(3);
  EXPECT_EQ(FClock.Waits, (std::vector<int>{36, 36}));
  FClock.Waits.clear();
  SetDelays(2000);
  Play(3);
  EXPECT_EQ(FClock.Waits, (std::vector<int>{24000, 24000})) << "a threaded painter keeps long delays";
  // Without a thread the delay is cut to 1000 units and slept in slices.
  FClock.Waits.clear();
  Loop()->Loops = 1;
  TGIFPaintOptions plain = DefaultPaintOptions;
  plain.Exclude(paThreaded);
  FImage.OnFrameShown = {};
  FImage.StartPainter(&FPainter, FTarget.Canvas(), plain, RECT{0, 0, 24, 24});
  int total = 0;
  for (int w : FClock.Waits) {
    EXPECT_LE(w, 100);
    total += w;
  }
  // The first frame waits one unit; each later one 1000 units.
  EXPECT_EQ(total, 12 + 12000 * 7);
}

TEST_F(GIFPainterTest, LoopCountAndLoopPoint) {
  Loop()->Loops = 2;
  EXPECT_EQ(Play(100), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(FEnds, 1);
  // The loop block moved to frame 3: the second pass starts there.
  TGIFAppExtNSLoop* loop = Loop();
  FImage.Images().Frames(0)->Extensions().Remove(loop);
  delete loop;
  auto* moved = new TGIFAppExtNSLoop(FImage.Images().Frames(3));
  moved->Loops = 2;
  FImage.Images().Frames(3)->Extensions().Add(moved);
  EXPECT_EQ(Play(100), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 3, 4, 5, 6, 7}));
  // Without paLoop one pass is played.
  TGIFPaintOptions once = DefaultPaintOptions;
  once.Exclude(paLoop);
  EXPECT_EQ(Play(100, once).size(), 8u);
}

// Real waits on the wake event that tell when one begins and how it ended;
// time stands still, so every wait asks for its frame's whole delay.
class WatchedClock : public TGIFPainterClock {
public:
  DWORD Now() override { return 1000; }
  bool Wait(HANDLE wake, DWORD ms) override {
    Requested = ms;
    Waiting = true;
    const bool woken = TGIFPainterClock::Wait(wake, ms);
    Woken = woken;
    Ended = true;
    return woken;
  }
  std::atomic<DWORD> Requested{0};
  std::atomic<bool> Waiting{false}, Ended{false}, Woken{false};
};

TEST_F(GIFPainterTest, StoppingDuringALongWaitReturnsPromptly) {
  WatchedClock clock;
  GIFPainterClock = &clock;
  SetDelays(834);  // a 10 s wait
  FImage.StartPainter(&FPainter, FTarget.Canvas(), DefaultPaintOptions, RECT{0, 0, 24, 24})->StartPlaying();
  ASSERT_TRUE(testing_support::RunMessagesUntil([&] { return clock.Waiting.load(); }));
  FImage.StopAllPainters();
  EXPECT_EQ(FImage.PainterCount(), 0);
  EXPECT_EQ(clock.Requested.load(), 834u * FrameDelayScale);
  // The painter has gone, so its wait is over: the stop woke it rather
  // than letting the delay run out.
  EXPECT_TRUE(clock.Ended.load());
  EXPECT_TRUE(clock.Woken.load());
}

// Looping forever from an empty frame shows nothing, pass after pass: the
// painter ends instead of spinning without a wait.
TEST_F(GIFPainterTest, LoopingForeverFromAnEmptyFrameEnds) {
  FImage.ResetPicture();
  FImage.Header().SetWidth(24);
  FImage.Header().SetHeight(24);
  FImage.Header().ColorMap().AppendColor(TGIFColor{});
  FImage.Header().ColorMap().AppendColor(TGIFColor{255, 0, 0});
  AddFrame(FImage, 0, 0, {});
  AddFrame(FImage, 24, 24, std::vector<uint8_t>(24 * 24, 1));
  TGIFPaintOptions forever = DefaultPaintOptions;
  forever.Include(paLoopForever);
  EXPECT_TRUE(Play(100, forever).empty());
  EXPECT_EQ(FEnds, 1);
  EXPECT_TRUE(FClock.Waits.empty());
}

int ThreadCount() {
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 e{};
  e.dwSize = sizeof(e);
  int n = 0;
  for (BOOL ok = Thread32First(snap, &e); ok; ok = Thread32Next(snap, &e))
    if (e.th32OwnerProcessID == GetCurrentProcessId()) ++n;
  CloseHandle(snap);
  return n;
}

TEST_F(GIFPainterTest, DestroyingAPlayingPictureLeavesNoThreadOrGDIObject) {
  GIFPainterClock = nullptr;
  auto play = [](TGIFImage* image, TBitmap& target) {
    BuildBusyPicture(*image);
    bool painted = false;
    image->OnFrameShown = TNotifyEvent::Lambda([&](TObject*) { painted = true; });
    image->Draw(target.Canvas(), RECT{0, 0, 48, 48});
    EXPECT_EQ(image->PainterCount(), 1);
    EXPECT_TRUE(testing_support::RunMessagesUntil([&] { return painted; }));
    image->OnFrameShown = {};
  };
  TBitmap target;
  target.SetSize(48, 48);
  {
    // Whatever the system starts on first use is not counted.
    TGIFImage warmUp;
    play(&warmUp, target);
  }
  const int threads = ThreadCount();
  const THandleCounts handles = HandleCounts();
  auto* image = new TGIFImage;
  play(image, target);
  EXPECT_EQ(ThreadCount(), threads + 1);
  EXPECT_GT(HandleCounts().GdiObjects, handles.GdiObjects);
  // Every GDI object the playing picture holds: the painter's buffers, the
  // cached bitmap, frame bitmaps, masks and palettes.
  std::vector<HGDIOBJ> objects = image->OwnPainter()->GdiObjects();
  objects.push_back(image->CachedBitmap()->Handle());
  for (int i = 0; i < image->Images().Count(); ++i) {
    TGIFSubImage* f = image->Images().Frames(i);
    objects.push_back(image->FrameBitmap(f)->Handle());
    objects.push_back(image->FrameMask(f));
    objects.push_back(image->FramePalette(f));
  }
  objects.push_back(image->GetPalette());
  for (HGDIOBJ o : objects) ASSERT_NE(GetObjectType(o), 0u);
  Free(image);
  EXPECT_EQ(ThreadCount(), threads);
  for (HGDIOBJ o : objects) EXPECT_EQ(GetObjectType(o), 0u) << o;
  // Nothing else the picture made is left either (the system's own count
  // answers 0 under Wine).
  EXPECT_EQ(HandleCounts(), handles);
}

TEST_F(GIFPainterTest, DrawKeepsOnePainterPerTarget) {
  FImage.PlaybackSpeed = 0;  // holds frame 0: nothing moves meanwhile
  FImage.Draw(FTarget.Canvas(), RECT{0, 0, 24, 24});
  TGIFPainter* first = FImage.OwnPainter();
  ASSERT_NE(first, nullptr);
  // Again, and into another rectangle: the running buffer is drawn.
  FImage.Draw(FTarget.Canvas(), RECT{0, 0, 24, 24});
  FImage.Draw(FTarget.Canvas(), RECT{0, 0, 12, 12});
  EXPECT_EQ(FImage.OwnPainter(), first);
  EXPECT_EQ(FImage.PainterCount(), 1);
  // Drawing straight onto the target: a new rectangle starts a new painter.
  FImage.StopAllPainters();
  FImage.PaintOptions.Include(paDirect);
  FImage.Draw(FTarget.Canvas(), RECT{0, 0, 24, 24});
  TGIFPainter* direct = FImage.OwnPainter();
  ASSERT_NE(direct, nullptr);
  ASSERT_TRUE(testing_support::RunMessagesUntil([&] { return direct->Started(); }));
  FImage.Draw(FTarget.Canvas(), RECT{0, 0, 24, 24});
  EXPECT_EQ(FImage.OwnPainter(), direct);
  FImage.Draw(FTarget.Canvas(), RECT{0, 0, 12, 12});
  EXPECT_EQ(FImage.PainterCount(), 1);
  EXPECT_EQ(FImage.OwnPainter()->Rect().right, 12);
}

TEST_F(GIFPainterTest, HandlerMayChooseTheNextFrame) {
  Loop()->Loops = 1;
  std::vector<int> shown;
  FImage.OnFrameShown = TNotifyEvent::Lambda([&](TObject* sender) {
    auto* painter = static_cast<TGIFPainter*>(sender);
    shown.push_back(painter->ActiveImage);
    if (painter->ActiveImage == 1) painter->ActiveImage = 6;
  });
  FImage.StartPainter(&FPainter, FTarget.Canvas(), DefaultPaintOptions, RECT{0, 0, 24, 24})->StartPlaying();
  ASSERT_TRUE(testing_support::RunMessagesUntil([&] { return FImage.PainterCount() == 0; }));
  EXPECT_EQ(shown, (std::vector<int>{0, 1, 6, 7}));
}

// Composition by disposal, read back from the target after every frame: a
// "restore to previous" frame after a "leave in place" one goes straight to
// the target and the next frame is composed on the state from before it; a
// "restore to background" frame gives back the target's own pixels; an
// empty frame ends the pass.
TEST_F(GIFPainterTest, DisposalsComposeFramesOnTheBuffer) {
  FImage.ResetPicture();
  FImage.Header().SetWidth(24);
  FImage.Header().SetHeight(24);
  for (const TGIFColor& c : {TGIFColor{255, 255, 255}, TGIFColor{255, 0, 0}, TGIFColor{0, 255, 0}, TGIFColor{0, 0, 255}})
    FImage.Header().ColorMap().AppendColor(c);
  struct Frame {
    uint8_t TopLeft, Rest;  // the top left quarter and everything else
    int Disposal;
    bool Transparent;  // index 0 is transparent
  };
  const Frame frames[] = {{1, 1, 1, false}, {2, 2, 3, false}, {3, 0, 2, true}, {0, 0, 1, true}};
  for (const Frame& f : frames) {
    std::vector<uint8_t> pixels(24 * 24);
    for (int y = 0; y < 24; ++y)
      for (int x = 0; x < 24; ++x) pixels[y * 24 + x] = x < 12 && y < 12 ? f.TopLeft : f.Rest;
    TGIFSubImage* frame = AddFrame(FImage, 24, 24, pixels);
    auto* control = new TGIFGraphicControlExtension(frame);
    frame->Extensions().Add(control);
    control->SetDisposal(f.Disposal);
    control->SetDelay(10);
    control->SetTransparent(f.Transparent);
  }
  AddFrame(FImage, 0, 0, {});
  AddFrame(FImage, 24, 24, std::vector<uint8_t>(24 * 24, 1));

  const RECT all{0, 0, 24, 24};
  HBRUSH yellow = CreateSolidBrush(RGB(255, 255, 0));
  ::FillRect(FTarget.Canvas()->Handle(), &all, yellow);
  DeleteObject(yellow);
  std::vector<std::pair<uint32_t, uint32_t>> seen;  // top left and bottom right after each frame
  FImage.OnFrameShown = TNotifyEvent::Lambda([&](TObject*) {
    const testing_support::Image shot = testing_support::ReadPixels(FTarget.Canvas()->Handle(), all);
    seen.emplace_back(shot.At(6, 6), shot.At(18, 18));
  });
  FImage.OnPlayEnd = TNotifyEvent::Lambda([&](TObject*) { ++FEnds; });
  FImage.StartPainter(&FPainter, FTarget.Canvas(), DefaultPaintOptions, all)->StartPlaying();
  ASSERT_TRUE(testing_support::RunMessagesUntil([&] { return FImage.PainterCount() == 0; }));
  const std::vector<std::pair<uint32_t, uint32_t>> expected = {
      {0xFF0000, 0xFF0000},  // red, left in place
      {0x00FF00, 0x00FF00},  // green, drawn onto the target only
      {0x0000FF, 0xFF0000},  // blue over the red from before the green
      {0xFFFF00, 0xFFFF00},  // the background under the blue frame: the target's yellow
  };
  EXPECT_EQ(seen, expected);
  EXPECT_EQ(FEnds, 1) << "the empty frame ends the only pass";
}

// The client's busy picture in a window: its frames come round with period 8.
TEST_F(GIFPainterTest, WindowShowsTheBusyPictureAnimating) {
  GIFPainterClock = nullptr;
  LoadFromBytes(FImage, BusyPictureBytes());
  TGIFImage* image = &FImage;
  HWND wnd = nullptr;
  // The painter takes the picture's handlers when it starts, at the first paint.
  std::vector<testing_support::Image> frames;
  FImage.OnChange = TNotifyEvent::Lambda([&](TObject*) { InvalidateRect(wnd, nullptr, FALSE); });
  FImage.OnFrameShown = TNotifyEvent::Lambda([&](TObject*) {
    UpdateWindow(wnd);
    frames.push_back(testing_support::ReadClientPixels(wnd));
  });
  testing_support::TestWindow window(
      48, 48, [image](HWND w, UINT msg, WPARAM, LPARAM, LRESULT& result) {
        if (msg != WM_PAINT) return false;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(w, &ps);
        TCanvas canvas;
        canvas.SetHandle(dc);
        image->Draw(&canvas, RECT{0, 0, 48, 48});
        canvas.SetHandle(nullptr);
        EndPaint(w, &ps);
        result = 0;
        return true;
      },
      "Mevra test", WS_OVERLAPPEDWINDOW);
  wnd = window.Handle();
  ShowWindow(wnd, SW_SHOWNOACTIVATE);
  ASSERT_TRUE(testing_support::RunMessagesUntil([&] { return frames.size() >= 24; }, 15000)) << frames.size();
  FImage.StopAllPainters();
  // Each frame is on screen when its OnFrameShown runs.
  for (int i = 0; i < 8; ++i) {
    for (int j = i + 1; j < 8; ++j) EXPECT_NE(frames[i], frames[j]) << i << " " << j;
    EXPECT_EQ(frames[i], frames[i + 8]) << i;
    EXPECT_EQ(frames[i], frames[i + 16]) << i;
    testing_support::SaveArtefact(frames[i], "gif-busy-frame-" + std::to_string(i));
  }
}

}  // namespace
