// The .NET, Office 2003 and XP dock painters. The .NET style draws flat
// captions with text and flat buttons that rise under the mouse; the Office
// style paints that layout with the Office 2003 colour table and gradients;
// the XP style draws through the visual styles and takes the standard drawing
// for every part whose visual-style class is missing.
#include <algorithm>

#include "docking/kxdockcontrol.h"
#include "docking/kxdockinternal.h"
#include "docking/kxdockmanager.h"
#include "docking/kxdockpainters.h"
#include "framework/uxgraphics.h"
#include "framework/uxoffice11.h"
#include "framework/uxthemes.h"

namespace {

// An outline rectangle in the current pen with a clear inside.
void Frame(TCanvas* C, int L, int T, int R, int B) {
  C->Brush()->SetStyle(bsClear);
  C->Rectangle(L, T, R, B);
  C->Brush()->SetStyle(bsSolid);
}

void Gradient(TCanvas* C, const TRect& R, TColor From, TColor To, bool Horizontal) {
  FillGradientRect(C->Handle(), R, From, To, Horizontal);
}

void NetInitFont(TkxDockingManager* M) {
  TFont* F = M->Font();
  F->BeginUpdate();
  F->SetName("Tahoma");
  F->SetSize(8);
  F->SetHeight(-11);
  F->SetCharset(DEFAULT_CHARSET);
  F->SetColor(clBlack);
  F->SetPitch(fpDefault);
  F->SetStyle(TFontStyles());
  F->EndUpdate();
}

void NoColors() {}
void OfficeRefresh() { RefreshOffice11Colors(); }

TkxDockControlPainter* CreateNet(TkxCustomDockControl* C) { return new TkxDockControlNETPainter(C); }
TkxDockControlPainter* CreateOffice(TkxCustomDockControl* C) { return new TkxDockControlOfficePainter(C); }
TkxDockControlPainter* CreateXP(TkxCustomDockControl* C) { return new TkxDockControlXPPainter(C); }

}  // namespace

// ===================================================================== .NET

TkxDockControlPainterClass TkxDockControlNETPainter::Class() {
  const TkxDockControlPainterClassInfo* Std = TkxDockControlPainter::Class();
  static const TkxDockControlPainterClassInfo Info{"TkxDockControlNETPainter", &CreateNet, Std->InitManagerColor,
                                                   &NetInitFont, Std->CreateColors, Std->RefreshColors,
                                                   Std->ReleaseColors};
  return &Info;
}

TColor TkxDockControlNETPainter::LightDefaultColor() {
  const COLORREF C = ColorToRGB(DefaultColor()) & 0xFFFFFF;
  const int R = C & 255, G = (C >> 8) & 255, B = (C >> 16) & 255;
  const int Shift = std::min(0, 220 - std::max({R, G, B}));
  return TColor(RGB(R + Shift + 35, G + Shift + 35, B + Shift + 35));
}

TColor TkxDockControlNETPainter::CaptionColor(bool IsActive) { return IsActive ? clActiveCaption : DefaultColor(); }

TColor TkxDockControlNETPainter::CaptionFontColor(bool IsActive) { return IsActive ? clCaptionText : clBlack; }

TColor TkxDockControlNETPainter::TabFontColor(bool IsActive) {
  return IsActive ? DefaultFont()->Color() : LightColor(DefaultFont()->Color());
}

int TkxDockControlNETPainter::CaptionHeight() { return DefaultFont()->Size() + 10; }

int TkxDockControlNETPainter::TabsHeight() {
  return std::max(DefaultFont()->Size() + 16, 4 * TabVertOffset() + GetImageHeight() + 4);
}

int TkxDockControlNETPainter::HideBarHeight() {
  return std::max(DefaultFont()->Size() + 16, 2 * HideBarButtonIndent() + GetImageHeight() + 4);
}

int TkxDockControlNETPainter::HideBarWidth() {
  return std::max(DefaultFont()->Size() + 16, 2 * HideBarButtonIndent() + GetImageWidth() + 4);
}

