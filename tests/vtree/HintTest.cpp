// The tree's hints: the plain hint's size, tooltips only over shortened cells,
// the window kept on the desktop, the slide frames, which messages end a
// hint, and a picture of a tooltip over a shortened cell.
#include "tests/vtree/TreeChecker.h"

#include "platform/Forms.h"
#include "vtree/StringTree.h"
#include "vtree/TreeHintWindow.h"

#include <map>

namespace {
using namespace testing_support;

const std::wstring kLongText = L"A cell text far too long for this narrow tree";

// The font the system shows its tooltips in.
struct StatusFont {
  HFONT Font = nullptr;
  StatusFont() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    Font = CreateFontIndirectW(&metrics.lfStatusFont);
  }
  ~StatusFont() { DeleteObject(Font); }
};

class TreeHints : public ::testing::Test {
protected:
  void SetUp() override {
    Tree.SetBorderStyle(bsNone);
    Tree.OnGetText = TVSTGetTextEvent::Lambda(
        [this](TBaseVirtualTree*, PVirtualNode node, TColumnIndex, TVSTTextType, std::wstring& text) {
          text = node->IndexInParent == 1 ? kLongText : L"Short";
        });
    Host.Place(Tree, 120, 100);
    Tree.SetRootNodeCount(3);
    Tree.SetHintAnimation(THintAnimationType::hatNone);
    Tree.SetShowHint(true);
    ShowWindow(Host.Handle(), SW_SHOWNOACTIVATE);
    SetWindowPos(Host.Handle(), HWND_TOPMOST, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
    RunMessagesUntilIdle();
  }
  // Asks the tree for the hint at a client point, as the application does.
  LRESULT Ask(POINT p, THintInfo& info) {
    info = THintInfo{};
    info.HintControl = &Tree;
    info.HintWindowClass = &THintWindow::ClassInfo;
    info.CursorPos = p;
    const POINT screen = Tree.ClientToScreen(p);
    info.HintPos = POINT{screen.x, screen.y + 20};
    info.HintMaxWidth = GetSystemMetrics(SM_CXSCREEN);
    info.HintStr = "tree";
    return Tree.Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
  }
  POINT TextCentre(uint32_t index) {
    RECT r = Tree.NodeDisplayRect(NodeAt(Tree, {index}), NoColumn, true, true, true);
    r.right = std::min<LONG>(r.right, Tree.ClientWidth());
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  TreeHost Host{false};
  TVirtualStringTree Tree{nullptr};
};

TEST_F(TreeHints, APlainHintIsItsTextWithMargins) {
  struct Case {
    const wchar_t* text;
    int32_t textMargin;
  };
  const std::vector<Case> cases{{L"Hint", 4}, {L"A longer hint with words", 4}, {L"Margins", 9}};
  StatusFont font;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.text, c.text + wcslen(c.text)));
    Tree.SetHintMode(TVTHintMode::hmHint);
    Tree.SetTextMargin(c.textMargin);
    TVTHintData data;
    data.OwnerTree = &Tree;
    data.PresetText = c.text;
    TVirtualTreeHintWindow window(nullptr);
    const RECT r = window.MeasureHint(1000, &data);

    TMemoryDC dc;
    TSelectObjectGuard select(dc.Get(), font.Font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc.Get(), &metrics);
    RECT text{0, 0, 1000, metrics.tmHeight};
    DrawTextW(dc.Get(), c.text, -1, &text, DT_CALCRECT);
    EXPECT_EQ(r, (RECT{0, 0, text.right + 2 * c.textMargin + 2, text.bottom + 6}));
    EXPECT_EQ(window.LineHeight(), metrics.tmHeight);
    EXPECT_EQ(window.HintInfo().ShownText, c.text);
  }
}

TEST_F(TreeHints, AnEmptyTextGivesNoHint) {
  Tree.SetHintMode(TVTHintMode::hmHint);
  TVTHintData data;
  data.OwnerTree = &Tree;
  TVirtualTreeHintWindow window(nullptr);
  EXPECT_EQ(window.MeasureHint(1000, &data), RECT{});
  EXPECT_EQ(window.MeasureHint(1000, nullptr), RECT{});
}

