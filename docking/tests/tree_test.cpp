// The dock control tree and the controller: docking, undocking and floating in
// code, the two-child layout, the rules that refuse a dock, the rules that
// float a control, deferred release, settings without a manager, and the
// active dock control.
#include "docking/tests/docktest.h"

namespace {

class TreeTest : public DockFormTest {
 protected:
  TreeTest() {
    WithManager = false;
    ClientW = 0;
  }
};

TEST_F(TreeTest, DockingBesideAnEmptySiteMakesATwoChildLayoutAndTheNextOnePushesItDown) {
  TkxDockPanel* A = NewPanel(F, "A");
  TkxDockPanel* B = NewPanel(F, "B");
  A->DockTo(Site, dtLeft, -1);
  ASSERT_EQ(Site->ChildCount(), 2);
  auto* L = dynamic_cast<TkxLayoutDockSite*>(Site->Children(0));
  ASSERT_NE(L, nullptr);
  EXPECT_EQ(L->DockType(), dtClient);
  EXPECT_EQ(L->ChildCount(), 0);
  EXPECT_EQ(Site->Children(1), A);
  EXPECT_EQ(A->DockType(), dtLeft);
  EXPECT_EQ(A->Align(), alLeft);
  EXPECT_EQ(A->Parent(), Site);
  EXPECT_EQ(A->DockIndex(), 1);
  EXPECT_EQ(A->DockLevel(), 2);

  B->DockTo(Site, dtBottom, -1);
  ASSERT_EQ(Site->ChildCount(), 2);
  auto* L2 = dynamic_cast<TkxLayoutDockSite*>(Site->Children(0));
  ASSERT_NE(L2, nullptr);
  EXPECT_NE(L2, L);  // a new node holds the former pair
  EXPECT_EQ(Site->Children(1), B);
  EXPECT_EQ(B->DockType(), dtBottom);
  ASSERT_EQ(L2->ChildCount(), 2);
  EXPECT_EQ(L2->Children(0), L);
  EXPECT_EQ(L2->Children(1), A);
  EXPECT_EQ(A->DockLevel(), 3);

  // Undocking the side child whose sibling has two children moves them up.
  B->UnDock();
  EXPECT_EQ(B->ParentDockControl(), nullptr);
  ASSERT_EQ(Site->ChildCount(), 2);
  EXPECT_EQ(Site->Children(0), L);
  EXPECT_EQ(Site->Children(1), A);
  EXPECT_EQ(L2->GetDockingState(), dcsDestroying);  // released, freed after the current message
  Pump();
  EXPECT_EQ(GetDockingController()->IndexOfDockControl(L2), -1);

  // Undocking the side child beside an empty site empties the node.
  A->UnDock();
  EXPECT_EQ(Site->ChildCount(), 0);
  EXPECT_EQ(A->GetDockingState(), dcsUnattached);
  EXPECT_EQ(L->GetDockingState(), dcsDestroying);
}

TEST_F(TreeTest, DockingOntoOnesOwnLayoutSiteDocksIntoTheCommonParent) {
  TkxDockPanel* A = NewPanel(F, "A");
  A->DockTo(Site, dtLeft, -1);
  TkxLayoutDockSite* L = A->LayoutDockSite();
  ASSERT_NE(L, nullptr);
  A->DockTo(L, dtRight, -1);
  ASSERT_EQ(Site->ChildCount(), 2);
  EXPECT_EQ(Site->Children(1), A);
  EXPECT_EQ(A->DockType(), dtRight);
  EXPECT_EQ(A->DockLevel(), 2);
}

TEST_F(TreeTest, DockingOntoOwnTwoItemContainerWithAForeignTypeDocksOntoTheSibling) {
  TkxDockPanel* A = NewPanel(F, "A");
  TkxDockPanel* B = NewPanel(F, "B");
  A->DockTo(Site, dtClient, -1);
  B->DockTo(A, dtClient, -1);  // a tab container holding A and B
  TkxTabContainerDockSite* T = A->TabContainer();
  ASSERT_NE(T, nullptr);
  EXPECT_EQ(T->ChildCount(), 2);
  // dtLeft is not a type the tab container takes for items: B goes to A's left.
  B->DockTo(T, dtLeft, -1);
  EXPECT_EQ(B->TabContainer(), nullptr);
  ASSERT_NE(B->SideContainer(), nullptr);
  EXPECT_EQ(B->SideContainer(), A->SideContainer());
  EXPECT_EQ(B->DockIndex(), 0);
  EXPECT_EQ(A->DockIndex(), 1);
}

TEST_F(TreeTest, CanDockHostRefusesOtherFormsOwnSubtreeAndAutoHiddenBranches) {
  TForm* G = NewForm("Form2");
  TkxDockPanel* Foreign = NewPanel(G, "Foreign");
  TkxDockPanel* A = NewPanel(F, "A");
  TkxDockPanel* B = NewPanel(F, "B");
  A->DockTo(Site, dtLeft, -1);
  EXPECT_FALSE(Site->CanDockHost(Foreign, dtLeft));
  EXPECT_FALSE(A->CanDockHost(A, dtLeft));
  EXPECT_FALSE(A->CanDockHost(Site, dtLeft));  // a site never docks
  EXPECT_TRUE(A->CanDockHost(B, dtClient));
  B->DockTo(A, dtClient, -1);
  TkxTabContainerDockSite* T = A->TabContainer();
  ASSERT_NE(T, nullptr);
  EXPECT_FALSE(A->CanDockHost(T, dtClient));  // the container would hold itself
  T->SetAutoHide(true);
  ASSERT_TRUE(T->AutoHide());
  TkxDockPanel* C = NewPanel(F, "C");
  EXPECT_FALSE(A->CanDockHost(C, dtClient));
  EXPECT_FALSE(T->CanDockHost(C, dtClient));
}

TEST_F(TreeTest, ForbiddenDockTypeFloatsTheControlAndFloatingSettingsStickWhileFloating) {
  TkxDockPanel* A = NewPanel(F, "A");
  A->DockTo(Site, dtLeft, -1);
  Pump();
  const TRect Before = A->ScreenWindowRect();
  A->SetAllowFloating(false);
  A->SetAllowDock(TkxDockingTypes{dtClient, dtTop});
  EXPECT_TRUE(A->AllowFloating());
  ASSERT_NE(A->FloatDockSite(), nullptr);
  EXPECT_EQ(A->GetDockingState(), dcsFloating);
  EXPECT_EQ(A->FloatForm()->Left(), Before.left);
  EXPECT_EQ(A->FloatForm()->Top(), Before.top);
  A->SetAllowFloating(false);
  EXPECT_TRUE(A->AllowFloating());
}

TEST_F(TreeTest, OwnerMustBeAForm) {
  auto* M = new TDataModule(nullptr, 0);
  try {
    NewObject<TkxDockPanel>(M);
    FAIL() << "no error";
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message, kxDockingText(kxsOwnerNotForm));
  }
  EXPECT_EQ(M->ComponentCount(), 0);
  delete M;
}

