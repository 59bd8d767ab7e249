// The data controller: the model behind grid views and lookup editors. It
// keeps its records in a record store (uxdatastorage.h), describes its
// columns ("items") as data fields, reaches its record source through a data
// provider, and turns the records into rows: filtered, sorted, grouped,
// summed, searched, focused and selected. Changes are batched under update
// locks and handed to the owner as notification objects once the outermost
// lock is released.
//
// Indexes: a record index addresses a slot of the store (negative indexes are
// the store's internal records: the new item row's record, the saved copy of
// an edited record, the records of locate objects); an item index a column; a
// row index a visible line (group rows interleave data rows when grouped); a
// filtered index a position in the filtered, sorted record list. -1 means
// none, except that an editing-record index of uxNullEditingRecordIndex
// (-2147483647) means that no record is edited.
//
// Controllers are made with NewObject<T>(Owner): the parts a subclass may
// replace (provider, filter, summary, search, selection) are created in
// AfterConstruction, once the most derived class is whole.
#pragma once
#include <exception>
#include <memory>
#include <vector>

#include "data/uxdatafieldlists.h"
#include "data/uxdatasort.h"
#include "data/uxdatastorage.h"
#include "data/uxdatautils.h"
#include "data/uxfilter.h"
#include "platform/classes/classes.h"
#include "platform/classes/events.h"
#include "platform/rtl/exceptions.h"

class TuxCustomDataController;
class TuxCustomDataControllerInfo;
class TuxCustomDataField;
class TuxCustomDataFieldList;
class TuxCustomDataProvider;
class TuxCustomDataRelation;
class TuxCustomDataRelationList;
class TuxDataControllerGroups;
class TuxDataControllerNotifier;
class TuxDataControllerSearch;
class TuxDataFilterCriteria;
class TuxDataFilterList;
class TuxDataSelection;
class TuxDataSummary;
class TuxDataSummaryItem;
class TuxSaveObject;
class TuxUpdateControlInfo;

PV_DECLARE_EXCEPTION(EuxInvalidDataControllerOperation, Exception)
// Raises EuxInvalidDataControllerOperation with the translated text.
[[noreturn]] void uxDataControllerError(const AnsiString& Message);

// The editing-record index that means "no record".
inline constexpr int uxNullEditingRecordIndex = -2147483647;

enum TuxDataControllerOption {
  dcoAnsiSort, dcoCaseInsensitive, dcoAssignGroupingValues, dcoAssignMasterDetailKeys, dcoSaveExpanding,
  dcoSortByDisplayText, dcoFocusTopRowAfterSorting, dcoGroupsAlwaysExpanded, dcoImmediatePost,
  dcoInsertOnNewItemRowFocusing
};
using TuxDataControllerOptions = TSet<TuxDataControllerOption>;
inline constexpr TuxDataControllerOptions uxDefaultDataControllerOptions{dcoAssignGroupingValues,
                                                                          dcoAssignMasterDetailKeys, dcoSaveExpanding};

// The controller's change set (what DispatchChanges hands out).
enum : Word {
  dccLayout = 1,
  dccData = 2,
  dccFocus = 4,
  dccSelection = 8,
  dccDetail = 16,
  dccSummary = 32,
  dccSearch = 64,
  dccSorting = 128,
  dccGrouping = 256,
  dccSyncMasterFocus = 512,
  dccBookmark = 1024,
  dccUpdateRecord = 2048,
};

// The engine's change set.
enum : Word {
  dcicLoad = 1,
  dcicGrouping = 2,
  dcicSorting = 4,
  dcicFocusedRow = 8,
  dcicView = 16,
  dcicExpanding = 32,
  dcicResetFocusedRow = 64,
  dcicSelection = 128,
  dcicSummary = 256,
  dcicFocusedRecord = 512,
};

// Kinds of a data change.
enum TuxDataChangeKind : Byte { dcValueChanged, dcRecordChanged, dcRecordInserted, dcRecordDeleted, dcDataChanged };

// Edit states (GetEditState) and edit operations (GetEditOperations).
enum : int { dceInsert = 1, dceEdit = 2, dceChanging = 4, dceModified = 8 };
enum : int { dceopAppend = 1, dceopDelete = 2, dceopEdit = 4, dceopInsert = 8, dceopShowEditor = 16 };

// Where an edit value comes from: the value itself, an editor's text, a lookup key.
enum : int { evsValue = 0, evsText = 1, evsKey = 2 };

// Purposes of a field comparison.
enum : int { dccmSorting = 0, dccmGrouping = 1, dccmLocating = 2 };

struct TuxRowInfo {
  bool Expanded = false;
  int Level = 0;
  int RecordIndex = -1;
};

using TuxDataSummaryValues = std::vector<Variant>;
using TuxDataSummaryCountValues = std::vector<int>;

using TuxDataControllerNotifyEvent = TEvent<void(TuxCustomDataController* ADataController)>;
using TuxDataDetailExpandedEvent = TEvent<void(TuxCustomDataController* ADataController, int ARecordIndex)>;
using TuxDataDetailExpandingEvent =
    TEvent<void(TuxCustomDataController* ADataController, int ARecordIndex, bool& AAllow)>;
using TuxDataFilterRecordEvent = TEvent<void(TuxCustomDataController* ADataController, int ARecordIndex, bool& Accept)>;
using TuxDataControllerCompareEvent =
    TEvent<void(TuxCustomDataController* ADataController, int ARecordIndex1, int ARecordIndex2, int AItemIndex,
                const Variant& V1, const Variant& V2, int& Compare)>;
using TuxDataRecordChangedEvent =
    TEvent<void(TuxCustomDataController* ADataController, int ARecordIndex, int AItemIndex)>;
using TuxUpdateControlEvent = TEvent<void(TuxUpdateControlInfo* AInfo)>;
// ForEachRow's callback.
using TuxDataControllerEachRowProc = TEvent<void(int ARowIndex, const TuxRowInfo& ARowInfo)>;

// ===========================================================================
// Data fields and relations

class TuxCustomDataField : public TObject {
  PV_CLASS(TuxCustomDataField, TObject)
 public:
  using OwnerType = TuxCustomDataFieldList;
  explicit TuxCustomDataField(TuxCustomDataFieldList* AFieldList);
  // Leaves the list (which hands shared data on), then frees the definition.
  ~TuxCustomDataField() override;

  // Takes Source's value definition and value type; Source loses them.
  virtual void TakeOver(TuxCustomDataField* Source);
  virtual void ComponentRemoved(TComponent* Component) {}
  virtual bool CanEditValue(int Kind = 0);
  virtual bool IsUnboundField() { return false; }
  virtual bool IsInternal() const { return FInternal; }

  void SetInternal(bool Value);
  TuxCustomDataField* SharedWith() const { return FSharedWith; }
  void SetSharedWith(TuxCustomDataField* Value);
  bool KeepText() const { return FKeepText; }
  void SetKeepText(bool Value);
  // Through sharing.
  TuxValueTypeClass ValueType() const;
  void SetValueType(TuxValueTypeClass Value);
  TuxValueDef* ValueDefinition() const;
  bool KeepsText() const;

  void BeginRebuild();
  void EndRebuild();
  void FreeValueDefinition();
  void NotifyStructureChanged();

  int FieldIndex() const;
  void SetFieldIndex(int Value);
  TuxCustomDataFieldList* FieldList() const { return FFieldList; }
  TuxCustomDataController* Controller() const;
  TuxDataControllerNotifier* ControllerNotifier() const;
  TObject* Item() const { return FItem; }
  void SetItem(TObject* Value) { FItem = Value; }
  bool NeedConversion() const { return FNeedConversion != 0; }
  void SetNeedConversion(bool Value) { FNeedConversion = Value ? 1 : 0; }
  // The conversion need of the running sort: -1 not marked, else a
  // TuxFieldConversion value.
  int ConversionMark() const { return FConversionMark; }
  void SetConversionMark(int Value) { FConversionMark = Value; }

 private:
  friend class TuxCustomDataFieldList;
  const TuxCustomDataField* SharingEnd() const;

  TuxCustomDataFieldList* FFieldList;
  bool FInternal = false;
  TObject* FItem = nullptr;  // not owned
  int FRebuildLockCount = 0;
  int FNeedConversion = 0;
  int FConversionMark = -1;
  TuxCustomDataField* FSharedWith = nullptr;
  bool FKeepText = false;
  TuxValueDef* FValueDef = nullptr;
  TuxValueTypeClass FValueType = nullptr;
};

using TuxCustomDataFieldClass = TClass;

// How a field's values are compared in the running sort.
enum TuxFieldConversion : int { fcNone = 0, fcValue = 1, fcDisplayText = 2 };

class TuxCustomDataFieldList : public TObject {
  PV_CLASS(TuxCustomDataFieldList, TObject)
 public:
  explicit TuxCustomDataFieldList(TuxCustomDataController* AController) : FController(AController) {}
  ~TuxCustomDataFieldList() override;

  virtual void ComponentRemoved(TComponent* Component);

  // Internal fields go last, others before them.
  void AddField(TuxCustomDataField* Field);
  void RemoveField(TuxCustomDataField* Field);
  void ReleaseSharing(TuxCustomDataField* Field);
  TuxCustomDataField* FieldByItem(TObject* Item) const;
  void RemoveAll();
  void MoveField(TuxCustomDataField* Field, int NewIndex);
  int IndexOf(const TuxCustomDataField* Field) const;
  int Count() const { return static_cast<int>(FItems.size()); }
  TuxCustomDataField* Items(int Index) const { return FItems[static_cast<std::size_t>(Index)]; }
  int NonInternalCount() const { return Count() - FInternalCount; }
  TuxCustomDataController* Controller() const { return FController; }
  bool FieldDestroyed() const { return FFieldDestroyed; }
  void SetFieldDestroyed(bool Value) { FFieldDestroyed = Value; }
  void RecountInternal();

 private:
  TuxCustomDataController* FController;
  bool FFieldDestroyed = false;
  int FInternalCount = 0;
  std::vector<TuxCustomDataField*> FItems;  // owned
};

class TuxCustomDataRelation : public TObject {
  PV_CLASS(TuxCustomDataRelation, TObject)
 public:
  using OwnerType = TuxCustomDataRelationList;
  // TuxCustomDataRelationList::Add gives it its item and joins it to the list.
  explicit TuxCustomDataRelation(TuxCustomDataRelationList* ARelationList) : FRelationList(ARelationList) {}
  // Unlinks the detail controller, then leaves the list.
  ~TuxCustomDataRelation() override;

  virtual void DataFieldRemoved(TuxCustomDataField* Field) {}
  virtual void AssignFrom(TuxCustomDataRelation* Source) {}

  void NotifyChanged();
  TuxCustomDataController* GetMasterDataController() const;
  int GetIndex() const;
  // The pattern detail controller of this level.
  TuxCustomDataController* DetailDataController() const { return FDetailDataController; }
  TObject* Item() const { return FItem; }
  TuxCustomDataRelationList* RelationList() const { return FRelationList; }

 private:
  friend class TuxCustomDataRelationList;
  friend class TuxCustomDataController;
  TuxCustomDataController* FDetailDataController = nullptr;  // not owned
  TObject* FItem = nullptr;                                  // not owned
  TuxCustomDataRelationList* FRelationList;
};

using TuxCustomDataRelationClass = TClass;

// What a master record keeps of its details: per relation the detail link
// object (owned) and a cached answer whether the record has detail records.
class TuxDetailInfoObject : public TObject {
  PV_CLASS(TuxDetailInfoObject, TObject)
 public:
  ~TuxDetailInfoObject() override;
  TObject* LinkObject = nullptr;  // owned
  bool HasChildren = false;
  bool HasChildrenAssigned = false;
};

class TuxDetailObject : public TObject {
  PV_CLASS(TuxDetailObject, TObject)
 public:
  ~TuxDetailObject() override { RemoveAllInfo(); }

  void ValidateDetailObject(TuxCustomDataRelationList* Relations);
  // nullptr outside the range.
  TuxDetailInfoObject* InfoObject(int Index) const;
  int InfoCount() const { return static_cast<int>(FInfoObjects.size()); }
  TObject* LinkObject(int Index) const;
  void SetInfoObject(int Index, TuxDetailInfoObject* Info);
  void SetLinkObject(int Index, TObject* Object);
  void FreeInfoObject(int Index);
  void RemoveAllInfo();
  bool IsEmpty() const;
  bool ResetHasChildrenFlags();

  int ActiveRelationIndex = -1;
  bool Expanded = false;

 private:
  void Grow(int Count);
  std::vector<TuxDetailInfoObject*> FInfoObjects;  // owned, entries may be nullptr
};

