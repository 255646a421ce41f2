#include "foundation/LookAndFeel.h"

#include "foundation/Controls.h"
#include "foundation/FlatPainter.h"
#include "foundation/Office11.h"
#include "foundation/Office11Painter.h"
#include "foundation/StandardPainter.h"
#include "foundation/UltraFlatPainter.h"
#include "foundation/WinXPPainter.h"
#include "platform/Forms.h"
#include "platform/HandleCounts.h"
#include "platform/Properties.h"

#include <algorithm>

TcxExtendedStylePainters* ExtendedStylePainterList = nullptr;

namespace {

TcxLookAndFeel* RootLookAndFeel = nullptr;
int ControllerCount = 0;
TcxSystemPaletteChangedListener* PaletteListener = nullptr;
int PaletteListenerUseCount = 0;

const char ListenerWindowClass[] = "TcxSystemPaletteChangedListener";

TcxSystemPaletteChangedListener* AcquirePaletteListener() {
  if (!PaletteListener) PaletteListener = new TcxSystemPaletteChangedListener();
  ++PaletteListenerUseCount;
  return PaletteListener;
}

void ReleasePaletteListener() {
  if (PaletteListenerUseCount == 0) return;
  if (--PaletteListenerUseCount == 0) {
    delete PaletteListener;
    PaletteListener = nullptr;
  }
}

TcxLookAndFeelPainterClass PainterOfKind(TcxLookAndFeelKind kind) {
  switch (kind) {
    case lfFlat: return &TcxFlatLookAndFeelPainter::Instance;
    case lfStandard: return &TcxStandardLookAndFeelPainter::Instance;
    case lfOffice11: return &TcxOffice11LookAndFeelPainter::Instance;
    default: return &TcxUltraFlatLookAndFeelPainter::Instance;
  }
}

}  // namespace

// --- the extended-style painter registry ----------------------------------------------------------------

const TClassInfo TcxExtendedStylePainterEntry::ClassInfo{"TcxExtendedStylePainterEntry", &TObject::ClassInfo,
                                                         nullptr};
const TClassInfo TcxExtendedStylePainters::ClassInfo{"TcxExtendedStylePainters", &TcxObjectList::ClassInfo,
                                                     nullptr};

int TcxExtendedStylePainters::IndexOfPainterName(const AnsiString& name) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(static_cast<TcxExtendedStylePainterEntry*>(ItemAt(i))->Name, name)) return i;
  return -1;
}

bool TcxExtendedStylePainters::FindPainterByName(const AnsiString& name, TcxLookAndFeelPainterClass& painter) const {
  const int index = IndexOfPainterName(name);
  painter = index >= 0 ? static_cast<TcxExtendedStylePainterEntry*>(ItemAt(index))->Painter : nullptr;
  return index >= 0;
}

void TcxExtendedStylePainters::Register(const AnsiString& name, TcxLookAndFeelPainterClass painter) {
  const int index = IndexOfPainterName(name);
  if (index >= 0) static_cast<TcxExtendedStylePainterEntry*>(ItemAt(index))->Painter = painter;
  else Add(new TcxExtendedStylePainterEntry(name, painter));
  NotifyWatchers();
}

void TcxExtendedStylePainters::Unregister(const AnsiString& name) {
  const int index = IndexOfPainterName(name);
  if (index < 0) return;
  Delete(index);
  NotifyWatchers();
}

void TcxExtendedStylePainters::AddPainterListWatcher(IcxPainterListWatcher* watcher) {
  if (watcher && std::find(FWatchers.begin(), FWatchers.end(), watcher) == FWatchers.end())
    FWatchers.push_back(watcher);
}

void TcxExtendedStylePainters::RemovePainterListWatcher(IcxPainterListWatcher* watcher) {
  std::erase(FWatchers, watcher);
}

void TcxExtendedStylePainters::NotifyWatchers() {
  // A watcher may leave (or join) the list while it hears.
  for (IcxPainterListWatcher* watcher : std::vector<IcxPainterListWatcher*>(FWatchers))
    if (std::find(FWatchers.begin(), FWatchers.end(), watcher) != FWatchers.end()) watcher->PainterListChanged();
}

