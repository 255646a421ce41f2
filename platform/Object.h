// The root object with class metadata, so that a class can be passed by
// reference, asked for its name and parent, and instantiated.
// Portable: no Windows headers.
#pragma once

class TObject;

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
  virtual ~TObject() = default;
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
};

// Free with the object's own destructor; null is ignored.
template <class T>
inline void FreeAndNil(T*& object) {
  T* victim = object;
  object = nullptr;
  delete victim;
}

// `object` as a T when its class is T or a descendant, else null ("as"/"is").
template <class T>
inline T* ObjectAs(TObject* object) {
  return object && object->InheritsFrom(&T::ClassInfo) ? static_cast<T*>(object) : nullptr;
}
