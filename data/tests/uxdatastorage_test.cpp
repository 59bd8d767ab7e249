#include "data/uxdatastorage.h"

#include <gtest/gtest.h>

#include "data/tests/datatest.h"

#include <climits>

#include "data/uxvariants.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/strings.h"

namespace {

using namespace datatest;



AnsiString SavedRecord(TuxDataStorage& Storage, int Index) {
  TStringStream s;
  Storage.SaveRecord(Index, &s);
  return s.DataString();
}

Variant Value(TuxDataStorage& Storage, int Index, TuxValueDef* Def) {
  Variant V;
  Storage.RecordValue(Index, Def, V);
  return V;
}

AnsiString Text(TuxDataStorage& Storage, int Index, TuxValueDef* Def) {
  AnsiString S;
  Storage.RecordText(Index, Def, S);
  return S;
}

// A value of each value type and what it reads back as.
struct TypeCase {
  TuxValueTypeClass type;
  Variant value;
};

std::vector<TypeCase> TypeCases() {
  return {
      {TuxStringValueType::Instance(), Variant(kChapter + "'x")},
      {TuxWideStringValueType::Instance(), Variant(u"\u4E2D\U0001F600\u00E9")},
      {TuxSmallintValueType::Instance(), Variant(static_cast<short>(-32768))},
      {TuxIntegerValueType::Instance(), Variant(INT_MIN)},
      {TuxWordValueType::Instance(), Variant(static_cast<unsigned short>(65535))},
      {TuxBooleanValueType::Instance(), Variant(true)},
      {TuxFloatValueType::Instance(), Variant(-0.1)},
      {TuxCurrencyValueType::Instance(), Variant(Currency::FromScaled(-123456789))},
      {TuxDateTimeValueType::Instance(), VarFromDateTime(46000.75)},
      {TuxLargeIntValueType::Instance(), Variant(static_cast<long long>(INT64_MIN))},
      {TuxFMTBcdValueType::Instance(), Variant(-1234.125)},
      {TuxSQLTimeStampValueType::Instance(), VarFromDateTime(EncodeDate(2026, 12, 10) + EncodeTime(13, 5, 9, 25))},
      {TuxVariantValueType::Instance(), VarArrayOf({Variant(1), Variant(kChapter), Null()})},
  };
}

TEST(ValueTypes, CaptionsAreTheFixedTextsOfTheTable) {
  const char* captions[] = {"String",   "WideString", "Smallint", "Integer",      "Word",    "Boolean", "Float",
                            "Currency", "DateTime",   "LargeInt", "FMTBcd",       "SQLTimeStamp", "Variant", "Object"};
  const auto& table = uxValueTypeTable();
  ASSERT_EQ(table.size(), 14u);
  for (std::size_t i = 0; i < table.size(); ++i) EXPECT_EQ(table[i].Class->Caption(), captions[i]);
  TuxValueTypeClassList* list = uxGetValueTypeClassList();
  ASSERT_EQ(list->Count(), 14);  // registered at start-up, in table order
  EXPECT_EQ(list->Items(0), TuxStringValueType::Instance());
  EXPECT_EQ(list->Items(13), TuxObjectValueType::Instance());
  EXPECT_EQ(list->ItemByCaption("String"), TuxStringValueType::Instance());
  EXPECT_EQ(list->ItemByCaption("string"), nullptr);
  EXPECT_EQ(list->ItemByCaption("WideString"), TuxWideStringValueType::Instance());
  EXPECT_TRUE(TuxWideStringValueType::Instance()->IsTextType());
  EXPECT_FALSE(TuxVariantValueType::Instance()->IsTextType());
}

TEST(ValueTypes, ConvertVariant) {
  Variant v = Variant("12");
  EXPECT_TRUE(TuxIntegerValueType::Instance()->ConvertVariant(v));
  EXPECT_EQ(VarType(v), varInteger);
  v = Variant("abc");
  EXPECT_FALSE(TuxIntegerValueType::Instance()->ConvertVariant(v));
  v = Variant(70000);
  EXPECT_FALSE(TuxSmallintValueType::Instance()->ConvertVariant(v));
  v = Null();
  EXPECT_TRUE(TuxIntegerValueType::Instance()->ConvertVariant(v));
  v = Variant("x");
  EXPECT_TRUE(TuxVariantValueType::Instance()->ConvertVariant(v));
}

class StorageTest : public ::testing::Test {
 protected:
  TuxDataStorage storage;
};

TEST_F(StorageTest, EveryValueTypeStoresComparesAndStreams) {
  std::vector<TuxValueDef*> defs;
  for (const TypeCase& c : TypeCases()) defs.push_back(storage.ValueDefs()->Add(c.type, true, nullptr, false));
  TuxValueDef* obj = storage.ValueDefs()->Add(TuxObjectValueType::Instance(), true, nullptr, false);
  storage.SetRecordCount(2);
  const auto cases = TypeCases();
  for (std::size_t i = 0; i < cases.size(); ++i) storage.SetRecordValue(0, defs[i], cases[i].value);
  storage.SetRecordValue(0, obj, Variant(static_cast<long long>(reinterpret_cast<std::intptr_t>(new TObject))));
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].type->Caption());
    EXPECT_EQ(uxCompareVariants(Value(storage, 0, defs[i]), cases[i].value), 0);
    // a present value orders after the null of record 1
    EXPECT_GT(storage.CompareRecordValues(0, 1, defs[i]), 0);
    EXPECT_EQ(storage.CompareRecordValues(1, 1, defs[i]), 0);
  }
  EXPECT_EQ(Text(storage, 0, defs[10]), "-1234.125");
  // decimals beyond a double's precision stay exact in the cell and the stream
  storage.SetRecordValue(0, defs[10], Variant("-12345678901234567890.125"));
  EXPECT_EQ(Text(storage, 0, defs[10]), "-12345678901234567890.125");

  // record 0 through its stream form into record 1
  const AnsiString saved = SavedRecord(storage, 0);
  TStringStream in(saved);
  storage.LoadRecord(1, &in);
  EXPECT_EQ(in.Remaining(), 0);
  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].type->Caption());
    EXPECT_EQ(storage.CompareRecordValues(0, 1, defs[i]), 0);
  }
  EXPECT_EQ(Text(storage, 1, defs[10]), "-12345678901234567890.125");  // exact through the stream
  EXPECT_EQ(SavedRecord(storage, 1), saved);
  // objects are not streamed: present, without an object
  EXPECT_EQ(Value(storage, 1, obj).AsInt64(), 0);
}

