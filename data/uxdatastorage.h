// Value types and record storage.
//
// A value type is a stateless object reached through a pointer to its single
// instance (TuxValueTypeClass), whose virtual operations hold, compare,
// convert, display and stream one kind of value in a fixed-size cell. The
// fourteen value types are registered by caption at start-up (InitData).
//
// A record is one contiguous byte buffer (absent until first written):
//
//   offset 0        record flag byte (bit 0: internal record in use)
//   offset 1        record id, 32-bit signed (only with KeepRecordIds)
//   offset 1 or 5   the slots of the definitions that have one, in order
//
// and a slot is a presence byte (0 Null, 1 present), the cell, and with
// KeepText a reference to the kept display text. Cells of strings, wide
// strings, variants and objects hold a pointer-sized reference to a heap
// holder; the stream forms keep their fixed byte layouts.
//
// Record indexes 0 and above address normal records; -1, -2, ... internal
// records (scratch copies for editing, inserting and locating), index I being
// entry -I-1 of the internal list, laid out by the internal twins of the
// normal definitions.
#pragma once
#include <memory>
#include <vector>

#include "platform/classes/events.h"
#include "platform/rtl/object.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/variants.h"

class TuxValueType;
using TuxValueTypeClass = const TuxValueType*;

// ---------------------------------------------------------------------------
// Value types

class TuxValueType {
 public:
  virtual ~TuxValueType() = default;

  // Three-way comparison of two cells: CompareContents of the cells, or of
  // the references they hold for the string, wide-string and variant types.
  virtual int CompareCells(const void* Cell1, const void* Cell2) const;
  // Releases what the cell owns and clears the reference.
  virtual void FreeCellData(void* Cell) const {}
  // Releases the display-text holder a text cell references.
  virtual void FreeTextCell(void* TextCell) const;
  virtual int GetCellSize() const { return 0; }
  virtual void CellToVariant(const void* Cell, Variant& V) const { V = Null(); }
  // The value's text, or '' when the conversion fails.
  virtual void CellToDisplayText(const void* Cell, AnsiString& S) const;
  // The cell's stream form (the base reads a tagged variant).
  virtual void ReadCell(void* Cell, TStream* Stream) const;
  virtual void ReadTextCell(void* TextCell, TStream* Stream) const;
  // Stores V. A conversion that fails raises the platform's variant error
  // before the cell is touched, so the cell keeps its previous value.
  virtual void VariantToCell(void* Cell, const Variant& V) const {}
  virtual void TextToTextCell(void* TextCell, const AnsiString& S) const;
  virtual void WriteCell(const void* Cell, TStream* Stream) const;
  virtual void WriteTextCell(const void* TextCell, TStream* Stream) const;
  // The fixed caption of the value type table ("String", "Integer" ...); ''
  // for a type that is not in it.
  virtual AnsiString Caption() const;
  // The name by which the data-controller stream identifies the type:
  // "Tux" + Caption + "ValueType" for the types of the table.
  virtual AnsiString ClassName() const;
  virtual int CompareContents(const void* Content1, const void* Content2) const;
  virtual void ContentToVariant(const void* Content, Variant& V) const { CellToVariant(Content, V); }
  virtual Word VarTypeCode() const { return varVariant; }
  // Converts V in place to VarTypeCode: true when V is Null, the code is the
  // variant code or the conversion succeeds; false on a conversion error.
  virtual bool ConvertVariant(Variant& V) const;
  virtual bool IsTextType() const { return false; }
  // A cell address turned into the address of what it compares on.
  virtual const void* CellToContent(const void* Cell) const { return Cell; }
};

class TuxStringValueType : public TuxValueType {
 public:
  static TuxValueTypeClass Instance();
  int CompareCells(const void* Cell1, const void* Cell2) const override;
  void FreeCellData(void* Cell) const override;
  int GetCellSize() const override { return sizeof(void*); }
  void CellToVariant(const void* Cell, Variant& V) const override;
  void ReadCell(void* Cell, TStream* Stream) const override;
  void VariantToCell(void* Cell, const Variant& V) const override;
  void WriteCell(const void* Cell, TStream* Stream) const override;
  int CompareContents(const void* Content1, const void* Content2) const override;
  void ContentToVariant(const void* Content, Variant& V) const override;
  Word VarTypeCode() const override { return varString; }
  bool IsTextType() const override { return true; }
  const void* CellToContent(const void* Cell) const override;
};

