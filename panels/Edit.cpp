#include "panels/Edit.h"

#include "panels/ColorHelpers.h"
#include "platform/CodePage.h"
#include "platform/ControlsProperties.h"
#include "platform/Filer.h"
#include "platform/Graphics.h"
#include "platform/Properties.h"

#include <commctrl.h>

const TClassInfo TRzCustomEdit::ClassInfo{"TRzCustomEdit", &TCustomMaskEdit::ClassInfo,
                                          [](TObject* owner) -> TObject* {
                                            return new TRzCustomEdit(static_cast<TComponent*>(owner));
                                          }};
const TClassInfo TRzEdit::ClassInfo{"TRzEdit", &TRzCustomEdit::ClassInfo, [](TObject* owner) -> TObject* {
                                      return new TRzEdit(static_cast<TComponent*>(owner));
                                    }};

namespace {

// Windows 95 and NT 4: major version 4 without a minor version.
bool IsWindows4() { return WindowsLevelReached(0) && !WindowsLevelReached(2) && !WindowsLevelReached(4); }

}  // namespace

TRzCustomEdit::TRzCustomEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
  FControlStyle.Exclude(csSetCaption);
  FNormalColor = Color();
}

TRzCustomEdit::~TRzCustomEdit() { SetFrameController(nullptr); }

// -- Colours ------------------------------------------------------------------------------

void TRzCustomEdit::UpdateColors() {
  if (ComponentState().Contains(csLoading)) return;
  FUpdatingColor = true;
  try {
    if (!Enabled()) {
      SetColor(FDisabledColor);
    } else if (FInControl) {
      SetColor(IsReadOnly() && FReadOnlyColorOnFocus ? FReadOnlyColor : FFocusColor);
    } else {
      SetColor(IsReadOnly() ? FReadOnlyColor : FNormalColor);
    }
  } catch (...) {
    FUpdatingColor = false;
    throw;
  }
  FUpdatingColor = false;
}

void TRzCustomEdit::SetDisabledColor(TColor value) {
  FDisabledColor = value;
  if (!Enabled()) UpdateColors();
}

void TRzCustomEdit::SetFocusColor(TColor value) {
  FFocusColor = value;
  if (FInControl) UpdateColors();
}

void TRzCustomEdit::SetReadOnlyColor(TColor value) {
  FReadOnlyColor = value;
  if (IsReadOnly()) UpdateColors();
}

void TRzCustomEdit::SetReadOnlyColorOnFocus(bool value) {
  FReadOnlyColorOnFocus = value;
  UpdateColors();
}

void TRzCustomEdit::SetReadOnly(bool value) {
  TCustomEdit::SetReadOnly(value);
  ReadOnlyChanged();
}

void TRzCustomEdit::ReadOnlyChanged() {
  UpdateColors();
  RedrawFrame();
}

void TRzCustomEdit::UpdateHotState(bool mouse, bool value) {
  if (mouse) {
    FOverControl = value;
  } else {
    FInControl = value;
  }
  if (FFrameHotTrack) RedrawFrame();
  UpdateColors();
}

// -- Frame --------------------------------------------------------------------------------

bool TRzCustomEdit::UsesThemedFrame() const { return FFramingPreference == fpXPThemes && PanelVisualStylesEnabled(); }

void TRzCustomEdit::RedrawFrame() {
  if (!HandleAllocated()) return;
  RECT r{0, 0, Width(), Height()};
  RedrawFrameIfVisible(Handle(), r);
}

#define MEVRA_EDIT_FRAME_SETTER(Name, Type, Field) \
  void TRzCustomEdit::Set##Name(Type value) {      \
    if (Field == value) return;                    \
    Field = value;                                 \
    RedrawFrame();                                 \
  }

MEVRA_EDIT_FRAME_SETTER(FrameColor, TColor, FFrameColor)
MEVRA_EDIT_FRAME_SETTER(FrameHotColor, TColor, FFrameHotColor)
MEVRA_EDIT_FRAME_SETTER(FrameHotStyle, TFrameStyle, FFrameHotStyle)
MEVRA_EDIT_FRAME_SETTER(FrameSides, TSides, FFrameSides)
MEVRA_EDIT_FRAME_SETTER(FrameStyle, TFrameStyle, FFrameStyle)

