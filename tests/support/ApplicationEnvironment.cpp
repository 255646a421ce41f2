// Linked into the test programs that show forms (mevra_test ... APPLICATION):
// the application object is made before the first test and freed after the
// last, as the program's unit list does, while COM is still up.
#include "platform/Forms.h"

#include <gtest/gtest.h>

namespace {

class ApplicationEnvironment : public ::testing::Environment {
public:
  void SetUp() override { ApplicationInit(); }
  void TearDown() override { ApplicationDone(); }
};

const auto* const kApplication = ::testing::AddGlobalTestEnvironment(new ApplicationEnvironment);

}  // namespace
