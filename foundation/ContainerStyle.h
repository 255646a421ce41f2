// How a container looks: a container style holds ten values (border colour
// and style, colour, edges, font, hot tracking, shadow, text colour and
// style, transparent border) and the set of them assigned on it; an
// unassigned value comes from the style controller's style of the same
// state, else from a default that depends on the state and the look and
// feel. A container keeps four styles, one per state (normal, focused,
// disabled, hot), the last three with the normal one as parent; a style
// controller holds one shared set that many containers follow. The view
// info is what a container computed for painting, and paints the frame and
// the background.
#pragma once

#include "foundation/Classes.h"
#include "foundation/ContainerServices.h"
#include "foundation/LookAndFeel.h"
#include "platform/Graphics.h"

#include <memory>
#include <vector>

class TcxContainer;
class TcxStyleController;

// A value of a style: its index is its bit in AssignedValues. Descendant
// styles number their further values from 10 up to 31.
enum class TcxContainerStyleValue : uint8_t {};
using TcxContainerStyleValues = TSet<TcxContainerStyleValue, 32>;
inline constexpr TcxContainerStyleValue csvBorderColor{0};
inline constexpr TcxContainerStyleValue csvBorderStyle{1};
inline constexpr TcxContainerStyleValue csvColor{2};
inline constexpr TcxContainerStyleValue csvEdges{3};
inline constexpr TcxContainerStyleValue csvFont{4};
inline constexpr TcxContainerStyleValue csvHotTrack{5};
inline constexpr TcxContainerStyleValue csvShadow{6};
inline constexpr TcxContainerStyleValue csvTextColor{7};
inline constexpr TcxContainerStyleValue csvTextStyle{8};
inline constexpr TcxContainerStyleValue csvTransparentBorder{9};
constexpr int cxContainerStyleValueCount = 10;

// Style states: the index of a container's four styles.
enum TcxContainerStyleState : uint8_t { cxssNormal, cxssFocused, cxssDisabled, cxssHot };
constexpr int cxContainerStyleStateCount = 4;

class TcxContainerStyle;
using TcxStyleChangedEvent = TEvent<void(TcxContainerStyle* style)>;

// The controller a style with none set follows: the edit framework
// registers its default controller here (none until then).
using TcxDefaultStyleControllerProc = TcxStyleController* (*)();
TcxDefaultStyleControllerProc SetDefaultStyleControllerProc(TcxDefaultStyleControllerProc proc);
TcxStyleController* DefaultStyleController();

class TcxContainerStyle : public TcxUncountedInterfaces<TcxInterfacedPersistent, IcxMarker> {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // The style of `state` for `owner` (a container, a popup window or a style
  // controller); `parent` is kept only for a state other than normal. In
  // direct-access mode the style borrows its font and takes Color, Font,
  // TextColor and TextStyle as assigned.
  TcxContainerStyle(TPersistent* owner, bool directAccess, TcxContainerStyle* parent, int state);
  ~TcxContainerStyle() override;
  static TcxContainerStyle* CreateForState(TPersistent* owner, bool directAccess, TcxContainerStyle* parent,
                                           int state) {
    return new TcxContainerStyle(owner, directAccess, parent, state);
  }
  void Assign(TPersistent* source) override { CopyFrom(source); }
  virtual void CopyFrom(TPersistent* source);

  void LockUpdates() { ++FUpdateCount; }
  void UnlockUpdates();

  bool IsRootStyle() const { return FParentStyle == nullptr; }
  TcxContainerStyle* RootStyle() { return IsRootStyle() ? this : FParentStyle->RootStyle(); }
  TcxContainerStyle* ParentStyle() const { return FParentStyle; }
  int State() const { return FState; }
  bool DirectAccessMode() const { return FDirectAccessMode; }
  TPersistent* Owner() const { return FOwner; }
  // The owner when it is a container.
  TcxContainer* OwningContainer() const;

  // The values as they resolve (own, controller's, default).
  TColor GetBorderColor();
  TcxContainerBorderStyle GetBorderStyle();
  virtual TColor GetColor();
  TcxBorders GetEdges();
  TFont* GetFont();
  bool GetHotTrack();
  bool GetShadow();
  virtual TColor GetTextColor();
  virtual TFontStyles GetTextStyle();
  bool GetTransparentBorder();
  TcxLookAndFeel* GetLookAndFeel();
  // The colour the control takes: the parent's colour while the container
  // shows it and nothing resolves.
  virtual TColor ColorForControl();
  // The font refreshed to the resolved text colour and style.
  TFont* EffectiveFont();

  void SetBorderColor(TColor value);
  void SetBorderStyle(TcxContainerBorderStyle value);
  void SetColor(TColor value);
  void SetEdges(TcxBorders value);
  void SetFont(TFont* value);
  void SetHotTrack(bool value);
  void SetShadow(bool value);
  void SetTextColor(TColor value);
  void SetTextStyle(TFontStyles value);
  void SetTransparentBorder(bool value);
  void SetLookAndFeel(TcxLookAndFeel* value);

