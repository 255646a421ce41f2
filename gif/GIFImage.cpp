#include "gif/GIFImage.h"

#include "gif/GIFExtension.h"
#include "platform/CallbackGuard.h"
#include "platform/Exceptions.h"
#include "platform/Icon.h"
#include "platform/Metafile.h"

#include <mmsystem.h>

#include <algorithm>
#include <cstring>

TGIFPaintOptions DefaultPaintOptions{paThreaded, paTransparent, paAnimate, paLoop, paDither, paDitherLowColor};
TGIFReductionMethod DefaultReductionMethod = rdCube216;
int DefaultReductionDepth = 8;
TGIFDitherKind DefaultDitherKind = dkNearest;
TGIFEncoding DefaultEncoding = TGIFEncoding::enLZW;
TThreadPriority DefaultPainterPriority = tpNormal;
int DefaultPlaybackSpeed = 100;
bool RenderOnLoad = false;
bool OptimizeOnFormSave = false;
bool LowColorDisplay = false;
UINT GIFClipboardFormat = 0;
TGIFPainterClock* GIFPainterClock = nullptr;

DWORD TGIFPainterClock::Now() { return timeGetTime(); }

bool TGIFPainterClock::Wait(HANDLE wake, DWORD ms) {
  if (!wake) {
    Sleep(ms == INFINITE ? 0 : ms);
    return false;
  }
  return WaitForSingleObject(wake, ms) == WAIT_OBJECT_0;
}

