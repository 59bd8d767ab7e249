// Regions (y-banded interval lists), their boolean operations, scan
// conversion of polygons and ellipses, and the region functions.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/gdi/gdi_internal.h"

namespace pvgdi {

void Region::SetRect(const RECT& rc) {
  bands_.clear();
  if (rc.right <= rc.left || rc.bottom <= rc.top) return;
  Band b;
  b.y1 = rc.top;
  b.y2 = rc.bottom;
  b.xs = {rc.left, rc.right};
  bands_.push_back(std::move(b));
}

RECT Region::Box() const {
  RECT r{};
  if (bands_.empty()) return r;
  r.top = bands_.front().y1;
  r.bottom = bands_.back().y2;
  r.left = bands_.front().xs.front();
  r.right = bands_.front().xs.back();
  for (const Band& b : bands_) {
    r.left = std::min<LONG>(r.left, b.xs.front());
    r.right = std::max<LONG>(r.right, b.xs.back());
  }
  return r;
}

int Region::Complexity() const {
  if (bands_.empty()) return NULLREGION;
  if (bands_.size() == 1 && bands_[0].xs.size() == 2) return SIMPLEREGION;
  return COMPLEXREGION;
}

int Region::FindBand(int y, int hint) const {
  const int n = int(bands_.size());
  if (hint >= 0 && hint < n) {
    if (bands_[hint].y1 <= y && y < bands_[hint].y2) return hint;
    if (hint + 1 < n && bands_[hint + 1].y1 <= y && y < bands_[hint + 1].y2) return hint + 1;
  }
  int lo = 0, hi = n;
  while (lo < hi) {
    int mid = (lo + hi) / 2;
    if (bands_[mid].y2 <= y) lo = mid + 1;
    else hi = mid;
  }
  if (lo < n && bands_[lo].y1 <= y) return lo;
  return -1;
}

bool Region::Contains(int x, int y) const {
  int i = FindBand(y);
  if (i < 0) return false;
  const auto& xs = bands_[i].xs;
  for (std::size_t k = 0; k < xs.size(); k += 2)
    if (x >= xs[k] && x < xs[k + 1]) return true;
  return false;
}

bool Region::Intersects(const RECT& rc) const {
  if (rc.right <= rc.left || rc.bottom <= rc.top) return false;
  for (const Band& b : bands_) {
    if (b.y2 <= rc.top) continue;
    if (b.y1 >= rc.bottom) break;
    for (std::size_t k = 0; k < b.xs.size(); k += 2)
      if (b.xs[k] < rc.right && b.xs[k + 1] > rc.left) return true;
  }
  return false;
}

void Region::Offset(int dx, int dy) {
  for (Band& b : bands_) {
    b.y1 += dy;
    b.y2 += dy;
    for (int& x : b.xs) x += dx;
  }
}

bool Region::operator==(const Region& o) const {
  if (bands_.size() != o.bands_.size()) return false;
  for (std::size_t i = 0; i < bands_.size(); ++i)
    if (bands_[i].y1 != o.bands_[i].y1 || bands_[i].y2 != o.bands_[i].y2 ||
        bands_[i].xs != o.bands_[i].xs)
      return false;
  return true;
}

std::vector<RECT> Region::Rects() const {
  std::vector<RECT> out;
  for (const Band& b : bands_)
    for (std::size_t k = 0; k < b.xs.size(); k += 2)
      out.push_back(RECT{b.xs[k], b.y1, b.xs[k + 1], b.y2});
  return out;
}

namespace {
bool Op(int mode, bool a, bool b) {
  switch (mode) {
    case RGN_AND: return a && b;
    case RGN_OR: return a || b;
    case RGN_XOR: return a != b;
    case RGN_DIFF: return a && !b;
    default: return a;
  }
}

void CombineX(const std::vector<int>* a, const std::vector<int>* b, int mode, std::vector<int>& out) {
  out.clear();
  static const std::vector<int> empty;
  const std::vector<int>& A = a ? *a : empty;
  const std::vector<int>& B = b ? *b : empty;
  std::size_t i = 0, j = 0;
  bool inA = false, inB = false, cur = false;
  while (i < A.size() || j < B.size()) {
    int x;
    if (j >= B.size() || (i < A.size() && A[i] <= B[j])) x = A[i];
    else x = B[j];
    while (i < A.size() && A[i] == x) { inA = !inA; ++i; }
    while (j < B.size() && B[j] == x) { inB = !inB; ++j; }
    bool o = Op(mode, inA, inB);
    if (o != cur) {
      // Touching intervals merge: drop an end followed by a start at the same x.
      if (o && !out.empty() && out.back() == x) out.pop_back();
      else out.push_back(x);
      cur = o;
    }
  }
}

void PushBand(std::vector<Band>& bands, int y1, int y2, std::vector<int>& xs) {
  if (xs.empty() || y2 <= y1) return;
  if (!bands.empty() && bands.back().y2 == y1 && bands.back().xs == xs) {
    bands.back().y2 = y2;
    return;
  }
  Band b;
  b.y1 = y1;
  b.y2 = y2;
  b.xs = xs;
  bands.push_back(std::move(b));
}
}  // namespace

struct RegionBuilder {
  static std::vector<Band>& Bands(Region& r) { return r.bands_; }
};

Region Region::Combine(const Region& a, const Region& b, int mode) {
  Region r;
  if (mode == RGN_COPY) return a;
  std::vector<int> ys;
  ys.reserve((a.bands_.size() + b.bands_.size()) * 2);
  for (const Band& x : a.bands_) { ys.push_back(x.y1); ys.push_back(x.y2); }
  for (const Band& x : b.bands_) { ys.push_back(x.y1); ys.push_back(x.y2); }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
  std::size_t ia = 0, ib = 0;
  std::vector<int> xs;
  for (std::size_t k = 0; k + 1 < ys.size(); ++k) {
    int y1 = ys[k], y2 = ys[k + 1];
    while (ia < a.bands_.size() && a.bands_[ia].y2 <= y1) ++ia;
    while (ib < b.bands_.size() && b.bands_[ib].y2 <= y1) ++ib;
    const std::vector<int>* xa = ia < a.bands_.size() && a.bands_[ia].y1 <= y1 ? &a.bands_[ia].xs : nullptr;
    const std::vector<int>* xb = ib < b.bands_.size() && b.bands_[ib].y1 <= y1 ? &b.bands_[ib].xs : nullptr;
    if (!xa && !xb) continue;
    CombineX(xa, xb, mode, xs);
    PushBand(r.bands_, y1, y2, xs);
  }
  return r;
}

Region Region::FromSpans(std::vector<Span> spans) {
  Region r;
  spans.erase(std::remove_if(spans.begin(), spans.end(), [](const Span& s) { return s.x2 <= s.x1; }),
              spans.end());
  std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) {
    return a.y != b.y ? a.y < b.y : a.x1 < b.x1;
  });
  std::vector<int> xs;
  std::size_t i = 0;
  while (i < spans.size()) {
    int y = spans[i].y;
    xs.clear();
    int cx1 = spans[i].x1, cx2 = spans[i].x2;
    ++i;
    while (i < spans.size() && spans[i].y == y) {
      if (spans[i].x1 <= cx2) cx2 = std::max(cx2, spans[i].x2);
      else { xs.push_back(cx1); xs.push_back(cx2); cx1 = spans[i].x1; cx2 = spans[i].x2; }
      ++i;
    }
    xs.push_back(cx1);
    xs.push_back(cx2);
    PushBand(r.bands_, y, y + 1, xs);
  }
  return r;
}

