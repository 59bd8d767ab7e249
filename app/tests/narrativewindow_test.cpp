// The narrative-element window opened from the frame on a copy of the
// shipped library: the table chosen with its stored focus, focusing and the
// whole table, body text typed and read back from the file, the flow-chart
// designer and closing.
#include "app/narrativewindow.h"
#include "app/tests/libwindowtest.h"
#include "treechart/fceditor.h"

namespace {

class NarrativeWindowTest : public LibWindowTest {
 protected:
  TMetaDataForm* W = nullptr;
  void Open() {
    Start();
    W = OpenFromMenu<TMetaDataForm>(MainForm->N4);
    ASSERT_NE(W, nullptr);
  }
  void OpenOnMem1(int Root = 0) {
    Sql("UPDATE memAlias SET trootvalue = " + std::to_string(Root));
    Open();
    ChooseRow(W->TableAlisTree, 1);
    Pump();
    W->LibraryTree->FullExpand();
  }
};

TEST_F(NarrativeWindowTest, OpensEmptyAndShowsTheChosenTableFromItsStoredFocus) {
  Open();
  EXPECT_EQ(U8(W->Caption()), "叙述");
  EXPECT_EQ(W->WindowState(), wsMaximized);
  EXPECT_EQ(W->LibraryTree->DisplayField(), "tsortid;tname");
  EXPECT_EQ(TreeText(W->LibraryTree), "");
  const struct {
    const char* Root;
    const char* Tree;
  } cases[] = {
      {"0", "00.开端|  00.初到小镇|  01.意外相遇"},  // the nodes whose parent is 0
      {"1", "00.初到小镇|01.意外相遇"},               // a node's children
      {"-1", ""},                                      // a value no parent holds
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Root);
    Sql(std::string("UPDATE memAlias SET trootvalue = ") + c.Root);
    LibDataModule->memAliasTable->Requery();
    ChooseRow(W->TableAlisTree, 1);
    Pump();
    EXPECT_EQ(LibDataModule->MemTable->TableName(), "mem1");
    W->LibraryTree->FullExpand();
    EXPECT_EQ(TreeText(W->LibraryTree), c.Tree);
  }
}

TEST_F(NarrativeWindowTest, FocusThenWholeThenChoosingAgainOpensOnTheFocus) {
  OpenOnMem1();
  Select(W->LibraryTree, 1);
  W->N14Click(nullptr);  // "聚焦"
  EXPECT_EQ(Query("SELECT trootvalue FROM memAlias WHERE tid = 1"), "1");
  W->LibraryTree->FullExpand();
  EXPECT_EQ(TreeText(W->LibraryTree), "00.初到小镇|01.意外相遇");
  W->N15Click(nullptr);  // "全局"
  W->LibraryTree->FullExpand();
  EXPECT_EQ(TreeText(W->LibraryTree), "00.开端|  00.初到小镇|  01.意外相遇");
  EXPECT_EQ(Query("SELECT trootvalue FROM memAlias WHERE tid = 1"), "1");
  ChooseRow(W->TableAlisTree, 1);
  Pump();
  W->LibraryTree->FullExpand();
  EXPECT_EQ(TreeText(W->LibraryTree), "00.初到小镇|01.意外相遇");
}

// After "全局" the tree keeps no focused node: a node added with nothing
// selected is a root node, not a child of the node focused before.
TEST_F(NarrativeWindowTest, AfterFocusAndWholeTableANodeAddedWithNothingSelectedIsARootNode) {
  OpenOnMem1();
  Select(W->LibraryTree, 1);
  W->N14Click(nullptr);  // "聚焦"
  W->N15Click(nullptr);  // "全局"
  EXPECT_TRUE(W->LibraryTree->RootValue().IsNull());
  W->LibraryTree->SetSelected(nullptr);
  W->MenuItem1Click(nullptr);  // "添加"
  Pump();
  W->kxBarButton8Click(nullptr);
  EXPECT_EQ(Query("SELECT tparent = tid FROM mem1 WHERE tid > 3"), "1");
  EXPECT_EQ(Query("SELECT count(*) FROM mem1 WHERE tparent = 1"), "2");
}

TEST_F(NarrativeWindowTest, FocusWithNoTableOpenFails) {
  Open();
  ASSERT_FALSE(LibDataModule->MemTable->Active());
  EXPECT_THROW(W->N14Click(nullptr), EDatabaseError);
}

