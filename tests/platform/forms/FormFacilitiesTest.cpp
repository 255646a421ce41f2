// What forms and windowed controls offer beyond showing and closing: MDI
// frames and children with merged menus, the start-up chain, help
// requests, popup parents, size constraints, scaling, reading order, the
// 3-D look, bevels and border widths, and windows kept across re-creation.
#include "platform/ExtCtrls.h"
#include "platform/Menus.h"
#include "platform/StdCtrls.h"
#include "tests/platform/controls/ControlTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace testing_support;
using namespace control_tests;

const auto* const kUnansweredDialogsFail = ::testing::AddGlobalTestEnvironment(new UnansweredDialogsFail);

TMenuItem* AddItem(TMenuItem* parent, TComponent* owner, const char* caption, int groupIndex = 0) {
  auto* item = New<TMenuItem>(owner);
  item->SetCaption(caption);
  item->SetGroupIndex(groupIndex);
  parent->Add(item);
  return item;
}

// The texts of a menu bar's string items, in order; bitmap items (a
// maximized MDI child's icon and window buttons) count in `bitmaps`.
std::vector<std::string> BarTexts(HMENU menu, int* bitmaps = nullptr) {
  std::vector<std::string> texts;
  if (bitmaps) *bitmaps = 0;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[128] = {};
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_BITMAP;
    info.dwTypeData = text;
    info.cch = sizeof text - 1;
    GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
    if ((info.fType & MFT_BITMAP) || info.hbmpItem || !text[0]) {
      if (bitmaps) ++*bitmaps;
    } else {
      texts.push_back(text);
    }
  }
  return texts;
}

TForm* MakeMdiChild(const char* caption, int left, int top) {
  TForm* child = New<TForm>(nullptr);
  child->SetFormStyle(fsMDIChild);
  child->SetCaption(caption);
  child->SetBounds(left, top, 220, 150);
  return child;
}

