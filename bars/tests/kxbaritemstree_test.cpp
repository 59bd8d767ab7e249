// Tree combos: the node that goes with the text, choosing a node in the
// drop-down by Enter or by a click, a refused node, the selection dialog and
// nodes that go away.
#include "bars/kxbaritemsext.h"
#include "bars/tests/kxbartest.h"

namespace kxbaritemstree_test {

class BarsTreeComboTest : public BarsFormTest {
 protected:
  TkxBarTreeViewCombo* Combo = nullptr;
  TTreeNode* People = nullptr;
  TTreeNode* Hero = nullptr;
  TTreeNode* Places = nullptr;
  void SetUp() override {
    BarsFormTest::SetUp();
    Combo = new TkxBarTreeViewCombo(F);
    Combo->SetName("Kinds");
    Combo->SetWidth(120);
    TTreeNodes* n = Combo->Items();
    People = n->Add(nullptr, A("人物"));
    Hero = n->AddChild(People, A("主角"));
    n->AddChild(People, A("配角"));
    Places = n->Add(nullptr, "Places");
    static_cast<TkxBarItemLink*>(Tools->Insert(0))->SetItem(Combo);
    ToolsBar->SetVisible(false);
    ToolsBar->SetVisible(true);
    Pump();
  }
  TCustomkxBarComboControl* Control() {
    return dynamic_cast<TCustomkxBarComboControl*>(ToolLink(Combo)->Control());
  }
  void Open() {
    ClickLink(ToolLink(Combo));
    ASSERT_EQ(Combo->CurItemLink(), ToolLink(Combo));
    Control()->SetDroppedDown(true);
    Pump();
    ASSERT_TRUE(IsWindowVisible(Combo->TreeView()->Handle()));
  }
  TPoint LabelPoint(TTreeNode* N) {
    TRect r = N->DisplayRect(true);
    return Combo->TreeView()->ClientToScreen(TPoint{r.left + 3, (r.top + r.bottom) / 2});
  }
};

// The text finds its node by the locale's rules, ignoring case; a text that
// names no node is kept without one.
TEST_F(BarsTreeComboTest, TheTextGoesWithItsNode) {
  Combo->SetText(A("主角"));
  EXPECT_EQ(Combo->CurrentNode(), Hero);
  Combo->SetText("places");
  EXPECT_EQ(Combo->CurrentNode(), Places);
  Combo->SetText(A("无此节点"));
  EXPECT_EQ(Combo->CurrentNode(), nullptr);
  EXPECT_EQ(Combo->Text(), A("无此节点"));
  Combo->SetDropDownWidth(40);
  EXPECT_EQ(Combo->DropDownWidth(), 100);
  // a node that goes away is forgotten
  Combo->SetText(A("主角"));
  Hero->Delete();
  EXPECT_EQ(Combo->CurrentNode(), nullptr);
}

// Enter in the open tree chooses its node; a refused node keeps the tree
// open and the text as it was.
TEST_F(BarsTreeComboTest, EnterChoosesANodeUnlessRefused) {
  bool refuse = true;
  struct Guard {
    bool* Refuse;
    void Can(TObject*, TTreeNode*, bool& CanSelect) { CanSelect = !*Refuse; }
  } guard{&refuse};
  Combo->OnCanSelectNode = TkxBarTreeViewComboCanSelectNodeEvent(&guard, &Guard::Can);
  Open();
  TkxBarTreeView* tree = Combo->TreeView();
  tree->FullExpand();
  tree->SetSelected(Hero);
  tree->Perform(WM_KEYDOWN, VK_RETURN, 0);
  Pump();
  EXPECT_TRUE(IsWindowVisible(tree->Handle())) << "refused";
  EXPECT_EQ(Combo->CurrentNode(), nullptr);
  refuse = false;
  tree->Perform(WM_KEYDOWN, VK_RETURN, 0);
  Pump();
  EXPECT_FALSE(IsWindowVisible(tree->Handle()));
  EXPECT_EQ(Combo->Text(), A("主角"));
  EXPECT_EQ(Combo->CurrentNode(), Hero);
}

// Without ChooseByDblClick a single click on a label chooses; a click beside
// the nodes does not.
TEST_F(BarsTreeComboTest, ASingleClickChoosesWhenAsked) {
  Combo->SetChooseByDblClick(false);
  Open();
  TkxBarTreeView* tree = Combo->TreeView();
  TRect client = tree->ClientRect();
  TPoint empty = tree->ClientToScreen(TPoint{client.right - 5, client.bottom - 5});
  hb->Click(empty.x, empty.y);
  Pump();
  EXPECT_TRUE(IsWindowVisible(tree->Handle()));
  EXPECT_EQ(Combo->CurrentNode(), nullptr);
  TPoint p = LabelPoint(Places);
  hb->Click(p.x, p.y);
  Pump();
  EXPECT_FALSE(IsWindowVisible(tree->Handle()));
  EXPECT_EQ(Combo->Text(), "Places");
}

// A click on the item in a menu opens the selection dialog with the same
// tree; OK takes the chosen node's text.
TEST_F(BarsTreeComboTest, TheSelectionDialogChoosesANode) {
  Combo->SetText("Places");
  bool asked = false;
  PushModalScript([&](TCustomForm* f) {
    asked = true;
    EXPECT_EQ(f->Caption(), A("选择条目"));
    TkxBarTreeView* tree = nullptr;
    for (int i = 0; i < f->ComponentCount(); ++i)
      if (auto* t = dynamic_cast<TkxBarTreeView*>(f->Components(i))) tree = t;
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->Items()->Count(), 4);
    ASSERT_NE(tree->Selected(), nullptr);
    EXPECT_EQ(tree->Selected()->Text(), "Places");
    tree->FullExpand();
    for (TTreeNode* n = tree->Items()->GetFirstNode(); n; n = n->GetNext())
      if (n->Text() == A("配角")) tree->SetSelected(n);
    f->SetModalResult(mrOk);
  });
  Combo->DoClick();
  EXPECT_TRUE(asked);
  EXPECT_EQ(Combo->Text(), A("配角"));
  EXPECT_NE(Combo->CurrentNode(), nullptr);
}

}  // namespace kxbaritemstree_test
