// The look-and-feel settings every control of the library owns: Kind,
// NativeStyle and SkinName, each either set on the object itself or
// inherited from a master look and feel and finally from the one root look
// and feel made at start-up; the effective settings choose the painter the
// control draws with. Changes travel down the master chain to every follower
// and end in the owner's OnSettingsChanged. A TcxLookAndFeelController edits
// the root's settings. A hidden window hears system colour and theme changes
// and passes them to palette notifiers: the painters' resources first, then
// every look and feel.
#pragma once

#include "foundation/Classes.h"
#include "foundation/LookAndFeelPainter.h"
#include "foundation/ThemeManager.h"
#include "platform/UtilWindow.h"

#include <vector>

// The values a look and feel holds (bits 1 kind, 2 native style, 4 skin name).
enum class TcxLookAndFeelValue : uint8_t { lfvKind, lfvNativeStyle, lfvSkinName };
using enum TcxLookAndFeelValue;
using TcxLookAndFeelValues = TSet<TcxLookAndFeelValue, 3>;
inline const TcxLookAndFeelValues cxLookAndFeelValuesAll{lfvKind, lfvNativeStyle, lfvSkinName};

struct TcxLookAndFeelData {
  TcxLookAndFeelKind Kind = lfUltraFlat;
  bool NativeStyle = false;
  AnsiString SkinName;
  bool operator==(const TcxLookAndFeelData&) const = default;
};

// The defaults the root falls back to: UltraFlat, no native style, no skin.
constexpr TcxLookAndFeelKind cxDefaultLookAndFeelKind = lfUltraFlat;
constexpr bool cxDefaultLookAndFeelNativeStyle = false;

class TcxLookAndFeel;

// A follower of a look and feel: told of its changes and of its end. The
// watcher's own object tells the root's controllers apart.
class IcxLookAndFeelWatcher {
public:
  virtual TObject* WatcherObject() = 0;
  virtual void MasterSettingsChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) = 0;
  virtual void MasterSettingsDestroying(TcxLookAndFeel* sender) = 0;

protected:
  ~IcxLookAndFeelWatcher() = default;
};

// Told when the extended-style painter registry changes.
class IcxPainterListWatcher {
public:
  virtual void PainterListChanged() = 0;

protected:
  ~IcxPainterListWatcher() = default;
};

// One named extended-style (skin) painter.
class TcxExtendedStylePainterEntry : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TcxExtendedStylePainterEntry(const AnsiString& name, TcxLookAndFeelPainterClass painter)
      : Name(name), Painter(painter) {}
  AnsiString Name;
  TcxLookAndFeelPainterClass Painter;
};

// The registry of extended-style painters by name. This program registers
// none, so a SkinName never selects a painter; the name is still stored,
// inherited and reported.
class TcxExtendedStylePainters : public TcxObjectList {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // Names compare without regard to case; -1 when absent.
  int IndexOfPainterName(const AnsiString& name) const;
  bool FindPainterByName(const AnsiString& name, TcxLookAndFeelPainterClass& painter) const;
  // Adds or replaces a painter and tells the watchers.
  void Register(const AnsiString& name, TcxLookAndFeelPainterClass painter);
  void Unregister(const AnsiString& name);
  void AddPainterListWatcher(IcxPainterListWatcher* watcher);
  void RemovePainterListWatcher(IcxPainterListWatcher* watcher);
  int WatcherCount() const { return static_cast<int>(FWatchers.size()); }

private:
  void NotifyWatchers();
  std::vector<IcxPainterListWatcher*> FWatchers;  // not owned
};

// The registry, made by the painters unit; null outside its life.
extern TcxExtendedStylePainters* ExtendedStylePainterList;

// ---------------------------------------------------------------------------
// System colour changes.

class TcxSystemPaletteChangedNotifier;

// The one hidden top-level window that hears WM_SYSCOLORCHANGE (and, through
// the theme manager, theme changes): it recomputes the Office 2003 palette,
// then tells the primary notifiers, then the others, each list from the last
// registered to the first. It counts as a user of the Office 2003 palette.
class TcxSystemPaletteChangedListener : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TcxSystemPaletteChangedListener();
  ~TcxSystemPaletteChangedListener() override;
  HWND WindowHandle() const { return FWindow; }
  void AddNotifier(TcxSystemPaletteChangedNotifier* notifier, bool primary);
  void RemoveNotifier(TcxSystemPaletteChangedNotifier* notifier);
  // What WM_SYSCOLORCHANGE runs.
  void PaletteChanged();

