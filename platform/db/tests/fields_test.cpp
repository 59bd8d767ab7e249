#include <gtest/gtest.h>

#include <cstring>

#include "platform/db/tests/dbtest.h"
#include "platform/rtl/datetime.h"
#include "platform/rtl/strings.h"

namespace {

class FieldsTest : public OpenTableTest {
 protected:
  void SetUp() override {
    OpenTable("f.l", NodeTableSql("t", 3) +
              "CREATE TABLE kinds (tid INTEGER PRIMARY KEY AUTOINCREMENT, s SMALLINT, "
              "w BYTE, big BIGINT, price CURRENCY, amount NUMERIC, day DATE, at TIME, "
              "pic IMAGE, any);"
              "INSERT INTO kinds (s) VALUES (1);"
              "UPDATE t SET ttype = 4278190104 WHERE tid = 3;");
  }
  TField* F(const char* name) { return table.FieldByName(name); }
};

TEST_F(FieldsTest, DefaultFieldsCarryTheDeclaredTypes) {
  struct Case {
    const char* name;
    TFieldType type;
    TClass cls;
    int size;
  } cases[] = {
      {"tid", ftAutoInc, TAutoIncField::StaticClass(), 0},    {"tname", ftString, TStringField::StaticClass(), 50},
      {"ttype", ftInteger, TIntegerField::StaticClass(), 0},   {"ttext1", ftMemo, TMemoField::StaticClass(), 0},
      {"ttext7", ftBlob, TBlobField::StaticClass(), 0},        {"tdate", ftDateTime, TDateTimeField::StaticClass(), 0},
      {"tflag", ftBoolean, TBooleanField::StaticClass(), 0},   {"tprice", ftCurrency, TCurrencyField::StaticClass(), 0},
      {"tratio", ftFloat, TFloatField::StaticClass(), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TField* f = F(c.name);
    EXPECT_EQ(f->DataType(), c.type);
    EXPECT_EQ(f->ClassType(), c.cls);
    EXPECT_EQ(f->Size(), c.size);
    EXPECT_EQ(f->FieldKind(), fkData);
    EXPECT_EQ(f->Index() + 1, f->FieldNo());
  }
  EXPECT_TRUE(F("tid")->ReadOnly());
  EXPECT_FALSE(F("tid")->CanModify());
  EXPECT_TRUE(F("tname")->CanModify());
  EXPECT_TRUE(F("ttext1")->IsBlob());
  EXPECT_EQ(F("tid")->Alignment(), taRightJustify);
  EXPECT_EQ(table.FindField("nosuch"), nullptr);
  try {
    table.FieldByName("nosuch");
    FAIL();
  } catch (const EDatabaseError& e) {
    EXPECT_NE(std::string(e.Message).find("Field 'nosuch' not found"), std::string::npos);
  }
  // Field types keep the platform's order.
  EXPECT_EQ(static_cast<int>(ftString), 1);
  EXPECT_EQ(static_cast<int>(ftAutoInc), 14);
  EXPECT_EQ(static_cast<int>(ftMemo), 16);
  EXPECT_EQ(static_cast<int>(ftWideString), 24);
  EXPECT_EQ(static_cast<int>(ftFMTBcd), 37);
}

TEST_F(FieldsTest, IntegersAreSigned32Bit) {
  table.SetRecNo(3);
  EXPECT_EQ(F("ttype")->AsInteger(), static_cast<int>(0xFF000018u));
  EXPECT_LT(F("ttype")->AsInteger(), 0);
  EXPECT_EQ(F("ttype")->AsString(), "-16777192");
  table.Edit();
  // The unsigned spelling of a colour keeps its bits.
  F("ttype")->SetAsVariant(Variant(static_cast<long long>(0xFF00001Cu)));
  EXPECT_EQ(F("ttype")->AsInteger(), static_cast<int>(0xFF00001Cu));
  F("ttype")->SetAsString("-16777192");
  EXPECT_EQ(F("ttype")->AsInteger(), static_cast<int>(0xFF000018u));
  EXPECT_THROW(F("ttype")->SetAsString("4294967296"), EDatabaseError);
  table.Post();
}

TEST_F(FieldsTest, ConversionFailuresRaiseThePlatformErrors) {
  table.Edit();
  struct Case {
    const char* field;
    const char* text;
    const char* message;
  } cases[] = {
      {"ttype", "abc", "'abc' is not a valid integer value for field 'ttype'"},
      {"ttype", "1.5x", "'1.5x' is not a valid integer value for field 'ttype'"},
      {"tratio", "zz", "'zz' is not a valid floating point value for field 'tratio'"},
      {"tflag", "maybe", "'maybe' is not a valid boolean value for field 'tflag'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    try {
      F(c.field)->SetAsString(c.text);
      ADD_FAILURE() << "accepted";
    } catch (const EDatabaseError& e) {
      EXPECT_NE(std::string(e.Message).find(c.message), std::string::npos) << e.Message;
    }
  }
  EXPECT_THROW(F("tdate")->SetAsString("not a date"), EConvertError);
  EXPECT_THROW(F("tname")->AsDateTime(), EConvertError);
  EXPECT_THROW(F("ttype")->AsDateTime(), EDatabaseError);  // "Cannot access field 'ttype' as type DateTime"
  // Nothing was changed by the failures.
  EXPECT_EQ(F("ttype")->AsInteger(), 50);
  table.Cancel();
}

TEST_F(FieldsTest, ValuesConvertBetweenKinds) {
  table.Edit();
  F("tratio")->SetAsString("2.5");
  EXPECT_DOUBLE_EQ(F("tratio")->AsFloat(), 2.5);
  EXPECT_EQ(F("tratio")->AsInteger(), 2);  // rounds half to even
  F("tflag")->SetAsString("t");
  EXPECT_TRUE(F("tflag")->AsBoolean());
  EXPECT_EQ(F("tflag")->AsString(), "True");
  F("tflag")->SetAsBoolean(false);
  EXPECT_EQ(F("tflag")->DisplayText(), "False");
  F("tprice")->SetAsCurrency(Currency::FromScaled(12345600));
  EXPECT_EQ(F("tprice")->AsCurrency(), Currency::FromScaled(12345600));
  F("tdate")->SetAsDateTime(EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 0, 0));
  EXPECT_EQ(F("tdate")->AsVariant().Type(), varDate);
  EXPECT_DOUBLE_EQ(F("tdate")->AsFloat(), EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 0, 0));
  F("tname")->SetAsInteger(42);
  EXPECT_EQ(F("tname")->AsInteger(), 42);
  F("tname")->Clear();
  EXPECT_TRUE(F("tname")->IsNull());
  EXPECT_TRUE(F("tname")->AsVariant().IsNull());
  EXPECT_EQ(F("tname")->AsString(), "");
  F("ttype")->SetAsVariant(Null());
  EXPECT_TRUE(F("ttype")->IsNull());
  EXPECT_EQ(F("ttype")->AsInteger(), 0);
  F("tname")->SetAsWideString(u"林远");
  EXPECT_EQ(F("tname")->AsWideString(), u"林远");
  table.Post();
  table.Refresh();
  EXPECT_EQ(F("tprice")->AsCurrency(), Currency::FromScaled(12345600));
  EXPECT_EQ(AnsiToUtf8(F("tname")->AsString()), "林远");
  EXPECT_FALSE(F("tflag")->AsBoolean());
}