TEST_F(TreeTest, ADescriptionWithoutDockTypeLeavesTheControlOutOfTheTree) {
  RegisterClass(TForm::StaticClass());
  auto* G = dynamic_cast<TForm*>(ReadComponentFromText(R"(object Form3: TForm
  Left = 0
  Top = 0
  Width = 400
  Height = 300
  object Host: TkxDockSite
    Left = 0
    Top = 0
    Width = 300
    Height = 200
    object Loose: TkxDockPanel
      Left = 0
      Top = 0
      Width = 100
      Height = 100
      DockType = 0
      OriginalWidth = 100
      OriginalHeight = 100
    end
  end
end
)", nullptr));
  ASSERT_NE(G, nullptr);
  auto* Host = dynamic_cast<TkxDockSite*>(G->FindComponent("Host"));
  auto* Loose = dynamic_cast<TkxDockPanel*>(G->FindComponent("Loose"));
  ASSERT_TRUE(Host && Loose);
  EXPECT_EQ(Host->ChildCount(), 0);
  EXPECT_EQ(Loose->ParentDockControl(), nullptr);
}

// ---- the controller ----

TEST_F(TreeTest, WithoutAManagerEverySettingHasItsBuiltInValue) {
  TkxDockingController* C = GetDockingController();
  EXPECT_EQ(C->DockManagerCount(), 0);
  EXPECT_EQ(C->GetAutoHideInterval(F), 500);
  EXPECT_EQ(C->GetAutoHideMovingInterval(F), 1);
  EXPECT_EQ(C->GetAutoHideMovingSize(F), 20);
  EXPECT_EQ(C->GetAutoShowInterval(F), 300);
  EXPECT_EQ(C->GetColor(F), clBtnFace);
  EXPECT_EQ(C->GetDockZonesWidth(F), 20);
  EXPECT_EQ(C->GetImages(F), nullptr);
  EXPECT_EQ(C->GetOptions(F).Mask(), 3751u);
  EXPECT_EQ(C->GetResizeZonesWidth(F), 3);
  EXPECT_EQ(C->GetSelectionFrameWidth(F), 4);
  EXPECT_EQ(C->GetTabsScrollInterval(F), 300);
  EXPECT_EQ(C->GetPainterClass(F), TkxDockControlPainter::Class());
  EXPECT_EQ(C->DefaultTabContainerSiteProperties(F), nullptr);
}

TEST_F(TreeTest, ManagersPerFormAndOneWithoutAFormServingTheRest) {
  auto* Module = new TDataModule(nullptr, 0);
  auto* Shared = new TkxDockingManager(Module);
  Shared->SetDockZonesWidth(33);
  TForm* G = NewForm("Form2");
  auto* Own = new TkxDockingManager(G);
  Own->SetDockZonesWidth(7);
  TkxDockingController* C = GetDockingController();
  EXPECT_EQ(C->GetManager(F), Shared);
  EXPECT_EQ(C->GetManager(G), Own);
  EXPECT_EQ(C->GetDockZonesWidth(F), 33);
  EXPECT_EQ(C->GetDockZonesWidth(G), 7);
  try {
    new TkxDockingManager(G);
    FAIL() << "a second manager on one form";
  } catch (const Exception& E) {
    EXPECT_EQ(E.Message, kxDockingText(kxsSecondManager));
  }
  EXPECT_EQ(C->DockManagerCount(), 2);
  EXPECT_EQ(G->ComponentCount(), 1);
  delete Module;
  EXPECT_EQ(C->GetManager(F), Own);  // the first manager left now serves every form
}

TEST_F(TreeTest, ActivatingAPageActivatesItsContainerFirstAndTellsTheManagerOnce) {
  auto* M = new TkxDockingManager(F);
  struct Recorder : TObject {
    std::vector<AnsiString> Log;
    int ManagerCalls = 0;
    void Activated(TkxCustomDockControl* C, bool Active) { Log.push_back(C->Name() + (Active ? "+" : "-")); }
    void Changed(TObject*) { ++ManagerCalls; }
  } R;
  M->OnActiveDockControlChanged = TNotifyEvent(&R, &Recorder::Changed);
  TkxDockPanel* A = NewPanel(F, "A");
  TkxDockPanel* B = NewPanel(F, "B");
  A->DockTo(Site, dtClient, -1);
  B->DockTo(A, dtClient, -1);
  TkxTabContainerDockSite* T = A->TabContainer();
  T->SetName("Tabs");
  A->OnActivate = TkxActivateEvent(&R, &Recorder::Activated);
  B->OnActivate = TkxActivateEvent(&R, &Recorder::Activated);
  T->OnActivate = TkxActivateEvent(&R, &Recorder::Activated);
  GetDockingController()->SetActiveDockControl(nullptr);
  R.Log.clear();
  R.ManagerCalls = 0;
  A->Activate();
  EXPECT_EQ(GetDockingController()->ActiveDockControl(), A);
  EXPECT_EQ(R.ManagerCalls, 1);
  ASSERT_EQ(R.Log.size(), 1u);  // only the outermost activation calls the event
  EXPECT_EQ(R.Log[0], "A+");
  EXPECT_EQ(T->ActiveChild(), A);
  EXPECT_TRUE(A->Enabled());
  EXPECT_FALSE(B->Enabled());
  B->Activate();
  EXPECT_EQ(T->ActiveChild(), B);
  EXPECT_FALSE(A->Enabled());
  EXPECT_TRUE(B->Enabled());
  // The recorder goes with this test; the controls live on until tear-down.
  A->OnActivate = B->OnActivate = T->OnActivate = nullptr;
  M->OnActiveDockControlChanged = nullptr;
}

std::vector<AnsiString>* gCalcLog = nullptr;

// A panel and a site that note each frame calculation.
class TLogPanel : public TkxDockPanel {
  PV_CLASS(TLogPanel, TkxDockPanel)
 public:
  using TkxDockPanel::TkxDockPanel;
  void CalculateNC(TRect& R) override {
    if (gCalcLog) gCalcLog->push_back(Name());
    TkxDockPanel::CalculateNC(R);
  }
};

TEST_F(TreeTest, DeferredRecalculationRunsParentsFirstAndAutoHiddenLast) {
  auto* A = NewObject<TLogPanel>(F);
  auto* B = NewObject<TLogPanel>(F);
  auto* H = NewObject<TLogPanel>(F);
  A->SetName("A");
  B->SetName("B");
  H->SetName("H");
  A->DockTo(Site, dtLeft, -1);
  H->DockTo(Site, dtRight, -1);
  B->DockTo(A, dtClient, -1);  // A and B are pages, one level deeper than H
  H->SetAutoHide(true);
  ASSERT_TRUE(H->AutoHide());
  Pump();
  std::vector<AnsiString> Log;
  gCalcLog = &Log;
  TkxDockingController* C = GetDockingController();
  C->BeginUpdateNC();
  for (TkxCustomDockControl* X : std::vector<TkxCustomDockControl*>{H, B, A}) X->NCChanged(false);
  EXPECT_TRUE(Log.empty());  // only queued while locked
  C->EndUpdateNC();
  gCalcLog = nullptr;
  ASSERT_EQ(Log.size(), 3u);
  EXPECT_EQ(Log[0], "A");  // same level: by index
  EXPECT_EQ(Log[1], "B");
  EXPECT_EQ(Log[2], "H");  // the auto-hidden one after the others
}

TEST_F(TreeTest, ReleasedControlsAreFreedAfterTheCurrentMessage) {
  TkxDockPanel* A = NewPanel(F, "A");
  A->DockTo(Site, dtLeft, -1);
  auto* M = new TkxDockingManager(F);
  M->SetOptions(M->Options() + TkxDockingOptions{doFreeOnClose});
  A->DoClose();
  EXPECT_EQ(A->GetDockingState(), dcsDestroying);
  EXPECT_EQ(F->FindComponent("A"), A);
  Pump();
  EXPECT_EQ(F->FindComponent("A"), nullptr);
  EXPECT_EQ(Site->ChildCount(), 0);
}

}  // namespace