#undef MEVRA_EDIT_FRAME_SETTER

void TRzCustomEdit::SetFrameVisible(bool value) {
  if (FFrameVisible == value) return;
  FFrameVisible = value;
  if (value) SetCtl3D(true);
  RecreateWnd();
}

void TRzCustomEdit::SetFrameHotTrack(bool value) {
  FFrameHotTrack = value;
  if (value) {
    SetFrameVisible(true);
    if (!ComponentState().Contains(csLoading)) FFrameSides = sdAllSides;
  }
  RedrawFrame();
  Invalidate();
}

void TRzCustomEdit::SetFramingPreference(TFramingPreference value) {
  FFramingPreference = value;
  if (value == fpCustomFraming) RedrawFrame();
}

void TRzCustomEdit::SetAlignment(TAlignment value) {
  if (FAlignment == value) return;
  FAlignment = value;
  RecreateWnd();
}

void TRzCustomEdit::SetFrameController(TRzFrameController* value) { LinkFrameController(this, FFrameController, value); }

void TRzCustomEdit::Notification(TComponent* component, TOperation operation) {
  TCustomMaskEdit::Notification(component, operation);
  if (operation == opRemove && component == FFrameController) FFrameController = nullptr;
}

// Over the whole window: two rings of the edit's colour hide the system's
// border, then the frame (the hot one while hot tracking and hot).
void TRzCustomEdit::PaintCustomFrame() {
  const TWindowDC dc(Handle(), TWindowDC::WholeWindow);
  if (!dc.Get()) return;
  TCanvas canvas;
  const TCanvasPaintScope scope(canvas, dc.Get());
  const bool hot = FFrameHotTrack && (FInControl || FOverControl);
  PaintControlFrame(&canvas, Width(), Height(), hot ? FFrameHotStyle : FFrameStyle, Color(),
                    hot ? FFrameHotColor : FFrameColor, FFrameSides, false);
}

// -- Cue text -------------------------------------------------------------------------------

void TRzCustomEdit::SetTextHint(const AnsiString& value) {
  FTextHint = value;
  if (!ComponentState().Contains(csLoading)) ApplyTextHint(value);
}

void TRzCustomEdit::SetTextHintVisibleOnFocus(bool value) {
  FTextHintVisibleOnFocus = value;
  if (!ComponentState().Contains(csLoading)) ApplyTextHint(FTextHint);
}

void TRzCustomEdit::ApplyTextHint(const AnsiString& text) {
  if (!WindowsLevelReached(5) || !PanelVisualStylesEnabled() || !HandleAllocated()) return;
  const std::wstring wide = AnsiToUtf16(text);
  SendMessageW(Handle(), EM_SETCUEBANNER, FTextHintVisibleOnFocus ? TRUE : FALSE,
               reinterpret_cast<LPARAM>(wide.c_str()));
}

// -- Window -----------------------------------------------------------------------------------

void TRzCustomEdit::CreateParams(TCreateParams& Params) {
  TCustomMaskEdit::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
  Params.Style &= ~static_cast<DWORD>(ES_MULTILINE | ES_LEFT | ES_RIGHT | ES_CENTER);
  if (FAlignment == taRightJustify) Params.Style |= ES_RIGHT;
  if (FAlignment == taCenter) Params.Style |= ES_CENTER;
}

void TRzCustomEdit::CreateWnd() {
  TCustomMaskEdit::CreateWnd();
  ApplyTextHint(FTextHint);
}

void TRzCustomEdit::Loaded() {
  TCustomMaskEdit::Loaded();
  FNormalColor = Color();
  UpdateHotState(false, false);
  ApplyTextHint(FTextHint);
}

