// Edit styles: the container style with six values only editors have (the
// edit buttons' style and transparency, the drop-down popup's border style,
// two gradient switches and the gradient direction), and the style
// controller whose four edit styles editors follow. One default controller
// exists while the editor unit runs; every root style without a controller
// of its own follows it.
#pragma once

#include "foundation/ContainerStyle.h"

enum class TcxEditButtonStyle : uint8_t { btsDefault, bts3D, btsFlat, btsSimple, btsHotFlat, btsUltraFlat, btsOffice11 };
using enum TcxEditButtonStyle;
enum class TcxEditButtonTransparency : uint8_t { ebtNone, ebtInactive, ebtAlways, ebtHideInactive, ebtHideUnselected };
using enum TcxEditButtonTransparency;
enum class TcxEditGradientDirection : uint8_t { dirNone, dirLeft, dirRight, dirUp, dirDown };
using enum TcxEditGradientDirection;
enum class TcxEditPopupBorderStyle : uint8_t { epbsDefault, epbsSingle, epbsFrame3D, epbsFlat };
using enum TcxEditPopupBorderStyle;
// The container's border styles under the editors' names, in the same order.
enum class TcxEditBorderStyle : uint8_t { ebsNone, ebsSingle, ebsThick, ebsFlat, ebs3D, ebsUltraFlat, ebsOffice11 };
using enum TcxEditBorderStyle;

// The edit style's own values, numbered after the container's ten.
inline constexpr TcxContainerStyleValue svButtonStyle{10};
inline constexpr TcxContainerStyleValue svButtonTransparency{11};
inline constexpr TcxContainerStyleValue svPopupBorderStyle{12};
inline constexpr TcxContainerStyleValue svGradientButtons{13};
inline constexpr TcxContainerStyleValue svGradient{14};
inline constexpr TcxContainerStyleValue svGradientDirection{15};
constexpr int cxEditStyleValueCount = 16;

class TcxEditStyleController;

class TcxCustomEditStyle : public TcxContainerStyle {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TcxCustomEditStyle(TPersistent* owner, bool directAccess, TcxContainerStyle* parent, int state);
  static TcxCustomEditStyle* CreateForState(TPersistent* owner, bool directAccess, TcxContainerStyle* parent,
                                            int state) {
    return new TcxCustomEditStyle(owner, directAccess, parent, state);
  }
  // From another edit style: the six values and PopupOption, then the
  // container's values, one change.
  void CopyFrom(TPersistent* source) override;

  TcxEditButtonStyle ButtonStyle();
  void SetButtonStyle(TcxEditButtonStyle value);
  TcxEditButtonTransparency ButtonTransparency();
  // These four are shared by all states: set on a state style they set the
  // root's value.
  void SetButtonTransparency(TcxEditButtonTransparency value);
  bool Gradient();
  void SetGradient(bool value);
  bool GradientButtons();
  void SetGradientButtons(bool value);
  TcxEditGradientDirection GradientDirection();
  void SetGradientDirection(TcxEditGradientDirection value);
  TcxEditPopupBorderStyle PopupBorderStyle();
  void SetPopupBorderStyle(TcxEditPopupBorderStyle value);
  bool PopupOption() const { return FPopupOption; }
  void SetPopupOption(bool value) { FPopupOption = value; }
  // The container's border style under the editors' names.
  TcxEditBorderStyle BorderStyle() { return static_cast<TcxEditBorderStyle>(GetBorderStyle()); }
  void SetEditBorderStyle(TcxEditBorderStyle value) { SetBorderStyle(static_cast<TcxContainerBorderStyle>(value)); }
  // The controller as an edit style controller (null when the one set is
  // the default or no edit style controller).
  TcxEditStyleController* EditStyleController();
  void SetEditStyleController(TcxEditStyleController* value);

  // None in direct-access mode and for a style of an editor that works in
  // place (its container ignores the parent's colour); else the editor
  // unit's default controller. Styles made while their editor is still
  // being constructed take the default one: an in-place editor, once it
  // answers that it works in place, sets its normal style's controller to
  // null again, which lets the default one go.
  TcxStyleController* DefaultController() override;

  // Whether a form stores value I: assigned on this style, and kept by the
  // editor that owns it.
  template <int I>
  bool OwnValueStored() { return IsValueStored(I); }
  // The controller is written by the normal (root) style only.
  bool IsStyleControllerStored() { return IsRootStyle() && GetStyleController() != nullptr; }
  bool IsValueAssigned(int index) override;
  bool NameOfStyleValue(int index, AnsiString& name) const override;
  int StyleValueCount() const override { return cxEditStyleValueCount; }
  TcxContainerStyleValues UnpublishedExtendedValues() const override;

protected:
  // A root style answers the fixed default, a state style its parent's value.
  virtual TcxEditButtonStyle DefaultButtonStyle();
  virtual TcxEditButtonTransparency DefaultButtonTransparency();
  virtual bool DefaultGradient();
  virtual bool DefaultGradientButtons();
  virtual TcxEditGradientDirection DefaultGradientDirection();
  virtual TcxEditPopupBorderStyle DefaultPopupBorderStyle();

private:
  // The style that assigns value `bit` (this or a controller's edit style).
  TcxCustomEditStyle* Resolving(TcxContainerStyleValue bit);
  TcxCustomEditStyle* EditParent() const { return static_cast<TcxCustomEditStyle*>(ParentStyle()); }
  TcxCustomEditStyle* EditRoot() { return static_cast<TcxCustomEditStyle*>(RootStyle()); }

  TcxEditButtonStyle FButtonStyle = btsDefault;
  TcxEditButtonTransparency FButtonTransparency = ebtNone;
  bool FGradient = false;
  bool FGradientButtons = false;
  TcxEditGradientDirection FGradientDirection = dirDown;
  TcxEditPopupBorderStyle FPopupBorderStyle = epbsDefault;
  bool FPopupOption = true;
};

class TcxEditStyle : public TcxCustomEditStyle {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomEditStyle::TcxCustomEditStyle;
};

class TcxEditStyleController : public TcxStyleController {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxEditStyleController(TComponent* AOwner) : TcxStyleController(AOwner) {}

  TClass StyleClass() const override { return &TcxEditStyle::ClassInfo; }
  TcxEditStyle* StyleOf(int state) const { return static_cast<TcxEditStyle*>(Styles()->StyleForState(state)); }
  TcxEditStyle* Style() const { return StyleOf(cxssNormal); }
  TcxEditStyle* StyleFocused() const { return StyleOf(cxssFocused); }
  TcxEditStyle* StyleDisabled() const { return StyleOf(cxssDisabled); }
  TcxEditStyle* StyleHot() const { return StyleOf(cxssHot); }
  void SetStyle(TcxEditStyle* value) { Styles()->AssignStyleAt(cxssNormal, value); }
  void SetStyleFocused(TcxEditStyle* value) { Styles()->AssignStyleAt(cxssFocused, value); }
  void SetStyleDisabled(TcxEditStyle* value) { Styles()->AssignStyleAt(cxssDisabled, value); }
  void SetStyleHot(TcxEditStyle* value) { Styles()->AssignStyleAt(cxssHot, value); }
};

// The editor unit's default controller, null outside the unit's life.
TcxEditStyleController* cxDefaultEditStyleController();
// The PopupOption of a style chain's root.
bool RootStylePopupOption(TcxCustomEditStyle* style);

// Registers the edit styles with the container's style factory (idempotent).
void cxRegisterEditStyleFactories();
// Unit start and end: the default controller, answered to every container
// style as the controller it follows when it has none of its own.
void cxEditStylesInit();
void cxEditStylesDone();
