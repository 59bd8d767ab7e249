// Dock zones and resize zones: which controls offer which, how thick they are
// at each level, where they lie, and what docking or resizing through them does.
#include "docking/tests/docktest.h"

namespace {

class ZoneTest : public DockFormTest {
 protected:
  // The zone of AControl's list owned by Owner with the given dock type.
  static TkxZone* ZoneOf(TkxCustomDockControl* AControl, TkxCustomDockControl* Owner, TkxDockingType T,
                         bool Resize = false) {
    for (TkxZone* Z : Resize ? AControl->ResizeZones() : AControl->DockZones())
      if (Z->Owner() == Owner && Z->DockType() == T) return Z;
    return nullptr;
  }
};

TEST_F(ZoneTest, OuterLevelsAreThinnerAndSharedEdgesAreOfferedOnce) {
  TkxDockPanel* A = NewPanel(F, "A");
  TkxDockPanel* P = NewPanel(F, "P");
  A->DockTo(Site, dtLeft, -1);
  TkxLayoutDockSite* L = A->LayoutDockSite();
  P->DockTo(L, dtLeft, -1);
  ASSERT_EQ(P->DockLevel(), 3);
  TkxCustomDockControl* Mid = P->ParentDockControl();
  ASSERT_NE(ZoneOf(P, P, dtRight), nullptr);
  EXPECT_EQ(ZoneOf(P, P, dtRight)->Width(), 20);
  ASSERT_NE(ZoneOf(P, Mid, dtBottom), nullptr);
  EXPECT_EQ(ZoneOf(P, Mid, dtBottom)->Width(), 14);
  ASSERT_NE(ZoneOf(P, Site, dtBottom), nullptr);
  EXPECT_EQ(ZoneOf(P, Site, dtBottom)->Width(), 8);
  // P is as tall as its parent: the parent's left zone is not offered again.
  EXPECT_EQ(P->Height(), Mid->Height());
  EXPECT_NE(ZoneOf(P, P, dtLeft), nullptr);
  EXPECT_EQ(ZoneOf(P, Mid, dtLeft), nullptr);
  // The list starts with the outermost zones: they win where zones overlap.
  EXPECT_EQ(P->DockZones().front()->Owner(), Site);
  // A width of 0 falls back to 20 pixels everywhere.
  M->SetDockZonesWidth(0);
  for (TkxZone* Z : P->DockZones()) EXPECT_EQ(Z->Width(), 20);
}

TEST_F(ZoneTest, CaptionAreaOptionMovesTheTopZoneBelowTheCaption) {
  TkxDockPanel* A = NewPanel(F, "A", 200, 200);
  TkxDockPanel* X = NewPanel(F, "X");
  A->DockTo(Site, dtLeft, -1);
  Pump();
  EXPECT_EQ(ZoneOf(A, A, dtTop)->GetRectangle().top, 0);
  M->SetOptions(M->Options() + TkxDockingOptions{doUseCaptionAreaToClientDocking});
  Pump();
  TkxZone* Top = ZoneOf(A, A, dtTop);
  ASSERT_NE(Top, nullptr);
  EXPECT_EQ(Top->GetRectangle().top, 18);
  TkxZone* Client = ZoneOf(A, A, dtClient);
  ASSERT_NE(Client, nullptr);
  EXPECT_STREQ(Client->ClassName().c_str(), "TkxDockPanelCaptionClientZone");
  const TPoint OnCaption = ScreenOf(A, 40, -10);
  EXPECT_TRUE(Client->IsZonePoint(OnCaption));
  EXPECT_FALSE(Client->IsZonePoint(ScreenOf(A, 40, 80)));
  EXPECT_EQ(A->GetDockZoneAtPos(X, OnCaption), Client);
}

TEST_F(ZoneTest, ResizeZonesLieOnTheFreeEdgeAndRespectTheLimits) {
  TkxDockPanel* A = NewPanel(F, "A", 150, 150);
  TkxDockPanel* C = NewPanel(F, "C");
  A->DockTo(Site, dtLeft, -1);
  EXPECT_FALSE(Site->CanDockHost(C, dtClient));  // the site is not empty any more
  C->DockTo(A->LayoutDockSite(), dtClient, -1);
  Pump();
  EXPECT_NE(ZoneOf(A, A, dtRight, true), nullptr);
  EXPECT_EQ(ZoneOf(A, A, dtLeft, true), nullptr);
  for (TkxZone* Z : C->ResizeZones()) EXPECT_NE(Z->Owner(), C);
  TkxZone* R = ZoneOf(A, A, dtRight, true);
  EXPECT_EQ(R->Width(), 3);
  EXPECT_EQ(R->Direction(), 1);
  A->Constraints()->SetMaxWidth(200);
  const TPoint S(500, 100);
  EXPECT_FALSE(R->CanResize(S, TPoint(S.x + 50, S.y)));  // 200 is the limit itself
  EXPECT_TRUE(R->CanResize(S, TPoint(S.x + 49, S.y)));
  EXPECT_FALSE(R->CanResize(S, TPoint(S.x - 150, S.y)));  // nothing left
  R->DoResize(S, TPoint(S.x + 20, S.y));
  EXPECT_EQ(A->Width(), 170);
  // A refusing handler stops the size too.
  struct No : TObject {
    void Can(TkxCustomDockControl*, int, int, bool& Resize) { Resize = false; }
  } N;
  A->OnCanResize = TkxCanResizeEvent(&N, &No::Can);
  EXPECT_FALSE(R->CanResize(S, TPoint(S.x + 10, S.y)));
  A->OnCanResize = nullptr;
}

TEST_F(ZoneTest, DroppingOnATabDocksAtThatTabsIndex) {
  TkxDockPanel* A = NewPanel(F, "A");
  TkxDockPanel* B = NewPanel(F, "B");
  TkxDockPanel* C = NewPanel(F, "C");
  TkxDockPanel* X = NewPanel(F, "X");
  A->DockTo(Site, dtClient, -1);
  B->DockTo(A, dtClient, -1);
  C->DockTo(B, dtClient, -1);
  TkxTabContainerDockSite* T = A->TabContainer();
  Pump();
  const TRect Tab1 = T->TabRect(1);
  const TPoint W = WindowOrigin(T);
  const TPoint OnTab(W.x + (Tab1.left + Tab1.right) / 2, W.y + (Tab1.top + Tab1.bottom) / 2);
  TkxZone* Z = T->GetDockZoneAtPos(X, OnTab);
  ASSERT_NE(Z, nullptr);
  EXPECT_STREQ(Z->ClassName().c_str(), "TkxTabContainerTabZone");
  EXPECT_EQ(Z->DockIndex(), 1);
  Z->DoDock(X);
  EXPECT_EQ(X->TabContainer(), T);
  EXPECT_EQ(X->DockIndex(), 1);
  EXPECT_EQ(X->DockType(), dtClient);
}

TEST_F(ZoneTest, AnInvisibleClientZoneDocksIntoTheSiteWhoseChildrenAreHidden) {
  TkxDockPanel* A = NewPanel(F, "A");
  TkxDockPanel* X = NewPanel(F, "X");
  A->DockTo(Site, dtLeft, -1);
  A->SetVisible(false);
  Pump();
  ASSERT_EQ(Site->ChildCount(), 2);
  TkxZone* Z = ZoneOf(Site, Site, dtClient);
  ASSERT_NE(Z, nullptr);
  EXPECT_STREQ(Z->ClassName().c_str(), "TkxInvisibleClientZone");
  EXPECT_TRUE(Z->CanDock(X));
  Z->DoDock(X);
  EXPECT_NE(X->ParentDockControl(), nullptr);
  EXPECT_EQ(X->TopMostDockControl(), Site);
}

}  // namespace
