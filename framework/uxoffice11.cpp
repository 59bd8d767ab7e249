#include "framework/uxoffice11.h"

#include "framework/uxgraphics.h"
#include "framework/uxthemes.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/resources.h"
#include "platform/rtl/strings.h"
#include "platform/win/winuser.h"

#include <algorithm>
#include <memory>
#include <vector>

TColor Office11DockColor1, Office11DockColor2, Office11BarColor1, Office11BarColor2;
TColor Office11MarkLightColors[3], Office11MarkDarkColors[3];
TColor Office11MarkLightBlendColors[3], Office11MarkDarkBlendColors[3];
TColor Office11BarBorderColor, Office11BarCornerColor, Office11GripDarkColor, Office11GripLightColor,
    Office11SeparatorDarkColor, Office11SeparatorLightColor, Office11MarkArrowColor,
    Office11MarkArrowShadowColor, Office11FloatingFrameOuterColor, Office11FloatingFrameInnerColor,
    Office11CaptionTextColor, Office11CaptionMarkHotColor, Office11CaptionMarkPressedColor,
    Office11FrameColor, Office11MenuColor, Office11DownColor, Office11SelectedBorderColor,
    Office11HotGradientColor1, Office11HotGradientColor2, Office11DownGradientColor1,
    Office11DownGradientColor2, Office11BarFaceColor, Office11HotColor, Office11HotDownColor,
    Office11DetachStripColor, Office11TextColor, Office11DisabledTextColor, Office11DefaultColor13,
    Office11DefaultColor27, Office11DefaultColor31, Office11DefaultColor32, Office11GroupRowColor,
    Office11GroupRowTextColor, Office11GroupRowLineColor;
TColor Office11FloatingCaptionFillColor, Office11FloatingCaptionColor, Office11OpenDropDownColor1,
    Office11OpenDropDownColor2, Office11MenuSideStripColor1, Office11MenuSideStripColor2,
    Office11MenuNonRecentSideStripColor1, Office11MenuNonRecentSideStripColor2,
    Office11CalendarHeaderColor, Office11SubItemColor, Office11SelectedCaptionTextColor,
    Office11ContainerBorderColor;
TColor Office11HideBarColor1, Office11HideBarColor2, Office11DockBackColor1, Office11DockBackColor2,
    Office11DockBorderColor1, Office11DockBorderColor2, Office11ActiveCaptionTextColor,
    Office11InactiveCaptionTextColor, Office11TabFrameColor, Office11TabSeparatorDarkColor,
    Office11TabSeparatorLightColor, Office11HotButtonColor1, Office11HotButtonColor2,
    Office11PressedButtonColor1, Office11PressedButtonColor2, Office11HideBarButtonColor1,
    Office11HideBarButtonColor2, Office11ButtonTextColor, Office11GrayTextColor;
int Office11TubePercent = 75;

HBRUSH Office11GripDarkBrush, Office11GripLightBrush, Office11SeparatorDarkBrush,
    Office11SeparatorLightBrush, Office11FrameBrush, Office11MenuBrush, Office11SelectedBorderBrush,
    Office11BarFaceBrush, Office11HotBrush, Office11HotDownBrush, Office11DetachStripBrush,
    Office11DownBrush, Office11SubItemBrush, Office11OwnerBandBrush, Office11DetachStripHotBrush,
    Office11StaticBorderBrush;
TBitmap* Office11SubMenuExpandBitmap = nullptr;
TBitmap* Office11ExpandButtonMinusBitmap = nullptr;
TBitmap* Office11ExpandButtonPlusBitmap = nullptr;

TBitmap* uxLoadResourceBitmap(const char* Name) {
  if (!FindResourceData(RT_BITMAP, Name)) return nullptr;
  auto B = std::make_unique<TBitmap>();
  try {
    B->LoadFromResourceName(Name);
  } catch (const Exception&) {
    return nullptr;
  }
  return B.release();
}

