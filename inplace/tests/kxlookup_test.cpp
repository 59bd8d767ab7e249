// The data-field helpers (blob edit kinds, writing blob values, whether a
// lookup field's keys can change) and the lookup editor: incremental search
// (Latin and Chinese), clearing, the drop-down list of the lookup dataset,
// closing it by click, Escape and focus loss, wheel steps and read-only keys.
#include "inplace/tests/kxtest.h"

#include "inplace/kxlookup.h"
#include "platform/db/ado.h"
#include "platform/db/sqlite_wrap.h"

namespace {

// A field whose type is formatted memo (no field class of its own here).
class KxFmtMemoField : public TMemoField {
 public:
  KxFmtMemoField() : TMemoField(nullptr) { FDataType = ftFmtMemo; }
};

// A record of "p" whose kind is a key into the kinds "k"; "kindName" is the
// lookup field showing the kind's name.
class KxLookupTest : public InplaceTest {
 protected:
  TKxTempDir Dir;
  TADOConnection* Conn = nullptr;
  TADOTable* Records = nullptr;
  TADOTable* Kinds = nullptr;
  TIntegerField* Tid = nullptr;
  TIntegerField* Kind = nullptr;
  TStringField* KindName = nullptr;
  TkxInplaceLookupEdit* E = nullptr;

  void SetUp() override {
    InplaceTest::SetUp();
    const std::string file = Dir.Path + "/l.mdb";
    pvsql::Db::Create(file)->Exec(
        "CREATE TABLE k (kid INTEGER PRIMARY KEY, kname TEXT(50));"
        "INSERT INTO k VALUES (1, 'Apple');"
        "INSERT INTO k VALUES (2, 'apricot');"
        "INSERT INTO k VALUES (3, 'Banana');"
        "INSERT INTO k VALUES (4, 'Cherry');"
        "INSERT INTO k VALUES (5, '" +
        std::string("\xE4\xB8\xAD\xE6\x96\x87") +  // 中文
        "');"
        "CREATE TABLE p (tid INTEGER PRIMARY KEY AUTOINCREMENT, tkind INTEGER, tother INTEGER, tpic LONGBINARY, "
        "tnote MEMO);"
        "INSERT INTO p (tkind, tother) VALUES (3, 0);");
    Conn = new TADOConnection(Form);
    Conn->SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + file);
    Kinds = new TADOTable(Form);
    Kinds->SetConnection(Conn);
    Kinds->SetTableName("k");
    Kinds->Open();
    Records = new TADOTable(Form);
    Records->SetConnection(Conn);
    Records->SetTableName("p");
    Tid = new TIntegerField(Form);
    Tid->SetFieldName("tid");
    Kind = new TIntegerField(Form);
    Kind->SetFieldName("tkind");
    KindName = new TStringField(Form);
    KindName->SetFieldName("kindName");
    KindName->SetFieldKind(fkLookup);
    KindName->SetLookupDataSet(Kinds);
    KindName->KeyFields = "tkind";
    KindName->LookupKeyFields = "kid";
    KindName->LookupResultField = "kname";
    KindName->SetSize(50);
    for (TField* f : std::initializer_list<TField*>{Tid, Kind, KindName}) f->SetDataSet(Records);
    Records->Open();
    Records->Edit();
    E = NewEditor<TkxInplaceLookupEdit>();
    E->SetLookupField(KindName);
  }
  void TearDown() override {
    E = nullptr;
    DoneForms();
    InplaceTest::TearDown();
  }
  void ShowLookup() { Activate(E, kxRect(20, 30, 180, 50), KindName->AsVariant()); }
  void TypeChar(const char* Utf8) {
    if (static_cast<unsigned char>(Utf8[0]) >= 0x80) Type(Utf8);
    else {
      hb->KeyDown(0, false, Utf8);
      hb->KeyUp(0);
      Pump();
    }
  }
  std::tuple<AnsiString, int, int> State() { return {E->Text(), E->SelStart(), E->SelLength()}; }
  bool ListShown() { return E->List()->HandleAllocated() && IsWindowVisible(E->List()->Handle()); }
  Variant KindValue() { return Kind->AsVariant(); }
};

using LookupState = std::tuple<AnsiString, int, int>;

