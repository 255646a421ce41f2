// Controls on real windows: focus and tab order, enabled cascade, keyboard,
// component messages, painting into a given DC, mouse enter/leave, drag and
// drop of the class library, and exceptions in event handlers.
#include "platform/DragManager.h"
#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"
#include "tests/platform/controls/ControlTestUtil.h"

#include <gtest/gtest.h>

namespace {

using namespace testing_support;
using namespace control_tests;

const auto* const kUnansweredDialogsFail = ::testing::AddGlobalTestEnvironment(new UnansweredDialogsFail);

// The form of the first checks: a panel with two edits and a button.
struct EntryForm {
  ShownForm Form{60, 60, 360, 220, "Entry"};
  TPanel* Panel = Place<TPanel>(Form.Form, 8, 8, 200, 80);
  TEdit* Edit1 = Place<TEdit>(Panel, 8, 8, 150, 22);
  TEdit* Edit2 = Place<TEdit>(Panel, 8, 40, 150, 22);
  TButton* Button = Place<TButton>(Form.Form, 8, 120, 90, 28);
  int Clicks = 0;
  EntryForm() {
    Button->SetCaption("OK");
    Button->OnClick = TNotifyEvent::Lambda([this](TObject*) { ++Clicks; });
    Form.Show();
  }
  HWND Focus() const { return GetFocus(); }
};

TEST(Controls, TabMovesFocusInTabOrderAndBack) {
  EntryForm f;
  // Each key goes to the control that should have the focus, so that a
  // window of another program taking the foreground cannot steal it.
  auto tabFrom = [&](TWinControl* from, TWinControl* to, bool shift) {
    f.Form.Show();
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = shift ? 0x80 : 0;
    SetKeyboardState(keys);
    PostKey(from->Handle(), VK_TAB);
    const bool moved = RunMessagesUntil([&] { return to->Focused(); }, 2000);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    return moved;
  };
  f.Edit1->SetFocus();
  ASSERT_TRUE(RunMessagesUntil([&] { return f.Edit1->Focused(); }, 2000));
  EXPECT_TRUE(tabFrom(f.Edit1, f.Edit2, false));
  EXPECT_TRUE(tabFrom(f.Edit2, f.Button, false));
  EXPECT_TRUE(tabFrom(f.Button, f.Edit1, false)) << "round to the first";
  EXPECT_TRUE(tabFrom(f.Edit1, f.Button, true)) << "Shift+Tab goes back";
  // A changed tab order is followed.
  f.Edit2->SetTabOrder(0);
  f.Edit2->SetFocus();
  EXPECT_TRUE(tabFrom(f.Edit2, f.Edit1, false));
  EXPECT_EQ(f.Form->ActiveControl(), f.Edit1);
  EXPECT_EQ(Screen->ActiveControl(), f.Edit1);
}

TEST(Controls, DisablingAPanelDisablesItsChildren) {
  EntryForm f;
  f.Panel->SetEnabled(false);
  EXPECT_FALSE(f.Edit1->IsControlEnabled());
  EXPECT_TRUE(f.Edit1->Enabled()) << "the child's own setting stays";
  EXPECT_FALSE(IsWindowEnabled(f.Edit1->Handle()));
  EXPECT_FALSE(f.Edit2->CanFocus());
  EXPECT_THROW(f.Edit1->SetFocus(), EInvalidOperation);
  // Tab skips what cannot take the focus.
  f.Button->SetFocus();
  RunMessagesUntilIdle();
  PostKey(f.Button->Handle(), VK_TAB);
  RunMessagesUntilIdle();
  EXPECT_EQ(f.Form->ActiveControl(), f.Button);
  EXPECT_FALSE(f.Edit1->Focused() || f.Edit2->Focused());

  f.Panel->SetEnabled(true);
  EXPECT_TRUE(IsWindowEnabled(f.Edit1->Handle()));
  f.Edit2->SetEnabled(false);
  f.Panel->SetEnabled(false);
  f.Panel->SetEnabled(true);
  EXPECT_FALSE(IsWindowEnabled(f.Edit2->Handle())) << "a child disabled itself stays disabled";
  EXPECT_TRUE(IsWindowEnabled(f.Edit1->Handle()));
}

TEST(Controls, EnterOnTheFocusedButtonClicksOnce) {
  EntryForm f;
  f.Button->SetFocus();
  ASSERT_TRUE(RunMessagesUntil([&] { return f.Button->Focused(); }, 2000));
  PostKey(f.Button->Handle(), VK_RETURN);
  PostChar(f.Button->Handle(), '\r');
  RunMessagesUntilIdle();
  EXPECT_EQ(f.Clicks, 1);

  // The default button takes Enter from an edit; Escape presses the cancel one.
  f.Button->SetDefault(true);
  f.Edit1->SetFocus();
  RunMessagesUntilIdle();
  PostKey(f.Edit1->Handle(), VK_RETURN);
  RunMessagesUntilIdle();
  EXPECT_EQ(f.Clicks, 2);
  PostKey(f.Edit1->Handle(), VK_ESCAPE);
  RunMessagesUntilIdle();
  EXPECT_EQ(f.Clicks, 2);
  f.Button->SetCancel(true);
  PostKey(f.Edit1->Handle(), VK_ESCAPE);
  RunMessagesUntilIdle();
  EXPECT_EQ(f.Clicks, 3);

  // Alt with the caption's marked letter presses it from anywhere on the form.
  f.Button->SetCaption("&Save");
  PostMessageA(f.Edit1->Handle(), WM_SYSCHAR, 's', 1 << 29);
  RunMessagesUntilIdle();
  EXPECT_EQ(f.Clicks, 4);
  PostMessageA(f.Edit1->Handle(), WM_SYSCHAR, 'x', 1 << 29);
  RunMessagesUntilIdle();
  EXPECT_EQ(f.Clicks, 4);
}

TEST(Controls, MouseInputReachesWindowedAndGraphicControls) {
  ShownForm form(60, 60, 300, 200);
  auto* panel = Place<TPanel>(form.Form, 10, 10, 200, 120);
  auto* label = Place<TLabel>(panel, 100, 10, 60, 20);
  label->SetAutoSize(false);
  std::vector<std::string> log;
  auto watch = [&](TControl* c, const std::string& name) {
    c->OnClick = TNotifyEvent::Lambda([&log, name](TObject*) { log.push_back(name + " click"); });
    c->OnDblClick = TNotifyEvent::Lambda([&log, name](TObject*) { log.push_back(name + " dblclick"); });
    c->OnMouseDown = TMouseEvent::Lambda([&log, name](TObject*, TMouseButton b, TShiftState s, int x, int y) {
      log.push_back(name + " down " + std::to_string(static_cast<int>(b)) + (s.Contains(ssDouble) ? " double " : " ") +
                    std::to_string(x) + "," + std::to_string(y));
    });
    c->OnMouseUp = TMouseEvent::Lambda([&log, name](TObject*, TMouseButton, TShiftState, int, int) {
      log.push_back(name + " up");
    });
  };
  watch(panel, "panel");
  watch(label, "label");
  int wheel = 0;
  panel->OnMouseWheel = TMouseWheelEvent::Lambda([&](TObject*, TShiftState, int delta, POINT, bool& handled) {
    wheel += delta;
    handled = true;
  });
  form.Show();
  PostClick(panel->Handle(), 20, 30);
  RunMessagesUntilIdle();
  EXPECT_EQ(log, (std::vector<std::string>{"panel down 0 20,30", "panel click", "panel up"}));
  EXPECT_EQ(GetCapture(), nullptr) << "the capture ends with the button";
  log.clear();
  // The label has no window: its parent passes it the mouse in its own co-ordinates.
  PostClick(panel->Handle(), 105, 15);
  PostMessageA(panel->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(105, 15));
  PostMessageA(panel->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(105, 15));
  RunMessagesUntilIdle();
  EXPECT_EQ(log, (std::vector<std::string>{"label down 0 5,5", "label click", "label up", "label dblclick",
                                           "label down 0 double 5,5", "label click", "label up"}));
  // Without csDoubleClicks the second click is an ordinary press.
  log.clear();
  TControlStyle style = label->ControlStyle();
  style.Exclude(csDoubleClicks);
  label->SetControlStyle(style);
  PostMessageA(panel->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(105, 15));
  PostMessageA(panel->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(105, 15));
  RunMessagesUntilIdle();
  EXPECT_EQ(log, (std::vector<std::string>{"label down 0 5,5", "label click", "label up"}));
  // A release outside the control is no click.
  log.clear();
  PostMessageA(panel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30));
  PostMessageA(panel->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(250, 30));
  RunMessagesUntilIdle();
  EXPECT_EQ(log, (std::vector<std::string>{"panel down 0 20,30", "panel up"}));
  SendMessageA(panel->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(100, 100));
  EXPECT_EQ(wheel, WHEEL_DELTA);
}

