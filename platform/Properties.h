// Published properties: a table per class of the properties a form stores
// (name, kind, getter, setter, default, stored predicate), the published
// methods a form's events are bound to by name, and the published fields a
// form reader fills with the components it creates. Classes register their
// table once, in their own .cpp, next to ClassInfo:
//
//   namespace {
//   const TPublishedRegistration registration(&TButton::ClassInfo, {
//       Property<&TButton::Caption, &TButton::SetCaption>("Caption"),
//       Property<&TButton::Default, &TButton::SetDefault>("Default").Default(false),
//       Property<&TControl::Color, &TControl::SetColor>("Color", pkColor)
//           .Default(clBtnFace).Stored<&TControl::IsColorStored>(),
//       Property<&TControl::Align, &TControl::SetAlign>("Align", AlignNames).Default(alNone),
//       Property<&TControl::Font>("Font"),                  // sub-object, read in place
//       Event<&TControl::OnClick>("OnClick"),               // a public TEvent field
//   });
//   }
//
//   // a form: its handlers and the fields the reader fills
//   const TPublishedRegistration registration(&TForm1::ClassInfo, {
//       Method<&TForm1::Button1Click>("Button1Click"),
//       Field<&TForm1::Button1>("Button1"),
//   });
//
// Getters are const member functions (answering a value or a const
// reference) or data members; setters are member functions taking the value
// or data members; a property with no setter is read-only (sub-objects are
// then read in place). The kind follows from the getter's type: bool,
// integers, enumerations (names given), TSet (names of its enumeration),
// floats, AnsiString, std::wstring, Variant, pointers to components
// (references by name), pointers to other persistent objects (sub-objects,
// collections included) and TEvent fields. Colours and cursors are integers
// named by passing pkColor or pkCursor.
//
// Registration also makes a class with a factory known to FindClass, so a
// form reader can create it by name.
#pragma once

#include "platform/Event.h"
#include "platform/Exceptions.h"
#include "platform/Object.h"
#include "platform/Set.h"
#include "platform/Text.h"
#include "platform/Variant.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <type_traits>
#include <vector>

class TComponent;
class TFiler;
class TPersistent;

enum class TPropKind {
  pkInteger, pkInt64, pkEnumeration, pkSet, pkBoolean, pkColor, pkCursor, pkFloat, pkString, pkWString,
  pkClass, pkComponent, pkMethod, pkVariant
};
using enum TPropKind;

// The names of an enumeration's values, in order ("alNone", "alTop", ...).
struct TEnumInfo {
  const char* TypeName;
  std::vector<const char*> Names;
  // The value named `name` (case-insensitive), or -1.
  int ValueOf(const AnsiString& name) const;
  // The name of `value`, empty when out of range.
  AnsiString NameOf(int value) const;
};

// Identity of an event signature, so a method is bound only to an event of
// its own signature.
template <class Signature>
inline const void* EventSignatureId() {
  static const char id = 0;
  return &id;
}

// What a published-table entry is.
enum class TPublishedMember { pmProperty, pmMethod, pmField };

// One entry of a class's published table. The accessors move values through
// a pointer whose type follows the kind: int64_t for pkInteger .. pkCursor
// (enumerations as their position, sets as their bits), double, AnsiString,
// std::wstring, Variant, TObject* for pkClass/pkComponent and fields, and a
// TEvent<Signature> for pkMethod.
struct TPropInfo {
  const char* Name = "";
  TPublishedMember Member = TPublishedMember::pmProperty;
  TPropKind Kind = pkInteger;
  const TEnumInfo* EnumType = nullptr;  // enumerations and sets
  TClass PropClass = nullptr;           // class and component properties, fields
  const void* Signature = nullptr;      // events and methods
  bool HasDefault = false;              // ordinals: not written when equal to Default
  int64_t DefaultValue = 0;
  void (*Get)(TObject* instance, void* value) = nullptr;
  void (*Set)(TObject* instance, const void* value) = nullptr;  // null: read-only
  bool (*IsStored)(TObject* instance) = nullptr;                // null: stored
  bool NeverStored = false;
  // Methods: makes the event bound to `instance`'s method into `event`.
  void (*MakeEvent)(TObject* instance, void* event) = nullptr;
  // Events: compares two events of this property's signature.
  bool (*SameEvent)(const void* a, const void* b) = nullptr;
  // Events: makes an empty event into `event` and destroys one.
  void* (*NewEvent)() = nullptr;
  void (*DeleteEvent)(void* event) = nullptr;

