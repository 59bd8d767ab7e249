// The shipped library and template files, written by the generator into a
// temporary folder and read back through the data-access layer.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "platform/db/ado.h"
#include "platform/db/sqlite_wrap.h"
#include "platform/rtl/strings.h"

namespace {

struct Expected {
  std::string name;
  TFieldType type;
  int size;
};

// "name type [size]" entries, one per line.
std::vector<Expected> Columns(const std::string& spec) {
  std::vector<Expected> out;
  std::istringstream in(spec);
  std::string name, type;
  while (in >> name >> type) {
    Expected e{name, ftUnknown, 0};
    if (type == "auto") e.type = ftAutoInc;
    else if (type == "int") e.type = ftInteger;
    else if (type == "memo") e.type = ftMemo;
    else if (type == "blob") e.type = ftBlob;
    else if (type == "text") {
      e.type = ftString;
      in >> e.size;
    }
    out.push_back(e);
  }
  return out;
}

std::string Range(const std::string& prefix, int from, int to, const std::string& type) {
  std::string s;
  for (int i = from; i <= to; ++i) s += prefix + std::to_string(i) + " " + type + "\n";
  return s;
}

// The node record in its canonical order.
const std::string kNode29 = "tid auto\ntparent int\ntname text 50\n" + Range("ttext", 1, 6, "memo") +
                            "ttext7 blob\ntimage int\ntsortid text 10\n" + Range("tparent", 11, 17, "int") +
                            "tchartwidth int\ntchartheight int\ntchartcolor int\ntchartshape int\n"
                            "tchartchalign int\ntchartimalign int\ntchartorder int\ntchartimage int\n"
                            "treflibid int\ntreflibtablename text 50\n";
const std::string kNode45 = kNode29 + Range("tview", 1, 8, "int") + Range("tviewname", 1, 8, "text 50");
const std::string kNode64 = kNode45 + "tlinktable text 50\ntlinkpath text 50\n" +
                            Range("tviewcolor", 1, 8, "int") + Range("tviewico", 1, 8, "int") + "ttype int\n";
const std::string kTableAlias =
    kNode45 + "tcurrentView int\ntrootvalue int\ntlinktable text 50\ntlinkpath text 50\n";
const std::string kAlias38 = kNode29 + Range("tview", 1, 5, "int") +
                             "tcurrentView int\ntrootvalue int\ntlinktable text 50\ntlinkpath text 50\n";
const std::string kClientUser = kNode45 + "tcurrentView int\ntrootvalue int\n";
const std::string kSettings = "tid auto\ntname text 50\ntobject memo\ntvalue text 200\nttype int\ntused int\n";

class ShippedFilesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder = new std::string((std::filesystem::temp_directory_path() / "pvshippedXXXXXX").string());
    ASSERT_NE(mkdtemp(folder->data()), nullptr);
    std::string cmd = std::string(PV_MKDATA) + " '" + *folder + "'";
    int rc = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0) << cmd;
  }
  static void TearDownTestSuite() {
    std::error_code ec;
    std::filesystem::remove_all(*folder, ec);
    delete folder;
  }
  static std::string File(const char* name) { return *folder + "/" + name; }
  static AnsiString Conn(const char* name) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Password=\"\";User ID=Admin;Data Source=" + File(name);
  }
  void ExpectColumns(const char* file, const char* table, const std::string& spec) {
    SCOPED_TRACE(std::string(file) + ":" + table);
    TADOTable t(nullptr);
    t.SetConnectionString(Conn(file));
    t.SetTableName(table);
    t.Open();
    auto expected = Columns(spec);
    ASSERT_EQ(t.FieldCount(), static_cast<int>(expected.size()));
    for (size_t i = 0; i < expected.size(); ++i) {
      TField* f = t.Fields()->Fields(static_cast<int>(i));
      EXPECT_EQ(f->FieldName(), expected[i].name) << "column " << i;
      EXPECT_EQ(f->DataType(), expected[i].type) << expected[i].name;
      EXPECT_EQ(f->Size(), expected[i].size) << expected[i].name;
    }
  }
  static std::string* folder;
};
std::string* ShippedFilesTest::folder = nullptr;

