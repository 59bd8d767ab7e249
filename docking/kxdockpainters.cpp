// The standard dock painter: flat colours derived from the control's colour,
// one-pixel three-dimensional edges, a two-bar grip instead of caption text,
// and drawn glyphs.
#include "docking/kxdockpainters.h"

#include <algorithm>

#include "docking/kxdockcontrol.h"
#include "docking/kxdockinternal.h"
#include "docking/kxdockmanager.h"
#include "framework/uxgraphics.h"

namespace {

int Channel(COLORREF C, int Shift) { return int((C >> Shift) & 255); }

// n / 100 rounded to the nearest integer, halves to the even one.
int RoundHundredth(int N) {
  int Q = N / 100;
  const int R = N % 100;
  if (R > 50 || (R == 50 && (Q & 1))) ++Q;
  return Q;
}

COLORREF Rgb(TColor C) { return ColorToRGB(C) & 0xFFFFFF; }

TkxDockControlPainter* CreateStandard(TkxCustomDockControl* C) { return new TkxDockControlPainter(C); }

void StandardInitColor(TkxDockingManager* M) { M->SetColor(clBtnFace); }

void StandardInitFont(TkxDockingManager* M) {
  TFont* F = M->Font();
  F->BeginUpdate();
  F->SetCharset(DEFAULT_CHARSET);
  F->SetColor(clBlack);
  F->SetName("MS Sans Serif");
  F->SetPitch(fpDefault);
  F->SetSize(8);
  F->SetHeight(-11);
  F->SetStyle(TFontStyles());
  F->EndUpdate();
}

void Nothing() {}

}  // namespace

TColor kxDockScaleColor(TColor C, int P) {
  const COLORREF V = Rgb(C);
  auto Ch = [&](int S) { return std::min(255, RoundHundredth(Channel(V, S) * P)); };
  return TColor(RGB(Ch(0), Ch(8), Ch(16)));
}

TColor kxDockFadeColor(TColor C, int P) {
  const COLORREF V = Rgb(C);
  const int White = RoundHundredth(25500 - P * 255);
  auto Ch = [&](int S) { return std::min(255, RoundHundredth(Channel(V, S) * P) + White); };
  return TColor(RGB(Ch(0), Ch(8), Ch(16)));
}

TkxDockControlPainterClass TkxDockControlPainter::Class() {
  static const TkxDockControlPainterClassInfo Info{"TkxDockControlPainter", &CreateStandard, &StandardInitColor,
                                                   &StandardInitFont, &Nothing, &Nothing, &Nothing};
  return &Info;
}

// ---- colours ----

TColor TkxDockControlPainter::DefaultColor() { return FPaintedControl->Color(); }
TFont* TkxDockControlPainter::DefaultFont() { return FPaintedControl->Font(); }

TColor TkxDockControlPainter::TabsScrollButtonsSignColor(bool Enabled) {
  return Enabled ? DarkDarkColor(DefaultColor()) : DarkColor(TabColor(true));
}

TColor TkxDockControlPainter::LightColor(TColor C) { return kxDockFadeColor(C, 60); }
TColor TkxDockControlPainter::LightLightColor(TColor C) { return kxDockFadeColor(C, 20); }
TColor TkxDockControlPainter::DarkColor(TColor C) { return kxDockScaleColor(C, 60); }
TColor TkxDockControlPainter::DarkDarkColor(TColor C) { return kxDockScaleColor(C, 20); }

// ---- metrics ----

int TkxDockControlPainter::TabsHeight() {
  return std::max(DefaultFont()->Size() + 22, 2 * TabVertOffset() + GetImageHeight() + 8);
}

int TkxDockControlPainter::HideBarHeight() {
  return std::max(DefaultFont()->Size() + 20, 2 * HideBarButtonIndent() + GetImageHeight() + 4);
}

int TkxDockControlPainter::HideBarWidth() {
  return std::max(DefaultFont()->Size() + 20, 2 * HideBarButtonIndent() + GetImageWidth() + 4);
}

