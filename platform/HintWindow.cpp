#include "platform/HintWindow.h"

const TClassInfo THintWindow::ClassInfo{"THintWindow", &TCustomControl::ClassInfo, [](TObject* owner) -> TObject* {
                                          return new THintWindow(static_cast<TComponent*>(owner));
                                        }};

namespace {
constexpr UINT kHintFormat = DT_LEFT | DT_NOPREFIX | DT_WORDBREAK;
}

AnsiString GetShortHint(const AnsiString& hint) {
  const auto bar = hint.find('|');
  return bar == AnsiString::npos ? hint : hint.substr(0, bar);
}

AnsiString GetLongHint(const AnsiString& hint) {
  const auto bar = hint.find('|');
  return bar == AnsiString::npos ? hint : hint.substr(bar + 1);
}

THintWindow::THintWindow(TComponent* AOwner) : TCustomControl(AOwner) {
  FVisible = false;
  FParentColor = false;
  FParentFont = false;
  FColor = clInfoBk;
  FBrush.SetColor(FColor);
  FFont.SetColor(clInfoText);
}

void THintWindow::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP | WS_BORDER;
  Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  Params.WndParent = nullptr;
  Params.WindowClass.style |= CS_SAVEBITS;
}

RECT THintWindow::CalcHintRect(int maxWidth, const AnsiString& hint) {
  RECT r{0, 0, maxWidth, 0};
  {
    const TScreenDC dc;
    const TSelectObjectGuard font(dc.Get(), FFont.Handle());
    DrawTextA(dc.Get(), hint.c_str(), static_cast<int>(hint.size()), &r, kHintFormat | DT_CALCRECT);
  }
  r.right += 6;
  r.bottom += 2;
  return r;
}

void THintWindow::ActivateHint(const RECT& rect, const AnsiString& hint) {
  SetText(hint);
  Handle();
  SetWindowPos(FHandle, HWND_TOPMOST, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
               SWP_SHOWWINDOW | SWP_NOACTIVATE);
  FVisible = true;
  Invalidate();
}

void THintWindow::ReleaseHandle() {
  FVisible = false;
  DestroyHandle();
}

void THintWindow::Paint() {
  RECT r = ClientRect();
  r.left += 2;
  r.top += 1;
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(&FFont);
  SetBkMode(canvas->Handle(), TRANSPARENT);
  SetTextColor(canvas->Handle(), ColorToRGB(FFont.Color()));
  const AnsiString text = Text();
  DrawTextA(canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &r, kHintFormat);
}

void THintWindow::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_NCHITTEST) {
    Message.Result = HTTRANSPARENT;
    return;
  }
  TCustomControl::Dispatch(Message);
}

bool THintWindow::IsStandardHintCancelMessage(UINT Msg) {
  if (Msg >= WM_KEYFIRST && Msg <= WM_KEYLAST) return true;
  if (Msg > WM_MOUSEMOVE && Msg <= WM_MOUSELAST) return true;  // buttons and wheels
  if (Msg >= WM_NCLBUTTONDOWN && Msg <= WM_NCXBUTTONDBLCLK) return true;
  switch (Msg) {
    case WM_NCMOUSEMOVE:
    case WM_ACTIVATE:
    case WM_ACTIVATEAPP:
    case WM_NCACTIVATE:
    case CM_ACTIVATE:
    case CM_DEACTIVATE:
    case CM_APPKEYDOWN:
    case CM_APPSYSCOMMAND:
    case WM_COMMAND:
      return true;
    default:
      return false;
  }
}
