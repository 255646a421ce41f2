#include "platform/Filer.h"

#include "platform/CodePage.h"
#include "platform/Collection.h"
#include "platform/Colors.h"

#include <cmath>
#include <cstring>
#include <memory>

const TClassInfo TFiler::ClassInfo{"TFiler", &TObject::ClassInfo, nullptr};
const TClassInfo TReader::ClassInfo{"TReader", &TFiler::ClassInfo, nullptr};
const TClassInfo TWriter::ClassInfo{"TWriter", &TFiler::ClassInfo, nullptr};

namespace {

const char kSignature[4] = {'M', 'V', 'F', '1'};
const uint8_t kObjectMarker = 1;

// A reader error that already says where it happened.
class EFormReadError : public EReadError { public: using EReadError::EReadError; };

bool IsCollection(TObject* o) { return o && o->InheritsFrom(&TCollection::ClassInfo); }

// The class of the root a reader is making, while it makes it.
thread_local TClass RootInMaking = nullptr;

}  // namespace

bool IsRootInMaking(TClass cls) { return cls && cls == RootInMaking; }

// ---------------------------------------------------------------- reader

TReader::TReader(TStream* stream) : TFiler(stream) {}
TReader::~TReader() = default;

void TReader::Error(const AnsiString& message) {
  AnsiString where = "Form '" + FFormName + "'";
  if (!FComponentName.empty()) where += ", component '" + FComponentName + "'";
  if (!FPropName.empty()) where += ", property '" + FPropName + "'";
  throw EFormReadError(where + ": " + message);
}

TReader::TNesting::TNesting(TReader& reader) : FReader(reader) {
  if (FReader.FDepth >= MaxNesting) FReader.Error("Data nested too deeply");
  ++FReader.FDepth;
}

void TReader::Need(int64_t count) {
  if (count < 0 || count > FStream->Size() - FStream->Position()) Error("Unexpected end of data");
}

uint32_t TReader::ReadLength() {
  Need(4);
  uint32_t n = FStream->ReadDWord();
  Need(n);
  return n;
}

AnsiString TReader::ReadStr() {
  Need(1);
  uint8_t n = FStream->ReadByte();
  Need(n);
  AnsiString s(n, '\0');
  if (n) FStream->ReadBuffer(s.data(), n);
  return s;
}

TValueType TReader::NextValue() {
  TValueType v = ReadValue();
  FStream->Seek(-1, TSeekOrigin::soCurrent);
  return v;
}

TValueType TReader::ReadValue() {
  Need(1);
  uint8_t b = FStream->ReadByte();
  if (b > static_cast<uint8_t>(TValueType::vaDate)) Error(Format("Invalid value type %u", b));
  return static_cast<TValueType>(b);
}

bool TReader::ReadBoolean() {
  TValueType v = ReadValue();
  if (v == TValueType::vaTrue) return true;
  if (v == TValueType::vaFalse) return false;
  Error("Boolean value expected");
}

int64_t TReader::ReadInt64() {
  switch (ReadValue()) {
    case TValueType::vaInt8: Need(1); return static_cast<int8_t>(FStream->ReadByte());
    case TValueType::vaInt16: Need(2); return static_cast<int16_t>(FStream->ReadWord());
    case TValueType::vaInt32: Need(4); return static_cast<int32_t>(FStream->ReadDWord());
    case TValueType::vaInt64: {
      Need(8);
      int64_t v = 0;
      FStream->ReadBuffer(&v, 8);
      return v;
    }
    default: Error("Integer value expected");
  }
}

int32_t TReader::ReadInteger() {
  int64_t v = ReadInt64();
  if (v < INT32_MIN || v > INT32_MAX) Error("Integer value out of range");
  return static_cast<int32_t>(v);
}

double TReader::ReadFloat() {
  TValueType t = NextValue();
  if (t == TValueType::vaCurrency) return static_cast<double>(ReadCurrency()) / 10000.0;
  if (t != TValueType::vaExtended && t != TValueType::vaDate) return static_cast<double>(ReadInt64());
  ReadValue();
  Need(8);
  double v = 0;
  FStream->ReadBuffer(&v, 8);
  return v;
}