int TkxDockControlPainter::GetImageHeight() {
  TCustomImageList* I = FPaintedControl->Images();
  return I ? I->Height() : 0;
}

int TkxDockControlPainter::GetImageWidth() {
  TCustomImageList* I = FPaintedControl->Images();
  return I ? I->Width() : 0;
}

int TkxDockControlPainter::GetDefaultImageHeight() {
  TCustomImageList* I = FPaintedControl->Images();
  return I ? I->Height() : 16;
}

int TkxDockControlPainter::GetDefaultImageWidth() {
  TCustomImageList* I = FPaintedControl->Images();
  return I ? I->Width() : 16;
}

bool TkxDockControlPainter::IsValidImageIndex(int Index) {
  TCustomImageList* I = FPaintedControl->Images();
  return I && Index >= 0 && Index < I->Count();
}

// ---- class helpers ----

void TkxDockControlPainter::DrawColorEdge(TCanvas* C, TRect R, TColor Color, int EdgeKind, int Sides) {
  TColor C1 = Color, C2 = Color;
  switch (EdgeKind) {
    case 1: C1 = C2 = DarkColor(Color); break;
    case 2: C1 = LightColor(Color), C2 = DarkColor(Color); break;
    case 3: C1 = LightLightColor(Color), C2 = DarkDarkColor(Color); break;
    case 4: C1 = DarkColor(Color), C2 = LightColor(Color); break;
    case 5: C1 = DarkDarkColor(Color), C2 = LightLightColor(Color); break;
    default: break;
  }
  auto Has = [Sides](int Side, int Pair) { return (Sides & (Side | Pair | kxSideAll)) != 0; };
  kxDockPen(C, C1);
  if (Has(kxSideLeft, kxSideLeftTop)) kxDockLine(C, R.left, R.bottom - 1, R.left, R.top - 1);
  if (Has(kxSideTop, kxSideLeftTop)) kxDockLine(C, R.left, R.top, R.right, R.top);
  kxDockPen(C, C2);
  if (Has(kxSideRight, kxSideRightBottom)) kxDockLine(C, R.right - 1, R.top, R.right - 1, R.bottom);
  if (Has(kxSideBottom, kxSideRightBottom)) kxDockLine(C, R.right - 1, R.bottom - 1, R.left - 1, R.bottom - 1);
}

void TkxDockControlPainter::DrawImage(TCanvas* C, TCustomImageList* Images, TRect R, int Index) {
  if (Images) Images->Draw(C, R.left, R.top, Index, true);
}

bool TkxDockControlPainter::RectInRect(const TRect& Inner, const TRect& Outer) {
  return kxPtInRect(Outer, TPoint(Inner.left, Inner.top)) && kxPtInRect(Outer, TPoint(Inner.right, Inner.bottom));
}

void TkxDockControlPainter::RotateBitmap(TBitmap* Bitmap, int Direction) {
  uxRotateBitmap(Bitmap, TuxTextRotation(std::clamp(Direction, 0, 3)));
}

