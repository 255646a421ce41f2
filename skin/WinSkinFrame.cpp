// The form skinner's non-client side: the four frame borders, the caption
// with its text, text background and icon, the caption buttons with their
// states, actions and hints, hit testing, the mouse in the non-client area
// and the window region cut from the borders' transparent pixels.
#include "platform/Forms.h"
#include "platform/Messages.h"
#include "skin/SkinData.h"
#include "skin/SkinDraw.h"
#include "skin/SkinManage.h"
#include "skin/SkinVersion.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinMenu.h"

#include <algorithm>
#include <optional>

const TClassInfo TNCObject::ClassInfo{"TNCObject", &TObject::ClassInfo, nullptr};
const TClassInfo TWinSysButton::ClassInfo{"TWinSysButton", &TNCObject::ClassInfo, nullptr};

namespace {

bool IsEmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

POINT PointOf(LPARAM lp) { return {static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))}; }


TSkinBorderSide SideOf(int index) {
  switch (index) {
    case 1: return TSkinBorderSide::bsLeftBorder;
    case 2: return TSkinBorderSide::bsRightBorder;
    case 3: return TSkinBorderSide::bsTopBorder;
    default: return TSkinBorderSide::bsBottomBorder;
  }
}

bool IsIconAction(int action) { return action == 3 || action == 11; }

// The small icon of a window, its large one when it has none.
HICON WindowIcon(HWND wnd) {
  if (!wnd) return nullptr;
  auto icon = reinterpret_cast<HICON>(SendMessageA(wnd, WM_GETICON, ICON_SMALL, 0));
  if (!icon) icon = reinterpret_cast<HICON>(SendMessageA(wnd, WM_GETICON, ICON_BIG, 0));
  return icon;
}

// Draws into a bitmap in the coordinates of the window: the bitmap holds the
// window's rectangle `at`.
class TOffsetDraw {
public:
  TOffsetDraw(TBitmap* bitmap, const RECT& at) : FDC(bitmap->Canvas()->Handle()) {
    SetViewportOrgEx(FDC, -at.left, -at.top, &FOld);
  }
  ~TOffsetDraw() { SetViewportOrgEx(FDC, FOld.x, FOld.y, nullptr); }
  TOffsetDraw(const TOffsetDraw&) = delete;
  TOffsetDraw& operator=(const TOffsetDraw&) = delete;
  HDC Get() const { return FDC; }

private:
  HDC FDC;
  POINT FOld{};
};

}  // namespace

// ---------------------------------------------------------------------------
// Caption-button visibility and hints

bool CaptionButtonCondition(int code, bool second, const TCaptionButtonContext& c) {
  const bool boxes = c.MinimizeBox || c.MaximizeBox;
  switch (code) {
    case 0: return true;
    case 1: return c.Maximized;
    case 2: return !c.Maximized;
    case 3: return c.Active;
    case 4: return !c.Active;
    case 5: return false;
    case 6:
    case 8: return second ? boxes : boxes && c.SystemMenu;
    case 7: return !c.MaximizeBox;
    case 9: return !c.MinimizeBox;
    case 10: return second ? c.HelpBox : c.HelpBox && !boxes;
    // Read as Visibility1 it repeats the first condition's answer.
    case 100: return second ? true : c.MDIMaximizedWithMenu;
    case 200: return !c.Dialog && c.BorderKind == TWinSkinForm::bkDialog;
    default: break;
  }
  if (code >= 201 && code <= 999) return true;
  if (code >= 1000 && code <= 2000) return second || (c.Ask && c.Ask(code));
  return false;  // -1 and any other code
}

AnsiString CaptionButtonHintText(int action) {
  switch (action) {
    case 0:
    case 9:
    case 62: return "Close";
    case 1:
    case 22: return "Maximize";
    case 2:
    case 7:
    case 23:
    case 60: return "Minimize";
    case 8:
    case 61: return "Restore";
    default: return AnsiString();
  }
}

// ---------------------------------------------------------------------------
// TNCObject, TWinSysButton

void TNCObject::MouseEnter() {
  TNCObject* hot = FForm->HotObject();
  if (hot == this) return;  // already hot (or pressed): no repaint on every move
  if (hot) hot->MouseLeave();
  if (!Visible) return;
  FForm->SetHotObject(this);
  State = 3;
  Paint();
}

