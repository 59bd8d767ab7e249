// Panels and sites: the panel's rules for what docks onto it and what it
// builds, its single tab, parent assignment; the form-edge site's auto size;
// layout sites' zones, deletion and the refusal of ordinary children.
#include "docking/tests/docktest.h"
#include "platform/controls/stdctrls.h"

namespace {

class SiteTest : public DockFormTest {
 protected:
  SiteTest() {
    WithManager = false;
  }
};

TEST_F(SiteTest, ANewPanelAndItsSingleTab) {
  auto* P = NewObject<TkxDockPanel>(F);
  EXPECT_EQ(P->Width(), 185);
  EXPECT_EQ(P->Height(), 140);
  EXPECT_FALSE(P->ShowSingleTab());
  EXPECT_EQ(P->TabPosition(), tctpBottom);
  EXPECT_FALSE(P->HasTabs());
  P->SetName("P");
  TkxDockPanel* Q = NewPanel(F, "Q");
  P->DockTo(Site, dtClient, -1);
  Q->DockTo(P, dtClient, -1);
  P->SetShowSingleTab(true);
  EXPECT_FALSE(P->HasTabs());  // its tab container shows the tabs
  P->UnDock();
  P->DockTo(Site, dtLeft, -1);
  Pump();
  EXPECT_TRUE(P->HasTabs());
  // The tab strip takes the bottom of the frame; the tab starts 4 pixels in.
  EXPECT_EQ(P->TabsRect().bottom, P->Height() - 2);
  EXPECT_EQ(P->TabRect().left, P->TabsRect().left + 4);
  EXPECT_EQ(P->TabRect().top, P->TabsRect().top + 4);
  RECT Client;
  GetClientRect(P->Handle(), &Client);
  EXPECT_EQ(Client.bottom, P->TabsRect().top - 20);  // client starts below border 2, caption 16, separator 2
}

TEST_F(SiteTest, AssigningParentDocksOrFloats) {
  TkxDockPanel* A = NewPanel(F, "A");
  TkxDockPanel* B = NewPanel(F, "B");
  TkxDockPanel* C = NewPanel(F, "C");
  A->DockTo(Site, dtClient, -1);
  B->DockTo(A, dtClient, -1);
  TkxTabContainerDockSite* T = A->TabContainer();
  C->SetParent(T);
  EXPECT_EQ(C->TabContainer(), T);
  EXPECT_EQ(C->DockIndex(), 2);
  const TRect Before = C->ScreenWindowRect();
  (void)Before;
  // A control that is not a dock control: the panel floats where it is.
  auto* Box = new TBox(F);
  Box->SetParent(F);
  Box->SetBounds(10, 20, 100, 100);
  TkxDockPanel* D = NewPanel(F, "D");
  D->SetBounds(5, 6, 120, 90);
  D->SetParent(Box);
  ASSERT_NE(D->FloatDockSite(), nullptr);
  const TPoint O = Box->ClientOrigin();
  EXPECT_EQ(D->FloatForm()->Left(), O.x + 5);
  EXPECT_EQ(D->FloatForm()->Top(), O.y + 6);
}

TEST_F(SiteTest, PagesRefuseSideDropsAndSideItemsAcceptClientDropsByDefault) {
  TkxDockPanel* A = NewPanel(F, "A");
  TkxDockPanel* B = NewPanel(F, "B");
  TkxDockPanel* X = NewPanel(F, "X");
  A->DockTo(Site, dtClient, -1);
  B->DockTo(A, dtClient, -1);
  EXPECT_FALSE(A->CanDockHost(X, dtLeft));
  EXPECT_TRUE(A->CanDockHost(X, dtClient));
  TkxDockPanel* C = NewPanel(F, "C");
  TkxDockPanel* D = NewPanel(F, "D");
  C->DockTo(Site, dtLeft, -1);
  D->DockTo(C, dtBottom, -1);
  ASSERT_NE(C->SideContainer(), nullptr);
  EXPECT_TRUE(C->CanDockHost(X, dtClient));
  EXPECT_TRUE(C->CanDockHost(X, dtBottom));
  EXPECT_FALSE(C->CanDockHost(X, dtRight));
  EXPECT_FALSE(C->CanDockHost(X, dtNone));
}

TEST_F(SiteTest, DockControlsCannotGoInsideAPanelNorOrdinaryControlsInsideASite) {
  TkxDockPanel* A = NewPanel(F, "A");
  TkxDockPanel* B = NewPanel(F, "B");
  try {
    A->InsertComponent(B);
    FAIL() << "inserted";
  } catch (const Exception& E) {
    AnsiString Expected = kxDockingText(kxsCannotInsertIntoPanel);
    Expected.replace(Expected.find("%s"), 2, "TkxDockPanel");
    EXPECT_EQ(E.Message, Expected);
  }
  B->DockTo(Site, dtLeft, -1);
  TkxLayoutDockSite* L = B->LayoutDockSite();
  ASSERT_NE(L, nullptr);
  auto* Button = new TButton(F);
  try {
    L->InsertComponent(Button);
    FAIL() << "inserted";
  } catch (const Exception& E) {
    AnsiString Expected = kxDockingText(kxsCannotInsertIntoSite);
    Expected.replace(Expected.find("%s"), 2, "TButton");
    EXPECT_EQ(E.Message, Expected);
  }
  EXPECT_EQ(Button->Parent(), F);
  // A layout site is placed only by docking.
  EXPECT_THROW(L->SetParent(F), Exception);
}

TEST_F(SiteTest, DeletingALayoutSiteIsRefusedWhileItHoldsTheLayout) {
  TkxDockPanel* A = NewPanel(F, "A");
  TkxDockPanel* B = NewPanel(F, "B");
  A->DockTo(Site, dtLeft, -1);
  B->DockTo(Site, dtTop, -1);
  TkxLayoutDockSite* Outer = B->LayoutDockSite();
  ASSERT_NE(Outer, nullptr);
  ASSERT_EQ(Outer->ChildCount(), 2);
  try {
    Outer->Free();
    FAIL() << "freed";
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message, kxDockingText(kxsCannotDeleteLayoutSite));
  }
  EXPECT_EQ(B->LayoutDockSite(), Outer);
}

