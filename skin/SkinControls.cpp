// Push and glyph buttons, check boxes, radio buttons, group boxes, panels,
// foreign dialog windows and progress bars drawn from the skin.
#include "skin/SkinControls.h"

#include "platform/Bitmap.h"
#include "platform/Colors.h"
#include "platform/Control.h"
#include "platform/Messages.h"
#include "skin/SkinData.h"
#include "skin/SkinDraw.h"
#include "skin/WinSkinForm.h"

#include <commctrl.h>

#include <algorithm>

const TClassInfo TSkinButton::ClassInfo{"TSkinButton", &TSkinControl::ClassInfo, nullptr};
const TClassInfo TSkinBitButton::ClassInfo{"TSkinBitButton", &TSkinButton::ClassInfo, nullptr};
const TClassInfo TSkinCheckBox::ClassInfo{"TSkinCheckBox", &TSkinControl::ClassInfo, nullptr};
const TClassInfo TSkinRadioButton::ClassInfo{"TSkinRadioButton", &TSkinCheckBox::ClassInfo, nullptr};
const TClassInfo TSkinGroupBox::ClassInfo{"TSkinGroupBox", &TSkinControl::ClassInfo, nullptr};
const TClassInfo TSkinBox::ClassInfo{"TSkinBox", &TSkinControl::ClassInfo, nullptr};
const TClassInfo TSkinBoxH::ClassInfo{"TSkinBoxH", &TSkinControl::ClassInfo, nullptr};
const TClassInfo TSkinProgress::ClassInfo{"TSkinProgress", &TSkinControl::ClassInfo, nullptr};

namespace {

constexpr int TransparentTag = 5555;

bool TransparentControl(TControl* control, TSkinData* data) {
  return (control && control->Tag() == TransparentTag) || (data && data->Options().Contains(xoTransparent));
}

// A memory device context with a bitmap selected, given back on leaving.
class TFaceDC {
public:
  TFaceDC(HDC like, int width, int height)
      : FDC(CreateCompatibleDC(like)), FBitmap(CreateCompatibleBitmap(like, std::max(width, 1), std::max(height, 1))) {
    FOld = SelectObject(FDC, FBitmap);
  }
  ~TFaceDC() {
    SelectObject(FDC, FOld);
    DeleteObject(FBitmap);
    DeleteDC(FDC);
  }
  TFaceDC(const TFaceDC&) = delete;
  TFaceDC& operator=(const TFaceDC&) = delete;
  HDC DC() const { return FDC; }

private:
  HDC FDC;
  HBITMAP FBitmap;
  HGDIOBJ FOld;
};

SIZE MeasureText(HDC dc, const std::wstring& text, const RECT& area, UINT flags) {
  if (text.empty()) return {0, 0};
  RECT t = area;
  SkinDrawText(dc, text, t, flags | DT_CALCRECT);
  return {t.right - t.left, t.bottom - t.top};
}

}  // namespace

// -- Glyph layout.

TGlyphLayoutKind GlyphLayoutOf(const AnsiString& layoutName) {
  const AnsiString name = LowerCase(layoutName);
  if (name == "blglyphright") return TGlyphLayoutKind::glRight;
  if (name == "blglyphtop") return TGlyphLayoutKind::glTop;
  if (name == "blglyphbottom") return TGlyphLayoutKind::glBottom;
  return TGlyphLayoutKind::glLeft;
}

TGlyphLayoutResult GlyphLayout(SIZE client, SIZE glyph, SIZE text, TGlyphLayoutKind layout, int margin, int spacing,
                               bool centre, bool speed) {
  TGlyphLayoutResult r;
  const bool across = layout == TGlyphLayoutKind::glLeft || layout == TGlyphLayoutKind::glRight;
  if (across) {
    r.Glyph.y = (client.cy - glyph.cy + 1) / 2;
    r.Text.y = (client.cy - text.cy + 1) / 2;
  } else {
    r.Glyph.x = (client.cx - glyph.cx + 1) / 2;
    r.Text.x = (client.cx - text.cx + 1) / 2;
  }
  if (text.cx == 0 || glyph.cx == 0) spacing = 0;
  const int c = across ? client.cx : client.cy;
  const int g = across ? glyph.cx : glyph.cy;
  const int t = across ? text.cx : text.cy;
  if (margin == -1 || centre) {
    if (spacing == -1) {
      margin = (c - (g + t)) / 3;
      spacing = margin;
    } else {
      margin = (c - (g + spacing + t)) / 2 + (speed ? 1 : 0);
    }
  } else if (spacing == -1) {
    spacing = ((c - (margin + g)) - t) / 2;
  }
  int glyphAt = 0, textAt = 0;
  switch (layout) {
    case TGlyphLayoutKind::glLeft:
    case TGlyphLayoutKind::glTop:
      glyphAt = margin;
      textAt = margin + g + spacing;
      break;
    case TGlyphLayoutKind::glRight:
    case TGlyphLayoutKind::glBottom:
      glyphAt = c - margin - g;
      textAt = glyphAt - spacing - t;
      break;
  }
  if (across) {
    r.Glyph.x = glyphAt;
    r.Text.x = textAt;
  } else {
    r.Glyph.y = glyphAt;
    r.Text.y = textAt;
  }
  r.Margin = margin;
  r.Spacing = spacing;
  r.TextFlags = DT_WORDBREAK;
  if (layout == TGlyphLayoutKind::glRight) r.TextFlags |= DT_RIGHT;
  if (!across) r.TextFlags |= DT_CENTER;
  return r;
}

