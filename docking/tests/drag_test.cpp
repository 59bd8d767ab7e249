// Docking by dragging with the mouse: a panel dragged by its caption into
// every kind of zone, the floating frame, Ctrl and Esc, resizing by an edge,
// switching pages by their tabs, and docking back with a double click.
#include "docking/tests/docktest.h"

namespace {

class DragTest : public DockFormTest {
 protected:
  DragTest() {
    FormW = 700, FormH = 520, ClientW = 640, ClientH = 480;
  }
  // The middle of a control's caption text area (clear of the buttons), on the screen.
  TPoint CaptionPoint(TkxCustomDockControl* C) {
    const TRect R = C->CaptionTextRect();
    const TPoint W = WindowOrigin(C);
    return TPoint(W.x + (R.left + R.right) / 2, W.y + (R.top + R.bottom) / 2);
  }
  // Moves the mouse and lets the move arrive (waiting moves are merged, as on the desktop).
  void MoveTo(int X, int Y) {
    hb->MouseMove(X, Y);
    Pump();
  }
  // Presses at From, leaves the caption in small steps and releases at To.
  void DragTo(const TPoint& From, const TPoint& To, int Steps = 6) {
    MoveTo(From.x, From.y);
    hb->MouseDown(From.x, From.y);
    Pump();
    for (int i = 1; i <= Steps; ++i) MoveTo(From.x + (To.x - From.x) * i / Steps, From.y + (To.y - From.y) * i / Steps);
    hb->MouseUp(To.x, To.y);
    Pump();
  }
  // Panel A filling the site and panel X docked at its left.
  std::pair<TkxDockPanel*, TkxDockPanel*> AFillingAndXAtLeft() {
    TkxDockPanel* A = NewPanel(F, "A", 300, 200);
    TkxDockPanel* X = NewPanel(F, "X", 150, 120);
    A->DockTo(Site, dtClient, -1);
    X->DockTo(Site, dtLeft, -1);
    Pump();
    return {A, X};
  }
  std::vector<std::uint32_t> Screen() { return hb->ComposeScreen(RECT{0, 0, 1920, 1080}); }
};

TEST_F(DragTest, ACaptionDragDocksIntoEveryKindOfZone) {
  // A: client of the site; B: docked at the site's left. Each case drags X there.
  TkxDockPanel* A = NewPanel(F, "A", 300, 200);
  TkxDockPanel* B = NewPanel(F, "B", 160, 200);
  A->DockTo(Site, dtClient, -1);
  B->DockTo(Site, dtLeft, -1);
  TkxDockPanel* X = NewPanel(F, "X", 150, 120);
  struct TCase {
    const char* Name;
    std::function<TPoint()> Where;
    std::function<void()> Check;
  };
  const TCase Cases[] = {
      {"panel client: a tab container",
       [&] { return ScreenOf(A, A->ClientWidth() / 2, A->ClientHeight() / 2); },
       [&] {
         ASSERT_NE(X->TabContainer(), nullptr);
         EXPECT_EQ(X->TabContainer(), A->TabContainer());
       }},
      {"panel right edge: a horizontal side container",
       [&] { return ScreenOf(B, B->ClientWidth() - 3, B->ClientHeight() / 2); },
       [&] {
         ASSERT_NE(dynamic_cast<TkxHorizContainerDockSite*>(X->Container()), nullptr);
         EXPECT_EQ(X->Container(), B->Container());
         EXPECT_EQ(X->DockIndex(), 1);
       }},
      {"panel top edge: a vertical side container",
       [&] { return ScreenOf(A, A->ClientWidth() / 2, -10); },  // the caption lies in the top zone
       [&] {
         ASSERT_NE(dynamic_cast<TkxVertContainerDockSite*>(X->Container()), nullptr);
         EXPECT_EQ(X->Container(), A->Container());
         EXPECT_EQ(X->DockIndex(), 0);
       }},
      {"site top edge",
       [&] {
         const TRect R = Site->ScreenWindowRect();
         return TPoint((R.left + R.right) / 2, R.top + 3);
       },
       [&] {
         EXPECT_EQ(X->ParentDockControl(), Site);
         EXPECT_EQ(X->DockType(), dtTop);
       }},
      {"site left edge",
       [&] {
         const TRect R = Site->ScreenWindowRect();
         return TPoint(R.left + 3, (R.top + R.bottom) / 2);
       },
       [&] {
         EXPECT_EQ(X->ParentDockControl(), Site);
         EXPECT_EQ(X->DockType(), dtLeft);
       }},
      {"nowhere: floats at the drop point",
       [&] { return TPoint(1300, 600); },
       [&] {
         ASSERT_NE(X->FloatDockSite(), nullptr);
         EXPECT_EQ(X->GetDockingState(), dcsFloating);
         EXPECT_EQ(X->GetDockingState(), dcsFloating);
       }},
  };
  X->DockTo(Site, dtBottom, -1);
  Pump();
  const auto Clean = Screen();
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    // X starts each time docked at the site's bottom, away from the targets.
    X->UnDock();
    X->DockTo(Site, dtBottom, -1);
    Pump();
    ASSERT_TRUE(X->HasCaption());
    DragTo(CaptionPoint(X), C.Where());
    EXPECT_FALSE(GetDockingController()->IsDocking());
    C.Check();
  }
  // Back where it started, nothing of the frames is left on the screen.
  X->UnDock();
  for (TkxDockPanel* P : {A, B}) P->UnDock();
  A->DockTo(Site, dtClient, -1);
  B->DockTo(Site, dtLeft, -1);
  X->DockTo(Site, dtBottom, -1);
  Pump();
  MoveTo(5, 5);
  EXPECT_EQ(Screen(), Clean);
}

