// Lines, shapes, fills and paths with the platform's pixel rules: line end
// points are not drawn, rectangles exclude their right and bottom edges.
#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/gdi/gdi_internal.h"

namespace pvgdi {

struct Ctx {
  DCObj* dc = nullptr;
  Target t;
  const Region* clip = nullptr;
  POINT off;
};

static bool Begin(HDC hdc, Ctx& c) {
  c.dc = LookupDC(hdc);
  if (!c.dc || !c.dc->GetTarget(c.t)) return false;
  c.dc->drawn = true;
  c.clip = &c.dc->Clip(c.t);
  c.off = c.dc->Offset();
  return true;
}

struct PenInfo {
  bool null = true;
  int width = 1;
  bool inside = false;
  std::uint32_t color = 0, bk = 0;
  bool opaqueGaps = false;
  std::vector<int> dashes;  // on, off, on, off ... (empty: solid)
};

static PenInfo GetPenInfo(Ctx& c) {
  PenInfo pi;
  PenObj* p = GetPen(c.dc->st.pen);
  if (!p) return pi;
  UINT kind = p->Kind();
  if (kind == PS_NULL) return pi;
  pi.null = false;
  pi.width = p->width;
  pi.inside = kind == PS_INSIDEFRAME;
  pi.color = MapColor(c.t, p->dcPen ? c.dc->st.dcPen : p->color);
  pi.bk = MapColor(c.t, c.dc->st.bk);
  pi.opaqueGaps = c.dc->st.bkMode == OPAQUE;
  // Styled lines are drawn only by thin pens; wide pens draw solid (except user styles).
  if (pi.width <= 1 || kind == PS_USERSTYLE) {
    switch (kind) {
      case PS_DASH: pi.dashes = {18, 6}; break;
      case PS_DOT: pi.dashes = {3, 3}; break;
      case PS_DASHDOT: pi.dashes = {9, 6, 3, 6}; break;
      case PS_DASHDOTDOT: pi.dashes = {9, 3, 3, 3, 3, 3}; break;
      case PS_ALTERNATE: pi.dashes = {1, 1}; break;
      case PS_USERSTYLE:
        for (DWORD d : p->user) pi.dashes.push_back(int(std::max<DWORD>(d, 1)));
        if (pi.dashes.size() % 2) pi.dashes.push_back(pi.dashes.back());
        break;
    }
  }
  if (pi.width > 1 && kind == PS_USERSTYLE) pi.width = 1;
  return pi;
}

// Draws connected line segments with the DC's pen in target pixels.
struct LineDrawer {
  Ctx& c;
  PenInfo pen;
  int rop2;
  long long styleStep = 0;
  std::vector<Span> wide;
  int hint = -1;

  explicit LineDrawer(Ctx& ctx) : c(ctx), pen(GetPenInfo(ctx)), rop2(ctx.dc->st.rop2) {}

  bool StyleOn() {
    if (pen.dashes.empty()) return true;
    long long total = 0;
    for (int d : pen.dashes) total += d;
    long long pos = styleStep % total;
    for (std::size_t i = 0; i < pen.dashes.size(); ++i) {
      if (pos < pen.dashes[i]) return i % 2 == 0;
      pos -= pen.dashes[i];
    }
    return true;
  }

  void Plot(int x, int y) {
    if (pen.width > 1) {
      int a = pen.width / 2;
      EllipseSpans(x - a, y - a, x - a + pen.width, y - a + pen.width, wide);
      return;
    }
    bool on = StyleOn();
    ++styleStep;
    if (!on && !pen.opaqueGaps) return;
    Paint p;
    p.color = on ? pen.color : pen.bk;
    FillSpan(c.t, *c.clip, y, x, x + 1, p, rop2, &hint);
  }