namespace {
TkxOffice11Scheme Scheme = osNone;
bool SchemeActive = false;
int RefCount = 0;

COLORREF Rgb(TColor C) { return ColorToRGB(C) & 0xFFFFFF; }
int R8(COLORREF C) { return C & 255; }
int G8(COLORREF C) { return (C >> 8) & 255; }
int B8(COLORREF C) { return (C >> 16) & 255; }
TColor MakeRGB(int r, int g, int b) { return TColor(r | (g << 8) | (b << 16)); }

TColor Near(TColor C) { return uxNearestScreenColor(C); }

TColor mid(TColor A, TColor B, int P) { return MixColorsByPercent(A, B, P); }
TColor light(int b, int h, int w) { return BlendSystemColors(b, h, w); }

// Scheme detection: only the Luna style file in one of its three colour names
// selects a table; anything else leaves the classic formulas.
TkxOffice11Scheme DetectOffice11Scheme() {
  if (!AreVisualStylesAvailable()) return osNone;
  std::vector<char16_t> File(1024, u'\0'), Color(1024, u'\0'), Size(1024, u'\0');
  if (GetCurrentThemeName(File.data(), 1024, Color.data(), 1024, Size.data(), 1024) != 0) return osNone;
  File.back() = Color.back() = u'\0';
  auto Upper = [](AnsiString S) {
    for (char& C : S)
      if (C >= 'a' && C <= 'z') C = char(C - 'a' + 'A');
    return S;
  };
  AnsiString Name = WideToAnsi(File.data());
  const auto P = Name.find_last_of("\\/");
  if (P != AnsiString::npos) Name = Name.substr(P + 1);
  if (Upper(Name) != "LUNA.MSSTYLES") return osNone;
  const AnsiString ColorName = Upper(WideToAnsi(Color.data()));
  if (ColorName == "NORMALCOLOR") return osBlue;
  if (ColorName == "HOMESTEAD") return osOlive;
  if (ColorName == "METALLIC") return osSilver;
  return osNone;
}

// One row of the scheme table: the colour and its blue, olive and silver values.
struct TSchemeRow {
  TColor* Target;
  TColor Value[3];
};

constexpr TColor C(int r, int g, int b) { return TColor(r | (g << 8) | (b << 16)); }

const TSchemeRow SchemeRows[] = {
    {&Office11DockColor1, {C(158, 190, 245), C(217, 217, 167), C(215, 215, 229)}},
    {&Office11DockColor2, {C(195, 218, 249), C(242, 240, 228), C(243, 243, 247)}},
    {&Office11BarColor1, {C(221, 236, 254), C(244, 247, 222), C(243, 244, 250)}},
    {&Office11BarColor2, {C(129, 169, 226), C(183, 198, 145), C(153, 151, 181)}},
    {&Office11MarkLightColors[0], {C(117, 166, 241), C(176, 194, 140), C(179, 178, 200)}},
    {&Office11MarkLightColors[1], {C(255, 248, 211), C(255, 248, 211), C(255, 248, 211)}},
    {&Office11MarkLightColors[2], {C(254, 149, 82), C(254, 149, 82), C(254, 149, 82)}},
    {&Office11MarkDarkColors[0], {C(0, 53, 145), C(96, 119, 107), C(118, 116, 146)}},
    {&Office11MarkDarkColors[1], {C(255, 193, 118), C(255, 193, 118), C(255, 193, 118)}},
    {&Office11MarkDarkColors[2], {C(255, 221, 152), C(255, 221, 152), C(255, 221, 152)}},
    {&Office11BarBorderColor, {C(59, 97, 156), C(96, 128, 88), C(124, 124, 148)}},
    {&Office11BarCornerColor, {C(123, 164, 224), C(181, 196, 143), C(147, 145, 176)}},
    {&Office11GripDarkColor, {C(39, 65, 118), C(81, 94, 51), C(84, 84, 117)}},
    {&Office11GripLightColor, {C(255, 255, 255), C(255, 255, 255), C(255, 255, 255)}},
    {&Office11SeparatorDarkColor, {C(106, 140, 203), C(96, 128, 88), C(110, 109, 143)}},
    {&Office11SeparatorLightColor, {C(241, 249, 255), C(244, 247, 222), C(255, 255, 255)}},
    {&Office11MarkArrowColor, {C(0, 0, 0), C(0, 0, 0), C(0, 0, 0)}},
    {&Office11MarkArrowShadowColor, {C(255, 255, 255), C(255, 255, 255), C(255, 255, 255)}},
    {&Office11FloatingFrameOuterColor, {C(42, 102, 201), C(116, 134, 94), C(122, 121, 153)}},
    {&Office11FloatingFrameInnerColor, {C(196, 219, 249), C(225, 222, 173), C(219, 218, 228)}},
    {&Office11CaptionTextColor, {C(255, 255, 255), C(255, 255, 255), C(255, 255, 255)}},
    {&Office11CaptionMarkHotColor, {C(0, 0, 0), C(0, 0, 0), C(0, 0, 0)}},
    {&Office11CaptionMarkPressedColor, {C(0, 0, 0), C(0, 0, 0), C(0, 0, 0)}},
    {&Office11FrameColor, {C(0, 45, 150), C(117, 141, 94), C(124, 124, 148)}},
    {&Office11MenuColor, {C(246, 246, 246), C(244, 244, 238), C(253, 250, 255)}},
    {&Office11DownColor, {C(255, 238, 194), C(255, 238, 194), C(255, 238, 194)}},
    {&Office11SelectedBorderColor, {C(0, 0, 128), C(63, 93, 56), C(75, 75, 111)}},
    {&Office11HotGradientColor1, {C(255, 244, 204), C(255, 244, 204), C(255, 244, 204)}},
    {&Office11HotGradientColor2, {C(255, 208, 145), C(255, 208, 145), C(255, 208, 145)}},
    {&Office11DownGradientColor1, {C(255, 211, 142), C(255, 211, 142), C(255, 211, 142)}},
    {&Office11DownGradientColor2, {C(254, 145, 78), C(254, 145, 78), C(254, 145, 78)}},
    {&Office11BarFaceColor, {C(203, 225, 252), C(216, 227, 182), C(214, 211, 231)}},
    {&Office11HotColor, {C(255, 192, 111), C(255, 192, 111), C(255, 192, 111)}},
    {&Office11HotDownColor, {C(254, 128, 62), C(254, 128, 62), C(254, 128, 62)}},
    {&Office11DetachStripColor, {C(169, 199, 240), C(197, 212, 159), C(192, 192, 211)}},
    {&Office11TextColor, {C(0, 0, 0), C(0, 0, 0), C(0, 0, 0)}},
    {&Office11DisabledTextColor, {C(141, 141, 141), C(141, 141, 141), C(141, 141, 141)}},
    {&Office11DefaultColor13, {C(190, 218, 251), C(175, 186, 145), C(229, 229, 235)}},
    {&Office11DefaultColor27, {C(251, 230, 148), C(251, 230, 148), C(251, 230, 148)}},
    {&Office11DefaultColor31, {C(0, 45, 150), C(96, 128, 88), C(124, 124, 148)}},
    {&Office11DefaultColor32, {C(196, 218, 250), C(242, 241, 228), C(243, 243, 247)}},
    {&Office11GroupRowColor, {C(253, 238, 201), C(253, 238, 201), C(253, 238, 201)}},
    {&Office11GroupRowTextColor, {C(55, 104, 185), C(115, 137, 84), C(112, 111, 145)}},
};

void ComputeSchemeColors(TkxOffice11Scheme S) {
  for (const TSchemeRow& Row : SchemeRows) *Row.Target = Row.Value[S - osBlue];
  Office11GroupRowLineColor = Office11BarCornerColor;
  for (int i = 0; i < 3; ++i) {
    Office11MarkLightBlendColors[i] = mid(Office11MarkLightColors[i], Office11BarColor1, 90);
    Office11MarkDarkBlendColors[i] = mid(Office11MarkDarkColors[i], Office11BarCornerColor, 50);
  }
  static const int TubePercents[] = {41, 125, 40};
  Office11TubePercent = TubePercents[S - osBlue];
}

// The classic column, top to bottom: each row reads only rows above it.
void ComputeClassicColors() {
  Office11DockColor1 = Rgb(clBtnFace);
  Office11DockColor2 = mid(clBtnFace, clWindow, 20);
  Office11BarColor1 = mid(clBtnFace, clWindow, 22);
  Office11BarColor2 = mid(clBtnFace, clWindow, 96);
  Office11MarkDarkColors[0] = Rgb(clBtnShadow);
  Office11MarkLightColors[0] = mid(clBtnShadow, clWindow, 74);
  Office11MarkLightColors[1] = Office11MarkDarkColors[1] = Near(light(-15, 29, 86));
  Office11MarkLightColors[2] = Office11MarkDarkColors[2] = Near(light(42, 11, 47));
  Office11BarBorderColor = mid(clBtnFace, clWindow, 85);
  Office11BarCornerColor = Rgb(clBtnFace);
  for (int i = 0; i < 3; ++i) Office11MarkLightBlendColors[i] = mid(Office11MarkDarkColors[i], clWindow, 50);
  for (int i = 0; i < 3; ++i)
    Office11MarkDarkBlendColors[i] = mid(Office11MarkDarkColors[i], Office11BarCornerColor, 50);
  Office11GripDarkColor = mid(clBtnShadow, clWindow, 76);
  Office11GripLightColor = Rgb(clWindow);
  Office11SeparatorDarkColor = mid(clBtnShadow, clWindow, 70);
  Office11SeparatorLightColor = MakeRGB(255, 255, 255);
  Office11MarkArrowColor = Rgb(clBtnText);
  Office11MarkArrowShadowColor = Rgb(clWindow);
  Office11FloatingFrameOuterColor = Rgb(clBtnShadow);
  Office11FloatingFrameInnerColor = Office11BarColor2;
  Office11CaptionTextColor = Rgb(clBtnHighlight);
  Office11CaptionMarkHotColor = Office11CaptionMarkPressedColor = Rgb(clBtnText);
  Office11FrameColor = Rgb(clBtnShadow);
  Office11MenuColor = Rgb(clWindow);
  Office11DownColor = Near(light(-2, 30, 72));
  Office11SelectedBorderColor = Rgb(clHighlight);
  Office11HotGradientColor1 = Office11HotGradientColor2 = Office11DownColor;
  Office11BarFaceColor = Office11BarColor2;
  Office11HotColor = light(41, 11, 48);
  Office11HotDownColor = Near(light(14, 44, 40));
  Office11DownGradientColor1 = Office11DownGradientColor2 = Office11HotDownColor;
  Office11DetachStripColor = Office11BarFaceColor;
  Office11TextColor = Rgb(clBtnText);
  Office11DisabledTextColor = Rgb(clGrayText);
  Office11TubePercent = 75;
  Office11DefaultColor13 = Rgb(clBtnFace);
  Office11DefaultColor27 = Office11HotColor;
  Office11DefaultColor31 = Office11FrameColor;
  Office11DefaultColor32 = Office11DockColor1;
  Office11GroupRowColor = Rgb(clBtnFace);
  Office11GroupRowTextColor = Rgb(clBtnShadow);
  Office11GroupRowLineColor = Rgb(clBtnShadow);
}

void ComputeOffice11Colors() {
  Scheme = DetectOffice11Scheme();
  SchemeActive = AreVisualStylesAvailable() && Scheme != osNone;
  if (SchemeActive) ComputeSchemeColors(Scheme);
  else ComputeClassicColors();
  // derived in both modes
  Office11FloatingCaptionFillColor = Office11BarColor1;
  Office11FloatingCaptionColor = Office11FloatingFrameOuterColor;
  Office11OpenDropDownColor1 = Office11BarColor1;
  Office11OpenDropDownColor2 = Office11BarColor2;
  Office11MenuSideStripColor1 = Office11BarColor1;
  Office11MenuSideStripColor2 = Office11BarColor2;
  Office11MenuNonRecentSideStripColor1 = mid(Office11MenuSideStripColor1, clBlack, 92);
  Office11MenuNonRecentSideStripColor2 = mid(Office11MenuSideStripColor2, clBlack, 92);
  Office11CalendarHeaderColor = Office11DockColor1;
  Office11SubItemColor = Office11MarkDarkBlendColors[0];
  Office11SelectedCaptionTextColor = Office11CaptionTextColor;
  Office11ContainerBorderColor = Office11FrameColor;
  // The dock entries are the same mixes as these: in the classic scheme side
  // bars start at the face colour and fade 20% towards the window colour, the
  // dock background runs from 22% to 96%, frames are the shadow colour, and
  // hot, pressed and hide-bar buttons take the bar's hot colours.
  Office11HideBarColor1 = Office11DockColor1;
  Office11HideBarColor2 = Office11DockColor2;
  Office11DockBackColor1 = Office11BarColor1;
  Office11DockBackColor2 = Office11BarColor2;
  Office11DockBorderColor1 = Office11DockBackColor2;
  Office11DockBorderColor2 = Office11FrameColor;
  Office11ActiveCaptionTextColor = Office11CaptionTextColor;
  Office11InactiveCaptionTextColor = Office11TextColor;
  Office11TabFrameColor = Office11SelectedBorderColor;
  Office11TabSeparatorDarkColor = Office11SeparatorDarkColor;
  Office11TabSeparatorLightColor = Office11SeparatorLightColor;
  Office11HotButtonColor1 = Office11HotButtonColor2 = Office11DownColor;
  Office11PressedButtonColor1 = Office11PressedButtonColor2 = Office11HotDownColor;
  Office11HideBarButtonColor1 = Office11HotColor;
  Office11HideBarButtonColor2 = Office11HotDownColor;
  Office11ButtonTextColor = Office11TextColor;
  Office11GrayTextColor = Office11DisabledTextColor;
}

// Shades the grey disc of the sub-menu expand glyph from the bar's light
// colour (lightest grey) to its dark colour (darkest grey); the background and
// the black chevrons stay.
void TintSubMenuExpandBitmap(TBitmap* B) {
  if (!B || B->Empty()) return;
  TCanvas* Cv = B->Canvas();
  const COLORREF Background = Rgb(Cv->Pixels(0, 0));
  TColor Color1 = Office11BarColor1, Color2 = Office11BarColor2;
  if (Rgb(Color1) == Rgb(Color2)) Color2 = Rgb(Color1) == 0 ? clWhite : clBlack;
  auto Tinted = [&](COLORREF P) { return P != Background && P != 0; };
  int Smallest = 255, Largest = 1;
  for (int y = 0; y < B->Height(); ++y)
    for (int x = 0; x < B->Width(); ++x) {
      const COLORREF P = Rgb(Cv->Pixels(x, y));
      if (!Tinted(P)) continue;
      Smallest = std::min(Smallest, R8(P));
      Largest = std::max(Largest, R8(P));
    }
  for (int y = 0; y < B->Height(); ++y)
    for (int x = 0; x < B->Width(); ++x) {
      const COLORREF P = Rgb(Cv->Pixels(x, y));
      if (!Tinted(P)) continue;
      // A single grey level leaves no spread to map (and no divisor): it
      // takes the light colour.
      const int Percent = Largest > Smallest ? MulDiv(R8(P) - Smallest, 100, Largest - Smallest) : 100;
      Cv->SetPixel(x, y, MixColorsByPercent(Color1, Color2, Percent));
    }
}

HBRUSH* const DistinctBrushes[] = {&Office11GripDarkBrush, &Office11GripLightBrush,
    &Office11SeparatorDarkBrush, &Office11SeparatorLightBrush, &Office11FrameBrush,
    &Office11MenuBrush, &Office11SelectedBorderBrush, &Office11BarFaceBrush, &Office11HotBrush,
    &Office11HotDownBrush, &Office11DetachStripBrush, &Office11DownBrush, &Office11SubItemBrush};

void MakeOffice11Brushes() {
  const TColor Colors[] = {Office11GripDarkColor, Office11GripLightColor, Office11SeparatorDarkColor,
      Office11SeparatorLightColor, Office11FrameColor, Office11MenuColor, Office11SelectedBorderColor,
      Office11BarFaceColor, Office11HotColor, Office11HotDownColor, Office11DetachStripColor,
      Office11DownColor, Office11SubItemColor};
  for (int i = 0; i < 13; ++i) *DistinctBrushes[i] = CreateSolidBrush(Rgb(Colors[i]));
  Office11OwnerBandBrush = Office11MenuBrush;
  Office11DetachStripHotBrush = Office11DownBrush;
  Office11StaticBorderBrush = Office11FrameBrush;
  Office11SubMenuExpandBitmap = uxLoadResourceBitmap("KXSUBMENUEXPAND");
  TintSubMenuExpandBitmap(Office11SubMenuExpandBitmap);
  Office11ExpandButtonMinusBitmap = uxLoadResourceBitmap("KXEXPANDBUTTON_MINUS");
  Office11ExpandButtonPlusBitmap = uxLoadResourceBitmap("KXEXPANDBUTTON_PLUS");
}

void FreeOffice11Brushes() {
  delete Office11SubMenuExpandBitmap;
  delete Office11ExpandButtonMinusBitmap;
  delete Office11ExpandButtonPlusBitmap;
  Office11SubMenuExpandBitmap = Office11ExpandButtonMinusBitmap = Office11ExpandButtonPlusBitmap = nullptr;
  for (HBRUSH* B : DistinctBrushes) {
    if (*B) DeleteObject(*B);
    *B = nullptr;
  }
  Office11OwnerBandBrush = Office11DetachStripHotBrush = Office11StaticBorderBrush = nullptr;
}
}  // namespace

