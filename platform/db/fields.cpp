#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/db/db.h"
#include "platform/db/dbconsts.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/locale.h"
#include "platform/rtl/stringlist.h"
#include "platform/rtl/strings.h"

using pvdb::Cell;

namespace {

AnsiString UpperKey(const AnsiString& s) { return UpperCase(s); }

Int64 CellInt(const Cell& c, const TField* f) {
  switch (c.kind) {
    case Cell::Int: return c.i;
    case Cell::Float: return static_cast<Int64>(std::llround(c.d));
    case Cell::Text:
    case Cell::Blob: {
      Int64 v;
      if (TryStrToInt64(Trim(c.s), v)) return v;
      double d;
      if (TryStrToFloat(Trim(c.s), d)) return static_cast<Int64>(std::llround(d));
      DatabaseErrorFmt(SInvalidIntegerValue, {c.s, f->DisplayName()}, f->DataSet());
    }
    default: return 0;
  }
}

double CellFloat(const Cell& c, const TField* f) {
  switch (c.kind) {
    case Cell::Int: return static_cast<double>(c.i);
    case Cell::Float: return c.d;
    case Cell::Text:
    case Cell::Blob: {
      double d;
      if (TryStrToFloat(Trim(c.s), d)) return d;
      TDateTime t;
      if (TryStrToDateTime(c.s, t)) return t;
      DatabaseErrorFmt(SInvalidFloatValue, {c.s, f->DisplayName()}, f->DataSet());
    }
    default: return 0;
  }
}

AnsiString CellText(const Cell& c) {
  switch (c.kind) {
    case Cell::Int: return IntToStr(c.i);
    case Cell::Float: return FloatToStr(c.d);
    case Cell::Text:
    case Cell::Blob: return c.s;
    default: return {};
  }
}

Cell IntCell(Int64 v) {
  Cell c;
  c.kind = Cell::Int;
  c.i = v;
  return c;
}
Cell FloatCell(double v) {
  Cell c;
  c.kind = Cell::Float;
  c.d = v;
  return c;
}
Cell TextCell(AnsiString s) {
  Cell c;
  c.kind = Cell::Text;
  c.s = std::move(s);
  return c;
}

// The characters of S: a double-byte character counts as one.
size_t CharCount(const AnsiString& s) {
  size_t chars = 0;
  for (size_t i = 0; i < s.size(); ++chars) i += (IsDBCSLeadByte(s[i]) && i + 1 < s.size()) ? 2 : 1;
  return chars;
}

AnsiString FmtNumber(double v) { return FloatToStr(v); }

}  // namespace

// ---------------------------------------------------------------------------
// Field definitions

TClass TFieldDef::FieldClass() const { return FieldClassOf(DataType); }

TFieldDef* TFieldDefs::Items(int Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Format("List index out of bounds (%d)", {Index}));
  return FItems[Index].get();
}

TFieldDef* TFieldDefs::Add(const AnsiString& Name, TFieldType DataType, int Size, bool Required) {
  if (IndexOf(Name) >= 0) DatabaseErrorFmt(SDuplicateFieldName, {Name});
  FItems.push_back(std::make_unique<TFieldDef>(Name, DataType, Size, Required, Count() + 1));
  return FItems.back().get();
}

int TFieldDefs::IndexOf(const AnsiString& Name) const {
  for (int k = 0; k < Count(); ++k)
    if (SameText(FItems[k]->Name, Name)) return k;
  return -1;
}

TFieldDef* TFieldDefs::Find(const AnsiString& Name) const {
  int i = IndexOf(Name);
  if (i < 0) DatabaseErrorFmt(SFieldNotFound, {Name});
  return FItems[i].get();
}

void TFieldDefs::GetItemNames(TStrings* List) const {
  List->Clear();
  for (auto& d : FItems) List->Add(d->Name);
}

// ---------------------------------------------------------------------------
// TFields

TField* TFields::Fields(int Index) const {
  if (Index < 0 || Index >= Count()) DatabaseError(SFieldIndexError, FDataSet);
  return FList[Index];
}

TField* TFields::FindField(const AnsiString& FieldName) const {
  auto it = FByName.find(UpperKey(FieldName));
  return it == FByName.end() ? nullptr : it->second;
}

TField* TFields::FieldByName(const AnsiString& FieldName) const {
  TField* f = FindField(FieldName);
  if (!f) DatabaseErrorFmt(SFieldNotFound, {FieldName}, FDataSet);
  return f;
}

TField* TFields::FieldByNumber(int FieldNo) const {
  for (TField* f : FList)
    if (f->FieldNo() == FieldNo) return f;
  return nullptr;
}

