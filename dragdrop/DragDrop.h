// The core of the drag-and-drop suite: clipboard formats (how a value travels
// through OLE), data formats (what an application wants to receive or offer)
// and the one process-wide map saying which clipboard formats can carry which
// data format, in which order of preference and in which direction.
#pragma once

#include "platform/Win32.h"

#include <ole2.h>

#include "platform/Event.h"
#include "platform/Exceptions.h"
#include "platform/Object.h"
#include "platform/Set.h"
#include "platform/Text.h"

#include <cstdint>
#include <vector>

// write: offering data as a drag source; read: accepting data as a drop target.
enum class TFormatDirection { fdWrite, fdRead };
using TFormatDirections = TSet<TFormatDirection, 8>;

// Misuse of the suite's classes (a missing override, a read-only id, a bad owner).
class EDataFormatError : public Exception { public: using Exception::Exception; };

class TCustomDataFormat;
class TDragDropComponent;

// One Windows clipboard format (id, aspect, index and media) and the value it
// carries. A data format owns instances of the clipboard formats that can
// carry it and reads or renders its value through them.
class TClipboardFormat : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // `media` is the TYMED mask the format is read and rendered in.
  explicit TClipboardFormat(DWORD media);
  explicit TClipboardFormat(const FORMATETC& formatEtc);

  // The format's value from a medium the data object handed out; the caller
  // keeps the medium and releases it.
  virtual bool ReadFromMedium(IDataObject* dataObject, const STGMEDIUM& medium);
  // Renders the value into `medium` in one of the media `formatEtc` asks for.
  virtual bool WriteToMedium(const FORMATETC& formatEtc, STGMEDIUM& medium);
  // The format's clipboard id, registered on first use for named formats.
  virtual CLIPFORMAT GetClipboardFormat();
  virtual void StoreFormatId(CLIPFORMAT id);
  virtual AnsiString ReadFormatName();
  virtual void RenameFormat(const AnsiString& name);

  // Whether the data object offers this format in any of its media, the
  // richest medium asked first.
  virtual bool IsOfferedBy(IDataObject* dataObject);
  virtual bool MatchesFormatEtc(const FORMATETC& formatEtc);
  // Fetches and reads the value; false when the object does not offer it or
  // the block is malformed (LastError then says why).
  virtual bool ReadFrom(IDataObject* dataObject);
  // Reads from a medium already fetched and releases the medium in every case.
  virtual bool ReadFromStorage(IDataObject* dataObject, STGMEDIUM& medium);
  // Renders the value for `formatEtc` and hands it to the data object's SetData.
  virtual bool WriteTo(IDataObject* dataObject, const FORMATETC& formatEtc, STGMEDIUM& medium);
  virtual bool TakeFromDataFormat(TCustomDataFormat* dataFormat);
  virtual bool GiveToDataFormat(TCustomDataFormat* dataFormat);
  virtual void ResetValue() = 0;
  virtual bool HasValue();

  // The clipboard id (property ClipboardFormat).
  CLIPFORMAT ClipboardFormat();
  // The FORMATETC with the id filled in.
  const FORMATETC& FormatEtc();
  TFormatDirections Directions() const { return FDirections; }
  void SetDirections(TFormatDirections value) { FDirections = value; }
  TCustomDataFormat* DataFormat() const { return FDataFormat; }
  void SetDataFormat(TCustomDataFormat* value) { FDataFormat = value; }
  // Why the last read refused its block (empty after a good read).
  const AnsiString& LastError() const { return FLastError; }

protected:
  FORMATETC FFormatEtc;

private:
  TFormatDirections FDirections{TFormatDirection::fdWrite};
  TCustomDataFormat* FDataFormat = nullptr;
  AnsiString FLastError;
};

// A list of clipboard formats belonging to one data format; when it owns its
// formats it frees them and points them back at the data format.
class TClipboardFormats : public TObject {
public:
  TClipboardFormats(TCustomDataFormat* dataFormat, bool ownsObjects);
  ~TClipboardFormats() override;

  int Add(TClipboardFormat* format);
  int Count() const { return static_cast<int>(FList.size()); }
  TClipboardFormat* Items(int index) const { return FList.at(static_cast<size_t>(index)); }
  void Clear();
  TCustomDataFormat* DataFormat() const { return FDataFormat; }

private:
  std::vector<TClipboardFormat*> FList;
  TCustomDataFormat* FDataFormat;
  bool FOwnsObjects;
};

// What an application receives or offers (text, files, ...). On creation it
// takes fresh instances of its compatible clipboard formats from the map.
class TCustomDataFormat : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // `owner` is null or a drop target that holds data formats; `cls` is the
  // class being constructed (the map is asked for its rows).
  TCustomDataFormat(TObject* owner, TClass cls);
  ~TCustomDataFormat() override;

  virtual void NotifyChanging();
  virtual void ResetValue() = 0;
  virtual bool TakeFromClipboardFormat(TClipboardFormat* clipboardFormat);
  virtual bool GiveToClipboardFormat(TClipboardFormat* clipboardFormat);
  // Reads through the compatible formats in order while a value is needed.
  virtual bool ReadFrom(IDataObject* dataObject);
  virtual bool HasValue() = 0;
  virtual bool NeedsValue();
  virtual bool IsOfferedBy(IDataObject* dataObject);
  virtual bool AcceptsFormatEtc(const FORMATETC& formatEtc);

  TClipboardFormats& CompatibleFormats() { return FCompatibleFormats; }
  TDragDropComponent* Owner() const { return FOwner; }

  TNotifyEvent OnValueChanging;