// -- Push buttons.

TSkinButton::TSkinButton(TComponent* AOwner) : TSkinControl(AOwner) {}
TSkinButton::~TSkinButton() = default;

void TSkinButton::Attach(TWinControl* control, TWinSkinForm* form, TSkinData* skinData, bool useSkinColor,
                         TCanvas* canvas) {
  TSkinControl::Attach(control, form, skinData, useSkinColor, canvas);
  FMode = 0;
  if (control) {
    const AnsiString name = LowerCase(control->ClassName());
    if (name.rfind("trz", 0) == 0 || name.rfind("tel", 0) == 0) FMode = 1;
  }
  FTransparent = TransparentControl(control, skinData);
}

void TSkinButton::AttachHandle(HWND wnd, TSkinData* skinData, TWinSkinForm* form, TCanvas* canvas) {
  TSkinControl::AttachHandle(wnd, skinData, form, canvas);
  FTransparent = TransparentControl(nullptr, skinData);
}

bool TSkinButton::HasFace() const {
  return FSkinData && FSkinData->Buttons() && !FSkinData->Buttons()->Bitmap->GetEmpty();
}

bool TSkinButton::BeforeMessage(TMessage& Message) {
  // Without a face strip the button keeps its own painting and behaviour.
  if (!HasFace()) return TSkinControl::BeforeMessage(Message);
  switch (Message.Msg) {
    case WM_PAINT: HandlePaint(this, Message); return false;
    case WM_ERASEBKGND: Message.Result = 1; return false;
    case WM_TIMER: KillTimer(FHandle, 1); return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (GetFocus() != FHandle) SetFocus(FHandle);
      SetPressed(true);
      SetCapture(FHandle);
      PaintWindow(nullptr);
      if (FMode == 0 && FControl) ForwardMouseDown(Message);
      return false;
    default: return TSkinControl::BeforeMessage(Message);
  }
}

void TSkinButton::AfterMessage(TMessage& Message) {
  if (!HasFace()) {
    TSkinControl::AfterMessage(Message);
    return;
  }
  switch (Message.Msg) {
    case WM_SETTEXT: PaintWindow(nullptr); break;
    case WM_KEYDOWN:
      if (Message.WParam == VK_SPACE) {
        SetPressed(true);
        Refresh();
      }
      break;
    case WM_KEYUP:
      if (Message.WParam == VK_SPACE) {
        SetPressed(false);
        Refresh();
      }
      break;
    case WM_MOUSEMOVE:
      ReadEnabledFocused();
      if (FEnabled && !Hot()) {
        SetHot(true);
        Refresh();
      }
      TrackMouseLeave(FHandle);
      break;
    case WM_LBUTTONUP:
      if (GetCapture() == FHandle) ReleaseCapture();
      if (Pressed()) {
        SetPressed(false);
        Refresh();
        POINT p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
        RECT client{};
        GetClientRect(FHandle, &client);
        if (!PtInRect(&client, p)) break;
        if (FControl) {
          FControl->Click();
        } else {
          const WPARAM id = LowerCase(GetClassNameStr(FHandle)) == "tbutton" ? 0 : GetDlgCtrlID(FHandle);
          PostMessageA(GetParent(FHandle), WM_COMMAND, id, reinterpret_cast<LPARAM>(FHandle));
        }
      }
      break;
    case WM_MOUSELEAVE:
    case CM_MOUSELEAVE:
      SetHot(false);
      SetPressed(false);
      Refresh();
      break;
    case CM_DIALOGKEY:
    case CM_FOCUSCHANGED: Refresh(); break;
    default: TSkinControl::AfterMessage(Message);
  }
}

void TSkinButton::ReadButton() {
  ReadEnabledFocused();
  FDefault = LowerCase(PropText(FControl, "Default")) == "true";
  if (FControl) FCaption = PropWide(FControl, "Caption");
  else FCaption = GetWindowTextWide(FHandle);
}

int TSkinButton::ButtonState() const {
  if (!FEnabled) return 3;
  if (Pressed()) return 2;
  if (Hot()) return 4;
  if (FFocused || FDefault) return 5;
  return 1;
}

void TSkinButton::PaintFace(HDC faceDC, const RECT& r, int state) {
  if (FTransparent && FControl) PaintControlInto(FControl, faceDC);
  else FillSkinColor(faceDC, r);
  TDataSkinButton* face = FSkinData->Buttons();
  DrawSkinObjectFrame(faceDC, r, face->FrameCount, state, face);
}

COLORREF TSkinButton::TextColour(int state) const {
  TDataSkinButton* face = FSkinData->Buttons();
  TColor colour = FControl ? FControl->Font()->Color() : FSkinData->Colors(ccButtonText);
  if (face->HasNormalColour2) colour = face->NormalColour2;
  if (state == 4 && face->HasMouseOverColour2) colour = face->MouseOverColour2;
  if (state == 2 && face->HasPressedColour2) colour = face->PressedColour2;
  if (!FEnabled) colour = static_cast<TColor>(0xFF000010);
  return ColorToRGB(colour);
}

