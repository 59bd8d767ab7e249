#include "platform/db/ado.h"

#include <algorithm>
#include <cctype>

#include "platform/db/dbconsts.h"
#include "platform/db/filter.h"
#include "platform/db/rowcodec.h"
#include "platform/db/sqlite_wrap.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strings.h"

using pvdb::Cell;

// ---------------------------------------------------------------------------
// Connection strings

std::vector<std::pair<AnsiString, AnsiString>> ParseConnectionString(const AnsiString& s) {
  std::vector<std::pair<AnsiString, AnsiString>> out;
  size_t i = 0, n = s.size();
  while (i < n) {
    size_t eq = s.find('=', i);
    size_t semi = s.find(';', i);
    if (eq == AnsiString::npos || (semi != AnsiString::npos && semi < eq)) {
      AnsiString rest = Trim(s.substr(i, semi == AnsiString::npos ? AnsiString::npos : semi - i));
      if (!rest.empty()) throw EDatabaseError("Invalid connection string: '" + s + "'");
      if (semi == AnsiString::npos) break;
      i = semi + 1;
      continue;
    }
    AnsiString key = Trim(s.substr(i, eq - i));
    if (key.empty()) throw EDatabaseError("Invalid connection string: '" + s + "'");
    i = eq + 1;
    while (i < n && s[i] == ' ') ++i;
    AnsiString value;
    if (i < n && (s[i] == '"' || s[i] == '\'')) {
      char q = s[i++];
      bool closed = false;
      while (i < n) {
        if (s[i] == q) {
          if (i + 1 < n && s[i + 1] == q) {
            value += q;
            i += 2;
            continue;
          }
          ++i;
          closed = true;
          break;
        }
        value += s[i++];
      }
      if (!closed) throw EDatabaseError("Invalid connection string: '" + s + "'");
      while (i < n && s[i] == ' ') ++i;
      if (i < n && s[i] != ';') throw EDatabaseError("Invalid connection string: '" + s + "'");
    } else {
      size_t e = s.find(';', i);
      if (e == AnsiString::npos) e = n;
      value = Trim(s.substr(i, e - i));
      i = e;
    }
    if (i < n && s[i] == ';') ++i;
    out.emplace_back(key, value);
  }
  return out;
}

AnsiString ConnectionStringValue(const AnsiString& cs, const AnsiString& key) {
  AnsiString result;
  for (auto& [k, v] : ParseConnectionString(cs))
    if (SameText(k, key)) result = v;
  return result;
}

// ---------------------------------------------------------------------------
// TADOConnection

TADOConnection::TADOConnection(TComponent* AOwner) : TComponent(AOwner) {}

TADOConnection::~TADOConnection() {
  Destroying();
  try {
    SetConnected(false);
  } catch (...) {
  }
  for (TDataSet* ds : std::vector<TDataSet*>(FDataSets))
    if (auto* ado = dynamic_cast<TCustomADODataSet*>(ds)) {
      if (ado->FConnection == this) ado->FConnection = nullptr;
      if (ado->FOpenedOn == this) ado->FOpenedOn = nullptr;
    }
}

void TADOConnection::SetConnectionString(const AnsiString& Value) {
  if (Value == FConnectionString) return;
  if (Connected()) Close();
  FConnectionString = Value;
}

AnsiString TADOConnection::Provider() const { return ConnectionStringValue(FConnectionString, "Provider"); }

void TADOConnection::SetProvider(const AnsiString& Value) {
  AnsiString rebuilt = "Provider=" + Value;
  for (auto& [k, v] : ParseConnectionString(FConnectionString))
    if (!SameText(k, "Provider")) rebuilt += ";" + k + "=" + v;
  SetConnectionString(rebuilt);
}

void TADOConnection::Loaded() {
  TComponent::Loaded();
  if (FStreamedConnected) SetConnected(true);
}

void TADOConnection::SetConnected(bool Value) {
  if (Value == Connected()) return;
  if (Value && ComponentState().Contains(csLoading)) {
    FStreamedConnected = true;
    return;
  }
  if (Value) {
    if (BeforeConnect) BeforeConnect(this);
    AnsiString provider = Provider();
    if (!provider.empty() && !AnsiStartsText("Microsoft.Jet.OLEDB", provider))
      throw EDatabaseError("Provider cannot be found. It may not be properly installed.");
    AnsiString path = DataSource();
    if (path.empty()) throw EDatabaseError("No data source is named in the connection string");
    // File names are CP936 here; the file system takes UTF-8.
    FDb = std::make_unique<pvsql::Db>(AnsiToUtf8(path));
    if (AfterConnect) AfterConnect(this);
  } else {
    bool destroying = ComponentState().Contains(csDestroying);
    if (!destroying && BeforeDisconnect) BeforeDisconnect(this);
    for (TDataSet* ds : std::vector<TDataSet*>(FDataSets)) ds->Close();
    FDb.reset();
    if (!destroying && AfterDisconnect) AfterDisconnect(this);
  }
}

