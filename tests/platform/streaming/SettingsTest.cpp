// Settings stores: the INI held in memory, the INI file written through the
// system, the registry and the INI-shaped store over it. Each store runs the
// same round trip of strings, integers, booleans, binary values, sections
// and keys, with missing keys answering their defaults.
#include "platform/FileStream.h"
#include "platform/IniFiles.h"
#include "platform/Registry.h"
#include "platform/Stream.h"
#include "platform/SysUtils.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

namespace {

AnsiString TempFile(const char* name) {
  char dir[MAX_PATH];
  GetTempPathA(MAX_PATH, dir);
  return AnsiString(dir) + "mevra-" + IntToStr(GetCurrentProcessId()) + "-" + name;
}

AnsiString TestKey() { return "\\Software\\MevraTests\\Settings" + IntToStr(GetCurrentProcessId()); }

void DeleteTestKey() {
  TRegistry reg;
  reg.DeleteKey(TestKey());
}

struct StoreCase {
  const char* Name;
  std::function<std::unique_ptr<TCustomIniFile>()> Open;
  std::function<void()> Cleanup;
};

class SettingsStore : public testing::TestWithParam<StoreCase> {
protected:
  void TearDown() override { GetParam().Cleanup(); }
};

const StoreCase kStores[] = {
    {"MemIni", [] { return std::make_unique<TMemIniFile>(TempFile("mem.ini")); },
     [] { DeleteFileA(TempFile("mem.ini").c_str()); }},
    {"ProfileIni", [] { return std::make_unique<TIniFile>(TempFile("profile.ini")); },
     [] { DeleteFileA(TempFile("profile.ini").c_str()); }},
    {"RegistryIni", [] { return std::make_unique<TRegistryIniFile>(TestKey()); }, DeleteTestKey},
};

}  // namespace

TEST_P(SettingsStore, RoundTripsEveryKindOfValue) {
  {
    auto ini = GetParam().Open();
    ini->WriteString("Main", "Title", "今日日志 = log");
    ini->WriteInteger("Main", "Count", -42);
    ini->WriteBool("Main", "Visible", true);
    ini->WriteBool("Main", "Hidden", false);
    TStringStream bytes(std::string("\x00\x01\xFE\xFFzz", 6));
    ini->WriteBinaryStream("Bar0", "State", bytes);
    ini->WriteString("Bar1", "Caption", "");
    ini->UpdateFile();
  }
  auto ini = GetParam().Open();
  EXPECT_EQ("今日日志 = log", ini->ReadString("Main", "Title", "x"));
  EXPECT_EQ(-42, ini->ReadInteger("Main", "Count", 0));
  EXPECT_TRUE(ini->ReadBool("Main", "Visible", false));
  EXPECT_FALSE(ini->ReadBool("Main", "Hidden", true));
  // Booleans are stored as 1 and 0 and read back as integers.
  EXPECT_EQ("1", ini->ReadString("Main", "Visible", ""));
  EXPECT_EQ(0, ini->ReadInteger("Main", "Hidden", 5));
  TMemoryStream read;
  EXPECT_EQ(6, ini->ReadBinaryStream("Bar0", "State", read));
  EXPECT_EQ(std::string("\x00\x01\xFE\xFFzz", 6), read.DataString());

  // Missing sections and keys answer the defaults.
  EXPECT_EQ("fallback", ini->ReadString("Main", "Nothing", "fallback"));
  EXPECT_EQ(17, ini->ReadInteger("Nowhere", "Count", 17));
  EXPECT_TRUE(ini->ReadBool("Main", "Nothing", true));
  TMemoryStream none;
  EXPECT_EQ(0, ini->ReadBinaryStream("Main", "Nothing", none));
  // A value that is not a number answers the integer default.
  EXPECT_EQ(3, ini->ReadInteger("Main", "Title", 3));

  EXPECT_TRUE(ini->SectionExists("Main"));
  EXPECT_FALSE(ini->SectionExists("Nowhere"));
  EXPECT_TRUE(ini->ValueExists("Main", "count"));
  EXPECT_FALSE(ini->ValueExists("Main", "Nothing"));
  TStringList keys;
  ini->ReadSection("Main", keys);
  EXPECT_EQ(4, keys.Count());
  EXPECT_NE(-1, keys.IndexOf("Title"));
  TStringList sections;
  ini->ReadSections(sections);
  EXPECT_NE(-1, sections.IndexOf("Bar0"));
  EXPECT_NE(-1, sections.IndexOf("Bar1"));

  ini->DeleteKey("Main", "Count");
  EXPECT_EQ(9, ini->ReadInteger("Main", "Count", 9));
  ini->EraseSection("Bar0");
  EXPECT_FALSE(ini->SectionExists("Bar0"));
  EXPECT_EQ("kept", ini->ReadString("Bar0", "State", "kept"));
}

