// Clipboard formats whose value is one block of bytes (strings, text, wide
// text, line lists, 32-bit values), file group descriptors and file contents,
// the shell's drag feedback formats, the stream helpers, and the data formats
// for dropped file contents, virtual files and drag feedback.
#pragma once

#include "dragdrop/DragDrop.h"
#include "platform/ComStream.h"
#include "platform/Stream.h"
#include "platform/StringList.h"

#include <string>

struct _FILEDESCRIPTORA;

// A clipboard format whose value travels as one block in global memory or a
// stream (or a storage, read as the stream of its compound file).
class TCustomSimpleClipboardFormat : public TClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TCustomSimpleClipboardFormat();
  explicit TCustomSimpleClipboardFormat(DWORD media) : TClipboardFormat(media) {}

  bool ReadFromMedium(IDataObject* dataObject, const STGMEDIUM& medium) override;
  bool WriteToMedium(const FORMATETC& formatEtc, STGMEDIUM& medium) override;

  // Reads `size` bytes of the medium (the size its global block or its
  // stream reports) and hands them to ReadBytes.
  virtual bool ReadMedium(IDataObject* dataObject, const STGMEDIUM& medium, uint64_t size);
  // The block's bytes; `size` is what the medium really held.
  virtual bool ReadBytes(const uint8_t* block, uint64_t size) = 0;
  // Copies up to `size` bytes of the medium into `buffer`; answers the bytes copied.
  virtual uint64_t CopyMediumBytes(const STGMEDIUM& medium, uint64_t size, uint8_t* buffer);
  // Fills a zeroed block of `size` (= ByteSize) bytes.
  virtual bool WriteBytes(uint8_t* block, uint64_t size) = 0;
  virtual uint64_t ByteSize() = 0;
};

// An 8-bit string; with TrimAtNul it ends at the first NUL of the block.
class TCustomStringClipboardFormat : public TCustomSimpleClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomSimpleClipboardFormat::TCustomSimpleClipboardFormat;

  void ResetValue() override { FData.clear(); }
  bool HasValue() override { return !FData.empty(); }
  bool ReadBytes(const uint8_t* block, uint64_t size) override;
  bool WriteBytes(uint8_t* block, uint64_t size) override;
  uint64_t ByteSize() override { return FData.size(); }

  const AnsiString& Data() const { return FData; }
  void SetData(const AnsiString& value) { FData = value; }
  bool TrimAtNul() const { return FTrimAtNul; }
  void SetTrimAtNul(bool value) { FTrimAtNul = value; }

private:
  AnsiString FData;
  bool FTrimAtNul = false;
};

// NUL-terminated 8-bit text.
class TCustomTextClipboardFormat : public TCustomStringClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TCustomTextClipboardFormat() { SetTrimAtNul(true); }
  explicit TCustomTextClipboardFormat(DWORD media) : TCustomStringClipboardFormat(media) { SetTrimAtNul(true); }

  uint64_t ByteSize() override;
  const AnsiString& Text() const { return Data(); }
  void SetText(const AnsiString& value) { SetData(value); }
};

// NUL-terminated UTF-16 text, taken as stored: (size div 2) characters.
class TCustomWideTextClipboardFormat : public TCustomSimpleClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomSimpleClipboardFormat::TCustomSimpleClipboardFormat;

  void ResetValue() override { FText.clear(); }
  bool HasValue() override { return !FText.empty(); }
  bool ReadBytes(const uint8_t* block, uint64_t size) override;
  bool WriteBytes(uint8_t* block, uint64_t size) override;
  uint64_t ByteSize() override;

  const std::wstring& Text() const { return FText; }
  void SetText(const std::wstring& value) { FText = value; }

private:
  std::wstring FText;
};

