#include "foundation/ContainerStyle.h"

#include "foundation/Container.h"
#include "foundation/GdiPlusApi.h"
#include "foundation/UxTheme.h"
#include "platform/Filer.h"
#include "platform/Properties.h"
#include "platform/Text.h"

#include <algorithm>

namespace {

const char* const StyleValueNames[cxContainerStyleValueCount] = {
    "BorderColor", "BorderStyle", "Color", "Edges", "Font", "HotTrack", "Shadow", "TextColor", "TextStyle",
    "TransparentBorder"};

TcxDefaultStyleControllerProc DefaultControllerProc = nullptr;

// A style controller chain longer than this is taken as broken.
constexpr int MaxControllerDepth = 32;

int Index(TcxContainerStyleValue value) { return static_cast<int>(value); }
TcxContainerStyleValue Value(int index) { return static_cast<TcxContainerStyleValue>(index); }

std::vector<std::pair<TClass, TcxContainerStyleFactory>>& StyleFactories() {
  static std::vector<std::pair<TClass, TcxContainerStyleFactory>> factories;
  return factories;
}

TcxContainerStyle* CreateStyle(TClass styleClass, TPersistent* owner, bool directAccess, TcxContainerStyle* parent,
                               int state) {
  for (const auto& f : StyleFactories())
    if (f.first == styleClass) return f.second(owner, directAccess, parent, state);
  return TcxContainerStyle::CreateForState(owner, directAccess, parent, state);
}

}  // namespace

void RegisterContainerStyleFactory(TClass styleClass, TcxContainerStyleFactory factory) {
  for (auto& f : StyleFactories())
    if (f.first == styleClass) {
      f.second = factory;
      return;
    }
  StyleFactories().push_back({styleClass, factory});
}

TcxContainerStyle* CreateContainerStyle(TClass styleClass, TPersistent* owner, bool directAccess,
                                        TcxContainerStyle* parent, int state) {
  return CreateStyle(styleClass, owner, directAccess, parent, state);
}

TcxDefaultStyleControllerProc SetDefaultStyleControllerProc(TcxDefaultStyleControllerProc proc) {
  std::swap(proc, DefaultControllerProc);
  return proc;
}

TcxStyleController* DefaultStyleController() { return DefaultControllerProc ? DefaultControllerProc() : nullptr; }

// ---------------------------------------------------------------------------
// TcxContainerStyle

const TClassInfo TcxContainerStyle::ClassInfo{"TcxContainerStyle", &TcxInterfacedPersistent::ClassInfo, nullptr};

TcxContainerStyle::TcxContainerStyle(TPersistent* owner, bool directAccess, TcxContainerStyle* parent, int state)
    : TcxUncountedInterfaces(owner),
      FDirectAccessMode(directAccess),
      FOwner(owner),
      FParentStyle(state != cxssNormal ? parent : nullptr),
      FState(state) {
  if (directAccess) FAssignedValues = TcxContainerStyleValues{csvColor, csvFont, csvTextColor, csvTextStyle};
  if (!IsRootStyle()) return;
  if (!directAccess) {
    FOwnFont = std::make_unique<TFont>();
    FFont = FOwnFont.get();
    FFont->OnChange = TNotifyEvent::Bind<&TcxContainerStyle::HandleFontChange>(this);
  }
  FLookAndFeel = std::make_unique<TcxLookAndFeel>(this);
  FLookAndFeel->OnSettingsChanged =
      TcxLookAndFeelChangedEvent::Lambda([this](TcxLookAndFeel*, TcxLookAndFeelValues) { SignalChange(); });
  SetStyleController(nullptr);
}

TcxContainerStyle::~TcxContainerStyle() {
  FIsDestroying = true;
  if (IsRootStyle() && FStyleController) FStyleController->UnregisterStyle(this);
  FStyleController = nullptr;
}

TcxContainer* TcxContainerStyle::OwningContainer() const { return ObjectAs<TcxContainer>(FOwner); }

void TcxContainerStyle::UnlockUpdates() {
  if (FUpdateCount > 0) --FUpdateCount;
  ApplyChange();
}

