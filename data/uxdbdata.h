// The dataset-bound data controller: a controller whose records come from a
// platform TDataSet, reached through a TDataSource and an own data link.
//
// Loading mode (the default) copies every record of the data set into the
// controller's store on each full data change; sorting, grouping, filtering
// and summaries then run in memory. Grid mode holds only the records of the
// data link's buffer and hands navigation, the record count, incremental
// search and the selection (as bookmarks) to the data set.
//
// Every loaded record remembers the data set's bookmark, so that a record is
// always reached exactly: by its key when the key fields name it alone, by
// its bookmark when they are empty or another record has the same key.
#pragma once
#include <memory>
#include <vector>

#include "data/uxcustomdata.h"
#include "data/uxdbadapters.h"
#include "data/uxdbfiltercriteria.h"
#include "platform/db/db.h"

class TuxDBDataController;
class TuxDBDataProvider;
class TuxDBDataField;
class TuxDBDataSelection;
class TuxDBProviderDetailFilterAdapter;

using TuxDBDataDetailHasChildrenEvent =
    TEvent<void(TuxDBDataController* Sender, int ARecordIndex, int ARelationIndex,
                const AnsiString& AMasterDetailKeyFieldNames, const Variant& AMasterDetailKeyValues,
                bool& HasChildren)>;

PV_DECLARE_EXCEPTION(EuxDBDataControllerError, EuxInvalidDataControllerOperation)

// ---------------------------------------------------------------------------
// Filter criteria of a dataset controller

class TuxDBDataFilterCriteriaItem : public TuxDataFilterCriteriaItem {
  PV_CLASS(TuxDBDataFilterCriteriaItem, TuxDataFilterCriteriaItem)
 public:
  using TuxDataFilterCriteriaItem::TuxDataFilterCriteriaItem;
  // The base's class, then as the filter operator adapter of the controller's data set adjusts it.
  TuxFilterOperatorClass GetOperatorClass() override;
  // The item's name in filter texts, as the dataset reads it back.
  void GetFieldName(AnsiString& S) override;
};

class TuxDBDataFilterCriteria
    : public TuxDBFilterCriteriaImpl<TuxDataFilterCriteria, TuxDBDataFilterCriteria> {
  PV_CLASS(TuxDBDataFilterCriteria, TuxDataFilterCriteria)
 public:
  using OwnerType = TuxCustomDataController;
  explicit TuxDBDataFilterCriteria(TuxCustomDataController* ADataController);
  TuxFilterCriteriaItemClass GetItemClass() override { return TuxDBDataFilterCriteriaItem::StaticClass(); }
  // Brings the data set to browse mode, tells OnBeforeChange, hands the text
  // to the data set, then the base's change handling.
  void DoChanged() override;
  // The controller filters its records only when the data set does not.
  bool IsFiltering() override;
  TuxDBDataController* DBDataController() const;
};

// ---------------------------------------------------------------------------
// Provider parts

// Fields that the controller itself filled on the record being inserted.
class TuxDBDataAssignedFields {
 public:
  void Add(TField* Field);
  void AddList(const std::vector<TField*>& List);
  void AddByNames(TDataSet* DataSet, const AnsiString& Names);
  void Clear() { FFields.clear(); }
  bool IsEmpty() const { return FFields.empty(); }
  bool IsAssigned(TField* Field) const;
  void Remove(TField* Field);

 private:
  std::vector<TField*> FFields;
};

// Reads the data set's current record while records are loaded.
class TuxValueDefDBReader : public TuxValueDefReader {
  PV_CLASS(TuxValueDefDBReader, TuxValueDefReader)
 public:
  void TextOf(TuxValueDef* Def, AnsiString& Text) override;
  void ValueOf(TuxValueDef* Def, Variant& Value) override;
  bool Skips(TuxValueDef* Def) override;

 private:
  // What a definition reads, found once per reader: records are read many
  // times over with the same fields bound.
  struct Source {
    TuxValueDef* Def = nullptr;
    TField* Field = nullptr;
    bool Bookmark = false;
    bool Skip = false;
  };
  const Source& SourceOf(TuxValueDef* Def);
  std::vector<Source> FSources;
  TuxDBDataProvider* FProvider = nullptr;
};