// Writes its own UTF-16 text: characters outside code page 936 survive.
class TuxWideStringValueType : public TuxStringValueType {
 public:
  static TuxValueTypeClass Instance();
  void FreeCellData(void* Cell) const override;
  void CellToVariant(const void* Cell, Variant& V) const override;
  void ReadCell(void* Cell, TStream* Stream) const override;
  void VariantToCell(void* Cell, const Variant& V) const override;
  void WriteCell(const void* Cell, TStream* Stream) const override;
  int CompareContents(const void* Content1, const void* Content2) const override;
  void ContentToVariant(const void* Content, Variant& V) const override;
  Word VarTypeCode() const override { return varOleStr; }
};

class TuxSmallintValueType : public TuxValueType {
 public:
  static TuxValueTypeClass Instance();
  int GetCellSize() const override { return 2; }
  void CellToVariant(const void* Cell, Variant& V) const override;
  void ReadCell(void* Cell, TStream* Stream) const override;
  void VariantToCell(void* Cell, const Variant& V) const override;
  void WriteCell(const void* Cell, TStream* Stream) const override;
  int CompareContents(const void* Content1, const void* Content2) const override;
  Word VarTypeCode() const override { return varSmallint; }
};

class TuxIntegerValueType : public TuxValueType {
 public:
  static TuxValueTypeClass Instance();
  int GetCellSize() const override { return 4; }
  void CellToVariant(const void* Cell, Variant& V) const override;
  void ReadCell(void* Cell, TStream* Stream) const override;
  void VariantToCell(void* Cell, const Variant& V) const override;
  void WriteCell(const void* Cell, TStream* Stream) const override;
  int CompareContents(const void* Content1, const void* Content2) const override;
  Word VarTypeCode() const override { return varInteger; }
};

class TuxWordValueType : public TuxValueType {
 public:
  static TuxValueTypeClass Instance();
  int GetCellSize() const override { return 2; }
  void CellToVariant(const void* Cell, Variant& V) const override;
  void ReadCell(void* Cell, TStream* Stream) const override;
  void VariantToCell(void* Cell, const Variant& V) const override;
  void WriteCell(const void* Cell, TStream* Stream) const override;
  int CompareContents(const void* Content1, const void* Content2) const override;
  Word VarTypeCode() const override { return varWord; }
};

class TuxBooleanValueType : public TuxValueType {
 public:
  static TuxValueTypeClass Instance();
  int GetCellSize() const override { return 1; }
  void CellToVariant(const void* Cell, Variant& V) const override;
  void ReadCell(void* Cell, TStream* Stream) const override;
  void VariantToCell(void* Cell, const Variant& V) const override;
  void WriteCell(const void* Cell, TStream* Stream) const override;
  int CompareContents(const void* Content1, const void* Content2) const override;
  Word VarTypeCode() const override { return varBoolean; }
};

// A double in the cell, the 10-byte extended form in streams.
class TuxFloatValueType : public TuxValueType {
 public:
  static TuxValueTypeClass Instance();
  int GetCellSize() const override { return 8; }
  void CellToVariant(const void* Cell, Variant& V) const override;
  void ReadCell(void* Cell, TStream* Stream) const override;
  void VariantToCell(void* Cell, const Variant& V) const override;
  void WriteCell(const void* Cell, TStream* Stream) const override;
  int CompareContents(const void* Content1, const void* Content2) const override;
  Word VarTypeCode() const override { return varDouble; }
};