int64_t TReader::ReadCurrency() {
  if (NextValue() != TValueType::vaCurrency) {
    const double v = ReadFloat();
    if (!(v >= -922337203685477.0 && v <= 922337203685477.0)) Error("Currency value out of range");
    return std::llround(v * 10000.0);
  }
  ReadValue();
  Need(8);
  int64_t v = 0;
  FStream->ReadBuffer(&v, 8);
  return v;
}

AnsiString TReader::ReadString() {
  TValueType t = ReadValue();
  if (t == TValueType::vaString || t == TValueType::vaUTF8String) {
    uint32_t n = ReadLength();
    AnsiString s(n, '\0');
    if (n) FStream->ReadBuffer(s.data(), n);
    return t == TValueType::vaUTF8String ? Utf8ToAnsi(s) : s;
  }
  if (t == TValueType::vaWString) {
    FStream->Seek(-1, TSeekOrigin::soCurrent);
    return Utf16ToAnsi(ReadWideString());
  }
  Error("String value expected");
}

std::wstring TReader::ReadWideString() {
  TValueType t = ReadValue();
  if (t == TValueType::vaWString) {
    Need(4);
    uint32_t chars = FStream->ReadDWord();
    if (chars > 0x7FFFFFFF / 2) Error("Unexpected end of data");
    Need(int64_t(chars) * 2);
    std::wstring s(chars, L'\0');
    for (uint32_t i = 0; i < chars; ++i) s[i] = static_cast<wchar_t>(FStream->ReadWord());
    return s;
  }
  if (t == TValueType::vaUTF8String || t == TValueType::vaString) {
    uint32_t n = ReadLength();
    std::string s(n, '\0');
    if (n) FStream->ReadBuffer(s.data(), n);
    return t == TValueType::vaUTF8String ? Utf8ToUtf16(s) : AnsiToUtf16(s);
  }
  Error("String value expected");
}

AnsiString TReader::ReadIdent() {
  TValueType t = ReadValue();
  switch (t) {
    case TValueType::vaIdent: return ReadStr();
    case TValueType::vaTrue: return "True";
    case TValueType::vaFalse: return "False";
    case TValueType::vaNil: return "nil";
    case TValueType::vaNull: return "Null";
    default: Error("Identifier expected");
  }
}

Variant TReader::ReadVariant() {
  switch (NextValue()) {
    case TValueType::vaNil: ReadValue(); return Variant();
    case TValueType::vaIdent: {
      const AnsiString ident = ReadIdent();
      if (SameText(ident, "Null")) return Variant::Null();
      Error("Invalid variant value " + ident);
    }
    case TValueType::vaFalse:
    case TValueType::vaTrue: return Variant(ReadBoolean());
    case TValueType::vaInt8:
    case TValueType::vaInt16:
    case TValueType::vaInt32: return Variant(ReadInteger());
    case TValueType::vaInt64: return Variant(ReadInt64());
    case TValueType::vaExtended: return Variant(ReadFloat());
    case TValueType::vaCurrency: return Variant(Currency::FromRaw(ReadCurrency()));
    case TValueType::vaDate: return Variant::FromDate(ReadFloat());
    case TValueType::vaString:
    case TValueType::vaUTF8String: return Variant(ReadString());
    case TValueType::vaWString: return Variant(ReadWideString());
    default: Error("Variant value expected");
  }
}

std::vector<AnsiString> TReader::ReadSet() {
  if (ReadValue() != TValueType::vaSet) Error("Set value expected");
  std::vector<AnsiString> idents;
  for (AnsiString id = ReadStr(); !id.empty(); id = ReadStr()) idents.push_back(id);
  return idents;
}

void TReader::ReadListBegin() {
  if (ReadValue() != TValueType::vaList) Error("List expected");
}

void TReader::ReadListEnd() {
  if (ReadValue() != TValueType::vaNull) Error("End of list expected");
}

bool TReader::EndOfList() { return NextValue() == TValueType::vaNull; }

