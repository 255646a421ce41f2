#include "foundation/GdiPlusApi.h"

#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <cstring>
#include <new>

const char* const GdiPlusEntryNames[gpeCount] = {
    "GdipAlloc", "GdipFree", "GdiplusStartup", "GdiplusShutdown", "GdipCloneBrush", "GdipDeleteBrush",
    "GdipGetBrushType", "GdipCreateSolidFill", "GdipSetSolidFillColor", "GdipGetSolidFillColor",
    "GdipCreateLineBrushFromRectI", "GdipGetLineRectI", "GdipSetLineColors", "GdipGetLineColors",
    "GdipSetLineWrapMode", "GdipGetLineWrapMode", "GdipCreateHatchBrush", "GdipGetHatchStyle",
    "GdipGetHatchForegroundColor", "GdipGetHatchBackgroundColor", "GdipCreatePen1", "GdipCreatePen2",
    "GdipClonePen", "GdipDeletePen", "GdipGetPenFillType", "GdipSetPenBrushFill", "GdipGetPenBrushFill",
    "GdipSetPenColor", "GdipGetPenColor", "GdipSetPenMode", "GdipGetPenMode", "GdipSetPenWidth",
    "GdipGetPenWidth", "GdipCreateFromHDC", "GdipDeleteGraphics", "GdipGetDC", "GdipReleaseDC",
    "GdipGraphicsClear", "GdipDrawLineI", "GdipFillRectangleI", "GdipDrawArcI", "GdipDrawBezierI",
    "GdipDrawRectangleI", "GdipDrawEllipseI", "GdipDrawPieI", "GdipDrawPolygonI", "GdipDrawCurve2I",
    "GdipDrawClosedCurve2I", "GdipFillPolygonI", "GdipFillEllipseI", "GdipFillPieI", "GdipFillClosedCurveI",
    "GdipLoadImageFromStream", "GdipCreateBitmapFromFile", "GdipCreateBitmapFromStream",
    "GdipCreateBitmapFromStreamICM", "GdipCreateHBITMAPFromBitmap", "GdipLoadImageFromFile",
    "GdipGetImageDimension", "GdipDrawImageRectI", "GdipDisposeImage", "GdipGetImageEncodersSize",
    "GdipGetImageEncoders", "GdipSaveImageToStream", "GdipCreateBitmapFromHBITMAP",
    "GdipGetEncoderParameterListSize", "GdipGetEncoderParameterList", "GdipCreateBitmapFromGdiDib",
    "GdipCreateBitmapFromScan0", "GdipBitmapLockBits", "GdipBitmapUnlockBits", "GdipDrawImageRectRectI",
    "GdipDrawImageRectRect", "GdipDrawImagePointRect", "GdipCloneImage", "GdipSetInterpolationMode",
    "GdipGetInterpolationMode", "GdipCreateCachedBitmap", "GdipDeleteCachedBitmap", "GdipDrawCachedBitmap",
    "GdipCreateBitmapFromGraphics", "GdipGetImageGraphicsContext", "GdipGetImageWidth", "GdipGetImageHeight",
    "GdipSetCompositingMode", "GdipGetCompositingMode", "GdipSetCompositingQuality",
    "GdipGetCompositingQuality", "GdipSetSmoothingMode", "GdipGetSmoothingMode", "GdipCloneBitmapAreaI"};

FARPROC GdiPlusEntries[gpeCount] = {};

namespace {

struct TStartupInput {
  UINT32 GdiplusVersion;
  void* DebugEventCallback;
  BOOL SuppressBackgroundThread;
  BOOL SuppressExternalCodecs;
};

using TNotificationHook = GpStatus(WINAPI*)(ULONG_PTR* token);
using TNotificationUnhook = void(WINAPI*)(ULONG_PTR token);

struct TStartupOutput {
  TNotificationHook NotificationHook;
  TNotificationUnhook NotificationUnhook;
};

// The background thread is suppressed, so the notification hook runs on the
// thread that starts GDI+ (the GUI thread, at start-up).
const TStartupInput StartupInput{1, nullptr, TRUE, FALSE};

bool GdiPlusAvailable = false;
HMODULE GdiPlusLibrary = nullptr;
ULONG_PTR StartupToken = 0;
ULONG_PTR NotificationToken = 0;
TStartupOutput StartupOutput{};
CLSID PngEncoder{};

template <class F>
F Entry(TdxGPEntry entry) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GdiPlusEntries[entry]));
}

}  // namespace