TEST(KxDataFieldHelpers, BlobEditKinds) {
  TMemoField memo(nullptr);
  KxFmtMemoField fmt;
  TGraphicField graphic(nullptr);
  TBlobField blob(nullptr);
  TIntegerField number(nullptr);
  struct Case {
    TkxBlobKind Kind;
    TField* Field;
    TkxBlobEditKind Want;
  } cases[] = {
      {bkAuto, &fmt, bekMemo},     {bkAuto, &memo, bekMemo},    {bkAuto, &graphic, bekPict},
      {bkAuto, &blob, bekBlob},    {bkAuto, &number, bekBlob},  {bkAuto, nullptr, bekBlob},
      {bkPict, &memo, bekPict},    {bkPict, nullptr, bekPict},  {bkMemo, &graphic, bekMemo},
      {bkBlob, &memo, bekBlob},    {bkOle, nullptr, bekOle},
  };
  for (const Case& c : cases)
    EXPECT_EQ(c.Want, kxGetBlobEditKind(c.Kind, c.Field)) << int(c.Kind) << " " << (c.Field ? c.Field->ClassName() : "nil");
}

TEST_F(KxLookupTest, AssigningBlobValuesClearsStoresOrRefuses) {
  Records->Cancel();
  TADOTable* all = new TADOTable(Form);
  all->SetConnection(Conn);
  all->SetTableName("p");
  all->Open();
  all->Edit();
  TField* pic = all->FieldByName("tpic");
  TField* note = all->FieldByName("tnote");
  kxAssignBlobFieldValue(Variant(Gbk("笔记")), note);
  EXPECT_EQ(Gbk("笔记"), note->AsString());
  // A picture's bytes are stored as they are.
  std::unique_ptr<TBitmap> bmp(new TBitmap);
  bmp->SetSize(3, 2);
  TMemoryStream ms;
  bmp->SaveToStream(&ms);
  const AnsiString bytes(static_cast<const char*>(ms.Memory()), std::size_t(ms.Size()));
  kxAssignBlobFieldValue(Variant(bytes), pic);
  EXPECT_EQ(bytes, static_cast<TBlobField*>(pic)->BlobValue());
  // A number is no picture: an error, and the field keeps its bytes.
  for (int n : {12345, -1}) {
    EXPECT_THROW(kxAssignBlobFieldValue(Variant(n), pic), EDatabaseError) << n;
    EXPECT_EQ(bytes, static_cast<TBlobField*>(pic)->BlobValue());
  }
  EXPECT_THROW(kxAssignBlobFieldValue(Variant(2.5), pic), EDatabaseError);
  kxAssignBlobFieldValue(Variant(0), pic);  // no picture
  EXPECT_TRUE(pic->IsNull());
  kxAssignBlobFieldValue(Variant::Null(), note);
  EXPECT_TRUE(note->IsNull());
  kxAssignBlobFieldValue(Variant("x"), nullptr);  // no field: nothing
  all->Cancel();
}

TEST_F(KxLookupTest, LookupFieldsCanBeModifiedOnlyThroughModifiableKeys) {
  TStringField loose(nullptr);
  loose.KeyFields = "tkind";
  EXPECT_FALSE(kxCanModifyLookupField(&loose));  // no dataset
  EXPECT_FALSE(kxCanModifyLookupField(nullptr));
  EXPECT_TRUE(kxCanModifyLookupField(KindName));
  KindName->KeyFields = "";
  EXPECT_FALSE(kxCanModifyLookupField(KindName));
  KindName->KeyFields = "tkind;tid";
  EXPECT_TRUE(kxCanModifyLookupField(KindName));
  Tid->SetReadOnly(true);
  EXPECT_FALSE(kxCanModifyLookupField(KindName));
  KindName->KeyFields = "tkind;nosuch";
  EXPECT_THROW(kxCanModifyLookupField(KindName), EDatabaseError);
  KindName->KeyFields = "tkind";
}

TEST_F(KxLookupTest, TypingSearchesTheLookupRecordsAndWritesTheKey) {
  ShowLookup();
  E->SetFocus();
  EXPECT_EQ("Banana", E->Text());
  E->SelectAll();
  TypeChar("A");
  EXPECT_EQ(LookupState("Apple", 1, 4), State());
  EXPECT_EQ(1, KindValue().AsInteger());
  EXPECT_TRUE(E->Searching());
  EXPECT_TRUE(ListShown());  // dropped down at the first character
  EXPECT_EQ(1, E->List()->KeyValue().AsInteger());
  TypeChar("P");
  TypeChar("r");  // matching ignores case
  EXPECT_EQ(LookupState("apricot", 3, 4), State());
  EXPECT_EQ(2, KindValue().AsInteger());
  EXPECT_EQ(2, E->List()->KeyValue().AsInteger());
  // A letter that matches nothing leaves the previous match.
  TypeChar("z");
  EXPECT_EQ(LookupState("apricot", 3, 4), State());
  EXPECT_EQ("APr", E->SearchText());
  EXPECT_EQ(2, KindValue().AsInteger());
  // Backspace shortens the prefix and searches again.
  Press(VK_BACK);
  EXPECT_EQ(LookupState("Apple", 2, 3), State());
  EXPECT_EQ(1, KindValue().AsInteger());
  EXPECT_TRUE(E->Modified());
  // Escape ends the search and closes the list without changing the value.
  Press(VK_ESCAPE);
  EXPECT_FALSE(E->Searching());
  EXPECT_FALSE(ListShown());
  EXPECT_EQ(1, KindValue().AsInteger());
}