void TcxContainerStyle::ApplyChange() {
  if (!FModified || FUpdateCount != 0) return;
  FModified = false;
  if (!FIsDestroying && !FDirectAccessMode) FireEvent(OnChanged, this);
}

void TcxContainerStyle::SignalChange() {
  FModified = true;
  ApplyChange();
}

void TcxContainerStyle::CopyFrom(TPersistent* source) {
  auto* s = ObjectAs<TcxContainerStyle>(source);
  if (!s) {
    TcxUncountedInterfaces::Assign(source);
    return;
  }
  LockUpdates();
  try {
    if (IsRootStyle()) {
      SetStyleController(s->GetStyleController());
      FLookAndFeel->Assign(s->GetLookAndFeel());
    }
    FBorderColor = s->FBorderColor;
    FBorderStyle = s->FBorderStyle;
    FEdges = s->FEdges;
    FHotTrack = s->FHotTrack;
    FShadow = s->FShadow;
    FTransparentBorder = s->FTransparentBorder;
    FColor = s->FColor;
    if (FDirectAccessMode) {
      FFont = s->GetFont();
      FTextColor = s->FTextColor;
    } else {
      if (FOwnFont && s->GetFont()) {
        ++FFontAssignedLockCount;
        FOwnFont->Assign(s->GetFont());
        if (s->FDirectAccessMode) FOwnFont->SetColor(s->FTextColor);
        --FFontAssignedLockCount;
      }
      FTextColor = s->FTextColor;
      FTextStyle = s->FTextStyle;
    }
    FAssignedValues = s->FAssignedValues;
    SignalChange();
  } catch (...) {
    UnlockUpdates();
    throw;
  }
  UnlockUpdates();
}

TcxContainerStyle* TcxContainerStyle::ResolvingStyle(int index) {
  TcxContainerStyle* style = this;
  for (int depth = 0; style && depth < MaxControllerDepth; ++depth) {
    if (style->FAssignedValues.Contains(Value(index))) return style;
    TcxStyleController* controller = style->RootStyle()->FStyleController;
    if (!controller || !controller->Styles()) return nullptr;
    TcxContainerStyle* next = controller->Styles()->StyleForState(FState);
    if (next == style) return nullptr;
    style = next;
  }
  return nullptr;
}

bool TcxContainerStyle::IsValueAssigned(int index) {
  if (index < 0 || index >= cxContainerStyleValueCount) return false;
  return ResolvingStyle(index) != nullptr;
}

// --- getters ---------------------------------------------------------------------------------------------

TColor TcxContainerStyle::GetBorderColor() {
  if (FDirectAccessMode) return clDefault;
  if (TcxContainerStyle* s = ResolvingStyle(Index(csvBorderColor))) return s->FBorderColor;
  return BorderColorByDefault();
}

TColor TcxContainerStyle::BorderColorByDefault() {
  if (FState == cxssDisabled) return clBtnShadow;
  if (IsRootStyle()) return clWindowFrame;
  return FParentStyle->GetBorderColor();
}

TcxContainerBorderStyle TcxContainerStyle::GetBorderStyle() {
  if (FDirectAccessMode)
    return FAssignedValues.Contains(csvBorderStyle) ? FBorderStyle : BorderStyleByDefault();
  if (TcxContainerStyle* s = ResolvingStyle(Index(csvBorderStyle))) return s->FBorderStyle;
  return BorderStyleByDefault();
}

TcxContainerBorderStyle TcxContainerStyle::BorderStyleByDefault() {
  if (IsRootStyle()) {
    switch (GetLookAndFeel()->Kind()) {
      case lfFlat: return cbsFlat;
      case lfStandard: return cbs3D;
      case lfOffice11: return cbsOffice11;
      default: return cbsUltraFlat;
    }
  }
  const TcxContainerBorderStyle parent = FParentStyle->GetBorderStyle();
  if ((FState != cxssFocused && FState != cxssHot) || !GetHotTrack()) return parent;
  // Lit: a line thickens, a flat edge becomes 3-D, nothing becomes flat.
  switch (parent) {
    case cbsNone: return cbsFlat;
    case cbsSingle: return cbsThick;
    case cbsFlat: return cbs3D;
    default: return parent;
  }
}

