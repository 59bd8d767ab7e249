#include "platform/db/schema.h"

#include <cctype>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/db/sqlite_wrap.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"

namespace pvdb {

namespace {

std::string Upper(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return r;
}

[[noreturn]] void Unsupported(const AnsiString& sql) {
  throw EDatabaseError("Unsupported SQL statement: '" + sql + "'");
}

// A small scanner over statement text: identifiers (bare or in [] or ""),
// numbers and punctuation; keywords compare without case.
class Scanner {
 public:
  explicit Scanner(const AnsiString& s) : s_(s) {}
  void SkipBlank() { while (i_ < s_.size() && static_cast<unsigned char>(s_[i_]) <= ' ') ++i_; }
  bool AtEnd() { SkipBlank(); return i_ >= s_.size() || (s_[i_] == ';' && RestBlank(i_ + 1)); }
  bool Keyword(const char* kw) {
    SkipBlank();
    size_t n = std::strlen(kw);
    if (s_.size() - i_ < n) return false;
    for (size_t k = 0; k < n; ++k)
      if (std::toupper(static_cast<unsigned char>(s_[i_ + k])) != kw[k]) return false;
    if (i_ + n < s_.size() && IsIdentChar(s_[i_ + n])) return false;
    i_ += n;
    return true;
  }
  bool Punct(char c) {
    SkipBlank();
    if (i_ < s_.size() && s_[i_] == c) { ++i_; return true; }
    return false;
  }
  // An identifier; empty when there is none at the position.
  AnsiString Ident() {
    SkipBlank();
    if (i_ >= s_.size()) return {};
    char c = s_[i_];
    if (c == '[' || c == '"' || c == '`') {
      char close = c == '[' ? ']' : c;
      size_t e = s_.find(close, i_ + 1);
      if (e == AnsiString::npos) return {};
      AnsiString r = s_.substr(i_ + 1, e - i_ - 1);
      i_ = e + 1;
      return r;
    }
    size_t st = i_;
    while (i_ < s_.size() && IsIdentChar(s_[i_])) {
      if (IsDBCSLeadByte(s_[i_]) && i_ + 1 < s_.size()) ++i_;
      ++i_;
    }
    return s_.substr(st, i_ - st);
  }
  bool Integer(long& v) {
    SkipBlank();
    size_t st = i_;
    if (i_ < s_.size() && (s_[i_] == '-' || s_[i_] == '+')) ++i_;
    while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) ++i_;
    if (i_ == st || (i_ == st + 1 && !std::isdigit(static_cast<unsigned char>(s_[st])))) { i_ = st; return false; }
    v = std::strtol(s_.substr(st, i_ - st).c_str(), nullptr, 10);
    return true;
  }
  AnsiString Rest() {
    SkipBlank();
    AnsiString r = s_.substr(i_);
    while (!r.empty() && (static_cast<unsigned char>(r.back()) <= ' ' || r.back() == ';')) r.pop_back();
    return r;
  }

