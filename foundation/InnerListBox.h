// The list box that list editors and popups put inside a container: it
// draws painter scroll bars of its own over the system's, forwards keys,
// clicks, drags and the wheel to its container so that the two act as one
// control, and selects items as the user types their first letters
// (incremental search: keys typed within AutoCompleteDelay of each other
// add to the text searched for; double-byte characters count whole).
//
//   auto* list = New<TcxCustomInnerListBox>(container);
//   list->SetParent(container);
//   container->AssignInnerControl(list);
//   list->SetContainer(container);
//   list->SetAutoComplete(true);
#pragma once

#include "foundation/Canvas.h"
#include "foundation/LookAndFeel.h"
#include "foundation/ScrollBar.h"
#include "platform/StdCtrls.h"

#include <cstdint>
#include <memory>

class TcxContainer;

class TcxCustomInnerListBox : public TListBox {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // No border, its own colour and the parent's font; both own bars hidden.
  explicit TcxCustomInnerListBox(TComponent* AOwner);
  // Frees the own bars nobody parented, the look and feel and the canvas.
  ~TcxCustomInnerListBox() override;

  TcxContainer* Container() const { return FContainer; }
  // The container hosting the list box (null: none); a freed container
  // leaves it.
  void SetContainer(TcxContainer* value);
  bool AutoComplete() const { return FAutoComplete; }
  void SetAutoComplete(bool value) { FAutoComplete = value; }
  // Milliseconds after which a typed key starts a new search (500;
  // published). Below 0 counts as 0: every key starts over.
  int AutoCompleteDelay() const { return FAutoCompleteDelay; }
  void SetAutoCompleteDelay(int value) { FAutoCompleteDelay = value; }
  // The text searched for so far.
  const AnsiString& AutoCompleteFilter() const { return FAutoCompleteFilter; }
  TcxCanvas* OwnCanvas() const { return FOwnCanvas.get(); }
  TcxLookAndFeel* LookAndFeel() const { return FLookAndFeel.get(); }
  TcxScrollBar* HScrollBar() const { return FHScrollBar; }
  TcxScrollBar* VScrollBar() const { return FVScrollBar; }
  // The corner between the two own bars in the list box's window
  // co-ordinates; empty unless both are shown.
  RECT ScrollCornerRect();
  // Save and restore the own canvas's brush and font colours.
  void KeepCanvasColors();
  void RecallCanvasColors();

  // -- The virtual operations, in their order.
  // Adds the typed key to the search and selects the first item starting
  // with it; sets `key` to 0 when the key is used up.
  virtual void IncrementalSearch(char& key);
  virtual void HandleLookAndFeelChange(TcxLookAndFeel* sender, TcxLookAndFeelValues changed);
  // True when no OnDrawItem is assigned.
  virtual bool DrawsFocusRect() { return !OnDrawItem; }
  // Places, shows and fills the own bars from the system bars.
  virtual void RefreshOwnScrollBars();

  // -- Forwarded to the container; virtual so that descendants add to them
  // (hot tracking in the edit list box).
  void Click() override;
  void DblClick() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, POINT MousePos) override;
  void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) override;
  void DragDrop(TObject* Source, int X, int Y) override;
  void WndProc(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;

protected:
  void Dispatch(TMessage& Message) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void DoContextPopup(POINT MousePos, bool& Handled) override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  void HorizontalScroll(TObject* sender, TScrollCode code, int& pos);
  void VerticalScroll(TObject* sender, TScrollCode code, int& pos);
  void RefreshOwnScrollBar(TcxScrollBar* bar, LONG objectId, int barKind);
  int SystemScrollPos(int barKind);
  // Fills the corner between the own bars in the window's device context.
  void PaintScrollCorner(HDC dc);
  void HandleLeftButtonDown(TMessage& Message);
  // The container's window (for the focus test of WM_SETFOCUS).
  HWND ContainerWindow();

  TcxContainer* FContainer = nullptr;
  bool FAutoComplete = false;
  int FAutoCompleteDelay = 500;
  AnsiString FAutoCompleteFilter;
  uint32_t FPrevKeyTime = 0;
  std::unique_ptr<TcxCanvas> FOwnCanvas;
  TcxScrollBar* FHScrollBar = nullptr;
  TcxScrollBar* FVScrollBar = nullptr;
  std::unique_ptr<TcxLookAndFeel> FLookAndFeel;
  TColor FKeptBrushColor = clWindow;
  TColor FKeptFontColor = clWindowText;
  int FScrollBarLockCount = 0;
  bool FScrollBarsCalculating = false;
  bool FRedrawLocked = false;
  bool FDestroying = false;
};
