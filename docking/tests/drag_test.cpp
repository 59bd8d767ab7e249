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

// What the end events are given: the zone of the drop, which the docking
// itself frees from its list, must still tell what it was.
struct TEndZones : TObject {
  std::string Docking, Resizing;
  static std::string Describe(TkxZone* Z) {
    if (!Z) return "nil";
    return std::string(Z->ClassName().c_str()) + " of " + Z->Owner()->Name().c_str() + " type " +
           std::to_string(Z->DockType()) + " direction " + std::to_string(Z->Direction());
  }
  void EndDocking(TkxCustomDockControl*, TkxZone* Z, int, int) { Docking = Describe(Z); }
  void EndResizing(TkxCustomDockControl*, TkxZone* Z, int, int) { Resizing = Describe(Z); }
};

TEST_F(DragTest, TheEndEventsGetTheZoneAsItWasBeforeTheDrop) {
  auto [A, X] = AFillingAndXAtLeft();
  TEndZones Ends;
  X->OnEndDocking = TkxEndDockingEvent(&Ends, &TEndZones::EndDocking);
  DragTo(CaptionPoint(X), ScreenOf(A, A->ClientWidth() / 2, A->ClientHeight() / 2));
  ASSERT_NE(X->TabContainer(), nullptr);  // the drop built a tab container: A's zones are gone
  EXPECT_EQ(Ends.Docking, "TkxDockPanelClientZone of A type 1 direction 0");
  X->OnEndDocking = nullptr;
  // A's edge dragged: resizing rebuilds the zone lists as well.
  X->UnDock();
  X->DockTo(Site, dtLeft, -1);
  Pump();
  X->OnEndResizing = TkxResizingEvent(&Ends, &TEndZones::EndResizing);
  const TRect R = X->ScreenWindowRect();
  hb->AdvanceClock(1000);
  DragTo(TPoint(R.right - 1, R.top + 100), TPoint(R.right + 30, R.top + 100));
  EXPECT_EQ(X->Width(), R.right - R.left + 31);
  EXPECT_EQ(Ends.Resizing, "TkxRightZone of X type 4 direction 1");
  X->OnEndResizing = nullptr;
}

// A handler of a panel that raises when the panel gets a parent, while armed.
struct TRefusingParent : TObject {
  int Left = 0;
  void ParentChanged(TkxCustomDockControl* Sender) {
    if (Left > 0 && Sender->Parent()) {
      --Left;
      throw Exception("the panel refuses its place");
    }
  }
};