void TkxDockControlNETPainter::DrawBorder(TCanvas* C, TRect R) {
  const int W = BorderWidth();
  const TColor B = BorderColor();
  kxDockFill(C, kxRect(R.left, R.top, R.left + W, R.bottom), B);
  kxDockFill(C, kxRect(R.left, R.bottom - W, R.right, R.bottom), B);
  kxDockFill(C, kxRect(R.right - W, R.top, R.right, R.bottom), B);
  kxDockFill(C, kxRect(R.left, R.top, R.right, R.top + W), B);
  if (FPaintedControl->AutoHide()) {
    DrawColorEdge(C, R, DefaultColor(), 4, kxSideLeftTop);
    DrawColorEdge(C, R, DefaultColor(), 2, kxSideRightBottom);
  }
}

void TkxDockControlNETPainter::DrawCaption(TCanvas* C, TRect R, bool IsActive) {
  if (IsActive) {
    kxDockPen(C, CaptionColor(true));
    kxDockFill(C, R, CaptionColor(true));
    return;
  }
  kxDockFill(C, R, CaptionColor(false));
  HDC DC = C->Handle();
  ExcludeClipRect(DC, R.left, R.top, R.left + 1, R.top + 1);
  ExcludeClipRect(DC, R.right - 1, R.top, R.right, R.top + 1);
  ExcludeClipRect(DC, R.left, R.bottom - 1, R.left + 1, R.bottom);
  ExcludeClipRect(DC, R.right - 1, R.bottom - 1, R.right, R.bottom);
  kxDockPen(C, DarkColor(CaptionColor(false)));
  Frame(C, R.left, R.top, R.right, R.bottom);
}

void TkxDockControlNETPainter::DrawCaptionText(TCanvas* C, TRect R, bool IsActive) {
  DrawCaptionLine(C, FPaintedControl->Caption(), R, DefaultFont(), CaptionFontColor(IsActive));
}

void TkxDockControlNETPainter::DrawCaptionButton(TCanvas* C, TRect R, bool IsActive, bool IsDown, bool IsHot) {
  const TColor Base = CaptionColor(IsActive);
  if (IsDown && IsHot) {
    DrawColorEdge(C, R, Base, 4, kxSideLeftTop);
    DrawColorEdge(C, R, Base, 5, kxSideRightBottom);
  } else if (IsHot) {
    DrawColorEdge(C, R, Base, 3, kxSideLeftTop);
    DrawColorEdge(C, R, Base, 2, kxSideRightBottom);
  }
}

void TkxDockControlNETPainter::DrawCaptionCloseButton(TCanvas* C, TRect R, bool IsActive, bool IsDown, bool IsHot,
                                                      bool) {
  DrawCaptionButton(C, R, IsActive, IsDown, IsHot);
  kxDockPen(C, CaptionSignColor(IsActive, IsDown, IsHot));
  const int L = R.left, T = R.top, Rt = R.right, B = R.bottom;
  kxDockLine(C, L + 3, T + 3, Rt - 2, B - 2);
  kxDockLine(C, Rt - 3, T + 3, L + 2, B - 2);
}

void TkxDockControlNETPainter::DrawCaptionHideButton(TCanvas* C, TRect R, bool IsActive, bool IsDown, bool IsHot,
                                                     bool AutoHide) {
  DrawCaptionButton(C, R, IsActive, IsDown, IsHot);
  kxDockPen(C, CaptionSignColor(IsActive, IsDown, IsHot));
  const int L = R.left, T = R.top, Rt = R.right, B = R.bottom;
  if (AutoHide) {
    Frame(C, L + 3, T + 3, Rt - 2, B - 4);
    kxDockLine(C, L + 3, T + 2, L + 3, B - 3);
    kxDockLine(C, L + 3, B - 6, Rt - 3, B - 6);
    kxDockLine(C, L + 1, T + 5, L + 3, T + 5);
  } else {
    Frame(C, L + 4, T + 2, Rt - 3, B - 3);
    kxDockLine(C, L + 3, B - 4, Rt - 2, B - 4);
    kxDockLine(C, Rt - 5, T + 2, Rt - 5, B - 3);
    kxDockLine(C, L + 6, B - 3, L + 6, B - 1);
  }
}

