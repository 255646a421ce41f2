// Common controls: the page control with its tab sheets, the status bar
// with its panels, the up-down, the track bar and the progress bar.
#pragma once

#include "platform/Collection.h"
#include "platform/Control.h"
#include "platform/ControlImages.h"
#include "platform/StdCtrls.h"
#include "platform/StringList.h"

#include <vector>

class TPageControl;

// One page of a page control; its caption is the tab's text.
class TTabSheet : public TWinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TTabSheet(TComponent* AOwner);
  ~TTabSheet() override;

  TPageControl* PageControl() const { return FPageControl; }
  void SetPageControl(TPageControl* value);
  // Position among the page control's pages.
  int PageIndex() const;
  void SetPageIndex(int value);
  bool TabVisible() const { return FTabVisible; }
  void SetTabVisible(bool value);
  // Position among the visible tabs, -1 when the tab is hidden.
  int TabIndex() const;
  // In a form a sheet sits in its page control.
  void SetParentComponent(TComponent* parent) override;

protected:
  void Dispatch(TMessage& Message) override;

private:
  friend class TPageControl;
  TPageControl* FPageControl = nullptr;
  bool FTabVisible = true;
};

enum class TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
using enum TTabPosition;
// Tabs, or buttons (raised or flat) in their place.
enum class TTabStyle { tsTabs, tsButtons, tsFlatButtons };
using enum TTabStyle;
using TTabChangingEvent = TEvent<void(TObject* Sender, bool& AllowChange)>;

class TPageControl : public TWinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TPageControl(TComponent* AOwner);
  ~TPageControl() override;

  int PageCount() const { return static_cast<int>(FPages.size()); }
  TTabSheet* Pages(int index) const { return FPages.at(index); }
  TTabSheet* ActivePage() const { return FActivePage; }
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int value);
  // Tabs in several rows instead of scrolling; tabs on the left or right
  // always come in rows.
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool value);
  TTabPosition TabPosition() const { return FTabPosition; }
  void SetTabPosition(TTabPosition value);
  TTabStyle Style() const { return FStyle; }
  void SetStyle(TTabStyle value);
  // The next or previous visible page after `current`.
  TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible);
  void SelectNextPage(bool goForward);

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;

protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWnd() override;
  void AdjustClientRect(RECT& Rect) override;
  void Dispatch(TMessage& Message) override;

private:
  friend class TTabSheet;
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void UpdateTabs();
  void ShowActivePage();

  std::vector<TTabSheet*> FPages;
  TTabSheet* FActivePage = nullptr;
  bool FMultiLine = false;
  TTabPosition FTabPosition = tpTop;
  TTabStyle FStyle = tsTabs;
};

using TTabGetImageEvent = TEvent<void(TObject* Sender, int TabIndex, int& ImageIndex)>;

// A row of tabs over one area whose controls the application changes as the
// tab changes (the page control keeps a page per tab instead). The tabs are
// lines of Tabs; their images are the tab's position in Images unless
// OnGetImageIndex says otherwise.
class TTabControl : public TWinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TTabControl(TComponent* AOwner);

  TStrings* Tabs() { return &FTabs; }
  void SetTabs(TStrings* value) { FTabs.Assign(value); }
  // The selected tab, -1 for none.
  int TabIndex() const;
  void SetTabIndex(int value);
  TCustomImageList* Images() const { return FImages.Images(); }
  void SetImages(TCustomImageList* value) { FImages.SetImages(value); }
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool value);
  TTabPosition TabPosition() const { return FTabPosition; }
  void SetTabPosition(TTabPosition value);
  TTabStyle Style() const { return FStyle; }
  void SetStyle(TTabStyle value);
  bool HotTrack() const { return FHotTrack; }
  void SetHotTrack(bool value);
  // The area inside the tabs' frame, in client co-ordinates.
  RECT DisplayRect();
  // The tab under a client point, -1 for none; a tab's rectangle.
  int IndexOfTabAt(int X, int Y);
  RECT TabRect(int index);

  TNotifyEvent OnChange;
  TTabChangingEvent OnChanging;
  TTabGetImageEvent OnGetImageIndex;

protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWnd() override;
  void BeforeDestroyWnd() override;
  void AdjustClientRect(RECT& Rect) override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual bool CanChange();
  virtual void Change() { FireEvent(OnChange, this); }
  virtual int GetImageIndex(int tabIndex);

