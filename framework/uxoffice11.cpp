#include "framework/uxoffice11.h"

#include "framework/uxthemes.h"
#include "platform/rtl/strings.h"
#include "platform/win/winuser.h"

#include <algorithm>

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
int Office11TubePercent = 75;

HBRUSH Office11GripDarkBrush, Office11GripLightBrush, Office11SeparatorDarkBrush,
    Office11SeparatorLightBrush, Office11FrameBrush, Office11MenuBrush, Office11SelectedBorderBrush,
    Office11BarFaceBrush, Office11HotBrush, Office11HotDownBrush, Office11DetachStripBrush,
    Office11DownBrush, Office11SubItemBrush, Office11OwnerBandBrush, Office11DetachStripHotBrush,
    Office11StaticBorderBrush;
TBitmap* Office11ExpandButtonMinusBitmap = nullptr;
TBitmap* Office11ExpandButtonPlusBitmap = nullptr;

namespace {
TkxOffice11Scheme Scheme = osNone;
bool SchemeActive = false;
int RefCount = 0;

COLORREF Rgb(TColor C) { return ColorToRGB(C) & 0xFFFFFF; }
int R8(COLORREF C) { return C & 255; }
int G8(COLORREF C) { return (C >> 8) & 255; }
int B8(COLORREF C) { return (C >> 16) & 255; }
TColor MakeRGB(int r, int g, int b) { return TColor(r | (g << 8) | (b << 16)); }

TColor Near(TColor C) {
  HDC DC = GetDC(nullptr);
  COLORREF R = GetNearestColor(DC, Rgb(C));
  ReleaseDC(nullptr, DC);
  return TColor(R & 0xFFFFFF);
}

TColor mid(TColor A, TColor B, int P) { return MixColorsByPercent(A, B, P); }
TColor light(int b, int h, int w) { return BlendSystemColors(b, h, w); }

void ComputeOffice11Colors() {
  Scheme = osNone;  // no visual styles: the classic formulas apply
  SchemeActive = false;
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
}

// The 11 x 11 expand buttons: a dark right and bottom edge, a blue-grey top
// and left edge, a face shaded from white to light blue and the sign.
TBitmap* MakeExpandBitmap(bool Plus) {
  TBitmap* B = new TBitmap();
  B->SetSize(11, 11);
  TCanvas* C = B->Canvas();
  for (int y = 0; y < 11; ++y)
    for (int x = 0; x < 11; ++x) {
      TColor Col;
      if (x == 10 || y == 10) Col = MakeRGB(48, 72, 96);
      else if (x == 0 || y == 0) Col = MakeRGB(144 + (x + y) * 16 / 10, 160 + (x + y) * 16 / 10, 192);
      else {
        const int t = (x + y) * 100 / 18;  // 0 at the top left, 100 at the bottom right
        Col = MixColorsByPercent(MakeRGB(198, 216, 240), MakeRGB(255, 255, 255), t);
      }
      C->SetPixel(x, y, Col);
    }
  for (int i = 3; i <= 7; ++i) {
    C->SetPixel(i, 5, MakeRGB(48, 72, 96));
    if (Plus) C->SetPixel(5, i, MakeRGB(48, 72, 96));
  }
  return B;
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
  Office11ExpandButtonMinusBitmap = MakeExpandBitmap(false);
  Office11ExpandButtonPlusBitmap = MakeExpandBitmap(true);
}

void FreeOffice11Brushes() {
  delete Office11ExpandButtonMinusBitmap;
  delete Office11ExpandButtonPlusBitmap;
  Office11ExpandButtonMinusBitmap = Office11ExpandButtonPlusBitmap = nullptr;
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
  const COLORREF F = Rgb(clBtnFace), H = Rgb(clHighlight), W = Rgb(clWindow);
  if (F == 0 || F == 0xFFFFFF) return TColor(H);
  auto ch = [&](int f, int h, int w) {
    return std::clamp(MulDiv(f, BtnFacePercent, 100) + MulDiv(h, HighlightPercent, 100) +
                          MulDiv(w, WindowPercent, 100), 0, 255);
  };
  return MakeRGB(ch(R8(F), R8(H), R8(W)), ch(G8(F), G8(H), G8(W)), ch(B8(F), B8(H), B8(W)));
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
