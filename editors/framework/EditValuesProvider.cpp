#include "editors/framework/EditValuesProvider.h"

const TClassInfo TcxCustomEditDefaultValuesProvider::ClassInfo{
    "TcxCustomEditDefaultValuesProvider", &TcxInterfacedPersistent::ClassInfo, [](TObject* owner) -> TObject* {
      return new TcxCustomEditDefaultValuesProvider(dynamic_cast<TPersistent*>(owner));
    }};

TcxCustomEditDefaultValuesProvider::~TcxCustomEditDefaultValuesProvider() { DropFromAllProperties(); }

void TcxCustomEditDefaultValuesProvider::DropFromAllProperties() {
  // A copy: dropping may run code that makes or frees properties.
  const std::vector<TcxCustomEditProperties*> all = AllEditProperties();
  for (TcxCustomEditProperties* properties : all) {
    IcxEditDefaultValuesProvider* held = properties->ValuesProvider();
    if (held && (held == static_cast<IcxEditDefaultValuesProvider*>(this) || held->ProviderObject() == this))
      properties->DropDefaultValuesProvider();
  }
}