int TFields::IndexOf(const TField* Field) const {
  auto it = std::find(FList.begin(), FList.end(), Field);
  return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

void TFields::GetFieldNames(TStrings* List) const {
  List->Clear();
  for (TField* f : FList) List->Add(f->FieldName());
}

void TFields::Add(TField* Field) {
  if (!Field->FieldName().empty() && FindField(Field->FieldName()))
    DatabaseErrorFmt(SDuplicateFieldName, {Field->FieldName()}, FDataSet);
  FList.push_back(Field);
  if (!Field->FieldName().empty()) FByName[UpperKey(Field->FieldName())] = Field;
}

void TFields::Remove(TField* Field) {
  FList.erase(std::remove(FList.begin(), FList.end(), Field), FList.end());
  Rehash();
}

void TFields::Clear() {
  FList.clear();
  FByName.clear();
}

void TFields::Rehash() {
  FByName.clear();
  for (TField* f : FList)
    if (!f->FieldName().empty()) FByName.emplace(UpperKey(f->FieldName()), f);
}

// ---------------------------------------------------------------------------
// TField

TField::TField(TComponent* AOwner) : TComponent(AOwner) {}

TField::~TField() {
  if (FDataSet) {
    TDataSet* ds = FDataSet;
    if (ds->Active()) {
      try {
        ds->Close();
      } catch (...) {
      }
    }
    ds->FFields->Remove(this);
    FDataSet = nullptr;
  }
  if (FLookupDataSet) FLookupDataSet->RemoveFreeNotification(this);
}

void TField::CheckInactive() const {
  if (FDataSet && FDataSet->Active()) DatabaseError(SDataSetOpen, FDataSet);
}

void TField::SetDataSet(TDataSet* Value) {
  if (Value == FDataSet) return;
  CheckInactive();
  if (Value && Value->Active()) DatabaseError(SDataSetOpen, Value);
  if (Value) Value->FFields->Add(this);
  if (FDataSet) FDataSet->FFields->Remove(this);
  FDataSet = Value;
}

void TField::SetFieldName(const AnsiString& Value) {
  if (Value == FFieldName) return;
  CheckInactive();
  if (FDataSet) {
    TField* other = FDataSet->FFields->FindField(Value);
    if (other && other != this) DatabaseErrorFmt(SDuplicateFieldName, {Value}, FDataSet);
  }
  FFieldName = Value;
  if (FDataSet) FDataSet->FFields->Rehash();
}

void TField::SetFieldKind(TFieldKind Value) {
  if (Value == FFieldKind) return;
  CheckInactive();
  FFieldKind = Value;
}

int TField::Index() const { return FDataSet ? FDataSet->FFields->IndexOf(this) : -1; }

void TField::SetIndex(int Value) {
  if (!FDataSet) return;
  auto& list = FDataSet->FFields->FList;
  int cur = Index();
  Value = std::clamp(Value, 0, static_cast<int>(list.size()) - 1);
  if (cur == Value) return;
  list.erase(list.begin() + cur);
  list.insert(list.begin() + Value, this);
  PropertyChanged(true);
}

void TField::SetSize(int Value) {
  CheckInactive();
  FSize = Value;
}

void TField::PropertyChanged(bool Layout) {
  if (FDataSet && FDataSet->Active()) {
    ++FDataSet->FChangeCount;  // the fields show their values anew
    FDataSet->DataEvent(Layout ? deLayoutChange : deDataSetChange, 0);
  }
}

void TField::SetDisplayLabel(const AnsiString& Value) {
  if (Value == FDisplayLabel) return;
  FDisplayLabel = Value == FFieldName ? AnsiString() : Value;
  PropertyChanged(true);
}

int TField::DisplayWidth() const { return FDisplayWidth > 0 ? FDisplayWidth : DefaultWidth(); }

void TField::SetDisplayWidth(int Value) {
  if (Value == FDisplayWidth) return;
  FDisplayWidth = Value;
  PropertyChanged(true);
}

void TField::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  PropertyChanged(true);
}

void TField::SetReadOnly(bool Value) {
  if (Value == FReadOnly) return;
  FReadOnly = Value;
  PropertyChanged(false);
}

void TField::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  FAlignmentSet = true;
  PropertyChanged(false);
}

void TField::SetDisplayFormat(const AnsiString& Value) {
  if (Value == FDisplayFormat) return;
  FDisplayFormat = Value;
  PropertyChanged(false);
}

bool TField::CanModify() const {
  if (!FDataSet || FFieldKind != fkData || FFieldNo <= 0) return false;
  return !FReadOnly && FDataSet->CanModify();
}

void TField::SetLookupDataSet(TDataSet* Value) {
  if (Value == FLookupDataSet) return;
  if (Value && Value == FDataSet) DatabaseError(SCircularDataLink, this);
  if (FLookupDataSet) FLookupDataSet->RemoveFreeNotification(this);
  FLookupDataSet = Value;
  if (Value) Value->FreeNotification(this);
}

void TField::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FLookupDataSet) FLookupDataSet = nullptr;
}

pvdb::Cell TField::GetCell() const {
  const Cell* c = PeekCell();
  return c ? *c : Cell{};
}

const pvdb::Cell* TField::PeekCell() const {
  if (!FDataSet) DatabaseErrorFmt(SDataSetMissing, {DisplayName()});
  return FDataSet->PeekFieldCell(this);
}

void TField::SetCell(pvdb::Cell Value) {
  if (!FDataSet) DatabaseErrorFmt(SDataSetMissing, {DisplayName()});
  if (FDataSet->State() != dsCalcFields && FFieldKind == fkData && FReadOnly)
    DatabaseErrorFmt(SFieldReadOnly, {DisplayName()}, FDataSet);
  FDataSet->SetFieldCell(this, std::move(Value));
}

bool TField::IsNull() const { return PeekCell() == nullptr; }
void TField::Clear() { SetCell(Cell{}); }

void TField::AccessError(const char* TypeName) const {
  DatabaseErrorFmt(SFieldAccessError, {DisplayName(), TypeName}, FDataSet);
}

void TField::RangeError(double Value, double Min, double Max) const {
  DatabaseErrorFmt(SFieldRangeError, {FmtNumber(Value), DisplayName(), FmtNumber(Min), FmtNumber(Max)}, FDataSet);
}

