// Mevra's entry point. For now a single form captioned with the program's
// title; closing it ends the program cleanly.
#include "platform/Forms.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    Application->SetTitle("Mevra");
    TForm* mainForm = nullptr;
    Application->CreateForm(mainForm);
    mainForm->SetCaption("Mevra0.46");
    mainForm->SetPosition(poScreenCenter);
    mainForm->SetBounds(0, 0, 320, 200);
    Application->Run();
  } catch (...) {
    Application->HandleException(nullptr);
    return 1;
  }
  return 0;
}
