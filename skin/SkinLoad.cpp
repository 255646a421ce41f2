// Reading a skin package into skin objects: the bitmaps the INI names, the
// fixed frame counts, and the images derived from others (the sunken combo
// strip and its arrow, the mirrored combo button, the tool-bar background).
#include "skin/ImgUtil.h"
#include "skin/SkinData.h"
#include "skin/SkinDraw.h"
#include "skin/package/SkinReader.h"

#include <algorithm>

namespace {

// Loads the BMP entries an INI names, within the skin's pixel budget.
class TSkinBitmapLoader {
public:
  explicit TSkinBitmapLoader(const TSkinReader& reader) : FReader(reader) {}

  // A value of the form "name.bmp" (the extension exactly so) loads that
  // entry; any other value, or an entry that is missing or empty, leaves
  // the bitmap empty. A damaged or oversized entry fails the load.
  void Load(TBitmap& bitmap, const AnsiString& value) {
    bitmap.SetSize(0, 0);
    const AnsiString name = value.substr(value.find_last_of("\\/") == AnsiString::npos ? 0 : value.find_last_of("\\/") + 1);
    const size_t dot = name.rfind('.');
    if (dot == AnsiString::npos || dot == 0 || name.substr(dot) != ".bmp") return;
    TMemoryStream entry;
    FReader.GetEntry(name, entry);
    if (entry.Size() == 0) return;
    const uint64_t left = MaxSkinTotalPixels - FUsed;
    TBmpImage image;
    try {
      image = DecodeBmp(entry.Memory(), static_cast<size_t>(entry.Size()), true, std::min(MaxSkinBitmapPixels, left));
    } catch (const Exception& e) {
      throw ESkinPackageError(Format("The skin's bitmap %s cannot be read: %s", name.c_str(), e.what()));
    }
    FUsed += static_cast<uint64_t>(image.Width) * static_cast<uint64_t>(std::abs(image.Height));
    bitmap.LoadFromImage(image);
  }

private:
  const TSkinReader& FReader;
  uint64_t FUsed = 0;
};

void ApplyImageKeys(TDataSkinObject& object, const TSkinImageKeys& k, TColor buttonText) {
  object.Style = k.Style;
  object.LeftWidth = k.LeftWidth;
  object.TopHeight = k.TopHeight;
  object.RightWidth = k.RightWidth;
  object.BottomHeight = k.BottomHeight;
  object.Trans = k.Trans;
  object.Tile = k.Tile;
  object.FrameCount = std::max(k.Frame, 1);
  object.NormalColour = k.NormalColour;
  object.MouseOverColour = k.MouseOverColour;
  object.PressedColour = k.PressedColour;
  object.NormalColour2 = k.HasNormalColour2 ? k.NormalColour2 : buttonText;
  object.MouseOverColour2 = k.HasMouseOverColour2 ? k.MouseOverColour2 : buttonText;
  object.PressedColour2 = k.HasPressedColour2 ? k.PressedColour2 : buttonText;
}

TDataSkinObject* ObjectOf(TSkinContent& c, TSkinObjectId id) { return c.Objects[static_cast<size_t>(id)].get(); }

void SetCount(TSkinContent& c, TSkinObjectId id, int count) {
  if (TDataSkinObject* o = ObjectOf(c, id)) o->FrameCount = count;
}

void SetFrameCounts(TSkinContent& c, const TSkinIniKeys& k) {
  TDataSkinButton& b = *c.Buttons;
  b.FrameCount = 5;
  const auto derived = [](TBitmap& image) { return std::max(image.Width() / (image.Height() < 16 ? 13 : 16), 4); };
  if (b.RadioButtonFrame == 0) b.RadioButtonFrame = derived(*b.RadioBitmap);
  if (b.CheckButtonFrame == 0) b.CheckButtonFrame = derived(*b.CheckBitmap);
  c.Title->FrameCount = 2;
  if (TDataSkinObject* p = ObjectOf(c, soProgress)) p->FrameCount = p->Style != 0 ? 1 : 2;
  SetCount(c, soMenuBar, 2);
  SetCount(c, soGroupBoxEdge, 2);
  SetCount(c, soToolbar, 1);
  SetCount(c, soToolBars, 5);
  SetCount(c, soTabs, 5);
  SetCount(c, soTabPane, 1);
  SetCount(c, soStatusBarEdges, 3);
  SetCount(c, soGroupBox, 1);
  SetCount(c, soComboButton, 4);
  SetCount(c, soSunkEdge, 4);
  SetCount(c, soExtraImages, 5);
  if (k.Images[static_cast<size_t>(soHeaderbar)].Frame <= 0) SetCount(c, soHeaderbar, 5);
  SetCount(c, soMenuItem, 5);
  SetCount(c, soMenuBackground, 1);
  SetCount(c, soScrollbar, 23);
  SetCount(c, soHorzScroll, 4);
  SetCount(c, soVertScroll, 4);
  SetCount(c, soUpDownVert, 8);
  SetCount(c, soUpDownHorz, 8);
  for (TSkinObjectId id : {soTrackThumbHorz, soTrackThumbVert, soTrackThumbLeft, soTrackThumbRight, soTrackThumbUp,
                           soTrackThumbDown})
    SetCount(c, id, 5);
  SetCount(c, soHorzScrollThumb, k.HorzThumbFrames);
  SetCount(c, soVertScrollThumb, k.VertThumbFrames);
}

std::unique_ptr<TBitmap> NewStrip(int width, int height) {
  auto strip = std::make_unique<TBitmap>();
  strip->SetPixelFormat(pf24bit);
  strip->SetSize(width, height);
  TGdiObject magenta(CheckGDI(CreateSolidBrush(RGB(255, 0, 255))));
  const RECT all{0, 0, width, height};
  FillRect(strip->Canvas()->Handle(), &all, static_cast<HBRUSH>(magenta.Get()));
  return strip;
}

// The combo box's edit frame with its button: one 50 x 21 cell per frame of
// the sunken edge, the edit's inside left transparent.
void BuildSunkenCombo(TSkinContent& c) {
  TDataSkinObject* sunk = ObjectOf(c, soSunkEdge);
  auto* button = static_cast<TDataSkinBorder*>(ObjectOf(c, soComboButton));
  if (!sunk || !button) return;
  const int w = GetSystemMetrics(SM_CXHSCROLL) + 2;
  const int n = std::max(sunk->FrameCount, 1);
  std::unique_ptr<TBitmap> strip = NewStrip(50 * n, 21);
  HDC dc = strip->Canvas()->Handle();
  TDataSkinObject* glyphs = ObjectOf(c, soExtraImages);
  TGdiObject magenta(CheckGDI(CreateSolidBrush(RGB(255, 0, 255))));
  for (int k = 1; k <= n; ++k) {
    const int x = 50 * (k - 1);
    DrawSkinImage(dc, {x, 0, x + 50, 21}, sunk->Bitmap.get(), false, sunk->Tile != 0, sunk->Trans != 0, n, k,
                  sunk->Margins());
    const RECT part{x + 50 - w, 0, x + 50, 21};
    DrawSkinImage(dc, part, button->Bitmap.get(), false, button->Tile != 0, true, button->FrameCount, k,
                  button->Margins());
    if (glyphs) DrawSkinGlyphCentered(dc, part, glyphs->Bitmap.get(), true, glyphs->FrameCount, k);
    const RECT inside{x + 2, 2, x + 49 - w, 18};
    FillRect(dc, &inside, static_cast<HBRUSH>(magenta.Get()));
  }
  button->Bitmap->Assign(strip.get());
  button->Style = 2;
  button->TopHeight = sunk->TopHeight;
  button->BottomHeight = sunk->BottomHeight;
  button->LeftWidth = 2;
  button->RightWidth = w + 2;
  MirrorBitmap(strip.get());
  sunk->Bitmap = std::move(strip);
  sunk->LeftWidth = w + 2;
  sunk->RightWidth = 2;
}

// The combo box's arrow: a copy of the button on the face colour, or the
// arrow cells cut from the sunken combo strip.
void BuildComboArrow(TSkinContent& c) {
  TDataSkinObject* button = ObjectOf(c, soComboButton);
  if (!button) return;
  TDataSkinObject* sunk = ObjectOf(c, soSunkEdge);
  auto arrow = std::make_unique<TDataSkinObject>();
  arrow->Name = "ComboxArrow";
  if (!sunk) {
    arrow->Bitmap->Assign(button->Bitmap.get());
    // The face colour resolved: a system colour's raw bytes are no colour.
    if (!arrow->Bitmap->Empty()) ReplaceColor(arrow->Bitmap.get(), ColorToRGB(c.Colors[ccButtonFace]));
    arrow->FrameCount = button->FrameCount;
  } else if (button->Style == 2) {
    const int n = std::max(sunk->FrameCount, 1);
    const int w = button->Bitmap->Width() / n;
    std::unique_ptr<TBitmap> cells = NewStrip(17 * n, 17);
    HDC to = cells->Canvas()->Handle();
    HDC from = button->Bitmap->Canvas()->Handle();
    for (int i = 0; i < n; ++i) BitBlt(to, 17 * i, 0, 17, 17, from, w * (i + 1) - 19, 2, SRCCOPY);
    arrow->Bitmap = std::move(cells);
    arrow->FrameCount = n;
  } else {
    return;
  }
  c.Objects[static_cast<size_t>(soComboxArrow)] = std::move(arrow);
}

TColor BaseColourOf(const TSkinContent& c) {
  const TDataSkinBorder& top = *c.Borders[static_cast<size_t>(TSkinBorderSide::bsTopBorder)];
  TBitmap* image = top.Bitmap.get();
  if (image->Empty()) return c.Colors[ccButtonFace];
  return image->Canvas()->Pixels(image->Width() / 3, (image->Height() / std::max(top.FrameCount, 1)) / 3);
}

void BuildToolbarBackground(TSkinContent& c) {
  const TColor base = BaseColourOf(c);
  const TColor from = MixColor(c.Colors[ccButtonFace], clWhite, 150);
  const int measure = ColorSaturation(ColorToRGB(base));
  const TColor to = measure > 110 ? MixColor(base, clWhite, (5625 - 25 * measure) / 140 + 50) : MixColor(0x808080, base, 150);
  auto& slot = c.Objects[static_cast<size_t>(soToolbar)];
  if (!slot) {
    slot = std::make_unique<TDataSkinObject>();
    slot->Name = "Toolbar";
  }
  slot->Bitmap->SetPixelFormat(pf24bit);
  slot->Bitmap->SetSize(10, 40);
  GradientFill(slot->Bitmap->Canvas()->Handle(), {0, 0, 10, 40}, from, true, to);
  slot->FrameCount = 1;
}

}  // namespace

