// The template window opened from the frame on a copy of the shipped
// library: the design-element table on the left, the template table on the
// right, nodes dragged across, texts and charts of both sides, checked in the
// file as another program would read it.
#include "app/templatewindow.h"
#include "app/tests/libwindowtest.h"
#include "treechart/fceditor.h"

namespace {

class TemplateWindowTest : public LibWindowTest {
 protected:
  TStoryDesigner* W = nullptr;
  // From "设计模板", or "叙事模板" with Narrative.
  void Open(bool Narrative = false) {
    Start();
    W = OpenFromMenu<TStoryDesigner>(Narrative ? MainForm->StoryDesignMenu2 : MainForm->StoryDesignMenu);
    ASSERT_NE(W, nullptr);
    ChooseRow(W->LibRegionTree, 1);
    ChooseRow(W->kxLookupTreeView1, 1);
    Pump();
    W->LeftTree->FullExpand();
    W->RightTree->FullExpand();
  }
  // Presses on From's label in one tree and releases over To's in another.
  void Drag(TkxDBTreeView* FromTree, TTreeNode* From, TkxDBTreeView* ToTree, TTreeNode* To) {
    auto centre = [this](TkxDBTreeView* Tree, TTreeNode* Node) {
      Node->MakeVisible();
      Pump();
      TRect r = Node->DisplayRect(true);
      return Tree->ClientToScreen(TPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2));
    };
    const TPoint a = centre(FromTree, From), b = centre(ToTree, To);
    hb->AdvanceClock(2000);
    hb->MouseDown(a.x, a.y);
    Pump();
    hb->MouseMove(a.x, a.y + 8);
    Pump();
    hb->MouseMove(b.x, b.y - 1);
    Pump();
    hb->MouseMove(b.x, b.y);
    Pump();
    hb->MouseUp(b.x, b.y);
    Pump();
  }
};

TEST_F(TemplateWindowTest, BothMenuCommandsOpenItWithTheLibraryLeftAndTheTemplateRight) {
  Open(true);
  EXPECT_EQ(U8(W->Caption()), "模板");
  EXPECT_EQ(W->WindowState(), wsMaximized);
  EXPECT_EQ(TreeText(W->LeftTree), "00.人物|  00.主角：林远|  01.配角：苏晴|01.地点|  00.青石镇");
  EXPECT_EQ(TreeText(W->RightTree), "00.第一幕：铺垫|  00.引子|01.第二幕：对抗|02.第三幕：结局");
  auto* second = OpenFromMenu<TStoryDesigner>(MainForm->StoryDesignMenu);
  EXPECT_NE(second, W);
}

TEST_F(TemplateWindowTest, ALibraryNodeDroppedOnATemplateNodeIsCopiedWithItsSubtree) {
  Open();
  Drag(W->LeftTree, NodeOf(W->LeftTree, 1), W->RightTree, NodeOf(W->RightTree, 2));
  W->RightTree->FullExpand();
  EXPECT_EQ(TreeText(W->RightTree),
            "00.第一幕：铺垫|  00.引子|01.第二幕：对抗|  00.人物|    00.主角：林远|    01.配角：苏晴|02.第三幕：结局");
  EXPECT_EQ(Query("SELECT count(*) FROM story1 WHERE tparent = 2"), "1");
  EXPECT_EQ(Query("SELECT b.tname FROM story1 a JOIN story1 b ON b.tparent = a.tid WHERE a.tparent = 2 ORDER BY b.tsortid"),
            "主角：林远;配角：苏晴");
  // The library keeps its nodes.
  EXPECT_EQ(Query("SELECT count(*) FROM region1"), "5");
}

TEST_F(TemplateWindowTest, TextsAndNodesOfBothSidesReachTheFile) {
  Open();
  Select(W->RightTree, 4);
  Pump();
  W->rightTxtEdit->SetFocus();
  Pump();
  EXPECT_EQ(LibDataModule->CurrentEditor, W->rightTxtEdit);
  hb->CommitText("主角登场");
  Pump();
  // Moving to another node posts the text.
  W->RightTree->SetFocus();
  Select(W->RightTree, 3);
  Pump();
  EXPECT_EQ(Query("SELECT ttext1 FROM story1 WHERE tid = 4"), "主角登场");
  // A template node added under 第三幕, the library's node deleted.
  W->MenuItem1Click(nullptr);
  Pump();
  EXPECT_EQ(Query("SELECT tparent, tname FROM story1 WHERE tid > 4"), "3:节点");
  Select(W->LeftTree, 5);
  AnswerButton(mrOk);
  W->Delete1Click(nullptr);
  Pump();
  EXPECT_EQ(PendingDialogAnswers(), 0) << "the question was asked";
  EXPECT_EQ(Query("SELECT count(*) FROM region1 WHERE tid = 5"), "0");
  // Each side's organisation chart shows its own table; "编辑" on the
  // template chart edits its selected node.
  W->kxDockPanel3->Activate();
  W->kxDockPanel8->Activate();
  Pump();
  EXPECT_NE(W->libChart->FindNode(Variant(1)), nullptr);
  EXPECT_EQ(W->libChart->FindNode(Variant(5)), nullptr);
  TkxDbOcNode* n = W->storyChart->FindNode(Variant(4));
  ASSERT_NE(n, nullptr);
  W->storyChart->SetSelected(n);
  W->MenuItem13Click(nullptr);
  EXPECT_TRUE(W->storyChart->IsEditing());
}

