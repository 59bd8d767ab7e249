// Dock painters and the non-client frame they lay out: colour mixes, metrics,
// caption geometry, button faces and glyphs in the four view styles.
#include <memory>

#include "docking/kxdockpainters.h"
#include "docking/tests/docktest.h"
#include "framework/uxoffice11.h"
#include "platform/gdi/tests/refimage.h"

namespace {

COLORREF Rgb(TColor C) { return ColorToRGB(C) & 0xFFFFFF; }

class PainterTest : public DockTest {
 protected:
  TForm* F = nullptr;
  TkxDockSite* Site = nullptr;
  TkxDockingManager* M = nullptr;
  std::unique_ptr<TBitmap> Bmp;
  void SetUp() override {
    DockTest::SetUp();
    F = NewForm();
    M = new TkxDockingManager(F);
    M->SetViewStyle(vsNET);
    M->SetViewStyle(vsStandard);  // the standard defaults: MS Sans Serif 8
    Site = NewSite(F);
    F->Show();
    Pump();
    Bmp = std::make_unique<TBitmap>();
    Bmp->SetSize(64, 32);
  }
  COLORREF Px(int X, int Y) { return Rgb(Bmp->Canvas()->Pixels(X, Y)); }
  void Clear(TColor C) {
    Bmp->Canvas()->Brush()->SetColor(C);
    Bmp->Canvas()->FillRect(TRect(0, 0, 64, 32));
  }
};

TEST_F(PainterTest, ColourMixesRoundHalvesToEven) {
  const struct {
    COLORREF In;
    COLORREF Light, LightLight, Dark, DarkDark;
  } Cases[] = {
      {RGB(212, 208, 200), RGB(229, 227, 222), RGB(246, 246, 244), RGB(127, 125, 120), RGB(42, 42, 40)},
      {RGB(0, 0, 0), RGB(102, 102, 102), RGB(204, 204, 204), RGB(0, 0, 0), RGB(0, 0, 0)},
      {RGB(255, 255, 255), RGB(255, 255, 255), RGB(255, 255, 255), RGB(153, 153, 153), RGB(51, 51, 51)},
      // 0.6 x 5 = 3 exactly; 0.2 x 5 = 1; 0.6 x 15 = 9; 0.2 x 15 = 3; 0.6 x 25 = 15; 0.2 x 25 = 5
      {RGB(5, 15, 25), RGB(105, 111, 117), RGB(205, 207, 209), RGB(3, 9, 15), RGB(1, 3, 5)},
      // 0.2 x 2.5 -> halves: 0.6 x 1 = 0.6 -> 1; 0.2 x 12 = 2.4 -> 2; 0.2 x 13 = 2.6 -> 3
      {RGB(1, 12, 13), RGB(103, 109, 110), RGB(204, 206, 207), RGB(1, 7, 8), RGB(0, 2, 3)},
  };
  for (const auto& C : Cases) {
    EXPECT_EQ(Rgb(TkxDockControlPainter::LightColor(TColor(C.In))), C.Light) << std::hex << C.In;
    EXPECT_EQ(Rgb(TkxDockControlPainter::LightLightColor(TColor(C.In))), C.LightLight) << std::hex << C.In;
    EXPECT_EQ(Rgb(TkxDockControlPainter::DarkColor(TColor(C.In))), C.Dark) << std::hex << C.In;
    EXPECT_EQ(Rgb(TkxDockControlPainter::DarkDarkColor(TColor(C.In))), C.DarkDark) << std::hex << C.In;
  }
  // 0.6 x 2.5 and 0.2 x 12.5 are the halves: 1.5 -> 2 (even), 2.5 -> 2 (even)
  EXPECT_EQ(Rgb(kxDockScaleColor(TColor(RGB(5, 0, 0)), 30)), RGB(2, 0, 0));
  EXPECT_EQ(Rgb(kxDockScaleColor(TColor(RGB(5, 0, 0)), 50)), RGB(2, 0, 0));
  EXPECT_EQ(Rgb(kxDockScaleColor(TColor(RGB(7, 0, 0)), 50)), RGB(4, 0, 0));
}

TEST_F(PainterTest, NetLightDefaultColourRisesBy35CappedAtWhite) {
  TkxDockPanel* P = NewPanel(F, "P");
  TkxDockControlNETPainter N(P);
  const struct {
    COLORREF In, Out;
  } Cases[] = {{RGB(212, 208, 200), RGB(247, 243, 235)},
               {RGB(255, 255, 255), RGB(255, 255, 255)},
               {RGB(230, 100, 0), RGB(255, 125, 25)},
               {RGB(0, 0, 0), RGB(35, 35, 35)}};
  for (const auto& C : Cases) {
    P->SetColor(TColor(C.In));
    EXPECT_EQ(Rgb(N.LightDefaultColor()), C.Out) << std::hex << C.In;
  }
}

TEST_F(PainterTest, StandardMetricsWithAnEightPointFont) {
  TkxDockPanel* P = NewPanel(F, "P");
  ASSERT_EQ(P->Font()->Size(), 8);
  TkxDockControlPainter* S = P->Painter();
  EXPECT_EQ(S->BorderWidth(), 2);
  EXPECT_EQ(S->CaptionHeight(), 16);
  EXPECT_EQ(S->CaptionButtonSize(), 12);
  EXPECT_EQ(S->TabsHeight(), 30);
  EXPECT_EQ(S->HideBarHeight(), 28);
  EXPECT_EQ(S->HideBarWidth(), 28);
  EXPECT_EQ(S->GetDefaultImageHeight(), 16);
  EXPECT_EQ(S->GetImageHeight(), 0);
  // An image list taller than the text raises the strips.
  auto* Images = new TCustomImageList(F);
  Images->SetWidth(32);
  Images->SetHeight(32);
  M->SetImages(Images);
  EXPECT_EQ(S->TabsHeight(), 2 * 2 + 32 + 8);
  EXPECT_EQ(S->HideBarWidth(), 2 * 2 + 32 + 4);
  M->SetViewStyle(vsNET);
  EXPECT_EQ(P->Painter()->CaptionHeight(), 8 + 10);
  EXPECT_FALSE(P->Painter()->CanVerticalCaption());
  M->SetViewStyle(vsXP);  // no visual styles here: the standard metrics
  EXPECT_TRUE(P->Painter()->CanVerticalCaption());
  EXPECT_EQ(P->Painter()->CaptionHeight(), 16);
  EXPECT_EQ(P->Painter()->CaptionButtonSize(), 12);
}

TEST_F(PainterTest, TopDockedPanelHasAVerticalCaptionWithButtonsStackedDownItsLeftSide) {
  TkxDockPanel* P = NewPanel(F, "P", 300, 120);
  P->DockTo(Site, dtTop, -1);
  auto* Q = NewPanel(F, "Q");
  Q->DockTo(P, dtBottom, -1);  // a vertical side container: P can maximize
  Pump();
  ASSERT_TRUE(P->IsCaptionVertical());
  ASSERT_TRUE(P->HasCaption() && P->HasBorder());
  const TRect C = P->CaptionRect();
  EXPECT_EQ(C.left, 2);
  EXPECT_EQ(C.right - C.left, 16);
  const TRect Buttons[] = {P->CloseButtonRect(), P->HideButtonRect(), P->MaximizeButtonRect()};
  const int Tops[] = {4, 18, 32};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Buttons[i].top - C.top, Tops[i]) << i;
    EXPECT_EQ(Buttons[i].left - C.left, 2) << i;
    EXPECT_EQ(Buttons[i].right - Buttons[i].left, 12) << i;
  }
  EXPECT_EQ(P->GetMinimizedHeight(), 52);
  EXPECT_EQ(P->GetMinimizedWidth(), 20);
  // Without its hide button the maximize button moves into its place.
  P->SetCaptionButtons(TkxCaptionButtons{cbClose, cbMaximize});
  Pump();
  EXPECT_EQ(P->MaximizeButtonRect().top - P->CaptionRect().top, 18);
}