void TNCObject::MouseDown() {
  TNCObject* hot = FForm->HotObject();
  if (hot && hot != this) hot->MouseLeave();
  if (!Visible) return;
  FForm->SetHotObject(this);
  State = 2;
  Paint();
}

void TNCObject::MouseUp() {
  if (!Visible) return;
  State = 3;
  Paint();
}

void TNCObject::MouseLeave() {
  if (FForm->HotObject() == this) FForm->SetHotObject(nullptr);
  if (!Visible) return;
  State = 1;
  Paint();
  if (TSkinData* data = FForm->SkinData()) data->HideCaptionHint();
}

TDataSkinSysButton* TWinSysButton::Data() const {
  TSkinData* data = FForm->SkinData();
  if (!data) return nullptr;
  const auto& buttons = data->CaptionButtons();
  return FIndex >= 0 && static_cast<size_t>(FIndex) < buttons.size() ? buttons[static_cast<size_t>(FIndex)].get() : nullptr;
}

void TWinSysButton::Paint() { FForm->PaintSysButton(this, State); }

// ---------------------------------------------------------------------------
// Metrics and caption-button objects

void TWinSkinForm::ApplySkinMetrics() {
  if (!FSkinData || !FSkinData->SkinLoaded()) return;
  if (FBorderKind == bkNone) {
    FLeft = FTop = FRight = FBottom = 0;
    FMenuBarHeight = 0;
    MakeSysButtons();
    return;
  }
  const auto thickness = [&](TSkinBorderSide side, bool across) {
    TDataSkinBorder* b = FSkinData->Border(side);
    const int frames = std::max(b->FrameCount, 1);
    return across ? b->Bitmap->Height() / frames : b->Bitmap->Width() / frames;
  };
  FTop = thickness(TSkinBorderSide::bsTopBorder, true);
  FLeft = thickness(TSkinBorderSide::bsLeftBorder, false);
  FRight = thickness(TSkinBorderSide::bsRightBorder, false);
  FBottom = thickness(TSkinBorderSide::bsBottomBorder, true);
  MakeSysButtons();
}

void TWinSkinForm::MakeSysButtons() {
  FreeSysButtons();
  const auto& buttons = FSkinData->CaptionButtons();
  for (size_t i = 0; i < buttons.size(); ++i) {
    FSysButtons.push_back(std::make_unique<TWinSysButton>(this, static_cast<int>(i)));
    TDataSkinSysButton* b = buttons[i].get();
    if (!IsIconAction(b->Action)) continue;
    // The window icon button takes the size of the caption icon.
    BuildIcon();
    if (b->Bitmap->Empty()) b->Bitmap->Assign(FCaptionIcon.get());
    if (FSkinData->AppIcon()->Empty()) FSkinData->AppIcon()->Assign(FCaptionIcon.get());
    b->FrameCount = 1;
  }
}

void TWinSkinForm::FreeSysButtons() {
  if (dynamic_cast<TWinSysButton*>(FHotObject)) FHotObject = nullptr;
  FSysButtons.clear();
}

void TWinSkinForm::BuildIcon() {
  const int w = GetSystemMetrics(SM_CXSMICON), h = GetSystemMetrics(SM_CYSMICON);
  if (!FCaptionIcon) FCaptionIcon = NewSkinBitmap(w, h);
  FCaptionIcon->SetSize(w, h);
  HDC dc = FCaptionIcon->Canvas()->Handle();
  {
    TGdiObject magenta(CheckGDI(CreateSolidBrush(RGB(255, 0, 255))));
    const RECT all{0, 0, w, h};
    FillRect(dc, &all, static_cast<HBRUSH>(magenta.Get()));
  }
  HICON icon = WindowIcon(FWindow);
  if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrA(FWindow, GCLP_HICONSM));
  if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrA(FWindow, GCLP_HICON));
  if (icon) DrawIconEx(dc, 0, 0, icon, w, h, 0, nullptr, DI_NORMAL);
  FCaptionIcon->SetTransparentColor(SkinTransparentColor);
}

// ---------------------------------------------------------------------------
// Painting

namespace {

// The border of that index built at the size of `r`.
std::unique_ptr<TBitmap> BuildBorder(TSkinData* data, int index, const RECT& r, bool active) {
  TDataSkinBorder* b = data->Border(SideOf(index));
  const int frame = active || b->FrameCount <= 1 ? 1 : 2;
  const bool vertical = index == 3 || index == 4;
  return BuildNinePart(r, b->Bitmap.get(), b->Margins(), vertical, b->Tile != 1, b->FrameCount, frame);
}

}  // namespace