void TReader::SkipValue() {
  switch (ReadValue()) {
    case TValueType::vaNull:
    case TValueType::vaFalse:
    case TValueType::vaTrue:
    case TValueType::vaNil: return;
    case TValueType::vaList: {
      TNesting nesting(*this);
      while (!EndOfList()) SkipValue();
      ReadListEnd();
      return;
    }
    case TValueType::vaInt8: Need(1); FStream->Seek(1, TSeekOrigin::soCurrent); return;
    case TValueType::vaInt16: Need(2); FStream->Seek(2, TSeekOrigin::soCurrent); return;
    case TValueType::vaInt32: Need(4); FStream->Seek(4, TSeekOrigin::soCurrent); return;
    case TValueType::vaInt64:
    case TValueType::vaExtended:
    case TValueType::vaCurrency:
    case TValueType::vaDate: Need(8); FStream->Seek(8, TSeekOrigin::soCurrent); return;
    case TValueType::vaString:
    case TValueType::vaBinary:
    case TValueType::vaUTF8String: FStream->Seek(ReadLength(), TSeekOrigin::soCurrent); return;
    case TValueType::vaWString: {
      Need(4);
      uint32_t chars = FStream->ReadDWord();
      if (chars > 0x7FFFFFFF / 2) Error("Unexpected end of data");
      Need(int64_t(chars) * 2);
      FStream->Seek(int64_t(chars) * 2, TSeekOrigin::soCurrent);
      return;
    }
    case TValueType::vaIdent: ReadStr(); return;
    case TValueType::vaSet:
      while (!ReadStr().empty()) {
      }
      return;
    case TValueType::vaCollection: {
      TNesting nesting(*this);
      while (!EndOfList()) {
        ReadListBegin();
        while (!ReadStr().empty()) SkipValue();
      }
      ReadListEnd();
      return;
    }
  }
}

void TReader::ReadCollection(TCollection* collection) {
  if (ReadValue() != TValueType::vaCollection) Error("Collection expected");
  TNesting nesting(*this);
  // Errors inside name the item: "Items[1].Caption".
  const AnsiString collectionName = FPropName;
  const AnsiString savedPath = FPropPath;
  collection->BeginUpdate();
  try {
    collection->Clear();
    for (int index = 0; !EndOfList(); ++index) {
      ReadListBegin();
      TCollectionItem* item = collection->Add();
      FPropPath = collectionName + "[" + IntToStr(index) + "].";
      ReadProperties(item);
      FPropName = collectionName;
    }
    ReadListEnd();
  } catch (...) {
    FPropPath = savedPath;
    collection->EndUpdate();
    throw;
  }
  FPropPath = savedPath;
  collection->EndUpdate();
}

void TReader::DefineProperty(const AnsiString& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) {
  (void)WriteData;
  (void)HasData;
  if (FDefinedHandled || !SameText(Name, FDefinedName)) return;
  FDefinedHandled = true;
  if (ReadData) ReadData(this);
  else SkipValue();
}

void TReader::DefineBinaryProperty(const AnsiString& Name, TStreamProc ReadData, TStreamProc WriteData,
                                   bool HasData) {
  (void)WriteData;
  (void)HasData;
  if (FDefinedHandled || !SameText(Name, FDefinedName)) return;
  FDefinedHandled = true;
  if (ReadValue() != TValueType::vaBinary) Error("Binary data expected");
  uint32_t n = ReadLength();
  // The procedure sees exactly the stored block, so it can never read into
  // what follows.
  TMemoryStream block;
  block.SetSize(n);
  if (n) FStream->ReadBuffer(block.Memory(), n);
  block.Seek(0, TSeekOrigin::soBeginning);
  if (ReadData) ReadData(block);
}

bool TReader::ReadCustomProperty(TPersistent* instance, const AnsiString& name) {
  AnsiString savedName = FDefinedName;
  bool savedHandled = FDefinedHandled;
  FDefinedName = name;
  FDefinedHandled = false;
  instance->DefineProperties(this);
  if (!FDefinedHandled)
    for (TDefinePropertiesProc proc : GetDefinePropertiesProcs(instance->ClassType())) {
      proc(instance, this);
      if (FDefinedHandled) break;
    }
  bool handled = FDefinedHandled;
  FDefinedName = savedName;
  FDefinedHandled = savedHandled;
  return handled;
}

void TReader::ReadProperties(TPersistent* instance) {
  for (;;) {
    AnsiString name = ReadStr();
    if (name.empty()) return;
    FPropName = FPropPath + name;
    ReadProperty(instance, name);
    FPropName.clear();
  }
}

