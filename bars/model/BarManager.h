// The bar manager: one per form, owning the form's bars, items and
// categories, with its options, fonts, images and painter style.
#pragma once

#include "platform/Component.h"

class TcxLookAndFeel;
class TdxBar;
class TWinControl;
class TdxBarBackgrounds;
class TdxBarComponent;
class TdxBarComponentList;
class TdxBarGroup;
class TdxBarImageOptions;
class TdxBarPopupMenuLinks;
class TdxBars;

// What a form designer answers for the manager's components; at run time
// there is none and the defaults hold.
class IdxBarDesigner {
public:
  virtual bool CanDeleteComponent(TComponent* component) = 0;
  virtual int SelectionStatus(TComponent* component) = 0;
  virtual bool IsComponentSelected(TComponent* component) = 0;
  virtual void SelectComponent(TComponent* component, int operation) = 0;

protected:
  ~IdxBarDesigner() = default;
};

// The manager's drawing styles; bmsUseLookAndFeel follows its look and
// feel.
enum class TdxBarManagerStyle { bmsStandard, bmsEnhanced, bmsFlat, bmsXP, bmsOffice11, bmsUseLookAndFeel };
using enum TdxBarManagerStyle;
// The painter style of the look and feel's extended-style painter.
constexpr int dxBarSkinPainterStyle = 5;
// The painter class of that style (a TdxBarPainter descendant).
extern TClass SkinPainterClass;

class TdxBarManager : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  // The owner must be a windowed control holding no other manager (null
  // means the application's main form): else raises "TdxBarManager should
  // have TWinControl as its Owner" or "A control should contain only a
  // single TdxBarManager" and nothing is made.
  explicit TdxBarManager(TComponent* AOwner);
  ~TdxBarManager() override;

  TdxBarManagerStyle Style() const { return FStyle; }
  void SetStyle(TdxBarManagerStyle value);
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel; }
  // Whether the visual styles of every part class bars draw open.
  static bool IsThemeAvailable();
  // Style itself, or for bmsUseLookAndFeel the style its look and feel means.
  TdxBarManagerStyle EffectiveStyle() const;
  // The style the painter is chosen by (bmsXP only with visual styles; 5 for
  // the look and feel's extended-style painter).
  int PainterStyle() const;
  virtual TClass PainterClass() const;

  // How much of the recent use a command needs to stay in a personalized
  // menu; the count of uses personalized menus work with follows it.
  int MostRecentItemsPercents() const { return FMostRecentItemsPercents; }
  void SetMostRecentItemsPercents(int value);
  int RecentUseCount() const { return FRecentUseCount; }
  void UpdateRecentUseCount();

  // The base text followed by 1, 2, 3 ... until no bar has that caption.
  AnsiString UniqueBarCaption(const AnsiString& base) const;
  // A new toolbar named "Custom N".
  TdxBar* AddToolbar(bool asMainMenu = false);

  bool IsDesigning() const { return ComponentState().Contains(csDesigning); }
  bool IsLoading() const { return ComponentState().Contains(csLoading); }
  // Whether the user is customizing the bars at run time.
  bool IsCustomizing() const { return FIsCustomizing; }
  // The windowed control the manager serves: its owner when that is one.
  TWinControl* OwnerControl() const;
  TdxBars* Bars() const { return FBars; }
  TdxBarComponentList* Groups() const { return FGroups; }
  TdxBarPopupMenuLinks* PopupMenuLinks() const { return FPopupMenuLinks; }
  TdxBarBackgrounds* Backgrounds() const { return FBackgrounds; }
  TdxBarImageOptions* ImageOptions() const { return FImageOptions; }
  IdxBarDesigner* Designer() const { return FDesigner; }
  void SetDesigner(IdxBarDesigner* designer) { FDesigner = designer; }
  // The manager of the form that hosts this manager's form, or null.
  TdxBarManager* ParentManager() const { return FParentManager; }
  void SetParentManager(TdxBarManager* value) { FParentManager = value; }

  // Manager-wide changes run between these (nestable); the last unlock lays
  // out docks and bars again.
  void LockUpdate();
  void UnlockUpdate();
  int LockUpdateCount() const { return FLockUpdate; }
  // Restyles every bar window (the painter, backgrounds and fonts).
  void ApplyStyle();
  int ApplyStyleCount() const { return FApplyStyleCount; }

  // Adds a group (its parent is the manager).
  void AddGroup(TdxBarGroup* group);

protected:
  void Notification(TComponent* component, TOperation operation) override;

  bool FIsCustomizing = false;
  TdxBarManagerStyle FStyle = bmsEnhanced;
  TcxLookAndFeel* FLookAndFeel;
  int FMostRecentItemsPercents = 95;
  int FRecentUseCount = 0;
  TdxBars* FBars;
  TdxBarComponentList* FGroups;
  TdxBarPopupMenuLinks* FPopupMenuLinks;
  TdxBarBackgrounds* FBackgrounds;
  TdxBarImageOptions* FImageOptions;
  IdxBarDesigner* FDesigner = nullptr;
  TdxBarManager* FParentManager = nullptr;
  int FLockUpdate = 0;
  int FApplyStyleCount = 0;
};