std::unique_ptr<TSkinContent> TSkinData::ReadSkin(const TMemoryStream& package) const {
  TMemoryStream work;
  work.WriteString(package.DataString());
  TSkinReader reader;
  if (!reader.LoadPackage(work)) throw ESkinPackageError("The skin package is of a version this program cannot read");
  TMemoryStream entry;
  AnsiString iniName;
  if (!reader.FindEntry(".ini", entry, iniName)) throw ESkinPackageError("The skin package holds no INI text");
  TQuickIni ini;
  ini.LoadFromStream(&entry);
  const TSkinIniKeys k = ReadSkinIniKeys(ini);

  auto c = std::make_unique<TSkinContent>();
  TSkinBitmapLoader bitmaps(reader);
  c->SkinName = k.SkinName;
  for (size_t side = 0; side < 4; ++side) {
    TDataSkinBorder& b = *c->Borders[side];
    const TSkinBorderKeys& kb = k.Borders[side];
    bitmaps.Load(*b.Bitmap, kb.Image);
    // Along the border: the sides' top and bottom, the bands' left and right.
    if (side == static_cast<size_t>(TSkinBorderSide::bsLeftBorder) || side == static_cast<size_t>(TSkinBorderSide::bsRightBorder)) {
      b.TopHeight = kb.TopHeight;
      b.BottomHeight = kb.BotHeight;
    } else {
      b.LeftWidth = kb.TopHeight;
      b.RightWidth = kb.BotHeight;
    }
    b.FrameCount = kb.Frame;
    b.Tile = kb.Stretch;
    b.Trans = kb.Trans;
  }
  c->Colors = k.Colours.Colours;
  c->ColorGiven = k.Colours.Given;
  c->NumberedColors = k.Colours.Numbered;
  c->CustomColors = k.Colours.Custom;
  const TColor buttonText = c->Colors[ccButtonText];

  for (const TSkinCaptionButtonKeys& kb : k.CaptionButtons) {
    auto b = std::make_unique<TDataSkinSysButton>();
    b->Name = kb.Name;
    bitmaps.Load(*b->Bitmap, kb.Image);
    b->Action = kb.Action;
    b->Align = kb.Align;
    b->XCoord = kb.XCoord;
    b->YCoord = kb.YCoord;
    b->Visibility = kb.Visibility;
    b->Visibility1 = kb.Visibility1;
    b->CombineOp = kb.CombineOp;
    b->FrameCount = SkinCaptionButtonFrames(kb.Frame, kb.Action, b->Bitmap->Width(), b->Bitmap->Height());
    // The window icon is drawn from the window's own icon.
    if (b->Action == 3 || b->Action == 11) b->Bitmap->SetSize(0, 0);
    c->CaptionButtons.push_back(std::move(b));
  }
  {
    // The buttons of a maximized MDI child: minimize, restore, close.
    TBitmap mdi;
    bitmaps.Load(mdi, k.MDIControlsImage);
    const int w = mdi.Empty() ? 0 : mdi.Width() / 12;
    for (int i = 0; i < 3; ++i) {
      auto b = std::make_unique<TDataSkinSysButton>();
      b->Name = "MDICONTROLS";
      b->Action = 7 + i;
      b->Align = b->Visibility = b->Visibility1 = 100;
      b->FrameCount = 4;
      if (w > 0) {
        b->Bitmap->SetPixelFormat(pf24bit);
        b->Bitmap->SetSize(4 * w, mdi.Height());
        BitBlt(b->Bitmap->Canvas()->Handle(), 0, 0, 4 * w, mdi.Height(), mdi.Canvas()->Handle(), 4 * w * i, 0, SRCCOPY);
        b->XCoord = (w + 4) * (3 - i);
      }
      c->CaptionButtons.push_back(std::move(b));
    }
  }

  TDataSkinButton& buttons = *c->Buttons;
  bitmaps.Load(*buttons.Bitmap, k.Buttons.Image);
  ApplyImageKeys(buttons, k.Buttons, buttonText);
  bitmaps.Load(*buttons.CheckBitmap, k.Buttons.CheckButton);
  bitmaps.Load(*buttons.RadioBitmap, k.Buttons.RadioButton);
  buttons.CheckButtonFrame = k.Buttons.CheckButtonFrame;
  buttons.RadioButtonFrame = k.Buttons.RadioButtonFrame;
  buttons.HasNormalColour2 = k.Buttons.HasNormalColour2;
  buttons.HasMouseOverColour2 = k.Buttons.HasMouseOverColour2;
  buttons.HasPressedColour2 = k.Buttons.HasPressedColour2;

  TDataSkinTitle& title = *c->Title;
  bitmaps.Load(*title.Bitmap, k.Title.TextBack);
  title.LeftWidth = k.Title.TextShift;
  title.TopHeight = k.Title.TextShiftVert;
  title.RightWidth = k.Title.TextRightClip;
  title.BottomHeight = 0;
  title.TextAlignment = k.Title.TextAlignment;
  title.Textbackground = k.Title.Textbackground;
  title.TXTBackleft = k.Title.TXTBackleft;
  title.TXTBackRight = k.Title.TXTBackRight;
  title.FontHeight = k.Title.FontHeight;
  title.ActiveTextColor = k.Title.HasActiveText ? k.Title.ActiveText : SkinColorNotGiven;
  title.InactiveTextColor = k.Title.HasInactiveText ? k.Title.InactiveText : SkinColorNotGiven;

  if (!k.MenuBar.Image.empty()) {
    auto bar = std::make_unique<TDataSkinObject>();
    bar->Name = SkinObjectName(soMenuBar);
    bitmaps.Load(*bar->Bitmap, k.MenuBar.Image);
    bar->Tile = k.MenuBar.Tile;
    bar->LeftWidth = k.MenuBar.LeftWidth;
    bar->RightWidth = k.MenuBar.RightWidth;
    c->Objects[static_cast<size_t>(soMenuBar)] = std::move(bar);
  }

  for (const TSkinSectionInfo& s : SkinImageSections) {
    const TSkinImageKeys& ks = k.Images[static_cast<size_t>(s.Id)];
    if (ks.Image.empty()) continue;
    std::unique_ptr<TDataSkinObject> object;
    if (s.Kind == skBorder) {
      auto border = std::make_unique<TDataSkinBorder>();
      bitmaps.Load(*border->Bitmap2, ks.SecondImage);
      object = std::move(border);
    } else if (s.Kind == skBoxLabel) {
      auto label = std::make_unique<TDataSkinBoxLabel>();
      label->BackgroundAlignment = ks.BackgroundAlignment;
      label->BackgroundLeftShift = ks.BackgroundLeftShift;
      label->BackgroundRightShift = ks.BackgroundRightShift;
      object = std::move(label);
    } else {
      object = std::make_unique<TDataSkinObject>();
    }
    object->Name = s.Section;
    bitmaps.Load(*object->Bitmap, ks.Image);
    ApplyImageKeys(*object, ks, buttonText);
    if (s.Id == soComboButton && !object->Bitmap->Empty()) {
      auto* border = static_cast<TDataSkinBorder*>(object.get());
      border->Bitmap2->Assign(object->Bitmap.get());
      MirrorBitmap(border->Bitmap2.get());
    }
    c->Objects[static_cast<size_t>(s.Id)] = std::move(object);
  }
  // Without their sections the track channels come from the program's own
  // bitmaps.
  for (TSkinObjectId id : {soTrack, soTrackVert}) {
    auto& slot = c->Objects[static_cast<size_t>(id)];
    if (slot) continue;
    auto track = std::make_unique<TDataSkinObject>();
    try {
      track->Bitmap->LoadFromResourceName(GetModuleHandleA(nullptr), SkinObjectName(id) == AnsiString("Track") ? "TRACK" : "TRACKVERT");
    } catch (const Exception&) {
      continue;
    }
    track->Name = SkinObjectName(id);
    track->LeftWidth = track->TopHeight = track->RightWidth = track->BottomHeight = 3;
    track->Tile = 0;
    track->FrameCount = 1;
    slot = std::move(track);
  }

  SetFrameCounts(*c, k);
  BuildSunkenCombo(*c);
  BuildComboArrow(*c);
  BuildToolbarBackground(*c);
  c->Colors[ccBaseColour] = BaseColourOf(*c);
  return c;
}
