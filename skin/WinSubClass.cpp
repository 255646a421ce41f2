// The control skinner base: attaching, the message flow, the shared
// drawing routines and published-property access by name.
#include "skin/WinSubClass.h"

#include "platform/Canvas.h"
#include "platform/Colors.h"
#include "platform/Control.h"
#include "platform/Messages.h"
#include "platform/Properties.h"
#include "skin/SkinData.h"
#include "skin/SkinDraw.h"
#include "skin/SkinManage.h"
#include "skin/WinSkinForm.h"

#include <algorithm>

const TClassInfo TSkinControl::ClassInfo{"TSkinControl", &TComponent::ClassInfo, nullptr};

// -- Properties by name.

namespace {

const TPropInfo* FindProp(TObject* object, const AnsiString& name) {
  if (!object) return nullptr;
  const TPropInfo* info = GetPropInfo(object->ClassType(), name);
  return info && info->Member == TPublishedMember::pmProperty ? info : nullptr;
}

}  // namespace

bool HasProp(TObject* object, const AnsiString& name) { return FindProp(object, name) != nullptr; }

int64_t PropInt(TObject* object, const AnsiString& name) {
  const TPropInfo* info = FindProp(object, name);
  if (!info || !info->Get) return -1;
  switch (info->Kind) {
    case pkInteger:
    case pkInt64:
    case pkColor:
    case pkCursor:
    case pkBoolean: return GetOrdProp(object, info);
    default: return -1;
  }
}

AnsiString PropText(TObject* object, const AnsiString& name) {
  const TPropInfo* info = FindProp(object, name);
  if (!info || !info->Get) return {};
  switch (info->Kind) {
    case pkEnumeration: return GetEnumProp(object, info);
    case pkBoolean: return GetOrdProp(object, info) ? "True" : "False";
    case pkSet: return SetToString(info, GetOrdProp(object, info));
    case pkString: return GetStrProp(object, info);
    default: return {};
  }
}

std::wstring PropWide(TObject* object, const AnsiString& name) {
  const TPropInfo* info = FindProp(object, name);
  if (!info || !info->Get) return {};
  if (info->Kind == pkWString) return GetWideStrProp(object, info);
  if (info->Kind == pkString) return AnsiToWide(GetStrProp(object, info));
  return {};
}

TObject* PropObject(TObject* object, const AnsiString& name, TClass cls) {
  const TPropInfo* info = FindProp(object, name);
  if (!info || !info->Get || (info->Kind != pkClass && info->Kind != pkComponent)) return nullptr;
  TObject* value = GetObjectProp(object, info);
  return value && (!cls || value->InheritsFrom(cls)) ? value : nullptr;
}

void SetPropText(TObject* object, const AnsiString& name, const AnsiString& text) {
  const TPropInfo* info = FindProp(object, name);
  if (!info || !info->Writable()) return;
  switch (info->Kind) {
    case pkInteger:
    case pkInt64:
    case pkColor: {
      int value = 0;
      if (TryStrToInt(text, value)) SetOrdProp(object, info, value);
      return;
    }
    case pkBoolean: SetOrdProp(object, info, SameText(text, "true") ? 1 : 0); return;
    case pkEnumeration: SetEnumProp(object, info, text); return;
    case pkString: SetStrProp(object, info, text); return;
    case pkWString: SetWideStrProp(object, info, AnsiToWide(text)); return;
    default: return;
  }
}

std::wstring ReplaceFirst(const std::wstring& text, const std::wstring& pattern, const std::wstring& replacement) {
  if (pattern.empty()) return text;
  const size_t at = text.find(pattern);
  if (at == std::wstring::npos) return text;
  std::wstring result = text;
  result.replace(at, pattern.size(), replacement);
  return result;
}

bool IsPopupWindow(HWND wnd) {
  return (GetWindowLongA(wnd, GWL_STYLE) & WS_POPUP) != 0 || GetParent(wnd) == GetDesktopWindow();
}

void SendMouseLeave(HWND wnd) {
  if (wnd) SendMessageA(wnd, CM_MOUSELEAVE, 0, 0);
}

// -- Drawing routines.

