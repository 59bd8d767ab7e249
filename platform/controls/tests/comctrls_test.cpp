// TTreeView, TTreeNodes and TTreeNode on the headless backend: node moves
// with every attach mode, sorting, hit-test sets, events and label editing.
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "platform/backend/headless/headless.h"
#include "platform/classes/filer.h"
#include "platform/controls/comctrls.h"
#include "platform/controls/forms.h"
#include "platform/controls/stdwnd.h"
#include "platform/controls/valedit.h"
#include "platform/rtl/strings.h"

namespace {

// A tree that counts the items its window inserts.
class TCountingTree : public TTreeView {
 public:
  explicit TCountingTree(TComponent* AOwner) : TTreeView(AOwner) {}
  int Inserts = 0;
  std::vector<TTreeNode*> InsertedNodes;

 protected:
  void WndProc(TMessage& Message) override {
    TTreeView::WndProc(Message);
    if (Message.Msg == TVM_INSERTITEMA && Message.Result) {
      ++Inserts;
      InsertedNodes.push_back(Items()->GetNode(reinterpret_cast<HTREEITEM>(Message.Result)));
    }
  }
};

class TreeWrapperTest : public ::testing::Test {
 protected:
  HeadlessBackend* hb = nullptr;
  std::unique_ptr<TForm> panel;
  TCountingTree* tree = nullptr;
  std::vector<std::string> events;

  void SetUp() override {
    hb = &HeadlessBackend::Install();
    PvResetWindowManager();
    hb->Reset();
    RegisterStandardWindowClasses();
    InitCommonControls();
    panel = std::make_unique<TForm>(nullptr, 0);
    panel->SetBounds(50, 50, 400, 360);
    panel->HandleNeeded();
    panel->Show();
    tree = new TCountingTree(panel.get());
    tree->SetParent(panel.get());
    tree->SetBounds(10, 10, 220, 260);
    tree->HandleNeeded();
    PvProcessMessages();
  }
  void TearDown() override {
    panel.reset();
    PvResetWindowManager();
    hb->Reset();
  }

  // "A(A1,A2),B" for the whole tree.
  std::string Layout(TTreeNode* first = nullptr, bool top = true) {
    if (top) first = tree->Items()->GetFirstNode();
    std::string s;
    for (TTreeNode* n = first; n; n = n->GetNextSibling()) {
      if (!s.empty()) s += ",";
      s += n->Text();
      if (TTreeNode* c = n->GetFirstChild()) s += "(" + Layout(c, false) + ")";
    }
    return s;
  }
  TTreeNode* Find(const std::string& text) {
    for (TTreeNode* n = tree->Items()->GetFirstNode(); n; n = n->GetNext())
      if (n->Text() == text) return n;
    return nullptr;
  }
  void Build() {
    tree->Items()->Clear();
    TTreeNodes* it = tree->Items();
    TTreeNode* a = it->Add(nullptr, "A");
    it->AddChild(a, "A1");
    it->AddChild(a, "A2");
    TTreeNode* b = it->Add(nullptr, "B");
    it->AddChild(b, "B1");
    it->Add(nullptr, "C");
  }


