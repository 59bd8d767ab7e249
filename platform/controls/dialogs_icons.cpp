// The icons of the dialogs, painted from shapes with 4 x 4 samples a pixel so
// that round edges blend into the background as the classic icons do.
#include <algorithm>
#include <cmath>
#include <functional>
#include "platform/controls/dialogs_internal.h"

namespace pvdlg {
namespace {

struct TRGB {
  double r, g, b;
};

TRGB Rgb(int R, int G, int B) { return TRGB{double(R), double(G), double(B)}; }

TRGB Mix(TRGB A, TRGB B, double T) {
  T = std::clamp(T, 0.0, 1.0);
  return TRGB{A.r + (B.r - A.r) * T, A.g + (B.g - A.g) * T, A.b + (B.b - A.b) * T};
}

using TShapeFn = std::function<bool(double X, double Y)>;
using TShadeFn = std::function<TRGB(double X, double Y)>;

// A canvas of blended colours the icons are painted on.
class TPixmap {
 public:
  TPixmap(int W, int H, TColor Background) : FW(W), FH(H), FPix(std::size_t(W * H)) {
    COLORREF c = ColorToRGB(Background);
    std::fill(FPix.begin(), FPix.end(), Rgb(GetRValue(c), GetGValue(c), GetBValue(c)));
  }
  // Paints the shape with Shade, Alpha at full cover.
  void Fill(const TShapeFn& Shape, const TShadeFn& Shade, double Alpha = 1.0) {
    for (int y = 0; y < FH; ++y)
      for (int x = 0; x < FW; ++x) {
        int in = 0;
        for (int sy = 0; sy < 4; ++sy)
          for (int sx = 0; sx < 4; ++sx)
            if (Shape(x + (sx + 0.5) / 4, y + (sy + 0.5) / 4)) ++in;
        if (!in) continue;
        TRGB& p = FPix[std::size_t(y * FW + x)];
        p = Mix(p, Shade(x + 0.5, y + 0.5), Alpha * in / 16.0);
      }
  }
  void Fill(const TShapeFn& Shape, TRGB Colour, double Alpha = 1.0) {
    Fill(Shape, [Colour](double, double) { return Colour; }, Alpha);
  }
  void CopyTo(TBitmap* Bitmap) const {
    Bitmap->SetSize(FW, FH);
    for (int y = 0; y < FH; ++y) {
      std::uint32_t* row = Bitmap->ScanLine(y);
      for (int x = 0; x < FW; ++x) {
        const TRGB& p = FPix[std::size_t(y * FW + x)];
        auto ch = [](double v) { return std::uint32_t(std::clamp(int(std::lround(v)), 0, 255)); };
        row[x] = 0xFF000000u | ch(p.r) << 16 | ch(p.g) << 8 | ch(p.b);
      }
    }
  }