using TuxDBDataModeControllerDetailFirstEvent =
    TEvent<void(TObject* Sender, TDataSet* ADataSet, const AnsiString& AMasterDetailKeyFieldNames,
                const Variant& AMasterDetailKeyValues, bool& AReopened)>;
using TuxDBDataModeControllerDetailIsCurrentQueryEvent =
    TEvent<void(TObject* Sender, TDataSet* ADataSet, const AnsiString& AMasterDetailKeyFieldNames,
                const Variant& AMasterDetailKeyValues, bool& IsCurrentQuery)>;

class TuxDBDataModeController : public TPersistent {
  PV_CLASS(TuxDBDataModeController, TPersistent)
 public:
  explicit TuxDBDataModeController(TuxDBDataController* AController) : FController(AController) {}
  void Assign(TPersistent* Source) override;

  bool DetailInSQLMode() const { return FDetailInSQLMode; }
  void SetDetailInSQLMode(bool Value) { FDetailInSQLMode = Value; }
  bool GridMode() const { return FGridMode; }
  void SetGridMode(bool Value);
  int GridModeBufferCount() const { return FGridModeBufferCount; }
  void SetGridModeBufferCount(int Value);
  bool SmartRefresh() const { return FSmartRefresh; }
  void SetSmartRefresh(bool Value);
  bool SyncMode() const { return FSyncMode; }
  void SetSyncMode(bool Value);
  bool DetailSyncEnabled = true;
  bool InsertSyncEnabled = true;

  TuxDBDataModeControllerDetailFirstEvent OnDetailFirst;
  TuxDBDataModeControllerDetailIsCurrentQueryEvent OnDetailIsCurrentQuery;

  TuxDBDataController* Controller() const { return FController; }

 private:
  TuxDBDataController* FController;
  bool FDetailInSQLMode = false;
  bool FGridMode = false;
  int FGridModeBufferCount = 0;
  bool FSmartRefresh = false;
  bool FSyncMode = true;
};

class TuxDBDataLink : public TDataLink {
  PV_CLASS(TuxDBDataLink, TDataLink)
 public:
  explicit TuxDBDataLink(TuxDBDataProvider* AProvider) : FProvider(AProvider) { SetVisualControl(true); }
  TuxDBDataProvider* Provider() const { return FProvider; }
  // What a listener is told once the provider that held the data set is done.
  void NotifyDataSetChanged() { DataSetChanged(); }
  void NotifyEditingChanged() { EditingChanged(); }
  bool ReopenedWhileDisabled = false;
  bool SuppressLayoutChange = false;

 protected:
  void ActiveChanged() override;
  void DataEvent(TDataEvent Event, NativeInt Info) override;
  void DataSetChanged() override;
  void DataSetScrolled(int Distance) override;
  void EditingChanged() override;
  void FocusControl(TField** Field) override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;
  void UpdateData() override;

 private:
  TuxDBDataProvider* FProvider;
};

struct TuxDBDataProviderSavePosInfo {
  TBookmarkStr Bookmark;
  int ActiveRecord = 0;
  bool Bof = false, Eof = false;
};

class TuxDBDataProvider : public TuxCustomDataProvider {
  PV_CLASS(TuxDBDataProvider, TuxCustomDataProvider)
 public:
  using OwnerType = TuxCustomDataController;
  explicit TuxDBDataProvider(TuxCustomDataController* AController);
  ~TuxDBDataProvider() override;

  TDataSet* DataSet() const { return FDataLink ? FDataLink->DataSet() : nullptr; }
  TDataSource* DataSource() const { return FDataLink ? FDataLink->DataSource() : nullptr; }
  void SetDataSource(TDataSource* Value);
  TuxDBDataLink* DataLink() const { return FDataLink.get(); }
  TuxDBDataController* DBController() const;

