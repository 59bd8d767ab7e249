// The docking manager: settings that reach every dock control of the forms it
// serves, the view style that picks the painters, the default properties of
// created sites, and its window description.
#include "docking/tests/docktest.h"

namespace {

class ManagerTest : public DockTest {
 protected:
  TDataModule* Module = nullptr;
  TkxDockingManager* M = nullptr;
  void SetUp() override {
    DockTest::SetUp();
    Module = new TDataModule(nullptr, 0);
    Module->SetName("LibModule");
    M = new TkxDockingManager(Module);
  }
  void TearDown() override {
    delete Module;
    DockTest::TearDown();
  }
};

const char* const kModuleText = R"(object LibModule: TDataModule
  OldCreateOrder = False
  Height = 0
  Width = 0
  object DockingManager: TkxDockingManager
    Color = clBtnFace
    DefaultHorizContainerSiteProperties.Dockable = True
    DefaultHorizContainerSiteProperties.ImageIndex = -1
    DefaultVertContainerSiteProperties.Dockable = True
    DefaultVertContainerSiteProperties.ImageIndex = -1
    DefaultTabContainerSiteProperties.Dockable = True
    DefaultTabContainerSiteProperties.ImageIndex = -1
    DefaultTabContainerSiteProperties.TabsPosition = tctpTop
    DockZonesWidth = 24
    Font.Name = 'Tahoma'
    LookAndFeel.Kind = lfOffice11
    LookAndFeel.NativeStyle = False
    Options = [doActivateAfterDocking, doDblClickDocking, doFloatingOnTop, doTabContainerHasCaption, doTabContainerCanAutoHide, doSideContainerCanClose, doSideContainerCanAutoHide, doTabContainerCanInSideContainer]
    ViewStyle = vsOffice11
  end
end
)";

using ManagerDescriptionTest = DockTest;

TEST_F(ManagerDescriptionTest, ReadsAndWritesBackTheSameTextAndServesEveryForm) {
  auto* Mod = dynamic_cast<TDataModule*>(ReadComponentFromText(kModuleText, nullptr));
  ASSERT_NE(Mod, nullptr);
  auto* Mgr = dynamic_cast<TkxDockingManager*>(Mod->FindComponent("DockingManager"));
  ASSERT_NE(Mgr, nullptr);
  EXPECT_EQ(Mgr->ViewStyle(), vsOffice11);
  EXPECT_EQ(Mgr->DockZonesWidth(), 24);
  EXPECT_EQ(Mgr->Font()->Name(), "Tahoma");
  EXPECT_EQ(Mgr->DefaultTabContainerSiteProperties()->TabsPosition(), tctpTop);
  EXPECT_EQ(Mgr->Options().Mask(), 3751u);
  EXPECT_EQ(WriteComponentToText(Mod), kModuleText);

  // Every dock control of every form draws in the manager's style.
  auto* F = new TForm(Application, 0);
  F->SetName("Form1");
  auto* P = NewObject<TkxDockPanel>(F);
  EXPECT_STREQ(P->Painter()->ClassName().c_str(), "TkxDockControlOfficePainter");
  EXPECT_EQ(P->DockZonesWidth(), 24);
  EXPECT_EQ(P->Font()->Name(), "Tahoma");
  // A site created by docking takes the default tab container properties.
  auto* S = NewObject<TkxDockSite>(F);
  S->SetParent(F);
  S->SetAlign(alClient);
  auto* Q = NewObject<TkxDockPanel>(F);
  P->DockTo(S, dtClient, -1);
  Q->DockTo(P, dtClient, -1);
  ASSERT_NE(P->TabContainer(), nullptr);
  EXPECT_EQ(P->TabContainer()->TabsPosition(), tctpTop);
  delete Mod;
}

TEST_F(ManagerTest, ViewStyleChangeDropsPaintersResetsColourAndFontAndTellsOnce) {
  TForm* F = NewForm();
  TkxDockPanel* P = NewPanel(F, "P");
  struct Counter : TObject {
    int N = 0;
    void Changed(TObject*) { ++N; }
  } Cnt;
  M->OnViewChanged = TNotifyEvent(&Cnt, &Counter::Changed);
  M->SetColor(clRed);
  EXPECT_EQ(P->Color(), clRed);  // ManagerColor
  TkxDockControlPainter* Old = P->Painter();
  EXPECT_STREQ(Old->ClassName().c_str(), "TkxDockControlPainter");
  M->SetViewStyle(vsStandard);
  EXPECT_EQ(Cnt.N, 0);
  M->SetViewStyle(vsNET);
  EXPECT_EQ(Cnt.N, 1);
  EXPECT_STREQ(P->Painter()->ClassName().c_str(), "TkxDockControlNETPainter");
  EXPECT_EQ(M->Color(), clBtnFace);
  EXPECT_EQ(P->Color(), clBtnFace);
  EXPECT_EQ(M->Font()->Name(), "Tahoma");
  EXPECT_EQ(P->Font()->Name(), "Tahoma");
  M->SetViewStyle(vsStandard);
  EXPECT_EQ(M->Font()->Name(), "MS Sans Serif");
  EXPECT_EQ(M->Font()->Height(), -11);
  M->SetViewStyle(vsXP);
  EXPECT_STREQ(P->Painter()->ClassName().c_str(), "TkxDockControlXPPainter");
  M->SetViewStyle(vsOffice11);
  EXPECT_STREQ(P->Painter()->ClassName().c_str(), "TkxDockControlOfficePainter");
  EXPECT_EQ(Cnt.N, 4);
}