pvsql::Db& TADOConnection::Database() {
  if (!FDb) Open();
  return *FDb;
}

int TADOConnection::Execute(const AnsiString& CommandText) {
  pvdb::ExecSchemaStatement(Database(), CommandText);
  return 0;
}

void TADOConnection::GetTableNames(TStrings* List, bool SystemTables) {
  pvsql::Stmt st(Database(), "SELECT name FROM sqlite_master WHERE type='table' ORDER BY name COLLATE NOCASE");
  List->BeginUpdate();
  try {
    List->Clear();
    while (st.Step()) {
      AnsiString name = Utf8ToAnsi(st.Text(0));
      if (!SystemTables && AnsiStartsText("sqlite_", name)) continue;
      List->Add(name);
    }
  } catch (...) {
    List->EndUpdate();
    throw;
  }
  List->EndUpdate();
}

void TADOConnection::RegisterClient(TDataSet* DataSet) {
  if (std::find(FDataSets.begin(), FDataSets.end(), DataSet) == FDataSets.end()) FDataSets.push_back(DataSet);
}

void TADOConnection::UnRegisterClient(TDataSet* DataSet) {
  FDataSets.erase(std::remove(FDataSets.begin(), FDataSets.end(), DataSet), FDataSets.end());
}

void TADOConnection::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove)
    FDataSets.erase(std::remove(FDataSets.begin(), FDataSets.end(), static_cast<void*>(AComponent)), FDataSets.end());
}

// ---------------------------------------------------------------------------
// Parameters

TParameter* TParameters::FindParam(const AnsiString& Name) const {
  for (auto& p : FItems)
    if (SameText(p->Name, Name)) return p.get();
  return nullptr;
}

TParameter* TParameters::ParamByName(const AnsiString& Name) const {
  TParameter* p = FindParam(Name);
  if (!p) throw EDatabaseError("Parameter '" + Name + "' not found");
  return p;
}

TParameter* TParameters::AddParameter(const AnsiString& Name) {
  FItems.push_back(std::make_unique<TParameter>());
  FItems.back()->Name = Name;
  return FItems.back().get();
}

namespace {
// Calls Fn(start, end, name) for each ":name" outside quotes.
template <class F>
void ForEachParam(const AnsiString& text, F fn) {
  char quote = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (IsDBCSLeadByte(c) && i + 1 < text.size()) {
      ++i;
      continue;
    }
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    if (c == '\'' || c == '"') {
      quote = c;
      continue;
    }
    if (c == ':' && i + 1 < text.size() && (std::isalpha(static_cast<unsigned char>(text[i + 1])) || text[i + 1] == '_')) {
      size_t e = i + 1;
      while (e < text.size() && (std::isalnum(static_cast<unsigned char>(text[e])) || text[e] == '_')) ++e;
      fn(i, e, text.substr(i + 1, e - i - 1));
      i = e - 1;
    }
  }
}

AnsiString Literal(const Variant& v) {
  if (v.IsNull() || v.IsEmpty()) return "NULL";
  Word t = VarType(v);
  if (t == varBoolean) return v.AsBoolean() ? "TRUE" : "FALSE";
  if (VarIsNumeric(v)) {
    AnsiString s = VarToStr(v);
    for (char& c : s)
      if (c == ',') c = '.';
    return s;
  }
  if (t == varDate) return "#" + FormatDateTime("yyyy-mm-dd hh:nn:ss", v.AsDateTime()) + "#";
  return QuotedStr(VarToStr(v));
}
}  // namespace

void TParameters::ParseSQL(const AnsiString& Text) {
  std::vector<std::unique_ptr<TParameter>> next;
  ForEachParam(Text, [&](size_t, size_t, const AnsiString& name) {
    for (auto& p : next)
      if (SameText(p->Name, name)) return;
    auto p = std::make_unique<TParameter>();
    p->Name = name;
    if (TParameter* old = FindParam(name)) p->Value = old->Value;
    next.push_back(std::move(p));
  });
  FItems = std::move(next);
}

// ---------------------------------------------------------------------------
// TCustomADODataSet

TCustomADODataSet::TCustomADODataSet(TComponent* AOwner) : TDataSet(AOwner) {}

