#include "panels/FrameController.h"

#include "platform/Control.h"
#include "platform/ControlsProperties.h"
#include "platform/Properties.h"

#include <algorithm>

const TClassInfo TRzFrameController::ClassInfo{"TRzFrameController", &TComponent::ClassInfo,
                                               [](TObject* owner) -> TObject* {
                                                 return new TRzFrameController(static_cast<TComponent*>(owner));
                                               }};
const TClassInfo TRzRegIniFile::ClassInfo{"TRzRegIniFile", &TComponent::ClassInfo, [](TObject* owner) -> TObject* {
                                            return new TRzRegIniFile(static_cast<TComponent*>(owner));
                                          }};

const TEnumInfo FrameStyleNames{"TFrameStyle",
                                {"fsNone", "fsFlat", "fsGroove", "fsBump", "fsLowered", "fsButtonDown", "fsRaised",
                                 "fsButtonUp", "fsStatus", "fsPopup", "fsFlatBold", "fsFlatRounded"}};
const TEnumInfo SideNames{"TSide", {"sdLeft", "sdTop", "sdRight", "sdBottom"}};
const TEnumInfo FrameControllerNotificationNames{
    "TRzFrameControllerNotification",
    {"fcpColor", "fcpFocusColor", "fcpDisabledColor", "fcpReadOnlyColor", "fcpReadOnlyColorOnFocus", "fcpParentColor",
     "fcpFlatButtonColor", "fcpFlatButtons", "fcpFrameColor", "fcpFrameHotColor", "fcpFrameHotTrack",
     "fcpFrameHotStyle", "fcpFrameSides", "fcpFrameStyle", "fcpFrameVisible", "fcpFramingPreference"}};

const TEnumInfo FramingPreferenceNames{"TFramingPreference", {"fpCustomFraming", "fpXPThemes"}};