HFONT TSkinButton::SelectTextFont(HDC dc) {
  HFONT font = FControl ? FControl->Font()->Handle()
                        : reinterpret_cast<HFONT>(SendMessageA(FHandle, WM_GETFONT, 0, 0));
  if (!font) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  return static_cast<HFONT>(SelectObject(dc, font));
}

void TSkinButton::DrawCaption(HDC dc, const RECT& r, UINT flags, const std::wstring& text) {
  const std::wstring caption = ReplaceFirst(text, L"||", L"\r\n");
  RECT t = r;
  InflateRect(&t, -2, -2);
  SetBkMode(dc, TRANSPARENT);
  const SIZE size = MeasureText(dc, caption, t, flags | 0x550);
  t = {0, 0, size.cx, size.cy};
  const int dy = (RectHeight(r) - size.cy) / 2 - 1;
  if (flags == DT_CENTER) {
    OffsetRect(&t, r.left + (RectWidth(r) - size.cx) / 2, r.top + dy);
  } else {
    OffsetRect(&t, 0, r.top + dy);
    t.left = r.left;
    t.right = r.right;
  }
  std::wstring drawn = caption;
  SkinDrawText(dc, drawn, t, TextFlags(flags | 0x50));
  SetBkMode(dc, OPAQUE);
  if (FFocused && !FSkinData->Options().Contains(xoNoFocusRect)) {
    InflateRect(&t, 2, 2);
    DrawFocusRect(dc, &t);
  }
}

void TSkinButton::Paint(HDC dc, const RECT& r) {
  if (!HasFace()) return;
  ReadButton();
  const int state = ButtonState();
  TFaceDC face(dc, RectWidth(r), RectHeight(r));
  PaintFace(face.DC(), r, state);
  HFONT old = SelectTextFont(face.DC());
  SetTextColor(face.DC(), TextColour(state));
  DrawCaption(face.DC(), r, DT_CENTER, FCaption);
  SelectObject(face.DC(), old);
  BitBlt(dc, r.left, r.top, RectWidth(r), RectHeight(r), face.DC(), 0, 0, SRCCOPY);
}

// -- Glyph buttons.

std::unique_ptr<TBitmap> MakeDisabledGlyph(TBitmap* glyph) {
  const int w = glyph->GetWidth(), h = glyph->GetHeight();
  auto result = NewSkinBitmap(w, h);
  HDC dc = result->Canvas()->Handle();
  RECT all{0, 0, w, h};
  FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
  // A monochrome mask: the glyph's bottom-left colour is the background.
  HDC glyphDC = glyph->Canvas()->Handle();
  const COLORREF back = GetPixel(glyphDC, 0, h - 1);
  HDC maskDC = CreateCompatibleDC(dc);
  HBITMAP mask = CreateBitmap(w, h, 1, 1, nullptr);
  HGDIOBJ oldMask = SelectObject(maskDC, mask);
  SetBkColor(glyphDC, back);
  BitBlt(maskDC, 0, 0, w, h, glyphDC, 0, 0, SRCCOPY);
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkColor(dc, RGB(255, 255, 255));
  HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
  BitBlt(dc, 1, 1, w, h, maskDC, 0, 0, 0x00E20746);
  SelectObject(dc, GetSysColorBrush(COLOR_BTNSHADOW));
  BitBlt(dc, 0, 0, w, h, maskDC, 0, 0, 0x00E20746);
  SelectObject(dc, oldBrush);
  SelectObject(maskDC, oldMask);
  DeleteObject(mask);
  DeleteDC(maskDC);
  return result;
}

void TSkinBitButton::DrawGlyph(HDC dc, POINT at, int n, int k, TBitmap* glyph) {
  if (!glyph || glyph->GetEmpty()) return;
  n = std::max(n, 1);
  if (k > n) k = 1;
  const int w = glyph->GetWidth() / n, h = glyph->GetHeight();
  std::unique_ptr<TBitmap> frame;
  if (n == 1 && k == 2) {
    frame = MakeDisabledGlyph(glyph);
  } else {
    frame = NewSkinBitmap(w, h);
    BitBlt(frame->Canvas()->Handle(), 0, 0, w, h, glyph->Canvas()->Handle(), (k - 1) * w, 0, SRCCOPY);
  }
  const TColor transparent = static_cast<TColor>(GetPixel(frame->Canvas()->Handle(), 0, h - 1));
  DrawTransparent(dc, {at.x, at.y, at.x + w, at.y + h}, frame.get(), transparent);
}

