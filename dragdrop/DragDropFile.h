// Lists of files and shell items: the file drop list (CF_HDROP), single file
// names, name maps and the shell's ID-list array, the file, file-map and
// ID-list data formats, and the helpers that turn paths into shell ID lists.
#pragma once

#include "dragdrop/DragDropFormats.h"

// A file drop list (CF_HDROP); wide lists are read as 8-bit names.
class TFileClipboardFormat : public TCustomSimpleClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  CLIPFORMAT GetClipboardFormat() override { return CF_HDROP; }
  void ResetValue() override { FFiles.Clear(); }
  bool HasValue() override { return FFiles.Count() > 0; }
  bool ReadBytes(const uint8_t* block, uint64_t size) override;
  bool WriteBytes(uint8_t* block, uint64_t size) override;
  uint64_t ByteSize() override;
  TStringList& Files() { return FFiles; }

private:
  TStringList FFiles;
};

// "FileName": one 8-bit file name.
class TFilenameClipboardFormat : public TCustomTextClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  CLIPFORMAT GetClipboardFormat() override;
  const AnsiString& Filename() const { return Text(); }
  void SetFilename(const AnsiString& value) { SetText(value); }
};

// "FileNameW": one wide file name.
class TFilenameWClipboardFormat : public TCustomWideTextClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  CLIPFORMAT GetClipboardFormat() override;
  // The name up to its terminator.
  std::wstring Filename() const;
  void SetFilename(const std::wstring& value) { SetText(value); }
};

// "FileNameMap": the names files get at the target, NUL-separated.
class TFilenameMapClipboardFormat : public TCustomStringListClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  CLIPFORMAT GetClipboardFormat() override;
  bool ReadBytes(const uint8_t* block, uint64_t size) override;
  bool WriteBytes(uint8_t* block, uint64_t size) override;
  uint64_t ByteSize() override;
  TStringList& FileMaps() { return Lines(); }
};

// "FileNameMapW": the same, carried as wide text.
class TFilenameMapWClipboardFormat : public TFilenameMapClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  CLIPFORMAT GetClipboardFormat() override;
  bool ReadBytes(const uint8_t* block, uint64_t size) override;
  bool WriteBytes(uint8_t* block, uint64_t size) override;
  uint64_t ByteSize() override;
};

// The file paths of a list of ID lists whose entry 0 is the parent folder
// and whose other entries are relative to it. Assigning file names replaces
// the ID lists; the other changes are ignored.
class TPIDLsToFilenamesStrings : public TStrings {
public:
  explicit TPIDLsToFilenamesStrings(TStringList& pidls) : FPIDLs(pidls) {}
  int Count() const override { return FPIDLs.Count() < 2 ? 0 : FPIDLs.Count() - 1; }
  AnsiString Get(int index) const override;
  void Put(int, const AnsiString&) override {}
  void PutObject(int, TObject*) override {}
  void Insert(int, const AnsiString&) override {}
  void Delete(int) override {}
  void Clear() override {}
  void Assign(TPersistent* source) override;

private:
  TStringList& FPIDLs;
};

// "Shell IDList Array": the parent folder's ID list, then one per item.
class TPIDLClipboardFormat : public TCustomSimpleClipboardFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  CLIPFORMAT GetClipboardFormat() override;
  void ResetValue() override { FPIDLs.Clear(); }
  bool HasValue() override { return FPIDLs.Count() > 0; }
  bool ReadBytes(const uint8_t* block, uint64_t size) override;
  bool WriteBytes(uint8_t* block, uint64_t size) override;
  uint64_t ByteSize() override;
  TStringList& PIDLs() { return FPIDLs; }
  TStrings& Filenames() { return FFilenames; }

private:
  TStringList FPIDLs;
  TPIDLsToFilenamesStrings FFilenames{FPIDLs};
};

// A data format whose value is a list of lines (file names, name maps, ID
// lists); every change of the list is announced as a value change.
class TStringListDataFormat : public TCustomDataFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TStringListDataFormat(TObject* owner, TClass cls);
  void ResetValue() override { FList.Clear(); }
  bool HasValue() override { return FList.Count() > 0; }
  bool NeedsValue() override { return FList.Count() == 0; }

protected:
  TStringList FList;
};

// Dropped files as paths.
class TFileDataFormat : public TStringListDataFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TFileDataFormat(TObject* owner, TClass cls = &ClassInfo) : TStringListDataFormat(owner, cls) {}
  bool TakeFromClipboardFormat(TClipboardFormat* clipboardFormat) override;
  bool GiveToClipboardFormat(TClipboardFormat* clipboardFormat) override;
  TStringList& Files() { return FList; }
};

// The names dropped files get at the target.
class TFileMapDataFormat : public TStringListDataFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TFileMapDataFormat(TObject* owner, TClass cls = &ClassInfo) : TStringListDataFormat(owner, cls) {}
  bool TakeFromClipboardFormat(TClipboardFormat* clipboardFormat) override;
  bool GiveToClipboardFormat(TClipboardFormat* clipboardFormat) override;
  TStringList& FileMaps() { return FList; }
};

// Dropped shell items as ID lists (entry 0 the parent folder).
class TPIDLDataFormat : public TStringListDataFormat {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TPIDLDataFormat(TObject* owner, TClass cls = &ClassInfo) : TStringListDataFormat(owner, cls) {}
  bool TakeFromClipboardFormat(TClipboardFormat* clipboardFormat) override;
  bool GiveToClipboardFormat(TClipboardFormat* clipboardFormat) override;
  TStringList& PIDLs() { return FList; }
  TStrings& Filenames() { return FFilenames; }

private:
  TPIDLsToFilenamesStrings FFilenames{FList};
};

// ID lists are byte strings: items each led by their 16-bit size, then a
// 16-bit zero. The size of a list with its terminator (0 for an empty string).
uint64_t IDListSize(const AnsiString& idList);
// `parent` without its terminator followed by `child`.
AnsiString JoinIDLists(const AnsiString& parent, const AnsiString& child);
// The absolute ID list of a path (through the desktop folder); empty when
// the path cannot be parsed.
AnsiString IDListFromPath(const AnsiString& path);
// The path of an absolute ID list; empty when it has none.
AnsiString PathFromIDList(const AnsiString& idList);
// The leading items two absolute lists share, as the shell tells items apart
// (not by their bytes: an item carries its folder's times, which reading the
// folder can change), `a`'s bytes with a terminator.
AnsiString CommonIDListItems(const AnsiString& a, const AnsiString& b);
// The longest run of leading items the folders of `files` share (the bare
// terminator for the desktop); empty for no files. Raises EDataFormatError
// when the desktop folder or a file's folder cannot be reached.
AnsiString CommonParentIDList(const TStrings& files);
// Fills `list` with the files' common parent, then each file relative to it.
// False (and an empty list) for no files, a desktop-only parent or a path
// that cannot be parsed.
bool IDListsFromFiles(const TStrings& files, TStrings& list);

// The unit of the file and ID-list formats.
extern TDragDropUnit DragDropFileUnit;
