// The window-creation manager and the form skinner's attachment: which
// windows attach, the requests, the client size across attaching and
// undoing, a dialog growing to its caption, skin data going away, and the
// handles over many attach and restore cycles.
#include "platform/Forms.h"
#include "platform/ThreadHook.h"
#include "platform/WindowSubclass.h"
#include "skin/SkinManage.h"
#include "skin/SkinVersion.h"
#include "skin/WinSkinForm.h"
#include "tests/skin/SkinFormTest.h"
#include "tests/skin/SkinTestUtil.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

using namespace skin_tests;
using namespace testing_support;

constexpr RECT kHouseFrame{4, 30, 4, 4};  // frameleft 8 / 2, frametop 60 / 2, frameright 8 / 2, framebottom 8 / 2

// Sizes as (width, height).
using TSize = std::pair<int, int>;
TSize ClientSize(HWND wnd) {
  RECT r{};
  GetClientRect(wnd, &r);
  return {r.right, r.bottom};
}
TSize WindowSize(HWND wnd) {
  RECT r{};
  GetWindowRect(wnd, &r);
  return {r.right - r.left, r.bottom - r.top};
}

LRESULT IsSkinned(HWND wnd) { return SendMessageA(wnd, SM_ISSKINNED, 0, 0); }

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

class SkinManageTest : public SkinFormTest {
protected:
  void SetUp() override { FHooksBefore = TThreadHook::SystemHookCount(hkCBT); }
  int FHooksBefore = 0;
};