void TkxDockControlPainter::DrawCaptionLine(TCanvas* C, const AnsiString& Text, TRect R, TFont* Font,
                                            TColor Color) {
  C->Brush()->SetStyle(bsClear);
  C->SetFont(Font);
  C->Font()->SetColor(Color);
  TRect Rc = R;
  C->TextRect(Rc, Text, DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
  C->Brush()->SetStyle(bsSolid);
}

void TkxDockControlPainter::DrawFittedCaptionLine(TCanvas* C, const AnsiString& Text, TRect R, TFont* Font,
                                                  TColor Color) {
  C->SetFont(Font);
  const int Width = R.right - R.left;
  if (kxTextWidth(C, Text) <= Width) {
    DrawCaptionLine(C, Text, R, Font, Color);
    return;
  }
  TEXTMETRICA M{};
  GetTextMetricsA(C->Handle(), &M);
  // Dots of D pixels, D apart, after a gap of D: six D wide in all.
  const int D = std::max(1, int(M.tmHeight) / 14);
  std::size_t Kept = 0;
  for (std::size_t i = 0; i < Text.size();) {
    const std::size_t Next = i + (IsDBCSLeadByte(Text[i]) && i + 1 < Text.size() ? 2 : 1);
    if (kxTextWidth(C, Text.substr(0, Next)) + 6 * D > Width) break;
    Kept = Next;
    i = Next;
  }
  const AnsiString Head = Text.substr(0, Kept);
  C->Brush()->SetStyle(bsClear);
  C->Font()->SetColor(Color);
  TRect Rc = R;
  C->TextRect(Rc, Head, DT_SINGLELINE | DT_VCENTER);
  // On the baseline of the text as DT_VCENTER places it, clipped to R.
  const int Base = R.top + (R.bottom - R.top - int(M.tmHeight)) / 2 + int(M.tmAscent);
  int X = R.left + kxTextWidth(C, Head) + D;
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Color);
  for (int k = 0; k < 3; ++k, X += 2 * D) {
    const TRect Dot = kxRect(X, Base - D, std::min(X + D, int(R.right)), Base);
    if (Dot.right > Dot.left && Dot.top >= R.top && Dot.bottom <= R.bottom) C->FillRect(Dot);
  }
}

// ---- border and caption ----

void TkxDockControlPainter::DrawBorder(TCanvas* C, TRect R) {
  const int W = BorderWidth();
  const TColor B = BorderColor();
  kxDockFill(C, kxRect(R.left, R.top, R.left + W, R.bottom), B);
  kxDockFill(C, kxRect(R.left, R.bottom - W, R.right, R.bottom), B);
  kxDockFill(C, kxRect(R.right - W, R.top, R.right, R.bottom), B);
  kxDockFill(C, kxRect(R.left, R.top, R.right, R.top + W), B);
  DrawColorEdge(C, R, DefaultColor(), 3, kxSideLeftTop);
  DrawColorEdge(C, R, DefaultColor(), 2, kxSideRightBottom);
}

void TkxDockControlPainter::DrawCaption(TCanvas* C, TRect R, bool IsActive) { kxDockFill(C, R, CaptionColor(IsActive)); }

void TkxDockControlPainter::DrawCaptionSeparator(TCanvas* C, TRect R) { kxDockFill(C, R, BorderColor()); }

void TkxDockControlPainter::DrawCaptionText(TCanvas* C, TRect R, bool IsActive) {
  TRect Bar1, Bar2;
  if (FPaintedControl->IsCaptionVertical()) {
    if (R.top >= R.bottom) return;
    const int X = R.left + (R.right - R.left) / 2;
    Bar1 = kxRect(X - 4, R.top, X - 1, R.bottom);
    Bar2 = kxRect(X, R.top, X + 3, R.bottom);
  } else {
    if (R.left >= R.right) return;
    const int Y = R.top + (R.bottom - R.top) / 2;
    Bar1 = kxRect(R.left, Y - 4, R.right, Y - 1);
    Bar2 = kxRect(R.left, Y, R.right, Y + 3);
  }
  const TColor Base = CaptionColor(IsActive);
  for (const TRect& B : {Bar1, Bar2}) {
    DrawColorEdge(C, B, Base, 3, kxSideLeftTop);
    DrawColorEdge(C, B, Base, 2, kxSideRightBottom);
  }
}

void TkxDockControlPainter::DrawCaptionButton(TCanvas* C, TRect R, bool IsActive, bool IsDown, bool IsHot) {
  const TColor Base = CaptionColor(IsActive);
  if (IsDown && IsHot) {
    DrawColorEdge(C, R, Base, 5, kxSideAll);
    R = kxRect(R.left + 1, R.top + 1, R.right - 1, R.bottom - 1);
    DrawColorEdge(C, R, Base, 4, kxSideLeftTop);
  } else {
    DrawColorEdge(C, R, Base, 3, kxSideAll);
    R = kxRect(R.left + 1, R.top + 1, R.right - 1, R.bottom - 1);
    DrawColorEdge(C, R, Base, 2, kxSideRightBottom);
  }
}