TCustomADODataSet::~TCustomADODataSet() {
  Destroying();
  try {
    Close();
  } catch (...) {
  }
  if (FOpenedOn) FOpenedOn->UnRegisterClient(this);
  if (FConnection) FConnection->RemoveFreeNotification(this);
}

void TCustomADODataSet::SetConnection(TADOConnection* Value) {
  if (Value == FConnection) return;
  CheckInactive();
  if (FConnection) FConnection->RemoveFreeNotification(this);
  FConnection = Value;
  if (Value) {
    Value->FreeNotification(this);
    FOwnConnection.reset();
  }
}

AnsiString TCustomADODataSet::ConnectionString() const {
  if (FConnection) return FConnection->ConnectionString();
  return FOwnConnection ? FOwnConnection->ConnectionString() : AnsiString();
}

void TCustomADODataSet::SetConnectionString(const AnsiString& Value) {
  CheckInactive();
  if (FConnection) {
    FConnection->RemoveFreeNotification(this);
    FConnection = nullptr;
  }
  if (!FOwnConnection) FOwnConnection = std::make_unique<TADOConnection>(nullptr);
  FOwnConnection->SetConnectionString(Value);
}

void TCustomADODataSet::Notification(TComponent* AComponent, TOperation Operation) {
  TDataSet::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FConnection) {
    if (Active()) {
      try {
        Close();
      } catch (...) {
      }
    }
    FConnection = nullptr;
  }
}

TADOConnection* TCustomADODataSet::ActiveConnection() {
  TADOConnection* c = FConnection ? FConnection : FOwnConnection.get();
  if (!c || c->ConnectionString().empty()) DatabaseError(SMissingConnection, this);
  return c;
}

pvsql::Db& TCustomADODataSet::Db() {
  if (!FOpenedOn) DatabaseError(SDataSetClosed, this);
  return FOpenedOn->Database();
}

void TCustomADODataSet::InternalOpen() {
  TADOConnection* conn = ActiveConnection();
  pvdb::SelectStatement spec = Source();
  pvsql::Db& db = conn->Database();
  std::vector<pvdb::ColumnDef> all = pvdb::TableColumns(db, spec.table);
  std::vector<pvdb::ColumnDef> cols;
  if (spec.columns.empty()) {
    cols = all;
  } else {
    for (const AnsiString& name : spec.columns) {
      auto it = std::find_if(all.begin(), all.end(), [&](const pvdb::ColumnDef& c) { return SameText(c.name, name); });
      if (it == all.end()) DatabaseErrorFmt(SFieldNotFound, {name}, this);
      cols.push_back(*it);
    }
  }
  FFieldDefs->Clear();
  for (const auto& c : cols) {
    TFieldDef* d = FFieldDefs->Add(c.name, c.type, c.size, c.required);
    d->ReadOnly = c.type == ftAutoInc;
  }
  FColumns = std::move(cols);
  FAllColumns = std::move(all);
  FTable = spec.table;
  FWhere = spec.where;
  FOpenedOn = conn;
  conn->RegisterClient(this);
  ReadRows();
}

void TCustomADODataSet::InternalClose() {
  if (FOpenedOn) FOpenedOn->UnRegisterClient(this);
  FOpenedOn = nullptr;
  FColumns.clear();
  FAllColumns.clear();
}