  bool IsOrdinal() const { return Kind <= pkCursor; }
  bool Writable() const { return Set != nullptr; }

  // Builder steps for the registration list.
  template <class V>
  TPropInfo& Default(V value) {
    HasDefault = true;
    if constexpr (std::is_enum_v<V>) DefaultValue = static_cast<int64_t>(value);
    else if constexpr (requires { value.Bits(); }) DefaultValue = static_cast<int64_t>(value.Bits());
    else DefaultValue = static_cast<int64_t>(value);
    return *this;
  }
  // Always written (an ordinal without a default is always written too).
  TPropInfo& NoDefault() { HasDefault = false; return *this; }
  TPropInfo& Stored(bool stored) { NeverStored = !stored; return *this; }
  template <auto Predicate>
  TPropInfo& Stored() {
    using C = typename TMemberTraits<decltype(Predicate)>::Class;
    IsStored = [](TObject* o) -> bool { return (static_cast<C*>(o)->*Predicate)(); };
    return *this;
  }

  template <class M>
  struct TMemberTraits;
  template <class C, class R>
  struct TMemberTraits<R C::*> { using Class = C; using Type = std::decay_t<R>; };
  template <class C, class R>
  struct TMemberTraits<R (C::*)() const> { using Class = C; using Type = std::decay_t<R>; };
  template <class C, class R>
  struct TMemberTraits<R (C::*)()> { using Class = C; using Type = std::decay_t<R>; };
};

// Custom data of a class that cannot define it itself (DefineProperties of
// a class outside the filer's reach): called after the object's own
// DefineProperties.
using TDefinePropertiesProc = void (*)(TPersistent* instance, TFiler* filer);

// Registers `entries` as the published table of `cls` (added to what the
// class registered before). Raises EInvalidOperation for an entry whose
// enumeration names are missing.
void RegisterPublished(TClass cls, std::initializer_list<TPropInfo> entries);
void RegisterDefineProperties(TClass cls, TDefinePropertiesProc proc);
// Keeps the procedures registered for the ancestors of `cls` from running
// for it and its descendants (a class that stores its data its own way).
void HideInheritedDefineProperties(TClass cls);

struct TPublishedRegistration {
  TPublishedRegistration(TClass cls, std::initializer_list<TPropInfo> entries) { RegisterPublished(cls, entries); }
};

// Class references by name, for creating components from a form.
void RegisterClass(TClass cls);
void RegisterClasses(std::initializer_list<TClass> classes);
// Withdraws a class (a unit's shut-down): forms can no longer create it by
// name; its published table stays. A class not registered is ignored.
void UnRegisterClass(TClass cls);
void UnRegisterClasses(std::initializer_list<TClass> classes);
// The registered class named `name` (case-insensitive), or null.
TClass GetClass(const AnsiString& name);
// As GetClass; raises EClassNotFound "Class <name> not found".
TClass FindClass(const AnsiString& name);