void TReader::ReadProperty(TPersistent* instance, const AnsiString& name) {
  try {
    // Walk the dotted path down to the sub-object that holds the property.
    TPersistent* target = instance;
    AnsiString rest = name;
    size_t dot;
    while ((dot = rest.find('.')) != AnsiString::npos) {
      AnsiString head = rest.substr(0, dot);
      const TPropInfo* info = GetPropInfo(target->ClassType(), head);
      if (!info || info->Kind != pkClass) Error("Unknown property");
      auto* sub = static_cast<TPersistent*>(GetObjectProp(target, info));
      if (!sub) Error("Property has no object to read into");
      target = sub;
      rest = rest.substr(dot + 1);
    }
    if (const TPropInfo* info = GetPropInfo(target->ClassType(), rest)) {
      ReadPropValue(target, info);
      return;
    }
    if (!ReadCustomProperty(target, rest)) Error("Unknown property");
  } catch (const EFormReadError&) {
    throw;
  } catch (const Exception& e) {
    Error(e.Message());
  }
}

void TReader::ReadPropValue(TPersistent* instance, const TPropInfo* info) {
  switch (info->Kind) {
    case pkInteger:
    case pkInt64: SetOrdProp(instance, info, info->Kind == pkInt64 ? ReadInt64() : ReadInteger()); return;
    case pkCursor:
      if (NextValue() == TValueType::vaIdent) {
        AnsiString ident = ReadIdent();
        int cursor = 0;
        if (!IdentToCursor(ident, cursor)) Error("Unknown cursor " + ident);
        SetOrdProp(instance, info, cursor);
      } else {
        SetOrdProp(instance, info, ReadInteger());
      }
      return;
    case pkColor:
      if (NextValue() == TValueType::vaIdent) {
        AnsiString ident = ReadIdent();
        TColor c = 0;
        if (!IdentToColor(ident, c)) Error("Unknown colour " + ident);
        SetOrdProp(instance, info, c);
      } else {
        // Colours are 32 bits, written signed or not; more would be cut.
        int64_t v = ReadInt64();
        if (v < INT32_MIN || v > int64_t(UINT32_MAX)) Error("Colour value out of range");
        SetOrdProp(instance, info, static_cast<uint32_t>(v));
      }
      return;
    case pkBoolean: SetOrdProp(instance, info, ReadBoolean() ? 1 : 0); return;
    case pkEnumeration: {
      AnsiString ident = ReadIdent();
      int v = info->EnumType->ValueOf(ident);
      if (v < 0) Error("Invalid value " + ident);
      SetOrdProp(instance, info, v);
      return;
    }
    case pkSet: {
      int64_t bits = 0;
      for (const AnsiString& ident : ReadSet()) {
        int v = info->EnumType->ValueOf(ident);
        if (v < 0 || v >= 64) Error("Invalid set element " + ident);
        bits |= int64_t(1) << v;
      }
      SetOrdProp(instance, info, bits);
      return;
    }
    case pkFloat: SetFloatProp(instance, info, ReadFloat()); return;
    case pkString: SetStrProp(instance, info, ReadString()); return;
    case pkWString: SetWideStrProp(instance, info, ReadWideString()); return;
    case pkVariant: SetVariantProp(instance, info, ReadVariant()); return;
    case pkMethod: {
      if (NextValue() == TValueType::vaNil) {
        ReadValue();
        SetMethodProp(instance, info, FRoot, AnsiString());
        return;
      }
      SetMethodProp(instance, info, FRoot, ReadIdent());
      return;
    }
    case pkComponent: {
      if (NextValue() == TValueType::vaNil) {
        ReadValue();
        SetObjectProp(instance, info, nullptr);
        return;
      }
      AnsiString name = ReadIdent();
      FFixups.push_back({instance, info, name, FComponentName + "." + FPropName});
      return;
    }
    case pkClass: {
      TObject* sub = GetObjectProp(instance, info);
      if (IsCollection(sub)) {
        ReadCollection(static_cast<TCollection*>(sub));
        return;
      }
      if (NextValue() == TValueType::vaNil && info->Set) {
        ReadValue();
        SetObjectProp(instance, info, nullptr);
        return;
      }
      Error("Sub-object properties are stored by their own names");
    }
  }
}

