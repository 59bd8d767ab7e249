// Organisation-chart geometry: node extents, slots and subtree depths (cached
// per node at full scale), placement, the chart's total size, the zoom to fit,
// scrolling and the hit test.
#include <algorithm>
#include <cstdlib>

#include "platform/win/messages.h"
#include "platform/win/system.h"
#include "treechart/orgchart.h"

// ---- logical axes ----

TPoint TkxCustomOrgChart::ClientToLogical(TPoint P) const {
  if (FRotated) std::swap(P.x, P.y);
  return P;
}

TRect TkxCustomOrgChart::ClientToLogical(const TRect& R) const {
  if (!FRotated) return R;
  return TRect{R.top, R.left, R.bottom, R.right};
}

// ---- zoom ----

int TkxCustomOrgChart::ScaleValue(int V) {
  if (!IsZoomed()) return V;
  return int(std::int64_t(V) * FZoomNum / FZoomDen);
}

bool TkxCustomOrgChart::IsZoomed() {
  if (FScaleSuspend != 0) return false;
  UpdateLayout();
  return FScaleSuspend == 0 && FZoomNum < FZoomDen;
}

void TkxCustomOrgChart::LayoutChanged() {
  if (FLayoutDirty) return;
  FLayoutDirty = true;
  FHitZones = 0;
  FHitNode = nullptr;
  Invalidate();
  EndEdit(true);
}

void TkxCustomOrgChart::UpdateLayout() {
  if (!FLayoutDirty) return;
  FLayoutDirty = false;
  if (FScaleSuspend != 0) {
    UpdateScrollBars();
    return;
  }
  ++FScaleSuspend;
  const std::int64_t tw = TotalWidth(), th = TotalHeight();
  const std::int64_t cw = HandleAllocated() ? ClientWidth() : Width();
  const std::int64_t ch = HandleAllocated() ? ClientHeight() : Height();
  if (ch * tw < cw * th) {
    FZoomNum = int(ch);
    FZoomDen = int(th + 1);
  } else {
    FZoomNum = int(cw);
    FZoomDen = int(tw + 1);
  }
  if (FZoomNum < 0) FZoomNum = 0;
  --FScaleSuspend;
}

// ---- extents ----

int TkxCustomOrgChart::GapAcross() { return ScaleValue(FRotated ? FIndentY : FIndentX); }
int TkxCustomOrgChart::GapDown() { return ScaleValue(FRotated ? FIndentX : FIndentY); }
int TkxCustomOrgChart::IndentX() { return GapAcross(); }
int TkxCustomOrgChart::IndentY() { return GapDown(); }

int TkxCustomOrgChart::LineWidth() { return IsZoomed() ? ScaleValue(FLineWidth) : FLineWidth; }

int TkxCustomOrgChart::NodeEffWidth(const TkxOcNode* N) {
  return ScaleValue(N->FWidth ? N->FWidth : FDefaultNodeWidth);
}

int TkxCustomOrgChart::NodeEffHeight(const TkxOcNode* N) {
  return ScaleValue(N->FHeight ? N->FHeight : FDefaultNodeHeight);
}

bool TkxCustomOrgChart::Has3DEdge(const TkxOcNode* N) const {
  return N->FShape == nsRectangle && FOptions.Contains(ocRect3D);
}

int TkxCustomOrgChart::ExtentA(const TkxOcNode* N) {
  const int v = (FRotated ? NodeEffHeight(N) : NodeEffWidth(N)) + (Has3DEdge(N) ? LineWidth() : 0);
  return Word(v);
}

int TkxCustomOrgChart::ExtentD(const TkxOcNode* N) {
  const int v = (FRotated ? NodeEffWidth(N) : NodeEffHeight(N)) + (Has3DEdge(N) ? LineWidth() : 0);
  return Word(v);
}

int TkxCustomOrgChart::RowDepth(const TkxOcNode* N) {
  if (N == FRoot) return 0;
  return ExtentD(N) + GapDown() + LineWidth();
}

