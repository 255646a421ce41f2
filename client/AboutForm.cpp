#include "client/AboutForm.h"

#include "platform/Properties.h"

#include <shellapi.h>

const TClassInfo Thform::ClassInfo{"Thform", &TForm::ClassInfo, [](TObject* owner) -> TObject* {
                                     return new Thform(static_cast<TComponent*>(owner));
                                   }};

namespace {

const TPublishedRegistration aboutFormRegistration(&Thform::ClassInfo, {
    Method<&Thform::FormCreate>("FormCreate"),
    Method<&Thform::Button1Click>("Button1Click"),
    Method<&Thform::Label2Click>("Label2Click"),
    Method<&Thform::Label2MouseMove>("Label2MouseMove"),
    Method<&Thform::Label2MouseLeave>("Label2MouseLeave"),
    Field<&Thform::Image1>("Image1"),
    Field<&Thform::StaticText1>("StaticText1"),
    Field<&Thform::StaticText2>("StaticText2"),
    Field<&Thform::StaticText3>("StaticText3"),
    Field<&Thform::StaticText4>("StaticText4"),
    Field<&Thform::StaticText5>("StaticText5"),
    Field<&Thform::StaticText6>("StaticText6"),
    Field<&Thform::StaticText7>("StaticText7"),
    Field<&Thform::Label2>("Label2"),
    Field<&Thform::Button1>("Button1"),
});

TShellOpen ShellOpenReplacement;

void ShellOpen(const AnsiString& target) {
  if (ShellOpenReplacement) ShellOpenReplacement(target);
  else ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

}  // namespace

TShellOpen SetShellOpen(TShellOpen open) { return std::exchange(ShellOpenReplacement, std::move(open)); }

void Thform::FormCreate(TObject*) {
  SetWindowLongPtrA(Handle(), GWL_EXSTYLE, GetWindowLongPtrA(Handle(), GWL_EXSTYLE) | WS_EX_TOPMOST);
}

void Thform::Button1Click(TObject*) {
  OnDeactivate = {};
  Hide();
}

void Thform::Label2Click(TObject*) { ShellOpen(Label2->Caption()); }

void Thform::Label2MouseMove(TObject*, TShiftState, int, int) {
  Label2->Font()->SetColor(static_cast<TColor>(0x808000));
  Label2->Font()->SetSize(16);
}

void Thform::Label2MouseLeave(TObject*) {
  Label2->Font()->SetColor(clBlack);
  Label2->Font()->SetSize(12);
}