private:
  void WndProc(TMessage& message);
  void ThemeChanged(TObject* sender);

  HWND FWindow = nullptr;
  TWndMethod FMethod;
  TdxThemeChangedNotificator FThemeNotificator;
  std::vector<TcxSystemPaletteChangedNotifier*> FPrimaryNotifiers;  // not owned
  std::vector<TcxSystemPaletteChangedNotifier*> FNotifiers;         // not owned
};

// The shared listener, or null when no notifier exists.
TcxSystemPaletteChangedListener* SystemPaletteChangedListener();

// Hears system colour changes through OnSystemPaletteChanged; a primary one
// hears before every ordinary one. Creating the first notifier creates the
// listener; freeing the last frees it.
class TcxSystemPaletteChangedNotifier : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxSystemPaletteChangedNotifier(bool primary = false);
  ~TcxSystemPaletteChangedNotifier() override;
  bool Primary() const { return FPrimary; }
  virtual void FirePaletteChanged();

  TNotifyEvent OnSystemPaletteChanged;

private:
  bool FPrimary;
};

// ---------------------------------------------------------------------------
// The settings object.

using TcxLookAndFeelChangedEvent = TEvent<void(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues)>;

class TcxLookAndFeel : public TcxInterfacedPersistent, public IcxLookAndFeelWatcher, public IcxPainterListWatcher {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // Follows the root (when it exists) from the start; reports nothing.
  explicit TcxLookAndFeel(TPersistent* owner);
  ~TcxLookAndFeel() override;
  static TcxLookAndFeel* Create(TPersistent* owner) { return new TcxLookAndFeel(owner); }
  // From another look and feel: its own values, assigned set and master.
  void Assign(TPersistent* source) override;

  // The values set on this object itself.
  TcxLookAndFeelValues AssignedValues() const { return FAssignedValues; }
  void SetAssignedValues(TcxLookAndFeelValues value);
  void ClearAssignedValues() { SetAssignedValues({}); }
  // The effective values (the current state).
  TcxLookAndFeelKind Kind() const { return FData.Kind; }
  void SetKind(TcxLookAndFeelKind value);
  bool NativeStyle() const { return FData.NativeStyle; }
  void SetNativeStyle(bool value);
  const AnsiString& SkinName() const { return FData.SkinName; }
  void SetSkinName(const AnsiString& value);
  TcxLookAndFeelKind GetKind() const { return Kind(); }
  bool GetNativeStyle() const { return NativeStyle(); }
  bool IsKindStored() const { return FAssignedValues.Contains(lfvKind); }
  bool IsNativeStyleStored() const { return FAssignedValues.Contains(lfvNativeStyle); }
  bool IsSkinNameStored() const { return FAssignedValues.Contains(lfvSkinName); }
  // The values as set through the properties.
  const TcxLookAndFeelData& OwnData() const { return FOwnData; }

  // The painter chosen from the current state.
  TcxLookAndFeelPainterClass ActivePainter() const { return FPainter; }
  // The extended-style painter in force, or null.
  TcxLookAndFeelPainterClass SkinPainter() const { return FSkinPainter; }
  TcxLookAndFeelPainterClass ChoosePainter() const;
  // The same, the WinXP painter only when the kind's theme also opens.
  TcxLookAndFeelPainterClass ChoosePainterForObject(TdxThemedObjectType kind) const;
  // Whether native painting of a themed part class would be used: the
  // current NativeStyle and the kind's theme opens.
  bool UsesNativePainting(TdxThemedObjectType kind) const;

  // Code 3 sets NativeStyle; otherwise NativeStyle goes off and the code
  // chooses the Kind (0 flat, 2 ultra-flat, 4 Office 2003, else standard).
  void ApplyStyleCode(uint8_t code);