TEST_F(KxLookupTest, ChineseTextIsSearchedWhole) {
  ShowLookup();
  E->SetFocus();
  E->SelectAll();
  TypeChar("中");
  EXPECT_EQ(LookupState(Gbk("中文"), 2, 2), State());
  EXPECT_EQ(5, KindValue().AsInteger());
  // A double-byte character is dropped whole by a miss and by Backspace.
  TypeChar("国");
  EXPECT_EQ(Gbk("中"), E->SearchText());
  EXPECT_EQ(LookupState(Gbk("中文"), 2, 2), State());
  // Backspace to an empty search matches the first record.
  Press(VK_BACK);
  EXPECT_EQ("", E->SearchText());
  EXPECT_EQ(LookupState("Apple", 0, 5), State());
  EXPECT_EQ(1, KindValue().AsInteger());
}

TEST_F(KxLookupTest, DeleteClearsTheKeyOnlyWhenAllowed) {
  ShowLookup();
  E->SetFocus();
  E->SelectAll();
  Press(VK_DELETE);
  EXPECT_EQ(3, KindValue().AsInteger());
  EXPECT_EQ("Banana", E->Text());
  E->CanDeleteText = true;
  E->SelectAll();
  Press(VK_DELETE);
  EXPECT_TRUE(Kind->IsNull());
  EXPECT_EQ("", E->Text());
  EXPECT_TRUE(E->Modified());
  // The clear key, and Backspace on the whole text.
  E->SetKeyValue(Variant(4));
  EXPECT_EQ("Cherry", E->Text());
  E->ClearKey = ShortCut('D', TShiftState{ssCtrl});
  Press('D', HeadlessBackend::Ctrl);
  EXPECT_TRUE(Kind->IsNull());
  E->SetKeyValue(Variant(4));
  E->SelectAll();
  Press(VK_BACK);
  EXPECT_TRUE(Kind->IsNull());
}

TEST_F(KxLookupTest, TheListShowsTheLookupRecordsAndAClickChoosesOne) {
  ShowLookup();
  E->SetFocus();
  Press(VK_F4);
  ASSERT_TRUE(ListShown());
  TPopupDBLookupListBox* l = E->List();
  EXPECT_EQ(5, l->RowCount());  // fewer records than DropDownRows
  EXPECT_EQ(5 * l->ItemHeight(), l->ClientHeight());
  EXPECT_EQ(2, l->SelectedIndex());  // the current key's row
  EXPECT_EQ(E->Width(), l->Width());
  EXPECT_EQ(E->Handle(), GetFocus());
  RECT er, lr;
  GetWindowRect(E->Handle(), &er);
  GetWindowRect(l->Handle(), &lr);
  EXPECT_EQ(er.bottom, lr.top);
  EXPECT_EQ(er.left, lr.left);
  // Clicking a row writes its key and closes the list.
  TPoint p = At(l, 5, 3 * l->ItemHeight() + 2);
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_FALSE(ListShown());
  EXPECT_EQ(4, KindValue().AsInteger());
  EXPECT_EQ("Cherry", E->Text());
  EXPECT_EQ(E->GetTextLength(), E->SelLength());
  EXPECT_EQ(nullptr, l->ListSource());
  // At most DropDownRows rows.
  E->DropDownRows = 3;
  Press(VK_F4);
  EXPECT_EQ(3, l->RowCount());
  // Escape closes writing nothing, though the list moved.
  Press(VK_UP);
  Press(VK_ESCAPE);
  EXPECT_FALSE(ListShown());
  EXPECT_EQ(4, KindValue().AsInteger());
  // Losing the focus closes it writing nothing either.
  Press(VK_F4);
  Press(VK_HOME);
  Host->SetFocus();
  Pump();
  EXPECT_FALSE(ListShown());
  EXPECT_EQ(4, KindValue().AsInteger());
}

