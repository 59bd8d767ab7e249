#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/inifiles.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/tests/rtltest.h"

namespace {

namespace fs = std::filesystem;

class IniFiles : public ::testing::Test {
 protected:
  AnsiString File(const char* name) const { return Temp.File(name); }
  static std::string ReadFile(const AnsiString& name) { return ReadWholeFile(name); }
  static void WriteFile(const AnsiString& name, const std::string& text) { WriteWholeFile(name, text); }
  // A memory ini holding Text.
  static std::unique_ptr<TMemIniFile> FromText(const AnsiString& text) {
    auto ini = std::make_unique<TMemIniFile>("");
    TStringList lines;
    lines.SetText(text);
    ini->SetStrings(&lines);
    return ini;
  }
  TempDir Temp;
  const std::string& Dir = Temp.Path;
};

TEST_F(IniFiles, Cp936RoundTripThroughTheFile) {
  AnsiString name = File("a.ini");
  {
    TMemIniFile ini(name);
    ini.WriteString(kNode, "Title", kNode + " x");
    ini.WriteString("Main", kNode, "=" + kNode + "=");
    ini.WriteInteger("Main", "Count", -7);
    ini.UpdateFile();
  }
  EXPECT_EQ(ReadFile(name), "[" + kNode + "]\r\nTitle=" + kNode + " x\r\n\r\n[Main]\r\n" + kNode + "==" + kNode +
                                "=\r\nCount=-7\r\n\r\n");
  TMemIniFile ini(name);
  EXPECT_EQ(ini.ReadString(kNode, "TITLE", ""), kNode + " x");
  EXPECT_EQ(ini.ReadString("main", kNode, ""), "=" + kNode + "=");
  EXPECT_EQ(ini.ReadInteger("MAIN", "count", 0), -7);
  // Case folding leaves double-byte characters alone: "\x81\x61" is not "\x81\x41".
  ini.WriteString("s", "\x81\x61", "lower trail");
  EXPECT_EQ(ini.ReadString("S", "\x81\x41", "none"), "none");
  EXPECT_EQ(ini.ReadString("S", "\x81\x61", "none"), "lower trail");
}

TEST_F(IniFiles, MalformedAndUnusualLines) {
  auto ini = FromText(
      "orphan=before any section\n"
      "; a comment\n"
      "[First]\n"
      "  key one  =  spaced value  \n"
      "no equals sign here\n"
      "[broken section\n"
      "empty=\n"
      "=nameless\n"
      "[Second]\r"
      "a=1\r\n"
      "[first]\n"
      "added=later\n"
      "key one=duplicate\n"
      "[]\n"
      "in=empty-named section\n");
  struct Case {
    const char* section;
    const char* key;
    const char* expected;
  } cases[] = {
      {"First", "key one", "spaced value"},
      {"First", "added", "later"},  // a repeated section joins the first
      {"First", "empty", ""},
      {"First", "no equals sign here", "default"},
      {"First", "[broken section", "default"},
      {"Second", "a", "1"},
      {"", "in", "empty-named section"},
      {"First", "orphan", "default"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.section) + "/" + c.key);
    EXPECT_EQ(ini->ReadString(c.section, c.key, "default"), c.expected);
  }
  TStringList list;
  ini->ReadSections(&list);
  EXPECT_EQ(ItemsOf(list), (Items{"First", "Second", ""}));
  ini->ReadSection("first", &list);
  EXPECT_EQ(ItemsOf(list), (Items{"key one", "empty", "", "added", "key one"}));

  // Lines that are not keys are written back as they were read.
  ini->GetStrings(&list);
  EXPECT_EQ(list[2], "no equals sign here");
  EXPECT_EQ(list[3], "[broken section");

  // Deleting a key removes every line of that name.
  ini->DeleteKey("First", "KEY ONE");
  EXPECT_FALSE(ini->ValueExists("First", "key one"));
}

