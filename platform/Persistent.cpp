#include "platform/Persistent.h"

#include "platform/Exceptions.h"

const TClassInfo TPersistent::ClassInfo{"TPersistent", &TObject::ClassInfo,
                                        [](TObject*) -> TObject* { return new TPersistent; }};

void TPersistent::Assign(TPersistent* source) {
  if (source) source->AssignTo(this);
  else AssignTo(this);  // nil source: reported by AssignTo with this class as both
}

void TPersistent::AssignTo(TPersistent* dest) {
  const std::string source = this == dest ? std::string("nil") : std::string(ClassName());
  throw EConvertError("Cannot assign a " + source + " to a " + dest->ClassName());
}

std::string TPersistent::GetNamePath() { return ClassName(); }