// Lines of 8-bit text, ended by CR LF, the block ended by NUL.
class TCustomStringListClipboardFormat : public TCustomSimpleClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomSimpleClipboardFormat::TCustomSimpleClipboardFormat;

  void ResetValue() override { FLines.Clear(); }
  bool HasValue() override { return FLines.Count() > 0; }
  bool ReadBytes(const uint8_t* block, uint64_t size) override;
  bool WriteBytes(uint8_t* block, uint64_t size) override;
  uint64_t ByteSize() override;

  TStringList& Lines() { return FLines; }

private:
  TStringList FLines;
};

// One 32-bit value.
class TCustomDWORDClipboardFormat : public TCustomSimpleClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomSimpleClipboardFormat::TCustomSimpleClipboardFormat;

  void ResetValue() override { FValue = 0; }
  bool HasValue() override { return true; }
  bool ReadBytes(const uint8_t* block, uint64_t size) override;
  bool WriteBytes(uint8_t* block, uint64_t size) override;
  uint64_t ByteSize() override { return 4; }

  uint32_t Value() const { return FValue; }
  void SetValue(uint32_t value) { FValue = value; }

private:
  uint32_t FValue = 0;
};

// CF_TEXT.
class TTextClipboardFormat : public TCustomTextClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  CLIPFORMAT GetClipboardFormat() override { return CF_TEXT; }
};

// A file group descriptor block: a 32-bit count and that many fixed-size
// records. The 8-bit form ("FileGroupDescriptor") accepts trailing bytes;
// the wide form accepts only whole records.
class TCustomFileGroupDescriptorClipboardFormat : public TCustomSimpleClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TCustomFileGroupDescriptorClipboardFormat(uint32_t recordSize, bool exactRead)
      : FRecordSize(recordSize), FExactRead(exactRead) {}

  void ResetValue() override { FBlock.clear(); }
  bool HasValue() override { return Count() != 0; }
  bool ReadBytes(const uint8_t* block, uint64_t size) override;
  bool WriteBytes(uint8_t* block, uint64_t size) override;
  uint64_t ByteSize() override { return FBlock.size(); }

  uint32_t Count() const;
  // Record `index` (0 <= index < Count) as raw bytes.
  uint8_t* Record(uint32_t index);
  // Replaces the block with `count` zeroed records.
  void SetCount(uint32_t count);

private:
  AnsiString FBlock;  // count + records, exactly
  uint32_t FRecordSize;
  bool FExactRead;
};

class TFileGroupDescritorClipboardFormat : public TCustomFileGroupDescriptorClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TFileGroupDescritorClipboardFormat();
  CLIPFORMAT GetClipboardFormat() override;
  _FILEDESCRIPTORA* Descriptor(uint32_t index) { return reinterpret_cast<_FILEDESCRIPTORA*>(Record(index)); }
  // The file name of record `index` (at most 260 characters).
  AnsiString FileName(uint32_t index);
  void SetFileName(uint32_t index, const AnsiString& name);
};

class TFileGroupDescritorWClipboardFormat : public TCustomFileGroupDescriptorClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TFileGroupDescritorWClipboardFormat();
  CLIPFORMAT GetClipboardFormat() override;
  std::wstring FileName(uint32_t index);
  void SetFileName(uint32_t index, const std::wstring& name);
};

// "FileContents" of the first described file, as text.
class TFileContentsClipboardFormat : public TCustomTextClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TFileContentsClipboardFormat();
  CLIPFORMAT GetClipboardFormat() override;
};

// Named memory streams, owned (objects of the list).
class TStreamList : public TStringList {
public:
  TStreamList() : TStringList(true) {}
  void AddStream(TMemoryStream* stream, const AnsiString& name);
  // Frees its own streams and takes the other list's names and streams.
  void TakeStreams(TStreamList& other);
  void ClearStreams();
  TMemoryStream* Streams(int index) const { return static_cast<TMemoryStream*>(GetObject(index)); }

  TNotifyEvent OnValueChanging;
};

