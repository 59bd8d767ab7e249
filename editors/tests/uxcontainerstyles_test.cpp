// Container styles: defaults by state and look and feel, the controller
// chain, parent-held values of the state styles, and refused circular links.
#include <gtest/gtest.h>

#include "editors/tests/uxeditorstest.h"

namespace {

class ContainerStyles : public EditorsTest {
 protected:
  // The default controller the edit unit will own; linked at creation.
  void SetUp() override {
    EditorsTest::SetUp();
    DefaultContainerStyleController = NewObject<TuxStyleController>(nullptr);
  }
  void TearDown() override {
    EditorsTest::TearDown();
    TuxStyleController* D = DefaultContainerStyleController;
    DefaultContainerStyleController = nullptr;
    delete D;
  }
};

TEST_F(ContainerStyles, BorderStyleByLookAndFeelAndState) {
  TTestContainer* C = NewContainer(10, 10);
  C->Style()->GetLookAndFeel()->SetKind(lfStandard);
  EXPECT_EQ(C->Style()->GetBorderStyle(), cbs3D);
  EXPECT_EQ(C->StyleFocused()->GetBorderStyle(), cbs3D);
  EXPECT_EQ(C->StyleHot()->GetBorderStyle(), cbs3D);
  struct Case {
    TuxContainerBorderStyle Normal;
    bool HotTrack;
    TuxContainerBorderStyle Focused, Hot, Disabled;
  } Cases[] = {
      {cbsSingle, true, cbsThick, cbsThick, cbsSingle},
      {cbsSingle, false, cbsSingle, cbsSingle, cbsSingle},
      {cbsNone, true, cbsFlat, cbsFlat, cbsNone},
      {cbsFlat, true, cbs3D, cbs3D, cbsFlat},
      {cbsUltraFlat, true, cbsUltraFlat, cbsUltraFlat, cbsUltraFlat},
  };
  for (const Case& K : Cases) {
    SCOPED_TRACE(K.Normal);
    C->Style()->SetBorderStyle(K.Normal);
    C->Style()->SetHotTrack(K.HotTrack);
    EXPECT_EQ(C->StyleFocused()->GetBorderStyle(), K.Focused);
    EXPECT_EQ(C->StyleHot()->GetBorderStyle(), K.Hot);
    EXPECT_EQ(C->StyleDisabled()->GetBorderStyle(), K.Disabled);
  }
  const TuxContainerBorderStyle ByKind[] = {cbsFlat, cbs3D, cbsUltraFlat, cbsOffice11};
  TTestContainer* D = NewContainer(10, 50);
  for (int K = lfFlat; K <= lfOffice11; ++K) {
    D->Style()->GetLookAndFeel()->SetKind(TuxLookAndFeelKind(K));
    EXPECT_EQ(D->Style()->GetBorderStyle(), ByKind[K]) << K;
  }
}

TEST_F(ContainerStyles, StateStylesShareTheNormalStylesFontAndEdges) {
  TTestContainer* C = NewContainer(10, 10);
  TFont F;
  F.SetSize(14);
  C->StyleHot()->SetFont(&F);
  EXPECT_EQ(C->Style()->GetFont()->Size(), 14);
  EXPECT_TRUE(C->Style()->AssignedValues() & uxStyleValue(csvFont));
  EXPECT_EQ(C->StyleHot()->AssignedValues() & uxStyleValue(csvFont), 0u);
  C->StyleFocused()->SetEdges(uxbLeft);
  EXPECT_EQ(C->Style()->GetEdges(), uxbLeft);
  C->StyleDisabled()->SetShadow(true);
  EXPECT_TRUE(C->Style()->GetShadow());
  // colours are the state style's own
  C->StyleFocused()->SetColor(clYellow);
  EXPECT_EQ(C->StyleFocused()->GetColor(), clYellow);
  EXPECT_EQ(C->Style()->GetColor(), clWindow);
  EXPECT_EQ(C->StyleHot()->GetColor(), clWindow);  // the parent's
}

TEST_F(ContainerStyles, ControllerGivesWhatTheStyleLeavesUnassigned) {
  auto* Ctl = NewObject<TuxStyleController>(Form);
  TTestContainer* A = NewContainer(10, 10);
  TTestContainer* B = NewContainer(10, 50);
  A->Style()->SetStyleController(Ctl);
  B->Style()->SetStyleController(Ctl);
  EXPECT_EQ(A->Style()->GetStyleController(), Ctl);
  Ctl->Style()->SetColor(clAqua);
  Ctl->Style()->SetBorderStyle(cbsSingle);
  EXPECT_EQ(A->Style()->GetColor(), clAqua);
  EXPECT_EQ(A->Color(), clAqua);  // the change reached the container
  EXPECT_EQ(B->Style()->GetColor(), clAqua);
  EXPECT_EQ(A->StyleFocused()->GetBorderStyle(), cbsThick);
  EXPECT_TRUE(A->Style()->IsValueAssigned(csvColor));
  EXPECT_FALSE(A->Style()->AssignedValues() & uxStyleValue(csvColor));
  B->Style()->SetColor(clYellow);  // a local value wins
  EXPECT_EQ(B->Style()->GetColor(), clYellow);
  EXPECT_EQ(A->Style()->GetColor(), clAqua);
  // freeing the controller falls back to the defaults
  delete Ctl;
  EXPECT_EQ(A->Style()->GetStyleController(), nullptr);
  EXPECT_EQ(A->Style()->GetColor(), clWindow);
  EXPECT_EQ(B->Style()->GetColor(), clYellow);
}

TEST_F(ContainerStyles, CircularControllerLinksAreRefused) {
  auto* A = NewObject<TuxStyleController>(Form);
  auto* B = NewObject<TuxStyleController>(Form);
  A->Style()->SetStyleController(B);
  EXPECT_EQ(A->Style()->GetStyleController(), B);
  B->Style()->SetStyleController(A);
  EXPECT_EQ(B->Style()->GetStyleController(), nullptr);
  A->Style()->SetStyleController(A);
  EXPECT_EQ(A->Style()->GetStyleController(), B);
  // a value flows along the chain B -> A -> container
  TTestContainer* C = NewContainer(10, 10);
  C->Style()->SetStyleController(A);
  B->Style()->SetTextColor(clRed);
  EXPECT_EQ(C->Style()->GetTextColor(), clRed);
}

TEST_F(ContainerStyles, DisabledColourOnAForm) {
  TTestContainer* C = NewContainer(10, 10);
  EXPECT_EQ(C->StyleDisabled()->GetColor(), clBtnFace);
  EXPECT_EQ(C->StyleDisabled()->GetTextColor(), clBtnShadow);
  EXPECT_EQ(C->StyleDisabled()->GetBorderColor(), clBtnShadow);
  auto* Ctl = NewObject<TuxStyleController>(Form);
  C->Style()->SetStyleController(Ctl);
  Ctl->StyleOfState(cssDisabled)->SetColor(clSilver);
  EXPECT_EQ(C->StyleDisabled()->GetColor(), clSilver);
  C->StyleDisabled()->SetColor(clGray);
  EXPECT_EQ(C->StyleDisabled()->GetColor(), clGray);
}

TEST_F(ContainerStyles, ChangesAreBatchedAndRestoreDefaultsClearsAssignments) {
  TTestContainer* C = NewContainer(10, 10);
  int Changes = 0;
  TuxContainerStyle S(nullptr, cssNormal, nullptr, false);
  S.OnChanged = TNotifyEvent();
  struct Counter : TObject {
    int* N;
    void Changed(TObject*) { ++*N; }
  } K;
  K.N = &Changes;
  S.OnChanged = TNotifyEvent(&K, &Counter::Changed);
  S.BeginUpdate();
  S.SetColor(clRed);
  S.SetBorderStyle(cbsSingle);
  S.SetColor(clRed);
  EXPECT_EQ(Changes, 0);
  S.EndUpdate();
  EXPECT_EQ(Changes, 1);
  S.SetColor(clRed);  // assigned and equal: nothing
  EXPECT_EQ(Changes, 1);

  C->Style()->Assign(&S);
  EXPECT_EQ(C->Style()->GetColor(), clRed);
  EXPECT_EQ(C->Style()->GetBorderStyle(), cbsSingle);
  C->Style()->RestoreDefaults();
  EXPECT_EQ(C->Style()->AssignedValues(), 0u);
  EXPECT_EQ(C->Style()->GetColor(), clWindow);
  EXPECT_FALSE(C->ParentColor());
  EXPECT_TRUE(C->ParentFont());

  TuxContainerStyle Direct(nullptr, cssNormal, nullptr, true);
  EXPECT_EQ(Direct.AssignedValues(), 404u);
  EXPECT_EQ(Direct.GetBorderColor(), clDefault);
  EXPECT_EQ(Direct.GetEdges(), 0u);
  EXPECT_TRUE(Direct.GetTransparentBorder());
  AnsiString Name;
  EXPECT_TRUE(Direct.StyleValueName(csvTransparentBorder, Name));
  EXPECT_EQ(Name, "TransparentBorder");
  EXPECT_FALSE(Direct.StyleValueName(10, Name));
  EXPECT_EQ(Name, "");
}

}  // namespace