TEST_F(DragTest, TheFrameShowsWhileDraggingCtrlFloatsItAndEscLeavesTheLayoutAlone) {
  auto [A, X] = AFillingAndXAtLeft();
  const auto Clean = Screen();
  const TPoint From = CaptionPoint(X);
  const TPoint Over = ScreenOf(A, 100, 100);
  MoveTo(From.x, From.y);
  hb->MouseDown(From.x, From.y);
  MoveTo(From.x + 2, From.y);  // still on the caption: no drag yet
  EXPECT_FALSE(GetDockingController()->IsDocking());
  hb->MouseMove(From.x + 2, From.y + 40);  // off the caption: the drag starts
  Pump();
  ASSERT_TRUE(GetDockingController()->IsDocking());
  EXPECT_NE(Screen(), Clean);  // the floating frame is drawn
  hb->MouseMove(Over.x, Over.y);
  Pump();
  ASSERT_NE(X->CurrentDockZone(), nullptr);
  EXPECT_EQ(X->CurrentDockZone()->Owner(), A);
  hb->KeyDown(VK_CONTROL);
  Pump();
  EXPECT_EQ(X->CurrentDockZone(), nullptr);  // Ctrl: the floating frame at once
  hb->KeyUp(VK_CONTROL);
  Pump();
  ASSERT_NE(X->CurrentDockZone(), nullptr);  // and the zone is back without a move
  hb->KeyDown(VK_ESCAPE);
  hb->KeyUp(VK_ESCAPE);
  Pump();
  EXPECT_FALSE(GetDockingController()->IsDocking());
  hb->MouseUp(Over.x, Over.y);
  Pump();
  EXPECT_EQ(X->ParentDockControl(), Site);
  EXPECT_EQ(X->DockType(), dtLeft);
  EXPECT_EQ(Screen(), Clean);
  // A right click cancels as well (a while later: a second press at once would be a double click).
  hb->AdvanceClock(1000);
  hb->MouseDown(From.x, From.y);
  hb->MouseMove(Over.x, Over.y);
  Pump();
  ASSERT_TRUE(GetDockingController()->IsDocking());
  hb->MouseDown(Over.x, Over.y, HeadlessBackend::Right);
  hb->MouseUp(Over.x, Over.y, HeadlessBackend::Right);
  hb->MouseUp(Over.x, Over.y);
  Pump();
  EXPECT_FALSE(GetDockingController()->IsDocking());
  EXPECT_EQ(X->DockType(), dtLeft);
  EXPECT_EQ(Screen(), Clean);
}

TEST_F(DragTest, ZonesRebuiltDuringADragDropTheCurrentZoneAndLeaveAGoodScreen) {
  auto [A, X] = AFillingAndXAtLeft();
  const auto Clean = Screen();
  const TPoint From = CaptionPoint(X);
  const TPoint Over = ScreenOf(A, 100, 100);
  MoveTo(From.x, From.y);
  hb->MouseDown(From.x, From.y);
  MoveTo(From.x + 2, From.y + 40);
  MoveTo(Over.x, Over.y);
  ASSERT_NE(X->CurrentDockZone(), nullptr);
  ASSERT_EQ(X->CurrentDockZone()->Owner(), A);
  // Something rebuilds A's zones mid-drag (a handler changing the layout, say).
  A->UpdateDockZones();
  EXPECT_EQ(X->CurrentDockZone(), nullptr);
  EXPECT_TRUE(GetDockingController()->IsDocking());
  // The next move finds a zone of the new list and the drop uses it.
  MoveTo(Over.x + 1, Over.y);
  ASSERT_NE(X->CurrentDockZone(), nullptr);
  EXPECT_EQ(X->CurrentDockZone()->Owner(), A);
  // Esc erases exactly what was drawn.
  hb->KeyDown(VK_ESCAPE);
  hb->KeyUp(VK_ESCAPE);
  Pump();
  hb->MouseUp(Over.x + 1, Over.y);
  Pump();
  EXPECT_EQ(Screen(), Clean);
  EXPECT_EQ(X->ParentDockControl(), Site);
}

