// Drop targets driven through the IDropTarget they register: what the text
// target hands its OnDrop handler, the drop-effect rules, the order of
// events, refusals, automatic scrolling, the registration of windows and of
// the class library's controls (through re-created windows and until freed).
#include "dragdrop/DragDropInternet.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "tests/dragdrop/FakeDataObject.h"
#include "tests/support/TestSupport.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <thread>

using enum TScrolDirection;

namespace {

using namespace std::string_literals;
using namespace testing_support;

// Linking the forms brings the application, which shows exceptions raised in
// callbacks in a message box; here they are expected, and reported the way
// a program without forms reports them (on the error stream).
class QuietCallbackErrors : public testing::Environment {
public:
  void SetUp() override { FPrevious = SetCallbackExceptionHandler(TExceptionEvent()); }
  void TearDown() override { SetCallbackExceptionHandler(FPrevious); }

private:
  TExceptionEvent FPrevious;
};
[[maybe_unused]] testing::Environment* const QuietErrors = testing::AddGlobalTestEnvironment(new QuietCallbackErrors);

CLIPFORMAT Registered(const char* name) { return static_cast<CLIPFORMAT>(RegisterClipboardFormatA(name)); }

IDropTarget* DropTargetOf(TCustomDropTarget& target) {
  IDropTarget* result = nullptr;
  EXPECT_EQ(target.QueryInterface(IID_IDropTarget, reinterpret_cast<void**>(&result)), S_OK);
  return result;
}

POINTL ScreenPointOf(HWND window, int x, int y) {
  POINT p{x, y};
  ClientToScreen(window, &p);
  return POINTL{p.x, p.y};
}

uint32_t PerformedEffect(const FakeDataObject& data) {
  const std::string bytes = data.ReceivedBytes(Registered("Performed DropEffect"));
  uint32_t value = 0xFFFFFFFF;
  if (bytes.size() >= 4) std::memcpy(&value, bytes.data(), 4);
  return value;
}

// "中文" in UTF-8 and in the system code page.
const std::string ChineseUtf8 = "\xE4\xB8\xAD\xE6\x96\x87";
const std::string ChineseGbk = "\xD6\xD0\xCE\xC4";

// A text target on a hidden window: what its OnDrop handler reads.
struct DropSeen {
  int Calls = 0;
  std::string Plain;
  std::string Html;
  int32_t Effect = -1;
};

TEST(TextDropTarget, OnDropSeesPlainTextAndTheWholeHtmlBlockThenBothAreEmpty) {
  struct Case {
    const char* Name;
    std::string Html;
    std::string ExpectedHtml;
  };
  const std::string fragment = "<!--StartFragment--><b>" + ChineseUtf8 + "</b><!--EndFragment-->";
  const std::string withMarkers = "Version:0.9\r\nStartHTML:00000097\r\nEndHTML:00000200\r\n"
                                  "StartFragment:00000133\r\nEndFragment:00000160\r\n<HTML><BODY>\r\n" +
                                  fragment + "\r\n</BODY></HTML>";
  const std::string noMarkers = "Version:0.9\n<html><body>" + ChineseUtf8 + "</body></html>";
  const Case cases[] = {
      {"with fragment markers", withMarkers + '\0', withMarkers + "\r\n"},
      {"without markers, lines re-joined with CR LF", noMarkers + '\0',
       "Version:0.9\r\n<html><body>" + ChineseUtf8 + "</body></html>\r\n"},
      {"without an HTML tag", "Version:0.9\r\n" + fragment + '\0', ""},
  };
  TestWindow window(200, 100, {}, "Mevra drop", WS_OVERLAPPEDWINDOW);  // hidden
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TDropTextTarget target(nullptr);
    target.SetTarget(window.Handle());
    DropSeen seen;
    target.OnDrop = TDropTargetEvent::Lambda([&](TObject*, TShiftState, const POINT&, int32_t& effect) {
      ++seen.Calls;
      seen.Plain = target.GetPlainText();
      seen.Html = target.GetHTMLText();
      seen.Effect = effect;
    });
    FakeDataObject data;
    data.Offer(CF_TEXT, "plain " + ChineseGbk + '\0');
    data.Offer(Registered("HTML Format"), c.Html);
    IDropTarget* drop = DropTargetOf(target);
    const POINTL pt = ScreenPointOf(window.Handle(), 10, 10);
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    ASSERT_EQ(drop->DragEnter(&data, MK_LBUTTON, pt, &effect), S_OK);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY));
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    ASSERT_EQ(drop->Drop(&data, 0, pt, &effect), S_OK);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY));
    EXPECT_EQ(seen.Calls, 1);
    EXPECT_EQ(seen.Plain, "plain " + ChineseGbk);
    EXPECT_EQ(seen.Html, c.ExpectedHtml);
    EXPECT_EQ(seen.Effect, DROPEFFECT_COPY);
    EXPECT_EQ(PerformedEffect(data), uint32_t(DROPEFFECT_COPY));
    EXPECT_TRUE(target.GetPlainText().empty());
    EXPECT_TRUE(target.GetHTMLText().empty());
    EXPECT_EQ(target.DataObject(), nullptr);
    EXPECT_EQ(data.RefCount, 1);
  }
}

// Programs that offer only CF_UNICODETEXT (every drag from a Linux program
// under Wine) still give the handler its plain text.
TEST(TextDropTarget, PlainTextFallsBackToTheUnicodeTextInTheSystemCodePage) {
  // "中文", a space and a Thai letter, which the system code page lacks.
  const std::wstring wide = L"\u4E2D\u6587 \u0E01";
  const std::string wideBytes(reinterpret_cast<const char*>(wide.c_str()), (wide.size() + 1) * sizeof(wchar_t));
  struct Case {
    const char* Name;
    bool OfferText;
    std::string Expected;
  };
  const Case cases[] = {
      {"only Unicode: converted, the missing letter the default character", false, ChineseGbk + " ?"},
      {"Unicode and CF_TEXT: CF_TEXT wins", true, "plain " + ChineseGbk},
  };
  TestWindow window(200, 100, {}, "Mevra drop", WS_OVERLAPPEDWINDOW);  // hidden
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TDropTextTarget target(nullptr);
    target.SetTarget(window.Handle());
    DropSeen seen;
    target.OnDrop = TDropTargetEvent::Lambda([&](TObject*, TShiftState, const POINT&, int32_t&) {
      ++seen.Calls;
      seen.Plain = target.GetPlainText();
      seen.Html = target.GetHTMLText();
    });
    FakeDataObject data;
    data.Offer(CF_UNICODETEXT, wideBytes);
    if (c.OfferText) data.Offer(CF_TEXT, "plain " + ChineseGbk + '\0');
    IDropTarget* drop = DropTargetOf(target);
    const POINTL pt = ScreenPointOf(window.Handle(), 10, 10);
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(drop->DragEnter(&data, MK_LBUTTON, pt, &effect), S_OK);
    ASSERT_EQ(effect, DWORD(DROPEFFECT_COPY));
    ASSERT_EQ(drop->Drop(&data, 0, pt, &effect), S_OK);
    EXPECT_EQ(seen.Calls, 1);
    EXPECT_EQ(seen.Plain, c.Expected);
    EXPECT_EQ(seen.Html, "");
    EXPECT_TRUE(target.GetPlainText().empty());
  }
}