  // From a to b (target pixels), b excluded.
  void Seg(POINT a, POINT b) {
    if (pen.null) return;
    const long long dx = (long long)b.x - a.x, dy = (long long)b.y - a.y;
    if (dy == 0 && pen.dashes.empty() && pen.width <= 1) {
      Paint p;
      p.color = pen.color;
      const long long x1 = dx >= 0 ? a.x : b.x + 1LL, x2 = dx >= 0 ? b.x : a.x + 1LL;
      if (x1 >= x2) return;
      FillSpan(c.t, *c.clip, a.y, int(x1), int(std::min<long long>(x2, INT_MAX)), p, rop2, &hint);
      return;
    }
    // Bresenham along the major axis. Only the steps whose pixel can reach the clip
    // are walked: the others are skipped in one go, the pen style advanced as if they
    // had been drawn, so a line reaching far outside costs no more than its visible part.
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const long long dMaj = xMajor ? std::llabs(dx) : std::llabs(dy), dMin = xMajor ? std::llabs(dy) : std::llabs(dx);
    const int sMaj = (xMajor ? dx : dy) > 0 ? 1 : -1, sMin = (xMajor ? dy : dx) > 0 ? 1 : -1;
    const long long aMaj = xMajor ? a.x : a.y, aMin = xMajor ? a.y : a.x;
    const long long n = dMaj;
    // minor-axis steps taken before step j
    auto minorAt = [&](long long j) {
      const __int128 num = __int128(2) * dMin * j - dMaj, den = __int128(2) * dMaj;
      return (long long)(num / den + (num > 0 && num % den != 0 ? 1 : 0));
    };
    long long j0 = 0, j1 = 0;
    if (n > 0 && !c.clip->Empty()) {
      const RECT box = c.clip->Box();
      const long long m = std::max(pen.width, 1);
      const long long majLo = (xMajor ? box.left : box.top) - m, majHi = (xMajor ? box.right : box.bottom) + m;
      const long long minLo = (xMajor ? box.top : box.left) - m, minHi = (xMajor ? box.bottom : box.right) + m;
      // steps whose major coordinate lies in [majLo, majHi)
      j0 = std::max(0LL, sMaj > 0 ? majLo - aMaj : aMaj - majHi + 1);
      j1 = std::min(n, sMaj > 0 ? majHi - aMaj : aMaj - majLo + 1);
      // the minor coordinate moves one way only: cut the steps before it enters and after it leaves
      const long long kLo = sMin > 0 ? minLo - aMin : aMin - minHi + 1, kHi = sMin > 0 ? minHi - aMin : aMin - minLo + 1;
      auto firstWith = [&](long long k, long long lo, long long hi) {  // first j in [lo, hi] with minorAt(j) >= k
        while (lo < hi) {
          const long long mid = lo + (hi - lo) / 2;
          if (minorAt(mid) >= k) hi = mid;
          else lo = mid + 1;
        }
        return lo;
      };
      if (j0 < j1) {
        j0 = firstWith(kLo, j0, j1);
        j1 = firstWith(kHi, j0, j1);
      }
    }
    const bool counts = pen.width <= 1;  // thin pens step their style per pixel
    if (j0 >= j1) {
      if (counts) styleStep += n;
    } else {
      if (counts) styleStep += j0;
      long long k = minorAt(j0);
      // the products reach past 64 bits on far-out lines; the difference stays small
      long long err = (long long)(__int128(2) * dMin * (j0 + 1) - dMaj - __int128(2) * dMaj * k);
      long long maj = aMaj + sMaj * j0, mnr = aMin + sMin * k;
      for (long long j = j0; j < j1; ++j) {
        if (xMajor) Plot(int(maj), int(mnr));
        else Plot(int(mnr), int(maj));
        if (err > 0) {
          mnr += sMin;
          err -= 2 * dMaj;
        }
        err += 2 * dMin;
        maj += sMaj;
      }
      if (counts) styleStep += n - j1;
    }
    if (pen.width > 1) Plot(b.x, b.y);  // wide pens have round caps
  }