TEST_F(PainterTest, HorizontalCaptionButtonsFromTheRightAndNeverAnInvertedClientArea) {
  TkxDockPanel* P = NewPanel(F, "P", 300, 200);
  P->DockTo(Site, dtLeft, -1);
  Pump();
  ASSERT_FALSE(P->IsCaptionVertical());
  const TRect C = P->CaptionRect();
  EXPECT_EQ(C.right - P->CloseButtonRect().right, 4);
  EXPECT_EQ(P->CloseButtonRect().top - C.top, 2);
  EXPECT_EQ(P->CloseButtonRect().left - P->HideButtonRect().right, 2);
  RECT Client;
  GetClientRect(P->Handle(), &Client);
  POINT O{0, 0};
  ClientToScreen(P->Handle(), &O);
  EXPECT_EQ(O.y - P->ScreenWindowRect().top, 20);  // border 2, caption 16, separator 2
  // Narrower than its frame: the client area shrinks to nothing, never below.
  P->SetWidth(3);
  Pump();
  GetClientRect(P->Handle(), &Client);
  EXPECT_EQ(Client.right, 0);
  EXPECT_GE(Client.bottom, 0);
  // Hidden, the control lets the pointer through.
  P->SetVisible(false);
  EXPECT_EQ(SendMessageA(P->Handle(), WM_NCHITTEST, 0, 0), LRESULT(HTTRANSPARENT));
}