class TuxCurrencyValueType : public TuxValueType {
 public:
  static TuxValueTypeClass Instance();
  int GetCellSize() const override { return 8; }
  void CellToVariant(const void* Cell, Variant& V) const override;
  void ReadCell(void* Cell, TStream* Stream) const override;
  void VariantToCell(void* Cell, const Variant& V) const override;
  void WriteCell(const void* Cell, TStream* Stream) const override;
  int CompareContents(const void* Content1, const void* Content2) const override;
  Word VarTypeCode() const override { return varCurrency; }
};

class TuxDateTimeValueType : public TuxValueType {
 public:
  static TuxValueTypeClass Instance();
  static TDateTime CellToDateTime(const void* Cell);
  int GetCellSize() const override { return 8; }
  void CellToVariant(const void* Cell, Variant& V) const override;
  void CellToDisplayText(const void* Cell, AnsiString& S) const override;
  void ReadCell(void* Cell, TStream* Stream) const override;
  void VariantToCell(void* Cell, const Variant& V) const override;
  void WriteCell(const void* Cell, TStream* Stream) const override;
  int CompareContents(const void* Content1, const void* Content2) const override;
  Word VarTypeCode() const override { return varDate; }
};

class TuxLargeIntValueType : public TuxValueType {
 public:
  static TuxValueTypeClass Instance();
  int GetCellSize() const override { return 8; }
  void CellToVariant(const void* Cell, Variant& V) const override;
  void ReadCell(void* Cell, TStream* Stream) const override;
  void VariantToCell(void* Cell, const Variant& V) const override;
  void WriteCell(const void* Cell, TStream* Stream) const override;
  int CompareContents(const void* Content1, const void* Content2) const override;
  Word VarTypeCode() const override { return varInt64; }
};

// A packed decimal of up to 64 digits: precision, sign (bit 7) and decimal
// places (bits 0..5), then two digits per byte, most significant first.
struct TuxBcd {
  Byte Precision = 0;
  Byte SignSpecialPlaces = 0;
  Byte Fraction[32] = {};
};
static_assert(sizeof(TuxBcd) == 34);
// Reads "-123.45" (the locale's decimal separator or '.'); false for anything else.
bool uxTryStrToBcd(const AnsiString& S, TuxBcd& Bcd);
// The decimal in the general format: no trailing zeros after the separator.
AnsiString uxBcdToStr(const TuxBcd& Bcd);
int uxBcdCompare(const TuxBcd& A, const TuxBcd& B);

// Cells of 34 bytes. The platform has no decimal variant kind: the value
// reaches variants as a double, while streams carry its exact text (a tagged
// string, as a decimal variant is written).
class TuxFMTBcdValueType : public TuxValueType {
 public:
  static TuxValueTypeClass Instance();
  int GetCellSize() const override { return sizeof(TuxBcd); }
  void CellToVariant(const void* Cell, Variant& V) const override;
  void CellToDisplayText(const void* Cell, AnsiString& S) const override;
  void VariantToCell(void* Cell, const Variant& V) const override;
  void WriteCell(const void* Cell, TStream* Stream) const override;
  int CompareContents(const void* Content1, const void* Content2) const override;
  Word VarTypeCode() const override { return varDouble; }
};

struct TuxSQLTimeStamp {
  SmallInt Year = 0;
  Word Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
  LongWord Fractions = 0;  // milliseconds
};
static_assert(sizeof(TuxSQLTimeStamp) == 16);

// Cells of 16 bytes; the value reaches variants and streams as a date.
class TuxSQLTimeStampValueType : public TuxValueType {
 public:
  static TuxValueTypeClass Instance();
  int GetCellSize() const override { return sizeof(TuxSQLTimeStamp); }
  void CellToVariant(const void* Cell, Variant& V) const override;
  void VariantToCell(void* Cell, const Variant& V) const override;
  int CompareContents(const void* Content1, const void* Content2) const override;
  Word VarTypeCode() const override { return varDate; }
};

