// Accessibility clients ask a tree's window for an IAccessible (WM_GETOBJECT).
// The objects come from providers other units register with the process-wide
// factory; the system's accessibility library is loaded on the first request
// and let go with the factory.
#pragma once

#include "platform/Interfaced.h"
#include "platform/Win32.h"

#include <oleacc.h>

#include <vector>

class TBaseVirtualTree;

// The entry points of the accessibility library, nil while it is not loaded
// (or lacks one).
struct TAccessibilityEntries {
  decltype(&::LresultFromObject) LresultFromObject = nullptr;
  decltype(&::ObjectFromLresult) ObjectFromLresult = nullptr;
  decltype(&::AccessibleObjectFromWindow) AccessibleObjectFromWindow = nullptr;
  decltype(&::CreateStdAccessibleObject) CreateStdAccessibleObject = nullptr;
  decltype(&::CreateStdAccessibleProxyA) CreateStdAccessibleProxyA = nullptr;
};

// Loads the library (counting uses) and answers whether it is loaded.
bool LoadAccessibilityLibrary();
// One use less; the library goes with the last.
void ReleaseAccessibilityLibrary();
const TAccessibilityEntries& AccessibilityEntries();

// Makes an IAccessible for a tree, or answers nil.
class IVTAccessibleProvider {
public:
  virtual ~IVTAccessibleProvider() = default;
  virtual TComPtr<IAccessible> CreateIAccessible(TBaseVirtualTree* Tree) = 0;
};

class TVTAccessibilityFactory : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TVTAccessibilityFactory() = default;
  ~TVTAccessibilityFactory() override;

  // The object for a tree: its main object from the first provider; then
  // its item object from the later providers, last first, or the main one
  // when none of them answers.
  TComPtr<IAccessible> CreateIAccessible(TBaseVirtualTree* Tree);
  // Providers are not owned; they stay registered until taken off.
  void RegisterAccessibleProvider(IVTAccessibleProvider* Provider);
  void UnRegisterAccessibleProvider(IVTAccessibleProvider* Provider);

private:
  std::vector<IVTAccessibleProvider*> FProviders;
};

// The factory, made on first use; nil when the library cannot be loaded.
TVTAccessibilityFactory* GetAccessibilityFactory();
// Frees the factory (at unit finalisation, and for tests).
void FreeAccessibilityFactory();