 public:
  void Changing(TObject*, TTreeNode* Node, bool& Allow) {
    events.push_back("changing " + (Node ? Node->Text() : std::string("nil")));
    Allow = !Node || Node->Text() != "locked";
  }
  void Changed(TObject*, TTreeNode* Node) { events.push_back("change " + (Node ? Node->Text() : std::string("nil"))); }
  void Deleted(TObject*, TTreeNode* Node) { events.push_back("delete " + Node->Text()); }
  void Expanding(TObject*, TTreeNode* Node, bool& Allow) {
    events.push_back("expanding " + Node->Text());
    Allow = Node->Text() != "locked";
  }
  void Expanded(TObject*, TTreeNode* Node) { events.push_back("expanded " + Node->Text()); }
  void Editing(TObject*, TTreeNode* Node, bool& Allow) { events.push_back("editing " + Node->Text()); }
  void Edited(TObject*, TTreeNode* Node, AnsiString& S) {
    events.push_back("edited " + Node->Text() + " -> " + S);
    S += "!";
  }
  void ImageIndex(TObject*, TTreeNode* Node) { events.push_back("image " + Node->Text()); }
  void Compare(TObject*, TTreeNode* A, TTreeNode* B, int, int& R) {
    R = int(A->Text().size()) - int(B->Text().size());
  }
};

TEST_F(TreeWrapperTest, MoveToWithEveryAttachMode) {
  struct Case {
    const char* name;
    const char* node;
    const char* dest;  // nullptr: no destination
    TNodeAttachMode mode;
    const char* want;
  } cases[] = {
      {"add: last sibling of the destination", "A1", "B1", naAdd, "A(A2),B(B1,A1),C"},
      {"add first: first sibling", "A1", "B1", naAddFirst, "A(A2),B(A1,B1),C"},
      {"add child: last child", "A1", "B", naAddChild, "A(A2),B(B1,A1),C"},
      {"add child first: first child", "A1", "B", naAddChildFirst, "A(A2),B(A1,B1),C"},
      {"insert: before the destination", "A2", "B1", naInsert, "A(A1),B(A2,B1),C"},
      {"insert before the first top-level node", "C", "A", naInsert, "C,A(A1,A2),B(B1)"},
      {"add without destination: last top-level node", "A1", nullptr, naAdd, "A(A2),B(B1),C,A1"},
      {"a subtree moves whole", "A", "B1", naAddChild, "B(B1(A(A1,A2))),C"},
      {"onto its own child: refused", "A", "A1", naAddChild, "A(A1,A2),B(B1),C"},
      {"onto itself: refused", "B", "B", naAdd, "A(A1,A2),B(B1),C"},
      {"insert before its next sibling: stays", "A1", "A2", naInsert, "A(A1,A2),B(B1),C"},
      {"to a leaf: becomes its child", "C", "B1", naAddChild, "A(A1,A2),B(B1(C))"},
  };
  for (const Case& c : cases) {
    Build();
    TTreeNode* n = Find(c.node);
    int data = 42;
    n->SetData(&data);
    n->SetSelected(true);
    tree->OnChange = TTVChangedEvent(this, &TreeWrapperTest::Changed);
    tree->OnDeletion = TTVExpandedEvent(this, &TreeWrapperTest::Deleted);
    events.clear();
    n->MoveTo(c.dest ? Find(c.dest) : nullptr, c.mode);
    EXPECT_EQ(Layout(), c.want) << c.name;
    EXPECT_EQ(Find(c.node), n) << c.name << ": the same node object";
    EXPECT_EQ(n->Data(), &data) << c.name;
    EXPECT_EQ(tree->Selected(), n) << c.name << ": still selected";
    EXPECT_TRUE(events.empty()) << c.name << ": no change or deletion events during a move";
    tree->OnChange = nullptr;
    tree->OnDeletion = nullptr;
  }
}

TEST_F(TreeWrapperTest, AMoveReinsertsEveryItemOfTheSubtree) {
  Build();
  TTreeNode* a = Find("A");
  tree->Inserts = 0;
  tree->InsertedNodes.clear();
  a->MoveTo(Find("C"), naAddChild);
  EXPECT_EQ(tree->Inserts, 3);
  ASSERT_EQ(tree->InsertedNodes.size(), 3u);
  EXPECT_EQ(tree->InsertedNodes[0], a) << "the moved node's item exists with the node when it is reported";
  EXPECT_EQ(tree->InsertedNodes[0]->Parent(), Find("C"));
  EXPECT_EQ(Layout(), "B(B1),C(A(A1,A2))");
  EXPECT_EQ(tree->Items()->Count(), 6);
}

TEST_F(TreeWrapperTest, SortingByTextAndByCompareEvent) {
  TTreeNodes* it = tree->Items();
  TTreeNode* r = it->Add(nullptr, "pear");
  it->AddChild(r, "zz");
  it->AddChild(r, "a");
  it->Add(nullptr, "Fig");
  it->Add(nullptr, "apple");
  tree->AlphaSort(false);
  EXPECT_EQ(Layout(), "apple,Fig,pear(zz,a)");
  tree->AlphaSort(true);
  EXPECT_EQ(Layout(), "apple,Fig,pear(a,zz)");
  tree->OnCompare = TTVCompareEvent(this, &TreeWrapperTest::Compare);
  tree->AlphaSort(false);
  EXPECT_EQ(Layout(), "Fig,pear(a,zz),apple");
  tree->OnCompare = nullptr;
  // a sorted tree keeps new and renamed nodes in order
  tree->SetSortType(stText);
  EXPECT_EQ(Layout(), "apple,Fig,pear(a,zz)");
  it->Add(nullptr, "banana");
  EXPECT_EQ(Layout(), "apple,banana,Fig,pear(a,zz)");
  Find("apple")->SetText("zebra");
  EXPECT_EQ(Layout(), "banana,Fig,pear(a,zz),zebra");
}

TEST_F(TreeWrapperTest, SortingByTextUsesTheChineseOrder) {
  TTreeNodes* it = tree->Items();
  for (const char* s : {"a", "abc", "B", "Zeta", "_x", "丂", "阿", "澳", "张三", "中文", "亍"})
    it->Add(nullptr, Utf8ToAnsi(s));
  tree->AlphaSort(false);
  std::string want;
  for (const char* s : {"_x", "a", "abc", "B", "Zeta", "阿", "澳", "亍", "丂", "张三", "中文"})
    want += (want.empty() ? "" : ",") + Utf8ToAnsi(s);
  EXPECT_EQ(Layout(), want);
  // Texts that differ only in case are equal to the sort: they keep their order.
  for (const char* first : {"Ab", "ab"}) {
    it->Clear();
    it->Add(nullptr, "b");
    it->Add(nullptr, first);
    it->Add(nullptr, first[0] == 'A' ? "ab" : "Ab");
    tree->AlphaSort(false);
    EXPECT_EQ(Layout(), std::string(first) + "," + (first[0] == 'A' ? "ab" : "Ab") + ",b");
  }
}

TEST_F(TreeWrapperTest, HitTestSetsAndNodeAt) {
  Build();
  TTreeNode* a = Find("A");
  a->Expand(false);
  TRect lab = a->DisplayRect(true);
  int y = (lab.top + lab.bottom) / 2;
  struct Case {
    const char* name;
    int x, y;
    THitTests want;
    const char* node;
  } cases[] = {
      {"label", lab.left + 2, y, THitTests{htOnItem, htOnLabel}, "A"},
      {"button", lab.left - tree->Indent() / 2, y, THitTests{htOnButton}, nullptr},
      {"right", lab.right + 4, y, THitTests{htOnRight}, nullptr},
      {"indent", Find("A1")->DisplayRect(true).left - tree->Indent() - 3, Find("A1")->DisplayRect(true).top + 3,
       THitTests{htOnIndent}, nullptr},
      {"nowhere", 10, tree->ClientHeight() - 3, THitTests{htNowhere}, nullptr},
      {"above", 10, -5, THitTests{htAbove}, nullptr},
      {"below", 10, tree->ClientHeight() + 5, THitTests{htBelow}, nullptr},
      {"to the left", -5, y, THitTests{htToLeft}, nullptr},
      {"to the right", tree->ClientWidth() + 5, y, THitTests{htToRight}, nullptr},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(tree->GetHitTestInfoAt(c.x, c.y), c.want) << c.name;
    TTreeNode* n = tree->GetNodeAt(c.x, c.y);
    EXPECT_EQ(n ? std::string(n->Text()) : std::string("nil"), c.node ? c.node : "nil") << c.name;
  }
}

// With automatic dragging a press on a node selects it and the drag starts
// once the window detects one: whether the moves arrive while the press is
// handled or later, the tree keeps the drag (and the mouse) to the drop.
TEST_F(TreeWrapperTest, AutomaticDragSelectsThePressedNodeAndStarts) {
  InitForms();
  Build();
  tree->SetDragMode(dmAutomatic);
  struct Rec {
    TTreeNode* selectedAtStart = nullptr;
    TCustomTreeView* tree = nullptr;
    TObject* endTarget = reinterpret_cast<TObject*>(1);
    void Start(TObject*, TDragObject*&) { selectedAtStart = tree->Selected(); }
    void End(TObject*, TObject* t, int, int) { endTarget = t; }
  } rec;
  rec.tree = tree;
  tree->OnStartDrag = TStartDragEvent(&rec, &Rec::Start);
  tree->OnEndDrag = TEndDragEvent(&rec, &Rec::End);
  for (bool movesQueued : {false, true}) {
    rec = Rec{nullptr, tree};
    hb->AdvanceClock(2000);  // not a double click
    tree->SetSelected(Find("C"));
    TRect r = Find("B")->DisplayRect(true);
    TPoint p = tree->ClientToScreen(TPoint(r.left + 4, (r.top + r.bottom) / 2));
    hb->MouseDown(p.x, p.y);
    if (!movesQueued) PvProcessMessages();
    hb->MouseMove(p.x, p.y + 10);
    if (!movesQueued) PvProcessMessages();
    hb->MouseMove(p.x + 300, p.y + 10);
    PvProcessMessages();
    EXPECT_EQ(DragControl(), tree) << movesQueued;
    EXPECT_EQ(rec.selectedAtStart, Find("B")) << movesQueued;
    hb->MouseUp(p.x + 300, p.y + 10);
    PvProcessMessages();
    EXPECT_EQ(DragControl(), nullptr) << movesQueued;
    EXPECT_EQ(rec.endTarget, nullptr) << movesQueued;
  }
  DoneForms();
}

TEST_F(TreeWrapperTest, EventsVetoesAndDeletionOrder) {
  Build();
  TTreeNode* locked = tree->Items()->AddChild(Find("C"), "locked");
  tree->OnChanging = TTVChangingEvent(this, &TreeWrapperTest::Changing);
  tree->OnChange = TTVChangedEvent(this, &TreeWrapperTest::Changed);
  tree->OnExpanding = TTVExpandingEvent(this, &TreeWrapperTest::Expanding);
  tree->OnExpanded = TTVExpandedEvent(this, &TreeWrapperTest::Expanded);
  tree->OnDeletion = TTVExpandedEvent(this, &TreeWrapperTest::Deleted);

  Find("B")->SetSelected(true);
  EXPECT_EQ(events, (std::vector<std::string>{"changing B", "change B"}));
  events.clear();
  locked->SetSelected(true);
  EXPECT_EQ(tree->Selected(), Find("B")) << "OnChanging refused";
  EXPECT_EQ(events, (std::vector<std::string>{"changing locked"}));

  events.clear();
  Find("A")->SetExpanded(true);
  EXPECT_EQ(events, (std::vector<std::string>{"expanding A", "expanded A"}));
  EXPECT_TRUE(Find("A")->Expanded());
  // the window's own expansion (a click on the button) asks the same events
  Find("A")->SetExpanded(false);
  events.clear();
  TRect lab = Find("A")->DisplayRect(true);
  POINT p{lab.left - tree->Indent() / 2, (lab.top + lab.bottom) / 2};
  ClientToScreen(tree->Handle(), &p);
  hb->Click(p.x, p.y);
  PvProcessMessages();
  EXPECT_EQ(events, (std::vector<std::string>{"expanding A", "expanded A"}));

  events.clear();
  Find("A")->Delete();
  EXPECT_EQ(events, (std::vector<std::string>{"delete A1", "delete A2", "delete A"}));
  EXPECT_EQ(Layout(), "B(B1),C(locked)");
  events.clear();
  Find("B")->DeleteChildren();
  EXPECT_EQ(events, (std::vector<std::string>{"delete B1"}));
  EXPECT_FALSE(Find("B")->HasChildren());
  tree->OnChanging = nullptr;
  tree->OnChange = nullptr;
  tree->OnDeletion = nullptr;
  tree->OnExpanding = nullptr;
  tree->OnExpanded = nullptr;
}

TEST_F(TreeWrapperTest, NodeProperties) {
  Build();
  TTreeNode* b1 = Find("B1");
  EXPECT_EQ(b1->Level(), 1);
  EXPECT_EQ(b1->Index(), 0);
  EXPECT_EQ(b1->AbsoluteIndex(), 4);
  EXPECT_EQ(tree->Items()->Item(4), b1);
  EXPECT_EQ(Find("B")->Count(), 1);
  EXPECT_EQ(Find("A")->Item(1), Find("A2"));
  EXPECT_THROW(Find("A")->Item(2), EListError);
  EXPECT_EQ(Find("A2")->GetPrev(), Find("A1"));
  EXPECT_EQ(Find("B")->GetPrev(), Find("A2"));
  EXPECT_EQ(Find("A2")->GetNext(), Find("B"));
  EXPECT_FALSE(b1->IsVisible()) << "inside a collapsed node";
  EXPECT_EQ(b1->DisplayRect(false).right, 0);
  b1->MakeVisible();
  EXPECT_TRUE(b1->IsVisible());
  EXPECT_TRUE(Find("B")->Expanded());
  EXPECT_TRUE(b1->HasAsParent(Find("B")));
  EXPECT_FALSE(Find("B")->HasAsParent(b1));
  TTreeNode* ins = tree->Items()->Insert(Find("B"), "before B");
  EXPECT_EQ(Layout(), "A(A1,A2),before B,B(B1),C");
  tree->Items()->AddChildFirst(Find("B"), "B0");
  tree->Items()->AddFirst(Find("A1"), "A0");
  EXPECT_EQ(Layout(), "A(A0,A1,A2),before B,B(B0,B1),C");
  ins->SetDropTarget(true);
  EXPECT_EQ(tree->DropTarget(), ins);
  tree->SetDropTarget(nullptr);
  EXPECT_FALSE(ins->DropTarget());
  tree->Items()->Clear();
  EXPECT_EQ(tree->Items()->Count(), 0);
  EXPECT_EQ(tree->Items()->GetFirstNode(), nullptr);
}

TEST_F(TreeWrapperTest, LabelEditingThroughTheNode) {
  Build();
  TTreeNode* b = Find("B");
  b->SetSelected(true);
  tree->SetFocus();
  tree->OnEditing = TTVEditingEvent(this, &TreeWrapperTest::Editing);
  tree->OnEdited = TTVEditedEvent(this, &TreeWrapperTest::Edited);
  ASSERT_TRUE(b->EditText());
  EXPECT_TRUE(tree->IsEditing());
  SetWindowTextA(TreeView_GetEditControl(tree->Handle()), "Beta");
  b->EndEdit(false);
  EXPECT_EQ(b->Text(), "Beta!");
  EXPECT_EQ(events, (std::vector<std::string>{"editing B", "edited B -> Beta"}));
  EXPECT_FALSE(tree->IsEditing());

  events.clear();
  ASSERT_TRUE(b->EditText());
  SetWindowTextA(TreeView_GetEditControl(tree->Handle()), "dropped");
  b->EndEdit(true);
  EXPECT_EQ(b->Text(), "Beta!");
  EXPECT_EQ(events, (std::vector<std::string>{"editing Beta!"}));

  tree->SetReadOnly(true);
  EXPECT_FALSE(b->EditText());
  tree->OnEditing = nullptr;
  tree->OnEdited = nullptr;
}

TEST_F(TreeWrapperTest, ImageIndexIsAskedWhenPainting) {
  Build();
  TImageList images(nullptr);
  TBitmap bmp;
  bmp.SetWidth(32);
  bmp.SetHeight(16);
  images.Add(&bmp, nullptr);
  tree->SetImages(&images);
  tree->OnGetImageIndex = TTVExpandedEvent(this, &TreeWrapperTest::ImageIndex);
  events.clear();
  tree->Invalidate();
  tree->Update();
  EXPECT_NE(std::find(events.begin(), events.end(), "image A"), events.end());
  tree->OnGetImageIndex = nullptr;
  tree->SetImages(nullptr);
}

TEST_F(TreeWrapperTest, RecreatingTheWindowKeepsTheNodes) {
  Build();
  Find("B")->Expand(false);
  tree->OnDeletion = TTVExpandedEvent(this, &TreeWrapperTest::Deleted);
  events.clear();
  tree->SetBorderStyle(bsNone);  // re-creates the window
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(Layout(), "A(A1,A2),B(B1),C");
  ASSERT_NE(Find("B"), nullptr);
  EXPECT_TRUE(Find("B")->Expanded());
  tree->OnDeletion = nullptr;
}

// A chain of nodes deeper than the stack could follow by recursion: expanded
// in full, kept while the window is re-created, moved, copied to another tree
// and freed with the form.
TEST_F(TreeWrapperTest, AChainOfAHundredThousandNodes) {
  constexpr int kDepth = 100000;
  TTreeNodes* it = tree->Items();
  it->BeginUpdate();
  TTreeNode* top = it->Add(nullptr, "top");
  TTreeNode* n = top;
  for (int i = 1; i < kDepth; ++i) n = it->AddChild(n, "node");
  it->EndUpdate();
  TTreeNode* deepest = n;
  tree->FullExpand();
  EXPECT_TRUE(deepest->Parent()->Expanded());
  EXPECT_TRUE(deepest->IsVisible());
  EXPECT_EQ(deepest->Level(), kDepth - 1);

  tree->SetBorderStyle(bsNone);  // re-creates the window
  ASSERT_EQ(it->Count(), kDepth);
  top = it->GetFirstNode();
  n = top;
  while (n->GetFirstChild()) n = n->GetFirstChild();
  EXPECT_TRUE(n->Parent()->Expanded()) << "the expansion comes back";

  TTreeNode* second = top->GetFirstChild();
  second->MoveTo(nullptr, naAdd);  // the whole chain below moves with it
  EXPECT_EQ(top->GetFirstChild(), nullptr);
  EXPECT_EQ(it->Count(), kDepth);
  n = it->GetFirstNode()->GetNextSibling();
  int below = 0;
  while (n->GetFirstChild()) {
    n = n->GetFirstChild();
    ++below;
  }
  EXPECT_EQ(below, kDepth - 2);

  auto* other = new TTreeView(panel.get());
  other->SetParent(panel.get());
  other->SetBounds(240, 10, 140, 260);
  other->Items()->Assign(it);
  EXPECT_EQ(other->Items()->Count(), kDepth);
  panel.reset();
}

class PagesTest : public TreeWrapperTest {
 public:
  int changes = 0;
  bool allow = true;
  void PageChanging(TObject*, bool& Allow) {
    events.push_back("changing");
    Allow = allow;
  }
  void PageChanged(TObject*) { ++changes; }
};

TEST_F(PagesTest, ActivePageTabsAndEvents) {
  auto* pc = new TPageControl(panel.get());
  pc->SetParent(panel.get());
  pc->SetBounds(0, 0, 300, 200);
  std::vector<TTabSheet*> s;
  for (const char* cap : {"one", "two", "three"}) {
    auto* t = new TTabSheet(panel.get());
    t->SetPageControl(pc);
    t->SetCaption(cap);
    s.push_back(t);
  }
  pc->HandleNeeded();
  EXPECT_EQ(pc->PageCount(), 3);
  EXPECT_EQ(pc->ActivePage(), s[0]) << "the first page becomes active";
  EXPECT_TRUE(s[0]->Visible());
  EXPECT_FALSE(s[1]->Visible());
  EXPECT_GT(s[0]->Top(), pc->TabHeight() - 1) << "the page sits below the tabs";

  pc->OnChanging = TTabChangingEvent(this, &PagesTest::PageChanging);
  pc->OnChange = TNotifyEvent(this, &PagesTest::PageChanged);
  TRect tab = pc->TabRect(2);
  POINT p{(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2};
  ClientToScreen(pc->Handle(), &p);
  allow = false;
  hb->Click(p.x, p.y);
  PvProcessMessages();
  EXPECT_EQ(pc->ActivePage(), s[0]) << "OnChanging refused";
  EXPECT_EQ(changes, 0);
  allow = true;
  hb->AdvanceClock(1000);
  hb->Click(p.x, p.y);
  PvProcessMessages();
  EXPECT_EQ(pc->ActivePage(), s[2]);
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(s[2]->Visible());
  EXPECT_FALSE(s[0]->Visible());

  pc->SelectNextPage(true);
  EXPECT_EQ(pc->ActivePage(), s[0]) << "wraps around";
  s[1]->SetTabVisible(false);
  EXPECT_EQ(s[1]->TabIndex(), -1);
  EXPECT_EQ(s[2]->TabIndex(), 1);
  pc->SelectNextPage(true);
  EXPECT_EQ(pc->ActivePage(), s[2]) << "hidden tabs are skipped";
  s[2]->SetTabVisible(false);
  EXPECT_EQ(pc->ActivePage(), s[0]) << "hiding the active tab activates the next";
  s[0]->SetPageIndex(2);
  EXPECT_EQ(pc->Pages(2), s[0]);
  EXPECT_EQ(pc->ActivePageIndex(), 2);
  s[0]->SetPageControl(nullptr);
  EXPECT_EQ(pc->PageCount(), 2);
  EXPECT_NE(pc->ActivePage(), s[0]);
  EXPECT_EQ(s[0]->PageControl(), nullptr);
  pc->OnChanging = nullptr;
  pc->OnChange = nullptr;
}

TEST_F(PagesTest, PagesWithHiddenTabsFillTheFrame) {
  auto* pc = new TPageControl(panel.get());
  pc->SetParent(panel.get());
  pc->SetBounds(0, 0, 300, 200);
  auto* a = new TTabSheet(panel.get());
  a->SetPageControl(pc);
  auto* b = new TTabSheet(panel.get());
  b->SetPageControl(pc);
  pc->HandleNeeded();
  ASSERT_GT(a->Top(), pc->TabHeight() - 1);
  a->SetTabVisible(false);
  b->SetTabVisible(false);
  pc->SetActivePage(a);  // a page is still shown by code
  EXPECT_EQ(pc->ActivePage(), a);
  EXPECT_EQ(a->Top(), 4);
  EXPECT_EQ(a->Height(), 200 - 8);
  b->SetTabVisible(true);  // b's tab comes back, and b with it below the row of tabs
  EXPECT_EQ(pc->ActivePage(), b);
  EXPECT_GT(b->Top(), pc->TabHeight() - 1);
}

TEST_F(PagesTest, UpDownStepsAndShowsThePosition) {
  auto* buddy = new TCustomControl(panel.get());
  buddy->SetParent(panel.get());
  buddy->SetBounds(20, 20, 60, 21);
  auto* ud = new TUpDown(panel.get());
  ud->SetParent(panel.get());
  ud->SetMax(1500);
  ud->SetPosition(12);
  ud->SetAssociate(buddy);
  EXPECT_EQ(buddy->Text(), "12");
  EXPECT_EQ(ud->Left(), 80) << "placed right of its associate";
  EXPECT_EQ(ud->Height(), 21);
  struct Case {
    int min, max, pos, inc;
    bool wrap;
    TUDBtnType button;
    int want;
  } cases[] = {
      {0, 100, 50, 5, false, btNext, 55},  {0, 100, 98, 5, false, btNext, 100},
      {0, 100, 98, 5, true, btNext, 0},    {0, 100, 2, 5, false, btPrev, 0},
      {0, 100, 2, 5, true, btPrev, 100},   {100, 0, 50, 1, false, btNext, 49},  // reversed range
  };
  for (const Case& c : cases) {
    ud->SetMin(c.min);
    ud->SetMax(c.max);
    ud->SetPosition(c.pos);
    ud->SetIncrement(c.inc);
    ud->SetWrap(c.wrap);
    ud->Step(c.button);
    EXPECT_EQ(ud->Position(), c.want) << c.min << ".." << c.max << " from " << c.pos;
  }
  ud->SetMin(0);
  ud->SetMax(5000);
  ud->SetPosition(1234);
  EXPECT_EQ(buddy->Text(), "1,234");
  ud->SetThousands(false);
  EXPECT_EQ(buddy->Text(), "1234");
  ud->SetPosition(99999);
  EXPECT_EQ(ud->Position(), 5000) << "clamped";
}

TEST_F(PagesTest, ValueListKeysAreEditedAddedDeletedAndUnique) {
  auto* vl = new TValueListEditor(panel.get());
  vl->SetParent(panel.get());
  vl->SetBounds(0, 0, 300, 200);
  vl->SetKeyOptions(TKeyOptions{keyEdit, keyAdd, keyDelete, keyUnique});
  vl->SetDefaultRowHeight(20);
  vl->TitleCaptions()->Clear();
  vl->TitleCaptions()->Add("\xB2\xE9\xD5\xD2");  // 查找
  vl->TitleCaptions()->Add("\xCC\xE6\xBB\xBB");  // 替换
  vl->Strings()->Add("a=1");
  vl->Strings()->Add("b=2");
  vl->HandleNeeded();
  EXPECT_EQ(vl->RowCount(), 3);
  EXPECT_EQ(vl->Cells(0, 0), "\xB2\xE9\xD5\xD2");
  EXPECT_EQ(vl->Keys(2), "b");
  EXPECT_EQ(vl->Values("a"), "1");

  // a duplicate key is refused and nothing changes
  EXPECT_THROW(vl->SetKeys(2, "A"), EInvalidOperation);
  EXPECT_THROW(vl->InsertRow("b", "x", true), EInvalidOperation);
  EXPECT_EQ(vl->Strings()->Text(), "a=1\r\nb=2\r\n");

  // editing a value through the editor
  vl->SetRow(2);
  vl->SetCol(1);
  vl->SetFocus();
  vl->ShowEditor();
  ASSERT_TRUE(vl->EditorMode());
  SetWindowTextA(vl->EditorHandle(), "two");
  hb->Key(VK_RETURN);
  PvProcessMessages();
  EXPECT_FALSE(vl->EditorMode());
  EXPECT_EQ(vl->Values("b"), "two");

  // Insert adds a row and edits its key; Escape on the empty row takes it away
  vl->SetFocus();
  hb->Key(VK_INSERT);
  PvProcessMessages();
  EXPECT_EQ(vl->RowCount(), 4);
  ASSERT_TRUE(vl->EditorMode());
  EXPECT_EQ(vl->Col(), 0);
  hb->Key(VK_ESCAPE);
  PvProcessMessages();
  EXPECT_EQ(vl->RowCount(), 3);

  // Delete removes the current row
  vl->SetRow(1);
  vl->SetFocus();
  hb->Key(VK_DELETE);
  PvProcessMessages();
  EXPECT_EQ(vl->Strings()->Text(), "b=two\r\n");
  vl->SetValues("c", "3");
  EXPECT_EQ(vl->RowCount(), 3);
}

// The column widths travel through a description as a list of two, beside
// the usual control properties.
TEST_F(PagesTest, ValueListColumnWidthsReadAndWriteAsAList) {
  InitValEditProps();
  std::unique_ptr<TValueListEditor> vl(new TValueListEditor(nullptr));
  vl->SetName("List1");
  EXPECT_EQ(WriteComponentToText(vl.get()).find("ColWidths"), AnsiString::npos) << "defaults are not stored";
  vl->SetColWidths(0, 203);
  vl->SetColWidths(1, 297);
  vl->SetTabOrder(2);
  vl->SetAlign(alClient);
  const AnsiString text = WriteComponentToText(vl.get());
  std::unique_ptr<TValueListEditor> copy(new TValueListEditor(nullptr));
  ReadComponentFromText(text, copy.get());
  EXPECT_EQ(copy->ColWidths(0), 203) << text;
  EXPECT_EQ(copy->ColWidths(1), 297);
  EXPECT_EQ(copy->Align(), alClient);  // and the usual control properties
  // one width leaves the other; a third is an error that names its line
  ReadComponentFromText("object List1: TValueListEditor\n  ColWidths = (\n    90)\nend\n", copy.get());
  EXPECT_EQ(copy->ColWidths(0), 90);
  EXPECT_EQ(copy->ColWidths(1), 297);
  EXPECT_THROW(ReadComponentFromText("object List1: TValueListEditor\n  ColWidths = (\n    1\n    2\n    3)\nend\n",
                                     copy.get()),
               EReadError);
}

// The items are drawn in the font's colour, also after the font changes.
TEST_F(TreeWrapperTest, ItemsAreDrawnInTheFontColour) {
  tree->Items()->Add(nullptr, "WWWW");
  tree->Selected() ? tree->Selected()->SetSelected(false) : void();
  // Pixels of the label whose strongest channel is Channel (0 red, 1 green,
  // 2 blue; 3 dark grey or black), counted with the anti-aliasing.
  auto pixelsOf = [&](int Channel) {
    InvalidateRect(tree->Handle(), nullptr, TRUE);
    UpdateWindow(tree->Handle());
    const TRect r = tree->Items()->GetFirstNode()->DisplayRect(true);
    HDC dc = GetDC(tree->Handle());
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        const COLORREF c = GetPixel(dc, x, y);
        const int v[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
        if (Channel == 3) n += v[0] < 80 && v[1] < 80 && v[2] < 80;
        else n += v[Channel] > v[(Channel + 1) % 3] + 60 && v[Channel] > v[(Channel + 2) % 3] + 60;
      }
    ReleaseDC(tree->Handle(), dc);
    return n;
  };
  tree->Font()->SetColor(clGreen);
  EXPECT_GT(pixelsOf(1), 10);
  tree->Font()->SetColor(clWindowText);
  EXPECT_EQ(pixelsOf(1), 0);
  EXPECT_GT(pixelsOf(3), 10);
  tree->Font()->SetColor(clRed);
  tree->RecreateWnd();
  EXPECT_GT(pixelsOf(0), 10);
}

// The common controls keep their place, tab order and look through a description.
TEST_F(TreeWrapperTest, CommonControlsKeepTheirPlacementInDescriptions) {
  InitComCtrlsProps();
  tree->SetName("Tree1");
  tree->SetAlign(alLeft);
  tree->SetTabOrder(0);
  tree->SetTabStop(false);
  auto* pages = new TPageControl(panel.get());
  pages->SetName("Pages1");
  pages->SetParent(panel.get());
  pages->SetAnchors(TAnchors{akLeft, akTop, akRight});
  panel->SetName("Panel1");
  AnsiString text = WriteComponentToText(tree);
  EXPECT_NE(text.find("Align = alLeft"), AnsiString::npos) << text;
  EXPECT_NE(text.find("TabStop = False"), AnsiString::npos) << text;
  std::unique_ptr<TTreeView> copy(new TTreeView(nullptr));
  ReadComponentFromText(text, copy.get());
  EXPECT_EQ(copy->Align(), alLeft);
  EXPECT_FALSE(copy->TabStop());
  AnsiString pagesText = WriteComponentToText(pages);
  EXPECT_NE(pagesText.find("Anchors = [akLeft, akTop, akRight]"), AnsiString::npos) << pagesText;
}

}  // namespace