// --- system colour changes -----------------------------------------------------------------------------

const TClassInfo TcxSystemPaletteChangedListener::ClassInfo{"TcxSystemPaletteChangedListener", &TObject::ClassInfo,
                                                            nullptr};

TcxSystemPaletteChangedListener::TcxSystemPaletteChangedListener() {
  AddOffice11PaletteUser();
  FThemeNotificator.OnVisualStyleChange =
      TNotifyEvent::Bind<&TcxSystemPaletteChangedListener::ThemeChanged>(this);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA existing;
  if (!GetClassInfoA(instance, ListenerWindowClass, &existing)) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = MethodWindowProc;
    cls.hInstance = instance;
    cls.lpszClassName = ListenerWindowClass;
    RegisterClassA(&cls);
  }
  FMethod = TWndMethod::Bind<&TcxSystemPaletteChangedListener::WndProc>(this);
  // A hidden top-level window: the system broadcasts WM_SYSCOLORCHANGE to
  // top-level windows, so a message-only window would never hear it.
  FWindow = CreateWindowExA(WS_EX_TOOLWINDOW, ListenerWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            instance, nullptr);
  if (!FWindow) return;
  HandleCreated(hkWindow);
  SetWindowLongPtrA(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&FMethod));
}

TcxSystemPaletteChangedListener::~TcxSystemPaletteChangedListener() {
  if (FWindow) {
    SetWindowLongPtrA(FWindow, GWLP_USERDATA, 0);
    DestroyWindow(FWindow);
    HandleDeleted(hkWindow);
  }
  RemoveOffice11PaletteUser();
}

void TcxSystemPaletteChangedListener::AddNotifier(TcxSystemPaletteChangedNotifier* notifier, bool primary) {
  (primary ? FPrimaryNotifiers : FNotifiers).push_back(notifier);
}

void TcxSystemPaletteChangedListener::RemoveNotifier(TcxSystemPaletteChangedNotifier* notifier) {
  std::erase(FPrimaryNotifiers, notifier);
  std::erase(FNotifiers, notifier);
}

void TcxSystemPaletteChangedListener::PaletteChanged() {
  RecomputeOffice11Palette();
  // Hearing may free notifiers (a control that goes), the last one this
  // listener with them, or make new ones: each list is walked on a copy, and
  // a notifier that has left is skipped.
  TWeakLink<TcxSystemPaletteChangedListener> self(this);
  for (const bool primary : {true, false}) {
    const std::vector<TcxSystemPaletteChangedNotifier*> copy = primary ? FPrimaryNotifiers : FNotifiers;
    for (auto it = copy.rbegin(); it != copy.rend(); ++it) {
      if (!self) return;
      const std::vector<TcxSystemPaletteChangedNotifier*>& list = primary ? FPrimaryNotifiers : FNotifiers;
      if (std::find(list.begin(), list.end(), *it) != list.end()) (*it)->FirePaletteChanged();
    }
  }
}

void TcxSystemPaletteChangedListener::ThemeChanged(TObject*) { PaletteChanged(); }

void TcxSystemPaletteChangedListener::WndProc(TMessage& message) {
  const HWND wnd = FWindow;
  if (message.Msg == WM_SYSCOLORCHANGE) PaletteChanged();
  // The listener may be gone by now: only the handle is used.
  message.Result = DefWindowProcA(wnd, message.Msg, message.WParam, message.LParam);
}

TcxSystemPaletteChangedListener* SystemPaletteChangedListener() { return PaletteListener; }

const TClassInfo TcxSystemPaletteChangedNotifier::ClassInfo{"TcxSystemPaletteChangedNotifier", &TObject::ClassInfo,
                                                            nullptr};

TcxSystemPaletteChangedNotifier::TcxSystemPaletteChangedNotifier(bool primary) : FPrimary(primary) {
  AcquirePaletteListener()->AddNotifier(this, primary);
}

