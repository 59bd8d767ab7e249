// Edit painting utilities: the shared brush cache (bounded, sorted, never a
// deleted brush handed out), arrows, edges, pixel-exact lines, glyphs and the
// flag conversions.
#include "editors/uxeditpaintutils.h"

#include "editors/uxtextout.h"
#include "framework/uxclasses.h"
#include "framework/uxpainters.h"
#include "platform/backend/headless/headless.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

struct PaintUtilsFixture : ::testing::Test {
  std::unique_ptr<TBitmap> B;
  std::unique_ptr<TuxCanvas> C;
  void SetUp() override { HeadlessBackend::Install(); }
  TuxCanvas* Sheet(int W, int H) {
    B = std::make_unique<TBitmap>();
    B->SetSize(W, H);
    B->Canvas()->Brush()->SetColor(clWhite);
    B->Canvas()->FillRect(uxRect(0, 0, W, H));
    C = std::make_unique<TuxCanvas>(B->Canvas());
    return C.get();
  }
  COLORREF Px(int X, int Y) {
    const std::uint32_t P = B->ScanLine(Y)[X];
    return ((P >> 16) & 255) | (P & 0xFF00) | ((P & 255) << 16);
  }
  // The sheet as rows of '#' (not white) and '.' (white).
  std::vector<std::string> Picture() {
    std::vector<std::string> Rows;
    for (int Y = 0; Y < B->Height(); ++Y) {
      std::string Row;
      for (int X = 0; X < B->Width(); ++X) Row += Px(X, Y) == 0xFFFFFF ? '.' : '#';
      Rows.push_back(Row);
    }
    return Rows;
  }
};

COLORREF BrushColor(HBRUSH Brush) {
  LOGBRUSH LB{};
  if (GetObjectA(Brush, sizeof(LB), &LB) != int(sizeof(LB))) return CLR_INVALID;
  return LB.lbColor;
}

TEST_F(PaintUtilsFixture, BrushCacheEvictsTheLeastUsedButNeverDeletesIt) {
  TuxSolidBrushCache Cache(128);
  std::vector<HBRUSH> Brushes;
  for (int I = 0; I < 128; ++I) Brushes.push_back(Cache.GetBrush(TColor(0x010101 * (I + 1))));
  // Every colour but the sixth is asked for again, so the sixth is least used.
  for (int I = 0; I < 128; ++I)
    if (I != 5) EXPECT_EQ(Cache.GetBrush(TColor(0x010101 * (I + 1))), Brushes[I]);
  EXPECT_EQ(Cache.Depth(), 128);
  const HBRUSH New = Cache.GetBrush(TColor(0x123456));
  EXPECT_EQ(Cache.Depth(), 128);
  EXPECT_TRUE(std::is_sorted(Cache.Colors().begin(), Cache.Colors().end()));
  EXPECT_EQ(std::find(Cache.Colors().begin(), Cache.Colors().end(), 0x060606u), Cache.Colors().end());
  EXPECT_EQ(BrushColor(New), COLORREF(0x123456));
  // A caller still painting with the evicted brush paints its colour.
  EXPECT_EQ(BrushColor(Brushes[5]), COLORREF(0x060606));
  // Asked again, the colour comes back with a brush of its own.
  const HBRUSH Again = Cache.GetBrush(TColor(0x060606));
  EXPECT_EQ(BrushColor(Again), COLORREF(0x060606));
  EXPECT_EQ(Cache.Depth(), 128);
}

TEST_F(PaintUtilsFixture, SystemColoursUseTheSystemBrushes) {
  TuxSolidBrushCache Cache(128);
  struct Case {
    TColor Color;
    int Index;
  } Cases[] = {{clBtnFace, COLOR_BTNFACE}, {clWindow, COLOR_WINDOW}, {clHighlight, COLOR_HIGHLIGHT}};
  for (const Case& Cs : Cases) EXPECT_EQ(Cache.GetBrush(Cs.Color), GetSysColorBrush(Cs.Index)) << Cs.Index;
  EXPECT_EQ(Cache.Depth(), 0);
}

TEST_F(PaintUtilsFixture, PaletteChangeEmptiesTheCacheKeepingHandedOutBrushes) {
  TuxSolidBrushCache Cache(128);
  const HBRUSH Red = Cache.GetBrush(clRed);
  uxSystemPaletteChanged();
  EXPECT_EQ(Cache.Depth(), 0);
  EXPECT_EQ(BrushColor(Red), COLORREF(0x0000FF));
  EXPECT_EQ(BrushColor(Cache.GetBrush(clRed)), COLORREF(0x0000FF));
}