void FillRectColor(HDC dc, const RECT& r, TColor color) {
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void DrawSkinObjectFrame(HDC dc, const RECT& r, int n, int k, TDataSkinObject* object) {
  if (!object || r.right < r.left || r.bottom < r.top) return;
  DrawSkinImage(dc, r, object->Bitmap.get(), false, object->Tile == 1, object->Trans == 1, n, k, object->Margins());
}

void DrawStripFrameMasked(HDC dc, const RECT& r, int n, int k, TBitmap* bitmap) {
  if (!bitmap || bitmap->GetEmpty() || r.right <= r.left || r.bottom <= r.top) return;
  DrawSkinFrame(dc, r, bitmap, true, n, k);
}

void HandlePaint(TSkinControl* skinner, TMessage& Message) {
  HWND wnd = skinner->Handle();
  PAINTSTRUCT ps{};
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  const bool own = dc == nullptr;
  if (own) dc = BeginPaint(wnd, &ps);
  RECT r{};
  if (dc && GetWindowRect(wnd, &r)) {
    OffsetRect(&r, -r.left, -r.top);
    try {
      skinner->Paint(dc, r);
    } catch (...) {
      // A broken skin leaves the control unpainted, never the loop broken.
    }
  }
  if (own) EndPaint(wnd, &ps);
  Message.Result = 0;
}

void HandleEraseBackground(TSkinControl* skinner, TMessage& Message) {
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  if (skinner->Control()) {
    PaintControlInto(skinner->Control(), dc);
  } else {
    RECT r{};
    GetClientRect(skinner->Handle(), &r);
    skinner->FillParentColor(dc, r);
  }
  Message.Result = 1;
}

// -- The skinner.

TSkinControl::TSkinControl(TComponent* AOwner) : TComponent(AOwner) {}

TSkinControl::~TSkinControl() {
  GiveBackProcedure();
  if (FControl) FControl->RemoveFreeNotification(this);
  if (FGraphicControl) FGraphicControl->RemoveFreeNotification(this);
  if (FForm) FForm->RemoveSkinControl(this);
}

void TSkinControl::GiveBackProcedure() {
  if (FWindowProcHooked) {
    if (FControl) FControl->WindowProc = FOldWindowProc;
    else if (FGraphicControl) FGraphicControl->WindowProc = FOldWindowProc;
    FWindowProcHooked = false;
    FOldWindowProc = {};
  }
  FSubclass.Remove();
}

void TSkinControl::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FControl || component == FGraphicControl) {
    // The control is still whole here: it gets its procedure back.
    GiveBackProcedure();
    FControl = nullptr;
    FGraphicControl = nullptr;
    FActive = false;
    FLifeState = 6;
  }
}

void TSkinControl::Attach(TWinControl* control, TWinSkinForm* form, TSkinData* skinData, bool useSkinColor,
                          TCanvas* canvas) {
  if (FAttached || !control) return;
  FUseSkinColor = useSkinColor;
  FSkinData = skinData;
  FForm = form;
  FCanvas = canvas;
  FControl = control;
  FControl->FreeNotification(this);
  FHandle = control->Handle();
  FUnicodeWindow = IsWindowUnicode(FHandle);
  FOldWindowProc = control->WindowProc;
  control->WindowProc = TWndMethod::Bind<&TSkinControl::WindowProc>(this);
  FWindowProcHooked = true;
  if (FForm) FForm->AddSkinControl(this);
  if (FUseSkinColor) {
    SetParentBackground(true);
    FSavedColor = control->Color();
    control->SetColor(SkinColor());
  }
  if (FParentBackgroundWasOn) FMode = 1;
  control->Invalidate();
  FAttached = true;
  FLifeState = 1;
}

void TSkinControl::AttachHandle(HWND wnd, TSkinData* skinData, TWinSkinForm* form, TCanvas* canvas) {
  if (FAttached || !IsWindow(wnd)) return;
  FSkinData = skinData;
  FCanvas = canvas;
  FForm = form;
  FHandle = wnd;
  FEnabled = true;
  FMode = 0;
  if (FForm) FForm->AddSkinControl(this);
  FUnicodeWindow = IsWindowUnicode(wnd);
  FCaption = GetWindowTextWide(wnd);
  FSubclass.Attach(wnd, TWndMethod::Bind<&TSkinControl::WindowProc>(this));
  InvalidateRect(wnd, nullptr, TRUE);
  FAttached = true;
  FLifeState = 1;
}

void TSkinControl::Deactivate() {
  if (!FActive) return;
  FActive = false;
  if (FLifeState != 6 && FUseSkinColor && FControl) {
    SetParentBackground(false);
    FControl->SetColor(FSavedColor);
  }
}

void TSkinControl::WindowProc(TMessage& Message) {
  try {
    if (Message.Msg == SM_SKINCONTROL) {
      FActive = static_cast<intptr_t>(Message.WParam) > 0;
      if (FActive) Refresh();
      return;
    }
    if (!FActive) {
      CallPrevious(Message);
      return;
    }
    if (BeforeMessage(Message)) {
      CallPrevious(Message);
      AfterMessage(Message);
    }
  } catch (...) {
    // Nothing of a skinner's failure leaves the window procedure.
  }
}

void TSkinControl::CallPrevious(TMessage& Message) {
  if (FWindowProcHooked) {
    if (FOldWindowProc) FOldWindowProc(Message);
  } else {
    FSubclass.CallPrevious(Message);
  }
}

bool TSkinControl::BeforeMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_NCDESTROY:
      FLifeState = 6;
      CallPrevious(Message);
      if (FActive) Deactivate();
      return false;
    case SM_ISSKINNED: Message.Result = 1; return false;
    default: return true;
  }
}