namespace {

TGIFPainterClock RealClock;

// Frame-sized bitmaps above this are switched to 1 bit before sizing, so no
// large device bitmap is made on the way.
constexpr int64_t LargeFramePixels = 500000;

HPALETTE CopyPalette(HPALETTE palette) {
  if (!palette) return nullptr;
  PALETTEENTRY entries[256];
  const UINT n = GetPaletteEntries(palette, 0, 256, entries);
  if (n == 0) return nullptr;
  std::vector<uint8_t> memory(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * n, 0);
  auto* lp = reinterpret_cast<LOGPALETTE*>(memory.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = static_cast<WORD>(n);
  std::memcpy(lp->palPalEntry, entries, sizeof(PALETTEENTRY) * n);
  return CheckGDI(CreatePalette(lp));
}

HPALETTE TableToPalette(TGIFColorMap& map) {
  if (map.Count() == 0) return nullptr;
  std::vector<uint8_t> memory(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * 256, 0);
  auto* lp = reinterpret_cast<LOGPALETTE*>(memory.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = static_cast<WORD>(map.Count());
  for (int i = 0; i < map.Count(); ++i) {
    const TGIFColor c = map.ColorAt(i);
    lp->palPalEntry[i] = PALETTEENTRY{c.Red, c.Green, c.Blue, PC_NOCOLLAPSE};
  }
  return CheckGDI(CreatePalette(lp));
}

// Runs synchronized calls (GUI thread) or yields, while waiting for painters.
void ServeWhileWaiting() {
  if (GetCurrentThreadId() == MainThreadID) {
    while (CheckSynchronize()) {
    }
  }
  Sleep(0);
}

struct TDrawingGuard {
  bool& Flag;
  explicit TDrawingGuard(bool& flag) : Flag(flag) { Flag = true; }
  ~TDrawingGuard() { Flag = false; }
};

}  // namespace

// What the picture builds from one frame: bitmap, mask and palette.
class TGIFFrameRender : public TObject {
public:
  std::unique_ptr<TBitmap> Bitmap;
  TGdiObject Mask;
  TGdiObject Palette;
  bool NeedsMask = true;
};

// ---------------------------------------------------------------------------
// Start-up.

namespace {

TObject* CreateGIFImage(TObject*) { return new TGIFImage; }
int InitCount = 0;

}  // namespace

const TClassInfo TGIFImage::ClassInfo = {"TGIFImage", &TGraphic::ClassInfo, &CreateGIFImage};

void GIFImageInit() {
  if (InitCount++ > 0) return;
  TPicture::RegisterFileFormat("gif", LoadResString(sGIFImageFile), &TGIFImage::ClassInfo);
  GIFClipboardFormat = RegisterClipboardFormatA("GIF Image");
  TPicture::RegisterClipboardFormat(GIFClipboardFormat, &TGIFImage::ClassInfo);
  TScreenDC screen;
  LowColorDisplay = GetDeviceCaps(screen.Get(), BITSPIXEL) * GetDeviceCaps(screen.Get(), PLANES) <= 8;
}

void GIFImageFinal() {
  if (InitCount == 0 || --InitCount > 0) return;
  TPicture::UnregisterGraphicClass(&TGIFImage::ClassInfo);
}

// ---------------------------------------------------------------------------
// The picture.

TGIFImage::TGIFImage()
    : PaintOptions(DefaultPaintOptions), ReductionMethod(DefaultReductionMethod),
      ReductionDepth(DefaultReductionDepth), DitherKind(DefaultDitherKind), PainterPriority(DefaultPainterPriority),
      PlaybackSpeed(DefaultPlaybackSpeed) {
  Encoding = DefaultEncoding;
}

void TGIFImage::BeforeDestruction() {
  StopAllPainters();
  TGraphic::BeforeDestruction();
}

TGIFImage::~TGIFImage() {
  StopAllPainters();
  {
    std::lock_guard<TCriticalSection> lock(FPainterLock);
    for (TGIFPainter* p : FPainters) p->FImage = nullptr;
    FPainters.clear();
  }
  ResetPicture();
  for (HANDLE h : FEndingThreads) CloseHandle(h);
}

void TGIFImage::ReportIssue(TObject* sender, int severity, const AnsiString& message) {
  TGIFContainer::ReportIssue(sender, severity, message);
}

void TGIFImage::GlobalTableChanged() {
  SetPalette(nullptr);
  // Frames drawn with the global colours are stale too.
  for (int i = 0; i < Images().Count(); ++i)
    if (Images().Frames(i)->ColorMap().Count() == 0) Images().Frames(i)->DropRenderCache();
}

void TGIFImage::LocalTableChanged(TGIFSubImage* frame) {
  if (auto* render = static_cast<TGIFFrameRender*>(frame->RenderCache())) render->Palette.Reset();
  frame->DropRenderCache();
}

void TGIFImage::FrameRead(TStream& stream) {
  const int64_t size = stream.Size();
  const uint8_t percent = size > 0 ? static_cast<uint8_t>(std::min<int64_t>(100, stream.Position() * 100 / size)) : 0;
  Progress(&Images(), psRunning, percent, RenderOnLoad, RECT{}, "Loading...");
  if (RenderOnLoad) FrameBitmap(Images().Frames(Images().Count() - 1));
}

void TGIFImage::ResetPicture() {
  StopAllPainters();
  DropCachedBitmap();
  TGIFContainer::Clear();
  FGlobalPalette.Reset();
}

void TGIFImage::LoadFromStream(TStream& stream) {
  Progress(this, psStarting, 0, false, RECT{}, "Loading...");
  bool ok = false;
  try {
    ResetPicture();
    TGIFContainer::LoadFromStream(stream);
    ok = true;
  } catch (...) {
    Progress(this, psEnding, 0, true, RECT{}, "Loading...");
    throw;
  }
  Progress(this, psEnding, ok ? 100 : 0, true, RECT{}, "Loading...");
  Changed(this);
}

void TGIFImage::SaveToStream(TStream& stream) {
  Progress(this, psStarting, 0, false, RECT{}, "Saving...");
  try {
    Header().SaveToStream(stream);
    const int count = Images().Count();
    for (int i = 0; i < count; ++i) {
      Images().Frames(i)->SaveToStream(stream);
      Progress(this, psRunning, static_cast<uint8_t>((i + 1) * 100 / count), false, RECT{}, "Saving...");
    }
    TGIFTrailer trailer(this);
    trailer.SaveToStream(stream);
  } catch (...) {
    Progress(this, psEnding, 0, true, RECT{}, "Saving...");
    throw;
  }
  Progress(this, psEnding, 100, true, RECT{}, "Saving...");
}

void TGIFImage::WriteData(TStream& stream) {
  if (OptimizeOnFormSave) OptimizeFrames(31, rdNone, 8, dkNearest);
  TGraphic::WriteData(stream);
}

void TGIFImage::SetWidth(int value) { SetScreenSize(value, GetHeight()); }

void TGIFImage::SetHeight(int value) { SetScreenSize(GetWidth(), value); }

void TGIFImage::SetScreenSize(int width, int height) {
  for (int i = 0; i < Images().Count(); ++i) {
    TGIFSubImage* f = Images().Frames(i);
    if (f->Left() + f->Width() > width) RaiseGIFError("Image width too small for contained frames");
    if (f->Top() + f->Height() > height) RaiseGIFError("Image height too small for contained frames");
  }
  // The logical screen holds 16-bit sizes: anything else would be stored
  // cut to another size.
  if (width < 0 || height < 0 || width > 0xFFFF || height > 0xFFFF) RaiseGIFError("Invalid image dimensions");
  if (width == GetWidth() && height == GetHeight()) return;
  Header().SetWidth(static_cast<uint16_t>(width));
  Header().SetHeight(static_cast<uint16_t>(height));
  DropCachedBitmap();
  Changed(this);
}

bool TGIFImage::DoDither() const {
  return PaintOptions.Contains(paDither) && (!PaintOptions.Contains(paDitherLowColor) || LowColorDisplay);
}

HPALETTE TGIFImage::GetPalette() {
  if (FPaletteGuard) RaiseGIFError("No global or local color table defined");
  TDrawingGuard guard(FPaletteGuard);
  if (FBitmap && FBitmap->GetPalette()) return FBitmap->GetPalette();
  if (FGlobalPalette) return static_cast<HPALETTE>(FGlobalPalette.Get());
  if (DoDither()) {
    FGlobalPalette.Reset(Cube216Palette());
  } else if (Header().ColorMap().Count() == 0) {
    return Images().Count() > 0 ? FramePalette(Images().Frames(0)) : nullptr;
  } else {
    FGlobalPalette.Reset(TableToPalette(Header().ColorMap()));
  }
  return static_cast<HPALETTE>(FGlobalPalette.Get());
}

void TGIFImage::SetPalette(HPALETTE value) {
  if (value && value == FGlobalPalette.Get()) return;
  if (!value && !FGlobalPalette) return;
  FGlobalPalette.Reset(value);
  if (FBitmap && FBitmap->GetPalette() != value) {
    DropCachedBitmap();
    SetPaletteModified(true);
    Changed(this);
  }
}

TColor TGIFImage::BackgroundColor() {
  TGIFColorMap& map = Header().ColorMap();
  if (map.Count() == 0) return clNone;
  const TGIFColor c = map.ColorAt(Header().BackgroundColorIndex());
  return static_cast<TColor>(RGB(c.Red, c.Green, c.Blue));
}

// --- frames ----------------------------------------------------------------

TGIFFrameRender* TGIFImage::Render(TGIFSubImage* frame) {
  auto* render = static_cast<TGIFFrameRender*>(frame->RenderCache());
  if (!render) {
    render = new TGIFFrameRender;
    frame->SetRenderCache(render);
  }
  return render;
}

HPALETTE TGIFImage::FramePalette(TGIFSubImage* frame) {
  TGIFFrameRender* render = Render(frame);
  if (render->Bitmap && render->Bitmap->GetPalette()) return render->Bitmap->GetPalette();
  if (render->Palette) return static_cast<HPALETTE>(render->Palette.Get());
  if (DoDither()) {
    render->Palette.Reset(Cube216Palette());
  } else if (frame->ColorMap().Count() == 0) {
    return GetPalette();
  } else {
    render->Palette.Reset(TableToPalette(frame->ColorMap()));
  }
  return static_cast<HPALETTE>(render->Palette.Get());
}

void TGIFImage::SetFramePalette(TGIFSubImage* frame, HPALETTE value) {
  TGIFFrameRender* render = Render(frame);
  if (value && value == render->Palette.Get()) return;
  if (!value && !render->Palette) return;
  render->Palette.Reset(value);
  if (render->Bitmap && render->Bitmap->GetPalette() != value) {
    render->Bitmap.reset();
    SetPaletteModified(true);
    Changed(frame);
  }
}

TBitmap* TGIFImage::FrameBitmap(TGIFSubImage* frame) {
  if (frame->IsEmpty()) return nullptr;
  TGIFFrameRender* render = Render(frame);
  if (render->Bitmap) return render->Bitmap.get();
  Progress(frame, psStarting, 0, false, RECT{}, "Rendering...");
  const int w = frame->Width(), h = frame->Height();
  try {
    auto bitmap = std::make_unique<TBitmap>();
    if (static_cast<int64_t>(w) * h > LargeFramePixels) bitmap->SetPixelFormat(pf1bit);
    const bool dither = DoDither();
    TGIFColorMap& map = frame->EffectiveColorMap();
    const bool maskDue = render->NeedsMask && frame->IsTransparent() && frame->GraphicControl() && !render->Mask;
    render->NeedsMask = false;
    const int t = frame->GraphicControl() ? frame->GraphicControl()->TransparentColorIndex() : -1;
    const int maskRow = ((w + 15) / 16) * 2;
    std::vector<uint8_t> mask(maskDue ? static_cast<size_t>(maskRow) * h : 0, 0);
    bool anyTransparent = false;
    {
      TDIBWriter writer(bitmap.get(), FramePalette(frame), h, w, pf8bit);
      if (!dither) {
        for (int y = 0; y < h; ++y) std::memcpy(writer.RowAt(y), frame->Data() + static_cast<size_t>(y) * w, w);
      } else {
        TNetscapeColorLookup lookup;
        TFloydSteinbergDitherer ditherer(w, &lookup);
        uint8_t fill = 0;
        if (maskDue && map.Count() > 0) {
          const TGIFColor c = map.ColorAt(t);
          fill = static_cast<uint8_t>((MulDiv(36, c.Red, 51) + MulDiv(6, c.Green, 51) + c.Blue / 51 + 1) % 256);
        }
        for (int y = 0; y < h; ++y) {
          uint8_t* out = writer.RowAt(y);
          if (maskDue) std::memset(out, fill, w);
          const uint8_t* in = frame->Data() + static_cast<size_t>(y) * w;
          uint8_t r, g, b;
          for (int x = ditherer.Column(); x >= 0 && x < w; x = ditherer.Column()) {
            if (maskDue && in[x] == t) {
              ditherer.SkipPixel();
              continue;
            }
            const TGIFColor c = map.Count() > 0 && in[x] < map.Count() ? map.ColorAt(in[x]) : TGIFColor{};
            out[x] = static_cast<uint8_t>(ditherer.DitherPixel(c.Red, c.Green, c.Blue, r, g, b));
          }
          ditherer.NextRow();
        }
      }
      if (maskDue) {
        for (int y = 0; y < h; ++y) {
          const uint8_t* in = frame->Data() + static_cast<size_t>(y) * w;
          uint8_t* m = mask.data() + static_cast<size_t>(y) * maskRow;
          for (int x = 0; x < w; ++x) {
            if (in[x] != t) continue;
            m[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
            anyTransparent = true;
          }
          if (y % 32 == 0) Progress(frame, psRunning, static_cast<uint8_t>(y * 100 / h), false, RECT{}, "Rendering...");
        }
      }
    }
    if (anyTransparent) render->Mask.Reset(CheckGDI(CreateBitmap(w, h, 1, 1, mask.data())));
    render->Bitmap = std::move(bitmap);
  } catch (const EAbort&) {
    Progress(frame, psEnding, 0, PaletteModified(), RECT{}, "Rendering...");
    return nullptr;
  } catch (...) {
    Progress(frame, psEnding, 0, PaletteModified(), RECT{}, "Rendering...");
    throw;
  }
  Progress(frame, psEnding, 100, PaletteModified(), RECT{}, "Rendering...");
  if (PaletteModified()) Changed(frame);
  return render->Bitmap.get();
}

bool TGIFImage::HasFrameMask(TGIFSubImage* frame) {
  TGIFFrameRender* render = Render(frame);
  if (render->NeedsMask && frame->IsTransparent()) {
    render->Bitmap.reset();
    render->Mask.Reset();
    FrameBitmap(frame);
  }
  return static_cast<bool>(render->Mask);
}

HBITMAP TGIFImage::FrameMask(TGIFSubImage* frame) {
  return HasFrameMask(frame) ? static_cast<HBITMAP>(Render(frame)->Mask.Get()) : nullptr;
}

RECT TGIFImage::PlaceInRect(TGIFSubImage* frame, const RECT& r) {
  const int sw = std::max(1, GetWidth()), sh = std::max(1, GetHeight());
  const int rw = r.right - r.left, rh = r.bottom - r.top;
  return RECT{r.left + MulDiv(frame->Left(), rw, sw), r.top + MulDiv(frame->Top(), rh, sh),
              r.left + MulDiv(frame->Left() + frame->Width(), rw, sw),
              r.top + MulDiv(frame->Top() + frame->Height(), rh, sh)};
}

void TGIFImage::PaintFrame(TGIFSubImage* frame, TCanvas* canvas, const RECT& r, bool transparent, bool tile) {
  PaintFrameStretched(frame, canvas, tile ? r : PlaceInRect(frame, r), transparent, tile);
}

namespace {

// Draws `source` into `dest` of `dc` leaving the pixels whose mask bit is
// set as they were.
void TransparentStretchBlit(HDC dc, const RECT& dest, TBitmap* source, HBITMAP mask) {
  const int sw = source->Width(), sh = source->Height();
  const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
  HDC src = source->Canvas()->Handle();
  TMemoryDC maskDC(dc);
  if (dw == sw && dh == sh) {
    // The mask bitmap may not be selected anywhere while MaskBlt reads it.
    source->Canvas()->Lock();
    const BOOL ok = MaskBlt(dc, dest.left, dest.top, dw, dh, src, 0, 0, mask, 0, 0, MAKEROP4(0x00AA0029, SRCCOPY));
    source->Canvas()->Unlock();
    if (ok) return;
  }
  // Colour pixels outside the mask, black inside; then the destination is
  // cut out through the mask and the colours painted in.
  TMemoryDC colorDC(dc);
  TGdiObject color(CheckGDI(CreateCompatibleBitmap(dc, sw, sh)));
  TSelectObjectGuard colorSel(colorDC.Get(), color.Get());
  TMemoryDC invDC(dc);
  TGdiObject inverted(CheckGDI(CreateBitmap(sw, sh, 1, 1, nullptr)));
  TSelectObjectGuard invSel(invDC.Get(), inverted.Get());
  TSelectObjectGuard maskSel(maskDC.Get(), mask);
  BitBlt(invDC.Get(), 0, 0, sw, sh, maskDC.Get(), 0, 0, NOTSRCCOPY);
  HPALETTE palette = source->GetPalette();
  HPALETTE oldPalette = nullptr;
  if (palette) {
    oldPalette = SelectPalette(colorDC.Get(), palette, TRUE);
    RealizePalette(colorDC.Get());
  }
  SetTextColor(colorDC.Get(), RGB(0, 0, 0));
  SetBkColor(colorDC.Get(), RGB(255, 255, 255));
  BitBlt(colorDC.Get(), 0, 0, sw, sh, invDC.Get(), 0, 0, SRCCOPY);
  BitBlt(colorDC.Get(), 0, 0, sw, sh, src, 0, 0, SRCAND);
  if (palette) SelectPalette(colorDC.Get(), oldPalette, TRUE);
  const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
  const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
  StretchBlt(dc, dest.left, dest.top, dw, dh, maskDC.Get(), 0, 0, sw, sh, SRCAND);
  StretchBlt(dc, dest.left, dest.top, dw, dh, colorDC.Get(), 0, 0, sw, sh, SRCPAINT);
  SetStretchBltMode(dc, oldMode);
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBack);
}

}  // namespace

void TGIFImage::PaintFrameStretched(TGIFSubImage* frame, TCanvas* canvas, const RECT& r, bool transparent,
                                    bool tile) {
  TBitmap* bitmap = FrameBitmap(frame);
  if (!bitmap) return;
  auto eachTile = [&](const std::function<void(const RECT&)>& draw) {
    const int stepX = std::max(1, GetWidth()), stepY = std::max(1, GetHeight());
    for (int x = r.left + frame->Left(); x < r.right; x += stepX)
      for (int y = r.top + frame->Top(); y < r.bottom; y += stepY) draw(RECT{x, y, x + frame->Width(), y + frame->Height()});
  };
  if (transparent && frame->IsTransparent() && HasFrameMask(frame)) {
    bitmap = FrameBitmap(frame);
    HBITMAP mask = static_cast<HBITMAP>(Render(frame)->Mask.Get());
    canvas->Changing();
    HDC dc = canvas->Handle();
    if (tile)
      eachTile([&](const RECT& t) { TransparentStretchBlit(dc, t, bitmap, mask); });
    else
      TransparentStretchBlit(dc, r, bitmap, mask);
    canvas->Changed();
    return;
  }
  if (tile)
    eachTile([&](const RECT& t) { canvas->StretchDraw(t, bitmap); });
  else
    canvas->StretchDraw(r, bitmap);
}

// --- drawing ---------------------------------------------------------------

TBitmap* TGIFImage::MakeCachedBitmap() {
  if (FBitmap) return FBitmap;
  FBitmap = new TBitmap;
  FBitmap->SetPalette(CopyPalette(GetPalette()));
  FBitmap->SetSize(GetWidth(), GetHeight());
  FBitmap->OnChange = TNotifyEvent::Lambda([this](TObject* sender) { Changed(sender); });
  return FBitmap;
}

TBitmap* TGIFImage::CachedBitmap() {
  if (GetEmpty()) return nullptr;
  if (FBitmap) return FBitmap;
  TGIFSubImage* first = Images().Frames(0);
  auto* bitmap = new TBitmap;
  try {
    if (first->Width() == GetWidth() && first->Height() == GetHeight() && FrameBitmap(first)) {
      bitmap->Assign(FrameBitmap(first));
    } else {
      bitmap->SetPalette(CopyPalette(GetPalette()));
      bitmap->SetSize(GetWidth(), GetHeight());
      PaintFrame(first, bitmap->Canvas(), RECT{0, 0, GetWidth(), GetHeight()}, false, false);
    }
  } catch (...) {
    delete bitmap;
    throw;
  }
  bitmap->OnChange = TNotifyEvent::Lambda([this](TObject* sender) { Changed(sender); });
  FBitmap = bitmap;
  return FBitmap;
}

void TGIFImage::DropCachedBitmap() {
  if (FPainter) FPainter->StopPlaying();
  FreeCachedBitmap();
}

void TGIFImage::FreeCachedBitmap() {
  delete FBitmap;
  FBitmap = nullptr;
  FBitmapAnimated = false;
}

void TGIFImage::Draw(TCanvas* canvas, const RECT& r) {
  if (FDrawing || GetEmpty()) return;
  TDrawingGuard guard(FDrawing);
  auto drawCached = [&] {
    if (PaintOptions.Contains(paTile)) {
      for (int x = r.left; x < r.right; x += std::max(1, GetWidth()))
        for (int y = r.top; y < r.bottom; y += std::max(1, GetHeight()))
          canvas->StretchDraw(RECT{x, y, x + GetWidth(), y + GetHeight()}, FBitmap);
    } else {
      canvas->StretchDraw(r, FBitmap);
    }
  };
  if (Images().Count() == 1 || !PaintOptions.Contains(paAnimate)) {
    const int index = StillFrame >= 0 && StillFrame < Images().Count() ? StillFrame : 0;
    PaintFrame(Images().Frames(index), canvas, r, PaintOptions.Contains(paTransparent), PaintOptions.Contains(paTile));
    return;
  }
  // The buffer of a painter this picture started keeps showing the
  // animation (also after a finite one has ended); a bitmap made for other
  // uses (clipboard, conversion) must not stop the animation from starting.
  if (FBitmap && FBitmapAnimated && !PaintOptions.Contains(paDirect)) {
    drawCached();
    return;
  }
  TGIFPainter* started = nullptr;
  {
    std::lock_guard<TCriticalSection> lock(FPainterLock);
    if (FPainter && FPainter->FCanvas == canvas && EqualRect(&FPainter->FRect, &r)) return;
  }
  StopOwnPainter();
  if (PaintOptions.Contains(paDirect)) {
    started = StartPainter(&FPainter, canvas, PaintOptions, r);
  } else {
    MakeCachedBitmap();
    const RECT all{0, 0, GetWidth(), GetHeight()};
    FBitmap->Canvas()->CopyRect(all, canvas, r);
    started = StartPainter(&FPainter, FBitmap->Canvas(), PaintOptions, all);
    FBitmapAnimated = true;
  }
  if (started) started->StartPlaying();
  if (PaintOptions.Contains(paDirect)) return;
  for (;;) {
    {
      std::lock_guard<TCriticalSection> lock(FPainterLock);
      if (!FPainter || FPainter->Terminated() || FPainter->FStarted) break;
    }
    if (!CheckSynchronize()) Sleep(0);
  }
  if (FBitmap) drawCached();
}

TGIFPainter* TGIFImage::StartPainter(TGIFPainter** reference, TCanvas* canvas, TGIFPaintOptions options,
                                     const RECT& r) {
  if (reference) *reference = nullptr;
  if (GetEmpty() || IsRectEmpty(&r)) return nullptr;
  if (Images().Count() == 1) options = options - paThreaded - paAnimate;
  auto* painter = New<TGIFPainter>(this, options, r, canvas, reference);
  {
    std::lock_guard<TCriticalSection> lock(FPainterLock);
    FPainters.push_back(painter);
  }
  painter->OnPlayStart = OnPlayStart;
  painter->OnFrameShow = OnFrameShow;
  painter->OnFrameShown = OnFrameShown;
  painter->OnPlayLoop = OnPlayLoop;
  painter->OnPlayEnd = OnPlayEnd;
  if (options.Contains(paThreaded)) {
    painter->SetPriority(PainterPriority);
    return painter;
  }
  std::exception_ptr error;
  painter->Play();
  error = painter->FError;
  painter->FError = nullptr;
  painter->ReleasePainter(painter);
  Free(painter);
  if (reference) *reference = nullptr;
  if (error) std::rethrow_exception(error);
  return nullptr;
}

int TGIFImage::PainterCount() {
  std::lock_guard<TCriticalSection> lock(FPainterLock);
  return static_cast<int>(FPainters.size());
}

void TGIFImage::StopOwnPainter() {
  for (;;) {
    {
      std::lock_guard<TCriticalSection> lock(FPainterLock);
      if (!FPainter) break;
      FPainter->StopPlaying();
      if (!FPainter->Options().Contains(paThreaded)) break;
    }
    ServeWhileWaiting();
  }
  WaitForEndedThreads();
  FreeCachedBitmap();
}

void TGIFImage::StopAllPainters() {
  for (;;) {
    int threaded = 0;
    {
      std::lock_guard<TCriticalSection> lock(FPainterLock);
      if (FPainters.empty()) break;
      for (auto it = FPainters.rbegin(); it != FPainters.rend(); ++it) {
        (*it)->StopPlaying();
        if ((*it)->Options().Contains(paThreaded)) ++threaded;
      }
    }
    if (threaded == 0) break;
    ServeWhileWaiting();
  }
  WaitForEndedThreads();
  FreeCachedBitmap();
}

void TGIFImage::RemovePainter(TGIFPainter* painter, HANDLE thread) {
  std::lock_guard<TCriticalSection> lock(FPainterLock);
  if (FPainter == painter) FPainter = nullptr;
  FPainters.erase(std::remove(FPainters.begin(), FPainters.end(), painter), FPainters.end());
  if (thread) FEndingThreads.push_back(thread);
}

void TGIFImage::WaitForEndedThreads() {
  // A painter leaves the list just before its thread returns; waiting for
  // that too means a stopped picture leaves no thread behind.
  std::vector<HANDLE> threads;
  {
    std::lock_guard<TCriticalSection> lock(FPainterLock);
    threads.swap(FEndingThreads);
  }
  for (HANDLE h : threads) {
    while (WaitForSingleObject(h, 10) == WAIT_TIMEOUT) ServeWhileWaiting();
    CloseHandle(h);
  }
}

// --- conversion ------------------------------------------------------------

void TGIFImage::Assign(TPersistent* source) {
  if (source == this) return;
  if (!source) {
    ResetPicture();
    Changed(this);
    return;
  }
  if (auto* other = ObjectAs<TGIFImage>(source)) {
    ResetPicture();
    OnProgress = other->OnProgress;
    OnIssue = other->OnIssue;
    bool ok = false;
    try {
      Progress(this, psStarting, 0, false, RECT{}, "Copying...");
      Header().SetWidth(other->Header().Width());
      Header().SetHeight(other->Header().Height());
      Header().SetBackgroundColorIndex(other->Header().BackgroundColorIndex());
      Header().SetAspectRatio(other->Header().AspectRatio());
      Header().ColorMap().Assign(&other->Header().ColorMap());
      PainterPriority = other->PainterPriority;
      BackdropColor = other->BackdropColor;
      PaintOptions = other->PaintOptions;
      ReductionMethod = other->ReductionMethod;
      DitherKind = other->DitherKind;
      StillFrame = other->StillFrame;
      OnPlayStart = other->OnPlayStart;
      OnFrameShow = other->OnFrameShow;
      OnFrameShown = other->OnFrameShown;
      OnPlayLoop = other->OnPlayLoop;
      OnPlayEnd = other->OnPlayEnd;
      const int count = other->Images().Count();
      for (int i = 0; i < count; ++i) {
        auto* frame = new TGIFSubImage(this);
        try {
          frame->Assign(other->Images().Frames(i));
        } catch (...) {
          delete frame;
          throw;
        }
        AddFrame(frame);
        Progress(this, psRunning, static_cast<uint8_t>((i + 1) * 100 / count), false, RECT{}, "Copying...");
      }
      Header().PrepareScreenDescriptor();
      ok = true;
    } catch (...) {
      Progress(this, psEnding, 0, true, RECT{}, "Copying...");
      OnProgress = TProgressEvent();
      OnIssue = TGIFIssueEvent();
      throw;
    }
    Progress(this, psEnding, ok ? 100 : 0, true, RECT{}, "Copying...");
    OnProgress = TProgressEvent();
    OnIssue = TGIFIssueEvent();
    return;
  }
  if (auto* picture = ObjectAs<TPicture>(source)) {
    Assign(picture->Graphic());
    return;
  }
  if (ObjectAs<TGraphic>(source)) {
    ResetPicture();
    auto* frame = new TGIFSubImage(this);
    try {
      frame->Assign(source);
    } catch (const EConvertError&) {
      delete frame;
      TGraphic::Assign(source);
      return;
    } catch (...) {
      delete frame;
      throw;
    }
    AddFrame(frame);
    Header().PrepareScreenDescriptor();
    return;
  }
  TGraphic::Assign(source);
}

int TGIFImage::AddFrame(TPersistent* source) {
  TGIFSubImage* frame = ObjectAs<TGIFSubImage>(source);
  if (!frame) {
    if (!ObjectAs<TGraphic>(source)) RaiseGIFError("Object type not supported for operation");
    frame = new TGIFSubImage(this);
    try {
      frame->Assign(source);
    } catch (...) {
      delete frame;
      throw;
    }
  }
  // Painter threads read the frame list while they play: they end first.
  StopAllPainters();
  Images().Add(frame);
  DropCachedBitmap();
  Changed(this);
  return Images().Count() - 1;
}

void TGIFImage::OptimizeFrames(int steps, TGIFReductionMethod method, int depth, TGIFDitherKind kind) {
  (void)depth;
  (void)kind;
  if (GetEmpty()) return;
  StopAllPainters();
  std::lock_guard<TCriticalSection> lock(FPainterLock);
  // What the steps did stays done when a later one raises: the picture is
  // brought up to date either way.
  auto finish = [this](bool ok) {
    Header().PrepareScreenDescriptor();
    Progress(this, psEnding, ok ? 100 : 0, true, RECT{}, "Optimizing...");
    FreeCachedBitmap();
    Changed(this);
  };
  Progress(this, psStarting, 0, false, RECT{}, "Optimizing...");
  try {
    OptimizeFrameList(steps);
    // Colour reduction, the last step, reduces nothing here: it refuses a
    // custom palette, which it would have no source for.
    if ((steps & 16) && !(steps & 4) && method == rdCustomPalette) RaiseGIFError("Invalid reduction method");
  } catch (...) {
    finish(false);
    throw;
  }
  finish(true);
}

void TGIFImage::OptimizeProgress(int percent) {
  Progress(this, psRunning, static_cast<uint8_t>(percent), false, RECT{}, "Optimizing...");
}

namespace {

void DrawIntoBitmap(TBitmap* bitmap, TGraphic* graphic) {
  bitmap->SetSize(graphic->Width(), graphic->Height());
  bitmap->SetPixelFormat(pf24bit);
  bitmap->Canvas()->Draw(0, 0, graphic);
}

}  // namespace

bool TGIFImage::AssignFrame(TGIFSubImage* frame, TPersistent* source) {
  if (auto* bitmap = ObjectAs<TBitmap>(source)) {
    FrameFromBitmap(frame, bitmap);
    return true;
  }
  if (auto* picture = ObjectAs<TPicture>(source)) {
    frame->Assign(picture->Graphic());
    return true;
  }
  auto* graphic = ObjectAs<TGraphic>(source);
  if (!graphic) return false;
  frame->Clear();
  if (graphic->Empty()) return true;
  TBitmap temp;
  const bool drawFirst = ObjectAs<TIcon>(graphic) || ObjectAs<TMetafile>(graphic);
  try {
    if (drawFirst)
      DrawIntoBitmap(&temp, graphic);
    else
      temp.Assign(graphic);
  } catch (const Exception&) {
    if (drawFirst)
      temp.Assign(graphic);
    else
      DrawIntoBitmap(&temp, graphic);
  }
  FrameFromBitmap(frame, &temp);
  if (auto* icon = ObjectAs<TIcon>(graphic)) {
    ICONINFO info{};
    if (GetIconInfo(icon->Handle(), &info)) {
      TGdiObject mask(info.hbmMask), color(info.hbmColor);
      ApplyMaskHandle(frame, info.hbmMask);
    }
  } else if (ObjectAs<TMetafile>(graphic)) {
    // Uncovered pixels differ between a white and a black backdrop.
    TBitmap white, black;
    for (TBitmap* b : {&white, &black}) {
      b->SetSize(graphic->Width(), graphic->Height());
      b->SetPixelFormat(pf24bit);
      b->Canvas()->Brush()->SetColor(b == &white ? clWhite : clBlack);
      b->Canvas()->FillRect(RECT{0, 0, graphic->Width(), graphic->Height()});
      b->Canvas()->Draw(0, 0, graphic);
    }
    white.Canvas()->SetCopyMode(SRCINVERT);
    white.Canvas()->Draw(0, 0, &black);
    white.Canvas()->SetCopyMode(SRCCOPY);
    ApplyMaskBitmap(frame, &white);
  }
  return true;
}

void TGIFImage::AssignTo(TPersistent* dest) {
  // Drawing into the bitmap would start a painter for an animation.
  if (auto* bitmap = ObjectAs<TBitmap>(dest)) {
    bitmap->Assign(CachedBitmap());
    return;
  }
  TGraphic::AssignTo(dest);
}

bool TGIFImage::AssignFrameTo(TGIFSubImage* frame, TPersistent* dest) {
  auto* bitmap = ObjectAs<TBitmap>(dest);
  if (!bitmap) return false;
  bitmap->Assign(FrameBitmap(frame));
  return true;
}

void TGIFImage::FrameFromBitmap(TGIFSubImage* frame, TBitmap* source) {
  frame->Clear();
  if (source->Empty()) return;
  frame->SetFrameBounds(frame->Left(), frame->Top(), source->Width(), source->Height());
  std::unique_ptr<TBitmap> reduced;
  TBitmap* bitmap = nullptr;
  const int bits = source->BitsPerPixel();
  reduced = std::make_unique<TBitmap>();
  if (bits == 1 || bits == 4 || bits == 8) {
    reduced->Assign(source);
  } else {
    reduced.reset(ReduceBitmapColors(source, ReductionMethod, DitherKind, nullptr, ReductionDepth));
  }
  bitmap = reduced.get();
  frame->AllocatePixels();
  Progress(frame, psStarting, 0, false, RECT{}, "Converting...");
  try {
    const int w = frame->Width(), h = frame->Height();
    int format = bitmap->BitsPerPixel();
    if (format != 1 && format != 4 && format != 8 && format != 24) format = 24;
    TDIBReader reader(bitmap, format == 1 ? pf1bit : format == 4 ? pf4bit : format == 8 ? pf8bit : pf24bit);
    if (format != 24) {
      // The colour table of the bitmap is its palette's entries.
      PALETTEENTRY entries[256] = {};
      const UINT n = bitmap->GetPalette() ? GetPaletteEntries(bitmap->GetPalette(), 0, 256, entries) : 0;
      std::vector<uint8_t> quads(4 * std::max<UINT>(n, 1));
      for (UINT i = 0; i < n; ++i) {
        quads[4 * i] = entries[i].peBlue;
        quads[4 * i + 1] = entries[i].peGreen;
        quads[4 * i + 2] = entries[i].peRed;
      }
      frame->ColorMap().FromColorTable(quads.data(), static_cast<int>(std::min<UINT>(n, 1u << format)));
    }
    struct TSlot {
      uint32_t Color;
      int Index;
    };
    TSlot cache[8];
    int used = 0, current = 0;
    std::vector<TGIFColor> found;
    for (int y = 0; y < h; ++y) {
      const uint8_t* row = reader.RowAt(y);
      uint8_t* out = frame->Data() + static_cast<size_t>(y) * w;
      switch (format) {
        case 8: std::memcpy(out, row, w); break;
        case 4:
          for (int x = 0; x < w; ++x) out[x] = (x & 1) ? (row[x / 2] & 0x0F) : (row[x / 2] >> 4);
          break;
        case 1:
          for (int x = 0; x < w; ++x) out[x] = (row[x / 8] >> (7 - (x & 7))) & 1;
          break;
        default:
          for (int x = 0; x < w; ++x) {
            const uint8_t* p = row + 3 * x;
            const uint32_t color = p[0] | (p[1] << 8) | (p[2] << 16);
            int hit = -1;
            // Recently met colours first: pictures repeat colours in runs.
            for (int k = 0, s = current; k < used; ++k, s = (s + 7) % 8) {
              if (cache[s].Color == color) {
                hit = s;
                break;
              }
            }
            if (hit >= 0) {
              current = hit;
            } else {
              // Kept as blue, green, red until the end of the scan.
              const int index = frame->ColorMap().AppendUnique(TGIFColor{p[0], p[1], p[2]});
              current = used == 0 ? 0 : (current + 1) % 8;
              cache[current] = TSlot{color, index};
              used = std::min(used + 1, 8);
            }
            out[x] = static_cast<uint8_t>(cache[current].Index);
          }
          break;
      }
      if (y % 32 == 0) Progress(frame, psRunning, static_cast<uint8_t>(y * 100 / h), false, RECT{}, "Converting...");
    }
    if (format == 24) {
      TGIFColorMap& map = frame->ColorMap();
      std::vector<uint8_t> quads(4 * map.Count());
      for (int i = 0; i < map.Count(); ++i) {
        const TGIFColor c = map.ColorAt(i);
        // Stored as read (blue, green, red): as RGBQUAD bytes they are right.
        quads[4 * i] = c.Red;
        quads[4 * i + 1] = c.Green;
        quads[4 * i + 2] = c.Blue;
      }
      map.FromColorTable(quads.data(), map.Count());
    }
    Render(frame)->Bitmap = std::move(reduced);
    if (source->Transparent()) ApplyMaskHandle(frame, source->MaskHandle());
  } catch (...) {
    Progress(frame, psEnding, 0, PaletteModified(), RECT{}, "Converting...");
    throw;
  }
  Progress(frame, psEnding, 100, PaletteModified(), RECT{}, "Converting...");
}

void TGIFImage::ApplyMaskHandle(TGIFSubImage* frame, HBITMAP mask) {
  if (!mask) return;
  TBitmap temp;
  temp.SetHandle(static_cast<HBITMAP>(CopyImage(mask, IMAGE_BITMAP, 0, 0, 0)));
  ApplyMaskBitmap(frame, &temp);
}

void TGIFImage::ApplyMaskBitmap(TGIFSubImage* frame, TBitmap* mask) {
  TGIFColorMap& map = frame->ColorMap();
  map.SortUsage();
  if (map.Count() < 1 || map.Count() > 255 || frame->IsEmpty()) return;
  const int t = map.AppendColor(TGIFColor{});
  // Read as colours: any pixel that is not black is set, whatever the
  // mask's own format and colour table.
  TDIBReader reader(mask, pf24bit);
  bool changed = false;
  const int w = std::min(frame->Width(), reader.Width()), h = std::min(frame->Height(), reader.Height());
  for (int y = 0; y < h; ++y) {
    const uint8_t* m = reader.RowAt(y);
    uint8_t* p = frame->Data() + static_cast<size_t>(y) * frame->Width();
    for (int x = 0; x < w; ++x) {
      if ((m[3 * x] | m[3 * x + 1] | m[3 * x + 2]) == 0) continue;
      p[x] = static_cast<uint8_t>(t);
      changed = true;
    }
  }
  if (!changed) {
    map.RemoveColor(t);
    return;
  }
  auto* gce = new TGIFGraphicControlExtension(frame);
  frame->Extensions().Add(gce);
  if (frame->GraphicControl() == gce) {
    gce->SetTransparent(true);
    gce->SetTransparentColorIndex(static_cast<uint8_t>(t));
  }
  frame->DropRenderCache();
}

// --- clipboard -------------------------------------------------------------

void TGIFImage::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) {
  if (!data) data = GetClipboardData(format);
  if (format == GIFClipboardFormat && data) {
    const SIZE_T size = GlobalSize(data);
    const void* bytes = GlobalLock(data);
    if (!bytes) RaiseGIFError("Unsupported clipboard format");
    TMemoryStream stream;
    try {
      stream.WriteBuffer(bytes, static_cast<int32_t>(size));
    } catch (...) {
      GlobalUnlock(data);
      throw;
    }
    GlobalUnlock(data);
    stream.SetPosition(0);
    LoadFromStream(stream);
    return;
  }
  if (format == CF_BITMAP && data) {
    TBitmap bitmap;
    bitmap.LoadFromClipboardFormat(format, data, palette);
    Assign(&bitmap);
    return;
  }
  RaiseGIFError("Unsupported clipboard format");
}

void TGIFImage::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) {
  if (GetEmpty()) return;
  UINT bitmapFormat = 0;
  HANDLE bitmapData = nullptr;
  HPALETTE bitmapPalette = nullptr;
  CachedBitmap()->SaveToClipboardFormat(bitmapFormat, bitmapData, bitmapPalette);
  // The bitmap reaches the caller only once the GIF block is on the
  // clipboard; on a failure nobody would place or free it.
  try {
    TMemoryStream stream;
    SaveToStream(stream);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, static_cast<SIZE_T>(stream.Size()));
    if (!block) throw EOutOfMemory("Failed to store GIF on clipboard");
    void* bytes = GlobalLock(block);
    if (!bytes) {
      GlobalFree(block);
      throw EOutOfMemory("Failed to store GIF on clipboard");
    }
    std::memcpy(bytes, stream.Memory(), static_cast<size_t>(stream.Size()));
    GlobalUnlock(block);
    if (!SetClipboardData(GIFClipboardFormat, block)) {
      GlobalFree(block);
      RaiseGIFError("Failed to store GIF on clipboard");
    }
  } catch (...) {
    if (bitmapData) DeleteObject(bitmapData);
    if (bitmapPalette) DeleteObject(bitmapPalette);
    throw;
  }
  format = bitmapFormat;
  data = bitmapData;
  palette = bitmapPalette;
}

