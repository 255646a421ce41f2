#include "platform/Graphics.h"

#include "platform/Bitmap.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

void TSelectObjectGuard::Select(HDC dc, HGDIOBJ object) {
  if (FDC && FDC != dc) Restore();
  HGDIOBJ previous = SelectObject(dc, object);
  if (!FDC) {
    FDC = dc;
    FPrevious = previous;
  }
}

void TSelectObjectGuard::Restore() {
  if (!FDC) return;
  SelectObject(FDC, FPrevious);
  FDC = nullptr;
  FPrevious = nullptr;
}

TMemoryDC::TMemoryDC(HDC reference) : FDC(CreateCompatibleDC(reference)) {
  if (!FDC) RaiseLastGDIError();
  HandleCreated(hkDeviceContext);
}

void RaiseLastGDIError() {
  DWORD code = GetLastError();
  char text[512] = {};
  if (code && FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                             sizeof text, nullptr)) {
    AnsiString message = TrimRight(text);
    if (!message.empty()) throw EOutOfResources(message);
  }
  throw EOutOfResources("Out of system resources");
}

COLORREF ResolveColor(TColor color, TColor defaultColor) {
  if (color == clDefault) color = defaultColor;
  return ColorToRGB(color) & 0x00FFFFFF;
}

// ---------------------------------------------------------------------------
// Shared handles: one GDI object per distinct description. The table holds
// weak references, so a handle is deleted when its last user lets go.

struct TGraphicsResource {
  TGdiObject Handle;
  std::string Key;  // empty for adopted handles, which are never shared
  ~TGraphicsResource();
};

namespace {

std::mutex& ResourceLock() {
  static auto* lock = new std::mutex();  // outlives every static font
  return *lock;
}

std::map<std::string, std::weak_ptr<TGraphicsResource>>& ResourceTable() {
  static auto* table = new std::map<std::string, std::weak_ptr<TGraphicsResource>>();
  return *table;
}

}  // namespace

TGraphicsResource::~TGraphicsResource() {
  if (Key.empty()) return;
  std::lock_guard<std::mutex> guard(ResourceLock());
  auto& table = ResourceTable();
  auto it = table.find(Key);
  // Another resource with this key may have replaced the expired entry.
  if (it != table.end() && it->second.expired()) table.erase(it);
}

const TClassInfo TGraphicsObject::ClassInfo = {"TGraphicsObject", &TPersistent::ClassInfo, nullptr};

void TGraphicsObject::DataChanged() {
  std::shared_ptr<TGraphicsResource> previous = std::move(FResource);
  FResource.reset();
  Changed();
  // `previous` goes here, after every canvas has deselected it.
}

void TGraphicsObject::Changed() { FireEvent(OnChange, this); }

HGDIOBJ TGraphicsObject::SharedHandle(const std::string& key, HGDIOBJ (*create)(const void*), const void* data) {
  {
    std::lock_guard<std::mutex> guard(ResourceLock());
    auto it = ResourceTable().find(key);
    if (it != ResourceTable().end()) FResource = it->second.lock();
  }
  if (!FResource) {
    auto resource = std::make_shared<TGraphicsResource>();
    resource->Handle.Reset(CheckGDI(create(data)));
    resource->Key = key;
    std::lock_guard<std::mutex> guard(ResourceLock());
    ResourceTable()[key] = resource;
    FResource = std::move(resource);
  }
  return FResource->Handle.Get();
}

HGDIOBJ TGraphicsObject::CurrentHandle() const { return FResource ? FResource->Handle.Get() : nullptr; }

void TGraphicsObject::AdoptHandle(HGDIOBJ handle) {
  auto resource = std::make_shared<TGraphicsResource>();
  resource->Handle.Reset(handle);
  std::shared_ptr<TGraphicsResource> previous = std::move(FResource);
  FResource = std::move(resource);
  Changed();
}

namespace {

template <class T>
std::string KeyOf(char kind, const T& data) {
  std::string key(1, kind);
  key.append(reinterpret_cast<const char*>(&data), sizeof data);
  return key;
}

int ScreenPixelsPerInch() {
  static const int ppi = [] {
    TScreenDC dc;
    int value = dc.Get() ? GetDeviceCaps(dc.Get(), LOGPIXELSY) : 0;
    return value > 0 ? value : 96;
  }();
  return ppi;
}

}  // namespace

// ---------------------------------------------------------------------------
// TFont

const TClassInfo TFont::ClassInfo = {"TFont", &TGraphicsObject::ClassInfo,
                                     [](TObject*) -> TObject* { return new TFont(); }};

TFont::TFont() {
  FPixelsPerInch = ScreenPixelsPerInch();
  LOGFONTA font{};
  if (::GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font) == sizeof font) {
    SetFromLogFont(font);
  } else {
    FName = "Tahoma";
    FHeight = -11;
  }
}