TEST_F(StorageTest, WideStringsKeepCharactersOutsideTheCodePage) {
  TuxValueDef* def = storage.ValueDefs()->Add(TuxWideStringValueType::Instance(), true, nullptr, false);
  storage.SetRecordCount(2);
  const WideString text = u"\U0001F600 \u00E9 \u4E2D";
  storage.SetRecordValue(0, def, Variant(text));
  TStringStream s;
  storage.SaveRecord(0, &s);
  s.SetPosition(0);
  storage.LoadRecord(1, &s);
  EXPECT_EQ(Value(storage, 1, def).AsWideString(), text);
  // the stream form is the length-prefixed UTF-16 text
  EXPECT_EQ(Hex(s.DataString()), "000006000000" "3DD800DE2000E90020002D4E");
}

TEST_F(StorageTest, RecordsWithoutBuffersAndNulls) {
  TuxValueDef* str = storage.ValueDefs()->Add(TuxStringValueType::Instance(), true, nullptr, false);
  storage.AddRecord();
  EXPECT_TRUE(Value(storage, 0, str).IsNull());
  EXPECT_EQ(Text(storage, 0, str), "");
  EXPECT_EQ(Hex(SavedRecord(storage, 0)), "01");
  storage.SetRecordValue(0, str, Variant("abc"));
  storage.SetRecordValue(0, str, Null());
  EXPECT_TRUE(Value(storage, 0, str).IsNull());
  const void* content = nullptr;
  EXPECT_TRUE(storage.ValueDataPointer(0, str, content));
  storage.AddRecord();
  storage.SetRecordValue(1, str, Variant(""));
  EXPECT_LT(storage.CompareRecordValues(0, 1, str), 0);
  EXPECT_EQ(Hex(SavedRecord(storage, 1)), "00" "00" "00000000");
}

