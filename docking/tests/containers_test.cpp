// Containers: the tab container's pages, strip, scrolling and dissolving, and
// the side containers' sharing of their length among the items.
#include "docking/tests/docktest.h"

namespace {

class ContainerTest : public DockFormTest {
 protected:
  ContainerTest() {
    WithManager = false;
  }
  // Panels A, B (and more) as pages of one tab container filling the site.
  TkxTabContainerDockSite* Tabs(std::initializer_list<const char*> Names, int W = 200) {
    TkxDockPanel* First = nullptr;
    for (const char* N : Names) {
      TkxDockPanel* P = NewPanel(F, N, W, 150);
      if (!First) {
        P->DockTo(Site, dtClient, -1);
        First = P;
      } else {
        P->DockTo(First->TabContainer() ? static_cast<TkxCustomDockControl*>(First->TabContainer()) : First,
                  dtClient, -1);
      }
    }
    Pump();
    return First->TabContainer();
  }
};

TEST_F(ContainerTest, PagesShareTheAreaAndTheStripScrollsWhenTheyDoNotFit) {
  TkxTabContainerDockSite* T = Tabs({"A", "B", "C", "D", "E"});
  ASSERT_NE(T, nullptr);
  ASSERT_EQ(T->ChildCount(), 5);
  EXPECT_TRUE(T->HasTabs());
  EXPECT_EQ(T->ActiveChild(), Panel("E"));  // each page became active as it docked
  Panel("A")->Activate();
  EXPECT_EQ(T->ActiveChild(), Panel("A"));
  // Natural widths fit a 600-pixel strip: no buttons.
  EXPECT_FALSE(T->HasScrollButtons());
  // Long captions do not: the buttons show and the first one is disabled.
  for (const char* N : {"A", "B", "C", "D", "E"}) Panel(N)->SetCaption(AnsiString(N) + " a rather long page caption");
  T->NCChanged(true);
  Pump();
  ASSERT_TRUE(T->HasScrollButtons());
  EXPECT_FALSE(T->PrevButtonEnabled());
  EXPECT_TRUE(T->NextButtonEnabled());
  const int Last = T->GetLastVisibleTabIndex();
  EXPECT_LT(Last, 4);
  EXPECT_GE(Last, 0);
  EXPECT_EQ(T->TabRect(0).left, T->TabsRect().left + 4);
  // Holding the next button scrolls once per interval and once more on release.
  const TRect NB = T->NextButtonRect();
  const TPoint Win = WindowOrigin(T);
  const TPoint At(Win.x + (NB.left + NB.right) / 2, Win.y + (NB.top + NB.bottom) / 2);
  hb->MouseMove(At.x, At.y);
  hb->MouseDown(At.x, At.y);
  Pump();
  EXPECT_EQ(T->FirstVisibleTabIndex(), 0);
  Elapse(310);  // one interval of 300 ms
  EXPECT_EQ(T->FirstVisibleTabIndex(), 1);
  hb->MouseUp(At.x, At.y);
  Pump();
  EXPECT_EQ(T->FirstVisibleTabIndex(), 2);
  Elapse(400);  // released: no more steps
  EXPECT_EQ(T->FirstVisibleTabIndex(), 2);
  EXPECT_TRUE(T->PrevButtonEnabled());
  // Tabs before the first visible one lie left of the strip.
  EXPECT_LT(T->TabRect(1).right, T->TabsRect().left + 5);
  // Without scrolling every tab gets the same share of the strip.
  T->SetTabsScroll(false);
  Pump();
  EXPECT_EQ(T->FirstVisibleTabIndex(), 0);
  EXPECT_FALSE(T->HasScrollButtons());
  const int Share = (T->TabsRect().right - T->TabsRect().left - 8) / 5;
  for (int i = 0; i < 5; ++i) EXPECT_EQ(T->TabRect(i).right - T->TabRect(i).left, Share) << i;
}

TEST_F(ContainerTest, ClosingTheActivePageSelectsItsSuccessorThenItsPredecessor) {
  TkxTabContainerDockSite* T = Tabs({"A", "B", "C"});
  Panel("B")->Activate();
  ASSERT_EQ(T->ActiveChild(), Panel("B"));
  Panel("B")->DoClose();  // default options: hidden
  EXPECT_FALSE(Panel("B")->Visible());
  EXPECT_EQ(T->ActiveChild(), Panel("C"));
  Panel("C")->DoClose();
  EXPECT_EQ(T->ActiveChild(), Panel("A"));
  // One valid page left: no tabs, no border of the container; the page has its own caption.
  EXPECT_FALSE(T->HasTabs());
  EXPECT_FALSE(T->HasBorder());
  EXPECT_TRUE(Panel("A")->HasBorder());
  EXPECT_TRUE(Panel("A")->HasCaption());
  Panel("C")->SetVisible(true);
  EXPECT_TRUE(T->HasTabs());
  EXPECT_FALSE(Panel("A")->HasCaption());
}

TEST_F(ContainerTest, UndockingTheNextToLastPageDissolvesTheContainerIntoItsPlace) {
  TkxDockPanel* X = NewPanel(F, "X");
  TkxTabContainerDockSite* T = Tabs({"A", "B"});
  X->DockTo(T, dtLeft, -1);  // T now has a sibling in a side container
  TkxCustomDockControl* Parent = T->ParentDockControl();
  const int Index = T->DockIndex();
  const TkxDockingType Type = T->DockType();
  Panel("B")->UnDock();
  EXPECT_EQ(T->GetDockingState(), dcsDestroying);
  EXPECT_EQ(Panel("A")->ParentDockControl(), Parent);
  EXPECT_EQ(Panel("A")->DockIndex(), Index);
  EXPECT_EQ(Panel("A")->DockType(), Type);
  Pump();
}

TEST_F(ContainerTest, AFloatingTabContainerDroppedOnAnotherGivesItItsPagesInOrder) {
  TkxTabContainerDockSite* T = Tabs({"A", "B"});
  TkxDockPanel* P = NewPanel(F, "P");
  TkxDockPanel* Q = NewPanel(F, "Q");
  TkxDockPanel* R = NewPanel(F, "R");
  P->MakeFloating(50, 50);
  Q->DockTo(P, dtClient, -1);
  TkxTabContainerDockSite* Floating = P->TabContainer();
  ASSERT_NE(Floating, nullptr);
  R->DockTo(Floating, dtClient, -1);
  ASSERT_EQ(Floating->ChildCount(), 3);
  ASSERT_NE(Floating->FloatDockSite(), nullptr);
  Floating->DockTo(T, dtClient, -1);
  ASSERT_EQ(T->ChildCount(), 5);
  EXPECT_EQ(T->Children(2), P);
  EXPECT_EQ(T->Children(3), Q);
  EXPECT_EQ(T->Children(4), R);
  EXPECT_EQ(Floating->GetDockingState(), dcsDestroying);
  Pump();
  EXPECT_EQ(GetDockingController()->IndexOfDockControl(Floating), -1);
}

// A box that takes the focus back when it loses it: an editor that refuses.
class TStubbornBox : public TBox {
  PV_CLASS(TStubbornBox, TBox)
 public:
  using TBox::TBox;
  bool Refuse = true;