TComponent* TReader::FindComponentRef(const AnsiString& name) {
  if (FRoot && SameText(FRoot->Name(), name)) return FRoot;
  return FRoot ? FRoot->FindComponent(name) : nullptr;
}

void TReader::ResolveFixups() {
  std::vector<TFixup> fixups;
  fixups.swap(FFixups);
  for (const TFixup& f : fixups) {
    TComponent* target = FindComponentRef(f.Name);
    if (!target) {
      FComponentName.clear();
      FPropName = f.Where;
      Error("Component " + f.Name + " not found");
    }
    try {
      SetObjectProp(f.Instance, f.Info, target);
    } catch (const Exception& e) {
      FComponentName.clear();
      FPropName = f.Where;
      Error(e.Message());
    }
  }
}

void TReader::ReadComponentBody(TComponent* component, TComponent* parent, bool isRoot, TComponent* root,
                                const AnsiString& name, const AnsiString& className, const TPropInfo*& filledField) {
  component->BeginLoading();
  FLoaded.push_back(component);
  if (isRoot) {
    FRoot = component;
    FLookupRoot = component;
    if (component->Name().empty() && !name.empty()) component->SetName(name);
  } else {
    if (!name.empty()) {
      if (root->FindComponent(name) && root->FindComponent(name) != component)
        Error("A component named " + name + " already exists");
      component->SetName(name);
      if (const TPropInfo* field = FindPublishedField(root->ClassType(), name)) {
        TObject* value = component;
        if (field->PropClass && !component->InheritsFrom(field->PropClass))
          Error("Field " + name + " cannot hold a " + className);
        field->Set(root, &value);
        filledField = field;
      }
    }
    if (parent && component->HasParent()) component->SetParentComponent(parent);
  }
  TComponent* const savedParent = FParent;
  TComponent* const savedRoot = FDataRoot;
  const AnsiString savedClassName = FDataClassName;
  FParent = parent;
  FDataRoot = root ? root : component;
  FDataClassName = className;
  try {
    component->ReadState(this);
  } catch (...) {
    FParent = savedParent;
    FDataRoot = savedRoot;
    FDataClassName = savedClassName;
    throw;
  }
  FParent = savedParent;
  FDataRoot = savedRoot;
  FDataClassName = savedClassName;
}

// The component's side of reading lives with the reader (the natively built
// runtime, which reads no forms, has its own in native/ComponentState.cpp).
void TComponent::ReadState(TReader* Reader) { Reader->ReadData(this); }

void TReader::ReadData(TComponent* instance) {
  if (!FDataRoot) Error("No component is being read");
  TComponent* const root = FDataRoot;
  const AnsiString className = FDataClassName;
  ReadProperties(instance);
  for (;;) {
    Need(1);
    if (FStream->ReadByte() == 0) break;
    FStream->Seek(-1, TSeekOrigin::soCurrent);
    ReadComponent(instance, false, root);
    FComponentName = instance->Name().empty() ? className : instance->Name();
  }
}

TComponent* TReader::ReadComponent(TComponent* parent, bool isRoot, TComponent* root) {
  TNesting nesting(*this);
  Need(1);
  uint8_t marker = FStream->ReadByte();
  AnsiString className = ReadStr();
  AnsiString name = ReadStr();
  FComponentName = name.empty() ? className : name;
  FPropName.clear();
  if (marker != kObjectMarker) Error(Format("Object expected, found byte %u", marker));
  if (className.empty()) Error("Class name expected");
  TComponent* component = root;
  bool created = false;
  const TPropInfo* filledField = nullptr;
  if (isRoot && root) {
    // A descendant of the stored class reads its ancestor's form too.
    TClass cls = root->ClassType();
    while (cls && !SameText(cls->Name, className)) cls = cls->Parent;
    if (!cls) Error("Stream holds a " + className + ", not a " + root->ClassName());
  } else {
    TClass cls = GetClass(className);
    if (!cls) Error("Class " + className + " not found");
    if (!TObject::ClassInheritsFrom(cls, &TComponent::ClassInfo)) Error("Class " + className + " is not a component");
    const TClass savedRoot = RootInMaking;
    if (isRoot) RootInMaking = cls;
    try {
      component = static_cast<TComponent*>(CreateObject(cls, isRoot ? FOwner : root));
      RootInMaking = savedRoot;
    } catch (const EFormReadError&) {
      RootInMaking = savedRoot;
      throw;
    } catch (const Exception& e) {
      RootInMaking = savedRoot;
      Error(e.Message());
    }
    created = true;
  }
  try {
    try {
      ReadComponentBody(component, parent, isRoot, root, name, className, filledField);
    } catch (const EFormReadError&) {
      throw;
    } catch (const Exception& e) {
      Error(e.Message());  // a name the component refuses, ...
    }
  } catch (...) {
    if (filledField) {
      TObject* none = nullptr;
      filledField->Set(root, &none);
    }
    if (created) {
      for (size_t i = 0; i < FLoaded.size(); ++i)
        if (FLoaded[i] == component) FLoaded.resize(i);
      Free(component);
    }
    throw;
  }
  return component;
}

