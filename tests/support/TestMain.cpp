// Entry point of every test program: the GUI thread is an OLE apartment, as
// the program's own is.
#include "platform/Win32.h"

#include <ole2.h>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const HRESULT ole = OleInitialize(nullptr);
  const int rc = RUN_ALL_TESTS();
  if (SUCCEEDED(ole)) OleUninitialize();
  return rc;
}
