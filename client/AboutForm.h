// The about box: the product's name, version and purpose, the maker's
// contact lines and a link label that opens the maker's web address. The
// floating box creates it once, without owner, and only hides it after.
#pragma once

#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/StdCtrls.h"

#include <functional>

class Thform : public TForm {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TForm::TForm;

  TImage* Image1 = nullptr;
  TStaticText* StaticText1 = nullptr;
  TStaticText* StaticText2 = nullptr;
  TStaticText* StaticText3 = nullptr;
  TStaticText* StaticText4 = nullptr;
  TStaticText* StaticText5 = nullptr;
  TStaticText* StaticText6 = nullptr;
  TStaticText* StaticText7 = nullptr;
  TLabel* Label2 = nullptr;
  TButton* Button1 = nullptr;

  void FormCreate(TObject* Sender);
  // Hides the box, and stops whoever set OnDeactivate from hearing of it.
  void Button1Click(TObject* Sender);
  // Opens the web address in the default browser.
  void Label2Click(TObject* Sender);
  // The link grows and turns teal under the mouse.
  void Label2MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void Label2MouseLeave(TObject* Sender);
};

// Opens a document or address with the shell's "open" verb; tests replace
// it (empty: the shell's own) and get back the one replaced.
using TShellOpen = std::function<void(const AnsiString& Target)>;
TShellOpen SetShellOpen(TShellOpen open);
