#include "foundation/PainterResources.h"

#include "foundation/Geometry.h"
#include "foundation/Graphics.h"
#include "foundation/LookAndFeel.h"
#include "foundation/Office11.h"
#include "foundation/Office11Painter.h"

#include <algorithm>

namespace {

// The system's check-box bitmap: four columns by three rows of glyphs.
constexpr int OBM_CHECKBOXES_ID = 32759;

std::unique_ptr<TCustomImageList> Indicators;
std::unique_ptr<TBitmap> PageBitmaps[2];
SIZE CheckBoxSize{0, 0};
TcxRadioButtonImageList* RadioImages = nullptr;

// The painters unit's primary notifier: the radio images are drawn from
// system colours, so they go first when the colours change.
class TSystemPaletteChangedNotifier : public TcxSystemPaletteChangedNotifier {
public:
  TSystemPaletteChangedNotifier() : TcxSystemPaletteChangedNotifier(true) {}
  void FirePaletteChanged() override {
    if (RadioImages) RadioImages->Reset();
    TcxSystemPaletteChangedNotifier::FirePaletteChanged();
  }
};
TSystemPaletteChangedNotifier* PrimaryNotifier = nullptr;

SIZE MeasureCheckBoxGlyph() {
  HBITMAP bitmap = LoadBitmapA(nullptr, MAKEINTRESOURCEA(OBM_CHECKBOXES_ID));
  if (!bitmap) return SIZE{13, 13};
  BITMAP info{};
  const bool known = QueryBitmapObject(bitmap, info);
  DeleteObject(bitmap);
  if (!known || info.bmWidth < 4 || info.bmHeight < 3) return SIZE{13, 13};
  return SIZE{info.bmWidth / 4, info.bmHeight / 3};
}

const char* const IndicatorNames[] = {"CX_ARROWBITMAP",    "CX_EDITBITMAP",       "CX_INSERTBITMAP",
                                      "CX_MULTIDOTBITMAP", "CX_MULTIARROWBITMAP", "CX_FILTERBITMAP"};

void LoadIndicatorImages() {
  Indicators = std::make_unique<TCustomImageList>(nullptr);
  bool sized = false;
  for (const char* name : IndicatorNames) {
    TBitmap bitmap;
    try {
      bitmap.LoadFromResourceName(GetModuleHandleA(nullptr), name);
    } catch (const Exception&) {
      continue;
    }
    if (!sized) {
      Indicators->SetSize(bitmap.GetWidth(), bitmap.GetHeight());
      sized = true;
    }
    Indicators->AddMasked(&bitmap, clWhite);
  }
}

// 32-bit pixels of one row of a bitmap section (row 0 the top).
uint32_t* Row(TBitmap* bitmap, int y) { return static_cast<uint32_t*>(bitmap->ScanLine(y)); }

uint32_t ToPixel(TColor color) {
  const TColor c = ColorToRGB(color);
  return (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}

}  // namespace

TCustomImageList* IndicatorImages() { return Indicators.get(); }
TBitmap* ScrollPageBitmap(bool pressed) { return PageBitmaps[pressed ? 1 : 0].get(); }

void RefreshScrollPageBitmaps() {
  for (int pressed = 0; pressed < 2; ++pressed) {
    if (!PageBitmaps[pressed]) {
      PageBitmaps[pressed] = std::make_unique<TBitmap>();
      PageBitmaps[pressed]->SetPixelFormat(pf32bit);
      PageBitmaps[pressed]->SetSize(8, 8);
    }
    TBitmap* bitmap = PageBitmaps[pressed].get();
    const uint32_t odd = ToPixel(pressed ? cl3DDkShadow : clBtnHighlight);
    const uint32_t even = ToPixel(pressed ? clBlack : clBtnFace);
    for (int y = 0; y < 8; ++y) {
      uint32_t* row = Row(bitmap, y);
      for (int x = 0; x < 8; ++x) row[x] = (x % 2 != y % 2) ? odd : even;
    }
    bitmap->Changed(bitmap);
  }
}

SIZE SystemCheckBoxGlyphSize() {
  if (CheckBoxSize.cx == 0) CheckBoxSize = MeasureCheckBoxGlyph();
  return CheckBoxSize;
}

// --- radio-button images -------------------------------------------------------------------------------

const TClassInfo TcxRadioButtonImageList::ClassInfo{"TcxRadioButtonImageList", &TObject::ClassInfo, nullptr};

TcxRadioButtonImageList::TcxRadioButtonImageList() {
  Measure();
  BuildPattern();
  FImages = std::make_unique<TCustomImageList>(nullptr);
  FImages->SetSize(FWidth, FHeight);
  FButtonMask = std::make_unique<TBitmap>();
  FButtonMask->SetPixelFormat(pf1bit);
  FButtonMask->SetSize(FWidth, FHeight);
  TCanvas* mask = FButtonMask->Canvas();
  mask->Brush()->SetColor(clWhite);
  mask->FillRect(RECT{0, 0, FWidth, FHeight});
  mask->Brush()->SetColor(clBlack);
  mask->Pen()->SetColor(clBlack);
  mask->RoundRect(0, 0, FWidth, FHeight, FWidth - 1, FHeight - 1);
  FIndexMap.assign(128, -1);
}

TcxRadioButtonImageList::~TcxRadioButtonImageList() = default;

void TcxRadioButtonImageList::Measure() {
  const SIZE cell = SystemCheckBoxGlyphSize();
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(cell.cx, cell.cy);
  HDC dc = bitmap.Canvas()->Handle();
  RECT r{0, 0, cell.cx, cell.cy};
  // The glyph's extent: the columns and rows of the mask's black pixels.
  PatBlt(dc, 0, 0, cell.cx, cell.cy, BLACKNESS);
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONRADIOMASK | DFCS_FLAT);
  GdiFlush();
  int left = -1, width = 0, top = -1, height = 0;
  for (int x = 0; x < cell.cx; ++x) {
    bool black = false;
    for (int y = 0; y < cell.cy && !black; ++y) black = (Row(&bitmap, y)[x] & 0xFFFFFF) == 0;
    if (!black) continue;
    if (left < 0) left = x;
    ++width;
  }
  for (int y = 0; y < cell.cy; ++y) {
    bool black = false;
    for (int x = 0; x < cell.cx && !black; ++x) black = (Row(&bitmap, y)[x] & 0xFFFFFF) == 0;
    if (!black) continue;
    if (top < 0) top = y;
    ++height;
  }
  if (left < 0 || top < 0 || width < 3 || height < 3) {
    left = top = 0;
    width = cell.cx;
    height = cell.cy;
  }
  FWidth = width;
  FHeight = height;
  FGlyphBounds = RECT{left, top, left + width, top + height};

