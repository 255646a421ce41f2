// GDI+ bound at run time: the program starts where "gdiplus.dll" is missing,
// and only the picture formats and effects that need it go without. The
// library is loaded, bound and started by the first availability query and
// shut down last at program end (the units loader below runs the GDI+ units'
// finalizers after everything else of theirs).
#pragma once

#include "platform/Object.h"
#include "platform/Text.h"
#include "platform/Win32.h"

#include <objidl.h>

#include <cstddef>
#include <vector>

// The flat API's own types, as far as the program uses them.
using GpStatus = int;       // 0 = Ok
using GpImage = void;       // also a bitmap
using GpGraphics = void;
using GpPixelFormat = int;
using GpUnit = int;
constexpr GpStatus GpOk = 0;
constexpr GpUnit UnitPixel = 2;
constexpr GpPixelFormat PixelFormat32bppPARGB = 0xE200B;

// One installed image codec, in the flat API's layout.
struct TdxGPCodecInfo {
  CLSID Clsid;
  GUID FormatID;
  const WCHAR* CodecName;
  const WCHAR* DllName;
  const WCHAR* FormatDescription;
  const WCHAR* FilenameExtension;
  const WCHAR* MimeType;
  DWORD Flags;
  DWORD Version;
  DWORD SigCount;
  DWORD SigSize;
  const BYTE* SigPattern;
  const BYTE* SigMask;
};

// The entry points, in binding order; every one must be found for GDI+ to
// count as available.
enum TdxGPEntry {
  gpeAlloc, gpeFree, gpeStartup, gpeShutdown, gpeCloneBrush, gpeDeleteBrush, gpeGetBrushType,
  gpeCreateSolidFill, gpeSetSolidFillColor, gpeGetSolidFillColor, gpeCreateLineBrushFromRectI,
  gpeGetLineRectI, gpeSetLineColors, gpeGetLineColors, gpeSetLineWrapMode, gpeGetLineWrapMode,
  gpeCreateHatchBrush, gpeGetHatchStyle, gpeGetHatchForegroundColor, gpeGetHatchBackgroundColor,
  gpeCreatePen1, gpeCreatePen2, gpeClonePen, gpeDeletePen, gpeGetPenFillType, gpeSetPenBrushFill,
  gpeGetPenBrushFill, gpeSetPenColor, gpeGetPenColor, gpeSetPenMode, gpeGetPenMode, gpeSetPenWidth,
  gpeGetPenWidth, gpeCreateFromHDC, gpeDeleteGraphics, gpeGetDC, gpeReleaseDC, gpeGraphicsClear,
  gpeDrawLineI, gpeFillRectangleI, gpeDrawArcI, gpeDrawBezierI, gpeDrawRectangleI, gpeDrawEllipseI,
  gpeDrawPieI, gpeDrawPolygonI, gpeDrawCurve2I, gpeDrawClosedCurve2I, gpeFillPolygonI, gpeFillEllipseI,
  gpeFillPieI, gpeFillClosedCurveI, gpeLoadImageFromStream, gpeCreateBitmapFromFile,
  gpeCreateBitmapFromStream, gpeCreateBitmapFromStreamICM, gpeCreateHBITMAPFromBitmap,
  gpeLoadImageFromFile, gpeGetImageDimension, gpeDrawImageRectI, gpeDisposeImage,
  gpeGetImageEncodersSize, gpeGetImageEncoders, gpeSaveImageToStream, gpeCreateBitmapFromHBITMAP,
  gpeGetEncoderParameterListSize, gpeGetEncoderParameterList, gpeCreateBitmapFromGdiDib,
  gpeCreateBitmapFromScan0, gpeBitmapLockBits, gpeBitmapUnlockBits, gpeDrawImageRectRectI,
  gpeDrawImageRectRect, gpeDrawImagePointRect, gpeCloneImage, gpeSetInterpolationMode,
  gpeGetInterpolationMode, gpeCreateCachedBitmap, gpeDeleteCachedBitmap, gpeDrawCachedBitmap,
  gpeCreateBitmapFromGraphics, gpeGetImageGraphicsContext, gpeGetImageWidth, gpeGetImageHeight,
  gpeSetCompositingMode, gpeGetCompositingMode, gpeSetCompositingQuality, gpeGetCompositingQuality,
  gpeSetSmoothingMode, gpeGetSmoothingMode, gpeCloneBitmapAreaI,
  gpeCount
};