// A text target whose window is found wherever the cursor is (the display
// is shared with other test programs, whose windows may lie on top).
class PinnedTextTarget : public TDropTextTarget {
public:
  using TDropTextTarget::TDropTextTarget;
  using TDropTextTarget::ScrollTimerRunning;

protected:
  HWND ControlAtPoint(const POINT&) override { return Targets().Count() > 0 ? Targets().Items(0) : nullptr; }
};

struct EffectCase {
  const char* Name;
  TDragTypes DragTypes;
  DWORD Keys;
  DWORD SourceEffects;
  DWORD Expected;
};

TEST(DropEffects, ChosenFromKeysAllowedEffectsAndDragTypes) {
  const TDragTypes copyLink{dtCopy, dtLink};
  const TDragTypes all{dtCopy, dtMove, dtLink};
  const DWORD any = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
  const EffectCase cases[] = {
      {"no key, copy and move allowed: move is not a drag type, copy", copyLink, 0,
       DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY},
      {"no key, only link allowed", copyLink, 0, DROPEFFECT_LINK, DROPEFFECT_LINK},
      {"Ctrl+Shift asks for link", copyLink, MK_CONTROL | MK_SHIFT, any, DROPEFFECT_LINK},
      {"Ctrl+Shift without link falls back to copy", copyLink, MK_CONTROL | MK_SHIFT,
       DROPEFFECT_COPY | DROPEFFECT_MOVE, DROPEFFECT_COPY},
      {"Ctrl+Shift, only move: move", all, MK_CONTROL | MK_SHIFT, DROPEFFECT_MOVE, DROPEFFECT_MOVE},
      {"only move allowed but not a drag type", copyLink, 0, DROPEFFECT_MOVE, DROPEFFECT_NONE},
      {"all drag types, no key: move", all, 0, any, DROPEFFECT_MOVE},
      {"all drag types, Shift: move", all, MK_SHIFT, any, DROPEFFECT_MOVE},
      {"all drag types, Ctrl: copy", all, MK_CONTROL, any, DROPEFFECT_COPY},
      {"Alt and buttons do not count", all, MK_ALT | MK_RBUTTON, any, DROPEFFECT_MOVE},
      {"nothing allowed", all, 0, DROPEFFECT_NONE, DROPEFFECT_NONE},
  };
  TestWindow window(200, 100);
  for (const EffectCase& c : cases) {
    SCOPED_TRACE(c.Name);
    PinnedTextTarget target(nullptr);
    target.SetTarget(window.Handle());
    target.DragTypes = c.DragTypes;
    FakeDataObject data;
    data.Offer(CF_TEXT, WithNul("x"));
    IDropTarget* drop = DropTargetOf(target);
    const POINTL pt = ScreenPointOf(window.Handle(), 20, 20);
    DWORD effect = c.SourceEffects;
    ASSERT_EQ(drop->DragEnter(&data, c.Keys, pt, &effect), S_OK);
    EXPECT_EQ(effect, c.Expected);
    effect = c.SourceEffects;
    ASSERT_EQ(drop->DragOver(c.Keys, pt, &effect), c.Expected ? S_OK : DV_E_CLIPFORMAT);
    if (c.Expected) {
      EXPECT_EQ(effect, c.Expected);
    }
    drop->DragLeave();
  }
}

TEST(DropEffects, HelpersAsTables) {
  EXPECT_EQ(DragTypesToEffects(TDragTypes{dtCopy, dtMove, dtLink}), DWORD(7));
  EXPECT_EQ(DragTypesToEffects(TDragTypes{}), DWORD(0));
  const TShiftState shift = ShiftStateFromKeys(MK_SHIFT | MK_CONTROL | MK_LBUTTON | MK_RBUTTON | MK_MBUTTON | MK_ALT);
  EXPECT_EQ(shift, (TShiftState{ssShift, ssCtrl, ssLeft, ssRight, ssMiddle, ssAlt}));
  EXPECT_EQ(ChooseDropEffect(TShiftState{ssCtrl}, DROPEFFECT_LINK, false), DWORD(DROPEFFECT_NONE));
  EXPECT_EQ(ChooseDropEffect(TShiftState{ssCtrl, ssShift}, DROPEFFECT_MOVE | DROPEFFECT_LINK, true),
            DWORD(DROPEFFECT_LINK));
}