namespace {

const TEnumInfo PathTypeNames{"TRzPathType", {"ptIniFile", "ptRegistry"}};
const TEnumInfo RegKeyNames{"TRzRegKey",
                            {"hkeyClassesRoot", "hkeyCurrentUser", "hkeyLocalMachine", "hkeyUsers",
                             "hkeyPerformanceData", "hkeyCurrentConfig", "hkeyDynData"}};
const TEnumInfo RegAccessNames{"TRzRegAccessItem",
                               {"keyQueryValue", "keySetValue", "keyCreateSubKey", "keyEnumerateSubKeys",
                                "keyNotify", "keyCreateLink", "keyRead", "keyWrite", "keyExecute",
                                "keyAllAccess"}};
const TEnumInfo SpecialFolderNames{"TRzSpecialFolder",
                                   {"sfNone", "sfUserAppDataRoaming", "sfUserAppDataLocal", "sfUserDocuments",
                                    "sfProgramData"}};
const TEnumInfo IniFileEncodingNames{"TRzIniFileEncoding", {"feDefault", "feUTF8", "feUnicode"}};

bool ControllerColorStored(TObject* o) { return !static_cast<TRzFrameController*>(o)->ParentColor(); }

using C = TRzFrameController;
const TPublishedRegistration frameControllerRegistration(&C::ClassInfo, {
    StoredWhen(Property<&C::Color, &C::SetColor>("Color", pkColor), ControllerColorStored),
    Property<&C::FocusColor, &C::SetFocusColor>("FocusColor", pkColor).Default(clWindow),
    Property<&C::DisabledColor, &C::SetDisabledColor>("DisabledColor", pkColor).Default(clBtnFace),
    Property<&C::ReadOnlyColor, &C::SetReadOnlyColor>("ReadOnlyColor", pkColor).Default(clInfoBk),
    Property<&C::ReadOnlyColorOnFocus, &C::SetReadOnlyColorOnFocus>("ReadOnlyColorOnFocus").Default(false),
    Property<&C::ParentColor, &C::SetParentColor>("ParentColor").Default(false),
    Property<&C::FlatButtonColor, &C::SetFlatButtonColor>("FlatButtonColor", pkColor).Default(clBtnFace),
    Property<&C::FlatButtons, &C::SetFlatButtons>("FlatButtons").Default(true),
    Property<&C::FrameColor, &C::SetFrameColor>("FrameColor", pkColor).Default(clBtnShadow),
    Property<&C::FrameHotColor, &C::SetFrameHotColor>("FrameHotColor", pkColor).Default(clBtnShadow),
    Property<&C::FrameHotTrack, &C::SetFrameHotTrack>("FrameHotTrack").Default(false),
    Property<&C::FrameHotStyle, &C::SetFrameHotStyle>("FrameHotStyle", FrameStyleNames).Default(fsFlatBold),
    Property<&C::FrameSides, &C::SetFrameSides>("FrameSides", SideNames).Default(sdAllSides),
    Property<&C::FrameStyle, &C::SetFrameStyle>("FrameStyle", FrameStyleNames).Default(fsFlat),
    Property<&C::FrameVisible, &C::SetFrameVisible>("FrameVisible").Default(false),
    Property<&C::FramingPreference, &C::SetFramingPreference>("FramingPreference", FramingPreferenceNames)
        .Default(fpXPThemes),
    Property<&C::RegIniFile, &C::SetRegIniFile>("RegIniFile"),
});

// Older forms: "FrameFlat" became hot tracking (True also meant the status
// look), "FrameFocusStyle" the hot style; "FrameFlatStyle" is gone.
void DefineOldControllerProperties(TPersistent* instance, TFiler* filer) {
  auto* controller = static_cast<TRzFrameController*>(instance);
  filer->DefineProperty("FrameFlat", TReaderProc::Lambda([controller](TReader* reader) {
                          const bool flat = reader->ReadBoolean();
                          controller->SetFrameHotTrack(flat);
                          if (flat) {
                            controller->SetFrameStyle(fsStatus);
                            controller->SetFrameHotStyle(fsLowered);
                          }
                        }),
                        TWriterProc(), false);
  filer->DefineProperty("FrameFocusStyle", TReaderProc::Lambda([controller](TReader* reader) {
                          const AnsiString ident = reader->ReadIdent();
                          const int value = FrameStyleNames.ValueOf(ident);
                          if (value >= 0) controller->SetFrameHotStyle(static_cast<TFrameStyle>(value));
                        }),
                        TWriterProc(), false);
  filer->DefineProperty("FrameFlatStyle", TReaderProc::Lambda(&TRzOldPropReader::ReadOldEnumProp), TWriterProc(),
                        false);
}

struct TOldPropertiesRegistration {
  TOldPropertiesRegistration() { RegisterDefineProperties(&TRzFrameController::ClassInfo, DefineOldControllerProperties); }
} const oldPropertiesRegistration;

using R = TRzRegIniFile;
const TPublishedRegistration regIniFileRegistration(&R::ClassInfo, {
    Property<&R::Path, &R::SetPath>("Path"),
    Property<&R::PathType, &R::SetPathType>("PathType", PathTypeNames).Default(ptIniFile),
    Property<&R::RegKey, &R::SetRegKey>("RegKey", RegKeyNames).Default(hkeyCurrentUser),
    Property<&R::RegAccess, &R::SetRegAccess>("RegAccess", RegAccessNames).Default(TRzRegAccess{keyAllAccess}),
    Property<&R::SpecialFolder, &R::SetSpecialFolder>("SpecialFolder", SpecialFolderNames).Default(sfNone),
    Property<&R::FileEncoding, &R::SetFileEncoding>("FileEncoding", IniFileEncodingNames).Default(feDefault),
});

// Sets a control's published property of that name, when it has one.
void SetNamedOrd(TControl* control, const char* name, int64_t value) {
  if (const TPropInfo* info = GetPropInfo(control->ClassType(), name)) {
    if (info->Set) SetOrdProp(control, info, value);
  }
}

}  // namespace

TRzFrameController::TRzFrameController(TComponent* AOwner) : TComponent(AOwner) {}

void LinkFrameController(TControl* control, TRzFrameController*& field, TRzFrameController* value) {
  if (field == value) return;
  if (field) {
    field->RemoveControl(control);
    field->RemoveFreeNotification(control);
  }
  field = value;
  if (value) {
    value->AddControl(control);
    value->FreeNotification(control);
  }
}

TRzFrameController::~TRzFrameController() { FControls.clear(); }