 protected:
  void DoExit() override {
    TBox::DoExit();
    if (Refuse) SetFocus();
  }
};

TEST_F(ContainerTest, APageWhoseEditorKeepsTheFocusStaysSelected) {
  TkxTabContainerDockSite* T = Tabs({"A", "B"});
  auto* Editor = new TStubbornBox(F);
  Editor->SetParent(Panel("A"));
  Editor->SetTabStop(true);
  Panel("A")->Activate();
  Editor->SetFocus();
  Pump();
  ASSERT_TRUE(Editor->Focused());
  T->SetActiveChild(Panel("B"));
  EXPECT_EQ(T->ActiveChild(), Panel("A"));
  // A press on B's tab is refused the same way and leaves no mouse capture behind.
  const TRect R = T->TabRect(1);
  const TPoint W = WindowOrigin(T);
  const TPoint TabB(W.x + (R.left + R.right) / 2, W.y + (R.top + R.bottom) / 2);
  hb->MouseMove(TabB.x, TabB.y);
  hb->MouseDown(TabB.x, TabB.y);
  Pump();
  EXPECT_EQ(T->ActiveChild(), Panel("A"));
  EXPECT_EQ(GetCapture(), nullptr);
  hb->MouseUp(TabB.x, TabB.y);
  Pump();
  Editor->Refuse = false;
  T->SetActiveChild(Panel("B"));
  EXPECT_EQ(T->ActiveChild(), Panel("B"));
}

// ---- side containers ----

class SideTest : public ContainerTest {
 protected:
  TkxHorizContainerDockSite* Side = nullptr;
  void SetUp() override {
    ContainerTest::SetUp();
    TkxDockPanel* A = NewPanel(F, "A", 200);
    TkxDockPanel* B = NewPanel(F, "B", 200);
    A->DockTo(Site, dtClient, -1);
    B->DockTo(A, dtRight, -1);
    Side = dynamic_cast<TkxHorizContainerDockSite*>(A->SideContainer());
    Pump();
  }
  void Keep(std::initializer_list<int> Widths) {
    int i = 0;
    for (int W : Widths) Side->Children(i++)->SetOriginalWidth(W);
  }
  std::vector<int> Widths() {
    std::vector<int> V;
    for (int i = 0; i < Side->ChildCount(); ++i) V.push_back(Side->Children(i)->Width());
    return V;
  }
};

TEST_F(SideTest, LengthIsSharedEvenlyAndTheRemainderGoesToTheFirstItem) {
  ASSERT_NE(Side, nullptr);
  ASSERT_EQ(Side->GetClientDimension(), 600);
  EXPECT_EQ(Side->Children(0), Panel("A"));
  Keep({200, 200});
  Side->AdjustChildrenBounds(nullptr);
  EXPECT_EQ(Widths(), (std::vector<int>{300, 300}));
  EXPECT_EQ(Panel("A")->Left(), 0);
  EXPECT_EQ(Panel("B")->Left(), 300);

  F->SetClientSize(601, 400);
  Pump();
  Keep({200, 200});
  Side->AdjustChildrenBounds(nullptr);
  EXPECT_EQ(Widths(), (std::vector<int>{301, 300}));
}

TEST_F(SideTest, ANewItemKeepsItsWidthAndTheOthersMakeRoom) {
  Keep({300, 300});
  Side->AdjustChildrenBounds(nullptr);
  TkxDockPanel* C = NewPanel(F, "C", 150);
  C->DockTo(Panel("B"), dtRight, -1);
  ASSERT_EQ(C->Container(), Side);
  EXPECT_EQ(Widths(), (std::vector<int>{225, 225, 150}));
  EXPECT_EQ(C->Left(), 450);
}

TEST_F(SideTest, ItemsStopAtTheirCaptionSize) {
  TkxDockPanel* C = NewPanel(F, "C", 150);
  C->DockTo(Panel("B"), dtRight, -1);
  EXPECT_EQ(Panel("A")->GetMinimizedWidth(), 52);
  F->SetClientSize(120, 400);
  Pump();
  for (int W : Widths()) EXPECT_EQ(W, 52);
}

TEST_F(SideTest, MaximizingShrinksTheOthersAndRestoringGivesTheirWidthsBack) {
  TkxDockPanel* C = NewPanel(F, "C", 150);
  C->DockTo(Panel("B"), dtRight, -1);
  const std::vector<int> Before = Widths();
  ASSERT_TRUE(Panel("B")->HasMaximizeButton());
  Panel("B")->DoMaximize();
  EXPECT_EQ(Side->ActiveChild(), Panel("B"));
  EXPECT_EQ(Panel("A")->Width(), 52);
  EXPECT_EQ(C->Width(), 52);
  EXPECT_EQ(Panel("B")->Width(), 600 - 104);
  Panel("B")->DoMaximize();
  EXPECT_EQ(Side->ActiveChild(), nullptr);
  EXPECT_EQ(Widths(), Before);
  // Dragging a splitter while an item is maximized keeps the current widths.
  Panel("B")->DoMaximize();
  ASSERT_TRUE(Side->CanResizeChild(Panel("A"), 10));
  Side->ResizeChild(Panel("A"), 10);
  EXPECT_EQ(Side->ActiveChild(), nullptr);
  EXPECT_EQ(Panel("A")->Width(), 62);
  EXPECT_EQ(Panel("B")->Width(), 600 - 104 - 10);
}

TEST_F(SideTest, ASingleVisibleItemFillsAndTheCaptionListsTheVisibleItems) {
  TkxDockPanel* C = NewPanel(F, "C", 150);
  C->DockTo(Panel("B"), dtRight, -1);
  Panel("B")->SetVisible(false);
  EXPECT_EQ(Side->Caption(), "A, C");
  C->SetVisible(false);
  EXPECT_EQ(Panel("A")->DockType(), dtClient);
  Pump();
  EXPECT_EQ(Panel("A")->Width(), 600);
}

}  // namespace
