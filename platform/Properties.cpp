#include "platform/Properties.h"

#include <algorithm>

#include "platform/Component.h"

#include <map>
#include <memory>

// Registers the published properties of the platform's own classes
// (components, fonts, pictures, image lists); kept apart so this file stays
// free of their headers.
void RegisterPlatformPublished();

namespace {

struct TClassTable {
  std::vector<TPropInfo> Entries;
  std::vector<TDefinePropertiesProc> DefineProcs;
  bool HidesInheritedProcs = false;
};

struct TRegistry {
  std::map<TClass, TClassTable> Tables;
  std::vector<TClass> Classes;
};

TRegistry& Registry() {
  static TRegistry registry;
  return registry;
}

// The platform's registrations run on first look-up, after every static
// initialiser, so they never depend on initialisation order.
TRegistry& ReadyRegistry() {
  static const bool platform = (RegisterPlatformPublished(), true);
  (void)platform;
  return Registry();
}

const TClassTable* TableOf(TClass cls) {
  auto& tables = ReadyRegistry().Tables;
  auto it = tables.find(cls);
  return it == tables.end() ? nullptr : &it->second;
}

const TPropInfo* FindEntry(TClass cls, const AnsiString& name, TPublishedMember member) {
  for (; cls; cls = cls->Parent)
    if (const TClassTable* table = TableOf(cls))
      for (const TPropInfo& p : table->Entries)
        if (p.Member == member && SameText(p.Name, name)) return &p;
  return nullptr;
}

[[noreturn]] void KindMismatch(const TPropInfo* info, const char* wanted) {
  throw EPropertyError(Format("Property %s is not of %s type", info->Name, wanted));
}

const TPropInfo* Checked(const TPropInfo* info) {
  if (!info) throw EPropertyError("Property does not exist");
  return info;
}

void CheckWritable(const TPropInfo* info) {
  if (!info->Set) throw EPropertyError(Format("Property %s is read-only", info->Name));
}

}  // namespace

bool published_detail::IsComponentClass(TClass cls) { return TObject::ClassInheritsFrom(cls, &TComponent::ClassInfo); }

int TEnumInfo::ValueOf(const AnsiString& name) const {
  for (size_t i = 0; i < Names.size(); ++i)
    if (SameText(Names[i], name)) return static_cast<int>(i);
  return -1;
}

AnsiString TEnumInfo::NameOf(int value) const {
  return value >= 0 && static_cast<size_t>(value) < Names.size() ? AnsiString(Names[value]) : AnsiString();
}

void RegisterPublished(TClass cls, std::initializer_list<TPropInfo> entries) {
  if (!cls) throw EInvalidOperation("Cannot publish properties of a nil class");
  TClassTable& table = Registry().Tables[cls];
  for (const TPropInfo& p : entries) {
    if ((p.Kind == pkEnumeration || p.Kind == pkSet) && !p.EnumType)
      throw EInvalidOperation(Format("Property %s.%s needs the names of its values", cls->Name, p.Name));
    bool replaced = false;
    for (TPropInfo& old : table.Entries)
      if (old.Member == p.Member && SameText(old.Name, p.Name)) {
        old = p;
        replaced = true;
      }
    if (!replaced) table.Entries.push_back(p);
  }
  if (cls->Create) RegisterClass(cls);
}

void RegisterDefineProperties(TClass cls, TDefinePropertiesProc proc) {
  std::vector<TDefinePropertiesProc>& procs = Registry().Tables[cls].DefineProcs;
  for (TDefinePropertiesProc p : procs)
    if (p == proc) return;
  procs.push_back(proc);
}

void HideInheritedDefineProperties(TClass cls) { Registry().Tables[cls].HidesInheritedProcs = true; }

void RegisterClass(TClass cls) {
  std::vector<TClass>& classes = Registry().Classes;
  for (TClass& c : classes) {
    if (c == cls) return;
    // A class of the same name registered again (a newer build of it) wins.
    if (SameText(c->Name, cls->Name)) {
      c = cls;
      return;
    }
  }
  classes.push_back(cls);
}