  // The check dot: the run of window-text pixels through the glyph's middle.
  PatBlt(dc, 0, 0, cell.cx, cell.cy, BLACKNESS);
  r = RECT{0, 0, cell.cx, cell.cy};
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONRADIOIMAGE | DFCS_CHECKED | DFCS_FLAT);
  GdiFlush();
  const uint32_t text = ToPixel(clWindowText);
  auto isText = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < cell.cx && y < cell.cy && (Row(&bitmap, y)[x] & 0xFFFFFF) == text;
  };
  const int mx = left + width / 2, my = top + height / 2;
  if (isText(mx, my)) {
    int x0 = mx, x1 = mx, y0 = my, y1 = my;
    while (isText(x0 - 1, my)) --x0;
    while (isText(x1 + 1, my)) ++x1;
    while (isText(mx, y0 - 1)) --y0;
    while (isText(mx, y1 + 1)) ++y1;
    FDotBounds = RECT{x0, y0, x1 + 1, y1 + 1};
  } else {
    // No dot where the system should have drawn one: a third of the glyph.
    FDotBounds = CenterExtentInRect(FGlyphBounds, std::max(width / 3, 2), std::max(height / 3, 2));
  }
}

void TcxRadioButtonImageList::BuildPattern() {
  const int W = FWidth, H = FHeight;
  FPattern.assign(static_cast<size_t>(W) * H, 0);
  auto at = [&](int i, int j) -> int& { return FPattern[static_cast<size_t>(i) * W + j]; };
  // Which half of the glyph a cell lies in: the lower right is in shadow.
  auto lowerRight = [&](int i, int j) { return (H - 1) * (W - j - 1) < i * (W - 1); };

  TBitmap shape;
  shape.SetPixelFormat(pf32bit);
  shape.SetSize(W, H);
  TCanvas* canvas = shape.Canvas();
  auto blackCells = [&](auto&& visit) {
    GdiFlush();
    for (int i = 0; i < H; ++i)
      for (int j = 0; j < W; ++j)
        if ((Row(&shape, i)[j] & 0xFFFFFF) == 0) visit(i, j);
  };

  // 1. The outer ring.
  canvas->Brush()->SetColor(clWhite);
  canvas->FillRect(RECT{0, 0, W, H});
  canvas->Brush()->SetStyle(bsClear);
  canvas->Pen()->SetColor(clBlack);
  canvas->RoundRect(0, 0, W, H, W - 1, H - 1);
  blackCells([&](int i, int j) { at(i, j) = lowerRight(i, j) ? 2 : 1; });

  // 2. The interior, filled from the middle outwards up to the ring.
  for (int i = 1; i <= H - 2; ++i) {
    for (int j = W / 2 - 1; j >= 0 && at(i, j) == 0; --j) at(i, j) = 5;
    for (int j = W / 2; j < W && at(i, j) == 0; ++j) at(i, j) = 5;
  }

  // 3. The inner ring: the interior's outermost cells, found along rows and
  // columns walking outwards from the middle.
  std::vector<bool> marked(FPattern.size(), false);
  auto mark = [&](int i, int j) { marked[static_cast<size_t>(i) * W + j] = true; };
  auto walk = [&](int fixed, bool rows, int from, int step, std::vector<int>& run) {
    for (int k = from; k >= 0 && k < (rows ? W : H); k += step) {
      const int value = rows ? at(fixed, k) : at(k, fixed);
      if (value < 3) break;
      run.push_back(k);
    }
  };
  for (const bool rows : {true, false}) {
    const int count = rows ? H : W;
    const int middle = rows ? W / 2 : H / 2;
    int first = -1, last = -1;
    for (int f = 1; f <= count - 2; ++f) {
      std::vector<int> before, after;
      walk(f, rows, middle - 1, -1, before);
      walk(f, rows, middle, 1, after);
      if (before.empty() && after.empty()) continue;
      if (first < 0) first = f;
      last = f;
      for (const std::vector<int>* run : {&before, &after})
        if (!run->empty()) rows ? mark(f, run->back()) : mark(run->back(), f);
    }
    for (const int f : {first, last}) {
      if (f < 0) continue;
      std::vector<int> before, after;
      walk(f, rows, middle - 1, -1, before);
      walk(f, rows, middle, 1, after);
      for (const std::vector<int>* run : {&before, &after})
        for (int k : *run) rows ? mark(f, k) : mark(k, f);
    }
  }
  for (int i = 0; i < H; ++i)
    for (int j = 0; j < W; ++j) {
      if (!marked[static_cast<size_t>(i) * W + j]) continue;
      const int a = (H - 1) * (W - j - 1), b = i * (W - 1);
      if (a < b) at(i, j) = 4;
      else if (a > b) at(i, j) = 3;
      else at(i, j) = j >= W / 2 ? 4 : 3;
    }

  // 4. The check dot.
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(clWhite);
  canvas->FillRect(RECT{0, 0, W, H});
  canvas->Brush()->SetColor(clBlack);
  canvas->Pen()->SetColor(clBlack);
  canvas->Ellipse(ShiftRect(FDotBounds, -FGlyphBounds.left, -FGlyphBounds.top));
  blackCells([&](int i, int j) { at(i, j) = 6; });
}