void TCustomADODataSet::ReadRows() {
  // With a row condition, every column is read after the selected ones so the
  // condition can test columns the query does not return.
  const bool where = !FWhere.empty();
  std::string sql = "SELECT rowid";
  for (const auto& c : FColumns) sql += ", " + pvsql::QuoteIdent(AnsiToUtf8(c.name));
  if (where)
    for (const auto& c : FAllColumns) sql += ", " + pvsql::QuoteIdent(AnsiToUtf8(c.name));
  sql += " FROM " + pvsql::QuoteIdent(AnsiToUtf8(FTable)) + " ORDER BY rowid";
  pvsql::Stmt st(Db(), sql);
  const int n = static_cast<int>(FColumns.size());
  const int all = static_cast<int>(FAllColumns.size());
  std::unique_ptr<pvdb::FilterExpr> expr;
  if (where) {
    // The query's condition, in the filter grammar.
    expr = pvdb::ParseFilter(FWhere, [&](const AnsiString& name) {
      for (int k = 0; k < all; ++k)
        if (SameText(FAllColumns[k].name, name)) {
          pvdb::FilterField f;
          f.index = k;
          switch (FAllColumns[k].type) {
            case ftString: case ftFixedChar: case ftWideString: case ftMemo: case ftGuid:
              f.kind = pvdb::FilterValue::Text;
              break;
            case ftDate: case ftTime: case ftDateTime:
              f.kind = pvdb::FilterValue::Date;
              break;
            default:
              f.kind = pvdb::FilterValue::Number;
          }
          return f;
        }
      DatabaseErrorFmt(SFieldNotFound, {name}, this);
    });
  }
  std::vector<Row> rows;
  pvdb::RowArena arena;
  std::string full, scratch;
  scratch.reserve(4096);
  while (st.Step()) {
    Row r;
    r.Id = st.Int(0);
    scratch.clear();
    for (int k = 0; k < n; ++k) pvdb::PackColumn(scratch, st, k + 1, &arena);
    r.Data = arena.Add(scratch);
    if (expr) {
      full.clear();
      for (int k = 0; k < all; ++k) pvdb::PackColumn(full, st, n + 1 + k);
      bool ok = expr->Eval(
                             [&](int index) {
                               pvdb::FilterValue v;
                               Cell c;
                               if (!pvdb::DecodeColumn(full, index, c) || c.IsNull()) return v;
                               if (c.kind == Cell::Int) {
                                 v.kind = pvdb::FilterValue::Number;
                                 v.num = static_cast<double>(c.i);
                               } else if (c.kind == Cell::Float) {
                                 v.kind = FAllColumns[index].type == ftDateTime ? pvdb::FilterValue::Date
                                                                                : pvdb::FilterValue::Number;
                                 v.num = c.d;
                               } else {
                                 v.kind = pvdb::FilterValue::Text;
                                 v.text = c.s;
                               }
                               return v;
                             },
                             false, true);
      if (!ok) continue;
    }
    rows.push_back(std::move(r));
  }
  FRows = std::move(rows);
  FArena = std::move(arena);
}

TDataSet::Row TCustomADODataSet::ReadRow(Int64 Id) {
  std::string sql = "SELECT rowid";
  for (const auto& c : FColumns) sql += ", " + pvsql::QuoteIdent(AnsiToUtf8(c.name));
  sql += " FROM " + pvsql::QuoteIdent(AnsiToUtf8(FTable)) + " WHERE rowid=?1";
  pvsql::Stmt st(Db(), sql);
  st.BindInt(1, Id);
  if (!st.Step()) DatabaseError(SRowChanged, this);
  Row r;
  r.Id = st.Int(0);
  std::string data;
  for (int k = 0; k < static_cast<int>(FColumns.size()); ++k) pvdb::PackColumn(data, st, k + 1, &FArena);
  r.Data = FArena.Add(data);
  return r;
}

namespace {
void BindCell(pvsql::Stmt& st, int index, const Cell& c) {
  switch (c.kind) {
    case Cell::Null: st.BindNull(index); break;
    case Cell::Int: st.BindInt(index, c.i); break;
    case Cell::Float: st.BindDouble(index, c.d); break;
    case Cell::Text: st.BindText(index, AnsiToUtf8(c.s)); break;
    case Cell::Blob: st.BindBlob(index, c.s); break;
  }
}

bool SameCell(const Cell& a, const Cell& b) {
  if (a.kind != b.kind) return false;
  switch (a.kind) {
    case Cell::Null: return true;
    case Cell::Int: return a.i == b.i;
    case Cell::Float: return a.d == b.d;
    default: return a.s == b.s;
  }
}
}  // namespace