TEST_F(StorageTest, AFailedConversionLeavesTheSlotAsItWas) {
  TuxValueDef* num = storage.ValueDefs()->Add(TuxIntegerValueType::Instance(), true, nullptr, false);
  TuxValueDef* str = storage.ValueDefs()->Add(TuxStringValueType::Instance(), true, nullptr, false);
  storage.SetRecordCount(1);
  EXPECT_THROW(storage.SetRecordValue(0, num, Variant("not a number")), EVariantError);
  EXPECT_TRUE(Value(storage, 0, num).IsNull());
  EXPECT_EQ(Hex(SavedRecord(storage, 0)), "00" "01" "01");
  storage.SetRecordValue(0, num, Variant(41));
  EXPECT_THROW(storage.SetRecordValue(0, num, VarArrayOf({1})), EVariantError);
  EXPECT_EQ(Value(storage, 0, num).AsInteger(), 41);
  EXPECT_THROW(storage.SetRecordValue(0, str, VarArrayOf({1})), EVariantError);
  EXPECT_TRUE(Value(storage, 0, str).IsNull());
}

TEST_F(StorageTest, ThirtyTwoBitComparisonsDoNotOverflow) {
  const int a = INT_MAX, b = INT_MIN;
  EXPECT_GT(TuxIntegerValueType::Instance()->CompareContents(&a, &b), 0);
  EXPECT_LT(TuxIntegerValueType::Instance()->CompareContents(&b, &a), 0);
  const Int64 c = INT64_MAX, d = INT64_MIN;
  EXPECT_GT(TuxLargeIntValueType::Instance()->CompareContents(&c, &d), 0);
}

TEST_F(StorageTest, RecordIds) {
  storage.ValueDefs()->Add(TuxIntegerValueType::Instance(), true, nullptr, false);
  storage.SetKeepRecordIds(true);
  EXPECT_EQ(storage.AddRecord(), 0);
  storage.AddRecord();
  EXPECT_EQ(storage.RecordId(0), 1);
  EXPECT_EQ(storage.RecordId(1), 2);
  storage.RemoveRecord(1);
  storage.RemoveRecord(0);
  storage.AddRecord();
  EXPECT_EQ(storage.RecordId(0), 1);
  TStringStream s(AnsiString("\x00\x0A\x00\x00\x00\x01", 6));  // id 10, a null value
  storage.LoadRecord(0, &s);
  EXPECT_EQ(storage.RecordId(0), 10);
  storage.AddRecord();
  EXPECT_EQ(storage.RecordId(1), 11);
}

TEST_F(StorageTest, InternalRecordsAreReusedAndUseTheTwins) {
  TuxValueDef* def = storage.ValueDefs()->Add(TuxStringValueType::Instance(), true, nullptr, false);
  EXPECT_EQ(storage.NewInternalRecord(), -1);
  EXPECT_EQ(storage.NewInternalRecord(), -2);
  storage.RemoveRecord(-1);
  EXPECT_EQ(storage.NewInternalRecord(), -1);
  // callers pass the normal definition
  storage.SetRecordValue(-2, def, Variant("scratch"));
  EXPECT_EQ(Value(storage, -2, def).AsString(), "scratch");
  ASSERT_NE(storage.InternalValueDefs()->FindTwin(def), nullptr);
  EXPECT_EQ(storage.InternalValueDefs()->FindTwin(def)->GetLinkObject(), def->GetLinkObject());
  int cleared = 0;
  struct Counter : TObject {
    int* n;
    void Cleared(TObject*) { ++*n; }
  } counter;
  counter.n = &cleared;
  storage.OnInternalRecordsCleared = TNotifyEvent(&counter, &Counter::Cleared);
  storage.ClearInternal();
  EXPECT_EQ(cleared, 1);
  EXPECT_EQ(storage.InternalRecordCount(), 0);
}