void TkxDockControlNETPainter::DrawCaptionMaximizeButton(TCanvas* C, TRect R, bool IsActive, bool IsDown,
                                                         bool IsHot, bool Maximized) {
  DrawCaptionButton(C, R, IsActive, IsDown, IsHot);
  const int L = R.left, T = R.top, Rt = R.right, B = R.bottom;
  kxDockPen(C, CaptionSignColor(IsActive, IsDown, IsHot), (Rt - L) / 16 + 1);
  if (!Maximized) {
    Frame(C, L + 3, T + 3, Rt - 2, B - 2);
  } else {
    Frame(C, L + 5, T + 2, Rt - 1, B - 4);
    Frame(C, L + 2, T + 5, Rt - 4, B - 1);
  }
  kxDockPen(C, CaptionSignColor(IsActive, IsDown, IsHot));
}

void TkxDockControlNETPainter::DrawTabs(TCanvas* C, TRect R, TRect ActiveTabRect, TkxTabContainerTabsPosition Pos) {
  kxDockFill(C, R, TabsColor());
  TRect E = R;
  if (Pos == tctpBottom) {
    E.top = ActiveTabRect.top;
    DrawColorEdge(C, E, TabColor(true), 5, kxSideTop);
    R.bottom = ActiveTabRect.top;
  } else {
    E.bottom = ActiveTabRect.bottom;
    DrawColorEdge(C, E, TabColor(true), 5, kxSideBottom);
    R.top = ActiveTabRect.bottom;
  }
  kxDockFill(C, R, TabColor(true));
}

void TkxDockControlNETPainter::DrawTab(TCanvas* C, TkxCustomDockControl* AControl, TRect R, bool IsActive,
                                       TkxTabContainerTabsPosition Pos) {
  if (IsActive) {
    kxDockFill(C, R, DefaultColor());
    const int Sides = Pos == tctpTop ? kxSideLeft | kxSideTop | kxSideRight : kxSideLeft | kxSideRight | kxSideBottom;
    DrawColorEdge(C, R, TabColor(true), 3, Sides);
  } else {
    const TRect E = kxRect(R.left - 1, R.top + 3, R.right + 1, R.bottom - 3);
    DrawColorEdge(C, E, TabColor(false), 2, kxSideRight);
  }
  DrawTabContent(C, AControl, R, IsActive, Pos);
}

void TkxDockControlNETPainter::DrawTabsScrollButton(TCanvas* C, TRect R, bool IsDown, bool IsHot, bool Enabled,
                                                    TkxTabContainerTabsPosition) {
  const TColor Base = TabsScrollButtonsColor();
  if (IsDown && IsHot && Enabled) {
    DrawColorEdge(C, R, Base, 5, kxSideLeftTop);
    DrawColorEdge(C, R, Base, 5, kxSideRightBottom);
  } else if (IsHot && Enabled) {
    DrawColorEdge(C, R, Base, 3, kxSideLeftTop);
    DrawColorEdge(C, R, Base, 3, kxSideRightBottom);
  }
}

void TkxDockControlNETPainter::DrawTabsNextButton(TCanvas* C, TRect R, bool IsDown, bool IsHot, bool Enabled,
                                                  TkxTabContainerTabsPosition Pos) {
  DrawTabsScrollButton(C, R, IsDown, IsHot, Enabled, Pos);
  kxDockScrollTriangle(C, kxRect(R.left + 1, R.top + 1, R.right - 1, R.bottom - 1), true, TabsScrollButtonsSignColor(Enabled),
              Enabled);
}

void TkxDockControlNETPainter::DrawTabsPrevButton(TCanvas* C, TRect R, bool IsDown, bool IsHot, bool Enabled,
                                                  TkxTabContainerTabsPosition Pos) {
  DrawTabsScrollButton(C, R, IsDown, IsHot, Enabled, Pos);
  kxDockScrollTriangle(C, kxRect(R.left + 1, R.top + 1, R.right - 1, R.bottom - 1), false, TabsScrollButtonsSignColor(Enabled),
              Enabled);
}