bool TcxContainerStyle::WantsParentColor() {
  TcxContainer* container = OwningContainer();
  return !container || container->DefaultParentColor();
}

TColor TcxContainerStyle::GetColor() {
  if (FDirectAccessMode) return FColor;
  if (IsRootStyle())
    if (TcxContainer* c = OwningContainer(); c && c->ParentColor() && c->Parent()) return c->Parent()->Color();
  if (TcxContainerStyle* s = ResolvingStyle(Index(csvColor))) return s->FColor;
  return ColorByDefault();
}

TColor TcxContainerStyle::ColorByDefault() {
  const bool w = WantsParentColor();
  if (IsRootStyle()) return w ? clBtnFace : clWindow;
  if (FState == cxssDisabled && !w) return clBtnFace;
  return FParentStyle->GetColor();
}

TColor TcxContainerStyle::ColorForControl() {
  if (FDirectAccessMode) return FColor;
  if (TcxContainerStyle* s = ResolvingStyle(Index(csvColor))) return s->FColor;
  TcxContainer* c = RootStyle()->OwningContainer();
  if (c && c->ParentColor() && c->Parent() && !c->IgnoresParentColor()) return c->Parent()->Color();
  return ColorByDefault();
}

TcxBorders TcxContainerStyle::GetEdges() {
  if (FDirectAccessMode) return {};
  if (!IsRootStyle()) return RootStyle()->GetEdges();
  if (TcxContainerStyle* s = ResolvingStyle(Index(csvEdges))) return s->FEdges;
  return EdgesByDefault();
}

TFont* TcxContainerStyle::GetFont() {
  if (FDirectAccessMode) return FFont;
  return RootStyle()->FFont;
}

bool TcxContainerStyle::GetHotTrack() {
  if (FDirectAccessMode) return FAssignedValues.Contains(csvHotTrack) ? FHotTrack : HotTrackByDefault();
  if (!IsRootStyle()) return RootStyle()->GetHotTrack();
  if (TcxContainerStyle* s = ResolvingStyle(Index(csvHotTrack))) return s->FHotTrack;
  return HotTrackByDefault();
}

bool TcxContainerStyle::GetShadow() {
  if (FDirectAccessMode) return false;
  if (!IsRootStyle()) return RootStyle()->GetShadow();
  if (TcxContainerStyle* s = ResolvingStyle(Index(csvShadow))) return s->FShadow;
  return ShadowByDefault();
}

TColor TcxContainerStyle::GetTextColor() {
  if (FDirectAccessMode) return FTextColor;
  if (TcxContainerStyle* s = ResolvingStyle(Index(csvTextColor))) return s->FTextColor;
  return TextColorByDefault();
}

TColor TcxContainerStyle::TextColorByDefault() {
  if (FState == cxssDisabled) return clBtnShadow;
  if (IsRootStyle()) return GetFont() ? GetFont()->Color() : clWindowText;
  return FParentStyle->GetTextColor();
}

TFontStyles TcxContainerStyle::GetTextStyle() {
  if (FDirectAccessMode) return GetFont() ? GetFont()->Style() : TFontStyles();
  if (TcxContainerStyle* s = ResolvingStyle(Index(csvTextStyle))) return s->FTextStyle;
  return TextStyleByDefault();
}

TFontStyles TcxContainerStyle::TextStyleByDefault() {
  if (IsRootStyle()) return GetFont() ? GetFont()->Style() : TFontStyles();
  return FParentStyle->GetTextStyle();
}

bool TcxContainerStyle::GetTransparentBorder() {
  if (FDirectAccessMode) return true;
  if (!IsRootStyle()) return RootStyle()->GetTransparentBorder();
  if (TcxContainerStyle* s = ResolvingStyle(Index(csvTransparentBorder))) return s->FTransparentBorder;
  return TransparentBorderByDefault();
}