void TWinSkinForm::PaintFrame(HDC dc) {
  if (FState != stNormal && FState != stApplying) return;
  if (FBorderKind == bkNone || (FMDIRole == mrChild && FShowState == ssMaximized)) return;
  if (!FSkinData || !FSkinData->SkinLoaded()) return;
  std::optional<TWindowDC> own;
  if (!dc) {
    own.emplace(FWindow, TWindowDC::WholeWindow);
    dc = own->Get();
    if (!dc) return;
  }
  try {
    RECT wr{};
    GetWindowRect(FWindow, &wr);
    FWidth = RectWidth(wr);
    FHeight = RectHeight(wr);
    const int W = FWidth, H = FHeight;
    if (FShowState == ssMinimized) {
      PaintCaption(dc);
    } else {
      PaintBorder(1, {0, 0, FLeft, H}, dc);
      PaintBorder(2, {W - FRight, 0, W, H}, dc);
      PaintBorder(4, {FLeft, H - FBottom, W - FRight, H}, dc);
      PaintCaption(dc);
      if (FMenuBarHeight > 0) {
        const RECT bar{FLeft, FTop, W - FRight, FTop + FMenuBarHeight};
        if (FMenuBar) {
          FMenuBar->Paint(dc, bar);
        } else {
          FillRect(dc, &bar, FSkinData->ButtonFaceBrush());
        }
      }
    }
  } catch (...) {
    // A damaged skin image must not stop the window's messages.
  }
  if (FHotObject && !FMenuLoop) {
    FHotObject->State = 1;
    FHotObject = nullptr;
  }
}

