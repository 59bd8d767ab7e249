#include "platform/rtl/stringlist.h"

#include <algorithm>
#include <climits>
#include <typeinfo>

#include "platform/rtl/collation.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/rtlconsts.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/strings.h"

namespace {

// Ends an update in every case.
class TUpdateScope {
 public:
  explicit TUpdateScope(TStrings* S) : FStrings(S) { FStrings->BeginUpdate(); }
  ~TUpdateScope() { FStrings->EndUpdate(); }
  TUpdateScope(const TUpdateScope&) = delete;
  TUpdateScope& operator=(const TUpdateScope&) = delete;

 private:
  TStrings* FStrings;
};

// A complete double-byte character starts at I.
inline bool IsLead(const AnsiString& S, std::size_t I) {
  if (I + 1 >= S.size() || !IsDBCSLeadByte(static_cast<Byte>(S[I]))) return false;
  Byte t = static_cast<Byte>(S[I + 1]);
  return t >= 0x40 && t <= 0xFE && t != 0x7F;
}

// 0-based offset of the single-byte character C in S, skipping double-byte
// characters (whose trail byte may equal C); npos when absent.
std::size_t FindChar(const AnsiString& S, char C) {
  for (std::size_t i = 0; i < S.size(); ++i) {
    if (IsLead(S, i)) ++i;
    else if (S[i] == C) return i;
  }
  return AnsiString::npos;
}

}  // namespace

// ---------------------------------------------------------------------------
// TStrings

TObject* TStrings::GetObject(int) const { return nullptr; }

void TStrings::PutObject(int, TObject*) {}

void TStrings::Put(int Index, const AnsiString& S) {
  TUpdateScope update(this);
  TObject* obj = GetObject(Index);
  Delete(Index);
  InsertObject(Index, S, obj);
}

void TStrings::InsertObject(int Index, const AnsiString& S, TObject* AObject) {
  TUpdateScope update(this);
  Insert(Index, S);
  PutObject(Index, AObject);
}

int TStrings::Add(const AnsiString& S) {
  int index = GetCount();
  Insert(index, S);
  return index;
}

int TStrings::AddObject(const AnsiString& S, TObject* AObject) {
  TUpdateScope update(this);
  int index = Add(S);
  PutObject(index, AObject);
  return index;
}

void TStrings::AddStrings(TStrings* Strings) {
  if (!Strings) return;
  TUpdateScope update(this);
  int n = Strings->GetCount();  // fixed first: Strings may be this list
  for (int i = 0; i < n; ++i) AddObject(Strings->Get(i), Strings->GetObject(i));
}

void TStrings::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TStrings*>(Source)) {
    if (src == this) return;
    TUpdateScope update(this);
    Clear();
    Delimiter = src->Delimiter;
    QuoteChar = src->QuoteChar;
    NameValueSeparator = src->NameValueSeparator;
    AddStrings(src);
    return;
  }
  TPersistent::Assign(Source);
}

void TStrings::Exchange(int Index1, int Index2) {
  TUpdateScope update(this);
  AnsiString s1 = Get(Index1);
  TObject* o1 = GetObject(Index1);
  Put(Index1, Get(Index2));
  PutObject(Index1, GetObject(Index2));
  Put(Index2, s1);
  PutObject(Index2, o1);
}

void TStrings::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  TUpdateScope update(this);
  AnsiString s = Get(CurIndex);
  TObject* obj = GetObject(CurIndex);
  if (NewIndex < 0 || NewIndex >= GetCount()) IndexError(NewIndex);
  Delete(CurIndex);
  InsertObject(NewIndex, s, obj);
}

int TStrings::IndexOf(const AnsiString& S) const {
  int n = GetCount();
  for (int i = 0; i < n; ++i)
    if (CompareStrings(Get(i), S) == 0) return i;
  return -1;
}