void RegisterClasses(std::initializer_list<TClass> classes) {
  for (TClass c : classes) RegisterClass(c);
}

void UnRegisterClass(TClass cls) {
  std::vector<TClass>& classes = ReadyRegistry().Classes;
  classes.erase(std::remove(classes.begin(), classes.end(), cls), classes.end());
}

void UnRegisterClasses(std::initializer_list<TClass> classes) {
  for (TClass c : classes) UnRegisterClass(c);
}

TClass GetClass(const AnsiString& name) {
  for (TClass c : ReadyRegistry().Classes)
    if (SameText(c->Name, name)) return c;
  return nullptr;
}

TClass FindClass(const AnsiString& name) {
  TClass c = GetClass(name);
  if (!c) throw EClassNotFound(Format("Class %s not found", name.c_str()));
  return c;
}

std::vector<const TPropInfo*> GetPropList(TClass cls) {
  std::vector<TClass> chain;
  for (TClass c = cls; c; c = c->Parent) chain.push_back(c);
  std::vector<const TPropInfo*> list;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
    const TClassTable* table = TableOf(*it);
    if (!table) continue;
    for (const TPropInfo& p : table->Entries) {
      if (p.Member != TPublishedMember::pmProperty) continue;
      bool replaced = false;
      for (const TPropInfo*& old : list)
        if (SameText(old->Name, p.Name)) {
          old = &p;
          replaced = true;
        }
      if (!replaced) list.push_back(&p);
    }
  }
  return list;
}

const TPropInfo* GetPropInfo(TClass cls, const AnsiString& name) {
  return FindEntry(cls, name, TPublishedMember::pmProperty);
}

const TPropInfo* FindPublishedMethod(TClass cls, const AnsiString& name) {
  return FindEntry(cls, name, TPublishedMember::pmMethod);
}

const TPropInfo* FindPublishedField(TClass cls, const AnsiString& name) {
  return FindEntry(cls, name, TPublishedMember::pmField);
}

std::vector<const TPropInfo*> GetPublishedFields(TClass cls) {
  std::vector<const TPropInfo*> list;
  for (; cls; cls = cls->Parent)
    if (const TClassTable* table = TableOf(cls))
      for (const TPropInfo& p : table->Entries)
        if (p.Member == TPublishedMember::pmField) list.push_back(&p);
  return list;
}

std::vector<TDefinePropertiesProc> GetDefinePropertiesProcs(TClass cls) {
  std::vector<const TClassTable*> chain;
  for (TClass c = cls; c; c = c->Parent)
    if (const TClassTable* table = TableOf(c)) {
      chain.push_back(table);
      if (table->HidesInheritedProcs) break;
    }
  std::vector<TDefinePropertiesProc> procs;
  for (auto it = chain.rbegin(); it != chain.rend(); ++it)
    procs.insert(procs.end(), (*it)->DefineProcs.begin(), (*it)->DefineProcs.end());
  return procs;
}

int64_t GetOrdProp(TObject* instance, const TPropInfo* info) {
  if (!Checked(info)->IsOrdinal()) KindMismatch(info, "ordinal");
  int64_t v = 0;
  info->Get(instance, &v);
  return v;
}

void SetOrdProp(TObject* instance, const TPropInfo* info, int64_t value) {
  if (!Checked(info)->IsOrdinal()) KindMismatch(info, "ordinal");
  CheckWritable(info);
  if (info->Kind == pkEnumeration && (value < 0 || value >= static_cast<int64_t>(info->EnumType->Names.size())))
    throw EPropertyError(Format("Value %lld is out of range for %s", static_cast<long long>(value), info->Name));
  info->Set(instance, &value);
}

double GetFloatProp(TObject* instance, const TPropInfo* info) {
  if (Checked(info)->Kind != pkFloat) KindMismatch(info, "float");
  double v = 0;
  info->Get(instance, &v);
  return v;
}

