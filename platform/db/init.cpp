#include "platform/db/init.h"

#include "platform/classes/typinfo.h"
#include "platform/db/ado.h"

PV_ENUM_NAMES(TCursorLocation, "clUseServer clUseClient")
PV_ENUM_NAMES(TCursorType, "ctUnspecified ctOpenForwardOnly ctKeyset ctDynamic ctStatic")
PV_ENUM_NAMES(TADOLockType, "ltUnspecified ltReadOnly ltPessimistic ltOptimistic ltBatchOptimistic")
PV_ENUM_NAMES(TConnectMode,
              "cmUnknown cmRead cmWrite cmReadWrite cmShareDenyRead cmShareDenyWrite cmShareExclusive "
              "cmShareDenyNone")
PV_ENUM_NAMES(TFilterOption, "foCaseInsensitive foNoPartialCompare")
PV_ENUM_NAMES(TFieldKind, "fkData fkCalculated fkLookup fkInternalCalc fkAggregate")
PV_ENUM_NAMES(TAlignment, "taLeftJustify taRightJustify taCenter")

namespace {
template <class C>
void DataSetProps(TPropBuilder<C>& p) {
  p.Prop("Active", &C::Active, &C::SetActive).Default(false);
  p.Prop("AutoCalcFields", &C::AutoCalcFields, &C::AutoCalcFields).Default(true);
  p.Prop("Filter", &C::Filter, &C::SetFilter);
  p.Prop("Filtered", &C::Filtered, &C::SetFiltered).Default(false);
  p.Prop("FilterOptions", &C::FilterOptions, &C::SetFilterOptions).Default(TFilterOptions{});
  p.Prop("AfterCancel", &C::AfterCancel, &C::AfterCancel);
  p.Prop("AfterClose", &C::AfterClose, &C::AfterClose);
  p.Prop("AfterDelete", &C::AfterDelete, &C::AfterDelete);
  p.Prop("AfterEdit", &C::AfterEdit, &C::AfterEdit);
  p.Prop("AfterInsert", &C::AfterInsert, &C::AfterInsert);
  p.Prop("AfterOpen", &C::AfterOpen, &C::AfterOpen);
  p.Prop("AfterPost", &C::AfterPost, &C::AfterPost);
  p.Prop("AfterRefresh", &C::AfterRefresh, &C::AfterRefresh);
  p.Prop("AfterScroll", &C::AfterScroll, &C::AfterScroll);
  p.Prop("BeforeCancel", &C::BeforeCancel, &C::BeforeCancel);
  p.Prop("BeforeClose", &C::BeforeClose, &C::BeforeClose);
  p.Prop("BeforeDelete", &C::BeforeDelete, &C::BeforeDelete);
  p.Prop("BeforeEdit", &C::BeforeEdit, &C::BeforeEdit);
  p.Prop("BeforeInsert", &C::BeforeInsert, &C::BeforeInsert);
  p.Prop("BeforeOpen", &C::BeforeOpen, &C::BeforeOpen);
  p.Prop("BeforePost", &C::BeforePost, &C::BeforePost);
  p.Prop("BeforeRefresh", &C::BeforeRefresh, &C::BeforeRefresh);
  p.Prop("BeforeScroll", &C::BeforeScroll, &C::BeforeScroll);
  p.Prop("OnCalcFields", &C::OnCalcFields, &C::OnCalcFields);
  p.Prop("OnFilterRecord", &C::OnFilterRecord, &C::SetOnFilterRecord);
  p.Prop("OnNewRecord", &C::OnNewRecord, &C::OnNewRecord);
  p.Prop("Connection", &C::Connection, &C::SetConnection);
  p.Prop("ConnectionString", &C::ConnectionString, &C::SetConnectionString).Stored([](TObject* o) {
    return static_cast<TCustomADODataSet*>(o)->Connection() == nullptr;
  });
  p.Prop("CursorLocation", &C::CursorLocation, &C::CursorLocation).Default(clUseClient);
  p.Prop("CursorType", &C::CursorType, &C::CursorType).Default(ctKeyset);
  p.Prop("LockType", &C::LockType, &C::LockType).Default(ltOptimistic);
}
}  // namespace