TEST_F(PainterTest, PressedButtonIsSunkenWithItsGlyphMovedAndALeftButtonLooksRaised) {
  TkxDockPanel* P = NewPanel(F, "P");
  TkxDockControlPainter* S = P->Painter();
  const TColor Face = clBtnFace;
  auto Draw = [&](bool Down, bool Hot) {
    Clear(Face);
    S->DrawCaptionCloseButton(Bmp->Canvas(), TRect(10, 10, 22, 22), false, Down, Hot, false);
  };
  Draw(true, true);
  EXPECT_EQ(Px(10, 10), Rgb(TkxDockControlPainter::DarkDarkColor(Face)));   // sunken outer edge
  EXPECT_EQ(Px(21, 21), Rgb(TkxDockControlPainter::LightLightColor(Face)));
  EXPECT_EQ(Px(13, 13), Rgb(clBlack));  // the cross starts one pixel lower and to the right
  Draw(true, false);  // pressed but no longer under the mouse
  EXPECT_EQ(Px(10, 10), Rgb(TkxDockControlPainter::LightLightColor(Face)));
  EXPECT_EQ(Px(12, 12), Rgb(clBlack));
}

TEST_F(PainterTest, OfficeButtonsAreFlatUntilHotAndTheirGlyphTakesTheInactiveTextColour) {
  M->SetViewStyle(vsOffice11);
  TkxDockPanel* P = NewPanel(F, "P");
  TkxDockControlPainter* S = P->Painter();
  Clear(clWhite);
  S->DrawCaptionButton(Bmp->Canvas(), TRect(10, 10, 22, 22), true, false, false);
  for (int x = 8; x < 24; ++x) EXPECT_EQ(Px(x, 10), Rgb(clWhite)) << x;
  EXPECT_EQ(Rgb(S->CaptionSignColor(true, false, true)), Rgb(Office11InactiveCaptionTextColor));
  EXPECT_EQ(Rgb(S->CaptionSignColor(true, true, true)), Rgb(Office11InactiveCaptionTextColor));
  EXPECT_EQ(Rgb(S->CaptionSignColor(true, false, false)), Rgb(Office11ActiveCaptionTextColor));
  S->DrawCaptionButton(Bmp->Canvas(), TRect(10, 10, 22, 22), true, false, true);
  EXPECT_NE(Px(15, 15), Rgb(clWhite));
}