TEST_F(ShippedFilesTest, LibraryTablesHaveTheirColumns) {
  ExpectColumns("lib.l", "systable", kNode64);
  ExpectColumns("lib.l", "CopyTreeTemp", kNode64);
  ExpectColumns("lib.l", "zNodeType", kNode45);
  ExpectColumns("lib.l", "TableAlias", kTableAlias);
  ExpectColumns("lib.l", "memAlias", kAlias38);
  ExpectColumns("lib.l", "storyAliasTable", kAlias38);
  ExpectColumns("lib.l", "SysqzSet", kSettings);
  ExpectColumns("lib.l", "tables", "Name text 255\n");
  EXPECT_EQ(Columns(kNode64).size(), 64u);
  EXPECT_EQ(Columns(kTableAlias).size(), 49u);
  EXPECT_EQ(Columns(kAlias38).size(), 38u);
  EXPECT_EQ(Columns(kClientUser).size(), 47u);
}

TEST_F(ShippedFilesTest, EachAliasListNamesANodeTableWithAChineseTree) {
  for (const char* alias : {"TableAlias", "memAlias", "storyAliasTable"}) {
    SCOPED_TRACE(alias);
    TADOTable a(nullptr);
    a.SetConnectionString(Conn("lib.l"));
    a.SetTableName(alias);
    a.Open();
    ASSERT_GE(a.RecordCount(), 1);
    AnsiString name = a.FieldByName("tname")->AsString();
    EXPECT_FALSE(a.FieldByName("tsortid")->AsString().empty());
    EXPECT_EQ(a.FieldByName("tcurrentView")->AsInteger(), 0);
    // The physical name is the prefix and the alias row's key, as new tables are named.
    ExpectColumns("lib.l", name.c_str(), kNode64);
    TADOTable t(nullptr);
    t.SetConnectionString(Conn("lib.l"));
    t.SetTableName(name);
    t.Open();
    EXPECT_GE(t.RecordCount(), 3);
    bool child = false;
    for (; !t.Eof(); t.Next()) {
      child = child || t.FieldByName("tparent")->AsInteger() != 0;
      EXPECT_GE(static_cast<unsigned char>(t.FieldByName("tname")->AsString()[0]), 0x81);  // Chinese
      EXPECT_EQ(t.FieldByName("tchartcolor")->AsInteger(), static_cast<int>(0xFF000018u));
    }
    EXPECT_TRUE(child);
  }
}

TEST_F(ShippedFilesTest, SettingsRowsAndTheRulesText) {
  TADOTable s(nullptr);
  s.SetConnectionString(Conn("lib.l"));
  s.SetTableName("SysqzSet");
  s.Open();
  s.SetFilter("ttype<100");
  s.SetFiltered(true);
  std::map<AnsiString, AnsiString> options;
  for (; !s.Eof(); s.Next()) options[s.FieldByName("tname")->AsString()] = s.FieldByName("tvalue")->AsString();
  EXPECT_EQ(options.size(), 4u);
  EXPECT_EQ(options["Font"], "12");
  for (const char* n : {"showlineBar", "ColorText", "showBottom"}) EXPECT_EQ(options.count(n), 1u) << n;
  s.SetFilter("ttype=107");
  ASSERT_EQ(s.RecordCount(), 1);
  AnsiString rules = s.FieldByName("tobject")->AsString();
  EXPECT_EQ(rules.rfind("<RuleHighlighter>", 0), 0u);
  EXPECT_NE(rules.find("</RuleHighlighter>"), AnsiString::npos);
  EXPECT_EQ(rules.find('\r'), AnsiString::npos);
  for (int type : {110, 120, 130}) {
    s.SetFilter("ttype=" + IntToStr(type));
    EXPECT_GE(s.RecordCount(), 2) << type;
  }
  s.SetFilter("ttype=110");
  EXPECT_TRUE(s.Locate("tname", "hx", {}));
  EXPECT_EQ(AnsiToUtf8(s.FieldByName("tvalue")->AsString()), "欢迎");
}

