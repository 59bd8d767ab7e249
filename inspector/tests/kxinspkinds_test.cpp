// The row kinds: settings and defaults, values moved between row and editor
// (check states, spin numbers, midnight, currency), the pop-up kind's sizes
// and control, and the data-aware inspector with its field-type rows.
#include "inspector/tests/insptest.h"

#include "inspector/kxdbinspkinds.h"
#include "platform/controls/extctrls.h"
#include "platform/db/ado.h"
#include "platform/db/tests/dbtest.h"

namespace kxinspkinds_test {

class KxInspectorKindsTest : public InspectorTest {
 protected:
  template <class R>
  R* Add(const char* Text = "") {
    auto* r = static_cast<R*>(Insp->AddRow(R::StaticClass()));
    r->SetText(Text);
    return r;
  }
  // Opens the editor of a row and returns it.
  TkxInplaceEdit* Open(TkxInspectorRow* Row) {
    Insp->SetFocusedNode(Row->Node());
    Insp->ShowEditorIfEditing();
    Pump();
    return Insp->CurrentEditor();
  }
  // Posts the open editor by moving to the first row.
  void Post() {
    ASSERT_TRUE(Insp->CurrentEditor());
    Insp->CurrentEditor()->SetModified(true);
    Insp->PostEditor();
  }
};

TEST_F(KxInspectorKindsTest, MaskAssignedFlagAndRestoreDefaults) {
  NewInspector();
  auto* m = Add<TkxInspectorTextMaskRow>();
  EXPECT_EQ("", m->EditMask());
  m->SetEditMask("");
  EXPECT_FALSE(m->IsEditMaskAssigned());
  EXPECT_FALSE(m->IsEditMaskStored());
  m->SetEditMask("999;0;_");
  EXPECT_TRUE(m->IsEditMaskStored());
  m->RestoreDefaults();
  EXPECT_EQ("", m->EditMask());
  EXPECT_FALSE(m->IsEditMaskAssigned());
  // Assign copies the kind's settings but not the text.
  auto* a = Add<TkxInspectorTextMaskRow>("keep");
  m->SetEditMask("00");
  m->SetText("other");
  a->Assign(m);
  EXPECT_EQ("00", a->EditMask());
  EXPECT_EQ("keep", a->Text());
}

TEST_F(KxInspectorKindsTest, CurrencyFormatFollowsTheLocaleUnlessSet) {
  NewInspector();
  auto* follows = Add<TkxInspectorTextCurrencyRow>("1");
  auto* set = Add<TkxInspectorTextCurrencyRow>("2");
  set->SetDisplayFormat("0.00 X");
  const AnsiString before = follows->DisplayFormat();
  const AnsiString oldSymbol = FormatSettings().CurrencyString;
  FormatSettings().CurrencyString = "EUR";
  SendMessageA(Insp->Handle(), CM_WININICHANGE, 0, 0);
  FormatSettings().CurrencyString = oldSymbol;
  EXPECT_NE(before, follows->DisplayFormat());
  EXPECT_NE(std::string::npos, follows->DisplayFormat().find("EUR"));
  EXPECT_EQ("0.00 X", set->DisplayFormat());
}

TEST_F(KxInspectorKindsTest, LookupAssignCopiesTheLookupSettings) {
  NewInspector();
  auto* from = static_cast<TkxInspectorLookupRow*>(Insp->AddRow(TkxInspectorLookupRow::StaticClass()));
  from->SetFieldName("tparent");
  from->ClearKey = TShortCut(VK_DELETE);
  from->ListFieldName = "tname";
  from->ListFieldIndex = 2;
  from->CanDeleteText = true;
  from->DropDownRows = 4;
  auto* to = static_cast<TkxInspectorLookupRow*>(Insp->AddRow(TkxInspectorLookupRow::StaticClass()));
  to->Assign(from);
  EXPECT_EQ("tparent", to->Binding.FieldName);
  EXPECT_EQ(TShortCut(VK_DELETE), to->ClearKey);
  EXPECT_EQ("tname", to->ListFieldName);
  EXPECT_EQ(2, to->ListFieldIndex);
  EXPECT_TRUE(to->CanDeleteText);
  EXPECT_EQ(4, to->DropDownRows);
}

TEST_F(KxInspectorKindsTest, CheckTextsAndStates) {
  NewInspector();
  auto* c = Add<TkxInspectorTextCheckRow>();
  struct Case {
    const char* Text;
    TkxCheckBoxState State;
  } cases[] = {{"True", cbsChecked}, {"true", cbsChecked}, {"FALSE", cbsUnchecked}, {"", cbsGrayed}, {"maybe", cbsGrayed}};
  for (const Case& k : cases) EXPECT_EQ(k.State, c->StateOfText(k.Text)) << k.Text;
  Show();
  c->SetText("odd");
  auto* e = dynamic_cast<TkxInplaceCheckEdit*>(Open(c));
  ASSERT_TRUE(e);
  EXPECT_EQ(cbsGrayed, e->State());  // whatever AllowGrayed says
  Post();
  EXPECT_EQ("", c->Text());  // ValueGrayed is empty
  e = dynamic_cast<TkxInplaceCheckEdit*>(Open(c));
  ASSERT_TRUE(e);
  e->SetState(cbsChecked);
  Post();
  EXPECT_EQ("True", c->Text());
}

TEST_F(KxInspectorKindsTest, SpinPostsRoundedOrGeneralNumbers) {
  NewInspector();
  auto* s = Add<TkxInspectorTextSpinRow>("abc");
  s->SetMaxValue(100);
  Show();
  auto* e = dynamic_cast<TkxInplaceSpinEdit*>(Open(s));
  ASSERT_TRUE(e);
  EXPECT_EQ(0, e->GetValue());  // a text that is no number loads as 0
  e->SetValue(2.6);
  Post();
  EXPECT_EQ("3", s->Text());
  s->ValueType = vtFloat;
  e = dynamic_cast<TkxInplaceSpinEdit*>(Open(s));
  ASSERT_TRUE(e);
  e->SetValue(2.5);
  Post();
  EXPECT_EQ("2.5", s->Text());
}

TEST_F(KxInspectorKindsTest, TimeRowKeepsMidnight) {
  NewInspector();
  auto* t = Add<TkxInspectorTextTimeRow>("10:20:30");
  Show();
  auto* e = dynamic_cast<TkxInplaceTimeEdit*>(Open(t));
  ASSERT_TRUE(e);
  e->SetTime(EncodeTime(1, 0, 0, 0));
  e->SetTime(0);
  EXPECT_EQ(0, e->GetTime());
  Post();
  EXPECT_FALSE(t->Text().empty());
  EXPECT_EQ("00:00:00", t->Text());
}

TEST_F(KxInspectorKindsTest, CurrencyPostsZeroAndNullAndPaintsFormats) {
  NewInspector();
  auto* c = Add<TkxInspectorTextCurrencyRow>("12");
  Show();
  auto* e = dynamic_cast<TkxInplaceCurrencyEdit*>(Open(c));
  ASSERT_TRUE(e);
  e->SetValue(0);
  Post();
  EXPECT_EQ("0", c->Text());
  // Painting goes through the display format; an empty Nullable text shows NullString.
  c->SetDisplayFormat("0.00");
  c->SetText("3.5");
  TkxInspectorCellViewData cell;
  std::unique_ptr<TkxEditViewData> vd(c->GetEditClass()->NewViewData());
  c->PrepareViewData(vd.get(), &cell);
  EXPECT_EQ("3.50", VarToStr(vd->Value));
  c->SetNullable(true);
  c->SetNullString("none");
  c->SetText("");
  c->PrepareViewData(vd.get(), &cell);
  EXPECT_EQ("none", VarToStr(vd->Value));
}

TEST_F(KxInspectorKindsTest, PopupSizesAndFreedControl) {
  NewInspector();
  auto* p = Add<TkxInspectorTextPopupRow>();
  p->SetPopupHeight(50);
  EXPECT_EQ(100, p->PopupHeight());
  p->SetPopupMinHeight(20);
  EXPECT_EQ(100, p->PopupHeight());
  auto* box = NewObject<TPanel>(Form);
  p->SetPopupControl(box);
  box->Free();
  EXPECT_EQ(nullptr, p->PopupControl());
}

TEST_F(KxInspectorKindsTest, ImageRowMatchesValuesAndDropsAFreedList) {
  NewInspector();
  auto* img = Add<TkxInspectorTextImageRow>("5");
  auto* list = NewObject<TImageList>(Form);
  list->SetSize(16, 40);
  img->SetImages(list);
  for (int i = 0; i < 14; ++i) {
    img->Values()->Add(IntToStr(i));
    img->ImageIndexes()->Add(IntToStr(i));
  }
  for (int i = 0; i < 7; ++i) img->Descriptions()->Add("d" + IntToStr(i));
  struct Case {
    const char* Value;
    bool DefaultImages;
    int Image, Description;
  } cases[] = {{"5", true, 5, 5}, {"10", true, 10, -1}, {"x", true, -1, -1}};
  for (const Case& k : cases) {
    int image = -2, description = -2;
    TkxInplaceImageEdit::LookupValueIndexes(k.Value, img->ImageIndexes(), description, image, k.DefaultImages,
                                            img->Values(), img->Descriptions());
    EXPECT_EQ(k.Image, image) << k.Value;
    EXPECT_EQ(k.Description, description) << k.Value;
  }
  Show();
  EXPECT_EQ(40, img->GetMinRowHeight(Insp->Canvas()));
  list->Free();
  EXPECT_EQ(nullptr, img->Images());
  EXPECT_LT(img->GetMinRowHeight(Insp->Canvas()), 40);
}

// ---------------------------------------------------------------------------
// Data-aware

class KxDBInspectorTest : public InspectorTest {
 protected:
  TempDir Dir;
  TADOConnection* Conn = nullptr;
  TADOTable* Table = nullptr;
  TDataSource* DS = nullptr;
  TkxDBInspector* DB = nullptr;
  void SetUp() override {
    InspectorTest::SetUp();
    MakeDatabase(Dir.File("t.t"),
                 "CREATE TABLE t (tid INTEGER PRIMARY KEY AUTOINCREMENT, tname TEXT(40), tflag YESNO, "
                 "tdate DATETIME, ttime TIME, tprice CURRENCY, tratio DOUBLE, tmemo MEMO, tpic LONGBINARY);"
                 "INSERT INTO t (tname, tflag, tdate, ttime, tprice, tratio, tmemo) VALUES "
                 "('a', 1, '2024-03-05 10:20:30', '2024-03-05 08:00:00', 12.5, 0.25, 'memo');");
    Conn = NewObject<TADOConnection>(nullptr);
    Conn->SetConnectionString(JetConnection(Dir.File("t.t")));
    Table = NewObject<TADOTable>(Form);
    Table->SetConnection(Conn);
    Table->SetTableName("t");
    DS = NewObject<TDataSource>(Form);
    DS->SetDataSet(Table);
    DB = NewInspector<TkxDBInspector>(260, 240);
    DB->SetDataSource(DS);
  }
  void TearDown() override {
    DoneForms();
    Conn->Free();
    InspectorTest::TearDown();
  }
  std::vector<std::string> RootClasses() {
    std::vector<std::string> v;
    for (int i = 0; i < DB->Count(); ++i)
      v.push_back(static_cast<TkxInspectorRowNode*>(DB->Items(i))->Row->ClassName());
    return v;
  }
};

TEST_F(KxDBInspectorTest, DefaultFieldsMakeOneRowPerVisibleField) {
  Table->Open();
  Show();
  EXPECT_EQ((std::vector<std::string>{"TkxInspectorDBMaskRow", "TkxInspectorDBMaskRow", "TkxInspectorDBCheckRow",
                                      "TkxInspectorDBDateRow", "TkxInspectorDBTimeRow", "TkxInspectorDBCurrencyRow",
                                      "TkxInspectorDBMaskRow", "TkxInspectorDBMemoRow", "TkxInspectorBlobRow"}),
            RootClasses());
  // Hiding a field drops its row and keeps the others' objects.
  TkxInspectorRow* nameRow = static_cast<TkxInspectorRowNode*>(DB->Items(1))->Row;
  Table->FieldByName("tid")->SetVisible(false);
  Pump();
  EXPECT_EQ(8, DB->Count());
  EXPECT_EQ(nameRow, static_cast<TkxInspectorRowNode*>(DB->Items(0))->Row);
  // Closing frees the rows; opening makes them anew.
  Table->Close();
  EXPECT_EQ(0, DB->RowCount());
  Table->Open();
  EXPECT_EQ(9, DB->RowCount());
  // Nodes cannot be added from code; no "Data" is written.
  EXPECT_THROW(DB->Add(), Exception);
  EXPECT_FALSE(DB->HasLayoutData());
  // ClearRows switches to designed rows.
  DB->ClearRows();
  EXPECT_FALSE(DB->DefaultFields());
  EXPECT_EQ(0, DB->RowCount());
}

TEST_F(KxDBInspectorTest, RegistryOffersAndEqualPriorities) {
  Table->Open();
  EXPECT_EQ(TkxInspectorDBCheckRow::StaticClass(), GetFieldRowClass(Table->FieldByName("tflag")));
  EXPECT_EQ(TkxInspectorDBMaskRow::StaticClass(), GetFieldRowClass(Table->FieldByName("tratio")));
  RegisterFieldRowClasses([](TFieldType, TFieldKind, TkxFieldRowClassEntry& E) {
    E.RowClass = TkxInspectorDBSpinRow::StaticClass();
    E.Priority = 1;  // equal priority: the first offer stays
  });
  EXPECT_EQ(TkxInspectorDBMaskRow::StaticClass(), GetFieldRowClass(Table->FieldByName("tratio")));
  ResetFieldRowClasses();
  EXPECT_EQ(TkxInspectorDBRow::StaticClass(), GetFieldRowClass(Table->FieldByName("tflag")));
}

TEST_F(KxDBInspectorTest, DesignedRowsBindByNameAndFocusTheFirstRowOfAField) {
  DB->SetDefaultFields(false);
  auto* a = static_cast<TkxInspectorDBMaskRow*>(DB->AddRow(TkxInspectorDBMaskRow::StaticClass()));
  a->SetFieldName("tname");
  auto* b = static_cast<TkxInspectorDBRow*>(DB->AddRow(TkxInspectorDBRow::StaticClass()));
  b->SetFieldName("tname");
  auto* missing = static_cast<TkxInspectorDBRow*>(DB->AddRow(TkxInspectorDBRow::StaticClass()));
  missing->SetFieldName("nothere");
  Table->Open();
  Show();
  EXPECT_EQ(Table->FieldByName("tname"), a->GetField());
  EXPECT_EQ(40, a->MaxLength());
  EXPECT_EQ("nothere", missing->Caption());
  EXPECT_FALSE(missing->CanModify());
  EXPECT_EQ("", missing->DisplayText());
  DB->SetFocusedNode(missing->Node());
  DB->FocusRowOfField(Table->FieldByName("tname"));
  EXPECT_EQ(a->Node(), DB->FocusedNode());  // the first match
}

TEST_F(KxDBInspectorTest, EscapeCyclesAndNoCancel) {
  DB->SetDefaultFields(false);
  auto* a = static_cast<TkxInspectorDBRow*>(DB->AddRow(TkxInspectorDBRow::StaticClass()));
  a->SetFieldName("tname");
  Table->Open();
  Show();
  Press(VK_END);
  Type("z");
  EXPECT_EQ(dsEdit, Table->State());
  Press(VK_ESCAPE);
  EXPECT_EQ("a", DB->CurrentEditor()->GetText());
  EXPECT_EQ(dsEdit, Table->State());
  DB->SetOptions(DB->Options() << dioNoCancel);
  Press(VK_ESCAPE);
  EXPECT_EQ(dsEdit, Table->State());
  DB->SetOptions(DB->Options() >> dioNoCancel);
  Press(VK_ESCAPE);
  EXPECT_EQ(dsBrowse, Table->State());
}

TEST_F(KxDBInspectorTest, TimeRowKeepsTheDateAndCurrencyTakesTheThousandSeparator) {
  DB->SetDefaultFields(false);
  auto* t = static_cast<TkxInspectorDBTimeRow*>(DB->AddRow(TkxInspectorDBTimeRow::StaticClass()));
  t->SetFieldName("tdate");
  auto* c = static_cast<TkxInspectorDBCurrencyRow*>(DB->AddRow(TkxInspectorDBCurrencyRow::StaticClass()));
  c->SetFieldName("tname");
  Table->Open();
  Show();
  EXPECT_EQ("10:20:30", t->EditText());
  auto* e = dynamic_cast<TkxInplaceTimeEdit*>(DB->CurrentEditor());
  ASSERT_TRUE(e);
  Table->Edit();
  DB->DataLink()->Modified = true;
  e->SetTime(EncodeTime(7, 0, 0, 0));
  Variant v;
  t->SaveEditValue(e, v);
  EXPECT_EQ(EncodeDate(2024, 3, 5) + EncodeTime(7, 0, 0, 0), Table->FieldByName("tdate")->AsDateTime());
  Table->Cancel();
  EXPECT_TRUE(c->IsValidChar(FormatSettings().ThousandSeparator));
  EXPECT_EQ(TkxInspectorDBSpinRow::StaticClass(), TkxInspectorDBSpinRow::StaticClass());
}

TEST_F(KxDBInspectorTest, OptionsMapOntoTheInternalWord) {
  EXPECT_EQ(110u, DB->InternalOptions().Mask());
  EXPECT_EQ(222u, DB->Options().Mask());
  DB->SetOptions(TkxDBInspectorOptions{dioTabs});
  EXPECT_EQ(TkxInspectorOptions{ioTabs}, DB->InternalOptions());
  DB->SetOptions(TkxDBInspectorOptions{dioTabThrough});
  EXPECT_EQ(TkxInspectorOptions{ioTabThrough}, DB->InternalOptions());
}

}  // namespace kxinspkinds_test