TEST_F(ManagerTest, LookAndFeelStyleFollowsTheKind) {
  TForm* F = NewForm();
  TkxDockPanel* P = NewPanel(F, "P");
  M->LookAndFeel()->SetKind(lfStandard);
  M->LookAndFeel()->SetNativeStyle(false);
  M->SetViewStyle(vsUseLookAndFeel);
  const struct {
    TuxLookAndFeelKind Kind;
    const char* Painter;
  } Cases[] = {{lfStandard, "TkxDockControlPainter"},
               {lfFlat, "TkxDockControlNETPainter"},
               {lfUltraFlat, "TkxDockControlNETPainter"},
               {lfOffice11, "TkxDockControlOfficePainter"}};
  for (const auto& C : Cases) {
    M->LookAndFeel()->SetKind(C.Kind);
    EXPECT_STREQ(P->Painter()->ClassName().c_str(), C.Painter) << C.Kind;
  }
  // Without visual styles a native look and feel still uses its kind.
  M->LookAndFeel()->SetNativeStyle(true);
  EXPECT_STREQ(P->Painter()->ClassName().c_str(), "TkxDockControlOfficePainter");
}

TEST_F(ManagerTest, DefaultPropertiesFollowTheManagerUntilSetAndAreStoredOnlyWhenUsed) {
  TkxLayoutDockSiteProperties* L = M->DefaultLayoutSiteProperties();
  M->SetColor(clYellow);
  EXPECT_TRUE(L->ManagerColor());
  EXPECT_EQ(L->Color(), clYellow);
  L->SetColor(clLime);
  EXPECT_FALSE(L->ManagerColor());
  M->SetColor(clAqua);
  EXPECT_EQ(L->Color(), clLime);
  L->SetManagerColor(true);
  EXPECT_EQ(L->Color(), clAqua);

  TkxTabContainerDockSiteProperties Other(M);
  Other.SetTabsPosition(tctpTop);
  Other.SetTabsScroll(false);
  M->SetDefaultTabContainerSiteProperties(&Other);
  EXPECT_EQ(M->DefaultTabContainerSiteProperties()->TabsPosition(), tctpTop);
  EXPECT_FALSE(M->DefaultTabContainerSiteProperties()->TabsScroll());

  M->SetName("Mgr");
  EXPECT_NE(WriteComponentToText(Module).find("DefaultTabContainerSiteProperties"), AnsiString::npos);
  M->SetUseDefaultSitesProperties(false);
  const AnsiString Text = WriteComponentToText(Module);
  EXPECT_EQ(Text.find("DefaultTabContainerSiteProperties"), AnsiString::npos) << Text;
  EXPECT_EQ(Text.find("DefaultLayoutSiteProperties"), AnsiString::npos) << Text;
  // Sites made now keep their own defaults.
  TForm* F = NewForm();
  TkxDockSite* S = NewSite(F);
  TkxDockPanel* A = NewPanel(F, "A");
  TkxDockPanel* B = NewPanel(F, "B");
  A->DockTo(S, dtClient, -1);
  B->DockTo(A, dtClient, -1);
  EXPECT_EQ(A->TabContainer()->TabsPosition(), tctpBottom);
  EXPECT_TRUE(A->TabContainer()->TabsScroll());
}

TEST_F(ManagerTest, AssigningPropertiesToSomethingElseIsAnError) {
  TStringList Foreign;
  EXPECT_THROW(Foreign.Assign(M->DefaultLayoutSiteProperties()), EConvertError);
}

TEST_F(ManagerTest, AFreedImageListIsForgotten) {
  auto* Images = new TCustomImageList(Module);
  M->SetImages(Images);
  EXPECT_EQ(M->Images(), Images);
  delete Images;
  EXPECT_EQ(M->Images(), nullptr);
}

}  // namespace