TkxOffice11Scheme GetOffice11Scheme() { return Scheme; }
bool IsOffice11SchemeActive() { return SchemeActive; }
int Office11ColorsRefCount() { return RefCount; }

void AcquireOffice11Colors() {
  if (RefCount == 0) {
    ComputeOffice11Colors();
    MakeOffice11Brushes();
  }
  ++RefCount;
}

void RebuildOffice11Colors() {
  ComputeOffice11Colors();
  if (RefCount > 0) {
    FreeOffice11Brushes();
    MakeOffice11Brushes();
  }
}

void ReleaseOffice11ColorsRef() {
  if (RefCount <= 0) return;  // an unbalanced release must not free brushes still in use
  if (--RefCount == 0) FreeOffice11Brushes();
}

TColor MixColorsByPercent(TColor Color1, TColor Color2, int Percent) {
  const COLORREF A = Rgb(Color1), B = Rgb(Color2);
  auto ch = [&](int a, int b) { return std::min(255, MulDiv(b, 100 - Percent, 100) + MulDiv(a, Percent, 100)); };
  return Near(MakeRGB(ch(R8(A), R8(B)), ch(G8(A), G8(B)), ch(B8(A), B8(B))));
}

TColor BlendSystemColors(int BtnFacePercent, int HighlightPercent, int WindowPercent) {
  return uxBlendSystemColors(BtnFacePercent, HighlightPercent, WindowPercent);
}