class TuxCustomDataRelationList : public TObject {
  PV_CLASS(TuxCustomDataRelationList, TObject)
 public:
  explicit TuxCustomDataRelationList(TuxCustomDataController* AController) : FController(AController) {}
  ~TuxCustomDataRelationList() override;

  TuxCustomDataRelation* Add(TObject* Item);
  void Assign(TuxCustomDataRelationList* Source);
  void BeginUpdate() { ++FLockCount; }
  void EndUpdate();
  void Move(int CurIndex, int NewIndex);
  int GetCount() const { return static_cast<int>(FItems.size()); }
  TuxCustomDataRelation* RelationItems(int Index) const;
  TuxCustomDataRelation* RelationByItem(TObject* Item) const;
  void RemoveAllRelations();
  int IndexOf(const TuxCustomDataRelation* Relation) const;

  void AddRelation(TuxCustomDataRelation* Relation);
  void RemoveRelation(TuxCustomDataRelation* Relation);
  void NotifyChanged(TuxCustomDataRelation* Relation);
  void UpdateRelations(TuxCustomDataRelation* Relation);
  void DataFieldRemovedFromList(TuxCustomDataField* Field);

  // The detail object of a master record (created while relations are in
  // use, discarded when they are not); raises "RecordIndex out of range".
  TuxDetailObject* GetDetailObject(int RecordIndex);
  // The detail object when the record has one, without creating or checking.
  TuxDetailObject* FindDetailObject(int RecordIndex) const;
  bool RelationsInUse() const;
  bool HasDetailLink(int RecordIndex, int RelationIndex);
  bool ClearDetailLinks(int RecordIndex, int RelationIndex);

  TuxCustomDataController* Controller() const { return FController; }
  TuxCustomDataField* DetailObjectField() const { return FDetailObjectField; }
  bool IsLocked() const { return FLockCount > 0; }

 private:
  TuxCustomDataController* FController;
  TuxCustomDataField* FDetailObjectField = nullptr;  // an internal field of the controller
  std::vector<TuxCustomDataRelation*> FItems;         // owned
  int FLockCount = 0;
};

// ===========================================================================
// Data provider: between the controller and the source of its records. The
// base keeps the records in the controller's store (unbound data).

class TuxCustomDataProvider : public TObject {
  PV_CLASS(TuxCustomDataProvider, TObject)
 public:
  using OwnerType = TuxCustomDataController;
  explicit TuxCustomDataProvider(TuxCustomDataController* AController);
  ~TuxCustomDataProvider() override;

  virtual void CustomSort() {}
  virtual bool IsUnboundMode() { return true; }
  virtual bool IsCustomSorting() { return false; }
  virtual bool IsGridMode() { return false; }
  virtual bool IsActive() { return false; }
  virtual bool IsOtherInsert() { return false; }
  virtual bool HasRecordIds() { return false; }
  virtual bool IsSyncMode() { return false; }
  virtual bool IsActiveDataSet() { return FCustomDataSource != nullptr; }
  virtual bool IsDataSetFieldsReady() { return false; }
  virtual bool IsBOF() { return true; }
  virtual bool IsChanging() { return FChanging; }
  virtual bool IsEditing() { return FEditingRecordIndex != uxNullEditingRecordIndex; }
  virtual bool IsEOF() { return true; }
  virtual bool IsGridModeUpdating() { return false; }
  virtual bool IsInserting() { return IsEditing() && FInserting; }
  virtual bool IsModified() { return FModified; }
  virtual bool IsUnboundEditing() { return !CanModify(); }
  virtual void RecordLoaded() { FFieldsRecreated = false; }
  virtual void First() {}
  virtual void Prior() {}
  virtual void Next() {}
  virtual void Last() {}
  virtual void MoveBy(int Distance) {}
  virtual void Scroll(int Distance) {}
  virtual void SavePos() {}
  virtual void RestorePos() {}
  virtual bool CanAppend() { return CanModify(); }
  virtual bool CanDelete();
  virtual bool CanInitEditing(int ItemIndex);
  virtual bool CanInsert() { return CanModify(); }
  virtual bool CanModify() { return true; }
  virtual void Append() { InsertingRecord(true); }
  virtual void Cancel();
  virtual void UpdateData();
  virtual void Delete();
  virtual void DeleteRecords(std::vector<int>& List);
  virtual void DeleteSelection();
  virtual void Edit() { DoEdit(); }
  virtual void GetEditValue(int RecordIndex, TuxCustomDataField* Field, Variant& Value, int ValueSource);
  virtual void Insert() { InsertingRecord(false); }
  virtual void Post();
  virtual void PostEditingData();
  virtual bool SetEditValue(int RecordIndex, TuxCustomDataField* Field, const Variant& Value, int ValueSource);
  virtual void BeginDeleting();
  virtual void EndDeleting();
  virtual void AssignItemValue(int RecordIndex, TuxCustomDataField* Field, const Variant& Value);
  virtual void DoInitInsertingRecord(int RecordIndex, const TuxDataSummaryValues& GroupValues);
  virtual void BeginEditing();
  virtual void InsertingRecord(bool AAppend);
  virtual void ResetChanging() { FChanging = false; }
  virtual void ResetEditing();
  virtual void ResetModified() { FModified = false; }
  virtual void SetChanging() { FChanging = true; }
  virtual void DoEdit() { BeginEditing(); }
  virtual void SetModified() { FModified = true; }
  virtual void BeginLocate() { ++FLocateCount; }
  virtual void EndLocate() { --FLocateCount; }
  virtual void Freeze() { ++FLockCount; }
  virtual void Unfreeze() { --FLockCount; }
  // The operations that reach an external record source; none is attached
  // in this system, so they give their neutral answers.
  virtual int AppendSourceRecord() { return -1; }
  virtual void DeleteSourceRecord(int RecordIndex) {}
  virtual bool GetDetailHasChildren(int RecordIndex, int RelationIndex) { return false; }
  virtual void GetSourceDisplayText(int RecordIndex, TuxCustomDataField* Field, AnsiString& Text) { Text.clear(); }
  virtual void GetDisplayText(int RecordIndex, TuxCustomDataField* Field, AnsiString& Text) { Text.clear(); }
  virtual void GetValue(int RecordIndex, TuxCustomDataField* Field, Variant& Value) { Value = Null(); }
  virtual void GetSourceRecordId(int RecordIndex, Variant& Value) { Value = Null(); }
  virtual int GetFocusedRecordIndex() { return -1; }
  virtual void GetSourceValue(int RecordIndex, TuxCustomDataField* Field, Variant& Value) { Value = Null(); }
  virtual TClass GetValueDefReaderClass() { return TuxValueDefReader::StaticClass(); }
  virtual int InsertSourceRecord(int RecordIndex) { return -1; }
  virtual void LoadRecords() {}
  virtual int CompareRecords(int RecordIndex1, int RecordIndex2, TuxCustomDataField* Field);
  virtual int CompareSourceRecords(int RecordIndex1, int RecordIndex2, TuxCustomDataField* Field) { return 0; }
  virtual void SetSourceDisplayText(int RecordIndex, TuxCustomDataField* Field, const AnsiString& Text) {}
  virtual void SetSourceRecordCount(int Count) {}
  virtual void SetSourceValue(int RecordIndex, TuxCustomDataField* Field, const Variant& Value) {}
  virtual void ActiveChanged(bool Active);
  virtual void DataChanged(TuxDataChangeKind Kind, int ItemIndex, int RecordIndex);
  virtual void DataScrolled(int Distance);
  virtual void LayoutChanged(int Kind);

  void SaveEditedRecord(int RecordIndex);
  void FreeSavedRecord();
  // Only an unbound provider takes a source; the controller then rebuilds.
  void SetCustomDataSource(TObject* Source);
  TObject* CustomDataSource() const { return FCustomDataSource; }

  TuxCustomDataController* Controller() const { return FController; }
  int EditingRecordIndex() const { return FEditingRecordIndex; }
  int EditingRecordIndex1() const { return FEditingRecordIndex1; }
  int EditingRecordIndex2() const { return FEditingRecordIndex2; }
  int InsertedRecordIndex() const { return FInsertedRecordIndex; }
  void SetInsertedRecordIndex(int Value) { FInsertedRecordIndex = Value; }
  int SavedRecordIndex() const { return FSavedRecordIndex; }
  int LockCount() const { return FLockCount; }
  int LocateCount() const { return FLocateCount; }
  bool ActiveChanging() const { return FActiveChanging; }
  void SetActiveChanging(bool Value) { FActiveChanging = Value; }
  bool DataChangedLocked() const { return FDataChangedLocked; }
  void SetDataChangedLocked(bool Value) { FDataChangedLocked = Value; }
  bool FieldsRecreated() const { return FFieldsRecreated; }
  void SetFieldsRecreated(bool Value) { FFieldsRecreated = Value; }
  bool LoadAllNeeded() const { return FLoadAllNeeded; }
  void SetLoadAllNeeded(bool Value) { FLoadAllNeeded = Value; }
  bool InInserting() const { return FInInserting; }

 protected:
  friend class TuxCustomDataController;
  bool FActiveChanging = false;
  bool FChanging = false;
  TObject* FCustomDataSource = nullptr;
  bool FDataChangedLocked = false;
  TuxCustomDataController* FController;
  int FEditingRecordIndex = uxNullEditingRecordIndex;
  int FEditingRecordIndex1 = uxNullEditingRecordIndex;  // the record above the edited one
  int FEditingRecordIndex2 = uxNullEditingRecordIndex;  // the record below it
  int FInsertedRecordIndex = -1;
  bool FInUpdateData = false;
  int FLocateCount = 0;
  int FLockCount = 0;
  bool FModified = false;
  bool FFieldsRecreated = false;
  int FSavedRecordIndex = 0;
  bool FInInserting = false;
  bool FInserting = false;
  bool FLoadAllNeeded = false;
};

using TuxCustomDataProviderClass = TClass;

// ===========================================================================
// Keys and save objects: state that hangs on records (expanded details,
// selection) carried by record key across a reload.

class TuxSaveObject;

class TuxKeyInfo : public TObject {
  PV_CLASS(TuxKeyInfo, TObject)
 public:
  Variant Key;
};

class TuxDetailKeyInfo : public TuxKeyInfo {
  PV_CLASS(TuxDetailKeyInfo, TuxKeyInfo)
 public:
  int ActiveRelationIndex = -1;
  TuxSaveObject* SaveObject = nullptr;  // owned
};

class TuxSelectedKeyInfo : public TuxKeyInfo {
  PV_CLASS(TuxSelectedKeyInfo, TuxKeyInfo)
 public:
  int SelectionIndex = -1;
};

class TuxKeys : public TObject {
  PV_CLASS(TuxKeys, TObject)
 public:
  ~TuxKeys() override { RemoveAllKeys(); }

  virtual void ApplyKeys() {}
  virtual void CollectKeys() {}
  virtual void FreeKeyInfo(TuxKeyInfo* Info) { delete Info; }
  void RemoveAllKeys();

  void BindController(TuxCustomDataController* Controller);
  void SaveFrom(TuxCustomDataController* Controller);
  void RestoreInto(TuxCustomDataController* Controller);
  bool FindRecordKey(int RecordIndex, int& KeyIndex);
  void RemoveKeyAt(int Index);
  int Count() const { return static_cast<int>(FKeyInfos.size()); }
  TuxKeyInfo* KeyInfo(int Index) const { return FKeyInfos[static_cast<std::size_t>(Index)]; }
  TuxCustomDataController* Controller() const { return FController; }

 protected:
  TuxCustomDataController* FController = nullptr;
  std::vector<TuxCustomDataField*> FKeyFields;
  std::vector<TuxKeyInfo*> FKeyInfos;  // owned
};

class TuxDetailKeys : public TuxKeys {
  PV_CLASS(TuxDetailKeys, TuxKeys)
 public:
  ~TuxDetailKeys() override { RemoveAllKeys(); }
  void ApplyKeys() override;
  void CollectKeys() override;
  void FreeKeyInfo(TuxKeyInfo* Info) override;
};

class TuxSelectedKeys : public TuxKeys {
  PV_CLASS(TuxSelectedKeys, TuxKeys)
 public:
  void ApplyKeys() override;
  void CollectKeys() override;
};

class TuxSaveObject : public TObject {
  PV_CLASS(TuxSaveObject, TObject)
 public:
  void SaveState(TuxCustomDataController* Controller);
  void RestoreState(TuxCustomDataController* Controller);
  TuxDetailKeys* DetailKeys() { return &FDetailKeys; }
  TuxSelectedKeys* SelectedKeys() { return &FSelectedKeys; }

 private:
  TuxDetailKeys FDetailKeys;
  TuxSelectedKeys FSelectedKeys;
};

// ===========================================================================
// Groups, focusing, expanding and selection

