// The painters' shared resources: the radio-button glyph cache, the check-box
// glyph size, the row-indicator images, the scroll-bar track patterns and the
// auto-hide pin bitmaps. Created on first use, freed by uxDonePainterResources.
#include "framework/uxoffice11.h"
#include "framework/uxpainters.h"

#include "platform/controls/imglist.h"
#include "platform/rtl/exceptions.h"
#include "platform/rtl/resources.h"

#include <algorithm>
#include <memory>

namespace {

TBitmap* LightPattern = nullptr;
TBitmap* DarkPattern = nullptr;
TCustomImageList* IndicatorImages = nullptr;
std::vector<std::unique_ptr<TBitmap>> IndicatorBitmaps;  // the same images, drawn by the painters
bool IndicatorsLoaded = false;
TBitmap* AutoHideOn = nullptr;
TBitmap* AutoHideOff = nullptr;
bool AutoHideLoaded = false;
TuxRadioButtonImageList* RadioList = nullptr;

COLORREF Rgb(TColor C) { return ColorToRGB(C) & 0xFFFFFF; }

}  // namespace

// ---- scroll-bar patterns ----

void RebuildScrollBarPatterns() {
  for (TBitmap** B : {&LightPattern, &DarkPattern})
    if (!*B) {
      *B = new TBitmap();
      (*B)->SetSize(8, 8);
    }
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool Differ = (x & 1) != (y & 1);
      LightPattern->Canvas()->SetPixel(x, y, Rgb(Differ ? clBtnHighlight : clBtnFace));
      DarkPattern->Canvas()->SetPixel(x, y, Differ ? Rgb(cl3DDkShadow) : TColor(0));
    }
}

TBitmap* uxScrollBarLightPattern() {
  if (!LightPattern) RebuildScrollBarPatterns();
  return LightPattern;
}
TBitmap* uxScrollBarDarkPattern() {
  if (!DarkPattern) RebuildScrollBarPatterns();
  return DarkPattern;
}

// ---- check-box glyph size ----

TSize uxCheckBoxGlyphSize() {
  static TSize Size = [] {
    TSize S{13, 13};
    if (HBITMAP B = LoadOEMBitmap(OBM_CHECKBOXES)) {
      BITMAP BM{};
      if (GetObjectA(B, sizeof(BM), &BM)) S = TSize{BM.bmWidth / 4, BM.bmHeight / 3};
      DeleteObject(B);
    }
    return S;
  }();
  return Size;
}

// ---- indicator images and auto-hide pins ----

TCustomImageList* uxIndicatorImages() {
  if (IndicatorsLoaded) return IndicatorImages;
  IndicatorsLoaded = true;
  static const char* const Names[] = {"UX_ARROWBITMAP",      "UX_EDITBITMAP",       "UX_INSERTBITMAP",
                                      "UX_MULTIDOTBITMAP",   "UX_MULTIARROWBITMAP", "UX_FILTERBITMAP"};
  for (const char* Name : Names) {
    std::unique_ptr<TBitmap> B(uxLoadResourceBitmap(Name));
    if (!B) continue;  // a missing image leaves its indicator blank
    if (!IndicatorImages) IndicatorImages = new TCustomImageList(B->Width(), B->Height());
    IndicatorImages->AddMasked(B.get(), clWhite);
    IndicatorBitmaps.push_back(std::move(B));
  }
  return IndicatorImages;
}

void uxDrawIndicatorImage(TuxCanvas* Canvas, const TRect& R, TuxIndicatorKind Kind) {
  uxIndicatorImages();
  if (Kind == ikNone || int(Kind) > int(IndicatorBitmaps.size())) return;
  TBitmap* B = IndicatorBitmaps[std::size_t(Kind) - 1].get();
  const int X = (R.left + R.right - B->Width()) / 2, Y = (R.top + R.bottom - B->Height()) / 2;
  // White is the transparent colour of the indicator glyphs.
  for (int y = 0; y < B->Height(); ++y)
    for (int x = 0; x < B->Width(); ++x) {
      const COLORREF P = Rgb(B->Canvas()->Pixels(x, y));
      if (P != 0xFFFFFF) Canvas->SetPixel(X + x, Y + y, TColor(P));
    }
}

