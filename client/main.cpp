// Mevra's entry point: the program's units in their fixed order, then the
// main form, which is built from its form resource (MainForm.mvf); closing
// it ends the program cleanly.
#include "bars/model/BarGlobals.h"
#include "client/HtmlEdit.h"
#include "client/SharedState.h"
#include "editors/framework/EditorUnits.h"
#include "foundation/FoundationUnits.h"
#include "gif/GIFImage.h"
#include "platform/Dialogs.h"
#include "platform/Forms.h"
#include "platform/Properties.h"
#include "platform/Units.h"
#include "skin/SkinUnit.h"

namespace {

class TMainForm : public TForm {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TForm::TForm;
};

const TClassInfo TMainForm::ClassInfo{"TMainForm", &TForm::ClassInfo, [](TObject* owner) -> TObject* {
                                        return new TMainForm(static_cast<TComponent*>(owner));
                                      }};
const TPublishedRegistration mainFormRegistration(&TMainForm::ClassInfo, {});

}  // namespace

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
        cxDataStorageUnit,
        cxEditPaintUtilsUnit,
        cxEditUtilsUnit,
        cxEditUnit,
        dxBarUnit,
        {"GIFImage", &GIFImageInit, &GIFImageFinal},
        SharedStateUnit,
        HtmlEditUnit,
        SkinUnit,
        FormsUnit,
    };
    try {
      Application->SetTitle("Mevra0.46");
      TMainForm* mainForm = nullptr;
      Application->CreateForm(mainForm);
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
