// Flow-chart hit testing and mouse editing: selecting, moving selected
// objects (with their union members), resizing one object by its handles,
// dragging bends and ends of connections, pulling a new bend out of a line
// and a new connection out of an object. The drag feedback is drawn in an
// inverting mode on the desktop overlay, limited to the chart's client area;
// the model changes once, when the button is released.
#include <algorithm>
#include <cstdlib>

#include "platform/win/messages.h"
#include "platform/win/system.h"
#include "treechart/flowchart.h"

namespace {

bool FcPtIn(const TRect& R, int X, int Y) { return X >= R.left && X < R.right && Y >= R.top && Y < R.bottom; }

TRect FcInflated(TRect R, int D) {
  InflateRect(&R, D, D);
  return R;
}

TRect FcNormal(TPoint A, TPoint B) {
  return TRect{std::min(A.x, B.x), std::min(A.y, B.y), std::max(A.x, B.x), std::max(A.y, B.y)};
}

}  // namespace

int TkxCustomFlowChart::RouteTolerance() { return GetSystemMetrics(SM_CXSCREEN) / 256; }

// ---- hit testing ----

TkxFcHitFlags TkxCustomFlowChart::GetHitTestAt(int X, int Y) {
  if (FHitValid && FHitPoint.x == X && FHitPoint.y == Y) return FHitFlags;
  FHitValid = true;
  FHitPoint = TPoint{X, Y};
  TkxFcHitFlags flags{fhtNowhere};
  FHitObject = nullptr;
  FHitConnection = nullptr;
  for (auto it = FObjects.rbegin(); it != FObjects.rend(); ++it) {
    TkxFcObject* o = *it;
    if (!o->Visible() || !FcPtIn(FcInflated(o->ClientRect(), 1), X, Y)) continue;
    if (flags == TkxFcHitFlags{fhtNowhere}) {
      flags = {fhtObjectBounds};
      FHitObject = o;
    }
    if (PtInRegion(o->InnerRegion(), X, Y)) {
      flags = {fhtObjectBounds, fhtObjectShape};
      FHitObject = o;
      break;
    }
  }
  const TPoint p{X + FLeftEdge, Y + FTopEdge};
  for (auto it = FConnections.rbegin(); it != FConnections.rend(); ++it) {
    TkxFcConnection* c = *it;
    if (c->PointCount() < 1 || !FcPtIn(FcInflated(c->ClientBounds(), 1), X, Y)) continue;
    FHitConnection = c;
    if (flags == TkxFcHitFlags{fhtNowhere}) flags.Clear();
    const std::vector<TPoint>& pts = c->DisplayPoints();
    if (RouteHitTest(c->Style(), pts.data(), int(pts.size()), p.x, p.y, RouteTolerance())) flags << fhtLine;
    if (c->SourceArrow()->Shown() && FcPtIn(c->SourceArrow()->Rect(), p.x, p.y)) flags << fhtSourceArrow;
    if (c->DestArrow()->Shown() && FcPtIn(c->DestArrow()->Rect(), p.x, p.y)) flags << fhtDestArrow;
    if (!c->Text().empty() && FcPtIn(c->LabelRect(), p.x, p.y)) flags << fhtLineText;
    if (!(flags * kxFcLineParts).Empty()) break;
  }
  if (flags.Contains(fhtObjectShape) && !(flags * kxFcLineParts).Empty()) {
    if (FHitConnection->BehindObjects()) flags -= kxFcLineParts;
    else flags >> fhtObjectShape;
  }
  if (TkxFcObject* sel = SelectedObject(); sel && FcPtIn(FcInflated(sel->ClientRect(), 1), X, Y)) {
    const TRect d = sel->DisplayRect();
    const TPoint c{d.left + (d.right - d.left) / 2, d.top + (d.bottom - d.top) / 2};
    const bool right = p.x >= c.x, below = p.y >= c.y;
    const int q = right ? (below ? 1 : 0) : (below ? 2 : 3);
    for (int k = 2 * q + 1; k <= 2 * q + 3; ++k) {
      const TPoint h = sel->Handle(k % 8);
      if (std::abs(h.x - p.x) <= 2 && std::abs(h.y - p.y) <= 2) {
        flags << fhtHandle;
        if (sel != FHitObject) flags >> fhtObjectShape;
        FHitObject = sel;
        FHitFlags = flags;
        return flags;
      }
    }
  }
  if (TkxFcConnection* sel = SelectedConnection(); sel && FcPtIn(FcInflated(sel->ClientBounds(), 1), X, Y)) {
    for (const TPoint& d : sel->DisplayPoints()) {
      if (std::abs(d.x - p.x) > 2 || std::abs(d.y - p.y) > 2) continue;
      flags << fhtHandle;
      if (sel != FHitConnection) flags -= kxFcLineParts;
      flags << fhtLine;
      FHitConnection = sel;
    }
  }
  if (flags.Empty()) {
    flags = {fhtNowhere};
    FHitConnection = nullptr;
  }
  FHitFlags = flags;
  return flags;
}