private:
  TClipboardFormats FCompatibleFormats;
  TDragDropComponent* FOwner = nullptr;
};

// The data formats of one drop target; it does not own them.
class TDataFormats : public TObject {
public:
  ~TDataFormats() override;
  virtual int Add(TCustomDataFormat* dataFormat);
  virtual int IndexOf(TCustomDataFormat* dataFormat) const;
  virtual void Remove(TCustomDataFormat* dataFormat);
  int Count() const { return static_cast<int>(FList.size()); }
  TCustomDataFormat* Items(int index) const { return FList.at(static_cast<size_t>(index)); }

private:
  std::vector<TCustomDataFormat*> FList;
};

// The data format classes the suite knows (one process-wide instance).
class TDataFormatClasses : public TObject {
public:
  virtual void Add(TClass dataFormatClass);
  virtual void Remove(TClass dataFormatClass);
  int Count() const { return static_cast<int>(FList.size()); }
  TClass Items(int index) const { return FList.at(static_cast<size_t>(index)); }

private:
  std::vector<TClass> FList;
};

// One row of the map: a data format class, a clipboard format class that can
// carry it, the priority (lower is preferred), the directions the row applies
// in, and the directions given to every clipboard format the row creates.
struct TDataFormatMapRow {
  TClass DataFormatClass;
  TClass ClipboardFormatClass;
  int32_t Priority;
  TFormatDirections Directions;
  TFormatDirections FormatDirections;
};

// The process-wide map from data formats to clipboard formats. Rows of one
// data format stay together in ascending priority.
class TDataFormatMap : public TObject {
public:
  void Add(TClass dataFormatClass, TClass clipboardFormatClass, int32_t priority, TFormatDirections directions,
           TFormatDirections formatDirections);
  // Removes the rows whose data (or clipboard) format class inherits from `cls`.
  void DeleteByDataFormat(TClass cls);
  void DeleteByClipboardFormat(TClass cls);
  // Clears `list`, then adds a new instance of every row's clipboard format
  // class, in map order, for the rows of `dataFormatClass` (or an ancestor of
  // it) that apply in `direction`.
  void FillCompatibleFormats(TClass dataFormatClass, TClipboardFormats& list, TFormatDirection direction);
  const std::vector<TDataFormatMapRow>& Rows() const { return FRows; }

private:
  std::vector<TDataFormatMapRow> FRows;
};

TDataFormatMap& DataFormatMap();
TDataFormatClasses& DataFormatClasses();

// Registration, from the format units' start-up and shut-down.
void AddDataFormatClass(TClass dataFormatClass);
void AddFormatPair(TClass dataFormatClass, TClass clipboardFormatClass, int32_t priority,
                   TFormatDirections directions, TFormatDirections formatDirections);
void ForgetDataFormatClass(TClass dataFormatClass);
void ForgetClipboardFormatClass(TClass clipboardFormatClass);

// Factories for class references: clipboard formats take no argument, data
// formats their owner.
template <class T>
TObject* CreateClipboardFormat(TObject*) { return new T; }
template <class T>
TObject* CreateDataFormat(TObject* owner) { return new T(owner); }

// Registers a clipboard format by name once and caches the id in `cache`.
CLIPFORMAT RegisteredFormat(CLIPFORMAT& cache, const char* name);

// Start-up and shut-down of one unit of the suite, counted so that only the
// first start and the matching last stop do work. Units are constant-
// initialised, so a unit may start another it builds on before that one's
// own file-scope starter has run; a unit starts what it builds on first and
// stops it last.
class TDragDropUnit {
public:
  constexpr TDragDropUnit(void (*initialize)(), void (*finalize)()) : FInitialize(initialize), FFinalize(finalize) {}
  TDragDropUnit(const TDragDropUnit&) = delete;
  TDragDropUnit& operator=(const TDragDropUnit&) = delete;
  void Start();
  void Stop();
  bool Started() const { return FCount > 0; }

private:
  void (*FInitialize)();
  void (*FFinalize)();
  int FCount = 0;
};

// Keeps a unit started for the life of the program (a file-scope object).
class TDragDropUnitStarter {
public:
  explicit TDragDropUnitStarter(TDragDropUnit& unit) : FUnit(unit) { FUnit.Start(); }
  ~TDragDropUnitStarter() { FUnit.Stop(); }
  TDragDropUnitStarter(const TDragDropUnitStarter&) = delete;
  TDragDropUnitStarter& operator=(const TDragDropUnitStarter&) = delete;

private:
  TDragDropUnit& FUnit;
};

// The suite's core: its first start initialises OLE and takes the shell
// allocator; its last stop frees the map and the class registry, releases
// the allocator and leaves OLE.
extern TDragDropUnit DragDropCoreUnit;
// The shell's allocator (null while the core is stopped).
IMalloc* ShellMalloc();
