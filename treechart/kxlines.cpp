// Connection-route geometry. Curves are subdivided with integer forward
// differencing in 16.16 fixed point (no multiplication per point); floating
// point is used only for arc lengths, which only label placement needs.
#include "treechart/kxlines.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "platform/rtl/strings.h"

namespace {

int gLastSegment = -1;

using Wide = __int128;

// v shifted right by k, rounded by adding the last bit shifted out.
Wide LnShr(Wide V, int K) { return (V >> K) + ((V >> (K - 1)) & 1); }

long long LnAbs(long long V) { return V < 0 ? -V : V; }

TPoint LnHalf(TPoint A, TPoint B) {
  return TPoint{LONG(A.x + (LONG(B.x) - A.x) / 2), LONG(A.y + (LONG(B.y) - A.y) / 2)};
}

TkxFcLineStyle LnNormal(TkxFcLineStyle Style, int N) { return Style == flsCurved && N < 3 ? flsStraight : Style; }

int LnSegmentCount(TkxFcLineStyle Style, int N) { return Style == flsCurved ? N - 2 : N - 1; }

// The start, control and end of curve piece I of a route of N points.
void LnPiece(const TPoint* P, int N, int I, TPoint& S, TPoint& C, TPoint& E) {
  S = I == 0 ? P[0] : LnHalf(P[I], P[I + 1]);
  C = P[I + 1];
  E = I == N - 3 ? P[N - 1] : LnHalf(P[I + 1], P[I + 2]);
}

TPoint LnCorner(TkxFcLineStyle Style, TPoint A, TPoint B) {
  return Style == flsRectHorizontal ? TPoint{B.x, A.y} : TPoint{A.x, B.y};
}

long long LnRound(long double V) { return std::llround(V); }

// ---- curve arc lengths ----

struct TLnArc {
  long double U = 0, F = 0, A = 0;
  bool Flat = true;  // u = 0 or a = 0: no parameter search
  long double Ax = 0, Ay = 0, Bx = 0, By = 0;
};

TLnArc LnArcOf(TPoint S, TPoint C, TPoint E) {
  TLnArc r;
  r.Ax = (long double)S.x - 2.0L * C.x + E.x;
  r.Ay = (long double)S.y - 2.0L * C.y + E.y;
  r.Bx = (long double)C.x - S.x;
  r.By = (long double)C.y - S.y;
  r.U = r.Ax * r.Ax + r.Ay * r.Ay;
  if (r.U == 0) return r;
  r.F = (r.Bx * r.Ax + r.By * r.Ay) / r.U;
  r.A = (r.Bx * r.Bx + r.By * r.By) / r.U - r.F * r.F;
  if (r.A < 0) r.A = 0;  // rounding of nearly collinear control points
  r.Flat = r.A == 0;
  return r;
}

long double LnArcF(long double X, long double A) {
  if (A == 0) return X * std::fabs(X);
  const long double root = std::sqrt(X * X + A);
  // x + root, computed without cancellation when x is negative
  const long double sum = X >= 0 ? X + root : A / (root - X);
  return X * root + A * std::log(sum);
}

long long LnArcLength(const TLnArc& R, long double T) {
  if (R.U == 0) {
    const long double v = R.Bx * R.Bx + R.By * R.By;
    return LnRound(std::sqrt(4 * v) * T);
  }
  return LnRound(std::sqrt(R.U) * (LnArcF(R.F + T, R.A) - LnArcF(R.F, R.A)));
}

// ---- segment lengths and points ----

long long LnSegmentLength(TkxFcLineStyle Style, const TPoint* P, int N, int K) {
  if (Style == flsCurved) {
    TPoint s, c, e;
    LnPiece(P, N, K, s, c, e);
    return LnArcLength(LnArcOf(s, c, e), 1);
  }
  const long long dx = (long long)P[K + 1].x - P[K].x, dy = (long long)P[K + 1].y - P[K].y;
  if (Style == flsStraight) {
    if (dx != 0 && dy != 0) return LnRound(std::sqrt((long double)dx * dx + (long double)dy * dy));
    return LnAbs(dx + dy);
  }
  return LnAbs(dx) + LnAbs(dy);
}

int LnSign(long long V) { return V < 0 ? -1 : (V > 0 ? 1 : 0); }

// The point at distance D from the start of segment K (its length L), and
// for a curve piece whether the parameter found is at least one half.
TPoint LnPointAt(TkxFcLineStyle Style, const TPoint* P, int N, int K, long long D, long long L, bool& Late) {
  Late = false;
  if (Style == flsCurved) {
    TPoint s, c, e;
    LnPiece(P, N, K, s, c, e);
    const TLnArc arc = LnArcOf(s, c, e);
    long double t = 0.5L;
    if (!arc.Flat) {
      long double step = 0.25L;
      for (int i = 0; i < 64; ++i) {
        const long long lt = LnArcLength(arc, t);
        if (lt == D) break;
        t += lt < D ? step : -step;
        step /= 2;
      }
    }
    Late = t >= 0.5L;
    return TPoint{LONG(s.x + LnRound(t * (t * arc.Ax + 2 * arc.Bx))), LONG(s.y + LnRound(t * (t * arc.Ay + 2 * arc.By)))};
  }
  const TPoint a = P[K], b = P[K + 1];
  const long long dx = (long long)b.x - a.x, dy = (long long)b.y - a.y;
  if (Style == flsStraight) {
    if (L == 0) return a;
    return TPoint{LONG(a.x + LnRound((long double)dx * D / L)), LONG(a.y + LnRound((long double)dy * D / L))};
  }
  if (Style == flsRectHorizontal) {
    if (D <= LnAbs(dx)) return TPoint{LONG(a.x + LnSign(dx) * D), a.y};
    return TPoint{b.x, LONG(a.y + LnSign(dy) * (D - LnAbs(dx)))};
  }
  if (D <= LnAbs(dy)) return TPoint{a.x, LONG(a.y + LnSign(dy) * D)};
  return TPoint{LONG(a.x + LnSign(dx) * (D - LnAbs(dy))), b.y};
}

// ---- curve subdivision ----

void LnPushPoint(void* Ctx, TPoint P) { static_cast<std::vector<TPoint>*>(Ctx)->push_back(P); }

std::vector<TPoint> LnCurvePoints(TPoint S, TPoint C, TPoint E) {
  std::vector<TPoint> pts;
  SubdivideCurvePiece(S, C, E, true, &LnPushPoint, &pts);
  return pts;
}

// ---- tests ----

bool LnOutside(TPoint Q, long long L, long long T, long long R, long long B) {
  return Q.x < L || Q.y < T || Q.x >= R || Q.y >= B;
}

int LnOutCode(TPoint P, const TRect& R) {
  int c = 0;
  if (P.x < R.left) c |= 1;
  if (P.y < R.top) c |= 2;
  if (P.x > R.right) c |= 4;
  if (P.y > R.bottom) c |= 8;
  return c;
}

bool LnSegmentMeetsRect(TPoint S, TPoint E, const TRect& R) {
  const int ce = LnOutCode(E, R);
  for (int guard = 0; guard < 8; ++guard) {
    const int cs = LnOutCode(S, R);
    if (cs & ce) return false;
    if (cs == 0 || ce == 0 || (cs | ce) == 5 || (cs | ce) == 10) return true;
    if (cs & 1) {
      S.y += MulDiv(E.y - S.y, R.left - S.x, E.x - S.x);
      S.x = R.left;
    } else if (cs & 2) {
      S.x += MulDiv(E.x - S.x, R.top - S.y, E.y - S.y);
      S.y = R.top;
    } else if (cs & 4) {
      S.y += MulDiv(E.y - S.y, R.right - S.x, E.x - S.x);
      S.x = R.right;
    } else {
      S.x += MulDiv(E.x - S.x, R.bottom - S.y, E.y - S.y);
      S.y = R.bottom;
    }
  }
  return false;
}

bool LnStraightHit(const TPoint* P, int N, TPoint Q, int Tolerance, int& Segment) {
  for (int k = 0; k + 1 < N; ++k) {
    const long long l = std::min(P[k].x, P[k + 1].x) - (long long)Tolerance;
    const long long t = std::min(P[k].y, P[k + 1].y) - (long long)Tolerance;
    const long long r = std::max(P[k].x, P[k + 1].x) + (long long)Tolerance;
    const long long b = std::max(P[k].y, P[k + 1].y) + (long long)Tolerance;
    if (LnOutside(Q, l, t, r, b)) continue;
    if (PointLineDistance(P[k], P[k + 1], Q) <= Tolerance) {
      Segment = k;
      return true;
    }
  }
  Segment = -1;
  return false;
}

}  // namespace