void TkxDockControlPainter::DrawCaptionCloseButton(TCanvas* C, TRect R, bool IsActive, bool IsDown, bool IsHot,
                                                   bool) {
  DrawCaptionButton(C, R, IsActive, IsDown, IsHot);
  if (IsDown && IsHot) R = kxOffsetRect(R, 1, 1);
  kxDockPen(C, CaptionSignColor(IsActive, IsDown, IsHot));
  const int L = R.left, T = R.top, Rt = R.right, B = R.bottom;
  kxDockLine(C, L + 2, T + 2, Rt - 3, B - 3);
  kxDockLine(C, Rt - 4, T + 2, L + 1, B - 3);
}

void TkxDockControlPainter::DrawCaptionHideButton(TCanvas* C, TRect R, bool IsActive, bool IsDown, bool IsHot,
                                                  bool AutoHide) {
  DrawCaptionButton(C, R, IsActive, IsDown, IsHot);
  if (IsDown && IsHot) R = kxOffsetRect(R, 1, 1);
  kxDockPen(C, CaptionSignColor(IsActive, IsDown, IsHot));
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(CaptionColor(IsActive));
  const int L = R.left, T = R.top, Rt = R.right, B = R.bottom;
  if (AutoHide) {
    C->Rectangle(L + 4, T + 3, Rt - 3, B - 4);
    kxDockLine(C, L + 4, T + 2, L + 4, B - 3);
    kxDockLine(C, L + 4, B - 6, Rt - 3, B - 6);
    kxDockLine(C, L + 2, T + 5, L + 4, T + 5);
  } else {
    C->Rectangle(L + 3, T + 2, Rt - 4, B - 5);
    kxDockLine(C, L + 2, B - 6, Rt - 3, B - 6);
    kxDockLine(C, Rt - 6, T + 2, Rt - 6, B - 5);
    kxDockLine(C, L + 5, B - 5, L + 5, B - 3);
  }
}

void TkxDockControlPainter::DrawMaximizeTriangle(TCanvas* C, TRect R, bool IsActive, bool IsDown, bool IsHot,
                                                 bool Maximized) {
  if (IsDown && IsHot) R = kxOffsetRect(R, 1, 1);
  const TColor Sign = CaptionSignColor(IsActive, IsDown, IsHot);
  kxDockPen(C, Sign);
  C->Brush()->SetStyle(bsSolid);
  C->Brush()->SetColor(Sign);
  const int L = R.left, T = R.top, Rt = R.right, B = R.bottom;
  TPoint P1, P2;
  if (dynamic_cast<TkxVertContainerDockSite*>(FPaintedControl->SideContainer())) {
    P1 = Maximized ? TPoint(Rt - 4, T + 2) : TPoint(Rt - 4, B - 4);
    P2 = Maximized ? TPoint(L + 2, T + 2) : TPoint(L + 2, B - 4);
  } else {
    P1 = Maximized ? TPoint(L + 2, T + 2) : TPoint(Rt - 4, T + 2);
    P2 = Maximized ? TPoint(L + 2, B - 4) : TPoint(Rt - 4, B - 4);
  }
  const TPoint Pts[] = {P1, P2, TPoint(L + 5, T + 5)};
  C->Polygon(Pts, 3);
}

void TkxDockControlPainter::DrawCaptionMaximizeButton(TCanvas* C, TRect R, bool IsActive, bool IsDown, bool IsHot,
                                                      bool Maximized) {
  DrawCaptionButton(C, R, IsActive, IsDown, IsHot);
  DrawMaximizeTriangle(C, R, IsActive, IsDown, IsHot, Maximized);
}