class TuxDataGroups : public TObject {
  PV_CLASS(TuxDataGroups, TObject)
 public:
  explicit TuxDataGroups(TuxCustomDataControllerInfo* AInfo) : FInfo(AInfo) {}
  ~TuxDataGroups() override { Clear(); }

  void ChangeExpanding(int RowIndex, bool Expanded, bool Recursive);
  void SetExpandedAll(bool Expanded);
  int GetChildCount(int GroupIndex) const;
  int GetChildIndex(int GroupIndex, int Index) const;
  int GetChildRecordListIndex(int GroupIndex, int Index) const;
  int GetTopLevelGroupCount() const { return GetChildCount(-1); }
  int GetTopLevelGroupIndex(int Index) const { return GetChildIndex(-1, Index); }
  int GetGroupIndexByRowIndex(int RowIndex, int Level) const;
  int GetLevel(int GroupIndex) const;
  void AddField(TuxCustomDataField* Field) { FFields.push_back(Field); }
  TuxDataGroupInfo* AddGroup();
  void ClearGroups();
  void Clear();
  TuxCustomDataField* GetField(int Index) const { return FFields[static_cast<std::size_t>(Index)]; }
  int GetFieldCount() const { return static_cast<int>(FFields.size()); }
  TuxDataGroupInfo* GetGroup(int Index) const { return FGroups[static_cast<std::size_t>(Index)]; }
  void SetGroup(int Index, TuxDataGroupInfo* Group);
  int GetGroupCount() const { return static_cast<int>(FGroups.size()); }
  // The group shown on RowIndex (true), or the group whose data rows hold it (false).
  bool FindByRowIndex(int RowIndex, int& GroupIndex) const;
  int GetGroupIndexByRecordListIndex(int ListIndex, int Level) const;
  // The deepest group that holds a record list position; -1 when none.
  int GetDeepestGroupByListIndex(int ListIndex) const;
  int GetParent(int GroupIndex) const;
  bool IsVisible(int GroupIndex) const;
  bool MakeVisible(int GroupIndex, bool ExpandSelf);
  int GetRowCount() const;
  void RecalcRowIndexes();
  // The visible group that stands for GroupIndex: itself, or its outermost collapsed ancestor.
  int GetVisibleGroup(int GroupIndex) const;
  bool IsDeepest(int GroupIndex) const { return GetGroup(GroupIndex)->Level == GetFieldCount() - 1; }
  // The record list positions of all records of a group and its descendants.
  void GetRecordRange(int GroupIndex, int& First, int& Last) const;
  // The end of a group's subtree in the group list (the group itself for a deepest one).
  int GetSubtreeEnd(int GroupIndex) const;
  // After the groups were rebuilt or reordered: parents and position maps.
  void StructureChanged();

 private:
  void BuildMaps() const;
  TuxCustomDataControllerInfo* FInfo;
  std::vector<TuxCustomDataField*> FFields;
  std::vector<TuxDataGroupInfo*> FGroups;  // owned
  mutable std::vector<int> FParents;
  mutable std::vector<int> FSubtreeEnds;
  mutable std::vector<int> FGroupOfListIndex;
  mutable bool FMapsValid = false;
};

class TuxDataFocusingInfo : public TObject {
  PV_CLASS(TuxDataFocusingInfo, TObject)
 public:
  explicit TuxDataFocusingInfo(TuxCustomDataControllerInfo* AInfo) : FInfo(AInfo) {}
  void Assign(TuxDataFocusingInfo* Source);
  void Clear();
  bool IsEqual(TuxDataFocusingInfo* Other) const;
  void ResetFocusedRecord();
  void UpdateFromRow();

  bool Changed = false;
  int Level = -1;
  bool PrevNewItemRowFocused = false;
  int PrevRecordIndex = -1;
  int RecordIndex = -1;
  int RowIndex = -1;

 private:
  TuxCustomDataControllerInfo* FInfo;
};

enum TuxDataExpandingInfoStateItem { dceExpanded, dceSelected };
using TuxDataExpandingInfoState = TSet<TuxDataExpandingInfoStateItem>;

struct TuxDataExpandingInfo {
  int Level = 0;
  // The values of the grouping fields of levels 0 .. Level of the group's first record.
  std::vector<Variant> Values;
  Variant Value;  // the group's own value (GetGroupValue)
  TuxDataExpandingInfoState State;
};

class TuxDataExpandingInfos : public TObject {
  PV_CLASS(TuxDataExpandingInfos, TObject)
 public:
  void AddField(TuxCustomDataField* Field);
  void AddEntry(int Level, const Variant& Value, TuxDataExpandingInfoState State);
  TuxDataExpandingInfo& LastEntry() { return FEntries.back(); }
  void CheckField(TuxCustomDataField* Field);
  void ClearMemory();
  int GetFieldCount() const { return static_cast<int>(FFields.size()); }
  TuxCustomDataField* GetField(int Index) const { return FFields[static_cast<std::size_t>(Index)]; }
  int GetEntryCount() const { return static_cast<int>(FEntries.size()); }
  const TuxDataExpandingInfo& GetEntry(int Index) const { return FEntries[static_cast<std::size_t>(Index)]; }
  TuxDataExpandingInfoState SaveStates;

 private:
  std::vector<TuxCustomDataField*> FFields;
  std::vector<TuxDataExpandingInfo> FEntries;
};

class TuxDataSelection : public TObject {
  PV_CLASS(TuxDataSelection, TObject)
 public:
  using OwnerType = TuxCustomDataController;
  explicit TuxDataSelection(TuxCustomDataController* ADataController) : FDataController(ADataController) {}

  virtual void ClearAnchor() { FAnchorRowIndex = -1; }
  virtual void InternalAdd(int Index, int RowIndex, int RecordIndex, int Level);
  virtual void InternalClear();
  virtual void InternalDelete(int Index);
  virtual void SetCount(int Count);
  virtual void AddEntry(int Index, int RowIndex, int RecordIndex, int Level);
  virtual bool FindByRowIndex(int RowIndex, int& Index) const;

  void DeleteEntry(int Index);
  void ClearEntries();
  void ClearEntriesAndAnchor();
  int FindGroupIndex(int GroupIndex) const;
  int FindRecordIndex(int RecordIndex) const;
  bool IsRecordSelected(int RecordIndex) const { return FindRecordIndex(RecordIndex) != -1; }
  bool IsRowSelected(int RowIndex) const;
  int GetEntryCount() const { return static_cast<int>(FEntries.size()); }
  TuxDataSelectionEntry& GetEntry(int Index) { return FEntries[static_cast<std::size_t>(Index)]; }
  const TuxDataSelectionEntry& GetEntry(int Index) const { return FEntries[static_cast<std::size_t>(Index)]; }
  void SortEntries();
  void RemoveMissingRecords();
  int AnchorRowIndex() const { return FAnchorRowIndex; }
  void SetAnchorRowIndex(int Value) { FAnchorRowIndex = Value; }
  TuxCustomDataController* DataController() const { return FDataController; }
  void Changed() {
    if (OnChanged) OnChanged();
  }

  std::function<void()> OnChanged;

 protected:
  int FAnchorRowIndex = -1;
  TuxCustomDataController* FDataController;
  std::vector<TuxDataSelectionEntry> FEntries;
  std::vector<int> FBookmarks;  // the dataset selection's list
};

// The grouping interface the controller hands to its clients.
class TuxDataControllerGroups : public TObject {
  PV_CLASS(TuxDataControllerGroups, TObject)
 public:
  explicit TuxDataControllerGroups(TuxCustomDataController* ADataController) : FDataController(ADataController) {}

  void ChangeExpanding(int RowIndex, bool Expanded, bool Recursive);
  void FullCollapse();
  void FullExpand();
  void ChangeGroupIndex(int ItemIndex, int GroupIndex);
  void ClearGrouping();
  int GetGroupedItemCount() const;
  int GetGroupedItemIndex(int Index) const;
  int GetItemGroupIndex(int ItemIndex) const;
  int GetGroupIndexOfField(TuxCustomDataField* Field) const;
  // The group tree position of a row's group, -1 for none.
  int GetGroupPositionByRow(int RowIndex) const;
  int GetLevelByDataGroupIndex(int GroupIndex) const;
  int GetChildCount(int GroupIndex) const;
  int GetChildDataGroupIndex(int GroupIndex, int Index) const;
  int GetChildRecord(int GroupIndex, int Index) const;
  void CollectGroupRecords(std::vector<int>& List, int GroupIndex) const;
  void CollectRowRecords(std::vector<int>& List, int RowIndex) const;
  bool IsFocusedRowInGroup(int FocusedRowIndex, int GroupRowIndex) const;
  TuxDataGroups* DataGroups() const;
  TuxCustomDataControllerInfo* DataControllerInfo() const;

 private:
  TuxCustomDataController* FDataController;
};

// ===========================================================================
// The row-information engine: filters, sorts and groups the records into
// rows and keeps focus, expansion and selection across recalculations.

struct TuxSortKeyCache;

class TuxCustomDataControllerInfo : public TObject, public TuxSortBySummarySite {
  PV_CLASS(TuxCustomDataControllerInfo, TObject)
 public:
  explicit TuxCustomDataControllerInfo(TuxCustomDataController* ADataController);
  ~TuxCustomDataControllerInfo() override;

  virtual void CheckSelectionAfterRecordsChange();
  virtual void Update();

  // Locks and change entry points.
  void BeginUpdate() { ++FLockCount; }
  void EndUpdate();
  int LockCount() const { return FLockCount; }
  void CheckChanges();
  void AddChanges(Word Changes) { FChanges |= Changes; }
  Word Changes() const { return FChanges; }
  void Refresh();
  void ResetFocusing();
  void SummaryChanged(bool RedrawOnly);
  void ExpandingChanged();
  void FocusedRecordChanged(bool MarkPrevious);
  void RemoveField(TuxCustomDataField* Field);
  void CheckField(TuxCustomDataField* Field);

  // Sorting and grouping lists.
  void ChangeSorting(TuxCustomDataField* Field, TuxDataSortOrder SortOrder);
  void ChangeSortingIndex(TuxCustomDataField* Field, int Index);
  void ClearSorting(bool KeepGroupedItems);
  void ChangeGroupIndex(TuxCustomDataField* Field, int GroupIndex);
  void ClearGrouping();
  TuxSortingFieldList* SortingFieldList() const { return FSortingFieldList; }
  TuxGroupingFieldList* GroupingFieldList() const { return FGroupingFieldList; }
  TuxSortingFieldList* TotalSortingFieldList() const { return FTotalSortingFieldList; }
  bool IsGrouped() const { return FGroupingFieldList->EntryCount() > 0; }
  int GroupingFieldCount() const { return FGroupingFieldList->EntryCount(); }

  // Expanding.
  void ChangeExpanding(int RowIndex, bool Expanded, bool Recursive);
  void FullExpand();
  void FullCollapse();

  // Rows.
  int GetRowCount() const;
  void GetRowInfo(int RowIndex, TuxRowInfo& Info) const;
  int GetRowIndexByRecordIndex(int RecordIndex, bool MakeVisible);
  int GetNearestRowIndex(int RowIndex) const;
  int GetRecordListCount() const { return static_cast<int>(FRecordList.size()); }
  int GetRecordListItem(int Index) const { return FRecordList[static_cast<std::size_t>(Index)]; }
  int GetRecordListIndex(int RecordIndex) const;
  void CheckRowIndex(int RowIndex) const;
  // The record of a row, -1 for none.
  int GetRecordIndexByRow(int RowIndex) const;

  // Focus.
  int GetFocusedRowIndex() const { return FFocusingInfo->RowIndex; }
  int GetFocusedRecordIndex() const { return FFocusingInfo->RecordIndex; }
  void ChangeFocusedRow(int RowIndex, bool Force);
  void ResetFocusedRow(int RowIndex);
  void SetFocusedRowIndex(int RowIndex);
  int GetPrevFocusedRowIndex() const { return FPrevFocusingInfo->RowIndex; }
  int GetPrevFocusedRecordIndex() const { return FPrevFocusingInfo->RecordIndex; }
  bool GetNewItemRowFocusingChanged() const { return FPrevFocusingInfo->PrevNewItemRowFocused; }
  void SetNewItemRowFocusingChanged(bool Value) { FPrevFocusingInfo->PrevNewItemRowFocused = Value; }
  void SavePrevFocusingInfo() { FPrevFocusingInfo->Assign(FFocusingInfo); }
  TuxDataFocusingInfo* FocusingInfo() const { return FFocusingInfo; }
  TuxDataFocusingInfo* PrevFocusingInfo() const { return FPrevFocusingInfo; }
  bool InCanFocusedRecordQuery() const { return FInCanFocusedRecordIndex; }
  bool IsFocusing() const { return FFocusingFlag; }