void TRzCustomEdit::KeyPress(char& Key) {
  if (Key == '\r' && FTabOnEnter) {
    // The form moves the focus on.
    Key = 0;
    if (HandleAllocated()) PostMessageA(Handle(), WM_KEYDOWN, VK_TAB, 0);
    return;
  }
  if (Key == '\r' && FAlignment == taRightJustify && IsWindows4()) {
    Key = 0;
    return;
  }
  TCustomMaskEdit::KeyPress(Key);
}

void TRzCustomEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_CHAR:
      // The class library keeps Enter from edits that do not want it;
      // KeyPress decides here first.
      if (Message.WParam == '\r' && (FTabOnEnter || (FAlignment == taRightJustify && IsWindows4()))) {
        char key = '\r';
        KeyPress(key);
        if (key == 0) return;
      }
      break;
    case CM_COLORCHANGED:
      TCustomMaskEdit::Dispatch(Message);
      if (!FUpdatingColor) {
        // A colour set from outside is the new normal colour; a focus
        // colour that was the same follows it.
        if (FFocusColor == FNormalColor) FFocusColor = Color();
        FNormalColor = Color();
      }
      if (ShowsCustomFrame()) RedrawFrame();
      return;
    case CM_PARENTCOLORCHANGED:
      TCustomMaskEdit::Dispatch(Message);
      if (ParentColor() && !FUpdatingColor) {
        if (FFocusColor == FNormalColor) FFocusColor = Color();
        FNormalColor = Color();
      }
      if (ShowsCustomFrame()) RedrawFrame();
      return;
    case CM_ENABLEDCHANGED:
      TCustomMaskEdit::Dispatch(Message);
      UpdateColors();
      RedrawFrame();
      return;
    case CM_MOUSEENTER:
      if (ComponentState().Contains(csDesigning)) return;
      TCustomMaskEdit::Dispatch(Message);
      UpdateHotState(true, true);
      return;
    case CM_MOUSELEAVE:
      TCustomMaskEdit::Dispatch(Message);
      UpdateHotState(true, false);
      return;
    case CM_ENTER:
      UpdateHotState(false, true);
      if (IsWindows4() && AutoSelect() && !(GetKeyState(VK_LBUTTON) < 0)) SelectAll();
      TCustomMaskEdit::Dispatch(Message);
      return;
    case CM_EXIT:
      TCustomMaskEdit::Dispatch(Message);
      UpdateHotState(false, false);
      return;
    case WM_NCPAINT:
      TCustomMaskEdit::Dispatch(Message);
      if (ShowsCustomFrame()) PaintCustomFrame();
      Message.Result = 0;
      return;
    case WM_SIZE:
      TCustomMaskEdit::Dispatch(Message);
      if (ShowsCustomFrame()) RedrawFrame();
      return;
    default:
      break;
  }
  TCustomMaskEdit::Dispatch(Message);
}

// -- Streaming --------------------------------------------------------------------------------

void TRzCustomEdit::DefineProperties(TFiler* filer) {
  TCustomMaskEdit::DefineProperties(filer);
  // Older forms: a flat frame was hot tracking with the status look; the
  // focus style became the hot style.
  filer->DefineProperty("FrameFlat", TReaderProc::Lambda([this](TReader* reader) {
                          if (!reader->ReadBoolean()) return;
                          SetFrameHotTrack(true);
                          SetFrameStyle(fsStatus);
                          SetFrameHotStyle(fsLowered);
                        }),
                        TWriterProc(), false);
  filer->DefineProperty("FrameFocusStyle", TReaderProc::Lambda([this](TReader* reader) {
                          const int value = FrameStyleNames.ValueOf(reader->ReadIdent());
                          if (value >= 0) SetFrameHotStyle(static_cast<TFrameStyle>(value));
                        }),
                        TWriterProc(), false);
  filer->DefineProperty("FrameFlatStyle", TReaderProc::Lambda(&TRzOldPropReader::ReadOldEnumProp), TWriterProc(),
                        false);
}