 private:
  static bool IsIdentChar(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '_' || u >= 0x80;
  }
  bool RestBlank(size_t from) const {
    for (size_t k = from; k < s_.size(); ++k)
      if (static_cast<unsigned char>(s_[k]) > ' ') return false;
    return true;
  }
  const AnsiString& s_;
  size_t i_ = 0;
};

std::string ColumnSql(const ColumnDef& c, std::string_view typeOverride = {}) {
  std::string r = pvsql::QuoteIdent(AnsiToUtf8(c.name)) + " ";
  r += typeOverride.empty() ? c.declType : std::string(typeOverride);
  if (c.required) r += " NOT NULL";
  return r;
}

std::string ColumnList(const std::vector<ColumnDef>& cols) {
  std::string r;
  for (size_t k = 0; k < cols.size(); ++k) {
    if (k) r += ", ";
    r += pvsql::QuoteIdent(AnsiToUtf8(cols[k].name));
  }
  return r;
}

void SelectInto(pvsql::Db& db, const AnsiString& target, const AnsiString& source) {
  std::vector<ColumnDef> cols = TableColumns(db, source);
  if (db.TableExists(AnsiToUtf8(target))) throw EDatabaseError("Table '" + target + "' already exists.");
  std::string create = "CREATE TABLE " + pvsql::QuoteIdent(AnsiToUtf8(target)) + " (";
  for (size_t k = 0; k < cols.size(); ++k) {
    if (k) create += ", ";
    // The copy keeps the declared types; a key numbered by the file becomes a
    // plain integer column, as a copy made by query does.
    bool counter = cols[k].type == ftAutoInc;
    create += ColumnSql(cols[k], counter ? "INTEGER" : "");
  }
  create += ")";
  pvsql::WriteTxn txn(db);
  db.Exec(create);
  db.Exec("INSERT INTO " + pvsql::QuoteIdent(AnsiToUtf8(target)) + " (" + ColumnList(cols) + ") SELECT " +
          ColumnList(cols) + " FROM " + pvsql::QuoteIdent(AnsiToUtf8(source)) + " ORDER BY rowid");
  txn.Commit();
}

void MakeAutoIncrement(pvsql::Db& db, const AnsiString& table, const AnsiString& column, long seed, long step,
                       const AnsiString& sql) {
  if (step != 1) throw EDatabaseError("Only an increment of 1 is supported: '" + sql + "'");
  std::vector<ColumnDef> cols = TableColumns(db, table);
  int at = -1;
  for (size_t k = 0; k < cols.size(); ++k)
    if (SameText(cols[k].name, column)) at = static_cast<int>(k);
  if (at < 0) throw EDatabaseError("Field '" + column + "' not found in table '" + table + "'.");
  const std::string t = pvsql::QuoteIdent(AnsiToUtf8(table));
  const std::string tmpName = AnsiToUtf8(table) + "__rebuild";
  const std::string tmp = pvsql::QuoteIdent(tmpName);
  const std::string col = pvsql::QuoteIdent(AnsiToUtf8(cols[at].name));

  pvsql::WriteTxn txn(db);
  {
    // The key needs distinct, present values before it can number the rows.
    pvsql::Stmt chk(db, "SELECT count(*), count(DISTINCT " + col + "), count(" + col + "), max(" + col + ") FROM " + t);
    chk.Step();
    if (chk.Int(0) != chk.Int(1) || chk.Int(0) != chk.Int(2))
      throw EDatabaseError("Column '" + column + "' holds null or duplicate values: '" + sql + "'");
  }
  std::string create = "CREATE TABLE " + tmp + " (";
  for (size_t k = 0; k < cols.size(); ++k) {
    if (k) create += ", ";
    if (static_cast<int>(k) == at)
      create += col + " INTEGER PRIMARY KEY AUTOINCREMENT";
    else
      create += ColumnSql(cols[k]);
  }
  create += ")";
  db.Exec("DROP TABLE IF EXISTS " + tmp);
  db.Exec(create);
  db.Exec("INSERT INTO " + tmp + " (" + ColumnList(cols) + ") SELECT " + ColumnList(cols) + " FROM " + t +
          " ORDER BY rowid");
  db.Exec("DROP TABLE " + t);
  db.Exec("ALTER TABLE " + tmp + " RENAME TO " + t);
  // The next number is the seed, or one past the largest present.
  {
    pvsql::Stmt mx(db, "SELECT coalesce(max(" + col + "), 0) FROM " + t);
    mx.Step();
    Int64 last = std::max<Int64>(mx.Int(0), seed - 1);
    pvsql::Stmt del(db, "DELETE FROM sqlite_sequence WHERE name=?1");
    del.BindText(1, AnsiToUtf8(table));
    del.Step();
    if (last > 0) {
      pvsql::Stmt ins(db, "INSERT INTO sqlite_sequence(name, seq) VALUES(?1, ?2)");
      ins.BindText(1, AnsiToUtf8(table));
      ins.BindInt(2, last);
      ins.Step();
    }
  }
  txn.Commit();
}

}  // namespace

TFieldType MapDeclaredType(std::string_view decl, int& size) {
  std::string u = Upper(decl);
  size = 0;
  std::string base = u;
  int arg = -1;
  size_t p = u.find('(');
  if (p != std::string::npos) {
    base = u.substr(0, p);
    arg = std::atoi(u.c_str() + p + 1);
  }
  while (!base.empty() && base.back() == ' ') base.pop_back();
  while (!base.empty() && base.front() == ' ') base.erase(0, 1);
  auto is = [&](std::initializer_list<const char*> names) {
    for (const char* n : names)
      if (base == n) return true;
    return false;
  };
  auto text = [&](TFieldType t) {
    size = arg > 0 ? arg : 255;
    return t;
  };
  if (is({"COUNTER", "AUTOINCREMENT", "AUTOINC", "IDENTITY"})) return ftAutoInc;
  if (is({"INTEGER", "INT", "LONG", "INT4"})) return ftInteger;
  if (is({"SMALLINT", "SHORT", "INT2"})) return ftSmallint;
  if (is({"BYTE", "TINYINT"})) return ftWord;
  if (is({"BIGINT", "INT8"})) return ftLargeint;
  if (is({"TEXT", "VARCHAR", "NVARCHAR", "STRING", "ALPHANUMERIC"})) return text(ftString);
  if (is({"CHAR", "NCHAR", "CHARACTER"})) return text(ftFixedChar);
  if (is({"MEMO", "LONGTEXT", "LONGCHAR", "NOTE", "CLOB"})) return ftMemo;
  if (is({"LONGBINARY", "OLEOBJECT", "GENERAL", "BLOB"})) return ftBlob;
  if (is({"IMAGE"})) return ftGraphic;
  if (is({"BINARY", "VARBINARY"})) { size = arg > 0 ? arg : 255; return ftVarBytes; }
  if (is({"YESNO", "BIT", "BOOLEAN", "LOGICAL"})) return ftBoolean;
  if (is({"DOUBLE", "FLOAT", "FLOAT8", "REAL", "NUMBER", "SINGLE", "FLOAT4"})) return ftFloat;
  if (is({"CURRENCY", "MONEY"})) return ftCurrency;
  if (is({"DECIMAL", "NUMERIC"})) return ftBCD;
  if (is({"DATETIME", "TIMESTAMP"})) return ftDateTime;
  if (is({"DATE"})) return ftDate;
  if (is({"TIME"})) return ftTime;
  if (is({"GUID", "UNIQUEIDENTIFIER"})) { size = 38; return ftGuid; }
  if (base.empty()) return ftVariant;
  return text(ftString);
}