TEST(Controls, TypedTextComesBackThroughTheWindow) {
  EntryForm f;
  int changes = 0;
  f.Edit1->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  f.Edit1->SetFocus();
  RunMessagesUntilIdle();
  for (char ch : std::string("abc")) PostChar(f.Edit1->Handle(), ch);
  RunMessagesUntilIdle();
  char text[32] = {};
  SendMessageA(f.Edit1->Handle(), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, "abc");
  EXPECT_EQ(f.Edit1->Text(), "abc");
  EXPECT_EQ(changes, 3);

  // The text survives a new window; the password character hides it.
  f.Edit1->SetPasswordChar('*');
  EXPECT_EQ(GetWindowLongA(f.Edit1->Handle(), GWL_STYLE) & ES_PASSWORD, ES_PASSWORD);
  EXPECT_EQ(SendMessageA(f.Edit1->Handle(), EM_GETPASSWORDCHAR, 0, 0), '*');
  EXPECT_EQ(f.Edit1->Text(), "abc");
  RunMessagesUntilIdle();
  SaveScreenshot(f.Form->Handle(), "controls-entry-form");
}

TEST(Controls, KeyEventsAndFormKeyPreview) {
  EntryForm f;
  std::vector<std::string> log;
  f.Edit1->OnKeyDown = TKeyEvent::Lambda([&](TObject*, WORD& key, TShiftState) {
    log.push_back("edit " + std::to_string(key));
  });
  f.Form->OnKeyDown = TKeyEvent::Lambda([&](TObject*, WORD& key, TShiftState) {
    log.push_back("form " + std::to_string(key));
    if (key == 'Q') key = 0;  // eaten by the form
  });
  f.Edit1->SetFocus();
  RunMessagesUntilIdle();
  PostKey(f.Edit1->Handle(), 'A');
  RunMessagesUntilIdle();
  EXPECT_EQ(log, (std::vector<std::string>{"edit 65"})) << "no preview without KeyPreview";
  log.clear();
  f.Form->SetKeyPreview(true);
  PostKey(f.Edit1->Handle(), 'A');
  PostKey(f.Edit1->Handle(), 'Q');
  RunMessagesUntilIdle();
  EXPECT_EQ(log, (std::vector<std::string>{"form 65", "edit 65", "form 81"}));
}