// ---------------------------------------------------------------------------
// The painter.

namespace {
TObject* CreateNoPainter(TObject*) { return nullptr; }
}  // namespace

const TClassInfo TGIFPainter::ClassInfo = {"TGIFPainter", &TThread::ClassInfo, &CreateNoPainter};

TGIFPainter::TGIFPainter(TGIFImage* image, TGIFPaintOptions options, const RECT& r, TCanvas* canvas,
                         TGIFPainter** reference)
    : TThread(true), FImage(image), FCanvas(canvas), FRect(r), FOptions(options), FSpeed(image->PlaybackSpeed),
      FReference(reference), FClock(GIFPainterClock ? GIFPainterClock : &RealClock) {
  SetFreeOnTerminate(options.Contains(paThreaded));
  OnTerminate = TNotifyEvent::Bind<&TGIFPainter::ReleasePainter>(this);
  if (reference) *reference = this;
  if (options.Contains(paThreaded) && options.Contains(paAnimate) && image->Images().Count() > 1 && FSpeed >= 0)
    FWake = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (image->BackdropColor != clNone)
    FBackgroundColor = static_cast<TColor>(ResolveColor(image->BackdropColor, clWindow));
  else if (image->Header().ColorMap().Count() > 0)
    FBackgroundColor = image->BackgroundColor();
  else
    FBackgroundColor = static_cast<TColor>(ResolveColor(clWindow, clWindow));
  unsigned disposals = options.Contains(paClearOnPass) ? 4u : 0u;
  for (int i = 0; i < image->Images().Count(); ++i)
    if (TGIFGraphicControlExtension* gce = image->Images().Frames(i)->GraphicControl()) disposals |= 1u << gce->Disposal();
  const int w = r.right - r.left, h = r.bottom - r.top;
  const RECT all{0, 0, w, h};
  auto makeBuffer = [&](bool copyTarget) {
    auto* b = new TBitmap;
    b->SetSize(w, h);
    b->Canvas()->SetCopyMode(SRCCOPY);
    b->Canvas()->Brush()->SetColor(FBackgroundColor);
    b->Canvas()->Brush()->SetStyle(bsSolid);
    if (copyTarget) b->Canvas()->CopyRect(all, canvas, r);
    return b;
  };
  if ((disposals & 4u) && options.Contains(paTransparent)) FBackground = makeBuffer(true);
  if (disposals & 12u) {
    FBuffer = makeBuffer(true);
    FFrameBuffer = makeBuffer(false);
  }
}