// ---------------------------------------------------------------------------
// Scan conversion, as the platform's own: pixel (x, y) is inside when the
// point (x, y) is, edges on the left and top inclusive, right and bottom
// exclusive. Rectangles cover pixels left..right-1 and top..bottom-1, and a
// diagonal edge starts exactly at the pixels a line along it draws.

void PolygonSpans(const std::vector<std::vector<POINT>>& polys, bool winding, std::vector<Span>& out) {
  struct Edge { double x0, y0, x1, y1; int dir; };
  std::vector<Edge> edges;
  int minY = INT32_MAX, maxY = INT32_MIN;
  for (const auto& p : polys) {
    const std::size_t n = p.size();
    if (n < 2) continue;
    for (std::size_t i = 0; i < n; ++i) {
      POINT a = p[i], b = p[(i + 1) % n];
      if (a.y == b.y) continue;
      Edge e;
      if (a.y < b.y) e = {double(a.x), double(a.y), double(b.x), double(b.y), 1};
      else e = {double(b.x), double(b.y), double(a.x), double(a.y), -1};
      edges.push_back(e);
      minY = std::min<int>(minY, std::min(a.y, b.y));
      maxY = std::max<int>(maxY, std::max(a.y, b.y));
    }
  }
  if (edges.empty()) return;
  std::vector<std::pair<double, int>> xs;
  for (int y = minY; y < maxY; ++y) {
    const double yc = y;
    xs.clear();
    for (const Edge& e : edges) {
      if (yc < e.y0 || yc >= e.y1) continue;
      double x = e.x0 + (yc - e.y0) * (e.x1 - e.x0) / (e.y1 - e.y0);
      xs.push_back({x, e.dir});
    }
    std::sort(xs.begin(), xs.end());
    int wind = 0;
    for (std::size_t k = 0; k + 1 < xs.size(); ++k) {
      bool inside;
      if (winding) { wind += xs[k].second; inside = wind != 0; }
      else inside = (k % 2) == 0;
      if (!inside) continue;
      int x1 = int(std::ceil(xs[k].first));
      int x2 = int(std::ceil(xs[k + 1].first));
      if (x2 > x1) out.push_back({y, x1, x2});
    }
  }
}