private:
  void TabsChanged(TObject*);
  void ImagesChanged(TObject*);
  void UpdateTabs();

  TStringList FTabs;
  TControlImages FImages;
  int FTabIndex = -1;  // kept while there is no window
  bool FMultiLine = false;
  TTabPosition FTabPosition = tpTop;
  TTabStyle FStyle = tsTabs;
  bool FHotTrack = false;
};

enum class TStatusPanelStyle { psText, psOwnerDraw };
using enum TStatusPanelStyle;
enum class TStatusPanelBevel { pbNone, pbLowered, pbRaised };
using enum TStatusPanelBevel;

class TStatusPanel : public TCollectionItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TStatusPanel(TCollection* Collection);

  const AnsiString& Text() const { return FText; }
  void SetText(const AnsiString& value);
  int Width() const { return FWidth; }
  void SetWidth(int value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  TStatusPanelStyle Style() const { return FStyle; }
  void SetStyle(TStatusPanelStyle value);
  TStatusPanelBevel Bevel() const { return FBevel; }
  void SetBevel(TStatusPanelBevel value);
  void Assign(TPersistent* source) override;

private:
  AnsiString FText;
  int FWidth = 50;
  TAlignment FAlignment = taLeftJustify;
  TStatusPanelStyle FStyle = psText;
  TStatusPanelBevel FBevel = pbLowered;
};

class TStatusBar;

class TStatusPanels : public TCollection {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TStatusPanels(TStatusBar* statusBar);
  TStatusPanel* Add() { return static_cast<TStatusPanel*>(TCollection::Add()); }
  TStatusPanel* Items(int index) const { return static_cast<TStatusPanel*>(TCollection::Items(index)); }
  TPersistent* GetOwner() override;

protected:
  void Update(TCollectionItem* item) override;

private:
  TStatusBar* FStatusBar;
};

using TDrawPanelEvent = TEvent<void(class TStatusBar* StatusBar, TStatusPanel* Panel, const RECT& Rect)>;

class TStatusBar : public TWinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TStatusBar(TComponent* AOwner);

  TStatusPanels* Panels() { return &FPanels; }
  // One text over the whole bar instead of the panels.
  bool SimplePanel() const { return FSimplePanel; }
  void SetSimplePanel(bool value);
  const AnsiString& SimpleText() const { return FSimpleText; }
  void SetSimpleText(const AnsiString& value);
  bool SizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(bool value);
  // Gives the panels to the window again.
  void UpdatePanels();

  TDrawPanelEvent OnDrawPanel;
  TCanvas* Canvas() { return &FCanvas; }

protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWnd() override;
  void Dispatch(TMessage& Message) override;

private:
  TStatusPanels FPanels;
  bool FSimplePanel = false;
  AnsiString FSimpleText;
  bool FSizeGrip = true;
  TControlCanvas FCanvas;
};

// -- Up-down, track bar and progress bar --------------------------------------------

enum class TUDAlignButton { udLeft, udRight };
using enum TUDAlignButton;
enum class TUDOrientation { udHorizontal, udVertical };
using enum TUDOrientation;
enum class TUDBtnType { btNext, btPrev };
using enum TUDBtnType;
using TUDClickEvent = TEvent<void(TObject* Sender, TUDBtnType Button)>;
using TUDChangingEvent = TEvent<void(TObject* Sender, bool& AllowChange)>;

// Two arrow buttons that step a position between Min and Max by Increment;
// with an Associate (an edit) the system shows the position in it and
// reads it back from it.
class TUpDown : public TWinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TUpDown(TComponent* AOwner);

  TWinControl* Associate() const { return FAssociate; }
  void SetAssociate(TWinControl* value);
  TUDAlignButton AlignButton() const { return FAlignButton; }
  void SetAlignButton(TUDAlignButton value);
  bool ArrowKeys() const { return FArrowKeys; }
  void SetArrowKeys(bool value);
  int Increment() const { return FIncrement; }
  void SetIncrement(int value);
  int Min() const { return FMin; }
  void SetMin(int value);
  int Max() const { return FMax; }
  void SetMax(int value);
  // Kept between Min and Max; with an associate, what its text says.
  int Position();
  void SetPosition(int value);
  TUDOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TUDOrientation value);
  bool Thousands() const { return FThousands; }
  void SetThousands(bool value);
  bool Wrap() const { return FWrap; }
  void SetWrap(bool value);

  // Before each step; a handler may refuse it.
  TUDChangingEvent OnChanging;
  // After each step, with the arrow that made it.
  TUDClickEvent OnClick;

protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWnd() override;
  void Notification(TComponent* component, TOperation operation) override;
  void Dispatch(TMessage& Message) override;
  virtual bool CanChange();
  virtual void Click(TUDBtnType Button) { FireEvent(OnClick, this, Button); }

private:
  void ApplyRange();
  void ApplyBuddy();

  TWinControl* FAssociate = nullptr;
  TUDAlignButton FAlignButton = udRight;
  TUDOrientation FOrientation = udVertical;
  int FMin = 0;
  int FMax = 100;
  int FIncrement = 1;
  int FPosition = 0;
  bool FArrowKeys = true;
  bool FThousands = true;
  bool FWrap = false;
};

enum class TTrackBarOrientation { trHorizontal, trVertical };
using enum TTrackBarOrientation;
enum class TTickMark { tmBottomRight, tmTopLeft, tmBoth };
using enum TTickMark;
enum class TTickStyle { tsNone, tsAuto, tsManual };
using enum TTickStyle;

// A thumb on a channel between Min and Max, moved by the mouse and the
// keys; OnChange tells of the user's moves.
class TTrackBar : public TWinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TTrackBar(TComponent* AOwner);

  int Min() const { return FMin; }
  void SetMin(int value);
  int Max() const { return FMax; }
  void SetMax(int value);
  // Kept between Min and Max.
  int Position();
  void SetPosition(int value);
  int Frequency() const { return FFrequency; }
  void SetFrequency(int value);
  int LineSize() const { return FLineSize; }
  void SetLineSize(int value);
  int PageSize() const { return FPageSize; }
  void SetPageSize(int value);
  int SelStart() const { return FSelStart; }
  void SetSelStart(int value);
  int SelEnd() const { return FSelEnd; }
  void SetSelEnd(int value);
  TTrackBarOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TTrackBarOrientation value);
  TTickMark TickMarks() const { return FTickMarks; }
  void SetTickMarks(TTickMark value);
  TTickStyle TickStyle() const { return FTickStyle; }
  void SetTickStyle(TTickStyle value);
  // A tick of its own (TickStyle tsManual).
  void SetTick(int value);
  int ThumbLength() const { return FThumbLength; }
  void SetThumbLength(int value);
  bool SliderVisible() const { return FSliderVisible; }
  void SetSliderVisible(bool value);

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWnd() override;
  void Dispatch(TMessage& Message) override;
  virtual void Changed() { FireEvent(OnChange, this); }

private:
  void ApplySelection();

  int FMin = 0;
  int FMax = 10;
  int FPosition = 0;
  int FFrequency = 1;
  int FLineSize = 1;
  int FPageSize = 2;
  int FSelStart = 0;
  int FSelEnd = 0;
  int FThumbLength = 20;
  TTrackBarOrientation FOrientation = trHorizontal;
  TTickMark FTickMarks = tmBottomRight;
  TTickStyle FTickStyle = tsAuto;
  bool FSliderVisible = true;
};

enum class TProgressBarOrientation { pbHorizontal, pbVertical };
using enum TProgressBarOrientation;

// How far something has come, between Min and Max.
class TProgressBar : public TWinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TProgressBar(TComponent* AOwner);

  int Min() const { return FMin; }
  void SetMin(int value);
  int Max() const { return FMax; }
  void SetMax(int value);
  // Kept between Min and Max.
  int Position();
  void SetPosition(int value);
  int Step() const { return FStep; }
  void SetStep(int value);
  // Moves by Step; past Max it goes on from Min, as the system bar does.
  void StepIt();
  // Moves by `delta`, stopping at the ends.
  void StepBy(int delta);
  bool Smooth() const { return FSmooth; }
  void SetSmooth(bool value);
  TProgressBarOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TProgressBarOrientation value);

protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWnd() override;

private:
  int FMin = 0;
  int FMax = 100;
  int FPosition = 0;
  int FStep = 10;
  bool FSmooth = false;
  TProgressBarOrientation FOrientation = pbHorizontal;
};