INSTANTIATE_TEST_SUITE_P(Stores, SettingsStore, testing::ValuesIn(kStores),
                         [](const testing::TestParamInfo<StoreCase>& info) { return info.param.Name; });

TEST(MemIniFile, KeepsOtherSectionsOfTheFileAndReadsItsText) {
  AnsiString file = TempFile("keep.ini");
  {
    TStringList lines;
    lines.SetText("; a comment\r\n[Other]\r\nkey = value with blanks \r\n\r\n[Layout]\r\nBars=2\r\n");
    lines.SaveToFile(file);
  }
  {
    TMemIniFile ini(file);
    EXPECT_EQ("value with blanks", ini.ReadString("other", "KEY", ""));
    ini.WriteInteger("Layout", "Bars", 3);
    ini.WriteString("New", "A", "b");
    ini.UpdateFile();
  }
  TMemIniFile again(file);
  EXPECT_EQ("value with blanks", again.ReadString("Other", "key", ""));
  EXPECT_EQ(3, again.ReadInteger("Layout", "Bars", 0));
  EXPECT_EQ("b", again.ReadString("New", "A", ""));
  DeleteFileA(file.c_str());
}

TEST(MemIniFile, RefusesWhatItCouldNotReadBack) {
  TMemIniFile ini;
  EXPECT_THROW(ini.WriteString("S", "a=b", "x"), EIniFileException);
  EXPECT_THROW(ini.WriteString("S", "a", "two\r\nlines"), EIniFileException);
  EXPECT_THROW(ini.WriteString("S", "", "x"), EIniFileException);
  EXPECT_THROW(ini.WriteString("S", ";a", "x"), EIniFileException);
  EXPECT_THROW(ini.WriteString("S]", "a", "x"), EIniFileException);
  ini.WriteString("S", "Bin", "0G");
  TMemoryStream s;
  EXPECT_THROW(ini.ReadBinaryStream("S", "Bin", s), EIniFileException);
  ini.WriteString("S", "Odd", "ABC");
  EXPECT_THROW(ini.ReadBinaryStream("S", "Odd", s), EIniFileException);
}

TEST(Registry, TypedValuesKeysAndErrors) {
  DeleteTestKey();
  TRegistry reg;
  ASSERT_FALSE(reg.OpenKey(TestKey(), false));
  ASSERT_TRUE(reg.OpenKey(TestKey(), true));
  reg.WriteString("Name", "值");
  reg.WriteInteger("Count", 7);
  reg.WriteBool("Flag", true);
  const uint8_t blob[] = {1, 2, 3, 0, 255};
  reg.WriteBinaryData("Blob", blob, sizeof blob);
  EXPECT_EQ("值", reg.ReadString("Name"));
  EXPECT_EQ(7, reg.ReadInteger("Count"));
  EXPECT_TRUE(reg.ReadBool("Flag"));
  EXPECT_EQ(rdBinary, reg.GetDataType("Blob"));
  EXPECT_EQ(5, reg.GetDataSize("Blob"));
  uint8_t back[8] = {};
  EXPECT_EQ(5, reg.ReadBinaryData("Blob", back, sizeof back));
  EXPECT_EQ(0, std::memcmp(blob, back, sizeof blob));
  // Reading a value as another type, or a missing one, raises.
  EXPECT_THROW(reg.ReadInteger("Name"), ERegistryException);
  EXPECT_THROW(reg.ReadString("Missing"), ERegistryException);
  EXPECT_EQ(-1, reg.GetDataSize("Missing"));

  ASSERT_TRUE(reg.OpenKey("Sub\\Deeper", true));
  EXPECT_EQ(TestKey().substr(1) + "\\Sub\\Deeper", reg.CurrentPath());
  reg.CloseKey();
  ASSERT_TRUE(reg.OpenKey(TestKey(), false));
  EXPECT_TRUE(reg.HasSubKeys());
  TStringList names;
  reg.GetValueNames(names);
  EXPECT_EQ(4, names.Count());
  EXPECT_TRUE(reg.DeleteValue("Flag"));
  EXPECT_FALSE(reg.ValueExists("Flag"));
  reg.CloseKey();
  // Deleting a key takes its sub-keys with it.
  EXPECT_TRUE(reg.DeleteKey(TestKey()));
  EXPECT_FALSE(reg.KeyExists(TestKey()));
}

