// The fixture of the tests that skin real windows: skin data made as a form
// streams them, forms freed before their skin data, the manager freed after
// each test, and waiting for a window's skinner to take its first layout.
#pragma once

#include "platform/Forms.h"
#include "platform/Menus.h"
#include "skin/SkinManage.h"
#include "skin/WinSkinForm.h"
#include "tests/skin/SkinTestUtil.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

namespace skin_tests {

// Runs `step` again and again from this thread's message loop (also inside
// a modal loop: a message box, a menu) until it answers true, at most
// `tries` times; the last time it is told so (`last`), to end the modal loop
// anyway. It runs from a timer, whose messages come after input: a step
// that posted itself again would keep the loop from ever taking the keys
// and clicks a test sends. Start it, then start the modal loop.
class TModalStep {
public:
  explicit TModalStep(std::function<bool(bool last)> step, int tries = 2000)
      : FStep(std::move(step)), FTries(tries),
        FWindow(10, 10, [this](HWND wnd, UINT msg, WPARAM, LPARAM, LRESULT&) {
          if (msg != WM_TIMER) return false;
          if (FDone || FRunning) return true;
          FRunning = true;  // a step may run a modal loop of its own
          --FTries;
          FDone = FStep(FTries <= 0) || FTries <= 0;
          FRunning = false;
          if (FDone) KillTimer(wnd, 1);
          return true;
        }, "modal step", WS_POPUP) {}
  void Post() { SetTimer(FWindow.Handle(), 1, 10, nullptr); }
  bool Done() const { return FDone; }

private:
  std::function<bool(bool)> FStep;
  int FTries;
  bool FDone = false;
  bool FRunning = false;
  testing_support::TestWindow FWindow;
};

inline TMenuItem* NewMenuItem(TComponent* owner, const char* caption, TMenuItem* parent) {
  auto* item = new TMenuItem(owner);
  item->SetCaption(caption);
  if (parent) parent->Add(item);
  return item;
}

// A menu bar of three drop-downs (File, Edit, Help), each with Open, Save,
// a separator and Exit.
inline TMainMenu* AddMenuBar(TForm* form) {
  auto* menu = new TMainMenu(form);
  for (const char* caption : {"&File", "&Edit", "&Help"}) {
    TMenuItem* item = NewMenuItem(form, caption, menu->Items());
    for (const char* sub : {"&Open", "&Save", "-", "E&xit"}) NewMenuItem(form, sub, item);
  }
  form->SetMenu(menu);
  return menu;
}

// The procedure of a dialog that does nothing of its own.
inline INT_PTR CALLBACK PlainDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// A dialog template in memory.
struct TDialogTemplate {
  std::vector<WORD> Words;
  void Align() {
    if (Words.size() % 2) Words.push_back(0);
  }
  void Text(const wchar_t* text) {
    for (; *text; ++text) Words.push_back(*text);
    Words.push_back(0);
  }
  void DWord(DWORD v) {
    Words.push_back(LOWORD(v));
    Words.push_back(HIWORD(v));
  }
  // A modal-frame dialog (x, y, cx, cy in dialog units) with one OK button.
  static TDialogTemplate WithButton(const wchar_t* caption, short cx, short cy) {
    TDialogTemplate t;
    t.DWord(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
    t.DWord(0);
    t.Words.push_back(1);  // one control
    for (short v : {short(10), short(10), cx, cy}) t.Words.push_back(static_cast<WORD>(v));
    t.Words.push_back(0);  // no menu
    t.Words.push_back(0);  // the standard class
    t.Text(caption);
    t.Align();
    t.DWord(WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON);
    t.DWord(0);
    for (WORD v : {WORD(4), WORD(4), WORD(30), WORD(12), WORD(IDOK)}) t.Words.push_back(v);
    t.Words.push_back(0xFFFF);
    t.Words.push_back(0x0080);  // button
    t.Text(L"OK");
    t.Words.push_back(0);  // no creation data
    return t;
  }
};

class SkinFormTest : public ::testing::Test {
protected:
  void TearDown() override {
    for (auto it = FForms.rbegin(); it != FForms.rend(); ++it) Free(*it);
    FForms.clear();
    for (auto it = FSkinDatas.rbegin(); it != FSkinDatas.rend(); ++it) Free(*it);
    FSkinDatas.clear();
    FreeSkinManager();
    testing_support::RunMessagesUntilIdle();
    // The unit's own hook goes with the manager; the next skin data brings it back.
    InstallSkinHook();
  }

  // A skin data as a form would stream it: properties, the package, Loaded.
  TSkinData* MakeSkinData(bool active = true, const AnsiString& package = HouseSkinFile(),
                          TSkinFormType type = sfMainform, TComponent* owner = nullptr) {
    auto* data = New<TSkinData>(owner);
    data->BeginLoading();
    data->SetSkinFormtype(type);
    data->SetActive(active);
    data->SetPackage(package);
    data->LoadSkin();
    data->Loaded();
    FSkinDatas.push_back(data);
    return data;
  }

  TForm* MakeForm(const char* caption, int left = 60, int top = 60, int width = 320, int height = 200) {
    TForm* form = New<TForm>(nullptr);
    form->SetCaption(caption);
    form->SetBounds(left, top, width, height);
    FForms.push_back(form);
    return form;
  }

  void ShowAndActivate(TForm* form) {
    form->Show();
    SetForegroundWindow(form->Handle());
    testing_support::RunMessagesUntil([&] { return GetActiveWindow() == form->Handle(); }, 2000);
  }

  // Waits until the window's skinner has taken its first layout.
  static TWinSkinForm* WaitForSkinner(HWND wnd) {
    TWinSkinForm* skinner = nullptr;
    testing_support::RunMessagesUntil([&] {
      skinner = SkinManager() ? SkinManager()->FindFormSkinner(wnd) : nullptr;
      return skinner && skinner->Initialised();
    });
    return skinner && skinner->Initialised() ? skinner : nullptr;
  }

  std::vector<TForm*> FForms;
  std::vector<TSkinData*> FSkinDatas;
};

}  // namespace skin_tests
