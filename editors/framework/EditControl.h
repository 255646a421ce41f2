// The editor control: a container that owns a properties object, an edit
// value with flags telling whether the user changed it, whether it passed
// validation and whether it must be posted, a data binding it posts
// through, an optional inner window that does the typing, and a view info
// that a fresh view data fills and that paints the border, background and
// edit buttons. It works standalone (on a form, posting to its binding) or
// in place (created by a host, posting to the host's handler). Every
// editor derives from it and refines it through the virtual operations.
#pragma once

#include "editors/framework/EditData.h"
#include "editors/framework/EditError.h"
#include "editors/framework/EditRepository.h"
#include "editors/framework/EditViewInfo.h"
#include "foundation/Container.h"
#include "foundation/Controls.h"
#include "platform/Variant.h"

#include <memory>
#include <utility>
#include <vector>

class TcxCustomEdit;

// Sets a flag for a scope and puts the old value back at its end.
class TcxFlagGuard {
public:
  TcxFlagGuard(bool& flag, bool value) : FFlag(flag), FSaved(flag) { flag = value; }
  ~TcxFlagGuard() { FFlag = FSaved; }
  TcxFlagGuard(const TcxFlagGuard&) = delete;
  TcxFlagGuard& operator=(const TcxFlagGuard&) = delete;

private:
  bool& FFlag;
  bool FSaved;
};

// What an inner window offers the edit that hosts it.
class IcxCustomInnerEdit {
public:
  virtual ~IcxCustomInnerEdit() = default;
  virtual void SetContainer(TcxCustomEdit* edit) = 0;
  virtual void SetReadOnly(bool value) = 0;
  // Called after each change of the inner window's text.
  virtual void SetOnChange(const TNotifyEvent& handler) = 0;
  virtual TWinControl* Control() = 0;
  virtual void SafelySetFocus() = 0;
};

using TcxEditEditingEvent = TEvent<void(TObject* sender, bool& canEdit)>;
using TcxEditKeyEvent = TEvent<void(TObject* sender, WORD& key, TShiftState shift)>;

class TcxCustomEdit : public TcxContainer, public IcxEditRepositoryItemListener, public IcxEditValidationTarget {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxCustomEdit(TComponent* owner, bool inPlace = false);
  static TcxCustomEdit* CreateInPlace(TComponent* owner, bool inPlace) {
    return New<TcxCustomEdit>(owner, inPlace);
  }
  ~TcxCustomEdit() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // -- Value and flags
  Variant EditValue() { return ReadEditValue(); }
  void SetEditValue(const Variant& value) { AssignEditValueWithoutClick(value); }
  bool Modified() const { return FModified; }
  bool Validated() const { return FValidated; }
  bool ChangedSinceEnter() const { return FEditValueChanged; }
  bool InPlace() const { return FInPlace; }
  bool UserAction() const { return FUserAction; }
  // True while StartEditing switches the binding into editing.
  bool StartingEdit() const { return FStartingEdit; }
  void SetUserAction(bool value) { FUserAction = value; }
  int PressedButtonIndex() const { return FPressedButtonIndex; }
  const Variant& ValueOnEnter() const { return FValueOnEnter; }

  bool CheckEditValue(bool raiseOnError);
  virtual bool ValidateNow();
  void StoreEditValue(bool validateFirst);
  virtual void RevertEditing();
  virtual void ResetToDefault() { AssignEditValueWithoutClick(DefaultEditValue()); }
  bool StartEditing();
  bool CanStoreToData();
  void MarkModified(bool value);
  void SetChangedSinceEnter(bool value);
  void SetModifiedFlag(bool value) { FModified = value; }
  void PushModifiedState();
  void PopModifiedState();
  void LockChangeEvents(bool lock, bool fire = true);
  void LockClick(bool lock);
  void LockEditingSwitch(bool lock);
  void FireChange();
  void FireEditValueChanged();
  void ModifyAndClick();
  void FireKeyEvent(WORD& key, TShiftState shift);
  // The close-popup event of the own properties, then of the repository item's.
  void FireClosePopupEvent(TcxEditCloseUpReason reason);
  // Whether the mouse wheel may act: always standalone; in place when the
  // properties allow it or the flags carry the forcing bit (4).
  bool WheelAllowed(unsigned flags = 0);

