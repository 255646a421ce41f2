#include "platform/Clipboard.h"

#include "platform/GraphicsErrors.h"
#include "platform/Picture.h"
#include "platform/UtilWindow.h"

#include <algorithm>
#include <cstring>

const TClassInfo TClipboard::ClassInfo{"TClipboard", &TPersistent::ClassInfo, nullptr};

namespace {

TClipboard* TheClipboard = nullptr;

// Keeps the clipboard open for a scope.
class TOpenScope {
public:
  explicit TOpenScope(TClipboard& clipboard) : FClipboard(clipboard) { FClipboard.Open(); }
  ~TOpenScope() { FClipboard.Close(); }
  TOpenScope(const TOpenScope&) = delete;
  TOpenScope& operator=(const TOpenScope&) = delete;

private:
  TClipboard& FClipboard;
};

// Locks a memory block for reading and tells its size: the system's size
// of the block, never what the data claims.
class TLockedBlock {
public:
  explicit TLockedBlock(HANDLE block) : FBlock(block) {
    if (!block) return;
    FSize = GlobalSize(block);
    FData = static_cast<const uint8_t*>(GlobalLock(block));
    if (!FData) FSize = 0;
  }
  ~TLockedBlock() {
    if (FData) GlobalUnlock(FBlock);
  }
  TLockedBlock(const TLockedBlock&) = delete;
  TLockedBlock& operator=(const TLockedBlock&) = delete;
  const uint8_t* Data() const { return FData; }
  size_t Size() const { return FSize; }

private:
  HANDLE FBlock;
  const uint8_t* FData = nullptr;
  size_t FSize = 0;
};

HGLOBAL CopyToBlock(const void* data, size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, std::max<size_t>(size, 1));
  if (!block) throw EOutOfMemory("Not enough memory for the clipboard");
  void* target = GlobalLock(block);
  if (!target) {
    GlobalFree(block);
    throw EOutOfMemory("Not enough memory for the clipboard");
  }
  if (size) std::memcpy(target, data, size);
  GlobalUnlock(block);
  return block;
}

// Frees a handle the clipboard did not take, by the kind its format has.
void FreeFormatHandle(UINT format, HANDLE value) {
  switch (format) {
    case CF_BITMAP:
    case CF_DSPBITMAP:
    case CF_PALETTE:
      DeleteObject(value);
      break;
    case CF_ENHMETAFILE:
    case CF_DSPENHMETAFILE:
      DeleteEnhMetaFile(static_cast<HENHMETAFILE>(value));
      break;
    default:
      GlobalFree(value);
      break;
  }
}

}  // namespace

TClipboard* Clipboard() {
  if (!TheClipboard) TheClipboard = new TClipboard;
  return TheClipboard;
}

TClipboard* SetClipboard(TClipboard* clipboard) {
  TClipboard* old = TheClipboard;
  TheClipboard = clipboard;
  return old;
}

TClipboard::~TClipboard() {
  if (FOpenRefCount > 0) CloseClipboard();
  if (FOwner) DeallocateHWnd(FOwner);
  if (TheClipboard == this) TheClipboard = nullptr;
}

HWND TClipboard::OwnerWindow() {
  if (!FOwner) FOwner = AllocateHWnd(TWndMethod::Lambda([this](TMessage& m) {
    m.Result = DefWindowProcA(FOwner, m.Msg, m.WParam, m.LParam);
  }));
  return FOwner;
}

void TClipboard::Open() {
  if (FOpenRefCount == 0) {
    // Another program may hold it for a moment: try a few times.
    bool opened = false;
    for (int attempt = 0; attempt < 10 && !opened; ++attempt) {
      opened = OpenClipboard(OwnerWindow()) != FALSE;
      if (!opened) Sleep(10);
    }
    if (!opened) throw EClipboardException("Cannot open clipboard");
  }
  ++FOpenRefCount;
}

void TClipboard::Close() {
  if (FOpenRefCount == 0) return;
  if (--FOpenRefCount == 0) CloseClipboard();
}

void TClipboard::Clear() {
  TOpenScope open(*this);
  EmptyClipboard();
}

bool TClipboard::HasFormat(UINT format) { return IsClipboardFormatAvailable(format) != FALSE; }