TColor ScaleColor(TColor Color, int Percent) {
  const COLORREF C = Rgb(Color);
  auto ch = [&](int v) {
    // rounded to nearest, halves to even
    const int n = v * Percent, q = n / 100, r = n % 100;
    return std::min(255, (r > 50 || (r == 50 && (q & 1))) ? q + 1 : q);
  };
  return MakeRGB(ch(R8(C)), ch(G8(C)), ch(B8(C)));
}

bool IsBlackFaceScheme() { return Rgb(clBtnFace) == 0; }
bool IsWhiteFaceScheme() { return Rgb(clBtnFace) == 0xFFFFFF; }
bool IsBlackFaceNonWhiteTextScheme() { return IsBlackFaceScheme() && Rgb(clBtnText) != 0xFFFFFF; }

void FillRectWithColor(HDC DC, const RECT& R, TColor Color) {
  HBRUSH B = CreateSolidBrush(Rgb(Color));
  FillRect(DC, &R, B);
  DeleteObject(B);
}

void FrameRectWithColor(HDC DC, const RECT& R, TColor Color) {
  HBRUSH B = CreateSolidBrush(Rgb(Color));
  FrameRect(DC, &R, B);
  DeleteObject(B);
}

void FillGradientRect(HDC DC, const RECT& R, TColor Color1, TColor Color2, bool Horizontal) {
  const COLORREF A = Rgb(Color1), B = Rgb(Color2);
  if (A == B) {
    FillRectWithColor(DC, R, A);
    return;
  }
  const int E = Horizontal ? R.right - R.left : R.bottom - R.top;
  const int N = std::min(E, 256);
  if (N < 1) return;
  const int Start = Horizontal ? R.left : R.top, End = Horizontal ? R.right : R.bottom;
  int Prev = Start;
  for (int i = 0; i < N; ++i) {
    const int Next = Start + MulDiv(i + 1, E, N);
    auto ch = [&](int a, int b) { return N == 1 ? a : a + MulDiv(i, b - a, N - 1); };
    if (Next > Prev) {
      RECT Band = Horizontal ? RECT{Prev, R.top, Next, R.bottom} : RECT{R.left, Prev, R.right, Next};
      FillRectWithColor(DC, Band, MakeRGB(ch(R8(A), R8(B)), ch(G8(A), G8(B)), ch(B8(A), B8(B))));
    }
    Prev = std::max(Prev, Next);
    if (Prev >= End) break;
  }
}