TEST_F(DragTest, AGrabPointBeyondTheOriginalWidthCentresTheFloatingFrame) {
  TkxDockPanel* X = NewPanel(F, "X", 100, 120);
  X->DockTo(Site, dtTop, -1);  // stretched across the site, far wider than 100
  X->SetOriginalWidth(100);
  Pump();
  const TRect R = X->ScreenWindowRect();
  const TPoint From(R.left + 300, R.top + 40);  // the top caption is vertical: press on the band
  X->StartDocking(From);
  EXPECT_EQ(X->CurrentDockZone(), nullptr);
  X->EndDocking(TPoint(1200, 700), false);
  ASSERT_NE(X->FloatForm(), nullptr);
  EXPECT_EQ(X->FloatForm()->Left(), 1200 - 50);
  EXPECT_EQ(X->FloatForm()->Top(), 700 - 40);
}

TEST_F(DragTest, AnAutoHiddenPanelCannotBeDragged) {
  TkxDockPanel* X = NewPanel(F, "X");
  X->DockTo(Site, dtLeft, -1);
  X->SetAutoHide(true);
  X->StartDocking(TPoint(10, 10));
  EXPECT_FALSE(GetDockingController()->IsDocking());
}

TEST_F(DragTest, DraggingAnEdgeResizesAtTheLastAcceptedPosition) {
  TkxDockPanel* A = NewPanel(F, "A", 200, 200);
  TkxDockPanel* C = NewPanel(F, "C");
  A->DockTo(Site, dtLeft, -1);
  C->DockTo(A->LayoutDockSite(), dtClient, -1);
  Pump();
  const TRect R = A->ScreenWindowRect();
  const TPoint Edge(R.right - 1, R.top + 100);
  hb->MouseMove(Edge.x, Edge.y);
  Pump();
  hb->MouseDown(Edge.x, Edge.y);
  Pump();
  ASSERT_TRUE(GetDockingController()->IsResizing());
  MoveTo(Edge.x + 40, Edge.y);
  MoveTo(Edge.x + 5000, Edge.y);  // beyond the parent: refused, the bar stays
  hb->MouseUp(Edge.x + 5000, Edge.y);
  Pump();
  EXPECT_FALSE(GetDockingController()->IsResizing());
  EXPECT_EQ(A->Width(), 240);
  EXPECT_EQ(A->OriginalWidth(), 240);
}

TEST_F(DragTest, TabsSwitchPagesAndDragAPageOut) {
  TkxDockPanel* A = NewPanel(F, "A");
  TkxDockPanel* B = NewPanel(F, "B");
  A->DockTo(Site, dtClient, -1);
  B->DockTo(A, dtClient, -1);
  A->Activate();
  TkxTabContainerDockSite* T = A->TabContainer();
  Pump();
  ASSERT_EQ(T->ActiveChild(), A);
  const TPoint W = WindowOrigin(T);
  auto TabCentre = [&](int I) {
    const TRect R = T->TabRect(I);
    return TPoint(W.x + (R.left + R.right) / 2, W.y + (R.top + R.bottom) / 2);
  };
  const TPoint TabB = TabCentre(1);
  hb->Click(TabB.x, TabB.y);
  Pump();
  EXPECT_EQ(T->ActiveChild(), B);
  EXPECT_EQ(GetDockingController()->ActiveDockControl(), B);
  // Moving within the tab starts nothing; leaving it drags the page.
  const TPoint TabA = TabCentre(0);
  hb->MouseDown(TabA.x, TabA.y);
  hb->MouseMove(TabA.x + 1, TabA.y);
  Pump();
  EXPECT_FALSE(GetDockingController()->IsDocking());
  EXPECT_EQ(T->ActiveChild(), A);
  hb->MouseMove(TabA.x, TabA.y - 200);
  Pump();
  EXPECT_EQ(GetDockingController()->DraggingControl(), A);
  hb->MouseMove(1300, 700);
  hb->MouseUp(1300, 700);
  Pump();
  EXPECT_EQ(A->GetDockingState(), dcsFloating);
}