TEST(DropTargetEvents, FireInOrderAndAnOptimizedMoveIsReportedAsCopy) {
  TestWindow window(200, 100);
  PinnedTextTarget target(nullptr);
  target.SetTarget(window.Handle());
  target.DragTypes = TDragTypes{dtCopy, dtMove, dtLink};
  target.OptimizedMove = true;
  std::vector<std::string> events;
  POINT dropPoint{};
  target.OnEnter = TDropTargetEvent::Lambda([&](TObject*, TShiftState, const POINT&, int32_t&) {
    events.push_back("enter");
  });
  target.OnDragOver = TDropTargetEvent::Lambda([&](TObject*, TShiftState, const POINT&, int32_t&) {
    events.push_back("over");
  });
  target.OnGetDropEffect = TDropTargetEvent::Lambda([&](TObject*, TShiftState, const POINT&, int32_t&) {
    events.push_back("effect");
  });
  target.OnDrop = TDropTargetEvent::Lambda([&](TObject*, TShiftState, const POINT& p, int32_t& effect) {
    events.push_back("drop " + target.GetPlainText());
    dropPoint = p;
    EXPECT_EQ(effect, DROPEFFECT_MOVE);
  });
  target.OnLeave = TNotifyEvent::Lambda([&](TObject*) { events.push_back("leave"); });
  FakeDataObject data;
  data.Offer(CF_TEXT, WithNul("moved"));
  IDropTarget* drop = DropTargetOf(target);
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  ASSERT_EQ(drop->DragEnter(&data, 0, ScreenPointOf(window.Handle(), 5, 6), &effect), S_OK);
  ASSERT_EQ(drop->DragOver(0, ScreenPointOf(window.Handle(), 7, 8), &effect), S_OK);
  ASSERT_EQ(drop->Drop(&data, 0, ScreenPointOf(window.Handle(), 9, 10), &effect), S_OK);
  EXPECT_EQ(events, (std::vector<std::string>{"effect", "enter", "effect", "over", "effect", "drop moved"}));
  EXPECT_EQ(dropPoint.x, 9);
  EXPECT_EQ(dropPoint.y, 10);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY));
  EXPECT_EQ(PerformedEffect(data), uint32_t(DROPEFFECT_COPY));

  // A drag that leaves reads nothing.
  events.clear();
  effect = DROPEFFECT_COPY;
  ASSERT_EQ(drop->DragEnter(&data, 0, ScreenPointOf(window.Handle(), 5, 6), &effect), S_OK);
  ASSERT_EQ(drop->DragLeave(), S_OK);
  EXPECT_EQ(events, (std::vector<std::string>{"effect", "enter", "leave"}));
  EXPECT_EQ(target.DataObject(), nullptr);
}

TEST(DropTargetRefusals, UnreadableOrUnlistedDataAndDragsOutsideEveryWindow) {
  TestWindow window(200, 100, {}, "Mevra drop", WS_OVERLAPPEDWINDOW);  // hidden: no window under the cursor
  const POINTL pt = ScreenPointOf(window.Handle(), 10, 10);

  // A data object that cannot list its formats is refused at once.
  {
    TDropTextTarget target(nullptr);
    target.SetTarget(window.Handle());
    FakeDataObject data;
    data.Offer(CF_TEXT, WithNul("x"));
    data.CanEnumerate = false;
    IDropTarget* drop = DropTargetOf(target);
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(drop->DragEnter(&data, 0, pt, &effect), S_OK);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
    EXPECT_EQ(data.RefCount, 1);
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(drop->Drop(&data, 0, pt, &effect), E_UNEXPECTED);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
  }
  // Formats it does not take are refused too.
  {
    TDropTextTarget target(nullptr);
    target.SetTarget(window.Handle());
    FakeDataObject data;
    data.Offer(CF_BITMAP, "bits");
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(DropTargetOf(target)->DragEnter(&data, 0, pt, &effect), S_OK);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
  }
  // The application may turn down a format it is offered.
  {
    TDropTextTarget target(nullptr);
    target.SetTarget(window.Handle());
    int considered = 0;
    target.OnConsiderFormat = TDataFormatConsiderEvent::Lambda([&](TObject*, TCustomDataFormat* format, bool& accept) {
      EXPECT_EQ(format, &target.DataFormat());
      ++considered;
      accept = false;
    });
    FakeDataObject data;
    data.Offer(CF_TEXT, WithNul("x"));
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(DropTargetOf(target)->DragEnter(&data, 0, pt, &effect), S_OK);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
    EXPECT_GE(considered, 1);
    EXPECT_EQ(data.RefCount, 1);
  }
  // Reading on entry: a block that gives no value fails the entry.
  {
    TDropTextTarget target(nullptr);
    target.SetTarget(window.Handle());
    target.GetDataOnEnter = true;
    FakeDataObject data;
    data.Offer(CF_TEXT, "");
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(DropTargetOf(target)->DragEnter(&data, 0, pt, &effect), DV_E_CLIPFORMAT);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
    EXPECT_EQ(data.RefCount, 1);
  }
  // No registered window under the cursor: image and scrolling go off for
  // good and DragOver is unexpected; a drop still delivers.
  {
    TDropTextTarget target(nullptr);
    target.SetTarget(window.Handle());
    FakeDataObject data;
    data.Offer(CF_TEXT, WithNul("x"));
    IDropTarget* drop = DropTargetOf(target);
    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(drop->DragEnter(&data, 0, pt, &effect), S_OK);
    EXPECT_FALSE(target.ShowImage());
    EXPECT_FALSE(target.AutoScroll);
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(drop->DragOver(0, pt, &effect), E_UNEXPECTED);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
    std::string dropped;
    target.OnDrop = TDropTargetEvent::Lambda([&](TObject*, TShiftState, const POINT&, int32_t&) {
      dropped = target.GetPlainText();
    });
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(drop->Drop(&data, 0, pt, &effect), S_OK);
    EXPECT_EQ(dropped, "x");
  }
}

TEST(DropTargetRefusals, AHandlerThatRaisesBecomesAResultCode) {
  TestWindow window(200, 100);
  PinnedTextTarget target(nullptr);
  target.SetTarget(window.Handle());
  target.OnDragOver = TDropTargetEvent::Lambda(
      [](TObject*, TShiftState, const POINT&, int32_t&) { throw Exception("handler failed"); });
  target.OnDrop = TDropTargetEvent::Lambda(
      [](TObject*, TShiftState, const POINT&, int32_t&) { throw EOleSysError("refused", E_ACCESSDENIED); });
  FakeDataObject data;
  data.Offer(CF_TEXT, WithNul("x"));
  IDropTarget* drop = DropTargetOf(target);
  const POINTL pt = ScreenPointOf(window.Handle(), 10, 10);
  DWORD effect = DROPEFFECT_COPY;
  ASSERT_EQ(drop->DragEnter(&data, 0, pt, &effect), S_OK);
  effect = DROPEFFECT_COPY;
  EXPECT_EQ(drop->DragOver(0, pt, &effect), E_UNEXPECTED);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
  effect = DROPEFFECT_COPY;
  EXPECT_EQ(drop->Drop(&data, 0, pt, &effect), E_ACCESSDENIED);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
  // The drag is over all the same.
  EXPECT_EQ(target.DataObject(), nullptr);
  EXPECT_TRUE(target.GetPlainText().empty());
  EXPECT_EQ(data.RefCount, 1);
}