AnsiString TField::GetAsString() const { AccessError("String"); }
Integer TField::GetAsInteger() const { AccessError("Integer"); }
double TField::GetAsFloat() const { AccessError("Float"); }
Currency TField::GetAsCurrency() const { return Currency::FromDouble(GetAsFloat()); }
bool TField::GetAsBoolean() const { AccessError("Boolean"); }
TDateTime TField::GetAsDateTime() const { AccessError("DateTime"); }
Variant TField::GetAsVariant() const { AccessError("Variant"); }
void TField::SetAsStringImpl(const AnsiString&) { AccessError("String"); }
void TField::SetAsIntegerImpl(Integer) { AccessError("Integer"); }
void TField::SetAsFloatImpl(double) { AccessError("Float"); }
void TField::SetAsCurrencyImpl(Currency Value) { SetAsFloatImpl(Value.ToDouble()); }
void TField::SetAsBooleanImpl(bool) { AccessError("Boolean"); }
void TField::SetAsDateTimeImpl(TDateTime) { AccessError("DateTime"); }
void TField::SetAsVariantImpl(const Variant& Value) {
  if (Value.IsNull() || Value.IsEmpty()) Clear();
  else SetAsStringImpl(VarToStr(Value));
}

WideString TField::AsWideString() const { return AnsiToWide(GetAsString()); }
void TField::SetAsWideString(const WideString& Value) { SetAsStringImpl(WideToAnsi(Value)); }

Variant TField::OldValue() const {
  if (!FDataSet) DatabaseErrorFmt(SDataSetMissing, {DisplayName()});
  const Cell* cell = FDataSet->PeekOldCell(this);
  if (!cell) return Null();
  const Cell& c = *cell;
  switch (c.kind) {
    case Cell::Int:
      if (FDataType == ftBoolean) return Variant(c.i != 0);
      if (FDataType == ftLargeint) return Variant(static_cast<long long>(c.i));
      return Variant(static_cast<int>(static_cast<std::int32_t>(c.i)));
    case Cell::Float:
      if (FDataType == ftDate || FDataType == ftTime || FDataType == ftDateTime) return Variant::FromDate(c.d);
      return Variant(c.d);
    default:
      return Variant(c.s);
  }
}

AnsiString TField::GetText(bool Display) const {
  AnsiString text;
  if (OnGetText) {
    const_cast<TField*>(this)->OnGetText(const_cast<TField*>(this), text, Display);
    return text;
  }
  return GetDisplayText(Display);
}

void TField::SetText(const AnsiString& Value) {
  if (OnSetText) OnSetText(this, Value);
  else SetAsStringImpl(Value);
}

bool TField::IsValidChar(char InputChar) const { return static_cast<unsigned char>(InputChar) >= 32 || InputChar == 0; }

bool TField::GetData(void*) const { return false; }
void TField::SetData(const void* Buffer) {
  if (!Buffer) Clear();
  else AccessError("Data");
}

void TField::FocusControl() {
  if (!FDataSet || !FDataSet->Active()) return;
  TField* field = this;
  FDataSet->DataEvent(deFocusControl, reinterpret_cast<NativeInt>(&field));
}

// ---------------------------------------------------------------------------
// Strings

TStringField::TStringField(TComponent* AOwner) : TField(AOwner) {
  FDataType = ftString;
  FSize = 20;
}

AnsiString TStringField::GetAsString() const {
  const Cell* c = PeekCell();
  return c ? CellText(*c) : AnsiString();
}
Integer TStringField::GetAsInteger() const { return StrToInt(GetAsString()); }
double TStringField::GetAsFloat() const { return StrToFloat(GetAsString()); }
Currency TStringField::GetAsCurrency() const { return StrToCurr(GetAsString()); }
bool TStringField::GetAsBoolean() const {
  AnsiString s = GetAsString();
  return !s.empty() && (s[0] == 'Y' || s[0] == 'y' || s[0] == 'T' || s[0] == 't' || s[0] == '1');
}
TDateTime TStringField::GetAsDateTime() const { return StrToDateTime(GetAsString()); }
Variant TStringField::GetAsVariant() const {
  const Cell* c = PeekCell();
  if (!c) return Null();
  return Variant(CellText(*c));
}
void TStringField::SetAsStringImpl(const AnsiString& Value) {
  // A value that does not fit is refused, as the database would refuse it,
  // and the field keeps what it held: cutting it would lose text unseen.
  if (FSize > 0 && Value.size() > size_t(FSize)) {
    const size_t chars = CharCount(Value);
    if (chars > size_t(FSize))
      DatabaseErrorFmt(SFieldTooSmall, {DisplayName(), FSize, int(chars)}, FDataSet);
  }
  SetCell(TextCell(Value));
}
void TStringField::SetAsIntegerImpl(Integer Value) { SetAsStringImpl(IntToStr(Value)); }
void TStringField::SetAsFloatImpl(double Value) { SetAsStringImpl(FloatToStr(Value)); }
void TStringField::SetAsCurrencyImpl(Currency Value) { SetAsStringImpl(CurrToStr(Value)); }
void TStringField::SetAsBooleanImpl(bool Value) { SetAsStringImpl(Value ? "T" : "F"); }
void TStringField::SetAsDateTimeImpl(TDateTime Value) { SetAsStringImpl(DateTimeToStr(Value)); }
void TStringField::SetAsVariantImpl(const Variant& Value) {
  if (Value.IsNull() || Value.IsEmpty()) Clear();
  else SetAsStringImpl(VarToStr(Value));
}

bool TStringField::GetData(void* Buffer) const {
  Cell c = GetCell();
  auto* out = static_cast<char*>(Buffer);
  std::memset(out, 0, DataSize());
  if (c.IsNull()) return false;
  AnsiString s = CellText(c);
  std::memcpy(out, s.data(), std::min<size_t>(s.size(), DataSize() - 1));
  return true;
}

void TStringField::SetData(const void* Buffer) {
  if (!Buffer) {
    Clear();
    return;
  }
  const char* p = static_cast<const char*>(Buffer);
  SetAsStringImpl(AnsiString(p, strnlen(p, DataSize())));
}