 private:
  int FW, FH;
  std::vector<TRGB> FPix;
};

// ---- shapes ----

TShapeFn Disc(double Cx, double Cy, double R) {
  return [=](double x, double y) { return (x - Cx) * (x - Cx) + (y - Cy) * (y - Cy) <= R * R; };
}

double SegmentDistance(double X, double Y, double Ax, double Ay, double Bx, double By) {
  double dx = Bx - Ax, dy = By - Ay;
  double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? std::clamp(((X - Ax) * dx + (Y - Ay) * dy) / len2, 0.0, 1.0) : 0.0;
  double px = Ax + t * dx - X, py = Ay + t * dy - Y;
  return std::sqrt(px * px + py * py);
}

// A stroke of half-width W with round ends.
TShapeFn Stroke(double Ax, double Ay, double Bx, double By, double W) {
  return [=](double x, double y) { return SegmentDistance(x, y, Ax, Ay, Bx, By) <= W; };
}

TShapeFn Box(double L, double T, double R, double B) {
  return [=](double x, double y) { return x >= L && x < R && y >= T && y < B; };
}

TShapeFn Union(TShapeFn A, TShapeFn B) {
  return [=](double x, double y) { return A(x, y) || B(x, y); };
}

// Signed distance to a convex polygon given clockwise on screen (negative inside).
template <std::size_t N>
double PolygonDistance(double X, double Y, const double (&P)[N]) {
  constexpr std::size_t n = N / 2;
  double d = 1e9;
  bool inside = true;
  for (std::size_t i = 0; i < n; ++i) {
    double ax = P[2 * i], ay = P[2 * i + 1], bx = P[(2 * i + 2) % N], by = P[(2 * i + 3) % N];
    d = std::min(d, SegmentDistance(X, Y, ax, ay, bx, by));
    if ((bx - ax) * (Y - ay) - (by - ay) * (X - ax) < 0) inside = false;
  }
  return inside ? -d : d;
}

double TriangleDistance(double X, double Y, const double (&P)[6]) { return PolygonDistance(X, Y, P); }

// ---- the message icons ----

// The speech bubble of the information and question icons.
void Bubble(TPixmap& P) {
  const double cx = 15.5, cy = 14.0, r = 13.2;
  const double tail[6] = {6.0, 20.0, 13.0, 25.5, 3.0, 30.5};
  auto shape = [=](double dx, double dy, double grow) {
    return [=](double x, double y) {
      x -= dx;
      y -= dy;
      return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= (r + grow) * (r + grow) ||
             TriangleDistance(x, y, tail) <= grow;
    };
  };
  P.Fill(shape(1.5, 1.5, 0.0), Rgb(0, 0, 0), 0.28);      // shadow
  P.Fill(shape(0, 0, 0.0), Rgb(64, 64, 64));              // outline
  P.Fill(shape(0, 0, -1.1), [=](double x, double y) {   // body, shaded towards the lower right
    return Mix(Rgb(255, 255, 255), Rgb(200, 200, 200), (x + y - 30) / 24.0);
  });
}

void PaintError(TPixmap& P) {
  P.Fill(Disc(17.0, 17.0, 14.2), Rgb(0, 0, 0), 0.28);
  P.Fill(Disc(15.5, 15.5, 14.2), Rgb(128, 0, 0));
  P.Fill(Disc(15.5, 15.5, 13.1), [](double x, double y) {
    return Mix(Rgb(255, 96, 96), Rgb(192, 0, 0), std::hypot(x - 10.5, y - 10.0) / 22.0);
  });
  TRGB white = Rgb(255, 255, 255);
  P.Fill(Stroke(10.5, 10.5, 20.5, 20.5, 1.9), white);
  P.Fill(Stroke(20.5, 10.5, 10.5, 20.5, 1.9), white);
}

void PaintWarning(TPixmap& P) {
  const double tri[6] = {15.5, 2.5, 29.5, 27.5, 1.5, 27.5};
  const double shadow[6] = {17.0, 4.0, 31.0, 29.0, 3.0, 29.0};
  P.Fill([&](double x, double y) { return TriangleDistance(x, y, shadow) <= 0.8; }, Rgb(0, 0, 0), 0.28);
  P.Fill([&](double x, double y) { return TriangleDistance(x, y, tri) <= 1.0; }, Rgb(40, 40, 0));
  P.Fill([&](double x, double y) { return TriangleDistance(x, y, tri) <= -0.4; }, [](double, double y) {
    return Mix(Rgb(255, 255, 140), Rgb(240, 200, 0), (y - 4) / 22.0);
  });
  TRGB black = Rgb(0, 0, 0);
  P.Fill(Stroke(15.5, 10.0, 15.5, 18.5, 1.6), black);
  P.Fill(Disc(15.5, 23.0, 1.8), black);
}

void PaintInformation(TPixmap& P) {
  Bubble(P);
  TRGB blue = Rgb(0, 0, 255);
  P.Fill(Disc(15.5, 7.2, 2.1), blue);
  P.Fill(Union(Union(Box(13.5, 11.0, 17.5, 21.0), Box(12.0, 11.0, 17.5, 12.5)), Box(12.0, 20.0, 19.5, 22.0)), blue);
}

void PaintQuestion(TPixmap& P) {
  Bubble(P);
  TRGB blue = Rgb(0, 0, 255);
  const double cx = 15.5, cy = 9.8, r = 4.6, w = 1.8;
  const double pi = 3.14159265358979;
  const double endA = 40 * pi / 180;
  const double ex = cx + r * std::cos(endA), ey = cy + r * std::sin(endA);
  P.Fill([=](double x, double y) {
    double d = std::hypot(x - cx, y - cy);
    if (d < r - w || d > r + w) return false;
    double a = std::atan2(y - cy, x - cx);
    return a <= endA || a >= 165 * pi / 180;
  }, blue);
  P.Fill(Union(Stroke(ex, ey, 15.5, 15.5, w), Stroke(15.5, 15.5, 15.5, 17.2, w)), blue);
  P.Fill(Disc(15.5, 21.3, 2.0), blue);
}

// ---- the small icons ----

void PaintFolder(TPixmap& P, bool Open) {
  TRGB edge = Rgb(128, 96, 0);
  P.Fill(Union(Box(1, 3, 7, 5), Box(1, 4, 15, 14)), edge);
  P.Fill(Union(Box(2, 4, 6, 5), Box(2, 5, 14, 13)), [](double, double y) {
    return Mix(Rgb(255, 236, 150), Rgb(230, 180, 40), (y - 5) / 8.0);
  });
  if (Open) {
    // the front of the open folder, tilted back
    const double front[8] = {4.5, 7.0, 16.0, 7.0, 13.5, 14.0, 1.0, 14.0};
    P.Fill([&](double x, double y) { return PolygonDistance(x, y, front) <= 0; }, edge);
    P.Fill([&](double x, double y) { return PolygonDistance(x, y, front) <= -0.9; }, Rgb(255, 240, 170));
  }
}

void PaintFile(TPixmap& P) {
  const double fold[6] = {10.0, 1.0, 13.0, 4.0, 10.0, 4.0};
  P.Fill(Union(Box(2, 1, 10, 15), Box(2, 4, 13, 15)), Rgb(96, 96, 96));
  P.Fill([&](double x, double y) { return (x >= 3 && x < 10 && y >= 2 && y < 14) || (x >= 3 && x < 12 && y >= 5 && y < 14); },
         Rgb(255, 255, 255));
  P.Fill([&](double x, double y) { return TriangleDistance(x, y, fold) <= 0; }, Rgb(200, 200, 200));
  for (int l = 0; l < 4; ++l) P.Fill(Box(4, 6 + 2 * l, l == 3 ? 8 : 11, 7 + 2 * l), Rgb(150, 150, 170));
}

void PaintUpFolder(TPixmap& P) {
  PaintFolder(P, false);
  TRGB green = Rgb(0, 128, 0);
  P.Fill(Stroke(10.0, 12.0, 10.0, 5.0, 1.0), green);
  const double head[6] = {10.0, 1.5, 13.5, 6.0, 6.5, 6.0};
  P.Fill([&](double x, double y) { return TriangleDistance(x, y, head) <= 0; }, green);
}

void PaintDrive(TPixmap& P) {
  P.Fill(Box(1, 6, 15, 12), Rgb(96, 96, 96));
  P.Fill(Box(2, 7, 14, 11), Rgb(210, 210, 210));
  P.Fill(Box(11, 8, 13, 10), Rgb(0, 192, 0));
}

}  // namespace

void PaintMessageIcon(TBitmap* Bitmap, TIconKind Kind, TColor Background) {
  TPixmap p(32, 32, Background);
  switch (Kind) {
    case ikError: PaintError(p); break;
    case ikWarning: PaintWarning(p); break;
    case ikInformation: PaintInformation(p); break;
    case ikQuestion: PaintQuestion(p); break;
    case ikNone: break;
  }
  p.CopyTo(Bitmap);
}

void PaintSmallIcon(TBitmap* Bitmap, TSmallIcon Kind, TColor Background) {
  TPixmap p(16, 16, Background);
  switch (Kind) {
    case siFolder: PaintFolder(p, false); break;
    case siOpenFolder: PaintFolder(p, true); break;
    case siFile: PaintFile(p); break;
    case siUpFolder: PaintUpFolder(p); break;
    case siDrive: PaintDrive(p); break;
  }
  p.CopyTo(Bitmap);
}

}  // namespace pvdlg
