// The list view and the header control over the system's controls. The
// list's items, their sub-items and the columns, and the header's sections,
// are objects of the class library that the windows mirror: everything works
// without a window, and a window made again gets them back with the
// selection.
#pragma once

#include "platform/Collection.h"
#include "platform/Control.h"
#include "platform/ControlImages.h"
#include "platform/StdCtrls.h"
#include "platform/StringList.h"
#include "platform/TreeView.h"  // TSortType

#include <vector>

class TCustomListView;
class TListItems;

// -- List view ---------------------------------------------------------------------------

// A column of the report view: caption, width in pixels, alignment.
class TListColumn : public TCollectionItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TListColumn(TCollection* Collection);

  const AnsiString& Caption() const { return FCaption; }
  void SetCaption(const AnsiString& value);
  // The window's width once it has one (the user may drag it).
  int Width() const;
  void SetWidth(int value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  void Assign(TPersistent* source) override;

private:
  friend class TCustomListView;
  TCustomListView* ListView() const;
  AnsiString FCaption;
  int FWidth = 50;
  TAlignment FAlignment = taLeftJustify;
};

class TListColumns : public TCollection {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TListColumns(TCustomListView* listView);
  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
  TListColumn* Items(int index) const { return static_cast<TListColumn*>(TCollection::Items(index)); }
  TCustomListView* Owner() const { return FListView; }
  TPersistent* GetOwner() override;

protected:
  void Update(TCollectionItem* item) override;

private:
  TCustomListView* FListView;
};

// One item: its caption, the texts of the further columns, an image and
// application data.
class TListItem : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TListItem(TListItems* owner);

  TListItems* Owner() const { return FOwner; }
  TCustomListView* ListView() const;
  const AnsiString& Caption() const { return FCaption; }
  void SetCaption(const AnsiString& value);
  // Texts of the second and later columns.
  TStrings* SubItems() { return &FSubItems; }
  void SetSubItems(TStrings* value) { FSubItems.Assign(value); }
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int value);
  void* Data() const { return FData; }
  void SetData(void* value) { FData = value; }
  int Index() const;
  bool Selected() const;
  void SetSelected(bool value);
  bool Focused() const;
  void SetFocused(bool value);
  // The check box of a list with Checkboxes.
  bool Checked() const;
  void SetChecked(bool value);
  // The item's bounds in the window (empty without one).
  RECT DisplayRect() const;
  void MakeVisible();
  void Delete();
  void Assign(TPersistent* source) override;

private:
  friend class TListItems;
  friend class TCustomListView;
  bool GetState(UINT mask, bool kept) const;
  void SetState(UINT mask, bool value, bool& kept);
  void SubItemsChanged(TObject*);
  TListItems* FOwner;
  AnsiString FCaption;
  TStringList FSubItems;
  int FImageIndex = -1;
  void* FData = nullptr;
  // Kept while there is no window.
  bool FSelected = false;
  bool FFocused = false;
  bool FChecked = false;
  int FPosition = 0;  // while the window sorts
};

class TListItems : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TListItems(TCustomListView* owner);
  ~TListItems() override;

  TCustomListView* Owner() const { return FOwner; }
  int Count() const { return static_cast<int>(FItems.size()); }
  TListItem* Item(int index) const;
  TListItem* operator[](int index) const { return Item(index); }
  TListItem* Add();
  TListItem* Insert(int index);
  void Delete(int index);
  void Clear();
  int IndexOf(const TListItem* item) const;
  void BeginUpdate();
  void EndUpdate();
  void Assign(TPersistent* source) override;

private:
  friend class TListItem;
  friend class TCustomListView;
  TCustomListView* FOwner;
  std::vector<TListItem*> FItems;
  int FUpdateCount = 0;
};

enum class TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
using enum TViewStyle;

using TLVSelectItemEvent = TEvent<void(TObject* Sender, TListItem* Item, bool Selected)>;
using TLVColumnClickEvent = TEvent<void(TObject* Sender, TListColumn* Column)>;
using TLVDeletedEvent = TEvent<void(TObject* Sender, TListItem* Item)>;
using TLVEditingEvent = TEvent<void(TObject* Sender, TListItem* Item, bool& AllowEdit)>;
using TLVEditedEvent = TEvent<void(TObject* Sender, TListItem* Item, AnsiString& S)>;
using TLVCompareEvent = TEvent<void(TObject* Sender, TListItem* Item1, TListItem* Item2, int Data, int& Compare)>;

class TCustomListView : public TWinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TCustomListView(TComponent* AOwner);
  ~TCustomListView() override;

  TListColumns* Columns() { return &FColumns; }
  TListItems* Items() { return &FItems; }
  void SetItems(TListItems* value) { FItems.Assign(value); }
  TViewStyle ViewStyle() const { return FViewStyle; }
  void SetViewStyle(TViewStyle value);
  // Images of the icon view and of the other views.
  TCustomImageList* LargeImages() const { return FLargeImages.Images(); }
  void SetLargeImages(TCustomImageList* value) { FLargeImages.SetImages(value); }
  TCustomImageList* SmallImages() const { return FSmallImages.Images(); }
  void SetSmallImages(TCustomImageList* value) { FSmallImages.SetImages(value); }
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool value);
  bool RowSelect() const { return FRowSelect; }
  void SetRowSelect(bool value);
  bool GridLines() const { return FGridLines; }
  void SetGridLines(bool value);
  bool Checkboxes() const { return FCheckboxes; }
  void SetCheckboxes(bool value);
  bool ShowColumnHeaders() const { return FShowColumnHeaders; }
  void SetShowColumnHeaders(bool value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool value);
  // Without ReadOnly a click on the selected item edits its caption.
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  TSortType SortType() const { return FSortType; }
  void SetSortType(TSortType value);

  // The first selected item, the number selected, the focused one.
  TListItem* Selected() const;
  void SetSelected(TListItem* item);
  int SelCount() const;
  int ItemIndex() const;
  void SetItemIndex(int value);
  TListItem* ItemFocused() const;
  void SetItemFocused(TListItem* item);
  TListItem* GetItemAt(int X, int Y);
  // The header window of the report view (null without one).
  HWND HeaderHandle();
  void AlphaSort();

  TLVSelectItemEvent OnSelectItem;
  TLVColumnClickEvent OnColumnClick;
  TLVDeletedEvent OnDeletion;
  TLVEditingEvent OnEditing;
  TLVEditedEvent OnEdited;
  TLVCompareEvent OnCompare;