// The published properties of `cls`, its ancestors' first (a property that
// a descendant registers again replaces the ancestor's in place).
std::vector<const TPropInfo*> GetPropList(TClass cls);
// The property named `name` of `cls` or an ancestor, or null.
const TPropInfo* GetPropInfo(TClass cls, const AnsiString& name);
// The published method or field named `name`, or null.
const TPropInfo* FindPublishedMethod(TClass cls, const AnsiString& name);
const TPropInfo* FindPublishedField(TClass cls, const AnsiString& name);
std::vector<const TPropInfo*> GetPublishedFields(TClass cls);
// Every custom-data procedure registered for `cls` and its ancestors.
std::vector<TDefinePropertiesProc> GetDefinePropertiesProcs(TClass cls);

// Typed access; each raises EPropertyError when the kind does not fit.
class EPropertyError : public Exception { public: using Exception::Exception; };
int64_t GetOrdProp(TObject* instance, const TPropInfo* info);
void SetOrdProp(TObject* instance, const TPropInfo* info, int64_t value);
double GetFloatProp(TObject* instance, const TPropInfo* info);
void SetFloatProp(TObject* instance, const TPropInfo* info, double value);
AnsiString GetStrProp(TObject* instance, const TPropInfo* info);
void SetStrProp(TObject* instance, const TPropInfo* info, const AnsiString& value);
std::wstring GetWideStrProp(TObject* instance, const TPropInfo* info);
void SetWideStrProp(TObject* instance, const TPropInfo* info, const std::wstring& value);
// Variants: a form stores Empty as nil, Null as the identifier Null,
// Booleans, integers, strings and wide strings as themselves, and every other
// number (dates and currency too) as a float; arrays cannot be stored.
Variant GetVariantProp(TObject* instance, const TPropInfo* info);
void SetVariantProp(TObject* instance, const TPropInfo* info, const Variant& value);
TObject* GetObjectProp(TObject* instance, const TPropInfo* info);
void SetObjectProp(TObject* instance, const TPropInfo* info, TObject* value);
// Enumerations by name, sets as "[a,b]" (also accepted without brackets).
AnsiString GetEnumProp(TObject* instance, const TPropInfo* info);
void SetEnumProp(TObject* instance, const TPropInfo* info, const AnsiString& name);
AnsiString SetToString(const TPropInfo* info, int64_t bits, bool brackets = true);
int64_t StringToSet(const TPropInfo* info, const AnsiString& text);
// The property's value as text (what the readable form shows) and back.
AnsiString GetPropValue(TObject* instance, const AnsiString& name);
void SetPropValue(TObject* instance, const AnsiString& name, const AnsiString& value);

// Cursor names as forms store them ("crHandPoint"); false for a cursor
// without a name / a name that is no cursor.
bool CursorToIdent(int cursor, AnsiString& ident);
bool IdentToCursor(const AnsiString& ident, int& cursor);

// Events by the name of a method of `root` (the form that publishes it):
// raises EPropertyError when `root` has no such method or its signature
// differs; an empty name clears the event.
void SetMethodProp(TObject* instance, const TPropInfo* info, TObject* root, const AnsiString& methodName);
// The name of `root`'s published method the event is bound to; empty when
// the event is not assigned or bound elsewhere.
AnsiString GetMethodName(TObject* instance, const TPropInfo* info, TObject* root);
bool IsEventAssigned(TObject* instance, const TPropInfo* info);
// True when both objects' events of this property are equal.
bool SameEventValue(TObject* a, TObject* b, const TPropInfo* info);

// True when the property is to be written: stored, and different from the
// default (or from the ancestor's value when one is given).
bool IsStoredProp(TObject* instance, const TPropInfo* info);
bool IsDefaultPropertyValue(TObject* instance, const TPropInfo* info, TObject* ancestor);

// ----- registration builders -----------------------------------------------

