#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/registry.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/tests/rtltest.h"

namespace {

namespace fs = std::filesystem;

class Registry : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = std::getenv("XDG_CONFIG_HOME");
    HadOld = old != nullptr;
    if (old) Old = old;
    setenv("XDG_CONFIG_HOME", Dir.c_str(), 1);
    RegistryResetCache();
  }
  void TearDown() override {
    RegistryResetCache();
    if (HadOld) setenv("XDG_CONFIG_HOME", Old.c_str(), 1);
    else unsetenv("XDG_CONFIG_HOME");
  }
  std::string FileText() const { return ReadWholeFile(Dir + "/penvarro/registry.ini"); }
  void WriteFileText(const std::string& text) const {
    fs::create_directories(Dir + "/penvarro");
    WriteWholeFile(Dir + "/penvarro/registry.ini", text);
  }
  TempDir Temp;
  const std::string& Dir = Temp.Path;
  std::string Old;
  bool HadOld = false;
};

TEST_F(Registry, FileLocation) {
  EXPECT_EQ(RegistryFileName(), Dir + "/penvarro/registry.ini");
  std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  unsetenv("XDG_CONFIG_HOME");
  if (!home.empty()) {
    EXPECT_EQ(RegistryFileName(), home + "/.config/penvarro/registry.ini");
  }
  setenv("XDG_CONFIG_HOME", Dir.c_str(), 1);
}

TEST_F(Registry, TypedValuesRoundTripThroughTheFile) {
  TDateTime when = EncodeDate(2023, 12, 31) + EncodeTime(23, 59, 58, 999);
  const unsigned char bytes[] = {0x00, 0xFF, 0x5C, 0x0A};
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Software\\Penvarro\\" + kNode, true));
    reg.WriteString("Title", kNode + "\\ x");
    reg.WriteInteger("Count", -42);
    reg.WriteInteger("Big", static_cast<Integer>(0xFFFFFFF0u));
    reg.WriteBool("On", true);
    reg.WriteFloat("Ratio", 0.1);
    reg.WriteDateTime("When", when);
    reg.WriteBinaryData("Blob", bytes, sizeof bytes);
    reg.WriteBinaryData("None", nullptr, 0);
    reg.CloseKey();
  }
  std::string text = FileText();
  EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\Penvarro\\" + kNode + "]\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Count=int:-42\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("Blob=bin:00FF5C0A\r\n"), std::string::npos) << text;

  RegistryResetCache();  // read everything back from the file
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\PENVARRO\\" + kNode));
  EXPECT_EQ(reg.CurrentPath(), "Software\\PENVARRO\\" + kNode);  // as the caller named it
  EXPECT_EQ(reg.ReadString("title"), kNode + "\\ x");
  EXPECT_EQ(reg.ReadInteger("Count"), -42);
  EXPECT_EQ(static_cast<std::uint32_t>(reg.ReadInteger("Big")), 0xFFFFFFF0u);
  EXPECT_TRUE(reg.ReadBool("On"));
  EXPECT_EQ(reg.ReadFloat("Ratio"), 0.1);
  EXPECT_EQ(reg.ReadDateTime("When"), when);
  unsigned char buf[8] = {};
  EXPECT_EQ(reg.ReadBinaryData("Blob", buf, sizeof buf), 4);
  EXPECT_EQ(std::memcmp(buf, bytes, 4), 0);
  EXPECT_EQ(reg.ReadBinaryData("None", buf, sizeof buf), 0);
  EXPECT_EQ(reg.GetDataSize("Title"), 8);
  EXPECT_EQ(reg.GetDataType("Ratio"), rdBinary);
  EXPECT_EQ(reg.GetDataSize("Missing"), -1);

  TStringList names;
  reg.GetValueNames(&names);
  EXPECT_EQ(ItemsOf(names), (Items{"Title", "Count", "Big", "On", "Ratio", "When", "Blob", "None"}));
}