void EllipseSpans(int l, int t, int r, int b, std::vector<Span>& out) {
  if (r < l) std::swap(l, r);
  if (b < t) std::swap(t, b);
  if (r - l < 1 || b - t < 1) return;
  const double cx = (l + r) / 2.0, cy = (t + b) / 2.0;
  const double a = (r - l) / 2.0, bb = (b - t) / 2.0;
  for (int y = t; y < b; ++y) {
    double dy = (y + 0.5 - cy) / bb;
    double q = 1 - dy * dy;
    if (q < 0) continue;
    double half = a * std::sqrt(q);
    int x1 = int(std::ceil(cx - half - 0.5 - 1e-9));
    int x2 = int(std::floor(cx + half - 0.5 + 1e-9)) + 1;
    if (x2 > x1) out.push_back({y, x1, x2});
  }
}

void RoundRectSpans(int l, int t, int r, int b, int ew, int eh, std::vector<Span>& out) {
  if (r < l) std::swap(l, r);
  if (b < t) std::swap(t, b);
  if (r - l < 1 || b - t < 1) return;
  ew = std::min(std::abs(ew), r - l);
  eh = std::min(std::abs(eh), b - t);
  if (ew < 2 || eh < 2) {
    for (int y = t; y < b; ++y) out.push_back({y, l, r});
    return;
  }
  const double rx = ew / 2.0, ry = eh / 2.0;
  for (int y = t; y < b; ++y) {
    double yc = y + 0.5, dy = 0;
    if (yc < t + ry) dy = (t + ry - yc) / ry;
    else if (yc > b - ry) dy = (yc - (b - ry)) / ry;
    double inset = 0;
    if (dy > 0) {
      double q = 1 - dy * dy;
      if (q < 0) continue;
      inset = rx - rx * std::sqrt(q);
    }
    int x1 = int(std::ceil(l + inset - 0.5 - 1e-9));
    int x2 = int(std::floor(r - inset - 0.5 + 1e-9)) + 1;
    if (x2 > x1) out.push_back({y, x1, x2});
  }
}

}  // namespace pvgdi

using namespace pvgdi;

static HRGN NewRegion(Region r) {
  auto o = std::make_unique<RegionObj>();
  o->type = OBJ_REGION;
  o->rgn = std::move(r);
  return ToHandle<HRGN>(Register(std::move(o)));
}

static RECT Norm(int l, int t, int r, int b) {
  RECT rc{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
  return rc;
}

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
  return NewRegion(Region(Norm(left, top, right, bottom)));
}

HRGN CreateRectRgnIndirect(const RECT* rc) {
  return rc ? CreateRectRgn(rc->left, rc->top, rc->right, rc->bottom) : nullptr;
}