TColor GradientColorAt(const RECT& R, int X, TColor Color1, TColor Color2, bool Horizontal) {
  const COLORREF A = Rgb(Color1), B = Rgb(Color2);
  const int E = Horizontal ? R.right - R.left : R.bottom - R.top;
  const int N = std::min(E, 256);
  if (N <= 1) return TColor(A);
  const int Start = Horizontal ? R.left : R.top;
  const int Step = std::max(0, MulDiv(X - Start + 1, N, E) - 1);
  auto ch = [&](int a, int b) { return a + MulDiv(Step, b - a, N - 1); };
  return MakeRGB(ch(R8(A), R8(B)), ch(G8(A), G8(B)), ch(B8(A), B8(B)));
}

void FillTubeGradientRect(HDC DC, const RECT& R, TColor Color1, TColor Color2, bool Horizontal) {
  const COLORREF A = Rgb(Color1), B = Rgb(Color2);
  const int E = Horizontal ? R.right - R.left : R.bottom - R.top;
  if (E < 1) return;
  if (A == B) {
    FillRectWithColor(DC, R, A);
    return;
  }
  const int H = E / 2;
  const int Start = Horizontal ? R.left : R.top, End = Horizontal ? R.right : R.bottom;
  const int C1[3] = {R8(A), G8(A), B8(A)}, C2[3] = {R8(B), G8(B), B8(B)};
  int M[3], T[3], S[3] = {0, 0, 0};
  for (int c = 0; c < 3; ++c) {
    M[c] = C1[c] - MulDiv(C1[c] - C2[c], Office11TubePercent, 200);
    // With one pixel (H = 0) only the middle colour is drawn, so T is unused.
    T[c] = H > 0 ? C1[c] - MulDiv(C1[c] - M[c], E, H) : C1[c];
  }
  for (int i = 0; i < E; ++i) {
    int V[3];
    for (int c = 0; c < 3; ++c) {
      if (i < H) V[c] = C1[c] + MulDiv(i, T[c] - C1[c], E - 1);
      else if (i == H) {
        V[c] = M[c];
        S[c] = H > 0 ? C2[c] + MulDiv(M[c] - C2[c], E, H) : C2[c];
      } else V[c] = S[c] + MulDiv(i, C2[c] - S[c], E - 1);
      V[c] = std::clamp(V[c], 0, 255);
    }
    const int P = Start + i;
    if (P >= End) break;
    const RECT Band = Horizontal ? RECT{P, R.top, P + 1, R.bottom} : RECT{R.left, P, R.right, P + 1};
    if (Band.right > Band.left && Band.bottom > Band.top) FillRectWithColor(DC, Band, MakeRGB(V[0], V[1], V[2]));
  }
}

