// The design-element window opened from the frame on a copy of the shipped
// library: choosing a table, node commands, texts, the flow chart, the
// organisation chart and the linked narrative subtree, each checked in the
// file as another program would read it.
#include "app/designwindow.h"
#include "app/tests/libwindowtest.h"
#include "treechart/fceditor.h"

namespace {

class DesignWindowTest : public LibWindowTest {
 protected:
  TSystemModuleForm* W = nullptr;
  void Open() {
    Start();
    W = OpenFromMenu<TSystemModuleForm>(MainForm->SystemModule);
    ASSERT_NE(W, nullptr);
  }
  void OpenOnRegion() {
    Open();
    ChooseRow(W->kxLookupTreeView1, 1);
    Pump();
    W->LibraryTree->FullExpand();
  }
  int Selected() {
    auto* n = dynamic_cast<TkxDBTreeNode*>(W->LibraryTree->Selected());
    return n ? n->RecordKey().AsInteger() : 0;
  }
};

TEST_F(DesignWindowTest, OpensFromTheMenuOnTheChosenTable) {
  // A second design table, and an alias row that names no table.
  Sql("CREATE TABLE region2 AS SELECT * FROM region1 WHERE tid = 4");
  Sql("INSERT INTO TableAlias (tid, tparent, tname, tsortid) VALUES (2, 0, 'region2', '地点集'), (3, 0, '', '空')");
  Open();
  EXPECT_EQ(U8(W->Caption()), "设计");
  EXPECT_EQ(W->WindowState(), wsMaximized);
  EXPECT_EQ(W->FormStyle(), fsMDIChild);
  EXPECT_EQ(W->Timer1->Interval(), 600000u);
  // The data module opened the first design table with the library.
  W->LibraryTree->FullExpand();
  EXPECT_EQ(TreeText(W->LibraryTree), "00.人物|  00.主角：林远|  01.配角：苏晴|01.地点|  00.青石镇");
  ChooseRow(W->kxLookupTreeView1, 1);
  Pump();
  EXPECT_EQ(LibDataModule->libTable->TableName(), "region1");
  W->LibraryTree->FullExpand();
  EXPECT_EQ(TreeText(W->LibraryTree), "00.人物|  00.主角：林远|  01.配角：苏晴|01.地点|  00.青石镇");
  // Every use of the command opens a further window on the same table.
  auto* second = OpenFromMenu<TSystemModuleForm>(MainForm->SystemModule);
  ASSERT_NE(second, W);
  // Choosing a table in one switches the other; a row without a table name
  // changes nothing.
  ChooseRow(second->kxLookupTreeView1, 2);
  Pump();
  EXPECT_EQ(TreeText(W->LibraryTree), "01.地点");
  EXPECT_EQ(TreeText(second->LibraryTree), "01.地点");
  ChooseRow(W->kxLookupTreeView1, 3);
  Pump();
  EXPECT_EQ(LibDataModule->libTable->TableName(), "region2");
  EXPECT_TRUE(LibDataModule->libTable->Active());
  EXPECT_TRUE(DialogLog().empty());
}

}  // namespace

