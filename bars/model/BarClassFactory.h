// The factories the framework's class references carry: a component made
// with its owner, an object made without one.
#pragma once

#include "platform/Component.h"

template <class T>
TObject* dxBarMakeComponent(TObject* owner) {
  return new T(static_cast<TComponent*>(owner));
}

template <class T>
TObject* dxBarMakeObject(TObject*) {
  return new T();
}