TEST_F(FieldsTest, OtherKindsMapAndRoundTrip) {
  TADOTable k(nullptr);
  k.SetConnection(&conn);
  k.SetTableName("kinds");
  k.Open();
  EXPECT_EQ(k.FieldByName("s")->DataType(), ftSmallint);
  EXPECT_EQ(k.FieldByName("w")->DataType(), ftWord);
  EXPECT_EQ(k.FieldByName("big")->DataType(), ftLargeint);
  EXPECT_EQ(k.FieldByName("amount")->DataType(), ftBCD);
  EXPECT_EQ(k.FieldByName("day")->DataType(), ftDate);
  EXPECT_EQ(k.FieldByName("at")->DataType(), ftTime);
  EXPECT_EQ(k.FieldByName("pic")->DataType(), ftGraphic);
  EXPECT_EQ(k.FieldByName("any")->DataType(), ftVariant);
  k.Edit();
  EXPECT_THROW(k.FieldByName("s")->SetAsInteger(40000), EDatabaseError);
  EXPECT_THROW(k.FieldByName("w")->SetAsInteger(-1), EDatabaseError);
  k.FieldByName("big")->SetAsString("9000000000");
  k.FieldByName("amount")->SetAsString("12.3456");
  k.FieldByName("any")->SetAsVariant(Variant(7));
  k.Post();
  k.Refresh();
  EXPECT_EQ(static_cast<TLargeintField*>(k.FieldByName("big"))->AsLargeInt(), 9000000000LL);
  EXPECT_EQ(k.FieldByName("amount")->AsCurrency(), Currency::FromScaled(123456));
  EXPECT_EQ(k.FieldByName("any")->AsVariant().AsInteger(), 7);
  EXPECT_EQ(k.FieldByName("s")->AsInteger(), 1);
}