TEST_F(Registry, MissingValuesAndTypeMismatchesRaise) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Types", true));
  reg.WriteString("s", "5");
  reg.WriteInteger("i", 5);
  reg.WriteBinaryData("b4", "abcd", 4);
  reg.WriteFloat("f", 1.0);
  struct Case {
    const char* name;
    std::function<void()> read;
    const char* message;
  } cases[] = {
      {"int as string", [&] { reg.ReadString("i"); }, "Invalid data type for 'i'"},
      {"string as int", [&] { reg.ReadInteger("s"); }, "Invalid data type for 's'"},
      {"string as bool", [&] { reg.ReadBool("s"); }, "Invalid data type for 's'"},
      {"int as float", [&] { reg.ReadFloat("i"); }, "Invalid data type for 'i'"},
      {"4 bytes as float", [&] { reg.ReadFloat("b4"); }, "Invalid data type for 'b4'"},
      {"float as int", [&] { reg.ReadInteger("f"); }, "Invalid data type for 'f'"},
      {"string as binary", [&] { char b[8]; reg.ReadBinaryData("s", b, 8); }, "Invalid data type for 's'"},
      {"binary too big", [&] { char b[2]; reg.ReadBinaryData("b4", b, 2); }, "Invalid data type for 'b4'"},
      {"missing string", [&] { reg.ReadString("nope"); }, "Failed to get data for 'nope'"},
      {"missing int", [&] { reg.ReadInteger("nope"); }, "Failed to get data for 'nope'"},
      {"missing date", [&] { reg.ReadDateTime("nope"); }, "Failed to get data for 'nope'"},
      {"missing binary", [&] { char b[2]; reg.ReadBinaryData("nope", b, 2); }, "Failed to get data for 'nope'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      c.read();
      ADD_FAILURE() << "no exception";
    } catch (const ERegistryException& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
  }
}

TEST_F(Registry, WritesNeedAKeyOpenForWriting) {
  TRegistry reg;
  EXPECT_THROW(reg.WriteString("x", "y"), ERegistryException);  // no key open
  ASSERT_TRUE(reg.OpenKey("Software\\RO", true));
  reg.WriteInteger("n", 1);
  ASSERT_TRUE(reg.OpenKeyReadOnly("\\Software\\RO"));
  try {
    reg.WriteInteger("n", 2);
    ADD_FAILURE();
  } catch (const ERegistryException& e) {
    EXPECT_STREQ(e.what(), "Failed to set data for 'n'");
  }
  EXPECT_FALSE(reg.DeleteValue("n"));
  EXPECT_EQ(reg.ReadInteger("n"), 1);
}

TEST_F(Registry, OpeningKeys) {
  TRegistry reg;
  EXPECT_FALSE(reg.OpenKey("Software\\Missing", false));
  EXPECT_FALSE(reg.KeyExists("Software\\Missing"));
  ASSERT_TRUE(reg.OpenKey("Software\\App", true));
  EXPECT_TRUE(reg.KeyExists("\\Software"));  // parents are created too

  // Relative names go below the open key; a failed open keeps it.
  EXPECT_FALSE(reg.OpenKey("Nope", false));
  EXPECT_EQ(reg.CurrentPath(), "Software\\App");
  ASSERT_TRUE(reg.OpenKey("Sub\\Deeper", true));
  EXPECT_EQ(reg.CurrentPath(), "Software\\App\\Sub\\Deeper");
  ASSERT_TRUE(reg.OpenKey("\\Software\\App", false));
  EXPECT_TRUE(reg.KeyExists("Sub"));
  EXPECT_TRUE(reg.HasSubKeys());

  // The roots are separate trees.
  reg.WriteInteger("Where", 1);
  reg.SetRootKey(HKEY_LOCAL_MACHINE);
  EXPECT_EQ(reg.CurrentKey(), 0u);
  EXPECT_FALSE(reg.KeyExists("\\Software\\App"));
  ASSERT_TRUE(reg.OpenKey("\\Software\\App", true));
  EXPECT_FALSE(reg.ValueExists("Where"));

  // Names the file cannot keep are refused.
  EXPECT_FALSE(reg.OpenKey("bad\nname", true));
  EXPECT_FALSE(reg.OpenKey(" padded", true));
  EXPECT_THROW(reg.CreateKey("bad\x01name"), ERegistryException);
  EXPECT_TRUE(reg.CreateKey("\\Software\\Made\\Here"));
  EXPECT_TRUE(reg.KeyExists("\\Software\\Made"));
}

TEST_F(Registry, KeyNamesAreDirectChildrenOnly) {
  TRegistry reg;
  for (const char* key : {"\\S\\b", "\\S\\a\\x\\y", "\\S\\C", "\\S\\a\\z", "\\Sx\\q"}) reg.CreateKey(key);
  // A trail byte equal to '\' does not split a key name.
  reg.CreateKey("\\S\\\x95\x5C\\inner");
  ASSERT_TRUE(reg.OpenKey("\\S", false));
  TStringList names;
  reg.GetKeyNames(&names);
  EXPECT_EQ(ItemsOf(names), (Items{"a", "b", "C", "\x95\x5C"}));
  ASSERT_TRUE(reg.OpenKey("\x95\x5C", false));
  reg.GetKeyNames(&names);
  EXPECT_EQ(ItemsOf(names), Items{"inner"});
}