TcxSystemPaletteChangedNotifier::~TcxSystemPaletteChangedNotifier() {
  if (PaletteListener) PaletteListener->RemoveNotifier(this);
  ReleasePaletteListener();
}

void TcxSystemPaletteChangedNotifier::FirePaletteChanged() { FireEvent(OnSystemPaletteChanged, this); }

// --- the settings object -------------------------------------------------------------------------------

const TClassInfo TcxLookAndFeel::ClassInfo{"TcxLookAndFeel", &TcxInterfacedPersistent::ClassInfo,
                                           [](TObject* owner) -> TObject* {
                                             return new TcxLookAndFeel(static_cast<TPersistent*>(owner));
                                           }};

TcxLookAndFeel::TcxLookAndFeel(TPersistent* owner) : TcxInterfacedPersistent(owner) {
  FData = FOwnData;
  FPaletteNotifier = new TcxSystemPaletteChangedNotifier(false);
  FPaletteNotifier->OnSystemPaletteChanged = TNotifyEvent::Bind<&TcxLookAndFeel::PaletteChanged>(this);
  if (RootLookAndFeel) {
    RootLookAndFeel->AddWatcher(this);
    ComputeState();
  }
  FPainter = ChoosePainter();
}

TcxLookAndFeel::~TcxLookAndFeel() {
  if (ExtendedStylePainterList) ExtendedStylePainterList->RemovePainterListWatcher(this);
  delete FPaletteNotifier;
  FPaletteNotifier = nullptr;
  FIsDestroying = true;
  // Each follower goes back to the root; its leaving this list is skipped
  // while the flag is set, so the walk sees every one.
  for (size_t i = 0; i < FWatchers.size(); ++i) FWatchers[i]->MasterSettingsDestroying(this);
  FIsDestroying = false;
  FWatchers.clear();
  if (TcxLookAndFeel* master = EffectiveMaster()) master->RemoveWatcher(this);
  if (FIsRootLookAndFeel) RootLookAndFeel = nullptr;
}

void TcxLookAndFeel::Assign(TPersistent* source) {
  auto* other = ObjectAs<TcxLookAndFeel>(source);
  if (!other) {
    TcxInterfacedPersistent::Assign(source);
    return;
  }
  RememberState();
  FOwnData = other->FOwnData;
  FAssignedValues = other->FAssignedValues;
  TcxLookAndFeel* master = other->EffectiveMaster();
  if (!FIsRootLookAndFeel && master != this && master != EffectiveMaster() && CanFollow(master)) {
    // The master moves without a report of its own: one report follows.
    if (TcxLookAndFeel* old = EffectiveMaster()) old->RemoveWatcher(this);
    FMasterLookAndFeel = master == RootLookAndFeel ? nullptr : master;
    if (TcxLookAndFeel* now = EffectiveMaster()) now->AddWatcher(this);
  }
  ReportStateChanges();
}

void TcxLookAndFeel::SetAssignedValues(TcxLookAndFeelValues value) {
  if (value == FAssignedValues) return;
  RememberState();
  FAssignedValues = value;
  ReportStateChanges();
}

void TcxLookAndFeel::SetKind(TcxLookAndFeelKind value) {
  const TcxLookAndFeelKind before = Kind();
  FAssignedValues += lfvKind;
  FOwnData.Kind = value;
  if (OwnKind() != before) ReportChanges({lfvKind});
}

void TcxLookAndFeel::SetNativeStyle(bool value) {
  const bool before = NativeStyle();
  FAssignedValues += lfvNativeStyle;
  FOwnData.NativeStyle = value;
  if (OwnNativeStyle() != before) ReportChanges({lfvNativeStyle});
}

void TcxLookAndFeel::SetSkinName(const AnsiString& value) {
  const AnsiString before = SkinName();
  FAssignedValues += lfvSkinName;
  FOwnData.SkinName = value;
  if (OwnSkinName() != before) ReportChanges({lfvSkinName});
}

TcxLookAndFeelPainterClass TcxLookAndFeel::ChoosePainter() const {
  if (FData.NativeStyle && CanUseVisualStyles()) return &TcxWinXPLookAndFeelPainter::Instance;
  if (FSkinPainter) return FSkinPainter;
  return PainterOfKind(FData.Kind);
}

