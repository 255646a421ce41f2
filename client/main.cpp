// Mevra's entry point: the program's units in their fixed order, then the
// floating drop box, the main form, built from its form resource
// (DropBox.mvf); closing it ends the program cleanly.
#include "bars/model/BarGlobals.h"
#include "client/DropBox.h"
#include "client/HtmlEdit.h"
#include "client/SignIn.h"
#include "client/SharedState.h"
#include "editors/framework/EditorUnits.h"
#include "editors/masked/MaskEditUnits.h"
#include "foundation/FoundationUnits.h"
#include "gif/GIFImage.h"
#include "panels/PanelsUnits.h"
#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "platform/Units.h"
#include "skin/SkinUnit.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    // The forms unit comes last: its forms go first, while the units they
    // use are still there.
    TUnitScope units{
        dxGDIPlusAPIUnit,
        dxGDIPlusClassesUnit,
        cxClassesUnit,
        dxUxThemeUnit,
        dxThemeManagerUnit,
        dxOffice11Unit,
        cxGeometryUnit,
        cxLookAndFeelsUnit,
        cxLookAndFeelPaintersUnit,
        cxControlsUnit,
        cxGraphicsUnit,
        cxDWMApiUnit,
        cxContainerUnit,
        cxAccessibilityUnit,
        dxFadingUnit,
        cxStylesUnit,
        RzShellUnit,
        RzShellUtilsUnit,
        RzCommonUnit,
        cxDataStorageUnit,
        cxEditPaintUtilsUnit,
        cxEditUtilsUnit,
        cxEditUnit,
        cxFormatsUnit,
        cxTextEditUnit,
        cxMemoUnit,
        cxCheckBoxUnit,
        cxLabelUnit,
        cxMaskEditUnit,
        cxSpinEditUnit,
        dxBarUnit,
        {"GIFImage", &GIFImageInit, &GIFImageFinal},
        SharedStateUnit,
        HtmlEditUnit,
        SkinUnit,
        FormsUnit,
    };
    try {
      Application->SetTitle("Mevra0.46");
      // The box is the main form, hidden until the sign-in window shows it.
      Application->SetShowMainForm(false);
      Tmform* mainForm = nullptr;
      Application->CreateForm(mainForm);
      Application->CreateForm(Formreg);
      Application->CreateForm(formrega);
      Application->CreateForm(frmbkpwd);
      Application->Run();
    } catch (...) {
      Application->HandleException(nullptr);
      return 1;
    }
  } catch (const std::exception& e) {
    // A unit that could not start: there is no application to report it.
    TDialogRequest box;
    box.Caption = "Mevra0.46";
    box.Text = e.what();
    box.Flags = MB_OK | MB_ICONSTOP;
    ExecuteDialog(box);
    return 1;
  }
  return 0;
}
