// The bar manager: one per form, owning the form's bars, items and
// categories, with its options, fonts, images and painter style.
#pragma once

#include "platform/Component.h"
#include "platform/Event.h"
#include "platform/Graphics.h"
#include "bars/model/BarComponents.h"
#include "bars/model/DockingStyles.h"

#include <vector>

class TcxLookAndFeel;
class TCustomdxBarControl;
class TdxBarCustomPopupMenu;
class TdxBarItem;
class TdxBarItemControl;
class TdxBarItemLink;
class TdxBarManagerCategories;
class TdxDockControl;
class TList;
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
  // 1 for a selected object.
  virtual int SelectionStatus(TPersistent* object) = 0;
  virtual bool IsComponentSelected(TPersistent* object) = 0;
  virtual void SelectComponent(TPersistent* object, int operation) = 0;
  virtual void ShowDefaultEventHandler(TPersistent* item) { (void)item; }
  int SelectionStatusOf(TPersistent* object) { return SelectionStatus(object); }
  void SelectObject(TPersistent* object, int operation) { SelectComponent(object, operation); }

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

class TdxBarManager;
using TdxBarItemLinkEvent = TEvent<void(TObject* Sender, TdxBarItemLink* AItemLink)>;
using TdxBarClickItemEvent = TEvent<void(TdxBarManager* Sender, TdxBarItem* ClickedItem)>;
// May change whether a dragged bar docks in the style at the dock (null: a
// standard edge, or floating).
using TdxBarCanDockingEvent =
    TEvent<void(TdxBar* Sender, TdxBarDockingStyle Style, TdxDockControl* DockControl, bool& CanDocking)>;