TcxLookAndFeelPainterClass TcxLookAndFeel::ChoosePainterForObject(TdxThemedObjectType kind) const {
  if (FData.NativeStyle && CanUseVisualStyle(kind)) return &TcxWinXPLookAndFeelPainter::Instance;
  if (FSkinPainter) return FSkinPainter;
  return PainterOfKind(FData.Kind);
}

bool TcxLookAndFeel::UsesNativePainting(TdxThemedObjectType kind) const {
  return FData.NativeStyle && CanUseVisualStyle(kind);
}

void TcxLookAndFeel::ApplyStyleCode(uint8_t code) {
  SetNativeStyle(code == cxStyleCodeNative);
  if (!NativeStyle()) SetKind(StyleCodeToKind(code));
}

TcxLookAndFeel* TcxLookAndFeel::EffectiveMaster() const {
  if (FIsRootLookAndFeel) return nullptr;
  return FMasterLookAndFeel ? FMasterLookAndFeel : RootLookAndFeel;
}

void TcxLookAndFeel::AttachToMaster(TcxLookAndFeel* value) {
  if (FIsRootLookAndFeel || value == this || value == EffectiveMaster() || !CanFollow(value)) return;
  RememberState();
  if (TcxLookAndFeel* old = EffectiveMaster()) old->RemoveWatcher(this);
  FMasterLookAndFeel = value;
  if (TcxLookAndFeel* now = EffectiveMaster()) now->AddWatcher(this);
  ReportStateChanges();
}

bool TcxLookAndFeel::CanFollow(const TcxLookAndFeel* master) const {
  // A master that follows this object would make the chain a ring that every
  // change runs round for ever: refused.
  for (const TcxLookAndFeel* m = master; m; m = m->EffectiveMaster())
    if (m == this) return false;
  return true;
}

bool TcxLookAndFeel::HasWatcher(IcxLookAndFeelWatcher* watcher) const {
  return std::find(FWatchers.begin(), FWatchers.end(), watcher) != FWatchers.end();
}

void TcxLookAndFeel::AddWatcher(IcxLookAndFeelWatcher* watcher) {
  if (!watcher) return;
  if (ObjectAs<TcxLookAndFeelController>(watcher->WatcherObject())) {
    if (!FIsRootLookAndFeel || HasWatcher(watcher)) return;
    FWatchers.push_back(watcher);
    ++ControllerCount;
    return;
  }
  if (!HasWatcher(watcher)) FWatchers.push_back(watcher);
}

void TcxLookAndFeel::RemoveWatcher(IcxLookAndFeelWatcher* watcher) {
  if (!HasWatcher(watcher) || FIsDestroying) return;
  std::erase(FWatchers, watcher);
  if (FIsRootLookAndFeel && ObjectAs<TcxLookAndFeelController>(watcher->WatcherObject()) && ControllerCount > 0)
    if (--ControllerCount == 0) ClearAssignedValues();
}

void TcxLookAndFeel::MasterSettingsChanged(TcxLookAndFeel*, TcxLookAndFeelValues changedValues) {
  ReportChanges(changedValues - FAssignedValues);
}

void TcxLookAndFeel::MasterSettingsDestroying(TcxLookAndFeel*) { AttachToMaster(nullptr); }

void TcxLookAndFeel::PainterListChanged() { ReportChanges(cxLookAndFeelValuesAll); }

TcxLookAndFeelKind TcxLookAndFeel::OwnKind() const {
  return FAssignedValues.Contains(lfvKind) ? FOwnData.Kind : InheritedKind();
}

bool TcxLookAndFeel::OwnNativeStyle() const {
  return FAssignedValues.Contains(lfvNativeStyle) ? FOwnData.NativeStyle : InheritedNativeStyle();
}

AnsiString TcxLookAndFeel::OwnSkinName() const {
  return FAssignedValues.Contains(lfvSkinName) ? FOwnData.SkinName : InheritedSkinName();
}

