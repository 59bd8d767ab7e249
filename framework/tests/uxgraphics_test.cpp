// TuxCanvas and the geometry helpers.
#include "framework/uxgraphics.h"

#include "framework/uxoffice11.h"
#include "framework/tests/uxtestresources.h"
#include "platform/backend/headless/headless.h"
#include "platform/rtl/strings.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

struct CanvasTest : ::testing::Test {
  std::unique_ptr<TBitmap> Bmp;
  std::unique_ptr<TuxCanvas> C;
  void SetUp() override {
    HeadlessBackend::Install();
    Bmp = std::make_unique<TBitmap>();
    Bmp->SetSize(64, 64);
    Bmp->Canvas()->Brush()->SetColor(clWhite);
    Bmp->Canvas()->FillRect(uxRect(0, 0, 64, 64));
    C = std::make_unique<TuxCanvas>(Bmp->Canvas());
  }
  // Read from the bits: reading through the DC would honour its clip region.
  COLORREF Px(int X, int Y) {
    const std::uint32_t P = Bmp->ScanLine(Y)[X];
    return ((P >> 16) & 255) | (P & 0xFF00) | ((P & 255) << 16);
  }
};

TEST_F(CanvasTest, ClipRegionDefaultsToTheLargeRectangle) {
  std::unique_ptr<TuxRegion> R(C->GetClipRegion());
  EXPECT_TRUE(R->PtInRegion(29999, 29999));
  EXPECT_FALSE(R->PtInRegion(30000, 0));
  EXPECT_FALSE(R->PtInRegion(-1, 0));
}

TEST_F(CanvasTest, ExcludingAFillKeepsLaterPaintingOut) {
  C->FillRect(uxRect(10, 10, 20, 20), clRed);
  C->SetBrushColor(clBlue);
  C->FillRect(uxRect(0, 0, 10, 10), nullptr, true);  // fill and exclude
  C->FillRect(uxRect(0, 0, 30, 30), clLime);
  EXPECT_EQ(Px(5, 5), ColorToRGB(clBlue));
  EXPECT_EQ(Px(15, 15), ColorToRGB(clLime));
}

TEST_F(CanvasTest, FrameWiderThanTheRectangleFillsOnlyIt) {
  C->FrameRect(uxRect(10, 10, 14, 30), clBlack, 10);
  EXPECT_EQ(Px(13, 20), ColorToRGB(clBlack));
  EXPECT_EQ(Px(14, 20), 0xFFFFFFu);
  EXPECT_EQ(Px(9, 20), 0xFFFFFFu);
}

TEST_F(CanvasTest, TiledBitmapIsAnchoredAtCanvasMultiples) {
  TBitmap Tile;
  Tile.SetSize(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) Tile.Canvas()->SetPixel(x, y, x == 0 && y == 0 ? clRed : clBlue);
  C->FillRect(uxRect(10, 10, 40, 40), &Tile);
  // Tile origins at 16 and 32 carry the red pixel; the tile at 0 is cut to the rectangle.
  EXPECT_EQ(Px(16, 16), ColorToRGB(clRed));
  EXPECT_EQ(Px(32, 32), ColorToRGB(clRed));
  EXPECT_EQ(Px(16, 32), ColorToRGB(clRed));
  EXPECT_EQ(Px(10, 10), ColorToRGB(clBlue));
  EXPECT_EQ(Px(39, 39), ColorToRGB(clBlue));
  EXPECT_EQ(Px(40, 40), 0xFFFFFFu);
}

TEST_F(CanvasTest, DisabledRightAlignedTextIsOnePixelFurtherLeft) {
  // The fixed font draws exact blocks; a grey ground shows both copies.
  TFont F;
  F.SetName(PV_FIXED_FONT_NAME);
  C->SetFont(&F);
  auto RightmostInk = [&](COLORREF Ink) {
    int Max = -1;
    for (int y = 0; y < 64; ++y)
      for (int x = 0; x < 64; ++x)
        if (Px(x, y) == Ink && x > Max) Max = x;
    return Max;
  };
  const TRect R = uxRect(0, 0, 60, 30);
  C->FillRect(uxRect(0, 0, 64, 64), clSilver);
  C->Font()->SetColor(clBlack);
  C->DrawText("ab", R, ctfRight | ctfSingleLine, true);
  const int Enabled = RightmostInk(0);
  C->FillRect(uxRect(0, 0, 64, 64), clSilver);
  C->DrawText("ab", R, ctfRight | ctfSingleLine, false);
  ASSERT_GE(Enabled, 0);
  // The highlight copy ends where the enabled text ends, the shadow copy one
  // pixel before; both in the canvas's own font (a font colour change made
  // just before must not lose the selected font).
  EXPECT_EQ(RightmostInk(ColorToRGB(clBtnHighlight) & 0xFFFFFF), Enabled);
  EXPECT_EQ(RightmostInk(ColorToRGB(clBtnShadow) & 0xFFFFFF), Enabled - 1);
}