void SetFloatProp(TObject* instance, const TPropInfo* info, double value) {
  if (Checked(info)->Kind != pkFloat) KindMismatch(info, "float");
  CheckWritable(info);
  info->Set(instance, &value);
}

AnsiString GetStrProp(TObject* instance, const TPropInfo* info) {
  if (Checked(info)->Kind != pkString) KindMismatch(info, "string");
  AnsiString v;
  info->Get(instance, &v);
  return v;
}

void SetStrProp(TObject* instance, const TPropInfo* info, const AnsiString& value) {
  if (Checked(info)->Kind != pkString) KindMismatch(info, "string");
  CheckWritable(info);
  info->Set(instance, &value);
}

std::wstring GetWideStrProp(TObject* instance, const TPropInfo* info) {
  if (Checked(info)->Kind != pkWString) KindMismatch(info, "wide string");
  std::wstring v;
  info->Get(instance, &v);
  return v;
}

void SetWideStrProp(TObject* instance, const TPropInfo* info, const std::wstring& value) {
  if (Checked(info)->Kind != pkWString) KindMismatch(info, "wide string");
  CheckWritable(info);
  info->Set(instance, &value);
}

Variant GetVariantProp(TObject* instance, const TPropInfo* info) {
  if (Checked(info)->Kind != pkVariant) KindMismatch(info, "variant");
  Variant v;
  info->Get(instance, &v);
  return v;
}

void SetVariantProp(TObject* instance, const TPropInfo* info, const Variant& value) {
  if (Checked(info)->Kind != pkVariant) KindMismatch(info, "variant");
  CheckWritable(info);
  info->Set(instance, &value);
}

TObject* GetObjectProp(TObject* instance, const TPropInfo* info) {
  if (Checked(info)->Kind != pkClass && info->Kind != pkComponent) KindMismatch(info, "class");
  TObject* v = nullptr;
  info->Get(instance, &v);
  return v;
}

void SetObjectProp(TObject* instance, const TPropInfo* info, TObject* value) {
  if (Checked(info)->Kind != pkClass && info->Kind != pkComponent) KindMismatch(info, "class");
  CheckWritable(info);
  if (value && info->PropClass && !value->InheritsFrom(info->PropClass))
    throw EPropertyError(Format("A %s cannot be assigned to %s (%s)", value->ClassName(), info->Name,
                                info->PropClass->Name));
  info->Set(instance, &value);
}

AnsiString SetToString(const TPropInfo* info, int64_t bits, bool brackets) {
  AnsiString s;
  for (size_t i = 0; i < info->EnumType->Names.size() && i < 64; ++i)
    if (bits & (int64_t(1) << i)) {
      if (!s.empty()) s += ',';
      s += info->EnumType->Names[i];
    }
  return brackets ? "[" + s + "]" : s;
}

int64_t StringToSet(const TPropInfo* info, const AnsiString& text) {
  AnsiString t = Trim(text);
  if (!t.empty() && t.front() == '[') {
    if (t.back() != ']') throw EPropertyError(Format("Invalid set value '%s' for %s", text.c_str(), info->Name));
    t = t.substr(1, t.size() - 2);
  }
  int64_t bits = 0;
  size_t start = 0;
  while (start <= t.size()) {
    size_t comma = t.find(',', start);
    AnsiString item = Trim(t.substr(start, comma == AnsiString::npos ? AnsiString::npos : comma - start));
    if (!item.empty()) {
      int v = info->EnumType->ValueOf(item);
      if (v < 0 || v >= 64)
        throw EPropertyError(Format("Invalid set element '%s' for %s", item.c_str(), info->Name));
      bits |= int64_t(1) << v;
    } else if (comma != AnsiString::npos) {
      throw EPropertyError(Format("Invalid set value '%s' for %s", text.c_str(), info->Name));
    }
    if (comma == AnsiString::npos) break;
    start = comma + 1;
  }
  return bits;
}