TcxLookAndFeelPainterClass TcxLookAndFeel::OwnSkinPainter() const {
  if (!FAssignedValues.Contains(lfvSkinName)) return InheritedSkinPainter();
  TcxLookAndFeelPainterClass painter;
  FindSkinPainter(FOwnData.SkinName, painter);
  return painter;
}

bool TcxLookAndFeel::FindSkinPainter(const AnsiString& name, TcxLookAndFeelPainterClass& painter) const {
  painter = nullptr;
  return !name.empty() && ExtendedStylePainterList && ExtendedStylePainterList->FindPainterByName(name, painter);
}

void TcxLookAndFeel::ReactToSysColorChange() { ReportChanges({lfvNativeStyle}); }

TcxLookAndFeelKind TcxLookAndFeel::InheritedKind() const {
  const TcxLookAndFeel* master = EffectiveMaster();
  return master ? master->Kind() : cxDefaultLookAndFeelKind;
}

bool TcxLookAndFeel::InheritedNativeStyle() const {
  const TcxLookAndFeel* master = EffectiveMaster();
  return master ? master->NativeStyle() : cxDefaultLookAndFeelNativeStyle;
}

AnsiString TcxLookAndFeel::InheritedSkinName() const {
  const TcxLookAndFeel* master = EffectiveMaster();
  return master ? master->SkinName() : AnsiString();
}

TcxLookAndFeelPainterClass TcxLookAndFeel::InheritedSkinPainter() const {
  const TcxLookAndFeel* master = EffectiveMaster();
  TcxLookAndFeelPainterClass painter = nullptr;
  if (master) master->FindSkinPainter(master->SkinName(), painter);
  return painter;
}

void TcxLookAndFeel::ComputeState() {
  FData = TcxLookAndFeelData{OwnKind(), OwnNativeStyle(), OwnSkinName()};
  FSkinPainter = nullptr;
  if (!FData.NativeStyle) FSkinPainter = OwnSkinPainter();
}

void TcxLookAndFeel::ReportChanges(TcxLookAndFeelValues changedValues) {
  if (changedValues.Empty() || FIsDestroying) return;
  ComputeState();
  FPainter = ChoosePainter();
  if (ExtendedStylePainterList) {
    if (FSkinPainter) ExtendedStylePainterList->AddPainterListWatcher(this);
    else ExtendedStylePainterList->RemovePainterListWatcher(this);
  }
  TWeakLink<TcxLookAndFeel> self(this);
  for (size_t i = 0; i < FWatchers.size();) {
    const size_t count = FWatchers.size();
    FWatchers[i]->MasterSettingsChanged(this, changedValues);
    if (!self) return;
    // A watcher that left the list is not followed by a skipped one.
    if (FWatchers.size() >= count) ++i;
  }
  if (OnSettingsChanged) OnSettingsChanged(this, changedValues);
}

void TcxLookAndFeel::ReportStateChanges() {
  TcxLookAndFeelValues changed;
  if (OwnKind() != FPreviousState.Kind) changed += lfvKind;
  if (OwnNativeStyle() != FPreviousState.NativeStyle) changed += lfvNativeStyle;
  if (OwnSkinName() != FPreviousState.SkinName) changed += lfvSkinName;
  ReportChanges(changed);
}

TcxLookAndFeel* SharedRootLookAndFeel() { return RootLookAndFeel; }
int LookAndFeelControllerCount() { return ControllerCount; }

// --- the controller ------------------------------------------------------------------------------------

const TClassInfo TcxLookAndFeelController::ClassInfo{"TcxLookAndFeelController", &TComponent::ClassInfo,
                                                     [](TObject* owner) -> TObject* {
                                                       return new TcxLookAndFeelController(
                                                           static_cast<TComponent*>(owner));
                                                     }};

TcxLookAndFeelController::TcxLookAndFeelController(TComponent* owner) : TComponent(owner) {
  if (RootLookAndFeel) RootLookAndFeel->AddWatcher(this);
}