TEST_F(TreeHints, ATooltipShowsOnlyOverAShortenedCell) {
  Tree.SetHintMode(TVTHintMode::hmTooltip);
  THintInfo info;
  // The short text fits its cell: no hint.
  EXPECT_EQ(Ask(TextCentre(0), info), 1);
  EXPECT_EQ(Tree.LastHintRect(), RECT{});
  EXPECT_FALSE(Tree.TreeStates().Contains(TVirtualTreeState::tsHint));

  // The long one is cut off: the tooltip lies exactly over the text.
  ASSERT_EQ(Ask(TextCentre(1), info), 0);
  EXPECT_EQ(info.HintWindowClass, &TVirtualTreeHintWindow::ClassInfo);
  EXPECT_EQ(info.HintData, &Tree.HintData());
  const RECT text = Tree.NodeDisplayRect(NodeAt(Tree, {1}), NoColumn, true, true, true);
  EXPECT_EQ(Tree.LastHintRect(), text);
  const POINT corner = Tree.ClientToScreen(POINT{text.left, text.top});
  EXPECT_EQ(info.HintPos.x, corner.x);
  EXPECT_EQ(info.HintPos.y, corner.y);
  EXPECT_TRUE(Tree.TreeStates().Contains(TVirtualTreeState::tsHint));

  TVirtualTreeHintWindow window(nullptr);
  const RECT r = window.MeasureHint(info.HintMaxWidth, static_cast<TVTHintData*>(info.HintData));
  EXPECT_EQ(r, (RECT{-1, -1, text.right - text.left + 1, text.bottom - text.top + 1}));
  EXPECT_EQ(window.HintInfo().ShownText, kLongText);
  EXPECT_EQ(window.HintInfo().BreakStyle, TVTTooltipLineBreakStyle::hlbForceSingleLine);

  // The same place again is not hinted twice.
  EXPECT_EQ(Ask(TextCentre(1), info), 1);
}

TEST_F(TreeHints, TheHintIsKeptOnTheDesktop) {
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const int right = left + GetSystemMetrics(SM_CXVIRTUALSCREEN), bottom = top + GetSystemMetrics(SM_CYVIRTUALSCREEN);
  struct Case {
    const char* name;
    RECT asked;
    POINT placed;
  };
  const std::vector<Case> cases{
      {"inside stays", {left + 10, top + 10, left + 60, top + 30}, {left + 10, top + 10}},
      {"past the bottom right", {right - 10, bottom - 5, right + 40, bottom + 15}, {right - 50, bottom - 20}},
      {"above and left", {left - 30, top - 40, left + 20, top - 20}, {left, top}},
      {"larger than the desktop", {left + 5, top + 5, right + 100, bottom + 100}, {left, top}},
  };
  Tree.SetHintMode(TVTHintMode::hmHint);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TVTHintData data;
    data.OwnerTree = &Tree;
    data.PresetText = L"Hint";
    TVirtualTreeHintWindow window(nullptr);
    window.MeasureHint(1000, &data);
    window.PresentHint(c.asked);
    RECT shown{};
    GetWindowRect(window.Handle(), &shown);
    EXPECT_EQ(shown.left, c.placed.x);
    EXPECT_EQ(shown.top, c.placed.y);
    EXPECT_EQ(shown.right - shown.left, c.asked.right - c.asked.left);
    EXPECT_TRUE(IsWindowVisible(window.Handle()));
    EXPECT_EQ(GetWindowLongW(window.Handle(), GWL_STYLE) & ~(WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN),
              static_cast<LONG>(WS_POPUP));
  }
}

