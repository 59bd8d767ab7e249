// Connections, tables and queries in the style of the platform's data-access
// components, stored in SQLite files. The provider named in the connection
// string opens the file at "Data Source"; a missing file is never created.
#pragma once
#include <memory>
#include <utility>
#include <vector>
#include "platform/db/db.h"
#include "platform/db/schema.h"
#include "platform/rtl/stringlist.h"

namespace pvsql { class Db; }


// Splits a connection string into its key=value pairs (keys trimmed, values
// unquoted). Raises EDatabaseError for a malformed string.
std::vector<std::pair<AnsiString, AnsiString>> ParseConnectionString(const AnsiString& ConnectionString);
// The value of Key (ignoring case); empty when absent.
AnsiString ConnectionStringValue(const AnsiString& ConnectionString, const AnsiString& Key);

class TADOConnection : public TComponent {
  PV_CLASS(TADOConnection, TComponent)
 public:
  explicit TADOConnection(TComponent* AOwner);
  ~TADOConnection() override;

  const AnsiString& ConnectionString() const { return FConnectionString; }
  // Changing it on an open connection closes the connection first.
  void SetConnectionString(const AnsiString& Value);
  bool Connected() const { return FDb != nullptr; }
  void SetConnected(bool Value);
  void Open() { SetConnected(true); }
  void Close() { SetConnected(false); }
  AnsiString Provider() const;
  void SetProvider(const AnsiString& Value);
  // The file named by "Data Source".
  AnsiString DataSource() const { return ConnectionStringValue(FConnectionString, "Data Source"); }

  bool LoginPrompt = true;
  bool KeepConnection = true;
  TConnectMode Mode = cmUnknown;
  TCursorLocation CursorLocation = clUseClient;
  int ConnectionTimeout = 15;
  int CommandTimeout = 30;

  TNotifyEvent BeforeConnect, AfterConnect, BeforeDisconnect, AfterDisconnect;

  int DataSetCount() const { return static_cast<int>(FDataSets.size()); }
  TDataSet* DataSets(int Index) const { return FDataSets.at(Index); }
  // Runs a schema statement (see ExecSchemaStatement); returns the rows affected.
  int Execute(const AnsiString& CommandText);
  // Fills List with the names of the file's tables in name order (connects
  // first when needed); SystemTables adds the store's own tables.
  void GetTableNames(TStrings* List, bool SystemTables = false);
  // The open file (connects first when needed).
  pvsql::Db& Database();

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Loaded() override;

 private:
  friend class TCustomADODataSet;
  void RegisterClient(TDataSet* DataSet);
  void UnRegisterClient(TDataSet* DataSet);
  AnsiString FConnectionString;
  std::unique_ptr<pvsql::Db> FDb;
  std::vector<TDataSet*> FDataSets;
  bool FStreamedConnected = false;
};

// A parameter of a query, written into its text as a literal when the query runs.
class TParameter : public TObject {
  PV_CLASS(TParameter, TObject)
 public:
  AnsiString Name;
  Variant Value;
};

class TParameters : public TObject {
  PV_CLASS(TParameters, TObject)
 public:
  int Count() const { return static_cast<int>(FItems.size()); }
  TParameter* Items(int Index) const { return FItems.at(Index).get(); }
  TParameter* operator[](int Index) const { return Items(Index); }
  TParameter* FindParam(const AnsiString& Name) const;
  // Raises EDatabaseError "Parameter '%s' not found".
  TParameter* ParamByName(const AnsiString& Name) const;
  TParameter* AddParameter(const AnsiString& Name);
  void Clear() { FItems.clear(); }
  // Makes the list hold the ":name" parameters of Text, keeping the values of those already present.
  void ParseSQL(const AnsiString& Text);

 private:
  std::vector<std::unique_ptr<TParameter>> FItems;
};

class TCustomADODataSet : public TDataSet {
  PV_CLASS(TCustomADODataSet, TDataSet)
 public:
  explicit TCustomADODataSet(TComponent* AOwner);
  ~TCustomADODataSet() override;

  TADOConnection* Connection() const { return FConnection; }
  void SetConnection(TADOConnection* Value);
  // A connection string of the dataset's own (used when Connection is not set).
  AnsiString ConnectionString() const;
  void SetConnectionString(const AnsiString& Value);

  TCursorLocation CursorLocation = clUseClient;
  TCursorType CursorType = ctKeyset;
  TADOLockType LockType = ltOptimistic;

  // Commits what is still pending (an edit in progress) and tells the links
  // that the records were written back.
  void UpdateBatch(TAffectRecords AffectRecords = arAll);
  void CancelBatch(TAffectRecords AffectRecords = arAll);

  void Notification(TComponent* AComponent, TOperation Operation) override;

 protected:
  // What to read: the table and the columns (empty = all), and a row condition.
  virtual pvdb::SelectStatement Source() const = 0;
  void InternalOpen() override;
  void InternalClose() override;
  Row InternalPost(const Row* Original, const std::vector<pvdb::Cell>& Values) override;
  void InternalDelete(const Row& R) override;
  void InternalRefresh() override;
  bool ProviderCanModify() const override { return LockType != ltReadOnly; }
  TADOConnection* ActiveConnection();
  pvsql::Db& Db();

 private:
  friend class TADOConnection;
  void ReadRows();
  Row ReadRow(Int64 Id);

  TADOConnection* FConnection = nullptr;
  std::unique_ptr<TADOConnection> FOwnConnection;
  TADOConnection* FOpenedOn = nullptr;
  AnsiString FTable;                    // the table read, as opened
  std::vector<pvdb::ColumnDef> FColumns;  // columns read, in field-definition order
  std::vector<pvdb::ColumnDef> FAllColumns;  // every column of the table (for the row condition)
  AnsiString FWhere;
};

class TADOTable : public TCustomADODataSet {
  PV_CLASS(TADOTable, TCustomADODataSet)
 public:
  explicit TADOTable(TComponent* AOwner) : TCustomADODataSet(AOwner) {}
  const AnsiString& TableName() const { return FTableName; }
  // Only while closed.
  void SetTableName(const AnsiString& Value);
  bool TableDirect = false;

 protected:
  pvdb::SelectStatement Source() const override;

 private:
  AnsiString FTableName;
};

class TADOQuery : public TCustomADODataSet {
  PV_CLASS(TADOQuery, TCustomADODataSet)
 public:
  explicit TADOQuery(TComponent* AOwner);
  ~TADOQuery() override;
  TStringList* SQL() const { return FSQL.get(); }
  TParameters* Parameters();
  // Runs the statement; returns the rows affected.
  int ExecSQL();
  int RowsAffected() const { return FRowsAffected; }

 protected:
  pvdb::SelectStatement Source() const override;

 private:
  AnsiString StatementText() const;
  std::unique_ptr<TStringList> FSQL;
  std::unique_ptr<TParameters> FParameters;
  int FRowsAffected = 0;
};