TGIFPainter::~TGIFPainter() {
  // Runs on the painter's own thread when it frees itself: GDI objects are
  // gone by now (ReleasePainter, on the GUI thread).
  if (FWake) CloseHandle(FWake);
}

std::vector<HGDIOBJ> TGIFPainter::GdiObjects() const {
  std::vector<HGDIOBJ> objects;
  for (TBitmap* b : {FBuffer, FFrameBuffer, FBackground})
    if (b) objects.push_back(b->Handle());
  return objects;
}

void TGIFPainter::StartPlaying() {
  if (FOptions.Contains(paThreaded)) Start();
}

void TGIFPainter::StopPlaying() {
  Terminate();
  if (!FOptions.Contains(paThreaded)) return;
  if (FWake) SetEvent(FWake);
  SetPriority(tpNormal);
  if (Suspended()) Start();
}

void TGIFPainter::ReleasePainter(TObject*) {
  if (FImage) {
    HANDLE thread = nullptr;
    if (FOptions.Contains(paThreaded))
      DuplicateHandle(GetCurrentProcess(), Handle(), GetCurrentProcess(), &thread, SYNCHRONIZE, FALSE, 0);
    {
      std::lock_guard<TCriticalSection> lock(FImage->FPainterLock);
      if (FReference && *FReference == this) *FReference = nullptr;
    }
    FImage->RemovePainter(this, thread);
    FImage = nullptr;
  }
  delete FBuffer;
  delete FFrameBuffer;
  delete FBackground;
  FBuffer = FFrameBuffer = FBackground = nullptr;
  if (FError) {
    // A stored playback error must not end the program: it goes to the
    // application's error handler.
    std::exception_ptr error = FError;
    FError = nullptr;
    try {
      std::rethrow_exception(error);
    } catch (...) {
      HandleCallbackException(this);
    }
  }
}

