// Reference-counted COM objects, the pointer that counts references for its
// holder, and the guard for COM methods.
#pragma once

#include "platform/CallbackGuard.h"
#include "platform/Object.h"
#include "platform/Win32.h"

#include <unknwn.h>

#include <new>
#include <utility>

// Answers what a COM method returns for the exception being handled (call in
// a catch block): the code of an EOleSysError, E_OUTOFMEMORY, E_ABORT for
// EAbort, else E_UNEXPECTED. The exception goes to the callback handler.
HRESULT HandleComException(TObject* sender = nullptr) noexcept;

// Runs the body of a COM method; an exception becomes its HRESULT.
//   return GuardComCall([&] { ...; return S_OK; });
template <class F>
inline HRESULT GuardComCall(F&& body, TObject* sender = nullptr) noexcept {
  try {
    return body();
  } catch (...) {
    return HandleComException(sender);
  }
}

// Raises EOleSysError for a failed HRESULT; answers it otherwise.
HRESULT OleCheck(HRESULT result);

// An object implementing the COM interfaces I...: QueryInterface answers
// IUnknown and each of them (and whatever QueryOther adds); the object frees
// itself when its last reference is released. It starts with no reference:
// hand it to a TComPtr (or AddRef it) at once.
template <class... I>
class TInterfacedObject : public TObject, public I... {
public:
  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (riid == IID_IUnknown) *object = static_cast<IUnknown*>(static_cast<First*>(this));
    else (void)((riid == __uuidof(I) ? (*object = static_cast<I*>(this), true) : false) || ...);
    if (!*object) return QueryOther(riid, object);
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&FRefCount)); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG count = InterlockedDecrement(&FRefCount);
    if (count == 0) Free(this);
    return static_cast<ULONG>(count);
  }
  LONG RefCount() const { return FRefCount; }

protected:
  // Further interfaces a descendant answers (it must AddRef them).
  virtual HRESULT QueryOther(REFIID riid, void** object) {
    (void)riid;
    (void)object;
    return E_NOINTERFACE;
  }

private:
  template <class T, class...>
  struct FirstOf { using Type = T; };
  using First = typename FirstOf<I...>::Type;
  volatile LONG FRefCount = 0;
};

// Holds one reference to a COM object; copying adds one, destruction releases.
template <class T>
class TComPtr {
public:
  TComPtr() = default;
  TComPtr(T* p) : FPtr(p) {
    if (FPtr) FPtr->AddRef();
  }
  TComPtr(const TComPtr& o) : TComPtr(o.FPtr) {}
  TComPtr(TComPtr&& o) noexcept : FPtr(std::exchange(o.FPtr, nullptr)) {}
  ~TComPtr() { Clear(); }
  TComPtr& operator=(TComPtr o) noexcept {
    std::swap(FPtr, o.FPtr);
    return *this;
  }

  T* Get() const { return FPtr; }
  T* operator->() const { return FPtr; }
  explicit operator bool() const { return FPtr != nullptr; }
  bool operator==(const T* p) const { return FPtr == p; }
  void Clear() {
    if (FPtr) std::exchange(FPtr, nullptr)->Release();
  }
  // For out parameters: releases what is held and answers the slot.
  T** Put() {
    Clear();
    return &FPtr;
  }
  // Takes over a reference the caller already owns.
  void Attach(T* p) {
    Clear();
    FPtr = p;
  }
  T* Detach() { return std::exchange(FPtr, nullptr); }
  // The interface U of the held object, or null.
  template <class U>
  TComPtr<U> As() const {
    TComPtr<U> r;
    if (FPtr) FPtr->QueryInterface(__uuidof(U), reinterpret_cast<void**>(r.Put()));
    return r;
  }

private:
  T* FPtr = nullptr;
};