TComponent* TReader::ReadRootComponent(TComponent* root, TComponent* owner) {
  FOwner = owner;
  FRoot = root;
  char sig[4];
  Need(4);
  FStream->ReadBuffer(sig, 4);
  if (std::memcmp(sig, kSignature, 4) != 0) Error("Not a form stream");
  FLoaded.clear();
  FFixups.clear();
  TComponent* result = ReadComponent(FParent, true, root);
  bool createdRoot = result != root;
  try {
    ResolveFixups();
  } catch (...) {
    if (createdRoot) Free(result);
    throw;
  }
  // Every component of the tree hears Loaded once the whole tree is read.
  std::vector<TComponent*> loaded;
  loaded.swap(FLoaded);
  for (TComponent* c : loaded) c->Loaded();
  return result;
}

// ---------------------------------------------------------------- writer

TWriter::TWriter(TStream* stream) : TFiler(stream) {}

void TWriter::WriteValue(TValueType value) { FStream->WriteByte(static_cast<uint8_t>(value)); }

void TWriter::WriteStr(const AnsiString& value) {
  if (value.size() > 255) throw EWriteError("Name too long: " + value.substr(0, 32) + "...");
  FStream->WriteByte(static_cast<uint8_t>(value.size()));
  FStream->WriteString(value);
}

void TWriter::WriteBoolean(bool value) { WriteValue(value ? TValueType::vaTrue : TValueType::vaFalse); }

void TWriter::WriteInteger(int64_t value) {
  if (value >= INT8_MIN && value <= INT8_MAX) {
    WriteValue(TValueType::vaInt8);
    FStream->WriteByte(static_cast<uint8_t>(value));
  } else if (value >= INT16_MIN && value <= INT16_MAX) {
    WriteValue(TValueType::vaInt16);
    FStream->WriteWord(static_cast<uint16_t>(value));
  } else if (value >= INT32_MIN && value <= INT32_MAX) {
    WriteValue(TValueType::vaInt32);
    FStream->WriteDWord(static_cast<uint32_t>(value));
  } else {
    WriteValue(TValueType::vaInt64);
    FStream->WriteBuffer(&value, 8);
  }
}

void TWriter::WriteFloat(double value) {
  WriteValue(TValueType::vaExtended);
  FStream->WriteBuffer(&value, 8);
}

void TWriter::WriteCurrency(int64_t raw) {
  WriteValue(TValueType::vaCurrency);
  FStream->WriteBuffer(&raw, 8);
}

void TWriter::WriteDate(double value) {
  WriteValue(TValueType::vaDate);
  FStream->WriteBuffer(&value, 8);
}

void TWriter::WriteString(const AnsiString& value) {
  WriteValue(TValueType::vaString);
  FStream->WriteDWord(static_cast<uint32_t>(value.size()));
  FStream->WriteString(value);
}

void TWriter::WriteWideString(const std::wstring& value) {
  WriteValue(TValueType::vaWString);
  FStream->WriteDWord(static_cast<uint32_t>(value.size()));
  for (wchar_t c : value) FStream->WriteWord(static_cast<uint16_t>(c));
}

void TWriter::WriteIdent(const AnsiString& value) {
  if (SameText(value, "True")) WriteValue(TValueType::vaTrue);
  else if (SameText(value, "False")) WriteValue(TValueType::vaFalse);
  else if (SameText(value, "nil")) WriteValue(TValueType::vaNil);
  else {
    WriteValue(TValueType::vaIdent);
    WriteStr(value);
  }
}