TWideStringField::TWideStringField(TComponent* AOwner) : TStringField(AOwner) { FDataType = ftWideString; }
Variant TWideStringField::GetAsVariant() const {
  Cell c = GetCell();
  if (c.IsNull()) return Null();
  return Variant(AnsiToWide(CellText(c)));
}

TGuidField::TGuidField(TComponent* AOwner) : TStringField(AOwner) {
  FDataType = ftGuid;
  FSize = 38;
}

// ---------------------------------------------------------------------------
// Integers

TNumericField::TNumericField(TComponent* AOwner) : TField(AOwner) { FAlignment = taRightJustify; }

TIntegerField::TIntegerField(TComponent* AOwner) : TNumericField(AOwner) { FDataType = ftInteger; }

Integer TIntegerField::GetAsInteger() const {
  Cell c = GetCell();
  if (c.IsNull()) return 0;
  // Values are signed 32-bit: a stored 0xFF000018 reads back negative.
  return static_cast<Integer>(static_cast<std::uint32_t>(CellInt(c, this)));
}
AnsiString TIntegerField::GetAsString() const {
  Cell c = GetCell();
  return c.IsNull() ? AnsiString() : IntToStr(GetAsInteger());
}
double TIntegerField::GetAsFloat() const { return GetAsInteger(); }
Currency TIntegerField::GetAsCurrency() const { return Currency(GetAsInteger()); }
bool TIntegerField::GetAsBoolean() const { AccessError("Boolean"); }
Variant TIntegerField::GetAsVariant() const {
  Cell c = GetCell();
  if (c.IsNull()) return Null();
  return Variant(GetAsInteger());
}
AnsiString TIntegerField::GetDisplayText(bool Display) const {
  Cell c = GetCell();
  if (c.IsNull()) return {};
  const AnsiString& fmt = Display ? FDisplayFormat : FEditFormat;
  if (!fmt.empty()) return FormatFloat(fmt, GetAsInteger());
  return IntToStr(GetAsInteger());
}

void TIntegerField::StoreInt(Int64 Value) {
  if (FMinValue != 0 || FMaxValue != 0) {
    if (Value < FMinValue || Value > FMaxValue) RangeError(static_cast<double>(Value), FMinValue, FMaxValue);
  } else {
    Int64 hi = TypeMax();
    // A 32-bit integer column also takes the unsigned spelling of a value
    // (colours such as 0xFF000018) and keeps its bit pattern.
    if (FDataType == ftInteger || FDataType == ftAutoInc) hi = 0xFFFFFFFFLL;
    if (Value < TypeMin() || Value > hi) RangeError(static_cast<double>(Value), TypeMin(), TypeMax());
    if (Value > TypeMax()) Value = static_cast<std::int32_t>(static_cast<std::uint32_t>(Value));
  }
  SetCell(IntCell(Value));
}

void TIntegerField::SetAsStringImpl(const AnsiString& Value) {
  AnsiString t = Trim(Value);
  if (t.empty()) {
    Clear();
    return;
  }
  Int64 v;
  if (!TryStrToInt64(t, v)) DatabaseErrorFmt(SInvalidIntegerValue, {Value, DisplayName()}, FDataSet);
  StoreInt(v);
}
void TIntegerField::SetAsIntegerImpl(Integer Value) { StoreInt(Value); }
void TIntegerField::SetAsFloatImpl(double Value) {
  if (!std::isfinite(Value)) DatabaseErrorFmt(SInvalidIntegerValue, {FloatToStr(Value), DisplayName()}, FDataSet);
  double r = std::nearbyint(Value);
  if (r < -9.2e18 || r > 9.2e18) RangeError(Value, TypeMin(), TypeMax());
  StoreInt(static_cast<Int64>(r));
}
void TIntegerField::SetAsCurrencyImpl(Currency Value) { StoreInt(Value.Round()); }
void TIntegerField::SetAsBooleanImpl(bool) { AccessError("Boolean"); }
void TIntegerField::SetAsVariantImpl(const Variant& Value) {
  if (Value.IsNull() || Value.IsEmpty()) Clear();
  else if (VarIsStr(Value)) SetAsStringImpl(VarToStr(Value));
  else if (VarIsFloat(Value)) SetAsFloatImpl(Value.AsDouble());
  else StoreInt(Value.AsInt64());
}
bool TIntegerField::IsValidChar(char c) const { return (c >= '0' && c <= '9') || c == '+' || c == '-'; }

bool TIntegerField::GetData(void* Buffer) const {
  Cell c = GetCell();
  std::int32_t v = c.IsNull() ? 0 : GetAsInteger();
  std::memcpy(Buffer, &v, 4);
  return !c.IsNull();
}
void TIntegerField::SetData(const void* Buffer) {
  if (!Buffer) return Clear();
  std::int32_t v;
  std::memcpy(&v, Buffer, 4);
  StoreInt(v);
}

TSmallintField::TSmallintField(TComponent* AOwner) : TIntegerField(AOwner) { FDataType = ftSmallint; }
bool TSmallintField::GetData(void* Buffer) const {
  Cell c = GetCell();
  std::int16_t v = c.IsNull() ? 0 : static_cast<std::int16_t>(GetAsInteger());
  std::memcpy(Buffer, &v, 2);
  return !c.IsNull();
}
void TSmallintField::SetData(const void* Buffer) {
  if (!Buffer) return Clear();
  std::int16_t v;
  std::memcpy(&v, Buffer, 2);
  StoreInt(v);
}

TWordField::TWordField(TComponent* AOwner) : TIntegerField(AOwner) { FDataType = ftWord; }
bool TWordField::GetData(void* Buffer) const {
  Cell c = GetCell();
  std::uint16_t v = c.IsNull() ? 0 : static_cast<std::uint16_t>(GetAsInteger());
  std::memcpy(Buffer, &v, 2);
  return !c.IsNull();
}
void TWordField::SetData(const void* Buffer) {
  if (!Buffer) return Clear();
  std::uint16_t v;
  std::memcpy(&v, Buffer, 2);
  StoreInt(v);
}