TEST_F(TreeHints, HalfWayThroughASlideTheLowerHalfOfTheHintShowsAtTheTop) {
  Tree.SetHintMode(TVTHintMode::hmHint);
  TVTHintData data;
  data.OwnerTree = &Tree;
  data.PresetText = L"Sliding hint";
  TVirtualTreeHintWindow window(nullptr);
  RECT r = window.MeasureHint(1000, &data);
  const POINT at = Tree.ClientToScreen(POINT{10, 10});
  OffsetRect(&r, at.x, at.y);
  window.PresentHint(r);
  RunMessagesUntilIdle();
  Tree.SetHintAnimation(THintAnimationType::hatSlide);
  const int width = r.right - r.left, height = r.bottom - r.top;
  const int half = height / 2;
  HDC dc = GetDC(window.Handle());
  window.RenderHint(half, 1, dc);
  const Image shown = ReadPixels(dc, RECT{0, 0, width, height});
  ReleaseDC(window.Handle(), dc);
  const Image content = ReadPixels(window.ContentDC(), RECT{0, 0, width, height});
  const Image screen = ReadPixels(window.ScreenDC(), RECT{0, 0, width, height});
  int wrong = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint32_t expected = y < half ? content.At(x, y + height - half) : screen.At(x, y);
      if (shown.At(x, y) != expected) ++wrong;
    }
  EXPECT_EQ(wrong, 0);
  // The frame's bottom edge is the first row shown at the top.
  EXPECT_EQ(shown.At(width / 2, half - 1), 0u);
}

TEST_F(TreeHints, AnimatedHintsRunThroughTheTreesAnimation) {
  struct Pacer : TVTAnimationPacer {
    uint32_t Time = 0;
    int Frames = 0;
    uint32_t Now() override { return Time; }
    void WaitFrom(uint32_t start, uint32_t interval) override {
      ++Frames;
      Time = start + interval;
    }
  } pacer;
  Tree.SetAnimationPacer(&pacer);
  Tree.SetHintMode(TVTHintMode::hmHint);
  for (THintAnimationType kind : {THintAnimationType::hatSlide, THintAnimationType::hatFade}) {
    Tree.SetHintAnimation(kind);
    pacer.Frames = 0;
    TVTHintData data;
    data.OwnerTree = &Tree;
    data.PresetText = L"Animated";
    TVirtualTreeHintWindow window(nullptr);
    RECT r = window.MeasureHint(1000, &data);
    OffsetRect(&r, 100, 100);
    window.PresentHint(r);
    EXPECT_GT(pacer.Frames, 0);
    EXPECT_FALSE(Tree.TreeStates().Contains(TVirtualTreeState::tsInAnimation));
    EXPECT_TRUE(IsWindowVisible(window.Handle()));
  }
}

TEST_F(TreeHints, AKeyKeepsTheHintAClickHidesIt) {
  TVirtualTreeHintWindow window(nullptr);
  TVTHintData data;
  data.OwnerTree = &Tree;
  data.PresetText = L"Hint";
  Tree.SetHintMode(TVTHintMode::hmHint);
  RECT r = window.MeasureHint(1000, &data);
  OffsetRect(&r, 100, 100);
  struct Case {
    UINT msg;
    bool cancelsShown, cancelsHidden;
  };
  const std::vector<Case> cases{{WM_KEYDOWN, false, true}, {WM_CHAR, false, true}, {WM_NCMOUSEMOVE, false, true},
                                {WM_LBUTTONDOWN, true, true}, {WM_MOUSEWHEEL, true, true}, {WM_MOUSEMOVE, false, false}};
  window.PresentHint(r);
  for (const Case& c : cases)
    EXPECT_EQ(window.IsHintCancelMessage(TMessage{c.msg, 0, 0, 0}), c.cancelsShown) << std::hex << c.msg;
  ShowWindow(window.Handle(), SW_HIDE);
  for (const Case& c : cases)
    EXPECT_EQ(window.IsHintCancelMessage(TMessage{c.msg, 0, 0, 0}), c.cancelsHidden) << std::hex << c.msg;
}

