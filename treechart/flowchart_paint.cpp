// Flow-chart painting. Filled objects are prepared from the top down: each
// one's visible region is its shape minus the visible regions of the filled
// objects above it; an object with nothing left is not painted. Then the
// background, the lines behind the objects, the objects from the bottom up
// and the other lines are drawn. A window is composed off-screen and shown
// once painted, so drawing the background and the lines behind before the
// opaque objects cannot flicker, and each filled object covers what lies
// below it: no clip region has to keep them apart.
#include <algorithm>

#include "treechart/flowchart.h"

namespace {

bool FcRectsMeet(const TRect& A, const TRect& B) {
  return A.left < B.right && B.left < A.right && A.top < B.bottom && B.top < A.bottom;
}

// Places a box of Size inside R by the horizontal and vertical placement;
// false when it had to be cut on an axis.
bool FcPlaceBox(const TRect& R, TSize Size, int HPos, int VPos, TRect& Box) {
  bool fits = true;
  auto axis = [&](int start, int avail, int size, int pos, LONG& lo, LONG& hi) {
    const int free = avail - size;
    if (free < 0) {
      fits = false;
      lo = start;
      hi = start + avail;
      return;
    }
    lo = start + (pos == 0 ? 0 : pos == 1 ? free / 2 : free);
    hi = lo + size;
  };
  axis(R.left, R.right - R.left, Size.cx, HPos, Box.left, Box.right);
  axis(R.top, R.bottom - R.top, Size.cy, VPos, Box.top, Box.bottom);
  return fits;
}

UINT FcTextAlign(TkxFcHorzPos Pos) { return Pos == fhpCenter ? DT_CENTER : Pos == fhpRight ? DT_RIGHT : DT_LEFT; }

}  // namespace

void TkxCustomFlowChart::Paint() {
  HDC dc = Canvas()->Handle();
  const bool copy = ControlState().Contains(csPaintCopy);
  const TRect update = copy ? ClientRect() : Canvas()->ClipRect();
  FHandles.Clear();

  // objects, from the top down; a visible region lies inside its object's
  // rectangle, so only the objects above that meet the rectangle can hide it
  const std::size_t n = FObjects.size();
  for (std::size_t k = n; k-- > 0;) {
    TkxFcObject* o = FObjects[k];
    o->Painted = o->Visible();
    o->SetVisibleRegion(nullptr);
    if (!o->Visible()) continue;
    TRect r = o->ClientRect();
    if (o->Selected()) InflateRect(&r, 3, 3);
    o->Painted = copy || FcRectsMeet(r, update);
    if (!o->Painted || !o->HasFill()) continue;
    HRGN vis = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(vis, o->OutlineRegion(), o->InnerRegion(), RGN_OR);
    const TRect box = o->ClientRect();
    int kind = SIMPLEREGION;
    for (std::size_t j = k + 1; j < n && kind != NULLREGION; ++j) {
      TkxFcObject* a = FObjects[j];
      if (a->VisibleRegion() && FcRectsMeet(a->ClientRect(), box)) kind = CombineRgn(vis, vis, a->VisibleRegion(), RGN_DIFF);
    }
    if (kind == NULLREGION) o->Painted = false;
    o->SetVisibleRegion(vis);
    o->Painted = o->Painted || o->Selected();
  }
  // connections
  for (TkxFcConnection* c : FConnections) {
    c->Painted = false;
    if (c->PointCount() < 2) continue;
    TRect b = c->ClientBounds();
    if (c->Selected()) InflateRect(&b, 3, 3);
    c->Painted = copy || FcRectsMeet(b, update);
  }
  // selection handles
  if (SelectionVisible()) {
    for (TkxFcItem* i : FSelObjects) {
      auto* o = static_cast<TkxFcObject*>(i);
      if (!o->Painted) continue;
      for (int h = 0; h < 8; ++h) {
        const TPoint p = o->Handle(h);
        FHandles.AddHandle(p.x - FLeftEdge, p.y - FTopEdge);
      }
    }
    for (TkxFcItem* i : FSelConnections) {
      auto* c = static_cast<TkxFcConnection*>(i);
      if (!c->Painted) continue;
      for (const TPoint& p : c->DisplayPoints()) FHandles.AddHandle(p.x - FLeftEdge, p.y - FTopEdge);
    }
  }
  SetBkMode(dc, TRANSPARENT);
  if (!copy) {
    HBRUSH bg = CreateSolidBrush(ColorToRGB(Color()));
    const TRect all = ClientRect();
    FillRect(dc, &all, bg);
    DeleteObject(bg);
  }
  for (TkxFcConnection* c : FConnections) PaintConnection(c, dc, update, copy, false);
  for (TkxFcObject* o : FObjects) PaintObject(o, dc, update, copy);
  for (TkxFcConnection* c : FConnections) PaintConnection(c, dc, update, copy, true);
  FHandles.Draw(dc);
}