namespace {

TEST_F(DesignWindowTest, NodeFieldsAndTextsAreWrittenToTheFile) {
  OpenOnRegion();
  Select(W->LibraryTree, 2);
  Pump();
  EXPECT_EQ(U8(W->DBEdit5->Text()), "主角：林远");
  // The design notes, typed through the input method.
  W->ModeText1TxtEdit->SetFocus();
  Pump();
  EXPECT_EQ(LibDataModule->CurrentEditor, W->ModeText1TxtEdit);
  hb->CommitText("沉默寡言");
  Pump();
  // The name in the strip below the tree.
  W->DBEdit5->SetFocus();
  Pump();
  hb->Key(VK_END);
  hb->CommitText("（少年）");
  Pump();
  W->LibraryTree->SetFocus();
  Select(W->LibraryTree, 3);
  Pump();
  W->ToolButton3Click(nullptr);  // "&S保存"
  EXPECT_EQ(Query("SELECT tname, ttext1 FROM region1 WHERE tid = 2"), "主角：林远（少年）:沉默寡言");
  // The property pane's colour row: the colour box's choice is stored.
  W->ColorBox1->SetSelected(clRed);
  W->ColorBox1CloseUp(W->ColorBox1);
  W->save();
  EXPECT_EQ(Query("SELECT tchartcolor FROM region1 WHERE tid = 3"), std::to_string(int(clRed)));
  EXPECT_EQ(Query("PRAGMA integrity_check"), "ok");
}

TEST_F(DesignWindowTest, AddDeleteAndWalkTheTree) {
  OpenOnRegion();
  // "删除" on a node with children does nothing and shows nothing.
  Select(W->LibraryTree, 1);
  W->MenuItem2Click(nullptr);
  EXPECT_EQ(Query("SELECT count(*) FROM region1"), "5");
  EXPECT_TRUE(DialogLog().empty());
  // "上一条" on the first node and "下一条" on the last do nothing.
  const struct {
    int From;
    bool Next;
    int To;
  } cases[] = {{1, true, 2}, {3, true, 4}, {5, true, 5}, {4, false, 3}, {2, false, 1}, {1, false, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.From) + (c.Next ? " next" : " previous"));
    Select(W->LibraryTree, c.From);
    c.Next ? W->ToolButton8Click(nullptr) : W->ToolButton7Click(nullptr);
    EXPECT_EQ(Selected(), c.To);
    EXPECT_EQ(LibDataModule->libTable->FieldByName("tid")->AsInteger(), c.To);
  }
  // "添加" with no node selected makes a root node 节点 with the defaults.
  W->LibraryTree->SetSelected(nullptr);
  W->MenuItem1Click(nullptr);
  Pump();
  W->save();
  EXPECT_EQ(Query("SELECT tname, tchartwidth, tchartheight FROM region1 WHERE tid > 5"), "节点:60:30");
  EXPECT_EQ(W->LibraryTree->Selected()->Level(), 0);
  // A leaf goes after the tree asks.
  Select(W->LibraryTree, 3);
  AnswerButton(mrOk);
  W->MenuItem2Click(nullptr);
  Pump();
  EXPECT_EQ(PendingDialogAnswers(), 0) << "the question was asked";
  W->save();
  EXPECT_EQ(Query("SELECT count(*) FROM region1 WHERE tid = 3"), "0");
}

TEST_F(DesignWindowTest, ALinkShowsTheNarrativeSubtreeAndItsBodyText) {
  Sql("UPDATE region1 SET tlinktable = '1', tlinkpath = '1' WHERE tid = 2");
  Sql("UPDATE region1 SET tlinktable = '9', tlinkpath = '1' WHERE tid = 3");
  Sql("UPDATE mem1 SET ttext2 = '小镇的清晨' WHERE tid = 2");
  OpenOnRegion();
  Select(W->LibraryTree, 2);
  W->LibraryTreeClick(nullptr);
  Pump();
  EXPECT_EQ(LibDataModule->MemTable->TableName(), "mem1");
  EXPECT_TRUE(W->memTree->Options().Contains(trSmartRecordLoad));
  EXPECT_EQ(TreeText(W->memTree), "00.初到小镇|01.意外相遇");
  Select(W->memTree, 2);
  Pump();
  EXPECT_EQ(U8(W->DBTxtEdit1->Text()), "小镇的清晨");
  // The body text of the linked node is edited in the "叙述" pane.
  W->kxDockPanel3->Activate();
  Pump();
  W->DBTxtEdit1->SetFocus();
  hb->Key(VK_END, HeadlessBackend::Ctrl);
  hb->CommitText("，起雾了");
  Pump();
  W->memTree->SetFocus();
  Pump();
  LibDataModule->MemTable->UpdateBatch(arAll);
  EXPECT_EQ(Query("SELECT ttext2 FROM mem1 WHERE tid = 2"), "小镇的清晨，起雾了");
  // A node without a link, and one linked to a table that is not listed,
  // leave the pane on the subtree it showed; nothing is raised.
  for (int key : {5, 3}) {
    SCOPED_TRACE(key);
    Select(W->LibraryTree, key);
    W->LibraryTreeClick(nullptr);
    Pump();
    EXPECT_TRUE(LibDataModule->MemTable->Active());
    EXPECT_EQ(TreeText(W->memTree), "00.初到小镇|01.意外相遇");
  }
  EXPECT_TRUE(DialogLog().empty());
  // The path chooser loads the linked table's nodes when pressed.
  LibDataModule->MemTable->Close();
  Select(W->LibraryTree, 2);
  W->linkpathMouseDown(W->linkpath, mbLeft, {}, 0, 0);
  EXPECT_TRUE(LibDataModule->MemTable->Active());
}

