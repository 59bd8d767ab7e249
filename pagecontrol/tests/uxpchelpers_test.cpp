// The painters' helpers: colour arithmetic, border lines, figure regions, the
// process-wide colours and the registration of the styles.
#include "framework/uxlookandfeel.h"
#include "framework/uxoffice11.h"
#include "framework/uxthemes.h"
#include "pagecontrol/tests/pctest.h"
#include "pagecontrol/uxpcpainters.h"

namespace {

TEST(PcColours, LightenAndHsb) {
  struct Case {
    TColor In;
    int Percent;
    TColor Out;
  } Cases[] = {
      {TColor(RGB(0, 0, 0)), 50, TColor(RGB(0, 0, 0))},           // black stays black
      {TColor(RGB(192, 192, 192)), 85, TColor(RGB(255, 255, 255))},  // the classic grey reaches white
      {TColor(RGB(255, 0, 0)), 20, TColor(RGB(255, 0, 0))},         // full red stays red
      {TColor(RGB(0, 0, 128)), 100, TColor(RGB(0, 0, 255))},
  };
  for (const Case& K : Cases) EXPECT_EQ(LightenColor(K.In, K.Percent), K.Out) << std::hex << K.In;
  EXPECT_EQ(HSBToColor(0, 0, 100), TColor(RGB(255, 255, 255)));
  EXPECT_EQ(HSBToColor(120, 100, 100), TColor(RGB(0, 255, 0)));
  long double H, S, B;
  ColorToHSB(TColor(RGB(0, 0, 255)), H, S, B);
  EXPECT_DOUBLE_EQ(double(H), 240.0);
  EXPECT_DOUBLE_EQ(double(S), 100.0);
  EXPECT_DOUBLE_EQ(double(B), 100.0);
}

// A pixel read from the bits (the DC's clip would hide excluded ones).
TColor BitsPixel(TBitmap& B, int X, int Y) {
  const std::uint32_t P = B.ScanLine(Y)[X];
  return TColor(((P >> 16) & 255) | (P & 0xFF00) | ((P & 255) << 16));
}

TEST(PcRegions, FigureRegionsAndBorderLines) {
  HeadlessBackend::Install();
  // Without Expand a figure is the platform's polygon region of its points.
  const POINT Triangle[3] = {{0, 10}, {10, 0}, {20, 10}};
  std::unique_ptr<TuxRegion> R(CreateFigureRegion({{0, 10}, {10, 0}, {20, 10}}, {lpLT, lpRT}, false));
  HRGN Platform = CreatePolygonRgn(Triangle, 3, WINDING);
  EXPECT_TRUE(EqualRgn(R->Handle(), Platform));
  DeleteObject(Platform);
  // Expanded, a square tab outline grows by its edge rules.
  std::unique_ptr<TuxRegion> E(CreateFigureRegion({{0, 9}, {0, 0}, {9, 0}, {9, 9}}, {lpL, lpT, lpR}, true));
  EXPECT_TRUE(E->PtInRegion(9, 5));
  std::unique_ptr<TuxRegion> N(CreateFigureRegion({{0, 9}, {0, 0}, {9, 0}, {9, 9}}, {lpL, lpT, lpR}, false));
  EXPECT_FALSE(N->PtInRegion(9, 5));
  // Two top lines draw two adjacent rows.
  TBitmap B;
  B.SetSize(10, 10);
  B.Canvas()->Brush()->SetColor(clWhite);
  B.Canvas()->FillRect(pcRect(0, 0, 10, 10));
  TuxCanvas C(B.Canvas());
  TRect Box = pcRect(1, 1, 9, 9);
  DrawBorderLines(&C, Box, {bTop, bTop, bLeft}, {clRed, clBlue, clLime}, true);
  EXPECT_EQ(Box, pcRect(2, 3, 9, 9));
  EXPECT_EQ(BitsPixel(B, 5, 1), clRed);
  EXPECT_EQ(BitsPixel(B, 5, 2), clBlue);
  EXPECT_EQ(BitsPixel(B, 1, 5), clLime);
  EXPECT_EQ(BitsPixel(B, 8, 1), clRed);  // the end point is not drawn: 9 is R's right edge
  // The frame the lines covered is no longer painted.
  B.Canvas()->Brush()->SetColor(clBlack);
  B.Canvas()->FillRect(pcRect(0, 0, 10, 10));
  EXPECT_EQ(BitsPixel(B, 5, 2), clBlue);
  EXPECT_EQ(BitsPixel(B, 5, 5), clBlack);
}

// A stand-in visual-style library in the Luna style's blue scheme.
struct LunaBlue {
  static BOOL Active() { return TRUE; }
  static HTHEME Open(HWND, const char16_t*) { return 7; }
  static TkxThemeResult Name(char16_t* File, int FileLen, char16_t* Color, int ColorLen, char16_t*, int) {
    const std::u16string F = u"C:\\Styles\\Luna.msstyles", C = u"NormalColor";
    std::copy_n(F.c_str(), std::min<int>(FileLen, int(F.size()) + 1), File);
    std::copy_n(C.c_str(), std::min<int>(ColorLen, int(C.size()) + 1), Color);
    return 0;
  }
  static void Load() {
    kxLoadUxThemeEntries([](const char* N) -> void* {
      const std::string S = N;
      if (S == "IsThemeActive") return reinterpret_cast<void*>(&Active);
      if (S == "OpenThemeData") return reinterpret_cast<void*>(&Open);
      if (S == "GetCurrentThemeName") return reinterpret_cast<void*>(&Name);
      return nullptr;
    });
  }
};

using PcHelperTest = PcTest;

TEST_F(PcHelperTest, PaletteChangesReloadOneNoteColoursButNotTheLightFace) {
  const TColor Light = uxPCLightButtonFace();
  const COLORREF Face = ColorToRGB(clBtnFace);
  EXPECT_EQ(ColorToRGB(Light), RGB(std::min(255, GetRValue(Face) + 20), std::min(255, GetGValue(Face) + 20),
                                   std::min(255, GetBValue(Face) + 20)));
  EXPECT_EQ(uxPCOneNoteColor(3), TColor(0x6A240A));
  LunaBlue::Load();
  const int Index[1] = {COLOR_BTNFACE};
  const COLORREF Dark[1] = {RGB(100, 100, 100)};
  SetSysColors(1, Index, Dark);
  uxSystemPaletteChanged();
  EXPECT_EQ(GetOffice11Scheme(), osBlue);
  EXPECT_EQ(uxPCOneNoteColor(0), TColor(0x9C613B));
  EXPECT_EQ(uxPCOneNoteColor(5), TColor(0xF1A675));
  EXPECT_EQ(uxPCLightButtonFace(), Light);
  kxLoadUxThemeEntries(nullptr);
  const COLORREF Back[1] = {Face};
  SetSysColors(1, Index, Back);
  uxSystemPaletteChanged();
  EXPECT_EQ(uxPCOneNoteColor(0), clBtnShadow);
}

TEST_F(PcHelperTest, StylesRegisterInTheirOrder) {
  ASSERT_NE(PaintersFactory(), nullptr);
  // The styles first, then the fixture's test painters.
  EXPECT_EQ(PaintersFactory()->RegisteredClass(0), TuxPCTabsPainter::Class());
  // Starting again registers nothing twice.
  uxInitPCPainters();
  uxDonePCPainters();
  EXPECT_EQ(PaintersFactory()->RegisteredClass(0), TuxPCTabsPainter::Class());
}

}  // namespace
