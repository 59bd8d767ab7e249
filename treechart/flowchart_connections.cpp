// Flow-chart connections: their ends on objects' attach points, the point
// list of free bends, styles, arrow heads and the label at the middle of the
// route.
#include <algorithm>
#include <cmath>

#include "platform/rtl/strings.h"
#include "treechart/flowchart.h"

// ---- arrows ----

TkxFcConnectionArrow::TkxFcConnectionArrow(TkxFcConnection* AOwner, bool ASource) : FOwner(AOwner), FSource(ASource) {
  if (FOwner && FOwner->Chart()) FColor = FOwner->Chart()->Color();
}

TkxFcConnectionArrow::~TkxFcConnectionArrow() {
  if (FBrush) DeleteObject(FBrush);
}

void TkxFcConnectionArrow::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxFcConnectionArrow*>(Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  SetWidth(src->Width());
  SetHeight(src->Height());
  SetColor(src->Color());
  SetArrowKind(src->ArrowKind());
}

bool TkxFcConnectionArrow::Shown() const { return FArrowKind != fakNone && FOwner && FOwner->PointCount() > 1; }

HBRUSH TkxFcConnectionArrow::Brush() {
  if (!FBrush) FBrush = CreateSolidBrush(ColorToRGB(FColor));
  return FBrush;
}

void TkxFcConnectionArrow::UpdateDisplay() {
  const int z = FOwner && FOwner->Chart() ? FOwner->Chart()->ActualZoom() : 100;
  FDisplayWidth = Word(MulDiv(FWidth, z, 100));
  FDisplayHeight = Word(MulDiv(FHeight, z, 100));
}

void TkxFcConnectionArrow::Offset(int DX, int DY) {
  for (TPoint* p : {&FTip, &FWing1, &FWing2, &FReference}) {
    p->x += DX;
    p->y += DY;
  }
}

TRect TkxFcConnectionArrow::Rect() const {
  if (FArrowKind == fakArrow) {
    TRect r{FTip.x, FTip.y, FTip.x, FTip.y};
    ExpandRect(r, FWing1);
    ExpandRect(r, FWing2);
    return r;
  }
  const int l = FTip.x - FDisplayWidth / 2, t = FTip.y - FDisplayHeight / 2;
  return TRect{l, t, l + FDisplayWidth, t + FDisplayHeight};
}

void TkxFcConnectionArrow::Recompute(bool Force) {
  if (!FOwner) return;
  const std::vector<TPoint>& pts = FOwner->DisplayPoints();
  if (FArrowKind == fakNone || pts.size() < 2) return;
  const std::size_t last = pts.size() - 1;
  const TPoint tip = FSource ? pts[0] : pts[last];
  const TPoint ref = FSource ? pts[1] : pts[last - 1];
  if (!Force && tip == FTip && ref == FReference) return;
  FTip = tip;
  FReference = ref;
  if (FArrowKind != fakArrow) return;
  long long dx = (long long)ref.x - tip.x, dy = (long long)ref.y - tip.y;
  const int s = int(FOwner->Style()) ^ (FSource ? 0 : 1);
  if (s == 2 && dx != 0) dy = 0;
  if (s == 3 && dy != 0) dx = 0;
  long long len;
  if (dx != 0 && dy != 0) len = std::llround(std::sqrt((long double)dx * dx + (long double)dy * dy));
  else len = std::llabs(dx + dy);
  if (len == 0) len = 1;
  const long long w = FDisplayWidth, h2 = (FDisplayHeight + 1) >> 1;
  auto place = [&](long long x, long long y) {
    return TPoint{LONG(tip.x + (x * dx - y * dy) / len), LONG(tip.y + (x * dy + y * dx) / len)};
  };
  FWing1 = place(w, h2);
  FWing2 = place(w, -h2);
}

void TkxFcConnectionArrow::SetArrowKind(TkxFcArrowKind Value) {
  if (Value == FArrowKind) return;
  Recompute(true);
  if (FOwner) FOwner->Invalidate();
  FArrowKind = Value;
  Recompute(true);
  if (FOwner) {
    FOwner->Invalidate();
    FOwner->Changed();
  }
}