  void Finish() {
    if (wide.empty()) return;
    Paint p;
    p.color = pen.color;
    FillRegion(c.t, *c.clip, Region::FromSpans(std::move(wide)), p, rop2);
    wide.clear();
  }
};

static POINT Px(const Ctx& c, int x, int y) { return POINT{x + c.off.x, y + c.off.y}; }

// Pixels of r that have all four neighbours in r.
static Region Erode(const Region& r, int times) {
  Region cur = r;
  for (int i = 0; i < times && !cur.Empty(); ++i) {
    Region a = cur, b = cur, d = cur, e = cur;
    a.Offset(1, 0);
    b.Offset(-1, 0);
    d.Offset(0, 1);
    e.Offset(0, -1);
    Region x = Region::Combine(cur, a, RGN_AND);
    x = Region::Combine(x, b, RGN_AND);
    x = Region::Combine(x, d, RGN_AND);
    cur = Region::Combine(x, e, RGN_AND);
  }
  return cur;
}

// Fills shape F: the interior with the brush, the rim with the pen.
static void DrawShape(Ctx& c, const Region& F) {
  PenInfo pen = GetPenInfo(c);
  int rop2 = c.dc->st.rop2;
  Paint brush = BrushPaint(c.dc, c.t, c.dc->st.brush);
  if (pen.null) {
    FillRegion(c.t, *c.clip, F, brush, rop2);
    return;
  }
  Region inner = Erode(F, pen.width);
  FillRegion(c.t, *c.clip, inner, brush, rop2);
  Paint p;
  p.color = pen.color;
  FillRegion(c.t, *c.clip, Region::Combine(F, inner, RGN_DIFF), p, rop2);
}

// Path recording (device coordinates).
static POINT Dev(const Ctx& c, int x, int y) {
  return POINT{x + c.dc->st.vpOrg.x - c.dc->st.winOrg.x, y + c.dc->st.vpOrg.y - c.dc->st.winOrg.y};
}
static void PathMove(Ctx& c, POINT d) {
  c.dc->path.figures.push_back({d});
  c.dc->path.closedFig.push_back(false);
}
static void PathLine(Ctx& c, POINT from, POINT d) {
  auto& f = c.dc->path.figures;
  if (f.empty() || c.dc->path.closedFig.back()) PathMove(c, from);
  f.back().push_back(d);
}
static void PathPoly(Ctx& c, const std::vector<POINT>& devPts) {
  c.dc->path.figures.push_back(devPts);
  c.dc->path.closedFig.push_back(true);
}

static void NormRect(int& l, int& t, int& r, int& b) {
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
}

}  // namespace pvgdi

using namespace pvgdi;

BOOL MoveToEx(HDC hdc, int x, int y, POINT* old) {
  DCObj* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  if (old) *old = dc->st.cur;
  dc->st.cur = POINT{x, y};
  if (dc->path.open) {
    Ctx c;
    c.dc = dc;
    PathMove(c, Dev(c, x, y));
  }
  return TRUE;
}

BOOL GetCurrentPositionEx(HDC hdc, POINT* pt) {
  DCObj* dc = LookupDC(hdc);
  if (!dc || !pt) return FALSE;
  *pt = dc->st.cur;
  return TRUE;
}

BOOL LineTo(HDC hdc, int x, int y) {
  DCObj* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  POINT from = dc->st.cur;
  dc->st.cur = POINT{x, y};
  Ctx c;
  if (dc->path.open) {
    c.dc = dc;
    PathLine(c, Dev(c, from.x, from.y), Dev(c, x, y));
    return TRUE;
  }
  if (!Begin(hdc, c)) return TRUE;
  LineDrawer ld(c);
  ld.Seg(Px(c, from.x, from.y), Px(c, x, y));
  ld.Finish();
  return TRUE;
}

static BOOL DrawPolyline(HDC hdc, const POINT* pts, int count, bool closed) {
  Ctx c;
  if (!pts || count < 0) return FALSE;
  DCObj* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  if (dc->path.open) {
    c.dc = dc;
    std::vector<POINT> d;
    for (int i = 0; i < count; ++i) d.push_back(Dev(c, pts[i].x, pts[i].y));
    if (closed) PathPoly(c, d);
    else if (!d.empty()) {
      PathMove(c, d[0]);
      for (int i = 1; i < count; ++i) c.dc->path.figures.back().push_back(d[i]);
    }
    return TRUE;
  }
  if (count < 2 || !Begin(hdc, c)) return TRUE;
  LineDrawer ld(c);
  for (int i = 1; i < count; ++i) ld.Seg(Px(c, pts[i - 1].x, pts[i - 1].y), Px(c, pts[i].x, pts[i].y));
  if (closed) ld.Seg(Px(c, pts[count - 1].x, pts[count - 1].y), Px(c, pts[0].x, pts[0].y));
  ld.Finish();
  return TRUE;
}