TEST(MdiForms, FrameMaximizesAChildAndMergesItsMenu) {
  const THandleCounts before = HandleCounts();
  {
    TForm* frame = New<TForm>(nullptr);
    frame->SetFormStyle(fsMDIForm);
    frame->SetBounds(40, 40, 560, 400);
    frame->SetCaption("MDI frame");
    auto* frameMenu = New<TMainMenu>(frame);
    AddItem(AddItem(frameMenu->Items(), frame, "&File"), frame, "E&xit");
    AddItem(AddItem(frameMenu->Items(), frame, "&Window", 9), frame, "&Cascade");
    frame->SetMenu(frameMenu);
    auto* status = Place<TPanel>(frame, 0, 0, 100, 24);
    status->SetAlign(alBottom);
    status->SetCaption("status");

    TForm* notes = MakeMdiChild("Notes", 10, 10);
    auto* notesMenu = New<TMainMenu>(notes);
    TMenuItem* edit = AddItem(notesMenu->Items(), notes, "&Edit", 1);
    TMenuItem* copy = AddItem(edit, notes, "&Copy");
    AddItem(AddItem(notesMenu->Items(), notes, "&View", 2), notes, "&Zoom");
    notes->SetMenu(notesMenu);
    auto* noteList = Place<TListBox>(notes, 0, 0, 100, 100);
    noteList->SetAlign(alClient);
    noteList->Items()->SetText("The maximized child's list\r\nSecond note\r\n");
    TForm* table = MakeMdiChild("Table", 60, 60);
    auto* tableMenu = New<TMainMenu>(table);
    AddItem(AddItem(tableMenu->Items(), table, "&Table", 1), table, "&Sort");
    table->SetMenu(tableMenu);

    // A child needs a frame to live in.
    frame->Show();
    SetForegroundWindow(frame->Handle());
    RunMessagesUntil([&] { return frame->Active(); }, 2000);
    ASSERT_NE(frame->ClientHandle(), nullptr);
    char className[32] = {};
    GetClassNameA(frame->ClientHandle(), className, sizeof className);
    EXPECT_EQ(_stricmp(className, "MDICLIENT"), 0);

    notes->Show();
    table->Show();
    RunMessagesUntilIdle();
    EXPECT_EQ(frame->MDIChildCount(), 2);
    EXPECT_EQ(GetParent(notes->Handle()), frame->ClientHandle());
    EXPECT_EQ(frame->ActiveMDIChild(), table);
    EXPECT_TRUE(table->Active());
    EXPECT_FALSE(notes->Active());
    HMENU bar = GetMenu(frame->Handle());
    EXPECT_EQ(BarTexts(bar), (std::vector<std::string>{"&File", "&Table", "&Window"}));

    // The aligned panel keeps its strip; the client window takes the rest.
    RECT client, frameClient;
    GetWindowRect(frame->ClientHandle(), &client);
    MapWindowPoints(nullptr, frame->Handle(), reinterpret_cast<POINT*>(&client), 2);
    GetClientRect(frame->Handle(), &frameClient);
    EXPECT_EQ(client.bottom, frameClient.bottom - 24);

    // Activating the other child merges its menu instead; maximizing it
    // puts its window buttons into the frame's bar.
    notes->Show();
    RunMessagesUntilIdle();
    EXPECT_EQ(frame->ActiveMDIChild(), notes);
    notes->SetWindowState(wsMaximized);
    RunMessagesUntilIdle();
    EXPECT_TRUE(IsZoomed(notes->Handle()));
    EXPECT_EQ(notes->WindowState(), wsMaximized);
    EXPECT_EQ(table->WindowState(), wsNormal);
    bar = GetMenu(frame->Handle());
    int buttons = 0;
    EXPECT_EQ(BarTexts(bar, &buttons), (std::vector<std::string>{"&File", "&Edit", "&View", "&Window"}));
    EXPECT_GE(buttons, 1);  // the child's system menu, and its buttons where the system draws them
    EXPECT_EQ(GetSubMenu(bar, 0), GetSystemMenu(notes->Handle(), FALSE));

    // A merged item runs from the frame's bar.
    int copies = 0;
    copy->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++copies; });
    SendMessageA(frame->Handle(), WM_COMMAND, copy->Command(), 0);
    EXPECT_EQ(copies, 1);
    // A change to the merged menu shows in the frame's bar.
    AddItem(notesMenu->Items(), notes, "&Format", 3);
    RunMessagesUntilIdle();
    EXPECT_EQ(BarTexts(GetMenu(frame->Handle())),
              (std::vector<std::string>{"&File", "&Edit", "&View", "&Format", "&Window"}));
    InvalidateRect(frame->Handle(), nullptr, TRUE);
    RedrawWindow(frame->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RunMessagesUntilIdle();
    SaveScreenshot(frame->Handle(), "platform-mdi");

    // Freeing the active child gives the bar back to the other one.
    Free(notes);
    RunMessagesUntilIdle();
    EXPECT_EQ(frame->MDIChildCount(), 1);
    EXPECT_EQ(frame->ActiveMDIChild(), table);
    EXPECT_EQ(BarTexts(GetMenu(frame->Handle())), (std::vector<std::string>{"&File", "&Table", "&Window"}));
    Free(frame);
    EXPECT_FALSE(table->HandleAllocated());
    Free(table);
  }
  RunMessagesUntilIdle();
  EXPECT_EQ(HandleCounts(), before);
}

TEST(MdiForms, ChildWithoutAFrameIsRefused) {
  TForm* child = MakeMdiChild("Orphan", 0, 0);
  EXPECT_THROW(child->Handle(), EInvalidOperation);
  Free(child);
}

// -- The start-up chain -----------------------------------------------------------

std::vector<std::string>* StartupLog = nullptr;
TApplication* StartupApp = nullptr;
TInitProc FirstKept = nullptr;
TInitProc SecondKept = nullptr;

void FirstStartup() {
  if (FirstKept) FirstKept();
  StartupLog->push_back("first, forms " + std::to_string(StartupApp->ComponentCount()));
}

void SecondStartup() {
  if (SecondKept) SecondKept();
  StartupLog->push_back("second, forms " + std::to_string(StartupApp->ComponentCount()));
}

TEST(Application, StartupChainRunsOnceBeforeTheFirstForm) {
  std::vector<std::string> log;
  const TInitProc saved = InitProc;
  TApplication app(nullptr);
  StartupLog = &log;
  StartupApp = &app;
  // Each unit keeps the chain it found and calls it first.
  FirstKept = InitProc;
  InitProc = &FirstStartup;
  SecondKept = InitProc;
  InitProc = &SecondStartup;
  TForm* form = nullptr;
  app.CreateForm(form);
  TForm* another = nullptr;
  app.CreateForm(another);
  app.Initialize();
  InitProc = saved;
  EXPECT_TRUE(app.Initialized());
  EXPECT_EQ(log, (std::vector<std::string>{"first, forms 0", "second, forms 0"}));
}

// -- Help -----------------------------------------------------------------------------

