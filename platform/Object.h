// The root object with class metadata, so that a class can be passed by
// reference, asked for its name and parent, and instantiated.
// Portable: no Windows headers.
#pragma once

#include <type_traits>
#include <utility>

class TObject;
class TWeakLinkBase;

// What a class reference points at: name, parent and a factory. The factory
// takes the one constructor argument of the hierarchy (the owner component,
// the owning collection, or nothing) and may be null for abstract classes.
struct TClassInfo {
  const char* Name;
  const TClassInfo* Parent;
  TObject* (*Create)(TObject* owner);
};

// A class reference ("class of TObject"): compare by pointer.
using TClass = const TClassInfo*;

// Every class with metadata declares
//     static const TClassInfo ClassInfo;
//     TClass ClassType() const override { return &ClassInfo; }
// and defines ClassInfo in its .cpp with its parent's &ClassInfo.
class TObject {
public:
  static const TClassInfo ClassInfo;

  TObject() = default;
  virtual ~TObject();
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;

  virtual TClass ClassType() const { return &ClassInfo; }
  const char* ClassName() const { return ClassType()->Name; }
  bool InheritsFrom(TClass cls) const { return ClassInheritsFrom(ClassType(), cls); }

  static bool ClassInheritsFrom(TClass cls, TClass ancestor) {
    for (; cls; cls = cls->Parent)
      if (cls == ancestor) return true;
    return false;
  }

  // Runs once the most derived constructor has finished, when the object is
  // made through New() or a class reference (CreateObject): a thread starts
  // here, never half-built.
  virtual void AfterConstruction() {}
  // Runs before the destructor chain when the object is freed through Free(),
  // FreeAndNil() or its owner, while the whole object is still intact.
  virtual void BeforeDestruction() {}

  // Sets every weak link to this object to null now. The destructor does it
  // at the latest; classes whose destruction fires events do it earlier.
  void ClearWeakLinks();

private:
  friend class TWeakLinkBase;
  TWeakLinkBase* FWeakLinks = nullptr;  // intrusive list of links to this object
};

// Runs AfterConstruction on a newly made object; frees it when that raises.
TObject* FinishConstruction(TObject* object);

// Makes a T and runs its AfterConstruction: the way to create objects whose
// construction finishes with an action (threads that start running).
template <class T, class... A>
inline T* New(A&&... args) {
  return static_cast<T*>(FinishConstruction(new T(std::forward<A>(args)...)));
}

// Instantiates a class reference with the hierarchy's constructor argument;
// raises EInvalidOperation for abstract classes (no factory).
TObject* CreateObject(TClass cls, TObject* owner = nullptr);

// Frees an object: BeforeDestruction, then its destructor; null is ignored.
void Free(TObject* object);

// Free with the object's own destructor; null is ignored.
template <class T>
inline void FreeAndNil(T*& object) {
  T* victim = object;
  object = nullptr;
  if constexpr (std::is_base_of_v<TObject, T>) {
    if (victim) victim->BeforeDestruction();
  }
  delete victim;
}

// `object` as a T when its class is T or a descendant, else null ("as"/"is").
template <class T>
inline T* ObjectAs(TObject* object) {
  return object && object->InheritsFrom(&T::ClassInfo) ? static_cast<T*>(object) : nullptr;
}

// A weak reference that reads null once its object is destroyed. Links are
// kept by the object itself (no global table); use them on the thread that
// owns the object (the GUI thread for every window and component).
class TWeakLinkBase {
public:
  TWeakLinkBase() = default;
  explicit TWeakLinkBase(TObject* object) { Attach(object); }
  TWeakLinkBase(const TWeakLinkBase& other) { Attach(other.FObject); }
  TWeakLinkBase& operator=(const TWeakLinkBase& other) {
    if (this != &other) Attach(other.FObject);
    return *this;
  }
  ~TWeakLinkBase() { Detach(); }

  TObject* Get() const { return FObject; }
  explicit operator bool() const { return FObject != nullptr; }
  void Attach(TObject* object);
  void Detach();

private:
  friend class TObject;
  TObject* FObject = nullptr;
  TWeakLinkBase* FPrev = nullptr;
  TWeakLinkBase* FNext = nullptr;
};

template <class T>
class TWeakLink : public TWeakLinkBase {
public:
  TWeakLink() = default;
  TWeakLink(T* object) : TWeakLinkBase(object) {}
  TWeakLink& operator=(T* object) {
    Attach(object);
    return *this;
  }
  T* Get() const { return static_cast<T*>(TWeakLinkBase::Get()); }
  T* operator->() const { return Get(); }
  bool operator==(const T* object) const { return Get() == object; }
};