  // Selection.
  void ChangeRowSelection(int RowIndex, bool Select);
  void ClearSelection();
  void ClearSelectionAnchor();
  int GetSelectedCount() const { return FSelection->GetEntryCount(); }
  int GetSelectedRowIndex(int Index) const;
  bool IsRowSelected(int RowIndex) const { return FSelection->IsRowSelected(RowIndex); }
  TuxDataSelection* Selection() const { return FSelection; }
  void SelectionChanged();

  // Comparison of records (the sort and the group comparison).
  int CompareRecords(int RecordIndex1, int RecordIndex2) const;
  int CompareGroupRecords(int RecordIndex1, int RecordIndex2, int Level) const;
  // The same field comparison the sort uses, without the edited-record rules.
  int CompareByField(int RecordIndex1, int RecordIndex2, int FieldIndex, int Mode) const;
  // Marks the total sorting fields with their conversion need, and clears them.
  void SetConversionMarks();
  void ClearConversionMarks();
  void UpdateTotalSortingFieldList();

  TuxDataGroups* DataGroups() const { return FDataGroups; }
  TuxDataExpandingInfos* ExpandingInfos() const { return FExpandingInfos; }
  TuxCustomDataController* DataController() const { return FDataController; }
  bool IsCalculating() const { return FInfoCalculation; }
  bool ExpandingFlag() const { return FExpandingFlag; }

  // TuxSortBySummarySite
  int GetGroupCount() override { return FDataGroups->GetGroupCount(); }
  TuxDataGroupInfo* GetGroup(int Index) override { return FDataGroups->GetGroup(Index); }
  void SetGroup(int Index, TuxDataGroupInfo* Group) override { FDataGroups->SetGroup(Index, Group); }
  int GetGroupingFieldCount() override { return GroupingFieldCount(); }
  int GetSortingItemIndex(int Level) override;
  TuxDataSortOrder GetGroupingFieldSortOrder(int Level) override;
  int GetSortingBySummaryItemIndex() override;
  TuxDataSortOrder GetSortingBySummaryOrder() override;
  void RecalcRowIndexes() override;

 private:
  friend class TuxDataGroups;
  void DoFilter();
  void DoSort();
  void DoGrouping();
  void DoSortBySummary();
  bool IsSortingBySummary();
  void SaveExpanding();
  void RestoreExpanding();
  void CheckFocusedRow();
  void CheckFocusTopRow();
  int FindFocusedRow(bool Expand);
  void GroupingListChanged();
  void SortingListChanged();
  void SyncSortingWithGrouping();
  void RemapSelection();
  void InvalidateRecordMap() { FRecordMapValid = false; }
  void ConvertChanges();
  int CompareRecordsWithEditing(int A, int B) const;

  Word FChanges = 0;
  TuxCustomDataController* FDataController;
  TuxDataGroups* FDataGroups;
  TuxDataExpandingInfos* FExpandingInfos;
  bool FExpandingFlag = false;
  bool FFocusingFlag = false;
  TuxDataFocusingInfo* FFocusingInfo;
  TuxGroupingFieldList* FGroupingFieldList;
  bool FInCanFocusedRecordIndex = false;
  bool FInfoCalculation = false;
  int FLockCount = 0;
  TuxDataFocusingInfo* FPrevFocusingInfo;
  std::vector<int> FRecordList;
  TuxDataSelection* FSelection = nullptr;
  TuxSortingFieldList* FSortingFieldList;
  TuxSortingFieldList* FTotalSortingFieldList;
  bool FExpandingSaved = false;
  bool FSelectionSaved = false;
  bool FCollapsing = false;
  bool FFocusCheckAfterPass = false;
  mutable std::vector<int> FRecordMap;  // record index -> list position
  mutable bool FRecordMapValid = false;
  std::unique_ptr<TuxSortKeyCache> FKeyCache;
};

// ===========================================================================
// Filter criteria bound to the controller

class TuxDataFilterCriteriaItem : public TuxFilterCriteriaItem {
  PV_CLASS(TuxDataFilterCriteriaItem, TuxFilterCriteriaItem)
 public:
  using TuxFilterCriteriaItem::TuxFilterCriteriaItem;
  void GetDataValue(int RecordIndex, Variant& V) override;
  void GetFieldCaption(AnsiString& S) override;
  void GetFieldName(AnsiString& S) override;
  TObject* GetItemLink() const override;
  TuxCustomDataField* Field() const;
  TuxDataFilterCriteria* DataCriteria() const;
};

class TuxDataFilterValueList : public TuxFilterValueList {
  PV_CLASS(TuxDataFilterValueList, TuxFilterValueList)
 public:
  using TuxFilterValueList::TuxFilterValueList;
  virtual void Load(int AItemIndex, bool AInitSortByDisplayText = true, bool AUseFilteredValues = false);
  TuxDataFilterCriteria* DataCriteria() const;
};

using TuxDataFilterGetValueListEvent =
    TEvent<void(TuxFilterCriteria* Sender, int AItemIndex, TuxDataFilterValueList* AValueList)>;

class TuxDataFilterCriteria : public TuxFilterCriteria {
  PV_CLASS(TuxDataFilterCriteria, TuxFilterCriteria)
 public:
  using OwnerType = TuxCustomDataController;
  explicit TuxDataFilterCriteria(TuxCustomDataController* ADataController);
  ~TuxDataFilterCriteria() override;

  void DefineProperties(TFiler* Filer) override;
  void Assign(TPersistent* Source) override;
  int GetIDByItemLink(TObject* ItemLink) override;
  TuxFilterCriteriaItemClass GetItemClass() override { return TuxDataFilterCriteriaItem::StaticClass(); }
  TObject* GetItemLinkByID(int ID) override;
  TClass GetValueListClass() override { return TuxDataFilterValueList::StaticClass(); }
  void DoChanged() override;
  void AssignEvents(TPersistent* Source) override;
  TuxFilterCriteriaItem* AddItemTo(TuxFilterCriteriaItemList* List, TObject* AItemLink, Byte AOperatorKind,
                                   const Variant& AValue, const AnsiString& ADisplayValue) override;
  TuxFilterCriteriaItem* FindItemByItemLink(TObject* ItemLink) override;
  void PrepareConditionValue(TuxFilterCriteriaItem* Item, const Variant& V, Variant& Result) override;
  virtual bool IsFiltering();

  bool Active() const { return FActive; }
  void SetActive(bool Value);
  bool FilterRecord(int RecordIndex) { return MatchesRecord(RecordIndex); }
  void RemoveItemLink(TObject* ItemLink) { RemoveItemByItemLink(ItemLink); }
  TuxCustomDataController* DataController() const { return FDataController; }
  // An item (column) object is replaced by its data field.
  TObject* FieldOfLink(TObject* ItemLink) const;

  TuxDataFilterGetValueListEvent OnGetValueList;

 private:
  void ReadCriteria(TStream* Stream);
  void WriteCriteria(TStream* Stream);
  bool FActive = false;
  TuxCustomDataController* FDataController;
  bool FDestroying = false;
};

using TuxDataFilterCriteriaClass = TClass;

class TuxDataFilterList : public TObject {
  PV_CLASS(TuxDataFilterList, TObject)
 public:
  ~TuxDataFilterList() override { Clear(); }
  void Clear();
  void Add(TuxDataFilterCriteria* Criteria) { FItems.push_back(Criteria); }
  void Remove(TuxDataFilterCriteria* Criteria);
  bool Contains(const TuxDataFilterCriteria* Criteria) const;
  void RemoveItemLink(TObject* ItemLink);
  int Count() const { return static_cast<int>(FItems.size()); }
  TuxDataFilterCriteria* GetItem(int Index) const { return FItems[static_cast<std::size_t>(Index)]; }

 private:
  std::vector<TuxDataFilterCriteria*> FItems;  // owned
};

// ===========================================================================
// Summaries

enum TuxSummaryKind : Byte { skNone, skSum, skMin, skMax, skCount, skAverage };
enum TuxSummaryPosition : Byte { spGroup, spFooter };
enum TuxSummaryOption { soNullIgnore, soSelectedRecords, soMultipleSelectedRecords };
using TuxSummaryOptions = TSet<TuxSummaryOption>;

class TuxDataSummaryItems;
class TuxDataSummaryGroup;

class TuxCustomDataSummaryItem : public TCollectionItem {
  PV_CLASS(TuxCustomDataSummaryItem, TCollectionItem)
 public:
  using TCollectionItem::TCollectionItem;
  virtual TuxCustomDataController* GetDataController() const;
  virtual void ItemLinkChanging(TuxCustomDataField* Field) {}

  TObject* GetItemLink() const;
  void SetItemLink(TObject* Value);
  TuxCustomDataField* Field() const { return FField; }
  void SetField(TuxCustomDataField* Value) { FField = Value; }
  void Assign(TPersistent* Source) override;

 protected:
  TuxCustomDataField* FField = nullptr;
};

using TuxDataSummaryItemGetTextEvent =
    TEvent<void(TuxDataSummaryItem* Sender, const Variant& AValue, bool AIsFooter, AnsiString& AText)>;

class TuxDataSummaryItem : public TuxCustomDataSummaryItem {
  PV_CLASS(TuxDataSummaryItem, TuxCustomDataSummaryItem)
 public:
  using TuxCustomDataSummaryItem::TuxCustomDataSummaryItem;
  ~TuxDataSummaryItem() override;

  virtual bool IsCurrency(Word VarType);
  virtual bool IsDataItem();
  virtual bool HasStoredPosition();
  virtual TuxCustomDataField* GetField() { return FField; }
  virtual void GetValueDisplayText(const Variant& Value, bool IsFooter, AnsiString& Text);

  void Assign(TPersistent* Source) override;
  const AnsiString& Format() const { return FFormat; }
  void SetFormat(const AnsiString& Value);
  TuxSummaryKind Kind() const { return FKind; }
  void SetKind(TuxSummaryKind Value);
  TuxSummaryPosition Position() const;
  TuxSummaryPosition StoredPosition() const { return FPosition; }
  void SetPosition(TuxSummaryPosition Value);
  TuxDataSummaryItems* SummaryItems() const;

  TuxDataSummaryItemGetTextEvent OnGetText;

 private:
  AnsiString FFormat;
  TuxSummaryKind FKind = skNone;
  TuxSummaryPosition FPosition = spGroup;
};

using TuxDataSummaryItemClass = TClass;

struct TuxSummaryEventArguments {
  int RecordIndex = -1;
  TuxDataSummaryItem* SummaryItem = nullptr;
};

struct TuxSummaryEventOutArguments {
  Variant Value;
  Variant SummaryValue;
  int CountValue = 0;
  bool Done = false;
};

using TuxSummaryEvent = TEvent<void(TuxDataSummaryItems* ASender, const TuxSummaryEventArguments& Arguments,
                                    TuxSummaryEventOutArguments& OutArguments)>;

class TuxDataSummaryItems : public TuxCollection {
  PV_CLASS(TuxDataSummaryItems, TuxCollection)
 public:
  TuxDataSummaryItems(TuxDataSummary* ASummary, TuxDataSummaryItemClass AItemClass);

  virtual TuxSummaryPosition GetItemPosition(TuxDataSummaryItem* Item);
  virtual bool IsItemPositionStored(TuxDataSummaryItem* Item) { return true; }
  virtual TuxDataSummaryItem* GetItemByItemIndex(int ItemIndex, TuxSummaryPosition Position);
  virtual bool IsItemEmpty(bool CheckFormat, const AnsiString& Format, TuxSummaryKind Kind);
  virtual void AssignEvents(TuxDataSummaryItems* Source);
  virtual void GetDefaultFormat(int ValueClass, TuxSummaryKind Kind, bool IsFooter, AnsiString& Format);
  virtual void GetGroupSummaryText(const Variant& Values, AnsiString& Text) { Text.clear(); }

  TuxDataSummaryItem* Add() { return static_cast<TuxDataSummaryItem*>(TCollection::Add()); }
  TuxDataSummaryItem* GetItem(int Index) const { return static_cast<TuxDataSummaryItem*>(Items(Index)); }
  int IndexOfItemLink(TObject* ItemLink) const;
  TuxDataSummaryItem* ItemOfItemLink(TObject* ItemLink) const;
  int IndexOfField(TuxCustomDataField* Field) const;
  TuxDataSummaryItem* ItemOfField(TuxCustomDataField* Field) const;
  AnsiString GetItemFormat(int ItemIndex, TuxSummaryPosition Position);
  TuxSummaryKind GetItemKind(int ItemIndex, TuxSummaryPosition Position);
  void SetItemFormat(int ItemIndex, TuxSummaryPosition Position, const AnsiString& Format);
  void SetItemKind(int ItemIndex, TuxSummaryPosition Position, TuxSummaryKind Kind);
  void RepaintChanged();
  TuxDataSummary* Summary() const { return FSummary; }
  TPersistent* GetOwner() const override;
  // Items bound to Field lose their binding; true when one did.
  bool UnbindField(TuxCustomDataField* Field);

