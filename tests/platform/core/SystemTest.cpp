// Resource strings, the callback guard, message-only windows, reference
// counting and the system helpers.
#include "platform/CallbackGuard.h"
#include "platform/Interfaced.h"
#include "platform/ResourceString.h"
#include "platform/SysUtils.h"
#include "platform/UtilWindow.h"

#include <gtest/gtest.h>

#include <new>

namespace {

const TResourceString sTestText{0xFF01, "Default text"};
const TResourceString sOtherText{0xFF02, "Other text"};

TEST(ResourceString, ReplacementsAndTheHookWin) {
  EXPECT_EQ(LoadResString(sTestText), "Default text");
  ReplaceResString(sTestText, "替换的文字");
  EXPECT_EQ(LoadResString(sTestText), "替换的文字");
  EXPECT_EQ(LoadResString(sOtherText), "Other text");

  const TResStringHook old = SetResStringHook(TResStringHook::Lambda([](const TResourceString& rs, AnsiString& text) {
    if (rs.Id != 0xFF02) return false;
    text = "hooked";
    return true;
  }));
  EXPECT_EQ(LoadResString(sOtherText), "hooked");
  EXPECT_EQ(LoadResString(sTestText), "替换的文字");
  SetResStringHook(old);

  RestoreResString(sTestText);
  EXPECT_EQ(LoadResString(sTestText), "Default text");
}

TEST(ResourceString, TheProgramsStringTableWinsOverTheDefault) {
  const TResourceString sInTable{0xFF03, "Default"};
  const wchar_t* text = nullptr;
  if (LoadStringW(GetModuleHandleW(nullptr), sInTable.Id, reinterpret_cast<wchar_t*>(&text), 0) == 0)
    GTEST_SKIP() << "CoreTest.rc is not linked into this program";
  EXPECT_EQ(LoadResString(sInTable), "表格里的文字");
}

TEST(CallbackGuard, EveryKindOfExceptionReachesTheHandlerExceptAbort) {
  std::vector<std::string> seen;
  const TExceptionEvent old = SetCallbackExceptionHandler(
      TExceptionEvent::Lambda([&](TObject*, Exception& e) { seen.push_back(e.Message()); }));
  EXPECT_EQ(GuardCallback([]() -> int { throw EConvertError("not a number"); }, -1), -1);
  GuardCallback([] { throw std::bad_alloc(); });
  GuardCallback([] { throw std::runtime_error("std failure"); });
  GuardCallback([] { throw 42; });
  GuardCallback([] { Abort(); });
  EXPECT_EQ(GuardCallback([] { return 5; }, -1), 5);
  SetCallbackExceptionHandler(old);
  EXPECT_EQ(seen, (std::vector<std::string>{"not a number", "Out of memory", "std failure", "Unknown exception"}));
}

TEST(UtilWindow, MessagesReachTheMethodAndExceptionsStopAtTheWindow) {
  std::vector<std::string> seen;
  const TExceptionEvent old = SetCallbackExceptionHandler(
      TExceptionEvent::Lambda([&](TObject*, Exception& e) { seen.push_back(e.Message()); }));
  HWND wnd = AllocateHWnd(TWndMethod::Lambda([](TMessage& m) {
    if (m.Msg == WM_USER + 7) m.Result = static_cast<LRESULT>(m.WParam + m.LParam);
    else if (m.Msg == WM_USER + 8) throw EInvalidOperation("handler failed");
  }));
  ASSERT_TRUE(wnd);
  EXPECT_EQ(GetParent(wnd), nullptr);
  EXPECT_EQ(SendMessageA(wnd, WM_USER + 7, 40, 2), 42);
  EXPECT_EQ(SendMessageA(wnd, WM_USER + 8, 0, 0), 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"handler failed"}));
  DeallocateHWnd(wnd);
  EXPECT_FALSE(IsWindow(wnd));
  SetCallbackExceptionHandler(old);
}

class TCounted : public TInterfacedObject<IUnknown> {};