TEST_F(SkinManageTest, AFormAttachesOnActivationAndIsGivenBackWithItsClientSize) {
  TSkinData* data = MakeSkinData();
  TSkinManage* manager = SkinManager();
  ASSERT_NE(manager, nullptr);
  EXPECT_TRUE(manager->SwitchedOn());
  EXPECT_FALSE(manager->RequestTimer()->Enabled()) << "no window was activated yet";
  TForm* form = MakeForm("Skinned form");
  form->SetColor(RGB(10, 20, 30));
  form->HandleNeeded();
  const TSize client = ClientSize(form->Handle());
  EXPECT_EQ(IsSkinned(form->Handle()), 0) << "before";

  ShowAndActivate(form);
  TWinSkinForm* skinner = WaitForSkinner(form->Handle());
  ASSERT_NE(skinner, nullptr);
  EXPECT_EQ(IsSkinned(form->Handle()), 1) << "after";
  EXPECT_EQ(skinner->Form(), form);
  EXPECT_EQ(skinner->Owner(), form);
  EXPECT_EQ(skinner->SkinData(), data);
  EXPECT_EQ(skinner->State(), TWinSkinForm::stNormal);
  EXPECT_EQ(skinner->BorderKind(), TWinSkinForm::bkSizeable);
  EXPECT_TRUE(SameRect(kHouseFrame, skinner->FrameSize())) << "the frame thickness of the house skin";
  EXPECT_EQ(ClientSize(form->Handle()), client);
  EXPECT_EQ(WindowSize(form->Handle()), (TSize{client.first + 8, client.second + 34}));
  EXPECT_EQ(form->Color(), RGB(0xEC, 0xEF, 0xF3)) << "the skin's ButtonFace";
  EXPECT_EQ(GetWindowLongA(form->Handle(), GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0)
      << "the system draws no caption buttons of its own";
  EXPECT_EQ(manager->ActivationCount(), 1);

  // 0x3503 again changes nothing: the client keeps its size.
  SendMessageA(form->Handle(), SM_INITSKIN, 0, 1000);
  EXPECT_EQ(ClientSize(form->Handle()), client);

  // Unskinning every window gives the form its look back.
  int changes = 0;
  data->OnSkinChanged = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  data->SetActive(false);
  EXPECT_TRUE(manager->RequestTimer()->Enabled());
  ASSERT_TRUE(RunMessagesUntil([&] { return changes == 1; }));
  EXPECT_EQ(manager->FindFormSkinner(form->Handle()), nullptr);
  EXPECT_EQ(IsSkinned(form->Handle()), 0);
  EXPECT_EQ(ClientSize(form->Handle()), client);
  EXPECT_EQ(form->Color(), RGB(10, 20, 30));
  EXPECT_NE(GetWindowLongA(form->Handle(), GWL_STYLE) & WS_MAXIMIZEBOX, 0);
  EXPECT_FALSE(manager->SwitchedOn());
}

TEST_F(SkinManageTest, AMessageBoxAttachesWithADialogFrame) {
  MakeSkinData();
  LRESULT answered = -1;
  int borderKind = -1;
  bool dialog = false;
  // The box is modal: a step run from inside its loop looks until the box
  // is skinned and closes it.
  TModalStep step([&](bool last) {
    HWND box = FindWindowA("#32770", "Skinned box");
    TWinSkinForm* skinner = box ? SkinManager()->FindFormSkinner(box) : nullptr;
    if (!skinner || !skinner->Initialised()) {
      if (last && box) PostMessageA(box, WM_COMMAND, IDOK, 0);
      return false;
    }
    answered = IsSkinned(box);
    borderKind = skinner->BorderKind();
    dialog = skinner->IsDialog();
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    return true;
  });
  step.Post();
  MessageBoxA(nullptr, "A message", "Skinned box", MB_OK);
  EXPECT_EQ(answered, 1);
  EXPECT_EQ(borderKind, TWinSkinForm::bkDialog);
  EXPECT_TRUE(dialog);
}

TEST_F(SkinManageTest, AnMDIChildAttachesAsItIsCreated) {
  MakeSkinData();
  TForm* frame = MakeForm("MDI frame", 40, 40, 560, 420);
  frame->SetFormStyle(fsMDIForm);
  ShowAndActivate(frame);
  TWinSkinForm* frameSkinner = WaitForSkinner(frame->Handle());
  ASSERT_NE(frameSkinner, nullptr);
  EXPECT_EQ(frameSkinner->MDIRole(), TWinSkinForm::mrFrame);
  EXPECT_EQ(SkinManager()->MDIClient(), frame->ClientHandle());

  TForm* child = New<TForm>(nullptr);
  FForms.push_back(child);
  child->SetFormStyle(fsMDIChild);
  child->SetCaption("Child");
  child->SetBounds(10, 10, 220, 150);
  child->Show();
  TWinSkinForm* skinner = WaitForSkinner(child->Handle());
  ASSERT_NE(skinner, nullptr);
  EXPECT_EQ(skinner->MDIRole(), TWinSkinForm::mrChild);
  EXPECT_EQ(skinner->Form(), child) << "found while its window was being created";
  EXPECT_EQ(IsSkinned(child->Handle()), 1);
  EXPECT_TRUE(SameRect(kHouseFrame, skinner->FrameSize()));

  // A child with Tag 99 stays native.
  TForm* native = New<TForm>(nullptr);
  FForms.push_back(native);
  native->SetFormStyle(fsMDIChild);
  native->SetTag(99);
  native->SetBounds(40, 40, 200, 120);
  native->Show();
  RunMessagesUntilIdle();
  EXPECT_EQ(SkinManager()->FindFormSkinner(native->Handle()), nullptr);
  EXPECT_EQ(IsSkinned(native->Handle()), 0);
}

// A top-level window of its own class, made by this module.
class TClassWindow {
public:
  explicit TClassWindow(const char* className) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    // A class that exists already (the application's) is used as it is.
    FRegistered = RegisterClassA(&wc) != 0;
    FClass = className;
    FHandle = CreateWindowExA(0, className, className, WS_OVERLAPPEDWINDOW, 100, 100, 200, 150, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  }
  ~TClassWindow() {
    DestroyWindow(FHandle);
    if (FRegistered) UnregisterClassA(FClass.c_str(), GetModuleHandleA(nullptr));
  }
  HWND Handle() const { return FHandle; }

private:
  HWND FHandle;
  AnsiString FClass;
  bool FRegistered = false;
};

TEST_F(SkinManageTest, WindowsTheManagerRefuses) {
  TSkinData* data = MakeSkinData();
  TSkinManage* manager = SkinManager();
  struct Case {
    const char* ClassName;
    bool Preview;
    bool Attaches;
  };
  const Case cases[] = {
      {"TcxPopupEditPopupWindow", false, false}, {"MyTcxPopupEditPopupWindowEx", false, false},
      {"TTERenderWindow", false, false},         {"TApplicationX", false, true},
      {"TPrintPreviewForm", false, false},       {"TPrintPreviewForm", true, true},
      {"tpopupdbtreeview", false, false},        {"SysMonthCal32", false, false},
      {"PlainWindow", false, true},          {"TApplication", false, false},
  };
  for (const Case& c : cases) {
    TSkinOptions options = data->Options();
    if (c.Preview) options.Include(xoPreview); else options.Exclude(xoPreview);
    data->SetOptions(options);
    TClassWindow window(c.ClassName);
    ASSERT_NE(window.Handle(), nullptr) << c.ClassName;
    EXPECT_EQ(manager->AttachWindow(window.Handle()), c.Attaches) << c.ClassName << " preview " << c.Preview;
    RunMessagesUntilIdle();
    EXPECT_EQ(IsSkinned(window.Handle()) == 1, c.Attaches) << c.ClassName;
  }
  // The application's hidden window.
  EXPECT_FALSE(manager->AttachWindow(Application->Handle()));
  // A form whose Tag is 99, whatever DisableTag holds.
  data->SetDisableTag(5);
  TForm* form = MakeForm("Tag 99");
  form->SetTag(99);
  ShowAndActivate(form);
  EXPECT_FALSE(manager->AttachWindow(form->Handle()));
  EXPECT_EQ(manager->FindFormSkinner(form->Handle()), nullptr);
  // OnFormSkin decides alone.
  data->OnFormSkin = TOnFormSkin::Lambda([](TObject*, const AnsiString& name, bool& doSkin) { doSkin = name != "Vetoed"; });
  {
    TClassWindow vetoed("Vetoed"), calendar("SysMonthCal32");
    EXPECT_FALSE(manager->AttachWindow(vetoed.Handle()));
    EXPECT_TRUE(manager->AttachWindow(calendar.Handle()));
    EXPECT_EQ(data->FormSkinWindow(), calendar.Handle());
    RunMessagesUntilIdle();
  }
}

TEST_F(SkinManageTest, ActiveBeforeAnyActivationStartsNoTimerAndTheFirstActivationAttaches) {
  TSkinData* data = MakeSkinData(false);
  TSkinManage* manager = SkinManager();
  EXPECT_FALSE(manager->SwitchedOn());
  data->SetActive(true);
  EXPECT_FALSE(manager->RequestTimer()->Enabled());
  EXPECT_TRUE(manager->SwitchedOn());
  EXPECT_EQ(manager->PendingRequest(), srSkinAll);
  data->SetActive(true);  // the same value: nothing happens
  TForm* form = MakeForm("First");
  ShowAndActivate(form);
  EXPECT_NE(WaitForSkinner(form->Handle()), nullptr);
}

TEST_F(SkinManageTest, ASecondRequestReplacesTheFirst) {
  TSkinData* data = MakeSkinData();
  TSkinManage* manager = SkinManager();
  TForm* form = MakeForm("Requests");
  ShowAndActivate(form);
  ASSERT_NE(WaitForSkinner(form->Handle()), nullptr);
  int changes = 0;
  data->OnSkinChanged = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  manager->Request(data, srReskin, 50);
  manager->Request(data, srUnskinAll, 60);
  EXPECT_EQ(manager->PendingRequest(), srUnskinAll);
  EXPECT_EQ(manager->RequestTimer()->Interval(), 60u);
  ASSERT_TRUE(RunMessagesUntil([&] { return changes > 0; }));
  EXPECT_TRUE(RunTimerTicks(60, 3));
  EXPECT_EQ(changes, 1) << "one request carried out";
  EXPECT_EQ(manager->FindFormSkinner(form->Handle()), nullptr);
  EXPECT_FALSE(manager->RequestTimer()->Enabled());
}

TEST_F(SkinManageTest, AForeignWindowKeepsItsClientSizeAcrossAttachingAndRestoring) {
  MakeSkinData();
  TSkinManage* manager = SkinManager();
  // Not shown: activation would attach it through the hook.
  TestWindow window(300, 180, {}, "Foreign window", WS_OVERLAPPEDWINDOW);
  const TSize client = ClientSize(window.Handle());
  ASSERT_TRUE(manager->AttachWindow(window.Handle()));
  TWinSkinForm* skinner = WaitForSkinner(window.Handle());
  ASSERT_NE(skinner, nullptr);
  EXPECT_EQ(skinner->Form(), nullptr);
  EXPECT_EQ(skinner->Owner(), nullptr);
  EXPECT_EQ(ClientSize(window.Handle()), client);
  EXPECT_EQ(WindowSize(window.Handle()), (TSize{client.first + 8, client.second + 34}));
  // The client area is erased with the skin's ButtonFace.
  ShowWindow(window.Handle(), SW_SHOWNOACTIVATE);
  InvalidateRect(window.Handle(), nullptr, TRUE);
  UpdateWindow(window.Handle());
  EXPECT_EQ(ReadClientPixels(window.Handle()).At(5, 5), 0xECEFF3u);

  manager->Request(skinner->SkinData(), srUnskinAll, 0);
  manager->DoRequest();
  EXPECT_EQ(manager->FindFormSkinner(window.Handle()), nullptr);
  EXPECT_EQ(ClientSize(window.Handle()), client);
  EXPECT_EQ(IsSkinned(window.Handle()), 0);
}

TEST_F(SkinManageTest, ANarrowDialogWidensAndItsControlsMoveRightByHalf) {
  MakeSkinData();
  const wchar_t* caption = L"A dialog whose caption is far wider than the dialog";
  TDialogTemplate t = TDialogTemplate::WithButton(caption, 60, 40);
  HWND dialog = CreateDialogIndirectParamW(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEW>(t.Words.data()),
                                           nullptr, &PlainDialogProc, 0);
  ASSERT_NE(dialog, nullptr);
  HWND button = GetDlgItem(dialog, IDOK);
  RECT before{};
  GetWindowRect(button, &before);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&before), 2);
  const TSize client = ClientSize(dialog);
  ShowWindow(dialog, SW_SHOW);
  SetForegroundWindow(dialog);
  TWinSkinForm* skinner = WaitForSkinner(dialog);
  ASSERT_NE(skinner, nullptr);
  EXPECT_TRUE(skinner->IsDialog());
  EXPECT_EQ(skinner->BorderKind(), TWinSkinForm::bkDialog);

  SIZE text{};
  {
    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, skinner->CaptionFont()->Handle());
    GetTextExtentPoint32W(screen, caption, static_cast<int>(wcslen(caption)), &text);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
  }
  const int narrow = client.first + 8;
  const int wanted = 26 + text.cx + 72;  // TextShift + text + TextRightClip
  ASSERT_LT(narrow, wanted);
  EXPECT_EQ(WindowSize(dialog).first, wanted);
  RECT after{};
  GetWindowRect(button, &after);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&after), 2);
  EXPECT_EQ(after.left, before.left + (wanted - narrow) / 2);
  EXPECT_EQ(after.top, before.top);
  DestroyWindow(dialog);
  EXPECT_EQ(skinner->State(), TWinSkinForm::stClosed);
  SkinManager()->Purge();
  EXPECT_EQ(SkinManager()->FindFormSkinner(dialog), nullptr) << "freed once its window is gone";
}