TEST_F(DragTest, ADropThatFailsHalfwayLeavesTheArrangementAsItWas) {
  auto [A, X] = AFillingAndXAtLeft();
  std::vector<std::string> Errors;
  struct TReport : TObject {
    std::vector<std::string>* To;
    void Report(TObject*, Exception* E) { To->emplace_back(E->Message.c_str()); }
  } R;
  R.To = &Errors;
  Application->OnException = TExceptionEvent(&R, &TReport::Report);
  TRefusingParent Refuse;
  Refuse.Left = 1;
  X->OnParentChanged = TkxDockControlNotifyEvent(&Refuse, &TRefusingParent::ParentChanged);
  DragTo(CaptionPoint(X), ScreenOf(A, A->ClientWidth() / 2, A->ClientHeight() / 2));
  Application->OnException = nullptr;
  X->OnParentChanged = nullptr;
  EXPECT_EQ(Errors, std::vector<std::string>{"the panel refuses its place"});
  EXPECT_FALSE(GetDockingController()->IsDocking());
  EXPECT_EQ(FormTreeFaults(F), "");
  ASSERT_EQ(Site->ChildCount(), 2);
  EXPECT_EQ(Site->Children(1), X);
  EXPECT_EQ(X->DockType(), dtLeft);
  EXPECT_EQ(A->ParentDockControl(), Site->Children(0));
  EXPECT_EQ(A->TabContainer(), nullptr);
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

#include "docking/tests/storywindow.h"

namespace {

// Content that names its parent's window among its creation parameters, as a
// toolbar names its dock's.
class TParentNamingBox : public TBox {
  PV_CLASS(TParentNamingBox, TBox)
 public:
  using TBox::TBox;

 protected:
  void CreateParams(TCreateParams& Params) override {
    TBox::CreateParams(Params);
    if (Parent()) Params.WndParent = Parent()->Handle();
  }
};

// The story window with its left pages pinned open, the novel page holding a
// toolbar-like strip over its tree; errors reported to the application are kept.
class StoryDragTest : public StoryWindowTest {
 protected:
  std::vector<std::string> Errors;
  TBox* Strip = nullptr;
  void SetUp() override {
    StoryWindowTest::SetUp();
    Application->OnException = TExceptionEvent(this, &StoryDragTest::Report);
    Prepare();
  }
  void Prepare() {
    Strip = new TParentNamingBox(Story);
    Strip->SetParent(Named<TkxDockPanel>("NovelPanel"));
    Strip->SetAlign(alTop);
    Named<TkxTabContainerDockSite>("leftTabContainerDockSite")->SetAutoHide(false);
    Pump();
  }
  // The window read anew, as after a restart.
  void Reopen() {
    Story->Free();
    Pump();
    Story = dynamic_cast<TForm*>(ReadComponentFromText(StoryWindowText(), nullptr));
    ASSERT_NE(Story, nullptr);
    Story->Show();
    Pump();
    Prepare();
  }
  void TearDown() override {
    Application->OnException = nullptr;
    StoryWindowTest::TearDown();
  }
  void Report(TObject*, Exception* E) { Errors.emplace_back(E->Message.c_str(), E->Message.size()); }
  void MoveTo(const TPoint& P) {
    hb->MouseMove(P.x, P.y);
    Pump();
  }
  // As a person drags: press, several moves, release.
  void Drag(const TPoint& From, const TPoint& To) {
    hb->AdvanceClock(1000);
    MoveTo(From);
    hb->MouseDown(From.x, From.y);
    Pump();
    for (int i = 1; i <= 6; ++i)
      MoveTo(TPoint(From.x + (To.x - From.x) * i / 6, From.y + (To.y - From.y) * i / 6));
    hb->MouseUp(To.x, To.y);
    Pump();
  }
  TPoint InWindow(TkxCustomDockControl* C, const TRect& R) {
    const TPoint W = WindowOrigin(C);
    return TPoint(W.x + (R.left + R.right) / 2, W.y + (R.top + R.bottom) / 2);
  }
};

TEST_F(StoryDragTest, ThePinnedNovelPageDraggedByCaptionOrTabDocksOrFloatsWithItsContent) {
  auto* Left = Named<TkxTabContainerDockSite>("leftTabContainerDockSite");
  ASSERT_TRUE(Left->HasCaption());
  ASSERT_EQ(Left->Caption(), Named<TkxDockPanel>("NovelPanel")->Caption());  // the caption reads "小说"
  const TPoint Caption = InWindow(Left, Left->CaptionTextRect());
  const TPoint Tab = InWindow(Left, Left->TabRect(Named<TkxDockPanel>("NovelPanel")->DockIndex()));
  const TRect Host = Named<TkxDockSite>("RightHost")->ScreenWindowRect();
  const TPoint Main = Named<TkxCustomDockControl>("mainTabContainerDockSite")->ClientToScreen(TPoint(200, 150));
  struct TCase {
    const char* Where;
    TPoint To;
  };
  const TCase Targets[] = {{"nowhere", TPoint(1500, 900)},
                           {"the site's right edge", TPoint(Host.right - 3, (Host.top + Host.bottom) / 2)},
                           {"the site's bottom edge", TPoint((Host.left + Host.right) / 2, Host.bottom - 3)},
                           {"the main pages", Main},
                           {"its own place", TPoint(Caption.x + 20, Caption.y + 120)}};
  for (const bool ByTab : {false, true})
    for (const TCase& C : Targets) {
      SCOPED_TRACE(std::string(ByTab ? "by its tab to " : "by the caption to ") + C.Where);
      Reopen();
      Errors.clear();
      auto* Novel = Named<TkxDockPanel>("NovelPanel");
      Drag(ByTab ? Tab : Caption, C.To);
      EXPECT_EQ(Errors, std::vector<std::string>());
      EXPECT_FALSE(GetDockingController()->IsDocking());
      EXPECT_EQ(FormTreeFaults(Story), "");
      // Docked or floating, the page shows its content.
      const TkxDockingState State = Novel->GetDockingState();
      EXPECT_TRUE(State == dcsDocked || State == dcsFloating) << State;
      EXPECT_EQ(Strip->Parent(), Novel);
      EXPECT_TRUE(Strip->HandleAllocated() && IsWindowVisible(Strip->Handle()));
      EXPECT_EQ(Strip->Width(), Novel->ClientWidth());
    }
}

}  // namespace