void InitDataAccess() {
  // Once per registry: the registries are emptied again when the object model shuts down.
  if (GetClass("TADOTable") == TADOTable::StaticClass()) return;

  RegisterProps<TDataSource>([](TPropBuilder<TDataSource>& p) {
    p.Prop("AutoEdit", &TDataSource::AutoEdit, &TDataSource::SetAutoEdit).Default(true);
    p.Prop("DataSet", &TDataSource::DataSet, &TDataSource::SetDataSet);
    p.Prop("Enabled", &TDataSource::Enabled, &TDataSource::SetEnabled).Default(true);
    p.Field("OnDataChange", &TDataSource::OnDataChange);
    p.Field("OnStateChange", &TDataSource::OnStateChange);
    p.Field("OnUpdateData", &TDataSource::OnUpdateData);
  });

  RegisterProps<TADOConnection>([](TPropBuilder<TADOConnection>& p) {
    p.Field("CommandTimeout", &TADOConnection::CommandTimeout).Default(30);
    p.Prop("Connected", &TADOConnection::Connected, &TADOConnection::SetConnected).Default(false);
    p.Prop("ConnectionString", &TADOConnection::ConnectionString, &TADOConnection::SetConnectionString);
    p.Field("ConnectionTimeout", &TADOConnection::ConnectionTimeout).Default(15);
    p.Field("CursorLocation", &TADOConnection::CursorLocation).Default(clUseClient);
    p.Field("KeepConnection", &TADOConnection::KeepConnection).Default(true);
    p.Field("LoginPrompt", &TADOConnection::LoginPrompt).Default(true);
    p.Field("Mode", &TADOConnection::Mode).Default(cmUnknown);
    p.Prop("Provider", &TADOConnection::Provider, &TADOConnection::SetProvider).Stored(false);
    p.Field("AfterConnect", &TADOConnection::AfterConnect);
    p.Field("AfterDisconnect", &TADOConnection::AfterDisconnect);
    p.Field("BeforeConnect", &TADOConnection::BeforeConnect);
    p.Field("BeforeDisconnect", &TADOConnection::BeforeDisconnect);
  });

  RegisterProps<TADOTable>([&](TPropBuilder<TADOTable>& p) {
    DataSetProps(p);
    p.Field("TableDirect", &TADOTable::TableDirect).Default(false);
    p.Prop("TableName", &TADOTable::TableName, &TADOTable::SetTableName);
  });
  RegisterProps<TADOQuery>([&](TPropBuilder<TADOQuery>& p) {
    DataSetProps(p);
    p.Prop("SQL", [](TADOQuery* q) -> TStrings* { return q->SQL(); });
    // Read by code that sets a query's parameter values; the values are no part of a description.
    p.Prop("Parameters", [](TADOQuery* q) -> TParameters* { return q->Parameters(); }).Stored(false);
  });

  RegisterClasses({TDataSource::StaticClass(), TADOConnection::StaticClass(), TADOTable::StaticClass(),
                   TADOQuery::StaticClass(), TStringField::StaticClass(), TWideStringField::StaticClass(),
                   TSmallintField::StaticClass(), TIntegerField::StaticClass(), TWordField::StaticClass(),
                   TAutoIncField::StaticClass(), TLargeintField::StaticClass(), TBooleanField::StaticClass(),
                   TFloatField::StaticClass(), TCurrencyField::StaticClass(), TBCDField::StaticClass(),
                   TDateField::StaticClass(), TTimeField::StaticClass(), TDateTimeField::StaticClass(),
                   TBlobField::StaticClass(), TMemoField::StaticClass(), TGraphicField::StaticClass(),
                   TVariantField::StaticClass()});
}
