// Component streaming: a form (a root component with the components it owns
// and the controls it holds) is written to a stream and read back through
// the published-property tables (Properties.h) and the custom data classes
// add in DefineProperties. The binary stream form:
//
//   stream    = "MVF1" object
//   object    = 1:byte class:str name:str property* 0 child-object* 0
//   property  = name:str value          (names of sub-objects dotted: "Font.Name")
//   str       = length:byte bytes       (1..255 bytes; 0 ends a list)
//   value     = TValueType byte, then its data (see TValueType)
//
// Every length is checked against what remains of the enclosing stream; a
// malformed stream raises EReadError naming the form, the component and the
// property being read. The readable text form of the same tree is in
// FormResource.h.
#pragma once

#include "platform/Component.h"
#include "platform/Event.h"
#include "platform/Properties.h"
#include "platform/Stream.h"

#include <cstdint>
#include <string>
#include <vector>

class TReader;
class TWriter;
class TCollection;

enum class TValueType : uint8_t {
  vaNull,        // end of a list
  vaList,        // values until vaNull
  vaInt8, vaInt16, vaInt32, vaInt64,
  vaExtended,    // 8-byte IEEE double
  vaString,      // length:uint32, 8-bit bytes in the system code page
  vaIdent,       // length:byte, identifier
  vaFalse, vaTrue,
  vaBinary,      // length:uint32, bytes
  vaSet,         // identifiers (length:byte each) until an empty one
  vaWString,     // length:uint32 (characters), UTF-16LE
  vaUTF8String,  // length:uint32, UTF-8 bytes
  vaNil,         // no object
  vaCollection,  // items (vaList of properties each) until vaNull
  vaCurrency,    // 8-byte signed amount in ten-thousandths
  vaDate,        // 8-byte IEEE double: days since 30 December 1899
};

using TReaderProc = TEvent<void(TReader* Reader)>;
using TWriterProc = TEvent<void(TWriter* Writer)>;
using TStreamProc = TEvent<void(TStream& Stream)>;

// What reader and writer share: the root, the ancestor to compare with, and
// the custom-data interface objects call from DefineProperties.
class TFiler : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TFiler(TStream* stream) : FStream(stream) {}

  TStream* Stream() const { return FStream; }
  TComponent* Root() const { return FRoot; }
  void SetRoot(TComponent* value) { FRoot = value; }
  TComponent* LookupRoot() const { return FLookupRoot; }
  // The object being compared with while writing (null: compare with the
  // defaults); the custom data of a class decides its has-data predicate by it.
  TPersistent* Ancestor() const { return FAncestor; }
  void SetAncestor(TPersistent* value) { FAncestor = value; }
  bool IgnoreChildren() const { return FIgnoreChildren; }
  void SetIgnoreChildren(bool value) { FIgnoreChildren = value; }

  // Custom data beside the published properties. `HasData` is only consulted
  // by the writer: false writes nothing.
  virtual void DefineProperty(const AnsiString& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) = 0;
  // Binary custom data: the reader hands ReadData a stream holding exactly
  // the stored bytes (reading past them raises); WriteData fills a stream.
  virtual void DefineBinaryProperty(const AnsiString& Name, TStreamProc ReadData, TStreamProc WriteData,
                                    bool HasData) = 0;

protected:
  TStream* FStream;
  TComponent* FRoot = nullptr;
  TComponent* FLookupRoot = nullptr;
  TPersistent* FAncestor = nullptr;
  bool FIgnoreChildren = false;
};

// Reads a form or a component from a stream.
class TReader : public TFiler {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TReader(TStream* stream);
  ~TReader() override;

  // Reads the stream's root object into `root` (created with its class when
  // null and `owner` given); children are created with `root` as owner, and
  // every read component hears Loaded once the whole tree is read. Answers
  // the root. A stream whose root class differs from `root`'s raises.
  TComponent* ReadRootComponent(TComponent* root, TComponent* owner = nullptr);
  // The name used in error messages (the form's resource or file name).
  void SetFormName(const AnsiString& value) { FFormName = value; }
  // The parent given to controls read at the top level of the stream; while
  // a component reads its state, the component it is read into.
  void SetParent(TComponent* value) { FParent = value; }
  TComponent* Parent() const { return FParent; }
  TComponent* Owner() const { return FOwner; }

  // Reads the properties and the children of `instance`, the component whose
  // state is being read (TComponent::ReadState).
  void ReadData(TComponent* instance);

  void DefineProperty(const AnsiString& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) override;
  void DefineBinaryProperty(const AnsiString& Name, TStreamProc ReadData, TStreamProc WriteData,
                            bool HasData) override;

  // Values, for custom data read procedures.
  TValueType NextValue();
  TValueType ReadValue();
  bool ReadBoolean();
  int32_t ReadInteger();
  int64_t ReadInt64();
  // A float, an integer, a currency amount or a date as a double.
  double ReadFloat();
  // A currency amount in ten-thousandths.
  int64_t ReadCurrency();
  AnsiString ReadString();
  std::wstring ReadWideString();
  AnsiString ReadIdent();
  // A variant as WriteVariant stores it (integers of up to 32 bits come back
  // as Integer, floats as Double, currency amounts as Currency, dates as
  // Date).
  Variant ReadVariant();
  // A set's identifiers (its value-type marker, then names until an empty one).
  std::vector<AnsiString> ReadSet();
  void ReadListBegin();
  void ReadListEnd();
  bool EndOfList();
  // Reads a collection value (vaCollection) into `collection`, replacing its items.
  void ReadCollection(TCollection* collection);
  // Skips one value of any type.
  void SkipValue();