namespace {
// The strip along the bar's outer edge.
TRect OuterStrip(const TRect& R, TkxAutoHidePosition Pos, int W) {
  switch (Pos) {
    case ahpLeft: return kxRect(R.left, R.top, R.left + W, R.bottom);
    case ahpTop: return kxRect(R.left, R.top, R.right, R.top + W);
    case ahpRight: return kxRect(R.right - W, R.top, R.right, R.bottom);
    default: return kxRect(R.left, R.bottom - W, R.right, R.bottom);
  }
}

int OpenSides(TkxAutoHidePosition Pos) {
  switch (Pos) {
    case ahpLeft: return kxSideTop | kxSideRight | kxSideBottom;
    case ahpTop: return kxSideLeft | kxSideRight | kxSideBottom;
    case ahpRight: return kxSideLeft | kxSideTop | kxSideBottom;
    default: return kxSideLeft | kxSideTop | kxSideRight;
  }
}
}  // namespace

void TkxDockControlNETPainter::DrawHideBar(TCanvas* C, TRect R, TkxAutoHidePosition Pos) {
  kxDockFill(C, R, HideBarColor());
  const TRect S = OuterStrip(R, Pos, HideBarButtonIndent());
  kxDockFill(C, S, HideBarButtonColor());
  ExcludeClipRect(C->Handle(), S.left, S.top, S.right, S.bottom);
}

void TkxDockControlNETPainter::DrawHideBarButton(TCanvas* C, TkxCustomDockControl* AControl, TRect R,
                                                 TkxAutoHidePosition Pos) {
  kxDockFill(C, R, HideBarButtonColor());
  DrawColorEdge(C, R, HideBarButtonColor(), 1, OpenSides(Pos));
  DrawHideBarButtonContent(C, AControl, R, Pos);
}

// ===================================================================== Office 2003

TkxDockControlPainterClass TkxDockControlOfficePainter::Class() {
  const TkxDockControlPainterClassInfo* Std = TkxDockControlPainter::Class();
  static const TkxDockControlPainterClassInfo Info{"TkxDockControlOfficePainter", &CreateOffice,
                                                   Std->InitManagerColor, &NetInitFont, &NoColors, &OfficeRefresh,
                                                   &NoColors};
  return &Info;
}

TColor TkxDockControlOfficePainter::BorderColor() { return Office11DockBorderColor1; }

TColor TkxDockControlOfficePainter::CaptionColor(bool IsActive) {
  return IsActive ? Office11DockBorderColor2 : Office11DockBorderColor1;
}

TColor TkxDockControlOfficePainter::CaptionFontColor(bool IsActive) {
  return IsActive ? Office11ActiveCaptionTextColor : Office11InactiveCaptionTextColor;
}

TColor TkxDockControlOfficePainter::CaptionSignColor(bool IsActive, bool, bool IsHot) {
  return CaptionFontColor(IsActive && !IsHot);
}

TColor TkxDockControlOfficePainter::TabFontColor(bool) { return DefaultFont()->Color(); }

TColor TkxDockControlOfficePainter::TabsScrollButtonsColor() { return Office11DockBackColor2; }

TColor TkxDockControlOfficePainter::TabsScrollButtonsSignColor(bool) { return DarkColor(Office11DockBackColor2); }

void TkxDockControlOfficePainter::DrawBorder(TCanvas* C, TRect R) {
  const int W = BorderWidth();
  kxDockFill(C, kxRect(R.left, R.top, R.right, R.top + W), Office11DockBorderColor1);
  kxDockFill(C, kxRect(R.left, R.bottom - W, R.right, R.bottom), Office11DockBorderColor2);
  Gradient(C, kxRect(R.left, R.top, R.left + W, R.bottom), Office11DockBorderColor1, Office11DockBorderColor2, false);
  Gradient(C, kxRect(R.right - W, R.top, R.right, R.bottom), Office11DockBorderColor1, Office11DockBorderColor2,
           false);
  if (FPaintedControl->AutoHide()) DrawColorEdge(C, R, Office11DockBorderColor2, 0, kxSideAll);
}