  TcxLookAndFeel* MasterLookAndFeel() const { return FMasterLookAndFeel; }
  // Null means the root.
  void AttachToMaster(TcxLookAndFeel* value);
  // Null for the root; the own master when set; else the root.
  TcxLookAndFeel* EffectiveMaster() const;
  bool IsRoot() const { return FIsRootLookAndFeel; }

  void AddWatcher(IcxLookAndFeelWatcher* watcher);
  void RemoveWatcher(IcxLookAndFeelWatcher* watcher);
  int WatcherCount() const { return static_cast<int>(FWatchers.size()); }
  bool HasWatcher(IcxLookAndFeelWatcher* watcher) const;

  TcxLookAndFeelChangedEvent OnSettingsChanged;

  // IcxLookAndFeelWatcher: a follower reports what it inherits of a master's
  // change; a master's end sends it to the root.
  TObject* WatcherObject() override { return this; }
  void MasterSettingsChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) override;
  void MasterSettingsDestroying(TcxLookAndFeel* sender) override;
  // IcxPainterListWatcher: every value may choose another painter.
  void PainterListChanged() override;

protected:
  virtual TcxLookAndFeelKind OwnKind() const;
  virtual bool OwnNativeStyle() const;
  virtual AnsiString OwnSkinName() const;
  virtual TcxLookAndFeelPainterClass OwnSkinPainter() const;
  // True when the name is not empty and the registry holds it.
  virtual bool FindSkinPainter(const AnsiString& name, TcxLookAndFeelPainterClass& painter) const;
  virtual void ReactToSysColorChange();

  TcxLookAndFeelKind InheritedKind() const;
  bool InheritedNativeStyle() const;
  AnsiString InheritedSkinName() const;
  TcxLookAndFeelPainterClass InheritedSkinPainter() const;
  void ReportChanges(TcxLookAndFeelValues changedValues);

private:
  friend void cxLookAndFeelsInit();
  void RememberState() { FPreviousState = FData; }
  void ReportStateChanges();
  void ComputeState();
  void PaletteChanged(TObject*) { ReactToSysColorChange(); }
  // False for a master that follows this object, however far down.
  bool CanFollow(const TcxLookAndFeel* master) const;

  TcxLookAndFeelValues FAssignedValues;
  std::vector<IcxLookAndFeelWatcher*> FWatchers;  // not owned
  TcxLookAndFeelData FData;
  TcxLookAndFeelPainterClass FPainter = nullptr;
  TcxLookAndFeelData FOwnData;
  bool FIsDestroying = false;
  bool FIsRootLookAndFeel = false;
  TcxLookAndFeel* FMasterLookAndFeel = nullptr;  // not owned
  TcxLookAndFeelPainterClass FSkinPainter = nullptr;
  TcxLookAndFeelData FPreviousState;
  TcxSystemPaletteChangedNotifier* FPaletteNotifier = nullptr;  // owned
};

// The root look and feel, null outside the unit's life.
TcxLookAndFeel* SharedRootLookAndFeel();
// The number of controllers the root counts.
int LookAndFeelControllerCount();

// A component that edits the root's settings: with it on a form every look
// and feel that sets nothing itself follows its Kind, NativeStyle and
// SkinName. When the last controller goes, the root returns to its defaults.
class TcxLookAndFeelController : public TComponent, public IcxLookAndFeelWatcher {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxLookAndFeelController(TComponent* owner);
  ~TcxLookAndFeelController() override;

  TcxLookAndFeelKind Kind() const;
  void SetKind(TcxLookAndFeelKind value);
  bool NativeStyle() const;
  void SetNativeStyle(bool value);
  AnsiString SkinName() const;
  void SetSkinName(const AnsiString& value);
  bool IsSkinNameStored() const { return !SkinName().empty(); }

  TObject* WatcherObject() override { return this; }
  void MasterSettingsChanged(TcxLookAndFeel* sender, TcxLookAndFeelValues changedValues) override;
  // Tells the owning form's designer that the form changed.
  void MasterSettingsDestroying(TcxLookAndFeel* sender) override;
};

// The look-and-feel unit: makes the root (whose palette notifier makes the
// listener, which first computes the Office 2003 palette) and frees it.
void cxLookAndFeelsInit();
void cxLookAndFeelsDone();