namespace published_detail {

template <class T>
struct IsEvent : std::false_type {};
template <class Sig>
struct IsEvent<TEvent<Sig>> : std::true_type { using Signature = Sig; };

template <class T>
struct IsSet : std::false_type {};
template <class E, std::size_t N>
struct IsSet<TSet<E, N>> : std::true_type {};

bool IsComponentClass(TClass cls);

template <class T>
constexpr TPropKind KindOf() {
  if constexpr (std::is_same_v<T, bool>) return pkBoolean;
  else if constexpr (std::is_enum_v<T>) return pkEnumeration;
  else if constexpr (IsSet<T>::value) return pkSet;
  else if constexpr (std::is_integral_v<T> && sizeof(T) > 4) return pkInt64;
  else if constexpr (std::is_integral_v<T>) return pkInteger;
  else if constexpr (std::is_floating_point_v<T>) return pkFloat;
  else if constexpr (std::is_same_v<T, AnsiString>) return pkString;
  else if constexpr (std::is_same_v<T, std::wstring>) return pkWString;
  else if constexpr (std::is_same_v<T, Variant>) return pkVariant;
  else if constexpr (IsEvent<T>::value) return pkMethod;
  else if constexpr (std::is_pointer_v<T>) return pkClass;  // or pkComponent, decided by the class
  else static_assert(sizeof(T) == 0, "type cannot be published");
}

// The value in the form the accessors move it.
template <class T>
using Carrier = std::conditional_t<
    KindOf<T>() <= pkCursor, int64_t,
    std::conditional_t<std::is_pointer_v<T>, TObject*, T>>;

template <class T>
inline Carrier<T> ToCarrier(const T& v) {
  if constexpr (IsSet<T>::value) return static_cast<int64_t>(v.Bits());
  else if constexpr (std::is_pointer_v<T>) return const_cast<std::remove_const_t<std::remove_pointer_t<T>>*>(v);
  else if constexpr (KindOf<T>() <= pkCursor) return static_cast<int64_t>(v);
  else return v;
}

template <class T>
inline T FromCarrier(const Carrier<T>& v) {
  if constexpr (IsSet<T>::value) return T::FromBits(static_cast<unsigned long long>(v));
  else if constexpr (std::is_pointer_v<T>) {
    using P = std::remove_pointer_t<T>;
    return v ? ObjectAs<std::remove_const_t<P>>(v) : nullptr;
  } else if constexpr (KindOf<T>() <= pkCursor) return static_cast<T>(v);
  else return v;
}

template <auto Member>
inline decltype(auto) Read(TObject* o) {
  using C = typename TPropInfo::TMemberTraits<decltype(Member)>::Class;
  if constexpr (std::is_member_function_pointer_v<decltype(Member)>) return (static_cast<C*>(o)->*Member)();
  else return (static_cast<C*>(o)->*Member);
}

template <auto Setter, class T>
inline void Write(TObject* o, const T& v) {
  if constexpr (std::is_member_function_pointer_v<decltype(Setter)>) {
    using C = typename TPropInfo::TMemberTraits<decltype(Setter)>::Class;
    (static_cast<C*>(o)->*Setter)(v);
  } else {
    using C = typename TPropInfo::TMemberTraits<decltype(Setter)>::Class;
    static_cast<C*>(o)->*Setter = v;
  }
}

template <class Sig>
inline void FillEventHelpers(TPropInfo& p) {
  using E = TEvent<Sig>;
  p.Signature = EventSignatureId<Sig>();
  p.SameEvent = [](const void* a, const void* b) { return *static_cast<const E*>(a) == *static_cast<const E*>(b); };
  p.NewEvent = []() -> void* { return new E(); };
  p.DeleteEvent = [](void* e) { delete static_cast<E*>(e); };
}

template <class T>
inline TClass PointeeClass() {
  if constexpr (std::is_pointer_v<T>) return &std::remove_const_t<std::remove_pointer_t<T>>::ClassInfo;
  else return nullptr;
}

}  // namespace published_detail