TEST_F(NarrativeWindowTest, BodyTextAndNodesAreWrittenToTheFile) {
  OpenOnMem1();
  Select(W->LibraryTree, 2);
  Pump();
  W->MetedateText2TxtEdit->SetFocus();
  Pump();
  EXPECT_EQ(W->RememberedEditor(), W->MetedateText2TxtEdit);
  EXPECT_EQ(LibDataModule->CurrentEditor, W->MetedateText2TxtEdit);
  hb->CommitText("清晨，林远来到小镇。");
  Pump();
  W->LibraryTree->SetFocus();
  Pump();
  W->save();
  EXPECT_EQ(Query("SELECT ttext2 FROM mem1 WHERE tid = 2"), "清晨，林远来到小镇。");
  // The property pane's editor shows the same body text.
  EXPECT_EQ(U8(W->MetedateText1TxtEdit->Text()), "清晨，林远来到小镇。");
  // A node added under 开端, the window's own "保存".
  Select(W->LibraryTree, 1);
  W->MenuItem1Click(nullptr);
  Pump();
  W->kxBarButton8Click(nullptr);
  EXPECT_EQ(Query("SELECT tparent, tname FROM mem1 WHERE tid > 3"), "1:节点");
  // "下一条" from 初到小镇 and "上一条" back.
  Select(W->LibraryTree, 2);
  W->kxBarButton7Click(nullptr);
  EXPECT_EQ(LibDataModule->MemTable->FieldByName("tid")->AsInteger(), 3);
  W->kxBarButton6Click(nullptr);
  EXPECT_EQ(LibDataModule->MemTable->FieldByName("tid")->AsInteger(), 2);
  // The organisation chart shows the table; "编辑名称" edits its selected node.
  W->kxDockPanel3->Activate();
  Pump();
  TkxDbOcNode* n = W->MduleOrgChart->FindNode(Variant(3));
  ASSERT_NE(n, nullptr);
  W->MduleOrgChart->SetSelected(n);
  W->ChartEditorClick(nullptr);
  EXPECT_TRUE(W->MduleOrgChart->IsEditing());
  EXPECT_EQ(Query("PRAGMA integrity_check"), "ok");
}

TEST_F(NarrativeWindowTest, TheDesignerOpensWithoutATableAndItsResultIsThenDropped) {
  Sql("UPDATE memAlias SET trootvalue = 0");
  Open();
  int shown = 0;
  PushModalScript([&](TCustomForm* f) {
    ++shown;
    EXPECT_EQ(U8(f->Caption()), "Penvarro写作 图形设计器");
    f->SetModalResult(mrOk);
  });
  W->ToolButton1Click(nullptr);
  EXPECT_EQ(shown, 1);
  EXPECT_FALSE(LibDataModule->MemTable->Active());
  // With the table open, the chart goes into the node's ttext7.
  ChooseRow(W->TableAlisTree, 1);
  Pump();
  W->LibraryTree->FullExpand();
  Select(W->LibraryTree, 3);
  W->kxFlowChart1->CreateObject(10, 10, 80, 40, fskRectangle);
  PushModalScript([](TCustomForm* f) { f->SetModalResult(mrOk); });
  W->ToolButton1Click(nullptr);
  W->save();
  EXPECT_EQ(Query("SELECT tid FROM mem1 WHERE length(ttext7) > 0"), "3");
  W->showGrapgh->SetChecked(true);
  Select(W->LibraryTree, 2);
  W->LibraryTreeClick(nullptr);
  EXPECT_EQ(W->kxFlowChart1->ObjectCount(), 0);
  Select(W->LibraryTree, 3);
  W->LibraryTreeClick(nullptr);
  EXPECT_EQ(W->kxFlowChart1->ObjectCount(), 1);
}

TEST_F(NarrativeWindowTest, ClosingBeforeAnEditorHadTheFocusSavesAndCloses) {
  OpenOnMem1();
  Select(W->LibraryTree, 3);
  LibDataModule->MemTable->Edit();
  LibDataModule->MemTable->FieldByName("tname")->SetAsString(A("重逢"));
  LibDataModule->MemTable->Post();
  EXPECT_EQ(W->RememberedEditor(), nullptr);
  W->Close();
  Pump();
  EXPECT_EQ(Query("SELECT tname FROM mem1 WHERE tid = 3"), "重逢");
  for (int i = 0; i < Application->ComponentCount(); ++i)
    EXPECT_EQ(dynamic_cast<TMetaDataForm*>(Application->Components(i)), nullptr);
}

}  // namespace
