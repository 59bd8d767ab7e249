// Drawing and colour helpers shared by the painter styles, the process-wide
// colours they use, and the registration of the styles.
#include <algorithm>
#include <cmath>

#include "framework/uxlookandfeel.h"
#include "framework/uxoffice11.h"
#include "pagecontrol/uxpcpainters.h"
#include "pagecontrol/uxpcutils.h"

namespace {

TColor gLightButtonFace = clBtnFace;
TColor gOneNoteColors[6] = {clBtnShadow, clBtnShadow, clBtnShadow, TColor(0x6A240A), clBtnFace, clBtnFace};
int gStartCount = 0;

// Reloads the OneNote colours after every system colour change.
class TuxPaletteChangedNotifier : public TuxSystemPaletteChangedNotifier {
 public:
  TuxPaletteChangedNotifier() : TuxSystemPaletteChangedNotifier(true) {}
  void DoChanged() override {
    LoadOneNoteColors();
    TuxSystemPaletteChangedNotifier::DoChanged();
  }
};
TuxPaletteChangedNotifier* gNotifier = nullptr;

// Edge directions of the last point of a turned outline.
TPoint LastPointShift(TLinePosition P) {
  switch (P) {
    case lpL: return pcPoint(0, -1);
    case lpLT: return pcPoint(1, -1);
    case lpT: return pcPoint(1, 0);
    case lpRT: return pcPoint(1, 1);
    case lpR: return pcPoint(0, 1);
    case lpRB: return pcPoint(-1, 1);
    case lpB: return pcPoint(-1, 0);
    default: return pcPoint(-1, -1);
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// outlines and regions

int uxPCRotationKind(TuxTabPosition Side) {
  switch (Side) {
    case tpBottom: return 1;
    case tpLeft: return 2;
    case tpRight: return 3;
    default: return 0;
  }
}

TRect uxPCTowardsPage(const TRect& R, TuxTabPosition Side, int By) {
  switch (Side) {
    case tpTop: return pcExtend(R, 0, 0, 0, By);
    case tpBottom: return pcExtend(R, 0, By, 0, 0);
    case tpLeft: return pcExtend(R, 0, 0, By, 0);
    default: return pcExtend(R, By, 0, 0, 0);
  }
}

void AppendFigurePoints(TPoints& Points, TLinePositions& LinePositions, std::initializer_list<TPoint> NewPoints,
                        std::initializer_list<TLinePosition> NewLinePositions) {
  Points.insert(Points.end(), NewPoints.begin(), NewPoints.end());
  LinePositions.insert(LinePositions.end(), NewLinePositions.begin(), NewLinePositions.end());
}

bool HasLinePosition(TLinePosition Position, const TLinePositions& LinePositions) {
  return std::find(LinePositions.begin(), LinePositions.end(), Position) != LinePositions.end();
}

TuxRegion* CreateFigureRegion(TPoints Points, const TLinePositions& LinePositions, bool Expand) {
  if (Expand) {
    auto Has = [&](TLinePosition P) { return HasLinePosition(P, LinePositions); };
    for (std::size_t i = 0; i < LinePositions.size() && i + 1 < Points.size(); ++i) {
      TPoint& S = Points[i];
      TPoint& E = Points[i + 1];
      switch (LinePositions[i]) {
        case lpL:
          S.x += 1;
          if (Has(lpLB)) S.y += 1;
          E.x += 1;
          if (Has(lpLT)) E.y -= 1;
          break;
        case lpLT:
          Has(lpL) ? S.y += 1 : S.x += 1;
          Has(lpT) ? E.x += 1 : E.y += 1;
          break;
        case lpT:
          S.y += 1;
          if (Has(lpLT)) S.x -= 1;
          E.y += 1;
          if (Has(lpRT)) E.x += 1;
          break;
        case lpRT:
          Has(lpT) ? S.x += 1 : S.y -= 1;
          Has(lpR) ? E.y -= 1 : E.x += 1;
          break;
        case lpR:
          S.x += 1;
          if (Has(lpRT)) S.y += 1;
          E.x += 1;
          if (Has(lpRB)) E.y -= 1;
          break;
        case lpRB:
          Has(lpR) ? S.y += 1 : S.x += 1;
          Has(lpB) ? E.x += 1 : E.y += 1;
          break;
        case lpB:
          S.y += 1;
          if (Has(lpRB)) S.x -= 1;
          E.y += 1;
          if (Has(lpLB)) E.x += 1;
          break;
        case lpLB:
          Has(lpB) ? S.x += 1 : S.y -= 1;
          Has(lpL) ? E.y -= 1 : E.x += 1;
          break;
      }
    }
  }
  std::vector<POINT> P(Points.begin(), Points.end());
  return TuxRegion::CreateFromHandle(CreatePolygonRgn(P.data(), int(P.size()), WINDING));
}

TuxRegion* CreateTabFigureRegion(const TRect& R, TPoints Points, TLinePositions LinePositions, bool Expand,
                                 TuxTabPosition Side) {
  const int Kind = uxPCRotationKind(Side);
  for (TPoint& P : Points) TuxPCCustomPainter::RotatePoint(R, P, Kind);
  if (Side == tpBottom || Side == tpRight) {
    std::reverse(Points.begin(), Points.end());
    std::reverse(LinePositions.begin(), LinePositions.end());
  }
  for (TLinePosition& L : LinePositions) switch (Side) {
      case tpBottom:
        if (L == lpLT) L = lpLB;
        else if (L == lpT) L = lpB;
        else if (L == lpRT) L = lpRB;
        break;
      case tpLeft:
        if (L == lpL) L = lpB;
        else if (L == lpLT) L = lpLB;
        else if (L == lpT) L = lpL;
        else if (L == lpRT) L = lpLT;
        else if (L == lpR) L = lpT;
        break;
      case tpRight:
        if (L == lpL) L = lpB;
        else if (L == lpLT) L = lpRB;
        else if (L == lpT) L = lpR;
        else if (L == lpR) L = lpT;
        break;
      default: break;
    }
  if (!Points.empty() && !LinePositions.empty()) {
    const TPoint D = LastPointShift(LinePositions.back());
    Points.back().x += D.x;
    Points.back().y += D.y;
    if (Side == tpLeft && LinePositions.front() == lpLB) {
      Points.front().x += 1;
      Points.front().y += 1;
    }
  }
  return CreateFigureRegion(Points, LinePositions, Expand);
}

void DrawBorderLines(TuxCanvas* ACanvas, TRect& R, std::initializer_list<TuxBorder> Borders,
                     std::initializer_list<TColor> Colors, bool Exclude) {
  const TRect Before = R;
  auto C = Colors.begin();
  for (TuxBorder B : Borders) {
    ACanvas->Pen()->SetStyle(psSolid);
    ACanvas->Pen()->SetWidth(1);
    if (C != Colors.end()) ACanvas->Pen()->SetColor(*C++);
    switch (B) {
      case bLeft:
        ACanvas->Polyline({pcPoint(R.left, R.top), pcPoint(R.left, R.bottom)});
        ++R.left;
        break;
      case bTop:
        ACanvas->Polyline({pcPoint(R.left, R.top), pcPoint(R.right, R.top)});
        ++R.top;
        break;
      case bRight:
        ACanvas->Polyline({pcPoint(R.right - 1, R.top), pcPoint(R.right - 1, R.bottom)});
        --R.right;
        break;
      case bBottom:
        ACanvas->Polyline({pcPoint(R.left, R.bottom - 1), pcPoint(R.right, R.bottom - 1)});
        --R.bottom;
        break;
    }
  }
  if (Exclude) {
    auto* Frame = new TuxRegion(Before);
    Frame->Combine(new TuxRegion(R), rcoDifference, true);
    ACanvas->SetClipRegion(Frame, rcoDifference);
  }
}

void GetRectExtents(const TRect& R, bool Horizontal, int& Along, int& Across) {
  Along = Horizontal ? R.Width() : R.Height();
  Across = Horizontal ? R.Height() : R.Width();
}

// ---------------------------------------------------------------------------
// colours

void ColorToHSB(TColor Color, long double& Hue, long double& Saturation, long double& Brightness) {
  const COLORREF C = ColorToRGB(Color);
  const long double R = GetRValue(C), G = GetGValue(C), B = GetBValue(C);
  const long double V = std::max({R, G, B}), M = std::min({R, G, B});
  Brightness = V * 100 / 255;
  Saturation = V == 0 ? 0 : 100 - M * 100 / V;
  if (Saturation == 0) {
    Hue = 0;
    return;
  }
  if (V == R)
    Hue = 60 * (G - B) / (V - M);
  else if (V == G)
    Hue = 60 * (B - R) / (V - M) + 120;
  else
    Hue = 60 * (R - G) / (V - M) + 240;
  if (Hue < 0) Hue += 360;
}

TColor HSBToColor(long double Hue, long double Saturation, long double Brightness) {
  if (Brightness == 0) return TColor(0);
  const long double V = Brightness * 255 / 100, M = V * (100 - Saturation) / 100, D = V - M;
  long double R, G, B;
  if (Hue <= 60) {
    R = V;
    G = M + D * Hue / 60;
    B = M;
  } else if (Hue <= 120) {
    R = V - D * (Hue - 60) / 60;
    G = V;
    B = M;
  } else if (Hue <= 180) {
    R = M;
    G = V;
    B = M + D * (Hue - 120) / 60;
  } else if (Hue <= 240) {
    R = M;
    G = V - D * (Hue - 180) / 60;
    B = V;
  } else if (Hue <= 300) {
    R = M + D * (Hue - 240) / 60;
    G = M;
    B = V;
  } else {
    R = V;
    G = M;
    B = V - D * (Hue - 300) / 60;
  }
  return TColor(RGB(BYTE(std::trunc(R)), BYTE(std::trunc(G)), BYTE(std::trunc(B))));
}

TColor LightenColor(TColor Color, int Percent) {
  long double H, S, B;
  ColorToHSB(Color, H, S, B);
  B = std::min<long double>(100, B * (100 + Percent) / 100);
  return HSBToColor(H, S, B);
}

void UpdateLightButtonFace() {
  const COLORREF C = ColorToRGB(clBtnFace);
  auto Up = [](int V) { return BYTE(std::min(255, V + 20)); };
  gLightButtonFace = TColor(RGB(Up(GetRValue(C)), Up(GetGValue(C)), Up(GetBValue(C))));
}

TColor uxPCLightButtonFace() { return gLightButtonFace; }

void LoadOneNoteColors() {
  // Colours 0, 1, 3 and 5 are those the styles use; 2 and 4 repeat their neighbours.
  static const TColor Table[4][6] = {
      {clBtnShadow, clBtnShadow, clBtnShadow, TColor(0x6A240A), clBtnFace, clBtnFace},
      {TColor(0x9C613B), TColor(0x9A3500), TColor(0x9A3500), TColor(0x800000), TColor(0xF1A675), TColor(0xF1A675)},
      {TColor(0x588060), TColor(0x6B7760), TColor(0x6B7760), TColor(0x385D3F), TColor(0x8CC2B0), TColor(0x8CC2B0)},
      {TColor(0x947C7C), TColor(0x927476), TColor(0x927476), TColor(0x6F4B4B), TColor(0xCEB9BA), TColor(0xCEB9BA)},
  };
  const int Scheme = std::clamp(int(GetOffice11Scheme()), 0, 3);
  for (int i = 0; i < 6; ++i) gOneNoteColors[i] = Table[Scheme][i];
}

TColor uxPCOneNoteColor(int Index) { return gOneNoteColors[std::clamp(Index, 0, 5)]; }

// ---------------------------------------------------------------------------
// registration

namespace {
// The styles in their fixed order: the factory asks the last registered first.
std::vector<TuxPCPainterClass> RegisteredStyles() {
  return {TuxPCTabsPainter::Class(),      TuxPCButtonsPainter::Class(),   TuxPCFlatButtonsPainter::Class(),
          TuxPCExtraFlatPainter::Class(), TuxPCUltraFlatPainter::Class(), TuxPCFlatPainter::Class(),
          TuxPCOffice11Painter::Class(),  TuxPCSlantedPainter::Class(),   TuxPCOneNotePainter::Class()};
}
}  // namespace

void uxInitPCPainters() {
  if (gStartCount++ > 0) return;
  UpdateLightButtonFace();
  LoadOneNoteColors();
  gNotifier = new TuxPaletteChangedNotifier;
  for (TuxPCPainterClass C : RegisteredStyles()) RegisterPainterClass(C);
}

void uxDonePCPainters() {
  if (gStartCount == 0 || --gStartCount > 0) return;
  for (TuxPCPainterClass C : RegisteredStyles()) UnregisterPainterClass(C);
  delete gNotifier;
  gNotifier = nullptr;
}