TEST_F(SiteTest, AutoSizeSitesHoldOneClientControlAndTakeItsSize) {
  auto* Edge = NewObject<TkxDockSite>(F);
  Edge->SetName("Edge");
  Edge->SetParent(F);
  Edge->SetAlign(alLeft);
  Edge->SetOriginalWidth(30);
  Edge->SetOriginalHeight(400);
  Edge->SetAutoSize(true);
  EXPECT_TRUE(Edge->AutoSize());
  EXPECT_EQ(Edge->Width(), 30);
  TkxDockPanel* A = NewPanel(F, "A", 160, 150);
  TkxDockPanel* B = NewPanel(F, "B");
  EXPECT_FALSE(Edge->CanDockHost(A, dtLeft));
  A->DockTo(Edge, dtClient, -1);
  EXPECT_EQ(Edge->GetAutoSizeClient(), A);
  EXPECT_EQ(Edge->Width(), 160);
  EXPECT_FALSE(Edge->CanDockHost(B, dtClient));
  EXPECT_TRUE(A->CanDockHost(B, dtClient));
  // It can be switched off, but not on again while the site holds a control.
  Edge->SetAutoSize(false);
  EXPECT_FALSE(Edge->AutoSize());
  Edge->SetAutoSize(true);
  EXPECT_FALSE(Edge->AutoSize());
  Site->SetAutoSize(true);  // a client-aligned site may switch, but keeps its alignment's size
  EXPECT_TRUE(Site->AutoSize());
  EXPECT_EQ(Site->Align(), alClient);
}

TEST_F(SiteTest, AnEmptyLayoutSiteUnderAClientControlOffersNoZones) {
  TkxDockPanel* A = NewPanel(F, "A");
  TkxDockPanel* X = NewPanel(F, "X");
  A->DockTo(Site, dtClient, -1);
  TkxLayoutDockSite* L = A->LayoutDockSite();
  ASSERT_NE(L, nullptr);
  for (TkxZone* Z : L->DockZones()) EXPECT_NE(Z->Owner(), L);
  // X over the site's middle finds the panel's client zone, not the empty site's.
  const TPoint Mid = ScreenOf(A, 100, 100);
  TkxZone* Z = A->GetDockZoneAtPos(X, Mid);
  ASSERT_NE(Z, nullptr);
  EXPECT_EQ(Z->Owner(), A);
  EXPECT_EQ(Z->DockType(), dtClient);
}

}  // namespace
