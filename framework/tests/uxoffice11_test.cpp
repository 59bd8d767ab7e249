// The theme manager and the Office 2003 colour table, with a stand-in
// visual-style library (the platform has none), and the shared gradient,
// mark and grip routines.
#include "framework/uxoffice11.h"
#include "framework/uxgraphics.h"
#include "framework/uxthemes.h"

#include "framework/tests/uxtestresources.h"
#include "platform/backend/headless/headless.h"
#include "platform/rtl/strings.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

// ---- a stand-in visual-style library ----

struct FakeLibrary {
  static inline std::u16string FileName, ColorName;
  static inline std::vector<std::u16string> Opened;  // class lists, in order
  static inline std::vector<HTHEME> Closed;
  static inline bool Active = true;
  static inline HTHEME NextHandle = 100;
  static inline bool NameFails = false;

  static HTHEME Open(HWND, const char16_t* List) {
    Opened.push_back(List);
    return NextHandle++;
  }
  static TkxThemeResult Close(HTHEME T) {
    Closed.push_back(T);
    return 0;
  }
  static BOOL IsActive() { return Active; }
  static TkxThemeResult CurrentName(char16_t* File, int FileLen, char16_t* Color, int ColorLen, char16_t*, int) {
    if (NameFails) return kxThemeFailed;
    auto Put = [](char16_t* Buf, int Len, const std::u16string& S) {
      if (!Buf || Len <= 0) return;
      const std::size_t N = std::min<std::size_t>(S.size(), std::size_t(Len - 1));
      std::copy_n(S.data(), N, Buf);
      Buf[N] = 0;
    };
    Put(File, FileLen, FileName);
    Put(Color, ColorLen, ColorName);
    return 0;
  }
  static TkxThemeResult ParentBackground(HWND, HDC DC, const RECT*) {
    SelectObject(DC, GetStockObject(SYSTEM_FONT));  // the library changes the DC's font
    return 0;
  }

  static void Load(const char* File, const char* Color) {
    FileName = AnsiToWide(File);
    ColorName = AnsiToWide(Color);
    Opened.clear();
    Closed.clear();
    Active = true;
    NameFails = false;
    kxLoadUxThemeEntries([](const char* Name) -> void* {
      const std::string N = Name;
      if (N == "OpenThemeData") return reinterpret_cast<void*>(&Open);
      if (N == "CloseThemeData") return reinterpret_cast<void*>(&Close);
      if (N == "IsThemeActive") return reinterpret_cast<void*>(&IsActive);
      if (N == "GetCurrentThemeName") return reinterpret_cast<void*>(&CurrentName);
      if (N == "DrawThemeParentBackground") return reinterpret_cast<void*>(&ParentBackground);
      return nullptr;  // a library may lack names: those entry points stay empty
    });
  }
};

struct ThemedFixture : ::testing::Test {
  void SetUp() override {
    HeadlessBackend::Install();
    RegisterSourceBitmaps();
  }
  void TearDown() override {
    kxLoadUxThemeEntries(nullptr);  // back to the platform's answer: no library
    RebuildOffice11Colors();
  }
};

COLORREF Rgb(TColor C) { return ColorToRGB(C) & 0xFFFFFF; }