void TGIFPainter::OnUIThread(const TThreadMethod& step) {
  if (Terminated()) return;
  if (!FOptions.Contains(paThreaded)) {
    step();
    return;
  }
  // The step may wait in the queue while the GUI thread stops the painter
  // and frees the target (a dropped buffer bitmap): it checks again there.
  Synchronize(TThreadMethod::Lambda([this, &step] {
    if (!Terminated()) step();
  }));
}

void TGIFPainter::FireHandler(TNotifyEvent& handler) {
  if (!handler) return;
  OnUIThread(TThreadMethod::Lambda([&] { handler(this); }));
}

void TGIFPainter::Execute() {
  try {
    if (FOptions.Contains(paCheckCanvas))
      OnUIThread(TThreadMethod::Lambda([this] { FTargetDC = FCanvas->Handle(); }));
    const bool threaded = FOptions.Contains(paThreaded);
    ActiveImage = 0;
    FireHandler(OnPlayStart);
    FStarted = false;
    int loops = 1, loopPoint = 0;
    bool loopSeen = false;
    FPendingDelay = threaded ? 0 : 1;
    FPreviousDisposal = 1;
    FTimeMark = FClock->Now();
    FCarriedDelay = 0;
    auto frameAt = [this](int i) -> TGIFSubImage* {
      return FImage && i >= 0 && i < FImage->Images().Count() ? FImage->Images().Frames(i) : nullptr;
    };
    while ((loops != 0 || FOptions.Contains(paLoopForever)) && !Terminated()) {
      ActiveImage = loopPoint;
      if (FStarted) FireHandler(OnPlayLoop);
      bool reachedFrame = false;
      for (TGIFSubImage* frame = frameAt(ActiveImage); frame && !frame->IsEmpty() && !Terminated();
           frame = frameAt(ActiveImage)) {
        reachedFrame = true;
        WaitBeforeFrame();
        if (Terminated()) break;
        FireHandler(OnFrameShow);
        if (Terminated()) break;
        frame = frameAt(ActiveImage);
        if (!frame) break;
        FDisposal = 1;
        for (int e = 0; e < frame->Extensions().Count(); ++e) {
          TGIFExtension* ext = frame->Extensions().Extensions(e);
          if (auto* loop = ObjectAs<TGIFAppExtNSLoop>(ext)) {
            if (!loopSeen) {
              loopSeen = true;
              loops = loop->Loops;
              if ((loops == 0 || FOptions.Contains(paLoopForever)) && threaded) loops = -1;
              loopPoint = ActiveImage;
            }
          } else if (auto* gce = ObjectAs<TGIFGraphicControlExtension>(ext)) {
            FDisposal = gce->Disposal();
          }
        }
        OnUIThread(TThreadMethod::Lambda([this] {
          if (FBuffer)
            PaintComposed();
          else
            PaintDirect();
        }));
        FPreviousDisposal = FDisposal;
        if (Terminated()) break;
        FPendingDelay = FrameDelayDefault;
        if (TGIFGraphicControlExtension* gce = frame->GraphicControl(); gce && gce->Delay() != 0) {
          FPendingDelay = std::max<int>(gce->Delay(), FrameDelayFloor);
          if (!threaded) FPendingDelay = std::min(FPendingDelay, FrameDelayCeiling);
        }
        const int shown = ActiveImage;
        FireHandler(OnFrameShown);
        if (Terminated()) break;
        if (ActiveImage == shown) ++ActiveImage;
        if (!FOptions.Contains(paAnimate)) break;
      }
      if (loops > 0) --loops;
      if (!(FOptions.Contains(paAnimate) && FOptions.Contains(paLoop))) break;
      // A pass that met no frame to show (an empty frame at the loop point)
      // would be followed by the same, at once and without waiting.
      if (!reachedFrame) break;
    }
    ActiveImage = -1;
    FireHandler(OnPlayEnd);
  } catch (const Exception&) {
    Terminate();
    FError = std::current_exception();
  }
}