void FrameRectByOffice11Border(HDC DC, const RECT& R) {
  if (IsBlackFaceScheme() || IsBlackFaceNonWhiteTextScheme() || !Office11SelectedBorderBrush)
    FrameRectWithColor(DC, R, IsBlackFaceScheme() ? clHighlightText : Office11SelectedBorderColor);
  else
    FrameRect(DC, &R, Office11SelectedBorderBrush);
}

void DrawOffice11GripDots(HDC DC, const RECT& R, bool Vertical) {
  const int Length = Vertical ? R.bottom - R.top : R.right - R.left;
  int X = R.left, Y = R.top;
  if (Length % 4 != 0) (Vertical ? Y : X) += 1;
  auto Square = [&](int L, int T, HBRUSH Brush, TColor Color) {
    const RECT Q{L, T, L + 2, T + 2};
    if (Brush) FillRect(DC, &Q, Brush);
    else FillRectWithColor(DC, Q, Color);
  };
  for (bool First = true;; First = false) {
    const int Far = Vertical ? Y + 4 : X + 4;
    if (!First && Far > (Vertical ? R.bottom : R.right)) break;
    Square(X + 1, Y + 1, Office11GripLightBrush, Office11GripLightColor);
    Square(X, Y, Office11GripDarkBrush, Office11GripDarkColor);
    (Vertical ? Y : X) += 4;
  }
}