void TWinSkinForm::PaintBorder(int index, const RECT& r, HDC dc) {
  if (IsEmptyRect(r) || FSkinData->Border(SideOf(index))->Bitmap->Empty()) return;
  std::unique_ptr<TBitmap> image = BuildBorder(FSkinData, index, r, FActive);
  BitBlt(dc, r.left, r.top, RectWidth(r), RectHeight(r), image->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TWinSkinForm::PaintCaption(HDC dc) {
  const int W = FWidth, H = FHeight;
  RECT area{};
  if (FShowState == ssMinimized) {
    FCaptionWork = NewSkinBitmap(W, H);
    const RECT all{0, 0, W, H};
    FillRect(FCaptionWork->Canvas()->Handle(), &all, FSkinData->ButtonFaceBrush());
    area = {0, 0, W, FTop};
  } else {
    FCaptionWork = NewSkinBitmap(W, FTop);
    // The corners the side borders painted stay.
    BitBlt(FCaptionWork->Canvas()->Handle(), 0, 0, W, FTop, dc, 0, 0, SRCCOPY);
    area = {FLeft, 0, W - FRight, FTop};
  }
  HDC work = FCaptionWork->Canvas()->Handle();
  PaintBorder(3, area, work);
  PaintCaptionText(work, area);
  // The band without the buttons, for repainting one button alone.
  FCaptionBack = NewSkinBitmap(FCaptionWork->Width(), FCaptionWork->Height());
  BitBlt(FCaptionBack->Canvas()->Handle(), 0, 0, FCaptionWork->Width(), FCaptionWork->Height(), work, 0, 0, SRCCOPY);
  PlaceSysButtons();
  PaintSysButtons(work);
  BitBlt(dc, 0, 0, FCaptionWork->Width(), FCaptionWork->Height(), work, 0, 0, SRCCOPY);
  SetBkMode(dc, OPAQUE);
}

void TWinSkinForm::PaintCaptionText(HDC dc, const RECT& area) {
  TDataSkinTitle* t = FSkinData->Title();
  const std::wstring text = FCaptionPrefix + GetWindowTextWide(FWindow) + FCaptionSuffix;
  // The room the right-aligned buttons take from the window's right edge.
  int room = 0;
  for (size_t i = 0; i < FSysButtons.size(); ++i) {
    TDataSkinSysButton* b = FSysButtons[i]->Data();
    if (b && b->Align == 1 && !b->Bitmap->Empty() && SysButtonVisible(static_cast<int>(i))) room = std::max(room, b->XCoord);
  }
  FButtonRoom = room;
  TSelectObjectGuard font(dc, FCaptionFont->Handle());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(FSkinData->Colors(FActive ? ccTitleTextActive : ccTitleTextNoActive)));
  RECT measure{area.left, 0, area.left, 0};
  SkinDrawText(dc, text, measure, DT_CALCRECT | DT_NOPREFIX | DT_NOCLIP);
  const int textWidth = RectWidth(measure), textHeight = RectHeight(measure);
  const int blockWidth = textWidth + t->TXTBackleft + t->TXTBackRight;
  const int shift = t->LeftWidth, clip = t->RightWidth;  // TextShift, TextRightClip
  int x = area.left + shift;
  if (!FLeftScrollBar) {
    if (t->TextAlignment == 1) x = area.left + (RectWidth(area) - blockWidth) / 2;
    if (t->TextAlignment == 2) x = area.right - clip - blockWidth;
  } else {
    // Right to left: the buttons' room is at the right.
    if (t->TextAlignment == 0) x = area.right - room - blockWidth;
    if (t->TextAlignment == 1) x = area.left + (RectWidth(area) - room - blockWidth) / 2;
    if (t->TextAlignment == 2) x = area.left + shift;
    if (x < 1) x = area.left + shift;
  }
  const int y = (RectHeight(area) - textHeight) / 2 + t->TopHeight / 2;
  RECT block{x, y, x + blockWidth, y + textHeight};
  if (!FLeftScrollBar) {
    if (FStyle & WS_POPUP) {
      if (area.right - room - 5 < block.right && room > 5) block.right = area.right - room - 5;
    } else {
      block.right = std::min<LONG>(block.right, area.right - clip);
    }
  } else {
    OffsetRect(&block, 10, 0);
  }
  // Dialogs show no icon: their text starts further left.
  if (FBorderKind == bkDialog && t->TextAlignment == 0) block.left -= 16;
  FCaptionArea = block;
  if (!t->Bitmap->Empty()) {
    const RECT back{block.left, area.top, block.right, area.bottom};
    DrawSkinStrip(dc, back, t->Bitmap.get(), true, true, 2, FActive ? 1 : 2, {t->TXTBackleft, 0, t->TXTBackRight, 0});
  }
  RECT textRect{block.left + t->TXTBackleft, block.top, block.right - t->TXTBackRight, block.bottom};
  FCaptionTextRect = textRect;
  UINT format = DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
  if (FLeftScrollBar) format |= DT_RIGHT | DT_RTLREADING;
  if (!IsEmptyRect(textRect)) SkinDrawText(dc, text, textRect, format);
}

bool TWinSkinForm::SysButtonVisible(int index) {
  if (index < 0 || static_cast<size_t>(index) >= FSysButtons.size()) return false;
  TWinSysButton* button = FSysButtons[static_cast<size_t>(index)].get();
  TDataSkinSysButton* b = button->Data();
  if (!b || b->Action == -1) {
    button->Visible = false;
    return false;
  }
  TCaptionButtonContext c;
  c.Maximized = FShowState == ssMaximized;
  c.Active = FActive;
  c.MinimizeBox = (FCapabilities & cfMinimize) != 0;
  c.MaximizeBox = (FCapabilities & cfMaximize) != 0;
  c.SystemMenu = (FCapabilities & cfSystemMenu) != 0;
  c.HelpBox = (FCapabilities & cfHelp) != 0;
  c.Dialog = FDialog;
  c.BorderKind = FBorderKind;
  if (FMDIRole == mrFrame && FMenuBar && FMDIClient) {
    BOOL maximized = FALSE;
    if (SendMessageA(FMDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)) && maximized)
      c.MDIMaximizedWithMenu = true;
  }
  const int action = b->Action;
  c.Ask = [&](int code) { return SendMessageA(FWindow, SM_CAPTIONVISIBLE, static_cast<WPARAM>(code), action) > 0; };
  bool visible = CaptionButtonCondition(b->Visibility, false, c) && CaptionButtonCondition(b->Visibility1, true, c);
  bool enabled = true;
  switch (action) {
    case 0: visible = visible && c.SystemMenu; break;
    case 1: enabled = c.MaximizeBox && c.SystemMenu; break;
    case 2: enabled = c.MinimizeBox && c.SystemMenu; break;
    case 3:
    case 11:
    case 12: visible = visible && FBorderKind != bkDialog; break;
    default: break;
  }
  button->Visible = visible;
  button->Enabled = enabled;
  return visible;
}