FARPROC GetGdiPlusEntry(const char* name) {
  if (!GdiPlusAvailable) return nullptr;
  FARPROC proc = GetProcAddress(GdiPlusLibrary, name);
  if (!proc) GdiPlusAvailable = false;
  return proc;
}

void LoadGdiPlus() {
  if (GdiPlusAvailable) return;
  if (!GdiPlusLibrary) {
    // No "cannot find the file" box where the library is missing.
    const UINT oldMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    GdiPlusLibrary = LoadLibraryA("gdiplus.dll");
    SetErrorMode(oldMode);
  }
  GdiPlusAvailable = GdiPlusLibrary != nullptr;
  if (!GdiPlusAvailable) return;
  for (int i = 0; i < gpeCount; ++i) GdiPlusEntries[i] = GetGdiPlusEntry(GdiPlusEntryNames[i]);
  if (!GdiPlusAvailable) return;
  using TStartup = GpStatus(WINAPI*)(ULONG_PTR*, const TStartupInput*, TStartupOutput*);
  if (Entry<TStartup>(gpeStartup)(&StartupToken, &StartupInput, &StartupOutput) != GpOk ||
      !StartupOutput.NotificationHook || StartupOutput.NotificationHook(&NotificationToken) != GpOk) {
    GdiPlusAvailable = false;
    StartupOutput = TStartupOutput{};
  }
}

void UnloadGdiPlus() {
  if (GdiPlusAvailable) {
    if (StartupOutput.NotificationUnhook) StartupOutput.NotificationUnhook(NotificationToken);
    using TShutdown = void(WINAPI*)(ULONG_PTR);
    Entry<TShutdown>(gpeShutdown)(StartupToken);
  }
  if (GdiPlusLibrary) FreeLibrary(GdiPlusLibrary);
  GdiPlusLibrary = nullptr;
  GdiPlusAvailable = false;
  StartupToken = 0;
  NotificationToken = 0;
  StartupOutput = TStartupOutput{};
  std::fill(std::begin(GdiPlusEntries), std::end(GdiPlusEntries), nullptr);
}

bool IsGdiPlusAvailable() {
  if (!GdiPlusAvailable) LoadGdiPlus();
  return GdiPlusAvailable;
}

ULONG_PTR GdiPlusStartupToken() { return StartupToken; }
ULONG_PTR GdiPlusNotificationToken() { return NotificationToken; }

int FindEncoderClsid(const AnsiString& mimeType, CLSID& clsid) {
  if (!IsGdiPlusAvailable()) return 1;
  UINT count = 0;
  UINT size = 0;
  if (GdipGetImageEncodersSize(&count, &size) != GpOk || size == 0) return 1;
  // The codec records come first, their strings after them in the same block.
  std::vector<uint8_t> block(size);
  auto* codecs = reinterpret_cast<TdxGPCodecInfo*>(block.data());
  if (GdipGetImageEncoders(count, size, codecs) != GpOk) return 1;
  const UINT fits = static_cast<UINT>(size / sizeof(TdxGPCodecInfo));
  for (UINT i = 0; i < count && i < fits; ++i) {
    if (codecs[i].MimeType && AnsiSameText(Utf16ToAnsi(codecs[i].MimeType), mimeType)) {
      clsid = codecs[i].Clsid;
      return 0;
    }
  }
  return 1;
}

void EnsurePngEncoder() {
  static const uint8_t zero[8] = {};
  if (std::memcmp(&PngEncoder, zero, sizeof zero) == 0) FindEncoderClsid("image/png", PngEncoder);
}

const CLSID& PngEncoderClsid() { return PngEncoder; }

void CheckGdiPlusStatus(GpStatus status) {
  if (status != GpOk) throw EAssertionFailed("Invalid operation in GDI+", "dxGDIPlusAPI", __LINE__);
}

// ---------------------------------------------------------------------------
// The calls

void* GdipAlloc(size_t size) { return Entry<void*(WINAPI*)(size_t)>(gpeAlloc)(size); }
void GdipFree(void* block) { Entry<void(WINAPI*)(void*)>(gpeFree)(block); }