int LastSegmentIndex() { return gLastSegment; }

void ExpandRect(TRect& R, TPoint P) {
  R.left = std::min(R.left, P.x);
  R.top = std::min(R.top, P.y);
  R.right = std::max(R.right, P.x);
  R.bottom = std::max(R.bottom, P.y);
}

void SubdivideCurvePiece(TPoint S, TPoint C, TPoint E, bool Last, void (*Emit)(void* Ctx, TPoint P), void* Ctx) {
  long long c = std::max(LnAbs((long long)C.x - S.x), LnAbs((long long)C.y - S.y)) +
                std::max(LnAbs((long long)C.x - E.x), LnAbs((long long)C.y - E.y));
  if (c == 0) return;
  c = std::min<long long>(c, 65535);  // the control-polygon length is a 16-bit value
  while (c <= 8) c *= 2;
  const unsigned s = unsigned(0x80000 / c);
  Wide d1[2], d2[2], acc[2] = {0, 0};
  const long long sv[2] = {S.x, S.y}, cv[2] = {C.x, C.y}, ev[2] = {E.x, E.y};
  for (int ax = 0; ax < 2; ++ax) {
    const Wide a = Wide(sv[ax]) - 2 * Wide(cv[ax]) + Wide(ev[ax]);
    const Wide b = Wide(cv[ax]) - Wide(sv[ax]);
    d2[ax] = LnShr(a * s * s, 15);
    d1[ax] = LnShr(d2[ax], 1) + 2 * b * s;
  }
  TPoint p = S;
  unsigned counter = 0;
  for (;;) {
    Emit(Ctx, p);
    for (int ax = 0; ax < 2; ++ax) {
      acc[ax] += d1[ax];
      const long long v = (long long)(sv[ax] + LnShr(acc[ax], 16));
      if (ax == 0) p.x = LONG(v);
      else p.y = LONG(v);
      d1[ax] += d2[ax];
    }
    counter += s;
    if (counter > 65535) break;
  }
  if (Last) Emit(Ctx, E);
}