void TSkinBitButton::Paint(HDC dc, const RECT& r) {
  if (!HasFace()) return;
  ReadButton();
  const int state = ButtonState();
  const int glyphFrame = state == 2 ? 3 : state == 3 ? 2 : 1;
  TFaceDC face(dc, RectWidth(r), RectHeight(r));
  PaintFace(face.DC(), r, state);
  HFONT old = SelectTextFont(face.DC());

  auto* glyph = static_cast<TBitmap*>(PropObject(FControl, "Glyph", &TBitmap::ClassInfo));
  int numGlyphs = static_cast<int>(PropInt(FControl, "NumGlyphs"));
  if (numGlyphs < 1) numGlyphs = 1;
  SIZE glyphSize{0, 0};
  if (glyph && !glyph->GetEmpty()) glyphSize = {glyph->GetWidth() / numGlyphs, glyph->GetHeight()};
  const TGlyphLayoutKind layout = GlyphLayoutOf(PropText(FControl, "Layout"));
  RECT area = r;
  InflateRect(&area, -2, -2);
  if (layout == TGlyphLayoutKind::glLeft || layout == TGlyphLayoutKind::glRight) area.right -= glyphSize.cx + 2;
  else area.bottom -= glyphSize.cy + 2;
  const std::wstring caption = ReplaceFirst(FCaption, L"||", L"\r\n");
  const SIZE text = MeasureText(face.DC(), caption, area, DT_WORDBREAK);
  const int margin = HasProp(FControl, "Margin") ? static_cast<int>(PropInt(FControl, "Margin")) : -1;
  const int spacing = HasProp(FControl, "Spacing") ? static_cast<int>(PropInt(FControl, "Spacing")) : 4;
  const bool centre = LowerCase(PropText(FControl, "Alignment")) == "tacenter";
  const TGlyphLayoutResult place =
      GlyphLayout({RectWidth(r), RectHeight(r)}, glyphSize, text, layout, margin, spacing, centre, false);
  if (glyph && !glyph->GetEmpty()) DrawGlyph(face.DC(), place.Glyph, numGlyphs, glyphFrame, glyph);
  if (!caption.empty()) {
    SetBkMode(face.DC(), TRANSPARENT);
    SetTextColor(face.DC(), TextColour(state));
    RECT t{place.Text.x, place.Text.y, place.Text.x + text.cx, place.Text.y + text.cy};
    std::wstring drawn = caption;
    SkinDrawText(face.DC(), drawn, t, TextFlags(place.TextFlags));
    if (FFocused && !FSkinData->Options().Contains(xoNoFocusRect)) {
      InflateRect(&t, 2, 2);
      DrawFocusRect(face.DC(), &t);
    }
  }
  SelectObject(face.DC(), old);
  BitBlt(dc, r.left, r.top, RectWidth(r), RectHeight(r), face.DC(), 0, 0, SRCCOPY);
}

// -- Check boxes and radio buttons.

int CheckFrameOf(int state, bool disabled, bool indeterminate, int frameCount) {
  if (disabled) state += 2;
  if (indeterminate) state = 4;
  if (frameCount == 12) {
    if (indeterminate) return disabled ? 12 : 9;
    if (state == 2) return 5;
    if (state == 3) return 4;
    if (state == 4) return 8;
  }
  return state;
}

int RadioFrameOf(int state, bool disabled, int frameCount) {
  if (disabled) state += 2;
  if (frameCount == 8) {
    if (state == 2) return 5;
    if (state == 3) return 4;
    if (state == 4) return 8;
  }
  return state;
}

void TSkinCheckBox::Attach(TWinControl* control, TWinSkinForm* form, TSkinData* skinData, bool useSkinColor,
                           TCanvas* canvas) {
  TSkinControl::Attach(control, form, skinData, useSkinColor, canvas);
  FLastSetCheck = 0;
  FMode = 0;
  TBitmap* strip = Strip();
  if (FControl && strip && !strip->GetEmpty()) FMode = 1;
  FTransparent = TransparentControl(control, skinData);
}

TBitmap* TSkinCheckBox::Strip() const {
  return FSkinData && FSkinData->Buttons() ? FSkinData->Buttons()->CheckBitmap.get() : nullptr;
}

int TSkinCheckBox::FrameCountOf() const { return std::max(FSkinData->Buttons()->CheckButtonFrame, 1); }

bool TSkinCheckBox::BeforeMessage(TMessage& Message) {
  const bool pass = TSkinControl::BeforeMessage(Message);
  switch (Message.Msg) {
    case WM_PAINT:
    case WM_PRINT:
      if (FMode == 1) {
        HandlePaint(this, Message);
        return false;
      }
      break;
    case WM_ERASEBKGND:
      if (FTransparent) {
        HandleEraseBackground(this, Message);
        return false;
      }
      break;
    default: break;
  }
  return pass;
}

void TSkinCheckBox::AfterMessage(TMessage& Message) {
  switch (Message.Msg) {
    case BM_SETCHECK:
      FLastSetCheck = static_cast<int>(Message.WParam) + 1;
      Refresh();
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case CM_EXIT:
    case 0xB0D0: Refresh(); break;
    default: TSkinControl::AfterMessage(Message);
  }
}