TEST_F(SkinManageTest, FreeingOneOfTwoSkinDataRepointsItsWindows) {
  TSkinData* first = MakeSkinData();
  TSkinData* second = MakeSkinData(true, HouseVariant([](AnsiString& ini) { SetKey(ini, "Personality", "LeftFrame", "1"); }));
  EXPECT_EQ(SkinManager()->MainSkinData(), first);
  TForm* form = MakeForm("Two skins");
  form->HandleNeeded();
  const TSize client = ClientSize(form->Handle());
  ShowAndActivate(form);
  TWinSkinForm* skinner = WaitForSkinner(form->Handle());
  ASSERT_NE(skinner, nullptr);
  EXPECT_EQ(skinner->SkinData(), second) << "the last registered main-form skin data";
  EXPECT_EQ(skinner->FrameSize().left, 8);
  EXPECT_EQ(ClientSize(form->Handle()), client);

  // The client frees the sign-in form's skin data while other windows live on.
  std::erase(FSkinDatas, second);
  Free(second);
  RunMessagesUntilIdle();
  ASSERT_EQ(SkinManager()->FindFormSkinner(form->Handle()), skinner);
  EXPECT_EQ(skinner->SkinData(), first);
  EXPECT_EQ(skinner->FrameSize().left, 4);
  EXPECT_EQ(ClientSize(form->Handle()), client);
  EXPECT_EQ(IsSkinned(form->Handle()), 1);

  // With no skin data left the windows get their own look back.
  std::erase(FSkinDatas, first);
  Free(first);
  RunMessagesUntilIdle();
  EXPECT_EQ(SkinManager()->FindFormSkinner(form->Handle()), nullptr);
  EXPECT_EQ(IsSkinned(form->Handle()), 0);
  EXPECT_EQ(ClientSize(form->Handle()), client);
  EXPECT_EQ(SkinManager()->MainSkinData(), nullptr);
}