TAutoIncField::TAutoIncField(TComponent* AOwner) : TIntegerField(AOwner) {
  FDataType = ftAutoInc;
  FReadOnly = true;
}

TLargeintField::TLargeintField(TComponent* AOwner) : TNumericField(AOwner) { FDataType = ftLargeint; }
Int64 TLargeintField::AsLargeInt() const {
  Cell c = GetCell();
  return c.IsNull() ? 0 : CellInt(c, this);
}
void TLargeintField::SetAsLargeInt(Int64 Value) { SetCell(IntCell(Value)); }
AnsiString TLargeintField::GetAsString() const { return IsNull() ? AnsiString() : IntToStr(AsLargeInt()); }
Integer TLargeintField::GetAsInteger() const {
  Int64 v = AsLargeInt();
  if (v < INT32_MIN || v > INT32_MAX) RangeError(static_cast<double>(v), INT32_MIN, INT32_MAX);
  return static_cast<Integer>(v);
}
double TLargeintField::GetAsFloat() const { return static_cast<double>(AsLargeInt()); }
Variant TLargeintField::GetAsVariant() const {
  if (IsNull()) return Null();
  return Variant(static_cast<long long>(AsLargeInt()));
}
void TLargeintField::SetAsStringImpl(const AnsiString& Value) {
  AnsiString t = Trim(Value);
  if (t.empty()) return Clear();
  Int64 v;
  if (!TryStrToInt64(t, v)) DatabaseErrorFmt(SInvalidIntegerValue, {Value, DisplayName()}, FDataSet);
  SetAsLargeInt(v);
}
void TLargeintField::SetAsIntegerImpl(Integer Value) { SetAsLargeInt(Value); }
void TLargeintField::SetAsFloatImpl(double Value) { SetAsLargeInt(static_cast<Int64>(std::nearbyint(Value))); }
void TLargeintField::SetAsVariantImpl(const Variant& Value) {
  if (Value.IsNull() || Value.IsEmpty()) Clear();
  else if (VarIsStr(Value)) SetAsStringImpl(VarToStr(Value));
  else SetAsLargeInt(Value.AsInt64());
}
AnsiString TLargeintField::GetDisplayText(bool Display) const {
  if (IsNull()) return {};
  const AnsiString& fmt = Display ? FDisplayFormat : FEditFormat;
  if (!fmt.empty()) return FormatFloat(fmt, static_cast<double>(AsLargeInt()));
  return IntToStr(AsLargeInt());
}
bool TLargeintField::GetData(void* Buffer) const {
  Int64 v = AsLargeInt();
  std::memcpy(Buffer, &v, 8);
  return !IsNull();
}
void TLargeintField::SetData(const void* Buffer) {
  if (!Buffer) return Clear();
  Int64 v;
  std::memcpy(&v, Buffer, 8);
  SetAsLargeInt(v);
}

// ---------------------------------------------------------------------------
// Floating point, currency, BCD

TFloatField::TFloatField(TComponent* AOwner) : TNumericField(AOwner) { FDataType = ftFloat; }

double TFloatField::GetAsFloat() const {
  Cell c = GetCell();
  return c.IsNull() ? 0.0 : CellFloat(c, this);
}
AnsiString TFloatField::GetAsString() const { return IsNull() ? AnsiString() : FloatToStr(GetAsFloat()); }
Integer TFloatField::GetAsInteger() const {
  double d = std::nearbyint(GetAsFloat());
  if (d < INT32_MIN || d > INT32_MAX) RangeError(d, INT32_MIN, INT32_MAX);
  return static_cast<Integer>(d);
}
Currency TFloatField::GetAsCurrency() const { return Currency::FromDouble(GetAsFloat()); }
Variant TFloatField::GetAsVariant() const {
  if (IsNull()) return Null();
  return Variant(GetAsFloat());
}
void TFloatField::SetPrecision(int Value) {
  if (Value < 2) Value = 2;
  if (Value > 15) Value = 15;
  if (Value == FPrecision) return;
  FPrecision = Value;
  PropertyChanged(false);
}
void TFloatField::SetCurrency(bool Value) {
  if (Value == FCurrency) return;
  FCurrency = Value;
  PropertyChanged(false);
}
void TFloatField::SetAsFloatImpl(double Value) {
  if ((FMinValue != 0 || FMaxValue != 0) && (Value < FMinValue || Value > FMaxValue))
    RangeError(Value, FMinValue, FMaxValue);
  SetCell(FloatCell(Value));
}
void TFloatField::SetAsStringImpl(const AnsiString& Value) {
  AnsiString t = Trim(Value);
  if (t.empty()) return Clear();
  double d;
  if (!TextToFloat(t, d)) DatabaseErrorFmt(SInvalidFloatValue, {Value, DisplayName()}, FDataSet);
  SetAsFloatImpl(d);
}
void TFloatField::SetAsIntegerImpl(Integer Value) { SetAsFloatImpl(Value); }
void TFloatField::SetAsCurrencyImpl(Currency Value) { SetAsFloatImpl(Value.ToDouble()); }
void TFloatField::SetAsVariantImpl(const Variant& Value) {
  if (Value.IsNull() || Value.IsEmpty()) Clear();
  else if (VarIsStr(Value)) SetAsStringImpl(VarToStr(Value));
  else SetAsFloatImpl(Value.AsDouble());
}
AnsiString TFloatField::GetDisplayText(bool Display) const {
  if (IsNull()) return {};
  double v = GetAsFloat();
  const AnsiString& fmt = Display ? FDisplayFormat : FEditFormat;
  if (!fmt.empty()) return FormatFloat(fmt, v);
  if (FCurrency) {
    if (Display) return FloatToStrF(v, ffCurrency, FPrecision, FormatSettings().CurrencyDecimals);
    return FloatToStrF(v, ffFixed, FPrecision, FormatSettings().CurrencyDecimals);
  }
  return FloatToStrF(v, ffGeneral, FPrecision, 0);
}
bool TFloatField::IsValidChar(char c) const {
  return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'e' || c == 'E' ||
         c == FormatSettings().DecimalSeparator;
}
bool TFloatField::GetData(void* Buffer) const {
  double v = GetAsFloat();
  std::memcpy(Buffer, &v, 8);
  return !IsNull();
}
void TFloatField::SetData(const void* Buffer) {
  if (!Buffer) return Clear();
  double v;
  std::memcpy(&v, Buffer, 8);
  SetAsFloatImpl(v);
}

