// The default-values provider every edit's data binding makes: with no data
// behind the editors it gives the base answers (editing allowed, no formats,
// no limits, left alignment). When it goes, every properties object that
// holds it drops it.
#pragma once

#include "editors/framework/EditProperties.h"

class TcxCustomEditDefaultValuesProvider : public TcxInterfacedPersistent, public IcxEditDefaultValuesProvider {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxCustomEditDefaultValuesProvider(TPersistent* owner) : TcxInterfacedPersistent(owner) {}
  ~TcxCustomEditDefaultValuesProvider() override;

  bool AllowsEditStart() override { return true; }
  void DropFromAllProperties() override;
  TAlignment ProvidedAlignment() override { return taLeftJustify; }
  bool AllowsModify() override { return true; }
  AnsiString ProvidedDisplayFormat() override { return AnsiString(); }
  AnsiString ProvidedEditFormat() override { return AnsiString(); }
  AnsiString ProvidedEditMask() override { return AnsiString(); }
  bool ProvidedFloatFlag() override { return false; }
  int ProvidedMaxLength() override { return 0; }
  double ProvidedMaximum() override { return 0.0; }
  double ProvidedMinimum() override { return 0.0; }
  int ProvidedPrecision() override { return 15; }
  bool ProvidedReadOnly() override { return false; }
  bool ProvidedNumericText() override { return false; }
  TObject* ProviderObject() override { return this; }
  bool BoundToStorage() override { return false; }
  bool HoldsBlob() override { return false; }
  bool HoldsCurrency() override { return false; }
  bool HasData() override { return true; }
  bool HasDisplayFormatFor(bool editing) override { (void)editing; return false; }
  bool HasGetTextHandler() override { return false; }
  bool HasSetTextHandler() override { return false; }
  bool AllowsChar(char c) override { (void)c; return true; }
};