void DrawOffice11MarkTriangle(HDC DC, const RECT& R, bool Horizontal, bool Enabled, bool Selected) {
  const int F = Horizontal ? R.right - R.left - 8 : R.bottom - R.top - 6;
  const int N = std::max(3, (F % 2 != 0 ? 1 : 0) + (F - 1) / 2);
  DrawOffice11Triangle(DC, R, Horizontal, N, Selected, Enabled);
}

void DrawOffice11Triangle(HDC DC, const RECT& R, bool Horizontal, int Size, bool Selected, bool Enabled) {
  TColor Color = Office11TextColor;
  if (!Enabled) Color = Office11DisabledTextColor;
  else if (Selected && IsWhiteFaceScheme()) Color = clWhite;
  const int N = Size;
  POINT P[3];
  if (Horizontal) {
    const int X = (R.left + R.right - (2 * N - 1)) / 2, Y = (R.top + R.bottom - N) / 2;
    P[0] = {X, Y};
    P[1] = {X + 2 * N - 2, Y};
    P[2] = {X + N - 1, Y + N - 1};
  } else {
    const int X = (R.left + R.right - N) / 2, Y = (R.top + R.bottom - (2 * N - 1)) / 2;
    P[0] = {X, Y};
    P[1] = {X, Y + 2 * N - 2};
    P[2] = {X + N - 1, Y + N - 1};
  }
  HPEN Pen = CreatePen(PS_SOLID, 1, Rgb(Color));
  HBRUSH Brush = CreateSolidBrush(Rgb(Color));
  HGDIOBJ OldPen = SelectObject(DC, Pen), OldBrush = SelectObject(DC, Brush);
  Polygon(DC, P, 3);
  SelectObject(DC, OldPen);
  SelectObject(DC, OldBrush);
  DeleteObject(Pen);
  DeleteObject(Brush);
}