TEST(DropTargetScrolling, NearTheEdgeOfAScrollingWindowItScrollsUntilTheHandlerStops) {
  std::vector<WPARAM> scrolls;
  TestWindow window(200, 150, [&](HWND, UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg != WM_VSCROLL && msg != WM_HSCROLL) return false;
    scrolls.push_back(msg == WM_VSCROLL ? wp : 0x100 + wp);
    result = 0;
    return true;
  }, "Mevra scroll", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_VSCROLL);
  PinnedTextTarget target(nullptr);
  target.SetTarget(window.Handle());
  std::vector<TScrolDirections> asked;
  target.OnScroll = TDropTargetScrollEvent::Lambda([&](TObject*, POINT&, TScrolDirections& scroll, int32_t&) {
    asked.push_back(scroll);
    if (asked.size() >= 2) scroll = TScrolDirections();
  });
  FakeDataObject data;
  data.Offer(CF_TEXT, WithNul("x"));
  IDropTarget* drop = DropTargetOf(target);
  const int edge = GetSystemMetrics(SM_CYHSCROLL);

  // In the middle: no scroll bit, no timer.
  DWORD effect = DROPEFFECT_COPY;
  ASSERT_EQ(drop->DragEnter(&data, 0, ScreenPointOf(window.Handle(), 50, 70), &effect), S_OK);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY));
  // Near the top edge: the scroll bit, and the timer scrolls up.
  effect = DROPEFFECT_COPY;
  ASSERT_EQ(drop->DragOver(0, ScreenPointOf(window.Handle(), 50, edge / 2), &effect), S_OK);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY | DROPEFFECT_SCROLL));
  ASSERT_TRUE(RunMessagesUntil([&] { return asked.size() >= 2; }, 3000));
  EXPECT_FALSE(target.ScrollTimerRunning());  // the handler stopped it
  ASSERT_TRUE(RunTimerTicks(ScrollRepeatInterval, 4));
  EXPECT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0], TScrolDirections{sdUp});
  EXPECT_EQ(scrolls, std::vector<WPARAM>{SB_LINEUP});
  // Once the cursor moves again (here near the bottom) the timer starts anew.
  RECT client{};
  GetClientRect(window.Handle(), &client);
  effect = DROPEFFECT_COPY;
  ASSERT_EQ(drop->DragOver(0, ScreenPointOf(window.Handle(), 50, client.bottom - 1), &effect), S_OK);
  ASSERT_TRUE(RunMessagesUntil([&] { return asked.size() >= 3; }, 3000));
  EXPECT_EQ(asked[2], TScrolDirections{sdDown});
  drop->DragLeave();

  // A window without scroll bars never gets the bit.
  TestWindow plain(200, 150);
  PinnedTextTarget other(nullptr);
  other.SetTarget(plain.Handle());
  effect = DROPEFFECT_COPY;
  ASSERT_EQ(DropTargetOf(other)->DragEnter(&data, 0, ScreenPointOf(plain.Handle(), 1, 1), &effect), S_OK);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY));
  DropTargetOf(other)->DragLeave();
}

// A second registration fails while the window is registered.
bool IsHooked(HWND window) {
  class Dummy : public IDropTarget {
  public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
      if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
        *object = this;
        return S_OK;
      }
      *object = nullptr;
      return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD*) override { return S_OK; }
  };
  static Dummy dummy;
  const HRESULT hr = RegisterDragDrop(window, &dummy);
  if (hr == S_OK) RevokeDragDrop(window);
  return hr == DRAGDROP_E_ALREADYREGISTERED;
}

TEST(DropTargetRegistration, WindowsAreHookedWhileTheyAreTargets) {
  TestWindow first(100, 100);
  TestWindow second(100, 100);
  {
    TDropTextTarget target(nullptr);
    target.SetTarget(first.Handle());
    EXPECT_TRUE(IsHooked(first.Handle()));
    EXPECT_EQ(target.Target(), first.Handle());
    // Without MultiTarget a new target replaces the old one.
    target.SetTarget(second.Handle());
    EXPECT_FALSE(IsHooked(first.Handle()));
    EXPECT_TRUE(IsHooked(second.Handle()));
    // With it, windows add up; a child goes after the window holding it.
    target.MultiTarget = true;
    target.RegisterTarget(first.Handle());
    HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, second.Handle(), nullptr,
                                 nullptr, nullptr);
    target.RegisterTarget(child);
    ASSERT_EQ(target.Targets().Count(), 3);
    EXPECT_EQ(target.Targets().Items(0), second.Handle());
    EXPECT_EQ(target.Targets().Items(1), child);
    EXPECT_EQ(target.Targets().Items(2), first.Handle());
    target.UnregisterTarget(first.Handle());
    EXPECT_FALSE(IsHooked(first.Handle()));
    // A window destroyed while hooked is revoked with it; unhooking it later is harmless.
    DestroyWindow(child);
    target.UnregisterTarget(child);
    EXPECT_TRUE(IsHooked(second.Handle()));
  }
  // Freeing the target unhooks what is left.
  EXPECT_FALSE(IsHooked(second.Handle()));

  // Without AutoRegister the window is registered directly.
  TDropTextTarget direct(nullptr);
  direct.AutoRegister = false;
  direct.SetTarget(first.Handle());
  EXPECT_TRUE(IsHooked(first.Handle()));
  EXPECT_EQ(direct.ComponentCount(), 0);
  direct.UnregisterTarget(nullptr);
  EXPECT_FALSE(IsHooked(first.Handle()));
  EXPECT_EQ(direct.Target(), nullptr);
}

TEST(URLDropTarget, ReadsOnEntryAndPrefersToLink) {
  TestWindow window(100, 100);
  TDropURLTarget target(nullptr);
  target.SetTarget(window.Handle());
  EXPECT_TRUE(target.GetDataOnEnter);
  FakeDataObject data;
  data.Offer(Registered("UniformResourceLocator"), WithNul("http://x/"));
  std::string url;
  target.OnEnter = TDropTargetEvent::Lambda([&](TObject*, TShiftState, const POINT&, int32_t&) {
    url = target.URL();
  });
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
  ASSERT_EQ(DropTargetOf(target)->DragEnter(&data, 0, ScreenPointOf(window.Handle(), 5, 5), &effect), S_OK);
  EXPECT_EQ(url, "http://x/");
  DropTargetOf(target)->DragLeave();
  EXPECT_TRUE(target.URL().empty());
}