TEST_F(KxLookupTest, CloseUpEventMayChangeOrRefuseTheKey) {
  struct Handler {
    Variant Seen;
    Variant Replace;
    bool Refuse = false;
    void CloseUp(TObject*, Variant& Value, bool& Accept) {
      Seen = Value;
      if (!Replace.IsEmpty()) Value = Replace;
      if (Refuse) Accept = false;
    }
  } h;
  E->OnCloseUp = TkxLookupCloseUpEvent(&h, &Handler::CloseUp);
  ShowLookup();
  E->SetFocus();
  Press(VK_F4);
  Press(VK_DOWN);
  h.Refuse = true;
  Press(VK_RETURN);
  EXPECT_EQ(4, h.Seen.AsInteger());
  EXPECT_EQ(3, KindValue().AsInteger());
  h.Refuse = false;
  h.Replace = Variant(1);
  Press(VK_F4);
  Press(VK_RETURN);
  EXPECT_EQ(1, KindValue().AsInteger());
  EXPECT_EQ("Apple", E->Text());
}

TEST_F(KxLookupTest, TheWheelStepsThroughTheLookupRecords) {
  struct Case {
    int Start, Delta;
    bool Cyclic;
    int Want;
  } cases[] = {
      {3, 1, false, 4}, {3, -1, false, 2}, {5, 1, false, 5}, {5, 1, true, 1}, {1, -1, false, 1}, {9, 1, false, 1},
  };
  ShowLookup();
  for (const Case& c : cases) {
    Kind->SetAsInteger(c.Start);
    E->StepItem(c.Delta, c.Cyclic);
    EXPECT_EQ(c.Want, KindValue().AsInteger()) << c.Start << " " << c.Delta;
    EXPECT_EQ(E->GetTextLength(), E->SelLength());
  }
  Kind->SetAsInteger(3);
  RECT r;
  GetWindowRect(E->Handle(), &r);
  hb->Wheel(r.left + 10, r.top + 5, -120);  // towards the user: the next record
  Pump();
  EXPECT_EQ(4, KindValue().AsInteger());
  EXPECT_EQ("Cherry", E->Text());
}

TEST_F(KxLookupTest, AReadOnlyKeyNeitherDropsDownNorSearches) {
  Kind->SetReadOnly(true);
  ShowLookup();
  E->SetFocus();
  EXPECT_TRUE(E->ReadOnly());
  Press(VK_F4);
  EXPECT_FALSE(ListShown());
  E->SelectAll();
  TypeChar("a");
  EXPECT_EQ("Banana", E->Text());
  EXPECT_FALSE(E->Searching());
  EXPECT_EQ(3, KindValue().AsInteger());
  EXPECT_FALSE(E->SetKeyValue(Variant(1)));
  EXPECT_EQ(3, KindValue().AsInteger());
  // The host refusing changes: the key stays too.
  Kind->SetReadOnly(false);
  Host->ModifyOk = false;
  EXPECT_FALSE(E->SetKeyValue(Variant(1)));
  EXPECT_EQ(3, KindValue().AsInteger());
  EXPECT_EQ("Banana", E->Text());
  // The window is always read-only: the text is never typed freely.
  Host->ModifyOk = true;
  ShowLookup();
  E->SetReadOnly(false);
  EXPECT_TRUE(GetWindowLongA(E->Handle(), GWL_STYLE) & ES_READONLY);
}

TEST_F(KxLookupTest, TheCellAndItsDroppedList) {
  E->DropDownRows = 4;
  ShowLookup();
  E->SetFocus();
  // The cell painted by the class matches the live editor.
  Host->SetFocus();
  Pump();
  TRawImage live = Shot(E), cls = ClassShot(E);
  EXPECT_EQ(0, PixelDiffs(live, cls));
  // The list dropped under the cell, scrolled to the current record.
  E->SetFocus();
  Press(VK_F4);
  ASSERT_TRUE(ListShown());
  RECT er, lr;
  GetWindowRect(E->Handle(), &er);
  GetWindowRect(E->List()->Handle(), &lr);
  RECT all{er.left, er.top, std::max(er.right, lr.right), lr.bottom};
  TRawImage dropped;
  dropped.Width = all.right - all.left;
  dropped.Height = all.bottom - all.top;
  dropped.Pixels = hb->ComposeScreen(all);
  EXPECT_TRUE(MatchesReference(SideBySide(SideBySide(live, cls), dropped), "inplace/tests/ref", "lookup_cell"));
}

TEST_F(KxLookupTest, AFreedLookupFieldIsForgotten) {
  ShowLookup();
  Records->Close();
  KindName->SetDataSet(nullptr);
  delete KindName;
  KindName = nullptr;
  EXPECT_EQ(nullptr, E->LookupField());
  E->SetEditValue(Variant(7));
  EXPECT_EQ(7, E->KeyValue().AsInteger());
  EXPECT_EQ("", E->Text());
  Press(VK_F4);
  EXPECT_FALSE(ListShown());
}

}  // namespace
