// Datasets, fields, data sources and data links.
//
// A dataset holds a client-side snapshot of its rows in key order. Rows are
// kept packed as read from the file; fields decode the value they are asked
// for. A window of record buffers (as many as the largest BufferCount of the
// data links) follows the current record; data links see it through
// ActiveRecord, RecordCount and the scroll distances they are told.
//
// Events reach data links through their data source: links that are not
// visual controls first, then visual ones, each in the reverse order of
// attaching.
#pragma once
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>
#include "platform/classes/classes.h"
#include "platform/classes/events.h"
#include "platform/db/dbtypes.h"
#include "platform/rtl/currency.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/streams.h"
#include "platform/rtl/types.h"
#include "platform/rtl/variants.h"

class TDataSet;
class TField;
class TFields;
class TDataSource;
class TDataLink;
class TStrings;

namespace pvdb {
class FilterExpr;
// One value of a record: null, integer, floating point, CP936 text or bytes.
struct Cell {
  enum Kind : unsigned char { Null, Int, Float, Text, Blob };
  Kind kind = Null;
  Int64 i = 0;
  double d = 0;
  std::string s;
  bool IsNull() const { return kind == Null; }
};

// Storage for packed rows: large blocks that never move, so rows can refer to
// their bytes by view. Freed all at once. Long texts and blobs are kept apart
// from the rows (AddOutOfLine), so that the rows stand close together and a
// walk over their short columns reads little memory.
class RowArena {
 public:
  std::string_view Add(std::string_view Data) { return FRows.Add(Data); }
  std::string_view AddOutOfLine(std::string_view Data) { return FLong.Add(Data); }
  void Clear() {
    FRows.Clear();
    FLong.Clear();
  }

 private:
  struct Blocks {
    std::vector<std::unique_ptr<char[]>> List;
    size_t Used = 0, Capacity = 0;
    std::string_view Add(std::string_view Data);
    void Clear();
  };
  Blocks FRows, FLong;
};

// The cells of one packed row, decoded once: where each column starts, found
// as far as the columns asked for, and each cell as it is first asked for.
// Reading another row starts over at little cost; Reset forgets the row (its
// bytes may be freed or reused after that).
class DecodedRow {
 public:
  // Column Col of the packed row Data; nullptr when the row has fewer
  // columns. The cell holds until another row is read or Reset.
  const Cell* Get(std::string_view Data, int Col);
  void Reset();

 private:
  struct Slot {
    std::uint32_t Offset = 0;  // where the column starts in the row
    std::uint32_t Stamp = 0;   // FStamp when Value was decoded from this row
    Cell Value;
  };
  const char* FData = nullptr;
  size_t FSize = 0;
  size_t FScanned = 0;  // columns whose Offset is known for this row
  std::uint32_t FStamp = 0;
  std::vector<Slot> FSlots;
};
}  // namespace pvdb

using TDataSetNotifyEvent = TEvent<void(TDataSet* DataSet)>;
using TFilterRecordEvent = TEvent<void(TDataSet* DataSet, bool& Accept)>;
using TFieldNotifyEvent = TEvent<void(TField* Sender)>;
using TFieldGetTextEvent = TEvent<void(TField* Sender, AnsiString& Text, bool DisplayText)>;
using TFieldSetTextEvent = TEvent<void(TField* Sender, const AnsiString& Text)>;
using TDataChangeEvent = TEvent<void(TObject* Sender, TField* Field)>;

using TBookmarkStr = AnsiString;  // opaque; empty means none
using TBookmark = void*;          // from GetBookmark, released by FreeBookmark

// Raises EDatabaseError; with a named component the message is "Name: Message".
[[noreturn]] void DatabaseError(const AnsiString& Message, const TComponent* Component = nullptr);
[[noreturn]] void DatabaseErrorFmt(const AnsiString& Fmt, TVarRecList Args, const TComponent* Component = nullptr);

// The next name of the ';'-separated list Fields from the 1-based Pos, without
// the blanks around it; Pos is left after the separator (past the end after
// the last name).
AnsiString ExtractFieldName(const AnsiString& Fields, int& Pos);

// ---------------------------------------------------------------------------
// Field definitions

class TFieldDef : public TPersistent {
  PV_CLASS(TFieldDef, TPersistent)
 public:
  TFieldDef() = default;
  TFieldDef(const AnsiString& AName, TFieldType ADataType, int ASize, bool ARequired, int AFieldNo)
      : Name(AName), DataType(ADataType), Size(ASize), Required(ARequired), FieldNo(AFieldNo) {}
  AnsiString Name;
  TFieldType DataType = ftUnknown;
  int Size = 0;
  bool Required = false;
  int FieldNo = 0;  // 1-based column of the row
  int Precision = 0;
  bool ReadOnly = false;  // auto-increment keys
  // The field class that represents this type.
  TClass FieldClass() const;
};

class TFieldDefs : public TPersistent {
  PV_CLASS(TFieldDefs, TPersistent)
 public:
  int Count() const { return static_cast<int>(FItems.size()); }
  TFieldDef* Items(int Index) const;
  TFieldDef* operator[](int Index) const { return Items(Index); }
  TFieldDef* Add(const AnsiString& Name, TFieldType DataType, int Size = 0, bool Required = false);
  TFieldDef* Find(const AnsiString& Name) const;  // raises "Field '%s' not found"
  int IndexOf(const AnsiString& Name) const;
  void Clear() { FItems.clear(); }
  void GetItemNames(TStrings* List) const;