  bool IsUnboundMode() override { return false; }
  bool IsGridMode() override;
  bool IsActive() override;
  bool IsActiveDataSet() override;
  bool IsDataSetFieldsReady() override;
  bool IsOtherInsert() override;
  bool IsSyncMode() override;
  bool IsBOF() override;
  bool IsEOF() override;
  bool IsEditing() override;
  bool IsInserting() override;
  bool IsGridModeUpdating() override { return IsGridMode() && FInGridModeBufferReload; }
  bool IsModified() override { return FModified || IsDataSetModified(); }
  bool CanModify() override;
  bool CanDelete() override;
  bool CanInitEditing(int ItemIndex) override;
  void First() override;
  void Prior() override;
  void Next() override;
  void Last() override;
  void MoveBy(int Distance) override;
  void Scroll(int Distance) override;
  void SavePos() override;
  void RestorePos() override;
  void Append() override;
  void Insert() override;
  void Edit() override;
  void Post() override;
  void Cancel() override;
  void PostEditingData() override;
  void Delete() override;
  void DeleteRecords(std::vector<int>& List) override;
  void DeleteSelection() override;
  void GetEditValue(int RecordIndex, TuxCustomDataField* Field, Variant& Value, int ValueSource) override;
  bool SetEditValue(int RecordIndex, TuxCustomDataField* Field, const Variant& Value, int ValueSource) override;
  void AssignItemValue(int RecordIndex, TuxCustomDataField* Field, const Variant& Value) override;
  void DoInitInsertingRecord(int RecordIndex, const TuxDataSummaryValues& GroupValues) override;
  void GetValue(int RecordIndex, TuxCustomDataField* Field, Variant& Value) override;
  void GetDisplayText(int RecordIndex, TuxCustomDataField* Field, AnsiString& Text) override;
  int GetFocusedRecordIndex() override;
  TClass GetValueDefReaderClass() override { return TuxValueDefDBReader::StaticClass(); }
  void LoadRecords() override;
  void BeginLocate() override;
  void Freeze() override;
  void Unfreeze() override;
  void ActiveChanged(bool Active) override;
  void DataScrolled(int Distance) override;
  void LayoutChanged(int Kind) override;
  bool GetDetailHasChildren(int RecordIndex, int RelationIndex) override;

  // The data set holds changes that the controller did not make itself.
  bool IsDataSetModified();
  bool BookmarkValid(const TBookmarkStr& Bookmark);
  int CompareBookmarks(const TBookmarkStr& B1, const TBookmarkStr& B2);
  void CancelDataSet();
  void RecordChanged(TField* Field);
  void InsertOrAppend(bool AAppend);
  void UpdateGridModeBuffer();
  // Smart refresh, after the data set posted: only the record edited is
  // re-read (or dropped when the data set no longer has it).
  void UpdateAfterPost();
  // The record being edited when the data set posts, under smart refresh.
  void StoreUpdatingRecord();
  void ForgetUpdatingRecord();
  // A storage record goes: the remembered records follow.
  void RecordRemoved(int RecordIndex);
  // Grid-mode incremental search through the data set.
  bool SearchDataSet(int ItemIndex, bool Forward, bool FindNext);
  // Tells the providers that skipped a data-set change while this one held the data set.
  void NotifyListeners();
  void AddListener(TuxDBDataProvider* Provider);

  // Loading mode: the bookmark a record was loaded with (empty for none).
  TBookmarkStr RecordBookmark(int RecordIndex);
  // The data set's current bookmark as the value a loaded record keeps
  // (a 64-bit number; Null when the data set's bookmarks have another size).
  void CurrentBookmarkValue(Variant& Value);
  // The loaded record the data set stands on; -1 for none.
  int FindRecordByCurrentBookmark();
  // Grid mode: the bookmark of a buffered row.
  TBookmarkStr BufferBookmark(int BufferIndex);

  int CurrentRecordIndex() const { return FCurrentRecordIndex; }
  void SetCurrentRecordIndex(int Value) { FCurrentRecordIndex = Value; }
  const TuxDBDataProviderSavePosInfo& SavedPos() const { return FSavePosInfo; }
  bool InInsertOrAppend() const { return FInInsertOrAppend; }
  bool InCanInitEditing() const { return FInCanInitEditing; }
  bool PostLocate() const { return FPostLocate; }
  void SetPostLocate(bool Value) { FPostLocate = Value; }
  bool DataSetCurrent() const { return FDataSetCurrent; }
  void SetDataSetCurrent(bool Value);
  bool InFirst() const { return FInFirst; }
  bool InBufferSizeChange() const;
  TuxDBDataAssignedFields& AssignedFields() { return FAssignedFields; }
  // Every live provider.
  static std::vector<TuxDBDataProvider*>& Providers();
  // The providers bound to the same data set, this one included.
  std::vector<TuxDBDataProvider*> SiblingProviders() const;