BOOL Polyline(HDC hdc, const POINT* pts, int count) {
  if (count < 2) return FALSE;
  return DrawPolyline(hdc, pts, count, false);
}

BOOL PolylineTo(HDC hdc, const POINT* pts, DWORD count) {
  DCObj* dc = LookupDC(hdc);
  if (!dc || !pts) return FALSE;
  std::vector<POINT> v;
  v.push_back(dc->st.cur);
  v.insert(v.end(), pts, pts + count);
  if (dc->path.open) {
    Ctx c;
    c.dc = dc;
    for (DWORD i = 0; i < count; ++i) PathLine(c, Dev(c, v[i].x, v[i].y), Dev(c, v[i + 1].x, v[i + 1].y));
  } else {
    DrawPolyline(hdc, v.data(), int(v.size()), false);
  }
  if (count) dc->st.cur = pts[count - 1];
  return TRUE;
}

BOOL PolyPolyline(HDC hdc, const POINT* pts, const DWORD* counts, DWORD polys) {
  if (!pts || !counts) return FALSE;
  const POINT* p = pts;
  for (DWORD i = 0; i < polys; ++i) {
    if (counts[i] < 2) return FALSE;
    DrawPolyline(hdc, p, int(counts[i]), false);
    p += counts[i];
  }
  return TRUE;
}

BOOL PolyPolygon(HDC hdc, const POINT* pts, const INT* counts, int polys) {
  Ctx c;
  if (!pts || !counts || polys <= 0) return FALSE;
  DCObj* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  if (dc->path.open) {
    c.dc = dc;
    const POINT* p = pts;
    for (int i = 0; i < polys; ++i) {
      std::vector<POINT> d;
      for (int k = 0; k < counts[i]; ++k) d.push_back(Dev(c, p[k].x, p[k].y));
      PathPoly(c, d);
      p += counts[i];
    }
    return TRUE;
  }
  if (!Begin(hdc, c)) return TRUE;
  std::vector<std::vector<POINT>> ps;
  const POINT* p = pts;
  for (int i = 0; i < polys; ++i) {
    if (counts[i] < 2) return FALSE;
    std::vector<POINT> v;
    for (int k = 0; k < counts[i]; ++k) v.push_back(Px(c, p[k].x, p[k].y));
    ps.push_back(std::move(v));
    p += counts[i];
  }
  std::vector<Span> spans;
  PolygonSpans(ps, dc->st.polyFill == WINDING, spans);
  FillRegion(c.t, *c.clip, Region::FromSpans(std::move(spans)), BrushPaint(dc, c.t, dc->st.brush), dc->st.rop2);
  LineDrawer ld(c);
  for (auto& v : ps) {
    for (std::size_t i = 0; i < v.size(); ++i) ld.Seg(v[i], v[(i + 1) % v.size()]);
  }
  ld.Finish();
  return TRUE;
}

BOOL Polygon(HDC hdc, const POINT* pts, int count) {
  if (count < 2) return FALSE;
  return PolyPolygon(hdc, pts, &count, 1);
}