void TkxDockControlOfficePainter::DrawCaptionButton(TCanvas* C, TRect R, bool, bool IsDown, bool IsHot) {
  if (IsDown && IsHot) Gradient(C, R, Office11PressedButtonColor1, Office11PressedButtonColor2, false);
  else if (IsHot) Gradient(C, R, Office11HotButtonColor1, Office11HotButtonColor2, false);
  else return;
  FrameRectByOffice11Border(C->Handle(), R);
}

void TkxDockControlOfficePainter::DrawCaptionMaximizeButton(TCanvas* C, TRect R, bool IsActive, bool IsDown,
                                                            bool IsHot, bool Maximized) {
  DrawCaptionButton(C, R, IsActive, IsDown, IsHot);
  DrawMaximizeTriangle(C, R, IsActive, IsDown, IsHot, Maximized);
}

void TkxDockControlOfficePainter::DrawClient(TCanvas* C, TRect R) {
  Gradient(C, R, Office11DockBackColor1, Office11DockBackColor2, false);
}

void TkxDockControlOfficePainter::DrawTabs(TCanvas* C, TRect R, TRect ActiveTabRect,
                                           TkxTabContainerTabsPosition Pos) {
  Gradient(C, R, Office11DockBackColor1, Office11DockBackColor2, false);
  if (Pos == tctpBottom) {
    kxDockFill(C, kxRect(R.left, ActiveTabRect.top, R.right, ActiveTabRect.top + 1), Office11TabFrameColor);
    kxDockFill(C, kxRect(R.left, R.top, R.right, ActiveTabRect.top), Office11HotButtonColor1);
  } else {
    kxDockFill(C, kxRect(R.left, ActiveTabRect.bottom - 1, R.right, ActiveTabRect.bottom), Office11TabFrameColor);
    kxDockFill(C, kxRect(R.left, ActiveTabRect.bottom, R.right, R.bottom), Office11HotButtonColor2);
  }
}

void TkxDockControlOfficePainter::DrawTab(TCanvas* C, TkxCustomDockControl* AControl, TRect R, bool IsActive,
                                          TkxTabContainerTabsPosition Pos) {
  if (IsActive) {
    Gradient(C, R, Office11HotButtonColor1, Office11HotButtonColor2, false);
    const int Sides = Pos == tctpTop ? kxSideLeft | kxSideTop | kxSideRight : kxSideLeft | kxSideRight | kxSideBottom;
    DrawColorEdge(C, R, Office11TabFrameColor, 0, Sides);
  } else {
    const TRect E = kxRect(R.left - 1, R.top + 3, R.right + 1, R.bottom - 3);
    kxDockPen(C, Office11TabSeparatorDarkColor);
    kxDockLine(C, E.right - 1, E.top, E.right - 1, E.bottom);
    kxDockPen(C, Office11TabSeparatorLightColor);
    kxDockLine(C, E.right, E.top + 1, E.right, E.bottom + 1);
  }
  DrawTabContent(C, AControl, R, IsActive, Pos);
}

void TkxDockControlOfficePainter::DrawHideBar(TCanvas* C, TRect R, TkxAutoHidePosition Pos) {
  const TRect S = OuterStrip(R, Pos, HideBarButtonIndent());
  switch (Pos) {
    case ahpLeft:
      kxDockFill(C, R, Office11DockBackColor2);
      kxDockFill(C, S, Office11HideBarColor1);
      break;
    case ahpRight:
      kxDockFill(C, R, Office11DockBackColor1);
      kxDockFill(C, S, Office11HideBarColor2);
      break;
    default:
      Gradient(C, R, Office11DockBackColor2, Office11DockBackColor1, true);
      Gradient(C, S, Office11HideBarColor1, Office11HideBarColor2, true);
      break;
  }
  ExcludeClipRect(C->Handle(), S.left, S.top, S.right, S.bottom);
}

