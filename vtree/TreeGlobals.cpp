#include "vtree/TreeGlobals.h"

#include "platform/Colors.h"
#include "platform/Graphics.h"
#include "platform/ImageList.h"
#include "platform/Thread.h"
#include "vtree/ClipboardFormats.h"
#include "vtree/StringTree.h"
#include "vtree/TreeAccessibility.h"
#include "vtree/VirtualTree.h"

#include <commctrl.h>
#include <cpuid.h>
#include <mmsystem.h>
#include <ole2.h>

#include <mutex>
#include <vector>

namespace {
// The shared lists, in the order of TCheckImageKind (ckCustom has none).
constexpr int ListCount = 9;
struct TGlobals {
  bool Ready = false;
  bool OleReady = false;
  bool TimerRaised = false;
  CLIPFORMAT Reference = 0;
  CLIPFORMAT Data = 0;
  TCustomImageList* Lists[ListCount] = {};
  TCustomImageList* Utilities = nullptr;
};
TGlobals gGlobals;
TCriticalSection* gLock = nullptr;

struct TPlatformFlags {
  bool Mmx = false, Nt = false, W2k = false, Xp = false, Vista = false;
};

// CPUID leaf 1: a signature of at least 0x50 and feature bit 23 (MMX).
// __get_cpuid also finds out whether the processor has CPUID at all.
bool ProcessorHasMmx() {
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
  return eax >= 0x50 && (edx & (1u << 23)) != 0;
}

const TPlatformFlags& Flags() {
  static const TPlatformFlags flags = [] {
    TPlatformFlags f;
    f.Mmx = ProcessorHasMmx();
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    GetVersionExA(&version);
#pragma GCC diagnostic pop
    f.Nt = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
    f.W2k = version.dwMajorVersion == 5 && version.dwMinorVersion == 0;
    f.Xp = version.dwMajorVersion == 5 && version.dwMinorVersion == 1;
    f.Vista = version.dwMajorVersion > 5;
    return f;
  }();
  return flags;
}

// A bitmap resource as a 32-bit top-down DIB; with Mapped, white, silver,
// grey and black become the window, face, shadow and button-text colours.
HBITMAP LoadStrip(const char* Name, bool Mapped, int& Width, int& Height) {
  TGdiObject loaded(LoadImageA(GetModuleHandleA(nullptr), Name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  BITMAP info{};
  if (!loaded.Get() || !GetObjectA(loaded.Get(), sizeof(info), &info) || info.bmHeight < 1)
    MevraAssert(false, std::string("Internal image \"") + Name + "\" is missing or corrupt.");
  Width = info.bmWidth;
  Height = std::abs(info.bmHeight);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
  bi.bmiHeader.biWidth = Width;
  bi.bmiHeader.biHeight = -Height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP strip = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!strip) MevraAssert(false, std::string("Internal image \"") + Name + "\" is missing or corrupt.");
  {
    TMemoryDC from, to;
    TSelectObjectGuard fromBitmap(from.Get(), loaded.Get()), toBitmap(to.Get(), strip);
    BitBlt(to.Get(), 0, 0, Width, Height, from.Get(), 0, 0, SRCCOPY);
  }
  GdiFlush();
  if (Mapped) {
    auto bgr = [](COLORREF c) { return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c); };
    const struct {
      uint32_t From;
      uint32_t To;
    } map[] = {{0xFFFFFF, bgr(GetSysColor(COLOR_WINDOW))},
               {0xC0C0C0, bgr(GetSysColor(COLOR_BTNFACE))},
               {0x808080, bgr(GetSysColor(COLOR_BTNSHADOW))},
               {0x000000, bgr(GetSysColor(COLOR_BTNTEXT))}};
    auto* pixels = static_cast<uint32_t*>(bits);
    for (size_t i = 0, n = size_t(Width) * size_t(Height); i < n; ++i) {
      const uint32_t pixel = pixels[i] & 0xFFFFFF;
      for (const auto& m : map)
        if (pixel == m.From) {
          pixels[i] = m.To;
          break;
        }
    }
  }
  return strip;
}

// Cuts the strip into squares as high as it is, each masked by the colour
// of the strip's pixel (0, 0).
TCustomImageList* ListFromStrip(const char* Name, bool Mapped) {
  std::lock_guard<TCriticalSection> lock(TreeUnitLock());
  int width = 0, height = 0;
  TGdiObject strip(LoadStrip(Name, Mapped, width, height));
  DIBSECTION section{};
  GetObjectA(strip.Get(), sizeof(section), &section);
  const COLORREF mask = [&] {
    const uint32_t pixel = *static_cast<const uint32_t*>(section.dsBm.bmBits);
    return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
  }();
  HIMAGELIST list = ImageList_Create(height, height, ILC_MASK | (IsWinNT() ? ILC_COLOR32 : ILC_COLOR16), width / height, 4);
  ImageList_AddMasked(list, static_cast<HBITMAP>(strip.Get()), mask);
  auto* images = new TCustomImageList(nullptr);
  images->SetHandle(list);
  return images;
}

// Radio buttons, check boxes and three-state boxes as the system draws them,
// images 21..24 taken from another list, centred.
TCustomImageList* SystemCheckList(bool Flat, TCustomImageList* Buttons) {
  const int width = GetSystemMetrics(SM_CXMENUCHECK) + 3, height = GetSystemMetrics(SM_CYMENUCHECK) + 3;
  HIMAGELIST list = ImageList_Create(width, height, ILC_MASK | (IsWinNT() ? ILC_COLOR32 : ILC_COLOR16), 25, 4);
  TScreenDC screen;
  TMemoryDC dc(screen.Get());
  for (int i = -1; i < 24; ++i) {
    TGdiObject bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
    TSelectObjectGuard select(dc.Get(), bitmap.Get());
    RECT all{0, 0, width, height};
    FillRect(dc.Get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (i >= 0 && i < 20) {
      UINT state = i < 8 ? DFCS_BUTTONRADIO : i < 16 ? DFCS_BUTTONCHECK : DFCS_BUTTON3STATE;
      if ((i >= 4 && i < 8) || i >= 12) state |= DFCS_CHECKED;
      switch (i % 4) {
        case 1: state |= DFCS_HOT; break;
        case 2: state |= DFCS_PUSHED; break;
        case 3: state |= DFCS_INACTIVE; break;
      }
      if (Flat) state |= DFCS_FLAT;
      RECT box{1, 2, width - 2, height - 1};
      DrawFrameControl(dc.Get(), &box, DFC_BUTTON, state);
    } else if (i >= 20 && Buttons) {
      ImageList_Draw(Buttons->Handle(), i + 1, dc.Get(), (width - Buttons->Width()) / 2, (height - Buttons->Height()) / 2,
                     ILD_TRANSPARENT);
    }
    select.Restore();
    ImageList_AddMasked(list, static_cast<HBITMAP>(bitmap.Get()), RGB(255, 255, 255));
  }
  auto* images = new TCustomImageList(nullptr);
  images->SetHandle(list);
  return images;
}

const char* const StripNames[] = {"VT_CHECK_LIGHT", "VT_CHECK_DARK", "VT_TICK_LIGHT", "VT_TICK_DARK", "VT_FLAT", "VT_XP"};

void LoadLists() {
  for (int i = 0; i < 6; ++i) gGlobals.Lists[i] = ListFromStrip(StripNames[i], i != 5);
  gGlobals.Utilities = ListFromStrip("VT_UTILITIES", true);
  gGlobals.Lists[static_cast<int>(TCheckImageKind::ckSystemDefault)] =
      SystemCheckList(false, gGlobals.Lists[static_cast<int>(TCheckImageKind::ckDarkCheck)]);
  gGlobals.Lists[static_cast<int>(TCheckImageKind::ckSystemFlat)] =
      SystemCheckList(true, gGlobals.Lists[static_cast<int>(TCheckImageKind::ckFlat)]);
}

void FreeLists() {
  for (TCustomImageList*& list : gGlobals.Lists) FreeAndNil(list);
  FreeAndNil(gGlobals.Utilities);
}
}  // namespace

bool MMXAvailable() { return Flags().Mmx; }
bool IsWinNT() { return Flags().Nt; }
bool IsWin2K() { return Flags().W2k; }
bool IsWinXP() { return Flags().Xp; }
bool IsWinVistaOrAbove() { return Flags().Vista; }

TCriticalSection& TreeUnitLock() {
  // Made by the unit's initialization; a program (or test) that builds trees
  // without the unit list still gets one.
  if (!gLock) gLock = new TCriticalSection();
  return *gLock;
}

bool TreeGlobalsInitialized() { return gGlobals.Ready; }

uint16_t VirtualTreeReferenceFormat() { return gGlobals.Reference; }
uint16_t VirtualTreeDataFormat() { return gGlobals.Data; }

TCustomImageList* CheckImageList(TCheckImageKind Kind) {
  return Kind == TCheckImageKind::ckCustom ? nullptr : gGlobals.Lists[static_cast<int>(Kind)];
}

TCustomImageList* UtilityImages() { return gGlobals.Utilities; }

void InitializeTreeGlobals() {
  if (gGlobals.Ready) return;
  gGlobals.Ready = true;
  (void)Flags();
  gGlobals.OleReady = SUCCEEDED(OleInitialize(nullptr));
  gGlobals.Reference = static_cast<CLIPFORMAT>(RegisterClipboardFormatA("Virtual Tree Reference"));
  LoadLists();
  gGlobals.TimerRaised = timeBeginPeriod(1) == TIMERR_NOERROR;
  Screen->SetCursors(crHeaderSplit, LoadCursorA(GetModuleHandleA(nullptr), "VT_HEADERSPLIT"));
  Screen->SetCursors(crVertSplit, LoadCursorA(GetModuleHandleA(nullptr), "VT_VERTSPLIT"));
  gGlobals.Data = RegisterTreeClipboardFormat("Virtual Tree Data", &TBaseVirtualTree::ClassInfo, 50);
  // The string tree renders its text formats itself.
  TClass strings = &TCustomVirtualStringTree::ClassInfo;
  RegisterTreeClipboardFormat("HTML Format", strings, 80);
  RegisterTreeClipboardFormat("Rich Text Format Without Objects", strings, 84);
  RegisterTreeClipboardFormat("Rich Text Format", strings, 85);
  RegisterTreeClipboardFormat("CSV", strings, 90);
  RegisterTreeClipboardFormat(CF_TEXT, strings, 100);
  RegisterTreeClipboardFormat(CF_UNICODETEXT, strings, 95);
}

void ReloadMappedImages() {
  if (!gGlobals.Ready) return;
  for (int i = 0; i < 5; ++i) {
    TCustomImageList* fresh = ListFromStrip(StripNames[i], true);
    gGlobals.Lists[i]->SetHandle(fresh->ReleaseHandle());
    Free(fresh);
  }
  TCustomImageList* fresh = ListFromStrip("VT_UTILITIES", true);
  gGlobals.Utilities->SetHandle(fresh->ReleaseHandle());
  Free(fresh);
}

void ShowError(const AnsiString& Message, int HelpContext) { throw EVirtualTreeError(HelpContext, Message); }

void VirtualTreesInit() {
  gGlobals = TGlobals();
  TreeUnitLock();
}

void VirtualTreesDone() {
  if (gGlobals.Ready) {
    if (gGlobals.TimerRaised) timeEndPeriod(1);
    FreeLists();
    if (gGlobals.OleReady) OleUninitialize();
    gGlobals = TGlobals();
  }
  FreeClipboardFormats();
  FreeAccessibilityFactory();
  delete gLock;
  gLock = nullptr;
}
