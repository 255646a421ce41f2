#include "vtree/TreeAccessibility.h"

#include "platform/Thread.h"
#include "vtree/VirtualTree.h"

#include <algorithm>
#include <mutex>

const TClassInfo TVTAccessibilityFactory::ClassInfo{"TVTAccessibilityFactory", &TObject::ClassInfo, nullptr};

namespace {

TCriticalSection& LibraryLock() {
  static TCriticalSection lock;
  return lock;
}

HMODULE gLibrary = nullptr;
int gUseCount = 0;
TAccessibilityEntries gEntries;

TVTAccessibilityFactory* gFactory = nullptr;
bool gFactoryTried = false;
bool gLibraryLoaded = false;

template <class F>
void Bind(F& Entry, const char* Name) {
  Entry = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(gLibrary, Name)));
}

}  // namespace

bool LoadAccessibilityLibrary() {
  std::lock_guard<TCriticalSection> guard(LibraryLock());
  ++gUseCount;
  if (!gLibrary) {
    gLibrary = LoadLibraryA("oleacc.dll");
    if (gLibrary) {
      Bind(gEntries.LresultFromObject, "LresultFromObject");
      Bind(gEntries.ObjectFromLresult, "ObjectFromLresult");
      Bind(gEntries.AccessibleObjectFromWindow, "AccessibleObjectFromWindow");
      Bind(gEntries.CreateStdAccessibleObject, "CreateStdAccessibleObject");
      Bind(gEntries.CreateStdAccessibleProxyA, "CreateStdAccessibleProxyA");
    }
  }
  return gLibrary != nullptr;
}

void ReleaseAccessibilityLibrary() {
  std::lock_guard<TCriticalSection> guard(LibraryLock());
  if (gUseCount > 0) --gUseCount;
  if (gLibrary && gUseCount == 0) {
    FreeLibrary(gLibrary);
    gLibrary = nullptr;
    gEntries = TAccessibilityEntries();
  }
}

const TAccessibilityEntries& AccessibilityEntries() { return gEntries; }

TVTAccessibilityFactory::~TVTAccessibilityFactory() { ReleaseAccessibilityLibrary(); }

TComPtr<IAccessible> TVTAccessibilityFactory::CreateIAccessible(TBaseVirtualTree* Tree) {
  if (!Tree || FProviders.empty()) return {};
  if (!Tree->AccessibleObject()) return FProviders.front()->CreateIAccessible(Tree);
  if (Tree->AccessibleItem()) return Tree->AccessibleItem();
  for (size_t i = FProviders.size(); i-- > 1;)
    if (TComPtr<IAccessible> item = FProviders[i]->CreateIAccessible(Tree)) return item;
  // No later provider knows items: the first provider's object serves.
  return Tree->AccessibleObject();
}

void TVTAccessibilityFactory::RegisterAccessibleProvider(IVTAccessibleProvider* Provider) {
  if (Provider && std::find(FProviders.begin(), FProviders.end(), Provider) == FProviders.end())
    FProviders.push_back(Provider);
}

void TVTAccessibilityFactory::UnRegisterAccessibleProvider(IVTAccessibleProvider* Provider) {
  std::erase(FProviders, Provider);
}

TVTAccessibilityFactory* GetAccessibilityFactory() {
  if (!gFactoryTried) {
    gFactoryTried = true;
    gLibraryLoaded = LoadAccessibilityLibrary();
    if (!gLibraryLoaded) ReleaseAccessibilityLibrary();
  }
  if (!gLibraryLoaded) return nullptr;
  if (!gFactory) gFactory = new TVTAccessibilityFactory();
  return gFactory;
}

void FreeAccessibilityFactory() {
  delete gFactory;
  gFactory = nullptr;
  gFactoryTried = false;
  gLibraryLoaded = false;
}

// --- the tree's side ----------------------------------------------------------------------------

LRESULT TBaseVirtualTree::HandleGetObject(WPARAM WParam, LPARAM LParam, bool& Handled) {
  Handled = false;
  // A provider making the system's object asks this window again meanwhile:
  // that request gets the default answer.
  if (FMakingAccessible) return 0;
  TVTAccessibilityFactory* factory = GetAccessibilityFactory();
  if (!factory) return 0;
  struct TMaking {
    bool& Flag;
    explicit TMaking(bool& F) : Flag(F) { Flag = true; }
    ~TMaking() { Flag = false; }
  } making{FMakingAccessible};
  if (!FAccessibleObject) FAccessibleObject = factory->CreateIAccessible(this);
  if (!FAccessibleItem) FAccessibleItem = factory->CreateIAccessible(this);
  if (static_cast<LONG>(LParam) != OBJID_CLIENT) return 0;
  Handled = true;
  if (!FAccessibleObject || !AccessibilityEntries().LresultFromObject) return 0;
  return AccessibilityEntries().LresultFromObject(__uuidof(IAccessible), WParam, FAccessibleObject.Get());
}