void TkxDockControlOfficePainter::DrawHideBarButton(TCanvas* C, TkxCustomDockControl* AControl, TRect R,
                                                    TkxAutoHidePosition Pos) {
  const bool Vertical = Pos == ahpLeft || Pos == ahpRight;
  TRect Part = R;
  if (auto* T = dynamic_cast<TkxTabContainerDockSite*>(AControl)) {
    const int Cell = 2 * HideBarButtonSpacing() + (Vertical ? GetDefaultImageHeight() : GetDefaultImageWidth());
    const int A = T->ActiveChild() ? T->ActiveChild()->DockIndex() : -1;
    for (int i = 0; i < T->ChildCount(); ++i) {
      if (i == A || !T->IsValidChild(T->Children(i))) continue;
      if (i < A) (Vertical ? Part.top : Part.left) += Cell;
      else (Vertical ? Part.bottom : Part.right) -= Cell;
    }
  }
  switch (Pos) {
    case ahpLeft: Gradient(C, Part, Office11HideBarButtonColor2, Office11HideBarButtonColor1, true); break;
    case ahpTop: Gradient(C, Part, Office11HideBarButtonColor2, Office11HideBarButtonColor1, false); break;
    case ahpRight: Gradient(C, Part, Office11HideBarButtonColor1, Office11HideBarButtonColor2, true); break;
    default: Gradient(C, Part, Office11HideBarButtonColor1, Office11HideBarButtonColor2, false); break;
  }
  DrawColorEdge(C, R, Office11TabFrameColor, 0, OpenSides(Pos));
  DrawHideBarButtonContent(C, AControl, R, Pos);
}

// ===================================================================== XP

TkxDockControlPainterClass TkxDockControlXPPainter::Class() {
  const TkxDockControlPainterClassInfo* Std = TkxDockControlPainter::Class();
  static const TkxDockControlPainterClassInfo Info{"TkxDockControlXPPainter", &CreateXP, Std->InitManagerColor,
                                                   Std->InitManagerFont, Std->CreateColors, Std->RefreshColors,
                                                   Std->ReleaseColors};
  return &Info;
}

std::uintptr_t TkxDockControlXPPainter::Theme(int Kind) {
  return kxOpenThemeOfKind(TkxThemeClassKind(Kind));
}

bool TkxDockControlXPPainter::TabAvailable() { return Theme(tckTab) != 0; }

bool TkxDockControlXPPainter::CanVerticalCaption() { return !TabAvailable(); }

int TkxDockControlXPPainter::CaptionButtonSize() { return TabAvailable() ? 14 : 12; }

int TkxDockControlXPPainter::CaptionHeight() {
  if (!TabAvailable()) return 16;
  return std::max(DefaultFont()->Size() + 14, GetImageHeight() + 4);
}

void TkxDockControlXPPainter::DrawBorder(TCanvas* C, TRect R) {
  if (HTHEME T = Theme(tckToolBar)) DrawThemeBackground(T, C->Handle(), 1, 2, R);
  else TkxDockControlPainter::DrawBorder(C, R);
}

void TkxDockControlXPPainter::DrawCaption(TCanvas* C, TRect R, bool IsActive) {
  HTHEME Tab = Theme(tckTab);
  if (!Tab) {
    TkxDockControlPainter::DrawCaption(C, R, IsActive);
    return;
  }
  HDC DC = C->Handle();
  if (IsActive) {
    HRGN Saved = CreateRectRgn(0, 0, 0, 0);
    const bool HadClip = GetClipRgn(DC, Saved) == 1;
    ExcludeClipRect(DC, R.left, R.top, R.left + 2, R.top + 2);
    ExcludeClipRect(DC, R.right - 2, R.top, R.right, R.top + 2);
    ExcludeClipRect(DC, R.left, R.bottom - 2, R.left + 2, R.bottom);
    ExcludeClipRect(DC, R.right - 2, R.bottom - 2, R.right, R.bottom);
    if (HTHEME E = Theme(tckExplorerBar)) DrawThemeBackground(E, DC, 5, 1, R);
    SelectClipRgn(DC, HadClip ? Saved : nullptr);
    DeleteObject(Saved);
  } else {
    DrawThemeBackground(Tab, DC, 10, 1, R);
  }
  if (HTHEME B = Theme(tckButton)) DrawThemeBackground(B, DC, 4, 1, R);
}