int PointLineDistance(TPoint P0, TPoint P1, TPoint Q) {
  long long dx = (long long)P1.x - P0.x, dy = (long long)P1.y - P0.y;
  if (dx == 0 && dy == 0) {
    dx = (long long)P0.y - Q.y;
    dy = (long long)Q.x - P0.x;
    if (dx == 0 && dy == 0) dx = 1;
  }
  const long long qx = (long long)Q.x - P0.x, qy = (long long)Q.y - P0.y;
  long long off;
  if (LnAbs(dy) >= LnAbs(dx)) off = qx - LnRound((long double)qy * dx / dy);
  else off = qy - LnRound((long double)qx * dy / dx);
  if (off == 0) return 0;
  const long long m = std::max(LnAbs(dx), LnAbs(dy)), n = std::min(LnAbs(dx), LnAbs(dy));
  const long long k = (m * 181) >> 7;
  const long long d = LnRound((long double)LnAbs(off) * k / (n + k));
  return int(std::min<long long>(d, 0x7FFFFFFF));
}

void DrawRoute(HDC DC, TkxFcLineStyle Style, const TPoint* Points, int N) {
  if (N < 2) return;
  if (Style == flsStraight) {
    Polyline(DC, Points, N);
    return;
  }
  if (Style == flsRectHorizontal || Style == flsRectVertical) {
    std::vector<TPoint> pts;
    pts.reserve(std::size_t(2 * N - 1));
    pts.push_back(Points[0]);
    for (int i = 0; i + 1 < N; ++i) {
      pts.push_back(LnCorner(Style, Points[i], Points[i + 1]));
      pts.push_back(Points[i + 1]);
    }
    Polyline(DC, pts.data(), int(pts.size()));
    return;
  }
  if (N < 3) return;
  // One polyline, flushed in batches so that absurdly long routes keep a
  // bounded buffer.
  struct Sink {
    HDC dc;
    std::vector<TPoint> pts;
    static void Emit(void* ctx, TPoint p) {
      auto* self = static_cast<Sink*>(ctx);
      self->pts.push_back(p);
      if (self->pts.size() >= 65536) {
        Polyline(self->dc, self->pts.data(), int(self->pts.size()));
        self->pts.erase(self->pts.begin(), self->pts.end() - 1);
      }
    }
  } sink{DC, {}};
  for (int i = 0; i <= N - 3; ++i) {
    TPoint s, c, e;
    LnPiece(Points, N, i, s, c, e);
    SubdivideCurvePiece(s, c, e, i == N - 3, &Sink::Emit, &sink);
  }
  if (sink.pts.size() >= 2) Polyline(DC, sink.pts.data(), int(sink.pts.size()));
}

long long RouteLength(TkxFcLineStyle Style, const TPoint* Points, int N) {
  Style = LnNormal(Style, N);
  long long total = 0;
  for (int k = 0; k < LnSegmentCount(Style, N); ++k) total += LnSegmentLength(Style, Points, N, k);
  return total;
}