TEST_F(CanvasTest, CalcTextRectCentresHorizontally) {
  const int W = C->TextWidth("abcd");
  TRect R = uxRect(0, 0, 100, 20);
  C->CalcTextRect("abcd", R, ctfHCenter | ctfSingleLine);
  EXPECT_EQ(R.left, (100 - W) / 2);
  EXPECT_EQ(uxRectWidth(R), W);
}

TEST(Geometry, MultiByteTextStart) {
  struct Case {
    int Charset;
    const char* Text;
    bool Expected;
  } Cases[] = {{134, "Abc", false}, {134, "\xD6\xD0\xCE\xC4", true}, {0, "\xD6\xD0", false},
               {0, "Abc", false},  {1, "\xD6\xD0", true},          {136, "", true}};
  for (const Case& C : Cases) EXPECT_EQ(uxIsMultiByteTextStart(C.Charset, C.Text), C.Expected) << C.Charset;
}

TEST(Geometry, RotateAQuarterTurnCounterClockwise) {
  TBitmap B;
  B.SetSize(3, 2);
  B.Handle();
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) B.ScanLine(y)[x] = 0xFF000000u | std::uint32_t(y * 3 + x);
  uxRotateBitmap(&B, uxtrCounterClockwise);
  ASSERT_EQ(B.Width(), 2);
  ASSERT_EQ(B.Height(), 3);
  EXPECT_EQ(B.ScanLine(0)[0] & 0xFFFFFF, 2u);  // the source's top-right pixel
  EXPECT_EQ(B.ScanLine(2)[1] & 0xFFFFFF, 3u);
}

TEST(Geometry, MulDivRoundsHalvesAwayFromZero) {
  struct Case {
    int N, A, D, Expected;
  } Cases[] = {{1, 1, 2, 1}, {-1, 1, 2, -1}, {3, 1, 2, 2}, {5, 0, 0, -1}, {10, 61, 60, 10}};
  for (const Case& C : Cases) EXPECT_EQ(MulDiv(C.N, C.A, C.D), C.Expected) << C.N << "*" << C.A << "/" << C.D;
}

// The one system-colour blend, under both of its names, with worked values;
// hot-track colour is its result snapped to the screen.
TEST(Office11Colours, SystemColourBlend) {
  HeadlessBackend::Install();
  const int Index[] = {COLOR_BTNFACE, COLOR_HIGHLIGHT, COLOR_WINDOW};
  COLORREF Saved[3];
  for (int i = 0; i < 3; ++i) Saved[i] = GetSysColor(Index[i]);
  struct Case {
    COLORREF Face;
    int F, H, W;
    COLORREF Expected;
  } Cases[] = {
      // -4 + 3 + 184, -2 + 6 + 184, -1 + 75 + 184 (clamped)
      {RGB(200, 100, 50), -2, 30, 72, RGB(183, 188, 255)},
      {RGB(200, 100, 50), -100, 0, 0, RGB(0, 0, 0)},  // clamped at 0
      {RGB(0, 0, 0), 50, 50, 0, RGB(10, 20, 250)},    // a black or white face gives the highlight
      {RGB(255, 255, 255), 50, 50, 0, RGB(10, 20, 250)},
  };
  for (const Case& C : Cases) {
    const COLORREF Colors[] = {C.Face, RGB(10, 20, 250), RGB(255, 255, 255)};
    SetSysColors(3, Index, Colors);
    EXPECT_EQ(ColorToRGB(uxBlendSystemColors(C.F, C.H, C.W)) & 0xFFFFFF, C.Expected) << C.F << "," << C.H;
    EXPECT_EQ(ColorToRGB(BlendSystemColors(C.F, C.H, C.W)) & 0xFFFFFF, C.Expected);
  }
  const COLORREF First[] = {Cases[0].Face, RGB(10, 20, 250), RGB(255, 255, 255)};
  SetSysColors(3, Index, First);
  EXPECT_EQ(uxHotTrackColor(), uxNearestScreenColor(TColor(RGB(183, 188, 255))));
  SetSysColors(3, Index, Saved);
}