class TdxBarItemLinks;
enum class TdxBarItemMergeKind;
using TdxBarMergeItemLinkEvent =
    TEvent<void(TObject* Sender, TdxBarItemLinks* ADstItemLinks, TdxBarItemLinks* ASrcItemLinks,
                TdxBarItemLink* ASrcItemLink, TdxBarItemMergeKind& AMergeKind, int& AMergeIndex)>;

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

  // The bar marked as the main menu, null when none.
  // FIXME: also null while that bar's window does not show as a main menu,
  // once toolbar windows tell it.
  TdxBar* MainMenuBar() const;
  // The window of the main-menu bar, null without one or while it is hidden.
  TCustomdxBarControl* MainMenuBarControl() const;

  // --- Items ---------------------------------------------------------------
  int ItemCount() const;
  TdxBarItem* ItemAt(int index) const;  // null outside the range
  int IndexOfItem(TdxBarItem* item) const;
  // Case-insensitive; the first match.
  TdxBarItem* ItemByName(const AnsiString& name) const;
  // Items join at the end of the list (the item does this itself).
  void AddItem(TdxBarItem* item);
  void MoveItem(int from, int to);
  TdxBarComponentList* ItemList() const { return FItems; }

  // --- Categories ----------------------------------------------------------
  TdxBarManagerCategories* Categories() const { return FCategories; }
  // Every item of the category, in list order (none outside the range).
  void CategoryItems(int index, TList* list) const;
  // At run time only the items the customizing window may show.
  void CategoryItemsForUser(int index, TList* list) const;
  TdxBarItemVisible CategoryItemsVisible(int index) const;
  bool CategoryVisible(int index) const;
  void SetCategoryVisible(int index, bool value);
  // The category's items whose own visibility equals the old value take
  // the new one.
  void SetCategoryItemsVisible(int index, TdxBarItemVisible value);
  int VisibleCategoryToIndex(int n) const;

  // --- Fonts ---------------------------------------------------------------
  TFont* Font() const { return FFont; }
  void SetFont(TFont* value) { FFont->Assign(value); }
  TFont* EditFont() const { return FEditFont; }
  TFont* BarCaptionFont() const { return FBarCaptionFont; }
  bool UseSystemFont() const { return FUseSystemFont; }
  void SetUseSystemFont(bool value);
  bool Scaled() const { return FScaled; }
  void SetScaled(bool value);
  // The menu font of the non-client metrics, or only its height.
  void LoadSystemFont();
  // Answers the system's change of the non-client metrics.
  void SettingChanged(WPARAM action);
  // Handlers told after every font change.
  TNotifyEvent OnSystemFontChanged;

  // --- Popup menus -----------------------------------------------------------
  // The popup menus of the manager; they go with it.
  int PopupMenuCount() const { return static_cast<int>(FPopupMenus.size()); }
  TdxBarCustomPopupMenu* PopupMenuAt(int index) const;
  void AddPopupMenu(TdxBarCustomPopupMenu* menu);
  void RemovePopupMenu(TdxBarCustomPopupMenu* menu);

  // --- Docks ---------------------------------------------------------------
  int DockControlCount() const { return static_cast<int>(FDockControls.size()); }
  TdxDockControl* DockControlAt(int index) const;
  void AddDockControl(TdxDockControl* dock);
  void RemoveDockControl(TdxDockControl* dock);
  bool AutoDockColor() const { return FAutoDockColor; }
  void SetAutoDockColor(bool value);
  // The owner control's colour while AutoDockColor is on.
  TColor DockColor() const;
  // Switches AutoDockColor off.
  void SetDockColor(TColor value);
  bool IsDockColorStored() const { return !FAutoDockColor; }

  // --- Options -------------------------------------------------------------
  bool MenusShowRecentItemsFirst() const { return FMenusShowRecentItemsFirst; }
  void SetMenusShowRecentItemsFirst(bool value) { FMenusShowRecentItemsFirst = value; }
  // A non-standard style showing recent items first.
  bool RecentFirstInEffect() const;
  bool IsNonStandardStyle() const { return EffectiveStyle() != bmsStandard; }
  int ButtonArrowWidth() const { return FButtonArrowWidth; }
  void SetButtonArrowWidth(int value);
  int LargeButtonArrowWidth() const { return FLargeButtonArrowWidth; }
  void SetLargeButtonArrowWidth(int value);
  int WaitForDockingTime() const { return FWaitForDockingTime; }
  // The main menu shows a close button at its end also without a
  // maximized MDI child; a click on it fires OnMainMenuClose.
  bool ShowCloseButton() const { return FShowCloseButton; }
  void SetShowCloseButton(bool value) { FShowCloseButton = value; }
  TNotifyEvent OnMainMenuClose;
  void SetWaitForDockingTime(int value);
  // The docking styles no bar of the manager may take (the standard edges
  // and floating); a change restyles the bars.
  TdxBarDockingStyles NotDocking() const { return FNotDocking; }
  void SetNotDocking(TdxBarDockingStyles value);
  // Whether the bar may dock in the style at the dock: never in a style of
  // its own NotDocking; a placed dock decides for itself, the standard edges
  // (or none) by the manager's NotDocking; OnDocking may then change it.
  virtual bool DoDocking(TdxBar* bar, TdxBarDockingStyle style, TdxDockControl* dock);
  TdxBarCanDockingEvent OnDocking;
  // Bars that a category's items leave empty hide, and show again when
  // they fill; switching it off forgets which bars hid that way.
  bool AutoHideEmptyBars() const { return FAutoHideEmptyBars; }
  void SetAutoHideEmptyBars(bool value);
  // F10 leaves (and enters) the menu mode of the bars.
  bool UseF10ForMenu() const { return FUseF10ForMenu; }
  void SetUseF10ForMenu(bool value) { FUseF10ForMenu = value; }

  // --- Customizing, selection and designer ---------------------------------
  // Refused while a customizing window exists elsewhere; every link list
  // rebuilds.
  void SetCustomizingMode(bool value);
  bool InCustomizingOrDesign() const { return FIsCustomizing || IsDesigning(); }
  TdxBarItemControl* SelectedItemControl() const { return FSelectedItemControl; }
  void SetSelectedItemControl(TdxBarItemControl* value) { FSelectedItemControl = value; }
  void NotifyDesignerModified();
  void LockDesignerModified(bool lock, bool sendPending = true);
  bool DesignerModified() const { return FDesignerModified; }
  // Asks (Yes/No, exclamation, No the default) and on Yes puts the saved
  // usage of every link back.
  void ResetUsageData();
  virtual void DoClickItem(TdxBarItem* item);

  TdxBarItemLinkEvent OnItemLinkAdd;
  TdxBarItemLinkEvent OnItemLinkChange;
  TdxBarItemLinkEvent OnItemLinkDelete;
  TdxBarClickItemEvent OnClickItem;
  // Sees each merge decision (kind and position) before it is checked.
  TdxBarMergeItemLinkEvent OnMergeItemLink;

  // The base text followed by 1, 2, 3 ... until no bar has that caption.
  AnsiString UniqueBarCaption(const AnsiString& base) const;
  // A new toolbar named "Custom N", docked at the top on a row after the
  // others (the main menu on the first) and shown, floating beside the
  // owner when undocked.
  TdxBar* AddToolbar(bool asMainMenu = false);

  bool IsDesigning() const { return ComponentState().Contains(csDesigning); }
  bool IsLoading() const { return ComponentState().Contains(csLoading); }
  bool IsBeingDestroyed() const { return ComponentState().Contains(csDestroying); }
  bool InDesignMode() const { return IsDesigning(); }
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

  // Manager-wide changes run between these (nestable); the first lock stops
  // the docks redrawing, the last unlock lays out docks and bars again (the
  // bars marked changed too with `repaint`). Nothing while destroying.
  void LockUpdate();
  void UnlockUpdate(bool repaint = false);
  // The start (docks stop redrawing) or the end of a manager-wide update.
  void SetBarsUpdating(bool on, bool all);
  int BarsUpdatedCount() const { return FBarsUpdatedCount; }
  int LockUpdateCount() const { return FLockUpdate; }
  bool IsUpdateLocked() const { return FLockUpdate > 0; }
  // Restyles every bar window (the painter, backgrounds and fonts).
  void ApplyStyle();
  int ApplyStyleCount() const { return FApplyStyleCount; }

  // Adds a group (its parent is the manager).
  void AddGroup(TdxBarGroup* group);

  // In design mode the items whose names begin with the old name take
  // the new one in its place (an item whose new name is refused keeps its
  // old one).
  void SetName(const AnsiString& value) override;

  // --- Drawing resources ---------------------------------------------------
  // The flat style's colours (each the nearest the screen shows) and
  // their solid brushes: border, toolbar, down, down and selected,
  // selected.
  static TColor FlatBorderColor();
  static TColor FlatToolbarColor();
  static TColor FlatDownedColor();
  static TColor FlatDownedSelColor();
  static TColor FlatSelColor();
  HBRUSH FlatBorderBrush() const { return FFlatBrushes[0]; }
  HBRUSH FlatToolbarBrush() const { return FFlatBrushes[1]; }
  HBRUSH FlatDownedBrush() const { return FFlatBrushes[2]; }
  HBRUSH FlatDownedSelBrush() const { return FFlatBrushes[3]; }
  HBRUSH FlatSelBrush() const { return FFlatBrushes[4]; }
  // A solid brush of the theme's toolbar colour, null while visual styles
  // are not available.
  HBRUSH ThemeToolbarBrush() const { return FThemeToolbarBrush; }
  // The brushes again, and the Office 2003 colours recomputed (system
  // colour changes).
  void RefreshDrawingResources();

  // What the image lists' changes ask of the items (each under an update
  // lock; nothing while loading or destroying).
  void ImagesChanged(TObject* Sender);
  void DisabledImagesChanged(TObject* Sender);
  void LargeImagesChanged(TObject* Sender);
  void DisabledLargeImagesChanged(TObject* Sender);
  void HotImagesChanged(TObject* Sender);
  void ImageOptionsChanged(TObject* Sender);
  void LargeIconsChanged(TObject* Sender);

  // --- Streaming -------------------------------------------------------------
  // How many times the manager was read from a form.
  int ReadStateCount() const { return FReadStateCount; }
  bool AllowReset() const { return FAllowReset; }
  void SetAllowReset(bool value) { FAllowReset = value; }
  // Read at least once and AllowReset: bars may go back to what was read.
  bool KeepsStateForReset() const { return FReadStateCount > 0 && FAllowReset; }
  // Set from the end of loading on: the loaded state is being applied or was.
  bool AfterLoading() const { return FAfterLoading; }
  // Its bars, then its items of a category, then its groups, each owned by
  // the root.
  void GetChildren(const TGetChildProc& Proc, TComponent* Root) override;
  void ReadState(TReader* Reader) override;
  // Links take the items they name, items and bars the values read, the
  // categories theirs; the docks lay out again.
  void Loaded() override;

