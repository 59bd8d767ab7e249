// The story window's node property pane built from a window description over
// a real node table: seventeen rows under the categories 公共 and 节点 (text,
// mask, image and pop-up rows, a hidden pop-up row), every field shown and
// edited, Esc, Tab and Enter, OnEdited, and the "Data" layout read and
// written back byte for byte.
#include "inspector/tests/insptest.h"

#include "inspector/kxdbinspkinds.h"
#include "platform/classes/filer.h"
#include "platform/controls/dbctrls.h"
#include "platform/controls/extctrls.h"
#include "platform/db/ado.h"
#include "platform/db/tests/dbtest.h"

namespace kxstoryinsp_test {

// The form the description is read into: its handler refreshes the table.
class TStoryInspForm : public TForm {
  PV_CLASS(TStoryInspForm, TForm)
 public:
  explicit TStoryInspForm(TComponent* AOwner) : TForm(AOwner, 0) {}
  TkxDBInspector* kxDBInspector = nullptr;
  TDataSource* ClientUserTableDS = nullptr;
  std::vector<TkxInspectorRow*> EditedRows;
  void kxDBInspectorEdited(TObject* Sender, TkxInspectorNode* Node, TkxInspectorRow* Row) {
    EditedRows.push_back(Row);
    TDataSet* ds = ClientUserTableDS->DataSet();
    if (ds->State() == dsEdit || ds->State() == dsInsert) ds->Post();
    ds->Refresh();
  }
};

void RegisterStoryForm() {
  static bool done = false;
  if (done) return;
  done = true;
  RegisterClasses({TStoryInspForm::StaticClass(), TImageList::StaticClass(), TColorBox::StaticClass(),
                   TDBLookupListBox::StaticClass(), TDataSource::StaticClass()});
  RegisterHandlers<TStoryInspForm>([](THandlerBuilder<TStoryInspForm>& h) {
    h.Field("kxDBInspector", &TStoryInspForm::kxDBInspector);
    h.Field("ClientUserTableDS", &TStoryInspForm::ClientUserTableDS);
    h.Handler("kxDBInspectorEdited", &TStoryInspForm::kxDBInspectorEdited);
  });
}

void PutInt(std::string& S, int V) { S.append(reinterpret_cast<const char*>(&V), 4); }

void PutRecord(std::string& S, int Second, const std::string& Name) {
  PutInt(S, 8);
  PutInt(S, Second);
  PutInt(S, int(Name.size()));
  S += Name;
}

// The layout stream of the pane: 公共 and 节点 with their field rows (and,
// when asked, the hidden row as a third root), both categories expanded.
std::string StoryLayoutBytes(bool WithHidden) {
  const std::vector<std::string> common = {"RowSortId", "RowName", "RowImage", "RowLinkTable", "RowLinkPath",
                                           "RowType"};
  const std::vector<std::string> node = {"RowWidth", "RowHeight", "RowColor", "RowShape", "RowTextAlign",
                                         "RowImageAlign", "RowChartOrder", "RowChartImage"};
  std::string body;
  PutInt(body, WithHidden ? 3 : 2);
  PutRecord(body, int(common.size()), "RowCommon");
  for (auto& n : common) PutRecord(body, 0, n);
  PutRecord(body, int(node.size()), "RowNode");
  for (auto& n : node) PutRecord(body, 0, n);
  if (WithHidden) PutRecord(body, 0, "RowParent16");
  PutInt(body, 2);
  PutRecord(body, 0, "RowCommon");
  PutRecord(body, 0, "RowNode");
  std::string all;
  PutInt(all, int(body.size()));
  return all + body;
}

std::string Hex(const std::string& Bytes) {
  static const char* digits = "0123456789ABCDEF";
  std::string s;
  for (unsigned char c : Bytes) {
    s += digits[c >> 4];
    s += digits[c & 15];
  }
  return s;
}

std::string ImageRowDesc(const char* Name, const char* Caption, const char* Field, const char* Images, int Count) {
  std::string values;
  for (int i = 0; i < Count; ++i) values += " '" + std::to_string(i) + "'";
  return std::string("    object ") + Name + ": TkxInspectorDBImageRow\n      Caption = '" + Caption +
         "'\n      FieldName = '" + Field + "'\n      Images = " + Images + "\n      ImageIndexes.Strings = (" +
         values + ")\n      Values.Strings = (" + values + ")\n    end\n";
}

std::string PopupRowDesc(const char* Name, const char* Caption, const char* Field, const char* Control,
                         bool Visible = true) {
  std::string s = std::string("    object ") + Name + ": TkxInspectorDBPopupRow\n";
  if (*Caption) s += std::string("      Caption = '") + Caption + "'\n";
  s += std::string("      FieldName = '") + Field + "'\n";
  if (*Control) s += std::string("      PopupControl = ") + Control + "\n";
  s += "      PopupAutoSize = False\n      PopupFormBorderStyle = pbsSimple\n      PopupWidth = 180\n";
  if (!Visible) s += "      Visible = False\n";
  return s + "    end\n";
}

std::string TextRowDesc(const char* Name, const char* Caption, const char* Field) {
  std::string s = std::string("    object ") + Name + ": TkxInspectorDBRow\n      Caption = '" + Caption + "'\n";
  if (*Field)
    s += std::string("      FieldName = '") + Field + "'\n";
  else
    s += "      IsCategory = True\n";
  return s + "    end\n";
}

std::string HiddenControl(const char* Name, const char* Class, int Height) {
  return std::string("  object ") + Name + ": " + Class + "\n    Left = 0\n    Top = 380\n    Width = 120\n" +
         "    Height = " + std::to_string(Height) + "\n  end\n";
}

std::string StoryDescription() {
  std::string d =
      "object StoryInspForm: TStoryInspForm\n  Left = 0\n  Top = 0\n  Width = 360\n  Height = 420\n"
      "  object ClientUserTableDS: TDataSource\n  end\n"
      "  object ChildFormImageList: TImageList\n  end\n"
      "  object chartImageList: TImageList\n  end\n"
      "  object sharpTypeImageList: TImageList\n  end\n"
      "  object ChildrenItemImageList: TImageList\n  end\n"
      "  object IcoalignType: TImageList\n  end\n";
  d += HiddenControl("ColorBox1", "TColorBox", 22);
  d += HiddenControl("LibraryTreeFolder", "TDBLookupListBox", 80);
  d += HiddenControl("linkpath", "TDBLookupListBox", 80);
  d += HiddenControl("kxDBLookupTreeView2", "TDBLookupListBox", 80);
  d += "  object kxDBInspector: TkxDBInspector\n    Left = 8\n    Top = 8\n    Width = 220\n    Height = 330\n"
       "    BorderStyle = bsNone\n    DataSource = ClientUserTableDS\n    DefaultFields = False\n"
       "    DividerPos = 70\n    Images = ChildFormImageList\n    Options = [dioAutoWidth, dioBandSizing, "
       "dioCancelOnExit, dioColumnSizing, dioDynamicColumnSizing, dioEditing, dioEnterThrough, dioTabs]\n"
       "    ShowRowHint = True\n    OnEdited = kxDBInspectorEdited\n";
  d += TextRowDesc("RowName", "名称", "tname");
  d += TextRowDesc("RowSortId", "顺序", "tsortid");
  d += "    object RowChartOrder: TkxInspectorDBMaskRow\n      Caption = '顺序'\n      FieldName = 'tchartorder'\n"
       "      EditMask = '999;0;_'\n    end\n";
  d += ImageRowDesc("RowImage", "图标", "timage", "ChildFormImageList", 14);
  d += TextRowDesc("RowCommon", "公共", "");
  d += TextRowDesc("RowNode", "节点", "");
  d += ImageRowDesc("RowChartImage", "图标", "tchartimage", "chartImageList", 17);
  d += PopupRowDesc("RowParent16", "", "tparent16", "", false);
  d += TextRowDesc("RowWidth", "宽", "tchartwidth");
  d += TextRowDesc("RowHeight", "高", "tchartheight");
  d += ImageRowDesc("RowShape", "外形", "tchartshape", "sharpTypeImageList", 4);
  d += ImageRowDesc("RowTextAlign", "字体对齐", "tchartchalign", "ChildrenItemImageList", 3);
  d += ImageRowDesc("RowImageAlign", "图标对齐", "tchartimalign", "IcoalignType", 13);
  d += PopupRowDesc("RowColor", "颜色", "tchartcolor", "ColorBox1");
  d += PopupRowDesc("RowLinkTable", "库存", "tlinktable", "LibraryTreeFolder");
  d += PopupRowDesc("RowLinkPath", "路径", "tlinkpath", "linkpath");
  d += PopupRowDesc("RowType", "类型", "ttype", "kxDBLookupTreeView2");
  d += "    Data = {" + Hex(StoryLayoutBytes(true)) + "}\n  end\nend\n";
  return d;
}

// Looks at an open pop-up from the idle loop and closes it.
class TPopupLook : public TObject {
 public:
  TkxInplacePopupEdit* Edit = nullptr;
  TControl* Box = nullptr;
  bool Seen = false, BoxVisible = false;
  TWinControl* BoxParent = nullptr;
  void Idle(TObject*, bool& Done) {
    Done = false;
    if (Edit->PopupForm() && Edit->PopupForm()->Visible()) {
      Seen = true;
      BoxVisible = Box->Visible();
      BoxParent = Box->Parent();
      Edit->PopupForm()->SetModalResult(mrCancel);
    }
  }
};

class KxStoryInspectorTest : public InspectorTest {
 protected:
  TempDir Dir;
  TADOConnection* Conn = nullptr;
  TADOTable* Table = nullptr;
  TStoryInspForm* Story = nullptr;
  TkxDBInspector* DBInsp = nullptr;
  void SetUp() override {
    InspectorTest::SetUp();
    RegisterStoryForm();
    MakeDatabase(Dir.File("story.t"),
                 "CREATE TABLE ClientUser (tid INTEGER PRIMARY KEY AUTOINCREMENT, tparent INTEGER, tname TEXT(50), "
                 "tsortid TEXT(10), timage INTEGER, tchartorder INTEGER, tchartimage INTEGER, tparent16 INTEGER, "
                 "tchartwidth INTEGER, tchartheight INTEGER, tchartshape INTEGER, tchartchalign INTEGER, "
                 "tchartimalign INTEGER, tchartcolor INTEGER, tlinktable TEXT(50), tlinkpath TEXT(50), "
                 "ttype INTEGER);"
                 "INSERT INTO ClientUser (tparent, tname, tsortid, timage, tchartorder, tchartimage, tparent16, "
                 "tchartwidth, tchartheight, tchartshape, tchartchalign, tchartimalign, tchartcolor, tlinktable, "
                 "tlinkpath, ttype) VALUES (0, '第一章', '01', 5, 2, 3, 0, 60, 30, 1, 1, 1, -16777192, '4', '7', 2);"
                 "INSERT INTO ClientUser (tparent, tname, tsortid, timage) VALUES (1, '第二章', '02', 10);");
    Conn = NewObject<TADOConnection>(nullptr);
    Conn->SetConnectionString(JetConnection(Dir.File("story.t")));
    Story = NewObject<TStoryInspForm>(Application);
    ReadComponentFromText(Utf8ToAnsi(StoryDescription()), Story);
    DBInsp = Story->kxDBInspector;
    Insp = DBInsp;
    Form->Free();
    Form = Story;
    FillImageLists();
    for (const char* n : {"ColorBox1", "LibraryTreeFolder", "linkpath", "kxDBLookupTreeView2"})
      static_cast<TControl*>(Story->FindComponent(n))->SetVisible(false);
    Table = NewObject<TADOTable>(Story);
    Table->SetConnection(Conn);
    Table->SetTableName("ClientUser");
    Table->Open();
    Story->ClientUserTableDS->SetDataSet(Table);
    Story->Show();
    DBInsp->SetFocus();
    Pump();
  }
  void TearDown() override {
    DoneForms();
    Conn->Free();
    InspectorTest::TearDown();
  }
  // Coloured squares, so that painted images can be told apart.
  void FillImageLists() {
    const char* names[] = {"ChildFormImageList", "chartImageList", "sharpTypeImageList", "ChildrenItemImageList",
                           "IcoalignType"};
    const int counts[] = {14, 17, 4, 3, 13};
    for (int k = 0; k < 5; ++k) {
      auto* il = dynamic_cast<TImageList*>(Story->FindComponent(names[k]));
      ASSERT_TRUE(il);
      il->SetSize(16, 16);
      for (int i = 0; i < counts[k]; ++i) {
        TBitmap b;
        b.SetSize(16, 16);
        b.Canvas()->Brush()->SetColor(TColor(RGB(BYTE(40 + i * 12), BYTE(200 - i * 10), BYTE(60 + k * 40))));
        b.Canvas()->FillRect(TRect{0, 0, 16, 16});
        b.Canvas()->Brush()->SetColor(clBlack);
        b.Canvas()->FillRect(TRect{0, 0, 4, 4});
        il->Add(&b, nullptr);
      }
    }
  }
  TkxInspectorRow* Row(const char* Name) { return DBInsp->FindRowByName(Name); }
  // Focuses a row by clicking its value cell.
  void ClickValue(TkxInspectorRow* R) {
    TRect r = RowRect(R->Node());
    ClickAt(DBInsp->DividerPos() + 20, (r.top + r.bottom) / 2);
  }
};

TEST_F(KxStoryInspectorTest, DescriptionGivesSeventeenRowsUnderTwoCategories) {
  EXPECT_EQ(17, DBInsp->RowCount());
  EXPECT_EQ(70, DBInsp->DividerPos());
  EXPECT_TRUE(DBInsp->ShowRowHint());
  EXPECT_FALSE(DBInsp->DefaultFields());
  ASSERT_EQ(2, DBInsp->Count());
  EXPECT_EQ(Row("RowCommon")->Node(), DBInsp->Items(0));
  EXPECT_EQ(Row("RowNode")->Node(), DBInsp->Items(1));
  std::vector<std::string> common, node;
  for (int i = 0; i < DBInsp->Items(0)->Count(); ++i)
    common.push_back(static_cast<TkxInspectorRowNode*>(DBInsp->Items(0)->Items(i))->Row->Name());
  for (int i = 0; i < DBInsp->Items(1)->Count(); ++i)
    node.push_back(static_cast<TkxInspectorRowNode*>(DBInsp->Items(1)->Items(i))->Row->Name());
  EXPECT_EQ((std::vector<std::string>{"RowSortId", "RowName", "RowImage", "RowLinkTable", "RowLinkPath", "RowType"}),
            common);
  EXPECT_EQ((std::vector<std::string>{"RowWidth", "RowHeight", "RowColor", "RowShape", "RowTextAlign",
                                      "RowImageAlign", "RowChartOrder", "RowChartImage"}),
            node);
  EXPECT_EQ(16, DBInsp->GetAbsoluteCount());
  EXPECT_EQ(nullptr, Row("RowParent16")->Node());
  EXPECT_FALSE(Row("RowParent16")->Visible());
  EXPECT_EQ(DBInsp->Items(0), DBInsp->FocusedNode());
  auto* color = dynamic_cast<TkxInspectorDBPopupRow*>(Row("RowColor"));
  ASSERT_TRUE(color);
  EXPECT_EQ(Story->FindComponent("ColorBox1"), color->PopupControl());
  auto* shape = dynamic_cast<TkxInspectorDBImageRow*>(Row("RowShape"));
  ASSERT_TRUE(shape);
  EXPECT_EQ(4, shape->Values()->Count());
  EXPECT_EQ(Story->FindComponent("sharpTypeImageList"), shape->Images());
}

TEST_F(KxStoryInspectorTest, EveryFieldShowsItsValue) {
  for (int i = 0; i < DBInsp->RowCount(); ++i) {
    TkxInspectorRow* r = DBInsp->Rows(i);
    if (r->IsCategory()) {
      EXPECT_EQ(nullptr, r->GetField()) << r->Name();
      continue;
    }
    ASSERT_TRUE(r->GetField()) << r->Name();
    EXPECT_EQ(r->GetField()->DisplayText(), r->DisplayText()) << r->Name();
    EXPECT_TRUE(r->CanModify()) << r->Name();
  }
  EXPECT_EQ(Gbk("第一章"), Row("RowName")->DisplayText());
  EXPECT_EQ("60", Row("RowWidth")->DisplayText());
  EXPECT_EQ(Gbk("名称"), Row("RowName")->Caption());
  EXPECT_EQ(50, Row("RowName")->MaxLength());
  EXPECT_EQ(0, Row("RowWidth")->MaxLength());
  Table->Next();
  Pump();
  EXPECT_EQ(Gbk("第二章"), Row("RowName")->DisplayText());
}

TEST_F(KxStoryInspectorTest, TypingPostsOnEnterAndEscCancels) {
  ClickValue(Row("RowName"));
  ASSERT_EQ(Row("RowName")->Node(), DBInsp->FocusedNode());
  ASSERT_TRUE(DBInsp->CurrentEditor());
  EXPECT_TRUE(DBInsp->CurrentEditor()->IsShown());
  EXPECT_EQ(Gbk("第一章"), DBInsp->CurrentEditor()->GetText());
  // Esc after typing restores the value; nothing is posted.
  Press(VK_END);
  Type("X");
  EXPECT_EQ(dsEdit, Table->State());
  Press(VK_ESCAPE);
  EXPECT_EQ(Gbk("第一章"), DBInsp->CurrentEditor()->GetText());
  EXPECT_TRUE(Story->EditedRows.empty());
  Press(VK_ESCAPE);  // a second Esc cancels the record
  EXPECT_EQ(dsBrowse, Table->State());
  // Enter posts and moves on; OnEdited fires once.
  Press(VK_END);
  Type("甲");
  Press(VK_RETURN);
  ASSERT_EQ(1u, Story->EditedRows.size());
  EXPECT_EQ(Row("RowName"), Story->EditedRows[0]);
  EXPECT_EQ(Gbk("第一章甲"), Table->FieldByName("tname")->AsString());
  EXPECT_EQ(Row("RowImage")->Node(), DBInsp->FocusedNode());
  TADOTable check(nullptr);
  check.SetConnection(Conn);
  check.SetTableName("ClientUser");
  check.Open();
  EXPECT_EQ(Gbk("第一章甲"), check.FieldByName("tname")->AsString());
}

TEST_F(KxStoryInspectorTest, TabMovesAndEveryKindEdits) {
  ClickValue(Row("RowWidth"));
  ASSERT_EQ(Row("RowWidth")->Node(), DBInsp->FocusedNode());
  Press('A', HeadlessBackend::Ctrl);
  Type("80");
  Press(VK_TAB);
  EXPECT_EQ(80, Table->FieldByName("tchartwidth")->AsInteger());
  EXPECT_EQ(Row("RowHeight")->Node(), DBInsp->FocusedNode());
  Press(VK_TAB, HeadlessBackend::Shift);
  EXPECT_EQ(Row("RowWidth")->Node(), DBInsp->FocusedNode());
  // The mask row edits through its mask.
  ClickValue(Row("RowChartOrder"));
  ASSERT_TRUE(dynamic_cast<TkxInspectorMaskEdit*>(DBInsp->CurrentEditor()));
  Press('A', HeadlessBackend::Ctrl);
  Type("7");
  Press(VK_TAB);
  EXPECT_EQ(7, Table->FieldByName("tchartorder")->AsInteger());
  // An image row takes a value of its list (reached by the keys: a click
  // would drop its list down).
  DBInsp->SetFocusedNode(Row("RowShape")->Node());
  DBInsp->ShowEditorIfEditing();
  Pump();
  ASSERT_TRUE(dynamic_cast<TkxInspectorImageEdit*>(DBInsp->CurrentEditor()));
  static_cast<TkxInplaceImageEdit*>(DBInsp->CurrentEditor())->SetValueText("3");
  Press(VK_TAB);
  EXPECT_EQ(3, Table->FieldByName("tchartshape")->AsInteger());
  EXPECT_EQ(3u, Story->EditedRows.size());
  // Rows of one kind share one editor; each other kind adds one.
  EXPECT_EQ(3, DBInsp->EditorCacheCount());
}

TEST_F(KxStoryInspectorTest, ColourRowDropsDownItsColourBox) {
  ClickValue(Row("RowColor"));
  ASSERT_EQ(Row("RowColor")->Node(), DBInsp->FocusedNode());
  ASSERT_TRUE(dynamic_cast<TkxInspectorPopupEdit*>(DBInsp->CurrentEditor()));
  auto* box = dynamic_cast<TColorBox*>(Story->FindComponent("ColorBox1"));
  // The pop-up runs its own loop: an idle step looks at it and cancels it.
  TPopupLook look;
  look.Edit = static_cast<TkxInplacePopupEdit*>(DBInsp->CurrentEditor());
  look.Box = box;
  Application->OnIdle = TIdleEvent(&look, &TPopupLook::Idle);
  Press(VK_DOWN, HeadlessBackend::Alt);
  Application->OnIdle = TIdleEvent();
  EXPECT_TRUE(look.Seen);
  EXPECT_TRUE(look.BoxVisible);
  EXPECT_NE(static_cast<TWinControl*>(Story), look.BoxParent);
  EXPECT_EQ(static_cast<TWinControl*>(Story), box->Parent());
  EXPECT_TRUE(Story->EditedRows.empty());
}

TEST_F(KxStoryInspectorTest, DataIsWrittenBackByteForByte) {
  TMemoryStream m;
  DBInsp->SaveLayoutToStream(&m);
  const std::string bytes(static_cast<const char*>(m.Memory()), std::size_t(m.Size()));
  // The hidden row has no node, so the written stream leaves it out.
  EXPECT_EQ(Hex(StoryLayoutBytes(false)), Hex(bytes));
  const AnsiString text = WriteComponentToText(Story);
  EXPECT_NE(AnsiString::npos, text.find(Hex(StoryLayoutBytes(false)).substr(0, 64)));
  // Loading a layout shows every row first: the hidden row, which the
  // stream does not name, stays a root in front of the arranged ones.
  m.SetPosition(0);
  DBInsp->LoadLayoutFromStream(&m);
  EXPECT_TRUE(Row("RowParent16")->Visible());
  ASSERT_EQ(3, DBInsp->Count());
  EXPECT_EQ(Row("RowParent16")->Node(), DBInsp->Items(0));
  EXPECT_EQ(Row("RowCommon")->Node(), DBInsp->Items(1));
  EXPECT_EQ(6, DBInsp->Items(1)->Count());
  EXPECT_TRUE(DBInsp->Items(1)->Expanded());
}

TEST_F(KxStoryInspectorTest, ReferenceImage) {
  ClickValue(Row("RowName"));
  Pump();
  EXPECT_TRUE(MatchesReference(Shot(DBInsp), "inspector/tests/ref", "story_inspector"));
}

// What the two chart rows show and take. The colour row is a pop-up row on an
// integer field: it shows the field's text (the stored number, -16777192 for
// the system colour COLOR_INFOBK), takes typed digits like any text, and
// refuses letters, which the integer field refuses. The shape row is an image
// row without descriptions: typed characters search descriptions only, so they
// change nothing; the wheel steps through its values.
TEST_F(KxStoryInspectorTest, ColourRowTakesNumbersAndShapeRowTakesNoTypedText) {
  AnsiString shown;
  Row("RowColor")->GetDisplayText(shown);
  EXPECT_EQ("-16777192", shown);
  ClickValue(Row("RowColor"));
  ASSERT_TRUE(dynamic_cast<TkxInspectorPopupEdit*>(DBInsp->CurrentEditor()));
  Press('A', HeadlessBackend::Ctrl);
  const int beeps = hb->BeepCount();
  Type("25x5");
  EXPECT_EQ(beeps + 1, hb->BeepCount());
  Press(VK_TAB);
  EXPECT_EQ(255, Table->FieldByName("tchartcolor")->AsInteger());

  DBInsp->SetFocusedNode(Row("RowShape")->Node());
  DBInsp->ShowEditorIfEditing();
  Pump();
  auto* shape = dynamic_cast<TkxInspectorImageEdit*>(DBInsp->CurrentEditor());
  ASSERT_TRUE(shape);
  Type("3");
  EXPECT_EQ("1", shape->GetMaskText());
  TRect r = RowRect(Row("RowShape")->Node());
  TPoint p = Screen(DBInsp->DividerPos() + 20, (r.top + r.bottom) / 2);
  hb->Wheel(p.x, p.y, -120);
  Pump();
  EXPECT_EQ("2", shape->GetMaskText());
  Press(VK_TAB);
  EXPECT_EQ(2, Table->FieldByName("tchartshape")->AsInteger());
}

}  // namespace kxstoryinsp_test