TColor TcxRadioButtonImageList::ClassColor(int pixelClass, TcxLookAndFeelKind kind, TcxButtonState state,
                                           bool checked, bool focused, bool designing) const {
  const bool disabled = state == cxbsDisabled;
  TColor body;
  if (kind == lfOffice11)
    body = state == cxbsNormal ? clWindow : TcxOffice11LookAndFeelPainter::Instance.ButtonFillColor(state);
  else if (disabled)
    body = clBtnFace;
  else if (kind == lfUltraFlat)
    body = state == cxbsHot ? HotHighlightColor() : state == cxbsPressed ? PressedHighlightColor() : clWindow;
  else
    body = state == cxbsPressed ? clBtnFace : clWindow;
  const bool active = state == cxbsHot || state == cxbsPressed;
  switch (pixelClass) {
    case 1:
    case 2:
      switch (kind) {
        case lfFlat:
        case lfStandard: return pixelClass == 1 ? clBtnShadow : clBtnHighlight;
        case lfUltraFlat: return focused || active || (designing && !disabled) ? clHighlight : clBtnShadow;
        default:
          if (disabled) return Office11Color(o11DisabledText);
          return focused || designing || active ? Office11Color(o11SelectedFrame) : clBtnText;
      }
    case 3:
    case 4:
      switch (kind) {
        case lfFlat: return cl3DLight;
        case lfStandard: return pixelClass == 3 ? cl3DDkShadow : cl3DLight;
        default: return body;
      }
    case 5: return body;
    case 6:
      if (!checked) return body;
      if (!disabled) return clWindowText;
      return kind == lfOffice11 ? Office11Color(o11DisabledText) : clBtnShadow;
    default: return clBlack;
  }
}