AnsiString GetEnumProp(TObject* instance, const TPropInfo* info) {
  int64_t v = GetOrdProp(instance, info);
  if (info->Kind == pkSet) return SetToString(info, v);
  if (info->Kind != pkEnumeration) KindMismatch(info, "enumeration");
  return info->EnumType->NameOf(static_cast<int>(v));
}

void SetEnumProp(TObject* instance, const TPropInfo* info, const AnsiString& name) {
  if (Checked(info)->Kind == pkSet) {
    SetOrdProp(instance, info, StringToSet(info, name));
    return;
  }
  if (info->Kind != pkEnumeration) KindMismatch(info, "enumeration");
  int v = info->EnumType->ValueOf(Trim(name));
  if (v < 0) throw EPropertyError(Format("Invalid value '%s' for %s", name.c_str(), info->Name));
  SetOrdProp(instance, info, v);
}

AnsiString GetPropValue(TObject* instance, const AnsiString& name) {
  const TPropInfo* info = GetPropInfo(instance->ClassType(), name);
  if (!info) throw EPropertyError(Format("Property %s does not exist", name.c_str()));
  switch (info->Kind) {
    case pkEnumeration:
    case pkSet: return GetEnumProp(instance, info);
    case pkBoolean: return GetOrdProp(instance, info) ? "True" : "False";
    case pkString: return GetStrProp(instance, info);
    case pkFloat: return Format("%.17g", GetFloatProp(instance, info));
    case pkVariant: return VarToStr(GetVariantProp(instance, info));
    case pkComponent: {
      TObject* o = GetObjectProp(instance, info);
      auto* c = ObjectAs<TComponent>(o);
      return c ? c->Name() : AnsiString();
    }
    default:
      if (info->IsOrdinal()) return IntToStr(GetOrdProp(instance, info));
      throw EPropertyError(Format("Property %s has no text form", info->Name));
  }
}

void SetPropValue(TObject* instance, const AnsiString& name, const AnsiString& value) {
  const TPropInfo* info = GetPropInfo(instance->ClassType(), name);
  if (!info) throw EPropertyError(Format("Property %s does not exist", name.c_str()));
  switch (info->Kind) {
    case pkEnumeration:
    case pkSet: SetEnumProp(instance, info, value); return;
    case pkBoolean:
      if (SameText(value, "True")) SetOrdProp(instance, info, 1);
      else if (SameText(value, "False")) SetOrdProp(instance, info, 0);
      else throw EPropertyError(Format("Invalid boolean '%s' for %s", value.c_str(), info->Name));
      return;
    case pkString: SetStrProp(instance, info, value); return;
    case pkVariant: SetVariantProp(instance, info, Variant(value)); return;
    default:
      if (info->IsOrdinal()) {
        int64_t v = 0;
        try {
          v = StrToInt64(value);
        } catch (const EConvertError&) {
          throw EPropertyError(Format("Invalid number '%s' for %s", value.c_str(), info->Name));
        }
        // As the form reader does: a 32-bit property takes no more.
        if (info->Kind == pkInteger && (v < INT32_MIN || v > INT32_MAX))
          throw EPropertyError(Format("Value %s is out of range for %s", value.c_str(), info->Name));
        SetOrdProp(instance, info, v);
        return;
      }
      throw EPropertyError(Format("Property %s has no text form", info->Name));
  }
}

namespace {

// An event value of a property's signature, freed on scope exit.
struct TEventHolder {
  explicit TEventHolder(const TPropInfo* info) : Info(info), Value(info->NewEvent()) {}
  ~TEventHolder() { Info->DeleteEvent(Value); }
  TEventHolder(const TEventHolder&) = delete;
  TEventHolder& operator=(const TEventHolder&) = delete;
  const TPropInfo* Info;
  void* Value;
};

void CheckEvent(const TPropInfo* info) {
  if (Checked(info)->Kind != pkMethod || info->Member != TPublishedMember::pmProperty) KindMismatch(info, "event");
}

}  // namespace