  // Raises EReadError with `message` prefixed by where the reader is.
  [[noreturn]] void Error(const AnsiString& message);

  // Counts nesting (objects, lists, collections) and refuses data nested
  // deeper than any form needs, before the stack runs out.
  class TNesting {
  public:
    explicit TNesting(TReader& reader);
    ~TNesting() { --FReader.FDepth; }
    TNesting(const TNesting&) = delete;
    TNesting& operator=(const TNesting&) = delete;

  private:
    TReader& FReader;
  };
  static constexpr int MaxNesting = 200;

private:
  friend class TFormResource;
  TComponent* ReadComponent(TComponent* parent, bool isRoot, TComponent* root);
  void ReadComponentBody(TComponent* component, TComponent* parent, bool isRoot, TComponent* root,
                         const AnsiString& name, const AnsiString& className, const TPropInfo*& filledField);
  void ReadProperties(TPersistent* instance);
  void ReadProperty(TPersistent* instance, const AnsiString& name);
  void ReadPropValue(TPersistent* instance, const TPropInfo* info);
  bool ReadCustomProperty(TPersistent* instance, const AnsiString& name);
  AnsiString ReadStr();
  uint32_t ReadLength();
  void Need(int64_t count);
  TComponent* FindComponentRef(const AnsiString& name);
  void ResolveFixups();

  TComponent* FOwner = nullptr;
  TComponent* FParent = nullptr;
  AnsiString FFormName;
  AnsiString FComponentName;  // for messages
  AnsiString FPropName;       // for messages: the property being read
  AnsiString FPropPath;       // prefix of the properties of a collection item, for messages
  // While DefineProperties runs for the property being read: its name and
  // whether a definition consumed it.
  AnsiString FDefinedName;
  bool FDefinedHandled = false;
  std::vector<TComponent*> FLoaded;
  int FDepth = 0;
  // Of the component whose state is being read: the root its children
  // belong to and its class name, for messages.
  TComponent* FDataRoot = nullptr;
  AnsiString FDataClassName;
  struct TFixup {
    TPersistent* Instance;
    const TPropInfo* Info;
    AnsiString Name;
    AnsiString Where;
  };
  std::vector<TFixup> FFixups;
};

// Writes a form or a component to a stream.
class TWriter : public TFiler {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TWriter(TStream* stream);

  // Writes `root` with everything it owns (and, for controls, the children
  // it holds). With an ancestor only what differs from it is written.
  void WriteDescendent(TComponent* root, TComponent* ancestor);
  void WriteRootComponent(TComponent* root) { WriteDescendent(root, nullptr); }

  void DefineProperty(const AnsiString& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) override;
  void DefineBinaryProperty(const AnsiString& Name, TStreamProc ReadData, TStreamProc WriteData,
                            bool HasData) override;

  // Values, for custom data write procedures.
  void WriteBoolean(bool value);
  void WriteInteger(int64_t value);
  void WriteFloat(double value);
  // An amount in ten-thousandths, kept exact.
  void WriteCurrency(int64_t raw);
  void WriteDate(double value);
  void WriteString(const AnsiString& value);
  void WriteWideString(const std::wstring& value);
  void WriteIdent(const AnsiString& value);
  // Empty as nil, Null as the identifier Null, Booleans, integers, strings,
  // wide strings, currency amounts and dates as themselves, other numbers as
  // floats; raises
  // EWriteError for an array.
  void WriteVariant(const Variant& value);
  void WriteSet(const std::vector<AnsiString>& idents);
  void WriteBinary(const std::string& bytes);
  void WriteListBegin();
  void WriteListEnd();
  void WriteCollection(TCollection* collection);
  void WriteValue(TValueType value);

private:
  void WriteComponent(TComponent* component, TComponent* ancestor);
  void WriteProperties(TPersistent* instance, TPersistent* ancestor);
  void WriteProperty(TPersistent* instance, TPersistent* ancestor, const TPropInfo* info);
  void WritePropName(const AnsiString& name);
  // Two collections are the same when they write the same bytes.
  bool SameCollections(TCollection* a, TCollection* b);
  void WriteStr(const AnsiString& value);
  // What `component` holds in the stream (TComponent::GetChildren).
  std::vector<TComponent*> ChildrenOf(TComponent* component);

  AnsiString FPropPath;
  TComponent* FAncestorRoot = nullptr;
};

// True while a reader makes the root of the stream it reads with class
// `cls`: such a form is read from that stream, not from its own resource.
bool IsRootInMaking(TClass cls);

// Component streaming through a stream of the binary form.
void WriteComponentToStream(TStream& stream, TComponent* component);
TComponent* ReadComponentFromStream(TStream& stream, TComponent* instance, TComponent* owner = nullptr);