TEST_F(TemplateWindowTest, EachSidesChartFollowsItsOwnBox) {
  Open();
  // Template node 1 gets a chart of two objects, library node 2 one of one.
  W->showGrapgh2->SetChecked(true);
  Select(W->RightTree, 1);
  W->rightFlowChart->CreateObject(10, 10, 80, 40, fskRectangle);
  W->rightFlowChart->CreateObject(110, 10, 80, 40, fskRectangle);
  W->ToolButton4Click(nullptr);
  Select(W->LeftTree, 2);
  W->libFlowChart->CreateObject(10, 10, 80, 40, fskEllipse);
  // The left "保存" stores only while the left box is ticked.
  W->showGrapgh1->SetChecked(false);
  W->libflowchartSaveBtnClick(nullptr);
  EXPECT_EQ(Query("SELECT count(*) FROM region1 WHERE length(ttext7) > 0"), "0");
  W->showGrapgh1->SetChecked(true);
  W->libflowchartSaveBtnClick(nullptr);
  EXPECT_EQ(Query("SELECT tid FROM region1 WHERE length(ttext7) > 0"), "2");
  EXPECT_EQ(Query("SELECT tid FROM story1 WHERE length(ttext7) > 0"), "1");
  // Unticked on the right, a template click leaves its chart; the left box
  // governs the left chart alone.
  W->showGrapgh2->SetChecked(false);
  Select(W->RightTree, 2);
  W->RightTreeClick(nullptr);
  EXPECT_EQ(W->rightFlowChart->ObjectCount(), 2);
  Select(W->LeftTree, 4);
  W->LeftTreeClick(nullptr);
  EXPECT_EQ(W->libFlowChart->ObjectCount(), 0);
  EXPECT_EQ(W->rightFlowChart->ObjectCount(), 2);
  W->showGrapgh2->SetChecked(true);
  W->RightTreeClick(nullptr);
  EXPECT_EQ(W->rightFlowChart->ObjectCount(), 0);
  // A click on the right chart runs the designer; confirmed, it stores.
  W->rightFlowChart->CreateObject(10, 10, 80, 40, fskEllipse);
  PushModalScript([](TCustomForm* f) {
    EXPECT_EQ(U8(f->Caption()), "Penvarro写作 图形设计器");
    f->SetModalResult(mrOk);
  });
  W->rightFlowChartClick(nullptr);
  EXPECT_EQ(Query("SELECT tid FROM story1 WHERE length(ttext7) > 0 ORDER BY tid"), "1;2");
}

TEST_F(TemplateWindowTest, ARightChartClickWithNoTemplateTableFailsAfterTheDesigner) {
  Open();
  LibDataModule->StoryTable->Close();
  PushModalScript([](TCustomForm* f) { f->SetModalResult(mrOk); });
  EXPECT_THROW(W->rightFlowChartClick(nullptr), EDatabaseError);
}

TEST_F(TemplateWindowTest, TheLeftNodeShowsItsLinkedSubtreeAndAnUnlinkedOneClosesIt) {
  Sql("UPDATE region1 SET tlinktable = '1', tlinkpath = '1' WHERE tid = 2");
  Sql("UPDATE region1 SET tlinktable = '9', tlinkpath = '1' WHERE tid = 3");
  Open();
  Select(W->LeftTree, 2);
  W->LeftTreeClick(nullptr);
  EXPECT_EQ(TreeText(W->memTree), "2.初到小镇|3.意外相遇");
  // A link to a table that is not listed leaves it; no link closes it.
  Select(W->LeftTree, 3);
  W->LeftTreeClick(nullptr);
  EXPECT_TRUE(LibDataModule->MemTable->Active());
  Select(W->LeftTree, 5);
  W->LeftTreeClick(nullptr);
  EXPECT_FALSE(LibDataModule->MemTable->Active());
  // The template's path chooser reads the narrative table its node links to.
  Sql("UPDATE story1 SET tlinktable = '1' WHERE tid = 4");
  LibDataModule->StoryTable->Requery();
  W->RightTree->FullExpand();
  Select(W->RightTree, 4);
  W->kxDBLookupTreeView4MouseDown(nullptr, mbLeft, {}, 0, 0);
  EXPECT_EQ(LibDataModule->MemTable2->TableName(), "mem1");
  EXPECT_TRUE(LibDataModule->MemTable2->Active());
}

TEST_F(TemplateWindowTest, ClosingSavesNothingOfItsOwn) {
  Open();
  Select(W->RightTree, 2);
  LibDataModule->StoryTable->Edit();
  LibDataModule->StoryTable->FieldByName("tname")->SetAsString(A("对抗"));
  W->Close();
  Pump();
  EXPECT_EQ(Query("SELECT tname FROM story1 WHERE tid = 2"), "第二幕：对抗");
  LibDataModule->StoryTable->Cancel();
}

}  // namespace