TEST_F(IniFiles, TypedReads) {
  auto ini = FromText(
      "[T]\nhex1=$1F\nhex2=0x1f\ndec=12\nneg=-3\nword=abc\nbig=99999999999\n"
      "zero=0\nminus=-1\nyes=yes\nfloat=1.5\nbadfloat=1.5x\n");
  struct IntCase {
    const char* key;
    LongInt expected;
  } ints[] = {{"hex1", 31}, {"hex2", 31}, {"dec", 12}, {"neg", -3}, {"word", 99}, {"big", 99}, {"missing", 99}};
  for (const auto& c : ints) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(ini->ReadInteger("T", c.key, 99), c.expected);
  }
  struct BoolCase {
    const char* key;
    bool def;
    bool expected;
  } bools[] = {{"dec", false, true}, {"zero", true, false}, {"minus", false, true},
               {"yes", true, true},  {"yes", false, false}, {"missing", true, true}};
  for (const auto& c : bools) {
    SCOPED_TRACE(c.key);
    EXPECT_EQ(ini->ReadBool("T", c.key, c.def), c.expected);
  }
  EXPECT_DOUBLE_EQ(ini->ReadFloat("T", "float", 0), 1.5);
  EXPECT_DOUBLE_EQ(ini->ReadFloat("T", "badfloat", -2), -2);
  EXPECT_DOUBLE_EQ(ini->ReadFloat("T", "missing", -2), -2);

  ini->WriteBool("T", "flag", true);
  EXPECT_EQ(ini->ReadString("T", "flag", ""), "1");
  ini->WriteFloat("T", "f", 0.25);
  EXPECT_DOUBLE_EQ(ini->ReadFloat("T", "f", 0), 0.25);
}

TEST_F(IniFiles, DatesAndTimes) {
  TMemIniFile ini("");
  TDateTime when = EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 9, 0);
  ini.WriteDateTime("D", "when", when);
  ini.WriteDate("D", "day", when);
  ini.WriteTime("D", "time", when);
  EXPECT_NEAR(ini.ReadDateTime("D", "when", 0), when, 1e-8);
  EXPECT_DOUBLE_EQ(ini.ReadDate("D", "day", 0), EncodeDate(2024, 2, 29));
  EXPECT_NEAR(ini.ReadTime("D", "time", 0), EncodeTime(13, 5, 9, 0), 1e-8);
  ini.WriteString("D", "bad", "2024-13-45");
  EXPECT_EQ(ini.ReadDate("D", "bad", 7), 7);
  EXPECT_EQ(ini.ReadDateTime("D", "bad", 7), 7);
}

TEST_F(IniFiles, BinaryStreams) {
  TMemIniFile ini("");
  TMemoryStream src;
  src.WriteBuffer("skip\x00\xFF\x5C\xBD", 8);
  src.SetPosition(4);  // only what follows the position is stored
  ini.WriteBinaryStream("B", "data", &src);
  EXPECT_EQ(ini.ReadString("B", "data", ""), "00FF5CBD");

  TMemoryStream dst;
  dst.WriteBuffer("ab", 2);
  EXPECT_EQ(ini.ReadBinaryStream("B", "data", &dst), 4);
  EXPECT_EQ(dst.Position(), 2);  // left at the bytes just read
  EXPECT_EQ(dst.Size(), 6);
  EXPECT_EQ(AnsiString(static_cast<const char*>(dst.Memory()), 6), AnsiString("ab\x00\xFF\x5C\xBD", 6));
  EXPECT_EQ(ini.ReadBinaryStream("B", "missing", &dst), 0);

  for (const char* bad : {"0G", "ABC", "zz00"}) {
    SCOPED_TRACE(bad);
    ini.WriteString("B", "bad", bad);
    TStringStream out;
    EXPECT_THROW(ini.ReadBinaryStream("B", "bad", &out), EConvertError);
    EXPECT_EQ(out.Size(), 0);
  }
}

TEST_F(IniFiles, SectionsAndKeys) {
  auto ini = FromText("[A]\nx=1\ny=2\n[Empty]\n[B]\nz=3\n");
  EXPECT_TRUE(ini->SectionExists("a"));
  EXPECT_TRUE(ini->SectionExists("EMPTY"));
  EXPECT_FALSE(ini->SectionExists("C"));
  EXPECT_TRUE(ini->ValueExists("A", "Y"));
  EXPECT_FALSE(ini->ValueExists("B", "x"));

  TStringList list;
  ini->ReadSectionValues("A", &list);
  EXPECT_EQ(ItemsOf(list), (Items{"x=1", "y=2"}));
  ini->EraseSection("a");
  ini->DeleteKey("B", "z");
  ini->ReadSections(&list);
  EXPECT_EQ(ItemsOf(list), (Items{"Empty", "B"}));
  EXPECT_FALSE(ini->ValueExists("B", "z"));
  ini->GetStrings(&list);
  EXPECT_EQ(ItemsOf(list), (Items{"[Empty]", "", "[B]", ""}));
}

