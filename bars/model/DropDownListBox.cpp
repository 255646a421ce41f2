#include "bars/model/DropDownListBox.h"

#include "bars/model/BarClassFactory.h"
#include "bars/model/ItemKinds.h"

const TClassInfo TdxBarDropDownListBox::ClassInfo{"TdxBarDropDownListBox", &TCustomListBox::ClassInfo, nullptr};

TdxBarDropDownListBox::TdxBarDropDownListBox(TComponent* AOwner, TdxBarCustomCombo* combo)
    : TCustomListBox(AOwner), FCombo(combo) {
  SetVisible(false);
  SetStyle(lbOwnerDrawVariable);
}

void TdxBarDropDownListBox::CreateParams(TCreateParams& Params) {
  TCustomListBox::CreateParams(Params);
  Params.Style &= ~static_cast<DWORD>(WS_BORDER);
  Params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
  Params.WindowClass.style |= CS_SAVEBITS;
}

void TdxBarDropDownListBox::CreateWnd() {
  TCustomListBox::CreateWnd();
  // A window of its own over everything (a child keeps neither the desktop
  // as its parent nor the topmost place unless it becomes a popup); it
  // draws as focused without taking the focus.
  ::SetParent(Handle(), nullptr);
  const LONG_PTR style = GetWindowLongPtrA(Handle(), GWL_STYLE);
  SetWindowLongPtrA(Handle(), GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_CHILD)) | WS_POPUP);
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  TMessage focus{WM_SETFOCUS, 0, 0, 0};
  DefaultHandler(focus);
}

void TdxBarDropDownListBox::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_CAPTURECHANGED:
      TCustomListBox::WndProc(Message);
      FPressedOutside = false;
      return;
    case WM_MOUSEMOVE: {
      const POINT p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
      if (FPressedOutside && GetCapture() == Handle()) {
        RECT client{};
        GetClientRect(Handle(), &client);
        if (PtInRect(&client, p)) {
          // The list starts its own tracking from here.
          FPressedOutside = false;
          TMessage down{WM_LBUTTONDOWN, MK_LBUTTON, Message.LParam, 0};
          DefaultHandler(down);
        }
      }
      TCustomListBox::WndProc(Message);
      const int index = ItemAtPos(p, true);
      if (index >= 0 && index != ItemIndex()) SetItemIndex(index);
      return;
    }
    case WM_LBUTTONUP: {
      TCustomListBox::WndProc(Message);
      if (FPressedOutside) {
        ReleaseCapture();
        return;
      }
      const int value = ItemIndex();
      // FIXME: the combo's link closes its menu chain here once submenus
      // have windows.
      if (value >= 0 && FCombo) FCombo->SetItemIndex(value);
      return;
    }
    case WM_KEYDOWN:
      if (ItemIndex() == -1 && Count() > 0) SetItemIndex(TopIndex());
      break;
    default:
      break;
  }
  TCustomListBox::WndProc(Message);
}

void TdxBarDropDownListBox::MeasureItem(int Index, int& Height) {
  if (FCombo)
    FCombo->MeasureItemHeight(Index, Height);
  else
    TCustomListBox::MeasureItem(Index, Height);
}

void TdxBarDropDownListBox::DrawItem(int Index, const RECT& Rect, TOwnerDrawState State) {
  if (FCombo && FCombo->OnDrawItem) {
    FCombo->OnDrawItem(FCombo, Index, Rect, State);
    if (State.Contains(odFocused)) DrawFocusRect(Canvas()->Handle(), &Rect);
    return;
  }
  // FIXME: the host painter's drop-down list entry once the painters draw
  // them; until then the system's look.
  TCustomListBox::DrawItem(Index, Rect, State);
}
