// Bar items: the commands of a bar manager, shown on bars and in menus
// through their links. An item keeps the list of its links and pushes every
// change of its own to the item controls of those links; clicks, shortcuts
// and actions arrive at the item and leave it as its OnClick and the
// manager's OnClickItem.
#pragma once

#include "bars/model/BarComponents.h"
#include "platform/ActnList.h"
#include "platform/Set.h"

#include <vector>

class TBitmap;
class TcxCanvas;
class TcxStyle;
class TCustomdxBarControl;
class TCustomImageList;
class TdxBarItemActionLink;
class TdxBarItemControl;
class TdxBarItemLink;
class TdxBarItemLinks;
class TdxBarItemStylesData;
class TdxBarScreenTip;

enum class TdxBarItemAlign { iaLeft, iaCenter, iaRight, iaClient };
using enum TdxBarItemAlign;
enum class TdxBarItemMergeKind { mkAdd, mkMergeByCaption, mkNone };
using enum TdxBarItemMergeKind;
enum class TdxBarPaintStyle { psStandard, psCaption, psCaptionInMenu, psCaptionGlyph };
using enum TdxBarPaintStyle;

// The kinds of bar windows that host item controls: toolbars, the
// quick-customizing popup and submenus (each window reports its kind).
enum class TdxBarHostKind { hkToolbar = 0, hkQuickCustomizing = 1, hkSubMenu = 2 };
using enum TdxBarHostKind;
using TdxBarHostKinds = TSet<TdxBarHostKind, 8>;
inline const TdxBarHostKinds AllHostKinds{hkToolbar, hkQuickCustomizing, hkSubMenu};