// Works out the row extents below N that are not known yet, children before
// their parents, without recursion (a chain may be of any depth): a row's
// extent is Combine over its children's values (their slot widths or subtree
// depths), and a child whose own row is unknown is worked out first.
template <typename Cache, typename Value, typename Combine>
int TkxCustomOrgChart::RowExtent(TkxOcNode* N, Cache Field, Value Of, Combine Add) {
  if (!N->FExpanded || !N->Count()) return 0;
  if (N->*Field) return N->*Field;
  struct Frame {
    TkxOcNode* Node;
    int Next;
    int Total;
  };
  std::vector<Frame> stack{{N, 0, 0}};
  while (!stack.empty()) {
    Frame& f = stack.back();
    if (f.Next < f.Node->Count()) {
      TkxOcNode* c = f.Node->Items(f.Next);
      if (c->FExpanded && c->Count() && !(c->*Field)) {
        stack.push_back({c, 0, 0});
        continue;
      }
      f.Total = Add(f.Total, (this->*Of)(c));
      ++f.Next;
      continue;
    }
    TkxOcNode* done = f.Node;
    done->*Field = f.Total;
    stack.pop_back();
    if (!stack.empty()) {
      Frame& up = stack.back();
      up.Total = Add(up.Total, (this->*Of)(done));
      ++up.Next;
    }
  }
  return N->*Field;
}

int TkxCustomOrgChart::FullChildrenAcross(TkxOcNode* N) {
  return RowExtent(N, &TkxOcNode::FChildrenAcross, &TkxCustomOrgChart::FullSlotWidth,
                   [](int Sum, int V) { return Sum + V; });
}

int TkxCustomOrgChart::FullSlotWidth(TkxOcNode* N) {
  return std::max(ExtentA(N) + LineWidth() + GapAcross(), FullChildrenAcross(N));
}

int TkxCustomOrgChart::FullChildrenDown(TkxOcNode* N) {
  return RowExtent(N, &TkxOcNode::FChildrenDown, &TkxCustomOrgChart::FullSubtreeDepth,
                   [](int Most, int V) { return std::max(Most, V); });
}

int TkxCustomOrgChart::FullSubtreeDepth(TkxOcNode* N) {
  return ExtentD(N) + LineWidth() + GapDown() + FullChildrenDown(N);
}

int TkxCustomOrgChart::SlotWidth(TkxOcNode* N) {
  ++FScaleSuspend;
  int v;
  try {
    v = FullSlotWidth(N);
  } catch (...) {
    --FScaleSuspend;
    throw;
  }
  --FScaleSuspend;
  return ScaleValue(v);
}

int TkxCustomOrgChart::SubtreeDepth(TkxOcNode* N) {
  ++FScaleSuspend;
  const int v = FullSubtreeDepth(N);
  --FScaleSuspend;
  return ScaleValue(v);
}

int TkxCustomOrgChart::ChildrenAcross(TkxOcNode* N) {
  ++FScaleSuspend;
  const int v = FullChildrenAcross(N);
  --FScaleSuspend;
  return ScaleValue(v);
}

int TkxCustomOrgChart::ChildrenDown(TkxOcNode* N) {
  ++FScaleSuspend;
  const int v = FullChildrenDown(N);
  --FScaleSuspend;
  return ScaleValue(v);
}

int TkxCustomOrgChart::TotalWidth() {
  ++FScaleSuspend;
  const int v = FRotated ? FullChildrenDown(FRoot) + 6 : FullChildrenAcross(FRoot);
  --FScaleSuspend;
  return ScaleValue(v);
}

int TkxCustomOrgChart::TotalHeight() {
  ++FScaleSuspend;
  const int v = FRotated ? FullChildrenAcross(FRoot) : FullChildrenDown(FRoot) + 6;
  --FScaleSuspend;
  return ScaleValue(v);
}

int TkxCustomOrgChart::ChildOffset(TkxOcNode* N, int SlotW) {
  const int row = ChildrenAcross(N);
  switch (N->FChildAlign) {
    case oaLeft: return 0;
    case oaRight: return SlotW - row;
    default: return (SlotW - row) / 2;
  }
}