TEST_F(ShippedFilesTest, NodeTypesAndTheTablesList) {
  TADOTable types(nullptr), list(nullptr);
  types.SetConnectionString(Conn("lib.l"));
  types.SetTableName("zNodeType");
  types.Open();
  EXPECT_GE(types.RecordCount(), 3);
  list.SetConnectionString(Conn("lib.l"));
  list.SetTableName("tables");
  list.Open();
  std::vector<AnsiString> names;
  for (; !list.Eof(); list.Next()) names.push_back(list.FieldByName("Name")->AsString());
  EXPECT_EQ(names, (std::vector<AnsiString>{"region1", "mem1", "story1"}));
}

TEST_F(ShippedFilesTest, TemplateHoldsOneNovelTable) {
  ExpectColumns("template.te", "ClientUserTable", kClientUser);
  ExpectColumns("template.te", "Story1", kNode64);
  ExpectColumns("template.te", "systable", kNode64);
  TADOTable c(nullptr), story(nullptr);
  c.SetConnectionString(Conn("template.te"));
  c.SetTableName("ClientUserTable");
  c.Open();
  ASSERT_EQ(c.RecordCount(), 1);
  EXPECT_EQ(c.FieldByName("tname")->AsString(), "Story1");
  EXPECT_FALSE(c.FieldByName("tsortid")->AsString().empty());
  EXPECT_EQ(c.FieldByName("tcurrentView")->AsInteger(), 0);
  EXPECT_EQ(c.FieldByName("trootvalue")->AsInteger(), -1);
  story.SetConnectionString(Conn("template.te"));
  story.SetTableName("Story1");
  story.Open();
  EXPECT_TRUE(story.IsEmpty());
}

TEST_F(ShippedFilesTest, CreateTableOnALibraryCopyNumbersFromOne) {
  const std::string copy = *folder + "/copy.l";
  std::filesystem::copy_file(File("lib.l"), copy, std::filesystem::copy_options::overwrite_existing);
  const AnsiString cs = "Provider=Microsoft.Jet.OLEDB.4.0;Password=\"\";User ID=Admin;Data Source=" + copy;
  TADOConnection lib(nullptr);
  lib.SetConnectionString(cs);
  TADOTable alias(nullptr);
  alias.SetConnection(&lib);
  alias.SetTableName("TableAlias");
  alias.Open();
  alias.Last();
  const AnsiString name = "region" + IntToStr(alias.FieldByName("tid")->AsInteger() + 1);
  TADOQuery op(nullptr);
  op.SetConnectionString(cs);
  op.SQL()->Clear();
  op.SQL()->Add("SELECT * INTO " + name + " from  systable");
  op.ExecSQL();
  op.Close();
  op.SQL()->Clear();
  op.SQL()->Add("Alter  TABLE " + name + "  Alter COLUMN tid AutoIncrement(1,1)");
  op.ExecSQL();
  op.Close();
  alias.Insert();
  alias.Edit();
  alias.FieldByName("tsortid")->SetAsString(Utf8ToAnsi("新表"));
  alias.FieldByName("tname")->SetAsString(name);
  alias.FieldByName("tcurrentView")->SetAsInteger(0);
  alias.Post();
  EXPECT_EQ(name, "region2");

  TADOTable made(nullptr);
  made.SetConnection(&lib);
  made.SetTableName(name);
  made.Open();
  ExpectColumns("copy.l", name.c_str(), kNode64);
  for (int i = 1; i <= 2; ++i) {
    made.Append();
    made.FieldByName("tname")->SetAsString(Utf8ToAnsi("节点"));
    made.Post();
    EXPECT_EQ(made.FieldByName("tid")->AsInteger(), i);
  }
  pvsql::Db db(copy);
  pvsql::Stmt check(db, "PRAGMA integrity_check");
  ASSERT_TRUE(check.Step());
  EXPECT_EQ(std::string(check.Text(0)), "ok");
}

}  // namespace