std::vector<UINT> TClipboard::Formats() {
  TOpenScope open(*this);
  std::vector<UINT> formats;
  for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format))
    formats.push_back(format);
  return formats;
}

std::vector<uint8_t> TClipboard::GetBuffer(UINT format) {
  TOpenScope open(*this);
  TLockedBlock block(GetClipboardData(format));
  if (!block.Data()) return {};
  return std::vector<uint8_t>(block.Data(), block.Data() + block.Size());
}

void TClipboard::PutHandle(UINT format, HANDLE value) {
  if (!SetClipboardData(format, value)) {
    FreeFormatHandle(format, value);
    throw EClipboardException("The clipboard refused the data");
  }
}

void TClipboard::SetBuffer(UINT format, const void* data, size_t size) {
  TOpenScope open(*this);
  PutHandle(format, CopyToBlock(data, size));
}

HANDLE TClipboard::GetAsHandle(UINT format) {
  TOpenScope open(*this);
  return GetClipboardData(format);
}

void TClipboard::SetAsHandle(UINT format, HANDLE value) {
  TOpenScope open(*this);
  PutHandle(format, value);
}

AnsiString TClipboard::AsText() {
  TOpenScope open(*this);
  TLockedBlock block(GetClipboardData(CF_TEXT));
  if (!block.Data()) return {};
  // The text ends at its terminator or, without one, at the end of the block.
  const auto* end = static_cast<const uint8_t*>(std::memchr(block.Data(), 0, block.Size()));
  const size_t length = end ? static_cast<size_t>(end - block.Data()) : block.Size();
  return AnsiString(reinterpret_cast<const char*>(block.Data()), length);
}

void TClipboard::SetAsText(const AnsiString& value) {
  TOpenScope open(*this);
  EmptyClipboard();
  PutHandle(CF_TEXT, CopyToBlock(value.c_str(), value.size() + 1));
}

size_t TClipboard::GetTextBuf(char* buffer, size_t bufferSize) {
  if (!buffer || bufferSize == 0) return 0;
  const AnsiString text = AsText();
  const size_t count = std::min(text.size(), bufferSize - 1);
  std::memcpy(buffer, text.data(), count);
  buffer[count] = 0;
  return count;
}

void TClipboard::SetTextBuf(const char* buffer) { SetAsText(buffer ? buffer : ""); }

void TClipboard::Assign(TPersistent* source) {
  TGraphic* graphic = ObjectAs<TGraphic>(source);
  if (auto* picture = ObjectAs<TPicture>(source)) {
    graphic = picture->Graphic();
    if (!graphic) {
      Clear();
      return;
    }
  }
  if (!graphic) {
    TPersistent::Assign(source);
    return;
  }
  TOpenScope open(*this);
  EmptyClipboard();
  // A graphic may put formats of its own on the clipboard while it answers
  // the main one, so the clipboard is open and empty by then.
  UINT format = 0;
  HANDLE data = nullptr;
  HPALETTE palette = nullptr;
  graphic->SaveToClipboardFormat(format, data, palette);
  if (data) PutHandle(format, data);
  if (palette) PutHandle(CF_PALETTE, palette);
}

void TClipboard::AssignTo(TPersistent* dest) {
  auto* picture = ObjectAs<TPicture>(dest);
  auto* graphic = ObjectAs<TGraphic>(dest);
  if (!picture && !graphic) {
    TPersistent::AssignTo(dest);
    return;
  }
  TOpenScope open(*this);
  const HPALETTE palette = static_cast<HPALETTE>(GetClipboardData(CF_PALETTE));
  for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
    if (!TPicture::SupportsClipboardFormat(format)) continue;
    if (graphic && !graphic->ReadsClipboardFormat(format)) continue;
    HANDLE data = GetClipboardData(format);
    if (!data) throw EInvalidGraphic("The clipboard's picture cannot be read");
    if (picture) {
      picture->LoadFromClipboardFormat(format, data, palette);
    } else {
      graphic->LoadFromClipboardFormat(format, data, palette);
    }
    return;
  }
  throw EInvalidGraphic("The clipboard holds no picture of this kind");
}