static void LoadAutoHide() {
  if (AutoHideLoaded) return;
  AutoHideLoaded = true;
  AutoHideOn = uxLoadResourceBitmap("UX_AUTOHIDEON");
  AutoHideOff = uxLoadResourceBitmap("UX_AUTOHIDEOFF");
  for (TBitmap* B : {AutoHideOn, AutoHideOff})
    if (B) B->SetTransparent(true);
}
TBitmap* uxAutoHideOnBitmap() {
  LoadAutoHide();
  return AutoHideOn;
}
TBitmap* uxAutoHideOffBitmap() {
  LoadAutoHide();
  return AutoHideOff;
}

// ---- radio glyphs ----

TuxRadioButtonImageList* TuxRadioButtonImageList::Instance() {
  if (!RadioList) RadioList = new TuxRadioButtonImageList();
  if (RadioList->FGlyphs.empty()) RadioList->BuildGlyphs();
  return RadioList;
}

TuxRadioButtonImageList::TuxRadioButtonImageList() {
  MeasureMetrics();
  BuildPattern();
  FNotifier = std::make_unique<TuxSystemPaletteChangedNotifier>(true);
  FNotifier->OnPaletteChanged = [] {
    if (RadioList) RadioList->Reset();
  };
}

TuxRadioButtonImageList::~TuxRadioButtonImageList() = default;

// The circle's place inside the platform's radio glyph, and the dot of its
// checked form, read from the platform's own drawing.
void TuxRadioButtonImageList::MeasureMetrics() {
  const TSize G = uxCheckBoxGlyphSize();
  TBitmap B;
  B.SetSize(G.cx, G.cy);
  TCanvas* C = B.Canvas();
  auto Fill = [&] {
    C->Brush()->SetColor(clBlack);
    C->FillRect(uxRect(0, 0, G.cx, G.cy));
  };
  Fill();
  TRect R = uxRect(0, 0, G.cx, G.cy);
  DrawFrameControl(C->Handle(), &R, DFC_BUTTON, DFCS_BUTTONRADIOMASK | DFCS_FLAT);
  auto Black = [&](int x, int y) { return Rgb(C->Pixels(x, y)) == 0; };
  FLeft = FTop = -1;
  FWidth = FHeight = 0;
  for (int x = 0; x < G.cx; ++x)
    for (int y = 0; y < G.cy; ++y)
      if (Black(x, y)) {
        if (FLeft < 0) FLeft = x;
        ++FWidth;
        break;
      }
  for (int y = 0; y < G.cy; ++y)
    for (int x = 0; x < G.cx; ++x)
      if (Black(x, y)) {
        if (FTop < 0) FTop = y;
        ++FHeight;
        break;
      }
  if (FWidth < 3 || FHeight < 3) {  // no usable mask: a circle filling the glyph
    FLeft = FTop = 0;
    FWidth = G.cx;
    FHeight = G.cy;
  }
  Fill();
  R = uxRect(0, 0, G.cx, G.cy);
  DrawFrameControl(C->Handle(), &R, DFC_BUTTON, DFCS_BUTTONRADIOIMAGE | DFCS_CHECKED | DFCS_FLAT);
  const COLORREF Text = Rgb(clWindowText);
  auto IsDot = [&](int x, int y) { return x >= 0 && y >= 0 && x < G.cx && y < G.cy && Rgb(C->Pixels(x, y)) == Text; };
  // Vertical extent: up from the start while in the dot, then down to its end.
  const int Cx = FLeft + FWidth / 2 - 1, Cy = FTop + FHeight / 2 - 1;
  int Top = FTop + FHeight / 2 - 2;
  while (IsDot(Cx, Top - 1)) --Top;
  int Bottom = Top;
  while (IsDot(Cx, Bottom)) ++Bottom;
  int Left = FLeft + FWidth / 2 - 2;
  while (IsDot(Left - 1, Cy)) --Left;
  int Right = Left;
  while (IsDot(Right, Cy)) ++Right;
  FDot = uxRect(Left - FLeft, Top - FTop, Right - FLeft, Bottom - FTop);
  if (uxIsRectEmpty(FDot)) {  // no dot found: a centred one a third of the circle
    const int D = std::max(2, FWidth / 3);
    FDot = uxRect((FWidth - D) / 2, (FHeight - D) / 2, (FWidth - D) / 2 + D, (FHeight - D) / 2 + D);
  }
}