void TkxFcConnectionArrow::SetWidth(Byte Value) {
  if (Value == FWidth) return;
  Recompute(true);
  if (FOwner) FOwner->Invalidate();
  FWidth = Value;
  UpdateDisplay();
  Recompute(true);
  if (FOwner) {
    FOwner->Invalidate();
    FOwner->Changed();
  }
}

void TkxFcConnectionArrow::SetHeight(Byte Value) {
  if (Value == FHeight) return;
  Recompute(true);
  if (FOwner) FOwner->Invalidate();
  FHeight = Value;
  UpdateDisplay();
  Recompute(true);
  if (FOwner) {
    FOwner->Invalidate();
    FOwner->Changed();
  }
}

void TkxFcConnectionArrow::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  if (FBrush) {
    DeleteObject(FBrush);
    FBrush = nullptr;
  }
  if (FOwner) {
    if (FArrowKind == fakOval || FArrowKind == fakRect) FOwner->Invalidate();
    FOwner->Changed();
  }
}

// ---- connections ----

TkxFcConnection::TkxFcConnection(TkxCustomFlowChart* AChart)
    : TkxFcItem(AChart),
      FSourceArrow(new TkxFcConnectionArrow(this, true)),
      FDestArrow(new TkxFcConnectionArrow(this, false)),
      FPen(new TPen) {
  if (FChart) FChart->FConnections.push_back(this);
}

TkxFcConnection::~TkxFcConnection() {
  if (FChart) FChart->ItemDeleted(this);
  FDestroying = true;
  const bool endGoing = (FSource && FSource->Destroying()) || (FDest && FDest->Destroying());
  SetSource(nullptr, 0);
  SetDest(nullptr, 0);
  if (FChart) {
    auto& list = FChart->FConnections;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    if (!endGoing && !FChart->FDestroying) FChart->UpdateExtent();
  }
}

std::vector<TkxFcItem*>& TkxFcConnection::SelectionList() { return FChart->FSelConnections; }

void TkxFcConnection::Assign(TPersistent* Source) {
  auto* src = dynamic_cast<TkxFcConnection*>(Source);
  if (!src) {
    TkxFcItem::Assign(Source);
    return;
  }
  FPoints.clear();
  FDisplay.clear();
  FSource = nullptr;
  FDest = nullptr;
  SetSource(src->Source(), src->SourcePoint());
  SetDest(src->Dest(), src->DestPoint());
  FSourceArrow->Assign(src->SourceArrow());
  FDestArrow->Assign(src->DestArrow());
  SetColor(src->Color());
  SetBehindObjects(src->BehindObjects());
  for (int i = 0; i < src->FreePointCount(); ++i) AddPoint(src->Points(i));
  SetPenStyle(src->PenStyle());
  SetStyle(src->Style());
  TkxFcItem::Assign(Source);
}

TPoint TkxFcConnection::Points(int I) const {
  if (I < 0 || I >= FreePointCount()) return TPoint{0, 0};
  return FPoints[std::size_t(I + (FSource ? 1 : 0))];
}

void TkxFcConnection::SetPoint(int I, TPoint P) {
  if (I < 0 || I >= FreePointCount()) return;
  Invalidate();
  const std::size_t at = std::size_t(I + (FSource ? 1 : 0));
  FPoints[at] = P;
  FDisplay[at] = TPoint{FChart->ToDisplay(P.x), FChart->ToDisplay(P.y)};
  Recompute();
  Changed();
  FChart->UpdateExtent();
}

void TkxFcConnection::InsertPoint(int I, TPoint P) {
  if (I < 0 || I > FreePointCount()) return;
  Invalidate();
  const std::size_t at = std::size_t(I + (FSource ? 1 : 0));
  FPoints.insert(FPoints.begin() + std::ptrdiff_t(at), P);
  FDisplay.insert(FDisplay.begin() + std::ptrdiff_t(at), TPoint{FChart->ToDisplay(P.x), FChart->ToDisplay(P.y)});
  Recompute();
  Changed();
  FChart->UpdateExtent();
}