int TStrings::IndexOfName(const AnsiString& Name) const {
  int n = GetCount();
  for (int i = 0; i < n; ++i) {
    AnsiString s = Get(i);
    std::size_t p = FindChar(s, NameValueSeparator);
    if (p != AnsiString::npos && CompareStrings(s.substr(0, p), Name) == 0) return i;
  }
  return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const {
  int n = GetCount();
  for (int i = 0; i < n; ++i)
    if (GetObject(i) == AObject) return i;
  return -1;
}

bool TStrings::Equals(TStrings* Strings) const {
  if (!Strings) return false;
  int n = GetCount();
  if (n != Strings->GetCount()) return false;
  for (int i = 0; i < n; ++i)
    if (Get(i) != Strings->Get(i)) return false;
  return true;
}

AnsiString TStrings::Names(int Index) const {
  AnsiString s = Get(Index);
  std::size_t p = FindChar(s, NameValueSeparator);
  return p == AnsiString::npos ? AnsiString() : s.substr(0, p);
}

AnsiString TStrings::ValueFromIndex(int Index) const {
  if (Index < 0) return AnsiString();
  AnsiString s = Get(Index);
  std::size_t p = FindChar(s, NameValueSeparator);
  return p == AnsiString::npos ? AnsiString() : s.substr(p + 1);
}

void TStrings::SetValueFromIndex(int Index, const AnsiString& Value) {
  if (!Value.empty()) {
    if (Index < 0) Index = Add(AnsiString());
    Put(Index, Names(Index) + NameValueSeparator + Value);
  } else if (Index >= 0) {
    Delete(Index);
  }
}

AnsiString TStrings::Values(const AnsiString& Name) const {
  int i = IndexOfName(Name);
  return i < 0 ? AnsiString() : ValueFromIndex(i);
}

void TStrings::SetValue(const AnsiString& Name, const AnsiString& Value) {
  int i = IndexOfName(Name);
  if (!Value.empty()) {
    if (i < 0) i = Add(AnsiString());
    Put(i, Name + NameValueSeparator + Value);
  } else if (i >= 0) {
    Delete(i);
  }
}

AnsiString TStrings::GetText() const {
  int n = GetCount();
  AnsiString r;
  for (int i = 0; i < n; ++i) {
    r += Get(i);
    r += "\r\n";
  }
  return r;
}

void TStrings::SetText(const AnsiString& Text) {
  TUpdateScope update(this);
  Clear();
  std::size_t i = 0, n = Text.size();
  while (i < n) {
    std::size_t start = i;
    while (i < n && Text[i] != '\r' && Text[i] != '\n') ++i;
    Add(Text.substr(start, i - start));
    if (i < n && Text[i] == '\r') ++i;
    if (i < n && Text[i] == '\n') ++i;
  }
}

namespace {

AnsiString JoinDelimited(const TStrings& List, char Delimiter, char QuoteChar) {
  int n = List.Count();
  if (n == 1 && List.Get(0).empty()) return AnsiString(2, QuoteChar);
  AnsiString r;
  for (int i = 0; i < n; ++i) {
    AnsiString s = List.Get(i);
    bool quote = false;
    for (std::size_t k = 0; k < s.size() && !quote; ++k) {
      if (IsLead(s, k)) {
        ++k;
        continue;
      }
      Byte c = static_cast<Byte>(s[k]);
      // A stray lead byte at the end would join the delimiter that follows it.
      quote = c <= ' ' || s[k] == QuoteChar || s[k] == Delimiter || (k + 1 == s.size() && IsDBCSLeadByte(c));
    }
    if (i > 0) r += Delimiter;
    if (!quote) {
      r += s;
      continue;
    }
    r += QuoteChar;
    for (std::size_t k = 0; k < s.size(); ++k) {
      if (IsLead(s, k)) {
        r += s[k];
        r += s[++k];
        continue;
      }
      if (s[k] == QuoteChar) r += QuoteChar;
      r += s[k];
    }
    r += QuoteChar;
  }
  return r;
}

void SplitDelimited(TStrings& List, const AnsiString& Value, char Delimiter, char QuoteChar) {
  TUpdateScope update(&List);
  List.Clear();
  const std::size_t n = Value.size();
  auto isBlank = [&](std::size_t k) { return k < n && static_cast<Byte>(Value[k]) <= ' '; };
  std::size_t i = 0;
  while (isBlank(i)) ++i;
  while (i < n) {
    AnsiString item;
    if (Value[i] == QuoteChar) {
      // A quoted item: a doubled quote stands for one; an unclosed quote runs to the end.
      ++i;
      while (i < n) {
        if (IsLead(Value, i)) {
          item.append(Value, i, 2);
          i += 2;
        } else if (Value[i] == QuoteChar) {
          if (i + 1 < n && Value[i + 1] == QuoteChar) {
            item += QuoteChar;
            i += 2;
          } else {
            ++i;
            break;
          }
        } else {
          item += Value[i++];
        }
      }
    } else {
      std::size_t start = i;
      while (i < n && !isBlank(i) && Value[i] != Delimiter) i += IsLead(Value, i) ? 2 : 1;
      item = Value.substr(start, i - start);
    }
    List.Add(item);
    while (isBlank(i)) ++i;
    if (i < n && Value[i] == Delimiter) {
      if (i + 1 == n) List.Add(AnsiString());  // a trailing delimiter ends with an empty item
      ++i;
      while (isBlank(i)) ++i;
    }
  }
}

}  // namespace

AnsiString TStrings::DelimitedText() const { return JoinDelimited(*this, Delimiter, QuoteChar); }

void TStrings::SetDelimitedText(const AnsiString& Value) { SplitDelimited(*this, Value, Delimiter, QuoteChar); }

AnsiString TStrings::CommaText() const { return JoinDelimited(*this, ',', '"'); }

void TStrings::SetCommaText(const AnsiString& Value) { SplitDelimited(*this, Value, ',', '"'); }

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  if (FUpdateCount <= 0) return;
  if (--FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

int TStrings::CompareStrings(const AnsiString& S1, const AnsiString& S2) const {
  return AnsiCompareText(S1, S2);
}

void TStrings::IndexError(int Index) const { throw EStringListError(SListIndexError, {Index}); }

void TStrings::LoadFromStream(TStream* Stream) {
  // Read it all first: a failed read leaves the list as it was.
  SetText(ReadStreamBytes(Stream, Stream->Remaining()));
}

void TStrings::SaveToStream(TStream* Stream) {
  AnsiString text = GetText();
  std::size_t done = 0;
  while (done < text.size()) {
    LongInt n = static_cast<LongInt>(std::min<std::size_t>(text.size() - done, INT_MAX));
    Stream->WriteBuffer(text.data() + done, n);
    done += n;
  }
}

void TStrings::LoadFromFile(const AnsiString& FileName) {
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&file);
}

void TStrings::SaveToFile(const AnsiString& FileName) {
  TFileStream file(FileName, fmCreate);
  SaveToStream(&file);
}

// ---------------------------------------------------------------------------
// TStringList

TStringList::~TStringList() {
  OnChange = nullptr;
  OnChanging = nullptr;
}

void TStringList::CheckIndex(int Index) const {
  if (Index < 0 || Index >= GetCount()) IndexError(Index);
}

AnsiString TStringList::Get(int Index) const {
  CheckIndex(Index);
  return FList[static_cast<std::size_t>(Index)].S;
}

TObject* TStringList::GetObject(int Index) const {
  CheckIndex(Index);
  return FList[static_cast<std::size_t>(Index)].Obj;
}

void TStringList::Put(int Index, const AnsiString& S) {
  if (FSorted) throw EStringListError(SSortedListError);
  CheckIndex(Index);
  Changing();
  FList[static_cast<std::size_t>(Index)].S = S;
  Changed();
}

void TStringList::PutObject(int Index, TObject* AObject) {
  CheckIndex(Index);
  Changing();
  FList[static_cast<std::size_t>(Index)].Obj = AObject;
  Changed();
}

void TStringList::Insert(int Index, const AnsiString& S) { InsertObject(Index, S, nullptr); }

void TStringList::InsertObject(int Index, const AnsiString& S, TObject* AObject) {
  if (FSorted) throw EStringListError(SSortedListError);
  if (Index < 0 || Index > GetCount()) IndexError(Index);
  InsertItem(Index, S, AObject);
}

void TStringList::InsertItem(int Index, const AnsiString& S, TObject* AObject) {
  Changing();
  FList.insert(FList.begin() + Index, TStringItem{S, AObject});
  Changed();
}

void TStringList::Delete(int Index) {
  CheckIndex(Index);
  Changing();
  FList.erase(FList.begin() + Index);
  Changed();
}

void TStringList::Clear() {
  if (FList.empty()) return;
  Changing();
  FList.clear();
  Changed();
}

int TStringList::Add(const AnsiString& S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const AnsiString& S, TObject* AObject) {
  int index = GetCount();
  if (FSorted && Find(S, index)) {
    if (Duplicates == dupIgnore) return index;
    if (Duplicates == dupError) throw EStringListError(SDuplicateString);
  }
  InsertItem(index, S, AObject);
  return index;
}

void TStringList::Exchange(int Index1, int Index2) {
  CheckIndex(Index1);
  CheckIndex(Index2);
  Changing();
  std::swap(FList[static_cast<std::size_t>(Index1)], FList[static_cast<std::size_t>(Index2)]);
  Changed();
}

void TStringList::Move(int CurIndex, int NewIndex) {
  // Checked first: moving takes the item out before putting it back.
  if (FSorted && CurIndex != NewIndex) throw EStringListError(SSortedListError);
  TStrings::Move(CurIndex, NewIndex);
}

int TStringList::IndexOf(const AnsiString& S) const {
  if (!FSorted) {
    // The list's own comparison only needs to tell equal strings here.
    const bool own = typeid(*this) == typeid(TStringList);
    for (std::size_t i = 0; i < FList.size(); ++i)
      if (own ? AnsiCollateSame(FList[i].S, S, !FCaseSensitive) : CompareStrings(FList[i].S, S) == 0)
        return static_cast<int>(i);
    return -1;
  }
  int index;
  return Find(S, index) ? index : -1;
}

bool TStringList::Find(const AnsiString& S, int& Index) const {
  int lo = 0, hi = GetCount() - 1;
  bool found = false;
  while (lo <= hi) {
    int mid = lo + (hi - lo) / 2;
    int c = CompareStrings(FList[static_cast<std::size_t>(mid)].S, S);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) found = true;  // keep looking left for the first equal item
    }
  }
  Index = lo;
  return found;
}