TEST(Application, HelpRequestsCarryTheControlsContext) {
  ShownForm form(60, 60, 320, 200);
  auto* panel = Place<TPanel>(form.Form, 8, 8, 200, 80);
  panel->SetHelpContext(42);
  auto* inPanel = Place<TEdit>(panel, 8, 8, 120, 22);
  auto* own = Place<TEdit>(form.Form, 8, 100, 120, 22);
  own->SetHelpContext(7);
  auto* none = Place<TEdit>(form.Form, 8, 130, 120, 22);
  auto* menu = New<TMainMenu>(form.Form);
  TMenuItem* file = AddItem(menu->Items(), form.Form, "&File");
  TMenuItem* open = AddItem(file, form.Form, "&Open");
  open->SetHelpContext(99);
  form->SetMenu(menu);
  form.Show();

  std::vector<std::pair<WORD, LONG_PTR>> requests;
  Application->OnHelp = THelpEvent::Lambda([&](WORD command, LONG_PTR data, bool&) {
    requests.emplace_back(command, data);
    return true;
  });
  auto pressF1 = [&](TWinControl* control) {
    control->SetFocus();
    requests.clear();
    PostKey(control->Handle(), VK_F1);
    RunMessagesUntilIdle();
    return requests;
  };
  using Requests = std::vector<std::pair<WORD, LONG_PTR>>;
  EXPECT_EQ(pressF1(inPanel), (Requests{{HELP_CONTEXT, 42}}));  // the parent's context
  EXPECT_EQ(pressF1(own), (Requests{{HELP_CONTEXT, 7}}));
  EXPECT_EQ(pressF1(none), Requests{});

  // The system's help request for a window and for a menu item.
  requests.clear();
  HELPINFO info{sizeof info, HELPINFO_WINDOW, 0, own->Handle(), 0, {0, 0}};
  SendMessageA(form->Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
  HELPINFO item{sizeof item, HELPINFO_MENUITEM, static_cast<int>(open->Command()), menu->Handle(), 0, {0, 0}};
  SendMessageA(form->Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(requests, (Requests{{HELP_CONTEXT, 7}, {HELP_CONTEXT, 99}}));

  // Application events take requests too; without any handler nobody helps.
  Application->OnHelp.Clear();
  auto* events = New<TApplicationEvents>(form.Form);
  events->OnHelp = THelpEvent::Lambda([&](WORD command, LONG_PTR data, bool&) {
    requests.emplace_back(command, data);
    return true;
  });
  requests.clear();
  EXPECT_TRUE(Application->HelpCommand(HELP_CONTEXTPOPUP, 5));
  EXPECT_EQ(requests, (Requests{{HELP_CONTEXTPOPUP, 5}}));
  Free(events);
  EXPECT_FALSE(Application->HelpContext(5));
}

// -- Popup parent ------------------------------------------------------------------------

TEST(Forms, PopupParentOwnsTheWindow) {
  const THandleCounts before = HandleCounts();
  {
    TForm* parent = New<TForm>(nullptr);
    parent->SetBounds(40, 40, 200, 150);
    TForm* popup = New<TForm>(nullptr);
    popup->SetBounds(80, 80, 150, 100);
    popup->SetPopupParent(parent);
    popup->Show();
    EXPECT_EQ(GetWindow(popup->Handle(), GW_OWNER), parent->Handle());
    popup->SetPopupParent(nullptr);
    EXPECT_EQ(GetWindow(popup->Handle(), GW_OWNER), Application->Handle());
    popup->SetPopupParent(parent);
    EXPECT_EQ(GetWindow(popup->Handle(), GW_OWNER), parent->Handle());
    // The popup's window goes with its parent's; the form stays usable.
    Free(parent);
    EXPECT_EQ(popup->PopupParent(), nullptr);
    EXPECT_FALSE(popup->HandleAllocated());
    EXPECT_EQ(GetWindow(popup->Handle(), GW_OWNER), Application->Handle());
    Free(popup);
  }
  RunMessagesUntilIdle();
  EXPECT_EQ(HandleCounts(), before);
}

// -- Constraints and scale ---------------------------------------------------------------

TEST(Controls, ConstraintsClampEveryResize) {
  ShownForm form(60, 60, 400, 300);
  auto* panel = Place<TPanel>(form.Form, 10, 10, 150, 60);
  panel->Constraints()->SetMaxWidth(100);
  panel->Constraints()->SetMinHeight(30);
  EXPECT_EQ(panel->Width(), 100);  // the new limit applies at once
  panel->SetBounds(10, 10, 300, 10);
  EXPECT_EQ(panel->Width(), 100);
  EXPECT_EQ(panel->Height(), 30);
  form.Show();
  // Sized behind the control's back, the window keeps the limits too.
  SetWindowPos(panel->Handle(), nullptr, 0, 0, 400, 5, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT r;
  GetWindowRect(panel->Handle(), &r);
  EXPECT_EQ(r.right - r.left, 100);
  EXPECT_EQ(r.bottom - r.top, 30);
  EXPECT_EQ(panel->Width(), 100);
  // A maximum below the minimum moves the minimum.
  panel->Constraints()->SetMaxHeight(20);
  EXPECT_EQ(panel->Constraints()->MinHeight(), 20);
  EXPECT_EQ(panel->Height(), 20);
  // The handler may narrow the limits for one resize.
  panel->OnConstrainedResize = TConstrainedResizeEvent::Lambda([](TObject*, int&, int&, int& maxW, int&) { maxW = 60; });
  panel->SetWidth(90);
  EXPECT_EQ(panel->Width(), 60);

  // A form's limits are the window's tracking limits.
  form->Constraints()->SetMinWidth(250);
  form->Constraints()->SetMaxHeight(280);
  MINMAXINFO info{};
  SendMessageA(form->Handle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 250);
  EXPECT_EQ(info.ptMaxTrackSize.y, 280);
  form->SetBounds(60, 60, 100, 400);
  EXPECT_EQ(form->Width(), 250);
  EXPECT_EQ(form->Height(), 280);
}

TEST(Controls, ChangeScaleScalesBoundsAndFonts) {
  ShownForm form(60, 60, 400, 300);
  form->Font()->SetSize(8);
  form->SetClientSize(300, 200);
  auto* panel = Place<TPanel>(form.Form, 10, 20, 100, 50);
  auto* edit = Place<TEdit>(panel, 4, 6, 60, 20);
  edit->Font()->SetSize(10);
  auto* label = Place<TLabel>(panel, 2, 30, 40, 14);
  panel->Constraints()->SetMaxWidth(120);
  form.Show();
  const RECT before = form->BoundsRect();

  form->ScaleBy(3, 2);
  EXPECT_EQ(panel->BoundsRect().left, 15);
  EXPECT_EQ(panel->BoundsRect().top, 30);
  EXPECT_EQ(panel->Width(), 150);
  EXPECT_EQ(panel->Height(), 75);
  EXPECT_EQ(panel->Constraints()->MaxWidth(), 180);
  EXPECT_EQ(edit->Left(), 6);
  EXPECT_EQ(edit->Top(), 9);
  EXPECT_EQ(edit->Width(), 90);
  EXPECT_EQ(label->Top(), 45);
  EXPECT_EQ(form->Font()->Size(), 12);
  EXPECT_EQ(edit->Font()->Size(), 15);   // its own font scales
  EXPECT_EQ(panel->Font()->Size(), 12);  // the parent's font follows the form
  EXPECT_EQ(form->ClientWidth(), 450);
  EXPECT_EQ(form->ClientHeight(), 300);
  EXPECT_EQ(form->Left(), before.left);  // a top-level form keeps its place
  EXPECT_EQ(form->Top(), before.top);
}

// -- Reading order and 3-D look -------------------------------------------------------------

TEST(Controls, RightToLeftSetsExtendedStylesAndChildrenFollow) {
  ShownForm form(60, 60, 320, 200);
  auto* panel = Place<TPanel>(form.Form, 8, 8, 200, 80);
  auto* edit = Place<TEdit>(panel, 8, 8, 120, 22);
  auto* fixed = Place<TEdit>(form.Form, 8, 100, 120, 22);
  fixed->SetBiDiMode(bdLeftToRight);  // its own mode
  form.Show();
  constexpr LONG rtl = WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR;
  EXPECT_EQ(GetWindowLongA(edit->Handle(), GWL_EXSTYLE) & rtl, 0);

  form->SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(panel->BiDiMode(), bdRightToLeft);
  EXPECT_EQ(edit->BiDiMode(), bdRightToLeft);
  EXPECT_TRUE(edit->ParentBiDiMode());
  EXPECT_EQ(GetWindowLongA(edit->Handle(), GWL_EXSTYLE) & rtl, rtl);
  EXPECT_EQ(GetWindowLongA(panel->Handle(), GWL_EXSTYLE) & rtl, rtl);
  EXPECT_EQ(fixed->BiDiMode(), bdLeftToRight);
  EXPECT_EQ(GetWindowLongA(fixed->Handle(), GWL_EXSTYLE) & rtl, 0);

  // Reading order only: no right alignment, no left scroll bar.
  edit->SetBiDiMode(bdRightToLeftReadingOnly);
  EXPECT_FALSE(edit->ParentBiDiMode());
  EXPECT_EQ(GetWindowLongA(edit->Handle(), GWL_EXSTYLE) & rtl, WS_EX_RTLREADING);
  edit->SetParentBiDiMode(true);
  EXPECT_EQ(edit->BiDiMode(), bdRightToLeft);
  form->SetBiDiMode(bdLeftToRight);
  EXPECT_EQ(GetWindowLongA(edit->Handle(), GWL_EXSTYLE) & rtl, 0);
  // A control made later takes its parent's mode.
  form->SetBiDiMode(bdRightToLeftNoAlign);
  auto* late = Place<TEdit>(panel, 8, 40, 120, 22);
  EXPECT_EQ(late->BiDiMode(), bdRightToLeftNoAlign);
  EXPECT_EQ(GetWindowLongA(late->Handle(), GWL_EXSTYLE) & rtl, WS_EX_RTLREADING | WS_EX_LEFTSCROLLBAR);
}

TEST(Controls, Ctl3DChoosesASunkenOrFlatBorder) {
  ShownForm form(60, 60, 320, 200);
  auto* outer = Place<TPanel>(form.Form, 8, 8, 200, 120);
  auto* inner = Place<TPanel>(outer, 8, 8, 100, 60);
  inner->SetBorderStyle(bsSingle);
  form.Show();
  auto styles = [&] {
    const LONG style = GetWindowLongA(inner->Handle(), GWL_STYLE), ex = GetWindowLongA(inner->Handle(), GWL_EXSTYLE);
    return std::pair{(style & WS_BORDER) != 0, (ex & WS_EX_CLIENTEDGE) != 0};
  };
  EXPECT_EQ(styles(), (std::pair{false, true}));
  outer->SetCtl3D(false);
  EXPECT_FALSE(inner->Ctl3D());
  EXPECT_EQ(styles(), (std::pair{true, false}));
  RECT client = inner->ClientRect();
  EXPECT_EQ(client.right, 98);  // one pixel of line on each side
  inner->SetBorderStyle(bsNone);
  EXPECT_EQ(styles(), (std::pair{false, false}));
  EXPECT_EQ(inner->ClientRect().right, 100);
}

// -- Bevels and border width -------------------------------------------------------------------

TEST(Controls, BevelsAndBorderWidthTakeTheClientAreaAndPaint) {
  const THandleCounts before = HandleCounts();
  {
    ShownForm form(60, 60, 320, 200);
    auto* framed = Place<TCustomControl>(form.Form, 20, 20, 100, 80);
    framed->SetColor(clYellow);
    form.Show();
    EXPECT_EQ(framed->ClientRect().right, 100);

    framed->SetBevelKind(bkTile);
    framed->SetBevelOuter(bvRaised);
    framed->SetBevelInner(bvLowered);
    framed->SetBorderWidth(3);
    RunMessagesUntilIdle();
    RECT client = framed->ClientRect();
    EXPECT_EQ(client.right, 100 - 2 * (2 + 3));
    EXPECT_EQ(client.bottom, 80 - 2 * (2 + 3));
    POINT origin = framed->ClientOrigin();
    RECT window;
    GetWindowRect(framed->Handle(), &window);
    EXPECT_EQ(origin.x - window.left, 5);
    // Only some edges: the bevel goes where asked.
    framed->SetBevelEdges(TBevelEdges{beBottom});
    EXPECT_EQ(framed->ClientRect().bottom, 80 - 2 * 3 - 2);
    EXPECT_EQ(framed->ClientRect().right, 100 - 2 * 3);
    framed->SetBevelEdges(TBevelEdges{beLeft, beTop, beRight, beBottom});
    RedrawWindow(framed->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_UPDATENOW);
    RunMessagesUntilIdle();

    // The frame is painted on WM_NCPAINT: read the whole window as it drew
    // itself (not the screen, where other tests' windows may cover it).
    const Image pixels = ReadWindowPixels(framed->Handle());
    const uint32_t yellow = Rgb(ColorToRGB(clYellow));
    EXPECT_NE(pixels.At(0, 0), yellow);                // the bevel's outer line
    EXPECT_NE(pixels.At(1, 40), yellow);               // its inner line
    EXPECT_EQ(pixels.At(3, 40), yellow);               // the border width in the control's colour
    EXPECT_EQ(pixels.At(50, 40), yellow);              // the client area
    SaveArtefact(pixels, "platform-bevel");

    framed->SetBevelKind(bkNone);
    framed->SetBorderWidth(0);
    EXPECT_EQ(framed->ClientRect().right, 100);
  }
  RunMessagesUntilIdle();
  EXPECT_EQ(HandleCounts(), before);
}

// Regression: a form gave the focus back to its active control after that
// control had been taken off the form, which made the control's window
// without a parent and raised.
TEST(Forms, RemovedActiveControlIsNotFocusedAgain) {
  ShownForm form(60, 60, 320, 200);
  auto* panel = Place<TPanel>(form.Form, 8, 8, 200, 80);
  auto* edit = Place<TEdit>(panel, 8, 8, 120, 22);
  form.Show();
  edit->SetFocus();
  RunMessagesUntilIdle();
  ASSERT_EQ(form->ActiveControl(), edit);
  panel->SetParent(nullptr);
  EXPECT_EQ(form->ActiveControl(), nullptr);
  SetFocus(form->Handle());
  RunMessagesUntilIdle();
  EXPECT_FALSE(panel->HandleAllocated());
  EXPECT_FALSE(edit->HandleAllocated());
}

// -- A window kept across re-creation -----------------------------------------------------------

// Keeps its window when it is re-created (as a tool bar keeps its docked
// and floating windows while it moves) and takes it back.
class TKeepingControl : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  bool Keep = true;
  HWND Kept = nullptr;
  int Paints = 0;

protected:
  void DestroyWnd() override {
    if (Keep && !IsDestroying()) {
      Kept = DetachWindowHandle();
      return;
    }
    TCustomControl::DestroyWnd();
  }
  void CreateWindowHandle(const TCreateParams& Params) override {
    if (HWND wnd = Kept) {
      Kept = nullptr;
      AdoptWindowHandle(wnd, Params);
      return;
    }
    TCustomControl::CreateWindowHandle(Params);
  }
  void Paint() override {
    ++Paints;
    Canvas()->Brush()->SetColor(clAqua);
    Canvas()->FillRect(ClientRect());
  }
};

TEST(Controls, RecreatedControlAdoptsItsKeptWindow) {
  const THandleCounts before = HandleCounts();
  {
    ShownForm form(60, 60, 320, 200);
    auto* control = Place<TKeepingControl>(form.Form, 10, 10, 120, 80);
    auto* child = Place<TEdit>(control, 4, 4, 80, 22);
    form.Show();
    HWND first = control->Handle();
    const THandleCounts shown = HandleCounts();

    control->SetText("kept");
    control->SetBounds(20, 20, 130, 90);
    control->RecreateWnd();
    EXPECT_EQ(control->Handle(), first);
    EXPECT_EQ(TWinControl::FindControl(first), control);
    EXPECT_EQ(GetParent(first), form->Handle());
    EXPECT_TRUE(IsWindowVisible(first));
    EXPECT_TRUE(child->HandleAllocated());
    EXPECT_EQ(GetParent(child->Handle()), first);
    EXPECT_EQ(control->Text(), "kept");
    EXPECT_EQ(HandleCounts(), shown);
    // Messages reach the control again.
    control->Paints = 0;
    InvalidateRect(first, nullptr, TRUE);
    UpdateWindow(first);
    EXPECT_GE(control->Paints, 1);

    // A window let go of and not taken back is the keeper's to destroy.
    control->Keep = true;
    control->SetParent(nullptr);
    ASSERT_NE(control->Kept, nullptr);
    EXPECT_EQ(TWinControl::FindControl(control->Kept), nullptr);
    SendMessageA(control->Kept, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("still works"));  // the system's procedure answers
    DestroyWindow(control->Kept);
    control->Kept = nullptr;

    // Only a window of the control's own class can be taken.
    control->SetParent(form.Form);
    HWND foreign = CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, form->Handle(), nullptr, nullptr, nullptr);
    control->Keep = false;
    control->DestroyHandle();
    control->Kept = foreign;
    EXPECT_THROW(control->HandleNeeded(), EInvalidOperation);
    control->Kept = nullptr;
    DestroyWindow(foreign);
    EXPECT_NE(control->Handle(), nullptr);
  }
  RunMessagesUntilIdle();
  EXPECT_EQ(HandleCounts(), before);
}

}  // namespace