void TWinSkinForm::PlaceSysButtons() {
  const int W = FWidth;
  TDataSkinObject* bar = FSkinData->Object(soMenuBar);
  for (size_t i = 0; i < FSysButtons.size(); ++i) {
    TWinSysButton* button = FSysButtons[i].get();
    TDataSkinSysButton* b = button->Data();
    const bool visible = SysButtonVisible(static_cast<int>(i));
    if (!b || !visible || b->Bitmap->Empty()) {
      button->Bounds = {};
      continue;
    }
    const int w = b->Bitmap->Width() / std::max(b->FrameCount, 1), h = b->Bitmap->Height();
    int x = b->XCoord, y = b->YCoord;
    switch (b->Align) {
      case 1: x = W - b->XCoord; break;
      case 2:
      case 8: x = FCaptionArea.left - w - b->XCoord; break;
      case 3:
      case 9: x = FCaptionArea.right + b->XCoord; break;
      case 100:
        x = W - b->XCoord - FRight - (bar ? bar->RightWidth : 0);
        y = FTop + (FMenuBarHeight - h) / 2;
        break;
      default: break;
    }
    button->Bounds = {x, y, x + w, y + h};
  }
}

void TWinSkinForm::PaintSysButtons(HDC dc) {
  for (const auto& button : FSysButtons) {
    TDataSkinSysButton* b = button->Data();
    if (!button->Visible || !b || b->Bitmap->Empty() || b->Align == 100) continue;
    if (IsIconAction(b->Action)) {
      DrawAppIcon(dc, button->Bounds);
      continue;
    }
    const int frame = b->FrameCount < 4 || (FActive && button->Enabled) ? 1 : 4;
    DrawSkinFrame(dc, button->Bounds, b->Bitmap.get(), true, b->FrameCount, frame);
  }
}