BOOL Rectangle(HDC hdc, int l, int t, int r, int b) {
  Ctx c;
  DCObj* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  NormRect(l, t, r, b);
  if (dc->path.open) {
    c.dc = dc;
    PathPoly(c, {Dev(c, l, t), Dev(c, r, t), Dev(c, r, b), Dev(c, l, b)});
    return TRUE;
  }
  if (!Begin(hdc, c)) return TRUE;
  POINT a = Px(c, l, t), z = Px(c, r, b);
  PenInfo pen = GetPenInfo(c);
  Paint brush = BrushPaint(dc, c.t, dc->st.brush);
  int rop2 = dc->st.rop2;
  if (pen.null) {
    FillRectPx(c.t, *c.clip, RECT{a.x, a.y, z.x - 1, z.y - 1}, brush, rop2);
    return TRUE;
  }
  if (pen.width <= 1) {
    FillRectPx(c.t, *c.clip, RECT{a.x + 1, a.y + 1, z.x - 1, z.y - 1}, brush, rop2);
    if (z.x - a.x < 1 || z.y - a.y < 1) return TRUE;
    LineDrawer ld(c);
    POINT p0{a.x, a.y}, p1{z.x - 1, a.y}, p2{z.x - 1, z.y - 1}, p3{a.x, z.y - 1};
    if (z.x - a.x == 1 || z.y - a.y == 1) {
      Paint p;
      p.color = pen.color;
      FillRectPx(c.t, *c.clip, RECT{a.x, a.y, z.x, z.y}, p, rop2);
      return TRUE;
    }
    ld.Seg(p0, p1);
    ld.Seg(p1, p2);
    ld.Seg(p2, p3);
    ld.Seg(p3, p0);
    return TRUE;
  }
  int w = pen.width;
  RECT outer, inner;
  if (pen.inside) {
    outer = RECT{a.x, a.y, z.x, z.y};
    inner = RECT{a.x + w, a.y + w, z.x - w, z.y - w};
  } else {
    int h = w / 2;
    outer = RECT{a.x - h, a.y - h, z.x - 1 - h + w, z.y - 1 - h + w};
    inner = RECT{a.x - h + w, a.y - h + w, z.x - 1 - h, z.y - 1 - h};
  }
  Region in(inner);
  FillRegion(c.t, *c.clip, in, brush, rop2);
  Paint p;
  p.color = pen.color;
  FillRegion(c.t, *c.clip, Region::Combine(Region(outer), in, RGN_DIFF), p, rop2);
  return TRUE;
}

static void EllipsePolygon(Ctx& c, int l, int t, int r, int b) {
  const int n = 64;
  std::vector<POINT> v;
  double cx = (l + r) / 2.0, cy = (t + b) / 2.0, a = (r - l) / 2.0, bb = (b - t) / 2.0;
  for (int i = 0; i < n; ++i) {
    double th = 2 * M_PI * i / n;
    v.push_back(Dev(c, int(std::lround(cx + a * std::cos(th))), int(std::lround(cy - bb * std::sin(th)))));
  }
  PathPoly(c, v);
}

BOOL Ellipse(HDC hdc, int l, int t, int r, int b) {
  Ctx c;
  DCObj* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  NormRect(l, t, r, b);
  if (dc->path.open) {
    c.dc = dc;
    EllipsePolygon(c, l, t, r, b);
    return TRUE;
  }
  if (!Begin(hdc, c)) return TRUE;
  POINT a = Px(c, l, t), z = Px(c, r, b);
  std::vector<Span> s;
  bool nullPen = GetPenInfo(c).null;
  EllipseSpans(a.x, a.y, z.x - (nullPen ? 1 : 0), z.y - (nullPen ? 1 : 0), s);
  DrawShape(c, Region::FromSpans(std::move(s)));
  return TRUE;
}

BOOL RoundRect(HDC hdc, int l, int t, int r, int b, int w, int h) {
  Ctx c;
  DCObj* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  NormRect(l, t, r, b);
  if (dc->path.open) return Rectangle(hdc, l, t, r, b);
  if (!Begin(hdc, c)) return TRUE;
  POINT a = Px(c, l, t), z = Px(c, r, b);
  std::vector<Span> s;
  bool nullPen = GetPenInfo(c).null;
  RoundRectSpans(a.x, a.y, z.x - (nullPen ? 1 : 0), z.y - (nullPen ? 1 : 0), w, h, s);
  DrawShape(c, Region::FromSpans(std::move(s)));
  return TRUE;
}