void TFont::SetFromLogFont(const LOGFONTA& font) {
  FHeight = font.lfHeight;
  FName.assign(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE));
  FStyle = TFontStyles();
  if (font.lfWeight >= FW_BOLD) FStyle += TFontStyle::fsBold;
  if (font.lfItalic) FStyle += TFontStyle::fsItalic;
  if (font.lfUnderline) FStyle += TFontStyle::fsUnderline;
  if (font.lfStrikeOut) FStyle += TFontStyle::fsStrikeOut;
  FCharset = font.lfCharSet;
  switch (font.lfPitchAndFamily & 3) {
    case VARIABLE_PITCH: FPitch = TFontPitch::fpVariable; break;
    case FIXED_PITCH: FPitch = TFontPitch::fpFixed; break;
    default: FPitch = TFontPitch::fpDefault; break;
  }
  FOrientation = font.lfOrientation;
}

LOGFONTA TFont::LogFont() const {
  LOGFONTA font{};
  font.lfHeight = FHeight;
  font.lfEscapement = FOrientation;
  font.lfOrientation = FOrientation;
  font.lfWeight = FStyle.Contains(TFontStyle::fsBold) ? FW_BOLD : FW_NORMAL;
  font.lfItalic = FStyle.Contains(TFontStyle::fsItalic);
  font.lfUnderline = FStyle.Contains(TFontStyle::fsUnderline);
  font.lfStrikeOut = FStyle.Contains(TFontStyle::fsStrikeOut);
  font.lfCharSet = FCharset;
  font.lfOutPrecision = OUT_DEFAULT_PRECIS;
  font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  font.lfQuality = DEFAULT_QUALITY;
  font.lfPitchAndFamily = FPitch == TFontPitch::fpVariable ? VARIABLE_PITCH
                          : FPitch == TFontPitch::fpFixed  ? FIXED_PITCH
                                                           : DEFAULT_PITCH;
  std::memcpy(font.lfFaceName, FName.data(), std::min<size_t>(FName.size(), LF_FACESIZE - 1));
  return font;
}

HFONT TFont::Handle() {
  if (HGDIOBJ current = CurrentHandle()) return static_cast<HFONT>(current);
  LOGFONTA font = LogFont();
  return static_cast<HFONT>(SharedHandle(
      KeyOf('F', font), [](const void* data) -> HGDIOBJ { return CreateFontIndirectA(static_cast<const LOGFONTA*>(data)); },
      &font));
}

void TFont::SetHandle(HFONT font) {
  LOGFONTA data{};
  if (font && ::GetObjectA(font, sizeof data, &data) == sizeof data) SetFromLogFont(data);
  AdoptHandle(font);
}