TEST_F(Registry, KeysImpliedByDeeperKeysInAHandWrittenFile) {
  WriteFileText("[HKEY_CURRENT_USER\\Top\\Mid\\Leaf]\nv=int:3\n");
  TRegistry reg;
  EXPECT_TRUE(reg.KeyExists("\\Top\\Mid"));
  ASSERT_TRUE(reg.OpenKey("\\Top", false));
  TStringList names;
  reg.GetKeyNames(&names);
  EXPECT_EQ(ItemsOf(names), Items{"Mid"});
  ASSERT_TRUE(reg.OpenKey("Mid\\Leaf", false));
  EXPECT_EQ(reg.ReadInteger("V"), 3);
}

TEST_F(Registry, DeleteKeyRemovesTheWholeSubtree) {
  TRegistry reg;
  for (const char* key : {"\\T\\A\\B\\C", "\\T\\A\\B2", "\\T\\AB", "\\T\\A2"}) reg.CreateKey(key);
  ASSERT_TRUE(reg.OpenKey("\\T\\A\\B", false));
  reg.WriteInteger("n", 1);

  TRegistry other;
  EXPECT_TRUE(other.DeleteKey("\\T\\a"));
  for (const char* gone : {"\\T\\A", "\\T\\A\\B", "\\T\\A\\B\\C", "\\T\\A\\B2"}) {
    SCOPED_TRACE(gone);
    EXPECT_FALSE(other.KeyExists(gone));
  }
  EXPECT_TRUE(other.KeyExists("\\T\\AB"));  // a name that merely starts the same stays
  EXPECT_TRUE(other.KeyExists("\\T\\A2"));
  EXPECT_FALSE(other.DeleteKey("\\T\\A"));
  EXPECT_FALSE(other.DeleteKey("\\"));  // the root stays

  // The same registry object closes a key it deletes, so nothing brings it back.
  ASSERT_TRUE(reg.OpenKey("\\T\\AB", false));
  EXPECT_TRUE(reg.DeleteKey("\\T\\AB"));
  EXPECT_EQ(reg.CurrentKey(), 0u);
  EXPECT_THROW(reg.WriteInteger("n", 2), ERegistryException);
  EXPECT_FALSE(reg.KeyExists("\\T\\AB"));

  reg.CloseKey();
  RegistryResetCache();
  TRegistry fresh;
  EXPECT_FALSE(fresh.KeyExists("\\T\\A\\B\\C"));
  EXPECT_TRUE(fresh.KeyExists("\\T\\A2"));
}

TEST_F(Registry, AwkwardNamesAndTextSurviveTheFile) {
  const Items names = {"", "@", "a=b", ";x", "[y]", " lead", "trail ", "back\\slash", "\x95\x5C", "\x81", kNode};
  const Items values = {"two\r\nlines", "trail ", "\x81", "\\x41", "=", " ", "[s]", kNode, "\t", "", "x\0y"};
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\Odd", true));
    for (std::size_t i = 0; i < names.size(); ++i) reg.WriteString(names[i], values[i]);
    reg.WriteString("nul", AnsiString("x\0y", 3));
  }
  RegistryResetCache();
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\Odd", false));
  for (std::size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(reg.ReadString(names[i]), values[i]);
  }
  EXPECT_EQ(reg.ReadString("nul"), AnsiString("x\0y", 3));
  TStringList list;
  reg.GetValueNames(&list);
  Items expected = names;
  expected.push_back("nul");
  EXPECT_EQ(ItemsOf(list), expected);
}

