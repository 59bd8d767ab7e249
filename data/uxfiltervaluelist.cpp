// The entries of a column's filter drop-down.
#include "data/uxfilter.h"
#include "data/uxvariants.h"
#include "platform/rtl/rtlconsts.h"
#include "platform/rtl/strings.h"

int TuxFilterValueList::CompareEntry(int Index, const Variant& Value, const AnsiString& DisplayText) {
  const TuxFilterValueItem& entry = FItems[static_cast<std::size_t>(Index)];
  if (FSortByDisplayText) {
    if (FCriteria->Options().Contains(fcoCaseInsensitive))
      return AnsiCompareStr(AnsiUpperCase(entry.DisplayText), AnsiUpperCase(DisplayText));
    return AnsiCompareStr(entry.DisplayText, DisplayText);
  }
  Variant a, b;
  FCriteria->PrepareValue(entry.Value, a);
  FCriteria->PrepareValue(Value, b);
  return uxCompareVariants(a, b);
}

bool TuxFilterValueList::Find(const Variant& Value, const AnsiString& DisplayText, int& Index) {
  const int separator = RecentSeparatorIndex();
  for (int i = 0; i < separator; ++i)
    if (CompareEntry(i, Value, DisplayText) == 0) {
      Index = i;
      return true;
    }
  // The leftmost equal value entry, or the insertion position.
  int low = FirstValueIndex(), high = GetCount() - 1;
  bool found = false;
  while (low <= high) {
    const int mid = low + (high - low) / 2;
    const int r = CompareEntry(mid, Value, DisplayText);
    if (r < 0) {
      low = mid + 1;
    } else {
      if (r == 0) found = true;
      high = mid - 1;
    }
  }
  Index = low;
  return found;
}

void TuxFilterValueList::Add(TuxFilterValueEntryKind Kind, const Variant& Value, bool AppendOnly,
                             const AnsiString& DisplayText) {
  const TuxFilterValueItem item{Kind, Value, DisplayText};
  switch (Kind) {
    case fveRecent: {
      int separator = -1;
      for (int i = 0; i < GetCount(); ++i) {
        const TuxFilterValueEntryKind k = FItems[static_cast<std::size_t>(i)].Kind;
        if (k == fveRecentSeparator) {
          separator = i;
          break;
        }
        if (k != fveRecent) break;
      }
      if (separator < 0) {
        FItems.insert(FItems.begin(), TuxFilterValueItem{fveRecentSeparator, Null(), AnsiString()});
        separator = 0;
      }
      FItems.insert(FItems.begin() + separator, item);
      break;
    }
    case fveValue: {
      if (AppendOnly) {
        FItems.push_back(item);
        break;
      }
      if (MaxCount() != 0 && GetCount() >= MaxCount()) break;
      int index;
      if (!Find(Value, DisplayText, index)) FItems.insert(FItems.begin() + index, item);
      break;
    }
    default:
      FItems.insert(FItems.begin() + FirstValueIndex(), item);
      break;
  }
}

int TuxFilterValueList::GetIndexByCriteriaItem(TuxFilterCriteriaItem* Item) {
  if (!Item) return IndexOfKind(fveAll);
  const Byte kind = Item->OperatorKind();
  if ((kind == fckEqual || kind == fckNotEqual) && FCriteria->IsNullValue(Item->Value()))
    return IndexOfKind(kind == fckEqual ? fveBlanks : fveNonBlanks);
  int index;
  if (kind == fckEqual && Find(Item->Value(), Item->DisplayValue(), index)) return index;
  return IndexOfKind(fveCustom);
}

void TuxFilterValueList::Delete(int Index) {
  if (Index < 0 || Index >= GetCount()) throw EListError(Format(SListIndexError, {Index}));
  FItems.erase(FItems.begin() + Index);
}

const TuxFilterValueItem& TuxFilterValueList::GetItem(int Index) const {
  if (Index < 0 || Index >= GetCount()) throw EListError(Format(SListIndexError, {Index}));
  return FItems[static_cast<std::size_t>(Index)];
}

int TuxFilterValueList::IndexOfKindValue(TuxFilterValueEntryKind Kind, const Variant& Value) const {
  for (int i = 0; i < GetCount(); ++i) {
    const TuxFilterValueItem& entry = FItems[static_cast<std::size_t>(i)];
    if (entry.Kind == Kind && (Value.IsNull() || uxVarEquals(entry.Value, Value))) return i;
  }
  return -1;
}

int TuxFilterValueList::RecentSeparatorIndex() const {
  int i = 0;
  while (i < GetCount() && FItems[static_cast<std::size_t>(i)].Kind == fveRecent) ++i;
  return i < GetCount() && FItems[static_cast<std::size_t>(i)].Kind == fveRecentSeparator ? i : -1;
}

int TuxFilterValueList::FirstValueIndex() const {
  for (int i = 0; i < GetCount(); ++i)
    if (FItems[static_cast<std::size_t>(i)].Kind == fveValue) return i;
  return GetCount();
}

int TuxFilterValueList::MaxCount() const { return FCriteria ? FCriteria->MaxValueListCount() : 0; }