class TdxBarItem : public TdxBarComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  // Joins the manager that serves the owner (the owner itself, or the
  // manager whose owner control it is; else the first manager there is).
  explicit TdxBarItem(TComponent* AOwner);
  ~TdxBarItem() override;
  // Makes the style slots (as many as the kind's StyleCount).
  void AfterConstruction() override;
  // Fires OnDestroy, then frees the links from the last to the first.
  void BeforeDestruction() override;

  // --- Properties --------------------------------------------------------
  TBasicAction* Action() const;
  void SetAction(TBasicAction* value);
  TdxBarItemAlign Align() const { return FAlign; }
  void SetAlign(TdxBarItemAlign value);
  const AnsiString& Caption() const { return FCaption; }
  virtual AnsiString GetCaption() const { return FCaption; }
  virtual void SetCaption(const AnsiString& value);
  int Category() const { return FCategory; }
  // Moves the item beside the others of the category in the manager's item
  // list; an index the categories refuse, or no manager, is ignored.
  void SetCategory(int value);
  const AnsiString& Description() const { return FDescription; }
  void SetDescription(const AnsiString& value);
  // Always on while the manager is customizing at run time for an item of
  // a category.
  bool GetEnabled() override;
  void SetEnabled(bool value) override;
  bool Enabled() { return GetEnabled(); }
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int value) { FHelpContext = value; }
  const AnsiString& Hint() const { return FHint; }
  void SetHint(const AnsiString& value) { FHint = value; }
  const AnsiString& KeyTip() const { return FKeyTip; }
  void SetKeyTip(const AnsiString& value) { FKeyTip = value; }
  TdxBarItemMergeKind MergeKind() const { return FMergeKind; }
  void SetMergeKind(TdxBarItemMergeKind value) { FMergeKind = value; }
  int MergeOrder() const { return FMergeOrder; }
  void SetMergeOrder(int value) { FMergeOrder = value < 0 ? 0 : value; }
  TcxStyle* Style() const;
  void SetStyle(TcxStyle* value);
  TdxBarScreenTip* ScreenTip() const { return FScreenTip; }
  void SetScreenTip(TdxBarScreenTip* value);
  TdxBarItemVisible Visible() const { return FVisible; }
  void SetVisible(int value) override;
  void SetVisible(TdxBarItemVisible value) { SetVisible(static_cast<int>(value)); }
  TdxBarItemVisible LoadedVisible() const { return FLoadedVisible; }
  // The Visible value read while loading becomes the item's (also while the
  // item itself still loads: the manager's loading end runs first).
  void ApplyLoadedVisible();
  TNotifyEvent OnDestroy;
  TNotifyEvent OnCreate;
  TNotifyEvent OnClick;

  TBitmap* Glyph() const { return FGlyph; }
  void SetGlyph(TBitmap* value);
  TBitmap* LargeGlyph() const { return FLargeGlyph; }
  void SetLargeGlyph(TBitmap* value);
  int ImageIndex() const { return FImageIndex; }
  virtual void SetImageIndex(int value);
  int LargeImageIndex() const { return FLargeImageIndex; }
  virtual void SetLargeImageIndex(int value);
  TdxBarPaintStyle PaintStyle() const { return FPaintStyle; }
  void SetPaintStyle(TdxBarPaintStyle value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut value);
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool value) { FShowCaption = value; }
  bool UnclickAfterDoing() const { return FUnclickAfterDoing; }
  void SetUnclickAfterDoing(bool value) { FUnclickAfterDoing = value; }
  virtual int GetWidth() const { return FWidth; }
  virtual void SetWidth(int value);
  int Width() const { return GetWidth(); }
  // 0 and 1 put the glyph beside the caption, 2 and 3 above or below it.
  int GlyphLayout() const { return FGlyphLayout; }
  void SetGlyphLayout(int value) { FGlyphLayout = value; }
  bool CanSelect() const { return FCanSelect; }
  void SetCanSelect(bool value) { FCanSelect = value; }
  TObject* Data() const { return FData; }
  void SetData(TObject* value) { FData = value; }
  // The link the current click arrives through (only while it is delivered).
  TdxBarItemLink* ClickItemLink() const { return FClickItemLink; }
  void SetClickItemLink(TdxBarItemLink* value) { FClickItemLink = value; }
  TdxBarItemActionLink* ActionLink() const { return FActionLink; }
  TdxBarItemStylesData* StylesData() const { return FStylesData; }

  // --- What the kinds override -------------------------------------------
  virtual void BarManagerChanged() {}
  // Kind 0 a toolbar, 1 a menu.
  virtual bool CanBePlacedOn(int kind, TObject* owner, AnsiString& message);
  virtual bool HasPaintStyle() const { return false; }
  // Also gates Click.
  virtual bool HandlesShortCut() const { return true; }
  virtual void PaintCustomizingBackground(TcxCanvas* canvas, const RECT& r);
  virtual int CurrentImageIndex() const { return FImageIndex; }
  virtual void ApplyImageIndex(int value) { SetImageIndex(value); }
  // The control class registered for exactly this item class (not for an
  // ancestor); null when none. `vertical` is the host's rotated text.
  virtual TClass ItemControlClass(bool vertical = false) const;
  virtual bool HiddenFromCategories() const { return false; }
  // The links the item owns (sub-items, buttons with a drop-down), or null.
  virtual TdxBarItemLinks* GetItemLinks() const { return nullptr; }
  // Class-level: how many style slots the constructor makes.
  virtual int StyleCount() const { return 1; }
  virtual bool CanSelectByKey(TdxBarItemLink* link) { (void)link; return GetEnabled(); }
  virtual void HideUnshownControl(TdxBarItemControl* control) { (void)control; }
  virtual bool HasContent() const { return true; }
  virtual bool IsSameKindAs(TdxBarItem* item) const { (void)item; return false; }
  // False for a disabled item; else whether it handles the shortcut (then
  // it clicks), else whether its own links run it.
  virtual bool ExecuteShortCut(TShortCut shortCut);
  virtual bool UsesStyleColors() const { return false; }
  virtual bool HasOwnWindow() const { return false; }
  virtual void BarNotification(int operation, TObject* bar) { (void)operation; (void)bar; }
  virtual void RefreshAllControls();
  virtual void RepaintControls();
  virtual void RecalcHostControls(TdxBarHostKinds kinds);
  virtual int ReservedQuery() const { return 0; }
  virtual bool HasImageIndex() const { return FImageIndex >= 0 || FLargeImageIndex >= 0; }
  virtual void CaptionChanged();
  virtual void EnabledChanged();
  virtual void GlyphChanged();
  virtual void ControlsAuxChanged();
  virtual void LargeGlyphChanged();
  virtual void PaintStyleChanged() {}
  // A changed shortcut: submenus lay out again.
  virtual void ContentChanged();
  virtual void VisibilityChanged();
  virtual void WidthChanged();
  virtual bool CaptionNeedsStoring() const;
  virtual AnsiString NewItemCaption() const;
  virtual AnsiString SupplementaryText() const { return AnsiString(); }
  virtual TCustomImageList* ImageList() const;
  // A style slot changed: a full change makes the controls again.
  void StylesChanged(bool full);

  // Whether any link may show the item: ivAlways with content (or while
  // customizing or designing), ivInCustomizing only then, ivNever never.
  bool CanBeShown() const;
  // The caption without its first "&" and its first "...".
  AnsiString CaptionWithoutMarks() const;
  // Whether the short part of the hint (before "|") is the caption without
  // marks.
  bool HintEqualsCaption() const;

  // --- Clicks and actions ------------------------------------------------
  // DoClick when the item handles shortcuts.
  virtual void Click();
  // Nothing when disabled; else the manager's OnClickItem, then FireClick;
  // a failure goes to the application's handler.
  virtual void DoClick();
  // OnClick, unless it is the action's own OnExecute: then the action runs
  // (outside design mode).
  virtual void FireClick();
  virtual TClass GetActionLinkClass() const;
  virtual void ActionChange(TObject* sender, bool checkDefaults);
  bool IsCheckingDefaults() const { return FCheckingDefaults; }
  void Assign(TPersistent* source) override;
  void Loaded() override;
  void SetName(const AnsiString& value) override;
  bool HasParent() const override { return FCategory >= 0; }
  TComponent* GetParentComponent() const override;
  void SetParentComponent(TComponent* parent) override;

  // --- Links -------------------------------------------------------------
  int LinkCount() const { return static_cast<int>(FLinks.size()); }
  TdxBarItemLink* LinkAt(int index) const;
  TdxBarItemLink* LinkWithActiveControl() const;
  TdxBarItemLink* DesignLink() const;
  void ShowDefaultEventHandler();

  bool IsLoading() const { return ComponentState().Contains(csLoading); }
  bool IsBeingDestroyed() const { return ComponentState().Contains(csDestroying); }
  bool IsDesigning() const { return ComponentState().Contains(csDesigning); }