GpStatus GdipCreateFromHDC(HDC dc, GpGraphics** graphics) {
  return Entry<GpStatus(WINAPI*)(HDC, GpGraphics**)>(gpeCreateFromHDC)(dc, graphics);
}
GpStatus GdipDeleteGraphics(GpGraphics* graphics) {
  return Entry<GpStatus(WINAPI*)(GpGraphics*)>(gpeDeleteGraphics)(graphics);
}
GpStatus GdipCreateBitmapFromStream(IStream* stream, GpImage** bitmap) {
  return Entry<GpStatus(WINAPI*)(IStream*, GpImage**)>(gpeCreateBitmapFromStream)(stream, bitmap);
}
GpStatus GdipCreateHBITMAPFromBitmap(GpImage* bitmap, HBITMAP* result, DWORD background) {
  return Entry<GpStatus(WINAPI*)(GpImage*, HBITMAP*, DWORD)>(gpeCreateHBITMAPFromBitmap)(bitmap, result, background);
}
GpStatus GdipGetImageDimension(GpImage* image, float* width, float* height) {
  return Entry<GpStatus(WINAPI*)(GpImage*, float*, float*)>(gpeGetImageDimension)(image, width, height);
}
GpStatus GdipDisposeImage(GpImage* image) { return Entry<GpStatus(WINAPI*)(GpImage*)>(gpeDisposeImage)(image); }
GpStatus GdipGetImageEncodersSize(UINT* count, UINT* size) {
  return Entry<GpStatus(WINAPI*)(UINT*, UINT*)>(gpeGetImageEncodersSize)(count, size);
}
GpStatus GdipGetImageEncoders(UINT count, UINT size, TdxGPCodecInfo* encoders) {
  return Entry<GpStatus(WINAPI*)(UINT, UINT, TdxGPCodecInfo*)>(gpeGetImageEncoders)(count, size, encoders);
}
GpStatus GdipSaveImageToStream(GpImage* image, IStream* stream, const CLSID* encoder, const void* parameters) {
  return Entry<GpStatus(WINAPI*)(GpImage*, IStream*, const CLSID*, const void*)>(gpeSaveImageToStream)(
      image, stream, encoder, parameters);
}
GpStatus GdipCreateBitmapFromScan0(int width, int height, int stride, GpPixelFormat format, BYTE* scan0,
                                   GpImage** bitmap) {
  return Entry<GpStatus(WINAPI*)(int, int, int, GpPixelFormat, BYTE*, GpImage**)>(gpeCreateBitmapFromScan0)(
      width, height, stride, format, scan0, bitmap);
}
GpStatus GdipDrawImageRectRectI(GpGraphics* graphics, GpImage* image, int dstX, int dstY, int dstWidth,
                                int dstHeight, int srcX, int srcY, int srcWidth, int srcHeight, GpUnit unit) {
  using F = GpStatus(WINAPI*)(GpGraphics*, GpImage*, int, int, int, int, int, int, int, int, GpUnit, const void*,
                              void*, void*);
  return Entry<F>(gpeDrawImageRectRectI)(graphics, image, dstX, dstY, dstWidth, dstHeight, srcX, srcY, srcWidth,
                                         srcHeight, unit, nullptr, nullptr, nullptr);
}
GpStatus GdipDrawImageRectRect(GpGraphics* graphics, GpImage* image, float dstX, float dstY, float dstWidth,
                               float dstHeight, float srcX, float srcY, float srcWidth, float srcHeight, GpUnit unit) {
  using F = GpStatus(WINAPI*)(GpGraphics*, GpImage*, float, float, float, float, float, float, float, float, GpUnit,
                              const void*, void*, void*);
  return Entry<F>(gpeDrawImageRectRect)(graphics, image, dstX, dstY, dstWidth, dstHeight, srcX, srcY, srcWidth,
                                        srcHeight, unit, nullptr, nullptr, nullptr);
}
GpStatus GdipCloneImage(GpImage* image, GpImage** clone) {
  return Entry<GpStatus(WINAPI*)(GpImage*, GpImage**)>(gpeCloneImage)(image, clone);
}

// ---------------------------------------------------------------------------
// GDI+ heap objects

const TClassInfo TdxGPBase::ClassInfo{"TdxGPBase", &TObject::ClassInfo, nullptr};