  TuxSummaryEvent OnSummary;

 protected:
  void Update(TCollectionItem* Item) override;

 protected:
  TuxDataSummary* FSummary;
};

// Value classes of GetDefaultFormat.
enum : int { uxsvcCurrency = 0, uxsvcDate = 1, uxsvcOther = 2 };

class TuxDataFooterSummaryItems : public TuxDataSummaryItems {
  PV_CLASS(TuxDataFooterSummaryItems, TuxDataSummaryItems)
 public:
  using TuxDataSummaryItems::TuxDataSummaryItems;
  TuxSummaryPosition GetItemPosition(TuxDataSummaryItem* Item) override { return spFooter; }
  bool IsItemPositionStored(TuxDataSummaryItem* Item) override { return false; }
};

class TuxDataGroupSummaryItems : public TuxDataSummaryItems {
  PV_CLASS(TuxDataGroupSummaryItems, TuxDataSummaryItems)
 public:
  TuxDataGroupSummaryItems(TuxDataSummary* ASummary, TuxDataSummaryItemClass AItemClass, TPersistent* AOwner);
  void GetGroupSummaryText(const Variant& Values, AnsiString& Text) override;
  void Assign(TPersistent* Source) override;
  // The item bound to the controller's summary sort item, nullptr when none.
  TuxDataSummaryItem* GetSortingItem();
  int GetSortingItemIndex();

  const AnsiString& BeginText() const { return FBeginText; }
  void SetBeginText(const AnsiString& Value);
  const AnsiString& EndText() const { return FEndText; }
  void SetEndText(const AnsiString& Value);
  const AnsiString& Separator() const { return FSeparator; }
  void SetSeparator(const AnsiString& Value);
  TPersistent* GetOwner() const override { return FOwner; }

 private:
  AnsiString FBeginText = "(";
  AnsiString FEndText = ")";
  AnsiString FSeparator = ",";
  TPersistent* FOwner;
};

class TuxDataSummaryGroupItemLink : public TuxCustomDataSummaryItem {
  PV_CLASS(TuxDataSummaryGroupItemLink, TuxCustomDataSummaryItem)
 public:
  using TuxCustomDataSummaryItem::TuxCustomDataSummaryItem;
  void ItemLinkChanging(TuxCustomDataField* Field) override;
  TuxCustomDataController* GetDataController() const override;
  TuxDataSummaryGroup* SummaryGroup() const;
};

class TuxDataSummaryGroupItemLinks : public TuxCollection {
  PV_CLASS(TuxDataSummaryGroupItemLinks, TuxCollection)
 public:
  TuxDataSummaryGroupItemLinks(TuxDataSummaryGroup* AGroup, TClass AItemClass)
      : TuxCollection(AItemClass), FSummaryGroup(AGroup) {}
  TuxDataSummaryGroupItemLink* Add() { return static_cast<TuxDataSummaryGroupItemLink*>(TCollection::Add()); }
  TuxDataSummaryGroupItemLink* GetItem(int Index) const {
    return static_cast<TuxDataSummaryGroupItemLink*>(Items(Index));
  }
  TuxDataSummaryGroupItemLink* ItemOfItemLink(TObject* ItemLink) const;
  TuxDataSummaryGroup* SummaryGroup() const { return FSummaryGroup; }
  TPersistent* GetOwner() const override;
  bool UnbindField(TuxCustomDataField* Field);

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TuxDataSummaryGroup* FSummaryGroup;
};

class TuxDataSummaryGroups;

class TuxDataSummaryGroup : public TCollectionItem {
  PV_CLASS(TuxDataSummaryGroup, TCollectionItem)
 public:
  explicit TuxDataSummaryGroup(TCollection* ACollection);
  ~TuxDataSummaryGroup() override;
  void Assign(TPersistent* Source) override;
  TuxDataSummaryGroupItemLinks* GetLinks();
  TuxDataSummaryGroupItemLinks* Links() { return GetLinks(); }
  TuxDataSummaryGroupItemLinks* ItemLinks() { return GetLinks(); }
  TuxDataGroupSummaryItems* SummaryItems() const { return FSummaryItems; }
  TuxDataSummaryGroups* SummaryGroups() const;
  TuxDataSummary* Summary() const;
  bool HasLinks() const { return FLinks && FLinks->Count() > 0; }

 private:
  TuxDataSummaryGroupItemLinks* FLinks = nullptr;
  TuxDataGroupSummaryItems* FSummaryItems = nullptr;
};

class TuxDataSummaryGroups : public TuxCollection {
  PV_CLASS(TuxDataSummaryGroups, TuxCollection)
 public:
  explicit TuxDataSummaryGroups(TuxDataSummary* ASummary);
  TuxDataSummaryGroup* Add() { return static_cast<TuxDataSummaryGroup*>(TCollection::Add()); }
  TuxDataSummaryGroup* GetItem(int Index) const { return static_cast<TuxDataSummaryGroup*>(Items(Index)); }
  TuxDataSummaryGroup* FindGroupOfItemLink(TObject* ItemLink) const;
  TuxDataSummary* Summary() const { return FSummary; }
  TPersistent* GetOwner() const override;

 protected:
  void Update(TCollectionItem* Item) override;

 private:
  TuxDataSummary* FSummary;
};

using TuxAfterSummaryEvent = TEvent<void(TuxDataSummary* ASender)>;

class TuxDataSummary : public TPersistent {
  PV_CLASS(TuxDataSummary, TPersistent)
 public:
  using OwnerType = TuxCustomDataController;
  explicit TuxDataSummary(TuxCustomDataController* ADataController);
  ~TuxDataSummary() override;

  virtual void PrepareValues(TuxDataSummaryItems* Items, TuxDataSummaryCountValues& Counts,
                             TuxDataSummaryValues& Values);
  virtual void CalculateRange(TuxDataSummaryItems* Items, int BeginIndex, int EndIndex,
                              TuxDataSummaryCountValues& Counts, TuxDataSummaryValues& Values,
                              Variant& SummaryValues);
  virtual void Changed(bool RedrawOnly);
  virtual void DoAfterSummary();
  virtual void FinishValue(TuxDataSummaryItem* Item, Variant& Value, int Count);
  virtual void AddRecordValue(TuxDataSummaryItem* Item, int RecordIndex, Variant& Value, int& Count);
  virtual void StoreValues(TuxDataSummaryItems* Items, TuxDataSummaryCountValues& Counts,
                           TuxDataSummaryValues& Values, Variant& Result);
  virtual int GetSummaryRecordIndex(int ListIndex);
  virtual TClass GetSummaryGroupItemLinkClass();
  virtual TClass GetSummaryItemClass();
  virtual bool IsValidIndex(const Variant& Values, int Index);
  virtual void Update(bool RedrawOnly);
  virtual void AssignEvents(TuxDataSummary* Source);
  virtual void BeginSummaryCalculation();
  virtual void EndSummaryCalculation();
  virtual void Calculate();
  virtual void CalculateFooterSummary();
  virtual void CalculateGroupSummary();

  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override;
  void BeginUpdate();
  void EndUpdate();
  void CancelUpdate();
  TuxSummaryOptions Options() const { return FOptions; }
  void SetOptions(TuxSummaryOptions Value);
  // The summary follows the selection.
  bool IsSelectionDependent();
  TuxDataGroupSummaryItems* GetGroupSummaryItems(int Level);
  Variant GetFooterSummaryValue(int Index) const;
  AnsiString GetFooterSummaryText(int Index);
  AnsiString GetGroupSummaryText(int RowIndex);
  void GetGroupSummaryText(int RowIndex, AnsiString& Text) { Text = GetGroupSummaryText(RowIndex); }
  int GetGroupFooterSummaryItemIndex(int Level, TObject* ItemLink);
  AnsiString GetGroupFooterSummaryText(int RowIndex, int Level, int Index);
  // The group value of a group tree position (for tests and views).
  Variant GetGroupSummaryValues(int GroupIndex) const;
  void RemoveItemsOfField(TuxCustomDataField* Field);

  TuxCustomDataController* DataController() const { return FDataController; }
  TuxDataGroupSummaryItems* DefaultGroupSummaryItems() const { return FDefaultGroupSummaryItems; }
  TuxDataFooterSummaryItems* FooterSummaryItems() const { return FFooterSummaryItems; }
  TuxDataSummaryGroups* SummaryGroups() const { return FSummaryGroups; }
  const Variant& FooterSummaryValues() const { return FFooterSummaryValues; }
  bool InAfterSummary() const { return FInAfterSummary; }
  bool IsDestroying() const { return FDestroying; }
  bool CustomSummary() const { return FCustomSummary; }
  void SetCustomSummary(bool Value) { FCustomSummary = Value; }
  int LockCount() const { return FLockCount; }

  TuxAfterSummaryEvent OnAfterSummary;

 private:
  TuxCustomDataController* FDataController;
  TuxDataGroupSummaryItems* FDefaultGroupSummaryItems;
  bool FDestroying = false;
  TuxDataFooterSummaryItems* FFooterSummaryItems;
  Variant FFooterSummaryValues;
  bool FInAfterSummary = false;
  int FLockCount = 0;
  TuxSummaryOptions FOptions;
  bool FCustomSummary = false;
  TuxDataSummaryGroups* FSummaryGroups;
};

using TuxDataSummaryClass = TClass;

// ===========================================================================
// Search, notifications, locate objects, value readers, notifier

class TuxDataControllerSearch : public TObject {
  PV_CLASS(TuxDataControllerSearch, TObject)
 public:
  using OwnerType = TuxCustomDataController;
  explicit TuxDataControllerSearch(TuxCustomDataController* ADataController) : FDataController(ADataController) {}

  virtual void FocusFilteredIndex(int FilteredIndex);
  virtual int FindFilteredIndex(int StartIndex, int EndIndex, const AnsiString& Text, bool Forward);
  virtual bool Locate(int ItemIndex, const AnsiString& Text);
  virtual bool LocateNext(bool Forward);
  virtual void Lock() { FLocked = true; }
  virtual void Unlock() { FLocked = false; }

  void Cancel();
  int GetItemIndex() const;
  bool GetSearching() const;
  AnsiString GetSearchText() const;
  void SetItemIndex(int ItemIndex);
  TuxCustomDataController* DataController() const { return FDataController; }

 private:
  void ReduceSelection();
  TuxCustomDataController* FDataController;
  bool FLocked = false;
};

using TuxDataControllerSearchClass = TClass;

class TuxUpdateControlInfo : public TObject {
  PV_CLASS(TuxUpdateControlInfo, TObject)
};

class TuxFocusedRecordChangedInfo : public TuxUpdateControlInfo {
  PV_CLASS(TuxFocusedRecordChangedInfo, TuxUpdateControlInfo)
 public:
  TuxFocusedRecordChangedInfo(int APrevFocusedRecordIndex, int AFocusedRecordIndex, int AFocusedRowIndex,
                              int APrevFocusedRowIndex, bool ANewItemRowFocusingChanged)
      : PrevFocusedRecordIndex(APrevFocusedRecordIndex), FocusedRecordIndex(AFocusedRecordIndex),
        FocusedRowIndex(AFocusedRowIndex), PrevFocusedRowIndex(APrevFocusedRowIndex),
        NewItemRowFocusingChanged(ANewItemRowFocusingChanged) {}
  const int PrevFocusedRecordIndex, FocusedRecordIndex, FocusedRowIndex, PrevFocusedRowIndex;
  const bool NewItemRowFocusingChanged;
};

class TuxFocusedRowChangedInfo : public TuxUpdateControlInfo {
  PV_CLASS(TuxFocusedRowChangedInfo, TuxUpdateControlInfo)
 public:
  TuxFocusedRowChangedInfo(int AFocusedRowIndex, int APrevFocusedRowIndex)
      : FocusedRowIndex(AFocusedRowIndex), PrevFocusedRowIndex(APrevFocusedRowIndex) {}
  const int FocusedRowIndex, PrevFocusedRowIndex;
};

class TuxGroupingChangingInfo : public TuxUpdateControlInfo {
  PV_CLASS(TuxGroupingChangingInfo, TuxUpdateControlInfo)
};

class TuxLayoutChangedInfo : public TuxUpdateControlInfo {
  PV_CLASS(TuxLayoutChangedInfo, TuxUpdateControlInfo)
};

class TuxUpdateRecordInfo : public TuxUpdateControlInfo {
  PV_CLASS(TuxUpdateRecordInfo, TuxUpdateControlInfo)
 public:
  explicit TuxUpdateRecordInfo(int ARecordIndex) : RecordIndex(ARecordIndex) {}
  const int RecordIndex;
};