int TkxCustomOrgChart::BoxOffset(const TkxOcNode* N, int SlotW) {
  const int box = ExtentA(N) + LineWidth();
  switch (N->FChildAlign) {
    case oaLeft: return 0;
    case oaRight: return SlotW - box;
    default: return (SlotW - box) / 2;
  }
}

bool TkxCustomOrgChart::NodeSlot(const TkxOcNode* N, int& X, int& Y) {
  if (!N || N->FOwner != this) return false;
  // From the root down the node's ancestors, without recursion.
  std::vector<const TkxOcNode*> path;
  for (const TkxOcNode* n = N; n != FRoot; n = n->FParent) {
    if (!n->FParent) return false;
    path.push_back(n);
  }
  const TPoint o = ClientToLogical(TPoint{-FLeftEdge, -FTopEdge});
  int x = o.x, y = o.y;
  for (auto it = path.rbegin(); it != path.rend(); ++it) {
    TkxOcNode* p = (*it)->FParent;
    x += ChildOffset(p, SlotWidth(p));
    for (int i = 0; i < (*it)->FIndex; ++i) x += SlotWidth(p->Items(i));
    y += RowDepth(p);
  }
  X = x;
  Y = y;
  return true;
}

bool TkxCustomOrgChart::ShowsButton(TkxOcNode* N) {
  return FOptions.Contains(ocButtons) && N->Count() > 0 && !(IsZoomed() && N->FExpanded);
}

// ---- scrolling ----

int TkxCustomOrgChart::LeftEdge() {
  if (FScaleSuspend != 0) UpdateLayout();
  return FLeftEdge;
}

int TkxCustomOrgChart::TopEdge() {
  if (FScaleSuspend != 0) UpdateLayout();
  return FTopEdge;
}

void TkxCustomOrgChart::SetLeftEdge(int Value) {
  if (Value != LeftEdge()) ScrollTo(Value, FTopEdge);
}

void TkxCustomOrgChart::SetTopEdge(int Value) {
  if (Value != TopEdge()) ScrollTo(FLeftEdge, Value);
}

void TkxCustomOrgChart::ScrollTo(int X, int Y) {
  const int cw = HandleAllocated() ? ClientWidth() : Width();
  const int ch = HandleAllocated() ? ClientHeight() : Height();
  X = std::max(0, std::min(X, TotalWidth() - cw));
  Y = std::max(0, std::min(Y, TotalHeight() - ch));
  if (X == FLeftEdge && Y == FTopEdge) return;
  const int oldX = FLeftEdge, oldY = FTopEdge;
  FLeftEdge = X;
  FTopEdge = Y;
  if (HandleAllocated()) {
    ScrollWindow(Handle(), oldX - X, oldY - Y, nullptr, nullptr);
    if (oldX != X) SetScrollPos(Handle(), SB_HORZ, X, TRUE);
    if (oldY != Y) SetScrollPos(Handle(), SB_VERT, Y, TRUE);
  }
}

void TkxCustomOrgChart::UpdateScrollBars() {
  if (!HandleAllocated()) return;
  const int h = GetScrollPos(Handle(), SB_HORZ), v = GetScrollPos(Handle(), SB_VERT);
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_RANGE | SIF_PAGE;
  si.nMin = 0;
  si.nMax = TotalWidth();
  si.nPage = UINT(std::max(0, ClientWidth()));
  SetScrollInfo(Handle(), SB_HORZ, &si, TRUE);
  si.nMax = TotalHeight();
  si.nPage = UINT(std::max(0, ClientHeight()));
  SetScrollInfo(Handle(), SB_VERT, &si, TRUE);
  ScrollTo(h, v);
}