int TStringList::CompareStrings(const AnsiString& S1, const AnsiString& S2) const {
  return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

namespace {
int CompareByList(TStringList* List, int Index1, int Index2) {
  return List->CompareStrings(List->Strings(Index1), List->Strings(Index2));
}
}  // namespace

void TStringList::Sort() { CustomSort(&CompareByList); }

void TStringList::CustomSort(TStringListSortCompare Compare) {
  if (FSorted || GetCount() < 2 || !Compare) return;
  SortItems(Compare);
}

void TStringList::SortItems(TStringListSortCompare Compare) {
  const std::size_t n = FList.size();
  std::vector<int> order(n);
  for (std::size_t i = 0; i < n; ++i) order[i] = static_cast<int>(i);
  // The list's own order, when no descendant replaced CompareStrings: one
  // collation key per item, compared as bytes, gives the same stable order
  // as comparing the strings pair by pair, at a fraction of the cost.
  if (Compare == &CompareByList && typeid(*this) == typeid(TStringList)) {
    std::vector<std::string> keys(n);
    for (std::size_t i = 0; i < n; ++i) keys[i] = AnsiCollationKey(FList[i].S, !FCaseSensitive);
    std::stable_sort(order.begin(), order.end(), [&](int i, int j) {
      return keys[static_cast<std::size_t>(i)] < keys[static_cast<std::size_t>(j)];
    });
    Reorder(order);
    return;
  }
  // Merge sort of positions; Compare sees the list unchanged throughout, and
  // an inconsistent Compare cannot make the sort leave the bounds.
  // The list's own order compares the strings in place, without copying them.
  auto Less = [&](int i, int j) {
    if (Compare == &CompareByList)
      return CompareStrings(FList[static_cast<std::size_t>(i)].S, FList[static_cast<std::size_t>(j)].S) < 0;
    return Compare(this, i, j) < 0;
  };
  std::vector<int> buffer(n);
  for (std::size_t width = 1; width < n; width *= 2) {
    for (std::size_t lo = 0; lo < n; lo += 2 * width) {
      std::size_t mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
      std::size_t a = lo, b = mid, k = lo;
      while (a < mid && b < hi) buffer[k++] = Less(order[b], order[a]) ? order[b++] : order[a++];
      while (a < mid) buffer[k++] = order[a++];
      while (b < hi) buffer[k++] = order[b++];
    }
    order.swap(buffer);
  }
  Reorder(order);
}

void TStringList::Reorder(const std::vector<int>& order) {
  const std::size_t n = FList.size();
  Changing();
  std::vector<TStringItem> sorted;
  sorted.reserve(n);
  for (int i : order) sorted.push_back(std::move(FList[static_cast<std::size_t>(i)]));
  FList.swap(sorted);
  Changed();
}

void TStringList::SetSorted(bool Value) {
  if (FSorted == Value) return;
  if (Value && GetCount() > 1) SortItems(&CompareByList);
  FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
  if (FCaseSensitive == Value) return;
  FCaseSensitive = Value;
  // The order changes with the comparison: sort again so Find stays right.
  if (FSorted && GetCount() > 1) SortItems(&CompareByList);
}

void TStringList::Changed() {
  if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating) Changing();
  else Changed();
}