TEST(DropTargetAssign, ADataObjectIsReadAsACopyDrop) {
  class AssignableData : public TPersistent, public FakeDataObject {};
  AssignableData data;
  data.Offer(CF_TEXT, WithNul("assigned"));
  TDropTextTarget target(nullptr);
  std::string seen;
  target.OnDrop = TDropTargetEvent::Lambda([&](TObject*, TShiftState, const POINT&, int32_t&) {
    seen = target.GetPlainText();
  });
  target.Assign(&data);
  // Assigning reads the values; it fires no drop.
  EXPECT_EQ(target.GetPlainText(), "assigned");
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(data.RefCount, 1);

  // Nothing readable: the assignment is refused like any other.
  AssignableData pictures;
  pictures.Offer(CF_BITMAP, "bits");
  EXPECT_THROW(target.Assign(&pictures), Exception);
  EXPECT_EQ(target.DataObject(), nullptr);
  EXPECT_EQ(pictures.RefCount, 1);
}

// Pasting reads the clipboard's data object as a drop with the effect the
// source prefers, at no point and with no keys.
TEST(DropTargetPaste, TheClipboardIsReadAsADropWithItsPreferredEffect) {
  struct Case {
    const char* Name;
    bool OfferText;
    int32_t ExpectedEffect;
    const char* ExpectedText;
  };
  const Case cases[] = {
      {"text and a preferred move", true, DROPEFFECT_MOVE, "pasted"},
      {"nothing readable: effect none", false, DROPEFFECT_NONE, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    FakeDataObject data;
    if (c.OfferText) data.Offer(CF_TEXT, WithNul("pasted"));
    const DWORD preferred = DROPEFFECT_MOVE;
    data.Offer(Registered("Preferred DropEffect"), std::string(reinterpret_cast<const char*>(&preferred), 4));
    ASSERT_EQ(OleSetClipboard(&data), S_OK);
    TDropTextTarget target(nullptr);
    int calls = 0;
    int32_t seenEffect = -1;
    std::string seenText;
    POINT seenPoint{-1, -1};
    TShiftState seenShift{ssAlt};
    target.OnDrop = TDropTargetEvent::Lambda([&](TObject*, TShiftState shift, const POINT& p, int32_t& effect) {
      ++calls;
      seenEffect = effect;
      seenText = target.GetPlainText();
      seenPoint = p;
      seenShift = shift;
    });
    target.PasteClipboard();
    OleSetClipboard(nullptr);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seenEffect, c.ExpectedEffect);
    EXPECT_EQ(seenText, c.ExpectedText);
    EXPECT_EQ(seenPoint.x, 0);
    EXPECT_EQ(seenPoint.y, 0);
    EXPECT_EQ(seenShift, TShiftState());
    EXPECT_EQ(target.DataObject(), nullptr);
  }
}

}  // namespace

namespace {

// A data object that asks for an asynchronous transfer. The free-threaded
// marshaler hands the transfer thread this very object.
class AsyncData : public FakeDataObject, public IDataObjectAsyncCapability {
public:
  // Without the free-threaded marshaler the transfer thread gets a proxy.
  explicit AsyncData(bool freeThreaded = true) {
    if (freeThreaded) CoCreateFreeThreadedMarshaler(static_cast<IDataObject*>(this), &FMarshaler);
  }
  ~AsyncData() override {
    if (FMarshaler) FMarshaler->Release();
  }
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    if (IsEqualIID(riid, IID_IDataObjectAsyncCapability)) {
      *object = static_cast<IDataObjectAsyncCapability*>(this);
      AddRef();
      return S_OK;
    }
    if (IsEqualIID(riid, IID_IMarshal) && FMarshaler) return FMarshaler->QueryInterface(riid, object);
    return FakeDataObject::QueryInterface(riid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&RefCount)); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(InterlockedDecrement(&RefCount)); }
  HRESULT STDMETHODCALLTYPE SetAsyncMode(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetAsyncMode(BOOL* async) override {
    *async = TRUE;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE StartOperation(IBindCtx*) override {
    Started = true;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE InOperation(BOOL* in) override {
    *in = Started && !Ended;
    return S_OK;
  }
  // With a gate, every read waits until the gate opens and says it has begun.
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (Gate) {
      SetEvent(Reading);
      WaitForSingleObject(Gate, 10000);
    }
    return FakeDataObject::GetData(format, medium);
  }
  HRESULT STDMETHODCALLTYPE EndOperation(HRESULT result, IBindCtx*, DWORD effect) override {
    EndResult = result;
    EndEffect = effect;
    Ended = true;
    return S_OK;
  }
  std::atomic<bool> Started{false};
  std::atomic<bool> Ended{false};
  HRESULT EndResult = E_FAIL;
  DWORD EndEffect = 0;
  HANDLE Gate = nullptr;
  HANDLE Reading = nullptr;

private:
  IUnknown* FMarshaler = nullptr;
};

// A text target that allows asynchronous transfers and records its events.
class DropTargetAsync : public testing::Test {
protected:
  DropTargetAsync() {
    target.SetTarget(window.Handle());
    target.AllowAsyncTransfer = true;
    target.OnStartAsyncTransfer = TNotifyEvent::Lambda([this](TObject*) { events.push_back("start"); });
    target.OnDrop = TDropTargetEvent::Lambda([this](TObject*, TShiftState, const POINT&, int32_t&) {
      events.push_back("drop " + target.GetPlainText());
      dropThread = GetCurrentThreadId();
    });
    target.OnEndAsyncTransfer = TNotifyEvent::Lambda([this](TObject*) { events.push_back("end"); });
  }
  // Enters and drops at one point; the transfer thread is then on its way.
  void EnterAndDrop(AsyncData& data, DWORD& effect) {
    ASSERT_EQ(drop->DragEnter(&data, 0, pt, &effect), S_OK);
    ASSERT_EQ(drop->Drop(&data, 0, pt, &effect), S_OK);
  }
  bool Ended() {
    return RunMessagesUntil([&] { return !events.empty() && events.back() == "end"; }, 5000);
  }

  TestWindow window{200, 100};
  PinnedTextTarget target{nullptr};
  IDropTarget* drop = DropTargetOf(target);
  POINTL pt = ScreenPointOf(window.Handle(), 10, 10);
  std::vector<std::string> events;
  DWORD dropThread = 0;
};

TEST_F(DropTargetAsync, TheDataIsReadOnAThreadAndTheDropFiresOnTheGuiThread) {
  AsyncData data;
  data.Offer(CF_TEXT, WithNul("async"));
  DWORD effect = DROPEFFECT_COPY;
  EnterAndDrop(data, effect);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY));
  EXPECT_TRUE(data.Started);
  ASSERT_TRUE(Ended());
  EXPECT_EQ(events, (std::vector<std::string>{"start", "drop async", "end"}));
  EXPECT_EQ(dropThread, GetCurrentThreadId());
  EXPECT_TRUE(data.Ended);
  EXPECT_EQ(data.EndResult, S_OK);
  EXPECT_EQ(data.EndEffect, DWORD(DROPEFFECT_COPY));
  EXPECT_FALSE(target.TransferRunning());
  EXPECT_TRUE(target.GetPlainText().empty());
  EXPECT_EQ(target.DataObject(), nullptr);
  EXPECT_EQ(PerformedEffect(data), uint32_t(DROPEFFECT_COPY));
  // The last references go on the transfer thread, or through the GUI
  // thread's message loop for a proxy.
  EXPECT_TRUE(RunMessagesUntil([&] { return data.RefCount == 1; }));
}