void TkxCustomOrgChart::ScrollMessage(int Bar, TMessage& Message) {
  const bool horz = Bar == SB_HORZ;
  const int client = horz ? ClientWidth() : ClientHeight();
  const int total = horz ? TotalWidth() : TotalHeight();
  int pos = horz ? LeftEdge() : TopEdge();
  switch (Message.WParamLo()) {
    case SB_LINEUP: pos -= 16; break;
    case SB_LINEDOWN: pos += 16; break;
    case SB_PAGEUP: pos -= client - 16; break;
    case SB_PAGEDOWN: pos += client - 16; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      SCROLLINFO si{};
      si.cbSize = sizeof(si);
      si.fMask = SIF_TRACKPOS;
      GetScrollInfo(Handle(), Bar, &si);
      pos = si.nTrackPos;
      break;
    }
    case SB_TOP: pos = 0; break;
    case SB_BOTTOM: pos = total - client; break;
    default: return;
  }
  if (horz) ScrollTo(pos, FTopEdge);
  else ScrollTo(FLeftEdge, pos);
}

void TkxCustomOrgChart::WMHScroll2(TMessage& Message) { ScrollMessage(SB_HORZ, Message); }
void TkxCustomOrgChart::WMVScroll2(TMessage& Message) { ScrollMessage(SB_VERT, Message); }

void TkxCustomOrgChart::WMEraseBkgnd2(TWMEraseBkgnd& Message) {
  UpdateLayout();
  Message.Result = 1;
}

void TkxCustomOrgChart::WMSize2(TWMSize& Message) {
  if (Message.SizeType() == SIZE_RESTORED || Message.SizeType() == SIZE_MAXIMIZED) {
    EndEdit(false);
    const bool wasZoomed = IsZoomed();
    TCustomControl::Dispatch(Message);
    FLayoutDirty = true;
    FHitZones = 0;
    UpdateLayout();
    if (wasZoomed || IsZoomed() || FZoom) Invalidate();
    return;
  }
  TCustomControl::Dispatch(Message);
}

// ---- hit testing ----

TkxOcNode* TkxCustomOrgChart::NodeAt(int X, int Y) {
  if (FHitZones == 0 || X != FHitX || Y != FHitY) HitTest(X, Y);
  return FHitNode;
}

TkxOcHitZones TkxCustomOrgChart::HitZonesAt(int X, int Y) {
  if (FHitZones == 0 || X != FHitX || Y != FHitY) HitTest(X, Y);
  return FHitZones;
}

void TkxCustomOrgChart::HitTest(int X, int Y) {
  FHitNode = nullptr;
  FHitZones = 0;
  FHitX = X;
  FHitY = Y;
  UpdateLayout();
  const TPoint l = ClientToLogical(TPoint{X, Y});
  int x = 0, y = 0;
  NodeSlot(FRoot, x, y);
  HitWalk(FRoot, x, y, l);
  if (!FHitNode) FHitZones = hzNowhere;
}

bool TkxCustomOrgChart::HitWalk(TkxOcNode* N, int X, int Y, TPoint L) {
  // Slots of siblings do not overlap: the walk goes down the one child whose
  // slot holds the point across, without recursion.
  for (;;) {
    const int sw = SlotWidth(N);
    const int right = X + sw;
    const int bottom = Y + RowDepth(N);
    if (L.x < X || L.x >= right) return false;
    if (N != FRoot && Y <= L.y && L.y < bottom + 6) {
      FHitNode = N;
      TkxOcHitZones z = 0;
      const int a = ExtentA(N), lw = LineWidth();
      TRect box{X + BoxOffset(N, sw), Y + GapDown(), 0, bottom};
      box.right = box.left + a + lw;
      if (L.y < box.top) z |= hzAbove;
      if (L.x < box.left) z |= hzLeft;
      if (L.x > box.right) z |= hzRight;
      if (z == 0) {
        if (L.y < box.bottom) {
          z = hzOnBox;
          if (Has3DEdge(N)) box.bottom -= lw;
          if (ShapeContains(N, box, L)) z |= hzOnShape;
        }
        const int mid = box.left + a / 2;
        if (ShowsButton(N) && L.x >= mid - 5 && L.x < mid + 6 && L.y >= box.bottom - 6) z |= hzOnButton;
      }
      FHitZones = z;
      if (L.y >= bottom && !(z & hzOnButton)) {
        FHitNode = nullptr;
        FHitZones = 0;
      }
    }
    if (FHitNode) return true;
    if (N != FRoot && !N->FExpanded) {
      if (bottom <= L.y && L.y <= bottom + ExtentD(N)) {
        FHitNode = N;
        FHitZones = hzBelowCollapsed;
        return true;
      }
      return false;
    }
    int cx = X + ChildOffset(N, sw);
    TkxOcNode* next = nullptr;
    for (int i = 0; i < N->Count() && !next; ++i) {
      TkxOcNode* c = N->Items(i);
      const int w = SlotWidth(c);
      if (L.x >= cx && L.x < cx + w) next = c;
      else cx += w;
    }
    if (!next) return false;
    N = next;
    X = cx;
    Y = bottom;
  }
}