namespace {
enum class ArcKind { Arc, Chord, Pie };

// Angle of a pixel centre around the ellipse centre, counter-clockwise on screen.
double Angle(double cx, double cy, double x, double y) { return std::atan2(-(y - cy), x - cx); }

bool InSweep(double th, double th0, double sweep) {
  double d = std::fmod(th - th0 + 4 * M_PI, 2 * M_PI);
  return d <= sweep + 1e-9;
}

BOOL ArcShape(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye, ArcKind kind) {
  Ctx c;
  DCObj* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  NormRect(l, t, r, b);
  if (!Begin(hdc, c)) return TRUE;
  POINT a = Px(c, l, t), z = Px(c, r, b);
  POINT s = Px(c, xs, ys), e = Px(c, xe, ye);
  if (dc->st.arcDir == AD_CLOCKWISE) std::swap(s, e);
  std::vector<Span> spans;
  EllipseSpans(a.x, a.y, z.x, z.y, spans);
  Region F = Region::FromSpans(std::move(spans));
  const double cx = (a.x + z.x) / 2.0, cy = (a.y + z.y) / 2.0;
  const double th0 = Angle(cx, cy, s.x, s.y), th1 = Angle(cx, cy, e.x, e.y);
  double sweep = std::fmod(th1 - th0 + 4 * M_PI, 2 * M_PI);
  if (sweep < 1e-9) sweep = 2 * M_PI;
  PenInfo pen = GetPenInfo(c);
  auto keep = [&](const Region& in, auto pred) {
    std::vector<Span> out;
    for (const Band& bd : in.Bands())
      for (int y = bd.y1; y < bd.y2; ++y)
        for (std::size_t k = 0; k < bd.xs.size(); k += 2)
          for (int x = bd.xs[k]; x < bd.xs[k + 1]; ++x)
            if (pred(x + 0.5, y + 0.5)) out.push_back({y, x, x + 1});
    return Region::FromSpans(std::move(out));
  };
  if (kind == ArcKind::Arc) {
    if (pen.null) return TRUE;
    Region rim = Region::Combine(F, Erode(F, pen.width), RGN_DIFF);
    Region arc = keep(rim, [&](double x, double y) { return InSweep(Angle(cx, cy, x, y), th0, sweep); });
    Paint p;
    p.color = pen.color;
    FillRegion(c.t, *c.clip, arc, p, dc->st.rop2);
    return TRUE;
  }
  Region shape;
  if (kind == ArcKind::Pie) {
    shape = keep(F, [&](double x, double y) { return InSweep(Angle(cx, cy, x, y), th0, sweep); });
  } else {
    // The chord keeps the side of the line (start, end) where the arc lies.
    double ex = std::cos(th0), ey = -std::sin(th0), fx = std::cos(th1), fy = -std::sin(th1);
    double mid = th0 + sweep / 2;
    double mx = std::cos(mid), my = -std::sin(mid);
    auto side = [&](double x, double y) { return (fx - ex) * (y - ey) - (fy - ey) * (x - ex); };
    double want = side(mx, my);
    double ax = (z.x - a.x) / 2.0, ay = (z.y - a.y) / 2.0;
    shape = keep(F, [&](double x, double y) {
      double v = side((x - cx) / (ax ? ax : 1), (y - cy) / (ay ? ay : 1));
      return want >= 0 ? v >= -1e-9 : v <= 1e-9;
    });
  }
  DrawShape(c, shape);
  return TRUE;
}
}  // namespace

BOOL Arc(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  return ArcShape(hdc, l, t, r, b, xs, ys, xe, ye, ArcKind::Arc);
}
BOOL Chord(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  return ArcShape(hdc, l, t, r, b, xs, ys, xe, ye, ArcKind::Chord);
}
BOOL Pie(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye) {
  return ArcShape(hdc, l, t, r, b, xs, ys, xe, ye, ArcKind::Pie);
}

static RECT RectPx(const Ctx& c, const RECT* rc) {
  return RECT{rc->left + c.off.x, rc->top + c.off.y, rc->right + c.off.x, rc->bottom + c.off.y};
}

int FillRect(HDC hdc, const RECT* rc, HBRUSH brush) {
  Ctx c;
  if (!rc || !Begin(hdc, c)) return 0;
  Paint p = BrushPaint(c.dc, c.t, brush);
  FillRectPx(c.t, *c.clip, RectPx(c, rc), p, R2_COPYPEN);
  return 1;
}