// Through a real proxy: the formats are read on the thread, and the drop,
// with its feedback, goes through the GUI thread's own reference.
TEST_F(DropTargetAsync, TheGuiThreadKeepsItsOwnReferenceToTheDataObject) {
  AsyncData data(false);
  data.Offer(CF_TEXT, WithNul("proxied"));
  IDataObject* seen = nullptr;
  target.OnDrop = TDropTargetEvent::Lambda([&](TObject*, TShiftState, const POINT&, int32_t&) {
    events.push_back("drop " + target.GetPlainText());
    seen = target.DataObject();
  });
  DWORD effect = DROPEFFECT_COPY;
  EnterAndDrop(data, effect);
  ASSERT_TRUE(Ended());
  EXPECT_EQ(events, (std::vector<std::string>{"start", "drop proxied", "end"}));
  EXPECT_EQ(seen, static_cast<IDataObject*>(&data));
  EXPECT_EQ(PerformedEffect(data), uint32_t(DROPEFFECT_COPY));
  EXPECT_EQ(data.EndResult, S_OK);
  // The last references go on the transfer thread, or through the GUI
  // thread's message loop for a proxy.
  EXPECT_TRUE(RunMessagesUntil([&] { return data.RefCount == 1; }));
}

// A second drag while a transfer runs is refused quietly (effect none), and
// the transfer keeps its data object and still delivers.
TEST_F(DropTargetAsync, ADragArrivingDuringTheTransferIsRefusedAndTheTransferDelivers) {
  AsyncData data;
  data.Offer(CF_TEXT, WithNul("late"));
  data.Gate = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  data.Reading = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  DWORD effect = DROPEFFECT_COPY;
  EnterAndDrop(data, effect);
  ASSERT_EQ(WaitForSingleObject(data.Reading, 5000), WAIT_OBJECT_0);
  ASSERT_TRUE(target.TransferRunning());

  struct Case {
    const char* Name;
    bool Leave;  // DragLeave after the entry
  };
  for (const Case& c : {Case{"enter and drop", false}, Case{"enter and leave", true}}) {
    SCOPED_TRACE(c.Name);
    FakeDataObject other;
    other.Offer(CF_TEXT, WithNul("other"));
    // Quietly: nothing reaches the application's error box inside the drag loop.
    std::vector<std::string> reported;
    const TExceptionEvent old = SetCallbackExceptionHandler(
        TExceptionEvent::Lambda([&](TObject*, Exception& e) { reported.push_back(e.Message()); }));
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(drop->DragEnter(&other, 0, pt, &effect), S_OK);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(drop->DragOver(0, pt, &effect), S_OK);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
    if (c.Leave) {
      EXPECT_EQ(drop->DragLeave(), S_OK);
    } else {
      effect = DROPEFFECT_COPY;
      EXPECT_EQ(drop->Drop(&other, 0, pt, &effect), S_OK);
      EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
    }
    SetCallbackExceptionHandler(old);
    EXPECT_EQ(reported, std::vector<std::string>{});
    EXPECT_EQ(target.DataObject(), static_cast<IDataObject*>(&data));
    EXPECT_TRUE(target.TransferRunning());
    EXPECT_EQ(other.RefCount, 1);
    EXPECT_TRUE(other.ReceivedData.empty());
  }

  SetEvent(data.Gate);
  ASSERT_TRUE(Ended());
  EXPECT_EQ(events, (std::vector<std::string>{"start", "drop late", "end"}));
  EXPECT_EQ(data.EndResult, S_OK);
  EXPECT_EQ(target.DataObject(), nullptr);
  // The last references go on the transfer thread, or through the GUI
  // thread's message loop for a proxy.
  EXPECT_TRUE(RunMessagesUntil([&] { return data.RefCount == 1; }));
  CloseHandle(data.Gate);
  CloseHandle(data.Reading);
}


// A text target that says when it starts being freed.
class SignallingTarget : public PinnedTextTarget {
public:
  using PinnedTextTarget::PinnedTextTarget;
  void BeforeDestruction() override {
    if (Destroying) SetEvent(Destroying);
    PinnedTextTarget::BeforeDestruction();
  }
  HANDLE Destroying = nullptr;
};