// A property. `Setter` is a member function, a data member or nullptr.
template <auto Getter, auto Setter = nullptr>
TPropInfo Property(const char* name, TPropKind kind, const TEnumInfo* enumType = nullptr) {
  namespace d = published_detail;
  using T = typename TPropInfo::TMemberTraits<decltype(Getter)>::Type;
  TPropInfo p;
  p.Name = name;
  p.Kind = kind;
  p.EnumType = enumType;
  p.PropClass = d::PointeeClass<T>();
  if constexpr (std::is_pointer_v<T>) {
    if (kind == pkClass && d::IsComponentClass(p.PropClass) && !std::is_same_v<decltype(Setter), std::nullptr_t>)
      p.Kind = pkComponent;
  }
  p.Get = [](TObject* o, void* v) { *static_cast<d::Carrier<T>*>(v) = d::ToCarrier<T>(d::Read<Getter>(o)); };
  if constexpr (!std::is_same_v<decltype(Setter), std::nullptr_t>)
    p.Set = [](TObject* o, const void* v) { d::Write<Setter, T>(o, d::FromCarrier<T>(*static_cast<const d::Carrier<T>*>(v))); };
  if constexpr (d::IsEvent<T>::value) d::FillEventHelpers<typename d::IsEvent<T>::Signature>(p);
  return p;
}

template <auto Getter, auto Setter = nullptr>
TPropInfo Property(const char* name, const TEnumInfo& enumType) {
  using T = typename TPropInfo::TMemberTraits<decltype(Getter)>::Type;
  return Property<Getter, Setter>(name, published_detail::KindOf<T>(), &enumType);
}

template <auto Getter, auto Setter = nullptr>
TPropInfo Property(const char* name) {
  using T = typename TPropInfo::TMemberTraits<decltype(Getter)>::Type;
  return Property<Getter, Setter>(name, published_detail::KindOf<T>(), nullptr);
}

// An event: a TEvent data member (read and written), or a getter and setter.
template <auto Getter, auto Setter = Getter>
TPropInfo Event(const char* name) {
  static_assert(std::is_member_object_pointer_v<decltype(Getter)> || !std::is_same_v<decltype(Setter), decltype(Getter)>,
                "an event with a getter function needs a setter");
  return Property<Getter, Setter>(name, pkMethod, nullptr);
}

namespace published_detail {
template <class M>
struct MethodTraits;
template <class C, class R, class... A>
struct MethodTraits<R (C::*)(A...)> { using Class = C; using Signature = R(A...); };
}  // namespace published_detail

// A published method: a handler an event can be bound to by name.
template <auto MethodPtr>
TPropInfo Method(const char* name) {
  namespace d = published_detail;
  using Traits = d::MethodTraits<decltype(MethodPtr)>;
  using C = typename Traits::Class;
  using E = TEvent<typename Traits::Signature>;
  TPropInfo p;
  p.Name = name;
  p.Member = TPublishedMember::pmMethod;
  p.Kind = pkMethod;
  p.Signature = EventSignatureId<typename Traits::Signature>();
  p.MakeEvent = [](TObject* o, void* e) { *static_cast<E*>(e) = E::template Bind<MethodPtr>(static_cast<C*>(o)); };
  return p;
}

// A published field: a pointer member the form reader sets to the owned
// component of the same name once it is created.
template <auto FieldPtr>
TPropInfo Field(const char* name) {
  namespace d = published_detail;
  using T = typename TPropInfo::TMemberTraits<decltype(FieldPtr)>::Type;
  static_assert(std::is_pointer_v<T>, "a published field is a pointer to a component");
  TPropInfo p;
  p.Name = name;
  p.Member = TPublishedMember::pmField;
  p.Kind = pkComponent;
  p.PropClass = d::PointeeClass<T>();
  p.Get = [](TObject* o, void* v) { *static_cast<TObject**>(v) = d::ToCarrier<T>(d::Read<FieldPtr>(o)); };
  p.Set = [](TObject* o, const void* v) { d::Write<FieldPtr, T>(o, d::FromCarrier<T>(*static_cast<TObject* const*>(v))); };
  return p;
}