protected:
  void Notification(TComponent* component, TOperation operation) override;
  void FontChanged(TObject* Sender);
  template <class F>
  void ForEachItemLocked(F&& f);
  void CreateDrawingResources();
  void DeleteDrawingResources();
  void MakeFlatBrushes();
  void MakeThemeBrush();

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
  TdxBarComponentList* FItems;
  TdxBarManagerCategories* FCategories;
  std::vector<TdxDockControl*> FDockControls;
  std::vector<TdxBarCustomPopupMenu*> FPopupMenus;
  HBRUSH FFlatBrushes[5] = {};
  HBRUSH FThemeToolbarBrush = nullptr;
  TdxBarDockingStyles FNotDocking;
  bool FAutoHideEmptyBars = false;
  int FBarsUpdatedCount = 0;
  int FReadStateCount = 0;
  bool FAllowReset = true;
  bool FAfterLoading = false;
  bool FDrawingResources = false;
  TFont* FFont;
  TFont* FEditFont;
  TFont* FBarCaptionFont;
  bool FUseSystemFont = true;
  bool FScaled = true;
  bool FInternalFontChange = false;
  bool FAutoDockColor = true;
  TColor FDockColor = clBtnFace;
  bool FMenusShowRecentItemsFirst = true;
  int FButtonArrowWidth = 11;
  int FLargeButtonArrowWidth = 13;
  int FWaitForDockingTime = 21;
  bool FShowCloseButton = false;
  bool FUseF10ForMenu = true;
  TdxBarItemControl* FSelectedItemControl = nullptr;
  int FDesignerLock = 0;
  bool FDesignerModified = false;
  bool FDesignerPending = false;
};
