// The system clipboard for the class library: text in the system code page,
// pictures of every format the picture registry knows, and blocks of
// registered formats. What another program put there is outside data: a
// block is read only within the size the system gives it, text takes no
// terminator on trust, and a picture block its reader refuses raises
// (EInvalidGraphic) and leaves the destination as it was.
#pragma once

#include "platform/Exceptions.h"
#include "platform/Persistent.h"
#include "platform/Text.h"
#include "platform/Win32.h"

#include <cstdint>
#include <vector>

// The clipboard cannot be opened (another program holds it) or refuses a
// block.
class EClipboardException : public Exception { public: using Exception::Exception; };

class TClipboard : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TClipboard() = default;
  ~TClipboard() override;

  // Opening nests: the clipboard closes at the last Close. Every other
  // operation opens and closes around itself, so a caller opens only to
  // put several formats on the clipboard together (Clear first).
  void Open();
  void Close();
  // Empties the clipboard and makes this program its owner.
  void Clear();

  bool HasFormat(UINT format);
  // The formats on the clipboard, in the order their owner put them there
  // (the order of preference).
  std::vector<UINT> Formats();

  // Text (CF_TEXT): up to the first zero byte or the end of the block. An
  // empty clipboard gives an empty text.
  AnsiString AsText();
  void SetAsText(const AnsiString& value);
  // Copies at most bufferSize - 1 bytes of the text and a terminator;
  // answers the bytes copied.
  size_t GetTextBuf(char* buffer, size_t bufferSize);
  void SetTextBuf(const char* buffer);

  // The whole block of a format given as a memory block (registered
  // formats, CF_TEXT, CF_DIB...); empty when the format is absent.
  std::vector<uint8_t> GetBuffer(UINT format);
  // Puts a copy of `size` bytes on the clipboard as `format`; other formats
  // stay unless the caller cleared them.
  void SetBuffer(UINT format, const void* data, size_t size);

  // The system's handle of a format (owned by the clipboard), and putting
  // a handle there (the clipboard owns it afterwards).
  HANDLE GetAsHandle(UINT format);
  void SetAsHandle(UINT format, HANDLE value);

  // A TPicture or TGraphic onto the clipboard, in the formats its class
  // writes (replacing what was there).
  void Assign(TPersistent* source) override;

protected:
  // Into a TPicture: the first format on the clipboard that a registered
  // picture class reads. Into a TGraphic: the first format that graphic
  // reads. Raises EInvalidGraphic when there is none.
  void AssignTo(TPersistent* dest) override;

private:
  HWND OwnerWindow();
  void PutHandle(UINT format, HANDLE value);

  int FOpenRefCount = 0;
  HWND FOwner = nullptr;
};

// The program's clipboard object, made on first use.
TClipboard* Clipboard();
// Replaces it (null: a new one on next use); answers the old one, which the
// caller then owns.
TClipboard* SetClipboard(TClipboard* clipboard);