TEST_F(PaintUtilsFixture, SharedCacheIsOneForTheProgram) {
  uxInitEditPaintUtils();
  TuxCanvas* Cv = Sheet(4, 4);
  EXPECT_EQ(uxGetSolidBrush(clLime), uxGetCanvasSolidBrush(Cv, clLime));
  EXPECT_EQ(uxGetSolidBrush(clLime), uxGetCanvasSolidBrush(B->Canvas(), clLime));
  uxFillRectWithColor(Cv, uxRect(1, 1, 3, 3), clLime);
  EXPECT_EQ(Px(1, 1), COLORREF(0x00FF00));
  EXPECT_EQ(Px(0, 0), COLORREF(0xFFFFFF));
  uxDoneEditPaintUtils();
}

TEST(ArrowSize, FollowsTheSmallerSide) {
  struct Case {
    int W, H, Direction, RW, RH;
  } Cases[] = {{16, 12, uxadDown, 5, 3}, {16, 12, uxadLeft, 3, 5}, {10, 10, uxadUp, 5, 3}, {20, 7, uxadRight, 2, 3},
               {3, 3, uxadDown, 1, 1}};
  for (const Case& C : Cases) {
    TSize R;
    uxCalcArrowSize(uxSize(C.W, C.H), C.Direction, R);
    EXPECT_EQ(R.cx, C.RW) << C.W << "x" << C.H << " dir " << C.Direction;
    EXPECT_EQ(R.cy, C.RH) << C.W << "x" << C.H << " dir " << C.Direction;
  }
}

TEST_F(PaintUtilsFixture, ArrowsAreCentredTriangles) {
  struct Case {
    int Direction, Extra;
    bool Pressed;
    std::vector<std::string> Picture;
  } Cases[] = {
      {uxadDown, 0, false, {".......", ".......", ".#####.", "..###..", "...#...", ".......", "......."}},
      {uxadUp, 0, true, {".......", ".......", ".......", "....#..", "...###.", "..#####", "......."}},
      {uxadRight, 1, false, {".......", ".......", ".#.#...", ".####..", ".#.#...", ".......", "......."}},
  };
  for (const Case& C : Cases) {
    TuxCanvas* Cv = Sheet(7, 7);
    uxDrawArrows(Cv, C.Direction == uxadRight ? 2 : 3, uxRect(0, 0, 7, 7), C.Direction, C.Extra, C.Pressed, clBlack);
    EXPECT_EQ(Picture(), C.Picture) << "direction " << C.Direction;
  }
}

TEST_F(PaintUtilsFixture, BorderEdgesShrinkTheRectangle) {
  TuxCanvas* Cv = Sheet(5, 5);
  TRect R = uxRect(0, 0, 5, 5);
  uxDrawBorderEdges(Cv, R, 1 | 8, clBlack);
  EXPECT_TRUE(R.left == 1 && R.top == 0 && R.right == 5 && R.bottom == 4);
  EXPECT_EQ(Picture(), (std::vector<std::string>{"#....", "#....", "#....", "#....", "#####"}));
}

TEST_F(PaintUtilsFixture, PolyLineDrawsItsLastPoint) {
  struct Case {
    bool PixelExact;
    std::vector<TPoint> Points;
    std::vector<std::string> Picture;
  } Cases[] = {
      {true, {{0, 0}, {0, 3}}, {"#...", "#...", "#...", "#..."}},
      {true, {{3, 0}, {1, 0}, {1, 2}}, {".###", ".#..", ".#..", "...."}},
      {false, {{0, 3}, {3, 3}}, {"....", "....", "....", "####"}},
  };
  for (const Case& C : Cases) {
    TuxCanvas* Cv = Sheet(4, 4);
    uxDrawPolyLine(Cv, C.Points.data(), int(C.Points.size()) - 1, clBlack, C.PixelExact);
    EXPECT_EQ(Picture(), C.Picture) << (C.PixelExact ? "exact" : "pen");
  }
}

TEST_F(PaintUtilsFixture, FillExceptLeavesTheInnerRectangle) {
  struct Case {
    TRect Inner;
    std::vector<std::string> Picture;
  } Cases[] = {
      {uxRect(0, 0, 4, 4), {"....", "....", "....", "...."}},
      {uxRect(0, 0, 0, 0), {"####", "####", "####", "####"}},
      {uxRect(1, 1, 3, 3), {"####", "#..#", "#..#", "####"}},
  };
  for (const Case& C : Cases) {
    TuxCanvas* Cv = Sheet(4, 4);
    uxFillDCRectExcept(Cv, uxRect(0, 0, 4, 4), C.Inner, uxGetSolidBrush(clNavy));
    EXPECT_EQ(Picture(), C.Picture);
  }
}

