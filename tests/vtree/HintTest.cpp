// The tree's hints: the plain hint's size, tooltips only over shortened cells,
// the window kept on the desktop, the slide frames, which messages end a
// hint, and a picture of a tooltip over a shortened cell.
#include "tests/vtree/TreeChecker.h"

#include "platform/Forms.h"
#include "vtree/StringTree.h"
#include "vtree/TreeHintWindow.h"

#include <atomic>
#include <map>
#include <thread>

namespace {
using namespace testing_support;

const std::wstring kLongText = L"A cell text far too long for this narrow tree";
const std::wstring kEndText = L"end";

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
    // A tree on no form shows hints only while it has the focus.
    SetFocus(Tree.Handle());
    RunMessagesUntil([this] { return Tree.Focused(); });
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
  // Moves the cursor to a client point and lets the application's hint cycle
  // run; the tree's hint window once it shows, null when none does.
  THintWindow* EnterAndWaitForHint(POINT p) {
    const POINT cursor = Tree.ClientToScreen(p);
    SetCursorPos(cursor.x, cursor.y);
    Tree.Perform(CM_MOUSEENTER, 0, 0);
    auto hintShown = [] {
      Application->ProcessMessages();
      THintWindow* hint = Application->HintWindow();
      return hint && hint->HandleAllocated() && IsWindowVisible(hint->Handle());
    };
    if (!RunMessagesUntil(hintShown)) return nullptr;
    THintWindow* hint = Application->HintWindow();
    return hint->ClassType() == &TVirtualTreeHintWindow::ClassInfo ? hint : nullptr;
  }
  POINT TextCentre(uint32_t index) {
    RECT r = Tree.NodeDisplayRect(NodeAt(Tree, {index}), NoColumn, true, true, true);
    r.right = std::min<LONG>(r.right, Tree.ClientWidth());
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  TreeHost Host{false};
  TVirtualStringTree Tree{nullptr};
};

// A window of another thread: activating it makes this application inactive,
// as a click into another program does.
class OtherThreadWindow {
public:
  OtherThreadWindow() {
    FThread = std::thread([this] {
      FWindow = CreateWindowExW(0, L"STATIC", L"Another program", WS_POPUP | WS_VISIBLE, 600, 400, 80, 40, nullptr,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
      FThreadId = GetCurrentThreadId();
      FReady = true;
      MSG msg;
      while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
      DestroyWindow(FWindow);
    });
    RunMessagesUntil([this] { return FReady.load(); });
  }
  ~OtherThreadWindow() {
    PostThreadMessageW(FThreadId, WM_QUIT, 0, 0);
    FThread.join();
  }
  HWND Handle() const { return FWindow; }

private:
  std::thread FThread;
  std::atomic<bool> FReady{false};
  HWND FWindow = nullptr;
  DWORD FThreadId = 0;
};

TEST_F(TreeHints, HintsAreForTheWindowTheUserWorksIn) {
  ASSERT_NE(Application, nullptr);
  // The same tree on a form of the application.
  TForm* form = New<TForm>(nullptr);
  form->SetBounds(60, 300, 200, 150);
  auto* onForm = New<TVirtualStringTree>(form);
  onForm->SetParent(form);
  onForm->SetBounds(0, 0, 180, 100);
  onForm->SetBorderStyle(bsNone);
  onForm->SetRootNodeCount(3);
  onForm->SetShowHint(true);
  onForm->SetHintMode(TVTHintMode::hmHint);
  Tree.SetHintMode(TVTHintMode::hmHint);
  auto askAt = [](TVirtualStringTree& tree) {
    tree.Perform(CM_MOUSELEAVE, 0, 0);  // forgets the last hint's place
    const RECT row = tree.NodeDisplayRect(NodeAt(tree, {0}), NoColumn, false);
    THintInfo info;
    info.HintControl = &tree;
    info.HintWindowClass = &THintWindow::ClassInfo;
    info.CursorPos = POINT{10, (row.top + row.bottom) / 2};
    const POINT screen = tree.ClientToScreen(info.CursorPos);
    info.HintPos = POINT{screen.x, screen.y + 20};
    info.HintMaxWidth = GetSystemMetrics(SM_CXSCREEN);
    return tree.Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info));
  };

  form->Show();
  SetForegroundWindow(form->Handle());
  ASSERT_TRUE(RunMessagesUntil([&] { return form->Active() && Application->Active(); }));
  SetFocus(Tree.Handle());
  ASSERT_TRUE(RunMessagesUntil([&] { return Tree.Focused(); }));
  EXPECT_EQ(askAt(Tree), 0) << "a tree on no form, focused";
  EXPECT_EQ(askAt(*onForm), 0) << "a tree on a form of the active application, without the focus";