void TkxDockControlPainter::DrawClient(TCanvas* C, TRect R) { kxDockFill(C, R, DefaultColor()); }

// ---- tabs ----

void TkxDockControlPainter::DrawTabs(TCanvas* C, TRect R, TRect ActiveTabRect, TkxTabContainerTabsPosition Pos) {
  kxDockFill(C, R, TabsColor());
  const TColor Base = TabColor(true);
  TRect E = R;
  if (Pos == tctpBottom) {
    E.top = R.top + 1;
    DrawColorEdge(C, E, Base, 3, kxSideTop);
    E = R;
    E.top = ActiveTabRect.top;
    DrawColorEdge(C, E, Base, 5, kxSideTop);
    E.top += 1;
    DrawColorEdge(C, E, Base, 4, kxSideTop);
  } else {
    E.bottom = R.bottom - 1;
    DrawColorEdge(C, E, Base, 3, kxSideBottom);
    E.bottom -= 1;
    DrawColorEdge(C, E, Base, 2, kxSideBottom);
    E = R;
    E.bottom = ActiveTabRect.bottom;
    DrawColorEdge(C, E, Base, 5, kxSideBottom);
  }
}

void TkxDockControlPainter::DrawTab(TCanvas* C, TkxCustomDockControl* AControl, TRect R, bool IsActive,
                                   TkxTabContainerTabsPosition Pos) {
  const TColor Base = TabColor(true);
  if (IsActive) kxDockFill(C, R, Base);
  const int L = R.left, T = R.top, Rt = R.right, B = R.bottom;
  if (Pos == tctpBottom) {
    kxDockPen(C, LightLightColor(Base));
    kxDockLine(C, L, IsActive ? T : T + 2, L, B - 2);
    kxDockPen(C, DarkDarkColor(Base));
    const TPoint P1[] = {{L, B - 2}, {L + 2, B}, {Rt - 3, B}, {Rt - 1, B - 2}, {Rt - 1, IsActive ? T - 1 : T + 1}};
    C->Polyline(P1, 5);
    kxDockPen(C, DarkColor(Base));
    const TPoint P2[] = {{L + 1, B - 2}, {L + 2, B - 1}, {Rt - 3, B - 1}, {Rt - 2, B - 2}, {Rt - 2, IsActive ? T - 1 : T + 1}};
    C->Polyline(P2, 5);
  } else {
    kxDockPen(C, LightLightColor(Base));
    const TPoint P1[] = {{L, B - 1}, {L, T + 2}, {L + 2, T}, {Rt - 3, T}, {Rt - 1, T + 2}};
    C->Polyline(P1, 5);
    kxDockPen(C, DarkDarkColor(Base));
    kxDockLine(C, Rt - 1, T + 2, Rt - 1, IsActive ? B : B - 1);
    kxDockPen(C, DarkColor(Base));
    kxDockLine(C, Rt - 2, T + 1, Rt - 2, IsActive ? B : B - 1);
  }
  DrawTabContent(C, AControl, R, IsActive, Pos);
}

void TkxDockControlPainter::DrawTabContent(TCanvas* C, TkxCustomDockControl* AControl, TRect R, bool IsActive,
                                          TkxTabContainerTabsPosition) {
  R.left += TabHorizOffset();
  if (IsValidImageIndex(AControl->ImageIndex())) {
    const int Top = R.top + (R.bottom - R.top - GetImageHeight()) / 2;
    const TRect Img = kxRect(R.left, Top, R.left + GetImageWidth(), Top + GetImageHeight());
    if (RectInRect(Img, R)) {
      DrawImage(C, FPaintedControl->Images(), Img, AControl->ImageIndex());
      R.left = Img.right + TabHorizOffset();
    }
  }
  DrawCaptionLine(C, AControl->Caption(), R, TabFont(IsActive), TabFontColor(IsActive));
}