 private:
  std::vector<std::unique_ptr<TFieldDef>> FItems;
};

// ---------------------------------------------------------------------------
// Fields

class TField : public TComponent {
  PV_CLASS(TField, TComponent)
 public:
  explicit TField(TComponent* AOwner);
  ~TField() override;

  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* Value);

  const AnsiString& FieldName() const { return FFieldName; }
  void SetFieldName(const AnsiString& Value);
  int FieldNo() const { return FFieldNo; }
  int Index() const;
  void SetIndex(int Value);
  TFieldType DataType() const { return FDataType; }
  TFieldKind FieldKind() const { return FFieldKind; }
  void SetFieldKind(TFieldKind Value);
  bool Calculated() const { return FFieldKind == fkCalculated; }
  bool Lookup() const { return FFieldKind == fkLookup; }
  void SetLookup(bool Value) { SetFieldKind(Value ? fkLookup : fkData); }
  int Size() const { return FSize; }
  virtual void SetSize(int Value);
  // Bytes of the native buffer of GetData/SetData.
  virtual int DataSize() const { return 0; }

  AnsiString DisplayLabel() const { return FDisplayLabel.empty() ? DisplayName() : FDisplayLabel; }
  void SetDisplayLabel(const AnsiString& Value);
  AnsiString DisplayName() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }
  int DisplayWidth() const;
  void SetDisplayWidth(int Value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool Value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool Required() const { return FRequired; }
  void SetRequired(bool Value) { FRequired = Value; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  const AnsiString& EditMask() const { return FEditMask; }
  void SetEditMask(const AnsiString& Value) { FEditMask = Value; }
  const AnsiString& Origin() const { return FOrigin; }
  void SetOrigin(const AnsiString& Value) { FOrigin = Value; }
  bool CanModify() const;
  bool IsIndexField() const { return false; }

  // Values of the current record.
  bool IsNull() const;
  virtual void Clear();
  AnsiString AsString() const { return GetAsString(); }
  void SetAsString(const AnsiString& Value) { SetAsStringImpl(Value); }
  Integer AsInteger() const { return GetAsInteger(); }
  void SetAsInteger(Integer Value) { SetAsIntegerImpl(Value); }
  double AsFloat() const { return GetAsFloat(); }
  void SetAsFloat(double Value) { SetAsFloatImpl(Value); }
  Currency AsCurrency() const { return GetAsCurrency(); }
  void SetAsCurrency(Currency Value) { SetAsCurrencyImpl(Value); }
  bool AsBoolean() const { return GetAsBoolean(); }
  void SetAsBoolean(bool Value) { SetAsBooleanImpl(Value); }
  TDateTime AsDateTime() const { return GetAsDateTime(); }
  void SetAsDateTime(TDateTime Value) { SetAsDateTimeImpl(Value); }
  Variant AsVariant() const { return GetAsVariant(); }
  void SetAsVariant(const Variant& Value) { SetAsVariantImpl(Value); }
  Variant Value() const { return GetAsVariant(); }
  void SetValue(const Variant& Value) { SetAsVariantImpl(Value); }
  WideString AsWideString() const;
  void SetAsWideString(const WideString& Value);
  // The value as the record held it before the current edit (Null on a new record).
  Variant OldValue() const;

  // Text for display and for editing; OnGetText may supply either.
  AnsiString DisplayText() const { return GetText(true); }
  AnsiString Text() const { return GetText(false); }
  void SetText(const AnsiString& Value);
  // The text an editor shows and writes back (the same as Text).
  AnsiString EditText() const { return GetText(false); }
  void SetEditText(const AnsiString& Value) { SetText(Value); }
  const AnsiString& DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(const AnsiString& Value);
  const AnsiString& EditFormat() const { return FEditFormat; }
  void SetEditFormat(const AnsiString& Value) { FEditFormat = Value; }

  virtual bool IsValidChar(char InputChar) const;
  virtual bool IsBlob() const { return false; }
  // Native buffer: copies the value into Buffer (DataSize bytes); false when null.
  virtual bool GetData(void* Buffer) const;
  // Stores the value from a native buffer; a null Buffer clears the field.
  virtual void SetData(const void* Buffer);
  void FocusControl();

  // Lookup fields.
  TDataSet* LookupDataSet() const { return FLookupDataSet; }
  void SetLookupDataSet(TDataSet* Value);
  AnsiString KeyFields;
  AnsiString LookupKeyFields;
  AnsiString LookupResultField;

  TFieldGetTextEvent OnGetText;
  TFieldSetTextEvent OnSetText;
  TFieldNotifyEvent OnChange;
  TFieldNotifyEvent OnValidate;

  void Notification(TComponent* AComponent, TOperation Operation) override;

  // The value as a cell (used by the dataset and the fields of other kinds).
  pvdb::Cell GetCell() const;
  // The cell without a copy; nullptr when the field has no value.
  const pvdb::Cell* PeekCell() const;
  void SetCell(pvdb::Cell Value);

 protected:
  friend class TDataSet;
  virtual AnsiString GetAsString() const;
  virtual Integer GetAsInteger() const;
  virtual double GetAsFloat() const;
  virtual Currency GetAsCurrency() const;
  virtual bool GetAsBoolean() const;
  virtual TDateTime GetAsDateTime() const;
  virtual Variant GetAsVariant() const;
  virtual void SetAsStringImpl(const AnsiString& Value);
  virtual void SetAsIntegerImpl(Integer Value);
  virtual void SetAsFloatImpl(double Value);
  virtual void SetAsCurrencyImpl(Currency Value);
  virtual void SetAsBooleanImpl(bool Value);
  virtual void SetAsDateTimeImpl(TDateTime Value);
  virtual void SetAsVariantImpl(const Variant& Value);
  // Text of the value for display or editing when no OnGetText is set.
  virtual AnsiString GetDisplayText(bool Display) const { return GetAsString(); }
  virtual TAlignment DefaultAlignment() const { return taLeftJustify; }
  virtual int DefaultWidth() const { return 10; }
  [[noreturn]] void AccessError(const char* TypeName) const;
  [[noreturn]] void RangeError(double Value, double Min, double Max) const;
  void CheckInactive() const;
  AnsiString GetText(bool Display) const;
  void PropertyChanged(bool Layout);

  TDataSet* FDataSet = nullptr;
  AnsiString FFieldName;
  int FFieldNo = 0;
  TFieldType FDataType = ftUnknown;
  TFieldKind FFieldKind = fkData;
  int FSize = 0;
  AnsiString FDisplayLabel;
  int FDisplayWidth = 0;
  bool FVisible = true;
  bool FReadOnly = false;
  bool FRequired = false;
  TAlignment FAlignment = taLeftJustify;
  bool FAlignmentSet = false;
  AnsiString FEditMask, FOrigin, FDisplayFormat, FEditFormat;
  TDataSet* FLookupDataSet = nullptr;
  int FCalcIndex = -1;  // slot among the calculated and lookup fields
};

class TStringField : public TField {
  PV_CLASS(TStringField, TField)
 public:
  explicit TStringField(TComponent* AOwner);
  // Size counts characters: a double-byte character is one.
  int DataSize() const override { return FSize * 2 + 1; }
  bool GetData(void* Buffer) const override;
  void SetData(const void* Buffer) override;
  bool FixedChar = false;
  bool Transliterate = true;

 protected:
  AnsiString GetAsString() const override;
  Integer GetAsInteger() const override;
  double GetAsFloat() const override;
  Currency GetAsCurrency() const override;
  bool GetAsBoolean() const override;
  TDateTime GetAsDateTime() const override;
  Variant GetAsVariant() const override;
  void SetAsStringImpl(const AnsiString& Value) override;
  void SetAsIntegerImpl(Integer Value) override;
  void SetAsFloatImpl(double Value) override;
  void SetAsCurrencyImpl(Currency Value) override;
  void SetAsBooleanImpl(bool Value) override;
  void SetAsDateTimeImpl(TDateTime Value) override;
  void SetAsVariantImpl(const Variant& Value) override;
  int DefaultWidth() const override { return FSize > 0 ? FSize : 20; }
};

class TWideStringField : public TStringField {
  PV_CLASS(TWideStringField, TStringField)
 public:
  explicit TWideStringField(TComponent* AOwner);

 protected:
  Variant GetAsVariant() const override;
};

class TGuidField : public TStringField {
  PV_CLASS(TGuidField, TStringField)
 public:
  explicit TGuidField(TComponent* AOwner);
};

class TNumericField : public TField {
  PV_CLASS(TNumericField, TField)
 public:
  explicit TNumericField(TComponent* AOwner);

 protected:
  TAlignment DefaultAlignment() const override { return taRightJustify; }
};

class TIntegerField : public TNumericField {
  PV_CLASS(TIntegerField, TNumericField)
 public:
  explicit TIntegerField(TComponent* AOwner);
  int DataSize() const override { return 4; }
  bool GetData(void* Buffer) const override;
  void SetData(const void* Buffer) override;
  Integer MinValue() const { return FMinValue; }
  void SetMinValue(Integer Value) { FMinValue = Value; }
  Integer MaxValue() const { return FMaxValue; }
  void SetMaxValue(Integer Value) { FMaxValue = Value; }
  bool IsValidChar(char InputChar) const override;

 protected:
  AnsiString GetAsString() const override;
  Integer GetAsInteger() const override;
  double GetAsFloat() const override;
  Currency GetAsCurrency() const override;
  bool GetAsBoolean() const override;
  Variant GetAsVariant() const override;
  void SetAsStringImpl(const AnsiString& Value) override;
  void SetAsIntegerImpl(Integer Value) override;
  void SetAsFloatImpl(double Value) override;
  void SetAsCurrencyImpl(Currency Value) override;
  void SetAsBooleanImpl(bool Value) override;
  void SetAsVariantImpl(const Variant& Value) override;
  AnsiString GetDisplayText(bool Display) const override;
  // Checks the range and stores.
  virtual void StoreInt(Int64 Value);
  virtual Int64 TypeMin() const { return -2147483647 - 1; }
  virtual Int64 TypeMax() const { return 2147483647; }
  Integer FMinValue = 0;
  Integer FMaxValue = 0;
};

class TSmallintField : public TIntegerField {
  PV_CLASS(TSmallintField, TIntegerField)
 public:
  explicit TSmallintField(TComponent* AOwner);
  int DataSize() const override { return 2; }
  bool GetData(void* Buffer) const override;
  void SetData(const void* Buffer) override;

 protected:
  Int64 TypeMin() const override { return -32768; }
  Int64 TypeMax() const override { return 32767; }
};

class TWordField : public TIntegerField {
  PV_CLASS(TWordField, TIntegerField)
 public:
  explicit TWordField(TComponent* AOwner);
  int DataSize() const override { return 2; }
  bool GetData(void* Buffer) const override;
  void SetData(const void* Buffer) override;

 protected:
  Int64 TypeMin() const override { return 0; }
  Int64 TypeMax() const override { return 65535; }
};

class TAutoIncField : public TIntegerField {
  PV_CLASS(TAutoIncField, TIntegerField)
 public:
  explicit TAutoIncField(TComponent* AOwner);
};

class TLargeintField : public TNumericField {
  PV_CLASS(TLargeintField, TNumericField)
 public:
  explicit TLargeintField(TComponent* AOwner);
  int DataSize() const override { return 8; }
  bool GetData(void* Buffer) const override;
  void SetData(const void* Buffer) override;
  Int64 AsLargeInt() const;
  void SetAsLargeInt(Int64 Value);

 protected:
  AnsiString GetAsString() const override;
  Integer GetAsInteger() const override;
  double GetAsFloat() const override;
  Variant GetAsVariant() const override;
  void SetAsStringImpl(const AnsiString& Value) override;
  void SetAsIntegerImpl(Integer Value) override;
  void SetAsFloatImpl(double Value) override;
  void SetAsVariantImpl(const Variant& Value) override;
  AnsiString GetDisplayText(bool Display) const override;
};

class TFloatField : public TNumericField {
  PV_CLASS(TFloatField, TNumericField)
 public:
  explicit TFloatField(TComponent* AOwner);
  int DataSize() const override { return 8; }
  bool GetData(void* Buffer) const override;
  void SetData(const void* Buffer) override;
  int Precision() const { return FPrecision; }
  void SetPrecision(int Value);
  bool IsCurrency() const { return FCurrency; }
  void SetCurrency(bool Value);
  // A range checked when both are not 0.
  double MinValue() const { return FMinValue; }
  void SetMinValue(double Value) { FMinValue = Value; }
  double MaxValue() const { return FMaxValue; }
  void SetMaxValue(double Value) { FMaxValue = Value; }
  bool IsValidChar(char InputChar) const override;

 protected:
  AnsiString GetAsString() const override;
  Integer GetAsInteger() const override;
  double GetAsFloat() const override;
  Currency GetAsCurrency() const override;
  Variant GetAsVariant() const override;
  void SetAsStringImpl(const AnsiString& Value) override;
  void SetAsIntegerImpl(Integer Value) override;
  void SetAsFloatImpl(double Value) override;
  void SetAsCurrencyImpl(Currency Value) override;
  void SetAsVariantImpl(const Variant& Value) override;
  AnsiString GetDisplayText(bool Display) const override;
  int FPrecision = 15;
  bool FCurrency = false;
  double FMinValue = 0, FMaxValue = 0;
};

class TCurrencyField : public TFloatField {
  PV_CLASS(TCurrencyField, TFloatField)
 public:
  explicit TCurrencyField(TComponent* AOwner);

 protected:
  Variant GetAsVariant() const override;
};

class TBCDField : public TNumericField {
  PV_CLASS(TBCDField, TNumericField)
 public:
  explicit TBCDField(TComponent* AOwner);
  int DataSize() const override { return 8; }  // scaled currency
  bool GetData(void* Buffer) const override;
  void SetData(const void* Buffer) override;
  int Precision() const { return FPrecision; }
  void SetPrecision(int Value) { FPrecision = Value; }

 protected:
  AnsiString GetAsString() const override;
  Integer GetAsInteger() const override;
  double GetAsFloat() const override;
  Currency GetAsCurrency() const override;
  Variant GetAsVariant() const override;
  void SetAsStringImpl(const AnsiString& Value) override;
  void SetAsIntegerImpl(Integer Value) override;
  void SetAsFloatImpl(double Value) override;
  void SetAsCurrencyImpl(Currency Value) override;
  void SetAsVariantImpl(const Variant& Value) override;
  int FPrecision = 0;
};

class TBooleanField : public TField {
  PV_CLASS(TBooleanField, TField)
 public:
  explicit TBooleanField(TComponent* AOwner);
  int DataSize() const override { return 2; }
  bool GetData(void* Buffer) const override;
  void SetData(const void* Buffer) override;
  // "True text;False text"; the default is "True;False".
  const AnsiString& DisplayValues() const { return FDisplayValues; }
  void SetDisplayValues(const AnsiString& Value);

 protected:
  AnsiString GetAsString() const override;
  bool GetAsBoolean() const override;
  Integer GetAsInteger() const override;
  Variant GetAsVariant() const override;
  void SetAsStringImpl(const AnsiString& Value) override;
  void SetAsBooleanImpl(bool Value) override;
  void SetAsIntegerImpl(Integer Value) override;
  void SetAsVariantImpl(const Variant& Value) override;
  AnsiString GetDisplayText(bool Display) const override;
  AnsiString FDisplayValues;
  AnsiString FTrueText = "True", FFalseText = "False";
};

class TDateTimeField : public TField {
  PV_CLASS(TDateTimeField, TField)
 public:
  explicit TDateTimeField(TComponent* AOwner);
  int DataSize() const override { return 8; }
  bool GetData(void* Buffer) const override;
  void SetData(const void* Buffer) override;

 protected:
  AnsiString GetAsString() const override;
  double GetAsFloat() const override;
  TDateTime GetAsDateTime() const override;
  Variant GetAsVariant() const override;
  void SetAsStringImpl(const AnsiString& Value) override;
  void SetAsFloatImpl(double Value) override;
  void SetAsDateTimeImpl(TDateTime Value) override;
  void SetAsVariantImpl(const Variant& Value) override;
  AnsiString GetDisplayText(bool Display) const override;
  virtual AnsiString FormatValue(TDateTime Value) const;
  virtual TDateTime ParseText(const AnsiString& Text) const;
};

class TDateField : public TDateTimeField {
  PV_CLASS(TDateField, TDateTimeField)
 public:
  explicit TDateField(TComponent* AOwner);

 protected:
  AnsiString FormatValue(TDateTime Value) const override;
  TDateTime ParseText(const AnsiString& Text) const override;
};

class TTimeField : public TDateTimeField {
  PV_CLASS(TTimeField, TDateTimeField)
 public:
  explicit TTimeField(TComponent* AOwner);

 protected:
  AnsiString FormatValue(TDateTime Value) const override;
  TDateTime ParseText(const AnsiString& Text) const override;
};

class TBlobField : public TField {
  PV_CLASS(TBlobField, TField)
 public:
  explicit TBlobField(TComponent* AOwner);
  bool IsBlob() const override { return true; }
  // The whole value as bytes (CP936 text for memos).
  AnsiString BlobValue() const;
  void SetBlobValue(const AnsiString& Value);
  int BlobSize() const;
  void LoadFromStream(TStream* Stream);
  void SaveToStream(TStream* Stream) const;
  void LoadFromFile(const AnsiString& FileName);
  void SaveToFile(const AnsiString& FileName) const;
  bool Modified() const;

 protected:
  AnsiString GetAsString() const override;
  Variant GetAsVariant() const override;
  void SetAsStringImpl(const AnsiString& Value) override;
  void SetAsVariantImpl(const Variant& Value) override;
  AnsiString GetDisplayText(bool Display) const override;
  virtual bool StoresText() const { return false; }
};

class TMemoField : public TBlobField {
  PV_CLASS(TMemoField, TBlobField)
 public:
  explicit TMemoField(TComponent* AOwner);

 protected:
  bool StoresText() const override { return true; }
  AnsiString GetDisplayText(bool Display) const override;
};

class TGraphicField : public TBlobField {
  PV_CLASS(TGraphicField, TBlobField)
 public:
  explicit TGraphicField(TComponent* AOwner);

 protected:
  AnsiString GetDisplayText(bool Display) const override;
};

class TVariantField : public TField {
  PV_CLASS(TVariantField, TField)
 public:
  explicit TVariantField(TComponent* AOwner);

 protected:
  AnsiString GetAsString() const override;
  Integer GetAsInteger() const override;
  double GetAsFloat() const override;
  bool GetAsBoolean() const override;
  TDateTime GetAsDateTime() const override;
  Variant GetAsVariant() const override;
  void SetAsStringImpl(const AnsiString& Value) override;
  void SetAsIntegerImpl(Integer Value) override;
  void SetAsFloatImpl(double Value) override;
  void SetAsBooleanImpl(bool Value) override;
  void SetAsDateTimeImpl(TDateTime Value) override;
  void SetAsVariantImpl(const Variant& Value) override;
};

// Creates the field class for a field type (nullptr for types without one).
TClass FieldClassOf(TFieldType Type);
AnsiString FieldTypeName(TFieldType Type);

// The dataset's fields in their order.
class TFields : public TObject {
  PV_CLASS(TFields, TObject)
 public:
  explicit TFields(TDataSet* ADataSet) : FDataSet(ADataSet) {}
  int Count() const { return static_cast<int>(FList.size()); }
  TField* Fields(int Index) const;
  TField* operator[](int Index) const { return Fields(Index); }
  TField* FindField(const AnsiString& FieldName) const;
  TField* FieldByName(const AnsiString& FieldName) const;
  TField* FieldByNumber(int FieldNo) const;
  int IndexOf(const TField* Field) const;
  TDataSet* DataSet() const { return FDataSet; }
  void GetFieldNames(TStrings* List) const;

 private:
  friend class TDataSet;
  friend class TField;
  void Add(TField* Field);
  void Remove(TField* Field);
  void Clear();
  void Rehash();
  TDataSet* FDataSet;
  std::vector<TField*> FList;
  std::unordered_map<std::string, TField*> FByName;  // upper-case names
};

// ---------------------------------------------------------------------------
// Datasets

class TDataSet : public TComponent {
  PV_CLASS(TDataSet, TComponent)
 public:
  explicit TDataSet(TComponent* AOwner);
  ~TDataSet() override;

  // ---- state ----
  bool Active() const { return FState != dsInactive; }
  void SetActive(bool Value);
  void Open() { SetActive(true); }
  void Close() { SetActive(false); }
  TDataSetState State() const { return FState; }
  bool Modified() const { return FModified; }
  bool CanModify() const;
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  bool IsSequenced() const { return true; }
  bool IsUnidirectional() const { return false; }
  bool DefaultFields() const { return FDefaultFields; }

  // ---- navigation ----
  void First();
  void Last();
  void Next() { MoveBy(1); }
  void Prior() { MoveBy(-1); }
  // Moves by Distance records; returns how many it moved (negative backwards).
  int MoveBy(int Distance);
  bool Eof() const { return FEOF; }
  bool Bof() const { return FBOF; }
  bool IsEmpty() const;
  // 1-based position of the current record; -1 while inserting or when empty.
  int RecNo() const;
  void SetRecNo(int Value);
  int RecordCount() const;

  // ---- editing ----
  void Edit();
  void Insert();
  void Append();
  void Post();
  void Cancel();
  void Delete();
  void CheckBrowseMode();
  void UpdateRecord();
  void Refresh();
  void Requery() { Refresh(); }
  void ClearFields();
  void AppendRecord(const std::vector<Variant>& Values);

  // ---- fields ----
  TFields* Fields() const { return FFields.get(); }
  int FieldCount() const { return FFields->Count(); }
  TFieldDefs* FieldDefs() const { return FFieldDefs.get(); }
  TField* FieldByName(const AnsiString& FieldName) const { return FFields->FieldByName(FieldName); }
  TField* FindField(const AnsiString& FieldName) const { return FFields->FindField(FieldName); }
  TField* FieldByNumber(int FieldNo) const { return FFields->FieldByNumber(FieldNo); }
  // Fields named in a ';'-separated list; raises for an unknown name.
  void GetFieldList(std::vector<TField*>& List, const AnsiString& FieldNames) const;
  void GetFieldNames(TStrings* List) const { FFields->GetFieldNames(List); }
  // One name: the field's value; several: a variant array of their values.
  Variant FieldValues(const AnsiString& FieldNames) const;
  void SetFieldValues(const AnsiString& FieldNames, const Variant& Value);
  Variant GetFieldValue(const AnsiString& FieldNames) const { return FieldValues(FieldNames); }
  void SetFieldValue(const AnsiString& FieldNames, const Variant& Value) { SetFieldValues(FieldNames, Value); }

  // ---- searching ----
  bool Locate(const AnsiString& KeyFields, const Variant& KeyValues, TLocateOptions Options);
  Variant Lookup(const AnsiString& KeyFields, const Variant& KeyValues, const AnsiString& ResultFields);

  // ---- bookmarks ----
  TBookmarkStr Bookmark() const;
  void SetBookmark(const TBookmarkStr& Value);
  TBookmark GetBookmark() const;
  void GotoBookmark(TBookmark Bookmark);
  void FreeBookmark(TBookmark Bookmark);
  bool BookmarkValid(TBookmark Bookmark) const;
  // -1, 0 or 1 in key order; a null bookmark comes first.
  int CompareBookmarks(TBookmark Bookmark1, TBookmark Bookmark2) const;

  // ---- controls ----
  void DisableControls();
  void EnableControls();
  bool ControlsDisabled() const { return FDisableCount != 0; }
  bool IsLinkedTo(TDataSource* DataSource) const;

  // ---- filtering ----
  const AnsiString& Filter() const { return FFilterText; }
  void SetFilter(const AnsiString& Value);
  bool Filtered() const { return FFiltered; }
  void SetFiltered(bool Value);
  TFilterOptions FilterOptions() const { return FFilterOptions; }
  void SetFilterOptions(TFilterOptions Value);
  const TFilterRecordEvent& OnFilterRecord() const { return FOnFilterRecord; }
  void SetOnFilterRecord(const TFilterRecordEvent& Value);

  // ---- blobs ----
  // A stream over a blob field of the current record; the caller frees it.
  // Writing needs the dataset in edit or insert state; the field takes the
  // data when the stream is freed.
  TStream* CreateBlobStream(TField* Field, TBlobStreamMode Mode);
  // Gives the field what a blob stream of CreateBlobStream holds now, raising
  // when the field refuses it (freeing the stream cannot report that); the
  // stream then writes nothing more when it is freed.
  static void CommitBlobStream(TStream* Stream);

  bool AutoCalcFields = true;

  // ---- events ----
  TDataSetNotifyEvent BeforeOpen, AfterOpen, BeforeClose, AfterClose;
  TDataSetNotifyEvent BeforeInsert, AfterInsert, BeforeEdit, AfterEdit;
  TDataSetNotifyEvent BeforePost, AfterPost, BeforeCancel, AfterCancel;
  TDataSetNotifyEvent BeforeDelete, AfterDelete, BeforeScroll, AfterScroll;
  TDataSetNotifyEvent BeforeRefresh, AfterRefresh;
  TDataSetNotifyEvent OnNewRecord, OnCalcFields;

  // ---- used by data sources, links and fields ----
  void DataEvent(TDataEvent Event, NativeInt Info);
  // Counts the changes to what the records show: rows read, posted or
  // deleted, the filter, the state, field values and the fields' display
  // settings. Moving the cursor leaves it alone, so a control that walked the
  // records can tell that a data set change after the walk changed nothing.
  // With calculated or lookup fields, whose values may come from elsewhere,
  // every data set change counts.
  std::uint64_t ChangeCount() const { return FChangeCount; }
  int BufferCount() const { return FBufferCount; }
  int ActiveRecord() const { return FActiveRecord; }
  int BufferRecordCount() const { return FRecordCount; }
  void SetActiveRecordIndex(int Value);
  void UpdateBufferCount();
  // The field's cell in the current record, or nullptr when it has no value.
  // The pointer holds until the dataset moves or changes.
  const pvdb::Cell* PeekFieldCell(const TField* Field) const;
  void SetFieldCell(TField* Field, pvdb::Cell Value);
  const pvdb::Cell* PeekOldCell(const TField* Field) const;

  void Notification(TComponent* AComponent, TOperation Operation) override;
  // Opens the dataset when a description set it active while being read.
  void Loaded() override;

 protected:
  friend class TField;
  friend class TFields;
  friend class TDataSource;
  friend class TDataLink;

  // ---- the provider: subclasses fill and write the snapshot ----
  struct Row {
    Int64 Id = 0;           // the row's identity in the file (its key order)
    std::string_view Data;  // packed values, one per column of the field definitions (in FArena)
  };
  // Reads the field definitions and all rows (in key order) into FFieldDefs and FRows.
  virtual void InternalOpen() = 0;
  virtual void InternalClose() {}
  // Writes a record. Original is null for a new record. Returns the row as the
  // file now holds it.
  virtual Row InternalPost(const Row* Original, const std::vector<pvdb::Cell>& Values) = 0;
  virtual void InternalDelete(const Row& R) = 0;
  // Re-reads all rows.
  virtual void InternalRefresh() = 0;
  // Whether the provider can write at all.
  virtual bool ProviderCanModify() const { return true; }
  // A new record's values before OnNewRecord (column defaults).
  virtual void InitRecord(std::vector<pvdb::Cell>& Values) {}

  void CheckActive() const;
  void CheckInactive() const;
  [[noreturn]] void Error(const AnsiString& Message) const;
  void CreateFields();
  void DestroyFields();
  void BindFields(bool Binding);

  std::vector<Row> FRows;
  pvdb::RowArena FArena;  // the bytes of FRows
  // The last row whose fields were read; reset whenever FRows or FArena may
  // have been replaced.
  mutable pvdb::DecodedRow FReadRow;
  std::unique_ptr<TFieldDefs> FFieldDefs;
  // The rows may have changed: forgets the decoded row and counts a change.
  void RowsChanged() {
    FReadRow.Reset();
    ++FChangeCount;
  }
  std::uint64_t FChangeCount = 0;

 private:
  struct Buffer {
    int Pos = -1;  // position in FView; -1 for the record being inserted
    std::vector<pvdb::Cell> Calc;
  };

  void SetState(TDataSetState Value);
  void DoBeforeScroll() { if (BeforeScroll) BeforeScroll(this); }
  void DoAfterScroll() { if (AfterScroll) AfterScroll(this); }
  void OpenCursor();
  void CloseCursor();
  void ClearBuffers();
  int GetNextRecord();
  bool GetPriorRecord();
  void FillBuffersAround(int Pos, int PreferredIndex);
  void Resync(int Pos, int PreferredIndex);
  void ResyncCurrent();
  int CurrentPos() const;
  int CurrentRowIndex() const;
  const Row* CurrentRow() const;
  void RebuildView();
  bool RowPassesFilter(int RowIndex);
  void CompileFilter();
  void CalculateFields(int BufferIndex);
  void CalculateFieldsFor(std::vector<pvdb::Cell>& Calc, int BufferIndex);
  void CheckRequiredFields();
  bool MatchRow(int RowIndex, const std::vector<TField*>& Fields, const std::vector<Variant>& Keys,
                TLocateOptions Options);
  int FindRow(const AnsiString& KeyFields, const Variant& KeyValues, TLocateOptions Options,
              std::vector<TField*>& Fields);
  int RowIndexOfId(Int64 Id) const;
  int ViewPosOfRow(int RowIndex) const;
  void InsertRowSorted(Row R, int& RowIndex);
  void EraseRow(int RowIndex);
  void BeginInsertAppend();
  void EndInsertAppend();
  void NotifySources(TDataEvent Event, NativeInt Info);
  void AddDataSource(TDataSource* Source);
  void RemoveDataSource(TDataSource* Source);

  TDataSetState FState = dsInactive;
  TDataSetState FDisableState = dsInactive;
  TDataEvent FEnableEvent = deDataSetChange;
  int FDisableCount = 0;
  bool FModified = false;
  bool FReadOnly = false;
  bool FBOF = true, FEOF = true;
  bool FDefaultFields = false;
  bool FInternalCalc = false;
  bool FStreamedActive = false;
  std::unique_ptr<TFields> FFields;
  std::vector<TDataSource*> FDataSources;

  std::vector<int> FView;  // row indexes passing the filters, in key order
  std::deque<Buffer> FBuffers;  // scrolling adds at one end and drops at the other
  int FBufferCount = 1;
  int FRecordCount = 0;
  int FActiveRecord = 0;

  // The record being edited or inserted.
  std::vector<pvdb::Cell> FEditValues;
  int FEditRow = -1;     // row index in FRows of the edited record; -1 when inserting
  int FEditBuffer = -1;  // buffer holding the edited record
  int FInsertReturnPos = -1;  // where a cancelled insert returns to
  bool FDisabledActive = false;

  // Value sources while calculating or filtering.
  std::vector<pvdb::Cell>* FCalcTarget = nullptr;
  int FTempRow = -1;  // a row read outside the buffers (filtering, lookup)
  int FCalcFieldCount = 0;

  AnsiString FFilterText;
  bool FFiltered = false;
  TFilterOptions FFilterOptions;
  TFilterRecordEvent FOnFilterRecord;
  std::unique_ptr<pvdb::FilterExpr> FFilterExpr;
  mutable std::vector<std::unique_ptr<Int64>> FBookmarks;  // handed out by GetBookmark
};

// Where a control's last full read of a data set's records left it: the data
// set, its change count and how many items the control made of the records.
// A data set change that finds all three as they were (another control walked
// the records and was done) changed nothing the control shows.
class TDataSetReadMark {
 public:
  void Set(const TDataSet* DataSet, int Items) {
    FDataSet = DataSet;
    FChanges = DataSet ? DataSet->ChangeCount() : 0;
    FItems = Items;
  }
  void Clear() { FDataSet = nullptr; }
  bool Holds(const TDataSet* DataSet, int Items) const {
    return DataSet && DataSet == FDataSet && DataSet->ChangeCount() == FChanges && Items == FItems;
  }

 private:
  const TDataSet* FDataSet = nullptr;
  std::uint64_t FChanges = 0;
  int FItems = 0;
};

// ---------------------------------------------------------------------------
// Data sources and links

class TDataSource : public TComponent {
  PV_CLASS(TDataSource, TComponent)
 public:
  explicit TDataSource(TComponent* AOwner);
  ~TDataSource() override;

  TDataSet* DataSet() const { return FDataSet; }
  void SetDataSet(TDataSet* Value);
  TDataSetState State() const { return FState; }
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool AutoEdit() const { return FAutoEdit; }
  void SetAutoEdit(bool Value) { FAutoEdit = Value; }
  // Puts the dataset into edit state when AutoEdit is on and it is browsing.
  void Edit();
  bool IsLinkedTo(TDataSet* DataSet) const;

  TDataChangeEvent OnDataChange;
  TNotifyEvent OnStateChange;
  TNotifyEvent OnUpdateData;

  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TDataSet;
  friend class TDataLink;
  void DataEvent(TDataEvent Event, NativeInt Info);
  void NotifyDataLinks(TDataEvent Event, NativeInt Info);
  void UpdateState();
  void SetState(TDataSetState Value);
  void AddDataLink(TDataLink* Link);
  void RemoveDataLink(TDataLink* Link);

  TDataSet* FDataSet = nullptr;
  TDataSetState FState = dsInactive;
  bool FEnabled = true;
  bool FAutoEdit = true;
  std::vector<TDataLink*> FDataLinks;
};

class TDataLink : public TPersistent {
  PV_CLASS(TDataLink, TPersistent)
 public:
  TDataLink() = default;
  ~TDataLink() override;
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;

  TDataSource* DataSource() const { return FDataSource; }
  void SetDataSource(TDataSource* Value);
  TDataSet* DataSet() const { return FDataSource ? FDataSource->DataSet() : nullptr; }
  bool Active() const { return FActive; }
  bool Editing() const { return FEditing; }
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  // Whether the link belongs to a visual control (those are told last).
  bool VisualControl() const { return FVisualControl; }
  void SetVisualControl(bool Value) { FVisualControl = Value; }
  int BufferCount() const { return FBufferCount; }
  void SetBufferCount(int Value);
  // Index of the current record within this link's window of buffers.
  int ActiveRecord() const;
  void SetActiveRecord(int Value);
  // Records in this link's window.
  int RecordCount() const;
  bool Edit();
  void UpdateRecord();
  bool Eof() const;
  bool Bof() const;
  // Scrolls the dataset by Distance (MoveBy).
  int MoveBy(int Distance);

 protected:
  friend class TDataSource;
  virtual void ActiveChanged() {}
  virtual void CheckBrowseMode() {}
  virtual void DataSetChanged() { RecordChanged(nullptr); }
  virtual void DataSetScrolled(int Distance) { DataSetChanged(); }
  virtual void EditingChanged() {}
  virtual void FocusControl(TField** Field) {}
  virtual void LayoutChanged() { DataSetChanged(); }
  virtual void RecordChanged(TField* Field) {}
  virtual void UpdateData() {}
  virtual void DataEvent(TDataEvent Event, NativeInt Info);
  int FirstRecord() const { return FFirstRecord; }

 private:
  friend class TDataSet;
  void UpdateState();
  void SetActive(bool Value);
  void SetEditing(bool Value);
  void UpdateRange();

  TDataSource* FDataSource = nullptr;
  int FFirstRecord = 0;
  int FBufferCount = 1;
  bool FActive = false;
  bool FEditing = false;
  bool FReadOnly = false;
  bool FUpdating = false;
  bool FVisualControl = false;
};

// The link of a control bound to one field.
class TFieldDataLink : public TDataLink {
  PV_CLASS(TFieldDataLink, TDataLink)
 public:
  TFieldDataLink() { SetVisualControl(true); }
  const AnsiString& FieldName() const { return FFieldName; }
  void SetFieldName(const AnsiString& Value);
  TField* Field() const { return FField; }
  bool CanModify() const;
  bool Edit();
  void Modified();
  void Reset();
  bool IsModified() const { return FModified; }
  TComponent* Control() const { return FControl; }
  void SetControl(TComponent* Value) { FControl = Value; }
  // True while the dataset edits and the field can be changed.
  bool Editing() const { return FEditing; }

  TNotifyEvent OnDataChange;
  TNotifyEvent OnEditingChange;
  TNotifyEvent OnUpdateData;
  TNotifyEvent OnActiveChange;

 protected:
  void ActiveChanged() override;
  void EditingChanged() override;
  void FocusControl(TField** Field) override;
  void LayoutChanged() override;
  void RecordChanged(TField* Field) override;
  void UpdateData() override;
  void DataEvent(TDataEvent Event, NativeInt Info) override;

 private:
  void SetField(TField* Value);
  void UpdateField();
  AnsiString FFieldName;
  TField* FField = nullptr;
  TComponent* FControl = nullptr;
  bool FEditing = false;
  bool FModified = false;
};