// Freed while its transfer thread still reads: the target waits until the
// thread no longer reads its data formats, and no drop fires on it; the
// source hears that nothing was dropped.
TEST_F(DropTargetAsync, FreeingTheTargetWhileItsTransferReadsFiresNothingOnIt) {
  TestWindow own(200, 100);
  auto* freed = New<SignallingTarget>(nullptr);
  freed->SetTarget(own.Handle());
  freed->AllowAsyncTransfer = true;
  bool dropFired = false, endFired = false;
  freed->OnDrop = TDropTargetEvent::Lambda([&](TObject*, TShiftState, const POINT&, int32_t&) { dropFired = true; });
  freed->OnEndAsyncTransfer = TNotifyEvent::Lambda([&](TObject*) { endFired = true; });
  AsyncData data;
  data.Offer(CF_TEXT, WithNul("freed"));
  data.Offer(CF_UNICODETEXT, std::string("f\0r\0\0\0", 6));
  data.Gate = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  data.Reading = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  IDropTarget* ownDrop = DropTargetOf(*freed);
  const POINTL at = ScreenPointOf(own.Handle(), 10, 10);
  DWORD effect = DROPEFFECT_COPY;
  ASSERT_EQ(ownDrop->DragEnter(&data, 0, at, &effect), S_OK);
  ASSERT_EQ(ownDrop->Drop(&data, 0, at, &effect), S_OK);
  ASSERT_EQ(WaitForSingleObject(data.Reading, 5000), WAIT_OBJECT_0);

  // The gate opens once freeing has begun: the thread reads on while the
  // GUI thread is inside the target's destruction.
  const HANDLE destroying = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  freed->Destroying = destroying;
  std::thread opener([&] {
    WaitForSingleObject(destroying, 10000);
    SetEvent(data.Gate);
  });
  Free(freed);
  opener.join();

  ASSERT_TRUE(RunMessagesUntil([&] { return data.Ended.load(); }));
  EXPECT_FALSE(dropFired);
  EXPECT_FALSE(endFired);
  EXPECT_EQ(data.EndResult, E_ABORT);
  EXPECT_EQ(data.EndEffect, DWORD(DROPEFFECT_NONE));
  EXPECT_FALSE(data.Received(Registered("Performed DropEffect")));
  EXPECT_TRUE(RunMessagesUntil([&] { return data.RefCount == 1; }));
  CloseHandle(destroying);
  CloseHandle(data.Gate);
  CloseHandle(data.Reading);
}

// An OnDrop handler may free its target, also when the drop comes from the
// transfer thread: nothing waits for itself, and the source hears of the drop.
TEST_F(DropTargetAsync, AnOnDropHandlerMayFreeItsTarget) {
  for (bool async : {true, false}) {
    SCOPED_TRACE(async ? "asynchronous" : "synchronous");
    TestWindow own(200, 100);
    auto* freed = New<PinnedTextTarget>(nullptr);
    freed->SetTarget(own.Handle());
    freed->AllowAsyncTransfer = async;
    std::string dropped;
    freed->OnDrop = TDropTargetEvent::Lambda([&](TObject*, TShiftState, const POINT&, int32_t&) {
      dropped = freed->GetPlainText();
      Free(freed);
    });
    AsyncData data;
    data.Offer(CF_TEXT, WithNul("handled"));
    IDropTarget* ownDrop = DropTargetOf(*freed);
    const POINTL at = ScreenPointOf(own.Handle(), 10, 10);
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(ownDrop->DragEnter(&data, 0, at, &effect), S_OK);
    ASSERT_EQ(ownDrop->Drop(&data, 0, at, &effect), S_OK);
    EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY));
    if (async) {
      ASSERT_TRUE(RunMessagesUntil([&] { return data.Ended.load(); }));
      EXPECT_EQ(data.EndResult, S_OK);
      EXPECT_EQ(data.EndEffect, DWORD(DROPEFFECT_COPY));
    }
    EXPECT_EQ(dropped, "handled");
    EXPECT_TRUE(RunMessagesUntil([&] { return data.RefCount == 1; }));
  }
}

// A panel with an edit on a form shown on top of the display, away from the
// spot where the real OLE drag (another program, run at the same time) drops:
// the drop target's controls.
struct PanelForm {
  TForm* Form = New<TForm>(nullptr);
  TPanel* Panel = New<TPanel>(Form);
  TEdit* Edit = New<TEdit>(Form);
  PanelForm() {
    Form->SetBounds(760, 620, 300, 200);
    Form->SetCaption("Mevra drop form");
    Panel->SetBounds(10, 10, 200, 120);
    Panel->SetParent(Form);
    Edit->SetBounds(10, 10, 100, 22);
    Edit->SetParent(Panel);
    Form->Show();
    SetWindowPos(Form->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    RunMessagesUntilIdle();
  }
  ~PanelForm() { Free(Form); }
  PanelForm(const PanelForm&) = delete;
  PanelForm& operator=(const PanelForm&) = delete;
};

// The drop target OLE keeps for a window (null when none is registered).
IDropTarget* RegisteredDropTarget(HWND window) {
  return static_cast<IDropTarget*>(GetPropA(window, "OleDropTargetInterface"));
}

// Drops text at a client point of `window` through the IDropTarget OLE holds
// for it; answers what OnDrop read ("" when it did not fire).
std::string DropTextOn(TDropTextTarget& target, HWND registered, HWND window, int x, int y) {
  std::string seen;
  target.OnDrop = TDropTargetEvent::Lambda(
      [&](TObject*, TShiftState, const POINT&, int32_t&) { seen = target.GetPlainText(); });
  IDropTarget* drop = RegisteredDropTarget(registered);
  EXPECT_EQ(drop, static_cast<IDropTarget*>(&target));
  if (!drop) return seen;
  FakeDataObject data;
  data.Offer(CF_TEXT, WithNul("\xD6\xD0\xCE\xC4 panel"));
  const POINTL pt = ScreenPointOf(window, x, y);
  DWORD effect = DROPEFFECT_COPY;
  if (drop->DragEnter(&data, MK_LBUTTON, pt, &effect) != S_OK || effect == DROPEFFECT_NONE) {
    drop->DragLeave();
    return seen;
  }
  effect = DROPEFFECT_COPY;
  EXPECT_EQ(drop->Drop(&data, 0, pt, &effect), S_OK);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY));
  return seen;
}