TEST_F(StorageTest, AddingAndRemovingDefinitionsKeepsOtherValues) {
  TuxValueDef* a = storage.ValueDefs()->Add(TuxStringValueType::Instance(), true, nullptr, false);
  storage.SetRecordCount(3);
  storage.SetRecordValue(0, a, Variant("zero"));
  storage.SetRecordValue(2, a, Variant("two"));
  const int internal = storage.NewInternalRecord();
  storage.SetRecordValue(internal, a, Variant("edit"));
  TuxValueDef* b = storage.ValueDefs()->Add(TuxIntegerValueType::Instance(), true, nullptr, true);
  EXPECT_EQ(Value(storage, 0, a).AsString(), "zero");
  EXPECT_TRUE(Value(storage, 0, b).IsNull());
  storage.SetRecordValue(2, b, Variant(7));
  storage.SetRecordText(2, b, "seven");
  storage.SetRecordValue(internal, b, Variant(8));
  EXPECT_EQ(Text(storage, 2, b), "seven");
  EXPECT_EQ(Text(storage, 2, a), "two");
  delete a;  // freeing a definition closes its slot
  EXPECT_EQ(storage.ValueDefs()->Count(), 1);
  EXPECT_EQ(storage.InternalValueDefs()->Count(), 1);
  EXPECT_EQ(Value(storage, 2, b).AsInteger(), 7);
  EXPECT_EQ(Text(storage, 2, b), "seven");
  EXPECT_EQ(Value(storage, internal, b).AsInteger(), 8);
  // the last definition with a slot takes the buffers with it
  delete b;
  EXPECT_EQ(storage.RecordBuffer(2), nullptr);
}

TEST_F(StorageTest, KeptValuesOnlyDropsTheSlotsOfOtherDefinitions) {
  TuxValueDef* kept = storage.ValueDefs()->Add(TuxIntegerValueType::Instance(), true, nullptr, false);
  TuxValueDef* other = storage.ValueDefs()->Add(TuxIntegerValueType::Instance(), false, nullptr, false);
  storage.SetRecordCount(1);
  storage.SetRecordValue(0, other, Variant(3));
  storage.SetKeptValuesOnly(true);
  EXPECT_EQ(other->SlotSize(), 0);
  storage.SetRecordValue(0, other, Variant(4));  // ignored: no slot
  storage.SetRecordValue(0, kept, Variant(5));
  EXPECT_TRUE(Value(storage, 0, other).IsNull());
  EXPECT_EQ(Value(storage, 0, kept).AsInteger(), 5);
  EXPECT_EQ(Hex(SavedRecord(storage, 0)), "000005000000");
}

int CompareByTypeCaption(TuxValueDef* A, TuxValueDef* B) {
  return A->ValueTypeClass()->Caption().compare(B->ValueTypeClass()->Caption());
}

TEST_F(StorageTest, StreamOrder) {
  TuxValueDef* s = storage.ValueDefs()->Add(TuxStringValueType::Instance(), true, nullptr, false);
  TuxValueDef* i = storage.ValueDefs()->Add(TuxIntegerValueType::Instance(), true, nullptr, false);
  storage.SetRecordCount(1);
  storage.SetRecordValue(0, s, Variant("a"));
  storage.SetRecordValue(0, i, Variant(1));
  EXPECT_EQ(Hex(SavedRecord(storage, 0)), "00" "00" "01000000" "61" "00" "01000000");
  storage.BeginStreamOrder(CompareByTypeCaption);  // Integer before String
  EXPECT_EQ(Hex(SavedRecord(storage, 0)), "00" "00" "01000000" "00" "01000000" "61");
  storage.EndStreamOrder();
}

TEST(LookupList, FindGivesTheInsertPosition) {
  TuxLookupList list;
  int index = -1;
  EXPECT_FALSE(list.Find(Variant(1), index));
  EXPECT_EQ(index, 0);
  list.Insert(0, Variant(1), "one");
  list.Insert(1, Variant(3), "three");
  list.Insert(2, Variant(5), "five");
  EXPECT_FALSE(list.Find(Variant(4), index));
  EXPECT_EQ(index, 2);
  EXPECT_TRUE(list.Find(Variant(5), index));
  EXPECT_EQ(index, 2);
  EXPECT_EQ(list.GetItem(1).DisplayText, "three");
  EXPECT_THROW(list.GetItem(3), EListError);
}

TEST(Bcd, TextAndComparison) {
  TuxBcd a, b;
  ASSERT_TRUE(uxTryStrToBcd("-0012.500", a));
  EXPECT_EQ(uxBcdToStr(a), "-12.5");
  ASSERT_TRUE(uxTryStrToBcd("3", b));
  EXPECT_LT(uxBcdCompare(a, b), 0);
  ASSERT_TRUE(uxTryStrToBcd("-0", b));
  EXPECT_EQ(uxBcdToStr(b), "0");
  EXPECT_FALSE(uxTryStrToBcd("1e5", b));
  EXPECT_FALSE(uxTryStrToBcd("", b));
  EXPECT_FALSE(uxTryStrToBcd(AnsiString(65, '1'), b));
}

}  // namespace