namespace kxinspkinds_test {

TEST_F(KxInspectorKindsTest, ButtonStylesAndBlobPaintStyles) {
  NewInspector();
  auto* b = Add<TkxInspectorTextButtonRow>();
  EXPECT_EQ(1, b->Buttons()->Count());
  b->SetEditButtonStyle(ebsSimple);
  EXPECT_EQ(0, b->Buttons()->Count());
  b->SetEditButtonStyle(ebsGlyph);
  ASSERT_EQ(1, b->Buttons()->Count());
  EXPECT_EQ(bkGlyph, b->Buttons()->GetItem(0)->Kind());
  // Blob cells: the value itself with bpsText, the display text and an icon otherwise.
  auto* blob = Add<TkxInspectorTextBlobRow>("long text");
  TkxInspectorCellViewData cell;
  cell.Text = "shown";
  std::unique_ptr<TkxEditViewData> vd(blob->GetEditClass()->NewViewData());
  struct Case {
    TkxBlobPaintStyle Style;
    const char* Text;
    bool Empty;
    const char* Shown;
  } cases[] = {{bpsText, "long text", false, "long text"}, {bpsIcon, "long text", false, "long text"},
               {bpsIcon, "", true, ""}};
  for (const Case& c : cases) {
    blob->SetBlobPaintStyle(c.Style);
    blob->SetText(c.Text);
    blob->PrepareViewData(vd.get(), &cell);
    auto* bv = dynamic_cast<TkxBlobEditViewData*>(vd.get());
    ASSERT_TRUE(bv);
    EXPECT_EQ(c.Empty, bv->IsEmpty) << c.Text;
    EXPECT_EQ(c.Shown, VarToStr(bv->Value)) << c.Text;
    EXPECT_EQ(c.Style, bv->PaintStyle);
  }
}

TEST_F(KxInspectorKindsTest, ResizedBlobPopupIsRemembered) {
  NewInspector();
  auto* blob = Add<TkxInspectorTextBlobRow>("x");
  Show();
  auto* e = dynamic_cast<TkxInspectorBlobEdit*>(Open(blob));
  ASSERT_TRUE(e);
  e->PopupWidth = 333;
  e->PopupHeight = 222;
  blob->SavePopupSize(e);
  EXPECT_EQ(333, blob->PopupWidth);
  EXPECT_EQ(222, blob->PopupHeight);
}

}  // namespace kxinspkinds_test

