#include "data/uxdatafieldlists.h"

#include <algorithm>

#include "platform/rtl/exceptions.h"
#include "platform/rtl/rtlconsts.h"
#include "platform/rtl/strings.h"

void TuxSortingFieldList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= EntryCount()) throw EListError(Format(SListIndexError, {Index}));
}

void TuxSortingFieldList::SetFieldSortOrder(TuxCustomDataField* Field, TuxDataSortOrder Order) {
  const int index = IndexOfField(Field);
  if (index >= 0) {
    if (Order == soNone)
      DeleteAt(index);
    else
      SetEntryOrder(index, Order);
  } else if (Order != soNone) {
    AddField(Field, Order);
  }
}

void TuxSortingFieldList::AddField(TuxCustomDataField* Field, TuxDataSortOrder Order) {
  FEntries.push_back({Field, Order});
  Changed();
}

void TuxSortingFieldList::InsertField(int Index, TuxCustomDataField* Field, TuxDataSortOrder Order) {
  Index = std::clamp(Index, 0, EntryCount());
  FEntries.insert(FEntries.begin() + Index, {Field, Order});
  Changed();
}

void TuxSortingFieldList::DeleteAt(int Index) {
  CheckIndex(Index);
  FEntries.erase(FEntries.begin() + Index);
  Changed();
}

void TuxSortingFieldList::RemoveFieldEntry(TuxCustomDataField* Field) {
  const int index = IndexOfField(Field);
  if (index >= 0) DeleteAt(index);
}

void TuxSortingFieldList::RemoveAll() {
  while (EntryCount() > 0) DeleteAt(0);
}

void TuxSortingFieldList::MoveEntry(int CurIndex, int NewIndex) {
  CheckIndex(CurIndex);
  CheckIndex(NewIndex);
  if (CurIndex == NewIndex) return;
  const TuxDataSortingFieldEntry entry = FEntries[static_cast<std::size_t>(CurIndex)];
  FEntries.erase(FEntries.begin() + CurIndex);
  FEntries.insert(FEntries.begin() + NewIndex, entry);
  Changed();
}

void TuxSortingFieldList::SetEntryOrder(int Index, TuxDataSortOrder Order) {
  CheckIndex(Index);
  if (FEntries[static_cast<std::size_t>(Index)].SortOrder == Order) return;
  FEntries[static_cast<std::size_t>(Index)].SortOrder = Order;
  Changed();
}

void TuxSortingFieldList::SetFieldIndex(TuxCustomDataField* Field, int Index) {
  const int current = IndexOfField(Field);
  if (Index < 0) {
    if (current >= 0) DeleteAt(current);
  } else if (current < 0) {
    InsertField(std::min(Index, EntryCount()), Field, soAscending);
  } else {
    MoveEntry(current, std::min(Index, EntryCount() - 1));
  }
}

void TuxSortingFieldList::AppendMissing(TuxSortingFieldList* Other) {
  for (const TuxDataSortingFieldEntry& e : Other->FEntries)
    if (IndexOfField(e.Field) < 0) AddField(e.Field, e.SortOrder);
}

void TuxSortingFieldList::NotifyIfContains(TuxCustomDataField* Field) {
  if (IndexOfField(Field) >= 0) Changed();
}

int TuxSortingFieldList::IndexOfField(TuxCustomDataField* Field) const {
  for (std::size_t i = 0; i < FEntries.size(); ++i)
    if (FEntries[i].Field == Field) return static_cast<int>(i);
  return -1;
}

TuxDataSortOrder TuxSortingFieldList::SortOrderOf(TuxCustomDataField* Field) const {
  const int index = IndexOfField(Field);
  return index < 0 ? soNone : FEntries[static_cast<std::size_t>(index)].SortOrder;
}

TuxDataSortingFieldEntry TuxSortingFieldList::Entries(int Index) const {
  CheckIndex(Index);
  return FEntries[static_cast<std::size_t>(Index)];
}

void TuxGroupingFieldList::SetFieldSortOrder(TuxCustomDataField* Field, TuxDataSortOrder Order) {
  TuxSortingFieldList::SetFieldSortOrder(Field, Order == soNone ? soAscending : Order);
}

void TuxGroupingFieldList::TakeSortOrders(TuxSortingFieldList* SortingList) {
  for (int i = 0; i < EntryCount(); ++i) {
    const TuxDataSortOrder order = SortingList->SortOrderOf(FEntries[static_cast<std::size_t>(i)].Field);
    SetEntryOrder(i, order == soNone ? soAscending : order);
  }
}