int TSkinCheckBox::StateOf() {
  const LRESULT buttonState = SendMessageA(FHandle, BM_GETSTATE, 0, 0);
  int state = (buttonState & BST_CHECKED) ? 2 : 1;
  if (FControl) {
    if (HasProp(FControl, "State")) {
      const AnsiString text = LowerCase(PropText(FControl, "State"));
      if (text.find("uncheck") != AnsiString::npos) state = 1;
      else if (text.find("check") != AnsiString::npos) state = 2;
      else if (text.find("gray") != AnsiString::npos) state = 4;
    } else if (HasProp(FControl, "Checked")) {
      state = LowerCase(PropText(FControl, "Checked")) == "true" ? 2 : 1;
    }
    if (HasProp(FControl, "DataField") && FLastSetCheck != 0) state = FLastSetCheck == 3 ? 4 : FLastSetCheck;
    if (HasProp(FControl, "DataBinding")) state = 1;
  }
  return state;
}

void TSkinCheckBox::PaintBoxAndText(HDC dc, const RECT& r, int frame, int w, int h, bool radio) {
  FLastFrame = frame;
  const LONG style = GetWindowLongA(FHandle, GWL_STYLE);
  const bool rtl = FControl && FControl->UseRightToLeftReading();
  RECT box{}, text = r;
  UINT flags = 0;
  box.top = r.top + (RectHeight(r) - h) / 2;
  box.bottom = box.top + h;
  if (style & BS_LEFTTEXT) {
    const int inset = radio ? 1 : 0;
    box.left = r.right - w - inset;
    box.right = r.right - inset;
    text.right = box.left - 2;
    flags = rtl ? DT_RIGHT | DT_RTLREADING : 0;
  } else {
    box.left = r.left;
    box.right = r.left + w;
    text.left = r.left + w + 2;
    flags = rtl ? DT_RTLREADING : 0;
  }
  if (FMode == 1 && !FTransparent) FillSkinColor(dc, r);
  DrawStripFrameMasked(dc, box, FrameCountOf(), frame, Strip());
  if (FMode == 0) return;
  FCaption = GetWindowTextWide(FHandle);
  if (FControl && HasProp(FControl, "Caption")) FCaption = PropWide(FControl, "Caption");
  HFONT font = FControl ? FControl->Font()->Handle() : reinterpret_cast<HFONT>(SendMessageA(FHandle, WM_GETFONT, 0, 0));
  HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
  const TColor colour = FControl && FEnabled ? FControl->Font()->Color() : static_cast<TColor>(0xFF000010);
  const COLORREF oldText = SetTextColor(dc, ColorToRGB(colour));
  const COLORREF oldBack = SetBkColor(dc, ColorToRGB(SkinColor()));
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const SIZE size = MeasureText(dc, FCaption, text, flags | 0x550);
  OffsetRect(&text, 0, (RectHeight(text) - size.cy) / 2);
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExA(&version);
#pragma GCC diagnostic pop
  if (GetFocus() == FHandle && !FCaption.empty() && version.dwMajorVersion != 6) DrawTextFocus(dc, flags | 0x50, text);
  std::wstring drawn = FCaption;
  SkinDrawText(dc, drawn, text, flags | 0x50);
  SetBkMode(dc, oldMode);
  SetBkColor(dc, oldBack);
  SetTextColor(dc, oldText);
  if (oldFont) SelectObject(dc, oldFont);
}

void TSkinCheckBox::Paint(HDC dc, const RECT& r) {
  TBitmap* strip = Strip();
  if (!strip) return;
  if (strip->GetEmpty()) {
    FMode = 0;
    return;
  }
  ReadEnabledFocused();
  const int n = FrameCountOf();
  PaintBoxAndText(dc, r, StripFrame(n), strip->GetWidth() / n, strip->GetHeight(), Radio());
}

int TSkinCheckBox::StripFrame(int n) {
  const bool indeterminate = (SendMessageA(FHandle, BM_GETSTATE, 0, 0) & BST_INDETERMINATE) != 0;
  return CheckFrameOf(StateOf(), !FEnabled, indeterminate, n);
}

TBitmap* TSkinRadioButton::Strip() const {
  return FSkinData && FSkinData->Buttons() ? FSkinData->Buttons()->RadioBitmap.get() : nullptr;
}

int TSkinRadioButton::FrameCountOf() const { return std::max(FSkinData->Buttons()->RadioButtonFrame, 1); }

int TSkinRadioButton::StateOf() {
  int state = (SendMessageA(FHandle, BM_GETCHECK, 0, 0) & BST_CHECKED) ? 2 : 1;
  if (FControl && HasProp(FControl, "Checked")) state = LowerCase(PropText(FControl, "Checked")) == "true" ? 2 : 1;
  return state;
}

void TSkinRadioButton::AfterMessage(TMessage& Message) {
  if (Message.Msg == BM_SETCHECK) {
    Refresh();
    return;
  }
  TSkinCheckBox::AfterMessage(Message);
}

int TSkinRadioButton::StripFrame(int n) { return RadioFrameOf(StateOf(), !FEnabled, n); }

// -- Group boxes.

void TSkinGroupBox::Attach(TWinControl* control, TWinSkinForm* form, TSkinData* skinData, bool useSkinColor,
                           TCanvas* canvas) {
  TSkinControl::Attach(control, form, skinData, useSkinColor, canvas);
  if (FControl) FMode = 1;
}