TCurrencyField::TCurrencyField(TComponent* AOwner) : TFloatField(AOwner) {
  FDataType = ftCurrency;
  FCurrency = true;
}
Variant TCurrencyField::GetAsVariant() const { return TFloatField::GetAsVariant(); }

TBCDField::TBCDField(TComponent* AOwner) : TNumericField(AOwner) {
  FDataType = ftBCD;
  FSize = 4;
}
Currency TBCDField::GetAsCurrency() const {
  Cell c = GetCell();
  if (c.IsNull()) return Currency();
  if (c.kind == Cell::Text) return StrToCurr(c.s);
  return Currency::FromDouble(CellFloat(c, this));
}
AnsiString TBCDField::GetAsString() const { return IsNull() ? AnsiString() : CurrToStr(GetAsCurrency()); }
Integer TBCDField::GetAsInteger() const { return static_cast<Integer>(GetAsCurrency().Round()); }
double TBCDField::GetAsFloat() const { return GetAsCurrency().ToDouble(); }
Variant TBCDField::GetAsVariant() const {
  if (IsNull()) return Null();
  return Variant(GetAsCurrency());
}
void TBCDField::SetAsCurrencyImpl(Currency Value) { SetCell(FloatCell(Value.ToDouble())); }
void TBCDField::SetAsStringImpl(const AnsiString& Value) {
  AnsiString t = Trim(Value);
  if (t.empty()) return Clear();
  Currency c;
  if (!TryStrToCurr(t, c)) DatabaseErrorFmt(SInvalidFloatValue, {Value, DisplayName()}, FDataSet);
  SetAsCurrencyImpl(c);
}
void TBCDField::SetAsIntegerImpl(Integer Value) { SetAsCurrencyImpl(Currency(Value)); }
void TBCDField::SetAsFloatImpl(double Value) { SetAsCurrencyImpl(Currency::FromDouble(Value)); }
void TBCDField::SetAsVariantImpl(const Variant& Value) {
  if (Value.IsNull() || Value.IsEmpty()) Clear();
  else if (VarIsStr(Value)) SetAsStringImpl(VarToStr(Value));
  else SetAsCurrencyImpl(Value.AsCurrency());
}
bool TBCDField::GetData(void* Buffer) const {
  Int64 v = GetAsCurrency().Value;
  std::memcpy(Buffer, &v, 8);
  return !IsNull();
}
void TBCDField::SetData(const void* Buffer) {
  if (!Buffer) return Clear();
  Int64 v;
  std::memcpy(&v, Buffer, 8);
  SetAsCurrencyImpl(Currency::FromScaled(v));
}

// ---------------------------------------------------------------------------
// Booleans

TBooleanField::TBooleanField(TComponent* AOwner) : TField(AOwner) {
  FDataType = ftBoolean;
  FAlignment = taCenter;
}

bool TBooleanField::GetAsBoolean() const {
  Cell c = GetCell();
  if (c.IsNull()) return false;
  if (c.kind == Cell::Text) {
    bool b;
    if (TryStrToBool(c.s, b)) return b;
    DatabaseErrorFmt(SInvalidBoolValue, {c.s, DisplayName()}, FDataSet);
  }
  return c.kind == Cell::Float ? c.d != 0 : c.i != 0;
}
AnsiString TBooleanField::GetAsString() const {
  if (IsNull()) return {};
  return GetAsBoolean() ? FTrueText : FFalseText;
}
Integer TBooleanField::GetAsInteger() const { return GetAsBoolean() ? 1 : 0; }
Variant TBooleanField::GetAsVariant() const {
  if (IsNull()) return Null();
  return Variant(GetAsBoolean());
}
AnsiString TBooleanField::GetDisplayText(bool) const { return GetAsString(); }
void TBooleanField::SetAsBooleanImpl(bool Value) { SetCell(IntCell(Value ? 1 : 0)); }
void TBooleanField::SetAsIntegerImpl(Integer Value) { SetAsBooleanImpl(Value != 0); }
void TBooleanField::SetAsStringImpl(const AnsiString& Value) {
  if (Value.empty()) return Clear();
  // A leading part of either text is enough, as typed into an editor.
  auto matches = [&](const AnsiString& text) {
    return Value.size() <= text.size() && AnsiSameText(Value, text.substr(0, Value.size()));
  };
  if (matches(FFalseText)) SetAsBooleanImpl(false);
  else if (matches(FTrueText)) SetAsBooleanImpl(true);
  else DatabaseErrorFmt(SInvalidBoolValue, {Value, DisplayName()}, FDataSet);
}
void TBooleanField::SetAsVariantImpl(const Variant& Value) {
  if (Value.IsNull() || Value.IsEmpty()) Clear();
  else if (VarIsStr(Value)) SetAsStringImpl(VarToStr(Value));
  else SetAsBooleanImpl(Value.AsBoolean());
}
void TBooleanField::SetDisplayValues(const AnsiString& Value) {
  size_t p = Value.find(';');
  AnsiString t = p == AnsiString::npos ? Value : Value.substr(0, p);
  AnsiString f = p == AnsiString::npos ? AnsiString() : Value.substr(p + 1);
  if (t.empty() && f.empty()) {
    t = "True";
    f = "False";
  }
  FDisplayValues = Value;
  FTrueText = t;
  FFalseText = f;
  PropertyChanged(false);
}
bool TBooleanField::GetData(void* Buffer) const {
  std::int16_t v = GetAsBoolean() ? -1 : 0;
  std::memcpy(Buffer, &v, 2);
  return !IsNull();
}
void TBooleanField::SetData(const void* Buffer) {
  if (!Buffer) return Clear();
  std::int16_t v;
  std::memcpy(&v, Buffer, 2);
  SetAsBooleanImpl(v != 0);
}