protected:
  void AssignTo(TPersistent* dest) override;
  void Notification(TComponent* component, TOperation operation) override;
  void SetCaptionWithDefaults(const AnsiString& value);

  bool DoCanBeDeleted(bool withItem) override;
  void DoDeleteSelected(IdxBarSelectableItem*& self, bool withItem) override;
  void DoCommandApplied(int command) override;
  void DoAddDependents(TdxObjectList* list) override;
  void DoNextSelectable(IdxBarSelectableItem*& next) override;
  TPersistent* DoSelectableParent() override;
  unsigned DoSupportedCommands() override;
  void DoRepaint() override { RepaintControls(); }
  bool DoIsComplex() override { return LinkCount() > 1; }
  bool DoEnterAction() override;
  void DoSelectionChanged() override;

private:
  friend class TdxBarItemLink;
  void EnsureStylesData();
  friend class TdxBarItemActionLink;
  void DoActionChange(TObject* Sender);
  void GlyphBitmapChanged(TObject* Sender);
  void LargeGlyphBitmapChanged(TObject* Sender);
  void StylesDataChanged(int kind);
  template <class F>
  void ForEachControl(F&& f) const;

  TdxBarItemAlign FAlign = iaLeft;
  AnsiString FCaption;
  int FCategory = -1;
  AnsiString FDescription;
  bool FEnabled = true;
  int FHelpContext = 0;
  AnsiString FHint;
  AnsiString FKeyTip;
  TdxBarItemMergeKind FMergeKind = mkAdd;
  int FMergeOrder = 0;
  TdxBarScreenTip* FScreenTip = nullptr;
  TdxBarItemVisible FVisible = ivAlways;
  TdxBarItemVisible FLoadedVisible = ivAlways;
  TBitmap* FGlyph = nullptr;
  TBitmap* FLargeGlyph = nullptr;
  int FImageIndex = -1;
  int FLargeImageIndex = -1;
  TdxBarPaintStyle FPaintStyle = psStandard;
  TShortCut FShortCut = 0;
  bool FShowCaption = false;
  bool FUnclickAfterDoing = false;
  int FWidth = 0;
  int FGlyphLayout = 2;
  bool FCanSelect = true;
  bool FCheckingDefaults = false;
  TdxBarItemLink* FClickItemLink = nullptr;
  TObject* FData = nullptr;
  std::vector<TdxBarItemLink*> FLinks;  // in the order they were attached
  TdxBarItemActionLink* FActionLink = nullptr;
  TdxBarItemStylesData* FStylesData = nullptr;
};