bool TSkinGroupBox::BeforeMessage(TMessage& Message) {
  const bool pass = TSkinControl::BeforeMessage(Message);
  if (Message.Msg == WM_PAINT && FMode == 1) {
    HandlePaint(this, Message);
    return false;
  }
  return pass;
}

void TSkinGroupBox::Paint(HDC dc, const RECT& r) {
  FCaption = GetWindowTextWide(FHandle);
  if (FCaption.empty() && FControl) FCaption = PropWide(FControl, "Caption");
  if (FControl) FillSkinColor(dc, r);
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(FHandle, WM_GETFONT, 0, 0));
  TColor textColour = FSkinData->Colors(ccWindowText);
  if (FControl) {
    font = FControl->Font()->Handle();
    textColour = FControl->Font()->Color();
  }
  HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
  SIZE zero{};
  GetTextExtentPoint32A(dc, "0", 1, &zero);
  const int y = zero.cy / 2 - 1;
  if (FMode == 0) {
    RECT edge{0, y, r.right, r.bottom};
    FrameRect(dc, &edge, FSkinData->ButtonFaceBrush());
    InflateRect(&edge, -1, -1);
    FrameRect(dc, &edge, FSkinData->ButtonFaceBrush());
  }
  HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(FSkinData->Colors(ccButtonShadow)));
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
  RoundRect(dc, 1, y, r.right - 1, r.bottom - 1, 5, 5);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(pen);
  if (!FCaption.empty()) {
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, ColorToRGB(SkinColor()));
    SetTextColor(dc, ColorToRGB(textColour));
    std::wstring drawn = FCaption;
    if (GetWindowLongA(FHandle, GWL_EXSTYLE) & WS_EX_RIGHT) {
      RECT t{r.left, r.top, r.right - 8, r.bottom};
      SkinDrawText(dc, drawn, t, TextFlags(DT_RIGHT | DT_EXPANDTABS));
    } else {
      RECT t{r.left + 8, r.top, r.right, r.bottom};
      SkinDrawText(dc, drawn, t, DT_EXPANDTABS);
    }
  }
  if (oldFont) SelectObject(dc, oldFont);
}

// -- Panels and foreign dialog windows.

void TSkinBox::Attach(TWinControl* control, TWinSkinForm* form, TSkinData* skinData, bool useSkinColor,
                      TCanvas* canvas) {
  if (!control) return;
  FUseSkinColor = useSkinColor;
  FSkinData = skinData;
  FCanvas = canvas;
  FControl = control;
  FControl->FreeNotification(this);
  FHandle = control->HandleAllocated() ? control->Handle() : nullptr;
  FForm = form;
  if (FForm) FForm->AddSkinControl(this);
  if (FUseSkinColor) {
    SetParentBackground(true);
    FSavedColor = control->Color();
    control->SetColor(SkinColor());
  }
}

void TSkinBox::Deactivate() {
  if (FUseSkinColor && FControl) {
    SetParentBackground(false);
    FControl->SetColor(FSavedColor);
  }
  FActive = false;
  FLifeState = 2;
}

bool TSkinBoxH::BeforeMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND: {
      RECT r{};
      GetWindowRect(FHandle, &r);
      OffsetRect(&r, -r.left, -r.top);
      FillSkinColor(reinterpret_cast<HDC>(Message.WParam), r);
      Message.Result = 0;
      return false;
    }
    case WM_CTLCOLORSTATIC:
      CallPrevious(Message);
      SetBkColor(reinterpret_cast<HDC>(Message.WParam), ColorToRGB(SkinColor()));
      Message.Result = reinterpret_cast<LRESULT>(FSkinData->ButtonFaceBrush());
      return false;
    default: return TSkinControl::BeforeMessage(Message);
  }
}

// -- Progress bars.

int TSkinProgress::FilledExtent(int extent, int position, int minimum, int maximum) {
  if (maximum <= 0 || position <= 0 || maximum == minimum) return 0;
  return std::clamp(MulDiv(extent, position - minimum, maximum - minimum), 0, extent);
}

bool TSkinProgress::BeforeMessage(TMessage& Message) {
  TDataSkinObject* progress = FSkinData ? FSkinData->Object(soProgress) : nullptr;
  const bool skinned = progress && !progress->Bitmap->GetEmpty();
  switch (Message.Msg) {
    case WM_PAINT:
      if (!skinned) break;
      HandlePaint(this, Message);
      return false;
    case WM_ERASEBKGND:
      if (!skinned) break;
      Message.Result = 1;
      return false;
    default: break;
  }
  return TSkinControl::BeforeMessage(Message);
}

void TSkinProgress::AfterMessage(TMessage& Message) {
  if (Message.Msg == PBM_SETPOS || Message.Msg == PBM_DELTAPOS || Message.Msg == PBM_STEPIT ||
      Message.Msg == PBM_SETRANGE || Message.Msg == PBM_SETRANGE32)
    Refresh();
  TSkinControl::AfterMessage(Message);
}