void TkxDockControlXPPainter::DrawCaptionSeparator(TCanvas* C, TRect R) {
  if (HTHEME T = Theme(tckTab)) DrawThemeBackground(T, C->Handle(), 10, 1, R);
  else TkxDockControlPainter::DrawCaptionSeparator(C, R);
}

void TkxDockControlXPPainter::DrawClient(TCanvas* C, TRect R) {
  if (HTHEME T = Theme(tckTab)) DrawThemeBackground(T, C->Handle(), 10, 1, R);
  else TkxDockControlPainter::DrawClient(C, R);
}

void TkxDockControlXPPainter::DrawHideBar(TCanvas* C, TRect R, TkxAutoHidePosition Pos) {
  if (HTHEME T = Theme(tckTab)) DrawThemeBackground(T, C->Handle(), 10, 1, R);
  else TkxDockControlPainter::DrawHideBar(C, R, Pos);
}

void TkxDockControlXPPainter::DrawCaptionText(TCanvas* C, TRect R, bool IsActive) {
  if (!TabAvailable()) {
    TkxDockControlPainter::DrawCaptionText(C, R, IsActive);
    return;
  }
  const int S = 2 * CaptionSpacing();
  if (IsValidImageIndex(FPaintedControl->ImageIndex())) {
    const int Top = R.top + (R.bottom - R.top - GetImageHeight()) / 2;
    const TRect Img = kxRect(R.left + S, Top, R.left + S + GetImageWidth(), Top + GetImageHeight());
    if (RectInRect(Img, R)) DrawImage(C, FPaintedControl->Images(), Img, FPaintedControl->ImageIndex());
    R.left = Img.right + S;
  }
  DrawCaptionLine(C, FPaintedControl->Caption(), R, DefaultFont(), clBlack);
}

namespace {
int ButtonState(bool IsDown, bool IsHot) { return IsDown && IsHot ? 3 : IsHot ? 2 : 1; }
}  // namespace

void TkxDockControlXPPainter::DrawCaptionCloseButton(TCanvas* C, TRect R, bool IsActive, bool IsDown, bool IsHot,
                                                     bool IsSwitched) {
  if (HTHEME W = Theme(tckWindow)) DrawThemeBackground(W, C->Handle(), 19, ButtonState(IsDown, IsHot), R);
  else TkxDockControlPainter::DrawCaptionCloseButton(C, R, IsActive, IsDown, IsHot, IsSwitched);
}

void TkxDockControlXPPainter::DrawCaptionMaximizeButton(TCanvas* C, TRect R, bool IsActive, bool IsDown, bool IsHot,
                                                        bool Maximized) {
  if (HTHEME W = Theme(tckWindow)) DrawThemeBackground(W, C->Handle(), Maximized ? 21 : 17, ButtonState(IsDown, IsHot), R);
  else TkxDockControlPainter::DrawCaptionMaximizeButton(C, R, IsActive, IsDown, IsHot, Maximized);
}

void TkxDockControlXPPainter::DrawCaptionHideButton(TCanvas* C, TRect R, bool IsActive, bool IsDown, bool IsHot,
                                                    bool AutoHide) {
  HTHEME E = Theme(tckExplorerBar);
  if (!E) {
    TkxDockControlPainter::DrawCaptionHideButton(C, R, IsActive, IsDown, IsHot, AutoHide);
    return;
  }
  TBitmap Pin;
  Pin.SetSize(16, 16);
  DrawThemeBackground(E, Pin.Canvas()->Handle(), 3, ButtonState(IsDown, IsHot), kxRect(0, 0, 16, 16));
  if (!AutoHide) RotateBitmap(&Pin, 1);
  TBitmap Face;
  Face.SetSize(std::max(1, int(R.right - R.left - 2)), std::max(1, int(R.bottom - R.top - 2)));
  Face.Canvas()->StretchDraw(kxRect(0, 0, Face.Width(), Face.Height()), &Pin);
  Face.SetTransparentColor(Face.Canvas()->Pixels(0, 0));
  Face.SetTransparent(true);
  C->Draw(R.left + 1, R.top + 1, &Face);
}

