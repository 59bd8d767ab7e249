// Lists of CP936 strings with an object per string: the abstract TStrings that
// controls implement over their own storage, and TStringList.
#pragma once
#include <functional>
#include <vector>
#include "platform/rtl/object.h"
#include "platform/rtl/types.h"

class TStream;
class TStringList;

enum TDuplicates { dupIgnore, dupAccept, dupError };

// Compares the items at Index1 and Index2 of List: negative, zero or positive.
using TStringListSortCompare = int (*)(TStringList* List, int Index1, int Index2);

// The abstract list. A descendant supplies Get, GetCount, Insert, Delete and Clear
// (and GetObject/PutObject/Put when it keeps objects or can replace in place);
// everything else is built on them.
class TStrings : public TPersistent {
  PV_CLASS(TStrings, TPersistent)
 public:
  ~TStrings() override = default;

  // --- the storage, supplied by descendants ---
  virtual AnsiString Get(int Index) const = 0;
  virtual int GetCount() const = 0;
  virtual TObject* GetObject(int Index) const;  // nullptr unless overridden
  virtual void Put(int Index, const AnsiString& S);  // replaces, keeping the object
  virtual void PutObject(int Index, TObject* AObject);  // ignored unless overridden
  virtual void Insert(int Index, const AnsiString& S) = 0;
  virtual void InsertObject(int Index, const AnsiString& S, TObject* AObject);
  virtual void Delete(int Index) = 0;
  virtual void Clear() = 0;

  // --- derived operations ---
  virtual int Add(const AnsiString& S);
  virtual int AddObject(const AnsiString& S, TObject* AObject);
  void Append(const AnsiString& S) { Add(S); }
  virtual void AddStrings(TStrings* Strings);
  // Copies the strings, objects and the separator characters of another TStrings.
  void Assign(TPersistent* Source) override;
  virtual void Exchange(int Index1, int Index2);
  virtual void Move(int CurIndex, int NewIndex);
  virtual int IndexOf(const AnsiString& S) const;
  virtual int IndexOfName(const AnsiString& Name) const;
  virtual int IndexOfObject(TObject* AObject) const;
  // Same count and the same strings, compared exactly.
  virtual bool Equals(TStrings* Strings) const;

  int Count() const { return GetCount(); }
  AnsiString Strings(int Index) const { return Get(Index); }
  AnsiString operator[](int Index) const { return Get(Index); }
  TObject* Objects(int Index) const { return GetObject(Index); }

  // "name=value" items. Names(i) is "" for an item without the separator.
  AnsiString Names(int Index) const;
  // The value of the first item whose name matches (CompareStrings); "" when none.
  AnsiString Values(const AnsiString& Name) const;
  // Sets the value of Name, adding an item when missing; an empty Value deletes the item.
  void SetValue(const AnsiString& Name, const AnsiString& Value);
  AnsiString ValueFromIndex(int Index) const;
  void SetValueFromIndex(int Index, const AnsiString& Value);

  // Every item followed by CR LF.
  virtual AnsiString GetText() const;
  AnsiString Text() const { return GetText(); }
  // Replaces the items with the lines of Text (separated by CR, LF or CR LF).
  virtual void SetText(const AnsiString& Text);
  // Items joined by Delimiter; an item holding a space, control character,
  // the delimiter or the quote character is quoted with QuoteChar (doubled inside).
  AnsiString DelimitedText() const;
  void SetDelimitedText(const AnsiString& Value);
  // DelimitedText with ',' and '"'.
  AnsiString CommaText() const;
  void SetCommaText(const AnsiString& Value);

  char Delimiter = ',';
  char QuoteChar = '"';
  char NameValueSeparator = '=';

  // Nested; the list reports a change once, when the outermost update ends.
  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  virtual void LoadFromStream(TStream* Stream);  // the rest of Stream, as Text
  virtual void SaveToStream(TStream* Stream);    // Text at the stream's position
  void LoadFromFile(const AnsiString& FileName);
  void SaveToFile(const AnsiString& FileName);

 protected:
  // Called with true when the outermost BeginUpdate starts and false when it ends.
  virtual void SetUpdateState(bool Updating);
  // Compares two strings as the list's lookups do; TStrings ignores ASCII case.
  virtual int CompareStrings(const AnsiString& S1, const AnsiString& S2) const;
  // Raises EStringListError "List index out of bounds (%d)".
  [[noreturn]] void IndexError(int Index) const;

 private:
  int FUpdateCount = 0;
};

class TStringList : public TStrings {
  PV_CLASS(TStringList, TStrings)
 public:
  TStringList() = default;
  ~TStringList() override;

  AnsiString Get(int Index) const override;
  int GetCount() const override { return static_cast<int>(FList.size()); }
  TObject* GetObject(int Index) const override;
  // Raises EStringListError "Operation not allowed on sorted list" when sorted.
  void Put(int Index, const AnsiString& S) override;
  void PutObject(int Index, TObject* AObject) override;
  // Raises EStringListError "Operation not allowed on sorted list" when sorted.
  void Insert(int Index, const AnsiString& S) override;
  void InsertObject(int Index, const AnsiString& S, TObject* AObject) override;
  void Delete(int Index) override;
  void Clear() override;
  // On a sorted list: inserts in order; an equal string already present is
  // ignored (dupIgnore, returning its index), added (dupAccept) or refused with
  // EStringListError "String list does not allow duplicates" (dupError).
  int Add(const AnsiString& S) override;
  int AddObject(const AnsiString& S, TObject* AObject) override;
  void Exchange(int Index1, int Index2) override;
  // Raises EStringListError "Operation not allowed on sorted list" when sorted.
  void Move(int CurIndex, int NewIndex) override;
  int IndexOf(const AnsiString& S) const override;

  // Binary search of a sorted list: true and the index of the first equal item,
  // or false and the index where S would be inserted.
  virtual bool Find(const AnsiString& S, int& Index) const;
  virtual void Sort();
  // Stable sort by Compare; the list is not changed while Compare is called.
  virtual void CustomSort(TStringListSortCompare Compare);

  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  TDuplicates Duplicates = dupIgnore;
  bool CaseSensitive() const { return FCaseSensitive; }
  void SetCaseSensitive(bool Value);

  std::function<void(TObject*)> OnChange;
  std::function<void(TObject*)> OnChanging;

  // Compares as the list's lookups and Sort do (CaseSensitive decides).
  int CompareStrings(const AnsiString& S1, const AnsiString& S2) const override;

 protected:
  virtual void Changed();
  virtual void Changing();
  void SetUpdateState(bool Updating) override;

 private:
  struct TStringItem {
    AnsiString S;
    TObject* Obj = nullptr;
  };
  void InsertItem(int Index, const AnsiString& S, TObject* AObject);
  void SortItems(TStringListSortCompare Compare);
  // Puts the items in the given order of their current positions.
  void Reorder(const std::vector<int>& order);
  void CheckIndex(int Index) const;
  std::vector<TStringItem> FList;
  bool FSorted = false;
  bool FCaseSensitive = false;
};