void TSkinProgress::Paint(HDC dc, const RECT& r) {
  TDataSkinObject* progress = FSkinData->Object(soProgress);
  if (!progress || progress->Bitmap->GetEmpty()) return;
  const bool vertical = (GetWindowLongA(FHandle, GWL_STYLE) & PBS_VERTICAL) != 0;
  const int pos = static_cast<int>(SendMessageA(FHandle, PBM_GETPOS, 0, 0));
  const int high = static_cast<int>(SendMessageA(FHandle, PBM_GETRANGE, 0, 0));
  const int low = static_cast<int>(SendMessageA(FHandle, PBM_GETRANGE, 1, 0));
  TFaceDC face(dc, RectWidth(r), RectHeight(r));
  FillSkinColor(face.DC(), r);
  const int frames = progress->Style == 1 ? 1 : 2;
  DrawSkinImage(face.DC(), r, progress->Bitmap.get(), false, progress->Tile == 1, true, frames, 1, progress->Margins());
  const int extent = vertical ? RectHeight(r) : RectWidth(r);
  const int filled = FilledExtent(extent, pos, low, high);
  if (filled > 0) {
    const RECT bar = vertical ? RECT{0, r.bottom - filled, r.right, r.bottom} : RECT{0, 0, filled, r.bottom};
    TDataSkinObject* chunk = FSkinData->Object(soProgressChunk);
    if (frames == 2) {
      DrawSkinImage(face.DC(), bar, progress->Bitmap.get(), false, progress->Tile == 1, true, 2, 2,
                    progress->Margins());
    } else if (chunk && !chunk->Bitmap->GetEmpty()) {
      RECT inner = bar;
      InflateRect(&inner, -2, -2);
      DrawSkinImage(face.DC(), inner, chunk->Bitmap.get(), false, chunk->Tile == 1, true, 1, 1, chunk->Margins());
    }
  }
  BitBlt(dc, r.left, r.top, RectWidth(r), RectHeight(r), face.DC(), 0, 0, SRCCOPY);
}

// -- Up-down buttons.

const TClassInfo TSkinUpDown::ClassInfo{"TSkinUpDown", &TSkinControl::ClassInfo, nullptr};
const TClassInfo TSkinStatusBar::ClassInfo{"TSkinStatusBar", &TSkinControl::ClassInfo, nullptr};

bool TSkinUpDown::BeforeMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT: HandlePaint(this, Message); return false;
    case WM_ERASEBKGND:
      if (!FControl) {
        RECT r{};
        GetClientRect(FHandle, &r);
        FillRectColor(reinterpret_cast<HDC>(Message.WParam), r, 0xFFFFFF);
      }
      Message.Result = 1;
      return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      CallPrevious(Message);
      SetPressed(true);
      PaintWindow(nullptr);
      return false;
    case WM_LBUTTONUP:
      SetPressed(false);
      CallPrevious(Message);
      PaintWindow(nullptr);
      return false;
    case WM_MOUSEMOVE:
      CallPrevious(Message);
      if (!Hot()) SetHot(true);
      TrackMouseLeave(FHandle);
      PaintWindow(nullptr);
      return false;
    case WM_MOUSELEAVE:
      SetHot(false);
      CallPrevious(Message);
      PaintWindow(nullptr);
      return false;
    default: return TSkinControl::BeforeMessage(Message);
  }
}

void TSkinUpDown::Paint(HDC dc, const RECT& r) {
  const LONG style = GetWindowLongA(FHandle, GWL_STYLE);
  const bool horizontal = (style & UDS_HORZ) != 0;
  ReadEnabledFocused();
  POINT cursor{};
  GetCursorPos(&cursor);
  ScreenToClient(FHandle, &cursor);
  const int w = RectWidth(r), h = RectHeight(r);
  const int mouse = Pressed() ? 2 : Hot() ? 4 : 1;
  const int half = horizontal ? w / 2 : h / 2;
  const bool inFirst = (horizontal ? cursor.x : cursor.y) < half;
  int first = inFirst ? mouse : 1, second = inFirst ? 1 : mouse;
  if (!FEnabled) first = second = 3;
  const RECT firstRect = horizontal ? RECT{0, 0, half, h} : RECT{0, 0, w, half};
  const RECT secondRect = horizontal ? RECT{half, 0, w, h} : RECT{0, half, w, h};
  TFaceDC face(dc, w, h);
  FillSkinColor(face.DC(), {0, 0, w, h});
  auto* object = static_cast<TDataSkinBorder*>(horizontal ? FSkinData->UpDownHorz() : FSkinData->UpDownVert());
  const int parts[2] = {horizontal ? 2 : 0, horizontal ? 3 : 1};
  const int states[2] = {first, second};
  const RECT rects[2] = {firstRect, secondRect};
  for (int i = 0; i < 2; ++i) {
    const int frame = FrameOf(parts[i], states[i]);
    (i == 0 ? FFirstFrame : FSecondFrame) = frame;
    if (object && !object->Bitmap->GetEmpty()) {
      DrawSkinFrame(face.DC(), rects[i], object->Bitmap.get(), true, 8, frame);
      if (!object->Bitmap2->GetEmpty()) DrawSkinGlyphCentered(face.DC(), rects[i], object->Bitmap2.get(), true, 8, frame);
    } else {
      HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(FSkinData->Colors(ccButtonDkShadow)));
      HBRUSH brush = CreateSolidBrush(
          ColorToRGB(states[i] == 2 || states[i] == 4 ? FSkinData->Colors(ccButtonShadow) : SkinColor()));
      HGDIOBJ oldPen = SelectObject(face.DC(), pen), oldBrush = SelectObject(face.DC(), brush);
      Rectangle(face.DC(), rects[i].left, rects[i].top, rects[i].right, rects[i].bottom);
      SelectObject(face.DC(), oldBrush);
      SelectObject(face.DC(), oldPen);
      DeleteObject(brush);
      DeleteObject(pen);
    }
  }
  BitBlt(dc, r.left, r.top, w, h, face.DC(), 0, 0, SRCCOPY);
}