protected:
  friend class TListItem;
  friend class TListItems;
  friend class TListColumn;
  friend class TListColumns;
  void CreateParams(TCreateParams& Params) override;
  void InitializeWnd() override;
  void BeforeDestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual void SelectItem(TListItem* item, bool selected) { FireEvent(OnSelectItem, this, item, selected); }
  virtual void ColumnClick(TListColumn* column) { FireEvent(OnColumnClick, this, column); }
  virtual int CompareItems(TListItem* a, TListItem* b);

private:
  void ImagesChanged(TObject*);
  void HandleNotify(TMessage& Message);
  void UpdateColumns();
  void InsertWindowItem(int index);
  void UpdateWindowItem(TListItem* item, bool subItems);
  void DeleteWindowItem(int index);
  void SortIfSorted();
  static int CALLBACK CompareByPosition(LPARAM a, LPARAM b, LPARAM);
  void SetStyleFlag(bool& field, bool value);
  DWORD ExtendedStyle() const;

  TListColumns FColumns;
  TListItems FItems;
  TControlImages FLargeImages;
  TControlImages FSmallImages;
  TViewStyle FViewStyle = vsIcon;
  bool FMultiSelect = false;
  bool FRowSelect = false;
  bool FGridLines = false;
  bool FCheckboxes = false;
  bool FShowColumnHeaders = true;
  bool FHideSelection = true;
  bool FReadOnly = false;
  TSortType FSortType = stNone;
  // Notifications the class library causes itself (filling a window) are
  // not reported.
  int FQuiet = 0;
};

class TListView : public TCustomListView {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomListView::TCustomListView;
};

// -- Header control ----------------------------------------------------------------------

class THeaderControl;
enum class THeaderSectionStyle { hsText, hsOwnerDraw };
using enum THeaderSectionStyle;

// One section of a header: text, width in pixels and its limits, alignment,
// image, whether it clicks.
class THeaderSection : public TCollectionItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit THeaderSection(TCollection* Collection);

  const AnsiString& Text() const { return FText; }
  void SetText(const AnsiString& value);
  int Width() const { return FWidth; }
  void SetWidth(int value);
  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int value);
  int MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int value);
  bool AllowClick() const { return FAllowClick; }
  void SetAllowClick(bool value);
  THeaderSectionStyle Style() const { return FStyle; }
  void SetStyle(THeaderSectionStyle value);
  // Left and right edges in the header.
  int Left() const;
  int Right() const { return Left() + FWidth; }
  void Assign(TPersistent* source) override;

private:
  friend class THeaderControl;
  AnsiString FText;
  int FWidth = 50;
  int FMinWidth = 0;
  int FMaxWidth = 10000;
  TAlignment FAlignment = taLeftJustify;
  int FImageIndex = -1;
  bool FAllowClick = true;
  THeaderSectionStyle FStyle = hsText;
};

class THeaderSections : public TCollection {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit THeaderSections(THeaderControl* header);
  THeaderSection* Add() { return static_cast<THeaderSection*>(TCollection::Add()); }
  THeaderSection* Items(int index) const { return static_cast<THeaderSection*>(TCollection::Items(index)); }
  TPersistent* GetOwner() override;

protected:
  void Update(TCollectionItem* item) override;

private:
  THeaderControl* FHeader;
};

enum class TSectionTrackState { tsTrackBegin, tsTrackMove, tsTrackEnd };
using enum TSectionTrackState;
using TSectionNotifyEvent = TEvent<void(THeaderControl* HeaderControl, THeaderSection* Section)>;
using TSectionTrackEvent =
    TEvent<void(THeaderControl* HeaderControl, THeaderSection* Section, int Width, TSectionTrackState State)>;
using TDrawSectionEvent =
    TEvent<void(THeaderControl* HeaderControl, THeaderSection* Section, const RECT& Rect, bool Pressed)>;

class THeaderControl : public TWinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit THeaderControl(TComponent* AOwner);

  THeaderSections* Sections() { return &FSections; }
  TCustomImageList* Images() const { return FImages.Images(); }
  void SetImages(TCustomImageList* value) { FImages.SetImages(value); }
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool value);
  TCanvas* Canvas() { return &FCanvas; }

  TSectionNotifyEvent OnSectionClick;
  TSectionNotifyEvent OnSectionResize;
  TSectionTrackEvent OnSectionTrack;
  TDrawSectionEvent OnDrawSection;

protected:
  friend class THeaderSections;
  void CreateParams(TCreateParams& Params) override;
  void InitializeWnd() override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual void SectionClick(THeaderSection* section) { FireEvent(OnSectionClick, this, section); }
  virtual void SectionResize(THeaderSection* section) { FireEvent(OnSectionResize, this, section); }

private:
  void ImagesChanged(TObject*);
  void UpdateSections();
  void HandleNotify(TMessage& Message);
  THeaderSection* SectionOf(int index) const;

  THeaderSections FSections;
  TControlImages FImages;
  TControlCanvas FCanvas;
  bool FHotTrack = false;
  int FQuiet = 0;
};