TEST_F(DragTest, TheKeyboardFocusMovingIntoAPageMakesItTheActiveOne) {
  // C beside a tab container of A and B; each panel holds one field that takes the focus.
  TkxDockPanel* A = NewPanel(F, "A");
  TkxDockPanel* B = NewPanel(F, "B");
  TkxDockPanel* C = NewPanel(F, "C");
  A->DockTo(Site, dtClient, -1);
  B->DockTo(A, dtClient, -1);
  C->DockTo(Site, dtLeft, -1);
  auto Field = [](TkxDockPanel* P) {
    auto* E = new TBox(P);
    E->SetParent(P);
    E->SetTabStop(true);
    return E;
  };
  TBox* EA = Field(A);
  Field(B);
  TBox* EC = Field(C);
  A->Activate();
  TkxTabContainerDockSite* T = A->TabContainer();
  EC->SetFocus();
  Pump();
  EXPECT_EQ(GetDockingController()->ActiveDockControl(), C);
  // Tab leaves C for the field of the shown page; the disabled page B is skipped.
  hb->Key(VK_TAB);
  Pump();
  EXPECT_EQ(F->ActiveControl(), EA);
  EXPECT_EQ(GetDockingController()->ActiveDockControl(), A);
  EXPECT_EQ(T->ActiveChild(), A);
  hb->Key(VK_TAB);
  Pump();
  EXPECT_EQ(F->ActiveControl(), EC);
  EXPECT_EQ(GetDockingController()->ActiveDockControl(), C);
}

TEST_F(DragTest, CaptionButtonsActWhenReleasedOverThemselves) {
  // A and B side by side in a container (so B has all three buttons), X at the left.
  TkxDockPanel* A = NewPanel(F, "A", 200, 200);
  TkxDockPanel* B = NewPanel(F, "B", 200, 200);
  A->DockTo(Site, dtClient, -1);
  B->DockTo(A, dtRight, -1);
  Pump();
  ASSERT_TRUE(B->HasMaximizeButton());
  auto Middle = [&](TkxCustomDockControl* C, const TRect& R) {
    const TPoint W = WindowOrigin(C);
    return TPoint(W.x + (R.left + R.right) / 2, W.y + (R.top + R.bottom) / 2);
  };
  auto Click = [&](const TPoint& P) {
    hb->AdvanceClock(1000);  // never a double click
    MoveTo(P.x, P.y);
    hb->MouseDown(P.x, P.y);
    Pump();
    hb->MouseUp(P.x, P.y);
    Pump();
  };
  // Released away from the button: nothing happens, and no capture is left.
  const TPoint Close = Middle(B, B->CloseButtonRect());
  hb->AdvanceClock(1000);
  MoveTo(Close.x, Close.y);
  hb->MouseDown(Close.x, Close.y);
  MoveTo(Close.x - 60, Close.y + 60);
  hb->MouseUp(Close.x - 60, Close.y + 60);
  Pump();
  EXPECT_TRUE(B->Visible());
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(GetDockingController()->IsDocking());
  // Maximize, then maximize again restores.
  TkxSideContainerDockSite* S = B->SideContainer();
  Click(Middle(B, B->MaximizeButtonRect()));
  EXPECT_EQ(S->ActiveChild(), B);
  Click(Middle(B, B->MaximizeButtonRect()));
  EXPECT_EQ(S->ActiveChild(), nullptr);
  // The pin puts the container on a hide bar; clicking the close button of a panel closes it.
  Click(Middle(B, B->CloseButtonRect()));
  EXPECT_FALSE(B->Visible());
  B->SetVisible(true);
  Pump();
  Click(Middle(A, A->HideButtonRect()));
  TkxCustomDockControl* H = A->AutoHideControl();
  ASSERT_NE(H, nullptr);
  EXPECT_TRUE(H->AutoHide());
  EXPECT_EQ(Site->GetHideBarByControl(H), Site->GetHideBarByPosition(H->AutoHidePosition()));
}

TEST_F(DragTest, ADoubleClickOnACaptionFloatsAndOnTheFloatCaptionDocksBack) {
  auto [A, X] = AFillingAndXAtLeft();
  const TPoint P = CaptionPoint(X);
  hb->DoubleClick(P.x, P.y);
  Pump();
  ASSERT_EQ(X->GetDockingState(), dcsFloating);
  TkxFloatForm* Float = X->FloatForm();
  ASSERT_NE(Float, nullptr);
  EXPECT_TRUE(Float->Visible());
  // The float form's own caption: a double click docks the panel back.
  RECT WR;
  GetWindowRect(Float->Handle(), &WR);
  POINT CO{0, 0};
  ClientToScreen(Float->Handle(), &CO);
  const TPoint Cap(WR.left + 30, (WR.top + CO.y) / 2);
  ASSERT_EQ(SendMessageA(Float->Handle(), WM_NCHITTEST, 0, MAKELPARAM(Cap.x, Cap.y)), LRESULT(HTCAPTION));
  hb->DoubleClick(Cap.x, Cap.y);
  Pump();
  EXPECT_EQ(X->ParentDockControl(), Site);
  EXPECT_EQ(X->DockType(), dtLeft);
  Pump();
}

}  // namespace
