// The sorting and grouping field lists of a data controller: ordered
// (field, sort order) entries. Every change that alters a list calls its
// change notification once.
#pragma once
#include <functional>
#include <vector>

#include "data/uxdatasort.h"
#include "platform/rtl/object.h"

class TuxCustomDataField;

struct TuxDataSortingFieldEntry {
  TuxCustomDataField* Field = nullptr;
  TuxDataSortOrder SortOrder = soNone;
};

class TuxSortingFieldList : public TObject {
  PV_CLASS(TuxSortingFieldList, TObject)
 public:
  // soNone removes a listed field; other orders replace its order or append it.
  virtual void SetFieldSortOrder(TuxCustomDataField* Field, TuxDataSortOrder Order);

  void AddField(TuxCustomDataField* Field, TuxDataSortOrder Order);
  void InsertField(int Index, TuxCustomDataField* Field, TuxDataSortOrder Order);
  void DeleteAt(int Index);
  void RemoveFieldEntry(TuxCustomDataField* Field);
  void RemoveAll();
  void MoveEntry(int CurIndex, int NewIndex);
  void SetEntryOrder(int Index, TuxDataSortOrder Order);
  // A negative Index removes the field; an unlisted field is inserted at
  // Index (at most the count), ascending; a listed one moves there.
  void SetFieldIndex(TuxCustomDataField* Field, int Index);
  // Appends, in order, the entries of Other whose fields are not listed.
  void AppendMissing(TuxSortingFieldList* Other);
  void NotifyIfContains(TuxCustomDataField* Field);
  int IndexOfField(TuxCustomDataField* Field) const;
  TuxDataSortOrder SortOrderOf(TuxCustomDataField* Field) const;
  int EntryCount() const { return static_cast<int>(FEntries.size()); }
  // Raises EListError for an index out of range.
  TuxDataSortingFieldEntry Entries(int Index) const;

  std::function<void()> OnChanged;

 protected:
  void Changed() {
    if (OnChanged) OnChanged();
  }
  void CheckIndex(int Index) const;
  std::vector<TuxDataSortingFieldEntry> FEntries;
};

// A grouped field is never removed by SetFieldSortOrder: soNone means ascending.
class TuxGroupingFieldList : public TuxSortingFieldList {
  PV_CLASS(TuxGroupingFieldList, TuxSortingFieldList)
 public:
  void SetFieldSortOrder(TuxCustomDataField* Field, TuxDataSortOrder Order) override;
  int GroupIndexOf(TuxCustomDataField* Field) const { return IndexOfField(Field); }
  // Each grouping entry takes the order the sorting list gives its field
  // (ascending when it is not sorted).
  void TakeSortOrders(TuxSortingFieldList* SortingList);
};