void TuxRadioButtonImageList::BuildPattern() {
  const int W = FWidth, H = FHeight;
  FCells.assign(std::size_t(W) * H, 0);
  FMask.assign(std::size_t(W) * H, false);
  auto Cell = [&](int i, int j) -> int& { return FCells[std::size_t(i) * W + j]; };  // row i, column j
  auto Ring = [&](int i, int j) { return Cell(i, j) == 1 || Cell(i, j) == 2; };
  // 1. The outer ring: a rounded rectangle outlined black on white.
  TBitmap B;
  B.SetSize(W, H);
  TCanvas* C = B.Canvas();
  C->Brush()->SetColor(clWhite);
  C->FillRect(uxRect(0, 0, W, H));
  C->Pen()->SetColor(clBlack);
  C->Brush()->SetStyle(bsClear);
  C->RoundRect(0, 0, W, H, W - 1, H - 1);
  for (int i = 0; i < H; ++i)
    for (int j = 0; j < W; ++j)
      if (Rgb(C->Pixels(j, i)) == 0) Cell(i, j) = (H - 1) * (W - j - 1) < i * (W - 1) ? 2 : 1;
  // 2. The body, from the middle outwards to the ring.
  for (int i = 1; i <= H - 2; ++i) {
    for (int j = W / 2 - 1; j >= 0 && !Ring(i, j); --j) Cell(i, j) = 5;
    for (int j = W / 2; j < W && !Ring(i, j); ++j) Cell(i, j) = 5;
  }
  // 3. The inner ring: the last body cell before the outer ring, by rows and
  // by columns; the first and last scanned row and column are inner ring whole.
  auto Inner = [&](int i, int j) {
    const int A = (W - j - 1) * (H - 1), Bv = (W - 1) * i;
    Cell(i, j) = (A < Bv || (A == Bv && j >= W / 2)) ? 4 : 3;
  };
  auto Scan = [&](int i, int j, int di, int dj, bool Whole) {
    int Li = -1, Lj = -1;
    for (; i >= 0 && j >= 0 && i < H && j < W && !Ring(i, j); i += di, j += dj) {
      Li = i;
      Lj = j;
      if (Whole) Inner(i, j);
    }
    if (Li >= 0) Inner(Li, Lj);
  };
  for (int i = 1; i <= H - 2; ++i) {
    const bool Whole = i == 1 || i == H - 2;
    Scan(i, W / 2 - 1, 0, -1, Whole);
    Scan(i, W / 2, 0, 1, Whole);
  }
  for (int j = 1; j <= W - 2; ++j) {
    const bool Whole = j == 1 || j == W - 2;
    Scan(H / 2 - 1, j, -1, 0, Whole);
    Scan(H / 2, j, 1, 0, Whole);
  }
  // 4. The dot: a filled rounded rectangle over the dot rectangle.
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(clWhite);
  C->FillRect(uxRect(0, 0, W, H));
  C->Brush()->SetColor(clBlack);
  C->RoundRect(FDot.left, FDot.top, FDot.right, FDot.bottom, uxRectWidth(FDot) - 1, uxRectHeight(FDot) - 1);
  for (int i = 0; i < H; ++i)
    for (int j = 0; j < W; ++j)
      if (Rgb(C->Pixels(j, i)) == 0) Cell(i, j) = 6;
  // 5. The mask: the rounded rectangle of step 1, filled.
  C->Brush()->SetColor(clWhite);
  C->FillRect(uxRect(0, 0, W, H));
  C->Brush()->SetColor(clBlack);
  C->RoundRect(0, 0, W, H, W - 1, H - 1);
  for (int i = 0; i < H; ++i)
    for (int j = 0; j < W; ++j) FMask[std::size_t(i) * W + j] = Rgb(C->Pixels(j, i)) == 0;
}

int TuxRadioButtonImageList::GlyphKey(TuxLookAndFeelKind Kind, TuxButtonState State, bool Checked, bool Focused,
                                      bool Highlighted) {
  return (int(State) - 1) + 4 * int(Checked) + 8 * int(Kind) + 32 * int(Highlighted) + 64 * int(Focused);
}

