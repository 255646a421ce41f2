// Accessibility clients asking a tree's window for its object: nothing
// without providers, and a provider's object made once and handed out for
// every request.
#include "tests/vtree/TreeChecker.h"

#include "vtree/StringTree.h"
#include "vtree/TreeAccessibility.h"

#include <gtest/gtest.h>

namespace {

// Hands out the system's standard accessible object of the tree's window.
class StandardProvider : public IVTAccessibleProvider {
public:
  TComPtr<IAccessible> CreateIAccessible(TBaseVirtualTree* Tree) override {
    ++Calls;
    TComPtr<IAccessible> object;
    if (AccessibilityEntries().CreateStdAccessibleObject)
      AccessibilityEntries().CreateStdAccessibleObject(Tree->Handle(), OBJID_CLIENT, __uuidof(IAccessible),
                                                       reinterpret_cast<void**>(object.Put()));
    return object;
  }
  int Calls = 0;
};

TEST(TreeAccessibility, WithoutProvidersTheClientObjectIsNone) {
  TreeHost host;
  TVirtualStringTree tree(nullptr);
  host.Place(tree, 200, 100);
  EXPECT_EQ(SendMessageA(tree.Handle(), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)), 0);
  EXPECT_FALSE(tree.AccessibleObject());
}

TEST(TreeAccessibility, AProviderIsAskedOnceForTwoRequests) {
  TVTAccessibilityFactory* factory = GetAccessibilityFactory();
  ASSERT_NE(factory, nullptr) << "the accessibility library is missing";
  ASSERT_NE(AccessibilityEntries().ObjectFromLresult, nullptr);
  StandardProvider provider;
  factory->RegisterAccessibleProvider(&provider);
  {
    TreeHost host;
    TVirtualStringTree tree(nullptr);
    host.Place(tree, 200, 100);
    for (int request = 0; request < 2; ++request) {
      SCOPED_TRACE(request);
      const LRESULT answer = SendMessageA(tree.Handle(), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT));
      ASSERT_GT(answer, 0);
      TComPtr<IAccessible> object;
      ASSERT_EQ(AccessibilityEntries().ObjectFromLresult(answer, __uuidof(IAccessible), 0,
                                                         reinterpret_cast<void**>(object.Put())),
                S_OK);
      EXPECT_TRUE(object);
    }
    EXPECT_EQ(provider.Calls, 1);
    EXPECT_TRUE(tree.AccessibleObject());
    // Other objects than the client area keep the window's default answer.
    EXPECT_EQ(SendMessageA(tree.Handle(), WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_WINDOW)), 0);
  }
  factory->UnRegisterAccessibleProvider(&provider);
}
}  // namespace
