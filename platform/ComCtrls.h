// Common controls: the page control with its tab sheets and the status bar
// with its panels.
#pragma once

#include "platform/Collection.h"
#include "platform/Control.h"
#include "platform/StdCtrls.h"

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
