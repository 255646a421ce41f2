// The drop-down list of a combo item.
#pragma once

#include "platform/StdCtrls.h"

class TdxBarCustomCombo;

// The list a combo drops down: a borderless owner-drawn list that stands as
// a topmost tool window of its own (its owner-drawing messages still go to
// the window it was made in), measured and drawn by its combo, tracking the
// mouse and handing the line released on to the combo.
class TdxBarDropDownListBox : public TCustomListBox {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TdxBarDropDownListBox(TComponent* AOwner, TdxBarCustomCombo* combo);
  TdxBarCustomCombo* Combo() const { return FCombo; }
  // Set while the list was dropped with the mouse button still down
  // elsewhere: the release that follows only lets the mouse go.
  bool PressedOutside() const { return FPressedOutside; }
  void SetPressedOutside(bool value) { FPressedOutside = value; }

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void WndProc(TMessage& Message) override;
  void MeasureItem(int Index, int& Height) override;
  void DrawItem(int Index, const RECT& Rect, TOwnerDrawState State) override;

private:
  TdxBarCustomCombo* FCombo;
  bool FPressedOutside = false;
};