// The entry point names, indexed by TdxGPEntry.
extern const char* const GdiPlusEntryNames[gpeCount];
// The bound entry points (null until bound), indexed by TdxGPEntry.
extern FARPROC GdiPlusEntries[gpeCount];

// True while GDI+ is bound and started; when it is not, tries the whole load
// again first.
bool IsGdiPlusAvailable();
void LoadGdiPlus();
void UnloadGdiPlus();
// GetProcAddress on the library; null without looking once GDI+ is known to
// be unavailable. A miss makes it unavailable.
FARPROC GetGdiPlusEntry(const char* name);
// 0 and the class identifier of the installed encoder whose MIME type is
// `mimeType` (compared without regard to case); 1 and `clsid` untouched
// when none has it.
int FindEncoderClsid(const AnsiString& mimeType, CLSID& clsid);
// Looks the PNG encoder up once.
void EnsurePngEncoder();
const CLSID& PngEncoderClsid();
// Status Ok passes; any other raises EAssertionFailed "Invalid operation in GDI+".
void CheckGdiPlusStatus(GpStatus status);

// The tokens of the running GDI+ (0 when not started), for diagnostics.
ULONG_PTR GdiPlusStartupToken();
ULONG_PTR GdiPlusNotificationToken();

// The calls the program makes, each through its bound entry point. They
// must only be used while IsGdiPlusAvailable() holds.
void* GdipAlloc(size_t size);
void GdipFree(void* block);
GpStatus GdipCreateFromHDC(HDC dc, GpGraphics** graphics);
GpStatus GdipDeleteGraphics(GpGraphics* graphics);
GpStatus GdipCreateBitmapFromStream(IStream* stream, GpImage** bitmap);
GpStatus GdipCreateHBITMAPFromBitmap(GpImage* bitmap, HBITMAP* result, DWORD background);
GpStatus GdipGetImageDimension(GpImage* image, float* width, float* height);
GpStatus GdipDisposeImage(GpImage* image);
GpStatus GdipGetImageEncodersSize(UINT* count, UINT* size);
GpStatus GdipGetImageEncoders(UINT count, UINT size, TdxGPCodecInfo* encoders);
GpStatus GdipSaveImageToStream(GpImage* image, IStream* stream, const CLSID* encoder, const void* parameters);
GpStatus GdipCreateBitmapFromScan0(int width, int height, int stride, GpPixelFormat format, BYTE* scan0,
                                   GpImage** bitmap);
GpStatus GdipDrawImageRectRectI(GpGraphics* graphics, GpImage* image, int dstX, int dstY, int dstWidth,
                                int dstHeight, int srcX, int srcY, int srcWidth, int srcHeight, GpUnit unit);
GpStatus GdipDrawImageRectRect(GpGraphics* graphics, GpImage* image, float dstX, float dstY, float dstWidth,
                               float dstHeight, float srcX, float srcY, float srcWidth, float srcHeight, GpUnit unit);
GpStatus GdipCloneImage(GpImage* image, GpImage** clone);

// Objects of this class and its descendants live in GDI+'s own heap.
class TdxGPBase : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  static void* operator new(size_t size);
  static void operator delete(void* block);
};

// Runs the start and end procedures of the GDI+ units. In a program each
// initialization runs at once; the finalizations wait until the GDI+ binding
// itself ends, so GDI+ is shut down after everything that used it.
class TdxUnitsLoader : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  using TUnitProc = void (*)();
  ~TdxUnitsLoader() override;
  void RegisterUnitProcs(TUnitProc initialization, TUnitProc finalization);
  // Removes `finalization` from the list and runs it when it was listed.
  void ReleaseUnitProc(TUnitProc finalization);
  // Runs the listed finalizations last first when the initializations ran,
  // then forgets them.
  void RunFinalizers();
  int FinalizerCount() const { return static_cast<int>(FFinalizers.size()); }

private:
  std::vector<TUnitProc> FInitializers;
  std::vector<TUnitProc> FFinalizers;
  bool FInitializationsRan = false;
};

// The single loader, created on first use.
TdxUnitsLoader* UnitsLoader();
// True when this code lives in a dynamic library rather than the program.
bool IsPlainLibrary();

// The desktop window manager ("dwmapi.dll", Windows 6 and later).
bool DwmAvailable();
bool BindDesktopWindowManager();
// Whether desktop composition is on, asked afresh each time.
bool DesktopCompositionActive();

void dxGDIPlusAPIInit();
void dxGDIPlusAPIDone();
void cxDWMApiInit();
void cxDWMApiDone();