class TuxDataChangedInfo : public TuxUpdateControlInfo {
  PV_CLASS(TuxDataChangedInfo, TuxUpdateControlInfo)
 public:
  TuxDataChangedInfo(TuxDataChangeKind AKind, int AItemIndex, int ARecordIndex)
      : Kind(AKind), ItemIndex(AItemIndex), RecordIndex(ARecordIndex) {}
  const TuxDataChangeKind Kind;
  const int ItemIndex, RecordIndex;
};

class TuxBookmarkChangedInfo : public TuxUpdateControlInfo {
  PV_CLASS(TuxBookmarkChangedInfo, TuxUpdateControlInfo)
};

class TuxSelectionChangedInfo : public TuxUpdateControlInfo {
  PV_CLASS(TuxSelectionChangedInfo, TuxUpdateControlInfo)
 public:
  TuxSelectionChangedInfo() = default;
  // Up to two rows; -1 values are left out, the second only when it differs.
  TuxSelectionChangedInfo(int ARowIndex1, int ARowIndex2);
  int GetCount() const { return static_cast<int>(FRowIndexes.size()); }
  int GetRowIndex(int Index) const { return FRowIndexes[static_cast<std::size_t>(Index)]; }

 private:
  std::vector<int> FRowIndexes;
};

class TuxSearchChangedInfo : public TuxUpdateControlInfo {
  PV_CLASS(TuxSearchChangedInfo, TuxUpdateControlInfo)
};

class TuxDataControllerLocateObject : public TObject {
  PV_CLASS(TuxDataControllerLocateObject, TObject)
 public:
  explicit TuxDataControllerLocateObject(TuxCustomDataController* ADataController) : FDataController(ADataController) {}
  ~TuxDataControllerLocateObject() override { FreeLocateRecord(); }
  virtual void FreeLocateRecord();
  virtual int FindRecordIndex() = 0;
  void ReadLocateRecord(TuxValueDefReader* Reader);
  int LocateRecordIndex() const { return FLocateRecordIndex; }
  TuxCustomDataController* DataController() const { return FDataController; }

 protected:
  TuxCustomDataController* FDataController;
  int FLocateRecordIndex = 0;
};

class TuxDataControllerKeyLocateObject : public TuxDataControllerLocateObject {
  PV_CLASS(TuxDataControllerKeyLocateObject, TuxDataControllerLocateObject)
 public:
  using TuxDataControllerLocateObject::TuxDataControllerLocateObject;
  int FindRecordIndex() override;
  std::vector<TuxCustomDataField*> KeyFields;
};

class TuxDataControllerGroupLocateObject : public TuxDataControllerLocateObject {
  PV_CLASS(TuxDataControllerGroupLocateObject, TuxDataControllerLocateObject)
 public:
  explicit TuxDataControllerGroupLocateObject(TuxCustomDataController* ADataController);
  int FindRecordIndex() override;
  int Level() const { return FLevel; }
  void SetLevel(int Value);
  bool FindByOrder() const { return FFindByOrder; }

 private:
  void BuildFindFields();
  std::vector<TuxCustomDataField*> FGroupingFields;
  std::vector<TuxCustomDataField*> FFindFields;
  bool FFindByOrder = true;
  int FLevel = 0;
};

class TuxValueDefUnboundReader : public TuxValueDefReader {
  PV_CLASS(TuxValueDefUnboundReader, TuxValueDefReader)
 public:
  void SetValue(TuxValueDef* Def, const Variant& Value);
  void ValueOf(TuxValueDef* Def, Variant& Value) override;
  bool Skips(TuxValueDef* Def) override;
  void Truncate(int Count);
  void ClearValues() { Truncate(0); }

 private:
  std::vector<TuxValueDef*> FDefs;
  std::vector<std::unique_ptr<Variant>> FValues;
};

class TuxValueDefRecordReader : public TuxValueDefReader {
  PV_CLASS(TuxValueDefRecordReader, TuxValueDefReader)
 public:
  TuxValueDefRecordReader(TuxCustomDataController* AController, int ARecordIndex)
      : FController(AController), FRecordIndex(ARecordIndex) {}
  void TextOf(TuxValueDef* Def, AnsiString& Text) override;
  void ValueOf(TuxValueDef* Def, Variant& Value) override;
  bool Skips(TuxValueDef* Def) override;

 private:
  TuxCustomDataController* FController;
  int FRecordIndex;
};

class TuxDataControllerNotifier : public TComponent {
  PV_CLASS(TuxDataControllerNotifier, TComponent)
 public:
  explicit TuxDataControllerNotifier(TuxCustomDataController* AController)
      : TComponent(nullptr), FController(AController) {}
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  TuxCustomDataController* FController;
};

// ===========================================================================
// The data controller

class TuxCustomDataController : public TPersistent, public virtual IInterface {
  PV_CLASS(TuxCustomDataController, TPersistent)
 public:
  using OwnerType = TComponent;
  explicit TuxCustomDataController(TComponent* AOwner);
  ~TuxCustomDataController() override;
  // Made only through NewObject, so that AfterConstruction runs.
  static void* operator new(std::size_t) = delete;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  int _AddRef() override { return -1; }
  int _Release() override { return -1; }

  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() const override { return FOwner; }
  TComponent* Owner() const { return FOwner; }

  // ---- virtual operations (the hooks of subclasses) ----
  virtual TuxCustomDataField* CreateInternalField();
  virtual TuxCustomDataField* CreateField();
  virtual int AppendRecordFromProvider();
  virtual int GetFocusedDataRecordIndex();
  virtual bool DoDetailExpandingQuery(int RecordIndex, bool Expanded);
  // Posts the edited record when the focus is to leave it.
  virtual bool CanFocusRecord(int RecordIndex);
  virtual bool CanSelectRow(int RowIndex) { return true; }
  virtual void CheckStoredFocus(int RecordIndex);
  virtual void FocusedRecordChanged(int PrevFocusedRecordIndex, int FocusedRecordIndex) {}
  virtual void CheckEditingRecordDeleted(int RecordIndex);
  virtual bool BrowseDetails();
  virtual bool CheckBrowseModeForFocusChange() { return true; }
  virtual void CopyRecord(int FromRecordIndex, int ToRecordIndex);
  virtual void InsertDetailIndexes(int RecordIndex);
  virtual void DeleteDetailIndexes(int RecordIndex);
  virtual void DeleteRecordInternal(int RecordIndex);
  virtual void BeforeCheckChanges() {}
  virtual void DoAfterCancel();
  virtual void DoAfterDelete();
  virtual void DoAfterInsert();
  virtual void DoAfterPost();
  virtual void DoBeforeCancel();
  virtual void DoBeforeDelete(int RecordIndex);
  virtual void DoBeforeInsert();
  virtual void DoBeforePost();
  virtual bool DoFilterRecord(int RecordIndex);
  virtual bool HasFilterRecordEvent() { return OnFilterRecord.Assigned(); }
  virtual void DoNewRecord(int RecordIndex);
  virtual void DoDataChanged();
  virtual void DoDetailExpanding(int RecordIndex, bool& AAllow);
  virtual void DoDetailExpanded(int RecordIndex);
  virtual void DoDetailCollapsing(int RecordIndex, bool& AAllow);
  virtual void DoDetailCollapsed(int RecordIndex);
  virtual bool MatchesFilterText(int RecordIndex);
  virtual void RecordLoaded(int RecordIndex) {}
  virtual bool LocateByText(const AnsiString& Text, bool Forward, bool Next) { return false; }
  virtual TObject* GetItemByID(int ID);
  virtual TObject* FindItemByItem(TObject* AItem);
  virtual int GetDataSetFocusedRecordIndex() { return GetFocusedRecordIndex(); }
  virtual TuxCustomDataProviderClass GetDataProviderClass() { return TuxCustomDataProvider::StaticClass(); }
  virtual TClass GetDataSelectionClass() { return TuxDataSelection::StaticClass(); }
  virtual int GetEditOperations();
  virtual int GetEditState();
  virtual int GetDefaultActiveRelationIndex() { return 0; }
  virtual TuxCustomDataFieldClass GetFieldClass() { return TuxCustomDataField::StaticClass(); }
  virtual TuxDataFilterCriteriaClass GetFilterCriteriaClass() { return TuxDataFilterCriteria::StaticClass(); }
  virtual AnsiString GetInternalDisplayText(int RecordIndex, TuxCustomDataField* Field);
  virtual int GetItemID(TObject* AItem) { return -1; }
  virtual Variant GetKeyValue(int RecordIndex, const std::vector<TuxCustomDataField*>& KeyFields);
  virtual Variant GetInternalValue(int RecordIndex, TuxCustomDataField* Field);
  virtual void GetKeyFields(std::vector<TuxCustomDataField*>& List) {}
  virtual int GetFocusingRecordIndex();
  virtual TuxCustomDataRelationClass GetRelationClass() { return TuxCustomDataRelation::StaticClass(); }
  virtual TuxDataControllerSearchClass GetSearchClass() { return TuxDataControllerSearch::StaticClass(); }
  virtual TuxDataSummaryClass GetSummaryClass() { return TuxDataSummary::StaticClass(); }
  virtual TuxDataSummaryItemClass GetSummaryItemClass() { return TuxDataSummaryItem::StaticClass(); }
  virtual TClass GetSummaryGroupItemLinkClass() { return TuxDataSummaryGroupItemLink::StaticClass(); }
  virtual bool IsStoredFocusLost(int RecordIndex);
  virtual void ClearStoredFocusInternal() { FStoredFocusedRecordIndex = -1; }
  virtual void RestoreStoredFocusInternal();
  virtual void StoreFocusInternal() { FStoredFocusedRecordIndex = GetFocusedRecordIndex(); }
  virtual bool IsFieldValueFromProvider(TuxCustomDataField* Field);
  virtual bool IsDestroying() const;
  virtual bool IsSingleSelection() { return !FMultiSelect; }
  virtual bool IsImmediatePost();
  virtual bool IsProviderDataSource() { return false; }
  virtual bool IsLoading() const;
  virtual bool IsStructureChangeable();
  virtual bool IsProviderMode();
  virtual bool IsNewItemRecordMode() { return FNewItemRowEnabled; }
  virtual bool IsSmartRefresh() { return false; }
  virtual bool IsUseRecordIDAllowed() { return false; }
  virtual void LoadStorage();
  virtual bool IsSummaryDeferred() { return false; }
  virtual void NotifyAfterLocate() {}
  virtual void PrepareField(TuxCustomDataField* Field) {}
  virtual void CopyFieldToProvider(int FromRecordIndex, int ToRecordIndex);
  virtual void RemoveNotification(TComponent* AComponent);
  virtual void RestructData();
  virtual bool IsDetailsFocusSyncNeeded() { return false; }
  virtual void AfterLocate();
  virtual void UpdateFields();
  virtual void ResetFocusing();
  virtual void ReloadData(TuxCustomDataRelation* Relation);
  virtual bool IsRecordIDMode() { return false; }
  virtual void ResetInternalRecords(TObject* Sender);
  virtual void FieldRemoved(TuxCustomDataField* Field);
  virtual void FilterChanged();
  virtual void SummaryChanged(bool RedrawOnly);
  virtual void ActiveChanged(bool Active);
  virtual void DataChanged(TuxDataChangeKind Kind, int ItemIndex, int RecordIndex);
  virtual void LayoutChanged(int Distance);
  virtual void UpdateStructure(int Kind);
  virtual void FocusedRowChanging(int RowIndex) {}
  virtual void DoValueTypeClassChanged(int ItemIndex) {}
  virtual void UpdateControl(TuxUpdateControlInfo* Info);
  virtual AnsiString GetFilterDisplayText(int RecordIndex, int ItemIndex);
  virtual AnsiString GetFilterValueText(int RecordIndex, int ItemIndex);
  virtual int CompareFieldValues(int RecordIndex1, int RecordIndex2, TuxCustomDataField* Field, int Mode);
  virtual int CompareRecordsByIndex(int RecordIndex1, int RecordIndex2) { return RecordIndex1 - RecordIndex2; }
  virtual int CompareRecordsBySortingField(int RecordIndex1, int RecordIndex2, int SortingIndex, int Mode);
  virtual Variant GetGroupValue(int RecordIndex, TuxCustomDataField* Field);
  virtual int IsFieldNeedsConversion(TuxCustomDataField* Field);
  virtual bool IsItemSortByDisplayText(int ItemIndex);
  virtual bool IsFieldAnsiConversion(TuxCustomDataField* Field);
  virtual bool IsFieldSortByDisplayText(TuxCustomDataField* Field);
  virtual void BeginReadRecord() {}
  virtual void EndReadRecord() {}
  virtual int AppendRecordFromReader(TuxValueDefReader* Reader);
  virtual void BeginLocateRecordRead() {}
  virtual void EndLocateRecordRead() {}
  virtual void BeginUpdate();
  virtual void EndUpdate();
  virtual TuxDataFilterCriteria* CreateFilter();
  virtual TuxCustomDataField* AddItem(TObject* AItem);
  virtual bool ChangeItemIndexes(int ItemIndex);
  virtual void Loaded();
  virtual void RemoveItem(TObject* AItem);
  virtual void UpdateItemIndexes();
  virtual bool ExecuteAction(TObject* Action) { return false; }
  virtual bool UpdateAction(TObject* Action) { return false; }
  virtual bool IsExternalLocked() const { return FExternalLockCount > 0; }
  virtual void ChangeItemNeedConversion(int ItemIndex, bool Value);
  virtual void ChangeItemTextStored(int ItemIndex, bool Value);
  virtual void ChangeValueTypeClass(int ItemIndex, TuxValueTypeClass ValueTypeClass);
  virtual TObject* GetItem(int Index) = 0;
  virtual int GetItemCount() const;
  virtual bool GetItemNeedConversion(int ItemIndex) { return false; }
  virtual bool GetItemTextStored(int ItemIndex);
  virtual bool IsItemTextStored(int ItemIndex, bool ExcludeCurrency) { return GetItemTextStored(ItemIndex); }
  virtual Variant GetGroupRowValue(int RecordIndex, int Level);
  virtual void GetGroupRowValues(int RecordIndex, TuxDataSummaryValues& Values);
  virtual AnsiString GetDisplayText(int RecordIndex, int ItemIndex);
  virtual int GetRecordCount() const;
  virtual void GetRecordKeyValue(int RecordIndex, Variant& Value);
  virtual Variant GetValue(int RecordIndex, int ItemIndex);
  virtual void Refresh();
  virtual void SetDisplayText(int RecordIndex, int ItemIndex, const AnsiString& Text);
  virtual void SetRecordCount(int Value);
  virtual void SetValue(int RecordIndex, int ItemIndex, const Variant& Value);
  virtual void Append();
  virtual void Cancel();
  virtual bool CanInitEditing(int ItemIndex);
  virtual void CheckBrowseMode() {}
  virtual void DeleteFocused();
  virtual void DeleteSelection();
  virtual void Edit();
  virtual void FocusControl(int ItemIndex, bool& Done) { Done = false; }
  virtual void GetEditValue(int ItemIndex, int EditValueSource, Variant& Value);
  Variant GetEditValue(int ItemIndex, int EditValueSource) {
    Variant V;
    GetEditValue(ItemIndex, EditValueSource, V);
    return V;
  }
  virtual bool GetItemEditable(int ItemIndex) { return true; }
  virtual void Insert();
  virtual void Post();
  virtual void PostEditingData();
  virtual void RefreshSourceData() {}
  virtual bool SetEditValue(int ItemIndex, const Variant& Value, int EditValueSource);
  virtual void UpdateData() {}
  virtual int GetEditingRecordIndex();
  virtual int GetNewItemRecordIndex();
  virtual TuxCustomDataController* GetMasterDataController() const;
  virtual int GetMasterRecordIndex() const { return FMasterRecordIndex; }
  virtual TuxCustomDataRelation* GetMasterRelation() const { return FMasterRelation; }
  virtual bool IsDetailMode() const { return FMasterRelation != nullptr; }
  virtual TObject* CreateDetailDataController(TuxCustomDataRelation* Relation, int RecordIndex) { return nullptr; }
  virtual TuxCustomDataController* GetDetailDataControllerByLinkObject(TObject* LinkObject) { return nullptr; }
  virtual void ReloadDetails(TObject* AItem);
  virtual void SetMasterRelation(TuxCustomDataRelation* Relation, int MasterRecordIndex);
  virtual void ForEachRow(bool SelectedOnly, TuxDataControllerEachRowProc Proc);
  virtual bool FocusSelectedRow(int Index);
  virtual void RestoreProviderPos() { FProvider->RestorePos(); }
  virtual void SaveProviderPos() { FProvider->SavePos(); }
  virtual void ViewGotFocus() {}
  virtual bool IsFocusStored() const { return FStoredFocusedRecordIndex != -1; }
  virtual bool IsRowFocusStored(int RowIndex);
  virtual Variant GetFilterDataValue(int RecordIndex, TuxCustomDataField* Field);
  virtual AnsiString GetItemCaption(TObject* AItem) { return AnsiString(); }
  virtual AnsiString GetItemName(TObject* AItem) { return GetItemCaption(AItem); }
  virtual int FindRecordIndexByText(int AStartIndex, int AItemIndex, const AnsiString& AText, bool APartialCompare,
                                    bool AWrapAround, bool AForward);
  virtual AnsiString GetFilterText() const { return FFilterText; }
  virtual bool IsFilterByText() const { return FFilterField != nullptr && !FFilterText.empty(); }
  virtual void ClearFilterByText();
  virtual int SetFilterByText(int ItemIndex, const AnsiString& Text);
  virtual bool GetItemSortByDisplayText(int ItemIndex, bool ADefault) { return false; }
  virtual void ChangeRowSelection(int RowIndex, bool Select);
  virtual void ClearSelectionAnchor();
  virtual void GetRecordIdValue(int RecordIndex, Variant& Value) { Value = Variant(RecordIndex); }
  virtual int GetSelectedRowIndex(int Index);
  virtual int GetSelectionAnchorRowIndex();
  virtual bool IsSelectionAnchorExist();
  virtual void SelectAll();
  virtual void SelectFromAnchor(int RowIndex, bool KeepSelection);
  virtual void SetSelectionAnchor(int RowIndex);
  virtual void SyncSelected();

