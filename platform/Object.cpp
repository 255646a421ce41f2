#include "platform/Object.h"

#include "platform/Exceptions.h"

#include <string>

const TClassInfo TObject::ClassInfo{"TObject", nullptr, [](TObject*) -> TObject* { return new TObject; }};

TObject::~TObject() { ClearWeakLinks(); }

void TObject::ClearWeakLinks() {
  while (FWeakLinks) {
    TWeakLinkBase* link = FWeakLinks;
    FWeakLinks = link->FNext;
    link->FObject = nullptr;
    link->FPrev = link->FNext = nullptr;
  }
}

void TWeakLinkBase::Attach(TObject* object) {
  if (object == FObject) return;
  Detach();
  if (!object) return;
  FObject = object;
  FNext = object->FWeakLinks;
  if (FNext) FNext->FPrev = this;
  object->FWeakLinks = this;
}

void TWeakLinkBase::Detach() {
  if (!FObject) return;
  if (FPrev) FPrev->FNext = FNext;
  else FObject->FWeakLinks = FNext;
  if (FNext) FNext->FPrev = FPrev;
  FObject = nullptr;
  FPrev = FNext = nullptr;
}

TObject* CreateObject(TClass cls, TObject* owner) {
  if (!cls) throw EInvalidOperation("Cannot create an object of a nil class");
  if (!cls->Create) throw EInvalidOperation(std::string("Cannot create an instance of abstract class ") + cls->Name);
  return FinishConstruction(cls->Create(owner));
}

TObject* FinishConstruction(TObject* object) {
  try {
    object->AfterConstruction();
  } catch (...) {
    delete object;
    throw;
  }
  return object;
}

void Free(TObject* object) {
  if (!object) return;
  object->BeforeDestruction();
  delete object;
}