TColor TuxRadioButtonImageList::BodyColor(TuxLookAndFeelKind Kind, TuxButtonState State) {
  if (Kind == lfOffice11)
    return State == uxbsNormal ? clWindow : TuxOffice11LookAndFeelPainter::Instance()->GetButtonFaceColor(State);
  if (State == uxbsDisabled) return clBtnFace;
  if (Kind == lfUltraFlat) {
    if (State == uxbsHot) return uxHotTrackColor();
    if (State == uxbsPressed) return uxPressedColor();
    return clWindow;
  }
  return State == uxbsPressed ? clBtnFace : clWindow;
}

TColor TuxRadioButtonImageList::CellColor(int Cell, TuxLookAndFeelKind Kind, TuxButtonState State, bool Checked,
                                          bool Focused, bool Highlighted) {
  const TColor Body = BodyColor(Kind, State);
  const bool Lit = Focused || State == uxbsHot || State == uxbsPressed || Highlighted;
  switch (Cell) {
    case 1:
    case 2:
      if (Kind == lfUltraFlat) return (Lit && State != uxbsDisabled) ? clHighlight : clBtnShadow;
      if (Kind == lfOffice11) {
        if (State == uxbsDisabled) return Office11DisabledTextColor;
        return Lit ? Office11SelectedBorderColor : clBtnText;
      }
      return Cell == 1 ? clBtnShadow : clBtnHighlight;
    case 3:
      if (Kind == lfFlat) return cl3DLight;
      if (Kind == lfStandard) return cl3DDkShadow;
      return Body;
    case 4: return (Kind == lfFlat || Kind == lfStandard) ? cl3DLight : Body;
    case 5: return Body;
    case 6:
      if (!Checked) return Body;
      if (State != uxbsDisabled) return clWindowText;
      return Kind == lfOffice11 ? Office11DisabledTextColor : clBtnShadow;
    default: return clBlack;
  }
}

void TuxRadioButtonImageList::BuildGlyphs() {
  if (!FGlyphs.empty()) return;
  FGlyphs.resize(128);
  const TuxButtonState States[] = {uxbsNormal, uxbsHot, uxbsPressed, uxbsDisabled};
  for (int Focused = 0; Focused < 2; ++Focused)
    for (int Highlighted = 0; Highlighted < 2; ++Highlighted)
      for (int Kind = lfFlat; Kind <= lfOffice11; ++Kind)
        for (int Checked = 0; Checked < 2; ++Checked)
          for (TuxButtonState State : States) {
            COLORREF Map[7];
            for (int c = 0; c < 7; ++c)
              Map[c] = Rgb(CellColor(c, TuxLookAndFeelKind(Kind), State, Checked, Focused, Highlighted));
            std::vector<COLORREF>& G = FGlyphs[std::size_t(
                GlyphKey(TuxLookAndFeelKind(Kind), State, Checked, Focused, Highlighted))];
            G.resize(FCells.size());
            for (std::size_t p = 0; p < FCells.size(); ++p) G[p] = Map[FCells[p]];
          }
}

void TuxRadioButtonImageList::Reset() {
  FGlyphs.clear();
  BuildGlyphs();
}

void TuxRadioButtonImageList::Draw(TuxCanvas* Canvas, int X, int Y, TColor BrushColor, TuxLookAndFeelKind Kind,
                                   TuxButtonState State, bool Checked, bool Focused, bool Highlighted) {
  if (State == uxbsDefault) State = uxbsNormal;  // the cache holds normal to disabled
  const int Key = GlyphKey(Kind, State, Checked, Focused, Highlighted);
  if (Key < 0 || Key >= int(FGlyphs.size())) return;
  const std::vector<COLORREF>& G = FGlyphs[std::size_t(Key)];
  if (BrushColor != clDefault) Canvas->FillRect(uxRect(X, Y, X + FWidth, Y + FHeight), BrushColor);
  for (int i = 0; i < FHeight; ++i)
    for (int j = 0; j < FWidth; ++j) {
      const std::size_t P = std::size_t(i) * FWidth + j;
      if (FMask[P]) Canvas->SetPixel(X + j, Y + i, TColor(G[P]));
    }
}

void uxDonePainterResources() {
  delete RadioList;
  RadioList = nullptr;
  delete AutoHideOn;
  delete AutoHideOff;
  AutoHideOn = AutoHideOff = nullptr;
  AutoHideLoaded = false;
  delete LightPattern;
  delete DarkPattern;
  LightPattern = DarkPattern = nullptr;
  delete IndicatorImages;
  IndicatorImages = nullptr;
  IndicatorBitmaps.clear();
  IndicatorsLoaded = false;
}