TEST(Controls, TheApplicationLoopOffersKeysAsNotificationsFirst) {
  EntryForm f;
  std::vector<std::string> log;
  f.Edit1->OnKeyDown = TKeyEvent::Lambda([&](TObject*, WORD& key, TShiftState) {
    log.push_back("keydown " + std::to_string(key));
  });
  TWndMethod inherited = f.Edit1->WindowProc;
  f.Edit1->WindowProc = TWndMethod::Lambda([&](TMessage& m) {
    inherited(m);
    if (m.Msg == CN_KEYDOWN) {
      log.push_back("cn " + std::to_string(m.WParam));
      if (m.WParam == VK_F5) m.Result = 1;  // a shortcut the control takes
    }
  });
  f.Edit1->SetFocus();
  RunMessagesUntilIdle();
  struct Case {
    const char* Name;
    WORD Key;
    std::vector<std::string> Expected;
  } cases[] = {
      {"a key the control leaves goes on to the window", VK_F6, {"cn 117", "keydown 117"}},
      {"a key the control takes never reaches the window", VK_F5, {"cn 116"}},
  };
  for (const Case& c : cases) {
    log.clear();
    PostMessageA(f.Edit1->Handle(), WM_KEYDOWN, c.Key, 1);
    Application->ProcessMessages();
    EXPECT_EQ(log, c.Expected) << c.Name;
  }
  f.Edit1->WindowProc = inherited;
}