int FrameRect(HDC hdc, const RECT* rc, HBRUSH brush) {
  Ctx c;
  if (!rc || !Begin(hdc, c)) return 0;
  RECT r = RectPx(c, rc);
  if (r.right <= r.left || r.bottom <= r.top) return 1;
  Paint p = BrushPaint(c.dc, c.t, brush);
  Region outer(r);
  Region inner(RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1});
  FillRegion(c.t, *c.clip, Region::Combine(outer, inner, RGN_DIFF), p, R2_COPYPEN);
  return 1;
}

BOOL InvertRect(HDC hdc, const RECT* rc) {
  Ctx c;
  if (!rc || !Begin(hdc, c)) return FALSE;
  Paint p;
  FillRectPx(c.t, *c.clip, RectPx(c, rc), p, R2_NOT);
  return TRUE;
}

BOOL DrawFocusRect(HDC hdc, const RECT* rc) {
  Ctx c;
  if (!rc || !Begin(hdc, c)) return FALSE;
  RECT r = RectPx(c, rc);
  if (r.right <= r.left || r.bottom <= r.top) return TRUE;
  Region frame = Region::Combine(Region(r), Region(RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}),
                                 RGN_DIFF);
  // A checkerboard inverted on the frame (a 50% pattern XOR), aligned to the DC's device grid.
  POINT d = c.dc->DevOrigin();
  Paint p;
  p.solid = false;
  p.opaque = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      p.pat[y * 8 + x] = 0xFFFFFFFFu;
      if (((x + y) & 1) == 0) p.opaque |= 1ull << (y * 8 + x);
    }
  p.orgX = d.x;
  p.orgY = d.y;
  FillRegion(c.t, *c.clip, frame, p, R2_XORPEN);
  return TRUE;
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
  Ctx c;
  if (!Begin(hdc, c)) return CLR_INVALID;
  POINT p = Px(c, x, y);
  if (!c.clip->Contains(p.x, p.y)) return CLR_INVALID;
  std::uint32_t px = MapColor(c.t, color);
  c.t.Row(p.y)[p.x] = px;
  return ToColorRef(px);
}

BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color) { return SetPixel(hdc, x, y, color) != CLR_INVALID; }

COLORREF GetPixel(HDC hdc, int x, int y) {
  Ctx c;
  if (!Begin(hdc, c)) return CLR_INVALID;
  POINT p = Px(c, x, y);
  if (!c.clip->Contains(p.x, p.y)) return CLR_INVALID;
  return ToColorRef(c.t.Row(p.y)[p.x]);
}

BOOL FillRgn(HDC hdc, HRGN rgn, HBRUSH brush) {
  Ctx c;
  RegionObj* r = GetRegion(rgn);
  if (!r || !Begin(hdc, c)) return FALSE;
  Region px = r->rgn;  // in logical coordinates
  px.Offset(c.off.x, c.off.y);
  FillRegion(c.t, *c.clip, px, BrushPaint(c.dc, c.t, brush), R2_COPYPEN);
  return TRUE;
}

BOOL PaintRgn(HDC hdc, HRGN rgn) {
  DCObj* dc = LookupDC(hdc);
  return dc ? FillRgn(hdc, rgn, dc->st.brush) : FALSE;
}

BOOL FrameRgn(HDC hdc, HRGN rgn, HBRUSH brush, int w, int h) {
  Ctx c;
  RegionObj* r = GetRegion(rgn);
  if (!r || !Begin(hdc, c) || w < 1 || h < 1) return FALSE;
  // The frame is the region minus its erosion by w horizontally and h vertically.
  Region in = r->rgn;
  for (int i = 1; i <= w; ++i) {
    Region a = r->rgn, b = r->rgn;
    a.Offset(i, 0);
    b.Offset(-i, 0);
    in = Region::Combine(Region::Combine(in, a, RGN_AND), b, RGN_AND);
  }
  for (int i = 1; i <= h; ++i) {
    Region a = r->rgn, b = r->rgn;
    a.Offset(0, i);
    b.Offset(0, -i);
    in = Region::Combine(Region::Combine(in, a, RGN_AND), b, RGN_AND);
  }
  Region frame = Region::Combine(r->rgn, in, RGN_DIFF);
  frame.Offset(c.off.x, c.off.y);
  FillRegion(c.t, *c.clip, frame, BrushPaint(c.dc, c.t, brush), R2_COPYPEN);
  return TRUE;
}