TEST_F(DesignWindowTest, TheFlowChartIsStoredWithTheNodeAndShownWhenAskedFor) {
  OpenOnRegion();
  Select(W->LibraryTree, 2);
  W->kxFlowChart1->CreateObject(20, 20, 100, 50, fskRectangle);
  // The designer: cancelled stores nothing, confirmed stores the chart.
  PushModalScript([](TCustomForm* f) { f->SetModalResult(mrCancel); });
  W->ToolButton1Click(nullptr);
  W->save();
  EXPECT_EQ(Query("SELECT length(ttext7) > 0 FROM region1 WHERE tid = 2"), "-");
  PushModalScript([](TCustomForm* f) {
    EXPECT_EQ(U8(f->Caption()), "Penvarro写作， 图形编辑");
    f->SetModalResult(mrOk);
  });
  W->ToolButton1Click(nullptr);
  W->save();
  EXPECT_EQ(Query("SELECT length(ttext7) > 0 FROM region1 WHERE tid = 2"), "1");
  // "保存" stores the chart of another node without the designer.
  Select(W->LibraryTree, 4);
  W->kxFlowChart1->Clear();
  W->kxFlowChart1->CreateObject(20, 20, 100, 50, fskEllipse);
  W->kxFlowChart1->CreateObject(200, 20, 100, 50, fskEllipse);
  W->ToolButton5Click(nullptr);
  W->save();
  EXPECT_EQ(Query("SELECT length(ttext7) > 0 FROM region1 WHERE tid = 4"), "1");
  // Unticked, a click leaves the chart as it is; ticked, it shows the node's.
  W->showGrapgh->SetChecked(false);
  Select(W->LibraryTree, 2);
  W->LibraryTreeClick(nullptr);
  EXPECT_EQ(W->kxFlowChart1->ObjectCount(), 2);
  W->showGrapgh->SetChecked(true);
  W->LibraryTreeClick(nullptr);
  EXPECT_EQ(W->kxFlowChart1->ObjectCount(), 1);
  // A node without a chart shows an empty one.
  Select(W->LibraryTree, 5);
  W->LibraryTreeClick(nullptr);
  EXPECT_EQ(W->kxFlowChart1->ObjectCount(), 0);
}

TEST_F(DesignWindowTest, TheOrganisationChartShowsTheTableAndItsCommandsWork) {
  OpenOnRegion();
  W->kxDockPanel2->Activate();
  Pump();
  TkxDbOcNode* n = W->MduleOrgChart->FindNode(Variant(2));
  ASSERT_NE(n, nullptr);
  // "编辑名称" with no selected chart node does nothing.
  W->MduleOrgChart->SetSelected(nullptr);
  W->ChartEditorClick(nullptr);
  EXPECT_FALSE(W->MduleOrgChart->IsEditing());
  W->MduleOrgChart->SetSelected(n);
  W->MduleOrgChartClick(nullptr);
  EXPECT_EQ(LibDataModule->libTable->FieldByName("tid")->AsInteger(), 2);
  W->ChartEditorClick(nullptr);
  EXPECT_TRUE(W->MduleOrgChart->IsEditing());
  const bool rotated = W->MduleOrgChart->Rotated(), zoom = W->MduleOrgChart->Zoom();
  W->N5Click(nullptr);
  W->N7Click(nullptr);
  EXPECT_NE(W->MduleOrgChart->Rotated(), rotated);
  EXPECT_NE(W->MduleOrgChart->Zoom(), zoom);
}

