// A test fixture for controls hosting the browser: points the OLE host at
// the fake for the browser's class (other classes are not registered) and
// checks at the end that every object of the fake is gone and every handle
// given back.
#pragma once

#include "platform/HandleCounts.h"
#include "platform/OleControl.h"
#include "tests/platform/ole/FakeBrowser.h"
#include "tests/support/TestSupport.h"

#include <exdisp.h>

#include <gtest/gtest.h>

namespace fake_browser {

class FakeBrowserHost : public ::testing::Test {
protected:
  void SetUp() override {
    FStartCounts = HandleCounts();
    Factory = TComPtr<FakeBrowserFactory>(new FakeBrowserFactory);
    FOldSource = SetOleClassSource([this](REFCLSID id, IClassFactory** factory) -> HRESULT {
      if (id != CLSID_WebBrowser) return REGDB_E_CLASSNOTREG;
      *factory = Factory.Get();
      Factory->AddRef();
      return S_OK;
    });
  }
  void TearDown() override {
    SetOleClassSource(FOldSource);
    Factory.Clear();
    testing_support::RunMessagesUntilIdle();
    EXPECT_EQ(LiveObjects(), 0) << "every object of the fake released";
    EXPECT_EQ(HandleCounts(), FStartCounts);
  }

  TComPtr<FakeBrowserFactory> Factory;

private:
  THandleCounts FStartCounts;
  TOleClassSource FOldSource;
};

}  // namespace fake_browser