namespace kxinspkinds_test {

TEST_F(KxInspectorKindsTest, GraphicRowSettings) {
  NewInspector();
  auto* g = Add<TkxInspectorTextGraphicRow>();
  g->ToolbarPos = kxPoint(5, 6);
  g->SetPopupToolbarPosStored(false);
  EXPECT_EQ(-10000, g->ToolbarPos.x);
  g->SetStretch(false);
  g->SetCenter(false);
  g->RestoreDefaults();
  EXPECT_TRUE(g->Stretch());
  EXPECT_TRUE(g->Center());
  EXPECT_TRUE(g->PopupToolbarPosStored());
  // A value that is no picture paints no picture.
  g->SetText("not a picture");
  TkxInspectorCellViewData cell;
  std::unique_ptr<TkxEditViewData> vd(g->GetEditClass()->NewViewData());
  g->PrepareViewData(vd.get(), &cell);
  EXPECT_TRUE(kxIsPictureEmpty(g->Picture()));
}

// Text that is no date in a date row: leaving the row, by a click on another
// row or by the program moving the focus, cancels the text and the stored date
// stays, whatever DateOnError names.
TEST_F(KxInspectorKindsTest, DateRowTextThatIsNoDate) {
  SetClockForTests([] { return EncodeDate(2024, 7, 8) + EncodeTime(10, 30, 0, 0); });
  const struct {
    TDateOnError OnError;
    bool Click;
    const char* Want;
  } cases[] = {{deToday, true, "2024-7-1"}, {deNull, true, "2024-7-1"}, {deToday, false, "2024-7-1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(int(c.OnError) * 2 + int(c.Click));
    NewInspector();
    auto* d = Add<TkxInspectorTextDateRow>("2024-7-1");
    d->DateOnError = c.OnError;
    auto* other = Add<TkxInspectorTextRow>("x");
    Show();
    ASSERT_TRUE(dynamic_cast<TkxInplaceDateEdit*>(Open(d)));
    Press('A', HeadlessBackend::Ctrl);
    Type("abc");
    if (c.Click) {
      TRect r = RowRect(other->Node());
      ClickAt(Insp->DividerPos() + 20, (r.top + r.bottom) / 2);
    } else {
      Insp->SetFocusedNode(other->Node());
      Pump();
    }
    EXPECT_EQ(other->Node(), Insp->FocusedNode());
    EXPECT_EQ(c.Want, d->Text());
    Insp->Free();
    Insp = nullptr;
  }
  ResetClock();
}

}  // namespace kxinspkinds_test
