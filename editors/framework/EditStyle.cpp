#include "editors/framework/EditStyle.h"

#include "platform/Properties.h"

const TClassInfo TcxCustomEditStyle::ClassInfo{"TcxCustomEditStyle", &TcxContainerStyle::ClassInfo, nullptr};
const TClassInfo TcxEditStyle::ClassInfo{"TcxEditStyle", &TcxCustomEditStyle::ClassInfo, nullptr};
const TClassInfo TcxEditStyleController::ClassInfo{"TcxEditStyleController", &TcxStyleController::ClassInfo,
                                                   [](TObject* owner) -> TObject* {
                                                     return new TcxEditStyleController(static_cast<TComponent*>(owner));
                                                   }};

namespace {

const char* const EditStyleValueNames[] = {"ButtonStyle", "ButtonTransparency", "PopupBorderStyle",
                                           "GradientButtons", "Gradient", "GradientDirection"};

struct TFactoryRegistration {
  TFactoryRegistration() {
    RegisterContainerStyleFactory(&TcxCustomEditStyle::ClassInfo,
                                  [](TPersistent* owner, bool directAccess, TcxContainerStyle* parent,
                                     int state) -> TcxContainerStyle* {
                                    return new TcxCustomEditStyle(owner, directAccess, parent, state);
                                  });
    RegisterContainerStyleFactory(&TcxEditStyle::ClassInfo,
                                  [](TPersistent* owner, bool directAccess, TcxContainerStyle* parent,
                                     int state) -> TcxContainerStyle* {
                                    return new TcxEditStyle(owner, directAccess, parent, state);
                                  });
  }
};

}  // namespace

void cxRegisterEditStyleFactories() { static const TFactoryRegistration registration; }

TcxCustomEditStyle::TcxCustomEditStyle(TPersistent* owner, bool directAccess, TcxContainerStyle* parent, int state)
    : TcxContainerStyle(owner, directAccess, parent, state) {
  FPopupOption = true;
  // The container's constructor took the program's default controller: a
  // style that has none lets it go.
  if (IsRootStyle() && ActiveStyleController() && !DefaultController()) SetStyleController(nullptr);
}

TcxStyleController* TcxCustomEditStyle::DefaultController() {
  if (DirectAccessMode()) return nullptr;
  return TcxContainerStyle::DefaultController();
}

TcxEditStyleController* TcxCustomEditStyle::EditStyleController() {
  return ObjectAs<TcxEditStyleController>(GetStyleController());
}

void TcxCustomEditStyle::SetEditStyleController(TcxEditStyleController* value) { SetStyleController(value); }

void TcxCustomEditStyle::CopyFrom(TPersistent* source) {
  auto* s = ObjectAs<TcxCustomEditStyle>(source);
  if (!s) {
    TcxContainerStyle::CopyFrom(source);
    return;
  }
  LockUpdates();
  try {
    FButtonStyle = s->FButtonStyle;
    FButtonTransparency = s->FButtonTransparency;
    FGradient = s->FGradient;
    FGradientButtons = s->FGradientButtons;
    FGradientDirection = s->FGradientDirection;
    FPopupBorderStyle = s->FPopupBorderStyle;
    FPopupOption = s->FPopupOption;
    TcxContainerStyle::CopyFrom(source);
    SignalChange();
  } catch (...) {
    UnlockUpdates();
    throw;
  }
  UnlockUpdates();
}

TcxCustomEditStyle* TcxCustomEditStyle::Resolving(TcxContainerStyleValue bit) {
  if (DirectAccessMode()) return GetAssignedValues().Contains(bit) ? this : nullptr;
  return ObjectAs<TcxCustomEditStyle>(ResolvingStyle(static_cast<int>(bit)));
}

bool TcxCustomEditStyle::IsValueAssigned(int index) {
  if (index >= cxContainerStyleValueCount && index < cxEditStyleValueCount)
    return Resolving(static_cast<TcxContainerStyleValue>(index)) != nullptr;
  return TcxContainerStyle::IsValueAssigned(index);
}

bool TcxCustomEditStyle::NameOfStyleValue(int index, AnsiString& name) const {
  if (index >= cxContainerStyleValueCount && index < cxEditStyleValueCount) {
    name = EditStyleValueNames[index - cxContainerStyleValueCount];
    return true;
  }
  return TcxContainerStyle::NameOfStyleValue(index, name);
}