TEST(VisualStyles, AbsentLibraryReportsNothingAvailable) {
  HeadlessBackend::Install();
  EXPECT_TRUE(kxIsVersion51OrLater());
  EXPECT_FALSE(kxIsUxThemeLoaded());
  EXPECT_FALSE(AreVisualStylesAvailable(0));
  EXPECT_FALSE(AreVisualStylesAvailable(kxThemeKind(tckScrollBar)));
  EXPECT_EQ(kxOpenThemeOfKind(tckButton), 0u);
  EXPECT_FALSE(IsThemedFileLunaOrRoyale());
  // Every wrapper is a no-op that reports failure.
  EXPECT_EQ(OpenThemeData(nullptr, u"Button"), 0u);
  EXPECT_NE(DrawThemeParentBackground(nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(GetOffice11Scheme(), osNone);
}

TEST_F(ThemedFixture, ThemeHandlesAreCachedPerKindAndClassList) {
  FakeLibrary::Load("C:\\Styles\\Luna.msstyles", "NormalColor");
  ASSERT_TRUE(kxIsUxThemeLoaded());
  // An empty set opens nothing.
  EXPECT_TRUE(AreVisualStylesAvailable(0));
  EXPECT_TRUE(FakeLibrary::Opened.empty());
  // Class lists that differ only in case share the handle; another list
  // closes it and opens a new one.
  const WideString A = u"Edit;Button", B = u"EDIT;button", Other = u"ListView";
  const HTHEME H1 = kxOpenThemeOfKind(tckEdit, &A);
  EXPECT_EQ(kxOpenThemeOfKind(tckEdit, &B), H1);
  const HTHEME H2 = kxOpenThemeOfKind(tckEdit, &Other);
  EXPECT_NE(H2, H1);
  ASSERT_EQ(FakeLibrary::Closed.size(), 1u);
  EXPECT_EQ(FakeLibrary::Closed[0], H1);
  // After a theme change the kind reopens with the list named last.
  kxThemeChanged();
  FakeLibrary::Opened.clear();
  EXPECT_NE(kxOpenThemeOfKind(tckEdit), 0u);
  ASSERT_EQ(FakeLibrary::Opened.size(), 1u);
  EXPECT_EQ(FakeLibrary::Opened[0], u"ListView");
  // The default class name otherwise.
  kxOpenThemeOfKind(tckScrollBar);
  EXPECT_EQ(FakeLibrary::Opened.back(), u"ScrollBar");
}

TEST_F(ThemedFixture, SwitchedOffStylesComeBackWithTheNextThemeChange) {
  FakeLibrary::Load("luna.msstyles", "NormalColor");
  FakeLibrary::Active = false;
  kxThemeChanged();
  EXPECT_FALSE(AreVisualStylesAvailable(kxThemeKind(tckButton)));
  EXPECT_EQ(kxOpenThemeOfKind(tckButton), 0u);
  FakeLibrary::Active = true;
  kxThemeChanged();
  EXPECT_NE(kxOpenThemeOfKind(tckButton), 0u);
}

TEST_F(ThemedFixture, LunaOrRoyaleLooksAtTheFileNameOnly) {
  struct Case {
    const char* File;
    bool Expected;
  } Cases[] = {{"C:\\Windows\\Resources\\Themes\\Luna\\luna.msstyles", true},
               {"/themes/ROYALE.MSSTYLES", true},
               {"C:\\Themes\\luna.msstyles.bak", false},
               {"C:\\Luna.msstyles\\other.msstyles", false}};
  for (const Case& C : Cases) {
    FakeLibrary::Load(C.File, "NormalColor");
    EXPECT_EQ(IsThemedFileLunaOrRoyale(), C.Expected) << C.File;
  }
  FakeLibrary::Load("luna.msstyles", "NormalColor");
  FakeLibrary::NameFails = true;
  EXPECT_FALSE(IsThemedFileLunaOrRoyale());
}

TEST_F(ThemedFixture, ParentBackgroundKeepsTheCallersFont) {
  FakeLibrary::Load("luna.msstyles", "NormalColor");
  TBitmap B;
  B.SetSize(8, 8);
  HDC DC = B.Canvas()->Handle();
  HFONT Font = CreateFontA(14, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, PV_FIXED_FONT_NAME);
  HGDIOBJ Old = SelectObject(DC, Font);
  const RECT R{0, 0, 8, 8};
  EXPECT_EQ(DrawThemeParentBackground(nullptr, DC, &R), 0);
  EXPECT_EQ(GetCurrentObject(DC, OBJ_FONT), Font);
  SelectObject(DC, Old);
  DeleteObject(Font);
}

TEST_F(ThemedFixture, SchemeTablesFollowTheLunaColourName) {
  struct Case {
    const char* File;
    const char* Color;
    TkxOffice11Scheme Scheme;
    COLORREF BarColor1;
    int TubePercent;
  } Cases[] = {
      {"C:\\Themes\\LUNA.MSSTYLES", "normalcolor", osBlue, RGB(221, 236, 254), 41},
      {"luna.msstyles", "HomeStead", osOlive, RGB(244, 247, 222), 125},
      {"luna.msstyles", "Metallic", osSilver, RGB(243, 244, 250), 40},
      {"luna.msstyles", "Emerald", osNone, 0, 75},
      {"royale.msstyles", "NormalColor", osNone, 0, 75},
  };
  AcquireOffice11Colors();
  for (const Case& C : Cases) {
    FakeLibrary::Load(C.File, C.Color);
    RebuildOffice11Colors();
    EXPECT_EQ(GetOffice11Scheme(), C.Scheme) << C.Color;
    EXPECT_EQ(IsOffice11SchemeActive(), C.Scheme != osNone) << C.Color;
    EXPECT_EQ(Office11TubePercent, C.TubePercent) << C.Color;
    if (C.Scheme != osNone) {
      EXPECT_EQ(Rgb(Office11BarColor1), C.BarColor1) << C.Color;
      EXPECT_EQ(Office11GroupRowLineColor, Office11BarCornerColor);
    } else {
      EXPECT_EQ(Rgb(Office11BarColor1), Rgb(MixColorsByPercent(clBtnFace, clWindow, 22))) << C.Color;
    }
  }
  ReleaseOffice11ColorsRef();
}

// ---- classic colours and the drawing routines ----

struct Office11Fixture : ::testing::Test {
  std::unique_ptr<TBitmap> Bmp;
  void SetUp() override {
    HeadlessBackend::Install();
    RegisterSourceBitmaps();
    Bmp = std::make_unique<TBitmap>();
    Bmp->SetSize(320, 32);
    Bmp->Canvas()->Brush()->SetColor(clWhite);
    Bmp->Canvas()->FillRect(uxRect(0, 0, 320, 32));
  }
  HDC DC() { return Bmp->Canvas()->Handle(); }
  COLORREF Px(int X, int Y) {
    const std::uint32_t P = Bmp->ScanLine(Y)[X];
    return ((P >> 16) & 255) | (P & 0xFF00) | ((P & 255) << 16);
  }
  // Width and height of the pixels of colour C within R.
  TSize InkSize(const TRect& R, COLORREF C) {
    int L = R.right, T = R.bottom, Rt = R.left - 1, B = R.top - 1;
    for (int y = R.top; y < R.bottom; ++y)
      for (int x = R.left; x < R.right; ++x)
        if (Px(x, y) == C) {
          L = std::min(L, x);
          Rt = std::max(Rt, x);
          T = std::min(T, y);
          B = std::max(B, y);
        }
    return Rt < L ? TSize{0, 0} : TSize{Rt - L + 1, B - T + 1};
  }
};

TEST_F(Office11Fixture, LinearGradientBands) {
  FillGradientRect(DC(), RECT{0, 0, 4, 2}, clBlack, clWhite, true);
  const int Expected[] = {0, 85, 170, 255};
  for (int x = 0; x < 4; ++x) EXPECT_EQ(Px(x, 0), RGB(Expected[x], Expected[x], Expected[x])) << x;
  // 300 pixels in 256 bands: band i ends at MulDiv(i + 1, 300, 256).
  FillGradientRect(DC(), RECT{0, 4, 300, 6}, clBlack, clWhite, true);
  for (int i : {0, 100, 255}) {
    const int End = MulDiv(i + 1, 300, 256);
    const int V = MulDiv(i, 255, 255);
    EXPECT_EQ(Px(End - 1, 4), RGB(V, V, V)) << "band " << i;
    EXPECT_EQ(GradientColorAt(RECT{0, 4, 300, 6}, End - 1, clBlack, clWhite, true) & 0xFFFFFF, RGB(V, V, V));
  }
  FillGradientRect(DC(), RECT{0, 8, 1, 9}, RGB(10, 20, 30), clWhite, true);
  EXPECT_EQ(Px(0, 8), RGB(10, 20, 30));
  FillGradientRect(DC(), RECT{5, 10, 5, 20}, clBlack, clBlack, true);  // empty: nothing
  EXPECT_EQ(Px(5, 12), RGB(255, 255, 255));
}

TEST_F(Office11Fixture, TubeGradientMatchesTheWorkedRows) {
  const int Saved = Office11TubePercent;
  Office11TubePercent = 41;
  FillTubeGradientRect(DC(), RECT{0, 0, 2, 6}, RGB(221, 236, 254), RGB(129, 169, 226), false);
  const COLORREF Rows[] = {RGB(221, 236, 254), RGB(213, 230, 252), RGB(206, 225, 249),
                           RGB(202, 222, 248), RGB(158, 190, 235), RGB(129, 169, 226)};
  for (int y = 0; y < 6; ++y) EXPECT_EQ(Px(0, y), Rows[y]) << "row " << y;
  // One pixel: the middle colour, and no division by the empty first half.
  FillTubeGradientRect(DC(), RECT{10, 0, 11, 1}, RGB(200, 200, 200), RGB(0, 0, 0), true);
  EXPECT_EQ(Px(10, 0), RGB(200 - MulDiv(200, 41, 200), 200 - MulDiv(200, 41, 200), 200 - MulDiv(200, 41, 200)));
  Office11TubePercent = Saved;
}

TEST_F(Office11Fixture, MarkTriangleSizeFollowsTheRectangle) {
  AcquireOffice11Colors();
  const COLORREF Text = Rgb(Office11TextColor);
  struct Case {
    TRect R;
    bool Horizontal, Enabled;
    TSize Ink;
  } Cases[] = {
      {uxRect(0, 0, 16, 16), true, true, {5, 3}},     // F = 8: n = 3
      {uxRect(20, 0, 37, 16), true, true, {9, 5}},    // F = 9: n = 5
      {uxRect(40, 0, 56, 16), true, false, {5, 3}},   // disabled colour
      {uxRect(60, 0, 76, 14), false, true, {3, 5}},   // pointing right: F = 8, n = 3
  };
  for (const Case& C : Cases) {
    DrawOffice11MarkTriangle(DC(), C.R, C.Horizontal, C.Enabled, false);
    const TSize S = InkSize(C.R, C.Enabled ? Text : Rgb(Office11DisabledTextColor));
    EXPECT_EQ(S.cx, C.Ink.cx) << C.R.left;
    EXPECT_EQ(S.cy, C.Ink.cy) << C.R.left;
  }
  ReleaseOffice11ColorsRef();
}

TEST_F(Office11Fixture, GripDotsAlwaysDrawTheFirstCell) {
  AcquireOffice11Colors();
  DrawOffice11GripDots(DC(), RECT{0, 0, 4, 2}, true);
  EXPECT_EQ(Px(0, 1), Rgb(Office11GripDarkColor)) << "the first cell moved down by one";
  EXPECT_EQ(Px(2, 3), Rgb(Office11GripLightColor));
  // 12 long: three cells, the first at the very start.
  Bmp->Canvas()->FillRect(uxRect(0, 0, 320, 32));
  DrawOffice11GripDots(DC(), RECT{10, 0, 22, 4}, false);
  for (int X : {10, 14, 18}) EXPECT_EQ(Px(X, 0), Rgb(Office11GripDarkColor)) << X;
  EXPECT_NE(Px(22, 0), Rgb(Office11GripDarkColor));
  ReleaseOffice11ColorsRef();
}

TEST_F(Office11Fixture, ReferenceCountKeepsBrushesAndBitmaps) {
  const int Base = Office11ColorsRefCount();
  AcquireOffice11Colors();
  AcquireOffice11Colors();
  ASSERT_NE(Office11FrameBrush, nullptr);
  EXPECT_EQ(Office11StaticBorderBrush, Office11FrameBrush);
  EXPECT_EQ(Office11OwnerBandBrush, Office11MenuBrush);
  ASSERT_NE(Office11SubMenuExpandBitmap, nullptr);
  ASSERT_NE(Office11ExpandButtonMinusBitmap, nullptr);
  EXPECT_EQ(Office11ExpandButtonMinusBitmap->Width(), 11);
  ReleaseOffice11ColorsRef();
  EXPECT_NE(Office11FrameBrush, nullptr) << "a second holder keeps the brushes";
  ReleaseOffice11ColorsRef();
  EXPECT_EQ(Office11ColorsRefCount(), Base);
  if (Base == 0) {
    EXPECT_EQ(Office11FrameBrush, nullptr);
    EXPECT_EQ(Office11SubMenuExpandBitmap, nullptr);
  }
}

TEST_F(Office11Fixture, SubMenuGlyphIsTintedFromLightToDark) {
  AcquireOffice11Colors();
  TBitmap* B = Office11SubMenuExpandBitmap;
  ASSERT_NE(B, nullptr);
  EXPECT_EQ(Rgb(B->Canvas()->Pixels(0, 0)), RGB(255, 0, 255)) << "the background stays";
  EXPECT_EQ(Rgb(B->Canvas()->Pixels(7, 6)), 0u) << "the chevrons stay black";
  // The lightest grey (top left of the disc) becomes the bar's light colour,
  // the darkest (bottom right) its dark colour.
  EXPECT_EQ(Rgb(B->Canvas()->Pixels(2, 3)), Rgb(MixColorsByPercent(Office11BarColor1, Office11BarColor2, 100)));
  EXPECT_EQ(Rgb(B->Canvas()->Pixels(12, 13)), Rgb(MixColorsByPercent(Office11BarColor1, Office11BarColor2, 0)));
  ReleaseOffice11ColorsRef();
}

TEST_F(Office11Fixture, WhiteFaceMakesEveryBlendTheHighlight) {
  const COLORREF SavedFace = GetSysColor(COLOR_BTNFACE);
  const int Index = COLOR_BTNFACE;
  const COLORREF White = RGB(255, 255, 255);
  SetSysColors(1, &Index, &White);
  AcquireOffice11Colors();
  RebuildOffice11Colors();
  const COLORREF Highlight = Rgb(clHighlight);
  for (TColor C : {Office11MarkLightColors[1], Office11MarkLightColors[2], Office11DownColor, Office11HotColor,
                   Office11HotDownColor})
    EXPECT_EQ(Rgb(C), Highlight);
  SetSysColors(1, &Index, &SavedFace);
  RebuildOffice11Colors();
  ReleaseOffice11ColorsRef();
}

// The dock entries in the classic scheme, each by its own mix of system colours.
TEST_F(Office11Fixture, DockEntriesMixTheSystemColours) {
  AcquireOffice11Colors();
  const TColor Snapped1 = uxNearestScreenColor(uxBlendSystemColors(-2, 30, 72));
  const TColor Snapped2 = uxNearestScreenColor(uxBlendSystemColors(14, 44, 40));
  const struct {
    const char* Name;
    TColor Value, Expected;
  } Cases[] = {
      {"HideBar1", Office11HideBarColor1, clBtnFace},
      {"HideBar2", Office11HideBarColor2, MixColorsByPercent(clBtnFace, clWindow, 20)},
      {"DockBack1", Office11DockBackColor1, MixColorsByPercent(clBtnFace, clWindow, 22)},
      {"DockBack2", Office11DockBackColor2, MixColorsByPercent(clBtnFace, clWindow, 96)},
      {"DockBorder1", Office11DockBorderColor1, MixColorsByPercent(clBtnFace, clWindow, 96)},
      {"DockBorder2", Office11DockBorderColor2, clBtnShadow},
      {"ActiveCaptionText", Office11ActiveCaptionTextColor, clBtnHighlight},
      {"InactiveCaptionText", Office11InactiveCaptionTextColor, clBtnText},
      {"TabFrame", Office11TabFrameColor, clHighlight},
      {"TabSeparatorDark", Office11TabSeparatorDarkColor, MixColorsByPercent(clBtnShadow, clWindow, 70)},
      {"TabSeparatorLight", Office11TabSeparatorLightColor, clWhite},
      {"HotButton1", Office11HotButtonColor1, Snapped1},
      {"HotButton2", Office11HotButtonColor2, Snapped1},
      {"PressedButton1", Office11PressedButtonColor1, Snapped2},
      {"PressedButton2", Office11PressedButtonColor2, Snapped2},
      {"HideBarButton1", Office11HideBarButtonColor1, uxBlendSystemColors(41, 11, 48)},
      {"HideBarButton2", Office11HideBarButtonColor2, Snapped2},
      {"ButtonText", Office11ButtonTextColor, clBtnText},
      {"GrayText", Office11GrayTextColor, clGrayText},
  };
  for (const auto& C : Cases) EXPECT_EQ(Rgb(C.Value), Rgb(C.Expected)) << C.Name;
  ReleaseOffice11ColorsRef();
}

}  // namespace
