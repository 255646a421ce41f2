// Owner-drawn menu items: the drop-downs of the skinned menu bar, the popup
// menus of a skinned form, the replacement system menu and the menus of
// foreign windows. Class library items get the form skinner's draw and
// measure handlers; items of native menus are made owner-drawn, so that the
// window's WM_MEASUREITEM and WM_DRAWITEM come here. The popup-menu window
// around the items (its frame and background) is TWinSkinPopMenu's.
#include "platform/Canvas.h"
#include "platform/Control.h"
#include "platform/Forms.h"
#include "platform/ImageList.h"
#include "platform/Menus.h"
#include "platform/Screen.h"
#include "platform/ShortCuts.h"
#include "skin/SkinData.h"
#include "skin/SkinDraw.h"
#include "skin/SkinManage.h"
#include "skin/SkinVersion.h"
#include "skin/WinSkinForm.h"
#include "skin/WinSkinMenu.h"

#include <algorithm>

namespace {




TMenuDrawItemEvent DrawHandler(TWinSkinForm* form) { return TMenuDrawItemEvent::Bind<&TWinSkinForm::DrawMenuItem>(form); }
TMenuMeasureItemEvent MainMeasureHandler(TWinSkinForm* form) {
  return TMenuMeasureItemEvent::Bind<&TWinSkinForm::MeasureMainMenuItem>(form);
}
TMenuMeasureItemEvent PopupMeasureHandler(TWinSkinForm* form) {
  return TMenuMeasureItemEvent::Bind<&TWinSkinForm::MeasurePopupItem>(form);
}

bool IsOurs(const TMenuDrawItemEvent& e, TWinSkinForm* form) { return e && e == DrawHandler(form); }
bool IsOurs(const TMenuMeasureItemEvent& e, TWinSkinForm* form) {
  return e && (e == MainMeasureHandler(form) || e == PopupMeasureHandler(form));
}

// A canvas on a device context for a scope, with the system's menu font.
class TMenuCanvas {
public:
  explicit TMenuCanvas(HDC dc) : FSaved(dc), FScope(FCanvas, dc) { FCanvas.Font()->Assign(Screen->MenuFont()); }
  TCanvas* Get() { return &FCanvas; }

private:
  TCanvas FCanvas;
  TSavedDCGuard FSaved;
  TCanvasPaintScope FScope;
};

}  // namespace

TSkinMenuItemLook MenuItemLook(TMenuItem* item) {
  TSkinMenuItemLook look;
  if (!item) return look;
  look.Caption = item->Caption();
  look.Enabled = item->Enabled();
  look.Checked = item->Checked();
  look.Default = item->Default();
  look.RadioItem = item->RadioItem();
  look.ImageIndex = item->ImageIndex();
  TMenu* menu = item->Menu();
  look.Images = menu ? menu->Images() : nullptr;
  look.ShortCut = ShortCutToText(item->ShortCut());
  return look;
}

// ---------------------------------------------------------------------------
// Handlers on class library menus

void TWinSkinForm::SetItemOwnerDraw(TMenuItem* item, bool on) {
  if (!item) return;
  if (on) {
    item->OnDrawItem = DrawHandler(this);
    item->OnMeasureItem = MainMeasureHandler(this);
  } else {
    // Ours only: a handler left behind would outlive this skinner.
    if (IsOurs(item->OnDrawItem, this)) item->OnDrawItem = nullptr;
    if (IsOurs(item->OnMeasureItem, this)) item->OnMeasureItem = nullptr;
  }
  for (int i = 0; i < item->Count(); ++i) SetItemOwnerDraw(item->Items(i), on);
}