TEST_F(FieldsTest, TextEventsAndFormats) {
  struct Handler {
    void GetText(TField* f, AnsiString& text, bool display) { text = (display ? "D:" : "E:") + f->AsString(); }
    void SetText(TField* f, const AnsiString& text) { f->SetAsString("[" + text + "]"); }
  } h;
  F("tname")->OnGetText = TFieldGetTextEvent(&h, &Handler::GetText);
  F("tname")->OnSetText = TFieldSetTextEvent(&h, &Handler::SetText);
  EXPECT_EQ(F("tname")->DisplayText(), "D:n1");
  EXPECT_EQ(F("tname")->Text(), "E:n1");
  table.Edit();
  F("tname")->SetText("x");
  EXPECT_EQ(F("tname")->AsString(), "[x]");
  F("tratio")->SetAsFloat(1234.5);
  static_cast<TFloatField*>(F("tratio"))->SetDisplayFormat("#,##0.00");
  EXPECT_EQ(F("tratio")->DisplayText(), "1,234.50");
  EXPECT_EQ(F("tratio")->Text(), "1234.5");
  EXPECT_EQ(F("ttext1")->DisplayText(), "(memo)");
  F("ttext1")->SetAsString("body");
  EXPECT_EQ(F("ttext1")->DisplayText(), "(MEMO)");
  EXPECT_EQ(F("tdate")->DisplayText(), "");
  table.Cancel();
  EXPECT_TRUE(F("ttype")->IsValidChar('7'));
  EXPECT_FALSE(F("ttype")->IsValidChar('x'));
}

TEST_F(FieldsTest, NativeBuffersCopyValuesBetweenRecords) {
  // The copy a tree does when it drops a node: read native data, write it elsewhere.
  table.SetRecNo(1);
  std::vector<std::vector<char>> buffers;
  std::vector<bool> present;
  const char* names[] = {"tname", "ttype", "tratio", "tflag", "tdate"};
  table.Edit();
  F("tratio")->SetAsFloat(0.25);
  F("tflag")->SetAsBoolean(true);
  F("tdate")->SetAsDateTime(45000.25);
  F("tname")->SetAsString(Utf8ToAnsi("节点"));
  table.Post();
  for (const char* n : names) {
    std::vector<char> b(F(n)->DataSize() + 1);
    present.push_back(F(n)->GetData(b.data()));
    buffers.push_back(std::move(b));
  }
  table.Append();
  for (size_t i = 0; i < buffers.size(); ++i)
    if (present[i]) F(names[i])->SetData(buffers[i].data());
  table.Post();
  EXPECT_EQ(F("tname")->AsString(), Utf8ToAnsi("节点"));
  EXPECT_EQ(F("ttype")->AsInteger(), 50);
  EXPECT_DOUBLE_EQ(F("tratio")->AsFloat(), 0.25);
  EXPECT_TRUE(F("tflag")->AsBoolean());
  EXPECT_DOUBLE_EQ(F("tdate")->AsDateTime(), 45000.25);
  // A null value reports no data.
  std::vector<char> b(F("ttext1")->DataSize() + 8);
  EXPECT_FALSE(F("tprice")->GetData(b.data()));
}

TEST_F(FieldsTest, BlobStreamsReadAndWrite) {
  std::string bytes("\x00\x01\xFFhello\x00", 9);
  table.Edit();
  {
    std::unique_ptr<TStream> w(table.CreateBlobStream(F("ttext7"), bmWrite));
    w->WriteBuffer(bytes.data(), static_cast<LongInt>(bytes.size()));
  }
  table.Post();
  table.Refresh();
  {
    std::unique_ptr<TStream> r(table.CreateBlobStream(F("ttext7"), bmRead));
    ASSERT_EQ(r->Size(), 9);
    std::string back(9, '\0');
    r->ReadBuffer(back.data(), 9);
    EXPECT_EQ(back, bytes);
    EXPECT_THROW(r->WriteBuffer("x", 1), EDatabaseError);
  }
  // Writing needs edit state.
  EXPECT_THROW(std::unique_ptr<TStream>(table.CreateBlobStream(F("ttext7"), bmWrite)), EDatabaseError);
  table.Edit();
  {
    std::unique_ptr<TStream> rw(table.CreateBlobStream(F("ttext1"), bmReadWrite));
    rw->Seek(0, soEnd);
    const AnsiString more = Utf8ToAnsi("续写");
    rw->WriteBuffer(more.data(), static_cast<LongInt>(more.size()));
  }
  table.Post();
  EXPECT_EQ(F("ttext1")->AsString(), Utf8ToAnsi("续写"));
  EXPECT_THROW(table.CreateBlobStream(F("tname"), bmRead), EDatabaseError);
}