void TcxRadioButtonImageList::Prepare() {
  TBitmap image;
  image.SetPixelFormat(pf32bit);
  image.SetSize(FWidth, FHeight);
  for (int focused = 0; focused < 2; ++focused)
    for (int designing = 0; designing < 2; ++designing)
      for (int kind = lfFlat; kind <= lfOffice11; ++kind)
        for (int checked = 0; checked < 2; ++checked)
          for (int state = cxbsNormal; state <= cxbsDisabled; ++state) {
            for (int y = 0; y < FHeight; ++y) {
              uint32_t* row = Row(&image, y);
              for (int x = 0; x < FWidth; ++x)
                row[x] = ToPixel(ClassColor(PixelClass(x, y), static_cast<TcxLookAndFeelKind>(kind),
                                            static_cast<TcxButtonState>(state), checked, focused, designing));
            }
            image.Changed(&image);
            const int key = state + kind * 8 + checked * 4 + designing * 32 + focused * 64 - 1;
            FIndexMap[key] = FImages->Add(&image, FButtonMask.get());
          }
}

int TcxRadioButtonImageList::ImageIndexOf(TcxLookAndFeelKind kind, TcxButtonState state, bool checked,
                                          bool focused, bool designing) {
  // The key counts the states from normal: the default state draws as normal.
  if (state == cxbsDefault) state = cxbsNormal;
  const int key = state + kind * 8 + (checked ? 4 : 0) + (designing ? 32 : 0) + (focused ? 64 : 0) - 1;
  return key >= 0 && key < static_cast<int>(FIndexMap.size()) ? FIndexMap[key] : -1;
}

void TcxRadioButtonImageList::Draw(TcxCanvas* canvas, int x, int y, TColor brushColor, TcxLookAndFeelKind kind,
                                   TcxButtonState state, bool checked, bool focused, bool designing) {
  if (FImages->Count() == 0) Prepare();
  const int index = ImageIndexOf(kind, state, checked, focused, designing);
  if (index < 0) return;
  if (brushColor == clDefault) {
    FImages->Draw(canvas->Canvas(), x, y, index);
    return;
  }
  TBitmap composed;
  composed.SetPixelFormat(pf32bit);
  composed.SetSize(FWidth, FHeight);
  composed.Canvas()->Brush()->SetColor(brushColor);
  composed.Canvas()->FillRect(RECT{0, 0, FWidth, FHeight});
  FImages->Draw(composed.Canvas(), 0, 0, index);
  canvas->Canvas()->Draw(x, y, &composed);
}

void TcxRadioButtonImageList::Reset() {
  FImages->Clear();
  FIndexMap.assign(128, -1);
}

TcxRadioButtonImageList* RadioButtonImageList() {
  if (!RadioImages) RadioImages = new TcxRadioButtonImageList();
  return RadioImages;
}

bool RadioButtonImageListExists() { return RadioImages != nullptr; }

// --- the unit ------------------------------------------------------------------------------------------

void cxLookAndFeelPaintersInit() {
  ExtendedStylePainterList = new TcxExtendedStylePainters();
  LoadIndicatorImages();
  RefreshScrollPageBitmaps();
  PrimaryNotifier = new TSystemPaletteChangedNotifier();
  CheckBoxSize = MeasureCheckBoxGlyph();
}

void cxLookAndFeelPaintersDone() {
  delete PrimaryNotifier;
  PrimaryNotifier = nullptr;
  PageBitmaps[1].reset();
  PageBitmaps[0].reset();
  Indicators.reset();
  delete RadioImages;
  RadioImages = nullptr;
  delete ExtendedStylePainterList;
  ExtendedStylePainterList = nullptr;
  CheckBoxSize = SIZE{0, 0};
}