void TkxFcConnection::RemovePoint(int I) {
  if (I < 0 || I >= FreePointCount()) return;
  Invalidate();
  const std::size_t at = std::size_t(I + (FSource ? 1 : 0));
  FPoints.erase(FPoints.begin() + std::ptrdiff_t(at));
  FDisplay.erase(FDisplay.begin() + std::ptrdiff_t(at));
  Recompute();
  Changed();
  FChart->UpdateExtent();
}

int TkxFcConnection::NearestPointIndex(int X, int Y) const {
  const TPoint p{X + FChart->LeftEdge(), Y + FChart->TopEdge()};
  int best = -1;
  long long bestD = 0;
  for (std::size_t i = 0; i < FDisplay.size(); ++i) {
    const long long dx = (long long)FDisplay[i].x - p.x, dy = (long long)FDisplay[i].y - p.y;
    const long long d = dx * dx + dy * dy;
    if (best < 0 || d < bestD) {
      best = int(i);
      bestD = d;
    }
  }
  return best - (FSource ? 1 : 0);
}

void TkxFcConnection::SetSource(TkxFcObject* AObject, Byte APoint) {
  if (AObject == FSource && APoint == FSourcePoint) return;
  Invalidate();
  if (AObject != FSource) {
    if (FSource) {
      auto& l = FSource->FConnections;
      l.erase(std::remove(l.begin(), l.end(), this), l.end());
      if (!FPoints.empty()) {
        FPoints.erase(FPoints.begin());
        FDisplay.erase(FDisplay.begin());
      }
    }
    if (AObject) {
      AObject->FConnections.push_back(this);
      const TPoint a = AObject->AttachPoint(APoint & 15);
      FDisplay.insert(FDisplay.begin(), a);
      FPoints.insert(FPoints.begin(), TPoint{MulDiv(a.x, 100, FChart->ActualZoom()), MulDiv(a.y, 100, FChart->ActualZoom())});
    }
  }
  FSource = AObject;
  FSourcePoint = APoint;
  RefreshEnds();
  Recompute();
  Changed();
}

void TkxFcConnection::SetDest(TkxFcObject* AObject, Byte APoint) {
  if (AObject == FDest && APoint == FDestPoint) return;
  Invalidate();
  if (AObject != FDest) {
    if (FDest) {
      auto& l = FDest->FConnections;
      l.erase(std::remove(l.begin(), l.end(), this), l.end());
      if (!FPoints.empty()) {
        FPoints.pop_back();
        FDisplay.pop_back();
      }
    }
    if (AObject) {
      AObject->FConnections.push_back(this);
      const TPoint a = AObject->AttachPoint(APoint & 15);
      FDisplay.push_back(a);
      FPoints.push_back(TPoint{MulDiv(a.x, 100, FChart->ActualZoom()), MulDiv(a.y, 100, FChart->ActualZoom())});
    }
  }
  FDest = AObject;
  FDestPoint = APoint;
  RefreshEnds();
  Recompute();
  Changed();
}

void TkxFcConnection::SetStyle(TkxFcLineStyle Value) {
  if (Value == FStyle) return;
  if (FSourceArrow->ArrowKind() == fakArrow || FDestArrow->ArrowKind() == fakArrow) Invalidate();
  FStyle = Value;
  FSourceArrow->FTip = FSourceArrow->FReference = TPoint{0, 0};
  FDestArrow->FTip = FDestArrow->FReference = TPoint{0, 0};
  Recompute();
  Changed();
}

void TkxFcConnection::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  FPen->SetColor(Value);
  Invalidate();
  Changed();
}

void TkxFcConnection::SetPenStyle(TPenStyle Value) {
  if (Value == FPenStyle) return;
  FPenStyle = Value;
  FPen->SetStyle(Value);
  Invalidate();
  Changed();
}

void TkxFcConnection::SetBehindObjects(bool Value) {
  if (Value == FBehindObjects) return;
  FBehindObjects = Value;
  if (FChart) FChart->ClearHitCache();  // it decides between the line and an object below it
  Invalidate();
  Changed();
}

void TkxFcConnection::RefreshEnds() {
  if (FDestroying || FDisplay.empty()) return;
  if (FSource) {
    FDisplay.front() = FSource->AttachPoint(FSourcePoint & 15);
    FSourceArrow->Recompute();
  }
  if (FDest) {
    FDisplay.back() = FDest->AttachPoint(FDestPoint & 15);
    FDestArrow->Recompute();
  }
}

