// Auto-hide bars: a control slides out of its bar when pointed at for a
// moment or clicked, slides back after the pointer leaves unless it holds the
// focus, and a tab container's bar button picks the page under the pointer.
#include "docking/tests/docktest.h"

namespace {

class AutoHideTest : public DockFormTest {
 protected:
  AutoHideTest() {
    FormW = 700, FormH = 520, ClientW = 640, ClientH = 480;
  }
  void SetUp() override {
    DockFormTest::SetUp();
    M->SetOptions(M->Options() + TkxDockingOptions{doImmediatelyHideOnAutoHide});
  }
  void TearDown() override {
    if (Site) Site->OnShowControl = Site->OnHideControl = nullptr;
    DockTest::TearDown();
  }
  // A panel docked at a side of the site and put on that side's bar.
  TkxDockPanel* Hidden(const char* Name, TkxDockingType Side, int W = 300, int H = 200) {
    TkxDockPanel* P = NewPanel(F, Name, W, H);
    P->DockTo(Site, Side, -1);
    P->SetAutoHide(true);
    Pump();
    return P;
  }
  // The middle of a bar button, on the screen.
  TPoint ButtonPoint(TkxAutoHidePosition Pos, int Index) {
    const TRect R = Site->GetHideBarByPosition(Pos)->ButtonRects()[std::size_t(Index)];
    const TPoint W = WindowOrigin(Site);
    return TPoint(W.x + (R.left + R.right) / 2, W.y + (R.top + R.bottom) / 2);
  }
  void MoveTo(const TPoint& P) {
    hb->MouseMove(P.x, P.y);
    Pump();
  }
  // A point of the site's client area clear of every bar and of slid-out controls.
  TPoint Away() { return ScreenOf(Site, Site->ClientWidth() - 20, Site->ClientHeight() / 2); }
};

struct ShowHideLog : TObject {
  std::vector<std::string> Events;
  void Shown(TkxDockSite*, TkxCustomDockControl* C) { Events.push_back("show " + std::string(C->Name().c_str())); }
  void Hidden(TkxDockSite*, TkxCustomDockControl* C) { Events.push_back("hide " + std::string(C->Name().c_str())); }
};

TEST_F(AutoHideTest, PointingAtAButtonSlidesTheControlOutInStepsAndItSlidesBackAfterThePointerLeaves) {
  TkxDockPanel* P = Hidden("P", dtLeft);
  ShowHideLog Log;
  Site->OnShowControl = TkxAutoHideControlEvent(&Log, &ShowHideLog::Shown);
  Site->OnHideControl = TkxAutoHideControlEvent(&Log, &ShowHideLog::Hidden);
  ASSERT_EQ(Site->ShowingControl(), nullptr);
  ASSERT_FALSE(P->Visible());

  // A short visit shows nothing: the pointer is elsewhere when the show timer fires.
  MoveTo(ButtonPoint(ahpLeft, 0));
  EXPECT_EQ(Site->HotControl(), P);
  Elapse(200);
  MoveTo(Away());
  Elapse(400);
  EXPECT_EQ(Site->ShowingControl(), nullptr);
  EXPECT_TRUE(Log.Events.empty());

  // Staying for the show interval starts the slide; 300 pixels take 15 steps of 20.
  MoveTo(ButtonPoint(ahpLeft, 0));
  Elapse(290);
  EXPECT_EQ(Site->MovingControl(), nullptr);
  // Window timers tick no faster than every 10 ms, whatever the interval asks.
  std::vector<int> Widths;
  for (int i = 0; i < 100 && Site->ShowingControl() != P; ++i) {
    hb->AdvanceClock(10);
    Pump();
    if (P->AutoHideContainer()->Visible()) Widths.push_back(P->AutoHideContainer()->Width());
  }
  ASSERT_EQ(Site->ShowingControl(), P);
  ASSERT_EQ(Widths.size(), 15u);
  for (std::size_t i = 0; i < Widths.size(); ++i) EXPECT_EQ(Widths[i], int(i + 1) * 20) << i;
  EXPECT_TRUE(P->Visible());
  // The container lies over the site's client area at its left edge, P at full width inside.
  const TPoint C0 = Site->ClientToScreen(TPoint(0, 0));
  const TPoint K0 = P->AutoHideContainer()->ClientToScreen(TPoint(0, 0));
  EXPECT_EQ(K0.x, C0.x);
  EXPECT_EQ(K0.y, C0.y);
  EXPECT_EQ(P->AutoHideContainer()->Height(), Site->ClientHeight());
  EXPECT_EQ(P->Width(), 300);
  EXPECT_EQ(Log.Events, (std::vector<std::string>{"show P"}));

  // The pointer over the control keeps it out; leaving it slides it back.
  MoveTo(ScreenOf(P, 100, 100));
  Elapse(1200);
  EXPECT_EQ(Site->ShowingControl(), P);
  MoveTo(Away());
  Elapse(1200);
  EXPECT_EQ(Site->ShowingControl(), nullptr);
  EXPECT_FALSE(P->Visible());
  EXPECT_FALSE(P->AutoHideContainer()->Visible());
  EXPECT_EQ(Log.Events, (std::vector<std::string>{"show P", "hide P"}));
}

TEST_F(AutoHideTest, AClickedControlHoldsTheFocusAndStaysOutUnlessTheOptionSaysOtherwise) {
  TkxDockPanel* P = Hidden("P", dtBottom, 300, 180);
  for (bool HideIfActive : {false, true}) {
    SCOPED_TRACE(HideIfActive ? "doHideAutoHideIfActive" : "default options");
    if (HideIfActive) M->SetOptions(M->Options() + TkxDockingOptions{doHideAutoHideIfActive});
    const TPoint B = ButtonPoint(ahpBottom, 0);
    MoveTo(B);
    hb->MouseDown(B.x, B.y);
    hb->MouseUp(B.x, B.y);
    Pump();
    EXPECT_EQ(GetDockingController()->ActiveDockControl(), P);
    EXPECT_EQ(Site->MovingControl(), P);
    Elapse(200);
    EXPECT_EQ(Site->ShowingControl(), P);
    // Slid out at full height over the bottom of the client area.
    EXPECT_EQ(P->AutoHideContainer()->Height(), 180);
    EXPECT_EQ(P->AutoHideContainer()->ClientToScreen(TPoint(0, 180)).y,
              Site->ClientToScreen(TPoint(0, Site->ClientHeight())).y);
    MoveTo(Away());
    Elapse(1500);
    if (HideIfActive) {
      EXPECT_EQ(Site->ShowingControl(), nullptr);
      EXPECT_EQ(GetDockingController()->ActiveDockControl(), nullptr);
    } else {
      EXPECT_EQ(Site->ShowingControl(), P);
      // Another control taking the focus lets it go.
      TkxDockPanel* Q = NewPanel(F, "Q");
      Q->DockTo(Site, dtClient, -1);
      Q->Activate();
      Elapse(1500);
      EXPECT_EQ(Site->ShowingControl(), nullptr);
    }
    hb->AdvanceClock(1000);  // the next press is no double click
  }
}

TEST_F(AutoHideTest, ButtonsStartAfterTheSpacingAndBelowAnOccupiedTopBar) {
  TkxDockPanel* L = Hidden("L", dtLeft, 200);
  TkxDockPanel* L2 = Hidden("L2", dtLeft, 200);
  TkxDockSiteHideBar* Left = Site->GetHideBarByPosition(ahpLeft);
  TkxDockControlPainter* Pt = Site->Painter();
  const int Spacing = Pt->HideBarButtonSpacing(), Indent = Pt->HideBarButtonIndent();
  ASSERT_EQ(Left->ButtonRects().size(), 2u);
  const TRect Bar = Left->Bounds();
  EXPECT_EQ(Bar.right - Bar.left, Pt->HideBarWidth());
  const TRect B0 = Left->ButtonRects()[0], B1 = Left->ButtonRects()[1];
  EXPECT_EQ(B0.top, Bar.top + Spacing);
  EXPECT_EQ(B0.left, Bar.left + Indent);
  EXPECT_EQ(B0.right, Bar.right - Indent);
  EXPECT_EQ(B1.top, B0.bottom + Spacing);
  // Along a vertical bar without images: spacing, caption, spacing, spacing.
  Site->Canvas()->Font()->Assign(Site->Font());
  const int Text = Site->Canvas()->TextWidth(L->Caption());
  EXPECT_EQ(B0.bottom - B0.top, 3 * Spacing + Text);
  // The site's client area gives up the bar's thickness.
  EXPECT_EQ(Site->ClientToScreen(TPoint(0, 0)).x - WindowOrigin(Site).x, Pt->HideBarWidth());
  // A control on the top bar pushes the left bar's buttons below it.
  Hidden("T", dtTop, 200, 120);
  const TRect B0b = Left->ButtonRects()[0];
  EXPECT_EQ(B0b.top, Left->Bounds().top + Pt->HideBarHeight() + Spacing);
  // The top bar's own button starts after the left bar's width.
  TkxDockSiteHideBar* Top = Site->GetHideBarByPosition(ahpTop);
  EXPECT_EQ(Top->ButtonRects()[0].left, Top->Bounds().left + Pt->HideBarWidth() + Spacing);
  // Taking the controls off empties the bars and gives the room back.
  L->SetAutoHide(false);
  L2->SetAutoHide(false);
  EXPECT_FALSE(Left->Visible());
  EXPECT_EQ(Left->Bounds().right, Left->Bounds().left);
  EXPECT_EQ(Site->ClientToScreen(TPoint(0, 0)).x, WindowOrigin(Site).x);
}

TEST_F(AutoHideTest, PointingAtAnInactivePageOfATabContainersButtonSwitchesThePageAndShowsIt) {
  TkxDockPanel* A = NewPanel(F, "A", 300, 160);
  TkxDockPanel* B = NewPanel(F, "B", 300, 160);
  TkxDockPanel* C = NewPanel(F, "C", 300, 160);
  A->DockTo(Site, dtBottom, -1);
  B->DockTo(A, dtClient, -1);
  C->DockTo(A->TabContainer(), dtClient, -1);
  TkxTabContainerDockSite* T = A->TabContainer();
  ASSERT_NE(T, nullptr);
  A->Activate();
  T->SetAutoHide(true);
  Pump();
  ASSERT_EQ(T->ActiveChild(), A);
  TkxDockSiteHideBar* Bar = Site->GetHideBarByPosition(ahpBottom);
  ASSERT_TRUE(Bar->Contains(T));
  // Pages after the active one take cells from the right end: C last, B before it.
  const int Cell = 2 * Site->Painter()->HideBarButtonSpacing() + Site->Painter()->GetDefaultImageWidth();
  const TRect R = Bar->ButtonRects()[0];
  const TPoint W = WindowOrigin(Site);
  const TPoint OnB(W.x + R.right - Cell - Cell / 2, W.y + (R.top + R.bottom) / 2);
  TkxCustomDockControl* Sub = nullptr;
  EXPECT_EQ(Site->GetHideBarControlAtPos(Site->ScreenToClient(OnB), Sub), T);
  EXPECT_EQ(Sub, B);
  MoveTo(OnB);
  Elapse(400);
  EXPECT_EQ(T->ActiveChild(), B);
  EXPECT_TRUE(Site->ShowingControl() == T || Site->MovingControl() == T);
}

}  // namespace