void TWinSkinForm::PaintSysButton(TWinSysButton* button, int state) {
  TDataSkinSysButton* b = button->Data();
  if (!b || !button->Visible || b->Bitmap->Empty() || IsEmptyRect(button->Bounds)) return;
  if (!FSkinData->NCPainting() || FState == stAttached) return;
  int frame = std::clamp(state, 1, 3);
  if (!button->Enabled) frame = b->FrameCount > 3 ? 4 : 1;
  if (b->Visibility == 100 && state == 3) frame = 4;
  const RECT r = button->Bounds;
  std::unique_ptr<TBitmap> image = NewSkinBitmap(RectWidth(r), RectHeight(r));
  {
    TOffsetDraw draw(image.get(), r);
    // What lies under the button: the caption band before its buttons, or
    // the menu bar's background.
    TBitmap* back = FCaptionBack.get();
    if (back && r.bottom <= back->Height()) {
      BitBlt(draw.Get(), r.left, r.top, RectWidth(r), RectHeight(r), back->Canvas()->Handle(), r.left, r.top, SRCCOPY);
    } else if (FMenuBar && !FMenuBar->Background()->Empty()) {
      const RECT bar = FMenuBar->BarRect();
      BitBlt(draw.Get(), r.left, r.top, RectWidth(r), RectHeight(r), FMenuBar->Background()->Canvas()->Handle(),
             r.left - bar.left, r.top - bar.top, SRCCOPY);
    } else {
      FillRect(draw.Get(), &r, FSkinData->ButtonFaceBrush());
    }
    if (IsIconAction(b->Action)) {
      DrawAppIcon(draw.Get(), r);
    } else {
      DrawSkinFrame(draw.Get(), r, b->Bitmap.get(), true, b->FrameCount, frame);
    }
  }
  TWindowDC dc(FWindow, TWindowDC::WholeWindow);
  if (dc.Get()) BitBlt(dc.Get(), r.left, r.top, RectWidth(r), RectHeight(r), image->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TWinSkinForm::DrawAppIcon(HDC dc, const RECT& r) {
  HICON icon = WindowIcon(Application ? Application->Handle() : nullptr);
  if (icon) {
    const int size = GetSystemMetrics(SM_CXSMICON);
    const int y = FCaptionTextRect.top + (RectHeight(FCaptionTextRect) - size) / 2;
    DrawIconEx(dc, 8, y, icon, size, size, 0, nullptr, DI_NORMAL);
    return;
  }
  if (FCaptionIcon && !FCaptionIcon->Empty()) DrawTransparent(dc, r, FCaptionIcon.get(), SkinTransparentColor);
}

// ---------------------------------------------------------------------------
// The window region

void TWinSkinForm::UpdateRegion() {
  if (!FFrameSkinning || FState == stClosed || !FSkinData || !FSkinData->SkinLoaded()) return;
  if (FMDIRole == mrChild && FShowState != ssNormal) return;
  RECT wr{};
  GetWindowRect(FWindow, &wr);
  const int W = RectWidth(wr), H = RectHeight(wr);
  if (W <= 0 || H <= 0) return;
  if (W == FRegionSize.cx && H == FRegionSize.cy && FRegionSet && FMDIRole != mrChild && FState != stApplying) return;
  FWidth = W;
  FHeight = H;
  FRegionSize = {W, H};
  bool transparent = false;
  for (int index = 1; index <= 4; ++index) transparent = transparent || FSkinData->Border(SideOf(index))->Trans != 0;
  TGdiObject region;
  if (!transparent) {
    region.Reset(CheckGDI(CreateRectRgn(0, 0, W, H)));
  } else {
    region.Reset(CheckGDI(CreateRectRgn(FLeft, FTop, W - FRight, H - FBottom)));
    if (FBorderKind != bkNone) {
      const struct {
        int Index;
        RECT Place;
        bool Thick;
      } borders[] = {
          {1, {0, 0, FLeft, H}, H > 1},
          {2, {W - FRight, 0, W, H}, H > 1},
          {3, {FLeft, 0, W - FRight, FTop}, FTop > 1},
          {4, {FLeft, H - FBottom, W - FRight, H}, FBottom >= 2},
      };
      for (const auto& b : borders) {
        if (IsEmptyRect(b.Place)) continue;
        TDataSkinBorder* border = FSkinData->Border(SideOf(b.Index));
        TGdiObject part;
        if (border->Trans == 1 && b.Thick && !border->Bitmap->Empty()) {
          std::unique_ptr<TBitmap> image = BuildBorder(FSkinData, b.Index, b.Place, FActive);
          part = RegionFromBitmap(image.get(), b.Place.left, b.Place.top, 1, 1, 1, SkinTransparentColor);
        } else {
          part.Reset(CheckGDI(CreateRectRgnIndirect(&b.Place)));
        }
        if (part)
          CombineRgn(static_cast<HRGN>(region.Get()), static_cast<HRGN>(region.Get()), static_cast<HRGN>(part.Get()),
                     RGN_OR);
      }
    }
  }
  // The system owns the region once it is set.
  if (SetWindowRgn(FWindow, static_cast<HRGN>(region.Get()), TRUE)) {
    region.Release();
    FRegionSet = true;
  }
}

void TWinSkinForm::ClearRegion() {
  if (!FRegionSet) return;
  FRegionSet = false;
  FRegionSize = {};
  SetWindowRgn(FWindow, nullptr, FMDIRole == mrChild);
}

// ---------------------------------------------------------------------------
// Hit testing, caption-button actions

POINT TWinSkinForm::ScreenToFrame(int x, int y) const {
  POINT p{x, y};
  ScreenToClient(FWindow, &p);
  if (FMDIRole == mrChild && FShowState == ssMinimized) return p;
  p.x += FLeft;
  p.y += FTop + FMenuBarHeight;
  return p;
}

TWinSysButton* TWinSkinForm::SysButtonAt(POINT p) {
  for (const auto& button : FSysButtons) {
    TDataSkinSysButton* b = button->Data();
    if (button->Visible && b && b->Action >= 0 && PtInRect(&button->Bounds, p)) return button.get();
  }
  return nullptr;
}

TNCObject* TWinSkinForm::ObjectAt(POINT p) {
  if (TWinSysButton* button = SysButtonAt(p)) return button;
  return FMenuBar ? FMenuBar->ItemAt(p) : nullptr;
}

bool TWinSkinForm::HasCloseCommand() {
  const TSkinWindowsVersion version = SkinWindowsVersion();
  if (!version.NT || version.Major <= 4) return true;
  if (!FSysMenu) FSysMenu = GetSystemMenu(FWindow, FALSE);
  return FSysMenu && GetMenuState(FSysMenu, SC_CLOSE, MF_BYCOMMAND) != static_cast<UINT>(-1);
}

void TWinSkinForm::DoSysButton(int x, int y) {
  TWinSysButton* button = SysButtonAt(ScreenToFrame(x, y));
  TDataSkinSysButton* b = button ? button->Data() : nullptr;
  if (!b) return;
  switch (b->Action) {
    case 0:
      if (HasCloseCommand()) {
        FHoverTimer->SetEnabled(false);
        PostMessageA(FWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
      }
      break;
    case 1:
    case 22:
      if (button->Enabled) Maximize();
      break;
    case 2:
    case 23:
      if (button->Enabled) Minimize();
      break;
    case 3:
    case 11:
    case 12: ShowSystemMenu({x + 1, y + 1}); break;
    case 4: PostMessageA(FWindow, WM_SYSCOMMAND, SC_CONTEXTHELP, 0); break;
    case 7:
    case 60: SendToActiveMDIChild(SC_MINIMIZE); break;
    case 8:
    case 61: SendToActiveMDIChild(SC_RESTORE); break;
    case 9:
    case 62: SendToActiveMDIChild(SC_CLOSE); break;
    default: PostMessageA(FWindow, SM_CAPTIONACTION, static_cast<WPARAM>(b->Action), 0); break;
  }
}

void TWinSkinForm::Maximize() {
  if (FShowState == ssMaximized) {
    RestoreSize();
    return;
  }
  if (FMDIRole == mrChild)
    if (TSkinManage* manager = SkinManager()) manager->SetMDIMaximized(1);
  FShowState = ssMaximized;
  PostMessageA(FWindow, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  FHotObject = nullptr;
}

void TWinSkinForm::RestoreSize() {
  FShowState = ssNormal;
  PostMessageA(FWindow, WM_SYSCOMMAND, SC_RESTORE, 0);
}

void TWinSkinForm::Minimize() {
  if (FShowState == ssMinimized) {
    RestoreSize();
    return;
  }
  FShowState = ssMinimized;
  SetSysMenuStyle(false);
  PostMessageA(FWindow, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void TWinSkinForm::SendToActiveMDIChild(UINT command) {
  if (FMDIRole != mrFrame || !FMDIClient) return;
  auto child = reinterpret_cast<HWND>(SendMessageA(FMDIClient, WM_MDIGETACTIVE, 0, 0));
  if (child) PostMessageA(child, WM_SYSCOMMAND, command, 0);
}

// ---------------------------------------------------------------------------
// Hints

void TWinSkinForm::HideHint() {
  FHintTime = 0;
  if (FSkinData) FSkinData->HideCaptionHint();
}

void TWinSkinForm::HoverTimerTick() {
  if (!FActive || FMenuLoop || !FHotObject) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  const POINT p = ScreenToFrame(cursor.x, cursor.y);
  if (!PtInRect(&FHotObject->Bounds, p)) {
    FHotObject->MouseLeave();
    FHotObject = nullptr;
    HideHint();
    return;
  }
  auto* button = dynamic_cast<TWinSysButton*>(FHotObject);
  TDataSkinSysButton* b = button ? button->Data() : nullptr;
  if (!b) return;
  FHintTime += static_cast<int>(FHoverTimer->Interval());
  const int pause = Application ? Application->HintPause() : 500;
  const int hidePause = Application ? Application->HintHidePause() : 2500;
  if (FHintTime >= 2 * pause && FHintTime < 2 * pause + hidePause) {
    const AnsiString text = CaptionButtonHintText(b->Action);
    if (text.empty()) return;
    RECT wr{};
    GetWindowRect(FWindow, &wr);
    const RECT at{button->Bounds.left + wr.left, cursor.y + 24, button->Bounds.left + wr.left, cursor.y + 24};
    FSkinData->ShowCaptionHint(at, text);
  } else if (FHintTime >= 2 * pause + hidePause) {
    FSkinData->HideCaptionHint();
  }
}

void TWinSkinForm::HoverTimerEvent(TObject*) { HoverTimerTick(); }

// ---------------------------------------------------------------------------
// Non-client messages

void TWinSkinForm::WMNCHitTest(TMessage& Message) {
  CallOldProc(Message);
  if (Message.Result != HTNOWHERE && Message.Result != HTCAPTION) return;
  const POINT s = PointOf(Message.LParam);
  const POINT p = ScreenToFrame(s.x, s.y);
  // The top rows keep the system's answer: that is where the frame sizes.
  if (p.y <= 3) return;
  Message.Result = HTCAPTION;
  if (p.y > FTop && FMenuBarHeight > 0) Message.Result = HTMENU;
}

void TWinSkinForm::WMNCPaint(TMessage& Message) {
  // The system draws no caption elements of its own without WS_SYSMENU.
  SetSysMenuStyle(true);
  if (FSkinData && FSkinData->NCPainting()) {
    if ((FMDIRole == mrChild && FShowState == ssMaximized) || FBorderKind == bkNone) {
      CallOldProc(Message);
    } else {
      PaintFrame(nullptr);
    }
  }
  Message.Result = 0;
}

void TWinSkinForm::WMNCActivate(TMessage& Message) {
  FActive = Message.WParam != 0;
  FHoverTimer->SetEnabled(FActive);
  if (!FActive) HideHint();
  if (FMDIRole == mrFrame && FMDIClient) SendMessageA(FMDIClient, WM_NCACTIVATE, Message.WParam, Message.LParam);
  if (FMDIRole == mrChild) CallOldProc(Message);
  if (!(FMDIRole == mrChild && FShowState == ssMaximized)) PaintFrame(nullptr);
  Message.Result = 1;
}

void TWinSkinForm::WMNCMouseMove(TMessage& Message) {
  Message.Result = 0;
  if (!FActive) return;
  const POINT s = PointOf(Message.LParam);
  if (TNCObject* object = ObjectAt(ScreenToFrame(s.x, s.y))) {
    object->MouseEnter();
    return;
  }
  if (FHotObject) FHotObject->MouseLeave();
  CallOldProc(Message);
}

void TWinSkinForm::WMNCLButtonDown(TMessage& Message) {
  HideHint();
  const POINT s = PointOf(Message.LParam);
  TNCObject* object = ObjectAt(ScreenToFrame(s.x, s.y));
  if (object) {
    Message.Result = 0;
    if (!FActive) SetForegroundWindow(FWindow);
    object->MouseDown();
    if (auto* item = dynamic_cast<TMenuBtn*>(object)) {
      const int index = item->Index;
      TWeakLink<TWinSkinForm> self(this);
      DropMenu(item);
      if (!self.Get()) return;
      // The bar may have been rebuilt while its drop-down was open.
      if (FMenuBar && index < FMenuBar->ItemCount()) FHotObject = FMenuBar->Items(index);
    }
    return;
  }
  // A maximized window is not dragged by its caption.
  if (FActive && FShowState == ssMaximized && Message.WParam == HTCAPTION) Message.WParam = HTMENU;
  CallOldProc(Message);
}

void TWinSkinForm::WMNCLButtonUp(TMessage& Message) {
  HideHint();
  const POINT s = PointOf(Message.LParam);
  TNCObject* object = ObjectAt(ScreenToFrame(s.x, s.y));
  if (auto* button = dynamic_cast<TWinSysButton*>(FHotObject)) {
    button->MouseUp();
    if (object == button) DoSysButton(s.x, s.y);
  }
  if (object) {
    Message.Result = 0;
    return;
  }
  CallOldProc(Message);
}

void TWinSkinForm::WMNCLButtonDblClk(TMessage& Message) {
  Message.Result = 0;
  const POINT s = PointOf(Message.LParam);
  const POINT p = ScreenToFrame(s.x, s.y);
  if (TWinSysButton* button = SysButtonAt(p)) {
    TDataSkinSysButton* b = button->Data();
    if (b && IsIconAction(b->Action)) {
      FHoverTimer->SetEnabled(false);
      PostMessageA(FWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
      return;
    }
    // The second click of a quick double click on another button presses
    // it again; it does not maximize the window.
    button->MouseDown();
    return;
  }
  if (FMenuBar && FMenuBar->ItemAt(p)) return;
  if (FShowState != ssNormal) {
    RestoreSize();
  } else if (FCapabilities & cfMaximize) {
    Maximize();
  } else {
    CallOldProc(Message);
  }
}

void TWinSkinForm::WMNCRButtonDown(TMessage& Message) {
  HideHint();
  if (Message.WParam == HTCAPTION && FMDIRole != mrChild) {
    Message.Result = 0;
    ShowSystemMenu(PointOf(Message.LParam));
    return;
  }
  CallOldProc(Message);
}