TEST(Controls, AContextPopupHandlerCanTakeTheMenuKeyOrClick) {
  ShownForm form(60, 60, 240, 160);
  auto* label = Place<TLabel>(form.Form, 20, 20, 80, 20);
  label->SetCaption("menu");
  std::vector<std::string> log;
  auto recordAs = [&log](const char* who, bool take) {
    return TContextPopupEvent::Lambda([&log, who, take](TObject*, POINT p, bool& handled) {
      log.push_back(std::string(who) + " " + std::to_string(p.x) + "," + std::to_string(p.y));
      handled = take;
    });
  };
  const POINT overLabel = form->ClientToScreen(POINT{30, 25});
  const POINT empty = form->ClientToScreen(POINT{150, 100});
  struct Case {
    const char* Name;
    LPARAM At;
    bool LabelTakes, FormTakes;
    std::vector<std::string> Expected;
    LRESULT Result;
  } cases[] = {
      {"a graphic child hears it at its own point", MAKELPARAM(overLabel.x, overLabel.y), true, true, {"label 10,5"}, 1},
      {"from the keyboard the point is -1,-1", -1, true, true, {"form -1,-1"}, 1},
      {"nobody takes it: answered 0", MAKELPARAM(empty.x, empty.y), false, false, {"form 150,100"}, 0},
  };
  for (const Case& c : cases) {
    log.clear();
    label->OnContextPopup = recordAs("label", c.LabelTakes);
    form->OnContextPopup = recordAs("form", c.FormTakes);
    const LRESULT result = SendMessageA(form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form->Handle()), c.At);
    EXPECT_EQ(log, c.Expected) << c.Name;
    EXPECT_EQ(result, c.Result) << c.Name;
  }
}

TEST(Controls, ParentFontAndColourReachChildrenAsComponentMessages) {
  ShownForm form(60, 60, 300, 200);
  auto* panel = Place<TPanel>(form.Form, 0, 0, 200, 100);
  auto* label = Place<TLabel>(panel, 4, 4, 80, 20);
  auto* edit = Place<TEdit>(panel, 4, 30, 80, 22);
  MessageRecorder labelLog(label, {CM_PARENTFONTCHANGED, CM_FONTCHANGED, CM_PARENTCOLORCHANGED, CM_COLORCHANGED});
  MessageRecorder editLog(edit, {CM_PARENTFONTCHANGED, CM_FONTCHANGED});
  form.Show();

  panel->Font()->SetSize(14);
  EXPECT_EQ(labelLog.Log, (std::vector<UINT>{CM_PARENTFONTCHANGED, CM_FONTCHANGED}));
  EXPECT_EQ(label->Font()->Size(), 14);
  EXPECT_TRUE(label->ParentFont());
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(edit->Handle(), WM_GETFONT, 0, 0)), edit->Font()->Handle());

  labelLog.Log.clear();
  panel->SetColor(clRed);
  EXPECT_EQ(labelLog.Log, (std::vector<UINT>{CM_PARENTCOLORCHANGED, CM_COLORCHANGED}));
  EXPECT_EQ(label->Color(), clRed);

  // A child with its own font no longer follows.
  label->Font()->SetSize(9);
  EXPECT_FALSE(label->ParentFont());
  labelLog.Log.clear();
  panel->Font()->SetSize(20);
  EXPECT_EQ(labelLog.Log, (std::vector<UINT>{CM_PARENTFONTCHANGED}));
  EXPECT_EQ(label->Font()->Size(), 9);
}

