// Tree combos: the node that goes with the text, choosing a node in the
// drop-down by Enter or by a click, a refused node, the selection dialog and
// nodes that go away.
#include <algorithm>

#include "bars/kxbaritemsext.h"
#include "platform/controls/imglist.h"
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

// The tree's events of a tree combo, set in a window description, are kept
// by its drop-down tree and fire there.
namespace kxbaritemstree_test {

class TTreeEventsForm : public TForm {
  PV_CLASS(TTreeEventsForm, TForm)
 public:
  explicit TTreeEventsForm(TComponent* AOwner) : TForm(AOwner, 0) {}
  std::vector<std::string> Log;
  void Note(const char* What, TTreeNode* Node) { Log.push_back(std::string(What) + (Node ? " " + std::string(Node->Text()) : "")); }
  void TreeExpanded(TObject*, TTreeNode* N) { Note("expanded", N); }
  void TreeExpanding(TObject*, TTreeNode* N, bool&) { Note("expanding", N); }
  void TreeChanging(TObject*, TTreeNode* N, bool&) { Note("changing", N); }
  void TreeCollapsed(TObject*, TTreeNode* N) { Note("collapsed", N); }
  void TreeCollapsing(TObject*, TTreeNode* N, bool&) { Note("collapsing", N); }
  void TreeCompare(TObject*, TTreeNode* A, TTreeNode* B, int, int& C) {
    Note("compare", nullptr);
    C = -AnsiCompareText(A->Text(), B->Text());  // reversed
  }
  void TreeGetImageIndex(TObject*, TTreeNode* N) { Note("image", N); }
  void TreeGetSelectedIndex(TObject*, TTreeNode* N) { Note("selected image", N); }
  void TreeChange(TObject*, TTreeNode* N) { Note("change", N); }
};

TEST_F(BarsTreeComboTest, TreeEventsFromADescriptionFireInTheDropDownTree) {
  static bool registered = false;
  if (!registered) {
    registered = true;
    RegisterClasses({TTreeEventsForm::StaticClass()});
    RegisterHandlers<TTreeEventsForm>([](THandlerBuilder<TTreeEventsForm>& h) {
      using T = TTreeEventsForm;
      h.Handler("TreeExpanded", &T::TreeExpanded);
      h.Handler("TreeExpanding", &T::TreeExpanding);
      h.Handler("TreeChanging", &T::TreeChanging);
      h.Handler("TreeCollapsed", &T::TreeCollapsed);
      h.Handler("TreeCollapsing", &T::TreeCollapsing);
      h.Handler("TreeCompare", &T::TreeCompare);
      h.Handler("TreeGetImageIndex", &T::TreeGetImageIndex);
      h.Handler("TreeGetSelectedIndex", &T::TreeGetSelectedIndex);
      h.Handler("TreeChange", &T::TreeChange);
    });
  }
  const char* text = R"(object TreeEventsForm: TTreeEventsForm
  Width = 300
  Height = 200
  object Manager: TkxBarManager
    object Tree: TkxBarTreeViewCombo
      Category = 0
      OnExpanded = TreeExpanded
      OnExpanding = TreeExpanding
      OnChanging = TreeChanging
      OnCollapsed = TreeCollapsed
      OnCollapsing = TreeCollapsing
      OnCompare = TreeCompare
      OnGetImageIndex = TreeGetImageIndex
      OnGetSelectedIndex = TreeGetSelectedIndex
      OnTreeViewChange = TreeChange
    end
  end
end
)";
  auto* form = new TTreeEventsForm(nullptr);
  ReadComponentFromText(text, form);
  auto* combo = dynamic_cast<TkxBarTreeViewCombo*>(form->FindComponent("Tree"));
  ASSERT_NE(combo, nullptr);
  // the events are written back as they were read
  AnsiString written = WriteComponentToText(form);
  for (const char* line : {"OnExpanded = TreeExpanded", "OnExpanding = TreeExpanding", "OnChanging = TreeChanging",
                           "OnCollapsed = TreeCollapsed", "OnCollapsing = TreeCollapsing", "OnCompare = TreeCompare",
                           "OnGetImageIndex = TreeGetImageIndex", "OnGetSelectedIndex = TreeGetSelectedIndex",
                           "OnTreeViewChange = TreeChange"})
    EXPECT_NE(written.find(line), AnsiString::npos) << line;
  form->Show();
  Pump();
  TkxBarTreeView* tree = combo->TreeView();
  // the tree asks for image indexes only with images to show
  auto* images = new TImageList(form);
  combo->SetImages(images);
  TTreeNode* root = combo->Items()->Add(nullptr, "B");
  combo->Items()->AddChild(root, "x");
  combo->Items()->Add(nullptr, "A");
  tree->HandleNeeded();
  form->Log.clear();
  root->Expand(false);
  root->Collapse(false);
  tree->SetSelected(root);
  tree->AlphaSort();
  EXPECT_EQ(combo->Items()->GetFirstNode(), root) << "the handler's reversed order";
  ShowWindow(tree->Handle(), SW_SHOWNA);
  UpdateWindow(tree->Handle());
  Pump();
  auto has = [&](const std::string& What) {
    return std::find(form->Log.begin(), form->Log.end(), What) != form->Log.end();
  };
  for (const char* what : {"expanding B", "expanded B", "collapsing B", "collapsed B", "changing B", "change B",
                           "compare", "image A"})
    EXPECT_TRUE(has(what)) << what;
  bool selectedImage = false;
  for (const std::string& l : form->Log) selectedImage = selectedImage || l.rfind("selected image", 0) == 0;
  EXPECT_TRUE(selectedImage);
  form->Free();
}

}  // namespace kxbaritemstree_test