TEST(RegistryIniFile, IntegersFollowTheTypeAlreadyStored) {
  DeleteTestKey();
  {
    TRegistryIniFile ini(TestKey());
    ini.WriteString("Bar", "AsText", "12");
    ini.WriteInteger("Bar", "AsText", 13);  // stays a string value
    ini.WriteInteger("Bar", "AsNumber", 14);
  }
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(TestKey() + "\\Bar", false));
  EXPECT_EQ(rdString, reg.GetDataType("AsText"));
  EXPECT_EQ("13", reg.ReadString("AsText"));
  EXPECT_EQ(rdInteger, reg.GetDataType("AsNumber"));
  reg.CloseKey();
  TRegistryIniFile ini(TestKey());
  EXPECT_EQ(13, ini.ReadInteger("Bar", "AsText", 0));
  EXPECT_EQ("14", ini.ReadString("Bar", "AsNumber", ""));
  DeleteTestKey();
}

TEST(RegistryIniFile, ReadsTheColourSchemeNameBelowABaseKey) {
  // How the panels read the scheme name: a base key and a section below it.
  DeleteTestKey();
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(TestKey() + "\\ThemeManager", true));
    reg.WriteString("ColorName", "Metallic");
  }
  TRegistryIniFile ini(TestKey());
  EXPECT_EQ("METALLIC", UpperCase(ini.ReadString("ThemeManager", "ColorName", "")));
  EXPECT_EQ("", ini.ReadString("ThemeManager", "Missing", ""));
  EXPECT_EQ("", ini.ReadString("NoSuchKey", "ColorName", ""));
  DeleteTestKey();
}

TEST(RegistryIniFile, SectionsBeginningWithABackslashAreKeysFromTheRoot) {
  // The bar layouts name their sections by the whole path: base + "Bar0".
  DeleteTestKey();
  const AnsiString base = TestKey() + "\\";
  {
    TRegistryIniFile ini(TestKey());
    ini.WriteInteger(base + "Bar0\\ItemLink0", "Index", 3);
    ini.WriteString(base + "Items", "Caption", "x");
    EXPECT_TRUE(ini.SectionExists(base + "Bar0"));
    EXPECT_EQ(3, ini.ReadInteger(base + "Bar0\\ItemLink0", "Index", 0));
  }
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey(TestKey() + "\\Bar0\\ItemLink0", false));
  EXPECT_EQ(3, reg.ReadInteger("Index"));
  reg.CloseKey();
  EXPECT_FALSE(reg.KeyExists(TestKey() + TestKey()));
  {
    // Erasing the base section takes the whole layout with it.
    TRegistryIniFile ini(TestKey());
    ini.EraseSection(base);
    EXPECT_FALSE(ini.SectionExists(base + "Items"));
    EXPECT_EQ(-1, ini.ReadInteger(base + "Bar0\\ItemLink0", "Index", -1));
  }
  DeleteTestKey();
}

TEST(RegistryIniFile, WritesThatTheKeyRefusesRaise) {
  // A store opened for reading only: each write reports its failure instead
  // of losing the value quietly.
  DeleteTestKey();
  {
    TRegistryIniFile ini(TestKey());
    ini.WriteString("Bar", "Caption", "kept");
  }
  TRegistryIniFile ini(TestKey(), KEY_READ);
  EXPECT_EQ("kept", ini.ReadString("Bar", "Caption", ""));
  EXPECT_THROW(ini.WriteString("Bar", "Caption", "new"), ERegistryException);
  EXPECT_THROW(ini.WriteInteger("Bar", "Count", 1), ERegistryException);
  TStringStream bytes(std::string("\x01\x02", 2));
  EXPECT_THROW(ini.WriteBinaryStream("Bar", "State", bytes), ERegistryException);
  EXPECT_EQ("kept", ini.ReadString("Bar", "Caption", ""));
  DeleteTestKey();
}