TEST(Controls, MessageNumbersAreFixed) {
  const std::pair<UINT, UINT> numbers[] = {
      {CM_CANCELMODE, 0xB004},   {CM_DIALOGKEY, 0xB005},  {CM_DIALOGCHAR, 0xB006}, {CM_FOCUSCHANGED, 0xB007},
      {CM_VISIBLECHANGED, 0xB00B}, {CM_ENABLEDCHANGED, 0xB00C}, {CM_FONTCHANGED, 0xB00E},
      {CM_MOUSEENTER, 0xB013},  {CM_MOUSELEAVE, 0xB014}, {CM_EXIT, 0xB01B},      {CM_RELEASE, 0xB021},
      {CM_RECREATEWND, 0xB033}, {CN_NOTIFY, 0xBC4E},     {CN_COMMAND, 0xBD11},   {CN_VSCROLL, 0xBD15},
      {CM_BLINKQUERY, 0xB3E8},  {CM_TOOLBARVISUALSTYLE, 0xB3ED}, {WM_TRAYNOTIFY, 0x401},
      {WM_REQUESTDONE, 0x402},  {WM_TREEVALIDATED, 0x8020}, {WM_SCROLLBARMETRICS, 0x8065},
      {WM_POPUPCLOSE, 0x2423}, {CM_POPUPCLOSE, 0x807D}, {CM_POPUPSHOW, 0x807E},
      {CM_REFRESHHOTSTATE, 0x807F}, {CM_LAYOUTSCROLLBARS, 0x8080}};
  for (auto [value, expected] : numbers) EXPECT_EQ(value, expected);
}

// A custom control painting bands of colour, with a graphic child.
class Bands : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  void Paint() override {
    const TColor colors[] = {clRed, clLime, clBlue, clYellow};
    const RECT client = ClientRect();
    for (int i = 0; i < 4; ++i) {
      Canvas()->Brush()->SetColor(colors[i]);
      Canvas()->FillRect(RECT{client.right * i / 4, 0, client.right * (i + 1) / 4, client.bottom});
    }
  }
};

class Dot : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;
  void Paint() override {
    Canvas()->Brush()->SetColor(clFuchsia);
    Canvas()->FillRect(ClientRect());
  }
};

TEST(Controls, PaintsIntoAGivenDCWithTheSamePixelsAsOnScreen) {
  ShownForm form(60, 60, 300, 200);
  auto* bands = Place<Bands>(form.Form, 10, 10, 160, 80);
  Place<Dot>(bands, 30, 30, 20, 20);
  form.Show();
  bands->Repaint();
  RunMessagesUntilIdle();
  const Image screen = ReadClientPixels(bands->Handle());

  TMemoryDC memory;
  TScreenDC screenDC;
  TGdiObject bitmap(CreateCompatibleBitmap(screenDC.Get(), 160, 80));
  TSelectObjectGuard select(memory.Get(), bitmap.Get());
  SendMessageA(bands->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory.Get()), PRF_CLIENT | PRF_ERASEBKGND);
  const Image printed = ReadPixels(memory.Get(), RECT{0, 0, 160, 80});
  EXPECT_TRUE(printed == screen);
  EXPECT_EQ(printed.At(5, 5), Rgb(RGB(255, 0, 0)));
  EXPECT_EQ(printed.At(40, 40), Rgb(RGB(255, 0, 255))) << "the graphic child is painted too";
  EXPECT_EQ(printed.At(100, 5), Rgb(RGB(0, 0, 255)));

  // The same through WM_PAINT with a DC, and double-buffered on screen.
  TMemoryDC second;
  TGdiObject bitmap2(CreateCompatibleBitmap(screenDC.Get(), 160, 80));
  TSelectObjectGuard select2(second.Get(), bitmap2.Get());
  SendMessageA(bands->Handle(), WM_PAINT, reinterpret_cast<WPARAM>(second.Get()), 0);
  EXPECT_TRUE(ReadPixels(second.Get(), RECT{0, 0, 160, 80}) == screen);
  bands->SetDoubleBuffered(true);
  bands->Repaint();
  RunMessagesUntilIdle();
  EXPECT_TRUE(ReadClientPixels(bands->Handle()) == screen);
  SaveScreenshot(form->Handle(), "controls-painting");
}