void TkxFcConnection::Recompute() {
  if (FChart) FChart->ClearHitCache();
  if (FDestroying || FDisplay.empty()) return;
  FLineBounds = TRect{FDisplay[0].x, FDisplay[0].y, FDisplay[0].x, FDisplay[0].y};
  for (const TPoint& p : FDisplay) ExpandRect(FLineBounds, p);
  FLineBounds.right += 1;
  FLineBounds.bottom += 1;
  FLabelAnchor = RouteMiddlePoint(FStyle, FDisplay.data(), int(FDisplay.size()));
  if (!FText.empty()) {
    const int w = FLabelRect.right - FLabelRect.left, h = FLabelRect.bottom - FLabelRect.top;
    FLabelRect.left = FLabelAnchor.x - w / 2;
    FLabelRect.top = FLabelAnchor.y - h / 2;
    FLabelRect.right = FLabelRect.left + w;
    FLabelRect.bottom = FLabelRect.top + h;
  }
  Invalidate();
}

void TkxFcConnection::UpdateDisplay() {
  FDisplay.resize(FPoints.size());
  for (std::size_t i = 0; i < FPoints.size(); ++i)
    FDisplay[i] = TPoint{FChart->ToDisplay(FPoints[i].x), FChart->ToDisplay(FPoints[i].y)};
  FSourceArrow->UpdateDisplay();
  FDestArrow->UpdateDisplay();
  UpdateDisplayFont();
  RefreshEnds();
  FSourceArrow->Recompute(true);
  FDestArrow->Recompute(true);
  if (!FText.empty()) MeasureLabel();
  Recompute();
}

TRect TkxFcConnection::ClientBounds() const {
  TRect r = FLineBounds;
  if (!FText.empty()) UnionRect(&r, &r, &FLabelRect);
  for (const TkxFcConnectionArrow* a : {FSourceArrow.get(), FDestArrow.get()})
    if (a->Shown()) {
      TRect ar = a->Rect();
      InflateRect(&ar, 3, 3);
      UnionRect(&r, &r, &ar);
    }
  OffsetRect(&r, -FChart->LeftEdge(), -FChart->TopEdge());
  return r;
}

void TkxFcConnection::Invalidate() {
  if (!FChart || FDisplay.size() < 2) return;
  FChart->MarkNeedsRepaint();
  FSourceArrow->Recompute();
  FDestArrow->Recompute();
  if (!FChart->CanPaint()) return;
  TRect r = ClientBounds();
  if (FSelected) InflateRect(&r, 3, 3);
  InvalidateRect(FChart->Handle(), &r, FALSE);
}

void TkxFcConnection::MeasureLabel() {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, FDisplayFont->Handle());
  RECT r{0, 0, 0, 0};
  DrawTextA(dc, FText.c_str(), int(FText.size()), &r, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
  SelectObject(dc, old);
  DeleteDC(dc);
  const int w = r.right - r.left, h = r.bottom - r.top;
  // the centre ((left + right) div 2, (top + bottom) div 2) lies on the anchor
  FLabelRect.left = FLabelAnchor.x - w / 2;
  FLabelRect.top = FLabelAnchor.y - h / 2;
  FLabelRect.right = FLabelRect.left + w;
  FLabelRect.bottom = FLabelRect.top + h;
}

void TkxFcConnection::InvalidateLabel() {
  if (FText.empty() || !FChart || !FChart->CanPaint()) return;
  TRect r = FLabelRect;
  OffsetRect(&r, -FChart->LeftEdge(), -FChart->TopEdge());
  InvalidateRect(FChart->Handle(), &r, FALSE);
}

void TkxFcConnection::SetText(const AnsiString& Value) {
  if (Value == FText) return;
  InvalidateLabel();
  FText = Value;
  if (!FText.empty()) {
    MeasureLabel();
    InvalidateLabel();
  }
  Changed();
  if (FChart) FChart->UpdateExtent();
}

void TkxFcConnection::TextLayoutChanged() {
  InvalidateLabel();
  if (!FText.empty()) MeasureLabel();
  InvalidateLabel();
  if (FChart) FChart->UpdateExtent();
}
