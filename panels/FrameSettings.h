// The vocabulary a frame controller and the controls it drives share: the
// notification set a control publishes to choose which settings it takes,
// and the interface of the controls that apply the settings themselves.
#pragma once

#include "platform/Set.h"

enum class TRzFrameControllerNotification {
  fcpColor, fcpFocusColor, fcpDisabledColor, fcpReadOnlyColor, fcpReadOnlyColorOnFocus, fcpParentColor,
  fcpFlatButtonColor, fcpFlatButtons, fcpFrameColor, fcpFrameHotColor, fcpFrameHotTrack, fcpFrameHotStyle,
  fcpFrameSides, fcpFrameStyle, fcpFrameVisible, fcpFramingPreference, fcpAll
};
using enum TRzFrameControllerNotification;
using TRzFrameControllerNotifications = TSet<TRzFrameControllerNotification, 16>;
inline const TRzFrameControllerNotifications fcpAllNotifications =
    TRzFrameControllerNotifications::FromBits(0xFFFF);

// Implemented by the panels and status panes: the controller calls
// ApplyFrameSettings on any change and the control takes what it honours.
// Identifier {64B1C9EA-C954-428A-95C4-4EA2EB0F1E16}; the controller finds it
// by a cast, and the control's lifetime is the component's.
class IFrameSettingsReceiver {
public:
  virtual void ApplyFrameSettings() = 0;

protected:
  ~IFrameSettingsReceiver() = default;
};