namespace {

void SetPopupItems(TWinSkinForm* form, TMenuItem* item, bool on) {
  for (int i = 0; i < item->Count(); ++i) {
    TMenuItem* child = item->Items(i);
    if (on) {
      child->OnDrawItem = DrawHandler(form);
      // An item that measures itself keeps doing so.
      if (!child->OnMeasureItem) child->OnMeasureItem = PopupMeasureHandler(form);
    } else {
      if (IsOurs(child->OnDrawItem, form)) child->OnDrawItem = nullptr;
      if (IsOurs(child->OnMeasureItem, form)) child->OnMeasureItem = nullptr;
    }
    SetPopupItems(form, child, on);
  }
}

void SetMainItems(TWinSkinForm* form, TMenuItem* item, bool on, bool topLevel) {
  for (int i = 0; i < item->Count(); ++i) {
    TMenuItem* child = item->Items(i);
    if (!on) {
      if (IsOurs(child->OnDrawItem, form)) child->OnDrawItem = nullptr;
      if (IsOurs(child->OnMeasureItem, form)) child->OnMeasureItem = nullptr;
    } else if (!topLevel && !child->OnDrawItem) {
      // The bar items are the bar's; an item that draws itself keeps it.
      child->OnDrawItem = DrawHandler(form);
      child->OnMeasureItem = MainMeasureHandler(form);
    }
    SetMainItems(form, child, on, false);
  }
}

}  // namespace

void TWinSkinForm::SetPopupMenusOwnerDraw(TComponent* component, bool on) {
  if (!component || !FSkinData) return;
  for (int i = 0; i < component->ComponentCount(); ++i) {
    TComponent* owned = component->Components(i);
    if (auto* form = ObjectAs<TCustomForm>(owned)) {
      if (AnsiString(form->ClassName()) != "TwwRichEditForm") SetPopupMenusOwnerDraw(form, on);
      continue;
    }
    auto* popup = ObjectAs<TPopupMenu>(owned);
    if (!popup || popup->Tag() == FSkinData->DisableTag()) continue;
    if (on && !FSkinData->SkinControls().Contains(xcPopupMenu)) continue;
    SetPopupItems(this, popup->Items(), on);
    popup->SetOwnerDraw(on);
  }
}

void TWinSkinForm::SetMainMenusOwnerDraw(TComponent* component, bool on) {
  if (!component) return;
  for (int i = 0; i < component->ComponentCount(); ++i) {
    auto* menu = ObjectAs<TMainMenu>(component->Components(i));
    if (!menu) continue;
    SetMainItems(this, menu->Items(), on, true);
    menu->SetOwnerDraw(on);
  }
}

void TWinSkinForm::MeasureMainMenuItem(TObject* Sender, TCanvas*, int& Width, int& Height) {
  (void)Height;
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  TDataSkinObject* skinItem = FSkinData ? FSkinData->Object(soMenuItem) : nullptr;
  Width += (skinItem ? skinItem->LeftWidth : 0) + 10;
  TMenu* menu = item ? item->Menu() : nullptr;
  if (!menu || !menu->Images()) Width += 25;
}

void TWinSkinForm::MeasurePopupItem(TObject* Sender, TCanvas*, int& Width, int& Height) {
  (void)Height;
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  TDataSkinObject* skinItem = FSkinData ? FSkinData->Object(soMenuItem) : nullptr;
  Width += (skinItem ? skinItem->LeftWidth : 0) + 12;
  TMenu* menu = item ? item->Menu() : nullptr;
  if (!menu || !menu->Images()) Width += 23;
}

void TWinSkinForm::DrawMenuItem(TObject* Sender, TCanvas* ACanvas, const RECT& ARect, bool Selected) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  if (!item || !ACanvas) return;
  TMenuItem* parent = item->ParentItem();
  DrawMenuItemLook(parent ? parent->Handle() : nullptr, MenuItemLook(item), ACanvas, ARect, Selected);
}

void TWinSkinForm::DrawMenuItemOfHandle(HMENU menu, const TSkinMenuItemLook& item, bool selected, const RECT& r,
                                        TCanvas* canvas) {
  DrawMenuItemLook(menu, item, canvas, r, selected);
}