void TRzFrameController::Assign(TPersistent* source) {
  auto* other = ObjectAs<TRzFrameController>(source);
  if (!other) {
    TComponent::Assign(source);
    return;
  }
  BeginUpdate();
  try {
    FColor = other->FColor;
    FFocusColor = other->FFocusColor;
    FDisabledColor = other->FDisabledColor;
    FReadOnlyColor = other->FReadOnlyColor;
    FReadOnlyColorOnFocus = other->FReadOnlyColorOnFocus;
    FParentColor = other->FParentColor;
    FFlatButtonColor = other->FFlatButtonColor;
    FFlatButtons = other->FFlatButtons;
    FFrameColor = other->FFrameColor;
    FFrameHotColor = other->FFrameHotColor;
    FFrameHotTrack = other->FFrameHotTrack;
    FFrameHotStyle = other->FFrameHotStyle;
    FFrameSides = other->FFrameSides;
    FFrameStyle = other->FFrameStyle;
    FFrameVisible = other->FFrameVisible;
    FFramingPreference = other->FFramingPreference;
  } catch (...) {
    EndUpdate();
    throw;
  }
  EndUpdate();
}

void TRzFrameController::Loaded() {
  TComponent::Loaded();
  UpdateFrames(AllSettings);
}

void TRzFrameController::EndUpdate() {
  if (--FUpdateCount <= 0) {
    FUpdateCount = 0;
    UpdateFrames(AllSettings);
  }
}

void TRzFrameController::AddControl(TControl* control) {
  if (!control || std::find(FControls.begin(), FControls.end(), control) != FControls.end()) return;
  FControls.push_back(control);
  // A control freed while it is listed leaves the list (see Notification).
  FreeNotification(control);
  UpdateControlFrame(control, AllSettings);
}

void TRzFrameController::RemoveControl(TControl* control) {
  const auto it = std::find(FControls.begin(), FControls.end(), control);
  if (it != FControls.end()) FControls.erase(it);
  if (FControls.empty()) std::vector<TControl*>().swap(FControls);
}

void TRzFrameController::UpdateFrames(int index) {
  if (FUpdateCount > 0 || FControls.empty()) return;
  const std::vector<TControl*> controls = FControls;
  for (TControl* control : controls) UpdateControlFrame(control, index);
}

void TRzFrameController::UpdateControlFrame(TControl* control, int index) {
  if (!control) return;
  TRzFrameControllerNotifications n = fcpAllNotifications;
  if (const TPropInfo* info = GetPropInfo(control->ClassType(), "FrameControllerNotifications"))
    n = TRzFrameControllerNotifications::FromBits(static_cast<unsigned long long>(GetOrdProp(control, info)));
  if (auto* receiver = dynamic_cast<IFrameSettingsReceiver*>(control)) {
    receiver->ApplyFrameSettings();
    return;
  }
  auto apply = [&](int i) {
    if (!n.Contains(static_cast<TRzFrameControllerNotification>(i))) return;
    switch (i) {
      case 0: SetNamedOrd(control, "Color", FColor); break;
      case 1: SetNamedOrd(control, "FocusColor", FFocusColor); break;
      case 2: SetNamedOrd(control, "DisabledColor", FDisabledColor); break;
      case 3: SetNamedOrd(control, "ReadOnlyColor", FReadOnlyColor); break;
      case 4: SetNamedOrd(control, "ReadOnlyColorOnFocus", FReadOnlyColorOnFocus); break;
      case 5: SetNamedOrd(control, "ParentColor", FParentColor); break;
      case 6: SetNamedOrd(control, "FlatButtonColor", FFlatButtonColor); break;
      case 7: SetNamedOrd(control, "FlatButtons", FFlatButtons); break;
      case 8: SetNamedOrd(control, "FrameColor", FFrameColor); break;
      case 9: SetNamedOrd(control, "FrameHotColor", FFrameHotColor); break;
      case 10: SetNamedOrd(control, "FrameHotTrack", FFrameHotTrack); break;
      case 11: SetNamedOrd(control, "FrameHotStyle", static_cast<int64_t>(FFrameHotStyle)); break;
      case 12:
        // Copied through the set's text, so a control's own side type takes it by name.
        if (const TPropInfo* info = GetPropInfo(control->ClassType(), "FrameSides")) {
          if (info->Set && info->EnumType) {
            AnsiString text = "[";
            const char* names[] = {"sdLeft", "sdTop", "sdRight", "sdBottom"};
            bool first = true;
            for (int s = 0; s < 4; ++s) {
              if (!FFrameSides.Contains(static_cast<TSide>(s))) continue;
              if (!first) text += ",";
              text += names[s];
              first = false;
            }
            text += "]";
            SetOrdProp(control, info, StringToSet(info, text));
          }
        }
        break;
      case 13: SetNamedOrd(control, "FrameStyle", static_cast<int64_t>(FFrameStyle)); break;
      case 14: SetNamedOrd(control, "FrameVisible", FFrameVisible); break;
      case 15: SetNamedOrd(control, "FramingPreference", static_cast<int64_t>(FFramingPreference)); break;
      default: break;
    }
  };
  if (index >= 0 && index < AllSettings) {
    apply(index);
    return;
  }
  if (index != AllSettings) return;
  apply(5);
  if (!FParentColor) apply(0);
  for (int i : {2, 3, 4, 1, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}) apply(i);
}

