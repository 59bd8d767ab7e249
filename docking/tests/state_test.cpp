// Visibility, closing, auto-hide state, the containers made on demand, the
// original sizes and the stored dock position.
#include "docking/tests/docktest.h"

namespace {

using StateTest = DockFormTest;

TEST_F(StateTest, ClosingHidesUndocksOrFreesAsTheOptionsSay) {
  TkxDockPanel* A = NewPanel(F, "A");
  A->DockTo(Site, dtLeft, -1);
  A->DoClose();
  EXPECT_FALSE(A->Visible());
  EXPECT_EQ(A->ParentDockControl(), Site);
  A->SetVisible(true);
  M->SetOptions(M->Options() + TkxDockingOptions{doUndockOnClose});
  A->DoClose();
  EXPECT_TRUE(A->Visible());
  EXPECT_EQ(A->GetDockingState(), dcsUnattached);
  // A close query that says no keeps everything.
  struct Veto : TObject {
    void Query(TkxCustomDockControl*, bool& CanClose) { CanClose = false; }
  } V;
  A->DockTo(Site, dtLeft, -1);
  A->OnCloseQuery = TkxDockControlCloseQueryEvent(&V, &Veto::Query);
  A->DoClose();
  EXPECT_EQ(A->ParentDockControl(), Site);
  A->OnCloseQuery = nullptr;
}

TEST_F(StateTest, HidingAnAutoHiddenPanelTakesItOffItsBarAndShowingPutsItBack) {
  TkxDockPanel* A = NewPanel(F, "A");
  A->DockTo(Site, dtLeft, -1);
  A->SetAutoHide(true);
  ASSERT_TRUE(A->AutoHide());
  TkxDockSiteHideBar* Bar = Site->GetHideBarByPosition(ahpLeft);
  EXPECT_TRUE(Bar->Contains(A));
  // Pinning with the default options leaves it slid out until the pointer leaves.
  EXPECT_EQ(Site->ShowingControl(), A);
  EXPECT_TRUE(A->Visible());
  A->SetVisible(false);
  EXPECT_FALSE(A->AutoHide());
  EXPECT_TRUE(A->StoredAutoHide());
  EXPECT_FALSE(Bar->Contains(A));
  EXPECT_EQ(A->Parent(), A->ParentDockControl());  // back in its docked place, hidden
  EXPECT_FALSE(A->Visible());
  A->SetVisible(true);
  EXPECT_TRUE(A->AutoHide());
  EXPECT_FALSE(A->StoredAutoHide());
  EXPECT_TRUE(Bar->Contains(A));
  EXPECT_EQ(Site->ShowingControl(), A);
  // With doImmediatelyHideOnAutoHide it goes at once.
  A->SetAutoHide(false);
  M->SetOptions(M->Options() + TkxDockingOptions{doImmediatelyHideOnAutoHide});
  A->SetAutoHide(true);
  EXPECT_EQ(Site->ShowingControl(), nullptr);
  EXPECT_FALSE(A->Visible());
}

TEST_F(StateTest, AClientControlGoesToTheNearerEdgeAcrossItsShorterSide) {
  TkxDockPanel* A = NewPanel(F, "A", 200, 100);
  TkxDockPanel* B = NewPanel(F, "B", 400, 260);
  A->DockTo(Site, dtClient, -1);
  B->DockTo(A, dtBottom, -1);  // A keeps the upper part: wide, near the top
  Pump();
  ASSERT_GT(A->Width(), A->Height());
  EXPECT_EQ(A->GetControlAutoHidePosition(A), ahpTop);
  // A tall one near the left edge goes left, near the right edge right.
  TkxDockPanel* C = NewPanel(F, "C", 150, 300);
  C->DockTo(Site, dtRight, -1);
  Pump();
  EXPECT_EQ(C->GetAutoHidePosition(), ahpRight);
  // Side containers and tab containers answer for their items.
  struct Force : TObject {
    void Pos(TkxCustomDockControl*, TkxAutoHidePosition& P) { P = ahpBottom; }
  } Fc;
  C->OnGetAutoHidePosition = TkxGetAutoHidePositionEvent(&Fc, &Force::Pos);
  EXPECT_EQ(C->GetAutoHidePosition(), ahpBottom);
  C->OnGetAutoHidePosition = nullptr;
}

TEST_F(StateTest, ContainersMadeOnDemandTakeThePlaceOfTheControl) {
  TkxDockPanel* A = NewPanel(F, "A", 180, 120);
  TkxDockPanel* B = NewPanel(F, "B");
  TkxDockPanel* C = NewPanel(F, "C");
  A->DockTo(Site, dtLeft, -1);
  A->SetOriginalWidth(180);
  A->CreateTabContainerLayout(B, 0);
  TkxTabContainerDockSite* T = A->TabContainer();
  ASSERT_NE(T, nullptr);
  EXPECT_EQ(T->ParentDockControl(), Site);
  EXPECT_EQ(T->DockIndex(), 1);
  EXPECT_EQ(T->DockType(), dtLeft);
  EXPECT_EQ(T->OriginalWidth(), 180);
  EXPECT_EQ(T->Children(0), B);  // B went in at index 0, before A
  EXPECT_EQ(T->Children(1), A);
  // A side container for dtBottom puts the new control last, for dtTop first.
  C->DockTo(Site, dtTop, -1);
  TkxDockPanel* D = NewPanel(F, "D");
  C->CreateSideContainerLayout(D, dtBottom, -1);
  auto* V = dynamic_cast<TkxVertContainerDockSite*>(C->Container());
  ASSERT_NE(V, nullptr);
  EXPECT_EQ(V->Children(0), C);
  EXPECT_EQ(V->Children(1), D);
  TkxDockPanel* E = NewPanel(F, "E");
  TkxDockPanel* G = NewPanel(F, "G");
  E->DockTo(Site, dtRight, -1);
  E->CreateSideContainerLayout(G, dtTop, -1);
  ASSERT_NE(E->Container(), nullptr);
  EXPECT_EQ(E->Container()->Children(0), G);
  EXPECT_EQ(E->Container()->Children(1), E);
  // dtClient makes no side container.
  TkxDockPanel* H = NewPanel(F, "H");
  EXPECT_THROW(E->CreateSideContainerLayout(H, dtClient, -1), EAssertionFailed);
}

TEST_F(StateTest, ResizingRecordsOnlyTheDimensionAcrossTheDockSide) {
  TkxDockPanel* A = NewPanel(F, "A", 150, 120);
  TkxDockPanel* B = NewPanel(F, "B", 150, 120);
  A->DockTo(Site, dtLeft, -1);
  B->DockTo(A->LayoutDockSite(), dtClient, -1);
  Pump();
  A->SetWidth(170);
  EXPECT_EQ(A->OriginalWidth(), 170);
  EXPECT_EQ(A->OriginalHeight(), 120);
  const int W = B->OriginalWidth(), H = B->OriginalHeight();
  Site->SetWidth(Site->Width() - 40);
  Pump();
  EXPECT_EQ(B->OriginalWidth(), W);
  EXPECT_EQ(B->OriginalHeight(), H);
}

TEST_F(StateTest, RestoringTheDockPositionFallsBackToTheSiblings) {
  TkxDockPanel* A = NewPanel(F, "A");
  TkxDockPanel* B = NewPanel(F, "B");
  TkxDockPanel* C = NewPanel(F, "C");
  A->DockTo(Site, dtClient, -1);
  B->DockTo(A, dtClient, -1);
  C->DockTo(B, dtClient, -1);
  TkxTabContainerDockSite* T = A->TabContainer();
  ASSERT_EQ(T->ChildCount(), 3);
  B->MakeFloating(300, 300);
  ASSERT_EQ(B->GetDockingState(), dcsFloating);
  EXPECT_EQ(B->StoredPosition().DockParent, T);
  EXPECT_EQ(B->StoredPosition().SiblingBefore, A);
  EXPECT_EQ(B->StoredPosition().SiblingAfter, C);
  EXPECT_EQ(B->StoredPosition().DockIndex, 1);
  // The container is hidden: the previous sibling takes B back.
  T->SetVisible(false);
  B->FloatDockSite()->RestoreDockPosition(TPoint(0, 0));
  EXPECT_EQ(B->TabContainer(), T);
  EXPECT_EQ(B->DockIndex(), 1);
  EXPECT_EQ(B->StoredPosition().DockParent, nullptr);  // used up
  T->SetVisible(true);
  // Nothing accepts: nothing happens.
  B->MakeFloating(300, 300);
  A->SetVisible(false);
  C->SetVisible(false);
  T->SetVisible(false);
  B->FloatDockSite()->RestoreDockPosition(TPoint(0, 0));
  EXPECT_EQ(B->GetDockingState(), dcsFloating);
}

}  // namespace