void TWinSkinForm::DrawMenuItemLook(HMENU parent, const TSkinMenuItemLook& item, TCanvas* canvas, const RECT& r,
                                    bool selected) {
  TDataSkinObject* skinItem = FSkinData ? FSkinData->Object(soMenuItem) : nullptr;
  if (!skinItem || skinItem->Bitmap->Empty()) {
    DrawPlainMenuItem(item, canvas, selected, r);
    return;
  }
  TSkinManage* manager = SkinManager();
  if (manager) {
    manager->MarkMenus();
    if (parent) manager->AssignMenuData(parent);
  }
  const int W = RectWidth(r), H = RectHeight(r);
  if (W <= 0 || H <= 0) return;
  std::unique_ptr<TBitmap> image = NewSkinBitmap(W, H);
  TCanvas* to = image->Canvas();
  to->Font()->Assign(canvas->Font());
  HDC dc = to->Handle();
  const RECT all{0, 0, W, H};
  // The popup's background behind the item: the menu window's frame is 3
  // pixels wide.
  TBitmap* background = manager && parent ? manager->MenuBitmapOf(parent) : nullptr;
  if (background && !background->Empty()) {
    BitBlt(dc, 0, 0, W, H, background->Canvas()->Handle(), r.left + 3, r.top + 3, SRCCOPY);
  } else {
    to->Brush()->SetStyle(bsSolid);
    to->Brush()->SetColor(FSkinData->Colors(ccMenu));
    to->FillRect(all);
  }
  if (item.IsLine()) {
    DrawMenuSeparator(to, all);
  } else {
    DrawSkinImage(dc, all, skinItem->Bitmap.get(), false, skinItem->Tile != 0, skinItem->Trans != 0, 5,
                  selected ? 4 : 1, skinItem->Margins());
    DrawMenuItemContent(this, item, to, selected, all);
  }
  BitBlt(canvas->Handle(), r.left, r.top, W, H, dc, 0, 0, SRCCOPY);
}

void TWinSkinForm::DrawPlainMenuItem(const TSkinMenuItemLook& item, TCanvas* canvas, bool selected, const RECT& r) {
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(FSkinData->Colors(selected ? ccHilight : ccMenu));
  canvas->FillRect(r);
  DrawMenuItemContent(this, item, canvas, selected, r);
}

void TWinSkinForm::DrawMenuSeparator(TCanvas* canvas, const RECT& r) {
  TDataSkinObject* skinItem = FSkinData ? FSkinData->Object(soMenuItem) : nullptr;
  if (!skinItem || skinItem->Bitmap->Empty()) return;
  TBitmap* source = skinItem->Bitmap.get();
  const int frameWidth = source->Width() / 5;
  const int W = RectWidth(r), H = RectHeight(r);
  if (frameWidth <= 0 || W <= 0 || H <= 0) return;
  // A taller image than the item gives its bottom rows.
  const int top = source->Height() > H ? source->Height() - H : 0;
  const int rows = std::min(source->Height(), H);
  const int x0 = frameWidth;  // frame 2
  const int left = std::clamp(skinItem->LeftWidth, 0, frameWidth);
  const int right = std::clamp(skinItem->RightWidth, 0, frameWidth - left);
  std::unique_ptr<TBitmap> line = NewSkinBitmap(W, rows);
  HDC to = line->Canvas()->Handle();
  HDC from = source->Canvas()->Handle();
  SetStretchBltMode(to, COLORONCOLOR);
  if (left > 0) BitBlt(to, 0, 0, left, rows, from, x0, top, SRCCOPY);
  if (right > 0) BitBlt(to, W - right, 0, right, rows, from, x0 + frameWidth - right, top, SRCCOPY);
  const int middle = frameWidth - left - right;
  if (middle > 0 && W - left - right > 0)
    StretchBlt(to, left, 0, W - left - right, rows, from, x0 + left, top, middle, rows, SRCCOPY);
  DrawTransparent(canvas->Handle(), {r.left, r.top, r.right, r.top + rows}, line.get(), SkinTransparentColor);
}

// ---------------------------------------------------------------------------
// Drawing one item's content

