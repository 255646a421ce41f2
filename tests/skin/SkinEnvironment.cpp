// The skin engine's tests run inside the program's units as the client
// lists them: the skin engine's unit, then the forms unit (the application).
#include "platform/Forms.h"
#include "skin/SkinUnit.h"

#include <gtest/gtest.h>

namespace {

class SkinEnvironment : public ::testing::Environment {
public:
  void SetUp() override { InitializeUnits({SkinUnit, FormsUnit}); }
  void TearDown() override { FinalizeUnits(); }
};

const auto* const kSkinEnvironment = ::testing::AddGlobalTestEnvironment(new SkinEnvironment);

}  // namespace