TEST(CenterSizeInRect, PressedMovesOnlyWhileItFits) {
  struct Case {
    int RW, SW;
    bool Pressed;
    int X;
  } Cases[] = {{10, 4, false, 3}, {10, 4, true, 4}, {10, 9, true, 1}, {10, 10, true, 0}};
  for (const Case& C : Cases) {
    int X, Y;
    uxCenterSizeInRect(uxRect(0, 0, C.RW, C.RW), uxSize(C.SW, C.SW), C.Pressed, X, Y);
    EXPECT_EQ(X, C.X) << C.RW << " " << C.SW << " " << C.Pressed;
    EXPECT_EQ(Y, C.X);
  }
}

TEST_F(PaintUtilsFixture, GlyphKeepsItsTransparentColour) {
  TBitmap Glyph;
  Glyph.SetSize(4, 2);
  Glyph.Canvas()->Brush()->SetColor(clFuchsia);
  Glyph.Canvas()->FillRect(uxRect(0, 0, 2, 2));
  Glyph.Canvas()->Brush()->SetColor(clRed);
  Glyph.Canvas()->FillRect(uxRect(2, 0, 4, 2));
  Glyph.SetTransparentColor(clFuchsia);
  TuxCanvas* Cv = Sheet(6, 4);
  uxDrawGlyph(Cv, 1, 1, &Glyph, true, clNone);
  EXPECT_EQ(Px(1, 1), COLORREF(0xFFFFFF));
  EXPECT_EQ(Px(3, 1), COLORREF(0x0000FF));
  EXPECT_EQ(Px(5, 1), COLORREF(0xFFFFFF));
  // With a background colour the transparent part takes it.
  Sheet(6, 4);
  uxDrawGlyph(C.get(), 1, 1, &Glyph, true, clLime);
  EXPECT_EQ(Px(1, 1), COLORREF(0x00FF00));
  EXPECT_EQ(Px(3, 1), COLORREF(0x0000FF));
  EXPECT_FALSE(uxIsBitmapUsable(nullptr));
  TBitmap Empty;
  EXPECT_FALSE(uxIsBitmapUsable(&Empty));
  EXPECT_TRUE(uxIsBitmapUsable(&Glyph));
}

TEST(TextFlagConversion, CarriesTheSixPairsOnly) {
  struct Case {
    int TextOut;
    unsigned Canvas;
  } Cases[] = {{UXTO_CENTER_HORIZONTALLY, ctfHCenter}, {UXTO_RIGHT, ctfRight},
               {UXTO_CENTER_VERTICALLY, ctfVCenter},   {UXTO_BOTTOM, ctfBottom},
               {UXTO_SINGLELINE, ctfSingleLine},       {UXTO_WORDBREAK, ctfWordBreak}};
  for (const Case& C : Cases) {
    EXPECT_EQ(uxTextOutFlagsToCanvasFlags(C.TextOut), C.Canvas);
    EXPECT_EQ(uxDrawTextFlagsToTextOutFlags(C.Canvas), C.TextOut);
  }
  EXPECT_EQ(uxDrawTextFlagsToTextOutFlags(ctfLeft | ctfTop | ctfEndEllipsis | ctfExpandTabs), 0);
  EXPECT_EQ(uxTextOutFlagsToCanvasFlags(UXTO_END_ELLIPSIS | UXTO_EXPANDTABS | UXTO_NOCLIP), 0u);
}

TEST(EditColours, ByLook) {
  HeadlessBackend::Install();
  EXPECT_EQ(uxGetHotTrackTextColor(), clHotLight);  // the platform reports version 5.1
  EXPECT_EQ(uxGetEditBorderHighlightColor(false), clHighlight);
  EXPECT_EQ(uxGetUltraFlatButtonColor(true, false),
            TuxUltraFlatLookAndFeelPainter::Instance()->GetButtonFaceColor(uxbsPressed));
  EXPECT_EQ(uxGetUltraFlatButtonColor(false, true),
            TuxOffice11LookAndFeelPainter::Instance()->GetButtonFaceColor(uxbsHot));
  EXPECT_EQ(uxGetEditPainterClass(true, lfFlat), TuxFlatLookAndFeelPainter::Instance());  // no visual styles
  EXPECT_EQ(uxGetEditPainterClass(false, lfOffice11), TuxOffice11LookAndFeelPainter::Instance());
}

}  // namespace