HRGN CreateRoundRectRgn(int left, int top, int right, int bottom, int w, int h) {
  std::vector<Span> s;
  RoundRectSpans(left, top, right, bottom, w, h, s);
  return NewRegion(Region::FromSpans(std::move(s)));
}

HRGN CreateEllipticRgn(int left, int top, int right, int bottom) {
  std::vector<Span> s;
  EllipseSpans(left, top, right, bottom, s);
  return NewRegion(Region::FromSpans(std::move(s)));
}

HRGN CreateEllipticRgnIndirect(const RECT* rc) {
  return rc ? CreateEllipticRgn(rc->left, rc->top, rc->right, rc->bottom) : nullptr;
}

HRGN CreatePolyPolygonRgn(const POINT* pts, const INT* counts, int polys, int fillMode) {
  if (!pts || !counts || polys <= 0) return nullptr;
  std::vector<std::vector<POINT>> ps;
  const POINT* p = pts;
  for (int i = 0; i < polys; ++i) {
    if (counts[i] < 0) return nullptr;
    ps.emplace_back(p, p + counts[i]);
    p += counts[i];
  }
  std::vector<Span> s;
  PolygonSpans(ps, fillMode == WINDING, s);
  return NewRegion(Region::FromSpans(std::move(s)));
}

HRGN CreatePolygonRgn(const POINT* pts, int count, int fillMode) {
  return CreatePolyPolygonRgn(pts, &count, 1, fillMode);
}

BOOL SetRectRgn(HRGN h, int left, int top, int right, int bottom) {
  RegionObj* r = GetRegion(h);
  if (!r) return FALSE;
  r->rgn.SetRect(Norm(left, top, right, bottom));
  r->Touch();
  return TRUE;
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
  RegionObj* d = GetRegion(dest);
  RegionObj* a = GetRegion(src1);
  if (!d || !a || mode < RGN_AND || mode > RGN_COPY) return ERROR;
  if (mode == RGN_COPY) {
    d->rgn = a->rgn;
  } else {
    RegionObj* b = GetRegion(src2);
    if (!b) return ERROR;
    d->rgn = Region::Combine(a->rgn, b->rgn, mode);
  }
  d->Touch();
  return d->rgn.Complexity();
}

int OffsetRgn(HRGN h, int dx, int dy) {
  RegionObj* r = GetRegion(h);
  if (!r) return ERROR;
  r->rgn.Offset(dx, dy);
  r->Touch();
  return r->rgn.Complexity();
}

BOOL EqualRgn(HRGN a, HRGN b) {
  RegionObj* ra = GetRegion(a);
  RegionObj* rb = GetRegion(b);
  if (!ra || !rb) return ERROR;
  return ra->rgn == rb->rgn;
}

int GetRgnBox(HRGN h, RECT* rc) {
  RegionObj* r = GetRegion(h);
  if (!r || !rc) return ERROR;
  *rc = r->rgn.Box();
  return r->rgn.Complexity();
}

BOOL PtInRegion(HRGN h, int x, int y) {
  RegionObj* r = GetRegion(h);
  return r && r->rgn.Contains(x, y);
}

BOOL RectInRegion(HRGN h, const RECT* rc) {
  RegionObj* r = GetRegion(h);
  if (!r || !rc) return FALSE;
  return r->rgn.Intersects(Norm(rc->left, rc->top, rc->right, rc->bottom));
}

DWORD GetRegionData(HRGN h, DWORD size, void* out) {
  RegionObj* r = GetRegion(h);
  if (!r) return 0;
  std::vector<RECT> rects = r->rgn.Rects();
  DWORD need = DWORD(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  if (!out) return need;
  if (size < need) return 0;
  RGNDATAHEADER hdr;
  hdr.nCount = DWORD(rects.size());
  hdr.nRgnSize = DWORD(rects.size() * sizeof(RECT));
  hdr.rcBound = r->rgn.Box();
  std::memcpy(out, &hdr, sizeof hdr);
  if (!rects.empty())
    std::memcpy(static_cast<char*>(out) + sizeof hdr, rects.data(), rects.size() * sizeof(RECT));
  return need;
}
