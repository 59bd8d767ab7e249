// Data-aware controls on a real SQLite file in a temporary folder, driven by
// synthetic input on the headless backend.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "platform/controls/dbctrls.h"
#include "platform/controls/dbgrids.h"
#include "platform/controls/stdctrls.h"
#include "platform/controls/stdwnd.h"
#include "platform/controls/tests/ctltest.h"
#include "platform/db/ado.h"
#include "platform/db/sqlite_wrap.h"
#include "platform/rtl/strings.h"

namespace {

class TempFolder {
 public:
  TempFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "pvdbctlXXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
  }
  ~TempFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

AnsiString A(const char* utf8) { return Utf8ToAnsi(utf8); }

// A settings-like table: names, long texts and a type, with Chinese text.
class DbCtl : public CtlTest {
 protected:
  TempFolder dir;
  TADOConnection* conn = nullptr;
  TADOTable* table = nullptr;
  TDataSource* ds = nullptr;
  TForm* form = nullptr;

  void SetUp() override {
    CtlTest::SetUp();
    RegisterStandardWindowClasses();
    {
      auto db = pvsql::Db::Create(dir.File("s.l"));
      db->Exec(
          "CREATE TABLE s (tid INTEGER PRIMARY KEY AUTOINCREMENT, tname TEXT(50), tvalue MEMO, ttype INTEGER);"
          "INSERT INTO s (tname, tvalue, ttype) VALUES ('人物', '张三\r\n李四', 110);"
          "INSERT INTO s (tname, tvalue, ttype) VALUES ('地点', '长安', 120);"
          "INSERT INTO s (tname, tvalue, ttype) VALUES ('物品', '宝剑', 130);");
    }
    form = NewObject<TForm>(Application, 0);
    form->SetBounds(40, 40, 500, 360);
    conn = new TADOConnection(form);
    conn->SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir.File("s.l"));
    table = new TADOTable(form);
    table->SetConnection(conn);
    table->SetTableName("s");
    table->Open();
    ds = new TDataSource(form);
    ds->SetDataSet(table);
  }
  void TearDown() override {
    delete form;
    form = nullptr;
    CtlTest::TearDown();
  }
  template <class T>
  T* Add(int x, int y, int w, int h) {
    T* c = new T(form);
    c->SetParent(form);
    c->SetBounds(x, y, w, h);
    return c;
  }
  // The names in the file, read through a connection of their own.
  std::vector<AnsiString> FileColumn(const char* field) {
    TADOTable other(nullptr);
    other.SetConnectionString("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + dir.File("s.l"));
    other.SetTableName("s");
    other.Open();
    std::vector<AnsiString> v;
    for (; !other.Eof(); other.Next()) v.push_back(other.FieldByName(field)->AsString());
    return v;
  }
  // Types plain characters into the focused control.
  void Type(const std::string& text) {
    for (char ch : text) {
      hb->KeyDown(unsigned(std::toupper(static_cast<unsigned char>(ch))), false, std::string(1, ch));
      hb->KeyUp(unsigned(std::toupper(static_cast<unsigned char>(ch))));
    }
    Pump();
  }
  void Key(unsigned vk, unsigned mods = 0) {
    hb->Key(vk, mods);
    Pump();
  }
};

// ---------------------------------------------------------------------------
// Field-bound controls

TEST_F(DbCtl, ControlsShowTheRecordAndFollowTheDataset) {
  auto* edit = Add<TDBEdit>(8, 8, 200, 21);
  auto* memo = Add<TDBMemo>(8, 40, 200, 80);
  auto* text = Add<TDBText>(8, 130, 200, 17);
  edit->SetDataSource(ds);
  edit->SetDataField("tname");
  memo->SetDataSource(ds);
  memo->SetDataField("tvalue");
  text->SetDataSource(ds);
  text->SetDataField("ttype");
  form->Show();
  Pump();

  EXPECT_EQ(edit->Text(), A("人物"));
  EXPECT_EQ(memo->Text(), A("张三\r\n李四"));
  EXPECT_EQ(text->Caption(), "110");
  EXPECT_EQ(edit->MaxLength(), 50);

  table->Next();
  EXPECT_EQ(edit->Text(), A("地点"));
  EXPECT_EQ(memo->Text(), A("长安"));
  EXPECT_EQ(text->Caption(), "120");
  table->Last();
  EXPECT_EQ(edit->Text(), A("物品"));

  // Closing empties them; reopening shows the first record again.
  table->Close();
  EXPECT_EQ(edit->Text(), "");
  EXPECT_EQ(memo->Text(), "");
  EXPECT_EQ(text->Caption(), "");
  table->Open();
  EXPECT_EQ(edit->Text(), A("人物"));
  EXPECT_EQ(text->Caption(), "110");
}

TEST_F(DbCtl, TypingEditsAndScrollingPostsToTheFile) {
  auto* edit = Add<TDBEdit>(8, 8, 200, 21);
  auto* memo = Add<TDBMemo>(8, 40, 200, 80);
  edit->SetDataSource(ds);
  edit->SetDataField("tname");
  memo->SetDataSource(ds);
  memo->SetDataField("tvalue");
  form->Show();
  Pump();
  edit->SetFocus();
  Pump();
  EXPECT_EQ(table->State(), dsBrowse);

  // Entering selects all; typing replaces it and puts the dataset into edit
  // state, input-method text as much as keys.
  hb->CommitText("新");
  Pump();
  EXPECT_EQ(table->State(), dsEdit);
  Type("ab");
  EXPECT_EQ(edit->Text(), A("新") + "ab");

  memo->SetFocus();
  Pump();
  // Leaving the edit wrote its text to the field, not yet to the file.
  EXPECT_EQ(table->FieldByName("tname")->AsString(), A("新") + "ab");
  EXPECT_EQ(FileColumn("tname")[0], A("人物"));
  // Enter in the memo is a line break, not the form's default key.
  memo->SelectAll();
  Type("x");
  Key(VK_RETURN);
  Type("y");
  EXPECT_EQ(memo->Text(), "x\r\ny");

  table->Next();  // posts
  EXPECT_EQ(table->State(), dsBrowse);
  EXPECT_EQ(FileColumn("tname"), (std::vector<AnsiString>{A("新") + "ab", A("地点"), A("物品")}));
  EXPECT_EQ(FileColumn("tvalue")[0], "x\r\ny");
  EXPECT_EQ(edit->Text(), A("地点"));
}

TEST_F(DbCtl, EscapeRestoresTheFieldText) {
  auto* edit = Add<TDBEdit>(8, 8, 200, 21);
  edit->SetDataSource(ds);
  edit->SetDataField("tname");
  form->Show();
  edit->SetFocus();
  Pump();
  Type("zz");
  EXPECT_EQ(edit->Text(), "zz");
  Key(VK_ESCAPE);
  EXPECT_EQ(edit->Text(), A("人物"));
  // Nothing reaches the record: the field keeps its value when posted.
  table->Post();
  EXPECT_EQ(FileColumn("tname")[0], A("人物"));
}

TEST_F(DbCtl, TypingIsRefusedWhereTheDataCannotChange) {
  struct Case {
    const char* name;
    bool controlReadOnly;
    bool autoEdit;
    const char* field;
    const char* typed;
  } cases[] = {
      {"read-only control", true, true, "tname", "q"},
      {"source without AutoEdit", false, false, "tname", "q"},
      {"letter in an integer field", false, true, "ttype", "q"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto* edit = Add<TDBEdit>(8, 8, 200, 21);
    ds->SetAutoEdit(c.autoEdit);
    edit->SetDataSource(ds);
    edit->SetDataField(c.field);
    edit->SetReadOnly(c.controlReadOnly);
    form->Show();
    edit->SetFocus();
    Pump();
    AnsiString before = edit->Text();
    edit->SetSelStart(0);
    Type(c.typed);
    EXPECT_EQ(edit->Text(), before);
    EXPECT_EQ(table->State(), dsBrowse);
    edit->SetParent(nullptr);
    delete edit;
    ds->SetAutoEdit(true);
  }
}

TEST_F(DbCtl, FieldFocusControlAndDataLinkQuery) {
  auto* other = Add<TEdit>(8, 8, 100, 21);
  auto* edit = Add<TDBEdit>(8, 40, 200, 21);
  edit->SetDataSource(ds);
  edit->SetDataField("tname");
  form->Show();
  other->SetFocus();
  Pump();
  table->FieldByName("tname")->FocusControl();
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(reinterpret_cast<TDataLink*>(edit->Perform(CM_GETDATALINK, 0, 0)), edit->DataLink());
}

TEST_F(DbCtl, FreedDataSourceUnbindsTheControls) {
  auto* edit = Add<TDBEdit>(8, 8, 200, 21);
  auto* text = Add<TDBText>(8, 40, 200, 17);
  auto* grid = Add<TDBGrid>(8, 70, 300, 120);
  edit->SetDataSource(ds);
  edit->SetDataField("tname");
  text->SetDataSource(ds);
  text->SetDataField("tname");
  grid->SetDataSource(ds);
  form->Show();
  Pump();
  delete ds;
  ds = nullptr;
  EXPECT_EQ(edit->DataSource(), nullptr);
  EXPECT_EQ(text->DataSource(), nullptr);
  EXPECT_EQ(grid->DataSource(), nullptr);
  EXPECT_EQ(edit->Text(), "");
  table->Next();  // no control is told any more
  Pump();
}

TEST_F(DbCtl, MemoWithoutAutoDisplayLoadsOnEnter) {
  auto* memo = Add<TDBMemo>(8, 8, 200, 80);
  memo->SetAutoDisplay(false);
  memo->SetDataSource(ds);
  memo->SetDataField("tvalue");
  form->Show();
  memo->SetFocus();
  Pump();
  EXPECT_EQ(memo->Text(), "(tvalue)");
  Type("k");  // ignored until loaded
  EXPECT_EQ(table->State(), dsBrowse);
  Key(VK_RETURN);
  EXPECT_EQ(memo->Text(), A("张三\r\n李四"));
  // The placeholder never reaches the field.
  table->Edit();
  table->Post();
  EXPECT_EQ(FileColumn("tvalue")[0], A("张三\r\n李四"));
}

// ---------------------------------------------------------------------------
// The grid as the settings dialog uses it

class DbGrid : public DbCtl {
 protected:
  TDBGrid* grid = nullptr;
  TEdit* other = nullptr;
  void SetUp() override {
    DbCtl::SetUp();
    other = Add<TEdit>(330, 8, 100, 21);
    grid = Add<TDBGrid>(8, 8, 300, 150);
    grid->SetOptions({dgEditing, dgAlwaysShowEditor, dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines,
                      dgTabs, dgConfirmDelete, dgCancelOnExit});
    TColumn* c = grid->Columns()->Add();
    c->SetFieldName("tname");
    c->Title()->SetCaption(A("名称"));
    c->SetWidth(82);
    grid->Columns()->Add()->SetFieldName("ttype");
    grid->SetDataSource(ds);
    form->Show();
    grid->SetFocus();
    Pump();
  }
  TCustomEdit* Editor() { return grid->InplaceEditor(); }
};

TEST_F(DbGrid, EditorShownAtOnceAndTabMovesAndPosts) {
  ASSERT_NE(Editor(), nullptr);
  EXPECT_TRUE(Editor()->Visible());
  EXPECT_TRUE(Editor()->Focused());
  EXPECT_EQ(Editor()->Text(), A("人物"));
  EXPECT_EQ(Editor()->BoundsRect(), grid->CellRect(0, 0));

  Type("hero");
  EXPECT_EQ(table->State(), dsEdit);
  Key(VK_TAB);
  EXPECT_EQ(grid->SelectedIndex(), 1);
  EXPECT_EQ(grid->SelectedField()->FieldName(), "ttype");
  EXPECT_EQ(table->FieldByName("tname")->AsString(), "hero");
  EXPECT_EQ(Editor()->Text(), "110");
  EXPECT_EQ(table->State(), dsEdit);
  EXPECT_EQ(Editor()->BoundsRect(), grid->CellRect(0, 1));

  // Tab at the last column goes on to the next record: the row is posted.
  Key(VK_TAB);
  EXPECT_EQ(table->State(), dsBrowse);
  EXPECT_EQ(table->RecNo(), 2);
  EXPECT_EQ(grid->SelectedIndex(), 0);
  EXPECT_EQ(Editor()->Text(), A("地点"));
  EXPECT_EQ(FileColumn("tname")[0], "hero");

  // Shift+Tab goes back to the previous record's last column.
  Key(VK_TAB, HeadlessBackend::Shift);
  EXPECT_EQ(table->RecNo(), 1);
  EXPECT_EQ(grid->SelectedIndex(), 1);

  // Tab on the very last cell stays there.
  table->Last();
  Pump();
  grid->SetSelectedIndex(1);
  Key(VK_TAB);
  EXPECT_EQ(table->RecNo(), 3);
  EXPECT_EQ(grid->SelectedIndex(), 1);
}

TEST_F(DbGrid, ChineseTypedIntoACellReachesTheFile) {
  hb->CommitText("英雄");
  Pump();
  EXPECT_EQ(Editor()->Text(), A("英雄"));
  EXPECT_EQ(table->State(), dsEdit);
  Key(VK_DOWN);
  EXPECT_EQ(table->RecNo(), 2);
  EXPECT_EQ(FileColumn("tname")[0], A("英雄"));
}

TEST_F(DbGrid, EscapeRestoresTheCellThenCancelsTheRecord) {
  Type("abc");
  Key(VK_TAB);  // tname is now "abc" in the record
  Type("7");
  EXPECT_EQ(Editor()->Text(), "7");
  Key(VK_ESCAPE);
  EXPECT_EQ(Editor()->Text(), "110");
  EXPECT_EQ(table->State(), dsEdit);
  EXPECT_EQ(table->FieldByName("tname")->AsString(), "abc");
  Key(VK_ESCAPE);
  EXPECT_EQ(table->State(), dsBrowse);
  EXPECT_EQ(table->FieldByName("tname")->AsString(), A("人物"));
  EXPECT_TRUE(Editor()->Visible());  // the editor stays shown
  table->Next();
  EXPECT_EQ(FileColumn("tname")[0], A("人物"));
  EXPECT_EQ(FileColumn("ttype")[0], "110");
}

TEST_F(DbGrid, CtrlDeleteAsksFirst) {
  table->Next();
  Pump();
  struct Case {
    int answer;
    std::vector<const char*> left;
  } cases[] = {
      {IDCANCEL, {"人物", "地点", "物品"}},
      {IDOK, {"人物", "物品"}},
  };
  for (const Case& c : cases) {
    AnsiString asked;
    PushModalScript([&](TCustomForm* f) {
      asked = PvMessageBoxText(f);
      f->SetModalResult(c.answer);
    });
    Key(VK_DELETE, HeadlessBackend::Ctrl);
    EXPECT_EQ(PendingModalScriptSteps(), 0);
    EXPECT_EQ(asked, SDeleteRecordQuestion);
    std::vector<AnsiString> want;
    for (const char* s : c.left) want.push_back(A(s));
    EXPECT_EQ(FileColumn("tname"), want);
  }
  EXPECT_EQ(table->RecordCount(), 2);
  EXPECT_EQ(Editor()->Text(), A("物品"));
}

TEST_F(DbGrid, LeavingCancelsAnUntouchedInsertButKeepsATypedOne) {
  table->Insert();
  Pump();
  EXPECT_EQ(table->State(), dsInsert);
  other->SetFocus();
  Pump();
  EXPECT_EQ(table->State(), dsBrowse);
  EXPECT_EQ(table->RecordCount(), 3);

  grid->SetFocus();
  Pump();
  table->Insert();
  Pump();
  ASSERT_TRUE(Editor()->Focused());
  Type("new");
  other->SetFocus();
  Pump();
  EXPECT_EQ(table->State(), dsInsert);
  EXPECT_EQ(table->FieldByName("tname")->AsString(), "new");
  table->Post();
  EXPECT_EQ(FileColumn("tname").size(), 4u);
}

TEST_F(DbGrid, TitleBorderDragResizesTheColumn) {
  TRect first = grid->CellRect(0, 0);
  ASSERT_EQ(first.Width(), 82);
  int titleY = 5;
  TPoint from = At(grid, first.right, titleY);
  hb->Drag(from.x, from.y, from.x + 30, from.y);
  Pump();
  EXPECT_EQ(grid->Columns()->Items(0)->Width(), 112);
  EXPECT_EQ(grid->CellRect(0, 1).left, grid->CellRect(0, 0).right + 1);
  // Never narrower than a few pixels.
  from = At(grid, grid->CellRect(0, 0).right, titleY);
  hb->Drag(from.x, from.y, from.x - 300, from.y);
  Pump();
  EXPECT_EQ(grid->Columns()->Items(0)->Width(), 8);
  // A drag in the data rows resizes nothing.
  TRect cell = grid->CellRect(1, 0);
  from = At(grid, cell.right, cell.top + 3);
  hb->Drag(from.x, from.y, from.x + 40, from.y);
  Pump();
  EXPECT_EQ(grid->Columns()->Items(0)->Width(), 8);
}

TEST_F(DbGrid, ClickingACellMovesToItsRecord) {
  TRect cell = grid->CellRect(2, 1);
  TPoint p = At(grid, cell.left + 5, cell.top + 5);
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_EQ(table->RecNo(), 3);
  EXPECT_EQ(grid->SelectedIndex(), 1);
  EXPECT_EQ(Editor()->Text(), "130");
  EXPECT_EQ(Editor()->BoundsRect(), cell);
}

TEST_F(DbGrid, RowAndColumnLinesFollowTheOptions) {
  other->SetFocus();  // no selection colour in the cells looked at
  Pump();
  TRect cell = grid->CellRect(1, 0);
  auto pixel = [&](int x, int y) {
    Pump();
    TPoint p = At(grid, x, y);
    return hb->ScreenPixel(p.x, p.y) & 0xFFFFFF;
  };
  const std::uint32_t line = 0xC0C0C0;
  EXPECT_EQ(pixel(cell.left + 60, cell.bottom), line);  // below the row, in an empty stretch of text
  EXPECT_EQ(pixel(cell.right, cell.top + 1), line);
  grid->SetOptions(grid->Options() >> dgRowLines >> dgColLines);
  cell = grid->CellRect(1, 0);
  EXPECT_NE(pixel(cell.left + 60, cell.bottom), line);
  EXPECT_NE(pixel(cell.right, cell.top + 1), line);
  EXPECT_EQ(grid->CellRect(2, 0).top, cell.bottom);
}

TEST_F(DbGrid, WithoutColumnsEveryFieldGetsOne) {
  auto* plain = Add<TDBGrid>(8, 170, 300, 100);
  plain->SetDataSource(ds);
  ASSERT_EQ(plain->Columns()->Count(), 4);
  EXPECT_EQ(plain->Columns()->Items(1)->FieldName(), "tname");
  EXPECT_EQ(plain->Columns()->Items(1)->Title()->Caption(), "tname");
  // A width given to such a column survives later layout changes.
  plain->Columns()->Items(1)->SetWidth(50);
  plain->SetDefaultRowHeight(20);
  ASSERT_EQ(plain->Columns()->Count(), 4);
  EXPECT_EQ(plain->Columns()->Items(1)->Width(), 50);
}

}  // namespace

namespace {

TEST_F(DbCtl, LookupListShowsRowsAndSelectsByKey) {
  auto* list = Add<TDBLookupListBox>(8, 8, 160, 60);
  list->SetKeyField("tid");
  list->SetListField("tname");
  list->SetListSource(ds);
  list->SetRowCount(2);
  form->Show();
  Pump();
  EXPECT_EQ(2 * list->ItemHeight(), list->ClientHeight());
  EXPECT_EQ(3, list->RecordCount());
  EXPECT_EQ(A("地点"), list->RowText(1));
  EXPECT_EQ(-1, list->SelectedIndex());
  list->SetKeyValue(Variant(3));
  EXPECT_EQ(2, list->SelectedIndex());
  EXPECT_EQ(1, list->TopIndex());  // scrolled into view
  list->SetKeyValue(Variant(99));
  EXPECT_EQ(-1, list->SelectedIndex());
  // A click selects a row and takes its key; keys move the selection.
  list->SetFocus();
  list->SetKeyValue(Variant(1));
  TPoint p = At(list, 10, list->ItemHeight() + 2);
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_EQ(2, list->KeyValue().AsInteger());
  Key(VK_DOWN);
  EXPECT_EQ(3, list->KeyValue().AsInteger());
  Key(VK_HOME);
  EXPECT_EQ(1, list->KeyValue().AsInteger());
  EXPECT_EQ(0, list->TopIndex());
  // A field the dataset does not have: an error, and the list keeps no source.
  list->SetListSource(nullptr);
  list->SetListField("nosuch");
  EXPECT_THROW(list->SetListSource(ds), EDatabaseError);
  EXPECT_EQ(nullptr, list->ListSource());
  EXPECT_EQ(0, list->RecordCount());
}

TEST_F(DbCtl, PopupDataListIsAToolWindowThatIsNeverActivated) {
  auto* list = new TPopupDataList(form);
  list->SetKeyField("tid");
  list->SetListField("tname");
  list->SetListSource(ds);
  list->HandleNeeded();
  const LONG style = GetWindowLongA(list->Handle(), GWL_STYLE), ex = GetWindowLongA(list->Handle(), GWL_EXSTYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & WS_CHILD);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
  EXPECT_EQ(MA_NOACTIVATE, SendMessageA(list->Handle(), WM_MOUSEACTIVATE, 0, 0));
}

}  // namespace