  // -- Properties, style, repository
  TcxCustomEditProperties* Properties() const { return FProperties.get(); }
  TcxCustomEditProperties* EffectiveProperties() const;
  TcxCustomEditStyle* CurrentStyle();
  TcxEditStyle* Style() const { return static_cast<TcxEditStyle*>(Styles()->StyleForState(cxssNormal)); }
  TcxEditStyle* StyleOf(int state) const { return static_cast<TcxEditStyle*>(Styles()->StyleForState(state)); }
  TcxEditStyle* StyleDisabled() const { return StyleOf(cxssDisabled); }
  TcxEditStyle* StyleFocused() const { return StyleOf(cxssFocused); }
  TcxEditStyle* StyleHot() const { return StyleOf(cxssHot); }
  TcxEditRepositoryItem* RepositoryItem() const { return FRepositoryItem; }
  // Raises EcxEditError "The repository item is not acceptable" for an item
  // whose properties are not of this edit's properties class.
  void SetRepositoryItem(TcxEditRepositoryItem* value);
  TcxEditDataBinding* DataBinding() const { return FDataBinding.get(); }
  TcxCustomEditViewInfo* EditViewInfo() const { return static_cast<TcxCustomEditViewInfo*>(ViewInfo()); }
  TcxEditChangeEventsCatcher* ChangeEventsCatcher() const { return FCatcher.get(); }
  bool AutoSize() const { return FAutoSize; }
  virtual void SetAutoSize(bool value);
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value);
  // Reading the height first makes sure the window exists when auto size wants it.
  int Height();
  // A form stores the height unless auto size makes it, and the width
  // unless auto size makes it with auto-width buttons.
  bool IsHeightStored() { return !AutoSizeWanted(); }
  bool IsWidthStored() { return !(AutoSizeWanted() && AutoWidthButtons()); }
  IcxCustomInnerEdit* InnerEdit() const { return FInnerEdit; }
  bool HasInnerControl() const { return InnerControl() != nullptr; }
  bool IsInnerControlPending();
  int ButtonIndexAt(POINT p);
  int DefaultButtonIndex();
  bool IsClearOrClickShortcut(WORD key, TShiftState shift);
  bool CanRevert();
  bool InEditingLook();
  TcxCustomEditData* InPlaceEditData() const { return FInPlaceEditData; }
  bool DblClickTimerRunning() const { return FDblClickTimer && FDblClickTimer->Enabled(); }

  // The inner window hands its keys and characters to the edit first; a
  // key or character set to 0 was consumed.
  void InnerKeyDown(WORD& key, TShiftState shift) { KeyDown(key, shift); }
  void InnerKeyPress(char& key) { KeyPress(key); }
  void InnerKeyUp(WORD& key, TShiftState shift) { KeyUp(key, shift); }

  // -- In-place activation (hosts only)
  void ActivateInPlace(TcxCustomEditData*& editData);
  void ActivateByKey(char key, TcxCustomEditData*& editData);
  void ActivateByMouse(TShiftState shift, int x, int y, TcxCustomEditData*& editData);

  // -- Repository listener
  void RepositoryItemPropertiesChanged(TcxEditRepositoryItem* item) override;
  void RepositoryItemRemoved(TcxEditRepositoryItem* item) override;

  // -- The virtual operations every editor refines, in their order.
  virtual bool UsesAlignedCaption() { return false; }
  virtual void PlaceInnerControl();
  virtual bool AutoSizeWanted() { return !FInPlace && FAutoSize; }
  virtual bool AutoWidthButtons() {
    return EffectiveProperties()->ButtonLayout() == TcxEditButtonsLayout::blButtonsAutoWidth;
  }
  virtual bool IsEditingKey(WORD key, TShiftState shift) { (void)key, (void)shift; return false; }
  virtual bool IsEditingChar(char key) { (void)key; return false; }
  virtual bool CanEditValue();
  virtual void ReloadFromData(TObject* sender);
  virtual TWinControl* CreateInnerControl() { return nullptr; }
  virtual TcxCustomEditViewData* NewViewData();
  // A view data of the editor's class (NewViewData completes it).
  virtual TcxCustomEditViewData* CreateViewData(TcxCustomEditProperties* properties, TcxCustomEditStyle* style,
                                                bool inPlace) {
    return new TcxCustomEditViewData(properties, style, inPlace);
  }
  virtual void ClickDefaultButton();
  virtual void FireButtonClick(int index);
  virtual void EditButtonPressed(int index) { (void)index; }
  virtual void EditButtonReleased(int index) { (void)index; }
  virtual void ProcessKey(WORD& key, TShiftState shift);
  virtual void ProcessChar(char& key) { FilterChar(key); }
  virtual void BeforeKeyAction(TShiftState shift) { (void)shift; }
  virtual void FocusLookChanged();
  // Whether the focus has left for good although no exit came: the edit's
  // modal form closed with an answer other than none and cancel, or the
  // edit, alone on its form, lost the focus to another window of the same
  // top-level window.
  bool FocusReallyLeft();
  virtual void DoChangeEvent();
  virtual void DoEditValueChangedEvent();
  virtual void SaveValueOnEnter();
  virtual Variant DefaultEditValue() { return Variant(); }
  AnsiString ReadShownText() override { return AnsiString(); }
  virtual Variant ValueToPost();
  virtual Variant ReadEditValue() { return FEditValue; }
  // Raises EcxEditValidationError (or a silent abort) after taking the focus back.
  virtual void ValidationFailed(const AnsiString& errorText, bool raiseSilently);
  virtual void WireInnerControl();
  virtual void FillViewDataState(TcxCustomEditViewData* viewData);
  virtual bool EditingAllowed() { return true; }
  virtual Variant DisplayToEditValue() { return FEditValue; }
  virtual void ApplyDisplayValue(const Variant& value) { (void)value; }
  virtual void StoreInternalEditValue(const Variant& value);
  virtual void AcceptDisplayValue(const Variant& value);
  virtual bool DrawsOwnBorder(TcxCanvas* canvas) { (void)canvas; return false; }
  // Painted as a copy of itself while bound to stored data: the stored
  // value is painted, not the one being edited.
  virtual bool DesignDataLinked();
  // Paints the binding's current value at the origin through a view info
  // and view data of its own, then takes the control's area out of the
  // canvas's clip.
  virtual void PaintValue(TcxCanvas* canvas);
  virtual bool IsClickShortcut(WORD key, TShiftState shift);
  virtual bool HasNonNullValue() { return !FEditValue.IsNull(); }
  virtual bool PaintsParentBackground() { return false; }
  virtual bool TransparentAllowed() { return !FInPlace && FTransparent; }
  virtual bool KeyAllowedByProvider(char key);
  virtual bool WantsKeyEvent() { return false; }
  virtual void ApplyProperties(TcxCustomEditProperties* properties);
  virtual bool IsReadOnlyNow();
  virtual void RepositoryItemChanged() {}
  virtual void RepositoryItemChanging() {}
  virtual bool KeyStartsEditing(char key) { (void)key; return true; }
  virtual void AssignEditValueWithoutClick(const Variant& value);
  virtual void AssignEditValue(const Variant& value);
  virtual void PutDisplayText(const Variant& value) { (void)value; }
  virtual void RefreshDisplayText() {}
  virtual bool WantsTabKey() { return FInPlace; }
  virtual bool ResyncOnExit() { return true; }
  virtual void RefreshView() {}
  virtual bool KeyMayProceed(WORD key, TShiftState shift);
  virtual void FilterChar(char& key);
  virtual bool TextEditing() { return false; }
  virtual void HookInnerWindow();
  virtual void UnhookInnerWindow();
  virtual TClass PropertiesClass() const { return &TcxCustomEditProperties::ClassInfo; }
  virtual TcxCustomEditData* NewEditData() { return nullptr; }
  virtual void FillEditData(TcxCustomEditData* data) { (void)data; }
  virtual bool InnerEditShowsValue() { return false; }
  // Whether a window is the edit's or one of its children's; a drop-down
  // editor adds the popup window it keeps.
  virtual bool IsOwnWindow(HWND window);
  virtual void SelectAllText() {}
  // Clipboard commands of the edit (the text editors fill them in).
  virtual void CopySelection() {}
  virtual void CutSelection() {}
  virtual void PasteText() {}
  // What validation asks of the edit: OnValidate of the own properties,
  // then of the repository item's.
  bool HasValidateHandler() override;
  void FireValidate(TcxEditValue& displayValue, AnsiString& errorText, bool& error) override;
  // The binding the edit posts through (the base binding without storage).
  virtual TcxEditDataBinding* NewDataBinding() { return new TcxEditDataBinding(this); }
  // Whether the class has an inner control (then it is pending until made).
  virtual bool WantsInnerControl() { return false; }

  TcxEditEditingEvent OnEditing;
  // Groups the properties' events at design time; never called.
  TNotifyEvent PropertiesEvents;
  TNotifyEvent PostEditValueHandler;
  TcxEditKeyEvent KeyEvent;

  // -- Container overrides
  TClass StyleClass() override { return &TcxEditStyle::ClassInfo; }
  TcxContainerViewInfo* ViewInfoClass() override { return new TcxCustomEditViewInfo(); }
  TcxContainerStyleValues UnusedStyleValues() override;
  bool HandlesTabNavigation() override { return false; }
  RECT BorderMargins() override;
  // The window's shape: the border and what it encloses (the buttons too).
  RECT CalcInnerClientRect() override;
  bool TrackMouseAt(POINT p, int button, TShiftState shift, bool flag) override;
  void AlignInnerControl() override;
  bool RepaintsOnParentColor() override { return PaintsParentBackground() || TransparentAllowed(); }
  bool IgnoresParentColor() override { return FInPlace; }
  void FocusChanged() override;
  void WndProc(TMessage& Message) override;
  void Click() override;
  void DblClick() override;

  // The view info for a point: a fresh view data fills it.
  void RecalcViewInfoAt(POINT p, TShiftState shift, TcxEditMouseEvent event, bool keepPressed);
  void RecheckMouseAtCursor();
  void TrackButtonState(TcxCustomEditViewInfo* old);
  void CalcAutoSize(int& width, int& height);
  void RefreshStateBeforePaint() override;
  virtual void AfterKeyUp(WORD& key, TShiftState shift) { (void)key, (void)shift; }