// Owned memory blocks.
class TMemoryList : public TObject {
public:
  // Takes a copy of `size` bytes.
  int Add(const void* block, size_t size);
  void Delete(int index);
  void Clear();
  uint8_t* Items(int index) { return FBlocks.at(static_cast<size_t>(index)).data(); }
  int Count() const { return static_cast<int>(FBlocks.size()); }

private:
  std::vector<std::vector<uint8_t>> FBlocks;
};

// The contents of every described file as streams (read only).
class TFileContentsStreamClipboardFormat : public TClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TFileContentsStreamClipboardFormat();

  CLIPFORMAT GetClipboardFormat() override;
  bool ReadFrom(IDataObject* dataObject) override;
  bool GiveToDataFormat(TCustomDataFormat* dataFormat) override;
  void ResetValue() override { FStreams.ClearStreams(); }
  bool HasValue() override { return FStreams.Count() > 0; }
  TStreamList& Streams() { return FStreams; }

private:
  TStreamList FStreams;
};

// Asks the application for the stream of file `Index` when a target wants it.
using TGetStreamEvent = TEvent<void(TObject* Sender, int Index, IStream*& Stream)>;

// "FileContents" rendered on demand, one file at a time.
class TFileContentsStreamOnDemandClipboardFormat : public TClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TFileContentsStreamOnDemandClipboardFormat();

  CLIPFORMAT GetClipboardFormat() override;
  bool ReadFrom(IDataObject* dataObject) override;
  bool WriteToMedium(const FORMATETC& formatEtc, STGMEDIUM& medium) override;
  bool GiveToDataFormat(TCustomDataFormat* dataFormat) override;
  bool TakeFromDataFormat(TCustomDataFormat* dataFormat) override;
  void ResetValue() override { FGotData = FDataRequested = false; }
  bool HasValue() override { return FGotData || FDataRequested; }

  TGetStreamEvent OnGetStream;

private:
  bool FGotData = false;
  bool FDataRequested = false;
};

// The shell's drag feedback values, each a named 32-bit block.
class TCustomFeedbackClipboardFormat : public TCustomDWORDClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};

// "Performed DropEffect".
class TPerformedDropEffectClipboardFormat : public TCustomFeedbackClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  CLIPFORMAT GetClipboardFormat() override;
};

// "Logical Performed DropEffect".
class TLogicalPerformedDropEffectClipboardFormat : public TCustomFeedbackClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  CLIPFORMAT GetClipboardFormat() override;
};

// "Paste Succeeded".
class TPasteSuccededClipboardFormat : public TCustomFeedbackClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  CLIPFORMAT GetClipboardFormat() override;
};

// "InShellDragLoop".
class TInShellDragLoopClipboardFormat : public TCustomFeedbackClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  CLIPFORMAT GetClipboardFormat() override;
};

// "Preferred DropEffect": always has a value (0 means none preferred).
class TPreferredDropEffectClipboardFormat : public TCustomFeedbackClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  CLIPFORMAT GetClipboardFormat() override;
};

// "TargetCLSID": the class id of the target, a 16-byte block.
class TTargetCLSIDClipboardFormat : public TCustomSimpleClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  CLIPFORMAT GetClipboardFormat() override;
  void ResetValue() override { FCLSID = GUID_NULL; }
  bool HasValue() override { return !IsEqualGUID(FCLSID, GUID_NULL); }
  bool ReadBytes(const uint8_t* block, uint64_t size) override;
  bool WriteBytes(uint8_t* block, uint64_t size) override;
  uint64_t ByteSize() override { return sizeof(GUID); }
  const GUID& CLSID() const { return FCLSID; }
  void SetCLSID(const GUID& value) { FCLSID = value; }

private:
  GUID FCLSID = GUID_NULL;
};

// Dropped file contents as named memory streams.
class TDataStreamDataFormat : public TCustomDataFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TDataStreamDataFormat(TObject* owner, TClass cls = &ClassInfo);

  void ResetValue() override;
  bool HasValue() override { return FStreams.Count() > 0; }
  bool NeedsValue() override { return FStreams.Count() == 0; }
  TStreamList& Streams() { return FStreams; }