 private:
  friend class TuxDBDataLink;
  friend class TuxDBDataController;
  void LinkDataSetChanged();
  void LinkEditingChanged();
  void StartControllerInsert();
  bool HeldByOther(bool& Listen);
  void ReadEditingRecord();
  int BufferCountWanted();
  // Moves the data set onto a loaded record: by key when the key names it
  // alone, else by its bookmark.
  bool GotoRecord(int RecordIndex);

  std::unique_ptr<TuxDBDataLink> FDataLink;
  TuxDBDataAssignedFields FAssignedFields;
  std::vector<TuxDBDataProvider*> FListeners;
  TuxDBDataProviderSavePosInfo FSavePosInfo;
  int FCurrentRecordIndex = -1;
  bool FInInsertOrAppend = false;
  bool FInInsert = false;
  bool FInCanInitEditing = false;
  bool FInGridModeBufferReload = false;
  bool FInFirst = false;
  bool FInNotifyListeners = false;
  bool FPostLocate = false;
  bool FIncrementalSearching = false;
  bool FDataSetCurrent = false;
  bool FActivatedWhileInserting = false;
  bool FInStartInsert = false;
  int FUpdatingRecordIndex = uxNullEditingRecordIndex;
  int FUpdatingNewRecordIndex = -1;
  bool FUpdatingRecordInserted = false;
  int FPrevFocusedRecordIndex = -1;
  bool FDestroying = false;
};

// ---------------------------------------------------------------------------
// Data fields, summary items

class TuxDBDataField : public TuxCustomDataField {
  PV_CLASS(TuxDBDataField, TuxCustomDataField)
 public:
  using TuxCustomDataField::TuxCustomDataField;
  ~TuxDBDataField() override;

  void ComponentRemoved(TComponent* Component) override;
  bool CanEditValue(int Kind = 0) override;
  bool IsUnboundField() override;

  const AnsiString& FieldName() const { return FFieldName; }
  // Through sharing: the field a referring data field stands for.
  TField* Field() const;
  void SetField(TField* Value);
  int SubFieldCount() const;
  TuxDBDataField* SubField(int Index) const;
  void AddSubField(TuxDBDataField* Field);
  void ClearSubFields();
  TuxDBDataField* ParentField() const { return FParentField; }
  bool IsLookup() const;
  bool IsCurrency() const { return FIsCurrency; }
  TuxDBDataController* DBController() const;

 private:
  friend class TuxDBDataController;
  const TuxDBDataField* Target() const;
  AnsiString FFieldName;
  TField* FField = nullptr;
  std::vector<TuxDBDataField*> FSubFields;  // owned
  TuxDBDataField* FParentField = nullptr;
  bool FIsCurrency = false;
};

class TuxDBDataSummaryItem : public TuxDataSummaryItem {
  PV_CLASS(TuxDBDataSummaryItem, TuxDataSummaryItem)
 public:
  using TuxDataSummaryItem::TuxDataSummaryItem;
  ~TuxDBDataSummaryItem() override;
  void Assign(TPersistent* Source) override;
  bool IsCurrency(Word VarType) override;
  TuxCustomDataField* GetField() override;
  const AnsiString& FieldName() const { return FFieldName; }
  void SetFieldName(const AnsiString& Value);
  TuxDBDataController* GetDBDataController() const;

 private:
  AnsiString FFieldName;
  TuxDBDataField* FDataField = nullptr;  // owned by the controller's field list
};

// ---------------------------------------------------------------------------
// The controller

class TuxDBDataController : public TuxCustomDataController {
  PV_CLASS(TuxDBDataController, TuxCustomDataController)
 public:
  explicit TuxDBDataController(TComponent* AOwner);
  ~TuxDBDataController() override;
  void AfterConstruction() override;
  void Assign(TPersistent* Source) override;