  TcxContainerStyleValues GetAssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TcxContainerStyleValues value);
  // The controller, nil when it is the default one.
  TcxStyleController* GetStyleController();
  // Nil means the default; a controller whose chain of normal styles leads
  // back to this style is refused.
  void SetStyleController(TcxStyleController* value);
  // The root style's stored controller (the default one included).
  TcxStyleController* ActiveStyleController();
  // The controller the style follows when none is set: the program's
  // default one (DefaultStyleController), none for a style of a container
  // that works in place (it ignores the parent's colour).
  virtual TcxStyleController* DefaultController();

  // Whether a value resolves here or through the controllers.
  virtual bool IsValueAssigned(int index);
  bool IsValueAssigned(TcxContainerStyleValue value) { return IsValueAssigned(static_cast<int>(value)); }
  // The published name of a value ("BorderColor", ...); false beyond the ten.
  virtual bool NameOfStyleValue(int index, AnsiString& name) const;
  virtual int StyleValueCount() const { return cxContainerStyleValueCount; }
  // Case-insensitive; false for no value's name.
  bool FindStyleValueByName(const AnsiString& name, int& index) const;
  bool IsStylePropertyPublished(const AnsiString& name) const;
  virtual bool ShowsBorder();
  virtual void ResetToDefaults();
  virtual TcxContainerStyleValues UnpublishedExtendedValues() const;
  // Whether the form stores the value (assigned, and the container keeps it).
  bool IsValueStored(int index);

  TcxStyleChangedEvent OnChanged;

  // The controller calls these.
  virtual void AfterControllerChange();
  virtual void ControllerRemoved(TcxStyleController* controller);
  virtual void SignalChange();

  void DefineProperties(TFiler* filer) override;

protected:
  virtual TColor BorderColorByDefault();
  virtual TcxContainerBorderStyle BorderStyleByDefault();
  virtual TColor ColorByDefault();
  virtual TcxBorders EdgesByDefault() { return cxBordersAll; }
  virtual bool HotTrackByDefault() { return true; }
  virtual bool ShadowByDefault() { return false; }
  virtual TColor TextColorByDefault();
  virtual TFontStyles TextStyleByDefault();
  virtual bool TransparentBorderByDefault() { return true; }
  virtual void HandleFontChange(TObject* sender);
  // The style that value `index` resolves on: this, a controller's, or null.
  TcxContainerStyle* ResolvingStyle(int index);
  void RefreshFont();
  void ApplyChange();
  // Stores a value and marks it assigned; nothing when it already is, equal.
  template <class T>
  void StoreValue(T& field, const T& value, TcxContainerStyleValue bit) {
    if (FAssignedValues.Contains(bit) && field == value) return;
    field = value;
    FAssignedValues.Include(bit);
    SignalChange();
  }

private:
  bool WantsParentColor();

  TColor FBorderColor = clWindowFrame;
  TcxContainerBorderStyle FBorderStyle = cbs3D;
  TcxBorders FEdges = cxBordersAll;
  bool FHotTrack = true;
  bool FShadow = false;
  bool FTransparentBorder = true;
  bool FDirectAccessMode;
  int FFontAssignedLockCount = 0;
  bool FIsDestroying = false;
  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;  // root style only
  bool FModified = false;
  TPersistent* FOwner;
  TcxContainerStyle* FParentStyle;  // not owned
  int FState;
  TFontStyles FTextStyle;
  int FUpdateCount = 0;
  TFont FVisibleFont;
  TcxContainerStyleValues FAssignedValues;
  TcxStyleController* FStyleController = nullptr;
  TColor FColor = clWindow;
  std::unique_ptr<TFont> FOwnFont;  // a root style's own font
  TFont* FFont = nullptr;           // the own one, or a borrowed one in direct-access mode
  TColor FTextColor = clWindowText;
};

// The four styles of a container or controller, by state.
class TcxContainerStyles : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // The style class must be TcxContainerStyle or a descendant.
  TcxContainerStyles(TPersistent* owner, TClass styleClass);
  ~TcxContainerStyles() override;
  static TcxContainerStyles* CreateForOwner(TPersistent* owner, TClass styleClass) {
    return new TcxContainerStyles(owner, styleClass);
  }

  TcxContainerStyle* StyleForState(int state) const { return FStyles[state]; }
  TcxContainerStyle* NormalStyle() const { return FStyles[cxssNormal]; }
  TcxContainerStyle* FocusedStyle() const { return FStyles[cxssFocused]; }
  TcxContainerStyle* DisabledStyle() const { return FStyles[cxssDisabled]; }
  TcxContainerStyle* HotStyle() const { return FStyles[cxssHot]; }
  void AssignStyleAt(int state, TcxContainerStyle* style) { FStyles[state]->CopyFrom(style); }
  void AssignNormalStyle(TcxContainerStyle* style) { AssignStyleAt(cxssNormal, style); }
  void AssignFocusedStyle(TcxContainerStyle* style) { AssignStyleAt(cxssFocused, style); }
  void AssignDisabledStyle(TcxContainerStyle* style) { AssignStyleAt(cxssDisabled, style); }
  void AssignHotStyle(TcxContainerStyle* style) { AssignStyleAt(cxssHot, style); }
  void SetChangeHandler(const TcxStyleChangedEvent& handler);