namespace {

using E = TRzCustomEdit;

// A setting the frame controller governs is the controller's to store.
template <TRzFrameControllerNotification N>
bool NotGoverned(TObject* o) {
  auto* e = static_cast<E*>(o);
  return !(e->FrameController() && e->FrameControllerNotifications().Contains(N));
}
bool ColorStored(TObject* o) { return NotGoverned<fcpColor>(o) && static_cast<E*>(o)->Enabled(); }
bool FocusColorStored(TObject* o) {
  auto* e = static_cast<E*>(o);
  return NotGoverned<fcpFocusColor>(o) && ColorToRGB(e->FocusColor()) != ColorToRGB(e->Color());
}

const TPublishedRegistration editRegistration(&TRzEdit::ClassInfo, {
    Property<&TControl::Text, &TControl::SetText>("Text"),
    Property<&TCustomEdit::ReadOnly, &E::SetReadOnly>("ReadOnly").Default(false),
    Property<&E::TextHint, &E::SetTextHint>("TextHint"),
    Property<&E::TextHintVisibleOnFocus, &E::SetTextHintVisibleOnFocus>("TextHintVisibleOnFocus").Default(false),
    Property<&E::Alignment, &E::SetAlignment>("Alignment", AlignmentNames).Default(taLeftJustify),
    StoredWhen(Property<&TControl::Color, &TControl::SetColor>("Color", pkColor).Default(clWindow), ColorStored),
    StoredWhen(Property<&E::DisabledColor, &E::SetDisabledColor>("DisabledColor", pkColor).Default(clBtnFace),
               NotGoverned<fcpDisabledColor>),
    StoredWhen(Property<&E::ReadOnlyColor, &E::SetReadOnlyColor>("ReadOnlyColor", pkColor).Default(clInfoBk),
               NotGoverned<fcpReadOnlyColor>),
    StoredWhen(Property<&E::ReadOnlyColorOnFocus, &E::SetReadOnlyColorOnFocus>("ReadOnlyColorOnFocus").Default(false),
               NotGoverned<fcpReadOnlyColorOnFocus>),
    StoredWhen(Property<&E::FocusColor, &E::SetFocusColor>("FocusColor", pkColor), FocusColorStored),
    StoredWhen(Property<&E::FrameColor, &E::SetFrameColor>("FrameColor", pkColor).Default(clBtnShadow),
               NotGoverned<fcpFrameColor>),
    Property<&E::FrameController, &E::SetFrameController>("FrameController"),
    Property<&E::FrameControllerNotifications, &E::SetFrameControllerNotifications>(
        "FrameControllerNotifications", FrameControllerNotificationNames)
        .Default(fcpAllNotifications),
    StoredWhen(Property<&E::FrameHotColor, &E::SetFrameHotColor>("FrameHotColor", pkColor).Default(clBtnShadow),
               NotGoverned<fcpFrameHotColor>),
    StoredWhen(Property<&E::FrameHotTrack, &E::SetFrameHotTrack>("FrameHotTrack").Default(false),
               NotGoverned<fcpFrameHotTrack>),
    StoredWhen(Property<&E::FrameHotStyle, &E::SetFrameHotStyle>("FrameHotStyle", FrameStyleNames).Default(fsFlatBold),
               NotGoverned<fcpFrameHotStyle>),
    StoredWhen(Property<&E::FrameSides, &E::SetFrameSides>("FrameSides", SideNames).Default(sdAllSides),
               NotGoverned<fcpFrameSides>),
    StoredWhen(Property<&E::FrameStyle, &E::SetFrameStyle>("FrameStyle", FrameStyleNames).Default(fsFlat),
               NotGoverned<fcpFrameStyle>),
    StoredWhen(Property<&E::FrameVisible, &E::SetFrameVisible>("FrameVisible").Default(false),
               NotGoverned<fcpFrameVisible>),
    StoredWhen(Property<&E::FramingPreference, &E::SetFramingPreference>("FramingPreference", FramingPreferenceNames)
                   .Default(fpXPThemes),
               NotGoverned<fcpFramingPreference>),
    Property<&E::TabOnEnter, &E::SetTabOnEnter>("TabOnEnter").Default(false),
});

}  // namespace
