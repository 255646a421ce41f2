#include "tests/bars/BarsTestSupport.h"

#include "bars/model/BarGlobals.h"
#include "foundation/FoundationUnits.h"

#include <gtest/gtest.h>

namespace {

class BarsUnitsEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    InitializeUnits({cxClassesUnit, dxUxThemeUnit, dxThemeManagerUnit, dxOffice11Unit, cxGeometryUnit,
                     cxLookAndFeelsUnit, cxLookAndFeelPaintersUnit, cxControlsUnit, cxGraphicsUnit, cxStylesUnit,
                     dxBarUnit});
  }
  void TearDown() override { FinalizeUnits(); }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new BarsUnitsEnvironment);

}  // namespace

int CountPixels(TProbeDIB& dib, const RECT& r, COLORREF color) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (dib.At(x, y) == color) ++n;
  return n;
}
