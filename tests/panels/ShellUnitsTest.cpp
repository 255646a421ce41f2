// The shell environment units: COM undone only when it was done, and file
// versions read from version resources.
#include "panels/ShellUnits.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <thread>

namespace {

TEST(ShellUnits, FileVersionsOfSystemLibrariesAndOfFilesWithout) {
  const uint64_t comctl = FileVersionOf("comctl32.dll");
  EXPECT_GE(comctl >> 48, 5u) << std::hex << comctl;
  EXPECT_NE(FileVersionOf("shell32.dll"), 0u);
  EXPECT_EQ(FileVersionOf("no-such-file.dll"), 0u);
  char self[MAX_PATH]{};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  EXPECT_EQ(FileVersionOf(self), 0u) << "a test program carries no version resource";
  RzShellUtilsInit();
  EXPECT_EQ(ShellEnvironment().ComCtlVersion, comctl);
  EXPECT_NE(ShellEnvironment().ShellMalloc, nullptr);
  EXPECT_EQ(ShellEnvironment().OSVersion.dwMajorVersion, 6u);
  RzShellUtilsDone();
  EXPECT_EQ(ShellEnvironment().ShellMalloc, nullptr);
}

// On a thread already in the multi-threaded apartment CoInitialize fails:
// shutting the unit down must then leave that apartment alone.
TEST(ShellUnits, ComIsUndoneOnlyWhenItSucceeded) {
  HRESULT afterDone = E_FAIL;
  bool initialized = true;
  std::thread worker([&] {
    ASSERT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    RzShellInit();
    initialized = ShellComInitialized();
    RzShellDone();
    // Still initialized (S_FALSE) unless the unit took the apartment down.
    afterDone = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(afterDone)) CoUninitialize();
    CoUninitialize();
  });
  worker.join();
  EXPECT_FALSE(initialized);
  EXPECT_EQ(afterDone, S_FALSE);
  // On the GUI thread (an apartment already) it succeeds and is balanced.
  RzShellInit();
  EXPECT_TRUE(ShellComInitialized());
  RzShellDone();
  EXPECT_FALSE(ShellComInitialized());
}

}  // namespace