  // ---- items ----
  void CheckItemRange(int ItemIndex) const;
  TuxCustomDataField* GetItemField(int ItemIndex) const;
  int GetItemIndex(TuxCustomDataField* Field) const;
  int GetItemIndexByItem(TObject* AItem) const;
  TuxValueTypeClass GetItemValueTypeClass(int ItemIndex) const;
  void SetItemValueTypeClass(int ItemIndex, TuxValueTypeClass Value) { ChangeValueTypeClass(ItemIndex, Value); }
  bool IsDisplayFormatDefined(int ItemIndex, bool IgnoreCurrency) {
    return IsItemTextStored(ItemIndex, IgnoreCurrency);
  }
  bool RefreshIfSorted(int ItemIndex) { return ChangeItemIndexes(ItemIndex); }
  void RefreshExternalData() { RefreshSourceData(); }
  void FocusReceived() { ViewGotFocus(); }
  TuxCustomDataFieldList* Fields() const { return FFields; }

  // ---- records ----
  void CheckRecordRange(int RecordIndex) const;
  int AppendRecord();
  int InsertRecord(int RecordIndex);
  void DeleteRecord(int RecordIndex);
  void DeleteRecords(std::vector<int>& List);
  void DeleteFocusedRecord();
  void FocusAfterDelete();
  Variant GetRecordKey(int RecordIndex) {
    Variant V;
    GetRecordKeyValue(RecordIndex, V);
    return V;
  }
  void GetValue(int RecordIndex, int ItemIndex, Variant& Value) { Value = GetValue(RecordIndex, ItemIndex); }
  int FindRecordIndexByFields(int RecordIndex, const std::vector<TuxCustomDataField*>& Fields);
  int FindGroupRecordIndex(int RecordIndex, int LevelCount);

  // ---- rows ----
  int GetRowCount() const;
  TuxRowInfo GetRowInfo(int RowIndex) const;
  void GetRowInfo(int RowIndex, TuxRowInfo& Info) const { Info = GetRowInfo(RowIndex); }
  int GetRowIndexByRecordIndex(int RecordIndex, bool MakeVisible);
  Variant GetRowValue(const TuxRowInfo& RowInfo, int ItemIndex);
  AnsiString GetRowDisplayText(const TuxRowInfo& RowInfo, int& ItemIndex);
  void GetRowDisplayText(const TuxRowInfo& RowInfo, int ItemIndex, AnsiString& Text) {
    Text = GetRowDisplayText(RowInfo, ItemIndex);
  }
  int GetFilteredRecordCount() const;
  int GetFilteredRecordIndex(int Index) const;
  int GetFilteredIndexByRecordIndex(int RecordIndex) const;
  bool IsRowInfoReady() const;
  int GetInfoLockCount() const;

  // ---- focus and navigation ----
  int GetFocusedRowIndex() const;
  int GetFocusedRecordIndex() const;
  bool ChangeFocusedRowIndex(int RowIndex);
  bool ChangeFocusedRecordIndex(int RecordIndex);
  void GotoFirst();
  void GotoLast();
  void GotoNext();
  void GotoPrev();
  void MoveBy(int Distance);
  void Scroll(int Distance);
  bool IsBOF() const;
  bool IsEOF() const;
  bool IsGridMode() const;
  void StoreFocus();
  void RestoreStoredFocus();
  void ClearStoredFocus();
  int StoredFocusedRecordIndex() const { return FStoredFocusedRecordIndex; }
  void SyncDetailsFocus(int RecordIndex);

  // ---- locks, changes and dispatch ----
  void BeginInfoUpdate();
  void EndInfoUpdate();
  void BeginFullUpdate();
  void EndFullUpdate();
  void BeginUpdateFields();
  void EndUpdateFields();
  void BeginLocate();
  void EndLocate();
  void BeginExternalLock() { ++FExternalLockCount; }
  void EndExternalLock() { --FExternalLockCount; }
  bool IsProviderLocked() const;
  int LocateCount() const { return FLocateCount; }
  void Change(Word Flags);
  void CheckChanges();
  void AddChanges(Word Flags) { FChanges |= Flags; }
  Word PendingChanges() const { return FChanges; }
  bool IsDispatching() const { return FInDispatchChanges; }
  void CheckDataStructure(bool Force);
  void DoUpdateStructure(bool Force);
  void NotifyDataChanged();
  void NotifyMasterDetailsChanged();
  void AddDataChangedListener(TObject* Sender, TNotifyEvent Event);
  void RemoveDataChangedListener(TObject* Sender, TNotifyEvent Event);
  TuxDataChangeKind PendingDataChangeKind() const { return FDataChangeKind; }
  bool IsPattern() const;
  bool IsReading() const;

  // ---- options and parts ----
  TuxDataControllerOptions GetOptions() const { return FOptions; }
  void SetOptions(TuxDataControllerOptions Value);
  TuxDataControllerOptions Options() const { return FOptions; }
  void SetOnFilterRecord(TuxDataFilterRecordEvent Event);
  void SetFilter(TuxDataFilterCriteria* Value);
  void SetSummary(TuxDataSummary* Value);
  TuxCustomDataRelationList* GetRelations();
  TuxCustomDataRelationList* Relations() const { return FRelations; }
  TuxDataFilterCriteria* Filter() const { return FFilter; }
  TuxDataSummary* Summary() const { return FSummary; }
  TuxDataControllerGroups* Groups() const { return FGroups; }
  TuxDataControllerSearch* Search() const { return FSearch; }
  TuxCustomDataProvider* Provider() const { return FProvider; }
  TuxCustomDataControllerInfo* DataControllerInfo() const { return FDataControllerInfo; }
  TuxDataStorage* DataStorage() const { return FDataStorage; }
  TuxDataFilterList* FilterList() const { return FFilters; }
  TuxDataControllerNotifier* Notifier() const { return FNotifier; }
  void RefreshData() { Refresh(); }

  // ---- filter by text and incremental search ----
  TuxCustomDataField* FilterField() const { return FFilterField; }
  bool ChangeIncrementalSearchText(const AnsiString& Text);
  int SetIncrementalSearch(int ItemIndex, const AnsiString& Text) { return SetFilterByText(ItemIndex, Text); }
  AnsiString GetIncrementalSearchText() const { return GetFilterText(); }
  bool IsIncrementalSearching() const { return IsFilterByText(); }
  void CancelIncrementalSearch() { ClearFilterByText(); }
  int FindRecordIndexByText(int AStartIndex, int AItemIndex, bool AForward, bool AWrapAround, bool APartialCompare,
                            const AnsiString& AText) {
    return FindRecordIndexByText(AStartIndex, AItemIndex, AText, APartialCompare, AWrapAround, AForward);
  }
  TuxCustomDataField* SearchField() const { return FSearchField; }
  bool SearchSearching() const { return FSearching; }
  const AnsiString& SearchText() const { return FSearchText; }