TcxLookAndFeel* TcxContainerStyle::GetLookAndFeel() { return RootStyle()->FLookAndFeel.get(); }

TFont* TcxContainerStyle::EffectiveFont() {
  if (TFont* font = GetFont()) FVisibleFont.Assign(font);
  FVisibleFont.SetColor(GetTextColor());
  FVisibleFont.SetStyle(GetTextStyle());
  return &FVisibleFont;
}

// --- setters -----------------------------------------------------------------------------------------------

void TcxContainerStyle::SetBorderColor(TColor value) {
  StoreValue(FBorderColor, value, csvBorderColor);
}

void TcxContainerStyle::SetBorderStyle(TcxContainerBorderStyle value) {
  StoreValue(FBorderStyle, value, csvBorderStyle);
}

void TcxContainerStyle::SetColor(TColor value) {
  StoreValue(FColor, value, csvColor);
}

void TcxContainerStyle::SetEdges(TcxBorders value) {
  if (!IsRootStyle()) return RootStyle()->SetEdges(value);
  StoreValue(FEdges, value, csvEdges);
}

void TcxContainerStyle::SetFont(TFont* value) {
  if (!IsRootStyle()) return RootStyle()->SetFont(value);
  if (FDirectAccessMode) {
    FFont = value;
    SignalChange();
    return;
  }
  if (FFont && value) FFont->Assign(value);  // HandleFontChange marks it assigned
}

void TcxContainerStyle::SetHotTrack(bool value) {
  if (!IsRootStyle()) return RootStyle()->SetHotTrack(value);
  StoreValue(FHotTrack, value, csvHotTrack);
}

void TcxContainerStyle::SetShadow(bool value) {
  if (!IsRootStyle()) return RootStyle()->SetShadow(value);
  StoreValue(FShadow, value, csvShadow);
}

void TcxContainerStyle::SetTextColor(TColor value) {
  if (FAssignedValues.Contains(csvTextColor) && GetTextColor() == value) return;
  FTextColor = value;
  FAssignedValues.Include(csvTextColor);
  SignalChange();
}

void TcxContainerStyle::SetTextStyle(TFontStyles value) {
  if (FAssignedValues.Contains(csvTextStyle) && GetTextStyle() == value) return;
  FTextStyle = value;
  FAssignedValues.Include(csvTextStyle);
  SignalChange();
}

void TcxContainerStyle::SetTransparentBorder(bool value) {
  if (!IsRootStyle()) return RootStyle()->SetTransparentBorder(value);
  StoreValue(FTransparentBorder, value, csvTransparentBorder);
}

void TcxContainerStyle::SetLookAndFeel(TcxLookAndFeel* value) { GetLookAndFeel()->Assign(value); }

void TcxContainerStyle::SetAssignedValues(TcxContainerStyleValues value) {
  if (FAssignedValues == value) return;
  FAssignedValues = value;
  if (IsRootStyle()) RefreshFont();
  SignalChange();
}

void TcxContainerStyle::HandleFontChange(TObject*) {
  if (FFontAssignedLockCount == 0) FAssignedValues.Include(csvFont);
  SignalChange();
}

void TcxContainerStyle::RefreshFont() {
  if (FDirectAccessMode || !FOwnFont || FAssignedValues.Contains(csvFont)) return;
  ++FFontAssignedLockCount;
  try {
    TcxContainerStyle* source = ResolvingStyle(Index(csvFont));
    TcxContainer* container = OwningContainer();
    if (source && source != this && source->GetFont()) {
      FOwnFont->Assign(source->GetFont());
    } else if (!container || !container->ParentFont()) {
      TFont defaults;
      FOwnFont->Assign(&defaults);
    }
  } catch (...) {
    --FFontAssignedLockCount;
    throw;
  }
  --FFontAssignedLockCount;
}

// --- the controller -----------------------------------------------------------------------------------------

TcxStyleController* TcxContainerStyle::ActiveStyleController() { return RootStyle()->FStyleController; }

