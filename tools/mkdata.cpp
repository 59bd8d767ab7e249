// Writes the shipped data files into an installation's data folder:
//   lib.l        the library: node tables, alias lists, node types, settings,
//                the node clipboard, the schema table and the table list;
//   template.te  the template every new story file is copied from.
// Usage: mkdata <data folder>. Each file is written under a temporary name and
// renamed into place, so a failed run never leaves half a file behind.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/db/sqlite_wrap.h"
#include "platform/rtl/exceptions.h"

namespace {

struct Col {
  std::string name;
  std::string type;
};

// The node record: every content table, the clipboard and the schema table.
std::vector<Col> NodeColumns() {
  std::vector<Col> c = {{"tid", "INTEGER PRIMARY KEY AUTOINCREMENT"}, {"tparent", "INTEGER"}, {"tname", "TEXT(50)"}};
  for (int i = 1; i <= 6; ++i) c.push_back({"ttext" + std::to_string(i), "MEMO"});
  c.push_back({"ttext7", "LONGBINARY"});
  c.push_back({"timage", "INTEGER"});
  c.push_back({"tsortid", "TEXT(10)"});
  for (int i = 11; i <= 17; ++i) c.push_back({"tparent" + std::to_string(i), "INTEGER"});
  for (const char* n : {"tchartwidth", "tchartheight", "tchartcolor", "tchartshape", "tchartchalign", "tchartimalign",
                        "tchartorder", "tchartimage"})
    c.push_back({n, "INTEGER"});
  c.push_back({"treflibid", "INTEGER"});
  c.push_back({"treflibtablename", "TEXT(50)"});
  for (int i = 1; i <= 8; ++i) c.push_back({"tview" + std::to_string(i), "INTEGER"});
  for (int i = 1; i <= 8; ++i) c.push_back({"tviewname" + std::to_string(i), "TEXT(50)"});
  c.push_back({"tlinktable", "TEXT(50)"});
  c.push_back({"tlinkpath", "TEXT(50)"});
  for (int i = 1; i <= 8; ++i) c.push_back({"tviewcolor" + std::to_string(i), "INTEGER"});
  for (int i = 1; i <= 8; ++i) c.push_back({"tviewico" + std::to_string(i), "INTEGER"});
  c.push_back({"ttype", "INTEGER"});
  return c;
}

std::vector<Col> FirstNodeColumns(size_t n) {
  auto all = NodeColumns();
  all.resize(n);
  return all;
}

// Alias rows: the node fields from tid to treflibtablename, then Views parent
// fields, optionally the order-label fields, then the list's own fields.
std::vector<Col> AliasColumns(int views, bool viewNames, bool links) {
  auto c = FirstNodeColumns(29);
  for (int i = 1; i <= views; ++i) c.push_back({"tview" + std::to_string(i), "INTEGER"});
  if (viewNames)
    for (int i = 1; i <= 8; ++i) c.push_back({"tviewname" + std::to_string(i), "TEXT(50)"});
  c.push_back({"tcurrentView", "INTEGER"});
  c.push_back({"trootvalue", "INTEGER"});
  if (links) {
    c.push_back({"tlinktable", "TEXT(50)"});
    c.push_back({"tlinkpath", "TEXT(50)"});
  }
  return c;
}

void CreateTable(pvsql::Db& db, const std::string& name, const std::vector<Col>& cols) {
  std::string sql = "CREATE TABLE " + pvsql::QuoteIdent(name) + " (";
  for (size_t i = 0; i < cols.size(); ++i) {
    if (i) sql += ", ";
    sql += pvsql::QuoteIdent(cols[i].name) + " " + cols[i].type;
  }
  db.Exec(sql + ")");
}

struct Value {
  enum Kind { Null, Int, Text } kind = Null;
  long long i = 0;
  std::string s;
  Value() = default;
  Value(int v) : kind(Int), i(v) {}
  Value(long long v) : kind(Int), i(v) {}
  Value(const char* v) : kind(Text), s(v) {}
  Value(std::string v) : kind(Text), s(std::move(v)) {}
};

void InsertRow(pvsql::Db& db, const std::string& table, const std::vector<std::pair<std::string, Value>>& values) {
  std::string names, marks;
  for (size_t i = 0; i < values.size(); ++i) {
    if (i) {
      names += ", ";
      marks += ", ";
    }
    names += pvsql::QuoteIdent(values[i].first);
    marks += "?" + std::to_string(i + 1);
  }
  pvsql::Stmt st(db, "INSERT INTO " + pvsql::QuoteIdent(table) + " (" + names + ") VALUES (" + marks + ")");
  for (size_t i = 0; i < values.size(); ++i) {
    const Value& v = values[i].second;
    int k = static_cast<int>(i + 1);
    if (v.kind == Value::Int) st.BindInt(k, v.i);
    else if (v.kind == Value::Text) st.BindText(k, v.s);
    else st.BindNull(k);
  }
  st.Step();
}

// A node with the defaults every new node gets, under Parent with order label
// Sort; Type is the node type (-1 for tables without a type column).
void InsertNode(pvsql::Db& db, const std::string& table, int tid, int parent, const std::string& name,
                const std::string& sort, int type = 0) {
  std::vector<std::pair<std::string, Value>> values = {
      {"tid", tid}, {"tparent", parent}, {"tname", name}, {"timage", 0}, {"tsortid", sort},
      {"tparent12", 1}, {"tparent13", 6}, {"tparent14", 0}, {"tchartwidth", 60}, {"tchartheight", 30},
      {"tchartcolor", static_cast<long long>(0xFF000018u)}, {"tchartshape", 1}, {"tchartchalign", 1},
      {"tchartimalign", 1}, {"tchartorder", 0}, {"tchartimage", 1}};
  if (type >= 0) values.push_back({"ttype", type});
  InsertRow(db, table, values);
}

void InsertAlias(pvsql::Db& db, const std::string& table, int tid, const std::string& physical,
                 const std::string& display, int rootValue = -1) {
  InsertRow(db, table,
            {{"tid", tid}, {"tparent", 0}, {"tname", physical}, {"tsortid", display}, {"tcurrentView", 0},
             {"trootvalue", rootValue}});
}

// The smallest rules text the highlighter reads: the header, one root range
// with its default style, and the closing tag.
const char* const kRulesText =
    "<RuleHighlighter>\n"
    " <Info>\n"
    "  <General>\n"
    "   <Name>Penvarro</Name>\n"
    "   <FileTypeName>txt</FileTypeName>\n"
    "   <Layout>Standard</Layout>\n"
    "  </General>\n"
    " </Info>\n"
    " <Range Name=\"Root\">\n"
    " <Def>\n"
    "  <Back>536870911</Back>\n"
    "  <Fore>0</Fore>\n"
    "  <Style></Style>\n"
    " </Def>\n"
    " <CaseSensitive>False</CaseSensitive>\n"
    " </Range>\n"
    "</RuleHighlighter>\n";

void WriteLibrary(pvsql::Db& db) {
  pvsql::WriteTxn txn(db);
  const auto node = NodeColumns();
  CreateTable(db, "systable", node);
  CreateTable(db, "CopyTreeTemp", node);
  CreateTable(db, "zNodeType", FirstNodeColumns(45));
  CreateTable(db, "TableAlias", AliasColumns(8, true, true));
  CreateTable(db, "memAlias", AliasColumns(5, false, true));
  CreateTable(db, "storyAliasTable", AliasColumns(5, false, true));
  CreateTable(db, "SysqzSet", {{"tid", "INTEGER PRIMARY KEY AUTOINCREMENT"}, {"tname", "TEXT(50)"},
                               {"tobject", "MEMO"}, {"tvalue", "TEXT(200)"}, {"ttype", "INTEGER"},
                               {"tused", "INTEGER"}});
  CreateTable(db, "tables", {{"Name", "TEXT(255)"}});

  // Node types: a small tree.
  int t = 0;
  InsertNode(db, "zNodeType", ++t, 0, "节点类型", "00", -1);
  InsertNode(db, "zNodeType", ++t, 1, "人物", "01", -1);
  InsertNode(db, "zNodeType", ++t, 1, "地点", "02", -1);
  InsertNode(db, "zNodeType", ++t, 1, "事件", "03", -1);
  InsertNode(db, "zNodeType", ++t, 1, "物品", "04", -1);
  InsertNode(db, "zNodeType", ++t, 2, "主角", "00", -1);
  InsertNode(db, "zNodeType", ++t, 2, "配角", "01", -1);

  // One design-element, one narrative and one template table, each a small tree.
  CreateTable(db, "region1", node);
  InsertAlias(db, "TableAlias", 1, "region1", "人物设定");
  InsertNode(db, "region1", 1, 0, "人物", "00", 2);
  InsertNode(db, "region1", 2, 1, "主角：林远", "00", 6);
  InsertNode(db, "region1", 3, 1, "配角：苏晴", "01", 7);
  InsertNode(db, "region1", 4, 0, "地点", "01", 3);
  InsertNode(db, "region1", 5, 4, "青石镇", "00", 3);

  CreateTable(db, "mem1", node);
  InsertAlias(db, "memAlias", 1, "mem1", "叙事素材");
  InsertNode(db, "mem1", 1, 0, "开端", "00", 4);
  InsertNode(db, "mem1", 2, 1, "初到小镇", "00", 4);
  InsertNode(db, "mem1", 3, 1, "意外相遇", "01", 4);

  CreateTable(db, "story1", node);
  InsertAlias(db, "storyAliasTable", 1, "story1", "三幕结构");
  InsertNode(db, "story1", 1, 0, "第一幕：铺垫", "00");
  InsertNode(db, "story1", 2, 0, "第二幕：对抗", "01");
  InsertNode(db, "story1", 3, 0, "第三幕：结局", "02");
  InsertNode(db, "story1", 4, 1, "引子", "00");

  for (const char* name : {"region1", "mem1", "story1"}) InsertRow(db, "tables", {{"Name", name}});

  // Settings: the options, the highlighter rules, and a few rows of each list.
  InsertRow(db, "SysqzSet", {{"tname", "showlineBar"}, {"tvalue", "1"}, {"ttype", 1}, {"tused", 0}});
  InsertRow(db, "SysqzSet", {{"tname", "Font"}, {"tvalue", "12"}, {"ttype", 1}, {"tused", 0}});
  InsertRow(db, "SysqzSet", {{"tname", "ColorText"}, {"tvalue", "1"}, {"ttype", 1}, {"tused", 0}});
  InsertRow(db, "SysqzSet", {{"tname", "showBottom"}, {"tvalue", "1"}, {"ttype", 1}, {"tused", 0}});
  InsertRow(db, "SysqzSet", {{"tobject", kRulesText}, {"ttype", 107}, {"tused", 0}});
  InsertRow(db, "SysqzSet", {{"tname", "hx"}, {"tvalue", "欢迎"}, {"ttype", 110}, {"tused", 0}});
  InsertRow(db, "SysqzSet", {{"tname", "sj"}, {"tvalue", "时间：|"}, {"ttype", 110}, {"tused", 0}});
  InsertRow(db, "SysqzSet", {{"tname", "林远"}, {"tvalue", "林远（主角）"}, {"ttype", 120}, {"tused", 0}});
  InsertRow(db, "SysqzSet", {{"tname", "苏晴"}, {"tvalue", "苏晴（配角）"}, {"ttype", 120}, {"tused", 0}});
  InsertRow(db, "SysqzSet", {{"tname", "的的"}, {"tvalue", "的"}, {"ttype", 130}, {"tused", 0}});
  InsertRow(db, "SysqzSet", {{"tname", "在在"}, {"tvalue", "在"}, {"ttype", 130}, {"tused", 0}});
  txn.Commit();
}

void WriteTemplate(pvsql::Db& db) {
  pvsql::WriteTxn txn(db);
  const auto node = NodeColumns();
  CreateTable(db, "ClientUserTable", AliasColumns(8, true, false));
  CreateTable(db, "Story1", node);
  CreateTable(db, "systable", node);
  InsertAlias(db, "ClientUserTable", 1, "Story1", "我的小说", -1);
  txn.Commit();
}

template <class F>
void WriteFile(const std::string& folder, const std::string& name, F fill) {
  const std::string final = folder + "/" + name;
  const std::string temp = final + ".tmp";
  std::remove(temp.c_str());
  try {
    auto db = pvsql::Db::Create(temp);
    fill(*db);
    // Leave a single file: no write-ahead log beside it.
    db->Exec("PRAGMA journal_mode=DELETE");
  } catch (...) {
    std::remove(temp.c_str());
    throw;
  }
  if (std::rename(temp.c_str(), final.c_str()) != 0) throw Exception("Cannot rename '" + temp + "' to '" + final + "'");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <data folder>\n", argv[0]);
    return 2;
  }
  try {
    WriteFile(argv[1], "lib.l", WriteLibrary);
    WriteFile(argv[1], "template.te", WriteTemplate);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "mkdata: %s\n", e.what());
    return 1;
  }
  return 0;
}