TEST_F(Registry, UnreadableStoredValuesHaveNoType) {
  WriteFileText("[HKEY_CURRENT_USER\\H]\r\ngarbage=whatever\r\nn=int:12abc\r\nb=bin:ABC\r\nok=int:$10\r\nno equals\r\n");
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\H", false));
  for (const char* name : {"garbage", "n", "b", "ok"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(reg.ValueExists(name));
    EXPECT_EQ(reg.GetDataType(name), rdUnknown);
    EXPECT_THROW(reg.ReadInteger(name), ERegistryException);
    EXPECT_THROW(reg.ReadString(name), ERegistryException);
  }
  // Writing keeps the lines the store does not understand.
  reg.WriteInteger("n", 1);
  reg.CloseKey();
  EXPECT_NE(FileText().find("no equals\r\n"), std::string::npos);
}

TEST_F(Registry, ChangesOfARegistryNeverClosedReachTheFileAtExit) {
  EXPECT_EXIT(
      {
        auto* leaked = new TRegistry;
        leaked->OpenKey("\\Leak", true);
        leaked->WriteInteger("n", 7);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
  EXPECT_NE(FileText().find("[HKEY_CURRENT_USER\\Leak]\r\nn=int:7\r\n"), std::string::npos) << FileText();
}

TEST_F(Registry, ValuesCanBeDeleted) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("\\V", true));
  reg.WriteString("a", "1");
  reg.WriteString("A", "2");  // same name without case: replaces
  EXPECT_EQ(reg.ReadString("a"), "2");
  EXPECT_TRUE(reg.DeleteValue("a"));
  EXPECT_FALSE(reg.ValueExists("A"));
  EXPECT_FALSE(reg.DeleteValue("a"));
}

TEST_F(Registry, RegIniFile) {
  {
    TRegIniFile ini("Software\\Penvarro\\Layout");
    ini.WriteString("Bar0", "Caption", kNode);
    ini.WriteInteger("Bar0", "Left", 12);
    ini.WriteBool("Bar0", "Visible", true);
    ini.WriteString("Bar1", "Caption", "x");
    ini.WriteString("", "Top", "own key");
  }
  RegistryResetCache();
  TRegIniFile ini("Software\\Penvarro\\Layout");
  EXPECT_EQ(ini.ReadString("bar0", "caption", ""), kNode);
  EXPECT_EQ(ini.ReadInteger("Bar0", "Left", 0), 12);
  EXPECT_TRUE(ini.ReadBool("Bar0", "Visible", false));
  EXPECT_EQ(ini.ReadString("Bar9", "Caption", "def"), "def");
  EXPECT_EQ(ini.ReadInteger("Bar0", "Caption", -1), -1);
  EXPECT_EQ(ini.ReadString("", "Top", ""), "own key");

  TStringList list;
  ini.ReadSections(&list);
  EXPECT_EQ(ItemsOf(list), (Items{"Bar0", "Bar1"}));
  ini.ReadSection("Bar0", &list);
  EXPECT_EQ(ItemsOf(list), (Items{"Caption", "Left", "Visible"}));
  ini.ReadSectionValues("Bar0", &list);
  EXPECT_EQ(ItemsOf(list), (Items{"Caption=" + kNode, "Left=12", "Visible=1"}));

  // Integers written through the registry read as integers too.
  ASSERT_TRUE(ini.OpenKey("Bar1", false));
  ini.WriteInteger("Width", 80);
  ASSERT_TRUE(ini.OpenKey("\\Software\\Penvarro\\Layout", false));
  EXPECT_EQ(ini.ReadInteger("Bar1", "Width", 0), 80);

  ini.DeleteKey("Bar0", "Left");
  EXPECT_EQ(ini.ReadInteger("Bar0", "Left", -1), -1);
  ini.EraseSection("Bar0");
  ini.EraseSection("");  // never the open key itself
  ini.ReadSections(&list);
  EXPECT_EQ(ItemsOf(list), Items{"Bar1"});
  EXPECT_EQ(ini.ReadString("", "Top", ""), "own key");
}

// A registry-ini object whose key was closed reads and writes below the root,
// as one that opened and closed a key to check that it exists is used.
TEST_F(Registry, RegIniFileWithItsKeyClosedWorksFromTheRoot) {
  {
    TRegIniFile ini("Software\\Penvarro\\Insp");
    ini.WriteString("Categories", "Cat1", kNode);
    ini.WriteInteger("Rows\\Name", "RowHeight", 25);
  }
  TRegIniFile ini("");
  ASSERT_TRUE(ini.OpenKey("\\Software\\Penvarro\\Insp", false));
  ini.CloseKey();
  EXPECT_EQ(ini.CurrentKey(), 0u);
  EXPECT_EQ(ini.ReadString("\\Software\\Penvarro\\Insp\\Categories", "Cat1", "none"), kNode);
  EXPECT_EQ(ini.ReadInteger("Software\\Penvarro\\Insp\\Rows\\Name", "RowHeight", -1), 25);
  TStringList list;
  ini.ReadSection("\\Software\\Penvarro\\Insp\\Categories", &list);
  EXPECT_EQ(ItemsOf(list), Items{"Cat1"});
  ini.ReadSectionValues("\\Software\\Penvarro\\Insp\\Categories", &list);
  EXPECT_EQ(ItemsOf(list), Items{"Cat1=" + kNode});
  // Writes create their keys below the root, and leave no key open.
  ini.WriteBool("\\Software\\Penvarro\\Insp\\Rows\\Name", "Visible", false);
  EXPECT_EQ(ini.CurrentKey(), 0u);
  RegistryFlush();
  RegistryResetCache();
  TRegIniFile again("Software\\Penvarro\\Insp\\Rows");
  EXPECT_FALSE(again.ReadBool("Name", "Visible", true));
  ini.DeleteKey("\\Software\\Penvarro\\Insp\\Rows\\Name", "Visible");
  EXPECT_TRUE(again.ReadBool("Name", "Visible", true));
}

}  // namespace