private:
  TStreamList FStreams;
};

// The file names of a list of 332-byte FILEDESCRIPTORA records, as lines.
class TFileDescriptorToFilenameStrings : public TStrings {
public:
  explicit TFileDescriptorToFilenameStrings(TMemoryList& descriptors) : FDescriptors(descriptors) {}
  int Count() const override { return FDescriptors.Count(); }
  AnsiString Get(int index) const override;
  // Only appends (index = Count): a zeroed descriptor with the name.
  void Insert(int index, const AnsiString& s) override;
  void Delete(int index) override { FDescriptors.Delete(index); }
  void Clear() override { FDescriptors.Clear(); }
  void Assign(TPersistent* source) override;

private:
  TMemoryList& FDescriptors;
};

// Files that exist only as descriptors and contents rendered on demand.
class TVirtualFileStreamDataFormat : public TCustomDataFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TVirtualFileStreamDataFormat(TObject* owner, TClass cls = &ClassInfo);

  void ResetValue() override;
  bool HasValue() override;
  bool NeedsValue() override;
  bool TakeFromClipboardFormat(TClipboardFormat* clipboardFormat) override;
  bool GiveToClipboardFormat(TClipboardFormat* clipboardFormat) override;

  TMemoryList& Descriptors() { return FDescriptors; }
  TStrings& FileNames() { return FFileNames; }
  TFileContentsStreamOnDemandClipboardFormat& FileContentsFormat() { return *FFileContentsFormat; }
  bool HasContents() const { return FHasContents; }

private:
  TMemoryList FDescriptors;
  TFileDescriptorToFilenameStrings FFileNames{FDescriptors};
  TFileContentsStreamOnDemandClipboardFormat* FFileContentsFormat;
  TFileGroupDescritorClipboardFormat* FFileGroupDescriptorFormat;
  bool FHasContents = false;
};

// The shell's drag feedback: effects preferred and performed, paste result,
// shell drag loop and the target's class id.
class TFeedbackDataFormat : public TCustomDataFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TFeedbackDataFormat(TObject* owner, TClass cls = &ClassInfo);

  void ResetValue() override;
  bool HasValue() override;
  bool NeedsValue() override;
  bool TakeFromClipboardFormat(TClipboardFormat* clipboardFormat) override;
  bool GiveToClipboardFormat(TClipboardFormat* clipboardFormat) override;

  uint32_t PreferredDropEffect = 0;
  uint32_t PerformedDropEffect = 0;
  uint32_t LogicalPerformedDropEffect = 0;
  uint32_t PasteSucceeded = 0;
  bool InShellDragLoop = false;
  bool GotInShellDragLoop = false;
  GUID TargetCLSID = GUID_NULL;
};

// A stream exposed as IStream for data transfer. Reading before any Seek
// starts at the beginning (the writer leaves its streams positioned at their
// end), and CopyTo of "everything" from the end copies the whole stream
// through a buffer of at most 1 MiB. Like every interfaced object it starts
// with no reference.
class TFixedStreamAdapter : public TStreamAdapter {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TFixedStreamAdapter(TStream* stream, TStreamOwnership ownership = soReference)
      : TStreamAdapter(stream, ownership) {}

  STDMETHODIMP Read(void* pv, ULONG cb, ULONG* pcbRead) override;
  STDMETHODIMP Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) override;
  STDMETHODIMP CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead, ULARGE_INTEGER* pcbWritten) override;

private:
  bool FSeeked = false;
};

// The compound file of `storage` as a stream over global memory (the caller
// releases it), or null when it cannot be built.
IStream* StorageToStream(IStorage* storage);

// The unit of these formats (started by a file-scope starter).
extern TDragDropUnit DragDropFormatsUnit;