void TWriter::WriteVariant(const Variant& value) {
  if (value.IsArray()) throw EWriteError("Variant arrays cannot be stored");
  switch (value.VarType()) {
    case varEmpty: WriteValue(TValueType::vaNil); return;
    case varNull: WriteIdent("Null"); return;
    case varBoolean: WriteBoolean(value.AsBoolean()); return;
    case varShortInt:
    case varByte:
    case varSmallint:
    case varWord:
    case varInteger:
    case varLongWord:
    case varInt64: WriteInteger(value.AsInt64()); return;
    case varString: WriteString(value.AsString()); return;
    case varOleStr: WriteWideString(value.AsOleStr()); return;
    case varCurrency: WriteCurrency(value.AsCurrency().Raw); return;
    case varDate: WriteDate(value.AsDate()); return;
    default: WriteFloat(value.AsDouble()); return;
  }
}

void TWriter::WriteListBegin() { WriteValue(TValueType::vaList); }
void TWriter::WriteListEnd() { WriteValue(TValueType::vaNull); }

void TWriter::WriteCollection(TCollection* collection) {
  WriteValue(TValueType::vaCollection);
  if (collection) {
    AnsiString savedPath = FPropPath;
    for (int i = 0; i < collection->Count(); ++i) {
      WriteListBegin();
      FPropPath.clear();
      WriteProperties(collection->Items(i), nullptr);
      FStream->WriteByte(0);
    }
    FPropPath = savedPath;
  }
  WriteListEnd();
}

bool TWriter::SameCollections(TCollection* a, TCollection* b) {
  TMemoryStream sa, sb;
  TWriter wa(&sa), wb(&sb);
  wa.FRoot = wb.FRoot = FRoot;
  wa.WriteCollection(a);
  wb.WriteCollection(b);
  return sa.DataString() == sb.DataString();
}

void TWriter::WritePropName(const AnsiString& name) { WriteStr(FPropPath + name); }

void TWriter::DefineProperty(const AnsiString& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) {
  (void)ReadData;
  if (!HasData || !WriteData) return;
  WritePropName(Name);
  WriteData(this);
}

void TWriter::DefineBinaryProperty(const AnsiString& Name, TStreamProc ReadData, TStreamProc WriteData,
                                   bool HasData) {
  (void)ReadData;
  if (!HasData || !WriteData) return;
  TMemoryStream block;
  WriteData(block);
  WritePropName(Name);
  WriteBinary(block.DataString());
}

void TWriter::WriteBinary(const std::string& bytes) {
  WriteValue(TValueType::vaBinary);
  FStream->WriteDWord(static_cast<uint32_t>(bytes.size()));
  FStream->WriteString(bytes);
}

void TWriter::WriteSet(const std::vector<AnsiString>& idents) {
  WriteValue(TValueType::vaSet);
  for (const AnsiString& id : idents) WriteStr(id);
  FStream->WriteByte(0);
}