void DrawMenuItemText(TWinSkinForm* form, const TSkinMenuItemLook& item, TCanvas* canvas, UINT format, bool selected,
                      RECT& r, const AnsiString& source) {
  AnsiString text = source;
  if ((format & DT_CALCRECT) && (text.empty() || text == "&")) text += " ";
  HDC dc = canvas->Handle();
  if (text == "-") {
    if (format & DT_CALCRECT) return;
    RECT line = r;
    OffsetRect(&line, 0, 4);
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
    return;
  }
  TSkinData* data = form->SkinData();
  TFont font;
  font.Assign(canvas->Font());
  if (item.Default) font.SetStyle(font.Style() + TFontStyles{fsBold});
  TSelectObjectGuard selection(dc, font.Handle());
  SetBkMode(dc, TRANSPARENT);
  TColor colour = data->Colors(selected ? ccHilightText : ccMenuText);
  if (!item.Enabled) {
    colour = data->Colors(ccButtonShadow);
    if (ColorToRGB(colour) == ColorToRGB(data->Colors(ccMenuText))) colour = clBtnShadow;
  }
  SetTextColor(dc, ColorToRGB(colour));
  SkinDrawText(dc, AnsiToWide(text), r, format);
}

void DrawMenuItemContent(TWinSkinForm* form, const TSkinMenuItemLook& item, TCanvas* canvas, bool selected,
                         const RECT& r) {
  TSkinData* data = form->SkinData();
  TDataSkinObject* skinItem = data->Object(soMenuItem);
  const int margin = skinItem ? skinItem->LeftWidth : 0;
  HDC dc = canvas->Handle();
  const bool line = item.IsLine();
  int glyph = item.Images ? item.Images->Width() : 16;
  if (item.Checked) glyph = std::max(glyph, 16);
  RECT cell{};
  if (!line) {
    cell = item.RightToLeft ? RECT{r.right - 1 - margin - glyph, r.top + 1, r.right - 1 - margin, r.top + 1 + glyph}
                            : RECT{r.left + 1 + margin, r.top + 1, r.left + 1 + margin + glyph, r.top + 1 + glyph};
    const bool image = item.Images && item.ImageIndex >= 0 && item.ImageIndex < item.Images->Count();
    if (image) {
      if (item.Checked) {
        // A checked image sits on a dithered, sunken cell.
        static const WORD pattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
        TGdiObject bits(CheckGDI(CreateBitmap(8, 8, 1, 1, pattern)));
        TGdiObject brush(CheckGDI(CreatePatternBrush(static_cast<HBITMAP>(bits.Get()))));
        const COLORREF oldText = SetTextColor(dc, ColorToRGB(clBtnFace));
        const COLORREF oldBack = SetBkColor(dc, ColorToRGB(clBtnHighlight));
        FillRect(dc, &cell, static_cast<HBRUSH>(brush.Get()));
        SetTextColor(dc, oldText);
        SetBkColor(dc, oldBack);
        RECT edge = cell;
        DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
      }
      item.Images->Draw(canvas, cell.left, cell.top, item.ImageIndex, item.Enabled);
    } else if (item.Checked) {
      // The check mark (a bullet for a radio item) in the button-text colour.
      TGdiObject pen(CheckGDI(CreatePen(PS_SOLID, 1, ColorToRGB(data->Colors(ccButtonText)))));
      TGdiObject brush(CheckGDI(CreateSolidBrush(ColorToRGB(data->Colors(ccButtonText)))));
      TSelectObjectGuard penSelection(dc, pen.Get());
      TSelectObjectGuard brushSelection(dc, brush.Get());
      const int cx = (cell.left + cell.right) / 2, cy = (cell.top + cell.bottom) / 2;
      if (item.RadioItem) {
        Ellipse(dc, cx - 3, cy - 3, cx + 3, cy + 3);
      } else {
        for (int d = 0; d < 2; ++d) {
          const POINT tick[] = {{cx - 4, cy - 1 + d}, {cx - 1, cy + 2 + d}, {cx + 5, cy - 4 + d}};
          Polyline(dc, tick, 3);
        }
      }
    }
  }
  // The caption, centred vertically, then the shortcut right-aligned.
  RECT text = item.RightToLeft ? RECT{r.left + 1, r.top, (line ? r.right - 1 - margin : cell.left - 3), r.bottom}
                               : RECT{(line ? r.left + 1 + margin : cell.right + 3), r.top, r.right - 1, r.bottom};
  if (line) {
    DrawMenuItemText(form, item, canvas, 0, selected, text, "-");
    return;
  }
  UINT flags = DT_EXPANDTABS | DT_SINGLELINE;
  if (item.RightToLeft) flags |= DT_RIGHT | DT_RTLREADING;
  RECT measure = text;
  DrawMenuItemText(form, item, canvas, flags | DT_CALCRECT | DT_NOCLIP, selected, measure, item.Caption);
  const int height = RectHeight(measure);
  RECT caption = text;
  caption.top = r.top + (RectHeight(r) - height) / 2;
  caption.bottom = caption.top + height;
  DrawMenuItemText(form, item, canvas, flags, selected, caption, item.Caption);
  if (item.ShortCut.empty()) return;
  RECT keys = caption;
  if (item.RightToLeft) {
    keys.left = r.left + 10;
    keys.right = caption.right - RectWidth(measure);
    DrawMenuItemText(form, item, canvas, DT_SINGLELINE | DT_LEFT | DT_RTLREADING | DT_NOPREFIX, selected, keys,
                     item.ShortCut);
  } else {
    keys.left = caption.left + RectWidth(measure);
    keys.right = r.right - 10;
    DrawMenuItemText(form, item, canvas, DT_SINGLELINE | DT_RIGHT | DT_NOPREFIX, selected, keys, item.ShortCut);
  }
}

