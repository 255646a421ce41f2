// A package of an unknown version is announced in a modal message box
// captioned with the program's name.
#include "skin/package/SkinReader.h"
#include "tools/skin/LZHEncoder.h"
#include "tools/skin/SkinPackageWriter.h"

#include <atomic>
#include <thread>

namespace {

TEST(SkinMessageTest, UnknownVersionShowsAModalBox) {
  AnsiString body = BuildSkinBody(20000, {{"a.ini", "[A]"}});
  body[2] = 0x01;  // version 20000 (0x4E20) becomes 85536
  AnsiString stored;
  AppendInt32(stored, static_cast<int32_t>(body.size()));
  TMemoryStream package;
  package.WriteString(stored + LZHCompress(body));

  // The box is modal: another thread reads it and presses OK.
  const DWORD self = GetCurrentThreadId();
  std::atomic<bool> finished{false};
  std::string caption, text;
  std::thread closer([&] {
    for (int i = 0; i < 400 && !finished; ++i) {
      HWND box = FindWindowA("#32770", nullptr);
      if (box && GetWindowThreadProcessId(box, nullptr) == self) {
        char buffer[256] = {};
        GetWindowTextA(box, buffer, sizeof buffer);
        caption = buffer;
        GetDlgItemTextA(box, 0xFFFF, buffer, sizeof buffer);
        text = buffer;
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        return;
      }
      Sleep(25);
    }
  });
  SkinMessageHook = nullptr;
  TSkinReader reader;
  const bool loaded = reader.LoadPackage(package);
  finished = true;
  closer.join();
  EXPECT_FALSE(loaded);
  EXPECT_EQ(caption, "test_skin");
  EXPECT_EQ(text, "This is Older Skin File\rPlease update to new version !");
}

}  // namespace