bool TGIFPainter::WaitBeforeFrame() {
  const bool threaded = FOptions.Contains(paThreaded);
  if (FPendingDelay < 1) {
    Sleep(0);
    return true;
  }
  // Rendering the next frame inside its wait keeps the pace; the bitmap
  // belongs to the picture, so it is built on the GUI thread.
  OnUIThread(TThreadMethod::Lambda([this] {
    if (FImage && ActiveImage >= 0 && ActiveImage < FImage->Images().Count())
      FImage->FrameBitmap(FImage->Images().Frames(ActiveImage));
  }));
  const DWORD now = FClock->Now();
  int wait;
  if (FSpeed < 1) {
    wait = threaded ? -1 : FrameDelayCeiling * FrameDelayScale;
  } else {
    const int overshoot = static_cast<int>(now - (FTimeMark + static_cast<DWORD>(FCarriedDelay)));
    wait = MulDiv(FPendingDelay * FrameDelayScale - overshoot / 2, 100, FSpeed);
    FCarriedDelay = wait;
  }
  FTimeMark = now;
  if (threaded) {
    if (wait > 0 || FSpeed == 0) {
      if (FClock->Wait(FWake, wait < 0 ? INFINITE : static_cast<DWORD>(wait))) {
        FCarriedDelay = 0;
        FTimeMark = FClock->Now();
      }
    }
    return true;
  }
  wait = std::max(wait, 1);
  DWORD mark = FClock->Now();
  while (wait > 0 && !Terminated()) {
    FClock->Wait(nullptr, static_cast<DWORD>(std::min(wait, 100)));
    const DWORD later = FClock->Now();
    wait -= static_cast<int>(later - mark);
    mark = later;
    MSG msg;
    while (!Terminated() && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        Terminate();
        break;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  return true;
}

void TGIFPainter::PaintDirect() {
  if (!FImage) return;
  FImage->PaintFrame(FImage->Images().Frames(ActiveImage), FCanvas, FRect, FOptions.Contains(paTransparent),
                     FOptions.Contains(paTile));
  FStarted = true;
}

void TGIFPainter::PaintComposed() {
  if (!FImage) return;
  if (FOptions.Contains(paCheckCanvas) && GetObjectType(FTargetDC) != OBJ_DC) {
    Terminate();
    return;
  }
  TGIFSubImage* frame = FImage->Images().Frames(ActiveImage);
  const bool resetFirst = FOptions.Contains(paClearOnPass) && ActiveImage == 0;
  const int w = FRect.right - FRect.left, h = FRect.bottom - FRect.top;
  const RECT all{0, 0, w, h};
  TCanvas* surface = nullptr;
  RECT area = all;
  bool copy = true;
  if (FDisposal == 0 || FDisposal == 1 || FDisposal == 2) {
    surface = FBuffer->Canvas();
  } else if (FDisposal == 3 && (FPreviousDisposal == 0 || FPreviousDisposal == 1)) {
    surface = FCanvas;
    area = FRect;
    copy = false;
  } else if (FDisposal == 3 && (FPreviousDisposal == 2 || FPreviousDisposal == 3)) {
    FFrameBuffer->Canvas()->CopyRect(all, FBuffer->Canvas(), all);
    surface = FFrameBuffer->Canvas();
  } else {
    return;
  }
  HDC dc = surface->Handle();
  HPALETTE palette = FImage->FramePalette(frame);
  HPALETTE old = SelectPalette(dc, palette ? palette : static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
  RealizePalette(dc);
  if (resetFirst) ResetToBackground();
  FImage->PaintFrame(frame, surface, area, FOptions.Contains(paTransparent), FOptions.Contains(paTile));
  if (copy) FCanvas->CopyRect(FRect, surface, all);
  SelectPalette(dc, old, FALSE);
  if (FDisposal == 2) ResetToBackground();
  FStarted = true;
}

void TGIFPainter::ResetToBackground() {
  TGIFSubImage* frame = FImage->Images().Frames(ActiveImage);
  const int w = FRect.right - FRect.left, h = FRect.bottom - FRect.top;
  const RECT all{0, 0, w, h};
  std::vector<RECT> areas;
  const bool tile = FOptions.Contains(paTile);
  if (tile) {
    for (int x = frame->Left(); x < w; x += std::max(1, FImage->GetWidth()))
      for (int y = frame->Top(); y < h; y += std::max(1, FImage->GetHeight()))
        areas.push_back(RECT{x, y, x + frame->Width(), y + frame->Height()});
  } else {
    areas.push_back(FImage->PlaceInRect(frame, all));
  }
  TCanvas* buffer = FBuffer->Canvas();
  for (const RECT& a : areas) {
    if (FOptions.Contains(paTransparent) && FBackground)
      buffer->CopyRect(a, FBackground->Canvas(), a);
    else
      buffer->FillRect(a);
  }
}