std::vector<ColumnDef> TableColumns(pvsql::Db& db, const AnsiString& table) {
  if (!db.TableExists(AnsiToUtf8(table)))
    throw EDatabaseError("Cannot find the input table or query '" + table +
                         "'.  Make sure it exists and that its name is spelled correctly.");
  pvsql::Stmt st(db, "SELECT name, type, \"notnull\", pk FROM pragma_table_info(?1)");
  st.BindText(1, AnsiToUtf8(table));
  std::vector<ColumnDef> cols;
  int pkCount = 0;
  while (st.Step()) {
    ColumnDef c;
    c.name = Utf8ToAnsi(st.Text(0));
    c.declType = std::string(st.Text(1));
    c.type = MapDeclaredType(c.declType, c.size);
    c.required = st.Int(2) != 0;
    if (st.Int(3) > 0) {
      ++pkCount;
      c.rowidKey = Upper(c.declType) == "INTEGER";
    }
    cols.push_back(std::move(c));
  }
  for (auto& c : cols) {
    if (pkCount != 1) c.rowidKey = false;
    if (c.rowidKey) c.type = ftAutoInc;  // numbered by the file
    if (c.type == ftAutoInc) c.required = false;
  }
  return cols;
}

void ExecSchemaStatement(pvsql::Db& db, const AnsiString& sql) {
  Scanner sc(sql);
  if (sc.Keyword("SELECT")) {
    if (!sc.Punct('*') || !sc.Keyword("INTO")) Unsupported(sql);
    AnsiString target = sc.Ident();
    if (target.empty() || !sc.Keyword("FROM")) Unsupported(sql);
    AnsiString source = sc.Ident();
    if (source.empty() || !sc.AtEnd()) Unsupported(sql);
    SelectInto(db, target, source);
    return;
  }
  if (sc.Keyword("ALTER")) {
    if (!sc.Keyword("TABLE")) Unsupported(sql);
    AnsiString table = sc.Ident();
    if (table.empty() || !sc.Keyword("ALTER") || !sc.Keyword("COLUMN")) Unsupported(sql);
    AnsiString column = sc.Ident();
    if (column.empty()) Unsupported(sql);
    if (!sc.Keyword("AUTOINCREMENT") && !sc.Keyword("COUNTER")) Unsupported(sql);
    long seed = 1, step = 1;
    if (sc.Punct('(')) {
      if (!sc.Integer(seed) || !sc.Punct(',') || !sc.Integer(step) || !sc.Punct(')')) Unsupported(sql);
    }
    if (!sc.AtEnd()) Unsupported(sql);
    MakeAutoIncrement(db, table, column, seed, step, sql);
    return;
  }
  Unsupported(sql);
}

SelectStatement ParseSelect(const AnsiString& sql) {
  Scanner sc(sql);
  SelectStatement spec;
  if (!sc.Keyword("SELECT")) Unsupported(sql);
  if (!sc.Punct('*')) {
    do {
      AnsiString c = sc.Ident();
      if (c.empty()) Unsupported(sql);
      spec.columns.push_back(c);
    } while (sc.Punct(','));
  }
  if (!sc.Keyword("FROM")) Unsupported(sql);
  spec.table = sc.Ident();
  if (spec.table.empty()) Unsupported(sql);
  if (sc.Keyword("WHERE")) {
    spec.where = sc.Rest();
    if (spec.where.empty()) Unsupported(sql);
  } else if (!sc.AtEnd()) {
    Unsupported(sql);
  }
  return spec;
}

}  // namespace pvdb