void TSkinControl::AfterMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE:
    case WM_SETTEXT:
    case CM_ENABLEDCHANGED: Refresh(); break;
    case WM_PAINT: PaintWindow(reinterpret_cast<HDC>(Message.WParam)); break;
    case SM_SKINCONTROL: FActive = static_cast<intptr_t>(Message.WParam) > 0; break;
    default: break;
  }
}

void TSkinControl::PaintWindow(HDC dc) {
  RECT r{};
  if (!FHandle || !GetWindowRect(FHandle, &r)) return;
  FWindowRect = r;
  OffsetRect(&r, -r.left, -r.top);
  HDC own = nullptr;
  if (!dc) dc = own = GetWindowDC(FHandle);
  try {
    if (dc) Paint(dc, r);
  } catch (...) {
    // A broken skin leaves the control unpainted.
  }
  if (own) ReleaseDC(FHandle, own);
}

void TSkinControl::Paint(HDC, const RECT&) {}

void TSkinControl::SkinChanged() {
  if (FUseSkinColor && FControl) FControl->SetColor(SkinColor());
  Refresh();
}

void TSkinControl::Refresh() {
  if (FGraphicControl) {
    FGraphicControl->Invalidate();
    return;
  }
  if (!FHandle) return;
  InvalidateRect(FHandle, nullptr, TRUE);
  UpdateWindow(FHandle);
}

void TSkinControl::SetParentBackground(bool off) {
  if (!FControl || !FSkinData || FSkinData->Options().Contains(xoParentBackGround)) return;
  if (!HasProp(FControl, "ParentBackground")) return;
  if (off) {
    if (LowerCase(PropText(FControl, "ParentBackground")) == "true") {
      FParentBackgroundWasOn = true;
      SetPropText(FControl, "ParentBackground", "False");
    }
  } else if (FParentBackgroundWasOn) {
    SetPropText(FControl, "ParentBackground", "True");
  }
}

TColor TSkinControl::ParentColor(TColor fallback) const {
  if (!FControl || !FControl->Parent()) return fallback;
  const int64_t color = PropInt(FControl->Parent(), "Color");
  return HasProp(FControl->Parent(), "Color") ? static_cast<TColor>(color) : fallback;
}

TColor TSkinControl::SkinColor() const {
  return FSkinData ? FSkinData->Colors(ccButtonFace) : static_cast<TColor>(GetSysColor(COLOR_BTNFACE));
}

void TSkinControl::FillSkinColor(HDC dc, const RECT& r) const { FillRectColor(dc, r, SkinColor()); }

void TSkinControl::FillParentColor(HDC dc, const RECT& r) const { FillRectColor(dc, r, ParentColor(SkinColor())); }

void TSkinControl::ForwardMouseDown(const TMessage& Message) {
  if (!FControl || !FControl->OnMouseDown) return;
  int x = static_cast<short>(LOWORD(Message.LParam));
  int y = static_cast<short>(HIWORD(Message.LParam));
  if (FControl->Width() > 0x8000 || FControl->Height() > 0x8000) {
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(FHandle, &p);
    x = p.x;
    y = p.y;
  }
  FControl->OnMouseDown(FControl, TMouseButton::mbLeft, KeysToShiftState(Message.WParam), x, y);
}

void TSkinControl::DrawTextFocus(HDC dc, UINT flags, const RECT& r) {
  RECT t = r;
  SkinDrawText(dc, FCaption, t, flags | DT_CALCRECT | DT_NOCLIP);
  const int tw = t.right - t.left, th = t.bottom - t.top;
  OffsetRect(&t, r.left - t.left, r.top - t.top);
  if (flags & DT_CENTER) OffsetRect(&t, (RectWidth(r) - tw) / 2, (RectHeight(r) - th) / 2 - 1);
  else if (flags & DT_RIGHT) OffsetRect(&t, RectWidth(r) - tw, 0);
  InflateRect(&t, 2, 1);
  t.left = std::max(t.left, r.left);
  t.top = std::max(t.top, r.top);
  t.right = std::min(t.right, r.right);
  t.bottom = std::min(t.bottom, r.bottom);
  DrawFocusRect(dc, &t);
}

UINT TSkinControl::TextFlags(UINT flags) const {
  const TControl* c = FControl ? static_cast<TControl*>(FControl) : FGraphicControl;
  return c && c->UseRightToLeftReading() ? flags | DT_RTLREADING : flags;
}

TObject* TSkinControl::Subject() const {
  if (FControl) return FControl;
  return FGraphicControl;
}

void TSkinControl::ReadEnabledFocused() {
  FFocused = FHandle && GetFocus() == FHandle;
  FEnabled = FHandle ? !(GetWindowLongA(FHandle, GWL_STYLE) & WS_DISABLED) : true;
}
