// Objects that can be copied onto one another and stored in forms.
#pragma once

#include "platform/Object.h"

#include <string>

class TFiler;

class TPersistent : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // Copies `source` onto this object; when this class does not know the
  // source's class, asks the source (AssignTo), which raises EConvertError
  // "Cannot assign a <source class> to a <target class>".
  virtual void Assign(TPersistent* source);
  // The object that owns this one in the form's tree (for GetNamePath).
  virtual TPersistent* GetOwner() { return nullptr; }
  virtual std::string GetNamePath();
  // Stores data beside the published properties (form streaming).
  virtual void DefineProperties(TFiler* filer) { (void)filer; }

protected:
  virtual void AssignTo(TPersistent* dest);
};