// -- Status bars.

bool TSkinStatusBar::BeforeMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT: HandlePaint(this, Message); return false;
    case WM_ERASEBKGND: Message.Result = 1; return false;
    default: return TSkinControl::BeforeMessage(Message);
  }
}

void TSkinStatusBar::Frame(HDC dc, const RECT& r, int k) {
  TDataSkinObject* edges = FSkinData->Object(soStatusBarEdges);
  if (edges && !edges->Bitmap->GetEmpty()) {
    DrawSkinImage(dc, r, edges->Bitmap.get(), false, edges->Tile == 1, false, 3, k, edges->Margins());
    return;
  }
  if (k == 3) return;
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF topLeft = k == 1 ? shadow : light, bottomRight = k == 1 ? light : shadow;
  FillRectColor(dc, {r.left, r.top, r.right, r.top + 1}, static_cast<TColor>(topLeft));
  FillRectColor(dc, {r.left, r.top, r.left + 1, r.bottom}, static_cast<TColor>(topLeft));
  FillRectColor(dc, {r.left, r.bottom - 1, r.right, r.bottom}, static_cast<TColor>(bottomRight));
  FillRectColor(dc, {r.right - 1, r.top, r.right, r.bottom}, static_cast<TColor>(bottomRight));
}

void TSkinStatusBar::Paint(HDC dc, const RECT& r) {
  const int w = RectWidth(r), h = RectHeight(r);
  TFaceDC face(dc, w, h);
  FillSkinColor(face.DC(), r);
  HFONT font = FControl ? FControl->Font()->Handle() : reinterpret_cast<HFONT>(SendMessageA(FHandle, WM_GETFONT, 0, 0));
  HGDIOBJ oldFont = font ? SelectObject(face.DC(), font) : nullptr;
  TDataSkinObject* edges = FSkinData->Object(soStatusBarEdges);
  SetTextColor(face.DC(), ColorToRGB(edges && edges->NormalColour2 ? edges->NormalColour2 : FSkinData->Colors(ccWindowText)));
  SetBkMode(face.DC(), TRANSPARENT);
  FPanels.clear();
  const bool simple = SendMessageA(FHandle, SB_ISSIMPLE, 0, 0) != 0;
  const int count = simple ? 0 : static_cast<int>(SendMessageA(FHandle, SB_GETPARTS, 0, 0));
  auto textOf = [&](int part) {
    const int length = LOWORD(SendMessageW(FHandle, SB_GETTEXTLENGTHW, part, 0));
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT info = SendMessageW(FHandle, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length));
    return std::make_pair(text.empty() ? std::wstring(L" ") : text, HIWORD(info));
  };
  if (count <= 0) {
    Frame(face.DC(), r, 1);
    FPanels.push_back(r);
    RECT t = r;
    InflateRect(&t, -2, 0);
    std::wstring text = textOf(simple ? 255 : 0).first;
    SkinDrawText(face.DC(), text, t, TextFlags(DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS));
  } else {
    for (int i = 0; i < count; ++i) {
      RECT p{};
      if (!SendMessageA(FHandle, SB_GETRECT, i, reinterpret_cast<LPARAM>(&p))) continue;
      p.right += 2;
      if (i == count - 1) p.right = r.right;
      const auto [text, type] = textOf(i);
      const int k = (type & SBT_NOBORDERS) ? 3 : (type & SBT_POPOUT) ? 2 : 1;
      Frame(face.DC(), p, k);
      FPanels.push_back(p);
      RECT t = p;
      InflateRect(&t, -2, 0);
      std::wstring drawn = text;
      SkinDrawText(face.DC(), drawn, t, TextFlags(DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS));
    }
  }
  TDataSkinObject* extra = FSkinData->Object(soExtraImages);
  if ((GetWindowLongA(FHandle, GWL_STYLE) & SBARS_SIZEGRIP) && extra && !extra->Bitmap->GetEmpty()) {
    const int gw = extra->Bitmap->GetWidth() / std::max(extra->FrameCount, 1), gh = extra->Bitmap->GetHeight();
    DrawSkinFrame(face.DC(), {r.right - 1 - gw, r.bottom - 1 - gh, r.right - 1, r.bottom - 1}, extra->Bitmap.get(), true,
                  extra->FrameCount, 5);
  }
  if (oldFont) SelectObject(face.DC(), oldFont);
  BitBlt(dc, r.left, r.top, w, h, face.DC(), 0, 0, SRCCOPY);
}