TcxStyleController* TcxContainerStyle::DefaultController() {
  if (TcxContainer* container = OwningContainer(); container && container->IgnoresParentColor()) return nullptr;
  return DefaultStyleController();
}

TcxStyleController* TcxContainerStyle::GetStyleController() {
  TcxStyleController* controller = ActiveStyleController();
  return controller == DefaultController() ? nullptr : controller;
}

void TcxContainerStyle::SetStyleController(TcxStyleController* value) {
  if (!IsRootStyle()) return RootStyle()->SetStyleController(value);
  if (!value) value = DefaultController();
  // Refuse a controller whose chain of normal styles leads back here.
  int depth = 0;
  for (TcxStyleController* c = value; c && depth < MaxControllerDepth; ++depth) {
    TcxContainerStyle* normal = c->Styles() ? c->Styles()->NormalStyle() : nullptr;
    if (!normal) break;
    if (normal == this) return;
    c = normal->FStyleController;
  }
  if (depth >= MaxControllerDepth) return;
  if (value == FStyleController) return;
  if (FStyleController) FStyleController->UnregisterStyle(this);
  FStyleController = value;
  if (value) value->RegisterStyle(this);
  AfterControllerChange();
}

void TcxContainerStyle::AfterControllerChange() {
  RefreshFont();
  SignalChange();
}

void TcxContainerStyle::ControllerRemoved(TcxStyleController* controller) {
  if (controller != ActiveStyleController()) return;
  TcxContainerStyle* root = RootStyle();
  // The default controller itself going leaves the style without one.
  if (controller == root->DefaultController()) {
    controller->UnregisterStyle(root);
    root->FStyleController = nullptr;
    root->AfterControllerChange();
    return;
  }
  root->SetStyleController(nullptr);
}

// --- names, publishing, storing --------------------------------------------------------------------------

bool TcxContainerStyle::NameOfStyleValue(int index, AnsiString& name) const {
  if (index < 0 || index >= cxContainerStyleValueCount) return false;
  name = StyleValueNames[index];
  return true;
}

bool TcxContainerStyle::FindStyleValueByName(const AnsiString& name, int& index) const {
  for (int i = 0; i < StyleValueCount(); ++i) {
    AnsiString candidate;
    if (NameOfStyleValue(i, candidate) && SameText(candidate, name)) {
      index = i;
      return true;
    }
  }
  return false;
}

TcxContainerStyleValues TcxContainerStyle::UnpublishedExtendedValues() const {
  return TcxContainerStyleValues{csvEdges, csvFont, csvHotTrack, csvShadow, csvTransparentBorder};
}

bool TcxContainerStyle::IsStylePropertyPublished(const AnsiString& name) const {
  if (SameText(name, "LookAndFeel") || SameText(name, "StyleController")) return false;
  int index;
  if (!FindStyleValueByName(name, index)) return true;
  return !UnpublishedExtendedValues().Contains(Value(index));
}

bool TcxContainerStyle::ShowsBorder() { return IsRootStyle() ? true : FParentStyle->ShowsBorder(); }

bool TcxContainerStyle::IsValueStored(int index) {
  if (!FAssignedValues.Contains(Value(index))) return false;
  TcxContainer* container = OwningContainer();
  AnsiString name;
  if (!container || !NameOfStyleValue(index, name)) return true;
  return container->SupportsStyleProperty(name, FState != cxssNormal);
}

void TcxContainerStyle::ResetToDefaults() {
  LockUpdates();
  try {
    SetAssignedValues({});
    if (IsRootStyle()) FLookAndFeel->ClearAssignedValues();
    if (TcxContainer* container = OwningContainer()) {
      container->SetParentColor(false);
      container->SetParentFont(true);
      bool controllerColor = false;
      if (TcxStyleController* c = ActiveStyleController())
        for (int s = 0; s < cxContainerStyleStateCount; ++s)
          controllerColor = controllerColor || c->Styles()->StyleForState(s)->IsValueAssigned(csvColor);
      if (container->DefaultParentColor() && !controllerColor) container->SetParentColor(true);
    } else if (!FDirectAccessMode && FOwnFont) {
      ++FFontAssignedLockCount;
      TFont defaults;
      FOwnFont->Assign(&defaults);
      --FFontAssignedLockCount;
    }
  } catch (...) {
    UnlockUpdates();
    throw;
  }
  UnlockUpdates();
}

