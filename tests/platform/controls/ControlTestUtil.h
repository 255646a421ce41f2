// Shared by the controls and forms tests: a form on the virtual display,
// a recorder of messages, and a dialog handler that answers instead of the
// user.
#pragma once

#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "platform/Bitmap.h"
#include "platform/ImageList.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace control_tests {

// Answers every dialog of the class library (with `Answer`, OK by default)
// and keeps the requests; the previous handler comes back at the end.
class DialogCapture {
public:
  DialogCapture() {
    FOld = SetDialogHandler(TDialogHandler::Lambda([this](TDialogRequest& request) {
      Requests.push_back(request);
      return Answer ? Answer(request) : IDOK;
    }));
  }
  ~DialogCapture() { SetDialogHandler(FOld); }
  DialogCapture(const DialogCapture&) = delete;
  DialogCapture& operator=(const DialogCapture&) = delete;

  std::vector<TDialogRequest> Requests;
  std::function<int(TDialogRequest&)> Answer;

private:
  TDialogHandler FOld;
};

// A dialog nobody answers would wait for a user who never comes, and the
// test program would stop without a word: such a dialog fails the test that
// raised it instead. Each test program registers it once
// (::testing::AddGlobalTestEnvironment).
class UnansweredDialogsFail : public ::testing::Environment {
public:
  void SetUp() override {
    FOld = SetDialogHandler(TDialogHandler::Lambda([](TDialogRequest& request) {
      ADD_FAILURE() << "a dialog nobody answers: \"" << request.Caption << "\" " << request.Text;
      return IDCANCEL;
    }));
  }
  void TearDown() override { SetDialogHandler(FOld); }

private:
  TDialogHandler FOld;
};

// A form shown at a fixed place of the screen, freed at the end.
class ShownForm {
public:
  ShownForm(int left, int top, int width, int height, const char* caption = "Mevra test") {
    Form = New<TForm>(nullptr);
    Form->SetBounds(left, top, width, height);
    Form->SetCaption(caption);
  }
  ~ShownForm() { Free(Form); }
  ShownForm(const ShownForm&) = delete;
  ShownForm& operator=(const ShownForm&) = delete;
  void Show() {
    Form->Show();
    SetForegroundWindow(Form->Handle());
    testing_support::RunMessagesUntil([&] { return Form->Active(); }, 2000);
    testing_support::RunMessagesUntilIdle();
  }
  TForm* operator->() const { return Form; }
  TForm* Form;
};

template <class T>
T* Place(TWinControl* parent, int left, int top, int width, int height) {
  T* control = New<T>(parent->Owner() ? parent->Owner() : parent);
  control->SetParent(parent);
  control->SetBounds(left, top, width, height);
  return control;
}

// Adds a 16 x 16 square of each colour to an image list.
inline void AddSquares(TCustomImageList* images, std::initializer_list<TColor> colours) {
  for (TColor colour : colours) {
    TBitmap image;
    image.SetSize(16, 16);
    image.Canvas()->Brush()->SetColor(colour);
    image.Canvas()->FillRect(RECT{0, 0, 16, 16});
    images->Add(&image, nullptr);
  }
}

// Records the messages a control's handler receives (by number) while
// passing them on.
class MessageRecorder {
public:
  MessageRecorder(TControl* control, std::vector<UINT> wanted) : FControl(control), FWanted(std::move(wanted)) {
    FOld = control->WindowProc;
    control->WindowProc = TWndMethod::Lambda([this](TMessage& m) {
      for (UINT w : FWanted)
        if (m.Msg == w) Log.push_back(m.Msg);
      FOld(m);
    });
  }
  ~MessageRecorder() { FControl->WindowProc = FOld; }
  MessageRecorder(const MessageRecorder&) = delete;
  MessageRecorder& operator=(const MessageRecorder&) = delete;
  std::vector<UINT> Log;

private:
  TControl* FControl;
  std::vector<UINT> FWanted;
  TWndMethod FOld;
};

}  // namespace control_tests