// ---------------------------------------------------------------------------
// Dates and times (stored as day numbers)

TDateTimeField::TDateTimeField(TComponent* AOwner) : TField(AOwner) { FDataType = ftDateTime; }
TDateTime TDateTimeField::GetAsDateTime() const {
  Cell c = GetCell();
  if (c.IsNull()) return 0;
  if (c.kind == Cell::Text) {
    TDateTime t;
    if (TryStrToDateTime(c.s, t)) return t;
    DatabaseErrorFmt(SInvalidDateValue, {c.s, DisplayName()}, FDataSet);
  }
  return CellFloat(c, this);
}
double TDateTimeField::GetAsFloat() const { return GetAsDateTime(); }
AnsiString TDateTimeField::GetAsString() const { return IsNull() ? AnsiString() : FormatValue(GetAsDateTime()); }
Variant TDateTimeField::GetAsVariant() const {
  if (IsNull()) return Null();
  return Variant::FromDate(GetAsDateTime());
}
AnsiString TDateTimeField::GetDisplayText(bool Display) const {
  if (IsNull()) return {};
  if (Display && !FDisplayFormat.empty()) return FormatDateTime(FDisplayFormat, GetAsDateTime());
  return FormatValue(GetAsDateTime());
}
AnsiString TDateTimeField::FormatValue(TDateTime Value) const { return DateTimeToStr(Value); }
TDateTime TDateTimeField::ParseText(const AnsiString& Text) const { return StrToDateTime(Text); }
void TDateTimeField::SetAsDateTimeImpl(TDateTime Value) { SetCell(FloatCell(Value)); }
void TDateTimeField::SetAsFloatImpl(double Value) { SetAsDateTimeImpl(Value); }
void TDateTimeField::SetAsStringImpl(const AnsiString& Value) {
  if (Trim(Value).empty()) return Clear();
  SetAsDateTimeImpl(ParseText(Value));
}
void TDateTimeField::SetAsVariantImpl(const Variant& Value) {
  if (Value.IsNull() || Value.IsEmpty()) Clear();
  else if (VarIsStr(Value)) SetAsStringImpl(VarToStr(Value));
  else SetAsDateTimeImpl(Value.AsDateTime());
}
bool TDateTimeField::GetData(void* Buffer) const {
  double v = GetAsDateTime();
  std::memcpy(Buffer, &v, 8);
  return !IsNull();
}
void TDateTimeField::SetData(const void* Buffer) {
  if (!Buffer) return Clear();
  double v;
  std::memcpy(&v, Buffer, 8);
  SetAsDateTimeImpl(v);
}

TDateField::TDateField(TComponent* AOwner) : TDateTimeField(AOwner) { FDataType = ftDate; }
AnsiString TDateField::FormatValue(TDateTime Value) const { return DateToStr(Value); }
TDateTime TDateField::ParseText(const AnsiString& Text) const { return StrToDate(Text); }

TTimeField::TTimeField(TComponent* AOwner) : TDateTimeField(AOwner) { FDataType = ftTime; }
AnsiString TTimeField::FormatValue(TDateTime Value) const { return TimeToStr(Value); }
TDateTime TTimeField::ParseText(const AnsiString& Text) const { return StrToTime(Text); }

// ---------------------------------------------------------------------------
// Blobs and memos

TBlobField::TBlobField(TComponent* AOwner) : TField(AOwner) {
  FDataType = ftBlob;
  FSize = 0;
}
AnsiString TBlobField::BlobValue() const {
  Cell c = GetCell();
  return c.IsNull() ? AnsiString() : CellText(c);
}
void TBlobField::SetBlobValue(const AnsiString& Value) {
  Cell c;
  c.kind = StoresText() ? Cell::Text : Cell::Blob;
  c.s = Value;
  SetCell(std::move(c));
}
int TBlobField::BlobSize() const { return static_cast<int>(BlobValue().size()); }
bool TBlobField::Modified() const { return FDataSet && FDataSet->Modified(); }
AnsiString TBlobField::GetAsString() const { return BlobValue(); }
Variant TBlobField::GetAsVariant() const {
  if (IsNull()) return Null();
  return Variant(BlobValue());
}
void TBlobField::SetAsStringImpl(const AnsiString& Value) { SetBlobValue(Value); }
void TBlobField::SetAsVariantImpl(const Variant& Value) {
  if (Value.IsNull() || Value.IsEmpty()) Clear();
  else SetBlobValue(VarToStr(Value));
}
AnsiString TBlobField::GetDisplayText(bool) const { return IsNull() ? "(blob)" : "(BLOB)"; }
void TBlobField::LoadFromStream(TStream* Stream) {
  Stream->SetPosition(0);
  Int64 n = Stream->Size();
  AnsiString data(static_cast<size_t>(n), '\0');
  if (n) Stream->ReadBuffer(data.data(), static_cast<LongInt>(n));
  SetBlobValue(data);
}
void TBlobField::SaveToStream(TStream* Stream) const {
  AnsiString data = BlobValue();
  if (!data.empty()) Stream->WriteBuffer(data.data(), static_cast<LongInt>(data.size()));
}
void TBlobField::LoadFromFile(const AnsiString& FileName) {
  TFileStream fs(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&fs);
}
void TBlobField::SaveToFile(const AnsiString& FileName) const {
  TFileStream fs(FileName, fmCreate);
  SaveToStream(&fs);
}