class TuxVariantValueType : public TuxValueType {
 public:
  static TuxValueTypeClass Instance();
  int CompareCells(const void* Cell1, const void* Cell2) const override;
  void FreeCellData(void* Cell) const override;
  int GetCellSize() const override { return sizeof(void*); }
  void CellToVariant(const void* Cell, Variant& V) const override;
  void VariantToCell(void* Cell, const Variant& V) const override;
  int CompareContents(const void* Content1, const void* Content2) const override;
  void ContentToVariant(const void* Content, Variant& V) const override;
  const void* CellToContent(const void* Cell) const override;
};

// A reference to an object the cell owns (freed when the value becomes Null).
// The reference travels in variants as a 64-bit integer; it is not streamed.
class TuxObjectValueType : public TuxIntegerValueType {
 public:
  static TuxValueTypeClass Instance();
  void FreeCellData(void* Cell) const override;
  int GetCellSize() const override { return sizeof(void*); }
  void CellToVariant(const void* Cell, Variant& V) const override;
  void ReadCell(void* Cell, TStream* Stream) const override {}
  void VariantToCell(void* Cell, const Variant& V) const override;
  void WriteCell(const void* Cell, TStream* Stream) const override {}
  int CompareContents(const void* Content1, const void* Content2) const override;
  Word VarTypeCode() const override { return varInt64; }
  static TObject* CellToObject(const void* Cell);
};

// The value types in the order of their table, with their captions: the
// order of registration at start-up.
struct TuxValueTypeTableEntry {
  TuxValueTypeClass Class;
  const char* Caption;
};
const std::vector<TuxValueTypeTableEntry>& uxValueTypeTable();

class TuxValueTypeClassList : public TObject {
  PV_CLASS(TuxValueTypeClassList, TObject)
 public:
  // Adds the class unless it is present.
  void Register(TuxValueTypeClass AClass);
  void Unregister(TuxValueTypeClass AClass);
  // The first registered class whose caption equals Caption exactly
  // (case-sensitively); nullptr when none.
  TuxValueTypeClass ItemByCaption(const AnsiString& Caption) const;
  int Count() const { return static_cast<int>(FItems.size()); }
  TuxValueTypeClass Items(int Index) const;

 private:
  std::vector<TuxValueTypeClass> FItems;
};

// The registry, created on first use and freed by uxFreeValueTypeClassList.
TuxValueTypeClassList* uxGetValueTypeClassList();
void uxFreeValueTypeClassList();

// ---------------------------------------------------------------------------
// Value definitions

class TuxDataStorage;
class TuxValueDefs;

// One field of a record layout: its slot in every record buffer.
class TuxValueDef : public TObject {
  PV_CLASS(TuxValueDef, TObject)
 public:
  TuxValueDef(TuxValueDefs* AOwner, TuxValueTypeClass AValueTypeClass);
  // Freeing a definition removes it from its list.
  ~TuxValueDef() override;

  virtual TObject* GetLinkObject() const { return FLinkObject; }
  virtual bool HasValueSlot() const;
  virtual void SetLinkObject(TObject* Value) { FLinkObject = Value; }
  // Copies KeepValue and KeepText.
  virtual void Assign(TuxValueDef* Source);

  bool HasTextSlot() const { return HasValueSlot() && FKeepText; }
  void Layout(int& Offset);

  bool SlotIsNull(const Byte* Slot) const { return Slot[0] == 0; }
  bool RecordSlotIsNull(const Byte* Buffer, int Offset) const { return !Buffer || Buffer[Offset] == 0; }
  void GetSlotValue(const Byte* Buffer, Variant& V) const;
  void GetSlotText(const Byte* Buffer, AnsiString& S) const;
  // Null makes the slot null; a value that fails to convert leaves the slot as it was.
  void PutSlotValue(Byte* Buffer, const Variant& V) const;
  void PutSlotText(Byte* Buffer, const AnsiString& S) const;
  void SetSlotNull(Byte* Slot, bool IsNull) const;
  void ReleaseSlot(Byte* Buffer) const;
  void ReleaseTextSlot(Byte* Buffer) const;
  // Absent buffers and null values order first.
  int CompareSlots(const Byte* Buffer1, const Byte* Buffer2) const;
  int CompareDataPointers(bool IsNull1, bool IsNull2, const void* Content1, const void* Content2) const;
  // One byte (1 Null, 0 value), then the cell's stream form for a value.
  void LoadSlot(Byte* Buffer, TStream* Stream) const;
  void SaveSlot(const Byte* Buffer, TStream* Stream) const;
  void LoadSlotText(Byte* Buffer, TStream* Stream) const;
  void SaveSlotText(const Byte* Buffer, TStream* Stream) const;
  bool IsTextValue() const { return FValueTypeClass->IsTextType(); }