  TuxDBDataProvider* DBProvider() const { return static_cast<TuxDBDataProvider*>(Provider()); }
  TuxDBDataModeController* DataModeController() const { return FDataModeController.get(); }
  TDataSet* GetDataSet() const;
  int GetDataSetRecordCount() const;
  int GetDataSetRecNo() const;
  void SetDataSetRecNo(int Value);
  bool IsDataSetSequenced() const;
  TDataSource* GetDataSource() const;
  void SetDataSource(TDataSource* Value);
  TuxDBDataFilterCriteria* GetFilter() const { return static_cast<TuxDBDataFilterCriteria*>(Filter()); }
  void SetFilter(TuxDBDataFilterCriteria* Value) { Filter()->Assign(Value); }
  const AnsiString& KeyFieldNames() const { return FKeyFieldNames; }
  void SetKeyFieldNames(const AnsiString& Value);
  void ChangeFieldName(int ItemIndex, const AnsiString& FieldName);
  TField* GetItemField(int ItemIndex) const;
  AnsiString GetItemFieldName(int ItemIndex) const;
  void UpdateGridModeBufferCount();
  int FindRecordIndexByKey(const Variant& KeyValue);
  bool LocateByKey(const Variant& KeyValue);
  void GetKeyFields(std::vector<TuxCustomDataField*>& List) override;
  void GetRecordKeyValue(int RecordIndex, Variant& Value) override;
  void GetDataSetKeyValue(Variant& Value);
  // The record whose key equals the data set's current record; -1 for none.
  virtual int FindRecordIndexByDataSetKey();
  virtual bool SyncDataSetPos(int RecordIndex);
  void CheckBrowseMode() override;
  bool LocatesByKey();
  TuxDBDataField* KeyField() const { return FKeyField; }
  void BindFieldNames(TuxDBDataField* DataField, const AnsiString& Names, bool AsLookupKeys);

  // New virtual operations.
  virtual void DoDataSetCurrentChanged(bool Value) {}
  virtual void DoDataSourceChanged() {}
  virtual void DoInsertingRecord(int RecordIndex) {}
  virtual int GetDefaultGridModeBufferCount() { return 100; }
  virtual void DoGridModeFocus() { Change(dccFocus); }
  virtual void UpdateScrollBars() {}

  // Overrides of the base.
  TuxCustomDataProviderClass GetDataProviderClass() override { return TuxDBDataProvider::StaticClass(); }
  TuxCustomDataFieldClass GetFieldClass() override { return TuxDBDataField::StaticClass(); }
  TuxDataFilterCriteriaClass GetFilterCriteriaClass() override { return TuxDBDataFilterCriteria::StaticClass(); }
  TuxDataSummaryItemClass GetSummaryItemClass() override { return TuxDBDataSummaryItem::StaticClass(); }
  bool IsStructureChangeable() override { return true; }
  bool CanFocusRecord(int RecordIndex) override;
  int GetFocusingRecordIndex() override;
  int GetDataSetFocusedRecordIndex() override;
  void Loaded() override;
  void RefreshSourceData() override;
  void LoadStorage() override;
  void RestructData() override;
  bool IsExternalLocked() const override;
  void ChangeValueTypeClass(int ItemIndex, TuxValueTypeClass ValueTypeClass) override;
  bool IsItemTextStored(int ItemIndex, bool ExcludeCurrency) override;
  Variant GetGroupValue(int RecordIndex, TuxCustomDataField* Field) override;
  Variant GetFilterDataValue(int RecordIndex, TuxCustomDataField* Field) override;
  int CompareFieldValues(int RecordIndex1, int RecordIndex2, TuxCustomDataField* Field, int Mode) override;
  void DeleteRecordInternal(int RecordIndex) override;
  void RemoveNotification(TComponent* AComponent) override;
  void PrepareField(TuxCustomDataField* Field) override;
  void RecordLoaded(int RecordIndex) override;
  void NotifyAfterLocate() override;
  bool IsSmartRefresh() override;
  void CheckStoredFocus(int RecordIndex) override;
  bool IsStoredFocusLost(int RecordIndex) override;
  void StoreFocusInternal() override;
  void RestoreStoredFocusInternal() override;
  void ClearStoredFocusInternal() override;
  bool IsFocusStored() const override;
  bool IsRowFocusStored(int RowIndex) override;

  Variant GetInternalValue(int RecordIndex, TuxCustomDataField* Field) override;
  AnsiString GetInternalDisplayText(int RecordIndex, TuxCustomDataField* Field) override;
  TuxCustomDataRelationClass GetRelationClass() override;
  TClass GetDataSelectionClass() override;
  void SetMasterRelation(TuxCustomDataRelation* Relation, int MasterRecordIndex) override;
  void ReloadData(TuxCustomDataRelation* Relation) override;
  bool CheckBrowseModeForFocusChange() override;
  // Grid mode: the data set itself is searched, under the search's lock.
  bool LocateByText(const AnsiString& Text, bool Forward, bool Next) override;