TEST_F(IniFiles, RefusesWhatTheLineFormatCannotHold) {
  TMemIniFile ini("");
  ini.WriteString("S", "k", "v");
  struct Case {
    const char* section;
    const char* key;
    const char* value;
  } cases[] = {
      {"S", "k", "two\r\nlines"}, {"S", "k", "lf\n"},  {"S", "a=b", "v"}, {"S", "", "v"},
      {"S", ";k", "v"},           {"S", "[k]", "v"},   {"S\nT", "k", "v"},
      // a last lead byte would pair with the closing bracket
      {"\xD5", "k", "v"},          {"\xB5\xDA\xD2\xBB\xD5", "k", "v"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.section << "/" << c.key);
    EXPECT_THROW(ini.WriteString(c.section, c.key, c.value), EIniFileException);
  }
  // a value with a NUL byte is refused as well, and the test of values says so first
  const AnsiString nul("a\0b", 3);
  EXPECT_THROW(ini.WriteString("S", "k", nul), EIniFileException);
  EXPECT_FALSE(IsIniValueStorable(nul));
  EXPECT_FALSE(IsIniValueStorable("two\r\nlines"));
  EXPECT_FALSE(IsIniValueStorable("cr\r"));
  EXPECT_TRUE(IsIniValueStorable("\xB5\xDA\xD2\xBB = ; [x]"));
  EXPECT_TRUE(IsIniValueStorable(""));
  TStringList list;
  ini.GetStrings(&list);
  EXPECT_EQ(ItemsOf(list), (Items{"[S]", "k=v", ""}));

  // Whole double-byte characters at the end are fine, even one whose second
  // byte is the code of "]".
  for (const char* name : {"\xB5\xDA\xD2\xBB", "\xB5\x5D", "a\xB5\xDA]"}) {
    SCOPED_TRACE(name);
    TMemIniFile one("");
    one.WriteString(name, "k", "v");
    one.WriteString("After", "k", "w");
    TStringList lines;
    one.GetStrings(&lines);
    auto back = FromText(lines.Text());
    EXPECT_EQ(back->ReadString(name, "k", "lost"), "v");
    EXPECT_EQ(back->ReadString("After", "k", "lost"), "w");
  }
}

TEST_F(IniFiles, UpdateFileReplacesTheFileWhole) {
  AnsiString name = File("u.ini");
  WriteFile(name, "[Old]\nkept=1\n");
  TMemIniFile ini(name);
  ini.WriteString("New", "k", "v");
  // Nothing reaches the file before UpdateFile.
  EXPECT_EQ(ReadFile(name), "[Old]\nkept=1\n");
  ini.UpdateFile();
  EXPECT_EQ(ReadFile(name), "[Old]\r\nkept=1\r\n\r\n[New]\r\nk=v\r\n\r\n");

  // A target that cannot be replaced raises and leaves no temporary file behind.
  fs::create_directory(Dir + "/sub.ini");
  WriteFile(Dir + "/sub.ini/inner", "x");
  TMemIniFile bad(File("sub.ini"));
  bad.WriteString("S", "k", "v");
  try {
    bad.UpdateFile();
    ADD_FAILURE() << "no exception";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(AnsiString(e.what()).rfind("Unable to write to " + File("sub.ini"), 0), 0u) << e.what();
  }
  int entries = 0;
  for (auto& entry : fs::directory_iterator(Dir)) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 2);  // u.ini and sub.ini only
  EXPECT_TRUE(fs::exists(Dir + "/sub.ini/inner"));
}

TEST_F(IniFiles, IniFileWritesThroughAndSeesOtherWriters) {
  AnsiString name = File("t.ini");
  TIniFile a(name);
  TIniFile b(name);
  a.WriteString("S", "k", kNode);
  EXPECT_EQ(ReadFile(name), "[S]\r\nk=" + kNode + "\r\n\r\n");
  EXPECT_EQ(b.ReadString("S", "k", ""), kNode);
  b.WriteInteger("S", "n", 5);
  EXPECT_EQ(a.ReadInteger("S", "n", 0), 5);
  a.EraseSection("S");
  EXPECT_FALSE(b.SectionExists("S"));
  EXPECT_EQ(ReadFile(name), "");
}

}  // namespace