TcxContainerStyleValues TcxCustomEditStyle::UnpublishedExtendedValues() const {
  return TcxContainerStyleValues::FromBits(0xFA78);
}

// --- the six values ---------------------------------------------------------------------

TcxEditButtonStyle TcxCustomEditStyle::ButtonStyle() {
  if (TcxCustomEditStyle* s = Resolving(svButtonStyle)) return s->FButtonStyle;
  return DefaultButtonStyle();
}
TcxEditButtonTransparency TcxCustomEditStyle::ButtonTransparency() {
  if (TcxCustomEditStyle* s = Resolving(svButtonTransparency)) return s->FButtonTransparency;
  return DefaultButtonTransparency();
}
bool TcxCustomEditStyle::Gradient() {
  if (TcxCustomEditStyle* s = Resolving(svGradient)) return s->FGradient;
  return DefaultGradient();
}
bool TcxCustomEditStyle::GradientButtons() {
  if (TcxCustomEditStyle* s = Resolving(svGradientButtons)) return s->FGradientButtons;
  return DefaultGradientButtons();
}
TcxEditGradientDirection TcxCustomEditStyle::GradientDirection() {
  if (TcxCustomEditStyle* s = Resolving(svGradientDirection)) return s->FGradientDirection;
  return DefaultGradientDirection();
}
TcxEditPopupBorderStyle TcxCustomEditStyle::PopupBorderStyle() {
  if (TcxCustomEditStyle* s = Resolving(svPopupBorderStyle)) return s->FPopupBorderStyle;
  return DefaultPopupBorderStyle();
}

void TcxCustomEditStyle::SetButtonStyle(TcxEditButtonStyle value) { StoreValue(FButtonStyle, value, svButtonStyle); }
void TcxCustomEditStyle::SetButtonTransparency(TcxEditButtonTransparency value) {
  if (!IsRootStyle()) return EditRoot()->SetButtonTransparency(value);
  StoreValue(FButtonTransparency, value, svButtonTransparency);
}
void TcxCustomEditStyle::SetGradient(bool value) {
  if (!IsRootStyle()) return EditRoot()->SetGradient(value);
  StoreValue(FGradient, value, svGradient);
}
void TcxCustomEditStyle::SetGradientButtons(bool value) { StoreValue(FGradientButtons, value, svGradientButtons); }
void TcxCustomEditStyle::SetGradientDirection(TcxEditGradientDirection value) {
  if (!IsRootStyle()) return EditRoot()->SetGradientDirection(value);
  StoreValue(FGradientDirection, value, svGradientDirection);
}
void TcxCustomEditStyle::SetPopupBorderStyle(TcxEditPopupBorderStyle value) {
  if (!IsRootStyle()) return EditRoot()->SetPopupBorderStyle(value);
  StoreValue(FPopupBorderStyle, value, svPopupBorderStyle);
}

TcxEditButtonStyle TcxCustomEditStyle::DefaultButtonStyle() {
  return IsRootStyle() ? btsDefault : EditParent()->ButtonStyle();
}
TcxEditButtonTransparency TcxCustomEditStyle::DefaultButtonTransparency() {
  return IsRootStyle() ? ebtNone : EditParent()->ButtonTransparency();
}
bool TcxCustomEditStyle::DefaultGradient() { return IsRootStyle() ? false : EditParent()->Gradient(); }
bool TcxCustomEditStyle::DefaultGradientButtons() { return IsRootStyle() ? false : EditParent()->GradientButtons(); }
TcxEditGradientDirection TcxCustomEditStyle::DefaultGradientDirection() {
  return IsRootStyle() ? dirDown : EditParent()->GradientDirection();
}
TcxEditPopupBorderStyle TcxCustomEditStyle::DefaultPopupBorderStyle() {
  return IsRootStyle() ? epbsDefault : EditParent()->PopupBorderStyle();
}

bool RootStylePopupOption(TcxCustomEditStyle* style) {
  return static_cast<TcxCustomEditStyle*>(style->RootStyle())->PopupOption();
}

// --- the default controller -------------------------------------------------------------