TEST_F(PainterTest, NetAndOfficeCaptionsStayHorizontalOnTopDockedPanels) {
  for (TkxDockingViewStyle V : {vsNET, vsOffice11}) {
    M->SetViewStyle(V);
    TkxDockPanel* P = NewPanel(F, V == vsNET ? "P1" : "P2", 300, 100);
    P->DockTo(Site, dtTop, -1);
    Pump();
    EXPECT_FALSE(P->IsCaptionVertical()) << V;
    EXPECT_EQ(P->CaptionRect().bottom - P->CaptionRect().top, 18) << V;
    P->UnDock();
  }
}

TEST_F(PainterTest, MaximizeTrianglePointsAlongTheSideContainer) {
  TkxDockPanel* A = NewPanel(F, "A", 300, 100);
  TkxDockPanel* B = NewPanel(F, "B", 300, 100);
  A->DockTo(Site, dtLeft, -1);
  B->DockTo(A, dtBottom, -1);
  ASSERT_NE(dynamic_cast<TkxVertContainerDockSite*>(A->SideContainer()), nullptr);
  TkxDockControlPainter* S = A->Painter();
  auto Ink = [&](bool Maximized, int Row) {
    Clear(clWhite);
    S->DrawCaptionMaximizeButton(Bmp->Canvas(), TRect(0, 0, 12, 12), false, false, false, Maximized);
    int N = 0;
    for (int x = 2; x < 10; ++x)
      if (Px(x, Row) == Rgb(clBlack)) ++N;
    return N;
  };
  // Up: the base lies at the bottom (row 8), the point at row 5.
  EXPECT_GT(Ink(false, 8), Ink(false, 5));
  // Down when maximized: the base at the top.
  EXPECT_GT(Ink(true, 2), Ink(true, 5));
}

}  // namespace

namespace {

// Captions, caption buttons, a tab strip and a vertical caption in the four
// view styles: panel L at the left (inactive), a tab container of P and Q
// (P active) filling the rest over panel B at the bottom.
class PainterImageTest : public DockTest {};

TEST_F(PainterImageTest, CaptionsAndTabsRenderInTheFourViewStyles) {
  TForm* F = NewForm("Frames", 480, 300);
  F->SetClientSize(420, 240);
  auto* M = new TkxDockingManager(F);
  TkxDockSite* Site = NewSite(F);
  F->Show();
  TkxDockPanel* P = NewPanel(F, "P", 200, 150);
  TkxDockPanel* Q = NewPanel(F, "Q", 200, 150);
  TkxDockPanel* L = NewPanel(F, "L", 120, 150);
  TkxDockPanel* B = NewPanel(F, "B", 200, 70);
  P->SetCaption(Utf8ToAnsi("文本"));
  Q->SetCaption(Utf8ToAnsi("资料"));
  L->SetCaption(Utf8ToAnsi("小说"));
  B->SetCaption(Utf8ToAnsi("查找"));
  P->DockTo(Site, dtClient, -1);
  Q->DockTo(P, dtClient, -1);
  L->DockTo(Site, dtLeft, -1);
  B->DockTo(Site, dtBottom, -1);
  P->Activate();
  Pump();
  const struct {
    TkxDockingViewStyle Style;
    const char* Name;
  } Styles[] = {{vsStandard, "frames_standard"}, {vsNET, "frames_net"}, {vsOffice11, "frames_office11"},
                {vsXP, "frames_xp"}};
  for (const auto& S : Styles) {
    M->SetViewStyle(S.Style);
    Pump();
    RECT R;
    GetWindowRect(F->Handle(), &R);
    TRawImage Img;
    Img.Width = R.right - R.left;
    Img.Height = R.bottom - R.top;
    Img.Pixels = hb->ComposeScreen(R);
    EXPECT_TRUE(MatchesReference(Img, "docking/tests/ref", S.Name)) << S.Name;
  }
}

}  // namespace