TEST(DropTargetControls, APanelStaysADropTargetThroughReCreatedWindows) {
  struct Case {
    const char* Name;
    bool ByHandle;       // registered through its window handle
    bool RecreateForm;   // the form's windows re-created, the panel's with them
  };
  const Case cases[] = {
      {"by control, panel re-created", false, false},
      {"by handle, panel re-created", true, false},
      {"by control, form re-created", false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    PanelForm f;
    TDropTextTarget target(nullptr);
    if (c.ByHandle) target.SetTarget(f.Panel->Handle());
    else target.SetTarget(f.Panel);
    ASSERT_EQ(target.Targets().Count(), 1);
    EXPECT_EQ(target.Targets().Controls(0), f.Panel);
    EXPECT_EQ(target.TargetControl(), f.Panel);
    EXPECT_EQ(target.Target(), f.Panel->Handle());
    EXPECT_TRUE(IsHooked(f.Panel->Handle()));
    // Dropped on the edit inside: the panel is the registered control above it.
    EXPECT_EQ(DropTextOn(target, f.Panel->Handle(), f.Edit->Handle(), 5, 5), "\xD6\xD0\xCE\xC4 panel");

    const HWND old = f.Panel->Handle();
    if (c.RecreateForm) f.Form->RecreateWnd();
    else f.Panel->RecreateWnd();
    RunMessagesUntilIdle();
    const HWND now = f.Panel->Handle();
    ASSERT_TRUE(IsWindow(now));
    EXPECT_FALSE(IsWindow(old));
    EXPECT_TRUE(IsHooked(now));
    EXPECT_EQ(target.Target(), now);
    EXPECT_EQ(target.ComponentCount(), 1);  // one proxy, not one per window
    EXPECT_EQ(DropTextOn(target, now, now, 150, 100), "\xD6\xD0\xCE\xC4 panel");
    // Beside the panel no registered control lies under the point.
    target.OnDrop = TDropTargetEvent();
    FakeDataObject data;
    data.Offer(CF_TEXT, WithNul("x"));
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(DropTargetOf(target)->DragEnter(&data, 0, ScreenPointOf(f.Form->Handle(), 250, 140), &effect),
              S_OK);
    EXPECT_EQ(target.TargetControl(), f.Panel);  // no drag target: the first registered control
    DropTargetOf(target)->DragLeave();

    target.UnregisterTarget(f.Panel);
    EXPECT_FALSE(IsHooked(now));
    EXPECT_EQ(target.Targets().Count(), 0);
    EXPECT_EQ(target.ComponentCount(), 0);
  }
}

TEST(DropTargetControls, AControlInsideARegisteredOneGoesAfterIt) {
  PanelForm f;
  TDropTextTarget target(nullptr);
  target.MultiTarget = true;
  target.RegisterTarget(f.Form);
  target.RegisterTarget(f.Edit);
  target.RegisterTarget(f.Panel);
  ASSERT_EQ(target.Targets().Count(), 3);
  EXPECT_EQ(target.Targets().Controls(0), f.Form);
  EXPECT_EQ(target.Targets().Controls(1), f.Panel);
  EXPECT_EQ(target.Targets().Controls(2), f.Edit);
  // The nearest registered control above the point is the drag's target.
  FakeDataObject data;
  data.Offer(CF_TEXT, WithNul("x"));
  DWORD effect = DROPEFFECT_COPY;
  ASSERT_EQ(DropTargetOf(target)->DragEnter(&data, 0, ScreenPointOf(f.Panel->Handle(), 150, 100), &effect), S_OK);
  EXPECT_EQ(target.TargetControl(), f.Panel);
  DropTargetOf(target)->DragLeave();
  // Re-registering the panel by its window finds the control's entry.
  target.RegisterTarget(f.Panel->Handle());
  EXPECT_EQ(target.Targets().Count(), 3);
  target.UnregisterTarget(f.Panel->Handle());
  EXPECT_EQ(target.Targets().IndexOf(f.Panel), -1);
  EXPECT_FALSE(IsHooked(f.Panel->Handle()));
  EXPECT_TRUE(IsHooked(f.Form->Handle()));
  EXPECT_TRUE(IsHooked(f.Edit->Handle()));
}

TEST(DropTargetControls, AFreedControlLeavesTheListAndItsWindowUnregistered) {
  struct Case {
    const char* Name;
    bool OwnedByForm;  // the drop target and the panel share their owner
    bool MidDrag;      // the panel goes while a drag is over it
    bool AutoRegister;
  };
  const Case cases[] = {
      {"target of its own", false, false, true},
      {"target owned by the form", true, false, true},
      {"during a drag", false, true, true},
      {"registered directly", false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    PanelForm f;
    std::unique_ptr<TDropTextTarget> own;
    TDropTextTarget* target = nullptr;
    if (c.OwnedByForm) {
      target = New<TDropTextTarget>(f.Form);
    } else {
      own.reset(new TDropTextTarget(nullptr));
      target = own.get();
    }
    target->AutoRegister = c.AutoRegister;
    target->MultiTarget = true;
    target->RegisterTarget(f.Panel);
    target->RegisterTarget(f.Form);
    ASSERT_EQ(target->Targets().Count(), 2);
    const HWND panelWindow = f.Panel->Handle();
    EXPECT_TRUE(IsHooked(panelWindow));
    FakeDataObject data;
    data.Offer(CF_TEXT, WithNul("x"));
    IDropTarget* drop = DropTargetOf(*target);
    const POINTL overPanel = ScreenPointOf(panelWindow, 150, 100);
    DWORD effect = DROPEFFECT_COPY;
    if (c.MidDrag) {
      ASSERT_EQ(drop->DragEnter(&data, 0, overPanel, &effect), S_OK);
      EXPECT_EQ(target->Target(), panelWindow);
    }

    FreeAndNil(f.Panel);
    EXPECT_FALSE(IsWindow(panelWindow));
    ASSERT_EQ(target->Targets().Count(), 1);
    EXPECT_EQ(target->Targets().Controls(0), f.Form);
    EXPECT_EQ(target->ComponentCount(), c.AutoRegister ? 1 : 0);
    EXPECT_TRUE(IsHooked(f.Form->Handle()));
    if (c.MidDrag) {
      // The drag goes on over the form: the freed panel is no longer its target.
      effect = DROPEFFECT_COPY;
      EXPECT_EQ(drop->DragOver(0, overPanel, &effect), E_UNEXPECTED);
      EXPECT_EQ(effect, DWORD(DROPEFFECT_NONE));
      drop->DragLeave();
    }
    effect = DROPEFFECT_COPY;
    ASSERT_EQ(drop->DragEnter(&data, 0, overPanel, &effect), S_OK);
    EXPECT_EQ(target->TargetControl(), f.Form);
    drop->DragLeave();
    // Freeing the form (and with it an owned target) afterwards is clean.
  }
}
}  // namespace