  SetFocus(Host.Handle());
  ASSERT_TRUE(RunMessagesUntil([&] { return !Tree.Focused(); }));
  EXPECT_EQ(askAt(Tree), 1) << "a tree on no form, not focused";

  {
    OtherThreadWindow other;
    SetForegroundWindow(other.Handle());
    ASSERT_TRUE(RunMessagesUntil([&] { return !Application->Active(); })) << "the other window did not take over";
    EXPECT_EQ(askAt(*onForm), 1) << "a tree on a form of an inactive application";
    EXPECT_FALSE(onForm->TreeStates().Contains(TVirtualTreeState::tsHint));
  }
  SetForegroundWindow(form->Handle());
  RunMessagesUntil([&] { return Application->Active(); });
  Free(form);
  RunMessagesUntilIdle();
}

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

TEST_F(TreeHints, ATextRunningOnOverEmptyCellsIsCutOffOnlyAtTheirEnd) {
  Host.Place(Tree, 600, 100);
  TVTHeaderOptions header = Tree.Header()->Options();
  header.Include(TVTHeaderOption::hoVisible);
  Tree.Header()->SetOptions(header);
  for (int width : {40, 400, 60}) Tree.Header()->Columns()->Add()->SetWidth(width);
  Tree.SetHintMode(TVTHintMode::hmTooltip);
  const std::wstring medium = L"Spanning text";
  const std::wstring longer = kLongText + L" " + kLongText + L" " + kLongText;
  struct Case {
    const char* name;
    bool span;
    const std::wstring* first;  // the texts of the first two cells of every node
    const wchar_t* second;
    LRESULT answer;  // 0: a tooltip
  };
  const Case cases[] = {
      {"without spanning the cell ends at its column", false, &medium, L"", 0},
      {"spanning over the empty cell after it, the text fits", true, &medium, L"", 1},
      {"a filled cell after it stops the span", true, &medium, L"x", 0},
      {"the text is longer than the cells it spans", true, &longer, L"", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TVTAutoOptions options = Tree.TreeOptions()->AutoOptions();
    Tree.TreeOptions()->SetAutoOptions(c.span ? options + TVTAutoOption::toAutoSpanColumns
                                              : options - TVTAutoOption::toAutoSpanColumns);
    Tree.OnGetText = TVSTGetTextEvent::Lambda(
        [&c](TBaseVirtualTree*, PVirtualNode, TColumnIndex column, TVSTTextType, std::wstring& text) {
          if (column == 0) text = *c.first;
          else if (column == 1) text = c.second;
          else text = kEndText;
        });
    // New nodes: a node keeps the width its first text measured.
    Tree.ClearAllNodes();
    Tree.SetRootNodeCount(3);
    Tree.Perform(CM_MOUSELEAVE, 0, 0);
    RunMessagesUntilIdle();
    // The cursor on the text inside the first column.
    const RECT row = Tree.NodeDisplayRect(NodeAt(Tree, {0}), 0, true, false);
    THintInfo info;
    EXPECT_EQ(Ask(POINT{(row.left + row.right) / 2, (row.top + row.bottom) / 2}, info), c.answer);
    if (c.answer == 0) {
      // The hit test over the spanned cell names the spanning one.
      EXPECT_EQ(Tree.HintData().TargetColumn, 0);
    }
    // Painted, the text runs on into the second column only when it spans.
    Tree.Invalidate();
    UpdateWindow(Tree.Handle());
    const Image pixels = ReadClientPixels(Tree.Handle());
    int ink = 0;
    for (int y = row.top; y < row.bottom; ++y)
      for (int x = 40; x < 100; ++x)
        if (pixels.At(x, y) != Rgb(ColorToRGB(Tree.Color()))) ++ink;
    if (c.span && !*c.second) {
      EXPECT_GT(ink, 0) << "the text stopped at its column";
    }
  }
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
  THintWindow* hint = EnterAndWaitForHint(TextCentre(0));
  ASSERT_NE(hint, nullptr);
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

TEST_F(TreeHints, ATooltipNeedsNoHintText) {
  ASSERT_NE(Application, nullptr);
  Application->SetHintPause(1);
  Application->SetHintHidePause(600000);
  ASSERT_TRUE(Tree.Hint().empty());
  Tree.SetHintMode(TVTHintMode::hmTooltip);
  THintWindow* hint = EnterAndWaitForHint(TextCentre(1));
  ASSERT_NE(hint, nullptr);
  EXPECT_EQ(static_cast<TVirtualTreeHintWindow*>(hint)->HintInfo().ShownText, kLongText);
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