BOOL InvertRgn(HDC hdc, HRGN rgn) {
  Ctx c;
  RegionObj* r = GetRegion(rgn);
  if (!r || !Begin(hdc, c)) return FALSE;
  Region px = r->rgn;
  px.Offset(c.off.x, c.off.y);
  Paint p;
  FillRegion(c.t, *c.clip, px, p, R2_NOT);
  return TRUE;
}

// ---------------------------------------------------------------------------
// Paths

BOOL BeginPath(HDC hdc) {
  DCObj* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  dc->path = PathData{};
  dc->path.open = true;
  return TRUE;
}

BOOL EndPath(HDC hdc) {
  DCObj* dc = LookupDC(hdc);
  if (!dc || !dc->path.open) return FALSE;
  dc->path.open = false;
  dc->path.closed = true;
  return TRUE;
}

BOOL AbortPath(HDC hdc) {
  DCObj* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  dc->path = PathData{};
  return TRUE;
}

BOOL CloseFigure(HDC hdc) {
  DCObj* dc = LookupDC(hdc);
  if (!dc || !dc->path.open || dc->path.figures.empty()) return FALSE;
  dc->path.closedFig.back() = true;
  return TRUE;
}

static bool TakePathRegion(DCObj* dc, Region& out) {
  if (!dc->path.closed) return false;
  std::vector<Span> spans;
  PolygonSpans(dc->path.figures, dc->st.polyFill == WINDING, spans);
  out = Region::FromSpans(std::move(spans));
  return true;
}

HRGN PathToRegion(HDC hdc) {
  DCObj* dc = LookupDC(hdc);
  Region r;
  if (!dc || !TakePathRegion(dc, r)) return nullptr;
  dc->path = PathData{};
  HRGN h = CreateRectRgn(0, 0, 0, 0);
  GetRegion(h)->rgn = std::move(r);
  GetRegion(h)->Touch();
  return h;
}

BOOL FillPath(HDC hdc) {
  Ctx c;
  DCObj* dc = LookupDC(hdc);
  Region r;
  if (!dc || !TakePathRegion(dc, r)) return FALSE;
  dc->path = PathData{};
  if (!Begin(hdc, c)) return TRUE;
  POINT d = dc->DevOrigin();
  r.Offset(d.x, d.y);
  FillRegion(c.t, *c.clip, r, BrushPaint(dc, c.t, dc->st.brush), dc->st.rop2);
  return TRUE;
}

BOOL StrokePath(HDC hdc) {
  Ctx c;
  DCObj* dc = LookupDC(hdc);
  if (!dc || !dc->path.closed) return FALSE;
  PathData p = dc->path;
  dc->path = PathData{};
  if (!Begin(hdc, c)) return TRUE;
  POINT d = dc->DevOrigin();
  LineDrawer ld(c);
  for (std::size_t i = 0; i < p.figures.size(); ++i) {
    auto& f = p.figures[i];
    for (std::size_t k = 1; k < f.size(); ++k)
      ld.Seg(POINT{f[k - 1].x + d.x, f[k - 1].y + d.y}, POINT{f[k].x + d.x, f[k].y + d.y});
    if (p.closedFig[i] && f.size() > 1)
      ld.Seg(POINT{f.back().x + d.x, f.back().y + d.y}, POINT{f[0].x + d.x, f[0].y + d.y});
  }
  ld.Finish();
  return TRUE;
}

BOOL StrokeAndFillPath(HDC hdc) {
  DCObj* dc = LookupDC(hdc);
  if (!dc || !dc->path.closed) return FALSE;
  PathData keep = dc->path;
  FillPath(hdc);
  dc->path = keep;
  return StrokePath(hdc);
}

BOOL SelectClipPath(HDC hdc, int mode) {
  DCObj* dc = LookupDC(hdc);
  Region r;
  if (!dc || !TakePathRegion(dc, r)) return FALSE;
  dc->path = PathData{};
  HRGN h = CreateRectRgn(0, 0, 0, 0);
  GetRegion(h)->rgn = std::move(r);
  int res = ExtSelectClipRgn(hdc, h, mode);
  DeleteObject(h);
  return res != ERROR;
}