  bool KeepValue() const { return FKeepValue; }
  void SetKeepValue(bool Value);
  bool KeepText() const { return FKeepText; }
  void SetKeepText(bool Value);
  bool Streamed() const { return FStreamed; }
  void SetStreamed(bool Value) { FStreamed = Value; }
  int SlotSize() const { return FSlotSize; }
  int CellSize() const { return FCellSize; }
  int Offset() const { return FOffset; }
  TuxValueDefs* ValueDefs() const { return FValueDefs; }
  TuxValueTypeClass ValueTypeClass() const { return FValueTypeClass; }
  TuxDataStorage* Storage() const;

 protected:
  TObject* FLinkObject = nullptr;

 private:
  friend class TuxValueDefs;
  friend class TuxDataStorage;
  Byte* CellOf(Byte* Buffer) const { return Buffer + FOffset + 1; }
  const Byte* CellOf(const Byte* Buffer) const { return Buffer + FOffset + 1; }
  Byte* TextCellOf(Byte* Buffer) const { return Buffer + FOffset + 1 + FCellSize; }
  const Byte* TextCellOf(const Byte* Buffer) const { return Buffer + FOffset + 1 + FCellSize; }

  int FSlotSize = 0;
  int FCellSize = 0;
  bool FKeepValue = true;
  int FOffset = 0;
  bool FStreamed = true;
  bool FKeepText = false;
  TuxValueDefs* FValueDefs;
  TuxValueTypeClass FValueTypeClass;
};

// The twin of a normal definition in the internal records: always has a
// slot; its link object is the definition it mirrors.
class TuxInternalValueDef : public TuxValueDef {
  PV_CLASS(TuxInternalValueDef, TuxValueDef)
 public:
  using TuxValueDef::TuxValueDef;
  TObject* GetLinkObject() const override;
  bool HasValueSlot() const override { return true; }
  TuxValueDef* SourceDef() const { return static_cast<TuxValueDef*>(FLinkObject); }
};

class TuxValueDefs : public TObject {
  PV_CLASS(TuxValueDefs, TObject)
 public:
  // Asks the storage to lay the list out.
  explicit TuxValueDefs(TuxDataStorage* AStorage);
  ~TuxValueDefs() override;

  virtual void NotifyChanged(TuxValueDef* Def, bool ResyncNeeded);
  virtual bool IsInternal() const { return false; }
  virtual void Layout(int StartOffset);

  // Creates a definition, opens its slot in every existing record and
  // appends it.
  TuxValueDef* Add(TuxValueTypeClass AValueTypeClass, bool AKeepValue, TObject* ALinkObject, bool AKeepText);
  // Closes the definition's slot and takes it out of the list (not freed).
  void Remove(TuxValueDef* Def);
  // Frees the definitions from the last to the first.
  void Clear();
  int Count() const { return static_cast<int>(FItems.size()); }
  // During stream ordering the storage's ordered list gives the order.
  TuxValueDef* Items(int Index) const;
  int IndexOf(const TuxValueDef* Def) const;
  int SlotCount() const;
  int RecordSize() const { return FRecordSize; }
  int StartOffset() const { return FStartOffset; }
  TuxDataStorage* Storage() const { return FStorage; }

 protected:
  virtual TuxValueDef* CreateDef(TuxValueTypeClass AValueTypeClass);
  // The definition at Index in the list's own order.
  TuxValueDef* FItemsAt(int Index) const { return FItems[static_cast<std::size_t>(Index)]; }