void TWriter::WriteProperty(TPersistent* instance, TPersistent* ancestor, const TPropInfo* info) {
  if (!IsStoredProp(instance, info)) return;
  if (info->Kind == pkClass) {
    TObject* sub = GetObjectProp(instance, info);
    if (!sub) return;
    if (IsCollection(sub)) {
      auto* collection = static_cast<TCollection*>(sub);
      auto* theirs = ancestor ? ObjectAs<TCollection>(GetObjectProp(ancestor, info)) : nullptr;
      if (theirs ? SameCollections(collection, theirs) : collection->Count() == 0) return;
      WritePropName(info->Name);
      WriteCollection(collection);
      return;
    }
    auto* persistent = ObjectAs<TPersistent>(sub);
    if (!persistent) return;
    TPersistent* subAncestor = ancestor ? ObjectAs<TPersistent>(GetObjectProp(ancestor, info)) : nullptr;
    AnsiString savedPath = FPropPath;
    FPropPath += AnsiString(info->Name) + ".";
    WriteProperties(persistent, subAncestor);
    FPropPath = savedPath;
    return;
  }
  if (info->Kind == pkMethod) {
    // Handlers are compared by name: the ancestor's are bound to another form.
    AnsiString method = GetMethodName(instance, info, FRoot);
    if (ancestor && method == GetMethodName(ancestor, info, FAncestorRoot))
      return;
    if (method.empty() && !ancestor) return;
    WritePropName(info->Name);
    // A handler the ancestor has and this form dropped is written as nil,
    // or reading would bring the ancestor's back.
    if (method.empty()) WriteValue(TValueType::vaNil);
    else WriteIdent(method);
    return;
  }
  if (IsDefaultPropertyValue(instance, info, ancestor)) return;
  WritePropName(info->Name);
  switch (info->Kind) {
    case pkBoolean: WriteBoolean(GetOrdProp(instance, info) != 0); return;
    case pkEnumeration: WriteIdent(GetEnumProp(instance, info)); return;
    case pkSet: {
      std::vector<AnsiString> idents;
      int64_t bits = GetOrdProp(instance, info);
      for (size_t i = 0; i < info->EnumType->Names.size() && i < 64; ++i)
        if (bits & (int64_t(1) << i)) idents.push_back(info->EnumType->Names[i]);
      WriteSet(idents);
      return;
    }
    case pkColor: {
      AnsiString ident;
      TColor c = static_cast<TColor>(GetOrdProp(instance, info));
      if (ColorToIdent(c, ident)) WriteIdent(ident);
      else WriteInteger(c);
      return;
    }
    case pkCursor: {
      AnsiString ident;
      auto cursor = static_cast<int>(GetOrdProp(instance, info));
      if (CursorToIdent(cursor, ident)) WriteIdent(ident);
      else WriteInteger(cursor);
      return;
    }
    case pkFloat: WriteFloat(GetFloatProp(instance, info)); return;
    case pkString: WriteString(GetStrProp(instance, info)); return;
    case pkWString: WriteWideString(GetWideStrProp(instance, info)); return;
    case pkVariant: WriteVariant(GetVariantProp(instance, info)); return;
    case pkComponent: {
      auto* c = ObjectAs<TComponent>(GetObjectProp(instance, info));
      if (c && !c->Name().empty()) WriteIdent(c->Name());
      else WriteValue(TValueType::vaNil);
      return;
    }
    default: WriteInteger(GetOrdProp(instance, info)); return;
  }
}

void TWriter::WriteProperties(TPersistent* instance, TPersistent* ancestor) {
  if (ancestor && ancestor->ClassType() != instance->ClassType()) ancestor = nullptr;
  for (const TPropInfo* info : GetPropList(instance->ClassType())) WriteProperty(instance, ancestor, info);
  TPersistent* savedAncestor = FAncestor;
  FAncestor = ancestor;
  instance->DefineProperties(this);
  for (TDefinePropertiesProc proc : GetDefinePropertiesProcs(instance->ClassType())) proc(instance, this);
  FAncestor = savedAncestor;
}

std::vector<TComponent*> TWriter::ChildrenOf(TComponent* component) {
  std::vector<TComponent*> children;
  component->GetChildren([&children](TComponent* child) { children.push_back(child); }, FRoot);
  return children;
}

void TWriter::WriteComponent(TComponent* component, TComponent* ancestor) {
  FStream->WriteByte(kObjectMarker);
  WriteStr(component->ClassName());
  WriteStr(component->Name());
  FPropPath.clear();
  WriteProperties(component, ancestor);
  FStream->WriteByte(0);
  if (!IgnoreChildren()) {
    for (TComponent* child : ChildrenOf(component)) {
      TComponent* childAncestor = FAncestorRoot ? FAncestorRoot->FindComponent(child->Name()) : nullptr;
      WriteComponent(child, childAncestor);
    }
  }
  FStream->WriteByte(0);
}

void TWriter::WriteDescendent(TComponent* root, TComponent* ancestor) {
  FRoot = root;
  FLookupRoot = root;
  FStream->WriteBuffer(kSignature, 4);
  FAncestorRoot = ancestor;
  WriteComponent(root, ancestor);
}

void WriteComponentToStream(TStream& stream, TComponent* component) {
  TWriter writer(&stream);
  writer.WriteRootComponent(component);
}

TComponent* ReadComponentFromStream(TStream& stream, TComponent* instance, TComponent* owner) {
  TReader reader(&stream);
  reader.SetFormName(instance ? instance->ClassName() : "stream");
  return reader.ReadRootComponent(instance, owner);
}