// A refused blob write is reported to whoever commits the stream, and the
// field keeps its value.
struct BlobRefuser {
  void Validate(TField*) { throw EDatabaseError("refused"); }
};

TEST_F(FieldsTest, CommittingABlobStreamReportsARefusal) {
  table.Edit();
  {
    std::unique_ptr<TStream> w(table.CreateBlobStream(F("ttext1"), bmWrite));
    w->WriteBuffer("ok", 2);
    TDataSet::CommitBlobStream(w.get());
    EXPECT_EQ(F("ttext1")->AsString(), "ok");
  }
  BlobRefuser r;
  F("ttext1")->OnValidate = TFieldNotifyEvent(&r, &BlobRefuser::Validate);
  {
    std::unique_ptr<TStream> w(table.CreateBlobStream(F("ttext1"), bmWrite));
    w->WriteBuffer("no", 2);
    EXPECT_THROW(TDataSet::CommitBlobStream(w.get()), EDatabaseError);
  }  // freeing it writes nothing more
  EXPECT_EQ(F("ttext1")->AsString(), "ok");
  F("ttext1")->OnValidate = nullptr;
  table.Cancel();
}

TEST_F(FieldsTest, CalculatedAndLookupFields) {
  table.Close();
  // Persistent fields: the data fields used, one calculated, one lookup into another table.
  TADOTable types(nullptr);
  types.SetConnection(&conn);
  types.SetTableName("t");
  types.Open();
  TIntegerField tid(nullptr), ttype(nullptr), tparent(nullptr);
  tid.SetFieldName("tid");
  ttype.SetFieldName("ttype");
  tparent.SetFieldName("tparent");
  TStringField calc(nullptr), parentName(nullptr);
  calc.SetFieldName("label");
  calc.SetFieldKind(fkCalculated);
  calc.SetSize(30);
  parentName.SetFieldName("parentName");
  parentName.SetFieldKind(fkLookup);
  parentName.SetLookupDataSet(&types);
  parentName.KeyFields = "tparent";
  parentName.LookupKeyFields = "tid";
  parentName.LookupResultField = "tname";
  for (TField* f : std::initializer_list<TField*>{&tid, &ttype, &tparent, &calc, &parentName}) f->SetDataSet(&table);
  struct Handler {
    int calls = 0;
    void Calc(TDataSet* ds) {
      ++calls;
      ds->FieldByName("label")->SetAsString("#" + ds->FieldByName("tid")->AsString());
    }
  } h;
  table.OnCalcFields = TDataSetNotifyEvent(&h, &Handler::Calc);
  table.Open();
  EXPECT_EQ(table.FieldCount(), 5);
  EXPECT_EQ(table.FindField("tname"), nullptr);  // not among the persistent fields
  table.SetRecNo(3);  // tparent 1
  EXPECT_EQ(calc.AsString(), "#3");
  EXPECT_EQ(parentName.AsString(), "n1");
  table.First();  // tparent 0: no such row
  EXPECT_TRUE(parentName.IsNull());
  EXPECT_GT(h.calls, 0);
  // Editing recalculates as fields change.
  table.Edit();
  tparent.SetAsInteger(2);
  EXPECT_EQ(parentName.AsString(), "n2");
  table.Cancel();
  EXPECT_FALSE(calc.CanModify());
  table.Close();
  for (TField* f : std::initializer_list<TField*>{&tid, &ttype, &tparent, &calc, &parentName}) f->SetDataSet(nullptr);
}

TEST_F(FieldsTest, OldValueIsTheRecordBeforeTheEdit) {
  table.Edit();
  F("tname")->SetAsString("new");
  EXPECT_EQ(VarToStr(F("tname")->OldValue()), "n1");
  EXPECT_EQ(F("tname")->AsString(), "new");
  table.Cancel();
  table.Append();
  EXPECT_TRUE(F("tname")->OldValue().IsNull());
  table.Cancel();
}

}  // namespace