TEST_F(DesignWindowTest, ClosingWhileAChartNodeNameIsEditedKeepsItsName) {
  OpenOnRegion();
  W->kxDockPanel2->Activate();
  Pump();
  W->MduleOrgChart->SetSelected(W->MduleOrgChart->FindNode(Variant(2)));
  W->ChartEditorClick(nullptr);  // "编辑名称"
  ASSERT_TRUE(W->MduleOrgChart->IsEditing());
  W->MduleOrgChart->Editor()->SetText("x");
  W->MduleOrgChart->Editor()->SetModified(true);
  W->Close();
  Pump();
  for (int i = 0; i < Application->ComponentCount(); ++i)
    EXPECT_EQ(dynamic_cast<TSystemModuleForm*>(Application->Components(i)), nullptr);
  EXPECT_EQ(Query("SELECT tname FROM region1 WHERE tid = 2"), "主角：林远");
}

// The chart's node images are of the size the window descriptions give (the
// image list's own), so a node keeps the size its record gives (60 x 30, the
// height raised to the 32 pixels two 16-pixel images need) and a two-character
// name stands on one line beside the image.
TEST_F(DesignWindowTest, ChartNodesKeepTheirSizeAndTwoCharacterNamesOneLine) {
  OpenOnRegion();
  W->kxDockPanel2->Activate();
  Pump();
  TkxDbOrgChart* c = W->MduleOrgChart;
  EXPECT_EQ(LibDataModule->chartImageList->Width(), 16);
  EXPECT_EQ(LibDataModule->chartImageList->Height(), 16);
  for (int key : {1, 4}) {
    TkxDbOcNode* n = c->FindNode(Variant(key));
    ASSERT_NE(n, nullptr);
    SCOPED_TRACE(AnsiToUtf8(n->Text()));
    EXPECT_EQ(n->Width(), 60);
    EXPECT_EQ(n->Height(), 32);
    c->ExpandAll();
    TRect r = n->TextRect();
    TPoint at;
    TSize size;
    ASSERT_TRUE(c->PlaceImage(n, r, at, size));
    TCanvas* canvas = c->Canvas();
    canvas->Font()->Assign(c->Font());
    TRect one{0, 0, 100, 100};
    c->NodeTextOut(canvas->Handle(), n->Text().substr(0, 2), DT_CALCRECT, one);
    TRect m = r;
    c->NodeTextOut(canvas->Handle(), n->Text(), DT_CALCRECT, m);
    EXPECT_EQ(m.Height(), one.Height()) << "one line";
  }
}

TEST_F(DesignWindowTest, TheTimerSavesEveryTenMinutes) {
  OpenOnRegion();
  Select(W->LibraryTree, 4);
  LibDataModule->libTable->Edit();
  LibDataModule->libTable->FieldByName("ttext1")->SetAsString(A("雨季多雾"));
  Wait(599000);
  EXPECT_EQ(Query("SELECT ttext1 FROM region1 WHERE tid = 4"), "-");
  Wait(1000);
  EXPECT_EQ(Query("SELECT ttext1 FROM region1 WHERE tid = 4"), "雨季多雾");
}

TEST_F(DesignWindowTest, TheEditorMenusFindAndReplaceThroughTheLibraryModule) {
  OpenOnRegion();
  Select(W->LibraryTree, 1);
  // The notes editor asks the library module about each replacement.
  EXPECT_TRUE(W->ModeText1TxtEdit->OnReplaceText.Assigned());
  W->ModeText1TxtEdit->SetFocus();
  Pump();
  EXPECT_EQ(LibDataModule->CurrentEditor, W->ModeText1TxtEdit);
  // "&F查找" shows the find dialog; cancelled, nothing is searched.
  int shown = 0;
  PushModalScript([&](TCustomForm* f) {
    ++shown;
    f->SetModalResult(mrCancel);
  });
  W->Find1Click(nullptr);
  EXPECT_EQ(shown, 1);
}

TEST_F(DesignWindowTest, ClosingSavesAndTheWindowGoes) {
  OpenOnRegion();
  Select(W->LibraryTree, 5);
  LibDataModule->libTable->Edit();
  LibDataModule->libTable->FieldByName("tname")->SetAsString(A("白石镇"));
  LibDataModule->libTable->Post();
  W->Close();
  Pump();
  EXPECT_EQ(Query("SELECT tname FROM region1 WHERE tid = 5"), "白石镇");
  for (int i = 0; i < Application->ComponentCount(); ++i)
    EXPECT_EQ(dynamic_cast<TSystemModuleForm*>(Application->Components(i)), nullptr);
}

}  // namespace