void* TdxGPBase::operator new(size_t size) {
  if (!IsGdiPlusAvailable()) throw EInvalidOperation("GDI+ is not available");
  void* block = GdipAlloc(size);
  if (!block) throw std::bad_alloc();
  return block;
}

void TdxGPBase::operator delete(void* block) {
  // GDI+'s heap went with its shut-down: an object that outlived it is left.
  if (block && GdiPlusEntries[gpeFree]) GdipFree(block);
}

// ---------------------------------------------------------------------------
// Units loader

const TClassInfo TdxUnitsLoader::ClassInfo{"TdxUnitsLoader", &TObject::ClassInfo, nullptr};

namespace {
TdxUnitsLoader* Loader = nullptr;
}  // namespace

TdxUnitsLoader* UnitsLoader() {
  if (!Loader) Loader = new TdxUnitsLoader;
  return Loader;
}

TdxUnitsLoader::~TdxUnitsLoader() { RunFinalizers(); }

void TdxUnitsLoader::RegisterUnitProcs(TUnitProc initialization, TUnitProc finalization) {
  if (initialization) {
    if (IsPlainLibrary()) {
      FInitializers.push_back(initialization);
    } else {
      FInitializationsRan = true;
      initialization();
    }
  }
  if (finalization) FFinalizers.push_back(finalization);
}

void TdxUnitsLoader::ReleaseUnitProc(TUnitProc finalization) {
  const auto it = std::find(FFinalizers.begin(), FFinalizers.end(), finalization);
  if (it == FFinalizers.end()) return;
  FFinalizers.erase(it);
  finalization();
}

void TdxUnitsLoader::RunFinalizers() {
  if (FInitializationsRan)
    for (auto it = FFinalizers.rbegin(); it != FFinalizers.rend(); ++it) (*it)();
  FInitializationsRan = false;
  FFinalizers.clear();
}

bool IsPlainLibrary() {
  HMODULE self = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&IsPlainLibrary), &self);
  return self && self != GetModuleHandleA(nullptr);
}

namespace {
void MarkGdiPlusUnloaded() { GdiPlusAvailable = false; }
void GdiPlusUnitFinalizer() { UnloadGdiPlus(); }
}  // namespace

void dxGDIPlusAPIInit() { UnitsLoader()->RegisterUnitProcs(&MarkGdiPlusUnloaded, &GdiPlusUnitFinalizer); }

void dxGDIPlusAPIDone() {
  if (GdiPlusAvailable && IsPlainLibrary() && Loader && Loader->FinalizerCount() > 0)
    throw Exception("Need call dxFinalizeGDIPlus before free library!");
  delete Loader;
  Loader = nullptr;
}

// ---------------------------------------------------------------------------
// Desktop window manager

namespace {
HMODULE DwmLibrary = nullptr;
bool DwmBound = false;
// Bound for the program's painting helpers; only the composition query is
// called here.
FARPROC DwmEntries[9] = {};
const char* const DwmEntryNames[9] = {
    "DwmDefWindowProc", "DwmEnableBlurBehindWindow", "DwmEnableComposition",
    "DwmEnableMMCSS", "DwmExtendFrameIntoClientArea", "DwmGetColorizationColor",
    "DwmGetWindowAttribute", "DwmIsCompositionEnabled", "DwmSetWindowAttribute"};
}  // namespace

bool DwmAvailable() { return DwmBound; }

bool BindDesktopWindowManager() {
  if (Win32MajorVersion < 6) return false;
  if (!DwmLibrary) DwmLibrary = LoadLibraryA("dwmapi.dll");
  if (!DwmLibrary) return false;
  for (int i = 0; i < 9; ++i) DwmEntries[i] = GetProcAddress(DwmLibrary, DwmEntryNames[i]);
  return true;
}

bool DesktopCompositionActive() {
  if (!DwmBound || !DwmEntries[7]) return false;
  BOOL enabled = FALSE;
  using F = HRESULT(WINAPI*)(BOOL*);
  reinterpret_cast<F>(reinterpret_cast<void*>(DwmEntries[7]))(&enabled);
  return enabled != FALSE;
}

void cxDWMApiInit() { DwmBound = BindDesktopWindowManager(); }

void cxDWMApiDone() {
  DwmBound = false;
  std::fill(std::begin(DwmEntries), std::end(DwmEntries), nullptr);
  if (DwmLibrary) FreeLibrary(DwmLibrary);
  DwmLibrary = nullptr;
}