  // The internal field that keeps each loaded record's bookmark.
  TuxDBDataField* BookmarkField() const { return FBookmarkField; }
  // The data set's fields are gone (closed with default fields): every data field unbinds.
  void UnbindDataSetFields();

  // ---- master and detail on datasets ----
  const AnsiString& DetailKeyFieldNames() const { return FDetailKeyFieldNames; }
  void SetDetailKeyFieldNames(const AnsiString& Value);
  const AnsiString& MasterKeyFieldNames() const { return FMasterKeyFieldNames; }
  void SetMasterKeyFieldNames(const AnsiString& Value);
  // DetailKeyFieldNames when MasterKeyFieldNames is set, else empty.
  AnsiString GetMasterDetailKeyFieldNames() const;
  bool HasMasterDetailKeyFields() const { return !GetMasterDetailKeyFieldNames().empty(); }
  const Variant& MasterDetailKeyValues() const { return FMasterDetailKeyValues; }
  // The detail data set's fields of the master-detail key.
  const std::vector<TField*>& MasterDetailKeyFields();
  bool IsDataSetCurrent();
  void SetDataSetCurrent(bool Value);
  // The data set stands outside this detail's master record.
  bool IsDetailEOF();
  // Positions the shared data set on this detail's first record.
  void DetailFirst();
  void AssignMasterDetailKeys();
  // A detail in SQL mode ignores the changes of a query that holds another master's rows.
  bool IgnoresDataSetChange();
  // Reopens the detail query when it does not hold this master's rows.
  void CheckCurrentQuery();
  bool DoDetailIsCurrentQuery();
  void DoDetailFirstCall(bool& Reopened);
  TuxDBProviderDetailFilterAdapter* GetDetailFilterAdapter();
  bool GetDetailHasChildrenOf(int RecordIndex, int RelationIndex);
  TuxDBDataDetailHasChildrenEvent OnDetailHasChildren;

  // ---- grid-mode selection ----
  TuxDBDataSelection* DBSelection() const;
  TBookmarkStr GetSelectedBookmark(int Index);
  TBookmarkStr GetSelectionAnchorBookmark();
  void GetRecordIdValue(int RecordIndex, Variant& Value) override;
  int GetSelectedRowIndex(int Index) override;
  int GetSelectionAnchorRowIndex() override;
  bool IsSelectionAnchorExist() override;
  void SelectAll() override;
  void SelectFromAnchor(int RowIndex, bool KeepSelection) override;
  void SetSelectionAnchor(int RowIndex) override;
  bool FocusSelectedRow(int Index) override;
  void ForEachRow(bool SelectedOnly, TuxDataControllerEachRowProc Proc) override;

  bool IsResettingDataSetFields() const { return FResettingDataSetFields; }
  bool InCheckBrowseMode() const { return FInCheckBrowseMode; }
  bool InBufferSizeChange() const { return FChangingBufferSize; }
  bool UnboundCopy() const { return FUnboundCopy; }
  void SetUnboundCopy(bool Value) { FUnboundCopy = Value; }

 protected:
  friend class TuxDBDataProvider;
  friend class TuxDBDataField;
  void UpdateFieldBinding(TuxDBDataField* DataField);
  void UpdateValueTypeFromField(TuxDBDataField* DataField);
  void NotifyValueTypeChanged(TuxDBDataField* DataField);
  // The records of a lookup item compare, group and filter by its key value.
  Variant GetLookupKeyValue(int RecordIndex, TuxDBDataField* Field);

  std::unique_ptr<TuxDBDataModeController> FDataModeController;
  AnsiString FKeyFieldNames;
  TuxDBDataField* FKeyField = nullptr;
  TBookmarkStr FStoredBookmark;
  bool FLoaded = false;
  bool FResettingDataSetFields = false;
  bool FInCheckBrowseMode = false;
  bool FChangingBufferSize = false;
  bool FUnboundCopy = false;
  TuxDBDataField* FBookmarkField = nullptr;  // owned by the field list
  AnsiString FDetailKeyFieldNames, FMasterKeyFieldNames;
  Variant FMasterDetailKeyValues;
  std::vector<TField*> FMasterDetailKeyFieldList;
  bool FMasterDetailKeyFieldsValid = false;
  bool FResettingCurrent = false;
  bool FCheckingCurrentQuery = false;
};