void TRzFrameController::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FRegIniFile) FRegIniFile = nullptr;
  // Told from the component's last destructor: found by address, as its
  // class is no longer a control's.
  const auto it = std::find_if(FControls.begin(), FControls.end(),
                               [component](TControl* control) { return static_cast<TComponent*>(control) == component; });
  if (it != FControls.end()) RemoveControl(*it);
}

void TRzFrameController::SetColor(TColor value) {
  if (FColor == value) return;
  if (FColor == FFocusColor) FFocusColor = value;
  FColor = value;
  FParentColor = false;
  UpdateFrames(0);
}

void TRzFrameController::SetParentColor(bool value) {
  if (FParentColor == value) return;
  FParentColor = value;
  UpdateFrames(5);
  if (!value) UpdateFrames(0);
}

#define MEVRA_SETTING(Name, Type, Index)                \
  void TRzFrameController::Set##Name(Type value) {      \
    if (F##Name == value) return;                       \
    F##Name = value;                                    \
    UpdateFrames(Index);                                \
  }
MEVRA_SETTING(FocusColor, TColor, 1)
MEVRA_SETTING(DisabledColor, TColor, 2)
MEVRA_SETTING(ReadOnlyColor, TColor, 3)
MEVRA_SETTING(ReadOnlyColorOnFocus, bool, 4)
MEVRA_SETTING(FlatButtonColor, TColor, 6)
MEVRA_SETTING(FlatButtons, bool, 7)
MEVRA_SETTING(FrameColor, TColor, 8)
MEVRA_SETTING(FrameHotColor, TColor, 9)
MEVRA_SETTING(FrameHotStyle, TFrameStyle, 11)
MEVRA_SETTING(FrameSides, TSides, 12)
MEVRA_SETTING(FrameStyle, TFrameStyle, 13)
MEVRA_SETTING(FrameVisible, bool, 14)
MEVRA_SETTING(FramingPreference, TFramingPreference, 15)
#undef MEVRA_SETTING

void TRzFrameController::SetFrameHotTrack(bool value) {
  if (FFrameHotTrack == value) return;
  FFrameHotTrack = value;
  if (value) {
    SetFrameVisible(true);
    if (!ComponentState().Contains(csLoading)) SetFrameSides(sdAllSides);
  }
  UpdateFrames(10);
}

void TRzFrameController::SetRegIniFile(TRzRegIniFile* value) {
  if (FRegIniFile == value) return;
  if (FRegIniFile) FRegIniFile->RemoveFreeNotification(this);
  FRegIniFile = value;
  if (value) value->FreeNotification(this);
}

#define MEVRA_STORE(Name, Type)                     \
  void TRzRegIniFile::Set##Name(Type value) {       \
    if (F##Name == value) return;                   \
    F##Name = value;                                \
    FRefreshStorage = true;                         \
  }
MEVRA_STORE(Path, const AnsiString&)
MEVRA_STORE(PathType, TRzPathType)
MEVRA_STORE(RegKey, TRzRegKey)
MEVRA_STORE(RegAccess, TRzRegAccess)
MEVRA_STORE(SpecialFolder, TRzSpecialFolder)
MEVRA_STORE(FileEncoding, TRzIniFileEncoding)
#undef MEVRA_STORE