TPoint RouteMiddlePoint(TkxFcLineStyle Style, const TPoint* Points, int N) {
  if (N < 1) return TPoint{0, 0};
  TPoint result = Points[0];
  Style = LnNormal(Style, N);
  const int count = LnSegmentCount(Style, N);
  if (count < 1) return result;
  std::vector<long long> len(static_cast<std::size_t>(count));
  for (int k = 0; k < count; ++k) len[std::size_t(k)] = LnSegmentLength(Style, Points, N, k);
  std::vector<long long> before(static_cast<std::size_t>(count), 0);
  for (int k = 1; k < count; ++k) before[std::size_t(k)] = before[std::size_t(k - 1)] + len[std::size_t(k - 1)];
  // later segments first, so that on a boundary the earlier one's point wins
  long long after = 0;
  for (int k = count - 1; k >= 0; --k) {
    const long long a = before[std::size_t(k)], b = len[std::size_t(k)], c = after;
    if (a + b >= c && b + c >= a) {
      bool late = false;
      result = LnPointAt(Style, Points, N, k, (b + c - a) / 2, b, late);
      gLastSegment = Style == flsCurved && late ? k + 1 : k;
    }
    after += b;
  }
  return result;
}

bool RouteHitTest(TkxFcLineStyle Style, const TPoint* Points, int N, int X, int Y, int Tolerance) {
  gLastSegment = -1;
  if (N < 1) return false;
  Style = LnNormal(Style, N);
  const TPoint q{X, Y};
  const long long t = Tolerance;
  for (int k = 0; k < LnSegmentCount(Style, N); ++k) {
    gLastSegment = k;
    if (Style == flsCurved) {
      TPoint s, c, e;
      LnPiece(Points, N, k, s, c, e);
      const long long l = std::min({s.x, c.x, e.x}) - t, tp = std::min({s.y, c.y, e.y}) - t;
      const long long r = std::max({s.x, c.x, e.x}) + t, b = std::max({s.y, c.y, e.y}) + t;
      if (LnOutside(q, l, tp, r, b)) continue;
      const std::vector<TPoint> pts = LnCurvePoints(s, c, e);
      int sub = -1;
      if (LnStraightHit(pts.data(), int(pts.size()), q, Tolerance, sub)) {
        gLastSegment = k + (2 * sub >= int(pts.size()) ? 1 : 0);
        return true;
      }
      continue;
    }
    const TPoint a = Points[k], b = Points[k + 1];
    const long long l = std::min(a.x, b.x) - t, tp = std::min(a.y, b.y) - t;
    const long long r = std::max(a.x, b.x) + t, bt = std::max(a.y, b.y) + t;
    if (LnOutside(q, l, tp, r, bt)) continue;
    if (Style == flsStraight) {
      if (PointLineDistance(a, b, q) <= Tolerance) return true;
    } else {
      const TPoint k2 = LnCorner(Style, a, b);
      if (std::min(LnAbs((long long)k2.x - q.x), LnAbs((long long)k2.y - q.y)) <= t) return true;
    }
  }
  gLastSegment = -1;
  return false;
}

bool RouteIntersectsRect(TkxFcLineStyle Style, const TPoint* Points, int N, const TRect& R) {
  gLastSegment = -1;
  if (N < 1) return false;
  Style = LnNormal(Style, N);
  for (int k = 0; k < LnSegmentCount(Style, N); ++k) {
    gLastSegment = k;
    if (Style == flsCurved) {
      TPoint s, c, e;
      LnPiece(Points, N, k, s, c, e);
      const int cs = LnOutCode(s, R), cc = LnOutCode(c, R), ce = LnOutCode(e, R);
      if (cs & cc & ce) continue;
      if (cs == 0 || cc == 0 || ce == 0) return true;
      const std::vector<TPoint> pts = LnCurvePoints(s, c, e);
      for (std::size_t i = 0; i + 1 < pts.size(); ++i)
        if (LnSegmentMeetsRect(pts[i], pts[i + 1], R)) {
          gLastSegment = k + (2 * i >= pts.size() ? 1 : 0);
          return true;
        }
      continue;
    }
    const TPoint a = Points[k], b = Points[k + 1];
    if (Style == flsStraight) {
      if (LnSegmentMeetsRect(a, b, R)) return true;
    } else {
      const TPoint corner = LnCorner(Style, a, b);
      if (LnSegmentMeetsRect(a, corner, R) || LnSegmentMeetsRect(corner, b, R)) return true;
    }
  }
  gLastSegment = -1;
  return false;
}