namespace {

TcxEditStyleController* DefaultController = nullptr;
TcxStyleController* AnswerDefaultController() { return DefaultController; }
TcxDefaultStyleControllerProc PreviousProc = nullptr;

}  // namespace

TcxEditStyleController* cxDefaultEditStyleController() { return DefaultController; }

void cxEditStylesInit() {
  cxRegisterEditStyleFactories();
  DefaultController = New<TcxEditStyleController>(nullptr);
  PreviousProc = SetDefaultStyleControllerProc(&AnswerDefaultController);
}

void cxEditStylesDone() {
  SetDefaultStyleControllerProc(PreviousProc);
  TcxEditStyleController* controller = DefaultController;
  DefaultController = nullptr;
  Free(controller);
}

// ---------------------------------------------------------------------------
// The form tables.

namespace {

const TEnumInfo ButtonStyleNames{"TcxEditButtonStyle",
                                 {"btsDefault", "bts3D", "btsFlat", "btsSimple", "btsHotFlat", "btsUltraFlat",
                                  "btsOffice11"}};
const TEnumInfo ButtonTransparencyNames{"TcxEditButtonTransparency",
                                        {"ebtNone", "ebtInactive", "ebtAlways", "ebtHideInactive",
                                         "ebtHideUnselected"}};
const TEnumInfo GradientDirectionNames{"TcxEditGradientDirection", {"dirNone", "dirLeft", "dirRight", "dirUp", "dirDown"}};
const TEnumInfo PopupBorderStyleNames{"TcxEditPopupBorderStyle", {"epbsDefault", "epbsSingle", "epbsFrame3D", "epbsFlat"}};

const TEnumInfo BorderStyleNames{"TcxEditBorderStyle",
                                 {"ebsNone", "ebsSingle", "ebsThick", "ebsFlat", "ebs3D", "ebsUltraFlat", "ebsOffice11"}};

const TEnumInfo ValueNames{"TcxEditStyleValue",
                           {"svBorderColor", "svBorderStyle", "svColor", "svEdges", "svFont", "svHotTrack",
                            "svShadow", "svTextColor", "svTextStyle", "svTransparentBorder", "svButtonStyle",
                            "svButtonTransparency", "svPopupBorderStyle", "svGradientButtons", "svGradient",
                            "svGradientDirection"}};

using S = TcxCustomEditStyle;
const TPublishedRegistration editStyleRegistration(&TcxEditStyle::ClassInfo, {
    Property<&S::GetAssignedValues, &S::SetAssignedValues>("AssignedValues", ValueNames).Stored(false),
    Property<&S::BorderStyle, &S::SetEditBorderStyle>("BorderStyle", BorderStyleNames)
        .NoDefault().Stored<&S::OwnValueStored<1>>(),
    Property<&S::EditStyleController, &S::SetEditStyleController>("StyleController")
        .Stored<&S::IsStyleControllerStored>(),
    Property<&S::ButtonStyle, &S::SetButtonStyle>("ButtonStyle", ButtonStyleNames)
        .NoDefault().Stored<&S::OwnValueStored<10>>(),
    Property<&S::ButtonTransparency, &S::SetButtonTransparency>("ButtonTransparency", ButtonTransparencyNames)
        .NoDefault().Stored<&S::OwnValueStored<11>>(),
    Property<&S::Gradient, &S::SetGradient>("Gradient").NoDefault().Stored<&S::OwnValueStored<14>>(),
    Property<&S::GradientDirection, &S::SetGradientDirection>("GradientDirection", GradientDirectionNames)
        .NoDefault().Stored<&S::OwnValueStored<15>>(),
    Property<&S::PopupBorderStyle, &S::SetPopupBorderStyle>("PopupBorderStyle", PopupBorderStyleNames)
        .NoDefault().Stored<&S::OwnValueStored<12>>(),
});

using C = TcxEditStyleController;
const TPublishedRegistration controllerRegistration(&TcxEditStyleController::ClassInfo, {
    Property<&C::Style, &C::SetStyle>("Style"),
    Property<&C::StyleDisabled, &C::SetStyleDisabled>("StyleDisabled"),
    Property<&C::StyleFocused, &C::SetStyleFocused>("StyleFocused"),
    Property<&C::StyleHot, &C::SetStyleHot>("StyleHot"),
    Event<&C::OnStyleChanged>("OnStyleChanged"),
});

}  // namespace