TEST(Office11Colours, MixAndGradient) {
  HeadlessBackend::Install();
  RegisterSourceBitmaps();
  EXPECT_EQ(MixColorsByPercent(0x0000FF, 0xFF0000, 100) & 0xFFFFFF, 0x0000FFu);
  EXPECT_EQ(MixColorsByPercent(0x0000FF, 0xFF0000, 0) & 0xFFFFFF, 0xFF0000u);
  const RECT R{0, 0, 4, 4};
  EXPECT_EQ(GradientColorAt(R, 0, 0x000000, 0x0000FF, false), 0x000000);
  EXPECT_EQ(GradientColorAt(R, 3, 0x000000, 0x0000FF, false), 0x0000FF);
  // A one-pixel extent takes the first colour and never divides by zero.
  const RECT One{0, 0, 1, 1};
  EXPECT_EQ(GradientColorAt(One, 0, 0x000010, 0x0000FF, true), 0x000010);
  // Acquire and release are balanced; the bitmaps exist while a reference is held.
  const int Count = Office11ColorsRefCount();
  AcquireOffice11Colors();
  EXPECT_NE(Office11ExpandButtonPlusBitmap, nullptr);
  ReleaseOffice11ColorsRef();
  EXPECT_EQ(Office11ColorsRefCount(), Count);
}

}  // namespace

// ---- parent backgrounds under a transparent control ----

#include "platform/controls/forms.h"
#include "platform/controls/tests/ctltest.h"

namespace {

// Paints its left half red and its right half blue.
class TStriped : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;
  void Paint() override {
    Canvas()->Brush()->SetColor(clRed);
    Canvas()->FillRect(uxRect(0, 0, Width() / 2, Height()));
    Canvas()->Brush()->SetColor(clBlue);
    Canvas()->FillRect(uxRect(Width() / 2, 0, Width(), Height()));
  }
};

class ParentBackgroundTest : public CtlTest {
 protected:
  TForm* Form = nullptr;
  TStriped* Parent = nullptr;
  TCustomControl* Child = nullptr;
  TBitmap Bmp;
  void SetUp() override {
    CtlTest::SetUp();
    Form = new TForm(nullptr, 0);
    Form->SetBounds(100, 100, 200, 100);
    Parent = new TStriped(Form);
    Parent->SetBounds(0, 0, 40, 20);
    Parent->SetParent(Form);
    Child = new TCustomControl(Form);
    Child->SetBounds(10, 0, 20, 20);
    Child->SetParent(Parent);
    Form->Show();
    Bmp.SetSize(20, 20);
    Bmp.Canvas()->Brush()->SetColor(clWhite);
    Bmp.Canvas()->FillRect(uxRect(0, 0, 20, 20));
  }
  void TearDown() override {
    delete Form;
    CtlTest::TearDown();
  }
  COLORREF Px(int X, int Y) {
    const std::uint32_t P = Bmp.ScanLine(Y)[X];
    return ((P >> 16) & 255) | (P & 0xFF00) | ((P & 255) << 16);
  }
};

TEST_F(ParentBackgroundTest, TheParentShowsThroughAtTheChildsPlace) {
  TuxCanvas C(Bmp.Canvas());
  uxDrawTransparentControlBackground(Child, &C, uxRect(0, 0, 20, 20), false);
  EXPECT_EQ(Px(0, 5), 0x0000FFu) << "parent x = 10 is in its red half";
  EXPECT_EQ(Px(15, 5), 0xFF0000u) << "parent x = 25 is in its blue half";
  EXPECT_FALSE(Parent->ControlState().Contains(csPaintCopy));
}

TEST_F(ParentBackgroundTest, ThemeBackgroundNeedsADoubleBufferedParentWithoutVisualStyles) {
  TuxCanvas C(Bmp.Canvas());
  uxDrawThemeParentBackground(Child, &C, uxRect(0, 0, 20, 20));
  EXPECT_EQ(Px(0, 5), 0xFFFFFFu) << "no visual-style library: nothing is drawn";
  Parent->SetDoubleBuffered(true);
  uxDrawThemeParentBackgroundOnTabControl(Child, Bmp.Canvas(), uxRect(0, 0, 20, 20));
  EXPECT_EQ(Px(0, 5), 0x0000FFu);
  // A clip rectangle limits the painting.
  Bmp.Canvas()->FillRect(uxRect(0, 0, 20, 20));
  uxDrawTransparentControlBackground(Child, &C, uxRect(0, 0, 5, 5), false);
  EXPECT_EQ(Px(2, 2), 0x0000FFu);
  EXPECT_EQ(Px(12, 12), 0xFFFFFFu);
}

}  // namespace