void TkxCustomFlowChart::PaintObject(TkxFcObject* O, HDC DC, const TRect& Update, bool Copy) {
  if (!O->Painted) return;
  if (O->ShapeKind() != fskNone) {
    HRGN inner = O->InnerRegion();
    HRGN outline = O->OutlineRegion();
    if (!O->Transparent()) {
      HRGN fill = O->HasFrame() && O->VisibleRegion() ? O->VisibleRegion() : inner;
      FillRgn(DC, fill, O->InteriorBrush());
    }
    if (O->HasFrame()) {
      TRect r = O->ClientRect();
      DrawEdge(DC, &r, O->FrameEdge(), O->FrameFlags());
    } else {
      FillRgn(DC, outline, O->OutlineBrush());
    }
  }
  const TRect inner = O->InnerRect();
  if (!Copy && !FcRectsMeet(inner, Update)) return;
  if (OnDrawObject) OnDrawObject(this, O, inner);
  else DrawObject(O, inner);
}

void TkxCustomFlowChart::DrawObject(TkxFcObject* AObject, const TRect& R) {
  HDC dc = Canvas()->Handle();
  if (AObject->HasImage()) {
    TRect box;
    if (FcPlaceBox(R, TSize{FImages->Width(), FImages->Height()}, AObject->HorzImagePos(), AObject->VertImagePos(), box))
      FImages->Draw(Canvas(), box.left, box.top, AObject->ImageIndex(), true);
  }
  if (AObject->Text().empty()) return;
  TFont* font = AObject->DisplayFont();
  const HGDIOBJ oldFont = SelectObject(dc, font->Handle());
  const COLORREF oldColor = SetTextColor(dc, ColorToRGB(font->Color()));
  const int oldMode = SetBkMode(dc, TRANSPARENT);
  const AnsiString& text = AObject->Text();
  const UINT format = FcTextAlign(AObject->HorzTextPos()) | DT_WORDBREAK | DT_EXPANDTABS;
  TRect r = R;
  if (AObject->VertTextPos() != fvpTop) {
    TRect m = R;
    DrawTextA(dc, text.c_str(), int(text.size()), &m, format | DT_CALCRECT);
    TRect box;
    FcPlaceBox(R, TSize{m.right - m.left, m.bottom - m.top}, AObject->HorzTextPos(), AObject->VertTextPos(), box);
    r = box;
  }
  DrawTextA(dc, text.c_str(), int(text.size()), &r, format);
  SetBkMode(dc, oldMode);
  SetTextColor(dc, oldColor);
  SelectObject(dc, oldFont);
}

void TkxCustomFlowChart::PaintArrow(TkxFcConnection* C, TkxFcConnectionArrow* A, HDC DC) {
  if (!A->Shown()) return;
  const int dx = -FLeftEdge, dy = -FTopEdge;
  if (A->ArrowKind() == fakArrow) {
    const POINT pts[3] = {{A->Wing1().x + dx, A->Wing1().y + dy},
                          {A->Tip().x + dx, A->Tip().y + dy},
                          {A->Wing2().x + dx, A->Wing2().y + dy}};
    Polyline(DC, pts, 3);
    return;
  }
  TRect r = A->Rect();
  OffsetRect(&r, dx, dy);
  const HGDIOBJ oldBrush = SelectObject(DC, A->Brush());
  if (A->ArrowKind() == fakOval) Ellipse(DC, r.left, r.top, r.right, r.bottom);
  else Rectangle(DC, r.left, r.top, r.right, r.bottom);
  SelectObject(DC, oldBrush);
}

void TkxCustomFlowChart::PaintConnection(TkxFcConnection* C, HDC DC, const TRect& Update, bool Copy, bool Front) {
  if (!C->Painted || C->BehindObjects() == Front) return;
  std::vector<TPoint> pts = C->DisplayPoints();
  for (TPoint& p : pts) {
    p.x -= FLeftEdge;
    p.y -= FTopEdge;
  }
  const HGDIOBJ oldPen = SelectObject(DC, C->Pen()->Handle());
  TkxFcLineStyle style = C->Style();
  if (style == flsCurved && pts.size() < 3) style = flsStraight;
  DrawRoute(DC, style, pts.data(), int(pts.size()));
  PaintArrow(C, C->SourceArrow(), DC);
  PaintArrow(C, C->DestArrow(), DC);
  SelectObject(DC, oldPen);
  if (C->Text().empty()) return;
  TFont* font = C->DisplayFont();
  const HGDIOBJ oldFont = SelectObject(DC, font->Handle());
  const COLORREF oldColor = SetTextColor(DC, ColorToRGB(font->Color()));
  TRect r = C->LabelRect();
  OffsetRect(&r, -FLeftEdge, -FTopEdge);
  DrawTextA(DC, C->Text().c_str(), int(C->Text().size()), &r, DT_CENTER | DT_NOPREFIX | DT_EXPANDTABS);
  SetTextColor(DC, oldColor);
  SelectObject(DC, oldFont);
}