TEST_F(TreeHints, TheApplicationShowsTheNodeHintUntilAClick) {
  ASSERT_NE(Application, nullptr);
  Application->SetHintPause(1);
  Application->SetHintHidePause(600000);
  Tree.SetHint("tree");
  Tree.SetHintMode(TVTHintMode::hmHint);
  const POINT cursor = Tree.ClientToScreen(TextCentre(0));
  SetCursorPos(cursor.x, cursor.y);
  Tree.Perform(CM_MOUSEENTER, 0, 0);
  auto hintShown = [] {
    Application->ProcessMessages();
    THintWindow* hint = Application->HintWindow();
    return hint && hint->HandleAllocated() && IsWindowVisible(hint->Handle());
  };
  ASSERT_TRUE(RunMessagesUntil(hintShown));
  THintWindow* hint = Application->HintWindow();
  EXPECT_EQ(hint->ClassType(), &TVirtualTreeHintWindow::ClassInfo);
  RECT shown{};
  GetWindowRect(hint->Handle(), &shown);
  const RECT row = Tree.NodeDisplayRect(NodeAt(Tree, {0}), NoColumn, false);
  EXPECT_GE(shown.top, Tree.ClientToScreen(POINT{0, row.bottom}).y + 2);
  EXPECT_EQ(static_cast<TVirtualTreeHintWindow*>(hint)->HintInfo().ShownText, L"tree");

  PostMessageW(Tree.Handle(), WM_KEYDOWN, VK_SHIFT, 0);
  PostMessageW(Tree.Handle(), WM_KEYUP, VK_SHIFT, 0);
  Application->ProcessMessages();
  EXPECT_TRUE(hint->HandleAllocated() && IsWindowVisible(hint->Handle())) << "a key hid the hint";

  const POINT p = TextCentre(2);
  PostMessageW(Tree.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  PostMessageW(Tree.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
  Application->ProcessMessages();
  EXPECT_FALSE(hint->HandleAllocated() && IsWindowVisible(hint->Handle())) << "a click left the hint";
  Tree.Perform(CM_MOUSELEAVE, 0, 0);
  Application->CancelHint();
}

TEST_F(TreeHints, PictureOfATooltipOverAShortenedCell) {
  Tree.SetHintMode(TVTHintMode::hmTooltip);
  THintInfo info;
  ASSERT_EQ(Ask(TextCentre(1), info), 0);
  TVirtualTreeHintWindow window(nullptr);
  RECT r = window.MeasureHint(info.HintMaxWidth, static_cast<TVTHintData*>(info.HintData));
  OffsetRect(&r, info.HintPos.x, info.HintPos.y);
  window.PresentHint(r);
  ASSERT_TRUE(RunMessagesUntil([&] {
    RECT shown{};
    GetWindowRect(window.Handle(), &shown);
    return IsWindowVisible(window.Handle()) && shown.right > shown.left;
  }));
  RunMessagesUntilIdle();
  RECT tree{}, hint{};
  GetWindowRect(Tree.Handle(), &tree);
  GetWindowRect(window.Handle(), &hint);
  // The tooltip overlaps the text by one pixel on every side.
  const RECT text = Tree.NodeDisplayRect(NodeAt(Tree, {1}), NoColumn, true, true, true);
  const POINT corner = Tree.ClientToScreen(POINT{text.left, text.top});
  EXPECT_EQ(hint.left, corner.x - 1);
  EXPECT_EQ(hint.top, corner.y - 1);
  EXPECT_GT(hint.right, tree.right);

  RECT both{};
  UnionRect(&both, &tree, &hint);
  InflateRect(&both, 4, 4);
  TScreenDC screen;
  const Image picture = ReadPixels(screen.Get(), both);
  SaveArtefact(picture, "vtree-tooltip");
  // Inside the frame the hint shows the info colour.
  const Image inside = ReadPixels(screen.Get(), RECT{hint.right - 4, hint.top + 1, hint.right - 2, hint.top + 2});
  EXPECT_EQ(inside.At(0, 0), Rgb(GetSysColor(COLOR_INFOBK)));
}
}  // namespace