// ---------------------------------------------------------------------------
// WM_MEASUREITEM and WM_DRAWITEM of menus

TSkinMenuItemLook TWinSkinForm::MenuItemFromHandle(HMENU menu, UINT item, bool byPosition) {
  TSkinMenuItemLook look;
  char text[MaxMenuText + 1] = {};
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
  info.dwTypeData = text;
  info.cch = MaxMenuText;
  if (!GetMenuItemInfoA(menu, item, byPosition ? TRUE : FALSE, &info)) return look;
  if (info.fType & MFT_SEPARATOR) {
    look.Caption.assign(1, '-');
  } else {
    // The part after a tab is the shortcut.
    const AnsiString all(text);
    const size_t tab = all.find('\t');
    look.Caption = all.substr(0, tab);
    if (tab != AnsiString::npos) look.ShortCut = all.substr(tab + 1);
  }
  look.Enabled = !(info.fState & (MFS_GRAYED | MFS_DISABLED));
  look.Checked = (info.fState & MFS_CHECKED) != 0;
  look.Default = (info.fState & MFS_DEFAULT) != 0;
  look.RadioItem = (info.fType & MFT_RADIOCHECK) != 0;
  return look;
}

void TWinSkinForm::MeasureMenuItemText(MEASUREITEMSTRUCT* measure, HDC dc) {
  HMENU menu = FTrackedMenu ? FTrackedMenu : FMenu;
  const TSkinMenuItemLook look = MenuItemFromHandle(menu, measure->itemID, false);
  TDataSkinObject* skinItem = FSkinData ? FSkinData->Object(soMenuItem) : nullptr;
  if (look.IsLine()) {
    measure->itemWidth = 26;
    measure->itemHeight = 8;
  } else {
    AnsiString text = look.Caption;
    if (!look.ShortCut.empty()) text += "\t" + look.ShortCut;
    RECT r{0, 0, 0, 0};
    SkinDrawText(dc, AnsiToWide(text.empty() ? AnsiString(" ") : text), r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    measure->itemWidth = static_cast<UINT>(RectWidth(r) + 26 + (skinItem ? skinItem->LeftWidth : 0));
    measure->itemHeight = static_cast<UINT>(RectHeight(r) + 4);
  }
  if (!SkinWindowsVersion().NT) measure->itemHeight += 4;
}

void TWinSkinForm::WMMeasureItem(TMessage& Message) {
  auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
  if (!measure || measure->CtlType != ODT_MENU || !FMenu || !FSkinData) {
    CallOldProc(Message);
    return;
  }
  TScreenDC screen;
  TMenuCanvas canvas(screen.Get());
  TSelectObjectGuard font(screen.Get(), Screen->MenuFont()->Handle());
  if (FForm) {
    if (TSkinManage* manager = SkinManager()) manager->MarkMenus();
    TMenuItem* item = FindBarMenuItem(FMenuBar ? FMenuBar->MenuComponent() : FForm->Menu(), measure->itemID);
    if (item) {
      // The item's own measure, then the skin's room.
      int width = 0, height = 0;
      const TMenuMeasureItemEvent handler = item->OnMeasureItem;
      item->OnMeasureItem = nullptr;
      try {
        item->MeasureItem(canvas.Get(), width, height);
      } catch (...) {
        item->OnMeasureItem = handler;
        throw;
      }
      item->OnMeasureItem = handler;
      MeasureMainMenuItem(item, canvas.Get(), width, height);
      measure->itemWidth = static_cast<UINT>(std::max(width, 0));
      measure->itemHeight = static_cast<UINT>(std::max(height, 0));
      Message.Result = TRUE;
      return;
    }
    // Items of the class library's other menus, and native items with a
    // command, measure as their owner says.
    if (TMenuItem::FromItemData(measure->itemData) || (measure->itemID >= 1 && measure->itemID <= 4095)) {
      CallOldProc(Message);
      return;
    }
  }
  MeasureMenuItemText(measure, screen.Get());
  Message.Result = TRUE;
}

void TWinSkinForm::WMDrawItem(TMessage& Message) {
  auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
  const TSkinWindowsVersion version = SkinWindowsVersion();
  const bool nt4 = version.NT && version.Major == 4;
  if (!draw || draw->CtlType != ODT_MENU || !FMenu || !FSkinData || (FMDIRole == mrFrame && nt4)) {
    CallOldProc(Message);
    return;
  }
  if (TSkinManage* manager = SkinManager()) {
    manager->AssignMenuData(reinterpret_cast<HMENU>(draw->hwndItem));
    manager->MarkMenus();
  }
  if (FForm) {
    TMenuItem* item = FindBarMenuItem(FMenuBar ? FMenuBar->MenuComponent() : FForm->Menu(), draw->itemID);
    // Items of the class library's other menus, and native items with a
    // command, draw as their owner says.
    if (!item && (TMenuItem::FromItemData(draw->itemData) || (draw->itemID >= 1 && draw->itemID <= 4095))) {
      CallOldProc(Message);
      return;
    }
    DrawFormMenuItem(draw);
  } else {
    DrawForeignMenuItem(draw);
  }
  Message.Result = TRUE;
}

void TWinSkinForm::DrawFormMenuItem(DRAWITEMSTRUCT* draw) {
  TMenuItem* item = FindBarMenuItem(FMenuBar ? FMenuBar->MenuComponent() : FForm->Menu(), draw->itemID);
  const bool selected = (draw->itemState & ODS_SELECTED) != 0;
  if (!item) {
    TMenuCanvas canvas(draw->hDC);
    const auto menu = reinterpret_cast<HMENU>(draw->hwndItem);
    DrawMenuItemOfHandle(menu, MenuItemFromHandle(menu, draw->itemID, false), selected, draw->rcItem, canvas.Get());
    return;
  }
  TMenuCanvas canvas(draw->hDC);
  // An item that draws itself keeps its own drawing.
  if (item->OnDrawItem && !IsOurs(item->OnDrawItem, this)) {
    item->DrawItem(canvas.Get(), draw->rcItem, selected);
    return;
  }
  TDataSkinObject* skinItem = FSkinData->Object(soMenuItem);
  if (skinItem && !skinItem->Bitmap->Empty()) {
    DrawMenuItem(item, canvas.Get(), draw->rcItem, selected);
  } else {
    DrawPlainMenuItem(MenuItemLook(item), canvas.Get(), selected, draw->rcItem);
  }
}

void TWinSkinForm::DrawForeignMenuItem(DRAWITEMSTRUCT* draw) {
  TMenuCanvas canvas(draw->hDC);
  const auto menu = reinterpret_cast<HMENU>(draw->hwndItem);
  DrawMenuItemOfHandle(menu, MenuItemFromHandle(menu, draw->itemID, false), (draw->itemState & ODS_SELECTED) != 0,
                       draw->rcItem, canvas.Get());
}