void TkxDockControlPainter::DrawTabsScrollButton(TCanvas* C, TRect R, bool IsDown, bool IsHot, bool Enabled,
                                                 TkxTabContainerTabsPosition) {
  const TColor Base = TabsScrollButtonsColor();
  if (IsDown && IsHot && Enabled) {
    DrawColorEdge(C, R, Base, 5, kxSideAll);
    R = kxRect(R.left + 1, R.top + 1, R.right - 1, R.bottom - 1);
    DrawColorEdge(C, R, Base, 4, kxSideLeftTop);
  } else {
    DrawColorEdge(C, R, Base, 3, kxSideAll);
    R = kxRect(R.left + 1, R.top + 1, R.right - 1, R.bottom - 1);
    DrawColorEdge(C, R, Base, 2, kxSideRightBottom);
  }
}

void TkxDockControlPainter::DrawTabsNextButton(TCanvas* C, TRect R, bool IsDown, bool IsHot, bool Enabled,
                                               TkxTabContainerTabsPosition Pos) {
  DrawTabsScrollButton(C, R, IsDown, IsHot, Enabled, Pos);
  R = kxRect(R.left + 1, R.top + 1, R.right - 1, R.bottom - 1);
  if (IsDown && IsHot) R = kxOffsetRect(R, 1, 1);
  kxDockScrollTriangle(C, R, true, TabsScrollButtonsSignColor(Enabled), true);
}

void TkxDockControlPainter::DrawTabsPrevButton(TCanvas* C, TRect R, bool IsDown, bool IsHot, bool Enabled,
                                               TkxTabContainerTabsPosition Pos) {
  DrawTabsScrollButton(C, R, IsDown, IsHot, Enabled, Pos);
  R = kxRect(R.left + 1, R.top + 1, R.right - 1, R.bottom - 1);
  if (IsDown && IsHot) R = kxOffsetRect(R, 1, 1);
  kxDockScrollTriangle(C, R, false, TabsScrollButtonsSignColor(Enabled), true);
}

// ---- hide bars ----

void TkxDockControlPainter::DrawHideBar(TCanvas* C, TRect R, TkxAutoHidePosition) { kxDockFill(C, R, HideBarColor()); }

void TkxDockControlPainter::DrawHideBarButton(TCanvas* C, TkxCustomDockControl* AControl, TRect R,
                                              TkxAutoHidePosition Pos) {
  const TColor Base = HideBarButtonColor();
  switch (Pos) {
    case ahpLeft:
      DrawColorEdge(C, R, Base, 3, kxSideTop);
      DrawColorEdge(C, R, Base, 2, kxSideRightBottom);
      break;
    case ahpTop:
      DrawColorEdge(C, R, Base, 3, kxSideLeft);
      DrawColorEdge(C, R, Base, 2, kxSideRightBottom);
      break;
    case ahpRight:
      DrawColorEdge(C, R, Base, 3, kxSideLeftTop);
      DrawColorEdge(C, R, Base, 2, kxSideBottom);
      break;
    default:
      DrawColorEdge(C, R, Base, 3, kxSideLeftTop);
      DrawColorEdge(C, R, Base, 2, kxSideRight);
      break;
  }
  DrawHideBarButtonContent(C, AControl, R, Pos);
}