protected:
  void DoEnter() override;
  void DoExit() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void Loaded() override;
  void Notification(TComponent* component, TOperation operation) override;
  void CreateWnd() override;
  void Paint() override;
  // The properties' changes are applied once, after the whole state is read.
  void ReadState(TReader* Reader) override;

public:
  void SetName(const AnsiString& value) override;
  // The first parent re-applies the edit's own properties.
  void SetParent(TWinControl* value) override;
  // Outside loading, an auto-sized edit keeps the size its value needs
  // whatever size it is given.
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  // A visible in-place edit stands in for its host: the host leaves the list.
  void GetTabOrderList(std::vector<TWinControl*>& list) override;
  bool ExecuteAction(TBasicAction* Action) override;
  bool UpdateAction(TBasicAction* Action) override;

protected:

  // The inner window's procedure while hooked (calls the one it replaced).
  void InnerWindowProc(TMessage& message);

private:
  friend class TcxEditChangeEventsCatcher;
  void InitializeEdit();
  void ValidateOnExit();
  bool HandlesEvents() const;
  void DblClickTimerTick(TObject*);
  void OwnPropertiesChanged(TObject*) { ApplyProperties(FProperties.get()); }
  void EnsureHandleForAutoSize();

  bool FAutoSize = true;
  int FPressedButtonIndex = -1;
  std::unique_ptr<TcxEditChangeEventsCatcher> FCatcher;
  int FClickLockCount = 0;
  TcxTimer* FDblClickTimer = nullptr;  // owned by the edit as a component
  TcxCustomEditData* FInPlaceEditData = nullptr;
  bool FStartingEdit = false;
  int FEditingSwitchLockCount = 0;
  bool FShownFocused = false;
  bool FHandleNeededBusy = false;
  IcxCustomInnerEdit* FInnerEdit = nullptr;
  TWndMethod FInnerOldWindowProc;
  bool FInnerHooked = false;
  bool FFirstAutoSizePending = true;
  bool FValidated = false;
  bool FCheckingValue = false;
  bool FEscapeUsed = false;
  bool FInPlace;
  bool FStoring = false;
  bool FUserAction = false;
  bool FEditValueChanged = false;
  bool FModified = false;
  Variant FValueOnEnter;
  std::vector<std::pair<bool, bool>> FModifiedStateStack;
  TcxEditRepositoryItem* FRepositoryItem = nullptr;
  bool FTransparent = false;
  bool FFocusSuppressed = false;
  std::unique_ptr<TcxEditDataBinding> FDataBinding;
  Variant FEditValue;
  std::unique_ptr<TcxCustomEditProperties> FProperties;
  bool FUpdatingRegion = false;
  TcxEditContentParams FContentParams;
  bool FContentParamsCached = false;
  bool FInitialized = false;
  bool FViewInfoReady = false;
  bool FFirstParentPending = true;
};

// The form-table entries an editor publishes in its own table (the editor
// control itself publishes Height, Width and RepositoryItem):
//   RegisterPublished(&TcxTextEdit::ClassInfo, {cxEditControlPublished::EditValue(), ...});
namespace cxEditControlPublished {
TPropInfo AutoSize();
// Stored while the value is not Null.
TPropInfo EditValue();
TPropInfo Properties();
TPropInfo Style();
TPropInfo StyleDisabled();
TPropInfo StyleFocused();
TPropInfo StyleHot();
TPropInfo Transparent();
TPropInfo OnEditing();
}  // namespace cxEditControlPublished