void TkxDockControlXPPainter::DrawTabs(TCanvas* C, TRect R, TRect ActiveTabRect, TkxTabContainerTabsPosition Pos) {
  HTHEME T = Theme(tckTab);
  if (!T) {
    TkxDockControlPainter::DrawTabs(C, R, ActiveTabRect, Pos);
    return;
  }
  HDC DC = C->Handle();
  DrawThemeBackground(T, DC, 10, 1, R);
  TRect E = R;
  E.right += 2;
  if (Pos == tctpBottom) E.bottom = ActiveTabRect.top + 4;
  else E.top = ActiveTabRect.bottom - 2;
  DrawThemeBackground(T, DC, 9, 1, E);
  if (Pos == tctpBottom) E.bottom = ActiveTabRect.top - 1;
  else E.top = ActiveTabRect.bottom + 1;
  DrawThemeBackground(T, DC, 10, 1, E);
}

void TkxDockControlXPPainter::DrawTab(TCanvas* C, TkxCustomDockControl* AControl, TRect R, bool IsActive,
                                      TkxTabContainerTabsPosition Pos) {
  HTHEME T = Theme(tckTab);
  if (!T) {
    TkxDockControlPainter::DrawTab(C, AControl, R, IsActive, Pos);
    return;
  }
  TRect D = R;
  if (!IsActive) {
    if (Pos == tctpTop) D.bottom -= 2;
    else D.top += 2;
  }
  TBitmap B;
  B.SetSize(std::max(1, int(D.right - D.left)), std::max(1, int(D.bottom - D.top)));
  DrawThemeBackground(T, B.Canvas()->Handle(), 5, IsActive ? 3 : 1, kxRect(0, 0, B.Width(), B.Height()));
  if (Pos == tctpBottom) RotateBitmap(&B, 3);
  C->Draw(D.left, D.top, &B);
  DrawTabContent(C, AControl, R, IsActive, Pos);
}

void TkxDockControlXPPainter::DrawTabsNextButton(TCanvas* C, TRect R, bool IsDown, bool IsHot, bool Enabled,
                                                 TkxTabContainerTabsPosition Pos) {
  HTHEME S = Theme(tckScrollBar);
  if (!S) {
    TkxDockControlPainter::DrawTabsNextButton(C, R, IsDown, IsHot, Enabled, Pos);
    return;
  }
  const int State = !Enabled ? 16 : IsDown && IsHot ? 15 : IsHot ? 14 : 13;
  DrawThemeBackground(S, C->Handle(), 1, State, R);
}

void TkxDockControlXPPainter::DrawTabsPrevButton(TCanvas* C, TRect R, bool IsDown, bool IsHot, bool Enabled,
                                                 TkxTabContainerTabsPosition Pos) {
  HTHEME S = Theme(tckScrollBar);
  if (!S) {
    TkxDockControlPainter::DrawTabsPrevButton(C, R, IsDown, IsHot, Enabled, Pos);
    return;
  }
  const int State = !Enabled ? 12 : IsDown && IsHot ? 11 : IsHot ? 10 : 9;
  DrawThemeBackground(S, C->Handle(), 1, State, R);
}

void TkxDockControlXPPainter::DrawHideBarButton(TCanvas* C, TkxCustomDockControl* AControl, TRect R,
                                                TkxAutoHidePosition Pos) {
  HTHEME T = Theme(tckTab);
  if (!T) {
    TkxDockControlPainter::DrawHideBarButton(C, AControl, R, Pos);
    return;
  }
  const bool Vertical = Pos == ahpLeft || Pos == ahpRight;
  const int W = R.right - R.left, H = R.bottom - R.top;
  TBitmap B;
  B.SetSize(std::max(1, Vertical ? H : W), std::max(1, Vertical ? W : H));
  DrawThemeBackground(T, B.Canvas()->Handle(), 5, 1, kxRect(0, 0, B.Width(), B.Height()));
  switch (Pos) {
    case ahpLeft: RotateBitmap(&B, 2); break;
    case ahpTop: RotateBitmap(&B, 3); break;
    case ahpRight: RotateBitmap(&B, 1); break;
    default: break;
  }
  C->Draw(R.left, R.top, &B);
  DrawHideBarButtonContent(C, AControl, R, Pos);
}