void TcxContainerStyle::DefineProperties(TFiler* filer) {
  TcxUncountedInterfaces::DefineProperties(filer);
  // The font is the style's own even where it equals the parent's.
  filer->DefineProperty("IsFontAssigned", TReaderProc::Lambda([this](TReader* reader) {
                          if (reader->ReadBoolean()) FAssignedValues.Include(csvFont);
                        }),
                        TWriterProc::Lambda([](TWriter* writer) { writer->WriteBoolean(true); }),
                        IsValueStored(Index(csvFont)));
}

// ---------------------------------------------------------------------------
// TcxContainerStyles

const TClassInfo TcxContainerStyles::ClassInfo{"TcxContainerStyles", &TObject::ClassInfo, nullptr};

TcxContainerStyles::TcxContainerStyles(TPersistent* owner, TClass styleClass) {
  FStyles[cxssNormal] = CreateStyle(styleClass, owner, false, nullptr, cxssNormal);
  for (int state = 1; state < cxContainerStyleStateCount; ++state)
    FStyles[state] = CreateStyle(styleClass, owner, false, FStyles[cxssNormal], state);
}

TcxContainerStyles::~TcxContainerStyles() {
  for (int state = cxContainerStyleStateCount - 1; state >= 0; --state) {
    delete FStyles[state];
    FStyles[state] = nullptr;
  }
}

void TcxContainerStyles::SetChangeHandler(const TcxStyleChangedEvent& handler) {
  for (TcxContainerStyle* style : FStyles) style->OnChanged = handler;
}

// ---------------------------------------------------------------------------
// TcxStyleController

const TClassInfo TcxStyleController::ClassInfo{"TcxStyleController", &TComponent::ClassInfo,
                                               [](TObject* owner) -> TObject* {
                                                 return new TcxStyleController(static_cast<TComponent*>(owner));
                                               }};

TcxStyleController::TcxStyleController(TComponent* AOwner) : TComponent(AOwner) {}

void TcxStyleController::AfterConstruction() {
  TComponent::AfterConstruction();
  FStyles = std::make_unique<TcxContainerStyles>(this, StyleClass());
  FStyles->SetChangeHandler(TcxStyleChangedEvent::Bind<&TcxStyleController::StyleChanged>(this));
}

TcxStyleController::~TcxStyleController() {
  FIsDestroying = true;
  for (size_t i = FListeners.size(); i-- > 0;) {
    if (i >= FListeners.size()) continue;
    FListeners[i]->ControllerRemoved(this);
  }
  FStyles.reset();
  FListeners.clear();
}

void TcxStyleController::Loaded() {
  TComponent::Loaded();
  NotifyListeners();
}

TcxStyleController* TcxStyleController::FakeStyleController() const {
  return FStyles ? FStyles->NormalStyle()->GetStyleController() : nullptr;
}

void TcxStyleController::RegisterStyle(TcxContainerStyle* style) {
  if (std::find(FListeners.begin(), FListeners.end(), style) != FListeners.end()) return;
  FListeners.push_back(style);
  if (FStyles) style->GetLookAndFeel()->AttachToMaster(FStyles->NormalStyle()->GetLookAndFeel());
}

void TcxStyleController::UnregisterStyle(TcxContainerStyle* style) {
  auto it = std::find(FListeners.begin(), FListeners.end(), style);
  if (it == FListeners.end()) return;
  FListeners.erase(it);
  if (TcxLookAndFeel* lookAndFeel = style->GetLookAndFeel()) lookAndFeel->AttachToMaster(nullptr);
}