TDataSet::Row TCustomADODataSet::InternalPost(const Row* Original, const std::vector<Cell>& Values) {
  pvsql::Db& db = Db();
  const std::string table = pvsql::QuoteIdent(AnsiToUtf8(FTable));
  pvsql::WriteTxn txn(db);
  Int64 id;
  if (Original) {
    std::vector<Cell> before;
    pvdb::DecodeAll(Original->Data, static_cast<int>(FColumns.size()), before);
    std::vector<int> changed;
    for (int k = 0; k < static_cast<int>(FColumns.size()); ++k)
      if (!FColumns[k].rowidKey && k < static_cast<int>(Values.size()) && !SameCell(before[k], Values[k]))
        changed.push_back(k);
    id = Original->Id;
    if (!changed.empty()) {
      std::string sql = "UPDATE " + table + " SET ";
      for (size_t j = 0; j < changed.size(); ++j) {
        if (j) sql += ", ";
        sql += pvsql::QuoteIdent(AnsiToUtf8(FColumns[changed[j]].name)) + "=?" + std::to_string(j + 1);
      }
      sql += " WHERE rowid=?" + std::to_string(changed.size() + 1);
      pvsql::Stmt st(db, sql);
      for (size_t j = 0; j < changed.size(); ++j) BindCell(st, static_cast<int>(j + 1), Values[changed[j]]);
      st.BindInt(static_cast<int>(changed.size() + 1), id);
      st.Step();
      if (db.Changes() == 0) DatabaseError(SRowChanged, this);
    }
  } else {
    std::vector<int> cols;
    std::vector<Cell> vals;
    for (int k = 0; k < static_cast<int>(FColumns.size()); ++k) {
      const auto& c = FColumns[k];
      if (c.rowidKey) continue;  // numbered by the file
      if (c.type == ftAutoInc) {
        // A counter column that is not the row key: one past the largest.
        std::string col = pvsql::QuoteIdent(AnsiToUtf8(c.name));
        pvsql::Stmt mx(db, "SELECT coalesce(max(" + col + "), 0) + 1 FROM " + table);
        mx.Step();
        Cell v;
        v.kind = Cell::Int;
        v.i = mx.Int(0);
        cols.push_back(k);
        vals.push_back(v);
        continue;
      }
      if (k < static_cast<int>(Values.size()) && !Values[k].IsNull()) {
        cols.push_back(k);
        vals.push_back(Values[k]);
      }
    }
    std::string sql = "INSERT INTO " + table;
    if (cols.empty()) {
      sql += " DEFAULT VALUES";
    } else {
      sql += " (";
      for (size_t j = 0; j < cols.size(); ++j) {
        if (j) sql += ", ";
        sql += pvsql::QuoteIdent(AnsiToUtf8(FColumns[cols[j]].name));
      }
      sql += ") VALUES (";
      for (size_t j = 0; j < cols.size(); ++j) sql += (j ? ", ?" : "?") + std::to_string(j + 1);
      sql += ")";
    }
    pvsql::Stmt st(db, sql);
    for (size_t j = 0; j < vals.size(); ++j) BindCell(st, static_cast<int>(j + 1), vals[j]);
    st.Step();
    id = db.LastInsertRowid();
  }
  Row r = ReadRow(id);
  txn.Commit();
  return r;
}

void TCustomADODataSet::InternalDelete(const Row& R) {
  pvsql::Db& db = Db();
  pvsql::WriteTxn txn(db);
  pvsql::Stmt st(db, "DELETE FROM " + pvsql::QuoteIdent(AnsiToUtf8(FTable)) + " WHERE rowid=?1");
  st.BindInt(1, R.Id);
  st.Step();
  // A row another connection removed already is gone as asked.
  txn.Commit();
}

void TCustomADODataSet::InternalRefresh() { ReadRows(); }

void TCustomADODataSet::UpdateBatch(TAffectRecords) {
  CheckActive();
  CheckBrowseMode();
  // Every post is already in the file; the links re-read the records as after a batch commit.
  ++FChangeCount;
  DataEvent(deDataSetChange, 0);
}

void TCustomADODataSet::CancelBatch(TAffectRecords) {
  CheckActive();
  Cancel();
}

// ---------------------------------------------------------------------------
// TADOTable, TADOQuery

void TADOTable::SetTableName(const AnsiString& Value) {
  if (Value == FTableName) return;
  CheckInactive();
  FTableName = Value;
}

pvdb::SelectStatement TADOTable::Source() const {
  if (FTableName.empty()) DatabaseError(SMissingTableName, this);
  pvdb::SelectStatement s;
  s.table = FTableName;
  return s;
}

TADOQuery::TADOQuery(TComponent* AOwner)
    : TCustomADODataSet(AOwner), FSQL(std::make_unique<TStringList>()), FParameters(std::make_unique<TParameters>()) {}

TADOQuery::~TADOQuery() = default;

TParameters* TADOQuery::Parameters() {
  FParameters->ParseSQL(FSQL->Text());
  return FParameters.get();
}

AnsiString TADOQuery::StatementText() const {
  AnsiString text = Trim(FSQL->Text());
  AnsiString out;
  size_t last = 0;
  ForEachParam(text, [&](size_t b, size_t e, const AnsiString& name) {
    TParameter* p = FParameters->FindParam(name);
    if (!p) throw EDatabaseError("Parameter '" + name + "' not found");
    out += text.substr(last, b - last) + Literal(p->Value);
    last = e;
  });
  out += text.substr(last);
  return out;
}

pvdb::SelectStatement TADOQuery::Source() const {
  AnsiString text = StatementText();
  if (text.empty()) DatabaseError(SMissingSQL, this);
  return pvdb::ParseSelect(text);
}

int TADOQuery::ExecSQL() {
  AnsiString text = StatementText();
  if (text.empty()) DatabaseError(SMissingSQL, this);
  TADOConnection* conn = ActiveConnection();
  FRowsAffected = conn->Execute(text);
  return FRowsAffected;
}