void TkxDockControlPainter::DrawHideBarButtonContent(TCanvas* C, TkxCustomDockControl* AControl, TRect R,
                                                     TkxAutoHidePosition Pos) {
  const bool Vertical = Pos == ahpLeft || Pos == ahpRight;
  const int Cell = 2 * HideBarButtonSpacing() + (Vertical ? GetDefaultImageHeight() : GetDefaultImageWidth());
  const TColor Base = HideBarButtonColor();
  auto Separator = [&](const TRect& CellR) {
    DrawColorEdge(C, CellR, Base, 2, Vertical ? kxSideBottom : kxSideRight);
  };
  auto CutStart = [&](TRect& From) {
    TRect Cut = From;
    if (Vertical) {
      Cut.bottom = Cut.top + Cell;
      From.top = Cut.bottom;
    } else {
      Cut.right = Cut.left + Cell;
      From.left = Cut.right;
    }
    return Cut;
  };
  auto CutEnd = [&](TRect& From) {
    TRect Cut = From;
    if (Vertical) {
      Cut.top = Cut.bottom - Cell;
      From.bottom = Cut.top;
    } else {
      Cut.left = Cut.right - Cell;
      From.right = Cut.left;
    }
    return Cut;
  };
  auto DrawCell = [&](TkxCustomDockControl* Child, const TRect& CellR) {
    if (IsValidImageIndex(Child->ImageIndex())) DrawHideBarButtonImage(C, Child, CellR);
    else DrawHideBarButtonText(C, Child, CellR, Pos);
  };
  TkxCustomDockControl* Main = AControl;
  auto* Tab = dynamic_cast<TkxTabContainerDockSite*>(AControl);
  bool AfterActive = false;
  if (Tab) {
    Main = Tab->ActiveChild();
    const int A = Main ? Main->DockIndex() : -1;
    std::vector<TkxCustomDockControl*> Before, After;
    for (int i = 0; i < Tab->ChildCount(); ++i) {
      TkxCustomDockControl* Ch = Tab->Children(i);
      if (!Tab->IsValidChild(Ch) || i == A) continue;
      (i < A ? Before : After).push_back(Ch);
    }
    AfterActive = !After.empty();
    for (std::size_t k = 0; k < Before.size(); ++k) {
      const TRect CellR = CutStart(R);
      DrawCell(Before[k], CellR);
      if (k + 1 < Before.size() || Main || !After.empty()) Separator(CellR);
    }
    // Cut from the end, the last child first; each but the last is followed by another.
    for (std::size_t k = After.size(); k-- > 0;) {
      const TRect CellR = CutEnd(R);
      DrawCell(After[k], CellR);
      if (k + 1 < After.size()) Separator(CellR);
    }
    if (!Main) return;
  }
  TRect Part = R;
  if (IsValidImageIndex(Main->ImageIndex())) {
    const TRect CellR = CutStart(R);
    DrawHideBarButtonImage(C, Main, CellR);
  }
  DrawHideBarButtonText(C, Main, R, Pos);
  if (Tab && AfterActive) Separator(Part);
}

void TkxDockControlPainter::DrawHideBarButtonImage(TCanvas* C, TkxCustomDockControl* AControl, TRect R) {
  if (!IsValidImageIndex(AControl->ImageIndex())) return;
  const int X = R.left + (R.right - R.left - GetImageWidth()) / 2;
  const int Y = R.top + (R.bottom - R.top - GetImageHeight()) / 2;
  DrawImage(C, FPaintedControl->Images(), kxRect(X, Y, X + GetImageWidth(), Y + GetImageHeight()),
            AControl->ImageIndex());
}

void TkxDockControlPainter::DrawHideBarButtonText(TCanvas* C, TkxCustomDockControl* AControl, TRect R,
                                                  TkxAutoHidePosition Pos) {
  R = kxRect(R.left + 2, R.top + 2, R.right - 2, R.bottom - 2);
  if (R.right <= R.left || R.bottom <= R.top) return;
  if (Pos == ahpTop || Pos == ahpBottom) {
    DrawFittedCaptionLine(C, AControl->Caption(), R, HideBarButtonFont(), HideBarButtonFontColor());
    return;
  }
  const int W = R.right - R.left, H = R.bottom - R.top;
  TBitmap B;
  B.SetSize(H, W);
  kxDockFill(B.Canvas(), kxRect(0, 0, H, W), HideBarButtonColor());
  DrawFittedCaptionLine(B.Canvas(), AControl->Caption(), kxRect(0, 0, H, W), HideBarButtonFont(),
                        HideBarButtonFontColor());
  RotateBitmap(&B, 2);
  C->Draw(R.left, R.top, &B);
}