void SetMethodProp(TObject* instance, const TPropInfo* info, TObject* root, const AnsiString& methodName) {
  CheckEvent(info);
  CheckWritable(info);
  TEventHolder event(info);
  if (!methodName.empty()) {
    const TPropInfo* method = root ? FindPublishedMethod(root->ClassType(), methodName) : nullptr;
    if (!method)
      throw EPropertyError(Format("Method %s not found for event %s", methodName.c_str(), info->Name));
    if (method->Signature != info->Signature)
      throw EPropertyError(Format("Method %s does not fit event %s", methodName.c_str(), info->Name));
    method->MakeEvent(root, event.Value);
  }
  info->Set(instance, event.Value);
}

AnsiString GetMethodName(TObject* instance, const TPropInfo* info, TObject* root) {
  CheckEvent(info);
  TEventHolder current(info);
  info->Get(instance, current.Value);
  TEventHolder empty(info);
  if (!root || info->SameEvent(current.Value, empty.Value)) return AnsiString();
  for (TClass cls = root->ClassType(); cls; cls = cls->Parent) {
    const TClassTable* table = TableOf(cls);
    if (!table) continue;
    for (const TPropInfo& m : table->Entries) {
      if (m.Member != TPublishedMember::pmMethod || m.Signature != info->Signature) continue;
      TEventHolder candidate(info);
      m.MakeEvent(root, candidate.Value);
      if (info->SameEvent(current.Value, candidate.Value)) return m.Name;
    }
  }
  return AnsiString();
}

bool IsEventAssigned(TObject* instance, const TPropInfo* info) {
  CheckEvent(info);
  TEventHolder current(info);
  info->Get(instance, current.Value);
  TEventHolder empty(info);
  return !info->SameEvent(current.Value, empty.Value);
}

bool SameEventValue(TObject* a, TObject* b, const TPropInfo* info) {
  CheckEvent(info);
  TEventHolder ea(info), eb(info);
  info->Get(a, ea.Value);
  info->Get(b, eb.Value);
  return info->SameEvent(ea.Value, eb.Value);
}

bool IsStoredProp(TObject* instance, const TPropInfo* info) {
  if (info->NeverStored) return false;
  return !info->IsStored || info->IsStored(instance);
}

bool IsDefaultPropertyValue(TObject* instance, const TPropInfo* info, TObject* ancestor) {
  switch (info->Kind) {
    case pkFloat: {
      double v = GetFloatProp(instance, info);
      return ancestor ? v == GetFloatProp(ancestor, info) : v == 0;
    }
    case pkString: {
      AnsiString v = GetStrProp(instance, info);
      return ancestor ? v == GetStrProp(ancestor, info) : v.empty();
    }
    case pkWString: {
      std::wstring v = GetWideStrProp(instance, info);
      return ancestor ? v == GetWideStrProp(ancestor, info) : v.empty();
    }
    case pkVariant: {
      const Variant v = GetVariantProp(instance, info);
      if (!ancestor) return v.IsEmpty() || v.IsNull();
      // The same when of one type and equal (arrays are never the same).
      const Variant a = GetVariantProp(ancestor, info);
      if (v.VarType() != a.VarType() || v.IsArray() || a.IsArray()) return false;
      try {
        return VarCompare(v, a) == 0;
      } catch (const EVariantError&) {
        return false;
      }
    }
    case pkComponent: {
      auto* v = ObjectAs<TComponent>(GetObjectProp(instance, info));
      if (!ancestor) return v == nullptr;
      auto* a = ObjectAs<TComponent>(GetObjectProp(ancestor, info));
      // A reference is the same when it names the same component.
      return (v ? v->Name() : AnsiString()) == (a ? a->Name() : AnsiString());
    }
    case pkMethod:
      return ancestor ? SameEventValue(instance, ancestor, info) : !IsEventAssigned(instance, info);
    case pkClass: return false;  // sub-objects decide property by property
    default: {
      int64_t v = GetOrdProp(instance, info);
      if (ancestor) return v == GetOrdProp(ancestor, info);
      return info->HasDefault && v == info->DefaultValue;
    }
  }
}