// ---------------------------------------------------------------------------
// Master and detail

// A master's relation to a detail pattern, with the master key field: an
// internal data field of the master bound to the pattern's MasterKeyFieldNames.
class TuxDBDataRelation : public TuxCustomDataRelation {
  PV_CLASS(TuxDBDataRelation, TuxCustomDataRelation)
 public:
  using OwnerType = TuxCustomDataRelationList;
  using TuxCustomDataRelation::TuxCustomDataRelation;
  ~TuxDBDataRelation() override;
  void DataFieldRemoved(TuxCustomDataField* Field) override;
  void CollectMasterKeyFields(std::vector<TuxCustomDataField*>& List);
  // Unassigned without a master-detail link.
  void GetMasterKeyValues(int RecordIndex, Variant& Values);
  bool HasMasterDetailLink();
  AnsiString GetDetailKeyFieldNames() const;
  AnsiString GetMasterKeyFieldNames() const;
  // Binds the master key field to the pattern's MasterKeyFieldNames.
  void UpdateMasterKeyField();
  TuxDBDataField* MasterKeyField() const { return FMasterKeyField; }

 private:
  TuxDBDataField* FMasterKeyField = nullptr;  // owned by the master's field list
};

// How a detail finds its master's records in the shared data set: by a
// parameterised query ("Params" or "Parameters", whose values are set and
// the query reopened), or by locating the first record with the key.
class TuxDBProviderDetailFilterAdapter : public TuxDBAdapterItem {
  PV_CLASS(TuxDBProviderDetailFilterAdapter, TuxDBAdapterItem)
 public:
  virtual bool IsCurrentQuery(TDataSet* ADataSet, const AnsiString& AParamNames, const Variant& AParamValues);
  virtual void ReopenSQL(TDataSet* ADataSet, const AnsiString& AParamNames, const Variant& AParamValues,
                         bool& AReopened);
  virtual void DetailFirst(TDataSet* ADataSet, const AnsiString& AParamNames, const Variant& AParamValues,
                           bool ASQLMode, bool& AReopened);
};

// The detail filter adapters (TDataSet served by
// TuxDBProviderDetailFilterAdapter), from uxInitDetailFilterAdapters to
// uxFinalizeDetailFilterAdapters; nullptr outside that time.
TuxDBAdapterList* uxDetailFilterAdapters();
void uxInitDetailFilterAdapters();
void uxFinalizeDetailFilterAdapters();

// ---------------------------------------------------------------------------
// Grid-mode selection: bookmarks in data-set order

class TuxDBDataSelection : public TuxDataSelection {
  PV_CLASS(TuxDBDataSelection, TuxDataSelection)
 public:
  using OwnerType = TuxCustomDataController;
  using TuxDataSelection::TuxDataSelection;

  void ClearAnchor() override;
  void InternalAdd(int Index, int RowIndex, int RecordIndex, int Level) override;
  void InternalClear() override;
  void InternalDelete(int Index) override;
  bool FindByRowIndex(int RowIndex, int& Index) const override;

  TuxDBDataController* DBController() const { return static_cast<TuxDBDataController*>(FDataController); }
  bool GridMode() const;
  // The bookmark of a buffered row; empty outside grid mode.
  TBookmarkStr RowBookmark(int RowIndex) const;
  bool FindBookmark(const TBookmarkStr& Bookmark, int& Index) const;
  int BookmarkCount() const { return static_cast<int>(FBookmarkList.size()); }
  const TBookmarkStr& Bookmark(int Index) const { return FBookmarkList[static_cast<std::size_t>(Index)]; }
  const TBookmarkStr& AnchorBookmark() const { return FAnchorBookmark; }
  void SetAnchorBookmark(const TBookmarkStr& Value) { FAnchorBookmark = Value; }
  void SelectAllBookmarks();
  void SelectRange(const TBookmarkStr& Target, bool KeepSelection);
  bool RemoveInvalid();

 private:
  // The base's entries follow the list: one per bookmark.
  void SyncCount();
  void AddBookmark(int Index, const TBookmarkStr& Bookmark);
  void Finish();
  std::vector<TBookmarkStr> FBookmarkList;
  TBookmarkStr FAnchorBookmark;
  bool FInSelectAll = false;
};

// The value type class that holds the values of a field of this type.
TuxValueTypeClass uxValueTypeClassOfField(TField* Field);