bool TkxCustomOrgChart::ShapeContains(TkxOcNode* N, const TRect& Box, TPoint L) {
  switch (N->FShape) {
    case nsRoundedRectangle: {
      const int r = std::min(NodeEffWidth(N), NodeEffHeight(N)) / 4;
      if ((L.x >= Box.left + r && L.x < Box.right - r && L.y >= Box.top && L.y < Box.bottom) ||
          (L.x >= Box.left && L.x < Box.right && L.y >= Box.top + r && L.y < Box.bottom - r))
        return true;
      const int cx = L.x < (Box.left + Box.right) / 2 ? Box.left + r : Box.right - r;
      const int cy = L.y < (Box.top + Box.bottom) / 2 ? Box.top + r : Box.bottom - r;
      const std::int64_t dx = L.x - cx, dy = L.y - cy;
      return dx * dx + dy * dy <= std::int64_t(r) * r;
    }
    case nsEllipse: {
      const std::int64_t a = (Box.right - Box.left) / 2, b = (Box.bottom - Box.top) / 2;
      if (a <= 0 || b <= 0) return false;
      std::int64_t dx = L.x - (Box.left + a), dy = L.y - (Box.top + b);
      if (a > b) dy = dy * a / b;
      else if (b > a) dx = dx * b / a;
      const std::int64_t m = std::max(a, b);
      return dx * dx + dy * dy <= m * m;
    }
    case nsDiamond: {
      const std::int64_t a = (Box.right - Box.left) / 2, b = (Box.bottom - Box.top) / 2;
      const std::int64_t dx = std::llabs(L.x - (Box.left + a)), dy = std::llabs(L.y - (Box.top + b));
      return dx * b + dy * a <= a * b;
    }
    default: return true;
  }
}

// ---- node rectangles ----

TRect TkxOcNode::DisplayRect() const {
  TRect r{0, 0, 0, 0};
  if (!FOwner || !IsVisible() || this == FOwner->Root()) return r;
  TkxCustomOrgChart* c = FOwner;
  c->UpdateLayout();
  int x = 0, y = 0;
  if (!c->NodeSlot(this, x, y)) return r;
  TkxOcNode* self = const_cast<TkxOcNode*>(this);
  const int sw = c->SlotWidth(self);
  r.left = x + c->BoxOffset(this, sw);
  r.right = r.left + c->ExtentA(this) + c->LineWidth();
  r.top = y;
  r.bottom = y + c->RowDepth(this);
  return c->LogicalToClient(r);
}

TRect TkxOcNode::TextRect() const {
  TRect r = DisplayRect();
  if (IsRectEmpty(&r) || !FOwner) return r;
  return FOwner->TextRectFrom(this, r);
}

TRect TkxCustomOrgChart::TextRectFrom(const TkxOcNode* N, TRect R) {
  const int w = NodeEffWidth(N), h = NodeEffHeight(N), lw = LineWidth();
  int a = 0, b = 0;
  switch (N->FShape) {
    case nsRoundedRectangle: a = b = (std::min(w, h) / 2) * 3 / 20; break;
    case nsEllipse:
      a = w * 3 / 20;
      b = h * 3 / 20;
      break;
    case nsDiamond:
      a = w / 4;
      b = h / 4;
      break;
    default: break;
  }
  a += lw / 2 + 1;
  b += lw / 2 + 1;
  R.left += a;
  R.right -= a;
  R.top += b;
  R.bottom -= b;
  if (FRotated) R.left += GapDown();
  else R.top += GapDown();
  return R;
}
