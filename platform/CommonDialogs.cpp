#include "platform/CommonDialogs.h"

#include "platform/Picture.h"
#include "platform/Properties.h"

const TClassInfo TCommonDialog::ClassInfo{"TCommonDialog", &TComponent::ClassInfo, nullptr};
const TClassInfo TOpenDialog::ClassInfo{"TOpenDialog", &TCommonDialog::ClassInfo, [](TObject* owner) -> TObject* {
                                          return new TOpenDialog(static_cast<TComponent*>(owner));
                                        }};
const TClassInfo TSaveDialog::ClassInfo{"TSaveDialog", &TOpenDialog::ClassInfo, [](TObject* owner) -> TObject* {
                                          return new TSaveDialog(static_cast<TComponent*>(owner));
                                        }};
const TClassInfo TOpenPictureDialog::ClassInfo{"TOpenPictureDialog", &TOpenDialog::ClassInfo,
                                               [](TObject* owner) -> TObject* {
                                                 return new TOpenPictureDialog(static_cast<TComponent*>(owner));
                                               }};
const TClassInfo TSavePictureDialog::ClassInfo{"TSavePictureDialog", &TSaveDialog::ClassInfo,
                                               [](TObject* owner) -> TObject* {
                                                 return new TSavePictureDialog(static_cast<TComponent*>(owner));
                                               }};
const TClassInfo TColorDialog::ClassInfo{"TColorDialog", &TCommonDialog::ClassInfo, [](TObject* owner) -> TObject* {
                                           return new TColorDialog(static_cast<TComponent*>(owner));
                                         }};

bool TCommonDialog::Run(TDialogRequest& request) {
  FireEvent(OnShow, this);
  int answer = 0;
  try {
    answer = ExecuteDialog(request);
  } catch (...) {
    FireEvent(OnClose, this);
    throw;
  }
  FireEvent(OnClose, this);
  return answer == IDOK;
}

// -- File dialogs --------------------------------------------------------------------

TOpenDialog::TOpenDialog(TComponent* AOwner) : TOpenDialog(AOwner, dkOpenFile) {}

TOpenDialog::TOpenDialog(TComponent* AOwner, TDialogKind kind) : TCommonDialog(AOwner), FKind(kind) {}

bool TOpenDialog::Execute() {
  TDialogRequest request;
  request.Kind = FKind;
  request.Caption = FTitle;
  request.FileName = FFileName;
  request.Filter = FFilter;
  request.FilterIndex = FFilterIndex;
  request.InitialDir = FInitialDir;
  request.DefaultExt = FDefaultExt;
  request.FileOptions = FOptions;
  if (!Run(request)) return false;
  FFiles.Clear();
  if (request.Files.empty() && !request.FileName.empty()) request.Files.push_back(request.FileName);
  for (const AnsiString& file : request.Files) FFiles.Add(file);
  FFileName = request.Files.empty() ? request.FileName : request.Files.front();
  FFilterIndex = request.FilterIndex;
  return true;
}

TOpenPictureDialog::TOpenPictureDialog(TComponent* AOwner) : TOpenDialog(AOwner, dkOpenPicture) {
  SetFilter(TPicture::GraphicFilter(&TGraphic::ClassInfo));
}

TSavePictureDialog::TSavePictureDialog(TComponent* AOwner) : TSaveDialog(AOwner, dkSavePicture) {
  SetFilter(TPicture::GraphicFilter(&TGraphic::ClassInfo));
}

// -- Colour dialog --------------------------------------------------------------------

TColorDialog::TColorDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}

namespace {

// "ColorA" .. "ColorP".
AnsiString CustomColorName(int index) { return AnsiString("Color") + static_cast<char>('A' + index); }

}  // namespace

bool TColorDialog::Execute() {
  TDialogRequest request;
  request.Kind = dkColor;
  request.Color = ColorToRGB(FColor);
  request.ColorOptions = FOptions;
  for (int i = 0; i < 16; ++i) {
    request.CustomColors[i] = 0xFFFFFF;
    const AnsiString value = FCustomColors.Values(CustomColorName(i));
    if (value.empty()) continue;
    int parsed = 0;
    if (TryStrToInt("$" + value, parsed) && parsed >= 0 && parsed <= 0xFFFFFF)
      request.CustomColors[i] = static_cast<TColor>(parsed);
  }
  if (!Run(request)) return false;
  FColor = request.Color;
  FCustomColors.Clear();
  for (int i = 0; i < 16; ++i) FCustomColors.Add(CustomColorName(i) + "=" + IntToHex(request.CustomColors[i] & 0xFFFFFF, 6));
  return true;
}

// -- Published properties -------------------------------------------------------

namespace {

const TEnumInfo FileDialogOptionNames{
    "TOpenOption",
    {"ofReadOnly", "ofOverwritePrompt", "ofHideReadOnly", "ofNoChangeDir", "ofAllowMultiSelect", "ofPathMustExist",
     "ofFileMustExist", "ofCreatePrompt", "ofNoReadOnlyReturn", "ofEnableSizing"}};
const TEnumInfo ColorDialogOptionNames{"TColorDialogOption",
                                       {"cdFullOpen", "cdPreventFullOpen", "cdSolidColor", "cdAnyColor"}};

const TPublishedRegistration commonDialogRegistration(&TCommonDialog::ClassInfo, {
    Event<&TCommonDialog::OnShow>("OnShow"),
    Event<&TCommonDialog::OnClose>("OnClose"),
});

const TPublishedRegistration openDialogRegistration(&TOpenDialog::ClassInfo, {
    Property<&TOpenDialog::DefaultExt, &TOpenDialog::SetDefaultExt>("DefaultExt"),
    Property<&TOpenDialog::FileName, &TOpenDialog::SetFileName>("FileName"),
    Property<&TOpenDialog::Filter, &TOpenDialog::SetFilter>("Filter"),
    Property<&TOpenDialog::FilterIndex, &TOpenDialog::SetFilterIndex>("FilterIndex").Default(1),
    Property<&TOpenDialog::InitialDir, &TOpenDialog::SetInitialDir>("InitialDir"),
    Property<&TOpenDialog::Options, &TOpenDialog::SetOptions>("Options", FileDialogOptionNames)
        .Default(TFileDialogOptions{ofHideReadOnly}),
    Property<&TOpenDialog::Title, &TOpenDialog::SetTitle>("Title"),
});

const TPublishedRegistration saveDialogRegistration(&TSaveDialog::ClassInfo, {});
const TPublishedRegistration openPictureDialogRegistration(&TOpenPictureDialog::ClassInfo, {});
const TPublishedRegistration savePictureDialogRegistration(&TSavePictureDialog::ClassInfo, {});

const TPublishedRegistration colorDialogRegistration(&TColorDialog::ClassInfo, {
    Property<&TColorDialog::Color, &TColorDialog::SetColor>("Color", pkColor).Default(clBlack),
    Property<&TColorDialog::CustomColors>("CustomColors"),
    Property<&TColorDialog::Options, &TColorDialog::SetOptions>("Options", ColorDialogOptionNames)
        .Default(TColorDialogOptions{}),
});

}  // namespace