TEST(Controls, MouseEnterAndLeaveFollowTheCursor) {
  ShownForm form(60, 60, 300, 200);
  auto* left = Place<TPanel>(form.Form, 10, 10, 100, 100);
  auto* right = Place<TPanel>(form.Form, 150, 10, 100, 100);
  auto* label = Place<TLabel>(right, 10, 10, 60, 20);
  label->SetAutoSize(false);
  std::vector<std::string> log;
  auto track = [&](TControl* c, const char* name) {
    c->OnMouseEnter = TNotifyEvent::Lambda([&log, name](TObject*) { log.push_back(std::string("enter ") + name); });
    c->OnMouseLeave = TNotifyEvent::Lambda([&log, name](TObject*) { log.push_back(std::string("leave ") + name); });
  };
  track(left, "left");
  track(right, "right");
  track(label, "label");
  SendMouseMove(1000, 900);  // away from where the form will be
  form.Show();
  RunMessagesUntilIdle();
  log.clear();
  // The system moves the cursor at once but reports the move later, and
  // later still on a busy machine: each step waits for what it must bring.
  auto moveTo = [&](TControl* c, int x, int y, size_t events) {
    const POINT p = c->ClientToScreen(POINT{x, y});
    SendMouseMove(p.x, p.y);
    EXPECT_TRUE(RunMessagesUntil([&] { return log.size() >= events; }, 10000)) << "waiting for event " << events;
  };
  moveTo(left, 50, 50, 1);
  moveTo(right, 50, 70, 3);
  moveTo(label, 5, 5, 4);
  moveTo(right, 50, 70, 5);
  moveTo(form.Form, 280, 150, 6);
  RunMessagesUntilIdle();
  const std::vector<std::string> expected{"enter left", "leave left", "enter right", "enter label",
                                          "leave label", "leave right"};
  EXPECT_EQ(log, expected);
}

TEST(Controls, DragOntoAnotherControlFiresDragOverThenDrop) {
  ShownForm form(60, 60, 320, 200);
  auto* source = Place<TPanel>(form.Form, 10, 10, 100, 100);
  auto* target = Place<TPanel>(form.Form, 180, 10, 100, 100);
  auto* refusing = Place<TPanel>(form.Form, 10, 120, 100, 40);
  std::vector<std::string> log;
  target->OnDragOver = TDragOverEvent::Lambda(
      [&](TObject* sender, TObject* src, int, int, TDragState state, bool& accept) {
        accept = src == source && sender == target;
        log.push_back(state == dsDragEnter ? "over enter" : state == dsDragMove ? "over move" : "over leave");
      });
  target->OnDragDrop = TDragDropEvent::Lambda([&](TObject*, TObject* src, int x, int y) {
    log.push_back("drop " + std::to_string(x) + "," + std::to_string(y) + (src == source ? " from source" : ""));
  });
  refusing->OnDragOver = TDragOverEvent::Lambda([&](TObject*, TObject*, int, int, TDragState, bool& accept) {
    accept = false;
  });
  TObject* endTarget = reinterpret_cast<TObject*>(1);
  source->OnEndDrag = TEndDragEvent::Lambda([&](TObject*, TObject* t, int, int) {
    endTarget = t;
    log.push_back("end");
  });
  form.Show();

  // Mouse messages reach the window holding the capture during a drag.
  auto post = [&](UINT msg, TControl* over, int x, int y) {
    const POINT screen = over->ClientToScreen(POINT{x, y});
    POINT client = screen;
    ScreenToClient(source->Handle(), &client);
    SetCursorPos(screen.x, screen.y);
    PostMessageA(source->Handle(), msg, msg == WM_MOUSEMOVE ? MK_LBUTTON : 0, MAKELPARAM(client.x, client.y));
    RunMessagesUntilIdle();
  };
  auto startAtSource = [&] {
    const POINT p = source->ClientToScreen(POINT{50, 50});
    SetCursorPos(p.x, p.y);
    RunMessagesUntilIdle();
  };
  // Moving the cursor may bring extra moves: the order is what counts.
  auto events = [&] {
    std::vector<std::string> unique;
    for (const std::string& e : log)
      if (unique.empty() || unique.back() != e) unique.push_back(e);
    return unique;
  };
  startAtSource();
  source->BeginDrag(false, 5);
  EXPECT_TRUE(source->Dragging());
  post(WM_MOUSEMOVE, source, 52, 51);  // below the threshold: nothing yet
  EXPECT_TRUE(log.empty());
  post(WM_MOUSEMOVE, target, 20, 20);
  post(WM_MOUSEMOVE, target, 30, 25);
  post(WM_LBUTTONUP, target, 30, 25);
  EXPECT_EQ(events(), (std::vector<std::string>{"over enter", "over move", "drop 30,25 from source", "end"}));
  EXPECT_EQ(endTarget, target);
  EXPECT_FALSE(source->Dragging());

  // Dropped where nobody accepts: the source hears of it with no target.
  log.clear();
  startAtSource();
  source->BeginDrag(true);
  post(WM_MOUSEMOVE, refusing, 20, 20);
  post(WM_LBUTTONUP, refusing, 20, 20);
  EXPECT_EQ(events(), (std::vector<std::string>{"end"}));
  EXPECT_EQ(endTarget, nullptr);

  // Escape cancels.
  log.clear();
  startAtSource();
  source->BeginDrag(true);
  post(WM_MOUSEMOVE, target, 20, 20);
  PostMessageA(source->Handle(), WM_KEYDOWN, VK_ESCAPE, 0);
  RunMessagesUntilIdle();
  const std::vector<std::string> cancelled = events();
  ASSERT_GE(cancelled.size(), 3u);
  EXPECT_EQ(cancelled.front(), "over enter");
  EXPECT_EQ(std::vector<std::string>(cancelled.end() - 2, cancelled.end()),
            (std::vector<std::string>{"over leave", "end"}));
  EXPECT_FALSE(source->Dragging());
}