void TcxStyleController::NotifyListeners() {
  TWeakLink<TComponent> self(this);
  FireEvent(OnStyleChanged, this);
  if (!self.Get() || FIsDestroying) return;
  for (TcxContainerStyle* style : std::vector<TcxContainerStyle*>(FListeners))
    if (std::find(FListeners.begin(), FListeners.end(), style) != FListeners.end()) style->AfterControllerChange();
}

void TcxStyleController::ScaleFont(int numerator, int denominator) {
  TcxContainerStyle* normal = FStyles->NormalStyle();
  if (normal->GetAssignedValues().Contains(csvFont)) {
    if (FFontScaled) return;
    FFontScaled = true;
    normal->GetFont()->SetSize(MulDiv(normal->GetFont()->Size(), numerator, denominator));
  } else if (TcxStyleController* next = normal->GetStyleController(); next && next != this) {
    next->ScaleFont(numerator, denominator);
  }
}

// ---------------------------------------------------------------------------
// TcxContainerViewInfo

const TClassInfo TcxContainerViewInfo::ClassInfo{"TcxContainerViewInfo", &TObject::ClassInfo, nullptr};

void TcxContainerViewInfo::DrawBorderFrame(TcxCanvas* canvas, const RECT& r) {
  if (Painter || BorderStyle == cbsSingle || BorderStyle == cbsThick) {
    canvas->DrawSideFrame(r, BorderColor, BorderWidth, cxBordersAll);
    return;
  }
  if (BorderStyle != cbsFlat && BorderStyle != cbs3D) return;
  // A sunken outer edge, then one pixel inside either a face-coloured line
  // (flat) or the dark inner edge (3-D).
  canvas->DrawTwoToneFrame(r, clBtnShadow, clBtnHighlight, Edges, 1);
  RECT inner = r;
  InflateRect(&inner, -1, -1);
  if (BorderStyle == cbsFlat) {
    canvas->DrawSideFrame(inner, clBtnFace, 1, cxBordersAll);
  } else {
    canvas->DrawTwoToneFrame(inner, cl3DDkShadow, cl3DLight, Edges, 1);
  }
}

void TcxContainerViewInfo::PaintContent(TcxCanvas* canvas) {
  if (!NativeStyle) {
    RECT r = BorderRect;
    r.left -= BorderWidth;
    r.top -= BorderWidth;
    if (Edges.Contains(bRight)) r.right += BorderWidth;
    if (Edges.Contains(bBottom)) r.bottom += BorderWidth;
    if (Shadow) DrawBoxShadow(canvas, r);
    if (!Edges.Contains(bRight)) r.right += BorderWidth;
    if (!Edges.Contains(bBottom)) r.bottom += BorderWidth;
    DrawBorderFrame(canvas, r);
    canvas->FillWithColor(BorderRect, BackgroundColor);
    return;
  }
  if (BorderStyle == cbsNone) {
    canvas->FillWithColor(Bounds, BackgroundColor);
    return;
  }
  HTHEME theme = AcquireThemeHandle(ThemedObjectKind);
  RECT content = Bounds;
  if (theme) UxGetThemeBackgroundContentRect(theme, canvas->GetDeviceContext(), 1, NativeState, Bounds, content);
  canvas->FillWithColor(content, BackgroundColor);
  COLORREF border = ColorToRGB(clWindowFrame);
  const bool composition = DesktopCompositionActive();
  if (HTHEME t = AcquireThemeHandle(composition ? totListBox : totComboBox))
    UxGetThemeColor(t, composition ? 3 : 1, composition ? NativeState : 1, cxThemeBorderColorProperty, border);
  FillBandBetween(canvas, Bounds, content, static_cast<TColor>(border));
}

void TcxContainerViewInfo::TakeOverFrom(TObject* other) {
  if (auto* v = ObjectAs<TcxContainerViewInfo>(other)) ClientRect = v->ClientRect;
}

TcxRegion* TcxContainerViewInfo::RegionToRepaint(TcxContainerViewInfo*) { return TcxRegion::CreateEmpty(); }

