// The container control on real windows: border drawing per style and look
// and feel, shadow region, hot, focused and disabled states, the inner
// control's place, focus and Tab, and its own scroll bars over the memo's.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "editors/tests/uxeditorstest.h"
#include "framework/uxscrollbar.h"
#include "platform/rtl/sysutils.h"
#include "platform/win/system.h"

namespace {

class Container : public EditorsTest {};

// Writes the composed picture of the form's client area when
// PV_WRITE_REFERENCE_IMAGES names a folder (reference images are looked at,
// not compared).
void MaybeWriteReference(HeadlessBackend* hb, TForm* Form, const char* Name) {
  const char* Dir = std::getenv("PV_WRITE_REFERENCE_IMAGES");
  if (!Dir) return;
  TPoint TL = Form->ClientToScreen({0, 0});
  RECT R{TL.x, TL.y, TL.x + Form->ClientWidth(), TL.y + Form->ClientHeight()};
  hb->SaveScreenshot((std::filesystem::path(Dir) / Name).string(), &R);
}

TEST_F(Container, BorderStylesAndLookAndFeelKinds) {
  // row 1: each border style with the border drawn on the edges (no
  // transparent band); row 2: each look-and-feel kind's default border
  std::vector<TTestContainer*> Styles, Kinds;
  for (int S = cbsNone; S <= cbsOffice11; ++S) {
    TTestContainer* C = NewContainer(8 + S * 80, 8, 72, 24);
    C->Style()->SetTransparentBorder(false);
    C->Style()->SetBorderStyle(TuxContainerBorderStyle(S));
    Styles.push_back(C);
  }
  for (int K = lfFlat; K <= lfOffice11; ++K) {
    TTestContainer* C = NewContainer(8 + K * 80, 48, 72, 24);
    C->Style()->GetLookAndFeel()->SetKind(TuxLookAndFeelKind(K));
    Kinds.push_back(C);
  }
  Pump();
  MaybeWriteReference(hb, Form, "container_borders.png");
  const TColor Window = RGBOf(clWindow), Face = RGBOf(clBtnFace), Frame = RGBOf(clWindowFrame),
               Shadow = RGBOf(clBtnShadow), Light = RGBOf(clBtnHighlight), Dk = RGBOf(cl3DDkShadow),
               L3 = RGBOf(cl3DLight);
  struct Case {
    TuxContainerBorderStyle S;
    TColor Corner, Inner, Content, BottomRight, InnerBottomRight;
  } Cases[] = {
      {cbsNone, Window, Window, Window, Window, Window},
      {cbsSingle, Frame, Window, Window, Frame, Window},
      {cbsThick, Frame, Frame, Window, Frame, Frame},
      {cbsFlat, Shadow, Face, Window, Light, Face},
      {cbs3D, Shadow, Dk, Window, Light, L3},
      // the ultra-flat and Office 2003 borders are single lines in the
      // button-shadow colour while neither focused nor hot
      {cbsUltraFlat, Shadow, Window, Window, Shadow, Window},
      {cbsOffice11, Shadow, Window, Window, Shadow, Window},
  };
  for (const Case& K : Cases) {
    SCOPED_TRACE(K.S);
    TTestContainer* C = Styles[K.S];
    EXPECT_EQ(PixelAt(C, 0, 0), K.Corner);
    EXPECT_EQ(PixelAt(C, 1, 1), K.Inner);
    EXPECT_EQ(PixelAt(C, 2, 2), K.Content);
    EXPECT_EQ(PixelAt(C, 71, 23), K.BottomRight);
    EXPECT_EQ(PixelAt(C, 70, 22), K.InnerBottomRight);
    int W = uxGetContainerBorderWidth(K.S);
    EXPECT_EQ(C->InnerControl()->BoundsRect(), (TRect{W, W, 72 - W, 24 - W}));
  }
  // With the transparent band (the default) a one-pixel border leaves the
  // outermost pixels to the parent: the window region ends there.
  struct KindCase {
    TuxLookAndFeelKind K;
    TuxContainerBorderStyle Drawn;
    TColor Outer, Second;
  } KindCases[] = {{lfFlat, cbsFlat, Shadow, Face},
                   {lfStandard, cbs3D, Shadow, Dk},
                   {lfUltraFlat, cbsSingle, Face, Shadow},
                   {lfOffice11, cbsSingle, Face, Shadow}};
  for (const KindCase& K : KindCases) {
    SCOPED_TRACE(K.K);
    TTestContainer* C = Kinds[K.K];
    EXPECT_EQ(C->ViewInfo()->BorderStyle, K.Drawn);
    EXPECT_EQ(PixelAt(C, 0, 0), K.Outer);
    EXPECT_EQ(PixelAt(C, 1, 1), K.Second);
    EXPECT_EQ(PixelAt(C, 2, 2), Window);
    EXPECT_EQ(C->InnerControl()->BoundsRect(), (TRect{2, 2, 70, 22}));
  }
}

TEST_F(Container, ShadowHotFocusedAndDisabled) {
  const TColor Window = RGBOf(clWindow), Face = RGBOf(clBtnFace), Shadow = RGBOf(clBtnShadow),
               Highlight = RGBOf(clHighlight);
  TTestContainer* Shadowed = NewContainer(8, 8, 90, 24);
  Shadowed->Style()->SetShadow(true);
  Shadowed->Style()->SetBorderStyle(cbsSingle);
  TTestContainer* Hot = NewContainer(108, 8, 90, 24);
  Hot->Style()->GetLookAndFeel()->SetKind(lfUltraFlat);
  TTestContainer* Focused = NewContainer(208, 8, 90, 24);
  Focused->Style()->GetLookAndFeel()->SetKind(lfOffice11);
  TTestContainer* Disabled = NewContainer(308, 8, 90, 24);
  Disabled->Style()->GetLookAndFeel()->SetKind(lfUltraFlat);
  Disabled->SetEnabled(false);
  Pump();
  Focused->SetFocus();
  TPoint P = Hot->ClientToScreen({1, 12});  // on the container's own window
  hb->MouseMove(P.x, P.y);
  Pump();
  MaybeWriteReference(hb, Form, "container_states.png");

  // shadow: 3 more pixels right and below, the outer corners left to the parent
  EXPECT_EQ(Shadowed->ViewInfo()->ContentRect, (TRect{2, 2, 85, 19}));
  EXPECT_EQ(PixelAt(Shadowed, 88, 1), Face);
  EXPECT_EQ(PixelAt(Shadowed, 1, 22), Face);
  EXPECT_EQ(PixelAt(Shadowed, 88, 10), Shadow);
  EXPECT_EQ(PixelAt(Shadowed, 40, 22), Shadow);
  EXPECT_EQ(PixelAt(Shadowed, 1, 1), RGBOf(clWindowFrame));

  EXPECT_TRUE(Hot->ViewInfo()->StateFlags & uxcsHot);
  EXPECT_EQ(Hot->ViewInfo()->HotLevel, 2);
  EXPECT_EQ(PixelAt(Hot, 1, 1), Highlight);

  EXPECT_EQ(GetFocus(), Focused->InnerControl()->Handle());
  EXPECT_TRUE(Focused->Focused());
  EXPECT_EQ(Focused->ViewInfo()->StateFlags, uxcsFocused);
  EXPECT_EQ(PixelAt(Focused, 1, 1), RGBOf(Office11SelectedBorderColor));

  EXPECT_EQ(Disabled->ViewInfo()->StateFlags, uxcsDisabled);
  EXPECT_EQ(PixelAt(Disabled, 1, 1), Shadow);
  EXPECT_EQ(PixelAt(Disabled, 2, 2), Face);
  EXPECT_EQ(Disabled->InnerControl()->Color(), clBtnFace);

  // leaving takes the hot state away; a held modifier keeps it from coming
  TPoint Out = Form->ClientToScreen({500, 300});
  hb->MouseMove(Out.x, Out.y);
  Pump();
  hb->AdvanceClock(50);
  Pump();
  EXPECT_FALSE(Hot->ViewInfo()->StateFlags & uxcsHot);
  EXPECT_EQ(PixelAt(Hot, 1, 1), Shadow);
  EXPECT_EQ(PixelAt(Hot, 2, 2), Window);
  hb->KeyDown(VK_SHIFT);
  hb->MouseMove(P.x, P.y);
  Pump();
  EXPECT_FALSE(Hot->ViewInfo()->StateFlags & uxcsHot);
  hb->KeyUp(VK_SHIFT);
  Pump();
}

TEST_F(Container, EdgesLeaveTheMissingSidesToTheInnerControl) {
  TTestContainer* C = NewContainer(10, 10, 80, 30);
  C->Style()->SetBorderStyle(cbsSingle);
  C->Style()->SetTransparentBorder(false);
  C->Style()->SetEdges(uxbLeft | uxbTop);
  Pump();
  EXPECT_EQ(C->ViewInfo()->ContentRect, (TRect{1, 1, 80, 30}));
  EXPECT_EQ(C->InnerControl()->BoundsRect(), (TRect{1, 1, 80, 30}));
  EXPECT_EQ(PixelAt(C, 0, 10), RGBOf(clWindowFrame));
  EXPECT_EQ(PixelAt(C, 10, 0), RGBOf(clWindowFrame));
}

TEST_F(Container, ColourSetOnTheControlGoesToTheStyle) {
  TTestContainer* C = NewContainer(10, 10);
  EXPECT_FALSE(C->Style()->AssignedValues() & uxStyleValue(csvColor));
  C->SetColor(clYellow);
  EXPECT_TRUE(C->Style()->AssignedValues() & uxStyleValue(csvColor));
  EXPECT_EQ(C->Style()->GetColor(), clYellow);
  EXPECT_EQ(C->ViewInfo()->FillColor, clYellow);
  EXPECT_EQ(C->InnerControl()->Color(), clYellow);
  // a parent colour change leaves an unassigned colour unassigned
  TTestContainer* P = NewContainer(10, 50);
  P->SetParentColor(true);
  Form->SetColor(clAqua);
  EXPECT_FALSE(P->Style()->AssignedValues() & uxStyleValue(csvColor));
  EXPECT_EQ(P->Style()->GetColor(), clAqua);
}

TEST_F(Container, FocusGoesToTheInnerControlAndTabMovesOn) {
  TTestContainer* A = NewContainer(10, 10);
  TTestContainer* B = NewContainer(10, 50);
  Pump();
  A->SetFocus();
  Pump();
  EXPECT_EQ(GetFocus(), A->InnerControl()->Handle());
  EXPECT_TRUE(A->Focused());
  EXPECT_FALSE(A->MayFocus());
  hb->Key(VK_TAB);
  Pump();
  EXPECT_EQ(GetFocus(), B->InnerControl()->Handle());
  EXPECT_TRUE(B->Focused());
  EXPECT_FALSE(A->Focused());
  hb->Key(VK_TAB, HeadlessBackend::Shift);
  Pump();
  EXPECT_EQ(GetFocus(), A->InnerControl()->Handle());
}

TEST_F(Container, OwnScrollBarsLieOverTheInnerControlsBars) {
  ASSERT_TRUE(uxIsScrollBarInfoAvailable());
  TTestContainer* C = NewContainer(10, 10, 160, 90, true, true);
  auto* M = static_cast<TMemo*>(C->InnerControl());
  M->SetWordWrap(false);
  AnsiString Text;
  for (int I = 0; I < 40; ++I) Text += "line " + IntToStr(I) + " of the memo, long enough to scroll sideways\r\n";
  M->SetText(Text);
  Pump();
  C->PostUpdateScrollBars();
  Pump();
  MaybeWriteReference(hb, Form, "container_scrollbars.png");
  ASSERT_NE(C->VScrollBar(), nullptr);
  ASSERT_TRUE(C->VScrollBar()->Visible());
  ASSERT_TRUE(C->HScrollBar()->Visible());
  SCROLLBARINFO Info{};
  ASSERT_TRUE(uxGetScrollBarInfo(M->Handle(), OBJID_VSCROLL, Info));
  TPoint TL = C->ScreenToClient({Info.rcScrollBar.left, Info.rcScrollBar.top});
  EXPECT_EQ(C->VScrollBar()->Left(), TL.x);
  EXPECT_EQ(C->VScrollBar()->Top(), TL.y);
  EXPECT_EQ(C->VScrollBar()->Width(), Info.rcScrollBar.right - Info.rcScrollBar.left);
  SCROLLINFO SI{};
  SI.cbSize = sizeof(SI);
  SI.fMask = SIF_ALL;
  GetScrollInfo(M->Handle(), SB_VERT, &SI);
  EXPECT_EQ(C->VScrollBar()->Max(), SI.nMax);
  EXPECT_EQ(C->VScrollBar()->PageSize(), int(SI.nPage));
  // the own bars follow the container's enabled state
  C->SetEnabled(false);
  EXPECT_FALSE(C->VScrollBar()->Enabled());
}

}  // namespace