TEST(Controls, AnExceptionInAClickHandlerShowsTheErrorBoxAndTheProgramGoesOn) {
  DialogCapture dialogs;
  ShownForm form(60, 60, 300, 200);
  auto* button = Place<TButton>(form.Form, 10, 10, 90, 28);
  int clicks = 0;
  button->OnClick = TNotifyEvent::Lambda([&](TObject*) {
    if (++clicks == 1) throw EConvertError("'x' is not a valid integer value");
  });
  form.Show();
  SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  ASSERT_EQ(dialogs.Requests.size(), 1u);
  EXPECT_EQ(dialogs.Requests[0].Kind, dkMessageBox);
  EXPECT_EQ(dialogs.Requests[0].Text, "'x' is not a valid integer value.");
  EXPECT_EQ(dialogs.Requests[0].Caption, Application->Title());
  EXPECT_EQ(dialogs.Requests[0].Flags & MB_ICONSTOP, static_cast<UINT>(MB_ICONSTOP));
  SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(dialogs.Requests.size(), 1u);

  // EAbort is silent.
  button->OnClick = TNotifyEvent::Lambda([](TObject*) { throw EAbort("quiet"); });
  SendMessageA(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(dialogs.Requests.size(), 1u);
}

TEST(Controls, AlignmentAndAnchorsPlaceChildren) {
  ShownForm form(60, 60, 400, 300);
  form->SetClientSize(400, 300);
  auto* top = Place<TPanel>(form.Form, 0, 0, 50, 40);
  auto* bottom = Place<TPanel>(form.Form, 0, 0, 50, 30);
  auto* left = Place<TPanel>(form.Form, 0, 0, 60, 50);
  auto* client = Place<TPanel>(form.Form, 0, 0, 10, 10);
  auto* anchored = Place<TButton>(form.Form, 300, 250, 80, 25);
  top->SetAlign(alTop);
  bottom->SetAlign(alBottom);
  left->SetAlign(alLeft);
  client->SetAlign(alClient);
  anchored->SetAnchors({akRight, akBottom});
  form.Show();
  const RECT expected[] = {{0, 0, 400, 40}, {0, 270, 400, 300}, {0, 40, 60, 270}, {60, 40, 400, 270}};
  TControl* controls[] = {top, bottom, left, client};
  for (int i = 0; i < 4; ++i) {
    const RECT r = controls[i]->BoundsRect();
    EXPECT_TRUE(EqualRect(&r, &expected[i])) << i << ": " << r.left << "," << r.top << "," << r.right << ","
                                             << r.bottom;
  }
  form->SetClientSize(500, 350);
  RunMessagesUntilIdle();
  EXPECT_EQ(client->Width(), 440);
  EXPECT_EQ(client->Height(), 280);
  EXPECT_EQ(anchored->Left(), 400);
  EXPECT_EQ(anchored->Top(), 300);
  EXPECT_EQ(anchored->Width(), 80);
}

}  // namespace