void TFont::Assign(TPersistent* source) {
  if (auto* font = ObjectAs<TFont>(source)) {
    if (font == this) return;
    FColor = font->FColor;
    FHeight = font->FHeight;
    FName = font->FName;
    FStyle = font->FStyle;
    FCharset = font->FCharset;
    FPitch = font->FPitch;
    FOrientation = font->FOrientation;
    FPixelsPerInch = font->FPixelsPerInch;
    std::shared_ptr<TGraphicsResource> previous = std::move(FResource);
    FResource = font->FResource;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

void TFont::SetColor(TColor value) {
  if (FColor == value) return;
  FColor = value;
  Changed();  // the colour is not part of the handle
}

void TFont::SetHeight(int value) {
  if (FHeight == value) return;
  FHeight = value;
  DataChanged();
}

int TFont::Size() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int points) { SetHeight(-MulDiv(points, FPixelsPerInch, 72)); }

void TFont::SetName(const AnsiString& value) {
  if (FName == value || value.empty()) return;
  FName = value.substr(0, LF_FACESIZE - 1);
  DataChanged();
}

void TFont::SetStyle(TFontStyles value) {
  if (FStyle == value) return;
  FStyle = value;
  DataChanged();
}

void TFont::SetCharset(TFontCharset value) {
  if (FCharset == value) return;
  FCharset = value;
  DataChanged();
}

void TFont::SetPitch(TFontPitch value) {
  if (FPitch == value) return;
  FPitch = value;
  DataChanged();
}

void TFont::SetOrientation(int tenthsOfDegree) {
  if (FOrientation == tenthsOfDegree) return;
  FOrientation = tenthsOfDegree;
  DataChanged();
}

// ---------------------------------------------------------------------------
// TPen

const int PenModes[16] = {R2_BLACK,       R2_WHITE,       R2_NOP,         R2_NOT,
                          R2_COPYPEN,     R2_NOTCOPYPEN,  R2_MERGEPENNOT, R2_MASKPENNOT,
                          R2_MERGENOTPEN, R2_MASKNOTPEN,  R2_MERGEPEN,    R2_NOTMERGEPEN,
                          R2_MASKPEN,     R2_NOTMASKPEN,  R2_XORPEN,      R2_NOTXORPEN};

const TClassInfo TPen::ClassInfo = {"TPen", &TGraphicsObject::ClassInfo,
                                    [](TObject*) -> TObject* { return new TPen(); }};

HPEN TPen::Handle() {
  if (HGDIOBJ current = CurrentHandle()) return static_cast<HPEN>(current);
  LOGPEN pen{};
  pen.lopnStyle = FColor == clNone ? PS_NULL : static_cast<UINT>(FStyle);
  pen.lopnWidth.x = FWidth;
  pen.lopnColor = FColor == clNone ? 0 : ResolveColor(FColor, clWindowText);
  return static_cast<HPEN>(SharedHandle(
      KeyOf('P', pen), [](const void* data) -> HGDIOBJ { return CreatePenIndirect(static_cast<const LOGPEN*>(data)); },
      &pen));
}

void TPen::SetHandle(HPEN pen) {
  LOGPEN data{};
  if (pen && ::GetObjectA(pen, sizeof data, &data) == sizeof data) {
    FColor = data.lopnColor;
    FWidth = data.lopnWidth.x;
    UINT style = data.lopnStyle & 0xFF;
    FStyle = style <= PS_INSIDEFRAME ? static_cast<TPenStyle>(style) : TPenStyle::psSolid;
  }
  AdoptHandle(pen);
}

void TPen::Assign(TPersistent* source) {
  if (auto* pen = ObjectAs<TPen>(source)) {
    if (pen == this) return;
    FColor = pen->FColor;
    FMode = pen->FMode;
    FStyle = pen->FStyle;
    FWidth = pen->FWidth;
    std::shared_ptr<TGraphicsResource> previous = std::move(FResource);
    FResource = pen->FResource;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

void TPen::SetColor(TColor value) {
  if (FColor == value) return;
  FColor = value;
  DataChanged();
}

void TPen::SetMode(TPenMode value) {
  if (FMode == value) return;
  FMode = value;
  Changed();  // the mode is a state of the device context, not of the handle
}

void TPen::SetStyle(TPenStyle value) {
  if (FStyle == value) return;
  FStyle = value;
  DataChanged();
}

void TPen::SetWidth(int value) {
  if (value < 0 || FWidth == value) return;
  FWidth = value;
  DataChanged();
}

// ---------------------------------------------------------------------------
// TBrush

const TClassInfo TBrush::ClassInfo = {"TBrush", &TGraphicsObject::ClassInfo,
                                      [](TObject*) -> TObject* { return new TBrush(); }};

HBRUSH TBrush::Handle() {
  if (HGDIOBJ current = CurrentHandle()) return static_cast<HBRUSH>(current);
  if (FBitmap && !FBitmap->Empty()) {
    HBITMAP pattern = FBitmap->Handle();
    return static_cast<HBRUSH>(SharedHandle(
        KeyOf('B', pattern),
        [](const void* data) -> HGDIOBJ { return CreatePatternBrush(*static_cast<const HBITMAP*>(data)); }, &pattern));
  }
  LOGBRUSH brush{};
  if (IsHollow()) {
    brush.lbStyle = BS_NULL;
  } else {
    brush.lbColor = ResolveColor(FColor, clWindow);
    if (FStyle == TBrushStyle::bsSolid) {
      brush.lbStyle = BS_SOLID;
    } else {
      brush.lbStyle = BS_HATCHED;
      brush.lbHatch = static_cast<ULONG_PTR>(FStyle) - static_cast<ULONG_PTR>(TBrushStyle::bsHorizontal);
    }
  }
  return static_cast<HBRUSH>(SharedHandle(
      KeyOf('S', brush),
      [](const void* data) -> HGDIOBJ { return CreateBrushIndirect(static_cast<const LOGBRUSH*>(data)); }, &brush));
}

void TBrush::SetHandle(HBRUSH brush) {
  LOGBRUSH data{};
  if (brush && ::GetObjectA(brush, sizeof data, &data) == sizeof data) {
    FBitmap = nullptr;
    FColor = data.lbColor;
    if (data.lbStyle == BS_NULL) {
      FStyle = TBrushStyle::bsClear;
    } else if (data.lbStyle == BS_HATCHED && data.lbHatch <= HS_DIAGCROSS) {
      FStyle = static_cast<TBrushStyle>(static_cast<int>(TBrushStyle::bsHorizontal) + static_cast<int>(data.lbHatch));
    } else {
      FStyle = TBrushStyle::bsSolid;
    }
  }
  AdoptHandle(brush);
}

void TBrush::Assign(TPersistent* source) {
  if (auto* brush = ObjectAs<TBrush>(source)) {
    if (brush == this) return;
    FColor = brush->FColor;
    FStyle = brush->FStyle;
    FBitmap = brush->FBitmap;
    std::shared_ptr<TGraphicsResource> previous = std::move(FResource);
    FResource = brush->FResource;
    Changed();
    return;
  }
  TGraphicsObject::Assign(source);
}

void TBrush::SetColor(TColor value) {
  if (FColor == value) return;
  FColor = value;
  // A solid colour replaces a clear style, as a painted background is asked for.
  if (FStyle == TBrushStyle::bsClear && value != clNone) FStyle = TBrushStyle::bsSolid;
  DataChanged();
}

void TBrush::SetStyle(TBrushStyle value) {
  if (FStyle == value) return;
  FStyle = value;
  DataChanged();
}

void TBrush::SetBitmap(TBitmap* value) {
  if (FBitmap == value) return;
  FBitmap = value;
  DataChanged();
}