TEST(Interfaced, TheLastReleaseFreesTheObject) {
  auto* object = new TCounted;
  TWeakLink<TCounted> alive(object);
  {
    TComPtr<IUnknown> first(object);
    TComPtr<IUnknown> second = first;
    EXPECT_EQ(object->RefCount(), 2);
    IUnknown* raw = nullptr;
    EXPECT_EQ(first->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&raw)), S_OK);
    raw->Release();
    void* none = reinterpret_cast<void*>(1);
    EXPECT_EQ(first->QueryInterface(IID_IStream, &none), E_NOINTERFACE);
    EXPECT_EQ(none, nullptr);
  }
  EXPECT_FALSE(alive);
}

TEST(SysUtils, EnvironmentFilesAndVersion) {
  SetEnvironmentVariableA("MEVRA_CORE_TEST", "中文值");
  EXPECT_EQ(GetEnvironmentVariable("MEVRA_CORE_TEST"), "中文值");
  SetEnvironmentVariableA("MEVRA_CORE_TEST", nullptr);
  EXPECT_EQ(GetEnvironmentVariable("MEVRA_CORE_TEST"), "");

  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  // A doubled backslash, as a HOMEPATH starting with one gives, is accepted.
  const AnsiString root = IncludeTrailingPathDelimiter(temp) + "mevra-core-dirs";
  const AnsiString deep = root + "\\\\a\\目录\\c\\";
  EXPECT_TRUE(ForceDirectories(deep));
  EXPECT_TRUE(DirectoryExists(root + "\\a\\目录\\c"));
  EXPECT_FALSE(FileExists(root + "\\a"));
  const AnsiString file = root + "\\a\\f.txt";
  CloseHandle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  EXPECT_TRUE(FileExists(file));
  EXPECT_FALSE(DirectoryExists(file));
  EXPECT_THROW(ForceDirectories(""), EInOutError);
  DeleteFileA(file.c_str());
  for (const char* d : {"\\a\\目录\\c", "\\a\\目录", "\\a", ""}) RemoveDirectoryA((root + d).c_str());

  const struct { const char* In; const char* Path; const char* Name; const char* Ext; } paths[] = {
      {"c:\\qz\\qz.dat", "c:\\qz\\", "qz.dat", ".dat"},
      {"qz.dat", "", "qz.dat", ".dat"},
      {"c:\\a.b\\file", "c:\\a.b\\", "file", ""},
      {"c:", "c:", "", ""},
      // A double-byte character whose second byte is a backslash is not a delimiter.
      {"c:\\d\x81\x5C" ".txt", "c:\\", "d\x81\x5C" ".txt", ".txt"},
      {"c:\\\x81\x5C" "\\f", "c:\\\x81\x5C" "\\", "f", ""}};
  EXPECT_EQ(ExcludeTrailingPathDelimiter("c:\\\x81\x5C"), "c:\\\x81\x5C");
  EXPECT_EQ(IncludeTrailingPathDelimiter("c:\\\x81\x5C"), "c:\\\x81\x5C" "\\");
  for (const auto& p : paths) {
    EXPECT_EQ(ExtractFilePath(p.In), p.Path) << p.In;
    EXPECT_EQ(ExtractFileName(p.In), p.Name) << p.In;
    EXPECT_EQ(ExtractFileExt(p.In), p.Ext) << p.In;
  }

  const DWORD version = GetVersion();
  EXPECT_EQ(Win32Platform, VER_PLATFORM_WIN32_NT);
  EXPECT_EQ(Win32MajorVersion, static_cast<int>(LOBYTE(LOWORD(version))));
  EXPECT_EQ(Win32MinorVersion, static_cast<int>(HIBYTE(LOWORD(version))));
  EXPECT_TRUE(CheckWin32Version(Win32MajorVersion, Win32MinorVersion));
  EXPECT_FALSE(CheckWin32Version(Win32MajorVersion + 1));
}

}  // namespace