 private:
  friend class TuxDataStorage;
  TuxDataStorage* FStorage;
  std::vector<TuxValueDef*> FItems;
  int FStartOffset = 0;
  int FRecordSize = 0;
};

class TuxInternalValueDefs : public TuxValueDefs {
  PV_CLASS(TuxInternalValueDefs, TuxValueDefs)
 public:
  using TuxValueDefs::TuxValueDefs;
  bool IsInternal() const override { return true; }
  // The twin whose source is Def, searching from the last entry.
  TuxInternalValueDef* FindTwin(const TuxValueDef* Def) const;
  void RemoveTwin(const TuxValueDef* Def);

 protected:
  TuxValueDef* CreateDef(TuxValueTypeClass AValueTypeClass) override;
};

// What fills a record: the data controller and the dataset binding derive
// their readers from it.
class TuxValueDefReader : public TObject {
  PV_CLASS(TuxValueDefReader, TObject)
 public:
  TuxValueDefReader() = default;
  virtual void TextOf(TuxValueDef* Def, AnsiString& Text) { Text.clear(); }
  virtual void ValueOf(TuxValueDef* Def, Variant& Value) { Value = Null(); }
  virtual bool Skips(TuxValueDef* Def) { return false; }
};

// ---------------------------------------------------------------------------
// Record storage

using TuxCopyRecordValueProc = void (*)(TObject* AOwner, TuxValueDef* ADef, int AFromIndex,
                                        TuxValueDefReader* AReader, int AToIndex);
using TuxValueDefCompareProc = int (*)(TuxValueDef* A, TuxValueDef* B);

class TuxDataStorage : public TObject {
  PV_CLASS(TuxDataStorage, TObject)
 public:
  TuxDataStorage();
  ~TuxDataStorage() override;

  virtual void LayoutDefs(TuxValueDefs* Defs);
  virtual void DefsChanged(TuxValueDef* Def, bool ResyncNeeded) {}
  virtual TuxValueDefs* DefsOfRecord(int RecordIndex) const;

  TuxValueDefs* ValueDefs() const { return FValueDefs; }
  TuxInternalValueDefs* InternalValueDefs() const { return FInternalValueDefs; }
  int ValuesOffset() const { return FKeepRecordIds ? 5 : 1; }

  // Raise EListError for an index outside the list.
  Byte* RecordBuffer(int RecordIndex) const;
  Byte* EnsureRecordBuffer(int RecordIndex);
  void SetRecordBufferPtr(int RecordIndex, Byte* Buffer);
  void ReleaseRecordBuffer(int RecordIndex);

  int RecordCount() const { return static_cast<int>(FRecords.size()); }
  void SetRecordCount(int Value);
  int InternalRecordCount() const { return static_cast<int>(FInternalRecords.size()); }
  int AddRecord();
  int InsertRecordAt(int RecordIndex);
  void RemoveRecord(int RecordIndex);
  int NewInternalRecord();
  void ClearAll(bool KeepInternal);
  void ClearInternal();
  void ClearBuffers(bool DeleteEntries);
  void AssignMissingIds(int RecordIndex = -1);
  int RecordId(int RecordIndex);
  void SetRecordId(int RecordIndex, int Id);

  // Callers pass the normal definition whatever the record index.
  void RecordValue(int RecordIndex, TuxValueDef* Def, Variant& V);
  void RecordText(int RecordIndex, TuxValueDef* Def, AnsiString& S);
  void SetRecordValue(int RecordIndex, TuxValueDef* Def, const Variant& V);
  void SetRecordText(int RecordIndex, TuxValueDef* Def, const AnsiString& S);
  bool MapToInternalDef(int RecordIndex, TuxValueDef*& Def) const;
  int CompareRecordValues(int RecordIndex1, int RecordIndex2, TuxValueDef* Def) const;
  // True when the value is null; otherwise Content is what the value compares on.
  bool ValueDataPointer(int RecordIndex, TuxValueDef* Def, const void*& Content);
  void FillRecord(int RecordIndex, TuxValueDefReader* Reader);
  void CopyRecordValues(int FromIndex, int ToIndex, TuxCopyRecordValueProc Proc, TObject* Owner,
                        TuxValueDefReader* Reader);