TMemoField::TMemoField(TComponent* AOwner) : TBlobField(AOwner) { FDataType = ftMemo; }
AnsiString TMemoField::GetDisplayText(bool) const { return IsNull() ? "(memo)" : "(MEMO)"; }

TGraphicField::TGraphicField(TComponent* AOwner) : TBlobField(AOwner) { FDataType = ftGraphic; }
AnsiString TGraphicField::GetDisplayText(bool) const { return IsNull() ? "(graphic)" : "(GRAPHIC)"; }

// ---------------------------------------------------------------------------
// Variants

TVariantField::TVariantField(TComponent* AOwner) : TField(AOwner) { FDataType = ftVariant; }
Variant TVariantField::GetAsVariant() const {
  Cell c = GetCell();
  switch (c.kind) {
    case Cell::Null: return Null();
    case Cell::Int:
      if (c.i >= INT32_MIN && c.i <= INT32_MAX) return Variant(static_cast<int>(c.i));
      return Variant(static_cast<long long>(c.i));
    case Cell::Float: return Variant(c.d);
    default: return Variant(c.s);
  }
}
AnsiString TVariantField::GetAsString() const { return VarToStr(GetAsVariant()); }
Integer TVariantField::GetAsInteger() const { return GetAsVariant().AsInteger(); }
double TVariantField::GetAsFloat() const { return GetAsVariant().AsDouble(); }
bool TVariantField::GetAsBoolean() const { return GetAsVariant().AsBoolean(); }
TDateTime TVariantField::GetAsDateTime() const { return GetAsVariant().AsDateTime(); }
void TVariantField::SetAsVariantImpl(const Variant& Value) {
  if (Value.IsNull() || Value.IsEmpty()) return Clear();
  Word t = VarType(Value);
  if (t == varBoolean) SetCell(IntCell(Value.AsBoolean() ? 1 : 0));
  else if (VarIsOrdinal(Value)) SetCell(IntCell(Value.AsInt64()));
  else if (VarIsFloat(Value) || t == varDate) SetCell(FloatCell(Value.AsDouble()));
  else SetCell(TextCell(VarToStr(Value)));
}
void TVariantField::SetAsStringImpl(const AnsiString& Value) { SetCell(TextCell(Value)); }
void TVariantField::SetAsIntegerImpl(Integer Value) { SetCell(IntCell(Value)); }
void TVariantField::SetAsFloatImpl(double Value) { SetCell(FloatCell(Value)); }
void TVariantField::SetAsBooleanImpl(bool Value) { SetCell(IntCell(Value ? 1 : 0)); }
void TVariantField::SetAsDateTimeImpl(TDateTime Value) { SetCell(FloatCell(Value)); }

// ---------------------------------------------------------------------------

TClass FieldClassOf(TFieldType Type) {
  switch (Type) {
    case ftString:
    case ftFixedChar: return TStringField::StaticClass();
    case ftWideString: return TWideStringField::StaticClass();
    case ftGuid: return TGuidField::StaticClass();
    case ftSmallint: return TSmallintField::StaticClass();
    case ftInteger: return TIntegerField::StaticClass();
    case ftWord: return TWordField::StaticClass();
    case ftAutoInc: return TAutoIncField::StaticClass();
    case ftLargeint: return TLargeintField::StaticClass();
    case ftBoolean: return TBooleanField::StaticClass();
    case ftFloat: return TFloatField::StaticClass();
    case ftCurrency: return TCurrencyField::StaticClass();
    case ftBCD:
    case ftFMTBcd: return TBCDField::StaticClass();
    case ftDate: return TDateField::StaticClass();
    case ftTime: return TTimeField::StaticClass();
    case ftDateTime:
    case ftTimeStamp: return TDateTimeField::StaticClass();
    case ftBlob:
    case ftBytes:
    case ftVarBytes:
    case ftTypedBinary:
    case ftOraBlob: return TBlobField::StaticClass();
    case ftMemo:
    case ftFmtMemo:
    case ftOraClob: return TMemoField::StaticClass();
    case ftGraphic: return TGraphicField::StaticClass();
    case ftVariant: return TVariantField::StaticClass();
    default: return nullptr;
  }
}

AnsiString FieldTypeName(TFieldType Type) {
  static const char* const names[] = {
      "Unknown", "String", "SmallInt", "Integer", "Word", "Boolean", "Float", "Currency", "BCD", "Date",
      "Time", "DateTime", "Bytes", "VarBytes", "AutoInc", "Blob", "Memo", "Graphic", "FmtMemo", "ParadoxOle",
      "dBaseOle", "TypedBinary", "Cursor", "FixedChar", "WideString", "Largeint", "ADT", "Array", "Reference",
      "DataSet", "OraBlob", "OraClob", "Variant", "Interface", "IDispatch", "Guid", "TimeStamp", "FMTBcd"};
  int i = static_cast<int>(Type);
  return i >= 0 && i < static_cast<int>(sizeof names / sizeof names[0]) ? names[i] : "Unknown";
}
