// Table structure as the datasets see it: declared column types mapped to field
// types, and the few statements the system runs (copying the schema table under
// a new name, making a column an auto-increment key, single-table SELECT).
#pragma once
#include <string_view>
#include <vector>
#include "platform/db/dbtypes.h"
#include "platform/rtl/types.h"

namespace pvsql { class Db; }

namespace pvdb {

struct ColumnDef {
  AnsiString name;        // CP936
  std::string declType;   // as declared in the file
  TFieldType type = ftUnknown;
  int size = 0;           // characters of a string field
  bool required = false;  // NOT NULL
  bool rowidKey = false;  // the table's INTEGER PRIMARY KEY (numbered by the file)
};

// Maps a declared column type ("TEXT(50)", "COUNTER", "MEMO" ...) to a field type
// and, for strings, a size.
TFieldType MapDeclaredType(std::string_view decl, int& size);

// The columns of a table in their declared order. Raises EDatabaseError when the
// table does not exist.
std::vector<ColumnDef> TableColumns(pvsql::Db& db, const AnsiString& table);

// Runs one of the schema statements:
//   SELECT * INTO <new> FROM <source>   (same columns, the key becomes a plain integer)
//   ALTER TABLE <t> ALTER COLUMN <c> AutoIncrement(<seed>,<step>)   (also COUNTER(...))
// Anything else raises EDatabaseError naming the statement.
void ExecSchemaStatement(pvsql::Db& db, const AnsiString& sql);

// A single-table query: SELECT <* | a, b ...> FROM <table> [WHERE <condition>].
struct SelectStatement {
  AnsiString table;
  std::vector<AnsiString> columns;  // empty for *
  AnsiString where;                 // filter text; empty when none
};
// Raises EDatabaseError naming the statement when it is not of that form.
SelectStatement ParseSelect(const AnsiString& sql);

}  // namespace pvdb