  // A byte (1: no buffer, nothing follows; 0: a buffer), the id when ids are
  // kept, then each streamed slot in the current definition order, each
  // followed by its kept text. Loading reads into a fresh buffer that
  // replaces the record only when the whole record was read.
  void LoadRecord(int RecordIndex, TStream* Stream);
  void SaveRecord(int RecordIndex, TStream* Stream);
  // The stream form of one normal record read into a new buffer (nullptr for
  // a record without one), leaving the records as they are; Id receives the
  // record's id when ids are kept.
  Byte* ReadRecordBuffer(TStream* Stream, int& Id);
  // Frees a buffer of the normal layout that belongs to no record.
  void FreeRecordBuffer(Byte* Buffer) { ReleaseBuffer(Buffer, FValueDefs); }
  // Gives records 0 .. Buffers.size() - 1 the buffers (the counts must
  // match), freeing their old ones; the list is emptied. The next id becomes
  // at least one above every id of the new buffers.
  void ReplaceRecordBuffers(std::vector<Byte*>& Buffers);
  void BeginStreamOrder(TuxValueDefCompareProc CompareProc);
  void EndStreamOrder();
  const std::vector<TuxValueDef*>* StreamOrder() const { return FStreamOrder.get(); }
  void BeginLoading() {}
  void EndLoading() {}

  bool KeptValuesOnly() const { return FKeptValuesOnly; }
  void SetKeptValuesOnly(bool Value);
  bool KeepRecordIds() const { return FKeepRecordIds; }
  void SetKeepRecordIds(bool Value);
  int NextRecordId() const { return FNextId; }

  void AddDefSlot(int Position, TuxValueDef* Def);
  void RemoveDefSlot(TuxValueDef* Def);

  static void SetRecordFlag(Byte* Buffer, Byte Bits, bool On);
  static bool RecordFlagIsSet(const Byte* Buffer, Byte Bits);

  TNotifyEvent OnInternalRecordsCleared;

 private:
  std::vector<Byte*>& ListOf(int RecordIndex);
  const std::vector<Byte*>& ListOf(int RecordIndex) const;
  std::size_t EntryOf(int RecordIndex) const;
  void FreeInternalRecord(int RecordIndex);
  void ReleaseBuffer(Byte* Buffer, TuxValueDefs* Defs);
  void ReleaseNormalBuffers();
  Byte* ReadBuffer(TuxValueDefs* Defs, bool WithId, TStream* Stream, int& Id);

  bool FDestroying = false;
  std::vector<Byte*> FInternalRecords;
  TuxInternalValueDefs* FInternalValueDefs = nullptr;
  bool FKeptValuesOnly = false;
  std::vector<Byte*> FRecords;
  int FNextId = 1;
  bool FKeepRecordIds = false;
  TuxValueDefs* FValueDefs = nullptr;
  std::unique_ptr<std::vector<TuxValueDef*>> FStreamOrder;
};

// ---------------------------------------------------------------------------
// Lookup list: display texts by key, kept sorted by key by its users.

struct TuxLookupListItem {
  Variant KeyValue;
  AnsiString DisplayText;
};

class TuxLookupList : public TObject {
  PV_CLASS(TuxLookupList, TObject)
 public:
  TuxLookupList() = default;
  ~TuxLookupList() override { Clear(); }
  void Clear() { FItems.clear(); }
  // Binary search by uxCompareVariants: true and the index of the key, or
  // false and the position at which it would be inserted.
  bool Find(const Variant& Key, int& Index) const;
  void Insert(int Index, const Variant& Key, const AnsiString& Text);
  // Raises EListError for an index out of range.
  const TuxLookupListItem& GetItem(int Index) const;
  int Count() const { return static_cast<int>(FItems.size()); }

 private:
  std::vector<TuxLookupListItem> FItems;
};