TEST_F(SkinManageTest, AfterTheManagerGoesTheHookOnlyPassesEventsOn) {
  MakeSkinData();
  EXPECT_TRUE(SkinHookInstalled());
  EXPECT_FALSE(SkinHookDisabled());
  for (TSkinData* data : FSkinDatas) Free(data);
  FSkinDatas.clear();
  FreeSkinManager();
  EXPECT_TRUE(SkinHookDisabled());
  EXPECT_EQ(SkinManager(), nullptr);
  TForm* form = MakeForm("After the manager");
  ShowAndActivate(form);
  RunMessagesUntilIdle();
  EXPECT_EQ(IsSkinned(form->Handle()), 0);
  // A new skin data brings a new manager and the hook back.
  MakeSkinData();
  EXPECT_FALSE(SkinHookDisabled());
  EXPECT_TRUE(SkinHookInstalled());
  EXPECT_EQ(TThreadHook::SystemHookCount(hkCBT), 1);
}

TEST_F(SkinManageTest, PopupMenuWindowsAttachAndDetach) {
  MakeSkinData();
  TSkinManage* manager = SkinManager();
  HWND menu = CreateWindowExA(0, "#32768", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(manager->IsMenuSkinned(menu));
  EXPECT_EQ(manager->MenuSkinnerCount(), 1);
  EXPECT_EQ(IsSkinned(menu), 1);
  EXPECT_FALSE(manager->AttachMenu(menu)) << "once";
  manager->SetMenuBarTracking(true);
  manager->SetMenuMode(1);
  DestroyWindow(menu);
  EXPECT_EQ(manager->MenuSkinnerCount(), 0);
  EXPECT_FALSE(manager->MenuBarTracking());
  EXPECT_EQ(manager->MenuMode(), 0);
  // Without xcPopupMenu a context menu stays the system's.
  TSkinData* data = manager->MainSkinData();
  data->SetSkinControls(data->SkinControls() - xcPopupMenu);
  HWND plain = CreateWindowExA(0, "#32768", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  EXPECT_FALSE(manager->IsMenuSkinned(plain));
  EXPECT_EQ(IsSkinned(plain), 0);
  DestroyWindow(plain);
}

TEST_F(SkinManageTest, WindowsVersionBranches) {
  TSkinData* data = MakeSkinData();
  TSkinManage* manager = SkinManager();
  struct Case {
    const char* Name;
    TSkinWindowsVersion Version;
    bool KeepsSysMenu;    // major above 4 and minor 0: WS_SYSMENU stays while painting
    bool SystemMenuSkin;  // the Windows 9x family skins no system menu
  };
  const Case cases[] = {
      {"Windows 7", {6, 1, true}, false, true},   {"Vista", {6, 0, true}, true, true},
      {"Windows 2000", {5, 0, true}, true, true}, {"NT 4", {4, 0, true}, false, true},
      {"Windows 98", {4, 10, false}, false, false},
  };
  for (const Case& c : cases) {
    data->SetSkinControls(data->SkinControls() + xcSystemMenu);
    SetSkinWindowsVersion(c.Version);
    TestWindow window(200, 100, {}, c.Name, WS_OVERLAPPEDWINDOW);
    ASSERT_TRUE(manager->AttachWindow(window.Handle())) << c.Name;
    TWinSkinForm* skinner = manager->FindFormSkinner(window.Handle());
    EXPECT_EQ((skinner->Capabilities() & TWinSkinForm::cfKeepSysMenu) != 0, c.KeepsSysMenu) << c.Name;
    EXPECT_EQ(data->SkinControls().Contains(xcSystemMenu), c.SystemMenuSkin) << c.Name;
    RunMessagesUntilIdle();
  }
  ResetSkinWindowsVersion();
  RunMessagesUntilIdle();
}

TEST_F(SkinManageTest, HandleCountsStayFlatOver200AttachAndRestoreCycles) {
  TSkinData* data = MakeSkinData();
  TSkinManage* manager = SkinManager();
  manager->SetActivationCount(1);
  TForm* form = MakeForm("Cycles");
  AddMenuBar(form);  // the skinned bar comes and goes with the skinner
  form->Show();
  TestWindow foreign(200, 120, {}, "Foreign");
  const TSize formClient = ClientSize(form->Handle());
  const TSize foreignClient = ClientSize(foreign.Handle());
  const auto cycle = [&] {
    manager->Request(data, srSkinAll, 0);
    manager->DoRequest();
    manager->AttachWindow(foreign.Handle());
    RunMessagesUntilIdle();
    ASSERT_NE(manager->FindFormSkinner(form->Handle()), nullptr);
    ASSERT_NE(manager->FindFormSkinner(foreign.Handle()), nullptr);
    manager->Request(data, srUnskinAll, 0);
    manager->DoRequest();
    RunMessagesUntilIdle();
  };
  cycle();
  const THandleCounts before = HandleCounts();
  const int records = TWindowSubclass::RecordCount();
  for (int i = 0; i < 200; ++i) {
    cycle();
    if (HasFatalFailure()) return;
  }
  EXPECT_EQ(HandleCounts(), before);
  EXPECT_EQ(TWindowSubclass::RecordCount(), records);
  EXPECT_EQ(ClientSize(form->Handle()), formClient);
  EXPECT_EQ(ClientSize(foreign.Handle()), foreignClient);
}

}  // namespace