TcxLookAndFeelController::~TcxLookAndFeelController() {
  if (RootLookAndFeel) RootLookAndFeel->RemoveWatcher(this);
}

TcxLookAndFeelKind TcxLookAndFeelController::Kind() const {
  return RootLookAndFeel ? RootLookAndFeel->Kind() : cxDefaultLookAndFeelKind;
}

void TcxLookAndFeelController::SetKind(TcxLookAndFeelKind value) {
  if (RootLookAndFeel) RootLookAndFeel->SetKind(value);
}

bool TcxLookAndFeelController::NativeStyle() const {
  return RootLookAndFeel ? RootLookAndFeel->NativeStyle() : cxDefaultLookAndFeelNativeStyle;
}

void TcxLookAndFeelController::SetNativeStyle(bool value) {
  if (RootLookAndFeel) RootLookAndFeel->SetNativeStyle(value);
}

AnsiString TcxLookAndFeelController::SkinName() const {
  return RootLookAndFeel ? RootLookAndFeel->SkinName() : AnsiString();
}

void TcxLookAndFeelController::SetSkinName(const AnsiString& value) {
  if (RootLookAndFeel) RootLookAndFeel->SetSkinName(value);
}

void TcxLookAndFeelController::MasterSettingsChanged(TcxLookAndFeel*, TcxLookAndFeelValues) {}

void TcxLookAndFeelController::MasterSettingsDestroying(TcxLookAndFeel*) {
  // The class library has no frames: the owning form is the owner itself.
  TCustomForm* form = ObjectAs<TCustomForm>(Owner());
  if (!form) return;
  static TcxDesignController designController;
  designController.SignalFormModified(form);
}

// --- form tables and the unit --------------------------------------------------------------------------

namespace {

const TEnumInfo LookAndFeelKindNames{"TcxLookAndFeelKind", {"lfFlat", "lfStandard", "lfUltraFlat", "lfOffice11"}};
const TEnumInfo LookAndFeelValueNames{"TcxLookAndFeelValue", {"lfvKind", "lfvNativeStyle", "lfvSkinName"}};

const TPublishedRegistration lookAndFeelRegistration(&TcxLookAndFeel::ClassInfo, {
    Property<&TcxLookAndFeel::AssignedValues, &TcxLookAndFeel::SetAssignedValues>("AssignedValues",
                                                                                 LookAndFeelValueNames)
        .Stored(false),
    Property<&TcxLookAndFeel::Kind, &TcxLookAndFeel::SetKind>("Kind", LookAndFeelKindNames)
        .Stored<&TcxLookAndFeel::IsKindStored>(),
    Property<&TcxLookAndFeel::NativeStyle, &TcxLookAndFeel::SetNativeStyle>("NativeStyle")
        .Stored<&TcxLookAndFeel::IsNativeStyleStored>(),
    Property<&TcxLookAndFeel::SkinName, &TcxLookAndFeel::SetSkinName>("SkinName")
        .Stored<&TcxLookAndFeel::IsSkinNameStored>(),
});

const TPublishedRegistration controllerRegistration(&TcxLookAndFeelController::ClassInfo, {
    Property<&TcxLookAndFeelController::Kind, &TcxLookAndFeelController::SetKind>("Kind", LookAndFeelKindNames)
        .Default(cxDefaultLookAndFeelKind),
    Property<&TcxLookAndFeelController::NativeStyle, &TcxLookAndFeelController::SetNativeStyle>("NativeStyle")
        .Default(cxDefaultLookAndFeelNativeStyle),
    Property<&TcxLookAndFeelController::SkinName, &TcxLookAndFeelController::SetSkinName>("SkinName")
        .Stored<&TcxLookAndFeelController::IsSkinNameStored>(),
});

}  // namespace

void cxLookAndFeelsInit() {
  if (RootLookAndFeel) return;
  RootLookAndFeel = new TcxLookAndFeel(nullptr);
  RootLookAndFeel->FIsRootLookAndFeel = true;
}

void cxLookAndFeelsDone() {
  delete RootLookAndFeel;
  RootLookAndFeel = nullptr;
  ControllerCount = 0;
}