  // ---- editing ----
  bool IsEditing();
  void CheckEditingRecordRange(int RecordIndex) const;
  bool PostIfEditing();
  bool GetNewItemRowFocused();
  void SetNewItemRowFocused(bool Value);
  bool NewItemRowEnabled() const { return FNewItemRowEnabled; }
  void SetNewItemRowEnabled(bool Value);
  int RecordToFocusAfterDelete() const { return FRecordToFocusAfterDelete; }
  void SetRecordToFocusAfterDelete(int Value) { FRecordToFocusAfterDelete = Value; }
  bool DeletingSelection() const { return FDeletingSelection; }
  bool InCancel() const { return FInCancel; }
  bool IsDeletingSelectionMode() const { return FDeletingSelection; }
  void SetNewItemRowFocusedFlag(bool Value) { FNewItemRowFocused = Value; }

  // ---- sorting ----
  void ChangeSorting(int ItemIndex, TuxDataSortOrder SortOrder);
  void ChangeItemSortingIndex(int ItemIndex, int SortingIndex);
  void ClearSorting(bool KeepGroupedItems);
  TuxDataSortOrder GetItemSortOrder(int ItemIndex) const;
  int GetItemSortingIndex(int ItemIndex) const;
  int GetSortingItemCount() const;
  int GetSortingItemIndex(int Index) const;
  void SetSortingBySummaryItem(int ItemIndex);
  int GetSortingBySummaryItemIndex() const;
  TuxDataSortOrder GetSortingBySummaryOrder() const;
  TuxCustomDataField* SummarySortField() const { return FSummarySortField; }
  void MarkSortingChanged() { FSortingChanged = true; }
  void MarkGroupingChanged() { FGroupingChanged = true; }
  bool GroupingChangedFlag() const { return FGroupingChanged; }
  bool SortingChangedFlag() const { return FSortingChanged; }
  bool DataReopenedFlag() const { return FDataReopened; }
  void SetDataReopened(bool Value) { FDataReopened = Value; }
  bool SummarySortChangedFlag() const { return FSummarySortChanged; }
  bool GroupLocateByValue() const { return FGroupLocateByValue; }
  void SetGroupLocateByValue(bool Value) { FGroupLocateByValue = Value; }
  bool FocusCheckRequested() const { return FFocusCheckRequested; }
  void SetFocusCheckRequested(bool Value) { FFocusCheckRequested = Value; }
  bool FocusCheckPending() const { return FFocusCheckPending; }
  void SetFocusCheckPending(bool Value) { FFocusCheckPending = Value; }
  void ClearPassFlags();

  // ---- selection ----
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool Value);
  int GetSelectedCount();
  bool IsRowSelected(int RowIndex);
  void ClearSelection();
  void SelectRows(int FromRowIndex, int ToRowIndex);
  bool IsSelectionAnchorSet() { return IsSelectionAnchorExist(); }
  bool FocusedSelected() const { return FFocusedSelected; }
  void SetFocusedSelected(bool Value);
  void GetRecordId(int RowIndex, Variant& Id);
  void RefreshSelectionState();
  int PrevSelectedCount() const { return FPrevSelectedCount; }
  int PrevSelectedRow() const { return FPrevSelectedRow; }

  // ---- master and detail ----
  int GetDetailMode() const;
  TuxCustomDataController* GetTopMasterDataController();
  TuxCustomDataController* GetPatternDataController();
  void SetPatternMasterRelation(TuxCustomDataRelation* Relation, bool AIsPattern);
  void SetIsPattern(bool Value);
  TObject* GetDetailDataController(int RecordIndex, int RelationIndex);
  TuxCustomDataController* GetDetailController(int RecordIndex, int RelationIndex);
  bool IsDetailDataControllerExist(int RecordIndex, int RelationIndex);
  bool GetDetailHasChildren(int RecordIndex, int RelationIndex);
  void ResetDetailHasChildren();
  bool GetDetailExpanded(int RecordIndex);
  int GetDetailActiveRelationIndex(int RecordIndex);
  void ChangeDetailActiveRelationIndex(int RecordIndex, int RelationIndex);
  bool ChangeDetailExpanding(int RecordIndex, bool Expanded);
  void DropDetails(int RecordIndex, int RelationIndex);
  void DropAllDetails();
  void CollapseDetails();
  void ForEachDetailController(TuxCustomDataRelation* Relation, TEvent<void(TuxCustomDataController*)> Proc);
  void ClearDetailMasterRelations(TuxCustomDataRelation* Relation);
  void ResetDetailHasChildrenOfMaster();
  bool CanAskProviderForDetails();
  TuxCustomDataController* DetailUnderCreation() const { return FCreatingDetailController; }
  bool InDetailCreation() const { return FInCreateDetail; }

  // ---- stream ----
  // The "DataController1" stream of every record.
  void SaveToStream(TStream* Stream);
  // Reads the whole stream first: a stream that is not one of ours, breaks
  // off or holds impossible counts raises and leaves the records as they were.
  void LoadFromStream(TStream* Stream);

  // ---- events ----
  TuxDataControllerNotifyEvent OnAfterCancel;
  TuxDataControllerNotifyEvent OnAfterDelete;
  TuxDataControllerNotifyEvent OnAfterInsert;
  TuxDataControllerNotifyEvent OnAfterPost;
  TuxDataControllerNotifyEvent OnBeforeCancel;
  TuxDataDetailExpandedEvent OnBeforeDelete;
  TuxDataControllerNotifyEvent OnBeforeInsert;
  TuxDataControllerNotifyEvent OnBeforePost;
  TuxDataFilterRecordEvent OnFilterRecord;
  TuxDataDetailExpandedEvent OnNewRecord;
  TuxDataControllerCompareEvent OnCompare;
  TNotifyEvent OnDataChanged;
  TuxDataDetailExpandingEvent OnDetailCollapsing;
  TuxDataDetailExpandedEvent OnDetailCollapsed;
  TuxDataDetailExpandingEvent OnDetailExpanding;
  TuxDataDetailExpandedEvent OnDetailExpanded;
  TNotifyEvent OnGroupingChanged;
  TuxDataRecordChangedEvent OnRecordChanged;
  TNotifyEvent OnSortingChanged;
  TuxUpdateControlEvent OnUpdateControl;

 protected:
  friend class TuxCustomDataControllerInfo;
  friend class TuxCustomDataProvider;
  friend class TuxDataControllerSearch;
  friend class TuxCustomDataRelationList;
  friend class TuxDataSummary;

  void DispatchChanges();
  void ResetDataChange();
  void CheckRowIndex(int RowIndex) const;
  void ClearDetails(int RecordIndex);
  bool HandToOwner(TuxUpdateControlInfo* Info);
  void DoGroupingChanging();
  void FreeRecordDetails(int RecordIndex);
  // Keeps the focus, stored focus, selection and edited records on their
  // records after a record was inserted (Delta 1) or deleted (-1) at From.
  void ShiftRecordIndexes(int From, int Delta);
  void ForEachDetailAt(TuxCustomDataController* Controller, const std::vector<int>& Chain, std::size_t Depth,
                       const TEvent<void(TuxCustomDataController*)>& Proc);

  bool FActive = false;
  bool FAfterSummaryPending = false;
  bool FDataChangedPending = false;
  int FStoredFocusedRecordIndex = -1;
  int FExternalLockCount = 0;
  Word FChanges = 0;
  bool FFocusCheckRequested = false;
  TuxCustomDataController* FCreatingDetailController = nullptr;
  bool FInCreateDetail = false;
  bool FInCreateDetailSecondTry = false;
  std::vector<std::pair<TObject*, TNotifyEvent>> FDataChangedListeners;
  TuxCustomDataControllerInfo* FDataControllerInfo = nullptr;
  TuxDataStorage* FDataStorage = nullptr;
  bool FDestroying = false;
  bool FGroupingChanged = false;
  bool FDataReopened = false;
  TuxDataControllerGroups* FGroups = nullptr;
  TuxCustomDataFieldList* FFields = nullptr;
  TuxDataFilterCriteria* FFilter = nullptr;
  bool FFocusCheckPending = false;
  TuxDataFilterList* FFilters = nullptr;
  bool FFocusedSelected = true;
  TuxCustomDataField* FFilterField = nullptr;
  AnsiString FFilterText;
  TuxCustomDataField* FSearchField = nullptr;
  bool FSearching = false;
  AnsiString FSearchText;
  bool FInCancel = false;
  bool FResettingSelection = false;
  bool FInDispatchChanges = false;
  bool FInSortingChangedEvent = false;
  bool FGroupLocateByValue = false;
  bool FDetailExpanding = false;
  bool FIsPattern = false;
  bool FPatternRequested = false;
  bool FClearStorageOnRestructure = false;
  bool FAppending = false;
  int FLocateCount = 0;
  int FUpdateFieldsLockCount = 0;
  bool FStructureUpdatePending = false;
  int FNewItemRecordIndex = 0;
  bool FNewItemRowFocused = false;
  int FMasterRecordIndex = -1;
  TuxCustomDataRelation* FMasterRelation = nullptr;
  bool FMultiSelect = false;
  TuxDataControllerNotifier* FNotifier = nullptr;
  TuxDataControllerOptions FOptions = uxDefaultDataControllerOptions;
  TComponent* FOwner;
  int FPrevSelectedCount = 0;
  int FPrevSelectedRow = -1;
  TuxCustomDataProvider* FProvider = nullptr;
  TuxCustomDataField* FRecordIDField = nullptr;
  TuxCustomDataRelationList* FRelations = nullptr;
  TuxSaveObject* FSaveObject = nullptr;
  int FSaveObjectCount = 0;
  TuxDataControllerSearch* FSearch = nullptr;
  int FLastSelectedCount = 0;
  int FLastSelectedRow = -1;
  bool FSummarySortChanged = false;
  TuxCustomDataField* FSummarySortField = nullptr;
  bool FSortingChanged = false;
  bool FStructureUpdateNeeded = false;
  bool FStructureChanged = false;
  TuxDataSummary* FSummary = nullptr;
  bool FInStructureUpdate = false;
  bool FInCheckDataStructure = false;
  bool FNewItemRowEnabled = false;
  bool FDataChangeSet = false;
  TuxDataChangeKind FDataChangeKind = dcDataChanged;
  int FDataChangeItemIndex = -1;
  int FDataChangeRecordIndex = -1;
  bool FDeletingSelection = false;
  bool FSyncingDetails = false;
  int FRecordToFocusAfterDelete = -1;
  int FFullUpdateCount = 0;
  TuxSaveObject* FFullUpdateSaveObject = nullptr;
};

// The item index of a data field, for uxFieldIndexOfLinkObject.
int uxDataFieldIndexOfLinkObject(TObject* LinkObject);

// ===========================================================================
// Brackets that close however the work inside them ends. An error of the
// closing step while another error is on its way is dropped: the first one
// is what the caller sees, and the counts are balanced either way.

template <class F>
class TuxFinally {
 public:
  explicit TuxFinally(F AFunc) : FFunc(std::move(AFunc)), FExceptions(std::uncaught_exceptions()) {}
  TuxFinally(const TuxFinally&) = delete;
  TuxFinally& operator=(const TuxFinally&) = delete;
  ~TuxFinally() noexcept(false) {
    if (std::uncaught_exceptions() > FExceptions) {
      try {
        FFunc();
      } catch (...) {
      }
    } else {
      FFunc();
    }
  }

 private:
  F FFunc;
  int FExceptions;
};

class TuxInfoUpdateLock {
 public:
  explicit TuxInfoUpdateLock(TuxCustomDataController* AController)
      : FController(AController), FExceptions(std::uncaught_exceptions()) {
    FController->BeginInfoUpdate();
  }
  TuxInfoUpdateLock(const TuxInfoUpdateLock&) = delete;
  TuxInfoUpdateLock& operator=(const TuxInfoUpdateLock&) = delete;
  ~TuxInfoUpdateLock() noexcept(false) {
    if (std::uncaught_exceptions() > FExceptions) {
      try {
        FController->EndInfoUpdate();
      } catch (...) {
      }
    } else {
      FController->EndInfoUpdate();
    }
  }

 private:
  TuxCustomDataController* FController;
  int FExceptions;
};

class TuxUpdateLock {
 public:
  explicit TuxUpdateLock(TuxCustomDataController* AController)
      : FController(AController), FExceptions(std::uncaught_exceptions()) {
    FController->BeginUpdate();
  }
  TuxUpdateLock(const TuxUpdateLock&) = delete;
  TuxUpdateLock& operator=(const TuxUpdateLock&) = delete;
  ~TuxUpdateLock() noexcept(false) {
    if (std::uncaught_exceptions() > FExceptions) {
      try {
        FController->EndUpdate();
      } catch (...) {
      }
    } else {
      FController->EndUpdate();
    }
  }

 private:
  TuxCustomDataController* FController;
  int FExceptions;
};