private:
  TcxContainerStyle* FStyles[cxContainerStyleStateCount] = {};
};

// The registry of style classes (class reference to constructor).
using TcxContainerStyleFactory = TcxContainerStyle* (*)(TPersistent* owner, bool directAccess,
                                                        TcxContainerStyle* parent, int state);
// A style class makes its instances through this; descendants register theirs.
void RegisterContainerStyleFactory(TClass styleClass, TcxContainerStyleFactory factory);
// A style of a registered class (the base class when none is registered).
TcxContainerStyle* CreateContainerStyle(TClass styleClass, TPersistent* owner, bool directAccess,
                                        TcxContainerStyle* parent, int state);

using TcxStyleControllerChangedEvent = TEvent<void(TcxStyleController* sender)>;

// A component holding one set of four styles that many containers follow.
class TcxStyleController : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxStyleController(TComponent* AOwner);
  ~TcxStyleController() override;
  static TcxStyleController* CreateWithOwner(TComponent* owner) { return New<TcxStyleController>(owner); }
  void Loaded() override;

  TcxContainerStyles* Styles() const { return FStyles.get(); }
  TcxContainerStyle* Style() const { return FStyles->NormalStyle(); }
  int ListenerCount() const { return static_cast<int>(FListeners.size()); }
  bool IsDestroying() const { return FIsDestroying; }
  // Reads the normal style's controller; writing does nothing.
  TcxStyleController* FakeStyleController() const;
  void SetFakeStyleController(TcxStyleController*) {}

  virtual void RegisterStyle(TcxContainerStyle* style);
  virtual TClass StyleClass() const { return &TcxContainerStyle::ClassInfo; }
  virtual TClass StylesClass() const { return &TcxContainerStyles::ClassInfo; }
  virtual void UnregisterStyle(TcxContainerStyle* style);
  // OnStyleChanged, then every listener's AfterControllerChange in order.
  void NotifyListeners();
  // Scales the font when the normal style has one of its own (once), else
  // asks the normal style's controller.
  void ScaleFont(int numerator, int denominator);

  TcxStyleControllerChangedEvent OnStyleChanged;

protected:
  // Set up after construction, so that a descendant's StyleClass counts.
  void AfterConstruction() override;

private:
  void StyleChanged(TcxContainerStyle*) { NotifyListeners(); }
  std::unique_ptr<TcxContainerStyles> FStyles;
  std::vector<TcxContainerStyle*> FListeners;  // not owned
  bool FIsDestroying = false;
  bool FFontScaled = false;
};

// The state a container shows (normal, active, disabled, hot).
enum class TcxContainerStateItemFlag : uint8_t { csfNormal, csfActive, csfDisabled, csfHotTrack };
using enum TcxContainerStateItemFlag;
using TcxContainerState = TSet<TcxContainerStateItemFlag, 8>;

// What a container computed for painting.
class TcxContainerViewInfo : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TcxContainerViewInfo() { ContainerState = TcxContainerState{csfNormal}; }
  static TcxContainerViewInfo* CreateInNormalState() { return new TcxContainerViewInfo(); }

  TColor BackgroundColor = clWindow;
  TColor BorderColor = clWindowFrame;
  // The area inside the border, where content and inner control go.
  RECT BorderRect{};
  TcxContainerBorderStyle BorderStyle = cbsNone;
  int BorderWidth = 0;
  // 0, 0, width and height of the control.
  RECT Bounds{};
  // Where the inner control is placed.
  RECT ClientRect{};
  TcxContainerState ContainerState;
  TcxBorders Edges = cxBordersAll;
  // 0 off, 1 on and not lit, 2 on and lit.
  uint8_t HotTrackMode = 0;
  int NativePart = 0;
  int NativeState = 0;
  bool NativeStyle = false;
  TcxLookAndFeelPainterClass Painter = nullptr;  // a skin painter; none in this program
  bool Shadow = false;
  TdxThemedObjectType ThemedObjectKind = totEdit;

  virtual void DrawBorderFrame(TcxCanvas* canvas, const RECT& r);
  virtual TcxContainerBorderStyle EffectiveBorderStyle() { return BorderStyle; }
  virtual void PaintContent(TcxCanvas* canvas);
  virtual void AssignBackgroundColor(TColor color) { BackgroundColor = color; }
  virtual void TakeOverFrom(TObject* other);
  // What changed compared with `other` (the base: nothing; the caller owns it).
  virtual TcxRegion* RegionToRepaint(TcxContainerViewInfo* other);
  virtual void ShiftRects(int dx, int dy);
  virtual void PaintOn(TcxCanvas* canvas) { PaintContent(canvas); }
};