void TcxContainerViewInfo::ShiftRects(int dx, int dy) {
  OffsetRect(&BorderRect, dx, dy);
  OffsetRect(&Bounds, dx, dy);
  OffsetRect(&ClientRect, dx, dy);
}

// ---------------------------------------------------------------------------
// The form table.

namespace {

const TEnumInfo BorderStyleNames{
    "TcxContainerBorderStyle", {"cbsNone", "cbsSingle", "cbsThick", "cbsFlat", "cbs3D", "cbsUltraFlat", "cbsOffice11"}};
const TEnumInfo EdgeNames{"TcxBorder", {"bLeft", "bTop", "bRight", "bBottom"}};
const TEnumInfo TextStyleNames{"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
const TEnumInfo ValueNames{"TcxContainerStyleValue",
                           {"svBorderColor", "svBorderStyle", "svColor", "svEdges", "svFont", "svHotTrack",
                            "svShadow", "svTextColor", "svTextStyle", "svTransparentBorder"}};

template <int I>
bool StoredValue(TObject* o) {
  return static_cast<TcxContainerStyle*>(o)->IsValueStored(I);
}

bool StoredController(TObject* o) {
  auto* style = static_cast<TcxContainerStyle*>(o);
  return style->State() == cxssNormal && style->GetStyleController() != nullptr;
}

TPropInfo WhenStored(TPropInfo info, bool (*predicate)(TObject*)) {
  info.IsStored = predicate;
  return info;
}

const TPublishedRegistration styleRegistration(&TcxContainerStyle::ClassInfo, {
    Property<&TcxContainerStyle::GetAssignedValues, &TcxContainerStyle::SetAssignedValues>("AssignedValues",
                                                                                          ValueNames)
        .Stored(false),
    WhenStored(Property<&TcxContainerStyle::GetBorderColor, &TcxContainerStyle::SetBorderColor>("BorderColor",
                                                                                               pkColor),
               &StoredValue<0>),
    WhenStored(Property<&TcxContainerStyle::GetBorderStyle, &TcxContainerStyle::SetBorderStyle>("BorderStyle",
                                                                                               BorderStyleNames),
               &StoredValue<1>),
    WhenStored(Property<&TcxContainerStyle::GetColor, &TcxContainerStyle::SetColor>("Color", pkColor),
               &StoredValue<2>),
    WhenStored(Property<&TcxContainerStyle::GetEdges, &TcxContainerStyle::SetEdges>("Edges", EdgeNames),
               &StoredValue<3>),
    WhenStored(Property<&TcxContainerStyle::GetFont>("Font"), &StoredValue<4>),
    WhenStored(Property<&TcxContainerStyle::GetHotTrack, &TcxContainerStyle::SetHotTrack>("HotTrack"),
               &StoredValue<5>),
    Property<&TcxContainerStyle::GetLookAndFeel>("LookAndFeel"),
    WhenStored(Property<&TcxContainerStyle::GetShadow, &TcxContainerStyle::SetShadow>("Shadow"), &StoredValue<6>),
    WhenStored(Property<&TcxContainerStyle::GetStyleController, &TcxContainerStyle::SetStyleController>(
                   "StyleController"),
               &StoredController),
    WhenStored(Property<&TcxContainerStyle::GetTextColor, &TcxContainerStyle::SetTextColor>("TextColor", pkColor),
               &StoredValue<7>),
    WhenStored(Property<&TcxContainerStyle::GetTextStyle, &TcxContainerStyle::SetTextStyle>("TextStyle",
                                                                                           TextStyleNames),
               &StoredValue<8>),
    WhenStored(Property<&TcxContainerStyle::GetTransparentBorder, &TcxContainerStyle::SetTransparentBorder>(
                   "TransparentBorder"),
               &StoredValue<9>),
});

const TPublishedRegistration controllerRegistration(&TcxStyleController::ClassInfo, {
    Property<&TcxStyleController::FakeStyleController, &TcxStyleController::SetFakeStyleController>(
        "FakeStyleController")
        .Stored(false),
    Property<&TcxStyleController::Style>("Style"),
});

}  // namespace
