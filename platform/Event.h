// Events: a delegate of object + method that can be compared (same object
// and same method) and tested for "assigned". Lambdas are allowed too; two
// lambda delegates are equal only when one was copied from the other.
// Portable: no Windows headers.
#pragma once

#include <functional>
#include <memory>

class TObject;

template <class Signature>
class TEvent;

template <class R, class... Args>
class TEvent<R(Args...)> {
public:
  TEvent() = default;
  TEvent(std::nullptr_t) {}

  // TEvent<...>::Bind<&TForm1::Button1Click>(form)
  template <auto Method, class C>
  static TEvent Bind(C* object) {
    TEvent e;
    e.FObject = object;
    e.FStub = [](void* o, Args... a) -> R { return (static_cast<C*>(o)->*Method)(std::forward<Args>(a)...); };
    return e;
  }

  template <class F>
  static TEvent Lambda(F&& fn) {
    TEvent e;
    e.FFunction = std::make_shared<std::function<R(Args...)>>(std::forward<F>(fn));
    return e;
  }

  bool Assigned() const { return FStub != nullptr || FFunction != nullptr; }
  explicit operator bool() const { return Assigned(); }
  void Clear() { *this = TEvent(); }

  // The object a bound method is called on (null for lambdas).
  void* Object() const { return FObject; }

  R operator()(Args... a) const {
    if (FStub) return FStub(FObject, std::forward<Args>(a)...);
    return (*FFunction)(std::forward<Args>(a)...);
  }

  // The same code, whatever object it is called on.
  bool SameCode(const TEvent& other) const { return FStub == other.FStub && FFunction == other.FFunction; }

  bool operator==(const TEvent& other) const {
    return FObject == other.FObject && FStub == other.FStub && FFunction == other.FFunction;
  }

private:
  void* FObject = nullptr;
  R (*FStub)(void*, Args...) = nullptr;
  std::shared_ptr<std::function<R(Args...)>> FFunction;
};

using TNotifyEvent = TEvent<void(TObject* Sender)>;

// Calls `event` with `args` when it is assigned.
template <class E, class... Args>
inline void FireEvent(const E& event, Args&&... args) {
  if (event) event(std::forward<Args>(args)...);
}