TkxFcObject* TkxCustomFlowChart::GetObjectAt(int X, int Y) {
  GetHitTestAt(X, Y);
  return FHitObject;
}

TkxFcConnection* TkxCustomFlowChart::GetConnectionAt(int X, int Y) {
  GetHitTestAt(X, Y);
  return FHitConnection;
}

// ---- mouse events ----

void TkxCustomFlowChart::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (CanFocus() && !Focused()) SetFocus();
  if (!Shift.Contains(ssDouble)) SetCapture(Handle());
  if (Button == mbLeft && !Shift.Contains(ssAlt) && !Shift.Contains(ssCtrl)) {
    FDownPoint = TPoint{X, Y};
    const TkxFcHitFlags ht = GetHitTestAt(X, Y);
    if (ht.Contains(fhtHandle)) BeginDragAt(Shift, X, Y);
    if (FDragKind != dkNone) return;
    TkxFcObject* o = FHitObject;
    TkxFcConnection* c = FHitConnection;
    if (ht.Contains(fhtObjectShape) && o && o->Selected() && !Shift.Contains(ssShift)) {
      o->SelectUnion();
    } else if (ht.Contains(fhtObjectShape) || !(ht * kxFcLineParts).Empty()) {
      if (!Shift.Contains(ssShift)) ClearSelection();
      if (ht.Contains(fhtObjectShape)) {
        if (o) o->SetSelected(!o->Selected());
      } else if (c) {
        c->SetSelected(!c->Selected());
      }
    }
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TkxCustomFlowChart::MouseMove(TShiftState Shift, int X, int Y) {
  if (HandleAllocated() && GetCapture() == Handle()) {
    if (FDragKind != dkNone) {
      CallHandler(X, Y, dpMove);
    } else if (Focused() && Shift.Contains(ssLeft) &&
               std::abs(X - FDownPoint.x) + std::abs(Y - FDownPoint.y) > 4) {
      BeginDragAt(Shift, X, Y);
    }
  }
  TCustomControl::MouseMove(Shift, X, Y);
}

void TkxCustomFlowChart::EndDragState() {
  FDragKind = dkNone;
  ClipCursor(nullptr);
  // what asked to be painted during the drag is painted now
  if (!IsRectEmpty(&FHeldPaint) && HandleAllocated()) InvalidateRect(Handle(), &FHeldPaint, FALSE);
  FHeldPaint = TRect{0, 0, 0, 0};
}

void TkxCustomFlowChart::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
  if (FDragKind != dkNone) {
    CallHandler(X, Y, dpFinish);
    EndDragState();
  }
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

void TkxCustomFlowChart::CancelDrag() {
  if (FDragKind == dkNone || !HandleAllocated()) return;
  POINT p;
  GetCursorPos(&p);
  const TPoint c = ScreenToClient(TPoint{p.x, p.y});
  CallHandler(c.x, c.y, dpFinish);
  EndDragState();
}

void TkxCustomFlowChart::WMSetCursor2(TWMSetCursor& Message) {
  if (Message.HitTest() == HTCLIENT && HandleAllocated()) {
    POINT sp;
    GetCursorPos(&sp);
    const TPoint p = ScreenToClient(TPoint{sp.x, sp.y});
    const TkxFcHitFlags ht = GetHitTestAt(p.x, p.y);
    TCursor cursor = crDefault;
    if (ht.Contains(fhtHandle)) {
      if (FHitObject && FHitObject == SelectedObject()) {
        static const TCursor kByHandle[4] = {crSizeNWSE, crSizeNS, crSizeNESW, crSizeWE};
        cursor = kByHandle[FHitObject->NearestHandle(p.x, p.y) & 3];
      } else if (FHitConnection) {
        cursor = crSizeAll;
      }
    }
    if (cursor != crDefault && Screen) {
      ::SetCursor(Screen->Cursors(cursor));
      Message.Result = 1;
      return;
    }
  }
  TCustomControl::Dispatch(Message);
}

// ---- beginning and running a drag ----

void TkxCustomFlowChart::BeginDragAt(TShiftState Shift, int X, int Y) {
  const TShiftState state = Shift * TShiftState{ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle};
  if (!FOptions.Contains(fcoCanDrag) || !(state == TShiftState{ssLeft})) return;
  const TkxFcHitFlags ht = GetHitTestAt(FDownPoint.x, FDownPoint.y);
  TkxFcObject* o = FHitObject;
  if (!o || !o->Selected() || ht.Contains(fhtHandle) || ht.Contains(fhtObjectShape)) {
    if (ht.Contains(fhtHandle)) {
      if (SelectedObjectCount() == 1 && o && o->Selected()) {
        StartHandler(dkResize, X, Y);
      } else if (FHitConnection) {
        FDragConnection = FHitConnection;
        FDragIndex = FDragConnection->NearestPointIndex(X, Y) + (FDragConnection->Source() ? 1 : 0);
        const bool end = FDragIndex == 0 || FDragIndex == FDragConnection->PointCount() - 1;
        StartHandler(end ? dkEnd : dkBend, X, Y);
      }
    } else if (ht.Contains(fhtObjectShape) && o && o->Selected()) {
      StartHandler(dkMove, X, Y);
    } else if (ht.Contains(fhtLine) && FHitConnection && FHitConnection == SelectedConnection()) {
      InsertBend(X, Y);
    }
    return;
  }
  // inside a selected object's bounds, neither on its shape nor on a handle:
  // a new connection leaves the object at the nearest attach point
  const int p = o->NearestAttachPoint(X, Y);
  FDragConnection = CreateConnection(o, o, Byte(p), Byte(p));
  FDragIndex = 1;
  StartHandler(dkEnd, X, Y);
}

void TkxCustomFlowChart::StartHandler(TDragKind Kind, int X, int Y) {
  Update();
  const TPoint o = ClientToScreen(TPoint{0, 0});
  const RECT confine{o.x, o.y, o.x + ClientWidth(), o.y + ClientHeight()};
  ClipCursor(&confine);
  FDragKind = Kind;
  CallHandler(X, Y, dpBegin);
}

void TkxCustomFlowChart::CallHandler(int X, int Y, TDragPhase Phase) {
  const TDragKind kind = FDragKind;
  if (kind == dkNone || !HandleAllocated()) return;
  // the overlay of the desktop, drawn on in client coordinates and limited
  // to the client area; drawing a figure twice removes it
  const TPoint o = ClientToScreen(TPoint{0, 0});
  HDC dc = GetDC(nullptr);
  IntersectClipRect(dc, o.x, o.y, o.x + ClientWidth(), o.y + ClientHeight());
  SetViewportOrgEx(dc, o.x, o.y, nullptr);
  SetROP2(dc, R2_NOTXORPEN);
  ShowCursor(FALSE);
  struct Done {
    HDC dc;
    ~Done() {
      ShowCursor(TRUE);
      ReleaseDC(nullptr, dc);
    }
  } done{dc};
  switch (kind) {
    case dkMove: MoveHandler(dc, X, Y, Phase); break;
    case dkResize: ResizeHandler(dc, X, Y, Phase); break;
    case dkBend: BendHandler(dc, X, Y, Phase); break;
    case dkEnd: EndHandler(dc, X, Y, Phase); break;
    default: break;
  }
}

// ---- moving the selection ----

void TkxCustomFlowChart::ExtendSelectionByUnions(int& Kept) {
  Kept = SelectedObjectCount();
  if (Kept == 0) return;
  const TkxFcOptions oldOptions = FOptions;
  const TkxFcEvent oldSelected = OnSelected;
  const TkxFcAllowEvent oldSelection = OnSelection;
  FOptions << fcoCanSelect << fcoMultiSelect;
  OnSelected = nullptr;
  OnSelection = nullptr;
  ++FUpdateCount;
  std::vector<TkxFcItem*> before(FSelObjects.begin(), FSelObjects.end());
  for (TkxFcItem* i : before) static_cast<TkxFcObject*>(i)->SelectUnion();
  --FUpdateCount;
  FOptions = oldOptions;
  OnSelected = oldSelected;
  OnSelection = oldSelection;
}

void TkxCustomFlowChart::ReduceSelection(int Kept) {
  while (int(FSelObjects.size()) > Kept) {
    FSelObjects.back()->FSelected = false;
    FSelObjects.pop_back();
  }
}

void TkxCustomFlowChart::MoveSelection(int DX, int DY) {
  if ((DX == 0 && DY == 0) || FSelObjects.empty()) return;
  const int ddx = MulDiv(DX, FActualZoom, 100), ddy = MulDiv(DY, FActualZoom, 100);
  int kept = 0;
  ExtendSelectionByUnions(kept);
  for (TkxFcItem* i : FSelObjects) {
    auto* o = static_cast<TkxFcObject*>(i);
    o->Invalidate();
    o->FLeft += DX;
    o->FTop += DY;
    o->UpdateDisplay();
    o->Changed();
    o->Invalidate();
  }
  for (TkxFcConnection* c : FConnections) {
    const bool src = c->Source() && c->Source()->Selected(), dst = c->Dest() && c->Dest()->Selected();
    if (!src && !dst) continue;
    c->Invalidate();
    if (src && dst) {
      for (TPoint& p : c->FPoints) p.x += DX, p.y += DY;
      for (TPoint& p : c->FDisplay) p.x += ddx, p.y += ddy;
    }
    c->RefreshEnds();
    c->Recompute();
    c->Changed();
  }
  ReduceSelection(kept);
  UpdateExtent();
}

void TkxCustomFlowChart::MoveHandler(HDC DC, int X, int Y, TDragPhase Phase) {
  switch (Phase) {
    case dpBegin: {
      int kept = 0;
      ExtendSelectionByUnions(kept);
      if (FDragRegion) DeleteObject(FDragRegion);
      FDragRegion = CreateRectRgn(0, 0, 0, 0);
      for (TkxFcItem* i : FSelObjects)
        CombineRgn(FDragRegion, FDragRegion, static_cast<TkxFcObject*>(i)->OutlineRegion(), RGN_OR);
      ReduceSelection(kept);
      FStartPoint = FCurrentPoint = TPoint{X, Y};
      InvertRgn(DC, FDragRegion);
      break;
    }
    case dpMove:
      InvertRgn(DC, FDragRegion);
      OffsetRgn(FDragRegion, X - FCurrentPoint.x, Y - FCurrentPoint.y);
      FCurrentPoint = TPoint{X, Y};
      InvertRgn(DC, FDragRegion);
      break;
    case dpFinish: {
      InvertRgn(DC, FDragRegion);
      DeleteObject(FDragRegion);
      FDragRegion = nullptr;
      const TPoint a = ClientToChart(FStartPoint.x, FStartPoint.y), b = ClientToChart(X, Y);
      MoveSelection(b.x - a.x, b.y - a.y);
      break;
    }
  }
}

// ---- resizing one object ----

void TkxCustomFlowChart::ResizeHandler(HDC DC, int X, int Y, TDragPhase Phase) {
  auto draw = [&] {
    const TRect r = FcNormal(FAnchor, FMoving);
    const HGDIOBJ pen = SelectObject(DC, GetStockObject(BLACK_PEN));
    const HGDIOBJ brush = SelectObject(DC, GetStockObject(NULL_BRUSH));
    Rectangle(DC, r.left, r.top, r.right, r.bottom);
    SelectObject(DC, brush);
    SelectObject(DC, pen);
  };
  TkxFcObject* o = SelectedObjects(0);
  switch (Phase) {
    case dpBegin: {
      if (!o) return;
      const TRect r = o->ClientRect();
      const int d = o->NearestHandle(X, Y);
      FAnchor = TPoint{r.left, r.top};
      FMoving = TPoint{r.right, r.bottom};
      if (d < 2 || d > 5) std::swap(FAnchor.x, FMoving.x);
      if (d < 4) std::swap(FAnchor.y, FMoving.y);
      FResizeMode = d & 3;
      draw();
      break;
    }
    case dpMove:
      draw();
      if (FResizeMode != 1) FMoving.x = X;
      if (FResizeMode != 3) FMoving.y = Y;
      draw();
      break;
    case dpFinish: {
      draw();
      if (SelectedObjectCount() != 1 || !o) return;
      const TPoint a = ClientToChart(FAnchor.x, FAnchor.y), b = ClientToChart(FMoving.x, FMoving.y);
      const TRect r = FcNormal(a, b);
      o->SetBounds(r.left, r.top, Word(std::clamp<int>(r.right - r.left, 0, 65535)),
                   Word(std::clamp<int>(r.bottom - r.top, 0, 65535)));
      break;
    }
  }
}

// ---- bends and ends of connections ----

void TkxCustomFlowChart::DrawDragRoute(HDC DC) {
  TkxFcConnection* c = FDragConnection;
  if (!c) return;
  std::vector<TPoint> pts = c->DisplayPoints();
  for (TPoint& p : pts) p.x -= FLeftEdge, p.y -= FTopEdge;
  if (FDragIndex >= 0 && FDragIndex < int(pts.size())) pts[std::size_t(FDragIndex)] = FCurrentPoint;
  TkxFcLineStyle style = c->Style();
  if (style == flsCurved && pts.size() < 3) style = flsStraight;
  // in its own colour over the background: line XOR NOT background
  const COLORREF bg = ColorToRGB(Color()) & 0xFFFFFF;
  const COLORREF col = (ColorToRGB(c->Color()) ^ ~bg) & 0xFFFFFF;
  HPEN pen = CreatePen(PS_SOLID, 1, col);
  const HGDIOBJ old = SelectObject(DC, pen);
  DrawRoute(DC, style, pts.data(), int(pts.size()));
  SelectObject(DC, old);
  DeleteObject(pen);
}

void TkxCustomFlowChart::BendHandler(HDC DC, int X, int Y, TDragPhase Phase) {
  TkxFcConnection* c = FDragConnection;
  if (!c) return;
  switch (Phase) {
    case dpBegin: {
      const TPoint d = c->DisplayPoints()[std::size_t(FDragIndex)];
      FCurrentPoint = FSavedPoint = TPoint{d.x - FLeftEdge, d.y - FTopEdge};
      FMoved = false;
      break;
    }
    case dpMove:
      // the first drawing over the line as it stands takes it off the screen
      FMoved = true;
      DrawDragRoute(DC);
      FCurrentPoint = TPoint{X, Y};
      DrawDragRoute(DC);
      break;
    case dpFinish: {
      if (FMoved) {
        DrawDragRoute(DC);
        FCurrentPoint = FSavedPoint;
        DrawDragRoute(DC);
      }
      const int f = FDragIndex - (c->Source() ? 1 : 0);
      const TPoint p{X + FLeftEdge, Y + FTopEdge};
      bool remove = FOptions.Contains(fcoDelOnClick) && !FMoved;
      const std::vector<TPoint>& pts = c->DisplayPoints();
      if (!remove && FDragIndex > 0 && FDragIndex + 1 < int(pts.size())) {
        const TPoint n1 = pts[std::size_t(FDragIndex - 1)], n2 = pts[std::size_t(FDragIndex + 1)];
        switch (c->Style()) {
          case flsStraight: {
            const TPoint seg[2] = {n1, n2};
            remove = RouteHitTest(flsStraight, seg, 2, p.x, p.y, GetSystemMetrics(SM_CXSCREEN) / 512);
            break;
          }
          case flsRectHorizontal: remove = p.x == n2.x || p.y == n1.y; break;
          case flsRectVertical: remove = p.x == n1.x || p.y == n2.y; break;
          default: break;
        }
      }
      if (remove) c->RemovePoint(f);
      else c->SetPoint(f, ClientToChart(X, Y));
      break;
    }
  }
}

void TkxCustomFlowChart::EndHandler(HDC DC, int X, int Y, TDragPhase Phase) {
  TkxFcConnection* c = FDragConnection;
  if (!c) return;
  switch (Phase) {
    case dpBegin: {
      const bool source = FDragIndex == 0;
      TkxFcObject* end = source ? c->Source() : c->Dest();
      if (end) {
        const TPoint d = c->DisplayPoints()[std::size_t(FDragIndex)];
        const TPoint at = ClientToChart(d.x - FLeftEdge, d.y - FTopEdge);
        if (source) {
          c->SetSource(nullptr, 0);
          c->InsertPoint(0, at);
        } else {
          c->SetDest(nullptr, 0);
          c->InsertPoint(c->FreePointCount(), at);
        }
      } else {
        c->Invalidate();
      }
      FDragIndex = source ? 0 : c->PointCount() - 1;
      const TPoint d = c->DisplayPoints()[std::size_t(FDragIndex)];
      FCurrentPoint = FSavedPoint = TPoint{d.x - FLeftEdge, d.y - FTopEdge};
      FMoved = false;
      break;
    }
    case dpMove:
      FMoved = true;
      DrawDragRoute(DC);
      FCurrentPoint = TPoint{X, Y};
      DrawDragRoute(DC);
      break;
    case dpFinish: {
      if (FMoved) {
        DrawDragRoute(DC);
        FCurrentPoint = FSavedPoint;
        DrawDragRoute(DC);
      }
      ClearHitCache();
      GetHitTestAt(X, Y);
      const int k = FDragIndex - (c->Source() ? 1 : 0);
      if (TkxFcObject* o = FHitObject) {
        const int p = o->NearestAttachPoint(X, Y);
        c->RemovePoint(k);
        if (FDragIndex != 0) c->SetDest(o, Byte(p));
        else c->SetSource(o, Byte(p));
      } else {
        c->SetPoint(k, ClientToChart(X, Y));
      }
      ClearHitCache();
      break;
    }
  }
}

void TkxCustomFlowChart::InsertBend(int X, int Y) {
  TkxFcConnection* c = FHitConnection;
  if (!c) return;
  const std::vector<TPoint>& pts = c->DisplayPoints();
  const bool onLine =
      RouteHitTest(c->Style(), pts.data(), int(pts.size()), X + FLeftEdge, Y + FTopEdge, RouteTolerance());
  const int r = onLine ? LastSegmentIndex() : -1;
  int at;
  if (r >= 0 && r + 1 < c->PointCount()) {
    at = r + 1;
  } else {
    const int d = c->NearestPointIndex(X, Y);
    at = c->Source() ? d + 1 : d;
    if (at == 0) {
      at = 1;
    } else if (at < c->PointCount() - 1) {
      auto client = [&](int i) { return TPoint{pts[std::size_t(i)].x - FLeftEdge, pts[std::size_t(i)].y - FTopEdge}; };
      const TPoint m{X, Y}, pc = client(at), pn = client(at + 1), pp = client(at - 1);
      auto dot = [&](TPoint a, TPoint b) {
        return std::int64_t(a.x - m.x) * (b.x - m.x) + std::int64_t(a.y - m.y) * (b.y - m.y);
      };
      if (dot(pc, pn) < dot(pc, pp)) ++at;
    }
  }
  const int free = at - (c->Source() ? 1 : 0);
  if (free < 0 || free > c->FreePointCount()) return;
  c->InsertPoint(free, ClientToChart(X, Y));
  FDragConnection = c;
  FDragIndex = at;
  c->Invalidate();
  StartHandler(dkBend, X, Y);
}
